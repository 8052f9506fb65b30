#include "mwtest/PageKit.h"

#include <objbase.h>

#include "platform/GdiObject.h"

std::wstring TakeText(LPWSTR text)
{
    std::wstring result = text ? text : L"";
    ::CoTaskMemFree(text);
    return result;
}

std::wstring GuidText(const GUID& id)
{
    wchar_t text[40] = {};
    if (::StringFromGUID2(id, text, 40) <= 0)
        return std::wstring();
    return text;
}

bool ParseGuid(const std::wstring& text, GUID* id)
{
    // IIDFromString takes the braced form only and consults no registry.
    if (text.size() != 38 || text.front() != L'{' || text.back() != L'}')
        return false;
    GUID parsed = {};
    if (FAILED(::IIDFromString(text.c_str(), &parsed)))
        return false;
    *id = parsed;
    return true;
}

namespace {

// The bytes of a task-allocated block; 0 for none or for a block of another allocator.
size_t TaskBlockBytes(const void* block)
{
    if (!block)
        return 0;
    IMalloc* allocator = nullptr;
    if (FAILED(::CoGetMalloc(1, &allocator)) || !allocator)
        return 0;
    const SIZE_T size = allocator->GetSize(const_cast<void*>(block));
    allocator->Release();
    // (SIZE_T)-1: not a block of this allocator.
    return size == static_cast<SIZE_T>(-1) ? 0 : size;
}

} // namespace

bool TaskBlockHolds(const void* block, size_t bytes)
{
    if (!block)
        return bytes == 0;
    return TaskBlockBytes(block) >= bytes;
}

int TaskBlockItems(const void* block, int count, size_t itemBytes)
{
    if (count <= 0 || itemBytes == 0)
        return 0;
    const size_t held = TaskBlockBytes(block) / itemBytes;
    return held < static_cast<size_t>(count) ? static_cast<int>(held) : count;
}

int DlgItemNumber(HWND dialog, int id)
{
    BOOL valid = FALSE;
    const int value = static_cast<int>(::GetDlgItemInt(dialog, id, &valid, TRUE));
    return valid ? value : 0;
}

void DrawColorButton(const DRAWITEMSTRUCT& item, COLORREF colour)
{
    RECT rect = item.rcItem;
    HDC dc = item.hDC;
    // The frame: white on the top and left, black on the bottom and right.
    HBRUSH white = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    HBRUSH black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    const RECT top = {rect.left, rect.top, rect.right, rect.top + 1};
    const RECT left = {rect.left, rect.top, rect.left + 1, rect.bottom};
    const RECT bottom = {rect.left, rect.bottom - 1, rect.right, rect.bottom};
    const RECT right = {rect.right - 1, rect.top, rect.right, rect.bottom};
    ::FillRect(dc, &top, white);
    ::FillRect(dc, &left, white);
    ::FillRect(dc, &bottom, black);
    ::FillRect(dc, &right, black);
    ::InflateRect(&rect, -1, -1);
    CBrush fill(colour);
    if (fill)
        ::FillRect(dc, &rect, fill);
    ::DrawEdge(dc, &rect, (item.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
}

void SetUpList(CListCtrl& list, HWND page, int id, std::initializer_list<ListColumn> columns, DWORD exStyles)
{
    list.SubclassDlgItem(id, page);
    int index = 0;
    for (const ListColumn& column : columns)
        list.InsertColumn(index++, column.heading, column.format, column.width);
    list.SetExtendedStyle(exStyles, exStyles);
}

int CheckBoxHit(const CListCtrl& list)
{
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(list.m_hWnd, &cursor);
    UINT flags = 0;
    const int row = list.HitTest(cursor, &flags);
    // A full-row list answers every part of the row for a point beside them: the box alone counts.
    return row >= 0 && (flags & LVHT_ONITEM) == LVHT_ONITEMSTATEICON ? row : -1;
}

LVHITTESTINFO CellHit(const CListCtrl& list, const NMHDR* header)
{
    LVHITTESTINFO info = {};
    info.pt = reinterpret_cast<const NMITEMACTIVATE*>(header)->ptAction;
    if (list.SubItemHitTest(&info) < 0) {
        info.iItem = -1;
        info.iSubItem = -1;
    }
    return info;
}
