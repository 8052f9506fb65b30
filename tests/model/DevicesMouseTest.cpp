// The mouse device object against the simulated middleware, through real COM: reading, writing on
// the worker with progress, the order and economy of a write, busy refusal, injected faults, and the
// null mouse that stands in for an absent one.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "model/CodeTables.h"
#include "model/DeviceFactory.h"
#include "model/DeviceSteps.h"
#include "DevicesFixture.h"
#include "LyingMiddleware.h"
#include "model/Mouse.h"
#include "model/MouseConfig.h"
#include "model/NullDevices.h"
#include "Paths.h"
#include "model/PredefinedMacros.h"
#include "TestWindows.h"
#include "platform/WStr.h"

using namespace devtest;
using mwsim::Dev;

namespace {

class DevicesMouse : public CDevicesTest
{
};

std::vector<MacroEvent> Predefined(const wchar_t* name)
{
    std::vector<MacroEvent> events;
    PredefinedMacros().GetMacro(name, events);
    return events;
}

// The dump line of one button record of profile index p.
std::wstring AssignLine(int profile, DWORD buttonId)
{
    int seen = -1;
    for (const std::wstring& line : [&] {
             std::vector<std::wstring> all;
             std::wstring dump = Dump(Dev::Mouse);
             size_t start = 0;
             for (size_t end; (end = dump.find(L'\n', start)) != std::wstring::npos; start = end + 1)
                 all.push_back(dump.substr(start, end - start));
             return all;
         }()) {
        if (line.compare(0, 8, L"profile ") == 0)
            ++seen;
        if (seen == profile && line.find(wstr::Format(L" assign 0x%05lX ", buttonId)) == 0)
            return line;
    }
    return std::wstring();
}

// What a listener receives while every profile of config is written (percents 10, 30, 60, 90,
// 100) or read (10, 30, 60, 80, 100).
std::vector<std::wstring> ExpectedProgress(IMouseConfig& config, bool write)
{
    std::vector<std::wstring> expected;
    for (int i = 0; i < config.GetProfileCount(); ++i) {
        expected.push_back(L"text:Profile: " + config.GetProfile(i)->GetName());
        for (const wchar_t* percent : {L"10", L"30", L"60", write ? L"90" : L"80", L"100"})
            expected.push_back(percent);
    }
    return expected;
}

// The journal's lines as "<device> <Interface.Method>", without targets and arguments.
std::vector<std::wstring> JournalCalls()
{
    std::vector<std::wstring> calls;
    for (const std::wstring& line : Journal()) {
        const size_t first = line.find(L' ');
        const size_t second = first == std::wstring::npos ? first : line.find(L' ', first + 1);
        calls.push_back(line.substr(0, second));
    }
    return calls;
}

} // namespace

TEST_F(DevicesMouse, ReadsTheFactoryMouse)
{
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ReadInto(mouse, config);

    EXPECT_TRUE(mouse.IsDeviceFound());
    EXPECT_FALSE(mouse.IsBusy());
    EXPECT_EQ(0x22u, mouse.GetProductId());
    EXPECT_EQ(5, mouse.GetProfileCount());
    ASSERT_EQ(5, config.GetProfileCount());
    const std::vector<std::wstring> profiles = DumpLines(Dev::Mouse, L"profile ");
    ASSERT_EQ(5u, profiles.size());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(wstr::Format(L"Profile %d", i + 1), config.GetProfile(i)->GetName());
        EXPECT_NE(std::wstring::npos, profiles[i].find(GuidText(config.GetProfile(i)->GetGuid())));
    }
    ASSERT_NE(nullptr, config.GetActiveProfile());
    EXPECT_EQ(DumpLine(Dev::Mouse, L"active "), L"active " + GuidText(config.GetActiveProfile()->GetGuid()));

    IMouseProfile* p = config.GetProfile(0);
    int32_t min = 0, max = 0, step = 0;
    p->GetDpiRange(&min, &max, &step);
    EXPECT_EQ(100, min);
    EXPECT_EQ(5600, max);
    EXPECT_EQ(100, step);
    const int factory[] = {800, 1200, 1800, 4000, 5600};
    ASSERT_EQ(5, p->GetEnabledStageCount());
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(factory[s - 1], p->GetStageDpi(s));
    EXPECT_EQ(3, p->GetCurrentDpiStage());
    // The factory buttons read back as the model's defaults.
    for (int button : {1, 2, 3, 4, 5, 6, 7, 12, 13})
        EXPECT_EQ(config.GetDefaultButtonAssignment(button), p->GetButtonAssignment(button)) << "button " << button;
    EXPECT_EQ(1, config.GetPollingRate());
    EXPECT_EQ(3, config.GetSupportedPollingRateCount());
    ASSERT_EQ(1, config.GetMacroCount());
    EXPECT_STREQ(L"Sample Macro", config.GetMacro(0)->GetName());
    // The simulated mouse reports firmware 1.5 and driver 1.2 in its device information.
    std::wstring firmware, driver;
    EXPECT_TRUE(mouse.GetFirmwareVersion(firmware));
    EXPECT_TRUE(mouse.GetDriverVersion(driver));
    EXPECT_EQ(L"1.05", firmware);
    EXPECT_EQ(L"1.02", driver);
}

TEST_F(DevicesMouse, RoundTripOfEveryKindOfValue)
{
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ReadInto(mouse, config);

    IMouseProfile* p = config.GetProfile(0);
    const bool osdDpi = p->GetOsdDpi();
    const bool osdProfile = p->GetOsdProfile();
    p->SetName(L"Renamed");
    config.SetLinkedApplicationPath(p, L"C:\\Games\\Arena\\arena.exe");
    config.SetAutoSwitch(p, true);
    config.SetOsdDpi(!osdDpi, p);
    config.SetOsdProfile(!osdProfile, p);
    config.SetStageDpi(2, 1500, p);
    config.SetStageSeparateXY(4, true, p);
    config.SetStageDpiX(4, 2000, p);
    config.SetStageDpiY(4, 2400, p);
    config.SetXYSeparate(true, p);
    config.SetSensitivityX(1600, p);
    config.SetSensitivityY(1700, p);
    config.SetCurrentDpiStage(2, p);
    ASSERT_TRUE(config.SetButtonAssignment(4, AssignmentAction(kActionForward), p));
    ASSERT_TRUE(config.SetButtonAssignment(5, AssignmentAction(kActionBackward), p));
    config.SetLedState(0, true, p);
    config.SetLedColor(0, 0x00FF00, p);
    config.SetLedBrightness(0, 50, p);
    config.SetLedEffect(0, 2, p);
    ASSERT_NE(nullptr, config.AddMacro(L"Mine", Predefined(L"$copy")));
    // A new profile leaves the device-wide values as they are.
    config.SetAcceleration(7);
    config.SetAccelerationEnabled(true);
    config.SetPollingRate(2);
    IMouseProfile* fresh = config.CreateProfile(L"Fresh");
    const GUID deleted = config.GetProfile(4)->GetGuid();
    config.DeleteProfile(config.GetProfile(4));
    config.SetActiveProfile(p);

    ClearJournal();
    ASSERT_TRUE(WriteAndWait(mouse, config));
    EXPECT_EQ(0, CountLines(Journal(), L" -> 0x"));

    // The device's GUID of the new profile and macro reached the live configuration.
    ASSERT_FALSE(hv::IsNullGUID(fresh->GetGuid()));
    ASSERT_FALSE(hv::IsNullGUID(config.FindMacroByName(L"Mine")->GetGuid()));

    const std::vector<std::wstring> profiles = DumpLines(Dev::Mouse, L"profile ");
    ASSERT_EQ(5u, profiles.size());
    EXPECT_EQ(L"profile 0 " + GuidText(p->GetGuid()) + L" \"Renamed\"", profiles[0]);
    EXPECT_EQ(L"profile 4 " + GuidText(fresh->GetGuid()) + L" \"Fresh\"", profiles[4]);
    EXPECT_EQ(std::wstring::npos, Dump(Dev::Mouse).find(GuidText(deleted)));
    EXPECT_EQ(L"active " + GuidText(p->GetGuid()), DumpLine(Dev::Mouse, L"active "));
    EXPECT_EQ(L" app \"arena.exe\"", DumpLine(Dev::Mouse, L" app "));
    EXPECT_EQ(wstr::Format(L" flags 0x%04X", 1 | (osdDpi ? 0 : 2) | (osdProfile ? 0 : 4)),
              DumpLine(Dev::Mouse, L" flags "));
    EXPECT_EQ(L" dpi active-stage 2 active 1600x1700 stages 800x800 1500x1500 1800x1800 2000x2400 5600x5600",
              DumpLine(Dev::Mouse, L" dpi "));
    EXPECT_EQ(L" assign 0x00004 src 1 kind 1 data 0400000000000000000000000000000000000000", AssignLine(0, 4));
    EXPECT_EQ(L" assign 0x00005 src 1 kind 1 data 0500000000000000000000000000000000000000", AssignLine(0, 5));
    EXPECT_EQ(L" led 1 on 1 color 0x00FF00 brightness 50 effect 2 0 0 caps 111", DumpLine(Dev::Mouse, L" led 1 "));
    EXPECT_EQ(L"polling 1", DumpLine(Dev::Mouse, L"polling "));
    EXPECT_EQ(L"acceleration 1 level 7", DumpLine(Dev::Mouse, L"acceleration "));

    const std::vector<std::wstring> macros = DumpLines(Dev::Mouse, L"macro ");
    ASSERT_EQ(2u, macros.size());
    EXPECT_EQ(L"macro 1 " + GuidText(config.FindMacroByName(L"Mine")->GetGuid()) + L" \"Mine\"", macros[1]);
    EXPECT_EQ(L" events 4, key 0x1D 0x0, key 0x2E 0x0, key 0x2E 0x1, key 0x1D 0x1", DumpLine(Dev::Mouse, L" events ", 1));

    // Read again: the configuration the device gives back is the one written; the new profile
    // holds what it was given and the device's own values for the rest.
    CVxConfig_Mouse again;
    CMouse second(g_MouseDescriptor);
    ReadInto(second, again);
    ExpectMadeProfileReadsBack(Describe(config), Describe(again), L"Fresh");
}

TEST_F(DevicesMouse, ProgressReachesTheListenersInOrder)
{
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ReadInto(mouse, config);
    CProgressListener listener;
    CProgressListener removed;
    mouse.AddListener(listener.Window());
    mouse.AddListener(listener.Window());
    mouse.AddListener(removed.Window());
    mouse.RemoveListener(removed.Window());

    ASSERT_TRUE(WriteAndWait(mouse, config));
    ASSERT_EQ(5, config.GetProfileCount());
    EXPECT_EQ(ExpectedProgress(config, true), listener.Received());
    EXPECT_TRUE(removed.Received().empty());

    // A read reports each profile's name, then 10, 30, 60, 80, 100.
    listener.Clear();
    ASSERT_TRUE(mouse.Transfer(&config, kTransferRead, kTransferAll));
    EXPECT_EQ(ExpectedProgress(config, false), listener.Received());
    EXPECT_TRUE(removed.Received().empty());
}

TEST_F(DevicesMouse, WriteDeletesBeforeAddingAndRewritesOnlyWhatChanged)
{
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ReadInto(mouse, config);
    // A macro recorded here carries virtual keys: read back it must compare equal.
    ASSERT_NE(nullptr, config.AddMacro(L"Lock", Predefined(L"$lockpc")));
    ASSERT_NE(nullptr, config.AddMacro(L"Empty", {}));
    ASSERT_TRUE(WriteAndWait(mouse, config));

    CVxConfig_Mouse again;
    ReadInto(mouse, again);
    ASSERT_EQ(3, again.GetMacroCount());
    EXPECT_EQ(Predefined(L"$lockpc"), again.FindMacroByName(L"Lock")->GetEvents());
    EXPECT_TRUE(again.FindMacroByName(L"Empty")->GetEvents().empty());

    // Full profile list: one deleted, one new. Unchanged macros are not rewritten.
    again.DeleteProfile(again.GetProfile(1));
    again.CreateProfile(L"New one");
    ClearJournal();
    ASSERT_TRUE(WriteAndWait(mouse, again));
    const std::vector<std::wstring> journal = Journal();
    const int deletion = FindLine(journal, L"mouse IProfileManager.DeleteProfile");
    const int addition = FindLine(journal, L"mouse IProfileManager.AddProfile");
    ASSERT_GE(deletion, 0);
    ASSERT_GE(addition, 0);
    EXPECT_LT(deletion, addition);
    EXPECT_EQ(0, CountLines(journal, L"IMacro.SetEvents"));
    EXPECT_EQ(0, CountLines(journal, L"IMacroManager.AddMacro"));
    EXPECT_EQ(0, CountLines(journal, L"IMacroManager.DeleteMacro"));
    ASSERT_FALSE(journal.empty());
    EXPECT_NE(std::wstring::npos, journal.back().find(L"IProfileManager.SetActiveProfile"));
    // Buttons: one record per call, 11 per profile read; the new profile sends the 9 buttons it
    // gave defaults, and the device's new profile keeps its own records for the other two.
    EXPECT_EQ(4 * 11 + 9, CountLines(journal, L"IButtonAssignments.SetAssignments"));
}

TEST_F(DevicesMouse, ByNameMacroWithAGuidIsReferredToNotMadeAgain)
{
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ReadInto(mouse, config);
    const CMacro* sample = config.FindMacroByName(L"Sample Macro");
    ASSERT_NE(nullptr, sample);
    const GUID guid = sample->GetGuid();
    ASSERT_FALSE(hv::IsNullGUID(guid));
    IMouseProfile* p = config.GetProfile(0);
    ASSERT_TRUE(config.SetButtonAssignment(4, AssignmentAction::ByName(kActionMacroByName, L"SAMPLE MACRO"), p));
    ClearJournal();

    ASSERT_TRUE(WriteAndWait(mouse, config));
    const std::vector<std::wstring> journal = Journal();
    EXPECT_EQ(0, CountLines(journal, L"IMacroManager.AddMacro"));
    EXPECT_EQ(0, CountLines(journal, L"IMacro.Set"));
    EXPECT_EQ(0u, AssignLine(0, 4).find(L" assign 0x00004 src 1 kind 8 data "));
    const AssignmentAction written = p->GetButtonAssignment(4);
    EXPECT_EQ(kActionMacro, written.type);
    EXPECT_TRUE(hv::IsEqualGUID(guid, written.payload.guid));

    CVxConfig_Mouse again;
    ReadInto(mouse, again);
    EXPECT_EQ(1, again.GetMacroCount());
    EXPECT_EQ(written, again.GetProfile(0)->GetButtonAssignment(4));
}

TEST_F(DevicesMouse, SecondTransferWhileWritingIsRefusedAndTheFirstCompletes)
{
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ReadInto(mouse, config);
    config.GetProfile(2)->SetName(L"Written slowly");
    Delay(40, L"IProfileProperties.SetProperty");
    ClearJournal();

    ASSERT_TRUE(mouse.Transfer(&config, kTransferWrite, kTransferAll));
    EXPECT_TRUE(mouse.IsBusy());
    CVxConfig_Mouse other;
    EXPECT_FALSE(mouse.Transfer(&config, kTransferWrite, kTransferAll));
    EXPECT_FALSE(mouse.Transfer(&other, kTransferRead, kTransferAll));
    EXPECT_FALSE(mouse.Init(&other));
    EXPECT_EQ(0, mouse.GetProfileCount());
    EXPECT_FALSE(mouse.HasMacro(config.GetMacro(0)));
    EXPECT_FALSE(mouse.Probe());
    EXPECT_TRUE(mouse.IsBusy());
    ASSERT_TRUE(WaitWhileBusy([&] { return mouse.IsBusy(); }));
    Delay(0, nullptr);

    // The first write ran to its end on its own connection.
    const std::vector<std::wstring> journal = Journal();
    EXPECT_EQ(0, CountLines(journal, L" -> 0x"));
    EXPECT_NE(std::wstring::npos, journal.back().find(L"IProfileManager.SetActiveProfile"));
    EXPECT_EQ(L"profile 2 " + GuidText(config.GetProfile(2)->GetGuid()) + L" \"Written slowly\"",
              DumpLine(Dev::Mouse, L"profile ", 2));
    // And the device is free again.
    EXPECT_EQ(5, mouse.GetProfileCount());
    EXPECT_TRUE(mouse.Transfer(&other, kTransferRead, kTransferAll));
}

TEST_F(DevicesMouse, RefusedCallsFailTheWriteAndEverythingElseStillGoesOut)
{
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ReadInto(mouse, config);
    EXPECT_EQ(kWriteNone, mouse.TakeWriteOutcome(true));
    CProgressListener listener;
    mouse.AddListener(listener.Window());

    // A clean write sends every step and reports success.
    ClearJournal();
    ASSERT_TRUE(WriteAndWait(mouse, config));
    EXPECT_EQ(kWriteSucceeded, mouse.TakeWriteOutcome(true));
    const std::vector<std::wstring> clean = JournalCalls();
    EXPECT_EQ(ExpectedProgress(config, true), listener.Received());

    // One refused button record, one refused stage list early in the first profile and one
    // refused light: every other call of the write still goes out (the other profiles, the
    // polling rate, the macros, the active profile), and the write reports its failure.
    const std::pair<const wchar_t*, HRESULT> refusals[] = {{L"IButtonAssignments.SetAssignments", E_FAIL},
                                                            {L"IDpi.SetStages", HVMW_E_REFUSED},
                                                            {L"ILEDColor.SetColor", E_FAIL}};
    for (const auto& [method, hr] : refusals) {
        SCOPED_TRACE(wstr::WideToUtf8(method));
        Fail(L"mouse", method, hr, 1);
        listener.Clear();
        ClearJournal();
        ASSERT_TRUE(WriteAndWait(mouse, config));
        EXPECT_EQ(kWriteFailed, mouse.TakeWriteOutcome(true));
        EXPECT_EQ(clean, JournalCalls());
        const std::vector<std::wstring> journal = Journal();
        EXPECT_EQ(1, CountLines(journal, L" -> 0x"));
        EXPECT_EQ(1, CountLines(journal, L"IProfileManager.SetActiveProfile"));
        EXPECT_EQ(1, CountLines(journal, L"IPollingRate.SetRate"));
        EXPECT_EQ(ExpectedProgress(config, true), listener.Received());
    }
    // Nothing failed: the next write succeeds again.
    ASSERT_TRUE(WriteAndWait(mouse, config));
    EXPECT_EQ(kWriteSucceeded, mouse.TakeWriteOutcome(true));
}

TEST_F(DevicesMouse, AMacroThatCannotBeNamedIsNotLeftOnTheDevice)
{
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ReadInto(mouse, config);
    ASSERT_TRUE(config.AddMacro(L"Fresh", {{kMacroEventDelay, 20, 0}}));
    const size_t macros = DumpLines(Dev::Mouse, L"macro ").size();

    Fail(L"mouse", L"IMacro.SetName", E_FAIL, 1);
    ASSERT_TRUE(WriteAndWait(mouse, config));
    EXPECT_EQ(kWriteFailed, mouse.TakeWriteOutcome(true));
    EXPECT_EQ(macros, DumpLines(Dev::Mouse, L"macro ").size()) << Dump(Dev::Mouse);
    EXPECT_TRUE(hv::IsNullGUID(config.FindMacroByName(L"Fresh")->GetGuid()));

    // The next write makes it whole.
    ASSERT_TRUE(WriteAndWait(mouse, config));
    EXPECT_EQ(kWriteSucceeded, mouse.TakeWriteOutcome(true));
    const std::vector<std::wstring> lines = DumpLines(Dev::Mouse, L"macro ");
    ASSERT_EQ(macros + 1, lines.size());
    EXPECT_NE(std::wstring::npos, lines.back().find(L"\"Fresh\""));
}

TEST_F(DevicesMouse, DestructionThatWaitsTooLongStopsTheWrite)
{
    CVxConfig_Mouse config;
    auto mouse = std::make_unique<CMouse>(g_MouseDescriptor);
    ReadInto(*mouse, config);
    // Every call takes a while: the whole write would take far longer than destruction waits.
    Delay(100, nullptr);
    ClearJournal();
    ASSERT_TRUE(mouse->Transfer(&config, kTransferWrite, kTransferAll));
    const ULONGLONG start = ::GetTickCount64();
    mouse.reset();
    const ULONGLONG took = ::GetTickCount64() - start;
    Delay(0, nullptr);
    EXPECT_GE(took, static_cast<ULONGLONG>(CMouse::kWriteJoinMs));
    EXPECT_LT(took, 30000u);
    const std::vector<std::wstring> journal = Journal();
    EXPECT_LT(CountLines(journal, L"IDpi.SetStages"), config.GetProfileCount());
    EXPECT_EQ(0, CountLines(journal, L"IPollingRate.SetRate"));
    EXPECT_EQ(0, CountLines(journal, L"IProfileManager.SetActiveProfile"));
}

TEST_F(DevicesMouse, ADeviceThatLeavesDuringAWriteFailsIt)
{
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ReadInto(mouse, config);
    config.SetPollingRate(2);
    // The write is held up at its polling rate (one call); the mouse is pulled out meanwhile.
    Delay(1500, L"IPollingRate.SetRate");
    ASSERT_TRUE(mouse.Transfer(&config, kTransferWrite, kTransferAll));
    ChangeState([](mwsim::SimState& s) {
        s.Of(Dev::Mouse).present = 0;
        ++s.Of(Dev::Mouse).generation;
    });
    ASSERT_TRUE(WaitWhileBusy([&] { return mouse.IsBusy(); }));
    EXPECT_EQ(kWriteFailed, mouse.TakeWriteOutcome(true));
    Delay(0, nullptr);
}

TEST_F(DevicesMouse, NullMouseStandsInAndReportsFalse)
{
    ChangeState([](mwsim::SimState& s) { s.Of(Dev::Mouse).present = 0; });
    CVxConfig_Mouse config;
    IGenMouse* device = nullptr;
    EXPECT_FALSE(CreateMouseDevice(g_MouseDescriptor, &device, &config));
    ASSERT_NE(nullptr, device);
    EXPECT_STREQ(L"NullMouse", device->GetName());
    ASSERT_EQ(20, config.GetProfileCount());
    EXPECT_EQ(L"PROFILE01", config.GetActiveProfile()->GetName());
    EXPECT_EQ(L"PROFILE20", config.GetProfile(19)->GetName());
    EXPECT_EQ(GuidText(kNullProfileGuids[0]), L"{00A98AC7-0457-0457-0101-010101010101}");
    for (int i = 0; i < 20; ++i) {
        IMouseProfile* p = config.GetProfile(i);
        EXPECT_TRUE(hv::IsEqualGUID(kNullProfileGuids[i], p->GetGuid()));
        EXPECT_EQ(5, p->GetEnabledStageCount());
        EXPECT_EQ(3, p->GetCurrentDpiStage());
        EXPECT_EQ(4000, p->GetStageDpi(4));
        EXPECT_EQ(kActionForward, p->GetButtonAssignment(5).type);
    }
    std::wstring version;
    device->GetDriverVersion(version);
    EXPECT_EQ(L"1.00", version);
    CProgressListener listener;
    device->AddListener(listener.Window());
    EXPECT_FALSE(device->Transfer(&config, kTransferWrite, kTransferAll));
    EXPECT_EQ(std::vector<std::wstring>{L"0"}, listener.Received());
    EXPECT_FALSE(device->Transfer(&config, kTransferRead, kTransferAll));
    EXPECT_FALSE(device->IsDeviceFound());
    EXPECT_FALSE(device->Probe());
    EXPECT_FALSE(device->ImportMacro(L"C:\\none.hvm", &config));
    EXPECT_FALSE(device->ExportProfile(L"C:\\none.hvp", config.GetProfile(0)));
    EXPECT_FALSE(device->HasProfile(config.GetProfile(0)));
    EXPECT_FALSE(device->IsBusy());

    // A real mouse object on an unplugged mouse, or on a product no device has, fails cleanly.
    CMouse unplugged(g_MouseDescriptor);
    CVxConfig_Mouse empty;
    EXPECT_FALSE(unplugged.Init(&empty));
    EXPECT_FALSE(unplugged.IsDeviceFound());
    EXPECT_FALSE(unplugged.Transfer(&empty, kTransferWrite, kTransferAll));
    EXPECT_FALSE(unplugged.IsBusy());
    static const uint32_t features[] = {kFeatureProfiles};
    const DeviceDescriptor other{0x99, features, 1, nullptr};
    CMouse stranger(other);
    EXPECT_FALSE(stranger.Init(&empty));

    // Plugged in again, the factory makes the real mouse.
    ChangeState([](mwsim::SimState& s) { s.Of(Dev::Mouse).present = 1; });
    EXPECT_TRUE(RecreateMouseDevice(&device, &config));
    EXPECT_EQ(nullptr, device->GetName());
    EXPECT_EQ(5, config.GetProfileCount());
    DestroyDevices();
}

TEST_F(DevicesMouse, DestructionWaitsForTheWriteWhileItsProgressIsDelivered)
{
    CVxConfig_Mouse config;
    CProgressListener listener;
    {
        CMouse mouse(g_MouseDescriptor);
        ReadInto(mouse, config);
        mouse.AddListener(listener.Window());
        config.GetProfile(4)->SetName(L"Last written");
        Delay(20, L"IButtonAssignments.SetAssignments");
        ASSERT_TRUE(mouse.Transfer(&config, kTransferWrite, kTransferAll));
    }
    Delay(0, nullptr);
    // The worker sent its progress to a window of the destroying thread and finished.
    EXPECT_EQ(30u, listener.Received().size());
    EXPECT_NE(std::wstring::npos, DumpLine(Dev::Mouse, L"profile ", 4).find(L"\"Last written\""));
}

TEST_F(DevicesMouse, WhatAWriteLearnedIsThereOnceTheWorkerHasEnded)
{
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ReadInto(mouse, config);
    const CMacro* fresh = config.AddMacro(L"Fresh", Predefined(L"$copy"));
    ASSERT_NE(nullptr, fresh);
    IMouseProfile* p = config.GetProfile(0);
    ASSERT_TRUE(config.SetButtonAssignment(4, AssignmentAction::ByName(kActionMacroByName, L"Fresh"), p));
    Delay(30, L"IProfileProperties.SetProperty");
    ClearJournal();

    ASSERT_TRUE(mouse.Transfer(&config, kTransferWrite, kTransferAll));
    // While the worker runs the live configuration is not touched, and the device refuses.
    EXPECT_TRUE(hv::IsNullGUID(fresh->GetGuid()));
    EXPECT_FALSE(mouse.HasMacro(fresh));
    // The worker's last call, then its end (the device stays held a while after it).
    ASSERT_TRUE(hvtest::WaitUntil([] {
        const std::vector<std::wstring> journal = Journal();
        return !journal.empty() && journal.back().find(L"IProfileManager.SetActiveProfile") != std::wstring::npos;
    }, 20000));
    Delay(0, nullptr);
    // The first operation asked of the device after that sees the GUID the device gave.
    EXPECT_TRUE(hvtest::WaitUntil([&] { return mouse.HasMacro(fresh); }, 5000));
    ASSERT_FALSE(hv::IsNullGUID(fresh->GetGuid()));
    EXPECT_EQ(L"macro 1 " + GuidText(fresh->GetGuid()) + L" \"Fresh\"", DumpLine(Dev::Mouse, L"macro ", 1));
    const AssignmentAction converted = p->GetButtonAssignment(4);
    EXPECT_EQ(kActionMacro, converted.type);
    EXPECT_TRUE(hv::IsEqualGUID(fresh->GetGuid(), converted.payload.guid));
    EXPECT_FALSE(mouse.IsBusy());
}

TEST_F(DevicesMouse, CountsTheMiddlewareGivesAreCapped)
{
    // Fifteen stages where the profile holds the device's five: the first five are read, none
    // written over by the rest.
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ReadInto(mouse, config);
    CComPtr<IDeviceEnumerator> root;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_HvMwApi, nullptr, HVMW_CLSCTX, IID_PPV_ARGS(root.Put()))));
    CComPtr<IDevice> device;
    DeviceInfo info{};
    for (int i = 0; SUCCEEDED(root->EnumDevice(i, device.Put())); ++i) {
        info = DeviceInfo{};
        const bool mouseFound = SUCCEEDED(device->GetDeviceInfo(&info)) && info.productId == hvmw::kProductMouse;
        ::CoTaskMemFree(info.name);
        if (mouseFound)
            break;
    }
    ASSERT_TRUE(device);
    CComPtr<IProfile> real = DeviceProfileById(device.Get(), config.GetProfile(0)->GetGuid());
    ASSERT_TRUE(real);
    CLies lies;
    lies.stagesReported = 15;
    IMouseProfile* p = config.GetProfile(0);
    ASSERT_EQ(5, p->GetDpiStageCount());
    ASSERT_TRUE(ReadDpi(LyingProfile(real.Get(), lies).Get(), *p));
    EXPECT_EQ(5, p->GetDpiStageCount());
    EXPECT_EQ(5, p->GetEnabledStageCount());
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(s * 100, p->GetStageDpi(s)) << "stage " << s;

    // A macro block whose size the task allocator cannot tell (it is not the allocator's) and
    // whose count claims more events than a macro holds: no more than a macro holds are read.
    const size_t claimed = kMaxMacroEvents + 100;
    HANDLE heap = ::HeapCreate(0, 0, 0);
    ASSERT_NE(nullptr, heap);
    auto* block = static_cast<MacroEventBlock*>(::HeapAlloc(heap, HEAP_ZERO_MEMORY, MacroEventBlock::Bytes(claimed)));
    ASSERT_NE(nullptr, block);
    block->count = static_cast<DWORD>(claimed);
    for (size_t i = 0; i < claimed; ++i)
        block->Events()[i] = MacroEventRecord::Delay(static_cast<DWORD>(i + 1));
    const std::vector<MacroEvent> events = FromDeviceEvents(block);
    ASSERT_EQ(kMaxMacroEvents, events.size());
    EXPECT_EQ(MacroEvent({kMacroEventDelay, static_cast<int32_t>(kMaxMacroEvents), 0}), events.back());
    ::HeapDestroy(heap);
}

TEST_F(DevicesMouse, DeletionsTheMiddlewareOnlyClaimsEndTheWalk)
{
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ReadInto(mouse, config);
    config.DeleteProfile(config.GetProfile(4));
    config.RemoveMacro(config.FindMacroByName(L"Sample Macro"));

    CLies lies;
    lies.fakeDeletes = true;
    {
        CLyingMiddleware middleware(lies);
        ASSERT_TRUE(middleware.Registered());
        ASSERT_TRUE(WriteAndWait(mouse, config));
    }
    // One deletion asked for each: the item still listed is stepped over; the macro's counts as a
    // refused deletion, which fails the write.
    EXPECT_EQ(2, lies.deleteCalls.load());
    EXPECT_EQ(5u, DumpLines(Dev::Mouse, L"profile ").size());
    EXPECT_EQ(1u, DumpLines(Dev::Mouse, L"macro ").size());
    EXPECT_EQ(kWriteFailed, mouse.TakeWriteOutcome(true));
}

TEST_F(DevicesMouse, FailedImportsDeleteOnlyWhatTheyMade)
{
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    ReadInto(mouse, config);
    const std::wstring macroFile = hvtest::TestFile(L"lies.hvm");
    const std::wstring profileFile = hvtest::TestFile(L"lies.hvp");
    ::DeleteFileW(macroFile.c_str());
    ::DeleteFileW(profileFile.c_str());
    ASSERT_TRUE(mouse.ExportMacro(macroFile.c_str(), config.GetMacro(0)));
    ASSERT_TRUE(mouse.ExportProfile(profileFile.c_str(), config.GetProfile(1)));
    const std::wstring macroBefore = DumpLine(Dev::Mouse, L"macro ");
    const std::vector<std::wstring> profilesBefore = DumpLines(Dev::Mouse, L"profile ");

    // The middleware hands back the device's first macro and profile, which the configuration
    // holds: the imports fail, and neither is deleted from the device nor added twice.
    CLies lies;
    lies.importsReturnExisting = true;
    {
        CLyingMiddleware middleware(lies);
        ASSERT_TRUE(middleware.Registered());
        EXPECT_FALSE(mouse.ImportMacro(macroFile.c_str(), &config));
        // The profile's name cannot be read either: still the device's own profile.
        Fail(L"mouse", L"IProfile.GetName", E_FAIL, 1);
        EXPECT_FALSE(mouse.ImportProfile(profileFile.c_str(), &config));
        ChangeState([](mwsim::SimState& s) { s.faults.clear(); });
    }
    EXPECT_EQ(0, lies.deleteCalls.load());
    EXPECT_EQ(macroBefore, DumpLine(Dev::Mouse, L"macro "));
    EXPECT_EQ(profilesBefore, DumpLines(Dev::Mouse, L"profile "));
    EXPECT_EQ(1, config.GetMacroCount());
    EXPECT_EQ(5, config.GetProfileCount());

    // A real import the configuration refuses (the name is taken) still removes its own copy.
    EXPECT_FALSE(mouse.ImportMacro(macroFile.c_str(), &config));
    EXPECT_EQ(1u, DumpLines(Dev::Mouse, L"macro ").size());
}
