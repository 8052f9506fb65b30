// A skinned drop-down list (COMBO): a framed field that shows the chosen entry's name (and, after
// ": ", a secondary text) with a down arrow, and opens its entries as a list panel under itself.
// It tells its parent WM_DROPDOWN_CLICKED (sent) when pressed, before the list opens, so that the
// parent may refill the entries, and WM_DROPDOWN_SELCHANGE (sent) after a choice; nothing when the
// list closes without one. An entry whose value names a list panel item takes that item's current
// entry as the secondary text (the list panel sets it when the choice is made in a nested list).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/ItemToolTip.h"
#include "controls/ListPanel.h"
#include "core/ModelRecords.h"
#include "platform/GdiObject.h"
#include "platform/Wnd.h"
#include "skin/GUIItem.h"

class CFontItem;

class CDropdownListItem : public CWnd, public CGUIItem
{
public:
    CDropdownListItem();
    ~CDropdownListItem() override;

    // The field at rect of parent (WS_CHILD, WS_VISIBLE, SS_NOTIFY) with the control id given.
    bool Create(const RECT& rect, HWND parent, UINT id);

    // ---- Entries ----
    int AddEntry(const wchar_t* name, intptr_t value = 0);
    int AddEntryRecord(const ListEntry& entry);
    // Inserts before index (at the end past it); false for a negative index.
    bool InsertEntry(int index, const wchar_t* name);
    void ClearEntries() { m_entries.clear(); }
    const std::vector<ListEntry>& Entries() const { return m_entries; }
    // The entry's name; empty out of range.
    std::wstring GetEntryText(int index) const;
    // The first entry of that name, or -1.
    int FindEntry(const std::wstring& name) const;

    // ---- Choice ----
    // The first entry whose name is the shown text; -1 when nothing (or no entry's name) is shown.
    int GetCurSel() const;
    int GetCurSelWithData(std::wstring& secondary) const;
    // Shows the entry, with the secondary text when given (none clears it); false, changing
    // nothing, outside the entries.
    bool SetCurSel(int index, const wchar_t* secondary = nullptr);
    // Shows no entry (and no secondary text).
    void ClearCurSel();
    const std::wstring& ShownText() const { return m_shown; }
    const std::wstring& SecondaryText() const { return m_secondary; }

    // ---- Appearance ----
    void SetFontColor(COLORREF c) { m_text = c; }
    void SetFontColorHi(COLORREF c) { m_textOpen = c; }
    void SetBackColor(COLORREF c) { m_back = c; }
    void SetBackColorHi(COLORREF c) { m_backOpen = c; }
    void SetBorderColor(COLORREF c) { m_border = c; }
    void SetDisabledBackColor(COLORREF c) { m_backDisabled = c; }
    void SetDisabledBorderColor(COLORREF c) { m_borderDisabled = c; }
    void SetDisabledFontColor(COLORREF c) { m_textDisabled = c; }
    void SetBorderWidth(int width) { m_borderWidth = width; }
    void SetLeftMargin(int margin) { m_leftMargin = margin; }
    void SetRightMargin(int margin) { m_rightMargin = margin; }
    void SetItemFont(CFontItem* font) { m_font = font; }
    void SetSorted(bool sorted) { m_sorted = sorted; }
    // The dropped list: its height (0: as many rows as fit, at most five) and scroll-bar skin.
    void SetListHeight(int height) { m_listHeight = height; }
    void SetListScrollSkin(const VScrollSkin& skin) { m_listSkin = skin; }
    // The look of the dropped list, made from the field's colours.
    ListPanelLook ListLook() const;

    // A disabled drop-down neither opens nor tells its parent of presses.
    void SetDisabled(bool disabled);
    bool IsDisabled() const;
    bool IsOpen() const { return m_open; }

    void SetToolTip(const wchar_t* key) { m_toolTip.SetText(m_hWnd, key); }
    const CItemToolTip& ToolTip() const { return m_toolTip; }
    BOOL PreTranslateMessage(MSG* msg) override;
    // A drop-down list item (its list is a window of the top level) holds no windows of its own.
    bool HostsWindows() const override { return false; }

private:
    // Whether this object still has its window (a handler of a message sent to the parent may have
    // destroyed the page with both).
    bool StillHere(HWND self) const;
    void Open();

    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    void OnLButtonDown(UINT flags, CPoint point);

    CItemToolTip m_toolTip;
    std::wstring m_shown;
    std::wstring m_secondary;
    std::vector<ListEntry> m_entries;
    bool m_disabled = false;
    bool m_open = false;
    bool m_sorted = false;
    CFontItem* m_font = nullptr;
    CFont m_fallbackFont;
    COLORREF m_text = RGB(255, 255, 255);
    COLORREF m_back = RGB(0, 0, 0);
    COLORREF m_border = RGB(255, 255, 255);
    COLORREF m_textOpen = RGB(255, 255, 255);
    COLORREF m_backOpen = RGB(0, 0, 0);
    COLORREF m_textDisabled = RGB(128, 128, 128);
    COLORREF m_backDisabled = RGB(0, 0, 0);
    COLORREF m_borderDisabled = RGB(128, 128, 128);
    int m_borderWidth = 1;
    int m_leftMargin = 4;
    int m_rightMargin = 14;
    int m_listHeight = 0;
    VScrollSkin m_listSkin;

    HV_DECLARE_MSG_MAP()
};
