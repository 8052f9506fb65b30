#include "KeyNames.h"

#include <vector>

#include "HvMwApi.h"

LPARAM KeyNameParam(DWORD keyCode)
{
    LPARAM param = static_cast<LPARAM>(keyCode & 0xFFFF) << 16;
    if ((keyCode & hvmw::kKeyCodeE0) || keyCode == 0x45)
        param |= 1 << 24;
    return param;
}

std::wstring KeyNameOfCode(DWORD keyCode, int maxChars)
{
    if (maxChars <= 1)
        return std::wstring();
    std::vector<wchar_t> name(static_cast<size_t>(maxChars), L'\0');
    const int length = ::GetKeyNameTextW(static_cast<LONG>(KeyNameParam(keyCode)), name.data(), maxChars);
    return std::wstring(name.data(), length > 0 && length < maxChars ? static_cast<size_t>(length) : 0);
}
