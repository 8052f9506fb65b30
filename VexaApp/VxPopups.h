// The notices and questions of the configuration program: popups built from a layout file of
// their own ("NoMousePopup.xml", "RefreshBeforeProductSwitchPopup.xml"...), run modally over the
// main dialog. A question answers IDOK for Yes and IDCANCEL for No; a notice closes with IDOK.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/PopupBox.h"
#include "model/ImportCheck.h"
#include "platform/GdiObject.h"

class CBitmapBtn;
class CDropdownListItem;
class CEditItem;
class CEditItemSingleKeyInputMMO;
class CTextItem;
class IMouseConfig;
class IMouseProfile;
struct AssignmentAction;
struct ImportResult;

// The folder a file dialog starts in: folder, made when it is missing; the user's documents
// folder when it cannot be made (or none is given).
std::wstring FileDialogFolder(const wchar_t* folder);

// Tells why an import of the file at path was not taken: the duplicate notice of a profile or a
// macro ("DuplicateProfileWarningPopup.xml", "DuplicateMacroWarningPopup.xml") for a name in use,
// else "FileErrorPopUp.xml" naming the file, its message saying what is wrong with the name where
// the name was at fault.
void ShowImportRefusal(CWnd* owner, const std::wstring& path, const ImportResult& result, bool profile);

class CVxWarningDlg : public CPopupBox
{
public:
    // append: a text put after the heading's own ("": " + a profile name), or null.
    CVxWarningDlg(CWnd* owner, const wchar_t* layoutFile, const wchar_t* append = nullptr);
    ~CVxWarningDlg() override;

    // Replaces the heading's text; called before the popup runs, it is shown once it is up.
    void SetText(const wchar_t* text);
    // Replaces the message's text (262 TEXT_WARNDLG_MESSAGE), as SetText does the heading's.
    void SetMessage(const wchar_t* text);

protected:
    void BindItems() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    CTextItem* m_heading = nullptr;  // items of the popup's own list
    CTextItem* m_message = nullptr;
    std::wstring m_append;
    std::wstring m_text;
    bool m_replaceText = false;
    std::wstring m_messageText;
};

// --- Entry forms. Each is made on the stack of the handler that shows it, run with DoModal() and
// read from the variables given to its constructor; the modal result is IDOK or IDCANCEL. Enter
// acts as the form's OK button and Escape as its Cancel button, except in the single-key form.

// The base of the entry forms: the OK (54) and Cancel (56) buttons act as the dialog's OnOK and
// OnCancel, and the control a form names in m_focus has the focus when the form shows.
class CVxFormPopup : public CPopupBox
{
public:
    CVxFormPopup(const wchar_t* layoutFile, CWnd* owner);
    ~CVxFormPopup() override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    CWnd* m_focus = nullptr;  // an item of the popup's own list, set by BindItems
};

// A name ("MacroNamePopup.xml", "ProfileNamePopup.xml", "ProfileRenamePopup.xml"), at most 20
// characters. OK stores the edit's text (empty when nothing was typed) in *result; Cancel leaves it.
class CVxNameEntryPopup : public CVxFormPopup
{
public:
    // Names read from files obey the same bound.
    static constexpr int kMaxNameLength = static_cast<int>(kMaxItemNameLength);

    CVxNameEntryPopup(CWnd* owner, const wchar_t* layoutFile, std::wstring* result);
    // The rename form: headingAppend follows the heading's own text (": " + the old name).
    CVxNameEntryPopup(CWnd* owner, const wchar_t* layoutFile, std::wstring* result,
                      const wchar_t* headingAppend);
    ~CVxNameEntryPopup() override;

protected:
    void BindItems() override;
    void OnOK() override;

private:
    std::wstring* m_result;
    std::wstring m_headingAppend;
    CEditItem* m_edit = nullptr;      // items of the popup's own list
    CTextItem* m_heading = nullptr;
};

// A repeat count ("MacroRepeatEntryPopup.xml"); the edit takes only the numbers 1..255. IDOK means
// *result holds a count of 1..255. OK on an empty edit ends the popup with IDCANCEL, as Cancel does:
// no count was given, and *result is left as it was in both cases.
class CVxNumEntryPopup : public CVxFormPopup
{
public:
    static constexpr int kMinCount = 1;
    static constexpr int kMaxCount = 255;

    CVxNumEntryPopup(CWnd* owner, int* result);
    ~CVxNumEntryPopup() override;

protected:
    void BindItems() override;
    void OnOK() override;

private:
    int* m_result;
    CEditItem* m_edit = nullptr;
};

// One text out of a list ("SelectProfilePopup.xml"), the first selected: OK stores the selected
// text in *result (an empty list leaves it as it was).
class CVxDropdownSelectPopup : public CVxFormPopup
{
public:
    CVxDropdownSelectPopup(CWnd* owner, std::vector<std::wstring> texts, std::wstring* result);
    ~CVxDropdownSelectPopup() override;

    // New texts while the popup runs (the configuration was read anew): the selected text stays
    // selected where the new texts hold it, else the first is.
    void SetTexts(std::vector<std::wstring> texts);

protected:
    void BindItems() override;
    void OnOK() override;

private:
    std::vector<std::wstring> m_texts;
    std::wstring* m_result;
    CDropdownListItem* m_list = nullptr;
};

// A macro and how it plays ("SelectMacroPopup.xml"). *playMode goes in and out: 1 once, 2 a number
// of times, 3 until pressed again, 4 while pressed (any other value shows as 1); OK stores the
// marked mode, 1 when none is marked. *chosen goes in as the name to select (else the first) and
// out as the selected name on OK (an empty list leaves it). Cancel changes neither.
class CVxMacroAssignmentPopup : public CVxFormPopup
{
public:
    CVxMacroAssignmentPopup(CWnd* owner, int* playMode, std::vector<std::wstring> macroNames,
                            std::wstring* chosen);
    ~CVxMacroAssignmentPopup() override;

    // The macros' names anew while the popup runs (the configuration was read again): the
    // selected macro stays selected where the list still holds it, else the first is.
    void SetMacroNames(std::vector<std::wstring> macroNames);

protected:
    void BindItems() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;

private:
    // The four play buttons, in the order of their table in the source.
    static constexpr int kPlayButtons = 4;
    void MarkPlayMode();
    void OnPlayButton(int index);

    int* m_playModeOut;
    int m_playMode;
    std::vector<std::wstring> m_macroNames;
    std::wstring* m_chosen;
    CDropdownListItem* m_list = nullptr;
    CBitmapBtn* m_playButtons[kPlayButtons] = {};
};

// A key with its modifiers, as the key-combination edit captured it.
struct SingleKeyEntry
{
    std::wstring text;        // what the edit shows: the key's name
    uint16_t scanCode = 0;    // make code, 0 when only modifiers were pressed
    uint16_t virtualKey = 0;
    uint8_t flags = 0;        // KeyEventRecord::kCtrl, kShift, kAlt and the extended flag
};

// "SingleKeyPopup.xml": a key-combination edit that takes the keyboard's raw input while the popup
// is up. Enter and Esc typed into the edit are keys like any other; the popup closes only through
// its OK and Cancel buttons, and not while the last key pressed was Enter or Esc (so that a key
// meant for the edit never closes the popup). OK closes only once a key or a modifier was captured
// and fills *result (scanCode 0 when only modifiers were pressed); Cancel empties its text.
class CVexaPopupBoxSingleKeyEntry : public CVxFormPopup
{
public:
    CVexaPopupBoxSingleKeyEntry(CWnd* owner, SingleKeyEntry* result);
    ~CVexaPopupBoxSingleKeyEntry() override;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    void BindItems() override;
    void OnOK() override;
    void OnCancel() override;

private:
    SingleKeyEntry* m_result;
    CEditItemSingleKeyInputMMO* m_edit = nullptr;
    bool m_escOrEnter = false;  // the last key pressed was Esc or Enter
};

// The predefined commands of both groups in two drop-downs, on a panel of its own dialog template.
// An add button closes with IDOK and Result() names the chosen command of its list (the first one
// until another is chosen), as PredefinedMacros().GetMacro takes it; the close button and Esc give
// IDCANCEL. Enter chooses nothing.
class CPredefinedMacroPopup : public CGUIPanel
{
public:
    CPredefinedMacroPopup(UINT templateId, const wchar_t* layoutFile, CWnd* owner);
    CPredefinedMacroPopup(const DLGTEMPLATE* dialogTemplate, const wchar_t* layoutFile, CWnd* owner);
    ~CPredefinedMacroPopup() override;

    const std::wstring& Result() const { return m_result; }

protected:
    BOOL OnInitDialog() override;
    // Clears the item pointers; a derived popup looks them up.
    void BindItems() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override {}

    void FillBasicMacroCommands();
    void FillAdvancedMacroCommands();

    CDropdownListItem* m_basicList = nullptr;   // items of the popup's own list
    CDropdownListItem* m_advancedList = nullptr;
    CBitmapBtn* m_addBasic = nullptr;
    CBitmapBtn* m_addAdvanced = nullptr;
    CBitmapBtn* m_close = nullptr;
    int m_basicIndex = 0;
    int m_advancedIndex = 0;
    std::wstring m_result;

private:
    LRESULT OnDropdownClicked(WPARAM wParam, LPARAM lParam);
    LRESULT OnDropdownSelChange(WPARAM wParam, LPARAM lParam);
    void Add(CDropdownListItem* list, int index);

    HV_DECLARE_MSG_MAP()
};

// "AdvancedMacroPopup.xml" on the program's dialog template 133.
class CVxPredefinedMacroPopup : public CPredefinedMacroPopup
{
public:
    explicit CVxPredefinedMacroPopup(CWnd* owner);
    // On a template equal to 133, for a module that does not carry the program's resources.
    CVxPredefinedMacroPopup(CWnd* owner, const DLGTEMPLATE* dialogTemplate);

protected:
    void BindItems() override;
};

// "PreviewPopup.xml": one mouse profile shown read-only: its heading followed by ": " and the
// profile's name, for each button "type: detail" (the assignment's type, and the key, macro,
// profile or program it names; a macro, profile or program that no longer exists gives the type
// only), and for each light its name and state. The close button ends it with IDOK. The profile is
// read only while the popup is made: nothing of it is held while the popup runs.
class CVxPreviewPopup_Mouse : public CPopupBox
{
public:
    // Texts longer than this many characters end in "...".
    static constexpr size_t kMaxDetailLength = 22;

    CVxPreviewPopup_Mouse(CWnd* owner, IMouseProfile* profile, IMouseConfig* config);
    ~CVxPreviewPopup_Mouse() override;

    // The text shown for an assignment of the profile's configuration.
    std::wstring AssignmentText(const AssignmentAction& action) const;

protected:
    void BindItems() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    std::wstring AssignmentDetail(const AssignmentAction& action) const;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);

    IMouseProfile* m_profile;  // borrowed, like the configuration, until the popup is bound
    IMouseConfig* m_config;
    std::wstring m_name;
    CBrush m_black;

    HV_DECLARE_MSG_MAP()
};
