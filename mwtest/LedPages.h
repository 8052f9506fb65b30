// The lighting pages: "LED" (the active profile's LEDs: on and off, colour, effect, brightness) and
// "LED Callibration" (the device's LED control: two software-control LEDs the user drives and two
// calibrated-value LEDs the user copies them into).
#pragma once

#include "mwtest/MwPage.h"
#include "platform/CommonControls.h"
#include "platform/Controls.h"
#include "platform/GdiObject.h"

// An edit that shows a colour as its background.
class CColorEdit : public CEdit
{
public:
    CColorEdit();
    // Stores the colour, makes its brush and redraws the edit at once.
    void SetColor(COLORREF colour);
    COLORREF GetColor() const noexcept { return m_background; }

protected:
    HBRUSH OnCtlColor(HDC dc, UINT type);

private:
    COLORREF m_background;
    COLORREF m_text = RGB(0, 0, 0);
    CBrush m_brush;
    HV_DECLARE_MSG_MAP()
};

class CLEDPage : public CHvMwPage
{
public:
    CLEDPage();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void OnLedSelected();
    void OnChangeColor();
    void OnLedClicked();
    void OnEffectChosen();
    void OnDurationChanged();
    void OnBrightnessReleased(NMHDR* header, LRESULT* result);
    void OnSave();

private:
    // The LEDs of the active profile (through the device's type interface).
    CComPtr<ILedCollection> Leds() const;
    // The LED whose id the list's selection names, found by walking the collection again.
    CComPtr<ILed> SelectedLed() const;
    void ListLeds();
    // The effect controls: hidden (no ILedEffect), or shown with the duration enabled (blinking)
    // or not, each text set to what it shows.
    void HideEffect();
    void ShowEffect(bool blinking, int duration);
    void ShowBrightness(ILed* led);
    // Sets a text without the page taking it for the user's typing.
    void SetQuietly(int id, const std::wstring& text);

    CListBox m_leds;
    CColorEdit m_color;
    CComboBox m_effect;
    CSliderCtrl m_brightness;
    CButton m_on;
    bool m_settingText = false;
    HV_DECLARE_MSG_MAP()
};

class CLEDCalibrationPage : public CHvMwPage
{
public:
    CLEDCalibrationPage();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    // The interfaces stay from their first activation with a device until the sheet ends.
    BOOL OnKillActive() override;
    void LetGo() override;
    LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    void OnWheelColor();
    void OnLogoColor();
    void OnWheelApply();
    void OnLogoApply();

private:
    // The eight interfaces of the four LEDs; each missing one is told.
    void Acquire();
    bool HoldsAny() const;
    void ReadAll();
    // Shows what a held interface reads (the colour also stored when stored is given); a failed read
    // is told.
    void ReadColor(ILEDColor* led, const int ids[3], COLORREF* stored, const wchar_t* failure);
    void ReadBrightness(ILEDBrightness* led, CSliderCtrl* bar, int percentId, const wchar_t* failure);
    // Colour dialog for a software-control LED; on OK the LED's colour, stored in colour.
    void PickColor(ILEDColor* led, COLORREF& colour, const wchar_t* failure, const int ids[3]);
    // A calibrated LED takes a brightness and a colour, and shows what it then has.
    void Calibrate(ILEDBrightness* brightness, ILEDColor* color, int position, COLORREF colour, const int shownIds[4],
                   const wchar_t* const texts[4]);
    void ShowColor(const int ids[3], COLORREF colour);
    void ShowPercent(int id, int value);

    CComPtr<ILEDColor> m_wheelCalColor;        // LED 1
    CComPtr<ILEDBrightness> m_wheelCalBrightness;
    CComPtr<ILEDColor> m_logoCalColor;         // LED 4
    CComPtr<ILEDBrightness> m_logoCalBrightness;
    CComPtr<ILEDColor> m_wheelColor;           // LED 2
    CComPtr<ILEDBrightness> m_wheelBrightness;
    CComPtr<ILEDColor> m_logoColor;            // LED 3
    CComPtr<ILEDBrightness> m_logoBrightness;
    CComPtr<IDevice> m_tried;  // the device the interfaces were last asked of
    COLORREF m_wheel = 0;  // the last colour of the scroll wheel's software-control LED
    COLORREF m_logo = 0;   // and of the logo's
    CSliderCtrl m_wheelBar;
    CSliderCtrl m_logoBar;
    HV_DECLARE_MSG_MAP()
};
