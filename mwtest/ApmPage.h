// "APM": the device's actions-per-minute lighting. The levels are one coloured column each, as wide
// as the level's span of the count, resized by a drag on the header's divider; the sixteen game
// events have an on/off box, a blink mode ("2x" to "5x") and a colour each. The page cannot be
// brought to the front on a device without the feature.
#pragma once

#include <vector>

#include "mwtest/MwPage.h"
#include "platform/ListCtrl.h"

class CAPMPage : public CHvMwPage
{
public:
    CAPMPage();

protected:
    BOOL OnInitDialog() override;
    // FALSE when the device has no APM feature: the sheet stays on the page it was on.
    BOOL OnSetActive() override;
    void LetGo() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // Both lists: the levels' cells and the events' colour cells in their colours.
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    void OnColumnClick(NMHDR* header, LRESULT* result);
    void OnEventsClick(NMHDR* header, LRESULT* result);
    void OnEventsDoubleClick(NMHDR* header, LRESULT* result);
    LRESULT OnEventEnabledClicked(WPARAM row, LPARAM subItem);
    LRESULT OnRefill(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    void OnAddLevel();
    void OnDeleteLevel();
    void OnApplyLevel();
    void OnLevelColor();

private:
    // The header of the level list: a click or the start of a resize selects a level, a resize
    // shows the upper limit it makes and writes it when it ends. FALSE lets the header go on.
    LRESULT OnHeaderNotify(const NMHEADERW& notify);
    void SelectLevel(int level);
    // A level's lower limit: the upper limit of the level before it, 0 for the first.
    int LowerLimit(int index) const;
    void FillLevels();
    void FillEvents();
    CComPtr<IApmLevel> Level(int index) const;
    CComPtr<IApmEventColors> EventColors() const;
    void SetCurrentColor(COLORREF colour);

    CComPtr<IApm> m_apm;
    int m_selected = -1;
    COLORREF m_color = RGB(255, 255, 255);
    std::vector<COLORREF> m_levelColors;  // one per level, in level order
    CListCtrl m_levels;
    CListCtrl m_events;
    HV_DECLARE_MSG_MAP()
};
