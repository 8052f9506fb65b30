#include "Thread.h"

#include <process.h>

CThread::~CThread()
{
    // An owner that cares waits itself; a thread still running here would outlive its body.
    Join(INFINITE);
}

bool CThread::Start(std::function<unsigned()> body)
{
    if (IsRunning())
        return false;
    m_body = std::move(body);
    unsigned id = 0;
    m_thread.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &CThread::Entry, this, 0, &id)));
    return static_cast<bool>(m_thread);
}

unsigned __stdcall CThread::Entry(void* self)
{
    try {
        return static_cast<CThread*>(self)->m_body();
    } catch (...) {
        return 0xFFFFFFFFu;
    }
}

bool CThread::Join(DWORD ms)
{
    if (!m_thread)
        return true;
    return ::WaitForSingleObject(m_thread.Get(), ms) == WAIT_OBJECT_0;
}

bool CThread::JoinPumping(DWORD ms)
{
    if (!m_thread)
        return true;
    const DWORD start = ::GetTickCount();
    DWORD wake = QS_ALLINPUT;
    for (;;) {
        DWORD elapsed = ::GetTickCount() - start;
        if (ms != INFINITE && elapsed >= ms)
            return ::WaitForSingleObject(m_thread.Get(), 0) == WAIT_OBJECT_0;
        DWORD wait = ms == INFINITE ? INFINITE : ms - elapsed;
        HANDLE h = m_thread.Get();
        DWORD r = ::MsgWaitForMultipleObjects(1, &h, FALSE, wait, wake);
        if (r == WAIT_OBJECT_0)
            return true;
        if (r != WAIT_OBJECT_0 + 1)
            return ::WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
        MSG msg;
        while (wake == QS_ALLINPUT && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Leave the quit for the loop that owns it; from now on only sent messages run.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                wake = QS_SENDMESSAGE;
                break;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (wake == QS_SENDMESSAGE)
            ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

bool CThread::IsRunning() const
{
    return m_thread && ::WaitForSingleObject(m_thread.Get(), 0) == WAIT_TIMEOUT;
}

DWORD CThread::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_thread)
        ::GetExitCodeThread(m_thread.Get(), &code);
    return code;
}
