// Start-up figures of programs (the benchmarks, not ctest): a start timed from the process start to
// its window shown and painted, and the yardstick every program's start-up is set against, the empty
// dialog program timed the same way.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "ChildProcess.h"
#include "TestWindows.h"

namespace hvtest {

// Milliseconds from an arbitrary origin, to the performance counter's resolution.
double NowMs();
// A tight wait (1 ms steps, pumping this thread's messages) for timed figures; the harness's own
// waits step in tens of ms. False when done is still false after timeoutMs.
bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs);

struct StartedWindow
{
    double ms = 0;         // from before the process start to the window painted
    HWND window = nullptr; // null (and a test failure) when none came
};

// Starts program in process, waits until a visible top-level window of windowClass is its own, then
// has that window paint everything due before the clock stops: a start is over when it can be seen.
StartedWindow StartUntilPainted(const std::wstring& program, const wchar_t* windowClass, ChildProcess& process,
                                const StartOptions& options = {}, DWORD timeoutMs = SlowTimeoutMs);

// The empty dialog program (tray_bench_emptydialog, in the tray's test install directory): a dialog
// of the window layer and nothing else.
std::wstring EmptyDialogProgram();
// The baseline of start-up figures: the empty dialog program started until its dialog is painted,
// measured as StartUntilPainted measures the programs set against it. The process keeps running for
// the caller's further figures; its dialog closes without ending it, so end it with Terminate().
StartedWindow StartEmptyDialog(ChildProcess& process, DWORD timeoutMs = SlowTimeoutMs);

} // namespace hvtest
