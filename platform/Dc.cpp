#include "platform/Dc.h"

#include <algorithm>

HGDIOBJ CDC::Select(Kind kind, HGDIOBJ obj)
{
    if (!m_hDC || !obj)
        return nullptr;
    HGDIOBJ previous = ::SelectObject(m_hDC, obj);
    if (previous && previous != HGDI_ERROR && !m_original[kind])
        m_original[kind] = previous;
    return previous == HGDI_ERROR ? nullptr : previous;
}

HGDIOBJ CDC::SelectStockObject(int index)
{
    HGDIOBJ obj = ::GetStockObject(index);
    switch (::GetObjectType(obj)) {
    case OBJ_FONT:
        return Select(Font, obj);
    case OBJ_BRUSH:
        return Select(Brush, obj);
    case OBJ_PEN:
        return Select(Pen, obj);
    default:
        return nullptr;
    }
}

void CDC::RestoreSelections()
{
    for (HGDIOBJ& original : m_original) {
        if (original && m_hDC)
            ::SelectObject(m_hDC, original);
        original = nullptr;
    }
}

void CDC::FillSolidRect(const RECT& r, COLORREF color) const
{
    COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

int CDC::DrawText(const std::wstring& text, RECT* r, UINT format) const
{
    return ::DrawTextW(m_hDC, text.c_str(), static_cast<int>(text.size()), r, format);
}

CSize CDC::GetTextExtent(const std::wstring& text) const
{
    CSize size;
    ::GetTextExtentPoint32W(m_hDC, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

BOOL CDC::StretchBlt(const RECT& dst, HDC src, const RECT& s, DWORD rop) const
{
    return ::StretchBlt(m_hDC, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, src, s.left, s.top,
                        s.right - s.left, s.bottom - s.top, rop);
}

BOOL CDC::TransparentBlt(const RECT& dst, HDC src, const RECT& s, COLORREF transparent) const
{
    return ::TransparentBlt(m_hDC, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, src, s.left,
                            s.top, s.right - s.left, s.bottom - s.top, transparent);
}

BOOL CDC::AlphaBlend(const RECT& dst, HDC src, const RECT& s, BYTE constantAlpha, bool perPixel) const
{
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, constantAlpha, static_cast<BYTE>(perPixel ? AC_SRC_ALPHA : 0)};
    return ::AlphaBlend(m_hDC, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, src, s.left, s.top,
                        s.right - s.left, s.bottom - s.top, blend);
}

CRect CDC::GetClipBox() const
{
    CRect r;
    ::GetClipBox(m_hDC, &r);
    return r;
}

// ---- Owning DCs ---------------------------------------------------------------------------------

namespace {
thread_local CPaintDC::CRedirect* t_redirect = nullptr;
}

CPaintDC::CRedirect::CRedirect(HWND window, HDC target) : m_window(window), m_target(target), m_outer(t_redirect)
{
    t_redirect = this;
}

CPaintDC::CRedirect::~CRedirect()
{
    t_redirect = m_outer;
}

bool CPaintDC::IsRedirected(HWND window)
{
    return t_redirect && t_redirect->m_window == window && t_redirect->m_target;
}

CPaintDC::CPaintDC(HWND hwnd) : m_hwnd(hwnd)
{
    if (t_redirect && t_redirect->m_window == hwnd && t_redirect->m_target) {
        m_saved = ::SaveDC(t_redirect->m_target);
        m_ps.hdc = t_redirect->m_target;
        ::GetClientRect(hwnd, &m_ps.rcPaint);
        SetHandle(m_ps.hdc);
        return;
    }
    SetHandle(::BeginPaint(hwnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    RestoreSelections();
    if (m_saved) {
        ::RestoreDC(GetSafeHdc(), m_saved);
        return;
    }
    ::EndPaint(m_hwnd, &m_ps);
}

CClientDC::CClientDC(HWND hwnd) : m_hwnd(hwnd)
{
    SetHandle(::GetDC(hwnd));
}

CClientDC::~CClientDC()
{
    RestoreSelections();
    if (GetSafeHdc())
        ::ReleaseDC(m_hwnd, GetSafeHdc());
}

CWindowDC::CWindowDC(HWND hwnd) : m_hwnd(hwnd)
{
    SetHandle(::GetWindowDC(hwnd));
}

CWindowDC::~CWindowDC()
{
    RestoreSelections();
    if (GetSafeHdc())
        ::ReleaseDC(m_hwnd, GetSafeHdc());
}

HDC CreateMemoryDC(HDC dc)
{
    const bool screenLike = !dc || ::GetDeviceCaps(dc, TECHNOLOGY) == DT_RASDISPLAY;
    return ::CreateCompatibleDC(screenLike ? nullptr : dc);
}

CMemoryDC::CMemoryDC(HDC compatibleWith)
{
    SetHandle(CreateMemoryDC(compatibleWith));
}

CMemoryDC::~CMemoryDC()
{
    RestoreSelections();
    if (GetSafeHdc())
        ::DeleteDC(GetSafeHdc());
}

HDC CScratchDC::Get(HDC like, int width, int height)
{
    if (m_dc && width <= m_size.cx && height <= m_size.cy)
        return m_dc->GetSafeHdc();
    const CSize size(std::max<LONG>(width, m_size.cx), std::max<LONG>(height, m_size.cy));
    if (!m_dc)
        m_dc = std::make_unique<CMemoryDC>(like);
    m_dc->RestoreSelections();
    m_size = CSize();
    if (!m_dc->GetSafeHdc() || !m_bitmap.CreateCompatibleBitmap(like, size.cx, size.cy))
        return nullptr;
    m_dc->SelectObject(static_cast<HBITMAP>(m_bitmap));
    m_size = size;
    return m_dc->GetSafeHdc();
}
