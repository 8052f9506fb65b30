#include "SysTray/PcManager.h"

#include "platform/Handles.h"
#include "platform/Registry.h"
#include "platform/ShellOpen.h"

#include <tlhelp32.h>

#include <functional>

namespace {

// A text value of the configuration program's key (opened for reading, created when missing as the
// configuration program does), bounded and terminated; false when the key cannot be opened or the
// value is missing, of another type or too long.
bool ReadVexaValue(const wchar_t* name, std::wstring& text)
{
    text.clear();
    CRegKey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kVexaRegistryKey, 0, nullptr, 0, KEY_READ, nullptr, key.Put(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    wchar_t buffer[kRegistryTextChars] = {};
    if (!ReadRegistryString(key.Get(), name, buffer, kRegistryTextChars))
        return false;
    text = buffer;
    return true;
}

// Calls visit for each process of a snapshot until it returns false; false when no snapshot could
// be taken.
bool ForEachProcess(const std::function<bool(const PROCESSENTRY32W&)>& visit)
{
    CKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry)) {
        // The name is terminated within its array whatever the snapshot wrote.
        entry.szExeFile[MAX_PATH - 1] = L'\0';
        if (!visit(entry))
            break;
    }
    return true;
}

// What follows the last backslash, slash or drive colon.
std::wstring FileNamePart(const std::wstring& path)
{
    const size_t separator = path.find_last_of(L"\\/:");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

} // namespace

bool CPcManager::GetLanguage(std::wstring& name) const
{
    return ReadVexaValue(L"Language", name);
}

bool CPcManager::GetInstallDir(std::wstring& folder) const
{
    if (!ReadVexaValue(L"InstallDir", folder))
        return false;
    if (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return !folder.empty();
}

bool CPcManager::LaunchConfigTool() const
{
    std::wstring folder;
    if (!GetInstallDir(folder))
        return false;
    // The relative name is found in the current directory, which the configuration program also
    // expects to be its own.
    if (!::SetCurrentDirectoryW(folder.c_str()))
        return false;
    return ShellOpen(nullptr, L"open", kConfigToolExe, SW_SHOWNORMAL);
}

bool CPcManager::GetProcessExeName(DWORD processId, std::wstring& name) const
{
    name.clear();
    bool found = false;
    ForEachProcess([&](const PROCESSENTRY32W& entry) {
        if (entry.th32ProcessID != processId)
            return true;
        name = entry.szExeFile;
        found = true;
        return false;
    });
    return found;
}

bool CPcManager::GetForegroundProgram(std::wstring& name) const
{
    name.clear();
    const HWND foreground = ::GetForegroundWindow();
    if (!foreground)
        return false;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(foreground, &processId);
    return processId && GetProcessExeName(processId, name);
}

bool CPcManager::IsForegroundProgram(const std::wstring& program) const
{
    std::wstring name;
    return GetForegroundProgram(name) && LinkNamesProgram(program, name);
}

bool LinkNamesProgram(const std::wstring& link, const std::wstring& exeName)
{
    const std::wstring linked = FileNamePart(link);
    const std::wstring running = FileNamePart(exeName);
    return !linked.empty() && ::CompareStringOrdinal(linked.c_str(), static_cast<int>(linked.size()), running.c_str(),
                                                     static_cast<int>(running.size()), TRUE) == CSTR_EQUAL;
}

bool CPcManager::IsConfigToolRunning() const
{
    EnableDebugPrivilege();
    bool running = false;
    ForEachProcess([&](const PROCESSENTRY32W& entry) {
        running = std::wstring(entry.szExeFile) == kConfigToolExe;
        return !running;
    });
    return running;
}

bool CPcManager::TerminateConfigTool() const
{
    EnableDebugPrivilege();
    DWORD processId = 0;
    ForEachProcess([&](const PROCESSENTRY32W& entry) {
        if (std::wstring(entry.szExeFile) != kConfigToolExe)
            return true;
        processId = entry.th32ProcessID;
        return false;
    });
    if (!processId)
        return false;
    CKernelHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
    // A fixed exit code: ending it with the code it reports while it runs (STILL_ACTIVE) would make
    // it look alive to everyone who asks for its exit code afterwards.
    return process && ::TerminateProcess(process.Get(), 1);
}

bool CPcManager::EnableDebugPrivilege() const
{
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw))
        return false;
    CKernelHandle token(raw);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid))
        return false;
    ::SetLastError(ERROR_SUCCESS);
    ::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, sizeof privileges, nullptr, nullptr);
    return ::GetLastError() == ERROR_SUCCESS;
}

CPcManager& ThePcManager()
{
    static CPcManager manager;
    return manager;
}
