// The keyboard device object against the simulated middleware, and the rules every write and read
// keeps: the copy a write works on, by-name assignments, colliding and empty macros, the linked
// program's property, imports that fail, and the device-wide conversions.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>

#include "model/CodeTables.h"
#include "model/DeviceSteps.h"
#include "DevicesFixture.h"
#include "model/Keyboard.h"
#include "model/KeyboardConfig.h"
#include "core/KeyboardDef.h"
#include "LyingMiddleware.h"
#include "model/Mouse.h"
#include "model/MouseConfig.h"
#include "model/NullDevices.h"
#include "Paths.h"
#include "platform/WStr.h"

using namespace devtest;
using mwsim::Dev;

namespace {

class DevicesKeyboard : public CDevicesTest
{
};

int32_t Key(const wchar_t* name)
{
    return HashText(name);
}

GUID MakeGuid(uint32_t n)
{
    return GUID{0xC0DE0000u + n, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, static_cast<BYTE>(n)}};
}

// The dump line of one key record of the first profile.
std::wstring FirstProfileAssign(DWORD id)
{
    const std::vector<std::wstring> lines = DumpLines(Dev::Keyboard, wstr::Format(L" assign 0x%05lX ", id));
    return lines.empty() ? std::wstring() : lines[0];
}

// A dump line " assign 0x<id> src <n> kind <n> data <hex of the 20 payload bytes>" as the record.
bool ParseAssignLine(const std::wstring& line, AssignmentRecord& record)
{
    record = AssignmentRecord{};
    unsigned long id = 0, source = 0, kind = 0;
    wchar_t hex[64] = {};
    if (swscanf(line.c_str(), L" assign 0x%lX src %lu kind %lu data %63ls", &id, &source, &kind, hex) != 4 ||
        wcslen(hex) != 2 * sizeof record.payload) {
        ADD_FAILURE() << "not an assignment line: \"" << wstr::WideToUtf8(line) << "\"";
        return false;
    }
    record.id = id;
    record.source = source;
    record.kind = kind;
    for (size_t i = 0; i < sizeof record.payload; ++i)
        record.payload[i] = static_cast<BYTE>(std::stoul(std::wstring(hex + 2 * i, 2), nullptr, 16));
    return true;
}

} // namespace

TEST_F(DevicesKeyboard, RoundTripOfEveryKindOfValue)
{
    CVxConfig_Keyboard config;
    CKeyboard keyboard(g_KeyboardDescriptor);
    ReadInto(keyboard, config);
    ASSERT_EQ(5, config.GetProfileCount());
    IKeyboardProfile* p = config.GetProfile(0);
    // The factory keys read as default keys.
    EXPECT_EQ(kActionDefaultKey, p->GetAssignment(Key(L"a A")).type);
    EXPECT_EQ(kActionDefaultKey, p->GetAssignment(Key(L"Right Control")).type);
    ASSERT_EQ(1, config.GetAppCount());
    int layout = 0;
    EXPECT_TRUE(keyboard.GetLayoutCode(&layout));
    EXPECT_EQ(1, layout);

    p->SetName(L"Typing");
    p->SetLinkedApplicationPath(L"D:\\Apps\\writer.exe");
    p->SetAutoSwitch(true);
    p->SetOsdProfile(!p->GetOsdProfile());
    ASSERT_TRUE(p->SetAssignment(Key(L"a A"), AssignmentAction::Key(kActionSingleKey, 0x30, 0, 0)));
    ASSERT_TRUE(p->SetAssignment(Key(L"b B"), AssignmentAction(kActionLaunch, config.GetApp(0)->guid)));
    p->SetLedColor(4, 0x123456);
    p->SetLedBrightness(4, 40);
    CMacro* macro = config.AddMacro(L"Keys", {{kMacroEventKey, 0x41001E, 0xFF}, {kMacroEventDelay, 20, 0},
                                             {kMacroEventKey, 0x41001E, 1}});
    ASSERT_NE(nullptr, macro);
    ASSERT_NE(nullptr, config.AddApp(L"C:\\Tools\\tool.exe"));
    IKeyboardProfile* fresh = config.CreateProfile(L"Fresh");
    config.DeleteProfile(config.GetProfile(3));
    CProgressListener listener;
    keyboard.AddListener(listener.Window());

    ASSERT_TRUE(WriteAndWait(keyboard, config));
    EXPECT_TRUE(listener.Received().empty());
    ASSERT_FALSE(hv::IsNullGUID(fresh->GetGuid()));
    ASSERT_FALSE(hv::IsNullGUID(config.FindMacroByName(L"Keys")->GetGuid()));
    ASSERT_FALSE(hv::IsNullGUID(config.GetApp(1)->guid));

    const std::vector<std::wstring> profiles = DumpLines(Dev::Keyboard, L"profile ");
    ASSERT_EQ(5u, profiles.size());
    EXPECT_EQ(L"profile 0 " + GuidText(p->GetGuid()) + L" \"Typing\"", profiles[0]);
    EXPECT_EQ(L"profile 4 " + GuidText(fresh->GetGuid()) + L" \"Fresh\"", profiles[4]);
    EXPECT_EQ(L" app \"writer.exe\"", DumpLine(Dev::Keyboard, L" app "));
    EXPECT_EQ(0x1, std::stoi(DumpLine(Dev::Keyboard, L" flags ").substr(7), nullptr, 16) & 0x1);
    EXPECT_EQ(0u, FirstProfileAssign(0x1E).find(L" assign 0x0001E src 1 kind 5 data 3000000000"));
    EXPECT_EQ(0u, FirstProfileAssign(0x30).find(L" assign 0x00030 src 1 kind 9 data"));
    EXPECT_EQ(L" led 5 on 1 color 0x123456 brightness 40 effect 0 0 0 caps 111", DumpLine(Dev::Keyboard, L" led 5 "));
    const std::vector<std::wstring> apps = DumpLines(Dev::Keyboard, L"application ");
    ASSERT_EQ(2u, apps.size());
    EXPECT_NE(std::wstring::npos, apps[1].find(L"\"C:\\\\Tools\\\\tool.exe\""));
    EXPECT_EQ(L" events 3, key 0x1E 0x0, delay 20, key 0x1E 0x1", DumpLine(Dev::Keyboard, L" events "));

    // Read again: what was written reads back; the new profile holds what it was given and the
    // device's own values for the rest.
    CVxConfig_Keyboard again;
    CKeyboard second(g_KeyboardDescriptor);
    ReadInto(second, again);
    ExpectMadeProfileReadsBack(Describe(config), Describe(again), L"Fresh");

    // Unplugged: the null keyboard stands in with its 20 profiles.
    ChangeState([](mwsim::SimState& s) { s.Of(Dev::Keyboard).present = 0; });
    CNullKeyboard null;
    CVxConfig_Keyboard defaults;
    EXPECT_FALSE(second.Init(&defaults));
    EXPECT_FALSE(null.Init(&defaults));
    EXPECT_EQ(20, defaults.GetProfileCount());
    EXPECT_EQ(defaults.GetProfile(0), defaults.GetActiveProfile());
    EXPECT_FALSE(null.Transfer(&defaults, kTransferWrite, kTransferAll));
    EXPECT_FALSE(null.GetLayoutCode(&layout));
    // The real keyboard object on the unplugged keyboard refuses every operation.
    EXPECT_FALSE(second.SetNormalMode());
    EXPECT_FALSE(second.SetDefaultMode());
    EXPECT_FALSE(second.GetLayoutCode(&layout));
    EXPECT_FALSE(second.Probe());
    EXPECT_FALSE(second.IsDeviceFound());
    EXPECT_EQ(0, second.GetProfileCount());
    EXPECT_FALSE(second.HasMacro(config.FindMacroByName(L"Keys")));
    EXPECT_FALSE(second.HasProfile(config.GetProfile(0)));
    EXPECT_FALSE(second.ExportMacro(hvtest::TestFile(L"unplugged.hvm").c_str(), config.FindMacroByName(L"Keys")));
    EXPECT_FALSE(second.ExportProfile(hvtest::TestFile(L"unplugged.hvp").c_str(), config.GetProfile(0)));
    EXPECT_FALSE(second.ImportProfile(hvtest::TestFile(L"unplugged.hvp").c_str(), &config));
    EXPECT_FALSE(second.Transfer(&config, kTransferRead, kTransferAll));
    EXPECT_FALSE(second.Transfer(&config, kTransferWrite, kTransferAll));
    EXPECT_FALSE(second.IsBusy());
    EXPECT_EQ(5, config.GetProfileCount());
}

TEST_F(DevicesKeyboard, PauseAndNumLockShareAMakeCodeAndKeepTheirOwn)
{
    // Pause is make code 69 behind the E1 prefix (device key 0x40045), Num Lock the same make
    // code without prefix; only the record's extended modifier tells what each sends.
    const std::wstring pauseBefore = FirstProfileAssign(0x40045);
    const std::wstring numLockBefore = FirstProfileAssign(0x45);
    ASSERT_EQ(0u, pauseBefore.find(L" assign 0x40045 src 1 kind 5 data 450000000001"));
    ASSERT_EQ(0u, numLockBefore.find(L" assign 0x00045 src 1 kind 5 data 450000000000"));

    CVxConfig_Keyboard config;
    CKeyboard keyboard(g_KeyboardDescriptor);
    ReadInto(keyboard, config);
    IKeyboardProfile* p = config.GetProfile(0);
    const int32_t pause = Key(L"Pause");
    const int32_t numLock = Key(L"Num Lock");
    ASSERT_NE(0, KeyIdOfCode(0x40045));
    EXPECT_EQ(pause, KeyIdOfCode(0x40045));
    EXPECT_EQ(numLock, KeyIdOfCode(0x45));
    EXPECT_EQ(config.GetDefaultKeyAssignment(pause), p->GetAssignment(pause));
    EXPECT_EQ(config.GetDefaultKeyAssignment(numLock), p->GetAssignment(numLock));

    // Unchanged, both go back as they were.
    ASSERT_TRUE(WriteAndWait(keyboard, config));
    EXPECT_EQ(pauseBefore, FirstProfileAssign(0x40045));
    EXPECT_EQ(numLockBefore, FirstProfileAssign(0x45));

    // Swapped: each key sends the other, and reads back so.
    ASSERT_TRUE(p->SetAssignment(pause, AssignmentAction::Key(kActionSingleKey, 69, VK_NUMLOCK, 0)));
    ASSERT_TRUE(p->SetAssignment(numLock, AssignmentAction::Key(kActionSingleKey, 69, VK_PAUSE, 0)));
    ASSERT_TRUE(WriteAndWait(keyboard, config));
    EXPECT_EQ(0u, FirstProfileAssign(0x40045).find(L" assign 0x40045 src 1 kind 5 data 450000000000"));
    EXPECT_EQ(0u, FirstProfileAssign(0x45).find(L" assign 0x00045 src 1 kind 5 data 450000000001"));
    CVxConfig_Keyboard again;
    CKeyboard second(g_KeyboardDescriptor);
    ReadInto(second, again);
    EXPECT_EQ(AssignmentAction::Key(kActionSingleKey, 69, VK_NUMLOCK, 0), again.GetProfile(0)->GetAssignment(pause));
    EXPECT_EQ(AssignmentAction::Key(kActionSingleKey, 69, VK_PAUSE, 0), again.GetProfile(0)->GetAssignment(numLock));
}

TEST_F(DevicesKeyboard, WriteWorksOnACopyAndHandsBackWhatItLearned)
{
    CVxConfig_Keyboard config;
    CKeyboard keyboard(g_KeyboardDescriptor);
    ReadInto(keyboard, config);
    config.GetProfile(1)->SetName(L"As written");
    IKeyboardProfile* late = config.CreateProfile(L"Late");
    CMacro* byName = config.AddMacro(L"Named", {{kMacroEventDelay, 5, 0}});
    const GUID notepad = config.GetApp(0)->guid;
    // By name: a profile, a new macro, and an application that already has its GUID.
    const AssignmentAction toProfile = AssignmentAction::ByName(kActionProfileByName, L"profile 3");
    const AssignmentAction toMacro = AssignmentAction::ByName(kActionMacroByName, L"NAMED");
    const AssignmentAction toApp = AssignmentAction::ByName(kActionLaunchByName, L"C:\\windows\\notepad.exe");
    IKeyboardProfile* p = config.GetProfile(0);
    ASSERT_TRUE(p->SetAssignment(Key(L"c C"), toProfile));
    ASSERT_TRUE(p->SetAssignment(Key(L"d D"), toMacro));
    ASSERT_TRUE(p->SetAssignment(Key(L"e E"), toApp));
    ASSERT_TRUE(late->SetAssignment(Key(L"e E"), toApp));
    Delay(60, L"IProfileProperties.SetProperty");
    ClearJournal();

    ASSERT_TRUE(keyboard.Transfer(&config, kTransferWrite, kTransferAll));
    // The user goes on editing while the device is written.
    config.GetProfile(1)->SetName(L"Edited meanwhile");
    CMacro* after = config.AddMacro(L"After", {});
    ASSERT_TRUE(late->SetAssignment(Key(L"e E"), AssignmentAction::Key(kActionSingleKey, 0x10, 0, 0)));
    ASSERT_TRUE(WaitWhileBusy([&] { return keyboard.IsBusy(); }));
    Delay(0, nullptr);

    // The device holds what was asked for when the write started.
    EXPECT_NE(std::wstring::npos, DumpLine(Dev::Keyboard, L"profile ", 1).find(L"\"As written\""));
    // The live configuration keeps the user's edits and learned the device's GUIDs.
    EXPECT_EQ(L"Edited meanwhile", config.GetProfile(1)->GetName());
    EXPECT_TRUE(hv::IsNullGUID(after->GetGuid()));
    ASSERT_FALSE(hv::IsNullGUID(late->GetGuid()));
    EXPECT_NE(std::wstring::npos, DumpLine(Dev::Keyboard, L"profile ", 5).find(GuidText(late->GetGuid())));
    ASSERT_FALSE(hv::IsNullGUID(byName->GetGuid()));
    EXPECT_EQ(AssignmentAction(kActionProfile, config.GetProfile(2)->GetGuid()), p->GetAssignment(Key(L"c C")));
    const AssignmentAction macroAction = p->GetAssignment(Key(L"d D"));
    EXPECT_EQ(kActionMacro, macroAction.type);
    EXPECT_TRUE(hv::IsEqualGUID(byName->GetGuid(), macroAction.payload.guid));
    EXPECT_EQ(AssignmentAction(kActionLaunch, notepad), p->GetAssignment(Key(L"e E")));
    // An assignment the user changed meanwhile is left as the user made it.
    EXPECT_EQ(kActionSingleKey, late->GetAssignment(Key(L"e E")).type);

    // An application with a GUID is referred to, not made again; the macro was made once.
    const std::vector<std::wstring> journal = Journal();
    EXPECT_EQ(0, CountLines(journal, L"IApplicationList.AddApplication"));
    EXPECT_EQ(1, CountLines(journal, L"IMacroManager.AddMacro"));
    AssignmentRecord launch{};
    ASSERT_TRUE(ParseAssignLine(FirstProfileAssign(0x12), launch));
    EXPECT_EQ(0x12u, launch.id);
    EXPECT_EQ(1u, launch.source);
    EXPECT_EQ(static_cast<DWORD>(hvmw::kKindApplication), launch.kind);
    EXPECT_TRUE(hv::IsEqualGUID(notepad, launch.TargetGuid()));
    EXPECT_EQ(1u, launch.Word28());
}

TEST_F(DevicesKeyboard, CollidingAndEmptyMacrosAreKept)
{
    ChangeState([](mwsim::SimState& s) {
        mwsim::DeviceState& d = s.Of(Dev::Keyboard);
        for (const wchar_t* name : {L"Dup", L"DUP", L"dup"}) {
            mwsim::MacroState m;
            m.id = MakeGuid(static_cast<uint32_t>(d.macros.size() + 1));
            m.name = name;
            if (d.macros.empty())
                m.events = {MacroEventRecord::Make(hvmw::kMacroKey, 0x1E, 0)};
            d.macros.push_back(m);
        }
        mwsim::AppState a;
        a.id = MakeGuid(9);
        a.name = L"C:\\WINDOWS\\NOTEPAD.EXE";
        d.apps.push_back(a);
    });
    CVxConfig_Keyboard config;
    CKeyboard keyboard(g_KeyboardDescriptor);
    ReadInto(keyboard, config);
    ASSERT_EQ(3, config.GetMacroCount());
    EXPECT_STREQ(L"Dup", config.GetMacro(0)->GetName());
    EXPECT_STREQ(L"DUP", config.GetMacro(1)->GetName());
    EXPECT_STREQ(L"dup", config.GetMacro(2)->GetName());
    EXPECT_TRUE(config.GetMacro(2)->GetEvents().empty());
    ASSERT_EQ(2, config.GetAppCount());
    EXPECT_EQ(L"C:\\WINDOWS\\NOTEPAD.EXE", config.GetApp(1)->name);

    ClearJournal();
    ASSERT_TRUE(WriteAndWait(keyboard, config));
    const std::vector<std::wstring> journal = Journal();
    EXPECT_EQ(0, CountLines(journal, L"DeleteMacro"));
    EXPECT_EQ(0, CountLines(journal, L"DeleteApplication"));
    EXPECT_EQ(0, CountLines(journal, L"IMacro.Set"));
    EXPECT_EQ(3u, DumpLines(Dev::Keyboard, L"macro ").size());
    EXPECT_EQ(2u, DumpLines(Dev::Keyboard, L"application ").size());
}

TEST_F(DevicesKeyboard, LinkedProgramIsTheFileNameOfAtMost127Characters)
{
    const std::wstring longest(127, L'n');
    ChangeState([&](mwsim::SimState& s) {
        s.Of(Dev::Keyboard).profiles[1].appPath = std::wstring(200, L'x');
        s.Of(Dev::Keyboard).profiles[2].appPath = longest;
    });
    CVxConfig_Keyboard config;
    CKeyboard keyboard(g_KeyboardDescriptor);
    ReadInto(keyboard, config);
    // Read: cut at 127 characters.
    EXPECT_EQ(std::wstring(127, L'x'), config.GetProfile(1)->GetLinkedApplication());
    EXPECT_EQ(longest, config.GetProfile(2)->GetLinkedApplication());

    // A long folder does not matter; the file name is what goes out.
    config.GetProfile(0)->SetLinkedApplicationPath((L"C:\\" + std::wstring(200, L'd') + L"\\short.exe").c_str());
    ASSERT_TRUE(WriteAndWait(keyboard, config));
    EXPECT_EQ(L" app \"short.exe\"", DumpLine(Dev::Keyboard, L" app "));

    // A file name of 128 characters is not written and fails the write; the rest still goes out.
    config.GetProfile(0)->SetLinkedApplicationPath((L"C:\\" + std::wstring(124, L'f') + L".exe").c_str());
    ClearJournal();
    ASSERT_TRUE(keyboard.Transfer(&config, kTransferWrite, kTransferAll));
    ASSERT_TRUE(WaitWhileBusy([&] { return keyboard.IsBusy(); }));
    EXPECT_EQ(kWriteFailed, keyboard.TakeWriteOutcome(true));
    EXPECT_EQ(L" app \"short.exe\"", DumpLine(Dev::Keyboard, L" app "));
    EXPECT_EQ(config.GetProfileCount(), CountLines(Journal(), L"IProfile.SetName"));
    EXPECT_EQ(1, CountLines(Journal(), L"IProfileManager.SetActiveProfile"));
}

TEST_F(DevicesKeyboard, MacroImportAndExportThroughFiles)
{
    CVxConfig_Keyboard config;
    CKeyboard keyboard(g_KeyboardDescriptor);
    ReadInto(keyboard, config);
    CMacro* macro = config.AddMacro(L"Exported", {{kMacroEventKey, 0x41001E, 0xFF}, {kMacroEventKey, 0x41001E, 1}});
    ASSERT_TRUE(WriteAndWait(keyboard, config));
    EXPECT_TRUE(keyboard.HasMacro(macro));
    const std::wstring file = hvtest::TestFile(L"exported.hvm");
    ::DeleteFileW(file.c_str());
    ASSERT_TRUE(keyboard.ExportMacro(file.c_str(), macro));

    // The name is taken in the configuration: the import fails and leaves no orphan on the device.
    EXPECT_FALSE(keyboard.ImportMacro(file.c_str(), &config));
    EXPECT_EQ(1u, DumpLines(Dev::Keyboard, L"macro ").size());
    EXPECT_EQ(1, config.GetMacroCount());

    config.RemoveMacro(macro);
    ASSERT_TRUE(keyboard.ImportMacro(file.c_str(), &config));
    ASSERT_EQ(1, config.GetMacroCount());
    CMacro* imported = config.GetMacro(0);
    EXPECT_STREQ(L"Exported", imported->GetName());
    EXPECT_EQ(file, imported->GetFilePath());
    EXPECT_EQ(2u, imported->GetEvents().size());
    EXPECT_EQ(2u, DumpLines(Dev::Keyboard, L"macro ").size());
    EXPECT_FALSE(keyboard.ImportMacro(hvtest::TestFile(L"missing.hvm").c_str(), &config));
    EXPECT_EQ(2u, DumpLines(Dev::Keyboard, L"macro ").size());

    // A profile exported and imported comes back as a new profile with the device's GUID.
    const std::wstring profileFile = hvtest::TestFile(L"exported.hvp");
    ::DeleteFileW(profileFile.c_str());
    ASSERT_TRUE(keyboard.ExportProfile(profileFile.c_str(), config.GetProfile(1)));
    // Its name is in the list: refused as a name in use, and nothing stays on the device.
    ImportResult refused;
    EXPECT_FALSE(keyboard.ImportProfile(profileFile.c_str(), &config, &refused));
    EXPECT_EQ(ImportOutcome::NameInUse, refused.outcome);
    EXPECT_EQ(config.GetProfile(1)->GetName(), refused.name);
    EXPECT_EQ(5, keyboard.GetProfileCount());
    const std::wstring exportedName = config.GetProfile(1)->GetName();
    ASSERT_TRUE(config.RenameProfile(config.GetProfile(1), L"Renamed"));
    ASSERT_TRUE(keyboard.ImportProfile(profileFile.c_str(), &config));
    ASSERT_EQ(6, config.GetProfileCount());
    EXPECT_EQ(exportedName, config.GetProfile(5)->GetName());
    EXPECT_TRUE(keyboard.HasProfile(config.GetProfile(5)));
    EXPECT_EQ(6, keyboard.GetProfileCount());
}

TEST_F(DevicesKeyboard, DeviceWideConversionsReadBackWhatWasWritten)
{
    // A mouse whose descriptor lists APM, battery and power management.
    static const uint32_t features[] = {1, 2, 4, 5, 6, 7, 10, 11, 12, 9, 14, 15, 16};
    const DeviceDescriptor full{0x22, features, sizeof features / sizeof features[0], nullptr};
    CVxConfig_Mouse config;
    CMouse mouse(full);
    ReadInto(mouse, config);
    // The device's 80 percent in the range 0 to 3 (2.4, rounded).
    EXPECT_EQ(0, config.GetBatteryRangeMin());
    EXPECT_EQ(3, config.GetBatteryRangeMax());
    EXPECT_EQ(2, config.GetBatteryLevel());
    EXPECT_EQ(0, config.GetBatteryState());
    ASSERT_EQ(3, config.GetApmCount());
    int32_t first = 0, second = 0, value = 0;
    ASSERT_TRUE(config.GetApmPair(1, &first, &second));
    EXPECT_EQ(60, first);
    EXPECT_EQ(120, second);
    // The long firmware version {1, 5, 0, 7}.
    std::wstring firmware;
    mouse.GetFirmwareVersion(firmware);
    EXPECT_EQ(L"1.05", firmware);

    config.SetCriticalBatteryLevel(2);
    config.SetSleepTime(42);
    config.SetMaxLedBrightness(70);
    config.ClearApm();
    config.AddApm(0x0000FF, 0, 30);
    config.AddApm(0x00FF00, 30, 200);
    ASSERT_TRUE(WriteAndWait(mouse, config));
    EXPECT_EQ(L"power critical 67 max-led 70 sleep 42", DumpLine(Dev::Mouse, L"power "));
    const std::vector<std::wstring> levels = DumpLines(Dev::Mouse, L"apm-level ");
    ASSERT_EQ(2u, levels.size());
    EXPECT_EQ(L"apm-level upper 30 color 0x0000FF", levels[0]);
    EXPECT_EQ(L"apm-level upper 200 color 0x00FF00", levels[1]);

    CVxConfig_Mouse again;
    CMouse second_(full);
    ReadInto(second_, again);
    EXPECT_EQ(2, again.GetCriticalBatteryLevel());
    EXPECT_EQ(42, again.GetSleepTime());
    EXPECT_EQ(70, again.GetMaxLedBrightness());
    ASSERT_EQ(2, again.GetApmCount());
    ASSERT_TRUE(again.GetApmValue(1, &value));
    ASSERT_TRUE(again.GetApmPair(1, &first, &second));
    EXPECT_EQ(0x00FF00, value);
    EXPECT_EQ(30, first);
    EXPECT_EQ(200, second);

    // Every value of the range goes out as a percentage and reads back as itself; the battery
    // level the device reports in percent reads into the range on the same scale.
    const int percents[] = {0, 33, 67, 100};
    for (int v = 0; v <= 3; ++v) {
        again.SetCriticalBatteryLevel(v);
        ASSERT_EQ(v, again.GetCriticalBatteryLevel());
        ASSERT_TRUE(WriteAndWait(second_, again));
        EXPECT_EQ(wstr::Format(L"power critical %d max-led 70 sleep 42", percents[v]), DumpLine(Dev::Mouse, L"power "));
        ChangeState([&](mwsim::SimState& s) { s.Of(Dev::Mouse).batteryLevel = percents[v]; });
        again.SetCriticalBatteryLevel(v == 0 ? 3 : 0);
        again.SetBatteryLevel(v == 0 ? 3 : 0);
        ASSERT_TRUE(second_.Transfer(&again, kTransferRead, kTransferBattery | kTransferPowerManagement));
        EXPECT_EQ(v, again.GetCriticalBatteryLevel()) << percents[v] << " percent";
        EXPECT_EQ(v, again.GetBatteryLevel()) << percents[v] << " percent";
    }

    // Every charging state the device reports is kept; any other fails the step as unknown.
    for (const BYTE state : {hvmw::kCharging, hvmw::kCharged, BYTE(7)}) {
        ChangeState([&](mwsim::SimState& s) { s.Of(Dev::Mouse).charging = state; });
        EXPECT_EQ(state != 7, second_.Transfer(&again, kTransferRead, kTransferBattery));
        EXPECT_EQ(state == 7 ? -1 : state, again.GetBatteryState());
    }

    // Without a long firmware version the text is "0.00".
    Fail(L"mouse", L"ILongFirmwareVersion.GetVersion", E_FAIL, 1);
    EXPECT_TRUE(second_.RefreshVersion());
    second_.GetFirmwareVersion(firmware);
    EXPECT_EQ(L"0.00", firmware);
}

TEST_F(DevicesKeyboard, ItemsRenamedDuringAWriteKeepTheirDeviceObjects)
{
    CVxConfig_Keyboard config;
    CKeyboard keyboard(g_KeyboardDescriptor);
    ReadInto(keyboard, config);
    IKeyboardProfile* late = config.CreateProfile(L"Late");
    CHvApp* app = config.AddApp(L"C:\\Tools\\late.exe");
    ASSERT_NE(nullptr, app);
    Delay(40, L"IProfileProperties.SetProperty");

    ASSERT_TRUE(keyboard.Transfer(&config, kTransferWrite, kTransferAll));
    // Renamed while written (a rename replaces the profile object), and a copy made meanwhile.
    IKeyboardProfile* renamed = config.RenameProfile(late, L"Renamed late");
    ASSERT_NE(nullptr, renamed);
    app->name = L"C:\\Tools\\renamed.exe";
    IKeyboardProfile* copy = config.CopyProfile(renamed, L"Copy of late");
    ASSERT_NE(nullptr, copy);
    ASSERT_TRUE(WaitWhileBusy([&] { return keyboard.IsBusy(); }));
    Delay(0, nullptr);

    // Each took the GUID of the device object made for it; the copy is a profile of its own.
    ASSERT_FALSE(hv::IsNullGUID(renamed->GetGuid()));
    EXPECT_EQ(L"profile 5 " + GuidText(renamed->GetGuid()) + L" \"Late\"", DumpLine(Dev::Keyboard, L"profile ", 5));
    EXPECT_TRUE(hv::IsNullGUID(copy->GetGuid()));
    ASSERT_FALSE(hv::IsNullGUID(app->guid));
    EXPECT_NE(std::wstring::npos, DumpLine(Dev::Keyboard, L"application ", 1).find(GuidText(app->guid)));

    // The next write renames those device objects: nothing made again, nothing deleted.
    config.DeleteProfile(copy);
    ClearJournal();
    ASSERT_TRUE(WriteAndWait(keyboard, config));
    const std::vector<std::wstring> journal = Journal();
    EXPECT_EQ(0, CountLines(journal, L"IProfileManager.AddProfile"));
    EXPECT_EQ(0, CountLines(journal, L"IProfileManager.DeleteProfile"));
    EXPECT_EQ(0, CountLines(journal, L"IApplicationList.AddApplication"));
    EXPECT_EQ(0, CountLines(journal, L"IApplicationList.DeleteApplication"));
    EXPECT_EQ(L"profile 5 " + GuidText(renamed->GetGuid()) + L" \"Renamed late\"",
              DumpLine(Dev::Keyboard, L"profile ", 5));
    EXPECT_EQ(6u, DumpLines(Dev::Keyboard, L"profile ").size());
    EXPECT_NE(std::wstring::npos, DumpLine(Dev::Keyboard, L"application ", 1).find(L"renamed.exe"));
}

TEST_F(DevicesKeyboard, UninitDuringAWriteLeavesTheWriteItsKeyList)
{
    CVxConfig_Keyboard config;
    CKeyboard keyboard(g_KeyboardDescriptor);
    ReadInto(keyboard, config);
    ClearJournal();
    ASSERT_TRUE(WriteAndWait(keyboard, config));
    const int records = CountLines(Journal(), L"IKeyAssignments.SetAssignments");
    ASSERT_GT(records, 0);
    EXPECT_EQ(0, records % 5);

    // From now on the device cannot tell its key list: the write has only the one it started with.
    ASSERT_TRUE(config.GetProfile(0)->SetAssignment(Key(L"a A"), AssignmentAction::Key(kActionSingleKey, 0x30, 0, 0)));
    Fail(L"keyboard", L"IKeyAssignments.GetAssignments", E_FAIL, -1);
    Delay(40, L"IProfileProperties.SetProperty");
    ClearJournal();
    ASSERT_TRUE(keyboard.Transfer(&config, kTransferWrite, kTransferAll));
    keyboard.Uninit();
    EXPECT_FALSE(keyboard.IsDeviceFound());
    ASSERT_TRUE(WaitWhileBusy([&] { return keyboard.IsBusy(); }));
    Delay(0, nullptr);
    ChangeState([](mwsim::SimState& s) { s.faults.clear(); });

    EXPECT_EQ(records, CountLines(Journal(), L"IKeyAssignments.SetAssignments"));
    EXPECT_EQ(0u, FirstProfileAssign(0x1E).find(L" assign 0x0001E src 1 kind 5 data 3000000000"));
}

TEST_F(DevicesKeyboard, ApplicationDeletionsTheMiddlewareOnlyClaimsEndTheStep)
{
    CVxConfig_Keyboard config;
    CKeyboard keyboard(g_KeyboardDescriptor);
    ReadInto(keyboard, config);
    ASSERT_EQ(1, config.GetAppCount());
    config.RemoveApp(config.GetApp(0));

    CLies lies;
    lies.fakeDeletes = true;
    {
        CLyingMiddleware middleware(lies);
        ASSERT_TRUE(middleware.Registered());
        ClearJournal();
        ASSERT_TRUE(WriteAndWait(keyboard, config));
    }
    EXPECT_EQ(1, lies.deleteCalls.load());
    EXPECT_EQ(1u, DumpLines(Dev::Keyboard, L"application ").size());
    // The step failed, and so does the write, which still goes on to set the active profile.
    EXPECT_EQ(kWriteFailed, keyboard.TakeWriteOutcome(true));
    EXPECT_EQ(1, CountLines(Journal(), L"IProfileManager.SetActiveProfile"));
}
