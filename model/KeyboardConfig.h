// The keyboard's configuration: its profiles with their key assignments and lights, macros,
// linked applications and device-wide values.
#pragma once

#include "model/BaseConfig.h"

template <class Profile>
class CKeyboardConfig : public CBaseConfig<Profile, IKeyboardConfig>
{
protected:
    explicit CKeyboardConfig(const CConfigPaths& paths) : CBaseConfig<Profile, IKeyboardConfig>(paths) {}
};

class CVxConfig_Keyboard final : public CKeyboardConfig<CVxProfile_Keyboard>
{
public:
    // Its files under the program folder as it is set now.
    CVxConfig_Keyboard() : CKeyboardConfig(CConfigPaths::ForKeyboard()) {}

    // Appended and given a profile's defaults, its on-screen-profile flag taken from the active
    // profile (off without one); the other profiles keep theirs.
    IKeyboardProfile* CreateProfile(const wchar_t* name) override;
    // Resets a profile at the user's request: its defaults, and the active profile's
    // on-screen-profile flag on every profile.
    void InitNewKeyboardProfile(IKeyboardProfile* profile) override;
    AssignmentAction GetDefaultKeyAssignment(int32_t key) const override;

private:
    // No linked program, no automatic switch, backlight and side stripe on in blue.
    void GiveProfileDefaults(IKeyboardProfile* profile);
};
