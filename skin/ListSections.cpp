// Drop-down lists (COMBO of the LISTS section) and the LIST PANELS section.
#include "ItemSections.h"

#include <string>
#include <vector>

#include "GUIItem.h"
#include "LayoutReaders.h"
#include "LayoutSectionBuild.h"
#include "ListPanelItem.h"
#include "WStr.h"
#include "XListSection.h"

namespace layout {

namespace {

// An integer attribute given to setter, negative values as 0; nothing when it is missing.
template <class Item>
void ApplyNonNegative(pugi::xml_node node, const char* name, Item& item, void (Item::*setter)(int))
{
    std::wstring value;
    if (ReadAttribute(node, name, value)) {
        int32_t n = ParseInteger(value);
        (item.*setter)(n < 0 ? 0 : n);
    }
}

// The scroll-bar skin of a list's CLIST child, or of a VSCROLL right under the element.
VScrollSkin ListScrollSkin(pugi::xml_node element)
{
    VScrollSkin skin;
    pugi::xml_node clist = element.child("CLIST");
    ReadScrollSkin(clist ? clist : element, skin);
    return skin;
}

std::unique_ptr<CGUIItem> BuildListPanel(pugi::xml_node element, const CGUIItems* items, CWnd* owner)
{
    int32_t id = ReadItemId(element);
    if (id == -1)
        return nullptr;
    CRect rect = ReadRect(element, id);
    auto panel = std::make_unique<CListPanelItem>(owner, rect.Width(), rect.Height());
    panel->id = id;
    panel->owner = owner;
    ApplyColors<CListPanelItem>(element, *panel,
                                {{"fontclr", &CListPanelItem::SetFontColor},
                                 {"fontclrhi", &CListPanelItem::SetFontColorHi},
                                 {"fontclrsel", &CListPanelItem::SetFontColorSel},
                                 {"disbfontclr", &CListPanelItem::SetDisabledFontColor},
                                 {"backclr", &CListPanelItem::SetBackColor},
                                 {"backclrhi", &CListPanelItem::SetBackColorHi},
                                 {"backclrsel", &CListPanelItem::SetBackColorSel},
                                 {"disbbackclr", &CListPanelItem::SetDisabledBackColor},
                                 {"bdrclr", &CListPanelItem::SetBorderColor}});
    ApplyNonNegative(element, "bdrwidth", *panel, &CListPanelItem::SetBorderWidth);
    ApplyNonNegative(element, "lmargin", *panel, &CListPanelItem::SetLeftMargin);
    ApplyNonNegative(element, "rmargin", *panel, &CListPanelItem::SetRightMargin);
    if (items)
        panel->SetItemFont(ReadFont(element, id, items));
    std::wstring value;
    panel->SetSorted(ReadAttribute(element, "sorted", value) && IsTrueish(value));

    std::vector<ListEntry> entries;
    pugi::xml_node list = element.child("LISTPANELITEMS");
    for (pugi::xml_node child = list.child("LISTPANELITEM"); child; child = child.next_sibling("LISTPANELITEM")) {
        std::wstring tooltip;
        ReadToolTip(child, tooltip);
        ListEntry entry;
        entry.Init(wstr::Trim(ElementText(child)).c_str(), 0, tooltip.c_str());
        entries.push_back(entry);
    }
    panel->SetEntries(entries);
    panel->SetScrollSkin(ListScrollSkin(element));
    std::wstring tooltip;
    if (ReadToolTip(element, tooltip))
        panel->SetToolTip(tooltip.c_str());

    // A dynamic panel has no window until it pops up; another one shows on the page now.
    if (!ReadDynamic(element) && !panel->CreateStaticList(OwnerWindow(owner), rect))
        return nullptr;
    return panel;
}

} // namespace

uint32_t ReadLists(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    if (pugi::xml_node list = root.child("LISTLIST")) {
        BuildChildren(list, "LISTCTRL", items, count,
                      [&](pugi::xml_node element) { return BuildXListCtrl(element, items, owner); });
        VisitChildren(list, {"COMBO", "COMBOCOLOR"}, count);
    }
    return count.Packed();
}

uint32_t ReadListPanels(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    pugi::xml_node list = root.child("LISTPANELLIST");
    if (!list)
        return 0;
    BuildChildren(list, "LISTPANEL", items, count,
                  [&](pugi::xml_node element) { return BuildListPanel(element, items, owner); });
    return count.Packed();
}

} // namespace layout
