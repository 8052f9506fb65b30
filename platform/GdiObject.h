// GDI objects with one owner each: CGdiObject deletes the object it holds exactly once (when
// destroyed, reset or replaced); moving hands the object over, copying is not possible.
// A borrowed object (a stock object, one owned elsewhere) is passed around as a plain handle.
//
// An object must not be selected into a device context when its owner deletes it: declare the
// owner before the DC wrapper (Dc.h) that selects it, so the DC restores its selection first.
#pragma once

#include <windows.h>
#include "platform/Geometry.h"

class CGdiObject
{
public:
    CGdiObject() noexcept = default;
    explicit CGdiObject(HGDIOBJ owned) noexcept : m_handle(owned) {}
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : m_handle(other.Detach()) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept;

    HGDIOBJ GetSafeHandle() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != nullptr; }
    // Takes ownership of h, deleting what was held before.
    void Attach(HGDIOBJ h) noexcept;
    // Gives up ownership without deleting.
    HGDIOBJ Detach() noexcept;
    // Deletes the held object (if any); false when there was none or DeleteObject failed.
    bool DeleteObject() noexcept;
    // GetObjectW into a record of the object's kind (BITMAP, LOGFONTW, LOGBRUSH, LOGPEN).
    int GetObject(int size, void* buffer) const noexcept { return ::GetObjectW(m_handle, size, buffer); }

protected:
    // Replaces the held object with a newly created one; false (and nothing held) when h is null.
    bool Own(HGDIOBJ h) noexcept
    {
        Attach(h);
        return h != nullptr;
    }

private:
    HGDIOBJ m_handle = nullptr;
};

class CBitmap : public CGdiObject
{
public:
    CBitmap() noexcept = default;
    HBITMAP GetSafeHandle() const noexcept { return static_cast<HBITMAP>(CGdiObject::GetSafeHandle()); }
    operator HBITMAP() const noexcept { return GetSafeHandle(); }

    bool CreateCompatibleBitmap(HDC dc, int width, int height);
    bool CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    // A top-down 32-bit DIB section; bits (optional) receives the pixel memory, owned by the bitmap.
    bool CreateDibSection32(int width, int height, void** bits = nullptr);
    bool LoadBitmap(HINSTANCE instance, UINT id);
    // A copy of source (whole bitmap) with its own pixels.
    bool CopyFrom(HBITMAP source);
    // Width and height from GetObject; 0 x 0 when no bitmap is held.
    CSize GetSize() const;
};

class CFont : public CGdiObject
{
public:
    CFont() noexcept = default;
    HFONT GetSafeHandle() const noexcept { return static_cast<HFONT>(CGdiObject::GetSafeHandle()); }
    operator HFONT() const noexcept { return GetSafeHandle(); }

    bool CreateFontIndirect(const LOGFONTW& lf);
    // The usual case: face, height in logical units (negative: character height), weight.
    bool CreateFont(const wchar_t* face, int height, int weight = FW_NORMAL, BYTE quality = DEFAULT_QUALITY);
    bool GetLogFont(LOGFONTW* lf) const;
};

class CBrush : public CGdiObject
{
public:
    CBrush() noexcept = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    HBRUSH GetSafeHandle() const noexcept { return static_cast<HBRUSH>(CGdiObject::GetSafeHandle()); }
    operator HBRUSH() const noexcept { return GetSafeHandle(); }

    bool CreateSolidBrush(COLORREF color);
    bool CreatePatternBrush(HBITMAP pattern);
};

class CPen : public CGdiObject
{
public:
    CPen() noexcept = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    HPEN GetSafeHandle() const noexcept { return static_cast<HPEN>(CGdiObject::GetSafeHandle()); }
    operator HPEN() const noexcept { return GetSafeHandle(); }

    bool CreatePen(int style, int width, COLORREF color);
};

class CRgn : public CGdiObject
{
public:
    CRgn() noexcept = default;
    HRGN GetSafeHandle() const noexcept { return static_cast<HRGN>(CGdiObject::GetSafeHandle()); }
    operator HRGN() const noexcept { return GetSafeHandle(); }

    bool CreateRectRgn(int left, int top, int right, int bottom);
    bool CreateRectRgnIndirect(const RECT& r) { return CreateRectRgn(r.left, r.top, r.right, r.bottom); }
    bool CreateEllipticRgn(int left, int top, int right, int bottom);
    bool CreateFromData(const RGNDATA* data, DWORD size);
    // This region becomes a op b (RGN_AND, RGN_OR, RGN_DIFF, RGN_XOR, RGN_COPY); it must exist
    // already (create an empty one first). Returns the region kind, or ERROR.
    int CombineRgn(HRGN a, HRGN b, int op);
    bool PtInRegion(int x, int y) const { return ::PtInRegion(GetSafeHandle(), x, y) != FALSE; }
    CRect GetRgnBox() const;
};
