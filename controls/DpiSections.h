// The layout builders of the DPI stage windows (the DPI STAGE WINDOWS section), the multi-range
// sliders and bar markers (HSLIDERMAPM and DMARKER of SLIDERLIST) and the colour buttons (COMBOCOLOR
// of LISTLIST). The conventions are those of LayoutReaders.h.
#pragma once

#include <cstdint>
#include <memory>

#include <pugixml.hpp>

class CGUIItem;
class CGUIItems;
class CWnd;

namespace layout {

// DPISTAGELIST: every DPISTAGEWINDOW, numbered 1, 2, 3 ... in document order: the stage it shows.
uint32_t ReadDpiStageWindows(pugi::xml_node root, CGUIItems* items, CWnd* owner);
// HSLIDERMAPM: a CAPMSlider on the BITMAPITEM that "trackid" names; skipped without one.
std::unique_ptr<CGUIItem> BuildAPMSlider(pugi::xml_node element, const CGUIItems* items, CWnd* owner);
// DMARKER: a CDMarker, child of the owner, cut from the SBMN and MARK pictures at its RECT.
std::unique_ptr<CGUIItem> BuildDMarker(pugi::xml_node element, CWnd* owner);
// COMBOCOLOR: a CDropdownColorButton at the CBOX rectangle; skipped without CLIST.
std::unique_ptr<CGUIItem> BuildColorButton(pugi::xml_node element, CWnd* owner);

} // namespace layout
