// The events of the simulated devices and how they travel between processes.
//
// A sink lives in the process and on the thread that advised it. That thread owns an event window
// (a message-only window of class kEventWindowClass, SimConnect.cpp); the shared state lists every
// connection with the window that serves it. Whoever changes a device (a program through the
// middleware, or the control tool) works out the events of the change while it holds the state,
// plans which windows get which notice, lets the state go, and only then sends each window a
// WM_COPYDATA notice. The window calls the sinks that are still advised when the notice arrives.
// No sink is ever called with the state locked.
//
// Device arrival and removal reach the top-level windows of the processes that use the simulator
// (those that created a root object) as WM_DEVICECHANGE with a HID device-interface record.
#pragma once

#include "SimState.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mwsim {

enum class EventKind : uint32_t { Dpi = 1, Dpi2, Scaler, Profile, Otf, App, Redirect };

struct EventInfo
{
    EventKind kind;
    const IID* iid;
    const wchar_t* name; // the event interface's name, as the dump shows it
};
const std::vector<EventInfo>& AllEvents();
const EventInfo* EventByIid(REFIID iid);
const EventInfo* EventByKind(uint32_t kind);
// Whether the device has the feature that fires these events.
bool DeviceOffers(Dev dev, EventKind kind);

// The methods of _IOTFMacroRecordingEvents, in slot order.
enum OtfMethod : uint32_t { kOtfMethodStart = 0, kOtfMethodEnd, kOtfMethodAssign, kOtfMethodCancel };

// One event of one device, as it crosses to the window of a connection. a, b, c and text are the
// event method's arguments in order (see SimConnect.cpp for the mapping of each kind).
struct Notice
{
    Dev dev = Dev::Mouse;
    uint32_t generation = 0;
    EventKind kind = EventKind::Dpi;
    uint32_t method = 0;
    int64_t a = 0, b = 0, c = 0;
    std::wstring text;
};
// WM_COPYDATA's dwData of a notice.
inline constexpr ULONG_PTR kNoticeTag = 0x4E564D48; // "HMVN"
inline constexpr const wchar_t* kEventWindowClass = L"HvMwSimEventWindow";

Notice MakeNotice(const SimState& state, Dev dev, EventKind kind);
std::vector<uint8_t> EncodeNotice(const Notice& notice);
// Refuses a block of the wrong size or with an unknown kind.
bool DecodeNotice(const void* data, size_t bytes, Notice* notice);

// The events a change of state amounts to, as the device reports them: the active profile, and the
// DPI and sensitivity values and stage in effect (those of the active profile). Nothing when
// nothing changed, so re-activating the active profile fires nothing.
void CollectStateEvents(const SimState& before, const SimState& after, std::vector<Notice>* out);

struct Delivery
{
    uint64_t window;
    uint32_t pid;
    std::vector<uint8_t> notice;
};
// Which windows get which notice, in the order of the notices (planned while the state is held).
std::vector<Delivery> PlanDeliveries(const SimState& state, const std::vector<Notice>& notices);
// Sends the notices; call with the state released. Connections whose window has gone (its process
// or thread ended without unadvising) are dropped from the state afterwards.
void Deliver(const std::vector<Delivery>& deliveries);

// Whether a window still belongs to the process that recorded it.
bool WindowAlive(uint64_t window, uint32_t pid);
bool ProcessAlive(uint32_t pid);
// Adds a process to the users of the simulator (and forgets those that have ended); true if added.
bool RegisterClient(SimState& state, uint32_t pid);

// "\\?\HID#VID_9D17&PID_0022#..." with the HID interface class, as a HID device interface is named.
std::wstring DeviceInterfacePath(DWORD vendor, DWORD product);
// Sends WM_DEVICECHANGE (DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE) with a device-interface
// record of that device to every top-level window of the client processes; the number of windows.
int BroadcastDeviceChange(const std::vector<uint32_t>& clients, bool arrival, DWORD vendor, DWORD product);
inline constexpr DWORD kVendorId = 0x9D17;

// Features the control tool can switch off, by interface name ("IDpi"); "0x80000005" stands for the
// profile property of the application path (its callers fall back to 0x80000002).
bool IsFeatureName(const std::wstring& name);
bool IsRemovable(REFIID iid);
bool IsRemoved(const DeviceState& device, REFIID iid);
bool IsAppPathRemoved(const DeviceState& device);
inline constexpr const wchar_t* kAppPathFeature = L"0x80000005";

} // namespace mwsim
