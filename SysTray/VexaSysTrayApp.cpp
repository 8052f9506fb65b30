#include "SysTray/VexaSysTrayApp.h"

#include "SysTray/VexaSysTrayDlg.h"

#include <commctrl.h>

BOOL CVexaSysTrayApp::InitInstance()
{
    m_mutex.Reset(::CreateMutexW(nullptr, FALSE, kTrayMutexName));
    if (m_mutex && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        m_mutex.Reset();
        return FALSE;
    }
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = 0xFF;
    ::InitCommonControlsEx(&controls);

    m_dialog = new CVexaSysTrayDlg;
    m_dialog->SetOwnerSlot(&m_dialog);
    SetMainWnd(m_dialog);
    if (!m_dialog->CreateTray()) {
        // A dialog whose window was made and destroyed again has deleted itself; one that never got
        // a window is still here.
        SetMainWnd(nullptr);
        delete m_dialog;
        m_dialog = nullptr;
        return FALSE;
    }
    return TRUE;
}

int CVexaSysTrayApp::ExitInstance()
{
    if (m_dialog) {
        if (m_dialog->m_hWnd)
            m_dialog->DestroyWindow(); // deletes the object, clearing m_dialog
        else
            delete m_dialog;
        m_dialog = nullptr;
    }
    return CWinApp::ExitInstance();
}
