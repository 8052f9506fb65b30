#include "GUIPanel.h"

#include "BitmapHelpers.h"
#include "Dc.h"
#include "LayoutLoader.h"
#include "PanelBitmap.h"

BEGIN_MSG_MAP(CGUIPanel, CDialog)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
END_MSG_MAP()

CGUIPanel::CGUIPanel(UINT templateId, const wchar_t* layoutFile, CWnd* parent)
    : CDialog(templateId, parent), m_owner(parent), m_layoutFile(layoutFile ? layoutFile : L"")
{
}

CGUIPanel::CGUIPanel(const DLGTEMPLATE* dialogTemplate, const wchar_t* layoutFile, CWnd* parent)
    : CDialog(dialogTemplate, parent), m_owner(parent), m_layoutFile(layoutFile ? layoutFile : L"")
{
}

CGUIPanel::CGUIPanel(const RECT& rect, UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_owner(parent), m_rect(rect)
{
}

CGUIPanel::CGUIPanel(const RECT& rect, const DLGTEMPLATE* dialogTemplate, CWnd* parent)
    : CDialog(dialogTemplate, parent), m_owner(parent), m_rect(rect)
{
}

CGUIPanel::~CGUIPanel()
{
    // The items' windows are children of the panel: they go before the panel's window does.
    m_items.DeleteAll();
}

int CGUIPanel::OnCreate(CREATESTRUCTW*)
{
    // A panel object may be created again after its window was closed: the layout is read afresh,
    // and the items of the earlier window (whose panel bitmaps OnDestroy emptied) go first.
    m_background = nullptr;
    m_mask = nullptr;
    m_region = nullptr;  // it went with the earlier window
    if (!m_layoutFile.empty()) {
        m_items.DeleteAll();
        LoadLayoutFile(&m_items, m_layoutFile, this, m_reportProgress);
    }

    m_background = m_items.FindAs<CPanelBitmap>(kBackgroundItemId, ItemKind::PanelBitmap);
    if (m_background && m_background->GetSafeHandle()) {
        CSize size = m_background->GetSize();
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Without a background (a layout that is missing or broken) the panel keeps its template's
    // size: the popup shows empty rather than not at all.

    m_mask = m_items.FindAs<CPanelBitmap>(kMaskItemId, ItemKind::PanelBitmap);
    if (m_mask && m_mask->GetSafeHandle()) {
        CRgnHandle region = CreateRegionFromBitmap(*m_mask);
        if (region && ::SetWindowRgn(m_hWnd, region.Get(), TRUE))
            m_region = region.Detach();  // the window owns it now
    }
    if (m_layoutFile.empty())
        SetWindowPos(nullptr, 0, 0, m_rect.Width(), m_rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);

    m_created = true;
    return static_cast<int>(Default());
}

void CGUIPanel::OnDestroy()
{
    Default();
    if (m_background)
        m_background->DeleteObject();
    if (m_mask)
        m_mask->DeleteObject();
    m_created = false;
}

void CGUIPanel::OnPaint()
{
    if (!m_created) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    if (!m_background || !m_background->GetSafeHandle())
        return;
    CRect client = GetClientRect();
    CMemoryDC source(dc);
    source.SelectObject(static_cast<HBITMAP>(*m_background));
    dc.BitBlt(client.left, client.top, client.Width(), client.Height(), source, 0, 0, SRCCOPY);
}
