// The readers of the section builders that refer to controls: an element naming a bitmap item or a
// slider track of the list being built, and the scroll-bar skin of a list. The conventions are those
// of LayoutReaders.h.
#pragma once

#include <windows.h>

#include <memory>

#include <pugixml.hpp>

#include "controls/VScrollBar.h"

class CBitmapItem;
class CGUIItems;
class CSliderTrack;

namespace layout {

// The item named by the attribute ("windowid") when it is a bitmap item of the list; else null.
CBitmapItem* ReadItemReference(pugi::xml_node node, const char* name, const CGUIItems* items);
// The item named by "trackid" when it is a slider track of the list; else null.
CSliderTrack* ReadTrack(pugi::xml_node node, const CGUIItems* items);
// The VSCROLL child's six bitmaps and "bdrwidth" (a size); false (no skin) without VSBMP_TMB.
bool ReadScrollSkin(pugi::xml_node node, VScrollSkin& skin);
// A scroll bar for list from the VSCROLL child (an empty skin when there is none); not created yet.
std::unique_ptr<CVScrollBar> ReadScrollBar(pugi::xml_node node, HWND list);

} // namespace layout
