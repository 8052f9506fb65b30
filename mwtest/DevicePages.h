// The two device pages: the device selection (the sheet's current device) and the device's
// version information.
#pragma once

#include "mwtest/MwPage.h"
#include "platform/Controls.h"

// "Devices": a drop-down of the names of the attached devices; picking one makes it the current
// device of every page.
class CDevicePage : public CHvMwPage
{
public:
    CDevicePage();

protected:
    BOOL OnInitDialog() override;
    void OnSelectDevice();
    void OnDropDown();

private:
    CComboBox m_devices;
    HV_DECLARE_MSG_MAP()
};

// "Device Info": firmware, driver and long firmware versions of the current device.
class CDeviceInfoPage : public CHvMwPage
{
public:
    CDeviceInfoPage();

protected:
    BOOL OnSetActive() override;
};
