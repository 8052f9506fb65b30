// The mouse's lighting page: the three lights of the active profile on or off, the versions, and
// the reset of the active profile to its defaults.
#include "core/ItemIds.h"
#include "VexaApp/VxPages.h"

#include <iterator>

#include "controls/BitmapBtn.h"
#include "controls/DropdownListItem.h"
#include "controls/TextItem.h"
#include "VexaApp/VxAppDlg.h"
#include "VexaApp/VxPopups.h"
#include "VexaApp/VxProfileHelpers.h"

namespace {

struct LightButtons
{
    int led;
    int32_t on;
    int32_t off;
};

// In the order of the page's light pairs.
constexpr LightButtons kLightButtons[] = {
    {0, BUTTON_VXMOUSE_LTMAIN_ON, BUTTON_VXMOUSE_LTMAIN_OFF},
    {10, BUTTON_VXMOUSE_LTSIDE_ON, BUTTON_VXMOUSE_LTSIDE_OFF},
    {9, BUTTON_VXMOUSE_LTBASE_ON, BUTTON_VXMOUSE_LTBASE_OFF},
};

void SetChecked(CBitmapBtn* button, bool checked)
{
    if (button)
        button->SetState(checked);  // repaints only on a change
}

} // namespace

void CVxItems_Mouse_LTG::InitMouseLightingPage(CVxAppDlg* dialog)
{
    m_dialog = dialog;
    m_profileDropdown = FindAs<CDropdownListItem>(BUTTON_DROPDOWN_PROFILESELECT, ItemKind::DropdownList);
    for (size_t i = 0; i < std::size(kLightButtons); ++i) {
        m_lights[i].led = kLightButtons[i].led;
        m_lights[i].on = FindAs<CBitmapBtn>(kLightButtons[i].on, ItemKind::BitmapBtn);
        m_lights[i].off = FindAs<CBitmapBtn>(kLightButtons[i].off, ItemKind::BitmapBtn);
    }
    if (dialog)
        dialog->WriteVersionLabels(CVxAppDlg::kMouse, FindAs<CTextItem>(TEXT_FIRMWAREVER, ItemKind::TextItem),
                                   FindAs<CTextItem>(TEXT_DRIVERVER, ItemKind::TextItem));
    Refresh();
}

void CVxItems_Mouse_LTG::Refresh()
{
    IMouseConfig* config = Config();
    FillProfileDropdown(m_profileDropdown, config);
    if (!config)
        return;
    for (const Light& light : m_lights) {
        const bool on = config->GetLedState(light.led, nullptr);
        SetChecked(light.on, on);
        SetChecked(light.off, !on);
    }
}

void CVxItems_Mouse_LTG::ActivateLightingProfileByIndex(int index)
{
    if (ActivateProfileIndex(m_profileDropdown, Config(), index))
        Refresh();
}

void CVxItems_Mouse_LTG::SetMouseLight(int led, bool on)
{
    IMouseConfig* config = Config();
    if (!config)
        return;
    for (const Light& light : m_lights) {
        if (light.led != led)
            continue;
        // A check-box button unchecks itself when pressed again: the pressed one stays marked.
        SetChecked(light.on, on);
        SetChecked(light.off, !on);
    }
    config->SetLedState(led, on, nullptr);
}

void CVxItems_Mouse_LTG::RestoreMouseDefaults()
{
    IMouseConfig* config = Config();
    const IMouseProfile* profile = config ? config->GetActiveProfile() : nullptr;
    if (!profile || !Dialog())
        return;
    const CAskedProfile<IMouseProfile> asked(*profile);
    CVxWarningDlg question(Dialog(), L"RestorePopup.xml", (L": " + asked.Name()).c_str());
    if (question.DoModal() != IDOK)
        return;
    config = Config();
    if (!asked.StillActive(config))
        return;
    config->InitProfileDefaults(nullptr);
    Refresh();
}
