// What the tray program's tests share: the install directory they run from (the skin image, the
// program and the stand-ins of the programs it starts), the registry values the installer writes, the
// stand-ins' processes, and watching the tray menu that this thread shows.
#pragma once

#include "TestWindows.h"
#include "platform/Menu.h"

#include <windows.h>

#include <string>
#include <vector>

namespace traytest {

// The folder of the running test program: the tray's install directory in the tests.
std::wstring InstallDir();
// Lays the install directory out, once per test program before it runs the tray: the skin image, the
// program, and the stand-ins of the programs it starts, which show a window. False on any failure.
bool LayOutInstall();

// The installer's key belongs to a test while it runs (the tray makes it when it reads it): the key
// is deleted when the object goes, so that it stands in no other test's way.
class CInstallerKey
{
public:
    CInstallerKey() = default;
    ~CInstallerKey();
    CInstallerKey(const CInstallerKey&) = delete;
    CInstallerKey& operator=(const CInstallerKey&) = delete;
};

// The stand-ins: "HalvoVexaConfig.exe" and "App.exe" in the install directory.
std::wstring StandInPath(const wchar_t* exeName);
// How often a stand-in started since ForgetStarts.
int StandInStarts(const wchar_t* exeName);
// Waits until a stand-in has noted exactly starts starts (a started stand-in notes itself a moment
// later); true if it has.
bool WaitForStarts(const wchar_t* exeName, int starts, DWORD timeoutMs = 15000);
void ForgetStarts(const wchar_t* exeName);
// The ids of the running processes of that executable file name (exact).
std::vector<DWORD> ProcessesNamed(const wchar_t* exeName);
// Ends every process of that executable file name and waits until they are gone.
void EndProcessesNamed(const wchar_t* exeName);
// Waits until count processes of that name run; true if they do.
bool WaitForProcesses(const wchar_t* exeName, size_t count, DWORD timeoutMs = hvtest::DefaultTimeoutMs);

// Whether the shell holds the tray's icon (id 129) of window: the shell modifies only an icon it holds.
bool IconShown(HWND window);

// The items of a menu, one line each: "text|id|flags" with flags from "c" checked, "g" greyed,
// "d" default, "p" a popup (its id then -1), "-" for a separator.
std::vector<std::string> MenuLines(const CMenu& menu);

// Ends the menus this thread shows as soon as they are up, noting when each was seen. With a window
// to close, it posts WM_CLOSE to that window instead, while the menu shows.
class CMenuWatcher
{
public:
    explicit CMenuWatcher(HWND closeWhenShown = nullptr);
    ~CMenuWatcher();
    CMenuWatcher(const CMenuWatcher&) = delete;
    CMenuWatcher& operator=(const CMenuWatcher&) = delete;

    int Seen() const;
    // GetTickCount when the last menu was seen.
    DWORD LastSeenAt() const;

private:
    UINT_PTR m_timer = 0;
};

} // namespace traytest
