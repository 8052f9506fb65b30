// A key of the keyboard picture (KBDKEY): a check-box bitmap button that names a key of the
// keyboard definition and tells its owner when the pointer is over it and when it is clicked.
#pragma once

#include <cstdint>
#include <string>

#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"  // WM_KBDKEY_HOVER, WM_KBDKEY_CLICKED: sent to the key's owner window

struct KeyboardDefRecord;


class CKeyboardKeyItem : public CBitmapBtn
{
public:
    CKeyboardKeyItem();
    ~CKeyboardKeyItem() override;

    // The window that receives the key's messages (borrowed); the parent when none is set.
    void SetOwnerWindow(HWND owner) { m_ownerWindow = owner; }
    HWND OwnerWindow() const { return m_ownerWindow; }
    // Binds the key to the definition's key of that hash.
    void SetKeyHash(int32_t hash) { m_hash = hash; }
    int32_t KeyHash() const { return m_hash; }
    // The definition's record of the key (borrowed from the program's keyboard definition); null
    // for a key the definition does not know, which describes nothing and is assigned nothing.
    void SetKeyRecord(const KeyboardDefRecord* record) { m_record = record; }
    const KeyboardDefRecord* KeyRecord() const { return m_record; }

    // Takes code and flags from the keyboard definition, the virtual key from the scan code, and,
    // when the caption is empty, the system's name of the key as caption (none for a key the
    // definition gives no code). The tooltip shows the key's own tooltip text, else the caption.
    void UpdateKeyName();

    // The key's own tooltip (a text key), kept as text and shown at once.
    void SetKeyToolTip(const wchar_t* key);
    const std::wstring& KeyToolTip() const { return m_toolTipText; }

    // A further picture drawn on the key at place (client coordinates) in the key's state, each
    // state's copy taken from the origin of its bitmap; a state without one shows the normal copy.
    // Where the optional mask is white the key's own picture stays.
    void SetExtraPicture(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled, HBITMAP mask,
                         const RECT& place);
    bool HasExtraPicture() const { return static_cast<bool>(m_extra[Normal]); }

    // The key's picture in its normal state, of the key's size (kept by the key; null before its
    // bitmaps are set).
    HBITMAP NormalPicture() const { return OwnPicture(Normal); }

    UINT VirtualKey() const { return m_virtualKey; }
    UINT ScanCode() const { return m_scanCode; }
    bool IsExtended() const { return m_extended; }

protected:
    State PictureFor(UINT itemState) const override;
    COLORREF TextColorFor(UINT itemState) const override;
    void DrawOverPicture(CDC& dc, UINT itemState) override;

private:
    void OnKeyMouseMove(UINT flags, CPoint point);
    void OnKeyLButtonDown(UINT flags, CPoint point);
    void Notify(UINT message) const;

    int32_t m_hash = 0;
    const KeyboardDefRecord* m_record = nullptr;
    UINT m_virtualKey = 0;
    UINT m_scanCode = 0;
    bool m_extended = false;
    HWND m_ownerWindow = nullptr;
    std::wstring m_toolTipText;
    CBitmap m_extra[kStateCount];
    CBitmap m_extraMask;
    CRect m_extraPlace;

    HV_DECLARE_MSG_MAP()
};
