// Menus: a resource menu and its sub-menu, items appended, checked, greyed and made default, and a
// popup tracked at a point and answered with keys waiting in the queue.
#include "platform/Menu.h"
#include "platform/Wnd.h"
#include "platform/WndClass.h"

#include <gtest/gtest.h>

#include "HvTest.h"
#include "PlatformTestRes.h"

namespace {

constexpr UINT kTrackFlags = TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY;

// Keys for the menu loop: it reads every key message of the thread's queue, whatever its window.
void QueueKeys(HWND owner, std::initializer_list<WPARAM> keys)
{
    for (WPARAM key : keys) {
        ::PostMessageW(owner, WM_KEYDOWN, key, 1);
        ::PostMessageW(owner, WM_KEYUP, key, 0xC0000001);
    }
}

} // namespace

TEST(Menus, ResourceMenuItemsAndTracking)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, CWndClass::DefaultClass(), L"menu owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               CRect(50, 50, 400, 300), nullptr, 0));
    ::SetForegroundWindow(owner.m_hWnd);

    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDM_CONTEXT));
    EXPECT_TRUE(menu.IsOwned());
    CMenu popup = menu.GetSubMenu(0);
    ASSERT_TRUE(popup.GetSafeHmenu());
    EXPECT_FALSE(popup.IsOwned());
    EXPECT_FALSE(menu.GetSubMenu(3).GetSafeHmenu());
    EXPECT_EQ(4, popup.GetMenuItemCount());
    EXPECT_EQ(static_cast<UINT>(ID_CONTEXT_SECOND), popup.GetMenuItemID(1));
    EXPECT_EQ(L"&Third", popup.GetMenuString(ID_CONTEXT_THIRD));
    EXPECT_EQ(L"&First", popup.GetMenuString(0, MF_BYPOSITION));
    EXPECT_EQ(L"", popup.GetMenuString(12345));

    // Append, check, grey, default.
    EXPECT_TRUE(popup.AppendSeparator());
    EXPECT_TRUE(popup.AppendMenu(MF_STRING, 40010, L"&Added"));
    CMenu sub;
    ASSERT_TRUE(sub.CreatePopupMenu());
    sub.AppendMenu(MF_STRING, 40020, L"Inner");
    EXPECT_TRUE(popup.AppendSubMenu(std::move(sub), L"More"));
    EXPECT_FALSE(sub.GetSafeHmenu());
    EXPECT_EQ(7, popup.GetMenuItemCount());
    EXPECT_EQ(L"Inner", popup.GetSubMenu(6).GetMenuString(40020));

    popup.CheckMenuItem(ID_CONTEXT_FIRST, MF_BYCOMMAND | MF_CHECKED);
    EXPECT_TRUE(popup.IsChecked(ID_CONTEXT_FIRST));
    popup.CheckMenuItem(ID_CONTEXT_FIRST, MF_BYCOMMAND | MF_UNCHECKED);
    EXPECT_FALSE(popup.IsChecked(ID_CONTEXT_FIRST));
    popup.EnableMenuItem(ID_CONTEXT_SECOND, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_TRUE(popup.IsGrayed(ID_CONTEXT_SECOND));
    EXPECT_EQ(static_cast<UINT>(-1), popup.GetDefaultItem());
    EXPECT_TRUE(popup.SetDefaultItem(ID_CONTEXT_THIRD));
    EXPECT_EQ(static_cast<UINT>(ID_CONTEXT_THIRD), popup.GetDefaultItem());
    EXPECT_EQ(3u, popup.GetDefaultItem(true));
    EXPECT_TRUE(popup.GetMenuState(ID_CONTEXT_THIRD) & MF_DEFAULT);

    // Tracked at a point: the first item by arrow and Enter, the third by its mnemonic, none by
    // Escape; the owner gets no command.
    hvtest::FlushMessages();
    QueueKeys(owner.m_hWnd, {VK_DOWN, VK_RETURN});
    EXPECT_EQ(static_cast<UINT>(ID_CONTEXT_FIRST), popup.TrackPopupMenu(kTrackFlags, 120, 120, owner.m_hWnd));
    hvtest::FlushMessages();
    ::PostMessageW(owner.m_hWnd, WM_CHAR, 't', 1);
    EXPECT_EQ(static_cast<UINT>(ID_CONTEXT_THIRD), popup.TrackPopupMenu(kTrackFlags, 120, 120, owner.m_hWnd));
    hvtest::FlushMessages();
    QueueKeys(owner.m_hWnd, {VK_ESCAPE});
    EXPECT_EQ(0u, popup.TrackPopupMenu(kTrackFlags, 120, 120, owner.m_hWnd));
    hvtest::FlushMessages();

    // Moving passes the ownership on; a borrowed menu destroys nothing.
    HMENU handle = menu.GetSafeHmenu();
    CMenu moved(std::move(menu));
    EXPECT_EQ(handle, moved.GetSafeHmenu());
    EXPECT_TRUE(moved.IsOwned());
    { CMenu borrowed = CMenu::FromHandle(handle); }
    EXPECT_TRUE(::IsMenu(handle));
    moved.DestroyMenu();
    EXPECT_FALSE(::IsMenu(handle));
    owner.DestroyWindow();
}
