// The notices and questions of the configuration program: popups built from a layout file of
// their own ("NoMousePopup.xml", "RefreshBeforeProductSwitchPopup.xml"...), run modally over the
// main dialog. A question answers IDOK for Yes and IDCANCEL for No; a notice closes with IDOK.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PopupBox.h"

class CTextItem;

class CVxWarningDlg : public CPopupBox
{
public:
    // append: a text put after the heading's own ("": " + a profile name), or null.
    CVxWarningDlg(CWnd* owner, const wchar_t* layoutFile, const wchar_t* append = nullptr);
    ~CVxWarningDlg() override;

    // Replaces the heading's text; called before the popup runs, it is shown once it is up.
    void SetText(const wchar_t* text);

protected:
    void BindItems() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    CTextItem* m_heading = nullptr;  // an item of the popup's own list
    std::wstring m_append;
    std::wstring m_text;
    bool m_replaceText = false;
};

// --- Entry forms. Each is made on the stack of the handler that shows it, run with DoModal() and
// read from the variables given to its constructor; the modal result is IDOK or IDCANCEL.

// A name ("MacroNamePopup.xml", "ProfileNamePopup.xml", "ProfileRenamePopup.xml"), at most 20
// characters. OK stores the edit's text (empty when nothing was typed) in *result; Cancel leaves it.
class CVxNameEntryPopup : public CPopupBox
{
public:
    static constexpr int kMaxNameLength = 20;

    CVxNameEntryPopup(CWnd* owner, const wchar_t* layoutFile, std::wstring* result);
    // The rename form: headingAppend follows the heading's own text (": " + the old name).
    CVxNameEntryPopup(CWnd* owner, const wchar_t* layoutFile, std::wstring* result,
                      const wchar_t* headingAppend);
};

// A repeat count ("MacroRepeatEntryPopup.xml"): OK stores the typed number in *result (0 when the
// edit is empty; the edit takes 1..255); Cancel leaves it.
class CVxNumEntryPopup : public CPopupBox
{
public:
    static constexpr int kMaxCount = 255;

    CVxNumEntryPopup(CWnd* owner, int* result);
};

// One text out of a list ("SelectProfilePopup.xml"), the first selected: OK stores the selected
// text in *result.
class CVxDropdownSelectPopup : public CPopupBox
{
public:
    CVxDropdownSelectPopup(CWnd* owner, std::vector<std::wstring> texts, std::wstring* result);
};

// A macro and how it plays ("SelectMacroPopup.xml"). *playMode goes in and out: 1 once, 2 a number
// of times, 3 until pressed again, 4 while pressed (any other value shows as 1). *chosen goes in as
// the name to select (else the first) and out as the selected name on OK.
class CVxMacroAssignmentPopup : public CPopupBox
{
public:
    CVxMacroAssignmentPopup(CWnd* owner, int* playMode, std::vector<std::wstring> macroNames,
                            std::wstring* chosen);
};

// A key with its modifiers, as the key-combination edit captured it.
struct SingleKeyEntry
{
    std::wstring text;        // what the edit shows ("Ctrl + B")
    uint16_t scanCode = 0;    // make code, 0 when only modifiers were pressed
    uint16_t virtualKey = 0;
    uint8_t flags = 0;        // KeyEventRecord::kCtrl, kShift, kAlt and the extended flag
};

// "SingleKeyPopup.xml": Enter and Esc typed into the edit are keys like any other; the popup closes
// only through its OK and Cancel buttons. OK fills *result; Cancel empties its text.
class CVexaPopupBoxSingleKeyEntry : public CPopupBox
{
public:
    CVexaPopupBoxSingleKeyEntry(CWnd* owner, SingleKeyEntry* result);
};

// "AdvancedMacroPopup.xml" on template 133: the predefined commands of both groups. An add button
// closes with IDOK and Result() names the chosen command; the close button gives IDCANCEL.
class CVxPredefinedMacroPopup /* : public CPredefinedMacroPopup */
{
public:
    explicit CVxPredefinedMacroPopup(CWnd* owner);
    INT_PTR DoModal();
    const std::wstring& Result() const;
};

class IMouseConfig;
class IMouseProfile;

// "PreviewPopup.xml": one mouse profile shown read-only (the buttons' functions, the lights).
class CVxPreviewPopup_Mouse : public CPopupBox
{
public:
    CVxPreviewPopup_Mouse(CWnd* owner, IMouseProfile* profile, IMouseConfig* config);
};
