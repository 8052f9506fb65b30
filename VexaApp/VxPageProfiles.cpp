// The mouse's and the keyboard's profile pages: what each product does its own way on the shared
// profile page (VxProfilePage.cpp).
#include "core/ItemIds.h"
#include "VexaApp/VxPages.h"

#include "controls/BitmapBtn.h"
#include "core/KeyboardDef.h"
#include "VexaApp/VxAppDlg.h"
#include "VexaApp/VxPopups.h"

// ---- page 3: the mouse ----

void CVxItems_Mouse_MGP::InitMouseProfilePage(CVxAppDlg* dialog)
{
    InitProfilePage(dialog, LIST_PROFILELIST, BUTTON_ENABLE_PROFILE_OSD);
}

void CVxItems_Mouse_MGP::GiveNewProfileDefaults(IMouseProfile*)
{
    // The configuration gives a mouse profile its defaults when it makes it.
}

void CVxItems_Mouse_MGP::GiveProfileDefaults(IMouseProfile* profile)
{
    if (IMouseConfig* config = Config())
        config->InitProfileDefaults(profile);
}

void CVxItems_Mouse_MGP::PreviewProfile(IMouseProfile* profile)
{
    CVxPreviewPopup_Mouse preview(m_dialog, profile, Config());
    preview.DoModal();
}

// ---- page 7: the keyboard ----

void CVxItems_Keyboard_MGP::InitKeyboardProfilePage(CVxAppDlg* dialog)
{
    InitProfilePage(dialog, LIST_PROFILELIST_KEYBOARD, BUTTON_ENABLE_PROFILE_OSD_KEYBOARD);
}

void CVxItems_Keyboard_MGP::SetProfileOsd(bool on)
{
    if (IKeyboardConfig* config = Config())
        config->SetOsdProfileAll(on);
}

void CVxItems_Keyboard_MGP::GiveDefaultKeys(IKeyboardProfile* profile)
{
    IKeyboardConfig* config = Config();
    if (!config || !profile || profile->GetAssignmentCount() > 0)
        return;
    // A profile without keys would be written with an empty record for every key of the device.
    const CKeyboardDef& keys = GetKeyboardDef();
    KeyCode code;
    for (const KeyboardDefRecord& record : keys.Records())
        if (CKeyboardDef::IsAssignable(record) && keys.GetDefaultCode(record.hash, code))
            profile->SetAssignment(record.hash, config->GetDefaultKeyAssignment(record.hash));
}

void CVxItems_Keyboard_MGP::GiveNewProfileDefaults(IKeyboardProfile* profile)
{
    GiveDefaultKeys(profile);
    // The on-screen flag is one for all profiles: the button's.
    if (m_osdButton)
        SetProfileOsd(m_osdButton->IsChecked());
}

void CVxItems_Keyboard_MGP::GiveProfileDefaults(IKeyboardProfile* profile)
{
    IKeyboardConfig* config = Config();
    if (!config || !profile)
        return;
    config->InitNewKeyboardProfile(profile);
    profile->ResetToDefaultKeys();
    GiveDefaultKeys(profile);
}
