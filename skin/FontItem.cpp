#include "skin/FontItem.h"

#include "platform/WStr.h"

bool CreateSkinFont(int height, CFont& font)
{
    LOGFONTW lf = {};
    lf.lfHeight = height;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    wstr::CopyBounded(lf.lfFaceName, LF_FACESIZE, L"Arial");
    font.DeleteObject();
    return font.CreateFontIndirect(lf);
}

CFontItem::CFontItem()
{
    kind = ItemKind::FontItem;
    window = nullptr;
}

CFontItem::~CFontItem() = default;
