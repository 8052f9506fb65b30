// The background and the mask of a skinned panel (BACKGROUND, id -2; MASK, id -3): a whole skin
// bitmap of the skin cache, borrowed (the cache keeps it until the program ends), not copied. The
// panel lets go of it (DeleteObject) when its window goes; the item itself stays in the list.
#pragma once

#include <windows.h>

#include "platform/Geometry.h"
#include "skin/GUIItem.h"

class CPanelBitmap : public CGUIItem
{
public:
    // source: the skin cache's bitmap; window is not used (the bitmap is drawn as it is).
    CPanelBitmap(HBITMAP source, HWND window);
    ~CPanelBitmap() override;

    // The bitmap the panel draws; null once let go of.
    HBITMAP GetSafeHandle() const { return m_bitmap; }
    operator HBITMAP() const { return m_bitmap; }
    // Width and height; 0 x 0 once let go of.
    CSize GetSize() const;
    // Lets go of the bitmap; the cache's bitmap itself is not deleted.
    void DeleteObject() { m_bitmap = nullptr; }

    // The skin cache's bitmap the item was made from (borrowed).
    HBITMAP SourceBitmap() const { return m_source; }

private:
    HBITMAP m_source;
    HBITMAP m_bitmap;
};
