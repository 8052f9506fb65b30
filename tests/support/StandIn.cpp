// A stand-in for a program that another one starts (the tray program, the configuration program, a
// linked application): it notes each start in "<its folder>\<its name>.starts" (one line with its
// process id). Built as it is, it then ends, so that a test sees the start without the stand-in
// taking the foreground or staying behind; built with HV_STANDIN_WINDOW, it shows a window titled
// "<its name> stand-in", makes it the foreground window and runs until it is closed or ended.
#include <windows.h>

#include <string>

namespace {

void NoteStart(const std::wstring& path)
{
    // Copies started together append one after the other: an append of two processes at once
    // can land on one offset under Wine, and a start would go uncounted.
    HANDLE lock = CreateMutexW(nullptr, FALSE, L"HvStandInStarts");
    if (lock)
        WaitForSingleObject(lock, 10000);
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const std::string line = std::to_string(GetCurrentProcessId()) + "\r\n";
        DWORD written = 0;
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(file);
    }
    if (lock) {
        ReleaseMutex(lock);
        CloseHandle(lock);
    }
}

#ifdef HV_STANDIN_WINDOW
LRESULT CALLBACK StandInProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int RunWindow(HINSTANCE instance, const std::wstring& name)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = StandInProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"HvStandIn";
    RegisterClassW(&wc);
    const std::wstring title = name + L" stand-in";
    HWND window = CreateWindowW(L"HvStandIn", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200, 320, 200,
                                nullptr, nullptr, instance, nullptr);
    SetForegroundWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
#endif

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    wchar_t module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    const std::wstring path(module, length);
    const size_t slash = path.find_last_of(L'\\');
    const std::wstring file = path.substr(slash + 1);
    const std::wstring name = file.substr(0, file.find_last_of(L'.'));
    NoteStart(path.substr(0, slash + 1) + name + L".starts");
#ifdef HV_STANDIN_WINDOW
    return RunWindow(instance, name);
#else
    (void)instance;
    return 0;
#endif
}
