// CPcManager: what the tray needs of the registry and of other processes. It reads the language name
// and the install directory that the installer wrote under the configuration program's key, starts
// and ends the configuration program "HalvoVexaConfig.exe", and names the program in the foreground
// for the automatic profile switch. No state of its own; every failure gives false and is reported
// to nobody.
#pragma once

#include <windows.h>

#include <string>

inline constexpr wchar_t kConfigToolExe[] = L"HalvoVexaConfig.exe";
// HKEY_LOCAL_MACHINE; the configuration program's key.
inline constexpr wchar_t kVexaRegistryKey[] = L"Software\\Halvo\\Vexa";
// The registry's texts are read into 510 bytes: 254 characters and the terminator.
inline constexpr size_t kRegistryTextChars = 255;

class CPcManager
{
public:
    // The value "Language"; false when the key or the value cannot be read.
    bool GetLanguage(std::wstring& name) const;
    // The value "InstallDir" without one trailing backslash; false when it cannot be read or is empty.
    bool GetInstallDir(std::wstring& folder) const;
    // Makes the install directory current and opens "HalvoVexaConfig.exe" there with the shell verb
    // "open"; true when the shell reports success.
    bool LaunchConfigTool() const;

    // The executable file name of a process, from a process snapshot.
    bool GetProcessExeName(DWORD processId, std::wstring& name) const;
    // The executable file name of the process that owns the foreground window.
    bool GetForegroundProgram(std::wstring& name) const;
    // Whether the process that owns the foreground window runs the program a profile links
    // (LinkNamesProgram).
    bool IsForegroundProgram(const std::wstring& program) const;
    bool IsConfigToolRunning() const;
    // Ends the first process found that runs the configuration program; true when it was ended.
    bool TerminateConfigTool() const;
    bool EnableDebugPrivilege() const;
};

CPcManager& ThePcManager();

// Whether a profile's linked program names the executable exeName: the file-name part of each (the
// link may be a full path, as the test program stores it) compared without regard to case, as the
// file system compares them. An empty link names nothing.
bool LinkNamesProgram(const std::wstring& link, const std::wstring& exeName);
