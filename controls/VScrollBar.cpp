#include "controls/VScrollBar.h"

#include "platform/ListCtrl.h"

#include <algorithm>
#include <cmath>

#include "platform/BitmapHelpers.h"
#include "platform/Dc.h"

namespace {

CSize BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info))
        return CSize();
    return CSize(info.bmWidth, std::abs(info.bmHeight));
}

} // namespace

void DrawBorder(CDC& dc, const RECT& rect, int width, COLORREF colour)
{
    if (width <= 0)
        return;
    // The band a pen of this width draws when inset by floor(width / 2) at the top left and
    // ceil(width / 2) at the bottom right: exactly width pixels inside every edge. Drawn as four
    // strips, because a wide pen's corners and last column depend on the pen's join and the
    // rectangle's exclusive edges.
    CRect r(rect);
    dc.FillSolidRect(CRect(r.left, r.top, r.right, r.top + width), colour);
    dc.FillSolidRect(CRect(r.left, r.bottom - width, r.right, r.bottom), colour);
    dc.FillSolidRect(CRect(r.left, r.top, r.left + width, r.bottom), colour);
    dc.FillSolidRect(CRect(r.right - width, r.top, r.right, r.bottom), colour);
}

void BorderHalves(int width, int& down, int& up)
{
    float half = static_cast<float>(width) / 2.0f;
    down = static_cast<int>(std::floor(half));
    up = static_cast<int>(std::ceil(half));
}

int VScrollSkin::Width() const
{
    int widest = 0;
    for (HBITMAP bitmap : bitmaps)
        widest = std::max(widest, static_cast<int>(BitmapSize(bitmap).cx));
    return borderWidth + widest;
}

BEGIN_MSG_MAP(CVScrollBar, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
END_MSG_MAP()

CVScrollBar::CVScrollBar(int barWidth, HWND list) : m_list(list), m_barWidth(barWidth)
{
}

CVScrollBar::~CVScrollBar() = default;

void CVScrollBar::SetSkin(const VScrollSkin& skin)
{
    m_skin = skin;
    for (int i = 0; i < VScrollSkin::kBitmapCount; ++i)
        m_sizes[i] = BitmapSize(skin.bitmaps[i]);
    if (m_thumbTop < 0)
        m_thumbTop = PartHeight(VScrollSkin::Top) + PartHeight(VScrollSkin::ArrowUp);
    m_borderWidth = skin.borderWidth;
    BorderHalves(m_borderWidth, m_borderHalfDown, m_borderHalfUp);
}

bool CVScrollBar::Create(const RECT& rect, HWND parent, UINT id)
{
    // SS_NOTIFY: a static control is otherwise transparent to the mouse.
    if (!CreateEx(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, rect, parent, id))
        return false;
    if (!ComputeGeometry()) {
        DestroyWindow();
        return false;
    }
    return true;
}


bool CVScrollBar::ComputeGeometry()
{
    CRect client = GetClientRect();
    int top = PartHeight(VScrollSkin::Top);
    int bottom = PartHeight(VScrollSkin::Bottom);
    int up = PartHeight(VScrollSkin::ArrowUp);
    int down = PartHeight(VScrollSkin::ArrowDown);
    int thumb = PartHeight(VScrollSkin::Thumb);
    m_upRect = CRect(0, top, client.Width(), top + up);
    m_downRect = CRect(0, client.Height() - bottom - down, client.Width(), client.Height() - bottom);
    m_trackLength = static_cast<double>(client.Height() - (top + up + down + bottom + thumb));
    m_halfThumb = thumb / 2;
    return m_trackLength >= 0;
}

int CVScrollBar::TrackTop() const
{
    return PartHeight(VScrollSkin::Top) + PartHeight(VScrollSkin::ArrowUp);
}

CRect CVScrollBar::ThumbRect() const
{
    int top = std::max(TrackTop(), std::min<int>(m_thumbTop, m_downRect.top - PartHeight(VScrollSkin::Thumb)));
    return CRect(0, top, GetClientRect().Width(), top + PartHeight(VScrollSkin::Thumb));
}

int CVScrollBar::LastPosition(const SCROLLINFO& info)
{
    return info.nMax - static_cast<int>(info.nPage) + 1;
}

bool CVScrollBar::ListScrollInfo(SCROLLINFO& info) const
{
    info = SCROLLINFO{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    return m_list && ::GetScrollInfo(m_list, SB_VERT, &info);
}

void CVScrollBar::SyncWithList()
{
    SCROLLINFO info;
    if (ListScrollInfo(info)) {
        int last = LastPosition(info);
        m_thumbTop = TrackTop();
        if (last > 0)
            m_thumbTop += static_cast<int>(m_trackLength * info.nPos / last);
    }
    Invalidate(FALSE);
}

void CVScrollBar::PostScroll(WORD code, WORD position)
{
    if (m_list)
        ::PostMessageW(m_list, WM_VSCROLL, MAKEWPARAM(code, position), 0);
}

void CVScrollBar::StartEndScrollTimer()
{
    SetTimer(kTimerEndScroll, 5);
}

void CVScrollBar::HandCaptureToList()
{
    if (m_list && ::IsWindow(m_list))
        ::SetCapture(m_list);
    else if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void CVScrollBar::OnTimer(UINT_PTR id)
{
    KillTimer(id);
    if (id == kTimerJumpToEnd) {
        SCROLLINFO info;
        if (ListScrollInfo(info))
            ::SetScrollPos(m_list, SB_VERT, LastPosition(info), TRUE);
        SyncWithList();
        StartEndScrollTimer();
    } else if (id == kTimerEndScroll) {
        SyncWithList();
        PostScroll(SB_ENDSCROLL);
    }
}

void CVScrollBar::OnLButtonDown(UINT, CPoint point)
{
    if (ThumbRect().PtInRect(point)) {
        m_dragging = true;
        ::SetCapture(m_hWnd);
    } else if (m_upRect.PtInRect(point)) {
        m_pressedUp = true;
    } else if (m_downRect.PtInRect(point)) {
        m_pressedDown = true;
    }
}

void CVScrollBar::OnLButtonDblClk(UINT, CPoint point)
{
    if (m_upRect.PtInRect(point))
        m_pressedUp = true;
    else if (m_downRect.PtInRect(point))
        m_pressedDown = true;
}

void CVScrollBar::OnMouseMove(UINT, CPoint point)
{
    if (!m_dragging) {
        // Hover: hold the mouse while it is over the bar, give it back to the list when it leaves.
        if (GetClientRect().PtInRect(point)) {
            if (::GetCapture() != m_hWnd)
                ::SetCapture(m_hWnd);
        } else if (::GetCapture() == m_hWnd) {
            HandCaptureToList();
        }
        return;
    }
    SCROLLINFO info;
    if (!ListScrollInfo(info))
        return;
    int trackTop = TrackTop();
    m_thumbTop = std::max(trackTop, static_cast<int>(point.y) - m_halfThumb);
    int last = LastPosition(info);
    int position = 0;
    if (last > 0 && m_trackLength > 0)
        position = static_cast<int>((m_thumbTop - trackTop) / (m_trackLength / last));
    position = std::max(0, std::min(position, std::max(last, 0)));
    if (position != m_lastPosition) {
        m_lastPosition = position;
        PostScroll(SB_THUMBTRACK, static_cast<WORD>(position));
    }
    Invalidate(FALSE);
}

void CVScrollBar::OnLButtonUp(UINT, CPoint point)
{
    if (m_dragging) {
        m_dragging = false;
        m_lastPosition = -1;
        HandCaptureToList();
        StartEndScrollTimer();
        return;
    }
    if (m_pressedUp || m_pressedDown) {
        PostScroll(m_pressedUp ? SB_LINEUP : SB_LINEDOWN);
        m_pressedUp = m_pressedDown = false;
        StartEndScrollTimer();
        return;
    }
    CRect thumb = ThumbRect();
    if (point.y >= TrackTop() && point.y < thumb.top) {
        PostScroll(SB_PAGEUP);
        StartEndScrollTimer();
    } else if (point.y >= thumb.bottom && point.y < m_downRect.top) {
        SCROLLINFO info;
        if (ListScrollInfo(info)) {
            int last = LastPosition(info);
            if (info.nPos + static_cast<int>(info.nPage) > last) {
                PostScroll(SB_THUMBPOSITION, static_cast<WORD>(std::max(last, 0)));
                SetTimer(kTimerJumpToEnd, 20);
                return;
            }
        }
        PostScroll(SB_PAGEDOWN);
        StartEndScrollTimer();
    }
}

LRESULT CVScrollBar::OnKillFocus(WPARAM, LPARAM)
{
    HandCaptureToList();
    if (m_list)
        ::PostMessageW(m_list, WM_KILLFOCUS, 0, 0);
    return 0;
}

BOOL CVScrollBar::OnEraseBkgnd(HDC)
{
    return TRUE;  // all painting happens in OnPaint
}

void CVScrollBar::OnPaint()
{
    CPaintDC paint(m_hWnd);
    SCROLLINFO info;
    if (!ListScrollInfo(info) || LastPosition(info) < 1)
        return;

    CRect client = GetClientRect();
    CBitmap canvas;  // declared first: the DC puts its selection back before the bitmap dies
    if (!canvas.CreateCompatibleBitmap(paint, client.Width(), client.Height()))
        return;
    CMemoryDC memory(paint);
    memory.SelectObject(static_cast<HBITMAP>(canvas));
    memory.FillSolidRect(client, m_backColor);

    CMemoryDC source(paint);
    auto draw = [&](VScrollSkin::Part part, int y) {
        if (!m_skin.bitmaps[part])
            return;
        source.SelectObject(m_skin.bitmaps[part]);
        int x = (client.Width() - PartWidth(part)) / 2;
        memory.BitBlt(x, y, PartWidth(part), PartHeight(part), source, 0, 0, SRCCOPY);
    };

    int spineTop = PartHeight(VScrollSkin::Top);
    int spineBottom = client.Height() - PartHeight(VScrollSkin::Bottom);
    if (PartHeight(VScrollSkin::Spine) > 0) {
        for (int y = spineTop; y < spineBottom; y += PartHeight(VScrollSkin::Spine))
            draw(VScrollSkin::Spine, y);
    }
    draw(VScrollSkin::Top, 0);
    draw(VScrollSkin::Bottom, spineBottom);
    draw(VScrollSkin::ArrowUp, m_upRect.top);
    draw(VScrollSkin::ArrowDown, m_downRect.top);
    draw(VScrollSkin::Thumb, ThumbRect().top);
    source.RestoreSelections();

    DrawBorder(memory, client, m_borderWidth, m_borderColor);
    paint.BitBlt(0, 0, client.Width(), client.Height(), memory, 0, 0, SRCCOPY);
    memory.RestoreSelections();
}

void PassPressOn(HWND list, UINT message, UINT flags, POINT point, HWND except)
{
    if (::GetCapture() == list)
        ::ReleaseCapture();
    CPoint screen = point;
    ::ClientToScreen(list, &screen);
    HWND target = ::WindowFromPoint(screen);
    if (!target || target == list || ::GetWindowThreadProcessId(target, nullptr) != ::GetCurrentThreadId())
        return;
    if (except && (target == except || ::IsChild(except, target)))
        return;
    LRESULT hit = ::SendMessageW(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    if (hit == HTCLIENT) {
        CPoint client = screen;
        ::ScreenToClient(target, &client);
        ::PostMessageW(target, message, flags, MAKELPARAM(client.x, client.y));
    } else if (message == WM_LBUTTONDOWN && hit != HTNOWHERE && hit != HTERROR) {
        ::PostMessageW(target, WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), MAKELPARAM(screen.x, screen.y));
    }
}

bool ScrollListByBar(CListCtrl& list, WPARAM wParam, int rowHeight)
{
    const int code = LOWORD(wParam);
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
        list.Scroll(0, (static_cast<int>(HIWORD(wParam)) - list.GetTopIndex()) * rowHeight);
        return true;
    }
    return code == SB_LINEDOWN && list.GetTopIndex() + list.GetCountPerPage() >= list.GetItemCount();
}
