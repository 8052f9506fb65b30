// The process-wide raw input registration and the key records: what the system is given and when a
// registration is refused, keys typed with SendInput as the registered window reads them, made-up raw
// records, and key messages read while the thread's key state holds the modifiers.
#include "platform/RawInput.h"

#include "ImportPatch.h"

#include "HvTest.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The raw keyboard records a hidden window of this thread receives, read while the message is
// handled (the input's handle is good for that long only).
std::vector<RAWKEYBOARD> g_keys;
std::vector<RAWMOUSE> g_mice;

LRESULT CALLBACK SinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INPUT) {
        std::vector<BYTE> buffer;
        if (const RAWINPUT* input = ReadRawInput(reinterpret_cast<HRAWINPUT>(lParam), buffer)) {
            if (input->header.dwType == RIM_TYPEKEYBOARD)
                g_keys.push_back(input->data.keyboard);
            else if (input->header.dwType == RIM_TYPEMOUSE)
                g_mice.push_back(input->data.mouse);
        }
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateSink()
{
    static const wchar_t* name = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = SinkProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"RawInputSink";
        ::RegisterClassW(&wc);
        return L"RawInputSink";
    }();
    return ::CreateWindowW(name, L"sink", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                           nullptr);
}

std::vector<RAWINPUTDEVICE> SystemDevices()
{
    UINT count = 0;
    ::GetRegisteredRawInputDevices(nullptr, &count, sizeof(RAWINPUTDEVICE));
    std::vector<RAWINPUTDEVICE> devices(count);
    if (count)
        ::GetRegisteredRawInputDevices(devices.data(), &count, sizeof(RAWINPUTDEVICE));
    devices.resize(count);
    return devices;
}

RAWKEYBOARD Raw(USHORT makeCode, USHORT flags, USHORT virtualKey)
{
    RAWKEYBOARD keyboard{};
    keyboard.MakeCode = makeCode;
    keyboard.Flags = flags;
    keyboard.VKey = virtualKey;
    keyboard.Message = (flags & RI_KEY_BREAK) ? WM_KEYUP : WM_KEYDOWN;
    return keyboard;
}

std::wstring SystemKeyName(LONG keyData)
{
    wchar_t text[64] = {};
    const int length = ::GetKeyNameTextW(keyData, text, 64);
    return std::wstring(text, length > 0 ? length : 0);
}

BOOL WINAPI RefuseRegistration(PCRAWINPUTDEVICE, UINT, UINT)
{
    ::SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

class RawInputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_keys.clear();
        g_mice.clear();
        ResetRawModifiers();
        m_sink.Reset(CreateSink());
        m_front.Reset(hvtest::CreateTestWindow(200, 120, 60, 60, L"raw input front"));
        ASSERT_TRUE(hvtest::PrepareTarget(m_front));
    }
    void TearDown() override { TheRawInputRegistration().Unregister(); }

    hvtest::ScopedWindow m_sink;
    hvtest::ScopedWindow m_front;
};

} // namespace

TEST_F(RawInputTest, RegistrationIsOneAtATimeAndARefusalBlocksNothing)
{
    RawInputRegistration& registration = TheRawInputRegistration();
    // Nothing to register, or nowhere to send it.
    EXPECT_FALSE(registration.Register(m_sink));
    registration.AddUsage(kUsageKeyboard);
    registration.AddUsage(kUsageMouse);
    registration.AddUsage(kUsageKeyboard);
    EXPECT_EQ((std::vector<USHORT>{kUsageKeyboard, kUsageMouse}), registration.Usages());
    EXPECT_FALSE(registration.Register(nullptr));
    EXPECT_TRUE(SystemDevices().empty());

    ASSERT_TRUE(registration.Register(m_sink));
    EXPECT_TRUE(registration.IsRegistered());
    std::vector<RAWINPUTDEVICE> given = SystemDevices();
    ASSERT_EQ(2u, given.size());
    for (const RAWINPUTDEVICE& device : given) {
        EXPECT_EQ(kUsagePageGenericDesktop, device.usUsagePage);
        EXPECT_EQ(m_sink.Get(), device.hwndTarget);
        EXPECT_EQ(device.usUsage == kUsageMouse ? DWORD(RIDEV_INPUTSINK) : DWORD(RIDEV_INPUTSINK | RIDEV_NOLEGACY),
                  device.dwFlags)
            << device.usUsage;
    }
    // A second registration waits for the first to go; only the window registered can remove it.
    hvtest::ScopedWindow other(CreateSink());
    EXPECT_FALSE(registration.Register(other));
    EXPECT_EQ(m_sink.Get(), SystemDevices().front().hwndTarget);
    EXPECT_TRUE(registration.IsRegisteredFor(m_sink));
    EXPECT_FALSE(registration.IsRegisteredFor(other));
    registration.UnregisterFor(other);
    EXPECT_TRUE(registration.IsRegistered());
    EXPECT_EQ(2u, SystemDevices().size());
    registration.UnregisterFor(m_sink);
    EXPECT_FALSE(registration.IsRegistered());
    EXPECT_TRUE(registration.Usages().empty());
    EXPECT_TRUE(SystemDevices().empty());

    // The system refuses: reported, and the next registration goes through.
    registration.AddUsage(kUsageKeyboard);
    {
        CImportPatch refuse("RegisterRawInputDevices", reinterpret_cast<void*>(&RefuseRegistration));
        ASSERT_TRUE(refuse.IsActive());
        EXPECT_FALSE(registration.Register(m_sink));
    }
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), registration.LastError());
    EXPECT_FALSE(registration.IsRegistered());
    EXPECT_TRUE(registration.Devices().empty());
    registration.AddUsage(kUsageMouse);
    ASSERT_TRUE(registration.Register(other));
    EXPECT_EQ(0u, registration.LastError());
    given = SystemDevices();
    ASSERT_EQ(1u, given.size());
    EXPECT_EQ(kUsageMouse, given[0].usUsage);
    EXPECT_EQ(other.Get(), given[0].hwndTarget);
}

TEST_F(RawInputTest, TypedKeysBecomeRecordsWithSidedModifiersAndTheModifiersHeld)
{
    // The header size the reads hand to GetRawInputData is the system's own: 16 bytes in the 32-bit
    // program (a 64-bit program given 16 reads nothing).
#ifdef _WIN64
    EXPECT_EQ(24u, sizeof(RAWINPUTHEADER));
#else
    EXPECT_EQ(16u, sizeof(RAWINPUTHEADER));
#endif
    RawInputRegistration& registration = TheRawInputRegistration();
    registration.AddUsage(kUsageKeyboard);
    registration.AddUsage(kUsageMouse);
    ASSERT_TRUE(registration.Register(m_sink));

    // A plain letter, then Shift+A, then the right Ctrl (an E0 key), then a middle click.
    ASSERT_TRUE(hvtest::PressKey('A'));
    ASSERT_TRUE(hvtest::PressKey('A', MOD_SHIFT));
    ASSERT_TRUE(hvtest::KeyDown(VK_RCONTROL));
    ASSERT_TRUE(hvtest::KeyUp(VK_RCONTROL));
    ASSERT_TRUE(hvtest::Click(m_front, {-1, -1}, hvtest::Button::Middle));
    hvtest::FlushMessages();

    struct Expected
    {
        uint16_t virtualKey, scanCode;
        uint8_t state, flags;
    };
    const Expected expected[] = {
        {'A', 0x1E, KeyEventRecord::kDown, 0},
        {'A', 0x1E, KeyEventRecord::kUp, 0},
        {VK_LSHIFT, 0x2A, KeyEventRecord::kDown, KeyEventRecord::kShift},
        {'A', 0x1E, KeyEventRecord::kDown, KeyEventRecord::kShift},
        {'A', 0x1E, KeyEventRecord::kUp, KeyEventRecord::kShift},
        {VK_LSHIFT, 0x2A, KeyEventRecord::kUp, 0},
        {VK_RCONTROL, 0x1D, KeyEventRecord::kDown, KeyEventRecord::kExtended | KeyEventRecord::kCtrl},
        {VK_RCONTROL, 0x1D, KeyEventRecord::kUp, KeyEventRecord::kExtended},
    };
    ASSERT_EQ(std::size(expected), g_keys.size());
    KeyEventRecord record;
    for (size_t i = 0; i < g_keys.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(KeyRecordFromRawKeyboard(record, g_keys[i]));
        EXPECT_EQ(expected[i].virtualKey, record.virtualKey);
        EXPECT_EQ(expected[i].scanCode, record.scanCode);
        EXPECT_EQ(expected[i].state, record.state);
        EXPECT_EQ(expected[i].flags, record.flags);
        EXPECT_EQ(record.virtualKey, record.lastVirtualKey);
        const bool extended = record.flags & KeyEventRecord::kExtended;
        EXPECT_EQ(SystemKeyName((LONG(record.scanCode) << 16) | (extended ? 1 << 24 : 0)), record.keyName);
    }
    std::vector<USHORT> buttons;
    for (const RAWMOUSE& mouse : g_mice)
        if (mouse.usButtonFlags)
            buttons.push_back(mouse.usButtonFlags);
    EXPECT_EQ((std::vector<USHORT>{RI_MOUSE_MIDDLE_BUTTON_DOWN, RI_MOUSE_MIDDLE_BUTTON_UP}), buttons);
}

TEST(RawInputRecords, MadeUpRawKeysAndKeyMessages)
{
    ResetRawModifiers();
    KeyEventRecord record;
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x1E, 0, 'A')));
    // No make code, the E1 prefix, or an E0 key without a virtual key: no key.
    EXPECT_FALSE(KeyRecordFromRawKeyboard(record, Raw(0, 0, 'B')));
    EXPECT_FALSE(KeyRecordFromRawKeyboard(record, Raw(0x1D, RI_KEY_E1, VK_PAUSE)));
    EXPECT_FALSE(KeyRecordFromRawKeyboard(record, Raw(0x2A, RI_KEY_E0, 0xFF)));
    EXPECT_EQ('A', record.lastVirtualKey);
    // A key without a virtual key takes the last real one.
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x1E, RI_KEY_BREAK, 0xFF)));
    EXPECT_EQ('A', record.virtualKey);
    EXPECT_EQ(KeyEventRecord::kUp, record.state);
    // The generic modifiers of raw input become their sides, and count as held until they go up.
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x36, 0, VK_SHIFT)));
    EXPECT_EQ(VK_RSHIFT, record.virtualKey);
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x38, RI_KEY_E0, VK_MENU)));
    EXPECT_EQ(VK_RMENU, record.virtualKey);
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x1D, 0, VK_CONTROL)));
    EXPECT_EQ(VK_LCONTROL, record.virtualKey);
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x2C, 0, 'Z')));
    EXPECT_EQ(KeyEventRecord::kShift | KeyEventRecord::kAlt | KeyEventRecord::kCtrl, record.flags);
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x36, RI_KEY_BREAK, VK_SHIFT)));
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x2C, RI_KEY_BREAK, 'Z')));
    EXPECT_EQ(KeyEventRecord::kAlt | KeyEventRecord::kCtrl, record.flags);
    ResetRawModifiers();

    // A modifier's state comes from its own events: a key without a virtual key after the Shift
    // (it takes the Shift's as its own) neither releases nor presses it.
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x2A, 0, VK_SHIFT)));
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x1E, RI_KEY_BREAK, 0xFF)));
    EXPECT_EQ(KeyEventRecord::kShift, record.flags) << "the Shift is still down";
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x2A, RI_KEY_BREAK, VK_SHIFT)));
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x1E, 0, 0xFF)));
    EXPECT_EQ(0, record.flags) << "a key taking the Shift's virtual key does not press it";
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x1E, RI_KEY_BREAK, 'A')));

    // Every registration starts with no modifier held, and its end forgets those it saw.
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x1D, 0, VK_CONTROL)));
    RawInputRegistration& registration = TheRawInputRegistration();
    registration.AddUsage(kUsageKeyboard);
    hvtest::ScopedWindow target(hvtest::CreateTestWindow(50, 50));
    ASSERT_TRUE(registration.Register(target));
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x30, 0, 'B')));
    EXPECT_EQ(0, record.flags) << "the Ctrl went down before the registration";
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x2A, 0, VK_SHIFT)));
    registration.Unregister();
    ASSERT_TRUE(KeyRecordFromRawKeyboard(record, Raw(0x30, 0, 'B')));
    EXPECT_EQ(0, record.flags) << "the Shift of the ended registration";
    ResetRawModifiers();

    // Key data without any modifier held: the left Ctrl, the right Ctrl, the keypad's Enter.
    record.virtualKey = VK_CONTROL;
    KeyRecordFromKeyData(0x001D0001, record, true);
    EXPECT_EQ(VK_LCONTROL, record.virtualKey);
    EXPECT_EQ(0x1D, record.scanCode);
    EXPECT_EQ(0, record.flags);
    record.virtualKey = VK_CONTROL;
    KeyRecordFromKeyData(0x011D0001, record, false);
    EXPECT_EQ(VK_RCONTROL, record.virtualKey);
    EXPECT_EQ(KeyEventRecord::kExtended, record.flags);
    EXPECT_EQ(KeyEventRecord::kUp, record.state);
    record.virtualKey = VK_RETURN;
    KeyRecordFromKeyData(0x011C0001, record, true);
    EXPECT_EQ(VK_SEPARATOR, record.virtualKey);
    EXPECT_EQ(SystemKeyName(0x011C0000), record.keyName);

    // Messages that are eaten: not a key, an auto-repeat, a focus key going down.
    MSG msg{};
    msg.message = WM_CHAR;
    EXPECT_EQ(1, KeyRecordFromKeyMessage(record, msg));
    msg = MSG{nullptr, WM_KEYDOWN, 'A', 0x401E0001, 0, {}};
    EXPECT_EQ(1, KeyRecordFromKeyMessage(record, msg));
    msg = MSG{nullptr, WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {}};
    EXPECT_EQ(1, KeyRecordFromKeyMessage(record, msg));
    msg = MSG{nullptr, WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC00F0001), 0, {}};
    EXPECT_EQ(0, KeyRecordFromKeyMessage(record, msg));
    EXPECT_EQ(VK_TAB, record.virtualKey);
}

TEST_F(RawInputTest, KeyMessagesCarryTheModifiersTheThreadHolds)
{
    // Without raw input the keys reach the focused window as messages; each is read as it is taken
    // from the queue, when the thread's key state is that of the message.
    struct Seen
    {
        KeyEventRecord record;
        int eaten;
    };
    std::vector<Seen> seen;
    ::SetFocus(m_front);
    hvtest::FlushMessages();
    INPUT inputs[4] = {};
    const WORD keys[4] = {VK_CONTROL, 'A', 'A', VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        inputs[i].ki.wScan = static_cast<WORD>(::MapVirtualKeyW(keys[i], MAPVK_VK_TO_VSC));
        inputs[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    ASSERT_EQ(4u, ::SendInput(4, inputs, sizeof(INPUT)));
    const DWORD end = ::GetTickCount() + 2000;
    MSG msg;
    while (seen.size() < 4 && ::GetTickCount() < end) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::Sleep(5);
            continue;
        }
        if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
            Seen one{};
            one.eaten = KeyRecordFromKeyMessage(one.record, msg);
            seen.push_back(one);
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ASSERT_EQ(4u, seen.size());
    EXPECT_EQ(VK_LCONTROL, seen[0].record.virtualKey);
    EXPECT_EQ(KeyEventRecord::kCtrl, seen[0].record.flags);
    EXPECT_EQ('A', seen[1].record.virtualKey);
    EXPECT_EQ(KeyEventRecord::kCtrl, seen[1].record.flags); // no Shift for a letter
    EXPECT_EQ(0, seen[1].eaten);
    EXPECT_EQ(KeyEventRecord::kDown, seen[1].record.state);
    EXPECT_EQ(KeyEventRecord::kUp, seen[2].record.state);
    EXPECT_EQ(VK_LCONTROL, seen[3].record.virtualKey);
    EXPECT_EQ(0, seen[3].record.flags);
}
