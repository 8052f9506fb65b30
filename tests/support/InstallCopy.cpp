#include "InstallCopy.h"
#include "Paths.h"

#include <fstream>
#include <iterator>

namespace hvtest {
namespace {

std::wstring StartsFile(const std::wstring& folder, const std::wstring& exeName)
{
    const size_t dot = exeName.find_last_of(L'.');
    return folder + L"\\" + exeName.substr(0, dot) + L".starts";
}

bool SetValue(HKEY key, const wchar_t* name, const std::wstring& value)
{
    if (value.empty()) {
        const LONG r = RegDeleteValueW(key, name);
        return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
    }
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace

std::wstring SkinImageDir()
{
    return BinDir() + L"\\..\\skin-image";
}

bool CopyFolder(const std::wstring& from, const std::wstring& to)
{
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyFolder(from + L"\\" + name, to + L"\\" + name) && ok;
        else
            ok = CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) && ok;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return ok;
}

std::wstring StandInProgram()
{
    return BinFile(L"hv_standin.exe");
}

std::wstring StandInWindowProgram()
{
    return BinFile(L"hv_standin_window.exe");
}

int StandInStarts(const std::wstring& folder, const std::wstring& exeName)
{
    std::ifstream file(StartsFile(folder, exeName).c_str());
    int lines = 0;
    for (std::string line; std::getline(file, line);)
        if (!line.empty())
            ++lines;
    return lines;
}

void ForgetStandInStarts(const std::wstring& folder, const std::wstring& exeName)
{
    DeleteFileW(StartsFile(folder, exeName).c_str());
}

bool LayOutInstall(const InstallLayout& layout)
{
    if (!CopyFolder(SkinImageDir(), layout.dir))
        return false;
    for (const std::wstring& program : layout.programs)
        if (!CopyFileW(BinFile(program).c_str(), (layout.dir + L"\\" + program).c_str(), FALSE))
            return false;
    for (const std::wstring& standIn : layout.standIns)
        if (!CopyFileW(StandInProgram().c_str(), (layout.dir + L"\\" + standIn).c_str(), FALSE))
            return false;
    for (const std::wstring& standIn : layout.windowStandIns)
        if (!CopyFileW(StandInWindowProgram().c_str(), (layout.dir + L"\\" + standIn).c_str(), FALSE))
            return false;
    return true;
}

bool SetInstallerValues(const std::wstring& installDir, const std::wstring& language)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Halvo\\VEXA", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const bool ok = SetValue(key, L"InstallDir", installDir) && SetValue(key, L"Language", language);
    RegCloseKey(key);
    return ok;
}

} // namespace hvtest
