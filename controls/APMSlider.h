// The multi-range slider (HSLIDERMAPM): a slider track whose thumbs, called tickers, divide its range
// into parts, each painted in a colour of its own under a half-transparent overlay picture (the part
// of the track picture under the slider). A click on a part reports which part it was
// (WM_APMSLIDER_TICKERRELEASED, posted); a ticker that moves reports its value
// (WM_SLIDER_POSCHANGING, posted). Both go to the slider's owner (its parent when it has none) and
// again to the notify window given at creation.
//
// The layouts add no tickers: a slider built from a layout shows its overlay over its first colour
// and reports no clicks. Tickers are added with AddTicker. User-interface thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/Slider.h"
#include "controls/SliderTrack.h"
#include "platform/GdiObject.h"
#include "platform/Handles.h"

class CBitmapItem;

// One thumb of a multi-range slider: a horizontal thumb whose cap range is written to the debugger
// output.
class CAPMTicker : public CPHSlider
{
public:
    CAPMTicker() = default;
    // Each end clamped into the position range, as the horizontal thumb does.
    void SetCapRange(int capMin, int capMax);
};

class CAPMSlider : public CSliderTrack
{
public:
    CAPMSlider();
    ~CAPMSlider() override;

    using CSliderTrack::Create;
    // The slider window at rect of notifyWindow (which is its parent), with the item id as control
    // id; the overlay is the part rect of sourceItem's picture. The ticker pictures are copied for
    // the tickers added later.
    bool Create(HWND notifyWindow, CBitmapItem* sourceItem, HBITMAP tickerNormal, HBITMAP tickerHot, const RECT& rect);

    // A ticker with that item id, a child of the slider on its whole width, at the range's start;
    // its range gets a colour of its own (black until InitGreyLevels). Null when it cannot be made.
    CAPMTicker* AddTicker(int32_t tickerId);

    // Values 1 to 32 on every ticker (positions 0 to 31).
    void SetRange();
    // Spreads the tickers evenly over the range.
    void SetDefaultStages();
    // Grey levels from black up for the ranges left of each ticker.
    void InitGreyLevels();
    // Each ticker may move between its neighbours (capMode 0).
    void SetTickerCapRanges();
    // Every ticker may use the whole range (any other capMode).
    void RemoveTickerCapRanges();

    void SetCapMode(int mode) { m_capMode = mode; }
    int CapMode() const { return m_capMode; }
    // The layout's tooltip, kept as text.
    void SetToolTipText(const std::wstring& text) { m_toolTipText = text; }
    const std::wstring& ToolTipText() const { return m_toolTipText; }
    void SetDynamicText(const std::wstring& text) { m_dynamicText = text; }
    const std::wstring& DynamicText() const { return m_dynamicText; }
    void SetOverlayAlpha(BYTE alpha) { m_overlayAlpha = alpha; }
    void SetColor(size_t range, COLORREF colour);

    size_t TickerCount() const { return m_tickers.size(); }
    CAPMTicker* Ticker(size_t index) const { return index < m_tickers.size() ? m_tickers[index].get() : nullptr; }
    // The value of a ticker: its minimum plus its position.
    int TickerValue(size_t index) const;
    const std::vector<COLORREF>& Colors() const { return m_colors; }
    HBITMAP Overlay() const { return m_overlay.Get(); }
    const CRect& CreateRect() const { return m_createRect; }
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    // The client x of a value (0 at the minimum, the client width at the maximum).
    int XOfValue(int value) const;
    // Which range a click at client x falls in: the first ticker whose value lies above the clicked
    // value, or the number of tickers.
    size_t RangeAt(int x) const;

private:
    void ApplyCapRanges();
    void InvalidateAround(size_t ticker);
    void PostToListeners(UINT message, WPARAM wParam, LPARAM lParam) const;
    // The x where painting puts a value, with the first ticker's width tw: values spread over the
    // client width less tw, shifted by tw / 2.
    int PaintX(int value, int tickerWidth, int clientWidth) const;

    LRESULT OnTickerMoved(WPARAM wParam, LPARAM lParam);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);

    std::vector<COLORREF> m_colors{RGB(0, 0, 0)};  // one more than the tickers: one per range
    std::vector<std::unique_ptr<CAPMTicker>> m_tickers;
    CBitmap m_tickerNormal;
    CBitmap m_tickerHot;
    CBitmapHandle m_overlay;
    CRect m_createRect;
    HWND m_notifyWindow = nullptr;  // borrowed
    BYTE m_overlayAlpha = 50;
    int m_capMode = 0;
    std::wstring m_dynamicText;
    std::wstring m_toolTipText;
    int m_min = 1;
    int m_max = 32;

    HV_DECLARE_MSG_MAP()
};
