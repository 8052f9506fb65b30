// A panel that hosts extended lists in control tests. It keeps a copy of every notification a list
// sends it, since the record a notification points to lives only during the call, and can answer a
// right click before the menu pops up, as a page does.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/ControlMessages.h"
#include "platform/DialogTemplate.h"
#include "skin/GUIPanel.h"

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

class CXListHost : public CGUIPanel
{
public:
    explicit CXListHost(const RECT& rect) : CGUIPanel(rect, Template().Get(), nullptr) {}

    std::vector<XListEvent> events;
    // Runs inside WM_XLIST_RCLICK, before the list pops its menu up.
    std::function<void(const XListEvent&)> onRightClick;

    std::vector<XListEvent> Of(UINT message) const;
    std::vector<UINT> Messages() const;

    static const CDialogTemplate& Template();

protected:
    void BindItems() override {}
    LRESULT OnXList(UINT message, WPARAM wParam, LPARAM lParam);

    HV_DECLARE_MSG_MAP()
};

} // namespace controltest
