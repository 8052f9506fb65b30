// The tooltip of a skinned window item. All items of one top-level window (a panel and the pages
// and boards inside it) share one tooltip control, in which each item with a text is one tool
// covering its client area. The control is made when it is first needed: when an item with a text
// relays a mouse message, that is when the pointer first comes over it; the item's tool is added
// then too. Items relay their messages from PreTranslateMessage, so the control sees the mouse over
// each of them and shows the text of the one under the pointer.
//
// The control is owned by the top-level window, and the system destroys it with that window, which
// may happen while items live on (a panel destroyed before its item list is emptied, an item
// outliving its window). Items therefore never keep the control's handle: they keep the serial
// number of the control that holds their tool and look it up among the controls that still live;
// a control leaves that list in its own WM_NCDESTROY. An item deleted while its control lives
// takes its tool out of it, so that no tool names a window handle that is handed out again.
// User-interface thread only: every thread has its own list of controls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class CItemToolTip
{
public:
    CItemToolTip() = default;
    ~CItemToolTip();
    CItemToolTip(const CItemToolTip&) = delete;
    CItemToolTip& operator=(const CItemToolTip&) = delete;

    // Passes a mouse message of item on to the tooltip control of item's top-level window. When
    // this item has a text, the control is made if there is none yet and the item's tool is added
    // to it if it is not there; without a text, nothing is made.
    void Relay(HWND item, MSG* msg);

    // Translates key, turns every "\n" (backslash, n) into a space and makes it the item's text.
    // A tool already in a control shows the new text at once (also while it is shown).
    void SetText(HWND item, const wchar_t* key);

    // The tooltip control that holds this item's tool: null until the pointer first came over the
    // item with a text, and again once the system destroyed the control.
    HWND Window() const;
    // The text the tool shows, as set.
    const std::wstring& Text() const { return m_text; }

private:
    void RemoveTool();

    std::wstring m_text;
    // The item window that names the tool and the serial number of the control holding it; 0
    // when no control holds it.
    HWND m_toolWindow = nullptr;
    uint32_t m_control = 0;
};

// Replaces every two-character sequence backslash-n by one space.
std::wstring ToolTipText(const std::wstring& translated);
