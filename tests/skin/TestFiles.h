#pragma once

// Test helpers: buffers that end at an inaccessible page, files in the test's folder, BMP files.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// A copy of some bytes that ends right before a page the process may not touch, so that a read
// past the end faults instead of passing unnoticed.
class CGuardedBuffer
{
public:
    explicit CGuardedBuffer(const std::vector<uint8_t>& bytes)
    {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        const size_t page = si.dwPageSize;
        const size_t dataPages = (bytes.size() + page - 1) / page + 1;
        m_size = (dataPages + 1) * page;
        m_base = static_cast<uint8_t*>(VirtualAlloc(nullptr, m_size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(m_base + dataPages * page, page, PAGE_NOACCESS, &old);
        m_data = m_base + dataPages * page - bytes.size();
        if (!bytes.empty())
            memcpy(m_data, bytes.data(), bytes.size());
        m_length = bytes.size();
    }
    ~CGuardedBuffer() { VirtualFree(m_base, 0, MEM_RELEASE); }
    CGuardedBuffer(const CGuardedBuffer&) = delete;
    CGuardedBuffer& operator=(const CGuardedBuffer&) = delete;

    const void* Data() const { return m_data; }
    size_t Length() const { return m_length; }

private:
    uint8_t* m_base = nullptr;
    uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_length = 0;
};

// The test's own folder (HV_TEST_DIR), with a trailing backslash.
inline std::wstring TestFolder()
{
    wchar_t dir[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(L"HV_TEST_DIR", dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        GetTempPathW(MAX_PATH, dir);
        return dir;
    }
    std::wstring folder(dir);
    if (folder.back() != L'\\' && folder.back() != L'/')
        folder += L'\\';
    return folder;
}

inline bool WriteBytes(const std::wstring& path, const void* data, size_t length)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, data, static_cast<DWORD>(length), &written, nullptr) && written == length;
    CloseHandle(file);
    return ok;
}

inline bool WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes)
{
    return WriteBytes(path, bytes.data(), bytes.size());
}

// A 24-bit bottom-up BMP file of width x height pixels; pixel(x, y) gives 0x00RRGGBB.
template <class PixelFn>
std::vector<uint8_t> MakeBmpFile(int width, int height, PixelFn pixel)
{
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof(ih);
    ih.biWidth = width;
    ih.biHeight = height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biCompression = BI_RGB;
    ih.biSizeImage = stride * height;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + ih.biSizeImage;
    std::vector<uint8_t> bytes(fh.bfSize, 0);
    memcpy(bytes.data(), &fh, sizeof(fh));
    memcpy(bytes.data() + sizeof(fh), &ih, sizeof(ih));
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bytes.data() + fh.bfOffBits + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const uint32_t rgb = pixel(x, y);
            row[3 * x] = rgb & 0xFF;
            row[3 * x + 1] = (rgb >> 8) & 0xFF;
            row[3 * x + 2] = (rgb >> 16) & 0xFF;
        }
    }
    return bytes;
}

// The pixels of a bitmap as 0x00RRGGBB, top row first.
inline std::vector<uint32_t> ReadPixels(HBITMAP bitmap, int& width, int& height)
{
    BITMAP info = {};
    width = height = 0;
    if (!GetObjectW(bitmap, sizeof(info), &info))
        return {};
    width = info.bmWidth;
    height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    HDC dc = GetDC(nullptr);
    int lines = GetDIBits(dc, bitmap, 0, height, pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (lines != height)
        return {};
    for (uint32_t& p : pixels)
        p &= 0x00FFFFFF;
    return pixels;
}
