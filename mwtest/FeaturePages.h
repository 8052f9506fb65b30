// The pages of the device-wide features without events: polling rate, acceleration, keyboard
// layout, power management, battery, and the refresh test page that the sheet never shows. Each
// obtains its feature when it is activated or acted on and lets it go before the handler returns.
#pragma once

#include "mwtest/MwPage.h"
#include "platform/CommonControls.h"
#include "platform/Controls.h"

// "Polling Rate": the supported rates, the current one selected; choosing one writes it.
class CPollingRatePage : public CHvMwPage
{
public:
    CPollingRatePage();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void OnRateChosen();

private:
    // The active profile's polling rate where the profile has one, else the device's.
    CComPtr<IPollingRate> PollingRate() const;
    void FillRates(IPollingRate* rate);

    CComboBox m_rates;
    HV_DECLARE_MSG_MAP()
};

// "Acceleration": on or off, and the level 1 to 10 (written when a move of the bar ends).
class CAccelerationPage : public CHvMwPage
{
public:
    CAccelerationPage();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void OnEnabledClicked();
    LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);

private:
    CButton m_enabled;
    CSliderCtrl m_level;
    HV_DECLARE_MSG_MAP()
};

// "Keyboard Layout": the keyboard's layout code.
class CKeyboardLayoutPage : public CHvMwPage
{
public:
    CKeyboardLayoutPage();

protected:
    BOOL OnSetActive() override;
};

// "Power Management": critical battery level, maximum LED brightness and sleep time, each a bar
// written when a move ends, with the value last written beside it.
class CPowerManagementPage : public CHvMwPage
{
public:
    CPowerManagementPage();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);

private:
    CSliderCtrl m_critical;
    CSliderCtrl m_maxLed;
    CSliderCtrl m_sleep;
    HV_DECLARE_MSG_MAP()
};

// "Battery Page": the battery level and whether it charges.
class CBatteryPage : public CHvMwPage
{
public:
    CBatteryPage();

protected:
    BOOL OnSetActive() override;
};

// "Property Page": reads the device information at an interval while started. Built with the
// other pages but never added to the sheet.
class CVxRefreshTestPage : public CHvMwPage
{
public:
    CVxRefreshTestPage();

protected:
    void OnStart();
    void OnStop();
    // The timer goes with the page's window.
    void OnTimer(UINT_PTR id);

private:
    static constexpr UINT_PTR kTimer = 0;
    UINT m_interval = 0;
    HV_DECLARE_MSG_MAP()
};
