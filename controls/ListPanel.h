// List panels: a skinned single-column list of entries (ListEntry), either a modal popup
// (CListPanel holding a CListPanelList) that the drop-downs and list panel items open and that
// returns the chosen entry, or a list shown on a page (CListPanelStatic) that reports clicks to its
// parent.
//
// Rows show their entry's name, translated; the entry's text is the row's tooltip. A row is
// disabled (neither hovered nor chosen) when bit 0 of its entry's flag is set or when its entry
// names a nested list panel item without entries. A row whose entry names one with entries opens it
// as a further popup beside the row; the choice there becomes that item's current entry before the
// outer panel ends. Rows keep the index of their entry as item data, so that the choice is the
// index into the caller's entries also when the rows are sorted.
//
// Both lists sit behind a skinned scroll bar (CVScrollBar) and hide the list-view's own bars; they
// take thumb positions from the bar's messages themselves (Wine's list-view reads its own hidden
// bar). A list that holds the mouse capture gives it up when the button is pressed outside the list
// and its bar, and passes the press on to the window under the pointer. User-interface thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/ItemToolTip.h"
#include "controls/PopupBox.h"
#include "controls/VScrollBar.h"
#include "core/ModelRecords.h"
#include "platform/ListCtrl.h"

struct ListPanelColors
{
    COLORREF text = RGB(255, 255, 255);
    COLORREF hotText = RGB(0, 0, 0);
    COLORREF disabledText = RGB(0, 0, 0);
    COLORREF back = RGB(0, 0, 0);
    COLORREF hotBack = RGB(255, 255, 255);
    COLORREF disabledBack = RGB(255, 255, 255);
    COLORREF border = RGB(255, 255, 255);
    // The selected row of a list shown on a page; used only when set.
    bool hasSelected = false;
    COLORREF selectedText = RGB(0, 0, 0);
    COLORREF selectedBack = RGB(255, 255, 255);
};

// How a list looks: what its panel (or list panel item) gives it.
struct ListPanelLook
{
    ListPanelColors colors;
    HFONT font = nullptr;         // borrowed; null: the fallback font
    int borderWidth = 1;          // 0 counts as 1
    int leftMargin = 2;           // between the border and a row's text
    int rightMargin = 2;
    VScrollSkin scrollSkin;       // bitmaps borrowed from the skin cache
    std::wstring toolTip;         // shown over a row whose entry has no text of its own
};

// The name of entries[index], empty out of range; the index of the first entry of that name, -1
// when none.
std::wstring EntryName(const std::vector<ListEntry>& entries, int index);
int FindEntryByName(const std::vector<ListEntry>& entries, const std::wstring& name);

// A list panel's entries may name list panel items of their own (ListEntry::value); this finds the
// live item a value names, null when it names none.
class CListPanelItem;
CListPanelItem* NestedListOf(const ListEntry& entry);

class CListPanelList : public CListCtrl
{
public:
    static constexpr int kRowHeight = 18;
    static constexpr int kMaxUnscrolledRows = 5;  // more rows than this get a scroll bar when they do not fit
    static constexpr UINT_PTR kChosenTimer = 1;
    static constexpr UINT kAcknowledgeMs = 250;   // the pressed row stays visible that long

    CListPanelList();
    ~CListPanelList() override;

    // The list of a popup panel at rect of the panel, with the entries. The list takes the mouse.
    bool Create(const std::vector<ListEntry>& entries, const ListPanelLook& look, bool dataMode, const RECT& rect,
                HWND panel, UINT id);
    // Replaces the rows; in data mode they are sorted by their shown text without regard to case.
    void SetItems(const std::vector<ListEntry>& entries);
    // The window that opened the popup (borrowed).
    void SetOpener(HWND opener) { m_opener = opener; }
    // Shows or hides the list with its scroll bar.
    void Show(bool show);

    // The point (client coordinates) lies over the scroll bar.
    virtual bool IsInScrollBarArea(int x, int y) const;
    // No row hot, none selected.
    virtual void ResetHighlight();

    int HotRow() const { return m_hotRow; }
    int NestedChoice() const { return m_nestedChoice; }
    bool IsChosen() const { return m_chosen; }
    int RowHeight() const { return m_rowHeight; }
    // The entry shown in a row and its index in the entries; null and -1 for no row.
    const ListEntry* EntryOfRow(int row) const;
    int EntryIndexOfRow(int row) const;
    // The row showing an entry, or -1.
    int RowOfEntry(int entryIndex) const;
    bool IsRowDisabled(int row) const;
    CVScrollBar* ScrollBar() const { return m_scrollBar.get(); }
    const std::vector<ListEntry>& Entries() const { return m_entries; }
    // The text the row tooltip shows now (empty: none).
    const std::wstring& ToolTipText() const { return m_toolTipText; }
    const ListPanelLook& Look() const { return m_look; }

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    enum class RowState { Normal, Hot, Selected, Disabled };

    // Makes the window and the scroll bar; width of the column as given.
    bool CreateWindows(const RECT& listRect, HWND parent, UINT id, DWORD style, int columnWidth,
                       const RECT* barRect);
    virtual RowState StateOfRow(int row, UINT itemState) const;
    // Pre-paint: the background (and, in a list on a page, the frame).
    virtual void DrawBackground(HDC dc);
    void DrawRow(HDC dc, int row, UINT itemState);
    void SetHotRow(int row);
    void SyncScrollBar();
    // Whether a client point lies outside the list (and its bar).
    bool IsOutside(CPoint point) const;
    // A press outside the list and its bar while the list holds the mouse: the capture goes, and
    // the press goes on to the window of this thread under the pointer, unless that is the popup's
    // opener (whose press would open the popup again).
    void PassOnPress(UINT message, UINT flags, CPoint point);
    void UpdateToolTip(int row);
    std::wstring ShownText(const ListEntry& entry) const;

    virtual void OnMouseMove(UINT flags, CPoint point);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    virtual LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnKey(WPARAM wParam, LPARAM lParam);
    LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    BOOL OnEraseBkgnd(HDC dc);
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    void MeasureItem(MEASUREITEMSTRUCT* mis);

    std::vector<ListEntry> m_entries;
    ListPanelLook m_look;
    std::unique_ptr<CVScrollBar> m_scrollBar;
    bool m_chosen = false;
    int m_rowHeight = 15;
    int m_hotRow = -1;
    int m_nestedChoice = -1;
    bool m_dataMode = false;
    int m_toolTipRow = -1;
    std::wstring m_toolTipText;
    CItemToolTip m_toolTip;
    HWND m_opener = nullptr;  // a popup's opener, which a press outside is not passed on to
    CFont m_fallbackFont;

    HV_DECLARE_MSG_MAP()
};

// A list shown on a page: its own frame, a selected row, and clicks reported to the parent as
// WM_LISTPANEL_ITEMCLICK (wParam the entry's index, lParam the list's item id).
class CListPanelStatic : public CListPanelList
{
public:
    CListPanelStatic();
    ~CListPanelStatic() override;

    // The list at rect of parent with control id (the list panel item's id, which it reports).
    bool Create(const std::vector<ListEntry>& entries, const ListPanelLook& look, bool dataMode, const RECT& rect,
                HWND parent, int32_t itemId);

    bool IsInScrollBarArea(int x, int y) const override;
    void ResetHighlight() override;
    // The selected entry's row (-1: none), repainted.
    void SetSelectedRow(int row);
    int SelectedRow() const { return m_selectedRow; }
    void SetHeading(const std::wstring& text) { m_look.toolTip = text; }

protected:
    RowState StateOfRow(int row, UINT itemState) const override;
    void DrawBackground(HDC dc) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam) override;

private:
    CRect BarRect() const;

    int m_selectedRow = -1;
    int32_t m_itemId = -1;
    int m_halfDown = 0;  // floor(border / 2)
    int m_halfUp = 1;    // ceil(border / 2)
};

// The modal popup of a list. DoModal returns the index of the chosen entry, -1 when the panel ends
// without a choice (a right click, a press outside, the focus lost, Escape).
class CListPanel : public CPopupBox
{
public:
    // screenRect: where the panel shows; openTop: no top border line (a panel that hangs under its
    // drop-down). The entries are copied.
    CListPanel(CWnd* owner, const RECT& screenRect, const std::vector<ListEntry>& entries, bool dataMode,
               bool openTop);
    ~CListPanel() override;

    // Colours, font, border, scroll skin and tooltip; set before DoModal.
    ListPanelLook& Look() { return m_look; }
    CListPanelList& List() { return m_list; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void OnPaint();
    LRESULT OnSelect(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnReady(WPARAM wParam, LPARAM lParam);
    void End(int result);

    CListPanelList m_list;
    std::vector<ListEntry> m_entries;
    ListPanelLook m_look;
    bool m_dataMode;
    bool m_openTop;
    CRect m_screenRect;
    bool m_ended = false;

    HV_DECLARE_MSG_MAP()
};
