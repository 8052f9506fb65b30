#include "mwsim/SimState.h"

#include <algorithm>
#include <cwchar>

namespace mwsim {

const wchar_t* DevName(Dev dev)
{
    return dev == Dev::Mouse ? L"mouse" : L"keyboard";
}

bool ParseDev(const std::wstring& text, Dev* dev)
{
    if (_wcsicmp(text.c_str(), L"mouse") == 0) {
        *dev = Dev::Mouse;
        return true;
    }
    if (_wcsicmp(text.c_str(), L"keyboard") == 0) {
        *dev = Dev::Keyboard;
        return true;
    }
    return false;
}

const std::vector<KeyRow>& KeyTable()
{
    static const std::vector<KeyRow> rows = {
#define HV_KEY(name, scan, prefix, vk, onBoard) {name, scan, prefix, vk, (onBoard) != 0},
#include "mwsim/KeyTable.inc"
#undef HV_KEY
    };
    return rows;
}

const DeviceFacts& FactsOf(Dev dev)
{
    static const DeviceFacts mouse{hvmw::kProductMouse, L"VEXA Mouse", 1, 2, 1, 5, {1, 5, 0, 7}};
    static const DeviceFacts keyboard{hvmw::kProductKeyboard, L"VEXA Keyboard", 1, 2, 1, 3, {1, 3, 0, 2}};
    return dev == Dev::Mouse ? mouse : keyboard;
}

int Clamp(int value, int lo, int hi)
{
    return value < lo ? lo : value > hi ? hi : value;
}

GUID NewGuid(Dev dev, DeviceState& device, uint32_t kind)
{
    // {serial-product-kind-"HvMwSim"}: unique per device; the factory's are the same after every reset.
    ++device.serial;
    GUID id{};
    id.Data1 = device.serial;
    id.Data2 = static_cast<unsigned short>(FactsOf(dev).productId);
    id.Data3 = static_cast<unsigned short>(kind);
    static const unsigned char tail[8] = {'H', 'v', 'M', 'w', 'S', 'i', 'm', 0};
    std::memcpy(id.Data4, tail, sizeof tail);
    return id;
}

namespace {

AssignmentRecord FunctionRecord(DWORD id, DWORD code)
{
    AssignmentRecord r{};
    r.source = 1;
    r.id = id;
    r.kind = hvmw::kKindFunction;
    r.SetCode(code);
    return r;
}

// What the configuration program's default button map writes: buttons 10 and 11 have no default
// there, so they leave the factory unmapped.
std::vector<AssignmentRecord> FactoryButtons()
{
    using namespace hvmw;
    std::vector<AssignmentRecord> v = {
        FunctionRecord(kButtonLeft, kFnClick),        FunctionRecord(kButtonRight, kFnMenu),
        FunctionRecord(kButtonMiddle, kFnUniversalScroll), FunctionRecord(kButton4, kFnBackward),
        FunctionRecord(kButton5, kFnForward),         FunctionRecord(kButton6, kFnDpiDown),
        FunctionRecord(kButton7, kFnDpiUp),           FunctionRecord(kButtonScrollUp, kFnScrollUp),
        FunctionRecord(kButtonScrollDown, kFnScrollDown),
    };
    for (DWORD id : {kButtonDpiUp, kButtonDpiDown}) {
        AssignmentRecord r{};
        r.source = 1;
        r.id = id;
        r.kind = kKindNone;
        v.push_back(r);
    }
    return v;
}

// Every key sends itself: the configuration program reads each as its default key.
std::vector<AssignmentRecord> FactoryKeys()
{
    std::vector<AssignmentRecord> v;
    for (const KeyRow& key : KeyTable()) {
        if (!key.onBoard)
            continue;
        AssignmentRecord r{};
        r.source = 1;
        r.id = key.DeviceCode();
        r.kind = hvmw::kKindKey;
        r.SetMakeCode(key.scan);
        r.SetModifiers(key.prefix != 0 ? hvmw::kModExtended : 0);
        v.push_back(r);
    }
    std::sort(v.begin(), v.end(), [](const AssignmentRecord& a, const AssignmentRecord& b) { return a.id < b.id; });
    return v;
}

LedState Led(int id, bool on, COLORREF color, bool hasEffect = true)
{
    LedState led;
    led.id = id;
    led.on = on ? 1 : 0;
    led.color = color;
    led.brightness = 100;
    led.hasEffect = hasEffect ? 1 : 0;
    return led;
}

StageSet Stages(std::initializer_list<int> values, int activeStage)
{
    StageSet set;
    for (int v : values)
        set.stages.push_back({v, v});
    set.activeStage = activeStage;
    set.active = set.stages[activeStage - 1];
    return set;
}

// The LED control's calibration LEDs (the mouse's).
std::vector<LedState> FactoryDeviceLeds()
{
    return {Led(hvmw::kLedCalScrollWheel, true, 0xFFFFFF, false), Led(hvmw::kLedSwScrollWheel, true, 0xFFFFFF, false),
            Led(hvmw::kLedSwLogo, true, 0xFFFFFF, false), Led(hvmw::kLedCalLogo, true, 0xFFFFFF, false)};
}

} // namespace

bool FactoryLed(Dev dev, bool deviceLed, int id, LedState* led)
{
    static const std::vector<LedState> mouse = FactoryProfile(Dev::Mouse, GUID{}, std::wstring()).leds;
    static const std::vector<LedState> keyboard = FactoryProfile(Dev::Keyboard, GUID{}, std::wstring()).leds;
    static const std::vector<LedState> control = FactoryDeviceLeds(); // the keyboard has no LED control
    if (deviceLed && dev != Dev::Mouse)
        return false;
    const std::vector<LedState>& leds = deviceLed ? control : dev == Dev::Mouse ? mouse : keyboard;
    for (const LedState& l : leds)
        if (l.id == id) {
            *led = l;
            return true;
        }
    return false;
}

ProfileState FactoryProfile(Dev dev, const GUID& id, const std::wstring& name)
{
    ProfileState p;
    p.id = id;
    p.name = name;
    RestoreProfileDefaults(dev, p);
    return p;
}

void RestoreProfileDefaults(Dev dev, ProfileState& p)
{
    p.appPath.clear();
    if (dev == Dev::Mouse) {
        p.flags = hvmw::kFlagOsdDpi | hvmw::kFlagOsdProfile;
        p.dpi = Stages({800, 1200, 1800, 4000, 5600}, 3);
        p.scaler = Stages({1, 3, 5, 7, 10}, 3);
        p.assignments = FactoryButtons();
        p.leds = {Led(hvmw::kLedScrollWheel, true, 0xFF0000), Led(hvmw::kLedDpi, true, 0xFF0000),
                  Led(hvmw::kLedUnderglow, true, 0xFF0000), Led(hvmw::kLedSideStripe, true, 0xFF0000)};
    } else {
        p.flags = 0;
        p.dpi = StageSet{};
        p.scaler = StageSet{};
        p.assignments = FactoryKeys();
        p.leds = {Led(hvmw::kLedBacklight, true, 0xFF0000), Led(hvmw::kLedMacroRecord, false, 0x0000FF),
                  Led(hvmw::kLedSideStripe, true, 0xFF0000)};
    }
}

void ResetDevice(SimState& state, Dev dev)
{
    DeviceState& d = state.Of(dev);
    // A reset is the device's own: it stays plugged in or out as it was, and objects handed out
    // before stay valid (the factory profiles keep their ids).
    const uint32_t generation = d.generation;
    const uint8_t present = d.present;
    const uint32_t serial = d.serial;
    d = DeviceState{};
    d.generation = generation;
    d.present = present;
    for (int i = 0; i < kFactoryProfiles; ++i) {
        const GUID id = NewGuid(dev, d, kGuidProfile);
        d.profiles.push_back(FactoryProfile(dev, id, L"Profile " + std::to_wstring(i + 1)));
    }
    d.activeProfile = d.profiles[0].id;
    if (dev == Dev::Mouse) {
        MacroState macro;
        macro.id = NewGuid(dev, d, kGuidMacro);
        macro.name = L"Sample Macro";
        macro.events = {MacroEventRecord::Make(hvmw::kMacroKey, 0x1E, 0), MacroEventRecord::Delay(50),
                        MacroEventRecord::Make(hvmw::kMacroKey, 0x1E, hvmw::kMacroKeyBreak)};
        d.macros.push_back(macro);
        const COLORREF levelColors[] = {0x00FF00, 0x00FFFF, 0x0000FF};
        const int limits[] = {60, 120, 250};
        for (int i = 0; i < 3; ++i)
            d.apmLevels.push_back({++d.serial, limits[i], levelColors[i]});
        const COLORREF eventColors[] = {0xFF, 0xFF00, 0xFF0000};
        for (int i = 0; i < hvmw::kApmLastEvent; ++i)
            d.apmEvents.push_back({2 + i % 4, eventColors[i % 3], 1});
        d.deviceLeds = FactoryDeviceLeds();
    } else {
        AppState app;
        app.id = NewGuid(dev, d, kGuidApp);
        app.name = L"C:\\windows\\notepad.exe";
        d.apps.push_back(app);
    }
    // The factory ids are the same after every reset; what is made from now on gets ids never handed
    // out before, so that an object of before the reset cannot come to stand for something new.
    d.serial = std::max(d.serial, serial);
}

SimState FactoryState()
{
    SimState state;
    ResetDevice(state, Dev::Mouse);
    ResetDevice(state, Dev::Keyboard);
    return state;
}

void ResetAll(SimState& state)
{
    // The devices as ResetDevice leaves them, no test hooks; the connections and clients of the
    // running programs stay.
    SimState fresh;
    for (int i = 0; i < kDeviceCount; ++i) {
        fresh.devices[i] = std::move(state.devices[i]);
        ResetDevice(fresh, static_cast<Dev>(i));
    }
    fresh.connections = std::move(state.connections);
    fresh.nextCookie = state.nextCookie;
    fresh.clients = std::move(state.clients);
    fresh.mail = std::move(state.mail);
    state = std::move(fresh);
}

std::wstring GuidText(const GUID& id)
{
    wchar_t text[40];
    swprintf(text, 40, L"{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned long>(id.Data1),
             id.Data2, id.Data3, id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5],
             id.Data4[6], id.Data4[7]);
    return text;
}

} // namespace mwsim
