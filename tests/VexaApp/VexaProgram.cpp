#include "VexaProgram.h"

#include "SimTest.h"

#include <gtest/gtest.h>

namespace vexatest {

std::wstring InstallDir()
{
    return hvtest::TestFile(L"install");
}

void PrepareInstall()
{
    static bool laidOut = false;
    if (!laidOut) {
        hvtest::InstallLayout layout;
        layout.dir = InstallDir();
        layout.programs = {L"HalvoVexaConfig.exe"};
        layout.standIns = {kTrayProgram};
        ASSERT_TRUE(hvtest::LayOutInstall(layout)) << "the install directory could not be laid out";
        laidOut = true;
    }
    ASSERT_TRUE(hvtest::SetInstallerValues(InstallDir(), L"English"));
    hvtest::ForgetStandInStarts(InstallDir(), kTrayProgram);
}

bool VexaProgram::StartOnly(hvtest::ChildProcess& process) const
{
    hvtest::StartOptions options;
    // Started from elsewhere, as from a shortcut: the program makes its own folders current.
    options.workDir = hvtest::TestDir();
    return process.Start(InstallDir() + L"\\HalvoVexaConfig.exe", {}, options);
}

bool VexaProgram::Start(bool journalReads)
{
    return StartFrom(InstallDir(), journalReads);
}

bool VexaProgram::StartFrom(const std::wstring& installDir, bool journalReads)
{
    if (!hvtest::SetInstallerValues(installDir, L"English")) {
        ADD_FAILURE() << "the installer's values could not be written";
        return false;
    }
    hvtest::StartOptions options;
    options.workDir = hvtest::TestDir();
    options.env = {{L"HV_MWSIM_JOURNAL_READS", journalReads ? L"1" : L""}};
    if (!m_process.Start(installDir + L"\\HalvoVexaConfig.exe", {}, options)) {
        ADD_FAILURE() << "HalvoVexaConfig.exe did not start: " << m_process.LastError();
        return false;
    }
    // The dialog is shown once its initialisation (both devices read, pages filled) is done.
    const bool up = hvtest::WaitUntil([&] {
        m_main = hvtest::FindTopWindow(kMainClass, nullptr, m_process.Id(), true);
        return m_main != nullptr || !m_process.Running();
    }, kSlowMs);
    if (!up || !m_main) {
        ADD_FAILURE() << "the main window did not come up";
        return false;
    }
    return true;
}

bool VexaProgram::IsItemEnabled(int id) const
{
    HWND item = hvtest::FindItemWindow(m_main, id, false);
    return item && IsWindowEnabled(item);
}

void VexaProgram::WaitWhileHeld() const
{
    // A switch turns the window's painting off (it is then not visible) and on again.
    hvtest::WaitUntil([&] { return !m_main || !IsWindow(m_main) || IsWindowVisible(m_main); }, kSlowMs);
}

bool VexaProgram::ClickAndWait(int id) const
{
    // To the item's parent, as the click sends it: the main window, or the page's window.
    HWND item = Item(id);
    HWND parent = item ? GetParent(item) : nullptr;
    DWORD_PTR result = 0;
    return parent && SendMessageTimeoutW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(item), BN_CLICKED),
                                         reinterpret_cast<LPARAM>(item), SMTO_NORMAL, kSlowMs, &result);
}

bool VexaProgram::ChooseInDropdown(int id, int index) const
{
    HWND item = Item(id);
    DWORD_PTR result = 0;
    return item && SendMessageTimeoutW(m_main, 0x614 /* WM_DROPDOWN_SELCHANGE */, static_cast<WPARAM>(index),
                                       reinterpret_cast<LPARAM>(item), SMTO_NORMAL, kSlowMs, &result);
}

bool VexaProgram::WaitForItemEnabled(int id, bool enabled, DWORD timeoutMs) const
{
    return hvtest::WaitUntil([&] { return IsItemEnabled(id) == enabled; }, timeoutMs);
}

bool VexaProgram::WaitForItemShown(int id, DWORD timeoutMs) const
{
    return hvtest::WaitUntil([&] { return Item(id) != nullptr; }, timeoutMs);
}

HWND VexaProgram::Popup() const
{
    for (HWND hwnd : hvtest::TopWindowsOf(m_process.Id()))
        if (hwnd != m_main && IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == m_main)
            return hwnd;
    return nullptr;
}

HWND VexaProgram::WaitForPopup(DWORD timeoutMs) const
{
    HWND popup = nullptr;
    hvtest::WaitUntil([&] { return (popup = Popup()) != nullptr; }, timeoutMs);
    return popup;
}

std::wstring VexaProgram::ItemText(int id) const
{
    return TextOf(hvtest::FindItemWindow(m_main, id, false));
}

std::wstring VexaProgram::TextOf(HWND window)
{
    // As hvtest::TextOf, but waiting on a program that is slow to answer on a busy machine rather
    // than taking it for hung.
    DWORD_PTR length = 0;
    if (!window || !SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kSlowMs, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                             kSlowMs, &copied))
        return {};
    text.resize(copied < text.size() ? copied : 0);
    return text;
}

std::vector<std::string> JournalOf(const char* device)
{
    std::vector<std::string> lines;
    const std::string prefix = std::string(device) + " ";
    for (const std::string& line : simtest::JournalLines())
        if (line.compare(0, prefix.size(), prefix) == 0)
            lines.push_back(line);
    return lines;
}

size_t JournalSize()
{
    return simtest::Journal().size();
}

} // namespace vexatest
