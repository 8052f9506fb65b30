#include "controls/ControlReaders.h"

#include <string>

#include "controls/BitmapItem.h"
#include "controls/SliderTrack.h"
#include "core/NameTables.h"
#include "skin/GUIItem.h"
#include "skin/LayoutReaders.h"

namespace layout {

CBitmapItem* ReadItemReference(pugi::xml_node node, const char* name, const CGUIItems* items)
{
    std::wstring value;
    if (!items || !ReadAttribute(node, name, value))
        return nullptr;
    int32_t id = FindItemIdByName(value.c_str());
    if (id == -1)
        return nullptr;
    return items->FindAs<CBitmapItem>(id, ItemKind::BitmapItem);
}

CSliderTrack* ReadTrack(pugi::xml_node node, const CGUIItems* items)
{
    std::wstring value;
    if (!items || !ReadAttribute(node, "trackid", value))
        return nullptr;
    int32_t id = FindItemIdByName(value.c_str());
    if (id == -1)
        return nullptr;
    return items->FindAs<CSliderTrack>(id, ItemKind::SliderTrack);
}

bool ReadScrollSkin(pugi::xml_node node, VScrollSkin& skin)
{
    skin = VScrollSkin();
    pugi::xml_node scroll = node.child("VSCROLL");
    if (!scroll || !scroll.child("VSBMP_TMB"))
        return false;
    static const char* const kChildren[VScrollSkin::kBitmapCount] = {
        "VSBMP_TOP", "VSBMP_BOT", "VSBMP_AUP", "VSBMP_ADN", "VSBMP_SPN", "VSBMP_TMB"};
    for (int i = 0; i < VScrollSkin::kBitmapCount; ++i)
        skin.bitmaps[i] = ReadBitmap(scroll, kChildren[i]);
    int32_t borderWidth = 0;
    if (ReadExtent(scroll, "bdrwidth", borderWidth))
        skin.borderWidth = borderWidth;
    return true;
}

std::unique_ptr<CVScrollBar> ReadScrollBar(pugi::xml_node node, HWND list)
{
    VScrollSkin skin;
    ReadScrollSkin(node, skin);
    auto bar = std::make_unique<CVScrollBar>(skin.Width(), list);
    bar->SetSkin(skin);
    return bar;
}

} // namespace layout
