#include "platform/ListCtrl.h"

#include <algorithm>
#include <vector>

namespace {

constexpr size_t kMaxText = 0x10000;  // longer row texts are cut

// The list-view class is registered by comctl32 once the program asks for it.
void RegisterListViewClass()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
        return ::InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)registered;
}

} // namespace

CListCtrl::~CListCtrl() = default;

bool CListCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    RegisterListViewClass();
    return CreateEx(0, WC_LISTVIEWW, L"", style | WS_CHILD, rect, parent, id);
}

DWORD CListCtrl::GetExtendedStyle() const
{
    return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
}

DWORD CListCtrl::SetExtendedStyle(DWORD exStyle, DWORD mask)
{
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, exStyle));
}

bool CListCtrl::SetBkColor(COLORREF colour)
{
    return SendMessage(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(colour)) != FALSE;
}

bool CListCtrl::SetTextColor(COLORREF colour)
{
    return SendMessage(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(colour)) != FALSE;
}

bool CListCtrl::SetTextBkColor(COLORREF colour)
{
    return SendMessage(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(colour)) != FALSE;
}

int CListCtrl::InsertColumn(int index, const wchar_t* heading, int format, int width)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.fmt = format;
    column.pszText = const_cast<wchar_t*>(heading ? heading : L"");
    if (width >= 0) {
        column.mask |= LVCF_WIDTH;
        column.cx = width;
    }
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

bool CListCtrl::DeleteColumn(int index)
{
    return SendMessage(LVM_DELETECOLUMN, static_cast<WPARAM>(index)) != FALSE;
}

int CListCtrl::GetColumnWidth(int index) const
{
    return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index)));
}

bool CListCtrl::SetColumnWidth(int index, int width)
{
    return SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), MAKELPARAM(width, 0)) != FALSE;
}

HIMAGELIST CListCtrl::SetImageList(HIMAGELIST images, int which)
{
    return reinterpret_cast<HIMAGELIST>(
        SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(images)));
}

HWND CListCtrl::GetHeaderCtrl() const
{
    return reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
}

int CListCtrl::GetColumnCount() const
{
    HWND header = GetHeaderCtrl();
    return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int CListCtrl::GetItemCount() const
{
    return static_cast<int>(SendMessage(LVM_GETITEMCOUNT));
}

int CListCtrl::InsertItem(int index, const wchar_t* text, LPARAM data)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text ? text : L"");
    item.lParam = data;
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::DeleteItem(int item)
{
    return SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item)) != FALSE;
}

bool CListCtrl::DeleteAllItems()
{
    return SendMessage(LVM_DELETEALLITEMS) != FALSE;
}

bool CListCtrl::SetItemText(int item, int subItem, const wchar_t* text)
{
    LVITEMW record = {};
    record.iSubItem = subItem;
    record.pszText = const_cast<wchar_t*>(text ? text : L"");
    return SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&record)) != FALSE;
}

std::wstring CListCtrl::GetItemText(int item, int subItem) const
{
    // LVM_GETITEMTEXT reports how much it copied, not how long the text is: grow until it fits.
    std::vector<wchar_t> buffer(128);
    for (;;) {
        LVITEMW record = {};
        record.iSubItem = subItem;
        record.pszText = buffer.data();
        record.cchTextMax = static_cast<int>(buffer.size());
        int copied = static_cast<int>(
            SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&record)));
        size_t length = copied > 0 ? std::min(static_cast<size_t>(copied), buffer.size() - 1) : 0;
        if (length + 1 < buffer.size() || buffer.size() >= kMaxText)
            return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

bool CListCtrl::SetItemData(int item, LPARAM data)
{
    LVITEMW record = {};
    record.mask = LVIF_PARAM;
    record.iItem = item;
    record.lParam = data;
    return SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record)) != FALSE;
}

LPARAM CListCtrl::GetItemData(int item) const
{
    LVITEMW record = {};
    record.mask = LVIF_PARAM;
    record.iItem = item;
    return SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record)) ? record.lParam : 0;
}

UINT CListCtrl::GetItemState(int item, UINT mask) const
{
    return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(item), static_cast<LPARAM>(mask)));
}

bool CListCtrl::SetItemState(int item, UINT state, UINT mask)
{
    LVITEMW record = {};
    record.state = state;
    record.stateMask = mask;
    return SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&record)) != FALSE;
}

bool CListCtrl::GetCheck(int item) const
{
    return ((GetItemState(item, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

bool CListCtrl::SetCheck(int item, bool checked)
{
    return SetItemState(item, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
}

int CListCtrl::GetSelectionMark() const
{
    return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK));
}

int CListCtrl::SetSelectionMark(int item)
{
    return static_cast<int>(SendMessage(LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(item)));
}

HWND CListCtrl::EditLabel(int item)
{
    return reinterpret_cast<HWND>(SendMessage(LVM_EDITLABELW, static_cast<WPARAM>(item)));
}

HWND CListCtrl::GetEditControl() const
{
    return reinterpret_cast<HWND>(SendMessage(LVM_GETEDITCONTROL));
}

int CListCtrl::GetNextItem(int start, UINT flags) const
{
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

CRect CListCtrl::GetItemRect(int item, int code) const
{
    CRect rect;
    rect.left = code;
    if (!SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect)))
        return CRect();
    return rect;
}

CRect CListCtrl::GetSubItemRect(int item, int subItem, int code) const
{
    CRect rect;
    rect.top = subItem;
    rect.left = code;
    if (!SendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect)))
        return CRect();
    return rect;
}

bool CListCtrl::RedrawItems(int first, int last)
{
    return SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last)) != FALSE;
}

bool CListCtrl::SortItems(PFNLVCOMPARE compare, LPARAM extra)
{
    return SendMessage(LVM_SORTITEMS, static_cast<WPARAM>(extra), reinterpret_cast<LPARAM>(compare)) != FALSE;
}

int CListCtrl::HitTest(POINT point, UINT* flags) const
{
    LVHITTESTINFO info = {};
    info.pt = point;
    int item = static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (flags)
        *flags = info.flags;
    return item;
}

int CListCtrl::SubItemHitTest(LVHITTESTINFO* info) const
{
    return static_cast<int>(SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(info)));
}

int CListCtrl::GetTopIndex() const
{
    return static_cast<int>(SendMessage(LVM_GETTOPINDEX));
}

int CListCtrl::GetCountPerPage() const
{
    return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE));
}

bool CListCtrl::EnsureVisible(int item, bool partialOk)
{
    return SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), partialOk ? TRUE : FALSE) != FALSE;
}

bool CListCtrl::Scroll(int dx, int dy)
{
    return SendMessage(LVM_SCROLL, static_cast<WPARAM>(dx), static_cast<LPARAM>(dy)) != FALSE;
}

bool CListCtrl::DisableFlatScrollBars()
{
    using InitializeFn = BOOL(WINAPI*)(HWND);
    using EnableFn = BOOL(WINAPI*)(HWND, int, UINT);
    static const HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
    static const auto initialize =
        comctl ? reinterpret_cast<InitializeFn>(reinterpret_cast<void*>(::GetProcAddress(comctl, "InitializeFlatSB")))
               : nullptr;
    static const auto enable =
        comctl ? reinterpret_cast<EnableFn>(reinterpret_cast<void*>(::GetProcAddress(comctl, "FlatSB_EnableScrollBar")))
               : nullptr;
    if (!initialize || !enable)
        return false;
    initialize(m_hWnd);
    return enable(m_hWnd, SB_BOTH, ESB_DISABLE_BOTH) != FALSE;
}

bool CListCtrl::GetVScrollInfo(SCROLLINFO& info) const
{
    info = SCROLLINFO{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    return ::GetScrollInfo(m_hWnd, SB_VERT, &info) != FALSE;
}
