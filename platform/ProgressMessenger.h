// Progress reports of long operations (a device write, the loading of a layout file): a percentage
// and a text, sent synchronously to every window registered as a listener.
//
// Device objects and the layout loader derive from CProgressMessenger. The listener list and every
// send are guarded by one mutex that is waited for at most timeout milliseconds; when it cannot be
// had, the operation throws CWaitingLockException and changes and sends nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "platform/Lock.h"

// wParam: the sending CProgressMessenger*; lParam: the percent, 0 to 100.
constexpr UINT WM_PROGRESS_PERCENT = WM_USER + 30;
// wParam: the sending CProgressMessenger*; lParam: const wchar_t*, valid during the call only.
constexpr UINT WM_PROGRESS_TEXT = WM_USER + 31;

// Thrown when a messenger's mutex is not obtained in time (time-out, abandoned, failure).
class CWaitingLockException
{
public:
    const wchar_t* Text() const noexcept { return L"Waiting Lock Exception\n"; }
};

// A critical section held from construction to destruction. Each caller makes its own, so it
// orders nothing between threads; it only satisfies operations that take an optional lock.
class CCritSec : public CCriticalSection
{
public:
    CCritSec() noexcept { Lock(); }
    ~CCritSec() { Unlock(); }
};

class CProgressMessenger
{
public:
    CProgressMessenger();
    // A listener has the messenger (the messages' wParam) and may be inside one of its operations
    // on a thread of its own, holding the mutex (a send from a worker waiting for a window) when the
    // owner deletes it. The destructor therefore first waits until no other thread holds the mutex,
    // at most the time-out and dispatching the messages sent to this thread meanwhile (the holder
    // may be sending to one of its windows), and closes the mutex while owning it, so that a thread
    // still queued for it is refused at its own time-out instead of entering a deleted messenger.
    // When the holder keeps the mutex past the time-out, the mutex is left open for the holder to
    // release. No operation may be started once the destructor has begun, and a messenger must not
    // be deleted from inside one of its own operations on the deleting thread.
    virtual ~CProgressMessenger();
    CProgressMessenger(const CProgressMessenger&) = delete;
    CProgressMessenger& operator=(const CProgressMessenger&) = delete;

    // Every operation takes an optional lock; when given, the step that touches the list, or each
    // single send, also runs inside it (without time-out).

    // Appends the window unless it is already a listener.
    void AddListener(HWND window, CCriticalSection* lock = nullptr);
    // Removes the first entry equal to the window, if any.
    void RemoveListener(HWND window, CCriticalSection* lock = nullptr);
    // Sends WM_PROGRESS_PERCENT / WM_PROGRESS_TEXT to every listener in the order added. A listener
    // window that no longer exists is skipped.
    void SendPercent(int percent, CCriticalSection* lock = nullptr);
    void SendText(const wchar_t* text, CCriticalSection* lock = nullptr);
    // Sets the current text to "Loading UI components ...".
    void SetLoadingText(CCriticalSection* lock = nullptr);

    const std::wstring& Text() const { return m_text; }
    std::vector<HWND> Listeners() const;
    // Milliseconds to wait for the mutex; 5000 unless changed.
    void SetTimeout(int32_t ms) { m_timeout = ms; }
    int32_t Timeout() const { return m_timeout; }

private:
    class CMutexHold;
    void Send(UINT message, LPARAM lParam, CCriticalSection* lock);

    std::vector<HWND> m_listeners;
    std::wstring m_text;
    CKernelHandle m_mutex;
    int32_t m_timeout = 5000;
};

// The process-wide registry of messengers. Registering sets the messenger's loading text once;
// registering twice or a null messenger does nothing.
void RegisterMessenger(CProgressMessenger* messenger, CCriticalSection* lock = nullptr);
void UnregisterMessenger(CProgressMessenger* messenger, CCriticalSection* lock = nullptr);
bool IsMessengerRegistered(const CProgressMessenger* messenger);
size_t RegisteredMessengerCount();

// The messenger of the layout load that reports progress right now, or null. Set by the layout
// loader for the duration of a load with progress.
CProgressMessenger* CurrentProgressSource();
void SetCurrentProgressSource(CProgressMessenger* messenger);

// The window that shows layout loading progress (none unless a program sets one).
HWND LoaderProgressWindow();
void SetLoaderProgressWindow(HWND window);

// Called by the layout loader around a load with progress: registers the current progress source
// and makes the progress window its listener; Detach undoes both. Nothing happens while no progress
// source is set.
void AttachLoaderProgress();
void DetachLoaderProgress();
