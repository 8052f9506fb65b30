#include "KeyboardConfig.h"

namespace {

// Light indexes (LED id - 1) a new keyboard profile switches on: backlight and side stripe.
const int kDefaultLights[] = {4, 10};
constexpr COLORREF kDefaultLightColor = 0xFF0000;

} // namespace

IKeyboardProfile* CVxConfig_Keyboard::CreateProfile(const wchar_t* name)
{
    CVxProfile_Keyboard* profile = AppendProfile(name);
    InitNewKeyboardProfile(profile);
    return profile;
}

void CVxConfig_Keyboard::InitNewKeyboardProfile(IKeyboardProfile* profile)
{
    if (profile) {
        profile->SetLinkedApplicationPath(nullptr);
        profile->SetAutoSwitch(false);
    }
    for (int led : kDefaultLights) {
        SetLedState(led, true, profile);
        SetLedColor(led, kDefaultLightColor, profile);
    }
    IKeyboardProfile* active = GetActiveProfile();
    SetOsdProfileAll(active ? active->GetOsdProfile() : false);
}

AssignmentAction CVxConfig_Keyboard::GetDefaultKeyAssignment(int32_t key) const
{
    return MakeDefaultKeyAssignment(key);
}
