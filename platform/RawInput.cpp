#include "platform/RawInput.h"

#include <cstring>
#include <cwchar>

// GetRawInputData checks the header size it is given against its own: 16 bytes only in the 32-bit
// build, 24 in the 64-bit one.
#ifdef _WIN64
static_assert(sizeof(RAWINPUTHEADER) == 24);
#else
static_assert(sizeof(RAWINPUTHEADER) == 16);
#endif

namespace {

constexpr size_t kMaxKeyNameChars = 40;
// A raw input record is a few dozen bytes; anything larger than this is not one the recorders read.
constexpr UINT kMaxRawInputBytes = 4096;

constexpr USHORT kScanLeftShift = 0x2A;
constexpr USHORT kScanRightShift = 0x36;

// The left or right key of a generic modifier: Shift by its scan code, Ctrl and Alt by E0.
UINT SidedModifier(UINT virtualKey, UINT scanCode, bool extended)
{
    switch (virtualKey) {
    case VK_SHIFT:
        if (scanCode == kScanLeftShift)
            return VK_LSHIFT;
        if (scanCode == kScanRightShift)
            return VK_RSHIFT;
        return virtualKey;
    case VK_CONTROL:
        return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU:
        return extended ? VK_RMENU : VK_LMENU;
    default:
        return virtualKey;
    }
}

// The sided modifier a raw key event is about, 0 when it is no modifier's own event: the event
// must name a modifier key itself (an event without a virtual key, which takes the last key's,
// says nothing about a modifier), and its side comes from the make code and the E0 prefix.
UINT RawModifierKeyOf(const RAWKEYBOARD& keyboard)
{
    switch (keyboard.VKey) {
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT:
        return keyboard.MakeCode == kScanLeftShift    ? VK_LSHIFT
               : keyboard.MakeCode == kScanRightShift ? VK_RSHIFT
                                                      : 0;
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL:
        return (keyboard.Flags & RI_KEY_E0) ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU:
        return (keyboard.Flags & RI_KEY_E0) ? VK_RMENU : VK_LMENU;
    default:
        return 0;
    }
}

uint8_t ModifierFlag(UINT sidedKey)
{
    switch (sidedKey) {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return KeyEventRecord::kShift;
    case VK_LCONTROL:
    case VK_RCONTROL:
        return KeyEventRecord::kCtrl;
    case VK_LMENU:
    case VK_RMENU:
        return KeyEventRecord::kAlt;
    default:
        return 0;
    }
}

// The sided modifier keys the raw input stream has shown held, one bit per key.
struct RawModifiers
{
    unsigned held = 0;

    static unsigned Bit(UINT sidedKey) { return sidedKey >= VK_LSHIFT && sidedKey <= VK_RMENU ? 1u << (sidedKey - VK_LSHIFT) : 0; }
    void Note(UINT sidedKey, bool down)
    {
        if (down)
            held |= Bit(sidedKey);
        else
            held &= ~Bit(sidedKey);
    }
    uint8_t Flags() const
    {
        uint8_t flags = 0;
        for (UINT key = VK_LSHIFT; key <= VK_RMENU; ++key)
            if (held & Bit(key))
                flags |= ModifierFlag(key);
        return flags;
    }
};

RawModifiers& TheRawModifiers()
{
    static RawModifiers modifiers;
    return modifiers;
}

// What the system is given for one generic-desktop usage: the mouse with RIDEV_INPUTSINK, the
// others with RIDEV_INPUTSINK | RIDEV_NOLEGACY.
RAWINPUTDEVICE UsageDevice(USHORT usage, HWND window)
{
    RAWINPUTDEVICE device{};
    device.usUsagePage = kUsagePageGenericDesktop;
    device.usUsage = usage;
    device.dwFlags = usage == kUsageMouse ? RIDEV_INPUTSINK : RIDEV_INPUTSINK | RIDEV_NOLEGACY;
    device.hwndTarget = window;
    return device;
}

bool IsHeld(int virtualKey)
{
    return (::GetKeyState(virtualKey) & 0x8000) != 0;
}

// Keys whose key-down a key-capturing control does not record: they move the focus, toggle a lock,
// or open the system's menus.
bool IsEatenKeyDown(WPARAM virtualKey)
{
    switch (virtualKey) {
    case VK_BACK:
    case VK_TAB:
    case VK_PAUSE:
    case VK_CAPITAL:
    case VK_SPACE:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
    case VK_NUMLOCK:
    case VK_SCROLL:
        return true;
    default:
        return false;
    }
}

} // namespace

// ---- Registration ------------------------------------------------------------------------------

void RawInputRegistration::AddUsage(USHORT usage)
{
    for (USHORT own : m_usages)
        if (own == usage)
            return;
    m_usages.push_back(usage);
}

bool RawInputRegistration::Register(HWND window)
{
    if (m_registered || !m_devices.empty() || !window || m_usages.empty())
        return false;
    // The raw stream starts afresh: a modifier let go while nobody was registered was never seen
    // going up, and must not be held into the keys of this registration.
    ResetRawModifiers();
    for (USHORT usage : m_usages)
        m_devices.push_back(UsageDevice(usage, window));
    m_registered = ::RegisterRawInputDevices(m_devices.data(), static_cast<UINT>(m_devices.size()),
                                             sizeof(RAWINPUTDEVICE)) != FALSE;
    if (m_registered) {
        m_lastError = 0;
        return true;
    }
    m_lastError = ::GetLastError();
    wchar_t text[96];
    std::swprintf(text, 96, L"raw input registration refused (error %lu)\n", static_cast<unsigned long>(m_lastError));
    ::OutputDebugStringW(text);
    // Nothing of the refused registration may stand in the way of the next one.
    m_devices.clear();
    m_usages.clear();
    return false;
}

void RawInputRegistration::Unregister()
{
    if (!m_devices.empty()) {
        for (RAWINPUTDEVICE& device : m_devices) {
            device.dwFlags = RIDEV_REMOVE;
            device.hwndTarget = nullptr;
        }
        ::RegisterRawInputDevices(m_devices.data(), static_cast<UINT>(m_devices.size()), sizeof(RAWINPUTDEVICE));
    }
    m_devices.clear();
    m_usages.clear();
    m_registered = false;
    ResetRawModifiers();
}

bool RawInputRegistration::IsRegisteredFor(HWND window) const noexcept
{
    return m_registered && window && !m_devices.empty() && m_devices.front().hwndTarget == window;
}

void RawInputRegistration::UnregisterFor(HWND window)
{
    if (IsRegisteredFor(window))
        Unregister();
}

RawInputRegistration& TheRawInputRegistration()
{
    static RawInputRegistration registration;
    return registration;
}

bool RegisterKeyboardAndMouse(HWND window)
{
    RAWINPUTDEVICE devices[2] = {UsageDevice(kUsageMouse, window), UsageDevice(kUsageKeyboard, window)};
    return ::RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE)) != FALSE;
}

void RemoveKeyboardAndMouse()
{
    RAWINPUTDEVICE devices[2] = {UsageDevice(kUsageMouse, nullptr), UsageDevice(kUsageKeyboard, nullptr)};
    for (RAWINPUTDEVICE& device : devices)
        device.dwFlags = RIDEV_REMOVE;
    ::RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE));
}

// ---- Reading -----------------------------------------------------------------------------------

const RAWINPUT* ReadRawInput(HRAWINPUT input, std::vector<BYTE>& buffer)
{
    UINT size = 0;
    if (::GetRawInputData(input, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0 || size < sizeof(RAWINPUTHEADER) ||
        size > kMaxRawInputBytes)
        return nullptr;
    buffer.assign(size, 0);
    const UINT read = ::GetRawInputData(input, RID_INPUT, buffer.data(), &size, sizeof(RAWINPUTHEADER));
    if (read == static_cast<UINT>(-1) || read < sizeof(RAWINPUTHEADER))
        return nullptr;
    const auto* record = reinterpret_cast<const RAWINPUT*>(buffer.data());
    const size_t need = record->header.dwType == RIM_TYPEKEYBOARD ? offsetof(RAWINPUT, data) + sizeof(RAWKEYBOARD)
                        : record->header.dwType == RIM_TYPEMOUSE  ? offsetof(RAWINPUT, data) + sizeof(RAWMOUSE)
                                                                  : sizeof(RAWINPUTHEADER);
    return read >= need ? record : nullptr;
}

bool ReadRawInput(LPARAM input, RAWINPUT* record)
{
    std::vector<BYTE> buffer;
    const RAWINPUT* read = ReadRawInput(reinterpret_cast<HRAWINPUT>(input), buffer);
    // Only a keyboard or mouse report fits the record; anything larger is another device's.
    if (!read || buffer.size() > sizeof(RAWINPUT) ||
        (read->header.dwType != RIM_TYPEKEYBOARD && read->header.dwType != RIM_TYPEMOUSE))
        return false;
    std::memset(record, 0, sizeof(RAWINPUT));
    std::memcpy(record, buffer.data(), buffer.size());
    return true;
}

// ---- Key records -------------------------------------------------------------------------------

void ResetRawModifiers()
{
    TheRawModifiers().held = 0;
}

bool KeyRecordFromRawKeyboard(KeyEventRecord& record, const RAWKEYBOARD& keyboard)
{
    const bool extended = (keyboard.Flags & RI_KEY_E0) != 0;
    const bool down = (keyboard.Flags & RI_KEY_BREAK) == 0;
    record.scanCode = keyboard.MakeCode;
    const UINT given = keyboard.VKey == 0xFF ? record.lastVirtualKey : keyboard.VKey;
    record.virtualKey = static_cast<uint16_t>(SidedModifier(given, keyboard.MakeCode, extended));
    record.state = down ? KeyEventRecord::kDown : KeyEventRecord::kUp;
    const bool real = keyboard.MakeCode != 0 && (keyboard.Flags & RI_KEY_E1) == 0 && !(extended && keyboard.VKey == 0xFF);
    if (real) {
        if (const UINT modifier = RawModifierKeyOf(keyboard))
            TheRawModifiers().Note(modifier, down);
    }
    record.flags = static_cast<uint8_t>((extended ? KeyEventRecord::kExtended : 0) | TheRawModifiers().Flags());
    GetKeyDisplayName(record.virtualKey, record.keyName, record.scanCode, extended);
    if (real) {
        record.lastVirtualKey = record.virtualKey;
        record.lastScanCode = record.scanCode;
    }
    return real;
}

int KeyRecordFromKeyMessage(KeyEventRecord& record, const MSG& msg)
{
    const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    const bool up = msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
    if (!down && !up)
        return 1;
    if (down && (msg.lParam & (1 << 30)))
        return 1; // auto-repeat
    record.virtualKey = static_cast<uint16_t>(msg.wParam);
    KeyRecordFromKeyData(msg.lParam, record, down);
    if (msg.message == WM_KEYDOWN && IsEatenKeyDown(msg.wParam))
        return 1;
    return 0;
}

void KeyRecordFromKeyData(LPARAM keyData, KeyEventRecord& record, bool down)
{
    const UINT scanCode = static_cast<UINT>((keyData >> 16) & 0xFF);
    const bool extended = (keyData & (1 << 24)) != 0;
    UINT virtualKey = SidedModifier(record.virtualKey, scanCode, extended);
    if (virtualKey == VK_RETURN && extended)
        virtualKey = VK_SEPARATOR; // the keypad's Enter
    record.scanCode = static_cast<uint16_t>(scanCode);
    record.virtualKey = static_cast<uint16_t>(virtualKey);
    record.state = down ? KeyEventRecord::kDown : KeyEventRecord::kUp;
    uint8_t flags = extended ? KeyEventRecord::kExtended : 0;
    if ((keyData & (1 << 29)) || IsHeld(VK_MENU))
        flags |= KeyEventRecord::kAlt;
    if (IsHeld(VK_CONTROL))
        flags |= KeyEventRecord::kCtrl;
    if (IsHeld(VK_SHIFT))
        flags |= KeyEventRecord::kShift;
    record.flags = flags;
    GetKeyDisplayName(virtualKey, record.keyName, scanCode, extended);
    record.lastVirtualKey = record.virtualKey;
    record.lastScanCode = record.scanCode;
}

bool GetKeyDisplayName(UINT virtualKey, std::wstring& name, UINT scanCode, bool extended)
{
    LONG keyData = static_cast<LONG>((scanCode & 0xFF) << 16);
    if (extended || virtualKey == VK_NUMLOCK || virtualKey == 194)
        keyData |= 1 << 24;
    wchar_t text[kMaxKeyNameChars + 1] = {};
    const int length = ::GetKeyNameTextW(keyData, text, static_cast<int>(kMaxKeyNameChars + 1));
    name.assign(text, length > 0 ? static_cast<size_t>(length) : 0);
    return length > 0;
}
