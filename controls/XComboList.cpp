#include "controls/XComboList.h"

#include <algorithm>

#include "platform/WndClass.h"

const UINT WM_XCOMBOLIST_VK_RETURN = ::RegisterWindowMessageW(L"WM_XCOMBOLIST_VK_RETURN");
const UINT WM_XCOMBOLIST_VK_ESCAPE = ::RegisterWindowMessageW(L"WM_XCOMBOLIST_VK_ESCAPE");
const UINT WM_XCOMBOLIST_KEYDOWN = ::RegisterWindowMessageW(L"WM_XCOMBOLIST_KEYDOWN");
const UINT WM_XCOMBOLIST_LBUTTONUP = ::RegisterWindowMessageW(L"WM_XCOMBOLIST_LBUTTONUP");

namespace {

constexpr UINT kListBoxId = 1;
constexpr UINT kScrollBarId = 2;

} // namespace

BEGIN_MSG_MAP(CXComboList, CWnd)
    ON_MESSAGE(WM_VSCROLL, OnVScroll)
    ON_WM_LBUTTONDOWN()
    ON_WM_DESTROY()
END_MSG_MAP()

BEGIN_MSG_MAP(CXComboList::CChoiceBox, CWnd)
    ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
    ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
END_MSG_MAP()

CXComboList::CXComboList(HWND listControl) : m_listControl(listControl), m_listBox(*this)
{
}

CXComboList::~CXComboList()
{
    if (m_hWnd)
        DestroyWindow();
}

CXComboList::CChoiceBox::~CChoiceBox()
{
    if (m_hWnd)
        DestroyWindow();
}

bool CXComboList::Create(const RECT& screenRect, HWND owner, HFONT font, const std::vector<std::wstring>& entries,
                         const std::wstring& current)
{
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_BORDER | WS_VSCROLL;
    if (!CreateEx(0, CWndClass::DefaultClass(), L"", style, screenRect, owner, 0))
        return false;
    const CRect client = GetClientRect();
    const CRect boxRect(1, 1, std::max<LONG>(1, client.right - kScrollBarWidth - 1), client.bottom - 1);
    if (!m_listBox.CreateEx(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, boxRect, m_hWnd,
                            kListBoxId) ||
        !m_scrollBar.CreateEx(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_VERT,
                              CRect(boxRect.right, 1, boxRect.right + kScrollBarWidth, client.bottom - 1), m_hWnd,
                              kScrollBarId)) {
        DestroyWindow();
        return false;
    }
    m_listBox.SetFont(font, FALSE);
    m_scrollBar.SetFont(font, FALSE);
    for (const std::wstring& entry : entries) {
        if (!entry.empty())
            m_listBox.SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    int selected = static_cast<int>(
        m_listBox.SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(current.c_str())));
    if (current.empty() || selected < 0)
        selected = 0;
    m_listBox.SendMessage(LB_SETCURSEL, static_cast<WPARAM>(selected));
    return true;
}

void CXComboList::FirstLayout()
{
    if (m_laidOut || !m_hWnd)
        return;
    m_laidOut = true;
    m_listBox.SetFocus();
    const int itemHeight = std::max(1, static_cast<int>(m_listBox.SendMessage(LB_GETITEMHEIGHT)));
    // Whole rows only: the window is cut to them, plus the frame.
    const CRect window = GetWindowRect();
    const int height = itemHeight * (window.Height() / itemHeight) + 4;
    SetWindowPos(nullptr, 0, 0, window.Width(), height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const CRect client = GetClientRect();
    const int boxWidth = std::max<LONG>(1, client.Width() - 12);
    m_listBox.MoveWindow(1, 1, boxWidth, std::max<LONG>(1, client.Height() - 2));
    m_scrollBar.MoveWindow(1 + boxWidth, 1, kScrollBarWidth, std::max<LONG>(1, client.Height() - 2));

    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = std::max(0, GetCount() - 1);
    info.nPage = static_cast<UINT>(VisibleRows());
    ::SetScrollInfo(m_scrollBar, SB_CTL, &info, TRUE);
    SetPosition(std::max(0, GetCurSel() - 1));
}

int CXComboList::VisibleRows() const
{
    const int itemHeight = std::max(1, static_cast<int>(m_listBox.SendMessage(LB_GETITEMHEIGHT)));
    return std::max(1, static_cast<int>(m_listBox.GetClientRect().Height()) / itemHeight);
}

int CXComboList::GetCurSel() const
{
    return static_cast<int>(m_listBox.SendMessage(LB_GETCURSEL));
}

int CXComboList::GetCount() const
{
    return static_cast<int>(m_listBox.SendMessage(LB_GETCOUNT));
}

int CXComboList::GetTopIndex() const
{
    return static_cast<int>(m_listBox.SendMessage(LB_GETTOPINDEX));
}

std::wstring CXComboList::GetSelectedText() const
{
    const int selected = GetCurSel();
    if (selected < 0)
        return std::wstring();
    const int length = static_cast<int>(m_listBox.SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(selected)));
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = static_cast<int>(
        m_listBox.SendMessage(LB_GETTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&text[0])));
    text.resize(static_cast<size_t>(std::clamp(copied, 0, length)));
    return text;
}

void CXComboList::Tell(UINT message) const
{
    if (m_listControl && ::IsWindow(m_listControl))
        ::SendMessageW(m_listControl, message, 0, 0);
}

void CXComboList::SetPosition(int position)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ::GetScrollInfo(m_scrollBar, SB_CTL, &info);
    const int last = std::max(info.nMin, info.nMax - std::max(static_cast<int>(info.nPage), 1) + 1);
    position = std::clamp(position, info.nMin, last);
    ::SetScrollPos(m_scrollBar, SB_CTL, position, TRUE);
    m_listBox.SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(position));
}

bool CXComboList::MoveForKey(UINT key)
{
    const int count = GetCount();
    const int selected = std::max(GetCurSel(), 0);
    const int page = VisibleRows();
    int target = selected;
    switch (key) {
    case VK_PRIOR:
        target = selected - page + 1;
        break;
    case VK_NEXT:
        target = selected + page - 1;
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = count - 1;
        break;
    case VK_UP:
        target = selected - 1;
        break;
    case VK_DOWN:
        target = selected + 1;
        break;
    default:
        if (key < 'A' || key > 'Z')
            return false;
        {
            const wchar_t prefix[2] = {static_cast<wchar_t>(key), L'\0'};
            const int found = static_cast<int>(m_listBox.SendMessage(LB_FINDSTRING, static_cast<WPARAM>(selected),
                                                                     reinterpret_cast<LPARAM>(prefix)));
            if (found >= 0)
                target = found;
        }
        break;
    }
    if (count <= 0)
        return true;
    target = std::clamp(target, 0, count - 1);
    m_listBox.SendMessage(LB_SETCURSEL, static_cast<WPARAM>(target));
    Tell(WM_XCOMBOLIST_KEYDOWN);
    if (m_hWnd)
        SetPosition(target);
    return true;
}

LRESULT CXComboList::OnVScroll(WPARAM wParam, LPARAM)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ::GetScrollInfo(m_scrollBar, SB_CTL, &info);
    const int page = std::max(static_cast<int>(info.nPage), 1);
    int position = info.nPos;
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        --position;
        break;
    case SB_LINEDOWN:
        ++position;
        break;
    case SB_PAGEUP:
        position -= page;
        break;
    case SB_PAGEDOWN:
        position += page;
        break;
    case SB_TOP:
        position = info.nMin;
        break;
    case SB_BOTTOM:
        position = info.nMax;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        position = info.nTrackPos;
        break;
    default:
        return 0;
    }
    SetPosition(position);
    return 0;
}

void CXComboList::OnLButtonDown(UINT, CPoint)
{
    Tell(WM_XCOMBOLIST_LBUTTONUP);
}

void CXComboList::OnDestroy()
{
    m_listBox.DestroyWindow();
    Default();
}

LRESULT CXComboList::CChoiceBox::OnKeyDown(WPARAM wParam, LPARAM)
{
    // Handled in the list box's own procedure rather than in a loop's pre-translation, so that the
    // keys work whichever loop delivers them.
    const UINT key = static_cast<UINT>(wParam);
    if (key == VK_RETURN || key == VK_ESCAPE) {
        HWND self = m_hWnd;
        m_owner.Tell(key == VK_RETURN ? WM_XCOMBOLIST_VK_RETURN : WM_XCOMBOLIST_VK_ESCAPE);
        return ::IsWindow(self) ? Default() : 0;
    }
    if (m_owner.MoveForKey(key))
        return 0;
    return Default();
}

LRESULT CXComboList::CChoiceBox::OnLButtonUp(WPARAM, LPARAM)
{
    HWND self = m_hWnd;
    LRESULT result = Default();
    if (::IsWindow(self))
        m_owner.Tell(WM_XCOMBOLIST_LBUTTONUP);
    return result;
}

LRESULT CXComboList::CChoiceBox::OnKillFocus(WPARAM, LPARAM)
{
    LRESULT result = Default();
    if (++m_owner.m_lostFocus == kLostFocusLimit)
        m_owner.Tell(WM_XCOMBOLIST_VK_ESCAPE);
    return result;
}

LRESULT CXComboList::CChoiceBox::OnGetDlgCode(WPARAM, LPARAM)
{
    return Default() | DLGC_WANTALLKEYS;
}
