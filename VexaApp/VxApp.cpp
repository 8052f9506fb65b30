#include "VxApp.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <new>

#include "DeviceFactory.h"
#include "Handles.h"
#include "KeyboardConfig.h"
#include "KeyboardLayouts.h"
#include "LangTable.h"
#include "LayoutLoader.h"
#include "MouseConfig.h"
#include "NameTables.h"
#include "ProfileFiles.h"
#include "ShellOpen.h"
#include "VexaAppRes.h"
#include "VxAppDlg.h"
#include "VxItemIds.h"

namespace {

// How long a starting copy waits for another one that is starting at the same moment.
constexpr DWORD kSingleInstanceWaitMs = 1000;
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
    {
        // The mutex only serialises copies that start together while they look for each other.
        CKernelHandle mutex(::CreateMutexW(nullptr, FALSE, kSingleInstanceName));
        if (::WaitForSingleObject(mutex.Get(), kSingleInstanceWaitMs) == WAIT_TIMEOUT)
            return FALSE;
        const bool another = ActivateRunningCopy();
        ::ReleaseMutex(mutex.Get());
        if (another)
            return FALSE;
    }

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
    CreateDevices();
    InitNameTables();

    const InstallerSettings installer = ReadInstallerSettings();
    if (installer.keyOpen && !installer.installDir.empty() && ::SetCurrentDirectoryW(installer.installDir.c_str())) {
        // Started at every start, without looking whether it runs: its own mutex ends a second copy.
        ShellOpen(nullptr, L"open", installer.installDir + L"\\" + kTrayProgram, SW_SHOWNORMAL);
    }
    ChooseLanguage(LanguageCodeOf(installer));
    ActivateKeyboardLayout();

    {
        CVxAppDlg dialog(&m_mouseConfig, &m_mouseDevice, &m_keyboardDevice, &m_keyboardConfig);
        SetMainWnd(&dialog);
        dialog.DoModal();
        SetMainWnd(nullptr);
    }
    Teardown();
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return FALSE;
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
    LoadLayoutFile(&m_languageItems, L"Language.xml", nullptr, false);
    if (CLangTable* table = FindRegisteredLangTable(code))
        SetCurrentLangTable(table);
}

void CVxApp::ActivateKeyboardLayout()
{
    const int32_t item = ChooseKeyboardLayoutItem(m_keyboardDevice);
    LoadLayoutFile(&m_keyboardLayoutItems, L"KeyboardLayout.xml", nullptr, false);
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
