// The events of the simulated devices and how they travel between processes.
//
// A sink lives in the process and on the thread that advised it. That thread owns an event window
// (a message-only window of class kEventWindowClass, SimConnect.cpp); the shared state lists every
// connection with the window that serves it. Whoever changes a device (a program through the
// middleware, or the control tool) works out the events of the change while it holds the state and
// queues them there, in the order of the changes, as mail for the windows of the connections that
// listen; it then only posts the window a wake-up message and never waits for it, so a thread that
// advised and does not pump holds up no writer. The window's thread takes its mail under the lock,
// lets the state go, and calls the sinks that are still advised, in order.
//
// Device arrival and removal reach the top-level windows of the processes that use the simulator
// (those that created a root object) as WM_DEVICECHANGE with a HID device-interface record.
#pragma once

#include "mwsim/SimState.h"

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
// Posted to an event window when mail has come for it: wParam kNoticeTag, nothing else.
inline constexpr UINT kMailMessage = WM_APP + 2;
inline constexpr WPARAM kNoticeTag = 0x4E564D48; // "HMVN"
inline constexpr const wchar_t* kEventWindowClass = L"HvMwSimEventWindow";

Notice MakeNotice(const SimState& state, Dev dev, EventKind kind);
std::vector<uint8_t> EncodeNotice(const Notice& notice);
// Refuses a block of the wrong size or with an unknown kind.
bool DecodeNotice(const void* data, size_t bytes, Notice* notice);

// The events a change of state amounts to, as the device reports them: the active profile, and the
// DPI and sensitivity values and stage in effect (those of the active profile). Nothing when
// nothing changed, so re-activating the active profile fires nothing.
void CollectStateEvents(const SimState& before, const SimState& after, std::vector<Notice>* out);

// With the state held: queues each notice as mail for the windows of the connections that listen to
// it, drops the connections and mail of windows that have gone, and wakes each window whose mail was
// empty (a window with mail already has a wake-up on its way). Posts only: never waits.
void QueueNotices(SimState& state, const std::vector<Notice>& notices);
// With the state held: takes the mail of a window out of the state, oldest first.
std::vector<MailState> TakeMail(SimState& state, uint64_t window, uint32_t pid);

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
// The interface's name ("IDpi") for the journal, or its IID as text.
std::wstring FeatureName(REFIID iid);
bool IsRemovable(REFIID iid);
bool IsRemoved(const DeviceState& device, REFIID iid);
bool IsAppPathRemoved(const DeviceState& device);
inline constexpr const wchar_t* kAppPathFeature = L"0x80000005";

} // namespace mwsim
