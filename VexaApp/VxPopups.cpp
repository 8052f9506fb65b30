#include "VxPopups.h"

#include "TextItem.h"
#include "VxItemIds.h"

namespace {

// DT_CENTER | DT_END_ELLIPSIS: a heading with a long name appended stays on its line.
constexpr UINT kAppendedHeadingFormat = 0x8001;

} // namespace

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

void CVxWarningDlg::BindItems()
{
    m_heading = m_items.FindAs<CTextItem>(TEXT_WARNDLG_HEADING, ItemKind::TextItem);
    if (!m_heading)
        return;
    if (m_replaceText)
        m_heading->SetText(m_text.c_str(), 0);
    if (!m_append.empty()) {
        m_heading->SetFormat(kAppendedHeadingFormat);
        m_heading->SetText((m_heading->GetText() + m_append).c_str(), 0);
    }
}

BOOL CVxWarningDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const HWND from = reinterpret_cast<HWND>(lParam);
    if (const CGUIItem* item = from ? m_items.FindByWindow(from) : nullptr) {
        switch (item->id) {
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
            break;
        }
    }
    return CPopupBox::OnCommand(wParam, lParam);
}
