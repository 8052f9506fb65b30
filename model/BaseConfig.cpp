#include "model/BaseConfig.h"

#include <algorithm>

#include "platform/WStr.h"

namespace {

bool SameNoCase(const std::wstring& a, const wchar_t* b)
{
    return wstr::EqualsNoCase(a, b ? b : L"");
}

// The folder part of a file path, with its trailing separator; empty for a bare file name.
std::wstring FolderOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

} // namespace

// ---- CProfileList ----

template <class Profile>
int CProfileList<Profile>::IndexOf(const ProfileItf* profile) const
{
    if (!profile)
        return -1;
    for (size_t i = 0; i < m_profiles.size(); ++i)
        if (static_cast<const ProfileItf*>(m_profiles[i].get()) == profile)
            return static_cast<int>(i);
    return -1;
}

template <class Profile>
Profile* CProfileList<Profile>::Own(const ProfileItf* profile) const
{
    int i = IndexOf(profile);
    return i < 0 ? nullptr : m_profiles[i].get();
}

// ---- profiles ----

template <class Profile, class Itf>
Profile* CBaseConfig<Profile, Itf>::AppendProfile(const wchar_t* name)
{
    m_profiles.push_back(std::make_unique<Profile>(name));
    return m_profiles.back().get();
}

template <class Profile, class Itf>
void CBaseConfig<Profile, Itf>::ClearProfiles()
{
    m_profiles.clear();
    SetActiveProfile(nullptr);
}

template <class Profile, class Itf>
auto CBaseConfig<Profile, Itf>::AddProfileCopy(const ProfileItf* profile) -> ProfileItf*
{
    auto source = dynamic_cast<const Profile*>(profile);
    if (!source)
        return nullptr;
    m_profiles.push_back(std::make_unique<Profile>(*source));
    return m_profiles.back().get();
}

template <class Profile, class Itf>
auto CBaseConfig<Profile, Itf>::FindProfileByGuid(const GUID& guid) const -> ProfileItf*
{
    for (const auto& p : m_profiles)
        if (hv::IsEqualGUID(p->GetGuid(), guid))
            return p.get();
    return nullptr;
}

template <class Profile, class Itf>
auto CBaseConfig<Profile, Itf>::FindProfileByName(const wchar_t* name) const -> ProfileItf*
{
    if (!name)
        return nullptr;
    for (const auto& p : m_profiles)
        if (SameNoCase(p->GetName(), name))
            return p.get();
    return nullptr;
}

template <class Profile, class Itf>
auto CBaseConfig<Profile, Itf>::GetProfile(int index) const -> ProfileItf*
{
    if (index < 0 || index >= GetProfileCount())
        return nullptr;
    return m_profiles[index].get();
}

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::SetActiveProfile(ProfileItf* profile)
{
    if (profile && !Own(profile))
        return false;   // a pointer the list does not own would dangle
    m_activeProfile = Own(profile);
    m_filled.activeProfile = true;
    return true;
}

template <class Profile, class Itf>
auto CBaseConfig<Profile, Itf>::RenameProfile(ProfileItf* profile, const wchar_t* name) -> ProfileItf*
{
    // Only the list's own object is touched: a pointer the list does not hold (another
    // configuration's, or one a former rename or delete left dangling) is compared, never used.
    int index = IndexOf(profile);
    if (index < 0)
        return nullptr;
    Profile* old = m_profiles[index].get();
    std::wstring newName = name ? name : L"";
    if (old->GetName() == newName)
        return nullptr;

    old->SetName(newName.c_str());
    auto copy = std::make_unique<Profile>(*old);
    copy->TakeIdentityOf(*old);

    if (old->HasProfileFile()) {
        // The old file goes only once the renamed profile's own file exists, and never when both
        // name the same file (a rename that changes only the case).
        std::wstring oldPath = old->GetProfileFilePath();
        std::wstring newPath;
        if (copy->SaveToFile(newPath, FolderOf(oldPath).c_str(), GetProfileFileExtension())
            && !newPath.empty() && !wstr::EqualsNoCase(newPath, oldPath))
            ::DeleteFileW(oldPath.c_str());
    }

    bool wasActive = m_activeProfile == old;
    m_profiles[index] = std::move(copy);   // deletes the old profile
    if (wasActive)
        m_activeProfile = m_profiles[index].get();
    return m_profiles[index].get();
}

template <class Profile, class Itf>
auto CBaseConfig<Profile, Itf>::CopyProfile(ProfileItf* profile, const wchar_t* name) -> ProfileItf*
{
    // As for a rename, only a profile of this list is read.
    const Profile* source = Own(profile);
    std::wstring newName = name ? name : L"";
    if (!source || source->GetName() == newName)
        return nullptr;
    auto copy = std::make_unique<Profile>(*source);
    copy->SetName(newName.c_str());
    copy->SetGuid(GUID());          // the middleware gives it one when it is written
    copy->SetProfileFilePath(nullptr);   // a copy never shares its source's file
    m_profiles.push_back(std::move(copy));
    return m_profiles.back().get();
}

template <class Profile, class Itf>
void CBaseConfig<Profile, Itf>::DeleteProfile(ProfileItf* profile)
{
    int index = IndexOf(profile);
    if (index < 0)
        return;
    Profile* p = m_profiles[index].get();
    if (m_activeProfile == p)
        m_activeProfile = nullptr;
    if (p->HasProfileFile())
        ::DeleteFileW(p->GetProfileFilePath().c_str());
    m_profiles.erase(m_profiles.begin() + index);
}

// ---- macros and applications ----

template <class Profile, class Itf>
CMacro* CBaseConfig<Profile, Itf>::AddMacro(const wchar_t* name, const std::vector<MacroEvent>& events)
{
    return m_macros.Add(name, events);
}

template <class Profile, class Itf>
CHvApp* CBaseConfig<Profile, Itf>::AddApp(const wchar_t* name)
{
    if (FindApp(name ? name : L""))
        return nullptr;
    return AddAppKeepingName(name);
}

template <class Profile, class Itf>
CHvApp* CBaseConfig<Profile, Itf>::AddAppKeepingName(const wchar_t* name)
{
    m_apps.push_back(std::make_unique<CHvApp>(name));
    return m_apps.back().get();
}

template <class Profile, class Itf>
void CBaseConfig<Profile, Itf>::RemoveApp(CHvApp* app)
{
    auto it = std::find_if(m_apps.begin(), m_apps.end(), [app](const auto& a) { return a.get() == app; });
    if (it != m_apps.end())
        m_apps.erase(it);
}

template <class Profile, class Itf>
CHvApp* CBaseConfig<Profile, Itf>::FindApp(const wchar_t* name) const
{
    if (!name)
        return nullptr;
    for (const auto& a : m_apps)
        if (SameNoCase(a->name, name))
            return a.get();
    return nullptr;
}

template <class Profile, class Itf>
CHvApp* CBaseConfig<Profile, Itf>::FindAppByGuid(const GUID& guid) const
{
    for (const auto& a : m_apps)
        if (hv::IsEqualGUID(a->guid, guid))
            return a.get();
    return nullptr;
}

template <class Profile, class Itf>
CHvApp* CBaseConfig<Profile, Itf>::GetApp(int index) const
{
    if (index < 0 || index >= GetAppCount())
        return nullptr;
    return m_apps[index].get();
}

// ---- files ----

template <class Profile, class Itf>
int CBaseConfig<Profile, Itf>::LoadProfiles()
{
    return ::LoadProfiles(Self(), m_paths);
}

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::SaveProfiles()
{
    return ::SaveProfiles(Self(), m_paths);
}

template <class Profile, class Itf>
int CBaseConfig<Profile, Itf>::LoadProfileFiles()
{
    return ::LoadProfileFiles(Self(), m_paths);
}

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::SaveProfileFiles(ProfileItf* profile)
{
    return ::SaveProfileFiles(Self(), m_paths, profile);
}

// ---- the profile's assignments and lights ----

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::SetAssignment(int32_t key, const AssignmentAction& action, ProfileItf* profile)
{
    ProfileItf* p = Target(profile);
    return p && p->SetAssignment(key, action);
}

template <class Profile, class Itf>
AssignmentAction CBaseConfig<Profile, Itf>::GetAssignment(int32_t key, ProfileItf* profile)
{
    ProfileItf* p = Target(profile);
    return p ? p->GetAssignment(key) : AssignmentAction();
}

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::SetLedState(int led, bool on, ProfileItf* profile)
{
    ProfileItf* p = Target(profile);
    if (p)
        p->SetLedState(led, on);
    return p != nullptr;
}

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::GetLedState(int led, ProfileItf* profile) const
{
    ProfileItf* p = Target(profile);
    return p && p->GetLedState(led);
}

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::SetLedColor(int led, COLORREF color, ProfileItf* profile)
{
    ProfileItf* p = Target(profile);
    if (p)
        p->SetLedColor(led, color);
    return p != nullptr;
}

template <class Profile, class Itf>
COLORREF CBaseConfig<Profile, Itf>::GetLedColor(int led, ProfileItf* profile) const
{
    ProfileItf* p = Target(profile);
    return p ? p->GetLedColor(led) : 0;
}

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::SetLedEffect(int led, int32_t effect, ProfileItf* profile)
{
    ProfileItf* p = Target(profile);
    if (p)
        p->SetLedEffect(led, effect);
    return p != nullptr;
}

template <class Profile, class Itf>
int32_t CBaseConfig<Profile, Itf>::GetLedEffect(int led, ProfileItf* profile) const
{
    ProfileItf* p = Target(profile);
    return p ? p->GetLedEffect(led) : 0;
}

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::SetLedBrightness(int led, int32_t brightness, ProfileItf* profile)
{
    ProfileItf* p = Target(profile);
    if (p)
        p->SetLedBrightness(led, brightness);
    return p != nullptr;
}

template <class Profile, class Itf>
int32_t CBaseConfig<Profile, Itf>::GetLedBrightness(int led, ProfileItf* profile) const
{
    ProfileItf* p = Target(profile);
    return p ? p->GetLedBrightness(led) : 0;
}

// ---- device-wide entries ----

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::SetDeviceEntry(int32_t index, const AssignmentAction& action)
{
    if (action.type != kActionApmEvent)
        return false;
    m_deviceMap[index] = action;
    m_filled.apmEvents = true;
    return true;
}

template <class Profile, class Itf>
int32_t CBaseConfig<Profile, Itf>::GetDeviceEntryKey(int n) const
{
    if (n < 0 || n >= GetDeviceEntryCount())
        return 0;
    return std::next(m_deviceMap.begin(), n)->first;
}

// ---- on-screen display ----

template <class Profile, class Itf>
void CBaseConfig<Profile, Itf>::SetOsdProfileAll(bool on)
{
    for (auto& p : m_profiles)
        p->SetOsdProfile(on);
}

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::SetOsdProfile(bool on, ProfileItf* profile)
{
    ProfileItf* p = Target(profile);
    if (p)
        p->SetOsdProfile(on);
    return p != nullptr;
}

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::GetOsdProfile(ProfileItf* profile) const
{
    ProfileItf* p = Target(profile);
    return p && p->GetOsdProfile();
}

// ---- APM ----

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::SetApmValue(int index, int32_t value)
{
    if (index < 0 || index >= GetApmCount())
        return false;
    m_apm[index]->value = value;
    m_filled.apmLevels = true;
    return true;
}

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::SetApmPair(int index, int32_t first, int32_t second)
{
    if (index < 0 || index >= GetApmCount())
        return false;
    m_apm[index]->first = first;
    m_apm[index]->second = second;
    m_filled.apmLevels = true;
    return true;
}

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::GetApmValue(int index, int32_t* value) const
{
    if (index < 0 || index >= GetApmCount() || !value)
        return false;
    *value = m_apm[index]->value;
    return true;
}

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::GetApmPair(int index, int32_t* first, int32_t* second) const
{
    if (index < 0 || index >= GetApmCount() || !first || !second)
        return false;
    *first = m_apm[index]->first;
    *second = m_apm[index]->second;
    return true;
}

template <class Profile, class Itf>
bool CBaseConfig<Profile, Itf>::AddApm(int32_t value, int32_t first, int32_t second)
{
    auto at = std::find_if(m_apm.begin(), m_apm.end(), [second](const auto& e) { return e->second >= second; });
    if (at != m_apm.end() && (*at)->second == second)
        return false;
    m_apm.insert(at, std::make_unique<CAPM>(value, first, second));
    m_filled.apmLevels = true;
    return true;
}

// ---- device-wide values ----

template <class Profile, class Itf>
void CBaseConfig<Profile, Itf>::ResetBatteryRange()
{
    m_batteryRangeMin = 0;
    m_batteryRangeMax = 3;
}

template <class Profile, class Itf>
int32_t CBaseConfig<Profile, Itf>::ClampToBatteryRange(int32_t level) const
{
    if (level > m_batteryRangeMax)
        level = m_batteryRangeMax;
    if (level < m_batteryRangeMin)
        level = m_batteryRangeMin;
    return level;
}

template <class Profile, class Itf>
void CBaseConfig<Profile, Itf>::SetMaxLedBrightness(int32_t brightness)
{
    m_maxLedBrightness = std::min(brightness, 100);
    m_filled.maxLedBrightness = true;
}

template class CProfileList<CVxProfile_Keyboard>;
template class CProfileList<CVxProfile_Mouse>;
template class CBaseConfig<CVxProfile_Keyboard, IKeyboardConfig>;
template class CBaseConfig<CVxProfile_Mouse, IMouseConfig>;
