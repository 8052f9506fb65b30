#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/ModelRecords.h"

namespace {

const GUID kGuidA = {0x11223344, 0x5566, 0x7788, {0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x01}};

bool PayloadIsZero(const AssignmentAction& a)
{
    static const AssignmentAction::Payload zero{};
    return std::memcmp(&a.payload, &zero, sizeof zero) == 0;
}

} // namespace

TEST(AssignmentAction, InitTakesTheGuidOnlyForTheByGuidTypes)
{
    AssignmentAction none;
    EXPECT_EQ(none.type, kActionNone);
    EXPECT_TRUE(PayloadIsZero(none));
    EXPECT_EQ(none.playMode, 0);

    AssignmentAction macro(kActionMacro, kGuidA);
    EXPECT_TRUE(hv::IsEqualGUID(macro.payload.guid, kGuidA));
    EXPECT_EQ(macro.playMode, kPlayOnce);
    EXPECT_EQ(macro.repeatCount, 0);

    for (int32_t type : {kActionProfile, kActionLaunch}) {
        AssignmentAction a(type, kGuidA);
        EXPECT_TRUE(hv::IsEqualGUID(a.payload.guid, kGuidA)) << type;
        EXPECT_EQ(a.playMode, 0) << type;
    }

    // Re-initialising to any other type drops what the record held before.
    for (int32_t type : {kActionClick, kActionMacroByName, kActionProfileByName, kActionApmEvent}) {
        AssignmentAction a(kActionMacro, kGuidA);
        a.repeatCount = 7;
        a.Init(type, kGuidA);
        EXPECT_EQ(a.type, type);
        EXPECT_TRUE(PayloadIsZero(a)) << type;
        EXPECT_EQ(a.playMode, 0) << type;
        EXPECT_EQ(a.repeatCount, 0) << type;
    }
}

TEST(AssignmentAction, ByNameKeepsALongNameBesideThePlayFields)
{
    std::wstring name(259, L'm');
    name[0] = L'A';
    name[258] = L'Z';
    AssignmentAction a = AssignmentAction::ByName(kActionMacroByName, name.c_str());
    a.playMode = kPlayWhileHeld;
    a.repeatCount = 255;
    AssignmentAction copy = a;
    EXPECT_EQ(std::wstring(copy.payload.name), name);
    EXPECT_EQ(copy.payload.name[259], L'\0');
    EXPECT_EQ(copy.playMode, kPlayWhileHeld);
    EXPECT_EQ(copy.repeatCount, 255);
    EXPECT_EQ(copy, a);

    // One character more than the area holds is cut, still terminated.
    AssignmentAction cut = AssignmentAction::ByName(kActionProfileByName, (name + L"!").c_str());
    EXPECT_EQ(std::wstring(cut.payload.name), name);
    EXPECT_EQ(AssignmentAction::ByName(kActionLaunchByName, nullptr).payload.name[0], L'\0');
}

TEST(AssignmentAction, KeyWordAndByGuidTypes)
{
    AssignmentAction key = AssignmentAction::Key(kActionSingleKey, 0x1D, VK_RCONTROL, kKeyFlagExtended | kKeyFlagShift);
    EXPECT_EQ(key.payload.key.word, 0xA3001Du);
    EXPECT_EQ(key.ScanCode(), 0x1D);
    EXPECT_EQ(key.VirtualKey(), VK_RCONTROL);
    EXPECT_EQ(key.payload.key.flags, kKeyFlagExtended | kKeyFlagShift);
    EXPECT_NE(key, AssignmentAction::Key(kActionSingleKey, 0x1D, VK_RCONTROL, kKeyFlagExtended));

    EXPECT_EQ(ByGuidActionType(kActionMacroByName), kActionMacro);
    EXPECT_EQ(ByGuidActionType(kActionProfileByName), kActionProfile);
    EXPECT_EQ(ByGuidActionType(kActionLaunchByName), kActionLaunch);
    EXPECT_EQ(ByGuidActionType(kActionClick), kActionClick);
}

TEST(ModelRecords, IsEqualGUIDComparesEveryWord)
{
    EXPECT_TRUE(hv::IsEqualGUID(kGuidA, kGuidA));
    EXPECT_TRUE(hv::IsNullGUID(GUID()));
    EXPECT_FALSE(hv::IsNullGUID(kGuidA));
    for (size_t byte = 0; byte < sizeof(GUID); ++byte) {
        GUID other = kGuidA;
        reinterpret_cast<unsigned char*>(&other)[byte] ^= 0x80;
        EXPECT_FALSE(hv::IsEqualGUID(kGuidA, other)) << "byte " << byte;
    }
}

TEST(ModelRecords, ListEntryValueHoldsAPointer)
{
    static_assert(sizeof(ListEntry::value) == sizeof(void*), "a list entry may refer to an object");
    int target = 0;
    ListEntry entry;
    entry.flag = 1;
    entry.Init(L"$macro", reinterpret_cast<intptr_t>(&target), nullptr);
    EXPECT_EQ(entry.name, L"$macro");
    EXPECT_TRUE(entry.text.empty());
    EXPECT_EQ(entry.flag, 0);
    EXPECT_EQ(reinterpret_cast<int*>(entry.value), &target);

    ListEntry copy;
    entry.text = L"tip";
    entry.flag = 3;
    copy.Copy(entry);
    EXPECT_EQ(copy.name, entry.name);
    EXPECT_EQ(copy.text, L"tip");
    EXPECT_EQ(copy.value, entry.value);
    EXPECT_EQ(copy.flag, 3);

    SingleKeyResult key{L"Ctrl + A", 0x1E, 0x41, 4};
    key.Init();
    EXPECT_TRUE(key.keyText.empty());
    EXPECT_EQ(key.scanCode + key.virtualKey + key.flags, 0);
}

TEST(ModelRecords, ApplicationEqualityRegardsCase)
{
    CHvApp a(L"C:\\Games\\Game.exe");
    CHvApp b(L"C:\\Games\\Game.exe");
    EXPECT_EQ(a, b);
    b.name = L"c:\\games\\game.exe";
    EXPECT_NE(a, b);
    b.name = a.name;
    b.guid = kGuidA;
    EXPECT_NE(a, b);
}

TEST(ModelRecords, DeviceDescriptorRows)
{
    EXPECT_EQ(g_MouseDescriptor.productId, 0x22u);
    EXPECT_EQ(g_KeyboardDescriptor.productId, 0x23u);
    EXPECT_EQ(g_MouseDescriptor.name, nullptr);
    EXPECT_EQ(g_KeyboardDescriptor.name, nullptr);
    const uint32_t mouse[] = {1, 2, 4, 5, 6, 7, 10, 11, 12, 8};
    const uint32_t keyboard[] = {1, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(g_MouseDescriptor.featureCount, ARRAYSIZE(mouse));
    ASSERT_EQ(g_KeyboardDescriptor.featureCount, ARRAYSIZE(keyboard));
    EXPECT_EQ(std::memcmp(g_MouseDescriptor.features, mouse, sizeof mouse), 0);
    EXPECT_EQ(std::memcmp(g_KeyboardDescriptor.features, keyboard, sizeof keyboard), 0);
    EXPECT_TRUE(g_MouseDescriptor.HasFeature(kFeatureDpi));
    EXPECT_FALSE(g_MouseDescriptor.HasFeature(kFeatureKeys));
    EXPECT_FALSE(g_KeyboardDescriptor.HasFeature(kFeatureApm));
}
