// The LISTCTRL element of the LISTS section: an extended list control (CXListCtrl) with its
// frame, scroll bar, header and columns. The conventions are those of LayoutReaders.h.
#pragma once

#include <memory>

#include <pugixml.hpp>

class CGUIItem;
class CGUIItems;
class CWnd;

namespace layout {

// The list, a child of the owner's window; null (and no window left) when the element is skipped:
// an unknown name, no LISTCOLUMN, or a column that is not added (a name or type the tables do not
// know, a width of 0, one column too many).
std::unique_ptr<CGUIItem> BuildXListCtrl(pugi::xml_node element, const CGUIItems* items, CWnd* owner);

} // namespace layout
