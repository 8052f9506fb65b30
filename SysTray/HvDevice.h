// CHvDevice: one device of the middleware, found by product id, for the length of one handler of the
// tray dialog. It owns a middleware root of its own (a new one per wrapper), the device and the
// device's profile manager, each with one reference (any of them may be null), and releases them in
// the reverse order when it is destroyed. The wrapper is present when it holds the device.
//
// Every operation returns false (or null) on any failure of the middleware and reports nothing; an
// absent device gives a wrapper whose operations all fail. Event connections made by a wrapper hold
// their own references and outlive it (EventConnections.h).
//
// Walks over the middleware's lists (profiles, macros, LEDs, devices) end at the first index whose
// call fails, whatever the code; a failure of another call on an element that was found (its name, its
// id) fails the walk.
#pragma once

#include "mwapi/HvMwApi.h"
#include "platform/ComPtr.h"
#include "SysTray/EventConnections.h"

#include <memory>
#include <string>
#include <vector>

// What the tray knows of one profile: its name, the program it is linked to, and its three flags
// (each 0 or 1).
struct _Profile_Setting_
{
    std::wstring name;
    std::wstring application;
    int autoSwitch = 0;
    int osdDpi = 0;
    int osdProfile = 0;
};

// One LED setting, seven 32-bit words.
struct CLed
{
    int id;
    int on;
    COLORREF color;
    int brightness;
    int effect;
    int duration;
    int delay;
};

// The macro-record LED through an on-the-fly recording: lit while recording, blinking while the
// device waits for the key, off after finish, cancel or abort.
class CMacroLedScheme
{
public:
    enum StepId { kRecording = 0, kWaitingForKey = 1, kOff = 2 };
    static const CLed& Step(StepId step);
};

class CHvDevice
{
public:
    // Opens the device with that product id through a new middleware root.
    explicit CHvDevice(DWORD productId);
    virtual ~CHvDevice();
    CHvDevice(const CHvDevice&) = delete;
    CHvDevice& operator=(const CHvDevice&) = delete;

    // ---- profiles ----
    // Every profile that has its properties, in the middleware's order; true when any was found.
    virtual bool GetProfileSettings(std::vector<_Profile_Setting_>& settings);
    // Every profile name in the middleware's order; true when any was found.
    virtual bool GetProfileNames(std::vector<std::wstring>& names);
    // The profile of exactly that name; true when both of its properties could be read (a flag word
    // that cannot be read leaves the flags 0).
    virtual bool GetProfileSetting(const std::wstring& name, _Profile_Setting_& setting);
    virtual bool GetActiveProfileName(std::wstring& name);
    // Activates the profile named by setting.name (exact).
    virtual bool SetActiveProfile(const _Profile_Setting_& setting);

    // ---- macros ----
    // "New Macro" followed by one more than the largest number of the device's "New Macro" names.
    virtual bool GetNewMacroName(std::wstring& name);
    // A new macro of that name and those events; its id in macroId.
    virtual bool CreateMacro(const std::wstring& name, const std::vector<MacroEventRecord>& events, GUID& macroId);
    // Assigns the macro to the key (a device key code) of the active profile and activates that profile
    // again so that the device takes it. first is the kind the device reported; it is not used.
    virtual bool AssignMacroToKey(const GUID& macroId, int first, int key);
    // The same in the profile whose name matches without regard to case.
    virtual bool AssignMacroToKeyInProfile(const std::wstring& profileName, const GUID& macroId, int first, int key);

    // ---- on-the-fly recording: device mode and the macro-record LED ----
    // The light is best effort in all four: each part of it is set where the LED offers it, and a
    // light that cannot be set changes nothing else (the mode is set, the recording kept).
    virtual bool BeginMacroRecording();
    virtual bool EndMacroRecording();
    virtual bool CancelMacroRecording();
    // Back to normal mode, LED off, then a new macro of the recorded events assigned to the key in the
    // active profile; true when it was made and assigned. No events make no macro and leave the key.
    virtual bool FinishMacroRecording(int first, int key, const std::vector<MacroEventRecord>& recorded);
    virtual bool AbortMacroRecording();

    // The active profile's DPI range.
    virtual bool GetDpiRange(int* minimum, int* maximum, int* step);

    // ---- event connections (null when the feature cannot be had) ----
    virtual std::unique_ptr<CDpiEventConnection> CreateDpiEventConnection(IDpiEventHandler* handler);
    virtual std::unique_ptr<CProfileEventConnection> CreateProfileEventConnection(IProfileEventHandler* handler);
    virtual std::unique_ptr<CMacroEventConnection> CreateMacroEventConnection(IMacroEventHandler* handler);
    virtual std::unique_ptr<CLaunchAppEventConnection> CreateLaunchAppEventConnection(ILaunchAppEventHandler* handler);
    virtual std::unique_ptr<CAudioSyncEventConnection> CreateAudioSyncEventConnection();

    // ---- profile properties ----
    // The linked program, at most 127 characters (the rest is cut off).
    virtual bool SetProfileApplication(const std::wstring& profileName, const std::wstring& path);
    virtual bool SetProfileAutoSwitch(const std::wstring& profileName, int flag);
    // Three writes, one flag each, each only after the previous one succeeded.
    virtual bool SetProfileFlags(const std::wstring& profileName, int autoSwitch, int osdDpi, int osdProfile);

    virtual bool IsPresent();

    // ---- LEDs and device mode ----
    // The setting applied to the active profile's LED of that id.
    virtual bool SetLedEffect(const CLed& led);
    // Colour, effect and brightness where the LED offers them, then on or off, for the profile's LED of
    // the setting's id; each write is made whatever became of the others. False when the profile or the
    // LED cannot be found or any write made fails.
    virtual bool SetProfileLedEffect(const std::wstring& profileName, const CLed& led);
    virtual bool SetDeviceModeDefault();
    virtual bool SetDeviceModeNormal();
    virtual bool SetDeviceMode(int mode);

    DWORD ProductId() const noexcept { return m_productId; }
    // The wrapper's own middleware root (borrowed), null when it could not be created.
    IDeviceEnumerator* Root() const noexcept { return m_root.Get(); }

private:
    bool HasMiddleware() const noexcept { return m_device || m_profiles; }
    // The first profile whose name matches; false when there is none or the walk fails.
    bool FindProfile(const std::wstring& name, bool ignoreCase, CComPtr<IProfile>& profile);
    // Calls visit(profile) for each profile in order until it returns false; false when the walk fails.
    template <class Visit>
    bool ForEachProfile(Visit&& visit);
    bool WriteMacroAssignment(IProfile* profile, const GUID& macroId, int key);
    bool FindMacro(const GUID& macroId, CComPtr<IMacro>& macro);

    DWORD m_productId;
    CComPtr<IDeviceEnumerator> m_root;
    CComPtr<IDevice> m_device;
    CComPtr<IProfileManager> m_profiles;
};
