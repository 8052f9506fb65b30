// The yardstick of the start-up figure: a program that only shows an empty dialog of the main
// window's template size and runs it until it is closed.
#include <windows.h>

namespace {

INT_PTR CALLBACK EmptyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hwnd, IDCANCEL);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    // DLGTEMPLATE, then no menu, the default class and an empty title (three zero words).
    struct alignas(4)
    {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } dialog = {{WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER, 0, 0, 0, 0, 320, 200}, 0, 0, 0};
    return static_cast<int>(DialogBoxIndirectParamW(instance, &dialog.header, nullptr, EmptyProc, 0));
}
