#include "mwsim/SimCom.h"

#include "platform/WStr.h"

#include <cwchar>

namespace mwsim {

std::atomic<long> g_moduleRefs{0};
HMODULE g_module = nullptr;

uint32_t NextObjectSerial()
{
    static std::atomic<uint32_t> serial{0};
    return ++serial;
}

namespace {

bool Matches(const std::wstring& pattern, const wchar_t* value)
{
    return pattern == L"*" || _wcsicmp(pattern.c_str(), value) == 0;
}

// The first fault rule for this call, used up by one; S_OK when none applies.
HRESULT InjectedFault(SimState& state, const Handle& handle, Access access, const wchar_t* method, bool* changed)
{
    const wchar_t* device = access == Access::Root ? L"root" : DevName(handle.dev);
    for (auto rule = state.faults.begin(); rule != state.faults.end(); ++rule) {
        if (rule->remaining == 0 || !Matches(rule->device, device) || !Matches(rule->method, method))
            continue;
        const HRESULT hr = rule->hr;
        if (rule->remaining > 0 && --rule->remaining == 0)
            state.faults.erase(rule);
        *changed = true;
        return hr;
    }
    return S_OK;
}

std::wstring TargetText(const Handle& handle)
{
    static const GUID none{};
    std::wstring text;
    if (!IsEqualGUID(handle.profile, none))
        text += L' ' + GuidText(handle.profile);
    if (!IsEqualGUID(handle.item, none))
        text += L' ' + GuidText(handle.item);
    if (handle.led != 0)
        text += (handle.deviceLeds ? L" device-led " : L" led ") + std::to_wstring(handle.led);
    return text;
}

} // namespace

HRESULT Admit(CSession& session, const Handle& handle, Access access, const wchar_t* method, bool* hooksChanged)
{
    const SimState& state = session.State();
    if (state.delayMs > 0 && (state.delayMethod.empty() || _wcsicmp(state.delayMethod.c_str(), method) == 0)) {
        const HRESULT hr = session.Pause(state.delayMs);
        if (FAILED(hr))
            return hr;
    }
    if (access != Access::Root) {
        const DeviceState& device = session.State().Of(handle.dev);
        if (!device.present || device.generation != handle.generation)
            return HVMW_E_DEVICE_GONE;
    }
    return InjectedFault(session.State(), handle, access, method, hooksChanged);
}

void Finish(CSession& session, const Handle& handle, Access access, const wchar_t* method, const std::wstring& args,
            bool changed, HRESULT* hr)
{
    if (changed) {
        const HRESULT saved = session.Save();
        if (FAILED(saved) && SUCCEEDED(*hr))
            *hr = saved;
    }
    if (access == Access::Write || session.Paths().journalReads) {
        std::wstring line = std::wstring(access == Access::Root ? L"root" : DevName(handle.dev)) + L' ' + method +
                            TargetText(handle);
        if (!args.empty())
            line += L' ' + args;
        // Reads name their object: the same call on another object is another call.
        if (access != Access::Write && handle.object != 0)
            line += L" @" + std::to_wstring(handle.object);
        if (FAILED(*hr))
            line += wstr::Format(L" -> 0x%08lX", static_cast<unsigned long>(*hr));
        session.Journal(line);
    }
}

bool FeatureRemovedNow(const Handle& handle, REFIID iid)
{
    // A session of its own, also inside a method's: the mutex is the thread's already, and this only reads.
    CSession session;
    return SUCCEEDED(session.Status()) && IsRemoved(session.State().Of(handle.dev), iid);
}

void QueueStateEvents(const SimState& before, SimState& after)
{
    std::vector<Notice> notices;
    CollectStateEvents(before, after, &notices);
    QueueNotices(after, notices);
}

HRESULT CCall::Profile(ProfileState** out)
{
    for (ProfileState& p : Device().profiles)
        if (IsEqualGUID(p.id, m_handle.profile)) {
            *out = &p;
            return S_OK;
        }
    return HVMW_E_DELETED;
}

HRESULT CCall::Macro(MacroState** out)
{
    for (MacroState& m : Device().macros)
        if (IsEqualGUID(m.id, m_handle.item)) {
            *out = &m;
            return S_OK;
        }
    return HVMW_E_DELETED;
}

HRESULT CCall::App(AppState** out)
{
    for (AppState& a : Device().apps)
        if (IsEqualGUID(a.id, m_handle.item)) {
            *out = &a;
            return S_OK;
        }
    return HVMW_E_DELETED;
}

HRESULT CCall::Led(LedState** out)
{
    std::vector<LedState>* leds = &Device().deviceLeds;
    if (!m_handle.deviceLeds) {
        ProfileState* profile = nullptr;
        const HRESULT hr = Profile(&profile);
        if (FAILED(hr))
            return hr;
        leds = &profile->leds;
    }
    for (LedState& l : *leds)
        if (l.id == m_handle.led) {
            *out = &l;
            return S_OK;
        }
    return HVMW_E_DELETED;
}

HRESULT CCall::ApmLevel(size_t* index)
{
    const auto& levels = Device().apmLevels;
    for (size_t i = 0; i < levels.size(); ++i)
        if (levels[i].handle == m_handle.level) {
            *index = i;
            return S_OK;
        }
    return HVMW_E_DELETED;
}

HRESULT DupString(const std::wstring& text, LPWSTR* out)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    auto* copy = static_cast<LPWSTR>(::CoTaskMemAlloc(bytes));
    if (!copy)
        return E_OUTOFMEMORY;
    std::memcpy(copy, text.c_str(), bytes);
    *out = copy;
    return S_OK;
}

HRESULT TakeString(LPCWSTR text, std::wstring* out)
{
    if (!text)
        return E_POINTER;
    const size_t n = wcsnlen(text, kMaxTextChars + 1);
    if (n > kMaxTextChars)
        return E_INVALIDARG;
    out->assign(text, n);
    return S_OK;
}

std::wstring Quote(const std::wstring& text)
{
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\')
            out += L'\\';
        out += c < 0x20 ? L'?' : c;
    }
    return out + L'"';
}

std::wstring Num(long long value)
{
    return std::to_wstring(value);
}

std::wstring HexNum(unsigned long value)
{
    return wstr::Format(L"0x%lX", value);
}

std::wstring RecordText(const AssignmentRecord& r)
{
    std::wstring text = wstr::Format(L"id 0x%05lX src %lu kind %lu data ", static_cast<unsigned long>(r.id),
                                     static_cast<unsigned long>(r.source), static_cast<unsigned long>(r.kind));
    for (BYTE b : r.payload)
        text += wstr::Format(L"%02X", b);
    return text;
}

bool HasDeviceFeature(Dev dev, REFIID iid)
{
    const bool mouse = dev == Dev::Mouse;
    if (IsEqualIID(iid, IID_IProfileManager) || IsEqualIID(iid, IID_IDeviceMode) ||
        IsEqualIID(iid, IID_IMacroManager) || IsEqualIID(iid, IID_IApplicationList) ||
        IsEqualIID(iid, IID_IAudioSync))
        return true;
    if (IsEqualIID(iid, IID_IPollingRate) || IsEqualIID(iid, IID_IAcceleration) || IsEqualIID(iid, IID_IBattery) ||
        IsEqualIID(iid, IID_IPowerManagement) || IsEqualIID(iid, IID_IApm) || IsEqualIID(iid, IID_ILedControl))
        return mouse;
    if (IsEqualIID(iid, IID_IOtfMacroRecording) || IsEqualIID(iid, IID_IKeyboardRedirector))
        return !mouse;
    return false;
}

bool HasProfileFeature(Dev dev, REFIID iid)
{
    const bool mouse = dev == Dev::Mouse;
    if (IsEqualIID(iid, IID_IProfileProperties) || IsEqualIID(iid, IID_ILedCollection) ||
        IsEqualIID(iid, IID_ILedStore))
        return true;
    if (IsEqualIID(iid, IID_IDpi) || IsEqualIID(iid, IID_ISensitivityScaler) ||
        IsEqualIID(iid, IID_IButtonAssignments))
        return mouse;
    if (IsEqualIID(iid, IID_IKeyAssignments))
        return !mouse;
    return false;
}

} // namespace mwsim
