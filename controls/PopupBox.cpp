#include "controls/PopupBox.h"

#include "platform/DialogTemplate.h"

const DLGTEMPLATE* EmptyPopupTemplate()
{
    // No font: the panels draw their texts with the skin's fonts.
    static const CDialogTemplate popup(L"", WS_POPUP, 0, 0, 10, 10, nullptr);
    return popup.Get();
}

CPopupBox::CPopupBox(const wchar_t* layoutFile, CWnd* owner) : CGUIPanel(EmptyPopupTemplate(), layoutFile, owner)
{
}

CPopupBox::CPopupBox(const RECT& rect, CWnd* owner) : CGUIPanel(rect, EmptyPopupTemplate(), owner)
{
}

CPopupBox::~CPopupBox() = default;

BOOL CPopupBox::OnInitDialog()
{
    BindItems();
    return CGUIPanel::OnInitDialog();
}
