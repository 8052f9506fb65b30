// The mouse's performance and lighting pages in the main dialog over the registered simulator,
// driven as a user drives them: mouse messages to the sliders' thumbs and tracks and to the buttons,
// the modal pop-ups answered from inside their loops, and Apply checked on the simulator's dump.
// Pictures of both pages and of the sensitivity stages pop-up are kept in the test's folder.
#include "SimTest.h"

#include "HvTest.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "controls/DropdownListItem.h"
#include "model/MouseConfig.h"
#include "core/NameTables.h"
#include "controls/Slider.h"
#include "VexaApp/VxAppDlg.h"
#include "core/ItemIds.h"
#include "VexaInProcess.h"

using hvtest::WaitUntil;

namespace {

template <class T>
T* ObjectOf(HWND window)
{
    return window ? dynamic_cast<T*>(CWnd::FromHandlePermanent(window)) : nullptr;
}

// Answers the modal pop-ups owned by a window from inside their loops (hvtest::ModalScript): each
// step runs once, on the next pop-up that comes up.
class PopupAnswers : public hvtest::ModalScript
{
public:
    using Step = std::function<void(HWND popup)>;

    PopupAnswers(HWND owner, std::initializer_list<Step> steps)
        : hvtest::ModalScript([owner] { return hvtest::ThreadWindow([owner](HWND hwnd) { return IsPopupOf(owner, hwnd); }); },
                              [](HWND popup) { PostMessageW(popup, WM_COMMAND, IDCANCEL, 0); })
    {
        for (const Step& step : steps)
            ExpectOnce(step);
    }

private:
    // Tooltips are owned by the dialog too: a pop-up is a dialog window.
    static bool IsPopupOf(HWND owner, HWND hwnd)
    {
        return GetWindow(hwnd, GW_OWNER) == owner && hvtest::ClassNameOf(hwnd) == L"#32770";
    }
};

// A press and release of the left button in the middle of a window, as messages.
void ClickWindow(HWND window)
{
    ASSERT_TRUE(window);
    RECT rect{};
    GetClientRect(window, &rect);
    const LPARAM at = MAKELPARAM(rect.right / 2, rect.bottom / 2);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    hvtest::FlushMessages();
}

// The thumb of a slider by its id, on the track it moves on.
CPHSlider* ThumbOn(HWND track, int32_t thumbId)
{
    return track ? ObjectOf<CPHSlider>(GetDlgItem(track, thumbId)) : nullptr;
}

// Where on its track a thumb's centre stands at a position.
int TrackXOf(const CPHSlider& thumb, int position)
{
    return thumb.PixelOfPosition(position) + thumb.ThumbSize().cx / 2;
}

// Presses the thumb, moves it to a position along its track and lets it go; then the thumb's and
// the track's messages are handled.
void DragThumb(CPHSlider& thumb, int position)
{
    const HWND window = thumb.GetSafeHwnd();
    const LPARAM middle = MAKELPARAM(thumb.ThumbSize().cx / 2, thumb.ThumbSize().cy / 2);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    POINT to{TrackXOf(thumb, position), thumb.ThumbSize().cy / 2};
    MapWindowPoints(thumb.Track(), window, &to, 1);
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    hvtest::FlushMessages();
}

// A click on the track where the thumb's centre would stand at a position.
void ClickTrackAt(const CPHSlider& thumb, int position)
{
    const LPARAM at = MAKELPARAM(TrackXOf(thumb, position), thumb.ThumbSize().cy / 2);
    SendMessageW(thumb.Track(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(thumb.Track(), WM_LBUTTONUP, 0, at);
    hvtest::FlushMessages();
}

// The position of a thumb at which it shows a value.
int PositionOf(const CPHSlider& thumb, int value)
{
    return value - thumb.Min();
}

// The active profile's lines of the simulator's dump that start with prefix (" dpi", " led 1 ").
std::vector<std::string> ActiveProfileLines(const std::string& prefix)
{
    const std::vector<std::string> lines = simtest::DumpLines(L"mouse");
    std::string active;
    for (const std::string& line : lines)
        if (line.compare(0, 7, "active ") == 0)
            active = line.substr(7);
    std::vector<std::string> found;
    bool inActive = false;
    for (const std::string& line : lines) {
        if (line.compare(0, 8, "profile ") == 0)
            inActive = !active.empty() && line.find(active) != std::string::npos;
        else if (inActive && line.compare(0, prefix.size(), prefix) == 0)
            found.push_back(line);
    }
    return found;
}

// How many pixels of rect differ between two pictures of one window.
int ChangedPixels(const hvtest::Bitmap& before, const hvtest::Bitmap& after, const RECT& rect)
{
    int changed = 0;
    for (int y = rect.top; y < rect.bottom && y < before.Height() && y < after.Height(); ++y)
        for (int x = rect.left; x < rect.right && x < before.Width() && x < after.Width(); ++x)
            changed += before.Pixel(x, y) != after.Pixel(x, y);
    return changed;
}

// The client rectangle of an item's window within the dialog's client area.
RECT RectIn(HWND dialog, HWND item)
{
    RECT rect{};
    GetClientRect(item, &rect);
    MapWindowPoints(item, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string OneLine(const std::vector<std::string>& lines)
{
    return lines.size() == 1 ? lines[0] : "(" + std::to_string(lines.size()) + " lines)";
}

class VexaMousePagesTest : public simtest::SimTest
{
protected:
    void TearDown() override
    {
        m_vexa.Close();
        simtest::SimTest::TearDown();
    }

    HWND Item(int id, bool visibleOnly = true) const { return m_vexa.Item(id, visibleOnly); }
    std::wstring Text(int id) const { return hvtest::TextOf(Item(id, false)); }
    CBitmapBtn* Button(int id) const { return ObjectOf<CBitmapBtn>(Item(id, false)); }
    bool Checked(int id) const
    {
        const CBitmapBtn* button = Button(id);
        return button && button->IsChecked();
    }
    void Click(int id) { ClickWindow(Item(id)); }

    // Apply, and the write it starts run to its end.
    void ApplyAndWait(CVxAppDlg& dialog)
    {
        Click(BUTTON_APPLY);
        EXPECT_FALSE(dialog.IsUnsaved(CVxAppDlg::kMouse));
        EXPECT_TRUE(WaitUntil([&] { return !dialog.IsWriting(CVxAppDlg::kMouse); }, 30000));
        hvtest::FlushMessages();
    }

    hvtest::Bitmap SavePicture(HWND window, const wchar_t* name)
    {
        const hvtest::Bitmap picture = hvtest::CaptureClient(window);
        EXPECT_FALSE(picture.Empty()) << "no picture of " << simtest::Narrow(name);
        EXPECT_TRUE(picture.SaveToTestDir(name));
        return picture;
    }

    vexatest::InProcessVexa m_vexa;
};

TEST_F(VexaMousePagesTest, PerformancePageSetsSensitivityAccelerationRateAndStagesAndApplyWritesThem)
{
    CVxAppDlg* opened = m_vexa.Open();
    ASSERT_TRUE(opened);
    CVxAppDlg& dialog = *opened;
    IMouseConfig& config = *m_vexa.MouseConfig();
    Click(BUTTON_ADJUSTPERFORMANCE);
    ASSERT_EQ(2, dialog.CurrentPageNumber());

    // The profile drop-down lists every profile and shows the active one.
    const auto* dropdown = ObjectOf<CDropdownListItem>(Item(BUTTON_DROPDOWN_PROFILESELECT));
    ASSERT_TRUE(dropdown);
    EXPECT_EQ(static_cast<size_t>(config.GetProfileCount()), dropdown->Entries().size());
    EXPECT_EQ(config.GetActiveProfile()->GetName(), dropdown->ShownText());

    // ---- sensitivity: the slider runs over the profile's range (100 to 5600) in its steps ----
    CPHSlider* combined = ThumbOn(Item(BITMAP_SLSENSTRK_XY), SLIDER_DPI_MULTI_STAGE1);
    ASSERT_TRUE(combined);
    EXPECT_EQ(1, combined->Min());
    EXPECT_EQ(56, combined->Max());
    EXPECT_EQ(100, combined->Multiplier()) << "the tooltip shows DPI";
    EXPECT_EQ(config.GetSensitivity(nullptr), combined->Value() * 100);
    EXPECT_EQ(std::to_wstring(config.GetSensitivity(nullptr)), Text(TEXT_DPIVALUE1));
    EXPECT_FALSE(Item(BITMAP_SLSENSTRK_X)) << "linked mode shows one slider";
    EXPECT_FALSE(Item(TEXT_DPIVALUE2));
    EXPECT_FALSE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    const hvtest::Bitmap linkedPicture = SavePicture(dialog, L"performance_page.bmp");

    DragThumb(*combined, PositionOf(*combined, 48));
    EXPECT_EQ(4800, config.GetSensitivity(nullptr));
    EXPECT_EQ(L"4800", Text(TEXT_DPIVALUE1));
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    ClickTrackAt(*combined, PositionOf(*combined, 56));
    EXPECT_EQ(56, combined->Value());
    EXPECT_EQ(5600, config.GetSensitivity(nullptr)) << "the thumb jumped to the click";
    EXPECT_EQ(L"5600", Text(TEXT_DPIVALUE1));

    // ---- separate X and Y: both start from the combined value ----
    Click(BUTTON_ENABLEXY);
    EXPECT_TRUE(config.GetXYSeparate(nullptr));
    EXPECT_EQ(5600, config.GetSensitivityX(nullptr));
    EXPECT_EQ(5600, config.GetSensitivityY(nullptr));
    EXPECT_FALSE(Item(BITMAP_SLSENSTRK_XY));
    for (int id : {BITMAP_SLSENSTRK_X, BITMAP_SLSENSTRK_Y, TEXT_HEADING_X, TEXT_HEADING_Y, TEXT_DPIVALUE2})
        EXPECT_TRUE(Item(id)) << id << " is not shown in separate mode";
    // The second row's slider is drawn where there was none.
    const hvtest::Bitmap separatePicture = SavePicture(dialog, L"performance_page_xy.bmp");
    EXPECT_GT(ChangedPixels(linkedPicture, separatePicture, RectIn(dialog, Item(BITMAP_SLSENSTRK_Y))), 100);
    CPHSlider* sliderX = ThumbOn(Item(BITMAP_SLSENSTRK_X), SLIDER_DPI_MULTI_X_STAGE1);
    CPHSlider* sliderY = ThumbOn(Item(BITMAP_SLSENSTRK_Y), SLIDER_DPI_MULTI_Y_STAGE1);
    ASSERT_TRUE(sliderX && sliderY);
    EXPECT_EQ(56, sliderY->Value());
    DragThumb(*sliderY, PositionOf(*sliderY, 20));
    DragThumb(*sliderX, PositionOf(*sliderX, 52));
    EXPECT_EQ(5200, config.GetSensitivityX(nullptr));
    EXPECT_EQ(2000, config.GetSensitivityY(nullptr));
    EXPECT_EQ(L"5200", Text(TEXT_DPIVALUE1)) << "the first label shows X in separate mode";
    EXPECT_EQ(L"2000", Text(TEXT_DPIVALUE2));

    // ---- acceleration: off at first, the disabled slider shown ----
    EXPECT_FALSE(config.GetAccelerationEnabled());
    EXPECT_TRUE(Item(BITMAP_SLACCLTRKDISB));
    EXPECT_FALSE(Item(BITMAP_SLACCLTRK));
    Click(BUTTON_ENABLEACCELERATION);
    EXPECT_TRUE(config.GetAccelerationEnabled());
    EXPECT_TRUE(Item(BITMAP_SLACCLTRK));
    EXPECT_FALSE(Item(BITMAP_SLACCLTRKDISB));
    CPHSlider* accel = ThumbOn(Item(BITMAP_SLACCLTRK), FindItemIdByName(L"SLIDER_ACCEL_STAGE1"));
    ASSERT_TRUE(accel);
    EXPECT_EQ(1, accel->Min());
    EXPECT_EQ(10, accel->Max()) << "the device's acceleration range";
    EXPECT_EQ(config.GetAcceleration(), accel->Value());

    // ---- polling rate: labelled by the rates their indexes set ----
    EXPECT_EQ(L"125", Button(BUTTON_RATE1)->Caption());
    EXPECT_EQ(L"500", Button(BUTTON_RATE2)->Caption());
    EXPECT_EQ(L"1000", Button(BUTTON_RATE3)->Caption());
    EXPECT_TRUE(Checked(BUTTON_RATE2)) << "the simulator starts at 500 Hz";
    Click(BUTTON_RATE3);
    EXPECT_EQ(2, config.GetPollingRate());
    EXPECT_FALSE(Checked(BUTTON_RATE1));
    EXPECT_FALSE(Checked(BUTTON_RATE2));
    EXPECT_TRUE(Checked(BUTTON_RATE3));
    Click(BUTTON_RATE3);
    EXPECT_TRUE(Checked(BUTTON_RATE3)) << "pressed again, the rate stays marked";
    // A device that reports its rates the other way round: the labels still say what each sets.
    config.SetSupportedPollingRates({1000, 500, 125});
    Click(BUTTON_LIGHTINGMAINTENANCE);
    Click(BUTTON_ADJUSTPERFORMANCE);
    EXPECT_EQ(L"125", Button(BUTTON_RATE1)->Caption());
    EXPECT_EQ(L"1000", Button(BUTTON_RATE3)->Caption());
    EXPECT_TRUE(Checked(BUTTON_RATE3));

    // ---- the on-screen DPI flag ----
    const bool osd = config.GetOsdDpi(nullptr);
    EXPECT_EQ(osd, Checked(BUTTON_ENABLE_DPI_OSD));
    Click(BUTTON_ENABLE_DPI_OSD);
    EXPECT_NE(osd, config.GetOsdDpi(nullptr));

    ApplyAndWait(dialog);
    EXPECT_EQ("polling 1", OneLine(simtest::DumpLines(L"mouse", "polling"))) << "1000 Hz";
    EXPECT_EQ("acceleration 1 level " + std::to_string(config.GetAcceleration()),
              OneLine(simtest::DumpLines(L"mouse", "acceleration")));
    const std::string dpi = OneLine(ActiveProfileLines(" dpi "));
    EXPECT_NE(std::string::npos, dpi.find(" active 5200x2000 ")) << dpi;
    const std::string flags = OneLine(ActiveProfileLines(" flags "));
    EXPECT_EQ(!osd, (std::stoul(flags.substr(flags.find("0x") + 2), nullptr, 16) & 2) != 0) << flags;

    // ---- the acceleration thumb: a release alone marks nothing, a drag and a track click do ----
    ASSERT_FALSE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    const LPARAM middle = MAKELPARAM(accel->ThumbSize().cx / 2, accel->ThumbSize().cy / 2);
    SendMessageW(*accel, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    SendMessageW(*accel, WM_LBUTTONUP, 0, middle);
    hvtest::FlushMessages();
    EXPECT_FALSE(dialog.IsUnsaved(CVxAppDlg::kMouse)) << "releasing the thumb marked the mouse";
    DragThumb(*accel, PositionOf(*accel, 8));
    EXPECT_EQ(8, config.GetAcceleration());
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    ClickTrackAt(*accel, PositionOf(*accel, 3));
    EXPECT_EQ(3, accel->Value());
    EXPECT_EQ(3, config.GetAcceleration()) << "a track click stores the value the thumb jumped to";

    // ---- the sensitivity stages pop-up: Cancel changes nothing ----
    const int count = config.GetEnabledStageCount(nullptr);
    const int current = config.GetCurrentDpiStage(nullptr);
    const int32_t stage2 = config.GetStageDpi(2, nullptr);
    ASSERT_GE(config.GetDpiStageCount(nullptr), 3);
    {
        PopupAnswers answers(dialog, {[&](HWND popup) {
            SavePicture(popup, L"stages_popup.bmp");
            ClickWindow(hvtest::FindItemWindow(popup, FindItemIdByName(L"BUTTON_DPISTAGES_DEC")));
            ClickWindow(hvtest::FindItemWindow(popup, FindItemIdByName(L"DPISTAGEWINDOW_01")));
            ASSERT_TRUE(hvtest::PostItemCommand(popup, FindItemIdByName(L"BUTTON_DPISTAGES_CANCEL")));
        }});
        Click(BUTTON_SENSITIVITY_STAGES);
        EXPECT_TRUE(answers.Done());
    }
    EXPECT_EQ(count, config.GetEnabledStageCount(nullptr));
    EXPECT_EQ(current, config.GetCurrentDpiStage(nullptr));
    EXPECT_TRUE(config.GetXYSeparate(nullptr));
    EXPECT_EQ(5200, config.GetSensitivityX(nullptr));

    // ---- OK: the stage picked there becomes the sensitivity ----
    {
        PopupAnswers answers(dialog, {[&](HWND popup) {
            ClickWindow(hvtest::FindItemWindow(popup, FindItemIdByName(L"DPISTAGEWINDOW_02")));
            CPHSlider* slider = ThumbOn(hvtest::FindItemWindow(popup, FindItemIdByName(L"BITMAP_SLSENSTRK_XY_POPUP")),
                                        FindItemIdByName(L"SLIDER_DPI_MULTI_POPUP_STAGE1"));
            ASSERT_TRUE(slider);
            EXPECT_EQ(stage2, slider->Value() * slider->Multiplier());
            DragThumb(*slider, PositionOf(*slider, 44));
            ASSERT_TRUE(hvtest::PostItemCommand(popup, FindItemIdByName(L"BUTTON_DPISTAGES_OK")));
        }});
        Click(BUTTON_SENSITIVITY_STAGES);
        EXPECT_TRUE(answers.Done());
    }
    EXPECT_EQ(2, config.GetCurrentDpiStage(nullptr));
    EXPECT_EQ(4400, config.GetStageDpi(2, nullptr));
    EXPECT_EQ(4400, config.GetSensitivity(nullptr));
    EXPECT_FALSE(config.GetXYSeparate(nullptr)) << "the stage's own mode";
    EXPECT_EQ(count, config.GetEnabledStageCount(nullptr));
    EXPECT_EQ(L"4400", Text(TEXT_DPIVALUE1));
    EXPECT_TRUE(Item(BITMAP_SLSENSTRK_XY)) << "the page follows the stage's linked mode";
    EXPECT_FALSE(Checked(BUTTON_ENABLEXY));
    EXPECT_EQ(44, combined->Value());
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kMouse));

    ApplyAndWait(dialog);
    std::string stages = " stages";
    for (int s = 1; s <= count; ++s) {
        const bool separate = config.GetStageSeparateXY(s, nullptr);
        const int32_t x = separate ? config.GetStageDpiX(s, nullptr) : config.GetStageDpi(s, nullptr);
        const int32_t y = separate ? config.GetStageDpiY(s, nullptr) : config.GetStageDpi(s, nullptr);
        stages += " " + std::to_string(x) + "x" + std::to_string(y);
    }
    const std::string written = OneLine(ActiveProfileLines(" dpi "));
    EXPECT_EQ(" dpi active-stage 2 active 4400x4400" + stages, written);
    EXPECT_EQ("acceleration 1 level 3", OneLine(simtest::DumpLines(L"mouse", "acceleration")));

    // A range without a step, its ends the wrong way round: one step of 1, nothing runs backwards,
    // on the page and in the pop-up's copy.
    config.SetDpiRange(800, 400, 0, nullptr);
    Click(BUTTON_LIGHTINGMAINTENANCE);
    Click(BUTTON_ADJUSTPERFORMANCE);
    EXPECT_EQ(800, combined->Min());
    EXPECT_EQ(800, combined->Max());
    EXPECT_EQ(1, combined->Multiplier());
    {
        PopupAnswers answers(dialog, {[&](HWND popup) {
            CPHSlider* slider = ThumbOn(hvtest::FindItemWindow(popup, FindItemIdByName(L"BITMAP_SLSENSTRK_XY_POPUP")),
                                        FindItemIdByName(L"SLIDER_DPI_MULTI_POPUP_STAGE1"));
            ASSERT_TRUE(slider);
            EXPECT_EQ(1, slider->Multiplier());
            EXPECT_EQ(800, slider->Min());
            EXPECT_EQ(800, slider->Max());
            ASSERT_TRUE(hvtest::PostItemCommand(popup, FindItemIdByName(L"BUTTON_DPISTAGES_CANCEL")));
        }});
        Click(BUTTON_SENSITIVITY_STAGES);
        EXPECT_TRUE(answers.Done());
    }
}

TEST_F(VexaMousePagesTest, LightingPageSwitchesTheActiveProfilesLightsAndRestoresThemAfterAsking)
{
    CVxAppDlg* opened = m_vexa.Open();
    ASSERT_TRUE(opened);
    CVxAppDlg& dialog = *opened;
    IMouseConfig& config = *m_vexa.MouseConfig();
    // Another profile with its side light off, to tell the profiles apart.
    ASSERT_GE(config.GetProfileCount(), 2);
    IMouseProfile* first = config.GetActiveProfile();
    ASSERT_TRUE(first);
    const int other = config.GetProfile(0) == first ? 1 : 0;
    IMouseProfile* second = config.GetProfile(other);
    config.SetLedState(10, false, second);

    Click(BUTTON_LIGHTINGMAINTENANCE);
    ASSERT_EQ(5, dialog.CurrentPageNumber());
    const struct
    {
        int led;
        int on;
        int off;
    } lights[] = {{0, BUTTON_VXMOUSE_LTMAIN_ON, BUTTON_VXMOUSE_LTMAIN_OFF},
                  {10, BUTTON_VXMOUSE_LTSIDE_ON, BUTTON_VXMOUSE_LTSIDE_OFF},
                  {9, BUTTON_VXMOUSE_LTBASE_ON, BUTTON_VXMOUSE_LTBASE_OFF}};
    auto expectShown = [&](const char* when) {
        for (const auto& light : lights) {
            const bool on = config.GetLedState(light.led, nullptr);
            EXPECT_EQ(on, Checked(light.on)) << when << ": light " << light.led;
            EXPECT_EQ(!on, Checked(light.off)) << when << ": light " << light.led;
        }
    };
    expectShown("at first");
    EXPECT_NE(std::wstring::npos, Text(TEXT_DRIVERVER).find(L": 1.03")) << simtest::Narrow(Text(TEXT_DRIVERVER));
    const hvtest::Bitmap before = SavePicture(dialog, L"lighting_page.bmp");

    Click(BUTTON_VXMOUSE_LTMAIN_OFF);
    // Both buttons of the pair are drawn anew: one marked, one not.
    const hvtest::Bitmap after = hvtest::CaptureClient(dialog);
    EXPECT_GT(ChangedPixels(before, after, RectIn(dialog, Item(BUTTON_VXMOUSE_LTMAIN_ON))), 100);
    EXPECT_GT(ChangedPixels(before, after, RectIn(dialog, Item(BUTTON_VXMOUSE_LTMAIN_OFF))), 100);
    EXPECT_EQ(0, ChangedPixels(before, after, RectIn(dialog, Item(BUTTON_VXMOUSE_LTSIDE_ON))));
    EXPECT_FALSE(config.GetLedState(0, nullptr));
    EXPECT_TRUE(Checked(BUTTON_VXMOUSE_LTMAIN_OFF));
    EXPECT_FALSE(Checked(BUTTON_VXMOUSE_LTMAIN_ON));
    Click(BUTTON_VXMOUSE_LTMAIN_OFF);
    EXPECT_TRUE(Checked(BUTTON_VXMOUSE_LTMAIN_OFF)) << "pressed again, it stays marked";
    Click(BUTTON_VXMOUSE_LTBASE_OFF);
    EXPECT_FALSE(config.GetLedState(9, nullptr));
    EXPECT_TRUE(config.GetLedState(0, second)) << "only the active profile's light";
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    expectShown("after the clicks");

    // Another profile chosen in the drop-down shows its own lights.
    const HWND dropdown = Item(BUTTON_DROPDOWN_PROFILESELECT);
    SendMessageW(dialog, WM_DROPDOWN_SELCHANGE, static_cast<WPARAM>(other), reinterpret_cast<LPARAM>(dropdown));
    hvtest::FlushMessages();
    EXPECT_EQ(second, config.GetActiveProfile());
    EXPECT_EQ(second->GetName(), ObjectOf<CDropdownListItem>(dropdown)->ShownText());
    EXPECT_TRUE(Checked(BUTTON_VXMOUSE_LTMAIN_ON));
    EXPECT_TRUE(Checked(BUTTON_VXMOUSE_LTSIDE_OFF));
    expectShown("on the other profile");
    ApplyAndWait(dialog);

    // The first profile again, written to the device with its lights.
    const int firstIndex = other == 0 ? 1 : 0;
    SendMessageW(dialog, WM_DROPDOWN_SELCHANGE, static_cast<WPARAM>(firstIndex), reinterpret_cast<LPARAM>(dropdown));
    hvtest::FlushMessages();
    expectShown("back on the first profile");
    EXPECT_TRUE(Checked(BUTTON_VXMOUSE_LTMAIN_OFF));
    ApplyAndWait(dialog);
    EXPECT_EQ(" led 1 on 0", OneLine(ActiveProfileLines(" led 1 ")).substr(0, 11)) << "main light";
    EXPECT_EQ(" led 10 on 0", OneLine(ActiveProfileLines(" led 10 ")).substr(0, 12)) << "base light";
    EXPECT_EQ(" led 11 on 1", OneLine(ActiveProfileLines(" led 11 ")).substr(0, 12)) << "side light";

    // Restore asks first, naming the profile: No leaves the lights, Yes restores them.
    std::wstring heading;
    {
        PopupAnswers answers(dialog, {[&](HWND popup) {
            heading = hvtest::TextOf(hvtest::FindItemWindow(popup, TEXT_WARNDLG_HEADING));
            ASSERT_TRUE(hvtest::PostItemCommand(popup, BUTTON_POPUP_NO));
        }});
        Click(BUTTON_RESET_PROFILE);
        EXPECT_TRUE(answers.Done());
    }
    EXPECT_NE(std::wstring::npos, heading.find(L": " + first->GetName())) << simtest::Narrow(heading);
    EXPECT_FALSE(config.GetLedState(0, nullptr));
    EXPECT_TRUE(Checked(BUTTON_VXMOUSE_LTMAIN_OFF));
    {
        PopupAnswers answers(dialog, {[&](HWND popup) {
            ASSERT_TRUE(hvtest::PostItemCommand(popup, BUTTON_POPUP_YES));
        }});
        Click(BUTTON_RESET_PROFILE);
        EXPECT_TRUE(answers.Done());
    }
    EXPECT_TRUE(config.GetLedState(0, nullptr));
    EXPECT_TRUE(config.GetLedState(9, nullptr));
    expectShown("after the restore");
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    ApplyAndWait(dialog);
    EXPECT_EQ(" led 1 on 1", OneLine(ActiveProfileLines(" led 1 ")).substr(0, 11));
    EXPECT_EQ(" led 10 on 1", OneLine(ActiveProfileLines(" led 10 ")).substr(0, 12));
}

} // namespace
