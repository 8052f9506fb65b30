#include "core/NameTables.h"
#include "core/ItemIds.h"

#include "platform/Handles.h"
#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <iterator>
#include <map>
#include <set>
#include <string>

// The program binds items by the enumerators, the layouts name them through the name table; both
// are made from one table and must agree: every enumerator has its row and is the number its name
// resolves to, also in lower case, and names are unique without regard to case. Only a name whose
// number a later row takes resolves to nothing, and a number without a row has no name.
TEST(NameTables, EnumAndNameRowsAgree)
{
    struct Enumerated
    {
        int32_t value;
        const wchar_t* name;
    };
#define HV_WIDE(text) L##text
#define HV_ITEM_ID(name, id) { name, HV_WIDE(#name) },
    const Enumerated enumerated[] = {
#include "core/ItemIds.inc"
    };
#undef HV_ITEM_ID
#undef HV_WIDE

    size_t count = 0;
    const NameRow* rows = ItemIdRows(count);
    ASSERT_EQ(count, std::size(enumerated));

    std::set<std::wstring> names;
    std::map<int32_t, const wchar_t*> kept;  // number -> the name of its last row
    for (size_t i = 0; i < count; ++i) {
        ASSERT_EQ(rows[i].number, enumerated[i].value) << i;
        ASSERT_STREQ(rows[i].name, enumerated[i].name) << i;
        std::wstring upper = enumerated[i].name;
        for (wchar_t& c : upper)
            c = static_cast<wchar_t>(towupper(c));
        EXPECT_TRUE(names.insert(upper).second) << "name given twice: " << i;
        kept[enumerated[i].value] = enumerated[i].name;
    }

    for (const Enumerated& item : enumerated) {
        std::wstring lower = item.name;
        for (wchar_t& c : lower)
            c = static_cast<wchar_t>(towlower(c));
        if (kept[item.value] != item.name) {
            EXPECT_EQ(FindItemIdByName(item.name), -1) << item.value;
            continue;
        }
        ASSERT_EQ(FindItemIdByName(item.name), item.value) << item.name;
        ASSERT_EQ(FindItemIdByName(lower.c_str()), item.value) << item.name;
        ASSERT_STREQ(FindItemNameById(item.value), item.name);
    }

    const int32_t last = kept.rbegin()->first;
    for (int32_t number = kept.begin()->first; number <= last; ++number) {
        if (kept.count(number) == 0) {
            EXPECT_EQ(FindItemNameById(number), nullptr) << number;
        }
    }
    EXPECT_EQ(FindItemNameById(last + 1), nullptr);
    EXPECT_EQ(FindItemNameById(-1), nullptr);
}

TEST(NameTables, ItemLookupsIgnoreCaseAndKeepTheLaterZero)
{
    InitNameTables();
    EXPECT_EQ(FindItemIdByName(L"button_ok"), 46);
    EXPECT_EQ(FindItemIdByName(L"Button_Ok"), 46);
    EXPECT_EQ(FindItemIdByName(L"LANGUAGE_ENGLISH"), -1);
    EXPECT_EQ(FindItemIdByName(L"language_default"), 0);
    EXPECT_STREQ(FindItemNameById(0), L"LANGUAGE_DEFAULT");
    EXPECT_EQ(FindItemIdByName(L"KBLAYOUT_GREEK"), 29);
    EXPECT_EQ(FindItemIdByName(L"BUTTON_OK "), -1);
    EXPECT_EQ(FindItemIdByName(L""), -1);
    EXPECT_EQ(FindItemIdByName(nullptr), -1);
}

TEST(NameTables, Colors)
{
    EXPECT_EQ(FindColorByName(L"white"), 0xFFFFFFu);
    EXPECT_EQ(FindColorByName(L"VEXA_HIGHLIGHT"), 0xFEFEFEu);
    EXPECT_EQ(FindColorByName(L"vexa_profile_highlight"), 0x362E04u);
    EXPECT_EQ(FindColorByName(L"VEXA_PANEL_BACKGROUND"), 0x362E05u);
    EXPECT_EQ(FindColorByName(L"BLACK"), 0u);
    EXPECT_EQ(FindColorByName(L"Red"), RGB(255, 0, 0));
    EXPECT_EQ(FindColorByName(L"GOLD_VX_HIGHTLIGHT"), 0x007CD0u);
    EXPECT_EQ(FindColorByName(L"MAGENTA"), CLR_INVALID);
    EXPECT_EQ(FindColorByName(L"0xFFFFFF"), CLR_INVALID);
}

TEST(NameTables, FunctionAndTypeNamesMapToTheirLowestNumber)
{
    EXPECT_EQ(FindShortcutFunctionId(L"$cut"), 1);
    EXPECT_EQ(FindShortcutFunctionId(L"$ZOOMOUT"), 17);
    EXPECT_EQ(FindShortcutFunctionId(L"cut"), -1);

    EXPECT_EQ(FindAssignmentTypeId(L"$defaultkey"), 0);
    EXPECT_EQ(FindAssignmentTypeId(L"$macro"), 6);
    EXPECT_EQ(FindAssignmentTypeId(L"$profile"), 22);
    EXPECT_EQ(FindAssignmentTypeId(L"$launchprogram"), 63);
    EXPECT_EQ(FindAssignmentTypeId(L"$temporarydpiswitch"), 21);
    EXPECT_EQ(FindAssignmentTypeId(L"$cut"), 43);
    EXPECT_EQ(FindAssignmentTypeId(L"$nothing"), -1);
    EXPECT_STREQ(FindAssignmentTypeName(7), L"$macro");
    EXPECT_STREQ(FindAssignmentTypeName(64), L"$launchprogram");
    EXPECT_EQ(FindAssignmentTypeName(65), nullptr);

    EXPECT_STREQ(FindButtonDescription(0), L"$ResetButtonBackToDefaultFunction");
    EXPECT_STREQ(FindButtonDescription(23), L"$Assignthisbuttontochangetoaprofile");
    EXPECT_STREQ(FindButtonDescription(42), L"$AssignthisbuttontobehaveasScrollDown");
    EXPECT_STREQ(FindButtonDescription(43), L"$cut");
    EXPECT_STREQ(FindButtonDescription(63), L"$launchprogram");
    EXPECT_STREQ(FindButtonDescription(64), L"$launchprogram");
    EXPECT_EQ(FindButtonDescription(65), nullptr);

    EXPECT_STREQ(FindKeyDescription(5), L"$AssignKeyToBehaveAsAnotherKey");
    EXPECT_STREQ(FindKeyDescription(63), L"$AssignKeyToLaunchASelectedApplication");
    EXPECT_EQ(FindKeyDescription(1), nullptr);
}

TEST(NameTables, ColumnsControlsLanguagesAndLayouts)
{
    FillLanguageNameTable();
    FillKeyboardLayoutItemTable();
    EXPECT_EQ(FindListColumnId(L"lcitem_autoswitch"), 4);
    EXPECT_EQ(FindListColumnId(L"LCITEM_MCREVENT_DESCRIP"), 6);
    EXPECT_EQ(FindListColumnId(L"LCITEM_NONE"), -1);
    EXPECT_EQ(FindControlTypeId(L"FileDialog"), 5);
    EXPECT_EQ(FindControlTypeId(L"icon"), 0);
    EXPECT_EQ(FindMacroColumnTypeId(L"STATIC"), 1);
    EXPECT_EQ(FindMacroColumnTypeId(L"EDIT"), -1);

    EXPECT_EQ(FindLanguageIdByName(L"english"), 0);
    EXPECT_EQ(FindLanguageIdByName(L"Spanish"), 9);
    EXPECT_EQ(FindLanguageIdByName(L"Klingon"), -1);
    EXPECT_STREQ(FindLanguageNameById(14), L"English");

    EXPECT_EQ(FindKeyboardLayoutItemId(0), 15);
    EXPECT_EQ(FindKeyboardLayoutItemId(2), 29);
    EXPECT_EQ(FindKeyboardLayoutItemId(12), 23);
    EXPECT_EQ(FindKeyboardLayoutItemId(13), -1);
    EXPECT_EQ(FindKeyboardLayoutItemId(-1), -1);
}

TEST(NameTables, LaterFillOfANumberWins)
{
    CNameTable table;
    table.Set(3, L"first");
    table.Set(1, L"Same");
    table.Set(3, L"second");
    table.Set(2, L"same");
    EXPECT_EQ(table.Size(), 3u);
    EXPECT_STREQ(table.FindByNumber(3), L"second");
    EXPECT_EQ(table.FindByName(L"FIRST"), -1);
    EXPECT_EQ(table.FindByName(L"SAME"), 1);
}

TEST(NameTables, ReadRegistryStringAlwaysTerminates)
{
    CRegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\HalvoVexaTests\\Registry", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, key.Put(), nullptr),
              ERROR_SUCCESS);

    auto setRaw = [&](const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        ASSERT_EQ(RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
    };
    const std::wstring fits(39, L'x');
    const std::wstring tooLong(40, L'y');
    setRaw(L"Language", REG_SZ, L"German", 7 * sizeof(wchar_t));
    setRaw(L"Fits", REG_SZ, fits.c_str(), 40 * sizeof(wchar_t));
    setRaw(L"TooLong", REG_SZ, tooLong.c_str(), 41 * sizeof(wchar_t));
    setRaw(L"NoTerminator", REG_SZ, L"French", 6 * sizeof(wchar_t));
    setRaw(L"FullNoTerminator", REG_SZ, tooLong.c_str(), 40 * sizeof(wchar_t));
    setRaw(L"Dword", REG_DWORD, "\1\0\0\0", 4);

    wchar_t buffer[40];
    wmemset(buffer, L'#', 40);
    ASSERT_TRUE(ReadRegistryString(key.Get(), L"Language", buffer, 40));
    EXPECT_STREQ(buffer, L"German");
    EXPECT_EQ(FindLanguageIdByName(buffer), 5);

    wmemset(buffer, L'#', 40);
    ASSERT_TRUE(ReadRegistryString(key.Get(), L"Fits", buffer, 40));
    EXPECT_EQ(std::wstring(buffer), fits);

    wmemset(buffer, L'#', 40);
    EXPECT_FALSE(ReadRegistryString(key.Get(), L"TooLong", buffer, 40));
    EXPECT_EQ(buffer[0], L'\0');

    wmemset(buffer, L'#', 40);
    ASSERT_TRUE(ReadRegistryString(key.Get(), L"NoTerminator", buffer, 40));
    EXPECT_STREQ(buffer, L"French");

    wmemset(buffer, L'#', 40);
    EXPECT_FALSE(ReadRegistryString(key.Get(), L"FullNoTerminator", buffer, 40));
    EXPECT_EQ(buffer[0], L'\0');

    wmemset(buffer, L'#', 40);
    EXPECT_FALSE(ReadRegistryString(key.Get(), L"Dword", buffer, 40));
    EXPECT_EQ(buffer[0], L'\0');
    EXPECT_FALSE(ReadRegistryString(key.Get(), L"Missing", buffer, 40));
    EXPECT_EQ(buffer[0], L'\0');

    key.Reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\HalvoVexaTests\\Registry");
}
