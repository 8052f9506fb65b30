// CTrayNotifyIcon: the tray program's icon in the notification area and the menu it carries.
//
// The icon's callbacks (WM_TRAY_NOTIFY, icon id 129, lParam the mouse message) go to the tray dialog,
// which decides what a click does; the icon object shows the menu when asked. A hidden helper window
// of its own hears the shell's "TaskbarCreated" broadcast and puts the icon back after the shell
// restarts. The icon record's size follows the shell version, so an older shell reads only the
// fields it knows.
//
// The object owns the helper window and the menu; it removes the icon when it is destroyed. All on
// the user-interface thread.
#pragma once

#include "platform/Menu.h"
#include "platform/Wnd.h"

#include <shellapi.h>

#include <memory>

inline constexpr UINT WM_TRAY_NOTIFY = WM_USER + 100;
inline constexpr UINT kTrayIconId = 129;
inline constexpr wchar_t kTrayTip[] = L"Halvo VEXA";

// The message the shell broadcasts when the taskbar is (re)created; registered at program start.
UINT TaskbarCreatedMessage();

class CTrayNotifyIcon
{
public:
    CTrayNotifyIcon();
    ~CTrayNotifyIcon();
    CTrayNotifyIcon(const CTrayNotifyIcon&) = delete;
    CTrayNotifyIcon& operator=(const CTrayNotifyIcon&) = delete;

    // Loads menu resource menuId (its first popup's first item the default), makes the helper window
    // and adds the icon for target (borrowed; it must outlive the icon). True when the icon was added.
    bool Create(CWnd* target, HICON icon, UINT menuId);

    // Replaces the menu; the default item is defaultCommand (looked up by command, into popups).
    void SetMenu(CMenu&& menu, UINT defaultCommand);
    // The menu as last given; its first popup is what the icon shows.
    const CMenu& Menu() const noexcept { return m_menu; }

    // A callback of the icon: 0 for another icon id, else 1. A right-button release shows the menu at
    // point; a double click sends the target the default item's command.
    LRESULT OnTrayNotification(UINT iconId, UINT mouseMessage, POINT point);
    // OnTrayNotification at the cursor's position.
    LRESULT ShowMenuAtCursor(UINT iconId, UINT mouseMessage);

    // Puts the icon (back) into the notification area: deletes it first when shown; true when added.
    bool AddIcon();
    bool IsShown() const noexcept { return m_shown; }
    // The record the shell is given (its cbSize the size for the shell's version).
    const NOTIFYICONDATAW& Record() const noexcept { return m_data; }
    // The helper window (for tests that broadcast to it).
    HWND HelperWindow() const;

private:
    class CHelperWnd;

    std::unique_ptr<CHelperWnd> m_helper;
    NOTIFYICONDATAW m_data;
    int m_version = 0; // 0 to 3, the shell's notification-icon version
    bool m_shown = false;
    CWnd* m_target = nullptr;
    CMenu m_menu;
    UINT m_defaultItem = 0;
    bool m_defaultByPosition = true;
};
