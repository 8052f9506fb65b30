// Page 6: the keys' functions. The key items belong to the keyboard layout's own file (m_keyItems);
// the page's own list holds the profile drop-down, the options, the description window and the
// hidden current-assignment text.
//
// A key is marked by two flags that it draws: highlighted (the chosen key, drawn in its "over"
// picture) and checked (a key whose function is not its default, drawn in its "down" picture).
#include "core/ItemIds.h"
#include "VexaApp/VxPages.h"

#include "controls/BitmapWindow.h"
#include "controls/DropdownListItem.h"
#include "controls/KeyboardKeyItem.h"
#include "controls/ListPanelItem.h"
#include "controls/TextItem.h"
#include "core/KeyboardDef.h"
#include "core/NameTables.h"
#include "platform/CommonDialogs.h"
#include "platform/RawInput.h"
#include "platform/WStr.h"
#include "skin/LangTable.h"
#include "VexaApp/VxAppDlg.h"
#include "VexaApp/VxPopups.h"
#include "VexaApp/VxProfileHelpers.h"

namespace {

// The description window's pictures of the macro play modes 1 to 4.
constexpr int kPlayModePictureBase = 99;
// A program path the device's records hold (its terminator included in kActionNameLength).
constexpr size_t kMaxProgramPath = 256;
constexpr uint8_t kDisabledEntry = 1;  // ListEntry::flag bit of a row that cannot be chosen

bool IsMacroType(int32_t type) { return type == kActionMacro || type == kActionMacroByName; }
bool IsProfileSwitchType(int32_t type) { return type == kActionProfile || type == kActionProfileByName; }

std::wstring Translated(const wchar_t* key)
{
    std::wstring text;
    if (key)
        TranslateText(key, text);
    return text;
}

// The language key of an assignment type; null outside the table (0 to 65).
const wchar_t* TypeName(int32_t type)
{
    return type >= 0 && type <= kActionApmEvent ? FindAssignmentTypeName(type) : nullptr;
}

// "Ctrl + Shift + B": the modifiers of a key action and the system's name of its key.
std::wstring KeyCombinationText(const AssignmentAction& action)
{
    const uint8_t flags = action.payload.key.flags;
    std::wstring text;
    if (flags & kKeyFlagCtrl)
        text += L"Ctrl + ";
    if (flags & kKeyFlagAlt)
        text += L"Alt + ";
    if (flags & kKeyFlagShift)
        text += L"Shift + ";
    std::wstring name;
    GetKeyDisplayName(action.VirtualKey(), name, action.ScanCode(), (flags & kKeyFlagExtended) != 0);
    return text + name;
}

} // namespace

// ---- filling ------------------------------------------------------------------------------------

void CVxItems_Keyboard_ASK::InitAssignKeysPage(CVxAppDlg* dialog)
{
    m_dialog = dialog;
    m_profileCombo = FindAs<CDropdownListItem>(BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT, ItemKind::DropdownList);
    m_options = FindAs<CListPanelItem>(LISTPANEL_ASSIGNOPTIONS, ItemKind::ListPanelItem);
    m_keyWindow = FindAs<CBitmapWindow>(BITMAPWIN_ASSIGNKEY, ItemKind::BitmapWindow);
    m_currentAssignment = FindAs<CTextItem>(TEXT_CURRENTASSIGNMENT_TEXT, ItemKind::TextItem);
    FillAssignOptions();
    Refresh();  // fills the profile choice and leaves the options off until a key is chosen
}

void CVxItems_Keyboard_ASK::Refresh()
{
    // Without a profile at the first fill (no keyboard yet) the options come with the first one.
    if (m_options && m_options->Entries().empty())
        FillAssignOptions();
    ResetAssignKeysState();
    FillKeyboardProfileCombo();
    RecolourKeys();
    // The current assignment's text stays hidden, also after the page showed all its items.
    if (m_currentAssignment)
        m_currentAssignment->Show(false);
}

void CVxItems_Keyboard_ASK::ShowKeyItems(bool show)
{
    m_keyItems.ShowAll(show);
    if (show)
        RecolourKeys();
}

void CVxItems_Keyboard_ASK::FillKeyboardProfileCombo()
{
    FillProfileDropdown(m_profileCombo, Config());
    // An open choice offers what the configuration holds now.
    if (m_openMacroChoice)
        m_openMacroChoice->SetMacroNames(MacroNames());
    if (m_openProfileChoice)
        m_openProfileChoice->SetTexts(OtherProfileNames());
}

std::vector<std::wstring> CVxItems_Keyboard_ASK::MacroNames() const
{
    IKeyboardConfig* config = Config();
    std::vector<std::wstring> names;
    for (int i = 0; config && i < config->GetMacroCount(); ++i)
        if (const CMacro* macro = config->GetMacro(i))
            names.emplace_back(macro->GetName());
    return names;
}

std::vector<std::wstring> CVxItems_Keyboard_ASK::OtherProfileNames() const
{
    IKeyboardConfig* config = Config();
    const IKeyboardProfile* active = config ? config->GetActiveProfile() : nullptr;
    std::vector<std::wstring> names;
    for (int i = 0; config && i < config->GetProfileCount(); ++i)
        if (const IKeyboardProfile* profile = config->GetProfile(i); profile && profile != active)
            names.push_back(profile->GetName());
    return names;
}

void CVxItems_Keyboard_ASK::FillAssignOptions()
{
    IKeyboardConfig* config = Config();
    const IKeyboardProfile* profile = config ? config->GetActiveProfile() : nullptr;
    if (!m_options || !profile)
        return;
    std::vector<int32_t> types;
    profile->GetAllowedFunctions(types);
    std::vector<ListEntry> rows;
    for (int32_t type : types) {
        ListEntry row;
        const wchar_t* text = type >= 0 && type <= kActionApmEvent ? FindKeyDescription(type) : nullptr;
        row.Init(TypeName(type), type, text);
        rows.push_back(row);
    }
    m_options->SetEntries(rows);
    if (CListPanelStatic* list = m_options->StaticList())
        list->Invalidate(FALSE);
}

void CVxItems_Keyboard_ASK::EnableAssignOptions(bool enabled)
{
    if (!m_options)
        return;
    IKeyboardConfig* config = Config();
    const bool macros = config && config->GetMacroCount() > 0;
    const bool otherProfiles = config && config->GetProfileCount() > 1;
    std::vector<ListEntry> rows = m_options->Entries();
    for (ListEntry& row : rows) {
        const int32_t type = static_cast<int32_t>(row.value);
        bool on = enabled;
        if (IsMacroType(type))
            on = enabled && macros;
        else if (IsProfileSwitchType(type))
            on = enabled && otherProfiles;
        row.flag = static_cast<uint8_t>(on ? row.flag & ~kDisabledEntry : row.flag | kDisabledEntry);
    }
    m_options->SetEntries(rows);
    if (CListPanelStatic* list = m_options->StaticList())
        list->Invalidate(FALSE);
}

// ---- the chosen key and the key under the pointer ---------------------------------------------

CKeyboardKeyItem* CVxItems_Keyboard_ASK::KeyItem(int32_t id) const
{
    if (id < BUTTON_KB_ESC || id > BUTTON_KB_NUM_PT)
        return nullptr;
    return m_keyItems.FindAs<CKeyboardKeyItem>(id, ItemKind::KeyboardKeyItem);
}

void CVxItems_Keyboard_ASK::EmptyHint()
{
    if (m_options)
        m_options->SetListHeading(L"");
}

void CVxItems_Keyboard_ASK::EmptyDescription()
{
    if (!m_keyWindow)
        return;
    m_keyWindow->SetText(L"");
    m_keyWindow->SetAssignmentType(-1);
    m_keyWindow->SetContentImage(nullptr);
}

void CVxItems_Keyboard_ASK::OnKeyHover(int32_t keyId)
{
    CKeyboardKeyItem* key = KeyItem(keyId);
    if (!key)
        return;
    const bool changed = key != m_hoverKey;
    m_hoverKey = key;
    if (m_keyWindow)
        DescribeKey(key);
    if (!m_keySelected && changed)
        EmptyHint();
}

void CVxItems_Keyboard_ASK::OnKeyClicked(int32_t keyId)
{
    CKeyboardKeyItem* key = KeyItem(keyId);
    if (m_keySelected) {
        if (!key)
            return;
        if (key == m_selectedKey) {
            ClearKeySelection();
        } else {
            if (m_selectedKey)
                m_selectedKey->SetHighlighted(false);
            m_selectedKey = key;
            key->SetHighlighted(true);
            DescribeKey(key);
        }
        EmptyHint();
        if (!m_keySelected)
            EnableAssignOptions(false);
    } else {
        if (!key)
            return;
        if (m_hoverKey && m_hoverKey != key)
            m_hoverKey->SetHighlighted(false);
        m_selectedKey = key;
        EnableAssignOptions(true);
        m_keySelected = true;
        key->SetHighlighted(true);
    }
    RecolourKeys();
}

void CVxItems_Keyboard_ASK::ClearKeyHover()
{
    if (!m_keySelected)
        EmptyDescription();
    EmptyHint();
}

void CVxItems_Keyboard_ASK::ClearKeySelection()
{
    m_keySelected = false;
    if (m_selectedKey)
        m_selectedKey->SetHighlighted(false);
    m_selectedKey = nullptr;
    EmptyHint();
    EnableAssignOptions(false);
}

void CVxItems_Keyboard_ASK::ResetAssignKeysState()
{
    if (m_selectedKey)
        m_selectedKey->SetHighlighted(false);
    m_selectedKey = nullptr;
    EnableAssignOptions(false);
    m_keySelected = false;
    EmptyDescription();
}

void CVxItems_Keyboard_ASK::RecolourKeys()
{
    IKeyboardConfig* config = Config();
    if (!config || !config->GetActiveProfile())
        return;
    for (int32_t id = BUTTON_KB_ESC; id <= BUTTON_KB_NUM_PT; ++id) {
        CKeyboardKeyItem* key = KeyItem(id);
        if (!key || !key->KeyRecord())
            continue;
        if (key->IsHighlighted() != (key == m_selectedKey))
            key->SetHighlighted(key == m_selectedKey);
        const int32_t type = config->GetAssignment(key->KeyHash(), nullptr).type;
        key->SetState(type != kActionDefaultKey && type != kActionNone);  // repaints only on a change
    }
}

// ---- describing a key ---------------------------------------------------------------------------

void CVxItems_Keyboard_ASK::DescribeKey(CKeyboardKeyItem* key)
{
    IKeyboardConfig* config = Config();
    if (!key || !m_keyWindow || !config || !config->GetActiveProfile())
        return;
    const AssignmentAction action = config->GetAssignment(key->KeyHash(), nullptr);
    const int32_t type = action.type == kActionNone ? kActionDefaultKey : action.type;
    std::wstring text = Translated(TypeName(type));
    // A macro, profile or program that is gone leaves the type's name alone.
    const std::wstring detail = AssignmentDetail(action, *key);
    if (!detail.empty())
        text += L" | " + detail;
    int picture = type;
    if (IsMacroType(type) && action.playMode >= kPlayOnce && action.playMode <= kPlayWhileHeld)
        picture = kPlayModePictureBase + action.playMode;
    m_keyWindow->SetAssignmentType(picture);
    m_keyWindow->SetContentImage(key->NormalPicture());
    m_keyWindow->SetText(text.c_str());
}

std::wstring CVxItems_Keyboard_ASK::AssignmentDetail(const AssignmentAction& action, const CKeyboardKeyItem& key) const
{
    IKeyboardConfig* config = Config();
    switch (action.type) {
    case kActionSingleKey:
        return L" " + KeyCombinationText(action);
    case kActionMacro:
    case kActionMacroByName: {
        const CMacro* macro = action.type == kActionMacro ? config->FindMacroByGuid(action.payload.guid)
                                                          : config->FindMacroByName(action.payload.name);
        return macro ? std::wstring(L" ") + macro->GetName() : std::wstring();
    }
    case kActionProfile:
    case kActionProfileByName: {
        const IKeyboardProfile* profile = action.type == kActionProfile
                                              ? config->FindProfileByGuid(action.payload.guid)
                                              : config->FindProfileByName(action.payload.name);
        return profile ? L" " + profile->GetName() : std::wstring();
    }
    case kActionLaunch: {
        const CHvApp* app = config->FindAppByGuid(action.payload.guid);
        return app ? L" " + wstr::FileNameOf(app->name) : std::wstring();
    }
    case kActionLaunchByName:
        return L" " + wstr::FileNameOf(action.payload.name);
    default:
        return key.Caption();
    }
}

// ---- assigning ----------------------------------------------------------------------------------

void CVxItems_Keyboard_ASK::AssignKeyOption(int row)
{
    IKeyboardConfig* config = Config();
    if (row < 0 || !m_options || !config || !config->GetActiveProfile())
        return;
    const std::vector<ListEntry>& rows = m_options->Entries();
    if (static_cast<size_t>(row) >= rows.size())
        return;
    // The options' popups and file dialog may let a device read make the profiles anew: an
    // assignment goes to the profile it was chosen for only.
    const CAskedProfile<IKeyboardProfile> asked(*config->GetActiveProfile());
    m_askedProfile = &asked;
    switch (static_cast<int32_t>(rows[static_cast<size_t>(row)].value)) {
    case kActionDefaultKey:
        AssignKeyDefault();
        break;
    case kActionSingleKey:
        AssignKeySingleKey();
        break;
    case kActionMacro:
        AssignKeyMacro();
        break;
    case kActionProfile:
        AssignKeyProfileSwitch();
        break;
    case kActionLaunch:
        AssignKeyLaunchProgram();
        break;
    default:
        break;
    }
    m_askedProfile = nullptr;
    if (!m_keySelected)
        EnableAssignOptions(false);
    if (CListPanelStatic* list = m_options->StaticList())
        list->Invalidate(FALSE);
}

void CVxItems_Keyboard_ASK::AssignToSelectedKey(const AssignmentAction& action)
{
    IKeyboardConfig* config = Config();
    CKeyboardKeyItem* key = m_selectedKey;
    if (m_askedProfile && !m_askedProfile->StillActive(config))
        return;
    if (!config || !key || !config->SetAssignment(key->KeyHash(), action, nullptr))
        return;
    if (m_dialog)
        m_dialog->SetModified();
    key->SetState(action.type != kActionDefaultKey);
    ClearKeySelection();
    ClearKeyHover();
    m_hoverKey = nullptr;
    RecolourKeys();
}

bool CVxItems_Keyboard_ASK::AssignKeyDefault()
{
    if (!m_selectedKey || !m_selectedKey->KeyRecord())
        return false;
    KeyCode code;
    if (!GetKeyboardDef().GetDefaultCode(m_selectedKey->KeyHash(), code))
        return false;
    ::ReleaseCapture();
    AssignToSelectedKey(AssignmentAction::Key(kActionDefaultKey, static_cast<uint16_t>(code.code), 0,
                                              code.flags ? kKeyFlagExtended : 0));
    return true;
}

bool CVxItems_Keyboard_ASK::AssignKeySingleKey()
{
    if (!m_selectedKey)
        return false;
    SingleKeyEntry entry;
    CVexaPopupBoxSingleKeyEntry popup(m_dialog, &entry);
    // Modifiers alone (scan code 0) are no key to send.
    if (popup.DoModal() != IDOK || entry.text.empty() || entry.scanCode == 0)
        return false;
    AssignToSelectedKey(AssignmentAction::Key(kActionSingleKey, entry.scanCode, entry.virtualKey, entry.flags));
    return true;
}

bool CVxItems_Keyboard_ASK::AssignKeyMacro()
{
    IKeyboardConfig* config = Config();
    if (!m_selectedKey || !config)
        return false;
    const AssignmentAction current = config->GetAssignment(m_selectedKey->KeyHash(), nullptr);
    int playMode = kPlayOnce;
    std::wstring chosen;
    if (current.type == kActionMacro) {
        // A macro deleted since then preselects nothing.
        if (const CMacro* macro = config->FindMacroByGuid(current.payload.guid)) {
            chosen = macro->GetName();
            playMode = current.playMode;
        }
    }
    CVxMacroAssignmentPopup popup(m_dialog, &playMode, MacroNames(), &chosen);
    {
        const COpenPopup<CVxMacroAssignmentPopup> open(m_openMacroChoice, popup);
        if (popup.DoModal() != IDOK || chosen.empty())
            return false;
    }
    config = Config();
    const CMacro* macro = config ? config->FindMacroByName(chosen.c_str()) : nullptr;
    if (!macro)
        return false;
    AssignmentAction action = hv::IsNullGUID(macro->GetGuid())
                                  ? AssignmentAction::ByName(kActionMacroByName, macro->GetName())
                                  : AssignmentAction(kActionMacro, macro->GetGuid());
    action.playMode = playMode >= kPlayOnce && playMode <= kPlayWhileHeld ? playMode : kPlayOnce;
    action.repeatCount = 0;
    if (action.playMode == kPlayCount) {
        int count = 0;
        CVxNumEntryPopup countPopup(m_dialog, &count);
        // No count (cancelled, empty or 0) plays the macro once.
        if (countPopup.DoModal() == IDOK && count >= 1 && count <= CVxNumEntryPopup::kMaxCount) {
            action.repeatCount = count;
        } else {
            action.playMode = kPlayOnce;
            action.repeatCount = 0;
        }
    }
    AssignToSelectedKey(action);
    return true;
}

bool CVxItems_Keyboard_ASK::AssignKeyProfileSwitch()
{
    IKeyboardConfig* config = Config();
    if (!m_selectedKey || !config)
        return false;
    std::wstring chosen;
    CVxDropdownSelectPopup popup(m_dialog, OtherProfileNames(), &chosen);
    {
        const COpenPopup<CVxDropdownSelectPopup> open(m_openProfileChoice, popup);
        if (popup.DoModal() != IDOK || chosen.empty())
            return false;
    }
    config = Config();
    const IKeyboardProfile* profile = config ? config->FindProfileByName(chosen.c_str()) : nullptr;
    if (!profile)
        return false;
    AssignToSelectedKey(hv::IsNullGUID(profile->GetGuid())
                            ? AssignmentAction::ByName(kActionProfileByName, profile->GetName().c_str())
                            : AssignmentAction(kActionProfile, profile->GetGuid()));
    return true;
}

bool CVxItems_Keyboard_ASK::AssignKeyLaunchProgram()
{
    IKeyboardConfig* config = Config();
    if (!m_selectedKey || !config)
        return false;
    CFileDialog dialog(true, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, L"*.exe|*.exe||",
                       m_dialog ? m_dialog->m_hWnd : nullptr);
    if (dialog.DoModal() != IDOK)
        return false;
    const std::wstring path = dialog.GetPathName();
    if (path.size() >= kMaxProgramPath) {
        CVxWarningDlg notice(m_dialog, L"PathLengthLimitReachedPopUp.xml");
        notice.SetText(L"$AssignApplication");
        notice.DoModal();
        return false;
    }
    config = Config();
    if (!config)
        return false;
    const CHvApp* app = config->FindApp(path.c_str());
    if (!app)
        app = config->AddApp(path.c_str());
    if (!app)
        return false;
    AssignToSelectedKey(hv::IsNullGUID(app->guid) ? AssignmentAction::ByName(kActionLaunchByName, path.c_str())
                                                  : AssignmentAction(kActionLaunch, app->guid));
    return true;
}

// ---- profiles -----------------------------------------------------------------------------------

void CVxItems_Keyboard_ASK::SelectKeyboardProfile(int index)
{
    IKeyboardConfig* config = Config();
    IKeyboardProfile* profile = config && index >= 0 ? config->GetProfile(index) : nullptr;
    if (!profile)
        return;
    config->SetActiveProfile(profile);
    if (m_profileCombo)
        m_profileCombo->SetCurSel(index);
    RecolourKeys();
}

bool CVxItems_Keyboard_ASK::ResetKeyboardKeys()
{
    IKeyboardConfig* config = Config();
    const IKeyboardProfile* asked = config ? config->GetActiveProfile() : nullptr;
    if (!asked)
        return false;
    const CAskedProfile<IKeyboardProfile> question(*asked);
    if (CVxWarningDlg(m_dialog, L"RestorePopup.xml", (L": " + question.Name()).c_str()).DoModal() != IDOK)
        return false;
    // The question's loop may have read the keyboard again: only the profile asked about is reset,
    // and only while it is the one the page shows.
    IKeyboardProfile* active = question.StillActive(Config());
    if (!active)
        return false;
    active->ResetToDefaultKeys();
    Refresh();
    return true;
}
