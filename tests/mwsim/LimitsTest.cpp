// What the devices clamp, what they refuse, and how objects of a gone target fail.
#include "SimTest.h"

using namespace simtest;

TEST_F(SimTest, DevicesClampWhatTheConfigurationMayPass)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IProfile> active = ActiveProfile(mouse);
    CComPtr<IDpi> dpi = ProfileFeature<IDpi>(active);

    // A current stage above the enabled count becomes the last stage.
    ASSERT_HRESULT_SUCCEEDED(dpi->SetActiveStage(9));
    int stage = 0;
    ASSERT_HRESULT_SUCCEEDED(dpi->GetActiveStage(&stage));
    EXPECT_EQ(5, stage);
    // Fewer stages pull the current stage along; values go into the range.
    const DpiValue two[] = {{50, 50}, {9000, 2500}};
    ASSERT_HRESULT_SUCCEEDED(dpi->SetStages(2, two));
    ASSERT_HRESULT_SUCCEEDED(dpi->GetActiveStage(&stage));
    EXPECT_EQ(2, stage);
    int count = 0;
    DpiValue* stages = nullptr;
    ASSERT_HRESULT_SUCCEEDED(dpi->GetStages(&count, &stages));
    ASSERT_EQ(2, count);
    EXPECT_EQ(100, stages[0].x);
    EXPECT_EQ(5600, stages[1].x);
    EXPECT_EQ(2500, stages[1].y);
    CoTaskMemFree(stages);
    ASSERT_HRESULT_SUCCEEDED(dpi->SetActiveDpi(0, 99999));
    DpiValue value{};
    ASSERT_HRESULT_SUCCEEDED(dpi->GetActiveDpi(&value));
    EXPECT_EQ(100, value.x);
    EXPECT_EQ(5600, value.y);

    // Brightness beyond 0..100, acceleration beyond 1..10.
    CComPtr<ILed> led;
    ASSERT_HRESULT_SUCCEEDED(ProfileFeature<ILedCollection>(active)->GetLed(0, led.Put()));
    CComPtr<ILEDBrightness> brightness;
    ASSERT_HRESULT_SUCCEEDED(led.As(brightness));
    int percent = 0;
    ASSERT_HRESULT_SUCCEEDED(brightness->SetBrightness(250));
    ASSERT_HRESULT_SUCCEEDED(brightness->GetBrightness(&percent));
    EXPECT_EQ(100, percent);
    ASSERT_HRESULT_SUCCEEDED(brightness->SetBrightness(-5));
    ASSERT_HRESULT_SUCCEEDED(brightness->GetBrightness(&percent));
    EXPECT_EQ(0, percent);
    CComPtr<IAcceleration> accel = DeviceFeature<IAcceleration>(mouse);
    int level = 0;
    ASSERT_HRESULT_SUCCEEDED(accel->SetLevel(20));
    ASSERT_HRESULT_SUCCEEDED(accel->GetLevel(&level));
    EXPECT_EQ(10, level);
}

TEST_F(SimTest, DevicesRefuseOnlyWhatADeviceRefuses)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IProfileManager> manager = Profiles(mouse);
    CComPtr<IProfile> active = ActiveProfile(mouse);

    // Stage counts outside 1..5 are refused with E_ACCESSDENIED and change nothing.
    CComPtr<IDpi> dpi = ProfileFeature<IDpi>(active);
    const DpiValue six[6] = {{800, 800}, {800, 800}, {800, 800}, {800, 800}, {800, 800}, {800, 800}};
    EXPECT_EQ(E_ACCESSDENIED, dpi->SetStages(6, six));
    EXPECT_EQ(E_ACCESSDENIED, dpi->SetStages(0, six));
    StageInfo info{};
    ASSERT_HRESULT_SUCCEEDED(dpi->GetStageInfo(&info));
    EXPECT_EQ(5, info.reserved);

    // At most 20 profiles; the last profile stays.
    for (int i = 5; i < 20; ++i) {
        CComPtr<IProfile> added;
        ASSERT_HRESULT_SUCCEEDED(manager->AddProfile(added.Put())) << i;
    }
    CComPtr<IProfile> tooMany;
    EXPECT_EQ(HVMW_E_FULL, manager->AddProfile(tooMany.Put()));
    EXPECT_FALSE(tooMany);
    while (ListProfiles(manager.Get()).size() > 1) {
        CComPtr<IProfile> first;
        ASSERT_HRESULT_SUCCEEDED(manager->GetProfile(0, first.Put()));
        ASSERT_HRESULT_SUCCEEDED(manager->DeleteProfile(first.Get()));
    }
    CComPtr<IProfile> last;
    ASSERT_HRESULT_SUCCEEDED(manager->GetProfile(0, last.Put()));
    EXPECT_EQ(E_ACCESSDENIED, manager->DeleteProfile(last.Get()));
    // The active profile was deleted on the way: the remaining one took over.
    CComPtr<IProfile> nowActive;
    ASSERT_HRESULT_SUCCEEDED(manager->GetActiveProfile(nowActive.Put()));
    GUID lastId{}, activeId{};
    ASSERT_HRESULT_SUCCEEDED(last->GetId(&lastId));
    ASSERT_HRESULT_SUCCEEDED(nowActive->GetId(&activeId));
    EXPECT_TRUE(IsEqualGUID(lastId, activeId));
    // A handle of a deleted profile fails cleanly.
    LPWSTR name = nullptr;
    EXPECT_EQ(HVMW_E_DELETED, active->GetName(&name));
    EXPECT_EQ(nullptr, name);
    EXPECT_EQ(HVMW_E_DELETED, dpi->GetStageInfo(&info));

    // Unknown ids.
    CComPtr<IProfile> unknown;
    EXPECT_EQ(HVMW_E_NOT_FOUND, manager->GetProfileById(GUID{1, 2, 3, {4}}, unknown.Put()));
    CComPtr<IButtonAssignments> buttons = ProfileFeature<IButtonAssignments>(last);
    AssignmentRecord batch[2] = {};
    batch[0].id = hvmw::kButtonLeft;
    batch[0].kind = hvmw::kKindFunction;
    batch[0].SetCode(hvmw::kFnDisabled);
    batch[1].id = 12;
    EXPECT_EQ(HVMW_E_NOT_FOUND, buttons->SetAssignments(2, batch));
    const auto records = ReadAssignments<IButtonAssignments, ButtonCountInfo>(buttons.Get());
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(hvmw::kFnClick, records[0].Code()); // nothing of the refused batch was stored
    CComPtr<ILed> led;
    EXPECT_EQ(HVMW_E_NOT_FOUND, ProfileFeature<ILedCollection>(last)->GetLedById(hvmw::kLedLogo, led.Put()));
    EXPECT_EQ(E_INVALIDARG, DeviceFeature<IPollingRate>(mouse)->SetRate(3));
    EXPECT_EQ(E_INVALIDARG, DeviceFeature<IDeviceMode>(mouse)->SetMode(7));

    // APM limits may not pass a neighbour's; a limit in use is refused.
    CComPtr<IApm> apm = DeviceFeature<IApm>(mouse);
    CComPtr<IApmLevel> middle;
    ASSERT_HRESULT_SUCCEEDED(apm->GetLevel(1, middle.Put()));
    EXPECT_EQ(E_ACCESSDENIED, middle->SetUpperLimit(250));
    EXPECT_EQ(E_ACCESSDENIED, middle->SetUpperLimit(60));
    EXPECT_HRESULT_SUCCEEDED(middle->SetUpperLimit(200));
    CComPtr<IApmLevel> duplicate;
    EXPECT_EQ(E_ACCESSDENIED, apm->AddLevel(200, duplicate.Put()));
    ASSERT_HRESULT_SUCCEEDED(apm->DeleteLevel(middle.Get()));
    int limit = 0;
    EXPECT_EQ(HVMW_E_DELETED, middle->GetUpperLimit(&limit));

    // A deleted macro's handle, and a macro block larger than the device holds.
    CComPtr<IMacroManager> macros = DeviceFeature<IMacroManager>(mouse);
    CComPtr<IMacro> macro;
    ASSERT_HRESULT_SUCCEEDED(macros->GetMacro(0, macro.Put()));
    MacroEventBlock huge{0, 100000};
    EXPECT_EQ(E_INVALIDARG, macro->SetEvents(&huge));
    ASSERT_HRESULT_SUCCEEDED(macros->DeleteMacro(macro.Get()));
    MacroEventBlock* block = nullptr;
    EXPECT_EQ(HVMW_E_DELETED, macro->GetEvents(&block));
    EXPECT_EQ(nullptr, block);
    EXPECT_EQ(HVMW_E_NOT_FOUND, macros->DeleteMacro(macro.Get()));
}

TEST_F(SimTest, UnpluggedDeviceIsNotListedAndItsObjectsFail)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IProfile> profile = ActiveProfile(mouse);
    CComPtr<IDpi> dpi = ProfileFeature<IDpi>(profile);

    Tool({L"unplug", L"mouse"});
    EXPECT_EQ(std::vector<std::wstring>{L"device mouse product 0x22 present 0"}, DumpLines(L"mouse", L"device "));
    CComPtr<IDeviceEnumerator> root = Root();
    CComPtr<IDevice> first, second;
    ASSERT_HRESULT_SUCCEEDED(root->EnumDevice(0, first.Put()));
    DeviceInfo info{};
    ASSERT_HRESULT_SUCCEEDED(first->GetDeviceInfo(&info));
    CoTaskMemFree(info.name);
    EXPECT_EQ(hvmw::kProductKeyboard, info.productId);
    EXPECT_EQ(HVMW_E_NO_MORE_ITEMS, root->EnumDevice(1, second.Put()));
    EXPECT_HRESULT_FAILED(root->GetDeviceByName(L"VEXA Mouse", second.Put()));

    int count = 0;
    DpiValue* stages = nullptr;
    EXPECT_EQ(HVMW_E_DEVICE_GONE, dpi->GetStages(&count, &stages));
    EXPECT_EQ(nullptr, stages);
    EXPECT_EQ(HVMW_E_DEVICE_GONE, profile->SetName(L"ghost"));
    EXPECT_EQ(HVMW_E_DEVICE_GONE, mouse->GetDeviceInfo(&info));
    CComPtr<IProfileManager> manager;
    EXPECT_EQ(HVMW_E_DEVICE_GONE, mouse->GetFeature(IID_PPV_ARGS(manager.Put())));
    // The keyboard goes on working.
    CComPtr<IProfile> keyboardProfile = ActiveProfile(Keyboard());
    EXPECT_HRESULT_SUCCEEDED(keyboardProfile->SetName(L"Still here"));

    // Plugged in again: listed, new objects work, objects of the earlier plug-in stay dead.
    Tool({L"plug", L"mouse"});
    CComPtr<IDevice> again = Mouse();
    ASSERT_TRUE(again);
    LPWSTR name = nullptr;
    ASSERT_HRESULT_SUCCEEDED(ActiveProfile(again)->GetName(&name));
    EXPECT_EQ(L"Profile 1", Take(name));
    EXPECT_EQ(HVMW_E_DEVICE_GONE, dpi->GetStages(&count, &stages));
}
