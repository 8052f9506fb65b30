// Test helpers for layouts: files in the type folders of the test's own skin folder (where the
// loader and the skin cache look), language and keyboard definition files, and a window that
// records progress.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/NameTables.h"
#include "Paths.h"
#include "platform/ProgressMessenger.h"
#include "skin/SkinResourceCache.h"
#include "TestFiles.h"
#include "platform/WStr.h"

#include "../controls/SkinSections.h"

namespace layouttest {

// The id of an item name; a test failure when the name table does not know the name.
inline int32_t ItemId(const wchar_t* name)
{
    int32_t id = FindItemIdByName(name);
    EXPECT_NE(id, -1) << wstr::WideToUtf8(name);
    return id;
}

// Makes the test's own folder (HV_TEST_DIR) the folder of the program's skin cache and layouts,
// so that nothing is written beside the test program; returns it with a trailing backslash.
inline std::wstring UseTestSkinFolder()
{
    GetSkinResourceCache().SetFolder(hvtest::TestDir());
    return GetSkinResourceCache().Folder();
}

// The test skin folder's sub folder ("xml", "skins", "lang", "bin", "fonts"), created when missing,
// with a trailing backslash.
inline std::wstring SkinSubFolder(const wchar_t* sub)
{
    std::wstring folder = UseTestSkinFolder() + sub;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

inline void WriteText(const std::wstring& path, const std::string& utf8)
{
    ASSERT_TRUE(WriteBytes(path, utf8.data(), utf8.size())) << wstr::WideToUtf8(path);
}

// A layout in the skin folder's xml\ folder, where LoadLayoutFile and the panels look.
inline void WriteLayout(const std::wstring& name, const std::string& xml)
{
    WriteText(SkinSubFolder(L"xml") + name, xml);
}

template <class PixelFn>
void WriteSkinBitmap(const std::wstring& name, int width, int height, PixelFn pixel)
{
    ASSERT_TRUE(WriteBytes(SkinSubFolder(L"skins") + name, MakeBmpFile(width, height, pixel)));
}

// A language file: UTF-16LE lines ended by CR LF.
inline void WriteLanguageFile(const std::wstring& name, const std::vector<std::wstring>& lines)
{
    std::wstring text;
    for (const std::wstring& line : lines)
        text += line + L"\r\n";
    ASSERT_TRUE(WriteBytes(SkinSubFolder(L"lang") + name, text.data(), text.size() * sizeof(wchar_t)));
}

// Keyboard definition files, little-endian.
class KeyFileBuilder
{
public:
    KeyFileBuilder& I32(int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
        return *this;
    }
    KeyFileBuilder& I16(int16_t v)
    {
        bytes.push_back(static_cast<uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
        return *this;
    }
    // One record with its first code entry (flags 0) and the rest zero.
    KeyFileBuilder& Record(const std::wstring& name, int16_t code)
    {
        I32(static_cast<int32_t>(name.size() * 2));
        for (wchar_t c : name)
            I16(static_cast<int16_t>(c));
        I16(0).I16(0);
        I16(code).I16(0);
        for (int i = 1; i < 10; ++i)
            I16(0).I16(0);
        for (int i = 0; i < 60; ++i)
            I16(0);
        return *this;
    }
    std::vector<uint8_t> bytes;
};

inline void WriteBinFile(const std::wstring& name, const std::vector<uint8_t>& bytes)
{
    ASSERT_TRUE(WriteBytes(SkinSubFolder(L"bin") + name, bytes));
}

// A hidden window of this thread that records the progress messages it receives, as
// "text:<text>" and "percent:<n>".
class ProgressRecorder
{
public:
    ProgressRecorder()
    {
        static bool registered = false;
        if (!registered) {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"LayoutTestProgress";
            RegisterClassW(&wc);
            registered = true;
        }
        m_hwnd = CreateWindowExW(0, L"LayoutTestProgress", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), this);
    }
    ~ProgressRecorder() { DestroyWindow(m_hwnd); }
    ProgressRecorder(const ProgressRecorder&) = delete;
    ProgressRecorder& operator=(const ProgressRecorder&) = delete;

    HWND Window() const { return m_hwnd; }
    std::vector<std::string> events;

    // "text:<name>", then percent:0, 6, ... 84, 100.
    static std::vector<std::string> FullSequence(const std::string& name)
    {
        std::vector<std::string> expected{"text:" + name};
        for (int i = 0; i < 15; ++i)
            expected.push_back("percent:" + std::to_string(6 * i));
        expected.push_back("percent:100");
        return expected;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<ProgressRecorder*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && message == WM_PROGRESS_TEXT) {
            self->events.push_back("text:" + wstr::WideToUtf8(reinterpret_cast<const wchar_t*>(lParam)));
            return 0;
        }
        if (self && message == WM_PROGRESS_PERCENT) {
            self->events.push_back("percent:" + std::to_string(static_cast<int>(lParam)));
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    HWND m_hwnd = nullptr;
};

} // namespace layouttest
