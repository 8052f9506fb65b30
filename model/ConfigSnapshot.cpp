#include "ConfigSnapshot.h"

#include <climits>

#include "KeyboardConfig.h"
#include "MouseConfig.h"
#include "WStr.h"

namespace {

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
        snapshot.profiles.push_back({profile->GetGuid(), profile->GetName()});
    }
    const int active = IndexOfProfile(from, from.GetActiveProfile());
    to.SetActiveProfile(active >= 0 ? to.GetProfile(active) : nullptr);
    for (int i = 0; i < from.GetMacroCount(); ++i) {
        const CMacro* macro = from.GetMacro(i);
        CMacro* copy = to.AddMacroKeepingName(macro->GetName(), macro->GetEvents());
        copy->SetGuid(macro->GetGuid());
        copy->SetFilePath(macro->GetFilePath().c_str());
        snapshot.macros.push_back({macro->GetGuid(), macro->GetName()});
    }
    for (int i = 0; i < from.GetAppCount(); ++i) {
        const CHvApp* app = from.GetApp(i);
        to.AddAppKeepingName(app->name.c_str())->guid = app->guid;
        snapshot.apps.push_back({app->guid, app->name});
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

template <class ProfileItf>
ProfileItf* LiveProfile(IBaseConfig<ProfileItf>& live, const GUID& guid, const std::wstring& name, int index)
{
    if (!hv::IsNullGUID(guid))
        return live.FindProfileByGuid(guid);
    ProfileItf* atIndex = live.GetProfile(index);
    if (atIndex && hv::IsNullGUID(atIndex->GetGuid()) && atIndex->GetName() == name)
        return atIndex;
    for (int i = 0; i < live.GetProfileCount(); ++i) {
        ProfileItf* profile = live.GetProfile(i);
        if (hv::IsNullGUID(profile->GetGuid()) && wstr::EqualsNoCase(profile->GetName(), name))
            return profile;
    }
    return nullptr;
}

template <class ProfileItf>
CMacro* LiveMacro(IBaseConfig<ProfileItf>& live, const GUID& guid, const std::wstring& name, int index)
{
    if (!hv::IsNullGUID(guid))
        return live.FindMacroByGuid(guid);
    CMacro* atIndex = live.GetMacro(index);
    if (atIndex && hv::IsNullGUID(atIndex->GetGuid()) && name == atIndex->GetName())
        return atIndex;
    for (int i = 0; i < live.GetMacroCount(); ++i) {
        CMacro* macro = live.GetMacro(i);
        if (hv::IsNullGUID(macro->GetGuid()) && wstr::EqualsNoCase(name, macro->GetName()))
            return macro;
    }
    return nullptr;
}

template <class ProfileItf>
CHvApp* LiveApp(IBaseConfig<ProfileItf>& live, const GUID& guid, const std::wstring& name, int index)
{
    if (!hv::IsNullGUID(guid))
        return live.FindAppByGuid(guid);
    CHvApp* atIndex = live.GetApp(index);
    if (atIndex && hv::IsNullGUID(atIndex->guid) && atIndex->name == name)
        return atIndex;
    for (int i = 0; i < live.GetAppCount(); ++i) {
        CHvApp* app = live.GetApp(i);
        if (hv::IsNullGUID(app->guid) && wstr::EqualsNoCase(app->name, name))
            return app;
    }
    return nullptr;
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
        profiles.push_back(LiveProfile(live, snapshot.profiles[i].guid, snapshot.profiles[i].name, static_cast<int>(i)));
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
        CMacro* macro = LiveMacro(live, snapshot.macros[i].guid, snapshot.macros[i].name, static_cast<int>(i));
        if (macro && copy && hv::IsNullGUID(macro->GetGuid()))
            macro->SetGuid(copy->GetGuid());
    }
    for (size_t i = 0; i < snapshot.apps.size(); ++i) {
        const CHvApp* copy = written.GetApp(static_cast<int>(i));
        CHvApp* app = LiveApp(live, snapshot.apps[i].guid, snapshot.apps[i].name, static_cast<int>(i));
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
