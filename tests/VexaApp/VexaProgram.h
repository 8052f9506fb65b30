// The configuration program as the user runs it, for the tests: its install directory in the
// test's folder (the skin image, the program, a stand-in tray program), the installer's registry
// values, and one running copy driven through its windows. The simulator's state and journal are the
// test's (HV_TEST_DIR reaches the program through its environment).
#pragma once

#include "HvTest.h"

#include <string>
#include <vector>

namespace vexatest {

// "<test dir>\install", laid out once per test program.
std::wstring InstallDir();
// Lays out the install directory (once) and writes the installer's values for it.
void PrepareInstall();
constexpr const wchar_t* kTrayProgram = L"HalvoVexaSysTray.exe";
constexpr const wchar_t* kMainClass = L"SINGLE_INSTANCE_APP_VEXA";
// How long a test waits for what takes the program many middleware calls (a read, a write) on a
// busy machine.
constexpr DWORD kSlowMs = hvtest::SlowTimeoutMs;

class VexaProgram
{
public:
    VexaProgram() = default;
    VexaProgram(const VexaProgram&) = delete;
    VexaProgram& operator=(const VexaProgram&) = delete;

    // Starts the install copy and waits until its main window is up; false (with a test failure)
    // when it is not. With journalReads the simulator journals every call, reads too.
    bool Start(bool journalReads = false);
    // The same from another install directory (its installer values written first).
    bool StartFrom(const std::wstring& installDir, bool journalReads = false);
    // Starts a copy without waiting for anything (a second copy).
    bool StartOnly(hvtest::ChildProcess& process) const;

    HWND Main() const { return m_main; }
    hvtest::ChildProcess& Process() { return m_process; }
    bool Running() const { return m_process.Running(); }

    // The visible item window of that id; null when none.
    // While the program holds its window's painting (a page switch), nothing of the window counts
    // as shown: these wait until it is shown again.
    HWND Item(int id) const
    {
        WaitWhileHeld();
        return hvtest::FindItemWindow(m_main, id);
    }
    bool IsItemEnabled(int id) const;
    // What a click on a button item of the main window or its current page sends.
    bool Click(int id) const
    {
        WaitWhileHeld();
        return hvtest::PostItemCommand(m_main, id);
    }
    // The same, sent: returns once the program has handled it (not for a command that opens a
    // popup, which would hold the call until the popup ends).
    bool ClickAndWait(int id) const;
    // A choice in a drop-down item of the current page, as the item reports it (sent).
    bool ChooseInDropdown(int id, int index) const;
    // Waits until the window (or item) state holds; false on time-out.
    bool WaitForItemEnabled(int id, bool enabled, DWORD timeoutMs = kSlowMs) const;
    bool WaitForItemShown(int id, DWORD timeoutMs = kSlowMs) const;
    // A visible top-level window of the program other than the main window (a popup); null on
    // time-out.
    HWND WaitForPopup(DWORD timeoutMs = kSlowMs) const;
    HWND Popup() const;
    // The text of an item (its window text).
    std::wstring ItemText(int id) const;
    // The window text of any window of the program, waiting as long as the program is busy.
    static std::wstring TextOf(HWND window);
    // Waits for the program to end; true when it has.
    bool WaitForExit(DWORD timeoutMs = kSlowMs) { return m_process.Wait(timeoutMs); }

private:
    void WaitWhileHeld() const;

    hvtest::ChildProcess m_process;
    HWND m_main = nullptr;
};

// The simulator's journal lines of one device ("mouse ...", "keyboard ...") that change something,
// and all of its lines; the journal is the test's.
std::vector<std::string> JournalOf(const char* device);
size_t JournalSize();

} // namespace vexatest
