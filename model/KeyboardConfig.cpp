#include "model/KeyboardConfig.h"

namespace {

// Light indexes (LED id - 1) a new keyboard profile switches on: backlight and side stripe.
const int kDefaultLights[] = {4, 10};
constexpr COLORREF kDefaultLightColor = 0xFF0000;

} // namespace

IKeyboardProfile* CVxConfig_Keyboard::CreateProfile(const wchar_t* name)
{
    CVxProfile_Keyboard* profile = AppendProfile(name);
    // Profiles are created for a read and an import as well: the other profiles keep their flags.
    GiveProfileDefaults(profile);
    profile->SetOsdProfile(DefaultOsdProfile(false));
    return profile;
}

void CVxConfig_Keyboard::InitNewKeyboardProfile(IKeyboardProfile* profile)
{
    GiveProfileDefaults(profile);
    SetOsdProfileAll(DefaultOsdProfile(false));
}

void CVxConfig_Keyboard::GiveProfileDefaults(IKeyboardProfile* profile)
{
    if (profile) {
        profile->SetLinkedApplicationPath(nullptr);
        profile->SetAutoSwitch(false);
    }
    for (int led : kDefaultLights) {
        SetLedState(led, true, profile);
        SetLedColor(led, kDefaultLightColor, profile);
    }
}

AssignmentAction CVxConfig_Keyboard::GetDefaultKeyAssignment(int32_t key) const
{
    return MakeDefaultKeyAssignment(key);
}
