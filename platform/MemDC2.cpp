#include "platform/MemDC2.h"

CMemDC2::CMemDC2(HDC target, const RECT* rect) : CDC(target), m_target(target)
{
    if (rect)
        m_rect = *rect;
    else
        ::GetClipBox(target, &m_rect);
    if (!target || ::GetDeviceCaps(target, TECHNOLOGY) == DT_RASPRINTER)
        return;

    // The rectangle is in logical units; the bitmap needs device pixels.
    CRect device = m_rect;
    ::LPtoDP(target, reinterpret_cast<POINT*>(&device), 2);
    device.NormalizeRect();
    HDC memory = CreateMemoryDC(target);
    if (!memory)
        return;
    if (!m_bitmap.CreateCompatibleBitmap(target, device.Width(), device.Height())) {
        ::DeleteDC(memory);
        return;
    }
    SetHandle(memory);
    m_memory = true;
    SelectObject(static_cast<HBITMAP>(m_bitmap));
    ::SetMapMode(memory, ::GetMapMode(target));
    SIZE extent;
    if (::GetWindowExtEx(target, &extent))
        ::SetWindowExtEx(memory, extent.cx, extent.cy, nullptr);
    if (::GetViewportExtEx(target, &extent))
        ::SetViewportExtEx(memory, extent.cx, extent.cy, nullptr);
    ::SetWindowOrgEx(memory, m_rect.left, m_rect.top, nullptr);
    FillSolidRect(m_rect, ::GetBkColor(target));
}

CMemDC2::~CMemDC2()
{
    if (!m_memory)
        return;
    ::BitBlt(m_target, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), GetSafeHdc(), m_rect.left,
             m_rect.top, SRCCOPY);
    RestoreSelections();
    ::DeleteDC(GetSafeHdc());
    SetHandle(nullptr);
}
