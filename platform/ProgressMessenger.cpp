#include "platform/ProgressMessenger.h"

#include <algorithm>
#include <memory>

#include "platform/Thread.h"

namespace {

// Waits for the mutex; WAIT_OBJECT_0 once it is owned, WAIT_ABANDONED_0, WAIT_TIMEOUT or WAIT_FAILED
// else; a negative timeout waits without limit.
//
// The holder may be inside SendMessage to a window of the waiting thread (a write worker sending
// progress to the user-interface thread while that thread adds a listener or deletes the
// messenger): the wait therefore dispatches the messages sent to this thread, or both threads
// would stall until the time-out. Posted and input messages stay queued.
DWORD WaitForMutex(HANDLE mutex, int32_t timeout)
{
    return WaitDispatchingSent(mutex, timeout < 0 ? INFINITE : static_cast<DWORD>(timeout));
}

} // namespace

// Holds the messenger's mutex for one step; throws when it is not obtained within the time-out.
class CProgressMessenger::CMutexHold
{
public:
    CMutexHold(HANDLE mutex, int32_t timeout) : m_mutex(mutex)
    {
        const DWORD result = WaitForMutex(m_mutex, timeout);
        if (result == WAIT_OBJECT_0)
            return;
        // An abandoned mutex is owned now but guards state of unknown shape: give it back.
        if (result == WAIT_ABANDONED_0)
            ::ReleaseMutex(m_mutex);
        throw CWaitingLockException();
    }
    ~CMutexHold() { ::ReleaseMutex(m_mutex); }
    CMutexHold(const CMutexHold&) = delete;
    CMutexHold& operator=(const CMutexHold&) = delete;

private:
    HANDLE m_mutex;
};

namespace {

// Runs a step inside the optional caller's lock.
class COptionalLock
{
public:
    explicit COptionalLock(CCriticalSection* lock) noexcept : m_lock(lock)
    {
        if (m_lock)
            m_lock->Lock();
    }
    ~COptionalLock()
    {
        if (m_lock)
            m_lock->Unlock();
    }
    COptionalLock(const COptionalLock&) = delete;
    COptionalLock& operator=(const COptionalLock&) = delete;

private:
    CCriticalSection* m_lock;
};

std::vector<CProgressMessenger*>& Registry()
{
    static std::vector<CProgressMessenger*> registry;
    return registry;
}

CProgressMessenger* g_currentSource = nullptr;
HWND g_progressWindow = nullptr;

} // namespace

CProgressMessenger::CProgressMessenger() : m_mutex(::CreateMutexW(nullptr, FALSE, nullptr))
{
}

CProgressMessenger::~CProgressMessenger()
{
    if (!m_mutex)
        return;
    const DWORD result = WaitForMutex(m_mutex.Get(), m_timeout);
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED_0) {
        // Closed while this thread owns it: a thread still queued for it never obtains it and ends
        // its wait with the time-out, without touching this object.
        m_mutex.Reset();
        return;
    }
    // Still held after the time-out: the holder releases the mutex later through the handle it
    // took, so the handle stays open (one handle given up rather than a closed one released).
    m_mutex.Detach();
}

void CProgressMessenger::AddListener(HWND window, CCriticalSection* lock)
{
    CMutexHold hold(m_mutex.Get(), m_timeout);
    COptionalLock optional(lock);
    if (std::find(m_listeners.begin(), m_listeners.end(), window) == m_listeners.end())
        m_listeners.push_back(window);
}

void CProgressMessenger::RemoveListener(HWND window, CCriticalSection* lock)
{
    CMutexHold hold(m_mutex.Get(), m_timeout);
    COptionalLock optional(lock);
    auto it = std::find(m_listeners.begin(), m_listeners.end(), window);
    if (it != m_listeners.end())
        m_listeners.erase(it);
}

void CProgressMessenger::Send(UINT message, LPARAM lParam, CCriticalSection* lock)
{
    CMutexHold hold(m_mutex.Get(), m_timeout);
    // A listener may add or remove listeners from its handler (the mutex is re-entrant for this
    // thread), so walk a copy. Once sending, nothing of the messenger is touched any more: a
    // destructor that gave up waiting for this send may have run meanwhile.
    const std::vector<HWND> listeners = m_listeners;
    for (HWND window : listeners) {
        COptionalLock optional(lock);
        if (::IsWindow(window))
            ::SendMessageW(window, message, reinterpret_cast<WPARAM>(this), lParam);
    }
}

void CProgressMessenger::SendPercent(int percent, CCriticalSection* lock)
{
    Send(WM_PROGRESS_PERCENT, static_cast<LPARAM>(percent), lock);
}

void CProgressMessenger::SendText(const wchar_t* text, CCriticalSection* lock)
{
    Send(WM_PROGRESS_TEXT, reinterpret_cast<LPARAM>(text ? text : L""), lock);
}

void CProgressMessenger::SetLoadingText(CCriticalSection* lock)
{
    COptionalLock optional(lock);
    m_text = L"Loading UI components ...";
}

std::vector<HWND> CProgressMessenger::Listeners() const
{
    CMutexHold hold(m_mutex.Get(), m_timeout);
    return m_listeners;
}

void RegisterMessenger(CProgressMessenger* messenger, CCriticalSection* lock)
{
    if (!messenger)
        return;
    COptionalLock optional(lock);
    std::vector<CProgressMessenger*>& registry = Registry();
    if (std::find(registry.begin(), registry.end(), messenger) != registry.end())
        return;
    messenger->SetLoadingText(lock);
    registry.push_back(messenger);
}

void UnregisterMessenger(CProgressMessenger* messenger, CCriticalSection* lock)
{
    COptionalLock optional(lock);
    std::vector<CProgressMessenger*>& registry = Registry();
    auto it = std::find(registry.begin(), registry.end(), messenger);
    if (it != registry.end())
        registry.erase(it);
}

bool IsMessengerRegistered(const CProgressMessenger* messenger)
{
    const std::vector<CProgressMessenger*>& registry = Registry();
    return std::find(registry.begin(), registry.end(), messenger) != registry.end();
}

size_t RegisteredMessengerCount()
{
    return Registry().size();
}

CProgressMessenger* CurrentProgressSource()
{
    return g_currentSource;
}

void SetCurrentProgressSource(CProgressMessenger* messenger)
{
    g_currentSource = messenger;
}

HWND LoaderProgressWindow()
{
    return g_progressWindow;
}

void SetLoaderProgressWindow(HWND window)
{
    g_progressWindow = window;
}

void AttachLoaderProgress()
{
    CProgressMessenger* messenger = g_currentSource;
    if (!messenger)
        return;
    CCritSec lock;
    RegisterMessenger(messenger, &lock);
    if (g_progressWindow)
        messenger->AddListener(g_progressWindow, &lock);
}

void DetachLoaderProgress()
{
    CProgressMessenger* messenger = g_currentSource;
    if (!messenger)
        return;
    CCritSec lock;
    // Unregistered first: the registry must not keep a messenger that is about to be deleted, even
    // when its mutex can no longer be had.
    UnregisterMessenger(messenger, &lock);
    if (g_progressWindow)
        messenger->RemoveListener(g_progressWindow, &lock);
}
