// The colour button (COMBOCOLOR): a drop-down item that shows a colour swatch, with an optional
// drop arrow, and drops a colour palette under itself when pressed. It tells its owner window (the
// parent unless another is set) what happens in the palette:
//   WM_COLORPALETTE_SELECT  (posted)  wParam 100, lParam the colour: a preview from the keys;
//                                     wParam 0, lParam the colour: the choice
//   WM_COLORPALETTE_CANCEL  (sent)    wParam the colour restored, lParam the item id
//   WM_COLORBUTTON_CHANGED  (sent)    wParam the colour, lParam the item id: the colour chosen or
//                                     previewed differs from the button's
// The palette's "$Custom" button runs the colour dialog (through the common-dialog seam): a colour
// chosen there is a choice; a cancelled dialog restores the colour the button had before the palette
// dropped and reports a cancel. User-interface thread only.
#pragma once

#include <windows.h>

#include "controls/DropdownListItem.h"
#include "platform/GdiObject.h"
#include "platform/Geometry.h"

class CFOPopupColorPaletteWnd;

class CDropdownColorButton : public CDropdownListItem
{
public:
    // The arrow square at the right.
    static constexpr int kArrowWidth = 18;

    CDropdownColorButton();
    ~CDropdownColorButton() override;

    virtual COLORREF GetColor() const { return m_color; }
    // Stores the colour and repaints when it differs.
    virtual void SetColor(COLORREF colour);

    // Where the button's messages go; null: its parent.
    void SetOwnerWindow(HWND owner) { m_owner = owner; }
    HWND OwnerWindow() const;
    void SetPaletteSize(int width, int height);
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    void SetHasArrow(bool hasArrow);
    bool HasArrow() const { return m_hasArrow; }
    void SetFrameColors(COLORREF normal, COLORREF hot);
    void SetFrameWidth(int width) { m_frameWidth = width; }
    void SetArrowColor(COLORREF colour) { m_arrowColor = colour; }
    void SetOpenBottom(bool open) { m_openBottom = open; }
    // A picture drawn over the swatch, its pure red (0x0000FF) left out (copied).
    void SetOverlay(HBITMAP overlay);
    // The mask whose opaque pixels become the button's shape (copied).
    void SetShapeMask(HBITMAP mask);

    bool IsDropped() const { return m_dropped != 0; }
    bool IsPaletteOpen() const { return m_paletteOpen != 0; }
    // The open palette, or null.
    CFOPopupColorPaletteWnd* Palette() const;
    COLORREF LastChosen() const { return m_lastChosen; }
    bool IsHot() const { return m_hot; }

private:
    void ClosePalette();
    void Select(COLORREF colour, LPARAM flag);
    void Cancel(COLORREF colour);

    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    void OnLButtonDown(UINT flags, CPoint point);
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaletteSelect(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaletteCancel(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaletteCustom(WPARAM wParam, LPARAM lParam);
    void OnDestroy();

    int m_dropped = 0;
    COLORREF m_color = RGB(0, 0, 0);
    int m_paletteWidth = 200;
    int m_paletteHeight = 150;
    int m_paletteOpen = 0;
    HWND m_owner = nullptr;
    CFOPopupColorPaletteWnd* m_palette = nullptr;  // deletes itself; checked against its window
    HWND m_paletteWindow = nullptr;
    bool m_enabled = true;
    bool m_hasArrow = true;
    COLORREF m_lastChosen = RGB(0, 0, 0);
    COLORREF m_frameColor = RGB(128, 128, 128);
    COLORREF m_frameColorHot = RGB(255, 255, 255);
    int m_frameWidth = 1;
    COLORREF m_arrowColor = RGB(255, 255, 255);
    CBitmap m_overlay;
    bool m_openBottom = false;
    // The colour before the palette dropped: what a cancelled custom colour restores.
    COLORREF m_colorBeforeDrop = RGB(0, 0, 0);
    bool m_hot = false;

    HV_DECLARE_MSG_MAP()
};
