// CListPanel: the modal popup that holds a CListPanelList.
#include "controls/ListPanel.h"

#include "controls/ControlMessages.h"
#include "controls/VScrollBar.h"
#include "platform/Dc.h"

namespace {

constexpr UINT kListId = 1;  // unique among the panel's children: the scroll bar is 0xFFFF
// Posted from the dialog's initialisation, so that it is handled once the popup is shown and
// active: only then can the list take the focus and keep it.
constexpr UINT kWmReady = WM_APP + 0x31;

} // namespace

BEGIN_MSG_MAP(CListPanel, CPopupBox)
    ON_WM_PAINT()
    ON_MESSAGE(WM_MOUSEWHEEL, OnMouseWheel)
    ON_MESSAGE(WM_LISTPANEL_SELECT, OnSelect)
    ON_MESSAGE(kWmReady, OnReady)
END_MSG_MAP()

CListPanel::CListPanel(CWnd* owner, const RECT& screenRect, const std::vector<ListEntry>& entries, bool dataMode,
                       bool openTop)
    : CPopupBox(CRect(0, 0, screenRect.right - screenRect.left, screenRect.bottom - screenRect.top), owner),
      m_entries(entries), m_dataMode(dataMode), m_openTop(openTop), m_screenRect(screenRect)
{
}

CListPanel::~CListPanel()
{
    if (m_list.IsWindow())
        m_list.DestroyWindow();
}

BOOL CListPanel::OnInitDialog()
{
    m_ended = false;
    CPopupBox::OnInitDialog();
    SetWindowPos(nullptr, m_screenRect.left, m_screenRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int border = m_look.borderWidth > 0 ? m_look.borderWidth : 1;
    CRect inner = GetClientRect();
    inner.left += border;
    inner.right -= border;
    inner.bottom -= border;
    if (!m_openTop)
        inner.top += border;
    m_list.SetOpener(m_owner ? m_owner->GetSafeHwnd() : nullptr);
    if (!m_list.Create(m_entries, m_look, m_dataMode, inner, m_hWnd, kListId)) {
        End(-1);
        return FALSE;
    }
    PostMessage(kWmReady);
    return FALSE;  // the list takes the focus itself
}

LRESULT CListPanel::OnReady(WPARAM, LPARAM)
{
    if (m_ended || !m_list.IsWindow())
        return 0;
    m_list.SetFocus();
    if (!m_list.IsChosen() && ::GetCapture() != m_list.GetSafeHwnd())
        ::SetCapture(m_list.GetSafeHwnd());
    return 0;
}

void CListPanel::OnPaint()
{
    CPaintDC dc(m_hWnd);
    const CRect client = GetClientRect();
    const int border = m_look.borderWidth > 0 ? m_look.borderWidth : 1;
    dc.FillSolidRect(client, m_look.colors.back);
    const COLORREF colour = m_look.colors.border;
    dc.FillSolidRect(CRect(client.left, client.top, client.left + border, client.bottom), colour);
    dc.FillSolidRect(CRect(client.right - border, client.top, client.right, client.bottom), colour);
    dc.FillSolidRect(CRect(client.left, client.bottom - border, client.right, client.bottom), colour);
    if (!m_openTop)
        dc.FillSolidRect(CRect(client.left, client.top, client.right, client.top + border), colour);
}

LRESULT CListPanel::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    if (m_list.IsWindow())
        m_list.SendMessage(WM_MOUSEWHEEL, wParam, lParam);
    return 0;
}

LRESULT CListPanel::OnSelect(WPARAM, LPARAM lParam)
{
    End(static_cast<int>(lParam));
    return 0;
}

void CListPanel::OnOK()
{
    // Enter chooses the hot row; without one the panel stays.
    const int row = m_list.HotRow();
    if (row >= 0 && !m_list.IsRowDisabled(row))
        End(m_list.EntryIndexOfRow(row));
}

void CListPanel::OnCancel()
{
    End(-1);  // the dialog's own Cancel result (2) would read as a row
}

void CListPanel::End(int result)
{
    if (m_ended)
        return;  // a late focus loss of the list being destroyed ends nothing
    m_ended = true;
    if (m_list.IsWindow())
        m_list.DestroyWindow();
    EndDialog(result);
}
