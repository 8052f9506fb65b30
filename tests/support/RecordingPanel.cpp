#include "RecordingPanel.h"

#include "controls/ControlMessages.h"
#include "platform/DialogTemplate.h"

#include <algorithm>
#include <iterator>

namespace hvtest {

BEGIN_MSG_MAP(CRecordingPanel, CGUIPanel)
    ON_MESSAGE_RANGE(WM_SLIDER_POSCHANGED, WM_KBDKEY_CLICKED, OnControlMessage)
END_MSG_MAP()

CRecordingPanel::CRecordingPanel(const wchar_t* layout) : CGUIPanel(Template().Get(), layout, nullptr) {}

CRecordingPanel::CRecordingPanel(const RECT& rect) : CGUIPanel(rect, Template().Get(), nullptr) {}

const CDialogTemplate& CRecordingPanel::Template()
{
    static CDialogTemplate t(L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 60, nullptr);
    return t;
}

BOOL CRecordingPanel::OnCommand(WPARAM wParam, LPARAM lParam)
{
    Note(WM_COMMAND, wParam, lParam);
    return CGUIPanel::OnCommand(wParam, lParam);
}

LRESULT CRecordingPanel::OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    Note(message, wParam, lParam);
    return 0;
}

void CRecordingPanel::Note(UINT message, WPARAM wParam, LPARAM lParam)
{
    const RecordedMsg r{m_hWnd, message, Sent | Parent, wParam, lParam};
    received.push_back(r);
    if (onReceived)
        onReceived(r);
}

std::vector<RecordedMsg> CRecordingPanel::Of(UINT message) const
{
    std::vector<RecordedMsg> found;
    std::copy_if(received.begin(), received.end(), std::back_inserter(found),
                 [message](const RecordedMsg& r) { return r.message == message; });
    return found;
}

size_t CRecordingPanel::Count(UINT message) const
{
    return static_cast<size_t>(std::count_if(received.begin(), received.end(),
                                             [message](const RecordedMsg& r) { return r.message == message; }));
}

std::vector<UINT> CRecordingPanel::Messages() const
{
    std::vector<UINT> messages;
    for (const RecordedMsg& r : received)
        messages.push_back(r.message);
    return messages;
}

} // namespace hvtest
