// HvMwTestApp: a bench for the device middleware, one property sheet page per feature.
#include <windows.h>

#include <commctrl.h>

#include "mwtest/TestBench.h"
#include "platform/WinApp.h"

class CHvMwTestAppApp : public CWinApp
{
public:
    BOOL InitInstance() override;
};

// The one application object.
CHvMwTestAppApp theApp;

HV_IMPLEMENT_WINMAIN()

BOOL CHvMwTestAppApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    // The program keeps no settings of its own in the registry, and hosts no ActiveX controls.
    ::CoInitialize(nullptr);
    {
        CHvMwTestBench bench;
        SetMainWnd(&bench.Sheet());
        bench.Run();
        SetMainWnd(nullptr);
    }
    ::CoUninitialize();
    // The program ends with its sheet.
    return FALSE;
}
