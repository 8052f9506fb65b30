// Locks: a critical section, a named mutex shared between processes, and a scoped holder.
#pragma once

#include <atomic>
#include "platform/Handles.h"

class CCriticalSection
{
public:
    CCriticalSection() noexcept { ::InitializeCriticalSection(&m_cs); }
    ~CCriticalSection() { ::DeleteCriticalSection(&m_cs); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Lock() noexcept { ::EnterCriticalSection(&m_cs); }
    void Unlock() noexcept { ::LeaveCriticalSection(&m_cs); }
    bool TryLock() noexcept { return ::TryEnterCriticalSection(&m_cs) != FALSE; }

private:
    CRITICAL_SECTION m_cs;
};

// A named mutex. Mutexes belong to threads: the object counts the holds the thread holding it took
// through this object and releases only those, so that a release never gives up a hold taken
// elsewhere (through another object of the same name, or by a Lock whose wait failed).
class CNamedMutex
{
public:
    CNamedMutex() noexcept = default;
    ~CNamedMutex() { Close(); }
    CNamedMutex(const CNamedMutex&) = delete;
    CNamedMutex& operator=(const CNamedMutex&) = delete;

    // Opens the mutex of that name, creating it if needed. alreadyExisted tells which.
    bool Create(const wchar_t* name, bool* alreadyExisted = nullptr) noexcept
    {
        Close();
        m_mutex.Reset(::CreateMutexW(nullptr, FALSE, name));
        if (alreadyExisted)
            *alreadyExisted = ::GetLastError() == ERROR_ALREADY_EXISTS;
        return static_cast<bool>(m_mutex);
    }
    // True when the mutex is now held (an abandoned mutex is held too).
    bool Wait(DWORD ms) noexcept
    {
        if (!m_mutex)
            return false;
        DWORD r = ::WaitForSingleObject(m_mutex.Get(), ms);
        if (r != WAIT_OBJECT_0 && r != WAIT_ABANDONED)
            return false;
        m_owner = ::GetCurrentThreadId();  // only the holding thread writes either field
        ++m_holds;
        return true;
    }
    // Gives up one hold this thread took through this object; nothing when it holds none.
    void Release() noexcept
    {
        if (!m_mutex || m_owner != ::GetCurrentThreadId() || m_holds == 0)
            return;
        if (--m_holds == 0)
            m_owner = 0;
        ::ReleaseMutex(m_mutex.Get());
    }
    // True when this thread holds the mutex through this object.
    bool IsHeld() const noexcept { return m_owner == ::GetCurrentThreadId() && m_holds > 0; }
    // Gives up this thread's holds, then closes the handle.
    void Close() noexcept
    {
        while (IsHeld())
            Release();
        m_mutex.Reset();
    }
    HANDLE Handle() const noexcept { return m_mutex.Get(); }

    // CScopedLock support: waits without limit. A failed infinite wait means a broken mutex (never
    // opened, or its handle no longer valid): Lock then returns without holding it (IsHeld is
    // false) and the matching Unlock releases nothing.
    void Lock() noexcept { Wait(INFINITE); }
    void Unlock() noexcept { Release(); }

private:
    CKernelHandle m_mutex;
    std::atomic<DWORD> m_owner{0};  // the thread holding the mutex through this object, or 0
    unsigned m_holds = 0;           // how often it took it (a mutex may be taken again by its holder)
};

template <class L>
class CScopedLock
{
public:
    explicit CScopedLock(L& lock) noexcept : m_lock(lock) { m_lock.Lock(); }
    ~CScopedLock() { m_lock.Unlock(); }
    CScopedLock(const CScopedLock&) = delete;
    CScopedLock& operator=(const CScopedLock&) = delete;

private:
    L& m_lock;
};
