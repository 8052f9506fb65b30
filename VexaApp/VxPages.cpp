#include "VxPages.h"

// Each first fill keeps the dialog; the pages fill their items from the configuration there once
// they carry their handlers out. Handlers without a body here change nothing yet (VxPages.h).


// ---- page 3: VxPageProfiles.cpp ----


// ---- page 6 ----
void CVxItems_Keyboard_ASK::InitAssignKeysPage(CVxAppDlg* dialog) { m_dialog = dialog; }
void CVxItems_Keyboard_ASK::Refresh() {}

void CVxItems_Keyboard_ASK::ShowKeyItems(bool show)
{
    m_keyItems.ShowAll(show);
}

void CVxItems_Keyboard_ASK::ActivateProfileByIndex(int) {}
void CVxItems_Keyboard_ASK::AssignKeyOption(int) {}
void CVxItems_Keyboard_ASK::OnKeyHover(int32_t) {}
void CVxItems_Keyboard_ASK::OnKeyClicked(int32_t) {}
void CVxItems_Keyboard_ASK::ClearKeyHover() {}
void CVxItems_Keyboard_ASK::ClearKeySelection() {}
void CVxItems_Keyboard_ASK::ResetKeys() {}
void CVxItems_Keyboard_ASK::RefreshKeyAssignments() {}

// ---- page 7: VxPageProfiles.cpp ----

// ---- page 9 ----
void CVxItems_Keyboard_LTG::InitKeyboardLightingPage(CVxAppDlg* dialog) { m_dialog = dialog; }
void CVxItems_Keyboard_LTG::Refresh() {}
void CVxItems_Keyboard_LTG::SetKeyboardLight(int, bool) {}
void CVxItems_Keyboard_LTG::ResetKeyboardLighting() {}
