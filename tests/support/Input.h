// Injected input through SendInput, with the care Wine needs: the pointer is first put on the
// target window (a click where no window is clears the foreground window, and Wine then stops
// delivering raw input), keys carry their scan codes, and mouse moves are absolute (relative moves
// come out doubled under Wine). Each call waits until the input has been delivered to this thread's
// windows (FlushMessages). Prefer sending messages; use these where real input is the point.
#pragma once
#include <windows.h>
#include <string>

namespace hvtest {

enum class Button { Left, Right, Middle };

// Moves the pointer to a screen point with an absolute move; true if it arrived there.
bool MoveCursorTo(POINT screen);
// Moves the pointer over target (a client point; default its centre) and brings target's top-level
// window to the foreground. Done by every helper below that takes a window.
bool PrepareTarget(HWND target, POINT client = {-1, -1});

// A click (down and up) at a client point of target; default its centre.
bool Click(HWND target, POINT client = {-1, -1}, Button button = Button::Left);
bool DoubleClick(HWND target, POINT client = {-1, -1});
// Press at from, move to to, release (client points of target).
bool Drag(HWND target, POINT from, POINT to, Button button = Button::Left);
// A press at a client point of target, and the release wherever the pointer is then: for checks
// made while the button is held (a drag in progress, a pressed row).
bool MouseDown(HWND target, POINT client = {-1, -1}, Button button = Button::Left);
bool MouseUp(Button button = Button::Left);
// A move to a screen point and a press there in one input event, as a quick user makes them: the
// press is routed with the move, to the window that holds the mouse while the move arrives.
bool MoveAndPress(POINT screen, Button button = Button::Left);
// Wheel notches (positive: away from the user) with the pointer over target.
bool Wheel(HWND target, int notches);

// Key down and key up of a virtual key, with its scan code and the extended flag where the key has one.
bool KeyDown(WORD vk);
bool KeyUp(WORD vk);
// Down and up of vk while the modifiers (MOD_SHIFT, MOD_CONTROL, MOD_ALT) are held; with a target,
// the target is prepared and given the keyboard focus first.
bool PressKey(WORD vk, UINT modifiers = 0, HWND target = nullptr);
// Types text as key presses (VkKeyScan); characters without a key go as KEYEVENTF_UNICODE.
bool TypeText(const std::wstring& text, HWND target = nullptr);

} // namespace hvtest
