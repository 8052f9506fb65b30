// A thread owned by the object that started it: the owner joins it, the thread never clears it.
// Also the one way this code base waits on a thread's behalf while windows live on it.
#pragma once

#include "platform/Handles.h"
#include <functional>

// Waits up to ms (INFINITE: without limit) for handle, dispatching meanwhile only the messages
// other threads send to this thread: a worker inside SendMessage to one of its windows would
// otherwise stall the wait. Posted and input messages stay queued for the loop that owns them, so
// no timer, click or posted notice runs a handler here; sent messages still do, so the caller must
// be ready for their handlers. Returns WAIT_OBJECT_0, WAIT_ABANDONED_0, WAIT_TIMEOUT or WAIT_FAILED.
DWORD WaitDispatchingSent(HANDLE handle, DWORD ms);

class CThread
{
public:
    CThread() = default;
    // Waits for a thread still running, as JoinDispatchingSent(INFINITE): a thread sending to a
    // window of the destroying thread still ends.
    ~CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    // Starts body on a new thread; false when a thread still runs or cannot be created.
    // No exception leaves the thread: one thrown by body ends it with exit code 0xFFFFFFFF.
    bool Start(std::function<unsigned()> body);
    // Waits up to ms for the thread to end; true when it has ended (or none was started).
    bool Join(DWORD ms);
    // As Join, but serves the messages sent to this thread meanwhile (see WaitDispatchingSent), so
    // that a thread sending to a window of the waiting thread still ends.
    bool JoinDispatchingSent(DWORD ms);
    bool IsRunning() const;
    HANDLE Handle() const { return m_thread.Get(); }
    DWORD ExitCode() const;

private:
    static unsigned __stdcall Entry(void* self);

    CKernelHandle m_thread;
    std::function<unsigned()> m_body;
};
