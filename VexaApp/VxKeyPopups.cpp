// The single-key popup and the predefined-command popup: the two popups that give the macro and
// assignment pages a key or a ready-made command.
#include "core/ItemIds.h"
#include "VexaApp/VxPopups.h"

#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "controls/DropdownListItem.h"
#include "controls/EditItem.h"
#include "model/PredefinedMacros.h"
#include "VexaApp/VexaAppRes.h"
#include "VexaApp/VxPopupCommands.h"

// ---- CVexaPopupBoxSingleKeyEntry ----------------------------------------------------------------

CVexaPopupBoxSingleKeyEntry::CVexaPopupBoxSingleKeyEntry(CWnd* owner, SingleKeyEntry* result)
    : CVxFormPopup(L"SingleKeyPopup.xml", owner), m_result(result)
{
}

CVexaPopupBoxSingleKeyEntry::~CVexaPopupBoxSingleKeyEntry() = default;

void CVexaPopupBoxSingleKeyEntry::BindItems()
{
    m_edit = m_items.FindAs<CEditItemSingleKeyInputMMO>(EDITCTRL_POPUP_SINGLEKEYENTRY, ItemKind::EditItemSingleKey);
    m_focus = m_edit;
}

BOOL CVexaPopupBoxSingleKeyEntry::OnInitDialog()
{
    const BOOL result = CVxFormPopup::OnInitDialog();
    // Raw input shows the keys the system keeps for itself too (Alt, the Windows keys); where
    // another window holds the registration, the key messages of the focused edit still serve.
    if (m_edit)
        m_edit->RegisterKeyInput();
    return result;
}

BOOL CVexaPopupBoxSingleKeyEntry::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN)
        m_escOrEnter = msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN;
    else if (msg->message == WM_LBUTTONDOWN)
        m_escOrEnter = false;
    return CVxFormPopup::PreTranslateMessage(msg);
}

void CVexaPopupBoxSingleKeyEntry::OnOK()
{
    // Enter meant for the edit: a key, not the answer.
    if (m_escOrEnter || !m_edit)
        return;
    const bool keyTyped = m_edit->KeyScanCode() != 0;
    if (!keyTyped && m_edit->Modifiers() == 0)
        return;  // nothing captured yet: the popup waits for a key
    if (m_result) {
        m_result->text = m_edit->GetWindowText();
        m_result->scanCode = m_edit->KeyScanCode();
        m_result->virtualKey = m_edit->KeyVirtualKey();
        m_result->flags = m_edit->Modifiers();
    }
    EndDialog(IDOK);
}

void CVexaPopupBoxSingleKeyEntry::OnCancel()
{
    if (m_escOrEnter)
        return;
    if (m_result)
        m_result->text.clear();
    EndDialog(IDCANCEL);
}


// ---- CPredefinedMacroPopup ----------------------------------------------------------------------

BEGIN_MSG_MAP(CPredefinedMacroPopup, CGUIPanel)
    ON_MESSAGE(WM_DROPDOWN_CLICKED, OnDropdownClicked)
    ON_MESSAGE(WM_DROPDOWN_SELCHANGE, OnDropdownSelChange)
END_MSG_MAP()

CPredefinedMacroPopup::CPredefinedMacroPopup(UINT templateId, const wchar_t* layoutFile, CWnd* owner)
    : CGUIPanel(templateId, layoutFile, owner)
{
}

CPredefinedMacroPopup::CPredefinedMacroPopup(const DLGTEMPLATE* dialogTemplate, const wchar_t* layoutFile,
                                             CWnd* owner)
    : CGUIPanel(dialogTemplate, layoutFile, owner)
{
}

CPredefinedMacroPopup::~CPredefinedMacroPopup() = default;

void CPredefinedMacroPopup::BindItems()
{
    m_basicList = nullptr;
    m_advancedList = nullptr;
    m_addBasic = nullptr;
    m_addAdvanced = nullptr;
    m_close = nullptr;
}

BOOL CPredefinedMacroPopup::OnInitDialog()
{
    BindItems();
    // The template's own OK and Cancel stand under the skin's buttons: Esc still cancels through
    // them, but only the skin's are seen.
    for (int id : {IDOK, IDCANCEL}) {
        if (HWND button = GetDlgItem(id))
            ::ShowWindow(button, SW_HIDE);
    }
    // Each list shows its first command, which its add button adds until another is chosen.
    FillBasicMacroCommands();
    FillAdvancedMacroCommands();
    if (m_basicList)
        m_basicList->SetCurSel(m_basicIndex);
    if (m_advancedList)
        m_advancedList->SetCurSel(m_advancedIndex);
    return CGUIPanel::OnInitDialog();
}

void CPredefinedMacroPopup::FillBasicMacroCommands()
{
    if (!m_basicList)
        return;
    std::vector<std::wstring> names;
    PredefinedMacros().GetFirstGroupNames(names);
    m_basicList->ClearEntries();
    for (const std::wstring& name : names)
        m_basicList->AddEntry(name.c_str());
}

void CPredefinedMacroPopup::FillAdvancedMacroCommands()
{
    if (!m_advancedList)
        return;
    std::vector<std::wstring> names;
    PredefinedMacros().GetSecondGroupNames(names);
    m_advancedList->ClearEntries();
    for (const std::wstring& name : names)
        m_advancedList->AddEntry(name.c_str());
}

LRESULT CPredefinedMacroPopup::OnDropdownClicked(WPARAM, LPARAM lParam)
{
    const HWND from = reinterpret_cast<HWND>(lParam);
    if (m_basicList && from == m_basicList->GetSafeHwnd())
        FillBasicMacroCommands();
    else if (m_advancedList && from == m_advancedList->GetSafeHwnd())
        FillAdvancedMacroCommands();
    return 0;
}

LRESULT CPredefinedMacroPopup::OnDropdownSelChange(WPARAM wParam, LPARAM lParam)
{
    const HWND from = reinterpret_cast<HWND>(lParam);
    const int index = static_cast<int>(wParam);
    if (m_basicList && from == m_basicList->GetSafeHwnd())
        m_basicIndex = index;
    else if (m_advancedList && from == m_advancedList->GetSafeHwnd())
        m_advancedIndex = index;
    return 0;
}

void CPredefinedMacroPopup::Add(CDropdownListItem* list, int index)
{
    // A list without commands adds nothing: IDOK always names a command.
    const std::wstring name = list ? list->GetEntryText(index) : std::wstring();
    if (name.empty())
        return;
    m_result = name;
    EndDialog(IDOK);
}

BOOL CPredefinedMacroPopup::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (CommandItemId(m_items, lParam)) {
    case BUTTON_ADD_BASIC_MACRO_CMDS:
        Add(m_basicList, m_basicIndex);
        return TRUE;
    case BUTTON_ADD_ADV_MACRO_CMDS:
        Add(m_advancedList, m_advancedIndex);
        return TRUE;
    case BUTTON_POPUP_SINGLE_OK:
        EndDialog(IDCANCEL);
        return TRUE;
    default:
        return CGUIPanel::OnCommand(wParam, lParam);
    }
}

// ---- CVxPredefinedMacroPopup --------------------------------------------------------------------

namespace {
constexpr wchar_t kPredefinedMacroLayout[] = L"AdvancedMacroPopup.xml";
}

CVxPredefinedMacroPopup::CVxPredefinedMacroPopup(CWnd* owner)
    : CPredefinedMacroPopup(IDD_VEXA_PREDEFINED_MACRO, kPredefinedMacroLayout, owner)
{
}

CVxPredefinedMacroPopup::CVxPredefinedMacroPopup(CWnd* owner, const DLGTEMPLATE* dialogTemplate)
    : CPredefinedMacroPopup(dialogTemplate, kPredefinedMacroLayout, owner)
{
}

void CVxPredefinedMacroPopup::BindItems()
{
    CPredefinedMacroPopup::BindItems();
    m_basicList = m_items.FindAs<CDropdownListItem>(LIST_GLOBAL_BASIC_COMMANDS, ItemKind::DropdownList);
    m_advancedList = m_items.FindAs<CDropdownListItem>(LIST_GLOBAL_ADDITIONAL_COMMANDS, ItemKind::DropdownList);
    m_addBasic = m_items.FindAs<CBitmapBtn>(BUTTON_ADD_BASIC_MACRO_CMDS, ItemKind::BitmapBtn);
    m_addAdvanced = m_items.FindAs<CBitmapBtn>(BUTTON_ADD_ADV_MACRO_CMDS, ItemKind::BitmapBtn);
    m_close = m_items.FindAs<CBitmapBtn>(BUTTON_POPUP_SINGLE_OK, ItemKind::BitmapBtn);
}
