// Points, sizes and rectangles: the Win32 records with the arithmetic every window needs.
// Each class is layout-compatible with its Win32 record and converts to a pointer to it.
#pragma once

#include <windows.h>

class CSize : public SIZE
{
public:
    CSize() noexcept : SIZE{0, 0} {}
    CSize(int width, int height) noexcept : SIZE{width, height} {}
    CSize(const SIZE& s) noexcept : SIZE(s) {}

    bool operator==(const SIZE& o) const noexcept { return cx == o.cx && cy == o.cy; }
    bool operator!=(const SIZE& o) const noexcept { return !(*this == o); }
    CSize operator+(const SIZE& o) const noexcept { return CSize(cx + o.cx, cy + o.cy); }
    CSize operator-(const SIZE& o) const noexcept { return CSize(cx - o.cx, cy - o.cy); }
};

class CPoint : public POINT
{
public:
    CPoint() noexcept : POINT{0, 0} {}
    CPoint(int px, int py) noexcept : POINT{px, py} {}
    CPoint(const POINT& p) noexcept : POINT(p) {}
    // From the lParam of a mouse message: signed client coordinates.
    explicit CPoint(LPARAM lParam) noexcept
        : POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))} {}

    void Offset(int dx, int dy) noexcept { x += dx; y += dy; }
    bool operator==(const POINT& o) const noexcept { return x == o.x && y == o.y; }
    bool operator!=(const POINT& o) const noexcept { return !(*this == o); }
    CPoint operator+(const SIZE& s) const noexcept { return CPoint(x + s.cx, y + s.cy); }
    CPoint operator-(const SIZE& s) const noexcept { return CPoint(x - s.cx, y - s.cy); }
    CSize operator-(const POINT& p) const noexcept { return CSize(x - p.x, y - p.y); }

    operator POINT*() noexcept { return this; }
    operator const POINT*() const noexcept { return this; }
};

class CRect : public RECT
{
public:
    CRect() noexcept : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) noexcept : RECT{l, t, r, b} {}
    CRect(const RECT& r) noexcept : RECT(r) {}
    CRect(const POINT& topLeft, const SIZE& size) noexcept
        : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    CSize Size() const noexcept { return CSize(Width(), Height()); }
    CPoint TopLeft() const noexcept { return CPoint(left, top); }
    CPoint BottomRight() const noexcept { return CPoint(right, bottom); }
    CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }

    // Empty: no area (width or height not positive).
    bool IsRectEmpty() const noexcept { return right <= left || bottom <= top; }
    bool IsRectNull() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(const POINT& p) const noexcept { return ::PtInRect(this, p) != FALSE; }

    void SetRect(int l, int t, int r, int b) noexcept { left = l; top = t; right = r; bottom = b; }
    void SetRectEmpty() noexcept { SetRect(0, 0, 0, 0); }
    void OffsetRect(int dx, int dy) noexcept { ::OffsetRect(this, dx, dy); }
    void OffsetRect(const POINT& p) noexcept { OffsetRect(p.x, p.y); }
    // Moves the rectangle so that its top-left corner is (x, y), keeping its size.
    void MoveToXY(int x, int y) noexcept { OffsetRect(x - left, y - top); }
    void InflateRect(int dx, int dy) noexcept { ::InflateRect(this, dx, dy); }
    void DeflateRect(int dx, int dy) noexcept { ::InflateRect(this, -dx, -dy); }
    void DeflateRect(int l, int t, int r, int b) noexcept
    {
        left += l; top += t; right -= r; bottom -= b;
    }
    // Swaps edges so that left <= right and top <= bottom.
    void NormalizeRect() noexcept
    {
        if (left > right) { LONG t = left; left = right; right = t; }
        if (top > bottom) { LONG t = top; top = bottom; bottom = t; }
    }
    // The overlap of a and b; false (and an empty rectangle) when they do not overlap.
    bool IntersectRect(const RECT& a, const RECT& b) noexcept { return ::IntersectRect(this, &a, &b) != FALSE; }
    bool UnionRect(const RECT& a, const RECT& b) noexcept { return ::UnionRect(this, &a, &b) != FALSE; }

    bool operator==(const RECT& o) const noexcept { return ::EqualRect(this, &o) != FALSE; }
    bool operator!=(const RECT& o) const noexcept { return !(*this == o); }

    operator RECT*() noexcept { return this; }
    operator const RECT*() const noexcept { return this; }
};
