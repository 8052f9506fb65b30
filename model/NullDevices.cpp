#include "model/NullDevices.h"

#include "core/KeyboardDef.h"
#include "model/Profile.h"
#include "platform/WStr.h"

namespace {

const wchar_t* const kLetterAndDigitKeys[] = {
    L"a A", L"b B", L"c C", L"d D", L"e E", L"f F", L"g G", L"h H", L"i I", L"j J", L"k K", L"l L", L"m M",
    L"n N", L"o O", L"p P", L"q Q", L"r R", L"s S", L"t T", L"u U", L"v V", L"w W", L"x X", L"y Y", L"z Z",
    L"1 !", L"2 @", L"3 #", L"4 $", L"5 %", L"6 ^", L"7 &", L"8 *", L"9 (", L"0 )",
    L"Return", L"Escape", L"Backspace", L"Tab", L"Space", L"- _", L"= +", L"[ {", L"] }", L"\\ |", L"; :",
    L"' \"", L"` ~", L", <", L". >", L"/ ?", L"Caps Lock",
    L"F1", L"F2", L"F3", L"F4", L"F5", L"F6", L"F7", L"F8", L"F9", L"F10", L"F11", L"F12",
};

const wchar_t* const kMouseOnlyKeys[] = {L"F23", L"F24"};

const wchar_t* const kNavigationAndKeypadKeys[] = {
    L"Print Screen (Note 1)", L"Scroll Lock", L"Pause", L"Insert (Note 1)", L"Home (Note 1)",
    L"Page Up (Note 1)", L"Delete (Note 1)", L"End (Note 1)", L"Page Down (Note 1)", L"Right Arrow (Note 1)",
    L"Left Arrow (Note 1)", L"Down Arrow (Note 1)", L"Up Arrow (Note 1)", L"Num Lock", L"Keypad / (Note 1)",
    L"Keypad *", L"Keypad -", L"Keypad +", L"Keypad Enter", L"Keypad 1 End", L"Keypad 2 Down",
    L"Keypad 3 PageDn", L"Keypad 4 Left", L"Keypad 5", L"Keypad 6 Right", L"Keypad 7 Home", L"Keypad 8 Up",
    L"Keypad 9 PageUp", L"Keypad 0 Insert", L"Keypad . Delete", L"Europe 2 (Note 2)", L"App", L"Keypad =",
    L"Left Control", L"Left Shift", L"Left Alt", L"Left GUI", L"Right Control", L"Right Shift", L"Right Alt",
    L"Right GUI",
};

// The null mouse's buttons: the program's button ids and their factory action types.
const int32_t kNullMouseButtons[][2] = {{1, 1}, {2, 2}, {3, 3}, {4, 33}, {5, 34}, {12, 41}, {13, 42}};

constexpr int kNullStageDpi[] = {800, 1200, 1800, 4000, 5600};

} // namespace

const GUID kNullProfileGuids[20] = {
    {0x00A98AC7, 0x0457, 0x0457, {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01}},
    {0x0153158E, 0x08AE, 0x08AE, {0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02}},
    {0x01FCA055, 0x0D05, 0x0D05, {0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03}},
    {0x02A62B1C, 0x115C, 0x115C, {0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {0x034FB5E3, 0x15B3, 0x15B3, {0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05}},
    {0x03F940AA, 0x1A0A, 0x1A0A, {0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06}},
    {0x04A2CB71, 0x1E61, 0x1E61, {0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07}},
    {0x054C5638, 0x22B8, 0x22B8, {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}},
    {0x05F5E0FF, 0x270F, 0x270F, {0x09, 0x09, 0x09, 0x09, 0x09, 0x09, 0x09, 0x09}},
    {0x00A98AC7, 0x15B3, 0x15B3, {0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05}},
    {0x0153158E, 0x0457, 0x0457, {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01}},
    {0x01FCA055, 0x08AE, 0x08AE, {0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02}},
    {0x02A62B1C, 0x0D05, 0x0D05, {0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03}},
    {0x034FB5E3, 0x115C, 0x115C, {0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {0x03F940AA, 0x15B3, 0x15B3, {0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05}},
    {0x04A2CB71, 0x0457, 0x0457, {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01}},
    {0x054C5638, 0x08AE, 0x08AE, {0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02}},
    {0x05F5E0FF, 0x0D05, 0x0D05, {0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03}},
    {0x00A98AC7, 0x115C, 0x115C, {0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {0x0153158E, 0x15B3, 0x15B3, {0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05}},
};

std::vector<int32_t> NullDeviceKeyHashes(bool mouse)
{
    std::vector<int32_t> hashes;
    for (const wchar_t* name : kLetterAndDigitKeys)
        hashes.push_back(HashText(name));
    if (mouse)
        for (const wchar_t* name : kMouseOnlyKeys)
            hashes.push_back(HashText(name));
    for (const wchar_t* name : kNavigationAndKeypadKeys)
        hashes.push_back(HashText(name));
    return hashes;
}

template <class C, class P>
bool CNullDevice<C, P>::GetLayoutCode(int* code)
{
    if (code)
        *code = 0;
    return false;
}

template <class C, class P>
void CNullDevice<C, P>::MakeProfiles(C& config, bool mouse)
{
    m_keyHashes = NullDeviceKeyHashes(mouse);
    config.ClearProfiles();
    for (int i = 0; i < kProfileCount; ++i) {
        P* profile = config.CreateProfile(wstr::Format(L"PROFILE%02d", i + 1).c_str());
        if (profile)
            profile->SetGuid(kNullProfileGuids[i]);
    }
}

bool CNullMouse::Init(IMouseConfig* config)
{
    if (!config)
        return false;
    MakeProfiles(*config, true);
    for (int i = 0; i < config->GetProfileCount(); ++i) {
        IMouseProfile* profile = config->GetProfile(i);
        config->SetDpiStageCount(5, profile);
        config->SetDpiRange(100, 5600, 100, profile);
        config->SetCurrentDpiStage(3, profile);
        config->SetEnabledStageCount(5, profile);
        for (int stage = 1; stage <= 5; ++stage)
            config->SetStageDpi(stage, kNullStageDpi[stage - 1], profile);
        for (const auto& button : kNullMouseButtons)
            config->SetButtonAssignment(button[0], AssignmentAction(button[1]), profile);
        KeyCode code;
        for (int32_t key : m_keyHashes)
            if (GetKeyboardDef().GetDefaultCode(key, code))
                config->SetAssignment(key, MakeDefaultKeyAssignment(key), profile);
    }
    config->SetActiveProfile(config->GetProfile(0));
    config->SetAccelerationRange(1, 10);
    config->SetAcceleration(5);
    config->SetAccelerationEnabled(true);
    config->ResetBatteryRange();
    config->SetSupportedPollingRates({125, 500, 1000});
    config->SetPollingRate(1);
    static const COLORREF kColors[] = {0xFF, 0xFF00, 0xFF0000};
    for (int n = 0; n < config->GetDeviceEntryCount(); ++n) {
        const int32_t key = config->GetDeviceEntryKey(n);
        AssignmentAction entry = config->GetDeviceEntry(key);
        entry.payload.values[0] = 2 + n % 4;
        entry.payload.values[1] = static_cast<int32_t>(kColors[n % 3]);
        config->SetDeviceEntry(key, entry);
    }
    return config->GetProfileCount() == 5;
}

bool CNullMouse::Transfer(IMouseConfig*, int, uint32_t)
{
    try {
        SendPercent(0);
    } catch (...) {
        // A listener blocked the messenger: the transfer fails as it would anyway.
    }
    ::Sleep(50);
    return false;
}

bool CNullMouse::GetFirmwareVersion(std::wstring& text)
{
    text = wstr::Format(L"%d.00", 1);
    return true;
}

bool CNullKeyboard::Init(IKeyboardConfig* config)
{
    if (!config)
        return false;
    MakeProfiles(*config, false);
    config->SetActiveProfile(config->GetProfile(0));
    return config->GetProfileCount() == 10;
}

bool CNullKeyboard::GetFirmwareVersion(std::wstring& text)
{
    text = wstr::Format(L"%d.%02d", 1, 0);
    return true;
}

template class CNullDevice<IMouseConfig, IMouseProfile>;
template class CNullDevice<IKeyboardConfig, IKeyboardProfile>;
