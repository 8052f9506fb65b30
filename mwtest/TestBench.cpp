#include "mwtest/TestBench.h"

#include <map>

#include "mwtest/ApmPage.h"
#include "mwtest/AssignmentPages.h"
#include "mwtest/DevicePages.h"
#include "mwtest/DpiPages.h"
#include "mwtest/EventPages.h"
#include "mwtest/FeaturePages.h"
#include "mwtest/InputPages.h"
#include "mwtest/LedPages.h"
#include "mwtest/MacroPages.h"
#include "mwtest/MwTestRes.h"
#include "mwtest/ProfilesPage.h"
#include "mwtest/SettingsPage.h"

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

template <class Page>
std::unique_ptr<CHvMwPage> Make()
{
    return std::make_unique<Page>();
}

// The class of each template.
struct PageClass
{
    UINT templateId;
    std::unique_ptr<CHvMwPage> (*make)();
};
constexpr PageClass kPageClasses[] = {
    {IDD_DEVICES, &Make<CDevicePage>},
    {IDD_DEVICE_INFO, &Make<CDeviceInfoPage>},
    {IDD_POLLING_RATE, &Make<CPollingRatePage>},
    {IDD_ACCELERATION, &Make<CAccelerationPage>},
    {IDD_MODE, &Make<CModePage>},
    {IDD_KEYBOARD_REDIRECTOR, &Make<CKeyboardRedirectorPage>},
    {IDD_KEYBOARD_LAYOUT, &Make<CKeyboardLayoutPage>},
    {IDD_POWER_MANAGEMENT, &Make<CPowerManagementPage>},
    {IDD_BATTERY, &Make<CBatteryPage>},
    {IDD_REFRESH_TEST, &Make<CVxRefreshTestPage>},
    {IDD_OTF_MACRO, &Make<COtfMacroRecordingPage>},
    {IDD_HVAPP, &Make<CHvAppPage>},
    {IDD_SETTINGS, &Make<CSettingsPage>},
    {IDD_PROFILES, &Make<CProfilesPage>},
    {IDD_BUTTONS, &Make<CButtonsPage>},
    {IDD_KEYS, &Make<CKeysPage>},
    {IDD_LED, &Make<CLEDPage>},
    {IDD_LED_CALIBRATION, &Make<CLEDCalibrationPage>},
    {IDD_APM, &Make<CAPMPage>},
    {IDD_MACROS, &Make<CMacrosPage>},
    {IDD_DPI, &Make<CDPIPage>},
    {IDD_SENSITIVITY_SCALER, &Make<CSensitivityScalerPage>},
};

std::unique_ptr<CHvMwPage> MakePage(UINT templateId)
{
    for (const PageClass& page : kPageClasses)
        if (page.templateId == templateId)
            return page.make();
    return std::make_unique<CHvMwPage>(templateId);
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
