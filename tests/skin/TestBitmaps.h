#pragma once

// Pictures for drawing tests, in the screen's format: one colour, or a colour for every pixel.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Capture.h"
#include "platform/GdiObject.h"

namespace skintest {

// A picture whose pixel (x, y) has the colour colourAt(x, y) (a COLORREF).
template <class ColourFn>
CBitmap Painted(int width, int height, ColourFn colourAt)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colourAt(x, y);
            pixels[static_cast<size_t>(y) * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    CBitmap bitmap;
    HDC screen = GetDC(nullptr);
    EXPECT_TRUE(bitmap.CreateCompatibleBitmap(screen, width, height));
    EXPECT_EQ(SetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS), height);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

inline CBitmap Solid(int width, int height, COLORREF colour)
{
    return Painted(width, height, [colour](int, int) { return colour; });
}

// The pixels of a picture, as a capture holds them.
inline hvtest::Bitmap PixelsOf(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!GetObjectW(bitmap, sizeof(info), &info))
        return hvtest::Bitmap();
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    hvtest::Bitmap pixels(info.bmWidth, height);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDIBits(screen, bitmap, 0, height, pixels.Data(), &format, DIB_RGB_COLORS), height);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// How many pixels of two pictures of one size differ by more than tolerance in a channel; every
// pixel when the sizes differ.
inline int DifferingPixels(const hvtest::Bitmap& a, const hvtest::Bitmap& b, int tolerance)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return a.Width() * a.Height() + b.Width() * b.Height();
    int differing = 0;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x)
            differing += !hvtest::ColorNear(a.At(x, y), b.At(x, y), tolerance);
    }
    return differing;
}

} // namespace skintest
