// The mouse's sensitivity stages pop-up on its layout "DPIStagesPopup.xml": the stage pop-up with
// the skin's items bound by their item names. The performance page opens it with the mouse's
// stages and takes the set back on OK.
#pragma once

#include "controls/DpiStagesPopup.h"

class CVxItems_Mouse_DPIStagesPopup : public CDPIStagesPopup
{
public:
    static constexpr wchar_t kLayoutFile[] = L"DPIStagesPopup.xml";

    CVxItems_Mouse_DPIStagesPopup(CWnd* owner, DpiStageSet* stages);

protected:
    void BindItems() override;
};
