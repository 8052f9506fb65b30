#include "VexaApp/VxAppNotices.h"

#include <algorithm>

#include "controls/TextItem.h"
#include "core/ItemIds.h"
#include "core/NameTables.h"
#include "platform/WStr.h"
#include "skin/GUIPanel.h"
#include "skin/LangTable.h"
#include "skin/LayoutErrors.h"
#include "skin/LayoutLoader.h"

namespace {

// A line of the file list is cut here: the notice is narrow.
constexpr size_t kMaxLineChars = 96;
// The list's font: small enough for a few files of two lines each.
constexpr int kListFontHeight = 12;
// Room kept under the message for the notice's button, and above it for the heading.
constexpr int kButtonRoom = 58;
constexpr int kHeadingRoom = 44;

std::wstring Translated(const wchar_t* key, const wchar_t* fallback)
{
    std::wstring text;
    return TranslateText(key, text) ? text : std::wstring(fallback);
}

std::wstring Cut(const std::wstring& text)
{
    return text.size() <= kMaxLineChars ? text : text.substr(0, kMaxLineChars - 3) + L"...";
}

} // namespace

CVxTextNotice::CVxTextNotice(CWnd* owner, const wchar_t* layoutFile, std::wstring heading, std::wstring message,
                             bool list)
    : CVxWarningDlg(owner, layoutFile), m_heading(std::move(heading)), m_message(std::move(message)), m_list(list)
{
    SetText(m_heading.c_str());
}

void CVxTextNotice::BindItems()
{
    CVxWarningDlg::BindItems();
    auto* message = m_items.FindAs<CTextItem>(TEXT_WARNDLG_MESSAGE, ItemKind::TextItem);
    if (!message || !message->GetSafeHwnd())
        return;
    if (!m_list) {
        message->SetText(m_message.c_str(), 0);
        return;
    }
    // Down to the button row, so that a list of several lines has room.
    LOGFONTW font = {};
    font.lfHeight = -kListFontHeight;
    font.lfWeight = FW_NORMAL;
    font.lfPitchAndFamily = FF_SWISS;
    wstr::CopyBounded(font.lfFaceName, LF_FACESIZE, L"Arial");
    if (m_listFont.CreateFontIndirect(font))
        message->SetItemFont(&m_listFont);
    // One file a line, as written, whatever the layout's own text format.
    message->SetFormat(DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    const CRect client = GetClientRect();
    CRect rect = message->GetWindowRect();
    ScreenToClient(&rect);
    rect.top = std::min<LONG>(rect.top, kHeadingRoom);
    rect.bottom = std::max<LONG>(rect.bottom, client.bottom - kButtonRoom);
    message->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    message->SetText(m_message.c_str(), 0);
}

std::wstring WriteFailedHeading()
{
    return Translated(L"$WriteFailedHeading", L"Not saved");
}

std::wstring WriteFailedMessage()
{
    return Translated(L"$WriteFailedMessage",
                      L"The settings could not all be written to the device. They are kept: press Apply to try "
                      L"again.");
}

std::wstring RefusedFilesMessage(const std::vector<std::wstring>& errors, size_t maxFiles)
{
    struct FileFaults
    {
        std::wstring file;
        std::wstring first;
        size_t count = 0;
    };
    std::vector<FileFaults> files;
    for (const std::wstring& error : errors) {
        const size_t colon = error.find(L": ");
        const std::wstring file = colon == std::wstring::npos ? std::wstring() : error.substr(0, colon);
        const std::wstring what = colon == std::wstring::npos ? error : error.substr(colon + 2);
        auto found = std::find_if(files.begin(), files.end(), [&](const FileFaults& f) { return f.file == file; });
        if (found == files.end())
            files.push_back({file, what, 1});
        else
            ++found->count;
    }
    std::wstring text;
    for (size_t i = 0; i < files.size() && i < maxFiles; ++i) {
        const FileFaults& f = files[i];
        std::wstring line = f.file.empty() ? f.first : f.file + L": " + f.first;
        line = Cut(line);
        if (f.count > 1)
            line += wstr::Format(L" (+%u)", static_cast<unsigned>(f.count - 1));
        if (!text.empty())
            text += L"\n";
        text += line;
    }
    if (files.size() > maxFiles)
        text += wstr::Format(L"\n... %u more files", static_cast<unsigned>(files.size() - maxFiles));
    return text;
}

namespace {

// Runs a start-up read of a layout file under a log of its own, and reports what it refused to the
// thread's log, a file that said nothing of why it was not read included.
template <class Read>
bool ReadStartLayout(const std::wstring& fileName, Read read)
{
    std::vector<std::wstring> errors;
    bool done = false;
    {
        CLayoutErrorLog log;
        done = read();
        errors = log.Errors();
    }
    for (const std::wstring& error : errors)
        ReportLayoutError(error);
    if (!done && errors.empty())
        ReportUnreadLayout(fileName);
    return done;
}

} // namespace

bool LoadStartLayout(CGUIItems* items, const std::wstring& fileName, CWnd* owner)
{
    return ReadStartLayout(fileName, [&] { return LoadLayoutFile(items, fileName, owner, false); });
}

bool PrepareStartLayout(CPreparedLayout& layout, const std::wstring& fileName, CWnd* owner)
{
    return ReadStartLayout(fileName, [&] { return PrepareLayoutFile(fileName, layout, owner); });
}

void ReportUnreadLayout(const std::wstring& fileName)
{
    ReportLayoutError(fileName + L": not read (missing, or not a layout of this program)");
}
