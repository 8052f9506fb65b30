// The operations through which the front end and the device objects reach a profile. Profiles are
// created, copied and deleted only by their configuration; a profile pointer stays valid until
// the configuration deletes or replaces that profile.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/ModelRecords.h"

// The parts of a profile that a read of its device filled or the user set since (created, changed,
// imported or restored): a write sends only these, and every other part keeps the device's value.
// The profile's setters mark what they set; a profile the device lists but a read did not reach
// has none marked. The name is always the device's or the user's and needs no mark.
struct CProfileFilled
{
    bool link = false;         // the linked program
    bool autoSwitch = false;   // profile flag bit 0
    bool osdDpi = false;       // bit 1 (mouse)
    bool osdProfile = false;   // bit 2
    bool dpiActive = false;    // current stage, sensitivity and its X/Y split, enabled stage count
    std::set<int> stages;      // DPI stage values, by stage number
    std::set<int32_t> controls;   // buttons (mouse) or keys (keyboard)
    // By light index: which of its values (kLight... bits).
    std::map<int, unsigned> lights;

    static constexpr unsigned kLightState = 1, kLightColor = 2, kLightEffect = 4, kLightBrightness = 8;
    bool HasLight(int led, unsigned value) const
    {
        const auto it = lights.find(led);
        return it != lights.end() && (it->second & value) != 0;
    }
};

// What mouse and keyboard profiles share. Lights are keyed by LED index (LED id - 1); their
// getters answer 0 for a light that has no entry and never add one.
class IBaseProfile
{
public:
    virtual ~IBaseProfile() = default;

    virtual std::wstring GetName() const = 0;
    // Null empties the name.
    virtual void SetName(const wchar_t* name) = 0;
    virtual GUID GetGuid() const = 0;
    virtual void SetGuid(const GUID& guid) = 0;

    virtual bool HasProfileFile() const = 0;
    virtual std::wstring GetProfileFilePath() const = 0;

    // The linked program as the device stores it: the file name with extension.
    virtual std::wstring GetLinkedApplication() const = 0;
    virtual void SetLinkedApplication(const wchar_t* text) = 0;
    // The program chosen for automatic switching, full path; setting it also sets the linked
    // application to its file name and extension (an empty path empties both).
    virtual std::wstring GetLinkedApplicationPath() const = 0;
    virtual void SetLinkedApplicationPath(const wchar_t* path) = 0;

    // The base assignment map (keyboard keys). Set stores only what IsFunctionAllowed allows and
    // says whether it stored; Get adds a missing key as an action of type -1.
    virtual bool SetAssignment(int32_t key, const AssignmentAction& action) = 0;
    virtual AssignmentAction GetAssignment(int32_t key) = 0;
    virtual int GetAssignmentCount() const = 0;
    virtual bool IsFunctionAllowed(int32_t type) const = 0;

    // What a read found for a button or key: the action shown for it (type -1 where the device's
    // record means nothing this profile takes) and, where a write of that action would not send
    // the record the device holds, that record. A write sends a kept record back unchanged until
    // the control is assigned again, which forgets it.
    virtual void SetFromDevice(int32_t control, const AssignmentAction& shown, const RawAssignment* kept) = 0;
    // False when the control has no kept record.
    virtual bool GetDeviceRecord(int32_t control, RawAssignment& record) const = 0;

    // A setter on a light without an entry first adds {off, 0, 0, 100}. Brightness is at most 100.
    virtual void SetLedState(int led, bool on) = 0;
    virtual bool GetLedState(int led) const = 0;
    virtual void SetLedColor(int led, COLORREF color) = 0;
    virtual COLORREF GetLedColor(int led) const = 0;
    virtual void SetLedEffect(int led, int32_t effect) = 0;
    virtual int32_t GetLedEffect(int led) const = 0;
    virtual void SetLedBrightness(int led, int32_t brightness) = 0;
    virtual int32_t GetLedBrightness(int led) const = 0;

    // Switch to this profile when its program is in front (profile property bit 0).
    virtual void SetAutoSwitch(bool on) = 0;
    virtual bool GetAutoSwitch() const = 0;
    // Show the profile on screen when it becomes active (profile property bit 2).
    virtual void SetOsdProfile(bool on) = 0;
    virtual bool GetOsdProfile() const = 0;

    // Profile files: profiles persist on the devices, so both report failure and change nothing.
    virtual bool SaveToFile(std::wstring& outPath, const wchar_t* folder, const wchar_t* extension) = 0;
    virtual bool LoadFromFile(const wchar_t* fileName, const wchar_t* folder, const wchar_t* extension) = 0;

    virtual const CProfileFilled& GetFilled() const = 0;
    // Nothing counts as filled any more (a profile made from the device's list, before a read).
    virtual void ForgetFilled() = 0;

    // Which profile this is, unique in the process: a rename, which replaces the profile object,
    // keeps it; every other profile made (copies included) gets its own.
    virtual uint64_t GetIdentity() const = 0;
};

class IKeyboardProfile : public IBaseProfile
{
public:
    // Every key present in the assignment map gets its default key action again.
    virtual void ResetToDefaultKeys() = 0;
    // Clears types, then appends the allowed assignment types in the order the key page offers them.
    virtual void GetAllowedFunctions(std::vector<int32_t>& types) const = 0;
};

// Stage numbers are 1-based; a number above the stage count addresses the last stage, and 0 is
// refused (setters false, getters 0).
class IMouseProfile : public IBaseProfile
{
public:
    // 1 to 10 zeroed stages (0 gives 1, more than 10 gives 10); the current stage becomes 1.
    virtual bool SetDpiStageCount(int count) = 0;
    virtual int GetDpiStageCount() const = 0;
    virtual int GetEnabledStageCount() const = 0;
    // At most the stage count.
    virtual void SetEnabledStageCount(int count) = 0;

    // Show DPI changes on screen (profile property bit 1).
    virtual void SetOsdDpi(bool on) = 0;
    virtual bool GetOsdDpi() const = 0;

    virtual bool SetStageSeparateXY(int stage, bool separate) = 0;
    virtual bool GetStageSeparateXY(int stage) const = 0;
    // A stage above the count makes the last one current; without stages none is (0).
    virtual bool SetCurrentDpiStage(int stage) = 0;
    virtual int GetCurrentDpiStage() const = 0;
    // Values are clamped to the DPI range.
    virtual bool SetStageDpi(int stage, int32_t dpi) = 0;
    virtual int32_t GetStageDpi(int stage) const = 0;
    virtual bool SetStageDpiX(int stage, int32_t dpi) = 0;
    virtual int32_t GetStageDpiX(int stage) const = 0;
    virtual bool SetStageDpiY(int stage, int32_t dpi) = 0;
    virtual int32_t GetStageDpiY(int stage) const = 0;

    virtual void SetSensitivity(int32_t value) = 0;
    virtual int32_t GetSensitivity() const = 0;
    virtual void SetSensitivityX(int32_t value) = 0;
    virtual int32_t GetSensitivityX() const = 0;
    virtual void SetSensitivityY(int32_t value) = 0;
    virtual int32_t GetSensitivityY() const = 0;
    virtual void SetXYSeparate(bool separate) = 0;
    virtual bool GetXYSeparate() const = 0;

    // Kept and returned for the front end; a copy of the profile does not carry them.
    virtual void SetValueD(int32_t value) = 0;
    virtual int32_t GetValueD() const = 0;
    virtual void SetValueE(int32_t value) = 0;
    virtual int32_t GetValueE() const = 0;
    virtual void SetValueF(int32_t value) = 0;
    virtual int32_t GetValueF() const = 0;
    virtual void SetFlagD(bool on) = 0;
    virtual bool GetFlagD() const = 0;

    // Stored as given; stages already set are not clamped again.
    virtual void SetDpiRange(int32_t min, int32_t max, int32_t step) = 0;
    // Null outputs are skipped. Always true.
    virtual bool GetDpiRange(int32_t* min, int32_t* max, int32_t* step) const = 0;

    // The mouse's real button map; Set stores only what the button allows.
    virtual bool SetButtonAssignment(int32_t button, const AssignmentAction& action) = 0;
    virtual AssignmentAction GetButtonAssignment(int32_t button) = 0;
    // A button of type 1 (click) in the button map, or, with flag E set, in the base map.
    virtual bool HasClickAssignment() const = 0;
    virtual void SetFlagE(bool on) = 0;
    virtual bool GetFlagE() const = 0;

    virtual bool IsFunctionAllowed(int32_t type, int32_t button) const = 0;
    // Clears types, then appends the types the button allows in the order the button page offers them.
    virtual void GetAllowedFunctions(std::vector<int32_t>& types, int32_t button) const = 0;

    using IBaseProfile::IsFunctionAllowed;
};
