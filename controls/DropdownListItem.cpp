#include "controls/DropdownListItem.h"

#include <algorithm>

#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "controls/ListPanelItem.h"
#include "platform/Dc.h"
#include "platform/MemDC2.h"
#include "skin/FontItem.h"
#include "skin/LangTable.h"

BEGIN_MSG_MAP(CDropdownListItem, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    HV_ON_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDown)
END_MSG_MAP()

CDropdownListItem::CDropdownListItem()
{
    kind = ItemKind::DropdownList;
}

CDropdownListItem::~CDropdownListItem() = default;

bool CDropdownListItem::Create(const RECT& rect, HWND parent, UINT id)
{
    if (!CreateEx(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, rect, parent, id))
        return false;
    window = m_hWnd;
    return true;
}

// ---- Entries ------------------------------------------------------------------------------------

int CDropdownListItem::AddEntry(const wchar_t* name, intptr_t value)
{
    ListEntry entry;
    entry.Init(name ? name : L"", value, nullptr);
    return AddEntryRecord(entry);
}

int CDropdownListItem::AddEntryRecord(const ListEntry& entry)
{
    m_entries.push_back(entry);
    return static_cast<int>(m_entries.size()) - 1;
}

bool CDropdownListItem::InsertEntry(int index, const wchar_t* name)
{
    if (index < 0)
        return false;
    ListEntry entry;
    entry.Init(name ? name : L"", 0, nullptr);
    const size_t at = std::min(static_cast<size_t>(index), m_entries.size());
    m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(at), entry);
    return true;
}

std::wstring CDropdownListItem::GetEntryText(int index) const
{
    return EntryName(m_entries, index);
}

int CDropdownListItem::FindEntry(const std::wstring& name) const
{
    return FindEntryByName(m_entries, name);
}

// ---- Choice -------------------------------------------------------------------------------------

int CDropdownListItem::GetCurSel() const
{
    return m_shown.empty() ? -1 : FindEntry(m_shown);
}

int CDropdownListItem::GetCurSelWithData(std::wstring& secondary) const
{
    secondary = m_secondary;
    return GetCurSel();
}

bool CDropdownListItem::SetCurSel(int index, const wchar_t* secondary)
{
    if (index < 0 || static_cast<size_t>(index) >= m_entries.size())
        return false;
    m_secondary = secondary ? secondary : L"";
    m_shown = m_entries[static_cast<size_t>(index)].name;
    if (m_hWnd)
        Invalidate(FALSE);
    return true;
}

void CDropdownListItem::ClearCurSel()
{
    m_shown.clear();
    m_secondary.clear();
    if (m_hWnd)
        Invalidate(FALSE);
}

void CDropdownListItem::SetDisabled(bool disabled)
{
    m_disabled = disabled;
    if (m_hWnd)
        Invalidate(FALSE);
}

bool CDropdownListItem::IsDisabled() const
{
    return m_disabled || (m_hWnd && !IsWindowEnabled());
}

ListPanelLook CDropdownListItem::ListLook() const
{
    ListPanelLook look;
    look.colors.text = m_text;
    look.colors.back = m_back;
    look.colors.hotText = m_textOpen;
    look.colors.hotBack = m_backOpen;
    look.colors.disabledText = m_textDisabled;
    look.colors.disabledBack = m_backDisabled;
    look.colors.border = m_border;
    look.font = m_font ? static_cast<HFONT>(*m_font) : nullptr;
    look.borderWidth = m_borderWidth;
    look.leftMargin = m_leftMargin;
    look.scrollSkin = m_listSkin;
    return look;
}

BOOL CDropdownListItem::PreTranslateMessage(MSG* msg)
{
    m_toolTip.Relay(m_hWnd, msg);
    return CWnd::PreTranslateMessage(msg);
}

// ---- Opening ------------------------------------------------------------------------------------

bool CDropdownListItem::StillHere(HWND self) const
{
    return ::IsWindow(self) && CWnd::FromHandlePermanent(self) == this;
}

void CDropdownListItem::OnLButtonDown(UINT, CPoint)
{
    if (IsDisabled())
        return;
    HWND self = m_hWnd;
    HWND parent = GetParent();
    ::SendMessageW(parent, WM_DROPDOWN_CLICKED, 0, reinterpret_cast<LPARAM>(self));
    if (StillHere(self))
        Open();
}

void CDropdownListItem::Open()
{
    HWND self = m_hWnd;
    const CRect field = GetWindowRect();
    const int border = m_borderWidth > 0 ? m_borderWidth : 1;
    int height = m_listHeight;
    if (height <= 0) {
        const int rows = std::max(1, std::min(static_cast<int>(m_entries.size()), CListPanelList::kMaxUnscrolledRows));
        height = rows * CListPanelList::kRowHeight + border;
    }
    CListPanel panel(this, CRect(field.left, field.bottom, field.right, field.bottom + height), m_entries, m_sorted,
                     true);
    panel.Look() = ListLook();
    m_open = true;
    Invalidate(FALSE);
    const int chosen = static_cast<int>(panel.DoModal());
    if (!StillHere(self))
        return;
    m_open = false;
    Invalidate(FALSE);
    if (chosen < 0 || static_cast<size_t>(chosen) >= m_entries.size())
        return;

    std::wstring secondary;
    if (CListPanelItem* nested = NestedListOf(m_entries[static_cast<size_t>(chosen)])) {
        const int nestedChoice = nested->GetCurSel();
        if (nestedChoice < 0)
            return;  // the nested list closed without a choice: nothing changes
        secondary = nested->GetEntryText(nestedChoice);
    }
    SetCurSel(chosen, secondary.c_str());
    ::SendMessageW(GetParent(), WM_DROPDOWN_SELCHANGE, static_cast<WPARAM>(chosen), reinterpret_cast<LPARAM>(self));
}

// ---- Drawing ------------------------------------------------------------------------------------

BOOL CDropdownListItem::OnEraseBkgnd(HDC)
{
    return TRUE;
}

void CDropdownListItem::OnPaint()
{
    CPaintDC paint(m_hWnd);
    const CRect client = GetClientRect();
    CMemDC2 dc(paint, &client);
    const bool disabled = IsDisabled();
    const COLORREF back = disabled ? m_backDisabled : m_open ? m_backOpen : m_back;
    const COLORREF border = disabled ? m_borderDisabled : m_border;
    const COLORREF text = disabled ? m_textDisabled : m_open ? m_textOpen : m_text;
    dc.FillSolidRect(client, back);
    DrawBorder(dc, client, m_borderWidth, border);

    if (!m_font && !m_fallbackFont)
        CreateFallbackFont(m_fallbackFont);
    dc.SelectObject(m_font ? static_cast<HFONT>(*m_font) : static_cast<HFONT>(m_fallbackFont));
    dc.SetTextColor(text);
    dc.SetBkMode(TRANSPARENT);
    std::wstring shown;
    TranslateText(m_shown.c_str(), shown);
    if (!m_secondary.empty())
        shown += L": " + m_secondary;
    CRect textRect(client.left + m_borderWidth + m_leftMargin, client.top + m_borderWidth,
                   client.right - m_borderWidth - m_rightMargin, client.bottom - m_borderWidth);
    dc.DrawText(shown, &textRect, DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);

    // The arrow: lines of 7, 5, 3 and 1 pixels, each one lower and one further right.
    const int x = client.right - m_borderWidth - std::max(m_rightMargin, 8) / 2 - 4;
    const int y = client.top + client.Height() / 2 - 2;
    for (int i = 0; i < 4; ++i)
        dc.FillSolidRect(CRect(x + i, y + i, x + 7 - i, y + i + 1), text);
}
