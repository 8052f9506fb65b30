#include "controls/AVIButton.h"

#include <commctrl.h>

#include "platform/Dc.h"
#include "platform/WinApp.h"

BEGIN_MSG_MAP(CAVIButton, CWnd)
    ON_CONTROL_REFLECT(BN_DOUBLECLICKED, OnDoubleClicked)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
    ON_DRAWITEM_REFLECT(DrawItem)
END_MSG_MAP()

CAVIButton::CAVIButton()
{
    kind = ItemKind::AVIButton;
}

CAVIButton::~CAVIButton() = default;

bool CAVIButton::Create(const RECT& rect, HWND parent, UINT id)
{
    if (!CreateEx(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, parent, id))
        return false;
    window = m_hWnd;
    return true;
}

void CAVIButton::SetStillBitmap(HBITMAP bitmap)
{
    m_still.CopyFrom(bitmap);
    Invalidate(FALSE);
}

void CAVIButton::OnDoubleClicked()
{
    if (!m_animation.m_hWnd) {
        CRect client = GetClientRect();
        client.DeflateRect(1, 1, 0, 0);
        if (!m_animation.CreateEx(0, ANIMATE_CLASSW, L"", WS_CHILD | WS_VISIBLE, client, m_hWnd, 0))
            return;
        m_animation.SendMessage(ACM_OPENW, reinterpret_cast<WPARAM>(CWinApp::ResourceInstance()),
                                reinterpret_cast<LPARAM>(m_video.c_str()));
        m_playing = true;
    }
    m_animation.SendMessage(ACM_PLAY, 1, MAKELPARAM(0, 0xFFFF));
}

void CAVIButton::DrawItem(DRAWITEMSTRUCT* item)
{
    if (m_playing || !m_still)
        return;
    CDC dc(item->hDC);
    CRect client = GetClientRect();
    CSize size = m_still.GetSize();
    CMemoryDC source(dc);
    source.SelectObject(static_cast<HBITMAP>(m_still));
    int x = client.left + (client.Width() - size.cx) / 2;
    int y = client.top + (client.Height() - size.cy) / 2;
    dc.BitBlt(x, y, size.cx, size.cy, source, -10, 0, SRCCOPY);
}
