#include "mwtest/LedPages.h"

#include "mwtest/MwTestRes.h"
#include "mwtest/PageKit.h"
#include "platform/CommonDialogs.h"
#include "platform/WStr.h"

namespace {

struct LedName
{
    int id;
    const wchar_t* name;
};
constexpr LedName kLedNames[] = {
    {hvmw::kLedScrollWheel, L"SCROLL WHEEL"}, {hvmw::kLedDpi, L"DPI"},          {hvmw::kLedBattery, L"BATTERY"},
    {hvmw::kLedLogo, L"LOGO"},                {hvmw::kLedBacklight, L"BACKLIGHT"}, {hvmw::kLedMacroRecord, L"MACRO RECORD"},
    {hvmw::kLedUnderglow, L"UNDERGLOW"},      {hvmw::kLedSideStripe, L"SIDESTRIPE"},
};

// The effects by their position in the combo, which is the value written.
constexpr const wchar_t* kEffects[] = {L"None", L"Blinking", L"Pulsating", L"SWControl", L"Apm", L"Spectrum Cycling"};

constexpr int kEffectControls[] = {IDC_LED_EFFECT, IDC_LED_DURATION_LABEL, IDC_LED_DURATION, IDC_LED_DELAY_LABEL,
                                   IDC_LED_DELAY};

const wchar_t* NameOfLed(int id)
{
    for (const LedName& led : kLedNames)
        if (led.id == id)
            return led.name;
    return nullptr;
}

template <class I>
CComPtr<I> LedInterface(ILed* led)
{
    CComPtr<I> feature;
    if (led)
        led->QueryInterface(IID_PPV_ARGS(feature.Put()));
    return feature;
}

} // namespace

// ---- CColorEdit ---------------------------------------------------------------------------------

BEGIN_MSG_MAP(CColorEdit, CEdit)
    ON_CTLCOLOR_REFLECT(OnCtlColor)
END_MSG_MAP()

CColorEdit::CColorEdit() : m_background(::GetSysColor(COLOR_BTNFACE)), m_brush(m_background)
{
}

void CColorEdit::SetColor(COLORREF colour)
{
    m_background = colour;
    m_brush.CreateSolidBrush(colour);
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

HBRUSH CColorEdit::OnCtlColor(HDC dc, UINT)
{
    ::SetBkColor(dc, m_background);
    ::SetTextColor(dc, m_text);
    return m_brush;
}

// ---- CLEDPage -----------------------------------------------------------------------------------

BEGIN_MSG_MAP(CLEDPage, CHvMwPage)
    ON_CONTROL(LBN_SELCHANGE, IDC_LED_LIST, OnLedSelected)
    ON_COMMAND(IDC_LED_CHANGE_COLOR, OnChangeColor)
    ON_COMMAND(IDC_LED_ON, OnLedClicked)
    ON_CONTROL(CBN_SELENDOK, IDC_LED_EFFECT, OnEffectChosen)
    ON_CONTROL(EN_CHANGE, IDC_LED_DURATION, OnDurationChanged)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_LED_BRIGHTNESS, OnBrightnessReleased)
    ON_COMMAND(IDC_LED_SAVE, OnSave)
END_MSG_MAP()

CLEDPage::CLEDPage() : CHvMwPage(IDD_LED)
{
}

BOOL CLEDPage::OnInitDialog()
{
    m_leds.SubclassDlgItem(IDC_LED_LIST, m_hWnd);
    m_color.SubclassDlgItem(IDC_LED_COLOR, m_hWnd);
    m_effect.SubclassDlgItem(IDC_LED_EFFECT, m_hWnd);
    m_brightness.SubclassDlgItem(IDC_LED_BRIGHTNESS, m_hWnd);
    m_on.SubclassDlgItem(IDC_LED_ON, m_hWnd);
    // The resource script carries no combo items: the effects are the page's.
    for (const wchar_t* effect : kEffects)
        m_effect.AddString(effect);
    ListLeds();
    m_on.EnableWindow(FALSE);
    m_brightness.SetRange(0, 100);
    return CHvMwPage::OnInitDialog();
}

BOOL CLEDPage::OnSetActive()
{
    m_leds.ResetContent();
    ListLeds();
    OnLedSelected();
    return CHvMwPage::OnSetActive();
}

CComPtr<ILedCollection> CLEDPage::Leds() const
{
    CComPtr<ILedCollection> leds;
    CComPtr<IProfile> active;
    if (CComPtr<IProfileManager> manager = DeviceTypeFeature<IProfileManager>())
        if (SUCCEEDED(manager->GetActiveProfile(active.Put())) && active)
            active->GetFeature(__uuidof(ILedCollection), leds.PutVoid());
    return leds;
}

void CLEDPage::ListLeds()
{
    CComPtr<ILedCollection> leds = Leds();
    for (int i = 0; leds && i < kMaxListWalk; ++i) {
        CComPtr<ILed> led;
        int id = 0;
        if (FAILED(leds->GetLed(i, led.Put())) || !led)
            break;
        // An LED the page has no name for gets no row.
        const wchar_t* name = SUCCEEDED(led->GetId(&id)) ? NameOfLed(id) : nullptr;
        if (!name)
            continue;
        const int row = m_leds.AddString(name);
        if (row >= 0)
            m_leds.SetItemData(row, id);
    }
}

CComPtr<ILed> CLEDPage::SelectedLed() const
{
    const int selected = m_leds.GetCurSel();
    if (selected < 0)
        return nullptr;
    const int wanted = static_cast<int>(m_leds.GetItemData(selected));
    CComPtr<ILedCollection> leds = Leds();
    for (int i = 0; leds && i < kMaxListWalk; ++i) {
        CComPtr<ILed> led;
        int id = 0;
        if (FAILED(leds->GetLed(i, led.Put())) || !led)
            break;
        if (SUCCEEDED(led->GetId(&id)) && id == wanted)
            return led;
    }
    return nullptr;
}

void CLEDPage::SetQuietly(int id, const std::wstring& text)
{
    // The duration's edit tells every change of its text; only the user's typing is written.
    m_settingText = true;
    SetText(id, text);
    m_settingText = false;
}

void CLEDPage::HideEffect()
{
    for (int id : kEffectControls)
        ::ShowWindow(GetDlgItem(id), SW_HIDE);
}

void CLEDPage::ShowEffect(bool blinking, int duration)
{
    SetQuietly(IDC_LED_DURATION, wstr::Format(L"%d", blinking ? duration : 0));
    SetQuietly(IDC_LED_DELAY, L"0");
    Enable(IDC_LED_EFFECT, true);
    Enable(IDC_LED_DURATION_LABEL, blinking);
    Enable(IDC_LED_DURATION, blinking);
    Enable(IDC_LED_DELAY_LABEL, false);
    Enable(IDC_LED_DELAY, false);
    for (int id : kEffectControls)
        ::ShowWindow(GetDlgItem(id), SW_SHOW);
}

void CLEDPage::ShowBrightness(ILed* led)
{
    CComPtr<ILEDBrightness> brightness = LedInterface<ILEDBrightness>(led);
    if (!brightness) {
        m_brightness.ShowWindow(SW_HIDE);
        return;
    }
    int value = 0;
    if (SUCCEEDED(brightness->GetBrightness(&value))) {
        m_brightness.SetRange(0, 100);
        m_brightness.SetTicFreq(1);
        m_brightness.SetPos(value);
    }
    m_brightness.EnableWindow(TRUE);
    m_brightness.ShowWindow(SW_SHOW);
}

void CLEDPage::OnLedSelected()
{
    CComPtr<ILed> led = SelectedLed();
    if (!led)
        return;
    m_on.EnableWindow(TRUE);
    BOOL on = FALSE;
    if (SUCCEEDED(led->GetState(&on)))
        m_on.SetCheck(on ? BST_CHECKED : BST_UNCHECKED);

    if (CComPtr<ILEDColor> color = LedInterface<ILEDColor>(led.Get())) {
        COLORREF colour = 0;
        if (SUCCEEDED(color->GetColor(&colour)))
            m_color.SetColor(colour);
        for (int id : {IDC_LED_COLOR, IDC_LED_CHANGE_COLOR}) {
            Enable(id, true);
            ::ShowWindow(GetDlgItem(id), SW_SHOW);
        }
    } else {
        for (int id : {IDC_LED_COLOR, IDC_LED_CHANGE_COLOR}) {
            Enable(id, false);
            ::ShowWindow(GetDlgItem(id), SW_HIDE);
        }
    }

    if (CComPtr<ILedEffect> effect = LedInterface<ILedEffect>(led.Get())) {
        int current = 0;
        int duration = 0;
        int delay = 0;
        if (SUCCEEDED(effect->GetEffect(&current, &duration, &delay))) {
            // Software control, and effects the page does not know, leave the controls as they are.
            if (current == hvmw::kEffectBlinking || current == hvmw::kEffectNone || current == hvmw::kEffectPulsating ||
                current == hvmw::kEffectApm || current == hvmw::kEffectSpectrum) {
                m_effect.SetCurSel(current);
                ShowEffect(current == hvmw::kEffectBlinking, duration);
            }
        }
    } else {
        HideEffect();
    }
    ShowBrightness(led.Get());
}

void CLEDPage::OnChangeColor()
{
    CComPtr<ILEDColor> color = LedInterface<ILEDColor>(SelectedLed().Get());
    COLORREF colour = 0;
    if (!color || FAILED(color->GetColor(&colour)))
        return;
    CColorDialog dialog(colour, CC_FULLOPEN, m_hWnd);
    if (dialog.DoModal() != IDOK)
        return;
    m_color.SetColor(dialog.GetColor());
    color->SetColor(dialog.GetColor());
}

void CLEDPage::OnLedClicked()
{
    // The box's state at this click: two clicks of a double click are two clicks.
    CComPtr<ILed> led = SelectedLed();
    if (!led)
        return;
    if (m_on.GetCheck() == BST_CHECKED)
        led->TurnOn();
    else
        led->TurnOff();
}

void CLEDPage::OnEffectChosen()
{
    CComPtr<ILed> led = SelectedLed();
    if (!led)
        return;
    CComPtr<ILedEffect> effect = LedInterface<ILedEffect>(led.Get());
    if (!effect) {
        HideEffect();
        return;
    }
    const int chosen = m_effect.GetCurSel();
    switch (chosen) {
    case hvmw::kEffectNone:
    case hvmw::kEffectPulsating:
    case hvmw::kEffectApm:
    case hvmw::kEffectSpectrum:
        ShowEffect(false, 0);
        effect->SetEffect(chosen, 0, 0);
        break;
    case hvmw::kEffectBlinking:
        // Written once the user gives the duration.
        ShowEffect(true, 0);
        break;
    default:
        break;
    }
    ShowBrightness(led.Get());
}

void CLEDPage::OnDurationChanged()
{
    if (m_settingText)
        return;
    CComPtr<ILedEffect> effect = LedInterface<ILedEffect>(SelectedLed().Get());
    if (effect)
        effect->SetEffect(m_effect.GetCurSel(), DlgItemNumber(m_hWnd, IDC_LED_DURATION),
                          DlgItemNumber(m_hWnd, IDC_LED_DELAY));
}

void CLEDPage::OnBrightnessReleased(NMHDR*, LRESULT*)
{
    // Written when the bar is let go, not while it moves.
    CComPtr<ILEDBrightness> brightness = LedInterface<ILEDBrightness>(SelectedLed().Get());
    if (brightness)
        brightness->SetBrightness(m_brightness.GetPos());
}

void CLEDPage::OnSave()
{
    CComPtr<IProfile> active;
    CComPtr<ILedStore> store;
    CComPtr<IProfileManager> manager = DeviceTypeFeature<IProfileManager>();
    if (manager && SUCCEEDED(manager->GetActiveProfile(active.Put())) && active &&
        SUCCEEDED(active->GetFeature(__uuidof(ILedStore), store.PutVoid())) && store)
        Tell(L"Not Implemented");
}

// ---- CLEDCalibrationPage ------------------------------------------------------------------------

namespace {

constexpr int kWheelColorIds[] = {IDC_CAL_WHEEL_RED, IDC_CAL_WHEEL_GREEN, IDC_CAL_WHEEL_BLUE};
constexpr int kLogoColorIds[] = {IDC_CAL_LOGO_RED, IDC_CAL_LOGO_GREEN, IDC_CAL_LOGO_BLUE};
constexpr int kWheelShownIds[] = {IDC_CAL_WHEEL_SHOWN_RED, IDC_CAL_WHEEL_SHOWN_GREEN, IDC_CAL_WHEEL_SHOWN_BLUE,
                                  IDC_CAL_WHEEL_SHOWN_BRIGHTNESS};
constexpr int kLogoShownIds[] = {IDC_CAL_LOGO_SHOWN_RED, IDC_CAL_LOGO_SHOWN_GREEN, IDC_CAL_LOGO_SHOWN_BLUE,
                                 IDC_CAL_LOGO_SHOWN_BRIGHTNESS};
// What Apply says when setting the brightness, reading it back, setting the colour, reading it back fail.
constexpr const wchar_t* kWheelApplyTexts[] = {
    L"Cannot set scroll wheel brightness level!!!", L"Error! Cannot get Scroll Wheel calibrated brightness!",
    L"Error!!! Cannot set Scroll Wheel calibrated color!\n", L"Error!!! Cannot get Scroll Wheel calibrated color!"};
constexpr const wchar_t* kLogoApplyTexts[] = {
    L"Cannot set logo brightness calibrated brightness!!!", L"Error! Cannot get Logo calibrated brightness!",
    L"Error!!! Cannot set Logo calibrated color!\n", L"Error!!! Cannot get Logo calibrated color!"};

} // namespace

BEGIN_MSG_MAP(CLEDCalibrationPage, CHvMwPage)
    ON_MESSAGE(WM_HSCROLL, OnHScroll)
    ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
    ON_COMMAND(IDC_CAL_WHEEL_COLOR, OnWheelColor)
    ON_COMMAND(IDC_CAL_LOGO_COLOR, OnLogoColor)
    ON_COMMAND(IDC_CAL_WHEEL_APPLY, OnWheelApply)
    ON_COMMAND(IDC_CAL_LOGO_APPLY, OnLogoApply)
END_MSG_MAP()

CLEDCalibrationPage::CLEDCalibrationPage() : CHvMwPage(IDD_LED_CALIBRATION)
{
}

BOOL CLEDCalibrationPage::OnInitDialog()
{
    m_wheelBar.SubclassDlgItem(IDC_CAL_WHEEL_BRIGHTNESS, m_hWnd);
    m_logoBar.SubclassDlgItem(IDC_CAL_LOGO_BRIGHTNESS, m_hWnd);
    Acquire();
    return CHvMwPage::OnInitDialog();
}

bool CLEDCalibrationPage::HoldsAny() const
{
    return m_wheelCalColor || m_wheelCalBrightness || m_logoCalColor || m_logoCalBrightness || m_wheelColor ||
           m_wheelBrightness || m_logoColor || m_logoBrightness;
}

void CLEDCalibrationPage::Acquire()
{
    // Once for each device the page is shown with while it holds none: a page first shown without a
    // device (or with one without the LEDs) takes them when it has one that has them.
    CComPtr<IDevice> device = Device();
    if (HoldsAny() || !device || device.Get() == m_tried.Get())
        return;
    m_tried = device;
    CComPtr<ILedCollection> leds;
    if (CComPtr<ILedControl> control = DeviceFeature<ILedControl>())
        control->QueryInterface(IID_PPV_ARGS(leds.Put()));
    struct CalibrationLed
    {
        int id;
        CComPtr<ILEDColor>* color;
        CComPtr<ILEDBrightness>* brightness;
        const wchar_t* noColor;
        const wchar_t* noBrightness;
        CSliderCtrl* bar;
    };
    const CalibrationLed calibrationLeds[] = {
        {hvmw::kLedCalScrollWheel, &m_wheelCalColor, &m_wheelCalBrightness,
         L"Error!!! Cannot instantiate ILEDColor interface for Scroll Wheel!\n",
         L"Error!!! Cannot instantiate ILEDBrightness interface for Scroll Wheel!\n", nullptr},
        {hvmw::kLedCalLogo, &m_logoCalColor, &m_logoCalBrightness,
         L"Error!!! Cannot instantiate ILEDColor interface for Logo!\n",
         L"Error!!! Cannot instantiate ILEDBrightness interface for Logo!\n", nullptr},
        {hvmw::kLedSwScrollWheel, &m_wheelColor, &m_wheelBrightness,
         L"Error!!! Cannot instantiate ILEDColor for Scroll Wheel LED software control!\n",
         L"Error!!! Cannot instantiate ILEDBrightness for Scroll Wheel LED software control!\n", &m_wheelBar},
        {hvmw::kLedSwLogo, &m_logoColor, &m_logoBrightness,
         L"Error!!! Cannot instantiate ILEDColor for Logo LED software control!\n",
         L"Error!!! Cannot instantiate ILEDBrightness for Logo LED software control!\n", &m_logoBar},
    };
    for (const CalibrationLed& entry : calibrationLeds) {
        CComPtr<ILed> led;
        if (leds)
            leds->GetLedById(entry.id, led.Put());
        *entry.color = LedInterface<ILEDColor>(led.Get());
        if (!*entry.color)
            Tell(entry.noColor);
        *entry.brightness = LedInterface<ILEDBrightness>(led.Get());
        if (!*entry.brightness)
            Tell(entry.noBrightness);
        if (entry.bar)
            entry.bar->SetRange(0, 100);
    }
}

BOOL CLEDCalibrationPage::OnSetActive()
{
    Acquire();
    ReadAll();
    return CHvMwPage::OnSetActive();
}

BOOL CLEDCalibrationPage::OnKillActive()
{
    return CPropertyPage::OnKillActive();
}

void CLEDCalibrationPage::LetGo()
{
    m_tried.Reset();
    for (CComPtr<ILEDColor>* color : {&m_wheelCalColor, &m_logoCalColor, &m_wheelColor, &m_logoColor})
        color->Reset();
    for (CComPtr<ILEDBrightness>* brightness :
         {&m_wheelCalBrightness, &m_logoCalBrightness, &m_wheelBrightness, &m_logoBrightness})
        brightness->Reset();
}

void CLEDCalibrationPage::ShowColor(const int ids[3], COLORREF colour)
{
    SetText(ids[0], wstr::Format(L"%d", RedOf(colour)));
    SetText(ids[1], wstr::Format(L"%d", GreenOf(colour)));
    SetText(ids[2], wstr::Format(L"%d", BlueOf(colour)));
}

void CLEDCalibrationPage::ShowPercent(int id, int value)
{
    SetText(id, wstr::Format(L"%d%%", value));
}

void CLEDCalibrationPage::ReadColor(ILEDColor* led, const int ids[3], COLORREF* stored, const wchar_t* failure)
{
    COLORREF colour = 0;
    if (!led)
        return;
    if (FAILED(led->GetColor(&colour))) {
        Tell(failure);
        return;
    }
    if (stored)
        *stored = colour;
    ShowColor(ids, colour);
}

void CLEDCalibrationPage::ReadBrightness(ILEDBrightness* led, CSliderCtrl* bar, int percentId, const wchar_t* failure)
{
    int value = 0;
    if (!led)
        return;
    if (FAILED(led->GetBrightness(&value))) {
        Tell(failure);
        return;
    }
    if (bar)
        bar->SetPos(value);
    ShowPercent(percentId, value);
}

void CLEDCalibrationPage::ReadAll()
{
    ReadColor(m_wheelColor.Get(), kWheelColorIds, &m_wheel,
              L"Error!!! Cannot get Scroll Wheel LED color for software control!\n");
    ReadBrightness(m_wheelBrightness.Get(), &m_wheelBar, IDC_CAL_WHEEL_PERCENT,
                   L"Error!!! Cannot get Scroll Wheel brightness for software control!\n");
    ReadColor(m_wheelCalColor.Get(), kWheelShownIds, nullptr, L"Error!!! Cannot get Scroll Wheel color!\n");
    ReadBrightness(m_wheelCalBrightness.Get(), nullptr, IDC_CAL_WHEEL_SHOWN_BRIGHTNESS,
                   L"Error!!! Cannot get Scroll Wheel brightness!\n");
    ReadColor(m_logoColor.Get(), kLogoColorIds, &m_logo, L"Error!!! Cannot get Logo LED color for software control!\n");
    ReadBrightness(m_logoBrightness.Get(), &m_logoBar, IDC_CAL_LOGO_PERCENT,
                   L"Error!!! Cannot get Logo brightness for software control!\n");
    ReadColor(m_logoCalColor.Get(), kLogoShownIds, nullptr, L"Error!!! Cannot get Logo color!\n");
    ReadBrightness(m_logoCalBrightness.Get(), nullptr, IDC_CAL_LOGO_SHOWN_BRIGHTNESS,
                   L"Error!!! Cannot get Logo brightness!\n");
    Invalidate();
}

LRESULT CLEDCalibrationPage::OnHScroll(WPARAM wParam, LPARAM lParam)
{
    if (!m_wheelBrightness || !m_logoBrightness)
        return 0;
    const HWND bar = reinterpret_cast<HWND>(lParam);
    CSliderCtrl* slider = bar == m_wheelBar.m_hWnd ? &m_wheelBar : bar == m_logoBar.m_hWnd ? &m_logoBar : nullptr;
    if (!slider)
        return 0;
    // The percentage follows the bar; the brightness is written when the move ends.
    const int position = slider->GetPos();
    ShowPercent(slider == &m_wheelBar ? IDC_CAL_WHEEL_PERCENT : IDC_CAL_LOGO_PERCENT, position);
    if (LOWORD(wParam) == SB_ENDSCROLL)
        (slider == &m_wheelBar ? m_wheelBrightness : m_logoBrightness)->SetBrightness(position);
    return 0;
}

LRESULT CLEDCalibrationPage::OnDrawItem(WPARAM, LPARAM lParam)
{
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (!item || (item->CtlID != IDC_CAL_WHEEL_COLOR && item->CtlID != IDC_CAL_LOGO_COLOR))
        return Default();
    DrawColorButton(*item, item->CtlID == IDC_CAL_WHEEL_COLOR ? m_wheel : m_logo);
    return TRUE;
}

void CLEDCalibrationPage::PickColor(ILEDColor* led, COLORREF& colour, const wchar_t* failure, const int ids[3])
{
    if (!led)
        return;
    CColorDialog dialog(colour, CC_FULLOPEN, m_hWnd);
    if (dialog.DoModal() != IDOK)
        return;
    if (FAILED(led->SetColor(dialog.GetColor()))) {
        Tell(failure);
    } else {
        colour = dialog.GetColor();
        Invalidate();
    }
    ShowColor(ids, colour);
}

void CLEDCalibrationPage::OnWheelColor()
{
    PickColor(m_wheelColor.Get(), m_wheel, L"Error!!! Cannot set Scroll Wheel LED color for software control!\n",
              kWheelColorIds);
}

void CLEDCalibrationPage::OnLogoColor()
{
    PickColor(m_logoColor.Get(), m_logo, L"Error!!! Cannot set Logo LED color for software control!\n",
              kLogoColorIds);
}

void CLEDCalibrationPage::Calibrate(ILEDBrightness* brightness, ILEDColor* color, int position, COLORREF colour,
                                    const int shownIds[4], const wchar_t* const texts[4])
{
    if (brightness) {
        int value = 0;
        if (FAILED(brightness->SetBrightness(position)))
            Tell(texts[0]);
        else if (FAILED(brightness->GetBrightness(&value)))
            Tell(texts[1]);
        else
            ShowPercent(shownIds[3], value);
    }
    if (!color)
        return;
    COLORREF shown = 0;
    if (FAILED(color->SetColor(colour)))
        Tell(texts[2]);
    else if (FAILED(color->GetColor(&shown)))
        Tell(texts[3]);
    else
        ShowColor(shownIds, shown);
}

void CLEDCalibrationPage::OnWheelApply()
{
    Calibrate(m_wheelCalBrightness.Get(), m_wheelCalColor.Get(), m_wheelBar.GetPos(), m_wheel, kWheelShownIds,
              kWheelApplyTexts);
}

void CLEDCalibrationPage::OnLogoApply()
{
    Calibrate(m_logoCalBrightness.Get(), m_logoCalColor.Get(), m_logoBar.GetPos(), m_logo, kLogoShownIds,
              kLogoApplyTexts);
}
