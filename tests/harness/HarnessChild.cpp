// A program for the harness's own tests of child processes:
//   exit <code> [args...]   prints HV_HARNESS_VALUE and its arguments, exits with code
//   window <title>          shows a window with that title until it is ended
//   spawn <title>           starts "window <title>" as its own child, then waits forever
//   dialog                  runs a modal dialog (OK, an edit 1001); exits with the dialog's result
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

int RunWindow(const wchar_t* title)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HvHarnessChild";
    RegisterClassW(&wc);
    CreateWindowW(L"HvHarnessChild", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200, 100, nullptr, nullptr,
                  wc.hInstance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

int Spawn(const wchar_t* title)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring cmd = std::wstring(L"\"") + exe + L"\" window \"" + title + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 3;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    Sleep(INFINITE);
    return 0;
}

// Appends to a DWORD-aligned in-memory dialog template.
struct TemplateWriter {
    std::vector<WORD> words;
    void Align() { while (words.size() % 2) words.push_back(0); }
    void Word(WORD w) { words.push_back(w); }
    void Dword(DWORD d) { Word(LOWORD(d)); Word(HIWORD(d)); }
    void Text(const wchar_t* s) { do words.push_back(*s); while (*s++); }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const wchar_t* text)
    {
        Align();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (short v : {x, y, cx, cy})
            Word(WORD(v));
        Word(id);
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0);
    }
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 40 : 41);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

int RunDialog()
{
    TemplateWriter t;
    t.Dword(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    t.Dword(0);
    t.Word(2);  // items
    for (short v : {10, 10, 160, 60})
        t.Word(WORD(v));
    t.Word(0);  // no menu
    t.Word(0);  // default class
    t.Text(L"HvHarnessDialog");
    t.Word(8);
    t.Text(L"MS Shell Dlg");
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 100, 40, 50, 14, IDOK, 0x0080, L"OK");
    t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 10, 140, 14, 1001, 0x0081, L"");
    t.Align();
    return int(DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(t.words.data()),
                                       nullptr, DialogProc, 0));
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 3 && wcscmp(argv[1], L"exit") == 0) {
        const wchar_t* value = _wgetenv(L"HV_HARNESS_VALUE");
        printf("value=%ls\n", value ? value : L"(unset)");
        for (int i = 3; i < argc; ++i)
            printf("arg=[%ls]\n", argv[i]);
        fflush(stdout);
        return _wtoi(argv[2]);
    }
    if (argc >= 3 && wcscmp(argv[1], L"window") == 0)
        return RunWindow(argv[2]);
    if (argc >= 3 && wcscmp(argv[1], L"spawn") == 0)
        return Spawn(argv[2]);
    if (argc >= 2 && wcscmp(argv[1], L"dialog") == 0)
        return RunDialog();
    fprintf(stderr, "usage: hv_harness_child exit|window|spawn|dialog ...\n");
    return 2;
}
