// Dialogs from templates, driven by messages through the layer's modal loop.
#include "platform/Dialog.h"
#include "platform/DialogTemplate.h"
#include "platform/WinApp.h"
#include "platform/WndClass.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <string>
#include <vector>
#include "HvTest.h"
#include "PlatformTestRes.h"

namespace {

std::vector<std::string> g_log;

CRect Rect(int x, int y, int w, int h)
{
    return CRect(x, y, x + w, y + h);
}

// A dialog whose initialisation runs a script given by the test (usually posting the messages
// that drive it) and which logs what its handlers see.
class CScriptedDialog : public CDialog
{
public:
    CScriptedDialog(UINT id, CWnd* parent, const char* name) : CDialog(id, parent), m_name(name) {}
    CScriptedDialog(const DLGTEMPLATE* t, CWnd* parent, const char* name) : CDialog(t, parent), m_name(name) {}
    CScriptedDialog(const CDialogTemplate& t, CWnd* parent, const char* name) : CDialog(t, parent), m_name(name) {}
    std::function<void(CScriptedDialog&)> onInit;
    std::function<void(CScriptedDialog&)> onNested;

    void Post(UINT message, WPARAM w = 0, LPARAM l = 0) { ::PostMessageW(m_hWnd, message, w, l); }
    void PostClick(int id) { ::PostMessageW(GetDlgItem(id), BM_CLICK, 0, 0); }
    void Log(const std::string& s) { g_log.push_back(m_name + ":" + s); }

protected:
    int OnCreate(CREATESTRUCTW*)
    {
        Log("create");
        return 0;
    }
    BOOL OnInitDialog() override
    {
        Log("init");
        if (onInit)
            onInit(*this);
        return TRUE;
    }
    void OnOK() override
    {
        Log("ok");
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        Log("cancel");
        CDialog::OnCancel();
    }
    void OnApply() { Log("apply"); }
    void OnNestedClicked()
    {
        if (onNested)
            onNested(*this);
    }
    void PostNcDestroy() override { Log("gone"); }

    std::string m_name;
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CScriptedDialog, CDialog)
    ON_WM_CREATE()
    ON_COMMAND(IDC_APPLY, OnApply)
    ON_COMMAND(IDC_NESTED, OnNestedClicked)
END_MSG_MAP()

// The owner of the modal dialogs: a plain top-level window.
class OwnerWindow
{
public:
    OwnerWindow()
    {
        wnd.CreateEx(0, CWndClass::DefaultClass(), L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect(10, 10, 500, 400),
                     nullptr, 0);
        g_log.clear();
    }
    CWnd wnd;
};

TEST(Dialogs, ModalDialogFromTemplateRunsItsMappedHandlers)
{
    OwnerWindow owner;
    ASSERT_NE(owner.wnd.m_hWnd, nullptr);
    bool ownerEnabledInside = true;
    CScriptedDialog dlg(IDD_DRIVEN, &owner.wnd, "d");
    dlg.onInit = [&](CScriptedDialog& d) {
        ownerEnabledInside = owner.wnd.IsWindowEnabled();
        d.PostClick(IDC_APPLY);
        d.PostClick(IDC_APPLY);
        d.Post(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(d.GetDlgItem(IDOK)));
        d.PostClick(IDC_APPLY);  // never reached: the loop has ended
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    std::vector<std::string> expected = {"d:create", "d:init", "d:apply", "d:apply", "d:ok", "d:gone"};
    EXPECT_EQ(g_log, expected);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(owner.wnd.IsWindowEnabled());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    hvtest::FlushMessages();  // the stray click had no window left to go to

    // The same object runs again.
    g_log.clear();
    dlg.onInit = [](CScriptedDialog& d) { d.Post(WM_COMMAND, IDCANCEL, 0); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    expected = {"d:create", "d:init", "d:cancel", "d:gone"};
    EXPECT_EQ(g_log, expected);
}

TEST(Dialogs, CloseActsAsCancel)
{
    OwnerWindow owner;
    CScriptedDialog dlg(IDD_DRIVEN, &owner.wnd, "d");
    dlg.onInit = [](CScriptedDialog& d) { d.Post(WM_CLOSE); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    std::vector<std::string> expected = {"d:create", "d:init", "d:cancel", "d:gone"};
    EXPECT_EQ(g_log, expected);

    // The system menu's Close comes as WM_CLOSE too.
    g_log.clear();
    dlg.onInit = [](CScriptedDialog& d) { d.Post(WM_SYSCOMMAND, SC_CLOSE, 0); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(g_log, expected);

    // With its Cancel button disabled, the dialog cannot be closed that way.
    g_log.clear();
    dlg.onInit = [](CScriptedDialog& d) {
        ::EnableWindow(d.GetDlgItem(IDCANCEL), FALSE);
        d.Post(WM_CLOSE);
        d.PostClick(IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    expected = {"d:create", "d:init", "d:ok", "d:gone"};
    EXPECT_EQ(g_log, expected);
}

TEST(Dialogs, NestedModalLoopReturnsToItsParentLoop)
{
    OwnerWindow owner;
    CScriptedDialog outer(IDD_DRIVEN, &owner.wnd, "outer");
    bool outerEnabledDuringInner = true;
    bool ownerEnabledAfterInner = true;
    bool outerEnabledAfterInner = false;
    outer.onInit = [](CScriptedDialog& d) { d.PostClick(IDC_NESTED); };
    outer.onNested = [&](CScriptedDialog& d) {
        d.Log("nested-begin");
        CScriptedDialog inner(IDD_INNER, &d, "inner");
        inner.onInit = [&](CScriptedDialog& i) {
            outerEnabledDuringInner = d.IsWindowEnabled();
            i.Post(WM_KEYDOWN, VK_RETURN, 0);  // the default button, through the dialog keys
        };
        INT_PTR r = inner.DoModal();
        d.Log("nested-end " + std::to_string(r));
        outerEnabledAfterInner = d.IsWindowEnabled();
        ownerEnabledAfterInner = owner.wnd.IsWindowEnabled();
        d.PostClick(IDC_APPLY);
        d.Post(WM_CLOSE);
    };
    EXPECT_EQ(outer.DoModal(), IDCANCEL);
    std::vector<std::string> expected = {"outer:create", "outer:init",     "outer:nested-begin", "inner:create",
                                         "inner:init",   "inner:ok",       "inner:gone",         "outer:nested-end 1",
                                         "outer:apply",  "outer:cancel",   "outer:gone"};
    EXPECT_EQ(g_log, expected);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_TRUE(outerEnabledAfterInner);
    EXPECT_FALSE(ownerEnabledAfterInner);  // still held by the outer loop
    EXPECT_TRUE(owner.wnd.IsWindowEnabled());
}

TEST(Dialogs, OuterDialogEndedFromInsideTheInnerLoop)
{
    OwnerWindow owner;
    CScriptedDialog outer(IDD_DRIVEN, &owner.wnd, "outer");
    outer.onInit = [](CScriptedDialog& d) { d.PostClick(IDC_NESTED); };
    outer.onNested = [&](CScriptedDialog& d) {
        CScriptedDialog inner(IDD_INNER, &d, "inner");
        inner.onInit = [&](CScriptedDialog& i) {
            d.Post(WM_COMMAND, IDCANCEL, 0);  // dispatched by the inner loop
            i.Post(WM_COMMAND, IDOK, 0);
        };
        d.Log("inner " + std::to_string(inner.DoModal()));
    };
    // The outer loop ends as soon as the inner one has returned, without another message.
    EXPECT_EQ(outer.DoModal(), IDCANCEL);
    std::vector<std::string> expected = {"outer:create", "outer:init", "inner:create", "inner:init", "outer:cancel",
                                         "inner:ok",     "inner:gone", "outer:inner 1", "outer:gone"};
    EXPECT_EQ(g_log, expected);
}

TEST(Dialogs, QuitMessageEndsEveryModalLoopAndStaysQueued)
{
    OwnerWindow owner;
    CScriptedDialog outer(IDD_DRIVEN, &owner.wnd, "outer");
    outer.onInit = [](CScriptedDialog& d) { d.PostClick(IDC_NESTED); };
    outer.onNested = [&](CScriptedDialog& d) {
        CScriptedDialog inner(IDD_INNER, &d, "inner");
        inner.onInit = [](CScriptedDialog&) { ::PostQuitMessage(3); };
        d.Log("inner " + std::to_string(inner.DoModal()));
    };
    EXPECT_EQ(outer.DoModal(), -1);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    std::vector<std::string> expected = {"outer:create", "outer:init", "inner:create", "inner:init",
                                         "inner:gone",   "outer:inner -1", "outer:gone"};
    EXPECT_EQ(g_log, expected);
    EXPECT_TRUE(owner.wnd.IsWindowEnabled());
}

// An edit that sees its keys before the dialog and eats F2.
class CKeyFilterEdit : public CWnd
{
public:
    std::vector<WPARAM> keysReceived;

    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message != WM_KEYDOWN)
            return FALSE;
        g_log.push_back("edit-pre:" + std::to_string(msg->wParam));
        return msg->wParam == VK_F2;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_KEYDOWN)
            keysReceived.push_back(wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class CKeyDialog : public CScriptedDialog
{
public:
    using CScriptedDialog::CScriptedDialog;
    CKeyFilterEdit edit;

    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN)
            g_log.push_back("dialog-pre:" + std::to_string(msg->wParam));
        return CScriptedDialog::PreTranslateMessage(msg);
    }
};

TEST(Dialogs, PreTranslateMessageChainRunsInTheModalLoop)
{
    OwnerWindow owner;
    CKeyDialog dlg(IDD_DRIVEN, &owner.wnd, "d");
    dlg.onInit = [](CScriptedDialog& d) {
        CKeyDialog& k = static_cast<CKeyDialog&>(d);
        ASSERT_TRUE(k.edit.SubclassDlgItem(IDC_NAME, d.m_hWnd));
        HWND edit = d.GetDlgItem(IDC_NAME);
        ::PostMessageW(edit, WM_KEYDOWN, 'A', 1);
        ::PostMessageW(edit, WM_KEYDOWN, VK_F2, 1);
        ::PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1);  // a dialog key: Cancel
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    std::vector<std::string> expected = {"d:create",        "d:init",         "edit-pre:65", "dialog-pre:65",
                                         "edit-pre:113",    "edit-pre:27",    "dialog-pre:27",
                                         "d:cancel",        "d:gone"};
    EXPECT_EQ(g_log, expected);
    // The key the edit ate was never dispatched; the others were (Escape by the dialog keys).
    ASSERT_FALSE(dlg.edit.keysReceived.empty());
    EXPECT_EQ(dlg.edit.keysReceived.front(), static_cast<WPARAM>('A'));
    for (WPARAM k : dlg.edit.keysReceived)
        EXPECT_NE(k, static_cast<WPARAM>(VK_F2));
}

// Modeless dialogs, in-memory templates and dialogs of a program-registered class.
class CSelfDeletingDialog : public CScriptedDialog
{
public:
    using CScriptedDialog::CScriptedDialog;
    static int deleted;
    ~CSelfDeletingDialog() override { ++deleted; }

protected:
    void PostNcDestroy() override
    {
        CScriptedDialog::PostNcDestroy();
        delete this;
    }
};
int CSelfDeletingDialog::deleted = 0;

TEST(Dialogs, ModelessAndInMemoryTemplates)
{
    OwnerWindow owner;
    CDialogTemplate t(L"Built", DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 10, 10, 150, 60);
    t.AddControl(L"BUTTON", L"Apply", IDC_APPLY, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 7, 7, 50, 14);
    t.AddControl(L"BUTTON", L"OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 7, 30, 50, 14);
    t.AddControl(L"EDIT", L"hello", IDC_NAME, WS_VISIBLE | WS_BORDER, 70, 7, 60, 14);
    EXPECT_EQ(t.ControlCount(), 3);

    // Modal from the in-memory template.
    CScriptedDialog modal(t.Get(), &owner.wnd, "m");
    modal.onInit = [](CScriptedDialog& d) {
        EXPECT_EQ(d.GetDlgItemText(IDC_NAME), L"hello");
        EXPECT_EQ(d.GetWindowText(), L"Built");
        d.PostClick(IDC_APPLY);
        d.PostClick(IDOK);
    };
    EXPECT_EQ(modal.DoModal(), IDOK);
    std::vector<std::string> expected = {"m:create", "m:init", "m:apply", "m:ok", "m:gone"};
    EXPECT_EQ(g_log, expected);

    // A dialog made from a template object keeps its own copy: the template may grow (and move its
    // memory) afterwards, and the dialog still shows what the template held when it was made.
    CDialogTemplate growing(L"Growing", DS_MODALFRAME | WS_POPUP | WS_CAPTION, 10, 10, 150, 60);
    growing.AddControl(L"BUTTON", L"OK", IDOK, WS_VISIBLE | BS_DEFPUSHBUTTON, 7, 30, 50, 14);
    CScriptedDialog copied(growing, &owner.wnd, "g");
    for (WORD id = 2000; id < 2100; ++id)
        growing.AddControl(L"STATIC", L"later", id, WS_VISIBLE, 70, 7, 60, 8);
    bool laterControlShown = true;
    copied.onInit = [&](CScriptedDialog& d) {
        laterControlShown = d.GetDlgItem(2000) != nullptr;
        EXPECT_EQ(d.GetWindowText(), L"Growing");
        d.PostClick(IDOK);
    };
    g_log.clear();
    EXPECT_EQ(copied.DoModal(), IDOK);
    EXPECT_FALSE(laterControlShown);
    expected = {"g:create", "g:init", "g:ok", "g:gone"};
    EXPECT_EQ(g_log, expected);

    // Modeless: handlers run from sent messages; OK hides it, destroying it is the owner's call.
    g_log.clear();
    CScriptedDialog modeless(t.Get(), &owner.wnd, "s");
    ASSERT_TRUE(modeless.Create());
    EXPECT_FALSE(modeless.IsModal());
    modeless.ShowWindow(SW_SHOW);
    EXPECT_TRUE(owner.wnd.IsWindowEnabled());
    ::SendMessageW(modeless.GetDlgItem(IDC_APPLY), BM_CLICK, 0, 0);
    ::SendMessageW(modeless.GetDlgItem(IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(modeless.IsWindow());
    EXPECT_FALSE(modeless.IsWindowVisible());
    modeless.DestroyWindow();
    expected = {"s:create", "s:init", "s:apply", "s:ok", "s:gone"};
    EXPECT_EQ(g_log, expected);

    // A heap dialog that deletes itself when its window goes.
    CSelfDeletingDialog::deleted = 0;
    auto* heap = new CSelfDeletingDialog(IDD_INNER, &owner.wnd, "h");
    ASSERT_TRUE(heap->Create());
    HWND hwnd = heap->m_hWnd;
    ::DestroyWindow(hwnd);
    EXPECT_EQ(CSelfDeletingDialog::deleted, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

// A modeless dialog on the heap that goes away with its window, as a program's modeless dialogs
// do: Cancel destroys the window, PostNcDestroy deletes the object. Its memory is one fixed block,
// filled with a pattern when the object is deleted, so that any write to the dead object after
// the handler returned shows.
class CSelfClosingDialog : public CScriptedDialog
{
public:
    using CScriptedDialog::CScriptedDialog;

    static void* operator new(size_t size)
    {
        if (size > sizeof(s_block))
            throw std::bad_alloc();
        return s_block;
    }
    static void operator delete(void*) noexcept { std::memset(s_block, kDead, sizeof(s_block)); }
    static bool BlockUntouchedSinceDelete()
    {
        for (unsigned char b : s_block)
            if (b != kDead)
                return false;
        return true;
    }

protected:
    void OnCancel() override
    {
        Log("cancel");
        DestroyWindow();
    }
    void PostNcDestroy() override
    {
        CScriptedDialog::PostNcDestroy();
        delete this;
    }

private:
    static constexpr unsigned char kDead = 0xD5;
    alignas(16) static unsigned char s_block[4096];
};
alignas(16) unsigned char CSelfClosingDialog::s_block[4096];

TEST(Dialogs, SelfDeletingDialogClosedByItsOwnHandler)
{
    OwnerWindow owner;
    // Cancel by command, by WM_CLOSE (which sends the command from inside its handler) and by the
    // Escape key through the dialog keys.
    const MSG ways[] = {{nullptr, WM_COMMAND, IDCANCEL, 0, 0, {}},
                        {nullptr, WM_CLOSE, 0, 0, 0, {}},
                        {nullptr, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}}};
    for (const MSG& way : ways) {
        g_log.clear();
        auto* dlg = new CSelfClosingDialog(IDD_INNER, &owner.wnd, "h");
        ASSERT_TRUE(dlg->Create());
        HWND hwnd = dlg->m_hWnd;
        if (way.message == WM_KEYDOWN) {
            MSG key = way;
            key.hwnd = ::GetDlgItem(hwnd, IDOK);
            EXPECT_TRUE(dlg->PreTranslateMessage(&key));
        } else {
            ::SendMessageW(hwnd, way.message, way.wParam, way.lParam);
        }
        EXPECT_FALSE(::IsWindow(hwnd));
        EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
        EXPECT_TRUE(CSelfClosingDialog::BlockUntouchedSinceDelete()) << "message " << way.message;
        std::vector<std::string> expected = {"h:create", "h:init", "h:cancel", "h:gone"};
        EXPECT_EQ(g_log, expected);
    }
}

TEST(Dialogs, ModalDialogWithoutParentIsOwnedByTheRunningModalDialog)
{
    OwnerWindow main;
    CWinApp app;
    app.SetMainWnd(&main.wnd);
    // Both dialogs are opened without a parent, as a program does from a menu or a tray icon.
    for (bool withApp : {true, false}) {
        if (!withApp)
            app.SetMainWnd(nullptr);  // then the window the user works in owns them
        CScriptedDialog outer(IDD_DRIVEN, nullptr, "outer");
        HWND outerHwnd = nullptr;
        HWND outerOwner = nullptr;
        HWND innerOwner = nullptr;
        bool outerEnabledDuringInner = true;
        bool mainEnabledDuringInner = true;
        bool outerEnabledAfterInner = false;
        outer.onInit = [&](CScriptedDialog& d) {
            outerHwnd = d.m_hWnd;
            outerOwner = ::GetWindow(d, GW_OWNER);
            d.PostClick(IDC_NESTED);
        };
        outer.onNested = [&](CScriptedDialog& d) {
            CScriptedDialog inner(IDD_INNER, nullptr, "inner");
            inner.onInit = [&](CScriptedDialog& i) {
                innerOwner = ::GetWindow(i, GW_OWNER);
                outerEnabledDuringInner = d.IsWindowEnabled();
                mainEnabledDuringInner = main.wnd.IsWindowEnabled();
                i.PostClick(IDOK);
            };
            EXPECT_EQ(inner.DoModal(), IDOK);
            outerEnabledAfterInner = d.IsWindowEnabled();
            d.Post(WM_CLOSE);
        };
        EXPECT_EQ(outer.DoModal(), IDCANCEL);
        EXPECT_EQ(outerOwner, main.wnd.m_hWnd) << "with application: " << withApp;
        EXPECT_EQ(innerOwner, outerHwnd) << "with application: " << withApp;
        EXPECT_FALSE(outerEnabledDuringInner) << "with application: " << withApp;
        EXPECT_FALSE(mainEnabledDuringInner) << "with application: " << withApp;
        EXPECT_TRUE(outerEnabledAfterInner) << "with application: " << withApp;
        EXPECT_TRUE(main.wnd.IsWindowEnabled()) << "with application: " << withApp;
        ::SetActiveWindow(main.wnd);
    }
}

TEST(Dialogs, TemplateNamingAProgramClass)
{
    CWndClass dialogClass;
    ASSERT_TRUE(dialogClass.RegisterDialogClass(L"HvTestDialogClass"));
    CScriptedDialog dlg(IDD_CLASSED, nullptr, "c");
    std::wstring className;
    dlg.onInit = [&](CScriptedDialog& d) {
        className = hvtest::ClassNameOf(d.m_hWnd);
        d.EndDialog(7);  // ends before the loop ever runs
    };
    g_log.clear();
    EXPECT_EQ(dlg.DoModal(), 7);
    EXPECT_EQ(className, L"HvTestDialogClass");
    std::vector<std::string> expected = {"c:create", "c:init", "c:gone"};
    EXPECT_EQ(g_log, expected);

    // A template id that does not exist: no dialog, -1.
    CDialog missing(4242);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_FALSE(missing.Create());
}

} // namespace
