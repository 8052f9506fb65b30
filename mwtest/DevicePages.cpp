#include "mwtest/DevicePages.h"

#include "mwtest/HvMwApiSheet.h"
#include "mwtest/MwTestRes.h"
#include "mwtest/PageKit.h"
#include "platform/WStr.h"

// ---- CDevicePage --------------------------------------------------------------------------------

BEGIN_MSG_MAP(CDevicePage, CHvMwPage)
    ON_CONTROL(CBN_SELENDOK, IDC_DEVICE_COMBO, OnSelectDevice)
    ON_CONTROL(CBN_DROPDOWN, IDC_DEVICE_COMBO, OnDropDown)
END_MSG_MAP()

CDevicePage::CDevicePage() : CHvMwPage(IDD_DEVICES)
{
}

BOOL CDevicePage::OnInitDialog()
{
    m_devices.SubclassDlgItem(IDC_DEVICE_COMBO, m_hWnd);
    CHvMwApiSheet* sheet = Sheet();
    CComPtr<IDeviceEnumerator> root = sheet ? sheet->Root() : CComPtr<IDeviceEnumerator>();
    if (root) {
        // Devices from index 0 until the call fails, whatever it answers; the list keeps names only.
        for (int index = 0; index < kMaxListWalk; ++index) {
            CComPtr<IDevice> device;
            if (FAILED(root->EnumDevice(index, device.Put())))
                break;
            DeviceInfo info = {};
            if (SUCCEEDED(device->GetDeviceInfo(&info))) {
                m_devices.AddString(info.name ? info.name : L"");
                ::CoTaskMemFree(info.name);
            }
        }
    }
    return CHvMwPage::OnInitDialog();
}

void CDevicePage::OnSelectDevice()
{
    CHvMwApiSheet* sheet = Sheet();
    CComPtr<IDeviceEnumerator> root = sheet ? sheet->Root() : CComPtr<IDeviceEnumerator>();
    const int selected = m_devices.GetCurSel();
    if (!root || selected < 0)
        return;
    // A name the middleware no longer knows (the device went since) keeps the current device.
    CComPtr<IDevice> device;
    if (SUCCEEDED(root->GetDeviceByName(m_devices.GetLBText(selected).c_str(), device.Put())))
        sheet->SetDevice(device);
}

void CDevicePage::OnDropDown()
{
    m_devices.SetDroppedWidth(m_devices.WidestItemWidth());
}

// ---- CDeviceInfoPage ----------------------------------------------------------------------------

CDeviceInfoPage::CDeviceInfoPage() : CHvMwPage(IDD_DEVICE_INFO)
{
}

BOOL CDeviceInfoPage::OnSetActive()
{
    CComPtr<IDevice> device = Device();
    if (!device)
        return CHvMwPage::OnSetActive();
    DeviceInfo info = {};
    if (SUCCEEDED(device->GetDeviceInfo(&info))) {
        SetText(IDC_INFO_FIRMWARE, wstr::Format(L"Firmware version: %d.%02d", static_cast<int>(info.firmwareMajor),
                                                static_cast<int>(info.firmwareMinor)));
        SetText(IDC_INFO_DRIVER, wstr::Format(L"Driver version: %d.%02d", static_cast<int>(info.driverMajor),
                                              static_cast<int>(info.driverMinor)));
        ::CoTaskMemFree(info.name);
    }
    // A device without the interface shows the four numbers as zeros.
    BYTE version[4] = {};
    CComPtr<ILongFirmwareVersion> longVersion;
    if (SUCCEEDED(device.As(longVersion)))
        longVersion->GetVersion(&version[0], &version[1], &version[2], &version[3]);
    SetText(IDC_INFO_LONG_FIRMWARE, wstr::Format(L"Long Firmware version: %d.%02d.%02d.%d", version[0], version[1],
                                                 version[2], version[3]));
    return CHvMwPage::OnSetActive();
}
