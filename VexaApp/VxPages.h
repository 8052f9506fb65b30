// The nine pages of the main window. A page is no window of its own: it is the item set a page
// layout fills (its items are children of the main dialog, shown only while it is the current page
// of the current product), the page's own state and its handlers, which the main dialog's routing
// calls by item id (VxAppDlgRouting.cpp).
//
// References: a page holds the addresses of the application's device and configuration pointers,
// never the pointers themselves, and reads them anew in every handler, so that a device object made
// again on arrival (or a stand-by device) is used without rebinding.
//
// The handlers below are the page's whole interface to the main dialog. Those that the page does
// not carry out yet change nothing and report nothing done (false, no menu entry run, no recording):
// the routing reaches them all the same, and marks the product unsaved where it says so.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "GUIItem.h"
#include "GenDevice.h"

class CBitmapBtn;
class CBitmapWindow;
class CDropdownListItem;
class CKeyboardKeyItem;
class CListPanelItem;
class CTextItem;
class CVxAppDlg;

// What the profile list's context menu did, so that the dialog refreshes what it touched.
enum class ProfileMenuEntry
{
    None,
    RestoreDefault,  // "$RestoreDefault"
    Rename,          // "$Rename"
    Other,
};

// Every page: the main dialog it belongs to, known from its first fill on.
class CVxPage : public CGUIItems
{
public:
    CVxAppDlg* Dialog() const { return m_dialog; }

protected:
    CVxAppDlg* m_dialog = nullptr;  // borrowed; the dialog owns the page
};

// A page of one product, with its configuration and device references.
template <class ConfigItf, class DeviceItf>
class CVxProductPage : public CVxPage
{
public:
    CVxProductPage(ConfigItf** config, DeviceItf** device) : m_config(config), m_device(device) {}

protected:
    ConfigItf* Config() const { return m_config ? *m_config : nullptr; }
    DeviceItf* Device() const { return m_device ? *m_device : nullptr; }

    ConfigItf** m_config;
    DeviceItf** m_device;
};

using CVxMousePage = CVxProductPage<IMouseConfig, IGenMouse>;
using CVxKeyboardPage = CVxProductPage<IKeyboardConfig, IGenKeyboard>;

// The macro pages of both products share their commands. XListNotifyInfo-style arguments are passed
// as the message's lParam, valid only during the call.
template <class Base>
class CVxMacroPage : public Base
{
public:
    using Base::Base;

    void CreateMacro() {}
    void ImportMacro() {}
    void ExportMacro() {}
    void DeleteMacro() {}
    // Starts or stops recording; true when the page changed its recording state.
    bool ToggleRecording() { return false; }
    bool IsRecording() const { return false; }
    // Ends a recording at once (the keyboard back in its normal mode).
    void StopRecording() {}
    bool HasMacroSelection() const { return false; }
    void IgnoreDelays() {}
    void InsertDefaultDelays() {}
    // The macro list's choice (its drop-down index).
    void OnMacroChosen(int) {}
    void OnMacroDisplayChanged() {}
    void OnMacroListChangedImpl() {}
    // Runs once per change of the default delay edit.
    void OnDefaultDelayChanged() {}
};

// Page 1, "Mouse_AssnBtns.xml": the buttons' functions.
class CVxItems_Mouse_ASB : public CVxMousePage
{
public:
    using CVxMousePage::CVxMousePage;
    void InitAssignButtonsPage(CVxAppDlg* dialog);
    void ActivateButtonsProfileByIndex(int index);
    // A choice in one of the button drop-downs (107..115).
    void AssignButtonFunction(int32_t itemId, int index);
    // A button drop-down is about to open: its choices are filled.
    void OnAssignButtonClicked(int32_t itemId);
    void RefreshButtonLabels();
    void FillProfileDropdown();
};

// Page 2, "Mouse_AdjPerf.xml": DPI, sensitivity, acceleration and polling rate.
class CVxItems_Mouse_AJP : public CVxMousePage
{
public:
    // currentPage: the dialog's current page member, to know whether the page is shown.
    CVxItems_Mouse_AJP(IMouseConfig** config, IGenMouse** device, CGUIItems* const* currentPage)
        : CVxMousePage(config, device), m_currentPage(currentPage)
    {
    }
    void InitAdjustPerformancePage(CVxAppDlg* dialog);
    void Refresh() override;
    void ActivateProfileByIndex(int index);
    void ToggleAcceleration();
    // index 0, 1, 2: the rate buttons 99..101.
    void SetPollingRate(int index);
    void OpenSensitivityStagesPopup();
    void ToggleXYSensitivity();
    // The sliders: a thumb dragged or set (value, thumb item id), a click in a track (track item
    // id, MAKELPARAM of the point). The page marks the product unsaved where it changes it.
    void OnSliderDragged(int value, int32_t thumbId);
    void OnSliderPositionSet(int value, int32_t thumbId);
    void OnAccelTrackNotify(int32_t trackId, LPARAM point);
    bool IsShown() const { return m_currentPage && *m_currentPage == this; }

private:
    CGUIItems* const* m_currentPage;
};

// Page 3, "Mouse_MgProfs.xml": the mouse's profiles.
class CVxItems_Mouse_MGP : public CVxMousePage
{
public:
    using CVxMousePage::CVxMousePage;
    void InitMouseProfilePage(CVxAppDlg* dialog);
    void Refresh() override;
    void FillMouseProfileList();
    // The row of that profile index scrolled into view, selected and focused; the list refilled.
    void SelectMouseProfileRow(int index);
    // A double-clicked row becomes the active profile; true when it did.
    bool ActivateProfileRow(LPARAM info);
    void AssignMouseProfileApplication(LPARAM info);
    void OnProfileCheckChanged(LPARAM info);
    void UpdateProfileMenu(LPARAM info);
    ProfileMenuEntry ShowMouseProfileMenu(LPARAM info);
    bool CreateMouseProfile();
    void ImportMouseProfile();
    void ExportMouseProfile();
    bool DeleteMouseProfile();
};

// Page 4, "Mouse_MgMcrs.xml": the mouse's macros.
class CVxItems_Mouse_MGM : public CVxMacroPage<CVxMousePage>
{
public:
    using CVxMacroPage::CVxMacroPage;
    void InitMouseMacroPage(CVxAppDlg* dialog);
    void OpenMouseAdvancedMacroPopup();
};

// Page 5, "Mouse_Lighting.xml": the lights, and the reset of the active profile.
class CVxItems_Mouse_LTG : public CVxMousePage
{
public:
    using CVxMousePage::CVxMousePage;
    void InitMouseLightingPage(CVxAppDlg* dialog);
    void Refresh() override;
    void ActivateLightingProfileByIndex(int index);
    // led 0 main, 10 side, 9 base.
    void SetMouseLight(int led, bool on);
    void RestoreMouseDefaults();
};

// Page 6, "Keyboard_AssnKeys.xml": the keys' functions, over the key items of the keyboard
// layout's own file (a second item list, shown with the page). A key is chosen by clicking its
// picture (the pointer over a key describes its function); the options then act on the chosen key
// in the active profile (VxPageKeyboardKeys.cpp).
class CVxItems_Keyboard_ASK : public CVxKeyboardPage
{
public:
    using CVxKeyboardPage::CVxKeyboardPage;
    void InitAssignKeysPage(CVxAppDlg* dialog);
    // Forgets the chosen key, refills the profile drop-down and marks the keys anew.
    void Refresh() override;
    CGUIItems& KeyItems() { return m_keyItems; }
    // Shows or hides the key items with the page, and brings their states up to date.
    void ShowKeyItems(bool show);
    // The profile at that index of the drop-down becomes the active one.
    void SelectKeyboardProfile(int index);
    // A row of the options list clicked: its function given to the chosen key.
    void AssignKeyOption(int row);
    void OnKeyHover(int32_t keyId);
    void OnKeyClicked(int32_t keyId);
    void ClearKeyHover();
    void ClearKeySelection();
    // Asks first; true when the user confirmed and the active profile's keys were reset.
    bool ResetKeyboardKeys();
    void RefreshKeyAssignments() { Refresh(); }

    CKeyboardKeyItem* SelectedKey() const { return m_selectedKey; }

private:
    void FillKeyboardProfileCombo();
    void FillAssignOptions();
    void EnableAssignOptions(bool enabled);
    void ResetAssignKeysState();
    void RecolourKeys();
    void DescribeKey(CKeyboardKeyItem* key);
    std::wstring AssignmentDetail(const AssignmentAction& action, const CKeyboardKeyItem& key) const;
    void EmptyHint();
    void EmptyDescription();
    CKeyboardKeyItem* KeyItem(int32_t id) const;
    // After an assignment: the key shows it and is no longer chosen.
    void AssignToSelectedKey(const AssignmentAction& action);
    bool AssignKeyDefault();
    bool AssignKeySingleKey();
    bool AssignKeyMacro();
    bool AssignKeyProfileSwitch();
    bool AssignKeyLaunchProgram();

    CGUIItems m_keyItems;
    CDropdownListItem* m_profileCombo = nullptr;  // items of the page's own list
    CListPanelItem* m_options = nullptr;
    CBitmapWindow* m_keyWindow = nullptr;
    CTextItem* m_currentAssignment = nullptr;
    CKeyboardKeyItem* m_selectedKey = nullptr;    // items of m_keyItems
    CKeyboardKeyItem* m_hoverKey = nullptr;
    bool m_keySelected = false;
};

// Page 7, "Keyboard_MgProfs.xml": the keyboard's profiles.
class CVxItems_Keyboard_MGP : public CVxKeyboardPage
{
public:
    using CVxKeyboardPage::CVxKeyboardPage;
    void InitKeyboardProfilePage(CVxAppDlg* dialog);
    void Refresh() override;
    void FillKeyboardProfileList();
    bool ActivateProfileRow(LPARAM info);
    void AssignKeyboardProfileApplication(LPARAM info);
    void OnProfileCheckChanged(LPARAM info);
    void UpdateProfileMenu(LPARAM info);
    ProfileMenuEntry ShowKeyboardProfileMenu(LPARAM info);
    void CreateKeyboardProfile();
    void ImportKeyboardProfile();
    void ExportKeyboardProfile();
    void DeleteKeyboardProfile();
    void SetProfileOsd(bool on);
};

// Page 8, "Keyboard_MgMcrs.xml": the keyboard's macros.
class CVxItems_Keyboard_MGM : public CVxMacroPage<CVxKeyboardPage>
{
public:
    using CVxMacroPage::CVxMacroPage;
    void InitKeyboardMacroPage(CVxAppDlg* dialog);
    void OpenKeyboardAdvancedMacroPopup();
};

// Page 9, "Keyboard_Lighting.xml": the keyboard's main and side lights, on or off in the active
// profile, and the versions (VxPageKeyboardLighting.cpp).
class CVxItems_Keyboard_LTG : public CVxKeyboardPage
{
public:
    static constexpr int kMainLight = 4;
    static constexpr int kSideLight = 10;

    using CVxKeyboardPage::CVxKeyboardPage;
    void InitKeyboardLightingPage(CVxAppDlg* dialog);
    // The active profile's lights on the buttons, and the profile drop-down refilled.
    void Refresh() override;
    // led kMainLight or kSideLight.
    void SetKeyboardLight(int led, bool on);
    void ResetKeyboardLighting();

private:
    void RefreshKeyboardLightButtons();
    void FillLightingProfileCombo();

    CDropdownListItem* m_profileCombo = nullptr;  // items of the page's own list
    CBitmapBtn* m_mainOn = nullptr;
    CBitmapBtn* m_mainOff = nullptr;
    CBitmapBtn* m_sideOn = nullptr;
    CBitmapBtn* m_sideOff = nullptr;
};
