// The messages the skinned controls and items send to their tracks, panels and pages. All lie in
// the WM_USER range and carry the sender's item id (or its window) so that one page can tell many
// controls apart; "sent" below means SendMessage, "posted" PostMessage. The list controls pass an
// XListNotifyInfo record that is valid only during the call.
#pragma once

#include <windows.h>

// Slider family: thumb -> track (posted), track -> its owner or parent (posted).
// wParam the value (minimum + position), lParam the thumb's item id.
constexpr UINT WM_SLIDER_POSCHANGED = 0x446;   // the thumb was released or jumped
constexpr UINT WM_SLIDER_POSCHANGING = 0x447;  // the thumb moved while dragged
// Track -> owner or parent (posted): wParam the track's item id, lParam MAKELPARAM(x, y) of the
// click in the track's client coordinates.
constexpr UINT WM_SLIDERTRACK_CLICKED = 0x448;
// Thumb -> track (sent), wParam 0: lParam the horizontal thumb's left edge, or the vertical thumb's
// top (when set) or bottom (while dragged), in the track's client coordinates.
constexpr UINT WM_SLIDERTRACK_SETHPOS = 0x449;
constexpr UINT WM_SLIDERTRACK_SETVPOS = 0x44A;
// Bar marker -> parent (posted): wParam the value, lParam the item id.
constexpr UINT WM_DMARKER_RELEASED = 0x45A;

// Edit item -> owner (sent) on each change of its text: wParam 0, lParam the edit's window.
constexpr UINT WM_EDITITEM_CHANGED = 0x4C8;

// Colour palette and colour button.
constexpr UINT WM_COLORPALETTE_SELECT = 0x4DC;
constexpr UINT WM_COLORPALETTE_CANCEL = 0x4DD;
constexpr UINT WM_COLORPALETTE_CUSTOM = 0x4DE;
// One number, two senders that never share an owner: the colour button (sent; wParam the colour,
// lParam the item id) and the key-combination edit (sent; wParam 0, lParam the edit's window).
constexpr UINT WM_COLORBUTTON_CHANGED = 0x4DF;
constexpr UINT WM_KEYCOMBINATION_CAPTURED = 0x4DF;

// Extended list control -> owner or parent (sent). ROWCLICKED: wParam the row key, lParam the
// list's window. The others: wParam the list's window, lParam an XListNotifyInfo.
constexpr UINT WM_XLIST_CELLTEXTCHANGED = 0x52D;
constexpr UINT WM_XLIST_CHECKCHANGED = 0x52E;
constexpr UINT WM_XLIST_ROWCLICKED = 0x5FC;
constexpr UINT WM_XLIST_DBLCLK = 0x604;
constexpr UINT WM_XLIST_RCLICK = 0x606;
constexpr UINT WM_XLIST_MENUCOMMAND = 0x608;
constexpr UINT WM_XLIST_COMBOCHANGED = 0x609;

// What lParam of the extended list's notifications points to: the row's key, the column's id and
// a value whose kind the message gives: CELLTEXTCHANGED, MENUCOMMAND and COMBOCHANGED a text,
// CHECKCHANGED a bool, DBLCLK and RCLICK none. It lives on the sender's stack during the call:
// a receiver copies what it keeps.
struct XListNotifyInfo
{
    int rowKey;
    int column;
    const void* value;

    const wchar_t* Text() const { return value ? static_cast<const wchar_t*>(value) : L""; }
    bool State() const { return value && *static_cast<const bool*>(value); }
};

// Pop-up list -> its panel (posted): wParam the nested choice or 0, lParam the chosen entry's
// index, -1 for none. The panel ends with lParam.
constexpr UINT WM_LISTPANEL_SELECT = 0x530;
// Static list -> parent (posted): wParam the index of the clicked entry, lParam the list's item id.
constexpr UINT WM_LISTPANEL_ITEMCLICK = 0x615;

// DPI stage window -> its pop-up (sent): wParam the stage index, lParam the item id.
constexpr UINT WM_DPISTAGE_CLICKED = 0x5F4;
// Multi-range slider -> owner or parent and its notify window (posted): wParam the range index,
// lParam the item id.
constexpr UINT WM_APMSLIDER_TICKERRELEASED = 0x5F6;

// Drop-down item -> parent (sent). CLICKED: on a button press, before the list opens (the receiver
// may refill the entries), wParam 0. SELCHANGE: after a choice, wParam the chosen index. lParam is
// the item's window in both.
constexpr UINT WM_DROPDOWN_SELCHANGE = 0x614;
constexpr UINT WM_DROPDOWN_CLICKED = 0x634;

// Macro display -> parent (sent): wParam 0, lParam the item id.
constexpr UINT WM_MACRODISPLAY_CHANGED = 0x6BC;
constexpr UINT WM_MACRODISPLAY_EDITKEY = 0x6BD;
constexpr UINT WM_MACRODISPLAY_PLAYDONE = 0x6BE;
// Macro display -> owner or parent (posted): the recording reached the most a macro holds and was
// closed; the owner ends it (ToggleRecording). wParam 0, lParam the item id.
constexpr UINT WM_MACRODISPLAY_RECORDINGFULL = 0x6BF;

// Keyboard key item -> owner (sent): wParam 0, lParam the key's item id. HOVER on a mouse move,
// CLICKED on a left button press.
constexpr UINT WM_KBDKEY_HOVER = 0x720;
constexpr UINT WM_KBDKEY_CLICKED = 0x721;
