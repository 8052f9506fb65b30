#include "controls/KeyboardKeyItem.h"

#include "core/KeyboardDef.h"
#include "platform/BitmapHelpers.h"

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
    // Scan code 0 is no key: the system would name whatever it maps 0 to.
    if (m_caption.empty() && m_scanCode != 0) {
        LONG lParam = static_cast<LONG>(m_scanCode << 16);
        if (m_extended)
            lParam |= 1 << 24;
        wchar_t name[257] = {};
        if (::GetKeyNameTextW(lParam, name, 256) > 0)
            m_caption = name;
    }
    SetToolTip(m_toolTipText.empty() ? m_caption.c_str() : m_toolTipText.c_str());
    Invalidate(FALSE);
}

void CKeyboardKeyItem::SetKeyToolTip(const wchar_t* key)
{
    m_toolTipText = key ? key : L"";
    SetToolTip(m_toolTipText.c_str());
}

void CKeyboardKeyItem::SetExtraPicture(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled, HBITMAP mask,
                                       const RECT& place)
{
    CClientDC dc(m_hWnd);
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    auto copy = [&](CBitmap& target, HBITMAP source) {
        CBitmapHandle part;
        if (CopyBitmapRect(part, dc, source, 0, 0, width, height))
            target.Attach(part.Detach());
        else
            target.DeleteObject();
    };
    HBITMAP sources[kStateCount] = {normal, over, down, disabled};
    for (int i = 0; i < kStateCount; ++i)
        copy(m_extra[i], sources[i]);
    copy(m_extraMask, mask);
    m_extraPlace = place;
    Invalidate(FALSE);
}

void CKeyboardKeyItem::DrawOverPicture(CDC& dc, UINT itemState)
{
    HBITMAP picture = m_extra[PictureFor(itemState)];
    if (!picture)
        picture = m_extra[Normal];
    if (!picture)
        return;
    if (m_extraMask) {
        PaintThroughMask(dc, m_extraPlace, picture, m_extraMask);
        return;
    }
    CMemoryDC source(dc);
    source.SelectObject(picture);
    dc.BitBlt(m_extraPlace.left, m_extraPlace.top, m_extraPlace.Width(), m_extraPlace.Height(), source, 0, 0, SRCCOPY);
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
