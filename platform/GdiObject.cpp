#include "platform/GdiObject.h"

#include <utility>

CGdiObject& CGdiObject::operator=(CGdiObject&& other) noexcept
{
    if (this != &other)
        Attach(other.Detach());
    return *this;
}

void CGdiObject::Attach(HGDIOBJ h) noexcept
{
    if (h == m_handle)
        return;
    DeleteObject();
    m_handle = h;
}

HGDIOBJ CGdiObject::Detach() noexcept
{
    return std::exchange(m_handle, nullptr);
}

bool CGdiObject::DeleteObject() noexcept
{
    HGDIOBJ h = Detach();
    return h && ::DeleteObject(h) != FALSE;
}

// ---- CBitmap ------------------------------------------------------------------------------------

bool CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height)
{
    return Own(::CreateCompatibleBitmap(dc, width, height));
}

bool CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    return Own(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

bool CBitmap::CreateDibSection32(int width, int height, void** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    bool ok = Own(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (bits)
        *bits = ok ? pixels : nullptr;
    return ok;
}

bool CBitmap::LoadBitmap(HINSTANCE instance, UINT id)
{
    return Own(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

bool CBitmap::CopyFrom(HBITMAP source)
{
    if (!source) {
        DeleteObject();
        return false;
    }
    return Own(::CopyImage(source, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

CSize CBitmap::GetSize() const
{
    BITMAP bm = {};
    if (!GetSafeHandle() || !GetObject(sizeof(bm), &bm))
        return CSize();
    return CSize(bm.bmWidth, bm.bmHeight);
}

// ---- CFont --------------------------------------------------------------------------------------

bool CFont::CreateFontIndirect(const LOGFONTW& lf)
{
    return Own(::CreateFontIndirectW(&lf));
}

bool CFont::CreateFont(const wchar_t* face, int height, int weight, BYTE quality)
{
    LOGFONTW lf = {};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = quality;
    if (face)
        ::lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirect(lf);
}

bool CFont::GetLogFont(LOGFONTW* lf) const
{
    return GetSafeHandle() && GetObject(sizeof(*lf), lf) == sizeof(*lf);
}

// ---- CBrush, CPen -------------------------------------------------------------------------------

bool CBrush::CreateSolidBrush(COLORREF color)
{
    return Own(::CreateSolidBrush(color));
}

bool CBrush::CreatePatternBrush(HBITMAP pattern)
{
    return Own(::CreatePatternBrush(pattern));
}

bool CPen::CreatePen(int style, int width, COLORREF color)
{
    return Own(::CreatePen(style, width, color));
}

// ---- CRgn ---------------------------------------------------------------------------------------

bool CRgn::CreateRectRgn(int left, int top, int right, int bottom)
{
    return Own(::CreateRectRgn(left, top, right, bottom));
}

bool CRgn::CreateEllipticRgn(int left, int top, int right, int bottom)
{
    return Own(::CreateEllipticRgn(left, top, right, bottom));
}

bool CRgn::CreateFromData(const RGNDATA* data, DWORD size)
{
    return Own(::ExtCreateRegion(nullptr, size, data));
}

int CRgn::CombineRgn(HRGN a, HRGN b, int op)
{
    return GetSafeHandle() ? ::CombineRgn(GetSafeHandle(), a, b, op) : ERROR;
}

CRect CRgn::GetRgnBox() const
{
    CRect r;
    if (GetSafeHandle())
        ::GetRgnBox(GetSafeHandle(), &r);
    return r;
}
