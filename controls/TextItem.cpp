#include "controls/TextItem.h"

#include "controls/BitmapBtn.h"
#include "platform/Dc.h"
#include "skin/FontItem.h"

BEGIN_MSG_MAP(CTextItem, CWnd)
    ON_DRAWITEM_REFLECT(DrawItem)
    ON_CTLCOLOR_REFLECT(CtlColor)
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    HV_ON_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDown)
    ON_WM_LBUTTONUP()
    ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
END_MSG_MAP()

CTextItem::CTextItem(const wchar_t* key, int caseMode) : m_text(CaptionText(key, caseMode))
{
    kind = ItemKind::TextItem;
}

CTextItem::~CTextItem() = default;

bool CTextItem::Create(const RECT& rect, HWND parent, DWORD style, UINT id)
{
    // The window text follows the text shown, for whatever reads windows rather than pixels.
    if (!CreateEx(0, L"STATIC", m_text.c_str(), style | WS_CHILD, rect, parent, id))
        return false;
    window = m_hWnd;
    return true;
}

void CTextItem::SetText(const wchar_t* key, int caseMode)
{
    m_text = CaptionText(key, caseMode);
    if (m_hWnd)
        ::SetWindowTextW(m_hWnd, m_text.c_str());
    RepaintUnder();
}

void CTextItem::RepaintUnder()
{
    if (!m_hWnd)
        return;
    // The text has no background of its own: the parent draws what lies under it first.
    HWND parent = GetParent();
    CRect area = GetWindowRect();
    if (parent) {
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
        ::RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    } else {
        RedrawWindow();
    }
}

void CTextItem::SetDisabled(bool disabled)
{
    if (m_disabled == disabled)
        return;
    m_disabled = disabled;
    if (disabled)
        SetHover(false);
    RepaintUnder();
}

COLORREF CTextItem::CurrentColor() const
{
    COLORREF colour = m_colorNormal;
    if (m_disabled && m_colorDisabled)
        colour = m_colorDisabled;
    else if (m_hover && m_colorHover)
        colour = m_colorHover;
    return colour ? colour : kFallbackTextColor;
}

BOOL CTextItem::PreTranslateMessage(MSG* msg)
{
    m_toolTip.Relay(m_hWnd, msg);
    return CWnd::PreTranslateMessage(msg);
}

// ---- Drawing ------------------------------------------------------------------------------------

HBRUSH CTextItem::CtlColor(HDC dc, UINT)
{
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

BOOL CTextItem::OnEraseBkgnd(HDC)
{
    return TRUE;  // transparent: the parent's picture stays
}

void CTextItem::DrawItem(DRAWITEMSTRUCT* item)
{
    if (!m_font && !m_fallbackFont)
        CreateFallbackFont(m_fallbackFont);
    CDC dc(item->hDC);
    dc.SelectObject(m_font ? static_cast<HFONT>(*m_font) : static_cast<HFONT>(m_fallbackFont));
    dc.SetTextColor(CurrentColor());
    dc.SetBkMode(TRANSPARENT);
    CRect client = GetClientRect();
    if (m_format) {
        dc.DrawText(m_text, &client, m_format);
        return;
    }
    TEXTMETRICW metrics = {};
    dc.GetTextMetrics(&metrics);
    dc.TextOut(5, (client.Height() - metrics.tmHeight) / 2, m_text);
}

// ---- Input --------------------------------------------------------------------------------------

void CTextItem::SetHover(bool hover)
{
    if (m_hover == hover)
        return;
    m_hover = hover;
    if (m_checkBox)
        m_checkBox->SetHighlighted(hover);
    RepaintUnder();
}

void CTextItem::OnMouseMove(UINT flags, CPoint point)
{
    if (m_disabled) {
        Default();
        return;
    }
    // Hover is tracked by holding the mouse while the pointer is over the text, as the buttons do.
    CPoint screen = point;
    ClientToScreen(&screen);
    if (::WindowFromPoint(screen) == m_hWnd) {
        if (::GetCapture() != m_hWnd && ::GetActiveWindow()) {
            ::SetCapture(m_hWnd);
            SetHover(true);
        }
    } else if (m_hover || ::GetCapture() == m_hWnd) {
        SetHover(false);
        if (!(flags & MK_LBUTTON) && ::GetCapture() == m_hWnd)
            ::ReleaseCapture();
    }
    Default();
}

LRESULT CTextItem::OnCaptureChanged(WPARAM, LPARAM lParam)
{
    if (m_hover && reinterpret_cast<HWND>(lParam) != m_hWnd)
        SetHover(false);
    return Default();
}

void CTextItem::OnLButtonDown(UINT, CPoint)
{
    HWND root = ::GetAncestor(m_hWnd, GA_ROOT);
    if (root && root != ::GetActiveWindow())
        ::SetActiveWindow(root);
    Default();
}

void CTextItem::OnLButtonUp(UINT, CPoint)
{
    Default();
    CBitmapBtn* button = m_checkBox;
    if (m_disabled || !button || !button->IsWindow() || !button->IsWindowEnabled())
        return;
    if (button->IsToggle())
        button->SetState(!button->IsChecked());
    button->Invalidate(FALSE);
    // The same command a click on the button itself sends, to the button's parent.
    HWND self = m_hWnd;
    if (HWND parent = button->GetParent())
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(button->GetDlgCtrlID(), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button->GetSafeHwnd()));
    // The handler may have closed the page with the text on it.
    if (::IsWindow(self) && CWnd::FromHandlePermanent(self) == this)
        RepaintUnder();
}
