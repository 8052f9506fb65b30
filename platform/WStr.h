// Wide-string helpers over std::wstring.
#pragma once

#include <string>

namespace wstr {

// printf-style formatting into a new string.
std::wstring Format(const wchar_t* fmt, ...);

// Ordinal comparisons without regard to case (<0, 0, >0); a null pointer is the empty string.
int CompareNoCase(const std::wstring& a, const std::wstring& b);
int CompareNoCase(const wchar_t* a, const wchar_t* b);
bool EqualsNoCase(const std::wstring& a, const std::wstring& b);
// Position of what in text without regard to case, or npos.
size_t FindNoCase(const std::wstring& text, const std::wstring& what, size_t from = 0);

std::wstring ToUpper(std::wstring s);
std::wstring ToLower(std::wstring s);
std::wstring Trim(const std::wstring& s);

std::wstring Utf8ToWide(const std::string& s);
std::string WideToUtf8(const std::wstring& s);

// Copies src into dst[cap], always terminated when cap > 0; false when src did not fit.
// The file part of a path: what follows its last backslash or slash.
std::wstring FileNameOf(const std::wstring& path);
bool CopyBounded(wchar_t* dst, size_t cap, const wchar_t* src);

} // namespace wstr
