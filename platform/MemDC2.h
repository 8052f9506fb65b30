// A memory device context for flicker-free painting: drawing goes to an off-screen bitmap of the
// target's rectangle (with the target's mapping mode and window origin), which is copied back to
// the target when the object ends. On a printer DC the drawing goes straight to the target.
#pragma once

#include <windows.h>

#include "platform/Dc.h"
#include "platform/GdiObject.h"
#include "platform/Geometry.h"

class CMemDC2 : public CDC
{
public:
    // rect: the part of the target to draw; null takes the target's clip box.
    explicit CMemDC2(HDC target, const RECT* rect = nullptr);
    ~CMemDC2() override;
    CMemDC2(const CMemDC2&) = delete;
    CMemDC2& operator=(const CMemDC2&) = delete;

    bool IsMemory() const { return m_memory; }
    const CRect& Rect() const { return m_rect; }

private:
    HDC m_target;
    CRect m_rect;
    CBitmap m_bitmap;
    bool m_memory = false;
};
