// What the physical devices do by themselves: a button or key pressed on the device, the device's
// own DPI and profile switching, on-the-fly recording and keyboard redirection. The control tool
// drives them. Each action changes the state it is given and adds the events that only an action
// makes (the events of state changes, such as a new active profile, come from CollectStateEvents).
// Each returns false with a message when the device cannot do it now.
#pragma once

#include "mwsim/SimEvents.h"

#include <string>
#include <vector>

namespace mwsim {

struct ActionResult
{
    std::wstring text;           // what the device did, one line for the tool's output
    std::vector<Notice> notices; // events of the action itself
};

// A mouse button (id 1..11) or a keyboard key (device key code): does what the active profile assigns.
bool PressOnDevice(SimState& state, Dev dev, DWORD id, ActionResult* result);
// The mouse's own DPI switching: a step up or down through the stages, or a stage (1-based, as the
// device's active stage; an assignment record's stage field counts from 0).
bool StepDpi(SimState& state, int delta, ActionResult* result);
bool SelectDpiStage(SimState& state, int stage, ActionResult* result);
// The device's own profile switching: a step through the profiles (wrapping), or a profile by index.
bool StepProfile(SimState& state, Dev dev, int delta, ActionResult* result);
bool SelectProfile(SimState& state, Dev dev, int index, ActionResult* result);
// On-the-fly recording on the keyboard: start, end (then waiting for the key), the key that gets the
// macro (its device key code), cancel.
enum class OtfStep { Start, End, Assign, Cancel };
bool OtfAction(SimState& state, OtfStep step, DWORD keyCode, ActionResult* result);
// A key of the keyboard while the redirector is on: its down and up messages.
bool RedirectKey(SimState& state, UINT vk, ActionResult* result);

// A key's device key code from its name in the key table ("a A") or a number (0x1E, 0x2001C).
bool ParseKeyCode(const std::wstring& text, DWORD* code);

} // namespace mwsim
