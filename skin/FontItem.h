// A font that a layout's FONT element creates; the items that name it by "fontid" borrow it.
#pragma once

#include "platform/GdiObject.h"
#include "skin/GUIItem.h"

// The skin's own font: Arial of the given height (LOGFONT height: positive for the character cell,
// negative for the character itself), bold (700), the default character set and quality, swiss
// family. Items that draw text without a font item of the layout use it.
bool CreateSkinFont(int height, CFont& font);
// The height of the skin font of an item without a font item.
constexpr int kSkinFontHeight = 14;

class CFontItem : public CFont, public CGUIItem
{
public:
    CFontItem();
    ~CFontItem() override;
};
