#include "model/ProfileFiles.h"

#include <memory>
#include <vector>

#include "model/Profile.h"
#include "platform/Handles.h"
#include "platform/WStr.h"

namespace {

std::wstring& ProgramFolderSetting()
{
    static std::wstring folder;
    return folder;
}

std::wstring RunningProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return std::wstring();
    std::wstring folder(path, n);
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

CConfigPaths BuildPaths(const wchar_t* settingsName)
{
    CConfigPaths paths{};
    const std::wstring folder = ProgramFolder();
    wstr::CopyBounded(paths.settingsFile, MAX_PATH,
                      wstr::Format(L"%ls%ls%ls.%ls", folder.c_str(), L"save\\", settingsName, L"hvc").c_str());
    wstr::CopyBounded(paths.profileFolder, MAX_PATH, wstr::Format(L"%ls%ls", folder.c_str(), L"save\\").c_str());
    wstr::CopyBounded(paths.macroFolder, MAX_PATH, wstr::Format(L"%ls%ls", folder.c_str(), L"save\\").c_str());
    return paths;
}

// Creates the folder of a file path and the folders above it where they are missing.
void CreateFolderOf(const std::wstring& file)
{
    const size_t slash = file.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash == 0)
        return;
    const std::wstring folder = file.substr(0, slash);
    if (::GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    CreateFolderOf(folder);
    ::CreateDirectoryW(folder.c_str(), nullptr);
}

// The names (without folder and extension, at most 255 characters) of the profile files, in the
// order the system lists them.
std::vector<std::wstring> ListProfileFiles(const CConfigPaths& paths, const wchar_t* extension)
{
    std::vector<std::wstring> names;
    const std::wstring pattern = wstr::Format(L"%ls*.%ls", paths.profileFolder, extension);
    WIN32_FIND_DATAW data{};
    CFindHandle search(::FindFirstFileW(pattern.c_str(), &data));
    if (!search)
        return names;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        std::wstring name = data.cFileName;
        const size_t dot = name.find_last_of(L'.');
        if (dot != std::wstring::npos)
            name.resize(dot);
        if (name.size() > 255)
            name.resize(255);
        names.push_back(name);
    } while (::FindNextFileW(search.Get(), &data));
    return names;
}

template <class Profile, class Config>
int LoadFiles(Config& config, const CConfigPaths& paths)
{
    const wchar_t* extension = config.GetProfileFileExtension();
    const std::vector<std::wstring> names = ListProfileFiles(paths, extension);
    if (names.empty())
        return 0;
    // Loaded aside first: a file that fails must not cost the profiles the configuration holds.
    std::vector<std::unique_ptr<Profile>> loaded;
    for (const std::wstring& name : names) {
        auto profile = std::make_unique<Profile>();
        if (!profile->LoadFromFile(name.c_str(), paths.profileFolder, extension))
            return 0;
        loaded.push_back(std::move(profile));
    }
    config.ClearProfiles();
    for (const auto& profile : loaded)
        config.AddProfileCopy(profile.get());
    return static_cast<int>(loaded.size());
}

template <class Config, class ProfileItf>
bool SaveFiles(Config& config, const CConfigPaths& paths, ProfileItf* profile)
{
    const wchar_t* extension = config.GetProfileFileExtension();
    std::wstring outPath;
    if (profile)
        return profile->SaveToFile(outPath, paths.profileFolder, extension);
    for (int i = 0; i < config.GetProfileCount(); ++i)
        config.GetProfile(i)->SaveToFile(outPath, paths.profileFolder, extension);
    return true;
}

template <class Profile, class Config>
int LoadAll(Config& config, const CConfigPaths& paths)
{
    const int loaded = LoadFiles<Profile>(config, paths);
    const std::wstring active = ReadSettingString(paths.settingsFile, kSettingsSection, kActiveProfileKey, L"");
    if (loaded == 0)
        return 0;
    config.SetActiveProfile(config.GetProfile(0));
    if (!active.empty())
        if (auto* named = config.FindProfileByName(active.c_str()))
            config.SetActiveProfile(named);
    return loaded;
}

template <class Config>
bool SaveAll(Config& config, const CConfigPaths& paths)
{
    if (!SaveFiles(config, paths, static_cast<decltype(config.GetActiveProfile())>(nullptr)))
        return false;
    const auto* active = config.GetActiveProfile();
    if (!active)
        return false;
    return WriteSettingString(paths.settingsFile, kSettingsSection, kActiveProfileKey, active->GetName().c_str());
}

} // namespace

void SetProgramFolder(const wchar_t* folder)
{
    std::wstring value = folder ? folder : L"";
    if (!value.empty() && value.back() != L'\\' && value.back() != L'/')
        value += L'\\';
    ProgramFolderSetting() = value;
}

std::wstring ProgramFolder()
{
    const std::wstring& set = ProgramFolderSetting();
    return set.empty() ? RunningProgramFolder() : set;
}

CConfigPaths CConfigPaths::ForKeyboard()
{
    return BuildPaths(L"Drummel");
}

CConfigPaths CConfigPaths::ForMouse()
{
    return BuildPaths(L"DrummelMouse");
}

std::wstring ReadSettingString(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                               const wchar_t* defaultValue)
{
    std::vector<wchar_t> buffer(kSettingValueChars, L'\0');
    ::GetPrivateProfileStringW(section, key, defaultValue ? defaultValue : L"", buffer.data(), kSettingValueChars,
                               file);
    buffer.back() = L'\0';
    return buffer.data();
}

bool WriteSettingString(const wchar_t* file, const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    if (!file || !*file)
        return false;
    CreateFolderOf(file);
    return ::WritePrivateProfileStringW(section, key, value ? value : L"", file) != FALSE;
}

int LoadProfileFiles(IMouseConfig& config, const CConfigPaths& paths)
{
    return LoadFiles<CVxProfile_Mouse>(config, paths);
}

int LoadProfileFiles(IKeyboardConfig& config, const CConfigPaths& paths)
{
    return LoadFiles<CVxProfile_Keyboard>(config, paths);
}

bool SaveProfileFiles(IMouseConfig& config, const CConfigPaths& paths, IMouseProfile* profile)
{
    return SaveFiles(config, paths, profile);
}

bool SaveProfileFiles(IKeyboardConfig& config, const CConfigPaths& paths, IKeyboardProfile* profile)
{
    return SaveFiles(config, paths, profile);
}

int LoadProfiles(IMouseConfig& config, const CConfigPaths& paths)
{
    return LoadAll<CVxProfile_Mouse>(config, paths);
}

int LoadProfiles(IKeyboardConfig& config, const CConfigPaths& paths)
{
    return LoadAll<CVxProfile_Keyboard>(config, paths);
}

bool SaveProfiles(IMouseConfig& config, const CConfigPaths& paths)
{
    return SaveAll(config, paths);
}

bool SaveProfiles(IKeyboardConfig& config, const CConfigPaths& paths)
{
    return SaveAll(config, paths);
}
