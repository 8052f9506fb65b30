// The shared state between processes, reset, the test hooks (faults, delay, journal), the profile,
// macro and application files, and the task allocator's balance across the boundary.
#include "SimTest.h"

#include "Paths.h"

#include <algorithm>

using namespace simtest;

namespace {

bool Contains(const std::vector<std::wstring>& lines, const std::wstring& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Counts the task allocator's blocks while registered.
class CountingSpy : public IMallocSpy
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMallocSpy)) {
            *out = static_cast<IMallocSpy*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T request) override { return request; }
    void* STDMETHODCALLTYPE PostAlloc(void* actual) override
    {
        if (actual) {
            ++outstanding;
            ++allocations;
        }
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL spied) override
    {
        if (request && spied)
            --outstanding;
        return request;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override
    {
        *newRequest = request;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

    long outstanding = 0;
    long allocations = 0;
};

class ReadEverything
{
public:
    explicit ReadEverything(IDeviceEnumerator* root) : m_root(root) {}

    // Every read that the configuration, tray and test programs make, freeing what they are given.
    void Run()
    {
        for (int d = 0;; ++d) {
            CComPtr<IDevice> device;
            if (FAILED(m_root->EnumDevice(d, device.Put())))
                break;
            DeviceInfo info{};
            ASSERT_HRESULT_SUCCEEDED(device->GetDeviceInfo(&info));
            CoTaskMemFree(info.name);
            ReadProfiles(device.Get());
            ReadMacros(device.Get());
            CComPtr<IPollingRate> polling;
            if (SUCCEEDED(device->GetFeature(IID_PPV_ARGS(polling.Put())))) {
                int count = 0;
                int* rates = nullptr;
                ASSERT_HRESULT_SUCCEEDED(polling->GetSupportedRates(&count, &rates));
                CoTaskMemFree(rates);
            }
            CComPtr<IApplicationList> apps;
            ASSERT_HRESULT_SUCCEEDED(device->GetFeature(IID_PPV_ARGS(apps.Put())));
            for (int i = 0;; ++i) {
                CComPtr<IApplication> app;
                if (FAILED(apps->GetApplication(i, app.Put())))
                    break;
                LPWSTR name = nullptr;
                ASSERT_HRESULT_SUCCEEDED(app->GetName(&name));
                CoTaskMemFree(name);
            }
        }
    }

private:
    void ReadProfiles(IDevice* device)
    {
        CComPtr<IProfileManager> manager;
        ASSERT_HRESULT_SUCCEEDED(device->GetFeature(IID_PPV_ARGS(manager.Put())));
        for (int i = 0;; ++i) {
            CComPtr<IProfile> profile;
            if (FAILED(manager->GetProfile(i, profile.Put())))
                break;
            LPWSTR name = nullptr;
            ASSERT_HRESULT_SUCCEEDED(profile->GetName(&name));
            CoTaskMemFree(name);
            CComPtr<IDpi> dpi;
            if (SUCCEEDED(profile->GetFeature(IID_PPV_ARGS(dpi.Put())))) {
                int count = 0;
                DpiValue* stages = nullptr;
                ASSERT_HRESULT_SUCCEEDED(dpi->GetStages(&count, &stages));
                CoTaskMemFree(stages);
            }
            CComPtr<IButtonAssignments> buttons;
            if (SUCCEEDED(profile->GetFeature(IID_PPV_ARGS(buttons.Put()))))
                ReadAssignments<IButtonAssignments, ButtonCountInfo>(buttons.Get());
            CComPtr<IKeyAssignments> keys;
            if (SUCCEEDED(profile->GetFeature(IID_PPV_ARGS(keys.Put()))))
                ReadAssignments<IKeyAssignments, KeyCountInfo>(keys.Get());
            CComPtr<IProfileProperties> props;
            ASSERT_HRESULT_SUCCEEDED(profile->GetFeature(IID_PPV_ARGS(props.Put())));
            wchar_t app[128];
            DWORD size = sizeof app;
            ASSERT_HRESULT_SUCCEEDED(props->GetProperty(hvmw::kPropLinkedApp, 0, app, 0, &size));
        }
    }

    void ReadMacros(IDevice* device)
    {
        CComPtr<IMacroManager> macros;
        ASSERT_HRESULT_SUCCEEDED(device->GetFeature(IID_PPV_ARGS(macros.Put())));
        for (int i = 0;; ++i) {
            CComPtr<IMacro> macro;
            if (FAILED(macros->GetMacro(i, macro.Put())))
                break;
            LPWSTR name = nullptr;
            ASSERT_HRESULT_SUCCEEDED(macro->GetName(&name));
            CoTaskMemFree(name);
            MacroEventBlock* block = nullptr;
            ASSERT_HRESULT_SUCCEEDED(macro->GetEvents(&block));
            CoTaskMemFree(block);
        }
    }

    IDeviceEnumerator* m_root;
};

} // namespace

TEST_F(SimTest, StateIsSharedBetweenProcessesAndResetRestoresTheFactory)
{
    const std::string factoryDump = Tool({L"dump"});
    ASSERT_NE(std::string::npos, factoryDump.find("device mouse"));
    ASSERT_NE(std::string::npos, factoryDump.find("device keyboard"));

    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    ASSERT_HRESULT_SUCCEEDED(ProfileAt(mouse, 1)->SetName(L"Written here"));
    ASSERT_HRESULT_SUCCEEDED(DeviceFeature<IPollingRate>(mouse)->SetRate(hvmw::kRate1000Hz));
    EXPECT_TRUE(Contains(DumpLines(L"mouse", L"profile 1 "), L"profile 1 {00000002-0022-0001-4876-4D7753696D00} \"Written here\""));
    EXPECT_EQ(std::vector<std::wstring>{L"polling 1"}, DumpLines(L"mouse", L"polling"));

    // The devices persist: a new root (as a new process would make) reads the change back.
    LPWSTR name = nullptr;
    ASSERT_HRESULT_SUCCEEDED(ProfileAt(Mouse(), 1)->GetName(&name));
    EXPECT_EQ(L"Written here", Take(name));

    Tool({L"reset"});
    ASSERT_HRESULT_SUCCEEDED(ProfileAt(mouse, 1)->GetName(&name)); // objects of before stay usable
    EXPECT_EQ(L"Profile 2", Take(name));
    int code = 0;
    ASSERT_HRESULT_SUCCEEDED(DeviceFeature<IPollingRate>(Mouse())->GetRate(&code));
    EXPECT_EQ(hvmw::kRate500Hz, code);
    EXPECT_EQ(factoryDump, Tool({L"dump"}));

    // One device alone.
    ASSERT_HRESULT_SUCCEEDED(ProfileAt(Keyboard(), 0)->SetName(L"Keys"));
    ASSERT_HRESULT_SUCCEEDED(ProfileAt(mouse, 0)->SetName(L"Buttons"));
    Tool({L"reset", L"keyboard"});
    EXPECT_EQ(1u, DumpLines(L"mouse", L"profile 0 ").size());
    EXPECT_NE(std::wstring::npos, DumpLines(L"mouse", L"profile 0 ")[0].find(L"\"Buttons\""));
    EXPECT_NE(std::wstring::npos, DumpLines(L"keyboard", L"profile 0 ")[0].find(L"\"Profile 1\""));

    // A state file of another kind reads as the factory state and is replaced on the next change.
    HANDLE file = CreateFileW(hvtest::TestFile(L"HvMwSim.state").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                              nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, "not a state", 11, &written, nullptr);
    CloseHandle(file);
    ASSERT_HRESULT_SUCCEEDED(ProfileAt(mouse, 0)->GetName(&name));
    EXPECT_EQ(L"Profile 1", Take(name));
    EXPECT_EQ(factoryDump, Tool({L"dump"}));

    // Values seeded for tests of the programs, as given.
    Tool({L"set", L"mouse", L"battery", L"15"});
    Tool({L"set", L"mouse", L"charging", L"2"});
    Tool({L"set", L"keyboard", L"layout", L"12"});
    CComPtr<IBattery> battery = DeviceFeature<IBattery>(Mouse());
    int level = 0;
    BYTE charging = 0;
    ASSERT_HRESULT_SUCCEEDED(battery->GetLevel(&level));
    ASSERT_HRESULT_SUCCEEDED(battery->IsCharging(&charging));
    EXPECT_EQ(15, level);
    EXPECT_EQ(hvmw::kCharged, charging);
    CComPtr<IKeyboardDevice> keyboard;
    ASSERT_HRESULT_SUCCEEDED(Keyboard().As(keyboard));
    ASSERT_HRESULT_SUCCEEDED(keyboard->GetLayout(&level));
    EXPECT_EQ(12, level);

    // The tool refuses what it does not know.
    EXPECT_EQ(2u, ToolExitCode({L"set", L"mouse", L"colour", L"1"}));
    EXPECT_EQ(2u, ToolExitCode({L"unplug", L"trackball"}));
    EXPECT_EQ(2u, ToolExitCode({L"launch"}));
}

TEST_F(SimTest, FaultsDelaysAndTheJournalServeTheTests)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IProfile> profile = ActiveProfile(mouse);
    CComPtr<IDpi> dpi = ProfileFeature<IDpi>(profile);
    const DpiValue two[] = {{800, 800}, {1600, 1600}};

    // The next two calls of one method fail with the code given, then it works again.
    Tool({L"fail", L"mouse", L"IDpi.SetStages", L"0x80004005", L"2"});
    EXPECT_EQ(E_FAIL, dpi->SetStages(2, two));
    EXPECT_EQ(E_FAIL, dpi->SetStages(2, two));
    EXPECT_HRESULT_SUCCEEDED(dpi->SetStages(2, two));
    int count = 0;
    DpiValue* stages = nullptr;
    EXPECT_HRESULT_SUCCEEDED(dpi->GetStages(&count, &stages)); // reads are not affected
    CoTaskMemFree(stages);
    EXPECT_EQ(2, count);
    // The keyboard's calls of that name are not the mouse's.
    Tool({L"fail", L"keyboard", L"IProfile.SetName", L"0x80070015", L"always"});
    EXPECT_HRESULT_SUCCEEDED(profile->SetName(L"Mouse profile"));
    CComPtr<IProfile> keyboardProfile = ActiveProfile(Keyboard());
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NOT_READY), keyboardProfile->SetName(L"x"));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NOT_READY), keyboardProfile->SetName(L"y"));
    // Every call, the root's included.
    Tool({L"fail", L"*", L"*", L"0x8007001F", L"always"});
    CComPtr<IDevice> none;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_GEN_FAILURE), Root()->EnumDevice(0, none.Put()));
    Tool({L"fail", L"clear"});
    EXPECT_HRESULT_SUCCEEDED(Root()->EnumDevice(0, none.Put()));

    // The journal: one line per mutating call, in order, failures with their code.
    const std::wstring guid = GuidText(GUID{1, 0x22, 1, {'H', 'v', 'M', 'w', 'S', 'i', 'm', 0}});
    const std::vector<std::wstring> expected = {
        L"mouse IDpi.SetStages " + guid + L" 2 800x800 1600x1600 -> 0x80004005",
        L"mouse IDpi.SetStages " + guid + L" 2 800x800 1600x1600 -> 0x80004005",
        L"mouse IDpi.SetStages " + guid + L" 2 800x800 1600x1600",
        L"mouse IProfile.SetName " + guid + L" \"Mouse profile\"",
        L"keyboard IProfile.SetName {00000001-0023-0001-4876-4D7753696D00} \"x\" -> 0x80070015",
        L"keyboard IProfile.SetName {00000001-0023-0001-4876-4D7753696D00} \"y\" -> 0x80070015",
    };
    EXPECT_EQ(expected, Journal());

    // With the reads journaled, a read of one entry among several names the entry: the same call made
    // twice is the same line twice, and two entries are two lines.
    CComPtr<IDeviceEnumerator> root = Root();
    CComPtr<IProfileManager> manager = Profiles(Mouse());
    ASSERT_TRUE(root && manager);
    SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL_READS", L"1");
    CComPtr<IProfile> first, again, second;
    CComPtr<IDevice> device;
    EXPECT_HRESULT_SUCCEEDED(manager->GetProfile(0, first.Put()));
    EXPECT_HRESULT_SUCCEEDED(manager->GetProfile(0, again.Put()));
    EXPECT_HRESULT_SUCCEEDED(manager->GetProfile(1, second.Put()));
    EXPECT_HRESULT_SUCCEEDED(root->EnumDevice(0, device.Put()));
    SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL_READS", nullptr);
    std::vector<std::wstring> reads = Journal();
    reads.erase(reads.begin(), reads.begin() + static_cast<std::ptrdiff_t>(std::min(expected.size(), reads.size())));
    // The object's serial ending each line is another matter (the same manager here, another root).
    for (std::wstring& line : reads)
        line = line.substr(0, line.rfind(L" @"));
    EXPECT_EQ((std::vector<std::wstring>{L"mouse IProfileManager.GetProfile 0", L"mouse IProfileManager.GetProfile 0",
                                         L"mouse IProfileManager.GetProfile 1", L"root IDeviceEnumerator.EnumDevice 0"}),
              reads);

    // A delay on one method: its calls wait, the others do not.
    Tool({L"delay", L"600", L"IDpi.GetRange"});
    int min = 0, max = 0, step = 0;
    DWORD start = GetTickCount();
    ASSERT_HRESULT_SUCCEEDED(dpi->GetRange(&min, &max, &step));
    EXPECT_GE(GetTickCount() - start, 550u);
    start = GetTickCount();
    ASSERT_HRESULT_SUCCEEDED(dpi->GetActiveStage(&min));
    EXPECT_LT(GetTickCount() - start, 550u);
    Tool({L"delay", L"0"});
    start = GetTickCount();
    ASSERT_HRESULT_SUCCEEDED(dpi->GetRange(&min, &max, &step));
    EXPECT_LT(GetTickCount() - start, 550u);
}

TEST_F(SimTest, TheJournalOfReadsNamesEachCallsInputsAndObject)
{
    const size_t before = Journal().size();
    SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL_READS", L"1");
    CComPtr<IDeviceEnumerator> root = Root();
    CComPtr<IDevice> first, second;
    ASSERT_HRESULT_SUCCEEDED(root->EnumDevice(0, first.Put()));
    ASSERT_HRESULT_SUCCEEDED(root->EnumDevice(1, second.Put()));
    CComPtr<IProfileManager> manager, again;
    ASSERT_HRESULT_SUCCEEDED(first->GetFeature(IID_IProfileManager, manager.PutVoid()));
    ASSERT_HRESULT_SUCCEEDED(first->GetFeature(IID_IProfileManager, again.PutVoid()));
    CComPtr<IProfile> listed, active;
    ASSERT_HRESULT_SUCCEEDED(manager->GetProfile(0, listed.Put()));
    ASSERT_HRESULT_SUCCEEDED(manager->GetActiveProfile(active.Put()));
    GUID id{};
    ASSERT_HRESULT_SUCCEEDED(listed->GetId(&id));
    ASSERT_HRESULT_SUCCEEDED(active->GetId(&id));
    CComPtr<IProfileProperties> properties;
    ASSERT_HRESULT_SUCCEEDED(listed->GetFeature(IID_IProfileProperties, properties.PutVoid()));
    wchar_t text[128] = {};
    DWORD size = sizeof text;
    ASSERT_HRESULT_SUCCEEDED(properties->GetProperty(hvmw::kPropLinkedApp, 0, text, 0, &size));
    SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL_READS", nullptr);

    std::vector<std::wstring> lines = Journal();
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(before));
    ASSERT_EQ(10u, lines.size());
    // Each line ends in the serial of its object; the same object, the same serial.
    const auto object = [&](size_t i) { return lines[i].substr(lines[i].rfind(L" @")); };
    const auto call = [&](size_t i) { return lines[i].substr(0, lines[i].rfind(L" @")); };
    const std::wstring guid = GuidText(id);
    EXPECT_EQ(L"root IDeviceEnumerator.EnumDevice 0", call(0));
    EXPECT_EQ(L"root IDeviceEnumerator.EnumDevice 1", call(1));
    EXPECT_EQ(object(0), object(1));
    EXPECT_EQ(L"mouse IDevice.GetFeature IProfileManager", call(2));
    EXPECT_EQ(lines[2], lines[3]) << "the same call on the same object reads the same";
    EXPECT_NE(object(0), object(2));
    EXPECT_EQ(L"mouse IProfileManager.GetProfile 0", call(4));
    EXPECT_EQ(L"mouse IProfileManager.GetActiveProfile", call(5));
    EXPECT_EQ(object(4), object(5)) << "the first manager asked both";
    EXPECT_EQ(L"mouse IProfile.GetId " + guid, call(6));
    EXPECT_EQ(call(6), call(7));
    EXPECT_NE(object(6), object(7)) << "two objects of one profile are two objects";
    EXPECT_EQ(L"mouse IProfile.GetFeature " + guid + L" IProfileProperties", call(8));
    EXPECT_EQ(object(6), object(8));
    EXPECT_EQ(L"mouse IProfileProperties.GetProperty " + guid + L" 0x80000002", call(9));
}

TEST_F(SimTest, ProfileMacroAndApplicationFilesRoundTrip)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IProfileManager> manager = Profiles(mouse);
    CComPtr<IProfile> profile = ProfileAt(mouse, 2);
    ASSERT_HRESULT_SUCCEEDED(profile->SetName(L"Exported"));
    const DpiValue one[] = {{2400, 2400}};
    ASSERT_HRESULT_SUCCEEDED(ProfileFeature<IDpi>(profile)->SetStages(1, one));
    const std::wstring profileFile = hvtest::TestFile(L"exported.hvp");
    DeleteFileW(profileFile.c_str());
    ASSERT_HRESULT_SUCCEEDED(profile->Export(profileFile.c_str()));

    CComPtr<IProfile> imported;
    ASSERT_HRESULT_SUCCEEDED(manager->ImportProfile(profileFile.c_str(), imported.Put()));
    GUID original{}, copy{};
    ASSERT_HRESULT_SUCCEEDED(profile->GetId(&original));
    ASSERT_HRESULT_SUCCEEDED(imported->GetId(&copy));
    EXPECT_FALSE(IsEqualGUID(original, copy));
    LPWSTR name = nullptr;
    ASSERT_HRESULT_SUCCEEDED(imported->GetName(&name));
    EXPECT_EQ(L"Exported", Take(name));
    int count = 0;
    DpiValue* stages = nullptr;
    ASSERT_HRESULT_SUCCEEDED(ProfileFeature<IDpi>(imported)->GetStages(&count, &stages));
    ASSERT_EQ(1, count);
    EXPECT_EQ(2400, stages[0].x);
    CoTaskMemFree(stages);
    EXPECT_EQ(6u, ListProfiles(manager.Get()).size());

    // A mouse profile does not fit the keyboard; a file of another kind changes nothing.
    CComPtr<IProfile> refused;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_BAD_FORMAT),
              Profiles(Keyboard())->ImportProfile(profileFile.c_str(), refused.Put()));
    const std::wstring macroFile = hvtest::TestFile(L"sample.hvm");
    CComPtr<IMacroManager> macros = DeviceFeature<IMacroManager>(mouse);
    CComPtr<IMacro> sample;
    ASSERT_HRESULT_SUCCEEDED(macros->GetMacro(0, sample.Put()));
    ASSERT_HRESULT_SUCCEEDED(sample->Export(macroFile.c_str()));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_BAD_FORMAT), manager->ImportProfile(macroFile.c_str(), refused.Put()));
    EXPECT_HRESULT_FAILED(manager->ImportProfile(hvtest::TestFile(L"missing.hvp").c_str(), refused.Put()));
    EXPECT_EQ(6u, ListProfiles(manager.Get()).size());

    // Macro and application files.
    CComPtr<IMacroManager> keyboardMacros = DeviceFeature<IMacroManager>(Keyboard());
    CComPtr<IMacro> macroCopy;
    ASSERT_HRESULT_SUCCEEDED(keyboardMacros->ImportMacro(macroFile.c_str(), macroCopy.Put()));
    ASSERT_HRESULT_SUCCEEDED(macroCopy->GetName(&name));
    EXPECT_EQ(L"Sample Macro", Take(name));
    MacroEventBlock* block = nullptr;
    ASSERT_HRESULT_SUCCEEDED(macroCopy->GetEvents(&block));
    EXPECT_EQ(3u, block->count);
    CoTaskMemFree(block);
    CComPtr<IApplicationList> apps = DeviceFeature<IApplicationList>(Keyboard());
    CComPtr<IApplication> app;
    ASSERT_HRESULT_SUCCEEDED(apps->GetApplication(0, app.Put()));
    const std::wstring appFile = hvtest::TestFile(L"app.hvm");
    ASSERT_HRESULT_SUCCEEDED(app->Export(appFile.c_str()));
    CComPtr<IApplication> appCopy;
    ASSERT_HRESULT_SUCCEEDED(apps->ImportApplication(appFile.c_str(), appCopy.Put()));
    CComPtr<IApplication> notAnApp;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_BAD_FORMAT), apps->ImportApplication(macroFile.c_str(), notAnApp.Put()));
    EXPECT_EQ(2u, DumpLines(L"keyboard", L"application ").size());
}

TEST_F(SimTest, ReadingEverythingLeaksNoTaskMemory)
{
    CComPtr<IDeviceEnumerator> root = Root();
    ASSERT_TRUE(root);
    ReadEverything reader(root.Get());
    reader.Run(); // first use: whatever COM and the C runtime set up once

    CountingSpy spy;
    ASSERT_HRESULT_SUCCEEDED(CoRegisterMallocSpy(&spy));
    for (int i = 0; i < 5; ++i)
        reader.Run();
    const long outstanding = spy.outstanding;
    const long allocations = spy.allocations;
    CoRevokeMallocSpy();
    // Per round: device and profile names, stage lists, event blocks, rate lists, assignment blocks.
    EXPECT_GE(allocations, 5 * 25);
    EXPECT_EQ(0, outstanding);

    // Every object released: the server may be unloaded.
    root.Reset();
    HMODULE server = GetModuleHandleW(L"HvMwSim.dll");
    ASSERT_NE(nullptr, server);
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(server, "DllCanUnloadNow")));
    ASSERT_NE(nullptr, canUnload);
    EXPECT_EQ(S_OK, canUnload());
}
