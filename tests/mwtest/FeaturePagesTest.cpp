// The device feature pages against the simulated devices: what each shows of the device's state
// and what each user action writes, both seen in the control tool's dump and journal; the raw
// input monitor of the mode page; the keyboard redirector typing into its page; the refresh test
// page in a sheet of its own.
#include "BenchTest.h"

#include <algorithm>

#include "mwtest/FeaturePages.h"
#include "HvTest.h"
#include "mwtest/MwTestRes.h"
#include "platform/WStr.h"

using namespace mwtest;

namespace {

class FeaturePagesTest : public BenchTest
{
protected:
    void OpenWith(const wchar_t* device, UINT page)
    {
        Open();
        ChooseDevice(device);
        ASSERT_TRUE(Select(page));
    }
    // A key press on a track bar: one step, then the end of the move.
    static void StepBar(HWND bar, WPARAM key, bool release = true)
    {
        SendMessageW(bar, WM_KEYDOWN, key, 1);
        if (release)
            SendMessageW(bar, WM_KEYUP, key, 0xC0000001);
        hvtest::FlushMessages();
    }
    static int BarPos(HWND bar) { return static_cast<int>(SendMessageW(bar, TBM_GETPOS, 0, 0)); }
};

std::wstring ComboText(HWND combo, int index)
{
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

// Counts the ordinary key messages this thread takes from its queue.
class KeyMessageCounter
{
public:
    KeyMessageCounter()
    {
        s_count = 0;
        m_hook = SetWindowsHookExW(WH_GETMESSAGE, &KeyMessageCounter::Hook, nullptr, GetCurrentThreadId());
    }
    ~KeyMessageCounter() { UnhookWindowsHookEx(m_hook); }
    int Count() const { return s_count; }
    void Reset() { s_count = 0; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP))
            ++s_count;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static int s_count;
    HHOOK m_hook;
};
int KeyMessageCounter::s_count = 0;

} // namespace

TEST_F(FeaturePagesTest, PollingRateListsTheDeviceRatesAndWritesTheChosenOne)
{
    // What the device supports, asked directly.
    std::vector<std::wstring> expected;
    {
        CComPtr<IPollingRate> rate = DeviceFeature<IPollingRate>(Mouse());
        ASSERT_TRUE(rate);
        int count = 0;
        int* rates = nullptr;
        ASSERT_HRESULT_SUCCEEDED(rate->GetSupportedRates(&count, &rates));
        for (int i = 0; i < count; ++i)
            expected.push_back(wstr::Format(L"%dHz", rates[i]));
        CoTaskMemFree(rates);
    }
    OpenWith(L"VEXA Mouse", IDD_POLLING_RATE);
    HWND combo = Item(IDD_POLLING_RATE, IDC_POLLING_RATE);
    std::vector<std::wstring> listed;
    for (int i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i)
        listed.push_back(ComboText(combo, i));
    EXPECT_EQ(expected, listed);
    ASSERT_EQ("polling 2", DumpLine(L"mouse", "polling "));
    EXPECT_EQ(L"500Hz", ComboText(combo, static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0))));

    // Choosing a rate writes its code; the profile has no polling rate, so the device's serves.
    const LRESULT fastest = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(L"1000Hz"));
    ASSERT_NE(CB_ERR, fastest);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(fastest), 0);
    SendMessageW(PageWindow(IDD_POLLING_RATE), WM_COMMAND, MAKEWPARAM(IDC_POLLING_RATE, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ("polling 1", DumpLine(L"mouse", "polling "));
    EXPECT_EQ(std::vector<std::string>{"mouse IPollingRate.SetRate 1"}, Calls("IPollingRate.SetRate"));

    // The device's rate is shown whenever the page comes back; an unknown code selects nothing.
    simtest::Tool({L"set", L"mouse", L"polling", L"8"});
    Reselect(IDD_POLLING_RATE);
    EXPECT_EQ(static_cast<LRESULT>(expected.size()), SendMessageW(combo, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(L"125Hz", ComboText(combo, static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0))));
    CaptureSheet(L"polling-125");
    simtest::Tool({L"set", L"mouse", L"polling", L"5"});
    Reselect(IDD_POLLING_RATE);
    EXPECT_EQ(CB_ERR, SendMessageW(combo, CB_GETCURSEL, 0, 0));

    // The keyboard has no polling rate: the page empties.
    Select(IDD_DEVICES);
    ChooseDevice(L"VEXA Keyboard");
    Select(IDD_POLLING_RATE);
    EXPECT_EQ(0, SendMessageW(combo, CB_GETCOUNT, 0, 0));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FeaturePagesTest, AccelerationSwitchesAndWritesTheLevelWhenAMoveEnds)
{
    OpenWith(L"VEXA Mouse", IDD_ACCELERATION);
    HWND box = Item(IDD_ACCELERATION, IDC_ACCEL_ENABLED);
    HWND bar = Item(IDD_ACCELERATION, IDC_ACCEL_LEVEL);
    ASSERT_EQ("acceleration 0 level 5", DumpLine(L"mouse", "acceleration "));
    EXPECT_EQ(BST_UNCHECKED, Check(IDD_ACCELERATION, IDC_ACCEL_ENABLED));
    EXPECT_FALSE(IsWindowEnabled(bar));
    EXPECT_EQ(5, BarPos(bar));
    EXPECT_EQ(1, SendMessageW(bar, TBM_GETRANGEMIN, 0, 0));
    EXPECT_EQ(10, SendMessageW(bar, TBM_GETRANGEMAX, 0, 0));

    Click(IDD_ACCELERATION, IDC_ACCEL_ENABLED);
    EXPECT_EQ("acceleration 1 level 5", DumpLine(L"mouse", "acceleration "));
    EXPECT_TRUE(IsWindowEnabled(bar));

    // A step of the bar writes nothing until the move ends.
    StepBar(bar, VK_RIGHT, false);
    EXPECT_EQ(6, BarPos(bar));
    EXPECT_EQ("acceleration 1 level 5", DumpLine(L"mouse", "acceleration "));
    SendMessageW(bar, WM_KEYUP, VK_RIGHT, 0xC0000001);
    hvtest::FlushMessages();
    EXPECT_EQ("acceleration 1 level 6", DumpLine(L"mouse", "acceleration "));

    // A double click on the box is two clicks: off, then on again, each written.
    const size_t before = Calls("IAcceleration.").size();
    ASSERT_TRUE(hvtest::DoubleClick(box, {5, 5}));
    hvtest::FlushMessages();
    EXPECT_EQ(BST_CHECKED, Check(IDD_ACCELERATION, IDC_ACCEL_ENABLED));
    const std::vector<std::string> calls = Calls("IAcceleration.");
    ASSERT_EQ(before + 2, calls.size());
    EXPECT_EQ("mouse IAcceleration.Disable", calls[before]);
    EXPECT_EQ("mouse IAcceleration.Enable", calls[before + 1]);
    EXPECT_EQ("acceleration 1 level 6", DumpLine(L"mouse", "acceleration "));
    CaptureSheet(L"acceleration-on");

    Click(IDD_ACCELERATION, IDC_ACCEL_ENABLED);
    EXPECT_EQ("acceleration 0 level 6", DumpLine(L"mouse", "acceleration "));
    EXPECT_FALSE(IsWindowEnabled(bar));
    simtest::Tool({L"set", L"mouse", L"acceleration-level", L"9"});
    Reselect(IDD_ACCELERATION);
    EXPECT_EQ(9, BarPos(bar));
}

TEST_F(FeaturePagesTest, ModeRoundTripsAndTheMonitorTakesTheKeyboardOnlyWhileShown)
{
    OpenWith(L"VEXA Mouse", IDD_MODE);
    ASSERT_EQ("mode 1", DumpLine(L"mouse", "mode "));
    EXPECT_EQ(BST_CHECKED, Check(IDD_MODE, IDC_MODE_NORMAL));
    Click(IDD_MODE, IDC_MODE_DRIVER);
    EXPECT_EQ("mode 3", DumpLine(L"mouse", "mode "));
    simtest::Tool({L"set", L"mouse", L"mode", L"2"});
    Reselect(IDD_MODE);
    EXPECT_EQ(BST_UNCHECKED, Check(IDD_MODE, IDC_MODE_NORMAL));
    EXPECT_EQ(BST_CHECKED, Check(IDD_MODE, IDC_MODE_DEFAULT));
    EXPECT_EQ(BST_UNCHECKED, Check(IDD_MODE, IDC_MODE_DRIVER));
    simtest::Tool({L"set", L"mouse", L"mode", L"7"});
    Reselect(IDD_MODE);
    for (int id : {IDC_MODE_NORMAL, IDC_MODE_DEFAULT, IDC_MODE_DRIVER})
        EXPECT_EQ(BST_UNCHECKED, Check(IDD_MODE, id));

    // While the page is in front a key is a raw-input report on the page and no key message.
    EXPECT_EQ(2u, RawInputRegistrations());
    HWND page = PageWindow(IDD_MODE);
    KeyMessageCounter keys;
    ASSERT_TRUE(hvtest::PressKey('A', 0, page));
    hvtest::FlushMessages();
    const UINT scan = MapVirtualKeyW('A', MAPVK_VK_TO_VSC);
    EXPECT_EQ(wstr::Format(L"Key : Flags-0x%04x MakeCode-0x%04x", RI_KEY_BREAK, scan), Text(IDD_MODE, IDC_MODE_KEY));
    EXPECT_EQ(0, keys.Count());
    ASSERT_TRUE(hvtest::Click(Item(IDD_MODE, IDC_MODE_KEY)));
    hvtest::FlushMessages();
    EXPECT_EQ(wstr::Format(L"Button : Flags-0x%04x ButtonData-0x0000", RI_MOUSE_LEFT_BUTTON_UP),
              Text(IDD_MODE, IDC_MODE_BUTTON));
    CaptureSheet(L"mode-monitor");

    // Left, the page lets the keyboard go: ordinary key messages again, and no report.
    Select(IDD_BATTERY);
    EXPECT_EQ(0u, RawInputRegistrations());
    keys.Reset();
    ASSERT_TRUE(hvtest::PressKey('B', 0, PageWindow(IDD_BATTERY)));
    hvtest::FlushMessages();
    EXPECT_EQ(2, keys.Count());
    EXPECT_EQ(wstr::Format(L"Key : Flags-0x%04x MakeCode-0x%04x", RI_KEY_BREAK, scan), Text(IDD_MODE, IDC_MODE_KEY));
}

TEST_F(FeaturePagesTest, PowerBarsWriteOnlyWhenADragEndsAndShowOnlyWhatWasWritten)
{
    OpenWith(L"VEXA Mouse", IDD_POWER_MANAGEMENT);
    ASSERT_EQ("power critical 10 max-led 100 sleep 300", DumpLine(L"mouse", "power "));
    EXPECT_EQ(L"10", Text(IDD_POWER_MANAGEMENT, IDC_POWER_CRITICAL_TEXT));
    EXPECT_EQ(L"100", Text(IDD_POWER_MANAGEMENT, IDC_POWER_MAX_LED_TEXT));
    EXPECT_EQ(L"300", Text(IDD_POWER_MANAGEMENT, IDC_POWER_SLEEP_TEXT));
    HWND critical = Item(IDD_POWER_MANAGEMENT, IDC_POWER_CRITICAL);
    HWND maxLed = Item(IDD_POWER_MANAGEMENT, IDC_POWER_MAX_LED);
    EXPECT_EQ(10, BarPos(critical));
    EXPECT_EQ(100, BarPos(maxLed));
    EXPECT_EQ(255, SendMessageW(maxLed, TBM_GETRANGEMAX, 0, 0));

    // Drag the critical level's thumb to the right: nothing is written while it moves.
    RECT thumb = {};
    SendMessageW(critical, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const int y = (thumb.top + thumb.bottom) / 2;
    const int x = (thumb.left + thumb.right) / 2;
    SendMessageW(critical, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(critical, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 60, y));
    hvtest::FlushMessages();
    const int dragged = BarPos(critical);
    EXPECT_GT(dragged, 10);
    EXPECT_EQ("power critical 10 max-led 100 sleep 300", DumpLine(L"mouse", "power "));
    EXPECT_EQ(L"10", Text(IDD_POWER_MANAGEMENT, IDC_POWER_CRITICAL_TEXT));
    SendMessageW(critical, WM_LBUTTONUP, 0, MAKELPARAM(x + 60, y));
    hvtest::FlushMessages();
    EXPECT_EQ(wstr::Format(L"power critical %d max-led 100 sleep 300", dragged),
              wstr::Utf8ToWide(DumpLine(L"mouse", "power ")));
    EXPECT_EQ(std::to_wstring(dragged), Text(IDD_POWER_MANAGEMENT, IDC_POWER_CRITICAL_TEXT));

    // A write that fails leaves the text as it was.
    simtest::Tool({L"fail", L"mouse", L"IPowerManagement.SetMaxLedBrightness", L"0x80004005"});
    StepBar(maxLed, VK_LEFT);
    EXPECT_EQ(99, BarPos(maxLed));
    EXPECT_EQ(L"100", Text(IDD_POWER_MANAGEMENT, IDC_POWER_MAX_LED_TEXT));
    EXPECT_EQ(wstr::Format(L"power critical %d max-led 100 sleep 300", dragged),
              wstr::Utf8ToWide(DumpLine(L"mouse", "power ")));
    StepBar(maxLed, VK_LEFT);
    EXPECT_EQ(L"98", Text(IDD_POWER_MANAGEMENT, IDC_POWER_MAX_LED_TEXT));
    EXPECT_EQ(wstr::Format(L"power critical %d max-led 98 sleep 300", dragged),
              wstr::Utf8ToWide(DumpLine(L"mouse", "power ")));
    CaptureSheet(L"power-written");
}

TEST_F(FeaturePagesTest, BatteryAndKeyboardLayoutShowTheDevice)
{
    OpenWith(L"VEXA Mouse", IDD_BATTERY);
    ASSERT_EQ("battery 80 charging 0", DumpLine(L"mouse", "battery "));
    EXPECT_EQ(L"80", Text(IDD_BATTERY, IDC_BATTERY_LEVEL));
    EXPECT_EQ(BST_UNCHECKED, Check(IDD_BATTERY, IDC_BATTERY_CHARGING));
    simtest::Tool({L"set", L"mouse", L"battery", L"55"});
    simtest::Tool({L"set", L"mouse", L"charging", L"1"});
    Reselect(IDD_BATTERY);
    EXPECT_EQ(L"55", Text(IDD_BATTERY, IDC_BATTERY_LEVEL));
    EXPECT_EQ(BST_CHECKED, Check(IDD_BATTERY, IDC_BATTERY_CHARGING));
    simtest::Tool({L"set", L"mouse", L"charging", L"2"});
    Reselect(IDD_BATTERY);
    EXPECT_EQ(BST_INDETERMINATE, Check(IDD_BATTERY, IDC_BATTERY_CHARGING));
    // The box only shows: a click changes nothing.
    Click(IDD_BATTERY, IDC_BATTERY_CHARGING);
    EXPECT_EQ(BST_INDETERMINATE, Check(IDD_BATTERY, IDC_BATTERY_CHARGING));
    CaptureSheet(L"battery-charged");

    Select(IDD_DEVICES);
    ChooseDevice(L"VEXA Keyboard");
    ASSERT_TRUE(Select(IDD_KEYBOARD_LAYOUT));
    EXPECT_EQ(L"Keyboard layout: 01", Text(IDD_KEYBOARD_LAYOUT, IDC_LAYOUT_CODE));
    simtest::Tool({L"set", L"keyboard", L"layout", L"0x83"});
    Reselect(IDD_KEYBOARD_LAYOUT);
    EXPECT_EQ(L"Keyboard layout: 83", Text(IDD_KEYBOARD_LAYOUT, IDC_LAYOUT_CODE));
}

TEST_F(FeaturePagesTest, RedirectedKeysTypeIntoThePageOnlyWhileEnabled)
{
    OpenWith(L"VEXA Keyboard", IDD_KEYBOARD_REDIRECTOR);
    HWND enable = Item(IDD_KEYBOARD_REDIRECTOR, IDC_REDIR_ENABLE);
    HWND disable = Item(IDD_KEYBOARD_REDIRECTOR, IDC_REDIR_DISABLE);
    ASSERT_EQ("redirector 0", DumpLine(L"keyboard", "redirector "));
    EXPECT_TRUE(IsWindowEnabled(enable));
    EXPECT_FALSE(IsWindowEnabled(disable));

    Click(IDD_KEYBOARD_REDIRECTOR, IDC_REDIR_ENABLE);
    EXPECT_EQ("redirector 1", DumpLine(L"keyboard", "redirector "));
    EXPECT_EQ(1, Connections(L"keyboard", "_IKeyboardRedirectorEvents"));
    EXPECT_FALSE(IsWindowEnabled(enable));
    EXPECT_TRUE(IsWindowEnabled(disable));
    simtest::Tool({L"redirect", L"0x41"});
    simtest::Tool({L"redirect", L"0x42"});
    hvtest::FlushMessages();
    EXPECT_EQ(L"ab", Text(IDD_KEYBOARD_REDIRECTOR, IDC_REDIR_EDIT));
    CaptureSheet(L"redirector-typed");

    Click(IDD_KEYBOARD_REDIRECTOR, IDC_REDIR_DISABLE);
    EXPECT_EQ("redirector 0", DumpLine(L"keyboard", "redirector "));
    EXPECT_EQ(0, Connections(L"keyboard", "_IKeyboardRedirectorEvents"));
    EXPECT_TRUE(IsWindowEnabled(enable));
    simtest::Tool({L"redirect", L"0x43"});
    hvtest::FlushMessages();
    EXPECT_EQ(L"ab", Text(IDD_KEYBOARD_REDIRECTOR, IDC_REDIR_EDIT));

    // Leaving the page ends the redirection the page started.
    Click(IDD_KEYBOARD_REDIRECTOR, IDC_REDIR_ENABLE);
    EXPECT_EQ("redirector 1", DumpLine(L"keyboard", "redirector "));
    Select(IDD_OTF_MACRO);
    EXPECT_EQ("redirector 0", DumpLine(L"keyboard", "redirector "));
    EXPECT_EQ(0, Connections(L"keyboard", "_IKeyboardRedirectorEvents"));

    // Turned on by someone else, Disable turns it off all the same.
    simtest::Tool({L"set", L"keyboard", L"redirector", L"1"});
    ASSERT_TRUE(Select(IDD_KEYBOARD_REDIRECTOR));
    EXPECT_FALSE(IsWindowEnabled(enable));
    EXPECT_TRUE(IsWindowEnabled(disable));
    Click(IDD_KEYBOARD_REDIRECTOR, IDC_REDIR_DISABLE);
    EXPECT_EQ("redirector 0", DumpLine(L"keyboard", "redirector "));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FeaturePagesTest, RefreshTestPageReadsTheDeviceAtItsIntervalUntilStopped)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CHvMwApiSheet sheet;
    sheet.AddPage(std::make_unique<CVxRefreshTestPage>());
    ASSERT_TRUE(sheet.Create());
    sheet.SetDevice(mouse);
    HWND page = sheet.GetPage(0)->m_hWnd;
    ASSERT_NE(nullptr, page);
    const auto press = [&](int id) {
        SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0);
        hvtest::FlushMessages();
    };
    DeviceInfo info = {};
    // The next three reads fail: only the page's timer can use them up.
    simtest::Tool({L"fail", L"mouse", L"IDevice.GetDeviceInfo", L"0x80004005", L"3"});
    SetDlgItemTextW(page, IDC_REFRESH_INTERVAL, L"not a number");
    press(IDC_REFRESH_START);
    Sleep(200);
    hvtest::FlushMessages();
    EXPECT_FALSE(SUCCEEDED(mouse->GetDeviceInfo(&info)));  // nothing started: the first failure is ours
    SetDlgItemTextW(page, IDC_REFRESH_INTERVAL, L"20");
    press(IDC_REFRESH_START);
    // Some ticks of the timer.
    for (const ULONGLONG until = GetTickCount64() + 400; GetTickCount64() < until;)
        hvtest::FlushMessages(10, 50);
    press(IDC_REFRESH_STOP);
    ASSERT_HRESULT_SUCCEEDED(mouse->GetDeviceInfo(&info));  // the page used up the other two
    CoTaskMemFree(info.name);

    // Stopped, it reads no more.
    simtest::Tool({L"fail", L"mouse", L"IDevice.GetDeviceInfo", L"0x80004005", L"1"});
    Sleep(200);
    hvtest::FlushMessages();
    info = {};
    EXPECT_FALSE(SUCCEEDED(mouse->GetDeviceInfo(&info)));
    sheet.Close();
    sheet.Release();
}
