// The macro display's recording from raw input and its replay.
#include "controls/MacroDisplay.h"

#include <algorithm>

#include "controls/ControlMessages.h"
#include "model/Macro.h"

namespace {

// RAWMOUSE button flag -> {button, state}; one flag per packet (a packet with other flags as well,
// or with the wheel, is no button).
struct MouseButtonState
{
    int button;
    int state;
};

MouseButtonState MouseButtonFlagMap(USHORT flags)
{
    switch (flags) {
    case RI_MOUSE_BUTTON_1_DOWN: return {1, kKeyStatePressed};
    case RI_MOUSE_BUTTON_1_UP: return {1, kKeyStateReleased};
    case RI_MOUSE_BUTTON_2_DOWN: return {2, kKeyStatePressed};
    case RI_MOUSE_BUTTON_2_UP: return {2, kKeyStateReleased};
    case RI_MOUSE_BUTTON_3_DOWN: return {3, kKeyStatePressed};
    case RI_MOUSE_BUTTON_3_UP: return {3, kKeyStateReleased};
    case RI_MOUSE_BUTTON_4_DOWN: return {4, kKeyStatePressed};
    case RI_MOUSE_BUTTON_4_UP: return {4, kKeyStateReleased};
    case RI_MOUSE_BUTTON_5_DOWN: return {5, kKeyStatePressed};
    case RI_MOUSE_BUTTON_5_UP: return {5, kKeyStateReleased};
    default: return {0, 0};
    }
}

// The held-key filter tells keys apart by make code and E0 prefix: the right Ctrl is not the left
// one, and the fake Shift of an extended key is not the Shift key.
uint16_t HeldKeyOf(const RAWKEYBOARD& keyboard)
{
    return static_cast<uint16_t>((keyboard.MakeCode & 0xFF) | ((keyboard.Flags & RI_KEY_E0) ? 0x100 : 0));
}

MacroEvent KeyEvent(const KeyEventRecord& record)
{
    const uint32_t value = record.scanCode | (static_cast<uint32_t>(record.virtualKey) << 16);
    const uint32_t extra = record.state | (static_cast<uint32_t>(record.flags) << 8);
    return {kMacroEventKey, static_cast<int32_t>(value), static_cast<int32_t>(extra)};
}

} // namespace

// ---- Recording ----------------------------------------------------------------------------------

bool CMacroDisplayItem::ToggleRecording()
{
    if (m_readOnly)
        return false;
    RawInputRegistration& registration = TheRawInputRegistration();
    if (m_recording) {
        m_recording = false;
        m_recordingClosed = false;
        m_pressed.clear();
        registration.UnregisterFor(m_hWnd);
        if (m_scrollBar && m_scrollBar->IsWindow() && IsWindowVisible())
            m_scrollBar->ShowWindow(SW_SHOW);
        SyncScrollBar();
        return false;
    }
    if (!m_hWnd || registration.IsRegistered())
        return false;  // one registration at a time: another recorder holds it
    if (m_labelEditing)
        SendMessage(LVM_CANCELEDITLABEL);
    registration.AddUsage(kUsageKeyboard);
    registration.AddUsage(kUsageMouse);
    if (!registration.Register(m_hWnd))
        return false;
    m_heldKeys.clear();
    m_pressed.clear();
    m_recordingClosed = false;
    // The delays count from here: a recording added to shown events starts with the time since it
    // started, not since whatever happened before.
    m_lastTick = m_tick();
    m_recording = true;
    if (m_scrollBar && m_scrollBar->IsWindow())
        m_scrollBar->ShowWindow(SW_HIDE);
    return true;
}

LRESULT CMacroDisplayItem::OnInput(WPARAM, LPARAM lParam)
{
    std::vector<BYTE> buffer;
    if (const RAWINPUT* input = ReadRawInput(reinterpret_cast<HRAWINPUT>(lParam), buffer))
        RecordRawInput(*input);
    return Default();
}

void CMacroDisplayItem::RecordRawInput(const RAWINPUT& input)
{
    if (m_readOnly || m_recordingClosed)
        return;
    if (input.header.dwType == RIM_TYPEMOUSE) {
        const MouseButtonState button = MouseButtonFlagMap(input.data.mouse.usButtonFlags);
        if (button.button) {
            m_mouseButton = button.button;
            m_mouseState = button.state;
            // A press on the window that holds the mouse (the record button) is not part of the macro.
            if (!m_captureWindow || ::GetCapture() != m_captureWindow)
                AddRecordedEvent({kMacroEventMouse, button.button, button.state});
        }
    } else if (input.header.dwType == RIM_TYPEKEYBOARD) {
        const RAWKEYBOARD& keyboard = input.data.keyboard;
        const uint16_t key = HeldKeyOf(keyboard);
        auto held = std::find(m_heldKeys.begin(), m_heldKeys.end(), key);
        if (keyboard.Flags & RI_KEY_BREAK) {
            if (held != m_heldKeys.end())
                m_heldKeys.erase(held);
        } else if (held != m_heldKeys.end()) {
            return;  // auto-repeat of a key held down
        } else {
            m_heldKeys.push_back(key);
        }
        if (KeyRecordFromRawKeyboard(m_record, keyboard))
            AddRecordedEvent(KeyEvent(m_record));
    }
    SyncScrollBar();
}

int CMacroDisplayItem::PressChange(const MacroEvent& event, size_t* pressIndex) const
{
    if (event.type != kMacroEventKey && event.type != kMacroEventMouse)
        return 0;
    const bool key = event.type == kMacroEventKey;
    const int32_t state = key ? (event.extra & 0xFF) : event.extra;
    if (state == kKeyStatePressed)
        return 1;
    // A key by its scan code and E0 flag, a button by its number.
    auto same = [&](const MacroEvent& press) {
        if (press.type != event.type)
            return false;
        if (!key)
            return press.value == event.value;
        return (press.value & 0xFFFF) == (event.value & 0xFFFF) &&
               ((press.extra >> 8) & KeyEventRecord::kExtended) == ((event.extra >> 8) & KeyEventRecord::kExtended);
    };
    for (size_t i = m_pressed.size(); i-- > 0;) {
        if (same(m_pressed[i])) {
            if (pressIndex)
                *pressIndex = i;
            return -1;
        }
    }
    return 0;
}

bool CMacroDisplayItem::AddRecordedEvent(const MacroEvent& event)
{
    if (!m_recording || m_readOnly || m_recordingClosed)
        return false;
    bool withDelay = false;
    int32_t delay = 0;
    DWORD now = m_lastTick;
    if (m_events.empty()) {
        now = m_tick();  // the first event has no delay before it
    } else if (m_ignoreDelays) {
    } else if (m_useDefaultDelay) {
        withDelay = true;
        delay = m_defaultDelay;
    } else {
        now = m_tick();
        delay = static_cast<int32_t>(std::min<DWORD>(now - m_lastTick, static_cast<DWORD>(kMaxMacroDelay)));
        withDelay = true;
    }
    // Room for the event, its delay, and then the release of everything down after it.
    size_t pressIndex = 0;
    const int change = PressChange(event, &pressIndex);
    const size_t downAfter = m_pressed.size() + (change > 0 ? 1 : 0) - (change < 0 ? 1 : 0);
    if (m_events.size() + (withDelay ? 2 : 1) + downAfter > kMaxMacroEvents) {
        CloseRecording();
        return false;
    }
    m_lastTick = now;
    if (withDelay)
        InsertRow(-1, DelayEvent(delay));
    if (change > 0)
        m_pressed.push_back(event);
    else if (change < 0)
        m_pressed.erase(m_pressed.begin() + static_cast<ptrdiff_t>(pressIndex));
    return InsertRow(-1, event) >= 0;
}

void CMacroDisplayItem::CloseRecording()
{
    // The last pressed goes up first; a key's release carries the modifiers still down after it,
    // as a real release would.
    while (!m_pressed.empty()) {
        const MacroEvent press = m_pressed.back();
        m_pressed.pop_back();
        MacroEvent release = press;
        if (press.type == kMacroEventKey) {
            RAWKEYBOARD keyboard{};
            keyboard.MakeCode = static_cast<USHORT>(press.value & 0xFFFF);
            keyboard.VKey = static_cast<USHORT>((static_cast<uint32_t>(press.value) >> 16) & 0xFFFF);
            keyboard.Flags = static_cast<USHORT>(RI_KEY_BREAK |
                                                 (((press.extra >> 8) & KeyEventRecord::kExtended) ? RI_KEY_E0 : 0));
            KeyEventRecord record = m_record;
            KeyRecordFromRawKeyboard(record, keyboard);
            release = KeyEvent(record);
        } else {
            release.extra = kKeyStateReleased;
        }
        InsertRow(-1, release);
    }
    m_recordingClosed = true;
    TheRawInputRegistration().UnregisterFor(m_hWnd);
    SyncScrollBar();
    if (m_hWnd)
        ::PostMessageW(NoticeWindow(), WM_MACRODISPLAY_RECORDINGFULL, 0, static_cast<LPARAM>(id));
}

// ---- Replay -------------------------------------------------------------------------------------

bool CMacroDisplayItem::Replay(const std::vector<MacroEvent>& events)
{
    if (!m_readOnly || !m_hWnd)
        return false;
    KillTimer(kReplayTimer);
    m_replay = events;
    m_replayCursor = 0;
    ClearEvents();
    ReplayStep();
    return true;
}

void CMacroDisplayItem::ReplayStep()
{
    while (m_replayCursor < m_replay.size()) {
        const MacroEvent event = m_replay[m_replayCursor++];
        if (event.type == kMacroEventDelay) {
            SetTimer(kReplayTimer, static_cast<UINT>(std::max(event.value, 1)));
            return;
        }
        InsertRow(-1, event);
    }
    EndReplay();
}

void CMacroDisplayItem::EndReplay()
{
    KillTimer(kReplayTimer);
    m_replayCursor = 0;
    m_replay.clear();
    ClearEvents();
    NotifyOwner(WM_MACRODISPLAY_PLAYDONE);
}

void CMacroDisplayItem::OnTimer(UINT_PTR timer)
{
    if (timer != kReplayTimer) {
        Default();
        return;
    }
    KillTimer(kReplayTimer);
    ReplayStep();
}

void CMacroDisplayItem::OnDestroy()
{
    KillTimer(kReplayTimer);
    // The registration names this window, which is going.
    if (m_recording)
        TheRawInputRegistration().UnregisterFor(m_hWnd);
    m_recording = false;
    Default();
}

