// Drop-down lists and colour buttons (COMBO and COMBOCOLOR of the LISTS section) and the LIST PANELS
// section.
#include "controls/ItemSections.h"

#include <string>
#include <vector>

#include "controls/ControlReaders.h"
#include "controls/DpiSections.h"
#include "controls/DropdownListItem.h"
#include "controls/ListPanelItem.h"
#include "controls/XListSection.h"
#include "platform/WStr.h"
#include "skin/GUIItem.h"
#include "skin/LayoutErrors.h"
#include "skin/LayoutReaders.h"
#include "skin/LayoutSectionBuild.h"

namespace layout {

namespace {

// A size attribute given to setter, negative values as 0; nothing when it is missing.
template <class Item>
void ApplyNonNegative(pugi::xml_node node, const char* name, Item& item, void (Item::*setter)(int))
{
    int32_t n = 0;
    if (ReadExtent(node, name, n))
        (item.*setter)(n < 0 ? 0 : n);
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
    if (CurrentElementFaulty())
        return nullptr;
    if (!ReadDynamic(element) && !panel->CreateStaticList(OwnerWindow(owner), rect))
        return nullptr;
    return panel;
}

std::unique_ptr<CGUIItem> BuildDropdown(pugi::xml_node element, const CGUIItems* items, CWnd* owner)
{
    int32_t id = ReadItemId(element);
    pugi::xml_node clist = element.child("CLIST");
    if (id == -1 || !clist || !OwnerWindow(owner))
        return nullptr;
    auto dropdown = std::make_unique<CDropdownListItem>();
    dropdown->id = id;
    dropdown->owner = owner;
    ReadDropdownLook(element, *dropdown);
    ApplyNonNegative(element, "lmargin", *dropdown, &CDropdownListItem::SetLeftMargin);
    ApplyNonNegative(element, "rmargin", *dropdown, &CDropdownListItem::SetRightMargin);
    if (items)
        dropdown->SetItemFont(ReadFont(element, id, items));
    std::wstring value;
    dropdown->SetSorted(ReadAttribute(element, "sorted", value) && IsTrueish(value));

    // The closed box's rectangle; a language may move it under the COMBO's id.
    const CRect box = ReadRect(element.child("CBOX"), id);
    if (CurrentElementFaulty())
        return nullptr;
    if (!dropdown->Create(box, OwnerWindow(owner), static_cast<UINT>(id)))
        return nullptr;
    ReadDropdownEntries(element, *dropdown);
    return dropdown;
}

} // namespace

void ReadDropdownLook(pugi::xml_node element, CDropdownListItem& dropdown)
{
    ApplyColors<CDropdownListItem>(element, dropdown,
                                   {{"fontclr", &CDropdownListItem::SetFontColor},
                                    {"fontclrhi", &CDropdownListItem::SetFontColorHi},
                                    {"backclr", &CDropdownListItem::SetBackColor},
                                    {"backclrhi", &CDropdownListItem::SetBackColorHi},
                                    {"bdrclr", &CDropdownListItem::SetBorderColor},
                                    {"disbbackclr", &CDropdownListItem::SetDisabledBackColor},
                                    {"disbbdrclr", &CDropdownListItem::SetDisabledBorderColor},
                                    {"disbfontclr", &CDropdownListItem::SetDisabledFontColor}});
    ApplyNonNegative(element, "bdrwidth", dropdown, &CDropdownListItem::SetBorderWidth);
    int32_t height = 0;
    ReadExtent(element.child("CLIST"), "height", height);
    dropdown.SetListHeight(height < 0 ? 0 : height);
    dropdown.SetListScrollSkin(ListScrollSkin(element));
}

void ReadDropdownEntries(pugi::xml_node element, CDropdownListItem& dropdown)
{
    std::wstring tooltip;
    if (ReadToolTip(element, tooltip))
        dropdown.SetToolTip(tooltip.c_str());
    pugi::xml_node entries = element.child("COMBOITEMS");
    for (pugi::xml_node item = entries.child("COMBOITEM"); item; item = item.next_sibling("COMBOITEM"))
        dropdown.AddEntry(wstr::Trim(ElementText(item)).c_str(), 0);
}

uint32_t ReadLists(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    pugi::xml_node list = root.child("LISTLIST");
    if (!list)
        return 0;
    BuildChildren(list, "LISTCTRL", items, count,
                  [&](pugi::xml_node element) { return BuildXListCtrl(element, items, owner); });
    BuildChildren(list, "COMBO", items, count,
                  [&](pugi::xml_node element) { return BuildDropdown(element, items, owner); });
    BuildChildren(list, "COMBOCOLOR", items, count,
                  [&](pugi::xml_node element) { return BuildColorButton(element, owner); });
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
