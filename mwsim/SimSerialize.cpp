// Binary form of the state file and of the profile, macro and application files: little-endian,
// a magic and a version first. Every read is bounded; a short, long or inconsistent file is refused
// as a whole, and the caller falls back (the state file to the factory state).
#include "mwsim/SimState.h"

#include <cstring>

namespace mwsim {
namespace {

constexpr uint32_t kStateMagic = 0x534D5648;   // "HVMS"
constexpr uint32_t kProfileMagic = 0x46505648; // "HVPF"
constexpr uint32_t kMacroMagic = 0x464D5648;   // "HVMF"
constexpr uint32_t kAppMagic = 0x46415648;     // "HVAF"
constexpr uint32_t kVersion = 2;      // the profile, macro and application files
constexpr uint32_t kStateVersion = 4; // the state file

class Writer
{
public:
    void U8(uint8_t v) { m_bytes.push_back(v); }
    void U32(uint32_t v) { Raw(&v, sizeof v); }
    void I32(int32_t v) { Raw(&v, sizeof v); }
    void Guid(const GUID& v) { Raw(&v, sizeof v); }
    void Str(const std::wstring& s)
    {
        U32(static_cast<uint32_t>(s.size()));
        Raw(s.data(), s.size() * sizeof(wchar_t));
    }
    void Raw(const void* p, size_t n)
    {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        m_bytes.insert(m_bytes.end(), b, b + n);
    }
    std::vector<uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};

class Reader
{
public:
    explicit Reader(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}

    bool Ok() const { return m_ok; }
    bool AtEnd() const { return m_ok && m_pos == m_bytes.size(); }

    uint8_t U8()
    {
        uint8_t v = 0;
        Raw(&v, sizeof v);
        return v;
    }
    uint32_t U32()
    {
        uint32_t v = 0;
        Raw(&v, sizeof v);
        return v;
    }
    int32_t I32()
    {
        int32_t v = 0;
        Raw(&v, sizeof v);
        return v;
    }
    GUID Guid()
    {
        GUID v{};
        Raw(&v, sizeof v);
        return v;
    }
    std::wstring Str()
    {
        const uint32_t n = U32();
        if (!m_ok || n > kMaxTextChars || n * sizeof(wchar_t) > Left()) {
            m_ok = false;
            return {};
        }
        std::wstring s(n, L'\0');
        Raw(s.data(), n * sizeof(wchar_t));
        return s;
    }
    // A count of items of at least minItemBytes each, checked against what is left.
    uint32_t Count(size_t minItemBytes, uint32_t limit)
    {
        const uint32_t n = U32();
        if (!m_ok || n > limit || n * minItemBytes > Left())
            m_ok = false;
        return m_ok ? n : 0;
    }
    void Raw(void* p, size_t n)
    {
        if (!m_ok || n > Left()) {
            m_ok = false;
            std::memset(p, 0, n);
            return;
        }
        std::memcpy(p, m_bytes.data() + m_pos, n);
        m_pos += n;
    }

private:
    size_t Left() const { return m_bytes.size() - m_pos; }

    const std::vector<uint8_t>& m_bytes;
    size_t m_pos = 0;
    bool m_ok = true;
};

void PutLed(Writer& w, const LedState& l)
{
    w.I32(l.id);
    w.U8(l.on);
    w.U8(l.hasColor);
    w.U8(l.hasBrightness);
    w.U8(l.hasEffect);
    w.U32(l.color);
    w.I32(l.brightness);
    w.I32(l.effect);
    w.I32(l.duration);
    w.I32(l.delay);
}

LedState GetLed(Reader& r)
{
    LedState l;
    l.id = r.I32();
    l.on = r.U8();
    l.hasColor = r.U8();
    l.hasBrightness = r.U8();
    l.hasEffect = r.U8();
    l.color = r.U32();
    l.brightness = r.I32();
    l.effect = r.I32();
    l.duration = r.I32();
    l.delay = r.I32();
    return l;
}

void PutLeds(Writer& w, const std::vector<LedState>& leds)
{
    w.U32(static_cast<uint32_t>(leds.size()));
    for (const LedState& l : leds)
        PutLed(w, l);
}

std::vector<LedState> GetLeds(Reader& r)
{
    std::vector<LedState> leds(r.Count(28, 64)); // PutLed writes 28 bytes
    for (LedState& l : leds)
        l = GetLed(r);
    return leds;
}

void PutStages(Writer& w, const StageSet& s)
{
    w.U32(static_cast<uint32_t>(s.stages.size()));
    w.Raw(s.stages.data(), s.stages.size() * sizeof(DpiValue));
    w.I32(s.activeStage);
    w.Raw(&s.active, sizeof s.active);
}

StageSet GetStages(Reader& r)
{
    StageSet s;
    s.stages.resize(r.Count(sizeof(DpiValue), kMaxStages));
    r.Raw(s.stages.data(), s.stages.size() * sizeof(DpiValue));
    s.activeStage = r.I32();
    r.Raw(&s.active, sizeof s.active);
    return s;
}

void PutProfile(Writer& w, const ProfileState& p)
{
    w.Guid(p.id);
    w.Str(p.name);
    w.Str(p.appPath);
    w.U32(p.flags);
    PutStages(w, p.dpi);
    PutStages(w, p.scaler);
    w.U32(static_cast<uint32_t>(p.assignments.size()));
    w.Raw(p.assignments.data(), p.assignments.size() * sizeof(AssignmentRecord));
    PutLeds(w, p.leds);
}

ProfileState GetProfile(Reader& r)
{
    ProfileState p;
    p.id = r.Guid();
    p.name = r.Str();
    p.appPath = r.Str();
    p.flags = static_cast<uint16_t>(r.U32());
    p.dpi = GetStages(r);
    p.scaler = GetStages(r);
    p.assignments.resize(r.Count(sizeof(AssignmentRecord), 512));
    r.Raw(p.assignments.data(), p.assignments.size() * sizeof(AssignmentRecord));
    p.leds = GetLeds(r);
    return p;
}

void PutMacro(Writer& w, const MacroState& m)
{
    w.Guid(m.id);
    w.Str(m.name);
    w.U32(static_cast<uint32_t>(m.events.size()));
    w.Raw(m.events.data(), m.events.size() * sizeof(MacroEventRecord));
}

MacroState GetMacro(Reader& r)
{
    MacroState m;
    m.id = r.Guid();
    m.name = r.Str();
    m.events.resize(r.Count(sizeof(MacroEventRecord), kMaxMacroEvents));
    r.Raw(m.events.data(), m.events.size() * sizeof(MacroEventRecord));
    return m;
}

void PutApp(Writer& w, const AppState& a)
{
    w.Guid(a.id);
    w.Str(a.name);
}

AppState GetApp(Reader& r)
{
    AppState a;
    a.id = r.Guid();
    a.name = r.Str();
    return a;
}

void PutDevice(Writer& w, const DeviceState& d)
{
    w.U8(d.present);
    w.U32(d.generation);
    w.U32(d.serial);
    w.U32(static_cast<uint32_t>(d.profiles.size()));
    for (const ProfileState& p : d.profiles)
        PutProfile(w, p);
    w.Guid(d.activeProfile);
    w.U32(static_cast<uint32_t>(d.macros.size()));
    for (const MacroState& m : d.macros)
        PutMacro(w, m);
    w.U32(static_cast<uint32_t>(d.apps.size()));
    for (const AppState& a : d.apps)
        PutApp(w, a);
    w.U32(static_cast<uint32_t>(d.apmLevels.size()));
    for (const ApmLevelState& l : d.apmLevels) {
        w.U32(l.handle);
        w.I32(l.upper);
        w.U32(l.color);
    }
    w.U32(static_cast<uint32_t>(d.apmEvents.size()));
    for (const ApmEventState& e : d.apmEvents) {
        w.I32(e.level);
        w.U32(e.color);
        w.U8(e.enabled);
    }
    PutLeds(w, d.deviceLeds);
    for (int32_t v : {d.pollingCode, d.accelLevel, d.batteryLevel, d.criticalLevel, d.maxLedBrightness,
                      d.sleepSeconds, d.mode, d.layoutCode})
        w.I32(v);
    for (uint8_t v : {d.accelEnabled, d.charging, d.redirector, d.audioSync, d.otfPhase})
        w.U8(v);
    w.U32(static_cast<uint32_t>(d.removed.size()));
    for (const std::wstring& name : d.removed)
        w.Str(name);
}

DeviceState GetDevice(Reader& r)
{
    DeviceState d;
    d.present = r.U8();
    d.generation = r.U32();
    d.serial = r.U32();
    d.profiles.resize(r.Count(16, kMaxProfiles));
    for (ProfileState& p : d.profiles)
        p = GetProfile(r);
    d.activeProfile = r.Guid();
    d.macros.resize(r.Count(16, kMaxMacros));
    for (MacroState& m : d.macros)
        m = GetMacro(r);
    d.apps.resize(r.Count(16, kMaxApplications));
    for (AppState& a : d.apps)
        a = GetApp(r);
    d.apmLevels.resize(r.Count(12, kMaxApmLevels));
    for (ApmLevelState& l : d.apmLevels) {
        l.handle = r.U32();
        l.upper = r.I32();
        l.color = r.U32();
    }
    d.apmEvents.resize(r.Count(9, hvmw::kApmLastEvent));
    for (ApmEventState& e : d.apmEvents) {
        e.level = r.I32();
        e.color = r.U32();
        e.enabled = r.U8();
    }
    d.deviceLeds = GetLeds(r);
    for (int32_t* v : {&d.pollingCode, &d.accelLevel, &d.batteryLevel, &d.criticalLevel, &d.maxLedBrightness,
                       &d.sleepSeconds, &d.mode, &d.layoutCode})
        *v = r.I32();
    for (uint8_t* v : {&d.accelEnabled, &d.charging, &d.redirector, &d.audioSync, &d.otfPhase})
        *v = r.U8();
    d.removed.resize(r.Count(4, 64));
    for (std::wstring& name : d.removed)
        name = r.Str();
    return d;
}

void PutHeader(Writer& w, uint32_t magic, uint32_t version = kVersion)
{
    w.U32(magic);
    w.U32(version);
}

bool Header(Reader& r, uint32_t magic, uint32_t version = kVersion)
{
    return r.U32() == magic && r.U32() == version && r.Ok();
}

// Reads the one item the rest of a file holds; *out changes only when the item ends where the file does.
template <class T>
bool GetWholeItem(Reader& r, T (*get)(Reader&), T* out)
{
    T item = get(r);
    if (!r.AtEnd())
        return false;
    *out = std::move(item);
    return true;
}

} // namespace

std::vector<uint8_t> Serialize(const SimState& state)
{
    Writer w;
    PutHeader(w, kStateMagic, kStateVersion);
    for (const DeviceState& d : state.devices)
        PutDevice(w, d);
    w.U32(static_cast<uint32_t>(state.faults.size()));
    for (const FaultRule& f : state.faults) {
        w.Str(f.device);
        w.Str(f.method);
        w.I32(f.hr);
        w.I32(f.remaining);
    }
    w.U32(state.delayMs);
    w.Str(state.delayMethod);
    w.I32(state.listEnd);
    w.U32(static_cast<uint32_t>(state.connections.size()));
    for (const ConnectionState& c : state.connections) {
        w.U32(c.cookie);
        w.U32(static_cast<uint32_t>(c.dev));
        w.U32(c.generation);
        w.U32(c.event);
        w.Raw(&c.window, sizeof c.window);
        w.U32(c.pid);
    }
    w.U32(state.nextCookie);
    w.U32(static_cast<uint32_t>(state.clients.size()));
    for (uint32_t pid : state.clients)
        w.U32(pid);
    w.U32(static_cast<uint32_t>(state.mail.size()));
    for (const MailState& m : state.mail) {
        w.Raw(&m.window, sizeof m.window);
        w.U32(m.pid);
        w.U32(static_cast<uint32_t>(m.cookies.size()));
        for (uint32_t cookie : m.cookies)
            w.U32(cookie);
        w.U32(static_cast<uint32_t>(m.notice.size()));
        w.Raw(m.notice.data(), m.notice.size());
    }
    return w.Take();
}

bool Deserialize(const std::vector<uint8_t>& bytes, SimState* state)
{
    Reader r(bytes);
    if (!Header(r, kStateMagic, kStateVersion))
        return false;
    SimState s;
    for (DeviceState& d : s.devices)
        d = GetDevice(r);
    s.faults.resize(r.Count(16, 256));
    for (FaultRule& f : s.faults) {
        f.device = r.Str();
        f.method = r.Str();
        f.hr = r.I32();
        f.remaining = r.I32();
    }
    s.delayMs = r.U32();
    s.delayMethod = r.Str();
    s.listEnd = r.I32();
    s.connections.resize(r.Count(28, kMaxConnections));
    for (ConnectionState& c : s.connections) {
        c.cookie = r.U32();
        c.dev = r.U32() == 0 ? Dev::Mouse : Dev::Keyboard;
        c.generation = r.U32();
        c.event = r.U32();
        r.Raw(&c.window, sizeof c.window);
        c.pid = r.U32();
    }
    s.nextCookie = r.U32();
    s.clients.resize(r.Count(4, kMaxClients));
    for (uint32_t& pid : s.clients)
        pid = r.U32();
    // Each notice is checked again when it is taken (DecodeNotice).
    s.mail.resize(r.Count(20, kMaxMailBytes / 20));
    for (MailState& m : s.mail) {
        r.Raw(&m.window, sizeof m.window);
        m.pid = r.U32();
        m.cookies.resize(r.Count(4, kMaxConnections));
        for (uint32_t& cookie : m.cookies)
            cookie = r.U32();
        m.notice.resize(r.Count(1, static_cast<uint32_t>(kMaxMailBytes)));
        r.Raw(m.notice.data(), m.notice.size());
    }
    if (!r.AtEnd())
        return false;
    *state = std::move(s);
    return true;
}

std::vector<uint8_t> SerializeProfile(Dev dev, const ProfileState& profile)
{
    Writer w;
    PutHeader(w, kProfileMagic);
    w.U32(static_cast<uint32_t>(dev));
    PutProfile(w, profile);
    return w.Take();
}

bool DeserializeProfile(const std::vector<uint8_t>& bytes, Dev dev, ProfileState* profile)
{
    Reader r(bytes);
    return Header(r, kProfileMagic) && r.U32() == static_cast<uint32_t>(dev) && GetWholeItem(r, GetProfile, profile);
}

std::vector<uint8_t> SerializeMacro(const MacroState& macro)
{
    Writer w;
    PutHeader(w, kMacroMagic);
    PutMacro(w, macro);
    return w.Take();
}

bool DeserializeMacro(const std::vector<uint8_t>& bytes, MacroState* macro)
{
    Reader r(bytes);
    return Header(r, kMacroMagic) && GetWholeItem(r, GetMacro, macro);
}

std::vector<uint8_t> SerializeApp(const AppState& app)
{
    Writer w;
    PutHeader(w, kAppMagic);
    PutApp(w, app);
    return w.Take();
}

bool DeserializeApp(const std::vector<uint8_t>& bytes, AppState* app)
{
    Reader r(bytes);
    return Header(r, kAppMagic) && GetWholeItem(r, GetApp, app);
}

} // namespace mwsim
