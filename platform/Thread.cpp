#include "platform/Thread.h"

#include <process.h>

DWORD WaitDispatchingSent(HANDLE handle, DWORD ms)
{
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        DWORD remaining = INFINITE;
        if (ms != INFINITE) {
            const ULONGLONG elapsed = ::GetTickCount64() - start;
            remaining = elapsed >= ms ? 0 : static_cast<DWORD>(ms - elapsed);
        }
        // Also a message that arrived before this call, or that a status query has marked seen.
        const DWORD result = ::MsgWaitForMultipleObjectsEx(1, &handle, remaining, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result != WAIT_OBJECT_0 + 1)
            return result;
        // Only a peek dispatches what other threads sent; with these flags it removes nothing.
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

CThread::~CThread()
{
    // An owner that cares waits itself; a thread still running here would outlive its body.
    JoinDispatchingSent(INFINITE);
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

bool CThread::JoinDispatchingSent(DWORD ms)
{
    return !m_thread || WaitDispatchingSent(m_thread.Get(), ms) == WAIT_OBJECT_0;
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
