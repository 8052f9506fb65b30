// Shared pieces of every test that runs against the simulator: each test starts from the factory
// devices (its state file and journal removed), creates the server through real COM, and looks at
// the state in its own process through the simulator's store or from another through the control
// tool. Dump and journal are read as the wide text the simulator writes.
#pragma once

#include "mwapi/HvMwApi.h"
#include "mwsim/SimState.h"
#include "platform/ComPtr.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace simtest {

// Joins this thread to a single-threaded COM apartment, and leaves it when the object goes (if it
// joined). As a fixture's member it outlasts TearDown, until the COM pointers the fixture holds are
// released.
class CComApartment
{
public:
    CComApartment() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~CComApartment()
    {
        if (SUCCEEDED(m_result))
            ::CoUninitialize();
    }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

    // What CoInitializeEx returned.
    HRESULT Result() const { return m_result; }

private:
    HRESULT m_result;
};

class SimTest : public ::testing::Test
{
protected:
    void SetUp() override;

    // A new root object: CoCreateInstance with the middleware's class id and CLSCTX 0x17.
    CComPtr<IDeviceEnumerator> Root();
    // The first device with that product id, or null.
    CComPtr<IDevice> Device(DWORD productId);
    CComPtr<IDevice> Mouse() { return Device(hvmw::kProductMouse); }
    CComPtr<IDevice> Keyboard() { return Device(hvmw::kProductKeyboard); }
    CComPtr<IProfileManager> Profiles(const CComPtr<IDevice>& device);
    CComPtr<IProfile> ProfileAt(const CComPtr<IDevice>& device, int index);
    CComPtr<IProfile> ActiveProfile(const CComPtr<IDevice>& device);

    template <class I>
    CComPtr<I> DeviceFeature(const CComPtr<IDevice>& device)
    {
        CComPtr<I> feature;
        if (!device)
            return feature;
        EXPECT_HRESULT_SUCCEEDED(device->GetFeature(__uuidof(I), feature.PutVoid()));
        return feature;
    }
    template <class I>
    CComPtr<I> ProfileFeature(const CComPtr<IProfile>& profile)
    {
        CComPtr<I> feature;
        if (!profile)
            return feature;
        EXPECT_HRESULT_SUCCEEDED(profile->GetFeature(__uuidof(I), feature.PutVoid()));
        return feature;
    }

    // Joined before the derived fixture's members are made, left after they are gone.
    CComApartment m_com;
};

// Points the simulator at <test dir>\<name>.state and .journal, both removed first (factory state).
// The fixture uses "HvMwSim"; a test may give itself devices of its own.
void UseOwnDevices(const std::wstring& name);
// Changes the shared state (plug, faults, delays, seeds) through the simulator's own store.
void ChangeState(const std::function<void(mwsim::SimState&)>& change);
// Makes the next count calls of a device's method fail with hr; slows a method (every one for null).
void Fail(const wchar_t* device, const wchar_t* method, HRESULT hr, int count = 1);
void Delay(DWORD ms, const wchar_t* method);
// A device's dump read in this process through the store.
std::wstring Dump(mwsim::Dev dev);
// The lines of Dump that start with prefix.
std::vector<std::wstring> DumpLines(mwsim::Dev dev, const std::wstring& prefix);
// The index-th of them; a failure of the calling test, and an empty line, when there are fewer.
std::wstring DumpLine(mwsim::Dev dev, const std::wstring& prefix, size_t index = 0);
void ClearJournal();
// The index of the first line containing text at or after from; -1 when none.
int FindLine(const std::vector<std::wstring>& lines, const std::wstring& text, int from = 0);
int CountLines(const std::vector<std::wstring>& lines, const std::wstring& text);

// Runs the control tool (mwsim.exe) and returns its output; the exit code must be 0.
std::string Tool(const std::vector<std::wstring>& args);
// The tool's exit code alone.
DWORD ToolExitCode(const std::vector<std::wstring>& args);
// The lines of a text that start with prefix (every line for an empty prefix), without their ends.
std::vector<std::wstring> LinesStartingWith(const std::wstring& text, const std::wstring& prefix);
// The dump lines of a device that start with prefix, as the control tool prints them from its own
// process (which also drops the connections of programs that are gone).
std::vector<std::wstring> DumpLines(const wchar_t* device, const std::wstring& prefix);
// The lines of the journal the simulator writes for this test, so far.
std::vector<std::wstring> Journal();
// The same two in UTF-8, for the callers that still compare narrow text.
std::vector<std::string> DumpLines(const wchar_t* device, const std::string& prefix = std::string());
std::vector<std::string> JournalLines();

// Takes a task-allocated string, frees it and returns its text.
std::wstring Take(LPWSTR text);
std::string Narrow(const std::wstring& text);
// The registry form of an id, as the dump and the journal write it.
std::wstring GuidText(const GUID& id);
std::string GuidString(const GUID& id);

// The whole content of a file; empty when it cannot be opened.
std::vector<uint8_t> ReadBytes(const std::wstring& path);
// Replaces a file with bytes; a file that cannot be created fails the test.
void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);

// Name and id of every profile, in the device's order.
std::vector<std::pair<std::wstring, GUID>> ListProfiles(IProfileManager* manager);

// All assignment records of a profile feature, read as the callers do (count, caller's block).
template <class I, class CountInfo>
std::vector<AssignmentRecord> ReadAssignments(I* feature, int* countOut = nullptr)
{
    CountInfo info{};
    EXPECT_HRESULT_SUCCEEDED(feature->GetCount(&info));
    const int count = info.count;
    if (countOut)
        *countOut = count;
    std::vector<AssignmentRecord> records;
    if (count <= 0)
        return records;
    auto* block = static_cast<AssignmentRecord*>(CoTaskMemAlloc(count * sizeof(AssignmentRecord)));
    std::memset(block, 0, count * sizeof(AssignmentRecord));
    int n = count;
    EXPECT_HRESULT_SUCCEEDED(feature->GetAssignments(&n, &block));
    records.assign(block, block + n);
    CoTaskMemFree(block);
    return records;
}

} // namespace simtest
