// Slider tracks (SLIDERTRACK of BITMAPLIST) and the SLIDERS section: vertical sliders and
// multi-thumb sliders on their tracks (the multi-range sliders and bar markers are built in
// DpiSections.cpp).
#include "controls/ItemSections.h"

#include <string>

#include "controls/ControlReaders.h"
#include "controls/DpiSections.h"
#include "controls/Slider.h"
#include "controls/SliderHMulti.h"
#include "controls/SliderTrack.h"
#include "core/NameTables.h"
#include "platform/WStr.h"
#include "skin/GUIItem.h"
#include "skin/LayoutErrors.h"
#include "skin/LayoutReaders.h"
#include "skin/LayoutSectionBuild.h"

namespace layout {

namespace {

// "ttpos" as the thumbs take it: 0 left, 1 right, 2 above, 3 below.
int ToolTipMode(pugi::xml_node node)
{
    switch (ReadToolTipPosition(node)) {
    case L'R':
        return 1;
    case L'T':
        return 2;
    case L'B':
        return 3;
    default:
        return 0;
    }
}

// The thumb's value tooltip from "tooltip", "ttprefix" and "ttpos" of node.
void ApplyLabel(CSliderBase& thumb, pugi::xml_node node)
{
    std::wstring tooltip;
    std::wstring prefix;
    ReadToolTipPrefix(node, tooltip, prefix);
    thumb.SetLabel(tooltip.c_str(), ToolTipMode(node), prefix.c_str());
}

std::unique_ptr<CGUIItem> BuildVertSlider(pugi::xml_node element, const CGUIItems* items, CWnd* owner)
{
    int32_t id = ReadItemId(element);
    if (id == -1)
        return nullptr;
    HBITMAP normal = ReadBitmap(element, "SBMN");
    HBITMAP hot = ReadBitmap(element, "SBMO");
    HBITMAP mask = ReadBitmap(element, "SBMM");
    CSliderTrack* track = ReadTrack(element, items);
    HWND parent = track ? track->GetSafeHwnd() : OwnerWindow(owner);
    if (!normal || !parent)
        return nullptr;
    CRect rect = ReadRect(element, id);
    if (CurrentElementFaulty())
        return nullptr;

    auto slider = std::make_unique<CVertSlider>();
    slider->id = id;
    slider->owner = track ? static_cast<CWnd*>(track) : owner;
    if (!slider->Create(normal, parent, hot, mask, false, rect))
        return nullptr;
    if (track)
        track->SetSlider(slider.get());
    ApplyLabel(*slider, element);
    return slider;
}

std::unique_ptr<CGUIItem> BuildMultiSlider(pugi::xml_node element, const CGUIItems* items, CWnd* owner)
{
    int32_t id = ReadItemId(element);
    pugi::xml_node stages = element.child("STAGES");
    if (id == -1 || !stages.child("STAGE"))
        return nullptr;
    // The format requires the track; an element whose track is missing is skipped.
    CSliderTrack* track = ReadTrack(element, items);
    HBITMAP normal = ReadBitmap(element, "SBMN");
    if (!track || !normal)
        return nullptr;
    HBITMAP hot = ReadBitmap(element, "SBMO");
    int32_t multiplier = 1;
    ReadMultiplier(element, multiplier);
    CRect rect = ReadRect(element, id);
    bool interactive = ReadInteractive(element, true);
    if (CurrentElementFaulty())
        return nullptr;

    auto multi = std::make_unique<CSliderHMulti>();
    multi->id = id;
    multi->owner = owner;
    multi->SetTrack(track);
    for (pugi::xml_node stage = stages.child("STAGE"); stage; stage = stage.next_sibling("STAGE")) {
        int32_t stageId = FindItemIdByName(wstr::Trim(ElementText(stage)).c_str());
        if (stageId == -1)
            continue;
        auto thumb = std::make_unique<CPHSlider>();
        thumb->id = stageId;
        thumb->owner = track;
        thumb->SetMultiplier(multiplier);
        if (!thumb->Create(normal, track->GetSafeHwnd(), hot, nullptr, true, rect))
            continue;
        if (!track->Slider())
            track->SetSlider(thumb.get());
        ApplyLabel(*thumb, stage);
        track->SetTipEnabled(ReadToolTipEnabled(stage));
        multi->AddStage(std::move(thumb));
    }
    if (multi->StageCount() == 0)
        return nullptr;
    multi->SetRange(1, 32);
    multi->EnableWindow(interactive);
    return multi;
}

} // namespace

std::unique_ptr<CGUIItem> BuildSliderTrack(pugi::xml_node element, CWnd* owner)
{
    int32_t id = ReadItemId(element);
    if (id == -1 || !OwnerWindow(owner))
        return nullptr;
    HBITMAP bitmap = ReadBitmap(element, "SBMN");
    HBITMAP mask = ReadBitmap(element, "SBMM");
    CRect rect = ReadRect(element, id);

    // The bar needs a rectangle; without a usable colour it is white.
    FillInfo info;
    info.fillColor = CLR_INVALID;
    ReadFillInfo(element, info);
    const bool hasBar = element.child("FILLINFO").child("RECT") && info.rect.Width() + info.rect.Height() != 0;
    TrackFill fill;
    fill.color = info.fillColor == CLR_INVALID ? RGB(255, 255, 255) : info.fillColor;
    fill.rect = info.rect;
    if (CurrentElementFaulty())
        return nullptr;

    auto track = std::make_unique<CSliderTrack>(hasBar ? &fill : nullptr);
    track->id = id;
    track->owner = owner;
    if (!track->Create(rect.left, rect.top, rect.right, rect.bottom, OwnerWindow(owner)))
        return nullptr;
    track->SetBitmapWithMask(mask, bitmap, rect);  // without a mask, the bitmap alone
    return track;
}

uint32_t ReadSliders(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    pugi::xml_node list = root.child("SLIDERLIST");
    if (!list)
        return 0;
    BuildChildren(list, "VSLIDER", items, count,
                  [&](pugi::xml_node element) { return BuildVertSlider(element, items, owner); });
    BuildChildren(list, "HSLIDERM", items, count,
                  [&](pugi::xml_node element) { return BuildMultiSlider(element, items, owner); });
    BuildChildren(list, "HSLIDERMAPM", items, count,
                  [&](pugi::xml_node element) { return BuildAPMSlider(element, items, owner); });
    BuildChildren(list, "DMARKER", items, count, [&](pugi::xml_node element) { return BuildDMarker(element, owner); });
    return count.Packed();
}

} // namespace layout
