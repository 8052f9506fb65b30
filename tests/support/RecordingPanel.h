// A skinned panel for control tests, the parent the controls under test notify: built from a layout of
// the test's skin folder (or empty, of a given size), it records every notification the controls send
// or post it (WM_COMMAND and the controls' message range) as a MessageRecorder records a watched
// parent's messages, in order.
//
//   hvtest::CRecordingPanel panel(CRect(0, 0, 300, 160));
//   ASSERT_TRUE(panel.Create());
//   ... a control made in the panel is clicked ...
//   EXPECT_EQ(panel.Count(WM_COMMAND), 1u);
//
// A notification whose lParam points at a record that lives only during the call is read in
// onReceived, which also answers it where a page would (before a menu pops up, by selecting a key).
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "Messages.h"
#include "skin/GUIPanel.h"

class CDialogTemplate;

namespace hvtest {

class CRecordingPanel : public CGUIPanel
{
public:
    explicit CRecordingPanel(const wchar_t* layout);
    explicit CRecordingPanel(const RECT& rect);

    // Every notification, noted Sent | Parent as a MessageRecorder notes a watched parent's: the panel
    // cannot tell a posted one from a sent one (a recorder watching the panel can).
    std::vector<RecordedMsg> received;
    // Called with every notification as it arrives, after it is recorded.
    std::function<void(const RecordedMsg&)> onReceived;

    std::vector<RecordedMsg> Of(UINT message) const;
    size_t Count(UINT message) const;
    // The messages received, in order.
    std::vector<UINT> Messages() const;

    static const CDialogTemplate& Template();

protected:
    void BindItems() override {}
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Note(UINT message, WPARAM wParam, LPARAM lParam);

    HV_DECLARE_MSG_MAP()
};

} // namespace hvtest
