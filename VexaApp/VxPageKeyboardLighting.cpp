// Page 9: the keyboard's two lights. Each light is a pair of check-box buttons, "on" and "off", of
// which the one matching the active profile's light state is shown pressed.
#include "core/ItemIds.h"
#include "VexaApp/VxPages.h"

#include "controls/BitmapBtn.h"
#include "controls/DropdownListItem.h"
#include "controls/TextItem.h"
#include "VexaApp/VxAppDlg.h"
#include "VexaApp/VxProfileHelpers.h"

namespace {

// Shows the pair of a light; a button is repainted only when its state changes.
void ShowLightPair(CBitmapBtn* on, CBitmapBtn* off, bool lit)
{
    if (on)
        on->SetState(lit);
    if (off)
        off->SetState(!lit);
}

// A version label: its own caption, ": " and the version.
void AppendVersion(CTextItem* label, const std::wstring& version)
{
    if (label)
        label->SetText((label->GetText() + L": " + version).c_str(), 0);
}

} // namespace

void CVxItems_Keyboard_LTG::InitKeyboardLightingPage(CVxAppDlg* dialog)
{
    m_dialog = dialog;
    m_profileCombo = FindAs<CDropdownListItem>(BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT, ItemKind::DropdownList);
    m_mainOn = FindAs<CBitmapBtn>(BUTTON_VXKBD_LTMAIN_ON, ItemKind::BitmapBtn);
    m_mainOff = FindAs<CBitmapBtn>(BUTTON_VXKBD_LTMAIN_OFF, ItemKind::BitmapBtn);
    m_sideOn = FindAs<CBitmapBtn>(BUTTON_VXKBD_LTSIDE_ON, ItemKind::BitmapBtn);
    m_sideOff = FindAs<CBitmapBtn>(BUTTON_VXKBD_LTSIDE_OFF, ItemKind::BitmapBtn);
    RefreshKeyboardLightButtons();

    std::wstring firmware;
    if (IGenKeyboard* keyboard = Device(); keyboard && keyboard->GetFirmwareVersion(firmware))
        AppendVersion(FindAs<CTextItem>(TEXT_FIRMWAREVER, ItemKind::TextItem), firmware);
    AppendVersion(FindAs<CTextItem>(TEXT_DRIVERVER, ItemKind::TextItem), ProgramVersionText());
    FillLightingProfileCombo();
}

void CVxItems_Keyboard_LTG::Refresh()
{
    RefreshKeyboardLightButtons();
    FillLightingProfileCombo();
}

void CVxItems_Keyboard_LTG::RefreshKeyboardLightButtons()
{
    IKeyboardConfig* config = Config();
    if (!config)
        return;
    ShowLightPair(m_mainOn, m_mainOff, config->GetLedState(kMainLight, nullptr));
    ShowLightPair(m_sideOn, m_sideOff, config->GetLedState(kSideLight, nullptr));
}

void CVxItems_Keyboard_LTG::FillLightingProfileCombo()
{
    FillProfileDropdown(m_profileCombo, Config());
}

void CVxItems_Keyboard_LTG::SetKeyboardLight(int led, bool on)
{
    if (led == kMainLight)
        ShowLightPair(m_mainOn, m_mainOff, on);
    else if (led == kSideLight)
        ShowLightPair(m_sideOn, m_sideOff, on);
    else
        return;
    if (IKeyboardConfig* config = Config())
        config->SetLedState(led, on, nullptr);
}

void CVxItems_Keyboard_LTG::ResetKeyboardLighting()
{
    IKeyboardConfig* config = Config();
    if (IKeyboardProfile* active = config ? config->GetActiveProfile() : nullptr)
        config->InitNewKeyboardProfile(active);
    Refresh();
}
