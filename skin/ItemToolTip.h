// The tooltip of a skinned window item: one tool covering the item's client area, created on first
// use, deactivated until the item is given a text. The item relays its messages to it from
// PreTranslateMessage, so the tooltip sees the mouse over the item.
// The system makes the item's top-level window the tooltip's owner and destroys the tooltip with
// it, which may happen while the item object lives on (a panel destroyed before its item list is
// emptied): the tooltip is tracked through its window object, so that its handle is forgotten then
// and never destroyed again.
#pragma once

#include <windows.h>

#include <string>

#include "TrackedWnd.h"

class CItemToolTip
{
public:
    CItemToolTip() = default;
    CItemToolTip(const CItemToolTip&) = delete;
    CItemToolTip& operator=(const CItemToolTip&) = delete;

    // Creates the tooltip window (style 0, deactivated) for item when it has none yet, then relays
    // the message.
    void Relay(HWND item, MSG* msg);

    // Translates key, turns every "\n" (backslash, n) into a space, makes it the text of the one
    // tool (adding the tool when there is none) and activates the tooltip.
    void SetText(HWND item, const wchar_t* key);

    // The tooltip window; null before the first use and once the system destroyed it.
    HWND Window() const { return m_window.m_hWnd; }
    // The text the tool shows, as set.
    const std::wstring& Text() const { return m_text; }

private:
    bool EnsureWindow(HWND item);

    CTrackedWnd m_window;
    bool m_hasTool = false;
    std::wstring m_text;
};

// Replaces every two-character sequence backslash-n by one space.
std::wstring ToolTipText(const std::wstring& translated);
