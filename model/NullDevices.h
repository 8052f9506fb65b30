// The devices that stand in where the mouse or the keyboard does not answer: they fill the
// configuration with built-in defaults, so that the front end always holds a device object and a
// configuration for both products, and every device operation on them reports failure.
#pragma once

#include <vector>

#include "model/GenDevice.h"
#include "platform/ProgressMessenger.h"

// The key names the stand-in devices know, and their hashes (5381, times 33 plus each character).
// The mouse's list has "F23" and "F24" after "F12".
std::vector<int32_t> NullDeviceKeyHashes(bool mouse);

// The fixed GUIDs of "PROFILE01" to "PROFILE20".
extern const GUID kNullProfileGuids[20];

template <class ConfigItf, class ProfileItf>
class CNullDevice : public IGenDevice<ConfigItf, ProfileItf>, public CProgressMessenger
{
public:
    static constexpr int kProfileCount = 20;

    void Uninit() override { m_keyHashes.clear(); }
    bool IsBusy() override { return false; }
    WriteOutcome TakeWriteOutcome(bool) override { return kWriteNone; }
    bool ImportMacro(const wchar_t*, ConfigItf*, ImportResult* result = nullptr) override { return NoImport(result); }
    bool ExportMacro(const wchar_t*, const CMacro*) override { return false; }
    bool HasMacro(const CMacro*) override { return false; }
    bool ImportProfile(const wchar_t*, ConfigItf*, ImportResult* result = nullptr) override { return NoImport(result); }
    bool ExportProfile(const wchar_t*, ProfileItf*) override { return false; }
    bool HasProfile(ProfileItf*) override { return false; }
    bool SetDefaultMode() override { return false; }
    bool SetNormalMode() override { return false; }
    bool GetLayoutCode(int* code) override;
    bool IsDeviceFound() override { return false; }
    bool Probe() override { return false; }
    uint32_t GetProductId() override { return 0; }
    int GetProfileCount() override { return kProfileCount; }
    void AddListener(HWND window) override { CProgressMessenger::AddListener(window, nullptr); }
    void RemoveListener(HWND window) override { CProgressMessenger::RemoveListener(window, nullptr); }
    CProgressMessenger* GetMessenger() override { return this; }

protected:
    // Clears the profiles and makes "PROFILE01" to "PROFILE20" with their GUIDs; none active.
    void MakeProfiles(ConfigItf& config, bool mouse);
    // A stand-by device takes no file.
    static bool NoImport(ImportResult* result)
    {
        if (result)
            *result = ImportResult{ImportOutcome::NoDevice, std::wstring()};
        return false;
    }

    std::vector<int32_t> m_keyHashes;
};

class CNullMouse final : public CNullDevice<IMouseConfig, IMouseProfile>
{
public:
    // The 20 profiles with the factory stages, range and buttons, PROFILE01 active, and the
    // device-wide defaults. False: the configuration then holds 20 profiles, not a mouse's 5.
    bool Init(IMouseConfig* config) override;
    // Tells the listeners 0 percent, waits 50 ms and fails.
    bool Transfer(IMouseConfig* config, int direction, uint32_t flags) override;
    bool GetFirmwareVersion(std::wstring& text) override;
    bool GetDriverVersion(std::wstring& text) override { return GetFirmwareVersion(text); }
    const wchar_t* GetName() override { return L"NullMouse"; }
};

class CNullKeyboard final : public CNullDevice<IKeyboardConfig, IKeyboardProfile>
{
public:
    // The 20 profiles, profile 0 active. False: not the keyboard's 10.
    bool Init(IKeyboardConfig* config) override;
    bool Transfer(IKeyboardConfig*, int, uint32_t) override { return false; }
    bool GetFirmwareVersion(std::wstring& text) override;
    bool GetDriverVersion(std::wstring& text) override { return GetFirmwareVersion(text); }
    const wchar_t* GetName() override { return L"NullKeyboard"; }
};
