#include "XListHost.h"

namespace controltest {

BEGIN_MSG_MAP(CXListHost, CGUIPanel)
    ON_MESSAGE_RANGE(WM_XLIST_CELLTEXTCHANGED, WM_XLIST_COMBOCHANGED, OnXList)
END_MSG_MAP()

const CDialogTemplate& CXListHost::Template()
{
    static CDialogTemplate t(L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 60, nullptr);
    return t;
}

LRESULT CXListHost::OnXList(UINT message, WPARAM wParam, LPARAM lParam)
{
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
        return 0;
    }
    events.push_back(event);
    if (message == WM_XLIST_RCLICK && onRightClick)
        onRightClick(event);
    return 0;
}

std::vector<XListEvent> CXListHost::Of(UINT message) const
{
    std::vector<XListEvent> found;
    for (const XListEvent& e : events) {
        if (e.message == message)
            found.push_back(e);
    }
    return found;
}

std::vector<UINT> CXListHost::Messages() const
{
    std::vector<UINT> messages;
    for (const XListEvent& e : events)
        messages.push_back(e.message);
    return messages;
}

} // namespace controltest
