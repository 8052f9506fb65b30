// The harness checked against real windows and processes under Wine: a wrong answer here would
// make every other GUI test pass or fail for the wrong reason.
#include "HvTest.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace hvtest;

namespace {

constexpr COLORREF kLeft = RGB(200, 30, 60);
constexpr COLORREF kRight = RGB(20, 180, 90);

LRESULT CALLBACK TwoColourProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        RECT left = {0, 0, r.right / 2, r.bottom}, right = {r.right / 2, 0, r.right, r.bottom};
        HBRUSH a = CreateSolidBrush(kLeft), b = CreateSolidBrush(kRight);
        FillRect(dc, &left, a);
        FillRect(dc, &right, b);
        DeleteObject(a);
        DeleteObject(b);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateTwoColourWindow(int width, int height)
{
    static ATOM atom = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = TwoColourProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"HvTwoColour";
        return RegisterClassW(&wc);
    }();
    EXPECT_NE(atom, 0);
    HWND hwnd = CreateWindowW(L"HvTwoColour", L"two colours", WS_POPUP | WS_VISIBLE, 120, 120, width, height,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    FlushMessages();
    return hwnd;
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int y)
{
    return CreateWindowW(cls, text, WS_CHILD | WS_VISIBLE | style, 10, y, 120, 28, parent,
                         reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
}

// Runs f with gtest's failures intercepted; returns the failures it reported.
template <typename F>
std::vector<std::string> FailuresOf(F f)
{
    testing::TestPartResultArray results;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        f();
    }
    std::vector<std::string> messages;
    for (int i = 0; i < results.size(); ++i) {
        EXPECT_TRUE(results.GetTestPartResult(i).nonfatally_failed());
        messages.push_back(results.GetTestPartResult(i).message());
    }
    return messages;
}

RecordedMsg Rec(UINT message, unsigned flags, WPARAM wp = 0, LPARAM lp = 0)
{
    return {nullptr, message, flags, wp, lp};
}

const Bitmap* g_captured;  // for EXPECT_NONFATAL_FAILURE, which cannot see locals

} // namespace

TEST(HarnessCapture, PaintedColoursAreCapturedSavedAndReloaded)
{
    ScopedWindow w(CreateTwoColourWindow(160, 90));
    ASSERT_TRUE(w.Get());
    Bitmap shot = CaptureClient(w);
    ASSERT_EQ(shot.Width(), 160);
    ASSERT_EQ(shot.Height(), 90);
    ExpectRectNear(shot, {0, 0, 80, 90}, kLeft);
    ExpectRectNear(shot, {80, 0, 160, 90}, kRight);
    EXPECT_EQ(CountPixelsNear(shot, {0, 0, 160, 90}, kLeft), 80 * 90);

    // The file is one a person can open, and it holds exactly what was captured.
    std::wstring path = TestFile(L"two_colours.bmp");
    ASSERT_TRUE(shot.Save(path));
    Bitmap back = Bitmap::Load(path);
    ASSERT_EQ(back.Width(), 160);
    ASSERT_EQ(back.Height(), 90);
    EXPECT_EQ(back.At(0, 0), kLeft);
    EXPECT_EQ(back.At(159, 89), kRight);
    EXPECT_EQ(memcmp(back.Data(), shot.Data(), 160 * 90 * 4), 0);
    EXPECT_TRUE(Bitmap::Load(TestFile(L"missing.bmp")).Empty());

    // The screen shows the same where the window is.
    RECT r;
    GetWindowRect(w, &r);
    Bitmap screen = CaptureScreen(r);
    ExpectPixelNear(screen, 10, 10, kLeft, 2);
    ExpectPixelNear(screen, 150, 80, kRight, 2);

    g_captured = &shot;
    EXPECT_NONFATAL_FAILURE(ExpectPixelNear(*g_captured, 5, 5, kRight, 10), "RGB(200,30,60)");
    EXPECT_NONFATAL_FAILURE(ExpectPixelNear(*g_captured, 500, 5, kLeft), "(none)");
    EXPECT_NONFATAL_FAILURE(ExpectRectNear(*g_captured, {70, 0, 90, 90}, kLeft), "900 pixels of");
    EXPECT_TRUE(ExpectPixelNear(shot, 100, 5, RGB(30, 170, 100), 10));
}

TEST(HarnessMessages, RecordedSequencesMatchAndMismatchesAreReported)
{
    ScopedWindow parent(CreateTestWindow(300, 200));
    HWND label = Child(parent, L"STATIC", L"x", 0, 102, 10);
    HWND button = Child(parent, L"BUTTON", L"Go", BS_PUSHBUTTON, 101, 50);
    FlushMessages();

    MessageRecorder rec;
    rec.Watch(label);
    rec.Watch(parent, ParentRole);
    SetWindowTextW(label, L"abc");
    rec.ExpectSequence({{WM_SETTEXT, Sent | AnyLParam},
                        {WM_PAINT, Posted | Optional},
                        {WM_CTLCOLORSTATIC, Sent | Parent | LParam, 0, LPARAM(label)}},
                       "SetWindowText on a static");

    // Sent and posted are told apart, whatever order they were issued in.
    PostMessageW(label, WM_USER + 7, 5, 6);
    SendMessageW(label, WM_USER + 8, 1, 2);
    rec.ExpectSequence({{WM_USER + 8, Sent | WParam | LParam, 1, 2}, {WM_USER + 7, Posted | WParam | LParam, 5, 6}},
                       "sent, then posted");

    rec.Unwatch(label);
    rec.Watch(button);
    const MsgSequence click = {
        {BM_CLICK, Sent},
        {WM_LBUTTONDOWN, Sent},
        {WM_KILLFOCUS, Sent | Parent | Optional},
        {WM_SETFOCUS, Sent | Optional},
        {WM_CTLCOLORBTN, Sent | Parent | Optional},
        {BM_SETSTATE, Sent | WParam, TRUE},
        {WM_CTLCOLORBTN, Sent | Parent | Optional},
        {WM_LBUTTONUP, Sent},
        {BM_SETSTATE, Sent | WParam, FALSE},
        {WM_CTLCOLORBTN, Sent | Parent | Optional},
        {WM_CAPTURECHANGED, Sent | Optional},
        {WM_COMMAND, Sent | Parent | WParam | LParam, MAKEWPARAM(101, BN_CLICKED), LPARAM(button)},
    };
    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_TRUE(rec.ExpectSequence(click, "BM_CLICK"));

    // A wrong expectation fails once, at the caller, with both sides printed.
    SendMessageW(button, BM_CLICK, 0, 0);
    MsgSequence wrong = click;
    wrong.back().wParam = MAKEWPARAM(999, BN_CLICKED);
    auto failures = FailuresOf([&] { EXPECT_FALSE(rec.ExpectSequence(wrong, "wrong id")); });
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("\"wrong id\""), std::string::npos) << failures[0];
    EXPECT_NE(failures[0].find("!   WM_COMMAND sent parent wp=3e7"), std::string::npos) << failures[0];
    EXPECT_NE(failures[0].find("WM_COMMAND sent parent wp=65 lp="), std::string::npos) << failures[0];
    EXPECT_TRUE(rec.Messages().empty()) << "a check clears the recording";

    // Windows created while watching their class are recorded from their first message on.
    rec.WatchNewWindows(L"STATIC");
    HWND made = Child(parent, L"STATIC", L"y", 0, 103, 100);
    ASSERT_TRUE(made);
    rec.ExpectSequence({{WM_NCCREATE, Sent},
                        {WM_NCCALCSIZE, Sent | Optional},
                        {WM_CREATE, Sent},
                        {WM_SIZE, Sent | Optional},
                        {WM_MOVE, Sent | Optional},
                        {WM_PARENTNOTIFY, Sent | Parent | WParam, MAKEWPARAM(WM_CREATE, 103)},
                        {WM_SHOWWINDOW, Sent | WParam, TRUE},
                        {WM_WINDOWPOSCHANGING, Sent},
                        {WM_NCPAINT, Sent | Optional},
                        {WM_ERASEBKGND, Sent | Optional},
                        {WM_WINDOWPOSCHANGED, Sent},
                        {WM_PAINT, Posted},
                        {WM_CTLCOLORSTATIC, Sent | Parent | Optional}},
                       "creation of a visible static");
    DestroyWindow(made);
    EXPECT_TRUE(rec.Contains(WM_NCDESTROY));
    EXPECT_TRUE(rec.Contains(WM_PARENTNOTIFY, ParentRole));
    rec.Clear();
}

TEST(HarnessMessages, ComparisonHandlesOptionalEntriesAndParameters)
{
    const unsigned P = Sent | Parent;
    // An optional entry may match or be absent, wherever greedy matching would go wrong.
    EXPECT_EQ(CompareSequence({{WM_SIZE, Sent | Optional}, {WM_SIZE, Sent}}, {Rec(WM_SIZE, Sent)}), L"");
    EXPECT_EQ(CompareSequence({{WM_MOVE, Sent}, {WM_SIZE, Sent | Optional}, {WM_PAINT, Posted}},
                              {Rec(WM_MOVE, Sent), Rec(WM_PAINT, Posted)}),
              L"");
    EXPECT_NE(CompareSequence({{WM_MOVE, Sent}, {WM_SIZE, Sent | Optional}, {WM_PAINT, Posted}},
                              {Rec(WM_MOVE, Sent), Rec(WM_SIZE, Sent), Rec(WM_SIZE, Sent), Rec(WM_PAINT, Posted)}),
              L"");
    // Sent/posted, parent and the parameters count only where the expectation names them.
    EXPECT_EQ(CompareSequence({{WM_PAINT, 0}}, {Rec(WM_PAINT, Posted)}), L"");
    EXPECT_NE(CompareSequence({{WM_PAINT, Sent}}, {Rec(WM_PAINT, Posted)}), L"");
    EXPECT_NE(CompareSequence({{WM_COMMAND, Sent}}, {Rec(WM_COMMAND, P)}), L"");
    EXPECT_EQ(CompareSequence({{WM_COMMAND, P | WParam, 7}}, {Rec(WM_COMMAND, P, 7, 99)}), L"");
    EXPECT_NE(CompareSequence({{WM_COMMAND, P | WParam, 7}}, {Rec(WM_COMMAND, P, 8, 99)}), L"");
    EXPECT_NE(CompareSequence({{WM_COMMAND, P | LParam, 0, 98}}, {Rec(WM_COMMAND, P, 7, 99)}), L"");

    std::wstring report = CompareSequence({{WM_CREATE, Sent}, {WM_SIZE, Sent}},
                                          {Rec(WM_CREATE, Sent), Rec(WM_USER + 3, Posted)});
    EXPECT_NE(report.find(L"WM_SIZE sent"), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"WM_USER+3 posted"), std::wstring::npos) << report;
    report = CompareSequence({{WM_CREATE, Sent}}, {});
    EXPECT_NE(report.find(L"- "), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"(missing)"), std::wstring::npos) << report;

    UINT registered = RegisterWindowMessageW(L"HvHarnessRegistered");
    EXPECT_EQ(MessageName(registered), L"\"HvHarnessRegistered\"");
    EXPECT_EQ(MessageName(WM_APP + 2), L"WM_APP+2");
    EXPECT_EQ(MessageName(BM_SETCHECK), L"BM_SETCHECK");
}

TEST(HarnessWindows, FindsAndWaits)
{
    ScopedWindow top(CreateTestWindow(300, 200, 100, 100, L"HvHarnessFind"));
    HWND group = Child(top, L"STATIC", L"group", 0, 10, 10);
    HWND deep = CreateWindowW(L"BUTTON", L"Deep", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, group, HMENU(55), nullptr,
                              nullptr);
    ASSERT_TRUE(deep);
    EXPECT_EQ(FindTopWindow(TestWindowClass(), L"HvHarnessFind"), top.Get());
    EXPECT_EQ(FindTopWindow(nullptr, L"HvHarnessFind", GetCurrentProcessId(), true), top.Get());
    EXPECT_EQ(FindTopWindow(TestWindowClass(), L"HvHarnessFind", GetCurrentProcessId() + 4), nullptr);
    EXPECT_EQ(FindDescendant(top, L"button", L"Deep"), deep);
    EXPECT_EQ(FindDescendantById(top, 55), deep);
    EXPECT_EQ(GetDlgItem(top, 55), nullptr) << "the id is a grandchild's";
    EXPECT_EQ(TextOf(deep), L"Deep");
    EXPECT_EQ(ClassNameOf(deep), L"Button");

    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(WaitForWindow(nullptr, L"HvHarnessNoSuchWindow", 300), nullptr);
    EXPECT_GE(GetTickCount64() - start, 290u);

    // A window of this thread keeps getting its messages while the test waits.
    PostMessageW(top, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitForWindowGone(top, 2000));
    top.Release();
}

TEST(HarnessProcess, ArgumentsEnvironmentOutputAndExitCode)
{
    ChildProcess child;
    StartOptions options;
    options.env = {{L"HV_HARNESS_VALUE", L"from the test"}};
    options.captureOutput = true;
    ASSERT_TRUE(child.Start(L"hv_harness_child.exe", {L"exit", L"7", L"a \"quoted\" word", L"back\\slash\\"}, options))
        << child.LastError();
    ASSERT_TRUE(child.Wait(10000));
    EXPECT_EQ(child.ExitCode(), 7u);
    std::string out = child.Output();
    EXPECT_NE(out.find("value=from the test"), std::string::npos) << out;
    EXPECT_NE(out.find("arg=[a \"quoted\" word]"), std::string::npos) << out;
    EXPECT_NE(out.find("arg=[back\\slash\\]"), std::string::npos) << out;

    ChildProcess missing;
    EXPECT_FALSE(missing.Start(L"hv_no_such_program.exe"));
    EXPECT_NE(missing.LastError(), 0u);
}

TEST(HarnessProcess, ChildrenEndOnEveryPath)
{
    // Terminate ends a running program, and its window goes with it.
    HWND window = nullptr;
    {
        ChildProcess child;
        ASSERT_TRUE(child.Start(L"hv_harness_child.exe", {L"window", L"HvHarnessChildWindow"}));
        window = child.WaitForWindow(L"HvHarnessChild", L"HvHarnessChildWindow");
        ASSERT_TRUE(window);
        EXPECT_TRUE(child.Running());
        child.Terminate();
        EXPECT_FALSE(child.Running());
        EXPECT_TRUE(WaitForWindowGone(window, 5000));
    }

    // Leaving the scope ends it too, with whatever it started.
    HANDLE watched = nullptr;
    HWND grandchild = nullptr;
    {
        ChildProcess child;
        ASSERT_TRUE(child.Start(L"hv_harness_child.exe", {L"spawn", L"HvHarnessGrandchild"}));
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), child.Handle(), GetCurrentProcess(), &watched, SYNCHRONIZE,
                                    FALSE, 0));
        grandchild = WaitForWindow(L"HvHarnessChild", L"HvHarnessGrandchild");
        ASSERT_TRUE(grandchild);
        ChildProcess moved = std::move(child);
        EXPECT_FALSE(child.Started());
        EXPECT_TRUE(moved.Running());
    }
    EXPECT_EQ(WaitForSingleObject(watched, 5000), WAIT_OBJECT_0);
    CloseHandle(watched);
    EXPECT_TRUE(WaitForWindowGone(grandchild, 5000)) << "a grandchild outlived the test's child";
}

TEST(HarnessProcess, DialogOfAnotherProcessIsDrivenOnceItsControlsExist)
{
    ChildProcess child;
    ASSERT_TRUE(child.Start(L"hv_harness_child.exe", {L"dialog"}));
    HWND dialog = child.WaitForWindow(L"#32770", L"HvHarnessDialog");
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(WaitForDialogControls(dialog, {IDOK, 1001}));
    HWND edit = FindDescendantById(dialog, 1001);
    EXPECT_EQ(ClassNameOf(edit), L"Edit");
    SendMessageW(edit, WM_SETTEXT, 0, LPARAM(L"typed"));
    EXPECT_EQ(TextOf(edit), L"typed");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(child.Wait(5000));
    EXPECT_EQ(child.ExitCode(), 40u);
}

TEST(HarnessInput, ClicksAndKeysReachTheWindowUnderThePointer)
{
    ScopedWindow parent(CreateTestWindow(300, 200, 150, 150, L"HvHarnessInput"));
    HWND button = Child(parent, L"BUTTON", L"Go", BS_PUSHBUTTON, 101, 10);
    HWND edit = Child(parent, L"EDIT", L"", WS_BORDER | ES_AUTOHSCROLL, 102, 60);
    FlushMessages();

    MessageRecorder rec;
    rec.Watch(parent, ParentRole);
    rec.Watch(edit);
    ASSERT_TRUE(Click(button));
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(WindowFromPoint(cursor), button) << "the pointer is where the click went";
    EXPECT_EQ(GetForegroundWindow(), parent.Get());
    EXPECT_TRUE(rec.Contains(WM_COMMAND, ParentRole));
    rec.Clear();

    ASSERT_TRUE(TypeText(L"Ab1", edit));
    EXPECT_EQ(TextOf(edit), L"Ab1");
    // Keys carry their scan codes: the edit's WM_KEYDOWN has one in lParam bits 16-23.
    bool sawScanCode = false;
    for (const auto& m : rec.Messages())
        if (m.message == WM_KEYDOWN && m.wParam == 'A')
            sawScanCode = ((m.lParam >> 16) & 0xFF) == MapVirtualKeyW('A', MAPVK_VK_TO_VSC);
    EXPECT_TRUE(sawScanCode) << "\n" << std::string(rec.Dump().begin(), rec.Dump().end());
    ASSERT_TRUE(PressKey(VK_LEFT, 0, edit));
    ASSERT_TRUE(PressKey(VK_BACK));
    EXPECT_EQ(TextOf(edit), L"A1");
    ASSERT_TRUE(PressKey(VK_HOME, 0, edit));
    ASSERT_TRUE(PressKey(VK_END, MOD_SHIFT));
    ASSERT_TRUE(TypeText(L"z!"));
    EXPECT_EQ(TextOf(edit), L"z!") << "Shift+End selected all, the typed text replaced it";
}
