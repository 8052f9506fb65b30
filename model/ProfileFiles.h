// Where a configuration keeps its files, and the INI-style settings file that remembers the name of
// the active profile. The devices hold the profiles; these files are only the configuration's own:
// the settings file, and the profile and macro folders that the file dialogs start in.
//
// Paths are built under the program folder: the drive and directory of the running program, ending
// in a backslash, set by the application before it creates the configurations.
#pragma once

#include <windows.h>

#include <string>

#include "model/ConfigInterfaces.h"

// The program folder the paths are built from; until set, the folder of the running program.
void SetProgramFolder(const wchar_t* folder);
std::wstring ProgramFolder();

// The paths of one configuration, built once when it is made.
struct CConfigPaths
{
    wchar_t settingsFile[MAX_PATH];
    wchar_t profileFolder[MAX_PATH];
    wchar_t macroFolder[MAX_PATH];

    // Keyboard: "<program folder>save\Drummel.hvc". The mouse keeps its own file beside it,
    // "DrummelMouse.hvc", so that the two devices never overwrite each other's active profile.
    static CConfigPaths ForKeyboard();
    static CConfigPaths ForMouse();
};

constexpr const wchar_t* kSettingsSection = L"SETTINGS";
constexpr const wchar_t* kActiveProfileKey = L"ActiveProfileName";
constexpr DWORD kSettingValueChars = 4096;   // buffer, terminator included

// The value of key in section of an INI file, at most 4095 characters; the default when the file
// or the key is missing or the file cannot be read as INI text.
std::wstring ReadSettingString(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                               const wchar_t* defaultValue);
// Creates the file's folder when it is missing. True when the system wrote the value.
bool WriteSettingString(const wchar_t* file, const wchar_t* section, const wchar_t* key, const wchar_t* value);

// The profile files (<name>.hvp in the profile folder). A configuration forwards its LoadProfiles,
// SaveProfiles, LoadProfileFiles and SaveProfileFiles here.
//
// LoadProfileFiles loads every file into a list of its own and replaces the configuration's
// profiles only when every file found loaded: a file that cannot be loaded leaves the profiles as
// they were and gives 0. No file found: 0, nothing changed. Otherwise the number loaded; none is
// active afterwards.
int LoadProfileFiles(IMouseConfig& config, const CConfigPaths& paths);
int LoadProfileFiles(IKeyboardConfig& config, const CConfigPaths& paths);
// With a profile, that profile's SaveToFile and its result; with null, every profile's in list
// order, and true.
bool SaveProfileFiles(IMouseConfig& config, const CConfigPaths& paths, IMouseProfile* profile);
bool SaveProfileFiles(IKeyboardConfig& config, const CConfigPaths& paths, IKeyboardProfile* profile);
// LoadProfileFiles, then, when it loaded any, the first profile becomes active, or the one the
// settings file names (without regard to case) when there is one of that name.
int LoadProfiles(IMouseConfig& config, const CConfigPaths& paths);
int LoadProfiles(IKeyboardConfig& config, const CConfigPaths& paths);
// SaveProfileFiles(null), then the active profile's name into the settings file; false, and
// nothing written, without an active profile.
bool SaveProfiles(IMouseConfig& config, const CConfigPaths& paths);
bool SaveProfiles(IKeyboardConfig& config, const CConfigPaths& paths);
