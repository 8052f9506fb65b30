#include "platform/Dialog.h"

#include "platform/DialogTemplate.h"
#include "platform/ModalLoop.h"
#include "platform/WinApp.h"

BEGIN_MSG_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_MESSAGE(WM_CLOSE, HandleClose)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MSG_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) noexcept : m_templateId(templateId), m_parent(parent)
{
}

CDialog::CDialog(const DLGTEMPLATE* dialogTemplate, CWnd* parent) noexcept
    : m_template(dialogTemplate), m_parent(parent)
{
}

CDialog::CDialog(const CDialogTemplate& dialogTemplate, CWnd* parent)
    : m_ownTemplate(std::make_unique<CDialogTemplate>(dialogTemplate)), m_parent(parent)
{
    m_template = m_ownTemplate->Get();
}

CDialog::~CDialog() = default;

// The window procedure of the dialog is StdWndProc, which handles every message through the
// message map before the system's dialog procedure runs; this procedure only has to exist.
INT_PTR CALLBACK CDialog::DlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

const DLGTEMPLATE* CDialog::LoadTemplate() const
{
    HINSTANCE instance = CWinApp::ResourceInstance();
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(m_templateId), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!resource)
        return nullptr;
    HGLOBAL loaded = ::LoadResource(instance, resource);
    return loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
}

bool CDialog::CreateFromTemplate(const DLGTEMPLATE* dialogTemplate, HWND parent)
{
    if (m_hWnd || !dialogTemplate)
        return false;
    BeginCreationHook(this);
    HWND hwnd = ::CreateDialogIndirectParamW(CWinApp::ResourceInstance(), dialogTemplate, parent, DlgProc, 0);
    EndCreationHook(this);
    if (hwnd && m_hWnd != hwnd) {
        // Not ours after all (cannot happen unless the hook was bypassed): do not leave it behind.
        ::DestroyWindow(hwnd);
        return false;
    }
    return hwnd != nullptr;
}

bool CDialog::Create()
{
    m_modal = false;
    const DLGTEMPLATE* t = m_template ? m_template : LoadTemplate();
    return CreateFromTemplate(t, m_parent ? m_parent->m_hWnd : nullptr);
}

bool CDialog::Create(UINT templateId, CWnd* parent)
{
    m_templateId = templateId;
    m_template = nullptr;
    m_parent = parent;
    return Create();
}

bool CDialog::CreateIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent)
{
    m_template = dialogTemplate;
    m_parent = parent;
    return Create();
}

bool CDialog::CreateIndirect(const CDialogTemplate& dialogTemplate, CWnd* parent)
{
    if (m_hWnd)
        return false;  // the template of a live dialog stays as it is
    m_ownTemplate = std::make_unique<CDialogTemplate>(dialogTemplate);
    return CreateIndirect(m_ownTemplate->Get(), parent);
}

HWND CDialog::ModalOwner() const
{
    if (m_parent && m_parent->m_hWnd)
        return ::GetAncestor(m_parent->m_hWnd, GA_ROOT);
    // Without a parent, the window the user works in: the main window, or the active window of
    // this thread when there is none. While a modal dialog runs, that window is disabled and the
    // dialog is its last active popup: the new dialog belongs on top of that one.
    HWND start = nullptr;
    CWinApp* app = CWinApp::Get();
    CWnd* main = app ? app->GetMainWnd() : nullptr;
    if (main && main != this)
        start = main->m_hWnd;
    if (!start)
        start = ::GetActiveWindow();
    HWND root = start ? ::GetAncestor(start, GA_ROOT) : nullptr;
    if (!root)
        return nullptr;
    HWND popup = ::GetLastActivePopup(root);
    return popup && popup != m_hWnd && ::IsWindowVisible(popup) ? popup : root;
}

INT_PTR CDialog::DoModal()
{
    const DLGTEMPLATE* t = m_template ? m_template : LoadTemplate();
    if (!t || m_hWnd)
        return -1;
    HWND owner = ModalOwner();
    m_modal = true;
    m_endModal = false;
    m_result = -1;
    // Only an owner this dialog disabled is enabled again: an outer modal loop may hold it too.
    bool ownerDisabled = owner && ::IsWindowEnabled(owner);
    if (ownerDisabled)
        ::EnableWindow(owner, FALSE);
    if (CreateFromTemplate(t, owner)) {
        if (!m_endModal && !(GetStyle() & WS_VISIBLE))
            ShowWindow(SW_SHOWNORMAL);
        RunModalLoop();
    }
    if (ownerDisabled)
        ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        if (owner && ::GetActiveWindow() == m_hWnd)
            ::SetActiveWindow(owner);
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        DestroyWindow();
    }
    m_modal = false;
    return m_result;
}

void CDialog::RunModalLoop()
{
    RunModalMessageLoop(m_hWnd, [this] { return m_endModal || !m_hWnd; });
}

void CDialog::EndDialog(int result)
{
    m_result = result;
    if (m_modal) {
        m_endModal = true;
        if (m_hWnd)
            ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the loop when called from outside it
    } else if (m_hWnd) {
        ShowWindow(SW_HIDE);
    }
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    if (!m_hWnd || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return FALSE;
    return ::IsDialogMessageW(m_hWnd, msg);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

LRESULT CDialog::HandleClose(WPARAM, LPARAM)
{
    HWND cancel = GetDlgItem(IDCANCEL);
    if (cancel && !::IsWindowEnabled(cancel))
        return 0;
    SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    return 0;
}
