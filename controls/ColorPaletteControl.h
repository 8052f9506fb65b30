// The colour palette drawn inside a palette window: a grid of 48 fixed colours (8 columns, 6 rows)
// and a "$Custom" button below it. The control keeps the colour shown as selected (current), lays
// the cells out in a rectangle, draws them, and turns the mouse and the keys it is given into the
// palette's messages, which it hands to its window through PaletteNotify:
//   WM_COLORPALETTE_SELECT (colour, 100)  a key moved to a colour (preview)
//   WM_COLORPALETTE_SELECT (colour, 0)    a colour was chosen
//   WM_COLORPALETTE_CANCEL (colour, 0)    Escape, with the colour to restore
//   WM_COLORPALETTE_CUSTOM (colour, 0)    the custom button was pressed
// User-interface thread only.
#pragma once

#include <windows.h>

#include <string>

#include "platform/GdiObject.h"
#include "platform/Geometry.h"

class CDC;

// One cell of the palette.
class CFOColorCellObj
{
public:
    enum class Shape { Rectangle, Hexagon };

    CFOColorCellObj() = default;
    virtual ~CFOColorCellObj() = default;

    virtual void Draw(CDC& dc) const;
    virtual bool HitTest(POINT point) const;
    // A frame of width pixels in colour around the cell, outside its area by outset pixels.
    virtual void DrawFrame(CDC& dc, COLORREF colour, int width, int outset) const;

    CRect rect;
    COLORREF colour = RGB(255, 255, 255);
    Shape shape = Shape::Rectangle;
    bool selected = false;
    bool hot = false;

private:
    // The six points of the hexagon around the cell's centre.
    void HexagonPoints(POINT points[6]) const;
};

// Where the control's messages go: its window, which passes them on to the palette's host.
class IPaletteNotify
{
public:
    virtual void PaletteNotify(UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~IPaletteNotify() = default;
};

class CFODropColorPaletteControl
{
public:
    static constexpr int kColumns = 8;
    static constexpr int kRows = 6;
    static constexpr int kCellCount = kColumns * kRows;
    // Height of the custom button at the bottom of the drawing rectangle.
    static constexpr int kCustomHeight = 25;
    // Width of the swatch of a colour that no cell holds, at the custom button's right.
    static constexpr int kSwatchWidth = 25;

    // window: the palette window (borrowed), repainted as the control changes; host: the window the
    // palette serves (borrowed), after which Shift+Tab moves the focus back into its dialog; notify:
    // where the messages go (borrowed). colour: the colour shown as selected first.
    CFODropColorPaletteControl(HWND window, HWND host, IPaletteNotify* notify, COLORREF colour);

    // Lays the cells and the custom button out in rect (the window's client area).
    void SetRect(const RECT& rect);
    void Draw(CDC& dc) const;

    // ---- Input, in the window's client coordinates ----
    // A press (the window has captured the mouse): acts as a move.
    void ButtonDown(POINT point);
    // A move while the mouse is captured: the cell under it becomes the current colour, or the
    // custom button lights up. Nothing is reported.
    void TrackTo(POINT point);
    // The release: a cell chooses its colour; the custom button reports itself.
    void ButtonUp(POINT point);
    // The palette keys; false for a key the palette does not use.
    bool KeyDown(UINT vk, bool shift);
    // The current colour as the choice (the palette lost the user's attention).
    void ChooseCurrent();
    void ReadSystemColors();

    COLORREF Current() const { return m_current; }
    void SetCurrent(COLORREF colour);
    // The cell showing colour, or -1.
    int CellOf(COLORREF colour) const;
    // The cell under point, or -1.
    int CellAt(POINT point) const;
    const CFOColorCellObj& Cell(int index) const { return m_cells[index]; }
    const CRect& CustomRect() const { return m_customRect; }
    bool IsCustomHot() const { return m_customHot; }
    const std::wstring& CustomText() const { return m_customText; }
    void SetPopupMode(bool popup) { m_popupMode = popup; }
    bool IsPopupMode() const { return m_popupMode; }

    // The fixed colour of row r, column c.
    static COLORREF PaletteColor(int row, int column);

private:
    void RepaintCell(int index) const;
    void RepaintCustom() const;
    // Makes cell the current one and previews it.
    void MoveTo(int cell);
    void SetCustomHot(bool hot);

    HWND m_window;
    HWND m_host;
    IPaletteNotify* m_notify;
    CFOColorCellObj m_cells[kCellCount];
    COLORREF m_defaultColor;
    CRect m_drawRect;
    COLORREF m_current;
    bool m_popupMode = true;
    bool m_customHot = false;
    std::wstring m_customText;
    int m_margin = 4;
    int m_spacing = 1;
    int m_frameStyle = 2;
    bool m_hasCustom = true;
    CFont m_font;
    CRect m_customRect;
    CRect m_customSwatch;

    // System colours, read at start and when they change.
    COLORREF m_buttonFace = 0;
    COLORREF m_buttonShadow = 0;
    COLORREF m_buttonDarkShadow = 0;
    COLORREF m_buttonLight = 0;
    COLORREF m_buttonHighlight = 0;
    COLORREF m_buttonText = 0;
    COLORREF m_grayText = 0;
};
