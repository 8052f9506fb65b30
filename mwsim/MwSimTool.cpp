// mwsim: the control tool of the simulated devices, for tests and for people trying the programs.
// It works on the same state file as the simulator (see SimStore.h for where it lives).
//
//   mwsim reset [mouse|keyboard]            factory state (both devices, hooks cleared, when none given)
//   mwsim dump [mouse|keyboard]             the whole state of one or both devices as text, with the
//                                           live connections per event interface ("connection-point")
//   mwsim plug|unplug mouse|keyboard        attach or detach a device
//   mwsim fail <device> <method> <hresult> [count|always]
//                                           the next count (default 1) calls of method fail with hresult;
//                                           device is mouse, keyboard, root or *; method e.g. IDpi.SetStages or *
//   mwsim fail clear                        removes every fault rule
//   mwsim delay <ms> [method]               every call (or every call of method) waits ms first; 0 ends it
//   mwsim listend invalidarg|nomoreitems    what an indexed call (EnumDevice, GetProfile, GetLed, GetMacro,
//                                           GetApplication, GetLevel) answers past its list's end:
//                                           E_INVALIDARG or HVMW_E_NO_MORE_ITEMS (the default, restored by reset)
//   mwsim set mouse|keyboard <field> <value>
//                                           one device-wide value as given, unchecked (battery, charging,
//                                           critical, max-led, sleep, mode, layout, polling, acceleration,
//                                           acceleration-level, redirector, audio-sync)
//   mwsim path                              where the state and the journal are
//
// The physical devices (each fires the events a real device would):
//   mwsim press mouse <button 1..11> | press keyboard <key code or key name>
//                                           does what the active profile assigns to it
//   mwsim dpi up|down|<stage>               the mouse's own DPI switching (stages count from 1; a
//                                           pressed "DPI stage" assignment's field counts from 0)
//   mwsim profile mouse|keyboard next|previous|<index>
//   mwsim otf start|end|assign <key code or name>|cancel
//                                           on-the-fly recording on the keyboard (E0 keys: 0x200xx)
//   mwsim redirect <vk>                     a key typed while the keyboard redirector is on
//   mwsim plug|unplug also announce the device (WM_DEVICECHANGE) to the windows of the programs that
//   use the simulator; mwsim announce arrival|removal <vendor> <product> announces any device and
//   changes nothing (wrong vendor or product ids for tests).
//   mwsim feature mouse|keyboard <interface>|0x80000005 on|off
//                                           removes a feature (GetFeature and QueryInterface answer
//                                           E_NOINTERFACE; 0x80000005: the property answers E_NOTIMPL)
#include "mwsim/SimActions.h"
#include "mwsim/SimStore.h"

#include "platform/WStr.h"

#include <algorithm>
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
                L"listend invalidarg|nomoreitems | "
                L"set mouse|keyboard <field> <value> | path | press <device> <id> | dpi up|down|<stage> | "
                L"profile <device> next|previous|<index> | otf start|end|assign <key>|cancel | redirect <vk> | "
                L"announce arrival|removal <vendor> <product> | feature <device> <interface> on|off",
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

// Runs fn on the locked state and saves it with the events of the change and those that fn adds (the
// notices of an action) queued for the listening windows, which are woken without waiting for them.
template <class Fn>
int ChangeWithEvents(Fn&& fn)
{
    CSession session;
    if (FAILED(session.Status()))
        return Fail(wstr::Format(L"cannot lock the state (0x%08lX)", static_cast<unsigned long>(session.Status())));
    const SimState before = session.State();
    std::vector<Notice> notices;
    const int code = fn(session.State(), &notices);
    if (code != 0)
        return code;
    std::vector<Notice> all;
    CollectStateEvents(before, session.State(), &all);
    all.insert(all.end(), notices.begin(), notices.end());
    QueueNotices(session.State(), all);
    const HRESULT hr = session.Save();
    if (FAILED(hr))
        return Fail(wstr::Format(L"cannot write %ls (0x%08lX)", session.Paths().state.c_str(),
                                 static_cast<unsigned long>(hr)));
    return 0;
}

template <class Fn>
int Change(Fn&& fn)
{
    return ChangeWithEvents([&](SimState& state, std::vector<Notice>*) { return fn(state); });
}

// Runs a device action (SimActions.h) and prints what the device did.
template <class Fn>
int Act(Fn&& fn)
{
    return ChangeWithEvents([&](SimState& state, std::vector<Notice>* notices) {
        ActionResult result;
        if (!fn(state, &result))
            return Fail(result.text);
        Print(result.text + L"\n");
        notices->insert(notices->end(), result.notices.begin(), result.notices.end());
        return 0;
    });
}

int Reset(const std::vector<std::wstring>& args)
{
    Dev dev{};
    if (args.size() > 1 || (args.size() == 1 && !ParseDev(args[0], &dev)))
        return Usage();
    return Change([&](SimState& state) {
        if (args.empty())
            ResetAll(state);
        else
            ResetDevice(state, dev);
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
    // Only the live connections: a program that ended without unadvising leaves its own behind.
    auto& connections = session.State().connections;
    const size_t before = connections.size();
    connections.erase(std::remove_if(connections.begin(), connections.end(),
                                     [](const ConnectionState& c) { return !WindowAlive(c.window, c.pid); }),
                      connections.end());
    if (connections.size() != before)
        session.Save();
    if (args.empty())
        Print(Dump(session.State(), Dev::Mouse) + Dump(session.State(), Dev::Keyboard));
    else
        Print(Dump(session.State(), dev));
    return 0;
}

// The clients that may hear a device change (read under the lock, announced without it).
std::vector<uint32_t> Clients()
{
    CSession session;
    return SUCCEEDED(session.Status()) ? session.State().clients : std::vector<uint32_t>();
}

int Plug(const std::vector<std::wstring>& args, bool present)
{
    Dev dev{};
    if (args.size() != 1 || !ParseDev(args[0], &dev))
        return Usage();
    bool changed = false;
    const int code = Change([&](SimState& state) {
        DeviceState& d = state.Of(dev);
        changed = (d.present != 0) != present;
        if (!present && d.present) {
            ++d.generation; // what was handed out for this plug-in is dead from now on
            d.otfPhase = kOtfIdle;
        }
        d.present = present ? 1 : 0;
        return 0;
    });
    if (code != 0)
        return code;
    // Announced after the change, as the system does once the device is (or is no longer) there.
    if (changed) {
        const int windows = BroadcastDeviceChange(Clients(), present, kVendorId, FactsOf(dev).productId);
        Print(wstr::Format(L"announced to %d windows\n", windows));
    } else {
        Print(std::wstring(L"the ") + DevName(dev) + (present ? L" is already plugged\n" : L" is already unplugged\n"));
    }
    return 0;
}

int Announce(const std::vector<std::wstring>& args)
{
    long long vendor = 0, product = 0;
    if (args.size() != 3 || (args[0] != L"arrival" && args[0] != L"removal") || !ParseNumber(args[1], &vendor) ||
        !ParseNumber(args[2], &product) || vendor < 0 || vendor > 0xFFFF || product < 0 || product > 0xFFFF)
        return Usage();
    const int windows = BroadcastDeviceChange(Clients(), args[0] == L"arrival", static_cast<DWORD>(vendor),
                                              static_cast<DWORD>(product));
    Print(wstr::Format(L"announced to %d windows\n", windows));
    return 0;
}

int Press(const std::vector<std::wstring>& args)
{
    Dev dev{};
    DWORD id = 0;
    if (args.size() != 2 || !ParseDev(args[0], &dev) || !ParseKeyCode(args[1], &id))
        return Usage();
    return Act([&](SimState& state, ActionResult* result) { return PressOnDevice(state, dev, id, result); });
}

int Dpi(const std::vector<std::wstring>& args)
{
    long long stage = 0;
    if (args.size() != 1)
        return Usage();
    if (args[0] == L"up" || args[0] == L"down") {
        const int delta = args[0] == L"up" ? 1 : -1;
        return Act([&](SimState& state, ActionResult* result) { return StepDpi(state, delta, result); });
    }
    if (!ParseNumber(args[0], &stage) || stage < 1 || stage > kMaxStages)
        return Usage();
    return Act([&](SimState& state, ActionResult* result) {
        return SelectDpiStage(state, static_cast<int>(stage), result);
    });
}

int Profile(const std::vector<std::wstring>& args)
{
    Dev dev{};
    long long index = 0;
    if (args.size() != 2 || !ParseDev(args[0], &dev))
        return Usage();
    if (args[1] == L"next" || args[1] == L"previous") {
        const int delta = args[1] == L"next" ? 1 : -1;
        return Act([&](SimState& state, ActionResult* result) { return StepProfile(state, dev, delta, result); });
    }
    if (!ParseNumber(args[1], &index) || index < 0 || index >= kMaxProfiles)
        return Usage();
    return Act([&](SimState& state, ActionResult* result) {
        return SelectProfile(state, dev, static_cast<int>(index), result);
    });
}

int Otf(const std::vector<std::wstring>& args)
{
    static const std::pair<const wchar_t*, OtfStep> steps[] = {
        {L"start", OtfStep::Start}, {L"end", OtfStep::End}, {L"assign", OtfStep::Assign}, {L"cancel", OtfStep::Cancel}};
    if (args.empty())
        return Usage();
    for (const auto& [name, step] : steps) {
        if (args[0] != name)
            continue;
        DWORD key = 0;
        if (step == OtfStep::Assign ? args.size() != 2 || !ParseKeyCode(args[1], &key) : args.size() != 1)
            return Usage();
        return Act([&, step = step](SimState& state, ActionResult* result) { return OtfAction(state, step, key, result); });
    }
    return Usage();
}

int Redirect(const std::vector<std::wstring>& args)
{
    long long vk = 0;
    if (args.size() != 1 || !ParseNumber(args[0], &vk) || vk < 1 || vk > 0xFE)
        return Usage();
    return Act([&](SimState& state, ActionResult* result) { return RedirectKey(state, static_cast<UINT>(vk), result); });
}

int Feature(const std::vector<std::wstring>& args)
{
    Dev dev{};
    if (args.size() != 3 || !ParseDev(args[0], &dev) || (args[2] != L"on" && args[2] != L"off"))
        return Usage();
    if (!IsFeatureName(args[1]))
        return Fail(L"no such feature: " + args[1]);
    const bool off = args[2] == L"off";
    return Change([&](SimState& state) {
        auto& removed = state.Of(dev).removed;
        removed.erase(std::remove_if(removed.begin(), removed.end(),
                                     [&](const std::wstring& name) { return wstr::EqualsNoCase(name, args[1]); }),
                      removed.end());
        if (off)
            removed.push_back(args[1]);
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

int ListEnd(const std::vector<std::wstring>& args)
{
    if (args.size() != 1 || (args[0] != L"invalidarg" && args[0] != L"nomoreitems"))
        return Usage();
    const HRESULT code = args[0] == L"invalidarg" ? E_INVALIDARG : HVMW_E_NO_MORE_ITEMS;
    return Change([&](SimState& state) {
        state.listEnd = code;
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
    if (command == L"listend")
        return ListEnd(args);
    if (command == L"set")
        return SetField(args);
    if (command == L"press")
        return Press(args);
    if (command == L"dpi")
        return Dpi(args);
    if (command == L"profile")
        return Profile(args);
    if (command == L"otf")
        return Otf(args);
    if (command == L"redirect")
        return Redirect(args);
    if (command == L"announce")
        return Announce(args);
    if (command == L"feature")
        return Feature(args);
    if (command == L"path") {
        const StorePaths paths = CurrentPaths();
        Print(L"state " + paths.state + L"\njournal " + (paths.journal.empty() ? L"-" : paths.journal) + L"\n");
        return 0;
    }
    return Usage();
}
