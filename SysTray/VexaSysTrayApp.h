// CVexaSysTrayApp: the tray program's application object. One copy runs per session: a named mutex
// makes a second start end at once, silently. The hidden tray dialog is the main window; the program
// ends when that window is destroyed (command 502 or WM_CLOSE), or at once when the dialog cannot
// put its icon into the notification area.
#pragma once

#include "platform/Handles.h"
#include "platform/WinApp.h"

class CVexaSysTrayDlg;

class CVexaSysTrayApp : public CWinApp
{
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    CKernelHandle m_mutex; // held for the life of the process
    CVexaSysTrayDlg* m_dialog = nullptr; // deletes itself with its window, clearing this
};
