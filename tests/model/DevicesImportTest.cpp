// Importing a mouse profile file through the registered simulator: the configuration gains the
// profile with the values the device holds for it and keeps everything else, device-wide values
// included, so that the next write puts back what the device holds; an import that cannot read
// the device's copy leaves neither that copy nor a half-filled profile behind.
#include <windows.h>

#include <gtest/gtest.h>

#include "DevicesFixture.h"
#include "model/Mouse.h"
#include "model/MouseConfig.h"
#include "Paths.h"
#include "platform/WStr.h"

using namespace devtest;
using mwsim::Dev;

namespace {

class DevicesImport : public CDevicesTest
{
};

} // namespace

TEST_F(DevicesImport, MouseProfileArrivesWithTheDevicesValuesAndNothingElseChanges)
{
    CVxConfig_Mouse config;
    CMouse mouse(g_MouseDescriptor);
    EXPECT_TRUE(mouse.Probe());
    ReadInto(mouse, config);

    // Device-wide values other than the factory's, and a profile unlike the defaults, exported.
    config.SetPollingRate(2);
    config.SetAcceleration(8);
    config.SetAccelerationEnabled(true);
    IMouseProfile* source = config.GetProfile(1);
    source->SetName(L"Exported");
    config.SetStageDpi(2, 2400, source);
    config.SetSensitivity(2400, source);
    config.SetCurrentDpiStage(2, source);
    ASSERT_TRUE(config.SetButtonAssignment(4, AssignmentAction(kActionMenu), source));
    config.SetLedColor(0, 0x00FF00, source);
    config.SetLinkedApplicationPath(source, L"C:\\Games\\aim.exe");
    config.SetAutoSwitch(source, true);
    config.SetOsdProfile(false, source);
    config.SetOsdDpi(false, source);
    ASSERT_TRUE(WriteAndWait(mouse, config));
    const std::wstring file = hvtest::TestFile(L"exported.hvp");
    ::DeleteFileW(file.c_str());
    ASSERT_TRUE(mouse.ExportProfile(file.c_str(), source));
    EXPECT_TRUE(mouse.Probe());
    // An import takes no name the list holds: the source goes by another name first.
    ASSERT_TRUE((source = config.RenameProfile(source, L"Original")) != nullptr);
    ASSERT_TRUE(WriteAndWait(mouse, config));

    CVxConfig_Mouse live;
    ReadInto(mouse, live);
    ASSERT_TRUE(mouse.ImportProfile(file.c_str(), &live));

    // The configuration is what a read of the device now gives: the new profile with the device's
    // values, the others as they were, and the device-wide values untouched.
    CVxConfig_Mouse reread;
    ReadInto(mouse, reread);
    EXPECT_EQ(Describe(reread), Describe(live));
    ASSERT_EQ(6, live.GetProfileCount());
    IMouseProfile* imported = live.GetProfile(5);
    EXPECT_EQ(L"profile 5 " + GuidText(imported->GetGuid()) + L" \"Exported\"", DumpLine(Dev::Mouse, L"profile ", 5));
    EXPECT_FALSE(hv::IsEqualGUID(imported->GetGuid(), source->GetGuid()));
    EXPECT_EQ(2400, imported->GetStageDpi(2));
    EXPECT_EQ(2400, imported->GetSensitivity());
    EXPECT_EQ(2, imported->GetCurrentDpiStage());
    EXPECT_EQ(AssignmentAction(kActionMenu), imported->GetButtonAssignment(4));
    EXPECT_EQ(0x00FF00u, imported->GetLedColor(0));
    EXPECT_EQ(L"aim.exe", imported->GetLinkedApplication());
    EXPECT_TRUE(imported->GetAutoSwitch());
    EXPECT_FALSE(imported->GetOsdProfile());
    EXPECT_FALSE(imported->GetOsdDpi());
    EXPECT_TRUE(live.GetProfile(0)->GetOsdProfile());
    EXPECT_EQ(2, live.GetPollingRate());
    EXPECT_EQ(8, live.GetAcceleration());
    EXPECT_TRUE(live.GetAccelerationEnabled());

    // Written back unchanged, the device loses nothing.
    const std::wstring dump = Dump(Dev::Mouse);
    ASSERT_TRUE(WriteAndWait(mouse, live));
    EXPECT_EQ(dump, Dump(Dev::Mouse));
    EXPECT_EQ(L"polling 1", DumpLine(Dev::Mouse, L"polling "));   // the device's code of 1000 Hz
    EXPECT_EQ(L"acceleration 1 level 8", DumpLine(Dev::Mouse, L"acceleration "));

    // The device's copy cannot be read completely: the import fails and takes back what it made,
    // on the device and in the configuration.
    const std::wstring described = Describe(live);
    Fail(L"mouse", L"IButtonAssignments.GetAssignments", E_FAIL, 1);
    ClearJournal();
    EXPECT_FALSE(mouse.ImportProfile(file.c_str(), &live));
    EXPECT_EQ(described, Describe(live));
    EXPECT_EQ(dump, Dump(Dev::Mouse));
    const std::vector<std::wstring> journal = Journal();
    EXPECT_EQ(1, CountLines(journal, L"IProfileManager.ImportProfile"));
    EXPECT_EQ(1, CountLines(journal, L"IProfileManager.DeleteProfile"));
}
