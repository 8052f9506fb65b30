// The mouse (product 0x22) as the front end sees it: its profiles with buttons, DPI stages,
// sensitivity and lights, its macros, acceleration and polling rate, read and written through
// the middleware.
#pragma once

#include "model/BaseDevice.h"

class CMouse final : public CBaseDevice<IMouseConfig, IMouseProfile>
{
public:
    explicit CMouse(const DeviceDescriptor& descriptor);
    ~CMouse() override;

    // Reads the device's profiles (names, GUIDs, stage counts, DPI ranges), its buttons, the
    // acceleration range and the supported polling rates into config, replacing its profiles.
    bool Init(IMouseConfig* config) override;
    // The mouse keeps its connection facts between operations.
    void Uninit() override { SettleWrite(); }
    // The firmware text from the device's long firmware version ("0.00" when it has none).
    bool RefreshVersion();

protected:
    bool WriteBody(const CStepContext& context, IMouseConfig& config,
                   std::vector<CAssignmentConversion>* log) override;
    bool ReadBody(const CStepContext& context, IMouseConfig& config) override;
    bool FillImportedProfile(const CStepContext& context, IMouseConfig& config, IMouseProfile& profile,
                             IProfile* device) override;

    const std::vector<uint32_t>& Controls() const override { return m_buttons; }

private:
    std::vector<uint32_t> m_buttons;   // middleware mask bits of the buttons present
};
