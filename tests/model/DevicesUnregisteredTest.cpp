// The device factory when the middleware is not registered: the program's COM finds no class
// behind the middleware's class id, the null devices stand in for both products, and every device
// operation fails without touching the configuration it is given or any device.
//
// "Not registered" is made for this process only: a class object whose CreateInstance answers as
// COM does for an unknown class is registered in front of the simulator, which stays plugged in
// and would answer otherwise.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "model/CodeTables.h"
#include "model/DeviceFactory.h"
#include "DevicesFixture.h"
#include "mwapi/HvMwApi.h"
#include "model/Keyboard.h"
#include "model/KeyboardConfig.h"
#include "model/Mouse.h"
#include "model/MouseConfig.h"
#include "Paths.h"
#include "platform/ProgressMessenger.h"
#include "UnregisteredClass.h"
#include "platform/WStr.h"

using namespace devtest;

namespace {

bool FileExists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The operations both null devices share. `held` is a configuration read from the real device,
// with profiles, GUIDs and (for the mouse) a macro: every operation given it must leave it as it is,
// even with import files the real device wrote.
template <class Config, class Profile>
void ExpectEveryOperationFails(IGenDevice<Config, Profile>& device, Config& held,
                               const std::wstring& macroFile, const std::wstring& profileFile)
{
    const std::wstring before = Describe(held);
    EXPECT_FALSE(device.IsDeviceFound());
    EXPECT_FALSE(device.IsBusy());
    EXPECT_FALSE(device.Probe());
    EXPECT_EQ(0u, device.GetProductId());
    EXPECT_EQ(20, device.GetProfileCount());

    EXPECT_FALSE(device.ImportMacro(macroFile.c_str(), &held));
    EXPECT_FALSE(device.ImportProfile(profileFile.c_str(), &held));
    EXPECT_FALSE(device.Transfer(&held, kTransferRead, kTransferAll));
    EXPECT_FALSE(device.Transfer(&held, kTransferWrite, kTransferAll));
    EXPECT_FALSE(device.IsBusy());
    EXPECT_EQ(before, Describe(held));

    const std::wstring macroOut = hvtest::TestFile(L"unregistered-out.hvm");
    const std::wstring profileOut = hvtest::TestFile(L"unregistered-out.hvp");
    ::DeleteFileW(macroOut.c_str());
    ::DeleteFileW(profileOut.c_str());
    if (held.GetMacroCount() > 0) {
        EXPECT_FALSE(device.HasMacro(held.GetMacro(0)));
        EXPECT_FALSE(device.ExportMacro(macroOut.c_str(), held.GetMacro(0)));
    }
    EXPECT_FALSE(device.HasProfile(held.GetProfile(0)));
    EXPECT_FALSE(device.ExportProfile(profileOut.c_str(), held.GetProfile(0)));
    EXPECT_FALSE(FileExists(macroOut));
    EXPECT_FALSE(FileExists(profileOut));

    EXPECT_FALSE(device.SetDefaultMode());
    EXPECT_FALSE(device.SetNormalMode());
    int code = 0x1234;
    EXPECT_FALSE(device.GetLayoutCode(&code));
    EXPECT_EQ(0, code);
    EXPECT_EQ(before, Describe(held));
}

} // namespace

TEST(DevicesUnregistered, NullDevicesStandInAndEveryOperationFails)
{
    UseOwnDevices(L"DevicesUnregistered");
    LoadKeyboardDefinition();
    FillCodeTables();
    CComApartment com;

    // Both devices answer through the simulator: read them, and let them write the files the null
    // devices are then asked to import.
    CVxConfig_Mouse mouseHeld;
    CVxConfig_Keyboard keyboardHeld;
    const std::wstring macroFile = hvtest::TestFile(L"unregistered.hvm");
    const std::wstring mouseProfileFile = hvtest::TestFile(L"unregistered-mouse.hvp");
    const std::wstring keyboardProfileFile = hvtest::TestFile(L"unregistered-keyboard.hvp");
    {
        CMouse mouse(g_MouseDescriptor);
        ASSERT_TRUE(mouse.Init(&mouseHeld));
        ASSERT_TRUE(mouse.Transfer(&mouseHeld, kTransferRead, kTransferAll));
        ASSERT_LT(0, mouseHeld.GetMacroCount());
        ASSERT_TRUE(mouse.ExportMacro(macroFile.c_str(), mouseHeld.GetMacro(0)));
        ASSERT_TRUE(mouse.ExportProfile(mouseProfileFile.c_str(), mouseHeld.GetProfile(1)));
        CKeyboard keyboard(g_KeyboardDescriptor);
        ASSERT_TRUE(keyboard.Init(&keyboardHeld));
        ASSERT_TRUE(keyboard.Transfer(&keyboardHeld, kTransferRead, kTransferAll));
        ASSERT_TRUE(keyboard.ExportProfile(keyboardProfileFile.c_str(), keyboardHeld.GetProfile(1)));
    }
    ClearJournal();

    hvtest::UnregisteredServer unregistered(CLSID_HvMwApi);
    ASSERT_TRUE(unregistered.Registered());
    {
        CComPtr<IDeviceEnumerator> root;
        EXPECT_EQ(REGDB_E_CLASSNOTREG,
                  ::CoCreateInstance(CLSID_HvMwApi, nullptr, HVMW_CLSCTX, IID_PPV_ARGS(root.Put())));
        EXPECT_FALSE(root);
    }
    const int createsBefore = unregistered.Class().Creates();

    // The factory tries the real device, which cannot reach the middleware, and puts the null
    // device in its place with its defaults.
    CVxConfig_Mouse mouseConfig;
    IGenMouse* mouse = nullptr;
    EXPECT_FALSE(CreateMouseDevice(g_MouseDescriptor, &mouse, &mouseConfig));
    ASSERT_NE(nullptr, mouse);
    EXPECT_STREQ(L"NullMouse", mouse->GetName());
    EXPECT_EQ(20, mouseConfig.GetProfileCount());
    EXPECT_EQ(L"PROFILE01", mouseConfig.GetActiveProfile()->GetName());

    CVxConfig_Keyboard keyboardConfig;
    IGenKeyboard* keyboard = nullptr;
    EXPECT_FALSE(CreateKeyboardDevice(g_KeyboardDescriptor, &keyboard, &keyboardConfig));
    ASSERT_NE(nullptr, keyboard);
    EXPECT_STREQ(L"NullKeyboard", keyboard->GetName());
    EXPECT_EQ(20, keyboardConfig.GetProfileCount());
    EXPECT_EQ(keyboardConfig.GetProfile(0), keyboardConfig.GetActiveProfile());
    // Each real device asked COM once, and was told the class is not registered.
    EXPECT_EQ(createsBefore + 2, unregistered.Class().Creates());

    // The null devices' version texts are their fixed ones.
    std::wstring text;
    EXPECT_TRUE(mouse->GetFirmwareVersion(text));
    EXPECT_EQ(L"1.00", text);
    EXPECT_TRUE(keyboard->GetDriverVersion(text));
    EXPECT_EQ(L"1.00", text);

    CProgressListener mouseListener;
    CProgressListener keyboardListener;
    mouse->AddListener(mouseListener.Window());
    keyboard->AddListener(keyboardListener.Window());
    ExpectEveryOperationFails<IMouseConfig>(*mouse, mouseHeld, macroFile, mouseProfileFile);
    ExpectEveryOperationFails<IKeyboardConfig>(*keyboard, keyboardHeld, macroFile, keyboardProfileFile);
    // Each transfer of the null mouse, read or write, tells its listeners 0 percent before failing;
    // the keyboard's tell nothing.
    EXPECT_EQ((std::vector<std::wstring>{L"0", L"0"}), mouseListener.Received());
    EXPECT_TRUE(keyboardListener.Received().empty());
    mouse->RemoveListener(mouseListener.Window());
    keyboard->RemoveListener(keyboardListener.Window());
    EXPECT_TRUE(mouse->GetMessenger()->Listeners().empty());
    EXPECT_TRUE(keyboard->GetMessenger()->Listeners().empty());

    // After Uninit they still refuse, and still leave the configuration alone.
    mouse->Uninit();
    keyboard->Uninit();
    const std::wstring mouseBefore = Describe(mouseHeld);
    EXPECT_FALSE(mouse->Transfer(&mouseHeld, kTransferRead, kTransferAll));
    EXPECT_FALSE(keyboard->ImportProfile(keyboardProfileFile.c_str(), &keyboardHeld));
    EXPECT_EQ(mouseBefore, Describe(mouseHeld));

    // No operation reached a device, and the failed creations left no middleware object behind.
    EXPECT_EQ(createsBefore + 2, unregistered.Class().Creates());
    EXPECT_TRUE(Journal().empty());

    // Registered again (the simulator behind the class id once more), the factory finds both.
    unregistered.Revoke();
    EXPECT_EQ(0u, unregistered.Class().Refs());
    EXPECT_TRUE(RecreateMouseDevice(&mouse, &mouseConfig));
    EXPECT_EQ(nullptr, mouse->GetName());
    EXPECT_EQ(mouseHeld.GetProfileCount(), mouseConfig.GetProfileCount());
    EXPECT_TRUE(RecreateKeyboardDevice(&keyboard, &keyboardConfig));
    EXPECT_EQ(nullptr, keyboard->GetName());
    EXPECT_EQ(keyboardHeld.GetProfileCount(), keyboardConfig.GetProfileCount());
    DestroyDevices();
}
