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

#include "model/ConfigInterfaces.h"
#include "mwapi/HvMwApi.h"
#include "platform/ComPtr.h"

class CProgressMessenger;
struct CDeviceListing;

// The device items (profiles, macros, applications) that a configuration has been shown by this
// device object: read from the device, imported, or made on it by a write. A write deletes a device
// item only when it is one of these and the configuration no longer holds it; an item the
// configuration never saw (one a failed read could not read, or one another program made since the
// last read) stays on the device.
struct CKnownItems
{
    std::vector<GUID> profiles;
    std::vector<GUID> macros;
    std::vector<GUID> apps;

    static bool Holds(const std::vector<GUID>& list, const GUID& id);
    // Every GUID the configuration holds now joins the known ones.
    template <class ProfileItf>
    void AddAll(const IBaseConfig<ProfileItf>& config);
};

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
    // What a write may delete; null: nothing.
    const CKnownItems* known = nullptr;
    // The listing of the Init a read goes on from (on the same connection); null: the read asks the
    // device for everything itself.
    const CDeviceListing* listing = nullptr;

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
// deletion the same index holds the next item. Any failure of the indexed call ends the list. An
// item still listed after its deletion was reported done counts as refused, so a middleware that
// reports deletions it did not make cannot keep the walk going. A refused deletion is stepped over
// and makes the result false, as does an item whose GUID cannot be read (it is kept).
template <class Item, class GetAt, class Delete, class Keep>
bool DeleteUnwantedItems(GetAt getAt, Delete remove, Keep keep)
{
    std::vector<GUID> deleted;
    bool ok = true;
    for (int i = 0, steps = 0; steps < kMaxDeviceListWalk; ++steps) {
        CComPtr<Item> item;
        if (FAILED(getAt(i, item.Put())))
            return ok;
        GUID id{};
        if (!item || FAILED(item->GetId(&id))) {
            ok = false;
            ++i;
            continue;
        }
        if (keep(id)) {
            ++i;
            continue;
        }
        const bool stillThere = std::any_of(deleted.begin(), deleted.end(),
                                            [&](const GUID& d) { return ::IsEqualGUID(d, id) != FALSE; });
        if (stillThere || FAILED(remove(item.Get()))) {
            ok = false;
            ++i;
            continue;
        }
        deleted.push_back(id);
    }
    return false;
}

// ---- profiles ----

// Reads a profile's GUID; false when it cannot be read.
bool ProfileGuid(IProfile* profile, GUID& guid);
bool ProfileName(IProfile* profile, std::wstring& name);
// The middleware profile of a GUID, or null.
CComPtr<IProfile> FindDeviceProfile(IProfileManager* manager, const GUID& guid);

// Walks a device list (profiles, macros, applications, lights, APM levels) for a read:
// visit(item) for each item from index 0 until the indexed call fails, whatever its code: the
// middleware names no code for the end of a list. A list cut short by a fault is therefore read as
// a shorter one; that is safe because a write sends only what a read filled (CProfileFilled,
// CConfigFilled) and deletes only items a read showed (CKnownItems). A null item, a failed visit
// or a list longer than any device holds fails the walk.
template <class Item, class GetAt, class Visit>
bool ReadEachItem(GetAt getAt, Visit visit)
{
    for (int i = 0; i < kMaxDeviceListWalk; ++i) {
        CComPtr<Item> item;
        if (FAILED(getAt(i, item.Put())))
            return true;
        if (!item || !visit(item.Get()))
            return false;
    }
    return false;
}

// The GUID of the device's active profile; a null GUID when the device has none. False when it
// cannot be read.
bool ReadActiveProfileGuid(IProfileManager* manager, GUID& active);
// Runs read(device profile) on the device's active profile; true without reading when the device
// has none, false when it cannot be obtained or read fails.
template <class Read>
bool ReadActiveProfile(IProfileManager* manager, Read read)
{
    CComPtr<IProfile> active;
    const HRESULT hr = manager->GetActiveProfile(active.Put());
    if (hr == HVMW_E_NOT_FOUND)
        return true;
    return SUCCEEDED(hr) && active && read(active.Get());
}

// Walks the device's profiles in order for a read. A profile the configuration holds (matched by
// GUID) becomes the active one when it is the device's, then readOne(device profile, profile) reads
// it; profiles the configuration lacks are passed over. Any failed call fails the walk.
template <class ProfileItf, class ReadOne>
bool ReadEachDeviceProfile(IProfileManager* manager, IBaseConfig<ProfileItf>& config, ReadOne readOne)
{
    GUID active{};
    if (!ReadActiveProfileGuid(manager, active))
        return false;
    return ReadEachItem<IProfile>([&](int i, IProfile** out) { return manager->GetProfile(i, out); },
                                  [&](IProfile* source) {
                                      GUID guid{};
                                      if (!ProfileGuid(source, guid))
                                          return false;
                                      ProfileItf* profile = config.FindProfileByGuid(guid);
                                      if (!profile)
                                          return true;
                                      if (!hv::IsNullGUID(active) && hv::IsEqualGUID(active, guid))
                                          config.SetActiveProfile(profile);
                                      return readOne(source, *profile);
                                  });
}

// A device profile as Init lists it: name, GUID and, where asked for, the stage count (the
// device's maximum) and DPI range of a mouse profile.
struct CListedProfile
{
    CComPtr<IProfile> device;   // the object the list gave
    CComPtr<IDpi> dpi;          // where the DPI range was read
    std::wstring name;
    GUID guid{};
    bool hasDpiLimits = false;
    int maxStages = 0;
    int dpiMin = 0, dpiMax = 0, dpiStep = 0;
};

// The device's profiles in order; any failed call fails the list, which is then empty.
bool ListDeviceProfiles(IProfileManager* manager, bool withDpiLimits, std::vector<CListedProfile>& listed);

// What an Init read on a shared connection (SharedConnection.h), kept there for the read that
// follows it: that read goes on with these objects and values instead of asking for them again.
struct CDeviceListing
{
    CComPtr<IProfileManager> manager;
    std::vector<CListedProfile> profiles;
    CComPtr<IProfile> active;                    // null: the device has no active profile
    CComPtr<IButtonAssignments> activeButtons;   // mouse: the active profile's, with its count
    ButtonCountInfo activeButtonCount{};
    bool activeKeysRead = false;                 // keyboard: the active profile's key records
    std::vector<AssignmentRecord> activeKeys;
    CComPtr<IPollingRate> polling;               // mouse
};

// The profile walk of a read: over the listing's profiles where the read goes on from an Init,
// else over the device's list (ReadEachDeviceProfile). readOne(device profile, profile, listed,
// active) gets the listed entry (null without a listing) and whether it is the listing's active
// profile (whose records Init may hold); the profile's GUID is the device profile's.
template <class ProfileItf, class ReadOne>
bool ReadDeviceProfiles(const CStepContext& c, IBaseConfig<ProfileItf>& config, ReadOne readOne)
{
    if (!c.listing) {
        CComPtr<IProfileManager> manager;
        if (FAILED(GetDeviceFeature(c.device, manager)))
            return false;
        return ReadEachDeviceProfile(manager.Get(), config,
                                     [&](IProfile* device, ProfileItf& profile) {
                                         return readOne(device, profile, nullptr, false);
                                     });
    }
    GUID active{};
    if (c.listing->active && !ProfileGuid(c.listing->active.Get(), active))
        return false;
    for (const CListedProfile& listed : c.listing->profiles) {
        ProfileItf* profile = config.FindProfileByGuid(listed.guid);
        if (!profile)
            continue;
        const bool isActive = !hv::IsNullGUID(active) && hv::IsEqualGUID(active, listed.guid);
        if (isActive)
            config.SetActiveProfile(profile);
        if (!readOne(listed.device.Get(), *profile, &listed, isActive))
            return false;
    }
    return true;
}
// Replaces the configuration's profiles with the listed ones: each made with the configuration's
// defaults, then named, identified and given its DPI limits; false when the configuration refuses one.
template <class ProfileItf>
bool CreateListedProfiles(const std::vector<CListedProfile>& listed, IBaseConfig<ProfileItf>& config);

// The profile list of a write: device profiles the configuration lacks are deleted (false when one
// could not be); a configuration profile without GUID is added on the device and takes
// the device's GUID, one with a GUID has its device twin renamed where the names differ without
// regard to case. The configuration's active profile becomes the device's at the end, where a read
// or the user chose it.
template <class ProfileItf>
bool DeleteMissingProfiles(IProfileManager* manager, const IBaseConfig<ProfileItf>& config, const CKnownItems* known);
bool EnsureDeviceProfile(IProfileManager* manager, IBaseProfile& profile);
template <class ProfileItf>
bool SetDeviceActiveProfile(IProfileManager* manager, const IBaseConfig<ProfileItf>& config);

// The writes of a profile's parts send only what its GetFilled() marks; each goes on past a failed
// call and fails the step at its end.
// Name, linked program and the three profile flags. osdDpi is the mouse's on-screen DPI flag.
bool WriteProperties(IProfile* device, const IBaseProfile& profile, bool osdDpi);
// Name, linked program (cleared when the device has none) and flags of the device profile with the
// profile's GUID; mouse receives the on-screen DPI flag when given. A name already read (listed) is
// not asked again. Any failed call fails the step.
bool ReadProperties(IProfile* device, IBaseProfile& profile, IMouseProfile* mouse, const std::wstring* listedName = nullptr);

// The stage count (the device's maximum) and the DPI range of a mouse profile.
bool ReadDpiLimits(IProfile* device, CListedProfile& limits);
bool ReadDpiLimits(IProfile* device, IMouseProfile& profile);
bool WriteDpi(IProfile* device, IMouseProfile& profile);
bool ReadDpi(IProfile* device, IMouseProfile& profile);
bool ReadDpi(IDpi* dpi, IMouseProfile& profile);

// The middleware mask bits of the buttons present, in rising order (at most the count); the feature
// and its count are handed out where asked for.
bool ReadButtonList(IProfile* device, std::vector<uint32_t>& bits, CComPtr<IButtonAssignments>* feature = nullptr,
                    ButtonCountInfo* count = nullptr);
// The device key codes of every key record; the records are handed out where asked for.
bool ReadKeyList(IProfile* device, std::vector<uint32_t>& codes, std::vector<AssignmentRecord>* records = nullptr);
// A device key code -> the program's key id (the key's hash in the keyboard definition); 0 for none.
int32_t KeyIdOfCode(uint32_t code);

// A record the program cannot translate into an action the profile takes, or would not write back
// as it is, is kept (IBaseProfile::SetFromDevice) and written back unchanged until the control is
// assigned again.
bool WriteButtons(IProfile* device, IMouseProfile& profile, const std::vector<uint32_t>& bits);
bool ReadButtons(IProfile* device, IMouseProfile& profile);
// The same from a feature whose count has been read.
bool ReadButtons(IButtonAssignments* assignments, const ButtonCountInfo& count, IMouseProfile& profile);
bool WriteKeys(IProfile* device, IKeyboardProfile& profile, const IKeyboardConfig& config,
               const std::vector<uint32_t>& codes);
bool ReadKeys(IProfile* device, IKeyboardProfile& profile, const IKeyboardConfig& config);
// The same from records already read.
void StoreKeys(const std::vector<AssignmentRecord>& records, IKeyboardProfile& profile, const IKeyboardConfig& config);

// A failed call on a light fails the step; the other lights are still written.
bool WriteLighting(IProfile* device, const IBaseProfile& profile);
// Any failed call fails the step; an interface a light does not offer is passed over.
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
bool ReadPollingRate(IPollingRate* rate, IMouseConfig& config);
// The feature is handed out where asked for.
bool ReadSupportedPollingRates(IDevice* device, std::vector<int32_t>& rates, CComPtr<IPollingRate>* feature = nullptr);

// Macro events <-> the middleware's event records. Key events read back take their virtual key from
// the scan code, so that an unchanged macro reads back equal to the one recorded.
std::vector<MacroEventRecord> ToDeviceEvents(const std::vector<MacroEvent>& events);
std::vector<MacroEvent> FromDeviceEvents(const MacroEventBlock* block);
// Replaces a device macro's events; a new macro's block ends in 8 zero bytes.
HRESULT SetDeviceEvents(IMacro* macro, const std::vector<MacroEvent>& events);
// Creates a device macro with the configuration macro's name and events; stores its GUID. A macro
// that cannot be named is deleted again (the device keeps no nameless macro) and keeps no GUID.
bool CreateDeviceMacro(IMacroManager* manager, CMacro& macro);

// The writes delete only device items that known holds and the configuration does not (null:
// none); they go on past a failed item and fail at their end. The device-wide writes send only
// what the configuration's GetFilled() marks. The reads replace the configuration's list with the device's; any failed call, a
// macro's events included, fails them.
template <class ProfileItf>
bool WriteMacros(IDevice* device, IBaseConfig<ProfileItf>& config, const CKnownItems* known);
template <class ProfileItf>
bool ReadMacros(IDevice* device, IBaseConfig<ProfileItf>& config);
bool WriteApplications(IDevice* device, IKeyboardConfig& config, const CKnownItems* known);
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
