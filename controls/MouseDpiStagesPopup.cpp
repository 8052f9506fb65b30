#include "controls/MouseDpiStagesPopup.h"

#include "controls/BitmapBtn.h"
#include "controls/DpiStageWindow.h"
#include "controls/SliderHMulti.h"
#include "controls/TextItem.h"
#include "core/ItemIds.h"
#include "core/NameTables.h"

namespace {

template <class T>
T* Find(const CGUIItems& items, const wchar_t* name, ItemKind kind)
{
    return items.FindAs<T>(FindItemIdByName(name), kind);
}

} // namespace

CVxItems_Mouse_DPIStagesPopup::CVxItems_Mouse_DPIStagesPopup(CWnd* owner, DpiStageSet* stages)
    : CDPIStagesPopup(kLayoutFile, owner, stages)
{
}

void CVxItems_Mouse_DPIStagesPopup::BindItems()
{
    CDPIStagesPopup::BindItems();
    const CGUIItems& items = Items();
    static const wchar_t* const stageWindows[kStageWindows] = {
        L"DPISTAGEWINDOW_01", L"DPISTAGEWINDOW_02", L"DPISTAGEWINDOW_03", L"DPISTAGEWINDOW_04",
        L"DPISTAGEWINDOW_05"};
    for (size_t i = 0; i < kStageWindows; ++i)
        m_bound.stageWindows[i] = Find<CDPIStageWindow>(items, stageWindows[i], ItemKind::DPIStageWindow);
    m_bound.countText = Find<CTextItem>(items, L"TEXT_NUMSTAGES", ItemKind::TextItem);
    // The caption of the common value stands where the X caption stands in separate mode.
    m_bound.linkedOnly = Find<CTextItem>(items, L"TEXT_CURRENTDPI", ItemKind::TextItem);
    m_bound.separateOnly[0] = Find<CTextItem>(items, L"TEXT_DPI_X", ItemKind::TextItem);
    m_bound.separateOnly[1] = Find<CTextItem>(items, L"TEXT_DPI_Y", ItemKind::TextItem);
    m_bound.separateOnly[2] = items.FindAs<CGUIItem>(BITMAP_SLSENSTRK_X_POPUP, ItemKind::SliderTrack);
    m_bound.separateOnly[3] = items.FindAs<CGUIItem>(BITMAP_SLSENSTRK_Y_POPUP, ItemKind::SliderTrack);
    m_bound.linkedTrack = items.FindAs<CGUIItem>(BITMAP_SLSENSTRK_XY_POPUP, ItemKind::SliderTrack);
    m_bound.separateCheck = Find<CBitmapBtn>(items, L"BUTTON_ENABLEXY_POPUP", ItemKind::BitmapBtn);
    m_bound.ok = Find<CBitmapBtn>(items, L"BUTTON_DPISTAGES_OK", ItemKind::BitmapBtn);
    m_bound.cancel = Find<CBitmapBtn>(items, L"BUTTON_DPISTAGES_CANCEL", ItemKind::BitmapBtn);
    m_bound.decrement = Find<CBitmapBtn>(items, L"BUTTON_DPISTAGES_DEC", ItemKind::BitmapBtn);
    m_bound.increment = Find<CBitmapBtn>(items, L"BUTTON_DPISTAGES_INC", ItemKind::BitmapBtn);
    static const wchar_t* const sliders[kSliderCount] = {L"SLIDER_DPI_MULTI_POPUP", L"SLIDER_DPI_MULTI_X_POPUP",
                                                         L"SLIDER_DPI_MULTI_Y_POPUP"};
    for (size_t i = 0; i < kSliderCount; ++i) {
        m_bound.sliders[i] = Find<CSliderHMulti>(items, sliders[i], ItemKind::SliderHMulti);
        m_bound.sliderItems[i] = m_bound.sliders[i] ? m_bound.sliders[i]->Stage(0) : nullptr;
    }
}
