#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "model/ConfigSnapshot.h"
#include "model/KeyboardConfig.h"
#include "core/KeyboardDef.h"
#include "model/MouseConfig.h"
#include "Paths.h"

namespace {

const GUID kGuid = {0x00A98AC7, 0x0457, 0x0457, {1, 1, 1, 1, 1, 1, 1, 1}};
constexpr COLORREF kBlue = 0xFF0000;

std::wstring MakeFile(const wchar_t* name)
{
    std::wstring path = hvtest::TestFile(name);
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
    return path;
}

bool FileExists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> Names(const IMouseConfig& config)
{
    std::vector<std::wstring> names;
    for (int i = 0; i < config.GetProfileCount(); ++i)
        names.push_back(config.GetProfile(i)->GetName());
    return names;
}

CVxProfile_Mouse& Concrete(IMouseProfile* p)
{
    return *dynamic_cast<CVxProfile_Mouse*>(p);
}

} // namespace

TEST(MouseConfig, CreateProfileGivesTheDefaults)
{
    CVxConfig_Mouse config;
    config.SetAccelerationRange(1, 10);
    config.SetAccelerationEnabled(true);
    config.SetAcceleration(8);
    config.SetPollingRate(2);
    IMouseProfile* p = config.CreateProfile(L"Default");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(config.GetProfileCount(), 1);
    EXPECT_EQ(config.GetActiveProfile(), nullptr);   // creating does not activate
    EXPECT_EQ(p->GetName(), L"Default");
    EXPECT_TRUE(hv::IsNullGUID(p->GetGuid()));

    EXPECT_EQ(p->GetDpiStageCount(), 5);
    EXPECT_EQ(p->GetEnabledStageCount(), 5);
    EXPECT_EQ(p->GetCurrentDpiStage(), 3);
    const int32_t stages[] = {800, 1200, 1800, 4000, 5600};
    for (int s = 1; s <= 5; ++s) {
        EXPECT_EQ(p->GetStageDpi(s), stages[s - 1]) << s;
        EXPECT_EQ(p->GetStageDpiX(s), 0) << s;
        EXPECT_FALSE(p->GetStageSeparateXY(s)) << s;
    }
    int32_t min = 0, max = 0, step = 0;
    p->GetDpiRange(&min, &max, &step);
    EXPECT_EQ(min, 100);
    EXPECT_EQ(max, 5600);
    EXPECT_EQ(step, 100);
    EXPECT_EQ(p->GetSensitivity(), 1800);
    EXPECT_FALSE(p->GetXYSeparate());
    EXPECT_TRUE(p->GetOsdDpi());
    EXPECT_TRUE(p->GetOsdProfile());
    EXPECT_FALSE(p->GetAutoSwitch());
    EXPECT_EQ(p->GetLinkedApplicationPath(), L"");

    const std::pair<int32_t, int32_t> buttons[] = {{1, 1}, {2, 2}, {3, 3}, {4, 33}, {5, 34},
                                                   {6, 13}, {7, 14}, {12, 41}, {13, 42}};
    for (auto [button, type] : buttons) {
        EXPECT_EQ(p->GetButtonAssignment(button), AssignmentAction(type)) << button;
        EXPECT_EQ(config.GetDefaultButtonAssignment(button), AssignmentAction(type)) << button;
    }
    EXPECT_TRUE(p->HasClickAssignment());
    EXPECT_EQ(config.GetDefaultButtonAssignment(8).type, kActionNone);
    EXPECT_EQ(config.GetDefaultAssignmentForItem(107).type, kActionNone);

    for (int led : {0, 9, 10}) {
        EXPECT_TRUE(p->GetLedState(led)) << led;
        EXPECT_EQ(p->GetLedColor(led), kBlue) << led;
        EXPECT_EQ(p->GetLedBrightness(led), 100) << led;
    }
    EXPECT_FALSE(p->GetLedState(1));

    // A read and an import create profiles too: the device-wide values stay as they were.
    EXPECT_EQ(config.GetPollingRate(), 2);
    EXPECT_EQ(config.GetAcceleration(), 8);
    EXPECT_TRUE(config.GetAccelerationEnabled());
}

TEST(MouseConfig, RestoringDefaultsAlsoResetsTheDeviceWideValues)
{
    CVxConfig_Mouse config;
    config.SetAccelerationRange(1, 10);
    IMouseProfile* active = config.CreateProfile(L"Active");
    IMouseProfile* other = config.CreateProfile(L"Other");
    ASSERT_TRUE(config.SetActiveProfile(active));
    active->SetOsdProfile(false);
    other->SetStageDpi(1, 3000);
    other->SetLinkedApplicationPath(L"C:\\Games\\aim.exe");
    other->SetAutoSwitch(true);
    ASSERT_TRUE(config.SetButtonAssignment(4, AssignmentAction(kActionMenu), other));
    config.SetAccelerationEnabled(true);
    config.SetAcceleration(8);
    config.SetPollingRate(2);

    // Created while "Active" shows no profile on screen: the new one follows it, the others keep
    // their flags and the device-wide values stay.
    IMouseProfile* created = config.CreateProfile(L"Created");
    EXPECT_FALSE(created->GetOsdProfile());
    EXPECT_TRUE(other->GetOsdProfile());
    EXPECT_EQ(config.GetPollingRate(), 2);

    // Restoring a profile's defaults is asked for by the user: that profile, the on-screen flag of
    // every profile and the device-wide values; the other profiles' own values stay.
    config.InitProfileDefaults(other);
    EXPECT_EQ(other->GetStageDpi(1), 800);
    EXPECT_EQ(other->GetLinkedApplicationPath(), L"");
    EXPECT_FALSE(other->GetAutoSwitch());
    EXPECT_EQ(other->GetButtonAssignment(4), AssignmentAction(kActionBackward));
    EXPECT_FALSE(other->GetOsdProfile());
    EXPECT_EQ(config.GetPollingRate(), 1);
    EXPECT_EQ(config.GetAcceleration(), 5);
    EXPECT_FALSE(config.GetAccelerationEnabled());
    EXPECT_EQ(active->GetStageDpi(1), 800);
    EXPECT_FALSE(active->GetOsdProfile());

    // The keyboard's created profiles leave the others' flags; a reset sets every one.
    CVxConfig_Keyboard keyboard;
    IKeyboardProfile* typing = keyboard.CreateProfile(L"Typing");
    IKeyboardProfile* gaming = keyboard.CreateProfile(L"Gaming");
    ASSERT_TRUE(keyboard.SetActiveProfile(typing));
    typing->SetOsdProfile(true);
    EXPECT_TRUE(keyboard.CreateProfile(L"Late")->GetOsdProfile());
    EXPECT_FALSE(gaming->GetOsdProfile());
    keyboard.InitNewKeyboardProfile(gaming);
    EXPECT_TRUE(gaming->GetOsdProfile());
}

TEST(MouseConfig, NewProfilesTakeTheActiveProfilesOsdFlag)
{
    CVxConfig_Mouse mouse;
    IMouseProfile* first = mouse.CreateProfile(L"One");
    ASSERT_TRUE(mouse.SetActiveProfile(first));
    first->SetOsdProfile(false);
    IMouseProfile* second = mouse.CreateProfile(L"Two");
    EXPECT_FALSE(second->GetOsdProfile());
    EXPECT_FALSE(first->GetOsdProfile());

    // The keyboard's new profiles show no profile on screen when nothing is active.
    CVxConfig_Keyboard keyboard;
    IKeyboardProfile* k = keyboard.CreateProfile(L"Keys");
    EXPECT_FALSE(k->GetOsdProfile());
    keyboard.SetActiveProfile(k);
    k->SetOsdProfile(true);
    EXPECT_TRUE(keyboard.CreateProfile(L"Keys 2")->GetOsdProfile());
}

TEST(KeyboardConfig, CreateProfileAndResetGiveTheDefaults)
{
    CVxConfig_Keyboard config;
    IKeyboardProfile* p = config.CreateProfile(L"Typing");
    ASSERT_NE(p, nullptr);
    for (int led : {4, 10}) {
        EXPECT_TRUE(p->GetLedState(led)) << led;
        EXPECT_EQ(p->GetLedColor(led), kBlue) << led;
    }
    EXPECT_FALSE(p->GetLedState(0));

    p->SetLinkedApplicationPath(L"C:\\game.exe");
    p->SetAutoSwitch(true);
    p->SetLedState(4, false);
    config.InitNewKeyboardProfile(p);
    EXPECT_EQ(p->GetLinkedApplication(), L"");
    EXPECT_FALSE(p->GetAutoSwitch());
    EXPECT_TRUE(p->GetLedState(4));

    // Keys take only the key page's functions.
    EXPECT_FALSE(config.SetAssignment(0x1E, AssignmentAction(kActionClick), p));
    EXPECT_TRUE(config.SetAssignment(0x1E, AssignmentAction(kActionLaunch, kGuid), p));
    EXPECT_EQ(config.GetAssignment(0x1E, p).type, kActionLaunch);
    EXPECT_FALSE(config.SetAssignment(0x1E, AssignmentAction(kActionLaunch), nullptr));   // none active
    EXPECT_EQ(config.GetConstant1024(), 1024);
    EXPECT_STREQ(config.GetProfileFileExtension(), L"hvp");
}

TEST(KeyboardConfig, DefaultKeyAssignmentFromTheKeyDefaults)
{
    const int32_t pause = HashText(L"Pause");
    const int32_t esc = HashText(L"Escape");
    const int32_t defaults[] = {2, pause, 0x00040045, esc, 0x00000001};
    ASSERT_TRUE(GetKeyboardDef().SetDefaultCodes(defaults, sizeof defaults));
    CVxConfig_Keyboard config;
    EXPECT_EQ(config.GetDefaultKeyAssignment(pause), AssignmentAction::Key(kActionDefaultKey, 0x45, 0, kKeyFlagExtended));
    EXPECT_EQ(config.GetDefaultKeyAssignment(esc), AssignmentAction::Key(kActionDefaultKey, 1, 0, 0));
    EXPECT_EQ(config.GetDefaultKeyAssignment(HashText(L"No such key")), AssignmentAction(kActionDefaultKey));
}

TEST(MouseConfig, RenameProfile)
{
    CVxConfig_Mouse config;
    config.CreateProfile(L"First");
    IMouseProfile* p = config.CreateProfile(L"Game");
    config.CreateProfile(L"Last");
    p->SetGuid(kGuid);
    config.SetActiveProfile(p);

    // The same name in the same case changes nothing; the object stays.
    EXPECT_EQ(config.RenameProfile(p, L"Game"), nullptr);
    EXPECT_EQ(config.GetProfile(1), p);
    EXPECT_EQ(config.RenameProfile(nullptr, L"X"), nullptr);

    // Another case is a rename: a copy takes the old one's place and its active mark.
    IMouseProfile* renamed = config.RenameProfile(p, L"GAME");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(Names(config), (std::vector<std::wstring>{L"First", L"GAME", L"Last"}));
    EXPECT_EQ(config.GetProfile(1), renamed);
    EXPECT_EQ(config.GetActiveProfile(), renamed);
    EXPECT_TRUE(hv::IsEqualGUID(renamed->GetGuid(), kGuid));
    EXPECT_EQ(renamed->GetStageDpi(5), 5600);

    // A profile of another configuration is not renamed at all.
    CVxConfig_Mouse other;
    IMouseProfile* foreign = other.CreateProfile(L"Foreign");
    EXPECT_EQ(config.RenameProfile(foreign, L"Mine"), nullptr);
    EXPECT_EQ(foreign->GetName(), L"Foreign");
    EXPECT_EQ(config.GetProfileCount(), 3);

    // Renaming a profile that has a file: the old file stays unless the renamed one was saved.
    std::wstring file = MakeFile(L"Last.hvp");
    IMouseProfile* last = config.GetProfile(2);
    Concrete(last).SetProfileFilePath(file.c_str());
    IMouseProfile* moved = config.RenameProfile(last, L"Later");
    ASSERT_NE(moved, nullptr);
    EXPECT_TRUE(FileExists(file));
    EXPECT_EQ(moved->GetProfileFilePath(), file);
    EXPECT_EQ(config.GetActiveProfile(), renamed);
}

TEST(MouseConfig, CopyAddCopyAndDeleteProfile)
{
    CVxConfig_Mouse config;
    IMouseProfile* source = config.CreateProfile(L"Base");
    config.CreateProfile(L"Other");
    source->SetGuid(kGuid);
    source->SetSensitivity(2400);
    source->SetValueD(7);
    std::wstring file = MakeFile(L"Base.hvp");
    Concrete(source).SetProfileFilePath(file.c_str());

    EXPECT_EQ(config.CopyProfile(source, L"Base"), nullptr);
    EXPECT_EQ(config.CopyProfile(nullptr, L"New"), nullptr);
    IMouseProfile* copy = config.CopyProfile(source, L"base");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(config.GetProfile(2), copy);
    EXPECT_EQ(copy->GetName(), L"base");
    EXPECT_TRUE(hv::IsNullGUID(copy->GetGuid()));
    EXPECT_FALSE(copy->HasProfileFile());
    EXPECT_EQ(copy->GetSensitivity(), 2400);
    EXPECT_EQ(copy->GetValueD(), 0);
    EXPECT_TRUE(hv::IsEqualGUID(source->GetGuid(), kGuid));
    EXPECT_EQ(source->GetName(), L"Base");

    // An added copy keeps name and GUID.
    IMouseProfile* twin = config.AddProfileCopy(source);
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->GetName(), L"Base");
    EXPECT_TRUE(hv::IsEqualGUID(twin->GetGuid(), kGuid));
    EXPECT_EQ(config.AddProfileCopy(nullptr), nullptr);
    EXPECT_EQ(config.GetProfileCount(), 4);

    // Look-ups take the first match; names without regard to case.
    EXPECT_EQ(config.FindProfileByGuid(kGuid), source);
    EXPECT_EQ(config.FindProfileByName(L"BASE"), source);
    EXPECT_EQ(config.FindProfileByName(L"Bas"), nullptr);
    EXPECT_EQ(config.GetProfile(4), nullptr);
    EXPECT_EQ(config.GetProfile(-1), nullptr);

    // Deleting the active profile leaves none active and removes its file.
    config.SetActiveProfile(source);
    config.DeleteProfile(source);
    EXPECT_EQ(config.GetActiveProfile(), nullptr);
    EXPECT_FALSE(FileExists(file));
    EXPECT_EQ(config.GetProfileCount(), 3);
    EXPECT_EQ(config.FindProfileByGuid(kGuid), twin);

    CVxConfig_Mouse other;
    IMouseProfile* foreign = other.CreateProfile(L"Foreign");
    config.DeleteProfile(foreign);
    config.DeleteProfile(nullptr);
    EXPECT_EQ(config.GetProfileCount(), 3);
    EXPECT_FALSE(config.SetActiveProfile(foreign));
    EXPECT_EQ(config.GetActiveProfile(), nullptr);

    config.SetActiveProfile(twin);
    config.ClearProfiles();
    EXPECT_EQ(config.GetProfileCount(), 0);
    EXPECT_EQ(config.GetActiveProfile(), nullptr);
    EXPECT_EQ(config.FindProfileByGuid(kGuid), nullptr);
}

TEST(MouseConfig, RenameAndCopyTouchOnlyTheirOwnProfiles)
{
    CVxConfig_Mouse config;
    IMouseProfile* p = config.CreateProfile(L"Game");
    IMouseProfile* renamed = config.RenameProfile(p, L"Work");
    ASSERT_NE(renamed, nullptr);

    // The pointer the rename replaced names no profile any more; a front end still holding it
    // gets null and the list stays as it is.
    EXPECT_EQ(config.RenameProfile(p, L"Play"), nullptr);
    EXPECT_EQ(config.CopyProfile(p, L"Play"), nullptr);
    IMouseProfile* doomed = config.CreateProfile(L"Doomed");
    config.DeleteProfile(doomed);
    EXPECT_EQ(config.RenameProfile(doomed, L"Back"), nullptr);
    EXPECT_EQ(config.CopyProfile(doomed, L"Back"), nullptr);
    ASSERT_EQ(config.GetProfileCount(), 1);
    EXPECT_EQ(config.GetProfile(0), renamed);
    EXPECT_EQ(renamed->GetName(), L"Work");

    // Another configuration's profile is not this one's to copy.
    CVxConfig_Mouse other;
    IMouseProfile* foreign = other.CreateProfile(L"Foreign");
    EXPECT_EQ(config.CopyProfile(foreign, L"Mine"), nullptr);
    EXPECT_EQ(config.GetProfileCount(), 1);
    EXPECT_NE(config.CopyProfile(renamed, L"Mine"), nullptr);
    EXPECT_EQ(config.GetProfileCount(), 2);
}

TEST(MouseConfig, DeviceLevelDpiStandsInWithoutAProfile)
{
    CVxConfig_Mouse config;
    // Profiles exist but none is active: the device-level arrays were never made, and the
    // defaults of a new profile wrote nothing there.
    config.CreateProfile(L"Idle");
    EXPECT_EQ(config.GetDpiStageCount(nullptr), 0);
    EXPECT_EQ(config.GetStageDpi(1, nullptr), 0);
    EXPECT_FALSE(config.SetStageDpi(2, 800, nullptr));
    EXPECT_EQ(config.GetEnabledStageCount(nullptr), 0);

    EXPECT_FALSE(config.SetDpiStageCount(0, nullptr));
    EXPECT_TRUE(config.SetDpiStageCount(12, nullptr));
    EXPECT_EQ(config.GetDpiStageCount(nullptr), 10);
    EXPECT_TRUE(config.SetDpiStageCount(3, nullptr));
    EXPECT_EQ(config.GetDpiStageCount(nullptr), 3);
    config.SetDpiRange(100, 5600, 100, nullptr);
    EXPECT_TRUE(config.SetStageDpi(2, 9000, nullptr));
    EXPECT_EQ(config.GetStageDpi(2, nullptr), 5600);
    EXPECT_TRUE(config.SetStageDpiY(7, 50, nullptr));
    EXPECT_EQ(config.GetStageDpiY(3, nullptr), 100);
    config.SetEnabledStageCount(5, nullptr);
    EXPECT_EQ(config.GetEnabledStageCount(nullptr), 3);
    config.SetCurrentDpiStage(9, nullptr);
    EXPECT_EQ(config.GetCurrentDpiStage(nullptr), 3);
    config.SetCurrentDpiStage(2, nullptr);
    EXPECT_EQ(config.GetCurrentDpiStage(nullptr), 2);

    // With an active profile both the profile and the device-level stage take the value, each
    // clamped to its own range.
    IMouseProfile* p = config.GetProfile(0);
    config.SetActiveProfile(p);
    p->SetDpiRange(200, 3000, 100);
    EXPECT_TRUE(config.SetStageDpi(1, 4000, nullptr));
    EXPECT_EQ(p->GetStageDpi(1), 3000);
    config.SetActiveProfile(nullptr);
    EXPECT_EQ(config.GetStageDpi(1, nullptr), 4000);

    // The separate-XY getters share one device-level byte without a profile.
    config.SetStageSeparateXY(1, true, p);
    EXPECT_TRUE(config.GetXYSeparate(nullptr));
    config.SetXYSeparate(false, nullptr);
    EXPECT_FALSE(config.GetStageSeparateXY(4, nullptr));
    EXPECT_TRUE(p->GetStageSeparateXY(1));
    int32_t min = 0, max = 0, step = 0;
    EXPECT_TRUE(config.GetDpiRange(&min, &max, &step, nullptr));
    EXPECT_EQ(max, 5600);
}

TEST(MouseConfig, StageZeroIsRefused)
{
    CVxConfig_Mouse config;
    IMouseProfile* p = config.CreateProfile(L"P");
    config.SetDpiStageCount(2, nullptr);
    config.SetActiveProfile(p);
    for (IMouseProfile* target : {p, static_cast<IMouseProfile*>(nullptr)}) {
        EXPECT_FALSE(config.SetCurrentDpiStage(0, target));
        EXPECT_FALSE(config.SetStageDpi(0, 1000, target));
        EXPECT_FALSE(config.SetStageDpiX(0, 1000, target));
        EXPECT_FALSE(config.SetStageDpiY(-1, 1000, target));
        EXPECT_FALSE(config.SetStageSeparateXY(0, true, target));
        EXPECT_EQ(config.GetStageDpi(0, target), 0);
        EXPECT_FALSE(config.GetStageSeparateXY(0, target));
    }
    EXPECT_EQ(p->GetCurrentDpiStage(), 3);
    EXPECT_EQ(p->GetStageDpi(1), 800);
    EXPECT_FALSE(config.GetXYSeparate(p));
}

TEST(MouseConfig, OperationsWithoutAProfile)
{
    CVxConfig_Mouse config;
    EXPECT_FALSE(config.SetSensitivity(800, nullptr));
    EXPECT_EQ(config.GetSensitivity(nullptr), 0);
    EXPECT_FALSE(config.SetButtonAssignment(1, AssignmentAction(kActionClick), nullptr));
    EXPECT_EQ(config.GetButtonAssignment(1, nullptr), AssignmentAction());
    EXPECT_FALSE(config.HasClickAssignment(nullptr));
    EXPECT_FALSE(config.SetLedState(0, true, nullptr));
    EXPECT_FALSE(config.GetLedState(0, nullptr));
    EXPECT_FALSE(config.SetLinkedApplicationPath(nullptr, L"C:\\x.exe"));
    EXPECT_EQ(config.GetLinkedApplicationPath(nullptr), L"");
    EXPECT_FALSE(config.SetOsdProfile(true, nullptr));
    EXPECT_FALSE(config.GetOsdDpi(nullptr));
    EXPECT_EQ(config.GetAssignmentCount(nullptr), 0);

    // Without a profile the defaults still set the device values.
    config.SetAccelerationRange(1, 10);
    config.InitProfileDefaults(nullptr);
    EXPECT_EQ(config.GetPollingRate(), 1);
    EXPECT_EQ(config.GetAcceleration(), 5);
    EXPECT_EQ(config.GetProfileCount(), 0);

    // With an active profile, null means that profile.
    IMouseProfile* p = config.CreateProfile(L"P");
    config.SetActiveProfile(p);
    EXPECT_TRUE(config.SetSensitivityX(1234, nullptr));
    EXPECT_EQ(p->GetSensitivityX(), 1234);
    EXPECT_TRUE(config.SetAutoSwitch(nullptr, true));
    EXPECT_TRUE(p->GetAutoSwitch());
    EXPECT_TRUE(config.SetButtonAssignment(12, AssignmentAction(kActionStageUp), nullptr));
    EXPECT_FALSE(config.SetButtonAssignment(12, AssignmentAction(kActionClick), nullptr));
    EXPECT_EQ(p->GetButtonAssignment(12).type, kActionStageUp);
    EXPECT_FALSE(config.SetAssignment(1, AssignmentAction(kActionClick), nullptr));
}

TEST(Config, ClampsOfDeviceWideValues)
{
    CVxConfig_Mouse config;
    EXPECT_EQ(config.GetBatteryState(), -1);
    EXPECT_EQ(config.GetBatteryRangeMax(), 1);
    config.SetBatteryLevel(5);
    EXPECT_EQ(config.GetBatteryLevel(), 1);
    config.ResetBatteryRange();
    EXPECT_EQ(config.GetBatteryRangeMin(), 0);
    EXPECT_EQ(config.GetBatteryRangeMax(), 3);
    config.SetBatteryLevel(5);
    EXPECT_EQ(config.GetBatteryLevel(), 3);
    config.SetBatteryLevel(-2);
    EXPECT_EQ(config.GetBatteryLevel(), 0);
    config.SetCriticalBatteryLevel(9);
    EXPECT_EQ(config.GetCriticalBatteryLevel(), 3);

    EXPECT_EQ(config.GetMaxLedBrightness(), 100);
    config.SetMaxLedBrightness(150);
    EXPECT_EQ(config.GetMaxLedBrightness(), 100);
    config.SetMaxLedBrightness(40);
    EXPECT_EQ(config.GetMaxLedBrightness(), 40);
    EXPECT_EQ(config.GetSleepTime(), 1);

    config.SetAccelerationRange(1, 10);
    config.SetAcceleration(0);
    EXPECT_EQ(config.GetAcceleration(), 1);
    config.SetAcceleration(11);
    EXPECT_EQ(config.GetAcceleration(), 10);
    config.SetAcceleration(7);
    EXPECT_EQ(config.GetAcceleration(), 7);

    EXPECT_EQ(config.GetPollingRate(), -1);
    config.SetSupportedPollingRates({125, 250, 500, 1000, 2000, 4000, 8000});
    EXPECT_EQ(config.GetSupportedPollingRateCount(), 5);
    EXPECT_EQ(config.GetSupportedPollingRate(4), 2000);
    EXPECT_EQ(config.GetSupportedPollingRate(5), 0);
    config.SetSupportedPollingRates({125, 500, 1000});
    EXPECT_EQ(config.GetSupportedPollingRateCount(), 3);
    EXPECT_EQ(config.GetSupportedPollingRate(3), 0);

    // The lights' brightness through the configuration.
    IMouseProfile* p = config.CreateProfile(L"P");
    EXPECT_TRUE(config.SetLedBrightness(2, 250, p));
    EXPECT_EQ(config.GetLedBrightness(2, p), 100);
}

TEST(Config, ApmEntriesStaySortedAndUnique)
{
    CVxConfig_Keyboard config;
    EXPECT_TRUE(config.AddApm(0xFF, 0, 50));
    EXPECT_TRUE(config.AddApm(0xFF00, 0, 10));
    EXPECT_TRUE(config.AddApm(0xFF0000, 10, 30));
    EXPECT_FALSE(config.AddApm(1, 2, 30));
    EXPECT_TRUE(config.AddApm(0x00FFFF, 50, 100));
    ASSERT_EQ(config.GetApmCount(), 4);
    const int32_t seconds[] = {10, 30, 50, 100};
    const int32_t values[] = {0xFF00, 0xFF0000, 0xFF, 0x00FFFF};
    for (int i = 0; i < 4; ++i) {
        int32_t first = -1, second = -1, value = -1;
        ASSERT_TRUE(config.GetApmPair(i, &first, &second));
        ASSERT_TRUE(config.GetApmValue(i, &value));
        EXPECT_EQ(second, seconds[i]);
        EXPECT_EQ(value, values[i]);
    }
    EXPECT_TRUE(config.SetApmValue(3, 7));
    EXPECT_TRUE(config.SetApmPair(3, 60, 90));
    int32_t first = 0, second = 0, value = 0;
    config.GetApmPair(3, &first, &second);
    config.GetApmValue(3, &value);
    EXPECT_EQ(first + second + value, 60 + 90 + 7);
    EXPECT_FALSE(config.SetApmValue(4, 1));
    EXPECT_FALSE(config.SetApmPair(-1, 1, 1));
    EXPECT_FALSE(config.GetApmValue(4, &value));
    EXPECT_FALSE(config.GetApmPair(9, &first, &second));
    config.ClearApm();
    EXPECT_EQ(config.GetApmCount(), 0);
}

TEST(Config, DeviceEntriesHoldOnlyApmEvents)
{
    CVxConfig_Mouse config;
    EXPECT_EQ(config.GetDeviceEntryCount(), 0);
    AssignmentAction missing = config.GetDeviceEntry(4);
    EXPECT_EQ(missing, AssignmentAction());
    EXPECT_EQ(config.GetDeviceEntryCount(), 1);

    EXPECT_FALSE(config.SetDeviceEntry(9, AssignmentAction(kActionClick)));
    EXPECT_FALSE(config.SetDeviceEntry(4, AssignmentAction(kActionNone)));
    EXPECT_EQ(config.GetDeviceEntryCount(), 1);

    AssignmentAction event(kActionApmEvent);
    event.payload.values[0] = 3;
    event.payload.values[1] = 0xFF00;
    event.payload.values[2] = 1;
    EXPECT_TRUE(config.SetDeviceEntry(16, event));
    EXPECT_TRUE(config.SetDeviceEntry(2, event));
    EXPECT_EQ(config.GetDeviceEntry(16), event);
    EXPECT_EQ(config.GetDeviceEntryCount(), 3);
    EXPECT_EQ(config.GetDeviceEntryKey(0), 2);
    EXPECT_EQ(config.GetDeviceEntryKey(1), 4);
    EXPECT_EQ(config.GetDeviceEntryKey(2), 16);
    EXPECT_EQ(config.GetDeviceEntryKey(3), 0);
    EXPECT_EQ(config.GetDeviceEntryKey(-1), 0);
}

TEST(Config, MacrosAndApplications)
{
    CVxConfig_Keyboard config;
    CMacro* macro = config.AddMacro(L"New Macro1", {{kMacroEventDelay, 20, 0}});
    ASSERT_NE(macro, nullptr);
    EXPECT_EQ(config.AddMacro(L"new macro1", {}), nullptr);
    EXPECT_EQ(config.FindMacroByName(L"NEW MACRO1"), macro);
    macro->SetGuid(kGuid);
    EXPECT_EQ(config.FindMacroByGuid(kGuid), macro);
    EXPECT_EQ(config.GetMacro(0), macro);
    EXPECT_EQ(config.GetMacro(1), nullptr);
    // A device's macros keep their names even where they collide without regard to case; the
    // name rule still holds for everything added the ordinary way.
    CMacro* twin = config.AddMacroKeepingName(L"NEW MACRO1", {});
    ASSERT_NE(twin, nullptr);
    EXPECT_STREQ(L"NEW MACRO1", twin->GetName());
    EXPECT_EQ(config.GetMacro(1), twin);
    EXPECT_EQ(config.FindMacroByName(L"new macro1"), macro);
    EXPECT_EQ(config.AddMacro(L"New macro1", {}), nullptr);
    config.RemoveMacro(twin);
    config.RemoveMacro(macro);
    EXPECT_EQ(config.GetMacroCount(), 0);

    CHvApp* app = config.AddApp(L"C:\\Games\\Game.exe");
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(config.AddApp(L"c:\\games\\GAME.EXE"), nullptr);
    CHvApp* other = config.AddApp(L"C:\\Tools\\Tool.exe");
    other->guid = kGuid;
    EXPECT_EQ(config.FindApp(L"C:\\GAMES\\game.exe"), app);
    EXPECT_EQ(config.FindAppByGuid(kGuid), other);
    EXPECT_EQ(config.FindAppByGuid(GUID()), app);
    EXPECT_EQ(config.GetApp(1), other);
    EXPECT_EQ(config.GetApp(2), nullptr);
    CHvApp* twinApp = config.AddAppKeepingName(L"c:\\games\\GAME.EXE");
    ASSERT_NE(twinApp, nullptr);
    EXPECT_EQ(L"c:\\games\\GAME.EXE", twinApp->name);
    EXPECT_EQ(config.GetApp(2), twinApp);
    EXPECT_EQ(config.AddApp(L"C:\\GAMES\\GAME.EXE"), nullptr);
    config.RemoveApp(twinApp);
    CHvApp stranger(L"C:\\Tools\\Tool.exe");
    config.RemoveApp(&stranger);
    EXPECT_EQ(config.GetAppCount(), 2);
    config.RemoveApp(app);
    EXPECT_EQ(config.GetAppCount(), 1);
    EXPECT_EQ(config.GetApp(0), other);
}

TEST(MouseConfig, FillDefaultDpiStagesFromTheCurrentCount)
{
    std::vector<DpiStage> stages(2, DpiStage{400, 400, 400, 1});
    FillDefaultDpiStages(stages, 2);
    ASSERT_EQ(stages.size(), 5u);
    EXPECT_EQ(stages[1].dpi, 400);
    EXPECT_EQ(stages[1].separateXY, 1);
    const int32_t defaults[] = {800, 1200, 1800, 4000, 5600};
    for (size_t i = 2; i < 5; ++i) {
        EXPECT_EQ(stages[i].dpi, defaults[i]);
        EXPECT_EQ(stages[i].dpiX, defaults[i]);
        EXPECT_EQ(stages[i].dpiY, defaults[i]);
        EXPECT_EQ(stages[i].separateXY, 0);
    }
}

TEST(KeyboardConfig, AWriteHandsItsGuidsOnlyToTheItemsItWrote)
{
    // The device gives GUIDs to a copy; meanwhile the user removes the macro and the application
    // written and adds new ones, which may well take the freed objects' places in memory.
    CVxConfig_Keyboard live;
    CMacro* written = live.AddMacro(L"Written", {});
    CHvApp* writtenApp = live.AddApp(L"C:\\written.exe");
    CMacro* kept = live.AddMacro(L"Kept", {});
    ASSERT_TRUE(written && writtenApp && kept);
    auto snapshot = TakeSnapshot(live);
    const GUID given[] = {{1, 0, 0, {1}}, {2, 0, 0, {2}}, {3, 0, 0, {3}}};
    snapshot->config->GetMacro(0)->SetGuid(given[0]);
    snapshot->config->GetApp(0)->guid = given[1];
    snapshot->config->GetMacro(1)->SetGuid(given[2]);
    live.RemoveMacro(written);
    live.RemoveApp(writtenApp);
    CMacro* fresh = live.AddMacro(L"Fresh", {});
    CHvApp* freshApp = live.AddApp(L"C:\\fresh.exe");
    ASSERT_TRUE(fresh && freshApp);
    EXPECT_NE(fresh->GetIdentity(), kept->GetIdentity());

    ApplySnapshot(*snapshot, live);
    EXPECT_TRUE(hv::IsNullGUID(fresh->GetGuid()));
    EXPECT_TRUE(hv::IsNullGUID(freshApp->guid));
    EXPECT_TRUE(hv::IsEqualGUID(given[2], kept->GetGuid()));
}
