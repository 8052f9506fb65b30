// CHvMwApiSheet: the test program's property sheet. It holds the middleware's root object and the
// device the user picked on the device page; every page reaches both through it.
//
// The root is created when the sheet's window is initialised (a failure leaves it null and the
// device list empty); the device is replaced whenever the user picks another name. The sheet owns
// one reference to each until Release (device first, then root), which the program calls once
// the sheet has ended and its pages have let go of what they held.
#pragma once

#include "mwapi/HvMwApi.h"
#include "platform/ComPtr.h"
#include "platform/PropertySheet.h"

class CHvMwApiSheet : public CPropertySheet
{
public:
    CHvMwApiSheet();
    ~CHvMwApiSheet() override;

    // The root (null when the middleware could not be created) and the current device (null until
    // one is picked), each with a reference of the caller's for as long as it needs it.
    CComPtr<IDeviceEnumerator> Root() const { return m_root; }
    CComPtr<IDevice> Device() const { return m_device; }
    // Makes device the current device (the previous one is released).
    void SetDevice(const CComPtr<IDevice>& device) { m_device = device; }
    // Releases the device, then the root.
    void Release();

protected:
    BOOL OnInitDialog() override;

private:
    CComPtr<IDeviceEnumerator> m_root;
    CComPtr<IDevice> m_device;
};
