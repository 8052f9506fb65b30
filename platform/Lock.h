// Locks: a critical section, a named mutex shared between processes, and a scoped holder.
#pragma once

#include "Handles.h"

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

class CNamedMutex
{
public:
    // Opens the mutex of that name, creating it if needed. alreadyExisted tells which.
    bool Create(const wchar_t* name, bool* alreadyExisted = nullptr) noexcept
    {
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
        return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
    }
    void Release() noexcept
    {
        if (m_mutex)
            ::ReleaseMutex(m_mutex.Get());
    }
    void Close() noexcept { m_mutex.Reset(); }
    HANDLE Handle() const noexcept { return m_mutex.Get(); }

    // CScopedLock support: waits without limit.
    void Lock() noexcept { Wait(INFINITE); }
    void Unlock() noexcept { Release(); }

private:
    CKernelHandle m_mutex;
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
