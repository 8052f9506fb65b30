#pragma once

// The layout's KEYBOARDDEF element as an item: the id and owner the layout gave the program's one
// keyboard definition (GetKeyboardDef), which itself knows nothing of items. Like the definition it
// lives as long as the program and is in no item list.

#include "skin/GUIItem.h"

class CKeyboardDefItem : public CGUIItem
{
public:
    CKeyboardDefItem() { kind = ItemKind::KeyboardDef; }
};

inline CKeyboardDefItem& GetKeyboardDefItem()
{
    static CKeyboardDefItem item;
    return item;
}
