#include "platform/CommonControls.h"

#include <atomic>

void EnsureCommonControls(DWORD classes)
{
    // Registering again is harmless: the flags only spare the calls.
    static std::atomic<DWORD> registered{0};
    if ((registered.load() & classes) == classes)
        return;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), classes};
    if (::InitCommonControlsEx(&icc))
        registered |= classes;
}

namespace {

constexpr DWORD kOwnClasses = ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS;

} // namespace

bool CSliderCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    EnsureCommonControls(kOwnClasses);
    return CreateEx(0, TRACKBAR_CLASSW, L"", style | WS_CHILD, rect, parent, id);
}

void CSliderCtrl::SetRange(int min, int max, bool redraw) const
{
    SendMessage(TBM_SETRANGEMIN, FALSE, min);
    SendMessage(TBM_SETRANGEMAX, redraw, max);
}

bool CSpinButtonCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    EnsureCommonControls(kOwnClasses);
    return CreateEx(0, UPDOWN_CLASSW, L"", style | WS_CHILD, rect, parent, id);
}

void CSpinButtonCtrl::GetRange32(int* lower, int* upper) const
{
    int l = 0;
    int u = 0;
    SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&l), reinterpret_cast<LPARAM>(&u));
    if (lower)
        *lower = l;
    if (upper)
        *upper = u;
}

int CSpinButtonCtrl::GetPos32(bool* error) const
{
    BOOL failed = FALSE;
    const int pos = static_cast<int>(SendMessage(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    if (error)
        *error = failed != FALSE;
    return pos;
}

bool CHotKeyCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    EnsureCommonControls(kOwnClasses);
    return CreateEx(0, HOTKEY_CLASSW, L"", style | WS_CHILD, rect, parent, id);
}

void CHotKeyCtrl::GetHotKey(WORD* virtualKey, WORD* modifiers) const
{
    const WORD hotKey = LOWORD(SendMessage(HKM_GETHOTKEY));
    if (virtualKey)
        *virtualKey = LOBYTE(hotKey);
    if (modifiers)
        *modifiers = HIBYTE(hotKey);
}

void CHotKeyCtrl::SetHotKey(WORD virtualKey, WORD modifiers) const
{
    SendMessage(HKM_SETHOTKEY, MAKEWORD(LOBYTE(virtualKey), LOBYTE(modifiers)));
}

void CHotKeyCtrl::SetRules(WORD invalidCombinations, WORD modifiers) const
{
    SendMessage(HKM_SETRULES, invalidCombinations, MAKELPARAM(modifiers, 0));
}
