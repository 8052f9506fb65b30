#include "controls/GenericPanel.h"

#include <cstdlib>

#include "controls/VScrollBar.h"
#include "platform/BitmapHelpers.h"
#include "platform/Dc.h"

namespace {

constexpr UINT kPanelControlId = 0xFFFF;

CSize BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info))
        return CSize();
    return CSize(info.bmWidth, std::abs(info.bmHeight));
}

} // namespace

BEGIN_MSG_MAP(CGenericPanel, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MSG_MAP()

CGenericPanel::CGenericPanel(int borderWidth) : m_borderWidth(borderWidth)
{
    BorderHalves(borderWidth, m_halfDown, m_halfUp);
}

CGenericPanel::~CGenericPanel() = default;

bool CGenericPanel::Create(const RECT& rect, HWND parent, const FrameBitmapInfo* picture)
{
    const DWORD style = WS_CHILD | WS_VISIBLE;
    if (!picture || !picture->bitmap) {
        if (!CreateEx(0, L"STATIC", L"", style, rect, parent, kPanelControlId))
            return false;
        m_inner = GetClientRect();
        m_inner.DeflateRect(m_borderWidth, m_borderWidth);
        return true;
    }

    CRect wanted(rect);
    CSize size = BitmapSize(picture->bitmap);
    CRect windowRect;
    if (size.cx < wanted.Width() && size.cy < wanted.Height()) {
        windowRect = wanted;
        m_backgroundOrigin = CPoint((wanted.Width() - size.cx) / 2, (wanted.Height() - size.cy) / 2);
        m_inner = CRect(0, 0, wanted.Width(), wanted.Height());
    } else {
        windowRect = picture->rect;
        m_inner = wanted;
        m_inner.OffsetRect(-windowRect.left, -windowRect.top);
    }
    if (!CreateEx(0, L"STATIC", L"", style, windowRect, parent, kPanelControlId))
        return false;

    if (picture->mask) {
        CRgnHandle region = CreateRegionFromBitmap(picture->mask);
        if (region)
            SetWindowRgn(region);
        m_maskSource.CopyFrom(picture->mask);
    }
    CClientDC dc(m_hWnd);
    CBitmapHandle copy;
    if (CopyBitmapRect(copy, dc, picture->bitmap, 0, 0, size.cx, size.cy))
        m_background.Attach(copy.Detach());
    return true;
}

BOOL CGenericPanel::OnEraseBkgnd(HDC)
{
    return TRUE;
}

void CGenericPanel::OnPaint()
{
    CPaintDC dc(m_hWnd);
    CRect client = GetClientRect();
    if (m_background) {
        if (m_backgroundOrigin != CPoint(0, 0))
            dc.FillSolidRect(client, m_fillColor);
        CMemoryDC source(dc);
        source.SelectObject(static_cast<HBITMAP>(m_background));
        CSize size = m_background.GetSize();
        dc.BitBlt(m_backgroundOrigin.x, m_backgroundOrigin.y, size.cx, size.cy, source, 0, 0, SRCCOPY);
    } else {
        dc.FillSolidRect(client, m_fillColor);
    }
    DrawBorder(dc, client, m_borderWidth, m_borderColor);
}
