#include "controls/ColorPaletteWnd.h"

#include "controls/ControlMessages.h"
#include "platform/Dc.h"
#include "platform/MemDC2.h"
#include "platform/WndClass.h"

namespace {

const wchar_t* PaletteClass()
{
    static CWndClass windowClass;
    if (!windowClass.IsRegistered())
        windowClass.Register(CFODropColorPaletteWnd::kClassName, CS_DBLCLKS, nullptr);
    return windowClass.Name();
}

} // namespace

// ---- Palette window -----------------------------------------------------------------------------

BEGIN_MSG_MAP(CFODropColorPaletteWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    HV_ON_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDown)  // a quick second press is a press too
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    HV_ON_MOUSE(WM_RBUTTONDOWN, OnOtherButtonDown)
    HV_ON_MOUSE(WM_MBUTTONDOWN, OnOtherButtonDown)
    ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
    ON_MESSAGE(WM_CANCELMODE, OnCancelMode)
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
    ON_WM_CLOSE()
END_MSG_MAP()

CFODropColorPaletteWnd::CFODropColorPaletteWnd() = default;

CFODropColorPaletteWnd::~CFODropColorPaletteWnd()
{
    if (m_hWnd)
        DestroyWindow();
}

bool CFODropColorPaletteWnd::CreatePalette(DWORD exStyle, DWORD style, const RECT& rect, HWND parentOrOwner, HWND host,
                                           COLORREF colour)
{
    if (m_hWnd)
        return false;
    m_host = host;
    m_finished = false;
    // Until the control exists, the window's first messages find none and do nothing.
    if (!CreateEx(exStyle, PaletteClass(), L"", style, rect, parentOrOwner, 0))
        return false;
    m_control = std::make_unique<CFODropColorPaletteControl>(m_hWnd, host, static_cast<IPaletteNotify*>(this), colour);
    m_control->SetPopupMode((style & WS_POPUP) != 0);
    m_control->SetRect(GetClientRect());
    Invalidate(FALSE);
    return true;
}

void CFODropColorPaletteWnd::Dismiss()
{
    if (!m_hWnd)
        return;
    m_finished = true;
    if (m_reporting > 0) {
        // The host is answering this palette: the window goes once the palette's code is done.
        ShowWindow(SW_HIDE);
        PostMessage(WM_CLOSE);
        return;
    }
    DestroyWindow();
}

void CFODropColorPaletteWnd::PaletteNotify(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_finished || !m_hWnd)
        return;
    const bool preview = message == WM_COLORPALETTE_SELECT && lParam == 100;
    if (!preview && m_control->IsPopupMode()) {
        // Set before hiding: the deactivation that hiding brings must not choose again.
        m_finished = true;
        ShowWindow(SW_HIDE);
    }
    if (message == WM_COLORPALETTE_CUSTOM) {
        ::PostMessageW(m_host, message, wParam, lParam);
        return;
    }
    ++m_reporting;
    ::SendMessageW(m_host, message, wParam, lParam);
    --m_reporting;
}

void CFODropColorPaletteWnd::OnClose()
{
    DestroyWindow();
}

BOOL CFODropColorPaletteWnd::OnEraseBkgnd(HDC)
{
    return TRUE;
}

void CFODropColorPaletteWnd::OnPaint()
{
    CPaintDC paint(m_hWnd);
    if (!m_control)
        return;
    const CRect client = GetClientRect();
    CMemDC2 dc(paint, &client);
    m_control->Draw(dc);
}

void CFODropColorPaletteWnd::OnSize(UINT, int cx, int cy)
{
    if (m_control)
        m_control->SetRect(CRect(0, 0, cx, cy));
    Invalidate(FALSE);
}

void CFODropColorPaletteWnd::OnLButtonDown(UINT, CPoint point)
{
    ::SetCapture(m_hWnd);
    SetFocus();
    if (m_control)
        m_control->ButtonDown(point);
}

void CFODropColorPaletteWnd::OnMouseMove(UINT, CPoint point)
{
    if (m_control && ::GetCapture() == m_hWnd)
        m_control->TrackTo(point);
}

void CFODropColorPaletteWnd::OnLButtonUp(UINT, CPoint point)
{
    if (::GetCapture() != m_hWnd)
        return;
    ::ReleaseCapture();
    if (m_control)
        m_control->ButtonUp(point);
}

void CFODropColorPaletteWnd::OnOtherButtonDown(UINT, CPoint)
{
    SetFocus();
}

LRESULT CFODropColorPaletteWnd::OnKeyDown(WPARAM wParam, LPARAM)
{
    if (m_control && m_control->KeyDown(static_cast<UINT>(wParam), ::GetKeyState(VK_SHIFT) < 0))
        return 0;
    return Default();
}

LRESULT CFODropColorPaletteWnd::OnCancelMode(WPARAM, LPARAM)
{
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    return Default();
}

LRESULT CFODropColorPaletteWnd::OnGetDlgCode(WPARAM, LPARAM)
{
    return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;  // 0x83
}

LRESULT CFODropColorPaletteWnd::OnSysColorChange(WPARAM, LPARAM)
{
    if (m_control)
        m_control->ReadSystemColors();
    Invalidate(FALSE);
    return Default();
}

// ---- Popup palette ------------------------------------------------------------------------------

BEGIN_MSG_MAP(CFOPopupColorPaletteWnd, CFODropColorPaletteWnd)
    ON_MESSAGE(WM_ACTIVATE, OnActivate)
END_MSG_MAP()

CRect CFOPopupColorPaletteWnd::Place(const RECT& anchor, int width, int height, const RECT& workArea)
{
    CRect r(anchor.left, anchor.bottom, anchor.left + width, anchor.bottom + height);
    if (r.bottom > workArea.bottom)
        r.OffsetRect(0, anchor.top - r.bottom);
    if (r.right > workArea.right)
        r.OffsetRect(anchor.right - r.right, 0);
    return r;
}

bool CFOPopupColorPaletteWnd::Create(DWORD style, const RECT& anchor, HWND host, COLORREF colour, int width,
                                     int height)
{
    CRect frame(0, 0, width, height);
    ::AdjustWindowRectEx(&frame, style & ~kDropBelow, FALSE, WS_EX_TOOLWINDOW);
    CRect placed(anchor.left, anchor.top, anchor.left + frame.Width(), anchor.top + frame.Height());
    if (style & kDropBelow) {
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        CRect work;
        if (::GetMonitorInfoW(::MonitorFromRect(&anchor, MONITOR_DEFAULTTONEAREST), &monitor))
            work = monitor.rcWork;
        else
            ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        placed = Place(anchor, frame.Width(), frame.Height(), work);
    }
    HWND owner = host ? ::GetAncestor(host, GA_ROOT) : nullptr;
    if (!CreatePalette(WS_EX_TOOLWINDOW, style & ~kDropBelow, placed, owner, host, colour))
        return false;
    SetFocus();
    return true;
}

CFOPopupColorPaletteWnd* CFOPopupColorPaletteWnd::Open(DWORD style, const RECT& anchor, HWND host, COLORREF colour,
                                                       int width, int height)
{
    auto* palette = new CFOPopupColorPaletteWnd();
    if (!palette->Create(style, anchor, host, colour, width, height)) {
        if (palette->m_hWnd)
            palette->DestroyWindow();
        delete palette;
        return nullptr;
    }
    palette->m_ownsItself = true;
    return palette;
}

void CFOPopupColorPaletteWnd::PostNcDestroy()
{
    if (m_ownsItself)
        delete this;
}

LRESULT CFOPopupColorPaletteWnd::OnActivate(WPARAM wParam, LPARAM)
{
    // Losing activation (a click outside, another window brought up) chooses the colour shown.
    if (LOWORD(wParam) == WA_INACTIVE && !m_finished && m_control && IsWindowVisible())
        m_control->ChooseCurrent();
    return Default();
}
