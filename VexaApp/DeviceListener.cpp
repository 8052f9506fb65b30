#include "VexaApp/DeviceListener.h"

#include <dbt.h>

#include <cstddef>
#include <cwctype>

namespace {

// The HID device-interface class.
constexpr GUID kHidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

} // namespace

CDeviceListener::~CDeviceListener()
{
    UnregisterAll();
}

bool CDeviceListener::Register(HWND window)
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kHidInterfaceClass;
    HDEVNOTIFY handle = ::RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!handle)
        return false;
    m_handles.push_back(handle);
    return true;
}

void CDeviceListener::UnregisterAll()
{
    while (!m_handles.empty()) {
        ::UnregisterDeviceNotification(m_handles.back());
        m_handles.pop_back();
    }
}

CDeviceListener& DeviceListener()
{
    static CDeviceListener listener;
    return listener;
}

uint32_t ParseDeviceId(const std::wstring& path, const wchar_t* token)
{
    std::wstring upper = path;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(c));
    std::wstring key = token ? token : L"";
    for (wchar_t& c : key)
        c = static_cast<wchar_t>(std::towupper(c));
    const size_t at = key.empty() ? std::wstring::npos : upper.find(key);
    if (at == std::wstring::npos)
        return 0;
    uint32_t value = 0;
    for (size_t i = at + key.size(); i < upper.size() && i < at + key.size() + 4; ++i) {
        const wchar_t c = upper[i];
        uint32_t digit;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        else
            break;
        value = value * 16 + digit;
    }
    return value;
}

bool DeviceInterfacePathOf(LPARAM record, std::wstring* path)
{
    path->clear();
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(record);
    if (!header || header->dbch_size < sizeof(DEV_BROADCAST_HDR) ||
        header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return false;
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (header->dbch_size < nameOffset + sizeof(wchar_t))
        return false;
    // The name runs to its terminator or to the record's end, whichever comes first.
    const auto* name = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header)->dbcc_name;
    const size_t capacity = (header->dbch_size - nameOffset) / sizeof(wchar_t);
    size_t length = 0;
    while (length < capacity && name[length] != L'\0')
        ++length;
    path->assign(name, length);
    return true;
}
