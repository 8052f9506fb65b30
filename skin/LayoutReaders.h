// The readers every element builder of a layout file uses, so that one attribute name means the
// same thing, with the same default, in every element.
//
// Values are UTF-8 in the file and wide text here. Element and attribute names compare exactly,
// with case. Where the current language table has an override for (item id, attribute), it wins
// over the file: "RECT", "caps", "multiline", "fontid" and the state bitmaps by element name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include <pugixml.hpp>

#include "platform/Geometry.h"

struct SkinResource;
class CGUIItems;
class CFontItem;

namespace layout {

// Five state bitmaps of the skin cache (borrowed; null when missing) and the element's RECT.
struct StateBitmapSet
{
    HBITMAP normal = nullptr;       // SBMN
    HBITMAP over = nullptr;         // SBMO
    HBITMAP down = nullptr;         // SBMD
    HBITMAP downSelected = nullptr; // SBMDS
    HBITMAP mask = nullptr;         // SBMM
    CRect rect;
};

// The filled part of a track or bar (FILLINFO).
struct FillInfo
{
    COLORREF fillColor = 0;
    COLORREF backColor = 0;
    CRect rect;
};

// One text area (TEXTINFO).
struct TextInfo
{
    std::wstring name;
    std::wstring text;
    CRect rect;
    CFontItem* font = nullptr;  // borrowed from the item list
    COLORREF textColor = 0;
    COLORREF backColor = 0;
};

// Every coordinate and size a layout gives lies within -kMaxLayoutCoordinate..kMaxLayoutCoordinate,
// so that a right edge (left + width) or a sum of widths is far from overflowing.
constexpr int32_t kMaxLayoutCoordinate = 32767;
// Every width, height, border width, margin and list height lies within -kMaxLayoutSize..
// kMaxLayoutSize: larger than any screen, and small enough that what is drawn at that size (a
// picture of the item's size is painted off screen) takes bounded memory and time.
constexpr int32_t kMaxLayoutSize = 4096;

// ---- Conversions ----

// True when the first character is '1', 't', 'T', 'y' or 'Y'.
bool IsTrueish(const std::wstring& value);
// The decimal prefix (leading white space and a sign allowed); 0 without digits.
int32_t ParseInteger(const std::wstring& value);
// A coordinate or size attribute; false (target untouched) when it is missing. A value outside the
// coordinate range is reported as an error of node and bounded to the range.
bool ReadCoordinate(pugi::xml_node node, const char* name, int32_t& target);
// A size attribute (a width, height, border width, margin); as ReadCoordinate within the size range.
bool ReadExtent(pugi::xml_node node, const char* name, int32_t& target);
// Whether name can be a file of folder (such as "skins\"; SkinFileNameFault); a refused name is
// reported as an error of element.
bool CheckSkinFileName(pugi::xml_node element, const std::wstring& name, const wchar_t* folder);
// The skin cache's entry of a file named in element; a name that is not a file of the type's
// folder (SkinFileNameFault) is reported as an error of element and gives null.
SkinResource* ReadSkinFile(pugi::xml_node element, const std::wstring& name, int32_t type);
// The attribute's value as wide text; false (value untouched) when the attribute is missing.
bool ReadAttribute(pugi::xml_node node, const char* name, std::wstring& value);
// The element's first text or CDATA child; empty when it has none.
std::wstring ElementText(pugi::xml_node node);
// The text of the named child, trimmed (a file name); empty when the child is missing.
std::wstring ChildFileName(pugi::xml_node node, const char* child);

// ---- Readers ----

// "name" through the item name table; -1 when missing or unknown.
int32_t ReadItemId(pugi::xml_node node);
// The item's rectangle: the language's "RECT" override for itemId, else the RECT child, both in
// left/top/width/height form, converted to (left, top, left + width, top + height). The left and top
// are coordinates (ReadCoordinate), the width and height sizes (ReadExtent).
CRect ReadRect(pugi::xml_node node, int32_t itemId);
// A given element that must be named RECT, unconverted: (left, top, right, bottom) as written, the
// first two coordinates (ReadCoordinate), the last two sizes (ReadExtent).
CRect ReadRawRect(pugi::xml_node rect);
// The named child's text, trimmed, as a bitmap of the skin cache; null when missing or unloadable,
// and when the name is refused (ReadSkinFile).
HBITMAP ReadBitmap(pugi::xml_node node, const char* child);
// As ReadBitmap, but the language's override keyed by the child's name names the file first.
HBITMAP ReadBitmapWithOverride(pugi::xml_node node, const char* child, int32_t itemId);
// A colour by name; an unknown name gives CLR_INVALID but still counts as present. False (target
// unchanged) when the attribute is missing.
bool ReadColor(pugi::xml_node node, const char* name, COLORREF& target);
// "tooltip" as written (the item translates it); false, target unchanged, when missing.
bool ReadToolTip(pugi::xml_node node, std::wstring& target);
// "tooltip", then "ttprefix" into a cleared prefix; the result is whether "tooltip" was present.
bool ReadToolTipPrefix(pugi::xml_node node, std::wstring& tooltip, std::wstring& prefix);
// "ttpos": 'R', 'T' or 'B' as written, anything else 'L'.
wchar_t ReadToolTipPosition(pugi::xml_node node);
// "ttenabled", true-ish; true when missing.
bool ReadToolTipEnabled(pugi::xml_node node);
// "multiplier"; 1 and false when missing.
bool ReadMultiplier(pugi::xml_node node, int32_t& target);
// "caps" (override first): 'U' 1 (upper), 'L' 2 (lower), anything else 0; exact case.
int ReadCaps(pugi::xml_node node, int32_t itemId);
// "justify": 'C' or 'R' as written, anything else 'L'.
wchar_t ReadJustify(pugi::xml_node node);
// "multiline" (override first): true only for the integer value 1.
bool ReadMultiline(pugi::xml_node node, int32_t itemId);
// "ischeckbox", true-ish; false when missing.
bool ReadCheckBox(pugi::xml_node node);
// "interactive", true-ish; defaultValue when missing.
bool ReadInteractive(pugi::xml_node node, bool defaultValue);
// "dynamic", true-ish; true when missing.
bool ReadDynamic(pugi::xml_node node);
// The item's font: the language's "fontid" override for itemId when it names an item, else the
// file's "fontid" through the language's font map; accepted only when that item is a FONT.
CFontItem* ReadFont(pugi::xml_node node, int32_t itemId, const CGUIItems* items);
// SBMN, SBMO, SBMD, SBMDS, SBMM (each with override) and RECT; true when SBMN is there.
bool ReadStateBitmaps(pugi::xml_node node, int32_t itemId, StateBitmapSet& set);
// FILLINFO: valid with a RECT whose width + height is not 0 and a "fillclr". The RECT is in
// left/top/width/height form like every other. Fields the element lacks keep their values.
bool ReadFillInfo(pugi::xml_node node, FillInfo& info);
// A TEXTINFO element: valid with "name" and a RECT child; a font only with "fontid" and items.
bool ReadTextInfo(pugi::xml_node textInfo, const CGUIItems* items, TextInfo& info);

// Several bitmaps of one element by child name.
struct NamedBitmap
{
    const char* child;
    HBITMAP* target;
};
void ReadBitmapsByName(pugi::xml_node node, std::initializer_list<NamedBitmap> bitmaps);

// The value of the first pair whose name equals name without regard to case; 0 when none.
struct NamedValue
{
    const wchar_t* name;
    int32_t value;
};
int32_t LookupByName(const std::wstring& name, std::initializer_list<NamedValue> pairs);

// Colour attributes applied through an item's setters: for each pair whose attribute is present,
// the setter gets the colour.
template <class Item>
struct ColorSetter
{
    const char* attribute;
    void (Item::*setter)(COLORREF);
};
template <class Item>
void ApplyColors(pugi::xml_node node, Item& item, std::initializer_list<ColorSetter<Item>> setters)
{
    for (const ColorSetter<Item>& s : setters) {
        COLORREF colour = 0;
        if (ReadColor(node, s.attribute, colour))
            (item.*s.setter)(colour);
    }
}

// Text of an item-attribute override of the current language, or null.
const wchar_t* FindTextOverride(int32_t itemId, const wchar_t* attribute);

} // namespace layout
