// What the pages share about profiles: the profile drop-down that several of them carry (the
// profiles' names in list order, the active one shown; a choice there makes the profile of that
// index active), and the profile a modal question was asked about.
#pragma once

#include <windows.h>

#include <string>

#include "ConfigInterfaces.h"
#include "DropdownListItem.h"

// Empties the drop-down, adds every profile's name and shows the active one (the first when none
// matches). Without a configuration or a profile the drop-down shows nothing.
template <class ProfileItf>
void FillProfileDropdown(CDropdownListItem* dropdown, const IBaseConfig<ProfileItf>* config)
{
    if (!dropdown)
        return;
    dropdown->ClearEntries();
    if (!config || config->GetProfileCount() <= 0) {
        dropdown->ClearCurSel();  // emptied entries alone leave the old text shown
        return;
    }
    const ProfileItf* active = config->GetActiveProfile();
    int shown = 0;
    for (int i = 0; i < config->GetProfileCount(); ++i) {
        // One entry per index, so that a choice's index is the profile's.
        const ProfileItf* profile = config->GetProfile(i);
        const std::wstring name = profile ? profile->GetName() : std::wstring();
        const int entry = dropdown->AddEntry(name.c_str());
        if (profile == active)
            shown = entry;
    }
    dropdown->SetCurSel(shown);
}

// Makes the profile of that index active and shows it in the drop-down (which may be null); false,
// changing nothing, when there is no such profile.
template <class ProfileItf>
bool ActivateProfileIndex(CDropdownListItem* dropdown, IBaseConfig<ProfileItf>* config, int index)
{
    ProfileItf* profile = config ? config->GetProfile(index) : nullptr;
    if (!profile || !config->SetActiveProfile(profile))
        return false;
    if (dropdown)
        dropdown->SetCurSel(index);
    return true;
}

// The active profile when a modal pop-up comes up. The pop-up's loop serves device notices, and an
// arrival reads the device again: the answer then belongs to no profile there is now.
template <class ProfileItf>
class CAskedProfile
{
public:
    explicit CAskedProfile(const ProfileItf& profile) : m_id(profile.GetGuid()), m_name(profile.GetName()) {}

    const std::wstring& Name() const { return m_name; }
    // The configuration's active profile if it is still the one asked about, else null.
    ProfileItf* StillActive(const IBaseConfig<ProfileItf>* config) const
    {
        ProfileItf* profile = config ? config->GetActiveProfile() : nullptr;
        return profile && profile->GetGuid() == m_id && profile->GetName() == m_name ? profile : nullptr;
    }

private:
    GUID m_id;
    std::wstring m_name;
};
