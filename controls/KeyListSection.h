// The KEYBOARD KEYS section: the key items of a keyboard picture, cut from pictures of the whole
// keyboard that all keys share. The conventions are those of LayoutReaders.h.
#pragma once

#include <windows.h>

#include <cstdint>

#include <pugixml.hpp>

class CGUIItems;
class CWnd;

namespace layout {

// KBDKEYLIST: one CKeyboardKeyItem per KBDKEY, built only when the list has BUTTONBITMAPS.
uint32_t ReadKeyboardKeyList(pugi::xml_node root, CGUIItems* items, CWnd* owner);

// The window style of a bitmap button or key for "justify" (BS_LEFT, BS_RIGHT or BS_CENTER with
// WS_VISIBLE | BS_MULTILINE | BS_VCENTER | BS_OWNERDRAW).
DWORD ButtonStyle(wchar_t justify);
// The caption's DrawText format of a bitmap button or key for "justify" and "multiline".
UINT ButtonTextFormat(wchar_t justify, bool multiline);

} // namespace layout
