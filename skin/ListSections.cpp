// Drop-down lists (COMBO of the LISTS section) and the LIST PANELS section.
#include "ItemSections.h"

#include "GUIItem.h"
#include "LayoutSectionBuild.h"

namespace layout {

uint32_t ReadLists(pugi::xml_node root, CGUIItems*, CWnd*)
{
    SectionCount count;
    if (pugi::xml_node list = root.child("LISTLIST"))
        VisitChildren(list, {"LISTCTRL", "COMBO", "COMBOCOLOR"}, count);
    return count.Packed();
}

uint32_t ReadListPanels(pugi::xml_node root, CGUIItems*, CWnd*)
{
    SectionCount count;
    if (pugi::xml_node list = root.child("LISTPANELLIST"))
        VisitChildren(list, {"LISTPANEL"}, count);
    return count.Packed();
}

} // namespace layout
