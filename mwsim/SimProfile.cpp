// Profiles: the profile manager, the profiles and their features (properties, DPI and sensitivity
// stages, button and key assignments, LED store).
#include "mwsim/SimCom.h"

#include "platform/WStr.h"

#include <algorithm>

namespace mwsim {
namespace {

Handle ProfileHandle(const Handle& device, const GUID& profile)
{
    Handle handle;
    handle.dev = device.dev;
    handle.generation = device.generation;
    handle.profile = profile;
    return handle;
}

ProfileState* FindProfile(DeviceState& d, const GUID& id)
{
    for (ProfileState& p : d.profiles)
        if (IsEqualGUID(p.id, id))
            return &p;
    return nullptr;
}

std::wstring FreshProfileName(const DeviceState& d)
{
    for (size_t n = d.profiles.size() + 1;; ++n) {
        const std::wstring name = L"Profile " + std::to_wstring(n);
        if (std::none_of(d.profiles.begin(), d.profiles.end(),
                         [&](const ProfileState& p) { return wstr::EqualsNoCase(p.name, name); }))
            return name;
    }
}

// The bits of property 0x80000003 that a profile keeps.
constexpr uint16_t kProfileFlags = hvmw::kFlagAutoSwitch | hvmw::kFlagOsdDpi | hvmw::kFlagOsdProfile;

bool InRange(const DpiValue& v, const StageLimits& limits)
{
    return v.x >= limits.min && v.x <= limits.max && v.y >= limits.min && v.y <= limits.max;
}

bool StagesFit(const StageSet& s, const StageLimits& limits)
{
    if (s.stages.empty() || s.stages.size() > static_cast<size_t>(limits.maxStages) || s.activeStage < 1 ||
        s.activeStage > static_cast<int>(s.stages.size()) || !InRange(s.active, limits))
        return false;
    return std::all_of(s.stages.begin(), s.stages.end(), [&](const DpiValue& v) { return InRange(v, limits); });
}

bool LedFits(const LedState& l)
{
    return l.on <= 1 && l.color <= 0xFFFFFF && l.brightness >= 0 && l.brightness <= 100 &&
           l.effect >= hvmw::kEffectNone && l.effect <= hvmw::kEffectSpectrum && l.duration >= 0 && l.delay >= 0;
}

// Whether a profile read from a file has the shape of this device's profiles.
bool FitsDevice(Dev dev, const ProfileState& p)
{
    const ProfileState factory = FactoryProfile(dev, GUID{}, std::wstring());
    if (p.assignments.size() != factory.assignments.size() || p.leds.size() != factory.leds.size())
        return false;
    for (size_t i = 0; i < p.assignments.size(); ++i)
        if (p.assignments[i].id != factory.assignments[i].id)
            return false;
    for (size_t i = 0; i < p.leds.size(); ++i)
        if (p.leds[i].id != factory.leds[i].id || !LedFits(p.leds[i]))
            return false;
    if ((p.flags & ~kProfileFlags) != 0)
        return false;
    return dev != Dev::Mouse || (StagesFit(p.dpi, kDpiLimits) && StagesFit(p.scaler, kScalerLimits));
}

// The id of a profile object handed back to us (ours or any other that answers GetId).
HRESULT ProfileId(IProfile* profile, GUID* id)
{
    if (!profile)
        return E_POINTER;
    *id = GUID{};
    return profile->GetId(id);
}

class CProfileManager : public CEventSource<IProfileManager>
{
public:
    using CEventSource::CEventSource;

    HRESULT STDMETHODCALLTYPE GetProfile(int index, IProfile** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return Read(m_handle, L"IProfileManager.GetProfile", Num(index), [&](CCall& c) -> HRESULT {
            const auto& profiles = c.Device().profiles;
            if (index < 0 || static_cast<size_t>(index) >= profiles.size())
                return c.ListEnd();
            return CreateProfile(m_handle, profiles[index].id, out);
        });
    }

    HRESULT STDMETHODCALLTYPE GetProfileById(GUID id, IProfile** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return Read(m_handle, L"IProfileManager.GetProfileById", GuidText(id), [&](CCall& c) -> HRESULT {
            return FindProfile(c.Device(), id) ? CreateProfile(m_handle, id, out) : HVMW_E_NOT_FOUND;
        });
    }

    HRESULT STDMETHODCALLTYPE SetActiveProfile(IProfile* profile) override
    {
        GUID id;
        const HRESULT hr = ProfileId(profile, &id);
        if (FAILED(hr))
            return hr;
        return Write(m_handle, L"IProfileManager.SetActiveProfile", GuidText(id), [&](CCall& c) -> HRESULT {
            if (!FindProfile(c.Device(), id))
                return HVMW_E_NOT_FOUND;
            c.Device().activeProfile = id;
            c.Changed();
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetActiveProfile(IProfile** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return Read(m_handle, L"IProfileManager.GetActiveProfile", [&](CCall& c) -> HRESULT {
            const GUID id = c.Device().activeProfile;
            return FindProfile(c.Device(), id) ? CreateProfile(m_handle, id, out) : HVMW_E_NOT_FOUND;
        });
    }

    HRESULT STDMETHODCALLTYPE AddProfile(IProfile** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        CComPtr<IProfile> made;
        const HRESULT hr = Write(m_handle, L"IProfileManager.AddProfile", {}, [&](CCall& c) -> HRESULT {
            DeviceState& d = c.Device();
            if (d.profiles.size() >= static_cast<size_t>(kMaxProfiles))
                return HVMW_E_FULL;
            // Changes only count once the caller's object exists (Changed), so a failure leaves none.
            d.profiles.push_back(
                FactoryProfile(c.DevKind(), NewGuid(c.DevKind(), d, kGuidProfile), FreshProfileName(d)));
            const ProfileState& p = d.profiles.back();
            const HRESULT created = CreateProfile(m_handle, p.id, made.Put());
            if (FAILED(created))
                return created;
            c.Note(GuidText(p.id) + L' ' + Quote(p.name));
            c.Changed();
            return S_OK;
        });
        return HandOut(hr, made, out);
    }

    HRESULT STDMETHODCALLTYPE DeleteProfile(IProfile* profile) override
    {
        GUID id;
        const HRESULT hr = ProfileId(profile, &id);
        if (FAILED(hr))
            return hr;
        return Write(m_handle, L"IProfileManager.DeleteProfile", GuidText(id), [&](CCall& c) -> HRESULT {
            DeviceState& d = c.Device();
            auto it = std::find_if(d.profiles.begin(), d.profiles.end(),
                                   [&](const ProfileState& p) { return IsEqualGUID(p.id, id); });
            if (it == d.profiles.end())
                return HVMW_E_NOT_FOUND;
            if (d.profiles.size() == 1)
                return HVMW_E_REFUSED; // a device always keeps one profile
            d.profiles.erase(it);
            if (!FindProfile(d, d.activeProfile))
                d.activeProfile = d.profiles.front().id;
            c.Changed();
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE Reserved9() override { return E_NOTIMPL; }

protected:
    bool Offers(EventKind kind) const override { return kind == EventKind::Profile; }

public:

    HRESULT STDMETHODCALLTYPE ImportProfile(LPCWSTR path, IProfile** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        std::wstring file;
        HRESULT hr = TakeString(path, &file);
        if (FAILED(hr))
            return hr;
        CComPtr<IProfile> made;
        hr = Write(m_handle, L"IProfileManager.ImportProfile", Quote(file), [&](CCall& c) -> HRESULT {
            std::vector<uint8_t> bytes;
            HRESULT result = ReadWholeFile(file, &bytes, kMaxImportBytes);
            if (FAILED(result))
                return result;
            ProfileState p;
            if (!DeserializeProfile(bytes, c.DevKind(), &p) || !FitsDevice(c.DevKind(), p))
                return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
            // What each LED can do is the device's, whatever the file says.
            for (LedState& led : p.leds) {
                LedState factory;
                if (FactoryLed(c.DevKind(), false, led.id, &factory)) {
                    led.hasColor = factory.hasColor;
                    led.hasBrightness = factory.hasBrightness;
                    led.hasEffect = factory.hasEffect;
                }
            }
            DeviceState& d = c.Device();
            if (d.profiles.size() >= static_cast<size_t>(kMaxProfiles))
                return HVMW_E_FULL;
            p.id = NewGuid(c.DevKind(), d, kGuidProfile);
            c.Note(GuidText(p.id) + L' ' + Quote(p.name));
            d.profiles.push_back(std::move(p));
            result = CreateProfile(m_handle, d.profiles.back().id, made.Put());
            if (SUCCEEDED(result))
                c.Changed();
            return result;
        });
        return HandOut(hr, made, out);
    }
};

class CProfile : public CObject<IProfile, IRestoreDefaults>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE GetFeature(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return Read(m_handle, L"IProfile.GetFeature", FeatureName(iid), [&](CCall& c) -> HRESULT {
            ProfileState* p = nullptr;
            const HRESULT hr = c.Profile(&p);
            if (FAILED(hr))
                return hr;
            return HasProfileFeature(m_handle.dev, iid) && !IsRemoved(c.Device(), iid)
                       ? CreateProfileFeature(m_handle, iid, out)
                       : E_NOINTERFACE;
        });
    }

    HRESULT STDMETHODCALLTYPE GetId(GUID* id) override
    {
        if (!id)
            return E_POINTER;
        return Read(m_handle, L"IProfile.GetId", [&](CCall& c) -> HRESULT {
            ProfileState* p = nullptr;
            const HRESULT hr = c.Profile(&p);
            if (SUCCEEDED(hr))
                *id = p->id;
            return hr;
        });
    }

    HRESULT STDMETHODCALLTYPE GetName(LPWSTR* name) override
    {
        if (!name)
            return E_POINTER;
        *name = nullptr;
        return Read(m_handle, L"IProfile.GetName", [&](CCall& c) -> HRESULT {
            ProfileState* p = nullptr;
            const HRESULT hr = c.Profile(&p);
            return FAILED(hr) ? hr : DupString(p->name, name);
        });
    }

    HRESULT STDMETHODCALLTYPE SetName(LPCWSTR name) override
    {
        std::wstring text;
        const HRESULT hr = TakeString(name, &text);
        if (FAILED(hr))
            return hr;
        return Write(m_handle, L"IProfile.SetName", Quote(text), [&](CCall& c) -> HRESULT {
            ProfileState* p = nullptr;
            const HRESULT result = c.Profile(&p);
            if (FAILED(result))
                return result;
            p->name = text;
            c.Changed();
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE Activate() override
    {
        return Write(m_handle, L"IProfile.Activate", {}, [&](CCall& c) -> HRESULT {
            ProfileState* p = nullptr;
            const HRESULT hr = c.Profile(&p);
            if (FAILED(hr))
                return hr;
            c.Device().activeProfile = p->id;
            c.Changed();
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE Export(LPCWSTR path) override
    {
        std::wstring file;
        const HRESULT hr = TakeString(path, &file);
        if (FAILED(hr))
            return hr;
        return Read(m_handle, L"IProfile.Export", [&](CCall& c) -> HRESULT {
            ProfileState* p = nullptr;
            const HRESULT result = c.Profile(&p);
            return FAILED(result) ? result : WriteWholeFile(file, SerializeProfile(c.DevKind(), *p));
        });
    }

    HRESULT STDMETHODCALLTYPE RestoreDefaults() override
    {
        return Write(m_handle, L"IRestoreDefaults.RestoreDefaults", {}, [&](CCall& c) -> HRESULT {
            ProfileState* p = nullptr;
            const HRESULT hr = c.Profile(&p);
            if (FAILED(hr))
                return hr;
            RestoreProfileDefaults(c.DevKind(), *p);
            c.Changed();
            return S_OK;
        });
    }
};

// Reads the wide text of a property write: up to its terminator, within size bytes.
std::wstring PropertyText(const void* data, DWORD size)
{
    const auto* text = static_cast<const wchar_t*>(data);
    const size_t chars = std::min<size_t>(size / sizeof(wchar_t), kMaxTextChars);
    return std::wstring(text, wcsnlen(text, chars));
}

class CProfileProperties : public CObject<IProfileProperties>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE GetProperty(DWORD id, DWORD, void* buffer, DWORD, DWORD* size) override
    {
        if (!size)
            return E_POINTER;
        if (!buffer && *size > 0)
            return E_POINTER;
        return Read(m_handle, L"IProfileProperties.GetProperty", HexNum(id), [&](CCall& c) -> HRESULT {
            ProfileState* p = nullptr;
            const HRESULT hr = c.Profile(&p);
            if (FAILED(hr))
                return hr;
            if (id == hvmw::kPropAppPath && IsAppPathRemoved(c.Device()))
                return HVMW_E_NOTIMPL;
            return Get(*p, id, static_cast<BYTE*>(buffer), size);
        });
    }

    HRESULT STDMETHODCALLTYPE SetProperty(DWORD id, const void* data, DWORD, DWORD size, DWORD) override
    {
        if (!data)
            return E_POINTER;
        std::wstring args = HexNum(id) + L' ';
        std::wstring text;
        ProfileFlagWrite flags{};
        if (id == hvmw::kPropFlags) {
            if (size < sizeof flags)
                return E_INVALIDARG;
            std::memcpy(&flags, data, sizeof flags);
            args += L"mask " + HexNum(flags.mask) + L" value " + Num(flags.value);
        } else {
            text = PropertyText(data, size);
            args += Quote(text);
        }
        return Write(m_handle, L"IProfileProperties.SetProperty", args, [&](CCall& c) -> HRESULT {
            ProfileState* p = nullptr;
            const HRESULT hr = c.Profile(&p);
            if (FAILED(hr))
                return hr;
            if (id == hvmw::kPropAppPath && IsAppPathRemoved(c.Device()))
                return HVMW_E_NOTIMPL;
            switch (id) {
            case hvmw::kPropFlags: {
                // Bits the profile does not have are ignored, so that every profile exports and imports.
                const uint16_t mask = static_cast<uint16_t>(flags.mask & kProfileFlags);
                p->flags = static_cast<uint16_t>(flags.value ? (p->flags | mask) : (p->flags & ~mask));
                break;
            }
            case hvmw::kPropLinkedApp:
            case hvmw::kPropAppPath:
                p->appPath = text;
                break;
            default:
                return E_INVALIDARG;
            }
            c.Changed();
            return S_OK;
        });
    }

private:
    static HRESULT Get(const ProfileState& p, DWORD id, BYTE* buffer, DWORD* size)
    {
        switch (id) {
        case hvmw::kPropFlags:
            if (*size < sizeof p.flags) {
                *size = sizeof p.flags;
                return HVMW_E_MORE_DATA;
            }
            std::memcpy(buffer, &p.flags, sizeof p.flags);
            *size = sizeof p.flags;
            return S_OK;
        case hvmw::kPropLinkedApp: {
            // The fixed form: as much of the path as the buffer holds, always terminated, the size
            // counting the terminator. A profile without a link answers the empty text (size 2), so
            // that a reader clears what it showed before; only a buffer without room for the
            // terminator is refused.
            if (*size < sizeof(wchar_t)) {
                *size = static_cast<DWORD>((p.appPath.size() + 1) * sizeof(wchar_t));
                return HVMW_E_MORE_DATA;
            }
            const size_t chars = std::min<size_t>(p.appPath.size(), *size / sizeof(wchar_t) - 1);
            std::memcpy(buffer, p.appPath.data(), chars * sizeof(wchar_t));
            std::memset(buffer + chars * sizeof(wchar_t), 0, sizeof(wchar_t));
            *size = static_cast<DWORD>((chars + 1) * sizeof(wchar_t));
            return S_OK;
        }
        case hvmw::kPropAppPath: {
            const DWORD need = static_cast<DWORD>((p.appPath.size() + 1) * sizeof(wchar_t));
            if (*size < need) {
                *size = need;
                return HVMW_E_MORE_DATA;
            }
            std::memcpy(buffer, p.appPath.c_str(), need);
            *size = need;
            return S_OK;
        }
        default:
            return E_INVALIDARG;
        }
    }
};

// IDpi and ISensitivityScaler: the same stage logic over different values and limits.
template <class I>
class CStages : public CEventSource<I>
{
public:
    CStages(const Handle& handle, StageSet ProfileState::*set, const StageLimits& limits, const wchar_t* name)
        : CEventSource<I>(handle), m_set(set), m_limits(limits), m_name(name)
    {
    }

    HRESULT STDMETHODCALLTYPE GetActiveDpi(DpiValue* value) override
    {
        if (!value)
            return E_POINTER;
        return OnSet(L"GetActiveDpi", [&](StageSet& s, CCall&) {
            *value = s.active;
            return S_OK;
        });
    }

    // Clamped to the range.
    HRESULT STDMETHODCALLTYPE SetActiveDpi(int x, int y) override
    {
        return OnSetWrite(L"SetActiveDpi", Num(x) + L'x' + Num(y), [&](StageSet& s, CCall& c) {
            s.active = {Clamp(x, m_limits.min, m_limits.max), Clamp(y, m_limits.min, m_limits.max)};
            c.Changed();
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetStageInfo(StageInfo* info) override
    {
        if (!info)
            return E_POINTER;
        return OnSet(L"GetStageInfo", [&](StageSet& s, CCall&) {
            *info = {static_cast<INT32>(s.stages.size()), m_limits.maxStages};
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetActiveStage(int* stage) override
    {
        if (!stage)
            return E_POINTER;
        return OnSet(L"GetActiveStage", [&](StageSet& s, CCall&) {
            *stage = s.activeStage;
            return S_OK;
        });
    }

    // A stage beyond the enabled ones is clamped to the last; the stage's values become active.
    HRESULT STDMETHODCALLTYPE SetActiveStage(int stage) override
    {
        return OnSetWrite(L"SetActiveStage", Num(stage), [&](StageSet& s, CCall& c) {
            if (s.stages.empty())
                return HVMW_E_REFUSED;
            s.activeStage = Clamp(stage, 1, static_cast<int>(s.stages.size()));
            s.active = s.stages[s.activeStage - 1];
            c.Changed();
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetStages(int* count, DpiValue** stages) override
    {
        if (!count || !stages)
            return E_POINTER;
        *count = 0;
        *stages = nullptr;
        return OnSet(L"GetStages", [&](StageSet& s, CCall&) {
            const size_t bytes = std::max<size_t>(s.stages.size(), 1) * sizeof(DpiValue);
            auto* block = static_cast<DpiValue*>(::CoTaskMemAlloc(bytes));
            if (!block)
                return E_OUTOFMEMORY;
            std::memset(block, 0, bytes);
            std::copy(s.stages.begin(), s.stages.end(), block);
            *stages = block;
            *count = static_cast<int>(s.stages.size());
            return S_OK;
        });
    }

    // 1 to the maximum number of stages, else refused; values clamped to the range.
    HRESULT STDMETHODCALLTYPE SetStages(int count, const DpiValue* stages) override
    {
        if (!stages)
            return E_POINTER;
        std::vector<DpiValue> values;
        std::wstring args = Num(count);
        if (count >= 1 && count <= m_limits.maxStages) {
            for (int i = 0; i < count; ++i) {
                values.push_back({Clamp(stages[i].x, m_limits.min, m_limits.max),
                                  Clamp(stages[i].y, m_limits.min, m_limits.max)});
                args += L' ' + Num(values.back().x) + L'x' + Num(values.back().y);
            }
        }
        return OnSetWrite(L"SetStages", args, [&](StageSet& s, CCall& c) {
            if (values.empty())
                return HVMW_E_REFUSED;
            s.stages = values;
            const int stage = Clamp(s.activeStage, 1, static_cast<int>(s.stages.size()));
            // The stage in effect has gone: the last one left takes over, with its values.
            if (stage != s.activeStage) {
                s.activeStage = stage;
                s.active = s.stages[stage - 1];
            }
            c.Changed();
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetRange(int* min, int* max, int* step) override
    {
        if (!min || !max || !step)
            return E_POINTER;
        return OnSet(L"GetRange", [&](StageSet&, CCall&) {
            *min = m_limits.min;
            *max = m_limits.max;
            *step = m_limits.step;
            return S_OK;
        });
    }

private:
    std::wstring Method(const wchar_t* name) const { return std::wstring(m_name) + L'.' + name; }

    template <class Body>
    HRESULT OnSet(const wchar_t* name, Body&& body)
    {
        return Read(this->m_handle, Method(name).c_str(), [&](CCall& c) -> HRESULT {
            ProfileState* p = nullptr;
            const HRESULT hr = c.Profile(&p);
            return FAILED(hr) ? hr : body(p->*m_set, c);
        });
    }
    template <class Body>
    HRESULT OnSetWrite(const wchar_t* name, const std::wstring& args, Body&& body)
    {
        return Write(this->m_handle, Method(name).c_str(), args, [&](CCall& c) -> HRESULT {
            ProfileState* p = nullptr;
            const HRESULT hr = c.Profile(&p);
            return FAILED(hr) ? hr : body(p->*m_set, c);
        });
    }

    StageSet ProfileState::*m_set;
    const StageLimits& m_limits;
    const wchar_t* m_name;
};

// DPI events reach the IDpi of every profile of the device: a listener keeps the feature of the
// profile that was active when it connected and still hears the DPI in effect after a switch.
class CDpi : public CStages<IDpi>
{
public:
    explicit CDpi(const Handle& handle) : CStages(handle, &ProfileState::dpi, kDpiLimits, L"IDpi") {}

protected:
    bool Offers(EventKind kind) const override { return kind == EventKind::Dpi || kind == EventKind::Dpi2; }
};

class CScaler : public CStages<ISensitivityScaler>
{
public:
    explicit CScaler(const Handle& handle)
        : CStages(handle, &ProfileState::scaler, kScalerLimits, L"ISensitivityScaler")
    {
    }

protected:
    bool Offers(EventKind kind) const override { return kind == EventKind::Scaler; }
};

// Buttons of the mouse and keys of the keyboard: one record per id, kept in id order.
class CAssignments : public CObject<IButtonAssignments, IKeyAssignments>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE GetCount(ButtonCountInfo* info) override
    {
        if (!info)
            return E_POINTER;
        return OnProfile(L"GetCount", [&](ProfileState& p) {
            *info = ButtonCountInfo{static_cast<INT32>(p.assignments.size()), 0, 0};
            for (const AssignmentRecord& r : p.assignments)
                if (r.id >= 1 && r.id <= 32)
                    info->mask |= 1u << (r.id - 1);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetCount(KeyCountInfo* info) override
    {
        if (!info)
            return E_POINTER;
        return OnProfile(L"GetCount", [&](ProfileState& p) {
            const auto n = static_cast<INT32>(p.assignments.size());
            *info = KeyCountInfo{n, n};
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetAssignments(int* count, AssignmentRecord** buffer) override
    {
        if (!count || !buffer || !*buffer)
            return E_POINTER;
        if (*count <= 0)
            return E_INVALIDARG;
        return OnProfile(L"GetAssignments", [&](ProfileState& p) {
            AssignmentRecord* out = *buffer;
            if (*count == 1 && out[0].id != 0) {
                for (const AssignmentRecord& r : p.assignments)
                    if (r.id == out[0].id) {
                        out[0] = r;
                        return S_OK;
                    }
                return HVMW_E_NOT_FOUND;
            }
            const size_t n = std::min(static_cast<size_t>(*count), p.assignments.size());
            std::copy(p.assignments.begin(), p.assignments.begin() + n, out);
            *count = static_cast<int>(n);
            return S_OK;
        });
    }

    // Every id must be one of the device's; then all records are stored as given.
    HRESULT STDMETHODCALLTYPE SetAssignments(int count, const AssignmentRecord* records) override
    {
        if (!records)
            return E_POINTER;
        if (count <= 0 || count > 512)
            return E_INVALIDARG;
        std::vector<AssignmentRecord> incoming(records, records + count);
        std::wstring args;
        for (const AssignmentRecord& r : incoming)
            args += (args.empty() ? L"" : L"; ") + RecordText(r);
        return Write(m_handle, Method(L"SetAssignments").c_str(), args, [&](CCall& c) -> HRESULT {
            ProfileState* p = nullptr;
            const HRESULT hr = c.Profile(&p);
            if (FAILED(hr))
                return hr;
            std::vector<AssignmentRecord*> targets;
            for (const AssignmentRecord& r : incoming) {
                auto it = std::find_if(p->assignments.begin(), p->assignments.end(),
                                       [&](const AssignmentRecord& own) { return own.id == r.id; });
                if (it == p->assignments.end())
                    return HVMW_E_NOT_FOUND;
                targets.push_back(&*it);
            }
            for (size_t i = 0; i < incoming.size(); ++i)
                *targets[i] = incoming[i];
            c.Changed();
            return S_OK;
        });
    }

protected:
    bool Answers(REFIID iid) override
    {
        if (IsEqualIID(iid, IID_IButtonAssignments))
            return m_handle.dev == Dev::Mouse;
        if (IsEqualIID(iid, IID_IKeyAssignments))
            return m_handle.dev == Dev::Keyboard;
        return true;
    }

private:
    std::wstring Method(const wchar_t* name) const
    {
        return std::wstring(m_handle.dev == Dev::Mouse ? L"IButtonAssignments." : L"IKeyAssignments.") + name;
    }

    template <class Body>
    HRESULT OnProfile(const wchar_t* name, Body&& body)
    {
        return Read(m_handle, Method(name).c_str(), [&](CCall& c) -> HRESULT {
            ProfileState* p = nullptr;
            const HRESULT hr = c.Profile(&p);
            return FAILED(hr) ? hr : body(*p);
        });
    }
};

// Obtained by the test program and never called.
class CLedStore : public CObject<ILedStore>
{
public:
    using CObject::CObject;
};

} // namespace

HRESULT CreateProfileManager(const Handle& device, IProfileManager** out)
{
    return Make<CProfileManager>(ProfileHandle(device, GUID{}), out);
}

HRESULT CreateProfile(const Handle& device, const GUID& profile, IProfile** out)
{
    return Make<CProfile>(ProfileHandle(device, profile), out);
}

HRESULT CreateProfileFeature(const Handle& profile, REFIID iid, void** out)
{
    if (IsEqualIID(iid, IID_IProfileProperties))
        return MakeAs<CProfileProperties>(profile, iid, out);
    if (IsEqualIID(iid, IID_IDpi))
        return MakeAs<CDpi>(profile, iid, out);
    if (IsEqualIID(iid, IID_ISensitivityScaler))
        return MakeAs<CScaler>(profile, iid, out);
    if (IsEqualIID(iid, IID_IButtonAssignments) || IsEqualIID(iid, IID_IKeyAssignments))
        return MakeAs<CAssignments>(profile, iid, out);
    if (IsEqualIID(iid, IID_ILedCollection))
        return CreateLedCollection(profile, iid, out);
    if (IsEqualIID(iid, IID_ILedStore))
        return MakeAs<CLedStore>(profile, iid, out);
    return E_NOINTERFACE;
}

} // namespace mwsim
