#include "controls/ColorPaletteControl.h"

#include <algorithm>

#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "platform/Dc.h"

namespace {

// The palette's colours, row by row (COLORREF 0x00BBGGRR).
constexpr COLORREF kPalette[CFODropColorPaletteControl::kRows][CFODropColorPaletteControl::kColumns] = {
    {0xFFFFFF, 0xC0C0FF, 0xC0E0FF, 0xC0FFFF, 0xC0FFC0, 0xFFFFC0, 0xFFC0C0, 0xFFC0FF},
    {0xE0E0E0, 0x8080FF, 0x80E0FF, 0x80FFFF, 0x80FF80, 0xFFFF80, 0xFF8080, 0xFF80FF},
    {0xC0C0C0, 0x0000FF, 0x00C0FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xB469FF},
    {0x808080, 0x0000C0, 0x0080FF, 0x00C0C0, 0x00C000, 0xC0C000, 0xC00000, 0xC000C0},
    {0x404040, 0x000080, 0x004080, 0x008080, 0x008000, 0x808000, 0x800000, 0x800080},
    {0x000000, 0x000040, 0x404080, 0x004040, 0x004000, 0x404000, 0x400000, 0x400040},
};

// 1 / sqrt(3) in single precision: the hexagon's half width over its half height.
constexpr double kHexagonFactor = 0.5773502588272095;

void FrameWidth(CDC& dc, const CRect& r, COLORREF colour, int width)
{
    dc.FillSolidRect(CRect(r.left, r.top, r.right, r.top + width), colour);
    dc.FillSolidRect(CRect(r.left, r.bottom - width, r.right, r.bottom), colour);
    dc.FillSolidRect(CRect(r.left, r.top, r.left + width, r.bottom), colour);
    dc.FillSolidRect(CRect(r.right - width, r.top, r.right, r.bottom), colour);
}

// A white frame of two pixels inside a black one of one pixel, just outside r: the mark of the
// chosen cell and of the lit custom button.
void MarkFrame(CDC& dc, CRect r)
{
    r.InflateRect(2, 2);
    FrameWidth(dc, r, RGB(0, 0, 0), 1);
    r.DeflateRect(1, 1);
    FrameWidth(dc, r, RGB(255, 255, 255), 2);
}

} // namespace

// ---- Cell ---------------------------------------------------------------------------------------

void CFOColorCellObj::HexagonPoints(POINT points[6]) const
{
    const CPoint c = rect.CenterPoint();
    const double halfHeight = rect.Height() * 0.5;
    const double halfWidth = std::min(rect.Width() * 0.5, halfHeight / kHexagonFactor * 0.5);
    const int dx = static_cast<int>(halfWidth);
    const int dxHalf = static_cast<int>(halfWidth * 0.5);
    const int dy = static_cast<int>(halfHeight);
    points[0] = {c.x - dx, c.y};
    points[1] = {c.x - dxHalf, c.y - dy};
    points[2] = {c.x + dxHalf, c.y - dy};
    points[3] = {c.x + dx, c.y};
    points[4] = {c.x + dxHalf, c.y + dy};
    points[5] = {c.x - dxHalf, c.y + dy};
}

void CFOColorCellObj::Draw(CDC& dc) const
{
    if (shape == Shape::Rectangle) {
        dc.FillSolidRect(rect, colour);
        FrameWidth(dc, rect, ::GetSysColor(COLOR_BTNSHADOW), 1);
        return;
    }
    POINT points[6];
    HexagonPoints(points);
    CBrush brush(colour);
    CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    // The caller's selections (its bitmap among them) stay as they are.
    const int saved = dc.SaveDC();
    ::SelectObject(dc, brush);
    ::SelectObject(dc, pen);
    ::Polygon(dc, points, 6);
    dc.RestoreDC(saved);
}

bool CFOColorCellObj::HitTest(POINT point) const
{
    if (shape == Shape::Rectangle)
        return rect.PtInRect(point);
    POINT points[6];
    HexagonPoints(points);
    CRgn region;
    region.Attach(::CreatePolygonRgn(points, 6, WINDING));
    return region && region.PtInRegion(point.x, point.y);
}

void CFOColorCellObj::DrawFrame(CDC& dc, COLORREF frameColour, int width, int outset) const
{
    CRect r = rect;
    r.InflateRect(outset, outset);
    FrameWidth(dc, r, frameColour, width);
}

// ---- Control ------------------------------------------------------------------------------------

COLORREF CFODropColorPaletteControl::PaletteColor(int row, int column)
{
    return kPalette[row][column];
}

CFODropColorPaletteControl::CFODropColorPaletteControl(HWND window, HWND host, IPaletteNotify* notify,
                                                       COLORREF colour)
    : m_window(window), m_host(host), m_notify(notify), m_defaultColor(colour), m_current(colour)
{
    for (int k = 0; k < kCellCount; ++k)
        m_cells[k].colour = PaletteColor(k / kColumns, k % kColumns);
    m_customText = CaptionText(L"$Custom", 0);
    LOGFONTW lf = {};
    HGDIOBJ stock = ::GetStockObject(DEFAULT_GUI_FONT);
    if (!stock || !::GetObjectW(stock, sizeof(lf), &lf))
        ::GetObjectW(::GetStockObject(ANSI_VAR_FONT), sizeof(lf), &lf);
    m_font.CreateFontIndirect(lf);
    ReadSystemColors();
    SetCurrent(colour);
}

void CFODropColorPaletteControl::ReadSystemColors()
{
    m_buttonFace = ::GetSysColor(COLOR_BTNFACE);
    m_buttonShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_buttonDarkShadow = ::GetSysColor(COLOR_3DDKSHADOW);
    m_buttonLight = ::GetSysColor(COLOR_3DLIGHT);
    m_buttonHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_buttonText = ::GetSysColor(COLOR_BTNTEXT);
    m_grayText = ::GetSysColor(COLOR_GRAYTEXT);
}

void CFODropColorPaletteControl::SetRect(const RECT& rect)
{
    m_drawRect = rect;
    m_drawRect.DeflateRect(m_margin, m_margin);
    CRect grid = m_drawRect;
    if (m_hasCustom) {
        m_customRect = CRect(m_drawRect.left, m_drawRect.bottom - kCustomHeight, m_drawRect.right, m_drawRect.bottom);
        grid.bottom = m_customRect.top;
        m_customSwatch = CRect(m_customRect.right - kSwatchWidth, m_customRect.top, m_customRect.right,
                               m_customRect.bottom);
        m_customSwatch.DeflateRect(3, 3);
    } else {
        m_customRect.SetRectEmpty();
        m_customSwatch.SetRectEmpty();
    }
    const double width = grid.Width();
    const double height = grid.Height();
    for (int k = 0; k < kCellCount; ++k) {
        const int column = k % kColumns;
        const int row = k / kColumns;
        const int left = grid.left + static_cast<int>(width * column / kColumns);
        const int right = grid.left + static_cast<int>(width * (column + 1) / kColumns);
        const int top = grid.top + static_cast<int>(height * row / kRows);
        const int bottom = grid.top + static_cast<int>(height * (row + 1) / kRows);
        m_cells[k].rect = CRect(left, top, right - m_spacing, bottom - m_spacing);
    }
}

void CFODropColorPaletteControl::SetCurrent(COLORREF colour)
{
    m_current = colour;
    for (CFOColorCellObj& cell : m_cells)
        cell.selected = cell.colour == colour;
}

int CFODropColorPaletteControl::CellOf(COLORREF colour) const
{
    for (int k = 0; k < kCellCount; ++k) {
        if (m_cells[k].colour == colour)
            return k;
    }
    return -1;
}

int CFODropColorPaletteControl::CellAt(POINT point) const
{
    for (int k = 0; k < kCellCount; ++k) {
        if (m_cells[k].HitTest(point))
            return k;
    }
    return -1;
}

void CFODropColorPaletteControl::RepaintCell(int index) const
{
    if (index < 0 || !m_window)
        return;
    CRect r = m_cells[index].rect;
    r.InflateRect(2, 2);
    ::InvalidateRect(m_window, &r, FALSE);
}

void CFODropColorPaletteControl::RepaintCustom() const
{
    if (!m_window)
        return;
    CRect r = m_customRect;
    r.InflateRect(2, 2);
    ::InvalidateRect(m_window, &r, FALSE);
}

void CFODropColorPaletteControl::SetCustomHot(bool hot)
{
    if (m_customHot == hot)
        return;
    m_customHot = hot;
    RepaintCustom();
}

// ---- Input --------------------------------------------------------------------------------------

void CFODropColorPaletteControl::ButtonDown(POINT point)
{
    TrackTo(point);
}

void CFODropColorPaletteControl::TrackTo(POINT point)
{
    const int cell = CellAt(point);
    if (cell >= 0) {
        SetCustomHot(false);
        const int before = CellOf(m_current);
        if (before != cell) {
            SetCurrent(m_cells[cell].colour);
            RepaintCell(before);
            RepaintCell(cell);
            RepaintCustom();  // the swatch of a colour no cell held goes
        }
        return;
    }
    SetCustomHot(m_hasCustom && m_customRect.PtInRect(point));
}

void CFODropColorPaletteControl::ButtonUp(POINT point)
{
    const int cell = CellAt(point);
    if (cell >= 0) {
        SetCurrent(m_cells[cell].colour);
        m_notify->PaletteNotify(WM_COLORPALETTE_SELECT, m_current, 0);
        return;
    }
    if (m_hasCustom && m_customRect.PtInRect(point)) {
        SetCustomHot(false);
        m_notify->PaletteNotify(WM_COLORPALETTE_CUSTOM, m_current, 0);
    }
}

void CFODropColorPaletteControl::ChooseCurrent()
{
    m_notify->PaletteNotify(WM_COLORPALETTE_SELECT, m_current, 0);
}

void CFODropColorPaletteControl::MoveTo(int cell)
{
    const int before = CellOf(m_current);
    SetCurrent(m_cells[cell].colour);
    RepaintCell(before);
    RepaintCell(cell);
    RepaintCustom();
    m_notify->PaletteNotify(WM_COLORPALETTE_SELECT, m_current, 100);
}

bool CFODropColorPaletteControl::KeyDown(UINT vk, bool shift)
{
    const int from = CellOf(m_current) >= 0 ? CellOf(m_current) : 0;
    const int row = from / kColumns;
    const int column = from % kColumns;
    switch (vk) {
    case VK_ESCAPE:
        m_notify->PaletteNotify(WM_COLORPALETTE_CANCEL, m_current, 0);
        return true;
    case VK_RETURN:
        m_notify->PaletteNotify(WM_COLORPALETTE_SELECT, m_current, 0);
        return true;
    case VK_TAB:
        if (shift) {
            // Back to the item before the host in the host's dialog.
            HWND dialog = m_host ? ::GetAncestor(m_host, GA_ROOT) : nullptr;
            HWND focus = dialog ? ::GetNextDlgTabItem(dialog, m_host, TRUE) : nullptr;
            if (focus)
                ::SetFocus(focus);
        } else if (m_hasCustom) {
            m_notify->PaletteNotify(WM_COLORPALETTE_CUSTOM, m_current, 0);
        }
        return true;
    case VK_LEFT:
        MoveTo((from + kCellCount - 1) % kCellCount);
        return true;
    case VK_RIGHT:
        MoveTo((from + 1) % kCellCount);
        return true;
    case VK_UP:
        MoveTo(((row + kRows - 1) % kRows) * kColumns + column);
        return true;
    case VK_DOWN:
        MoveTo(((row + 1) % kRows) * kColumns + column);
        return true;
    default:
        return false;
    }
}

// ---- Drawing ------------------------------------------------------------------------------------

void CFODropColorPaletteControl::Draw(CDC& dc) const
{
    CRect client;
    ::GetClientRect(m_window, &client);
    dc.FillSolidRect(client, RGB(0, 0, 0));
    if (m_frameStyle == 2) {
        // A raised 3D rectangle in the system colours.
        CRect r = client;
        dc.FillSolidRect(CRect(r.left, r.top, r.right - 1, r.top + 1), m_buttonHighlight);
        dc.FillSolidRect(CRect(r.left, r.top, r.left + 1, r.bottom - 1), m_buttonHighlight);
        dc.FillSolidRect(CRect(r.left, r.bottom - 1, r.right, r.bottom), m_buttonDarkShadow);
        dc.FillSolidRect(CRect(r.right - 1, r.top, r.right, r.bottom), m_buttonDarkShadow);
        r.DeflateRect(1, 1);
        dc.FillSolidRect(CRect(r.left, r.bottom - 1, r.right, r.bottom), m_buttonShadow);
        dc.FillSolidRect(CRect(r.right - 1, r.top, r.right, r.bottom), m_buttonShadow);
    }
    bool anySelected = false;
    for (const CFOColorCellObj& cell : m_cells) {
        cell.Draw(dc);
        anySelected = anySelected || cell.selected;
    }
    for (const CFOColorCellObj& cell : m_cells) {
        if (cell.selected)
            MarkFrame(dc, cell.rect);
    }
    if (!m_hasCustom)
        return;
    dc.FillSolidRect(m_customRect, m_buttonFace);
    const int saved = dc.SaveDC();
    ::SelectObject(dc, m_font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(m_buttonShadow);
    CRect text = m_customRect;
    text.right = m_customSwatch.left - 2;
    dc.DrawText(m_customText, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (!anySelected) {
        dc.FillSolidRect(m_customSwatch, m_current);
        FrameWidth(dc, m_customSwatch, m_buttonDarkShadow, 1);
    }
    if (m_customHot)
        MarkFrame(dc, m_customRect);
    dc.RestoreDC(saved);
}
