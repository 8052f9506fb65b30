// The layout sections that build the window items of the skin and the skinned controls: slider
// tracks (in BITMAPS), buttons, sliders, text items, drop-down lists, list panels, macro displays,
// edits and progress panels. The section table is in ControlSections.cpp; the conventions are
// those of LayoutReaders.h.
#pragma once

#include <cstdint>
#include <memory>

#include <pugixml.hpp>

class CDropdownListItem;
class CGUIItem;
class CGUIItems;
class CWnd;

namespace layout {

// SLIDERTRACK of BITMAPLIST: a CSliderTrack, child of the owner.
std::unique_ptr<CGUIItem> BuildSliderTrack(pugi::xml_node element, CWnd* owner);

// BUTTONLIST: every BUTTON, then the first AVIBUTTON.
uint32_t ReadButtons(pugi::xml_node root, CGUIItems* items, CWnd* owner);
// SLIDERLIST: VSLIDER, then HSLIDERM, then HSLIDERMAPM, then DMARKER.
uint32_t ReadSliders(pugi::xml_node root, CGUIItems* items, CWnd* owner);
// TEXTLIST: TEXTITEM.
uint32_t ReadTextItems(pugi::xml_node root, CGUIItems* items, CWnd* owner);
// LISTLIST: LISTCTRL (XListSection.h), COMBO, then COMBOCOLOR.
uint32_t ReadLists(pugi::xml_node root, CGUIItems* items, CWnd* owner);
// What a COMBO and a COMBOCOLOR read alike: before the window is made, the eight colours,
// "bdrwidth" and the dropped list's "height" and scroll-bar skin (CLIST); after it, "tooltip" and
// the COMBOITEMS entries.
void ReadDropdownLook(pugi::xml_node element, CDropdownListItem& dropdown);
void ReadDropdownEntries(pugi::xml_node element, CDropdownListItem& dropdown);
// LISTPANELLIST: LISTPANEL.
uint32_t ReadListPanels(pugi::xml_node root, CGUIItems* items, CWnd* owner);
// MACRODISPLAYLIST: MACRODISPLAY.
uint32_t ReadMacroDisplays(pugi::xml_node root, CGUIItems* items, CWnd* owner);
// EDITCTRLLIST: every EDITCTRL, then EDITCTRLSK, then EDITCTRLSKMMO.
uint32_t ReadEditControls(pugi::xml_node root, CGUIItems* items, CWnd* owner);
// PROGRESSPANELLIST: PROGRESSPANELITEM.
uint32_t ReadProgressPanels(pugi::xml_node root, CGUIItems* items, CWnd* owner);

} // namespace layout
