#include "MwPage.h"

#include "HvMwApiSheet.h"

BEGIN_MSG_MAP(CHvMwPage, CPropertyPage)
    ON_WM_DESTROY()
END_MSG_MAP()

BOOL CHvMwPage::OnKillActive()
{
    LetGo();
    return CPropertyPage::OnKillActive();
}

void CHvMwPage::OnReset()
{
    LetGo();
    CPropertyPage::OnReset();
}

void CHvMwPage::OnDestroy()
{
    LetGo();
    Default();
}

CHvMwApiSheet* CHvMwPage::Sheet() const
{
    return dynamic_cast<CHvMwApiSheet*>(GetParentSheet());
}

CComPtr<IDevice> CHvMwPage::Device() const
{
    CHvMwApiSheet* sheet = Sheet();
    return sheet ? sheet->Device() : CComPtr<IDevice>();
}

CComPtr<IProfile> CHvMwPage::MouseActiveProfile() const
{
    CComPtr<IProfile> profile;
    CComPtr<IDevice> device = Device();
    CComPtr<IMouseDevice> mouse;
    CComPtr<IProfileManager> manager;
    if (device && SUCCEEDED(device.As(mouse)) &&
        SUCCEEDED(mouse->GetFeature(__uuidof(IProfileManager), manager.PutVoid())))
        manager->GetActiveProfile(profile.Put());
    return profile;
}
