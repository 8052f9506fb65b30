#include "SysTray/VexaSysTrayDlg.h"

#include "controls/ControlSections.h"
#include "core/NameTables.h"
#include "platform/CommonDialogs.h"
#include "platform/RawInput.h"
#include "platform/WinApp.h"
#include "skin/LangTable.h"
#include "skin/LayoutLoader.h"
#include "skin/LayoutSections.h"
#include "skin/SkinResourceCache.h"
#include "SysTray/DelayTimer.h"
#include "SysTray/PcManager.h"
#include "SysTray/SysTrayRes.h"

#include <dbt.h>
#include <objbase.h>
#include <wtsapi32.h>

#include <cwchar>

namespace {

// The device interface class of HID devices.
constexpr GUID kHidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
constexpr wchar_t kVendorText[] = L"VID_9D17";

// The device path of an arrival or removal notice, upper-cased; empty when the notice is not a
// device-interface record or is too short to hold one. The record comes from another process: its
// own size bounds every read.
std::wstring NoticePath(LPARAM data)
{
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (!header || header->dbch_size < sizeof(DEV_BROADCAST_HDR) || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return std::wstring();
    constexpr size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (header->dbch_size <= nameOffset)
        return std::wstring();
    const auto* record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    const size_t maxChars = (header->dbch_size - nameOffset) / sizeof(wchar_t);
    std::wstring path(record->dbcc_name, ::wcsnlen(record->dbcc_name, maxChars));
    for (wchar_t& c : path)
        c = static_cast<wchar_t>(::towupper(c));
    return path;
}

} // namespace

BEGIN_MSG_MAP(CVexaSysTrayDlg, CDialog)
    ON_MESSAGE(WM_SYSCOMMAND, OnSysCommand)
    ON_WM_PAINT()
    ON_MESSAGE(WM_QUERYDRAGICON, OnQueryDragIcon)
    ON_MESSAGE(WM_DEVICECHANGE, OnDeviceChange)
    ON_MESSAGE(WM_WTSSESSION_CHANGE, OnSessionChange)
    ON_MESSAGE(WM_TRAY_NOTIFY, OnTrayNotification)
    ON_COMMAND(ID_TRAY_LOAD_CONFIG, OnLoadConfigTool)
    ON_MESSAGE(WM_DEVICE_GONE, OnDeviceGone)
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_INPUT, OnRawInput)
END_MSG_MAP()

CVexaSysTrayDlg::CVexaSysTrayDlg() : CDialog(IDD_VEXASYSTRAY_DIALOG), m_closeCommand(ID_TRAY_CLOSE)
{
    const HINSTANCE instance = CWinApp::ResourceInstance();
    m_largeIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    m_trayIconHandle = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_TRAY_ICON));
    // The middleware's events arrive on this thread as calls while it pumps.
    m_apartment = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

CVexaSysTrayDlg::~CVexaSysTrayDlg()
{
    ReleaseRegistrations();
    m_osd.reset();
    // Everything of the middleware is gone before the apartment is left.
    if (SUCCEEDED(m_apartment))
        ::CoUninitialize();
}

bool CVexaSysTrayDlg::CreateTray()
{
    if (!Create())
        return false;
    if (m_initFailed) {
        // Nothing of this object may be touched once the window is gone: it deletes itself then.
        DestroyWindow();
        return false;
    }
    return true;
}

void CVexaSysTrayDlg::PostNcDestroy()
{
    if (m_ownerSlot && *m_ownerSlot == this)
        *m_ownerSlot = nullptr;
    delete this;
}

BOOL CVexaSysTrayDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    wchar_t about[128] = {};
    HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
    if (systemMenu && ::LoadStringW(CWinApp::ResourceInstance(), IDS_ABOUTBOX, about, 128) > 0) {
        ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_largeIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_largeIcon));

    GetSkinResourceCache().SetFolder(GetProgramFolder());
    LoadLanguage();

    m_trayIcon = std::make_unique<CTrayNotifyIcon>();
    if (!m_trayIcon->Create(this, m_trayIconHandle, IDR_TRAY_MENU)) {
        m_trayIcon.reset();
        ShowMessageBox(m_hWnd, kTrayIconFailedText, kTrayProgramName, MB_ICONERROR | MB_OK);
        // A tray without its icon cannot be reached: CreateTray ends it, and the program with it.
        m_initFailed = true;
        return -1;
    }

    m_osd = std::make_unique<COnScreenDisplay>();
    m_osd->SetBarMaximum(kOsdBarMaximum);
    if (FAILED(m_osd->CreateOsdWindows()))
        m_osd.reset();

    SetTimer(TIMER_AUTO_SWITCH, kAutoSwitchMs);
    RegisterNotifications();
    TheDeviceManager().BuildDeviceTable();
    RegisterAllDeviceCallbacks();
    m_initialised = true;
    return TRUE;
}

void CVexaSysTrayDlg::LoadLanguage()
{
    InitNameTables();
    FillLanguageNameTable();
    FillKeyboardLayoutItemTable();
    UseSkinLayoutSections();
    // Every language's table is built; the registry's language picks the current one.
    SetLanguageFilter(-1);
    LoadLayoutFile(&m_languageItems, L"Language.xml", this, false);
    std::wstring name;
    const int32_t id = ThePcManager().GetLanguage(name) ? FindLanguageIdByName(name.c_str()) : 0;
    // An unknown language keeps the built-in texts.
    SetCurrentLangTable(id >= 0 ? FindRegisteredLangTable(id) : nullptr);
}

void CVexaSysTrayDlg::RegisterNotifications()
{
    if (!m_deviceNotify) {
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = kHidInterfaceClass;
        m_deviceNotify = ::RegisterDeviceNotificationW(m_hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    if (!m_sessionRegistered)
        m_sessionRegistered = ::WTSRegisterSessionNotification(m_hWnd, NOTIFY_FOR_THIS_SESSION) != FALSE;
}

void CVexaSysTrayDlg::ReleaseRegistrations()
{
    TheDeviceManager().UnregisterAllCallbacks();
    if (m_hWnd) {
        if (m_sessionRegistered)
            ::WTSUnRegisterSessionNotification(m_hWnd);
        KillTimer(TIMER_AUTO_SWITCH);
        if (m_clickTimer)
            KillTimer(m_clickTimer);
    }
    m_sessionRegistered = false;
    m_clickTimer = 0;
    if (m_deviceNotify && ::UnregisterDeviceNotification(m_deviceNotify))
        m_deviceNotify = nullptr;
    if (TheRawInputRegistration().IsRegistered() && !TheRawInputRegistration().Devices().empty() &&
        TheRawInputRegistration().Devices().front().hwndTarget == m_hWnd)
        TheRawInputRegistration().Unregister();
}

void CVexaSysTrayDlg::CloseTray()
{
    if (m_menuShowing || m_aboutBox) {
        // The menu's or the box's loop runs inside a handler of this window: end it, and close once it
        // returned (RunPendingClose).
        m_closePending = true;
        if (m_menuShowing)
            ::EndMenu();
        if (m_aboutBox && m_aboutBox->m_hWnd)
            m_aboutBox->EndDialog(IDCANCEL);
        return;
    }
    // WM_DESTROY cancels the recordings and releases the rest.
    DestroyWindow();
}

BOOL CVexaSysTrayDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    if (id == m_closeCommand) {
        CloseTray();
        return TRUE;
    }
    if (id >= kProfileCommandBase)
        SelectProfile(id % kProfileCommandBase, id / kProfileCommandBase - 1);
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT CVexaSysTrayDlg::OnSysCommand(WPARAM wParam, LPARAM)
{
    if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
        // One box at a time: its loop serves this window's messages, another command among them.
        if (m_aboutBox)
            return 0;
        CDialog about(IDD_ABOUTBOX, this);
        m_aboutBox = &about;
        about.DoModal();
        m_aboutBox = nullptr;
        RunPendingClose();
        return 0;
    }
    return Default();
}

void CVexaSysTrayDlg::OnPaint()
{
    if (!::IsIconic(m_hWnd)) {
        Default();
        return;
    }
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    const CRect client = GetClientRect();
    const int x = (client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_largeIcon);
    ::EndPaint(m_hWnd, &paint);
}

LRESULT CVexaSysTrayDlg::OnQueryDragIcon(WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>(m_largeIcon);
}

void CVexaSysTrayDlg::RunPendingClose()
{
    if (!m_closePending || m_menuShowing || m_aboutBox)
        return;
    m_closePending = false;
    CloseTray();
}

LRESULT CVexaSysTrayDlg::OnDeviceChange(WPARAM event, LPARAM data)
{
    // Notices that arrive before the dialog is set up (the box of a failed start) or after it was torn
    // down have no callbacks to look after.
    if (!m_initialised)
        return TRUE;
    CDeviceManager& manager = TheDeviceManager();
    if (event == DBT_DEVNODES_CHANGED) {
        for (const DeviceSlotInfo& slot : kDeviceSlots) {
            bool present = false;
            {
                CScopedDevice device(manager, slot.productId);
                present = device->IsPresent();
            }
            // An arrival served before the middleware listed the device left it without callbacks.
            if (present)
                RegisterDeviceCallbacksFor(slot.productId);
            else
                PostMessage(WM_DEVICE_GONE, slot.productId);
        }
        return TRUE;
    }
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE)
        return TRUE;
    const std::wstring path = NoticePath(data);
    if (path.find(kVendorText) == std::wstring::npos)
        return TRUE;
    for (const DeviceSlotInfo& slot : kDeviceSlots) {
        if (path.find(slot.pathText) == std::wstring::npos)
            continue;
        if (event == DBT_DEVICEARRIVAL)
            RegisterDeviceCallbacksFor(slot.productId);
        else
            PostMessage(WM_DEVICE_GONE, slot.productId);
    }
    return TRUE;
}

LRESULT CVexaSysTrayDlg::OnSessionChange(WPARAM code, LPARAM)
{
    if (!m_initialised)
        return 0;
    switch (code) {
    case WTS_CONSOLE_CONNECT:
    case WTS_SESSION_LOGON:
    case WTS_SESSION_UNLOCK:
        RegisterAllDeviceCallbacks();
        break;
    case WTS_CONSOLE_DISCONNECT:
    case WTS_SESSION_LOGOFF:
    case WTS_SESSION_LOCK:
        TheDeviceManager().UnregisterAllCallbacks();
        ThePcManager().TerminateConfigTool();
        CancelAllMacroRecordings();
        break;
    default:
        break;
    }
    return 0;
}

LRESULT CVexaSysTrayDlg::OnTrayNotification(WPARAM, LPARAM mouseMessage)
{
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
        ::GetCursorPos(&m_clickPoint);
        m_clickTimer = SetTimer(TIMER_TRAY_CLICK, ::GetDoubleClickTime());
        break;
    case WM_LBUTTONDBLCLK:
        KillTimer(TIMER_TRAY_CLICK);
        m_clickTimer = 0;
        StartConfigToolOnce();
        break;
    case WM_RBUTTONUP: {
        POINT point{};
        ::GetCursorPos(&point);
        ShowTrayMenu(point); // the window may be gone when it returns
        return 0;
    }
    default:
        break;
    }
    return 0;
}

void CVexaSysTrayDlg::OnLoadConfigTool()
{
    StartConfigToolOnce();
}

LRESULT CVexaSysTrayDlg::OnDeviceGone(WPARAM productId, LPARAM)
{
    AbortMacroRecording(static_cast<int>(productId));
    TheDeviceManager().UnregisterDeviceCallbacks(static_cast<DWORD>(productId));
    return 0;
}

LRESULT CVexaSysTrayDlg::OnRawInput(WPARAM, LPARAM input)
{
    RecordRawInput(reinterpret_cast<HRAWINPUT>(input));
    // The default processing lets the system free the input.
    return Default();
}

void CVexaSysTrayDlg::OnTimer(UINT_PTR id)
{
    if (id == TIMER_TRAY_CLICK && id == m_clickTimer) {
        // Killed first: the menu's loop would let it fire again while the menu shows.
        KillTimer(TIMER_TRAY_CLICK);
        m_clickTimer = 0;
        // A close asked for while the menu showed has destroyed the window, and this object with it.
        ShowTrayMenu(m_clickPoint);
        return;
    }
    if (id == TIMER_AUTO_SWITCH)
        AutoSwitchProfiles();
    Default();
}

void CVexaSysTrayDlg::OnClose()
{
    CloseTray();
}

void CVexaSysTrayDlg::OnDestroy()
{
    // However the window goes, no device is left recording (in its default mode, its light on).
    if (m_initialised)
        CancelAllMacroRecordings();
    m_initialised = false;
    ReleaseRegistrations();
    m_trayIcon.reset();
    Default();
}
