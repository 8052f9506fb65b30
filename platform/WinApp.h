// The application object: one per program, reached through CWinApp::Get().
//
// A program derives from CWinApp, defines one global instance and lets HV_IMPLEMENT_WINMAIN()
// define its entry point. Main runs InitInstance; when that succeeds, Run pumps the main message
// loop until WM_QUIT (posted when the main window is destroyed), then ExitInstance gives the exit
// code. When InitInstance fails (as a dialog program's does after its modal dialog has ended), the
// main window, if any, is destroyed and ExitInstance gives the exit code at once.
#pragma once

#include <windows.h>

class CWnd;

class CWinApp
{
public:
    CWinApp() noexcept;
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The application object of the program, or null when there is none.
    static CWinApp* Get() noexcept;
    // The module whose resources (dialog templates, bitmaps, strings) the layer loads.
    static HINSTANCE ResourceInstance() noexcept;
    // Entry point helper: runs the application object of the program; -1 when there is none.
    static int RunProgram(HINSTANCE instance, int cmdShow);

    // InitInstance, then Run or, on failure, ExitInstance. Returns the exit code.
    int Main(HINSTANCE instance, int cmdShow);

    virtual BOOL InitInstance() { return TRUE; }
    // The exit code; the default is the WM_QUIT code (0 when the loop never ran).
    virtual int ExitInstance() { return m_exitCode; }
    // The main message loop; returns ExitInstance's result.
    virtual int Run();
    // Walks the PreTranslateMessage chain of the message's window up to its top-level window.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // The main window: when it is destroyed, the main loop ends. Borrowed: the application does
    // not delete it.
    CWnd* GetMainWnd() const noexcept { return m_pMainWnd; }
    void SetMainWnd(CWnd* wnd) noexcept { m_pMainWnd = wnd; }

    HINSTANCE m_hInstance = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;

protected:
    CWnd* m_pMainWnd = nullptr;
    int m_exitCode = 0;
};

// Defines the program's WinMain, which runs the global application object.
#define HV_IMPLEMENT_WINMAIN()                                          \
    int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) \
    {                                                                   \
        return CWinApp::RunProgram(instance, show);                     \
    }
