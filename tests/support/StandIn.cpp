// A stand-in for a program that another one starts (the tray program, a linked application): it
// notes its start in "<its folder>\<its name>.starts" (one line with its process id) and ends, so
// that a test sees the start without the stand-in taking the foreground or staying behind.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    wchar_t module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    const std::wstring path(module, length);
    const size_t slash = path.find_last_of(L'\\');
    const std::wstring file = path.substr(slash + 1);
    const std::wstring notes = path.substr(0, slash + 1) + file.substr(0, file.find_last_of(L'.')) + L".starts";
    HANDLE out = CreateFileW(notes.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return 1;
    const std::string line = std::to_string(GetCurrentProcessId()) + "\r\n";
    DWORD written = 0;
    WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(out);
    return 0;
}
