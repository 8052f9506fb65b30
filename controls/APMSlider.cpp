#include "controls/APMSlider.h"

#include <algorithm>

#include "controls/BitmapItem.h"
#include "controls/ControlMessages.h"
#include "platform/BitmapHelpers.h"
#include "platform/Dc.h"
#include "platform/MemDC2.h"
#include "platform/WStr.h"

// ---- Ticker -------------------------------------------------------------------------------------

void CAPMTicker::SetCapRange(int capMin, int capMax)
{
    ::OutputDebugStringW(wstr::Format(L"---   CAPMTicker(0x%p)::SetCapRange(%d ,%d) ---\n", this, capMin, capMax).c_str());
    CPHSlider::SetCapRange(capMin, capMax);
    ::OutputDebugStringW(wstr::Format(L"--- CAPMTicker::SetCapRange(0x%p) CapRangeMin:%d, CapRangeMax:%d---\n", this,
                                      CapMin(), CapMax())
                             .c_str());
}

// ---- Slider -------------------------------------------------------------------------------------

BEGIN_MSG_MAP(CAPMSlider, CSliderTrack)
    ON_MESSAGE(WM_SLIDER_POSCHANGED, OnTickerMoved)
    ON_MESSAGE(WM_SLIDER_POSCHANGING, OnTickerMoved)
    ON_WM_LBUTTONUP()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MSG_MAP()

CAPMSlider::CAPMSlider()
{
    kind = ItemKind::APMSlider;
    SetRange();
}

CAPMSlider::~CAPMSlider()
{
    // The tickers are children of this window: they go first, while it still exists.
    m_tickers.clear();
    if (m_hWnd)
        DestroyWindow();
}

bool CAPMSlider::Create(HWND notifyWindow, CBitmapItem* sourceItem, HBITMAP tickerNormal, HBITMAP tickerHot,
                        const RECT& rect)
{
    m_createRect = rect;
    m_notifyWindow = notifyWindow;
    if (!CSliderTrack::Create(rect.left, rect.top, rect.right, rect.bottom, notifyWindow))
        return false;
    if (sourceItem && sourceItem->Bitmap()) {
        CClientDC dc(m_hWnd);
        CopyBitmapRect(m_overlay, dc, sourceItem->Bitmap(), rect.left, rect.top, rect.right, rect.bottom);
    }
    if (tickerNormal)
        m_tickerNormal.CopyFrom(tickerNormal);
    if (tickerHot)
        m_tickerHot.CopyFrom(tickerHot);
    return true;
}

CAPMTicker* CAPMSlider::AddTicker(int32_t tickerId)
{
    if (!m_hWnd || !m_tickerNormal)
        return nullptr;
    const CRect client = GetClientRect();
    const int half = m_tickerNormal.GetSize().cx / 2;
    auto ticker = std::make_unique<CAPMTicker>();
    ticker->id = tickerId;
    ticker->owner = this;
    const CRect path(half, 0, std::max(half, static_cast<int>(client.Width()) - half), 0);
    if (!ticker->Create(m_tickerNormal, m_hWnd, m_tickerHot ? static_cast<HBITMAP>(m_tickerHot) : nullptr, nullptr,
                        true, path))
        return nullptr;
    m_tickers.push_back(std::move(ticker));
    m_colors.push_back(RGB(0, 0, 0));
    SetRange();
    return m_tickers.back().get();
}

void CAPMSlider::SetRange()
{
    m_min = 1;
    m_max = 32;
    for (const auto& ticker : m_tickers) {
        ticker->SetRange(1, 32);
        ticker->SetPosRange(0, 31);  // recomputes the layout
    }
}

int CAPMSlider::TickerValue(size_t index) const
{
    const CAPMTicker* ticker = Ticker(index);
    return ticker ? ticker->Min() + std::max(ticker->Position(), 0) : m_min;
}

void CAPMSlider::SetColor(size_t range, COLORREF colour)
{
    if (range < m_colors.size())
        m_colors[range] = colour;
    if (m_hWnd)
        Invalidate(FALSE);
}

void CAPMSlider::SetDefaultStages()
{
    const int n = static_cast<int>(m_tickers.size());
    const int step = (m_max - m_min) / (n + 1);
    for (int i = 0; i < n; ++i) {
        CAPMTicker& ticker = *m_tickers[static_cast<size_t>(i)];
        const int v = std::max(ticker.Min(), std::min(m_min + (i + 1) * step, ticker.Max()));
        ticker.SetPos(ticker.PosMin() + v - ticker.Min(), true);
    }
    if (m_hWnd)
        Invalidate(FALSE);
}

void CAPMSlider::InitGreyLevels()
{
    const int n = static_cast<int>(m_tickers.size());
    const int range = m_max - m_min;
    const int g = range != 0 ? (n + 1) * 255 / range : 0;
    m_colors.resize(static_cast<size_t>(n) + 1, RGB(0, 0, 0));
    BYTE b = 0;
    for (int i = 0; i < n; ++i) {
        m_colors[static_cast<size_t>(i)] = RGB(b, b, b);
        b = static_cast<BYTE>(b + g);
    }
    if (m_hWnd)
        Invalidate(FALSE);
}

void CAPMSlider::SetTickerCapRanges()
{
    const size_t n = m_tickers.size();
    if (n == 0)
        return;
    if (n == 1) {
        m_tickers[0]->SetCapRange(m_min, m_max);
        return;
    }
    m_tickers[0]->SetCapRange(m_min, TickerValue(1));
    m_tickers[n - 1]->SetCapRange(TickerValue(n - 2), m_max);
    for (size_t i = 1; i + 1 < n; ++i)
        m_tickers[i]->SetCapRange(TickerValue(i - 1) + 2, TickerValue(i + 1));
}

void CAPMSlider::RemoveTickerCapRanges()
{
    for (const auto& ticker : m_tickers)
        ticker->SetCapRange(m_min, m_max);
}

void CAPMSlider::ApplyCapRanges()
{
    if (m_capMode != 0)
        RemoveTickerCapRanges();
    else
        SetTickerCapRanges();
}

int CAPMSlider::XOfValue(int value) const
{
    const int range = m_max - m_min;
    if (range == 0 || !m_hWnd)
        return 0;
    return static_cast<int>(static_cast<long long>(value - m_min) * GetClientRect().Width() / range);
}

size_t CAPMSlider::RangeAt(int x) const
{
    const int width = m_createRect.Width();
    // x is in the slider's own coordinates; the slider sits at its creation rectangle's left.
    const int value = width > 0 ? m_min + static_cast<int>(static_cast<long long>(m_max - m_min) * x / width) : m_min;
    for (size_t i = 0; i < m_tickers.size(); ++i) {
        if (value < TickerValue(i))
            return i;
    }
    return m_tickers.size();
}

void CAPMSlider::PostToListeners(UINT message, WPARAM wParam, LPARAM lParam) const
{
    HWND target = owner && owner->GetSafeHwnd() ? owner->GetSafeHwnd() : GetParent();
    ::PostMessageW(target, message, wParam, lParam);
    ::PostMessageW(m_notifyWindow, message, wParam, lParam);
}

void CAPMSlider::InvalidateAround(size_t index)
{
    const CRect client = GetClientRect();
    const size_t n = m_tickers.size();
    if (n < 2) {
        Invalidate(FALSE);
        return;
    }
    const int left = index == 0 ? client.left : XOfValue(TickerValue(index - 1));
    const int right = index + 1 < n ? XOfValue(TickerValue(index + 1)) : client.right;
    CRgn area;
    area.CreateRectRgn(std::min(left, right), client.top, std::max(left, right), client.bottom);
    // The tickers paint themselves.
    for (const auto& ticker : m_tickers) {
        CRgn own;
        own.CreateRectRgnIndirect(ticker->GetWindowRect());
        ::OffsetRgn(own, -GetWindowRect().left, -GetWindowRect().top);
        area.CombineRgn(area, own, RGN_DIFF);
    }
    ::InvalidateRgn(m_hWnd, area, FALSE);
}

LRESULT CAPMSlider::OnTickerMoved(WPARAM wParam, LPARAM lParam)
{
    ApplyCapRanges();
    for (size_t i = 0; i < m_tickers.size(); ++i) {
        if (m_tickers[i]->id == static_cast<int32_t>(lParam) && TickerValue(i) == static_cast<int>(wParam)) {
            InvalidateAround(i);
            break;
        }
    }
    // Released or moving, the listeners hear of a moving ticker.
    PostToListeners(WM_SLIDER_POSCHANGING, wParam, lParam);
    return 0;
}

void CAPMSlider::OnLButtonUp(UINT, CPoint point)
{
    if (m_tickers.empty())
        return;
    PostToListeners(WM_APMSLIDER_TICKERRELEASED, static_cast<WPARAM>(RangeAt(point.x)), static_cast<LPARAM>(id));
}

BOOL CAPMSlider::OnEraseBkgnd(HDC)
{
    return TRUE;
}

int CAPMSlider::PaintX(int value, int tickerWidth, int clientWidth) const
{
    const int range = m_max - m_min;
    const int width = clientWidth - tickerWidth;
    if (range == 0)
        return tickerWidth / 2;
    return static_cast<int>((static_cast<long long>(value - m_min) * width + range / 2) / range) + tickerWidth / 2;
}

void CAPMSlider::OnPaint()
{
    CPaintDC paint(m_hWnd);
    const CRect client = GetClientRect();
    for (size_t i = 0; i < m_colors.size(); ++i)
        ::OutputDebugStringW(wstr::Format(L"CAPMSlider::OnPaint Color(%d): 0x%x\n", static_cast<int>(i),
                                          static_cast<unsigned>(m_colors[i])).c_str());
    for (size_t i = 0; i < m_tickers.size(); ++i)
        ::OutputDebugStringW(
            wstr::Format(L"CAPMSlider::OnPaint Pos(%d): 0x%d\n", static_cast<int>(i), TickerValue(i)).c_str());

    CMemDC2 dc(paint, &client);
    const size_t n = m_tickers.size();
    if (n == 0 || m_colors.size() < n + 1) {
        if (m_colors.empty())
            dc.FillRect(client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        else
            dc.FillSolidRect(client, m_colors[0]);
    } else {
        const int tw = m_tickers[0]->ThumbSize().cx;
        const int w = client.Width();
        auto x = [&](size_t i) { return PaintX(TickerValue(i), tw, w) + client.left; };
        dc.FillSolidRect(CRect(client.left, client.top, x(0), client.bottom), m_colors[0]);
        for (size_t i = 1; i < n; ++i)
            dc.FillSolidRect(CRect(x(i - 1) + tw, client.top, x(i) + tw, client.bottom), m_colors[i]);
        dc.FillSolidRect(CRect(x(n - 1) + tw, client.top, client.right, client.bottom), m_colors[n]);
    }
    if (m_overlay) {
        CMemoryDC source(paint);
        source.SelectObject(m_overlay.Get());
        dc.AlphaBlend(client, source, client, m_overlayAlpha, false);
    }
}
