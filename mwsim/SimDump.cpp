// The dump: one line per fact, in a fixed order, so that tests can compare whole devices or pick
// single lines ("profile 2 ...", " dpi ...", "polling 2").
#include "mwsim/SimEvents.h"
#include "mwsim/SimState.h"

#include <cstdarg>
#include <cwchar>

namespace mwsim {
namespace {

class Lines
{
public:
    void Add(const wchar_t* fmt, ...)
    {
        wchar_t buffer[1024];
        va_list args;
        va_start(args, fmt);
        vswprintf(buffer, 1024, fmt, args);
        va_end(args);
        m_text += buffer;
        m_text += L'\n';
    }
    void AddText(const std::wstring& line)
    {
        m_text += line;
        m_text += L'\n';
    }
    std::wstring Take() { return std::move(m_text); }

private:
    std::wstring m_text;
};

// Quoted, with control characters, quotes and backslashes escaped, so that every value is one line.
std::wstring Quoted(const std::wstring& s)
{
    std::wstring out = L"\"";
    for (wchar_t c : s) {
        if (c == L'"' || c == L'\\') {
            out += L'\\';
            out += c;
        } else if (c < 0x20) {
            wchar_t esc[8];
            swprintf(esc, 8, L"\\x%02X", static_cast<unsigned>(c));
            out += esc;
        } else {
            out += c;
        }
    }
    return out + L"\"";
}

std::wstring StagesText(const StageSet& s)
{
    std::wstring text;
    for (const DpiValue& v : s.stages) {
        text += L' ';
        text += std::to_wstring(v.x) + L'x' + std::to_wstring(v.y);
    }
    return text;
}

std::wstring Hex(const void* p, size_t n)
{
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring s;
    const uint8_t* b = static_cast<const uint8_t*>(p);
    for (size_t i = 0; i < n; ++i) {
        s += digits[b[i] >> 4];
        s += digits[b[i] & 15];
    }
    return s;
}

void DumpLed(Lines& out, const wchar_t* prefix, const LedState& l)
{
    out.Add(L"%lsled %d on %d color 0x%06lX brightness %d effect %d %d %d caps %d%d%d", prefix, l.id, l.on,
            static_cast<unsigned long>(l.color), l.brightness, l.effect, l.duration, l.delay, l.hasColor,
            l.hasBrightness, l.hasEffect);
}

std::wstring EventText(const MacroEventRecord& e)
{
    wchar_t text[64];
    switch (e.type) {
    case hvmw::kMacroKey:
        swprintf(text, 64, L"key 0x%02X 0x%X", e.Value(), e.Flags());
        break;
    case hvmw::kMacroMouse:
        swprintf(text, 64, L"mouse 0x%X 0x%X", e.Value(), e.Flags());
        break;
    case hvmw::kMacroDelay:
        swprintf(text, 64, L"delay %lu", static_cast<unsigned long>(e.Millis()));
        break;
    default:
        swprintf(text, 64, L"type%lu 0x%08lX", static_cast<unsigned long>(e.type), static_cast<unsigned long>(e.data));
        break;
    }
    return text;
}

} // namespace

std::wstring Dump(const SimState& state, Dev dev)
{
    const DeviceState& d = state.Of(dev);
    const DeviceFacts& f = FactsOf(dev);
    Lines out;
    out.Add(L"device %ls product 0x%02lX present %d", DevName(dev), static_cast<unsigned long>(f.productId),
            d.present);
    out.AddText(L"active " + GuidText(d.activeProfile));
    for (size_t i = 0; i < d.profiles.size(); ++i) {
        const ProfileState& p = d.profiles[i];
        out.AddText(L"profile " + std::to_wstring(i) + L' ' + GuidText(p.id) + L' ' + Quoted(p.name));
        out.AddText(L" app " + Quoted(p.appPath));
        out.Add(L" flags 0x%04X", p.flags);
        if (dev == Dev::Mouse) {
            out.AddText(L" dpi active-stage " + std::to_wstring(p.dpi.activeStage) + L" active " +
                        std::to_wstring(p.dpi.active.x) + L'x' + std::to_wstring(p.dpi.active.y) + L" stages" +
                        StagesText(p.dpi));
            out.AddText(L" scaler active-stage " + std::to_wstring(p.scaler.activeStage) + L" active " +
                        std::to_wstring(p.scaler.active.x) + L'x' + std::to_wstring(p.scaler.active.y) +
                        L" stages" + StagesText(p.scaler));
        }
        for (const AssignmentRecord& r : p.assignments)
            out.Add(L" assign 0x%05lX src %lu kind %lu data %ls", static_cast<unsigned long>(r.id),
                    static_cast<unsigned long>(r.source), static_cast<unsigned long>(r.kind),
                    Hex(r.payload, sizeof r.payload).c_str());
        for (const LedState& l : p.leds)
            DumpLed(out, L" ", l);
    }
    for (size_t i = 0; i < d.macros.size(); ++i) {
        const MacroState& m = d.macros[i];
        out.AddText(L"macro " + std::to_wstring(i) + L' ' + GuidText(m.id) + L' ' + Quoted(m.name));
        std::wstring events = L" events " + std::to_wstring(m.events.size());
        for (const MacroEventRecord& e : m.events)
            events += L", " + EventText(e);
        out.AddText(events);
    }
    for (size_t i = 0; i < d.apps.size(); ++i)
        out.AddText(L"application " + std::to_wstring(i) + L' ' + GuidText(d.apps[i].id) + L' ' +
                    Quoted(d.apps[i].name));
    out.Add(L"polling %d", d.pollingCode);
    out.Add(L"acceleration %d level %d", d.accelEnabled, d.accelLevel);
    out.Add(L"battery %d charging %d", d.batteryLevel, d.charging);
    out.Add(L"power critical %d max-led %d sleep %d", d.criticalLevel, d.maxLedBrightness, d.sleepSeconds);
    out.Add(L"mode %d", d.mode);
    out.Add(L"layout %d", d.layoutCode);
    out.Add(L"redirector %d", d.redirector);
    out.Add(L"audio-sync %d", d.audioSync);
    for (const ApmLevelState& l : d.apmLevels)
        out.Add(L"apm-level upper %d color 0x%06lX", l.upper, static_cast<unsigned long>(l.color));
    for (size_t i = 0; i < d.apmEvents.size(); ++i)
        out.Add(L"apm-event %d level %d color 0x%06lX enabled %d", static_cast<int>(i + 1), d.apmEvents[i].level,
                static_cast<unsigned long>(d.apmEvents[i].color), d.apmEvents[i].enabled);
    for (const LedState& l : d.deviceLeds)
        DumpLed(out, L"device-", l);
    for (const std::wstring& name : d.removed)
        out.AddText(L"feature-off " + name);
    // The connections advised on this plug-in of the device, per event interface.
    for (const EventInfo& e : AllEvents()) {
        if (!DeviceOffers(dev, e.kind))
            continue;
        int live = 0;
        for (const ConnectionState& c : state.connections)
            live += c.dev == dev && c.generation == d.generation && c.event == static_cast<uint32_t>(e.kind);
        out.Add(L"connection-point %ls %d", e.name, live);
    }
    return out.Take();
}

} // namespace mwsim
