// A font that a layout's FONT element creates; the items that name it by "fontid" borrow it.
#pragma once

#include "GUIItem.h"
#include "GdiObject.h"

class CFontItem : public CFont, public CGUIItem
{
public:
    CFontItem();
    ~CFontItem() override;
};
