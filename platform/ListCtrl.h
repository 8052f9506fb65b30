// CListCtrl: a list-view control (comctl32 "SysListView32"), mostly in report view: columns, rows
// with item data, states, hit tests, the scroll position and the colours.
//
// Custom draw: a derived list maps ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, ...) and reads the record with
// CustomDrawOf. A row drawn completely at CDDS_ITEMPREPAINT returns CDRF_SKIPDEFAULT: an owner-drawn
// list (LVS_OWNERDRAWFIXED) otherwise also gets WM_DRAWITEM for the row.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "platform/Wnd.h"

class CListCtrl : public CWnd
{
public:
    CListCtrl() = default;
    ~CListCtrl() override;

    // A child list-view of parent with control id id (WS_CHILD is added to style).
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    // ---- Styles and colours ----
    DWORD GetExtendedStyle() const;
    // Sets the extended style bits of mask (all when 0) to exStyle; returns the previous style.
    DWORD SetExtendedStyle(DWORD exStyle, DWORD mask = 0);
    bool SetBkColor(COLORREF colour);
    bool SetTextColor(COLORREF colour);
    bool SetTextBkColor(COLORREF colour);

    // ---- Columns ----
    // Inserts a report column; width -1 leaves the control's default. Returns its index or -1.
    int InsertColumn(int index, const wchar_t* heading, int format = LVCFMT_LEFT, int width = -1);
    bool DeleteColumn(int index);
    int GetColumnWidth(int index) const;
    bool SetColumnWidth(int index, int width);
    // LVM_SETIMAGELIST (LVSIL_NORMAL, LVSIL_SMALL, LVSIL_STATE). Unless the list has the style
    // LVS_SHAREIMAGELISTS, it owns the list from now on and destroys it with its window. Returns
    // the list replaced, which the caller owns again.
    HIMAGELIST SetImageList(HIMAGELIST images, int which);
    // The header control of the report view (borrowed), or null.
    HWND GetHeaderCtrl() const;
    int GetColumnCount() const;

    // ---- Rows ----
    int GetItemCount() const;
    // Inserts a row with the text of its first column and its item data; returns its index or -1.
    int InsertItem(int index, const wchar_t* text, LPARAM data = 0);
    bool DeleteItem(int item);
    bool DeleteAllItems();
    bool SetItemText(int item, int subItem, const wchar_t* text);
    std::wstring GetItemText(int item, int subItem) const;
    bool SetItemData(int item, LPARAM data);
    // The row's item data; 0 for a row that does not exist.
    LPARAM GetItemData(int item) const;
    UINT GetItemState(int item, UINT mask) const;
    bool SetItemState(int item, UINT state, UINT mask);
    // The check box of a row (LVS_EX_CHECKBOXES): its state image 2 is checked, 1 unchecked.
    bool GetCheck(int item) const;
    bool SetCheck(int item, bool checked = true);
    // The row the keyboard selection starts from (LVM_GETSELECTIONMARK), -1 when none.
    int GetSelectionMark() const;
    int SetSelectionMark(int item);
    // Starts editing a row's label (LVM_EDITLABEL; the list needs LVS_EDITLABELS and the focus); the
    // edit control (borrowed), or null.
    HWND EditLabel(int item);
    // The edit control of the label being edited (borrowed), or null.
    HWND GetEditControl() const;
    // LVM_GETNEXTITEM: the next row after start (-1: from the first) with the LVNI_* flags.
    int GetNextItem(int start, UINT flags) const;
    // The first selected row, or -1.
    int GetSelectedItem() const { return GetNextItem(-1, LVNI_SELECTED); }
    // A part (LVIR_BOUNDS, LVIR_LABEL, ...) of a row in client coordinates; empty when the row does
    // not exist.
    CRect GetItemRect(int item, int code = LVIR_BOUNDS) const;
    // A part (LVIR_BOUNDS, LVIR_LABEL, LVIR_ICON) of one column of a row in client coordinates; empty
    // when the row or the column does not exist. For column 0, LVIR_BOUNDS is the whole row.
    CRect GetSubItemRect(int item, int subItem, int code = LVIR_BOUNDS) const;
    bool RedrawItems(int first, int last);
    // Sorts the rows; compare gets two rows' item data and extra. The rows' indexes change.
    bool SortItems(PFNLVCOMPARE compare, LPARAM extra);

    // ---- Hit tests and scrolling ----
    // The row under a client point, or -1; flags receives the LVHT_* flags when given.
    int HitTest(POINT point, UINT* flags = nullptr) const;
    // The row and column under info->pt, or -1 (info->iItem and info->iSubItem are filled).
    int SubItemHitTest(LVHITTESTINFO* info) const;
    int GetTopIndex() const;
    int GetCountPerPage() const;
    bool EnsureVisible(int item, bool partialOk);
    // LVM_SCROLL: in report view dy is in pixels and scrolls by whole rows.
    bool Scroll(int dx, int dy);
    // Initialises flat scroll bars on the list (InitializeFlatSB) and disables both of them. The
    // functions are looked up in comctl32 when first needed: not every import library has them.
    // False when comctl32 lacks them or refuses.
    bool DisableFlatScrollBars();
    // The control's vertical scroll information (SIF_ALL); false when it has none.
    bool GetVScrollInfo(SCROLLINFO& info) const;

    // The list-view record of an NM_CUSTOMDRAW notification of a list.
    static NMLVCUSTOMDRAW* CustomDrawOf(NMHDR* header) { return reinterpret_cast<NMLVCUSTOMDRAW*>(header); }
};
