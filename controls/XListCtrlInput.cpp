// The extended list's answers to the mouse and the keys: presses on rows and cells, the context
// menu and its program entries, scrolling behind the skinned bar, the in-place edit and the combo
// cells' drop-down lists.
#include "controls/XListCtrl.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "controls/ControlMessages.h"
#include "controls/ListPanelItem.h"
#include "controls/XComboList.h"
#include "controls/XListEdit.h"
#include "platform/CommonDialogs.h"

namespace {

constexpr int kWheelDelta = 120;
constexpr UINT kComboPressMs = 100;
constexpr UINT kComboChoiceMs = 50;
// The context menu entries the list runs itself; every other one goes to the owner.
constexpr wchar_t kAssignApplication[] = L"$AssignApplication";
constexpr wchar_t kUnassignApplication[] = L"$UnassignApplication";
// The cells the application entries fill: the linked program and its switch.
constexpr int kProgramColumn = 3;
constexpr int kSwitchColumn = 4;

} // namespace

// ---- Mouse ---------------------------------------------------------------------------------------

BOOL CXListCtrl::PreTranslateMessage(MSG* msg)
{
    m_toolTip.Relay(m_hWnd, msg);
    return CListCtrl::PreTranslateMessage(msg);
}

void CXListCtrl::OnMouseMove(UINT, CPoint point)
{
    // The column tooltip follows the column under the pointer.
    const int column = GetClientRect().PtInRect(point) ? ColumnAtX(point.x) : -1;
    if (column >= 0 && column != m_toolTipColumn) {
        m_toolTipColumn = column;
        if (const XListColumn* shown = ColumnAt(column))
            m_toolTip.SetText(m_hWnd, (shown->toolTip.empty() ? shown->name : shown->toolTip).c_str());
    }
    if (IsOverBar(point)) {
        // The bar holds the mouse while it is over it and gives it back when it leaves.
        if (::GetCapture() != m_scrollBar->GetSafeHwnd())
            ::SetCapture(m_scrollBar->GetSafeHwnd());
        return;
    }
    // The list holds the mouse while the pointer is over the list itself: not over its header or
    // its edit, which take the mouse themselves, nor over a window above it (a combo list).
    if (IsUnderPointer(point)) {
        if (::GetCapture() != m_hWnd)
            ::SetCapture(m_hWnd);
    } else if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
    }
    Default();
}

bool CXListCtrl::IsUnderPointer(CPoint point) const
{
    CPoint screen = point;
    ClientToScreen(&screen);
    return ::WindowFromPoint(screen) == m_hWnd;
}

void CXListCtrl::OnLButtonDown(UINT flags, CPoint point)
{
    if (!IsUnderPointer(point)) {
        // Only while the list holds the mouse: the press belongs to whatever lies under it.
        PassPressOn(m_hWnd, WM_LBUTTONDOWN, flags, point);
        return;
    }
    EndEdit(true);
    PressRow(point);
}

void CXListCtrl::PressRow(CPoint point)
{
    HWND self = m_hWnd;
    LVHITTESTINFO hit = {};
    hit.pt = point;
    SubItemHitTest(&hit);
    const int row = hit.iItem;
    XListCellData* data = RowData(row);
    if (!data) {
        KillTimer(kComboPressTimer);
        Default();
        return;
    }
    const int rowKey = data->rowKey;
    for (int d = 0; d < ColumnCount(); ++d) {
        const XListCell* cell = CellAt(row, d);
        if (!cell)
            break;
        CRect rect = CellRect(row, d);
        if (cell->check >= 0) {
            if (!CheckHitRect(rect).PtInRect(point))
                continue;
            ClickCheck(row, d);
            break;
        }
        if (!rect.PtInRect(point))
            continue;
        if (cell->isCombo)
            PressCombo(row, d, rect, point);
        break;
    }
    if (!StillMine(self))
        return;
    ::SendMessageW(NotifyTarget(), WM_XLIST_ROWCLICKED, static_cast<WPARAM>(rowKey), reinterpret_cast<LPARAM>(self));
    if (StillMine(self))
        Default();  // selects the row
}

void CXListCtrl::ClickCheck(int row, int displayIndex)
{
    int columnId = -1;
    const XListColumn* column = ColumnAt(displayIndex, &columnId);
    XListCell* cell = CellAt(row, displayIndex);
    if (!column || !cell)
        return;
    bool state = true;
    if (column->exclusive) {
        // The one checked row of the column: a press on it changes nothing.
        if (cell->check != 1) {
            const int rows = GetItemCount();
            for (int other = 0; other < rows; ++other) {
                XListCell* each = CellAt(other, displayIndex);
                if (each && each->check >= 0 && each->check != 0) {
                    each->check = 0;
                    RedrawRow(other);
                }
            }
            cell->check = 1;
        }
    } else {
        cell->check = cell->check == 1 ? 0 : 1;
        state = cell->check == 1;
    }
    RedrawRow(row);
    HWND self = m_hWnd;
    Notify(WM_XLIST_CHECKCHANGED, RowKeyOf(row), columnId, &state);
    if (StillMine(self))
        UpdateHeaderCheck(columnId);
}

void CXListCtrl::OnLButtonDblClk(UINT flags, CPoint point)
{
    if (!IsUnderPointer(point)) {
        PassPressOn(m_hWnd, WM_LBUTTONDOWN, flags, point);
        return;
    }
    HWND self = m_hWnd;
    LVHITTESTINFO hit = {};
    hit.pt = point;
    SubItemHitTest(&hit);
    // The second press of a double click on a check box is a press on it as well.
    if (const XListCell* cell = CellAt(hit.iItem, hit.iSubItem)) {
        if (cell->check >= 0 && CheckHitRect(CellRect(hit.iItem, hit.iSubItem)).PtInRect(point)) {
            EndEdit(true);
            PressRow(point);
            if (!StillMine(self))
                return;
        }
    }
    const int rowKey = RowKeyOf(hit.iItem);
    if (rowKey != -1 || hit.iItem >= 0)
        Notify(WM_XLIST_DBLCLK, rowKey, hit.iSubItem, nullptr);
}

void CXListCtrl::OnRButtonDown(UINT flags, CPoint point)
{
    if (!IsUnderPointer(point)) {
        PassPressOn(m_hWnd, WM_RBUTTONDOWN, flags, point);
        return;
    }
    HWND self = m_hWnd;
    EndEdit(true);
    Default();  // selects the row
    if (StillMine(self) && m_menu)
        RunMenu(point);
}

void CXListCtrl::RunMenu(CPoint point)
{
    HWND self = m_hWnd;
    LVHITTESTINFO hit = {};
    hit.pt = point;
    SubItemHitTest(&hit);
    const int rowKey = RowKeyOf(hit.iItem);
    // The owner may change the menu first (disable the entries that do not apply to the row).
    Notify(WM_XLIST_RCLICK, rowKey, 0, nullptr);
    if (!StillMine(self) || !m_menu)
        return;
    const int choice = m_menu->PopupPanel(0, m_hWnd, point.x, point.y);
    if (!StillMine(self) || !m_menu || choice < 0)
        return;
    const std::wstring entry = m_menu->GetEntryText(choice);
    if (entry == kAssignApplication)
        AssignApplication(rowKey);
    else if (entry == kUnassignApplication)
        UnassignApplication(rowKey);
    else
        Notify(WM_XLIST_MENUCOMMAND, rowKey, 0, entry.c_str());
}

void CXListCtrl::AssignApplication(int rowKey)
{
    if (FindRowByKey(rowKey) < 0)
        return;  // no row was under the pointer
    HWND self = m_hWnd;
    CFileDialog dialog(true, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, L"*.exe|*.exe||", m_hWnd);
    if (dialog.DoModal() != IDOK || !StillMine(self))
        return;  // cancelled: the row stays as it is
    const std::wstring path = dialog.GetPathName();
    SetCellText(rowKey, kProgramColumn, dialog.GetFileName().c_str());
    Notify(WM_XLIST_CELLTEXTCHANGED, rowKey, kProgramColumn, path.c_str());
}

void CXListCtrl::UnassignApplication(int rowKey)
{
    if (FindRowByKey(rowKey) < 0)
        return;
    HWND self = m_hWnd;
    SetCellText(rowKey, kProgramColumn, L"");
    Notify(WM_XLIST_CELLTEXTCHANGED, rowKey, kProgramColumn, L"");
    if (!StillMine(self))
        return;
    SetCellCheck(rowKey, kSwitchColumn, 0);
    const bool off = false;
    Notify(WM_XLIST_CHECKCHANGED, rowKey, kSwitchColumn, &off);
}

LRESULT CXListCtrl::OnMouseWheel(WPARAM wParam, LPARAM)
{
    SyncScrollBar();
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    for (int notch = 0; notch < std::abs(delta) / kWheelDelta; ++notch)
        PostMessage(WM_VSCROLL, MAKEWPARAM(delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0));
    return 0;
}

LRESULT CXListCtrl::OnVScroll(WPARAM wParam, LPARAM)
{
    const int code = LOWORD(wParam);
    if (ScrollListByBar(*this, wParam, RowHeight()))
        return 0;
    LRESULT result = Default();
    if (code != SB_ENDSCROLL)
        SyncScrollBar();
    return result;
}

LRESULT CXListCtrl::OnKey(WPARAM wParam, LPARAM)
{
    if (wParam == VK_SPACE || wParam == L' ')
        return 0;  // the list-view would toggle the focused row's selection
    const LRESULT result = Default();
    SyncScrollBar();
    return result;
}

LRESULT CXListCtrl::OnNcCalcSize(WPARAM, LPARAM)
{
    // The skinned bar stands in for the list-view's own bars, which never take room.
    ModifyStyle(WS_VSCROLL | WS_HSCROLL, 0);
    return Default();
}

LRESULT CXListCtrl::OnFocus(WPARAM, LPARAM)
{
    return 0;  // no focus rectangle, and the selection keeps its colours
}

BOOL CXListCtrl::OnEraseBkgnd(HDC)
{
    return TRUE;  // the background is drawn at pre-paint
}

BOOL CXListCtrl::OnClick(NMHDR*, LRESULT*)
{
    EndEdit(true);
    if (m_pressed.pressed)
        m_pressed.pressed = false;
    return FALSE;  // the owner may see the click as well
}

void CXListCtrl::OnColumnClick(NMHDR*, LRESULT*)
{
    // The rows keep their order: the list is never sorted.
}

// ---- In-place edit -------------------------------------------------------------------------------

bool CXListCtrl::IsEditing() const
{
    return m_edit && m_edit->GetSafeHwnd() && m_edit->IsWindowVisible() && m_editRowKey != -1;
}

bool CXListCtrl::EditCell(int rowKey, int columnId)
{
    int row = -1, displayIndex = -1;
    if (!Locate(rowKey, columnId, row, displayIndex))
        return false;
    EndEdit(true);
    EnsureVisible(row, false);
    CRect rect = CellRect(row, displayIndex);
    if (!m_edit)
        m_edit = std::make_unique<CXListEdit>(*this);
    m_edit->SetTextColor(m_textColor);
    m_edit->SetBackColor(m_backColor);
    m_edit->SetBorderColor(m_borderColor);
    const std::wstring text = GetItemText(row, displayIndex);
    if (!m_edit->GetSafeHwnd()) {
        if (!m_edit->Create(rect, m_hWnd, CurrentFont(), text.c_str()))
            return false;
    } else {
        m_edit->SetWindowText(text.c_str());
        m_edit->MoveWindow(rect);
        m_edit->ShowWindow(SW_SHOW);
    }
    m_editRowKey = rowKey;
    m_editColumnId = columnId;
    m_edit->SetFocus();
    m_edit->SendMessage(EM_SETSEL, 0, -1);
    return true;
}

void CXListCtrl::EndEdit(bool keep)
{
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (!m_edit || !m_edit->GetSafeHwnd() || m_editRowKey == -1)
        return;
    const int rowKey = m_editRowKey;
    const int columnId = m_editColumnId;
    m_editRowKey = -1;
    m_editColumnId = -1;
    const std::wstring text = m_edit->GetWindowText();
    m_edit->ShowWindow(SW_HIDE);
    if (keep && text != GetCellText(rowKey, columnId) && SetCellText(rowKey, columnId, text.c_str()))
        Notify(WM_XLIST_COMBOCHANGED, rowKey, columnId, text.c_str());
}

// ---- Combo cells ---------------------------------------------------------------------------------

void CXListCtrl::PressCombo(int row, int displayIndex, const CRect& cell, CPoint point)
{
    CloseComboList();
    const CRect button = ComboButtonRect(cell);
    XListCell* pressed = CellAt(row, displayIndex);
    if (!pressed || !button.PtInRect(point))
        return;
    pressed->comboOpen = true;
    m_pressed.rowKey = RowKeyOf(row);
    m_pressed.columnId = GetColumnId(displayIndex);
    m_pressed.pressed = true;
    m_pressed.button = button;
    // Drawn now: drawing the pressed cell of the selected row opens its list.
    RedrawRow(row);
    SetTimer(kComboPressTimer, kComboPressMs);
}

void CXListCtrl::ReleaseComboPress()
{
    if (XListCell* cell = LocateCell(m_pressed.rowKey, m_pressed.columnId)) {
        cell->comboOpen = false;
        RedrawRow(FindRowByKey(m_pressed.rowKey));
    }
    m_pressed = PressedCombo();
}

void CXListCtrl::OpenComboList(int row, int displayIndex, const CRect& cell)
{
    XListCell* shown = CellAt(row, displayIndex);
    if (!shown || m_comboList || m_openingCombo)
        return;
    m_openingCombo = true;
    if (!m_comboFont) {
        LOGFONTW lf = {};
        if (::GetObjectW(CurrentFont(), sizeof(lf), &lf))
            m_comboFont.CreateFontIndirect(lf);
    }
    CRect screen(cell.left, cell.bottom, cell.right,
                 cell.bottom + std::max(RowHeight() - 2, 1) * std::max(shown->comboRows, 1));
    ClientToScreen(reinterpret_cast<POINT*>(&screen.left));
    ClientToScreen(reinterpret_cast<POINT*>(&screen.right));
    const int rowKey = RowKeyOf(row);
    const int columnId = GetColumnId(displayIndex);
    const std::wstring text = GetItemText(row, displayIndex);
    auto list = std::make_unique<CXComboList>(m_hWnd);
    if (list->Create(screen, m_hWnd, m_comboFont ? static_cast<HFONT>(m_comboFont) : CurrentFont(),
                     shown->comboEntries, text)) {
        m_comboList = std::move(list);
        m_comboRowKey = rowKey;
        m_comboColumnId = columnId;
        // An empty cell shows the first choice at once.
        if (text.empty()) {
            const std::wstring first = m_comboList->GetSelectedText();
            if (!first.empty())
                SetCellText(rowKey, columnId, first.c_str());
        }
    }
    m_openingCombo = false;
}

void CXListCtrl::TakeComboChoice(bool close)
{
    if (m_comboList) {
        const std::wstring text = m_comboList->GetSelectedText();
        if (m_comboList->GetCurSel() >= 0) {
            if (XListCell* cell = LocateCell(m_comboRowKey, m_comboColumnId))
                cell->comboSel = m_comboList->GetCurSel();
            SetCellText(m_comboRowKey, m_comboColumnId, text.c_str());
        }
    }
    if (close)
        CloseComboList();
}

void CXListCtrl::CloseComboList()
{
    if (m_hWnd) {
        KillTimer(kComboPressTimer);
        KillTimer(kComboCloseTimer);
        KillTimer(kComboAcceptTimer);
        KillTimer(kComboPreviewTimer);
    }
    // The choice has ended: the cell's button is up again, so that drawing it opens nothing.
    const std::pair<int, int> cells[] = {{m_comboRowKey, m_comboColumnId}, {m_pressed.rowKey, m_pressed.columnId}};
    for (const auto& [rowKey, columnId] : cells) {
        if (XListCell* cell = LocateCell(rowKey, columnId)) {
            cell->comboOpen = false;
            RedrawRow(FindRowByKey(rowKey));
        }
    }
    m_pressed = PressedCombo();
    m_comboRowKey = -1;
    m_comboColumnId = -1;
    if (m_comboList) {
        std::unique_ptr<CXComboList> list = std::move(m_comboList);
        if (list->GetSafeHwnd())
            list->DestroyWindow();
    }
}

LRESULT CXListCtrl::OnComboAccept(WPARAM, LPARAM)
{
    KillTimer(kComboPressTimer);
    SetTimer(kComboAcceptTimer, kComboChoiceMs);
    return 0;
}

LRESULT CXListCtrl::OnComboKey(WPARAM, LPARAM)
{
    SetTimer(kComboPreviewTimer, kComboChoiceMs);
    return 0;
}

LRESULT CXListCtrl::OnComboEscape(WPARAM, LPARAM)
{
    KillTimer(kComboPressTimer);
    // Escape ends the choice without taking it.
    SetTimer(kComboCloseTimer, kComboChoiceMs);
    return 0;
}

void CXListCtrl::OnTimer(UINT_PTR id)
{
    switch (id) {
    case kComboPressTimer: {
        if (m_pressed.rowKey != -1) {
            CPoint cursor;
            ::GetCursorPos(&cursor);
            ScreenToClient(&cursor);
            if (!m_pressed.button.PtInRect(cursor))
                ReleaseComboPress();
        }
        if (m_comboList) {
            if (!m_comboList->IsLaidOut())
                m_comboList->FirstLayout();
        } else if (m_pressed.rowKey == -1) {
            KillTimer(kComboPressTimer);
        }
        break;
    }
    case kComboCloseTimer:
        KillTimer(id);
        CloseComboList();
        break;
    case kComboAcceptTimer:
        KillTimer(id);
        TakeComboChoice(true);
        break;
    case kComboPreviewTimer:
        KillTimer(id);
        TakeComboChoice(false);
        break;
    default:
        Default();
        break;
    }
}
