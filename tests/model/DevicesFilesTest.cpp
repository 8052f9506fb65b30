// The settings file and the profile folder of a configuration, on real files in the test's folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "model/KeyboardConfig.h"
#include "model/MouseConfig.h"
#include "Paths.h"
#include "model/ProfileFiles.h"

namespace {

std::wstring FreshFolder(const std::wstring& name)
{
    const std::wstring folder = hvtest::TestFile(name) + L"\\";
    const std::wstring save = folder + L"save\\";
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((save + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do
            ::DeleteFileW((save + data.cFileName).c_str());
        while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(save.c_str());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void WriteRaw(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The program folder is the process's: each test that sets it puts back what it found.
class CProgramFolderRestorer
{
public:
    CProgramFolderRestorer() : m_saved(ProgramFolder()) {}
    ~CProgramFolderRestorer()
    {
        SetProgramFolder(m_saved.c_str());
        EXPECT_EQ(m_saved, ProgramFolder());
    }
    CProgramFolderRestorer(const CProgramFolderRestorer&) = delete;
    CProgramFolderRestorer& operator=(const CProgramFolderRestorer&) = delete;

private:
    std::wstring m_saved;
};

} // namespace

TEST(DevicesSettingsFile, PathsAreBuiltUnderTheProgramFolder)
{
    const CProgramFolderRestorer restorer;
    SetProgramFolder(L"C:\\Program Files\\Halvo");
    const CConfigPaths keyboard = CConfigPaths::ForKeyboard();
    const CConfigPaths mouse = CConfigPaths::ForMouse();
    EXPECT_STREQ(L"C:\\Program Files\\Halvo\\save\\Drummel.hvc", keyboard.settingsFile);
    EXPECT_STREQ(L"C:\\Program Files\\Halvo\\save\\", keyboard.profileFolder);
    EXPECT_STREQ(L"C:\\Program Files\\Halvo\\save\\", keyboard.macroFolder);
    // The mouse keeps its own settings file, so the two active profiles never overwrite each other.
    EXPECT_STREQ(L"C:\\Program Files\\Halvo\\save\\DrummelMouse.hvc", mouse.settingsFile);
    EXPECT_STREQ(keyboard.profileFolder, mouse.profileFolder);

    // A folder too long for the fixed buffers is cut, never overrun.
    // Each configuration holds the paths of the program folder it was made under.
    const CVxConfig_Keyboard keyboardConfig;
    const CVxConfig_Mouse mouseConfig;
    EXPECT_STREQ(keyboard.settingsFile, keyboardConfig.GetSettingsFilePath());
    EXPECT_STREQ(keyboard.profileFolder, keyboardConfig.GetProfileFolder());
    EXPECT_STREQ(keyboard.macroFolder, keyboardConfig.GetMacroFolder());
    EXPECT_STREQ(mouse.settingsFile, mouseConfig.GetSettingsFilePath());
    EXPECT_STREQ(mouse.profileFolder, mouseConfig.GetProfileFolder());
    EXPECT_STREQ(mouse.macroFolder, mouseConfig.GetMacroFolder());

    // A folder too long for the fixed buffers is cut, never overrun; configurations made before
    // keep their paths.
    SetProgramFolder(std::wstring(400, L'x').c_str());
    const CConfigPaths cut = CConfigPaths::ForKeyboard();
    EXPECT_EQ(MAX_PATH - 1, static_cast<int>(wcslen(cut.settingsFile)));
    EXPECT_EQ(MAX_PATH - 1, static_cast<int>(wcslen(CVxConfig_Mouse().GetSettingsFilePath())));
    EXPECT_STREQ(L"C:\\Program Files\\Halvo\\save\\Drummel.hvc", keyboardConfig.GetSettingsFilePath());
}

TEST(DevicesSettingsFile, ActiveProfileNamePersistsAndBadFilesLoseNothing)
{
    const CProgramFolderRestorer restorer;
    const std::wstring folder = FreshFolder(L"settings");
    SetProgramFolder(folder.c_str());
    const CConfigPaths paths = CConfigPaths::ForKeyboard();

    CVxConfig_Keyboard config;
    config.CreateProfile(L"Work");
    IKeyboardProfile* games = config.CreateProfile(L"Games");

    // No active profile: nothing is written, not even the folder's file.
    EXPECT_FALSE(config.SaveProfiles());
    EXPECT_FALSE(Exists(paths.settingsFile));

    // The save folder is made when missing; the name lands under SETTINGS/ActiveProfileName.
    config.SetActiveProfile(games);
    ASSERT_TRUE(config.SaveProfiles());
    EXPECT_EQ(L"Games", ReadSettingString(paths.settingsFile, L"SETTINGS", L"ActiveProfileName", L"?"));
    wchar_t raw[64] = {};
    ::GetPrivateProfileStringW(L"SETTINGS", L"ActiveProfileName", L"", raw, 64, paths.settingsFile);
    EXPECT_STREQ(L"Games", raw);

    // A missing key or file reads as the default.
    EXPECT_EQ(L"dflt", ReadSettingString(paths.settingsFile, L"SETTINGS", L"Other", L"dflt"));
    EXPECT_EQ(L"", ReadSettingString((folder + L"none.hvc").c_str(), L"SETTINGS", L"ActiveProfileName", L""));

    // A value longer than the buffer comes back cut to 4095 characters.
    ASSERT_TRUE(WriteSettingString(paths.settingsFile, L"SETTINGS", L"Long", std::wstring(5000, L'n').c_str()));
    EXPECT_EQ(4095u, ReadSettingString(paths.settingsFile, L"SETTINGS", L"Long", L"").size());

    // A corrupt file (binary bytes, no sections) reads as empty and is written over cleanly.
    WriteRaw(paths.settingsFile, std::string("\x00\xFF\xFE garbage [[[ \x01\x02 =\r\n\xC3", 22));
    EXPECT_EQ(L"", ReadSettingString(paths.settingsFile, L"SETTINGS", L"ActiveProfileName", L""));
    EXPECT_TRUE(config.SaveProfiles());
    EXPECT_EQ(L"Games", ReadSettingString(paths.settingsFile, L"SETTINGS", L"ActiveProfileName", L""));

    // The mouse keeps its active profile in its own file: the keyboard's stays as it was.
    CVxConfig_Mouse mouse;
    mouse.SetActiveProfile(mouse.CreateProfile(L"Aim"));
    ASSERT_TRUE(mouse.SaveProfiles());
    EXPECT_EQ(L"Aim", ReadSettingString(mouse.GetSettingsFilePath(), L"SETTINGS", L"ActiveProfileName", L""));
    EXPECT_EQ(L"Games", ReadSettingString(paths.settingsFile, L"SETTINGS", L"ActiveProfileName", L""));
}

TEST(DevicesProfileFolder, LoadingKeepsTheProfilesUnlessEveryFileLoads)
{
    const CProgramFolderRestorer restorer;
    const std::wstring folder = FreshFolder(L"profiles");
    SetProgramFolder(folder.c_str());
    const CConfigPaths paths = CConfigPaths::ForMouse();

    CVxConfig_Mouse config;
    IMouseProfile* first = config.CreateProfile(L"First");
    IMouseProfile* second = config.CreateProfile(L"Second");
    config.SetActiveProfile(second);

    // An empty profile folder leaves the list untouched.
    EXPECT_EQ(0, config.LoadProfileFiles());
    EXPECT_EQ(0, config.LoadProfiles());
    ASSERT_EQ(2, config.GetProfileCount());
    EXPECT_EQ(second, config.GetActiveProfile());

    // Files no profile can be loaded from (this system keeps profiles on the devices) must not
    // cost the profiles the configuration holds.
    ::CreateDirectoryW(paths.profileFolder, nullptr);
    WriteRaw(std::wstring(paths.profileFolder) + L"Old.hvp", "not a profile");
    WriteRaw(std::wstring(paths.profileFolder) + L"Older.hvp", "");
    EXPECT_EQ(0, config.LoadProfileFiles());
    EXPECT_EQ(0, config.LoadProfiles());
    ASSERT_EQ(2, config.GetProfileCount());
    EXPECT_EQ(first, config.GetProfile(0));
    EXPECT_EQ(second, config.GetActiveProfile());

    // Saving every profile reports success; saving one reports that profile's result.
    EXPECT_TRUE(config.SaveProfileFiles(nullptr));
    EXPECT_FALSE(config.SaveProfileFiles(first));
    EXPECT_TRUE(config.SaveProfiles());
    EXPECT_EQ(L"Second", ReadSettingString(paths.settingsFile, L"SETTINGS", L"ActiveProfileName", L""));
}
