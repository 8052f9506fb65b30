#include "MwPage.h"

#include "HvMwApiSheet.h"

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
