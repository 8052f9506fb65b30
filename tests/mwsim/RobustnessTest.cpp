// What must hold when things go wrong or happen at once: concurrent writers, a state file that cannot
// be read or is not one, a save that fails after the call made an object, features switched off
// under live objects, imported files that claim more than the device has, resets, and the device's
// own button presses.
#include "SimTest.h"

#include "ChildProcess.h"
#include "Paths.h"
#include "platform/Thread.h"

#include <algorithm>
#include <cstring>

using namespace simtest;

namespace {

constexpr int kWrites = 20; // three writers and the sample macro fit the 64 macros of the device
const wchar_t kGoEvent[] = L"Local\\HvMwSimTest.Writers.Go";

// Adds kWrites macros named "<who> n" through a root of its own.
void AddMacros(const std::wstring& who)
{
    CComPtr<IDeviceEnumerator> root;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_HvMwApi, nullptr, HVMW_CLSCTX, IID_PPV_ARGS(root.Put())));
    CComPtr<IDevice> mouse;
    ASSERT_HRESULT_SUCCEEDED(root->GetDeviceByName(L"VEXA Mouse", mouse.Put()));
    CComPtr<IMacroManager> macros;
    ASSERT_HRESULT_SUCCEEDED(mouse->GetFeature(IID_PPV_ARGS(macros.Put())));
    for (int i = 0; i < kWrites; ++i) {
        CComPtr<IMacro> macro;
        ASSERT_HRESULT_SUCCEEDED(macros->AddMacro(macro.Put()));
        ASSERT_HRESULT_SUCCEEDED(macro->SetName((who + L' ' + std::to_wstring(i)).c_str()));
    }
}

// The dump's macro names, without index and id.
std::vector<std::wstring> MacroNames()
{
    std::vector<std::wstring> names;
    for (const std::wstring& line : DumpLines(L"mouse", L"macro "))
        names.push_back(line.substr(line.find(L'"')));
    std::sort(names.begin(), names.end());
    return names;
}

// The state file's neighbour that every save writes first: a folder there makes each save fail.
class CBlockedSaves
{
public:
    CBlockedSaves() : m_path(hvtest::TestFile(L"HvMwSim.state.tmp")) { m_made = CreateDirectoryW(m_path.c_str(), nullptr) != 0; }
    ~CBlockedSaves() { RemoveDirectoryW(m_path.c_str()); }
    bool Made() const { return m_made; }

private:
    std::wstring m_path;
    bool m_made;
};

} // namespace

// Not a test of its own: the second writer that ConcurrentWritersLoseNoUpdate starts.
TEST(WriterProcess, AddsMacros)
{
    const std::wstring who = hvtest::EnvVar(L"HV_MWSIM_WRITER");
    if (who.empty())
        GTEST_SKIP() << "runs only as the second writer of the concurrency test";
    HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, kGoEvent);
    ASSERT_NE(nullptr, go);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(go, 30000));
    CloseHandle(go);
    ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    AddMacros(who);
    CoUninitialize();
}

TEST_F(SimTest, ConcurrentWritersLoseNoUpdate)
{
    ASSERT_TRUE(Mouse());
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, kGoEvent);
    ASSERT_NE(nullptr, go);
    // Another process and another thread of this one write the same list at the same time as this thread.
    hvtest::ChildProcess child;
    hvtest::StartOptions options;
    options.captureOutput = true;
    options.hidden = true;
    options.env = {{L"HV_MWSIM_WRITER", L"process"}};
    ASSERT_TRUE(child.Start(hvtest::ExePath(), {L"--gtest_filter=WriterProcess.AddsMacros"}, options));
    CThread thread;
    ASSERT_TRUE(thread.Start([&]() -> unsigned {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        WaitForSingleObject(go, 30000);
        AddMacros(L"thread");
        CoUninitialize();
        return 0;
    }));
    Sleep(300); // the child is waiting for the signal by now, or soon after
    SetEvent(go);
    AddMacros(L"here");
    ASSERT_TRUE(thread.Join(60000));
    ASSERT_TRUE(child.Wait(60000));
    EXPECT_EQ(0u, child.ExitCode()) << child.Output();
    CloseHandle(go);

    std::vector<std::wstring> expected = {L"\"Sample Macro\""};
    for (const wchar_t* who : {L"here", L"process", L"thread"})
        for (int i = 0; i < kWrites; ++i)
            expected.push_back(L"\"" + std::wstring(who) + L' ' + std::to_wstring(i) + L"\"");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, MacroNames());
}

TEST_F(SimTest, AStateFileThatCannotBeReadFailsTheCallAndLosesNothing)
{
    const std::wstring state = hvtest::TestFile(L"HvMwSim.state");
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IProfile> profile = ProfileAt(mouse, 0);
    ASSERT_HRESULT_SUCCEEDED(profile->SetName(L"Mine"));
    const std::string changed = Tool({L"dump"});

    // Held by someone who shares nothing: reads and writes fail, and the file keeps the devices.
    HANDLE held = CreateFileW(state.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    LPWSTR name = nullptr;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION), profile->GetName(&name));
    EXPECT_EQ(nullptr, name);
    CloseHandle(held);
    held = CreateFileW(state.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION), profile->SetName(L"Lost?"));
    CloseHandle(held);
    ASSERT_HRESULT_SUCCEEDED(profile->GetName(&name));
    EXPECT_EQ(L"Mine", Take(name));
    EXPECT_EQ(changed, Tool({L"dump"}));

    // Files that are not a state file are the factory devices, and the next change replaces them.
    const std::vector<uint8_t> good = ReadBytes(state);
    ASSERT_GT(good.size(), 1000u);
    std::vector<uint8_t> wrongVersion = good;
    wrongVersion[4] ^= 0x40;
    const std::vector<std::vector<uint8_t>> broken = {
        std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2), // truncated
        std::vector<uint8_t>(good.begin(), good.end() - 1),                 // one byte short
        wrongVersion,
    };
    for (const std::vector<uint8_t>& bytes : broken) {
        WriteBytes(state, bytes);
        ASSERT_HRESULT_SUCCEEDED(profile->GetName(&name));
        EXPECT_EQ(L"Profile 1", Take(name));
        ASSERT_HRESULT_SUCCEEDED(profile->SetName(L"Again"));
        ASSERT_HRESULT_SUCCEEDED(profile->GetName(&name));
        EXPECT_EQ(L"Again", Take(name));
    }
    // Over the size limit: not read at all.
    {
        HANDLE file = CreateFileW(state.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        LARGE_INTEGER size{};
        size.QuadPart = 16 * 1024 * 1024 + 1;
        ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file));
        CloseHandle(file);
    }
    ASSERT_HRESULT_SUCCEEDED(profile->GetName(&name));
    EXPECT_EQ(L"Profile 1", Take(name));
    ASSERT_HRESULT_SUCCEEDED(profile->SetName(L"Small again"));
    EXPECT_LT(ReadBytes(state).size(), 1024u * 1024u);
    ASSERT_HRESULT_SUCCEEDED(profile->GetName(&name));
    EXPECT_EQ(L"Small again", Take(name));
}

TEST_F(SimTest, ACallWhoseSaveFailsHandsOutNoObject)
{
    CComPtr<IDeviceEnumerator> root = Root();
    ASSERT_TRUE(root);
    CComPtr<IDevice> mouse;
    CComPtr<IDevice> keyboard;
    ASSERT_HRESULT_SUCCEEDED(root->GetDeviceByName(L"VEXA Mouse", mouse.Put()));
    ASSERT_HRESULT_SUCCEEDED(root->GetDeviceByName(L"VEXA Keyboard", keyboard.Put()));
    CComPtr<IProfileManager> profiles = Profiles(mouse);
    CComPtr<IMacroManager> macros = DeviceFeature<IMacroManager>(mouse);
    CComPtr<IApplicationList> apps = DeviceFeature<IApplicationList>(keyboard);
    CComPtr<IApm> apm = DeviceFeature<IApm>(mouse);
    ASSERT_TRUE(profiles && macros && apps && apm);
    const std::wstring profileFile = hvtest::TestFile(L"save-fails.hvp");
    const std::wstring macroFile = hvtest::TestFile(L"save-fails.hvm");
    const std::wstring appFile = hvtest::TestFile(L"save-fails-app.hvm");
    {
        CComPtr<IProfile> profile;
        ASSERT_HRESULT_SUCCEEDED(profiles->GetProfile(0, profile.Put()));
        ASSERT_HRESULT_SUCCEEDED(profile->Export(profileFile.c_str()));
        CComPtr<IMacro> macro;
        ASSERT_HRESULT_SUCCEEDED(macros->GetMacro(0, macro.Put()));
        ASSERT_HRESULT_SUCCEEDED(macro->Export(macroFile.c_str()));
        CComPtr<IApplication> app;
        ASSERT_HRESULT_SUCCEEDED(apps->GetApplication(0, app.Put()));
        ASSERT_HRESULT_SUCCEEDED(app->Export(appFile.c_str()));
    }
    const std::string before = Tool({L"dump"});
    {
        CBlockedSaves blocked;
        ASSERT_TRUE(blocked.Made());
        IProfile* profile = nullptr;
        IMacro* macro = nullptr;
        IApplication* app = nullptr;
        IApmLevel* level = nullptr;
        EXPECT_HRESULT_FAILED(profiles->AddProfile(&profile));
        EXPECT_EQ(nullptr, profile);
        EXPECT_HRESULT_FAILED(profiles->ImportProfile(profileFile.c_str(), &profile));
        EXPECT_EQ(nullptr, profile);
        EXPECT_HRESULT_FAILED(macros->AddMacro(&macro));
        EXPECT_EQ(nullptr, macro);
        EXPECT_HRESULT_FAILED(macros->ImportMacro(macroFile.c_str(), &macro));
        EXPECT_EQ(nullptr, macro);
        EXPECT_HRESULT_FAILED(apps->AddApplication(&app));
        EXPECT_EQ(nullptr, app);
        EXPECT_HRESULT_FAILED(apps->ImportApplication(appFile.c_str(), &app));
        EXPECT_EQ(nullptr, app);
        EXPECT_HRESULT_FAILED(apm->AddLevel(200, &level));
        EXPECT_EQ(nullptr, level);
    }
    EXPECT_EQ(before, Tool({L"dump"})); // nothing was added

    // No object was left behind: with ours released the server can be unloaded.
    profiles.Reset();
    macros.Reset();
    apps.Reset();
    apm.Reset();
    mouse.Reset();
    keyboard.Reset();
    root.Reset();
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"HvMwSim.dll"), "DllCanUnloadNow")));
    ASSERT_NE(nullptr, canUnload);
    EXPECT_EQ(S_OK, canUnload());
}

TEST_F(SimTest, QueryInterfaceKeepsItsAnswersAndRunsNoHooks)
{
    CComPtr<IDevice> mouse = Mouse();
    CComPtr<IDevice> keyboard = Keyboard();
    ASSERT_TRUE(mouse && keyboard);
    CComPtr<IProfile> profile = ActiveProfile(mouse);
    CComPtr<IDpi> dpi = ProfileFeature<IDpi>(profile);
    ASSERT_TRUE(dpi);

    // Switched off: no new IDpi, but the one held is still one.
    Tool({L"feature", L"mouse", L"IDpi", L"off"});
    CComPtr<IDpi> same;
    EXPECT_HRESULT_SUCCEEDED(dpi.As(same));
    EXPECT_EQ(dpi.Get(), same.Get());
    CComPtr<IDpi> fresh;
    EXPECT_EQ(E_NOINTERFACE, profile->GetFeature(IID_PPV_ARGS(fresh.Put())));
    // An interface answered once keeps answering; an object that never answered it does not start.
    CComPtr<ILongFirmwareVersion> version;
    ASSERT_HRESULT_SUCCEEDED(keyboard.As(version));
    version.Reset();
    Tool({L"feature", L"keyboard", L"ILongFirmwareVersion", L"off"});
    EXPECT_HRESULT_SUCCEEDED(keyboard.As(version));
    EXPECT_EQ(E_NOINTERFACE, Keyboard().As(version));
    Tool({L"reset"});

    // QueryInterface neither waits for the delay nor uses up an injected fault.
    CComPtr<ILed> led;
    ASSERT_HRESULT_SUCCEEDED(ProfileFeature<ILedCollection>(ActiveProfile(mouse))->GetLed(0, led.Put()));
    Tool({L"fail", L"mouse", L"*", L"0x80004005", L"1"});
    Tool({L"delay", L"800"});
    const ULONGLONG start = GetTickCount64();
    CComPtr<ILEDColor> color;
    EXPECT_HRESULT_SUCCEEDED(led.As(color));
    CComPtr<ILedEffect> effect;
    EXPECT_HRESULT_SUCCEEDED(led.As(effect));
    EXPECT_LT(GetTickCount64() - start, 700u);
    Tool({L"delay", L"0"});
    ASSERT_TRUE(color);
    COLORREF value = 0;
    EXPECT_EQ(E_FAIL, color->GetColor(&value)); // the fault was still there for the first call
    EXPECT_HRESULT_SUCCEEDED(color->GetColor(&value));
}

TEST_F(SimTest, ImportedProfilesTakeTheDevicesLedsAndEveryExportImports)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IProfileManager> manager = Profiles(mouse);
    CComPtr<IProfile> profile = ProfileAt(mouse, 1);
    const std::wstring file = hvtest::TestFile(L"caps.hvp");
    ASSERT_HRESULT_SUCCEEDED(profile->Export(file.c_str()));

    // A file that says the LEDs can do nothing: the device's LEDs can all the same. The LEDs end the
    // file, 28 bytes each; their abilities are bytes 5 to 7 of each.
    std::vector<uint8_t> bytes = ReadBytes(file);
    const size_t leds = 4;
    ASSERT_GT(bytes.size(), leds * 28);
    for (size_t i = 0; i < leds; ++i)
        std::memset(bytes.data() + bytes.size() - (leds - i) * 28 + 5, 0, 3);
    WriteBytes(file, bytes);
    CComPtr<IProfile> imported;
    ASSERT_HRESULT_SUCCEEDED(manager->ImportProfile(file.c_str(), imported.Put()));
    CComPtr<ILed> led;
    ASSERT_HRESULT_SUCCEEDED(ProfileFeature<ILedCollection>(imported)->GetLed(0, led.Put()));
    CComPtr<ILEDColor> color;
    EXPECT_HRESULT_SUCCEEDED(led.As(color));
    const std::vector<std::wstring> lines = DumpLines(L"mouse", L" led ");
    ASSERT_EQ(6u * leds, lines.size());
    for (size_t i = 5 * leds; i < lines.size(); ++i)
        EXPECT_EQ(L"caps 111", lines[i].substr(lines[i].size() - 8)) << lines[i];

    // Flag bits beyond those a profile has are not kept, so the profile exports and imports.
    CComPtr<IProfileProperties> props = ProfileFeature<IProfileProperties>(profile);
    const ProfileFlagWrite flags{0xFFF9, 1};
    ASSERT_HRESULT_SUCCEEDED(props->SetProperty(hvmw::kPropFlags, &flags, 0, sizeof flags, 0));
    WORD read = 0;
    DWORD size = sizeof read;
    ASSERT_HRESULT_SUCCEEDED(props->GetProperty(hvmw::kPropFlags, 0, &read, 0, &size));
    EXPECT_EQ(hvmw::kFlagAutoSwitch | hvmw::kFlagOsdDpi | hvmw::kFlagOsdProfile, read); // factory 6, and 1
    ASSERT_HRESULT_SUCCEEDED(profile->Export(file.c_str()));
    CComPtr<IProfile> again;
    EXPECT_HRESULT_SUCCEEDED(manager->ImportProfile(file.c_str(), again.Put()));
}

TEST_F(SimTest, ResetKeepsThePlugAndNeverReissuesIds)
{
    CComPtr<IProfileManager> manager = Profiles(Mouse());
    ASSERT_TRUE(manager);
    CComPtr<IProfile> added;
    ASSERT_HRESULT_SUCCEEDED(manager->AddProfile(added.Put()));
    GUID first{};
    ASSERT_HRESULT_SUCCEEDED(added->GetId(&first));

    Tool({L"reset", L"mouse"});
    CComPtr<IProfile> next;
    ASSERT_HRESULT_SUCCEEDED(manager->AddProfile(next.Put()));
    GUID second{};
    ASSERT_HRESULT_SUCCEEDED(next->GetId(&second));
    EXPECT_FALSE(IsEqualGUID(first, second)) << GuidString(first);
    // The object of before the reset stands for what has gone, not for the new profile.
    LPWSTR name = nullptr;
    EXPECT_EQ(HVMW_E_DELETED, added->GetName(&name));
    Tool({L"reset"});
    CComPtr<IProfile> third;
    ASSERT_HRESULT_SUCCEEDED(Profiles(Mouse())->AddProfile(third.Put()));
    GUID id{};
    ASSERT_HRESULT_SUCCEEDED(third->GetId(&id));
    EXPECT_FALSE(IsEqualGUID(id, first) || IsEqualGUID(id, second)) << GuidString(id);

    // An unplugged device stays unplugged through a reset, of it or of everything.
    Tool({L"unplug", L"keyboard"});
    Tool({L"reset", L"keyboard"});
    EXPECT_EQ(std::vector<std::string>{"device keyboard product 0x23 present 0"}, DumpLines(L"keyboard", "device "));
    Tool({L"reset"});
    EXPECT_FALSE(Keyboard());
    Tool({L"plug", L"keyboard"});
    EXPECT_TRUE(Keyboard());
}

TEST_F(SimTest, FewerStagesMoveTheValuesInEffectWithTheStage)
{
    CComPtr<IDpi> dpi = ProfileFeature<IDpi>(ActiveProfile(Mouse()));
    ASSERT_TRUE(dpi);
    ASSERT_HRESULT_SUCCEEDED(dpi->SetActiveStage(5));
    const DpiValue two[] = {{400, 400}, {1600, 1700}};
    ASSERT_HRESULT_SUCCEEDED(dpi->SetStages(2, two));
    int stage = 0;
    DpiValue value{};
    ASSERT_HRESULT_SUCCEEDED(dpi->GetActiveStage(&stage));
    ASSERT_HRESULT_SUCCEEDED(dpi->GetActiveDpi(&value));
    EXPECT_EQ(2, stage);
    EXPECT_EQ(1600, value.x);
    EXPECT_EQ(1700, value.y);
    // The stage in effect is still there: the values in effect stay as they were set.
    ASSERT_HRESULT_SUCCEEDED(dpi->SetActiveStage(1));
    ASSERT_HRESULT_SUCCEEDED(dpi->SetActiveDpi(900, 900));
    const DpiValue three[] = {{500, 500}, {1000, 1000}, {2000, 2000}};
    ASSERT_HRESULT_SUCCEEDED(dpi->SetStages(3, three));
    ASSERT_HRESULT_SUCCEEDED(dpi->GetActiveDpi(&value));
    EXPECT_EQ(900, value.x);
}

TEST_F(SimTest, PressesDoWhatTheActiveProfileAssigns)
{
    // The first record of each device's list, so that the record is read after the list was searched.
    // A "DPI stage" record counts its stage from 0, as the configuration program writes it; the
    // device's active stage counts from 1. The factory profile has stages 800 to 5600, stage 3 active.
    CComPtr<IButtonAssignments> buttons = ProfileFeature<IButtonAssignments>(ActiveProfile(Mouse()));
    ASSERT_TRUE(buttons);
    auto assignStage = [&](DWORD field) {
        AssignmentRecord button{};
        button.source = 1;
        button.id = hvmw::kButtonLeft;
        button.kind = hvmw::kKindDpi;
        button.SetCode(hvmw::kDpiOpStage);
        button.SetStage(field);
        ASSERT_HRESULT_SUCCEEDED(buttons->SetAssignments(1, &button));
    };
    auto activeStageLine = [] {
        const std::vector<std::wstring> lines = DumpLines(L"mouse", L" dpi ");
        return lines.empty() ? std::wstring() : lines[0];
    };
    assignStage(0);
    EXPECT_NE(std::string::npos, Tool({L"press", L"mouse", L"1"}).find("dpi stage 1 800x800"));
    EXPECT_EQ(0u, activeStageLine().find(L" dpi active-stage 1 active 800x800"));
    assignStage(4);
    EXPECT_NE(std::string::npos, Tool({L"press", L"mouse", L"1"}).find("dpi stage 5 5600x5600"));
    EXPECT_EQ(0u, activeStageLine().find(L" dpi active-stage 5 active 5600x5600"));
    // A field past the last stage is refused and changes nothing; so is a field past the stages
    // the profile has.
    assignStage(5);
    EXPECT_EQ(1u, ToolExitCode({L"press", L"mouse", L"1"}));
    const DpiValue two[] = {{400, 400}, {1600, 1600}};
    ASSERT_HRESULT_SUCCEEDED(ProfileFeature<IDpi>(ActiveProfile(Mouse()))->SetStages(2, two));
    assignStage(2);
    EXPECT_EQ(1u, ToolExitCode({L"press", L"mouse", L"1"}));
    EXPECT_EQ(0u, activeStageLine().find(L" dpi active-stage 2 active 1600x1600"));
    assignStage(0);
    EXPECT_NE(std::string::npos, Tool({L"press", L"mouse", L"1"}).find("dpi stage 1 400x400"));
    // The tool's own stage selection counts from 1, as the device does.
    EXPECT_NE(std::string::npos, Tool({L"dpi", L"2"}).find("dpi stage 2 1600x1600"));
    EXPECT_EQ(2u, ToolExitCode({L"dpi", L"0"}));
    EXPECT_EQ(0u, activeStageLine().find(L" dpi active-stage 2 active 1600x1600"));

    CComPtr<IDevice> keyboard = Keyboard();
    CComPtr<IKeyAssignments> keys = ProfileFeature<IKeyAssignments>(ActiveProfile(keyboard));
    ASSERT_TRUE(keys);
    const std::vector<AssignmentRecord> records = ReadAssignments<IKeyAssignments, KeyCountInfo>(keys.Get());
    ASSERT_GT(records.size(), 100u);
    AssignmentRecord key = records[0];
    key.kind = hvmw::kKindProfile;
    key.SetCode(hvmw::kProfileOpNext);
    ASSERT_HRESULT_SUCCEEDED(keys->SetAssignments(1, &key));
    Tool({L"press", L"keyboard", std::to_wstring(key.id)});
    GUID second{};
    ASSERT_HRESULT_SUCCEEDED(ProfileAt(keyboard, 1)->GetId(&second));
    GUID active{};
    ASSERT_HRESULT_SUCCEEDED(ActiveProfile(keyboard)->GetId(&active));
    EXPECT_TRUE(IsEqualGUID(second, active)) << GuidString(active);
    // A later record too: the last key of the list sends itself.
    EXPECT_NE(std::string::npos, Tool({L"press", L"keyboard", std::to_wstring(records.back().id)}).find("key 0x"));
}
