#include "SysTray/HvDevice.h"

#include <algorithm>
#include <cstring>

namespace {

// The most elements a walk over a middleware list looks at: a list that never ends fails the walk.
constexpr int kMaxWalk = 4096;
// The linked program travels in a 256-byte buffer: 127 characters and the terminator.
constexpr size_t kLinkedAppMaxChars = hvmw::kLinkedAppChars - 1;
// A macro block of this many events is 8 MB: more than any device holds.
constexpr size_t kMaxMacroEvents = 1 << 20;

constexpr wchar_t kNewMacro[] = L"New Macro";
// Nine digits keep the number, and the number after it, within an int.
constexpr size_t kMaxMacroNumberDigits = 9;

std::wstring TakeString(LPWSTR text)
{
    std::wstring result = text ? text : L"";
    ::CoTaskMemFree(text);
    return result;
}

bool ReadName(IProfile* profile, std::wstring& name)
{
    LPWSTR text = nullptr;
    const HRESULT hr = profile->GetName(&text);
    name = TakeString(text);
    return SUCCEEDED(hr);
}

bool ReadName(IMacro* macro, std::wstring& name)
{
    LPWSTR text = nullptr;
    const HRESULT hr = macro->GetName(&text);
    name = TakeString(text);
    return SUCCEEDED(hr);
}

// Null when the middleware does not hand the feature out.
template <class I, class Owner>
CComPtr<I> Feature(Owner* owner)
{
    CComPtr<I> feature;
    if (!owner || FAILED(owner->GetFeature(__uuidof(I), feature.PutVoid())))
        feature.Reset();
    return feature;
}

template <class I, class From>
CComPtr<I> Query(const CComPtr<From>& from)
{
    CComPtr<I> queried;
    if (FAILED(from.As(queried)))
        queried.Reset();
    return queried;
}

// Whether an indexed call ends a walk. The interface describes its lists as "from index 0 until the
// call fails" and names no code, so any failure (or an item not handed out) is the end of the list;
// only a failure of another call on an item that was found fails a walk.
bool IsEndOfList(HRESULT hr, const void* item)
{
    return FAILED(hr) || !item;
}

// Property 0x80000002, kept only when the middleware reports a size; terminated within the buffer
// whatever the middleware wrote.
bool ReadLinkedApp(IProfileProperties* properties, std::wstring& application)
{
    wchar_t buffer[hvmw::kLinkedAppChars] = {};
    DWORD size = sizeof buffer;
    if (FAILED(properties->GetProperty(hvmw::kPropLinkedApp, 0, buffer, 0, &size)))
        return false;
    if (size != 0)
        application.assign(buffer, wcsnlen(buffer, kLinkedAppMaxChars));
    return true;
}

// Property 0x80000003 into the setting's three flags; they stay 0 when it cannot be read.
bool ReadFlags(IProfileProperties* properties, _Profile_Setting_& setting)
{
    WORD flags = 0;
    DWORD size = sizeof flags;
    if (FAILED(properties->GetProperty(hvmw::kPropFlags, 0, &flags, 0, &size)))
        return false;
    if (size != 0) {
        setting.autoSwitch = (flags & hvmw::kFlagAutoSwitch) ? 1 : 0;
        setting.osdDpi = (flags & hvmw::kFlagOsdDpi) ? 1 : 0;
        setting.osdProfile = (flags & hvmw::kFlagOsdProfile) ? 1 : 0;
    }
    return true;
}

// Both properties; true when both reads succeeded.
bool ReadProperties(IProfileProperties* properties, _Profile_Setting_& setting)
{
    const bool application = ReadLinkedApp(properties, setting.application);
    const bool flags = ReadFlags(properties, setting);
    return application && flags;
}

bool WriteFlag(IProfileProperties* properties, WORD mask, int value)
{
    const ProfileFlagWrite write{mask, static_cast<WORD>(value ? 1 : 0)};
    return SUCCEEDED(properties->SetProperty(hvmw::kPropFlags, &write, 0, sizeof write, 0));
}

// The number of a "New Macro" name: the decimal digits after the leading characters of "New Macro"
// (0 when there are none); -1 for any other name.
int NewMacroNumber(const std::wstring& name)
{
    if (name.find(kNewMacro) == std::wstring::npos)
        return -1;
    int number = 0;
    size_t digits = 0;
    for (size_t i = name.find_first_not_of(kNewMacro);
         i < name.size() && name[i] >= L'0' && name[i] <= L'9' && digits < kMaxMacroNumberDigits; ++i, ++digits)
        number = number * 10 + (name[i] - L'0');
    return number;
}

// Applies one LED setting as far as the LED offers it: colour, effect and brightness each where the
// LED has the interface, each tried whatever became of the others, and the switch on or off always,
// so that a light that misbehaves is still turned off. True when every write that was made succeeded.
bool ApplyLed(const CComPtr<ILed>& led, const CLed& setting)
{
    bool written = true;
    if (CComPtr<ILEDColor> colour = Query<ILEDColor>(led))
        written = SUCCEEDED(colour->SetColor(setting.color)) && written;
    if (CComPtr<ILedEffect> effect = Query<ILedEffect>(led))
        written = SUCCEEDED(effect->SetEffect(setting.effect, setting.duration, setting.delay)) && written;
    if (CComPtr<ILEDBrightness> brightness = Query<ILEDBrightness>(led))
        written = SUCCEEDED(brightness->SetBrightness(setting.brightness)) && written;
    return SUCCEEDED(setting.on == 1 ? led->TurnOn() : led->TurnOff()) && written;
}

struct CTaskMemFree
{
    void operator()(void* block) const noexcept { ::CoTaskMemFree(block); }
};

} // namespace

const CLed& CMacroLedScheme::Step(StepId step)
{
    // LED 7 in colour 0x0000FF at full brightness: steady, blinking every 300 ms, off.
    static const CLed steps[] = {
        {hvmw::kLedMacroRecord, 1, 0x0000FF, 100, hvmw::kEffectNone, 0, 0},
        {hvmw::kLedMacroRecord, 1, 0x0000FF, 100, hvmw::kEffectBlinking, 300, 300},
        {hvmw::kLedMacroRecord, 0, 0x0000FF, 100, hvmw::kEffectNone, 0, 0},
    };
    return steps[step];
}

CHvDevice::CHvDevice(DWORD productId) : m_productId(productId)
{
    if (FAILED(::CoCreateInstance(CLSID_HvMwApi, nullptr, HVMW_CLSCTX, IID_IDeviceEnumerator, m_root.PutVoid()))) {
        m_root.Reset();
        return;
    }
    for (int i = 0; m_root && i < kMaxWalk; ++i) {
        CComPtr<IDevice> device;
        const HRESULT hr = m_root->EnumDevice(i, device.Put());
        if (IsEndOfList(hr, device.Get()))
            break;
        CComPtr<IDeviceIdentity> identity = Query<IDeviceIdentity>(device);
        DWORD first = 0, product = 0;
        if (identity && SUCCEEDED(identity->GetIds(&first, &product)) && product == productId) {
            m_device = std::move(device);
            m_profiles = Feature<IProfileManager>(m_device.Get());
            break;
        }
    }
}

CHvDevice::~CHvDevice()
{
    m_profiles.Reset();
    m_device.Reset();
    m_root.Reset();
}

template <class Visit>
bool CHvDevice::ForEachProfile(Visit&& visit)
{
    if (!m_profiles)
        return false;
    for (int i = 0; i < kMaxWalk; ++i) {
        CComPtr<IProfile> profile;
        const HRESULT hr = m_profiles->GetProfile(i, profile.Put());
        if (IsEndOfList(hr, profile.Get()))
            return true;
        if (!visit(profile))
            return true;
    }
    return false;
}

bool CHvDevice::FindProfile(const std::wstring& name, bool ignoreCase, CComPtr<IProfile>& found)
{
    found.Reset();
    bool failed = false;
    const bool walked = ForEachProfile([&](const CComPtr<IProfile>& profile) {
        std::wstring own;
        if (!ReadName(profile.Get(), own)) {
            failed = true;
            return false;
        }
        const bool match = ignoreCase ? ::CompareStringOrdinal(own.c_str(), static_cast<int>(own.size()), name.c_str(),
                                                                static_cast<int>(name.size()), TRUE) == CSTR_EQUAL
                                      : own == name;
        if (match)
            found = profile;
        return !match;
    });
    if (!walked || failed)
        found.Reset();
    return static_cast<bool>(found);
}

bool CHvDevice::GetProfileSettings(std::vector<_Profile_Setting_>& settings)
{
    settings.clear();
    if (!HasMiddleware())
        return false;
    bool failed = false;
    const bool walked = ForEachProfile([&](const CComPtr<IProfile>& profile) {
        CComPtr<IProfileProperties> properties = Feature<IProfileProperties>(profile.Get());
        if (!properties)
            return true;
        _Profile_Setting_ setting;
        if (!ReadName(profile.Get(), setting.name)) {
            failed = true;
            return false;
        }
        ReadProperties(properties.Get(), setting);
        settings.push_back(std::move(setting));
        return true;
    });
    if (!walked || failed)
        settings.clear();
    return !settings.empty();
}

bool CHvDevice::GetProfileNames(std::vector<std::wstring>& names)
{
    names.clear();
    if (!HasMiddleware())
        return false;
    bool failed = false;
    const bool walked = ForEachProfile([&](const CComPtr<IProfile>& profile) {
        std::wstring name;
        failed = !ReadName(profile.Get(), name);
        if (!failed)
            names.push_back(std::move(name));
        return !failed;
    });
    if (!walked || failed)
        names.clear();
    return !names.empty();
}

bool CHvDevice::GetProfileSetting(const std::wstring& name, _Profile_Setting_& setting)
{
    setting = _Profile_Setting_{};
    CComPtr<IProfile> profile;
    if (!HasMiddleware() || !FindProfile(name, false, profile))
        return false;
    setting.name = name;
    CComPtr<IProfileProperties> properties = Feature<IProfileProperties>(profile.Get());
    return properties && ReadProperties(properties.Get(), setting);
}

bool CHvDevice::GetActiveProfileName(std::wstring& name)
{
    name.clear();
    CComPtr<IProfile> active;
    if (!HasMiddleware() || !m_profiles || FAILED(m_profiles->GetActiveProfile(active.Put())) || !active)
        return false;
    return ReadName(active.Get(), name);
}

bool CHvDevice::SetActiveProfile(const _Profile_Setting_& setting)
{
    CComPtr<IProfile> profile;
    return HasMiddleware() && FindProfile(setting.name, false, profile) &&
           SUCCEEDED(m_profiles->SetActiveProfile(profile.Get()));
}

bool CHvDevice::GetNewMacroName(std::wstring& name)
{
    name.clear();
    CComPtr<IMacroManager> macros = Feature<IMacroManager>(m_device.Get());
    if (!macros)
        return false;
    int largest = 0;
    for (int i = 0;; ++i) {
        if (i == kMaxWalk)
            return false;
        CComPtr<IMacro> macro;
        const HRESULT hr = macros->GetMacro(i, macro.Put());
        if (IsEndOfList(hr, macro.Get()))
            break;
        std::wstring own;
        if (!ReadName(macro.Get(), own))
            return false;
        largest = std::max(largest, NewMacroNumber(own));
    }
    name = kNewMacro + std::to_wstring(largest + 1);
    return true;
}

bool CHvDevice::CreateMacro(const std::wstring& name, const std::vector<MacroEventRecord>& events, GUID& macroId)
{
    macroId = GUID{};
    if (!m_device || events.size() > kMaxMacroEvents)
        return false;
    const size_t bytes = MacroEventBlock::Bytes(events.size());
    std::unique_ptr<MacroEventBlock, CTaskMemFree> block(static_cast<MacroEventBlock*>(::CoTaskMemAlloc(bytes)));
    if (!block)
        return false;
    std::memset(block.get(), 0, bytes);
    block->count = static_cast<DWORD>(events.size());
    if (!events.empty())
        std::memcpy(block->Events(), events.data(), events.size() * sizeof(MacroEventRecord));

    CComPtr<IMacroManager> macros = Feature<IMacroManager>(m_device.Get());
    CComPtr<IMacro> macro;
    if (!macros || FAILED(macros->AddMacro(macro.Put())) || !macro)
        return false;
    GUID id{};
    if (FAILED(macro->SetName(name.c_str())) || FAILED(macro->SetEvents(block.get())) || FAILED(macro->GetId(&id))) {
        // No half-made macro is left on the device.
        macros->DeleteMacro(macro.Get());
        return false;
    }
    macroId = id;
    return true;
}

bool CHvDevice::FindMacro(const GUID& macroId, CComPtr<IMacro>& found)
{
    found.Reset();
    CComPtr<IMacroManager> macros = Feature<IMacroManager>(m_device.Get());
    for (int i = 0; macros && i < kMaxWalk; ++i) {
        CComPtr<IMacro> macro;
        GUID id{};
        const HRESULT hr = macros->GetMacro(i, macro.Put());
        if (IsEndOfList(hr, macro.Get()) || FAILED(macro->GetId(&id)))
            return false;
        if (::IsEqualGUID(id, macroId)) {
            found = std::move(macro);
            return true;
        }
    }
    return false;
}

// One 32-byte record: the key, kind 8 (macro), the macro's GUID, played once.
bool CHvDevice::WriteMacroAssignment(IProfile* profile, const GUID& macroId, int key)
{
    CComPtr<IMacro> macro;
    GUID id{};
    if (!FindMacro(macroId, macro) || FAILED(macro->GetId(&id)))
        return false;
    CComPtr<IKeyAssignments> keys = Feature<IKeyAssignments>(profile);
    if (!keys)
        return false;
    AssignmentRecord record{};
    record.source = 0;
    record.id = static_cast<DWORD>(key);
    record.kind = hvmw::kKindMacroRepeat;
    record.SetTargetGuid(id);
    record.SetRepeatMode(hvmw::kRepeatOnce);
    record.SetRepeatCount(0);
    return SUCCEEDED(keys->SetAssignments(1, &record));
}

bool CHvDevice::AssignMacroToKey(const GUID& macroId, int /*first*/, int key)
{
    CComPtr<IProfile> active;
    if (!HasMiddleware() || !m_profiles || FAILED(m_profiles->GetActiveProfile(active.Put())) || !active)
        return false;
    // Activating the profile again makes the device take the new assignment.
    return WriteMacroAssignment(active.Get(), macroId, key) && SUCCEEDED(m_profiles->SetActiveProfile(active.Get()));
}

bool CHvDevice::AssignMacroToKeyInProfile(const std::wstring& profileName, const GUID& macroId, int /*first*/,
                                          int key)
{
    CComPtr<IProfile> profile;
    return HasMiddleware() && FindProfile(profileName, true, profile) &&
           WriteMacroAssignment(profile.Get(), macroId, key) && SUCCEEDED(m_profiles->SetActiveProfile(profile.Get()));
}

bool CHvDevice::BeginMacroRecording()
{
    if (!m_device)
        return false;
    const bool mode = SetDeviceModeDefault();
    const bool led = SetLedEffect(CMacroLedScheme::Step(CMacroLedScheme::kRecording));
    return mode && led;
}

bool CHvDevice::EndMacroRecording()
{
    return SetLedEffect(CMacroLedScheme::Step(CMacroLedScheme::kWaitingForKey));
}

bool CHvDevice::CancelMacroRecording()
{
    // The light goes out also when the mode cannot be set.
    const bool mode = SetDeviceModeNormal();
    const bool led = SetLedEffect(CMacroLedScheme::Step(CMacroLedScheme::kOff));
    return mode && led;
}

bool CHvDevice::FinishMacroRecording(int first, int key, const std::vector<MacroEventRecord>& recorded)
{
    if (!HasMiddleware())
        return false;
    SetDeviceModeNormal();
    // The light only shows the recording's step: whatever becomes of it, the recording is kept.
    SetLedEffect(CMacroLedScheme::Step(CMacroLedScheme::kOff));
    // Nothing captured is no macro: the key keeps what it does.
    if (recorded.empty())
        return false;
    std::wstring name;
    GUID macroId{};
    return GetNewMacroName(name) && CreateMacro(name, recorded, macroId) && AssignMacroToKey(macroId, first, key);
}

bool CHvDevice::AbortMacroRecording()
{
    return SetLedEffect(CMacroLedScheme::Step(CMacroLedScheme::kOff));
}

bool CHvDevice::GetDpiRange(int* minimum, int* maximum, int* step)
{
    int lo = 0, hi = 0, by = 0;
    CComPtr<IProfile> active;
    if (HasMiddleware() && m_profiles && SUCCEEDED(m_profiles->GetActiveProfile(active.Put())) && active) {
        CComPtr<IDpi> dpi = Feature<IDpi>(active.Get());
        if (dpi && SUCCEEDED(dpi->GetRange(&lo, &hi, &by))) {
            if (minimum)
                *minimum = lo;
            if (maximum)
                *maximum = hi;
            if (step)
                *step = by;
            return true;
        }
    }
    return false;
}

std::unique_ptr<CDpiEventConnection> CHvDevice::CreateDpiEventConnection(IDpiEventHandler* handler)
{
    CComPtr<IProfile> active;
    if (!HasMiddleware() || !m_profiles || FAILED(m_profiles->GetActiveProfile(active.Put())) || !active)
        return nullptr;
    CComPtr<IDpi> dpi = Feature<IDpi>(active.Get());
    if (!dpi)
        return nullptr;
    return std::make_unique<CDpiEventConnection>(static_cast<int>(m_productId), dpi.Get(), handler);
}

std::unique_ptr<CProfileEventConnection> CHvDevice::CreateProfileEventConnection(IProfileEventHandler* handler)
{
    if (!m_profiles)
        return nullptr;
    return std::make_unique<CProfileEventConnection>(static_cast<int>(m_productId), m_profiles.Get(), handler);
}

std::unique_ptr<CMacroEventConnection> CHvDevice::CreateMacroEventConnection(IMacroEventHandler* handler)
{
    CComPtr<IOtfMacroRecording> recording = Feature<IOtfMacroRecording>(m_device.Get());
    if (!recording)
        return nullptr;
    return std::make_unique<CMacroEventConnection>(static_cast<int>(m_productId), recording.Get(), handler);
}

std::unique_ptr<CLaunchAppEventConnection> CHvDevice::CreateLaunchAppEventConnection(ILaunchAppEventHandler* handler)
{
    CComPtr<IApplicationList> applications = Feature<IApplicationList>(m_device.Get());
    if (!applications)
        return nullptr;
    return std::make_unique<CLaunchAppEventConnection>(static_cast<int>(m_productId), applications.Get(), handler);
}

std::unique_ptr<CAudioSyncEventConnection> CHvDevice::CreateAudioSyncEventConnection()
{
    CComPtr<IAudioSync> audioSync = Feature<IAudioSync>(m_device.Get());
    if (!audioSync)
        return nullptr;
    return std::make_unique<CAudioSyncEventConnection>(static_cast<int>(m_productId), audioSync.Get(), m_device.Get());
}

bool CHvDevice::SetProfileApplication(const std::wstring& profileName, const std::wstring& path)
{
    CComPtr<IProfile> profile;
    if (!HasMiddleware() || !FindProfile(profileName, false, profile))
        return false;
    CComPtr<IProfileProperties> properties = Feature<IProfileProperties>(profile.Get());
    if (!properties)
        return false;
    wchar_t buffer[hvmw::kLinkedAppChars] = {};
    std::memcpy(buffer, path.data(), std::min(path.size(), kLinkedAppMaxChars) * sizeof(wchar_t));
    return SUCCEEDED(properties->SetProperty(hvmw::kPropLinkedApp, buffer, 0, sizeof buffer, 0));
}

bool CHvDevice::SetProfileAutoSwitch(const std::wstring& profileName, int flag)
{
    CComPtr<IProfile> profile;
    if (!HasMiddleware() || !FindProfile(profileName, false, profile))
        return false;
    CComPtr<IProfileProperties> properties = Feature<IProfileProperties>(profile.Get());
    return properties && WriteFlag(properties.Get(), hvmw::kFlagAutoSwitch, flag);
}

bool CHvDevice::SetProfileFlags(const std::wstring& profileName, int autoSwitch, int osdDpi, int osdProfile)
{
    CComPtr<IProfile> profile;
    if (!HasMiddleware() || !FindProfile(profileName, false, profile))
        return false;
    CComPtr<IProfileProperties> properties = Feature<IProfileProperties>(profile.Get());
    return properties && WriteFlag(properties.Get(), hvmw::kFlagAutoSwitch, autoSwitch) &&
           WriteFlag(properties.Get(), hvmw::kFlagOsdDpi, osdDpi) &&
           WriteFlag(properties.Get(), hvmw::kFlagOsdProfile, osdProfile);
}

bool CHvDevice::IsPresent()
{
    return static_cast<bool>(m_device);
}

bool CHvDevice::SetLedEffect(const CLed& led)
{
    std::wstring active;
    return HasMiddleware() && GetActiveProfileName(active) && SetProfileLedEffect(active, led);
}

bool CHvDevice::SetProfileLedEffect(const std::wstring& profileName, const CLed& setting)
{
    CComPtr<IProfile> profile;
    if (!HasMiddleware() || !FindProfile(profileName, false, profile))
        return false;
    CComPtr<ILedCollection> leds = Feature<ILedCollection>(profile.Get());
    for (int i = 0; leds && i < kMaxWalk; ++i) {
        CComPtr<ILed> led;
        int id = 0;
        const HRESULT hr = leds->GetLed(i, led.Put());
        if (IsEndOfList(hr, led.Get()) || FAILED(led->GetId(&id)))
            return false;
        if (id == setting.id)
            return ApplyLed(led, setting);
    }
    return false;
}

bool CHvDevice::SetDeviceModeDefault()
{
    return SetDeviceMode(hvmw::kModeDefault);
}

bool CHvDevice::SetDeviceModeNormal()
{
    return SetDeviceMode(hvmw::kModeNormal);
}

bool CHvDevice::SetDeviceMode(int mode)
{
    CComPtr<IDeviceMode> deviceMode = Feature<IDeviceMode>(m_device.Get());
    return deviceMode && SUCCEEDED(deviceMode->SetMode(mode));
}
