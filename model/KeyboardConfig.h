// The keyboard's configuration: its profiles with their key assignments and lights, macros,
// linked applications and device-wide values.
#pragma once

#include "BaseConfig.h"

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

    // Appended, then given the defaults of InitNewKeyboardProfile.
    IKeyboardProfile* CreateProfile(const wchar_t* name) override;
    void InitNewKeyboardProfile(IKeyboardProfile* profile) override;
    AssignmentAction GetDefaultKeyAssignment(int32_t key) const override;
};
