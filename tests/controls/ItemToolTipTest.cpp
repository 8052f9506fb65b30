// Windows that items create beside their own: the one tooltip control that the items of a top-level
// window share (bitmap items, buttons, key items, bitmap windows), and the animation of an animated
// button. The system destroys them with the top-level window (the tooltip is owned by it) or with
// the item's window (an animation is its child); an item that outlives them must then forget them,
// because their handle values are handed out again.
#include "controls/AVIButton.h"
#include "controls/BitmapBtn.h"
#include "controls/BitmapItem.h"
#include "controls/BitmapWindow.h"
#include "controls/ItemToolTip.h"
#include "controls/KeyboardKeyItem.h"

#include "HvTest.h"
#include "ImportPatch.h"

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

// What the program's message loop hands an item when the pointer moves over it at client point
// (x, y): its relay runs in PreTranslateMessage.
void MoveOver(CWnd& item, int x, int y)
{
    POINT screen = {x, y};
    ClientToScreen(item, &screen);
    MSG msg = {item.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y), GetTickCount(), screen};
    item.PreTranslateMessage(&msg);
}

std::wstring ToolText(HWND tip, HWND item)
{
    wchar_t text[80] = {};
    TTTOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.hwnd = item;
    info.uId = 1;
    info.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    return text;
}

LRESULT ToolCount(HWND tip)
{
    return SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0);
}

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
    // The pointer over each item: the panel's one tooltip control holds a tool of each.
    MoveOver(*button, 5, 5);
    MoveOver(*key, 5, 5);
    MoveOver(*bitmap, 5, 5);
    MoveOver(*window, 5, 5);
    // A double click plays the animation in a child window of the button.
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(kAviId, BN_DOUBLECLICKED), reinterpret_cast<LPARAM>(avi->m_hWnd));

    const HWND tip = button->ToolTip().Window();
    ASSERT_TRUE(IsWindow(tip));
    EXPECT_EQ(key->ToolTip().Window(), tip);
    EXPECT_EQ(bitmap->ToolTip().Window(), tip);
    EXPECT_EQ(window->ToolTip().Window(), tip);
    EXPECT_EQ(ToolCount(tip), 4);
    const HWND animation = avi->AnimationWindow();
    ASSERT_TRUE(IsWindow(animation));

    // The panel goes first and takes every item window, the tooltip and the animation with it.
    parent.DestroyWindow();
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_FALSE(IsWindow(animation));
    EXPECT_EQ(button->ToolTip().Window(), nullptr);
    EXPECT_EQ(key->ToolTip().Window(), nullptr);
    EXPECT_EQ(bitmap->ToolTip().Window(), nullptr);
    EXPECT_EQ(window->ToolTip().Window(), nullptr);
    EXPECT_EQ(avi->AnimationWindow(), nullptr);
    // A window-less item makes no new tooltip, whatever it is told.
    button->SetToolTip(L"again");
    MoveOver(*button, 5, 5);
    EXPECT_EQ(button->ToolTip().Window(), nullptr);

    // Another window gets the old tooltip handle (when the system hands it out again soon enough,
    // which other programs in the session can prevent); deleting the items destroys no window by
    // an old handle, sends nothing to one, and so leaves that window be.
    HWND stranger = WindowReusing(tip);
    if (!stranger)
        std::printf("note: the system handed out no window with the tooltip's old handle\n");
    {
        CDestroyRecorder recorder;
        ASSERT_TRUE(recorder.IsActive());
        hvtest::MessageRecorder messages;
        if (stranger)
            messages.Watch(stranger);
        button.reset();
        key.reset();
        bitmap.reset();
        window.reset();
        avi.reset();
        EXPECT_TRUE(recorder.destroyed.empty()) << recorder.destroyed.size() << " windows destroyed, the first "
                                                << recorder.destroyed.front();
        if (stranger) {
            EXPECT_FALSE(messages.Contains(TTM_DELTOOLW));
        }
    }
    if (stranger) {
        EXPECT_TRUE(IsWindow(stranger));
        DestroyWindow(stranger);
    }
}

TEST(ItemWindows, ThePanelsTooltipKeepsOneToolPerLivingItem)
{
    CParent parent;
    ASSERT_TRUE(parent.Create());
    auto button = std::make_unique<CBitmapBtn>();
    ASSERT_TRUE(button->Create(L"", WS_VISIBLE, CRect(0, 0, 40, 20), parent, 1101));

    // A text alone makes nothing; the pointer over the item makes the control, owned by the panel.
    button->SetToolTip(L"first");
    EXPECT_EQ(button->ToolTip().Window(), nullptr);
    MoveOver(*button, 5, 5);
    const HWND tip = button->ToolTip().Window();
    ASSERT_TRUE(IsWindow(tip));
    EXPECT_EQ(GetWindow(tip, GW_OWNER), parent.m_hWnd);
    EXPECT_EQ(ToolCount(tip), 1);
    EXPECT_EQ(ToolText(tip, *button), L"first");
    // A new text goes to the same tool; more messages add nothing.
    button->SetToolTip(L"second");
    MoveOver(*button, 6, 6);
    EXPECT_EQ(button->ToolTip().Window(), tip);
    EXPECT_EQ(ToolCount(tip), 1);
    EXPECT_EQ(button->ToolTip().Text(), L"second");
    EXPECT_EQ(ToolText(tip, *button), L"second");
    // An empty text takes the tool out; a text brings it back when the pointer comes again.
    button->SetToolTip(L"");
    EXPECT_EQ(button->ToolTip().Window(), nullptr);
    EXPECT_EQ(ToolCount(tip), 0);
    button->SetToolTip(L"third");
    MoveOver(*button, 5, 5);
    EXPECT_EQ(button->ToolTip().Window(), tip);
    EXPECT_EQ(ToolText(tip, *button), L"third");

    // A second item of the panel joins the same control; an item without a text adds no tool.
    auto bitmap = std::make_unique<CBitmapItem>();
    auto silent = std::make_unique<CBitmapItem>();
    ASSERT_TRUE(bitmap->Create(CRect(0, 30, 40, 50), parent, WS_CHILD | WS_VISIBLE));
    ASSERT_TRUE(silent->Create(CRect(50, 30, 90, 50), parent, WS_CHILD | WS_VISIBLE));
    bitmap->SetToolTip(L"bitmap");
    MoveOver(*bitmap, 5, 5);
    MoveOver(*silent, 5, 5);
    EXPECT_EQ(bitmap->ToolTip().Window(), tip);
    EXPECT_EQ(silent->ToolTip().Window(), nullptr);
    EXPECT_EQ(ToolCount(tip), 2);

    // The control is the panel's: it outlives an item's window, and an item deleted takes its tool
    // out of it.
    const HWND item = bitmap->m_hWnd;
    bitmap->DestroyWindow();
    EXPECT_TRUE(IsWindow(tip));
    EXPECT_EQ(ToolCount(tip), 2);
    bitmap.reset();
    EXPECT_EQ(ToolCount(tip), 1);
    EXPECT_EQ(ToolText(tip, item), L"");
    button.reset();
    EXPECT_EQ(ToolCount(tip), 0);
    EXPECT_TRUE(IsWindow(tip));
    silent.reset();
    parent.DestroyWindow();
    EXPECT_FALSE(IsWindow(tip));
}

TEST(ItemWindows, AToolLeftOnAHandleHandedOutAgainIsTakenOver)
{
    // Two items whose windows had the same handle one after the other: the first item's window is
    // gone, the item not yet. The second item's tool replaces the first's; the first item, deleted
    // later, leaves the second's tool alone.
    CParent parent;
    ASSERT_TRUE(parent.Create());
    CBitmapItem host;
    ASSERT_TRUE(host.Create(CRect(0, 0, 40, 20), parent, WS_CHILD | WS_VISIBLE));
    MSG msg = {host.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), GetTickCount(), {105, 105}};
    auto first = std::make_unique<CItemToolTip>();
    first->SetText(host, L"first");
    first->Relay(host, &msg);
    const HWND tip = first->Window();
    ASSERT_TRUE(IsWindow(tip));
    CItemToolTip second;
    second.SetText(host, L"second");
    second.Relay(host, &msg);
    EXPECT_EQ(second.Window(), tip);
    EXPECT_EQ(ToolCount(tip), 1);
    EXPECT_EQ(ToolText(tip, host), L"second");
    first.reset();
    EXPECT_EQ(ToolCount(tip), 1);
    EXPECT_EQ(ToolText(tip, host), L"second");
    // Its text changes in the tool it owns.
    second.SetText(host, L"third");
    EXPECT_EQ(ToolText(tip, host), L"third");
    parent.DestroyWindow();
    EXPECT_EQ(second.Window(), nullptr);
}
