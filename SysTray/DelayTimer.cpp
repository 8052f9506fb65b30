#include "SysTray/DelayTimer.h"

#include "model/Macro.h"

#include <algorithm>

namespace {

// The mouse buttons a macro can play: the middle, fourth and fifth, each going down or up.
bool IsRecordedButton(USHORT flags)
{
    switch (flags) {
    case RI_MOUSE_MIDDLE_BUTTON_DOWN:
    case RI_MOUSE_MIDDLE_BUTTON_UP:
    case RI_MOUSE_BUTTON_4_DOWN:
    case RI_MOUSE_BUTTON_4_UP:
    case RI_MOUSE_BUTTON_5_DOWN:
    case RI_MOUSE_BUTTON_5_UP:
        return true;
    default:
        return false;
    }
}

} // namespace

void CDelayTimer::Start(int deviceId, DWORD now)
{
    m_events.clear();
    m_recording = true;
    m_deviceId = deviceId;
    m_lastTick = now;
}

void CDelayTimer::Stop()
{
    m_recording = false;
}

void CDelayTimer::Clear()
{
    m_recording = false;
    m_deviceId = kNoDevice;
    m_events.clear();
}

bool CDelayTimer::Room(size_t events) const
{
    return m_events.size() + events <= kMaxMacroEvents;
}

void CDelayTimer::AppendDelay(DWORD now)
{
    if (!m_events.empty())
        m_events.push_back(MacroEventRecord::Delay(std::min<DWORD>(now - m_lastTick, hvmw::kMacroMaxDelay)));
    m_lastTick = now;
}

void CDelayTimer::RecordRawInput(const RAWINPUT& input, DWORD now)
{
    if (!m_recording)
        return;
    // An event after the first comes with its delay: room for both, or for neither.
    const size_t needed = m_events.empty() ? 1 : 2;
    if (input.header.dwType == RIM_TYPEKEYBOARD) {
        const RAWKEYBOARD& key = input.data.keyboard;
        const MacroEventRecord event = MacroEventRecord::Make(hvmw::kMacroKey, key.MakeCode, key.Flags);
        const bool down = (key.Flags & RI_KEY_BREAK) == 0;
        // A held key repeats its key-down; the macro holds it once.
        if (down && !m_events.empty() && m_events.back().type == event.type && m_events.back().data == event.data)
            return;
        if (!Room(needed))
            return;
        AppendDelay(now);
        m_events.push_back(event);
    } else if (input.header.dwType == RIM_TYPEMOUSE) {
        const RAWMOUSE& mouse = input.data.mouse;
        if (!IsRecordedButton(mouse.usButtonFlags) || !Room(needed))
            return;
        AppendDelay(now);
        m_events.push_back(MacroEventRecord::Make(hvmw::kMacroMouse, mouse.usButtonFlags, mouse.usButtonData));
    }
}

CDelayTimer& TheDelayTimer()
{
    static CDelayTimer timer;
    return timer;
}
