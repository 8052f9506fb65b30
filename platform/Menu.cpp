#include "platform/Menu.h"

#include <utility>

#include "platform/WinApp.h"

CMenu::~CMenu()
{
    DestroyMenu();
}

CMenu::CMenu(CMenu&& other) noexcept : m_menu(std::exchange(other.m_menu, nullptr)), m_owned(other.m_owned)
{
    other.m_owned = false;
}

CMenu& CMenu::operator=(CMenu&& other) noexcept
{
    if (this != &other) {
        DestroyMenu();
        m_menu = std::exchange(other.m_menu, nullptr);
        m_owned = std::exchange(other.m_owned, false);
    }
    return *this;
}

CMenu CMenu::FromHandle(HMENU menu) noexcept
{
    return CMenu(menu, false);
}

bool CMenu::LoadMenu(UINT id)
{
    DestroyMenu();
    m_menu = ::LoadMenuW(CWinApp::ResourceInstance(), MAKEINTRESOURCEW(id));
    m_owned = m_menu != nullptr;
    return m_menu != nullptr;
}

bool CMenu::CreatePopupMenu()
{
    DestroyMenu();
    m_menu = ::CreatePopupMenu();
    m_owned = m_menu != nullptr;
    return m_menu != nullptr;
}

bool CMenu::CreateMenu()
{
    DestroyMenu();
    m_menu = ::CreateMenu();
    m_owned = m_menu != nullptr;
    return m_menu != nullptr;
}

void CMenu::DestroyMenu()
{
    if (m_menu && m_owned)
        ::DestroyMenu(m_menu);
    m_menu = nullptr;
    m_owned = false;
}

HMENU CMenu::Detach() noexcept
{
    m_owned = false;
    return std::exchange(m_menu, nullptr);
}

CMenu CMenu::GetSubMenu(int position) const
{
    return CMenu(m_menu ? ::GetSubMenu(m_menu, position) : nullptr, false);
}

std::wstring CMenu::GetMenuString(UINT item, UINT flags) const
{
    const int length = ::GetMenuStringW(m_menu, item, nullptr, 0, flags);
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetMenuStringW(m_menu, item, &text[0], length + 1, flags);
    text.resize(copied > 0 && copied <= length ? static_cast<size_t>(copied) : 0);
    return text;
}

bool CMenu::IsChecked(UINT item, UINT flags) const
{
    const UINT state = GetMenuState(item, flags);
    return state != 0xFFFFFFFF && (state & MF_CHECKED);
}

bool CMenu::IsGrayed(UINT item, UINT flags) const
{
    const UINT state = GetMenuState(item, flags);
    return state != 0xFFFFFFFF && (state & MF_GRAYED);
}

bool CMenu::AppendMenu(UINT flags, UINT_PTR id, const wchar_t* text)
{
    return ::AppendMenuW(m_menu, flags, id, text) != FALSE;
}

bool CMenu::AppendSubMenu(CMenu&& sub, const wchar_t* text)
{
    if (!sub.m_menu || !::AppendMenuW(m_menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub.m_menu), text))
        return false;
    sub.Detach();  // destroyed with this menu from now on
    return true;
}

bool CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR id, const wchar_t* text)
{
    return ::InsertMenuW(m_menu, position, flags, id, text) != FALSE;
}

bool CMenu::SetDefaultItem(UINT item, bool byPosition)
{
    return ::SetMenuDefaultItem(m_menu, item, byPosition) != FALSE;
}

UINT CMenu::GetDefaultItem(bool byPosition) const
{
    return ::GetMenuDefaultItem(m_menu, byPosition, 0);
}

UINT CMenu::TrackPopupMenu(UINT flags, int x, int y, HWND owner) const
{
    return static_cast<UINT>(::TrackPopupMenu(m_menu, flags, x, y, 0, owner, nullptr));
}
