// CDeviceManager: the tray's one way to the devices. It hands out short-lived device wrappers
// (HvDevice.h), keeps the table of the devices the tray supports, and owns, per device, the list of
// live event connections that carry the middleware's events to the tray dialog's handlers.
//
// Everything runs on the tray's user-interface thread; the manager has no locks. The connections
// must be dropped (UnregisterAllCallbacks) before the thread leaves its COM apartment.
#pragma once

#include "SysTray/EventConnections.h"
#include "SysTray/HvDevice.h"

#include <map>
#include <memory>
#include <vector>

// Bits of the events a device's connections carry.
enum DeviceEventMask : DWORD
{
    kEventDpi = 0x01,
    kEventProfile = 0x02,
    kEventLaunchApp = 0x04,
    kEventMacro = 0x08,
    kEventAudioSync = 0x10,
};

struct DeviceSlotInfo
{
    DWORD productId;
    const wchar_t* pathText;    // what the device's interface path contains
    const wchar_t* displayName; // the device's entry in the tray menu
    DWORD eventMask;            // DeviceEventMask bits
};

// The supported devices, in menu order: the mouse, then the keyboard.
inline constexpr DeviceSlotInfo kDeviceSlots[] = {
    {hvmw::kProductMouse, L"PID_0022", L"VEXA Mouse", kEventDpi | kEventProfile | kEventLaunchApp},
    {hvmw::kProductKeyboard, L"PID_0023", L"VEXA Keyboard", kEventProfile | kEventLaunchApp | kEventMacro},
};

class CDeviceManager
{
public:
    CDeviceManager() = default;
    ~CDeviceManager();
    CDeviceManager(const CDeviceManager&) = delete;
    CDeviceManager& operator=(const CDeviceManager&) = delete;

    // A new wrapper of the device, with a middleware root of its own; the manager owns it until
    // ReleaseDevice, which every caller calls within the same handler (or let CScopedDevice do it).
    CHvDevice* GetDevice(DWORD productId);
    // Deletes the wrapper (also one the manager did not hand out); null is ignored.
    void ReleaseDevice(CHvDevice* device);
    size_t OpenDeviceCount() const { return m_open.size(); }

    // Fills the device table from kDeviceSlots.
    void BuildDeviceTable();
    const std::map<DWORD, DeviceSlotInfo>& DeviceTable() const { return m_slots; }

    // Makes the device's connections, one per bit of its event mask, for the handler (borrowed; it
    // must outlive them). False when the device already has callbacks. A connection whose feature
    // cannot be had is kept as a null entry; an absent device gets only null entries and true.
    bool RegisterDeviceCallbacks(DWORD productId, IDeviceCallbacksHandler* handler);
    // True when the device has at least one live (non-null) connection.
    bool AreDeviceCallbacksRegistered(DWORD productId) const;
    // Deletes the device's connections, the last first; nothing for a device without a list.
    void UnregisterDeviceCallbacks(DWORD productId);
    // RegisterDeviceCallbacks for each device of the table in ascending product id while every call
    // so far succeeded; the result of the last call made.
    bool RegisterAllCallbacks(IDeviceCallbacksHandler* handler);
    bool AreAllCallbacksRegistered() const;
    void UnregisterAllCallbacks();

    // The stored connections of a device, null entries included; null when it has no list.
    const std::vector<std::unique_ptr<IDeviceCallback>>* Callbacks(DWORD productId) const;

private:
    std::map<DWORD, DeviceSlotInfo> m_slots;
    std::map<DWORD, std::vector<std::unique_ptr<IDeviceCallback>>> m_callbacks;
    std::vector<std::unique_ptr<CHvDevice>> m_open;
};

// The tray's device manager, made on first use.
CDeviceManager& TheDeviceManager();

// Pairs GetDevice with ReleaseDevice for one handler.
class CScopedDevice
{
public:
    CScopedDevice(CDeviceManager& manager, DWORD productId) : m_manager(manager), m_device(manager.GetDevice(productId)) {}
    ~CScopedDevice() { m_manager.ReleaseDevice(m_device); }
    CScopedDevice(const CScopedDevice&) = delete;
    CScopedDevice& operator=(const CScopedDevice&) = delete;

    CHvDevice* operator->() const noexcept { return m_device; }
    CHvDevice* Get() const noexcept { return m_device; }

private:
    CDeviceManager& m_manager;
    CHvDevice* m_device;
};
