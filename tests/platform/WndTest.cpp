// Window objects: attachment before the first message, message maps, default processing,
// detachment at WM_NCDESTROY, and subclassing of standard controls.
#include "platform/Wnd.h"
#include "platform/WndClass.h"

#include <algorithm>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>
#include "HvTest.h"
#include "ImportPatch.h"

namespace {

constexpr UINT WM_TEST_VALUE = WM_USER + 5;
constexpr UINT WM_TEST_THROW = WM_USER + 6;
constexpr UINT IDC_APPLY = 1002;
constexpr UINT IDC_NAME = 1001;
constexpr UINT IDC_OPTION1 = 1010;
constexpr UINT IDC_OPTION3 = 1012;
constexpr UINT IDC_LIST = 1006;

const UINT g_wmRegistered = ::RegisterWindowMessageW(L"HvPlatformTest.Registered");

CRect Rect(int x, int y, int w, int h)
{
    return CRect(x, y, x + w, y + h);
}

class CMappedWnd : public CWnd
{
public:
    std::vector<std::string> log;
    std::vector<UINT> seen;
    bool attachedAtCreate = false;
    bool attachedAtNcCreate = false;
    int ncDestroyed = 0;
    HWND sendTextTo = nullptr;  // WM_SETTEXT first sets this window's text too

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(message);
        if (message == WM_NCCREATE)
            attachedAtNcCreate = FromHandlePermanent(m_hWnd) == this;
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override { ++ncDestroyed; }

    int OnCreate(CREATESTRUCTW*)
    {
        attachedAtCreate = FromHandlePermanent(m_hWnd) == this;
        log.push_back("create");
        return 0;
    }
    LRESULT OnValue(WPARAM w, LPARAM l)
    {
        log.push_back("value");
        return static_cast<LRESULT>(w) + l;
    }
    LRESULT OnAppRange(UINT message, WPARAM, LPARAM) { return message - WM_APP; }
    LRESULT OnRegistered(WPARAM, LPARAM) { return 77; }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    LRESULT OnSetText(WPARAM, LPARAM)
    {
        log.push_back("settext");
        if (sendTextTo)
            ::SendMessageW(sendTextTo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"nested"));
        return Default();  // the text is still set by the default window procedure
    }
    void OnApply() { log.push_back("apply"); }
    void OnNameChange() { log.push_back("name-change"); }
    void OnOption(UINT id) { log.push_back("option" + std::to_string(id - IDC_OPTION1 + 1)); }
    void OnListClick(NMHDR* hdr, LRESULT* result)
    {
        log.push_back("list-click " + std::to_string(hdr->idFrom));
        *result = 5;
    }

    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CMappedWnd, CWnd)
    ON_WM_CREATE()
    ON_MESSAGE(WM_TEST_VALUE, OnValue)
    ON_MESSAGE(WM_TEST_THROW, OnThrow)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE_RANGE(WM_APP + 1, WM_APP + 9, OnAppRange)
    ON_REGISTERED_MESSAGE(g_wmRegistered, OnRegistered)
    ON_COMMAND(IDC_APPLY, OnApply)
    ON_CONTROL(EN_CHANGE, IDC_NAME, OnNameChange)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_OPTION1, IDC_OPTION3, OnOption)
    ON_NOTIFY(NM_CLICK, IDC_LIST, OnListClick)
END_MSG_MAP()

// A derived map wins over its base for the same message; the rest still reaches the base.
class CDerivedWnd : public CMappedWnd
{
protected:
    LRESULT OnValueDerived(WPARAM, LPARAM)
    {
        log.push_back("derived-value");
        return 100;
    }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CDerivedWnd, CMappedWnd)
    ON_MESSAGE(WM_TEST_VALUE, OnValueDerived)
END_MSG_MAP()

bool Contains(const std::vector<UINT>& v, UINT m)
{
    for (UINT x : v)
        if (x == m)
            return true;
    return false;
}

TEST(WindowObjects, AttachedBeforeCreateAndDetachedAtNcDestroy)
{
    CMappedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, CWndClass::DefaultClass(), L"mapped", WS_POPUP | WS_VISIBLE, Rect(50, 50, 200, 120),
                             nullptr, 0));
    HWND hwnd = wnd.m_hWnd;
    EXPECT_TRUE(wnd.attachedAtNcCreate);
    EXPECT_TRUE(wnd.attachedAtCreate);
    ASSERT_FALSE(wnd.seen.empty());
    EXPECT_TRUE(Contains(wnd.seen, WM_NCCREATE));
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), &wnd);

    wnd.seen.clear();
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(wnd.ncDestroyed, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
    EXPECT_TRUE(Contains(wnd.seen, WM_DESTROY));
    ASSERT_FALSE(wnd.seen.empty());
    EXPECT_EQ(wnd.seen.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_FALSE(::IsWindow(hwnd));

    // A window destroyed with its object: the object owns what it created.
    {
        CMappedWnd scoped;
        ASSERT_TRUE(scoped.CreateEx(0, CWndClass::DefaultClass(), L"scoped", WS_POPUP, Rect(0, 0, 50, 50), nullptr, 0));
        hwnd = scoped.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(WindowObjects, MessageMapDispatchesToMappedHandlers)
{
    CMappedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, CWndClass::DefaultClass(), L"mapped", WS_POPUP | WS_VISIBLE, Rect(50, 50, 300, 200),
                             nullptr, 0));
    wnd.log.clear();

    // Plain, ranged and registered messages.
    EXPECT_EQ(wnd.SendMessage(WM_TEST_VALUE, 2, 3), 5);
    EXPECT_EQ(wnd.SendMessage(WM_APP + 3), 3);
    EXPECT_EQ(wnd.SendMessage(WM_APP + 9), 9);
    EXPECT_EQ(wnd.SendMessage(WM_APP + 10), 0);  // outside the range: default processing
    ASSERT_NE(g_wmRegistered, 0u);
    EXPECT_EQ(wnd.SendMessage(g_wmRegistered), 77);

    // Unmapped messages get default processing; a handler can add to it with Default().
    wnd.SetWindowText(L"abc");
    EXPECT_EQ(wnd.GetWindowText(), L"abc");
    EXPECT_EQ(wnd.SendMessage(WM_GETTEXTLENGTH), 3);
    // Default() after a handler made another window of ours handle a message still processes the
    // handler's own message.
    CMappedWnd other;
    ASSERT_TRUE(other.CreateEx(0, CWndClass::DefaultClass(), L"other", WS_POPUP, Rect(0, 0, 50, 50), nullptr, 0));
    wnd.sendTextTo = other;
    wnd.SetWindowText(L"outer");
    wnd.sendTextTo = nullptr;
    EXPECT_EQ(wnd.GetWindowText(), L"outer");
    EXPECT_EQ(other.GetWindowText(), L"nested");
    other.DestroyWindow();

    // Commands: menu (code 0) and accelerator (code 1) both reach ON_COMMAND.
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_APPLY, 0), 0);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_APPLY, 1), 0);

    // Notifications of real controls: EN_CHANGE by id and code; BN_CLICKED by id range.
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 5, 5, 100, 20, wnd, (HMENU)(UINT_PTR)IDC_NAME,
                                  nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    ::SetWindowTextW(edit, L"x");          // EN_CHANGE: mapped
    ::SendMessageW(edit, WM_SETFOCUS, 0, 0);  // EN_SETFOCUS: not mapped, nothing logged
    for (UINT id = IDC_OPTION1; id <= IDC_OPTION3 + 1; ++id) {
        HWND button = ::CreateWindowExW(0, L"BUTTON", L"o", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 5,
                                        30 + 25 * static_cast<int>(id - IDC_OPTION1), 60, 20, wnd,
                                        (HMENU)(UINT_PTR)id, nullptr, nullptr);
        ASSERT_NE(button, nullptr);
        ::SendMessageW(button, BM_CLICK, 0, 0);  // the fourth is outside the range
    }

    // WM_NOTIFY by id and code; the handler's result is the message's result.
    NMHDR hdr = {edit, IDC_LIST, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&hdr)), 5);
    hdr.code = static_cast<UINT>(NM_DBLCLK);
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&hdr)), 0);

    std::vector<std::string> expected = {"value",       "settext", "settext", "apply",   "apply",   "name-change",
                                         "option1",     "option2", "option3", "list-click 1006"};
    EXPECT_EQ(wnd.log, expected);

    // An exception in a handler never leaves the window procedure; the window keeps working.
    EXPECT_EQ(wnd.SendMessage(WM_TEST_THROW), 0);
    EXPECT_EQ(wnd.SendMessage(WM_TEST_VALUE, 1, 1), 2);
}

TEST(WindowObjects, DerivedMapOverridesBaseEntries)
{
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, CWndClass::DefaultClass(), L"derived", WS_POPUP, Rect(0, 0, 50, 50), nullptr, 0));
    wnd.log.clear();
    EXPECT_EQ(wnd.SendMessage(WM_TEST_VALUE, 2, 3), 100);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_APPLY, 0), 0);
    EXPECT_EQ(wnd.SendMessage(WM_APP + 4), 4);
    std::vector<std::string> expected = {"derived-value", "apply"};
    EXPECT_EQ(wnd.log, expected);
}

// An edit control taken over by an object: upper-cases what is typed into it, the rest is the
// edit's own behaviour.
class CUpperEdit : public CWnd
{
public:
    int preSubclassCalls = 0;
    bool hadHandleInPreSubclass = false;
    std::vector<UINT> seen;

protected:
    void PreSubclassWindow() override
    {
        ++preSubclassCalls;
        hadHandleInPreSubclass = m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    LRESULT OnChar(WPARAM wParam, LPARAM lParam)
    {
        return DefWindowProc(WM_CHAR, static_cast<WPARAM>(::towupper(static_cast<wint_t>(wParam))), lParam);
    }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CUpperEdit, CWnd)
    ON_MESSAGE(WM_CHAR, OnChar)
END_MSG_MAP()

std::wstring TextOf(HWND hwnd)
{
    return hvtest::TextOf(hwnd);
}

TEST(WindowObjects, SubclassesStandardControls)
{
    hvtest::ScopedWindow parent(hvtest::CreateTestWindow(300, 200));
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 5, 5, 150, 20, parent,
                                  (HMENU)(UINT_PTR)IDC_NAME, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    LONG_PTR editProc = ::GetWindowLongPtrW(edit, GWLP_WNDPROC);

    {
        CUpperEdit upper;
        ASSERT_TRUE(upper.SubclassDlgItem(IDC_NAME, parent));
        EXPECT_EQ(upper.m_hWnd, edit);
        EXPECT_EQ(upper.preSubclassCalls, 1);
        EXPECT_TRUE(upper.hadHandleInPreSubclass);
        // One object per window.
        CUpperEdit second;
        EXPECT_FALSE(second.SubclassWindow(edit));
        EXPECT_EQ(second.preSubclassCalls, 0);

        ::SendMessageW(edit, WM_CHAR, L'a', 1);
        ::SendMessageW(edit, WM_CHAR, L'b', 1);
        EXPECT_EQ(TextOf(edit), L"AB");
    }
    // The object is gone, the edit is back on its own procedure and still works.
    EXPECT_EQ(::GetWindowLongPtrW(edit, GWLP_WNDPROC), editProc);
    EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
    ::SendMessageW(edit, WM_CHAR, L'c', 1);
    EXPECT_EQ(TextOf(edit), L"ABc");

    // Subclassed, then watched by a recorder on top: the object may leave first without cutting
    // the recorder's chain, and the edit keeps its own behaviour.
    {
        hvtest::MessageRecorder recorder;
        {
            CUpperEdit upper;
            ASSERT_TRUE(upper.SubclassWindow(edit));
            recorder.Watch(edit);
            ::SendMessageW(edit, WM_CHAR, L'd', 1);
        }
        ::SendMessageW(edit, WM_CHAR, L'e', 1);
        EXPECT_EQ(TextOf(edit), L"ABcDe");
        EXPECT_TRUE(recorder.Contains(WM_CHAR));
        // Taken over again by a new object while the recorder still sits on top.
        CUpperEdit again;
        ASSERT_TRUE(again.SubclassWindow(edit));
        ::SendMessageW(edit, WM_CHAR, L'f', 1);
        EXPECT_EQ(TextOf(edit), L"ABcDeF");
        recorder.Unwatch(edit);
    }

    // A standard control created by its object: attached before its first message, the control's
    // own procedure as default processing, destroyed with the object.
    HWND created = nullptr;
    {
        CUpperEdit owned;
        ASSERT_TRUE(owned.Create(L"EDIT", L"", WS_VISIBLE | WS_BORDER, Rect(5, 40, 150, 20), nullptr, 0) == false);
        CWnd parentObject;
        ASSERT_TRUE(parentObject.SubclassWindow(parent));
        ASSERT_TRUE(owned.Create(L"EDIT", L"", WS_VISIBLE | WS_BORDER, Rect(5, 40, 150, 20), &parentObject, 77));
        created = owned.m_hWnd;
        EXPECT_EQ(owned.preSubclassCalls, 1);
        ASSERT_FALSE(owned.seen.empty());
        EXPECT_EQ(owned.seen.front(), static_cast<UINT>(WM_NCCREATE));
        EXPECT_TRUE(Contains(owned.seen, WM_CREATE));
        ::SendMessageW(created, WM_CHAR, L'q', 1);
        EXPECT_EQ(TextOf(created), L"Q");
        EXPECT_EQ(owned.GetDlgCtrlID(), 77);
    }
    EXPECT_FALSE(::IsWindow(created));
    EXPECT_TRUE(::IsWindow(parent));
}

// Someone else's subclass procedure, installed as comctl32's SetWindowSubclass installs it. It
// cuts a chain that comes back into it, so that a loop shows as a count and not as a stack overflow.
int g_subclassDepth = 0;
int g_subclassSetTexts = 0;
LRESULT CALLBACK CountingSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_SETTEXT)
        ++g_subclassSetTexts;
    if (g_subclassDepth > 4)
        return 0;
    ++g_subclassDepth;
    LRESULT r = ::DefSubclassProc(hwnd, message, wParam, lParam);
    --g_subclassDepth;
    return r;
}

// Sets the text of hwnd through its whole chain: the object wnd and, while it is installed, the
// other subclass procedure each see it once, and the text is set.
void ExpectOnePassThroughTheChain(HWND hwnd, CMappedWnd& wnd, const wchar_t* text, bool otherInstalled = true)
{
    g_subclassSetTexts = 0;
    wnd.seen.clear();
    ::SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(g_subclassSetTexts, otherInstalled ? 1 : 0);
    EXPECT_EQ(std::count(wnd.seen.begin(), wnd.seen.end(), static_cast<UINT>(WM_SETTEXT)), 1);
    EXPECT_EQ(TextOf(hwnd), text);
}

TEST(WindowObjects, SubclassesOwnClassWindowBelowAnotherSubclasser)
{
    // A window of the layer's class made without an object, then subclassed by someone else: the
    // object takes it over where the layer's procedure already sits, under the other subclasser.
    HWND hwnd = ::CreateWindowExW(0, CWndClass::DefaultClass(), L"plain", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(::SetWindowSubclass(hwnd, CountingSubclassProc, 1, 0));
    const LONG_PTR top = ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
    {
        CMappedWnd wnd;
        ASSERT_TRUE(wnd.SubclassWindow(hwnd));
        ExpectOnePassThroughTheChain(hwnd, wnd, L"one");
        EXPECT_EQ(wnd.SendMessage(WM_TEST_VALUE, 2, 3), 5);
        EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC), top);
    }
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
    g_subclassSetTexts = 0;
    ::SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"two"));
    EXPECT_EQ(g_subclassSetTexts, 1);
    EXPECT_EQ(TextOf(hwnd), L"two");
    ::RemoveWindowSubclass(hwnd, CountingSubclassProc, 1);
    ::DestroyWindow(hwnd);

    // Created by one object, subclassed on top, let go by its object and taken over by another.
    CMappedWnd first;
    ASSERT_TRUE(first.CreateEx(0, CWndClass::DefaultClass(), L"first", WS_POPUP, Rect(0, 0, 50, 50), nullptr, 0));
    ASSERT_TRUE(::SetWindowSubclass(first, CountingSubclassProc, 1, 0));
    hwnd = first.UnsubclassWindow();
    ASSERT_NE(hwnd, nullptr);
    CMappedWnd second;
    ASSERT_TRUE(second.SubclassWindow(hwnd));
    ExpectOnePassThroughTheChain(hwnd, second, L"three");
    ::RemoveWindowSubclass(hwnd, CountingSubclassProc, 1);
    ExpectOnePassThroughTheChain(hwnd, second, L"four", false);
    EXPECT_TRUE(second.DestroyWindow());
    EXPECT_EQ(second.ncDestroyed, 1);
    EXPECT_FALSE(::IsWindow(hwnd));
}

// What the program writes with OutputDebugStringW while a recorder lives.
std::vector<std::wstring> g_debugOutput;
CImportPatch* g_debugPatch = nullptr;
void WINAPI RecordDebugOutput(const wchar_t* text)
{
    g_debugOutput.push_back(text ? text : L"");
    g_debugPatch->Original<void(WINAPI*)(const wchar_t*)>()(text);
}
class DebugOutputRecorder
{
public:
    DebugOutputRecorder()
    {
        g_debugOutput.clear();
        g_debugPatch = &m_patch;
    }
    ~DebugOutputRecorder() { g_debugPatch = nullptr; }
    bool IsActive() const { return m_patch.IsActive(); }

private:
    CImportPatch m_patch{"OutputDebugStringW", reinterpret_cast<void*>(&RecordDebugOutput)};
};

// Logs WM_DESTROY, which only a window destroyed before its object dies can see.
class CDestroyLoggingWnd : public CMappedWnd
{
public:
    std::vector<std::string>* outside = nullptr;

protected:
    void OnDestroy()
    {
        if (outside)
            outside->push_back("destroy");
    }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CDestroyLoggingWnd, CMappedWnd)
    ON_WM_DESTROY()
END_MSG_MAP()

TEST(WindowObjects, ObjectThatDiesWithItsWindowStillAliveIsReported)
{
    DebugOutputRecorder debug;
    ASSERT_TRUE(debug.IsActive());
    std::vector<std::string> log;
    HWND hwnd = nullptr;
    {
        CDestroyLoggingWnd wnd;
        wnd.outside = &log;
        ASSERT_TRUE(wnd.CreateEx(0, CWndClass::DefaultClass(), L"first", WS_POPUP, Rect(0, 0, 50, 50), nullptr, 0));
        EXPECT_TRUE(wnd.DestroyWindow());  // the contract: the window goes first
    }
    EXPECT_EQ(log, std::vector<std::string>{"destroy"});
    EXPECT_TRUE(g_debugOutput.empty());

    // The object dies first: its own handlers cannot run any more, but the window is not left
    // behind, no map entry dangles, and the mistake is reported.
    log.clear();
    {
        CDestroyLoggingWnd wnd;
        wnd.outside = &log;
        ASSERT_TRUE(wnd.CreateEx(0, CWndClass::DefaultClass(), L"second", WS_POPUP, Rect(0, 0, 50, 50), nullptr, 0));
        hwnd = wnd.m_hWnd;
    }
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
    ASSERT_EQ(g_debugOutput.size(), 1u);
    EXPECT_NE(g_debugOutput[0].find(L"destroy"), std::wstring::npos) << g_debugOutput[0].c_str();
}

// Throws from the calls the layer makes inside the system's creation hook and window procedure.
class CThrowingWnd : public CWnd
{
public:
    bool throwBeforeFirstMessage = false;
    bool throwWhenGone = false;
    int gone = 0;

protected:
    void PreSubclassWindow() override
    {
        if (throwBeforeFirstMessage)
            throw std::runtime_error("pre-subclass");
    }
    void PostNcDestroy() override
    {
        ++gone;
        if (throwWhenGone)
            throw std::runtime_error("post-nc-destroy");
    }
};

TEST(WindowObjects, NoExceptionLeavesTheCreationHookOrTheLastMessage)
{
    // Preparing the object failed: no window is made, nothing is left attached.
    CThrowingWnd failing;
    failing.throwBeforeFirstMessage = true;
    bool created = true;
    EXPECT_NO_THROW(created = failing.CreateEx(0, CWndClass::DefaultClass(), L"hv-throws-early", WS_POPUP,
                                               Rect(0, 0, 50, 50), nullptr, 0));
    EXPECT_FALSE(created);
    EXPECT_EQ(failing.m_hWnd, nullptr);
    EXPECT_EQ(::FindWindowW(CWndClass::DefaultClass(), L"hv-throws-early"), nullptr);
    failing.throwBeforeFirstMessage = false;
    ASSERT_TRUE(failing.CreateEx(0, CWndClass::DefaultClass(), L"again", WS_POPUP, Rect(0, 0, 50, 50), nullptr, 0));
    EXPECT_TRUE(failing.DestroyWindow());

    // The object's last call throws: the window is gone and the object detached all the same.
    CThrowingWnd late;
    late.throwWhenGone = true;
    ASSERT_TRUE(late.CreateEx(0, CWndClass::DefaultClass(), L"late", WS_POPUP, Rect(0, 0, 50, 50), nullptr, 0));
    HWND hwnd = late.m_hWnd;
    EXPECT_NO_THROW(late.DestroyWindow());
    EXPECT_EQ(late.gone, 1);
    EXPECT_EQ(late.m_hWnd, nullptr);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

} // namespace
