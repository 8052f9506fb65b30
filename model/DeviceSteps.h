// The steps of reading and writing a device, one feature each, between the configuration model and
// the middleware's feature interfaces. Each step returns whether it succeeded; the device bodies
// (Mouse.cpp, Keyboard.cpp) decide which steps run and in which order.
//
// Every step works on the objects it is given and releases what it obtained; strings and blocks the
// middleware hands out are freed where the step is done with them.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "ConfigInterfaces.h"
#include "HvMwApi.h"

class CProgressMessenger;

// What a transfer runs with: the connected device, which features it moves, where progress goes.
struct CStepContext
{
    IDevice* device = nullptr;
    const DeviceDescriptor* descriptor = nullptr;
    uint32_t flags = 0;
    CProgressMessenger* progress = nullptr;       // null: no progress is sent
    const std::atomic<bool>* cancel = nullptr;    // set when the owner gives up waiting
    // A write's own copy of the device's key codes (keyboard) or button bits (mouse); null or
    // empty: each profile asks the device for them.
    const std::vector<uint32_t>* controls = nullptr;

    // The caller asked for the bit and the device lists the feature.
    bool Runs(uint32_t bit, uint32_t feature) const;
    bool Has(uint32_t feature) const;
    bool Cancelled() const { return cancel && cancel->load(); }
    void Percent(int percent) const;
    void Text(const std::wstring& text) const;
};

// A by-name assignment the write turned into a by-GUID one, to be applied to the live configuration.
struct CAssignmentConversion
{
    int profileIndex = -1;   // in the written configuration
    bool button = true;      // a mouse button, else a keyboard key
    int32_t id = 0;          // the button or key id
    AssignmentAction before;
    AssignmentAction after;
};

// ---- obtaining features and middleware memory ----

template <class I>
HRESULT GetDeviceFeature(IDevice* device, CComPtr<I>& out)
{
    return device ? device->GetFeature(__uuidof(I), out.PutVoid()) : E_POINTER;
}

template <class I>
HRESULT GetProfileFeature(IProfile* profile, CComPtr<I>& out)
{
    return profile ? profile->GetFeature(__uuidof(I), out.PutVoid()) : E_POINTER;
}

// A string the middleware allocated; freed with the task allocator.
class CTaskString
{
public:
    CTaskString() = default;
    ~CTaskString() { ::CoTaskMemFree(m_text); }
    CTaskString(const CTaskString&) = delete;
    CTaskString& operator=(const CTaskString&) = delete;
    LPWSTR* Put()
    {
        ::CoTaskMemFree(m_text);
        m_text = nullptr;
        return &m_text;
    }
    std::wstring Text() const { return m_text ? m_text : L""; }

private:
    LPWSTR m_text = nullptr;
};

// ---- device lists ----

// The most items a walk over a device list (profiles, macros, applications) looks at.
constexpr int kMaxDeviceListWalk = 4096;

// Deletes the items of a device list that keep(guid) does not want, walking it by index: after a
// deletion the same index holds the next item. An item still listed after its deletion was
// reported done counts as refused, so a middleware that reports deletions it did not make cannot
// keep the walk going. A refused deletion ends the walk with false when stopOnRefusal is set, else
// the item is stepped over. An item whose GUID cannot be read is kept.
template <class Item, class GetAt, class Delete, class Keep>
bool DeleteUnwantedItems(GetAt getAt, Delete remove, Keep keep, bool stopOnRefusal)
{
    std::vector<GUID> deleted;
    for (int i = 0, steps = 0; steps < kMaxDeviceListWalk; ++steps) {
        CComPtr<Item> item;
        if (FAILED(getAt(i, item.Put())) || !item)
            return true;
        GUID id{};
        if (FAILED(item->GetId(&id)) || keep(id)) {
            ++i;
            continue;
        }
        const bool stillThere = std::any_of(deleted.begin(), deleted.end(),
                                            [&](const GUID& d) { return ::IsEqualGUID(d, id) != FALSE; });
        if (stillThere || FAILED(remove(item.Get()))) {
            if (stopOnRefusal)
                return false;
            ++i;
            continue;
        }
        deleted.push_back(id);
    }
    return !stopOnRefusal;
}

// ---- profiles ----

// Reads a profile's GUID; false when it cannot be read.
bool ProfileGuid(IProfile* profile, GUID& guid);
bool ProfileName(IProfile* profile, std::wstring& name);
// The middleware profile of a GUID, or null.
CComPtr<IProfile> FindDeviceProfile(IProfileManager* manager, const GUID& guid);

// Walks the device's profiles in order for a read. A profile the configuration holds (matched by
// GUID) becomes the active one when it is the device's, then readOne(device profile, profile) reads
// it; profiles the configuration lacks are passed over. Stops at the first failure, an unreadable
// GUID included; false then.
template <class ProfileItf, class ReadOne>
bool ReadEachDeviceProfile(IProfileManager* manager, IBaseConfig<ProfileItf>& config, ReadOne readOne)
{
    GUID active{};
    CComPtr<IProfile> activeProfile;
    if (SUCCEEDED(manager->GetActiveProfile(activeProfile.Put())))
        ProfileGuid(activeProfile.Get(), active);
    for (int i = 0;; ++i) {
        CComPtr<IProfile> source;
        if (FAILED(manager->GetProfile(i, source.Put())))
            return true;
        GUID guid{};
        if (!ProfileGuid(source.Get(), guid))
            return false;
        ProfileItf* profile = config.FindProfileByGuid(guid);
        if (!profile)
            continue;
        if (!hv::IsNullGUID(active) && hv::IsEqualGUID(active, guid))
            config.SetActiveProfile(profile);
        if (!readOne(source.Get(), *profile))
            return false;
    }
}

// Adds to the configuration a profile named and identified as the device profile; null when the
// device profile's name or GUID cannot be read or the configuration refuses the profile.
template <class ProfileItf>
ProfileItf* CreateConfigProfile(IProfile* device, IBaseConfig<ProfileItf>& config);

// The profile list of a write: device profiles the configuration lacks are deleted (this does not
// affect the write's result); a configuration profile without GUID is added on the device and takes
// the device's GUID, one with a GUID has its device twin renamed where the names differ without
// regard to case. The configuration's active profile becomes the device's at the end.
template <class ProfileItf>
void DeleteMissingProfiles(IProfileManager* manager, const IBaseConfig<ProfileItf>& config);
bool EnsureDeviceProfile(IProfileManager* manager, IBaseProfile& profile);
template <class ProfileItf>
bool SetDeviceActiveProfile(IProfileManager* manager, const IBaseConfig<ProfileItf>& config);

// Name, linked program and the three profile flags. osdDpi is the mouse's on-screen DPI flag.
bool WriteProperties(IProfile* device, const IBaseProfile& profile, bool osdDpi);
// Name, GUID, linked program and flags; osdDpi receives the on-screen DPI flag when given.
bool ReadProperties(IProfile* device, IBaseProfile& profile, IMouseProfile* mouse);

// The stage count (the device's maximum) and the DPI range of a mouse profile.
bool ReadDpiLimits(IProfile* device, IMouseProfile& profile);
bool WriteDpi(IProfile* device, IMouseProfile& profile);
bool ReadDpi(IProfile* device, IMouseProfile& profile);

// The middleware mask bits of the buttons present, in rising order (at most the count).
bool ReadButtonList(IProfile* device, std::vector<uint32_t>& bits);
// The device key codes of every key record.
bool ReadKeyList(IProfile* device, std::vector<uint32_t>& codes);
// A device key code -> the program's key id (the key's hash in the keyboard definition); 0 for none.
int32_t KeyIdOfCode(uint32_t code);

bool WriteButtons(IProfile* device, IMouseProfile& profile, const std::vector<uint32_t>& bits);
bool ReadButtons(IProfile* device, IMouseProfile& profile);
bool WriteKeys(IProfile* device, IKeyboardProfile& profile, const IKeyboardConfig& config,
               const std::vector<uint32_t>& codes);
bool ReadKeys(IProfile* device, IKeyboardProfile& profile, const IKeyboardConfig& config);

bool WriteLighting(IProfile* device, const IBaseProfile& profile);
bool ReadLighting(IProfile* device, IBaseProfile& profile);

// Turns the by-name assignments of the buttons (mouse) or keys (keyboard) of one profile into
// by-GUID ones, creating the named profile, macro or application on the device where it has no GUID
// yet. A macro or application that already has a GUID is only referred to. Each conversion is logged.
void ConvertMouseAssignments(IDevice* device, IMouseConfig& config, int profileIndex,
                             const std::vector<uint32_t>& bits, std::vector<CAssignmentConversion>* log);
void ConvertKeyAssignments(IDevice* device, IKeyboardConfig& config, int profileIndex,
                           const std::vector<uint32_t>& codes, std::vector<CAssignmentConversion>* log);

// ---- device-wide features (DeviceLists.cpp) ----

bool WriteAcceleration(IDevice* device, const IMouseConfig& config);
bool ReadAcceleration(IDevice* device, IMouseConfig& config);
bool WritePollingRate(IDevice* device, const IMouseConfig& config);
bool ReadPollingRate(IDevice* device, IMouseConfig& config);
bool ReadSupportedPollingRates(IDevice* device, IMouseConfig& config);

// Macro events <-> the middleware's event records. Key events read back take their virtual key from
// the scan code, so that an unchanged macro reads back equal to the one recorded.
std::vector<MacroEventRecord> ToDeviceEvents(const std::vector<MacroEvent>& events);
std::vector<MacroEvent> FromDeviceEvents(const MacroEventBlock* block);
// Replaces a device macro's events; a new macro's block ends in 8 zero bytes.
HRESULT SetDeviceEvents(IMacro* macro, const std::vector<MacroEvent>& events);
// Creates a device macro with the configuration macro's name and events; stores its GUID.
bool CreateDeviceMacro(IMacroManager* manager, CMacro& macro);

template <class ProfileItf>
bool WriteMacros(IDevice* device, IBaseConfig<ProfileItf>& config);
template <class ProfileItf>
bool ReadMacros(IDevice* device, IBaseConfig<ProfileItf>& config);
bool WriteApplications(IDevice* device, IKeyboardConfig& config);
bool ReadApplications(IDevice* device, IKeyboardConfig& config);

template <class ProfileItf>
bool WriteApm(IDevice* device, IBaseConfig<ProfileItf>& config);
template <class ProfileItf>
bool ReadApm(IDevice* device, IBaseConfig<ProfileItf>& config);
template <class ProfileItf>
bool ReadBattery(IDevice* device, IBaseConfig<ProfileItf>& config);
template <class ProfileItf>
bool WritePowerManagement(IDevice* device, const IBaseConfig<ProfileItf>& config);
template <class ProfileItf>
bool ReadPowerManagement(IDevice* device, IBaseConfig<ProfileItf>& config);

// The long firmware version as "%d.%02d" of its first two values; "0.00" when refused.
std::wstring ReadLongFirmwareVersion(IDevice* device);
