#include "SimTest.h"

#include "ChildProcess.h"
#include "Messages.h"
#include "Paths.h"
#include "mwsim/SimState.h"
#include "mwsim/SimStore.h"
#include "platform/WStr.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace simtest {

void SimTest::SetUp()
{
    ASSERT_HRESULT_SUCCEEDED(m_com.Result());
    UseOwnDevices(L"HvMwSim");
}

CComPtr<IDeviceEnumerator> SimTest::Root()
{
    CComPtr<IDeviceEnumerator> root;
    EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_HvMwApi, nullptr, HVMW_CLSCTX, IID_PPV_ARGS(root.Put())));
    return root;
}

CComPtr<IDevice> SimTest::Device(DWORD productId)
{
    CComPtr<IDeviceEnumerator> root = Root();
    if (!root)
        return {};
    for (int i = 0;; ++i) {
        CComPtr<IDevice> device;
        if (FAILED(root->EnumDevice(i, device.Put())))
            return {};
        DeviceInfo info{};
        if (SUCCEEDED(device->GetDeviceInfo(&info))) {
            CoTaskMemFree(info.name);
            if (info.productId == productId)
                return device;
        }
    }
}

CComPtr<IProfileManager> SimTest::Profiles(const CComPtr<IDevice>& device)
{
    return DeviceFeature<IProfileManager>(device);
}

CComPtr<IProfile> SimTest::ProfileAt(const CComPtr<IDevice>& device, int index)
{
    CComPtr<IProfile> profile;
    CComPtr<IProfileManager> manager = Profiles(device);
    if (manager) {
        EXPECT_HRESULT_SUCCEEDED(manager->GetProfile(index, profile.Put()));
    }
    return profile;
}

CComPtr<IProfile> SimTest::ActiveProfile(const CComPtr<IDevice>& device)
{
    CComPtr<IProfile> profile;
    CComPtr<IProfileManager> manager = Profiles(device);
    if (manager) {
        EXPECT_HRESULT_SUCCEEDED(manager->GetActiveProfile(profile.Put()));
    }
    return profile;
}

namespace {

DWORD RunTool(const std::vector<std::wstring>& args, std::string* output)
{
    hvtest::ChildProcess tool;
    hvtest::StartOptions options;
    options.captureOutput = true;
    options.hidden = true;
    if (!tool.Start(hvtest::BinFile(L"mwsim.exe"), args, options)) {
        ADD_FAILURE() << "mwsim.exe did not start: " << tool.LastError();
        return ~0u;
    }
    EXPECT_TRUE(tool.Wait(30000));
    // The notices of what the tool changed are on their way to this thread's event window (posted
    // before the tool ended): deliver them before the caller looks.
    hvtest::PumpMessages();
    *output = tool.Output();
    return tool.ExitCode();
}

} // namespace

std::string Tool(const std::vector<std::wstring>& args)
{
    std::string output;
    const DWORD code = RunTool(args, &output);
    EXPECT_EQ(0u, code) << output;
    return output;
}

DWORD ToolExitCode(const std::vector<std::wstring>& args)
{
    std::string output;
    return RunTool(args, &output);
}

std::vector<std::wstring> LinesStartingWith(const std::wstring& text, const std::wstring& prefix)
{
    std::vector<std::wstring> lines;
    std::wistringstream in(text);
    for (std::wstring line; std::getline(in, line);) {
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        if (line.compare(0, prefix.size(), prefix) == 0)
            lines.push_back(line);
    }
    return lines;
}

std::vector<std::wstring> DumpLines(const wchar_t* device, const std::wstring& prefix)
{
    return LinesStartingWith(wstr::Utf8ToWide(Tool({L"dump", device})), prefix);
}

std::vector<std::wstring> Journal()
{
    // The simulator appends while the test reads: share both ways, and read to the end found.
    std::string text;
    HANDLE file = CreateFileW(mwsim::CurrentPaths().journal.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
            text.append(buffer, read);
        CloseHandle(file);
    }
    return LinesStartingWith(wstr::Utf8ToWide(text), std::wstring());
}

namespace {

std::vector<std::string> Narrowed(const std::vector<std::wstring>& lines)
{
    std::vector<std::string> narrow;
    for (const std::wstring& line : lines)
        narrow.push_back(wstr::WideToUtf8(line));
    return narrow;
}

} // namespace

std::vector<std::string> DumpLines(const wchar_t* device, const std::string& prefix)
{
    return Narrowed(DumpLines(device, wstr::Utf8ToWide(prefix)));
}

std::vector<std::string> JournalLines()
{
    return Narrowed(Journal());
}

std::wstring Take(LPWSTR text)
{
    std::wstring result = text ? text : L"";
    CoTaskMemFree(text);
    return result;
}

std::string Narrow(const std::wstring& text)
{
    return wstr::WideToUtf8(text);
}

std::wstring GuidText(const GUID& id)
{
    return mwsim::GuidText(id);
}

std::string GuidString(const GUID& id)
{
    return Narrow(GuidText(id));
}

std::vector<uint8_t> ReadBytes(const std::wstring& path)
{
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::vector<std::pair<std::wstring, GUID>> ListProfiles(IProfileManager* manager)
{
    std::vector<std::pair<std::wstring, GUID>> list;
    for (int i = 0;; ++i) {
        CComPtr<IProfile> profile;
        if (FAILED(manager->GetProfile(i, profile.Put())))
            break;
        LPWSTR name = nullptr;
        GUID id{};
        EXPECT_HRESULT_SUCCEEDED(profile->GetName(&name));
        EXPECT_HRESULT_SUCCEEDED(profile->GetId(&id));
        list.emplace_back(Take(name), id);
    }
    return list;
}

void UseOwnDevices(const std::wstring& name)
{
    const std::wstring state = hvtest::TestFile(name + L".state");
    const std::wstring journal = hvtest::TestFile(name + L".journal");
    ::DeleteFileW(state.c_str());
    ::DeleteFileW(journal.c_str());
    ::SetEnvironmentVariableW(L"HV_MWSIM_STATE", state.c_str());
    ::SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL", journal.c_str());
}

void ChangeState(const std::function<void(mwsim::SimState&)>& change)
{
    mwsim::CSession session;
    ASSERT_TRUE(SUCCEEDED(session.Status()));
    change(session.State());
    ASSERT_TRUE(SUCCEEDED(session.Save()));
}

std::wstring Dump(mwsim::Dev dev)
{
    mwsim::CSession session;
    return SUCCEEDED(session.Status()) ? mwsim::Dump(session.State(), dev) : std::wstring();
}

std::vector<std::wstring> DumpLines(mwsim::Dev dev, const std::wstring& prefix)
{
    return simtest::LinesStartingWith(Dump(dev), prefix);
}

std::wstring DumpLine(mwsim::Dev dev, const std::wstring& prefix, size_t index)
{
    const std::vector<std::wstring> lines = DumpLines(dev, prefix);
    if (index < lines.size())
        return lines[index];
    ADD_FAILURE() << "the dump has " << lines.size() << " lines starting \"" << wstr::WideToUtf8(prefix)
                  << "\", line " << index << " was asked for";
    return std::wstring();
}

void ClearJournal()
{
    ::DeleteFileW(mwsim::CurrentPaths().journal.c_str());
}

int FindLine(const std::vector<std::wstring>& lines, const std::wstring& text, int from)
{
    for (int i = std::max(from, 0); i < static_cast<int>(lines.size()); ++i)
        if (lines[i].find(text) != std::wstring::npos)
            return i;
    return -1;
}

int CountLines(const std::vector<std::wstring>& lines, const std::wstring& text)
{
    int n = 0;
    for (const std::wstring& line : lines)
        if (line.find(text) != std::wstring::npos)
            ++n;
    return n;
}

void Fail(const wchar_t* device, const wchar_t* method, HRESULT hr, int count)
{
    ChangeState([&](mwsim::SimState& s) {
        mwsim::FaultRule rule;
        rule.device = device;
        rule.method = method;
        rule.hr = hr;
        rule.remaining = count;
        s.faults.push_back(rule);
    });
}

void Delay(DWORD ms, const wchar_t* method)
{
    ChangeState([&](mwsim::SimState& s) {
        s.delayMs = ms;
        s.delayMethod = method ? method : L"";
    });
}

} // namespace simtest
