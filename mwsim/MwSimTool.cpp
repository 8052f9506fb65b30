// mwsim: the control tool of the simulated devices, for tests and for people trying the programs.
// It works on the same state file as the simulator (see SimStore.h for where it lives).
//
//   mwsim reset [mouse|keyboard]            factory state (both devices, hooks cleared, when none given)
//   mwsim dump [mouse|keyboard]             the whole state of one or both devices as text
//   mwsim plug|unplug mouse|keyboard        attach or detach a device
//   mwsim fail <device> <method> <hresult> [count|always]
//                                           the next count (default 1) calls of method fail with hresult;
//                                           device is mouse, keyboard, root or *; method e.g. IDpi.SetStages or *
//   mwsim fail clear                        removes every fault rule
//   mwsim delay <ms> [method]               every call (or every call of method) waits ms first; 0 ends it
//   mwsim set mouse|keyboard <field> <value>
//                                           one device-wide value as given, unchecked (battery, charging,
//                                           critical, max-led, sleep, mode, layout, polling, acceleration,
//                                           acceleration-level, redirector, audio-sync)
//   mwsim path                              where the state and the journal are
#include "SimStore.h"

#include "WStr.h"

#include <cstdint>
#include <cwchar>
#include <vector>

using namespace mwsim;

namespace {

void Print(const std::wstring& text)
{
    const std::string utf8 = wstr::WideToUtf8(text);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

int Fail(const std::wstring& message, int code = 1)
{
    const std::string utf8 = wstr::WideToUtf8(L"mwsim: " + message + L"\n");
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    return code;
}

int Usage()
{
    return Fail(L"usage: mwsim reset [mouse|keyboard] | dump [mouse|keyboard] | plug|unplug mouse|keyboard | "
                L"fail <device> <method> <hresult> [count|always] | fail clear | delay <ms> [method] | "
                L"set mouse|keyboard <field> <value> | path",
                2);
}

bool ParseNumber(const std::wstring& text, long long* value)
{
    if (text.empty())
        return false;
    wchar_t* end = nullptr;
    const long long v = std::wcstoll(text.c_str(), &end, 0);
    if (*end != L'\0')
        return false;
    *value = v;
    return true;
}

// Runs fn on the locked state and saves it.
template <class Fn>
int Change(Fn&& fn)
{
    CSession session;
    if (FAILED(session.Status()))
        return Fail(wstr::Format(L"cannot lock the state (0x%08lX)", static_cast<unsigned long>(session.Status())));
    const int code = fn(session.State());
    if (code != 0)
        return code;
    const HRESULT hr = session.Save();
    return SUCCEEDED(hr) ? 0 : Fail(wstr::Format(L"cannot write %ls (0x%08lX)", session.Paths().state.c_str(),
                                                 static_cast<unsigned long>(hr)));
}

int Reset(const std::vector<std::wstring>& args)
{
    Dev dev{};
    if (args.size() > 1 || (args.size() == 1 && !ParseDev(args[0], &dev)))
        return Usage();
    return Change([&](SimState& state) {
        if (args.empty()) {
            // Objects handed out before stay valid: the generations carry over.
            const uint32_t generations[] = {state.Of(Dev::Mouse).generation, state.Of(Dev::Keyboard).generation};
            state = FactoryState();
            state.Of(Dev::Mouse).generation = generations[0];
            state.Of(Dev::Keyboard).generation = generations[1];
        } else {
            ResetDevice(state, dev);
        }
        return 0;
    });
}

int DumpState(const std::vector<std::wstring>& args)
{
    Dev dev{};
    if (args.size() > 1 || (args.size() == 1 && !ParseDev(args[0], &dev)))
        return Usage();
    CSession session;
    if (FAILED(session.Status()))
        return Fail(L"cannot lock the state");
    if (args.empty())
        Print(Dump(session.State(), Dev::Mouse) + Dump(session.State(), Dev::Keyboard));
    else
        Print(Dump(session.State(), dev));
    return 0;
}

int Plug(const std::vector<std::wstring>& args, bool present)
{
    Dev dev{};
    if (args.size() != 1 || !ParseDev(args[0], &dev))
        return Usage();
    return Change([&](SimState& state) {
        DeviceState& d = state.Of(dev);
        if (!present && d.present)
            ++d.generation; // what was handed out for this plug-in is dead from now on
        d.present = present ? 1 : 0;
        return 0;
    });
}

int FailRule(const std::vector<std::wstring>& args)
{
    if (args.size() == 1 && args[0] == L"clear")
        return Change([](SimState& state) {
            state.faults.clear();
            return 0;
        });
    if (args.size() < 3 || args.size() > 4)
        return Usage();
    Dev dev{};
    if (args[0] != L"*" && args[0] != L"root" && !ParseDev(args[0], &dev))
        return Usage();
    FaultRule rule;
    rule.device = args[0];
    rule.method = args[1];
    long long hr = 0, count = 1;
    // Given as 0x8xxxxxxx or as a negative number: a failure code either way.
    if (!ParseNumber(args[2], &hr) || hr < INT32_MIN || hr > 0xFFFFFFFFLL || (static_cast<uint32_t>(hr) & 0x80000000u) == 0)
        return Fail(L"the hresult must be a failure code such as 0x80004005");
    if (args.size() == 4 && args[3] != L"always" && (!ParseNumber(args[3], &count) || count < 1))
        return Usage();
    rule.hr = static_cast<HRESULT>(static_cast<uint32_t>(hr));
    rule.remaining = args.size() == 4 && args[3] == L"always" ? -1 : static_cast<int32_t>(count);
    return Change([&](SimState& state) {
        state.faults.push_back(rule);
        return 0;
    });
}

int Delay(const std::vector<std::wstring>& args)
{
    long long ms = 0;
    if (args.empty() || args.size() > 2 || !ParseNumber(args[0], &ms) || ms < 0 || ms > 600000)
        return Usage();
    return Change([&](SimState& state) {
        state.delayMs = static_cast<uint32_t>(ms);
        state.delayMethod = args.size() == 2 ? args[1] : std::wstring();
        return 0;
    });
}

// Seeds a device-wide value, also one the devices would never take, for tests of the programs.
int SetField(const std::vector<std::wstring>& args)
{
    struct Field
    {
        const wchar_t* name;
        int32_t DeviceState::*wide;
        uint8_t DeviceState::*narrow;
    };
    static const Field fields[] = {
        {L"battery", &DeviceState::batteryLevel, nullptr},
        {L"charging", nullptr, &DeviceState::charging},
        {L"critical", &DeviceState::criticalLevel, nullptr},
        {L"max-led", &DeviceState::maxLedBrightness, nullptr},
        {L"sleep", &DeviceState::sleepSeconds, nullptr},
        {L"mode", &DeviceState::mode, nullptr},
        {L"layout", &DeviceState::layoutCode, nullptr},
        {L"polling", &DeviceState::pollingCode, nullptr},
        {L"acceleration", nullptr, &DeviceState::accelEnabled},
        {L"acceleration-level", &DeviceState::accelLevel, nullptr},
        {L"redirector", nullptr, &DeviceState::redirector},
        {L"audio-sync", nullptr, &DeviceState::audioSync},
    };
    Dev dev{};
    long long value = 0;
    if (args.size() != 3 || !ParseDev(args[0], &dev) || !ParseNumber(args[2], &value) || value < INT32_MIN ||
        value > INT32_MAX)
        return Usage();
    for (const Field& field : fields) {
        if (args[1] != field.name)
            continue;
        if (field.narrow && (value < 0 || value > 255))
            return Fail(std::wstring(field.name) + L" takes 0 to 255");
        return Change([&](SimState& state) {
            DeviceState& d = state.Of(dev);
            if (field.wide)
                d.*field.wide = static_cast<int32_t>(value);
            else
                d.*field.narrow = static_cast<uint8_t>(value);
            return 0;
        });
    }
    return Usage();
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return Usage();
    const std::wstring command = argv[1];
    const std::vector<std::wstring> args(argv + 2, argv + argc);
    if (command == L"reset")
        return Reset(args);
    if (command == L"dump")
        return DumpState(args);
    if (command == L"plug")
        return Plug(args, true);
    if (command == L"unplug")
        return Plug(args, false);
    if (command == L"fail")
        return FailRule(args);
    if (command == L"delay")
        return Delay(args);
    if (command == L"set")
        return SetField(args);
    if (command == L"path") {
        const StorePaths paths = CurrentPaths();
        Print(L"state " + paths.state + L"\njournal " + (paths.journal.empty() ? L"-" : paths.journal) + L"\n");
        return 0;
    }
    return Usage();
}
