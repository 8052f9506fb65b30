#include "controls/DropdownColorButton.h"

#include "controls/ColorPaletteWnd.h"
#include "controls/ControlMessages.h"
#include "platform/BitmapHelpers.h"
#include "platform/CommonDialogs.h"
#include "platform/Dc.h"
#include "platform/MemDC2.h"

namespace {

// The palette style: a visible popup placed under its anchor.
constexpr DWORD kPaletteStyle = WS_POPUP | WS_VISIBLE | CFOPopupColorPaletteWnd::kDropBelow;  // 0x90000001
// The colour dialog of "$Custom": opened in full, any colour.
constexpr DWORD kCustomDialogFlags = CC_FULLOPEN | CC_ANYCOLOR;  // 0x102
// The key colour of the overlay picture (COLORREF 0x0000FF).
constexpr COLORREF kOverlayKey = 0x0000FF;

} // namespace

BEGIN_MSG_MAP(CDropdownColorButton, CDropdownListItem)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_MESSAGE(WM_COLORPALETTE_SELECT, OnPaletteSelect)
    ON_MESSAGE(WM_COLORPALETTE_CANCEL, OnPaletteCancel)
    ON_MESSAGE(WM_COLORPALETTE_CUSTOM, OnPaletteCustom)
    ON_WM_DESTROY()
END_MSG_MAP()

CDropdownColorButton::CDropdownColorButton()
{
    kind = ItemKind::DropdownColorButton;
}

CDropdownColorButton::~CDropdownColorButton()
{
    ClosePalette();
}

void CDropdownColorButton::SetColor(COLORREF colour)
{
    if (colour == m_color)
        return;
    m_color = colour;
    if (m_hWnd)
        Invalidate(FALSE);
}

HWND CDropdownColorButton::OwnerWindow() const
{
    return m_owner ? m_owner : GetParent();
}

void CDropdownColorButton::SetPaletteSize(int width, int height)
{
    m_paletteWidth = width;
    m_paletteHeight = height;
}

void CDropdownColorButton::SetHasArrow(bool hasArrow)
{
    m_hasArrow = hasArrow;
    if (m_hWnd)
        Invalidate(FALSE);
}

void CDropdownColorButton::SetFrameColors(COLORREF normal, COLORREF hot)
{
    m_frameColor = normal;
    m_frameColorHot = hot;
}

void CDropdownColorButton::SetOverlay(HBITMAP overlay)
{
    m_overlay.DeleteObject();
    if (overlay)
        m_overlay.CopyFrom(overlay);
}

void CDropdownColorButton::SetShapeMask(HBITMAP mask)
{
    if (!mask || !m_hWnd)
        return;
    CRgnHandle region = CreateRegionFromBitmap(mask);
    if (region)
        SetWindowRgn(region);
}

CFOPopupColorPaletteWnd* CDropdownColorButton::Palette() const
{
    // The palette deletes itself with its window (its owner may take it along): it is open only
    // while its window still carries it.
    if (!m_palette || !::IsWindow(m_paletteWindow) || CWnd::FromHandlePermanent(m_paletteWindow) != m_palette)
        return nullptr;
    return m_palette;
}

void CDropdownColorButton::ClosePalette()
{
    if (CFOPopupColorPaletteWnd* palette = Palette())
        palette->Dismiss();
    m_palette = nullptr;
    m_paletteWindow = nullptr;
}

void CDropdownColorButton::OnDestroy()
{
    ClosePalette();
    m_paletteOpen = 0;
    Default();
}

// ---- Palette ------------------------------------------------------------------------------------

void CDropdownColorButton::OnLButtonDown(UINT, CPoint)
{
    if (!m_enabled)
        return;
    m_dropped = 1;
    ClosePalette();
    m_paletteOpen = 0;
    m_colorBeforeDrop = m_color;
    m_palette = CFOPopupColorPaletteWnd::Open(kPaletteStyle, GetWindowRect(), m_hWnd, m_color, m_paletteWidth,
                                              m_paletteHeight);
    m_paletteWindow = m_palette ? m_palette->GetSafeHwnd() : nullptr;
    m_paletteOpen = m_palette ? 1 : 0;
}

LRESULT CDropdownColorButton::OnLButtonDblClk(WPARAM, LPARAM)
{
    return Default();
}

void CDropdownColorButton::Select(COLORREF colour, LPARAM flag)
{
    HWND self = m_hWnd;
    if (flag == 100) {
        if (m_paletteOpen)
            SetColor(colour);
        ::PostMessageW(OwnerWindow(), WM_COLORPALETTE_SELECT, 100, static_cast<LPARAM>(colour));
        if (colour != GetColor())
            ::SendMessageW(OwnerWindow(), WM_COLORBUTTON_CHANGED, colour, static_cast<LPARAM>(id));
        return;
    }
    m_dropped = 0;
    if (m_paletteOpen) {
        ClosePalette();
        m_paletteOpen = 0;
    }
    ::PostMessageW(OwnerWindow(), WM_COLORPALETTE_SELECT, static_cast<WPARAM>(flag), static_cast<LPARAM>(colour));
    m_lastChosen = colour;
    if (colour != GetColor()) {
        ::SendMessageW(OwnerWindow(), WM_COLORBUTTON_CHANGED, colour, static_cast<LPARAM>(id));
        // The owner may have closed the page, and this button with it.
        if (!::IsWindow(self) || CWnd::FromHandlePermanent(self) != this)
            return;
        SetColor(colour);
    }
    Invalidate(FALSE);
}

void CDropdownColorButton::Cancel(COLORREF colour)
{
    m_dropped = 0;
    if (m_paletteOpen) {
        SetColor(colour);
        ClosePalette();
        m_paletteOpen = 0;
    }
    HWND self = m_hWnd;
    ::SendMessageW(OwnerWindow(), WM_COLORPALETTE_CANCEL, colour, static_cast<LPARAM>(id));
    if (::IsWindow(self) && CWnd::FromHandlePermanent(self) == this)
        Invalidate(FALSE);
}

LRESULT CDropdownColorButton::OnPaletteSelect(WPARAM wParam, LPARAM lParam)
{
    Select(static_cast<COLORREF>(wParam), lParam);
    return 0;
}

LRESULT CDropdownColorButton::OnPaletteCancel(WPARAM wParam, LPARAM)
{
    Cancel(static_cast<COLORREF>(wParam));
    return 0;
}

LRESULT CDropdownColorButton::OnPaletteCustom(WPARAM, LPARAM)
{
    HWND self = m_hWnd;
    CColorDialog dialog(m_color, kCustomDialogFlags, m_hWnd);
    const INT_PTR answer = dialog.DoModal();
    if (!::IsWindow(self) || CWnd::FromHandlePermanent(self) != this)
        return 0;
    if (answer == IDOK) {
        Select(dialog.GetColor(), 0);  // a choice: the owner gets the flag 0, never the colour for it
        return 0;
    }
    SetColor(m_colorBeforeDrop);
    Cancel(m_colorBeforeDrop);
    return 0;
}

// ---- Hot frame ----------------------------------------------------------------------------------

void CDropdownColorButton::OnMouseMove(UINT, CPoint)
{
    if (m_hot)
        return;
    m_hot = true;
    TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&tme);
    Invalidate(FALSE);
}

LRESULT CDropdownColorButton::OnMouseLeave(WPARAM, LPARAM)
{
    m_hot = false;
    Invalidate(FALSE);
    return 0;
}

// ---- Drawing ------------------------------------------------------------------------------------

BOOL CDropdownColorButton::OnEraseBkgnd(HDC)
{
    return TRUE;
}

void CDropdownColorButton::OnPaint()
{
    CPaintDC paint(m_hWnd);
    const CRect client = GetClientRect();
    CMemDC2 dc(paint, &client);
    dc.FillSolidRect(client, RGB(0, 0, 0));

    CRect swatch = client;
    if (m_hasArrow)
        swatch.right -= kArrowWidth;
    dc.FillSolidRect(swatch, m_color);
    if (m_overlay) {
        CMemoryDC source(paint);
        source.SelectObject(static_cast<HBITMAP>(m_overlay));
        const CSize size = m_overlay.GetSize();
        dc.TransparentBlt(CRect(0, 0, size.cx, size.cy), source, CRect(0, 0, size.cx, size.cy), kOverlayKey);
    }

    const COLORREF frame = m_hot ? m_frameColorHot : m_frameColor;
    const int w = m_frameWidth;
    dc.FillSolidRect(CRect(client.left, client.top, client.left + w, client.bottom), frame);
    dc.FillSolidRect(CRect(client.left, client.top, client.right, client.top + w), frame);
    dc.FillSolidRect(CRect(client.right - w, client.top, client.right, client.bottom), frame);
    if (!m_openBottom)
        dc.FillSolidRect(CRect(client.left, client.bottom - w, client.right, client.bottom), frame);
    if (m_hasArrow) {
        const int left = client.right - kArrowWidth;
        dc.FillSolidRect(CRect(left, client.top, left + 1, client.bottom), frame);
        // Five lines of 9, 7, 5, 3 and 1 pixels, centred in the square.
        const int centreX = left + kArrowWidth / 2;
        const int top = client.top + client.Height() / 2 - 2;
        for (int i = 0; i < 5; ++i) {
            const int half = 4 - i;
            dc.FillSolidRect(CRect(centreX - half, top + i, centreX + half + 1, top + i + 1), m_arrowColor);
        }
    }
}
