// Device presence: the program asks for the HID device-interface notices (WM_DEVICECHANGE) and
// reads the vendor and product ids from the device paths they carry.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The product ids the configuration program serves, under the vendor id kHalvoVendorId.
constexpr uint32_t kHalvoVendorId = 0x9D17;
constexpr uint32_t kMouseProductId = 0x22;
constexpr uint32_t kKeyboardProductId = 0x23;

class CDeviceListener
{
public:
    CDeviceListener() = default;
    ~CDeviceListener();  // unregisters what is still registered
    CDeviceListener(const CDeviceListener&) = delete;
    CDeviceListener& operator=(const CDeviceListener&) = delete;

    // Asks for the HID device-interface notices to window; false when the system refused.
    bool Register(HWND window);
    // Unregisters every kept notice handle, the last first.
    void UnregisterAll();
    size_t Count() const { return m_handles.size(); }

private:
    std::vector<HDEVNOTIFY> m_handles;
};

// The program's one listener.
CDeviceListener& DeviceListener();

// The hexadecimal number of (at most) four digits after token ("VID_", "PID_") in a device path,
// compared without regard to case; 0 when the token is missing or no digit follows it.
uint32_t ParseDeviceId(const std::wstring& path, const wchar_t* token);

// The device path of a WM_DEVICECHANGE record of a device interface, read within the record's
// size; false for another record type, a short record, or none.
bool DeviceInterfacePathOf(LPARAM record, std::wstring* path);
