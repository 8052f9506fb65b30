// CVxApp: the application object of HalvoVexaConfig. Its start-up routine does the program's whole
// work: one running copy only, COM, folders, name tables and language, the mouse and keyboard
// configurations with their device objects, the tray program's start, the keyboard layout, the
// main dialog run modally, and the teardown. It returns false, so the framework runs no message
// loop of its own: the main dialog's modal loop is the program's loop.
//
// The main dialog gets the addresses of the four device and configuration pointers, not their
// values: a device object made again on arrival is seen by every page through the same pointer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "model/GenDevice.h"
#include "platform/Handles.h"
#include "platform/WinApp.h"
#include "skin/GUIItem.h"

class CKeyboardLayouts;
class CVxConfig_Keyboard;
class CVxConfig_Mouse;

// The window class and mutex by which a second copy finds the first.
constexpr const wchar_t* kSingleInstanceName = L"SINGLE_INSTANCE_APP_VEXA";
// Where the installer writes "Language" and "InstallDir" (HKLM).
constexpr const wchar_t* kInstallerKey = L"Software\\Halvo\\VEXA";
constexpr const wchar_t* kTrayProgram = L"HalvoVexaSysTray.exe";

class CVxApp : public CWinApp
{
public:
    CVxApp();
    ~CVxApp() override;

    BOOL InitInstance() override;

    // The language chosen at start-up (an index of the language name table; 0 English, -1 a name
    // the table does not know).
    static int LanguageCode();

private:
    // True for the first copy, which then holds the single-instance mutex until it ends; false for
    // a later copy, after it has brought the first one to the front.
    bool BecomeTheRunningCopy();
    void ReleaseSingleInstance();
    void CreateDevices();
    void ChooseLanguage(int code);
    void ActivateKeyboardLayout();
    void Teardown();

    IGenMouse* m_mouseDevice = nullptr;
    IGenKeyboard* m_keyboardDevice = nullptr;
    IMouseConfig* m_mouseConfig = nullptr;
    IKeyboardConfig* m_keyboardConfig = nullptr;
    CGUIItems m_languageItems;        // "Language.xml": the language tables
    CGUIItems m_spareItems;
    CGUIItems m_keyboardLayoutItems;  // "KeyboardLayout.xml": the Windows layouts
    std::unique_ptr<CVxConfig_Mouse> m_mouseConfigObject;
    std::unique_ptr<CVxConfig_Keyboard> m_keyboardConfigObject;
    CKernelHandle m_instanceMutex;   // "SINGLE_INSTANCE_APP_VEXA", held while this copy runs
    bool m_ownsInstanceMutex = false;
};

// ---- start-up steps, each on its own for the tests ----

// Registers "SINGLE_INSTANCE_APP_VEXA" for the main dialog's template: double clicks, save bits,
// byte-aligned, the system's dialog procedure with its window bytes, icon 132, arrow, black.
bool RegisterSingleInstanceClass(HINSTANCE instance);
// When a window of that class exists: brings it to the top and its last active popup to the front
// (restored when minimised); true then.
bool ActivateRunningCopy();

// What the installer wrote. The key is opened (or created) with all access, or read only where
// that is refused; keyOpen is false when neither works.
struct InstallerSettings
{
    bool keyOpen = false;
    bool languageRead = false;
    std::wstring language;
    // Without its trailing backslash; empty when missing, empty or too long.
    std::wstring installDir;
};
InstallerSettings ReadInstallerSettings();
// The language code of a registry name: 0 when none could be read, -1 for an unknown name.
int LanguageCodeOf(const InstallerSettings& settings);

// The KBLAYOUT item id of the keyboard's layout code: KBLAYOUT_ENGLISH (15) without a keyboard or
// when it does not answer, -1 for a code the table does not know.
int32_t ChooseKeyboardLayoutItem(IGenKeyboard* keyboard);
// Activates the layout of that item; where that fails, the English one (15). True when one of
// them became active.
bool ActivateKeyboardLayoutItem(CKeyboardLayouts& layouts, int32_t itemId);
