#include "skin/GUIPanel.h"

#include <algorithm>

#include "platform/BitmapHelpers.h"
#include "platform/Dc.h"
#include "skin/LayoutLoader.h"
#include "skin/PanelBitmap.h"

BEGIN_MSG_MAP(CGUIPanel, CDialog)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
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
        m_laterItems = std::make_unique<CPreparedLayout>();
        const CLaterItems later{[this](const char* name) { return MakesLater(name); }, m_laterItems.get()};
        LoadLayoutFile(&m_items, m_layoutFile, this, m_reportProgress, &later);
    }

    m_background = m_items.FindAs<CPanelBitmap>(kBackgroundItemId, ItemKind::PanelBitmap);
    if (m_background && m_background->GetSafeHandle()) {
        CSize size = m_background->GetSize();
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Without a background (a layout that is missing or broken) the panel keeps its template's
    // size: the popup shows empty rather than not at all.

    m_mask = m_items.FindAs<CPanelBitmap>(kMaskItemId, ItemKind::PanelBitmap);
    if (m_mask && m_mask->GetSafeHandle()) {
        CRgnHandle region = CreateRegionFromBitmap(*m_mask);
        const HRGN shape = region.Get();
        if (region && SetWindowRgn(region))
            m_region = shape;  // the window owns it now
    }
    if (m_layoutFile.empty())
        SetWindowPos(nullptr, 0, 0, m_rect.Width(), m_rect.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceOverOwner();

    m_created = true;
    return static_cast<int>(Default());
}

void CGUIPanel::PlaceOverOwner()
{
    if (GetStyle() & WS_CHILD)
        return;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (!owner && m_owner)
        owner = ::GetAncestor(m_owner->GetSafeHwnd(), GA_ROOT);
    const bool overOwner = owner && ::IsWindowVisible(owner) && !::IsIconic(owner);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(overOwner ? ::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                                : ::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY),
                      &monitor);
    const CRect work(monitor.rcWork);
    CRect over = work;
    if (overOwner)
        ::GetWindowRect(owner, &over);
    const CRect window = GetWindowRect();
    const CPoint at = CentredOn(over, window.Size(), work);
    SetWindowPos(nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CPoint CGUIPanel::CentredOn(const RECT& over, SIZE size, const RECT& work)
{
    LONG x = over.left + ((over.right - over.left) - size.cx) / 2;
    LONG y = over.top + ((over.bottom - over.top) - size.cy) / 2;
    // Kept on the work area; a panel larger than it shows its top-left part.
    x = std::max(work.left, std::min(x, work.right - size.cx));
    y = std::max(work.top, std::min(y, work.bottom - size.cy));
    return CPoint(x, y);
}

bool CGUIPanel::MakesLater(const char*) const
{
    return false;
}

bool CGUIPanel::BuildLaterItems()
{
    return m_laterItems && BuildPreparedLayout(*m_laterItems, &m_items, this);
}

void CGUIPanel::OnDestroy()
{
    Default();
    if (m_background)
        m_background->DeleteObject();
    m_paintBackground.DeleteObject();
    if (m_mask)
        m_mask->DeleteObject();
    m_created = false;
}

BOOL CGUIPanel::OnEraseBkgnd(HDC)
{
    // The paint covers the window with the background picture: an erase would only show the bare
    // window colour until then (where an item is hidden, say).
    if (m_created && m_background && m_background->GetSafeHandle())
        return TRUE;
    return static_cast<BOOL>(Default());
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
    if (!m_paintBackground.GetSafeHandle()) {
        const CSize size = m_background->GetSize();
        CMemoryDC original(dc);
        if (m_paintBackground.CreateCompatibleBitmap(dc, size.cx, size.cy)) {
            original.SelectObject(static_cast<HBITMAP>(*m_background));
            source.SelectObject(static_cast<HBITMAP>(m_paintBackground));
            source.BitBlt(0, 0, size.cx, size.cy, original, 0, 0, SRCCOPY);
        }
    }
    source.SelectObject(m_paintBackground.GetSafeHandle() ? static_cast<HBITMAP>(m_paintBackground)
                                                          : static_cast<HBITMAP>(*m_background));
    dc.BitBlt(client.left, client.top, client.Width(), client.Height(), source, 0, 0, SRCCOPY);
}
