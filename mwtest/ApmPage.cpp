#include "mwtest/ApmPage.h"

#include "mwtest/MwTestRes.h"
#include "mwtest/PageKit.h"
#include "platform/CommonDialogs.h"
#include "platform/WStr.h"

namespace {

constexpr const wchar_t* kEventNames[] = {
    L"OwnBaseUnderAttackEvent", L"AllyBaseUnderAttackEvent", L"OwnUnitUnderAttackEvent",
    L"AllyUnitUnderAttackEvent", L"BuildingCompleteEvent",   L"UpgradeCompleteEvent",
    L"TrainingCompleteEvent",   L"ResourceDepletedEvent",    L"ResourceExhaustedEvent",
    L"EnhancementCompleteEvent", L"ResearchCompleteEvent",   L"ArrivalCompleteEvent",
    L"SupportLaunchEvent",      L"TransformCompleteEvent",   L"FlagshipStartedEvent",
    L"FlagshipCompletedEvent",
};
// Columns "2x" to "5x" are 1 to 4 and stand for the modes 2 to 5; "Color" is 5.
constexpr int kFirstModeColumn = 1;
constexpr int kLastModeColumn = 4;
constexpr int kColorColumn = 5;
constexpr int kMaxMode = 6;
const wchar_t kOn[] = L"On";

// Row r is event number r + 1.
int EventOf(int row)
{
    return row + hvmw::kApmFirstEvent;
}

std::wstring Number(int value)
{
    return wstr::Format(L"%d", value);
}

} // namespace

BEGIN_MSG_MAP(CAPMPage, CHvMwPage)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_APM_LEVELS, OnCustomDraw)
    ON_NOTIFY(LVN_COLUMNCLICK, IDC_APM_LEVELS, OnColumnClick)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_APM_EVENTS, OnCustomDraw)
    ON_NOTIFY(NM_CLICK, IDC_APM_EVENTS, OnEventsClick)
    ON_NOTIFY(NM_DBLCLK, IDC_APM_EVENTS, OnEventsDoubleClick)
    ON_MESSAGE(kMsgCheckBoxClicked, OnEventEnabledClicked)
    ON_MESSAGE(kMsgRefill, OnRefill)
    ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
    ON_COMMAND(IDC_APM_ADD, OnAddLevel)
    ON_COMMAND(IDC_APM_DELETE, OnDeleteLevel)
    ON_COMMAND(IDC_APM_APPLY, OnApplyLevel)
    ON_COMMAND(IDC_APM_COLOR, OnLevelColor)
END_MSG_MAP()

CAPMPage::CAPMPage() : CHvMwPage(IDD_APM)
{
}

BOOL CAPMPage::OnInitDialog()
{
    m_levels.SubclassDlgItem(IDC_APM_LEVELS, m_hWnd);
    // "Event", the modes' columns and "Color".
    SetUpList(m_events, m_hWnd, IDC_APM_EVENTS,
              {{L"Event", LVCFMT_CENTER, 180},
               {L"2x", LVCFMT_CENTER, 30},
               {L"3x", LVCFMT_CENTER, 30},
               {L"4x", LVCFMT_CENTER, 30},
               {L"5x", LVCFMT_CENTER, 30},
               {L"Color", LVCFMT_CENTER, 50}},
              LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    for (int row = 0; row < static_cast<int>(std::size(kEventNames)); ++row)
        m_events.InsertItem(row, kEventNames[row]);
    return CHvMwPage::OnInitDialog();
}

BOOL CAPMPage::OnSetActive()
{
    // The current device's feature, or none: a page that held one of another device lets it go.
    m_apm = DeviceTypeFeature<IApm>();
    if (!m_apm)
        return FALSE;
    if (CComPtr<IApmLevel> first = Level(0)) {
        int limit = 0;
        COLORREF colour = 0;
        SetText(IDC_APM_LOWER, L"0");
        if (SUCCEEDED(first->GetUpperLimit(&limit)))
            SetText(IDC_APM_UPPER, Number(limit));
        if (SUCCEEDED(first->GetColor(&colour)))
            SetCurrentColor(colour);
    }
    FillLevels();
    FillEvents();
    return CHvMwPage::OnSetActive();
}

void CAPMPage::LetGo()
{
    m_apm.Reset();
}

CComPtr<IApmLevel> CAPMPage::Level(int index) const
{
    CComPtr<IApmLevel> level;
    if (m_apm && index >= 0)
        m_apm->GetLevel(index, level.Put());
    return level;
}

CComPtr<IApmEventColors> CAPMPage::EventColors() const
{
    CComPtr<IApmEventColors> colors;
    if (m_apm)
        m_apm->QueryInterface(IID_PPV_ARGS(colors.Put()));
    return colors;
}

void CAPMPage::SetCurrentColor(COLORREF colour)
{
    m_color = colour;
    ::InvalidateRect(GetDlgItem(IDC_APM_COLOR), nullptr, TRUE);
}

// ---- The levels ---------------------------------------------------------------------------------

void CAPMPage::FillLevels()
{
    m_levels.DeleteAllItems();
    for (int column = m_levels.GetColumnCount() - 1; column >= 0; --column)
        m_levels.DeleteColumn(column);
    m_levelColors.clear();
    int previous = 0;
    for (int i = 0; i < kMaxListWalk; ++i) {
        CComPtr<IApmLevel> level = Level(i);
        int limit = 0;
        COLORREF colour = 0;
        if (!level || FAILED(level->GetUpperLimit(&limit)))
            break;
        // One column per level, as wide as its span.
        m_levels.InsertColumn(i, L"", LVCFMT_RIGHT, limit - previous);
        if (i == 0)
            m_levels.InsertItem(0, Number(limit).c_str());
        else
            m_levels.SetItemText(0, i, Number(limit).c_str());
        previous = limit;
        if (SUCCEEDED(level->GetColor(&colour)))
            m_levelColors.push_back(colour);
    }
}

int CAPMPage::LowerLimit(int index) const
{
    int lower = 0;
    if (CComPtr<IApmLevel> previous = Level(index - 1))
        previous->GetUpperLimit(&lower);
    return lower;
}

void CAPMPage::SelectLevel(int index)
{
    CComPtr<IApmLevel> level = Level(index);
    int limit = 0;
    if (!level || FAILED(level->GetUpperLimit(&limit)))
        return;
    SetText(IDC_APM_LOWER, Number(LowerLimit(index)));
    SetText(IDC_APM_UPPER, Number(limit));
    COLORREF colour = 0;
    if (SUCCEEDED(level->GetColor(&colour)))
        SetCurrentColor(colour);
    m_selected = index;
}

BOOL CAPMPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    // The header's notifications come through the level list, under the header's own id (Wine's
    // list passes on only the end of a resize).
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && m_levels.m_hWnd && header->hwndFrom == m_levels.GetHeaderCtrl()) {
        switch (header->code) {
        case HDN_ITEMCLICKW:
        case HDN_BEGINTRACKW:
        case HDN_ITEMCHANGINGW:
        case HDN_ENDTRACKW:
            *result = OnHeaderNotify(*reinterpret_cast<const NMHEADERW*>(lParam));
            return TRUE;
        default:
            break;
        }
    }
    return CHvMwPage::OnNotify(wParam, lParam, result);
}

LRESULT CAPMPage::OnHeaderNotify(const NMHEADERW& notify)
{
    const bool width = notify.pitem && (notify.pitem->mask & HDI_WIDTH);
    switch (notify.hdr.code) {
    case HDN_ITEMCLICKW:
    case HDN_BEGINTRACKW:
        SelectLevel(notify.iItem);
        break;
    case HDN_ITEMCHANGINGW:
        // The upper limit the new width makes, shown while the divider moves. The column's lower
        // limit is the level before it, whichever level the edits show: a drag need not start
        // with a click on the column (and Wine tells no start).
        if (width)
            SetText(IDC_APM_UPPER, Number(LowerLimit(notify.iItem) + notify.pitem->cxy));
        break;
    case HDN_ENDTRACKW:
        if (width) {
            CComPtr<IApmLevel> level = Level(notify.iItem);
            if (!level)
                break;
            level->SetUpperLimit(LowerLimit(notify.iItem) + notify.pitem->cxy);
            // The resized level is the selected one, showing what the device now holds, as when
            // the drag's start was told.
            SelectLevel(notify.iItem);
            // The list is filled again once the header has finished with its items: the columns
            // show the device's levels, a refused width included.
            PostMessage(kMsgRefill);
        }
        break;
    default:
        break;
    }
    return FALSE;
}

void CAPMPage::OnColumnClick(NMHDR* header, LRESULT*)
{
    // The list's own word for a click on a column's header: a list that tells its parent only
    // this (Wine's) still selects the level.
    SelectLevel(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
}

LRESULT CAPMPage::OnRefill(WPARAM, LPARAM)
{
    FillLevels();
    return 0;
}

void CAPMPage::OnCustomDraw(NMHDR* header, LRESULT* result)
{
    NMLVCUSTOMDRAW* draw = CListCtrl::CustomDrawOf(header);
    *result = CDRF_DODEFAULT;
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *result = CDRF_NOTIFYITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT:
        *result = CDRF_NOTIFYSUBITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        break;
    default:
        return;
    }
    if (header->hwndFrom == m_levels.m_hWnd) {
        // Each level's cell in its colour, the text in the colour's opposite.
        if (draw->iSubItem >= 0 && static_cast<size_t>(draw->iSubItem) < m_levelColors.size()) {
            draw->clrTextBk = m_levelColors[static_cast<size_t>(draw->iSubItem)];
            draw->clrText = draw->clrTextBk ^ 0xFFFFFF;
            *result = CDRF_NEWFONT;
        }
    } else if (draw->iSubItem == kColorColumn) {
        // An event's colour cell is its colour, the text too.
        draw->clrTextBk = static_cast<COLORREF>(draw->nmcd.lItemlParam);
        draw->clrText = draw->clrTextBk;
        *result = CDRF_NEWFONT;
    }
}

void CAPMPage::OnAddLevel()
{
    CComPtr<IApmLevel> added;
    if (m_apm && SUCCEEDED(m_apm->AddLevel(DlgItemNumber(m_hWnd, IDC_APM_UPPER), added.Put())))
        FillLevels();
}

void CAPMPage::OnDeleteLevel()
{
    // Only a selected level that the device still has.
    CComPtr<IApmLevel> level = Level(m_selected);
    if (!level)
        return;
    m_apm->DeleteLevel(level.Get());
    m_levels.DeleteColumn(m_selected);
    FillLevels();
    m_selected = -1;
}

void CAPMPage::OnApplyLevel()
{
    if (!m_apm || m_selected < 0)
        return;
    if (CComPtr<IApmLevel> previous = Level(m_selected - 1))
        previous->SetUpperLimit(DlgItemNumber(m_hWnd, IDC_APM_LOWER));
    CComPtr<IApmLevel> level = Level(m_selected);
    if (level && SUCCEEDED(level->SetUpperLimit(DlgItemNumber(m_hWnd, IDC_APM_UPPER))))
        level->SetColor(m_color);
    FillLevels();
}

void CAPMPage::OnLevelColor()
{
    CComPtr<IApmLevel> level = Level(m_selected);
    if (!level)
        return;
    CColorDialog dialog(m_color, CC_FULLOPEN, m_hWnd);
    if (dialog.DoModal() != IDOK || FAILED(level->SetColor(dialog.GetColor())))
        return;
    SetCurrentColor(dialog.GetColor());
    FillLevels();
}

LRESULT CAPMPage::OnDrawItem(WPARAM, LPARAM lParam)
{
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (!item || item->CtlID != IDC_APM_COLOR)
        return Default();
    DrawColorButton(*item, m_color);
    return TRUE;
}

// ---- The events ---------------------------------------------------------------------------------

void CAPMPage::FillEvents()
{
    CComPtr<IApmEventColors> colors = EventColors();
    for (int row = 0; colors && row < m_events.GetItemCount(); ++row) {
        const int event = EventOf(row);
        // Declared one byte: a zeroed cell, its low byte read.
        DWORD enabled = 0;
        if (SUCCEEDED(colors->GetEventEnabled(event, reinterpret_cast<BYTE*>(&enabled))))
            m_events.SetCheck(row, LOBYTE(LOWORD(enabled)) != 0);
        int mode = 0;
        if (SUCCEEDED(colors->GetEventLevel(event, &mode)) && mode >= 0 && mode <= kMaxMode)
            for (int column = kFirstModeColumn; column <= kLastModeColumn; ++column)
                m_events.SetItemText(row, column, mode == column + 1 ? kOn : L"");
        COLORREF colour = 0;
        if (SUCCEEDED(colors->GetEventColor(event, &colour)))
            m_events.SetItemData(row, static_cast<LPARAM>(colour));
    }
    m_events.SetSelectionMark(-1);
    m_events.Invalidate();
}

void CAPMPage::OnEventsClick(NMHDR* header, LRESULT*)
{
    PostCheckBoxClick(m_events, header);
}

LRESULT CAPMPage::OnEventEnabledClicked(WPARAM wParam, LPARAM)
{
    const int row = static_cast<int>(wParam);
    if (row < 0 || row >= m_events.GetItemCount())
        return 0;
    const bool checked = m_events.GetCheck(row);
    CComPtr<IApmEventColors> colors = EventColors();
    // Not written: the box shows the state the event still has.
    if (!colors || FAILED(colors->SetEventEnabled(EventOf(row), checked)))
        m_events.SetCheck(row, !checked);
    return 0;
}

void CAPMPage::OnEventsDoubleClick(NMHDR* header, LRESULT*)
{
    // The clicks of a double click on a check box are the box's (NM_CLICK).
    if (CheckBoxHit(m_events) >= 0)
        return;
    const LVHITTESTINFO hit = CellHit(m_events, header);
    CComPtr<IApmEventColors> colors = EventColors();
    if (!colors || hit.iItem < 0)
        return;
    if (hit.iSubItem >= kFirstModeColumn && hit.iSubItem <= kLastModeColumn) {
        const bool on = m_events.GetItemText(hit.iItem, hit.iSubItem) == kOn;
        colors->SetEventLevel(EventOf(hit.iItem), on ? hvmw::kApmLevelOff : hit.iSubItem + 1);
    } else if (hit.iSubItem == kColorColumn) {
        const int row = m_events.GetSelectionMark();
        if (row >= 0) {
            CColorDialog dialog(static_cast<COLORREF>(m_events.GetItemData(row)), CC_FULLOPEN, m_hWnd);
            if (dialog.DoModal() == IDOK)
                colors->SetEventColor(EventOf(row), dialog.GetColor());
        }
    }
    FillEvents();
}
