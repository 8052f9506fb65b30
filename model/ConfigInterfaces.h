// The operations through which the front end and the device objects read and edit a device's
// configuration: its profiles and which one is active, its macros, linked applications, APM
// entries, device-wide entries and values. Nothing here talks to the middleware.
//
// The profile argument: an operation that takes a profile works on the given profile, and on the
// active profile when given null. Where a mouse operation has a device-level fallback it uses that
// when there is neither; where it has none, it returns 0 or false and changes nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/ModelRecords.h"
#include "model/Macro.h"
#include "model/ProfileInterfaces.h"

// The device-wide values a read of the device filled or the user set since: a write sends only
// these, and every other one keeps the device's value. The setters mark what they set; a device
// object's Init forgets them all, since nothing of the device has been read into them yet.
struct CConfigFilled
{
    bool activeProfile = false;
    bool accelerationLevel = false, accelerationEnabled = false;
    bool pollingRate = false;
    bool apmLevels = false;
    bool apmEvents = false;
    bool criticalBatteryLevel = false, maxLedBrightness = false, sleepTime = false;
};

template <class ProfileItf>
class IBaseConfig
{
public:
    virtual ~IBaseConfig() = default;

    // ---- profiles (owned by the configuration, in the order shown and written) ----
    // Deletes every profile; none is active afterwards.
    virtual void ClearProfiles() = 0;
    virtual int GetProfileCount() const = 0;
    // A new profile with that name and the device's defaults, appended.
    virtual ProfileItf* CreateProfile(const wchar_t* name) = 0;
    // A copy of the given profile (name, GUID and all), appended; null for null or a profile of
    // another kind.
    virtual ProfileItf* AddProfileCopy(const ProfileItf* profile) = 0;
    virtual ProfileItf* FindProfileByGuid(const GUID& guid) const = 0;
    // Without regard to case.
    virtual ProfileItf* FindProfileByName(const wchar_t* name) const = 0;
    virtual ProfileItf* GetProfile(int index) const = 0;
    virtual ProfileItf* GetActiveProfile() const = 0;
    // Null, or a profile of this configuration (anything else is refused).
    virtual bool SetActiveProfile(ProfileItf* profile) = 0;
    // Replaces the profile by a renamed copy at the same place and returns the copy; null (and
    // nothing changed) for null, a name equal with regard to case, or a profile not in the list.
    // The old pointer is invalid afterwards.
    virtual ProfileItf* RenameProfile(ProfileItf* profile, const wchar_t* name) = 0;
    // A copy with the new name, a zero GUID and no profile file, appended; null for null, a
    // profile not in the list, or a name equal with regard to case.
    virtual ProfileItf* CopyProfile(ProfileItf* profile, const wchar_t* name) = 0;
    // Deletes the profile and its profile file; the active profile becomes none when it was it.
    virtual void DeleteProfile(ProfileItf* profile) = 0;
    virtual const wchar_t* GetProfileFileExtension() const = 0;
    virtual int GetConstant1024() const = 0;

    // ---- macros (names unique without regard to case) ----
    virtual int GetMacroCount() const = 0;
    // Null when a macro of that name exists; the caller tells the user.
    virtual CMacro* AddMacro(const wchar_t* name, const std::vector<MacroEvent>& events) = 0;
    // Added under its own name even where another macro's name equals it without regard to case:
    // a device may hold such macros, and a read must keep every one, since a write deletes each
    // device macro the configuration lacks. Only device reads and the write's copy use it; never null.
    virtual CMacro* AddMacroKeepingName(const wchar_t* name, const std::vector<MacroEvent>& events) = 0;
    virtual void RemoveMacro(CMacro* macro) = 0;
    virtual CMacro* FindMacroByGuid(const GUID& guid) const = 0;
    virtual CMacro* FindMacroByName(const wchar_t* name) const = 0;
    virtual CMacro* GetMacro(int index) const = 0;

    // ---- linked applications (names unique without regard to case) ----
    virtual int GetAppCount() const = 0;
    // Null when an entry of that name exists.
    virtual CHvApp* AddApp(const wchar_t* name) = 0;
    // The same for applications.
    virtual CHvApp* AddAppKeepingName(const wchar_t* name) = 0;
    virtual void RemoveApp(CHvApp* app) = 0;
    virtual CHvApp* FindApp(const wchar_t* name) const = 0;
    virtual CHvApp* FindAppByGuid(const GUID& guid) const = 0;
    virtual CHvApp* GetApp(int index) const = 0;

    // ---- files: paths built once, when the configuration is made, under the program folder ----
    // The settings file that remembers the active profile's name.
    virtual const wchar_t* GetSettingsFilePath() const = 0;
    // The profile files' folder; also where the profile file dialogs start.
    virtual const wchar_t* GetProfileFolder() const = 0;
    // Where the macro file dialogs start.
    virtual const wchar_t* GetMacroFolder() const = 0;
    // The profile files, then the active profile named by the settings file; the number loaded.
    virtual int LoadProfiles() = 0;
    // Every profile's file, then the active profile's name; false without an active profile.
    virtual bool SaveProfiles() = 0;
    // Replaces the profiles only when every file found loaded; the number loaded.
    virtual int LoadProfileFiles() = 0;
    // That profile's file and its result; with null, every profile's, and true.
    virtual bool SaveProfileFiles(ProfileItf* profile) = 0;

    // ---- the profile's base assignment map and lights ----
    virtual bool SetAssignment(int32_t key, const AssignmentAction& action, ProfileItf* profile) = 0;
    virtual AssignmentAction GetAssignment(int32_t key, ProfileItf* profile) = 0;
    virtual bool SetLedState(int led, bool on, ProfileItf* profile) = 0;
    virtual bool GetLedState(int led, ProfileItf* profile) const = 0;
    virtual bool SetLedColor(int led, COLORREF color, ProfileItf* profile) = 0;
    virtual COLORREF GetLedColor(int led, ProfileItf* profile) const = 0;
    virtual bool SetLedEffect(int led, int32_t effect, ProfileItf* profile) = 0;
    virtual int32_t GetLedEffect(int led, ProfileItf* profile) const = 0;
    virtual bool SetLedBrightness(int led, int32_t brightness, ProfileItf* profile) = 0;
    virtual int32_t GetLedBrightness(int led, ProfileItf* profile) const = 0;

    // ---- device-wide entries (the APM event settings), keyed by event index ----
    virtual int GetDeviceEntryCount() const = 0;
    // Stores only actions of type 65.
    virtual bool SetDeviceEntry(int32_t index, const AssignmentAction& action) = 0;
    // A missing index is added as type -1.
    virtual AssignmentAction GetDeviceEntry(int32_t index) = 0;
    // The key of the n-th entry in key order; 0 past the end.
    virtual int32_t GetDeviceEntryKey(int n) const = 0;

    // ---- on-screen display of the profile ----
    virtual void SetOsdProfileAll(bool on) = 0;
    virtual bool SetOsdProfile(bool on, ProfileItf* profile) = 0;
    virtual bool GetOsdProfile(ProfileItf* profile) const = 0;

    // ---- APM entries, ascending by their second value ----
    virtual int GetApmCount() const = 0;
    virtual bool SetApmValue(int index, int32_t value) = 0;
    virtual bool SetApmPair(int index, int32_t first, int32_t second) = 0;
    virtual bool GetApmValue(int index, int32_t* value) const = 0;
    virtual bool GetApmPair(int index, int32_t* first, int32_t* second) const = 0;
    // False when an entry with this second value exists.
    virtual bool AddApm(int32_t value, int32_t first, int32_t second) = 0;
    virtual void ClearApm() = 0;

    // ---- device-wide values ----
    // Battery range 0 to 3.
    virtual void ResetBatteryRange() = 0;
    virtual void SetBatteryState(int32_t state) = 0;   // 0, 1, 2; -1 unknown
    virtual int32_t GetBatteryState() const = 0;
    virtual int32_t GetBatteryRangeMin() const = 0;
    virtual int32_t GetBatteryRangeMax() const = 0;
    // Clamped into the battery range.
    virtual void SetBatteryLevel(int32_t level) = 0;
    virtual int32_t GetBatteryLevel() const = 0;
    virtual void SetCriticalBatteryLevel(int32_t level) = 0;
    virtual int32_t GetCriticalBatteryLevel() const = 0;
    virtual void SetSleepTime(int32_t seconds) = 0;
    virtual int32_t GetSleepTime() const = 0;
    // At most 100.
    virtual void SetMaxLedBrightness(int32_t brightness) = 0;
    virtual int32_t GetMaxLedBrightness() const = 0;

    // ---- what a write may send (the profiles keep their own, IBaseProfile::GetFilled) ----
    virtual const CConfigFilled& GetFilled() const = 0;
    virtual void SetFilled(const CConfigFilled& filled) = 0;
};

class IKeyboardConfig : public IBaseConfig<IKeyboardProfile>
{
public:
    // The defaults of a new or reset profile: no linked program, no automatic switch, LEDs 4 and
    // 10 on in blue, and every profile's on-screen flag as the active profile's.
    virtual void InitNewKeyboardProfile(IKeyboardProfile* profile) = 0;
    // Type 0 with the key's default code from the keyboard definition.
    virtual AssignmentAction GetDefaultKeyAssignment(int32_t key) const = 0;
};

// Stage numbers are 1-based; 0 is refused (setters false, getters 0).
class IMouseConfig : public IBaseConfig<IMouseProfile>
{
public:
    // The default buttons, DPI range and stages, sensitivity, lights and on-screen flags of a new
    // or reset profile; then the device values every profile starts from (polling rate,
    // acceleration) and no linked program.
    virtual void InitProfileDefaults(IMouseProfile* profile) = 0;

    // ---- DPI stages (device-level fallback: the stage arrays made without a profile) ----
    // Count 0 is refused; without a profile the device-level arrays are made anew.
    virtual bool SetDpiStageCount(int count, IMouseProfile* profile) = 0;
    virtual int GetDpiStageCount(IMouseProfile* profile) const = 0;
    // The profile's and the device-level enabled counts, each at most its stage count.
    virtual bool SetEnabledStageCount(int count, IMouseProfile* profile) = 0;
    virtual int GetEnabledStageCount(IMouseProfile* profile) const = 0;
    virtual bool SetCurrentDpiStage(int stage, IMouseProfile* profile) = 0;
    virtual int GetCurrentDpiStage(IMouseProfile* profile) const = 0;
    // The profile's stage value; the device-level value of the stage too, clamped to the
    // device-level range, where the device-level arrays exist.
    virtual bool SetStageDpi(int stage, int32_t dpi, IMouseProfile* profile) = 0;
    virtual int32_t GetStageDpi(int stage, IMouseProfile* profile) const = 0;
    virtual bool SetStageDpiX(int stage, int32_t dpi, IMouseProfile* profile) = 0;
    virtual int32_t GetStageDpiX(int stage, IMouseProfile* profile) const = 0;
    virtual bool SetStageDpiY(int stage, int32_t dpi, IMouseProfile* profile) = 0;
    virtual int32_t GetStageDpiY(int stage, IMouseProfile* profile) const = 0;
    // The setter also keeps the flag as the device-level one that the getter answers without a
    // profile (shared with SetXYSeparate).
    virtual bool SetStageSeparateXY(int stage, bool separate, IMouseProfile* profile) = 0;
    virtual bool GetStageSeparateXY(int stage, IMouseProfile* profile) const = 0;
    // Sets the profile's range and the device-level range.
    virtual bool SetDpiRange(int32_t min, int32_t max, int32_t step, IMouseProfile* profile) = 0;
    // Null outputs are skipped. Always true.
    virtual bool GetDpiRange(int32_t* min, int32_t* max, int32_t* step, IMouseProfile* profile) const = 0;
    virtual bool SetXYSeparate(bool separate, IMouseProfile* profile) = 0;
    virtual bool GetXYSeparate(IMouseProfile* profile) const = 0;

    // ---- the profile's values ----
    virtual bool SetSensitivity(int32_t value, IMouseProfile* profile) = 0;
    virtual int32_t GetSensitivity(IMouseProfile* profile) const = 0;
    virtual bool SetSensitivityX(int32_t value, IMouseProfile* profile) = 0;
    virtual int32_t GetSensitivityX(IMouseProfile* profile) const = 0;
    virtual bool SetSensitivityY(int32_t value, IMouseProfile* profile) = 0;
    virtual int32_t GetSensitivityY(IMouseProfile* profile) const = 0;
    virtual bool SetValueD(int32_t value, IMouseProfile* profile) = 0;
    virtual int32_t GetValueD(IMouseProfile* profile) const = 0;
    virtual bool SetValueE(int32_t value, IMouseProfile* profile) = 0;
    virtual int32_t GetValueE(IMouseProfile* profile) const = 0;
    virtual bool SetValueF(int32_t value, IMouseProfile* profile) = 0;
    virtual int32_t GetValueF(IMouseProfile* profile) const = 0;
    virtual bool SetFlagD(bool on, IMouseProfile* profile) = 0;
    virtual bool GetFlagD(IMouseProfile* profile) const = 0;
    virtual bool SetFlagE(bool on, IMouseProfile* profile) = 0;
    virtual bool GetFlagE(IMouseProfile* profile) const = 0;
    virtual bool SetOsdDpi(bool on, IMouseProfile* profile) = 0;
    virtual bool GetOsdDpi(IMouseProfile* profile) const = 0;
    // Note the profile comes first.
    virtual bool SetLinkedApplicationPath(IMouseProfile* profile, const wchar_t* path) = 0;
    virtual std::wstring GetLinkedApplicationPath(IMouseProfile* profile) const = 0;
    virtual bool SetAutoSwitch(IMouseProfile* profile, bool on) = 0;
    virtual bool GetAutoSwitch(IMouseProfile* profile) const = 0;
    virtual int GetAssignmentCount(IMouseProfile* profile) const = 0;

    // ---- buttons ----
    // Stored only when the button allows the action's type.
    virtual bool SetButtonAssignment(int32_t button, const AssignmentAction& action, IMouseProfile* profile) = 0;
    virtual AssignmentAction GetButtonAssignment(int32_t button, IMouseProfile* profile) = 0;
    virtual bool HasClickAssignment(IMouseProfile* profile) const = 0;
    // The button's factory function; type -1 for a button without one.
    virtual AssignmentAction GetDefaultButtonAssignment(int32_t button) const = 0;
    // Nothing maps item values to buttons: always type -1.
    virtual AssignmentAction GetDefaultAssignmentForItem(int32_t item) const = 0;

    // ---- device-wide values ----
    virtual void SetAccelerationRange(int32_t min, int32_t max) = 0;
    // The range a device read set (0 to 0 before one); null outputs are skipped.
    virtual void GetAccelerationRange(int32_t* min, int32_t* max) const = 0;
    virtual void SetAccelerationEnabled(bool on) = 0;
    virtual bool GetAccelerationEnabled() const = 0;
    // Clamped to the acceleration range.
    virtual void SetAcceleration(int32_t level) = 0;
    virtual int32_t GetAcceleration() const = 0;
    // Rate index 0, 1, 2 (125, 500, 1000 Hz); -1 unknown.
    virtual void SetPollingRate(int32_t index) = 0;
    virtual int32_t GetPollingRate() const = 0;
    // The rates (Hz) the device reports; the first 5 are kept under indexes 0 to 4.
    virtual void SetSupportedPollingRates(const std::vector<int32_t>& rates) = 0;
    virtual int GetSupportedPollingRateCount() const = 0;
    // 0 for an index without a rate.
    virtual int32_t GetSupportedPollingRate(int index) const = 0;
};
