// The bar marker (DMARKER): a bar whose filled part follows the mouse while the left button is held
// on it. Releasing the button reports the value there to the parent (WM_DMARKER_RELEASED, posted):
// the minimum (0) at or left of the bar's left edge, the maximum (10) at its right edge, and the
// proportional value between. The two pictures are cut from whole pictures of the parent at the
// bar's rectangle. User-interface thread only.
#pragma once

#include <windows.h>

#include "platform/Geometry.h"
#include "platform/Handles.h"
#include "platform/Wnd.h"
#include "skin/GUIItem.h"

class CDMarker : public CWnd, public CGUIItem
{
public:
    CDMarker();
    ~CDMarker() override;

    // The bar window at rect (in parent's client coordinates) with control id id.
    bool Create(const RECT& rect, int32_t id, HWND parent);
    // The parts rect of back (the empty bar) and fill (the filled bar).
    void SetBitmaps(HBITMAP back, HBITMAP fill, const RECT& rect);

    int Value() const { return m_value; }
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    bool IsDragging() const { return m_dragging; }
    const CRect& Rect() const { return m_rect; }
    // The value at a point of the bar's client area; a bar of no width gives its minimum.
    int ValueAt(CPoint client) const;
    // The width of the filled part at the current value.
    int FillWidth() const;

private:
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);

    bool m_dragging = false;
    CRect m_rect;
    CPoint m_downPoint;
    HWND m_parent = nullptr;  // borrowed
    int m_min = 0;
    int m_max = 10;
    int m_value = 0;
    bool m_enabled = true;
    CBitmapHandle m_backBitmap;
    CBitmapHandle m_fillBitmap;

    HV_DECLARE_MSG_MAP()
};
