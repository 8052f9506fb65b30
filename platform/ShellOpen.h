// Opening a file or a web address with the shell, behind one seam.
//
// The programs never call ShellExecuteW themselves: ShellOpen asks the process's current
// IShellOpener, which is the shell unless something installed another one with SetShellOpener. The
// tests do: under Wine the shell's open reaches the host's own programs, so a test answers the
// request instead (and sees what was asked).
#pragma once

#include <windows.h>

#include <string>

class IShellOpener
{
public:
    virtual ~IShellOpener() = default;
    // ShellExecuteW(owner, verb, target, no parameters, no folder, show): true when it started.
    virtual bool Open(HWND owner, const std::wstring& verb, const std::wstring& target, int show) = 0;
};

// The shell itself.
IShellOpener& SystemShellOpener();
// Installs an opener for the process (null puts the shell back); returns the one replaced, null when
// it was the shell. The installed object is borrowed and must outlive its installation.
IShellOpener* SetShellOpener(IShellOpener* opener);
// Opens target with verb ("open", "Open", "explore"...) through the opener in effect.
bool ShellOpen(HWND owner, const wchar_t* verb, const std::wstring& target, int show = SW_SHOWNORMAL);
