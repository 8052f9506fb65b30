#include "skin/SkinResourceCache.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A program folder of its own with the type folders the cache reads from.
std::wstring MakeFolder()
{
    std::wstring folder = TestFolder() + L"cache\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* sub : { L"skins", L"lang", L"bin", L"fonts" })
        CreateDirectoryW((folder + sub).c_str(), nullptr);
    return folder;
}

uint32_t Red(int x, int) { return x < 2 ? 0xFF0000 : 0x0000FF; }

} // namespace

TEST(SkinResourceCache, EntriesPerNameAndType)
{
    const std::wstring folder = MakeFolder();
    const std::vector<uint8_t> bin = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 };
    ASSERT_TRUE(WriteBytes(folder + L"bin\\keys.bin", bin));
    const std::vector<uint8_t> bmp = MakeBmpFile(4, 3, Red);
    ASSERT_TRUE(WriteBytes(folder + L"skins\\pic.bmp", bmp));
    ASSERT_TRUE(WriteBytes(folder + L"bin\\pic.bmp", bmp));
    ASSERT_TRUE(WriteBytes(folder + L"lang\\empty.txt", nullptr, 0));

    SkinResourceCache cache(folder);
    SkinResource* keys = cache.Get(L"keys.bin", SkinResourceBinary);
    ASSERT_NE(keys, nullptr);
    ASSERT_TRUE(keys->IsLoaded());
    EXPECT_EQ(keys->size, 10u);
    EXPECT_EQ(std::vector<uint8_t>(keys->Data(), keys->Data() + keys->size), bin);
    EXPECT_EQ(keys->path, folder + L"bin\\keys.bin");
    // Names differing in case share one entry.
    EXPECT_EQ(cache.Get(L"KEYS.BIN", SkinResourceBinary), keys);
    EXPECT_EQ(cache.GetBinaryResource(L"Keys.Bin"), keys->Data());
    EXPECT_EQ(cache.Count(), 1u);

    // One name as picture and as bitmap: two entries, each with its own bitmap and size.
    SkinResource* picture = cache.Get(L"pic.bmp", SkinResourcePicture);
    SkinResource* bitmap = cache.Get(L"pic.bmp", SkinResourceBitmap);
    ASSERT_NE(picture, bitmap);
    EXPECT_EQ(cache.Count(), 3u);
    ASSERT_TRUE(picture->IsLoaded());
    ASSERT_TRUE(bitmap->IsLoaded());
    EXPECT_NE(picture->bitmap.Get(), bitmap->bitmap.Get());
    EXPECT_EQ(picture->size, 8u);
    EXPECT_EQ(bitmap->size, bmp.size());
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = ReadPixels(picture->bitmap.Get(), width, height);
    ASSERT_EQ(width, 4);
    ASSERT_EQ(height, 3);
    EXPECT_EQ(pixels[0], 0xFF0000u);
    EXPECT_EQ(pixels[3], 0x0000FFu);
    pixels = ReadPixels(bitmap->bitmap.Get(), width, height);
    ASSERT_EQ(pixels.size(), 12u);
    EXPECT_EQ(pixels[11], 0x0000FFu);

    // The same name read whole from bin\: its entry has the bytes read, while the size by name
    // is the picture entry's 8; readers take the length from their own entry.
    SkinResource* raw = cache.Get(L"pic.bmp", SkinResourceBinary);
    EXPECT_EQ(raw->size, bmp.size());
    EXPECT_EQ(cache.GetSizeByName(L"PIC.BMP"), 8u);
    EXPECT_EQ(cache.GetSizeByName(L"keys.bin"), 10u);
    EXPECT_EQ(cache.GetSizeByName(L"nothing"), 0u);

    // Empty files and types that load nothing give entries without an object.
    // An empty file still counts as read, unlike a missing one.
    SkinResource* empty = cache.Get(L"empty.txt", SkinResourceLanguage);
    EXPECT_FALSE(empty->IsLoaded());
    EXPECT_EQ(empty->size, 0u);
    EXPECT_EQ(empty->Data(), nullptr);
    EXPECT_TRUE(empty->fileRead);
    EXPECT_TRUE(keys->fileRead);
    EXPECT_FALSE(cache.Get(L"missing.txt", SkinResourceLanguage)->fileRead);
    SkinResource* other = cache.Get(L"keys.bin", 2);
    EXPECT_FALSE(other->IsLoaded());
    EXPECT_EQ(other->size, 0u);
    EXPECT_EQ(other->path, folder + L"skins\\keys.bin");
    EXPECT_EQ(cache.Get(nullptr, 6), nullptr);

    HBITMAP pictureHandle = picture->bitmap.Get();
    HBITMAP bitmapHandle = bitmap->bitmap.Get();
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0u);
    EXPECT_EQ(GetObjectType(pictureHandle), 0u);
    EXPECT_EQ(GetObjectType(bitmapHandle), 0u);
}

TEST(SkinResourceCache, FailuresAreCachedAndNotRetried)
{
    const std::wstring folder = MakeFolder();
    DeleteFileW((folder + L"bin\\late.bin").c_str());
    SkinResourceCache cache(folder);

    SkinResource* late = cache.Get(L"late.bin", SkinResourceBinary);
    ASSERT_NE(late, nullptr);
    EXPECT_FALSE(late->IsLoaded());
    EXPECT_EQ(late->size, 0u);
    EXPECT_EQ(cache.GetBinaryResource(L"late.bin"), nullptr);

    ASSERT_TRUE(WriteBytes(folder + L"bin\\late.bin", std::vector<uint8_t>{ 1, 2 }));
    EXPECT_EQ(cache.Get(L"late.bin", SkinResourceBinary), late);
    EXPECT_FALSE(late->IsLoaded());
    EXPECT_EQ(cache.Count(), 1u);

    // Missing or unreadable pictures, bitmaps and fonts.
    ASSERT_TRUE(WriteBytes(folder + L"fonts\\notafont.ttf", std::vector<uint8_t>(64, 0x20)));
    ASSERT_TRUE(WriteBytes(folder + L"skins\\notapicture.png", std::vector<uint8_t>(64, 0x20)));
    SkinResource* font = cache.Get(L"notafont.ttf", SkinResourceFont);
    EXPECT_FALSE(font->IsLoaded());
    EXPECT_EQ(font->size, 64u);
    EXPECT_FALSE(cache.Get(L"missing.ttf", SkinResourceFont)->IsLoaded());
    EXPECT_EQ(cache.Get(L"missing.ttf", SkinResourceFont)->size, 0u);
    EXPECT_FALSE(cache.Get(L"notapicture.png", SkinResourcePicture)->IsLoaded());
    EXPECT_FALSE(cache.Get(L"missing.bmp", SkinResourcePicture)->IsLoaded());
    EXPECT_FALSE(cache.Get(L"missing.bmp", SkinResourceBitmap)->IsLoaded());
    EXPECT_EQ(cache.Get(L"missing.bmp", SkinResourceBitmap)->size, 0u);
}

TEST(SkinResourceCache, ProgramFolderAndAnotherFolder)
{
    const std::wstring folder = GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    SkinResourceCache& cache = GetSkinResourceCache();
    EXPECT_EQ(cache.Folder(), folder);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(std::wstring(self).compare(0, folder.size(), folder), 0);

    // Another folder: later entries come from there; an entry cached before keeps its file.
    SkinResource* before = cache.Get(L"moved.bin", SkinResourceBinary);
    EXPECT_EQ(before->path, folder + L"bin\\moved.bin");
    const std::wstring other = MakeFolder();
    ASSERT_TRUE(WriteBytes(other + L"bin\\moved.bin", std::vector<uint8_t>{ 7, 7, 7 }));
    ASSERT_TRUE(WriteBytes(other + L"bin\\other.bin", std::vector<uint8_t>{ 1 }));
    cache.SetFolder(other.substr(0, other.size() - 1));
    EXPECT_EQ(cache.Folder(), other);
    EXPECT_EQ(cache.Get(L"moved.bin", SkinResourceBinary), before);
    EXPECT_FALSE(before->IsLoaded());
    SkinResource* after = cache.Get(L"other.bin", SkinResourceBinary);
    EXPECT_EQ(after->path, other + L"bin\\other.bin");
    EXPECT_EQ(after->size, 1u);
    cache.SetFolder(folder);
    EXPECT_EQ(cache.Folder(), folder);
}
