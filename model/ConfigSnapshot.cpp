#include "model/ConfigSnapshot.h"

#include <climits>
#include <cstdint>
#include <cwchar>

#include "model/KeyboardConfig.h"
#include "model/MouseConfig.h"

namespace {

template <class ProfileItf>
int IndexOfProfile(const IBaseConfig<ProfileItf>& config, const ProfileItf* profile)
{
    for (int i = 0; i < config.GetProfileCount(); ++i)
        if (config.GetProfile(i) == profile)
            return i;
    return -1;
}

// The device's status: APM event entries and levels, battery, power management.
template <class ProfileItf>
void CopyStatus(IBaseConfig<ProfileItf>& from, IBaseConfig<ProfileItf>& to)
{
    for (int n = 0; n < from.GetDeviceEntryCount(); ++n) {
        const int32_t key = from.GetDeviceEntryKey(n);
        to.SetDeviceEntry(key, from.GetDeviceEntry(key));
    }
    to.ClearApm();
    for (int i = 0; i < from.GetApmCount(); ++i) {
        int32_t value = 0, first = 0, second = 0;
        from.GetApmValue(i, &value);
        from.GetApmPair(i, &first, &second);
        to.AddApm(value, first, second);
    }
    to.SetBatteryState(from.GetBatteryState());
    to.SetBatteryLevel(from.GetBatteryLevel());
    to.SetCriticalBatteryLevel(from.GetCriticalBatteryLevel());
    to.SetSleepTime(from.GetSleepTime());
    to.SetMaxLedBrightness(from.GetMaxLedBrightness());
}

// The status with its marks: the values the read's copy may send, and no others of live's.
template <class ProfileItf>
void CommitStatus(IBaseConfig<ProfileItf>& read, IBaseConfig<ProfileItf>& live)
{
    CConfigFilled filled = live.GetFilled();
    const CConfigFilled& from = read.GetFilled();
    CopyStatus(read, live);
    filled.apmLevels = from.apmLevels;
    filled.apmEvents = from.apmEvents;
    filled.criticalBatteryLevel = from.criticalBatteryLevel;
    filled.maxLedBrightness = from.maxLedBrightness;
    filled.sleepTime = from.sleepTime;
    live.SetFilled(filled);
}

// to's macros become copies of from's, GUIDs and files included.
template <class ProfileItf>
void ReplaceMacros(const IBaseConfig<ProfileItf>& from, IBaseConfig<ProfileItf>& to)
{
    while (to.GetMacroCount() > 0)
        to.RemoveMacro(to.GetMacro(0));
    for (int i = 0; i < from.GetMacroCount(); ++i) {
        const CMacro* macro = from.GetMacro(i);
        CMacro* copy = to.AddMacroKeepingName(macro->GetName(), macro->GetEvents());
        copy->SetGuid(macro->GetGuid());
        copy->SetFilePath(macro->GetFilePath().c_str());
    }
}

template <class ProfileItf>
void ReplaceApps(const IBaseConfig<ProfileItf>& from, IBaseConfig<ProfileItf>& to)
{
    while (to.GetAppCount() > 0)
        to.RemoveApp(to.GetApp(0));
    for (int i = 0; i < from.GetAppCount(); ++i)
        to.AddAppKeepingName(from.GetApp(i)->name.c_str())->guid = from.GetApp(i)->guid;
}

// Everything both configuration kinds hold that a write or a read looks at.
template <class ProfileItf>
void CopyCommon(IBaseConfig<ProfileItf>& from, IBaseConfig<ProfileItf>& to)
{
    for (int i = 0; i < from.GetProfileCount(); ++i)
        to.AddProfileCopy(from.GetProfile(i));
    const int active = IndexOfProfile(from, from.GetActiveProfile());
    to.SetActiveProfile(active >= 0 ? to.GetProfile(active) : nullptr);
    ReplaceMacros(from, to);
    ReplaceApps(from, to);
    if (from.GetBatteryRangeMin() != to.GetBatteryRangeMin() || from.GetBatteryRangeMax() != to.GetBatteryRangeMax())
        to.ResetBatteryRange();
    CopyStatus(from, to);
}

std::unique_ptr<CVxConfig_Mouse> CopyOf(IMouseConfig& live)
{
    auto copy = std::make_unique<CVxConfig_Mouse>();
    CopyCommon(live, *copy);
    // The copy only carries the level; the live configuration clamps it.
    copy->SetAccelerationRange(INT_MIN, INT_MAX);
    copy->SetAcceleration(live.GetAcceleration());
    copy->SetAccelerationEnabled(live.GetAccelerationEnabled());
    copy->SetPollingRate(live.GetPollingRate());
    std::vector<int32_t> rates;
    for (int i = 0; i < live.GetSupportedPollingRateCount(); ++i)
        rates.push_back(live.GetSupportedPollingRate(i));
    copy->SetSupportedPollingRates(rates);
    // The copy's setters marked everything: it may send only what live may.
    copy->SetFilled(live.GetFilled());
    return copy;
}

std::unique_ptr<CVxConfig_Keyboard> CopyOf(IKeyboardConfig& live)
{
    auto copy = std::make_unique<CVxConfig_Keyboard>();
    CopyCommon(live, *copy);
    copy->SetFilled(live.GetFilled());
    return copy;
}

// Where each item of the copy came from, taken with it.
template <class ProfileItf, class Snapshot>
void RecordOrigins(const IBaseConfig<ProfileItf>& from, Snapshot& snapshot)
{
    for (int i = 0; i < from.GetProfileCount(); ++i)
        snapshot.profiles.push_back({from.GetProfile(i)->GetGuid(), from.GetProfile(i)->GetIdentity()});
    for (int i = 0; i < from.GetMacroCount(); ++i)
        snapshot.macros.push_back({from.GetMacro(i)->GetGuid(), from.GetMacro(i)->GetIdentity()});
    for (int i = 0; i < from.GetAppCount(); ++i)
        snapshot.apps.push_back({from.GetApp(i)->guid, from.GetApp(i)->identity});
}

// ---- handing a read to the live configuration ----

template <class ProfileItf>
bool SameMacros(const IBaseConfig<ProfileItf>& a, const IBaseConfig<ProfileItf>& b)
{
    if (a.GetMacroCount() != b.GetMacroCount())
        return false;
    for (int i = 0; i < a.GetMacroCount(); ++i) {
        const CMacro* x = a.GetMacro(i);
        const CMacro* y = b.GetMacro(i);
        if (!hv::IsEqualGUID(x->GetGuid(), y->GetGuid()) || std::wcscmp(x->GetName(), y->GetName()) != 0 ||
            x->GetEvents() != y->GetEvents())
            return false;
    }
    return true;
}

template <class ProfileItf>
bool SameApps(const IBaseConfig<ProfileItf>& a, const IBaseConfig<ProfileItf>& b)
{
    if (a.GetAppCount() != b.GetAppCount())
        return false;
    for (int i = 0; i < a.GetAppCount(); ++i)
        if (*a.GetApp(i) != *b.GetApp(i))
            return false;
    return true;
}

// Profile is the configuration's own profile class: a read's copy holds the same kind.
template <class Profile, class ProfileItf>
bool CommitCommon(IBaseConfig<ProfileItf>& read, IBaseConfig<ProfileItf>& live)
{
    const int count = live.GetProfileCount();
    if (read.GetProfileCount() != count)
        return false;
    std::vector<std::pair<Profile*, const Profile*>> profiles;
    for (int i = 0; i < count; ++i) {
        auto* to = dynamic_cast<Profile*>(live.GetProfile(i));
        auto* from = dynamic_cast<const Profile*>(read.GetProfile(i));
        if (!to || !from || !hv::IsEqualGUID(to->GetGuid(), from->GetGuid()))
            return false;
        profiles.emplace_back(to, from);
    }
    for (auto& [to, from] : profiles)
        to->AssignFrom(*from);
    const int active = IndexOfProfile(read, read.GetActiveProfile());
    live.SetActiveProfile(active >= 0 ? live.GetProfile(active) : nullptr);
    // Lists left as they were keep their objects (and the files macros came from).
    if (!SameMacros(read, live))
        ReplaceMacros(read, live);
    if (!SameApps(read, live))
        ReplaceApps(read, live);
    CopyStatus(read, live);
    return true;
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
        [](const CMacro* m) { return m->GetIdentity(); }, index, origin.identity);
}

template <class ProfileItf, class Origin>
CHvApp* LiveApp(IBaseConfig<ProfileItf>& live, const Origin& origin, int index)
{
    if (!hv::IsNullGUID(origin.guid))
        return live.FindAppByGuid(origin.guid);
    return ItemOfOrigin<CHvApp>(
        live.GetAppCount(), [&](int i) { return live.GetApp(i); },
        [](const CHvApp* a) { return a->identity; }, index, origin.identity);
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
    snapshot->config = CopyOf(live);
    RecordOrigins(live, *snapshot);
    return snapshot;
}

std::unique_ptr<CWriteSnapshot<IKeyboardConfig>> TakeSnapshot(IKeyboardConfig& live)
{
    auto snapshot = std::make_unique<CWriteSnapshot<IKeyboardConfig>>();
    snapshot->config = CopyOf(live);
    RecordOrigins(live, *snapshot);
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

std::unique_ptr<IMouseConfig> CopyForRead(IMouseConfig& live)
{
    return CopyOf(live);
}

std::unique_ptr<IKeyboardConfig> CopyForRead(IKeyboardConfig& live)
{
    return CopyOf(live);
}

bool CommitRead(IMouseConfig& read, IMouseConfig& live)
{
    if (!CommitCommon<CVxProfile_Mouse>(read, live))
        return false;
    live.SetAcceleration(read.GetAcceleration());
    live.SetAccelerationEnabled(read.GetAccelerationEnabled());
    live.SetPollingRate(read.GetPollingRate());
    std::vector<int32_t> rates;
    for (int i = 0; i < read.GetSupportedPollingRateCount(); ++i)
        rates.push_back(read.GetSupportedPollingRate(i));
    live.SetSupportedPollingRates(rates);
    // What the read filled joins what live could send before (the copy started from live's marks).
    live.SetFilled(read.GetFilled());
    return true;
}

bool CommitRead(IKeyboardConfig& read, IKeyboardConfig& live)
{
    if (!CommitCommon<CVxProfile_Keyboard>(read, live))
        return false;
    live.SetFilled(read.GetFilled());
    return true;
}

void CommitReadStatus(IMouseConfig& read, IMouseConfig& live)
{
    CommitStatus(read, live);
}

void CommitReadStatus(IKeyboardConfig& read, IKeyboardConfig& live)
{
    CommitStatus(read, live);
}
