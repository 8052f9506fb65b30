#include "ConfigSnapshot.h"

#include <climits>
#include <cstdint>

#include "KeyboardConfig.h"
#include "MouseConfig.h"

namespace {

// Macros and applications are never replaced while they live: their address tells them apart.
uint64_t AddressOf(const void* item)
{
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(item));
}

template <class ProfileItf>
int IndexOfProfile(const IBaseConfig<ProfileItf>& config, const ProfileItf* profile)
{
    for (int i = 0; i < config.GetProfileCount(); ++i)
        if (config.GetProfile(i) == profile)
            return i;
    return -1;
}

// Everything both configuration kinds hold that a write reads.
template <class ProfileItf, class Snapshot>
void CopyCommon(IBaseConfig<ProfileItf>& from, IBaseConfig<ProfileItf>& to, Snapshot& snapshot)
{
    for (int i = 0; i < from.GetProfileCount(); ++i) {
        const ProfileItf* profile = from.GetProfile(i);
        to.AddProfileCopy(profile);
        snapshot.profiles.push_back({profile->GetGuid(), profile->GetIdentity()});
    }
    const int active = IndexOfProfile(from, from.GetActiveProfile());
    to.SetActiveProfile(active >= 0 ? to.GetProfile(active) : nullptr);
    for (int i = 0; i < from.GetMacroCount(); ++i) {
        const CMacro* macro = from.GetMacro(i);
        CMacro* copy = to.AddMacroKeepingName(macro->GetName(), macro->GetEvents());
        copy->SetGuid(macro->GetGuid());
        copy->SetFilePath(macro->GetFilePath().c_str());
        snapshot.macros.push_back({macro->GetGuid(), AddressOf(macro)});
    }
    for (int i = 0; i < from.GetAppCount(); ++i) {
        const CHvApp* app = from.GetApp(i);
        to.AddAppKeepingName(app->name.c_str())->guid = app->guid;
        snapshot.apps.push_back({app->guid, AddressOf(app)});
    }
    for (int n = 0; n < from.GetDeviceEntryCount(); ++n) {
        const int32_t key = from.GetDeviceEntryKey(n);
        to.SetDeviceEntry(key, from.GetDeviceEntry(key));
    }
    for (int i = 0; i < from.GetApmCount(); ++i) {
        int32_t value = 0, first = 0, second = 0;
        from.GetApmValue(i, &value);
        from.GetApmPair(i, &first, &second);
        to.AddApm(value, first, second);
    }
    if (from.GetBatteryRangeMin() != to.GetBatteryRangeMin() || from.GetBatteryRangeMax() != to.GetBatteryRangeMax())
        to.ResetBatteryRange();
    to.SetBatteryState(from.GetBatteryState());
    to.SetBatteryLevel(from.GetBatteryLevel());
    to.SetCriticalBatteryLevel(from.GetCriticalBatteryLevel());
    to.SetSleepTime(from.GetSleepTime());
    to.SetMaxLedBrightness(from.GetMaxLedBrightness());
}

// The live item that stood at index when the snapshot was taken: there still, or further up when
// items before it were removed meanwhile; null when it is gone.
template <class Item, class GetAt, class IdentityOf>
Item* ItemOfOrigin(int count, GetAt getAt, IdentityOf identityOf, int index, uint64_t identity)
{
    if (index < count)
        if (Item* item = getAt(index); item && identityOf(item) == identity)
            return item;
    for (int i = 0; i < count; ++i)
        if (Item* item = getAt(i); item && identityOf(item) == identity)
            return item;
    return nullptr;
}

template <class ProfileItf, class Origin>
ProfileItf* LiveProfile(IBaseConfig<ProfileItf>& live, const Origin& origin, int index)
{
    if (!hv::IsNullGUID(origin.guid))
        return live.FindProfileByGuid(origin.guid);
    return ItemOfOrigin<ProfileItf>(
        live.GetProfileCount(), [&](int i) { return live.GetProfile(i); },
        [](const ProfileItf* p) { return p->GetIdentity(); }, index, origin.identity);
}

template <class ProfileItf, class Origin>
CMacro* LiveMacro(IBaseConfig<ProfileItf>& live, const Origin& origin, int index)
{
    if (!hv::IsNullGUID(origin.guid))
        return live.FindMacroByGuid(origin.guid);
    return ItemOfOrigin<CMacro>(
        live.GetMacroCount(), [&](int i) { return live.GetMacro(i); },
        [](const CMacro* m) { return AddressOf(m); }, index, origin.identity);
}

template <class ProfileItf, class Origin>
CHvApp* LiveApp(IBaseConfig<ProfileItf>& live, const Origin& origin, int index)
{
    if (!hv::IsNullGUID(origin.guid))
        return live.FindAppByGuid(origin.guid);
    return ItemOfOrigin<CHvApp>(
        live.GetAppCount(), [&](int i) { return live.GetApp(i); },
        [](const CHvApp* a) { return AddressOf(a); }, index, origin.identity);
}

void ConvertLive(IMouseProfile& profile, const CAssignmentConversion& c)
{
    if (c.button && profile.GetButtonAssignment(c.id) == c.before)
        profile.SetButtonAssignment(c.id, c.after);
}

void ConvertLive(IKeyboardProfile& profile, const CAssignmentConversion& c)
{
    if (!c.button && profile.GetAssignment(c.id) == c.before)
        profile.SetAssignment(c.id, c.after);
}

template <class ConfigItf, class ProfileItf>
void ApplyCommon(const CWriteSnapshot<ConfigItf>& snapshot, IBaseConfig<ProfileItf>& live)
{
    const ConfigItf& written = *snapshot.config;
    // Found first, all of them: giving GUIDs changes what the matching looks at.
    std::vector<ProfileItf*> profiles;
    for (size_t i = 0; i < snapshot.profiles.size(); ++i)
        profiles.push_back(LiveProfile(live, snapshot.profiles[i], static_cast<int>(i)));
    for (const CAssignmentConversion& c : snapshot.conversions)
        if (c.profileIndex >= 0 && static_cast<size_t>(c.profileIndex) < profiles.size() && profiles[c.profileIndex])
            ConvertLive(*profiles[c.profileIndex], c);
    for (size_t i = 0; i < profiles.size(); ++i) {
        const ProfileItf* copy = written.GetProfile(static_cast<int>(i));
        if (profiles[i] && copy && hv::IsNullGUID(profiles[i]->GetGuid()) && !hv::IsNullGUID(copy->GetGuid()))
            profiles[i]->SetGuid(copy->GetGuid());
    }
    for (size_t i = 0; i < snapshot.macros.size(); ++i) {
        const CMacro* copy = written.GetMacro(static_cast<int>(i));
        CMacro* macro = LiveMacro(live, snapshot.macros[i], static_cast<int>(i));
        if (macro && copy && hv::IsNullGUID(macro->GetGuid()))
            macro->SetGuid(copy->GetGuid());
    }
    for (size_t i = 0; i < snapshot.apps.size(); ++i) {
        const CHvApp* copy = written.GetApp(static_cast<int>(i));
        CHvApp* app = LiveApp(live, snapshot.apps[i], static_cast<int>(i));
        if (app && copy && hv::IsNullGUID(app->guid))
            app->guid = copy->guid;
    }
}

} // namespace

std::unique_ptr<CWriteSnapshot<IMouseConfig>> TakeSnapshot(IMouseConfig& live)
{
    auto snapshot = std::make_unique<CWriteSnapshot<IMouseConfig>>();
    auto copy = std::make_unique<CVxConfig_Mouse>();
    CopyCommon(live, *copy, *snapshot);
    // The copy only carries the level; the live configuration has clamped it already.
    copy->SetAccelerationRange(INT_MIN, INT_MAX);
    copy->SetAcceleration(live.GetAcceleration());
    copy->SetAccelerationEnabled(live.GetAccelerationEnabled());
    copy->SetPollingRate(live.GetPollingRate());
    std::vector<int32_t> rates;
    for (int i = 0; i < live.GetSupportedPollingRateCount(); ++i)
        rates.push_back(live.GetSupportedPollingRate(i));
    copy->SetSupportedPollingRates(rates);
    snapshot->config = std::move(copy);
    return snapshot;
}

std::unique_ptr<CWriteSnapshot<IKeyboardConfig>> TakeSnapshot(IKeyboardConfig& live)
{
    auto snapshot = std::make_unique<CWriteSnapshot<IKeyboardConfig>>();
    auto copy = std::make_unique<CVxConfig_Keyboard>();
    CopyCommon(live, *copy, *snapshot);
    snapshot->config = std::move(copy);
    return snapshot;
}

void ApplySnapshot(const CWriteSnapshot<IMouseConfig>& snapshot, IMouseConfig& live)
{
    ApplyCommon(snapshot, live);
}

void ApplySnapshot(const CWriteSnapshot<IKeyboardConfig>& snapshot, IKeyboardConfig& live)
{
    ApplyCommon(snapshot, live);
}
