// Raw input from the keyboard and the mouse for one window of the test program: the device mode
// page shows what arrives, and the macro editor records it.
#pragma once

#include <windows.h>

// Registers window for raw input from the mouse (RIDEV_INPUTSINK) and the keyboard
// (RIDEV_INPUTSINK | RIDEV_NOLEGACY: the keyboard makes no ordinary key messages meanwhile).
bool RegisterKeyboardAndMouse(HWND window);
// Removes both registrations of the thread's process (RIDEV_REMOVE).
void RemoveKeyboardAndMouse();

// Reads the raw input of a WM_INPUT (header size sizeof(RAWINPUTHEADER)) into one record; false
// when it cannot be read or is not a whole keyboard or mouse report.
bool ReadRawInput(LPARAM input, RAWINPUT* record);
