#include "mwtest/SettingsPage.h"

#include "mwtest/MwTestRes.h"
#include "platform/Handles.h"
#include "platform/ShellOpen.h"

namespace {

const wchar_t kKey[] = L"SOFTWARE\\HALVO";
const wchar_t kValue[] = L"LogEnabled";
constexpr BYTE kFileLogging = 0x1;
constexpr BYTE kDebugOutput = 0x2;

// The key in the 64-bit view on 64-bit Windows, where the middleware reads it; null when absent.
CRegKey OpenLogKey()
{
    CRegKey key;
    ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, key.Put());
    return key;
}

// The value's one byte; false when it is absent, empty or not readable.
bool ReadLogByte(HKEY key, BYTE* value)
{
    // Room for more than one byte: a longer value is read whole and its first byte taken.
    BYTE data[16] = {};
    DWORD size = sizeof(data);
    DWORD type = 0;
    if (::RegQueryValueExW(key, kValue, nullptr, &type, data, &size) != ERROR_SUCCESS || size < 1)
        return false;
    *value = data[0];
    return true;
}

} // namespace

BEGIN_MSG_MAP(CSettingsPage, CHvMwPage)
    ON_COMMAND(IDC_SETTINGS_FILE_LOGGING, OnFileLoggingClicked)
    ON_COMMAND(IDC_SETTINGS_DEBUG_OUTPUT, OnDebugOutputClicked)
    ON_COMMAND(IDC_SETTINGS_OPEN, OnOpenLog)
END_MSG_MAP()

CSettingsPage::CSettingsPage() : CHvMwPage(IDD_SETTINGS)
{
}

std::wstring CSettingsPage::LogPath()
{
    std::wstring folder;
    const DWORD length = ::GetEnvironmentVariableW(L"USERPROFILE", nullptr, 0);
    if (length > 1) {
        folder.resize(length);
        const DWORD copied = ::GetEnvironmentVariableW(L"USERPROFILE", &folder[0], length);
        folder.resize(copied < length ? copied : 0);
    }
    return folder + L"\\HvMwApi.log";
}

BOOL CSettingsPage::OnSetActive()
{
    ::CheckDlgButton(m_hWnd, IDC_SETTINGS_FILE_LOGGING, BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_SETTINGS_DEBUG_OUTPUT, BST_UNCHECKED);
    BYTE value = 0;
    if (CRegKey key = OpenLogKey(); key && ReadLogByte(key.Get(), &value)) {
        ::CheckDlgButton(m_hWnd, IDC_SETTINGS_FILE_LOGGING, (value & kFileLogging) ? BST_CHECKED : BST_UNCHECKED);
        ::CheckDlgButton(m_hWnd, IDC_SETTINGS_DEBUG_OUTPUT, (value & kDebugOutput) ? BST_CHECKED : BST_UNCHECKED);
    }
    SetText(IDC_SETTINGS_LOG_PATH, LogPath());
    return CHvMwPage::OnSetActive();
}

void CSettingsPage::WriteBit(BYTE bit, bool set)
{
    CRegKey key = OpenLogKey();
    if (!key)
        return;
    BYTE value = 0;
    ReadLogByte(key.Get(), &value);
    value = set ? static_cast<BYTE>(value | bit) : static_cast<BYTE>(value & ~bit);
    ::RegSetValueExW(key.Get(), kValue, 0, REG_BINARY, &value, 1);
}

// The box's state at each click: the two clicks of a double click are two writes.
void CSettingsPage::OnFileLoggingClicked()
{
    WriteBit(kFileLogging, ::IsDlgButtonChecked(m_hWnd, IDC_SETTINGS_FILE_LOGGING) == BST_CHECKED);
}

void CSettingsPage::OnDebugOutputClicked()
{
    WriteBit(kDebugOutput, ::IsDlgButtonChecked(m_hWnd, IDC_SETTINGS_DEBUG_OUTPUT) == BST_CHECKED);
}

void CSettingsPage::OnOpenLog()
{
    ShellOpen(m_hWnd, L"Open", LogPath(), SW_SHOWNORMAL);
}
