#include "mwtest/FeaturePages.h"

#include "mwtest/MwTestRes.h"
#include "mwtest/PageKit.h"
#include "platform/WStr.h"

namespace {

// Polling-rate codes and the texts of the rates they stand for ("%dHz" of the supported rates).
struct RateText
{
    int code;
    const wchar_t* text;
};
constexpr RateText kRates[] = {
    {hvmw::kRate1000Hz, L"1000"},
    {hvmw::kRate500Hz, L"500"},
    {hvmw::kRate125Hz, L"125"},
};

const wchar_t* RatePrefix(int code)
{
    for (const RateText& rate : kRates)
        if (rate.code == code)
            return rate.text;
    return nullptr;
}

int RateCode(const std::wstring& text)
{
    for (const RateText& rate : kRates)
        if (text == std::wstring(rate.text) + L"Hz")
            return rate.code;
    return 0;
}

} // namespace

// ---- CPollingRatePage ---------------------------------------------------------------------------

BEGIN_MSG_MAP(CPollingRatePage, CHvMwPage)
    ON_CONTROL(CBN_SELENDOK, IDC_POLLING_RATE, OnRateChosen)
END_MSG_MAP()

CPollingRatePage::CPollingRatePage() : CHvMwPage(IDD_POLLING_RATE)
{
}

CComPtr<IPollingRate> CPollingRatePage::PollingRate() const
{
    CComPtr<IPollingRate> rate = MouseProfileFeature<IPollingRate>();
    return rate ? rate : DeviceFeature<IPollingRate>();
}

void CPollingRatePage::FillRates(IPollingRate* rate)
{
    int count = 0;
    int* rates = nullptr;
    if (FAILED(rate->GetSupportedRates(&count, &rates)))
        return;
    // The count is believed only as far as the block holds rates.
    const int held = TaskBlockItems(rates, count, sizeof(int));
    for (int i = 0; i < held; ++i) {
        const int index = m_rates.AddString(wstr::Format(L"%dHz", rates[i]).c_str());
        if (index >= 0)
            m_rates.SetItemData(index, rates[i]);
    }
    ::CoTaskMemFree(rates);
}

BOOL CPollingRatePage::OnInitDialog()
{
    m_rates.SubclassDlgItem(IDC_POLLING_RATE, m_hWnd);
    if (CComPtr<IPollingRate> rate = PollingRate())
        FillRates(rate.Get());
    return CHvMwPage::OnInitDialog();
}

BOOL CPollingRatePage::OnSetActive()
{
    m_rates.ResetContent();
    CComPtr<IPollingRate> rate = PollingRate();
    if (!rate)
        return CHvMwPage::OnSetActive();
    FillRates(rate.Get());
    int code = 0;
    if (SUCCEEDED(rate->GetRate(&code))) {
        // The first item that begins with the rate's text. An unknown code selects nothing (an
        // empty text would find the first item).
        const wchar_t* prefix = RatePrefix(code);
        m_rates.SetCurSel(prefix ? m_rates.FindString(-1, prefix) : -1);
    }
    return CHvMwPage::OnSetActive();
}

void CPollingRatePage::OnRateChosen()
{
    const int selected = m_rates.GetCurSel();
    if (selected < 0)
        return;
    if (CComPtr<IPollingRate> rate = PollingRate())
        rate->SetRate(RateCode(m_rates.GetLBText(selected)));
}

// ---- CAccelerationPage --------------------------------------------------------------------------

BEGIN_MSG_MAP(CAccelerationPage, CHvMwPage)
    ON_COMMAND(IDC_ACCEL_ENABLED, OnEnabledClicked)
    ON_MESSAGE(WM_HSCROLL, OnHScroll)
END_MSG_MAP()

CAccelerationPage::CAccelerationPage() : CHvMwPage(IDD_ACCELERATION)
{
}

BOOL CAccelerationPage::OnInitDialog()
{
    m_enabled.SubclassDlgItem(IDC_ACCEL_ENABLED, m_hWnd);
    m_level.SubclassDlgItem(IDC_ACCEL_LEVEL, m_hWnd);
    m_level.SetRange(1, 10);
    return CHvMwPage::OnInitDialog();
}

BOOL CAccelerationPage::OnSetActive()
{
    if (CComPtr<IAcceleration> acceleration = DeviceFeature<IAcceleration>()) {
        BOOL enabled = FALSE;
        if (SUCCEEDED(acceleration->IsEnabled(&enabled))) {
            m_enabled.SetCheck(enabled ? BST_CHECKED : BST_UNCHECKED);
            m_level.EnableWindow(enabled);
        }
        int level = 0;
        if (SUCCEEDED(acceleration->GetLevel(&level)))
            m_level.SetPos(level);
    }
    return CHvMwPage::OnSetActive();
}

void CAccelerationPage::OnEnabledClicked()
{
    // The box's state at this click: two clicks of a double click are two clicks.
    const bool enabled = m_enabled.GetCheck() == BST_CHECKED;
    m_level.EnableWindow(enabled);
    if (CComPtr<IAcceleration> acceleration = DeviceFeature<IAcceleration>()) {
        if (enabled)
            acceleration->Enable();
        else
            acceleration->Disable();
    }
}

LRESULT CAccelerationPage::OnHScroll(WPARAM wParam, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(lParam) != m_level.m_hWnd || LOWORD(wParam) != SB_ENDSCROLL)
        return 0;
    if (CComPtr<IAcceleration> acceleration = DeviceFeature<IAcceleration>())
        acceleration->SetLevel(m_level.GetPos());
    return 0;
}

// ---- CKeyboardLayoutPage ------------------------------------------------------------------------

CKeyboardLayoutPage::CKeyboardLayoutPage() : CHvMwPage(IDD_KEYBOARD_LAYOUT)
{
}

BOOL CKeyboardLayoutPage::OnSetActive()
{
    CComPtr<IDevice> device = Device();
    CComPtr<IKeyboardDevice> keyboard;
    int code = 0;
    if (device && SUCCEEDED(device.As(keyboard)) && SUCCEEDED(keyboard->GetLayout(&code)))
        SetText(IDC_LAYOUT_CODE, wstr::Format(L"Keyboard layout: %02x", code));
    return CHvMwPage::OnSetActive();
}

// ---- CPowerManagementPage -----------------------------------------------------------------------

BEGIN_MSG_MAP(CPowerManagementPage, CHvMwPage)
    ON_MESSAGE(WM_HSCROLL, OnHScroll)
END_MSG_MAP()

CPowerManagementPage::CPowerManagementPage() : CHvMwPage(IDD_POWER_MANAGEMENT)
{
}

BOOL CPowerManagementPage::OnInitDialog()
{
    m_critical.SubclassDlgItem(IDC_POWER_CRITICAL, m_hWnd);
    m_maxLed.SubclassDlgItem(IDC_POWER_MAX_LED, m_hWnd);
    m_sleep.SubclassDlgItem(IDC_POWER_SLEEP, m_hWnd);
    m_critical.SetRange(0, 100);
    m_maxLed.SetRange(0, 255);
    m_sleep.SetRange(0, 100);
    for (CSliderCtrl* bar : {&m_critical, &m_maxLed, &m_sleep})
        bar->SetTicFreq(1);
    // The texts only show values.
    for (int id : {IDC_POWER_CRITICAL_TEXT, IDC_POWER_MAX_LED_TEXT, IDC_POWER_SLEEP_TEXT})
        Enable(id, false);
    return CHvMwPage::OnInitDialog();
}

BOOL CPowerManagementPage::OnSetActive()
{
    CComPtr<IPowerManagement> power = DeviceFeature<IPowerManagement>();
    if (!power)
        return CHvMwPage::OnSetActive();
    using Getter = HRESULT (STDMETHODCALLTYPE IPowerManagement::*)(int*);
    const struct
    {
        Getter get;
        CSliderCtrl* bar;
        int text;
    } values[] = {
        {&IPowerManagement::GetCriticalLevel, &m_critical, IDC_POWER_CRITICAL_TEXT},
        {&IPowerManagement::GetMaxLedBrightness, &m_maxLed, IDC_POWER_MAX_LED_TEXT},
        {&IPowerManagement::GetSleepTime, &m_sleep, IDC_POWER_SLEEP_TEXT},
    };
    for (const auto& value : values) {
        int v = 0;
        if (SUCCEEDED((power.Get()->*value.get)(&v))) {
            value.bar->SetPos(v);
            SetText(value.text, wstr::Format(L"%d", v));
        }
    }
    return CHvMwPage::OnSetActive();
}

LRESULT CPowerManagementPage::OnHScroll(WPARAM wParam, LPARAM lParam)
{
    // Nothing is written while a bar moves: only when the move ends.
    if (LOWORD(wParam) != SB_ENDSCROLL)
        return 0;
    const HWND bar = reinterpret_cast<HWND>(lParam);
    using Setter = HRESULT (STDMETHODCALLTYPE IPowerManagement::*)(int);
    Setter set = nullptr;
    CSliderCtrl* slider = nullptr;
    int text = 0;
    if (bar == m_critical.m_hWnd) {
        set = &IPowerManagement::SetCriticalLevel;
        slider = &m_critical;
        text = IDC_POWER_CRITICAL_TEXT;
    } else if (bar == m_maxLed.m_hWnd) {
        set = &IPowerManagement::SetMaxLedBrightness;
        slider = &m_maxLed;
        text = IDC_POWER_MAX_LED_TEXT;
    } else if (bar == m_sleep.m_hWnd) {
        set = &IPowerManagement::SetSleepTime;
        slider = &m_sleep;
        text = IDC_POWER_SLEEP_TEXT;
    } else {
        return 0;
    }
    CComPtr<IPowerManagement> power = DeviceFeature<IPowerManagement>();
    const int position = slider->GetPos();
    if (power && SUCCEEDED((power.Get()->*set)(position))) {
        slider->SetPos(position);
        SetText(text, wstr::Format(L"%d", position));
    }
    return 0;
}

// ---- CBatteryPage -------------------------------------------------------------------------------

CBatteryPage::CBatteryPage() : CHvMwPage(IDD_BATTERY)
{
}

BOOL CBatteryPage::OnSetActive()
{
    if (CComPtr<IBattery> battery = DeviceFeature<IBattery>()) {
        int level = 0;
        if (SUCCEEDED(battery->GetLevel(&level)))
            SetText(IDC_BATTERY_LEVEL, wstr::Format(L"%d", level));
        // Declared one byte, but a middleware may write 32 bits: a zeroed cell, its low byte read.
        DWORD cell = 0;
        if (SUCCEEDED(battery->IsCharging(reinterpret_cast<BYTE*>(&cell)))) {
            const BYTE state = LOBYTE(LOWORD(cell));
            // Not charging, charging, charged: the box's three states.
            if (state <= hvmw::kCharged)
                ::CheckDlgButton(m_hWnd, IDC_BATTERY_CHARGING, state);
        }
    }
    return CHvMwPage::OnSetActive();
}

// ---- CVxRefreshTestPage -------------------------------------------------------------------------

BEGIN_MSG_MAP(CVxRefreshTestPage, CHvMwPage)
    ON_COMMAND(IDC_REFRESH_START, OnStart)
    ON_COMMAND(IDC_REFRESH_STOP, OnStop)
    ON_WM_TIMER()
END_MSG_MAP()

CVxRefreshTestPage::CVxRefreshTestPage() : CHvMwPage(IDD_REFRESH_TEST)
{
}

void CVxRefreshTestPage::OnStart()
{
    BOOL valid = FALSE;
    const UINT interval = ::GetDlgItemInt(m_hWnd, IDC_REFRESH_INTERVAL, &valid, FALSE);
    if (!valid)
        return;  // not a number: the interval stays as it was and nothing starts
    m_interval = interval;
    SetTimer(kTimer, m_interval);
}

void CVxRefreshTestPage::OnStop()
{
    KillTimer(kTimer);
}

void CVxRefreshTestPage::OnTimer(UINT_PTR id)
{
    if (id == kTimer) {
        if (CComPtr<IDevice> device = Device()) {
            DeviceInfo info = {};
            if (SUCCEEDED(device->GetDeviceInfo(&info)))
                ::CoTaskMemFree(info.name);  // not shown, but ours to free
        }
    }
    Default();
}
