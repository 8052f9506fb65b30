#include "controls/DpiSections.h"

#include <algorithm>
#include <string>
#include <vector>

#include "controls/APMSlider.h"
#include "controls/BitmapItem.h"
#include "controls/ControlReaders.h"
#include "controls/DMarker.h"
#include "controls/DpiStageWindow.h"
#include "controls/DropdownColorButton.h"
#include "controls/ItemSections.h"
#include "platform/WStr.h"
#include "skin/GUIItem.h"
#include "skin/LayoutReaders.h"
#include "skin/LayoutSectionBuild.h"

namespace layout {

namespace {

std::unique_ptr<CGUIItem> BuildDpiStageWindow(pugi::xml_node element, const CGUIItems* items, CWnd* owner,
                                              int stage)
{
    int32_t id = ReadItemId(element);
    if (id == -1 || !OwnerWindow(owner))
        return nullptr;
    std::vector<DpiStageBitmap> bitmaps;
    for (pugi::xml_node info = element.child("BMPINFO"); info; info = info.next_sibling("BMPINFO")) {
        DpiStageBitmap bitmap;
        ReadAttribute(info, "name", bitmap.name);
        bitmap.bitmap = ReadBitmap(info, "BMPDATA");
        bitmap.mask = ReadBitmap(info, "BMPMASK");
        bitmap.rect = ReadRect(info, -1);
        bitmaps.push_back(bitmap);
    }
    std::vector<DpiStageTextArea> texts;
    for (pugi::xml_node area = element.child("TEXTAREA"); area; area = area.next_sibling("TEXTAREA")) {
        DpiStageTextArea text;
        ReadAttribute(area, "name", text.name);
        ReadAttribute(area, "textkey", text.text);
        text.rect = ReadRect(area, -1);
        texts.push_back(text);
    }
    const CRect rect = ReadRect(element, id);
    CFontItem* font = items ? ReadFont(element, id, items) : nullptr;
    COLORREF fontColor = 0;
    const bool hasFontColor = ReadColor(element, "fontclr", fontColor);
    std::wstring tooltip;
    const bool hasToolTip = ReadToolTip(element, tooltip);
    if (CurrentElementFaulty())
        return nullptr;

    auto window = std::make_unique<CDPIStageWindow>(stage);
    window->id = id;
    window->owner = owner;
    window->SetItemFont(font);
    if (hasFontColor && fontColor != CLR_INVALID)
        window->SetFontColor(fontColor);
    if (!window->CreateFromLayout(OwnerWindow(owner), texts, bitmaps, rect))
        return nullptr;
    if (hasToolTip)
        window->SetToolTip(tooltip.c_str());
    return window;
}

} // namespace

uint32_t ReadDpiStageWindows(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    pugi::xml_node list = root.child("DPISTAGELIST");
    if (!list)
        return 0;
    int stage = 0;
    BuildChildren(list, "DPISTAGEWINDOW", items, count, [&](pugi::xml_node element) {
        return BuildDpiStageWindow(element, items, owner, ++stage);
    });
    return count.Packed();
}

// The slider's owner is its track, whatever the loader's owner.
std::unique_ptr<CGUIItem> BuildAPMSlider(pugi::xml_node element, const CGUIItems* items, CWnd*)
{
    int32_t id = ReadItemId(element);
    if (id == -1)
        return nullptr;
    // The track is the parent: without it there is nowhere to put the slider.
    CBitmapItem* track = ReadItemReference(element, "trackid", items);
    if (!track || !track->GetSafeHwnd())
        return nullptr;
    HBITMAP normal = ReadBitmap(element, "SBMN");
    HBITMAP hot = ReadBitmap(element, "SBMO");
    const CRect rect = ReadRect(element, id);
    std::wstring tooltip;
    ReadToolTip(element, tooltip);
    std::wstring dynamic;
    ReadAttribute(element, "dynamic", dynamic);
    if (CurrentElementFaulty())
        return nullptr;

    auto slider = std::make_unique<CAPMSlider>();
    slider->id = id;
    slider->owner = track;
    if (!slider->Create(track->GetSafeHwnd(), track, normal, hot, rect))
        return nullptr;
    slider->SetToolTipText(tooltip);
    slider->SetDynamicText(dynamic);
    slider->SetDefaultStages();
    if (slider->CapMode() != 0)
        slider->RemoveTickerCapRanges();
    else
        slider->SetTickerCapRanges();
    slider->InitGreyLevels();
    return slider;
}

std::unique_ptr<CGUIItem> BuildDMarker(pugi::xml_node element, CWnd* owner)
{
    int32_t id = ReadItemId(element);
    if (id == -1 || !OwnerWindow(owner))
        return nullptr;
    HBITMAP back = ReadBitmap(element, "SBMN");
    HBITMAP fill = ReadBitmap(element, "MARK");
    const CRect rect = ReadRect(element, id);
    if (CurrentElementFaulty())
        return nullptr;

    auto marker = std::make_unique<CDMarker>();
    marker->owner = owner;
    if (!marker->Create(rect, id, OwnerWindow(owner)))
        return nullptr;
    marker->SetBitmaps(back, fill, rect);
    return marker;
}

std::unique_ptr<CGUIItem> BuildColorButton(pugi::xml_node element, CWnd* owner)
{
    int32_t id = ReadItemId(element);
    if (id == -1 || !element.child("CLIST") || !OwnerWindow(owner))
        return nullptr;
    auto button = std::make_unique<CDropdownColorButton>();
    button->id = id;
    button->owner = owner;
    ReadDropdownLook(element, *button);
    // The frame takes the border colour, lit in the highlighted text colour; the arrow the text
    // colour.
    COLORREF frame = RGB(128, 128, 128);
    COLORREF frameHot = RGB(255, 255, 255);
    COLORREF arrow = RGB(255, 255, 255);
    ReadColor(element, "bdrclr", frame);
    ReadColor(element, "fontclrhi", frameHot);
    ReadColor(element, "fontclr", arrow);
    button->SetFrameColors(frame, frameHot);
    button->SetArrowColor(arrow);
    int32_t frameWidth = 0;
    if (ReadExtent(element, "bdrwidth", frameWidth))
        button->SetFrameWidth(std::max(0, static_cast<int>(frameWidth)));
    std::wstring value;
    button->SetHasArrow(ReadAttribute(element, "hasarrow", value) && IsTrueish(value));
    HBITMAP mask = ReadBitmap(element, "SBMM");
    const CRect box = ReadRect(element.child("CBOX"), id);
    if (CurrentElementFaulty())
        return nullptr;

    if (!button->Create(box, OwnerWindow(owner), static_cast<UINT>(id)))
        return nullptr;
    button->SetShapeMask(mask);
    ReadDropdownEntries(element, *button);
    return button;
}

} // namespace layout
