// The whole state of the simulated devices: what one mouse and one keyboard hold, plus the test
// hooks (presence, fault rules, delay). Plain values; the store (SimStore.h) shares one copy between
// every process through a file, and the COM objects are thin handles that look their target up here.
#pragma once

#include "mwapi/HvMwApi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mwsim {

enum class Dev : uint32_t { Mouse = 0, Keyboard = 1 };
inline constexpr int kDeviceCount = 2;
const wchar_t* DevName(Dev dev); // "mouse", "keyboard"
bool ParseDev(const std::wstring& text, Dev* dev);

// Capacities and ranges of the devices.
inline constexpr int kMaxProfiles = 20;
inline constexpr int kFactoryProfiles = 5;
inline constexpr int kMaxMacros = 64;
inline constexpr int kMaxMacroEvents = 4096;
inline constexpr int kMaxApplications = 64;
inline constexpr int kMaxApmLevels = 8;
inline constexpr int kMaxStages = 5;
inline constexpr size_t kMaxTextChars = 32767; // names and paths
inline constexpr uint32_t kMaxConnections = 4096;
inline constexpr uint32_t kMaxClients = 256;

struct KeyRow
{
    const wchar_t* name;
    uint16_t scan;
    uint8_t prefix; // 0 none, 1 E0, 2 E1
    uint16_t vk;
    bool onBoard;
    DWORD DeviceCode() const noexcept
    {
        return scan | (prefix == 1 ? hvmw::kKeyCodeE0 : prefix == 2 ? hvmw::kKeyCodeE1 : 0);
    }
};
// Every row of KeyTable.inc, in its order.
const std::vector<KeyRow>& KeyTable();

struct LedState
{
    int32_t id = 0;
    uint8_t on = 0;
    uint8_t hasColor = 1, hasBrightness = 1, hasEffect = 1;
    COLORREF color = 0;
    int32_t brightness = 100;
    int32_t effect = 0, duration = 0, delay = 0;
};

// A stage list with its active stage and value pair (DPI, or the sensitivity scaler).
struct StageSet
{
    std::vector<DpiValue> stages;
    int32_t activeStage = 1; // 1-based
    DpiValue active{};
};

struct StageLimits
{
    int min, max, step, maxStages;
};
inline constexpr StageLimits kDpiLimits{100, 5600, 100, kMaxStages};
inline constexpr StageLimits kScalerLimits{1, 10, 1, kMaxStages};

struct ProfileState
{
    GUID id{};
    std::wstring name;
    std::wstring appPath; // properties 0x80000002 and 0x80000005
    uint16_t flags = 0;   // property 0x80000003
    StageSet dpi, scaler; // mouse only
    std::vector<AssignmentRecord> assignments; // buttons (mouse) or keys (keyboard), in id order
    std::vector<LedState> leds;
};

struct MacroState
{
    GUID id{};
    std::wstring name;
    std::vector<MacroEventRecord> events;
};

struct AppState
{
    GUID id{};
    std::wstring name;
};

struct ApmLevelState
{
    uint32_t handle = 0; // identity of the level while it exists
    int32_t upper = 0;
    COLORREF color = 0;
};

struct ApmEventState
{
    int32_t level = 0;
    COLORREF color = 0;
    uint8_t enabled = 0;
};

struct DeviceState
{
    uint8_t present = 1;
    uint32_t generation = 1; // bumped by every unplug: objects of an earlier plug-in are dead
    uint32_t serial = 0;     // source of fresh GUIDs and APM level handles
    std::vector<ProfileState> profiles;
    GUID activeProfile{};
    std::vector<MacroState> macros;
    std::vector<AppState> apps;
    std::vector<ApmLevelState> apmLevels;
    std::vector<ApmEventState> apmEvents; // 16, event n at n - 1
    std::vector<LedState> deviceLeds;     // the LED control's calibration LEDs
    int32_t pollingCode = hvmw::kRate500Hz;
    uint8_t accelEnabled = 0;
    int32_t accelLevel = 5;
    int32_t batteryLevel = 80;
    uint8_t charging = hvmw::kNotCharging;
    int32_t criticalLevel = 10, maxLedBrightness = 100, sleepSeconds = 300;
    int32_t mode = hvmw::kModeNormal;
    int32_t layoutCode = 1;
    uint8_t redirector = 0, audioSync = 0;
    uint8_t otfPhase = 0;                 // on-the-fly recording: OtfPhase
    std::vector<std::wstring> removed;    // features switched off by the control tool (FeatureName)
};

// The steps of an on-the-fly recording on the device.
enum OtfPhase : uint8_t { kOtfIdle = 0, kOtfRecording = 1, kOtfAwaitingKey = 2 };

// One advised sink, as every process sees it: the advising thread's event window receives the
// notices for it. The sink itself lives only in the advising process (SimEvents.h).
struct ConnectionState
{
    uint32_t cookie = 0;
    Dev dev = Dev::Mouse;
    uint32_t generation = 0; // the plug-in of the device the feature belonged to
    uint32_t event = 0;      // EventKind
    uint64_t window = 0;     // HWND of the advising thread's event window
    uint32_t pid = 0;        // process of that window
};

// A notice on its way to an event window: kept here, in the order the changes were made, until the
// window's thread takes it (SimEvents.h).
struct MailState
{
    uint64_t window = 0;
    uint32_t pid = 0;
    std::vector<uint32_t> cookies; // the connections it is for
    std::vector<uint8_t> notice;   // EncodeNotice
};
inline constexpr uint32_t kMaxMailPerWindow = 1024;
inline constexpr size_t kMaxMailBytes = 4 * 1024 * 1024;

// Fault injection: the next `remaining` calls of `method` on `device` fail with `hr`.
struct FaultRule
{
    std::wstring device; // "mouse", "keyboard" or "*"
    std::wstring method; // "IDpi.SetStages" or "*"
    HRESULT hr = E_FAIL;
    int32_t remaining = 1; // -1: every call
};

struct SimState
{
    DeviceState devices[kDeviceCount];
    std::vector<FaultRule> faults;
    uint32_t delayMs = 0;
    std::wstring delayMethod; // empty: every call
    // What an indexed call (EnumDevice, GetProfile, GetLed, GetMacro, GetApplication, GetLevel) answers
    // past the end of its list: the interface promises only a failure, so programs must take any code.
    HRESULT listEnd = HVMW_E_NO_MORE_ITEMS;
    // Not device state: kept by a reset.
    std::vector<ConnectionState> connections;
    uint32_t nextCookie = 1;
    std::vector<uint32_t> clients; // processes that created a root object (device-change broadcasts)
    std::vector<MailState> mail;

    DeviceState& Of(Dev dev) { return devices[static_cast<int>(dev)]; }
    const DeviceState& Of(Dev dev) const { return devices[static_cast<int>(dev)]; }
};

// Fixed facts of a device, not stored.
struct DeviceFacts
{
    DWORD productId;
    const wchar_t* name;
    DWORD driverMajor, driverMinor, firmwareMajor, firmwareMinor;
    BYTE longVersion[4];
};
const DeviceFacts& FactsOf(Dev dev);

// Factory state.
void ResetDevice(SimState& state, Dev dev);
SimState FactoryState();
// The factory devices and no test hooks, keeping the connections and clients of the running programs.
void ResetAll(SimState& state);
ProfileState FactoryProfile(Dev dev, const GUID& id, const std::wstring& name);
// An LED of the factory device (a profile's, or with deviceLed one of the LED control's): what its
// hardware has (hasColor, hasBrightness, hasEffect). False for an id the device does not have.
bool FactoryLed(Dev dev, bool deviceLed, int id, LedState* led);
// Resets a profile's settings to the factory's, keeping its id and name.
void RestoreProfileDefaults(Dev dev, ProfileState& profile);
// A fresh GUID of this device (deterministic, so that dumps stay comparable).
GUID NewGuid(Dev dev, DeviceState& device, uint32_t kind);
inline constexpr uint32_t kGuidProfile = 1, kGuidMacro = 2, kGuidApp = 3;

// Limits applied by the setters.
int Clamp(int value, int lo, int hi);

// Serialised form (the state file and the profile, macro and application files).
std::vector<uint8_t> Serialize(const SimState& state);
bool Deserialize(const std::vector<uint8_t>& bytes, SimState* state);
// A profile file fits only the kind of device that wrote it.
std::vector<uint8_t> SerializeProfile(Dev dev, const ProfileState& profile);
bool DeserializeProfile(const std::vector<uint8_t>& bytes, Dev dev, ProfileState* profile);
std::vector<uint8_t> SerializeMacro(const MacroState& macro);
bool DeserializeMacro(const std::vector<uint8_t>& bytes, MacroState* macro);
std::vector<uint8_t> SerializeApp(const AppState& app);
bool DeserializeApp(const std::vector<uint8_t>& bytes, AppState* app);

// Stable text of a device's whole state, for assertions.
std::wstring Dump(const SimState& state, Dev dev);
std::wstring GuidText(const GUID& id);

} // namespace mwsim
