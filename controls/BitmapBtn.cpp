#include "controls/BitmapBtn.h"

#include <algorithm>
#include <memory>

#include "platform/BitmapHelpers.h"
#include "platform/Dc.h"
#include "platform/WStr.h"
#include "skin/FontItem.h"
#include "skin/LangTable.h"

BEGIN_MSG_MAP(CBitmapBtn, CWnd)
    ON_DRAWITEM_REFLECT(DrawItem)
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
    ON_WM_TIMER()
    ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MSG_MAP()

bool CreateFallbackFont(CFont& font)
{
    return CreateSkinFont(kSkinFontHeight, font);
}

std::wstring CaptionText(const wchar_t* key, int caseMode)
{
    std::wstring text;
    TranslateText(key ? key : L"", text);
    // The line break first: upper case would turn "\n" into "\N".
    size_t lineBreak = text.find(L"\\n");
    if (lineBreak != std::wstring::npos)
        text.replace(lineBreak, 2, L"\r\n");
    if (caseMode == 2)
        text = wstr::ToLower(text);
    else if (caseMode == 1)
        text = wstr::ToUpper(text);
    return text;
}

CBitmapBtn::CBitmapBtn()
{
    kind = ItemKind::BitmapBtn;
}

CBitmapBtn::~CBitmapBtn()
{
    if (m_hWnd && m_blinkInterval)
        KillTimer(kBlinkTimerId);
}

bool CBitmapBtn::Create(const wchar_t* caption, DWORD style, const RECT& rect, HWND parent, UINT id)
{
    if (!CreateEx(0, L"BUTTON", caption ? caption : L"", (style | WS_CHILD) & ~(WS_TABSTOP | WS_BORDER), rect,
                  parent, id))
        return false;
    window = m_hWnd;
    // Owner-drawn whatever the style asked for; the pictures do all the drawing.
    const DWORD created = GetStyle();
    if ((created & BS_TYPEMASK) != BS_OWNERDRAW)
        SendMessage(BM_SETSTYLE, LOWORD(created) | BS_OWNERDRAW, TRUE);
    return true;
}

void CBitmapBtn::SetBitmaps(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled, int left, int top,
                            int right, int bottom)
{
    CClientDC dc(m_hWnd);
    HBITMAP sources[kStateCount] = {normal, over, down, disabled};
    for (int i = 0; i < kStateCount; ++i) {
        CBitmapHandle copy;
        if (CopyBitmapRect(copy, dc, sources[i], left, top, right, bottom))
            m_copies[i].Attach(copy.Detach());
        else
            m_copies[i].DeleteObject();
        m_pictures[i] = m_copies[i];
    }
    // A mask copied before is of the same size and drawn from its origin too.
    if (m_mask && m_mask != static_cast<HBITMAP>(m_maskCopy))
        m_mask = nullptr;
    m_source = CRect(0, 0, right - left, bottom - top);
    ModifyStyle(WS_BORDER | WS_TABSTOP, 0);
    Invalidate(FALSE);
}

void CBitmapBtn::SetBitmapsWithMask(HBITMAP mask, HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled,
                                    const RECT& rect)
{
    if (mask) {
        CClientDC dc(m_hWnd);
        CBitmapHandle copy;
        if (CopyBitmapRect(copy, dc, mask, rect.left, rect.top, rect.right, rect.bottom)) {
            m_maskCopy.Attach(copy.Detach());
            m_mask = m_maskCopy;
        }
        if (m_mask)
            ShapeByMask(m_mask, CRect(0, 0, rect.right - rect.left, rect.bottom - rect.top));
    }
    SetBitmaps(normal, over, down, disabled, rect.left, rect.top, rect.right, rect.bottom);
}

void CBitmapBtn::ShareBitmaps(HBITMAP mask, HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled,
                              const RECT& rect)
{
    const HBITMAP sources[kStateCount] = {normal, over, down, disabled};
    for (int i = 0; i < kStateCount; ++i) {
        m_copies[i].DeleteObject();
        m_pictures[i] = sources[i];
    }
    m_source = rect;
    m_maskCopy.DeleteObject();
    m_mask = mask;
    if (mask)
        ShapeByMask(mask, rect);
    ModifyStyle(WS_BORDER | WS_TABSTOP, 0);
    Invalidate(FALSE);
}

void CBitmapBtn::ShapeByMask(HBITMAP mask, const RECT& rect)
{
    if (m_regionSet)
        return;
    CRgnHandle region = CreateRegionFromBitmap(mask, rect);
    if (region && SetWindowRgn(region)) {
        m_regionSet = true;
    }
}

HBITMAP CBitmapBtn::OwnPicture(State state) const
{
    if (!m_copies[state] && m_pictures[state]) {
        CBitmapHandle copy;
        if (CopyBitmapRect(copy, nullptr, m_pictures[state], m_source.left, m_source.top, m_source.right,
                           m_source.bottom))
            m_copies[state].Attach(copy.Detach());
    }
    return m_copies[state];
}

void CBitmapBtn::SetState(bool checked)
{
    if (m_checked == checked)
        return;
    m_checked = checked;
    Invalidate(FALSE);
}

void CBitmapBtn::SetHighlighted(bool highlighted)
{
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    Invalidate(FALSE);
}

void CBitmapBtn::SetCaption(const wchar_t* key, int caseMode)
{
    m_caption = CaptionText(key, caseMode);
    Invalidate(FALSE);
}

void CBitmapBtn::SetItemFont(CFontItem* font)
{
    m_font = font;
    if (font && m_hWnd)
        SetFont(*font, FALSE);
}

void CBitmapBtn::SetTextColors(COLORREF normal, COLORREF hover, COLORREF down, COLORREF disabled)
{
    m_textNormal = normal;
    m_textHover = hover;
    m_textDown = down;
    m_textDisabled = disabled;
}

void CBitmapBtn::SetBlink(UINT intervalMs)
{
    m_blinkInterval = intervalMs;
    m_blinkPicture = Normal;
    if (intervalMs)
        SetTimer(kBlinkTimerId, intervalMs);
    else
        KillTimer(kBlinkTimerId);
    Invalidate(FALSE);
}

BOOL CBitmapBtn::PreTranslateMessage(MSG* msg)
{
    m_toolTip.Relay(m_hWnd, msg);
    return CWnd::PreTranslateMessage(msg);
}

BOOL CBitmapBtn::OnEraseBkgnd(HDC)
{
    // The pictures cover the client area. Where a mask leaves a hole, the composition keeps what the
    // parent painted there; an erase would first fill it with the button colour, and Wine does not
    // clip a child window's painting to its region, so that colour would show in the hole.
    return TRUE;
}

// ---- Input -------------------------------------------------------------------------------------

void CBitmapBtn::OnMouseMove(UINT flags, CPoint point)
{
    CPoint screen = point;
    ClientToScreen(&screen);
    if (::WindowFromPoint(screen) == m_hWnd) {
        if (::GetCapture() != m_hWnd && GetParent() && ::GetActiveWindow()) {
            m_hover = true;
            SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            ::SetCapture(m_hWnd);
            Invalidate(FALSE);
        }
    } else if (m_hover || ::GetCapture() == m_hWnd) {
        m_hover = false;
        Invalidate(FALSE);
        if (!(flags & MK_LBUTTON) && ::GetCapture() == m_hWnd)
            ::ReleaseCapture();
    }
    Default();
}

LRESULT CBitmapBtn::OnCaptureChanged(WPARAM, LPARAM lParam)
{
    // The capture went elsewhere: the button can no longer see the pointer leave, so it stops
    // showing the over picture until the pointer comes back.
    if (m_hover && reinterpret_cast<HWND>(lParam) != m_hWnd) {
        m_hover = false;
        Invalidate(FALSE);
    }
    return Default();
}

LRESULT CBitmapBtn::OnKillFocus(WPARAM, LPARAM)
{
    m_hover = false;
    Invalidate(FALSE);
    return Default();
}

void CBitmapBtn::OnLButtonDown(UINT, CPoint)
{
    HWND root = ::GetAncestor(m_hWnd, GA_ROOT);
    if (root && root != ::GetActiveWindow())
        ::SetActiveWindow(root);
    if (!m_checkBoxMode) {
        Default();
        return;
    }
    if (m_toggle)
        m_checked = !m_checked;
    Invalidate(FALSE);
    if (HWND parent = GetParent())
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CBitmapBtn::OnLButtonDblClk(WPARAM wParam, LPARAM lParam)
{
    // The button class asks for double clicks, and for an owner-drawn button the system would turn
    // the second press into BN_DOUBLECLICKED, which no owner handles: the second click would be
    // lost. Sent back through the window procedure as a press, it runs every class's press handling
    // (a key item's notice included) and the default press of a push button.
    return SendMessage(WM_LBUTTONDOWN, wParam, lParam);
}

void CBitmapBtn::OnLButtonUp(UINT, CPoint)
{
    if (m_checkBoxMode)
        return;
    Default();
    Invalidate(FALSE);
}

void CBitmapBtn::OnTimer(UINT_PTR id)
{
    if (id != kBlinkTimerId) {
        Default();
        return;
    }
    KillTimer(kBlinkTimerId);
    if (!m_blinkInterval)
        return;
    m_blinkPicture = m_blinkPicture == Normal ? Down : Normal;
    SetTimer(kBlinkTimerId, m_blinkInterval);
    Invalidate(FALSE);
}

// ---- Drawing -----------------------------------------------------------------------------------

CBitmapBtn::State CBitmapBtn::PictureFor(UINT itemState) const
{
    bool disabled = (itemState & ODS_DISABLED) != 0;
    bool pressed = (itemState & ODS_SELECTED) != 0;
    State state;
    if (m_checkBoxMode) {
        if (m_checked)
            state = Down;
        else if (!disabled && (m_hover || m_highlighted))
            state = Over;
        else
            state = Normal;
    } else if (disabled) {
        state = Disabled;
    } else if (m_checked || pressed) {
        state = Down;
    } else if (m_hover || m_highlighted) {
        state = Over;
    } else {
        state = Normal;
    }
    return state == Normal && m_blinkInterval ? m_blinkPicture : state;
}

COLORREF CBitmapBtn::TextColorFor(UINT itemState) const
{
    COLORREF colour;
    if (m_checked || (itemState & ODS_SELECTED))
        colour = m_textDown;
    else if (m_hover)
        colour = m_textHover;
    else if (itemState & ODS_DISABLED)
        colour = m_textDisabled;
    else
        colour = m_textNormal;
    return colour ? colour : kFallbackTextColor;
}

void CBitmapBtn::ComposePicture(CDC& target, HDC windowDc, const CRect& client, State state) const
{
    // The picture covers at most its own size; the rest of the canvas stays as it was made.
    const int width = std::min(client.Width(), m_source.Width());
    const int height = std::min(client.Height(), m_source.Height());
    const HBITMAP picture = m_pictures[state];
    if (!m_mask) {
        if (picture) {
            CMemoryDC source(target);
            source.SelectObject(picture);
            target.BitBlt(0, 0, width, height, source, m_source.left, m_source.top, SRCCOPY);
        }
        return;
    }
    // Background where the mask is white, the picture where it is black.
    target.BitBlt(0, 0, client.Width(), client.Height(), windowDc, 0, 0, SRCCOPY);
    ::PaintThroughMask(target, CRect(0, 0, width, height), picture, m_source.TopLeft(), m_mask, m_source.TopLeft());
}

void CBitmapBtn::PaintThroughMask(CDC& target, const CRect& area, HBITMAP picture, HBITMAP mask)
{
    ::PaintThroughMask(target, area, picture, mask);
}

void CBitmapBtn::DrawOverPicture(CDC&, UINT) {}

void CBitmapBtn::DrawCaption(CDC& dc, const CRect& client, COLORREF colour)
{
    if (!m_font && !m_fallbackFont)
        CreateFallbackFont(m_fallbackFont);
    dc.SelectObject(m_font ? static_cast<HFONT>(*m_font) : static_cast<HFONT>(m_fallbackFont));
    dc.SetTextColor(colour);
    dc.SetBkMode(TRANSPARENT);
    CRect textRect = client;
    if (!(m_format & DT_SINGLELINE)) {
        CRect measured = client;
        dc.DrawText(m_caption, &measured, DT_CALCRECT | DT_WORDBREAK);
        textRect.top = client.top + (client.Height() - measured.Height()) / 2;
        textRect.bottom = textRect.top + measured.Height();
    }
    std::wstring text = m_caption;  // DT_MODIFYSTRING may write into it
    text.reserve(text.size() + 4);
    dc.DrawText(text, &textRect, m_format & ~DT_MODIFYSTRING);
}

namespace {

// The canvas every button paints on before its picture goes to its window in one blit. Buttons
// paint one at a time, on the window thread.
CScratchDC& PaintCanvas()
{
    static CScratchDC canvas;
    return canvas;
}

} // namespace

void CBitmapBtn::Paint(HDC canvas, HDC under, const CRect& client, UINT itemState)
{
    CDC dc(canvas);
    // A paint starts on black, which the picture covers as far as it reaches; a shaped button
    // starts from what lies under it.
    if (!m_mask)
        dc.FillSolidRect(client, RGB(0, 0, 0));
    ComposePicture(dc, under, client, PictureFor(itemState));
    DrawOverPicture(dc, itemState);
    if (!m_caption.empty())
        DrawCaption(dc, client, TextColorFor(itemState));
}

LRESULT CBitmapBtn::OnPrintClient(WPARAM wParam, LPARAM lParam)
{
    // The drawing the control would ask for, made here: the control's own round (a colour question
    // and a drawing request to the parent, which hands it back here) cost more than the drawing.
    const HDC dc = reinterpret_cast<HDC>(wParam);
    if (!dc || ((lParam & PRF_CHECKVISIBLE) && !IsWindowVisible()))
        return 0;
    const LRESULT state = SendMessage(BM_GETSTATE);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID());
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = ((state & BST_FOCUS) ? ODS_FOCUS : 0) | ((state & BST_PUSHED) ? ODS_SELECTED : 0) |
                     (IsWindowEnabled() ? 0 : ODS_DISABLED);
    item.hwndItem = m_hWnd;
    item.hDC = dc;
    item.rcItem = GetClientRect();
    DrawItem(&item);
    return 0;
}

void CBitmapBtn::DrawItem(DRAWITEMSTRUCT* item)
{
    CDC windowDc(item->hDC);
    const CRect client = GetClientRect();
    const HDC canvas = PaintCanvas().Get(windowDc, client.Width(), client.Height());
    if (!canvas)
        return;
    Paint(canvas, windowDc, client, item->itemState);
    windowDc.BitBlt(0, 0, client.Width(), client.Height(), canvas, 0, 0, SRCCOPY);
}

