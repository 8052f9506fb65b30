#include "platform/PropertySheet.h"

#include "platform/CommonControls.h"
#include "platform/ModalLoop.h"
#include "platform/WinApp.h"

namespace {

bool IsSheetNotification(UINT code)
{
    // PSN_FIRST and PSN_LAST are negative codes: PSN_LAST is the smaller one as an unsigned value.
    return code <= static_cast<UINT>(PSN_FIRST) && code >= static_cast<UINT>(PSN_LAST);
}

} // namespace

// ---- CPropertyPage ------------------------------------------------------------------------------

BEGIN_MSG_MAP(CPropertyPage, CDialog)
    ON_MESSAGE(WM_INITDIALOG, HandlePageInit)
END_MSG_MAP()

CPropertyPage::CPropertyPage(UINT templateId, const wchar_t* caption)
    : CDialog(templateId), m_caption(caption ? caption : L"")
{
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = PSP_USECALLBACK | (caption ? PSP_USETITLE : 0);
    m_psp.pszTemplate = MAKEINTRESOURCEW(templateId);
    m_psp.pszTitle = caption ? m_caption.c_str() : nullptr;
    m_psp.pfnDlgProc = &CPropertyPage::PageDlgProc;
    m_psp.pfnCallback = &CPropertyPage::PageCallback;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
}

CPropertyPage::~CPropertyPage()
{
    EndCreation();
}

CPropertySheet* CPropertyPage::GetParentSheet() const
{
    if (!m_hWnd)
        return nullptr;
    return dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
}

void CPropertyPage::SetModified(bool changed)
{
    if (HWND sheet = m_hWnd ? ::GetParent(m_hWnd) : nullptr)
        ::SendMessageW(sheet, changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CPropertyPage::PreTranslateMessage(MSG*)
{
    return FALSE;
}

// The system calls this right before it creates the page's window: the window is the next one the
// thread creates, so the creation hook attaches it to the page from its first message on.
UINT CALLBACK CPropertyPage::PageCallback(HWND, UINT message, PROPSHEETPAGEW* psp)
{
    if (message == PSPCB_CREATE && psp) {
        auto* page = reinterpret_cast<CPropertyPage*>(psp->lParam);
        if (page && !page->m_hWnd && !page->m_creating) {
            page->m_creating = true;
            BeginCreationHook(page);
        }
    }
    return 1;  // PSPCB_CREATE: go on and create the page
}

// Every message reaches the page's map first (StdWndProc sits on top of the dialog procedure of
// the system's dialog class), so the dialog procedure itself handles nothing.
INT_PTR CALLBACK CPropertyPage::PageDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

void CPropertyPage::EndCreation()
{
    if (m_creating) {
        m_creating = false;
        EndCreationHook(this);
    }
}

LRESULT CPropertyPage::HandlePageInit(WPARAM, LPARAM)
{
    EndCreation();
    return OnInitDialog();
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (hdr && IsSheetNotification(hdr->code) && hdr->hwndFrom && hdr->hwndFrom == ::GetParent(m_hWnd)) {
        *result = HandleSheetNotify(*reinterpret_cast<const PSHNOTIFY*>(lParam));
        return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, result);
}

LRESULT CPropertyPage::HandleSheetNotify(const PSHNOTIFY& notify)
{
    CPropertySheet* sheet = GetParentSheet();
    switch (notify.hdr.code) {
    case PSN_SETACTIVE:
        if (OnSetActive()) {
            m_active = true;
            if (sheet)
                sheet->m_lastAccepted = sheet->GetPageIndex(this);
            return 0;
        }
        m_active = false;
        return sheet ? sheet->PageRefused(this) : -1;
    case PSN_KILLACTIVE:
        // A page that refused its activation was never really entered: nothing to leave.
        if (!m_active)
            return FALSE;
        if (!OnKillActive())
            return TRUE;
        m_active = false;
        return FALSE;
    case PSN_APPLY:
        if (notify.lParam && sheet)
            sheet->m_result = IDOK;
        return OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
    case PSN_RESET:
        if (sheet)
            sheet->m_result = IDCANCEL;
        m_active = false;
        OnReset();
        return 0;
    case PSN_QUERYCANCEL:
        return OnQueryCancel() ? FALSE : TRUE;
    default:
        return 0;
    }
}

// ---- CPropertySheet -----------------------------------------------------------------------------

BEGIN_MSG_MAP(CPropertySheet, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MSG_MAP()

CPropertySheet::CPropertySheet(const wchar_t* caption, CWnd* parent)
    : m_caption(caption ? caption : L""), m_parent(parent)
{
}

CPropertySheet::~CPropertySheet()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

CPropertyPage& CPropertySheet::AddPage(std::unique_ptr<CPropertyPage> page)
{
    m_pages.push_back(std::move(page));
    return *m_pages.back();
}

CPropertyPage* CPropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)].get() : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const
{
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i].get() == page)
            return static_cast<int>(i);
    return -1;
}

bool CPropertySheet::CreateSheet(HWND parent)
{
    if (m_hWnd || m_pages.empty())
        return false;
    EnsureCommonControls(ICC_TAB_CLASSES);
    // The system copies the page records; the module is the one of today's resources.
    std::vector<PROPSHEETPAGEW> records;
    records.reserve(m_pages.size());
    for (const auto& page : m_pages) {
        records.push_back(page->m_psp);
        records.back().hInstance = CWinApp::ResourceInstance();
        page->m_active = false;
    }
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS;
    header.hwndParent = parent;
    header.hInstance = CWinApp::ResourceInstance();
    header.pszCaption = m_caption.c_str();
    header.nPages = static_cast<UINT>(records.size());
    header.nStartPage = 0;
    header.ppsp = records.data();

    m_result = IDCANCEL;
    m_lastAccepted = -1;
    BeginCreationHook(this);
    HWND hwnd = reinterpret_cast<HWND>(::PropertySheetW(&header));
    EndCreationHook(this);
    if (hwnd && hwnd != m_hWnd) {
        ::DestroyWindow(hwnd);  // not ours after all: leave nothing behind
        return false;
    }
    if (!m_hWnd)
        return false;
    if (!(GetStyle() & WS_VISIBLE))
        ShowWindow(SW_SHOWNORMAL);
    return true;
}

bool CPropertySheet::Create(HWND parent)
{
    return CreateSheet(parent ? parent : (m_parent ? m_parent->m_hWnd : nullptr));
}

bool CPropertySheet::IsEnded() const
{
    return !m_hWnd || !::SendMessageW(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0);
}

INT_PTR CPropertySheet::Close()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    return m_result;
}

INT_PTR CPropertySheet::DoModal()
{
    HWND parent = m_parent ? m_parent->m_hWnd : nullptr;
    HWND owner = parent ? ::GetAncestor(parent, GA_ROOT) : nullptr;
    // Only an owner this sheet disabled is enabled again: an outer modal loop may hold it too.
    const bool ownerDisabled = owner && ::IsWindowEnabled(owner);
    if (ownerDisabled)
        ::EnableWindow(owner, FALSE);
    const bool created = CreateSheet(parent);
    if (created)
        RunModalLoop();
    if (ownerDisabled)
        ::EnableWindow(owner, TRUE);
    if (m_hWnd && owner && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(owner);
    const INT_PTR result = Close();
    return created ? result : -1;
}

void CPropertySheet::RunModalLoop()
{
    RunModalMessageLoop(m_hWnd, [this] { return !m_hWnd || IsEnded(); });
}

BOOL CPropertySheet::PreTranslateMessage(MSG* msg)
{
    if (!m_hWnd || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return FALSE;
    return static_cast<BOOL>(::SendMessageW(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(msg)));
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    HWND current = m_hWnd ? reinterpret_cast<HWND>(::SendMessageW(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0)) : nullptr;
    if (!current)
        return nullptr;
    for (const auto& page : m_pages)
        if (page->m_hWnd == current)
            return page.get();
    return nullptr;
}

int CPropertySheet::GetActiveIndex() const
{
    HWND tab = GetTabControl();
    return tab ? static_cast<int>(::SendMessageW(tab, TCM_GETCURSEL, 0, 0)) : -1;
}

bool CPropertySheet::SetActivePage(int index)
{
    return m_hWnd && ::SendMessageW(m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(index), 0) != 0;
}

void CPropertySheet::PressButton(int button)
{
    if (m_hWnd)
        ::SendMessageW(m_hWnd, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}

HWND CPropertySheet::GetTabControl() const
{
    return m_hWnd ? reinterpret_cast<HWND>(::SendMessageW(m_hWnd, PSM_GETTABCONTROL, 0, 0)) : nullptr;
}

BOOL CPropertySheet::OnInitDialog()
{
    return static_cast<BOOL>(Default());
}

LRESULT CPropertySheet::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

LRESULT CPropertySheet::PageRefused(CPropertyPage* page)
{
    const int previous = m_lastAccepted;
    if (previous < 0 || previous == GetPageIndex(page))
        return -1;  // nothing to go back to: the system moves on to the next page
    // Answering 0 and asking for the previous page at once would re-enter the system's page
    // switch; the posted request runs when the switch is done.
    PostMessage(PSM_SETCURSEL, static_cast<WPARAM>(previous), 0);
    return 0;
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
    // A page whose window could not be made still has its creation hook open: it must not catch
    // the next window the thread creates.
    for (const auto& page : m_pages)
        page->EndCreation();
    return result;
}
