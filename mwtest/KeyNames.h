// Key names of the device's key codes, as the pages show them.
#pragma once

#include <windows.h>

#include <string>

// The lParam GetKeyNameTextW wants for a device key code (the make code in the low 16 bits, plus
// 0x20000 for keys with the E0 prefix): the low 16 bits shifted to bits 16 and up, and the
// extended bit 24 for an E0 key or for exactly 0x45, which the system names Num Lock only with
// that bit (without it, 0x45 is Pause).
LPARAM KeyNameParam(DWORD keyCode);
// The name of the key, at most maxChars characters less one (GetKeyNameTextW's buffer size).
std::wstring KeyNameOfCode(DWORD keyCode, int maxChars);
// The lParam for the key of a single-key assignment (make code and its extended bit), where 0x45
// with the extended bit is Pause and without it Num Lock, the other way round to the system's view.
LPARAM SingleKeyNameParam(WORD makeCode, bool extended);
// GetKeyNameTextW of an lParam, in a buffer of maxChars characters.
std::wstring KeyNameOfParam(LPARAM param, int maxChars);
