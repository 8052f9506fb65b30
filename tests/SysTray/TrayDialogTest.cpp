// The tray dialog run in the test program against the registered simulator, as the program runs it:
// the system's notices that Wine never sends (session changes, device node changes, the icon's
// clicks) and its timers are posted to it, the devices act through the control tool, and what the
// tray did is read from the simulator's dump and journal, the menu it built, the stand-ins it started
// and the pictures of its displays (kept in the test's folder).
#include "SimTest.h"

#include "SysTray/DelayTimer.h"
#include "platform/RawInput.h"
#include "RecordingHandler.h"
#include "SysTray/SysTrayRes.h"
#include "TrayTestSupport.h"
#include "SysTray/VexaSysTrayDlg.h"
#include "platform/WStr.h"

#include "HvTest.h"

#include <dbt.h>
#include <wtsapi32.h>

using namespace simtest;
using namespace traytest;

namespace {

using Lines = std::vector<std::string>;

constexpr wchar_t kConfigStandIn[] = L"HalvoVexaConfig.exe";
constexpr wchar_t kAppStandIn[] = L"App.exe";

const Lines kMouseLive = {"connection-point _IDPIEvents 1", "connection-point _IDPIEvents2 0",
                          "connection-point _ISensitivityScalerEvents 0", "connection-point _IProfileManagerEvents 1",
                          "connection-point _IApplicationEvent 1"};
const Lines kMouseNone = {"connection-point _IDPIEvents 0", "connection-point _IDPIEvents2 0",
                          "connection-point _ISensitivityScalerEvents 0", "connection-point _IProfileManagerEvents 0",
                          "connection-point _IApplicationEvent 0"};
const Lines kKeyboardLive = {"connection-point _IProfileManagerEvents 1", "connection-point _IOTFMacroRecordingEvents 1",
                             "connection-point _IApplicationEvent 1", "connection-point _IKeyboardRedirectorEvents 0"};
const Lines kKeyboardNone = {"connection-point _IProfileManagerEvents 0", "connection-point _IOTFMacroRecordingEvents 0",
                             "connection-point _IApplicationEvent 0", "connection-point _IKeyboardRedirectorEvents 0"};

Lines Connections(const wchar_t* device)
{
    return DumpLines(device, "connection-point ");
}

std::string Active(const wchar_t* device)
{
    const Lines lines = DumpLines(device, "active ");
    return lines.size() == 1 ? lines[0].substr(7) : std::string();
}

size_t CountPixels(const hvtest::Bitmap& picture, const CRect& rect, COLORREF colour)
{
    return static_cast<size_t>(hvtest::CountPixelsNear(picture, rect, colour));
}

class TrayDialog : public SimTest
{
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        EXPECT_TRUE(hvtest::SetInstallerValues(InstallDir(), L"English"));
        for (const wchar_t* standIn : {kConfigStandIn, kAppStandIn}) {
            EndProcessesNamed(standIn);
            ForgetStarts(standIn);
        }
        m_front.Reset(hvtest::CreateTestWindow(240, 160, 40, 40, L"tray test front"));
        hvtest::PrepareTarget(m_front);
    }

    void TearDown() override
    {
        Close();
        for (const wchar_t* standIn : {kConfigStandIn, kAppStandIn})
            EndProcessesNamed(standIn);
        SimTest::TearDown();
    }

    void Open()
    {
        m_dialog = new CVexaSysTrayDlg;
        m_dialog->SetOwnerSlot(&m_dialog);
        ASSERT_TRUE(m_dialog->CreateTray());
        hvtest::FlushMessages();
    }

    void Close()
    {
        if (m_dialog)
            m_dialog->DestroyWindow();
        EXPECT_EQ(nullptr, m_dialog);
    }

    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        ASSERT_TRUE(m_dialog);
        m_dialog->PostMessage(message, wParam, lParam);
        hvtest::FlushMessages();
    }

    // Opens the menu with a right click on the icon; the menu is ended as soon as it shows.
    void OpenMenu()
    {
        {
            CMenuWatcher watcher;
            m_dialog->PostMessage(WM_TRAY_NOTIFY, kTrayIconId, WM_RBUTTONUP);
            EXPECT_TRUE(hvtest::WaitUntil([&] { return watcher.Seen() > 0; }, 5000));
        }
        hvtest::FlushMessages();
    }

    // The control tool, then what its events and notices make the tray do.
    static void Act(const std::vector<std::wstring>& args)
    {
        Tool(args);
        hvtest::FlushMessages();
    }

    Lines TrayMenu() const { return MenuLines(m_dialog->TrayIcon()->Menu().GetSubMenu(0)); }
    Lines DeviceMenu(int position) const
    {
        return MenuLines(m_dialog->TrayIcon()->Menu().GetSubMenu(0).GetSubMenu(position));
    }

    // Writes a profile's link and flags as the configuration program does.
    void Link(DWORD productId, const wchar_t* profile, const wchar_t* program, int autoSwitch, int osdProfile = 0)
    {
        CDeviceManager manager;
        CScopedDevice device(manager, productId);
        ASSERT_TRUE(device->SetProfileApplication(profile, program));
        ASSERT_TRUE(device->SetProfileFlags(profile, autoSwitch, 1, osdProfile));
    }

    CInstallerKey m_installer; // goes after the dialog
    CVexaSysTrayDlg* m_dialog = nullptr;
    hvtest::ScopedWindow m_front;
};

} // namespace

TEST_F(TrayDialog, MenuListsTheProfilesOfEachDeviceAndItsEntriesActivateThem)
{
    Open();
    EXPECT_EQ(kMouseLive, Connections(L"mouse"));
    EXPECT_EQ(kKeyboardLive, Connections(L"keyboard"));
    Act({L"profile", L"mouse", L"2"});
    // The keyboard goes: its entry is greyed and empty, and it loses its connections.
    Act({L"unplug", L"keyboard"});
    EXPECT_EQ(kKeyboardNone, Connections(L"keyboard"));
    OpenMenu();
    EXPECT_EQ(1, m_dialog->MenuBuilds());
    EXPECT_EQ((Lines{"Open Halvo VEXA|500|d", "-", "VEXA Mouse|-1|p", "VEXA Keyboard|-1|gp", "-", "Close tray icon|502|"}),
              TrayMenu());
    EXPECT_EQ((Lines{"Profile 1|1000|", "Profile 2|1001|", "Profile 3|1002|c", "Profile 4|1003|", "Profile 5|1004|"}),
              DeviceMenu(2));
    EXPECT_TRUE(DeviceMenu(3).empty());

    // An entry activates its profile; an index beyond the list changes nothing.
    Post(WM_COMMAND, 1003);
    EXPECT_EQ(ProfileGuid(L"mouse", 3), Active(L"mouse"));
    ClearJournal();
    Post(WM_COMMAND, 1009);
    Post(WM_COMMAND, 3001);
    EXPECT_TRUE(JournalWith("SetActiveProfile").empty());

    // A name shows its "&" as itself, and a name too long for a menu is cut to 64 characters with
    // "..."; the entries still choose the profiles they show.
    const std::wstring longName = L"Profile for the long evenings of strategy games with many hotkeys & macros";
    ASSERT_GT(longName.size(), 64u);
    ASSERT_HRESULT_SUCCEEDED(ProfileAt(Mouse(), 0)->SetName(L"Fast & Loose"));
    ASSERT_HRESULT_SUCCEEDED(ProfileAt(Mouse(), 4)->SetName(longName.c_str()));
    ASSERT_HRESULT_SUCCEEDED(ProfileAt(Mouse(), 1)->SetName(std::wstring(64, L'x').c_str()));
    OpenMenu();
    const Lines mouseEntries = DeviceMenu(2);
    ASSERT_EQ(5u, mouseEntries.size());
    EXPECT_EQ("Fast && Loose|1000|", mouseEntries[0]);
    EXPECT_EQ(std::string(64, 'x') + "|1001|", mouseEntries[1]);
    EXPECT_EQ(wstr::WideToUtf8(longName.substr(0, 61)) + "...|1004|", mouseEntries[4]);
    Post(WM_COMMAND, 1004);
    EXPECT_EQ(ProfileGuid(L"mouse", 4), Active(L"mouse"));
    Post(WM_COMMAND, 1000);
    EXPECT_EQ(ProfileGuid(L"mouse", 0), Active(L"mouse"));
    // An entry chosen once its profile is renamed (the menu's loop lets that happen) stands for a
    // profile that is gone: nothing changes. The other entries still find theirs.
    ASSERT_HRESULT_SUCCEEDED(ProfileAt(Mouse(), 2)->SetName(L"Renamed"));
    ClearJournal();
    Post(WM_COMMAND, 1002);
    EXPECT_TRUE(JournalWith("SetActiveProfile").empty());
    EXPECT_EQ(ProfileGuid(L"mouse", 0), Active(L"mouse"));
    Post(WM_COMMAND, 1003);

    // Back, the keyboard has its connections and its profiles again.
    Act({L"plug", L"keyboard"});
    EXPECT_EQ(kKeyboardLive, Connections(L"keyboard"));
    OpenMenu();
    EXPECT_EQ(3, m_dialog->MenuBuilds());
    EXPECT_EQ("VEXA Keyboard|-1|p", TrayMenu()[3]);
    EXPECT_EQ((Lines{"Profile 1|2000|c", "Profile 2|2001|", "Profile 3|2002|", "Profile 4|2003|", "Profile 5|2004|"}),
              DeviceMenu(3));
    EXPECT_EQ("Profile 4|1003|c", DeviceMenu(2)[3]);
    Post(WM_COMMAND, 2002);
    EXPECT_EQ(ProfileGuid(L"keyboard", 2), Active(L"keyboard"));
}

TEST_F(TrayDialog, MenuTextsFollowTheRegistrysLanguage)
{
    EXPECT_TRUE(hvtest::SetInstallerValues(InstallDir(), L"German"));
    Open();
    OpenMenu();
    EXPECT_EQ("Halvo VEXA \xC3\xB6""ffnen|500|d", TrayMenu()[0]);
    EXPECT_EQ("Symbol im Infobereich schlie\xC3\x9F""en|502|", TrayMenu()[5]);
    Close();

    // A language without a table of its own keeps the texts the program has built in.
    EXPECT_TRUE(hvtest::SetInstallerValues(InstallDir(), L"Klingon"));
    Open();
    OpenMenu();
    EXPECT_EQ("Load Halvo VEXA|500|d", TrayMenu()[0]);
    EXPECT_EQ("Close Tray Icon|502|", TrayMenu()[5]);
}

TEST_F(TrayDialog, SingleClickWaitsForTheDoubleClickTimeAndADoubleClickStartsTheConfigurationProgramOnce)
{
    Open();
    const UINT doubleClick = ::GetDoubleClickTime();
    {
        CMenuWatcher watcher;
        const DWORD clicked = ::GetTickCount();
        m_dialog->PostMessage(WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDOWN);
        hvtest::PumpMessages();
        EXPECT_EQ(TIMER_TRAY_CLICK, m_dialog->PendingClickTimer());
        EXPECT_EQ(0, watcher.Seen());
        ASSERT_TRUE(hvtest::WaitUntil([&] { return watcher.Seen() > 0; }, doubleClick + 3000));
        EXPECT_GE(watcher.LastSeenAt() - clicked, doubleClick - 20);
        // Built once for the one opening, and the timer is gone.
        hvtest::FlushMessages(doubleClick + 100, doubleClick + 500);
        EXPECT_EQ(1, watcher.Seen());
        EXPECT_EQ(1, m_dialog->MenuBuilds());
        EXPECT_EQ(0u, m_dialog->PendingClickTimer());
        // A stale tick of the click timer opens nothing.
        m_dialog->PostMessage(WM_TIMER, TIMER_TRAY_CLICK);
        hvtest::FlushMessages(300, 600);
        EXPECT_EQ(1, watcher.Seen());
    }

    // A double click: no menu, the configuration program from the install directory, once.
    {
        CMenuWatcher watcher;
        m_dialog->PostMessage(WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDOWN);
        m_dialog->PostMessage(WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
        ASSERT_TRUE(WaitForProcesses(kConfigStandIn, 1));
        EXPECT_EQ(0u, m_dialog->PendingClickTimer());
        m_dialog->PostMessage(WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDOWN);
        m_dialog->PostMessage(WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
        m_dialog->PostMessage(WM_COMMAND, ID_TRAY_LOAD_CONFIG);
        hvtest::FlushMessages(doubleClick + 100, doubleClick + 500);
        EXPECT_EQ(0, watcher.Seen());
    }
    EXPECT_EQ(1u, ProcessesNamed(kConfigStandIn).size());
    EXPECT_TRUE(WaitForStarts(kConfigStandIn, 1));

    // Once it has ended, the menu's first entry starts it again.
    EndProcessesNamed(kConfigStandIn);
    Post(WM_COMMAND, ID_TRAY_LOAD_CONFIG);
    ASSERT_TRUE(WaitForProcesses(kConfigStandIn, 1));
    EXPECT_TRUE(WaitForStarts(kConfigStandIn, 2));

    // Closing the tray while its menu shows: the menu ends first, then the tray.
    {
        CMenuWatcher watcher(m_dialog->m_hWnd);
        m_dialog->PostMessage(WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDOWN);
        EXPECT_TRUE(hvtest::WaitUntil([&] { return m_dialog == nullptr; }, doubleClick + 5000));
        EXPECT_EQ(1, watcher.Seen());
    }
    EXPECT_EQ(kMouseNone, Connections(L"mouse"));
}

TEST_F(TrayDialog, ForegroundProgramSwitchesToTheFirstProfileLinkedToItsFileName)
{
    // Mouse: Profile 2 linked but not switching, Profiles 3 (by its full path, as the test program
    // stores a link) and 4 both switching: the first wins.
    Link(hvmw::kProductMouse, L"Profile 2", L"App.exe", 0);
    Link(hvmw::kProductMouse, L"Profile 3", StandInPath(kAppStandIn).c_str(), 1, 1);
    Link(hvmw::kProductMouse, L"Profile 4", L"App.exe", 1);
    // Keyboard: a name that only ends like the program's does not count; one that differs in case
    // does, as the file system finds it so.
    Link(hvmw::kProductKeyboard, L"Profile 1", L"MyApp.exe", 1);
    Link(hvmw::kProductKeyboard, L"Profile 2", L"C:\\Tools\\APP.EXE", 1);
    Link(hvmw::kProductKeyboard, L"Profile 5", L"App.exe", 1);
    Open();

    // With the test in front nothing is linked.
    ClearJournal();
    Post(WM_TIMER, TIMER_AUTO_SWITCH);
    EXPECT_TRUE(JournalWith("SetActiveProfile").empty());

    hvtest::ChildProcess app;
    ASSERT_TRUE(app.Start(StandInPath(kAppStandIn)));
    HWND window = app.WaitForWindow(L"HvStandIn");
    ASSERT_TRUE(window);
    ::SetForegroundWindow(window);
    ASSERT_TRUE(hvtest::WaitUntil([&] { return ::GetForegroundWindow() == window; }, 5000));
    ASSERT_TRUE(m_dialog->Osd());
    hvtest::MessageRecorder recorder;
    recorder.Watch(m_dialog->Osd()->TextWindow());
    Post(WM_TIMER, TIMER_AUTO_SWITCH);
    // The mouse first, then the keyboard.
    EXPECT_EQ((Lines{"mouse IProfileManager.SetActiveProfile " + ProfileGuid(L"mouse", 2),
                     "keyboard IProfileManager.SetActiveProfile " + ProfileGuid(L"keyboard", 1)}),
              JournalWith("SetActiveProfile"));
    EXPECT_EQ(ProfileGuid(L"mouse", 2), Active(L"mouse"));
    EXPECT_EQ(ProfileGuid(L"keyboard", 1), Active(L"keyboard"));
    // Profile 3 shows its name (the switch and the device's profile event may both show it). The
    // display may have hidden itself and emptied its text by now on a slow machine.
    EXPECT_TRUE(recorder.Contains(WM_OSD_SHOW));
    const std::wstring shown = m_dialog->Osd()->Content().profileText;
    EXPECT_TRUE(shown == L"Profile 3" || shown.empty()) << wstr::WideToUtf8(shown);

    // The linked profiles are active: the next tick changes nothing.
    ClearJournal();
    Post(WM_TIMER, TIMER_AUTO_SWITCH);
    EXPECT_TRUE(JournalWith("SetActiveProfile").empty());
}

TEST_F(TrayDialog, DisplaysShowWhatTheActiveProfilesFlagsAskFor)
{
    Open();
    COnScreenDisplay* osd = m_dialog->Osd();
    ASSERT_TRUE(osd);
    const int right = kOsdColumnWidth + 5;

    // The device's own stage switch: X and Y equal, one bar in the right column.
    Act({L"dpi", L"4"});
    ASSERT_TRUE(::IsWindowVisible(osd->SliderWindow()));
    EXPECT_EQ(1, osd->Content().sliderMode);
    EXPECT_EQ(L"4000", osd->Content().slots[0].text);
    EXPECT_EQ(14, osd->Content().slots[0].position);
    hvtest::Bitmap one = hvtest::CaptureClient(osd->SliderWindow());
    ASSERT_FALSE(one.Empty());
    EXPECT_TRUE(one.SaveToTestDir(L"tray_dpi_one_bar.bmp"));
    EXPECT_EQ(0u, CountPixels(one, CRect(0, 0, kOsdColumnWidth, one.Height()), kOsdColour));
    EXPECT_GT(CountPixels(one, CRect(right, 0, kOsdSliderWidth, one.Height()), kOsdColour), 14u * 45u);

    // X and Y apart: two bars.
    CComPtr<IDpi> dpi = ProfileFeature<IDpi>(ActiveProfile(Mouse()));
    ASSERT_TRUE(dpi);
    ASSERT_HRESULT_SUCCEEDED(dpi->SetActiveDpi(800, 1600));
    hvtest::FlushMessages();
    EXPECT_EQ(2, osd->Content().sliderMode);
    EXPECT_EQ(L"1600", osd->Content().slots[0].text);
    EXPECT_EQ(L"800", osd->Content().slots[1].text);
    hvtest::Bitmap two = hvtest::CaptureClient(osd->SliderWindow());
    EXPECT_TRUE(two.SaveToTestDir(L"tray_dpi_two_bars.bmp"));
    EXPECT_GT(CountPixels(two, CRect(0, 0, kOsdColumnWidth, two.Height()), kOsdColour), 2u * 45u);
    EXPECT_GT(CountPixels(two, CRect(right, 0, kOsdSliderWidth, two.Height()), kOsdColour), 5u * 45u);

    // A profile change shows the new profile's name.
    Act({L"profile", L"mouse", L"1"});
    ASSERT_TRUE(::IsWindowVisible(osd->TextWindow()));
    EXPECT_EQ(L"Profile 2", osd->Content().profileText);
    hvtest::Bitmap name = hvtest::CaptureClient(osd->TextWindow());
    EXPECT_TRUE(name.SaveToTestDir(L"tray_profile_name.bmp"));
    EXPECT_GT(CountPixels(name, CRect(0, 0, name.Width(), name.Height()), kOsdColour), 30u);

    // Without its flags the active profile shows nothing; the displays hide as usual.
    {
        CDeviceManager manager;
        CScopedDevice mouse(manager, hvmw::kProductMouse);
        ASSERT_TRUE(mouse->SetProfileFlags(L"Profile 2", 0, 0, 0));
        ASSERT_TRUE(mouse->SetProfileFlags(L"Profile 5", 0, 0, 0));
    }
    ASSERT_TRUE(hvtest::WaitUntil([&] {
        return !::IsWindowVisible(osd->SliderWindow()) && !::IsWindowVisible(osd->TextWindow());
    }, 4000));
    Act({L"dpi", L"2"});
    Act({L"profile", L"mouse", L"4"});
    EXPECT_FALSE(::IsWindowVisible(osd->SliderWindow()));
    EXPECT_FALSE(::IsWindowVisible(osd->TextWindow()));
    EXPECT_EQ(0, osd->Content().sliderMode);

    // The menu shows the chosen profile's name when that profile asks for it, whatever the profile
    // active before asked for.
    hvtest::MessageRecorder recorder;
    recorder.Watch(osd->TextWindow());
    Post(WM_COMMAND, 1002);
    EXPECT_TRUE(recorder.Contains(WM_OSD_SHOW));
    EXPECT_EQ(L"Profile 3", osd->Content().profileText);
    recorder.Clear();
    Post(WM_COMMAND, 1004);
    EXPECT_EQ(ProfileGuid(L"mouse", 4), Active(L"mouse"));
    EXPECT_FALSE(recorder.Contains(WM_OSD_SHOW));
}

TEST_F(TrayDialog, ApplicationEventsStartTheirProgramAndForeignDevicesAreIgnored)
{
    // A key of the keyboard assigned to the stand-in.
    {
        CComPtr<IDevice> keyboard = Keyboard();
        ASSERT_TRUE(AssignKeyToFirstApplication(DeviceFeature<IApplicationList>(keyboard).Get(),
                                                ProfileFeature<IKeyAssignments>(ActiveProfile(keyboard)).Get(), 0x1E,
                                                StandInPath(kAppStandIn)));
    }
    Open();
    Act({L"press", L"keyboard", L"0x1E"});
    ASSERT_TRUE(WaitForProcesses(kAppStandIn, 1));
    EXPECT_TRUE(WaitForStarts(kAppStandIn, 1));

    // Without its callbacks (gone, as far as the tray knows), the mouse gets them back only from
    // an arrival with the maker's vendor id and its own product id.
    Post(WM_DEVICE_GONE, hvmw::kProductMouse);
    EXPECT_EQ(kMouseNone, Connections(L"mouse"));
    Act({L"announce", L"arrival", L"0x9D18", L"0x22"});
    Act({L"announce", L"arrival", L"0x9D17", L"0x24"});
    EXPECT_EQ(kMouseNone, Connections(L"mouse"));
    Act({L"announce", L"arrival", L"0x9D17", L"0x22"});
    EXPECT_EQ(kMouseLive, Connections(L"mouse"));
    Act({L"announce", L"removal", L"0x9D18", L"0x23"});
    Act({L"announce", L"removal", L"0x9D17", L"0x25"});
    EXPECT_EQ(kKeyboardLive, Connections(L"keyboard"));
    // A node change with both devices there drops nothing.
    Post(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
    EXPECT_EQ(kMouseLive, Connections(L"mouse"));
    EXPECT_EQ(kKeyboardLive, Connections(L"keyboard"));

    // An arrival served before the middleware lists the device leaves it without callbacks; the next
    // node change finds it there and gives it its callbacks.
    Act({L"unplug", L"mouse"});
    EXPECT_EQ(kMouseNone, Connections(L"mouse"));
    Tool({L"fail", L"root", L"IDeviceEnumerator.EnumDevice", L"0x80070057", L"always"});
    Act({L"plug", L"mouse"});
    Tool({L"fail", L"clear"});
    EXPECT_EQ(kMouseNone, Connections(L"mouse"));
    Post(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
    EXPECT_EQ(kMouseLive, Connections(L"mouse"));
    EXPECT_EQ(kKeyboardLive, Connections(L"keyboard"));
    Act({L"profile", L"mouse", L"next"});
    Act({L"press", L"keyboard", L"0x1E"});
    EXPECT_TRUE(WaitForProcesses(kAppStandIn, 2));
}

TEST_F(TrayDialog, OnlyARecordingThatCapturedKeysBecomesAMacroAndTheWindowsEndCancelsOne)
{
    Open();
    auto keyA = [] { return DumpLines(L"keyboard", " assign 0x0001E ").front(); };
    auto led7 = [] { return DumpLines(L"keyboard", " led 7 ").front(); };
    const std::string ledOff = " led 7 on 0 color 0x0000FF brightness 100 effect 0 0 0 caps 111";
    const std::string factoryA = keyA();

    // Nothing captured between start and end: no macro, and the key keeps its function.
    Act({L"otf", L"start"});
    Act({L"otf", L"end"});
    Act({L"otf", L"assign", L"0x1E"});
    EXPECT_TRUE(DumpLines(L"keyboard", L"macro ").empty());
    EXPECT_EQ(factoryA, keyA());
    EXPECT_EQ(Lines{"mode 1"}, DumpLines(L"keyboard", "mode "));
    EXPECT_EQ(ledOff, led7());

    // A light that refuses its colour, and a macro list that ends with another code than "no more
    // items": the keys typed still become the key's macro, and the light goes out.
    Act({L"otf", L"start"});
    ASSERT_TRUE(TheRawInputRegistration().IsRegistered());
    ASSERT_TRUE(hvtest::PrepareTarget(m_front));
    INPUT keys[2] = {};
    for (INPUT& in : keys) {
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = 'B';
        in.ki.wScan = 0x30;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(2u, ::SendInput(2, keys, sizeof(INPUT)));
    ASSERT_TRUE(hvtest::WaitUntil([] { return TheDelayTimer().Events().size() >= 3; }, 5000));
    Act({L"otf", L"end"});
    Tool({L"fail", L"keyboard", L"ILEDColor.SetColor", L"0x80004005"});
    Tool({L"fail", L"keyboard", L"IMacroManager.GetMacro", L"0x80070057"});
    Act({L"otf", L"assign", L"0x1E"});
    const Lines macros = DumpLines(L"keyboard", "macro ");
    ASSERT_EQ(1u, macros.size());
    EXPECT_NE(std::string::npos, macros[0].find("\"New Macro1\""));
    EXPECT_NE(std::string::npos, DumpLines(L"keyboard", " events ").front().find("key 0x30 0x0"));
    GUID macroId{};
    ASSERT_HRESULT_SUCCEEDED(CLSIDFromString(wstr::Utf8ToWide(macros[0].substr(macros[0].find('{'), 38)).c_str(), &macroId));
    EXPECT_EQ(" assign 0x0001E src 0 kind 8 data " + GuidHex(macroId) + "01000000", keyA());
    const Lines refused = JournalWith("-> 0x80004005");
    ASSERT_EQ(1u, refused.size());
    EXPECT_NE(std::string::npos, refused[0].find("keyboard ILEDColor.SetColor"));
    EXPECT_EQ(ledOff, led7());
    EXPECT_EQ(Lines{"mode 1"}, DumpLines(L"keyboard", "mode "));

    // The window destroyed while the device records, by other means than the close command: the
    // recording is cancelled, the device back in its normal mode with its light off.
    Act({L"otf", L"start"});
    EXPECT_EQ(Lines{"mode 2"}, DumpLines(L"keyboard", "mode "));
    ASSERT_TRUE(TheRawInputRegistration().IsRegistered());
    m_dialog->DestroyWindow();
    EXPECT_EQ(nullptr, m_dialog);
    EXPECT_EQ(Lines{"mode 1"}, DumpLines(L"keyboard", "mode "));
    EXPECT_EQ(ledOff, led7());
    EXPECT_FALSE(TheRawInputRegistration().IsRegistered());
    EXPECT_TRUE(TheDelayTimer().Events().empty());
    EXPECT_EQ(kKeyboardNone, Connections(L"keyboard"));
}

TEST_F(TrayDialog, OnTheFlyRecordingMakesTheKeysMacroWithItsDelays)
{
    Open();
    Act({L"otf", L"start"});
    EXPECT_EQ(Lines{"mode 2"}, DumpLines(L"keyboard", "mode "));
    ASSERT_TRUE(TheRawInputRegistration().IsRegistered());
    ASSERT_TRUE(hvtest::PrepareTarget(m_front));

    // A held key (its repeats), a pause, the left button (not recorded) and the middle button.
    INPUT keys[3] = {};
    for (INPUT& in : keys) {
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = 'A';
        in.ki.wScan = 0x1E;
    }
    keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(2u, ::SendInput(2, keys, sizeof(INPUT)));
    hvtest::FlushMessages();
    // The mouse going away meanwhile, and a node change that finds it gone, leave the keyboard's
    // recording alone.
    Act({L"unplug", L"mouse"});
    {
        hvtest::MessageRecorder recorder;
        recorder.Watch(m_dialog->m_hWnd);
        Post(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
        std::vector<WPARAM> gone;
        for (const hvtest::RecordedMsg& msg : recorder.Messages())
            if (msg.message == WM_DEVICE_GONE)
                gone.push_back(msg.wParam);
        EXPECT_EQ(std::vector<WPARAM>{hvmw::kProductMouse}, gone);
    }
    EXPECT_TRUE(TheRawInputRegistration().IsRegistered());
    EXPECT_EQ(kKeyboardLive, Connections(L"keyboard"));
    ASSERT_EQ(1u, ::SendInput(1, keys + 2, sizeof(INPUT)));
    hvtest::FlushMessages();
    ::Sleep(60);
    ASSERT_TRUE(hvtest::Click(m_front));
    ASSERT_TRUE(hvtest::Click(m_front, {-1, -1}, hvtest::Button::Middle));
    Act({L"otf", L"end"});
    EXPECT_FALSE(TheRawInputRegistration().IsRegistered());
    EXPECT_EQ(" led 7 on 1 color 0x0000FF brightness 100 effect 1 300 300 caps 111",
              DumpLines(L"keyboard", " led 7 ").front());
    Act({L"otf", L"assign", L"0x1E"});

    const Lines macros = DumpLines(L"keyboard", "macro ");
    ASSERT_EQ(1u, macros.size());
    EXPECT_NE(std::string::npos, macros[0].find("\"New Macro1\""));
    const Lines events = DumpLines(L"keyboard", " events ");
    ASSERT_EQ(1u, events.size());
    // " events 7, key 0x1E 0x0, delay a, key 0x1E 0x1, delay b, mouse 0x10 0x0, delay c, mouse 0x20 0x0"
    std::vector<std::string> parts;
    for (size_t start = 0, comma; start != std::string::npos; start = comma == std::string::npos ? comma : comma + 2) {
        comma = events[0].find(", ", start);
        parts.push_back(events[0].substr(start, comma == std::string::npos ? comma : comma - start));
    }
    ASSERT_EQ(8u, parts.size()) << events[0];
    EXPECT_EQ(" events 7", parts[0]);
    EXPECT_EQ("key 0x1E 0x0", parts[1]);
    EXPECT_EQ("key 0x1E 0x1", parts[3]);
    EXPECT_EQ("mouse 0x10 0x0", parts[5]);
    EXPECT_EQ("mouse 0x20 0x0", parts[7]);
    const int pause = std::atoi(parts[4].substr(6).c_str());
    EXPECT_EQ("delay", parts[4].substr(0, 5));
    EXPECT_GE(pause, 50);
    EXPECT_LT(pause, 5000);
    const std::string macroGuid = macros[0].substr(macros[0].find('{'), 38);
    GUID macroId{};
    ASSERT_HRESULT_SUCCEEDED(CLSIDFromString(wstr::Utf8ToWide(macroGuid).c_str(), &macroId));
    // In the active profile, the first of the dump.
    EXPECT_EQ(" assign 0x0001E src 0 kind 8 data " + GuidHex(macroId) + "01000000",
              DumpLines(L"keyboard", " assign 0x0001E ").front());
    EXPECT_EQ(Lines{"mode 1"}, DumpLines(L"keyboard", "mode "));
    EXPECT_EQ(" led 7 on 0 color 0x0000FF brightness 100 effect 0 0 0 caps 111",
              DumpLines(L"keyboard", " led 7 ").front());
    EXPECT_TRUE(TheDelayTimer().Events().empty());

    // The mouse's callbacks went with it and come back with it.
    EXPECT_EQ(kMouseNone, Connections(L"mouse"));
    Act({L"plug", L"mouse"});
    hvtest::FlushMessages();
    EXPECT_EQ(kMouseLive, Connections(L"mouse"));
}

TEST_F(TrayDialog, LockEndsTheConfigurationProgramAndDropsEveryConnectionUntilUnlock)
{
    Open();
    Post(WM_COMMAND, ID_TRAY_LOAD_CONFIG);
    ASSERT_TRUE(WaitForProcesses(kConfigStandIn, 1));
    Act({L"otf", L"start"});
    EXPECT_EQ(Lines{"mode 2"}, DumpLines(L"keyboard", "mode "));

    Post(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
    EXPECT_TRUE(WaitForProcesses(kConfigStandIn, 0));
    EXPECT_EQ(kMouseNone, Connections(L"mouse"));
    EXPECT_EQ(kKeyboardNone, Connections(L"keyboard"));
    // The recording is cancelled on both devices.
    EXPECT_EQ(Lines{"mode 1"}, DumpLines(L"keyboard", "mode "));
    EXPECT_EQ(" led 7 on 0 color 0x0000FF brightness 100 effect 0 0 0 caps 111",
              DumpLines(L"keyboard", " led 7 ").front());
    EXPECT_FALSE(TheRawInputRegistration().IsRegistered());
    // Nothing is heard while locked.
    Act({L"dpi", L"5"});
    EXPECT_FALSE(::IsWindowVisible(m_dialog->Osd()->SliderWindow()));

    Post(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
    EXPECT_EQ(kMouseLive, Connections(L"mouse"));
    EXPECT_EQ(kKeyboardLive, Connections(L"keyboard"));
    Act({L"dpi", L"1"});
    EXPECT_TRUE(::IsWindowVisible(m_dialog->Osd()->SliderWindow()));
    EXPECT_EQ(L"800", m_dialog->Osd()->Content().slots[0].text);
}
