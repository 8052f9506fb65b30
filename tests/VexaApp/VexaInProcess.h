// The main dialog in the test's own process, over the devices and configurations as the
// application makes them (registered simulator, the build's skin image), on the program's own
// resources, which the test program links.
#pragma once

#include <windows.h>

#include <memory>

#include "model/GenDevice.h"
#include "model/KeyboardConfig.h"
#include "model/MouseConfig.h"
#include "VexaApp/VxAppDlg.h"

namespace vexatest {

class InProcessVexa
{
public:
    InProcessVexa() = default;
    ~InProcessVexa() { Close(); }
    InProcessVexa(const InProcessVexa&) = delete;
    InProcessVexa& operator=(const InProcessVexa&) = delete;

    // Makes the devices (stand-by ones where the simulator has none) and the dialog, shown without
    // taking the focus; null when the dialog could not be made.
    CVxAppDlg* Open();
    // Destroys the dialog, then the devices and configurations. Safe to repeat.
    void Close();

    CVxAppDlg& Dialog() { return *m_dialog; }
    IGenMouse* Mouse() const { return m_mouse; }
    IGenKeyboard* Keyboard() const { return m_keyboard; }
    IMouseConfig* MouseConfig() const { return m_mouseConfig; }
    IKeyboardConfig* KeyboardConfig() const { return m_keyboardConfig; }
    // A visible item of the dialog (or any, with visibleOnly false); null when none.
    HWND Item(int id, bool visibleOnly = true) const;
    // What a button item sends the dialog when clicked (or another notification code), sent.
    void Command(HWND item, WORD code = BN_CLICKED) const;

private:
    std::unique_ptr<CVxConfig_Mouse> m_mouseObject;
    std::unique_ptr<CVxConfig_Keyboard> m_keyboardObject;
    IMouseConfig* m_mouseConfig = nullptr;
    IKeyboardConfig* m_keyboardConfig = nullptr;
    IGenMouse* m_mouse = nullptr;
    IGenKeyboard* m_keyboard = nullptr;
    std::unique_ptr<CVxAppDlg> m_dialog;
};

} // namespace vexatest
