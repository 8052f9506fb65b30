// The progress messenger's lock when its holder is inside SendMessage to the waiting thread: the
// wait serves the messages sent to it, so that a write worker sending progress to the
// user-interface thread never stalls that thread's AddListener, and the time-out still holds.
// Deleting a messenger whose lock another thread holds waits for that thread the same way.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "model/CodeTables.h"
#include "DevicesFixture.h"
#include "platform/Handles.h"
#include "model/Mouse.h"
#include "model/MouseConfig.h"
#include "platform/ProgressMessenger.h"
#include "platform/Thread.h"
#include "platform/WStr.h"

using namespace devtest;

namespace {

// A window on a thread of its own with its own message loop; onMessage runs on that thread for
// every message from WM_USER up.
class CWindowThread
{
public:
    explicit CWindowThread(std::function<void(UINT, WPARAM, LPARAM)> onMessage)
        : m_onMessage(std::move(onMessage)), m_ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        m_thread.Start([this] { return Run(); });
        ::WaitForSingleObject(m_ready.Get(), 10000);
    }
    ~CWindowThread()
    {
        ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.Join(10000);
    }
    CWindowThread(const CWindowThread&) = delete;
    CWindowThread& operator=(const CWindowThread&) = delete;

    HWND Window() const { return m_window; }

private:
    unsigned Run()
    {
        static const wchar_t* kClass = L"HvWindowThread";
        WNDCLASSW wc{};
        wc.lpfnWndProc = &CWindowThread::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        ::RegisterClassW(&wc);
        m_threadId = ::GetCurrentThreadId();
        m_window = ::CreateWindowExW(0, kClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::SetEvent(m_ready.Get());
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageW(&msg);
        ::DestroyWindow(m_window);
        return 0;
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<CWindowThread*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && message >= WM_USER) {
            self->m_onMessage(message, wParam, lParam);
            return 0;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    std::function<void(UINT, WPARAM, LPARAM)> m_onMessage;
    CKernelHandle m_ready;
    CThread m_thread;
    DWORD m_threadId = 0;
    HWND m_window = nullptr;
};

CKernelHandle ManualEvent()
{
    return CKernelHandle(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

bool IsOpen(HANDLE handle)
{
    DWORD flags = 0;
    return ::GetHandleInformation(handle, &flags) != FALSE;
}

// The process's open handles among the first values (handle values are multiples of 4).
std::vector<HANDLE> OpenHandles()
{
    std::vector<HANDLE> open;
    for (uintptr_t value = 4; value < 0x4000; value += 4)
        if (IsOpen(reinterpret_cast<HANDLE>(value)))
            open.push_back(reinterpret_cast<HANDLE>(value));
    return open;
}

// Makes a messenger while no other thread makes handles, and finds its mutex: the one new handle.
std::unique_ptr<CProgressMessenger> MakeMessenger(HANDLE& mutex)
{
    const std::vector<HANDLE> before = OpenHandles();
    auto messenger = std::make_unique<CProgressMessenger>();
    std::vector<HANDLE> added;
    for (HANDLE h : OpenHandles())
        if (std::find(before.begin(), before.end(), h) == before.end())
            added.push_back(h);
    mutex = added.size() == 1 ? added[0] : nullptr;
    return messenger;
}

} // namespace

TEST(MessengerWait, AddListenerDuringAWriteServesTheWorkersProgress)
{
    UseOwnDevices(L"MessengerWait");
    LoadKeyboardDefinition();
    FillCodeTables();
    CComApartment com;
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ASSERT_TRUE(mouse.Init(&config));
    ASSERT_TRUE(mouse.Transfer(&config, kTransferRead, kTransferAll));

    // The first listener lives on another thread and tells when the worker's first message reached
    // it: from then on the worker holds the lock until its message to this thread's window is served.
    CKernelHandle reached = ManualEvent();
    CWindowThread first([&](UINT message, WPARAM, LPARAM) {
        if (message == WM_PROGRESS_TEXT)
            ::SetEvent(reached.Get());
    });
    CProgressListener here;
    CProgressListener late;
    mouse.AddListener(first.Window());
    mouse.AddListener(here.Window());

    ASSERT_TRUE(mouse.Transfer(&config, kTransferWrite, kTransferAll));
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(reached.Get(), 10000));
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_NO_THROW(mouse.AddListener(late.Window()));
    EXPECT_LT(::GetTickCount64() - start, 2000u) << "the user-interface thread stalled on the lock";
    ASSERT_TRUE(WaitWhileBusy([&] { return mouse.IsBusy(); }));

    // Nothing was lost: this thread's window got the whole sequence, the one added during the
    // write everything from its addition on.
    EXPECT_EQ(30u, here.Received().size());
    ASSERT_FALSE(late.Received().empty());
    EXPECT_LT(late.Received().size(), here.Received().size());
    EXPECT_TRUE(std::equal(late.Received().rbegin(), late.Received().rend(), here.Received().rbegin()));
    EXPECT_EQ(3u, mouse.GetMessenger()->Listeners().size());
}

TEST(MessengerWait, TimeOutStillEndsTheWaitAndChangesNothing)
{
    CProgressMessenger messenger;
    messenger.SetTimeout(400);
    CProgressListener here;
    CProgressListener refused;
    CKernelHandle holding = ManualEvent();
    CKernelHandle release = ManualEvent();
    // The holder sends progress to its own window; that handler, still holding the lock, sends to
    // this thread and then keeps the lock until released.
    CWindowThread holder([&](UINT message, WPARAM, LPARAM) {
        if (message == WM_APP) {
            messenger.SendPercent(5);
        } else if (message == WM_PROGRESS_PERCENT) {
            ::SetEvent(holding.Get());
            ::SendMessageW(here.Window(), WM_PROGRESS_TEXT, 0, reinterpret_cast<LPARAM>(L"meanwhile"));
            ::WaitForSingleObject(release.Get(), 10000);
        }
    });
    messenger.AddListener(holder.Window());
    ::PostMessageW(holder.Window(), WM_APP, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(holding.Get(), 10000));

    const ULONGLONG start = ::GetTickCount64();
    EXPECT_THROW(messenger.AddListener(refused.Window()), CWaitingLockException);
    const ULONGLONG waited = ::GetTickCount64() - start;
    EXPECT_GE(waited, 350u);
    EXPECT_LT(waited, 3000u);
    // The message the holder sent during the wait was served by the wait itself.
    EXPECT_EQ(std::vector<std::wstring>{L"text:meanwhile"}, here.Received());

    ::SetEvent(release.Get());
    EXPECT_EQ(std::vector<HWND>{holder.Window()}, messenger.Listeners());
    EXPECT_TRUE(refused.Received().empty());
}

TEST(MessengerWait, WorkerThatCannotTakeTheLockFailsTheWriteAndFreesTheDevice)
{
    UseOwnDevices(L"MessengerWaitWorker");
    LoadKeyboardDefinition();
    FillCodeTables();
    CComApartment com;
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ASSERT_TRUE(mouse.Init(&config));
    ASSERT_TRUE(mouse.Transfer(&config, kTransferRead, kTransferAll));

    // Another thread holds the messenger's lock (inside a send to its own window) for longer than
    // the worker waits for it.
    CProgressMessenger& messenger = *mouse.GetMessenger();
    CKernelHandle holding = ManualEvent();
    CKernelHandle release = ManualEvent();
    CWindowThread holder([&](UINT message, WPARAM, LPARAM lParam) {
        if (message == WM_APP) {
            messenger.SendPercent(1);
        } else if (message == WM_PROGRESS_PERCENT && lParam == 1) {
            ::SetEvent(holding.Get());
            ::WaitForSingleObject(release.Get(), 10000);
        }
    });
    mouse.AddListener(holder.Window());
    messenger.SetTimeout(200);
    ::PostMessageW(holder.Window(), WM_APP, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(holding.Get(), 10000));
    ClearJournal();

    // The worker's time-out ends the write at the thread's edge: no crash, busy cleared, the
    // device released, and the steps after the progress never ran.
    ASSERT_TRUE(mouse.Transfer(&config, kTransferWrite, kTransferAll));
    ASSERT_TRUE(WaitWhileBusy([&] { return mouse.IsBusy(); }));
    ::SetEvent(release.Get());
    std::vector<std::wstring> journal = Journal();
    EXPECT_EQ(0, CountLines(journal, L"IDpi.SetStages"));
    EXPECT_EQ(0, CountLines(journal, L"IProfileManager.SetActiveProfile"));
    EXPECT_EQ(5, mouse.GetProfileCount());

    // With the lock free again the next write runs to its end.
    messenger.SetTimeout(5000);
    ClearJournal();
    ASSERT_TRUE(mouse.Transfer(&config, kTransferWrite, kTransferAll));
    ASSERT_TRUE(WaitWhileBusy([&] { return mouse.IsBusy(); }));
    journal = Journal();
    ASSERT_FALSE(journal.empty());
    EXPECT_NE(std::wstring::npos, journal.back().find(L"IProfileManager.SetActiveProfile"));
}

TEST(MessengerWait, DestructionWaitsForAListenerHoldingTheLock)
{
    // A worker sends progress to a listener window on a thread of its own; the listener's handler,
    // while the worker holds the lock, sends to a window of the owning thread and then takes its
    // time. The owner deletes the messenger meanwhile.
    CProgressListener here;
    CKernelHandle holding = ManualEvent();
    CKernelHandle finish = ManualEvent();
    std::atomic<bool> handlerDone{false};
    std::unique_ptr<CProgressMessenger> messenger;
    CWindowThread listener([&](UINT message, WPARAM, LPARAM) {
        if (message != WM_PROGRESS_PERCENT)
            return;
        ::SetEvent(holding.Get());
        // Served only by the owner's destructor: before it, the owner waits without dispatching.
        ::SendMessageW(here.Window(), WM_PROGRESS_TEXT, 0, reinterpret_cast<LPARAM>(L"meanwhile"));
        ::Sleep(300);
        handlerDone = true;
    });
    HANDLE mutex = nullptr;
    messenger = MakeMessenger(mutex);
    ASSERT_NE(nullptr, mutex);
    messenger->AddListener(listener.Window());
    CProgressMessenger* sender = messenger.get();
    std::atomic<bool> workerThrew{false};
    CThread worker;
    ASSERT_TRUE(worker.Start([&] {
        try {
            sender->SendPercent(42);
        } catch (const CWaitingLockException&) {
            workerThrew = true;
        }
        // Parked until checked, so that the handles its thread gives up do not free the mutex's
        // value for reuse meanwhile.
        ::WaitForSingleObject(finish.Get(), 10000);
        return 0u;
    }));
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(holding.Get(), 10000));

    const ULONGLONG start = ::GetTickCount64();
    messenger.reset();
    const ULONGLONG waited = ::GetTickCount64() - start;
    EXPECT_TRUE(handlerDone) << "the destructor returned while the listener's thread held the lock";
    EXPECT_GE(waited, 250u);
    EXPECT_LT(waited, 3000u) << "the destructor waited out the time-out instead of serving the holder";
    EXPECT_EQ(std::vector<std::wstring>{L"text:meanwhile"}, here.Received());
    // Closed once the worker had released it, not left behind.
    EXPECT_FALSE(IsOpen(mutex));
    ::SetEvent(finish.Get());
    ASSERT_TRUE(worker.Join(10000));
    EXPECT_FALSE(workerThrew);
}

TEST(MessengerWait, DestructionGivesUpAfterTheTimeOutAndLeavesTheMutexToItsHolder)
{
    // The listener's thread sends through the messenger to its own window and keeps the lock there
    // until released, far past the time-out.
    std::unique_ptr<CProgressMessenger> messenger;
    CProgressMessenger* sender = nullptr;
    CKernelHandle holding = ManualEvent();
    CKernelHandle release = ManualEvent();
    CKernelHandle sent = ManualEvent();
    std::atomic<bool> threw{false};
    CWindowThread holder([&](UINT message, WPARAM, LPARAM lParam) {
        if (message == WM_APP) {
            try {
                sender->SendPercent(5);
            } catch (const CWaitingLockException&) {
                threw = true;
            }
            ::SetEvent(sent.Get());
        } else if (message == WM_PROGRESS_PERCENT && lParam == 5) {
            ::SetEvent(holding.Get());
            ::WaitForSingleObject(release.Get(), 10000);
        }
    });
    HANDLE mutex = nullptr;
    messenger = MakeMessenger(mutex);
    ASSERT_NE(nullptr, mutex);
    messenger->SetTimeout(300);
    sender = messenger.get();
    messenger->AddListener(holder.Window());
    ::PostMessageW(holder.Window(), WM_APP, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(holding.Get(), 10000));

    const ULONGLONG start = ::GetTickCount64();
    messenger.reset();
    const ULONGLONG waited = ::GetTickCount64() - start;
    EXPECT_GE(waited, 250u);
    EXPECT_LT(waited, 3000u);
    // Still open for the holder, which releases it through that handle once its send returns:
    // free then (not abandoned, the holder's thread lives on).
    ASSERT_TRUE(IsOpen(mutex));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), ::WaitForSingleObject(mutex, 0));
    ::SetEvent(release.Get());
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(sent.Get(), 10000));
    EXPECT_FALSE(threw);
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(mutex, 0));
    // The handle the messenger gave up is the test's to close now.
    ::ReleaseMutex(mutex);
    ::CloseHandle(mutex);
}
