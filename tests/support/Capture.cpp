#include "Capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace hvtest {
namespace {

// Copies width x height pixels at (x, y) of source into a 32-bit top-down DIB.
Bitmap Grab(HDC source, int x, int y, int width, int height)
{
    if (!source || width <= 0 || height <= 0)
        return {};
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib)
        return {};
    Bitmap result;
    HDC memory = CreateCompatibleDC(source);
    if (memory) {
        HGDIOBJ old = SelectObject(memory, dib);
        if (BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY)) {
            GdiFlush();
            result = Bitmap(width, height);
            const auto* from = static_cast<const uint32_t*>(bits);
            for (size_t i = 0; i < size_t(width) * height; ++i)
                result.Data()[i] = from[i] & 0x00FFFFFF;
        }
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    DeleteObject(dib);
    return result;
}

// Whether a window of the tree under hwnd, itself included, waits for a paint.
bool WaitsForPaint(HWND hwnd)
{
    if (!IsWindowVisible(hwnd))
        return false;
    if (GetUpdateRect(hwnd, nullptr, FALSE))
        return true;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (WaitsForPaint(child))
            return true;
    }
    return false;
}

// Lets the window's pending painting happen. A window of this thread is painted here; a window of
// another thread paints from its own queue, and this waits for it: painting it from here as well
// would race its thread's own paints, a parent's then landing over its children's.
void FinishPainting(HWND hwnd, UINT flags)
{
    if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) {
        RedrawWindow(hwnd, nullptr, nullptr, flags);
        return;
    }
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
        // A paint under way when the check finds nothing left ends before the thread answers.
        if (!WaitsForPaint(hwnd)) {
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer);
            if (!WaitsForPaint(hwnd))
                return;
        }
        Sleep(5);
    }
}

template <typename T>
bool ReadAt(const std::vector<unsigned char>& data, size_t offset, T& value)
{
    if (offset > data.size() || data.size() - offset < sizeof(T))
        return false;
    memcpy(&value, data.data() + offset, sizeof(T));
    return true;
}

} // namespace

Bitmap::Bitmap(int width, int height, uint32_t fill)
    : width_(width > 0 ? width : 0), height_(height > 0 ? height : 0),
      pixels_(size_t(width_) * height_, fill)
{
}

COLORREF Bitmap::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    uint32_t p = Pixel(x, y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool Bitmap::Save(const std::wstring& path) const
{
    if (Empty())
        return false;
    const DWORD rowBytes = DWORD(width_) * 4;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width_;
    info.biHeight = height_;  // bottom-up: what every viewer reads
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    info.biSizeImage = rowBytes * height_;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + info.biSizeImage;

    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(h, &file, sizeof(file), &written, nullptr) && written == sizeof(file) &&
              WriteFile(h, &info, sizeof(info), &written, nullptr) && written == sizeof(info);
    for (int y = height_ - 1; ok && y >= 0; --y)
        ok = WriteFile(h, pixels_.data() + size_t(y) * width_, rowBytes, &written, nullptr) && written == rowBytes;
    CloseHandle(h);
    if (!ok)
        DeleteFileW(path.c_str());
    return ok;
}

Bitmap Bitmap::Load(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    LARGE_INTEGER size = {};
    std::vector<unsigned char> data;
    if (GetFileSizeEx(h, &size) && size.QuadPart > 0 && size.QuadPart < (256 << 20)) {
        data.resize(size_t(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(h, data.data(), DWORD(data.size()), &read, nullptr) || read != data.size())
            data.clear();
    }
    CloseHandle(h);

    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    if (!ReadAt(data, 0, file) || file.bfType != 0x4D42 || !ReadAt(data, sizeof(file), info))
        return {};
    if (info.biCompression != BI_RGB || (info.biBitCount != 24 && info.biBitCount != 32) || info.biWidth <= 0 ||
        info.biHeight == 0 || info.biWidth > 32768 || info.biHeight > 32768 || info.biHeight < -32768)
        return {};
    const int width = info.biWidth;
    const int height = info.biHeight < 0 ? -info.biHeight : info.biHeight;
    const size_t bytesPerPixel = info.biBitCount / 8;
    const size_t rowBytes = (size_t(width) * bytesPerPixel + 3) & ~size_t(3);
    if (file.bfOffBits > data.size() || (data.size() - file.bfOffBits) / rowBytes < size_t(height))
        return {};
    Bitmap result(width, height);
    for (int row = 0; row < height; ++row) {
        const unsigned char* src = data.data() + file.bfOffBits + size_t(row) * rowBytes;
        int y = info.biHeight < 0 ? row : height - 1 - row;
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = src + size_t(x) * bytesPerPixel;
            result.SetPixel(x, y, (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0]);
        }
    }
    return result;
}

Bitmap CaptureClient(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return {};
    FinishPainting(hwnd, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    GetClientRect(hwnd, &r);
    HDC dc = GetDC(hwnd);
    Bitmap result = Grab(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    ReleaseDC(hwnd, dc);
    return result;
}

Bitmap CaptureWindow(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return {};
    FinishPainting(hwnd, RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    GetWindowRect(hwnd, &r);
    HDC dc = GetWindowDC(hwnd);
    Bitmap result = Grab(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    ReleaseDC(hwnd, dc);
    return result;
}

Bitmap CaptureScreen(const RECT& screenRect)
{
    HDC dc = GetDC(nullptr);
    Bitmap result = Grab(dc, screenRect.left, screenRect.top, screenRect.right - screenRect.left,
                         screenRect.bottom - screenRect.top);
    ReleaseDC(nullptr, dc);
    return result;
}

bool ColorNear(COLORREF a, COLORREF b, int tolerance)
{
    return abs(int(GetRValue(a)) - int(GetRValue(b))) <= tolerance &&
           abs(int(GetGValue(a)) - int(GetGValue(b))) <= tolerance &&
           abs(int(GetBValue(a)) - int(GetBValue(b))) <= tolerance;
}

int CountPixelsNear(const Bitmap& bitmap, const RECT& rect, COLORREF colour, int tolerance)
{
    int count = 0;
    for (int y = std::max(0, int(rect.top)); y < std::min(bitmap.Height(), int(rect.bottom)); ++y)
        for (int x = std::max(0, int(rect.left)); x < std::min(bitmap.Width(), int(rect.right)); ++x)
            if (ColorNear(bitmap.At(x, y), colour, tolerance))
                ++count;
    return count;
}

std::string ColorText(COLORREF colour)
{
    if (colour == CLR_INVALID)
        return "(none)";
    char text[32];
    snprintf(text, sizeof(text), "RGB(%u,%u,%u)", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

bool ExpectPixelNear(const Bitmap& bitmap, int x, int y, COLORREF colour, int tolerance, const char* file, int line)
{
    COLORREF actual = bitmap.At(x, y);
    if (actual != CLR_INVALID && ColorNear(actual, colour, tolerance))
        return true;
    ADD_FAILURE_AT(file, line) << "pixel (" << x << "," << y << ") of a " << bitmap.Width() << "x" << bitmap.Height()
                               << " image is " << ColorText(actual) << ", expected " << ColorText(colour)
                               << " within " << tolerance;
    return false;
}

bool ExpectRectNear(const Bitmap& bitmap, const RECT& rect, COLORREF colour, int tolerance, const char* file, int line)
{
    const bool inside = rect.left >= 0 && rect.top >= 0 && rect.right <= bitmap.Width() &&
                        rect.bottom <= bitmap.Height() && rect.left < rect.right && rect.top < rect.bottom;
    int wrong = 0;
    POINT first = {-1, -1};
    for (int y = rect.top; inside && y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            if (!ColorNear(bitmap.At(x, y), colour, tolerance)) {
                if (wrong++ == 0)
                    first = {x, y};
            }
    if (inside && wrong == 0)
        return true;
    if (!inside) {
        ADD_FAILURE_AT(file, line) << "rectangle (" << rect.left << "," << rect.top << ")-(" << rect.right << ","
                                   << rect.bottom << ") is not inside the " << bitmap.Width() << "x"
                                   << bitmap.Height() << " image";
    } else {
        ADD_FAILURE_AT(file, line) << wrong << " pixels of (" << rect.left << "," << rect.top << ")-(" << rect.right
                                   << "," << rect.bottom << ") are not " << ColorText(colour) << " within "
                                   << tolerance << "; the first, (" << first.x << "," << first.y << "), is "
                                   << ColorText(bitmap.At(first.x, first.y));
    }
    return false;
}

} // namespace hvtest
