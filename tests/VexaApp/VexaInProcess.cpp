#include "VexaInProcess.h"

#include "HvTest.h"

#include "core/NameTables.h"
#include "model/DeviceFactory.h"
#include "skin/SkinResourceCache.h"
#include "VexaApp/VxApp.h"

#include "../controls/SkinSections.h"

namespace vexatest {

CVxAppDlg* InProcessVexa::Open()
{
    Close();
    if (!RegisterSingleInstanceClass(GetModuleHandleW(nullptr)))
        return nullptr;
    GetSkinResourceCache().SetFolder(hvtest::SkinImageDir());
    InitNameTables();
    m_mouseObject = std::make_unique<CVxConfig_Mouse>();
    m_keyboardObject = std::make_unique<CVxConfig_Keyboard>();
    m_mouseConfig = m_mouseObject.get();
    m_keyboardConfig = m_keyboardObject.get();
    CreateMouseDevice(g_MouseDescriptor, &m_mouse, m_mouseConfig);
    CreateKeyboardDevice(g_KeyboardDescriptor, &m_keyboard, m_keyboardConfig);
    m_dialog = std::make_unique<CVxAppDlg>(&m_mouseConfig, &m_mouse, &m_keyboard, &m_keyboardConfig);
    if (!m_dialog->Create())
        return nullptr;
    m_dialog->ShowWindow(SW_SHOWNA);
    hvtest::FlushMessages();
    return m_dialog.get();
}

void InProcessVexa::Close()
{
    if (m_dialog && m_dialog->m_hWnd)
        m_dialog->DestroyWindow();
    m_dialog.reset();
    DestroyDevices();
    m_mouse = nullptr;
    m_keyboard = nullptr;
    m_mouseConfig = nullptr;
    m_keyboardConfig = nullptr;
    m_mouseObject.reset();
    m_keyboardObject.reset();
}

HWND InProcessVexa::Item(int id, bool visibleOnly) const
{
    return m_dialog ? hvtest::FindItemWindow(*m_dialog, id, visibleOnly) : nullptr;
}

void InProcessVexa::Command(HWND item, WORD code) const
{
    // To the item's parent, as the item sends it: the dialog, or the page's window.
    if (m_dialog && item)
        ::SendMessageW(::GetParent(item), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(item), code),
                       reinterpret_cast<LPARAM>(item));
}

} // namespace vexatest
