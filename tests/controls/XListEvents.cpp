#include "XListEvents.h"

#include "controls/ControlMessages.h"

namespace controltest {

XListEvents::XListEvents(hvtest::CRecordingPanel& panel)
{
    panel.onReceived = [this](const hvtest::RecordedMsg& notification) { Read(notification); };
}

void XListEvents::Read(const hvtest::RecordedMsg& notification)
{
    const UINT message = notification.message;
    const WPARAM wParam = notification.wParam;
    const LPARAM lParam = notification.lParam;
    XListEvent event;
    event.message = message;
    if (message == WM_XLIST_ROWCLICKED) {
        event.rowKey = static_cast<int>(wParam);
        event.list = reinterpret_cast<HWND>(lParam);
    } else if (message == WM_XLIST_CELLTEXTCHANGED || message == WM_XLIST_CHECKCHANGED ||
               message == WM_XLIST_DBLCLK || message == WM_XLIST_RCLICK || message == WM_XLIST_MENUCOMMAND ||
               message == WM_XLIST_COMBOCHANGED) {
        const auto* info = reinterpret_cast<const XListNotifyInfo*>(lParam);
        event.list = reinterpret_cast<HWND>(wParam);
        event.rowKey = info->rowKey;
        event.column = info->column;
        if (message == WM_XLIST_CHECKCHANGED)
            event.state = info->State();
        else if (message != WM_XLIST_DBLCLK && message != WM_XLIST_RCLICK)
            event.text = info->Text();
    } else {
        return;
    }
    events.push_back(event);
    if (message == WM_XLIST_RCLICK && onRightClick)
        onRightClick(event);
}

std::vector<XListEvent> XListEvents::Of(UINT message) const
{
    std::vector<XListEvent> found;
    for (const XListEvent& e : events) {
        if (e.message == message)
            found.push_back(e);
    }
    return found;
}

std::vector<UINT> XListEvents::Messages() const
{
    std::vector<UINT> messages;
    for (const XListEvent& e : events)
        messages.push_back(e.message);
    return messages;
}

} // namespace controltest
