#include "skin/LayoutSections.h"

#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/KeyboardDef.h"
#include "core/NameTables.h"
#include "platform/Wnd.h"
#include "platform/WStr.h"
#include "skin/FontItem.h"
#include "skin/GUIItem.h"
#include "skin/KeyboardDefItem.h"
#include "skin/KeyboardLayouts.h"
#include "skin/LangTable.h"
#include "skin/LayoutErrors.h"
#include "skin/LayoutReaders.h"
#include "skin/LayoutSectionBuild.h"
#include "skin/SkinResourceCache.h"

using namespace layout;

namespace {

int32_t g_languageFilter = -1;

std::wstring AttributeName(pugi::xml_attribute attribute)
{
    return wstr::Utf8ToWide(attribute.name());
}

void AddTextOverride(CLangTable& table, int32_t itemId, const std::wstring& attribute, const std::wstring& text)
{
    table.AddOverride(itemId, attribute.c_str(), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

size_t AttributeCount(pugi::xml_node node)
{
    size_t n = 0;
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
        ++n;
    return n;
}

// The attribute of a two-attribute element that is not "name".
pugi::xml_attribute OtherAttribute(pugi::xml_node node)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (std::strcmp(a.name(), "name") != 0)
            return a;
    }
    return pugi::xml_attribute();
}

// ---- LANGUAGES --------------------------------------------------------------------------------

constexpr const char* kStateBitmapNames[] = {"SBMN", "SBMO", "SBMD", "SBMDS", "SBMM"};

// A bitmap override names a file of skins\ (looked up by attribute name without regard to case,
// as CLangTable::FindOverride does); an empty one names none.
void CheckOverrideFile(pugi::xml_node element, const std::wstring& attribute, const std::wstring& value)
{
    std::wstring file = wstr::Trim(value);
    for (const char* name : kStateBitmapNames) {
        if (wstr::EqualsNoCase(attribute, wstr::Utf8ToWide(name)) && !file.empty())
            CheckSkinFileName(element, file, SkinTypeFolder(SkinResourcePicture));
    }
}

// A faulty override (a bitmap name that is refused, a RECT value out of range) is skipped on its
// own; the language keeps its other overrides.
void ReadLanguageOverride(pugi::xml_node element, CLangTable& table)
{
    CLayoutElementCheck check;
    size_t attributes = AttributeCount(element);
    int32_t itemId = ReadItemId(element);
    if (itemId == -1 || (attributes != 1 && attributes != 2))
        return;
    struct Record
    {
        std::wstring attribute;
        std::wstring text;
        pugi::xml_node source;  // where the text was written
    };
    std::vector<Record> records;
    if (attributes == 2) {
        if (pugi::xml_attribute other = OtherAttribute(element))
            records.push_back({AttributeName(other), wstr::Utf8ToWide(other.value()), element});
    } else if (pugi::xml_node rect = element.child("RECT")) {
        // Kept as written (left, top, width, height); the RECT reader converts it like the file's.
        CRect raw = ReadRawRect(rect);
        records.push_back(
            {L"RECT", wstr::Format(L"%ld %ld %ld %ld", raw.left, raw.top, raw.right, raw.bottom), rect});
    } else {
        for (const char* name : kStateBitmapNames) {
            if (pugi::xml_node bitmap = element.child(name))
                records.push_back({wstr::Utf8ToWide(name), ElementText(bitmap), bitmap});
        }
    }
    for (const Record& record : records)
        CheckOverrideFile(record.source, record.attribute, record.text);
    if (check.Faulty())
        return;
    for (const Record& record : records)
        AddTextOverride(table, itemId, record.attribute, record.text);
}

void ReadColumnOverride(pugi::xml_node element, CLangTable& table)
{
    if (AttributeCount(element) != 2)
        return;
    std::wstring column;
    if (!ReadAttribute(element, "name", column))
        return;
    int32_t columnId = FindListColumnId(column.c_str());
    pugi::xml_attribute other = OtherAttribute(element);
    if (columnId == -1 || !other)
        return;
    std::wstring value = wstr::Utf8ToWide(other.value());
    table.AddColumnOverride(columnId, AttributeName(other).c_str(), value.c_str(),
                            (value.size() + 1) * sizeof(wchar_t));
}

// The language whose texts stand in for a language whose file is missing or holds no texts: the
// English one, whose item name is LANGUAGE_DEFAULT.
constexpr int32_t kEnglishLanguageId = 0;

// The texts of a language file, or why there are none. A missing, unreadable or textless file is
// told as an error of its own, which does not fault the LANG element: the language still comes,
// with the English texts.
struct LanguageTexts
{
    SkinResource* entry = nullptr;
    std::wstring fault;
};

LanguageTexts ReadLanguageFile(const std::wstring& file)
{
    LanguageTexts texts;
    texts.entry = GetSkinResourceCache().Get(file.c_str(), SkinResourceLanguage);
    if (!texts.entry || !texts.entry->fileRead) {
        texts.fault = L"the language file \"" + file + L"\" of lang\\ is missing or cannot be read";
    } else {
        CLangTable probe;
        if (!probe.Parse(texts.entry->data.size(), texts.entry->Data()))
            texts.fault = L"the language file \"" + file + L"\" of lang\\ holds no texts";
    }
    return texts;
}

// The LANG of the English texts in the same list, when it is another element than element.
pugi::xml_node EnglishLanguageOf(pugi::xml_node element)
{
    for (pugi::xml_node lang = element.parent().child("LANG"); lang; lang = lang.next_sibling("LANG")) {
        if (lang != element && ReadItemId(lang) == kEnglishLanguageId)
            return lang;
    }
    return pugi::xml_node();
}

std::unique_ptr<CLangTable> BuildLanguageFrom(pugi::xml_node element, int32_t id, CWnd* owner, bool mayFallBack)
{
    std::wstring file;
    ReadAttribute(element, "file", file);
    file = wstr::Trim(file);
    if (file.empty()) {
        ReportLayoutError(element, L"names no language file");
        return nullptr;
    }
    // A name beyond lang\ is a fault of the layout: the element goes.
    if (!CheckSkinFileName(element, file, SkinTypeFolder(SkinResourceLanguage)))
        return nullptr;
    LanguageTexts texts;
    {
        CLayoutElementCheck own;
        texts = ReadLanguageFile(file);
        if (!texts.fault.empty()) {
            std::unique_ptr<CLangTable> standIn;
            if (pugi::xml_node english = mayFallBack ? EnglishLanguageOf(element) : pugi::xml_node()) {
                // The English element whole: its texts go with its own fonts and adjustments. Its
                // faults are its own, told where it is built itself.
                CLayoutErrorLog quiet;
                CLayoutElementCheck englishCheck;
                standIn = BuildLanguageFrom(english, id, owner, false);
                if (englishCheck.Faulty() || (standIn && standIn->PairCount() == 0))
                    standIn.reset();
            }
            ReportLayoutError(element, texts.fault + (standIn ? L"; the English texts are shown" : L""));
            if (standIn)
                return standIn;
        }
    }

    auto table = std::make_unique<CLangTable>();
    if (texts.entry && texts.entry->fileRead)
        table->Parse(texts.entry->data.size(), texts.entry->Data());
    table->id = id;
    table->owner = owner;

    for (pugi::xml_node font = element.child("LANGFONT"); font; font = font.next_sibling("LANGFONT")) {
        std::wstring search, replace;
        ReadAttribute(font, "fontsearch", search);
        ReadAttribute(font, "fontreplace", replace);
        int32_t searchId = FindItemIdByName(search.c_str());
        int32_t replaceId = FindItemIdByName(replace.c_str());
        if (searchId != -1 && replaceId != -1)
            table->SetFontMapping(searchId, replaceId);
    }
    for (pugi::xml_node col = element.child("LANGOVERRIDECOL"); col; col = col.next_sibling("LANGOVERRIDECOL"))
        ReadColumnOverride(col, *table);
    for (pugi::xml_node ovr = element.child("LANGOVERRIDE"); ovr; ovr = ovr.next_sibling("LANGOVERRIDE"))
        ReadLanguageOverride(ovr, *table);
    return table;
}

std::unique_ptr<CLangTable> BuildLanguage(pugi::xml_node element, int32_t id, CWnd* owner)
{
    return BuildLanguageFrom(element, id, owner, true);
}

uint32_t ReadLanguages(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    pugi::xml_node list = root.child("LANGLIST");
    if (!list)
        return 0;
    BuildChildren(
        list, "LANG", items, count,
        [&](pugi::xml_node element) -> std::unique_ptr<CLangTable> {
            int32_t id = ReadItemId(element);
            if (id == -1 || (g_languageFilter != -1 && g_languageFilter != id))
                return nullptr;
            return BuildLanguage(element, id, owner);
        },
        [](CLangTable& table) { RegisterLangTable(table.id, &table); });
    return count.Packed();
}

// ---- KEYBOARD DEF, KEYBOARD LAYOUTS -----------------------------------------------------------

uint32_t ReadKeyboardDefSection(pugi::xml_node root, CGUIItems*, CWnd* owner)
{
    bool present = static_cast<bool>(root.child("KEYBOARDDEF"));
    ReadKeyboardDefElement(root, owner);
    return present ? (1u << 16) : 0;
}

uint32_t ReadKeyboardLayouts(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    pugi::xml_node list = root.child("KBLAYOUTLIST");
    if (!list)
        return 0;
    BuildChildren(
        list, "KBLAYOUT", items, count,
        [&](pugi::xml_node element) -> std::unique_ptr<CKeyboardLayoutSetting> {
            int32_t id = ReadItemId(element);
            if (id == -1)
                return nullptr;
            auto setting = std::make_unique<CKeyboardLayoutSetting>();
            setting->id = id;
            setting->owner = owner;
            ReadAttribute(element, "kbdlayout", setting->layoutName);
            ReadAttribute(element, "kbditems", setting->layoutItems);
            return setting;
        },
        [](CKeyboardLayoutSetting& setting) { KeyboardLayouts().Register(setting.id, &setting); });
    return count.Packed();
}

// ---- FONTS --------------------------------------------------------------------------------------

// A font's size or weight is at most this: a weight ends at 1000, and a character cell larger than
// that is no text of a panel (a pitch of 65536 took gigabytes and seconds to paint one text).
constexpr int32_t kMaxFontNumber = 1000;

// "pitch", "boldlevel", "width": taken when greater than 0; a value above kMaxFontNumber is an error
// of the element.
template <class Field>
void ReadFontNumber(pugi::xml_node element, const char* name, Field& target)
{
    std::wstring value;
    if (!ReadAttribute(element, name, value))
        return;
    const int32_t n = ParseInteger(value);
    if (n > kMaxFontNumber) {
        ReportLayoutError(element, wstr::Format(L"%hs=\"%ls\" is above %d", name, value.c_str(), kMaxFontNumber));
        return;
    }
    if (n > 0)
        target = n;
}

std::unique_ptr<CGUIItem> BuildFont(pugi::xml_node element, CWnd* owner)
{
    int32_t id = ReadItemId(element);
    if (id == -1)
        return nullptr;
    LOGFONTW lf = {};
    lf.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
    std::wstring value;
    if (ReadAttribute(element, "typeface", value) && !value.empty())
        wstr::CopyBounded(lf.lfFaceName, LF_FACESIZE, value.c_str());  // at most 31 characters
    ReadFontNumber(element, "pitch", lf.lfHeight);
    ReadFontNumber(element, "boldlevel", lf.lfWeight);
    ReadFontNumber(element, "width", lf.lfWidth);

    // A private font file is registered first, so that its face can be named in "typeface".
    std::wstring fontFile = wstr::Trim(ElementText(element));
    if (!fontFile.empty())
        ReadSkinFile(element, fontFile, SkinResourceFont);
    if (CurrentElementFaulty())
        return nullptr;

    auto font = std::make_unique<CFontItem>();
    if (!font->CreateFontIndirect(lf))
        return nullptr;
    font->id = id;
    font->owner = owner;
    return font;
}

uint32_t ReadFonts(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    pugi::xml_node list = root.child("FONTLIST");
    if (!list)
        return 0;
    BuildChildren(list, "FONT", items, count, [&](pugi::xml_node element) { return BuildFont(element, owner); });
    return count.Packed();
}

} // namespace

// The framework's own sections come first in every table: a language's fonts and texts and the
// keyboard's definition are there before any item that names them.
constexpr LayoutSection kFrameworkSections[] = {
    {L"LANGUAGES", ReadLanguages},
    {L"KEYBOARD DEF", ReadKeyboardDefSection},
    {L"KEYBOARD LAYOUTS", ReadKeyboardLayouts},
    {L"FONTS", ReadFonts},
};

LayoutSectionTable FrameworkLayoutSections()
{
    return {kFrameworkSections, std::size(kFrameworkSections)};
}

bool ReadKeyboardDefElement(pugi::xml_node root, CWnd* owner)
{
    pugi::xml_node element = root.child("KEYBOARDDEF");
    if (!element)
        return false;
    int32_t id = ReadItemId(element);
    if (id == -1)
        return false;
    std::wstring file;
    ReadAttribute(element, "file", file);
    file = wstr::Trim(file);
    if (file.empty())
        return false;
    if (!CheckSkinFileName(element, file, SkinTypeFolder(SkinResourceBinary)))
        return false;
    SkinResource* entry = GetSkinResourceCache().Get(file.c_str(), SkinResourceBinary);
    CKeyboardDef& definition = GetKeyboardDef();
    if (!entry || !entry->fileRead) {
        ReportLayoutError(element, L"the keyboard definition \"" + file + L"\" of bin\\ is missing or cannot be read");
        return false;
    }
    if (!definition.Load(entry->data.size(), entry->Data())) {
        ReportLayoutError(element, L"the keyboard definition \"" + file + L"\" is refused: " + definition.LoadError());
        return false;
    }

    bool result = true;
    std::wstring defaults;
    if (ReadAttribute(element, "kbddefaults", defaults)) {
        defaults = wstr::Trim(defaults);
        if (!CheckSkinFileName(element, defaults, SkinTypeFolder(SkinResourceBinary)))
            return false;
        SkinResource* defaultsEntry = GetSkinResourceCache().Get(defaults.c_str(), SkinResourceBinary);
        if (!defaultsEntry || !defaultsEntry->Data()) {
            ReportLayoutError(element, L"the key defaults \"" + defaults + L"\" of bin\\ are missing or cannot be read");
            result = false;
        } else if (!definition.SetDefaultCodes(defaultsEntry->Data(), defaultsEntry->data.size())) {
            ReportLayoutError(element, wstr::Format(L"the key defaults \"%ls\" are refused: %u bytes do not hold the "
                                                    L"count they begin with and its pairs",
                                                    defaults.c_str(), static_cast<unsigned>(defaultsEntry->data.size())));
            result = false;
        }
    }
    CKeyboardDefItem& item = GetKeyboardDefItem();
    item.id = id;
    item.window = nullptr;
    item.owner = owner;
    return result;
}

void SetLanguageFilter(int32_t languageId)
{
    g_languageFilter = languageId;
}
