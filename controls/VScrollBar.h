// A bitmap-skinned vertical scroll bar bound to a list window. The bar keeps no position of its
// own: it reads the list's scroll information to place its thumb and drives the list by posting
// WM_VSCROLL to it.
#pragma once

#include <windows.h>

#include "platform/Dc.h"
#include "platform/GdiObject.h"
#include "platform/Geometry.h"
#include "platform/ListCtrl.h"
#include "platform/Wnd.h"

class CListCtrl;

// The skin of a scroll bar as a layout gives it (VSCROLL): six bitmaps of the skin cache, borrowed,
// and the border width.
struct VScrollSkin
{
    enum Part { Top, Bottom, ArrowUp, ArrowDown, Spine, Thumb, kBitmapCount };

    HBITMAP bitmaps[kBitmapCount] = {};
    int borderWidth = 0;

    // The border width plus the widest of the bitmaps.
    int Width() const;
};

class CVScrollBar : public CWnd
{
public:
    // barWidth: the width the owner gives the bar; list: the window the bar scrolls (borrowed).
    CVScrollBar(int barWidth, HWND list);
    ~CVScrollBar() override;

    // Takes the skin. Its bitmaps are drawn from, not copied: they must outlive the bar, as the skin
    // cache's pictures do (it keeps them until the program ends).
    void SetSkin(const VScrollSkin& skin);
    // Creates the bar at rect and lays out its parts. False when the bar is too short for them (the
    // window is destroyed again).
    virtual bool Create(const RECT& rect, HWND parent, UINT id);

    // Places the thumb from the list's scroll position and repaints.
    void SyncWithList();

    void SetBackColor(COLORREF colour) { m_backColor = colour; }
    void SetBorderColor(COLORREF colour) { m_borderColor = colour; }

    int BarWidth() const { return m_barWidth; }
    HWND List() const { return m_list; }
    int ThumbTop() const { return m_thumbTop; }
    double TrackLength() const { return m_trackLength; }
    int TrackTop() const;
    CRect ArrowUpRect() const { return m_upRect; }
    CRect ArrowDownRect() const { return m_downRect; }
    CRect ThumbRect() const;
    int BorderInsetTopLeft() const { return m_borderHalfDown; }
    int BorderInsetBottomRight() const { return m_borderHalfUp; }

private:
    enum TimerId : UINT_PTR { kTimerEndScroll = 0, kTimerJumpToEnd = 1 };

    bool ComputeGeometry();
    bool ListScrollInfo(SCROLLINFO& info) const;
    // The list's last scroll position, nMax - nPage + 1: the top row that shows the last row.
    // Below 1 the list cannot scroll.
    static int LastPosition(const SCROLLINFO& info);
    void PostScroll(WORD code, WORD position = 0);
    void StartEndScrollTimer();
    void HandCaptureToList();
    int PartHeight(VScrollSkin::Part part) const { return m_sizes[part].cy; }
    int PartWidth(VScrollSkin::Part part) const { return m_sizes[part].cx; }

    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    void OnTimer(UINT_PTR id);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);

    double m_trackLength = 0;
    int m_halfThumb = 0;
    CRect m_upRect;
    CRect m_downRect;
    int m_thumbTop = -1;
    bool m_pressedUp = false;
    bool m_pressedDown = false;
    bool m_dragging = false;
    VScrollSkin m_skin;  // its bitmaps borrowed
    CSize m_sizes[VScrollSkin::kBitmapCount];
    HWND m_list;
    COLORREF m_backColor = 0;
    COLORREF m_borderColor = 0xFFFFFF;
    int m_borderWidth = 0;
    int m_borderHalfDown = 0;  // floor(width / 2)
    int m_borderHalfUp = 0;    // ceil(width / 2)
    int m_barWidth;
    int m_lastPosition = -1;

    HV_DECLARE_MSG_MAP()
};

// floor(n / 2) and ceil(n / 2) of a border width: how far a pen of that width is inset from the
// top-left and the bottom-right edges to stay inside.
void BorderHalves(int width, int& down, int& up);
// A border of width pixels inside every edge of rect (the frame's and the bar's border).
void DrawBorder(CDC& dc, const RECT& rect, int width, COLORREF colour);

// A press outside a list and its bar while the list holds the mouse (a capture the bar handed it):
// the list lets the mouse go and the press goes on to the window of this thread under the pointer,
// so that it is not lost, unless that window is except or one of its children (a popup's opener,
// whose press would open the popup again). point is in the list's client coordinates.
void PassPressOn(HWND list, UINT message, UINT flags, POINT point, HWND except = nullptr);

// The part of a list's WM_VSCROLL that the skinned bar decides: a thumb position (SB_THUMBTRACK,
// SB_THUMBPOSITION) scrolls the list to the message's position by whole rows of rowHeight pixels,
// since the list-view would read its own hidden bar's; a line down at the end does nothing. True
// when the message is done; false leaves it to the list-view's default processing.
bool ScrollListByBar(CListCtrl& list, WPARAM wParam, int rowHeight);
