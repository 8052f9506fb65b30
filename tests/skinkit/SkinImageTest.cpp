// The generated install-directory image, loaded by the programs' own loader from the folder of the
// running program, as the configuration program loads it, once with English and once with German as
// the current language: every layout file of the image loads without a refused element, and every
// item the programs look up by id is there with the kind they expect.
#include "core/KeyboardDef.h"
#include "core/NameTables.h"
#include "platform/Wnd.h"
#include "platform/WStr.h"
#include "skin/GUIItem.h"
#include "skin/LangTable.h"
#include "skin/LayoutErrors.h"
#include "skin/LayoutLoader.h"
#include "skin/LayoutSections.h"
#include "skin/SkinResourceCache.h"

#include "Paths.h"
#include "SkinFiles.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Required
{
    std::string file;
    std::string item;
    int32_t id = -1;
    int32_t kind = -1;
    std::string role;
};

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// The whole file as bytes; empty when it cannot be read.
std::string ReadFileText(const std::wstring& path)
{
    std::string text;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        fclose(f);
    }
    return text;
}

std::vector<Required> ReadRequired(const std::wstring& path)
{
    std::vector<Required> rows;
    std::istringstream in(ReadFileText(path));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Required r;
        std::string id, kind;
        std::getline(fields, r.file, '\t');
        std::getline(fields, r.item, '\t');
        std::getline(fields, id, '\t');
        std::getline(fields, kind, '\t');
        std::getline(fields, r.role);
        r.id = std::stoi(id);
        r.kind = std::stoi(kind);
        rows.push_back(r);
    }
    return rows;
}

class OwnerWindow : public CWnd
{
};

} // namespace

TEST(SkinImage, EveryLayoutLoadsWithTheItemsTheProgramsBind)
{
    InitNameTables();
    const std::vector<Required> rows = ReadRequired(GetProgramFolder() + L"required-items.tsv");
    ASSERT_GT(rows.size(), 400u) << "the table of required items is missing or short";
    const std::vector<std::wstring> files = SkinLayoutFiles();
    ASSERT_GT(files.size(), 30u) << "the image's layout files are missing";
    for (const Required& r : rows)
        EXPECT_NE(std::find(files.begin(), files.end(), Widen(r.file)), files.end()) << r.file << " is not in the image";

    // The generator reads its ids from the programs' name table source; the running programs'
    // table must answer every bound name with the same id.
    for (const Required& r : rows)
        EXPECT_EQ(FindItemIdByName(Widen(r.item).c_str()), r.id) << r.file << ": " << r.item;

    OwnerWindow owner;
    ASSERT_TRUE(owner.CreateEx(0, L"STATIC", L"", WS_POPUP, RECT{ 0, 0, 1000, 680 }, nullptr, 0));
    // The language tables, loaded once as the configuration program loads them: a second load of
    // the file would register tables of its own and take them away again when it goes.
    CGUIItems languages;
    {
        CLayoutErrorLog log;
        ASSERT_TRUE(LoadLayoutFile(&languages, L"Language.xml", nullptr, false));
        for (const std::wstring& error : log.Errors())
            ADD_FAILURE() << "Language.xml: " << wstr::WideToUtf8(error);
    }

    for (const wchar_t* language : { L"English", L"German" }) {
        const std::string languageName = wstr::WideToUtf8(language);
        SCOPED_TRACE(languageName);
        CLangTable* table = FindRegisteredLangTable(FindLanguageIdByName(language));
        ASSERT_NE(table, nullptr);
        SetCurrentLangTable(table);

        // Every layout file of the image, as the programs load it: none refuses an element.
        std::map<std::string, std::unique_ptr<CGUIItems>> loaded;
        for (const std::wstring& file : files) {
            const std::string name = wstr::WideToUtf8(file);
            if (file == L"Language.xml")
                continue;
            auto items = std::make_unique<CGUIItems>();
            CLayoutErrorLog log;
            EXPECT_TRUE(LoadLayoutFile(items.get(), file, &owner, false)) << name;
            for (const std::wstring& error : log.Errors())
                ADD_FAILURE() << name << ": " << wstr::WideToUtf8(error);
            loaded[name] = std::move(items);
        }

        // Every item the programs bind is there with its kind; nothing is left waiting.
        std::set<int32_t> builtKinds;
        for (const Required& r : rows) {
            const CGUIItems* items = r.file == "Language.xml" ? &languages
                                     : loaded.count(r.file) ? loaded[r.file].get() : nullptr;
            CGUIItem* item = items ? items->FindById(r.id) : nullptr;
            if (item)
                builtKinds.insert(static_cast<int32_t>(item->kind));
            if (item && static_cast<int32_t>(item->kind) == r.kind)
                continue;
            ADD_FAILURE() << r.file << ": " << r.item << " (" << r.role << ") should be of kind " << r.kind
                          << (item ? ", found of kind " + std::to_string(static_cast<int32_t>(item->kind))
                                   : ", not built");
        }

        // The main window's picture and mask, and items of every kind the programs bind: bitmap
        // items, buttons, multi-thumb sliders and their tracks, texts, drop-downs, list panels, the
        // key description window, the DPI stage windows, macro displays, list controls, edits, key
        // edits and keys. (No program binds a progress panel; the default skin has none.)
        const CGUIItems& main = *loaded["MainPage.xml"];
        for (int32_t id : { -2, -3 }) {
            const CGUIItem* panel = main.FindById(id);
            EXPECT_TRUE(panel && panel->kind == ItemKind::PanelBitmap) << id;
        }
        for (int32_t kind : { 1, 2, 8, 10, 11, 13, 14, 16, 17, 18, 19, 20, 21, 23, 24, 25 })
            EXPECT_TRUE(builtKinds.count(kind)) << "no item of kind " << kind << " was built";
        loaded.clear();
    }
    SetCurrentLangTable(nullptr);
    languages.DeleteAll();
    owner.DestroyWindow();
}

TEST(SkinImage, KeyboardFilesAgreeWithTheSimulatorsKeyTable)
{
    InitNameTables();
    CGUIItems items;
    ASSERT_TRUE(LoadLayoutFile(&items, L"KeyboardLayout.xml", nullptr, false));
    const CKeyboardDef& def = GetKeyboardDef();
    ASSERT_TRUE(def.IsLoaded());

    const std::string text = ReadFileText(hvtest::SourceDir() + L"\\mwsim\\KeyTable.inc");
    ASSERT_FALSE(text.empty()) << "the key table of the simulator is not readable";
    std::istringstream table(text);
    const std::regex row(R"re(^HV_KEY\(L"((?:[^"\\]|\\.)*)", 0x([0-9A-Fa-f]+), ([0-2]), 0x([0-9A-Fa-f]+), ([01])\))re");
    std::string line;
    size_t keys = 0;
    while (std::getline(table, line)) {
        std::smatch m;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!std::regex_match(line, m, row))
            continue;
        ++keys;
        const std::string name = std::regex_replace(m[1].str(), std::regex(R"(\\(.))"), "$1");
        const int16_t scan = static_cast<int16_t>(std::stoi(m[2].str(), nullptr, 16));
        const uint8_t prefix = static_cast<uint8_t>(std::stoi(m[3].str()));
        const int32_t hash = HashText(Widen(name));
        const KeyCode code = def.GetKeyCode(hash);
        EXPECT_EQ(code.code, scan) << name;
        EXPECT_EQ(code.flags, prefix) << name;
        KeyCode initial;
        EXPECT_TRUE(def.GetDefaultCode(hash, initial)) << name;
        EXPECT_EQ(initial.code, scan) << name;
        EXPECT_EQ(initial.flags, prefix) << name;
        // The device reports E0 keys with 0x20000 and the E1 key with 0x40000 added to the make
        // code; the device code turns that into the flags the definition is searched with.
        EXPECT_EQ(def.FindByKeyCode(static_cast<uint32_t>(scan) | (uint32_t(prefix) << 16)), hash) << name;
    }
    EXPECT_GT(keys, 100u);
    EXPECT_EQ(def.Records().size(), keys);
    EXPECT_EQ(def.AssignableCount(), keys);

    // Every keyboard layout the programs can activate is registered, each naming a key layout.
    for (int32_t id = 15; id <= 29; ++id)
        EXPECT_NE(items.FindAs<CGUIItem>(id, ItemKind::KeyboardLayoutSetting), nullptr) << id;
}

// Every language a registry name can choose (the language name table) has a table of its own with
// a file of its own, and shows texts, never the raw "$" keys; a language without a translation of
// ours shows the English texts.
TEST(SkinImage, EveryLanguageOfTheNameTableShowsItsTexts)
{
    InitNameTables();
    FillLanguageNameTable();
    // The keys the programs show from their own tables, and some of the layouts and the tray menu.
    std::vector<std::wstring> keys = { L"$Delete", L"$Profiles", L"$LoadHalvoVEXA", L"$CloseTrayIcon" };
    for (int32_t type = 0; type <= 64; ++type)
        for (const wchar_t* key : { FindAssignmentTypeName(type), FindButtonDescription(type), FindKeyDescription(type) })
            if (key)
                keys.push_back(key);
    ASSERT_GT(keys.size(), 60u);

    pugi::xml_document list;
    ASSERT_TRUE(list.load_file((GetProgramFolder() + L"xml\\Language.xml").c_str()));
    std::set<std::string> files;
    size_t declared = 0;
    for (pugi::xml_node lang : list.child("ITEMLIST").child("LANGLIST").children("LANG")) {
        ++declared;
        files.insert(lang.attribute("file").value());
    }
    EXPECT_EQ(files.size(), declared) << "two languages share a file";

    // The codes the programs choose, as from the registry's name: the lowest number of that name.
    std::map<int32_t, std::string> codes;
    for (int32_t number = 0; const wchar_t* name = FindLanguageNameById(number); ++number)
        codes[FindLanguageIdByName(name)] = wstr::WideToUtf8(name);
    EXPECT_EQ(codes.size(), declared);
    const int32_t german = FindLanguageIdByName(L"German");
    {
        CGUIItems all;
        ASSERT_TRUE(LoadLayoutFile(&all, L"Language.xml", nullptr, false));
        const CLangTable* english = FindRegisteredLangTable(FindLanguageIdByName(L"English"));
        ASSERT_NE(english, nullptr);
        std::set<const CLangTable*> tables;
        for (const auto& [code, name] : codes) {
            const CLangTable* table = FindRegisteredLangTable(code);
            ASSERT_NE(table, nullptr) << name << " has no language table";
            tables.insert(table);
            EXPECT_EQ(table->PairCount(), english->PairCount()) << name;
            for (const std::wstring& key : keys) {
                std::wstring text, englishText;
                EXPECT_TRUE(table->Translate(key.c_str(), text)) << name << ": " << wstr::WideToUtf8(key);
                EXPECT_TRUE(!text.empty() && text[0] != L'$') << name << ": " << wstr::WideToUtf8(key);
                ASSERT_TRUE(english->Translate(key.c_str(), englishText));
                if (code != german) {
                    EXPECT_EQ(text, englishText) << name << ": " << wstr::WideToUtf8(key);
                }
            }
        }
        EXPECT_EQ(tables.size(), codes.size());
        std::wstring text;
        ASSERT_TRUE(FindRegisteredLangTable(german)->Translate(L"$Delete", text));
        EXPECT_EQ(text, L"L\u00f6schen");
    }

    // A third language chosen as the configuration program chooses it (the registry's name, compared
    // without regard to case): only its table is built, it becomes the current table, and texts
    // translate through it into the English words.
    const int32_t french = FindLanguageIdByName(L"french");
    ASSERT_EQ(french, FindItemIdByName(L"LANGUAGE_FRENCH"));
    {
        CGUIItems chosen;
        SetLanguageFilter(french);
        const bool loaded = LoadLayoutFile(&chosen, L"Language.xml", nullptr, false);
        SetLanguageFilter(-1);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(chosen.Size(), 1u);
        CLangTable* table = FindRegisteredLangTable(french);
        ASSERT_NE(table, nullptr);
        SetCurrentLangTable(table);
        std::wstring text;
        EXPECT_TRUE(TranslateText(L"$Delete", text));
        EXPECT_EQ(text, L"Delete");
        EXPECT_TRUE(TranslateText(FindAssignmentTypeName(22), text));
        EXPECT_EQ(text, L"Switch profile");
        EXPECT_TRUE(TranslateText(L"$LoadHalvoVEXA", text));
        EXPECT_EQ(text, L"Open Halvo VEXA");
    }
    EXPECT_EQ(GetCurrentLangTable(), nullptr);
}
