// A skinned panel for control tests: built from a layout of the test's skin folder (or empty, of a
// given size), it keeps every notification the controls send or post it (the controls' message
// range and WM_COMMAND), in order.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "controls/ControlMessages.h"
#include "platform/DialogTemplate.h"
#include "skin/GUIPanel.h"

namespace controltest {

struct Received
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CRecordingPanel : public CGUIPanel
{
public:
    explicit CRecordingPanel(const wchar_t* layout) : CGUIPanel(Template().Get(), layout, nullptr) {}
    explicit CRecordingPanel(const RECT& rect) : CGUIPanel(rect, Template().Get(), nullptr) {}

    std::vector<Received> received;
    // Called with every notification as it arrives (a handler that answers it, as a page would).
    std::function<void(const Received&)> onReceived;

    std::vector<Received> Of(UINT message) const
    {
        std::vector<Received> found;
        for (const Received& r : received) {
            if (r.message == message)
                found.push_back(r);
        }
        return found;
    }

    static const CDialogTemplate& Template()
    {
        static CDialogTemplate t(L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 60, nullptr);
        return t;
    }

protected:
    void BindItems() override {}
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        Note({WM_COMMAND, wParam, lParam});
        return CGUIPanel::OnCommand(wParam, lParam);
    }
    LRESULT OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        Note({message, wParam, lParam});
        return 0;
    }
    void Note(const Received& r)
    {
        received.push_back(r);
        if (onReceived)
            onReceived(r);
    }

    HV_DECLARE_MSG_MAP()
};

} // namespace controltest
