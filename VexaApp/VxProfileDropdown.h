// The profile drop-down of a keyboard page: every profile's name in the configuration's order, the
// active profile's row shown (the first row when none matches).
#pragma once

#include "ConfigInterfaces.h"
#include "DropdownListItem.h"

inline void FillProfileDropdown(CDropdownListItem* combo, IKeyboardConfig* config)
{
    if (!combo)
        return;
    combo->ClearEntries();
    int shown = 0;
    if (config) {
        const IKeyboardProfile* active = config->GetActiveProfile();
        for (int i = 0; i < config->GetProfileCount(); ++i) {
            const IKeyboardProfile* profile = config->GetProfile(i);
            combo->AddEntry(profile->GetName().c_str());
            if (profile == active)
                shown = i;
        }
    }
    combo->SetCurSel(shown);
}
