// An empty dialog program made with the window layer: the yardstick for the tray's start-up.
#include "platform/Dialog.h"
#include "platform/DialogTemplate.h"
#include "platform/WinApp.h"

#include <memory>

namespace {

class CEmptyApp : public CWinApp
{
public:
    BOOL InitInstance() override
    {
        const CDialogTemplate form(L"Empty dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 160, 80);
        m_dialog = std::make_unique<CDialog>(form);
        SetMainWnd(m_dialog.get());
        return m_dialog->Create();
    }

private:
    std::unique_ptr<CDialog> m_dialog;
};

CEmptyApp theApp;

} // namespace

HV_IMPLEMENT_WINMAIN()
