// The skinned edit fields (EDITCTRL, EDITCTRLSK, EDITCTRLSKMMO): a framed edit control with its own
// colours, optionally restricted to a number range, and two key-capturing edits that show the key
// (or the key with its modifiers) the user presses instead of accepting typed text.
//
// Each edit is a child of the window the layout names, with a frame panel (CGenericPanel) around it
// that the item owns. Changes are told to the owner window (the parent when the item has none):
// WM_EDITITEM_CHANGED for every change of an edit's text, WM_KEYCOMBINATION_CAPTURED for every step
// of the key-combination edit. PreTranslateMessage does the filtering, so the edits rely on a message
// loop that walks the PreTranslateMessage chain (the program's loop and every modal dialog's do).
//
// The key-capturing edits read the keyboard's raw input while they are registered for it: the popup
// that shows one registers it (RegisterKeyInput) and the edit removes its own registration when its
// window goes, never another window's. User-interface thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "controls/GenericPanel.h"
#include "controls/ItemToolTip.h"
#include "platform/Controls.h"
#include "platform/GdiObject.h"
#include "platform/RawInput.h"
#include "skin/GUIItem.h"

class CFontItem;

class CEditItem : public CEdit, public CGUIItem
{
public:
    // No upper bound of a numeric edit.
    static constexpr int32_t kNoMaximum = -1;
    // The control id of the frame panel.
    static constexpr UINT kFrameId = 0xFFFF;

    CEditItem();
    ~CEditItem() override;

    // The frame panel on rect grown by the border width on every side, then the edit on rect (the
    // frame's inside), both children of parent; the edit has control id id.
    bool CreateInFrame(DWORD style, const RECT& rect, HWND parent, UINT id);

    // Numeric mode: only digits and backspace are typed, and a digit only when the number it makes
    // lies in minValue..maxValue (kNoMaximum: no upper bound).
    void SetNumeric(bool numeric, int32_t minValue = 0, int32_t maxValue = kNoMaximum);
    bool IsNumeric() const { return m_numeric; }
    int32_t MinValue() const { return m_minValue; }
    int32_t MaxValue() const { return m_maxValue; }

    // ---- Appearance, as the layout gives it (set before CreateInFrame; colours also after) ----
    void SetFontColor(COLORREF c);
    void SetBackColor(COLORREF c);
    void SetBorderColor(COLORREF c);
    void SetDisabledFontColor(COLORREF c);
    void SetDisabledBackColor(COLORREF c);
    void SetDisabledBorderColor(COLORREF c);
    // The highlight pair of the layout; kept with the item, the field draws with the normal and the
    // disabled colours.
    void SetFontColorHi(COLORREF c) { m_textHi = c; }
    void SetBackColorHi(COLORREF c) { m_backHi = c; }
    void SetBorderWidth(int width) { m_borderWidth = width < 0 ? 0 : width; }
    // Borrowed from the item list; applied at once when the edit exists.
    void SetItemFont(CFontItem* font);

    COLORREF FontColor() const { return m_text; }
    COLORREF BackColor() const { return m_back; }
    COLORREF BorderColor() const { return m_border; }
    COLORREF DisabledFontColor() const { return m_textDisabled; }
    COLORREF DisabledBackColor() const { return m_backDisabled; }
    int BorderWidth() const { return m_borderWidth; }
    CGenericPanel* Frame() const { return m_frame.get(); }

    // Shows or hides the edit with its frame.
    void Show(bool show) override;
    void SetToolTip(const wchar_t* key) { m_toolTip.SetText(m_hWnd, key); }
    const CItemToolTip& ToolTip() const { return m_toolTip; }

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // The owner window, else the parent: where the edit's notices go.
    HWND NoticeWindow() const;
    // Puts text into the edit with the caret at its end, scrolled into view.
    void ShowText(const std::wstring& text);

    int OnCreate(CREATESTRUCTW* create);
    void OnDestroy();

private:
    bool FilterNumeric(const MSG& msg) const;
    // Sets a colour and, once the window exists, its brush, the frame's colours and the picture.
    void SetColor(COLORREF& field, COLORREF c, CBrush* brush);
    void ApplyFrameColors();
    HBRUSH CtlColor(HDC dc, UINT type);
    LRESULT OnEnable(WPARAM wParam, LPARAM lParam);
    void OnChange();
    void OnUpdate() {}

    std::unique_ptr<CGenericPanel> m_frame;
    CItemToolTip m_toolTip;
    CFontItem* m_font = nullptr;
    CFont m_fallbackFont;
    COLORREF m_text = RGB(255, 255, 255);
    COLORREF m_back = 0;
    COLORREF m_border = 0;
    COLORREF m_textDisabled = RGB(255, 255, 255);
    COLORREF m_backDisabled = RGB(255, 255, 255);
    COLORREF m_borderDisabled = RGB(255, 255, 255);
    COLORREF m_textHi = 0;
    COLORREF m_backHi = 0;
    CBrush m_backBrush;
    CBrush m_disabledBrush;
    bool m_numeric = false;
    int32_t m_minValue = 0;
    int32_t m_maxValue = kNoMaximum;
    int m_borderWidth = 1;

    HV_DECLARE_MSG_MAP()
};

// Captures one key: the edit shows the name of the last key pressed or released, from raw input
// while registered, else from the key messages that reach it. Typed characters never enter it.
class CEditItemSingleKeyInput : public CEditItem
{
public:
    CEditItemSingleKeyInput();
    ~CEditItemSingleKeyInput() override;

    // Adds the keyboard usage to the program's raw input registration and registers it for this
    // edit; false, with nothing registered, when the registration is refused (another window holds
    // it, or the system refuses).
    bool RegisterKeyInput();
    // Removes the registration when it is this edit's.
    void UnregisterKeyInput();
    bool IsKeyInputRegistered() const;

    const KeyEventRecord& Record() const { return m_record; }

    // A raw keyboard packet as WM_INPUT brings it.
    virtual void OnRawKeyboard(const RAWKEYBOARD& keyboard);

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // A key message (WM_KEYDOWN, WM_KEYUP) read into the record; true when it is to be eaten.
    virtual bool OnKeyMessage(const MSG& msg);

    KeyEventRecord m_record;

private:
    LRESULT OnInput(WPARAM wParam, LPARAM lParam);
    LRESULT OnSwallow(WPARAM, LPARAM) { return 0; }
    void OnDestroy();

    HWND m_registeredFor = nullptr;

    HV_DECLARE_MSG_MAP()
};

// Captures a key with its modifiers (Ctrl, Shift, Alt): a small state machine follows the keys
// going down and up, and every step that changes what is shown is told to the owner with
// WM_KEYCOMBINATION_CAPTURED (wParam 0, lParam the edit's window). A completed combination stays
// until a new key goes down: keys let go within the second after it are part of it, and later
// ones leave it as shown.
class CEditItemSingleKeyInputMMO : public CEditItemSingleKeyInput
{
public:
    enum class CaptureState { Idle, ModifiersHeld, KeyCaptured, Completed };

    CEditItemSingleKeyInputMMO();
    ~CEditItemSingleKeyInputMMO() override;

    void OnRawKeyboard(const RAWKEYBOARD& keyboard) override;

    CaptureState State() const { return m_state; }
    // The combination's flags: the modifiers held with the key (KeyEventRecord::kCtrl, kShift,
    // kAlt) and the key's extended flag.
    uint8_t Modifiers() const { return m_modifiers; }
    uint16_t KeyScanCode() const { return m_keyScanCode; }
    uint16_t KeyVirtualKey() const { return m_keyVirtualKey; }
    const std::wstring& CombinationText() const { return m_text; }

    // The clock of the capture steps, in whole seconds (the tests give their own).
    using SecondsClock = int64_t (*)();
    static void SetSecondsClock(SecondsClock clock);
    // Forgets the time of the last step (a fresh start for every edit).
    static void ResetLastStep();

protected:
    bool OnKeyMessage(const MSG& msg) override;

private:
    void Step(bool down, uint16_t scanCode);
    void StepAsIdle(bool down, uint8_t flag);
    void Capture();
    void ClearCombination();
    void ShowCombination();

    CaptureState m_state = CaptureState::Idle;
    uint8_t m_modifiers = 0;  // of the combination
    uint8_t m_held = 0;       // the modifiers down now
    uint16_t m_keyScanCode = 0;
    uint16_t m_keyVirtualKey = 0;
    std::wstring m_text;
};
