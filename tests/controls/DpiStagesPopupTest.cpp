// The mouse's sensitivity stages pop-up on the default skin's "DPIStagesPopup.xml", in English:
// the stage windows, the count of active stages, the linked and separate modes with their items,
// the sliders' values, the working copy it hands back only on OK, and pictures of the pop-up and of
// a selected and an unselected stage window. Driven by messages and real clicks.
#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "controls/DpiStagesPopup.h"
#include "controls/DpiStageWindow.h"
#include "controls/MouseDpiStagesPopup.h"
#include "controls/Slider.h"
#include "controls/SliderHMulti.h"
#include "controls/TextItem.h"
#include "core/NameTables.h"
#include "platform/WStr.h"
#include "skin/GUIItem.h"
#include "skin/LangTable.h"
#include "skin/LayoutLoader.h"
#include "skin/LayoutSections.h"
#include "skin/SkinResourceCache.h"

#include "ControlTest.h"
#include "HvTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using controltest::Id;
using controltest::WaitPastDoubleClick;

namespace {

// The default skin in English, as the configuration program shows it.
class DefaultSkin
{
public:
    DefaultSkin()
    {
        InitNameTables();
        const std::wstring image = hvtest::EnvVar(L"HV_SKIN_IMAGE");
        EXPECT_FALSE(image.empty()) << "HV_SKIN_IMAGE names the generated install-directory image";
        GetSkinResourceCache().SetFolder(image);
        SetLanguageFilter(-1);
        EXPECT_TRUE(LoadLayoutFile(&m_languages, L"Language.xml", nullptr, false));
        SetCurrentLangTable(FindRegisteredLangTable(FindItemIdByName(L"LANGUAGE_DEFAULT")));
        EXPECT_NE(GetCurrentLangTable(), nullptr);
    }
    ~DefaultSkin() { SetCurrentLangTable(nullptr); }

private:
    CGUIItems m_languages;
};

DpiStageRecord Stage(int common, int x, int y, bool separate = false)
{
    DpiStageRecord r;
    r.common = common;
    r.x = x;
    r.y = y;
    r.separateXY = separate ? 1 : 0;
    return r;
}

// Five stages, the third with separate X and Y; three active, the second current.
DpiStageSet FiveStages()
{
    DpiStageSet set;
    set.minDpi = 100;
    set.maxDpi = 5000;
    set.step = 100;
    set.activeCount = 3;
    set.currentStage = 2;
    set.stages = {Stage(800, 800, 800), Stage(1600, 1600, 1600), Stage(2400, 2400, 3200, true),
                  Stage(3200, 3200, 3200), Stage(4000, 4000, 4000)};
    return set;
}

bool SameStages(const DpiStageSet& a, const DpiStageSet& b)
{
    if (a.minDpi != b.minDpi || a.maxDpi != b.maxDpi || a.step != b.step || a.activeCount != b.activeCount ||
        a.currentStage != b.currentStage || a.stages.size() != b.stages.size())
        return false;
    for (size_t i = 0; i < a.stages.size(); ++i) {
        const DpiStageRecord& x = a.stages[i];
        const DpiStageRecord& y = b.stages[i];
        if (x.common != y.common || x.x != y.x || x.y != y.y || x.selected != y.selected || x.enabled != y.enabled ||
            x.separateXY != y.separateXY)
            return false;
    }
    return true;
}

class CTestStagesPopup : public CVxItems_Mouse_DPIStagesPopup
{
public:
    using CVxItems_Mouse_DPIStagesPopup::CVxItems_Mouse_DPIStagesPopup;
    using CDPIStagesPopup::Bound;
    const Bound& BoundItems() const { return m_bound; }
};

// An owner window for the pop-up, on the screen.
class COwner : public CWnd
{
public:
    COwner() { CreateEx(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, CRect(0, 0, 60, 40), nullptr, 0); }
    ~COwner() override { DestroyWindow(); }
};

// The pop-up shown modeless at the top left of the screen, in the foreground.
struct PopupScene
{
    explicit PopupScene(DpiStageSet& set) : source(set), popup(&owner, &source)
    {
        created = popup.Create();
        if (created) {
            popup.SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
            SetForegroundWindow(popup);
        }
        hvtest::FlushMessages();
    }
    ~PopupScene()
    {
        if (popup.IsWindow())
            popup.DestroyWindow();
    }

    const CTestStagesPopup::Bound& Items() const { return popup.BoundItems(); }
    CDPIStageWindow* Window(size_t i) const { return Items().stageWindows[i]; }
    const DpiStageRecord& Record(size_t i) const { return popup.WorkingCopy().stages[i]; }
    bool Shown(const wchar_t* name)
    {
        CGUIItem* item = popup.Items().FindById(Id(name));
        return item && IsWindowVisible(item->window);
    }
    void Slide(CDPIStagesPopup::Slider slider, int position)
    {
        SendMessageW(popup, WM_SLIDER_POSCHANGED, static_cast<WPARAM>(position),
                     static_cast<LPARAM>(Items().sliderItems[slider]->id));
    }
    void Press(CBitmapBtn* button)
    {
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(hvtest::Click(*button));
        WaitPastDoubleClick();
    }

    DpiStageSet& source;
    COwner owner;
    CTestStagesPopup popup;
    bool created = false;
};

void ExpectLinkedItems(PopupScene& scene, bool linked)
{
    EXPECT_EQ(scene.Shown(L"TEXT_CURRENTDPI"), linked);
    EXPECT_EQ(scene.Shown(L"SLIDER_DPI_MULTI_POPUP"), linked) << "the common slider's track";
    EXPECT_EQ(scene.Shown(L"BITMAP_SLSENSTRK_XY_POPUP"), linked);
    for (const wchar_t* name : {L"TEXT_DPI_X", L"TEXT_DPI_Y", L"BITMAP_SLSENSTRK_X_POPUP", L"BITMAP_SLSENSTRK_Y_POPUP"})
        EXPECT_EQ(scene.Shown(name), !linked) << wstr::WideToUtf8(name);
    EXPECT_TRUE(scene.Shown(L"TEXT_ENABLEXY_POPUP")) << "the check box's label always shows";
    EXPECT_EQ(scene.Items().separateCheck->IsChecked(), !linked);
}

std::wstring Translated(const wchar_t* key)
{
    std::wstring text;
    TranslateText(key, text);
    return text;
}

} // namespace

TEST(DpiStagesPopup, EditsItsCopyAsTheStagesAskAndHandsItBackOnOK)
{
    DefaultSkin skin;
    DpiStageSet set = FiveStages();
    const DpiStageSet original = set;
    PopupScene scene(set);
    ASSERT_TRUE(scene.created);
    const auto& items = scene.Items();
    for (size_t i = 0; i < CDPIStagesPopup::kStageWindows; ++i)
        ASSERT_NE(items.stageWindows[i], nullptr) << i;
    ASSERT_NE(items.countText, nullptr);
    ASSERT_NE(items.separateCheck, nullptr);
    for (size_t i = 0; i < CDPIStagesPopup::kSliderCount; ++i)
        ASSERT_NE(items.sliderItems[i], nullptr) << i;
    EXPECT_EQ(scene.popup.ShownStages(), 5u);

    // The third window of the list shows stage 3, under its own title.
    EXPECT_EQ(scene.Window(2)->StageIndex(), 3);
    EXPECT_EQ(scene.Window(2)->Heading(), Translated(L"$dpistage3"));
    EXPECT_NE(scene.Window(2)->Heading(), L"$dpistage3") << "the title is translated";
    // Three active stages, the second selected; the sliders show its value in steps.
    EXPECT_EQ(items.countText->GetText(), L"3");
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(IsWindowVisible(*scene.Window(i)) != FALSE, i < 3) << i;
        EXPECT_EQ(scene.Window(i)->IsSelected(), i == 1) << i;
    }
    EXPECT_EQ(scene.Window(1)->CommonText(), L"1600");
    EXPECT_EQ(items.sliderItems[CDPIStagesPopup::CommonSlider]->Value(), 16);
    EXPECT_EQ(items.sliderItems[CDPIStagesPopup::CommonSlider]->Label(), L"1600") << "the step multiplies the label";
    ExpectLinkedItems(scene, true);

    // A click on the selected stage tells the pop-up nothing; one on another stage selects it.
    hvtest::MessageRecorder recorder;
    recorder.Watch(scene.popup);
    EXPECT_TRUE(hvtest::Click(*scene.Window(1)));
    hvtest::FlushMessages();
    EXPECT_FALSE(recorder.Contains(WM_DPISTAGE_CLICKED));
    EXPECT_TRUE(hvtest::Click(*scene.Window(2)));
    std::vector<hvtest::RecordedMsg> clicks;
    hvtest::FlushMessages();
    for (const hvtest::RecordedMsg& m : recorder.Messages()) {
        if (m.message == WM_DPISTAGE_CLICKED)
            clicks.push_back(m);
    }
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].wParam, 3u);
    EXPECT_EQ(clicks[0].lParam, Id(L"DPISTAGEWINDOW_03"));
    EXPECT_EQ(scene.popup.WorkingCopy().currentStage, 3);
    EXPECT_TRUE(scene.Window(2)->IsSelected());
    EXPECT_FALSE(scene.Window(1)->IsSelected());
    // Stage 3 has separate values: the check box and the items follow it.
    ExpectLinkedItems(scene, false);
    EXPECT_EQ(items.sliderItems[CDPIStagesPopup::XSlider]->Value(), 24);
    EXPECT_EQ(items.sliderItems[CDPIStagesPopup::YSlider]->Value(), 32);

    // A position beyond the maximum writes the maximum, one below the minimum the minimum.
    scene.Slide(CDPIStagesPopup::XSlider, 200);
    EXPECT_EQ(scene.Record(2).x, 5000);
    EXPECT_EQ(scene.Window(2)->XText(), L"5000");
    scene.Slide(CDPIStagesPopup::YSlider, 0);
    EXPECT_EQ(scene.Record(2).y, 100);
    scene.Slide(CDPIStagesPopup::YSlider, 27);
    EXPECT_EQ(scene.Record(2).y, 2700);
    SendMessageW(scene.popup, WM_SLIDER_POSCHANGING, 9, Id(L"SLIDER_DPI_MULTI_STAGE1"));
    EXPECT_EQ(scene.Record(2).x, 5000) << "a value of another slider is ignored";

    // Separate off (a click on the check box's label): the common value takes X.
    auto* label = scene.popup.Items().FindAs<CTextItem>(Id(L"TEXT_ENABLEXY_POPUP"), ItemKind::TextItem);
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(hvtest::Click(*label, {4, 12}));
    WaitPastDoubleClick();
    EXPECT_FALSE(scene.Record(2).separateXY);
    EXPECT_EQ(scene.Record(2).common, 5000);
    EXPECT_EQ(scene.Record(2).y, 2700) << "Y keeps its value";
    ExpectLinkedItems(scene, true);
    EXPECT_EQ(items.sliderItems[CDPIStagesPopup::CommonSlider]->Value(), 50);
    // Separate on (the check box itself): X and Y take the common value.
    scene.Slide(CDPIStagesPopup::CommonSlider, 12);
    EXPECT_EQ(scene.Record(2).common, 1200);
    scene.Press(items.separateCheck);
    EXPECT_TRUE(scene.Record(2).separateXY);
    EXPECT_EQ(scene.Record(2).x, 1200);
    EXPECT_EQ(scene.Record(2).y, 1200);
    ExpectLinkedItems(scene, false);
    EXPECT_EQ(scene.Window(2)->YText(), L"1200");

    // Fewer stages than the selected one: the last active stage is selected; one stays one.
    scene.Press(items.decrement);
    EXPECT_EQ(scene.popup.WorkingCopy().activeCount, 2);
    EXPECT_EQ(scene.popup.WorkingCopy().currentStage, 2);
    EXPECT_TRUE(scene.Window(1)->IsSelected());
    EXPECT_FALSE(IsWindowVisible(*scene.Window(2)));
    EXPECT_FALSE(scene.Record(2).enabled);
    ExpectLinkedItems(scene, true);  // stage 2 has one value
    EXPECT_EQ(items.sliderItems[CDPIStagesPopup::CommonSlider]->Value(), 16);
    scene.Press(items.decrement);
    scene.Press(items.decrement);
    EXPECT_EQ(scene.popup.WorkingCopy().activeCount, 1);
    EXPECT_EQ(items.countText->GetText(), L"1");
    EXPECT_EQ(scene.popup.WorkingCopy().currentStage, 1);
    EXPECT_TRUE(scene.Record(0).selected);
    // More stages: never past the windows.
    for (int i = 0; i < 6; ++i)
        scene.Press(items.increment);
    EXPECT_EQ(scene.popup.WorkingCopy().activeCount, 5);
    EXPECT_EQ(items.countText->GetText(), L"5");
    for (size_t i = 0; i < 5; ++i)
        EXPECT_TRUE(IsWindowVisible(*scene.Window(i))) << i;

    // Nothing reached the opener's set yet; OK hands the copy over.
    EXPECT_TRUE(SameStages(set, original));
    scene.Press(items.ok);
    EXPECT_FALSE(scene.popup.IsWindowVisible());
    EXPECT_TRUE(SameStages(set, scene.popup.WorkingCopy()));
    EXPECT_EQ(set.activeCount, 5);
    EXPECT_EQ(set.currentStage, 1);
    EXPECT_EQ(set.stages[2].x, 1200);
    EXPECT_TRUE(set.stages[0].selected);
    EXPECT_FALSE(set.stages[1].selected);
}

TEST(DpiStagesPopup, RunsModallyAndCancelLeavesTheSetAlone)
{
    DefaultSkin skin;
    COwner owner;
    for (bool ok : {false, true}) {
        DpiStageSet set = FiveStages();
        const DpiStageSet original = set;
        CTestStagesPopup popup(&owner, &set);
        // From inside the modal loop, once the pop-up shows: one slider value, then OK or Cancel.
        hvtest::ModalScript script(
            [&popup] { return popup.IsWindow() && popup.IsWindowVisible() ? popup.GetSafeHwnd() : nullptr; },
            [&popup](HWND) { popup.EndDialog(IDCANCEL); });
        script.Expect({[&popup](HWND shown) {
                           const auto& items = popup.BoundItems();
                           SendMessageW(shown, WM_SLIDER_POSCHANGED, 30,
                                        items.sliderItems[CDPIStagesPopup::CommonSlider]->id);
                           return true;
                       },
                       [&popup, ok](HWND shown) {
                           const auto& items = popup.BoundItems();
                           CBitmapBtn* button = ok ? items.ok : items.cancel;
                           SendMessageW(shown, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                                        reinterpret_cast<LPARAM>(button->GetSafeHwnd()));
                           return true;
                       }});
        const INT_PTR result = popup.DoModal();
        EXPECT_TRUE(script.Done());
        EXPECT_EQ(result, ok ? 1 : 2);
        EXPECT_EQ(popup.WorkingCopy().stages[1].common, 3000) << "the slider reached the copy";
        if (ok) {
            EXPECT_EQ(set.stages[1].common, 3000);
            EXPECT_TRUE(SameStages(set, popup.WorkingCopy()));
        } else {
            EXPECT_TRUE(SameStages(set, original)) << "Cancel hands nothing back";
        }
        EXPECT_TRUE(owner.IsWindowEnabled());
    }
}

TEST(DpiStagesPopup, ShowsNoMoreStagesThanItHasWindows)
{
    DefaultSkin skin;
    {
        // Seven stages, all active, the last current: five show; the rest keep their values.
        DpiStageSet set = FiveStages();
        set.stages.push_back(Stage(4400, 4400, 4400));
        set.stages.push_back(Stage(4800, 4600, 4700, true));
        set.activeCount = 7;
        set.currentStage = 7;
        set.stages[6].enabled = 1;
        PopupScene scene(set);
        ASSERT_TRUE(scene.created);
        EXPECT_EQ(scene.popup.ShownStages(), 5u);
        EXPECT_EQ(scene.popup.WorkingCopy().currentStage, 5) << "the current stage is one with a window";
        EXPECT_TRUE(scene.Window(4)->IsSelected());
        scene.Press(scene.Items().increment);
        EXPECT_EQ(scene.popup.WorkingCopy().activeCount, 7) << "a press that would raise it leaves it";
        scene.Press(scene.Items().decrement);
        EXPECT_EQ(scene.popup.WorkingCopy().activeCount, 6);
        scene.Slide(CDPIStagesPopup::CommonSlider, 45);
        scene.Press(scene.Items().ok);
        EXPECT_EQ(set.activeCount, 6);
        EXPECT_EQ(set.stages[4].common, 4500);
        EXPECT_EQ(set.stages[5].common, 4400);
        EXPECT_EQ(set.stages[6].x, 4600);
        EXPECT_EQ(set.stages[6].y, 4700);
        EXPECT_TRUE(set.stages[6].separateXY);
        EXPECT_TRUE(set.stages[6].enabled);
        EXPECT_FALSE(set.stages[6].selected);
    }
    {
        // Three stages, a step of 0 and a maximum below the minimum.
        DpiStageSet set;
        set.minDpi = 400;
        set.maxDpi = 200;
        set.step = 0;
        set.activeCount = 2;
        set.currentStage = 1;
        set.stages = {Stage(400, 400, 400), Stage(400, 400, 400), Stage(400, 400, 400)};
        PopupScene scene(set);
        ASSERT_TRUE(scene.created);
        EXPECT_EQ(scene.popup.ShownStages(), 3u);
        EXPECT_FALSE(IsWindowVisible(*scene.Window(3)));
        EXPECT_FALSE(IsWindowVisible(*scene.Window(4)));
        CPHSlider* common = scene.Items().sliderItems[CDPIStagesPopup::CommonSlider];
        EXPECT_EQ(common->Min(), 400);
        EXPECT_EQ(common->Max(), 400);
        EXPECT_EQ(common->Multiplier(), 1);
        scene.Slide(CDPIStagesPopup::CommonSlider, 900);
        EXPECT_EQ(scene.Record(0).common, 400);
        for (int i = 0; i < 3; ++i)
            scene.Press(scene.Items().increment);
        EXPECT_EQ(scene.popup.WorkingCopy().activeCount, 3);
        EXPECT_FALSE(IsWindowVisible(*scene.Window(3)));
    }
}

namespace {

hvtest::Bitmap SkinPicture(const wchar_t* name)
{
    return hvtest::Bitmap::Load(GetSkinResourceCache().Folder() + L"skins\\" + name);
}

// Whether the picture at (x, y) of the window's capture is the skin picture's pixel at (px, py).
void ExpectSkinPixel(const hvtest::Bitmap& capture, int x, int y, const hvtest::Bitmap& picture, int px, int py,
                     const char* what)
{
    ASSERT_FALSE(picture.Empty()) << what;
    EXPECT_TRUE(hvtest::ColorNear(capture.At(x, y), picture.At(px, py), 8))
        << what << ": " << hvtest::ColorText(capture.At(x, y)) << " instead of "
        << hvtest::ColorText(picture.At(px, py));
}

} // namespace

TEST(DpiStagesPopup, PicturesShowSelectedAndUnselectedStages)
{
    DefaultSkin skin;
    DpiStageSet set = FiveStages();
    PopupScene scene(set);
    ASSERT_TRUE(scene.created);
    const hvtest::Bitmap frame = SkinPicture(L"dpi_frame.bmp");
    const hvtest::Bitmap frameSelected = SkinPicture(L"dpi_frame_sel.bmp");
    const hvtest::Bitmap box = SkinPicture(L"dpi_box.bmp");
    const hvtest::Bitmap boxSelected = SkinPicture(L"stageSelected.bmp");
    ASSERT_FALSE(frame.Empty());

    hvtest::FlushMessages();
    const hvtest::Bitmap linked = hvtest::CaptureClient(scene.popup);
    ASSERT_FALSE(linked.Empty());
    linked.SaveToTestDir(L"dpi_stages_linked.bmp");
    const hvtest::Bitmap selected = hvtest::CaptureClient(*scene.Window(1));
    const hvtest::Bitmap unselected = hvtest::CaptureClient(*scene.Window(0));
    selected.SaveToTestDir(L"dpi_stage_selected.bmp");
    unselected.SaveToTestDir(L"dpi_stage_unselected.bmp");
    const int w = selected.Width();
    // The frames along the top edge, and the value boxes' top edges (DPIWIN at 12, 56).
    ExpectSkinPixel(selected, w / 2, 0, frameSelected, w / 2, 0, "selected frame");
    ExpectSkinPixel(unselected, w / 2, 0, frame, w / 2, 0, "frame");
    EXPECT_FALSE(hvtest::ColorNear(selected.At(w / 2, 0), unselected.At(w / 2, 0), 8)) << "the two looks differ";
    ExpectSkinPixel(selected, 12 + 40, 56, boxSelected, 40, 0, "selected value box");
    ExpectSkinPixel(unselected, 12 + 40, 56, box, 40, 0, "value box");
    // The value is drawn in the box: text pixels in the white of the font.
    EXPECT_GT(hvtest::CountPixelsNear(selected, CRect(15, 58, 121, 84), RGB(255, 255, 255), 60), 10);
    // Stages beyond the active count are not shown at all.
    EXPECT_FALSE(IsWindowVisible(*scene.Window(3)));

    // Separate mode: stage 3 shows its two values, each on black.
    EXPECT_TRUE(hvtest::Click(*scene.Window(2)));
    hvtest::FlushMessages();
    const hvtest::Bitmap separate = hvtest::CaptureClient(scene.popup);
    separate.SaveToTestDir(L"dpi_stages_separate.bmp");
    const hvtest::Bitmap third = hvtest::CaptureClient(*scene.Window(2));
    third.SaveToTestDir(L"dpi_stage_separate_selected.bmp");
    ExpectSkinPixel(third, w / 2, 0, frameSelected, w / 2, 0, "selected frame");
    EXPECT_EQ(scene.Window(2)->XText(), L"2400");
    EXPECT_EQ(scene.Window(2)->YText(), L"3200");
    EXPECT_GT(hvtest::CountPixelsNear(third, CRect(15, 42, 121, 68), RGB(255, 255, 255), 60), 10) << "X value";
    EXPECT_GT(hvtest::CountPixelsNear(third, CRect(15, 88, 121, 114), RGB(255, 255, 255), 60), 10) << "Y value";
    EXPECT_GT(hvtest::CountPixelsNear(third, CRect(15, 42, 121, 68), RGB(0, 0, 0), 0), 100) << "black under X";
}
