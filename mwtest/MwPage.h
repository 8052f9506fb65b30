// CHvMwPage: the base of the test program's pages. A page is always a child of the sheet and works
// on the sheet's current device: a handler takes the device (one reference of its own, released
// when the handler returns), obtains the feature it needs, calls it and lets it go again. A page
// without a device, or whose device lacks the feature, does nothing and shows nothing.
//
// What a page holds while it is in front (event connections, raw-input registrations, rows,
// features) it lets go in LetGo, which runs whenever the page is left, when the sheet is cancelled
// or closed (no page is left then) and when the page's window goes.
//
// The pages whose features are built elsewhere are this class alone on their template.
#pragma once

#include <string>

#include "CommonDialogs.h"

#include "ComPtr.h"
#include "HvMwApi.h"
#include "PropertySheet.h"

class CHvMwApiSheet;

class CHvMwPage : public CPropertyPage
{
public:
    explicit CHvMwPage(UINT templateId) : CPropertyPage(templateId) {}

protected:
    virtual void LetGo() {}
    BOOL OnKillActive() override;
    void OnReset() override;
    void OnDestroy();

    CHvMwApiSheet* Sheet() const;
    // The sheet's current device, or null.
    CComPtr<IDevice> Device() const;
    // A feature of the current device (IDevice::GetFeature); empty when there is none.
    template <class I>
    CComPtr<I> DeviceFeature() const
    {
        CComPtr<I> feature;
        if (CComPtr<IDevice> device = Device())
            device->GetFeature(__uuidof(I), feature.PutVoid());
        return feature;
    }
    // The active profile, reached through the device's mouse interface (IMouseDevice, its
    // IProfileManager); empty when any step fails.
    CComPtr<IProfile> MouseActiveProfile() const;
    // A feature of that profile; empty when there is none.
    template <class I>
    CComPtr<I> MouseProfileFeature() const
    {
        CComPtr<I> feature;
        if (CComPtr<IProfile> profile = MouseActiveProfile())
            profile->GetFeature(__uuidof(I), feature.PutVoid());
        return feature;
    }

    // A feature looked up through the device's type interface: the first of IMouseDevice,
    // IKeyboardDevice and IOtherDevice that the device answers, and its GetFeature; empty when there
    // is none.
    HRESULT DeviceTypeFeature(REFIID iid, void** out) const;
    template <class I>
    CComPtr<I> DeviceTypeFeature() const
    {
        CComPtr<I> feature;
        DeviceTypeFeature(__uuidof(I), feature.PutVoid());
        return feature;
    }

    // Shows a context menu (the first sub-menu of menu resource menuId) at the cursor and waits
    // until it closes; the command chosen, 0 when none.
    UINT TrackContextMenu(UINT menuId) const;
    // A message box with the program's name and an OK button.
    void Tell(const wchar_t* text) const;

    // SetDlgItemTextW with a std::wstring.
    void SetText(int id, const std::wstring& text) const { SetDlgItemText(id, text.c_str()); }
    void Enable(int id, bool enable) const { ::EnableWindow(GetDlgItem(id), enable); }

    HV_DECLARE_MSG_MAP()
};
