#include "skin/PanelBitmap.h"

CPanelBitmap::CPanelBitmap(HBITMAP source, HWND) : m_source(source), m_bitmap(nullptr)
{
    kind = ItemKind::PanelBitmap;
    this->window = nullptr;
    BITMAP info = {};
    if (source && ::GetObjectW(source, sizeof(info), &info) && info.bmWidth > 0 && info.bmHeight != 0)
        m_bitmap = source;
}

CPanelBitmap::~CPanelBitmap() = default;

CSize CPanelBitmap::GetSize() const
{
    BITMAP info = {};
    if (!m_bitmap || !::GetObjectW(m_bitmap, sizeof(info), &info))
        return CSize();
    return CSize(info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight);
}
