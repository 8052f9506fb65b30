// What the mouse and keyboard configurations share: the owned profile list and the active
// profile, the macros, linked applications, APM entries, device-wide entries and values.
//
// Only the user-interface thread edits a configuration; nothing guards it, so edits must not
// overlap a device write that reads it.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "model/ConfigInterfaces.h"
#include "model/Profile.h"
#include "model/ProfileFiles.h"

// The owned profiles, in the order shown and written.
template <class Profile>
class CProfileList
{
public:
    using ProfileItf = typename Profile::Interface;

protected:
    // The list's own object behind an interface pointer; null when the pointer is not one of ours.
    Profile* Own(const ProfileItf* profile) const;
    // Position in the list, or -1.
    int IndexOf(const ProfileItf* profile) const;

    std::vector<std::unique_ptr<Profile>> m_profiles;
};

template <class Profile, class Itf>
class CBaseConfig : public CProfileList<Profile>, public Itf
{
public:
    using ProfileItf = typename Profile::Interface;

    CBaseConfig(const CBaseConfig&) = delete;
    CBaseConfig& operator=(const CBaseConfig&) = delete;

    void ClearProfiles() override;
    int GetProfileCount() const override { return static_cast<int>(m_profiles.size()); }
    ProfileItf* AddProfileCopy(const ProfileItf* profile) override;
    ProfileItf* FindProfileByGuid(const GUID& guid) const override;
    ProfileItf* FindProfileByName(const wchar_t* name) const override;
    ProfileItf* GetProfile(int index) const override;
    ProfileItf* GetActiveProfile() const override { return m_activeProfile; }
    bool SetActiveProfile(ProfileItf* profile) override;
    ProfileItf* RenameProfile(ProfileItf* profile, const wchar_t* name) override;
    ProfileItf* CopyProfile(ProfileItf* profile, const wchar_t* name) override;
    void DeleteProfile(ProfileItf* profile) override;
    const wchar_t* GetProfileFileExtension() const override { return L"hvp"; }
    int GetConstant1024() const override { return 1024; }

    int GetMacroCount() const override { return m_macros.Count(); }
    CMacro* AddMacro(const wchar_t* name, const std::vector<MacroEvent>& events) override;
    CMacro* AddMacroKeepingName(const wchar_t* name, const std::vector<MacroEvent>& events) override
    {
        return m_macros.AddKeepingName(name, events);
    }
    void RemoveMacro(CMacro* macro) override { m_macros.Remove(macro); }
    CMacro* FindMacroByGuid(const GUID& guid) const override { return m_macros.FindByGuid(guid); }
    CMacro* FindMacroByName(const wchar_t* name) const override { return m_macros.Find(name); }
    CMacro* GetMacro(int index) const override { return m_macros.Get(index); }

    int GetAppCount() const override { return static_cast<int>(m_apps.size()); }
    CHvApp* AddApp(const wchar_t* name) override;
    CHvApp* AddAppKeepingName(const wchar_t* name) override;
    void RemoveApp(CHvApp* app) override;
    CHvApp* FindApp(const wchar_t* name) const override;
    CHvApp* FindAppByGuid(const GUID& guid) const override;
    CHvApp* GetApp(int index) const override;

    const wchar_t* GetSettingsFilePath() const override { return m_paths.settingsFile; }
    const wchar_t* GetProfileFolder() const override { return m_paths.profileFolder; }
    const wchar_t* GetMacroFolder() const override { return m_paths.macroFolder; }
    int LoadProfiles() override;
    bool SaveProfiles() override;
    int LoadProfileFiles() override;
    bool SaveProfileFiles(ProfileItf* profile) override;

    bool SetAssignment(int32_t key, const AssignmentAction& action, ProfileItf* profile) override;
    AssignmentAction GetAssignment(int32_t key, ProfileItf* profile) override;
    bool SetLedState(int led, bool on, ProfileItf* profile) override;
    bool GetLedState(int led, ProfileItf* profile) const override;
    bool SetLedColor(int led, COLORREF color, ProfileItf* profile) override;
    COLORREF GetLedColor(int led, ProfileItf* profile) const override;
    bool SetLedEffect(int led, int32_t effect, ProfileItf* profile) override;
    int32_t GetLedEffect(int led, ProfileItf* profile) const override;
    bool SetLedBrightness(int led, int32_t brightness, ProfileItf* profile) override;
    int32_t GetLedBrightness(int led, ProfileItf* profile) const override;

    int GetDeviceEntryCount() const override { return static_cast<int>(m_deviceMap.size()); }
    bool SetDeviceEntry(int32_t index, const AssignmentAction& action) override;
    AssignmentAction GetDeviceEntry(int32_t index) override { return m_deviceMap[index]; }
    int32_t GetDeviceEntryKey(int n) const override;

    void SetOsdProfileAll(bool on) override;
    bool SetOsdProfile(bool on, ProfileItf* profile) override;
    bool GetOsdProfile(ProfileItf* profile) const override;

    int GetApmCount() const override { return static_cast<int>(m_apm.size()); }
    bool SetApmValue(int index, int32_t value) override;
    bool SetApmPair(int index, int32_t first, int32_t second) override;
    bool GetApmValue(int index, int32_t* value) const override;
    bool GetApmPair(int index, int32_t* first, int32_t* second) const override;
    bool AddApm(int32_t value, int32_t first, int32_t second) override;
    void ClearApm() override
    {
        m_apm.clear();
        m_filled.apmLevels = true;
    }

    void ResetBatteryRange() override;
    void SetBatteryState(int32_t state) override { m_batteryState = state; }
    int32_t GetBatteryState() const override { return m_batteryState; }
    int32_t GetBatteryRangeMin() const override { return m_batteryRangeMin; }
    int32_t GetBatteryRangeMax() const override { return m_batteryRangeMax; }
    void SetBatteryLevel(int32_t level) override { m_batteryLevel = ClampToBatteryRange(level); }
    int32_t GetBatteryLevel() const override { return m_batteryLevel; }
    void SetCriticalBatteryLevel(int32_t level) override
    {
        m_criticalBatteryLevel = ClampToBatteryRange(level);
        m_filled.criticalBatteryLevel = true;
    }
    int32_t GetCriticalBatteryLevel() const override { return m_criticalBatteryLevel; }
    void SetSleepTime(int32_t seconds) override
    {
        m_sleepTime = seconds;
        m_filled.sleepTime = true;
    }
    int32_t GetSleepTime() const override { return m_sleepTime; }
    void SetMaxLedBrightness(int32_t brightness) override;
    int32_t GetMaxLedBrightness() const override { return m_maxLedBrightness; }

    const CConfigFilled& GetFilled() const override { return m_filled; }
    void SetFilled(const CConfigFilled& filled) override { m_filled = filled; }

protected:
    explicit CBaseConfig(const CConfigPaths& paths) : m_paths(paths) {}
    ~CBaseConfig() override = default;

    using CProfileList<Profile>::m_profiles;
    using CProfileList<Profile>::Own;
    using CProfileList<Profile>::IndexOf;

    // The given profile, else the active one; may be null.
    ProfileItf* Target(ProfileItf* profile) const { return profile ? profile : m_activeProfile; }
    // Appends a new profile of that name (no defaults yet) and returns it.
    Profile* AppendProfile(const wchar_t* name);
    // The on-screen-profile flag profiles get by default: the active profile's, else none.
    bool DefaultOsdProfile(bool none) const { return m_activeProfile ? m_activeProfile->GetOsdProfile() : none; }

    CConfigFilled m_filled;

private:
    int32_t ClampToBatteryRange(int32_t level) const;
    Itf& Self() { return *this; }

    const CConfigPaths m_paths;
    Profile* m_activeProfile = nullptr;
    CMacroList m_macros;
    std::vector<std::unique_ptr<CHvApp>> m_apps;
    std::map<int32_t, AssignmentAction> m_deviceMap;   // only type 65 is stored
    std::vector<std::unique_ptr<CAPM>> m_apm;
    int32_t m_batteryState = -1;
    int32_t m_batteryRangeMin = 0;
    int32_t m_batteryRangeMax = 1;
    int32_t m_batteryLevel = 0;
    int32_t m_criticalBatteryLevel = 0;
    int32_t m_maxLedBrightness = 100;
    int32_t m_sleepTime = 1;
};
