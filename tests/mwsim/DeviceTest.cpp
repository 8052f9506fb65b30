// Creation through COM, threads, and the mouse read and written as the configuration program does.
#include "SimTest.h"

#include "platform/Thread.h"

#include <algorithm>
#include <iterator>
#include <set>

using namespace simtest;

namespace {

std::wstring RegString(const std::wstring& key, const wchar_t* name)
{
    wchar_t value[MAX_PATH * 2] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"";
    return value;
}

// The tray program's and the configuration program's flag write: {mask, value}.
HRESULT SetFlag(IProfileProperties* props, WORD mask, bool on)
{
    ProfileFlagWrite write{mask, static_cast<WORD>(on ? 1 : 0)};
    return props->SetProperty(hvmw::kPropFlags, &write, 0, sizeof write, 0);
}

} // namespace

TEST_F(SimTest, ServerIsRegisteredAndAnswersTheMiddlewareBoundary)
{
    const std::wstring key = L"CLSID\\" + std::wstring(L"{472079C9-3628-45F7-A32E-FE00490518F1}") + L"\\InprocServer32";
    EXPECT_EQ(L"Both", RegString(key, L"ThreadingModel"));
    EXPECT_NE(std::wstring::npos, RegString(key, nullptr).find(L"HvMwSim.dll"));

    CComPtr<IDeviceEnumerator> root = Root();
    ASSERT_TRUE(root);
    const DWORD products[] = {hvmw::kProductMouse, hvmw::kProductKeyboard};
    const wchar_t* names[] = {L"VEXA Mouse", L"VEXA Keyboard"};
    for (int i = 0; i < 2; ++i) {
        CComPtr<IDevice> device;
        ASSERT_HRESULT_SUCCEEDED(root->EnumDevice(i, device.Put()));
        DeviceInfo info{};
        ASSERT_HRESULT_SUCCEEDED(device->GetDeviceInfo(&info));
        EXPECT_EQ(products[i], info.productId);
        EXPECT_EQ(1u, info.driverMajor);
        EXPECT_EQ(2u, info.driverMinor);
        EXPECT_EQ(1u, info.firmwareMajor);
        EXPECT_STREQ(names[i], info.name);
        CoTaskMemFree(info.name);

        CComPtr<IDeviceIdentity> identity;
        ASSERT_HRESULT_SUCCEEDED(device.As(identity));
        DWORD first = 0, product = 0;
        ASSERT_HRESULT_SUCCEEDED(identity->GetIds(&first, &product));
        EXPECT_EQ(products[i], product);

        CComPtr<IDeviceStatus> status;
        ASSERT_HRESULT_SUCCEEDED(device.As(status));
        BYTE flag = 0;
        EXPECT_HRESULT_SUCCEEDED(status->GetStatusFlag(&flag));
        EXPECT_NE(0, flag);
        EXPECT_EQ(E_NOTIMPL, status->Reserved3());

        CComPtr<IMouseDevice> asMouse;
        CComPtr<IKeyboardDevice> asKeyboard;
        CComPtr<IOtherDevice> asOther;
        EXPECT_EQ(i == 0, SUCCEEDED(device.As(asMouse)));
        EXPECT_EQ(i == 1, SUCCEEDED(device.As(asKeyboard)));
        EXPECT_EQ(E_NOINTERFACE, device.As(asOther));
    }
    CComPtr<IDevice> none;
    EXPECT_EQ(HVMW_E_NO_MORE_ITEMS, root->EnumDevice(2, none.Put()));
    EXPECT_FALSE(none);

    CComPtr<IDevice> byName;
    ASSERT_HRESULT_SUCCEEDED(root->GetDeviceByName(L"VEXA Keyboard", byName.Put()));
    CComPtr<IKeyboardDevice> keyboard;
    ASSERT_HRESULT_SUCCEEDED(byName.As(keyboard));
    int layout = 0;
    EXPECT_HRESULT_SUCCEEDED(keyboard->GetLayout(&layout));
    EXPECT_EQ(1, layout);
    EXPECT_HRESULT_FAILED(root->GetDeviceByName(L"VEXA Trackball", byName.Put()));

    CComPtr<ILongFirmwareVersion> version;
    ASSERT_HRESULT_SUCCEEDED(Mouse().As(version));
    BYTE v[4] = {};
    ASSERT_HRESULT_SUCCEEDED(version->GetVersion(&v[0], &v[1], &v[2], &v[3]));
    EXPECT_EQ(1, v[0]);
    EXPECT_EQ(5, v[1]);

    // Null out-pointers are refused, nothing is written anywhere.
    EXPECT_EQ(E_POINTER, root->EnumDevice(0, nullptr));
    EXPECT_EQ(E_POINTER, Mouse()->GetDeviceInfo(nullptr));
    EXPECT_EQ(E_POINTER, ActiveProfile(Mouse())->GetName(nullptr));
    EXPECT_EQ(E_POINTER, ProfileFeature<IDpi>(ActiveProfile(Mouse()))->GetStages(nullptr, nullptr));
}

// The configuration program creates the objects on its UI thread and writes from a worker thread
// that joins no apartment; the test program may create them from any apartment.
// Every indexed walk ends with the code the control tool chose; a reset brings back the default.
TEST_F(SimTest, ListsEndWithTheChosenCode)
{
    const auto ends = [&](HRESULT expected) {
        CComPtr<IDeviceEnumerator> root = Root();
        ASSERT_TRUE(root);
        CComPtr<IDevice> device;
        EXPECT_EQ(expected, root->EnumDevice(2, device.Put()));
        EXPECT_EQ(expected, root->EnumDevice(-1, device.Put()));
        CComPtr<IDevice> mouse = Mouse(), keyboard = Keyboard();
        ASSERT_TRUE(mouse && keyboard);
        CComPtr<IProfile> profile;
        EXPECT_EQ(expected, Profiles(mouse)->GetProfile(99, profile.Put()));
        CComPtr<ILed> led;
        EXPECT_EQ(expected, ProfileFeature<ILedCollection>(ActiveProfile(mouse))->GetLed(64, led.Put()));
        CComPtr<IMacro> macro;
        EXPECT_EQ(expected, DeviceFeature<IMacroManager>(mouse)->GetMacro(99, macro.Put()));
        CComPtr<IApplication> app;
        EXPECT_EQ(expected, DeviceFeature<IApplicationList>(keyboard)->GetApplication(99, app.Put()));
        CComPtr<IApmLevel> level;
        EXPECT_EQ(expected, DeviceFeature<IApm>(mouse)->GetLevel(99, level.Put()));
        // Items within the list are found either way.
        EXPECT_HRESULT_SUCCEEDED(Profiles(mouse)->GetProfile(0, profile.Put()));
        EXPECT_HRESULT_SUCCEEDED(ProfileFeature<ILedCollection>(ActiveProfile(mouse))->GetLed(0, led.Put()));
    };
    ends(HVMW_E_NO_MORE_ITEMS);
    Tool({L"listend", L"invalidarg"});
    ends(E_INVALIDARG);
    Tool({L"listend", L"nomoreitems"});
    ends(HVMW_E_NO_MORE_ITEMS);
    Tool({L"listend", L"invalidarg"});
    Tool({L"reset"});
    ends(HVMW_E_NO_MORE_ITEMS);
    EXPECT_NE(0u, ToolExitCode({L"listend", L"maybe"}));
}

TEST_F(SimTest, ObjectsServeThreadsOfAnyApartment)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IProfile> profile = ActiveProfile(mouse);
    CComPtr<IDpi> dpi = ProfileFeature<IDpi>(profile);
    ASSERT_TRUE(dpi);

    HRESULT readHr = E_FAIL, writeHr = E_FAIL, nameHr = E_FAIL;
    int readCount = 0;
    CThread worker;
    ASSERT_TRUE(worker.Start([&]() -> unsigned {
        DpiValue* stages = nullptr;
        readHr = dpi->GetStages(&readCount, &stages);
        CoTaskMemFree(stages);
        const DpiValue two[] = {{400, 400}, {2000, 2000}};
        writeHr = dpi->SetStages(2, two);
        nameHr = profile->SetName(L"From the worker");
        return 0;
    }));
    ASSERT_TRUE(worker.JoinDispatchingSent(20000));
    EXPECT_HRESULT_SUCCEEDED(readHr);
    EXPECT_EQ(5, readCount);
    EXPECT_HRESULT_SUCCEEDED(writeHr);
    EXPECT_HRESULT_SUCCEEDED(nameHr);

    int count = 0;
    DpiValue* stages = nullptr;
    ASSERT_HRESULT_SUCCEEDED(dpi->GetStages(&count, &stages));
    ASSERT_EQ(2, count);
    EXPECT_EQ(2000, stages[1].x);
    CoTaskMemFree(stages);

    // A multithreaded apartment creates its own root and sees the same device.
    std::wstring seen;
    CThread mta;
    ASSERT_TRUE(mta.Start([&]() -> unsigned {
        if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
            return 1;
        {
            CComPtr<IDeviceEnumerator> root;
            CComPtr<IDevice> device;
            CComPtr<IProfileManager> manager;
            CComPtr<IProfile> active;
            LPWSTR name = nullptr;
            if (SUCCEEDED(CoCreateInstance(CLSID_HvMwApi, nullptr, HVMW_CLSCTX, IID_PPV_ARGS(root.Put()))) &&
                SUCCEEDED(root->EnumDevice(0, device.Put())) &&
                SUCCEEDED(device->GetFeature(IID_PPV_ARGS(manager.Put()))) &&
                SUCCEEDED(manager->GetActiveProfile(active.Put())) && SUCCEEDED(active->GetName(&name)))
                seen = Take(name);
        }
        CoUninitialize();
        return 0;
    }));
    ASSERT_TRUE(mta.JoinDispatchingSent(20000));
    EXPECT_EQ(L"From the worker", seen);
}

TEST_F(SimTest, MouseReadsAsTheFactoryDevice)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IProfileManager> manager = Profiles(mouse);
    const auto profiles = ListProfiles(manager.Get());
    ASSERT_EQ(5u, profiles.size());
    std::set<std::wstring> ids;
    for (size_t i = 0; i < profiles.size(); ++i) {
        EXPECT_EQ(L"Profile " + std::to_wstring(i + 1), profiles[i].first);
        ids.insert(GuidText(profiles[i].second));
        CComPtr<IProfile> byId;
        EXPECT_HRESULT_SUCCEEDED(manager->GetProfileById(profiles[i].second, byId.Put()));
    }
    EXPECT_EQ(5u, ids.size());
    CComPtr<IProfile> active = ActiveProfile(mouse);
    GUID activeId{};
    ASSERT_HRESULT_SUCCEEDED(active->GetId(&activeId));
    EXPECT_TRUE(IsEqualGUID(profiles[0].second, activeId));

    // DPI: stage information, range, stages, active stage and values.
    CComPtr<IDpi> dpi = ProfileFeature<IDpi>(active);
    StageInfo info{};
    ASSERT_HRESULT_SUCCEEDED(dpi->GetStageInfo(&info));
    EXPECT_EQ(5, info.maxStages);
    int min = 0, max = 0, step = 0;
    ASSERT_HRESULT_SUCCEEDED(dpi->GetRange(&min, &max, &step));
    EXPECT_EQ(100, min);
    EXPECT_EQ(5600, max);
    EXPECT_EQ(100, step);
    int count = 0;
    DpiValue* stages = nullptr;
    ASSERT_HRESULT_SUCCEEDED(dpi->GetStages(&count, &stages));
    ASSERT_EQ(5, count);
    const int factory[] = {800, 1200, 1800, 4000, 5600};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(factory[i], stages[i].x);
        EXPECT_EQ(factory[i], stages[i].y);
    }
    CoTaskMemFree(stages);
    int stage = 0;
    ASSERT_HRESULT_SUCCEEDED(dpi->GetActiveStage(&stage));
    EXPECT_EQ(3, stage);
    DpiValue value{};
    ASSERT_HRESULT_SUCCEEDED(dpi->GetActiveDpi(&value));
    EXPECT_EQ(1800, value.x);
    EXPECT_EQ(1800, value.y);
    CComPtr<ISensitivityScaler> scaler = ProfileFeature<ISensitivityScaler>(active);
    ASSERT_HRESULT_SUCCEEDED(scaler->GetRange(&min, &max, &step));
    EXPECT_EQ(1, min);
    EXPECT_EQ(10, max);

    // Buttons: 11 of them, each as the configuration program's default map writes it.
    CComPtr<IButtonAssignments> buttons = ProfileFeature<IButtonAssignments>(active);
    ButtonCountInfo countInfo{};
    ASSERT_HRESULT_SUCCEEDED(buttons->GetCount(&countInfo));
    EXPECT_EQ(11, countInfo.count);
    EXPECT_EQ(0x7FFu, countInfo.mask);
    const auto records = ReadAssignments<IButtonAssignments, ButtonCountInfo>(buttons.Get());
    ASSERT_EQ(11u, records.size());
    const DWORD codes[] = {hvmw::kFnClick, hvmw::kFnMenu, hvmw::kFnUniversalScroll, hvmw::kFnBackward,
                           hvmw::kFnForward, hvmw::kFnDpiDown, hvmw::kFnDpiUp, hvmw::kFnScrollUp,
                           hvmw::kFnScrollDown};
    for (DWORD i = 0; i < 11; ++i) {
        EXPECT_EQ(i + 1, records[i].id);
        EXPECT_EQ(i < 9 ? hvmw::kKindFunction : hvmw::kKindNone, records[i].kind) << "button " << i + 1;
        if (i < 9) {
            EXPECT_EQ(codes[i], records[i].Code()) << "button " << i + 1;
        }
    }
    AssignmentRecord one{};
    one.id = hvmw::kButton7;
    AssignmentRecord* oneBlock = &one;
    int oneCount = 1;
    ASSERT_HRESULT_SUCCEEDED(buttons->GetAssignments(&oneCount, &oneBlock));
    EXPECT_EQ(hvmw::kFnDpiUp, one.Code());

    // Properties: no linked program (the empty text), on-screen DPI and profile flags set.
    CComPtr<IProfileProperties> props = ProfileFeature<IProfileProperties>(active);
    wchar_t app[hvmw::kLinkedAppChars];
    std::fill(std::begin(app), std::end(app), L'x');
    DWORD size = sizeof app;
    ASSERT_HRESULT_SUCCEEDED(props->GetProperty(hvmw::kPropLinkedApp, 0, app, 0, &size));
    EXPECT_EQ(sizeof(wchar_t), size);
    EXPECT_EQ(L'\0', app[0]);
    WORD flags = 0;
    size = sizeof flags;
    ASSERT_HRESULT_SUCCEEDED(props->GetProperty(hvmw::kPropFlags, 0, &flags, 0, &size));
    EXPECT_EQ(hvmw::kFlagOsdDpi | hvmw::kFlagOsdProfile, flags);

    // Lighting: LEDs 1, 2, 10, 11 with colour, brightness and effect.
    CComPtr<ILedCollection> leds = ProfileFeature<ILedCollection>(active);
    std::vector<int> ledIds;
    for (int i = 0;; ++i) {
        CComPtr<ILed> led;
        if (FAILED(leds->GetLed(i, led.Put())))
            break;
        int id = 0;
        BOOL on = FALSE;
        ASSERT_HRESULT_SUCCEEDED(led->GetId(&id));
        ASSERT_HRESULT_SUCCEEDED(led->GetState(&on));
        ledIds.push_back(id);
        CComPtr<ILEDColor> color;
        CComPtr<ILEDBrightness> brightness;
        CComPtr<ILedEffect> effect;
        ASSERT_HRESULT_SUCCEEDED(led.As(color));
        ASSERT_HRESULT_SUCCEEDED(led.As(brightness));
        ASSERT_HRESULT_SUCCEEDED(led.As(effect));
        COLORREF rgb = 0;
        int percent = 0, e = -1, duration = -1, delay = -1;
        EXPECT_HRESULT_SUCCEEDED(color->GetColor(&rgb));
        EXPECT_HRESULT_SUCCEEDED(brightness->GetBrightness(&percent));
        EXPECT_HRESULT_SUCCEEDED(effect->GetEffect(&e, &duration, &delay));
        EXPECT_TRUE(on);
        EXPECT_EQ(0xFF0000u, rgb);
        EXPECT_EQ(100, percent);
        EXPECT_EQ(0, e);
    }
    EXPECT_EQ((std::vector<int>{1, 2, 10, 11}), ledIds);

    // Device-wide features.
    CComPtr<IAcceleration> accel = DeviceFeature<IAcceleration>(mouse);
    BOOL enabled = TRUE;
    int level = 0;
    ASSERT_HRESULT_SUCCEEDED(accel->IsEnabled(&enabled));
    ASSERT_HRESULT_SUCCEEDED(accel->GetLevel(&level));
    EXPECT_FALSE(enabled);
    EXPECT_EQ(5, level);
    CComPtr<IPollingRate> polling = DeviceFeature<IPollingRate>(mouse);
    int code = 0, rateCount = 0;
    int* rates = nullptr;
    ASSERT_HRESULT_SUCCEEDED(polling->GetRate(&code));
    EXPECT_EQ(hvmw::kRate500Hz, code);
    ASSERT_HRESULT_SUCCEEDED(polling->GetSupportedRates(&rateCount, &rates));
    ASSERT_EQ(3, rateCount);
    EXPECT_EQ(125, rates[0]);
    EXPECT_EQ(1000, rates[2]);
    CoTaskMemFree(rates);
    CComPtr<IBattery> battery = DeviceFeature<IBattery>(mouse);
    BYTE charging = 0xFF;
    int percent = 0;
    ASSERT_HRESULT_SUCCEEDED(battery->GetLevel(&percent));
    ASSERT_HRESULT_SUCCEEDED(battery->IsCharging(&charging));
    EXPECT_EQ(80, percent);
    EXPECT_EQ(hvmw::kNotCharging, charging);
    CComPtr<IDeviceMode> mode = DeviceFeature<IDeviceMode>(mouse);
    int modeValue = 0;
    ASSERT_HRESULT_SUCCEEDED(mode->GetMode(&modeValue));
    EXPECT_EQ(hvmw::kModeNormal, modeValue);

    // One sample macro; its block is {0, count, events, 8 spare bytes}.
    CComPtr<IMacroManager> macros = DeviceFeature<IMacroManager>(mouse);
    CComPtr<IMacro> macro;
    ASSERT_HRESULT_SUCCEEDED(macros->GetMacro(0, macro.Put()));
    EXPECT_HRESULT_FAILED(macros->GetMacro(1, CComPtr<IMacro>().Put()));
    LPWSTR name = nullptr;
    ASSERT_HRESULT_SUCCEEDED(macro->GetName(&name));
    EXPECT_EQ(L"Sample Macro", Take(name));
    MacroEventBlock* block = nullptr;
    ASSERT_HRESULT_SUCCEEDED(macro->GetEvents(&block));
    ASSERT_TRUE(block);
    EXPECT_EQ(0u, block->reserved);
    ASSERT_EQ(3u, block->count);
    EXPECT_EQ(hvmw::kMacroKey, block->Events()[0].type);
    EXPECT_EQ(0x1E, block->Events()[0].Value());
    EXPECT_EQ(hvmw::kMacroDelay, block->Events()[1].type);
    EXPECT_EQ(hvmw::kMacroKeyBreak, block->Events()[2].Flags());
    const BYTE* spare = reinterpret_cast<const BYTE*>(block->Events() + 3);
    EXPECT_EQ(0, spare[0] | spare[7]);
    CoTaskMemFree(block);

    // APM levels in ascending order, 16 event colours.
    CComPtr<IApm> apm = DeviceFeature<IApm>(mouse);
    std::vector<int> limits;
    for (int i = 0;; ++i) {
        CComPtr<IApmLevel> apmLevel;
        if (FAILED(apm->GetLevel(i, apmLevel.Put())))
            break;
        int limit = 0;
        ASSERT_HRESULT_SUCCEEDED(apmLevel->GetUpperLimit(&limit));
        limits.push_back(limit);
    }
    EXPECT_EQ((std::vector<int>{60, 120, 250}), limits);
    CComPtr<IApmEventColors> events;
    ASSERT_HRESULT_SUCCEEDED(apm.As(events));
    for (int e = 1; e <= 16; ++e) {
        int eventLevel = 0;
        BYTE on = 0;
        ASSERT_HRESULT_SUCCEEDED(events->GetEventLevel(e, &eventLevel));
        ASSERT_HRESULT_SUCCEEDED(events->GetEventEnabled(e, &on));
        EXPECT_EQ(2 + (e - 1) % 4, eventLevel);
        EXPECT_EQ(1, on);
    }
    int dummy = 0;
    EXPECT_EQ(E_INVALIDARG, events->GetEventLevel(17, &dummy));

    // The mouse has no keyboard features.
    CComPtr<IKeyboardRedirector> redirector;
    EXPECT_EQ(E_NOINTERFACE, mouse->GetFeature(IID_PPV_ARGS(redirector.Put())));
    CComPtr<IKeyAssignments> keys;
    EXPECT_EQ(E_NOINTERFACE, active->GetFeature(IID_PPV_ARGS(keys.Put())));
}

TEST_F(SimTest, AClearedLinkReadsAsTheEmptyText)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IProfileProperties> props = ProfileFeature<IProfileProperties>(ProfileAt(mouse, 1));
    ASSERT_TRUE(props);
    auto read = [&](wchar_t (&buffer)[hvmw::kLinkedAppChars], DWORD* size) {
        *size = sizeof buffer;
        return props->GetProperty(hvmw::kPropLinkedApp, 0, buffer, 0, size);
    };

    // Linked as the configuration program writes it: the text in a 256-byte buffer.
    wchar_t link[hvmw::kLinkedAppChars] = L"arena.exe";
    ASSERT_HRESULT_SUCCEEDED(props->SetProperty(hvmw::kPropLinkedApp, link, 0, sizeof link, 0));
    wchar_t shown[hvmw::kLinkedAppChars] = {};
    DWORD size = 0;
    ASSERT_HRESULT_SUCCEEDED(read(shown, &size));
    EXPECT_STREQ(L"arena.exe", shown);
    EXPECT_EQ(sizeof L"arena.exe", size);

    // Cleared with 256 zero bytes: the read answers the empty text over what the buffer held, its
    // size counting the terminator, so that a reader can tell it from no answer.
    const wchar_t none[hvmw::kLinkedAppChars] = {};
    ASSERT_HRESULT_SUCCEEDED(props->SetProperty(hvmw::kPropLinkedApp, none, 0, sizeof none, 0));
    ASSERT_HRESULT_SUCCEEDED(read(shown, &size));
    EXPECT_EQ(sizeof(wchar_t), size);
    EXPECT_STREQ(L"", shown);
    const std::vector<std::wstring> apps = DumpLines(L"mouse", L" app ");
    ASSERT_GT(apps.size(), 1u);
    EXPECT_EQ(L" app \"\"", apps[1]);
    // The path of any length agrees: the terminator alone.
    wchar_t path[4] = {L'x', L'x', L'x', L'x'};
    size = sizeof path;
    ASSERT_HRESULT_SUCCEEDED(props->GetProperty(hvmw::kPropAppPath, 0, path, 0, &size));
    EXPECT_EQ(sizeof(wchar_t), size);
    EXPECT_EQ(L'\0', path[0]);

    // A buffer without room for the terminator is refused untouched and learns the bytes needed.
    BYTE tiny = 0xCC;
    size = sizeof tiny;
    EXPECT_EQ(HVMW_E_MORE_DATA, props->GetProperty(hvmw::kPropLinkedApp, 0, &tiny, 0, &size));
    EXPECT_EQ(sizeof(wchar_t), size);
    EXPECT_EQ(0xCC, tiny);

    // A path longer than the fixed form holds is cut at the buffer and still terminated.
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'p') + L".exe";
    ASSERT_HRESULT_SUCCEEDED(props->SetProperty(hvmw::kPropAppPath, longPath.c_str(), 0,
                                                static_cast<DWORD>((longPath.size() + 1) * sizeof(wchar_t)), 0));
    std::fill(std::begin(shown), std::end(shown), L'x');
    ASSERT_HRESULT_SUCCEEDED(read(shown, &size));
    EXPECT_EQ(hvmw::kLinkedAppBytes, size);
    EXPECT_EQ(longPath.substr(0, hvmw::kLinkedAppChars - 1), shown);
}

TEST_F(SimTest, MouseTakesWhatTheConfigurationProgramWrites)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IProfileManager> manager = Profiles(mouse);

    // A profile without GUID is created on the device and named.
    CComPtr<IProfile> profile;
    ASSERT_HRESULT_SUCCEEDED(manager->AddProfile(profile.Put()));
    GUID id{};
    ASSERT_HRESULT_SUCCEEDED(profile->GetId(&id));
    ASSERT_HRESULT_SUCCEEDED(profile->SetName(L"Gaming"));

    // Properties: linked program in a 256-byte buffer, then one flag bit per write.
    CComPtr<IProfileProperties> props = ProfileFeature<IProfileProperties>(profile);
    wchar_t path[128] = L"game.exe";
    ASSERT_HRESULT_SUCCEEDED(props->SetProperty(hvmw::kPropLinkedApp, path, 0, sizeof path, 0));
    ASSERT_HRESULT_SUCCEEDED(SetFlag(props.Get(), hvmw::kFlagAutoSwitch, true));
    ASSERT_HRESULT_SUCCEEDED(SetFlag(props.Get(), hvmw::kFlagOsdDpi, false));
    ASSERT_HRESULT_SUCCEEDED(SetFlag(props.Get(), hvmw::kFlagOsdProfile, true));
    wchar_t readBack[128] = {};
    DWORD size = sizeof readBack;
    ASSERT_HRESULT_SUCCEEDED(props->GetProperty(hvmw::kPropLinkedApp, 0, readBack, 0, &size));
    EXPECT_STREQ(L"game.exe", readBack);
    EXPECT_NE(0u, size);
    // The path of any length: a 2-byte buffer learns the size it needs.
    wchar_t tiny = 0;
    size = sizeof tiny;
    ASSERT_EQ(HVMW_E_MORE_DATA, props->GetProperty(hvmw::kPropAppPath, 0, &tiny, 0, &size));
    EXPECT_EQ(18u, size);

    // DPI: the stage list, the current stage, then the sensitivity as active values.
    CComPtr<IDpi> dpi = ProfileFeature<IDpi>(profile);
    const DpiValue stages[] = {{400, 400}, {900, 1000}, {3200, 3200}};
    ASSERT_HRESULT_SUCCEEDED(dpi->SetStages(3, stages));
    ASSERT_HRESULT_SUCCEEDED(dpi->SetActiveStage(2));
    ASSERT_HRESULT_SUCCEEDED(dpi->SetActiveDpi(1000, 1200));

    // Buttons, one record per call: button 4 plays the sample macro three times.
    CComPtr<IMacroManager> macros = DeviceFeature<IMacroManager>(mouse);
    CComPtr<IMacro> sample;
    ASSERT_HRESULT_SUCCEEDED(macros->GetMacro(0, sample.Put()));
    GUID sampleId{};
    ASSERT_HRESULT_SUCCEEDED(sample->GetId(&sampleId));
    CComPtr<IButtonAssignments> buttons = ProfileFeature<IButtonAssignments>(profile);
    AssignmentRecord record{};
    record.source = 1;
    record.id = hvmw::kButton4;
    record.kind = hvmw::kKindMacroRepeat;
    record.SetTargetGuid(sampleId);
    record.SetRepeatMode(hvmw::kRepeatCount);
    record.SetRepeatCount(3);
    ASSERT_HRESULT_SUCCEEDED(buttons->SetAssignments(1, &record));

    // Lighting of LED 10.
    CComPtr<ILed> led;
    ASSERT_HRESULT_SUCCEEDED(ProfileFeature<ILedCollection>(profile)->GetLedById(hvmw::kLedUnderglow, led.Put()));
    CComPtr<ILEDColor> color;
    CComPtr<ILEDBrightness> brightness;
    CComPtr<ILedEffect> effect;
    ASSERT_HRESULT_SUCCEEDED(led.As(color));
    ASSERT_HRESULT_SUCCEEDED(led.As(brightness));
    ASSERT_HRESULT_SUCCEEDED(led.As(effect));
    ASSERT_HRESULT_SUCCEEDED(led->TurnOff());
    ASSERT_HRESULT_SUCCEEDED(color->SetColor(0x00FF00));
    ASSERT_HRESULT_SUCCEEDED(brightness->SetBrightness(40));
    ASSERT_HRESULT_SUCCEEDED(effect->SetEffect(hvmw::kEffectPulsating, 0, 0));

    // Device-wide: acceleration, polling rate, macros, APM, power management, active profile.
    CComPtr<IAcceleration> accel = DeviceFeature<IAcceleration>(mouse);
    ASSERT_HRESULT_SUCCEEDED(accel->SetLevel(7));
    ASSERT_HRESULT_SUCCEEDED(accel->Enable());
    ASSERT_HRESULT_SUCCEEDED(DeviceFeature<IPollingRate>(mouse)->SetRate(hvmw::kRate125Hz));
    CComPtr<IMacro> combo;
    ASSERT_HRESULT_SUCCEEDED(macros->AddMacro(combo.Put()));
    ASSERT_HRESULT_SUCCEEDED(combo->SetName(L"Combo"));
    auto* block = static_cast<MacroEventBlock*>(CoTaskMemAlloc(MacroEventBlock::Bytes(2)));
    std::memset(block, 0, MacroEventBlock::Bytes(2));
    block->count = 2;
    block->Events()[0] = MacroEventRecord::Make(hvmw::kMacroMouse, 0x10, 0);
    block->Events()[1] = MacroEventRecord::Delay(250);
    ASSERT_HRESULT_SUCCEEDED(combo->SetEvents(block));
    CoTaskMemFree(block);
    ASSERT_HRESULT_SUCCEEDED(macros->DeleteMacro(sample.Get()));
    CComPtr<IApm> apm = DeviceFeature<IApm>(mouse);
    CComPtr<IApmLevel> level;
    ASSERT_HRESULT_SUCCEEDED(apm->AddLevel(90, level.Put()));
    ASSERT_HRESULT_SUCCEEDED(level->SetColor(0x123456));
    CComPtr<IApmEventColors> events;
    ASSERT_HRESULT_SUCCEEDED(apm.As(events));
    ASSERT_HRESULT_SUCCEEDED(events->SetEventColor(3, 0xABCDEF));
    ASSERT_HRESULT_SUCCEEDED(events->SetEventEnabled(3, FALSE));
    CComPtr<IPowerManagement> power = DeviceFeature<IPowerManagement>(mouse);
    ASSERT_HRESULT_SUCCEEDED(power->SetCriticalLevel(15));
    ASSERT_HRESULT_SUCCEEDED(power->SetSleepTime(600));
    ASSERT_HRESULT_SUCCEEDED(manager->SetActiveProfile(profile.Get()));

    // Read back through COM, as the configuration program's read does.
    int count = 0;
    DpiValue* got = nullptr;
    ASSERT_HRESULT_SUCCEEDED(dpi->GetStages(&count, &got));
    ASSERT_EQ(3, count);
    EXPECT_EQ(900, got[1].x);
    EXPECT_EQ(1000, got[1].y);
    CoTaskMemFree(got);
    AssignmentRecord four{};
    four.id = hvmw::kButton4;
    AssignmentRecord* fourBlock = &four;
    int one = 1;
    ASSERT_HRESULT_SUCCEEDED(buttons->GetAssignments(&one, &fourBlock));
    EXPECT_EQ(hvmw::kKindMacroRepeat, four.kind);
    EXPECT_TRUE(IsEqualGUID(sampleId, four.TargetGuid()));
    EXPECT_EQ(3, four.RepeatCount());

    // And from another process.
    const std::wstring guid = GuidText(id);
    EXPECT_EQ(std::vector<std::wstring>{L"active " + guid}, DumpLines(L"mouse", L"active "));
    EXPECT_EQ(std::vector<std::wstring>{L"profile 5 " + guid + L" \"Gaming\""}, DumpLines(L"mouse", L"profile 5 "));
    const auto all = DumpLines(L"mouse", L"");
    auto has = [&](const std::wstring& line) { return std::find(all.begin(), all.end(), line) != all.end(); };
    EXPECT_TRUE(has(L" app \"game.exe\""));
    EXPECT_TRUE(has(L" flags 0x0005"));
    EXPECT_TRUE(has(L" dpi active-stage 2 active 1000x1200 stages 400x400 900x1000 3200x3200"));
    EXPECT_TRUE(has(L" led 10 on 0 color 0x00FF00 brightness 40 effect 2 0 0 caps 111"));
    EXPECT_TRUE(has(L"acceleration 1 level 7"));
    EXPECT_TRUE(has(L"polling 8"));
    EXPECT_TRUE(has(L" events 2, mouse 0x10 0x0, delay 250"));
    EXPECT_TRUE(has(L"apm-level upper 90 color 0x123456"));
    EXPECT_TRUE(has(L"apm-event 3 level 4 color 0xABCDEF enabled 0"));
    EXPECT_TRUE(has(L"power critical 15 max-led 100 sleep 600"));
    EXPECT_TRUE(DumpLines(L"mouse", L"macro 0 ")[0].find(L"\"Combo\"") != std::wstring::npos);
}
