// Wrappers of the comctl32 controls the dialogs place besides the list view: track bar
// ("msctls_trackbar32"), up-down ("msctls_updown32") and hot key ("msctls_hotkey32"). Used like the
// user32 wrappers of Controls.h. A track bar and an up-down report to their parent with WM_HSCROLL
// or WM_VSCROLL, their window in lParam; the scroll code (LOWORD of wParam) is TB_* or SB_*, and
// SB_ENDSCROLL (TB_ENDTRACK) ends every drag and every key press.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "platform/Wnd.h"

// Registers the comctl32 window classes of classes (ICC_* flags) for the process; each set of
// classes once.
void EnsureCommonControls(DWORD classes);

class CSliderCtrl : public CWnd
{
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
    void SetPos(int pos) const { SendMessage(TBM_SETPOS, TRUE, pos); }
    int GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
    int GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
    void SetRange(int min, int max, bool redraw = false) const;
    void SetTicFreq(int frequency) const { SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(frequency)); }
    void SetLineSize(int size) const { SendMessage(TBM_SETLINESIZE, 0, size); }
    void SetPageSize(int size) const { SendMessage(TBM_SETPAGESIZE, 0, size); }
};

class CSpinButtonCtrl : public CWnd
{
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    void SetRange32(int lower, int upper) const { SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    void GetRange32(int* lower, int* upper) const;
    // UDM_GETPOS32; error (when given) is set when the buddy's text is not a number in the range.
    int GetPos32(bool* error = nullptr) const;
    int SetPos32(int pos) const { return static_cast<int>(SendMessage(UDM_SETPOS32, 0, pos)); }
    // The buddy window (borrowed) whose text the control keeps; returns the previous one.
    HWND SetBuddy(HWND buddy) const
    {
        return reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy)));
    }
};

class CHotKeyCtrl : public CWnd
{
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    // The virtual key and the HOTKEYF_* modifiers (HKM_GETHOTKEY).
    void GetHotKey(WORD* virtualKey, WORD* modifiers) const;
    void SetHotKey(WORD virtualKey, WORD modifiers) const;
    // HKM_SETRULES: combinations of invalid (HKCOMB_*) are replaced by the modifiers given.
    void SetRules(WORD invalidCombinations, WORD modifiers) const;
};
