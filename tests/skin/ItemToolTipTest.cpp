// Windows that items create beside their own: the tooltips of bitmap items, buttons, key items and
// bitmap windows, and the animation of an animated button. The system destroys them with the
// item's window (a tooltip is owned by the item, an animation is its child); an item that outlives
// its window must then forget them, because their handle values are handed out again.
#include "AVIButton.h"
#include "BitmapBtn.h"
#include "BitmapItem.h"
#include "BitmapWindow.h"
#include "KeyboardKeyItem.h"

#include "HvTest.h"
#include "../platform/ImportPatch.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

uintptr_t Bits(HWND hwnd)
{
    return reinterpret_cast<uintptr_t>(hwnd);
}

HWND CreateStranger()
{
    return CreateWindowExW(0, L"STATIC", L"stranger", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

uintptr_t Slot(uintptr_t handle)
{
    return handle & 0xFFFF;
}

uintptr_t UseCount(uintptr_t handle)
{
    return (handle >> 16) & 0xFFFF;
}

// One try of WindowReusing; null when another process took the slot on the way.
HWND TryWindowReusing(HWND stale)
{
    const uintptr_t slot = Slot(Bits(stale));
    const uintptr_t use = UseCount(Bits(stale));
    auto bits = [](HMENU menu) { return reinterpret_cast<uintptr_t>(menu); };
    auto next = [](uintptr_t count) -> uintptr_t { return count + 1 >= 0xFFFF ? 1 : count + 1; };
    std::vector<HMENU> others;
    HMENU menu = nullptr;
    for (int i = 0; i < 512 && !menu; ++i) {
        HMENU created = CreateMenu();
        if (!created)
            break;
        if (Slot(bits(created)) == slot)
            menu = created;
        else
            others.push_back(created);
    }
    for (int i = 0; menu && next(UseCount(bits(menu))) != use && i < 0x10000; ++i) {
        DestroyMenu(menu);
        menu = CreateMenu();
        if (menu && Slot(bits(menu)) != slot) {
            others.push_back(menu);
            menu = nullptr;
        }
    }
    HWND hwnd = nullptr;
    if (menu) {
        DestroyMenu(menu);
        hwnd = CreateStranger();
    }
    for (HMENU other : others)
        DestroyMenu(other);
    if (hwnd && hwnd != stale) {
        DestroyWindow(hwnd);
        hwnd = nullptr;
    }
    return hwnd;
}

// A new window of this thread whose handle equals stale, the handle of a window already destroyed;
// null when the system did not hand that value out again within a minute. Windows and menus share
// one table of slots (with every process of the session, so other programs running beside the test
// can get in the way; it tries again then): a handle holds its slot in the low word and the slot's
// use count in the high word (1 to 0xFFFE, then 1 again), and the slot freed last is taken first.
// Menus, which are quick to make, are made until one sits in stale's slot; that one is made again
// until its count stands right before stale's, so that the window made next gets stale's value.
HWND WindowReusing(HWND stale)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 60000) {
        if (HWND hwnd = TryWindowReusing(stale))
            return hwnd;
        Sleep(50);
    }
    return nullptr;
}

// Records the handles given to DestroyWindow by the program (the layer and the items are linked
// into it) while it lives, and lets the calls through.
class CDestroyRecorder
{
public:
    CDestroyRecorder() : m_patch("DestroyWindow", reinterpret_cast<void*>(&Record)) { s_current = this; }
    ~CDestroyRecorder() { s_current = nullptr; }
    CDestroyRecorder(const CDestroyRecorder&) = delete;
    CDestroyRecorder& operator=(const CDestroyRecorder&) = delete;

    bool IsActive() const { return m_patch.IsActive(); }
    std::vector<HWND> destroyed;

private:
    static BOOL WINAPI Record(HWND hwnd)
    {
        s_current->destroyed.push_back(hwnd);
        return s_current->m_patch.Original<BOOL(WINAPI*)(HWND)>()(hwnd);
    }

    static CDestroyRecorder* s_current;
    CImportPatch m_patch;
};
CDestroyRecorder* CDestroyRecorder::s_current = nullptr;

// A parent window with an object of the layer, so that its children's notifications are reflected.
class CParent : public CWnd
{
public:
    bool Create()
    {
        return CreateEx(0, hvtest::TestWindowClass(), L"items", WS_POPUP | WS_VISIBLE, CRect(100, 100, 400, 250),
                        nullptr, 0);
    }
};

constexpr UINT kAviId = 1201;

} // namespace

TEST(ItemWindows, AnItemOutlivingItsWindowLeavesItsOldHandlesAlone)
{
    CParent parent;
    ASSERT_TRUE(parent.Create());
    auto button = std::make_unique<CBitmapBtn>();
    auto key = std::make_unique<CKeyboardKeyItem>();
    auto bitmap = std::make_unique<CBitmapItem>();
    auto window = std::make_unique<CBitmapWindow>();
    auto avi = std::make_unique<CAVIButton>();
    ASSERT_TRUE(button->Create(L"", WS_VISIBLE, CRect(0, 0, 40, 20), parent, 1101));
    ASSERT_TRUE(key->Create(L"", WS_VISIBLE, CRect(50, 0, 90, 20), parent, 1102));
    ASSERT_TRUE(bitmap->Create(CRect(0, 30, 40, 50), parent, WS_CHILD | WS_VISIBLE));
    ASSERT_TRUE(window->Create(CRect(50, 30, 90, 50), parent));
    ASSERT_TRUE(avi->Create(CRect(0, 60, 40, 80), parent, kAviId));
    button->SetToolTip(L"button");
    key->SetToolTip(L"key");
    bitmap->SetToolTip(L"bitmap");
    window->SetToolTip(L"window");
    // A double click plays the animation in a child window of the button.
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(kAviId, BN_DOUBLECLICKED), reinterpret_cast<LPARAM>(avi->m_hWnd));

    const std::vector<HWND> sideWindows = {button->ToolTip().Window(), key->ToolTip().Window(),
                                           bitmap->ToolTip().Window(), window->ToolTip().Window(),
                                           avi->AnimationWindow()};
    for (HWND side : sideWindows)
        ASSERT_TRUE(IsWindow(side));
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(SendMessageW(sideWindows[i], TTM_GETTOOLCOUNT, 0, 0), 1) << i;

    // The panel goes first and takes every item window, tooltip and animation with it.
    parent.DestroyWindow();
    for (HWND side : sideWindows)
        EXPECT_FALSE(IsWindow(side));
    EXPECT_EQ(button->ToolTip().Window(), nullptr);
    EXPECT_EQ(key->ToolTip().Window(), nullptr);
    EXPECT_EQ(bitmap->ToolTip().Window(), nullptr);
    EXPECT_EQ(window->ToolTip().Window(), nullptr);
    EXPECT_EQ(avi->AnimationWindow(), nullptr);
    // A window-less item makes no new tooltip.
    button->SetToolTip(L"again");
    EXPECT_EQ(button->ToolTip().Window(), nullptr);

    // Another window gets the old tooltip handle (when the system hands it out again soon enough,
    // which other programs in the session can prevent); deleting the items destroys no window by
    // an old handle, and so leaves that window be.
    HWND stranger = WindowReusing(sideWindows[0]);
    if (!stranger)
        std::printf("note: the system handed out no window with the tooltip's old handle\n");
    {
        CDestroyRecorder recorder;
        ASSERT_TRUE(recorder.IsActive());
        button.reset();
        key.reset();
        bitmap.reset();
        window.reset();
        avi.reset();
        EXPECT_TRUE(recorder.destroyed.empty()) << recorder.destroyed.size() << " windows destroyed, the first "
                                                << recorder.destroyed.front();
    }
    if (stranger) {
        EXPECT_TRUE(IsWindow(stranger));
        DestroyWindow(stranger);
    }
}

TEST(ItemWindows, AnItemDestroysTheTooltipItMade)
{
    CParent parent;
    ASSERT_TRUE(parent.Create());
    HWND tip = nullptr;
    {
        CBitmapBtn button;
        ASSERT_TRUE(button.Create(L"", WS_VISIBLE, CRect(0, 0, 40, 20), parent, 1101));
        button.SetToolTip(L"first");
        tip = button.ToolTip().Window();
        ASSERT_TRUE(IsWindow(tip));
        // The system gives the tooltip the item's top-level window as owner.
        EXPECT_EQ(GetWindow(tip, GW_OWNER), parent.m_hWnd);
        // Messages the button sees go on to its tooltip, which stays the same window.
        MSG msg = {button.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), GetTickCount(), {105, 105}};
        button.PreTranslateMessage(&msg);
        button.SetToolTip(L"second");
        EXPECT_EQ(button.ToolTip().Window(), tip);
        EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
        EXPECT_EQ(button.ToolTip().Text(), L"second");
        // The tooltip outlives the button's window (its owner is the panel) but not the button.
        button.DestroyWindow();
        EXPECT_TRUE(IsWindow(tip));
    }
    EXPECT_FALSE(IsWindow(tip));

    // An item deleted while its window lives takes its tooltip along.
    auto bitmap = std::make_unique<CBitmapItem>();
    ASSERT_TRUE(bitmap->Create(CRect(0, 30, 40, 50), parent, WS_CHILD | WS_VISIBLE));
    bitmap->SetToolTip(L"bitmap");
    tip = bitmap->ToolTip().Window();
    HWND item = bitmap->m_hWnd;
    ASSERT_TRUE(IsWindow(tip));
    bitmap.reset();
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_FALSE(IsWindow(item));
    parent.DestroyWindow();
}
