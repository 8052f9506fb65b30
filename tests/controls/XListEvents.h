// The extended lists' notifications to a recording panel, read as they arrive: the record a
// notification points to lives only during the call, so a copy of it is kept. A right click can be
// answered before the menu pops up, as a page does.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "RecordingPanel.h"

namespace controltest {

struct XListEvent
{
    UINT message = 0;
    int rowKey = -1;
    int column = -1;
    std::wstring text;   // CELLTEXTCHANGED, MENUCOMMAND, COMBOCHANGED
    bool state = false;  // CHECKCHANGED
    HWND list = nullptr;
};

class XListEvents
{
public:
    // Reads the panel's notifications from now on, for as long as both live (it takes the panel's
    // onReceived).
    explicit XListEvents(hvtest::CRecordingPanel& panel);
    XListEvents(const XListEvents&) = delete;
    XListEvents& operator=(const XListEvents&) = delete;

    std::vector<XListEvent> events;
    // Runs inside WM_XLIST_RCLICK, before the list pops its menu up.
    std::function<void(const XListEvent&)> onRightClick;

    std::vector<XListEvent> Of(UINT message) const;
    std::vector<UINT> Messages() const;

private:
    void Read(const hvtest::RecordedMsg& notification);
};

} // namespace controltest
