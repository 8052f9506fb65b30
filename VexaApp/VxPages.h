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
#include <type_traits>

#include "GUIItem.h"
#include "GenDevice.h"

class CBitmapBtn;
class CDropdownListItem;
class CEditItem;
class CMacroDisplayItem;
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

// The macro pages of both products (VxPageMacros.cpp): a drop-down of the configuration's macro
// names, the macro display that shows and records the chosen macro, and the commands around them.
// The chosen macro is the one the drop-down shows, looked up by name in every handler, so that no
// macro pointer outlives a handler. The two products differ where the device does: recording on
// the keyboard runs with the keyboard in its default mode and starts on an empty display, while
// the mouse's recording adds to the macro shown; a predefined command goes after the selected
// event on the mouse and before it on the keyboard; the keyboard exports no macro without events.
template <class Base>
class CVxMacroPage : public Base
{
public:
    using Base::Base;

    // The item ids of one product's page.
    struct Ids
    {
        int32_t list, display, keyMenu, delayMenu, mouseMenu;
        int32_t create, import, exportButton, remove, record, advanced, ignoreDelay, defaultDelay, delayEdit;
    };

    void CreateMacro();
    void ImportMacro();
    void ExportMacro();
    void DeleteMacro();
    // Starts or stops recording; true when the page changed its recording state.
    bool ToggleRecording();
    bool IsRecording() const;
    // Ends a recording at once (the keyboard back in its normal mode).
    void StopRecording();
    bool HasMacroSelection() const;
    // The two recording options, which exclude each other: no delays at all, or the edit's delay
    // between any two events.
    void IgnoreMacroDelays();
    void InsertDefaultDelays();
    // The macro list's choice (its drop-down index).
    void OnMacroChosen(int index);
    // The display's rows changed: the chosen macro takes them.
    void OnMacroDisplayChanged();
    // "$Edit" on a key row: the key is asked for anew.
    void OnMacroListChangedImpl();
    // Runs once per change of the default delay edit.
    void OnDefaultDelayChanged();

protected:
    static constexpr bool kKeyboard = std::is_same<Base, CVxKeyboardPage>::value;
    static const Ids& ItemIds();

    // The first fill: binds the items, both options off, the delay edit "50" and disabled, record
    // and advanced disabled until a macro is chosen, the list filled.
    void InitMacroPage(CVxAppDlg* dialog);
    void FillMacroList();
    // A predefined command into the chosen macro, after (mouse) or before (keyboard) the selected
    // event; nothing when the macro would outgrow what a device holds.
    void InsertPredefinedCommand();

private:
    CMacro* ChosenMacro() const;
    void ShowMacro(const CMacro* macro);
    // Every control but the record button; the delay edit only while its option is on.
    void EnableMacroControls(bool enable);
    void EnableRecordAndAdvanced(bool enable);
    // The edit's delay (1..9,999,999 ms), 0 when it holds none.
    int32_t DelayEditValue() const;
    // The keyboard's device mode for recording (2) or after it (1); nothing to do on the mouse.
    bool SetRecordingMode(bool recording);
    void WaitForDevice();
    void FinishRecording();
    std::wstring FileFilter() const;

    CDropdownListItem* m_list = nullptr;  // items of the page's own list
    CMacroDisplayItem* m_display = nullptr;
    CBitmapBtn* m_create = nullptr;
    CBitmapBtn* m_import = nullptr;
    CBitmapBtn* m_export = nullptr;
    CBitmapBtn* m_delete = nullptr;
    CBitmapBtn* m_record = nullptr;
    CBitmapBtn* m_advanced = nullptr;
    CBitmapBtn* m_ignoreDelay = nullptr;
    CBitmapBtn* m_defaultDelay = nullptr;
    CTextItem* m_ignoreDelayText = nullptr;
    CTextItem* m_defaultDelayText = nullptr;
    CEditItem* m_delayEdit = nullptr;
};

extern template class CVxMacroPage<CVxMousePage>;
extern template class CVxMacroPage<CVxKeyboardPage>;

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
// layout's own file (a second item list, shown with the page).
class CVxItems_Keyboard_ASK : public CVxKeyboardPage
{
public:
    using CVxKeyboardPage::CVxKeyboardPage;
    void InitAssignKeysPage(CVxAppDlg* dialog);
    void Refresh() override;
    CGUIItems& KeyItems() { return m_keyItems; }
    // Shows or hides the key items with the page, and brings their states up to date.
    void ShowKeyItems(bool show);
    void ActivateProfileByIndex(int index);
    void AssignKeyOption(int entry);
    void OnKeyHover(int32_t keyId);
    void OnKeyClicked(int32_t keyId);
    void ClearKeyHover();
    void ClearKeySelection();
    void ResetKeys();
    void RefreshKeyAssignments();

private:
    CGUIItems m_keyItems;
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

// Page 9, "Keyboard_Lighting.xml": the keyboard's lights.
class CVxItems_Keyboard_LTG : public CVxKeyboardPage
{
public:
    using CVxKeyboardPage::CVxKeyboardPage;
    void InitKeyboardLightingPage(CVxAppDlg* dialog);
    void Refresh() override;
    // led 4 main, 10 side.
    void SetKeyboardLight(int led, bool on);
    void ResetKeyboardLighting();
};
