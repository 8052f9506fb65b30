// Device contexts that put back what they selected.
//
// CDC wraps a borrowed DC (one passed in a message, such as WM_CTLCOLOR* or WM_DRAWITEM): it never
// releases the DC, but when destroyed it selects back the font, bitmap, brush and pen that were in
// the DC before its first SelectObject of each kind. The derived classes also own the DC:
// CPaintDC (BeginPaint/EndPaint), CClientDC and CWindowDC (GetDC/GetWindowDC, ReleaseDC),
// CMemoryDC (CreateCompatibleDC/DeleteDC).
#pragma once

#include <windows.h>
#include <memory>
#include <string>
#include "platform/GdiObject.h"
#include "platform/Geometry.h"

class CDC
{
public:
    explicit CDC(HDC borrowed = nullptr) noexcept : m_hDC(borrowed) {}
    virtual ~CDC() { RestoreSelections(); }
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const noexcept { return m_hDC; }
    operator HDC() const noexcept { return m_hDC; }

    // Each returns the object it replaced (a borrowed handle).
    HFONT SelectObject(HFONT font) { return static_cast<HFONT>(Select(Font, font)); }
    HBITMAP SelectObject(HBITMAP bitmap) { return static_cast<HBITMAP>(Select(Bitmap, bitmap)); }
    HBRUSH SelectObject(HBRUSH brush) { return static_cast<HBRUSH>(Select(Brush, brush)); }
    HPEN SelectObject(HPEN pen) { return static_cast<HPEN>(Select(Pen, pen)); }
    // A stock font, brush or pen (GetStockObject index).
    HGDIOBJ SelectStockObject(int index);
    // Puts back the objects that were selected before this wrapper changed them.
    void RestoreSelections();

    COLORREF SetTextColor(COLORREF c) const { return ::SetTextColor(m_hDC, c); }
    COLORREF SetBkColor(COLORREF c) const { return ::SetBkColor(m_hDC, c); }
    int SetBkMode(int mode) const { return ::SetBkMode(m_hDC, mode); }
    COLORREF SetDCBrushColor(COLORREF c) const { return ::SetDCBrushColor(m_hDC, c); }
    COLORREF SetDCPenColor(COLORREF c) const { return ::SetDCPenColor(m_hDC, c); }

    // Fills r with one colour without selecting a brush (the background colour is left unchanged).
    void FillSolidRect(const RECT& r, COLORREF color) const;
    void FillRect(const RECT& r, HBRUSH brush) const { ::FillRect(m_hDC, &r, brush); }
    void FrameRect(const RECT& r, HBRUSH brush) const { ::FrameRect(m_hDC, &r, brush); }
    BOOL Rectangle(const RECT& r) const { return ::Rectangle(m_hDC, r.left, r.top, r.right, r.bottom); }
    BOOL MoveTo(int x, int y) const { return ::MoveToEx(m_hDC, x, y, nullptr); }
    BOOL LineTo(int x, int y) const { return ::LineTo(m_hDC, x, y); }
    BOOL TextOut(int x, int y, const std::wstring& text) const
    {
        return ::TextOutW(m_hDC, x, y, text.c_str(), static_cast<int>(text.size()));
    }
    // DrawTextW; r may be changed by DT_CALCRECT.
    int DrawText(const std::wstring& text, RECT* r, UINT format) const;
    CSize GetTextExtent(const std::wstring& text) const;
    bool GetTextMetrics(TEXTMETRICW* tm) const { return ::GetTextMetricsW(m_hDC, tm) != FALSE; }

    BOOL BitBlt(int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop = SRCCOPY) const
    {
        return ::BitBlt(m_hDC, x, y, width, height, src, srcX, srcY, rop);
    }
    BOOL StretchBlt(const RECT& dst, HDC src, const RECT& srcRect, DWORD rop = SRCCOPY) const;
    // Copies src leaving out the pixels of one colour (msimg32 TransparentBlt).
    BOOL TransparentBlt(const RECT& dst, HDC src, const RECT& srcRect, COLORREF transparent) const;
    // Blends src over the DC with a constant alpha and, with perPixel, the source's own alpha.
    BOOL AlphaBlend(const RECT& dst, HDC src, const RECT& srcRect, BYTE constantAlpha, bool perPixel) const;

    int SelectClipRgn(HRGN rgn) const { return ::SelectClipRgn(m_hDC, rgn); }
    int IntersectClipRect(const RECT& r) const { return ::IntersectClipRect(m_hDC, r.left, r.top, r.right, r.bottom); }
    CRect GetClipBox() const;
    int SaveDC() const { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) const { return ::RestoreDC(m_hDC, saved); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

protected:
    // For the owning classes: the DC they obtained (or null on failure).
    void SetHandle(HDC dc) noexcept { m_hDC = dc; }

private:
    enum Kind { Font, Bitmap, Brush, Pen, KindCount };
    HGDIOBJ Select(Kind kind, HGDIOBJ obj);

    HDC m_hDC = nullptr;
    HGDIOBJ m_original[KindCount] = {};
};

class CPaintDC : public CDC
{
public:
    explicit CPaintDC(HWND hwnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps = {};

    // While one lives, a CPaintDC of its window paints the whole client area into the DC given
    // (saved and put back as it was) instead of beginning a paint: how a window's own painting
    // answers WM_PRINTCLIENT. Scopes nest; the thread's own windows only.
    // Whether a CPaintDC of window would paint into a redirected DC now (a print is under way).
    static bool IsRedirected(HWND window);

    class CRedirect
    {
    public:
        CRedirect(HWND window, HDC target);
        ~CRedirect();
        CRedirect(const CRedirect&) = delete;
        CRedirect& operator=(const CRedirect&) = delete;

    private:
        HWND m_window;
        HDC m_target;
        CRedirect* m_outer;
        friend class CPaintDC;
    };

private:
    HWND m_hwnd;
    int m_saved = 0;  // the redirected DC's saved state; 0 for a real paint
};

class CClientDC : public CDC
{
public:
    explicit CClientDC(HWND hwnd);
    ~CClientDC() override;

private:
    HWND m_hwnd;
};

class CWindowDC : public CDC
{
public:
    explicit CWindowDC(HWND hwnd);
    ~CWindowDC() override;

private:
    HWND m_hwnd;
};

// A memory DC compatible with dc (null: the screen). A DC of the screen, a window's or one made
// like it, gives a DC of the screen: made from a window's DC, a memory DC carries the window's
// drawing surface along, and each picture selected into it cost a tenth of a millisecond.
HDC CreateMemoryDC(HDC dc);

// A memory DC compatible with another DC (null: the screen), as CreateMemoryDC makes it.
class CMemoryDC : public CDC
{
public:
    explicit CMemoryDC(HDC compatibleWith = nullptr);
    ~CMemoryDC() override;
};

// A memory DC with a picture of at least the size asked for, kept from one use to the next and
// grown as needed: making a picture and a DC for each paint cost more than the paint itself.
class CScratchDC
{
public:
    // The DC, its picture compatible with like; null when it cannot be had.
    HDC Get(HDC like, int width, int height);

private:
    CBitmap m_bitmap;  // declared before the DC, which gives it back first
    std::unique_ptr<CMemoryDC> m_dc;
    CSize m_size;
};
