#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/KeyboardDef.h"
#include "model/Profile.h"

namespace {

const GUID kGuid = {0x0153158E, 0x08AE, 0x08AE, {2, 2, 2, 2, 2, 2, 2, 2}};

std::vector<int32_t> Allowed(const CVxProfile_Mouse& p, int32_t button)
{
    std::vector<int32_t> types = {99};
    p.GetAllowedFunctions(types, button);
    return types;
}

} // namespace

TEST(Profile, AllowedFunctionListsAndTheirOrder)
{
    CVxProfile_Mouse mouse;
    const std::vector<int32_t> scroll = {6, 13, 14, 41, 42, 8};
    const std::vector<int32_t> button = {1, 2, 3, 4, 6, 13, 14, 34, 33, 10, 5, 22, 41, 42, 8};
    EXPECT_EQ(Allowed(mouse, 12), scroll);
    EXPECT_EQ(Allowed(mouse, 13), scroll);
    for (int32_t b : {1, 2, 3, 4, 5, 6, 7, 11, 14, 0})
        EXPECT_EQ(Allowed(mouse, b), button) << b;

    CVxProfile_Keyboard keyboard;
    std::vector<int32_t> keys = {99};
    keyboard.GetAllowedFunctions(keys);
    EXPECT_EQ(keys, (std::vector<int32_t>{0, 5, 22, 6, 63}));

    // Each list is exactly what IsFunctionAllowed accepts; by-name types count as their by-GUID twins.
    for (int32_t type = -1; type <= 66; ++type) {
        int32_t asGuid = ByGuidActionType(type);
        auto holds = [asGuid](const std::vector<int32_t>& row) {
            return std::find(row.begin(), row.end(), asGuid) != row.end();
        };
        EXPECT_EQ(mouse.IsFunctionAllowed(type, 12), holds(scroll)) << type;
        EXPECT_EQ(mouse.IsFunctionAllowed(type, 5), holds(button)) << type;
        EXPECT_EQ(keyboard.IsFunctionAllowed(type), holds(keys)) << type;
        EXPECT_FALSE(mouse.IsFunctionAllowed(type)) << type;
    }
}

TEST(Profile, AssignmentsStoreOnlyWhatIsAllowed)
{
    CVxProfile_Mouse mouse;
    EXPECT_TRUE(mouse.SetButtonAssignment(12, AssignmentAction(kActionScrollUp)));
    EXPECT_FALSE(mouse.SetButtonAssignment(12, AssignmentAction(kActionClick)));
    EXPECT_EQ(mouse.GetButtonAssignment(12).type, kActionScrollUp);
    AssignmentAction byName = AssignmentAction::ByName(kActionMacroByName, L"Burst");
    byName.playMode = kPlayCount;
    byName.repeatCount = 3;
    EXPECT_TRUE(mouse.SetButtonAssignment(5, byName));
    EXPECT_EQ(mouse.GetButtonAssignment(5), byName);

    // A mouse profile's base map takes nothing.
    EXPECT_FALSE(mouse.SetAssignment(1, AssignmentAction(kActionClick)));
    EXPECT_EQ(mouse.GetAssignmentCount(), 0);

    CVxProfile_Keyboard keyboard;
    EXPECT_FALSE(keyboard.SetAssignment(30, AssignmentAction(kActionClick)));
    EXPECT_TRUE(keyboard.SetAssignment(30, AssignmentAction(kActionLaunch, kGuid)));
    EXPECT_TRUE(keyboard.SetAssignment(31, AssignmentAction::ByName(kActionLaunchByName, L"C:\\x.exe")));
    EXPECT_EQ(keyboard.GetAssignmentCount(), 2);
    // Reading a key that has no entry adds it as "no action".
    EXPECT_EQ(keyboard.GetAssignment(32), AssignmentAction());
    EXPECT_EQ(keyboard.GetAssignmentCount(), 3);
    EXPECT_EQ(mouse.GetButtonAssignment(9), AssignmentAction());
}

TEST(Profile, HasClickAssignmentLooksAtTheBaseMapOnlyWithFlagE)
{
    CVxProfile_Mouse mouse;
    EXPECT_TRUE(mouse.GetFlagE());
    EXPECT_FALSE(mouse.HasClickAssignment());
    mouse.SetButtonAssignment(2, AssignmentAction(kActionClick));
    EXPECT_TRUE(mouse.HasClickAssignment());
    mouse.SetButtonAssignment(2, AssignmentAction(kActionMenu));
    EXPECT_FALSE(mouse.HasClickAssignment());
    mouse.SetFlagE(false);
    EXPECT_FALSE(mouse.HasClickAssignment());
}

TEST(Profile, DpiStageCountsAndCurrentStage)
{
    CVxProfile_Mouse p;
    EXPECT_EQ(p.GetDpiStageCount(), 0);
    EXPECT_EQ(p.GetCurrentDpiStage(), 0);
    EXPECT_FALSE(p.SetCurrentDpiStage(1));
    EXPECT_FALSE(p.SetStageDpi(1, 800));
    EXPECT_EQ(p.GetStageDpi(1), 0);

    EXPECT_TRUE(p.SetDpiStageCount(0));
    EXPECT_EQ(p.GetDpiStageCount(), 1);
    EXPECT_EQ(p.GetCurrentDpiStage(), 1);
    EXPECT_TRUE(p.SetDpiStageCount(12));
    EXPECT_EQ(p.GetDpiStageCount(), 10);
    EXPECT_EQ(p.GetCurrentDpiStage(), 1);

    p.SetEnabledStageCount(8);
    EXPECT_EQ(p.GetEnabledStageCount(), 8);
    p.SetEnabledStageCount(11);
    EXPECT_EQ(p.GetEnabledStageCount(), 10);
    p.SetDpiStageCount(5);
    EXPECT_EQ(p.GetEnabledStageCount(), 5);

    EXPECT_TRUE(p.SetCurrentDpiStage(7));
    EXPECT_EQ(p.GetCurrentDpiStage(), 5);
    EXPECT_TRUE(p.SetCurrentDpiStage(2));
    EXPECT_EQ(p.GetCurrentDpiStage(), 2);

    // Stage 0 is no stage: refused, nothing changes.
    EXPECT_FALSE(p.SetCurrentDpiStage(0));
    EXPECT_EQ(p.GetCurrentDpiStage(), 2);
    EXPECT_FALSE(p.SetStageDpi(0, 800));
    EXPECT_FALSE(p.SetStageSeparateXY(0, true));
    EXPECT_EQ(p.GetStageDpiX(0), 0);
    EXPECT_FALSE(p.GetStageSeparateXY(-3));
}

TEST(Profile, StageValuesAreClampedToTheRange)
{
    CVxProfile_Mouse p;
    p.SetDpiStageCount(5);
    p.SetDpiRange(100, 5600, 100);
    EXPECT_TRUE(p.SetStageDpi(1, 8000));
    EXPECT_EQ(p.GetStageDpi(1), 5600);
    EXPECT_TRUE(p.SetStageDpi(1, 50));
    EXPECT_EQ(p.GetStageDpi(1), 100);
    EXPECT_TRUE(p.SetStageDpiX(2, 400));
    EXPECT_TRUE(p.SetStageDpiY(2, 9999));
    EXPECT_EQ(p.GetStageDpiX(2), 400);
    EXPECT_EQ(p.GetStageDpiY(2), 5600);
    EXPECT_EQ(p.GetStageDpi(2), 0);

    // A stage above the count addresses the last stage.
    EXPECT_TRUE(p.SetStageDpi(9, 3200));
    EXPECT_EQ(p.GetStageDpi(5), 3200);
    EXPECT_EQ(p.GetStageDpi(6), 3200);
    EXPECT_TRUE(p.SetStageSeparateXY(5, true));
    EXPECT_TRUE(p.GetStageSeparateXY(5));
    EXPECT_FALSE(p.GetStageSeparateXY(4));

    // A new range does not clamp what is stored.
    p.SetDpiRange(200, 1000, 50);
    EXPECT_EQ(p.GetStageDpi(5), 3200);
    int32_t min = 0, max = 0, step = 0;
    EXPECT_TRUE(p.GetDpiRange(&min, &max, &step));
    EXPECT_EQ(min, 200);
    EXPECT_EQ(max, 1000);
    EXPECT_EQ(step, 50);
    EXPECT_TRUE(p.GetDpiRange(nullptr, nullptr, nullptr));
}

TEST(Profile, LightsAreAddedBySettersOnly)
{
    CVxProfile_Keyboard p;
    EXPECT_EQ(p.GetLedBrightness(4), 0);
    EXPECT_FALSE(p.GetLedState(4));
    EXPECT_EQ(p.GetLedColor(4), 0u);
    EXPECT_EQ(p.GetLedBrightness(4), 0);   // the getters added nothing

    p.SetLedColor(4, RGB(1, 2, 3));
    EXPECT_EQ(p.GetLedColor(4), RGB(1, 2, 3));
    EXPECT_EQ(p.GetLedBrightness(4), 100);
    EXPECT_FALSE(p.GetLedState(4));
    EXPECT_EQ(p.GetLedEffect(4), 0);

    p.SetLedBrightness(7, 150);
    EXPECT_EQ(p.GetLedBrightness(7), 100);
    p.SetLedBrightness(7, 35);
    EXPECT_EQ(p.GetLedBrightness(7), 35);
    p.SetLedEffect(7, 5);
    p.SetLedState(7, true);
    EXPECT_EQ(p.GetLedEffect(7), 5);
    EXPECT_TRUE(p.GetLedState(7));
    EXPECT_EQ(p.GetLedColor(7), 0u);
}

TEST(Profile, NamesLinksAndFlags)
{
    CVxProfile_Mouse p(L"Sniper");
    EXPECT_EQ(p.GetName(), L"Sniper");
    p.SetName(nullptr);
    EXPECT_EQ(p.GetName(), L"");

    p.SetLinkedApplicationPath(L"C:\\Program Files\\Game Co\\Game.Launcher.exe");
    EXPECT_EQ(p.GetLinkedApplication(), L"Game.Launcher.exe");
    EXPECT_EQ(p.GetLinkedApplicationPath(), L"C:\\Program Files\\Game Co\\Game.Launcher.exe");
    p.SetLinkedApplicationPath(L"D:/tools/run.exe");
    EXPECT_EQ(p.GetLinkedApplication(), L"run.exe");
    p.SetLinkedApplication(L"other.exe");   // as read from the device: the path stays
    EXPECT_EQ(p.GetLinkedApplication(), L"other.exe");
    EXPECT_EQ(p.GetLinkedApplicationPath(), L"D:/tools/run.exe");
    p.SetLinkedApplicationPath(L"");
    EXPECT_EQ(p.GetLinkedApplication(), L"");
    EXPECT_EQ(p.GetLinkedApplicationPath(), L"");

    EXPECT_FALSE(p.GetAutoSwitch());
    EXPECT_TRUE(p.GetOsdProfile());
    EXPECT_FALSE(p.GetOsdDpi());
    EXPECT_FALSE(p.HasProfileFile());
    std::wstring path = L"unchanged";
    EXPECT_FALSE(p.SaveToFile(path, L"C:\\", L"hvp"));
    EXPECT_FALSE(p.LoadFromFile(L"Sniper", L"C:\\", L"hvp"));
    EXPECT_EQ(path, L"unchanged");
    EXPECT_EQ(p.GetName(), L"");
}

TEST(Profile, CopyCarriesAllButTheFreeValues)
{
    CVxProfile_Mouse p(L"Source");
    p.SetGuid(kGuid);
    p.SetDpiStageCount(4);
    p.SetDpiRange(100, 5600, 100);
    p.SetStageDpi(2, 1600);
    p.SetStageSeparateXY(2, true);
    p.SetEnabledStageCount(3);
    p.SetCurrentDpiStage(4);
    p.SetSensitivity(900);
    p.SetSensitivityX(1000);
    p.SetSensitivityY(1100);
    p.SetXYSeparate(true);
    p.SetOsdDpi(true);
    p.SetOsdProfile(false);
    p.SetAutoSwitch(true);
    p.SetFlagE(false);
    p.SetLinkedApplicationPath(L"C:\\a\\b.exe");
    p.SetProfileFilePath(L"C:\\save\\Source.hvp");
    p.SetButtonAssignment(4, AssignmentAction(kActionForward));
    p.SetLedColor(0, RGB(9, 9, 9));
    p.SetValueD(1);
    p.SetValueE(2);
    p.SetValueF(3);
    p.SetFlagD(true);

    CVxProfile_Mouse c(p);
    EXPECT_EQ(c.GetName(), L"Source");
    EXPECT_TRUE(hv::IsEqualGUID(c.GetGuid(), kGuid));
    EXPECT_EQ(c.GetDpiStageCount(), 4);
    EXPECT_EQ(c.GetStageDpi(2), 1600);
    EXPECT_TRUE(c.GetStageSeparateXY(2));
    EXPECT_EQ(c.GetEnabledStageCount(), 3);
    EXPECT_EQ(c.GetCurrentDpiStage(), 4);
    EXPECT_EQ(c.GetSensitivity() + c.GetSensitivityX() + c.GetSensitivityY(), 3000);
    EXPECT_TRUE(c.GetXYSeparate());
    EXPECT_TRUE(c.GetOsdDpi());
    EXPECT_FALSE(c.GetOsdProfile());
    EXPECT_TRUE(c.GetAutoSwitch());
    EXPECT_FALSE(c.GetFlagE());
    EXPECT_EQ(c.GetLinkedApplication(), L"b.exe");
    EXPECT_EQ(c.GetProfileFilePath(), L"C:\\save\\Source.hvp");
    EXPECT_EQ(c.GetButtonAssignment(4).type, kActionForward);
    EXPECT_EQ(c.GetLedColor(0), RGB(9, 9, 9));
    EXPECT_EQ(c.GetValueD() + c.GetValueE() + c.GetValueF(), 0);
    EXPECT_FALSE(c.GetFlagD());

    // The copy's maps are its own.
    c.SetButtonAssignment(4, AssignmentAction(kActionBackward));
    c.SetStageDpi(2, 800);
    EXPECT_EQ(p.GetButtonAssignment(4).type, kActionForward);
    EXPECT_EQ(p.GetStageDpi(2), 1600);
}

TEST(Profile, ResetToDefaultKeysUsesTheKeyDefaults)
{
    const int32_t rightCtrl = HashText(L"Right Control");
    const int32_t aKey = HashText(L"a A");
    const int32_t unknown = HashText(L"Not A Key");
    // {count, then hash and packed code (code bits 0-15, flags bits 16-23)}
    const int32_t defaults[] = {2, rightCtrl, 0x0002001D, aKey, 0x0000001E};
    ASSERT_TRUE(GetKeyboardDef().SetDefaultCodes(defaults, sizeof defaults));

    CVxProfile_Keyboard p;
    p.SetAssignment(rightCtrl, AssignmentAction(kActionLaunch, kGuid));
    p.SetAssignment(aKey, AssignmentAction::Key(kActionSingleKey, 0x30, 'B', kKeyFlagShift));
    p.SetAssignment(unknown, AssignmentAction(kActionMacro, kGuid));
    p.ResetToDefaultKeys();

    EXPECT_EQ(p.GetAssignmentCount(), 3);
    EXPECT_EQ(p.GetAssignment(rightCtrl), AssignmentAction::Key(kActionDefaultKey, 0x1D, 0, kKeyFlagExtended));
    EXPECT_EQ(p.GetAssignment(aKey), AssignmentAction::Key(kActionDefaultKey, 0x1E, 0, 0));
    EXPECT_EQ(p.GetAssignment(unknown), AssignmentAction(kActionDefaultKey));
}
