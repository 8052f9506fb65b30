// CVexaSysTrayDlg: the tray program's one window, a hidden modeless dialog.
//
// It owns the notification-area icon and its menu, the on-screen display, and the item list that
// "Language.xml" is loaded into (whose tables translate the menu). It hears the device and session
// notifications of the system, the icon's clicks, its two timers (the automatic profile switch every
// 5 s, and the single click that waits out the double-click time), and, as the handler of every
// device's event connections (DeviceManager.h), the middleware's events. Everything runs on the one
// user-interface thread, which joins a single-threaded COM apartment for the dialog's lifetime: the
// events arrive as calls on it while it pumps messages.
//
// Ownership: the object is made with new and deletes itself once its window is gone (PostNcDestroy);
// whoever keeps a pointer to it gives its address to SetOwnerSlot and finds it cleared then. Before
// the window goes (WM_DESTROY), every recording is cancelled and every connection, notification
// registration, timer, raw input registration and the icon are released, so no event reaches a dead
// handler.
#pragma once

#include "platform/Dialog.h"
#include "skin/GUIItem.h"
#include "SysTray/DeviceManager.h"
#include "SysTray/EventHandlers.h"
#include "SysTray/OnScreenDisplay.h"
#include "SysTray/TrayNotifyIcon.h"

#include <memory>
#include <string>
#include <vector>

inline constexpr UINT WM_DEVICE_GONE = WM_USER + 20;
inline constexpr UINT_PTR TIMER_AUTO_SWITCH = 700;
inline constexpr UINT kAutoSwitchMs = 5000;
inline constexpr UINT_PTR TIMER_TRAY_CLICK = 701;
// Profile entries of the menu: 1000 x (device row + 1) + profile index.
inline constexpr UINT kProfileCommandBase = 1000;
inline constexpr wchar_t kTrayProgramName[] = L"HalvoVexaSysTray";
inline constexpr wchar_t kTrayMutexName[] = L"HalvoVexaSysTray";
inline constexpr wchar_t kTrayIconFailedText[] = L"Failed to create tray icon 1";

class CVexaSysTrayDlg : public CDialog, public IDeviceCallbacksHandler
{
public:
    CVexaSysTrayDlg();
    ~CVexaSysTrayDlg() override;

    // Creates the dialog, modeless and hidden, from its template. False when the window could not be
    // made (the object stays its owner's), or when its initialisation failed because the icon could not
    // be added (the window is destroyed then, and the object with it: the owner slot is cleared).
    bool CreateTray();
    // slot is cleared when the object deletes itself.
    void SetOwnerSlot(CVexaSysTrayDlg** slot) noexcept { m_ownerSlot = slot; }

    // ---- the middleware's events (IDeviceCallbacksHandler) ----
    void OnDpiChanged(int deviceId, int dpiX, int dpiY) override;
    void OnActiveProfileChanged(int deviceId, int value) override;
    void OnMacroRecordStart(int deviceId) override;
    void OnMacroRecordEnd(int deviceId) override;
    void OnMacroRecordCancel(int deviceId) override;
    void OnMacroKeyAssigned(int deviceId, int first, int key) override;
    void OnLaunchApp(int deviceId, int action, const wchar_t* programPath) override;

    // The icon with the menu as last built; null once the window is gone.
    const CTrayNotifyIcon* TrayIcon() const noexcept { return m_trayIcon.get(); }
    // Null when the display windows could not be made.
    COnScreenDisplay* Osd() const noexcept { return m_osd.get(); }
    // The pending single-click timer, 0 when none.
    UINT_PTR PendingClickTimer() const noexcept { return m_clickTimer; }
    // How often the menu was built.
    int MenuBuilds() const noexcept { return m_menuBuilds; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    // ---- set-up and tear-down (VexaSysTrayDlg.cpp) ----
    void LoadLanguage();
    void RegisterNotifications();
    // Releases whatever ties the system or the middleware to this window; safe to repeat.
    void ReleaseRegistrations();
    // Closes now, or, while the menu or the About box shows, ends it and closes once it returned.
    void CloseTray();
    void RunPendingClose();

    // ---- window messages ----
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    LRESULT OnDeviceChange(WPARAM event, LPARAM data);
    LRESULT OnSessionChange(WPARAM code, LPARAM session);
    LRESULT OnTrayNotification(WPARAM iconId, LPARAM mouseMessage);
    LRESULT OnDeviceGone(WPARAM productId, LPARAM);
    LRESULT OnRawInput(WPARAM, LPARAM input);
    void OnLoadConfigTool();
    void OnTimer(UINT_PTR id);
    void OnClose();
    void OnDestroy();

    // ---- devices (TrayDevices.cpp) ----
    void RegisterDeviceCallbacksFor(DWORD productId);
    // Registers every device of the table that has no callbacks yet.
    void RegisterAllDeviceCallbacks();
    void AutoSwitchProfiles();
    void ShowProfileOsd(const std::wstring& name);
    void StartConfigToolOnce();

    // ---- the menu (TrayMenu.cpp) ----
    void BuildTrayMenu();
    // Builds the menu and shows it at point, unless it is showing already. A close asked for while the
    // menu shows runs when it has closed: the object may be gone when this returns.
    void ShowTrayMenu(POINT point);
    void SelectProfile(UINT index, UINT row);

    // ---- on-the-fly recording (TrayRecording.cpp) ----
    void CancelAllMacroRecordings();
    void AbortMacroRecording(int deviceId);
    void RecordRawInput(HRAWINPUT input);

    HICON m_largeIcon = nullptr; // shared icons of the module: not destroyed
    HICON m_trayIconHandle = nullptr;
    std::unique_ptr<CTrayNotifyIcon> m_trayIcon;
    std::vector<_Profile_Setting_> m_settings; // of the device the automatic switch looks at
    POINT m_clickPoint{};
    UINT_PTR m_clickTimer = 0;
    UINT m_closeCommand;
    std::unique_ptr<COnScreenDisplay> m_osd;
    HDEVNOTIFY m_deviceNotify = nullptr;
    bool m_sessionRegistered = false;
    CGUIItems m_languageItems;

    HRESULT m_apartment;
    bool m_initFailed = false;
    // From the end of OnInitDialog to WM_DESTROY: the span in which device and session notices act.
    bool m_initialised = false;
    CDialog* m_aboutBox = nullptr; // while the About box shows
    bool m_menuShowing = false;
    bool m_closePending = false;
    int m_menuBuilds = 0;
    // The profile names each device's entries showed when the menu was last built, by row: an entry
    // chosen after the menu's loop (in which a device may have gone, come back or changed) is looked up
    // again by its name.
    std::vector<std::wstring> m_menuNames[std::size(kDeviceSlots)];
    CVexaSysTrayDlg** m_ownerSlot = nullptr;

    HV_DECLARE_MSG_MAP()
};
