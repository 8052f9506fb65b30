// Raw input from the keyboard and the mouse: the program's one registration, reading a WM_INPUT, and
// the key records that raw keyboard input and key messages are turned into.
//
// Raw input lets the recorders see keys and mouse buttons while another program has the focus. The
// registration is process-wide: one window at a time receives WM_INPUT for the usages it was given,
// and Register refuses a second registration until Unregister. A registration the system refuses
// leaves nothing behind, so the next one can succeed. User-interface thread only.
//
// The test program's pages register their own window directly (RegisterKeyboardAndMouse) with the
// same flags; they keep no key records.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Generic-desktop usages (usage page 1).
inline constexpr USHORT kUsagePageGenericDesktop = 1;
inline constexpr USHORT kUsageMouse = 2;
inline constexpr USHORT kUsageKeyboard = 6;

// One key as the recorders keep it.
struct KeyEventRecord
{
    static constexpr uint8_t kDown = 0xFF;
    static constexpr uint8_t kUp = 1;
    // flags
    static constexpr uint8_t kExtended = 1;
    static constexpr uint8_t kAlt = 2;
    static constexpr uint8_t kCtrl = 4;
    static constexpr uint8_t kShift = 8;

    uint16_t scanCode = 0;
    uint16_t virtualKey = 0;
    uint8_t state = 0;
    uint8_t flags = 0;
    uint8_t reserved[2] = {};
    std::wstring keyName;
    // The virtual key of the last real key, for input that names none (VKey 255).
    uint16_t lastVirtualKey = 0;
    uint16_t lastScanCode = 0;
};

class RawInputRegistration
{
public:
    RawInputRegistration() = default;
    RawInputRegistration(const RawInputRegistration&) = delete;
    RawInputRegistration& operator=(const RawInputRegistration&) = delete;

    // Adds a generic-desktop usage once.
    void AddUsage(USHORT usage);
    // Hands every usage to the system for window: the mouse with RIDEV_INPUTSINK, the others with
    // RIDEV_INPUTSINK | RIDEV_NOLEGACY (the program then gets no legacy keyboard messages). Refused
    // while registered, without a window or without a usage. When the system refuses, the reason
    // goes to the debugger output and the usages are dropped, as after Unregister.
    bool Register(HWND window);
    // Removes every usage from the system and drops them.
    void Unregister();

    bool IsRegistered() const noexcept { return m_registered; }
    // Whether the registration is the one made for window (so that its owner may remove it).
    bool IsRegisteredFor(HWND window) const noexcept;
    // Removes the registration when it is the one made for window; a registration of another window
    // is left alone.
    void UnregisterFor(HWND window);
    // The system's error of the last refused registration (0 when the last one succeeded).
    DWORD LastError() const noexcept { return m_lastError; }
    const std::vector<USHORT>& Usages() const noexcept { return m_usages; }
    // What the system was given, while registered.
    const std::vector<RAWINPUTDEVICE>& Devices() const noexcept { return m_devices; }

private:
    std::vector<USHORT> m_usages;
    std::vector<RAWINPUTDEVICE> m_devices;
    bool m_registered = false;
    DWORD m_lastError = 0;
};

// The program's registration.
RawInputRegistration& TheRawInputRegistration();

// Registers window for raw input from the mouse and the keyboard with the flags Register gives them,
// outside the program's registration: the last window registered takes the input.
bool RegisterKeyboardAndMouse(HWND window);
// Removes the mouse and keyboard registrations of the process (RIDEV_REMOVE).
void RemoveKeyboardAndMouse();

// Reads the input of a WM_INPUT (its lParam) into buffer; the record, or null when it cannot be read
// or is shorter than its header says.
const RAWINPUT* ReadRawInput(HRAWINPUT input, std::vector<BYTE>& buffer);
// The same into one record; false unless it is a whole keyboard or mouse report that fits it.
bool ReadRawInput(LPARAM input, RAWINPUT* record);

// Raw keyboard input into record. True only for a real key: a make code, no E1 prefix, and not an
// E0 key without a virtual key (the system's fake shifts). A generic modifier key becomes its left or
// right key by scan code and E0. The modifier flags are those of the modifiers held as the raw input
// itself reports them (the thread's key state is not kept while legacy messages are off): this
// function follows the modifier keys it is given, so every raw key of a registration goes through
// it. A modifier's state comes from its own key events only, and every registration starts with no
// modifier held (Register and Unregister forget them).
bool KeyRecordFromRawKeyboard(KeyEventRecord& record, const RAWKEYBOARD& keyboard);
// Forgets the modifiers that KeyRecordFromRawKeyboard saw held.
void ResetRawModifiers();

// A key message into record. Returns 1 when the message is to be eaten: not a key message, an
// auto-repeat, or the key-down of a key that moves the focus or toggles a lock (Backspace, Tab,
// Pause, Caps Lock, Space, Home and the arrows, the Windows and menu keys, Num Lock, Scroll Lock).
int KeyRecordFromKeyMessage(KeyEventRecord& record, const MSG& msg);

// The key data of a key message (its lParam) into record, whose virtualKey holds the message's
// virtual key; the state is given by down. A generic modifier key becomes its left or right key; the
// modifier flags are those the thread's key state holds for the message.
void KeyRecordFromKeyData(LPARAM keyData, KeyEventRecord& record, bool down);

// The system's name of a key (GetKeyNameTextW), at most 40 characters; false when it has none.
bool GetKeyDisplayName(UINT virtualKey, std::wstring& name, UINT scanCode, bool extended);
