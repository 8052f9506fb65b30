#include "RawInput.h"

#include <cstring>

namespace {

constexpr USHORT kGenericDesktop = 1;
constexpr USHORT kMouseUsage = 2;
constexpr USHORT kKeyboardUsage = 6;

bool Register(HWND window, DWORD mouseFlags, DWORD keyboardFlags)
{
    RAWINPUTDEVICE devices[2] = {
        {kGenericDesktop, kMouseUsage, mouseFlags, window},
        {kGenericDesktop, kKeyboardUsage, keyboardFlags, window},
    };
    return ::RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE)) != FALSE;
}

} // namespace

bool RegisterKeyboardAndMouse(HWND window)
{
    return Register(window, RIDEV_INPUTSINK, RIDEV_INPUTSINK | RIDEV_NOLEGACY);
}

void RemoveKeyboardAndMouse()
{
    Register(nullptr, RIDEV_REMOVE, RIDEV_REMOVE);
}

bool ReadRawInput(LPARAM input, RAWINPUT* record)
{
    HRAWINPUT handle = reinterpret_cast<HRAWINPUT>(input);
    UINT size = 0;
    if (::GetRawInputData(handle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0)
        return false;
    // Only a keyboard or mouse report fits the record; anything larger is another device's.
    if (size < sizeof(RAWINPUTHEADER) || size > sizeof(RAWINPUT))
        return false;
    std::memset(record, 0, sizeof(RAWINPUT));
    UINT read = size;
    if (::GetRawInputData(handle, RID_INPUT, record, &read, sizeof(RAWINPUTHEADER)) != size)
        return false;
    if (record->header.dwType == RIM_TYPEKEYBOARD)
        return size >= sizeof(RAWINPUTHEADER) + sizeof(RAWKEYBOARD);
    if (record->header.dwType == RIM_TYPEMOUSE)
        return size >= sizeof(RAWINPUTHEADER) + sizeof(RAWMOUSE);
    return false;
}
