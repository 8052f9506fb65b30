#include "mwsim/SimActions.h"

#include "platform/WStr.h"

#include <cwchar>

namespace mwsim {
namespace {

bool Refuse(ActionResult* result, const std::wstring& why)
{
    result->text = why;
    return false;
}

bool Attached(const SimState& state, Dev dev, ActionResult* result)
{
    if (state.Of(dev).present)
        return true;
    return Refuse(result, std::wstring(L"the ") + DevName(dev) + L" is unplugged");
}

ProfileState* ActiveProfile(DeviceState& d)
{
    for (ProfileState& p : d.profiles)
        if (IsEqualGUID(p.id, d.activeProfile))
            return &p;
    return nullptr;
}

int ActiveIndex(const DeviceState& d)
{
    for (size_t i = 0; i < d.profiles.size(); ++i)
        if (IsEqualGUID(d.profiles[i].id, d.activeProfile))
            return static_cast<int>(i);
    return 0;
}

const KeyRow* KeyOfMakeCode(WORD make, bool extended)
{
    for (const KeyRow& row : KeyTable())
        if (row.onBoard && row.scan == make && (row.prefix != 0) == extended)
            return &row;
    return nullptr;
}

const KeyRow* KeyOfVk(UINT vk)
{
    for (const KeyRow& row : KeyTable())
        if (row.onBoard && row.vk == vk)
            return &row;
    return nullptr;
}

bool SetStage(SimState& state, int stage, ActionResult* result)
{
    ProfileState* p = ActiveProfile(state.Of(Dev::Mouse));
    if (!p || p->dpi.stages.empty())
        return Refuse(result, L"the active profile has no DPI stages");
    if (stage < 1 || stage > static_cast<int>(p->dpi.stages.size()))
        return Refuse(result, wstr::Format(L"the active profile has stages 1 to %d", static_cast<int>(p->dpi.stages.size())));
    p->dpi.activeStage = stage;
    p->dpi.active = p->dpi.stages[stage - 1];
    result->text = wstr::Format(L"dpi stage %d %dx%d", stage, p->dpi.active.x, p->dpi.active.y);
    return true;
}

bool PressMouseFunction(SimState& state, DWORD code, ActionResult* result)
{
    switch (code) {
    case hvmw::kFnDpiUp:
        return StepDpi(state, 1, result);
    case hvmw::kFnDpiDown:
        return StepDpi(state, -1, result);
    case hvmw::kFnProfileUp:
        return StepProfile(state, Dev::Mouse, 1, result);
    case hvmw::kFnProfileDown:
        return StepProfile(state, Dev::Mouse, -1, result);
    default:
        result->text = wstr::Format(L"function %lu", static_cast<unsigned long>(code));
        return true;
    }
}

bool PressProfileSwitch(SimState& state, Dev dev, const AssignmentRecord& r, ActionResult* result)
{
    switch (r.Code()) {
    case hvmw::kProfileOpPrevious:
        return StepProfile(state, dev, -1, result);
    case hvmw::kProfileOpNext:
        return StepProfile(state, dev, 1, result);
    case hvmw::kProfileOpById: {
        const auto& profiles = state.Of(dev).profiles;
        for (size_t i = 0; i < profiles.size(); ++i)
            if (IsEqualGUID(profiles[i].id, r.ProfileGuid()))
                return SelectProfile(state, dev, static_cast<int>(i), result);
        return Refuse(result, L"the assigned profile does not exist");
    }
    default:
        result->text = L"nothing assigned";
        return true;
    }
}

bool PressDpi(SimState& state, const AssignmentRecord& r, ActionResult* result)
{
    switch (r.Code()) {
    case hvmw::kDpiOpUp:
        return StepDpi(state, 1, result);
    case hvmw::kDpiOpDown:
        return StepDpi(state, -1, result);
    case hvmw::kDpiOpStage: {
        // The record counts its stage from 0 (the program's "DPI stage 1" writes 0); the device's
        // active stage counts from 1.
        const DWORD field = r.Stage();
        if (field >= static_cast<DWORD>(kMaxStages))
            return Refuse(result, wstr::Format(L"the assigned stage field %lu is past the last stage",
                                               static_cast<unsigned long>(field)));
        return SelectDpiStage(state, static_cast<int>(field) + 1, result);
    }
    case hvmw::kDpiOpTemporary:
        result->text = wstr::Format(L"temporary dpi %u %u", r.Value24(), r.Value26());
        return true;
    default:
        result->text = L"nothing assigned";
        return true;
    }
}

bool PressKey(SimState& state, Dev dev, const AssignmentRecord& r, ActionResult* result)
{
    const KeyRow* key = KeyOfMakeCode(r.MakeCode(), (r.Modifiers() & hvmw::kModExtended) != 0);
    if (dev == Dev::Keyboard && state.Of(dev).redirector && key)
        return RedirectKey(state, key->vk, result);
    result->text = wstr::Format(L"key 0x%02X modifiers 0x%08lX", r.MakeCode(), static_cast<unsigned long>(r.Modifiers()));
    return true;
}

} // namespace

bool PressOnDevice(SimState& state, Dev dev, DWORD id, ActionResult* result)
{
    if (!Attached(state, dev, result))
        return false;
    DeviceState& d = state.Of(dev);
    const ProfileState* p = ActiveProfile(d);
    // A copy: the actions below may change the profile list.
    AssignmentRecord r{};
    bool found = false;
    if (p) {
        for (const AssignmentRecord& own : p->assignments)
            if (own.id == id) {
                r = own;
                found = true;
                break;
            }
    }
    if (!found)
        return Refuse(result, wstr::Format(L"the %ls has no %ls 0x%lX", DevName(dev), dev == Dev::Mouse ? L"button" : L"key",
                                           static_cast<unsigned long>(id)));
    switch (r.kind) {
    case hvmw::kKindFunction:
        if (dev == Dev::Mouse)
            return PressMouseFunction(state, r.Code(), result);
        result->text = wstr::Format(L"function %lu", static_cast<unsigned long>(r.Code()));
        return true;
    case hvmw::kKindProfile:
        return PressProfileSwitch(state, dev, r, result);
    case hvmw::kKindDpi:
        if (dev != Dev::Mouse)
            return Refuse(result, L"the keyboard has no DPI");
        return PressDpi(state, r, result);
    case hvmw::kKindKey:
        return PressKey(state, dev, r, result);
    case hvmw::kKindMacro:
    case hvmw::kKindMacroRepeat:
        for (const MacroState& m : d.macros)
            if (IsEqualGUID(m.id, r.TargetGuid())) {
                result->text = L"macro \"" + m.name + L"\" " + std::to_wstring(m.events.size()) + L" events";
                return true;
            }
        return Refuse(result, L"the assigned macro does not exist");
    case hvmw::kKindApplication:
        for (const AppState& a : d.apps)
            if (IsEqualGUID(a.id, r.TargetGuid())) {
                Notice n = MakeNotice(state, dev, EventKind::App);
                n.a = hvmw::kAppEventOpen;
                n.text = a.name;
                result->notices.push_back(n);
                result->text = L"application \"" + a.name + L"\"";
                return true;
            }
        return Refuse(result, L"the assigned application does not exist");
    default:
        result->text = wstr::Format(L"kind %lu", static_cast<unsigned long>(r.kind));
        return true;
    }
}

bool StepDpi(SimState& state, int delta, ActionResult* result)
{
    if (!Attached(state, Dev::Mouse, result))
        return false;
    ProfileState* p = ActiveProfile(state.Of(Dev::Mouse));
    if (!p || p->dpi.stages.empty())
        return Refuse(result, L"the active profile has no DPI stages");
    // The stage buttons stop at the first and the last stage.
    return SetStage(state, Clamp(p->dpi.activeStage + delta, 1, static_cast<int>(p->dpi.stages.size())), result);
}

bool SelectDpiStage(SimState& state, int stage, ActionResult* result)
{
    return Attached(state, Dev::Mouse, result) && SetStage(state, stage, result);
}

bool StepProfile(SimState& state, Dev dev, int delta, ActionResult* result)
{
    if (!Attached(state, dev, result))
        return false;
    const int n = static_cast<int>(state.Of(dev).profiles.size());
    if (n == 0)
        return Refuse(result, L"no profiles");
    // The profile buttons go round.
    return SelectProfile(state, dev, ((ActiveIndex(state.Of(dev)) + delta) % n + n) % n, result);
}

bool SelectProfile(SimState& state, Dev dev, int index, ActionResult* result)
{
    if (!Attached(state, dev, result))
        return false;
    DeviceState& d = state.Of(dev);
    if (index < 0 || index >= static_cast<int>(d.profiles.size()))
        return Refuse(result, wstr::Format(L"the %ls has profiles 0 to %d", DevName(dev), static_cast<int>(d.profiles.size()) - 1));
    d.activeProfile = d.profiles[index].id;
    result->text = wstr::Format(L"profile %d \"%ls\"", index, d.profiles[index].name.c_str());
    return true;
}

bool OtfAction(SimState& state, OtfStep step, DWORD keyCode, ActionResult* result)
{
    if (!Attached(state, Dev::Keyboard, result))
        return false;
    DeviceState& d = state.Of(Dev::Keyboard);
    Notice n = MakeNotice(state, Dev::Keyboard, EventKind::Otf);
    switch (step) {
    case OtfStep::Start:
        if (d.otfPhase != kOtfIdle)
            return Refuse(result, L"a recording is already running");
        d.otfPhase = kOtfRecording;
        n.method = kOtfMethodStart;
        result->text = L"recording";
        break;
    case OtfStep::End:
        if (d.otfPhase != kOtfRecording)
            return Refuse(result, L"no recording is running");
        d.otfPhase = kOtfAwaitingKey;
        n.method = kOtfMethodEnd;
        result->text = L"waiting for the key";
        break;
    case OtfStep::Assign:
        if (d.otfPhase != kOtfAwaitingKey)
            return Refuse(result, L"no recording waits for its key");
        d.otfPhase = kOtfIdle;
        n.method = kOtfMethodAssign;
        n.a = hvmw::kOtfAssignKey;
        n.b = static_cast<int64_t>(keyCode);
        result->text = wstr::Format(L"assigned to key 0x%lX", static_cast<unsigned long>(keyCode));
        break;
    case OtfStep::Cancel:
        if (d.otfPhase == kOtfIdle)
            return Refuse(result, L"no recording to cancel");
        d.otfPhase = kOtfIdle;
        n.method = kOtfMethodCancel;
        result->text = L"cancelled";
        break;
    }
    result->notices.push_back(n);
    return true;
}

bool RedirectKey(SimState& state, UINT vk, ActionResult* result)
{
    if (!Attached(state, Dev::Keyboard, result))
        return false;
    if (!state.Of(Dev::Keyboard).redirector) {
        result->text = L"not redirected: the redirector is off";
        return true;
    }
    const KeyRow* key = KeyOfVk(vk);
    const UINT scan = key ? key->scan : ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16) | (key && key->prefix == 1 ? (1 << 24) : 0);
    const LPARAM up = down | (static_cast<LPARAM>(1) << 30) | (static_cast<LPARAM>(1) << 31);
    for (const auto& [message, lParam] : {std::pair<UINT, LPARAM>{WM_KEYDOWN, down}, {WM_KEYUP, up}}) {
        Notice n = MakeNotice(state, Dev::Keyboard, EventKind::Redirect);
        n.a = message;
        n.b = vk;
        n.c = static_cast<int64_t>(static_cast<uint32_t>(lParam));
        result->notices.push_back(n);
    }
    result->text = wstr::Format(L"redirected vk 0x%02X", vk);
    return true;
}

bool ParseKeyCode(const std::wstring& text, DWORD* code)
{
    if (text.empty())
        return false;
    wchar_t* end = nullptr;
    const unsigned long value = std::wcstoul(text.c_str(), &end, 0);
    if (*end == L'\0') {
        *code = static_cast<DWORD>(value);
        return true;
    }
    for (const KeyRow& row : KeyTable())
        if (wstr::EqualsNoCase(text, row.name)) {
            *code = row.DeviceCode();
            return true;
        }
    return false;
}

} // namespace mwsim
