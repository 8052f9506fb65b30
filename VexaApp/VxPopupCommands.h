// What the popups of the configuration program share: which of a popup's items sent a command, and
// the heading that carries a text after its own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CDropdownListItem;
class CGUIItems;
class CTextItem;

// The item id of the item whose window sent a WM_COMMAND (its lParam); -1 for a command of no item
// of the list (a menu, an accelerator, a dialog key).
int32_t CommandItemId(const CGUIItems& items, LPARAM lParam);

// Puts text after the heading's own, on one line that ends in an ellipsis where it does not fit.
void AppendToHeading(CTextItem& heading, const std::wstring& text);

// Fills a drop-down with texts and selects the entry of that text, else the first (none when empty).
void RefillList(CDropdownListItem& list, const std::vector<std::wstring>& texts, const std::wstring& selected);
