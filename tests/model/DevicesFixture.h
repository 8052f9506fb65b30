// Test support for the device objects: each test gets its own simulated devices (state and journal
// files of its own, set through the environment the simulator reads), a COM apartment, the keyboard
// definition of the install image, a window that records the progress it is sent, and a text form
// of a whole configuration to compare reads with.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/ConfigInterfaces.h"
#include "model/GenDevice.h"
#include "SimTest.h"

namespace devtest {

// The simulator's fixture pieces: own devices, state changes, dump, journal and their line finders.
using namespace simtest;

// Loads the install image's keyboard definition into the program's one (once).
void LoadKeyboardDefinition();

// The whole configuration as text: profiles in order with GUID, name, linked program, flags,
// stages, sensitivity, buttons or keys (with the device records kept for them), lights; macros;
// applications; device-wide values.
std::wstring Describe(IMouseConfig& config);
std::wstring Describe(IKeyboardConfig& config);
// The lines of a Describe text that belong to the profile of that name, its heading first; and
// the text without them.
std::vector<std::wstring> ProfileSection(const std::wstring& described, const std::wstring& name);
std::wstring WithoutProfile(const std::wstring& described, const std::wstring& name);
// A profile the user made goes out with what it was given; the device's new profile keeps its own
// values for the rest. Each line of the made profile's section but those of controls it gave no
// function reads back the same.
void ExpectMadeProfileReadsBack(const std::wstring& written, const std::wstring& read, const std::wstring& name);

// A hidden window of the calling thread; onMessage runs for every message from WM_USER up.
class CHandlerWindow
{
public:
    using Handler = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;
    explicit CHandlerWindow(Handler onMessage);
    ~CHandlerWindow();
    CHandlerWindow(const CHandlerWindow&) = delete;
    CHandlerWindow& operator=(const CHandlerWindow&) = delete;
    HWND Window() const { return m_window; }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    Handler m_onMessage;
    HWND m_window = nullptr;
};

// A hidden window that records the progress messages sent to it, in order, as text:
// "10", "30", ... and "text:Profile: Profile 1".
class CProgressListener
{
public:
    CProgressListener();
    HWND Window() const { return m_window.Window(); }
    const std::vector<std::wstring>& Received() const { return m_received; }
    void Clear() { m_received.clear(); }

private:
    std::vector<std::wstring> m_received;
    CHandlerWindow m_window;
};

// Waits, pumping messages, until busy() is false; false after timeoutMs.
bool WaitWhileBusy(const std::function<bool()>& busy, DWORD timeoutMs = 20000);

// A test of the device objects: devices of its own named after the test, the keyboard definition
// and the code tables loaded, a COM apartment kept until the test's objects are gone.
class CDevicesTest : public SimTest
{
protected:
    void SetUp() override;

    // Init and a full read.
    template <class Device, class Config>
    static void ReadInto(Device& device, Config& config)
    {
        ASSERT_TRUE(device.Init(&config));
        ASSERT_TRUE(device.Transfer(&config, kTransferRead, kTransferAll));
    }

    // A full write, waited for while messages are pumped.
    template <class Device, class Config>
    static bool WriteAndWait(Device& device, Config& config)
    {
        if (!device.Transfer(&config, kTransferWrite, kTransferAll))
            return false;
        return WaitWhileBusy([&] { return device.IsBusy(); });
    }
};

} // namespace devtest
