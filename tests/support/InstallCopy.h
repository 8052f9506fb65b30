// An install directory of the programs for a test that runs them as the user would: the generated
// skin image (layouts, pictures, fonts, texts, keyboard files, manual), the programs of the build,
// stand-ins for the programs they start, and the registry values the installer writes.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace hvtest {

// The build's generated skin image: "<bin dir>\..\skin-image".
std::wstring SkinImageDir();
// Copies a folder tree (files and subfolders) into to, replacing files there; false on any failure.
bool CopyFolder(const std::wstring& from, const std::wstring& to);

// The stand-in program (hv_standin.exe of the build): copied under another program's name, it notes
// each start in "<its folder>\<its name>.starts" and ends.
std::wstring StandInProgram();
// The stand-in that stays (hv_standin_window.exe): it notes its start the same way, then shows a
// window titled "<its name> stand-in" in the foreground until it is closed or ended.
std::wstring StandInWindowProgram();
// How many starts a stand-in named exeName ("HalvoVexaSysTray.exe") in folder has noted.
int StandInStarts(const std::wstring& folder, const std::wstring& exeName);
void ForgetStandInStarts(const std::wstring& folder, const std::wstring& exeName);

struct InstallLayout {
    std::wstring dir;                         // made when missing
    std::vector<std::wstring> programs;       // file names in BinDir() copied in
    std::vector<std::wstring> standIns;       // file names the stand-in is copied in as
    std::vector<std::wstring> windowStandIns; // file names the stand-in with a window is copied in as
};
// Lays the directory out: the skin image, the programs, the stand-ins. False on any failure.
bool LayOutInstall(const InstallLayout& layout);

// HKLM "Software\Halvo\VEXA": "InstallDir" and "Language" as the installer writes them; an empty
// text removes the value. False when the key cannot be written.
bool SetInstallerValues(const std::wstring& installDir, const std::wstring& language);

} // namespace hvtest
