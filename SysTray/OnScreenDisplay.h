// The on-screen display: short-lived overlays at the bottom right of the primary monitor. The text
// display shows the name of a profile that became active; the slider display shows the DPI of the
// mouse as one bar (X and Y equal) or two bars (X left, Y right) with their values.
//
// The display object owns both windows, their classes and what they show. The windows are made once,
// hidden, layered (colour key 0xFFD800, alpha 200), topmost, transparent to the mouse and never
// activated. A show posts WM_OSD_SHOW to its window: the window appears without taking the focus when
// the thread next pumps, and hides itself 2000 ms after the last show.
//
// All on the tray's user-interface thread. CreateOsdWindows joins a single-threaded COM apartment,
// which the object leaves when it is deleted.
#pragma once

#include "platform/GdiObject.h"
#include "platform/Wnd.h"
#include "platform/WndClass.h"

#include <memory>
#include <string>

inline constexpr UINT WM_OSD_SHOW = WM_USER + 12;
inline constexpr UINT_PTR TIMER_OSD_HIDE = 101;
inline constexpr UINT kOsdHideMs = 2000;

inline constexpr int kOsdBarMaximum = 20;    // bar steps
inline constexpr int kOsdStepPixels = 12;    // one step: a 10-pixel segment and a 2-pixel gap
inline constexpr int kOsdSliderWidth = 119;  // two columns of 57 pixels and a gap of 5
inline constexpr int kOsdColumnWidth = 57;
inline constexpr size_t kOsdProfileTextChars = 254; // and a terminator: the text buffer of 255
inline constexpr size_t kOsdDpiTextChars = 4;       // a DPI value of five digits is not shown

inline constexpr COLORREF kOsdKeyColour = 0xFFD800;   // transparent key and background
inline constexpr COLORREF kOsdColour = 0xFFD80E;      // text, frames and bar segments
inline constexpr COLORREF kOsdBarBackground = 0x000000;
inline constexpr COLORREF kOsdLabelColour = 0x003200; // the X and Y labels

// What a DPI change shows: no bars, one bar (the x fields), or two (X left, Y right).
struct DpiOsdDecision
{
    int bars = 0;
    int xPosition = 0;
    std::wstring xText;
    int yPosition = 0;
    std::wstring yText;
};

// The display of a DPI change to (x, y) on a device whose DPI maximum is maximum (rangeRead: whether
// it could be read): nothing without a positive maximum or when a value has more than 4 characters;
// positions are value x 20 / maximum, limited to 0..20.
DpiOsdDecision DecideDpiOsd(int x, int y, bool rangeRead, int maximum);

class COsdTextWnd;
class COsdSliderWnd;

// What the windows show; owned by the display object, read by its windows.
struct COsdContent
{
    struct Slot
    {
        int position = 0;  // 0 to the bar maximum
        std::wstring text; // at most kOsdDpiTextChars
    };

    float scale = 1.0f; // LOGPIXELSX / 72 of the screen
    int barMaximum = kOsdBarMaximum;
    std::wstring profileText; // empty: nothing to show
    int sliderMode = 0;       // 0 nothing, 1 one bar (slot 0), 2 two bars (slot 0 Y, slot 1 X)
    Slot slots[2];
};

class COnScreenDisplay
{
public:
    COnScreenDisplay();
    ~COnScreenDisplay();
    COnScreenDisplay(const COnScreenDisplay&) = delete;
    COnScreenDisplay& operator=(const COnScreenDisplay&) = delete;

    // Steps of a full bar (at least 1).
    void SetBarMaximum(int steps);
    // Registers the classes "csl_osd" and "csl_osdslider" and makes one hidden window of each.
    // S_OK only when both windows exist; E_FAIL otherwise, and at once when the thread's apartment
    // cannot be joined.
    HRESULT CreateOsdWindows();

    // The profile's name (the first 254 characters) on the text display.
    void ShowProfileOsd(const std::wstring& name);
    // One bar; nothing when the text has more than 4 characters.
    void ShowDpiOsd(int position, const std::wstring& text);
    // Two bars, X left and Y right; nothing when either text has more than 4 characters.
    void ShowDpiXYOsd(int xPosition, const std::wstring& xText, int yPosition, const std::wstring& yText);
    void ShowDpi(const DpiOsdDecision& decision);

    HWND TextWindow() const;
    HWND SliderWindow() const;
    const COsdContent& Content() const { return m_content; }

private:
    void Post(HWND window) const;

    COsdContent m_content;
    bool m_joinedApartment = false;
    // Declared before the classes that use them, so that the classes go first.
    CBrush m_classBrush;
    CWndClass m_textClass;
    CWndClass m_sliderClass;
    std::unique_ptr<COsdTextWnd> m_text;
    std::unique_ptr<COsdSliderWnd> m_slider;
};
