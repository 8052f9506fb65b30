// The notices and questions of the configuration program: popups built from a layout file of
// their own ("NoMousePopup.xml", "RefreshBeforeProductSwitchPopup.xml"...), run modally over the
// main dialog. A question answers IDOK for Yes and IDCANCEL for No; a notice closes with IDOK.
#pragma once

#include <string>

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
