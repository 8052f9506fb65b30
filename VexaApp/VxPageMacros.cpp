// Pages 4 and 8: the macros of the mouse and of the keyboard (VxPages.h).
#include "core/ItemIds.h"
#include "VexaApp/VxPages.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "controls/BitmapBtn.h"
#include "controls/DropdownListItem.h"
#include "controls/EditItem.h"
#include "controls/ListPanelItem.h"
#include "controls/MacroDisplay.h"
#include "controls/TextItem.h"
#include "model/ImportCheck.h"
#include "model/PredefinedMacros.h"
#include "platform/CommonDialogs.h"
#include "platform/WStr.h"
#include "VexaApp/VxAppDlg.h"
#include "VexaApp/VxPopups.h"
#include "VexaApp/VxProfileHelpers.h"

namespace {

// A configuration holds fewer macros than this; the middleware numbers them in 16 bits.
constexpr int kMaxMacros = 0x10000;
// The delay edit: what it shows first and whenever it held no delay, and its range (7 digits).
constexpr const wchar_t* kDefaultDelayText = L"50";
constexpr int32_t kMaxDefaultDelay = 9999999;
// A path this long is refused before it reaches the middleware.
constexpr size_t kMaxMacroPathChars = 256;
constexpr const wchar_t* kMacroExtension = L"hvm";

void EnableItem(CWnd* item, bool enable)
{
    if (item && item->GetSafeHwnd() && (item->IsWindowEnabled() != FALSE) != enable)
        item->EnableWindow(enable);
}

bool IsChecked(const CBitmapBtn* button)
{
    return button && button->IsChecked();
}

// A key event of the display with the key of the single-key popup in place of its own; its state
// (down or up) stays.
MacroEvent WithKey(MacroEvent event, const SingleKeyEntry& key)
{
    event.value = static_cast<int32_t>(key.scanCode | (static_cast<uint32_t>(key.virtualKey) << 16));
    event.extra = static_cast<int32_t>((static_cast<uint32_t>(event.extra) & 0xFF) | (static_cast<uint32_t>(key.flags) << 8));
    return event;
}

} // namespace

// ---- per product ----------------------------------------------------------------------------------

template <class Base>
const typename CVxMacroPage<Base>::Ids& CVxMacroPage<Base>::ItemIds()
{
    static const Ids mouse = {LIST_GLOBALMACROLIST,
                              MACRO_DISPLAY,
                              LISTPANEL_MACROOPTIONS_KEYSTROKE,
                              LISTPANEL_MACROOPTIONS_DELAY,
                              LISTPANEL_MACROOPTIONS_MOUSECLICK,
                              BUTTON_MACRO_CREATE,
                              BUTTON_MACRO_IMPORT,
                              BUTTON_MACRO_EXPORT,
                              BUTTON_MACRO_DELETE,
                              BUTTON_MACRO_RECORD,
                              BUTTON_MACRO_ADVANCED,
                              BUTTON_IGNORE_DELAY,
                              BUTTON_INSERTDEFAULT_DELAY,
                              EDITCTRL_DEFAULT_DELAY};
    static const Ids keyboard = {LIST_GLOBALMACROLIST_KEYBOARD,
                                 MACRO_DISPLAY_KEYBOARD,
                                 LISTPANEL_MACROOPTIONS_KEYBOARD_KEYSTROKE,
                                 LISTPANEL_MACROOPTIONS_KEYBOARD_DELAY,
                                 LISTPANEL_MACROOPTIONS_KEYBOARD_MOUSECLICK,
                                 BUTTON_MACRO_CREATE_KEYBOARD,
                                 BUTTON_MACRO_IMPORT_KEYBOARD,
                                 BUTTON_MACRO_EXPORT_KEYBOARD,
                                 BUTTON_MACRO_DELETE_KEYBOARD,
                                 BUTTON_MACRO_RECORD_KEYBOARD,
                                 BUTTON_MACRO_ADVANCED_KEYBOARD,
                                 BUTTON_IGNORE_DELAY_KEYBOARD,
                                 BUTTON_INSERTDEFAULT_DELAY_KEYBOARD,
                                 EDITCTRL_DEFAULT_DELAY_KEYBOARD};
    return kKeyboard ? keyboard : mouse;
}

template <class Base>
void CVxMacroPage<Base>::WaitForDevice()
{
    if constexpr (kKeyboard)
        this->m_dialog->WaitForKeyboard();
    else
        this->m_dialog->WaitForMouse();
}

// ---- first fill -----------------------------------------------------------------------------------

template <class Base>
void CVxMacroPage<Base>::InitMacroPage(CVxAppDlg* dialog)
{
    this->m_dialog = dialog;
    const Ids& ids = ItemIds();
    m_list = this->template FindAs<CDropdownListItem>(ids.list, ItemKind::DropdownList);
    m_display = this->template FindAs<CMacroDisplayItem>(ids.display, ItemKind::MacroDisplay);
    const auto button = [this](int32_t id) { return this->template FindAs<CBitmapBtn>(id, ItemKind::BitmapBtn); };
    m_create = button(ids.create);
    m_import = button(ids.import);
    m_export = button(ids.exportButton);
    m_delete = button(ids.remove);
    m_record = button(ids.record);
    m_advanced = button(ids.advanced);
    m_ignoreDelay = button(ids.ignoreDelay);
    m_defaultDelay = button(ids.defaultDelay);
    m_ignoreDelayText = this->template FindAs<CTextItem>(TEXT_IGNORE_DELAY, ItemKind::TextItem);
    m_defaultDelayText = this->template FindAs<CTextItem>(TEXT_INSERTDEFAULT_DELAY, ItemKind::TextItem);
    m_delayEdit = this->template FindAs<CEditItem>(ids.delayEdit, ItemKind::EditItem);

    if (m_display) {
        const auto menu = [this](int32_t id) { return this->template FindAs<CListPanelItem>(id, ItemKind::ListPanelItem); };
        m_display->SetMenus(menu(ids.keyMenu), menu(ids.delayMenu), menu(ids.mouseMenu));
    }
    // The configurations keep neither option: both start off.
    if (m_ignoreDelay)
        m_ignoreDelay->SetState(false);
    if (m_defaultDelay)
        m_defaultDelay->SetState(false);
    IgnoreMacroDelays();
    InsertDefaultDelays();
    if (m_delayEdit) {
        m_delayEdit->SetNumeric(true, 1, kMaxDefaultDelay);
        m_delayEdit->SetLimitText(CMacroDisplayItem::kDelayEditChars);
        m_delayEdit->SetWindowText(kDefaultDelayText);
        EnableItem(m_delayEdit, false);
    }
    EnableRecordAndAdvanced(false);
    FillMacroList();
}

void CVxItems_Mouse_MGM::InitMouseMacroPage(CVxAppDlg* dialog)
{
    InitMacroPage(dialog);
}

void CVxItems_Keyboard_MGM::InitKeyboardMacroPage(CVxAppDlg* dialog)
{
    InitMacroPage(dialog);
}

template <class Base>
void CVxMacroPage<Base>::Refresh()
{
    if (!m_list)
        return;
    // A device read makes the macros anew: the list shows the ones there are, and the macro shown
    // stays chosen only where the configuration still holds it.
    const std::wstring shown = m_list->GetCurSel() >= 0 ? m_list->ShownText() : std::wstring();
    FillMacroList();
    auto* config = this->Config();
    const CMacro* macro = config && !shown.empty() ? config->FindMacroByName(shown.c_str()) : nullptr;
    const int entry = macro ? m_list->FindEntry(macro->GetName()) : -1;
    if (entry >= 0) {
        m_list->SetCurSel(entry);
        if (!IsRecording())
            ShowMacro(macro);
        return;
    }
    if (IsRecording())
        return;
    m_list->ClearCurSel();
    m_list->Invalidate(FALSE);
    ShowMacro(nullptr);
    EnableRecordAndAdvanced(false);
}

template <class Base>
void CVxMacroPage<Base>::FillMacroList()
{
    if (!m_list)
        return;
    m_list->ClearEntries();
    if (auto* config = this->Config()) {
        for (int i = 0; i < config->GetMacroCount(); ++i)
            if (const CMacro* macro = config->GetMacro(i))
                m_list->AddEntry(macro->GetName());
    }
    m_list->Invalidate(FALSE);
}

// ---- the chosen macro -----------------------------------------------------------------------------

template <class Base>
CMacro* CVxMacroPage<Base>::ChosenMacro() const
{
    auto* config = this->Config();
    if (!m_list || !config || m_list->GetCurSel() < 0)
        return nullptr;
    return config->FindMacroByName(m_list->ShownText().c_str());
}

template <class Base>
bool CVxMacroPage<Base>::HasMacroSelection() const
{
    return m_list && m_list->GetCurSel() >= 0;
}

template <class Base>
void CVxMacroPage<Base>::ShowMacro(const CMacro* macro)
{
    if (!m_display)
        return;
    if (macro)
        m_display->SetEvents(&macro->GetEvents());
    else
        m_display->ClearEvents();
    m_display->Invalidate();
}

template <class Base>
void CVxMacroPage<Base>::OnMacroChosen(int index)
{
    if (!m_list || IsRecording())
        return;
    auto* config = this->Config();
    const std::wstring name = m_list->GetEntryText(index);
    ShowMacro(config && !name.empty() ? config->FindMacroByName(name.c_str()) : nullptr);
    EnableRecordAndAdvanced(true);
}

template <class Base>
void CVxMacroPage<Base>::OnMacroDisplayChanged()
{
    if (CMacro* macro = m_display ? ChosenMacro() : nullptr)
        macro->SetEvents(m_display->Events());
}

template <class Base>
void CVxMacroPage<Base>::EnableRecordAndAdvanced(bool enable)
{
    EnableItem(m_record, enable);
    EnableItem(m_advanced, enable);
}

// ---- create, delete, import, export ---------------------------------------------------------------

template <class Base>
void CVxMacroPage<Base>::CreateMacro()
{
    auto* config = this->Config();
    if (!config || config->GetMacroCount() >= kMaxMacros)
        return;
    std::wstring name;
    CVxNameEntryPopup entry(this->m_dialog, L"MacroNamePopup.xml", &name);
    if (entry.DoModal() != IDOK || name.empty())
        return;
    config = this->Config();
    if (!config || config->GetMacroCount() >= kMaxMacros)
        return;
    // Names compare without regard to case, as the devices keep them.
    const CMacro* existing = config->FindMacroByName(name.c_str());
    CMacro* macro = existing ? nullptr : config->AddMacro(name.c_str(), {});
    if (!macro) {
        const std::wstring shown = L": " + std::wstring(existing ? existing->GetName() : name.c_str());
        CVxWarningDlg(this->m_dialog, L"DuplicateMacroWarningPopup.xml", shown.c_str()).DoModal();
        return;
    }
    FillMacroList();
    if (m_list)
        m_list->SetCurSel(m_list->FindEntry(macro->GetName()));
    ShowMacro(macro);
    if (!IsRecording())
        EnableRecordAndAdvanced(true);
}

template <class Base>
void CVxMacroPage<Base>::DeleteMacro()
{
    const CMacro* macro = ChosenMacro();
    if (!macro)
        return;
    const CAskedMacro asked(*macro);
    const std::wstring shown = L": " + asked.Name();
    if (CVxWarningDlg(this->m_dialog, L"ConfirmDeleteMacroPopup.xml", shown.c_str()).DoModal() != IDOK)
        return;
    // The popup's loop may have read the device again: only the macro asked about is deleted.
    auto* config = this->Config();
    CMacro* doomed = asked.StillThere(config);
    if (!doomed) {
        Refresh();
        return;
    }
    config->RemoveMacro(doomed);
    FillMacroList();
    if (m_list && m_list->SetCurSel(0)) {
        ShowMacro(ChosenMacro());
        return;
    }
    if (m_list) {
        // The field shows the chosen entry's name: an empty entry chosen and dropped leaves it blank.
        m_list->AddEntry(L"");
        m_list->SetCurSel(0);
        m_list->ClearEntries();
        m_list->Invalidate(FALSE);
    }
    ShowMacro(nullptr);
    EnableRecordAndAdvanced(false);
}

template <class Base>
std::wstring CVxMacroPage<Base>::FileFilter() const
{
    return wstr::Format(L"%ls Macro Files (*.%ls)|*.%ls||", kMacroExtension, kMacroExtension, kMacroExtension);
}

template <class Base>
void CVxMacroPage<Base>::ImportMacro()
{
    auto* config = this->Config();
    if (!config)
        return;
    const std::wstring filter = FileFilter();
    CFileDialog dialog(true, kMacroExtension, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, filter.c_str(),
                       this->m_dialog->GetSafeHwnd());
    dialog.m_request.initialFolder = FileDialogFolder(config->GetMacroFolder());
    if (dialog.DoModal() != IDOK)
        return;
    const std::wstring path = dialog.GetPathName();
    if (path.size() >= kMaxMacroPathChars) {
        CVxWarningDlg notice(this->m_dialog, L"PathLengthLimitReachedPopUp.xml");
        notice.SetText(L"$Import");
        notice.DoModal();
        return;
    }
    WaitForDevice();
    auto* device = this->Device();
    ImportResult result;
    if (!device || !this->Config() || !device->ImportMacro(path.c_str(), this->Config(), &result)) {
        ShowImportRefusal(this->m_dialog, path, result, false);
        Refresh();
        return;
    }
    Refresh();
}

template <class Base>
void CVxMacroPage<Base>::ExportMacro()
{
    const CMacro* macro = ChosenMacro();
    if (!macro || (kKeyboard && macro->GetEvents().empty()))
        return;
    const CAskedMacro asked(*macro);
    // Only what a write reached the device with can be exported: an Apply just before is waited for.
    WaitForDevice();
    macro = asked.StillThere(this->Config());
    if (!macro)
        return;
    auto* device = this->Device();
    if (!device || !device->HasMacro(macro)) {
        const std::wstring shown = L": " + asked.Name();
        CVxWarningDlg(this->m_dialog, L"ExportMacroWarningPopup.xml", shown.c_str()).DoModal();
        return;
    }
    const std::wstring filter = FileFilter();
    CFileDialog dialog(false, kMacroExtension, nullptr, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, filter.c_str(),
                       this->m_dialog->GetSafeHwnd());
    if (auto* config = this->Config())
        dialog.m_request.initialFolder = FileDialogFolder(config->GetMacroFolder());
    if (dialog.DoModal() != IDOK)
        return;
    WaitForDevice();
    macro = asked.StillThere(this->Config());
    if (!macro)
        return;
    device = this->Device();
    if (!device || !device->ExportMacro(dialog.GetPathName().c_str(), macro))
        CVxWarningDlg(this->m_dialog, L"FileErrorPopUp.xml").DoModal();
}

// ---- recording ------------------------------------------------------------------------------------

template <class Base>
bool CVxMacroPage<Base>::IsRecording() const
{
    return m_display && m_display->IsRecording();
}

template <class Base>
bool CVxMacroPage<Base>::SetRecordingMode(bool recording)
{
    if constexpr (!kKeyboard)
        return true;
    // The keyboard reports its keys as plain keys only in its default mode.
    WaitForDevice();
    auto* keyboard = this->Device();
    return keyboard && (recording ? keyboard->SetDefaultMode() : keyboard->SetNormalMode());
}

template <class Base>
int32_t CVxMacroPage<Base>::DelayEditValue() const
{
    if (!m_delayEdit)
        return 0;
    const std::wstring text = m_delayEdit->GetWindowText();
    if (text.empty() || text.size() > static_cast<size_t>(CMacroDisplayItem::kDelayEditChars) ||
        !std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
        return 0;
    const long value = std::wcstol(text.c_str(), nullptr, 10);
    return value >= 1 && value <= kMaxDefaultDelay ? static_cast<int32_t>(value) : 0;
}

template <class Base>
bool CVxMacroPage<Base>::ToggleRecording()
{
    if (!m_display)
        return false;
    if (IsRecording()) {
        FinishRecording();
        return true;
    }
    const CMacro* chosen = ChosenMacro();
    if (!chosen)
        return false;
    const CAskedMacro asked(*chosen);
    if (IsChecked(m_defaultDelay)) {
        const int32_t delay = DelayEditValue();
        if (delay == 0) {
            CVxWarningDlg(this->m_dialog, L"DefaultDelayWarningPopup.xml").DoModal();
            return false;
        }
        m_display->SetDefaultDelay(delay);
    }
    if (!SetRecordingMode(true))
        return false;
    // The notice or the wait for the device may have read it again: the macro must still be there.
    if (!asked.StillThere(this->Config())) {
        SetRecordingMode(false);
        Refresh();
        return false;
    }
    if (kKeyboard)
        m_display->ClearEvents();
    // Presses on the record button (the one that stops the recording) are not part of the macro.
    m_display->SetCaptureWindow(m_record ? m_record->GetSafeHwnd() : nullptr);
    if (!m_display->ToggleRecording()) {
        // Another recorder holds the raw input: nothing starts, and the keyboard goes back.
        SetRecordingMode(false);
        if (kKeyboard)
            ShowMacro(ChosenMacro());
        return false;
    }
    EnableMacroControls(false);
    if (m_record)
        m_record->SetCaption(L"$Stop", 0);
    m_display->SetFocus();
    return true;
}

template <class Base>
void CVxMacroPage<Base>::FinishRecording()
{
    if (IsRecording())
        m_display->ToggleRecording();
    if (m_record)
        m_record->SetCaption(L"$Record", 0);
    if (CMacro* macro = ChosenMacro())
        macro->SetEvents(m_display->Events());
    EnableMacroControls(true);
    SetRecordingMode(false);
}

template <class Base>
void CVxMacroPage<Base>::StopRecording()
{
    if (IsRecording())
        FinishRecording();
}

template <class Base>
void CVxMacroPage<Base>::EnableMacroControls(bool enable)
{
    for (CBitmapBtn* button : {m_create, m_import, m_export, m_delete, m_ignoreDelay, m_defaultDelay})
        EnableItem(button, enable);
    EnableItem(m_advanced, enable && HasMacroSelection());
    for (CTextItem* text : {m_ignoreDelayText, m_defaultDelayText})
        if (text)
            text->SetDisabled(!enable);
    EnableItem(m_delayEdit, enable && IsChecked(m_defaultDelay));
    if (m_list) {
        m_list->SetDisabled(!enable);
        m_list->Invalidate(FALSE);
    }
}

// ---- recording options ----------------------------------------------------------------------------

template <class Base>
void CVxMacroPage<Base>::IgnoreMacroDelays()
{
    const bool ignore = IsChecked(m_ignoreDelay);
    if (m_display)
        m_display->SetIgnoreDelays(ignore);
    if (ignore && IsChecked(m_defaultDelay)) {
        m_defaultDelay->SetState(false);
        if (m_display)
            m_display->SetUseDefaultDelay(false);
        EnableItem(m_delayEdit, false);
    }
}

template <class Base>
void CVxMacroPage<Base>::InsertDefaultDelays()
{
    const bool insert = IsChecked(m_defaultDelay);
    if (m_display) {
        m_display->SetUseDefaultDelay(insert);
        if (const int32_t delay = insert ? DelayEditValue() : 0)
            m_display->SetDefaultDelay(delay);
    }
    EnableItem(m_delayEdit, insert);
    if (insert && IsChecked(m_ignoreDelay)) {
        m_ignoreDelay->SetState(false);
        if (m_display)
            m_display->SetIgnoreDelays(false);
    }
}

template <class Base>
void CVxMacroPage<Base>::OnDefaultDelayChanged()
{
    if (!m_delayEdit || !IsChecked(m_defaultDelay))
        return;
    const int32_t delay = DelayEditValue();
    if (delay != 0) {
        if (m_display)
            m_display->SetDefaultDelay(delay);
        return;
    }
    CVxWarningDlg(this->m_dialog, L"DefaultDelayWarningPopup.xml").DoModal();
    // Its own change runs this again, with a delay that holds.
    m_delayEdit->SetWindowText(kDefaultDelayText);
}

// ---- editing the events ---------------------------------------------------------------------------

template <class Base>
void CVxMacroPage<Base>::OnMacroListChangedImpl()
{
    if (!m_display || IsRecording())
        return;
    const int row = m_display->GetSelectedItem();
    const std::vector<MacroEvent>& events = m_display->Events();
    if (row < 0 || static_cast<size_t>(row) >= events.size() || events[static_cast<size_t>(row)].type != kMacroEventKey)
        return;
    const MacroEvent event = events[static_cast<size_t>(row)];
    const CMacro* shown = ChosenMacro();
    if (!shown)
        return;
    const CAskedMacro asked(*shown);
    SingleKeyEntry key;
    key.scanCode = static_cast<uint16_t>(static_cast<uint32_t>(event.value) & 0xFFFF);
    key.virtualKey = static_cast<uint16_t>(static_cast<uint32_t>(event.value) >> 16);
    key.flags = static_cast<uint8_t>(static_cast<uint32_t>(event.extra) >> 8);
    key.text = CMacroDisplayItem::RowText(event);
    CVexaPopupBoxSingleKeyEntry popup(this->m_dialog, &key);
    // Modifiers alone make no key event: the event stays.
    if (popup.DoModal() != IDOK || key.scanCode == 0)
        return;
    // The popup's loop served other messages: the macro must still be the one shown, and the row the
    // same key event.
    if (!asked.StillThere(this->Config()) || IsRecording())
        return;
    if (static_cast<size_t>(row) >= m_display->Events().size() || !(m_display->Events()[static_cast<size_t>(row)] == event))
        return;
    m_display->ReplaceEvent(row, WithKey(event, key));
    OnMacroDisplayChanged();
}

template <class Base>
void CVxMacroPage<Base>::InsertPredefinedCommand()
{
    const CMacro* chosen = m_display && !IsRecording() ? ChosenMacro() : nullptr;
    if (!chosen)
        return;
    const CAskedMacro asked(*chosen);
    CVxPredefinedMacroPopup popup(this->m_dialog);
    if (popup.DoModal() != IDOK || popup.Result().empty())
        return;
    std::vector<MacroEvent> command;
    PredefinedMacros().GetMacro(popup.Result().c_str(), command);
    CMacro* macro = asked.StillThere(this->Config());
    if (!macro || command.empty() || IsRecording())
        return;
    std::vector<MacroEvent> events = macro->GetEvents();
    if (events.size() + command.size() > kMaxMacroEvents)
        return;
    const int selected = m_display->GetSelectedItem();
    const bool hasSelection = selected >= 0 && static_cast<size_t>(selected) < events.size();
    size_t at;
    if (kKeyboard)
        at = hasSelection ? static_cast<size_t>(selected) : events.size();
    else
        at = hasSelection ? static_cast<size_t>(selected) + 1 : 0;
    events.insert(events.begin() + static_cast<std::ptrdiff_t>(at), command.begin(), command.end());
    macro->SetEvents(events);
    m_display->SetEvents(&macro->GetEvents());
}

void CVxItems_Mouse_MGM::OpenMouseAdvancedMacroPopup()
{
    InsertPredefinedCommand();
}

void CVxItems_Keyboard_MGM::OpenKeyboardAdvancedMacroPopup()
{
    InsertPredefinedCommand();
}

template class CVxMacroPage<CVxMousePage>;
template class CVxMacroPage<CVxKeyboardPage>;
