// Handlers that run while a device object waits for its write worker: the waits serve only the
// messages other threads send (the worker's progress among them), posted messages wait for the
// thread's own loop, and a handler that calls any operation of the device meanwhile is refused as
// during the write, without freeing what the waiting frame still uses. The write is slowed through
// the simulator's delay so that the waits are long enough to be entered.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <sstream>

#include "DevicesFixture.h"
#include "model/Keyboard.h"
#include "model/KeyboardConfig.h"
#include "model/Mouse.h"
#include "model/MouseConfig.h"
#include "Paths.h"
#include "platform/ProgressMessenger.h"
#include "platform/Thread.h"
#include "platform/WStr.h"

using namespace devtest;
using mwsim::Dev;

namespace {

constexpr UINT kForeign = WM_APP + 1;   // sent by a thread that is not the worker
constexpr UINT kPosted = WM_APP + 2;
constexpr DWORD kSlowExitMs = 400;

// While set, every thread but the test's own takes kSlowExitMs to end after its body returned:
// long enough for the test thread to be inside the wait for a worker that has finished its write
// but not yet its thread.
std::atomic<bool> g_slowThreadExit{false};
std::atomic<DWORD> g_testThread{0};

void NTAPI SlowThreadExit(PVOID, DWORD reason, PVOID)
{
    if (reason == DLL_THREAD_DETACH && g_slowThreadExit && ::GetCurrentThreadId() != g_testThread)
        ::Sleep(kSlowExitMs);
}

// The loader calls the image's TLS callbacks at every thread's end; the runtime's own come after.
__attribute__((section(".CRT$XLB"), used)) PIMAGE_TLS_CALLBACK g_slowThreadExitHook = SlowThreadExit;

class CSlowThreadExit
{
public:
    CSlowThreadExit()
    {
        g_testThread = ::GetCurrentThreadId();
        g_slowThreadExit = true;
    }
    ~CSlowThreadExit() { g_slowThreadExit = false; }
    CSlowThreadExit(const CSlowThreadExit&) = delete;
    CSlowThreadExit& operator=(const CSlowThreadExit&) = delete;
};

// Queues message among those sent to window's thread, from a thread of its own that does not wait
// for it to be handled.
void SendFromAnotherThread(HWND window, UINT message)
{
    CThread sender;
    ASSERT_TRUE(sender.Start([=] { return ::SendNotifyMessageW(window, message, 0, 0) ? 0u : 1u; }));
    ASSERT_TRUE(sender.Join(10000));
    ASSERT_EQ(0u, sender.ExitCode());
}

// Waits, serving sent messages only, until the device's write has ended (as a handler that
// polls must, or the worker's progress to this thread would wait for it for ever).
template <class Device>
void PollUntilIdle(Device& device)
{
    CKernelHandle never(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const ULONGLONG start = ::GetTickCount64();
    while (device.IsBusy() && ::GetTickCount64() - start < 20000)
        WaitDispatchingSent(never.Get(), 10);
}

// Calls every public operation of the device once and tells in one line what each answered.
// bystander is added and removed as a listener.
template <class Device, class Config>
std::wstring CallEveryOperation(Device& device, Config& config, HWND bystander)
{
    const std::wstring macroFile = hvtest::TestFile(L"reentry.hvm");
    const std::wstring profileFile = hvtest::TestFile(L"reentry.hvp");
    std::wstring firmware, driver;
    int layout = -1;
    std::wostringstream out;
    out << L"busy " << device.IsBusy();
    out << L" init " << device.Init(&config);
    device.Uninit();
    out << L" read " << device.Transfer(&config, kTransferRead, kTransferAll);
    out << L" write " << device.Transfer(&config, kTransferWrite, kTransferAll);
    out << L" import-macro " << device.ImportMacro(macroFile.c_str(), &config);
    out << L" export-macro " << device.ExportMacro(macroFile.c_str(), config.GetMacro(0));
    out << L" has-macro " << device.HasMacro(config.GetMacro(0));
    out << L" import-profile " << device.ImportProfile(profileFile.c_str(), &config);
    out << L" export-profile " << device.ExportProfile(profileFile.c_str(), config.GetProfile(0));
    out << L" has-profile " << device.HasProfile(config.GetProfile(0));
    out << L" modes " << device.SetDefaultMode() << device.SetNormalMode();
    out << L" layout " << device.GetLayoutCode(&layout) << L"," << layout;
    out << L" found " << device.IsDeviceFound();
    out << L" versions " << device.GetFirmwareVersion(firmware) << device.GetDriverVersion(driver);
    out << L" probe " << device.Probe();
    out << wstr::Format(L" product 0x%X", device.GetProductId());
    out << L" name " << (device.GetName() ? device.GetName() : L"-");
    out << L" count " << device.GetProfileCount();
    out << L" messenger " << (device.GetMessenger() == static_cast<CProgressMessenger*>(&device));
    try {
        device.AddListener(bystander);
        device.RemoveListener(bystander);
        out << L" listeners ok";
    } catch (const CWaitingLockException&) {
        // The worker holds the messenger's lock while this thread handles its send.
        out << L" listeners timed-out";
    }
    return out.str();
}

std::wstring CallEveryOperation(CMouse& mouse, CVxConfig_Mouse& config, HWND bystander)
{
    std::wstring line = CallEveryOperation<CMouse, CVxConfig_Mouse>(mouse, config, bystander);
    return line + L" refresh " + std::to_wstring(mouse.RefreshVersion());
}

// What every operation answers while a write or a read holds the device: busy as given, the found
// flag as given (the keyboard's Uninit clears it).
std::wstring Refused(bool busy, bool found, const wchar_t* listeners, uint32_t product)
{
    return wstr::Format(L"busy %d init 0 read 0 write 0 import-macro 0 export-macro 0 has-macro 0 "
                        L"import-profile 0 export-profile 0 has-profile 0 modes 00 layout 0,0 found %d "
                        L"versions 11 probe 0 product 0x%X name - count 0 messenger 1 listeners %ls",
                        busy, found, product, listeners);
}

// The same for the mouse, whose version refresh is refused too unless a read holds the device.
std::wstring MouseRefused(bool busy, const wchar_t* listeners, bool refreshed = false)
{
    return Refused(busy, true, listeners, 0x22) + L" refresh " + (refreshed ? L"1" : L"0");
}

class DevicesReentry : public CDevicesTest
{
protected:
    void SetUp() override
    {
        CDevicesTest::SetUp();
        ::DeleteFileW(hvtest::TestFile(L"reentry.hvm").c_str());
        ::DeleteFileW(hvtest::TestFile(L"reentry.hvp").c_str());
    }
    void TearDown() override
    {
        Delay(0, nullptr);
        // Nothing a refused operation would have made.
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(hvtest::TestFile(L"reentry.hvm").c_str()));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(hvtest::TestFile(L"reentry.hvp").c_str()));
        CDevicesTest::TearDown();
    }

    // A device read into config.
    template <class Device, class Config>
    std::unique_ptr<Device> ReadDevice(const DeviceDescriptor& descriptor, Config& config)
    {
        auto device = std::make_unique<Device>(descriptor);
        ReadInto(*device, config);
        return device;
    }
    // The handler of kForeign for a window: it polls until the device's write is over and then
    // calls every operation, noting the answers.
    template <class Device, class Config>
    CHandlerWindow::Handler PollThenCallEveryOperation(Device* device, Config& config,
                                                         std::vector<std::wstring>& answers)
    {
        return [this, device, &config, &answers](UINT message, WPARAM, LPARAM) {
            if (message != kForeign)
                return;
            PollUntilIdle(*device);
            answers.push_back(L"foreign: " + CallEveryOperation(*device, config, m_bystander.Window()));
        };
    }

    CHandlerWindow m_bystander{[](UINT, WPARAM, LPARAM) {}};
};

} // namespace

TEST_F(DevicesReentry, PostedMessagesWaitWhileTheMouseIsDestroyedDuringAWrite)
{
    CVxConfig_Mouse config;
    auto mouse = ReadDevice<CMouse>(g_MouseDescriptor, config);
    config.GetProfile(4)->SetName(L"Last written");
    // What the handlers reach, also while the mouse is being destroyed.
    CMouse* device = mouse.get();

    // A handler that polls the device until its write is over, as a page waiting to refresh would.
    int polled = 0;
    CHandlerWindow window([&](UINT message, WPARAM, LPARAM) {
        if (message != kPosted)
            return;
        ++polled;
        while (device && device->IsBusy())
            ::Sleep(10);
    });
    Delay(20, L"IButtonAssignments.SetAssignments");
    ASSERT_TRUE(mouse->Transfer(&config, kTransferWrite, kTransferAll));
    ASSERT_TRUE(::PostMessageW(window.Window(), kPosted, 0, 0));
    ASSERT_NE(0u, ::SetTimer(window.Window(), 1, 1, nullptr));
    mouse.reset();
    device = nullptr;
    ::KillTimer(window.Window(), 1);

    // The destruction ran no handler of a posted message; the message is still queued.
    EXPECT_EQ(0, polled);
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, window.Window(), kPosted, kPosted, PM_REMOVE));
    // And the write ran to its end.
    EXPECT_NE(std::wstring::npos, DumpLine(Dev::Mouse, L"profile ", 4).find(L"\"Last written\""));
}

TEST_F(DevicesReentry, EveryOperationFromHandlersOfTheDestructorsWait)
{
    CVxConfig_Mouse config;
    auto mouse = ReadDevice<CMouse>(g_MouseDescriptor, config);
    config.GetProfile(4)->SetName(L"Last written");
    const std::wstring before = Describe(config);
    // What the handlers reach, also while the mouse is being destroyed.
    CMouse* device = mouse.get();

    // The worker's first progress message, and a message another thread sent, whose handler polls
    // until the write is over and then calls every operation: the write has ended there, but the
    // destructor has not settled it yet.
    std::vector<std::wstring> answers;
    int progress = 0;
    CHandlerWindow listener([&](UINT message, WPARAM, LPARAM) {
        if ((message == WM_PROGRESS_TEXT || message == WM_PROGRESS_PERCENT) && progress++ == 0)
            answers.push_back(L"progress: " + CallEveryOperation(*device, config, m_bystander.Window()));
    });
    CHandlerWindow other(PollThenCallEveryOperation(device, config, answers));
    mouse->AddListener(listener.Window());
    // A handler of the worker's send cannot have the lock the worker holds: it is refused soon.
    mouse->GetMessenger()->SetTimeout(100);
    Delay(20, L"IButtonAssignments.SetAssignments");
    ASSERT_TRUE(mouse->Transfer(&config, kTransferWrite, kTransferAll));
    SendFromAnotherThread(other.Window(), kForeign);
    mouse.reset();

    const std::vector<std::wstring> expected = {
        L"progress: " + MouseRefused(true, L"timed-out"),
        L"foreign: " + MouseRefused(false, L"ok"),
    };
    EXPECT_EQ(expected, answers);
    EXPECT_EQ(30, progress);
    EXPECT_EQ(before, Describe(config));
    EXPECT_NE(std::wstring::npos, DumpLine(Dev::Mouse, L"profile ", 4).find(L"\"Last written\""));

    // The keyboard's write sends no progress; its Uninit clears the found flag and the key list
    // while the worker writes with its own copy of the list.
    CVxConfig_Keyboard keys;
    auto keyboard = ReadDevice<CKeyboard>(g_KeyboardDescriptor, keys);
    keys.GetProfile(0)->SetName(L"Keys written");
    const std::wstring keysBefore = Describe(keys);
    answers.clear();
    CHandlerWindow keyboardOther(PollThenCallEveryOperation(keyboard.get(), keys, answers));
    Delay(40, L"IProfileProperties.SetProperty");
    ASSERT_TRUE(keyboard->Transfer(&keys, kTransferWrite, kTransferAll));
    SendFromAnotherThread(keyboardOther.Window(), kForeign);
    keyboard.reset();
    EXPECT_EQ(std::vector<std::wstring>{L"foreign: " + Refused(false, false, L"ok", 0x23)}, answers);
    EXPECT_EQ(keysBefore, Describe(keys));
    EXPECT_EQ(L"profile 0 " + GuidText(keys.GetProfile(0)->GetGuid()) + L" \"Keys written\"",
              DumpLine(Dev::Keyboard, L"profile "));
}

TEST_F(DevicesReentry, EveryOperationFromAHandlerOfTheSettlingWait)
{
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ReadInto(mouse, config);
    config.GetProfile(0)->SetName(L"First written");
    const std::wstring before = Describe(config);

    std::vector<std::wstring> answers;
    CHandlerWindow other(PollThenCallEveryOperation(&mouse, config, answers));
    Delay(20, L"IButtonAssignments.SetAssignments");
    ASSERT_TRUE(mouse.Transfer(&config, kTransferWrite, kTransferAll));
    SendFromAnotherThread(other.Window(), kForeign);
    {
        // Polled without serving any message: the first call after the write's end waits for the
        // worker's thread, and that wait serves the message the other thread sent.
        CSlowThreadExit slow;
        const ULONGLONG start = ::GetTickCount64();
        while (mouse.IsBusy() && ::GetTickCount64() - start < 20000)
            ::Sleep(5);
    }
    EXPECT_FALSE(mouse.IsBusy());
    EXPECT_EQ(std::vector<std::wstring>{L"foreign: " + MouseRefused(false, L"ok")}, answers);
    EXPECT_EQ(before, Describe(config));

    // Settled, the device answers again.
    EXPECT_TRUE(mouse.Probe());
    EXPECT_EQ(5, mouse.GetProfileCount());
    EXPECT_EQ(L"profile 0 " + GuidText(config.GetProfile(0)->GetGuid()) + L" \"First written\"",
              DumpLine(Dev::Mouse, L"profile "));

    // A synchronous read sends its progress on this thread: a listener's handler that calls every
    // operation meanwhile finds the device held by the read (the read's own connection still
    // serves the version refresh), and the read goes on.
    answers.clear();
    Delay(0, nullptr);
    CHandlerWindow listener([&](UINT message, WPARAM, LPARAM) {
        if (message == WM_PROGRESS_TEXT && answers.empty())
            answers.push_back(CallEveryOperation(mouse, config, m_bystander.Window()));
    });
    mouse.AddListener(listener.Window());
    CVxConfig_Mouse read;
    ASSERT_TRUE(mouse.Init(&read));
    ASSERT_TRUE(mouse.Transfer(&read, kTransferRead, kTransferAll));
    EXPECT_EQ(std::vector<std::wstring>{MouseRefused(true, L"ok", true)}, answers);
    EXPECT_EQ(Describe(config), Describe(read));
}
