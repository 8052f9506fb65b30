#include "controls/BitmapWindow.h"

#include <algorithm>

#include "controls/BitmapBtn.h"
#include "controls/BitmapItem.h"
#include "platform/BitmapHelpers.h"
#include "platform/Dc.h"
#include "platform/WndClass.h"
#include "skin/FontItem.h"

namespace {

CSize BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info))
        return CSize();
    return CSize(info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight);
}

void DrawBitmap(CDC& dc, HBITMAP bitmap, const CRect& target)
{
    CMemoryDC source(dc);
    source.SelectObject(bitmap);
    CSize size = BitmapSize(bitmap);
    dc.StretchBlt(target, source, CRect(0, 0, size.cx, size.cy), SRCCOPY);
}

} // namespace

BEGIN_MSG_MAP(CBitmapWindow, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
    ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
END_MSG_MAP()

CBitmapWindow::CBitmapWindow()
{
    kind = ItemKind::BitmapWindow;
}

CBitmapWindow::~CBitmapWindow() = default;

bool CBitmapWindow::Create(const RECT& rect, HWND parent)
{
    if (!CreateEx(0, CWndClass::DefaultClass(), L"", WS_CHILD | WS_VISIBLE, rect, parent, 0))
        return false;
    window = m_hWnd;
    m_drawRect = GetClientRect();
    return true;
}

void CBitmapWindow::SetBitmaps(HBITMAP base, HBITMAP normal, HBITMAP hover, HBITMAP selected, HBITMAP mask)
{
    m_drawRect = GetClientRect();
    CSize baseSize = BitmapSize(base);
    m_drawRect.right = std::max<LONG>(m_drawRect.right, baseSize.cx);
    m_drawRect.bottom = std::max<LONG>(m_drawRect.bottom, baseSize.cy);
    CClientDC dc(m_hWnd);
    HBITMAP sources[kPictureCount] = {base, normal, hover, selected};
    for (int i = 0; i < kPictureCount; ++i) {
        CBitmapHandle copy;
        if (CopyBitmapRect(copy, dc, sources[i], 0, 0, m_drawRect.Width(), m_drawRect.Height()))
            m_pictures[i].Attach(copy.Detach());
    }
    if (mask) {
        CRgnHandle region = CreateRegionFromBitmap(mask);
        if (region)
            SetWindowRgn(region);
    }
    Invalidate(FALSE);
}

void CBitmapWindow::SetText(const wchar_t* key, int caseMode)
{
    m_caseMode = caseMode;
    m_text = CaptionText(key, caseMode);
    Invalidate(FALSE);
}

void CBitmapWindow::AddAssignmentIcon(int type, HBITMAP icon)
{
    if (icon)
        m_icons[type] = icon;
}

void CBitmapWindow::SetAssignmentType(int type)
{
    m_assignmentType = type;
    Invalidate(FALSE);
}

void CBitmapWindow::SetContentImage(HBITMAP image)
{
    m_content = image;
    Invalidate(FALSE);
}

void CBitmapWindow::SetSelected(bool selected)
{
    m_selected = selected;
    Invalidate(FALSE);
}

void CBitmapWindow::SetHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    Invalidate(FALSE);
}

void CBitmapWindow::SetShowLine(bool show)
{
    m_showLine = show;
    Invalidate(FALSE);
}

BOOL CBitmapWindow::PreTranslateMessage(MSG* msg)
{
    m_toolTip.Relay(m_hWnd, msg);
    return CWnd::PreTranslateMessage(msg);
}

BOOL CBitmapWindow::OnCommand(WPARAM wParam, LPARAM lParam)
{
    PostCommandToParent(m_hWnd, wParam, lParam);
    return CWnd::OnCommand(wParam, lParam);
}

void CBitmapWindow::OnMouseMove(UINT, CPoint point)
{
    bool inside = GetClientRect().PtInRect(point);
    if (inside && !m_hover && IsWindowEnabled()) {
        m_hover = true;
        ::SetCapture(m_hWnd);
        Invalidate(FALSE);
    } else if (!inside && m_hover) {
        m_hover = false;
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        Invalidate(FALSE);
    }
}

LRESULT CBitmapWindow::OnKillFocus(WPARAM, LPARAM)
{
    m_hover = false;
    m_selected = false;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    Invalidate(FALSE);
    return 0;
}

LRESULT CBitmapWindow::OnCaptureChanged(WPARAM, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(lParam) != m_hWnd && m_hover) {
        m_hover = false;
        Invalidate(FALSE);
    }
    return 0;
}

BOOL CBitmapWindow::OnEraseBkgnd(HDC)
{
    return TRUE;
}

void CBitmapWindow::OnPaint()
{
    CPaintDC paint(m_hWnd);
    CRect client = GetClientRect();
    CBitmap canvas;
    if (!canvas.CreateCompatibleBitmap(paint, m_drawRect.Width(), m_drawRect.Height()))
        return;
    CMemoryDC dc(paint);
    dc.SelectObject(static_cast<HBITMAP>(canvas));
    dc.FillSolidRect(m_drawRect, RGB(0, 0, 0));

    Picture picture = Normal;
    if (m_selected || m_highlighted)
        picture = Selected;
    else if ((m_hover && !m_selected) || !m_text.empty())
        picture = Hover;
    if (m_pictures[picture]) {
        CMemoryDC source(paint);
        source.SelectObject(static_cast<HBITMAP>(m_pictures[picture]));
        dc.BitBlt(0, 0, m_drawRect.Width(), m_drawRect.Height(), source, 0, 0, SRCCOPY);
    }

    COLORREF textColor = m_textColor ? m_textColor : kFallbackTextColor;
    if (m_showLine && !m_text.empty()) {
        int y = m_drawRect.bottom - 37;
        dc.FillSolidRect(CRect(m_drawRect.left, y, m_drawRect.right, y + 1), textColor);
    }
    if (m_content) {
        CSize size = BitmapSize(m_content);
        double scale = 1.0;
        if (size.cx > m_drawRect.Width() || size.cy > m_drawRect.Height())
            scale = std::min(double(m_drawRect.Width()) / size.cx, double(m_drawRect.Height()) / size.cy);
        int w = static_cast<int>(size.cx * scale), h = static_cast<int>(size.cy * scale);
        CRect target(CPoint((m_drawRect.Width() - w) / 2, (m_drawRect.Height() - h) / 2), CSize(w, h));
        DrawBitmap(dc, m_content, target);
    }
    if (!m_text.empty()) {
        CRect textRect = m_drawRect;
        auto icon = m_icons.find(m_assignmentType);
        if (icon != m_icons.end()) {
            CSize size = BitmapSize(icon->second);
            CRect iconRect(CPoint(textRect.left, textRect.top + (textRect.Height() - size.cy) / 2), size);
            DrawBitmap(dc, icon->second, iconRect);
            textRect.left = iconRect.right;
            textRect.top = iconRect.top;
            textRect.bottom = iconRect.bottom;
        }
        if (!m_font && !m_fallbackFont)
            CreateFallbackFont(m_fallbackFont);
        dc.SelectObject(m_font ? static_cast<HFONT>(*m_font) : static_cast<HFONT>(m_fallbackFont));
        dc.SetTextColor(textColor);
        dc.SetBkMode(TRANSPARENT);
        dc.DrawText(m_text, &textRect, m_format | DT_END_ELLIPSIS);
    }
    paint.BitBlt(client.left, client.top, client.Width(), client.Height(), dc, 0, 0, SRCCOPY);
    dc.RestoreSelections();
}
