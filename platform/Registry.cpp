#include "platform/Registry.h"

bool ReadRegistryString(HKEY key, const wchar_t* valueName, wchar_t* buffer, size_t capacity)
{
    if (!buffer || capacity == 0)
        return false;
    buffer[0] = L'\0';
    if (capacity > MAXDWORD / sizeof(wchar_t))
        capacity = MAXDWORD / sizeof(wchar_t);
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(capacity * sizeof(wchar_t));
    LONG rc = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    if (rc != ERROR_SUCCESS || type != REG_SZ) {
        buffer[0] = L'\0';
        return false;
    }
    // The stored value may lack its terminator; one that fills the whole buffer without one is
    // longer than the buffer can hold.
    size_t chars = bytes / sizeof(wchar_t);
    if (chars > 0 && buffer[chars - 1] == L'\0')
        return true;
    if (chars >= capacity) {
        buffer[0] = L'\0';
        return false;
    }
    buffer[chars] = L'\0';
    return true;
}
