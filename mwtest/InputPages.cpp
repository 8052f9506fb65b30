#include "mwtest/InputPages.h"

#include "mwtest/MwTestRes.h"
#include "platform/RawInput.h"
#include "platform/WStr.h"

// ---- CModePage ----------------------------------------------------------------------------------

namespace {

struct ModeButton
{
    int id;
    int mode;
};
constexpr ModeButton kModes[] = {
    {IDC_MODE_NORMAL, hvmw::kModeNormal},
    {IDC_MODE_DEFAULT, hvmw::kModeDefault},
    {IDC_MODE_DRIVER, hvmw::kModeDriver},
};

} // namespace

BEGIN_MSG_MAP(CModePage, CHvMwPage)
    ON_COMMAND_RANGE(IDC_MODE_NORMAL, IDC_MODE_DRIVER, OnModeClicked)
    ON_MESSAGE(WM_INPUT, OnInput)
END_MSG_MAP()

CModePage::CModePage() : CHvMwPage(IDD_MODE)
{
}

CModePage::~CModePage()
{
    CModePage::LetGo();  // the keyboard must never stay without its key messages
}

BOOL CModePage::OnSetActive()
{
    if (!Device())
        return CHvMwPage::OnSetActive();
    for (const ModeButton& button : kModes)
        ::CheckDlgButton(m_hWnd, button.id, BST_UNCHECKED);
    if (CComPtr<IDeviceMode> mode = DeviceFeature<IDeviceMode>()) {
        int current = 0;
        if (SUCCEEDED(mode->GetMode(&current)))
            for (const ModeButton& button : kModes)
                if (button.mode == current)
                    ::CheckDlgButton(m_hWnd, button.id, BST_CHECKED);
    }
    if (!m_registered)
        m_registered = RegisterKeyboardAndMouse(m_hWnd);
    return CHvMwPage::OnSetActive();
}

void CModePage::LetGo()
{
    if (m_registered) {
        RemoveKeyboardAndMouse();
        m_registered = false;
    }
}

void CModePage::OnModeClicked(UINT id)
{
    for (const ModeButton& button : kModes)
        if (button.id == static_cast<int>(id)) {
            if (CComPtr<IDeviceMode> mode = DeviceFeature<IDeviceMode>())
                mode->SetMode(button.mode);
        }
}

LRESULT CModePage::OnInput(WPARAM, LPARAM lParam)
{
    RAWINPUT input;
    if (ReadRawInput(lParam, &input)) {
        if (input.header.dwType == RIM_TYPEKEYBOARD) {
            SetText(IDC_MODE_KEY, wstr::Format(L"Key : Flags-0x%04x MakeCode-0x%04x", input.data.keyboard.Flags,
                                               input.data.keyboard.MakeCode));
        } else if (input.data.mouse.usButtonFlags != 0) {
            SetText(IDC_MODE_BUTTON, wstr::Format(L"Button : Flags-0x%04x ButtonData-0x%04x",
                                                  input.data.mouse.usButtonFlags, input.data.mouse.usButtonData));
        }
    }
    // The system's own handling of WM_INPUT releases the input.
    return Default();
}

// ---- CKeyboardRedirectorPage --------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE CKeyboardRedirectorSink::OnKeyMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Posted, not sent: the edit types the key when the page's thread next takes its messages.
    if (CKeyboardRedirectorPage* page = OwnerPage())
        ::PostMessageW(page->TypingTarget(), message, wParam, lParam);
    return S_OK;
}

BEGIN_MSG_MAP(CKeyboardRedirectorPage, CHvMwPage)
    ON_COMMAND(IDC_REDIR_ENABLE, OnEnable)
    ON_COMMAND(IDC_REDIR_DISABLE, OnDisable)
END_MSG_MAP()

CKeyboardRedirectorPage::CKeyboardRedirectorPage() : CHvMwPage(IDD_KEYBOARD_REDIRECTOR)
{
}

HWND CKeyboardRedirectorPage::TypingTarget() const
{
    return GetDlgItem(IDC_REDIR_EDIT);
}

void CKeyboardRedirectorPage::ShowEnabled(bool enabled)
{
    Enable(IDC_REDIR_ENABLE, !enabled);
    Enable(IDC_REDIR_DISABLE, enabled);
}

BOOL CKeyboardRedirectorPage::OnSetActive()
{
    if (CComPtr<IKeyboardRedirector> redirector = DeviceFeature<IKeyboardRedirector>()) {
        // Declared one byte, but a middleware may write 32 bits: a zeroed cell, its low byte read.
        DWORD cell = 0;
        if (SUCCEEDED(redirector->IsEnabled(reinterpret_cast<BYTE*>(&cell))))
            ShowEnabled(LOBYTE(LOWORD(cell)) != 0);
    }
    return CHvMwPage::OnSetActive();
}

void CKeyboardRedirectorPage::OnEnable()
{
    ShowEnabled(true);
    // A second Enable starts afresh rather than leaving the first connection behind.
    LetGo();
    m_redirector = DeviceFeature<IKeyboardRedirector>();
    if (!m_redirector)
        return;
    m_redirector->Enable();
    m_connection.Advise(m_redirector.Get(), this);
}

void CKeyboardRedirectorPage::OnDisable()
{
    ShowEnabled(false);
    if (m_redirector) {
        LetGo();
        return;
    }
    // Turned on by someone else (another program, an earlier run): off all the same.
    if (CComPtr<IKeyboardRedirector> redirector = DeviceFeature<IKeyboardRedirector>())
        redirector->Disable();
}

BOOL CKeyboardRedirectorPage::OnKillActive()
{
    ShowEnabled(false);
    return CHvMwPage::OnKillActive();
}

void CKeyboardRedirectorPage::LetGo()
{
    if (m_redirector) {
        m_connection.Unadvise();
        m_redirector->Disable();
        m_redirector.Reset();
    }
    m_connection.Unadvise();
}
