// The bordered frame drawn around a list: a fill colour or a skin bitmap, and a border inset so
// that a pen of the border width stays inside the window.
#pragma once

#include <windows.h>

#include "platform/GdiObject.h"
#include "platform/Geometry.h"
#include "platform/Wnd.h"

// The frame's picture as a layout gives it: a bitmap of the skin cache, an optional mask whose
// opaque pixels shape the window, and the bitmap's rectangle in the parent (all borrowed).
struct FrameBitmapInfo
{
    HBITMAP bitmap = nullptr;
    HBITMAP mask = nullptr;
    CRect rect;
};

class CGenericPanel : public CWnd
{
public:
    explicit CGenericPanel(int borderWidth);
    ~CGenericPanel() override;

    // Without a picture: the window takes rect and the inner rectangle is its client area inset by
    // the border width. With one: a picture smaller than rect in both directions is centred in a
    // window at rect; otherwise the window takes the picture's rectangle and the inner rectangle is
    // rect in window coordinates.
    bool Create(const RECT& rect, HWND parent, const FrameBitmapInfo* picture = nullptr);

    void SetFillColor(COLORREF colour) { m_fillColor = colour; }
    void SetBorderColor(COLORREF colour) { m_borderColor = colour; }
    COLORREF FillColor() const { return m_fillColor; }
    COLORREF BorderColor() const { return m_borderColor; }
    int BorderWidth() const { return m_borderWidth; }
    int BorderInsetTopLeft() const { return m_halfDown; }
    int BorderInsetBottomRight() const { return m_halfUp; }
    // Where the framed control goes, in the panel's client coordinates.
    CRect InnerRect() const { return m_inner; }

private:
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);

    COLORREF m_fillColor = 0;
    COLORREF m_borderColor = 0xFFFFFF;
    CBitmap m_background;
    CBitmap m_maskSource;
    CPoint m_backgroundOrigin;
    int m_borderWidth;
    int m_halfDown = 0;
    int m_halfUp = 0;
    CRect m_inner;

    HV_DECLARE_MSG_MAP()
};
