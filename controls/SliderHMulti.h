// One slider with several thumbs on one track (HSLIDERM): the item owns its thumbs (stage sliders,
// CPHSlider of kind 6, children of the track, never in an item list); its window is the track's.
// The thumbs report to the track, which passes their values on to the track's owner.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "controls/Slider.h"
#include "skin/GUIItem.h"

class CSliderTrack;

class CSliderHMulti : public CGUIItem
{
public:
    CSliderHMulti();
    ~CSliderHMulti() override;

    // The track the thumbs move on (borrowed); its window becomes the item's.
    void SetTrack(CSliderTrack* track);
    CSliderTrack* Track() const { return m_track; }

    // Takes a thumb created on the track; returns it.
    CPHSlider* AddStage(std::unique_ptr<CPHSlider> stage);
    size_t StageCount() const { return m_stages.size(); }
    CPHSlider* Stage(size_t index) const { return index < m_stages.size() ? m_stages[index].get() : nullptr; }

    // For every thumb: values min..max on positions 0..max - min, at position 0, the layout
    // recomputed and the cap range reset to the whole range.
    void SetRange(int min, int max);
    // Enables or disables the item and every thumb.
    void EnableWindow(bool enable);
    bool IsEnabled() const { return m_enabled; }
    // The factor between a thumb's value and what its tooltip shows; also the step SetPos divides
    // by. 0 counts as 1.
    void SetMultiplier(int multiplier);
    // Moves the first thumb to value: position = value / multiplier - minimum, clamped. No value
    // message follows.
    void SetPos(int value);
    // The same for one thumb.
    void SetStagePos(size_t stage, int value);

private:
    bool m_enabled = true;
    std::vector<std::unique_ptr<CPHSlider>> m_stages;
    CSliderTrack* m_track = nullptr;
};
