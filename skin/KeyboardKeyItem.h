// A key of the keyboard picture (KBDKEY): a check-box bitmap button that names a key of the
// keyboard definition and tells its owner when the pointer is over it and when it is clicked.
#pragma once

#include <cstdint>

#include "BitmapBtn.h"
#include "ControlMessages.h"  // WM_KBDKEY_HOVER, WM_KBDKEY_CLICKED

class CKeyboardKeyItem : public CBitmapBtn
{
public:
    CKeyboardKeyItem();
    ~CKeyboardKeyItem() override;

    // The window that receives the key's messages (borrowed); the parent when none is set.
    void SetOwnerWindow(HWND owner) { m_ownerWindow = owner; }
    // Binds the key to the definition's key of that hash.
    void SetKeyHash(int32_t hash) { m_hash = hash; }
    int32_t KeyHash() const { return m_hash; }

    // Takes code and flags from the keyboard definition, the virtual key from the scan code, and,
    // when the caption is empty, the system's name of the key as caption; the tooltip shows it.
    void UpdateKeyName();

    UINT VirtualKey() const { return m_virtualKey; }
    UINT ScanCode() const { return m_scanCode; }
    bool IsExtended() const { return m_extended; }

protected:
    State PictureFor(UINT itemState) const override;
    COLORREF TextColorFor(UINT itemState) const override;

private:
    void OnKeyMouseMove(UINT flags, CPoint point);
    void OnKeyLButtonDown(UINT flags, CPoint point);
    void Notify(UINT message) const;

    int32_t m_hash = 0;
    UINT m_virtualKey = 0;
    UINT m_scanCode = 0;
    bool m_extended = false;
    HWND m_ownerWindow = nullptr;

    HV_DECLARE_MSG_MAP()
};
