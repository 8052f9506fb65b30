// Mouse and keyboard profiles: one named set of a device's settings. The configuration owns them
// in an ordered list; the front end and the device objects reach them through IMouseProfile and
// IKeyboardProfile. A profile's identity on the device is its GUID, zero until first written.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "model/ProfileInterfaces.h"

// A number no profile of this process has had before.
uint64_t NewProfileIdentity();

// The part both kinds share, over the interface of its kind.
template <class Itf>
class CBaseProfile : public Itf
{
public:
    std::wstring GetName() const override { return m_name; }
    void SetName(const wchar_t* name) override { m_name = name ? name : L""; }
    GUID GetGuid() const override { return m_guid; }
    void SetGuid(const GUID& guid) override { m_guid = guid; }

    bool HasProfileFile() const override { return !m_profileFilePath.empty(); }
    std::wstring GetProfileFilePath() const override { return m_profileFilePath; }
    // Set when the profile is loaded from or saved to its own file; empty = none.
    void SetProfileFilePath(const wchar_t* path) { m_profileFilePath = path ? path : L""; }

    std::wstring GetLinkedApplication() const override { return m_linkedApplication; }
    void SetLinkedApplication(const wchar_t* text) override
    {
        m_linkedApplication = text ? text : L"";
        m_filled.link = true;
    }
    std::wstring GetLinkedApplicationPath() const override { return m_linkedApplicationPath; }
    void SetLinkedApplicationPath(const wchar_t* path) override;

    bool SetAssignment(int32_t key, const AssignmentAction& action) override;
    AssignmentAction GetAssignment(int32_t key) override;
    int GetAssignmentCount() const override { return static_cast<int>(m_assignments.size()); }
    void SetFromDevice(int32_t key, const AssignmentAction& shown, const RawAssignment* kept) override;
    bool GetDeviceRecord(int32_t control, RawAssignment& record) const override;

    void SetLedState(int led, bool on) override { Light(led, CProfileFilled::kLightState).on = on ? 1 : 0; }
    bool GetLedState(int led) const override;
    void SetLedColor(int led, COLORREF color) override { Light(led, CProfileFilled::kLightColor).color = color; }
    COLORREF GetLedColor(int led) const override;
    void SetLedEffect(int led, int32_t effect) override { Light(led, CProfileFilled::kLightEffect).effect = effect; }
    int32_t GetLedEffect(int led) const override;
    void SetLedBrightness(int led, int32_t brightness) override;
    int32_t GetLedBrightness(int led) const override;

    void SetAutoSwitch(bool on) override
    {
        m_autoSwitch = on ? 1 : 0;
        m_filled.autoSwitch = true;
    }
    bool GetAutoSwitch() const override { return m_autoSwitch != 0; }
    void SetOsdProfile(bool on) override
    {
        m_osdProfile = on ? 1 : 0;
        m_filled.osdProfile = true;
    }
    bool GetOsdProfile() const override { return m_osdProfile != 0; }

    bool SaveToFile(std::wstring& outPath, const wchar_t* folder, const wchar_t* extension) override;
    bool LoadFromFile(const wchar_t* fileName, const wchar_t* folder, const wchar_t* extension) override;

    const CProfileFilled& GetFilled() const override { return m_filled; }
    void ForgetFilled() override { m_filled = CProfileFilled(); }

    uint64_t GetIdentity() const override { return m_identity; }
    // For the configuration's rename: the renamed copy stays the same profile.
    void TakeIdentityOf(const CBaseProfile& renamed) { m_identity = renamed.m_identity; }

protected:
    CBaseProfile() = default;
    explicit CBaseProfile(const wchar_t* name) : m_name(name ? name : L"") {}
    CBaseProfile(const CBaseProfile&) = delete;
    CBaseProfile& operator=(const CBaseProfile&) = delete;

    // Name, links, file, flags and GUID; the assignment and light maps are replaced by copies.
    // The identity stays this profile's own.
    void CopyFrom(const CBaseProfile& source);

    // Keeps the control's device record, or forgets it (null).
    void KeepDeviceRecord(int32_t control, const RawAssignment* kept);

    // The entry of a light, added as {off, 0, 0, 100} when it has none, for a setter of value.
    LightingEntry& Light(int led, unsigned value)
    {
        m_filled.lights[led] |= value;
        return m_lights[led];
    }
    const LightingEntry* FindLight(int led) const;

    std::map<int32_t, AssignmentAction> m_assignments;
    // Records kept as the device holds them (SetFromDevice), by button or key.
    std::map<int32_t, RawAssignment> m_deviceRecords;
    std::map<int, LightingEntry> m_lights;
    std::wstring m_name;
    std::wstring m_linkedApplicationPath;
    std::wstring m_linkedApplication;
    std::wstring m_profileFilePath;
    GUID m_guid = GUID();
    uint8_t m_autoSwitch = 0;
    uint8_t m_osdProfile = 1;
    CProfileFilled m_filled;
    uint64_t m_identity = NewProfileIdentity();
};

class CKeyboardProfile : public CBaseProfile<IKeyboardProfile>
{
public:
    void ResetToDefaultKeys() override;

protected:
    using CBaseProfile::CBaseProfile;
    void CopyFrom(const CKeyboardProfile& source) { CBaseProfile::CopyFrom(source); }
};

class CMouseProfile : public CBaseProfile<IMouseProfile>
{
public:
    static constexpr int kMaxStages = 10;

    bool SetDpiStageCount(int count) override;
    int GetDpiStageCount() const override { return static_cast<int>(m_stages.size()); }
    int GetEnabledStageCount() const override { return m_enabledStageCount; }
    void SetEnabledStageCount(int count) override;

    void SetOsdDpi(bool on) override
    {
        m_osdDpi = on ? 1 : 0;
        m_filled.osdDpi = true;
    }
    bool GetOsdDpi() const override { return m_osdDpi != 0; }

    bool SetStageSeparateXY(int stage, bool separate) override;
    bool GetStageSeparateXY(int stage) const override;
    bool SetCurrentDpiStage(int stage) override;
    int GetCurrentDpiStage() const override { return m_currentStage + 1; }
    bool SetStageDpi(int stage, int32_t dpi) override { return SetStageField(stage, &DpiStage::dpi, dpi); }
    int32_t GetStageDpi(int stage) const override { return GetStageField(stage, &DpiStage::dpi); }
    bool SetStageDpiX(int stage, int32_t dpi) override { return SetStageField(stage, &DpiStage::dpiX, dpi); }
    int32_t GetStageDpiX(int stage) const override { return GetStageField(stage, &DpiStage::dpiX); }
    bool SetStageDpiY(int stage, int32_t dpi) override { return SetStageField(stage, &DpiStage::dpiY, dpi); }
    int32_t GetStageDpiY(int stage) const override { return GetStageField(stage, &DpiStage::dpiY); }

    void SetSensitivity(int32_t value) override
    {
        m_sensitivity = value;
        m_filled.dpiActive = true;
    }
    int32_t GetSensitivity() const override { return m_sensitivity; }
    void SetSensitivityX(int32_t value) override
    {
        m_sensitivityX = value;
        m_filled.dpiActive = true;
    }
    int32_t GetSensitivityX() const override { return m_sensitivityX; }
    void SetSensitivityY(int32_t value) override
    {
        m_sensitivityY = value;
        m_filled.dpiActive = true;
    }
    int32_t GetSensitivityY() const override { return m_sensitivityY; }
    void SetXYSeparate(bool separate) override
    {
        m_xySeparate = separate ? 1 : 0;
        m_filled.dpiActive = true;
    }
    bool GetXYSeparate() const override { return m_xySeparate != 0; }

    void SetValueD(int32_t value) override { m_valueD = value; }
    int32_t GetValueD() const override { return m_valueD; }
    void SetValueE(int32_t value) override { m_valueE = value; }
    int32_t GetValueE() const override { return m_valueE; }
    void SetValueF(int32_t value) override { m_valueF = value; }
    int32_t GetValueF() const override { return m_valueF; }
    void SetFlagD(bool on) override { m_flagD = on ? 1 : 0; }
    bool GetFlagD() const override { return m_flagD != 0; }

    void SetDpiRange(int32_t min, int32_t max, int32_t step) override;
    bool GetDpiRange(int32_t* min, int32_t* max, int32_t* step) const override;

    bool SetButtonAssignment(int32_t button, const AssignmentAction& action) override;
    AssignmentAction GetButtonAssignment(int32_t button) override;
    // Buttons: the button map.
    void SetFromDevice(int32_t button, const AssignmentAction& shown, const RawAssignment* kept) override;
    bool HasClickAssignment() const override;
    void SetFlagE(bool on) override { m_flagE = on ? 1 : 0; }
    bool GetFlagE() const override { return m_flagE != 0; }

protected:
    using CBaseProfile::CBaseProfile;
    // Everything but values D, E, F and flag D.
    void CopyFrom(const CMouseProfile& source);

private:
    // Index of a 1-based stage number (above the count: the last stage); -1 for 0 or no stages.
    int StageIndex(int stage) const;
    bool SetStageField(int stage, int32_t DpiStage::*field, int32_t dpi);
    int32_t GetStageField(int stage, int32_t DpiStage::*field) const;
    int32_t ClampToRange(int32_t dpi) const;

    std::map<int32_t, AssignmentAction> m_buttons;
    uint8_t m_osdDpi = 0;
    uint8_t m_flagE = 1;
    int32_t m_dpiMin = 0;
    int32_t m_dpiMax = 0;
    int32_t m_dpiStep = 0;
    std::vector<DpiStage> m_stages;   // the stage count is its size
    int32_t m_enabledStageCount = 0;
    int32_t m_currentStage = -1;      // 0-based; -1 = none
    int32_t m_sensitivity = 0;
    int32_t m_sensitivityX = 0;
    int32_t m_sensitivityY = 0;
    uint8_t m_xySeparate = 0;
    int32_t m_valueD = 0;
    int32_t m_valueE = 0;
    int32_t m_valueF = 0;
    uint8_t m_flagD = 0;
};

// The keyboard profiles a keyboard configuration holds.
class CVxProfile_Keyboard final : public CKeyboardProfile
{
public:
    using Interface = IKeyboardProfile;

    explicit CVxProfile_Keyboard(const wchar_t* name = nullptr) : CKeyboardProfile(name) {}
    CVxProfile_Keyboard(const CVxProfile_Keyboard& source) { CopyFrom(source); }
    // Takes what a copy holds (a read made on it), staying this profile.
    void AssignFrom(const CVxProfile_Keyboard& source) { CopyFrom(source); }

    // Keys take 0 (default), 5 (another key), 22 (profile), 6 (macro) and 63 (program).
    bool IsFunctionAllowed(int32_t type) const override;
    void GetAllowedFunctions(std::vector<int32_t>& types) const override;
};

// The mouse profiles a mouse configuration holds.
class CVxProfile_Mouse final : public CMouseProfile
{
public:
    using Interface = IMouseProfile;

    explicit CVxProfile_Mouse(const wchar_t* name = nullptr) : CMouseProfile(name) {}
    CVxProfile_Mouse(const CVxProfile_Mouse& source) { CopyFrom(source); }
    // Takes what a copy holds (a read made on it), staying this profile.
    void AssignFrom(const CVxProfile_Mouse& source) { CopyFrom(source); }

    // A mouse profile keeps its assignments per button; its base map takes nothing.
    bool IsFunctionAllowed(int32_t) const override { return false; }
    bool IsFunctionAllowed(int32_t type, int32_t button) const override;
    void GetAllowedFunctions(std::vector<int32_t>& types, int32_t button) const override;
};

// The key action a keyboard key defaults to: type 0 with the key's default code from the keyboard
// definition (scan code, extended flag); type 0 with a zero payload when the key has none.
AssignmentAction MakeDefaultKeyAssignment(int32_t keyHash);
