#include "PanelBitmap.h"

#include "BitmapHelpers.h"
#include "Dc.h"

CPanelBitmap::CPanelBitmap(HBITMAP source, HWND window) : m_source(source)
{
    kind = ItemKind::PanelBitmap;
    this->window = nullptr;
    BITMAP info = {};
    if (!source || !::GetObjectW(source, sizeof(info), &info))
        return;
    CClientDC dc(window);
    CBitmapHandle copy;
    if (CopyBitmapRect(copy, dc, source, 0, 0, info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight))
        Attach(copy.Detach());
}

CPanelBitmap::~CPanelBitmap() = default;
