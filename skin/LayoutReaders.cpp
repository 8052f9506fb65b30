#include "skin/LayoutReaders.h"

#include <cstring>
#include <cwchar>
#include <cwctype>

#include "core/NameTables.h"
#include "platform/WStr.h"
#include "skin/FontItem.h"
#include "skin/GUIItem.h"
#include "skin/LangTable.h"
#include "skin/LayoutErrors.h"
#include "skin/SkinResourceCache.h"

namespace layout {

namespace {

HBITMAP SkinBitmap(pugi::xml_node element, const std::wstring& fileName)
{
    if (fileName.empty())
        return nullptr;
    SkinResource* entry = ReadSkinFile(element, fileName, SkinResourcePicture);
    return entry ? entry->bitmap.Get() : nullptr;
}

int32_t Bounded(long value, int32_t limit = kMaxLayoutCoordinate)
{
    if (value > limit)
        return limit;
    if (value < -limit)
        return -limit;
    return static_cast<int32_t>(value);
}

bool ReadBoundedNumber(pugi::xml_node node, const char* name, int32_t limit, int32_t& target)
{
    std::wstring value;
    if (!ReadAttribute(node, name, value))
        return false;
    long n = std::wcstol(value.c_str(), nullptr, 10);
    target = Bounded(n, limit);
    if (target != n)
        ReportLayoutError(node, wstr::Format(L"%hs=\"%ls\" is outside %d..%d", name, value.c_str(), -limit, limit));
    return true;
}

// A RECT in the file's form: left, top, width, height.
struct RawRect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

RawRect ReadRawRectValues(pugi::xml_node rect)
{
    RawRect r;
    ReadCoordinate(rect, "left", r.left);
    ReadCoordinate(rect, "top", r.top);
    ReadExtent(rect, "right", r.width);
    ReadExtent(rect, "bottom", r.height);
    return r;
}

CRect Converted(const RawRect& r)
{
    return CRect(r.left, r.top, r.left + r.width, r.top + r.height);
}

// A RECT override is kept as the text "left top width height" (see the LANGUAGES section), which
// the section wrote from bounded values; they are bounded again all the same.
bool ParseRectOverride(const wchar_t* text, RawRect& r)
{
    int32_t values[4] = {0, 0, 0, 0};
    const wchar_t* p = text;
    for (int i = 0; i < 4; ++i) {
        wchar_t* end = nullptr;
        long n = std::wcstol(p, &end, 10);
        if (end == p)
            return false;
        values[i] = Bounded(n, i < 2 ? kMaxLayoutCoordinate : kMaxLayoutSize);
        p = end;
    }
    r.left = values[0];
    r.top = values[1];
    r.width = values[2];
    r.height = values[3];
    return true;
}

} // namespace

bool IsTrueish(const std::wstring& value)
{
    if (value.empty())
        return false;
    switch (value[0]) {
    case L'1':
    case L't':
    case L'T':
    case L'y':
    case L'Y':
        return true;
    default:
        return false;
    }
}

int32_t ParseInteger(const std::wstring& value)
{
    long n = std::wcstol(value.c_str(), nullptr, 10);
    if (n > INT32_MAX)
        return INT32_MAX;
    if (n < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(n);
}

bool ReadCoordinate(pugi::xml_node node, const char* name, int32_t& target)
{
    return ReadBoundedNumber(node, name, kMaxLayoutCoordinate, target);
}

bool ReadExtent(pugi::xml_node node, const char* name, int32_t& target)
{
    return ReadBoundedNumber(node, name, kMaxLayoutSize, target);
}

bool CheckSkinFileName(pugi::xml_node element, const std::wstring& name, const wchar_t* folder)
{
    const wchar_t* fault = SkinFileNameFault(name);
    if (fault)
        ReportLayoutError(element, L"\"" + name + L"\" is refused as a file of " + folder + L": " + fault);
    return !fault;
}

SkinResource* ReadSkinFile(pugi::xml_node element, const std::wstring& name, int32_t type)
{
    if (!CheckSkinFileName(element, name, SkinTypeFolder(type)))
        return nullptr;
    return GetSkinResourceCache().Get(name.c_str(), type);
}

bool ReadAttribute(pugi::xml_node node, const char* name, std::wstring& value)
{
    pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        return false;
    value = wstr::Utf8ToWide(attribute.value());
    return true;
}

std::wstring ElementText(pugi::xml_node node)
{
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            return wstr::Utf8ToWide(child.value());
    }
    return std::wstring();
}

std::wstring ChildFileName(pugi::xml_node node, const char* child)
{
    pugi::xml_node element = node.child(child);
    return element ? wstr::Trim(ElementText(element)) : std::wstring();
}

const wchar_t* FindTextOverride(int32_t itemId, const wchar_t* attribute)
{
    CLangTable* language = GetCurrentLangTable();
    if (!language || itemId == -1)
        return nullptr;
    return static_cast<const wchar_t*>(language->FindOverride(itemId, attribute));
}

int32_t ReadItemId(pugi::xml_node node)
{
    std::wstring name;
    if (!ReadAttribute(node, "name", name))
        return -1;
    return FindItemIdByName(name.c_str());
}

CRect ReadRect(pugi::xml_node node, int32_t itemId)
{
    RawRect r;
    if (const wchar_t* text = FindTextOverride(itemId, L"RECT")) {
        if (ParseRectOverride(text, r))
            return Converted(r);
    }
    pugi::xml_node rect = node.child("RECT");
    return rect ? Converted(ReadRawRectValues(rect)) : CRect();
}

CRect ReadRawRect(pugi::xml_node rect)
{
    if (!rect || std::strcmp(rect.name(), "RECT") != 0)
        return CRect();
    RawRect r = ReadRawRectValues(rect);
    return CRect(r.left, r.top, r.width, r.height);
}

HBITMAP ReadBitmap(pugi::xml_node node, const char* child)
{
    return SkinBitmap(node.child(child), ChildFileName(node, child));
}

HBITMAP ReadBitmapWithOverride(pugi::xml_node node, const char* child, int32_t itemId)
{
    if (const wchar_t* text = FindTextOverride(itemId, wstr::Utf8ToWide(child).c_str()))
        return SkinBitmap(node, wstr::Trim(text));
    return ReadBitmap(node, child);
}

bool ReadColor(pugi::xml_node node, const char* name, COLORREF& target)
{
    std::wstring value;
    if (!ReadAttribute(node, name, value))
        return false;
    target = FindColorByName(value.c_str());
    return true;
}

bool ReadToolTip(pugi::xml_node node, std::wstring& target)
{
    return ReadAttribute(node, "tooltip", target);
}

bool ReadToolTipPrefix(pugi::xml_node node, std::wstring& tooltip, std::wstring& prefix)
{
    bool present = ReadToolTip(node, tooltip);
    prefix.clear();
    ReadAttribute(node, "ttprefix", prefix);
    return present;
}

wchar_t ReadToolTipPosition(pugi::xml_node node)
{
    std::wstring value;
    if (ReadAttribute(node, "ttpos", value) && !value.empty()) {
        if (value[0] == L'R' || value[0] == L'T' || value[0] == L'B')
            return value[0];
    }
    return L'L';
}

bool ReadToolTipEnabled(pugi::xml_node node)
{
    std::wstring value;
    return ReadAttribute(node, "ttenabled", value) ? IsTrueish(value) : true;
}

bool ReadMultiplier(pugi::xml_node node, int32_t& target)
{
    std::wstring value;
    if (!ReadAttribute(node, "multiplier", value)) {
        target = 1;
        return false;
    }
    target = ParseInteger(value);
    return true;
}

int ReadCaps(pugi::xml_node node, int32_t itemId)
{
    std::wstring value;
    if (const wchar_t* text = FindTextOverride(itemId, L"caps"))
        value = text;
    else if (!ReadAttribute(node, "caps", value))
        return 0;
    if (value.empty())
        return 0;
    if (value[0] == L'U')
        return 1;
    if (value[0] == L'L')
        return 2;
    return 0;
}

wchar_t ReadJustify(pugi::xml_node node)
{
    std::wstring value;
    if (ReadAttribute(node, "justify", value) && !value.empty()) {
        if (value[0] == L'C' || value[0] == L'R')
            return value[0];
    }
    return L'L';
}

bool ReadMultiline(pugi::xml_node node, int32_t itemId)
{
    std::wstring value;
    if (const wchar_t* text = FindTextOverride(itemId, L"multiline"))
        value = text;
    else if (!ReadAttribute(node, "multiline", value))
        return false;
    return ParseInteger(value) == 1;
}

bool ReadCheckBox(pugi::xml_node node)
{
    std::wstring value;
    return ReadAttribute(node, "ischeckbox", value) && IsTrueish(value);
}

bool ReadInteractive(pugi::xml_node node, bool defaultValue)
{
    std::wstring value;
    return ReadAttribute(node, "interactive", value) ? IsTrueish(value) : defaultValue;
}

bool ReadDynamic(pugi::xml_node node)
{
    std::wstring value;
    return ReadAttribute(node, "dynamic", value) ? IsTrueish(value) : true;
}

CFontItem* ReadFont(pugi::xml_node node, int32_t itemId, const CGUIItems* items)
{
    std::wstring value;
    int32_t fontId = ReadAttribute(node, "fontid", value) ? FindItemIdByName(value.c_str()) : -1;

    bool overridden = false;
    if (const wchar_t* text = FindTextOverride(itemId, L"fontid")) {
        int32_t overrideId = FindItemIdByName(text);
        if (overrideId != -1) {
            fontId = overrideId;
            overridden = true;
        }
    }
    if (!overridden) {
        if (fontId == -1)
            return nullptr;
        if (CLangTable* language = GetCurrentLangTable())
            fontId = language->MapItemId(fontId);
    }
    if (!items)
        return nullptr;
    return items->FindAs<CFontItem>(fontId, ItemKind::FontItem);
}

bool ReadStateBitmaps(pugi::xml_node node, int32_t itemId, StateBitmapSet& set)
{
    set.normal = ReadBitmapWithOverride(node, "SBMN", itemId);
    set.over = ReadBitmapWithOverride(node, "SBMO", itemId);
    set.down = ReadBitmapWithOverride(node, "SBMD", itemId);
    set.downSelected = ReadBitmapWithOverride(node, "SBMDS", itemId);
    set.mask = ReadBitmapWithOverride(node, "SBMM", itemId);
    set.rect = ReadRect(node, itemId);
    return set.normal != nullptr;
}

bool ReadFillInfo(pugi::xml_node node, FillInfo& info)
{
    pugi::xml_node fill = node.child("FILLINFO");
    if (!fill)
        return false;
    bool hasFillColor = ReadColor(fill, "fillclr", info.fillColor);
    ReadColor(fill, "backclr", info.backColor);
    pugi::xml_node rect = fill.child("RECT");
    if (!rect)
        return false;
    RawRect raw = ReadRawRectValues(rect);
    info.rect = Converted(raw);
    return raw.width + raw.height != 0 && hasFillColor;
}

bool ReadTextInfo(pugi::xml_node textInfo, const CGUIItems* items, TextInfo& info)
{
    if (!textInfo || std::strcmp(textInfo.name(), "TEXTINFO") != 0)
        return false;
    bool hasName = ReadAttribute(textInfo, "name", info.name);
    ReadAttribute(textInfo, "textkey", info.text);
    pugi::xml_node rect = textInfo.child("RECT");
    if (rect)
        info.rect = Converted(ReadRawRectValues(rect));
    if (items && textInfo.attribute("fontid"))
        info.font = ReadFont(textInfo, -1, items);
    ReadColor(textInfo, "fontclr", info.textColor);
    ReadColor(textInfo, "backclr", info.backColor);
    return hasName && rect;
}

void ReadBitmapsByName(pugi::xml_node node, std::initializer_list<NamedBitmap> bitmaps)
{
    for (const NamedBitmap& b : bitmaps) {
        if (b.target)
            *b.target = ReadBitmap(node, b.child);
    }
}

int32_t LookupByName(const std::wstring& name, std::initializer_list<NamedValue> pairs)
{
    for (const NamedValue& pair : pairs) {
        if (wstr::EqualsNoCase(name, pair.name))
            return pair.value;
    }
    return 0;
}

} // namespace layout
