#include "platform/BitmapHelpers.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A 32-bit top-down DIB section filled by pixel(x, y) -> 0x00RRGGBB.
template <class PixelFn>
CBitmapHandle MakeBitmap(int width, int height, PixelFn pixel)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    CBitmapHandle bitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits) {
        uint32_t* p = static_cast<uint32_t*>(bits);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                p[y * width + x] = pixel(x, y);
    }
    return bitmap;
}

RECT Box(HRGN region, int* complexity = nullptr)
{
    RECT box = {};
    int kind = GetRgnBox(region, &box);
    if (complexity)
        *complexity = kind;
    return box;
}

} // namespace

TEST(BitmapHelpers, RegionFromMask)
{
    CBitmapHandle black = MakeBitmap(100, 30, [](int, int) { return 0u; });
    CRgnHandle region = CreateRegionFromBitmap(black.Get());
    ASSERT_TRUE(region);
    RECT box = Box(region.Get());
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 100);
    EXPECT_EQ(box.bottom, 30);
    CRgnHandle whole(CreateRectRgn(0, 0, 100, 30));
    EXPECT_TRUE(EqualRgn(region.Get(), whole.Get()));

    // White is transparent; almost-white is not.
    CBitmapHandle white = MakeBitmap(40, 20, [](int, int) { return 0xFFFFFFu; });
    CRgnHandle none = CreateRegionFromBitmap(white.Get());
    ASSERT_TRUE(none);
    int complexity = 0;
    Box(none.Get(), &complexity);
    EXPECT_EQ(complexity, NULLREGION);
    CBitmapHandle nearWhite = MakeBitmap(3, 1, [](int x, int) { return x == 1 ? 0xFFFFFEu : 0xFFFFFFu; });
    CRgnHandle one = CreateRegionFromBitmap(nearWhite.Get());
    CRgnHandle pixel(CreateRectRgn(1, 0, 2, 1));
    EXPECT_TRUE(EqualRgn(one.Get(), pixel.Get()));

    EXPECT_FALSE(CreateRegionFromBitmap(nullptr));
}

TEST(BitmapHelpers, RegionOfManyRunsMatchesEveryPixel)
{
    // A checkerboard of 120 x 100 gives 6000 runs, joined over several batches.
    auto opaque = [](int x, int y) { return (x + y) % 2 == 0 || (y >= 50 && x < 30); };
    CBitmapHandle board = MakeBitmap(120, 100, [&](int x, int y) { return opaque(x, y) ? 0x102030u : 0xFFFFFFu; });
    CRgnHandle region = CreateRegionFromBitmap(board.Get());
    ASSERT_TRUE(region);
    int wrong = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 120; ++x)
            wrong += (PtInRegion(region.Get(), x, y) != FALSE) != opaque(x, y);
    EXPECT_EQ(wrong, 0);
}

TEST(BitmapHelpers, CopyBitmapRect)
{
    // Left half red, right half blue, bottom row green.
    auto colour = [](int x, int y) { return y == 9 ? 0x00FF00u : x < 10 ? 0xFF0000u : 0x0000FFu; };
    CBitmapHandle source = MakeBitmap(20, 10, colour);
    HDC screen = GetDC(nullptr);

    CBitmapHandle target;
    ASSERT_TRUE(CopyBitmapRect(target, screen, source.Get(), 8, 5, 14, 10));
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = ReadPixels(target.Get(), width, height);
    ASSERT_EQ(width, 6);
    ASSERT_EQ(height, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(pixels[y * 6 + x], colour(x + 8, y + 5)) << x << "," << y;

    // Without a source, or with an empty rectangle, the target stays as it was.
    HBITMAP before = target.Get();
    EXPECT_FALSE(CopyBitmapRect(target, screen, nullptr, 0, 0, 5, 5));
    EXPECT_FALSE(CopyBitmapRect(target, screen, source.Get(), 5, 5, 5, 8));
    EXPECT_EQ(target.Get(), before);
    EXPECT_NE(GetObjectType(before), 0u);

    // The copy replaces the earlier bitmap, which is deleted.
    ASSERT_TRUE(CopyBitmapRect(target, nullptr, source.Get(), 0, 0, 2, 2));
    EXPECT_EQ(GetObjectType(before), 0u);
    pixels = ReadPixels(target.Get(), width, height);
    ASSERT_EQ(pixels.size(), 4u);
    EXPECT_EQ(pixels[0], 0xFF0000u);
    ReleaseDC(nullptr, screen);
}

TEST(BitmapHelpers, LoadPictureFileKeepsAValidBitmap)
{
    const std::wstring folder = TestFolder();
    auto colour = [](int x, int y) { return static_cast<uint32_t>(0x100000 * (x + 1) + 0x000100 * (y + 1) + 0x40); };
    ASSERT_TRUE(WriteBytes(folder + L"picture.bmp", MakeBmpFile(5, 3, colour)));
    ASSERT_TRUE(WriteBytes(folder + L"garbage.bmp", std::vector<uint8_t>(100, 0x5A)));
    ASSERT_TRUE(WriteBytes(folder + L"empty.bmp", nullptr, 0));

    CBitmapHandle target;
    ASSERT_TRUE(LoadPictureFile((folder + L"picture.bmp").c_str(), target));
    // The picture object is gone; the bitmap must still be there, with the file's pixels.
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = ReadPixels(target.Get(), width, height);
    ASSERT_EQ(width, 5);
    ASSERT_EQ(height, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(pixels[y * 5 + x], colour(x, y)) << x << "," << y;

    HBITMAP loaded = target.Get();
    EXPECT_FALSE(LoadPictureFile((folder + L"missing.bmp").c_str(), target));
    EXPECT_FALSE(LoadPictureFile((folder + L"garbage.bmp").c_str(), target));
    EXPECT_FALSE(LoadPictureFile((folder + L"empty.bmp").c_str(), target));
    EXPECT_FALSE(LoadPictureFile(nullptr, target));
    EXPECT_EQ(target.Get(), loaded);
    EXPECT_NE(GetObjectType(loaded), 0u);
}
