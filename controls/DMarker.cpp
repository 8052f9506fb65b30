#include "controls/DMarker.h"

#include <algorithm>

#include "controls/ControlMessages.h"
#include "platform/BitmapHelpers.h"
#include "platform/Dc.h"
#include "platform/MemDC2.h"
#include "platform/WndClass.h"

BEGIN_MSG_MAP(CDMarker, CWnd)
    ON_WM_LBUTTONDOWN()
    HV_ON_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDown)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MSG_MAP()

CDMarker::CDMarker()
{
    kind = ItemKind::DMarker;
}

CDMarker::~CDMarker()
{
    if (m_hWnd)
        DestroyWindow();
}

bool CDMarker::Create(const RECT& rect, int32_t itemId, HWND parent)
{
    m_rect = rect;
    id = itemId;
    m_parent = parent;
    m_enabled = true;
    m_min = 0;
    m_max = 10;
    m_value = 0;
    m_dragging = false;
    if (!CreateEx(0, CWndClass::DefaultClass(), L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, parent,
                  static_cast<UINT_PTR>(static_cast<UINT>(itemId))))
        return false;
    window = m_hWnd;
    return true;
}

void CDMarker::SetBitmaps(HBITMAP back, HBITMAP fill, const RECT& rect)
{
    CClientDC dc(m_hWnd);
    CopyBitmapRect(m_backBitmap, dc, back, rect.left, rect.top, rect.right, rect.bottom);
    CopyBitmapRect(m_fillBitmap, dc, fill, rect.left, rect.top, rect.right, rect.bottom);
    if (m_hWnd)
        Invalidate(FALSE);
}

int CDMarker::ValueAt(CPoint client) const
{
    CPoint point = client;
    ::MapWindowPoints(m_hWnd, m_parent, &point, 1);
    const int width = m_rect.Width();
    if (width <= 0)
        return m_min;
    const int x = std::max(static_cast<int>(point.x), static_cast<int>(m_rect.left));
    const long long value = m_min + static_cast<long long>(m_max - m_min) * (x - m_rect.left) / width;
    return static_cast<int>(std::max<long long>(m_min, std::min<long long>(m_max, value)));
}

int CDMarker::FillWidth() const
{
    const int range = m_max - m_min;
    if (range == 0)
        return 0;
    return static_cast<int>(static_cast<long long>(m_rect.Width()) * (m_value - m_min) / range);
}

void CDMarker::OnLButtonDown(UINT, CPoint point)
{
    if (!m_enabled)
        return;
    ::SetCapture(m_hWnd);
    m_dragging = true;
    m_downPoint = point;
}

void CDMarker::OnMouseMove(UINT, CPoint point)
{
    if (!m_dragging)
        return;
    m_value = ValueAt(point);
    Invalidate(FALSE);
}

void CDMarker::OnLButtonUp(UINT, CPoint point)
{
    // Cleared first: releasing the capture below must not count as a lost drag.
    m_dragging = false;
    m_value = ValueAt(point);
    ::PostMessageW(m_parent, WM_DMARKER_RELEASED, static_cast<WPARAM>(m_value), static_cast<LPARAM>(id));
    Default();
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    Invalidate(FALSE);
}

LRESULT CDMarker::OnCaptureChanged(WPARAM, LPARAM)
{
    if (m_dragging) {
        m_dragging = false;
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        Invalidate(FALSE);
    }
    return Default();
}

LRESULT CDMarker::OnKillFocus(WPARAM, LPARAM)
{
    m_dragging = false;
    Invalidate(FALSE);
    return Default();
}

BOOL CDMarker::OnEraseBkgnd(HDC)
{
    return TRUE;
}

void CDMarker::OnPaint()
{
    CPaintDC paint(m_hWnd);
    const CRect client = GetClientRect();
    CMemDC2 dc(paint, &client);
    dc.FillSolidRect(client, RGB(0, 0, 0));
    CMemoryDC source(paint);
    if (m_backBitmap) {
        source.SelectObject(m_backBitmap.Get());
        dc.BitBlt(0, 0, client.Width(), client.Height(), source, 0, 0, SRCCOPY);
    }
    if (m_fillBitmap) {
        source.SelectObject(m_fillBitmap.Get());
        dc.BitBlt(0, 0, FillWidth(), client.Height(), source, 0, 0, SRCCOPY);
    }
    source.RestoreSelections();
}
