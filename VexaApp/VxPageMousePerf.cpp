// The mouse's performance page: the active profile's sensitivity (one value, or X and Y apart),
// the device-wide acceleration and polling rate, the on-screen DPI flag, and the sensitivity stages
// pop-up. Every change goes to the in-memory configuration only; Apply writes it.
#include "core/ItemIds.h"
#include "VexaApp/VxPages.h"

#include <algorithm>
#include <string>

#include "controls/BitmapBtn.h"
#include "controls/DropdownListItem.h"
#include "controls/MouseDpiStagesPopup.h"
#include "controls/Slider.h"
#include "controls/SliderHMulti.h"
#include "controls/TextItem.h"
#include "VexaApp/VxAppDlg.h"
#include "VexaApp/VxProfileHelpers.h"

namespace {

// The rate each rate button stands for: its index is the one SetPollingRate takes.
constexpr int kRateHz[] = {125, 500, 1000};

constexpr int32_t kSensitivitySliders[] = {SLIDER_DPI_MULTI, SLIDER_DPI_MULTI_X, SLIDER_DPI_MULTI_Y};
constexpr int32_t kSensitivityTracks[] = {BITMAP_SLSENSTRK_XY, BITMAP_SLSENSTRK_X, BITMAP_SLSENSTRK_Y};
constexpr int32_t kRateButtons[] = {BUTTON_RATE1, BUTTON_RATE2, BUTTON_RATE3};

void SetChecked(CBitmapBtn* button, bool checked)
{
    if (button)
        button->SetState(checked);  // repaints only on a change
}

CPHSlider* ThumbOf(const CSliderHMulti* slider)
{
    return slider ? slider->Stage(0) : nullptr;
}

// The stages of the active profile as the pop-up edits them.
DpiStageSet ReadStageSet(const IMouseConfig& config, int32_t minDpi, int32_t maxDpi, int32_t step)
{
    DpiStageSet set;
    set.minDpi = minDpi;
    set.maxDpi = maxDpi;
    set.step = step;
    set.activeCount = config.GetEnabledStageCount(nullptr);
    set.currentStage = config.GetCurrentDpiStage(nullptr);
    const int count = config.GetDpiStageCount(nullptr);
    for (int stage = 1; stage <= count; ++stage) {
        DpiStageRecord record;
        record.common = config.GetStageDpi(stage, nullptr);
        record.x = config.GetStageDpiX(stage, nullptr);
        record.y = config.GetStageDpiY(stage, nullptr);
        record.separateXY = config.GetStageSeparateXY(stage, nullptr) ? 1 : 0;
        record.enabled = stage <= set.activeCount ? 1 : 0;
        record.selected = stage == set.currentStage ? 1 : 0;
        set.stages.push_back(record);
    }
    return set;
}

// The pop-up's answer into the active profile; the current stage becomes its sensitivity.
void StoreStageSet(IMouseConfig& config, const DpiStageSet& set)
{
    config.SetEnabledStageCount(set.activeCount, nullptr);
    for (size_t i = 0; i < set.stages.size(); ++i) {
        const DpiStageRecord& record = set.stages[i];
        const int stage = static_cast<int>(i) + 1;
        config.SetStageDpi(stage, record.common, nullptr);
        config.SetStageDpiX(stage, record.x, nullptr);
        config.SetStageDpiY(stage, record.y, nullptr);
        config.SetStageSeparateXY(stage, record.separateXY != 0, nullptr);
        if (!record.selected)
            continue;
        config.SetCurrentDpiStage(stage, nullptr);
        config.SetSensitivity(record.common, nullptr);
        config.SetSensitivityX(record.x, nullptr);
        config.SetSensitivityY(record.y, nullptr);
        config.SetXYSeparate(record.separateXY != 0, nullptr);
    }
}

} // namespace

// ---- filling ------------------------------------------------------------------------------------

void CVxItems_Mouse_AJP::InitAdjustPerformancePage(CVxAppDlg* dialog)
{
    m_dialog = dialog;
    BindPageItems();
    Refresh();
}

void CVxItems_Mouse_AJP::BindPageItems()
{
    m_profileDropdown = FindAs<CDropdownListItem>(BUTTON_DROPDOWN_PROFILESELECT, ItemKind::DropdownList);
    for (int i = 0; i < kSensitivityCount; ++i) {
        m_sensitivity[i] = FindAs<CSliderHMulti>(kSensitivitySliders[i], ItemKind::SliderHMulti);
        m_sensitivityTracks[i] = FindAs<CGUIItem>(kSensitivityTracks[i], ItemKind::SliderTrack);
    }
    m_headingX = FindAs<CTextItem>(TEXT_HEADING_X, ItemKind::TextItem);
    m_headingY = FindAs<CTextItem>(TEXT_HEADING_Y, ItemKind::TextItem);
    m_captionX = FindAs<CTextItem>(TEXT_DPI_X, ItemKind::TextItem);
    m_captionY = FindAs<CTextItem>(TEXT_DPI_Y, ItemKind::TextItem);
    m_value1 = FindAs<CTextItem>(TEXT_DPIVALUE1, ItemKind::TextItem);
    m_value2 = FindAs<CTextItem>(TEXT_DPIVALUE2, ItemKind::TextItem);
    m_separateXY = FindAs<CBitmapBtn>(BUTTON_ENABLEXY, ItemKind::BitmapBtn);
    m_accel = FindAs<CSliderHMulti>(SLIDER_ID_ACCEL, ItemKind::SliderHMulti);
    m_accelOff = FindAs<CSliderHMulti>(SLIDER_ID_ACCELDISB, ItemKind::SliderHMulti);
    m_accelTrack = FindAs<CGUIItem>(BITMAP_SLACCLTRK, ItemKind::SliderTrack);
    m_accelTrackOff = FindAs<CGUIItem>(BITMAP_SLACCLTRKDISB, ItemKind::SliderTrack);
    m_accelCheck = FindAs<CBitmapBtn>(BUTTON_ENABLEACCELERATION, ItemKind::BitmapBtn);
    for (int i = 0; i < 3; ++i) {
        m_rates[i] = FindAs<CBitmapBtn>(kRateButtons[i], ItemKind::BitmapBtn);
        m_rateTexts[i] = m_rates[i] ? m_rates[i]->Caption() : std::wstring();
    }
    m_dpiOsd = FindAs<CBitmapBtn>(BUTTON_ENABLE_DPI_OSD, ItemKind::BitmapBtn);
}

void CVxItems_Mouse_AJP::Refresh()
{
    FillPerformanceProfileDropdown();
    IMouseConfig* config = Config();
    if (!config)
        return;
    ReadDpiRange();
    ApplySliderRanges();
    const bool separate = config->GetXYSeparate(nullptr);
    SetChecked(m_separateXY, separate);
    LayOutXYMode(separate);
    MoveSensitivitySliders();
    UpdateSensitivityTexts();

    const bool accelerated = config->GetAccelerationEnabled();
    SetChecked(m_accelCheck, accelerated);
    LayOutAcceleration(accelerated);
    MoveAccelerationSliders(config->GetAcceleration());

    RefreshPollingRates();
    SetChecked(m_dpiOsd, config->GetOsdDpi(nullptr));
}

void CVxItems_Mouse_AJP::FillPerformanceProfileDropdown()
{
    FillProfileDropdown(m_profileDropdown, Config());
}

void CVxItems_Mouse_AJP::ActivateProfileByIndex(int index)
{
    if (ActivateProfileIndex(m_profileDropdown, Config(), index) && IsShown())
        Refresh();
}

void CVxItems_Mouse_AJP::ReadDpiRange()
{
    int32_t minDpi = 0;
    int32_t maxDpi = 0;
    int32_t step = 1;
    if (IMouseConfig* config = Config())
        config->GetDpiRange(&minDpi, &maxDpi, &step, nullptr);
    // A range read from a device may be unusable: no step divides by zero, no slider runs backwards.
    m_dpiStep = step > 0 ? step : 1;
    m_dpiMin = minDpi;
    m_dpiMax = std::max(minDpi, maxDpi);
}

void CVxItems_Mouse_AJP::ApplySliderRanges()
{
    const int low = m_dpiMin / m_dpiStep;
    const int high = m_dpiMax / m_dpiStep;
    for (CSliderHMulti* slider : m_sensitivity) {
        const CPHSlider* thumb = ThumbOf(slider);
        if (!thumb || (thumb->Min() == low && thumb->Max() == high && thumb->Multiplier() == m_dpiStep))
            continue;
        slider->SetMultiplier(m_dpiStep);
        slider->SetRange(low, high);
    }
    int32_t accelMin = 0;
    int32_t accelMax = 0;
    if (IMouseConfig* config = Config())
        config->GetAccelerationRange(&accelMin, &accelMax);
    accelMax = std::max(accelMin, accelMax);
    for (CSliderHMulti* slider : {m_accel, m_accelOff}) {
        const CPHSlider* thumb = ThumbOf(slider);
        if (thumb && (thumb->Min() != accelMin || thumb->Max() != accelMax))
            slider->SetRange(accelMin, accelMax);
    }
}

void CVxItems_Mouse_AJP::Place(CGUIItem* item, bool visible) const
{
    // Items of a page that is not shown stay hidden; showing the page lays it out again.
    if (item)
        item->Show(visible && IsShown());
}

// ---- sensitivity --------------------------------------------------------------------------------

bool CVxItems_Mouse_AJP::SetSensitivityFromThumb(int32_t thumbId, int value)
{
    IMouseConfig* config = Config();
    int which = kCombined;
    for (; which < kSensitivityCount; ++which) {
        const CPHSlider* thumb = ThumbOf(m_sensitivity[which]);
        if (thumb && thumb->id == thumbId)
            break;
    }
    if (!config || !Dialog() || which == kSensitivityCount)
        return false;
    ReadDpiRange();
    const int32_t dpi = value * m_dpiStep;
    if (which == kCombined)
        config->SetSensitivity(dpi, nullptr);
    else if (which == kX)
        config->SetSensitivityX(dpi, nullptr);
    else
        config->SetSensitivityY(dpi, nullptr);
    UpdateSensitivityTexts();
    Dialog()->SetModified();
    return true;
}

bool CVxItems_Mouse_AJP::IsAccelerationThumb(int32_t thumbId) const
{
    const CPHSlider* thumb = ThumbOf(m_accel);
    return thumb && thumb->id == thumbId;
}

void CVxItems_Mouse_AJP::MoveSensitivitySliders()
{
    const IMouseConfig* config = Config();
    if (!config)
        return;
    const int32_t values[kSensitivityCount] = {config->GetSensitivity(nullptr), config->GetSensitivityX(nullptr),
                                               config->GetSensitivityY(nullptr)};
    for (int i = 0; i < kSensitivityCount; ++i)
        if (m_sensitivity[i])
            m_sensitivity[i]->SetPos(values[i]);  // value / step, clamped into the slider's range
}

void CVxItems_Mouse_AJP::UpdateSensitivityTexts()
{
    const IMouseConfig* config = Config();
    const bool separate = config && config->GetXYSeparate(nullptr);
    const CPHSlider* first = ThumbOf(m_sensitivity[separate ? kX : kCombined]);
    const CPHSlider* second = ThumbOf(m_sensitivity[kY]);
    if (m_value1 && first)
        m_value1->SetText(std::to_wstring(first->Value() * m_dpiStep).c_str(), 0);
    if (m_value2 && second)
        m_value2->SetText(std::to_wstring(second->Value() * m_dpiStep).c_str(), 0);
}

void CVxItems_Mouse_AJP::LayOutXYMode(bool separate)
{
    Place(m_sensitivity[kCombined], !separate);
    Place(m_sensitivityTracks[kCombined], !separate);
    for (CGUIItem* item : {static_cast<CGUIItem*>(m_sensitivity[kX]), static_cast<CGUIItem*>(m_sensitivity[kY]),
                           m_sensitivityTracks[kX], m_sensitivityTracks[kY]})
        Place(item, separate);
    for (CTextItem* item : {m_headingX, m_headingY, m_captionX, m_captionY, m_value2})
        Place(item, separate);
}

void CVxItems_Mouse_AJP::ToggleXYSensitivity()
{
    IMouseConfig* config = Config();
    if (!config || !m_separateXY)
        return;
    const bool separate = m_separateXY->IsChecked();
    if (separate != config->GetXYSeparate(nullptr)) {
        config->SetXYSeparate(separate, nullptr);
        // The values that come into view are the ones that were in view.
        const int32_t combined = config->GetSensitivity(nullptr);
        const int32_t x = config->GetSensitivityX(nullptr);
        const int32_t y = config->GetSensitivityY(nullptr);
        config->SetSensitivity(separate ? combined : x, nullptr);
        config->SetSensitivityX(separate ? combined : x, nullptr);
        config->SetSensitivityY(separate ? combined : y, nullptr);
    }
    LayOutXYMode(separate);
    MoveSensitivitySliders();
    UpdateSensitivityTexts();
}

// ---- acceleration -------------------------------------------------------------------------------

void CVxItems_Mouse_AJP::LayOutAcceleration(bool enabled)
{
    Place(m_accel, enabled);
    Place(m_accelTrack, enabled);
    Place(m_accelOff, !enabled);
    Place(m_accelTrackOff, !enabled);
}

void CVxItems_Mouse_AJP::MoveAccelerationSliders(int32_t level)
{
    for (CSliderHMulti* slider : {m_accel, m_accelOff})
        if (slider)
            slider->SetPos(level);
}

void CVxItems_Mouse_AJP::SyncAccelerationSliders()
{
    // Each slider set again to its own value, so that its track's bar follows the thumb.
    for (CSliderHMulti* slider : {m_accel, m_accelOff})
        if (const CPHSlider* thumb = ThumbOf(slider))
            slider->SetPos(thumb->Value());
}

void CVxItems_Mouse_AJP::ToggleAcceleration()
{
    IMouseConfig* config = Config();
    if (!config || !m_accelCheck)
        return;
    const bool enabled = m_accelCheck->IsChecked();
    if (enabled != config->GetAccelerationEnabled()) {
        config->SetAccelerationEnabled(enabled);
        if (const CPHSlider* thumb = ThumbOf(m_accel))
            config->SetAcceleration(thumb->Value());
    }
    LayOutAcceleration(enabled);
    MoveAccelerationSliders(config->GetAcceleration());
    if (Dialog())
        Dialog()->Invalidate(FALSE);
}

// ---- slider messages ----------------------------------------------------------------------------

void CVxItems_Mouse_AJP::OnSliderDragged(int value, int32_t thumbId)
{
    if (SetSensitivityFromThumb(thumbId, value) || !IsAccelerationThumb(thumbId) || !Config() || !Dialog())
        return;
    Config()->SetAcceleration(value);
    Dialog()->SetModified();
}

void CVxItems_Mouse_AJP::OnSliderPositionSet(int value, int32_t thumbId)
{
    // Releasing the acceleration thumb stores nothing: its drag did.
    if (!SetSensitivityFromThumb(thumbId, value) && IsAccelerationThumb(thumbId))
        SyncAccelerationSliders();
}

void CVxItems_Mouse_AJP::OnAccelTrackNotify(int32_t trackId, LPARAM)
{
    // The click's point says nothing of the value: the thumb has jumped there already, and its
    // value is the one stored.
    IMouseConfig* config = Config();
    const CPHSlider* accel = ThumbOf(m_accel);
    if (!config || !Dialog() || !m_accelTrack || trackId != m_accelTrack->id || !accel || !accel->IsEnabled())
        return;
    config->SetAcceleration(accel->Value());
    Dialog()->SetModified();
}

// ---- polling rate -------------------------------------------------------------------------------

void CVxItems_Mouse_AJP::RefreshPollingRates()
{
    const IMouseConfig* config = Config();
    if (!config)
        return;
    // Labelled as many as the device reports rates, each with the rate its index sets, whatever
    // order the device reports them in.
    const int labelled = std::min(config->GetSupportedPollingRateCount(), 3);
    const int current = config->GetPollingRate();
    for (int i = 0; i < 3; ++i) {
        if (!m_rates[i])
            continue;
        if (i < labelled)
            m_rates[i]->SetCaption((std::to_wstring(kRateHz[i]) + m_rateTexts[i]).c_str(), 0);
        SetChecked(m_rates[i], i == current);
    }
}

void CVxItems_Mouse_AJP::SetPollingRate(int index)
{
    IMouseConfig* config = Config();
    if (!config || index < 0 || index > 2)
        return;
    config->SetPollingRate(index);
    for (int i = 0; i < 3; ++i)
        SetChecked(m_rates[i], i == index);
}

// ---- sensitivity stages -------------------------------------------------------------------------

void CVxItems_Mouse_AJP::OpenSensitivityStagesPopup()
{
    IMouseConfig* config = Config();
    if (!config || !Dialog())
        return;
    const IMouseProfile* profile = config->GetActiveProfile();
    if (!profile)
        return;
    const CAskedProfile<IMouseProfile> asked(*profile);
    ReadDpiRange();
    DpiStageSet stages = ReadStageSet(*config, m_dpiMin, m_dpiMax, m_dpiStep);
    CVxItems_Mouse_DPIStagesPopup popup(Dialog(), &stages);
    if (popup.DoModal() != IDOK)
        return;
    config = Config();
    if (!asked.StillActive(config))
        return;
    StoreStageSet(*config, stages);
    Refresh();
}
