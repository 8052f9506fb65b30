#include "TestBench.h"

#include <map>

#include "ApmPage.h"
#include "AssignmentPages.h"
#include "DevicePages.h"
#include "DpiPages.h"
#include "EventPages.h"
#include "FeaturePages.h"
#include "InputPages.h"
#include "LedPages.h"
#include "MacroPages.h"
#include "MwTestRes.h"
#include "ProfilesPage.h"
#include "SettingsPage.h"

namespace {

// The order the program constructs its pages in.
constexpr UINT kConstructionOrder[] = {
    IDD_DEVICES, IDD_PROFILES, IDD_LED, IDD_POLLING_RATE, IDD_BUTTONS, IDD_KEYS, IDD_DPI, IDD_DEVICE_INFO,
    IDD_APM, IDD_MACROS, IDD_MODE, IDD_KEYBOARD_REDIRECTOR, IDD_ACCELERATION, IDD_OTF_MACRO, IDD_LED_CALIBRATION,
    IDD_SETTINGS, IDD_HVAPP, IDD_KEYBOARD_LAYOUT, IDD_SENSITIVITY_SCALER, IDD_REFRESH_TEST, IDD_POWER_MANAGEMENT,
    IDD_BATTERY,
};

// The order of the tabs.
constexpr UINT kTabOrder[] = {
    IDD_DEVICES, IDD_DEVICE_INFO, IDD_PROFILES, IDD_BUTTONS, IDD_LED, IDD_KEYS, IDD_DPI,
    IDD_APM, IDD_MODE, IDD_KEYBOARD_REDIRECTOR, IDD_ACCELERATION, IDD_OTF_MACRO, IDD_POLLING_RATE, IDD_MACROS,
    IDD_LED_CALIBRATION, IDD_SETTINGS, IDD_HVAPP, IDD_KEYBOARD_LAYOUT, IDD_SENSITIVITY_SCALER,
    IDD_POWER_MANAGEMENT, IDD_BATTERY,
};

std::unique_ptr<CHvMwPage> MakePage(UINT templateId)
{
    switch (templateId) {
    case IDD_DEVICES:
        return std::make_unique<CDevicePage>();
    case IDD_DEVICE_INFO:
        return std::make_unique<CDeviceInfoPage>();
    case IDD_POLLING_RATE:
        return std::make_unique<CPollingRatePage>();
    case IDD_ACCELERATION:
        return std::make_unique<CAccelerationPage>();
    case IDD_MODE:
        return std::make_unique<CModePage>();
    case IDD_KEYBOARD_REDIRECTOR:
        return std::make_unique<CKeyboardRedirectorPage>();
    case IDD_KEYBOARD_LAYOUT:
        return std::make_unique<CKeyboardLayoutPage>();
    case IDD_POWER_MANAGEMENT:
        return std::make_unique<CPowerManagementPage>();
    case IDD_BATTERY:
        return std::make_unique<CBatteryPage>();
    case IDD_REFRESH_TEST:
        return std::make_unique<CVxRefreshTestPage>();
    case IDD_OTF_MACRO:
        return std::make_unique<COtfMacroRecordingPage>();
    case IDD_HVAPP:
        return std::make_unique<CHvAppPage>();
    case IDD_SETTINGS:
        return std::make_unique<CSettingsPage>();
    case IDD_PROFILES:
        return std::make_unique<CProfilesPage>();
    case IDD_BUTTONS:
        return std::make_unique<CButtonsPage>();
    case IDD_KEYS:
        return std::make_unique<CKeysPage>();
    case IDD_LED:
        return std::make_unique<CLEDPage>();
    case IDD_LED_CALIBRATION:
        return std::make_unique<CLEDCalibrationPage>();
    case IDD_APM:
        return std::make_unique<CAPMPage>();
    case IDD_MACROS:
        return std::make_unique<CMacrosPage>();
    case IDD_DPI:
        return std::make_unique<CDPIPage>();
    case IDD_SENSITIVITY_SCALER:
        return std::make_unique<CSensitivityScalerPage>();
    default:
        return std::make_unique<CHvMwPage>(templateId);
    }
}

} // namespace

CHvMwTestBench::CHvMwTestBench()
{
    std::map<UINT, std::unique_ptr<CHvMwPage>> built;
    for (UINT id : kConstructionOrder)
        built[id] = MakePage(id);
    for (UINT id : kTabOrder)
        m_sheet.AddPage(std::move(built[id]));
    m_refreshTest = std::move(built[IDD_REFRESH_TEST]);
}

CHvMwTestBench::~CHvMwTestBench()
{
    Close();
}

INT_PTR CHvMwTestBench::Run()
{
    const INT_PTR result = m_sheet.DoModal();
    m_sheet.Release();
    return result;
}

bool CHvMwTestBench::Open(HWND parent)
{
    return m_sheet.Create(parent);
}

INT_PTR CHvMwTestBench::Close()
{
    const INT_PTR result = m_sheet.Close();
    m_sheet.Release();
    return result;
}
