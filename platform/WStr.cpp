#include "platform/WStr.h"

#include <windows.h>
#include <cstdarg>
#include <cwchar>

namespace wstr {

std::wstring Format(const wchar_t* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    int n = _vscwprintf(fmt, copy);
    va_end(copy);
    std::wstring out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        _vsnwprintf(&out[0], out.size(), fmt, args);
        out.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

namespace {

// What CompareNoCase answers when CompareStringOrdinal fails (returns 0): the upper-case copies
// compared, so that a failure never reads as "equal".
int CompareUpperCopies(const std::wstring& a, const std::wstring& b)
{
    int c = ToUpper(a).compare(ToUpper(b));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

} // namespace

int CompareNoCase(const wchar_t* a, const wchar_t* b)
{
    // A null string is the empty string.
    a = a ? a : L"";
    b = b ? b : L"";
    int r = ::CompareStringOrdinal(a, -1, b, -1, TRUE);
    return r ? r - CSTR_EQUAL : CompareUpperCopies(a, b);
}

int CompareNoCase(const std::wstring& a, const std::wstring& b)
{
    int r = ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                   static_cast<int>(b.size()), TRUE);
    return r ? r - CSTR_EQUAL : CompareUpperCopies(a, b);
}

std::wstring FileNameOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool EqualsNoCase(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

size_t FindNoCase(const std::wstring& text, const std::wstring& what, size_t from)
{
    return ToUpper(text).find(ToUpper(what), from);
}

std::wstring ToUpper(std::wstring s)
{
    if (!s.empty())
        ::CharUpperBuffW(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

std::wstring ToLower(std::wstring s)
{
    if (!s.empty())
        ::CharLowerBuffW(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

std::wstring Trim(const std::wstring& s)
{
    const wchar_t* blanks = L" \t\r\n";
    size_t first = s.find_first_not_of(blanks);
    if (first == std::wstring::npos)
        return std::wstring();
    size_t last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

std::wstring Utf8ToWide(const std::string& s)
{
    if (s.empty())
        return std::wstring();
    int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &out[0], n);
    return out;
}

std::string WideToUtf8(const std::wstring& s)
{
    if (s.empty())
        return std::string();
    int n = ::WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &out[0], n, nullptr, nullptr);
    return out;
}

bool CopyBounded(wchar_t* dst, size_t cap, const wchar_t* src)
{
    if (!dst || cap == 0)
        return false;
    if (!src)
        src = L"";
    size_t i = 0;
    for (; i + 1 < cap && src[i]; ++i)
        dst[i] = src[i];
    dst[i] = L'\0';
    return src[i] == L'\0';
}

} // namespace wstr
