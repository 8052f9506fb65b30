#include "controls/XListEdit.h"

#include "controls/XListCtrl.h"

BEGIN_MSG_MAP(CXListEdit, CWnd)
    ON_CTLCOLOR_REFLECT(CtlColor)
    ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
    ON_MESSAGE(WM_CHAR, OnChar)
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
END_MSG_MAP()

CXListEdit::CXListEdit(CXListCtrl& list) : m_list(list)
{
}

CXListEdit::~CXListEdit()
{
    if (m_hWnd)
        DestroyWindow();
}

bool CXListEdit::Create(const RECT& rect, HWND list, HFONT font, const wchar_t* text)
{
    if (!CreateEx(0, L"EDIT", text ? text : L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, rect, list, 0))
        return false;
    if (!m_brush)
        m_brush.CreateSolidBrush(m_backColor);
    SetFont(font, FALSE);
    return true;
}

void CXListEdit::SetBackColor(COLORREF colour)
{
    m_backColor = colour;
    m_brush.CreateSolidBrush(colour);
    if (m_hWnd)
        Invalidate();
}

HBRUSH CXListEdit::CtlColor(HDC dc, UINT)
{
    ::SetTextColor(dc, m_textColor);
    ::SetBkColor(dc, m_backColor);
    ::SetDCPenColor(dc, m_borderColor);
    ::SetDCBrushColor(dc, m_borderColor);
    return m_brush;
}

LRESULT CXListEdit::OnKeyDown(WPARAM wParam, LPARAM)
{
    // Handled here rather than in a message loop's pre-translation, so that the keys end the edit
    // whichever loop delivers them.
    if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
        m_list.EndEdit(wParam == VK_RETURN);
        return 0;
    }
    return Default();
}

LRESULT CXListEdit::OnChar(WPARAM wParam, LPARAM)
{
    if (wParam == L'\r' || wParam == 0x1B)
        return 0;  // the key ended the edit; its character would only beep
    return Default();
}

LRESULT CXListEdit::OnGetDlgCode(WPARAM, LPARAM)
{
    return Default() | DLGC_WANTALLKEYS;  // Return and Escape are the edit's, not the dialog's
}
