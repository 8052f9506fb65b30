#include "skin/LangTable.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(const std::wstring& text)
{
    std::vector<uint8_t> bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

bool Parse(CLangTable& table, const std::wstring& text)
{
    CGuardedBuffer buffer(Bytes(text));
    return table.Parse(buffer.Length(), buffer.Data());
}

std::wstring Tr(const CLangTable& table, const wchar_t* text, bool expected)
{
    std::wstring out = L"(unset)";
    EXPECT_EQ(table.Translate(text, out), expected) << text;
    return out;
}

const std::wstring kLongKey = L"AVeryLongKeyThatGoesOnAndOnBeyondTheLimitOfFiftyNineCharactersForSure"; // 69

} // namespace

TEST(LangTable, ParseAndTranslateKeysAndPrefixes)
{
    CLangTable table;
    EXPECT_EQ(table.kind, ItemKind::LangTable);
    ASSERT_TRUE(Parse(table,
                      L"HalvoVexa English\r\n"
                      L"version 1\r\n"
                      L"Insert Delay\r\nInsert a delay\r\n\r\n\r\n"
                      L"Delete\r\nRemove\r\n\n\r\n"
                      + kLongKey + L"\r\nlong value\r\n"
                      L"ProfileName\r\nName of the profile\r\n"
                      L"END OF FILE\r\n"
                      L"After\r\nnever read\r\n"));
    EXPECT_EQ(table.Header(), L"HalvoVexa English");
    EXPECT_EQ(table.PairCount(), 4u);

    EXPECT_EQ(Tr(table, L"$InsertDelay", true), L"Insert a delay");
    EXPECT_EQ(Tr(table, L"$insertdelay", true), L"Insert a delay");
    EXPECT_EQ(Tr(table, L"$Insert Delay", false), L"$Insert Delay");
    // Blank lines after a value do not shift the alternation.
    EXPECT_EQ(Tr(table, L"$DELETE", true), L"Remove");
    EXPECT_EQ(Tr(table, L"$After", false), L"$After");
    EXPECT_EQ(Tr(table, L"$", false), L"$");
    EXPECT_EQ(Tr(table, L"#", false), L"#");
    EXPECT_EQ(Tr(table, L"Delete", false), L"Delete");
    EXPECT_EQ(Tr(table, L"$Missing", false), L"$Missing");
    EXPECT_EQ(Tr(table, L"#profile", true), L"Name of the profile");
    EXPECT_EQ(Tr(table, L"#Inser", true), L"Insert a delay");
    EXPECT_EQ(Tr(table, L"#ProfileNameX", false), L"#ProfileNameX");

    // Keys are cut at 59 characters: the whole long key is out of reach, its first 59 are not.
    EXPECT_EQ(Tr(table, (L"$" + kLongKey).c_str(), false), L"$" + kLongKey);
    EXPECT_EQ(Tr(table, (L"#" + kLongKey.substr(0, 59)).c_str(), true), L"long value");
    EXPECT_EQ(Tr(table, (L"$" + kLongKey.substr(0, 59)).c_str(), true), L"long value");
    EXPECT_EQ(Tr(table, (L"#" + kLongKey.substr(0, 60)).c_str(), false), L"#" + kLongKey.substr(0, 60));

    std::wstring out = L"x";
    EXPECT_FALSE(table.Translate(nullptr, out));
    EXPECT_EQ(out, L"");
}

TEST(LangTable, FilesWithoutPairs)
{
    CLangTable lower;
    EXPECT_FALSE(Parse(lower, L"header\r\nignored\r\nend of file\r\nKey\r\nValue\r\n"));
    EXPECT_EQ(lower.PairCount(), 0u);
    EXPECT_EQ(Tr(lower, L"$Key", false), L"$Key");

    CLangTable keyOnly;
    EXPECT_FALSE(Parse(keyOnly, L"header\r\nignored\r\nKey\r\n"));
    CLangTable empty;
    EXPECT_FALSE(empty.Parse(0, L""));
    EXPECT_FALSE(empty.Parse(10, nullptr));
    CGuardedBuffer oneByte({ 0x41 });
    EXPECT_FALSE(empty.Parse(oneByte.Length(), oneByte.Data()));
}

TEST(LangTable, BrokenFilesStayInsideTheirBuffer)
{
    // Odd length, no final CR: the last line counts, the odd byte does not.
    std::vector<uint8_t> bytes = Bytes(L"header\r\nignored\r\nKey\r\nLast value");
    bytes.push_back(0x7A);
    CGuardedBuffer odd(bytes);
    CLangTable table;
    ASSERT_TRUE(table.Parse(odd.Length(), odd.Data()));
    EXPECT_EQ(Tr(table, L"$Key", true), L"Last value");

    // Only CRs and LFs, and a file that ends inside the header.
    CLangTable blanks;
    EXPECT_FALSE(Parse(blanks, L"\r\r\n\n\r"));
    CLangTable headerOnly;
    EXPECT_FALSE(Parse(headerOnly, L"header without end"));
    EXPECT_EQ(headerOnly.Header(), L"header without end");

    // An unaligned buffer is read as well as an aligned one.
    std::vector<uint8_t> shifted = { 0 };
    std::vector<uint8_t> text = Bytes(L"h\r\ni\r\nKey\r\nValue\r\n");
    shifted.insert(shifted.end(), text.begin(), text.end());
    CGuardedBuffer unaligned(shifted);
    CLangTable table2;
    ASSERT_TRUE(table2.Parse(unaligned.Length() - 1, static_cast<const uint8_t*>(unaligned.Data()) + 1));
    EXPECT_EQ(Tr(table2, L"$key", true), L"Value");
}

TEST(LangTable, OverridesAndFontMapping)
{
    CLangTable table;
    table.AddOverride(46, L"caps", L"U", 2 * sizeof(wchar_t));
    table.AddOverride(46, L"CAPS", L"L", 2 * sizeof(wchar_t));
    const int32_t rect[4] = { 5, 6, 70, 20 };
    table.AddOverride(46, L"RECT", rect, sizeof(rect));
    table.AddColumnOverride(2, L"width", L"120", 4 * sizeof(wchar_t));
    table.AddColumnOverride(3, L"caps", L"1", 2 * sizeof(wchar_t));
    // Blocks without a terminator, of even and odd length, still read as terminated texts.
    table.AddOverride(47, L"caps", L"UL", sizeof(wchar_t));
    table.AddOverride(48, L"caps", "AB\x01", 3);

    auto text = [](const void* data) { return data ? std::wstring(static_cast<const wchar_t*>(data)) : L"(null)"; };
    EXPECT_EQ(text(table.FindOverride(46, L"Caps")), L"U");
    EXPECT_EQ(text(table.FindOverride(47, L"caps")), L"U");
    EXPECT_EQ(text(table.FindOverride(48, L"caps")).size(), 2u);
    EXPECT_EQ(table.FindOverride(49, L"caps"), nullptr);
    EXPECT_EQ(table.FindOverride(46, L"width"), nullptr);
    EXPECT_EQ(table.FindOverride(46, nullptr), nullptr);
    const int32_t* r = static_cast<const int32_t*>(table.FindOverride(46, L"rect"));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r[0], 5);
    EXPECT_EQ(r[3], 20);
    EXPECT_EQ(text(table.FindWidthOverride(2)), L"120");
    EXPECT_EQ(table.FindWidthOverride(3), nullptr);
    EXPECT_EQ(table.FindWidthOverride(4), nullptr);

    EXPECT_EQ(table.MapItemId(30), 30);
    table.SetFontMapping(30, 35);
    EXPECT_EQ(table.MapItemId(30), 35);
    EXPECT_EQ(table.MapItemId(35), 35);
}

TEST(LangTable, CurrentTable)
{
    std::wstring out;
    SetCurrentLangTable(nullptr);
    EXPECT_FALSE(TranslateText(L"$Delete", out));
    EXPECT_EQ(out, L"$Delete");

    CLangTable table;
    ASSERT_TRUE(Parse(table, L"h\r\ni\r\nDelete\r\nLöschen\r\n"));
    SetCurrentLangTable(&table);
    EXPECT_EQ(GetCurrentLangTable(), &table);
    EXPECT_TRUE(TranslateText(L"$Delete", out));
    EXPECT_EQ(out, L"Löschen");
    SetCurrentLangTable(nullptr);
}

TEST(LangTable, RegistryAndCurrentTableFollowTheTables)
{
    auto first = std::make_unique<CLangTable>();
    auto second = std::make_unique<CLangTable>();
    CLangTable other;
    ASSERT_TRUE(Parse(*second, L"h\r\ni\r\nDelete\r\nLöschen\r\n"));
    EXPECT_EQ(FindRegisteredLangTable(5), nullptr);
    RegisterLangTable(5, first.get());
    RegisterLangTable(6, first.get());
    RegisterLangTable(7, &other);
    EXPECT_EQ(FindRegisteredLangTable(5), first.get());
    RegisterLangTable(5, nullptr);
    EXPECT_EQ(FindRegisteredLangTable(5), first.get());
    // A later table of an id replaces the earlier; the earlier going leaves the later in place.
    RegisterLangTable(5, second.get());
    EXPECT_EQ(FindRegisteredLangTable(5), second.get());
    SetCurrentLangTable(second.get());
    first.reset();
    EXPECT_EQ(FindRegisteredLangTable(6), nullptr);
    EXPECT_EQ(FindRegisteredLangTable(5), second.get());
    EXPECT_EQ(GetCurrentLangTable(), second.get());

    // The current table goes: it is neither registered nor current any more, and texts stand as
    // written.
    second.reset();
    EXPECT_EQ(FindRegisteredLangTable(5), nullptr);
    EXPECT_EQ(GetCurrentLangTable(), nullptr);
    std::wstring out;
    EXPECT_FALSE(TranslateText(L"$Delete", out));
    EXPECT_EQ(out, L"$Delete");
    EXPECT_EQ(FindRegisteredLangTable(7), &other);
}
