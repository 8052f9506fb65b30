#include "controls/SliderHMulti.h"

#include "controls/SliderTrack.h"

CSliderHMulti::CSliderHMulti()
{
    kind = ItemKind::SliderHMulti;
    window = nullptr;
}

CSliderHMulti::~CSliderHMulti() = default;  // each thumb lets go of the track as it goes

void CSliderHMulti::SetTrack(CSliderTrack* track)
{
    m_track = track;
    window = track ? track->GetSafeHwnd() : nullptr;
}

CPHSlider* CSliderHMulti::AddStage(std::unique_ptr<CPHSlider> stage)
{
    if (!stage)
        return nullptr;
    m_stages.push_back(std::move(stage));
    return m_stages.back().get();
}

void CSliderHMulti::SetRange(int min, int max)
{
    for (const auto& stage : m_stages) {
        stage->SetRange(min, max);
        stage->SetPosRange(0, max - min);
        stage->SetPos(0, true);
        stage->SetCapRange(min, max);
    }
}

void CSliderHMulti::EnableWindow(bool enable)
{
    m_enabled = enable;
    for (const auto& stage : m_stages)
        stage->SetEnabled(enable);
}

void CSliderHMulti::SetMultiplier(int multiplier)
{
    for (const auto& stage : m_stages)
        stage->SetMultiplier(multiplier);
}

void CSliderHMulti::SetPos(int value)
{
    SetStagePos(0, value);
}

void CSliderHMulti::SetStagePos(size_t index, int value)
{
    CPHSlider* stage = Stage(index);
    if (!stage)
        return;
    const int step = stage->Multiplier() ? stage->Multiplier() : 1;
    stage->SetPos(value / step - stage->Min(), true);
}
