// The main dialog's own notices, shown in the look of the skin's notices: a failed write, and the
// files of the install directory that start-up refused. Both reuse a notice layout the skin has and
// write their own heading and message into it.
#pragma once

#include <string>
#include <vector>

#include "skin/FontItem.h"
#include "skin/GUIItem.h"
#include "VexaApp/VxPopups.h"

class CPreparedLayout;

// The layouts lent: "FileErrorPopUp.xml" is the skin's notice about a file that was not read; the
// notice of a failed write takes "ExportProfileWarningPopup.xml", whose own message already speaks
// of the device and of Apply.
constexpr const wchar_t* kStartFilesNoticeLayout = L"FileErrorPopUp.xml";
constexpr const wchar_t* kWriteFailedNoticeLayout = L"ExportProfileWarningPopup.xml";

// A notice whose heading and message are given (each a language key or a plain text). A list is
// given the room between heading and button and a smaller font.
class CVxTextNotice : public CVxWarningDlg
{
public:
    CVxTextNotice(CWnd* owner, const wchar_t* layoutFile, std::wstring heading, std::wstring message,
                  bool list = false);

    const std::wstring& Message() const { return m_message; }

protected:
    void BindItems() override;

private:
    std::wstring m_heading;
    std::wstring m_message;
    bool m_list;
    CFontItem m_listFont;  // lent to the message item while the popup's window lives
};

// The texts of the notice of a failed write (translated where the language file has them).
std::wstring WriteFailedHeading();
std::wstring WriteFailedMessage();

// The message listing the refused files: one line per file, the first fault found in it and how
// many more there were, in the order the files were met; at most maxFiles lines, then a line
// telling how many files more. Each error is "<file>: <what>", as the layout error log holds them.
std::wstring RefusedFilesMessage(const std::vector<std::wstring>& errors, size_t maxFiles);

// Loads a layout of the install directory at start-up (LoadLayoutFile) and reports what it refused
// to the thread's layout error log, a file that could not be read at all included.
bool LoadStartLayout(CGUIItems* items, const std::wstring& fileName, CWnd* owner);
// Reads and checks a layout of the install directory at start-up (PrepareLayoutFile), its items to
// be built later, and reports what it refused as LoadStartLayout does.
bool PrepareStartLayout(CPreparedLayout& layout, const std::wstring& fileName, CWnd* owner);
// Reports a layout of the install directory that did not load and said nothing of why.
void ReportUnreadLayout(const std::wstring& fileName);
