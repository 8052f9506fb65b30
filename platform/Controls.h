// Wrappers of the standard user32 controls: button (push, check, radio), static, edit, combo box
// and list box. Each is a CWnd: attach one to a dialog's control with SubclassDlgItem (or create
// it with Create) and call the control's messages as methods; a derived control may map its
// reflected notifications. Item texts read back are cut at 64K characters.
#pragma once

#include <windows.h>

#include <string>

#include "platform/Wnd.h"

class CButton : public CWnd
{
public:
    // A child button of parent with control id id (style BS_*; WS_CHILD is added).
    bool Create(const wchar_t* text, DWORD style, const RECT& rect, HWND parent, UINT id);
    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    // BM_CLICK: the button acts as if clicked (its parent gets BN_CLICKED).
    void Click() const { SendMessage(BM_CLICK); }
};

class CStatic : public CWnd
{
public:
    bool Create(const wchar_t* text, DWORD style, const RECT& rect, HWND parent, UINT id = 0xFFFF);
    // STM_SETICON; returns the icon shown before (borrowed: the caller owns both).
    HICON SetIcon(HICON icon) const
    {
        return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
    }
};

class CEdit : public CWnd
{
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    void SetSel(int start, int end, bool noScroll = false) const;
    // The selection as start and end character positions.
    void GetSel(int* start, int* end) const;
    void ReplaceSel(const wchar_t* text, bool canUndo = false) const;
    void SetReadOnly(bool readOnly = true) const { SendMessage(EM_SETREADONLY, readOnly); }
    void SetLimitText(int chars) const { SendMessage(EM_SETLIMITTEXT, static_cast<WPARAM>(chars)); }
    int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
};

class CComboBox : public CWnd
{
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    // Index of the new item, or CB_ERR / CB_ERRSPACE.
    int AddString(const wchar_t* text) const;
    int InsertString(int index, const wchar_t* text) const;
    int DeleteString(int index) const;
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    // -1 clears the selection.
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    // The item's text; empty for an index that does not exist.
    std::wstring GetLBText(int index) const;
    // The first item after start (-1: from the first) that begins with text (CB_FINDSTRING) or
    // equals it (CB_FINDSTRINGEXACT), both without regard to case; CB_ERR when none.
    int FindString(int start, const wchar_t* text) const;
    int FindStringExact(int start, const wchar_t* text) const;
    int SelectString(int start, const wchar_t* text) const;
    LRESULT GetItemData(int index) const { return SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index)); }
    int SetItemData(int index, LPARAM data) const
    {
        return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), data));
    }
    int GetDroppedWidth() const { return static_cast<int>(SendMessage(CB_GETDROPPEDWIDTH)); }
    int SetDroppedWidth(int width) const
    {
        return static_cast<int>(SendMessage(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width)));
    }
    bool GetDroppedState() const { return SendMessage(CB_GETDROPPEDSTATE) != FALSE; }
    void ShowDropDown(bool show = true) const { SendMessage(CB_SHOWDROPDOWN, show); }
    // The width the drop-down list needs for its widest item in the control's font: each item's
    // text extent plus the font's average character width, then two edges and a scroll bar.
    int WidestItemWidth() const;
};

class CListBox : public CWnd
{
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    int AddString(const wchar_t* text) const;
    int InsertString(int index, const wchar_t* text) const;
    int DeleteString(int index) const;
    void ResetContent() const { SendMessage(LB_RESETCONTENT); }
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index))); }
    std::wstring GetText(int index) const;
    int FindString(int start, const wchar_t* text) const;
    int FindStringExact(int start, const wchar_t* text) const;
    LRESULT GetItemData(int index) const { return SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index)); }
    int SetItemData(int index, LPARAM data) const
    {
        return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), data));
    }
};
