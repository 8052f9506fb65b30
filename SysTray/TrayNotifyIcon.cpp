#include "SysTray/TrayNotifyIcon.h"

#include "platform/WndClass.h"

#include <shlwapi.h>

#include <cwchar>

namespace {

// Registered when the program starts, so that the helper window's map can name it.
UINT g_taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");

constexpr wchar_t kHelperTitle[] = L"CTrayNotifyIcon Helper Window";

// The major version of shell32, from its DllGetVersion; 0 when it does not say.
DWORD ShellMajorVersion()
{
    HMODULE shell = ::GetModuleHandleW(L"shell32.dll");
    if (!shell)
        return 0;
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(::GetProcAddress(shell, "DllGetVersion")));
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    return getVersion && SUCCEEDED(getVersion(&info)) ? info.dwMajorVersion : 0;
}

DWORD WindowsMajorVersion()
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return ::GetVersionExW(&info) ? info.dwMajorVersion : 0;
#pragma GCC diagnostic pop
}

// The record size and notification-icon version the shell understands.
void ChooseRecordVersion(DWORD* size, int* version)
{
    if (WindowsMajorVersion() > 5) {
        *size = sizeof(NOTIFYICONDATAW);
        *version = 3;
        return;
    }
    const DWORD shell = ShellMajorVersion();
    if (shell > 5) {
        *size = NOTIFYICONDATAW_V3_SIZE;
        *version = 2;
    } else if (shell > 4) {
        *size = NOTIFYICONDATAW_V2_SIZE;
        *version = 1;
    } else {
        *size = NOTIFYICONDATAW_V1_SIZE;
        *version = 0;
    }
}

} // namespace

UINT TaskbarCreatedMessage()
{
    return g_taskbarCreated;
}

// Hears the shell's broadcasts for the icon.
class CTrayNotifyIcon::CHelperWnd : public CWnd
{
public:
    explicit CHelperWnd(CTrayNotifyIcon& icon) : m_icon(icon) {}
    ~CHelperWnd() override { DestroyWindow(); }

private:
    LRESULT OnTaskbarCreated(WPARAM, LPARAM)
    {
        m_icon.AddIcon();
        return 0;
    }

    CTrayNotifyIcon& m_icon;

    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CTrayNotifyIcon::CHelperWnd, CWnd)
    ON_REGISTERED_MESSAGE(g_taskbarCreated, OnTaskbarCreated)
END_MSG_MAP()

CTrayNotifyIcon::CTrayNotifyIcon() : m_data{}
{
    DWORD size = 0;
    ChooseRecordVersion(&size, &m_version);
    m_data.cbSize = size;
}

CTrayNotifyIcon::~CTrayNotifyIcon()
{
    if (m_shown) {
        ::Shell_NotifyIconW(NIM_DELETE, &m_data);
        m_shown = false;
    }
    m_helper.reset();
    m_menu.DestroyMenu();
}

HWND CTrayNotifyIcon::HelperWindow() const
{
    return m_helper ? m_helper->m_hWnd : nullptr;
}

bool CTrayNotifyIcon::Create(CWnd* target, HICON icon, UINT menuId)
{
    if (!target || m_helper)
        return false;
    if (!m_menu.LoadMenu(menuId))
        return false;
    m_defaultItem = 0;
    m_defaultByPosition = true;
    m_menu.GetSubMenu(0).SetDefaultItem(m_defaultItem, m_defaultByPosition);
    m_helper = std::make_unique<CHelperWnd>(*this);
    if (!m_helper->CreateEx(0, CWndClass::DefaultClass(), kHelperTitle, WS_OVERLAPPEDWINDOW,
                            CRect(), nullptr, 0)) {
        m_helper.reset();
        return false;
    }
    m_target = target;
    m_data.hWnd = target->m_hWnd;
    m_data.uID = kTrayIconId;
    m_data.uCallbackMessage = WM_TRAY_NOTIFY;
    m_data.hIcon = icon;
    std::wcsncpy(m_data.szTip, kTrayTip, 127);
    m_data.szTip[127] = L'\0';
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_shown = ::Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
    if (m_shown && m_version > 0) {
        m_data.uVersion = NOTIFYICON_VERSION;
        ::Shell_NotifyIconW(NIM_SETVERSION, &m_data);
    }
    return m_shown;
}

void CTrayNotifyIcon::SetMenu(CMenu&& menu, UINT defaultCommand)
{
    m_menu = std::move(menu);
    m_defaultItem = defaultCommand;
    m_defaultByPosition = false;
    m_menu.GetSubMenu(0).SetDefaultItem(defaultCommand, false);
}

LRESULT CTrayNotifyIcon::OnTrayNotification(UINT iconId, UINT mouseMessage, POINT point)
{
    if (iconId != m_data.uID || !m_target || !m_target->m_hWnd)
        return 0;
    const CMenu popup = m_menu.GetSubMenu(0);
    if (mouseMessage == WM_RBUTTONUP) {
        if (!popup.GetSafeHmenu())
            return 1;
        // The menu closes when the user clicks elsewhere only when its owner is in the foreground.
        ::SetForegroundWindow(m_target->m_hWnd);
        popup.TrackPopupMenu(TPM_LEFTBUTTON, point.x, point.y, m_target->m_hWnd);
        m_target->PostMessage(WM_NULL);
    } else if (mouseMessage == WM_LBUTTONDBLCLK) {
        ::SetForegroundWindow(m_target->m_hWnd);
        const UINT command = popup.GetSafeHmenu() ? ::GetMenuDefaultItem(popup, FALSE, GMDI_GOINTOPOPUPS) : UINT(-1);
        if (command != UINT(-1))
            m_target->SendMessage(WM_COMMAND, MAKEWPARAM(command, 0));
    }
    return 1;
}

LRESULT CTrayNotifyIcon::ShowMenuAtCursor(UINT iconId, UINT mouseMessage)
{
    POINT point{};
    ::GetCursorPos(&point);
    return OnTrayNotification(iconId, mouseMessage, point);
}

bool CTrayNotifyIcon::AddIcon()
{
    if (m_shown) {
        ::Shell_NotifyIconW(NIM_DELETE, &m_data);
        m_shown = false;
    }
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_shown = ::Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
    return m_shown;
}
