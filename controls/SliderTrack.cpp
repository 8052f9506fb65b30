#include "controls/SliderTrack.h"

#include <algorithm>

#include "controls/ControlMessages.h"
#include "controls/Slider.h"
#include "platform/Dc.h"
#include "platform/MemDC2.h"

namespace {

constexpr size_t kDragTipLength = 119;  // what the dragging tip shows of a label at most
constexpr size_t kHoverTipLength = 11;  // the same for the hover tip

} // namespace

BEGIN_MSG_MAP(CSliderTrack, CBitmapItem)
    ON_MESSAGE(WM_SLIDER_POSCHANGING, OnPosChanging)
    ON_MESSAGE(WM_SLIDER_POSCHANGED, OnPosChanged)
    ON_MESSAGE(WM_SLIDERTRACK_SETHPOS, OnSetHPos)
    ON_MESSAGE(WM_SLIDERTRACK_SETVPOS, OnSetVPos)
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MSG_MAP()

CSliderTrack::CSliderTrack(const TrackFill* fill)
{
    kind = ItemKind::SliderTrack;
    if (fill) {
        m_hasFill = true;
        m_fillColor = fill->color;
        m_fillRect = fill->rect;
    }
}

CSliderTrack::~CSliderTrack() = default;

bool CSliderTrack::Create(int left, int top, int right, int bottom, HWND parent)
{
    return CBitmapItem::Create(CRect(left, top, right, bottom), parent, WS_CHILD | WS_VISIBLE,
                               static_cast<UINT>(id));
}

void CSliderTrack::Show(bool show)
{
    if (show)
        m_repaintPending = true;
    if (m_hWnd)
        ShowWindow(show ? SW_SHOW : SW_HIDE);
    if (!show)
        HideTip();
}

void CSliderTrack::DetachThumb(CSliderBase* thumb)
{
    if (m_slider == thumb)
        m_slider = nullptr;
    if (m_tipThumb == thumb) {
        HideTip();
        m_tipThumb = nullptr;
    }
}

HWND CSliderTrack::OwnerWindow() const
{
    if (owner && owner->GetSafeHwnd())
        return owner->GetSafeHwnd();
    return GetParent();
}

CSliderBase* CSliderTrack::SenderOf(LPARAM itemId) const
{
    HWND child = ::GetDlgItem(m_hWnd, static_cast<int>(itemId));
    if (child) {
        if (auto* thumb = dynamic_cast<CSliderBase*>(CWnd::FromHandlePermanent(child)))
            return thumb;
    }
    return m_slider;
}

// ---- Tooltip ------------------------------------------------------------------------------------

void CSliderTrack::CreateTip(int mode)
{
    if (!m_slider || !m_slider->IsWindow() || m_tipMade)
        return;
    m_tipMade = true;
    m_tipThumb = m_slider;
    m_tipText = m_slider->Label().substr(0, kDragTipLength);
    m_toolInfo = TTTOOLINFOW{};
    m_toolInfo.cbSize = sizeof(m_toolInfo);
    m_toolInfo.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    m_toolInfo.hwnd = m_hWnd;
    m_toolInfo.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    m_toolInfo.lpszText = const_cast<wchar_t*>(m_tipText.c_str());
    m_toolInfo.rect = GetClientRect();
    // The tool goes into the window with it (TipWindow).
    m_tipAdded = true;
    m_tipShown = false;
    m_tipMode = mode;
}

HWND CSliderTrack::TipWindow()
{
    if (m_toolTip || !m_tipMade)
        return m_toolTip.Get();
    m_toolTip.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                      nullptr, nullptr));
    if (!m_toolTip) {
        // The slider works without its tooltip.
        m_tipMade = false;
        m_tipAdded = false;
        return nullptr;
    }
    m_toolInfo.lpszText = const_cast<wchar_t*>(m_tipText.c_str());
    if (m_tipAdded)
        m_tipAdded = ::SendMessageW(m_toolTip.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_toolInfo)) != FALSE;
    ::SendMessageW(m_toolTip.Get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolInfo));
    return m_toolTip.Get();
}

void CSliderTrack::SetTipEnabled(bool enabled)
{
    if (!m_tipMade || enabled == m_tipAdded)
        return;
    if (!m_toolTip) {
        // The window takes the tool or not when it is made.
        m_tipAdded = enabled;
        if (!enabled)
            m_tipShown = false;
        return;
    }
    if (enabled) {
        m_tipAdded = ::SendMessageW(m_toolTip.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_toolInfo)) != FALSE;
    } else {
        HideTip();
        ::SendMessageW(m_toolTip.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
        m_tipAdded = false;
    }
}

void CSliderTrack::SetTipText(const std::wstring& text)
{
    m_tipText = text;
    m_toolInfo.lpszText = const_cast<wchar_t*>(m_tipText.c_str());
    if (m_tipAdded && m_toolTip)
        ::SendMessageW(m_toolTip.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
}

void CSliderTrack::ShowTip(CSliderBase* thumb)
{
    if (!thumb)
        thumb = m_slider;
    if (!thumb || !m_tipMade || m_tipShown)
        return;
    m_tipThumb = thumb;
    // The hover tip has room for a short text only: a longer label shows its value without the
    // prefix, which matters more than the prefix.
    std::wstring text = thumb->Label();
    if (text.size() > kHoverTipLength)
        text = std::to_wstring(thumb->ShownValue());
    SetTipText(text.substr(0, kHoverTipLength));
    if (m_tipAdded && TipWindow())
        ::SendMessageW(m_toolTip.Get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_toolInfo));
    m_tipShown = true;
    PositionTip();
}

void CSliderTrack::HideTip()
{
    if (m_toolTip)
        ::SendMessageW(m_toolTip.Get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolInfo));
    m_tipShown = false;
}

void CSliderTrack::PositionTip()
{
    CSliderBase* thumb = m_tipThumb ? m_tipThumb : m_slider;
    // A tooltip not made yet is placed when it first shows.
    if (!m_tipAdded || !m_toolTip || !thumb || !thumb->IsWindow())
        return;
    CPoint origin(0, 0);
    thumb->ClientToScreen(&origin);
    CRect tip;
    ::GetClientRect(m_toolTip.Get(), &tip);
    const CPoint offset = thumb->LabelOffset();
    int x = origin.x + offset.x;
    int y = origin.y + offset.y;
    switch (m_tipMode) {
    case 0:
        x -= tip.Width();
        y -= tip.Height() / 2;
        break;
    case 1:
        y -= tip.Height() / 2;
        break;
    case 2:
        x -= tip.Width() / 2;
        y -= tip.Height();
        break;
    default:
        x -= tip.Width() / 2;
        break;
    }
    ::SendMessageW(m_toolTip.Get(), TTM_TRACKPOSITION, 0, MAKELPARAM(x, y));
}

// ---- Messages of the thumbs ----------------------------------------------------------------------

LRESULT CSliderTrack::OnPosChanging(WPARAM wParam, LPARAM lParam)
{
    if (CSliderBase* thumb = SenderOf(lParam)) {
        m_tipThumb = thumb;
        if (!m_tipShown && m_tipAdded && TipWindow()) {
            ::SendMessageW(m_toolTip.Get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_toolInfo));
            m_tipShown = true;
        }
        SetTipText(thumb->Label().substr(0, kDragTipLength));
        PositionTip();
        ::PostMessageW(OwnerWindow(), WM_SLIDER_POSCHANGING, wParam, lParam);
        Invalidate(FALSE);
    }
    return 0;
}

LRESULT CSliderTrack::OnPosChanged(WPARAM wParam, LPARAM lParam)
{
    HideTip();
    ::PostMessageW(OwnerWindow(), WM_SLIDER_POSCHANGED, wParam, lParam);
    Invalidate(FALSE);
    return 0;
}

void CSliderTrack::ReportedPixel(Axis axis, int pixel)
{
    if (!m_slider)
        return;
    // The bar between the old and the new thumb changes: a thumb that jumps back further than its
    // own width leaves filled pixels that neither its move nor UpdateWindow would repaint.
    const CRect before = FillRect();
    if (axis == Axis::Horizontal)
        m_lastX = pixel;
    else
        m_lastY = pixel;
    m_lastAxis = axis;
    PositionTip();
    if (m_repaintPending) {
        m_repaintPending = false;
        Invalidate(FALSE);
    } else {
        if (m_hasFill) {
            const CRect after = FillRect();
            CRect changed;
            ::UnionRect(&changed, &before, &after);
            InvalidateRect(&changed, FALSE);
        }
        UpdateWindow();
    }
}

LRESULT CSliderTrack::OnSetHPos(WPARAM, LPARAM lParam)
{
    ReportedPixel(Axis::Horizontal, static_cast<int>(lParam));
    return 0;
}

LRESULT CSliderTrack::OnSetVPos(WPARAM, LPARAM lParam)
{
    ReportedPixel(Axis::Vertical, static_cast<int>(lParam));
    return 0;
}

void CSliderTrack::OnLButtonUp(UINT, CPoint point)
{
    Default();
    if (m_slider)
        m_slider->JumpToPoint(point.x, point.y);
    ::PostMessageW(OwnerWindow(), WM_SLIDERTRACK_CLICKED, static_cast<WPARAM>(id), MAKELPARAM(point.x, point.y));
}

void CSliderTrack::OnMouseMove(UINT, CPoint)
{
    if (m_slider && m_slider->IsWindow())
        PositionTip();
    Default();
}

// ---- Drawing ------------------------------------------------------------------------------------

CRect CSliderTrack::FillRect() const
{
    CRect fill = m_fillRect;
    if (m_lastAxis == Axis::Horizontal)
        fill.right = std::max(fill.left, std::min<LONG>(fill.right, m_lastX));
    else if (m_lastAxis == Axis::Vertical)
        fill.top = std::min(fill.bottom, std::max<LONG>(fill.top, m_lastY));
    return fill;
}

BOOL CSliderTrack::OnEraseBkgnd(HDC)
{
    return TRUE;
}

void CSliderTrack::OnPaint()
{
    CPaintDC paint(m_hWnd);
    CRect client = GetClientRect();
    CMemDC2 memory(paint, &client);
    if (HBITMAP picture = Bitmap()) {
        CMemoryDC source(paint);
        source.SelectObject(picture);
        memory.BitBlt(0, 0, client.Width(), client.Height(), source, 0, 0, SRCCOPY);
    }
    if (m_hasFill)
        memory.FillSolidRect(FillRect(), m_fillColor);
}
