// Page 1 of the mouse: which function each button has in the active profile.
//
// The drop-downs are refilled from the model after every change, so that what they show is what the
// active profile holds, whatever a popup or a refused change left in them. Popups run modally over
// the main dialog and may let a device notice re-read the mouse meanwhile: no profile or macro
// pointer is kept across one; the page looks them up again afterwards.
#include "core/ItemIds.h"
#include "VexaApp/VxPages.h"

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <vector>

#include "controls/DropdownListItem.h"
#include "controls/ListPanelItem.h"
#include "core/NameTables.h"
#include "platform/RawInput.h"
#include "VexaApp/VxAppDlg.h"
#include "VexaApp/VxPopups.h"
#include "VexaApp/VxProfileHelpers.h"

namespace {

// Button number -> drop-down item. Button 6 is the front side button and 7 the rear one; their
// item ids run the other way.
struct ButtonRow
{
    int32_t button;
    int32_t itemId;
};
constexpr ButtonRow kButtonRows[] = {
    {1, BUTTON_ASSNLEFTCLICK},   {2, BUTTON_ASSNRIGHTCLICK}, {3, BUTTON_ASSNSCROLLBUTTON},
    {4, BUTTON_ASSNBUTTON4},     {5, BUTTON_ASSNBUTTON5},    {6, BUTTON_ASSNRSIDEFRONT},
    {7, BUTTON_ASSNRSIDEREAR},   {12, BUTTON_ASSNSCROLLUP},  {13, BUTTON_ASSNSCROLLDOWN},
};

// The modifier keys a single-key assignment names before its key.
struct ModifierName
{
    uint8_t flag;
    UINT virtualKey;
    UINT scanCode;
};
constexpr ModifierName kModifierNames[] = {
    {kKeyFlagCtrl, VK_CONTROL, 0x1D},
    {kKeyFlagShift, VK_SHIFT, 0x2A},
    {kKeyFlagAlt, VK_MENU, 0x38},
};

// The name an action holds; the field is bounded, whoever filled it.
std::wstring NameOf(const AssignmentAction& action)
{
    return std::wstring(action.payload.name, wcsnlen(action.payload.name, kActionNameLength));
}

// The system's names of the modifiers and the key: "Control + B".
std::wstring SingleKeyText(const AssignmentAction& action)
{
    std::wstring text;
    for (const ModifierName& modifier : kModifierNames) {
        std::wstring name;
        if ((action.payload.key.flags & modifier.flag) &&
            GetKeyDisplayName(modifier.virtualKey, name, modifier.scanCode, false))
            text += name + L" + ";
    }
    std::wstring key;
    GetKeyDisplayName(action.VirtualKey(), key, action.ScanCode(),
                      (action.payload.key.flags & kKeyFlagExtended) != 0);
    return text + key;
}

ListEntry SubmenuEntry(const std::wstring& name)
{
    ListEntry entry;
    entry.Init(name.c_str(), 0, nullptr);
    return entry;
}

} // namespace

// ---- filling --------------------------------------------------------------------------------------

void CVxItems_Mouse_ASB::InitAssignButtonsPage(CVxAppDlg* dialog)
{
    m_dialog = dialog;
    m_profileDropdown = FindAs<CDropdownListItem>(BUTTON_DROPDOWN_PROFILESELECT, ItemKind::DropdownList);
    m_profileSubmenu = FindAs<CListPanelItem>(LISTPANEL_ASSIGNSUBMENU_PR, ItemKind::ListPanelItem);
    m_macroSubmenu = FindAs<CListPanelItem>(LISTPANEL_ASSIGNSUBMENU_MA, ItemKind::ListPanelItem);
    m_buttonMap.clear();
    for (const ButtonRow& row : kButtonRows)
        if (auto* dropdown = FindAs<CDropdownListItem>(row.itemId, ItemKind::DropdownList))
            m_buttonMap[row.button] = dropdown;
    FillButtonsProfileDropdown();
    RefreshButtonLabels();
}

void CVxItems_Mouse_ASB::Refresh()
{
    FillButtonsProfileDropdown();
    RefreshButtonLabels();
}

void CVxItems_Mouse_ASB::FillButtonsProfileDropdown()
{
    FillProfileDropdown(m_profileDropdown, Config());
}

void CVxItems_Mouse_ASB::ActivateButtonsProfileByIndex(int index)
{
    IMouseConfig* config = Config();
    IMouseProfile* profile = config ? config->GetProfile(index) : nullptr;
    if (!profile)
        return;
    config->SetActiveProfile(profile);
    if (m_profileDropdown)
        m_profileDropdown->SetCurSel(index);
    RefreshButtonLabels();
}

void CVxItems_Mouse_ASB::RefreshButtonLabels()
{
    IMouseConfig* config = Config();
    IMouseProfile* profile = config ? config->GetActiveProfile() : nullptr;
    // The submenus and an open macro choice offer what the configuration holds now.
    FillSubmenus();
    if (m_openMacroChoice)
        m_openMacroChoice->SetMacroNames(MacroNames());
    for (const auto& [button, dropdown] : m_buttonMap) {
        dropdown->ClearEntries();
        if (!profile) {
            dropdown->ClearCurSel();
            continue;
        }
        std::vector<int32_t> types;
        profile->GetAllowedFunctions(types, button);
        for (int32_t type : types) {
            const wchar_t* name = FindAssignmentTypeName(type);
            ListEntry entry;
            entry.Init(name ? name : L"", 0, FindButtonDescription(type));
            if (type == kActionProfile && m_profileSubmenu)
                entry.value = m_profileSubmenu->EntryValue();
            else if (type == kActionMacro && m_macroSubmenu)
                entry.value = m_macroSubmenu->EntryValue();
            dropdown->AddEntryRecord(entry);
        }
        const AssignmentAction action = profile->GetButtonAssignment(button);
        const auto shown = std::find(types.begin(), types.end(), ByGuidActionType(action.type));
        if (shown == types.end()) {
            dropdown->ClearCurSel();  // a function this page does not offer
            continue;
        }
        dropdown->SetCurSel(static_cast<int>(shown - types.begin()), AssignmentDetail(action).c_str());
    }
}

std::wstring CVxItems_Mouse_ASB::AssignmentDetail(const AssignmentAction& action) const
{
    // A macro or profile deleted since it was assigned leaves its type's name alone.
    IMouseConfig* config = Config();
    switch (action.type) {
    case kActionSingleKey:
        return SingleKeyText(action);
    case kActionMacro:
    case kActionMacroByName: {
        const CMacro* macro = action.type == kActionMacro ? config->FindMacroByGuid(action.payload.guid)
                                                          : config->FindMacroByName(NameOf(action).c_str());
        return macro ? macro->GetName() : L"";
    }
    case kActionProfile:
    case kActionProfileByName: {
        const IMouseProfile* profile = action.type == kActionProfile
                                           ? config->FindProfileByGuid(action.payload.guid)
                                           : config->FindProfileByName(NameOf(action).c_str());
        return profile ? profile->GetName() : L"";
    }
    default:
        return L"";
    }
}

void CVxItems_Mouse_ASB::OnAssignButtonClicked(int32_t itemId)
{
    if (ButtonOfItem(itemId))
        FillSubmenus();
}

std::vector<std::wstring> CVxItems_Mouse_ASB::MacroNames() const
{
    IMouseConfig* config = Config();
    std::vector<std::wstring> names;
    for (int i = 0; config && i < config->GetMacroCount(); ++i)
        if (const CMacro* macro = config->GetMacro(i))
            names.emplace_back(macro->GetName());
    return names;
}

void CVxItems_Mouse_ASB::FillSubmenus()
{
    IMouseConfig* config = Config();
    if (!config)
        return;
    if (m_macroSubmenu) {
        std::vector<ListEntry> macros;
        for (const std::wstring& name : MacroNames())
            macros.push_back(SubmenuEntry(name));
        m_macroSubmenu->SetEntries(macros);
    }
    if (m_profileSubmenu) {
        // Switching to the profile the button is in does nothing: it is not offered.
        const IMouseProfile* active = config->GetActiveProfile();
        std::vector<ListEntry> profiles;
        for (int i = 0; i < config->GetProfileCount(); ++i) {
            const IMouseProfile* profile = config->GetProfile(i);
            if (profile && profile != active)
                profiles.push_back(SubmenuEntry(profile->GetName()));
        }
        m_profileSubmenu->SetEntries(profiles);
    }
}

// ---- assigning --------------------------------------------------------------------------------------

int32_t CVxItems_Mouse_ASB::ButtonOfItem(int32_t itemId) const
{
    for (const ButtonRow& row : kButtonRows)
        if (row.itemId == itemId)
            return m_buttonMap.count(row.button) ? row.button : 0;
    return 0;
}

void CVxItems_Mouse_ASB::AssignButtonFunction(int32_t itemId, int index)
{
    const int32_t button = ButtonOfItem(itemId);
    IMouseConfig* config = Config();
    IMouseProfile* profile = config ? config->GetActiveProfile() : nullptr;
    if (!button || !profile)
        return;
    std::vector<int32_t> types;
    profile->GetAllowedFunctions(types, button);
    std::wstring data;
    m_buttonMap[button]->GetCurSelWithData(data);
    AssignmentAction action;
    const CAskedProfile<IMouseProfile> asked(*profile);
    // A popup's loop may read the mouse again: the choice goes to the profile it was made for only.
    if (index >= 0 && static_cast<size_t>(index) < types.size() &&
        ChooseAction(types[static_cast<size_t>(index)], button, data, action) && asked.StillActive(Config()))
        StoreAssignment(button, action);
    // The drop-down shows the choice it was given; after a choice that came to nothing it must
    // show the button's function again.
    RefreshButtonLabels();
}

bool CVxItems_Mouse_ASB::ChooseAction(int32_t type, int32_t button, const std::wstring& data,
                                      AssignmentAction& action)
{
    switch (type) {
    case kActionDefaultKey:
        action = Config()->GetDefaultButtonAssignment(button);
        return action.type != kActionNone;
    case kActionSingleKey:
        return ChooseSingleKey(action);
    case kActionMacro:
        return ChooseMacro(button, data, action);
    case kActionProfile:
        return ChooseProfile(data, action);
    default:
        action = AssignmentAction(type);
        return true;
    }
}

bool CVxItems_Mouse_ASB::ChooseSingleKey(AssignmentAction& action)
{
    SingleKeyEntry entry;
    CVexaPopupBoxSingleKeyEntry popup(m_dialog, &entry);
    // Modifiers alone make no key the device could send.
    if (popup.DoModal() != IDOK || entry.scanCode == 0)
        return false;
    action = AssignmentAction::Key(kActionSingleKey, entry.scanCode, entry.virtualKey, entry.flags);
    return true;
}

bool CVxItems_Mouse_ASB::ChooseMacro(int32_t button, const std::wstring& name, AssignmentAction& action)
{
    // A macro the submenu still showed after it was gone leaves the choice open to the others.
    if (name.empty() || Config()->GetMacroCount() <= 0)
        return false;
    // A button that plays a macro already keeps its way of playing unless the user changes it.
    const AssignmentAction current = Config()->GetButtonAssignment(button, nullptr);
    int playMode = ByGuidActionType(current.type) == kActionMacro ? current.playMode : kPlayOnce;
    std::wstring chosen = name;
    CVxMacroAssignmentPopup popup(m_dialog, &playMode, MacroNames(), &chosen);
    {
        const COpenPopup<CVxMacroAssignmentPopup> open(m_openMacroChoice, popup);
        if (popup.DoModal() != IDOK)
            return false;
    }
    int count = 0;
    if (playMode == kPlayCount) {
        // No count, or none of 1..255, plays the macro once.
        CVxNumEntryPopup countPopup(m_dialog, &count);
        if (countPopup.DoModal() != IDOK || count < 1 || count > CVxNumEntryPopup::kMaxCount) {
            playMode = kPlayOnce;
            count = 0;
        }
    }
    if (playMode < kPlayOnce || playMode > kPlayWhileHeld)
        playMode = kPlayOnce;
    // Looked up again: the popup's choice may be another macro, and the list may have been read
    // anew while the popups ran.
    const CMacro* macro = chosen.empty() ? nullptr : Config()->FindMacroByName(chosen.c_str());
    if (!macro)
        return false;
    // A macro the device has not stored yet has no identifier: it is assigned by name.
    action = hv::IsNullGUID(macro->GetGuid()) ? AssignmentAction::ByName(kActionMacroByName, macro->GetName())
                                              : AssignmentAction(kActionMacro, macro->GetGuid());
    action.playMode = playMode;
    action.repeatCount = count;
    return true;
}

bool CVxItems_Mouse_ASB::ChooseProfile(const std::wstring& name, AssignmentAction& action) const
{
    const IMouseProfile* profile = name.empty() ? nullptr : Config()->FindProfileByName(name.c_str());
    if (!profile)
        return false;
    const GUID guid = profile->GetGuid();
    action = hv::IsNullGUID(guid) ? AssignmentAction::ByName(kActionProfileByName, profile->GetName().c_str())
                                  : AssignmentAction(kActionProfile, guid);
    return true;
}

void CVxItems_Mouse_ASB::StoreAssignment(int32_t button, const AssignmentAction& action)
{
    IMouseConfig* config = Config();
    IMouseProfile* profile = config ? config->GetActiveProfile() : nullptr;
    if (!profile)
        return;
    // The button as it is, with the device's own record where the read kept one, to put back.
    const AssignmentAction before = profile->GetButtonAssignment(button);
    RawAssignment kept{};
    const bool hadRecord = profile->GetDeviceRecord(button, kept);
    const uint64_t identity = profile->GetIdentity();
    if (!config->SetButtonAssignment(button, action, nullptr) || CheckClickAssigned())
        return;
    // The notice ran modally: the profile is put back only where it is still the one changed.
    profile = Config() ? Config()->GetActiveProfile() : nullptr;
    if (profile && profile->GetIdentity() == identity)
        profile->SetFromDevice(button, before, hadRecord ? &kept : nullptr);
}

bool CVxItems_Mouse_ASB::CheckClickAssigned()
{
    IMouseConfig* config = Config();
    if (!config || config->HasClickAssignment(nullptr))
        return true;
    CVxWarningDlg notice(m_dialog, L"NoClickPopup.xml");
    notice.DoModal();
    return false;
}
