#include "platform/GroupWnd.h"

#include "platform/Dc.h"
#include "platform/WndClass.h"

bool CGroupWnd::Create(HWND parent, const RECT& rect)
{
    // Transparent: the window system clips neither its parent nor its siblings by it. Clipped by the
    // siblings above it: its paint of the parent's picture would cover them where they lie over it.
    return CreateEx(WS_EX_TRANSPARENT | WS_EX_CONTROLPARENT, CWndClass::DefaultClass(), L"",
                    WS_CHILD | WS_CLIPSIBLINGS, rect, parent, 0);
}

LRESULT CGroupWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT: {
        CPaintDC dc(m_hWnd);
        PrintParentUnder(dc);
        return 0;
    }
    case WM_PRINTCLIENT:
        PrintParentUnder(reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        break;
    }
    // What a child sends its parent about itself, and the private messages of the program's items.
    if (message == WM_COMMAND || message == WM_NOTIFY || IsReflectedMessage(message) || message >= WM_USER) {
        // The child's own handling first, as from its parent; then the parent's.
        LRESULT result = 0;
        if (OnWndMsg(message, wParam, lParam, &result))
            return result;
        const HWND parent = ::GetParent(m_hWnd);
        return parent ? ::SendMessageW(parent, message, wParam, lParam) : 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CGroupWnd::PrintParentUnder(HDC dc)
{
    const HWND parent = ::GetParent(m_hWnd);
    if (!dc || !parent)
        return;
    POINT origin{0, 0};
    ::MapWindowPoints(m_hWnd, parent, &origin, 1);
    const int saved = ::SaveDC(dc);
    ::OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    ::RestoreDC(dc, saved);
}
