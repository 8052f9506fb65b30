#include "VxPages.h"

// Each first fill keeps the dialog; the pages fill their items from the configuration there once
// they carry their handlers out. Handlers without a body here change nothing yet (VxPages.h).

// ---- page 1 ----
void CVxItems_Mouse_ASB::InitAssignButtonsPage(CVxAppDlg* dialog) { m_dialog = dialog; }
void CVxItems_Mouse_ASB::ActivateButtonsProfileByIndex(int) {}
void CVxItems_Mouse_ASB::AssignButtonFunction(int32_t, int) {}
void CVxItems_Mouse_ASB::OnAssignButtonClicked(int32_t) {}
void CVxItems_Mouse_ASB::RefreshButtonLabels() {}
void CVxItems_Mouse_ASB::FillProfileDropdown() {}

// ---- page 2 ----
void CVxItems_Mouse_AJP::InitAdjustPerformancePage(CVxAppDlg* dialog) { m_dialog = dialog; }
void CVxItems_Mouse_AJP::Refresh() {}
void CVxItems_Mouse_AJP::ActivateProfileByIndex(int) {}
void CVxItems_Mouse_AJP::ToggleAcceleration() {}
void CVxItems_Mouse_AJP::SetPollingRate(int) {}
void CVxItems_Mouse_AJP::OpenSensitivityStagesPopup() {}
void CVxItems_Mouse_AJP::ToggleXYSensitivity() {}
void CVxItems_Mouse_AJP::OnSliderDragged(int, int32_t) {}
void CVxItems_Mouse_AJP::OnSliderPositionSet(int, int32_t) {}
void CVxItems_Mouse_AJP::OnAccelTrackNotify(int32_t, LPARAM) {}

// ---- page 3 ----
void CVxItems_Mouse_MGP::InitMouseProfilePage(CVxAppDlg* dialog) { m_dialog = dialog; }
void CVxItems_Mouse_MGP::Refresh() {}
void CVxItems_Mouse_MGP::FillMouseProfileList() {}
void CVxItems_Mouse_MGP::SelectMouseProfileRow(int) {}
bool CVxItems_Mouse_MGP::ActivateProfileRow(LPARAM) { return false; }
void CVxItems_Mouse_MGP::AssignMouseProfileApplication(LPARAM) {}
void CVxItems_Mouse_MGP::OnProfileCheckChanged(LPARAM) {}
void CVxItems_Mouse_MGP::UpdateProfileMenu(LPARAM) {}
ProfileMenuEntry CVxItems_Mouse_MGP::ShowMouseProfileMenu(LPARAM) { return ProfileMenuEntry::None; }
bool CVxItems_Mouse_MGP::CreateMouseProfile() { return false; }
void CVxItems_Mouse_MGP::ImportMouseProfile() {}
void CVxItems_Mouse_MGP::ExportMouseProfile() {}
bool CVxItems_Mouse_MGP::DeleteMouseProfile() { return false; }

// ---- page 4 ----
void CVxItems_Mouse_MGM::InitMouseMacroPage(CVxAppDlg* dialog) { m_dialog = dialog; }
void CVxItems_Mouse_MGM::OpenMouseAdvancedMacroPopup() {}

// ---- page 5 ----
void CVxItems_Mouse_LTG::InitMouseLightingPage(CVxAppDlg* dialog) { m_dialog = dialog; }
void CVxItems_Mouse_LTG::Refresh() {}
void CVxItems_Mouse_LTG::ActivateLightingProfileByIndex(int) {}
void CVxItems_Mouse_LTG::SetMouseLight(int, bool) {}
void CVxItems_Mouse_LTG::RestoreMouseDefaults() {}

// ---- page 7 ----
void CVxItems_Keyboard_MGP::InitKeyboardProfilePage(CVxAppDlg* dialog) { m_dialog = dialog; }
void CVxItems_Keyboard_MGP::Refresh() {}
void CVxItems_Keyboard_MGP::FillKeyboardProfileList() {}
bool CVxItems_Keyboard_MGP::ActivateProfileRow(LPARAM) { return false; }
void CVxItems_Keyboard_MGP::AssignKeyboardProfileApplication(LPARAM) {}
void CVxItems_Keyboard_MGP::OnProfileCheckChanged(LPARAM) {}
void CVxItems_Keyboard_MGP::UpdateProfileMenu(LPARAM) {}
ProfileMenuEntry CVxItems_Keyboard_MGP::ShowKeyboardProfileMenu(LPARAM) { return ProfileMenuEntry::None; }
void CVxItems_Keyboard_MGP::CreateKeyboardProfile() {}
void CVxItems_Keyboard_MGP::ImportKeyboardProfile() {}
void CVxItems_Keyboard_MGP::ExportKeyboardProfile() {}
void CVxItems_Keyboard_MGP::DeleteKeyboardProfile() {}
void CVxItems_Keyboard_MGP::SetProfileOsd(bool) {}

// ---- page 8 ----
void CVxItems_Keyboard_MGM::InitKeyboardMacroPage(CVxAppDlg* dialog) { m_dialog = dialog; }
void CVxItems_Keyboard_MGM::OpenKeyboardAdvancedMacroPopup() {}
