// The layout sections that build the window items of the skin and the skinned controls: slider
// tracks (in BITMAPS), buttons, sliders, text items, drop-down lists and list panels. The rest of
// the section table is in LayoutSections.cpp; the conventions are those of LayoutReaders.h.
#pragma once

#include <cstdint>
#include <memory>

#include <pugixml.hpp>

class CGUIItem;
class CGUIItems;
class CWnd;

namespace layout {

// SLIDERTRACK of BITMAPLIST: a CSliderTrack, child of the owner.
std::unique_ptr<CGUIItem> BuildSliderTrack(pugi::xml_node element, CWnd* owner);

// BUTTONLIST: every BUTTON, then the first AVIBUTTON.
uint32_t ReadButtons(pugi::xml_node root, CGUIItems* items, CWnd* owner);
// SLIDERLIST: VSLIDER, then HSLIDERM (HSLIDERMAPM and DMARKER are visited only).
uint32_t ReadSliders(pugi::xml_node root, CGUIItems* items, CWnd* owner);
// TEXTLIST: TEXTITEM.
uint32_t ReadTextItems(pugi::xml_node root, CGUIItems* items, CWnd* owner);
// LISTLIST: COMBO (LISTCTRL and COMBOCOLOR are visited only).
uint32_t ReadLists(pugi::xml_node root, CGUIItems* items, CWnd* owner);
// LISTPANELLIST: LISTPANEL.
uint32_t ReadListPanels(pugi::xml_node root, CGUIItems* items, CWnd* owner);

} // namespace layout
