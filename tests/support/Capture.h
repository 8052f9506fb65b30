// Capturing what a window shows, reading its pixels and saving it as a .bmp a person can look at.
// Captures BitBlt from the window's DC (PrintWindow draws nothing under Wine's X11 driver).
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "Paths.h"

namespace hvtest {

// A 32-bit top-down image; pixels are 0x00RRGGBB.
class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, uint32_t fill = 0);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    uint32_t Pixel(int x, int y) const { return pixels_[size_t(y) * width_ + x]; }
    void SetPixel(int x, int y, uint32_t rgb) { pixels_[size_t(y) * width_ + x] = rgb; }
    // The pixel as a COLORREF (RGB()); CLR_INVALID outside the image.
    COLORREF At(int x, int y) const;
    uint32_t* Data() { return pixels_.data(); }
    const uint32_t* Data() const { return pixels_.data(); }

    // Writes an uncompressed 32-bit .bmp; false (and nothing left) on failure.
    bool Save(const std::wstring& path) const;
    // Saves into the test's folder: TestFile(name).
    bool SaveToTestDir(const std::wstring& name) const { return Save(TestFile(name)); }
    // Reads an uncompressed 24- or 32-bit .bmp; an empty bitmap if the file is missing or not one.
    static Bitmap Load(const std::wstring& path);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

// The client area as shown now, after the window's pending painting (its own thread's, when the
// window is another thread's). Empty on failure.
Bitmap CaptureClient(HWND hwnd);
// The whole window, non-client area included.
Bitmap CaptureWindow(HWND hwnd);
// A rectangle of the screen (what is visible there, whichever window it belongs to).
Bitmap CaptureScreen(const RECT& screenRect);

// Whether each channel of a and b differs by at most tolerance.
bool ColorNear(COLORREF a, COLORREF b, int tolerance);
// How many pixels of rect (clipped to the image) are near colour.
int CountPixelsNear(const Bitmap& bitmap, const RECT& rect, COLORREF colour, int tolerance = 0);
std::string ColorText(COLORREF colour);

// Non-fatal failure at the caller's line if the pixel is not near colour (or outside the image).
bool ExpectPixelNear(const Bitmap& bitmap, int x, int y, COLORREF colour, int tolerance = 0,
                     const char* file = __builtin_FILE(), int line = __builtin_LINE());
// Non-fatal failure if any pixel of rect is not near colour; reports how many and the first one.
bool ExpectRectNear(const Bitmap& bitmap, const RECT& rect, COLORREF colour, int tolerance = 0,
                    const char* file = __builtin_FILE(), int line = __builtin_LINE());

} // namespace hvtest
