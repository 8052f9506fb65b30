#include "VxCurtain.h"

#include "WinApp.h"

namespace {

constexpr wchar_t kCurtainClass[] = L"HvVexaCurtain";

} // namespace

void ShowPaintedNow()
{
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    // A pixel read back from the screen returns once the display has taken what was sent before
    // it: the picture is up (or down) before the window paints on.
    if (HDC screen = ::GetDC(nullptr)) {
        ::GetPixel(screen, 0, 0);
        ::ReleaseDC(nullptr, screen);
    }
}

CVxCurtain::~CVxCurtain()
{
    if (m_curtain && ::IsWindow(m_curtain))
        ::DestroyWindow(m_curtain);
    DropPicture();
}

void CVxCurtain::DropPicture()
{
    if (m_picture)
        ::DeleteObject(m_picture);
    m_picture = nullptr;
}

void CVxCurtain::Take(HWND window, COLORREF transparentColour)
{
    DropPicture();
    m_window = window;
    m_colourKey = transparentColour;
    if (!window || !::IsWindowVisible(window) || ::IsIconic(window) || !::GetWindowRect(window, &m_rect))
        return;
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;
    HDC source = ::GetWindowDC(window);
    if (!source)
        return;
    HDC memory = ::CreateCompatibleDC(source);
    m_picture = memory ? ::CreateCompatibleBitmap(source, width, height) : nullptr;
    if (m_picture) {
        HGDIOBJ old = ::SelectObject(memory, m_picture);
        ::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
    }
    if (memory)
        ::DeleteDC(memory);
    ::ReleaseDC(window, source);
}

bool CVxCurtain::MakeWindow()
{
    if (m_curtain && ::IsWindow(m_curtain))
        return true;
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(module, kCurtainClass, &wc)) {
        wc.lpfnWndProc = Procedure;
        wc.hInstance = module;
        wc.lpszClassName = kCurtainClass;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        if (!::RegisterClassExW(&wc))
            return false;
    }
    m_curtain = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT,
                                  kCurtainClass, L"", WS_POPUP | WS_DISABLED, 0, 0, 0, 0, m_window, nullptr,
                                  module, this);
    if (!m_curtain)
        return false;
    ::SetWindowLongPtrW(m_curtain, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return true;
}

void CVxCurtain::Raise()
{
    if (m_raised || !m_picture || !MakeWindow())
        return;
    if (m_colourKey != CLR_INVALID)
        ::SetLayeredWindowAttributes(m_curtain, m_colourKey, 0, LWA_COLORKEY);
    else
        ::SetLayeredWindowAttributes(m_curtain, 0, 255, LWA_ALPHA);
    // The main window's shape, when it has one (the window takes the copy).
    HRGN shape = ::CreateRectRgn(0, 0, 0, 0);
    if (shape && ::GetWindowRgn(m_window, shape) != ERROR)
        ::SetWindowRgn(m_curtain, shape, FALSE);
    else if (shape)
        ::DeleteObject(shape);
    ::SetWindowPos(m_curtain, nullptr, m_rect.left, m_rect.top, m_rect.right - m_rect.left,
                   m_rect.bottom - m_rect.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::UpdateWindow(m_curtain);
    m_raised = true;
    ShowPaintedNow();
}

void CVxCurtain::Lower()
{
    if (!m_raised)
        return;
    m_raised = false;
    ShowPaintedNow();
    ::SetWindowPos(m_curtain, nullptr, 0, 0, 0, 0,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW);
    DropPicture();
}

LRESULT CALLBACK CVxCurtain::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CVxCurtain*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        if (self && self->m_picture) {
            HDC memory = ::CreateCompatibleDC(dc);
            HGDIOBJ old = ::SelectObject(memory, self->m_picture);
            ::BitBlt(dc, 0, 0, self->m_rect.right - self->m_rect.left, self->m_rect.bottom - self->m_rect.top,
                     memory, 0, 0, SRCCOPY);
            ::SelectObject(memory, old);
            ::DeleteDC(memory);
        }
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_NCDESTROY:
        if (self && self->m_curtain == window)
            self->m_curtain = nullptr;
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}
