// The shared attribute readers of layout elements, on small XML fragments.
#include "controls/ControlReaders.h"
#include "core/NameTables.h"
#include "skin/FontItem.h"
#include "skin/GUIItem.h"
#include "skin/KeyboardLayouts.h"
#include "skin/LangTable.h"
#include "skin/LayoutReaders.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace layout;

namespace {

// Parses a fragment and hands out its root element.
class Fragment
{
public:
    explicit Fragment(const char* xml)
    {
        EXPECT_TRUE(m_doc.load_string(xml)) << xml;
    }
    pugi::xml_node Root() const { return m_doc.document_element(); }

private:
    pugi::xml_document m_doc;
};

// Makes a table current for the test's scope.
class CurrentLanguage
{
public:
    explicit CurrentLanguage(CLangTable* table) : m_previous(GetCurrentLangTable()) { SetCurrentLangTable(table); }
    ~CurrentLanguage() { SetCurrentLangTable(m_previous); }

private:
    CLangTable* m_previous;
};

void AddText(CLangTable& table, int32_t itemId, const wchar_t* attribute, const std::wstring& text)
{
    table.AddOverride(itemId, attribute, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

int32_t Id(const wchar_t* name)
{
    int32_t id = FindItemIdByName(name);
    EXPECT_NE(id, -1) << "no item name " << std::string(name, name + wcslen(name));
    return id;
}

} // namespace

TEST(LayoutReaders, ConversionsAndTrueishValues)
{
    for (const wchar_t* yes : {L"1", L"t", L"T", L"yes", L"Y", L"true"})
        EXPECT_TRUE(IsTrueish(yes)) << std::wstring(yes).size();
    for (const wchar_t* no : {L"", L"0", L"on", L"false", L" 1", L"N"})
        EXPECT_FALSE(IsTrueish(no));

    EXPECT_EQ(ParseInteger(L"  -12abc"), -12);
    EXPECT_EQ(ParseInteger(L"+7"), 7);
    EXPECT_EQ(ParseInteger(L"x1"), 0);
    EXPECT_EQ(ParseInteger(L""), 0);

    Fragment f("<BUTTON ischeckbox='yes' interactive='0' dynamic='no'><SBMN>  pic.bmp \n</SBMN>"
               "<X><![CDATA[cdata]]></X></BUTTON>");
    EXPECT_TRUE(ReadCheckBox(f.Root()));
    EXPECT_FALSE(ReadInteractive(f.Root(), true));
    EXPECT_FALSE(ReadDynamic(f.Root()));
    EXPECT_EQ(ChildFileName(f.Root(), "SBMN"), L"pic.bmp");
    EXPECT_EQ(ElementText(f.Root().child("X")), L"cdata");
    EXPECT_EQ(ChildFileName(f.Root(), "SBMM"), L"");

    // Defaults of missing attributes differ per attribute.
    Fragment empty("<ITEM/>");
    EXPECT_TRUE(ReadToolTipEnabled(empty.Root()));
    EXPECT_TRUE(ReadDynamic(empty.Root()));
    EXPECT_FALSE(ReadCheckBox(empty.Root()));
    EXPECT_FALSE(ReadMultiline(empty.Root(), -1));
    EXPECT_TRUE(ReadInteractive(empty.Root(), true));
    EXPECT_FALSE(ReadInteractive(empty.Root(), false));
    EXPECT_EQ(ReadToolTipPosition(empty.Root()), L'L');
    EXPECT_EQ(ReadJustify(empty.Root()), L'L');
    int32_t multiplier = 0;
    EXPECT_FALSE(ReadMultiplier(empty.Root(), multiplier));
    EXPECT_EQ(multiplier, 1);

    for (const char* no : {"<I ischeckbox='o'/>", "<I ischeckbox='0'/>", "<I ischeckbox=''/>"})
        EXPECT_FALSE(ReadCheckBox(Fragment(no).Root())) << no;
    for (const char* yes : {"<I ischeckbox='y'/>", "<I ischeckbox='True'/>", "<I ischeckbox='1'/>"})
        EXPECT_TRUE(ReadCheckBox(Fragment(yes).Root())) << yes;
}

TEST(LayoutReaders, RectanglesAreLeftTopWidthHeight)
{
    Fragment full("<I><RECT left='10' top='20' right='30' bottom='40'/></I>");
    EXPECT_EQ(ReadRect(full.Root(), -1), CRect(10, 20, 40, 60));
    // The raw form keeps what the file says.
    EXPECT_EQ(ReadRawRect(full.Root().child("RECT")), CRect(10, 20, 30, 40));
    EXPECT_EQ(ReadRawRect(full.Root()), CRect());  // not a RECT element

    Fragment leftOnly("<I><RECT left='7'/></I>");
    CRect r = ReadRect(leftOnly.Root(), -1);
    EXPECT_EQ(r, CRect(7, 0, 7, 0));
    EXPECT_TRUE(r.IsRectEmpty());

    EXPECT_EQ(ReadRect(Fragment("<I/>").Root(), -1), CRect());
    EXPECT_EQ(ReadRect(Fragment("<I><RECT left='-5' top='x' right='3.9' bottom=' 4'/></I>").Root(), -1),
              CRect(-5, 0, -2, 4));
}

TEST(LayoutReaders, ColoursByNameOnly)
{
    Fragment f("<I fontclr='white' backclr='NoSuchColour' bdrclr='0xFF0000' other='Black'/>");
    COLORREF colour = 12345;
    EXPECT_TRUE(ReadColor(f.Root(), "fontclr", colour));
    EXPECT_EQ(colour, FindColorByName(L"white"));
    EXPECT_NE(colour, CLR_INVALID);
    // An unknown name still counts as present, with all bits set.
    EXPECT_TRUE(ReadColor(f.Root(), "backclr", colour));
    EXPECT_EQ(colour, CLR_INVALID);
    // No numeric form.
    EXPECT_TRUE(ReadColor(f.Root(), "bdrclr", colour));
    EXPECT_EQ(colour, CLR_INVALID);
    // Missing: target unchanged, not present.
    colour = 42;
    EXPECT_FALSE(ReadColor(f.Root(), "fontclrhi", colour));
    EXPECT_EQ(colour, 42u);
    // Names compare without regard to case, attribute names with it.
    EXPECT_TRUE(ReadColor(f.Root(), "other", colour));
    EXPECT_EQ(colour, FindColorByName(L"black"));
    EXPECT_FALSE(ReadColor(f.Root(), "FONTCLR", colour));

    struct Item
    {
        COLORREF font = 1, back = 2;
        void SetFont(COLORREF c) { font = c; }
        void SetBack(COLORREF c) { back = c; }
    } item;
    ApplyColors<Item>(f.Root(), item, {{"fontclr", &Item::SetFont}, {"nothing", &Item::SetBack}});
    EXPECT_EQ(item.font, FindColorByName(L"white"));
    EXPECT_EQ(item.back, 2u);
}

TEST(LayoutReaders, CapsMultilineJustifyAndToolTips)
{
    EXPECT_EQ(ReadCaps(Fragment("<I caps='upper'/>").Root(), -1), 0);
    EXPECT_EQ(ReadCaps(Fragment("<I caps='Upper'/>").Root(), -1), 1);
    EXPECT_EQ(ReadCaps(Fragment("<I caps='L'/>").Root(), -1), 2);
    EXPECT_EQ(ReadCaps(Fragment("<I caps='lower'/>").Root(), -1), 0);
    EXPECT_EQ(ReadCaps(Fragment("<I caps=''/>").Root(), -1), 0);

    EXPECT_FALSE(ReadMultiline(Fragment("<I multiline='true'/>").Root(), -1));
    EXPECT_TRUE(ReadMultiline(Fragment("<I multiline='1'/>").Root(), -1));
    EXPECT_TRUE(ReadMultiline(Fragment("<I multiline=' 01'/>").Root(), -1));
    EXPECT_FALSE(ReadMultiline(Fragment("<I multiline='2'/>").Root(), -1));

    EXPECT_EQ(ReadJustify(Fragment("<I justify='Centre'/>").Root()), L'C');
    EXPECT_EQ(ReadJustify(Fragment("<I justify='right'/>").Root()), L'L');
    EXPECT_EQ(ReadJustify(Fragment("<I justify='R'/>").Root()), L'R');
    EXPECT_EQ(ReadToolTipPosition(Fragment("<I ttpos='Top'/>").Root()), L'T');
    EXPECT_EQ(ReadToolTipPosition(Fragment("<I ttpos='b'/>").Root()), L'L');
    EXPECT_FALSE(ReadToolTipEnabled(Fragment("<I ttenabled='no'/>").Root()));

    std::wstring tooltip = L"kept", prefix = L"old";
    EXPECT_FALSE(ReadToolTipPrefix(Fragment("<I ttprefix='DPI: '/>").Root(), tooltip, prefix));
    EXPECT_EQ(tooltip, L"kept");
    EXPECT_EQ(prefix, L"DPI: ");
    EXPECT_TRUE(ReadToolTipPrefix(Fragment("<I tooltip='$Tip'/>").Root(), tooltip, prefix));
    EXPECT_EQ(tooltip, L"$Tip");
    EXPECT_EQ(prefix, L"");  // cleared first

    int32_t multiplier = 0;
    EXPECT_TRUE(ReadMultiplier(Fragment("<I multiplier='50'/>").Root(), multiplier));
    EXPECT_EQ(multiplier, 50);

    EXPECT_EQ(LookupByName(L"static", {{L"ICON", 0}, {L"STATIC", 1}, {L"static", 7}}), 1);
    EXPECT_EQ(LookupByName(L"EDIT", {{L"ICON", 3}}), 0);
}

TEST(LayoutReaders, ItemIdsAndLanguageOverrides)
{
    EXPECT_EQ(ReadItemId(Fragment("<I name='button_ok'/>").Root()), Id(L"BUTTON_OK"));
    EXPECT_EQ(ReadItemId(Fragment("<I name='NOT_AN_ITEM'/>").Root()), -1);
    EXPECT_EQ(ReadItemId(Fragment("<I/>").Root()), -1);

    const int32_t ok = Id(L"BUTTON_OK");
    const int32_t cancel = Id(L"BUTTON_CANCEL");
    CLangTable table;
    AddText(table, ok, L"caps", L"U");
    AddText(table, ok, L"multiline", L"1");
    AddText(table, ok, L"RECT", L"5 6 70 20");
    Fragment f("<BUTTON name='BUTTON_OK' caps='L' multiline='0'><RECT left='1' top='2' right='3' bottom='4'/></BUTTON>");
    {
        CurrentLanguage language(&table);
        EXPECT_EQ(ReadCaps(f.Root(), ok), 1);
        EXPECT_TRUE(ReadMultiline(f.Root(), ok));
        EXPECT_EQ(ReadRect(f.Root(), ok), CRect(5, 6, 75, 26));
        // Another item, or no item id, reads the file.
        EXPECT_EQ(ReadCaps(f.Root(), cancel), 2);
        EXPECT_FALSE(ReadMultiline(f.Root(), cancel));
        EXPECT_EQ(ReadRect(f.Root(), cancel), CRect(1, 2, 4, 6));
        EXPECT_EQ(ReadRect(f.Root(), -1), CRect(1, 2, 4, 6));
    }
    // Without a current language the file holds.
    EXPECT_EQ(ReadCaps(f.Root(), ok), 2);
    EXPECT_EQ(ReadRect(f.Root(), ok), CRect(1, 2, 4, 6));
}

TEST(LayoutReaders, FontLookupOrder)
{
    const int32_t arial12 = Id(L"FONT_ARIAL12");
    const int32_t arial14 = Id(L"FONT_ARIAL14");
    const int32_t arial16 = Id(L"FONT_ARIAL16");
    const int32_t button = Id(L"BUTTON_OK");
    const int32_t text = Id(L"TEXT_DPI_X");

    CGUIItems items;
    auto addFont = [&](int32_t id) {
        auto font = std::make_unique<CFontItem>();
        font->id = id;
        EXPECT_TRUE(font->CreateFont(L"Arial", 12));
        return static_cast<CFontItem*>(items.Add(std::move(font)));
    };
    CFontItem* font12 = addFont(arial12);
    CFontItem* font14 = addFont(arial14);
    CFontItem* font16 = addFont(arial16);
    // An item that is not a font, under a font's name.
    auto notFont = std::make_unique<CKeyboardLayoutSetting>();
    notFont->id = Id(L"FONT_ARIAL13B");
    items.Add(std::move(notFont));

    Fragment f12("<I fontid='FONT_ARIAL12'/>");
    Fragment none("<I/>");
    EXPECT_EQ(ReadFont(f12.Root(), button, &items), font12);
    EXPECT_EQ(ReadFont(none.Root(), button, &items), nullptr);
    EXPECT_EQ(ReadFont(Fragment("<I fontid='FONT_ARIAL13B'/>").Root(), button, &items), nullptr);
    EXPECT_EQ(ReadFont(Fragment("<I fontid='NO_SUCH_FONT'/>").Root(), button, &items), nullptr);
    EXPECT_EQ(ReadFont(f12.Root(), button, nullptr), nullptr);

    CLangTable table;
    table.SetFontMapping(arial12, arial14);      // LANGFONT: 12 is shown as 14 in this language
    AddText(table, button, L"fontid", L"FONT_ARIAL16");
    AddText(table, text, L"fontid", L"NOT_A_NAME");
    CurrentLanguage language(&table);
    // 1. The item's override wins over the file and is not mapped again.
    EXPECT_EQ(ReadFont(f12.Root(), button, &items), font16);
    EXPECT_EQ(ReadFont(none.Root(), button, &items), font16);
    // 2. An override that names no item leaves the file's id, which then goes through the map.
    EXPECT_EQ(ReadFont(f12.Root(), text, &items), font14);
    // 3. Without an override the file's id goes through the map; no file font, no font.
    EXPECT_EQ(ReadFont(f12.Root(), -1, &items), font14);
    EXPECT_EQ(ReadFont(none.Root(), -1, &items), nullptr);
    EXPECT_EQ(ReadFont(Fragment("<I fontid='FONT_ARIAL16'/>").Root(), -1, &items), font16);
}

TEST(LayoutReaders, FillInfoTextInfoAndScrollSkin)
{
    FillInfo fill;
    fill.fillColor = 0xFFFFFF;
    EXPECT_TRUE(ReadFillInfo(
        Fragment("<T><FILLINFO fillclr='NoSuchColour'><RECT left='2' top='3' right='10' bottom='4'/></FILLINFO></T>")
            .Root(),
        fill));
    EXPECT_EQ(fill.fillColor, CLR_INVALID);
    // Converted like every other RECT: right and bottom are width and height.
    EXPECT_EQ(fill.rect, CRect(2, 3, 12, 7));

    FillInfo noColour;
    noColour.fillColor = 0xFFFFFF;
    EXPECT_FALSE(ReadFillInfo(
        Fragment("<T><FILLINFO backclr='black'><RECT left='2' top='3' right='10' bottom='4'/></FILLINFO></T>").Root(),
        noColour));
    EXPECT_EQ(noColour.fillColor, 0xFFFFFFu);  // left for the builder's default
    FillInfo zero;
    EXPECT_FALSE(ReadFillInfo(
        Fragment("<T><FILLINFO fillclr='white'><RECT left='2' top='3'/></FILLINFO></T>").Root(), zero));
    EXPECT_FALSE(ReadFillInfo(Fragment("<T><FILLINFO fillclr='white'/></T>").Root(), zero));
    EXPECT_FALSE(ReadFillInfo(Fragment("<T/>").Root(), zero));

    TextInfo info;
    Fragment text("<TEXTINFO name='percent' textkey='$Percent' fontclr='white'>"
                  "<RECT left='1' top='1' right='5' bottom='5'/></TEXTINFO>");
    EXPECT_TRUE(ReadTextInfo(text.Root(), nullptr, info));
    EXPECT_EQ(info.name, L"percent");
    EXPECT_EQ(info.text, L"$Percent");
    EXPECT_EQ(info.rect, CRect(1, 1, 6, 6));
    EXPECT_EQ(info.textColor, FindColorByName(L"white"));
    EXPECT_EQ(info.font, nullptr);
    TextInfo unnamed;
    EXPECT_FALSE(ReadTextInfo(Fragment("<TEXTINFO><RECT/></TEXTINFO>").Root(), nullptr, unnamed));
    EXPECT_FALSE(ReadTextInfo(Fragment("<TEXTINFO name='x'/>").Root(), nullptr, unnamed));

    VScrollSkin skin;
    EXPECT_FALSE(ReadScrollSkin(Fragment("<L><VSCROLL bdrwidth='2'><VSBMP_TOP>t.bmp</VSBMP_TOP></VSCROLL></L>").Root(),
                                skin));
    EXPECT_EQ(skin.Width(), 0);
    EXPECT_FALSE(ReadScrollSkin(Fragment("<L/>").Root(), skin));
    // A thumb that cannot be loaded still makes a skin; its width is the border alone.
    EXPECT_TRUE(ReadScrollSkin(
        Fragment("<L><VSCROLL bdrwidth='3'><VSBMP_TMB>no_such_file_here.bmp</VSBMP_TMB></VSCROLL></L>").Root(), skin));
    EXPECT_EQ(skin.borderWidth, 3);
    EXPECT_EQ(skin.Width(), 3);
}
