// The base of the modal popups: a skinned panel (CGUIPanel) from a layout file of its own, or of a
// given size without one, made from dialog template 129 (an empty popup) and run modally over its
// owner. A derived popup binds its items in BindItems, which runs before the dialog's own
// initialisation; every popup of the configuration program ends with IDOK or IDCANCEL.
#pragma once

#include <windows.h>

#include "skin/GUIPanel.h"

// Template 129: a popup window without controls. Kept in memory, so that neither the libraries nor
// their tests need a resource script.
constexpr UINT kEmptyPopupTemplateId = 129;
const DLGTEMPLATE* EmptyPopupTemplate();

class CPopupBox : public CGUIPanel
{
public:
    // A popup built from the layout file (of the skin folder's "xml\") over owner.
    CPopupBox(const wchar_t* layoutFile, CWnd* owner);
    // A popup without layout, of the rectangle's size.
    CPopupBox(const RECT& rect, CWnd* owner);
    ~CPopupBox() override;

protected:
    // BindItems, then the dialog's own initialisation.
    BOOL OnInitDialog() override;
    // Nothing to bind in the base.
    void BindItems() override {}
};
