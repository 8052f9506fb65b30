#include "RecordingPanel.h"

namespace controltest {

BEGIN_MSG_MAP(CRecordingPanel, CGUIPanel)
    ON_MESSAGE_RANGE(WM_SLIDER_POSCHANGED, WM_KBDKEY_CLICKED, OnControlMessage)
END_MSG_MAP()

} // namespace controltest
