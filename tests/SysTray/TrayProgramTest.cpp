// The tray program whole and its helpers: the program started from its install directory (one copy,
// ended by its close command or WM_CLOSE, with its icon in the notification area), the icon's calls
// to the shell seen through the program's import of Shell_NotifyIconW, the registry and process
// helper against the stand-ins, and the recorder fed with made-up raw input at chosen times.
#include "SimTest.h"

#include "platform/CommonDialogs.h"
#include "SysTray/DelayTimer.h"
#include "SysTray/PcManager.h"
#include "RecordingHandler.h"
#include "SysTray/SysTrayRes.h"
#include "TrayTestSupport.h"
#include "SysTray/VexaSysTrayApp.h"
#include "SysTray/VexaSysTrayDlg.h"

#include "ImportPatch.h"

#include "HvTest.h"

#include <functional>

using namespace simtest;
using namespace traytest;
using traytest::JournalWith;

namespace {

using Lines = std::vector<std::string>;

constexpr wchar_t kTrayCaption[] = L"HalvoVexaSysTray";

// Every test of this program, the dialog's in TrayDialogTest.cpp too, runs the tray from the folder
// of the test program: it is laid out once before the first of them, and none runs without it.
class CTrayInstall : public testing::Environment
{
public:
    void SetUp() override
    {
        ASSERT_TRUE(LayOutInstall()) << "the tray's install directory could not be laid out in " << InstallDir();
    }
};
testing::Environment* const g_trayInstall = testing::AddGlobalTestEnvironment(new CTrayInstall);

bool LiveConnections(const wchar_t* device)
{
    for (const std::string& line : DumpLines(device, "connection-point "))
        if (line.back() != '0')
            return true;
    return false;
}

// ---- Shell_NotifyIconW as the program calls it ----

struct NotifyCall
{
    DWORD message;
    DWORD size;
    HWND window;
    UINT id;
    UINT flags;
};
std::vector<NotifyCall> g_notifyCalls;
bool g_refuseAdd = false;
decltype(&::Shell_NotifyIconW) g_shellNotify = nullptr;

BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAW data)
{
    g_notifyCalls.push_back({message, data->cbSize, data->hWnd, data->uID, data->uFlags});
    if (g_refuseAdd && message == NIM_ADD)
        return FALSE;
    return g_shellNotify(message, data);
}

class CBoxAnswerer : public ICommonDialogs
{
public:
    std::vector<std::wstring> asked;
    // What happens while a box is up, before it is answered.
    std::function<void()> whileShown;
    int ShowMessage(HWND, const std::wstring& text, const std::wstring&, UINT type) override
    {
        asked.push_back(text + L":" + std::to_wstring(type));
        if (whileShown)
            whileShown();
        return IDOK;
    }
    bool PickFile(const FileDialogRequest&, std::wstring&) override { return false; }
    bool PickColor(const ColorDialogRequest&, COLORREF&) override { return false; }
};

RAWINPUT Key(USHORT makeCode, USHORT flags)
{
    RAWINPUT input{};
    input.header.dwType = RIM_TYPEKEYBOARD;
    input.data.keyboard.MakeCode = makeCode;
    input.data.keyboard.Flags = flags;
    return input;
}

RAWINPUT Mouse(USHORT buttonFlags, USHORT buttonData = 0)
{
    RAWINPUT input{};
    input.header.dwType = RIM_TYPEMOUSE;
    input.data.mouse.usButtonFlags = buttonFlags;
    input.data.mouse.usButtonData = buttonData;
    return input;
}

} // namespace

TEST_F(SimTest, TrayProgramRunsOnceAndEndsWithItsCloseCommand)
{
    CInstallerKey installer;
    EXPECT_TRUE(hvtest::SetInstallerValues(InstallDir(), L"English"));
    const std::wstring program = InstallDir() + L"\\HalvoVexaSysTray.exe";
    hvtest::ChildProcess tray;
    ASSERT_TRUE(tray.Start(program));
    HWND dialog = tray.WaitForWindow(L"#32770", kTrayCaption);
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(::IsWindowVisible(dialog));
    ASSERT_TRUE(hvtest::WaitUntil([] { return LiveConnections(L"mouse") && LiveConnections(L"keyboard"); }));
    EXPECT_TRUE(IconShown(dialog));

    // A second copy ends at once, silently, and leaves the first alone.
    hvtest::ChildProcess second;
    ASSERT_TRUE(second.Start(program));
    EXPECT_TRUE(second.Wait(10000));
    EXPECT_EQ(0u, second.ExitCode());
    EXPECT_TRUE(tray.Running());

    // The close command ends the program the way the menu does: recordings cancelled, no
    // connection, no icon.
    ClearJournal();
    ::PostMessageW(dialog, WM_COMMAND, ID_TRAY_CLOSE, 0);
    ASSERT_TRUE(tray.Wait(10000));
    EXPECT_EQ(0u, tray.ExitCode());
    EXPECT_EQ(Lines{"keyboard IDeviceMode.SetMode 1"}, JournalWith("keyboard IDeviceMode.SetMode"));
    EXPECT_FALSE(LiveConnections(L"mouse"));
    EXPECT_FALSE(LiveConnections(L"keyboard"));
    EXPECT_FALSE(IconShown(dialog));

    // Its mutex went with it: the next start runs, and WM_CLOSE ends it as well.
    ASSERT_TRUE(tray.Start(program));
    dialog = tray.WaitForWindow(L"#32770", kTrayCaption);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(hvtest::WaitUntil([&] { return IconShown(dialog); }));
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(tray.Wait(10000));
    EXPECT_EQ(0u, tray.ExitCode());
    EXPECT_FALSE(IconShown(dialog));
}

// The tray program's modal loops are its menu and its About box: devices that go and come while
// either shows are looked after at once, and what the user chooses afterwards acts on the devices
// as they are then. A close asked for while the box shows ends the box, then the tray.
TEST_F(SimTest, TrayProgramRidesOutDevicesGoingAndComingWhileItsMenuOrAboutBoxShows)
{
    CInstallerKey installer;
    EXPECT_TRUE(hvtest::SetInstallerValues(InstallDir(), L"English"));
    hvtest::ChildProcess tray;
    ASSERT_TRUE(tray.Start(InstallDir() + L"\\HalvoVexaSysTray.exe"));
    const HWND dialog = tray.WaitForWindow(L"#32770", kTrayCaption);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(hvtest::WaitUntil([] { return LiveConnections(L"mouse") && LiveConnections(L"keyboard"); }));
    auto shownWindow = [&](const wchar_t* className, const wchar_t* title) {
        HWND found = nullptr;
        hvtest::WaitUntil([&] { return (found = hvtest::FindTopWindow(className, title, tray.Id(), true)) != nullptr; });
        return found;
    };
    auto active = [](const wchar_t* device) {
        const Lines lines = DumpLines(device, "active ");
        return lines.size() == 1 ? lines[0].substr(7) : std::string();
    };
    // The device goes and comes back, and the tray drops its callbacks and makes them again.
    auto goAndCome = [&](const std::vector<std::wstring>& go, const std::vector<std::wstring>& come,
                         const wchar_t* device) {
        Tool(go);
        EXPECT_TRUE(hvtest::WaitUntil([&] { return !LiveConnections(device); })) << simtest::Narrow(go[0]);
        Tool(come);
        EXPECT_TRUE(hvtest::WaitUntil([&] { return LiveConnections(device); })) << simtest::Narrow(come[0]);
    };

    // The menu, opened from the icon; the keyboard is unplugged and plugged, the mouse's removal and
    // arrival announced, while it shows.
    ::PostMessageW(dialog, WM_TRAY_NOTIFY, kTrayIconId, WM_RBUTTONUP);
    const HWND menu = shownWindow(L"#32768", nullptr);
    ASSERT_TRUE(menu);
    EXPECT_TRUE(hvtest::CaptureWindow(menu).SaveToTestDir(L"tray_menu_while_devices_change.bmp"));
    goAndCome({L"unplug", L"keyboard"}, {L"plug", L"keyboard"}, L"keyboard");
    goAndCome({L"announce", L"removal", L"0x9D17", L"0x22"}, {L"announce", L"arrival", L"0x9D17", L"0x22"}, L"mouse");
    EXPECT_TRUE(::IsWindowVisible(menu));
    // The user goes on in the menu: down to "VEXA Keyboard", into it, down to its third profile.
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN})
        ::PostMessageW(menu, WM_KEYDOWN, key, 1);
    EXPECT_TRUE(hvtest::WaitUntil([&] { return active(L"keyboard") == ProfileGuid(L"keyboard", 2); }));
    EXPECT_TRUE(
        hvtest::WaitUntil([&] { return hvtest::FindTopWindow(L"#32768", nullptr, tray.Id(), true) == nullptr; }));

    // The About box: the mouse unplugged and plugged, the keyboard's removal and arrival announced;
    // the keyboard's recording still reaches the tray while the box shows.
    ::PostMessageW(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = shownWindow(L"#32770", L"About VexaSysTray");
    ASSERT_TRUE(about);
    EXPECT_TRUE(hvtest::CaptureWindow(about).SaveToTestDir(L"tray_about_while_devices_change.bmp"));
    goAndCome({L"unplug", L"mouse"}, {L"plug", L"mouse"}, L"mouse");
    goAndCome({L"announce", L"removal", L"0x9D17", L"0x23"}, {L"announce", L"arrival", L"0x9D17", L"0x23"}, L"keyboard");
    Tool({L"otf", L"start"});
    EXPECT_TRUE(hvtest::WaitUntil([] { return DumpLines(L"keyboard", "mode ") == Lines{"mode 2"}; }));
    Tool({L"otf", L"cancel"});
    EXPECT_TRUE(hvtest::WaitUntil([] { return DumpLines(L"keyboard", "mode ") == Lines{"mode 1"}; }));
    ::PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(hvtest::WaitForWindowGone(about));
    ::PostMessageW(dialog, WM_COMMAND, kProfileCommandBase + 3, 0);
    EXPECT_TRUE(hvtest::WaitUntil([&] { return active(L"mouse") == ProfileGuid(L"mouse", 3); }));

    // Closed while the box shows and the keyboard records: the box ends, the recording is cancelled,
    // and the tray ends.
    ::PostMessageW(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    about = shownWindow(L"#32770", L"About VexaSysTray");
    ASSERT_TRUE(about);
    Tool({L"otf", L"start"});
    EXPECT_TRUE(hvtest::WaitUntil([] { return DumpLines(L"keyboard", "mode ") == Lines{"mode 2"}; }));
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(tray.Wait(10000));
    EXPECT_EQ(0u, tray.ExitCode());
    EXPECT_EQ(Lines{"mode 1"}, DumpLines(L"keyboard", "mode "));
    EXPECT_EQ(Lines{" led 7 on 0 color 0x0000FF brightness 100 effect 0 0 0 caps 111"},
              Lines{DumpLines(L"keyboard", " led 7 ").front()});
    EXPECT_FALSE(LiveConnections(L"mouse"));
    EXPECT_FALSE(LiveConnections(L"keyboard"));
}

TEST_F(SimTest, TrayIconComesBackWithTheTaskbarAndAMissingIconEndsTheTray)
{
    CInstallerKey installer;
    EXPECT_TRUE(hvtest::SetInstallerValues(InstallDir(), L"English"));
    CImportPatch patch("Shell_NotifyIconW", reinterpret_cast<void*>(&RecordNotify));
    ASSERT_TRUE(patch.IsActive());
    g_shellNotify = patch.Original<decltype(&::Shell_NotifyIconW)>();
    g_notifyCalls.clear();
    g_refuseAdd = false;

    CVexaSysTrayDlg* dialog = new CVexaSysTrayDlg;
    dialog->SetOwnerSlot(&dialog);
    ASSERT_TRUE(dialog->CreateTray());
    const HWND window = dialog->m_hWnd;
    const UINT flags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    ASSERT_EQ(2u, g_notifyCalls.size());
    EXPECT_EQ(DWORD(NIM_ADD), g_notifyCalls[0].message);
    EXPECT_EQ(DWORD(NIM_SETVERSION), g_notifyCalls[1].message);
    for (const NotifyCall& call : g_notifyCalls) {
        EXPECT_EQ(DWORD(sizeof(NOTIFYICONDATAW)), call.size);
        EXPECT_EQ(window, call.window);
        EXPECT_EQ(kTrayIconId, call.id);
    }
    EXPECT_EQ(flags, g_notifyCalls[0].flags);
    const NOTIFYICONDATAW& record = dialog->TrayIcon()->Record();
    EXPECT_EQ(WM_TRAY_NOTIFY, record.uCallbackMessage);
    EXPECT_EQ(std::wstring(L"Halvo VEXA"), record.szTip);
    EXPECT_TRUE(IconShown(window));

    // The helper window hears the shell's restart and puts the icon back.
    const HWND helper = dialog->TrayIcon()->HelperWindow();
    EXPECT_EQ(L"CTrayNotifyIcon Helper Window", hvtest::TextOf(helper));
    EXPECT_FALSE(::IsWindowVisible(helper));
    g_notifyCalls.clear();
    ::SendMessageW(helper, TaskbarCreatedMessage(), 0, 0);
    ASSERT_EQ(2u, g_notifyCalls.size());
    EXPECT_EQ(DWORD(NIM_DELETE), g_notifyCalls[0].message);
    EXPECT_EQ(DWORD(NIM_ADD), g_notifyCalls[1].message);
    EXPECT_EQ(flags, g_notifyCalls[1].flags);
    EXPECT_TRUE(IconShown(window));
    // A callback of another icon is not the tray's.
    CTrayNotifyIcon* icon = const_cast<CTrayNotifyIcon*>(dialog->TrayIcon());
    EXPECT_EQ(0, icon->OnTrayNotification(kTrayIconId + 1, WM_RBUTTONUP, POINT{10, 10}));

    // WM_CLOSE destroys the window (the dialog layer would only hide it) and takes the icon away.
    g_notifyCalls.clear();
    dialog->PostMessage(WM_CLOSE);
    hvtest::FlushMessages();
    EXPECT_EQ(nullptr, dialog);
    EXPECT_FALSE(::IsWindow(window));
    ASSERT_EQ(1u, g_notifyCalls.size());
    EXPECT_EQ(DWORD(NIM_DELETE), g_notifyCalls[0].message);

    // The shell refuses the icon: the message box, and the tray ends. Devices announced while the box
    // shows get no callbacks from a tray that is not set up.
    g_refuseAdd = true;
    CBoxAnswerer boxes;
    boxes.whileShown = [] {
        Tool({L"announce", L"removal", L"0x9D17", L"0x22"});
        Tool({L"announce", L"arrival", L"0x9D17", L"0x22"});
        Tool({L"announce", L"arrival", L"0x9D17", L"0x23"});
        hvtest::FlushMessages();
    };
    ICommonDialogs* previous = SetCommonDialogs(&boxes);
    dialog = new CVexaSysTrayDlg;
    dialog->SetOwnerSlot(&dialog);
    EXPECT_FALSE(dialog->CreateTray());
    EXPECT_EQ(nullptr, dialog);
    EXPECT_EQ(std::vector<std::wstring>{std::wstring(kTrayIconFailedText) + L":" + std::to_wstring(MB_ICONERROR | MB_OK)},
              boxes.asked);
    EXPECT_EQ(nullptr, hvtest::FindTopWindow(L"#32770", kTrayCaption, ::GetCurrentProcessId()));
    EXPECT_FALSE(LiveConnections(L"mouse"));
    EXPECT_FALSE(LiveConnections(L"keyboard"));
    {
        // The application gives up as well, and lets the next copy start.
        CVexaSysTrayApp app;
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(nullptr, app.GetMainWnd());
        app.ExitInstance();
    }
    hvtest::FlushMessages();
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, kTrayMutexName);
    EXPECT_NE(DWORD(ERROR_ALREADY_EXISTS), ::GetLastError());
    ::CloseHandle(mutex);
    SetCommonDialogs(previous);
    g_refuseAdd = false;
    // The application's ending left a quit message for this thread: take it away.
    MSG quit;
    ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(TrayPcManager, InstallDirectoryLanguageAndProcesses)
{
    CInstallerKey installer;
    CPcManager& pc = ThePcManager();
    std::wstring text;
    // One trailing backslash goes; of two, one.
    EXPECT_TRUE(hvtest::SetInstallerValues(InstallDir() + L"\\", L"German"));
    ASSERT_TRUE(pc.GetInstallDir(text));
    EXPECT_EQ(InstallDir(), text);
    ASSERT_TRUE(pc.GetLanguage(text));
    EXPECT_EQ(L"German", text);
    EXPECT_TRUE(hvtest::SetInstallerValues(InstallDir() + L"\\\\", L""));
    ASSERT_TRUE(pc.GetInstallDir(text));
    EXPECT_EQ(InstallDir() + L"\\", text);
    EXPECT_FALSE(pc.GetLanguage(text));
    // An empty or an overlong directory starts nothing.
    EXPECT_TRUE(hvtest::SetInstallerValues(L"\\", L"English"));
    EXPECT_FALSE(pc.GetInstallDir(text));
    EXPECT_FALSE(pc.LaunchConfigTool());
    EXPECT_TRUE(hvtest::SetInstallerValues(std::wstring(300, L'x'), L"English"));
    EXPECT_FALSE(pc.GetInstallDir(text));
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(pc.LaunchConfigTool());

    EndProcessesNamed(L"HalvoVexaConfig.exe");
    ForgetStarts(L"HalvoVexaConfig.exe");
    EXPECT_FALSE(pc.IsConfigToolRunning());
    EXPECT_FALSE(pc.TerminateConfigTool());
    EXPECT_TRUE(hvtest::SetInstallerValues(InstallDir() + L"\\", L"English"));
    ASSERT_TRUE(pc.LaunchConfigTool());
    ASSERT_TRUE(pc.LaunchConfigTool());
    ASSERT_TRUE(WaitForProcesses(L"HalvoVexaConfig.exe", 2));
    EXPECT_TRUE(pc.IsConfigToolRunning());
    EXPECT_TRUE(WaitForStarts(L"HalvoVexaConfig.exe", 2));
    // The program in front by the file name of a link, a full path or not, without regard to case.
    HWND front = hvtest::WaitForWindow(L"HvStandIn");
    ASSERT_TRUE(front);
    ::SetForegroundWindow(front);
    ASSERT_TRUE(hvtest::WaitUntil([&] { return ::GetForegroundWindow() == front; }, 5000));
    EXPECT_TRUE(pc.IsForegroundProgram(InstallDir() + L"\\halvovexaconfig.EXE"));
    std::wstring foreground;
    ASSERT_TRUE(pc.GetForegroundProgram(foreground));
    EXPECT_TRUE(LinkNamesProgram(L"HalvoVexaConfig.exe", foreground));
    EXPECT_TRUE(LinkNamesProgram(L"halvovexaconfig.exe", foreground));
    EXPECT_TRUE(LinkNamesProgram(L"D:/Elsewhere/HALVOVEXACONFIG.EXE", foreground));
    EXPECT_FALSE(LinkNamesProgram(L"HalvoVexaConfig", foreground));
    EXPECT_FALSE(LinkNamesProgram(L"HalvoVexaConfig.exe\\", foreground));
    EXPECT_FALSE(LinkNamesProgram(L"MyHalvoVexaConfig.exe", foreground));
    EXPECT_FALSE(LinkNamesProgram(L"", foreground));
    DWORD processId = 0;
    ::GetWindowThreadProcessId(front, &processId);
    ASSERT_TRUE(pc.GetProcessExeName(processId, text));
    EXPECT_EQ(L"HalvoVexaConfig.exe", text);
    // Ending it ends the first found only, with an exit code that does not read as running.
    const std::vector<DWORD> running = ProcessesNamed(L"HalvoVexaConfig.exe");
    ASSERT_EQ(2u, running.size());
    HANDLE first = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, running[0]);
    ASSERT_TRUE(pc.TerminateConfigTool());
    ASSERT_TRUE(WaitForProcesses(L"HalvoVexaConfig.exe", 1));
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(first, 5000));
    DWORD code = 0;
    EXPECT_TRUE(::GetExitCodeProcess(first, &code));
    EXPECT_NE(DWORD(STILL_ACTIVE), code);
    ::CloseHandle(first);
    ASSERT_TRUE(pc.TerminateConfigTool());
    EXPECT_TRUE(WaitForProcesses(L"HalvoVexaConfig.exe", 0));
    EXPECT_FALSE(pc.IsConfigToolRunning());
}

TEST(TrayDelayTimer, RecordsKeysAndExtraButtonsWithTheDelaysBetweenThem)
{
    CDelayTimer timer;
    timer.RecordRawInput(Key(0x1E, 0), 100);
    EXPECT_TRUE(timer.Events().empty());
    EXPECT_EQ(CDelayTimer::kNoDevice, timer.DeviceId());

    timer.Start(0x23, 1000);
    EXPECT_EQ(0x23, timer.DeviceId());
    timer.RecordRawInput(Key(0x1E, 0), 1100);       // no delay before the first event
    timer.RecordRawInput(Key(0x1E, 0), 1150);       // the held key repeats: not again
    timer.RecordRawInput(Key(0x1E, RI_KEY_BREAK), 1300);
    timer.RecordRawInput(Key(0x1D, RI_KEY_E0), 1310); // the right Ctrl
    // Left and right buttons, the wheel, movement and two buttons at once are not recorded.
    for (USHORT flags : {RI_MOUSE_LEFT_BUTTON_DOWN, RI_MOUSE_RIGHT_BUTTON_UP, RI_MOUSE_WHEEL, 0,
                         RI_MOUSE_MIDDLE_BUTTON_DOWN | RI_MOUSE_LEFT_BUTTON_DOWN})
        timer.RecordRawInput(Mouse(flags), 1400);
    // A pause longer than a delay can hold is held as the longest delay.
    timer.RecordRawInput(Mouse(RI_MOUSE_MIDDLE_BUTTON_DOWN), 1310 + 0x1000005);
    timer.RecordRawInput(Mouse(RI_MOUSE_BUTTON_4_UP, 0x78), 1310 + 0x1000005 + 40);
    const std::vector<MacroEventRecord> expected = {
        MacroEventRecord::Make(hvmw::kMacroKey, 0x1E, 0),
        MacroEventRecord::Delay(200),
        MacroEventRecord::Make(hvmw::kMacroKey, 0x1E, hvmw::kMacroKeyBreak),
        MacroEventRecord::Delay(10),
        MacroEventRecord::Make(hvmw::kMacroKey, 0x1D, hvmw::kMacroKeyE0),
        MacroEventRecord::Delay(0xFFFFFF),
        MacroEventRecord::Make(hvmw::kMacroMouse, RI_MOUSE_MIDDLE_BUTTON_DOWN, 0),
        MacroEventRecord::Delay(40),
        MacroEventRecord::Make(hvmw::kMacroMouse, RI_MOUSE_BUTTON_4_UP, 0x78),
    };
    ASSERT_EQ(expected.size(), timer.Events().size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].type, timer.Events()[i].type) << i;
        EXPECT_EQ(expected[i].data, timer.Events()[i].data) << i;
    }

    // Stopped, the events stay and no input is taken; cleared, nothing is left.
    timer.Stop();
    timer.RecordRawInput(Key(0x1F, 0), 99999);
    EXPECT_EQ(expected.size(), timer.Events().size());
    EXPECT_EQ(0x23, timer.DeviceId());
    timer.Clear();
    EXPECT_TRUE(timer.Events().empty());
    EXPECT_EQ(CDelayTimer::kNoDevice, timer.DeviceId());

    // A recording holds no more events than a device's macro, and never ends on a delay.
    timer.Start(0x23, 0);
    for (DWORD i = 0; i < 3000; ++i)
        timer.RecordRawInput(Key(0x1E, static_cast<USHORT>(i % 2 ? RI_KEY_BREAK : 0)), i);
    EXPECT_EQ(4095u, timer.Events().size());
    EXPECT_EQ(hvmw::kMacroKey, timer.Events().back().type);
}
