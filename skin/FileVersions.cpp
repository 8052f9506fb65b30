#include "skin/FileVersions.h"

#include <vector>

#include "platform/WStr.h"

namespace {

const std::wstring kNoPart;

// The four parts of a version held in two double words, most significant first.
void SplitVersion(DWORD high, DWORD low, std::wstring& whole, std::wstring (&parts)[4])
{
    const int values[4] = {HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low)};
    for (int i = 0; i < 4; ++i)
        parts[i] = wstr::Format(L"%d", values[i]);
    whole = wstr::Format(L"%d.%d.%d.%d", values[0], values[1], values[2], values[3]);
}

} // namespace

void CFileVersions::SetModulePath()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A path cut at the buffer's end names another file: better none.
    m_path = length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

bool CFileVersions::ReadVersions()
{
    if (m_path.empty())
        return false;
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(m_path.c_str(), &ignored);
    if (size == 0)
        return false;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(m_path.c_str(), 0, size, block.data()))
        return false;
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\", &value, &length) || !value || length != sizeof(VS_FIXEDFILEINFO))
        return false;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    SplitVersion(info->dwFileVersionMS, info->dwFileVersionLS, m_fileVersion, m_fileParts);
    SplitVersion(info->dwProductVersionMS, info->dwProductVersionLS, m_productVersion, m_productParts);
    return true;
}

const std::wstring& CFileVersions::FilePart(int index) const
{
    return index >= 0 && index < 4 ? m_fileParts[index] : kNoPart;
}

const std::wstring& CFileVersions::ProductPart(int index) const
{
    return index >= 0 && index < 4 ? m_productParts[index] : kNoPart;
}
