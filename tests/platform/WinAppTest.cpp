// The application object: InitInstance, the main loop with its PreTranslateMessage chain, the end
// of the program with its main window, and ExitInstance.
#include "platform/Dialog.h"
#include "platform/WinApp.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "HvTest.h"
#include "PlatformTestRes.h"

namespace {

std::vector<std::string> g_log;

// A modeless main dialog that goes away on Cancel, as a program's hidden main window does.
class CMainDialog : public CDialog
{
public:
    CMainDialog() : CDialog(IDD_INNER) {}

protected:
    BOOL OnInitDialog() override
    {
        g_log.push_back("dialog:init");
        return TRUE;
    }
    void OnCancel() override
    {
        g_log.push_back("dialog:cancel");
        DestroyWindow();
    }
};

class CTestApp : public CWinApp
{
public:
    std::function<BOOL(CTestApp&)> onInit;
    CMainDialog dialog;

    BOOL InitInstance() override
    {
        g_log.push_back("init");
        return onInit(*this);
    }
    int ExitInstance() override
    {
        g_log.push_back("exit");
        return CWinApp::ExitInstance() + 100;
    }
};

bool QuitIsQueued()
{
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

TEST(Application, MainLoopRunsUntilTheMainWindowIsGone)
{
    g_log.clear();
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    CTestApp app;
    EXPECT_EQ(CWinApp::Get(), &app);
    app.onInit = [&](CTestApp& a) {
        if (!a.dialog.Create())
            return FALSE;
        a.SetMainWnd(&a.dialog);
        a.dialog.ShowWindow(SW_SHOW);
        // Escape reaches the dialog keys through the main loop's PreTranslateMessage chain.
        ::PostMessageW(a.dialog.GetDlgItem(IDOK), WM_KEYDOWN, VK_ESCAPE, 1);
        return TRUE;
    };
    EXPECT_EQ(CWinApp::RunProgram(instance, SW_SHOW), 100);
    std::vector<std::string> expected = {"init", "dialog:init", "dialog:cancel", "exit"};
    EXPECT_EQ(g_log, expected);
    EXPECT_EQ(app.GetMainWnd(), nullptr);
    EXPECT_EQ(CWinApp::ResourceInstance(), instance);
    EXPECT_FALSE(QuitIsQueued());  // consumed by the loop
}

TEST(Application, FailedInitInstanceEndsAtOnce)
{
    g_log.clear();
    CTestApp app;
    HWND mainHwnd = nullptr;
    app.onInit = [&](CTestApp& a) {
        // A dialog program: its dialog is the main window, and InitInstance returns false after it.
        if (a.dialog.Create()) {
            a.SetMainWnd(&a.dialog);
            mainHwnd = a.dialog.m_hWnd;
        }
        return FALSE;
    };
    EXPECT_EQ(app.Main(::GetModuleHandleW(nullptr), SW_SHOW), 100);
    std::vector<std::string> expected = {"init", "dialog:init", "exit"};
    EXPECT_EQ(g_log, expected);
    EXPECT_NE(mainHwnd, nullptr);
    EXPECT_FALSE(::IsWindow(mainHwnd));
    EXPECT_FALSE(QuitIsQueued());  // nothing left behind for a later loop
}

TEST(Application, NoApplicationObject)
{
    EXPECT_EQ(CWinApp::Get(), nullptr);
    EXPECT_EQ(CWinApp::RunProgram(::GetModuleHandleW(nullptr), SW_SHOW), -1);
    EXPECT_EQ(CWinApp::ResourceInstance(), ::GetModuleHandleW(nullptr));
}

} // namespace
