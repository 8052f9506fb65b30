// Figures of the tray program under Wine against the simulator (run by scripts/bench-tray.sh, not by
// ctest): each the median of 20 events, with the fastest and the slowest.
//   start-up   the program started until its icon is in the notification area, beside the empty
//              dialog program's start-up (hvtest::StartEmptyDialog, the configuration program's
//              yardstick too)
//   displays   "mwsim dpi <stage>" and "mwsim profile" until the display window is shown and painted,
//              beside a control-tool run that does nothing
//   menu       the menu built and shown with 20 profiles per device (to its first popup message, and
//              to the menu loop going idle)
//   timer      one tick of the automatic switch, with the number of processes running
//   recording  "mwsim otf assign" until the macro of a 200-key recording is in the device
#include "SimTest.h"

#include "SysTray/DeviceManager.h"
#include "SysTray/SysTrayRes.h"
#include "TrayTestSupport.h"
#include "SysTray/VexaSysTrayDlg.h"

#include "HvTest.h"
#include "StartTiming.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kEvents = 20;
constexpr wchar_t kCaption[] = L"HalvoVexaSysTray";

using hvtest::NowMs;

void Report(const char* figure, std::vector<double> samples, const std::string& note = std::string())
{
    if (samples.empty()) {
        std::printf("%-46s no samples\n", figure);
        return;
    }
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    std::printf("%-46s median %8.1f ms  (min %.1f, max %.1f, n %zu)%s%s\n", figure, median, samples.front(),
                samples.back(), n, note.empty() ? "" : "  ", note.c_str());
    std::fflush(stdout);
}

// Polls until done, at most until timeoutMs after start; the time it became true, or a negative number.
double PollUntil(const std::function<bool()>& done, double start, DWORD timeoutMs = hvtest::DefaultTimeoutMs)
{
    const double left = start + timeoutMs - NowMs();
    if (left <= 0)
        return -1;
    double doneAt = -1;
    hvtest::PollUntil([&] {
        if (!done())
            return false;
        doneAt = NowMs();
        return true;
    }, static_cast<DWORD>(left));
    return doneAt;
}

HWND TopWindowOf(DWORD processId, const wchar_t* className, const wchar_t* title)
{
    return hvtest::FindTopWindow(className, title, processId, false);
}

void BenchStartUp()
{
    const std::wstring tray = traytest::InstallDir() + L"\\HalvoVexaSysTray.exe";
    std::vector<double> trayTimes, emptyTimes;
    for (int i = 0; i < kEvents; ++i) {
        hvtest::ChildProcess process;
        const double start = NowMs();
        if (!process.Start(tray))
            break;
        HWND dialog = nullptr;
        const double shown = PollUntil([&] {
            if (!dialog)
                dialog = TopWindowOf(process.Id(), L"#32770", kCaption);
            return dialog && traytest::IconShown(dialog);
        }, start);
        if (shown > 0)
            trayTimes.push_back(shown - start);
        if (dialog)
            ::PostMessageW(dialog, WM_COMMAND, ID_TRAY_CLOSE, 0);
        process.Wait(10000);

        hvtest::ChildProcess other;
        const hvtest::StartedWindow painted = hvtest::StartEmptyDialog(other, 10000);
        if (painted.window)
            emptyTimes.push_back(painted.ms);
        other.Terminate();
    }
    Report("tray start-up to icon added", trayTimes);
    Report("empty dialog program start-up to painted", emptyTimes);
}

void BenchDisplays()
{
    const std::wstring program = traytest::InstallDir() + L"\\HalvoVexaSysTray.exe";
    hvtest::ChildProcess tray;
    if (!tray.Start(program))
        return;
    HWND dialog = nullptr, slider = nullptr, text = nullptr;
    PollUntil([&] {
        dialog = TopWindowOf(tray.Id(), L"#32770", kCaption);
        slider = TopWindowOf(tray.Id(), L"csl_osdslider", nullptr);
        text = TopWindowOf(tray.Id(), L"csl_osd", nullptr);
        return dialog && slider && text && traytest::IconShown(dialog);
    }, NowMs());
    // The tray's connections are made by the time its icon shows.
    const auto painted = [](HWND window) { return ::IsWindowVisible(window) && !::GetUpdateRect(window, nullptr, FALSE); };
    const auto hidden = [](HWND window) {
        return hvtest::WaitUntil([&] { return !::IsWindowVisible(window); }, 5000);
    };
    std::vector<double> tool, dpi, profile;
    for (int i = 0; i < kEvents; ++i) {
        const double start = NowMs();
        simtest::Tool({L"path"});
        tool.push_back(NowMs() - start);
    }
    // Each profile keeps its own stage: the stages alternate within one profile, and the profiles
    // alternate after that.
    const auto measure = [&](std::vector<double>& samples, HWND window, const std::vector<std::wstring>& args) {
        hidden(window);
        const double start = NowMs();
        simtest::Tool(args);
        const double done = PollUntil([&] { return painted(window); }, start, 5000);
        if (done > 0)
            samples.push_back(done - start);
    };
    for (int i = 0; i < kEvents; ++i)
        measure(dpi, slider, {L"dpi", i % 2 ? L"2" : L"4"});
    for (int i = 0; i < kEvents; ++i)
        measure(profile, text, {L"profile", L"mouse", i % 2 ? L"1" : L"2"});
    ::PostMessageW(dialog, WM_COMMAND, ID_TRAY_CLOSE, 0);
    tray.Wait(10000);
    Report("control tool run doing nothing (baseline)", tool);
    Report("mwsim dpi to the slider display painted", dpi);
    Report("mwsim profile to the text display painted", profile);
}

// The menu loop of this thread: when its first popup is initialised and when it goes idle (shown).
double g_initAt = 0, g_idleAt = 0;
LRESULT CALLBACK WatchMenu(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_INITMENUPOPUP && g_initAt == 0)
        g_initAt = NowMs();
    if (code == HC_ACTION && message->message == WM_ENTERIDLE && message->wParam == MSGF_MENU && g_idleAt == 0) {
        g_idleAt = NowMs();
        ::EndMenu();
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void FillProfiles(DWORD productId)
{
    CComPtr<IDeviceEnumerator> root;
    if (FAILED(::CoCreateInstance(CLSID_HvMwApi, nullptr, HVMW_CLSCTX, IID_PPV_ARGS(root.Put()))))
        return;
    for (int d = 0;; ++d) {
        CComPtr<IDevice> device;
        if (FAILED(root->EnumDevice(d, device.Put())))
            return;
        DeviceInfo info{};
        if (FAILED(device->GetDeviceInfo(&info)))
            continue;
        ::CoTaskMemFree(info.name);
        if (info.productId != productId)
            continue;
        CComPtr<IProfileManager> profiles;
        if (FAILED(device->GetFeature(__uuidof(IProfileManager), profiles.PutVoid())))
            return;
        for (;;) {
            CComPtr<IProfile> made;
            if (FAILED(profiles->AddProfile(made.Put())))
                return;
        }
    }
}

int CountProcesses()
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry))
        ++count;
    ::CloseHandle(snapshot);
    return count;
}

size_t MacroCount(DWORD productId)
{
    CDeviceManager manager;
    CScopedDevice device(manager, productId);
    std::wstring name;
    device->GetNewMacroName(name);
    return name.empty() ? 0 : static_cast<size_t>(std::wcstoul(name.c_str() + 9, nullptr, 10));
}

void BenchInProcess()
{
    FillProfiles(hvmw::kProductMouse);
    FillProfiles(hvmw::kProductKeyboard);
    CVexaSysTrayDlg* dialog = new CVexaSysTrayDlg;
    dialog->SetOwnerSlot(&dialog);
    if (!dialog->CreateTray())
        return;
    hvtest::FlushMessages();

    std::vector<double> built, shown;
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, WatchMenu, nullptr, ::GetCurrentThreadId());
    for (int i = 0; i < kEvents; ++i) {
        g_initAt = g_idleAt = 0;
        const double start = NowMs();
        dialog->SendMessage(WM_TRAY_NOTIFY, kTrayIconId, WM_RBUTTONUP);
        if (g_initAt > 0)
            built.push_back(g_initAt - start);
        if (g_idleAt > 0)
            shown.push_back(g_idleAt - start);
        hvtest::FlushMessages();
    }
    ::UnhookWindowsHookEx(hook);
    const std::vector<std::string> lines = traytest::MenuLines(dialog->TrayIcon()->Menu().GetSubMenu(0).GetSubMenu(2));
    Report("menu built, to its popup (20 profiles each)", built, std::to_string(lines.size()) + " mouse entries");
    Report("menu built and shown, to its loop idle", shown);

    std::vector<double> ticks;
    for (int i = 0; i < kEvents; ++i) {
        const double start = NowMs();
        dialog->SendMessage(WM_TIMER, TIMER_AUTO_SWITCH);
        ticks.push_back(NowMs() - start);
    }
    Report("one tick of the automatic switch", ticks, std::to_string(CountProcesses()) + " processes running");

    // Each round: a recording of 200 key presses, then the key assigned.
    hvtest::ScopedWindow front(hvtest::CreateTestWindow(200, 120, 40, 40, L"bench front"));
    std::vector<double> assigned;
    size_t events = 0;
    for (int i = 0; i < kEvents; ++i) {
        if (i > 0 && i % 16 == 0)
            simtest::Tool({L"reset", L"keyboard"}); // the device holds at most 64 macros
        simtest::Tool({L"otf", L"start"});
        hvtest::PrepareTarget(front);
        std::vector<INPUT> keys;
        for (int k = 0; k < 200; ++k)
            for (bool up : {false, true}) {
                INPUT in{};
                in.type = INPUT_KEYBOARD;
                in.ki.wVk = static_cast<WORD>('A' + k % 26);
                in.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(in.ki.wVk, MAPVK_VK_TO_VSC));
                in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
                keys.push_back(in);
            }
        ::SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
        hvtest::FlushMessages(100, 5000);
        simtest::Tool({L"otf", L"end"});
        const size_t before = MacroCount(hvmw::kProductKeyboard);
        const double start = NowMs();
        simtest::Tool({L"otf", L"assign", L"0x1E"});
        const double done = PollUntil([&] { return MacroCount(hvmw::kProductKeyboard) > before; }, start);
        if (done > 0)
            assigned.push_back(done - start);
        const std::vector<std::string> last = simtest::DumpLines(L"keyboard", " events ");
        if (!last.empty())
            events = std::strtoul(last.back().c_str() + 8, nullptr, 10);
    }
    Report("otf assign to the macro in the device", assigned, "last macro " + std::to_string(events) + " events");
    if (dialog)
        dialog->DestroyWindow();
}

} // namespace

int main()
{
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    if (!traytest::LayOutInstall()) {
        std::fprintf(stderr, "the tray's install directory could not be laid out in %ls\n",
                     traytest::InstallDir().c_str());
        return 1;
    }
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ::DeleteFileW(hvtest::TestFile(L"HvMwSim.state").c_str());
    traytest::CInstallerKey installer;
    if (!hvtest::SetInstallerValues(traytest::InstallDir(), L"English"))
        std::printf("the installer's values could not be written\n");
    std::printf("tray figures, median of %d events each\n", kEvents);
    BenchStartUp();
    BenchDisplays();
    BenchInProcess();
    ::CoUninitialize();
    return 0;
}
