#include "ItemToolTip.h"

#include <commctrl.h>

#include "LangTable.h"

namespace {

constexpr UINT_PTR kToolId = 1;

TTTOOLINFOW ToolInfo(HWND item)
{
    TTTOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.uFlags = 0;  // the item relays its messages itself
    info.hwnd = item;
    info.uId = kToolId;
    ::GetClientRect(item, &info.rect);
    return info;
}

} // namespace

std::wstring ToolTipText(const std::wstring& translated)
{
    std::wstring text;
    text.reserve(translated.size());
    for (size_t i = 0; i < translated.size(); ++i) {
        if (translated[i] == L'\\' && i + 1 < translated.size() && translated[i + 1] == L'n') {
            text += L' ';
            ++i;
        } else {
            text += translated[i];
        }
    }
    return text;
}

bool CItemToolTip::EnsureWindow(HWND item)
{
    if (m_window.m_hWnd)
        return true;
    if (!item)
        return false;
    // A popup sized by the control itself.
    if (!m_window.CreateEx(0, TOOLTIPS_CLASSW, nullptr, 0, CRect(), item, 0))
        return false;
    m_hasTool = false;
    m_window.SendMessage(TTM_ACTIVATE, FALSE, 0);
    return true;
}

void CItemToolTip::Relay(HWND item, MSG* msg)
{
    if (EnsureWindow(item) && msg)
        m_window.SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

void CItemToolTip::SetText(HWND item, const wchar_t* key)
{
    if (!EnsureWindow(item))
        return;
    std::wstring translated;
    TranslateText(key ? key : L"", translated);
    m_text = ToolTipText(translated);

    TTTOOLINFOW info = ToolInfo(item);
    info.lpszText = const_cast<wchar_t*>(m_text.c_str());
    if (!m_hasTool) {
        m_hasTool = m_window.SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
    } else {
        m_window.SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    }
    m_window.SendMessage(TTM_ACTIVATE, TRUE, 0);
}
