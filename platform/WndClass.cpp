#include "platform/WndClass.h"

#include "platform/WinApp.h"
#include "platform/Wnd.h"

// Gives StdWndProc to the class: CWnd's static procedure is protected, so a friend-free helper
// class derived from CWnd hands it out.
namespace {
struct ProcAccess : CWnd
{
    static WNDPROC Proc() { return &CWnd::StdWndProc; }
};
} // namespace

CWndClass::~CWndClass()
{
    Unregister();
}

bool CWndClass::RegisterEx(const WNDCLASSEXW& wc)
{
    if (m_atom)
        return false;
    m_atom = ::RegisterClassExW(&wc);
    if (m_atom) {
        m_name = wc.lpszClassName;
        m_instance = wc.hInstance;
    }
    return m_atom != 0;
}

bool CWndClass::Register(const wchar_t* name, UINT style, HBRUSH background, HICON icon, HCURSOR cursor)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = ProcAccess::Proc();
    wc.hInstance = CWinApp::ResourceInstance();
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterEx(wc);
}

bool CWndClass::RegisterDialogClass(const wchar_t* name, HICON icon, HICON smallIcon)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ::DefDlgProcW;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = CWinApp::ResourceInstance();
    wc.hIcon = icon;
    wc.hIconSm = smallIcon ? smallIcon : icon;
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    return RegisterEx(wc);
}

void CWndClass::Unregister()
{
    if (m_atom && ::UnregisterClassW(m_name.c_str(), m_instance))
        m_atom = 0;
}

const wchar_t* CWndClass::DefaultClass()
{
    static CWndClass s_class;
    if (!s_class.IsRegistered())
        s_class.Register(L"HvWnd", CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    return L"HvWnd";
}
