// The keyboard (product 0x23) as the front end sees it: its profiles with key assignments and
// lights, its macros and linked applications, its device mode and layout code.
#pragma once

#include "model/BaseDevice.h"

class CKeyboard final : public CBaseDevice<IKeyboardConfig, IKeyboardProfile>
{
public:
    explicit CKeyboard(const DeviceDescriptor& descriptor);
    ~CKeyboard() override;

    // Reads the device's profiles (names, GUIDs) and its key list into config, replacing its
    // profiles.
    bool Init(IKeyboardConfig* config) override;
    // Device mode 2 (default) and 1 (normal).
    bool SetDefaultMode() override { return SetMode(hvmw::kModeDefault); }
    bool SetNormalMode() override { return SetMode(hvmw::kModeNormal); }
    bool GetLayoutCode(int* code) override;

protected:
    bool WriteBody(const CStepContext& context, IKeyboardConfig& config,
                   std::vector<CAssignmentConversion>* log) override;
    bool ReadBody(const CStepContext& context, IKeyboardConfig& config) override;
    bool FillImportedProfile(const CStepContext& context, IKeyboardConfig& config, IKeyboardProfile& profile,
                             IProfile* device) override;

private:
    bool SetMode(int mode);
};
