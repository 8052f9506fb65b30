// The track a slider thumb moves on (SLIDERTRACK): a bitmap item that fills a bar up to the thumb
// and shows the thumb's value in a tracking tooltip while it is dragged or hovered. It passes the
// thumbs' value messages on to its owner (the panel that loaded the layout; the parent when it has
// none) and reports clicks on itself, where the attached thumb jumps to. The track owns its tooltip
// window, made when it first shows (a top-level window costs a page's build dozens of round trips to
// the window server). User-interface thread only.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "controls/BitmapItem.h"
#include "platform/Geometry.h"
#include "platform/Handles.h"

class CSliderBase;

// The bar filled up to the thumb, in the track's client coordinates.
struct TrackFill
{
    COLORREF color = RGB(255, 255, 255);
    CRect rect;
};

class CSliderTrack : public CBitmapItem
{
public:
    // With fill, the track draws the bar; without, only its picture.
    explicit CSliderTrack(const TrackFill* fill = nullptr);
    ~CSliderTrack() override;

    // The track window at (left, top, right, bottom) of parent, with the item id as control id.
    virtual bool Create(int left, int top, int right, int bottom, HWND parent);
    // Showing marks the whole track for repainting at the thumb's next report.
    void Show(bool show) override;

    // The thumb whose label the tooltip shows and which jumps on a click (borrowed).
    void SetSlider(CSliderBase* slider) { m_slider = slider; }
    CSliderBase* Slider() const { return m_slider; }
    // A thumb that goes away: the track forgets it wherever it keeps it.
    void DetachThumb(CSliderBase* thumb);

    // Sets up the tracking tooltip once a thumb with a window is attached; mode as the thumb's. Its
    // window is made when the tooltip first shows.
    void CreateTip(int mode);
    // Shows the tooltip with thumb's label (the attached thumb's when null) at the thumb.
    void ShowTip(CSliderBase* thumb = nullptr);
    void HideTip();
    // Adds or removes the tooltip's tool (a thumb whose tooltip is switched off).
    void SetTipEnabled(bool enabled);
    void PositionTip();

    bool HasFill() const { return m_hasFill; }
    COLORREF FillColor() const { return m_fillColor; }
    // The bar as it is drawn now.
    CRect FillRect() const;
    bool IsTipShown() const { return m_tipShown; }
    bool IsTipAdded() const { return m_tipAdded; }
    int TipMode() const { return m_tipMode; }
    // The tooltip's window; null until the tooltip first showed.
    HWND ToolTipWindow() const { return m_toolTip.Get(); }
    // The tooltip's text as last set.
    const std::wstring& TipText() const { return m_tipText; }

private:
    enum class Axis { None, Horizontal, Vertical };

    HWND OwnerWindow() const;
    // The tooltip's window, made (with the tool, when added) on the first call after CreateTip;
    // null without a tooltip.
    HWND TipWindow();
    // The thumb that sent a value message (its item id in lParam), else the attached one.
    CSliderBase* SenderOf(LPARAM itemId) const;
    void SetTipText(const std::wstring& text);
    void ReportedPixel(Axis axis, int pixel);

    LRESULT OnPosChanging(WPARAM wParam, LPARAM lParam);
    LRESULT OnPosChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetHPos(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetVPos(WPARAM wParam, LPARAM lParam);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);

    bool m_repaintPending = false;
    bool m_hasFill = false;
    COLORREF m_fillColor = RGB(255, 255, 255);
    CRect m_fillRect;
    int m_lastX = 0;
    int m_lastY = 0;
    Axis m_lastAxis = Axis::None;
    CSliderBase* m_slider = nullptr;
    CSliderBase* m_tipThumb = nullptr;  // the thumb the tooltip shows now
    CWindowHandle m_toolTip;
    TTTOOLINFOW m_toolInfo = {};
    std::wstring m_tipText;
    bool m_tipShown = false;
    int m_tipMode = 0;
    bool m_tipAdded = false;  // the tool is in the tooltip, or goes in when the window is made
    bool m_tipMade = false;   // CreateTip set the tooltip up

    HV_DECLARE_MSG_MAP()
};
