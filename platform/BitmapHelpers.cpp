#include "platform/BitmapHelpers.h"

#include "platform/ComPtr.h"
#include "platform/Dc.h"

#include <ocidl.h>
#include <olectl.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Collects one-pixel-high rectangles and turns them into a region in batches, so that no single
// region data block grows without bound.
class CRegionBuilder
{
public:
    static constexpr DWORD kGrowBy = 100;
    static constexpr DWORD kBatch = 2000;

    CRegionBuilder() { Restart(); }

    bool Add(LONG left, LONG top, LONG right, LONG bottom)
    {
        if (Count() == Capacity())
            m_block.resize(m_block.size() + kGrowBy * sizeof(RECT));
        RECT* rects = Rects();
        rects[Count()] = { left, top, right, bottom };
        RGNDATAHEADER& h = Header();
        if (h.nCount == 0) {
            h.rcBound = { left, top, right, bottom };
        } else {
            h.rcBound.left = left < h.rcBound.left ? left : h.rcBound.left;
            h.rcBound.top = top < h.rcBound.top ? top : h.rcBound.top;
            h.rcBound.right = right > h.rcBound.right ? right : h.rcBound.right;
            h.rcBound.bottom = bottom > h.rcBound.bottom ? bottom : h.rcBound.bottom;
        }
        ++h.nCount;
        return h.nCount < kBatch || Flush();
    }

    // Joins the collected rectangles to the result and starts a new block.
    bool Flush()
    {
        if (Count() > 0) {
            CRgnHandle part(ExtCreateRegion(nullptr, static_cast<DWORD>(m_block.size()),
                                            reinterpret_cast<const RGNDATA*>(m_block.data())));
            if (!part || CombineRgn(m_result.Get(), m_result.Get(), part.Get(), RGN_OR) == ERROR)
                return false;
        }
        Restart();
        return true;
    }

    bool Start()
    {
        m_result.Reset(CreateRectRgn(0, 0, 0, 0));
        return static_cast<bool>(m_result);
    }
    CRgnHandle Result() { return std::move(m_result); }

private:
    void Restart()
    {
        m_block.assign(sizeof(RGNDATAHEADER) + kGrowBy * sizeof(RECT), 0);
        RGNDATAHEADER& h = Header();
        h.dwSize = sizeof(RGNDATAHEADER);
        h.iType = RDH_RECTANGLES;
    }
    RGNDATAHEADER& Header() { return *reinterpret_cast<RGNDATAHEADER*>(m_block.data()); }
    RECT* Rects() { return reinterpret_cast<RECT*>(m_block.data() + sizeof(RGNDATAHEADER)); }
    DWORD Count() { return Header().nCount; }
    DWORD Capacity() { return static_cast<DWORD>((m_block.size() - sizeof(RGNDATAHEADER)) / sizeof(RECT)); }

    std::vector<uint8_t> m_block; // RGNDATAHEADER followed by the rectangles
    CRgnHandle m_result;
};

constexpr DWORD kWhite = 0x00FFFFFF;

// The region of the pixels of the part of bitmap that are not of the transparent colour: white, or
// with cornerKey the colour of the part's top-left pixel. Pixels of the part beyond the bitmap stay
// black (a new DIB's colour), as in a copy of the part.
CRgnHandle RegionOfOpaquePixels(HBITMAP bitmap, const RECT* part, bool cornerKey)
{
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight == 0)
        return CRgnHandle();
    RECT area = {0, 0, info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
    if (part)
        area = *part;
    const LONG width = area.right - area.left;
    const LONG height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return CRgnHandle();

    CMemoryDC source(nullptr);
    if (!source)
        return CRgnHandle();

    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height; // top-down: row 0 first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    CBitmapHandle dib(CreateDIBSection(source, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    // Declared after the DIB so that it lets go of the DIB before the DIB is deleted: a bitmap
    // still selected into a DC is not deleted and would leak.
    CMemoryDC copy(nullptr);
    if (!copy || !dib || !bits || !copy.SelectObject(dib.Get()) || !source.SelectObject(bitmap))
        return CRgnHandle();
    if (!BitBlt(copy, 0, 0, width, height, source, area.left, area.top, SRCCOPY))
        return CRgnHandle();
    GdiFlush();

    CRegionBuilder builder;
    if (!builder.Start())
        return CRgnHandle();
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    const DWORD transparent = cornerKey ? (pixels[0] & 0x00FFFFFF) : kWhite;
    auto clear = [transparent](DWORD pixel) { return (pixel & 0x00FFFFFF) == transparent; };
    for (LONG y = 0; y < height; ++y) {
        const DWORD* row = pixels + static_cast<size_t>(y) * width;
        LONG x = 0;
        while (x < width) {
            while (x < width && clear(row[x]))
                ++x;
            const LONG start = x;
            while (x < width && !clear(row[x]))
                ++x;
            if (x > start && !builder.Add(start, y, x, y + 1))
                return CRgnHandle();
        }
    }
    if (!builder.Flush())
        return CRgnHandle();
    return builder.Result();
}

} // namespace

CRgnHandle CreateRegionFromBitmap(HBITMAP bitmap)
{
    return RegionOfOpaquePixels(bitmap, nullptr, false);
}

CRgnHandle CreateRegionFromBitmap(HBITMAP bitmap, const RECT& part)
{
    return RegionOfOpaquePixels(bitmap, &part, false);
}

CRgnHandle CreateRegionWithoutCornerColor(HBITMAP bitmap)
{
    return RegionOfOpaquePixels(bitmap, nullptr, true);
}

bool CopyBitmapRect(CBitmapHandle& target, HDC dc, HBITMAP source, int left, int top, int right, int bottom)
{
    const int width = right - left;
    const int height = bottom - top;
    if (!source || width <= 0 || height <= 0)
        return false;
    CBitmapHandle part;
    {
        // Without a DC the copy is compatible with the screen.
        HDC screen = dc ? nullptr : GetDC(nullptr);
        HDC reference = dc ? dc : screen;
        part.Reset(reference ? CreateCompatibleBitmap(reference, width, height) : nullptr);
        if (screen)
            ReleaseDC(nullptr, screen);
        CMemoryDC from(dc);
        CMemoryDC to(dc);
        if (!part || !from || !to || !from.SelectObject(source) || !to.SelectObject(part.Get()))
            return false;
        if (!StretchBlt(to, 0, 0, width, height, from, left, top, width, height, SRCCOPY))
            return false;
    } // the DCs let go of both bitmaps before the part is handed over
    target = std::move(part);
    return true;
}

bool LoadPictureFile(const wchar_t* path, CBitmapHandle& target)
{
    if (!path)
        return false;
    // A BMP file goes to the bitmap loader, which makes a DIB section of the file's own pixel
    // format straight from it: faster than a picture object and its copy, and no larger than the
    // file's pixels. The loader takes nothing but a BMP file (one that starts with "BM"), so it is
    // asked first, without opening the file for a look at its start (three round trips to the
    // server under Wine); what it refuses is left to the picture object.
    if (HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION))) {
        target.Reset(bitmap);
        return true;
    }
    CKernelHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > LONG_MAX)
        return false;
    const DWORD bytes = static_cast<DWORD>(size.QuadPart);

    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    void* data = GlobalLock(memory);
    DWORD read = 0;
    const bool ok = data && ReadFile(file.Get(), data, bytes, &read, nullptr) && read == bytes;
    if (data)
        GlobalUnlock(memory);
    if (!ok) {
        GlobalFree(memory);
        return false;
    }

    // The stream frees the memory when it is released.
    CComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.Put()))) {
        GlobalFree(memory);
        return false;
    }
    CComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(bytes), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(picture.Put()))) || !picture)
        return false;

    // The picture's own bitmap dies with the picture: keep a copy of it.
    OLE_HANDLE handle = 0;
    SHORT type = PICTYPE_UNINITIALIZED;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle)) || !handle)
        return false;
    HBITMAP own = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HBITMAP>(static_cast<LONG_PTR>(static_cast<LONG>(handle))),
                                                 IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!own)
        return false;
    target.Reset(own);
    return true;
}

void PaintThroughMask(HDC target, const RECT& area, HBITMAP picture, HBITMAP mask)
{
    PaintThroughMask(target, area, picture, POINT{0, 0}, mask, POINT{0, 0});
}

namespace {

// What a masked paint works with, kept from one paint to the next on each thread: a DC to read the
// pictures from, and a DC with a picture to shape the paint in. Making the two DCs cost more than
// the paint itself. The pictures read are put back after each paint, so that they can be selected
// elsewhere.
struct CMaskScratch
{
    std::unique_ptr<CMemoryDC> source;
    CScratchDC shape;
};
thread_local CMaskScratch t_maskScratch;

} // namespace

void PaintThroughMask(HDC target, const RECT& area, HBITMAP picture, POINT pictureAt, HBITMAP mask, POINT maskAt)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return;
    if (!t_maskScratch.source)
        t_maskScratch.source = std::make_unique<CMemoryDC>(target);
    const HDC shape = t_maskScratch.shape.Get(target, width, height);
    CDC source(t_maskScratch.source->GetSafeHdc());  // puts the pictures back when it ends
    if (!shape || !source || !source.SelectObject(mask))
        return;
    BitBlt(target, area.left, area.top, width, height, source, maskAt.x, maskAt.y, SRCAND);
    if (!picture || !source.SelectObject(picture))
        return;
    BitBlt(shape, 0, 0, width, height, source, pictureAt.x, pictureAt.y, SRCCOPY);
    source.SelectObject(mask);
    BitBlt(shape, 0, 0, width, height, source, maskAt.x, maskAt.y, 0x00220326);  // picture AND NOT mask
    BitBlt(target, area.left, area.top, width, height, shape, 0, 0, SRCPAINT);
}
