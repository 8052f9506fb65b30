// The tray's device wrapper against the registered simulator: what it reads agrees with the
// simulator's dump, and what it writes shows in the dump and the call journal, one call per step.
#include "SimTest.h"

#include "SysTray/DeviceManager.h"
#include "RecordingHandler.h"

#include "Paths.h"
#include "platform/WStr.h"

using namespace simtest;
using traytest::GuidHex;
using traytest::JournalWith;
using traytest::ProfileGuid;

namespace {

using Lines = std::vector<std::string>;

std::string ProfileLine(const wchar_t* device, int index, const std::string& field)
{
    // The lines of profile index run from its "profile N" line to the next "profile" or "macro" line.
    bool inside = false;
    for (const std::string& line : DumpLines(device)) {
        if (line.rfind("profile ", 0) == 0 || line.rfind("macro ", 0) == 0)
            inside = line.rfind("profile " + std::to_string(index) + " ", 0) == 0;
        else if (inside && line.rfind(field, 0) == 0)
            return line;
    }
    return std::string();
}

std::vector<MacroEventRecord> SampleEvents()
{
    return {MacroEventRecord::Make(hvmw::kMacroKey, 0x1E, 0), MacroEventRecord::Delay(50),
            MacroEventRecord::Make(hvmw::kMacroKey, 0x1E, hvmw::kMacroKeyBreak)};
}

// The dump's line of a key's assignment in the keyboard's profile 0.
std::string KeyAssignment(const char* key)
{
    return ProfileLine(L"keyboard", 0, std::string(" assign ") + key + " ");
}

std::string MacroRecordText(const GUID& macro)
{
    return "src 0 kind 8 data " + GuidHex(macro) + "01000000";
}

template <class T>
std::vector<T> Joined(std::vector<T> a, const std::vector<T>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST_F(SimTest, TrayDeviceReadsAndWritesProfilesAsTheDumpShows)
{
    CDeviceManager manager;
    CHvDevice* mouse = manager.GetDevice(hvmw::kProductMouse);
    CHvDevice* second = manager.GetDevice(hvmw::kProductMouse);
    ASSERT_TRUE(mouse->IsPresent());
    ASSERT_TRUE(second->IsPresent());
    // Each wrapper has its own middleware root.
    ASSERT_TRUE(mouse->Root() && second->Root());
    EXPECT_NE(mouse->Root(), second->Root());
    EXPECT_EQ(2u, manager.OpenDeviceCount());
    manager.ReleaseDevice(second);
    EXPECT_EQ(1u, manager.OpenDeviceCount());

    std::vector<std::wstring> names;
    ASSERT_TRUE(mouse->GetProfileNames(names));
    EXPECT_EQ((std::vector<std::wstring>{L"Profile 1", L"Profile 2", L"Profile 3", L"Profile 4", L"Profile 5"}),
              names);
    EXPECT_EQ(Lines{"profile 1 " + ProfileGuid(L"mouse", 1) + " \"Profile 2\""}, DumpLines(L"mouse", "profile 1 "));

    // One {mask, value} write per flag bit, each on the named profile.
    ASSERT_TRUE(mouse->SetProfileFlags(L"Profile 2", 1, 0, 1));
    const std::string write = "mouse IProfileProperties.SetProperty " + ProfileGuid(L"mouse", 1) + " 0x80000003 ";
    EXPECT_EQ((Lines{write + "mask 0x1 value 1", write + "mask 0x2 value 0", write + "mask 0x4 value 1"}),
              JournalWith("0x80000003"));
    EXPECT_EQ(" flags 0x0005", ProfileLine(L"mouse", 1, " flags "));
    ASSERT_TRUE(mouse->SetProfileAutoSwitch(L"Profile 3", 1));
    EXPECT_EQ(4u, JournalWith("0x80000003").size());
    EXPECT_EQ(" flags 0x0007", ProfileLine(L"mouse", 2, " flags "));
    EXPECT_FALSE(mouse->SetProfileFlags(L"profile 2", 0, 0, 0)); // names match exactly
    EXPECT_EQ(4u, JournalWith("0x80000003").size());

    // The linked program: at most 127 characters.
    ASSERT_TRUE(mouse->SetProfileApplication(L"Profile 2", L"game.exe"));
    EXPECT_EQ(" app \"game.exe\"", ProfileLine(L"mouse", 1, " app "));
    const std::wstring longPath = std::wstring(200, L'a') + L".exe";
    ASSERT_TRUE(mouse->SetProfileApplication(L"Profile 2", longPath));
    EXPECT_EQ(" app \"" + std::string(127, 'a') + "\"", ProfileLine(L"mouse", 1, " app "));
    // A longer link written through the other property is read as its first 127 characters.
    {
        CComPtr<IProfileProperties> properties = ProfileFeature<IProfileProperties>(ProfileAt(Mouse(), 3));
        ASSERT_TRUE(properties);
        const std::wstring path = std::wstring(300, L'b');
        ASSERT_HRESULT_SUCCEEDED(properties->SetProperty(hvmw::kPropAppPath, path.c_str(), 0,
                                                         static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)), 0));
    }

    // The settings of every profile, in the device's order, as the dump has them.
    std::vector<_Profile_Setting_> settings;
    ASSERT_TRUE(mouse->GetProfileSettings(settings));
    ASSERT_EQ(5u, settings.size());
    const struct
    {
        const wchar_t* name;
        std::wstring application;
        int autoSwitch, osdDpi, osdProfile;
    } expected[] = {{L"Profile 1", L"", 0, 1, 1},
                    {L"Profile 2", std::wstring(127, L'a'), 1, 0, 1},
                    {L"Profile 3", L"", 1, 1, 1},
                    {L"Profile 4", std::wstring(127, L'b'), 0, 1, 1},
                    {L"Profile 5", L"", 0, 1, 1}};
    for (size_t i = 0; i < settings.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].name, settings[i].name);
        EXPECT_EQ(expected[i].application, settings[i].application);
        EXPECT_EQ(expected[i].autoSwitch, settings[i].autoSwitch);
        EXPECT_EQ(expected[i].osdDpi, settings[i].osdDpi);
        EXPECT_EQ(expected[i].osdProfile, settings[i].osdProfile);
    }
    _Profile_Setting_ setting;
    ASSERT_TRUE(mouse->GetProfileSetting(L"Profile 2", setting));
    EXPECT_EQ(std::wstring(127, L'a'), setting.application);
    EXPECT_EQ(1, setting.autoSwitch);
    EXPECT_EQ(0, setting.osdDpi);
    EXPECT_FALSE(mouse->GetProfileSetting(L"Profile 9", setting));

    // The active profile, by name.
    std::wstring active;
    ASSERT_TRUE(mouse->GetActiveProfileName(active));
    EXPECT_EQ(L"Profile 1", active);
    setting.name = L"Profile 3";
    ASSERT_TRUE(mouse->SetActiveProfile(setting));
    EXPECT_EQ(Lines{"active " + ProfileGuid(L"mouse", 2)}, DumpLines(L"mouse", "active "));
    EXPECT_EQ(Lines{"mouse IProfileManager.SetActiveProfile " + ProfileGuid(L"mouse", 2)},
              JournalWith("SetActiveProfile"));
    ASSERT_TRUE(mouse->GetActiveProfileName(active));
    EXPECT_EQ(L"Profile 3", active);
    int minimum = 0, maximum = 0, step = 0;
    ASSERT_TRUE(mouse->GetDpiRange(&minimum, &maximum, &step));
    EXPECT_EQ(100, minimum);
    EXPECT_EQ(5600, maximum);
    EXPECT_EQ(100, step);

    // A failure of a call on a profile that was found fails the walk.
    Tool({L"fail", L"mouse", L"IProfile.GetName", L"0x80004005"});
    EXPECT_FALSE(mouse->GetProfileNames(names));
    EXPECT_TRUE(names.empty());
    // The list's own call failing ends the list, whatever its code: here at its start.
    for (const wchar_t* end : {L"0x80070057", L"0x80004005"}) {
        Tool({L"fail", L"mouse", L"IProfileManager.GetProfile", end});
        EXPECT_FALSE(mouse->GetProfileNames(names));
        EXPECT_TRUE(names.empty());
        ASSERT_TRUE(mouse->GetProfileNames(names));
        EXPECT_EQ(5u, names.size());
    }
    // A device list that ends at once leaves the device unfound.
    Tool({L"fail", L"root", L"IDeviceEnumerator.EnumDevice", L"0x80070057"});
    EXPECT_FALSE(CScopedDevice(manager, hvmw::kProductMouse)->IsPresent());
    EXPECT_TRUE(CScopedDevice(manager, hvmw::kProductMouse)->IsPresent());

    // Audio sync stays on while its connection lives.
    {
        std::unique_ptr<CAudioSyncEventConnection> audio = mouse->CreateAudioSyncEventConnection();
        ASSERT_TRUE(audio);
        EXPECT_EQ(Lines{"audio-sync 1"}, DumpLines(L"mouse", "audio-sync "));
    }
    EXPECT_EQ(Lines{"audio-sync 0"}, DumpLines(L"mouse", "audio-sync "));
    EXPECT_EQ((Lines{"mouse IAudioSync.SetEnabled 1", "mouse IAudioSync.SetEnabled 0"}), JournalWith("IAudioSync"));
    manager.ReleaseDevice(mouse);
    EXPECT_EQ(0u, manager.OpenDeviceCount());

    // An absent device: every operation fails, and no connection is made.
    Tool({L"unplug", L"mouse"});
    CScopedDevice gone(manager, hvmw::kProductMouse);
    EXPECT_FALSE(gone->IsPresent());
    EXPECT_TRUE(gone->Root());
    EXPECT_FALSE(gone->GetProfileNames(names));
    EXPECT_FALSE(gone->GetProfileSettings(settings));
    EXPECT_FALSE(gone->GetActiveProfileName(active));
    EXPECT_FALSE(gone->SetActiveProfile(setting));
    EXPECT_FALSE(gone->GetDpiRange(&minimum, &maximum, &step));
    EXPECT_FALSE(gone->SetProfileFlags(L"Profile 1", 1, 1, 1));
    EXPECT_FALSE(gone->BeginMacroRecording());
    EXPECT_FALSE(gone->CreateDpiEventConnection(nullptr));
    EXPECT_FALSE(gone->CreateProfileEventConnection(nullptr));
    EXPECT_FALSE(gone->CreateLaunchAppEventConnection(nullptr));
    EXPECT_FALSE(gone->CreateAudioSyncEventConnection());
}

TEST_F(SimTest, TrayDeviceNamesMakesAndAssignsMacros)
{
    CDeviceManager manager;
    CScopedDevice keyboard(manager, hvmw::kProductKeyboard);
    ASSERT_TRUE(keyboard->IsPresent());
    std::wstring name;
    ASSERT_TRUE(keyboard->GetNewMacroName(name));
    EXPECT_EQ(L"New Macro1", name);

    GUID first{}, other{};
    ASSERT_TRUE(keyboard->CreateMacro(L"New Macro1", SampleEvents(), first));
    ASSERT_TRUE(keyboard->CreateMacro(L"New Macro7", {}, other));
    ASSERT_TRUE(keyboard->CreateMacro(L"Macro 3", {MacroEventRecord::Make(hvmw::kMacroMouse, 0x10, 0)}, other));
    ASSERT_TRUE(keyboard->GetNewMacroName(name));
    EXPECT_EQ(L"New Macro8", name);
    // The event block, as the device keeps it.
    EXPECT_EQ((Lines{" events 3, key 0x1E 0x0, delay 50, key 0x1E 0x1", " events 0", " events 1, mouse 0x10 0x0"}),
              DumpLines(L"keyboard", " events "));
    EXPECT_EQ(Lines{"macro 0 " + GuidString(first) + " \"New Macro1\""}, DumpLines(L"keyboard", "macro 0 "));

    // A digit run too long for a number counts as its first nine digits.
    ASSERT_TRUE(keyboard->CreateMacro(L"New Macro99999999999999", {}, other));
    ASSERT_TRUE(keyboard->GetNewMacroName(name));
    EXPECT_EQ(L"New Macro1000000000", name);

    // The macro on a key of the active profile: one 32-byte record, then the profile again.
    ASSERT_TRUE(keyboard->AssignMacroToKey(first, 2, 0x2001D));
    EXPECT_EQ(" assign 0x2001D " + MacroRecordText(first), KeyAssignment("0x2001D"));
    const std::string profile = ProfileGuid(L"keyboard", 0);
    EXPECT_EQ((Lines{"keyboard IKeyAssignments.SetAssignments " + profile + " id 0x2001D " + MacroRecordText(first),
                     "keyboard IProfileManager.SetActiveProfile " + profile}),
              Joined(JournalWith("IKeyAssignments.SetAssignments"), JournalWith("SetActiveProfile")));
    GUID unknown{};
    unknown.Data1 = 0x12345678;
    EXPECT_FALSE(keyboard->AssignMacroToKey(unknown, 2, 0x1E));
    EXPECT_EQ(1u, JournalWith("IKeyAssignments.SetAssignments").size());

    // Into a profile named without regard to case, which becomes the active one.
    ASSERT_TRUE(keyboard->AssignMacroToKeyInProfile(L"profile 3", first, 2, 0x1E));
    EXPECT_EQ(" assign 0x0001E " + MacroRecordText(first), ProfileLine(L"keyboard", 2, " assign 0x0001E "));
    EXPECT_EQ(Lines{"active " + ProfileGuid(L"keyboard", 2)}, DumpLines(L"keyboard", "active "));

    // A macro list that ends with another code than "no more items" is a list all the same: a middleware
    // that ends its lists so still gets new macros named. A failure on a macro that was found fails.
    Tool({L"fail", L"keyboard", L"IMacroManager.GetMacro", L"0x80070057"});
    ASSERT_TRUE(keyboard->GetNewMacroName(name));
    EXPECT_EQ(L"New Macro1", name);
    Tool({L"fail", L"keyboard", L"IMacro.GetName", L"0x80004005"});
    EXPECT_FALSE(keyboard->GetNewMacroName(name));
    EXPECT_TRUE(name.empty());

    // A macro whose events the device refuses is taken away again.
    Tool({L"fail", L"keyboard", L"IMacro.SetEvents", L"0x80004005"});
    EXPECT_FALSE(keyboard->CreateMacro(L"Refused", SampleEvents(), other));
    EXPECT_EQ(GUID{}, other);
    EXPECT_EQ(4u, DumpLines(L"keyboard", L"macro ").size());
    EXPECT_EQ(1u, JournalWith("IMacroManager.DeleteMacro").size());
}

TEST_F(SimTest, TrayDeviceRecordingSetsModeAndMacroLed)
{
    CDeviceManager manager;
    CScopedDevice keyboard(manager, hvmw::kProductKeyboard);
    ASSERT_TRUE(keyboard->IsPresent());
    const std::string profile = ProfileGuid(L"keyboard", 0);
    auto ledWrites = [&](const std::string& colour, const std::string& effect, const std::string& onOff) {
        const std::string at = " " + profile + " led 7";
        return Lines{"keyboard ILEDColor.SetColor" + at + " " + colour, "keyboard ILedEffect.SetEffect" + at + " " + effect,
                     "keyboard ILEDBrightness.SetBrightness" + at + " 100", "keyboard ILed." + onOff + at};
    };
    auto recordingCalls = [] {
        Lines lines;
        for (const std::string& line : JournalLines())
            if (line.find("IDeviceMode.SetMode") != std::string::npos || line.find(" led 7") != std::string::npos)
                lines.push_back(line);
        return lines;
    };
    auto led7 = [] { return ProfileLine(L"keyboard", 0, " led 7 "); };
    auto mode = [] { return DumpLines(L"keyboard", "mode "); };

    // Begin: default mode, the LED lit.
    ASSERT_TRUE(keyboard->BeginMacroRecording());
    EXPECT_EQ(Joined(Lines{"keyboard IDeviceMode.SetMode 2"}, ledWrites("0xFF", "0 0 0", "TurnOn")), recordingCalls());
    EXPECT_EQ(Lines{"mode 2"}, mode());
    EXPECT_EQ(" led 7 on 1 color 0x0000FF brightness 100 effect 0 0 0 caps 111", led7());
    // End: blinking while the device waits for the key; the mode stays.
    ClearJournal();
    ASSERT_TRUE(keyboard->EndMacroRecording());
    EXPECT_EQ(ledWrites("0xFF", "1 300 300", "TurnOn"), recordingCalls());
    EXPECT_EQ(Lines{"mode 2"}, mode());
    EXPECT_EQ(" led 7 on 1 color 0x0000FF brightness 100 effect 1 300 300 caps 111", led7());
    // Cancel: normal mode, the LED off.
    ClearJournal();
    ASSERT_TRUE(keyboard->CancelMacroRecording());
    EXPECT_EQ(Joined(Lines{"keyboard IDeviceMode.SetMode 1"}, ledWrites("0xFF", "0 0 0", "TurnOff")), recordingCalls());
    EXPECT_EQ(Lines{"mode 1"}, mode());
    EXPECT_EQ(" led 7 on 0 color 0x0000FF brightness 100 effect 0 0 0 caps 111", led7());
    // Abort: the LED alone.
    ASSERT_TRUE(keyboard->BeginMacroRecording());
    ClearJournal();
    ASSERT_TRUE(keyboard->AbortMacroRecording());
    EXPECT_EQ(ledWrites("0xFF", "0 0 0", "TurnOff"), recordingCalls());
    EXPECT_EQ(Lines{"mode 2"}, mode());
    EXPECT_EQ(" led 7 on 0 color 0x0000FF brightness 100 effect 0 0 0 caps 111", led7());

    // Finish: normal mode, the LED off, then the recorded events as the next new macro on the key.
    ASSERT_TRUE(keyboard->EndMacroRecording());
    ClearJournal();
    ASSERT_TRUE(keyboard->FinishMacroRecording(2, 0x2001D, SampleEvents()));
    EXPECT_EQ(Joined(Lines{"keyboard IDeviceMode.SetMode 1"}, ledWrites("0xFF", "0 0 0", "TurnOff")), recordingCalls());
    EXPECT_EQ(Lines{"mode 1"}, mode());
    const Lines macros = DumpLines(L"keyboard", "macro ");
    ASSERT_EQ(1u, macros.size());
    EXPECT_NE(std::string::npos, macros[0].find("\"New Macro1\""));
    EXPECT_EQ(Lines{" events 3, key 0x1E 0x0, delay 50, key 0x1E 0x1"}, DumpLines(L"keyboard", " events "));
    const std::string macroGuid = macros[0].substr(macros[0].find('{'), 38);
    GUID macroId{};
    ASSERT_HRESULT_SUCCEEDED(CLSIDFromString(wstr::Utf8ToWide(macroGuid).c_str(), &macroId));
    EXPECT_EQ(" assign 0x2001D " + MacroRecordText(macroId), KeyAssignment("0x2001D"));

    // The light is best effort: a colour the LED refuses leaves effect, brightness and the switching
    // off to go ahead, and the recording still becomes the key's macro.
    ASSERT_TRUE(keyboard->BeginMacroRecording());
    ASSERT_TRUE(keyboard->EndMacroRecording());
    ClearJournal();
    Tool({L"fail", L"keyboard", L"ILEDColor.SetColor", L"0x80004005"});
    EXPECT_TRUE(keyboard->FinishMacroRecording(2, 0x1E, SampleEvents()));
    Lines refused = ledWrites("0xFF", "0 0 0", "TurnOff");
    refused[0] += " -> 0x80004005";
    EXPECT_EQ(Joined(Lines{"keyboard IDeviceMode.SetMode 1"}, refused), recordingCalls());
    EXPECT_EQ(Lines{"mode 1"}, mode());
    EXPECT_EQ(" led 7 on 0 color 0x0000FF brightness 100 effect 0 0 0 caps 111", led7());
    const Lines twoMacros = DumpLines(L"keyboard", "macro ");
    ASSERT_EQ(2u, twoMacros.size());
    EXPECT_NE(std::string::npos, twoMacros[1].find("\"New Macro2\""));
    GUID secondId{};
    ASSERT_HRESULT_SUCCEEDED(
        CLSIDFromString(wstr::Utf8ToWide(twoMacros[1].substr(twoMacros[1].find('{'), 38)).c_str(), &secondId));
    EXPECT_EQ(" assign 0x0001E " + MacroRecordText(secondId), KeyAssignment("0x0001E"));

    // A light that turns on and off but has no colour: the rest is set, the recording kept.
    Tool({L"feature", L"keyboard", L"ILEDColor", L"off"});
    ClearJournal();
    EXPECT_TRUE(keyboard->BeginMacroRecording());
    Lines colourless = ledWrites("0xFF", "0 0 0", "TurnOn");
    colourless.erase(colourless.begin());
    EXPECT_EQ(Joined(Lines{"keyboard IDeviceMode.SetMode 2"}, colourless), recordingCalls());
    EXPECT_EQ(" led 7 on 1 color 0x0000FF brightness 100 effect 0 0 0 caps 111", led7());
    // A refused switch still turns the mode back and makes the macro; a cancel that cannot set the
    // mode still turns the light off.
    Tool({L"fail", L"keyboard", L"ILed.TurnOff", L"0x80004005"});
    EXPECT_TRUE(keyboard->FinishMacroRecording(2, 0x30, SampleEvents()));
    EXPECT_EQ(3u, DumpLines(L"keyboard", L"macro ").size());
    EXPECT_EQ(Lines{"mode 1"}, mode());
    ASSERT_TRUE(keyboard->BeginMacroRecording());
    Tool({L"fail", L"keyboard", L"IDeviceMode.SetMode", L"0x80004005"});
    EXPECT_FALSE(keyboard->CancelMacroRecording());
    EXPECT_EQ(" led 7 on 0 color 0x0000FF brightness 100 effect 0 0 0 caps 111", led7());
    Tool({L"feature", L"keyboard", L"ILEDColor", L"on"});

    // A recording that captured nothing makes no macro and leaves the key as it was.
    ASSERT_TRUE(keyboard->BeginMacroRecording());
    ASSERT_TRUE(keyboard->EndMacroRecording());
    EXPECT_FALSE(keyboard->FinishMacroRecording(2, 0x1E, {}));
    EXPECT_EQ(3u, DumpLines(L"keyboard", L"macro ").size());
    EXPECT_EQ(" assign 0x0001E " + MacroRecordText(secondId), KeyAssignment("0x0001E"));
    EXPECT_EQ(Lines{"mode 1"}, mode());
    EXPECT_EQ(" led 7 on 0 color 0x0000FF brightness 100 effect 0 0 0 caps 111", led7());
}
