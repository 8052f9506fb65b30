#include "model/DeviceSteps.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <set>

#include "core/KeyboardDef.h"
#include "model/CodeTables.h"
#include "platform/ProgressMessenger.h"
#include "platform/WStr.h"

using namespace hvmw;

namespace {

// An assignment buffer of count records, allocated and freed by the caller as the boundary wants.
class CAssignmentBuffer
{
public:
    explicit CAssignmentBuffer(int count)
    {
        if (count > 0 && count <= 4096) {
            m_records = static_cast<AssignmentRecord*>(::CoTaskMemAlloc(count * sizeof(AssignmentRecord)));
            if (m_records)
                std::memset(m_records, 0, count * sizeof(AssignmentRecord));
        }
    }
    ~CAssignmentBuffer() { ::CoTaskMemFree(m_records); }
    CAssignmentBuffer(const CAssignmentBuffer&) = delete;
    CAssignmentBuffer& operator=(const CAssignmentBuffer&) = delete;

    explicit operator bool() const { return m_records != nullptr; }
    AssignmentRecord** Address() { return &m_records; }
    const AssignmentRecord& operator[](int i) const { return m_records[i]; }

private:
    AssignmentRecord* m_records = nullptr;
};

bool WriteFlag(IProfileProperties* properties, WORD mask, bool on)
{
    const ProfileFlagWrite write{mask, static_cast<WORD>(on ? 1 : 0)};
    return SUCCEEDED(properties->SetProperty(kPropFlags, &write, 0, sizeof write, 0));
}

bool ReadFlags(IProfileProperties* properties, WORD& flags)
{
    flags = 0;
    DWORD size = sizeof flags;
    return SUCCEEDED(properties->GetProperty(kPropFlags, 0, &flags, 0, &size));
}

// Key actions compared by scan code and flags; the Pause key's virtual key stands for its
// extended flag (a record read back carries it that way).
uint8_t KeyFlagsOf(const AssignmentAction& action)
{
    uint8_t flags = action.payload.key.flags;
    if (action.VirtualKey() == VK_PAUSE)
        flags |= kKeyFlagExtended;
    return flags;
}

bool SameKey(const AssignmentAction& a, const AssignmentAction& b)
{
    return a.ScanCode() == b.ScanCode() && KeyFlagsOf(a) == KeyFlagsOf(b);
}

AssignmentRecord RecordOf(const AssignmentAction& action, uint32_t idWord)
{
    AssignmentRecord record{};
    if (!CodeTables()->FillRecord(action, idWord, record)) {
        record = AssignmentRecord{};
        record.id = idWord;
    }
    return record;
}

static_assert(sizeof(RawAssignment) == sizeof(AssignmentRecord), "a kept record is the middleware's record");

RawAssignment RawOf(const AssignmentRecord& record)
{
    RawAssignment raw;
    std::memcpy(raw.bytes, &record, sizeof raw.bytes);
    return raw;
}

AssignmentRecord RecordOfRaw(const RawAssignment& raw)
{
    AssignmentRecord record;
    std::memcpy(&record, raw.bytes, sizeof record);
    return record;
}

// Writes one record per call; a refused record fails the step but the others are still written.
template <class Itf>
bool WriteRecords(Itf* assignments, const std::vector<AssignmentRecord>& records)
{
    bool ok = true;
    for (const AssignmentRecord& record : records)
        if (FAILED(assignments->SetAssignments(1, &record)))
            ok = false;
    return ok;
}

// The number of records a feature's count announces: buttons give it in count, keys in count2.
int RecordCount(const ButtonCountInfo& info)
{
    return info.count;
}

int RecordCount(const KeyCountInfo& info)
{
    return info.count2;
}

// Reads a profile's assignment records, never more than the feature counted; false when the
// feature, its count or its records cannot be read, or it counts none.
template <class Itf, class CountInfo>
bool ReadCountedRecords(Itf* assignments, const CountInfo& info, std::vector<AssignmentRecord>& records)
{
    records.clear();
    if (RecordCount(info) <= 0)
        return false;
    int count = RecordCount(info);
    CAssignmentBuffer buffer(count);
    if (!buffer || FAILED(assignments->GetAssignments(&count, buffer.Address())))
        return false;
    for (int i = 0; i < std::min(count, RecordCount(info)); ++i)
        records.push_back(buffer[i]);
    return true;
}

template <class Itf, class CountInfo>
bool ReadRecords(IProfile* device, std::vector<AssignmentRecord>& records)
{
    records.clear();
    CComPtr<Itf> assignments;
    CountInfo info{};
    return SUCCEEDED(GetProfileFeature(device, assignments)) && SUCCEEDED(assignments->GetCount(&info)) &&
           ReadCountedRecords(assignments.Get(), info, records);
}

// ---- by-name assignments ----

template <class ConfigItf>
class CNameResolver
{
public:
    CNameResolver(IDevice* device, ConfigItf& config) : m_device(device), m_config(config) {}

    // The by-GUID twin of a by-name action, or false when the target cannot be found or made.
    bool Resolve(const AssignmentAction& action, AssignmentAction& out)
    {
        GUID guid{};
        switch (action.type) {
        case kActionProfileByName:
            if (!ProfileGuidOf(action.payload.name, guid))
                return false;
            out.Init(kActionProfile, guid);
            return true;
        case kActionMacroByName:
            if (!MacroGuidOf(action.payload.name, guid))
                return false;
            out = action;
            std::memset(&out.payload, 0, sizeof out.payload);
            out.type = kActionMacro;
            out.payload.guid = guid;
            return true;
        case kActionLaunchByName:
            if (!AppGuidOf(action.payload.name, guid))
                return false;
            out.Init(kActionLaunch, guid);
            return true;
        default:
            return false;
        }
    }

private:
    bool ProfileGuidOf(const wchar_t* name, GUID& guid)
    {
        auto* profile = m_config.FindProfileByName(name);
        if (!profile)
            return false;
        guid = profile->GetGuid();
        if (!hv::IsNullGUID(guid))
            return true;
        CComPtr<IProfileManager> manager;
        CComPtr<IProfile> created;
        if (FAILED(GetDeviceFeature(m_device, manager)) || FAILED(manager->AddProfile(created.Put())) ||
            !ProfileGuid(created.Get(), guid))
            return false;
        profile->SetGuid(guid);
        created->SetName(profile->GetName().c_str());
        return true;
    }

    bool MacroGuidOf(const wchar_t* name, GUID& guid)
    {
        CMacro* macro = m_config.FindMacroByName(name);
        if (!macro)
            return false;
        if (hv::IsNullGUID(macro->GetGuid())) {
            CComPtr<IMacroManager> manager;
            if (FAILED(GetDeviceFeature(m_device, manager)) || !CreateDeviceMacro(manager.Get(), *macro))
                return false;
        }
        guid = macro->GetGuid();
        return true;
    }

    bool AppGuidOf(const wchar_t* name, GUID& guid)
    {
        CHvApp* app = m_config.FindApp(name);
        if (!app)
            return false;
        if (hv::IsNullGUID(app->guid)) {
            CComPtr<IApplicationList> list;
            CComPtr<IApplication> created;
            GUID id{};
            if (FAILED(GetDeviceFeature(m_device, list)) || FAILED(list->AddApplication(created.Put())) ||
                FAILED(created->GetId(&id)))
                return false;
            app->guid = id;
            created->SetName(app->name.c_str());
        }
        guid = app->guid;
        return true;
    }

    IDevice* m_device;
    ConfigItf& m_config;
};

bool IsByName(int32_t type)
{
    return type == kActionMacroByName || type == kActionProfileByName || type == kActionLaunchByName;
}

} // namespace

// ---- known items ----

bool CKnownItems::Holds(const std::vector<GUID>& list, const GUID& id)
{
    return std::any_of(list.begin(), list.end(), [&](const GUID& known) { return hv::IsEqualGUID(known, id); });
}

template <class ProfileItf>
void CKnownItems::AddAll(const IBaseConfig<ProfileItf>& config)
{
    auto add = [](std::vector<GUID>& list, const GUID& id) {
        if (!hv::IsNullGUID(id) && !Holds(list, id))
            list.push_back(id);
    };
    for (int i = 0; i < config.GetProfileCount(); ++i)
        add(profiles, config.GetProfile(i)->GetGuid());
    for (int i = 0; i < config.GetMacroCount(); ++i)
        add(macros, config.GetMacro(i)->GetGuid());
    for (int i = 0; i < config.GetAppCount(); ++i)
        add(apps, config.GetApp(i)->guid);
}

template void CKnownItems::AddAll<IMouseProfile>(const IBaseConfig<IMouseProfile>&);
template void CKnownItems::AddAll<IKeyboardProfile>(const IBaseConfig<IKeyboardProfile>&);

// ---- context ----

bool CStepContext::Has(uint32_t feature) const
{
    return descriptor && descriptor->HasFeature(feature);
}

bool CStepContext::Runs(uint32_t bit, uint32_t feature) const
{
    return (flags & bit) != 0 && Has(feature);
}

void CStepContext::Percent(int percent) const
{
    if (progress)
        progress->SendPercent(percent);
}

void CStepContext::Text(const std::wstring& text) const
{
    if (progress)
        progress->SendText(text.c_str());
}

// ---- profiles ----

bool ProfileGuid(IProfile* profile, GUID& guid)
{
    guid = GUID();
    return profile && SUCCEEDED(profile->GetId(&guid));
}

bool ProfileName(IProfile* profile, std::wstring& name)
{
    CTaskString text;
    if (!profile || FAILED(profile->GetName(text.Put())))
        return false;
    name = text.Text();
    return true;
}

CComPtr<IProfile> FindDeviceProfile(IProfileManager* manager, const GUID& guid)
{
    CComPtr<IProfile> profile;
    if (!manager || hv::IsNullGUID(guid) || FAILED(manager->GetProfileById(guid, profile.Put())))
        profile.Reset();
    return profile;
}

bool ReadActiveProfileGuid(IProfileManager* manager, GUID& active)
{
    active = GUID();
    return ReadActiveProfile(manager, [&](IProfile* profile) { return ProfileGuid(profile, active); });
}

bool ListDeviceProfiles(IProfileManager* manager, bool withDpiLimits, std::vector<CListedProfile>& listed)
{
    listed.clear();
    const bool ok = ReadEachItem<IProfile>([&](int i, IProfile** out) { return manager->GetProfile(i, out); },
                                           [&](IProfile* device) {
                                               CListedProfile entry;
                                               if (!ProfileName(device, entry.name) || !ProfileGuid(device, entry.guid) ||
                                                   (withDpiLimits && !ReadDpiLimits(device, entry)))
                                                   return false;
                                               entry.device = CComPtr<IProfile>(device);
                                               listed.push_back(std::move(entry));
                                               return true;
                                           });
    if (!ok)
        listed.clear();
    return ok;
}

namespace {

// Keyboard profiles have no DPI.
void ApplyDpiLimits(const CListedProfile&, IBaseProfile&) {}

void ApplyDpiLimits(const CListedProfile& limits, IMouseProfile& profile)
{
    if (!limits.hasDpiLimits)
        return;
    profile.SetDpiStageCount(limits.maxStages);
    profile.SetDpiRange(limits.dpiMin, limits.dpiMax, limits.dpiStep);
}

} // namespace

template <class ProfileItf>
bool CreateListedProfiles(const std::vector<CListedProfile>& listed, IBaseConfig<ProfileItf>& config)
{
    config.ClearProfiles();
    for (const CListedProfile& entry : listed) {
        ProfileItf* profile = config.CreateProfile(entry.name.c_str());
        if (!profile)
            return false;
        profile->SetGuid(entry.guid);
        ApplyDpiLimits(entry, *profile);
        // It holds the configuration's defaults, not the device's values, until a read fills it.
        profile->ForgetFilled();
    }
    return true;
}

template <class ProfileItf>
bool DeleteMissingProfiles(IProfileManager* manager, const IBaseConfig<ProfileItf>& config, const CKnownItems* known)
{
    return DeleteUnwantedItems<IProfile>(
        [&](int i, IProfile** out) { return manager->GetProfile(i, out); },
        [&](IProfile* profile) { return manager->DeleteProfile(profile); },
        [&](const GUID& id) {
            return config.FindProfileByGuid(id) != nullptr || !known || !CKnownItems::Holds(known->profiles, id);
        });
}

bool EnsureDeviceProfile(IProfileManager* manager, IBaseProfile& profile)
{
    const std::wstring name = profile.GetName();
    if (hv::IsNullGUID(profile.GetGuid())) {
        CComPtr<IProfile> created;
        GUID guid{};
        if (FAILED(manager->AddProfile(created.Put())) || !ProfileGuid(created.Get(), guid))
            return false;
        profile.SetGuid(guid);
        return SUCCEEDED(created->SetName(name.c_str()));
    }
    CComPtr<IProfile> existing = FindDeviceProfile(manager, profile.GetGuid());
    std::wstring deviceName;
    if (existing && ProfileName(existing.Get(), deviceName) && !wstr::EqualsNoCase(deviceName, name))
        return SUCCEEDED(existing->SetName(name.c_str()));
    return true;
}

template <class ProfileItf>
bool SetDeviceActiveProfile(IProfileManager* manager, const IBaseConfig<ProfileItf>& config)
{
    const ProfileItf* active = config.GetActiveProfile();
    if (!active || !config.GetFilled().activeProfile)
        return true;
    CComPtr<IProfile> profile = FindDeviceProfile(manager, active->GetGuid());
    return profile && SUCCEEDED(manager->SetActiveProfile(profile.Get()));
}

template bool CreateListedProfiles<IMouseProfile>(const std::vector<CListedProfile>&, IBaseConfig<IMouseProfile>&);
template bool CreateListedProfiles<IKeyboardProfile>(const std::vector<CListedProfile>&,
                                                     IBaseConfig<IKeyboardProfile>&);
template bool DeleteMissingProfiles<IMouseProfile>(IProfileManager*, const IBaseConfig<IMouseProfile>&,
                                                  const CKnownItems*);
template bool DeleteMissingProfiles<IKeyboardProfile>(IProfileManager*, const IBaseConfig<IKeyboardProfile>&,
                                                     const CKnownItems*);
template bool SetDeviceActiveProfile<IMouseProfile>(IProfileManager*, const IBaseConfig<IMouseProfile>&);
template bool SetDeviceActiveProfile<IKeyboardProfile>(IProfileManager*, const IBaseConfig<IKeyboardProfile>&);

bool WriteProperties(IProfile* device, const IBaseProfile& profile, bool osdDpi)
{
    if (!device)
        return false;
    const CProfileFilled& filled = profile.GetFilled();
    bool ok = SUCCEEDED(device->SetName(profile.GetName().c_str()));
    CComPtr<IProfileProperties> properties;
    if (FAILED(GetProfileFeature(device, properties)))
        return false;
    // The device keeps the linked program's file name, which automatic switching compares with.
    const std::wstring app = profile.GetLinkedApplication();
    bool linkWritten = !filled.link;
    if (filled.link && app.size() <= kLinkedAppChars - 1) {
        wchar_t buffer[kLinkedAppChars] = {};
        std::copy(app.begin(), app.end(), buffer);
        linkWritten = SUCCEEDED(properties->SetProperty(kPropLinkedApp, buffer, 0, kLinkedAppBytes, 0));
    }
    ok = linkWritten && ok;
    // Automatic switching needs a linked program: it is not switched on for a link the device did
    // not take.
    if (linkWritten && (filled.link || filled.autoSwitch)) {
        const bool autoSwitch = profile.GetAutoSwitch() && (!filled.link || !app.empty());
        ok = WriteFlag(properties.Get(), kFlagAutoSwitch, autoSwitch) && ok;
    }
    if (filled.osdDpi)
        ok = WriteFlag(properties.Get(), kFlagOsdDpi, osdDpi) && ok;
    if (filled.osdProfile)
        ok = WriteFlag(properties.Get(), kFlagOsdProfile, profile.GetOsdProfile()) && ok;
    return ok;
}

bool ReadProperties(IProfile* device, IBaseProfile& profile, IMouseProfile* mouse, const std::wstring* listedName)
{
    std::wstring name = listedName ? *listedName : std::wstring();
    CComPtr<IProfileProperties> properties;
    if (!device || (!listedName && !ProfileName(device, name)) || FAILED(GetProfileFeature(device, properties)))
        return false;
    wchar_t buffer[kLinkedAppChars + 1] = {};
    DWORD size = kLinkedAppBytes;
    WORD flags = 0;
    if (FAILED(properties->GetProperty(kPropLinkedApp, 0, buffer, 0, &size)) || !ReadFlags(properties.Get(), flags))
        return false;
    // At most 127 characters, and no more than the device said it wrote: size 0 or an empty text
    // is a profile without a linked program.
    const size_t limit = std::min<size_t>(kLinkedAppChars - 1, size / sizeof(wchar_t));
    const std::wstring link(buffer, wcsnlen(buffer, limit));
    profile.SetName(name.c_str());
    profile.SetLinkedApplicationPath(link.c_str());
    profile.SetAutoSwitch((flags & kFlagAutoSwitch) != 0);
    if (mouse)
        mouse->SetOsdDpi((flags & kFlagOsdDpi) != 0);
    profile.SetOsdProfile((flags & kFlagOsdProfile) != 0);
    return true;
}

// ---- DPI ----

bool ReadDpiLimits(IProfile* device, CListedProfile& limits)
{
    CComPtr<IDpi> dpi;
    if (FAILED(GetProfileFeature(device, dpi)))
        return false;
    StageInfo info{};
    if (FAILED(dpi->GetStageInfo(&info)) || FAILED(dpi->GetRange(&limits.dpiMin, &limits.dpiMax, &limits.dpiStep)))
        return false;
    limits.dpi = std::move(dpi);
    limits.maxStages = info.maxStages;
    limits.hasDpiLimits = true;
    return true;
}

bool ReadDpiLimits(IProfile* device, IMouseProfile& profile)
{
    CListedProfile limits;
    if (!ReadDpiLimits(device, limits))
        return false;
    ApplyDpiLimits(limits, profile);
    return true;
}

bool WriteDpi(IProfile* device, IMouseProfile& profile)
{
    CComPtr<IDpi> dpi;
    if (FAILED(GetProfileFeature(device, dpi)))
        return false;
    const CProfileFilled& filled = profile.GetFilled();
    bool ok = true;
    // One call sets every stage: it is sent only when each of them is known.
    const int count = profile.GetEnabledStageCount();
    bool stagesKnown = filled.dpiActive;
    for (int s = 1; s <= count; ++s)
        stagesKnown = stagesKnown && filled.stages.count(s) != 0;
    if (stagesKnown) {
        std::vector<DpiValue> stages(static_cast<size_t>(std::max(count, 1)));
        for (int s = 1; s <= count; ++s) {
            const bool separate = profile.GetStageSeparateXY(s);
            stages[s - 1].x = separate ? profile.GetStageDpiX(s) : profile.GetStageDpi(s);
            stages[s - 1].y = separate ? profile.GetStageDpiY(s) : profile.GetStageDpi(s);
        }
        ok = SUCCEEDED(dpi->SetStages(count, stages.data()));
    }
    if (!filled.dpiActive)
        return ok;
    int current = 0;
    if (FAILED(dpi->GetActiveStage(&current)))
        ok = false;
    else if (current != profile.GetCurrentDpiStage())
        ok = SUCCEEDED(dpi->SetActiveStage(profile.GetCurrentDpiStage())) && ok;
    const bool separate = profile.GetXYSeparate();
    const int x = separate ? profile.GetSensitivityX() : profile.GetSensitivity();
    const int y = separate ? profile.GetSensitivityY() : profile.GetSensitivity();
    return SUCCEEDED(dpi->SetActiveDpi(x, y)) && ok;
}

bool ReadDpi(IProfile* device, IMouseProfile& profile)
{
    CComPtr<IDpi> dpi;
    return SUCCEEDED(GetProfileFeature(device, dpi)) && ReadDpi(dpi.Get(), profile);
}

bool ReadDpi(IDpi* dpi, IMouseProfile& profile)
{
    if (!dpi)
        return false;
    int count = 0;
    DpiValue* block = nullptr;
    if (FAILED(dpi->GetStages(&count, &block)))
        return false;
    // The count is the device's word: no more stages are read than the profile holds (the
    // device's maximum, read with its limits; never more than ten).
    std::vector<DpiValue> stages;
    if (block && count > 0)
        stages.assign(block, block + std::min(count, profile.GetDpiStageCount()));
    ::CoTaskMemFree(block);
    for (int s = 1; s <= static_cast<int>(stages.size()); ++s) {
        const DpiValue& v = stages[s - 1];
        const bool separate = v.x != v.y;
        profile.SetStageSeparateXY(s, separate);
        profile.SetStageDpi(s, std::min(v.x, v.y));
        profile.SetStageDpiX(s, v.x);
        profile.SetStageDpiY(s, v.y);
    }
    DpiValue active{};
    int current = 0;
    if (FAILED(dpi->GetActiveDpi(&active)) || FAILED(dpi->GetActiveStage(&current)))
        return false;
    profile.SetCurrentDpiStage(current);
    profile.SetXYSeparate(active.x != active.y);
    profile.SetSensitivityX(active.x);
    profile.SetSensitivityY(active.y);
    profile.SetSensitivity(std::min(active.x, active.y));
    profile.SetEnabledStageCount(static_cast<int>(stages.size()));
    return true;
}

// ---- buttons and keys ----

bool ReadButtonList(IProfile* device, std::vector<uint32_t>& bits, CComPtr<IButtonAssignments>* feature,
                    ButtonCountInfo* count)
{
    bits.clear();
    CComPtr<IButtonAssignments> assignments;
    ButtonCountInfo info{};
    if (FAILED(GetProfileFeature(device, assignments)) || FAILED(assignments->GetCount(&info)))
        return false;
    for (uint32_t bit = 1; bit <= 0x400000 && static_cast<int>(bits.size()) < info.count; bit <<= 1)
        if (info.mask & bit)
            bits.push_back(bit);
    if (feature)
        *feature = std::move(assignments);
    if (count)
        *count = info;
    return true;
}

bool ReadKeyList(IProfile* device, std::vector<uint32_t>& codes, std::vector<AssignmentRecord>* kept)
{
    codes.clear();
    std::vector<AssignmentRecord> records;
    if (!ReadRecords<IKeyAssignments, KeyCountInfo>(device, records))
        return false;
    for (const AssignmentRecord& record : records)
        codes.push_back(record.id);
    if (kept)
        *kept = std::move(records);
    return true;
}

int32_t KeyIdOfCode(uint32_t code)
{
    const uint32_t prefix = code >> 16;
    const uint32_t kind = prefix == 4 ? 2 : prefix == 2 ? 1 : 0;
    return GetKeyboardDef().FindByKeyCode((code & 0xFFFF) | (kind << 16));
}

namespace {

// The record a write sends for a button's action.
AssignmentRecord ButtonRecord(const AssignmentAction& action, int32_t button)
{
    return RecordOf(action, CodeTables()->MiddlewareButtonId(button));
}

// The record a write sends for a key's action: a default key goes out as the single key it is.
AssignmentRecord KeyRecord(AssignmentAction action, int32_t key, uint32_t code, const IKeyboardConfig& config)
{
    if (action.type == kActionDefaultKey && SameKey(action, config.GetDefaultKeyAssignment(key)))
        action = AssignmentAction::Key(kActionSingleKey, action.ScanCode(), action.VirtualKey(),
                                       action.payload.key.flags);
    return RecordOf(action, code);
}

// Hands a control's record as read to the profile: the action shown (type -1 where the profile
// takes none such), and the record itself where writing that action would send another.
template <class Profile>
void StoreRead(Profile& profile, int32_t control, const AssignmentAction& shown, const AssignmentRecord& record,
               const AssignmentRecord& written)
{
    const RawAssignment raw = RawOf(record);
    const bool same = std::memcmp(&record, &written, sizeof record) == 0;
    profile.SetFromDevice(control, shown, same ? nullptr : &raw);
}

} // namespace

bool WriteButtons(IProfile* device, IMouseProfile& profile, const std::vector<uint32_t>& bits)
{
    CComPtr<IButtonAssignments> assignments;
    if (FAILED(GetProfileFeature(device, assignments)))
        return false;
    std::vector<AssignmentRecord> records;
    for (uint32_t bit : bits) {
        const int32_t button = CodeTables()->ButtonFromMaskBit(bit);
        if (button == 0 || profile.GetFilled().controls.count(button) == 0)
            continue;
        RawAssignment kept;
        records.push_back(profile.GetDeviceRecord(button, kept) ? RecordOfRaw(kept)
                                                                : ButtonRecord(profile.GetButtonAssignment(button), button));
    }
    return WriteRecords(assignments.Get(), records);
}

namespace {

void StoreButtons(const std::vector<AssignmentRecord>& records, IMouseProfile& profile)
{
    const CodeTranslationTables* tables = CodeTables();
    for (const AssignmentRecord& record : records) {
        const int32_t button = tables->ButtonFromMiddlewareId(record.id);
        if (button == 0)
            continue;
        AssignmentAction action = tables->ReadRecord(record);
        if (!profile.IsFunctionAllowed(action.type, button))
            action = AssignmentAction();
        StoreRead(profile, button, action, record, ButtonRecord(action, button));
    }
}

} // namespace

bool ReadButtons(IProfile* device, IMouseProfile& profile)
{
    std::vector<AssignmentRecord> records;
    if (!ReadRecords<IButtonAssignments, ButtonCountInfo>(device, records))
        return false;
    StoreButtons(records, profile);
    return true;
}

bool ReadButtons(IButtonAssignments* assignments, const ButtonCountInfo& count, IMouseProfile& profile)
{
    std::vector<AssignmentRecord> records;
    if (!assignments || !ReadCountedRecords(assignments, count, records))
        return false;
    StoreButtons(records, profile);
    return true;
}

bool WriteKeys(IProfile* device, IKeyboardProfile& profile, const IKeyboardConfig& config,
               const std::vector<uint32_t>& codes)
{
    CComPtr<IKeyAssignments> assignments;
    if (FAILED(GetProfileFeature(device, assignments)))
        return false;
    std::vector<AssignmentRecord> records;
    for (uint32_t code : codes) {
        const int32_t key = KeyIdOfCode(code);
        if (key == 0 || profile.GetFilled().controls.count(key) == 0)
            continue;
        RawAssignment kept;
        records.push_back(profile.GetDeviceRecord(key, kept) ? RecordOfRaw(kept)
                                                             : KeyRecord(profile.GetAssignment(key), key, code, config));
    }
    return WriteRecords(assignments.Get(), records);
}

bool ReadKeys(IProfile* device, IKeyboardProfile& profile, const IKeyboardConfig& config)
{
    std::vector<AssignmentRecord> records;
    if (!ReadRecords<IKeyAssignments, KeyCountInfo>(device, records))
        return false;
    StoreKeys(records, profile, config);
    return true;
}

void StoreKeys(const std::vector<AssignmentRecord>& records, IKeyboardProfile& profile, const IKeyboardConfig& config)
{
    const CodeTranslationTables* tables = CodeTables();
    for (const AssignmentRecord& record : records) {
        const int32_t key = KeyIdOfCode(record.id);
        if (key == 0)
            continue;
        AssignmentAction action = tables->ReadRecord(record);
        if (record.kind == kKindKey) {
            const AssignmentAction defaultAction = config.GetDefaultKeyAssignment(key);
            if (SameKey(action, defaultAction))
                action = defaultAction;
        }
        if (!profile.IsFunctionAllowed(action.type))
            action = AssignmentAction();
        StoreRead(profile, key, action, record, KeyRecord(action, key, record.id, config));
    }
}

// ---- lighting ----

bool WriteLighting(IProfile* device, const IBaseProfile& profile)
{
    CComPtr<ILedCollection> leds;
    if (FAILED(GetProfileFeature(device, leds)))
        return false;
    const CProfileFilled& filled = profile.GetFilled();
    // A list that ends before a light with values to send was reached did not take them.
    std::set<int> unreached;
    for (const auto& [index, values] : filled.lights)
        if (values != 0)
            unreached.insert(index);
    bool ok = true;
    for (int i = 0; i < kMaxDeviceListWalk; ++i) {
        CComPtr<ILed> led;
        if (FAILED(leds->GetLed(i, led.Put())))
            return ok && unreached.empty();
        int id = 0;
        if (!led || FAILED(led->GetId(&id))) {
            ok = false;
            continue;
        }
        const int index = LedIndexFromId(id);
        if (index < 0)
            continue;   // a light the configuration does not know keeps its state
        // Only the values a read filled or the user set; the light keeps the others.
        unreached.erase(index);
        if (filled.HasLight(index, CProfileFilled::kLightState))
            ok = SUCCEEDED(profile.GetLedState(index) ? led->TurnOn() : led->TurnOff()) && ok;
        CComPtr<ILEDColor> color;
        if (filled.HasLight(index, CProfileFilled::kLightColor) && SUCCEEDED(led.As(color)))
            ok = SUCCEEDED(color->SetColor(profile.GetLedColor(index))) && ok;
        CComPtr<ILEDBrightness> brightness;
        if (filled.HasLight(index, CProfileFilled::kLightBrightness) && SUCCEEDED(led.As(brightness)))
            ok = SUCCEEDED(brightness->SetBrightness(profile.GetLedBrightness(index))) && ok;
        CComPtr<ILedEffect> effect;
        if (filled.HasLight(index, CProfileFilled::kLightEffect) && SUCCEEDED(led.As(effect)))
            ok = SUCCEEDED(effect->SetEffect(NormalizeLightingEffect(profile.GetLedEffect(index)), 0, 0)) && ok;
    }
    return false;
}

bool ReadLighting(IProfile* device, IBaseProfile& profile)
{
    CComPtr<ILedCollection> leds;
    if (FAILED(GetProfileFeature(device, leds)))
        return false;
    return ReadEachItem<ILed>([&](int i, ILed** out) { return leds->GetLed(i, out); }, [&](ILed* light) {
        CComPtr<ILed> led(light);
        int id = 0;
        if (FAILED(led->GetId(&id)))
            return false;
        const int index = LedIndexFromId(id);
        if (index < 0)
            return true;   // a light the configuration does not know
        BOOL on = FALSE;
        if (FAILED(led->GetState(&on)))
            return false;
        profile.SetLedState(index, on != FALSE);
        CComPtr<ILEDBrightness> brightness;
        int level = 0;
        if (SUCCEEDED(led.As(brightness))) {
            if (FAILED(brightness->GetBrightness(&level)))
                return false;
            profile.SetLedBrightness(index, level);
        }
        CComPtr<ILEDColor> color;
        COLORREF rgb = 0;
        if (SUCCEEDED(led.As(color))) {
            if (FAILED(color->GetColor(&rgb)))
                return false;
            profile.SetLedColor(index, rgb);
        }
        CComPtr<ILedEffect> effect;
        int kind = 0, duration = 0, delay = 0;
        if (SUCCEEDED(led.As(effect))) {
            if (FAILED(effect->GetEffect(&kind, &duration, &delay)))
                return false;
            profile.SetLedEffect(index, NormalizeLightingEffect(kind));
        }
        return true;
    });
}

// ---- by-name assignments ----

void ConvertMouseAssignments(IDevice* device, IMouseConfig& config, int profileIndex,
                             const std::vector<uint32_t>& bits, std::vector<CAssignmentConversion>* log)
{
    IMouseProfile* profile = config.GetProfile(profileIndex);
    if (!profile)
        return;
    CNameResolver<IMouseConfig> resolver(device, config);
    for (uint32_t bit : bits) {
        const int32_t button = CodeTables()->ButtonFromMaskBit(bit);
        if (button == 0)
            continue;
        const AssignmentAction before = profile->GetButtonAssignment(button);
        AssignmentAction after;
        if (!IsByName(before.type) || !resolver.Resolve(before, after))
            continue;
        if (profile->SetButtonAssignment(button, after) && log)
            log->push_back({profileIndex, true, button, before, after});
    }
}

void ConvertKeyAssignments(IDevice* device, IKeyboardConfig& config, int profileIndex,
                           const std::vector<uint32_t>& codes, std::vector<CAssignmentConversion>* log)
{
    IKeyboardProfile* profile = config.GetProfile(profileIndex);
    if (!profile)
        return;
    CNameResolver<IKeyboardConfig> resolver(device, config);
    for (uint32_t code : codes) {
        const int32_t key = KeyIdOfCode(code);
        if (key == 0)
            continue;
        const AssignmentAction before = profile->GetAssignment(key);
        AssignmentAction after;
        if (!IsByName(before.type) || !resolver.Resolve(before, after))
            continue;
        if (profile->SetAssignment(key, after) && log)
            log->push_back({profileIndex, false, key, before, after});
    }
}
