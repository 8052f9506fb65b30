#include "KeyboardKeyItem.h"

#include "KeyboardDef.h"

BEGIN_MSG_MAP(CKeyboardKeyItem, CBitmapBtn)
    HV_ON_MOUSE(WM_MOUSEMOVE, OnKeyMouseMove)
    HV_ON_MOUSE(WM_LBUTTONDOWN, OnKeyLButtonDown)
END_MSG_MAP()

CKeyboardKeyItem::CKeyboardKeyItem()
{
    kind = ItemKind::KeyboardKeyItem;
    m_checkBoxMode = true;
    m_toggle = false;
}

CKeyboardKeyItem::~CKeyboardKeyItem() = default;

void CKeyboardKeyItem::Notify(UINT message) const
{
    HWND target = m_ownerWindow ? m_ownerWindow : GetParent();
    if (target)
        ::SendMessageW(target, message, 0, static_cast<LPARAM>(id));
}

void CKeyboardKeyItem::OnKeyMouseMove(UINT flags, CPoint point)
{
    Notify(WM_KBDKEY_HOVER);
    OnMouseMove(flags, point);
}

void CKeyboardKeyItem::OnKeyLButtonDown(UINT flags, CPoint point)
{
    Notify(WM_KBDKEY_CLICKED);
    OnLButtonDown(flags, point);
}

void CKeyboardKeyItem::UpdateKeyName()
{
    KeyCode code = GetKeyboardDef().GetKeyCode(m_hash);
    m_scanCode = static_cast<uint16_t>(code.code);
    m_extended = (code.flags & 1) != 0;
    m_virtualKey = ::MapVirtualKeyExW(m_scanCode, MAPVK_VSC_TO_VK_EX, ::GetKeyboardLayout(0));
    if (m_caption.empty()) {
        LONG lParam = static_cast<LONG>(m_scanCode << 16);
        if (m_extended)
            lParam |= 1 << 24;
        wchar_t name[257] = {};
        if (::GetKeyNameTextW(lParam, name, 256) > 0)
            m_caption = name;
    }
    SetToolTip(m_caption.c_str());
    Invalidate(FALSE);
}

CBitmapBtn::State CKeyboardKeyItem::PictureFor(UINT itemState) const
{
    if (!(itemState & ODS_DISABLED) && (m_hover || m_highlighted))
        return Over;
    return m_checked ? Down : Normal;
}

COLORREF CKeyboardKeyItem::TextColorFor(UINT itemState) const
{
    bool pressed = (itemState & ODS_SELECTED) != 0;
    COLORREF colour;
    if (m_checked || pressed)
        colour = m_textDown;
    else if (pressed != m_hover)
        colour = m_textHover;
    else if (itemState & ODS_DISABLED)
        colour = m_textDisabled;
    else
        colour = m_textNormal;
    return colour ? colour : kFallbackTextColor;
}
