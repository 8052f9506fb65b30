// The BUTTONS and TEXT ITEMS sections.
#include "ItemSections.h"

#include "GUIItem.h"
#include "LayoutSectionBuild.h"

namespace layout {

uint32_t ReadButtons(pugi::xml_node root, CGUIItems*, CWnd*)
{
    SectionCount count;
    if (pugi::xml_node list = root.child("BUTTONLIST"))
        VisitChildren(list, {"BUTTON", "AVIBUTTON"}, count);
    return count.Packed();
}

uint32_t ReadTextItems(pugi::xml_node root, CGUIItems*, CWnd*)
{
    SectionCount count;
    if (pugi::xml_node list = root.child("TEXTLIST"))
        VisitChildren(list, {"TEXTITEM"}, count);
    return count.Packed();
}

} // namespace layout
