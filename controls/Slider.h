// The thumbs of the skinned sliders: a draggable bitmap window (CSliderBase) that moves over its
// track (CSliderTrack), in a horizontal (CPHSlider) and a vertical (CVertSlider) form.
//
// A slider has a value range min..max and a position range posMin..posMax (0-based positions);
// position p shows the value min + p. The thumb reports to its track only: its pixel while it moves
// (WM_SLIDERTRACK_SETHPOS or _SETVPOS, sent), WM_SLIDER_POSCHANGING (posted) on every position it
// is dragged to, and WM_SLIDER_POSCHANGED (posted) once when it is released or jumps; the track
// passes the last two on to the page. SetPos, called by the pages, reports no value.
//
// Coordinates are the track's client coordinates. The creation rectangle is the path of the thumb's
// centre: horizontally from its left to its right edge at its top, vertically from its bottom
// (position 0) to its top. User-interface thread only.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "platform/GdiObject.h"
#include "platform/Geometry.h"
#include "platform/Wnd.h"
#include "skin/GUIItem.h"

class CSliderTrack;

class CSliderBase : public CWnd, public CGUIItem
{
public:
    ~CSliderBase() override;

    // Creates the thumb window, a child of track with the item id as control id, the size of
    // normalThumb at the rectangle's origin. The three pictures are copied (hotThumb and thumbMask
    // may be null). thumbMask shapes the window; colorKey cuts out every pixel of the colour of the
    // normal picture's top-left pixel instead.
    bool Create(HBITMAP normalThumb, HWND track, HBITMAP hotThumb, HBITMAP thumbMask, bool colorKey, const RECT& rect);

    // The value tooltip: toolTipText (a language key, stored translated when not empty), tipMode
    // (0 left of the thumb, 1 right, 2 above, 3 below) and the text before the value (kept when
    // null). Makes the track create its tooltip.
    void SetLabel(const wchar_t* toolTipText, int tipMode, const wchar_t* labelPrefix);

    virtual void CalcLayout() = 0;
    // Moves the thumb while it is dragged; x, y in the thumb's client coordinates.
    virtual void TrackToPoint(UINT flags, int x, int y) = 0;
    virtual int PosFromPoint(int x, int y) const = 0;
    // Puts the thumb at position (clamped into the position range); move also moves its window.
    virtual void SetPos(int position, bool move) = 0;

    // The value the label shows: the value, times the multiplier where the form uses one.
    virtual int ShownValue() const = 0;

    // A click on the track at (x, y): the thumb jumps there and reports the value.
    void JumpToPoint(int x, int y);

    // Value and position ranges; the position range recomputes the layout.
    void SetRange(int min, int max);
    void SetPosRange(int posMin, int posMax);
    void SetMultiplier(int multiplier) { m_multiplier = multiplier; }
    // Takes mouse input or not (the window is enabled or disabled with it).
    void SetEnabled(bool enabled);

    int Position() const { return m_position; }
    int Value() const { return m_min + m_position; }
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int PosMin() const { return m_posMin; }
    int PosMax() const { return m_posMax; }
    int Multiplier() const { return m_multiplier; }
    bool IsDragging() const { return m_dragging; }
    bool IsHot() const { return m_hot; }
    bool IsEnabled() const { return m_enabled; }
    const std::wstring& Label() const { return m_label; }
    const std::wstring& ToolTipText() const { return m_toolTipText; }
    CPoint LabelOffset() const { return CPoint(m_labelOffsetX, m_labelOffsetY); }
    CSize ThumbSize() const { return CSize(m_thumbWidth, m_thumbHeight); }
    const CRect& CreateRect() const { return m_createRect; }
    // The thumb's pixel coordinate at a position (x horizontally, the top vertically).
    int PixelOfPosition(int position) const;
    int MinPixel() const { return m_minPixel; }
    int MaxPixel() const { return m_maxPixel; }
    HWND Track() const { return m_track; }

protected:
    CSliderBase() = default;

    // The track's object, when the parent is one.
    CSliderTrack* TrackObject() const;
    // Where the thumb window's top-left corner goes at a position.
    virtual CPoint ThumbOrigin(int position) const = 0;
    // Label = prefix and the shown value.
    void UpdateLabel();
    // Rebuilds the map of positions to pixels from base + i x pixelsPerStep, capped at limit.
    template <class Cap>
    void FillPixelMap(int base, Cap cap);
    void MoveThumb(int x, int y);
    void NotifyTrack(UINT message) const;

    // Fields of both forms.
    int m_steps = 1;
    double m_pixelsPerStep = 0;
    int m_minPixel = 0;
    int m_maxPixel = 0;
    int m_halfWidth = 0;
    int m_halfHeight = 0;
    int m_position = -1;
    CPoint m_downPoint;
    int m_min = 0;
    int m_max = 1;
    int m_posMin = 0;
    int m_posMax = 1;
    std::map<int, int> m_pixelOfPosition;
    HWND m_track = nullptr;  // the parent, borrowed
    std::wstring m_labelPrefix;
    std::wstring m_label;
    std::wstring m_toolTipText;
    int m_multiplier = 1;
    CBitmap m_normalThumb;
    CBitmap m_hotThumb;
    CBitmap m_thumbMask;
    int m_thumbWidth = 0;
    int m_thumbHeight = 0;
    bool m_dragging = false;
    bool m_enabled = false;
    bool m_hot = false;
    bool m_leaveTracked = false;
    CRect m_layoutRect;
    CRect m_createRect;
    int m_labelOffsetX = 0;
    int m_labelOffsetY = 0;

private:
    void ApplyColorKeyRegion();

    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);

    HV_DECLARE_MSG_MAP()
};

// The horizontal thumb. Its label shows the value times the multiplier.
class CPHSlider : public CSliderBase
{
public:
    CPHSlider();

    void CalcLayout() override;
    void TrackToPoint(UINT flags, int x, int y) override;
    int PosFromPoint(int x, int y) const override;
    void SetPos(int position, bool move) override;
    int ShownValue() const override;

    // The cap range is kept for the pages; the thumb's own movement does not consult it.
    void SetCapRange(int capMin, int capMax);
    int CapMin() const { return m_capMin; }
    int CapMax() const { return m_capMax; }

protected:
    CPoint ThumbOrigin(int position) const override;

private:
    int m_capMin = 1;
    int m_capMax = 32;
};

// The vertical thumb: values 1 to 32 on positions 0 (bottom) to 31 (top) until set otherwise.
class CVertSlider : public CSliderBase
{
public:
    CVertSlider();

    void CalcLayout() override;
    void TrackToPoint(UINT flags, int x, int y) override;
    int PosFromPoint(int x, int y) const override;
    void SetPos(int position, bool move) override;
    int ShownValue() const override;

protected:
    CPoint ThumbOrigin(int position) const override;
};
