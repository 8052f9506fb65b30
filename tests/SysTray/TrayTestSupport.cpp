#include "TrayTestSupport.h"

#include "ChildProcess.h"
#include "InstallCopy.h"
#include "SysTray/PcManager.h"
#include "SysTray/TrayNotifyIcon.h"
#include "TestWindows.h"
#include "platform/WStr.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <utility>

namespace traytest {

std::wstring InstallDir()
{
    const std::wstring exe = hvtest::ExePath();
    return exe.substr(0, exe.find_last_of(L'\\'));
}

bool LayOutInstall()
{
    hvtest::InstallLayout layout;
    layout.dir = InstallDir();
    layout.programs = {L"HalvoVexaSysTray.exe"};
    layout.windowStandIns = {L"HalvoVexaConfig.exe", L"App.exe"};
    return hvtest::LayOutInstall(layout);
}

CInstallerKey::~CInstallerKey()
{
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kVexaRegistryKey);
}

std::wstring StandInPath(const wchar_t* exeName)
{
    return InstallDir() + L"\\" + exeName;
}

int StandInStarts(const wchar_t* exeName)
{
    return hvtest::StandInStarts(InstallDir(), exeName);
}

bool WaitForStarts(const wchar_t* exeName, int starts, DWORD timeoutMs)
{
    const bool reached = hvtest::WaitUntil([&] { return StandInStarts(exeName) >= starts; }, timeoutMs);
    return reached && StandInStarts(exeName) == starts;
}

void ForgetStarts(const wchar_t* exeName)
{
    hvtest::ForgetStandInStarts(InstallDir(), exeName);
}

std::vector<DWORD> ProcessesNamed(const wchar_t* exeName)
{
    std::vector<DWORD> ids;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry))
        if (std::wstring(entry.szExeFile) == exeName)
            ids.push_back(entry.th32ProcessID);
    ::CloseHandle(snapshot);
    return ids;
}

void EndProcessesNamed(const wchar_t* exeName)
{
    for (DWORD id : ProcessesNamed(exeName)) {
        HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (!process)
            continue;
        ::TerminateProcess(process, 1);
        ::WaitForSingleObject(process, 5000);
        ::CloseHandle(process);
    }
    WaitForProcesses(exeName, 0);
}

bool WaitForProcesses(const wchar_t* exeName, size_t count, DWORD timeoutMs)
{
    return hvtest::WaitUntil([&] { return ProcessesNamed(exeName).size() == count; }, timeoutMs);
}

bool IconShown(HWND window)
{
    NOTIFYICONDATAW probe{};
    probe.cbSize = sizeof probe;
    probe.hWnd = window;
    probe.uID = kTrayIconId;
    return ::Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

std::vector<std::string> MenuLines(const CMenu& menu)
{
    std::vector<std::string> lines;
    const UINT defaultItem = ::GetMenuDefaultItem(menu, TRUE, 0);
    for (int i = 0; i < menu.GetMenuItemCount(); ++i) {
        const UINT state = menu.GetMenuState(i, MF_BYPOSITION);
        if (state & MF_SEPARATOR) {
            lines.push_back("-");
            continue;
        }
        std::string flags;
        if (state & MF_CHECKED)
            flags += "c";
        if (state & MF_GRAYED)
            flags += "g";
        if (static_cast<UINT>(i) == defaultItem)
            flags += "d";
        const bool popup = menu.GetSubMenu(i).GetSafeHmenu() != nullptr;
        if (popup)
            flags += "p";
        const int id = popup ? -1 : static_cast<int>(menu.GetMenuItemID(i));
        lines.push_back(wstr::WideToUtf8(menu.GetMenuString(i, MF_BYPOSITION)) + "|" + std::to_string(id) + "|" + flags);
    }
    return lines;
}

namespace {

int g_menusSeen = 0;
DWORD g_lastSeenAt = 0;
HWND g_closeWhenShown = nullptr;

// A visible menu window of this thread.
BOOL CALLBACK FindOwnMenu(HWND hwnd, LPARAM found)
{
    wchar_t name[16] = {};
    ::GetClassNameW(hwnd, name, 16);
    if (std::wstring(name) == L"#32768" && ::IsWindowVisible(hwnd) &&
        ::GetWindowThreadProcessId(hwnd, nullptr) == ::GetCurrentThreadId()) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK WatchTick(HWND, UINT, UINT_PTR, DWORD)
{
    bool found = false;
    ::EnumWindows(FindOwnMenu, reinterpret_cast<LPARAM>(&found));
    if (!found)
        return;
    ++g_menusSeen;
    g_lastSeenAt = ::GetTickCount();
    if (g_closeWhenShown)
        ::PostMessageW(std::exchange(g_closeWhenShown, nullptr), WM_CLOSE, 0, 0);
    else
        ::EndMenu();
}

} // namespace

CMenuWatcher::CMenuWatcher(HWND closeWhenShown)
{
    g_menusSeen = 0;
    g_lastSeenAt = 0;
    g_closeWhenShown = closeWhenShown;
    m_timer = ::SetTimer(nullptr, 0, 20, WatchTick);
}

CMenuWatcher::~CMenuWatcher()
{
    ::KillTimer(nullptr, m_timer);
}

int CMenuWatcher::Seen() const
{
    return g_menusSeen;
}

DWORD CMenuWatcher::LastSeenAt() const
{
    return g_lastSeenAt;
}

} // namespace traytest
