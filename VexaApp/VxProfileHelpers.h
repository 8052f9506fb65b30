// What the pages share about profiles: the profile drop-down that several of them carry (the
// profiles' names in list order, the active one shown; a choice there makes the profile of that
// index active), and the profile or macro a modal popup was opened about.
//
// Every modal loop (a popup, a question, a file dialog, a device wait) serves device notices, and
// an arrival or removal reads the device again: every profile and macro of its configuration is
// then made anew. A page holds no pointer into the configuration across one; it keeps what it asked
// about by GUID and name and looks it up again afterwards, and drops the action when it is gone.
// An item not yet written has no GUID until the write that gives it one ends, which may happen in
// such a loop too: an item asked about without a GUID is known by its name alone.
#pragma once

#include <windows.h>

#include <string>

#include "controls/DropdownListItem.h"
#include "model/ConfigInterfaces.h"

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
// Whether an item found now is the one asked about (its GUID then, and name).
inline bool IsAskedItem(const GUID& askedId, const std::wstring& askedName, const GUID& id, const std::wstring& name)
{
    static const GUID kNone{};
    return name == askedName && (askedId == kNone || id == askedId);
}

template <class ProfileItf>
class CAskedProfile
{
public:
    explicit CAskedProfile(const ProfileItf& profile) : m_id(profile.GetGuid()), m_name(profile.GetName()) {}

    const std::wstring& Name() const { return m_name; }
    // The profile asked about wherever the list holds it now (its index in *index), else null.
    ProfileItf* StillThere(const IBaseConfig<ProfileItf>* config, int* index = nullptr) const
    {
        if (index)
            *index = -1;
        for (int i = 0; config && i < config->GetProfileCount(); ++i) {
            ProfileItf* profile = config->GetProfile(i);
            if (profile && IsAskedItem(m_id, m_name, profile->GetGuid(), profile->GetName())) {
                if (index)
                    *index = i;
                return profile;
            }
        }
        return nullptr;
    }
    // The configuration's active profile if it is still the one asked about, else null.
    ProfileItf* StillActive(const IBaseConfig<ProfileItf>* config) const
    {
        ProfileItf* profile = config ? config->GetActiveProfile() : nullptr;
        return profile && IsAskedItem(m_id, m_name, profile->GetGuid(), profile->GetName()) ? profile : nullptr;
    }

private:
    GUID m_id;
    std::wstring m_name;
};

// A macro a modal popup was opened about.
class CAskedMacro
{
public:
    explicit CAskedMacro(const CMacro& macro) : m_id(macro.GetGuid()), m_name(macro.GetName()) {}

    const std::wstring& Name() const { return m_name; }
    // The macro asked about if the configuration still holds it, else null.
    template <class ProfileItf>
    CMacro* StillThere(const IBaseConfig<ProfileItf>* config) const
    {
        CMacro* macro = config ? config->FindMacroByName(m_name.c_str()) : nullptr;
        return macro && IsAskedItem(m_id, m_name, macro->GetGuid(), macro->GetName()) ? macro : nullptr;
    }

private:
    GUID m_id;
    std::wstring m_name;
};

// Names a popup in *slot for as long as it runs, so that the page's refresh after a device read
// can give it the lists of the configuration read.
template <class Popup>
class COpenPopup
{
public:
    COpenPopup(Popup*& slot, Popup& popup) : m_slot(slot) { m_slot = &popup; }
    ~COpenPopup() { m_slot = nullptr; }
    COpenPopup(const COpenPopup&) = delete;
    COpenPopup& operator=(const COpenPopup&) = delete;

private:
    Popup*& m_slot;
};
