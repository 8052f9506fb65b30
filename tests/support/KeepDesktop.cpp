// Creating a window starts the prefix's desktop process; as long as this program lives, that
// process does not have to start again (and linger a second after each test) for every test.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"HvKeepDesktop";
    RegisterClassW(&wc);
    CreateWindowW(L"HvKeepDesktop", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
