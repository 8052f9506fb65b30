// The lighting pages against the simulated devices: the LED page's list, on and off, colour, the
// effects with the duration written at every keystroke, brightness written when the bar is let
// go, the controls an LED without colour, effect or brightness hides; the calibration page copying
// the software-control values into the calibrated LEDs, and every missing interface told.
#include "BenchTest.h"

#include "HvTest.h"
#include "mwtest/MwTestRes.h"
#include "platform/WStr.h"

using namespace mwtest;

namespace {

class LedPagesTest : public BenchTest
{
protected:
    std::vector<std::wstring> Leds()
    {
        HWND list = Item(IDD_LED, IDC_LED_LIST);
        std::vector<std::wstring> names;
        for (int i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
            wchar_t text[64] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            names.push_back(text);
        }
        return names;
    }
    void SelectLed(const wchar_t* name)
    {
        HWND list = Item(IDD_LED, IDC_LED_LIST);
        const LRESULT index =
            SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
        ASSERT_NE(LB_ERR, index);
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(PageWindow(IDD_LED), WM_COMMAND, MAKEWPARAM(IDC_LED_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        hvtest::FlushMessages();
    }
    void ChooseEffect(const wchar_t* effect)
    {
        ChooseItem(PageWindow(IDD_LED), IDC_LED_EFFECT, effect);
        hvtest::FlushMessages();
    }
    std::wstring Effect()
    {
        HWND combo = Item(IDD_LED, IDC_LED_EFFECT);
        const LRESULT item = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        wchar_t text[64] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text));
        return text;
    }
    // Shown and enabled, as "se", "s-", "--".
    std::string State(UINT page, int id)
    {
        HWND item = Item(page, id);
        return std::string(IsWindowVisible(item) ? "s" : "-") + (IsWindowEnabled(item) ? "e" : "-");
    }
    static std::string Led(const wchar_t* device, int id)
    {
        return simtest::DumpLines(device, " led " + std::to_string(id) + " ").at(0).substr(1);
    }
    static std::string DeviceLed(int id)
    {
        return simtest::DumpLines(L"mouse", "device-led " + std::to_string(id) + " ").at(0);
    }
    static int BarPos(HWND bar) { return static_cast<int>(SendMessageW(bar, TBM_GETPOS, 0, 0)); }
    // Drags a track bar's thumb by dx; check runs while the button is still held.
    static void DragThumb(HWND bar, int dx, const std::function<void()>& check)
    {
        RECT thumb = {};
        SendMessageW(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        const int x = (thumb.left + thumb.right) / 2;
        const int y = (thumb.top + thumb.bottom) / 2;
        SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + dx, y));
        hvtest::FlushMessages();
        check();
        SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(x + dx, y));
        hvtest::FlushMessages();
    }
};

} // namespace

TEST_F(LedPagesTest, LedOnOffColourEffectsAndBrightness)
{
    Open();
    ChooseDevice(L"VEXA Mouse");
    ASSERT_TRUE(Select(IDD_LED));
    HWND page = PageWindow(IDD_LED);
    EXPECT_EQ((std::vector<std::wstring>{L"SCROLL WHEEL", L"DPI", L"UNDERGLOW", L"SIDESTRIPE"}), Leds());
    // No LED chosen yet: the box stays disabled.
    EXPECT_EQ("s-", State(IDD_LED, IDC_LED_ON));
    ASSERT_EQ("led 1 on 1 color 0xFF0000 brightness 100 effect 0 0 0 caps 111", Led(L"mouse", 1));

    SelectLed(L"SCROLL WHEEL");
    EXPECT_EQ(BST_CHECKED, Check(IDD_LED, IDC_LED_ON));
    EXPECT_EQ("se", State(IDD_LED, IDC_LED_ON));
    EXPECT_EQ(L"None", Effect());
    EXPECT_EQ(L"0", Text(IDD_LED, IDC_LED_DURATION));
    EXPECT_EQ("se", State(IDD_LED, IDC_LED_EFFECT));
    EXPECT_EQ("s-", State(IDD_LED, IDC_LED_DURATION));
    EXPECT_EQ("s-", State(IDD_LED, IDC_LED_DELAY));
    EXPECT_EQ(100, BarPos(Item(IDD_LED, IDC_LED_BRIGHTNESS)));
    // The colour edit shows the LED's colour.
    HWND colour = Item(IDD_LED, IDC_LED_COLOR);
    hvtest::ExpectPixelNear(hvtest::CaptureClient(colour), 4, 4, 0xFF0000);
    const size_t readWrites = simtest::Journal().size();
    EXPECT_EQ(0u, readWrites);  // reading writes nothing

    // On and off, each click as the box shows it.
    Click(IDD_LED, IDC_LED_ON);
    EXPECT_EQ("led 1 on 0 color 0xFF0000 brightness 100 effect 0 0 0 caps 111", Led(L"mouse", 1));
    Click(IDD_LED, IDC_LED_ON);
    EXPECT_EQ("led 1 on 1 color 0xFF0000 brightness 100 effect 0 0 0 caps 111", Led(L"mouse", 1));

    // The colour dialog starts from the LED's colour; its choice is written and shown.
    dialogs.colorPicked = true;
    dialogs.colorAnswer = 0x00FF00;
    Click(IDD_LED, IDC_LED_CHANGE_COLOR);
    ASSERT_EQ(1u, dialogs.colorRequests.size());
    EXPECT_EQ(0xFF0000u, dialogs.colorRequests[0].initial);
    EXPECT_TRUE(dialogs.colorRequests[0].flags & CC_FULLOPEN);
    EXPECT_EQ("led 1 on 1 color 0x00FF00 brightness 100 effect 0 0 0 caps 111", Led(L"mouse", 1));
    hvtest::ExpectPixelNear(hvtest::CaptureClient(colour), 4, 4, 0x00FF00);
    dialogs.colorPicked = false;
    Click(IDD_LED, IDC_LED_CHANGE_COLOR);  // cancelled: nothing written
    EXPECT_EQ(3u, simtest::Journal().size());

    // Effects: Pulsating is written at once; Blinking waits for its duration, written at every
    // keystroke with delay 0.
    ChooseEffect(L"Pulsating");
    EXPECT_EQ("led 1 on 1 color 0x00FF00 brightness 100 effect 2 0 0 caps 111", Led(L"mouse", 1));
    ChooseEffect(L"Blinking");
    EXPECT_EQ("led 1 on 1 color 0x00FF00 brightness 100 effect 2 0 0 caps 111", Led(L"mouse", 1));
    EXPECT_EQ("se", State(IDD_LED, IDC_LED_DURATION));
    EXPECT_EQ("se", State(IDD_LED, IDC_LED_DURATION_LABEL));
    EXPECT_EQ("s-", State(IDD_LED, IDC_LED_DELAY));
    HWND duration = Item(IDD_LED, IDC_LED_DURATION);
    SendMessageW(duration, EM_SETSEL, 0, -1);
    ASSERT_TRUE(hvtest::TypeText(L"250", duration));
    hvtest::FlushMessages();
    std::vector<std::string> effects = Calls("ILedEffect.SetEffect");
    ASSERT_EQ(4u, effects.size());
    const auto endsWith = [](const std::string& line, const std::string& end) {
        return line.size() >= end.size() && line.compare(line.size() - end.size(), end.size(), end) == 0;
    };
    EXPECT_TRUE(endsWith(effects[1], " 1 2 0")) << effects[1];
    EXPECT_TRUE(endsWith(effects[2], " 1 25 0")) << effects[2];
    EXPECT_TRUE(endsWith(effects[3], " 1 250 0")) << effects[3];
    EXPECT_EQ("led 1 on 1 color 0x00FF00 brightness 100 effect 1 250 0 caps 111", Led(L"mouse", 1));
    // Read back: Blinking with its duration, and nothing written by showing it.
    SelectLed(L"DPI");
    SelectLed(L"SCROLL WHEEL");
    EXPECT_EQ(L"Blinking", Effect());
    EXPECT_EQ(L"250", Text(IDD_LED, IDC_LED_DURATION));
    EXPECT_EQ(4u, Calls("ILedEffect.SetEffect").size());
    ChooseEffect(L"SWControl");  // software control: nothing
    EXPECT_EQ(4u, Calls("ILedEffect.SetEffect").size());
    ChooseEffect(L"None");
    EXPECT_EQ("led 1 on 1 color 0x00FF00 brightness 100 effect 0 0 0 caps 111", Led(L"mouse", 1));
    EXPECT_EQ(L"0", Text(IDD_LED, IDC_LED_DURATION));

    // The brightness is written when the bar is let go, not while it moves, nor by a key.
    HWND bar = Item(IDD_LED, IDC_LED_BRIGHTNESS);
    DragThumb(bar, -60, [&] {
        EXPECT_LT(BarPos(bar), 100);
        EXPECT_EQ(0u, Calls("SetBrightness").size());
    });
    const int released = BarPos(bar);
    EXPECT_EQ(wstr::Format(L"led 1 on 1 color 0x00FF00 brightness %d effect 0 0 0 caps 111", released),
              wstr::Utf8ToWide(Led(L"mouse", 1)));
    CaptureSheet(L"led-scroll-wheel");

    // Save: the profile has a store, which is not done yet.
    Click(IDD_LED, IDC_LED_SAVE);
    EXPECT_EQ(std::vector<std::wstring>{L"Not Implemented"}, dialogs.messages);

    // An LED without an effect, colour or brightness hides those controls.
    simtest::Tool({L"feature", L"mouse", L"ILedEffect", L"off"});
    SelectLed(L"DPI");
    for (int id : {IDC_LED_EFFECT, IDC_LED_DURATION_LABEL, IDC_LED_DURATION, IDC_LED_DELAY_LABEL, IDC_LED_DELAY})
        EXPECT_FALSE(IsWindowVisible(Item(IDD_LED, id))) << id;
    EXPECT_EQ("se", State(IDD_LED, IDC_LED_COLOR));
    simtest::Tool({L"feature", L"mouse", L"ILEDColor", L"off"});
    simtest::Tool({L"feature", L"mouse", L"ILEDBrightness", L"off"});
    SelectLed(L"UNDERGLOW");
    EXPECT_EQ("--", State(IDD_LED, IDC_LED_COLOR));
    EXPECT_EQ("--", State(IDD_LED, IDC_LED_CHANGE_COLOR));
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_EQ("se", State(IDD_LED, IDC_LED_ON));
    CaptureSheet(L"led-bare");

    // The keyboard's LEDs.
    Select(IDD_DEVICES);
    ChooseDevice(L"VEXA Keyboard");
    ASSERT_TRUE(Select(IDD_LED));
    EXPECT_EQ((std::vector<std::wstring>{L"BACKLIGHT", L"MACRO RECORD", L"SIDESTRIPE"}), Leds());
    SelectLed(L"MACRO RECORD");
    EXPECT_EQ(BST_UNCHECKED, Check(IDD_LED, IDC_LED_ON));
    Click(IDD_LED, IDC_LED_ON);
    EXPECT_EQ(0, Led(L"keyboard", 7).find("led 7 on 1 "));
    EXPECT_EQ(1u, dialogs.messages.size());
    (void)page;
}

TEST_F(LedPagesTest, CalibrationCopiesTheSoftwareValuesIntoTheCalibratedLeds)
{
    Open();
    ChooseDevice(L"VEXA Mouse");
    ASSERT_TRUE(Select(IDD_LED_CALIBRATION));
    EXPECT_TRUE(dialogs.messages.empty());
    const UINT id = IDD_LED_CALIBRATION;
    for (int field : {IDC_CAL_WHEEL_RED, IDC_CAL_WHEEL_GREEN, IDC_CAL_WHEEL_BLUE, IDC_CAL_LOGO_RED,
                      IDC_CAL_WHEEL_SHOWN_RED, IDC_CAL_LOGO_SHOWN_BLUE})
        EXPECT_EQ(L"255", Text(id, field)) << field;
    EXPECT_EQ(L"100%", Text(id, IDC_CAL_WHEEL_PERCENT));
    EXPECT_EQ(L"100%", Text(id, IDC_CAL_WHEEL_SHOWN_BRIGHTNESS));
    HWND wheelBar = Item(id, IDC_CAL_WHEEL_BRIGHTNESS);
    HWND logoBar = Item(id, IDC_CAL_LOGO_BRIGHTNESS);
    EXPECT_EQ(100, BarPos(wheelBar));

    // The scroll wheel's software colour, from the colour button.
    dialogs.colorPicked = true;
    dialogs.colorAnswer = RGB(0x30, 0x20, 0x10);
    Click(id, IDC_CAL_WHEEL_COLOR);
    ASSERT_EQ(1u, dialogs.colorRequests.size());
    EXPECT_EQ(0xFFFFFFu, dialogs.colorRequests[0].initial);
    EXPECT_EQ("device-led 2 on 1 color 0x102030 brightness 100 effect 0 0 0 caps 110", DeviceLed(2));
    EXPECT_EQ(L"48", Text(id, IDC_CAL_WHEEL_RED));
    EXPECT_EQ(L"32", Text(id, IDC_CAL_WHEEL_GREEN));
    EXPECT_EQ(L"16", Text(id, IDC_CAL_WHEEL_BLUE));
    // The button shows it inside its frame.
    const hvtest::Bitmap button = hvtest::CaptureClient(Item(id, IDC_CAL_WHEEL_COLOR));
    hvtest::ExpectPixelNear(button, button.Width() / 2, button.Height() / 2, RGB(0x30, 0x20, 0x10));

    // Its brightness: the percentage follows the drag, the brightness is written when it ends.
    DragThumb(wheelBar, -40, [&] {
        EXPECT_EQ(wstr::Format(L"%d%%", BarPos(wheelBar)), Text(id, IDC_CAL_WHEEL_PERCENT));
        EXPECT_EQ("device-led 2 on 1 color 0x102030 brightness 100 effect 0 0 0 caps 110", DeviceLed(2));
    });
    const int wheel = BarPos(wheelBar);
    EXPECT_LT(wheel, 100);
    EXPECT_EQ(wstr::Format(L"device-led 2 on 1 color 0x102030 brightness %d effect 0 0 0 caps 110", wheel),
              wstr::Utf8ToWide(DeviceLed(2)));

    // Apply copies both into the calibrated LED 1 and shows what it then has.
    Click(id, IDC_CAL_WHEEL_APPLY);
    EXPECT_EQ(wstr::Format(L"device-led 1 on 1 color 0x102030 brightness %d effect 0 0 0 caps 110", wheel),
              wstr::Utf8ToWide(DeviceLed(1)));
    EXPECT_EQ(L"48", Text(id, IDC_CAL_WHEEL_SHOWN_RED));
    EXPECT_EQ(L"16", Text(id, IDC_CAL_WHEEL_SHOWN_BLUE));
    EXPECT_EQ(wstr::Format(L"%d%%", wheel), Text(id, IDC_CAL_WHEEL_SHOWN_BRIGHTNESS));

    // The logo: a key step, its colour, then Apply into LED 4.
    SendMessageW(logoBar, WM_KEYDOWN, VK_LEFT, 1);
    SendMessageW(logoBar, WM_KEYUP, VK_LEFT, 0xC0000001);
    hvtest::FlushMessages();
    EXPECT_EQ(L"99%", Text(id, IDC_CAL_LOGO_PERCENT));
    EXPECT_EQ("device-led 3 on 1 color 0xFFFFFF brightness 99 effect 0 0 0 caps 110", DeviceLed(3));
    dialogs.colorAnswer = RGB(0x60, 0x50, 0x40);
    Click(id, IDC_CAL_LOGO_COLOR);
    Click(id, IDC_CAL_LOGO_APPLY);
    EXPECT_EQ("device-led 4 on 1 color 0x405060 brightness 99 effect 0 0 0 caps 110", DeviceLed(4));
    EXPECT_EQ(L"96", Text(id, IDC_CAL_LOGO_SHOWN_RED));
    EXPECT_EQ(L"99%", Text(id, IDC_CAL_LOGO_SHOWN_BRIGHTNESS));
    CaptureSheet(L"calibration-applied");

    // Failures are told, each in its words.
    simtest::Tool({L"fail", L"mouse", L"ILEDColor.SetColor", L"0x80004005"});
    Click(id, IDC_CAL_WHEEL_COLOR);
    simtest::Tool({L"fail", L"mouse", L"ILEDBrightness.SetBrightness", L"0x80004005"});
    simtest::Tool({L"fail", L"mouse", L"ILEDColor.GetColor", L"0x80004005"});
    Click(id, IDC_CAL_LOGO_APPLY);
    EXPECT_EQ((std::vector<std::wstring>{L"Error!!! Cannot set Scroll Wheel LED color for software control!\n",
                                         L"Cannot set logo brightness calibrated brightness!!!",
                                         L"Error!!! Cannot get Logo calibrated color!"}),
              dialogs.messages);
    EXPECT_EQ(L"48", Text(id, IDC_CAL_WHEEL_RED));
}

TEST_F(LedPagesTest, CalibrationOnTheKeyboardTellsEachMissingInterface)
{
    Open();
    ChooseDevice(L"VEXA Keyboard");
    ASSERT_TRUE(Select(IDD_LED_CALIBRATION));
    EXPECT_EQ((std::vector<std::wstring>{
                  L"Error!!! Cannot instantiate ILEDColor interface for Scroll Wheel!\n",
                  L"Error!!! Cannot instantiate ILEDBrightness interface for Scroll Wheel!\n",
                  L"Error!!! Cannot instantiate ILEDColor interface for Logo!\n",
                  L"Error!!! Cannot instantiate ILEDBrightness interface for Logo!\n",
                  L"Error!!! Cannot instantiate ILEDColor for Scroll Wheel LED software control!\n",
                  L"Error!!! Cannot instantiate ILEDBrightness for Scroll Wheel LED software control!\n",
                  L"Error!!! Cannot instantiate ILEDColor for Logo LED software control!\n",
                  L"Error!!! Cannot instantiate ILEDBrightness for Logo LED software control!\n",
              }),
              dialogs.messages);
    EXPECT_EQ(L"", Text(IDD_LED_CALIBRATION, IDC_CAL_WHEEL_RED));
    // Nothing held: the bars and buttons do nothing.
    Click(IDD_LED_CALIBRATION, IDC_CAL_WHEEL_APPLY);
    Click(IDD_LED_CALIBRATION, IDC_CAL_WHEEL_COLOR);
    EXPECT_EQ(8u, dialogs.messages.size());
    EXPECT_TRUE(dialogs.colorRequests.empty());
    EXPECT_TRUE(simtest::Journal().empty());
}
