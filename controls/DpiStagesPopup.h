// The sensitivity stages pop-up: one stage window per DPI stage, a count of active stages with
// buttons to change it, a check box that switches the selected stage between one common DPI and
// separate X and Y values, and sliders for the selected stage's values (the common one in linked
// mode, X and Y in separate mode).
//
// The opener fills a DpiStageSet and runs the pop-up modally. The pop-up edits a copy of its own and
// writes it into the opener's set only when it closes with OK (result 1); Cancel (result 2) leaves
// the opener's set as it was. The pop-up shows as many stages as it has stage windows: stages beyond
// the windows keep their values, and the active count is never raised past the windows.
//
// The base binds nothing: a derived pop-up finds its items in BindItems (after clearing them with
// the base's), and every item it leaves null is skipped. User-interface thread only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "controls/PopupBox.h"
#include "platform/GdiObject.h"

class CBitmapBtn;
class CDPIStageWindow;
class CGUIItem;
class CPHSlider;
class CSliderHMulti;
class CTextItem;

// One stage as the pop-up edits it.
struct DpiStageRecord
{
    int32_t common = 0;  // shown while X and Y are linked
    int32_t x = 0;
    int32_t y = 0;
    uint8_t selected = 0;
    uint8_t enabled = 0;  // the stage lies within the active count
    uint8_t separateXY = 0;
    uint8_t spare = 0;
};

// The working copy the opener hands the pop-up.
struct DpiStageSet
{
    int32_t minDpi = 0;
    int32_t maxDpi = 0;
    int32_t step = 1;         // DPI per slider position; 0 or less counts as 1
    int32_t activeCount = 1;  // 1 to the number of stages
    int32_t currentStage = 1; // the selected stage, 1-based
    std::vector<DpiStageRecord> stages;
};

class CDPIStagesPopup : public CPopupBox
{
public:
    static constexpr size_t kStageWindows = 5;
    enum Slider { CommonSlider, XSlider, YSlider, kSliderCount };

    // stages: the opener's set (borrowed; it must outlive the pop-up's window).
    CDPIStagesPopup(const wchar_t* layoutFile, CWnd* owner, DpiStageSet* stages);
    ~CDPIStagesPopup() override;

    // The copy being edited.
    const DpiStageSet& WorkingCopy() const { return m_work; }
    // How many stages the pop-up shows: the stage windows there are, at most the set's stages.
    size_t ShownStages() const { return m_shownStages; }

protected:
    // The items, found by the derived pop-up's BindItems; any may stay null.
    struct Bound
    {
        CDPIStageWindow* stageWindows[kStageWindows] = {};
        CTextItem* countText = nullptr;
        CGUIItem* linkedOnly = nullptr;        // shown in linked mode only
        CGUIItem* separateOnly[4] = {};        // shown in separate mode only (captions, tracks)
        CGUIItem* linkedTrack = nullptr;       // the common slider's track
        CBitmapBtn* separateCheck = nullptr;
        CBitmapBtn* ok = nullptr;
        CBitmapBtn* cancel = nullptr;
        CBitmapBtn* decrement = nullptr;
        CBitmapBtn* increment = nullptr;
        CSliderHMulti* sliders[kSliderCount] = {};
        CPHSlider* sliderItems[kSliderCount] = {};  // the sliders' thumbs, whose ids the values carry
    };

    // Clears the bound items.
    void BindItems() override;
    BOOL OnInitDialog() override;
    // OK writes the selection back, hands the copy to the opener and closes with 1.
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    Bound m_bound;

private:
    DpiStageRecord* CurrentRecord();
    void ShowCount();
    // Each shown stage's window takes its record; a selection at or beyond the active count moves
    // to the last active stage.
    void RefreshStageWindows();
    // The selection of the windows into the records and the current stage.
    void WriteSelectionBack();
    void SetSlidersFromCurrent();
    // The mode of the check box for the current stage: switching on copies the common value to X
    // and Y, switching off copies X to the common value.
    void ApplyMode(bool separate);
    void ShowModeItems(bool separate);
    // The check box, the mode's items and the sliders show the current stage.
    void FollowCurrentStage();
    void ChangeCount(int delta);

    int OnCreate(CREATESTRUCTW* create);
    void OnDestroy();
    BOOL OnEraseBkgnd(HDC dc);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);
    LRESULT OnStageClicked(WPARAM wParam, LPARAM lParam);
    LRESULT OnSliderMoved(WPARAM wParam, LPARAM lParam);

    DpiStageSet* m_source;
    DpiStageSet m_work;
    size_t m_shownStages = 0;
    // The set's range made usable: step at least 1, maximum at least the minimum.
    int m_step = 1;
    int m_minDpi = 0;
    int m_maxDpi = 0;
    CBrush m_blackBrush;

    HV_DECLARE_MSG_MAP()
};
