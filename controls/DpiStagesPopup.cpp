#include "controls/DpiStagesPopup.h"

#include <algorithm>

#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "controls/DpiStageWindow.h"
#include "controls/Slider.h"
#include "controls/SliderHMulti.h"
#include "controls/SliderTrack.h"
#include "controls/TextItem.h"
#include "platform/WStr.h"

BEGIN_MSG_MAP(CDPIStagesPopup, CPopupBox)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_MESSAGE(WM_DPISTAGE_CLICKED, OnStageClicked)
    ON_MESSAGE(WM_SLIDER_POSCHANGED, OnSliderMoved)
    ON_MESSAGE(WM_SLIDER_POSCHANGING, OnSliderMoved)
END_MSG_MAP()

CDPIStagesPopup::CDPIStagesPopup(const wchar_t* layoutFile, CWnd* owner, DpiStageSet* stages)
    : CPopupBox(layoutFile, owner), m_source(stages)
{
}

CDPIStagesPopup::~CDPIStagesPopup() = default;

void CDPIStagesPopup::BindItems()
{
    m_bound = Bound();
}

int CDPIStagesPopup::OnCreate(CREATESTRUCTW* create)
{
    const int result = CGUIPanel::OnCreate(create);
    m_blackBrush.CreateSolidBrush(RGB(0, 0, 0));
    return result;
}

void CDPIStagesPopup::OnDestroy()
{
    CGUIPanel::OnDestroy();
    m_blackBrush.DeleteObject();
}

BOOL CDPIStagesPopup::OnEraseBkgnd(HDC)
{
    return TRUE;  // the panel paints its background whole
}

HBRUSH CDPIStagesPopup::OnCtlColor(HDC dc, HWND, UINT)
{
    ::SetBkColor(dc, RGB(0, 0, 0));
    return m_blackBrush;
}

BOOL CDPIStagesPopup::OnInitDialog()
{
    const BOOL result = CPopupBox::OnInitDialog();  // binds the items first
    if (m_source)
        m_work = *m_source;
    m_step = m_work.step > 0 ? m_work.step : 1;
    m_minDpi = m_work.minDpi;
    m_maxDpi = std::max(m_work.minDpi, m_work.maxDpi);

    size_t windows = 0;
    while (windows < kStageWindows && m_bound.stageWindows[windows])
        ++windows;
    m_shownStages = std::min(windows, m_work.stages.size());
    const int stageCount = static_cast<int>(m_work.stages.size());
    m_work.activeCount = std::max(1, std::min(m_work.activeCount, std::max(stageCount, 1)));
    // The current stage is one with a window; its record is the one selected.
    if (m_shownStages > 0) {
        const int shown = static_cast<int>(m_shownStages);
        m_work.currentStage = std::max(1, std::min(m_work.currentStage, shown));
        for (size_t i = 0; i < m_work.stages.size(); ++i)
            m_work.stages[i].selected = static_cast<int>(i) + 1 == m_work.currentStage ? 1 : 0;
    }

    for (size_t i = 0; i < kSliderCount; ++i) {
        CSliderHMulti* slider = m_bound.sliders[i];
        if (!slider)
            continue;
        // The thumbs report through their track to the track's owner: this pop-up.
        if (CSliderTrack* track = slider->Track())
            track->owner = this;
        slider->SetMultiplier(m_step);
        slider->SetRange(m_minDpi / m_step, m_maxDpi / m_step);
    }
    ShowCount();
    FollowCurrentStage();
    RefreshStageWindows();
    return result;
}

DpiStageRecord* CDPIStagesPopup::CurrentRecord()
{
    const int index = m_work.currentStage - 1;
    if (index < 0 || static_cast<size_t>(index) >= m_shownStages)
        return nullptr;
    return &m_work.stages[static_cast<size_t>(index)];
}

void CDPIStagesPopup::ShowCount()
{
    if (m_bound.countText)
        m_bound.countText->SetText(wstr::Format(L"%d", m_work.activeCount).c_str(), 0);
}

void CDPIStagesPopup::RefreshStageWindows()
{
    const size_t active = static_cast<size_t>(std::max(m_work.activeCount, 1));
    bool moved = false;
    for (size_t i = active; i < m_shownStages; ++i) {
        if (m_work.stages[i].selected) {
            m_work.stages[i].selected = 0;
            moved = true;
        }
    }
    if (moved) {
        const size_t last = std::min(active, m_shownStages) - 1;
        for (size_t i = 0; i < m_shownStages; ++i)
            m_work.stages[i].selected = i == last ? 1 : 0;
        m_work.currentStage = static_cast<int>(last) + 1;
    }
    for (size_t i = 0; i < m_shownStages; ++i) {
        DpiStageRecord& record = m_work.stages[i];
        record.enabled = i < active ? 1 : 0;
        CDPIStageWindow* window = m_bound.stageWindows[i];
        window->SetSelected(record.selected != 0);
        window->SetSeparateXY(record.separateXY != 0);
        window->SetValues(record.common, record.x, record.y);
        window->SetEnabled(record.enabled != 0);
        window->Show(record.enabled != 0);
        window->Invalidate(TRUE);
    }
    // Windows without a stage of the set show nothing.
    for (size_t i = m_shownStages; i < kStageWindows; ++i) {
        if (CDPIStageWindow* window = m_bound.stageWindows[i]) {
            window->SetEnabled(false);
            window->Show(false);
        }
    }
}

void CDPIStagesPopup::WriteSelectionBack()
{
    int selected = 0;
    for (size_t i = 0; i < m_shownStages; ++i) {
        if (m_bound.stageWindows[i]->IsSelected()) {
            selected = static_cast<int>(i) + 1;
            break;
        }
    }
    if (selected == 0)
        return;
    m_work.currentStage = selected;
    for (size_t i = 0; i < m_work.stages.size(); ++i)
        m_work.stages[i].selected = static_cast<int>(i) + 1 == selected ? 1 : 0;
}

void CDPIStagesPopup::SetSlidersFromCurrent()
{
    const DpiStageRecord* current = CurrentRecord();
    if (!current)
        return;
    const int values[kSliderCount] = {current->common, current->x, current->y};
    for (size_t i = 0; i < kSliderCount; ++i) {
        if (m_bound.sliders[i])
            m_bound.sliders[i]->SetPos(values[i]);
    }
}

void CDPIStagesPopup::ShowModeItems(bool separate)
{
    if (m_bound.linkedOnly)
        m_bound.linkedOnly->Show(!separate);
    if (m_bound.linkedTrack)
        m_bound.linkedTrack->Show(!separate);
    for (CGUIItem* item : m_bound.separateOnly) {
        if (item)
            item->Show(separate);
    }
    if (m_bound.sliders[CommonSlider])
        m_bound.sliders[CommonSlider]->Show(!separate);
    if (m_bound.sliders[XSlider])
        m_bound.sliders[XSlider]->Show(separate);
    if (m_bound.sliders[YSlider])
        m_bound.sliders[YSlider]->Show(separate);
}

void CDPIStagesPopup::FollowCurrentStage()
{
    const DpiStageRecord* current = CurrentRecord();
    const bool separate = current && current->separateXY;
    if (m_bound.separateCheck)
        m_bound.separateCheck->SetState(separate);
    ShowModeItems(separate);
    SetSlidersFromCurrent();
}

void CDPIStagesPopup::ApplyMode(bool separate)
{
    if (DpiStageRecord* current = CurrentRecord()) {
        if (separate && !current->separateXY) {
            current->x = current->common;
            current->y = current->common;
        } else if (!separate && current->separateXY) {
            current->common = current->x;
        }
        current->separateXY = separate ? 1 : 0;
    }
    ShowModeItems(separate);
    SetSlidersFromCurrent();
    RefreshStageWindows();
}

void CDPIStagesPopup::ChangeCount(int delta)
{
    const int before = m_work.currentStage;
    if (delta < 0) {
        m_work.activeCount = std::max(m_work.activeCount - 1, 1);
    } else if (static_cast<size_t>(m_work.activeCount) < m_shownStages) {
        // Never past the windows, and never lowered by a press that would raise it.
        ++m_work.activeCount;
    }
    ShowCount();
    RefreshStageWindows();
    WriteSelectionBack();
    if (m_work.currentStage != before)
        FollowCurrentStage();  // the selection moved to the last active stage
}

void CDPIStagesPopup::OnOK()
{
    WriteSelectionBack();
    if (m_source)
        *m_source = m_work;
    EndDialog(IDOK);
}

void CDPIStagesPopup::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDPIStagesPopup::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // The control and the message map first (IDOK and IDCANCEL of the dialog keys).
    if (CPopupBox::OnCommand(wParam, lParam))
        return TRUE;
    CGUIItem* item = m_items.FindByWindow(reinterpret_cast<HWND>(lParam));
    if (!item)
        return FALSE;
    if (item->kind == ItemKind::TextItem)
        return TRUE;  // a label: the check box it belongs to reports its own click
    if (item->kind != ItemKind::BitmapBtn)
        return FALSE;
    if (item == m_bound.ok)
        OnOK();
    else if (item == m_bound.cancel)
        OnCancel();
    else if (item == m_bound.decrement)
        ChangeCount(-1);
    else if (item == m_bound.increment)
        ChangeCount(+1);
    else if (item == m_bound.separateCheck)
        ApplyMode(m_bound.separateCheck->IsChecked());
    return TRUE;
}

LRESULT CDPIStagesPopup::OnStageClicked(WPARAM, LPARAM lParam)
{
    size_t picked = m_shownStages;
    for (size_t i = 0; i < m_shownStages; ++i) {
        if (m_bound.stageWindows[i]->id == static_cast<int32_t>(lParam))
            picked = i;
    }
    if (picked == m_shownStages)
        return 0;
    for (size_t i = 0; i < m_shownStages; ++i)
        m_bound.stageWindows[i]->SetSelected(i == picked);
    WriteSelectionBack();
    FollowCurrentStage();
    RefreshStageWindows();
    return 0;
}

LRESULT CDPIStagesPopup::OnSliderMoved(WPARAM wParam, LPARAM lParam)
{
    DpiStageRecord* current = CurrentRecord();
    if (!current)
        return 0;
    // Positions are whole steps; a value outside the range is written as its nearest end.
    const long long dpi = static_cast<long long>(static_cast<int>(wParam)) * m_step;
    const int value = static_cast<int>(std::max<long long>(m_minDpi, std::min<long long>(m_maxDpi, dpi)));
    int32_t* targets[kSliderCount] = {&current->common, &current->x, &current->y};
    for (size_t i = 0; i < kSliderCount; ++i) {
        if (m_bound.sliderItems[i] && m_bound.sliderItems[i]->id == static_cast<int32_t>(lParam)) {
            *targets[i] = value;
            RefreshStageWindows();
            break;
        }
    }
    return 0;
}
