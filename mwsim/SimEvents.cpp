#include "mwsim/SimEvents.h"

#include "mwsim/SimStore.h"
#include "platform/WStr.h"

#include <dbt.h>

#include <algorithm>
#include <cstring>

namespace mwsim {
namespace {

// The fixed part of an encoded notice; the text follows as textChars wide characters.
struct NoticeWire
{
    uint32_t dev;
    uint32_t generation;
    uint32_t kind;
    uint32_t method;
    int64_t a, b, c;
    uint32_t textChars;
    uint32_t reserved;
};
static_assert(sizeof(NoticeWire) == 48);

// {4D1E55B2-F16F-11CF-88CB-001111000030}
constexpr GUID kHidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

constexpr DWORD kBroadcastTimeoutMs = 2000;

struct FeatureInfo
{
    const wchar_t* name;
    const IID* iid;
};

#define HV_FEATURE(itf) {L## #itf, &IID_##itf}
const FeatureInfo kFeatures[] = {
    HV_FEATURE(IDeviceIdentity),    HV_FEATURE(IMouseDevice),         HV_FEATURE(IKeyboardDevice),
    HV_FEATURE(ILongFirmwareVersion), HV_FEATURE(IDeviceStatus),      HV_FEATURE(IProfileManager),
    HV_FEATURE(IProfileProperties), HV_FEATURE(IRestoreDefaults),     HV_FEATURE(IDpi),
    HV_FEATURE(ISensitivityScaler), HV_FEATURE(IPollingRate),         HV_FEATURE(IAcceleration),
    HV_FEATURE(IBattery),           HV_FEATURE(IPowerManagement),     HV_FEATURE(IDeviceMode),
    HV_FEATURE(IButtonAssignments), HV_FEATURE(IKeyAssignments),      HV_FEATURE(IMacroManager),
    HV_FEATURE(IOtfMacroRecording), HV_FEATURE(IKeyboardRedirector),  HV_FEATURE(IApplicationList),
    HV_FEATURE(IAudioSync),         HV_FEATURE(IApm),                 HV_FEATURE(IApmEventColors),
    HV_FEATURE(ILedControl),        HV_FEATURE(ILedCollection),       HV_FEATURE(ILEDColor),
    HV_FEATURE(ILEDBrightness),     HV_FEATURE(ILedEffect),           HV_FEATURE(ILedStore),
};
#undef HV_FEATURE

const FeatureInfo* FeatureByIid(REFIID iid)
{
    for (const FeatureInfo& f : kFeatures)
        if (IsEqualIID(*f.iid, iid))
            return &f;
    return nullptr;
}

bool HasRemoved(const DeviceState& device, const wchar_t* name)
{
    return std::any_of(device.removed.begin(), device.removed.end(),
                       [&](const std::wstring& r) { return wstr::EqualsNoCase(r, name); });
}

const ProfileState* ActiveOf(const DeviceState& d)
{
    for (const ProfileState& p : d.profiles)
        if (IsEqualGUID(p.id, d.activeProfile))
            return &p;
    return nullptr;
}

int ActiveIndex(const DeviceState& d)
{
    for (size_t i = 0; i < d.profiles.size(); ++i)
        if (IsEqualGUID(d.profiles[i].id, d.activeProfile))
            return static_cast<int>(i);
    return -1;
}

bool SameValue(const DpiValue& a, const DpiValue& b)
{
    return a.x == b.x && a.y == b.y;
}

// What is in effect on the mouse: the active profile's stage and values.
void CollectStageEvents(const SimState& after, const StageSet* was, const StageSet* now, bool dpi,
                        std::vector<Notice>* out)
{
    if (!now)
        return;
    if (dpi && (!was || was->activeStage != now->activeStage)) {
        Notice n = MakeNotice(after, Dev::Mouse, EventKind::Dpi2);
        n.a = hvmw::kDpiEventStage;
        n.b = now->activeStage;
        out->push_back(n);
    }
    if (was && SameValue(was->active, now->active))
        return;
    Notice values = MakeNotice(after, Dev::Mouse, dpi ? EventKind::Dpi : EventKind::Scaler);
    values.a = now->active.x;
    values.b = now->active.y;
    out->push_back(values);
    if (dpi) {
        // The value of a values event carries both values, x in the low word.
        Notice flags = MakeNotice(after, Dev::Mouse, EventKind::Dpi2);
        flags.a = hvmw::kDpiEventValues;
        flags.b = static_cast<int64_t>(MAKELONG(now->active.x, now->active.y));
        out->push_back(flags);
    }
}

} // namespace

const std::vector<EventInfo>& AllEvents()
{
    static const std::vector<EventInfo> events = {
        {EventKind::Dpi, &IID__IDPIEvents, L"_IDPIEvents"},
        {EventKind::Dpi2, &IID__IDPIEvents2, L"_IDPIEvents2"},
        {EventKind::Scaler, &IID__ISensitivityScalerEvents, L"_ISensitivityScalerEvents"},
        {EventKind::Profile, &IID__IProfileManagerEvents, L"_IProfileManagerEvents"},
        {EventKind::Otf, &IID__IOTFMacroRecordingEvents, L"_IOTFMacroRecordingEvents"},
        {EventKind::App, &IID__IApplicationEvent, L"_IApplicationEvent"},
        {EventKind::Redirect, &IID__IKeyboardRedirectorEvents, L"_IKeyboardRedirectorEvents"},
    };
    return events;
}

const EventInfo* EventByIid(REFIID iid)
{
    for (const EventInfo& e : AllEvents())
        if (IsEqualIID(*e.iid, iid))
            return &e;
    return nullptr;
}

const EventInfo* EventByKind(uint32_t kind)
{
    for (const EventInfo& e : AllEvents())
        if (static_cast<uint32_t>(e.kind) == kind)
            return &e;
    return nullptr;
}

bool DeviceOffers(Dev dev, EventKind kind)
{
    switch (kind) {
    case EventKind::Dpi:
    case EventKind::Dpi2:
    case EventKind::Scaler:
        return dev == Dev::Mouse;
    case EventKind::Otf:
    case EventKind::Redirect:
        return dev == Dev::Keyboard;
    case EventKind::Profile:
    case EventKind::App:
        return true;
    }
    return false;
}

Notice MakeNotice(const SimState& state, Dev dev, EventKind kind)
{
    Notice n;
    n.dev = dev;
    n.generation = state.Of(dev).generation;
    n.kind = kind;
    return n;
}

std::vector<uint8_t> EncodeNotice(const Notice& notice)
{
    NoticeWire wire{};
    wire.dev = static_cast<uint32_t>(notice.dev);
    wire.generation = notice.generation;
    wire.kind = static_cast<uint32_t>(notice.kind);
    wire.method = notice.method;
    wire.a = notice.a;
    wire.b = notice.b;
    wire.c = notice.c;
    wire.textChars = static_cast<uint32_t>(std::min(notice.text.size(), kMaxTextChars));
    std::vector<uint8_t> bytes(sizeof wire + wire.textChars * sizeof(wchar_t));
    std::memcpy(bytes.data(), &wire, sizeof wire);
    std::memcpy(bytes.data() + sizeof wire, notice.text.data(), wire.textChars * sizeof(wchar_t));
    return bytes;
}

bool DecodeNotice(const void* data, size_t bytes, Notice* notice)
{
    NoticeWire wire{};
    if (!data || bytes < sizeof wire)
        return false;
    std::memcpy(&wire, data, sizeof wire);
    if (wire.textChars > kMaxTextChars || bytes != sizeof wire + wire.textChars * sizeof(wchar_t) ||
        wire.dev >= static_cast<uint32_t>(kDeviceCount) || !EventByKind(wire.kind))
        return false;
    notice->dev = static_cast<Dev>(wire.dev);
    notice->generation = wire.generation;
    notice->kind = static_cast<EventKind>(wire.kind);
    notice->method = wire.method;
    notice->a = wire.a;
    notice->b = wire.b;
    notice->c = wire.c;
    notice->text.assign(reinterpret_cast<const wchar_t*>(static_cast<const uint8_t*>(data) + sizeof wire),
                        wire.textChars);
    return true;
}

void CollectStateEvents(const SimState& before, const SimState& after, std::vector<Notice>* out)
{
    for (int i = 0; i < kDeviceCount; ++i) {
        const Dev dev = static_cast<Dev>(i);
        const DeviceState& was = before.Of(dev);
        const DeviceState& now = after.Of(dev);
        // A device that is not attached reports nothing.
        if (!now.present || was.generation != now.generation)
            continue;
        if (!IsEqualGUID(was.activeProfile, now.activeProfile) && ActiveIndex(now) >= 0) {
            Notice n = MakeNotice(after, dev, EventKind::Profile);
            n.a = ActiveIndex(now);
            out->push_back(n);
        }
        if (dev != Dev::Mouse)
            continue;
        const ProfileState* wasActive = ActiveOf(was);
        const ProfileState* nowActive = ActiveOf(now);
        CollectStageEvents(after, wasActive ? &wasActive->dpi : nullptr, nowActive ? &nowActive->dpi : nullptr, true,
                           out);
        CollectStageEvents(after, wasActive ? &wasActive->scaler : nullptr,
                           nowActive ? &nowActive->scaler : nullptr, false, out);
    }
}

namespace {

size_t MailBytes(const MailState& m)
{
    return m.notice.size() + m.cookies.size() * sizeof(uint32_t) + 20;
}

bool HasMail(const SimState& state, uint64_t window, uint32_t pid)
{
    return std::any_of(state.mail.begin(), state.mail.end(),
                       [&](const MailState& m) { return m.window == window && m.pid == pid; });
}

// Keeps the mail within its bounds, dropping the oldest: a window whose thread never pumps must not
// grow the state without end.
void TrimMail(SimState& state, uint64_t window, uint32_t pid)
{
    auto& mail = state.mail;
    const auto count = std::count_if(mail.begin(), mail.end(),
                                     [&](const MailState& m) { return m.window == window && m.pid == pid; });
    if (count > static_cast<long>(kMaxMailPerWindow)) {
        auto oldest = std::find_if(mail.begin(), mail.end(),
                                   [&](const MailState& m) { return m.window == window && m.pid == pid; });
        mail.erase(oldest);
    }
    size_t total = 0;
    for (const MailState& m : mail)
        total += MailBytes(m);
    while (total > kMaxMailBytes && !mail.empty()) {
        total -= MailBytes(mail.front());
        mail.erase(mail.begin());
    }
}

} // namespace

void QueueNotices(SimState& state, const std::vector<Notice>& notices)
{
    if (notices.empty())
        return;
    auto& connections = state.connections;
    auto& mail = state.mail;
    // Windows gone (their thread or process ended without unadvising) take their connections and mail along.
    connections.erase(std::remove_if(connections.begin(), connections.end(),
                                     [](const ConnectionState& c) { return !WindowAlive(c.window, c.pid); }),
                      connections.end());
    mail.erase(std::remove_if(mail.begin(), mail.end(), [&](const MailState& m) {
                   return std::none_of(connections.begin(), connections.end(), [&](const ConnectionState& c) {
                       return c.window == m.window && c.pid == m.pid;
                   });
               }),
               mail.end());

    std::vector<std::pair<uint64_t, uint32_t>> woken;
    for (const Notice& n : notices) {
        std::vector<uint8_t> bytes;
        std::vector<MailState> letters; // one per window, for every connection of it that listens
        for (const ConnectionState& c : connections) {
            if (c.dev != n.dev || c.generation != n.generation || c.event != static_cast<uint32_t>(n.kind))
                continue;
            auto letter = std::find_if(letters.begin(), letters.end(),
                                       [&](const MailState& m) { return m.window == c.window && m.pid == c.pid; });
            if (letter == letters.end()) {
                if (bytes.empty())
                    bytes = EncodeNotice(n);
                letters.push_back({c.window, c.pid, {}, bytes});
                letter = letters.end() - 1;
            }
            letter->cookies.push_back(c.cookie);
        }
        for (MailState& letter : letters) {
            const uint64_t window = letter.window;
            const uint32_t pid = letter.pid;
            const bool wake = !HasMail(state, window, pid);
            mail.push_back(std::move(letter));
            TrimMail(state, window, pid);
            if (!wake)
                continue;
            // A wake-up that cannot be posted (the queue of that thread is full) leaves no mail behind
            // that no wake-up would ever fetch; the next notice tries again.
            if (!::PostMessageW(reinterpret_cast<HWND>(static_cast<uintptr_t>(window)), kMailMessage, kNoticeTag, 0))
                mail.erase(std::remove_if(mail.begin(), mail.end(),
                                          [&](const MailState& m) { return m.window == window && m.pid == pid; }),
                           mail.end());
        }
    }
}

std::vector<MailState> TakeMail(SimState& state, uint64_t window, uint32_t pid)
{
    auto& mail = state.mail;
    const auto others = std::stable_partition(
        mail.begin(), mail.end(), [&](const MailState& m) { return m.window == window && m.pid == pid; });
    std::vector<MailState> taken(std::make_move_iterator(mail.begin()), std::make_move_iterator(others));
    mail.erase(mail.begin(), others);
    return taken;
}

bool WindowAlive(uint64_t window, uint32_t pid)
{
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(window));
    DWORD owner = 0;
    return ::IsWindow(hwnd) && ::GetWindowThreadProcessId(hwnd, &owner) != 0 && owner == pid;
}

bool ProcessAlive(uint32_t pid)
{
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return false;
    DWORD code = 0;
    const bool alive = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return alive;
}

bool RegisterClient(SimState& state, uint32_t pid)
{
    if (std::find(state.clients.begin(), state.clients.end(), pid) != state.clients.end())
        return false;
    state.clients.erase(std::remove_if(state.clients.begin(), state.clients.end(),
                                       [](uint32_t p) { return !ProcessAlive(p); }),
                        state.clients.end());
    if (state.clients.size() >= kMaxClients)
        state.clients.erase(state.clients.begin());
    state.clients.push_back(pid);
    return true;
}

std::wstring DeviceInterfacePath(DWORD vendor, DWORD product)
{
    wchar_t classText[40] = {};
    ::StringFromGUID2(kHidInterfaceClass, classText, 40);
    return wstr::Format(L"\\\\?\\HID#VID_%04lX&PID_%04lX#7&2b1e9c51&0&0000#", static_cast<unsigned long>(vendor),
                        static_cast<unsigned long>(product)) +
           wstr::ToLower(classText);
}

namespace {

struct BroadcastTargets
{
    const std::vector<uint32_t>* clients;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopWindow(HWND hwnd, LPARAM param)
{
    auto* targets = reinterpret_cast<BroadcastTargets*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (std::find(targets->clients->begin(), targets->clients->end(), pid) != targets->clients->end())
        targets->windows.push_back(hwnd);
    return TRUE;
}

} // namespace

int BroadcastDeviceChange(const std::vector<uint32_t>& clients, bool arrival, DWORD vendor, DWORD product)
{
    const std::wstring path = DeviceInterfacePath(vendor, product);
    const size_t bytes = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (path.size() + 1) * sizeof(wchar_t);
    std::vector<uint8_t> block(bytes, 0);
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(block.data());
    record->dbcc_size = static_cast<DWORD>(bytes);
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    record->dbcc_classguid = kHidInterfaceClass;
    std::memcpy(record->dbcc_name, path.c_str(), (path.size() + 1) * sizeof(wchar_t));

    BroadcastTargets targets{&clients, {}};
    ::EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&targets));
    for (HWND hwnd : targets.windows) {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(hwnd, WM_DEVICECHANGE, arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                              reinterpret_cast<LPARAM>(record), SMTO_NORMAL | SMTO_ABORTIFHUNG, kBroadcastTimeoutMs,
                              &result);
    }
    return static_cast<int>(targets.windows.size());
}

bool IsFeatureName(const std::wstring& name)
{
    if (wstr::EqualsNoCase(name, kAppPathFeature))
        return true;
    for (const FeatureInfo& f : kFeatures)
        if (wstr::EqualsNoCase(name, f.name))
            return true;
    return false;
}

std::wstring FeatureName(REFIID iid)
{
    const FeatureInfo* f = FeatureByIid(iid);
    return f ? std::wstring(f->name) : GuidText(iid);
}

bool IsRemovable(REFIID iid)
{
    return FeatureByIid(iid) != nullptr;
}

bool IsRemoved(const DeviceState& device, REFIID iid)
{
    const FeatureInfo* f = FeatureByIid(iid);
    return f && HasRemoved(device, f->name);
}

bool IsAppPathRemoved(const DeviceState& device)
{
    return HasRemoved(device, kAppPathFeature);
}

} // namespace mwsim
