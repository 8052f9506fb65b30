// The keyboard as the configuration program reads and writes it and as the tray program records a
// macro on it.
#include "SimTest.h"

#include <algorithm>

using namespace simtest;

namespace {

struct Key
{
    const wchar_t* name;
    unsigned scan, prefix, vk, onBoard;
};
const Key kKeys[] = {
#define HV_KEY(name, scan, prefix, vk, onBoard) {name, scan, prefix, vk, onBoard},
#include "mwsim/KeyTable.inc"
#undef HV_KEY
};

std::wstring PayloadHex(const AssignmentRecord& record)
{
    std::wstring hex;
    for (BYTE b : record.payload) {
        wchar_t two[3];
        swprintf(two, 3, L"%02X", b);
        hex += two;
    }
    return hex;
}

} // namespace

TEST_F(SimTest, KeyboardReadsEveryKeyOfTheTableAsItsDefault)
{
    CComPtr<IDevice> keyboard = Keyboard();
    ASSERT_TRUE(keyboard);
    CComPtr<IProfile> active = ActiveProfile(keyboard);
    CComPtr<IKeyAssignments> keys = ProfileFeature<IKeyAssignments>(active);
    KeyCountInfo info{};
    ASSERT_HRESULT_SUCCEEDED(keys->GetCount(&info));
    EXPECT_EQ(104, info.count);
    EXPECT_EQ(104, info.count2);

    auto records = ReadAssignments<IKeyAssignments, KeyCountInfo>(keys.Get());
    ASSERT_EQ(104u, records.size());
    EXPECT_TRUE(std::is_sorted(records.begin(), records.end(),
                               [](const AssignmentRecord& a, const AssignmentRecord& b) { return a.id < b.id; }));
    size_t onBoard = 0;
    for (const Key& key : kKeys) {
        const DWORD code = key.scan | (key.prefix == 1 ? hvmw::kKeyCodeE0 : key.prefix == 2 ? hvmw::kKeyCodeE1 : 0);
        auto it = std::find_if(records.begin(), records.end(), [&](const AssignmentRecord& r) { return r.id == code; });
        if (!key.onBoard) {
            EXPECT_EQ(records.end(), it) << Narrow(key.name);
            continue;
        }
        ++onBoard;
        ASSERT_NE(records.end(), it) << Narrow(key.name);
        EXPECT_EQ(hvmw::kKindKey, it->kind) << Narrow(key.name);
        EXPECT_EQ(key.scan, it->MakeCode()) << Narrow(key.name);
        EXPECT_EQ(key.prefix ? hvmw::kModExtended : 0u, it->Modifiers()) << Narrow(key.name);
    }
    EXPECT_EQ(104u, onBoard);
    // The prefixed keys: Pause is the E1 key, Right Control an E0 key.
    EXPECT_TRUE(std::any_of(records.begin(), records.end(), [](const AssignmentRecord& r) { return r.id == 0x40045; }));
    EXPECT_TRUE(std::any_of(records.begin(), records.end(), [](const AssignmentRecord& r) { return r.id == 0x2001D; }));

    // One key alone: the test program presets the id and asks for one record.
    AssignmentRecord one{};
    one.id = 0x1E;
    AssignmentRecord* block = &one;
    int count = 1;
    ASSERT_HRESULT_SUCCEEDED(keys->GetAssignments(&count, &block));
    EXPECT_EQ(0x1E, one.MakeCode());

    // LEDs 5, 7 and 11; no DPI, buttons or battery.
    CComPtr<ILedCollection> leds = ProfileFeature<ILedCollection>(active);
    for (int id : {hvmw::kLedBacklight, hvmw::kLedMacroRecord, hvmw::kLedSideStripe}) {
        CComPtr<ILed> led;
        EXPECT_HRESULT_SUCCEEDED(leds->GetLedById(id, led.Put())) << id;
    }
    CComPtr<ILed> missing;
    EXPECT_EQ(HVMW_E_NOT_FOUND, leds->GetLedById(hvmw::kLedDpi, missing.Put()));
    CComPtr<IDpi> dpi;
    EXPECT_EQ(E_NOINTERFACE, active->GetFeature(IID_PPV_ARGS(dpi.Put())));
    CComPtr<IButtonAssignments> buttons;
    EXPECT_EQ(E_NOINTERFACE, active->GetFeature(IID_PPV_ARGS(buttons.Put())));
    CComPtr<IBattery> battery;
    EXPECT_EQ(E_NOINTERFACE, keyboard->GetFeature(IID_PPV_ARGS(battery.Put())));

    // One sample application; flags all clear.
    CComPtr<IApplicationList> apps = DeviceFeature<IApplicationList>(keyboard);
    CComPtr<IApplication> app;
    ASSERT_HRESULT_SUCCEEDED(apps->GetApplication(0, app.Put()));
    LPWSTR name = nullptr;
    ASSERT_HRESULT_SUCCEEDED(app->GetName(&name));
    EXPECT_FALSE(Take(name).empty());
    EXPECT_HRESULT_FAILED(apps->GetApplication(1, app.Put()));
    WORD flags = 0xFFFF;
    DWORD size = sizeof flags;
    ASSERT_HRESULT_SUCCEEDED(ProfileFeature<IProfileProperties>(active)->GetProperty(hvmw::kPropFlags, 0, &flags, 0, &size));
    EXPECT_EQ(0, flags);
}

TEST_F(SimTest, KeyboardTakesTheWritesOfBothPrograms)
{
    CComPtr<IDevice> keyboard = Keyboard();
    ASSERT_TRUE(keyboard);
    CComPtr<IProfileManager> manager = Profiles(keyboard);
    CComPtr<IProfile> active = ActiveProfile(keyboard);

    // The configuration program's key write: Caps Lock becomes Ctrl+Escape.
    CComPtr<IKeyAssignments> keys = ProfileFeature<IKeyAssignments>(active);
    AssignmentRecord record{};
    record.source = 1;
    record.id = 0x3A;
    record.kind = hvmw::kKindKey;
    record.SetMakeCode(0x01);
    record.SetModifiers(hvmw::kModCtrl);
    ASSERT_HRESULT_SUCCEEDED(keys->SetAssignments(1, &record));

    // The tray program's on-the-fly recording: device mode 2, the macro LED, a new macro assigned
    // to a key with a record whose first word is 0, then the profile made active again.
    CComPtr<IDeviceMode> mode = DeviceFeature<IDeviceMode>(keyboard);
    ASSERT_HRESULT_SUCCEEDED(mode->SetMode(hvmw::kModeDefault));
    CComPtr<ILed> led;
    ASSERT_HRESULT_SUCCEEDED(ProfileFeature<ILedCollection>(active)->GetLedById(hvmw::kLedMacroRecord, led.Put()));
    CComPtr<ILEDColor> color;
    CComPtr<ILedEffect> effect;
    ASSERT_HRESULT_SUCCEEDED(led.As(color));
    ASSERT_HRESULT_SUCCEEDED(led.As(effect));
    ASSERT_HRESULT_SUCCEEDED(color->SetColor(0x0000FF));
    ASSERT_HRESULT_SUCCEEDED(effect->SetEffect(hvmw::kEffectBlinking, 300, 300));
    ASSERT_HRESULT_SUCCEEDED(led->TurnOn());

    CComPtr<IMacroManager> macros = DeviceFeature<IMacroManager>(keyboard);
    CComPtr<IMacro> macro;
    ASSERT_HRESULT_SUCCEEDED(macros->AddMacro(macro.Put()));
    ASSERT_HRESULT_SUCCEEDED(macro->SetName(L"New Macro1"));
    auto* block = static_cast<MacroEventBlock*>(CoTaskMemAlloc(MacroEventBlock::Bytes(3)));
    std::memset(block, 0, MacroEventBlock::Bytes(3));
    block->count = 3;
    block->Events()[0] = MacroEventRecord::Make(hvmw::kMacroKey, 0x1E, 0);
    block->Events()[1] = MacroEventRecord::Delay(120);
    block->Events()[2] = MacroEventRecord::Make(hvmw::kMacroKey, 0x1E, hvmw::kMacroKeyBreak);
    ASSERT_HRESULT_SUCCEEDED(macro->SetEvents(block));
    CoTaskMemFree(block);
    GUID macroId{};
    ASSERT_HRESULT_SUCCEEDED(macro->GetId(&macroId));
    AssignmentRecord trayRecord{};
    trayRecord.source = 0;
    trayRecord.id = 0x30;
    trayRecord.kind = hvmw::kKindMacroRepeat;
    trayRecord.SetTargetGuid(macroId);
    trayRecord.SetRepeatMode(1);
    ASSERT_HRESULT_SUCCEEDED(keys->SetAssignments(1, &trayRecord));
    ASSERT_HRESULT_SUCCEEDED(manager->SetActiveProfile(active.Get()));
    ASSERT_HRESULT_SUCCEEDED(mode->SetMode(hvmw::kModeNormal));

    // Applications and the redirector.
    CComPtr<IApplicationList> apps = DeviceFeature<IApplicationList>(keyboard);
    CComPtr<IApplication> app;
    ASSERT_HRESULT_SUCCEEDED(apps->AddApplication(app.Put()));
    ASSERT_HRESULT_SUCCEEDED(app->SetName(L"C:\\Games\\game.exe"));
    GUID appId{};
    ASSERT_HRESULT_SUCCEEDED(app->GetId(&appId));
    CComPtr<IApplication> again;
    ASSERT_HRESULT_SUCCEEDED(apps->GetApplicationById(appId, again.Put()));
    LPWSTR name = nullptr;
    ASSERT_HRESULT_SUCCEEDED(again->GetName(&name));
    EXPECT_EQ(L"C:\\Games\\game.exe", Take(name));
    CComPtr<IKeyboardRedirector> redirector = DeviceFeature<IKeyboardRedirector>(keyboard);
    ASSERT_HRESULT_SUCCEEDED(redirector->Enable());
    BYTE on = 0;
    ASSERT_HRESULT_SUCCEEDED(redirector->IsEnabled(&on));
    EXPECT_EQ(1, on);

    // What another process sees.
    const auto all = DumpLines(L"keyboard", L"");
    auto has = [&](const std::wstring& line) { return std::find(all.begin(), all.end(), line) != all.end(); };
    EXPECT_TRUE(has(L" assign 0x0003A src 1 kind 5 data " + PayloadHex(record)));
    EXPECT_EQ(L"010000000004", PayloadHex(record).substr(0, 12)); // make code at 12, Ctrl in the word at 14
    EXPECT_TRUE(has(L" assign 0x00030 src 0 kind 8 data " + PayloadHex(trayRecord)));
    EXPECT_TRUE(has(L" led 7 on 1 color 0x0000FF brightness 100 effect 1 300 300 caps 111"));
    EXPECT_TRUE(has(L" events 3, key 0x1E 0x0, delay 120, key 0x1E 0x1"));
    EXPECT_TRUE(has(L"mode 1"));
    EXPECT_TRUE(has(L"redirector 1"));
    EXPECT_TRUE(has(L"application 1 " + GuidText(appId) + L" \"C:\\\\Games\\\\game.exe\""));
}
