#include "StartTiming.h"

#include "Messages.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

namespace hvtest {

double NowMs()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const double end = NowMs() + timeoutMs;
    while (!done()) {
        if (NowMs() > end)
            return false;
        PumpMessages();
        Sleep(1);
    }
    return true;
}

StartedWindow StartUntilPainted(const std::wstring& program, const wchar_t* windowClass, ChildProcess& process,
                                const StartOptions& options, DWORD timeoutMs)
{
    StartedWindow started;
    std::string name;
    for (wchar_t c : program)
        name += c < 0x80 ? static_cast<char>(c) : '?';
    const double start = NowMs();
    if (!process.Start(program, {}, options)) {
        ADD_FAILURE() << "cannot start " << name << ": error " << process.LastError();
        return started;
    }
    HWND window = nullptr;
    if (!PollUntil([&] {
            window = FindTopWindow(windowClass, nullptr, process.Id(), true);
            return window != nullptr || !process.Running();
        }, timeoutMs) || !window) {
        ADD_FAILURE() << "no window of " << name << " within " << timeoutMs << " ms";
        return started;
    }
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    started.ms = NowMs() - start;
    started.window = window;
    return started;
}

std::wstring EmptyDialogProgram()
{
    return BinDir() + L"\\..\\systray-test\\tray_bench_emptydialog.exe";
}

StartedWindow StartEmptyDialog(ChildProcess& process, DWORD timeoutMs)
{
    StartOptions options;
    options.workDir = TestDir();
    return StartUntilPainted(EmptyDialogProgram(), L"#32770", process, options, timeoutMs);
}

} // namespace hvtest
