// The mouse's configuration: its profiles with their buttons, DPI stages, sensitivity and lights,
// macros, linked applications, and the device-wide acceleration and polling rate. The device-level
// DPI fields stand in for a profile where none is given or active.
#pragma once

#include <map>
#include <vector>

#include "model/BaseConfig.h"

template <class Profile>
class CMouseConfig : public CBaseConfig<Profile, IMouseConfig>
{
protected:
    explicit CMouseConfig(const CConfigPaths& paths) : CBaseConfig<Profile, IMouseConfig>(paths) {}

    uint8_t m_dpiStageFlagDefault = 0;   // the one byte both separate-XY setters keep
    int32_t m_dpiMin = 0;
    int32_t m_dpiMax = 0;
    int32_t m_dpiStep = 0;
    // Device-level stage values, made by SetDpiStageCount without a profile; the stage count is
    // their size.
    std::vector<int32_t> m_stageDpi;
    std::vector<int32_t> m_stageDpiX;
    std::vector<int32_t> m_stageDpiY;
    std::map<int, int32_t> m_supportedRates;   // index 0 to 4 -> Hz
    int32_t m_enabledStageCount = 0;
    int32_t m_supportedRateCount = 0;
    int32_t m_currentStage = -1;               // 0-based
    int32_t m_accelerationMin = 0;
    int32_t m_accelerationMax = 0;
    int32_t m_acceleration = 0;
    uint8_t m_accelerationEnabled = 0;
    int32_t m_pollingRate = -1;                // 0 = 125 Hz, 1 = 500 Hz, 2 = 1000 Hz
};

class CVxConfig_Mouse final : public CMouseConfig<CVxProfile_Mouse>
{
public:
    static constexpr int kDefaultStageCount = 5;

    // Its files under the program folder as it is set now.
    CVxConfig_Mouse() : CMouseConfig(CConfigPaths::ForMouse()) {}

    // Appended with 5 stages and given a profile's defaults, its on-screen-profile flag taken from
    // the active profile (on without one). Nothing else changes: a read and an import create
    // profiles too.
    IMouseProfile* CreateProfile(const wchar_t* name) override;
    // Restores the defaults the user asked for: the profile's own (the given or active one), the
    // active profile's on-screen-profile flag on every profile, and the device-wide polling rate
    // and acceleration.
    void InitProfileDefaults(IMouseProfile* profile) override;

    bool SetDpiStageCount(int count, IMouseProfile* profile) override;
    int GetDpiStageCount(IMouseProfile* profile) const override;
    bool SetEnabledStageCount(int count, IMouseProfile* profile) override;
    int GetEnabledStageCount(IMouseProfile* profile) const override;
    bool SetCurrentDpiStage(int stage, IMouseProfile* profile) override;
    int GetCurrentDpiStage(IMouseProfile* profile) const override;
    bool SetStageDpi(int stage, int32_t dpi, IMouseProfile* profile) override;
    int32_t GetStageDpi(int stage, IMouseProfile* profile) const override;
    bool SetStageDpiX(int stage, int32_t dpi, IMouseProfile* profile) override;
    int32_t GetStageDpiX(int stage, IMouseProfile* profile) const override;
    bool SetStageDpiY(int stage, int32_t dpi, IMouseProfile* profile) override;
    int32_t GetStageDpiY(int stage, IMouseProfile* profile) const override;
    bool SetStageSeparateXY(int stage, bool separate, IMouseProfile* profile) override;
    bool GetStageSeparateXY(int stage, IMouseProfile* profile) const override;
    bool SetDpiRange(int32_t min, int32_t max, int32_t step, IMouseProfile* profile) override;
    bool GetDpiRange(int32_t* min, int32_t* max, int32_t* step, IMouseProfile* profile) const override;
    bool SetXYSeparate(bool separate, IMouseProfile* profile) override;
    bool GetXYSeparate(IMouseProfile* profile) const override;

    bool SetSensitivity(int32_t value, IMouseProfile* profile) override;
    int32_t GetSensitivity(IMouseProfile* profile) const override;
    bool SetSensitivityX(int32_t value, IMouseProfile* profile) override;
    int32_t GetSensitivityX(IMouseProfile* profile) const override;
    bool SetSensitivityY(int32_t value, IMouseProfile* profile) override;
    int32_t GetSensitivityY(IMouseProfile* profile) const override;
    bool SetValueD(int32_t value, IMouseProfile* profile) override;
    int32_t GetValueD(IMouseProfile* profile) const override;
    bool SetValueE(int32_t value, IMouseProfile* profile) override;
    int32_t GetValueE(IMouseProfile* profile) const override;
    bool SetValueF(int32_t value, IMouseProfile* profile) override;
    int32_t GetValueF(IMouseProfile* profile) const override;
    bool SetFlagD(bool on, IMouseProfile* profile) override;
    bool GetFlagD(IMouseProfile* profile) const override;
    bool SetFlagE(bool on, IMouseProfile* profile) override;
    bool GetFlagE(IMouseProfile* profile) const override;
    bool SetOsdDpi(bool on, IMouseProfile* profile) override;
    bool GetOsdDpi(IMouseProfile* profile) const override;
    bool SetLinkedApplicationPath(IMouseProfile* profile, const wchar_t* path) override;
    std::wstring GetLinkedApplicationPath(IMouseProfile* profile) const override;
    bool SetAutoSwitch(IMouseProfile* profile, bool on) override;
    bool GetAutoSwitch(IMouseProfile* profile) const override;
    int GetAssignmentCount(IMouseProfile* profile) const override;

    bool SetButtonAssignment(int32_t button, const AssignmentAction& action, IMouseProfile* profile) override;
    AssignmentAction GetButtonAssignment(int32_t button, IMouseProfile* profile) override;
    bool HasClickAssignment(IMouseProfile* profile) const override;
    AssignmentAction GetDefaultButtonAssignment(int32_t button) const override;
    AssignmentAction GetDefaultAssignmentForItem(int32_t item) const override;

    void SetAccelerationRange(int32_t min, int32_t max) override;
    void GetAccelerationRange(int32_t* min, int32_t* max) const override;
    void SetAccelerationEnabled(bool on) override
    {
        m_accelerationEnabled = on ? 1 : 0;
        m_filled.accelerationEnabled = true;
    }
    bool GetAccelerationEnabled() const override { return m_accelerationEnabled != 0; }
    void SetAcceleration(int32_t level) override;
    int32_t GetAcceleration() const override { return m_acceleration; }
    void SetPollingRate(int32_t index) override
    {
        m_pollingRate = index;
        m_filled.pollingRate = true;
    }
    int32_t GetPollingRate() const override { return m_pollingRate; }
    void SetSupportedPollingRates(const std::vector<int32_t>& rates) override;
    int GetSupportedPollingRateCount() const override { return m_supportedRateCount; }
    int32_t GetSupportedPollingRate(int index) const override;

private:
    // Buttons, DPI stages and range, sensitivity, lights, no linked program, no automatic switch.
    void GiveProfileDefaults(IMouseProfile* profile);
    int DeviceStageCount() const { return static_cast<int>(m_stageDpi.size()); }
    // The device-level index of a 1-based stage (above the count: the last); -1 without arrays.
    int DeviceStageIndex(int stage) const;
    // Writes one device-level stage value, clamped to the device-level range, where the arrays exist.
    void SetDeviceStageValue(std::vector<int32_t>& values, int stage, int32_t dpi);
    int32_t GetDeviceStageValue(const std::vector<int32_t>& values, int stage) const;
};

// Stages from count up to the fifth get the factory values of their position (single, X and Y)
// and a cleared separate-XY flag; the array grows to five stages where it is shorter.
void FillDefaultDpiStages(std::vector<DpiStage>& stages, int count);
