// The tray program whole and its helpers: the program started from its install directory (one copy,
// ended by its close command or WM_CLOSE, with its icon in the notification area), the icon's calls
// to the shell seen through the program's import of Shell_NotifyIconW, the registry and process
// helper against the stand-ins, and the recorder fed with made-up raw input at chosen times.
#include "SimTest.h"

#include "CommonDialogs.h"
#include "DelayTimer.h"
#include "PcManager.h"
#include "RecordingHandler.h"
#include "SysTrayRes.h"
#include "TrayTestSupport.h"
#include "VexaSysTrayApp.h"
#include "VexaSysTrayDlg.h"

#include "../platform/ImportPatch.h"

#include "HvTest.h"

using namespace simtest;
using namespace traytest;
using traytest::JournalWith;

namespace {

using Lines = std::vector<std::string>;

constexpr wchar_t kTrayCaption[] = L"HalvoVexaSysTray";

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
    int ShowMessage(HWND, const std::wstring& text, const std::wstring&, UINT type) override
    {
        asked.push_back(text + L":" + std::to_wstring(type));
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
    SetInstallerValues(InstallDir(), L"English");
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
    ::DeleteFileW(hvtest::TestFile(L"HvMwSim.journal").c_str());
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

TEST_F(SimTest, TrayIconComesBackWithTheTaskbarAndAMissingIconEndsTheTray)
{
    CInstallerKey installer;
    SetInstallerValues(InstallDir(), L"English");
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

    // The shell refuses the icon: the message box, and the tray ends.
    g_refuseAdd = true;
    CBoxAnswerer boxes;
    ICommonDialogs* previous = SetCommonDialogs(&boxes);
    dialog = new CVexaSysTrayDlg;
    dialog->SetOwnerSlot(&dialog);
    EXPECT_FALSE(dialog->CreateTray());
    EXPECT_EQ(nullptr, dialog);
    EXPECT_EQ(std::vector<std::wstring>{std::wstring(kTrayIconFailedText) + L":" + std::to_wstring(MB_ICONERROR | MB_OK)},
              boxes.asked);
    EXPECT_EQ(nullptr, hvtest::FindTopWindow(L"#32770", kTrayCaption, ::GetCurrentProcessId()));
    EXPECT_FALSE(LiveConnections(L"mouse"));
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
    SetInstallerValues(InstallDir() + L"\\", L"German");
    ASSERT_TRUE(pc.GetInstallDir(text));
    EXPECT_EQ(InstallDir(), text);
    ASSERT_TRUE(pc.GetLanguage(text));
    EXPECT_EQ(L"German", text);
    SetInstallerValues(InstallDir() + L"\\\\", L"");
    ASSERT_TRUE(pc.GetInstallDir(text));
    EXPECT_EQ(InstallDir() + L"\\", text);
    EXPECT_FALSE(pc.GetLanguage(text));
    // An empty or an overlong directory starts nothing.
    SetInstallerValues(L"\\", L"English");
    EXPECT_FALSE(pc.GetInstallDir(text));
    EXPECT_FALSE(pc.LaunchConfigTool());
    SetInstallerValues(std::wstring(300, L'x'), L"English");
    EXPECT_FALSE(pc.GetInstallDir(text));
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(pc.LaunchConfigTool());

    EndProcessesNamed(L"HalvoVexaConfig.exe");
    ForgetStarts(L"HalvoVexaConfig.exe");
    EXPECT_FALSE(pc.IsConfigToolRunning());
    EXPECT_FALSE(pc.TerminateConfigTool());
    SetInstallerValues(InstallDir() + L"\\", L"English");
    ASSERT_TRUE(pc.LaunchConfigTool());
    ASSERT_TRUE(pc.LaunchConfigTool());
    ASSERT_TRUE(WaitForProcesses(L"HalvoVexaConfig.exe", 2));
    EXPECT_TRUE(pc.IsConfigToolRunning());
    EXPECT_TRUE(WaitForStarts(L"HalvoVexaConfig.exe", 2));
    // The file name of the program in front, with regard to case.
    HWND front = hvtest::WaitForWindow(L"HvStandIn");
    ASSERT_TRUE(front);
    ::SetForegroundWindow(front);
    ASSERT_TRUE(hvtest::WaitUntil([&] { return ::GetForegroundWindow() == front; }, 5000));
    EXPECT_TRUE(pc.IsForegroundProgram(L"HalvoVexaConfig.exe"));
    EXPECT_FALSE(pc.IsForegroundProgram(L"halvovexaconfig.exe"));
    EXPECT_FALSE(pc.IsForegroundProgram(L"HalvoVexaConfig"));
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
