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
