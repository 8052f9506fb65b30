// The background and the mask of a skinned panel (BACKGROUND, id -2; MASK, id -3): a private copy
// of a whole skin bitmap. The panel deletes the copy's GDI object when its window goes; the item
// itself stays in the list.
#pragma once

#include "GUIItem.h"
#include "GdiObject.h"

class CWnd;

class CPanelBitmap : public CBitmap, public CGUIItem
{
public:
    // Copies the whole of source with a DC of window (the screen's when window is null).
    CPanelBitmap(HBITMAP source, HWND window);
    ~CPanelBitmap() override;

    // The skin cache's bitmap the copy was made from (borrowed).
    HBITMAP SourceBitmap() const { return m_source; }

private:
    HBITMAP m_source;
};
