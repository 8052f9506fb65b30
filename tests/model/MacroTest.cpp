#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/NameTables.h"
#include "model/Macro.h"
#include "model/PredefinedMacros.h"

namespace {

const GUID kGuid = {0xA1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};

MacroEvent Key(int32_t value, int32_t extra)
{
    return {kMacroEventKey, value, extra};
}

const std::vector<MacroEvent> kTwoEvents = {Key(0x41001E, 0xFF), {kMacroEventDelay, 50, 0}};

} // namespace

TEST(MacroList, NamesAreUniqueWithoutRegardToCase)
{
    CMacroList list;
    CMacro* first = list.Add(L"Reload", kTwoEvents);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(list.Add(L"RELOAD", {}), nullptr);
    EXPECT_EQ(list.Add(L"reload", kTwoEvents), nullptr);
    CMacro* second = list.Add(L"Reload 2", {});
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(list.Count(), 2);

    EXPECT_EQ(list.Find(L"rELOAD"), first);
    EXPECT_EQ(list.Find(L"Reloa"), nullptr);
    EXPECT_EQ(list.Get(0), first);
    EXPECT_EQ(list.Get(1), second);
    EXPECT_EQ(list.Get(2), nullptr);
    EXPECT_EQ(list.Get(-1), nullptr);

    EXPECT_EQ(list.FindByGuid(kGuid), nullptr);
    second->SetGuid(kGuid);
    EXPECT_EQ(list.FindByGuid(kGuid), second);

    // A macro of another list is not this list's to delete.
    CMacroList other;
    CMacro* foreign = other.Add(L"Reload", {});
    list.Remove(foreign);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(other.Find(L"Reload"), foreign);

    list.Remove(first);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Get(0), second);
    // The name is free again.
    EXPECT_NE(list.Add(L"reLoad", {}), nullptr);
}

TEST(MacroList, NamesAreCutTo255Characters)
{
    std::wstring longName(300, L'x');
    CMacroList list;
    CMacro* macro = list.Add(longName.c_str(), kTwoEvents);
    ASSERT_NE(macro, nullptr);
    EXPECT_EQ(std::wstring(macro->GetName()), std::wstring(255, L'x'));
    EXPECT_EQ(macro->GetEvents(), kTwoEvents);
    EXPECT_TRUE(hv::IsNullGUID(macro->GetGuid()));
    EXPECT_TRUE(macro->GetFilePath().empty());
    // Any name that cuts to the same 255 characters is taken.
    EXPECT_EQ(list.Add(std::wstring(256, L'X').c_str(), {}), nullptr);
}

TEST(Macro, EqualityIgnoresNameCaseOnly)
{
    CMacro a(L"Combo", kTwoEvents);
    CMacro b(L"COMBO", kTwoEvents);
    a.SetGuid(kGuid);
    b.SetGuid(kGuid);
    b.SetFilePath(L"C:\\macros\\combo.hvm");   // where it came from does not matter
    EXPECT_EQ(a, b);

    CMacro otherName(L"Combo2", kTwoEvents);
    otherName.SetGuid(kGuid);
    EXPECT_NE(a, otherName);

    CMacro otherGuid(L"Combo", kTwoEvents);
    EXPECT_NE(a, otherGuid);

    std::vector<MacroEvent> released = kTwoEvents;
    released[0].extra = kKeyStateReleased;
    CMacro otherExtra(L"Combo", released);
    otherExtra.SetGuid(kGuid);
    EXPECT_NE(a, otherExtra);

    std::vector<MacroEvent> shorter(kTwoEvents.begin(), kTwoEvents.begin() + 1);
    CMacro otherCount(L"Combo", shorter);
    otherCount.SetGuid(kGuid);
    EXPECT_NE(a, otherCount);

    // Equal value and extra, another event type.
    std::vector<MacroEvent> retyped = kTwoEvents;
    retyped[1].type = kMacroEventMouse;
    CMacro otherType(L"Combo", retyped);
    otherType.SetGuid(kGuid);
    EXPECT_NE(a, otherType);
}

TEST(PredefinedMacros, SeventeenShortcutsOfTheirSteps)
{
    const int32_t ctrl = 0xA2001D, alt = 0xA40038, win = 0x5B005B;
    struct Row
    {
        const wchar_t* name;
        int32_t modifier;
        int32_t key;
    };
    const Row rows[] = {
        {L"$cut", ctrl, 0x58002D},     {L"$copy", ctrl, 0x43002E},      {L"$paste", ctrl, 0x56002F},
        {L"$undo", ctrl, 0x5A002C},    {L"$all", ctrl, 0x41001E},       {L"$find", ctrl, 0x460021},
        {L"$new", ctrl, 0x4E0031},     {L"$print", ctrl, 0x500019},     {L"$save", ctrl, 0x53001F},
        {L"$swapwindows", alt, 0x9000F}, {L"$closewindow", alt, 0x73003E}, {L"$lockpc", win, 0x4C0026},
        {L"$openexplorer", win, 0x450012}, {L"$run", win, 0x520013},    {L"$showdesktop", win, 0x440020},
        {L"$zoomin", ctrl, 0xBB000D},  {L"$zoomout", ctrl, 0xBD000C},
    };
    const CPredefinedMacroList& list = PredefinedMacros();
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << std::string(row.name, row.name + wcslen(row.name)));
        std::vector<MacroEvent> events;
        ASSERT_TRUE(list.GetMacro(row.name, events));
        // Only the Windows-key steps carry the extended flag, in press and release alike.
        const int32_t ext = row.modifier == win ? 0x100 : 0;
        const std::vector<MacroEvent> expected = {
            Key(row.modifier, 0xFF | ext), Key(row.key, 0xFF), Key(row.key, 1), Key(row.modifier, 1 | ext)};
        EXPECT_EQ(events, expected);
    }
}

TEST(PredefinedMacros, LookUpByNameWithoutRegardToCase)
{
    const CPredefinedMacroList& list = PredefinedMacros();
    std::vector<MacroEvent> events = kTwoEvents;
    EXPECT_TRUE(list.GetMacro(L"$COPY", events));
    const std::vector<MacroEvent> copy = {Key(0xA2001D, 0xFF), Key(0x43002E, 0xFF), Key(0x43002E, 1), Key(0xA2001D, 1)};
    EXPECT_EQ(events, copy);

    // Unknown names, assignment-type names that are no shortcut, and null leave the list alone.
    for (const wchar_t* name : {L"$copyall", L"copy", L"$click", L"", static_cast<const wchar_t*>(nullptr)}) {
        std::vector<MacroEvent> untouched = kTwoEvents;
        EXPECT_TRUE(list.GetMacro(name, untouched));
        EXPECT_EQ(untouched, kTwoEvents);
    }
}

TEST(PredefinedMacros, GroupNamesInIdOrder)
{
    const CPredefinedMacroList& list = PredefinedMacros();
    std::vector<std::wstring> first = {L"stale"};
    std::vector<std::wstring> second = {L"stale"};
    list.GetFirstGroupNames(first);
    list.GetSecondGroupNames(second);
    EXPECT_EQ(first, (std::vector<std::wstring>{L"$cut", L"$copy", L"$paste", L"$undo", L"$all", L"$find",
                                                L"$new", L"$print", L"$save"}));
    EXPECT_EQ(second, (std::vector<std::wstring>{L"$swapwindows", L"$closewindow", L"$lockpc", L"$openexplorer",
                                                 L"$run", L"$showdesktop", L"$zoomin", L"$zoomout"}));
    // The names are the shortcut function table's: id i is the i-th name.
    int id = 1;
    for (const auto* group : {&first, &second})
        for (const std::wstring& name : *group)
            EXPECT_EQ(FindShortcutFunctionId(name.c_str()), id++);
}
