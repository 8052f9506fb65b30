#include "platform/WinApp.h"

#include "platform/Wnd.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() noexcept
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* CWinApp::Get() noexcept
{
    return g_app;
}

HINSTANCE CWinApp::ResourceInstance() noexcept
{
    if (g_app && g_app->m_hInstance)
        return g_app->m_hInstance;
    return ::GetModuleHandleW(nullptr);
}

int CWinApp::RunProgram(HINSTANCE instance, int cmdShow)
{
    return g_app ? g_app->Main(instance, cmdShow) : -1;
}

int CWinApp::Main(HINSTANCE instance, int cmdShow)
{
    m_hInstance = instance;
    m_nCmdShow = cmdShow;
    m_exitCode = 0;
    if (InitInstance())
        return Run();
    // Forget the main window first: its destruction must not leave a WM_QUIT behind.
    CWnd* main = m_pMainWnd;
    m_pMainWnd = nullptr;
    if (main && main->m_hWnd)
        main->DestroyWindow();
    return ExitInstance();
}

int CWinApp::Run()
{
    MSG msg;
    for (;;) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            m_exitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1) {
            m_exitCode = -1;
            break;
        }
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return ExitInstance();
}

BOOL CWinApp::PreTranslateMessage(MSG* msg)
{
    return CWnd::WalkPreTranslateTree(nullptr, msg);
}
