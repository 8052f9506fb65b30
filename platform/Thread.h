// A thread owned by the object that started it: the owner joins it, the thread never clears it.
#pragma once

#include "Handles.h"
#include <functional>

class CThread
{
public:
    CThread() = default;
    ~CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    // Starts body on a new thread; false when a thread still runs or cannot be created.
    // No exception leaves the thread: one thrown by body ends it with exit code 0xFFFFFFFF.
    bool Start(std::function<unsigned()> body);
    // Waits up to ms for the thread to end; true when it has ended (or none was started).
    bool Join(DWORD ms);
    // As Join, but dispatches messages meanwhile so that a SendMessage from the thread cannot
    // deadlock a waiting window thread.
    // Window handlers of this thread may run re-entrantly meanwhile: meant only for waiting on a worker.
    bool JoinPumping(DWORD ms);
    bool IsRunning() const;
    HANDLE Handle() const { return m_thread.Get(); }
    DWORD ExitCode() const;

private:
    static unsigned __stdcall Entry(void* self);

    CKernelHandle m_thread;
    std::function<unsigned()> m_body;
};
