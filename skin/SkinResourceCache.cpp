#include "skin/SkinResourceCache.h"

#include "platform/BitmapHelpers.h"

#include <windows.h>

#include <climits>
#include <cwchar>

const wchar_t* SkinTypeFolder(int32_t type)
{
    switch (type) {
    case SkinResourceFont: return L"fonts\\";
    case SkinResourceLanguage: return L"lang\\";
    case SkinResourceBinary: return L"bin\\";
    default: return L"skins\\";
    }
}

namespace {

CKernelHandle OpenForReading(const std::wstring& path)
{
    return CKernelHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
}

// 0 when the file cannot be opened; files beyond 32 bits count as unreadable.
uint32_t MeasureFile(const std::wstring& path)
{
    CKernelHandle file = OpenForReading(path);
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 || size.QuadPart > INT_MAX)
        return 0;
    return static_cast<uint32_t>(size.QuadPart);
}

void ReadWholeFile(SkinResource& entry)
{
    CKernelHandle file = OpenForReading(entry.path);
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 || size.QuadPart > INT_MAX)
        return;
    if (size.QuadPart == 0) {
        entry.fileRead = true;
        return;
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(size.QuadPart), 0);
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) || read == 0)
        return;
    buffer.resize(read);
    entry.size = read;
    entry.data = std::move(buffer);
    entry.fileRead = true;
}

void Load(SkinResource& entry)
{
    switch (entry.type) {
    case SkinResourcePicture:
        entry.size = 8;
        LoadPictureFile(entry.path.c_str(), entry.bitmap);
        break;
    case SkinResourceBitmap:
        entry.size = MeasureFile(entry.path);
        entry.bitmap.Reset(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), entry.path.c_str(), IMAGE_BITMAP,
                                                           0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE)));
        break;
    case SkinResourceFont: {
        entry.size = MeasureFile(entry.path);
        const int added = AddFontResourceW(entry.path.c_str());
        entry.fontCount = added > 0 ? added : 0;
        break;
    }
    case SkinResourceLanguage:
    case SkinResourceBinary:
        ReadWholeFile(entry);
        break;
    default:
        break;
    }
}

void Release(SkinResource& entry)
{
    if (entry.type == SkinResourceFont && entry.fontCount > 0)
        RemoveFontResourceW(entry.path.c_str());
    entry.fontCount = 0;
    entry.bitmap.Reset();
    entry.data.clear();
    entry.fileRead = false;
    entry.type = -1;
}

bool IsDeviceName(const std::wstring& name)
{
    // A device name is reserved with any extension ("NUL.txt" is NUL too).
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (_wcsicmp(stem.c_str(), device) == 0)
            return true;
    }
    if (stem.size() == 4 && (_wcsnicmp(stem.c_str(), L"COM", 3) == 0 || _wcsnicmp(stem.c_str(), L"LPT", 3) == 0))
        return stem[3] >= L'0' && stem[3] <= L'9';
    return false;
}

} // namespace

const wchar_t* SkinFileNameFault(const std::wstring& name)
{
    constexpr size_t kMaxFileName = 255;
    if (name.empty())
        return L"the name is empty";
    if (name == L"." || name == L"..")
        return L"it names a folder, not a file";
    if (name.find_first_of(L"\\/") != std::wstring::npos)
        return L"it holds a path separator, and the folder holds only files";
    if (name.find(L':') != std::wstring::npos)
        return L"it carries a drive or stream name";
    for (wchar_t c : name) {
        if (c < 0x20 || std::wcschr(L"<>\"|?*", c))
            return L"it holds a character that file names cannot hold";
    }
    if (name.back() == L'.' || name.back() == L' ')
        return L"it ends in a dot or space";
    if (name.size() > kMaxFileName)
        return L"it is longer than a file name can be";
    if (IsDeviceName(name))
        return L"it names a device";
    return nullptr;
}

bool SkinResource::IsLoaded() const
{
    return static_cast<bool>(bitmap) || fontCount > 0 || !data.empty();
}

SkinResourceCache::SkinResourceCache(std::wstring folder)
{
    SetFolder(std::move(folder));
}

void SkinResourceCache::SetFolder(std::wstring folder)
{
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
        folder += L'\\';
    m_folder = std::move(folder);
}

SkinResourceCache::~SkinResourceCache()
{
    Clear();
}

SkinResource* SkinResourceCache::Get(const wchar_t* name, int32_t type)
{
    if (!name || SkinFileNameFault(name))
        return nullptr;
    for (const auto& entry : m_entries) {
        if (entry->type == type && _wcsicmp(entry->name.c_str(), name) == 0)
            return entry.get();
    }
    auto entry = std::make_unique<SkinResource>();
    entry->name = name;
    entry->path = m_folder + SkinTypeFolder(type) + name;
    entry->type = type;
    Load(*entry);
    m_entries.push_back(std::move(entry));
    return m_entries.back().get();
}

uint32_t SkinResourceCache::GetSizeByName(const wchar_t* name) const
{
    if (!name)
        return 0;
    for (const auto& entry : m_entries) {
        if (_wcsicmp(entry->name.c_str(), name) == 0)
            return entry->size;
    }
    return 0;
}

const uint8_t* SkinResourceCache::GetBinaryResource(const wchar_t* name)
{
    SkinResource* entry = Get(name, SkinResourceBinary);
    return entry ? entry->Data() : nullptr;
}

void SkinResourceCache::Clear()
{
    while (!m_entries.empty()) {
        Release(*m_entries.back());
        m_entries.pop_back();
    }
}

std::wstring GetProgramFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::wstring();
        if (n < path.size())
            break;
        path.resize(path.size() * 2);
    }
    std::wstring folder(path.data());
    size_t slash = folder.find_last_of(L"\\/");
    folder.resize(slash == std::wstring::npos ? 0 : slash + 1);
    return folder;
}

SkinResourceCache& GetSkinResourceCache()
{
    static SkinResourceCache cache(GetProgramFolder());
    return cache;
}
