#include "mwtest/KeyNames.h"

#include <vector>

#include "mwapi/HvMwApi.h"

LPARAM KeyNameParam(DWORD keyCode)
{
    LPARAM param = static_cast<LPARAM>(keyCode & 0xFFFF) << 16;
    if ((keyCode & hvmw::kKeyCodeE0) || keyCode == 0x45)
        param |= 1 << 24;
    return param;
}

std::wstring KeyNameOfCode(DWORD keyCode, int maxChars)
{
    return KeyNameOfParam(KeyNameParam(keyCode), maxChars);
}

LPARAM SingleKeyNameParam(WORD makeCode, bool extended)
{
    const LPARAM param = static_cast<LPARAM>(makeCode) << 16;
    if (makeCode == 0x45)
        return extended ? param : param | (1 << 24);
    return extended ? param | (1 << 24) : param;
}

std::wstring KeyNameOfParam(LPARAM param, int maxChars)
{
    if (maxChars <= 1)
        return std::wstring();
    std::vector<wchar_t> name(static_cast<size_t>(maxChars), L'\0');
    const int length = ::GetKeyNameTextW(static_cast<LONG>(param), name.data(), maxChars);
    return std::wstring(name.data(), length > 0 && length < maxChars ? static_cast<size_t>(length) : 0);
}
