#include "controls/BitmapItem.h"

#include <algorithm>

#include "platform/BitmapHelpers.h"
#include "platform/Dc.h"
#include "platform/WndClass.h"

BEGIN_MSG_MAP(CBitmapItem, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MSG_MAP()

void PostCommandToParent(HWND item, WPARAM wParam, LPARAM lParam)
{
    if (HWND parent = ::GetParent(item))
        ::PostMessageW(parent, WM_COMMAND, wParam, lParam);
}

CBitmapItem::CBitmapItem()
{
    kind = ItemKind::BitmapItem;
}

CBitmapItem::~CBitmapItem() = default;

bool CBitmapItem::Create(const RECT& rect, HWND parent, DWORD style, UINT id)
{
    if (!CreateEx(0, CWndClass::DefaultClass(), L"", style, rect, parent, id))
        return false;
    window = m_hWnd;
    return true;
}

void CBitmapItem::SetBitmap(HBITMAP bitmap, int left, int top, int right, int bottom)
{
    BITMAP info = {};
    if (!bitmap || right - left <= 0 || bottom - top <= 0 || !::GetObjectW(bitmap, sizeof(info), &info))
        return;
    m_bitmap = bitmap;
    m_shown = CSize(std::min<LONG>(right - left, info.bmWidth),
                    std::min<LONG>(bottom - top, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight));
}

void CBitmapItem::SetBitmapWithMask(HBITMAP mask, HBITMAP bitmap, const RECT& rect)
{
    if (mask) {
        CRgnHandle region = CreateRegionFromBitmap(mask);
        if (region)
            SetWindowRgn(region);
    }
    SetBitmap(bitmap, rect.left, rect.top, rect.right, rect.bottom);
}

BOOL CBitmapItem::PreTranslateMessage(MSG* msg)
{
    m_toolTip.Relay(m_hWnd, msg);
    return CWnd::PreTranslateMessage(msg);
}

BOOL CBitmapItem::OnCommand(WPARAM wParam, LPARAM lParam)
{
    PostCommandToParent(m_hWnd, wParam, lParam);
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CBitmapItem::OnEraseBkgnd(HDC)
{
    return TRUE;  // the bitmap covers the client area
}

void CBitmapItem::OnPaint()
{
    CPaintDC dc(m_hWnd);
    if (!m_bitmap)
        return;
    CRect client = GetClientRect();
    CMemoryDC source(dc);
    source.SelectObject(m_bitmap);
    dc.BitBlt(client.left, client.top, m_shown.cx, m_shown.cy, source, 0, 0, SRCCOPY);
    // Beyond the bitmap: black, as a copy of the rectangle would be there.
    if (client.right > m_shown.cx)
        dc.FillSolidRect(CRect(m_shown.cx, 0, client.right, client.bottom), RGB(0, 0, 0));
    if (client.bottom > m_shown.cy)
        dc.FillSolidRect(CRect(0, m_shown.cy, std::min<LONG>(m_shown.cx, client.right), client.bottom), RGB(0, 0, 0));
}
