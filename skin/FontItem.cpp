#include "FontItem.h"

CFontItem::CFontItem()
{
    kind = ItemKind::FontItem;
    window = nullptr;
}

CFontItem::~CFontItem() = default;
