#include "VexaApp/VxPopups.h"

#include <shlobj.h>

#include "controls/BitmapBtn.h"
#include "controls/DropdownListItem.h"
#include "controls/EditItem.h"
#include "controls/TextItem.h"
#include "core/ItemIds.h"
#include "model/ImportCheck.h"
#include "platform/WStr.h"
#include "VexaApp/VxPopupCommands.h"

namespace {

// DT_CENTER | DT_END_ELLIPSIS: a heading with a long name appended stays on its line.
constexpr UINT kAppendedHeadingFormat = 0x8001;

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring DocumentsFolder()
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::wstring();
    return path;
}

// The message that says what is wrong with an imported name; null for other outcomes.
const wchar_t* NameFaultMessage(ImportOutcome outcome)
{
    switch (outcome) {
    case ImportOutcome::NameEmpty:
        return L"$ImportNameEmptyMessage";
    case ImportOutcome::NameTooLong:
        return L"$ImportNameTooLongMessage";
    case ImportOutcome::NameControl:
        return L"$ImportNameControlMessage";
    default:
        return nullptr;
    }
}

} // namespace

std::wstring FileDialogFolder(const wchar_t* folder)
{
    std::wstring path = folder ? folder : L"";
    if (!path.empty()) {
        // The install folder comes without it: it is made on first use.
        if (IsFolder(path) || ::CreateDirectoryW(path.c_str(), nullptr) || IsFolder(path))
            return path;
    }
    return DocumentsFolder();
}

void ShowImportRefusal(CWnd* owner, const std::wstring& path, const ImportResult& result, bool profile)
{
    if (result.outcome == ImportOutcome::Imported)
        return;
    if (result.outcome == ImportOutcome::NameInUse) {
        const std::wstring shown = L": " + result.name;
        CVxWarningDlg(owner, profile ? L"DuplicateProfileWarningPopup.xml" : L"DuplicateMacroWarningPopup.xml",
                      shown.c_str())
            .DoModal();
        return;
    }
    const std::wstring file = L": " + wstr::FileNameOf(path);
    CVxWarningDlg notice(owner, L"FileErrorPopUp.xml", file.c_str());
    if (const wchar_t* message = NameFaultMessage(result.outcome))
        notice.SetMessage(message);
    notice.DoModal();
}

int32_t CommandItemId(const CGUIItems& items, LPARAM lParam)
{
    // Items without a window (fonts, tables) carry window 0: a command without one names none.
    const HWND from = reinterpret_cast<HWND>(lParam);
    const CGUIItem* item = from ? items.FindByWindow(from) : nullptr;
    return item ? item->id : -1;
}

void RefillList(CDropdownListItem& list, const std::vector<std::wstring>& texts, const std::wstring& selected)
{
    list.ClearEntries();
    for (const std::wstring& text : texts)
        list.AddEntry(text.c_str());
    const int kept = selected.empty() ? -1 : list.FindEntry(selected);
    if (!texts.empty())
        list.SetCurSel(kept >= 0 ? kept : 0);
    else
        list.ClearCurSel();
    list.Invalidate(FALSE);
}

void AppendToHeading(CTextItem& heading, const std::wstring& text)
{
    heading.SetFormat(kAppendedHeadingFormat);
    heading.SetText((heading.GetText() + text).c_str(), 0);
}

// ---- CVxWarningDlg ------------------------------------------------------------------------------

CVxWarningDlg::CVxWarningDlg(CWnd* owner, const wchar_t* layoutFile, const wchar_t* append)
    : CPopupBox(layoutFile, owner), m_append(append ? append : L"")
{
}

CVxWarningDlg::~CVxWarningDlg() = default;

void CVxWarningDlg::SetText(const wchar_t* text)
{
    m_text = text ? text : L"";
    m_replaceText = true;
    if (m_heading)
        m_heading->SetText(m_text.c_str(), 0);
}

void CVxWarningDlg::SetMessage(const wchar_t* text)
{
    m_messageText = text ? text : L"";
    if (m_message)
        m_message->SetText(m_messageText.c_str(), 0);
}

void CVxWarningDlg::BindItems()
{
    m_message = m_items.FindAs<CTextItem>(TEXT_WARNDLG_MESSAGE, ItemKind::TextItem);
    if (m_message && !m_messageText.empty())
        m_message->SetText(m_messageText.c_str(), 0);
    m_heading = m_items.FindAs<CTextItem>(TEXT_WARNDLG_HEADING, ItemKind::TextItem);
    if (!m_heading)
        return;
    if (m_replaceText)
        m_heading->SetText(m_text.c_str(), 0);
    if (!m_append.empty())
        AppendToHeading(*m_heading, m_append);
}

BOOL CVxWarningDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (CommandItemId(m_items, lParam)) {
    case BUTTON_POPUP_YES:
    case BUTTON_POPUP_OK:
    case BUTTON_POPUP_SINGLE_OK:
        EndDialog(IDOK);
        return TRUE;
    case BUTTON_POPUP_NO:
    case BUTTON_POPUP_CANCEL:
    case BUTTON_POPUP_SINGLE_CANCEL:
        EndDialog(IDCANCEL);
        return TRUE;
    default:
        return CPopupBox::OnCommand(wParam, lParam);
    }
}

// ---- CVxFormPopup -------------------------------------------------------------------------------

CVxFormPopup::CVxFormPopup(const wchar_t* layoutFile, CWnd* owner) : CPopupBox(layoutFile, owner)
{
}

CVxFormPopup::~CVxFormPopup() = default;

BOOL CVxFormPopup::OnInitDialog()
{
    CPopupBox::OnInitDialog();
    if (!m_focus)
        return TRUE;
    m_focus->SetFocus();
    return FALSE;
}

BOOL CVxFormPopup::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (CommandItemId(m_items, lParam)) {
    case BUTTON_POPUP_OK:
        OnOK();
        return TRUE;
    case BUTTON_POPUP_CANCEL:
        OnCancel();
        return TRUE;
    default:
        return CPopupBox::OnCommand(wParam, lParam);
    }
}

// ---- CVxNameEntryPopup --------------------------------------------------------------------------

CVxNameEntryPopup::CVxNameEntryPopup(CWnd* owner, const wchar_t* layoutFile, std::wstring* result)
    : CVxFormPopup(layoutFile, owner), m_result(result)
{
}

CVxNameEntryPopup::CVxNameEntryPopup(CWnd* owner, const wchar_t* layoutFile, std::wstring* result,
                                     const wchar_t* headingAppend)
    : CVxFormPopup(layoutFile, owner), m_result(result), m_headingAppend(headingAppend ? headingAppend : L"")
{
}

CVxNameEntryPopup::~CVxNameEntryPopup() = default;

void CVxNameEntryPopup::BindItems()
{
    m_edit = m_items.FindAs<CEditItem>(EDITCTRL_POPUP_NAMEENTRY, ItemKind::EditItem);
    m_heading = m_items.FindAs<CTextItem>(TEXT_WARNDLG_HEADING, ItemKind::TextItem);
    if (m_heading && !m_headingAppend.empty())
        AppendToHeading(*m_heading, m_headingAppend);
    if (m_edit)
        m_edit->SetLimitText(kMaxNameLength);
    m_focus = m_edit;
}

void CVxNameEntryPopup::OnOK()
{
    if (m_result)
        *m_result = m_edit ? m_edit->GetWindowText().substr(0, kMaxNameLength) : std::wstring();
    EndDialog(IDOK);
}


// ---- CVxNumEntryPopup ---------------------------------------------------------------------------

CVxNumEntryPopup::CVxNumEntryPopup(CWnd* owner, int* result)
    : CVxFormPopup(L"MacroRepeatEntryPopup.xml", owner), m_result(result)
{
}

CVxNumEntryPopup::~CVxNumEntryPopup() = default;

void CVxNumEntryPopup::BindItems()
{
    m_edit = m_items.FindAs<CEditItem>(EDITCTRL_POPUP_NUMENTRY, ItemKind::EditItem);
    if (m_edit)
        m_edit->SetNumeric(true, kMinCount, kMaxCount);
    m_focus = m_edit;
}

void CVxNumEntryPopup::OnOK()
{
    // The edit takes digits only, within the range; anything else read here is no count.
    const std::wstring text = m_edit ? m_edit->GetWindowText() : std::wstring();
    int count = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9' || count > kMaxCount) {
            count = 0;
            break;
        }
        count = count * 10 + (c - L'0');
    }
    if (count < kMinCount || count > kMaxCount) {
        EndDialog(IDCANCEL);
        return;
    }
    if (m_result)
        *m_result = count;
    EndDialog(IDOK);
}


// ---- CVxDropdownSelectPopup ---------------------------------------------------------------------

CVxDropdownSelectPopup::CVxDropdownSelectPopup(CWnd* owner, std::vector<std::wstring> texts, std::wstring* result)
    : CVxFormPopup(L"SelectProfilePopup.xml", owner), m_texts(std::move(texts)), m_result(result)
{
}

CVxDropdownSelectPopup::~CVxDropdownSelectPopup() = default;

void CVxDropdownSelectPopup::BindItems()
{
    m_list = m_items.FindAs<CDropdownListItem>(LIST_DROPDOWN_POPUP, ItemKind::DropdownList);
    if (!m_list)
        return;
    m_list->ClearEntries();
    for (const std::wstring& text : m_texts)
        m_list->AddEntry(text.c_str());
    m_list->SetCurSel(0);
}

void CVxDropdownSelectPopup::SetTexts(std::vector<std::wstring> texts)
{
    m_texts = std::move(texts);
    if (!m_list)
        return;
    const int selected = m_list->GetCurSel();
    const std::wstring kept = selected >= 0 ? m_list->GetEntryText(selected) : std::wstring();
    RefillList(*m_list, m_texts, kept);
}

void CVxDropdownSelectPopup::OnOK()
{
    const int selected = m_list ? m_list->GetCurSel() : -1;
    if (selected >= 0 && m_result)
        *m_result = m_list->GetEntryText(selected);
    EndDialog(IDOK);
}


// ---- CVxMacroAssignmentPopup --------------------------------------------------------------------

namespace {

// The play buttons and the mode each stands for (the modes are the assignment's play modes).
struct PlayButton
{
    int32_t id;
    int mode;
};
constexpr PlayButton kPlayButtonModes[] = {
    {BUTTON_MACRO_PLAY_ONCE, 1},
    {BUTTON_MACRO_PLAY_MULTIPLE, 2},
    {BUTTON_MACRO_PLAY_WHILEPRESSED, 4},
    {BUTTON_MACRO_PLAY_UNTILPRESSED, 3},
};

int KnownPlayMode(int mode)
{
    return mode >= 1 && mode <= 4 ? mode : 1;
}

} // namespace

CVxMacroAssignmentPopup::CVxMacroAssignmentPopup(CWnd* owner, int* playMode, std::vector<std::wstring> macroNames,
                                                 std::wstring* chosen)
    : CVxFormPopup(L"SelectMacroPopup.xml", owner),
      m_playModeOut(playMode),
      m_playMode(KnownPlayMode(playMode ? *playMode : 1)),
      m_macroNames(std::move(macroNames)),
      m_chosen(chosen)
{
    static_assert(sizeof(kPlayButtonModes) / sizeof(kPlayButtonModes[0]) == kPlayButtons);
}

CVxMacroAssignmentPopup::~CVxMacroAssignmentPopup() = default;

void CVxMacroAssignmentPopup::BindItems()
{
    m_list = m_items.FindAs<CDropdownListItem>(LIST_DROPDOWN_POPUP, ItemKind::DropdownList);
    for (int i = 0; i < kPlayButtons; ++i)
        m_playButtons[i] = m_items.FindAs<CBitmapBtn>(kPlayButtonModes[i].id, ItemKind::BitmapBtn);
    if (m_list)
        RefillList(*m_list, m_macroNames, m_chosen ? *m_chosen : std::wstring());
    MarkPlayMode();
}

void CVxMacroAssignmentPopup::SetMacroNames(std::vector<std::wstring> macroNames)
{
    m_macroNames = std::move(macroNames);
    if (!m_list)
        return;
    const int selected = m_list->GetCurSel();
    const std::wstring kept = selected >= 0 ? m_list->GetEntryText(selected) : std::wstring();
    RefillList(*m_list, m_macroNames, kept);
}

void CVxMacroAssignmentPopup::MarkPlayMode()
{
    for (int i = 0; i < kPlayButtons; ++i) {
        if (m_playButtons[i])
            m_playButtons[i]->SetState(kPlayButtonModes[i].mode == m_playMode);
    }
}

void CVxMacroAssignmentPopup::OnPlayButton(int index)
{
    CBitmapBtn* pressed = m_playButtons[index];
    // The button has toggled itself: marked now, its mode is chosen; unmarked, none is.
    if (!pressed || !pressed->IsChecked()) {
        m_playMode = 0;
        return;
    }
    m_playMode = kPlayButtonModes[index].mode;
    MarkPlayMode();
}

void CVxMacroAssignmentPopup::OnOK()
{
    const int selected = m_list ? m_list->GetCurSel() : -1;
    if (selected >= 0 && m_chosen)
        *m_chosen = m_list->GetEntryText(selected);
    if (m_playModeOut)
        *m_playModeOut = KnownPlayMode(m_playMode);
    EndDialog(IDOK);
}

BOOL CVxMacroAssignmentPopup::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int32_t id = CommandItemId(m_items, lParam);
    for (int i = 0; i < kPlayButtons; ++i) {
        if (id == kPlayButtonModes[i].id) {
            OnPlayButton(i);
            return TRUE;
        }
    }
    return CVxFormPopup::OnCommand(wParam, lParam);
}
