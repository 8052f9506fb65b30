// The nine pages of the main window. A page is no window of its own: it is the item set a page
// layout fills (its items are children of the main dialog, shown only while it is the current page
// of the current product), the page's own state and its handlers, which the main dialog's command
// tables and routing call by item id (VxAppDlgCommands.cpp, VxAppDlgRouting.cpp).
//
// References: a page holds the addresses of the application's device and configuration pointers,
// never the pointers themselves, and reads them anew in every handler, so that a device object made
// again on arrival (or a stand-by device) is used without rebinding.
//
// The handlers below are the page's whole interface to the main dialog; the routing marks the
// product unsaved where it says so, before the handler runs. Each page's code is in a file of its own
// (VxPage*.cpp, the profile pages' shared part in VxProfilePage.cpp).
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "model/GenDevice.h"
#include "skin/GUIItem.h"
#include "VexaApp/VxProfileHelpers.h"

class CBitmapBtn;
class CDropdownListItem;
class CSliderHMulti;
class CTextItem;
class CListPanelItem;
class CEditItem;
class CMacroDisplayItem;
class CBitmapWindow;
class CKeyboardKeyItem;
class CVxAppDlg;
class CVxDropdownSelectPopup;
class CVxMacroAssignmentPopup;

// What the profile list's context menu did, so that the dialog refreshes what it touched.
enum class ProfileMenuEntry
{
    None,            // nothing changed
    RestoreDefault,  // "$RestoreDefault"
    Rename,          // "$Rename"
    Other,           // another entry that changed the profiles or the active one
};

// Every page: the main dialog it belongs to, known from its first fill on.
class CVxPage : public CGUIItems
{
public:
    CVxAppDlg* Dialog() const { return m_dialog; }
    // Whether the page's first fill ends with what Refresh does, so that a first showing need not
    // refresh it again.
    virtual bool FirstFillRefreshes() const { return false; }

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

    // The list refilled from the configuration (after a device read, and whenever the page is
    // shown); the chosen macro stays chosen and shown while the configuration holds it.
    void Refresh() override;
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

// Page 1, "Mouse_AssnBtns.xml": the buttons' functions. One drop-down per button offers the types
// the button allows; the macro and profile entries open the two submenu panels, whose choice the
// drop-down carries as its secondary text. At least one button keeps the click function.
class CVxItems_Mouse_ASB : public CVxMousePage
{
public:
    using CVxMousePage::CVxMousePage;
    void InitAssignButtonsPage(CVxAppDlg* dialog);
    bool FirstFillRefreshes() const override { return true; }
    // Refills the profile drop-down and the buttons' labels (profiles and macros may have changed
    // on the other pages).
    void Refresh() override;
    void ActivateButtonsProfileByIndex(int index);
    // A choice in one of the button drop-downs (107..115).
    void AssignButtonFunction(int32_t itemId, int index);
    // A button drop-down is about to open: the submenus get the macros and the other profiles.
    void OnAssignButtonClicked(int32_t itemId);
    void RefreshButtonLabels();
    void FillButtonsProfileDropdown();
    // Whether a button of the active profile still clicks; shows "NoClickPopup.xml" when none does.
    bool CheckClickAssigned();

private:
    // The button number of a button drop-down's item id; 0 when it is none.
    int32_t ButtonOfItem(int32_t itemId) const;
    // The action the user chose for the button: false when the choice came to nothing (a popup
    // cancelled, an empty or unknown submenu choice).
    bool ChooseAction(int32_t type, int32_t button, const std::wstring& data, AssignmentAction& action);
    bool ChooseMacro(int32_t button, const std::wstring& name, AssignmentAction& action);
    bool ChooseSingleKey(AssignmentAction& action);
    bool ChooseProfile(const std::wstring& name, AssignmentAction& action) const;
    // Stores the action on the button, and puts the old one back when no button clicks then.
    void StoreAssignment(int32_t button, const AssignmentAction& action);
    // The submenus: every macro, and every profile but the active one.
    void FillSubmenus();
    std::vector<std::wstring> MacroNames() const;
    // What a button's drop-down shows after its type: the macro's or profile's name, the key.
    std::wstring AssignmentDetail(const AssignmentAction& action) const;

    // Items of the page (borrowed from the item list); null where the layout has none.
    CDropdownListItem* m_profileDropdown = nullptr;
    CListPanelItem* m_profileSubmenu = nullptr;
    CListPanelItem* m_macroSubmenu = nullptr;
    // button number -> its drop-down, for the buttons whose drop-down the layout has.
    std::map<int32_t, CDropdownListItem*> m_buttonMap;
    // The macro choice while it runs, refilled by a refresh after a device read.
    CVxMacroAssignmentPopup* m_openMacroChoice = nullptr;
};

// Page 2, "Mouse_AdjPerf.xml": DPI, sensitivity, acceleration and polling rate
// (VxPageMousePerf.cpp).
//
// The sensitivity sliders move in whole steps of the active profile's DPI range: position range
// minimum / step .. maximum / step, and a slider's value times the step is the DPI it stands for.
// The acceleration sliders run over the configuration's acceleration range, which a device read
// sets (empty before, and the sliders then rest at their start). Of the two acceleration sliders
// only the enabled one takes input; both carry the same thumb id, so the page knows them by their
// own items, never by that id.
class CVxItems_Mouse_AJP : public CVxMousePage
{
public:
    // currentPage: the dialog's current page member, to know whether the page is shown.
    CVxItems_Mouse_AJP(IMouseConfig** config, IGenMouse** device, CGUIItems* const* currentPage)
        : CVxMousePage(config, device), m_currentPage(currentPage)
    {
    }
    void InitAdjustPerformancePage(CVxAppDlg* dialog);
    bool FirstFillRefreshes() const override { return true; }
    void Refresh() override;
    void ActivateProfileByIndex(int index);
    void ToggleAcceleration();
    // index 0, 1, 2: the rate buttons 99..101 (125, 500, 1000 Hz).
    void SetPollingRate(int index);
    void OpenSensitivityStagesPopup();
    void ToggleXYSensitivity();
    // The sliders: a thumb dragged or set (value, thumb item id), a click in a track (track item
    // id, MAKELPARAM of the point). The page marks the product unsaved where it changes it; thumbs
    // and tracks that are not its own are ignored.
    void OnSliderDragged(int value, int32_t thumbId);
    void OnSliderPositionSet(int value, int32_t thumbId);
    void OnAccelTrackNotify(int32_t trackId, LPARAM point);
    bool IsShown() const { return m_currentPage && *m_currentPage == this; }

private:
    enum Sensitivity { kCombined, kX, kY, kSensitivityCount };

    void BindPageItems();
    void FillPerformanceProfileDropdown();
    // The active profile's DPI range, made usable: step at least 1, maximum at least the minimum.
    void ReadDpiRange();
    void ApplySliderRanges();
    // A sensitivity thumb's value into the active profile (value times the step), the labels
    // rewritten and the product marked; false for a thumb of no sensitivity slider.
    bool SetSensitivityFromThumb(int32_t thumbId, int value);
    bool IsAccelerationThumb(int32_t thumbId) const;
    void MoveSensitivitySliders();
    void UpdateSensitivityTexts();
    void LayOutXYMode(bool separate);
    void LayOutAcceleration(bool enabled);
    void MoveAccelerationSliders(int32_t level);
    void SyncAccelerationSliders();
    void RefreshPollingRates();
    // Shows an item of the page, but only while the page is shown.
    void Place(CGUIItem* item, bool visible) const;

    CGUIItems* const* m_currentPage;
    int32_t m_dpiMin = 0;
    int32_t m_dpiMax = 0;
    int32_t m_dpiStep = 1;

    // Bound items, borrowed from the page's own list; any may be null.
    CDropdownListItem* m_profileDropdown = nullptr;
    CSliderHMulti* m_sensitivity[kSensitivityCount] = {};
    CGUIItem* m_sensitivityTracks[kSensitivityCount] = {};
    CTextItem* m_headingX = nullptr;
    CTextItem* m_headingY = nullptr;
    CTextItem* m_captionX = nullptr;
    CTextItem* m_captionY = nullptr;
    CTextItem* m_value1 = nullptr;
    CTextItem* m_value2 = nullptr;
    CBitmapBtn* m_separateXY = nullptr;
    CSliderHMulti* m_accel = nullptr;
    CSliderHMulti* m_accelOff = nullptr;
    CGUIItem* m_accelTrack = nullptr;
    CGUIItem* m_accelTrackOff = nullptr;
    CBitmapBtn* m_accelCheck = nullptr;
    CBitmapBtn* m_rates[3] = {};
    std::wstring m_rateTexts[3];  // the rate buttons' own texts, put after the rate
    CBitmapBtn* m_dpiOsd = nullptr;
};

// The profile pages of both products (pages 3 and 7, VxProfilePage.cpp): the list of the product's
// profiles (one row per profile, by its index in the configuration; columns: 0 the active mark,
// 1 the number, 2 the name, 3 the linked program's file name, 4 its automatic switch), its context
// menu (the page's list panel, run by the list) and the profile commands. At most 20 profiles;
// names are unique without regard to case. Handlers that change the profiles or the active one
// leave the refresh of the product's other pages to the dialog, by what they return.
class CBitmapBtn;
class CListPanelItem;
class CXListCtrl;

template <class ConfigItf, class DeviceItf>
class CVxProfilePage : public CVxProductPage<ConfigItf, DeviceItf>
{
public:
    static constexpr int kMaxProfiles = 20;

    using CVxProductPage<ConfigItf, DeviceItf>::CVxProductPage;
    using ProfileItf = std::remove_pointer_t<decltype(std::declval<ConfigItf&>().GetProfile(0))>;

    // The options entry "$UnassignApplication" for the selected row.
    void Refresh() override;
    // The profile of that index becomes active, its row scrolled into view, selected and focused.
    void SelectProfileRow(int index);
    // A double-clicked row (XListNotifyInfo) becomes the active profile; true when it did.
    bool ActivateProfileRow(LPARAM info);
    // A program chosen (a path) or taken away (empty) in the program cell.
    void AssignProgram(LPARAM info);
    // A check cell changed: the active mark makes its profile active (true then), the switch
    // column turns the automatic switch on or off.
    bool OnProfileCheckChanged(LPARAM info);
    // Before the context menu opens: "$UnassignApplication" is offered only for a row with a program.
    // The row's profile is remembered: what the menu then does to the row is done only while the
    // row still shows that profile (the menu and its file dialog may let the device be read anew).
    void UpdateProfileMenu(LPARAM info);

protected:
    // Binds the list (listId), its context menu and the on-screen button; attaches the menu.
    void InitProfilePage(CVxAppDlg* dialog, int32_t listId, int32_t osdButtonId);
    void FillProfileList();
    ProfileMenuEntry RunProfileMenu(LPARAM info);
    bool CreateProfile();
    bool CopyProfile(int row);
    bool RenameProfile(int row);
    bool DeleteProfile(int row);
    bool SetActiveRow(int row);
    bool RestoreProfileDefaults(int row);
    bool ImportProfile();
    // The checks before an import, made before the file dialog and again after it: room for one
    // more profile, and the device holding the profiles the list shows (a notice when not).
    bool ImportAllowed();
    void ExportProfile(int row);
    // The row a menu entry or a button works on: the one the menu was opened over, else the
    // selected one; -1 when none.
    int TargetRow(int row) const;

    // What the products do their own way.
    virtual void GiveNewProfileDefaults(ProfileItf* profile) = 0;
    virtual void GiveProfileDefaults(ProfileItf* profile) = 0;
    virtual void PreviewProfile(ProfileItf* profile) = 0;

    CXListCtrl* m_list = nullptr;         // items of the page
    CListPanelItem* m_menu = nullptr;
    CBitmapBtn* m_osdButton = nullptr;
    // The row the context menu was last opened over, and its profile then.
    int m_menuRow = -1;
    std::optional<CAskedProfile<ProfileItf>> m_menuProfile;

private:
    ProfileItf* ProfileOfRow(int row) const;
    // False (the list refilled) when the row the context menu was opened over no longer shows the
    // profile it showed then; true for any other row.
    bool MenuRowStillHolds(int row);
    // The name a copy of a profile of that name gets: the name (cut when long) and the first
    // "(n)" no profile has; empty when every number is taken.
    std::wstring CopyName(const std::wstring& name) const;
    void WaitForDevice() const;
    void UpdateUnassignEntry(int row);
    // The notice of a layout, with text appended to its heading or its heading replaced.
    void Notice(const wchar_t* layout, const std::wstring& append = std::wstring()) const;
    void NoticeHeading(const wchar_t* layout, const wchar_t* heading) const;
};

// Page 3, "Mouse_MgProfs.xml": the mouse's profiles.
class CVxItems_Mouse_MGP : public CVxProfilePage<IMouseConfig, IGenMouse>
{
public:
    using CVxProfilePage::CVxProfilePage;
    void InitMouseProfilePage(CVxAppDlg* dialog);
    void FillMouseProfileList() { FillProfileList(); }
    void SelectMouseProfileRow(int index) { SelectProfileRow(index); }
    void AssignMouseProfileApplication(LPARAM info) { AssignProgram(info); }
    ProfileMenuEntry ShowMouseProfileMenu(LPARAM info) { return RunProfileMenu(info); }
    // True when a profile was made (it is the active one).
    bool CreateMouseProfile() { return CreateProfile(); }
    void ImportMouseProfile() { ImportProfile(); }
    void ExportMouseProfile() { ExportProfile(-1); }
    // The selected profile; true when it was deleted.
    bool DeleteMouseProfile() { return DeleteProfile(-1); }

protected:
    void GiveNewProfileDefaults(IMouseProfile* profile) override;
    void GiveProfileDefaults(IMouseProfile* profile) override;
    void PreviewProfile(IMouseProfile* profile) override;
};

// Page 4, "Mouse_MgMcrs.xml": the mouse's macros.
class CVxItems_Mouse_MGM : public CVxMacroPage<CVxMousePage>
{
public:
    using CVxMacroPage::CVxMacroPage;
    void InitMouseMacroPage(CVxAppDlg* dialog);
    void OpenMouseAdvancedMacroPopup();
};

// Page 5, "Mouse_Lighting.xml": the lights of the active profile, the versions, and the reset
// of the active profile (VxPageMouseLighting.cpp).
class CVxItems_Mouse_LTG : public CVxMousePage
{
public:
    using CVxMousePage::CVxMousePage;
    void InitMouseLightingPage(CVxAppDlg* dialog);
    bool FirstFillRefreshes() const override { return true; }
    void Refresh() override;
    void ActivateLightingProfileByIndex(int index);
    // led 0 main, 10 side, 9 base.
    void SetMouseLight(int led, bool on);
    // Asks first; on Yes the active profile gets its defaults.
    void RestoreMouseDefaults();

private:
    struct Light
    {
        int led;
        CBitmapBtn* on;
        CBitmapBtn* off;
    };

    CDropdownListItem* m_profileDropdown = nullptr;  // borrowed from the page's list
    Light m_lights[3] = {{0, nullptr, nullptr}, {10, nullptr, nullptr}, {9, nullptr, nullptr}};
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
    bool FirstFillRefreshes() const override { return true; }
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
    std::vector<std::wstring> MacroNames() const;
    // Every profile's name but the active one's.
    std::vector<std::wstring> OtherProfileNames() const;

    CGUIItems m_keyItems;
    CDropdownListItem* m_profileCombo = nullptr;  // items of the page's own list
    CListPanelItem* m_options = nullptr;
    CBitmapWindow* m_keyWindow = nullptr;
    CTextItem* m_currentAssignment = nullptr;
    CKeyboardKeyItem* m_selectedKey = nullptr;    // items of m_keyItems
    CKeyboardKeyItem* m_hoverKey = nullptr;
    bool m_keySelected = false;
    // While an option runs: the profile it was chosen for, and its open choice popup (refilled by a
    // refresh after a device read).
    const CAskedProfile<IKeyboardProfile>* m_askedProfile = nullptr;
    CVxMacroAssignmentPopup* m_openMacroChoice = nullptr;
    CVxDropdownSelectPopup* m_openProfileChoice = nullptr;
};

// Page 7, "Keyboard_MgProfs.xml": the keyboard's profiles, and the on-screen display of a profile
// change (one flag that every profile carries alike).
class CVxItems_Keyboard_MGP : public CVxProfilePage<IKeyboardConfig, IGenKeyboard>
{
public:
    using CVxProfilePage::CVxProfilePage;
    void InitKeyboardProfilePage(CVxAppDlg* dialog);
    void FillKeyboardProfileList() { FillProfileList(); }
    void SelectKeyboardProfileRow(int index) { SelectProfileRow(index); }
    void AssignKeyboardProfileApplication(LPARAM info) { AssignProgram(info); }
    ProfileMenuEntry ShowKeyboardProfileMenu(LPARAM info) { return RunProfileMenu(info); }
    // True when a profile was made (it is the active one).
    bool CreateKeyboardProfile() { return CreateProfile(); }
    void ImportKeyboardProfile() { ImportProfile(); }
    void ExportKeyboardProfile() { ExportProfile(-1); }
    // The selected profile; true when it was deleted.
    bool DeleteKeyboardProfile() { return DeleteProfile(-1); }
    // The on-screen flag of every profile.
    void SetProfileOsd(bool on);

protected:
    void GiveNewProfileDefaults(IKeyboardProfile* profile) override;
    void GiveProfileDefaults(IKeyboardProfile* profile) override;
    void PreviewProfile(IKeyboardProfile*) override {}

private:
    // Every key of the keyboard its default function, for a profile that has no keys yet.
    void GiveDefaultKeys(IKeyboardProfile* profile);
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
    bool FirstFillRefreshes() const override { return true; }
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
