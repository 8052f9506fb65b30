#include "controls/MacroDisplay.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "controls/ListPanelItem.h"
#include "model/Macro.h"
#include "platform/Dc.h"
#include "platform/WStr.h"
#include "skin/FontItem.h"
#include "skin/LangTable.h"

namespace {

constexpr int kWheelDelta = 120;
// Sent to itself once the list has placed the delay's edit over the first column.
constexpr UINT WM_PLACEDELAYEDIT = WM_APP + 0x21;

const wchar_t* const kMouseButtonKeys[] = {
    L"<null>", L"$LeftButton", L"$RightButton", L"$Wheel", L"$Button4", L"$Button5",
    L"$RightSideFrontButton", L"$RightSideRearButton",
};

LPARAM RowDataOf(const MacroEvent& event)
{
    switch (event.type) {
    case kMacroEventKey:
        return (event.extra & 0xFF) == kKeyStatePressed ? CMacroDisplayItem::kRowKeyDown : CMacroDisplayItem::kRowKeyUp;
    case kMacroEventMouse:
        return CMacroDisplayItem::kRowMouse;
    default:
        return CMacroDisplayItem::kRowDelay;
    }
}

} // namespace

BEGIN_MSG_MAP(CMacroDisplayItem, CListCtrl)
    ON_MESSAGE(WM_INPUT, OnInput)
    ON_WM_LBUTTONDOWN()
    HV_ON_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDown)
    ON_WM_RBUTTONDOWN()
    HV_ON_MOUSE(WM_RBUTTONDBLCLK, OnRButtonDown)
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_MOUSEWHEEL, OnMouseWheel)
    ON_MESSAGE(WM_VSCROLL, OnVScroll)
    ON_MESSAGE(WM_NCCALCSIZE, OnNcCalcSize)
    ON_MESSAGE(WM_PLACEDELAYEDIT, OnPlaceDelayEdit)
    ON_WM_ERASEBKGND()
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(LVN_BEGINLABELEDITW, OnBeginLabelEdit)
    ON_NOTIFY_REFLECT(LVN_ENDLABELEDITW, OnEndLabelEdit)
END_MSG_MAP()

CMacroDisplayItem::CMacroDisplayItem(int32_t maxEvents, bool readOnly)
    : m_maxEvents(maxEvents < 0 ? 0 : maxEvents), m_readOnly(readOnly)
{
    kind = ItemKind::MacroDisplay;
}

CMacroDisplayItem::~CMacroDisplayItem()
{
    if (m_hWnd)
        DestroyWindow();
    if (m_scrollBar && m_scrollBar->IsWindow())
        m_scrollBar->DestroyWindow();
    if (m_frame && m_frame->IsWindow())
        m_frame->DestroyWindow();
}

// ---- Layout side --------------------------------------------------------------------------------

bool CMacroDisplayItem::CreateList(HWND parent, const RECT& rect, UINT id, const VScrollSkin* scrollSkin,
                                   const FrameBitmapInfo* frame)
{
    auto panel = std::make_unique<CGenericPanel>(m_borderWidth);
    panel->SetFillColor(m_back);
    panel->SetBorderColor(m_border);
    if (!panel->Create(rect, parent, frame))
        return false;
    CRect listRect(rect);
    listRect.DeflateRect(m_borderWidth, m_borderWidth);
    const int barWidth = scrollSkin ? scrollSkin->Width() : 0;
    if (barWidth > 0)
        listRect.right -= barWidth;
    // The columns carry no captions; label editing needs its style (Wine refuses it otherwise).
    const DWORD style =
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_EDITLABELS | LVS_NOCOLUMNHEADER;
    if (!CListCtrl::Create(style, listRect, parent, id)) {
        panel->DestroyWindow();
        return false;
    }
    m_frame = std::move(panel);
    // Above the frame (a later sibling would come below it), which never paints over it.
    m_frame->ModifyStyle(0, WS_CLIPSIBLINGS);
    m_frame->SetWindowPos(m_hWnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    if (!m_font && !m_fallbackFont)
        CreateFallbackFont(m_fallbackFont);
    HFONT font = m_font ? static_cast<HFONT>(*m_font) : static_cast<HFONT>(m_fallbackFont);
    SetFont(font, FALSE);
    LOGFONTW logFont{};
    if (::GetObjectW(font, sizeof logFont, &logFont)) {
        logFont.lfWeight = FW_BOLD;
        m_boldFont.CreateFontIndirect(logFont);
        const int height = std::abs(static_cast<int>(logFont.lfHeight));
        m_rowHeight = height < 1 ? kDefaultRowHeight : height + 4;
    }
    // The rows are as high as the small images.
    if (HIMAGELIST images = ImageList_Create(kIconWidth, std::max(kIconHeight, m_rowHeight), ILC_COLOR32, 0, 1))
        SendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    SetTextColor(m_text);
    SetBkColor(m_back);
    SetTextBkColor(m_back);

    if (barWidth > 0) {
        m_scrollBar = std::make_unique<CVScrollBar>(barWidth, m_hWnd);
        m_scrollBar->SetSkin(*scrollSkin);
        m_scrollBar->SetBackColor(m_back);
        m_scrollBar->SetBorderColor(m_border);
        const CRect barRect(listRect.right, listRect.top, listRect.right + barWidth, listRect.bottom);
        if (!m_scrollBar->Create(barRect, parent, kScrollBarId))
            m_scrollBar.reset();  // too short for its parts: the list scrolls by wheel only
        else
            m_frame->SetWindowPos(m_scrollBar->GetSafeHwnd(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    window = m_hWnd;
    return true;
}

void CMacroDisplayItem::SetRowBitmaps(HBITMAP keyDown, HBITMAP keyUp, HBITMAP mouse, HBITMAP mouseSelected,
                                      HBITMAP delay, HBITMAP delaySelected)
{
    const HBITMAP given[kRowBitmapCount] = {keyDown, keyUp, delay, delaySelected, mouse, mouseSelected};
    for (int i = 0; i < kRowBitmapCount; ++i) {
        m_rowBitmaps[i].DeleteObject();
        if (given[i])
            m_rowBitmaps[i].CopyFrom(given[i]);
    }
}

int CMacroDisplayItem::AddColumn(int32_t columnId, int32_t columnType, wchar_t justify, int width)
{
    if (columnId == -1 || columnType == -1 || m_columns.size() >= kMaxColumns || SubItemOf(columnId) >= 0)
        return -1;
    const int format = justify == L'C' ? LVCFMT_CENTER : justify == L'R' ? LVCFMT_RIGHT : LVCFMT_LEFT;
    const int index = InsertColumn(static_cast<int>(m_columns.size()), L"", format, std::max(width, 0));
    if (index < 0)
        return -1;
    m_columns.push_back({columnId, columnType, format});
    return index;
}

void CMacroDisplayItem::SetFontColor(COLORREF c)
{
    m_text = c;
    if (m_hWnd) {
        SetTextColor(c);
        Invalidate(FALSE);
    }
}

void CMacroDisplayItem::SetBackColor(COLORREF c)
{
    m_back = c;
    if (m_frame)
        m_frame->SetFillColor(c);
    if (m_scrollBar)
        m_scrollBar->SetBackColor(c);
    if (m_hWnd) {
        SetBkColor(c);
        SetTextBkColor(c);
        Invalidate();
    }
}

void CMacroDisplayItem::SetBorderColor(COLORREF c)
{
    m_border = c;
    if (m_frame) {
        m_frame->SetBorderColor(c);
        m_frame->Invalidate();
    }
    if (m_scrollBar) {
        m_scrollBar->SetBorderColor(c);
        m_scrollBar->Invalidate();
    }
}

void CMacroDisplayItem::SetToolTip(const wchar_t* key)
{
    if (m_hWnd)
        m_toolTip.SetText(m_hWnd, key);
}

void CMacroDisplayItem::SetMenus(CListPanelItem* keyMenu, CListPanelItem* delayMenu, CListPanelItem* mouseMenu)
{
    m_menus[0] = keyMenu;
    m_menus[1] = delayMenu;
    m_menus[2] = mouseMenu;
}

void CMacroDisplayItem::Show(bool show)
{
    const int command = show ? SW_SHOW : SW_HIDE;
    if (m_frame && m_frame->IsWindow())
        m_frame->ShowWindow(command);
    if (m_hWnd)
        ShowWindow(command);
    if (m_scrollBar && m_scrollBar->IsWindow())
        m_scrollBar->ShowWindow(show && !m_recording ? SW_SHOW : SW_HIDE);
}

// ---- Rows ---------------------------------------------------------------------------------------

std::wstring CMacroDisplayItem::RowText(const MacroEvent& event)
{
    std::wstring text;
    switch (event.type) {
    case kMacroEventKey: {
        const UINT scanCode = static_cast<UINT>(event.value) & 0xFFFF;
        const UINT virtualKey = (static_cast<UINT>(event.value) >> 16) & 0xFFFF;
        const bool extended = ((static_cast<UINT>(event.extra) >> 8) & KeyEventRecord::kExtended) != 0;
        GetKeyDisplayName(virtualKey, text, scanCode, extended);
        return text;
    }
    case kMacroEventMouse: {
        const size_t button = event.value >= 0 && static_cast<size_t>(event.value) < std::size(kMouseButtonKeys)
                                  ? static_cast<size_t>(event.value)
                                  : 0;
        const std::wstring key =
            std::wstring(kMouseButtonKeys[button]) + ((event.extra & 0xFF) == kKeyStateReleased ? L"Up" : L"Down");
        TranslateText(key.c_str(), text);
        return text;
    }
    default: {
        std::wstring unit;
        TranslateText(L"$secondsdelay", unit);
        return wstr::Format(L"%.3f %ls", event.value / 1000.0, unit.c_str());
    }
    }
}

int CMacroDisplayItem::SubItemOf(int32_t columnId) const
{
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].id == columnId)
            return static_cast<int>(i);
    }
    return -1;
}

int CMacroDisplayItem::InsertRow(int index, const MacroEvent& event)
{
    if (!m_hWnd)
        return -1;
    const int count = GetItemCount();
    const int position = index < 0 || index > count ? count : index;
    const int row = InsertItem(position, L"", RowDataOf(event));
    if (row < 0)
        return -1;
    const int text = SubItemOf(kTextColumnId);
    if (text >= 0)
        SetItemText(row, text, RowText(event).c_str());
    m_events.insert(m_events.begin() + row, event);
    if (count == 0) {
        const CRect first = GetItemRect(0);
        if (first.Height() > 0)
            m_rowHeight = first.Height();
    }
    EnsureVisible(row, false);
    SyncScrollBar();
    SelectRow(row);
    return row;
}

void CMacroDisplayItem::DeleteRow(int row)
{
    if (row < 0 || static_cast<size_t>(row) >= m_events.size())
        return;
    DeleteItem(row);
    m_events.erase(m_events.begin() + row);
    SyncScrollBar();
}

void CMacroDisplayItem::SelectRow(int row)
{
    const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
    if (row < 0) {
        SetItemState(-1, 0, both);
        return;
    }
    SetItemState(row, both, both);
    SetSelectionMark(row);
}

void CMacroDisplayItem::ClearEvents()
{
    m_events.clear();
    if (m_hWnd)
        DeleteAllItems();
    SyncScrollBar();
}

bool CMacroDisplayItem::SetEvents(const std::vector<MacroEvent>* events)
{
    if (!events || m_recording)
        return false;
    const std::vector<MacroEvent> shown = *events;  // events may be this display's own
    ClearEvents();
    for (const MacroEvent& event : shown)
        InsertRow(-1, event);
    return m_hWnd && GetItemCount() > 0;
}

bool CMacroDisplayItem::ReplaceEvent(int index, const MacroEvent& event)
{
    if (m_readOnly || index < 0 || static_cast<size_t>(index) >= m_events.size())
        return false;
    DeleteRow(index);
    const int row = InsertRow(index, event);
    NotifyOwner(WM_MACRODISPLAY_CHANGED);
    return row >= 0;
}

HWND CMacroDisplayItem::NoticeWindow() const
{
    HWND ownerWindow = owner ? owner->GetSafeHwnd() : nullptr;
    return ownerWindow && ::IsWindow(ownerWindow) ? ownerWindow : GetParent();
}

void CMacroDisplayItem::NotifyOwner(UINT message)
{
    ::SendMessageW(NoticeWindow(), message, 0, static_cast<LPARAM>(id));
}

void CMacroDisplayItem::SyncScrollBar()
{
    if (m_scrollBar && m_scrollBar->IsWindow())
        m_scrollBar->SyncWithList();
}

// ---- Keys, mouse and scrolling ------------------------------------------------------------------

BOOL CMacroDisplayItem::PreTranslateMessage(MSG* msg)
{
    if (m_labelEditing || m_readOnly)
        return CListCtrl::PreTranslateMessage(msg);
    m_toolTip.Relay(m_hWnd, msg);
    if (msg->hwnd == m_hWnd && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) &&
        KeyRecordFromKeyMessage(m_record, *msg))
        return TRUE;
    return CListCtrl::PreTranslateMessage(msg);
}

void CMacroDisplayItem::OnLButtonDown(UINT, CPoint point)
{
    if (m_recording || m_readOnly)
        return;
    // Only a delay row starts label editing when its focused row is clicked again.
    const int row = HitTest(point);
    if (row >= 0 && (GetItemState(row, LVIS_FOCUSED) & LVIS_FOCUSED) && GetItemData(row) != kRowDelay)
        return;
    Default();
}

void CMacroDisplayItem::OnRButtonDown(UINT, CPoint point)
{
    if (m_readOnly || m_recording || m_labelEditing)
        return;
    SetFocus();
    const int row = HitTest(point);
    SelectRow(row);
    RunMenu(row, point);
}

void CMacroDisplayItem::OnMouseMove(UINT flags, CPoint point)
{
    if (!m_labelEditing && !(flags & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
        CPoint screen = point;
        ClientToScreen(&screen);
        const bool overBar = m_scrollBar && m_scrollBar->IsWindow() && m_scrollBar->IsWindowVisible() &&
                             m_scrollBar->GetWindowRect().PtInRect(screen);
        if (overBar) {
            // The bar takes the hover, and hands the mouse back when the pointer leaves it.
            if (::GetCapture() != m_scrollBar->GetSafeHwnd())
                ::SetCapture(m_scrollBar->GetSafeHwnd());
            m_hoverCapture = false;
        } else if (GetClientRect().PtInRect(point)) {
            if (::GetCapture() != m_hWnd && ::GetActiveWindow()) {
                ::SetCapture(m_hWnd);
                m_hoverCapture = true;
            }
        } else if (::GetCapture() == m_hWnd) {
            m_hoverCapture = false;
            ::ReleaseCapture();
        }
    }
    Default();
}

LRESULT CMacroDisplayItem::OnMouseWheel(WPARAM wParam, LPARAM)
{
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    for (int notch = 0; notch < std::abs(delta) / kWheelDelta; ++notch)
        PostMessage(WM_VSCROLL, MAKEWPARAM(delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0));
    return 0;
}

LRESULT CMacroDisplayItem::OnVScroll(WPARAM wParam, LPARAM)
{
    if (ScrollListByBar(*this, wParam, m_rowHeight))
        return 0;
    const int code = LOWORD(wParam);
    const LRESULT result = Default();
    if (code != SB_ENDSCROLL)
        SyncScrollBar();
    return result;
}

LRESULT CMacroDisplayItem::OnNcCalcSize(WPARAM, LPARAM)
{
    // The skinned bar stands in for the list-view's own bars, which never take room.
    ModifyStyle(WS_VSCROLL | WS_HSCROLL, 0);
    return Default();
}

BOOL CMacroDisplayItem::OnEraseBkgnd(HDC dc)
{
    CDC(dc).FillSolidRect(GetClientRect(), m_back);
    return TRUE;
}

// ---- Context menu and label editing -------------------------------------------------------------

void CMacroDisplayItem::RunMenu(int row, CPoint point)
{
    int menuIndex = 1;  // no row: the delay rows' menu, whose insert goes to the top
    if (row >= 0) {
        const LPARAM data = GetItemData(row);
        menuIndex = data == kRowDelay ? 1 : data == kRowMouse ? 2 : 0;
    }
    CListPanelItem* menu = m_menus[menuIndex];
    if (!menu)
        return;
    HWND self = m_hWnd;
    const int chosen = menu->PopupPanel(0, self, point.x, point.y);
    // The modal panel ran the message loop: the display may be gone, or recording now.
    if (!::IsWindow(self) || CWnd::FromHandlePermanent(self) != this || m_recording || chosen < 0)
        return;
    RunCommand(menu->GetEntryText(chosen), GetSelectedItem());
}

void CMacroDisplayItem::RunCommand(const std::wstring& command, int row)
{
    if (wstr::EqualsNoCase(command, L"$InsertDelay")) {
        InsertDelayAfter(row);
        return;
    }
    if (row < 0)
        return;  // "$Delete" and "$Edit" need a row
    if (wstr::EqualsNoCase(command, L"$Delete")) {
        DeleteSelected(row);
    } else if (wstr::EqualsNoCase(command, L"$Edit")) {
        const LPARAM data = GetItemData(row);
        if (data == kRowKeyDown || data == kRowKeyUp)
            NotifyOwner(WM_MACRODISPLAY_EDITKEY);
        else if (data == kRowDelay)
            StartDelayEdit(row);
    }
}

void CMacroDisplayItem::InsertDelayAfter(int row)
{
    if (m_events.size() >= kMaxMacroEvents)
        return;
    InsertRow(row < 0 ? 0 : row + 1, DelayEvent(m_defaultDelay));
    NotifyOwner(WM_MACRODISPLAY_CHANGED);
}

void CMacroDisplayItem::DeleteSelected(int row)
{
    const bool wasLast = row + 1 >= GetItemCount();
    DeleteRow(row);
    SelectRow(wasLast ? -1 : row);  // the row after it moved up into its place
    NotifyOwner(WM_MACRODISPLAY_CHANGED);
}

void CMacroDisplayItem::StartDelayEdit(int row)
{
    SetFocus();
    EditLabel(row);
}

void CMacroDisplayItem::OnBeginLabelEdit(NMHDR* header, LRESULT* result)
{
    const auto* info = reinterpret_cast<const NMLVDISPINFOW*>(header);
    const int row = info->item.iItem;
    if (m_readOnly || m_recording || row < 0 || static_cast<size_t>(row) >= m_events.size() ||
        m_events[static_cast<size_t>(row)].type != kMacroEventDelay) {
        *result = TRUE;  // only delays are edited as text
        return;
    }
    m_labelEditing = true;
    m_editRow = row;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (HWND edit = GetEditControl()) {
        // The stored milliseconds, so that an edit left as it is keeps the delay exactly.
        const std::wstring text = wstr::Format(L"%d", m_events[static_cast<size_t>(row)].value);
        ::SetWindowTextW(edit, text.c_str());
        ::SendMessageW(edit, EM_SETLIMITTEXT, kDelayEditChars, 0);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
    }
    PostMessage(WM_PLACEDELAYEDIT);
    *result = FALSE;
}

LRESULT CMacroDisplayItem::OnPlaceDelayEdit(WPARAM, LPARAM)
{
    PlaceDelayEdit();
    return 0;
}

void CMacroDisplayItem::PlaceDelayEdit()
{
    // The list puts the edit over the first column; the delay's text is in its own column.
    HWND edit = GetEditControl();
    const int text = SubItemOf(kTextColumnId);
    if (!m_labelEditing || !edit || text < 0)
        return;
    const CRect cell = SubItemRect(m_editRow, text);
    if (!cell.IsRectEmpty())
        ::MoveWindow(edit, cell.left, cell.top, cell.Width(), cell.Height(), TRUE);
}

void CMacroDisplayItem::OnEndLabelEdit(NMHDR* header, LRESULT* result)
{
    const auto* info = reinterpret_cast<const NMLVDISPINFOW*>(header);
    const int row = m_editRow;
    m_labelEditing = false;
    m_editRow = -1;
    *result = FALSE;  // the list keeps its own label; the delay's row text is rewritten here
    if (!info->item.pszText || row < 0 || static_cast<size_t>(row) >= m_events.size() ||
        m_events[static_cast<size_t>(row)].type != kMacroEventDelay)
        return;
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(info->item.pszText, &end, 10);
    if (end == info->item.pszText || value <= 0)
        return;  // no number, zero or negative: the delay stays
    MacroEvent& event = m_events[static_cast<size_t>(row)];
    event.value = static_cast<int32_t>(std::min<long long>(value, kMaxMacroDelay));
    const int text = SubItemOf(kTextColumnId);
    if (text >= 0)
        SetItemText(row, text, RowText(event).c_str());
    NotifyOwner(WM_MACRODISPLAY_CHANGED);
}

// ---- Drawing ------------------------------------------------------------------------------------

CRect CMacroDisplayItem::SubItemRect(int row, int subItem) const
{
    CRect bounds = GetItemRect(row, LVIR_BOUNDS);
    if (bounds.IsRectEmpty() || subItem < 0)
        return CRect();
    int left = bounds.left;
    for (int i = 0; i < subItem; ++i)
        left += GetColumnWidth(i);
    return CRect(left, bounds.top, left + GetColumnWidth(subItem), bounds.bottom);
}

void CMacroDisplayItem::OnCustomDraw(NMHDR* header, LRESULT* result)
{
    NMLVCUSTOMDRAW* draw = CustomDrawOf(header);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        if (m_events.empty()) {
            CDC(draw->nmcd.hdc).FillSolidRect(GetClientRect(), m_back);
            *result = CDRF_SKIPDEFAULT;
        } else {
            *result = CDRF_NOTIFYITEMDRAW;
        }
        break;
    case CDDS_ITEMPREPAINT: {
        const int row = static_cast<int>(draw->nmcd.dwItemSpec);
        DrawRow(draw->nmcd.hdc, row, (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0);
        *result = CDRF_SKIPDEFAULT;
        break;
    }
    default:
        *result = CDRF_DODEFAULT;
        break;
    }
}

void CMacroDisplayItem::DrawRow(HDC hdc, int row, bool selected)
{
    CDC dc(hdc);
    const CRect client = GetClientRect();
    const LPARAM data = GetItemData(row);
    for (size_t i = 0; i < m_columns.size(); ++i) {
        CRect cell = SubItemRect(row, static_cast<int>(i));
        cell.left += m_leftMargin;
        cell.right = std::min<LONG>(cell.right, client.right - m_borderWidth);
        if (cell.IsRectEmpty())
            continue;
        dc.FillSolidRect(cell, m_back);
        const Column& column = m_columns[i];
        if (column.id == kIconColumnId) {
            int picture = static_cast<int>(data);
            if (data == kRowDelay || data == kRowMouse)
                picture += selected ? 1 : 0;
            if (picture < 0 || picture >= kRowBitmapCount || !m_rowBitmaps[picture])
                continue;
            BITMAP info{};
            ::GetObjectW(m_rowBitmaps[picture], sizeof info, &info);
            CMemoryDC source(hdc);
            source.SelectObject(static_cast<HBITMAP>(m_rowBitmaps[picture]));
            dc.BitBlt(cell.left, cell.top, std::min<int>(info.bmWidth, cell.Width()),
                      std::min<int>(info.bmHeight, cell.Height()), source, 0, 0);
        } else if (column.id == kTextColumnId) {
            dc.FillSolidRect(cell, selected ? m_backHi : m_back);
            dc.SetTextColor(selected ? m_textHi : m_text);
            dc.SetBkMode(TRANSPARENT);
            dc.SelectObject(m_boldFont ? static_cast<HFONT>(m_boldFont) : GetFont());
            const UINT align = column.format == LVCFMT_CENTER ? DT_CENTER : column.format == LVCFMT_RIGHT ? DT_RIGHT : DT_LEFT;
            CRect textRect = cell;
            dc.DrawText(GetItemText(row, static_cast<int>(i)), &textRect,
                        align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        }
    }
}
