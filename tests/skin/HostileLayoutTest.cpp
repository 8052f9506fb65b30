// Hostile layout files through the real loader: file names that would reach beyond the folder they
// name, and numbers whose arithmetic would overflow. Each faulty element is skipped with an error
// naming the file, the element and the fault; the rest of the file loads.
#include "controls/BitmapItem.h"
#include "controls/BitmapWindow.h"
#include "controls/ControlReaders.h"
#include "core/NameTables.h"
#include "skin/FontItem.h"
#include "skin/GUIItem.h"
#include "skin/LangTable.h"
#include "skin/LayoutErrors.h"
#include "skin/LayoutLoader.h"
#include "skin/LayoutReaders.h"
#include "skin/LayoutSections.h"
#include "skin/SkinResourceCache.h"

#include "HvTest.h"
#include "LayoutTestFiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace layouttest;

namespace {

std::string Listed(const std::vector<std::wstring>& errors)
{
    std::string listed;
    for (const std::wstring& error : errors)
        listed += "\n  " + wstr::WideToUtf8(error);
    return listed;
}

// The one error that mentions every part; a failure lists all errors when there is not exactly one.
void ExpectOneError(const std::vector<std::wstring>& errors, std::initializer_list<std::wstring> parts)
{
    size_t matching = 0;
    for (const std::wstring& error : errors) {
        bool all = true;
        for (const std::wstring& part : parts)
            all = all && error.find(part) != std::wstring::npos;
        matching += all;
    }
    std::string listed;
    for (const std::wstring& error : errors)
        listed += "\n  " + wstr::WideToUtf8(error);
    EXPECT_EQ(matching, 1u) << "looking for " << wstr::WideToUtf8(*parts.begin()) << " in:" << listed;
}

uint32_t White(int, int) { return 0xFFFFFF; }

class CParent : public CWnd
{
public:
    bool Create()
    {
        return CreateEx(0, hvtest::TestWindowClass(), L"owner", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0);
    }
};

} // namespace

TEST(HostileLayout, FileNamesStayInTheFolderTheyName)
{
    // What the names are after: a layout in xml\, a language file beside lang\, one inside it.
    WriteLanguageFile(L"hostile_english.txt", {L"English", L"v", L"Hello", L"Hello there", L"END OF FILE"});
    WriteLayout(L"hostile_x.xml", "<ITEMLIST/>");
    const std::wstring inLang = SkinSubFolder(L"lang") + L"hostile_english.txt";
    WriteText(UseTestSkinFolder() + L"hostile_outside.txt", "outside");
    WriteSkinBitmap(L"hostile_ok.bmp", 4, 4, White);

    const std::string xml = std::string("<ITEMLIST><LANGLIST>") +
        "<LANG name='LANGUAGE_DEFAULT' file='hostile_english.txt'>"
        "  <LANGOVERRIDE name='BUTTON_OK'><SBMN>..\\skins\\hostile_ok.bmp</SBMN><SBMD>hostile_ok.bmp</SBMD></LANGOVERRIDE>"
        "  <LANGOVERRIDE name='BUTTON_APPLY'><SBMN> hostile_ok.bmp </SBMN></LANGOVERRIDE>"
        "  <LANGOVERRIDE name='BUTTON_UPDATE' sbmo='\\\\server\\hostile_ok.bmp'/>"
        "  <LANGOVERRIDE name='BUTTON_EXIT' SBMO='hostile_ok.bmp'/>"
        "  <LANGOVERRIDE name='BUTTON_CANCEL'><RECT left='99999999999' top='0' right='5' bottom='5'/></LANGOVERRIDE>"
        "  <LANGOVERRIDE name='BUTTON_HELP'><RECT left='1' top='2' right='3' bottom='4'/></LANGOVERRIDE>"
        "</LANG>"
        "<LANG name='LANGUAGE_GERMAN' file='..\\xml\\hostile_x.xml'/>"
        "<LANG name='LANGUAGE_FRENCH' file='" + wstr::WideToUtf8(inLang) + "'/>"
        "<LANG name='LANGUAGE_KOREAN' file='\\\\server\\share\\hostile_english.txt'/>"
        "<LANG name='LANGUAGE_JAPANESE' file='C:hostile_english.txt'/>"
        "<LANG name='LANGUAGE_SPANISH' file='..'/>"
        "<LANG name='LANGUAGE_THAI' file='sub/hostile_english.txt'/>"
        "<LANG name='LANGUAGE_NORDIC' file='hostile_english.txt:alt'/>"
        "<LANG name='LANGUAGE_UK' file='CON'/>"
        "<LANG name='LANGUAGE_TURKISH' file='..\\hostile_outside.txt'/>"
        "<LANG name='LANGUAGE_GREEK' file='hostile_english.txt'/>"
        "</LANGLIST></ITEMLIST>";
    WriteLayout(L"Hostile.xml", xml);

    CGUIItems items;
    CLayoutErrorLog log;
    ASSERT_TRUE(LoadLayoutFile(&items, L"Hostile.xml", nullptr, false));
    // Only the two plain names became languages; the refused ones are not registered either.
    ASSERT_EQ(items.Size(), 2u);
    EXPECT_EQ(items.At(0)->id, ItemId(L"LANGUAGE_DEFAULT"));
    EXPECT_EQ(items.At(1)->id, ItemId(L"LANGUAGE_GREEK"));
    for (const wchar_t* refused : {L"LANGUAGE_GERMAN", L"LANGUAGE_FRENCH", L"LANGUAGE_KOREAN", L"LANGUAGE_JAPANESE",
                                   L"LANGUAGE_SPANISH", L"LANGUAGE_THAI", L"LANGUAGE_NORDIC", L"LANGUAGE_UK",
                                   L"LANGUAGE_TURKISH"}) {
        EXPECT_EQ(FindRegisteredLangTable(ItemId(refused)), nullptr) << wstr::WideToUtf8(refused);
        ExpectOneError(log.Errors(), {L"Hostile.xml: LANG \"" + std::wstring(refused) + L"\":", L"lang\\"});
    }
    ExpectOneError(log.Errors(), {L"LANGUAGE_GERMAN", L"\"..\\xml\\hostile_x.xml\" is refused", L"path separator"});
    ExpectOneError(log.Errors(), {L"LANGUAGE_JAPANESE", L"drive"});
    ExpectOneError(log.Errors(), {L"LANGUAGE_SPANISH", L"folder, not a file"});
    ExpectOneError(log.Errors(), {L"LANGUAGE_UK", L"device"});

    // A faulty override is dropped alone: the language keeps its sound ones.
    auto* english = items.FindAs<CLangTable>(ItemId(L"LANGUAGE_DEFAULT"), ItemKind::LangTable);
    ASSERT_NE(english, nullptr);
    EXPECT_EQ(english->PairCount(), 1u);
    EXPECT_EQ(english->FindOverride(ItemId(L"BUTTON_OK"), L"SBMN"), nullptr);
    EXPECT_EQ(english->FindOverride(ItemId(L"BUTTON_OK"), L"SBMD"), nullptr);
    EXPECT_NE(english->FindOverride(ItemId(L"BUTTON_APPLY"), L"SBMN"), nullptr);
    EXPECT_EQ(english->FindOverride(ItemId(L"BUTTON_CANCEL"), L"RECT"), nullptr);
    EXPECT_NE(english->FindOverride(ItemId(L"BUTTON_HELP"), L"RECT"), nullptr);
    ExpectOneError(log.Errors(), {L"LANGOVERRIDE \"BUTTON_OK\" SBMN: \"..\\skins\\hostile_ok.bmp\"", L"skins\\"});
    EXPECT_EQ(english->FindOverride(ItemId(L"BUTTON_UPDATE"), L"SBMO"), nullptr);
    EXPECT_NE(english->FindOverride(ItemId(L"BUTTON_EXIT"), L"SBMO"), nullptr);
    ExpectOneError(log.Errors(), {L"LANGOVERRIDE \"BUTTON_UPDATE\": \"\\\\server\\hostile_ok.bmp\" is refused"});
    ExpectOneError(log.Errors(), {L"RECT: left=\"99999999999\" is outside -32767..32767"});
    EXPECT_EQ(log.Errors().size(), 12u);

    // The cache itself takes no name from beyond its folders, whoever asks.
    SkinResourceCache& cache = GetSkinResourceCache();
    const size_t entries = cache.Count();
    EXPECT_EQ(cache.Get(L"..\\xml\\hostile_x.xml", SkinResourceLanguage), nullptr);
    EXPECT_EQ(cache.Get(inLang.c_str(), SkinResourceLanguage), nullptr);
    EXPECT_EQ(cache.GetBinaryResource(L"..\\lang\\hostile_english.txt"), nullptr);
    EXPECT_EQ(cache.Count(), entries);
    ASSERT_NE(cache.Get(L"hostile_english.txt", SkinResourceLanguage), nullptr);
    EXPECT_TRUE(cache.Get(L"hostile_english.txt", SkinResourceLanguage)->IsLoaded());

    // A layout file name is held to the xml\ folder too.
    EXPECT_FALSE(LoadLayoutFile(&items, L"..\\xml\\Hostile.xml", nullptr, false));
    ExpectOneError(log.Errors(), {L"layout \"..\\xml\\Hostile.xml\" is refused as a file of xml\\"});

    const std::wstring longName(256, L'a');
    for (const wchar_t* plain : {L"a.bmp", L"a b.bmp", L"x..y.bmp", L".hidden", L"COM10.bmp", L"console.txt"})
        EXPECT_EQ(SkinFileNameFault(plain), nullptr) << wstr::WideToUtf8(plain);
    for (const std::wstring& bad : std::vector<std::wstring>{L"", L".", L"..", L"..\\a", L"a\\b", L"a/b", L"\\a",
                                                            L"C:a", L"\\\\?\\C:\\a", L"NUL", L"nul.bmp", L"com1.bmp",
                                                            L"LPT9", L"a.bmp.", L"a.bmp ", L"a?b", L"a*b", L"a|b",
                                                            L"a<b", L"a\x01" L"b", longName})
        EXPECT_NE(SkinFileNameFault(bad), nullptr) << wstr::WideToUtf8(bad);
}

TEST(HostileLayout, FaultyElementsAreSkippedAndTheLoadGoesOn)
{
    WriteSkinBitmap(L"hostile_item.bmp", 20, 10, White);
    WriteText(UseTestSkinFolder() + L"hostile_outside.bmp", "not read");
    CParent owner;
    ASSERT_TRUE(owner.Create());
    CLayoutErrorLog log;
    CGUIItems items;

    // A panel whose background lies beyond skins\ is no panel.
    WriteLayout(L"HostilePanel.xml",
                "<GUIPANEL><BACKGROUND>..\\skins\\hostile_item.bmp</BACKGROUND><MASK>hostile_item.bmp</MASK></GUIPANEL>");
    EXPECT_FALSE(LoadLayoutFile(&items, L"HostilePanel.xml", &owner, false));
    EXPECT_TRUE(items.Empty());
    ExpectOneError(log.Errors(), {L"HostilePanel.xml: BACKGROUND: \"..\\skins\\hostile_item.bmp\" is refused", L"skins\\"});

    // Nor is a keyboard whose definition lies beyond bin\.
    WriteLayout(L"HostileKeyboard.xml", "<KEYBOARD><KEYBOARDDEF name='KBDDEF_WINDOWS' file='..\\bin\\hostile_keys.bin'/>"
                                        "<FONTLIST><FONT name='FONT_ARIAL12'/></FONTLIST></KEYBOARD>");
    EXPECT_FALSE(LoadLayoutFile(&items, L"HostileKeyboard.xml", &owner, false));
    EXPECT_TRUE(items.Empty());
    ExpectOneError(log.Errors(), {L"HostileKeyboard.xml: KEYBOARDDEF \"KBDDEF_WINDOWS\": \"..\\bin\\hostile_keys.bin\"", L"bin\\"});

    // In an item list each faulty element goes alone; the sound ones are built.
    WriteLayout(L"HostileItems.xml",
                "<ITEMLIST>"
                "<FONTLIST>"
                " <FONT name='FONT_ARIAL12' pitch='12'>..\\fonts\\hostile.ttf</FONT>"
                " <FONT name='FONT_ARIAL14' pitch='14'/>"
                "</FONTLIST>"
                "<BITMAPLIST>"
                " <BITMAPITEM name='BITMAP_MOUSE_FOOTNOTE'><SBMN>..\\hostile_outside.bmp</SBMN>"
                "  <RECT left='0' top='0' right='20' bottom='10'/></BITMAPITEM>"
                " <BITMAPITEM name='BITMAP_KEYBOARD_FOOTNOTE'><SBMN>hostile_item.bmp</SBMN>"
                "  <RECT left='2147483647' top='0' right='2147483647' bottom='10'/></BITMAPITEM>"
                " <BITMAPITEM name='BITMAP_MECHKBD'><SBMN>hostile_item.bmp</SBMN>"
                "  <RECT left='-2147483648' top='-99999' right='-2147483648' bottom='10'/></BITMAPITEM>"
                " <BITMAPITEM name='BITMAP_KB_ESC'><SBMN>hostile_item.bmp</SBMN><SBMM>hostile_item.bmp</SBMM>"
                "  <RECT left='5' top='6' right='20' bottom='10'/></BITMAPITEM>"
                " <BITMAPWINDOW name='BITMAPWIN_ASSIGNKEY'><SBMN>hostile_item.bmp</SBMN>"
                "  <RECT left='0' top='20' right='20' bottom='10'/>"
                "  <BITMAPITEM assntype='6'><SBMN>C:hostile_outside.bmp</SBMN></BITMAPITEM>"
                "  <BITMAPITEM assntype='7'><SBMN>hostile_item.bmp</SBMN></BITMAPITEM>"
                " </BITMAPWINDOW>"
                "</BITMAPLIST>"
                "</ITEMLIST>");
    const size_t before = log.Errors().size();
    ASSERT_TRUE(LoadLayoutFile(&items, L"HostileItems.xml", &owner, false));
    ASSERT_EQ(items.Size(), 3u);
    EXPECT_EQ(items.At(0)->id, ItemId(L"FONT_ARIAL14"));
    auto* esc = items.FindAs<CBitmapItem>(ItemId(L"BITMAP_KB_ESC"), ItemKind::BitmapItem);
    ASSERT_NE(esc, nullptr);
    EXPECT_EQ(esc->GetWindowRect().Size(), CSize(20, 10));
    EXPECT_NE(items.FindAs<CBitmapWindow>(ItemId(L"BITMAPWIN_ASSIGNKEY"), ItemKind::BitmapWindow), nullptr);
    // The skipped bitmap items left no window behind: the owner has the two that were built.
    int children = 0;
    for (HWND child = GetWindow(owner, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ++children;
    EXPECT_EQ(children, 2);

    const std::vector<std::wstring> errors(log.Errors().begin() + static_cast<ptrdiff_t>(before), log.Errors().end());
    ExpectOneError(errors, {L"HostileItems.xml: FONT \"FONT_ARIAL12\": \"..\\fonts\\hostile.ttf\"", L"fonts\\"});
    ExpectOneError(errors, {L"BITMAPITEM \"BITMAP_MOUSE_FOOTNOTE\" SBMN: \"..\\hostile_outside.bmp\" is refused"});
    ExpectOneError(errors, {L"BITMAPITEM \"BITMAP_KEYBOARD_FOOTNOTE\" RECT: left=\"2147483647\" is outside"});
    ExpectOneError(errors, {L"BITMAPITEM \"BITMAP_KEYBOARD_FOOTNOTE\" RECT: right=\"2147483647\" is outside"});
    ExpectOneError(errors, {L"BITMAPITEM \"BITMAP_MECHKBD\" RECT: left=\"-2147483648\" is outside"});
    ExpectOneError(errors, {L"BITMAPITEM \"BITMAP_MECHKBD\" RECT: top=\"-99999\" is outside"});
    ExpectOneError(errors, {L"BITMAPITEM \"BITMAP_MECHKBD\" RECT: right=\"-2147483648\" is outside"});
    ExpectOneError(errors, {L"HostileItems.xml: SBMN: \"C:hostile_outside.bmp\" is refused", L"drive"});
    EXPECT_EQ(errors.size(), 8u);
    items.DeleteAll();
    owner.DestroyWindow();
}

TEST(HostileLayout, NumbersAreBoundedBeforeArithmetic)
{
    // Read outside a load, the readers bound the values all the same and still say so.
    CLayoutErrorLog log;
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(
        "<ITEM>"
        " <RECT left='2147483647' top='-2147483648' right='2147483647' bottom='-2147483648'/>"
        " <FILLINFO fillclr='WHITE'><RECT left='0' top='0' right='2147483647' bottom='2147483647'/></FILLINFO>"
        " <VSCROLL bdrwidth='2147483647'><VSBMP_TMB>none.bmp</VSBMP_TMB></VSCROLL>"
        "</ITEM>"));
    pugi::xml_node item = doc.document_element();
    // Positions within the coordinate range, sizes within the much smaller size range: an item, a
    // border or a list is never larger than a picture that can be painted in bounded memory and time.
    const int32_t limit = layout::kMaxLayoutCoordinate;
    const int32_t size = layout::kMaxLayoutSize;
    EXPECT_EQ(layout::ReadRect(item, -1), CRect(limit, -limit, limit + size, -limit - size));
    EXPECT_EQ(layout::ReadRawRect(item.child("RECT")), CRect(limit, -limit, size, -size));

    layout::FillInfo fill;
    EXPECT_TRUE(layout::ReadFillInfo(item, fill));
    EXPECT_EQ(fill.rect, CRect(0, 0, size, size));

    VScrollSkin skin;
    EXPECT_TRUE(layout::ReadScrollSkin(item, skin));
    EXPECT_EQ(skin.borderWidth, size);
    EXPECT_EQ(skin.Width(), size);  // no bitmap loads: the border alone

    // Every value out of range was reported once per read, against its element.
    size_t rectErrors = 0;
    for (const std::wstring& error : log.Errors())
        rectErrors += error.find(L"RECT: ") == 0;
    EXPECT_EQ(rectErrors, 8u + 2u);
    ExpectOneError(log.Errors(), {L"VSCROLL: bdrwidth=\"2147483647\" is outside -4096..4096"});
    size_t sizeErrors = 0;
    for (const std::wstring& error : log.Errors())
        sizeErrors += error.find(L"is outside -4096..4096") != std::wstring::npos;
    EXPECT_EQ(sizeErrors, 2u + 2u + 2u + 1u) << "the widths and heights of three reads, the border width";

    // The largest values in range add up without overflow, and pass without an error.
    const size_t errors = log.Errors().size();
    pugi::xml_document edge;
    ASSERT_TRUE(edge.load_string("<ITEM><RECT left='32767' top='-32767' right='4096' bottom='-4096'/></ITEM>"));
    EXPECT_EQ(layout::ReadRect(edge.document_element(), -1), CRect(limit, -limit, limit + size, -limit - size));
    EXPECT_EQ(log.Errors().size(), errors);

    // A size just past its bound is an error of its element, which a load then skips.
    pugi::xml_document past;
    ASSERT_TRUE(past.load_string("<ITEM><RECT left='0' top='0' right='4097' bottom='20'/></ITEM>"));
    layout::ReadRect(past.document_element(), -1);
    EXPECT_EQ(log.Errors().size(), errors + 1);
    EXPECT_EQ(log.Errors().back(), L"RECT: right=\"4097\" is outside -4096..4096");
}

TEST(HostileLayout, BrokenFilesAreToldWithTheirNameAndFault)
{
    WriteSkinBitmap(L"broken_bg.bmp", 20, 10, White);
    WriteLayout(L"BrokenXml.xml", "<GUIPANEL><BACKGROUND>broken_bg.bmp</BACKGROUND>\n<MASK>broken_bg.bmp</GUIPANEL>");
    WriteLayout(L"BrokenRoot.xml", "<PANEL><BACKGROUND>broken_bg.bmp</BACKGROUND></PANEL>");
    WriteLayout(L"BrokenNoMask.xml", "<GUIPANEL><BACKGROUND>broken_bg.bmp</BACKGROUND></GUIPANEL>");
    WriteLayout(L"BrokenPicture.xml",
                "<GUIPANEL><BACKGROUND>no_such_bg.bmp</BACKGROUND><MASK>broken_bg.bmp</MASK></GUIPANEL>");
    CGUIItems items;
    CLayoutErrorLog log;
    EXPECT_FALSE(LoadLayoutFile(&items, L"NoSuchPage.xml", nullptr, false));
    EXPECT_FALSE(LoadLayoutFile(&items, L"BrokenXml.xml", nullptr, false));
    EXPECT_FALSE(LoadLayoutFile(&items, L"BrokenRoot.xml", nullptr, false));
    EXPECT_FALSE(LoadLayoutFile(&items, L"BrokenNoMask.xml", nullptr, false));
    EXPECT_FALSE(LoadLayoutFile(&items, L"BrokenPicture.xml", nullptr, false));
    ASSERT_EQ(log.Errors().size(), 5u);
    EXPECT_EQ(log.Errors()[0], L"NoSuchPage.xml: the file is missing");
    ExpectOneError(log.Errors(), {L"BrokenXml.xml: the file is no well-formed XML (", L"at byte"});
    EXPECT_EQ(log.Errors()[2], L"BrokenRoot.xml: the file has no GUIPANEL, ITEMLIST or KEYBOARD root");
    EXPECT_EQ(log.Errors()[3], L"BrokenNoMask.xml: the panel has no MASK");
    EXPECT_EQ(log.Errors()[4], L"BrokenPicture.xml: BACKGROUND: the picture \"no_such_bg.bmp\" of skins\\ cannot be read");
    items.DeleteAll();
}

TEST(HostileLayout, FontSizesAreBounded)
{
    // A pitch of 65536 made one text take gigabytes and seconds to paint: a size or weight above 1000
    // is a fault of the font, which is skipped; 1000 itself is a font.
    WriteLayout(L"HostileFonts.xml", "<ITEMLIST><FONTLIST>"
                                     " <FONT name='FONT_ARIAL12' typeface='Arial' pitch='65536'/>"
                                     " <FONT name='FONT_ARIAL14' typeface='Arial' pitch='12' width='1001'/>"
                                     " <FONT name='FONT_ARIAL14B' typeface='Arial' pitch='14' boldlevel='5000'/>"
                                     " <FONT name='FONT_ARIAL16' typeface='Arial' pitch='1000' width='1000' boldlevel='1000'/>"
                                     " <FONT name='FONT_ARIAL16B' typeface='Arial' pitch='-70000' width='0'/>"
                                     "</FONTLIST></ITEMLIST>");
    CGUIItems items;
    CLayoutErrorLog log;
    ASSERT_TRUE(LoadLayoutFile(&items, L"HostileFonts.xml", nullptr, false));
    ASSERT_EQ(items.Size(), 2u);
    auto* largest = items.FindAs<CFontItem>(ItemId(L"FONT_ARIAL16"), ItemKind::FontItem);
    ASSERT_NE(largest, nullptr);
    LOGFONTW lf = {};
    ASSERT_EQ(GetObjectW(static_cast<HFONT>(*largest), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, 1000);
    EXPECT_EQ(lf.lfWidth, 1000);
    EXPECT_EQ(lf.lfWeight, 1000);
    auto* unset = items.FindAs<CFontItem>(ItemId(L"FONT_ARIAL16B"), ItemKind::FontItem);
    ASSERT_NE(unset, nullptr);
    ASSERT_EQ(GetObjectW(static_cast<HFONT>(*unset), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, 0) << "a size not above 0 leaves the system's";
    EXPECT_EQ(log.Errors(), (std::vector<std::wstring>{
                                L"HostileFonts.xml: FONT \"FONT_ARIAL12\": pitch=\"65536\" is above 1000",
                                L"HostileFonts.xml: FONT \"FONT_ARIAL14\": width=\"1001\" is above 1000",
                                L"HostileFonts.xml: FONT \"FONT_ARIAL14B\": boldlevel=\"5000\" is above 1000",
                            }));
}

TEST(HostileLayout, ALanguageWithoutItsTextsShowsTheEnglishOnesAndSaysWhy)
{
    WriteLanguageFile(L"broken_english.lng", {L"HalvoVexa language file", L"v", L"OK", L"OK", L"Cancel", L"Cancel",
                                              L"END OF FILE"});
    WriteLanguageFile(L"broken_notexts.lng", {L"HalvoVexa Sprachdatei", L"v", L"END OF FILE"});
    const std::string xml = "<ITEMLIST><LANGLIST>"
                            "<LANG name='LANGUAGE_GERMAN' file='broken_missing.lng'>"
                            " <LANGOVERRIDE name='BUTTON_OK' caps='U'/></LANG>"
                            "<LANG name='LANGUAGE_FRENCH' file='broken_notexts.lng'/>"
                            "<LANG name='LANGUAGE_DEFAULT' file='broken_english.lng'>"
                            " <LANGOVERRIDE name='BUTTON_CANCEL' caps='L'/></LANG>"
                            "</LANGLIST></ITEMLIST>";
    WriteLayout(L"BrokenLanguages.xml", xml);
    const int32_t german = ItemId(L"LANGUAGE_GERMAN");
    const int32_t french = ItemId(L"LANGUAGE_FRENCH");

    // The whole list, as the tray program loads it.
    {
        CGUIItems items;
        CLayoutErrorLog log;
        SetLanguageFilter(-1);
        ASSERT_TRUE(LoadLayoutFile(&items, L"BrokenLanguages.xml", nullptr, false));
        ASSERT_EQ(items.Size(), 3u) << Listed(log.Errors());
        for (int32_t id : {german, french}) {
            CLangTable* table = FindRegisteredLangTable(id);
            ASSERT_NE(table, nullptr) << id;
            std::wstring text;
            EXPECT_TRUE(table->Translate(L"$Cancel", text));
            EXPECT_EQ(text, L"Cancel");
            // The English element's adjustments come with its texts.
            EXPECT_NE(table->FindOverride(ItemId(L"BUTTON_CANCEL"), L"caps"), nullptr);
            EXPECT_EQ(table->FindOverride(ItemId(L"BUTTON_OK"), L"caps"), nullptr);
        }
        EXPECT_EQ(log.Errors(),
                  (std::vector<std::wstring>{
                      L"BrokenLanguages.xml: LANG \"LANGUAGE_GERMAN\": the language file \"broken_missing.lng\" of "
                      L"lang\\ is missing or cannot be read; the English texts are shown",
                      L"BrokenLanguages.xml: LANG \"LANGUAGE_FRENCH\": the language file \"broken_notexts.lng\" of "
                      L"lang\\ holds no texts; the English texts are shown",
                  }));
    }
    // Only the chosen language, as the configuration program loads it.
    {
        CGUIItems items;
        CLayoutErrorLog log;
        SetLanguageFilter(german);
        ASSERT_TRUE(LoadLayoutFile(&items, L"BrokenLanguages.xml", nullptr, false));
        SetLanguageFilter(-1);
        ASSERT_EQ(items.Size(), 1u);
        CLangTable* table = FindRegisteredLangTable(german);
        ASSERT_NE(table, nullptr);
        std::wstring text;
        EXPECT_TRUE(table->Translate(L"$OK", text));
        EXPECT_EQ(text, L"OK");
        EXPECT_EQ(log.Errors().size(), 1u);
    }
    // Without English texts to stand in, the language says so and translates nothing.
    WriteLayout(L"BrokenNoEnglish.xml", "<ITEMLIST><LANGLIST>"
                                        "<LANG name='LANGUAGE_GERMAN' file='broken_missing.lng'/>"
                                        "<LANG name='LANGUAGE_DEFAULT' file='broken_missing_too.lng'/>"
                                        "</LANGLIST></ITEMLIST>");
    CGUIItems items;
    CLayoutErrorLog log;
    ASSERT_TRUE(LoadLayoutFile(&items, L"BrokenNoEnglish.xml", nullptr, false));
    ASSERT_EQ(log.Errors().size(), 2u);
    EXPECT_EQ(log.Errors()[0], L"BrokenNoEnglish.xml: LANG \"LANGUAGE_GERMAN\": the language file \"broken_missing.lng\" "
                               L"of lang\\ is missing or cannot be read");
    ExpectOneError(log.Errors(), {L"LANG \"LANGUAGE_DEFAULT\": the language file \"broken_missing_too.lng\""});
    ASSERT_NE(FindRegisteredLangTable(german), nullptr);
    EXPECT_EQ(FindRegisteredLangTable(german)->PairCount(), 0u);
}
