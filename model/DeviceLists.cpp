// The device-wide steps of reading and writing a device: acceleration, polling rate, macros,
// applications, APM, battery, power management and the long firmware version.
#include "model/DeviceSteps.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/CodeTables.h"
#include "platform/WStr.h"

using namespace hvmw;

namespace {

constexpr uint16_t kScanNumLockOrPause = 69;

// The bytes the task allocator gave a block, 0 when unknown.
size_t TaskBlockSize(const void* block)
{
    IMalloc* malloc = nullptr;
    if (!block || FAILED(::CoGetMalloc(1, &malloc)) || !malloc)
        return 0;
    const SIZE_T size = malloc->GetSize(const_cast<void*>(block));
    malloc->Release();
    return size == static_cast<SIZE_T>(-1) ? 0 : size;
}

MacroEvent KeyEventFromDevice(const MacroEventRecord& record)
{
    uint16_t scan = record.Value();
    bool extended = (record.Flags() & kMacroKeyE0) != 0;
    const bool up = (record.Flags() & kMacroKeyBreak) != 0;
    uint16_t vk = 0;
    if (scan == kScanNumLockOrPause) {
        // The device tells Pause from Num Lock by the extended flag alone.
        vk = extended ? VK_PAUSE : VK_NUMLOCK;
        extended = false;
    } else {
        vk = static_cast<uint16_t>(::MapVirtualKeyW(scan | (extended ? 0xE000u : 0u), MAPVK_VSC_TO_VK_EX));
    }
    MacroEvent event;
    event.type = kMacroEventKey;
    event.value = static_cast<int32_t>((static_cast<uint32_t>(vk) << 16) | scan);
    event.extra = (up ? kKeyStateReleased : kKeyStatePressed) | (extended ? kKeyFlagExtended << 8 : 0);
    return event;
}

// Device macros as read, before they replace the configuration's.
struct CReadMacro
{
    std::wstring name;
    GUID guid{};
    std::vector<MacroEvent> events;
};

// Name, GUID and events of a device macro; false when any of them cannot be read.
bool ReadDeviceMacro(IMacro* macro, CReadMacro& out)
{
    CTaskString name;
    if (FAILED(macro->GetName(name.Put())) || FAILED(macro->GetId(&out.guid)))
        return false;
    out.name = name.Text();
    MacroEventBlock* block = nullptr;
    if (FAILED(macro->GetEvents(&block)))
        return false;
    out.events = FromDeviceEvents(block);
    ::CoTaskMemFree(block);
    return true;
}

// Whether a write may delete the device item id: one the configuration was shown and no longer holds.
bool MayDelete(const CKnownItems* known, const std::vector<GUID> CKnownItems::*list, const GUID& id)
{
    return known && CKnownItems::Holds(known->*list, id);
}

int RoundDiv(long long numerator, long long denominator)
{
    if (denominator == 0)
        return 0;
    return static_cast<int>(std::llround(static_cast<double>(numerator) / static_cast<double>(denominator)));
}

} // namespace

// ---- acceleration and polling rate ----

bool WriteAcceleration(IDevice* device, const IMouseConfig& config)
{
    const CConfigFilled& filled = config.GetFilled();
    if (!filled.accelerationLevel && !filled.accelerationEnabled)
        return true;
    CComPtr<IAcceleration> acceleration;
    if (FAILED(GetDeviceFeature(device, acceleration)))
        return false;
    bool ok = true;
    if (filled.accelerationLevel)
        ok = SUCCEEDED(acceleration->SetLevel(config.GetAcceleration()));
    if (filled.accelerationEnabled)
        ok = SUCCEEDED(config.GetAccelerationEnabled() ? acceleration->Enable() : acceleration->Disable()) && ok;
    return ok;
}

bool ReadAcceleration(IDevice* device, IMouseConfig& config)
{
    CComPtr<IAcceleration> acceleration;
    int level = 0;
    BOOL enabled = FALSE;
    if (FAILED(GetDeviceFeature(device, acceleration)) || FAILED(acceleration->GetLevel(&level)) ||
        FAILED(acceleration->IsEnabled(&enabled)))
        return false;
    config.SetAcceleration(level);
    config.SetAccelerationEnabled(enabled != FALSE);
    return true;
}

bool WritePollingRate(IDevice* device, const IMouseConfig& config)
{
    if (!config.GetFilled().pollingRate)
        return true;
    CComPtr<IPollingRate> rate;
    const int32_t code = PollingRateCodeFromIndex(config.GetPollingRate());
    return code >= 0 && SUCCEEDED(GetDeviceFeature(device, rate)) && SUCCEEDED(rate->SetRate(code));
}

bool ReadPollingRate(IDevice* device, IMouseConfig& config)
{
    CComPtr<IPollingRate> rate;
    return SUCCEEDED(GetDeviceFeature(device, rate)) && ReadPollingRate(rate.Get(), config);
}

bool ReadPollingRate(IPollingRate* rate, IMouseConfig& config)
{
    int code = 0;
    if (!rate || FAILED(rate->GetRate(&code)))
        return false;
    config.SetPollingRate(PollingRateIndexFromCode(code));
    return true;
}

bool ReadSupportedPollingRates(IDevice* device, std::vector<int32_t>& list, CComPtr<IPollingRate>* feature)
{
    list.clear();
    CComPtr<IPollingRate> rate;
    int count = 0;
    int* rates = nullptr;
    if (FAILED(GetDeviceFeature(device, rate)) || FAILED(rate->GetSupportedRates(&count, &rates)))
        return false;
    if (rates && count > 0)
        list.assign(rates, rates + std::min(count, 64));
    ::CoTaskMemFree(rates);
    if (feature)
        *feature = std::move(rate);
    return true;
}

// ---- macro events ----

std::vector<MacroEventRecord> ToDeviceEvents(const std::vector<MacroEvent>& events)
{
    std::vector<MacroEventRecord> records;
    for (const MacroEvent& e : events) {
        switch (e.type) {
        case kMacroEventKey: {
            const uint16_t scan = static_cast<uint16_t>(e.value & 0xFFFF);
            const uint16_t vk = static_cast<uint16_t>(static_cast<uint32_t>(e.value) >> 16);
            const bool up = (e.extra & 0xFF) != kKeyStatePressed;
            const bool extended = (e.extra & (kKeyFlagExtended << 8)) != 0 || vk == VK_PAUSE;
            records.push_back(MacroEventRecord::Make(
                kMacroKey, scan, static_cast<WORD>((up ? kMacroKeyBreak : 0) | (extended ? kMacroKeyE0 : 0))));
            break;
        }
        case kMacroEventMouse:
            records.push_back(MacroEventRecord::Make(
                kMacroMouse, static_cast<WORD>(CodeTables()->BitFromMouseEvent(e.value, e.extra & 0xFF)), 0));
            break;
        case kMacroEventDelay:
            records.push_back(MacroEventRecord::Delay(static_cast<DWORD>(std::clamp(e.value, 0, kMaxMacroDelay))));
            break;
        default:
            break;
        }
    }
    return records;
}

std::vector<MacroEvent> FromDeviceEvents(const MacroEventBlock* block)
{
    std::vector<MacroEvent> events;
    if (!block)
        return events;
    // The count is the middleware's word: checked against the block's size where the allocator
    // can tell it, and never more than a macro holds.
    size_t count = std::min<size_t>(block->count, kMaxMacroEvents);
    const size_t bytes = TaskBlockSize(block);
    if (bytes != 0)
        count = std::min(count, (bytes - std::min(bytes, sizeof(MacroEventBlock))) / sizeof(MacroEventRecord));
    const MacroEventRecord* records = block->Events();
    for (size_t i = 0; i < count; ++i) {
        const MacroEventRecord& r = records[i];
        switch (r.type) {
        case kMacroKey:
            events.push_back(KeyEventFromDevice(r));
            break;
        case kMacroMouse: {
            MouseButtonEvent button{};
            if (CodeTables()->MouseEventFromBit(r.Value(), button))
                events.push_back({kMacroEventMouse, button.button, button.state});
            break;
        }
        case kMacroDelay:
            events.push_back({kMacroEventDelay, static_cast<int32_t>(std::min<DWORD>(r.Millis(), kMaxMacroDelay)), 0});
            break;
        default:
            break;   // a record this program does not know is left out
        }
    }
    return events;
}

HRESULT SetDeviceEvents(IMacro* macro, const std::vector<MacroEvent>& events)
{
    const std::vector<MacroEventRecord> records = ToDeviceEvents(events);
    const size_t bytes = MacroEventBlock::Bytes(records.size());
    auto* block = static_cast<MacroEventBlock*>(::CoTaskMemAlloc(bytes));
    if (!block)
        return E_OUTOFMEMORY;
    std::memset(block, 0, bytes);
    block->count = static_cast<DWORD>(records.size());
    std::copy(records.begin(), records.end(), block->Events());
    const HRESULT hr = macro->SetEvents(block);
    ::CoTaskMemFree(block);
    return hr;
}

bool CreateDeviceMacro(IMacroManager* manager, CMacro& macro)
{
    CComPtr<IMacro> created;
    GUID id{};
    if (!manager || FAILED(manager->AddMacro(created.Put())))
        return false;
    if (FAILED(created->GetId(&id))) {
        manager->DeleteMacro(created.Get());
        return false;
    }
    if (FAILED(created->SetName(macro.GetName()))) {
        // Kept only when it cannot be deleted either: then the configuration knows it by its GUID
        // and the next write names it.
        if (FAILED(manager->DeleteMacro(created.Get())))
            macro.SetGuid(id);
        return false;
    }
    macro.SetGuid(id);
    return SUCCEEDED(SetDeviceEvents(created.Get(), macro.GetEvents()));
}

// ---- macros ----

template <class ProfileItf>
bool WriteMacros(IDevice* device, IBaseConfig<ProfileItf>& config, const CKnownItems* known)
{
    CComPtr<IMacroManager> manager;
    if (FAILED(GetDeviceFeature(device, manager)))
        return false;
    bool ok = DeleteUnwantedItems<IMacro>(
        [&](int i, IMacro** out) { return manager->GetMacro(i, out); },
        [&](IMacro* macro) { return manager->DeleteMacro(macro); },
        [&](const GUID& id) {
            return config.FindMacroByGuid(id) != nullptr || !MayDelete(known, &CKnownItems::macros, id);
        });
    for (int i = 0; i < config.GetMacroCount(); ++i) {
        CMacro* macro = config.GetMacro(i);
        CComPtr<IMacro> existing;
        // Made again only where the device says it has none such: a lookup that merely failed
        // would make a second copy.
        const HRESULT found =
            hv::IsNullGUID(macro->GetGuid()) ? HVMW_E_NOT_FOUND : manager->GetMacroById(macro->GetGuid(), existing.Put());
        if (found == HVMW_E_NOT_FOUND) {
            ok = CreateDeviceMacro(manager.Get(), *macro) && ok;
            continue;
        }
        if (FAILED(found) || !existing) {
            ok = false;
            continue;
        }
        CReadMacro read;
        if (ReadDeviceMacro(existing.Get(), read)) {
            CMacro onDevice(read.name.c_str(), read.events);
            onDevice.SetGuid(read.guid);
            if (onDevice == *macro)
                continue;
        } else {
            ok = false;
        }
        if (!wstr::EqualsNoCase(read.name, macro->GetName()))
            ok = SUCCEEDED(existing->SetName(macro->GetName())) && ok;
        ok = SUCCEEDED(SetDeviceEvents(existing.Get(), macro->GetEvents())) && ok;
    }
    return ok;
}

template <class ProfileItf>
bool ReadMacros(IDevice* device, IBaseConfig<ProfileItf>& config)
{
    CComPtr<IMacroManager> manager;
    if (FAILED(GetDeviceFeature(device, manager)))
        return false;
    std::vector<CReadMacro> macros;
    if (!ReadEachItem<IMacro>([&](int i, IMacro** out) { return manager->GetMacro(i, out); }, [&](IMacro* macro) {
            CReadMacro read;
            if (!ReadDeviceMacro(macro, read))
                return false;
            macros.push_back(std::move(read));
            return true;
        }))
        return false;
    // The device's macros replace the configuration's, every one kept, an empty one too.
    while (config.GetMacroCount() > 0)
        config.RemoveMacro(config.GetMacro(0));
    for (const CReadMacro& read : macros)
        config.AddMacroKeepingName(read.name.c_str(), read.events)->SetGuid(read.guid);
    return true;
}

// ---- applications ----

bool WriteApplications(IDevice* device, IKeyboardConfig& config, const CKnownItems* known)
{
    CComPtr<IApplicationList> list;
    if (FAILED(GetDeviceFeature(device, list)))
        return false;
    bool ok = DeleteUnwantedItems<IApplication>(
        [&](int i, IApplication** out) { return list->GetApplication(i, out); },
        [&](IApplication* app) { return list->DeleteApplication(app); },
        [&](const GUID& id) {
            return config.FindAppByGuid(id) != nullptr || !MayDelete(known, &CKnownItems::apps, id);
        });
    for (int i = 0; i < config.GetAppCount(); ++i) {
        CHvApp* app = config.GetApp(i);
        CComPtr<IApplication> existing;
        const HRESULT found =
            hv::IsNullGUID(app->guid) ? HVMW_E_NOT_FOUND : list->GetApplicationById(app->guid, existing.Put());
        if (FAILED(found) && found != HVMW_E_NOT_FOUND) {
            ok = false;
            continue;
        }
        if (found == HVMW_E_NOT_FOUND || !existing) {
            GUID id{};
            if (FAILED(list->AddApplication(existing.Put())) || FAILED(existing->GetId(&id))) {
                ok = false;
                continue;
            }
            // As with macros: no nameless application stays behind.
            if (FAILED(existing->SetName(app->name.c_str()))) {
                ok = false;
                if (SUCCEEDED(list->DeleteApplication(existing.Get())))
                    continue;
            }
            app->guid = id;
            continue;
        }
        CTaskString name;
        if (FAILED(existing->GetName(name.Put())) || name.Text() != app->name)
            ok = SUCCEEDED(existing->SetName(app->name.c_str())) && ok;
    }
    return ok;
}

bool ReadApplications(IDevice* device, IKeyboardConfig& config)
{
    CComPtr<IApplicationList> list;
    if (FAILED(GetDeviceFeature(device, list)))
        return false;
    std::vector<CHvApp> apps;
    if (!ReadEachItem<IApplication>([&](int i, IApplication** out) { return list->GetApplication(i, out); },
                                    [&](IApplication* app) {
                                        CTaskString name;
                                        CHvApp read;
                                        if (FAILED(app->GetName(name.Put())) || FAILED(app->GetId(&read.guid)))
                                            return false;
                                        read.name = name.Text();
                                        apps.push_back(read);
                                        return true;
                                    }))
        return false;
    while (config.GetAppCount() > 0)
        config.RemoveApp(config.GetApp(0));
    for (const CHvApp& read : apps)
        config.AddAppKeepingName(read.name.c_str())->guid = read.guid;
    return true;
}

// ---- APM ----

namespace {

int CountApmLevels(IApm* apm)
{
    int n = 0;
    for (;; ++n) {
        CComPtr<IApmLevel> level;
        if (FAILED(apm->GetLevel(n, level.Put())))
            return n;
    }
}

// Moves the upper limits of the levels after index up by delta, the last first, so that no level
// passes its neighbour on the way.
void RaiseFollowingLimits(IApm* apm, int index, int count, int delta)
{
    for (int j = count - 1; j > index; --j) {
        CComPtr<IApmLevel> level;
        int limit = 0;
        if (SUCCEEDED(apm->GetLevel(j, level.Put())) && SUCCEEDED(level->GetUpperLimit(&limit)))
            level->SetUpperLimit(limit + delta);
    }
}

// Calls visit(index, entry) with each device entry of the configuration that is an APM event.
template <class ProfileItf, class Visit>
void ForEachApmEvent(IBaseConfig<ProfileItf>& config, Visit visit)
{
    for (int n = 0; n < config.GetDeviceEntryCount(); ++n) {
        const int32_t index = config.GetDeviceEntryKey(n);
        const AssignmentAction entry = config.GetDeviceEntry(index);
        if (entry.type == kActionApmEvent && index >= kApmFirstEvent && index <= kApmLastEvent)
            visit(index, entry);
    }
}

template <class ProfileItf>
bool WriteApmEvents(IApm* apm, IBaseConfig<ProfileItf>& config)
{
    CComPtr<IApmEventColors> events;
    if (FAILED(CComPtr<IApm>(apm).As(events)))
        return false;
    bool ok = true;
    ForEachApmEvent(config, [&](int32_t index, const AssignmentAction& entry) {
        ok = SUCCEEDED(events->SetEventLevel(index, entry.payload.values[0])) && ok;
        ok = SUCCEEDED(events->SetEventColor(index, static_cast<COLORREF>(entry.payload.values[1]))) && ok;
        ok = SUCCEEDED(events->SetEventEnabled(index, entry.payload.values[2] != 0)) && ok;
    });
    return ok;
}

template <class ProfileItf>
bool ReadApmEvents(IApm* apm, IBaseConfig<ProfileItf>& config)
{
    CComPtr<IApmEventColors> events;
    if (FAILED(CComPtr<IApm>(apm).As(events)))
        return false;
    bool ok = true;
    ForEachApmEvent(config, [&](int32_t index, AssignmentAction entry) {
        int level = 0;
        COLORREF color = 0;
        BYTE enabled = 0;
        if (FAILED(events->GetEventLevel(index, &level)) || FAILED(events->GetEventColor(index, &color)) ||
            FAILED(events->GetEventEnabled(index, &enabled))) {
            ok = false;
            return;
        }
        entry.payload.values[0] = level;
        entry.payload.values[1] = static_cast<int32_t>(color);
        entry.payload.values[2] = enabled ? 1 : 0;
        config.SetDeviceEntry(index, entry);
    });
    return ok;
}

} // namespace

namespace {

template <class ProfileItf>
bool WriteApmLevels(IApm* apm, IBaseConfig<ProfileItf>& config)
{
    const int target = config.GetApmCount();
    int count = CountApmLevels(apm);
    for (; count > target; --count) {
        CComPtr<IApmLevel> level;
        if (FAILED(apm->GetLevel(0, level.Put())) || FAILED(apm->DeleteLevel(level.Get())))
            return false;
    }
    for (; count < target; ++count) {
        int32_t first = 0, second = 0;
        config.GetApmPair(count, &first, &second);
        bool added = false;
        for (int attempt = 0; attempt < 5 && !added; ++attempt) {
            CComPtr<IApmLevel> level;
            added = SUCCEEDED(apm->AddLevel(second + attempt, level.Put()));
        }
        if (!added)
            return false;
    }
    bool ok = true;
    for (int i = 0; i < target; ++i) {
        int32_t value = 0, first = 0, second = 0;
        config.GetApmValue(i, &value);
        config.GetApmPair(i, &first, &second);
        CComPtr<IApmLevel> level;
        if (FAILED(apm->GetLevel(i, level.Put()))) {
            ok = false;
            continue;
        }
        HRESULT hr = level->SetUpperLimit(second);
        int current = 0;
        if (hr == HVMW_E_REFUSED && SUCCEEDED(level->GetUpperLimit(&current)) && second > current) {
            RaiseFollowingLimits(apm, i, target, second - current);
            hr = level->SetUpperLimit(second);
        }
        ok = SUCCEEDED(hr) && ok;
        ok = SUCCEEDED(level->SetColor(static_cast<COLORREF>(value))) && ok;
    }
    return ok;
}

} // namespace

template <class ProfileItf>
bool WriteApm(IDevice* device, IBaseConfig<ProfileItf>& config)
{
    const CConfigFilled& filled = config.GetFilled();
    if (!filled.apmLevels && !filled.apmEvents)
        return true;
    CComPtr<IApm> apm;
    if (FAILED(GetDeviceFeature(device, apm)))
        return false;
    bool ok = true;
    if (filled.apmLevels)
        ok = WriteApmLevels(apm.Get(), config);
    if (filled.apmEvents)
        ok = WriteApmEvents(apm.Get(), config) && ok;
    return ok;
}

template <class ProfileItf>
bool ReadApm(IDevice* device, IBaseConfig<ProfileItf>& config)
{
    CComPtr<IApm> apm;
    if (FAILED(GetDeviceFeature(device, apm)))
        return false;
    std::vector<CAPM> levels;
    const bool ok = ReadEachItem<IApmLevel>([&](int i, IApmLevel** out) { return apm->GetLevel(i, out); },
                                            [&](IApmLevel* level) {
                                                COLORREF color = 0;
                                                int upper = 0;
                                                if (FAILED(level->GetColor(&color)) ||
                                                    FAILED(level->GetUpperLimit(&upper)))
                                                    return false;
                                                const int lower = levels.empty() ? 0 : levels.back().second;
                                                levels.emplace_back(static_cast<int32_t>(color), lower, upper);
                                                return true;
                                            });
    // The list is replaced only by a whole one.
    if (ok) {
        config.ClearApm();
        for (const CAPM& level : levels)
            config.AddApm(level.value, level.first, level.second);
    }
    return ReadApmEvents(apm.Get(), config) && ok;
}

// ---- battery and power management ----

namespace {

// The device speaks of battery levels in percent, the configuration in values of its battery range
// (0 to 3 once reset). Every read scales a percentage into the range the same way, and the write
// scales back, so that a value written reads back as itself.
template <class ProfileItf>
int32_t BatteryValueFromPercent(const IBaseConfig<ProfileItf>& config, int percent)
{
    const int min = config.GetBatteryRangeMin();
    const int range = config.GetBatteryRangeMax() - min;
    if (range <= 0)
        return min;
    return min + RoundDiv(static_cast<long long>(std::clamp(percent, 0, 100)) * range, 100);
}

template <class ProfileItf>
int PercentFromBatteryValue(const IBaseConfig<ProfileItf>& config, int32_t value)
{
    const int min = config.GetBatteryRangeMin();
    const int range = config.GetBatteryRangeMax() - min;
    if (range <= 0)
        return 0;
    return RoundDiv(static_cast<long long>(std::clamp(value - min, 0, range)) * 100, range);
}

} // namespace

template <class ProfileItf>
bool ReadBattery(IDevice* device, IBaseConfig<ProfileItf>& config)
{
    CComPtr<IBattery> battery;
    int level = 0;
    // Declared as one byte, but a middleware may write 32 bits: a zeroed 32-bit cell takes either,
    // and only its low byte is the state.
    uint32_t chargingCell = 0;
    if (FAILED(GetDeviceFeature(device, battery)) || FAILED(battery->GetLevel(&level)) ||
        FAILED(battery->IsCharging(reinterpret_cast<BYTE*>(&chargingCell))))
        return false;
    const BYTE charging = static_cast<BYTE>(chargingCell & 0xFF);
    config.SetBatteryLevel(BatteryValueFromPercent(config, level));
    if (charging > kCharged) {
        config.SetBatteryState(-1);
        return false;
    }
    config.SetBatteryState(charging);
    return true;
}

template <class ProfileItf>
bool WritePowerManagement(IDevice* device, const IBaseConfig<ProfileItf>& config)
{
    const CConfigFilled& filled = config.GetFilled();
    if (!filled.criticalBatteryLevel && !filled.maxLedBrightness && !filled.sleepTime)
        return true;
    CComPtr<IPowerManagement> power;
    if (FAILED(GetDeviceFeature(device, power)))
        return false;
    bool ok = true;
    if (filled.criticalBatteryLevel)
        ok = SUCCEEDED(power->SetCriticalLevel(PercentFromBatteryValue(config, config.GetCriticalBatteryLevel())));
    if (filled.maxLedBrightness)
        ok = SUCCEEDED(power->SetMaxLedBrightness(config.GetMaxLedBrightness())) && ok;
    if (filled.sleepTime)
        ok = SUCCEEDED(power->SetSleepTime(config.GetSleepTime())) && ok;
    return ok;
}

template <class ProfileItf>
bool ReadPowerManagement(IDevice* device, IBaseConfig<ProfileItf>& config)
{
    CComPtr<IPowerManagement> power;
    int percent = 0, brightness = 0, seconds = 0;
    if (FAILED(GetDeviceFeature(device, power)) || FAILED(power->GetCriticalLevel(&percent)) ||
        FAILED(power->GetMaxLedBrightness(&brightness)) || FAILED(power->GetSleepTime(&seconds)))
        return false;
    config.SetCriticalBatteryLevel(BatteryValueFromPercent(config, percent));
    config.SetMaxLedBrightness(brightness);
    config.SetSleepTime(seconds);
    return true;
}

std::wstring ReadLongFirmwareVersion(IDevice* device)
{
    CComPtr<IDevice> held(device);
    CComPtr<ILongFirmwareVersion> version;
    BYTE a = 0, b = 0, c = 0, d = 0;
    if (!device || FAILED(held.As(version)) || FAILED(version->GetVersion(&a, &b, &c, &d)))
        return wstr::Format(L"%d.%02d", 0, 0);
    return wstr::Format(L"%d.%02d", a, b);
}

// ---- the two configuration kinds ----

#define HV_INSTANTIATE_LIST_STEPS(P)                                                                  \
    template bool WriteMacros<P>(IDevice*, IBaseConfig<P>&, const CKnownItems*);                      \
    template bool ReadMacros<P>(IDevice*, IBaseConfig<P>&);                                           \
    template bool WriteApm<P>(IDevice*, IBaseConfig<P>&);                                             \
    template bool ReadApm<P>(IDevice*, IBaseConfig<P>&);                                              \
    template bool ReadBattery<P>(IDevice*, IBaseConfig<P>&);                                          \
    template bool WritePowerManagement<P>(IDevice*, const IBaseConfig<P>&);                           \
    template bool ReadPowerManagement<P>(IDevice*, IBaseConfig<P>&);

HV_INSTANTIATE_LIST_STEPS(IMouseProfile)
HV_INSTANTIATE_LIST_STEPS(IKeyboardProfile)
