#include "controls/ListPanelItem.h"

#include <algorithm>
#include <set>

#include "skin/FontItem.h"
#include "skin/LangTable.h"

namespace {

// The items alive now, so that an entry's value is taken for an item only when it is one.
// User-interface thread only, like the items.
std::set<const CListPanelItem*>& LiveItems()
{
    static std::set<const CListPanelItem*> items;
    return items;
}

} // namespace

CListPanelItem::CListPanelItem(CWnd* owner, int width, int defaultHeight)
    : m_ownerWindow(owner), m_width(width), m_defaultHeight(defaultHeight)
{
    kind = ItemKind::ListPanelItem;
    window = nullptr;
    LiveItems().insert(this);
}

CListPanelItem::~CListPanelItem()
{
    LiveItems().erase(this);
}

CListPanelItem* CListPanelItem::FromEntryValue(intptr_t value)
{
    auto* candidate = reinterpret_cast<const CListPanelItem*>(value);
    return LiveItems().count(candidate) ? const_cast<CListPanelItem*>(candidate) : nullptr;
}

void CListPanelItem::SetEntries(const std::vector<ListEntry>& entries)
{
    m_entries = entries;
    if (m_staticList)
        m_staticList->SetItems(m_entries);
}

int CListPanelItem::PopupPanel(int height, HWND window, int x, int y)
{
    CPoint origin(0, 0);
    if (window)
        ::ClientToScreen(window, &origin);
    const CRect rect(origin.x + x, origin.y + y, origin.x + x + m_width,
                     origin.y + y + (height > 0 ? height : m_defaultHeight));
    CWnd* parent = CWnd::FromHandlePermanent(window);
    CListPanel panel(parent ? parent : m_ownerWindow, rect, m_entries, m_sorted, false);
    panel.Look() = m_look;
    return static_cast<int>(panel.DoModal());
}

CRect CListPanelItem::SubmenuPlace(const RECT& row, SIZE size, const RECT& screen)
{
    LONG x = row.right;
    if (x + size.cx > screen.right && row.left - size.cx >= screen.left)
        x = row.left - size.cx;
    x = std::max(screen.left, std::min(x, screen.right - size.cx));
    LONG y = std::max(screen.top, std::min(row.top, screen.bottom - size.cy));
    return CRect(x, y, x + size.cx, y + size.cy);
}

int CListPanelItem::PopupSubmenu(int height, HWND window, const RECT& row)
{
    CRect onScreen(row);
    if (window)
        ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromRect(&onScreen, MONITOR_DEFAULTTONEAREST), &monitor);
    const CSize size(m_width, height > 0 ? height : m_defaultHeight);
    const CRect rect = SubmenuPlace(onScreen, size, monitor.rcMonitor);
    CWnd* parent = CWnd::FromHandlePermanent(window);
    CListPanel panel(parent ? parent : m_ownerWindow, rect, m_entries, m_sorted, false);
    panel.Look() = m_look;
    return static_cast<int>(panel.DoModal());
}

bool CListPanelItem::CreateStaticList(HWND parent, const RECT& rect)
{
    auto list = std::make_unique<CListPanelStatic>();
    if (!list->Create(m_entries, m_look, m_sorted, rect, parent, id))
        return false;
    m_staticList = std::move(list);
    window = m_staticList->GetSafeHwnd();
    return true;
}

void CListPanelItem::Show(bool show)
{
    if (m_staticList)
        m_staticList->Show(show);
}

std::wstring CListPanelItem::GetEntryText(int index) const
{
    return EntryName(m_entries, index);
}

int CListPanelItem::FindEntry(const std::wstring& name) const
{
    return FindEntryByName(m_entries, name);
}

int CListPanelItem::GetCurSel() const
{
    return m_shown.empty() ? -1 : FindEntry(m_shown);
}

bool CListPanelItem::SetCurSel(int index)
{
    if (index >= static_cast<int>(m_entries.size()))
        return false;
    if (index < 0) {
        if (!m_staticList)
            return false;
        m_staticList->SetSelectedRow(-1);
        m_shown.clear();
        return true;
    }
    m_shown = m_entries[static_cast<size_t>(index)].name;
    if (m_staticList)
        m_staticList->SetSelectedRow(m_staticList->RowOfEntry(index));
    return true;
}

void CListPanelItem::SetChoice(int index)
{
    if (index >= 0 && static_cast<size_t>(index) < m_entries.size()) {
        SetCurSel(index);
        return;
    }
    m_shown.clear();
    if (m_staticList)
        m_staticList->SetSelectedRow(-1);
}

void CListPanelItem::SetListHeading(const wchar_t* key)
{
    std::wstring text;
    TranslateText(key ? key : L"", text);
    if (m_staticList)
        m_staticList->SetHeading(text);
}

void CListPanelItem::SetFontColorSel(COLORREF c)
{
    m_look.colors.selectedText = c;
    m_look.colors.hasSelected = true;
}

void CListPanelItem::SetBackColorSel(COLORREF c)
{
    m_look.colors.selectedBack = c;
    m_look.colors.hasSelected = true;
}

void CListPanelItem::SetItemFont(CFontItem* font)
{
    m_look.font = font ? static_cast<HFONT>(*font) : nullptr;
}

void CListPanelItem::SetToolTip(const wchar_t* key)
{
    m_look.toolTip = key ? key : L"";
    if (m_staticList)
        m_staticList->SetHeading(m_look.toolTip);
}
