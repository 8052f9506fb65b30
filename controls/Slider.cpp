#include "controls/Slider.h"

#include <algorithm>
#include <cmath>

#include "controls/ControlMessages.h"
#include "controls/SliderTrack.h"
#include "platform/BitmapHelpers.h"
#include "platform/Dc.h"
#include "platform/MemDC2.h"
#include "platform/WndClass.h"
#include "platform/WStr.h"
#include "skin/LangTable.h"

namespace {

int Clamp(int value, int low, int high)
{
    return std::max(low, std::min(value, high));
}

// i x pixelsPerStep rounded to single precision and truncated toward zero.
int StepPixels(int steps, double pixelsPerStep)
{
    return static_cast<int>(static_cast<float>(steps * pixelsPerStep));
}

} // namespace

BEGIN_MSG_MAP(CSliderBase, CWnd)
    ON_WM_LBUTTONDOWN()
    HV_ON_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDown)  // the class sends a quick second press as a double click
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSEHOVER, OnMouseHover)
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
    ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MSG_MAP()

CSliderBase::~CSliderBase()
{
    // The track usually outlives its thumbs (it comes earlier in the item list, which deletes from
    // the last item): it must not keep a pointer to this one.
    if (CSliderTrack* track = TrackObject())
        track->DetachThumb(this);
    if (m_hWnd)
        DestroyWindow();
}

bool CSliderBase::Create(HBITMAP normalThumb, HWND track, HBITMAP hotThumb, HBITMAP thumbMask, bool colorKey,
                         const RECT& rect)
{
    if (m_hWnd || !normalThumb || !track)
        return false;
    m_normalThumb.CopyFrom(normalThumb);
    m_hotThumb.CopyFrom(hotThumb ? hotThumb : normalThumb);
    if (thumbMask)
        m_thumbMask.CopyFrom(thumbMask);
    CSize size = m_normalThumb.GetSize();
    m_thumbWidth = size.cx;
    m_thumbHeight = std::abs(static_cast<int>(size.cy));
    m_enabled = true;
    m_createRect = rect;
    m_track = track;
    CalcLayout();

    // The thumb starts at the first position; it has none (-1) until it is set.
    const CPoint start = ThumbOrigin(m_posMin);
    const CRect windowRect(start.x, start.y, start.x + m_thumbWidth, start.y + m_thumbHeight);
    if (!CreateEx(0, CWndClass::DefaultClass(), L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, windowRect, track,
                  static_cast<UINT_PTR>(static_cast<UINT>(id))))
        return false;
    window = m_hWnd;
    if (m_thumbMask) {
        CRgnHandle region = CreateRegionFromBitmap(m_thumbMask);
        if (region)
            SetWindowRgn(region);
    }
    ModifyStyleEx(0, WS_EX_TOPMOST);
    if (colorKey)
        ApplyColorKeyRegion();
    CalcLayout();
    return true;
}

void CSliderBase::ApplyColorKeyRegion()
{
    CRgnHandle region = CreateRegionWithoutCornerColor(m_normalThumb);
    if (region)
        SetWindowRgn(region);
}

void CSliderBase::SetLabel(const wchar_t* toolTipText, int tipMode, const wchar_t* labelPrefix)
{
    if (labelPrefix)
        m_labelPrefix = labelPrefix;
    if (toolTipText && *toolTipText)
        TranslateText(toolTipText, m_toolTipText);
    UpdateLabel();
    switch (tipMode) {
    case 1:
        m_labelOffsetX = m_thumbWidth + 2;
        m_labelOffsetY = m_thumbHeight / 2;
        break;
    case 2:
        m_labelOffsetX = m_thumbWidth / 2;
        m_labelOffsetY = -2;
        break;
    case 3:
        m_labelOffsetX = m_thumbWidth / 2;
        m_labelOffsetY = m_thumbHeight + 2;
        break;
    default:
        m_labelOffsetX = -2;
        m_labelOffsetY = m_thumbHeight / 2;
        break;
    }
    if (CSliderTrack* track = TrackObject())
        track->CreateTip(tipMode);
}

void CSliderBase::JumpToPoint(int x, int y)
{
    if (!m_enabled || !IsWindow() || !IsWindowEnabled())
        return;
    SetPos(PosFromPoint(x - m_halfWidth, y - m_halfHeight), true);
    NotifyTrack(WM_SLIDER_POSCHANGED);
}

void CSliderBase::SetRange(int min, int max)
{
    m_min = min;
    m_max = max;
}

void CSliderBase::SetPosRange(int posMin, int posMax)
{
    m_posMin = posMin;
    m_posMax = std::max(posMin, posMax);
    CalcLayout();
}

void CSliderBase::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    if (m_hWnd)
        EnableWindow(enabled);
    if (!enabled)
        m_hot = false;
    if (m_hWnd)
        Invalidate(FALSE);
}

int CSliderBase::PixelOfPosition(int position) const
{
    auto it = m_pixelOfPosition.find(position);
    return it == m_pixelOfPosition.end() ? m_minPixel : it->second;
}

CSliderTrack* CSliderBase::TrackObject() const
{
    return dynamic_cast<CSliderTrack*>(CWnd::FromHandlePermanent(m_track));
}

void CSliderBase::UpdateLabel()
{
    m_label = m_labelPrefix + wstr::Format(L"%d", ShownValue());
}

template <class Cap>
void CSliderBase::FillPixelMap(int base, Cap cap)
{
    m_pixelOfPosition.clear();
    for (int i = m_posMin; i <= m_posMax; ++i)
        m_pixelOfPosition[i] = cap(base, StepPixels(i - m_posMin, m_pixelsPerStep));
}

void CSliderBase::MoveThumb(int x, int y)
{
    MoveWindow(x, y, m_thumbWidth, m_thumbHeight, TRUE);
}

void CSliderBase::NotifyTrack(UINT message) const
{
    ::PostMessageW(m_track, message, static_cast<WPARAM>(m_min + m_position), static_cast<LPARAM>(id));
}

// ---- Input -------------------------------------------------------------------------------------

void CSliderBase::OnLButtonDown(UINT, CPoint point)
{
    if (!m_enabled) {
        Default();
        return;
    }
    ::SetCapture(m_hWnd);
    m_dragging = true;
    m_downPoint = point;
    Invalidate(FALSE);
    Default();
}

void CSliderBase::OnMouseMove(UINT flags, CPoint point)
{
    if (!m_enabled)
        return;
    TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, HOVER_DEFAULT};
    if (m_leaveTracked)
        tme.dwFlags |= TME_HOVER;
    m_leaveTracked = true;
    ::TrackMouseEvent(&tme);
    if (!m_hot) {
        m_hot = true;
        Invalidate(FALSE);
    }
    if (m_dragging) {
        TrackToPoint(flags, point.x, point.y);
        Default();
    }
}

void CSliderBase::OnLButtonUp(UINT, CPoint)
{
    if (m_enabled && m_dragging) {
        // Cleared first: the capture change that ReleaseCapture sends must not end the drag twice.
        m_dragging = false;
        ::ReleaseCapture();
        NotifyTrack(WM_SLIDER_POSCHANGED);
        m_hot = false;
        Invalidate(FALSE);
    }
    Default();
}

LRESULT CSliderBase::OnCaptureChanged(WPARAM, LPARAM lParam)
{
    // Another window took the mouse in the middle of a drag: the drag ends where the thumb is, and
    // the owner still hears of the value once.
    if (m_dragging && reinterpret_cast<HWND>(lParam) != m_hWnd) {
        m_dragging = false;
        NotifyTrack(WM_SLIDER_POSCHANGED);
        m_hot = false;
        Invalidate(FALSE);
    }
    return Default();
}

LRESULT CSliderBase::OnMouseHover(WPARAM, LPARAM)
{
    if (CSliderTrack* track = TrackObject())
        track->ShowTip(this);
    return 0;
}

LRESULT CSliderBase::OnMouseLeave(WPARAM, LPARAM)
{
    // While dragging the pointer may leave the thumb at the track's ends; the tip stays then.
    CSliderTrack* track = TrackObject();
    if (track && track->IsTipShown() && !m_dragging)
        track->HideTip();
    m_leaveTracked = false;
    m_hot = false;
    Invalidate(FALSE);
    return 0;
}

LRESULT CSliderBase::OnKillFocus(WPARAM, LPARAM)
{
    LRESULT result = Default();
    m_hot = false;
    Invalidate(FALSE);
    return result;
}

// ---- Drawing -----------------------------------------------------------------------------------

BOOL CSliderBase::OnEraseBkgnd(HDC)
{
    return TRUE;
}

void CSliderBase::OnPaint()
{
    CPaintDC paint(m_hWnd);
    CRect client = GetClientRect();
    CMemDC2 memory(paint, &client);
    HBITMAP picture = (m_dragging || m_hot) && m_hotThumb ? static_cast<HBITMAP>(m_hotThumb)
                                                          : static_cast<HBITMAP>(m_normalThumb);
    if (!picture)
        return;
    CMemoryDC source(paint);
    source.SelectObject(picture);
    memory.BitBlt(0, 0, m_thumbWidth, m_thumbHeight, source, 0, 0, SRCCOPY);
}

// ---- Horizontal thumb --------------------------------------------------------------------------

CPHSlider::CPHSlider()
{
    kind = ItemKind::PHSlider;
}

void CPHSlider::CalcLayout()
{
    const int w = m_thumbWidth;
    m_layoutRect = m_createRect;
    m_layoutRect.left -= w >> 1;
    m_layoutRect.right += w >> 1;
    m_minPixel = m_layoutRect.left;
    m_maxPixel = std::max(m_minPixel, static_cast<int>(m_layoutRect.right) - w);
    m_halfWidth = w / 2;
    m_halfHeight = m_thumbHeight / 2;
    m_steps = m_posMax - m_posMin;
    // An empty position range keeps every position at the start.
    m_pixelsPerStep = m_steps > 0 ? static_cast<double>(m_createRect.Width()) / m_steps : 0.0;
    const int maxPixel = m_maxPixel;
    FillPixelMap(m_minPixel, [maxPixel](int base, int t) { return std::min(maxPixel, base + t); });
}

int CPHSlider::PosFromPoint(int x, int) const
{
    x = std::max(x, m_minPixel);
    if (m_pixelsPerStep <= 0)
        return m_posMin;
    float steps = static_cast<float>(x - m_minPixel) / static_cast<float>(m_pixelsPerStep) + 0.5f;
    return m_posMin + static_cast<int>(std::floor(steps));
}

void CPHSlider::TrackToPoint(UINT, int x, int y)
{
    CPoint point(x, y);
    ::MapWindowPoints(m_hWnd, m_track, &point, 1);
    const int left = Clamp(point.x - m_halfWidth, m_minPixel, m_maxPixel);
    MoveThumb(left, m_layoutRect.top);
    ::SendMessageW(m_track, WM_SLIDERTRACK_SETHPOS, 0, left);
    const int position = Clamp(PosFromPoint(left, point.y), m_posMin, m_posMax);
    const bool changed = position != m_position;
    m_position = position;
    UpdateLabel();
    if (changed)
        NotifyTrack(WM_SLIDER_POSCHANGING);
}

void CPHSlider::SetPos(int position, bool move)
{
    if (!move && position == m_position)
        return;
    m_position = Clamp(position, m_posMin, m_posMax);
    if (move && m_hWnd) {
        const CPoint origin = ThumbOrigin(m_position);
        MoveThumb(origin.x, origin.y);
        ::SendMessageW(m_track, WM_SLIDERTRACK_SETHPOS, 0, origin.x);
    }
    UpdateLabel();
}

int CPHSlider::ShownValue() const
{
    return (m_min + std::max(m_position, 0)) * m_multiplier;
}

CPoint CPHSlider::ThumbOrigin(int position) const
{
    return CPoint(PixelOfPosition(position), m_createRect.top);
}

void CPHSlider::SetCapRange(int capMin, int capMax)
{
    m_capMin = Clamp(capMin, m_posMin, m_posMax);
    m_capMax = Clamp(capMax, m_posMin, m_posMax);
}

// ---- Vertical thumb ----------------------------------------------------------------------------

CVertSlider::CVertSlider()
{
    kind = ItemKind::VertSlider;
    m_min = 1;
    m_max = 32;
    m_posMin = 0;
    m_posMax = 31;
}

void CVertSlider::CalcLayout()
{
    const int h = m_thumbHeight;
    m_layoutRect = m_createRect;
    m_layoutRect.top -= h / 2;
    m_layoutRect.bottom += h / 2;
    m_minPixel = m_layoutRect.bottom - h;
    m_maxPixel = std::min(m_minPixel, static_cast<int>(m_layoutRect.top));
    m_halfWidth = m_thumbWidth / 2;
    m_halfHeight = h / 2;
    m_steps = m_posMax - m_posMin;
    m_pixelsPerStep = m_steps > 0 ? static_cast<double>(m_createRect.Height()) / m_steps : 0.0;
    const int maxPixel = m_maxPixel;
    FillPixelMap(m_minPixel, [maxPixel](int base, int t) { return std::max(maxPixel, base - t); });
}

int CVertSlider::PosFromPoint(int, int y) const
{
    y = std::min(y, m_minPixel);
    if (m_pixelsPerStep <= 0)
        return m_posMin;
    return m_posMin + static_cast<int>(static_cast<float>(m_minPixel - y) / static_cast<float>(m_pixelsPerStep));
}

void CVertSlider::TrackToPoint(UINT, int x, int y)
{
    CPoint point(x, y);
    ::MapWindowPoints(m_hWnd, m_track, &point, 1);
    const int top = Clamp(point.y - m_halfHeight, m_maxPixel, m_minPixel);
    MoveThumb(m_layoutRect.left, top);
    ::SendMessageW(m_track, WM_SLIDERTRACK_SETVPOS, 0, top + m_thumbHeight);
    const int position = Clamp(PosFromPoint(point.x, top), m_posMin, m_posMax);
    const bool changed = position != m_position;
    m_position = position;
    UpdateLabel();
    if (changed)
        NotifyTrack(WM_SLIDER_POSCHANGING);
}

int CVertSlider::ShownValue() const
{
    return m_min + std::max(m_position, 0);
}

CPoint CVertSlider::ThumbOrigin(int position) const
{
    return CPoint(m_createRect.left, PixelOfPosition(position));
}

void CVertSlider::SetPos(int position, bool move)
{
    if (position == m_position)
        return;
    m_position = Clamp(position, m_posMin, m_posMax);
    if (move && m_hWnd) {
        const CPoint origin = ThumbOrigin(m_position);
        MoveThumb(origin.x, origin.y);
        ::SendMessageW(m_track, WM_SLIDERTRACK_SETVPOS, 0, origin.y);
    }
    UpdateLabel();
}
