#include "VexaApp/DeviceWait.h"

namespace {

// How often the wait asks again when nothing wakes it.
constexpr DWORD kPollMs = 20;
// Paint messages served per round: a window that never validates must not hold the wait.
constexpr int kPaintsPerRound = 64;

thread_local int t_waits = 0;

class CWaitMark
{
public:
    CWaitMark() { ++t_waits; }
    ~CWaitMark() { --t_waits; }
    CWaitMark(const CWaitMark&) = delete;
    CWaitMark& operator=(const CWaitMark&) = delete;
};

void ServePaintAndSent()
{
    MSG msg;
    // Peeking with the sent-message filter runs the handlers of messages sent from other threads.
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    for (int i = 0; i < kPaintsPerRound && ::PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
        ::DispatchMessageW(&msg);
}

} // namespace

void WaitWhileBusy(HWND window, const std::function<bool()>& busy)
{
    if (!busy())
        return;
    const CWaitMark mark;
    const bool disable = window && ::IsWindowEnabled(window);
    if (disable)
        ::EnableWindow(window, FALSE);
    while (busy()) {
        ::MsgWaitForMultipleObjectsEx(0, nullptr, kPollMs, QS_SENDMESSAGE | QS_PAINT, 0);
        ServePaintAndSent();
    }
    if (disable)
        ::EnableWindow(window, TRUE);
}

bool DeviceWaitRunning()
{
    return t_waits > 0;
}
