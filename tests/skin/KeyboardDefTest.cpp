#include "core/KeyboardDef.h"
#include "core/NameTables.h"
#include "skin/GUIItem.h"
#include "skin/LayoutErrors.h"
#include "skin/LayoutLoader.h"

#include "LayoutTestFiles.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

// Builds definition and default files byte by byte, little-endian.
class CFileBuilder
{
public:
    CFileBuilder& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    CFileBuilder& U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    CFileBuilder& I16(int16_t v)
    {
        bytes.push_back(static_cast<uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
        return *this;
    }
    CFileBuilder& Name(const std::wstring& name)
    {
        for (wchar_t c : name)
            I16(static_cast<int16_t>(c));
        return *this;
    }

    // One record; the further arrays hold 100 x array + index so that they can be checked.
    CFileBuilder& Record(const std::wstring& name, std::initializer_list<std::pair<int16_t, uint8_t>> codes,
                         int16_t value1 = 1, int16_t value2 = 2)
    {
        U32(static_cast<uint32_t>(name.size() * 2)).Name(name);
        return Tail(codes, value1, value2);
    }
    CFileBuilder& Tail(std::initializer_list<std::pair<int16_t, uint8_t>> codes, int16_t value1 = 1, int16_t value2 = 2)
    {
        I16(value1).I16(value2);
        size_t n = 0;
        for (const auto& code : codes) {
            I16(code.first);
            bytes.push_back(code.second);
            bytes.push_back(0xEE);
            ++n;
        }
        for (; n < 10; ++n)
            I16(0).I16(0);
        for (int a = 0; a < 3; ++a)
            for (int i = 0; i < 20; ++i)
                I16(static_cast<int16_t>(100 * a + i));
        return *this;
    }

    std::vector<uint8_t> bytes;
};

bool Load(CKeyboardDef& def, const std::vector<uint8_t>& bytes)
{
    CGuardedBuffer buffer(bytes);
    return def.Load(buffer.Length(), buffer.Data());
}

bool SetDefaults(CKeyboardDef& def, const std::vector<uint8_t>& bytes)
{
    CGuardedBuffer buffer(bytes);
    return def.SetDefaultCodes(buffer.Data(), buffer.Length());
}

// A definition of the keys the device code names, plus the placeholders.
std::vector<uint8_t> SampleDefinition(int extraBytes = 0)
{
    CFileBuilder f;
    f.I32(7)
        .Record(L"a A", { { 0x04, 0 } }, 11, 12)
        .Record(L"Return", { { 0x28, 0 } })
        .Record(L"none", { { 0x30, 0 } })
        .Record(L"Reserved", { { 0x31, 0 } })
        .Record(L"Left Control", { { 0x11, 0x02 }, { 0x41, 0 }, { 0, 0 }, { 0x42, 0 } })
        .Record(L"Keypad 1 End", { { -1, 0 } })
        .Record(L"Return", { { 0x58, 0 } });
    for (int i = 0; i < extraBytes; ++i)
        f.bytes.push_back(0);
    return f.bytes;
}

} // namespace

TEST(KeyboardDef, HashOfKeyNames)
{
    EXPECT_EQ(HashText(L"a"), 177670);
    EXPECT_EQ(HashText(L""), 5381);
    EXPECT_EQ(HashText(nullptr), 5381);
    EXPECT_EQ(HashText(L"a A"), 193483751);
    // Wraps in 32 bits.
    EXPECT_EQ(HashText(L"Left Control"), -1682161903);
    EXPECT_EQ(HashText(std::wstring(L"Print Screen (Note 1)")), 1532213418);
}

TEST(KeyboardDef, RecordsAssignableKeysAndCodes)
{
    CKeyboardDef def;
    ASSERT_TRUE(Load(def, SampleDefinition())) << std::string(def.LoadError().begin(), def.LoadError().end());
    EXPECT_TRUE(def.IsLoaded());

    const auto& records = def.Records();
    ASSERT_EQ(records.size(), 7u);
    EXPECT_EQ(records[0].name, L"a A");
    EXPECT_EQ(records[0].hash, HashText(L"a A"));
    EXPECT_EQ(records[0].value1, 11);
    EXPECT_EQ(records[0].value2, 12);
    EXPECT_EQ(records[0].codes[0].reserved, 0xEE);
    EXPECT_EQ(records[0].arrays[2][19], 219);
    EXPECT_EQ(records[0].keyCode, 0x04);
    EXPECT_EQ(records[0].keyFlags, 0);
    // A flagged first entry takes the last code of the plain run that follows it.
    EXPECT_EQ(records[4].keyCode, 0x41);
    EXPECT_EQ(records[4].keyFlags, 0x02);

    // "none", "Reserved" and a negative first code are kept but not assignable; the second
    // "Return" replaces the first.
    EXPECT_FALSE(CKeyboardDef::IsAssignable(records[2]));
    EXPECT_FALSE(CKeyboardDef::IsAssignable(records[3]));
    EXPECT_FALSE(CKeyboardDef::IsAssignable(records[5]));
    EXPECT_TRUE(CKeyboardDef::IsAssignable(records[1]));
    EXPECT_EQ(def.AssignableCount(), 3u);

    EXPECT_EQ(def.FindByKeyCode(0x04), HashText(L"a A"));
    EXPECT_EQ(def.FindByKeyCode(0x00020041), HashText(L"Left Control"));
    EXPECT_EQ(def.FindByKeyCode(0x41), 0);
    EXPECT_EQ(def.FindByKeyCode(0x58), HashText(L"Return"));
    EXPECT_EQ(def.FindByKeyCode(0x28), 0);
    EXPECT_EQ(def.FindByKeyCode(0x30), 0);
    EXPECT_EQ(def.FindByKeyCode(0x99), 0);
    EXPECT_EQ(def.FindByKeyCode(0xFF00FFFF), 0); // code -1 of the unassignable key

    KeyCode code = def.GetKeyCode(HashText(L"Left Control"));
    EXPECT_EQ(code.code, 0x41);
    EXPECT_EQ(code.flags, 0x02);
    code = def.GetKeyCode(HashText(L"none"));
    EXPECT_EQ(code.code, 0);
    EXPECT_EQ(code.flags, 0);

    // A second load does not read: even garbage is accepted once loaded.
    const uint8_t garbage[3] = { 1, 2, 3 };
    EXPECT_TRUE(def.Load(sizeof(garbage), garbage));
    EXPECT_EQ(def.Records().size(), 7u);
    EXPECT_FALSE(def.Load(0, garbage));
    EXPECT_FALSE(def.Load(4, nullptr));
}

TEST(KeyboardDef, BrokenDefinitionsAreRefusedWithinTheirBuffer)
{
    auto refused = [](const std::vector<uint8_t>& bytes) {
        CKeyboardDef def;
        const bool loaded = Load(def, bytes);
        EXPECT_FALSE(def.IsLoaded());
        EXPECT_TRUE(def.Records().empty());
        EXPECT_EQ(def.FindByKeyCode(0x04), 0);
        EXPECT_FALSE(def.LoadError().empty());
        return !loaded;
    };

    EXPECT_TRUE(refused(SampleDefinition(1)));                 // one byte after the last record
    EXPECT_TRUE(refused(CFileBuilder().I32(0).bytes));         // no keys
    EXPECT_TRUE(refused(CFileBuilder().I32(-1).bytes));
    EXPECT_TRUE(refused({ 7, 0 }));                            // count cut short

    CFileBuilder huge;
    huge.I32(0x7FFFFFFF).Record(L"a A", { { 0x04, 0 } });
    EXPECT_TRUE(refused(huge.bytes));

    // Cut inside the fixed part, inside the name, and inside the length field.
    std::vector<uint8_t> whole = CFileBuilder().I32(1).Record(L"Return", { { 0x28, 0 } }).bytes;
    for (size_t cut : { whole.size() - 1, size_t(4 + 4 + 5), size_t(4 + 2) })
        EXPECT_TRUE(refused(std::vector<uint8_t>(whole.begin(), whole.begin() + cut))) << cut;

    // A name length beyond the data, also one that would wrap a 32-bit sum.
    EXPECT_TRUE(refused(CFileBuilder().I32(1).U32(0xFFFFFFF0).Tail({ { 4, 0 } }).bytes));
    EXPECT_TRUE(refused(CFileBuilder().I32(1).U32(400).Tail({ { 4, 0 } }).bytes));

    // A file that failed can be loaded once it is sound.
    CKeyboardDef def;
    EXPECT_FALSE(Load(def, SampleDefinition(1)));
    EXPECT_TRUE(Load(def, SampleDefinition()));
    EXPECT_EQ(def.Records().size(), 7u);
}

TEST(KeyboardDef, LongNamesAdvanceByTheirRealLength)
{
    const std::wstring longName(300, L'K'); // 600 bytes
    CFileBuilder f;
    f.I32(3).Record(longName, { { 0x10, 0 } }).Record(L"a A", { { 0x04, 0 } });
    // An odd name length: the odd byte is skipped with the name.
    f.U32(7).Name(L"Tab").bytes.push_back(0);
    f.Tail({ { 0x2B, 0 } });

    CKeyboardDef def;
    ASSERT_TRUE(Load(def, f.bytes));
    const auto& records = def.Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].name, std::wstring(256, L'K'));
    EXPECT_EQ(records[0].keyCode, 0x10);
    EXPECT_EQ(records[1].name, L"a A");
    EXPECT_EQ(records[1].keyCode, 0x04);
    EXPECT_EQ(records[2].name, L"Tab");
    EXPECT_EQ(records[2].keyCode, 0x2B);
    EXPECT_EQ(def.FindByKeyCode(0x2B), HashText(L"Tab"));
}

TEST(KeyboardDef, DefaultCodes)
{
    CKeyboardDef def;
    const int32_t a = HashText(L"a A");
    const int32_t ret = HashText(L"Return");
    ASSERT_TRUE(SetDefaults(def, CFileBuilder().I32(2).I32(a).U32(0xAB020041).I32(ret).U32(0x00008028).bytes));
    KeyCode code;
    ASSERT_TRUE(def.GetDefaultCode(a, code));
    EXPECT_EQ(code.code, 0x41);
    EXPECT_EQ(code.flags, 0x02);
    ASSERT_TRUE(def.GetDefaultCode(ret, code));
    EXPECT_EQ(code.code, static_cast<int16_t>(0x8028));
    EXPECT_EQ(code.flags, 0);
    EXPECT_FALSE(def.GetDefaultCode(HashText(L"Tab"), code));

    // Refused as a whole, changing nothing: a wrong length, no pairs, a count whose size wraps
    // 32 bits (4 + 8 x 0x20000000 is 4 there), a negative count, a cut count.
    auto unchanged = [&](const std::vector<uint8_t>& bytes) {
        EXPECT_FALSE(SetDefaults(def, bytes));
        KeyCode c;
        EXPECT_TRUE(def.GetDefaultCode(a, c));
        EXPECT_EQ(c.code, 0x41);
    };
    std::vector<uint8_t> longer = CFileBuilder().I32(1).I32(a).U32(0x55).bytes;
    longer.push_back(0);
    unchanged(longer);
    unchanged(CFileBuilder().I32(2).I32(a).U32(0x55).bytes);
    unchanged(CFileBuilder().I32(0).bytes);
    unchanged(CFileBuilder().I32(0x20000000).bytes);
    unchanged(CFileBuilder().I32(-1).bytes);
    unchanged({ 1, 0 });
    EXPECT_FALSE(def.SetDefaultCodes(nullptr, 12));
}

// The program's keyboard definition read through a keyboard layout file, as the program reads it:
// a definition or key defaults file that is missing or faulty is told with the file's name and what
// is wrong with it. (The program's definition is read once: the faulty files come first, while it
// is not read yet.)
TEST(KeyboardDef, FaultyDefinitionFilesAreToldWithTheirNameAndFault)
{
    using namespace layouttest;
    InitNameTables();
    UseTestSkinFolder();
    auto keyboardLayout = [](const char* keys, const char* defaults) {
        std::string xml = std::string("<KEYBOARD><KEYBOARDDEF name='KBDDEF_WINDOWS' file='") + keys + "'";
        if (defaults)
            xml += std::string(" kbddefaults='") + defaults + "'";
        return xml + "/></KEYBOARD>";
    };
    KeyFileBuilder truncated;
    truncated.I32(2).Record(L"a A", 0x1E);
    WriteBinFile(L"two_keys_one_written.bin", truncated.bytes);
    KeyFileBuilder keys;
    keys.I32(1).Record(L"a A", 0x1E);
    WriteBinFile(L"one_key.bin", keys.bytes);
    KeyFileBuilder longDefaults;
    longDefaults.I32(1).I32(HashText(L"a A")).I32(0x1E).I32(7);
    WriteBinFile(L"defaults_too_long.bin", longDefaults.bytes);
    WriteLayout(L"KeysMissing.xml", keyboardLayout("no_such_keys.bin", nullptr));
    WriteLayout(L"KeysTruncated.xml", keyboardLayout("two_keys_one_written.bin", nullptr));
    WriteLayout(L"DefaultsMissing.xml", keyboardLayout("one_key.bin", "no_such_defaults.bin"));
    WriteLayout(L"DefaultsTooLong.xml", keyboardLayout("one_key.bin", "defaults_too_long.bin"));

    CLayoutErrorLog log;
    CGUIItems items;
    ASSERT_FALSE(GetKeyboardDef().IsLoaded());
    EXPECT_FALSE(LoadLayoutFile(&items, L"KeysMissing.xml", nullptr, false));
    EXPECT_FALSE(LoadLayoutFile(&items, L"KeysTruncated.xml", nullptr, false));
    EXPECT_FALSE(GetKeyboardDef().IsLoaded());
    EXPECT_FALSE(LoadLayoutFile(&items, L"DefaultsMissing.xml", nullptr, false));
    EXPECT_FALSE(LoadLayoutFile(&items, L"DefaultsTooLong.xml", nullptr, false));
    const std::vector<std::wstring> expected = {
        L"KeysMissing.xml: KEYBOARDDEF \"KBDDEF_WINDOWS\": the keyboard definition \"no_such_keys.bin\" of bin\\ is "
        L"missing or cannot be read",
        L"KeysTruncated.xml: KEYBOARDDEF \"KBDDEF_WINDOWS\": the keyboard definition \"two_keys_one_written.bin\" is "
        L"refused: the keyboard definition holds 1 of 2 keys",
        L"DefaultsMissing.xml: KEYBOARDDEF \"KBDDEF_WINDOWS\": the key defaults \"no_such_defaults.bin\" of bin\\ are "
        L"missing or cannot be read",
        L"DefaultsTooLong.xml: KEYBOARDDEF \"KBDDEF_WINDOWS\": the key defaults \"defaults_too_long.bin\" are refused: 16 "
        L"bytes do not hold the count they begin with and its pairs",
    };
    EXPECT_EQ(log.Errors(), expected);
    EXPECT_TRUE(items.Empty());
}
