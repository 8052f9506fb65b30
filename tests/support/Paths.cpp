#include "Paths.h"
#include "ChildProcess.h"

#include <windows.h>

namespace hvtest {
namespace {

// ctest passes Windows paths written with forward slashes ("Z:/work/..."): use one separator.
std::wstring Normalised(std::wstring path)
{
    for (auto& c : path)
        if (c == L'/')
            c = L'\\';
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    return path;
}

std::wstring ExeFolder()
{
    std::wstring exe = ExePath();
    size_t slash = exe.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : exe.substr(0, slash);
}

void CreateFolders(const std::wstring& path)
{
    if (path.empty() || GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    size_t slash = path.find_last_of(L'\\');
    if (slash != std::wstring::npos && slash > 2)
        CreateFolders(path.substr(0, slash));
    CreateDirectoryW(path.c_str(), nullptr);
}

} // namespace

std::wstring EnvVar(const wchar_t* name)
{
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

std::wstring ExePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring TestDir()
{
    std::wstring dir = EnvVar(L"HV_TEST_DIR");
    dir = dir.empty() ? ExeFolder() + L"\\testdata" : Normalised(dir);
    CreateFolders(dir);
    return dir;
}

std::wstring TestFile(const std::wstring& name)
{
    return TestDir() + L"\\" + name;
}

std::wstring BinDir()
{
    std::wstring dir = EnvVar(L"HV_BIN_DIR");
    return dir.empty() ? ExeFolder() : Normalised(dir);
}

std::wstring BinFile(const std::wstring& name)
{
    return BinDir() + L"\\" + name;
}

std::wstring SourceDir()
{
    std::wstring dir = EnvVar(L"HV_SOURCE_DIR");
    return dir.empty() ? dir : Normalised(dir);
}

} // namespace hvtest
