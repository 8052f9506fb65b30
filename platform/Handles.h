// Ownership of Win32 handles: one non-copyable, movable owner per kind of handle.
// A borrowed handle is a plain value; an owner releases its handle exactly once.
#pragma once

#include <windows.h>
#include <utility>

template <class Traits>
class CUniqueHandle
{
public:
    using Handle = typename Traits::Handle;

    CUniqueHandle() noexcept = default;
    explicit CUniqueHandle(Handle h) noexcept : m_h(h) {}
    ~CUniqueHandle() { Reset(); }

    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;
    CUniqueHandle(CUniqueHandle&& other) noexcept : m_h(other.Detach()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Detach());
        return *this;
    }

    Handle Get() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return Traits::IsValid(m_h); }

    // Gives up ownership without releasing.
    Handle Detach() noexcept { return std::exchange(m_h, Traits::Empty()); }

    void Reset(Handle h = Traits::Empty()) noexcept
    {
        Handle old = std::exchange(m_h, h);
        if (Traits::IsValid(old) && old != h)
            Traits::Close(old);
    }

    // For output parameters: releases what is held, then lends the slot.
    Handle* Put() noexcept
    {
        Reset();
        return &m_h;
    }

private:
    Handle m_h = Traits::Empty();
};

namespace handle_traits {

template <class H, class Fn, Fn Close_>
struct NullIsEmpty
{
    using Handle = H;
    static H Empty() noexcept { return nullptr; }
    static bool IsValid(H h) noexcept { return h != nullptr; }
    static void Close(H h) noexcept { Close_(h); }
};

struct Kernel
{
    using Handle = HANDLE;
    static HANDLE Empty() noexcept { return nullptr; }
    static bool IsValid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};

struct Find
{
    using Handle = HANDLE;
    static HANDLE Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) noexcept { ::FindClose(h); }
};

inline void CloseGdi(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void CloseKey(HKEY h) noexcept { ::RegCloseKey(h); }
inline void CloseIcon(HICON h) noexcept { ::DestroyIcon(h); }
inline void CloseCursor(HCURSOR h) noexcept { ::DestroyCursor(h); }
inline void CloseMenu(HMENU h) noexcept { ::DestroyMenu(h); }
inline void CloseWindow(HWND h) noexcept { ::DestroyWindow(h); }
inline void CloseModule(HMODULE h) noexcept { ::FreeLibrary(h); }

template <class H>
using Gdi = NullIsEmpty<H, void (*)(HGDIOBJ) noexcept, &CloseGdi>;

} // namespace handle_traits

using CKernelHandle = CUniqueHandle<handle_traits::Kernel>;
using CFindHandle = CUniqueHandle<handle_traits::Find>;
using CRegKey = CUniqueHandle<handle_traits::NullIsEmpty<HKEY, void (*)(HKEY) noexcept, &handle_traits::CloseKey>>;
using CIconHandle = CUniqueHandle<handle_traits::NullIsEmpty<HICON, void (*)(HICON) noexcept, &handle_traits::CloseIcon>>;
using CCursorHandle = CUniqueHandle<handle_traits::NullIsEmpty<HCURSOR, void (*)(HCURSOR) noexcept, &handle_traits::CloseCursor>>;
using CMenuHandle = CUniqueHandle<handle_traits::NullIsEmpty<HMENU, void (*)(HMENU) noexcept, &handle_traits::CloseMenu>>;
using CWindowHandle = CUniqueHandle<handle_traits::NullIsEmpty<HWND, void (*)(HWND) noexcept, &handle_traits::CloseWindow>>;
using CModuleHandle = CUniqueHandle<handle_traits::NullIsEmpty<HMODULE, void (*)(HMODULE) noexcept, &handle_traits::CloseModule>>;
using CBitmapHandle = CUniqueHandle<handle_traits::Gdi<HBITMAP>>;
using CFontHandle = CUniqueHandle<handle_traits::Gdi<HFONT>>;
using CBrushHandle = CUniqueHandle<handle_traits::Gdi<HBRUSH>>;
using CPenHandle = CUniqueHandle<handle_traits::Gdi<HPEN>>;
using CRgnHandle = CUniqueHandle<handle_traits::Gdi<HRGN>>;
