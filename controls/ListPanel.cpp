#include "controls/ListPanel.h"

#include <algorithm>

#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "controls/ListPanelItem.h"
#include "platform/Dc.h"
#include "platform/WStr.h"
#include "skin/LangTable.h"

namespace {

constexpr UINT kScrollBarId = 0xFFFF;
constexpr int kWheelDelta = 120;

int BorderOf(const ListPanelLook& look)
{
    return look.borderWidth > 0 ? look.borderWidth : 1;
}

int CALLBACK ByShownText(LPARAM a, LPARAM b, LPARAM list)
{
    const auto* self = reinterpret_cast<const CListPanelList*>(list);
    const std::vector<ListEntry>& entries = self->Entries();
    if (a < 0 || b < 0 || static_cast<size_t>(a) >= entries.size() || static_cast<size_t>(b) >= entries.size())
        return 0;
    std::wstring left, right;
    TranslateText(entries[static_cast<size_t>(a)].name.c_str(), left);
    TranslateText(entries[static_cast<size_t>(b)].name.c_str(), right);
    return wstr::CompareNoCase(left, right);
}

} // namespace

std::wstring EntryName(const std::vector<ListEntry>& entries, int index)
{
    return index >= 0 && static_cast<size_t>(index) < entries.size() ? entries[static_cast<size_t>(index)].name
                                                                    : std::wstring();
}

int FindEntryByName(const std::vector<ListEntry>& entries, const std::wstring& name)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

CListPanelItem* NestedListOf(const ListEntry& entry)
{
    return entry.value ? CListPanelItem::FromEntryValue(entry.value) : nullptr;
}

BEGIN_MSG_MAP(CListPanelList, CListCtrl)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    HV_ON_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDown)
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONDOWN()
    ON_WM_TIMER()
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
    ON_MESSAGE(WM_MOUSEWHEEL, OnMouseWheel)
    ON_MESSAGE(WM_KEYDOWN, OnKey)
    ON_MESSAGE(WM_KEYUP, OnKey)
    ON_MESSAGE(WM_VSCROLL, OnVScroll)
    ON_MESSAGE(WM_NCCALCSIZE, OnNcCalcSize)
    ON_WM_ERASEBKGND()
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_MEASUREITEM_REFLECT(MeasureItem)
END_MSG_MAP()

CListPanelList::CListPanelList() = default;

CListPanelList::~CListPanelList()
{
    if (m_scrollBar && m_scrollBar->IsWindow())
        m_scrollBar->DestroyWindow();
    if (m_hWnd)
        DestroyWindow();
}

bool CListPanelList::Create(const std::vector<ListEntry>& entries, const ListPanelLook& look, bool dataMode,
                            const RECT& rect, HWND panel, UINT id)
{
    m_look = look;
    m_dataMode = dataMode;
    m_entries = entries;
    const CRect area(rect);
    const int barWidth = look.scrollSkin.Width();
    const bool fits = area.Height() / kRowHeight >= static_cast<int>(entries.size());
    const bool withBar = !fits && entries.size() > static_cast<size_t>(kMaxUnscrolledRows) && barWidth > 0;
    CRect listRect = area;
    CRect barRect;
    if (withBar) {
        barRect = CRect(area.right - barWidth, area.top, area.right, area.bottom);
        listRect.right -= barWidth;
    }
    DWORD style = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER;
    if (!withBar)
        style |= LVS_NOSCROLL;
    if (!CreateWindows(listRect, panel, id, style, listRect.Width(), withBar ? &barRect : nullptr))
        return false;
    ::SetCapture(m_hWnd);
    return true;
}

bool CListPanelList::CreateWindows(const RECT& listRect, HWND parent, UINT id, DWORD style, int columnWidth,
                                   const RECT* barRect)
{
    if (!CListCtrl::Create(style, listRect, parent, id))
        return false;
    if (!m_look.font && !m_fallbackFont)
        CreateFallbackFont(m_fallbackFont);
    SetFont(m_look.font ? m_look.font : static_cast<HFONT>(m_fallbackFont), FALSE);
    SetTextColor(m_look.colors.text);
    SetBkColor(m_look.colors.back);
    InsertColumn(0, L"", LVCFMT_LEFT, std::max(columnWidth, 0));
    if (barRect) {
        m_scrollBar = std::make_unique<CVScrollBar>(m_look.scrollSkin.Width(), m_hWnd);
        m_scrollBar->SetSkin(m_look.scrollSkin);
        m_scrollBar->SetBackColor(m_look.colors.back);
        m_scrollBar->SetBorderColor(m_look.colors.border);
        if (!m_scrollBar->Create(*barRect, parent, kScrollBarId))
            m_scrollBar.reset();  // too short for its parts: the list scrolls by wheel and keys only
    }
    SetItems(m_entries);
    return true;
}

std::wstring CListPanelList::ShownText(const ListEntry& entry) const
{
    std::wstring text;
    TranslateText(entry.name.c_str(), text);
    return text;
}

void CListPanelList::SetItems(const std::vector<ListEntry>& entries)
{
    if (&entries != &m_entries)
        m_entries = entries;
    m_hotRow = -1;
    m_toolTipRow = -1;
    if (!m_hWnd)
        return;
    // The rows go in with the list-view's drawing off: each row would otherwise update its scroll
    // bar, which the list then takes away again (OnNcCalcSize), each time several round trips to
    // the window server. Only a list that is shown is switched, as the default processing of
    // WM_SETREDRAW may show a window when drawing goes back on.
    const bool holdDrawing = (GetStyle() & WS_VISIBLE) != 0;
    if (holdDrawing)
        SendMessage(WM_SETREDRAW, FALSE);
    DeleteAllItems();
    for (size_t i = 0; i < m_entries.size(); ++i)
        InsertItem(static_cast<int>(i), ShownText(m_entries[i]).c_str(), static_cast<LPARAM>(i));
    if (holdDrawing)
        SendMessage(WM_SETREDRAW, TRUE);
    if (m_dataMode)
        SortItems(ByShownText, reinterpret_cast<LPARAM>(this));
    const CRect first = GetItemRect(0);
    m_rowHeight = first.IsRectEmpty() ? kRowHeight : first.Height();
    SyncScrollBar();
    Invalidate(FALSE);
}

void CListPanelList::Show(bool show)
{
    if (m_hWnd)
        ShowWindow(show ? SW_SHOW : SW_HIDE);
    if (m_scrollBar && m_scrollBar->IsWindow())
        m_scrollBar->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

const ListEntry* CListPanelList::EntryOfRow(int row) const
{
    int index = EntryIndexOfRow(row);
    return index < 0 ? nullptr : &m_entries[static_cast<size_t>(index)];
}

int CListPanelList::EntryIndexOfRow(int row) const
{
    if (row < 0 || row >= GetItemCount())
        return -1;
    LPARAM index = GetItemData(row);
    return index >= 0 && static_cast<size_t>(index) < m_entries.size() ? static_cast<int>(index) : -1;
}

int CListPanelList::RowOfEntry(int entryIndex) const
{
    const int rows = GetItemCount();
    for (int row = 0; row < rows; ++row) {
        if (EntryIndexOfRow(row) == entryIndex)
            return row;
    }
    return -1;
}

bool CListPanelList::IsRowDisabled(int row) const
{
    const ListEntry* entry = EntryOfRow(row);
    if (!entry)
        return true;
    if (entry->flag & 1)
        return true;
    CListPanelItem* nested = NestedListOf(*entry);
    return nested && nested->Entries().empty();
}

bool CListPanelList::IsInScrollBarArea(int x, int y) const
{
    if (!m_scrollBar)
        return false;
    const CRect client = GetClientRect();
    return x >= client.right && x < client.right + m_scrollBar->BarWidth() && y >= client.top && y < client.bottom;
}

bool CListPanelList::IsOutside(CPoint point) const
{
    return !GetClientRect().PtInRect(point) && !IsInScrollBarArea(point.x, point.y);
}

void CListPanelList::ResetHighlight()
{
    SetHotRow(-1);
}

void CListPanelList::SetHotRow(int row)
{
    if (row == m_hotRow)
        return;
    const int old = m_hotRow;
    m_hotRow = row;
    if (old >= 0)
        RedrawItems(old, old);
    if (row >= 0)
        RedrawItems(row, row);
}

void CListPanelList::SyncScrollBar()
{
    if (m_scrollBar && m_scrollBar->IsWindow())
        m_scrollBar->SyncWithList();
}

void CListPanelList::PassOnPress(UINT message, UINT flags, CPoint point)
{
    PassPressOn(m_hWnd, message, flags, point, m_opener);
}

// ---- Tooltip ------------------------------------------------------------------------------------

void CListPanelList::UpdateToolTip(int row)
{
    m_toolTipRow = row;
    const ListEntry* entry = EntryOfRow(row);
    const std::wstring& text = entry && !entry->text.empty() ? entry->text : m_look.toolTip;
    m_toolTip.SetText(m_hWnd, text.c_str());
    m_toolTipText = m_toolTip.Text();
}

BOOL CListPanelList::PreTranslateMessage(MSG* msg)
{
    m_toolTip.Relay(m_hWnd, msg);
    return CListCtrl::PreTranslateMessage(msg);
}

// ---- Input --------------------------------------------------------------------------------------

void CListPanelList::OnMouseMove(UINT, CPoint point)
{
    if (m_chosen)
        return;
    if (IsInScrollBarArea(point.x, point.y)) {
        // The bar holds the mouse while it is over it and gives it back when it leaves.
        if (::GetCapture() != m_scrollBar->GetSafeHwnd())
            ::SetCapture(m_scrollBar->GetSafeHwnd());
        return;
    }
    int row = GetClientRect().PtInRect(point) ? HitTest(point) : -1;
    SetHotRow(row >= 0 && !IsRowDisabled(row) ? row : -1);
    // The tooltip follows the row under the pointer, disabled or not.
    if (!m_entries.empty() && row != m_toolTipRow)
        UpdateToolTip(row);
}

void CListPanelList::OnLButtonDown(UINT flags, CPoint point)
{
    if (m_chosen || IsInScrollBarArea(point.x, point.y))
        return;
    if (IsOutside(point)) {
        // A press beside the popup ends it without a choice; the press itself is not lost.
        SetHotRow(-1);
        m_nestedChoice = -1;
        m_chosen = true;
        ::PostMessageW(GetParent(), WM_LISTPANEL_SELECT, 0, -1);
        PassOnPress(WM_LBUTTONDOWN, flags, point);
        return;
    }
    const int row = HitTest(point);
    if (row >= 0 && IsRowDisabled(row))
        return;  // a disabled row cannot be chosen: the panel stays
    SetHotRow(row);
    if (const ListEntry* entry = EntryOfRow(row)) {
        CListPanelItem* nested = NestedListOf(*entry);
        if (nested && !nested->Entries().empty()) {
            const CRect rowRect = GetItemRect(row);
            const int shown = std::min<int>(static_cast<int>(nested->Entries().size()), kMaxUnscrolledRows);
            const int height = m_rowHeight * shown + 2 * BorderOf(nested->Look());
            m_nestedChoice = nested->PopupSubmenu(height, m_hWnd, rowRect);
            // The outer choice comes with the nested one: the opener reads it from the item.
            nested->SetChoice(m_nestedChoice);
        }
    }
    m_chosen = true;
    SetTimer(kChosenTimer, kAcknowledgeMs);
}

void CListPanelList::OnLButtonUp(UINT, CPoint point)
{
    if (!IsInScrollBarArea(point.x, point.y))
        Default();
}

void CListPanelList::OnRButtonDown(UINT, CPoint)
{
    if (m_chosen)
        return;
    SetHotRow(-1);
    m_nestedChoice = -1;
    m_chosen = true;  // no later move may make a row hot before the panel ends
    SetTimer(kChosenTimer, kAcknowledgeMs);
}

void CListPanelList::OnTimer(UINT_PTR id)
{
    if (id != kChosenTimer) {
        Default();
        return;
    }
    KillTimer(kChosenTimer);
    m_chosen = false;
    ::PostMessageW(GetParent(), WM_LISTPANEL_SELECT, static_cast<WPARAM>(m_nestedChoice),
                   static_cast<LPARAM>(EntryIndexOfRow(m_hotRow)));
}

LRESULT CListPanelList::OnKillFocus(WPARAM, LPARAM)
{
    LRESULT result = Default();
    if (m_chosen)
        return result;  // the choice is being acknowledged
    const ListEntry* hot = EntryOfRow(m_hotRow);
    CListPanelItem* nested = hot ? NestedListOf(*hot) : nullptr;
    if (nested && !nested->Entries().empty())
        return result;  // the nested panel took the focus
    SetHotRow(-1);
    m_nestedChoice = -1;
    m_chosen = true;
    ::PostMessageW(GetParent(), WM_LISTPANEL_SELECT, 0, -1);
    return result;
}

LRESULT CListPanelList::OnMouseWheel(WPARAM wParam, LPARAM)
{
    SyncScrollBar();
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    for (int notch = 0; notch < std::abs(delta) / kWheelDelta; ++notch)
        SendMessage(WM_VSCROLL, MAKEWPARAM(delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0));
    SyncScrollBar();
    return 0;
}

LRESULT CListPanelList::OnKey(WPARAM wParam, LPARAM)
{
    SyncScrollBar();
    LRESULT result = wParam == VK_RIGHT ? 0 : Default();
    SyncScrollBar();
    return result;
}

LRESULT CListPanelList::OnVScroll(WPARAM wParam, LPARAM)
{
    const int code = LOWORD(wParam);
    if (ScrollListByBar(*this, wParam, m_rowHeight))
        return 0;
    LRESULT result = Default();
    if (code != SB_ENDSCROLL)
        SyncScrollBar();
    return result;
}

LRESULT CListPanelList::OnNcCalcSize(WPARAM, LPARAM)
{
    // The skinned bar stands in for the list-view's own bars, which never take room.
    ModifyStyle(WS_VSCROLL | WS_HSCROLL, 0);
    return Default();
}

BOOL CListPanelList::OnEraseBkgnd(HDC)
{
    return TRUE;  // the background is drawn at pre-paint
}

void CListPanelList::MeasureItem(MEASUREITEMSTRUCT* mis)
{
    mis->itemHeight = kRowHeight;
}

// ---- Drawing ------------------------------------------------------------------------------------

void CListPanelList::OnCustomDraw(NMHDR* header, LRESULT* result)
{
    NMLVCUSTOMDRAW* draw = CustomDrawOf(header);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        DrawBackground(draw->nmcd.hdc);
        *result = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT:
        // Drawn whole here: an owner-drawn list would otherwise get WM_DRAWITEM for the row too.
        DrawRow(draw->nmcd.hdc, static_cast<int>(draw->nmcd.dwItemSpec), draw->nmcd.uItemState);
        *result = CDRF_SKIPDEFAULT;
        break;
    default:
        *result = CDRF_DODEFAULT;
        break;
    }
}

void CListPanelList::DrawBackground(HDC dc)
{
    CDC(dc).FillSolidRect(GetClientRect(), m_look.colors.back);
}

CListPanelList::RowState CListPanelList::StateOfRow(int row, UINT itemState) const
{
    if (IsRowDisabled(row))
        return RowState::Disabled;
    if (row == m_hotRow || (itemState & CDIS_SELECTED))
        return RowState::Hot;
    return RowState::Normal;
}

void CListPanelList::DrawRow(HDC hdc, int row, UINT itemState)
{
    const ListEntry* entry = EntryOfRow(row);
    const CRect rect = GetItemRect(row);
    if (!entry || rect.IsRectEmpty())
        return;
    const ListPanelColors& c = m_look.colors;
    COLORREF text = c.text;
    COLORREF back = c.back;
    switch (StateOfRow(row, itemState)) {
    case RowState::Disabled:
        text = c.disabledText;
        back = c.disabledBack;
        break;
    case RowState::Hot:
        text = c.hotText;
        back = c.hotBack;
        break;
    case RowState::Selected:
        text = c.selectedText;
        back = c.selectedBack;
        break;
    case RowState::Normal:
        break;
    }
    CDC dc(hdc);
    dc.FillSolidRect(rect, back);
    dc.SelectObject(m_look.font ? m_look.font : static_cast<HFONT>(m_fallbackFont));
    dc.SetTextColor(text);
    dc.SetBkMode(TRANSPARENT);
    CRect textRect(rect.left + m_look.leftMargin, rect.top, rect.right - m_look.rightMargin, rect.bottom);
    dc.DrawText(ShownText(*entry), &textRect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

// ---- The list of a page -------------------------------------------------------------------------

CListPanelStatic::CListPanelStatic() = default;
CListPanelStatic::~CListPanelStatic() = default;

bool CListPanelStatic::Create(const std::vector<ListEntry>& entries, const ListPanelLook& look, bool dataMode,
                              const RECT& rect, HWND parent, int32_t itemId)
{
    m_look = look;
    m_dataMode = dataMode;
    m_entries = entries;
    m_itemId = itemId;
    const int border = BorderOf(look);
    BorderHalves(border, m_halfDown, m_halfUp);
    const CRect area(rect);
    const int barWidth = look.scrollSkin.Width();
    // The bar lies over the list's right strip, inside the frame; the list does not paint there.
    CRect barRect(area.right - border - barWidth, area.top + border, area.right - border, area.bottom - border);
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDRAWFIXED |
                        LVS_NOCOLUMNHEADER;
    if (!CreateWindows(area, parent, static_cast<UINT>(itemId), style, area.Width() - 2 * border - barWidth,
                       barWidth > 0 ? &barRect : nullptr))
        return false;
    if (m_scrollBar)  // above the list, which clips its siblings
        m_scrollBar->SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

CRect CListPanelStatic::BarRect() const
{
    if (!m_scrollBar)
        return CRect();
    const CRect client = GetClientRect();
    const int border = BorderOf(m_look);
    return CRect(client.right - border - m_scrollBar->BarWidth(), client.top + border, client.right - border,
                 client.bottom - border);
}

bool CListPanelStatic::IsInScrollBarArea(int x, int y) const
{
    return BarRect().PtInRect(CPoint(x, y));
}

void CListPanelStatic::ResetHighlight()
{
    const bool changed = m_hotRow >= 0 || m_selectedRow >= 0;
    m_hotRow = -1;
    m_selectedRow = -1;
    if (changed && m_hWnd)
        Invalidate(FALSE);
}

void CListPanelStatic::SetSelectedRow(int row)
{
    m_selectedRow = row;
    if (m_hWnd)
        Invalidate(FALSE);
}

CListPanelList::RowState CListPanelStatic::StateOfRow(int row, UINT itemState) const
{
    if (IsRowDisabled(row))
        return RowState::Disabled;
    if (row == m_hotRow)
        return RowState::Hot;
    if (m_look.colors.hasSelected && (row == m_selectedRow || (itemState & CDIS_SELECTED)))
        return RowState::Selected;
    if (row == m_selectedRow || (itemState & CDIS_SELECTED))
        return RowState::Hot;
    return RowState::Normal;
}

void CListPanelStatic::DrawBackground(HDC hdc)
{
    CDC dc(hdc);
    const CRect client = GetClientRect();
    dc.FillSolidRect(client, m_look.colors.back);
    const int border = BorderOf(m_look);
    DrawBorder(dc, client, border, m_look.colors.border);
    if (m_scrollBar) {
        const CRect bar = BarRect();
        dc.FillSolidRect(CRect(bar.left - 1, bar.top, bar.left, bar.bottom), m_look.colors.border);
    }
    // Rows stay inside the frame and left of the bar.
    CRect inner(client.left + border, client.top + border, client.right - border, client.bottom - border);
    if (m_scrollBar)
        inner.right = BarRect().left - 1;
    dc.IntersectClipRect(inner);
}

void CListPanelStatic::OnMouseMove(UINT flags, CPoint point)
{
    // The list holds the mouse while the pointer is over it, so that it sees the pointer leave.
    if (!GetClientRect().PtInRect(point)) {
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        SetHotRow(-1);
        return;
    }
    if (::GetCapture() != m_hWnd && !IsInScrollBarArea(point.x, point.y))
        ::SetCapture(m_hWnd);
    CListPanelList::OnMouseMove(flags, point);
}

void CListPanelStatic::OnLButtonDown(UINT flags, CPoint point)
{
    if (!GetClientRect().PtInRect(point)) {
        PassOnPress(WM_LBUTTONDOWN, flags, point);
        SetHotRow(-1);
        return;
    }
    if (IsInScrollBarArea(point.x, point.y))
        return;
    const int row = HitTest(point);
    if (row < 0 || IsRowDisabled(row))
        return;
    m_chosen = false;
    ::PostMessageW(GetParent(), WM_LISTPANEL_ITEMCLICK, static_cast<WPARAM>(EntryIndexOfRow(row)),
                   static_cast<LPARAM>(m_itemId));
}

LRESULT CListPanelStatic::OnKillFocus(WPARAM, LPARAM)
{
    LRESULT result = Default();
    SetHotRow(-1);
    return result;
}
