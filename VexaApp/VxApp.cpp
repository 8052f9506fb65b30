#include "VexaApp/VxApp.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <new>

#include "controls/ControlSections.h"
#include "core/ItemIds.h"
#include "core/NameTables.h"
#include "model/DeviceFactory.h"
#include "model/KeyboardConfig.h"
#include "model/MouseConfig.h"
#include "model/ProfileFiles.h"
#include "model/SharedConnection.h"
#include "platform/Handles.h"
#include "platform/Registry.h"
#include "platform/ShellOpen.h"
#include "skin/KeyboardLayouts.h"
#include "skin/LangTable.h"
#include "skin/LayoutErrors.h"
#include "skin/LayoutLoader.h"
#include "VexaApp/VexaAppRes.h"
#include "VexaApp/VxAppDlg.h"
#include "VexaApp/VxAppNotices.h"

namespace {

// How long a later copy waits for the first copy's main window: as long as a start can take (both
// devices read on a slow machine, many copies starting at once).
constexpr DWORD kFirstCopyStartMs = 120000;
// How often it looks again meanwhile.
constexpr DWORD kFirstCopyPollMs = 100;
// CS_DBLCLKS | CS_SAVEBITS | CS_BYTEALIGNWINDOW.
constexpr UINT kMainClassStyle = 0x2808;

int g_languageCode = 0;

// Drive and directory of the running program, with its trailing backslash.
std::wstring RunningProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    wchar_t drive[_MAX_DRIVE] = {};
    wchar_t dir[_MAX_DIR] = {};
    if (_wsplitpath_s(path, drive, _MAX_DRIVE, dir, _MAX_DIR, nullptr, 0, nullptr, 0) != 0)
        return std::wstring();
    return std::wstring(drive) + dir;
}

// The installer's key, as writable as this user may have it.
CRegKey OpenInstallerKey()
{
    CRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstallerKey, 0, KEY_ALL_ACCESS, key.Put()) == ERROR_SUCCESS)
        return key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kInstallerKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, key.Put(), nullptr) == ERROR_SUCCESS)
        return key;
    // A standard user may read what the installer wrote, though not write it.
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstallerKey, 0, KEY_READ, key.Put()) == ERROR_SUCCESS)
        return key;
    return CRegKey();
}

} // namespace

// ---- start-up steps -------------------------------------------------------------------------------

bool RegisterSingleInstanceClass(HINSTANCE instance)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = kMainClassStyle;
    wc.lpfnWndProc = ::DefDlgProcW;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = instance;
    wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_VEXA));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kSingleInstanceName;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool ActivateRunningCopy()
{
    const HWND running = ::FindWindowW(kSingleInstanceName, nullptr);
    if (!running)
        return false;
    HWND popup = ::GetLastActivePopup(running);
    if (!popup)
        popup = running;
    ::BringWindowToTop(running);
    if (::IsIconic(popup))
        ::ShowWindow(popup, SW_RESTORE);
    // Restored or not, the user sees the copy that runs in front.
    ::SetForegroundWindow(popup);
    return true;
}

InstallerSettings ReadInstallerSettings()
{
    InstallerSettings settings;
    CRegKey key = OpenInstallerKey();
    if (!key)
        return settings;
    settings.keyOpen = true;
    wchar_t text[MAX_PATH] = {};
    if (ReadRegistryString(key.Get(), L"Language", text, MAX_PATH)) {
        settings.languageRead = true;
        settings.language = text;
    }
    text[0] = L'\0';
    if (ReadRegistryString(key.Get(), L"InstallDir", text, MAX_PATH)) {
        std::wstring dir = text;
        if (!dir.empty() && dir.back() == L'\\')
            dir.pop_back();
        settings.installDir = dir;
    }
    return settings;
}

int LanguageCodeOf(const InstallerSettings& settings)
{
    if (!settings.keyOpen || !settings.languageRead)
        return 0;
    return FindLanguageIdByName(settings.language.c_str());
}

int32_t ChooseKeyboardLayoutItem(IGenKeyboard* keyboard)
{
    int code = 0;
    if (!keyboard || !keyboard->IsDeviceFound() || !keyboard->GetLayoutCode(&code))
        return KBLAYOUT_ENGLISH;
    return FindKeyboardLayoutItemId(code);
}

bool ActivateKeyboardLayoutItem(CKeyboardLayouts& layouts, int32_t itemId)
{
    return layouts.Activate(itemId) || layouts.Activate(KBLAYOUT_ENGLISH);
}

// ---- the application ------------------------------------------------------------------------------

CVxApp::CVxApp() = default;

CVxApp::~CVxApp()
{
    Teardown();
}

int CVxApp::LanguageCode()
{
    return g_languageCode;
}

BOOL CVxApp::InitInstance()
{
    RegisterSingleInstanceClass(m_hInstance);
    if (!BecomeTheRunningCopy())
        return FALSE;

    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    ::InitCommonControlsEx(&controls);
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    const std::wstring programFolder = RunningProgramFolder();
    if (!programFolder.empty()) {
        SetProgramFolder(programFolder.c_str());
        ::SetCurrentDirectoryW(programFolder.c_str());
    }
    FillLanguageNameTable();
    FillKeyboardLayoutItemTable();
    UseSkinLayoutSections();
    // Start-up connects once: making the devices, the keyboard's layout and the dialog's first reads
    // share this connection, which the dialog ends once it has read them.
    auto startConnection = std::make_unique<CSharedConnection>();
    CreateDevices();
    InitNameTables();

    const InstallerSettings installer = ReadInstallerSettings();
    if (installer.keyOpen && !installer.installDir.empty() && ::SetCurrentDirectoryW(installer.installDir.c_str())) {
        // Started at every start, without looking whether it runs: its own mutex ends a second copy.
        ShellOpen(nullptr, L"open", installer.installDir + L"\\" + kTrayProgram, SW_SHOWNORMAL);
    }
    // What the install directory's files hold wrong is collected from here to the end of the main
    // dialog's start and shown there in one notice; the program goes on with what loaded.
    auto startErrors = std::make_unique<CLayoutErrorLog>();
    ChooseLanguage(LanguageCodeOf(installer));
    ActivateKeyboardLayout();

    {
        CVxAppDlg dialog(&m_mouseConfig, &m_mouseDevice, &m_keyboardDevice, &m_keyboardConfig);
        dialog.SetStartErrorLog(std::move(startErrors));
        dialog.SetStartConnection(std::move(startConnection));
        SetMainWnd(&dialog);
        dialog.DoModal();
        SetMainWnd(nullptr);
    }
    Teardown();
    if (SUCCEEDED(com))
        ::CoUninitialize();
    ReleaseSingleInstance();
    return FALSE;
}

bool CVxApp::BecomeTheRunningCopy()
{
    // The first copy holds the mutex as long as it runs. A later one never reads a device: it waits
    // for the first copy's window (which appears only once that copy has read its devices), brings
    // it to the front and ends. Should the first copy end meanwhile, the mutex comes free (or is
    // abandoned) and the waiting copy runs in its place.
    m_instanceMutex.Reset(::CreateMutexW(nullptr, FALSE, kSingleInstanceName));
    if (!m_instanceMutex)
        return true;  // without the mutex nothing can be told apart; run rather than never start
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD waited = ::WaitForSingleObject(m_instanceMutex.Get(), 0);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
            m_ownsInstanceMutex = true;
            return true;
        }
        if (waited != WAIT_TIMEOUT)
            return false;
        if (const HWND running = ::FindWindowW(kSingleInstanceName, nullptr); running && ::IsWindowVisible(running)) {
            ActivateRunningCopy();
            break;
        }
        if (::GetTickCount() - start >= kFirstCopyStartMs) {
            // The first copy is stuck before its window: raise whatever it has, and end.
            ActivateRunningCopy();
            break;
        }
        // The first copy may end while this one waits: the wait on the mutex wakes for that too.
        const DWORD next = ::WaitForSingleObject(m_instanceMutex.Get(), kFirstCopyPollMs);
        if (next == WAIT_OBJECT_0 || next == WAIT_ABANDONED) {
            m_ownsInstanceMutex = true;
            return true;
        }
    }
    m_instanceMutex.Reset();
    return false;
}

void CVxApp::ReleaseSingleInstance()
{
    if (m_ownsInstanceMutex)
        ::ReleaseMutex(m_instanceMutex.Get());
    m_ownsInstanceMutex = false;
    m_instanceMutex.Reset();
}

void CVxApp::CreateDevices()
{
    m_mouseConfigObject.reset(new (std::nothrow) CVxConfig_Mouse());
    m_mouseConfig = m_mouseConfigObject.get();
    CreateMouseDevice(g_MouseDescriptor, &m_mouseDevice, m_mouseConfig);
    m_keyboardConfigObject.reset(new (std::nothrow) CVxConfig_Keyboard());
    m_keyboardConfig = m_keyboardConfigObject.get();
    CreateKeyboardDevice(g_KeyboardDescriptor, &m_keyboardDevice, m_keyboardConfig);
}

void CVxApp::ChooseLanguage(int code)
{
    g_languageCode = code;
    // Loading the file registers one table per language; an unknown code leaves the table as it is.
    LoadStartLayout(&m_languageItems, L"Language.xml", nullptr);
    if (CLangTable* table = FindRegisteredLangTable(code))
        SetCurrentLangTable(table);
}

void CVxApp::ActivateKeyboardLayout()
{
    const int32_t item = ChooseKeyboardLayoutItem(m_keyboardDevice);
    LoadStartLayout(&m_keyboardLayoutItems, L"KeyboardLayout.xml", nullptr);
    ActivateKeyboardLayoutItem(KeyboardLayouts(), item);
}

void CVxApp::Teardown()
{
    // A device waits for its running write before it goes; the configurations outlive it.
    DestroyDevices();
    m_mouseDevice = nullptr;
    m_keyboardDevice = nullptr;
    m_mouseConfig = nullptr;
    m_keyboardConfig = nullptr;
    m_mouseConfigObject.reset();
    m_keyboardConfigObject.reset();
    RestoreKeyboardLayout();
    // The tables and layout settings leave the program's registries while those still exist.
    m_keyboardLayoutItems.DeleteAll();
    m_spareItems.DeleteAll();
    m_languageItems.DeleteAll();
}
