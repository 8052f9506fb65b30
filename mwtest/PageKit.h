// What several pages of the test program share: the messages pages post to themselves, the
// context-menu and file-dialog conventions, rows of a list that own a middleware object, the
// colour buttons, and text helpers for GUIDs and task-allocated strings.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <initializer_list>
#include <string>

#include "platform/ListCtrl.h"

// Messages a page posts to itself (WM_USER + 0x100 and up), so that the work of an event or a
// click is done by the page's own handler once the notification that caused it has returned.
inline constexpr UINT kMsgActiveProfileChanged = 0x500;  // wParam, lParam 0
inline constexpr UINT kMsgSetActiveValues = 0x501;       // wParam x, lParam y
inline constexpr UINT kMsgDpiValuesEvent = 0x502;        // wParam flags, lParam value
inline constexpr UINT kMsgDpiStageEvent = 0x503;         // wParam flags, lParam value
inline constexpr UINT kMsgCheckBoxClicked = 0x600;       // wParam row, lParam sub-item
// A page refills a list once the notification it is handling has returned: a list (or its
// header) must not lose its items while it is still sending about them.
inline constexpr UINT kMsgRefill = 0x601;

// Context menus return their command and send nothing (0x182).
inline constexpr UINT kContextMenuFlags = TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY;
// The file dialogs: hide read-only, prompt before overwriting (6).
inline constexpr DWORD kFileDialogFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
// Every message box of the program carries the program's name.
inline constexpr const wchar_t* kProgramName = L"HvMwTestApp";

// Takes a task-allocated string, frees it and returns its text (empty for null).
std::wstring TakeText(LPWSTR text);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::wstring GuidText(const GUID& id);
// The GUID of a text in that form; false (id unchanged) for any other text.
bool ParseGuid(const std::wstring& text, GUID* id);
// The number a control's text is (decimal, signed); 0 when it is not one.
int DlgItemNumber(HWND dialog, int id);

// Whether a block the middleware allocated with the task allocator holds at least bytes: its
// counts are checked against it before anything past its start is read.
bool TaskBlockHolds(const void* block, size_t bytes);
// How many of count items of itemBytes each a task-allocated block really holds (0 for none, or
// for a block of another allocator): a count the middleware gives is taken only that far.
int TaskBlockItems(const void* block, int count, size_t itemBytes);

// The most items a walk of the middleware's lists takes (devices, profiles, LEDs, macros,
// applications, APM levels), as in the other programs: a list walks from index 0 until the indexed
// call fails, whatever its code, and a middleware that never fails it cannot hold a page forever.
inline constexpr int kMaxListWalk = 4096;

// Red, green and blue of a COLORREF as decimal bytes.
inline int RedOf(COLORREF c) { return static_cast<int>(c & 0xFF); }
inline int GreenOf(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int BlueOf(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

// An owner-drawn colour button: a white and black 3-D frame filled with colour, its edge sunken
// while the button is pressed and raised otherwise.
void DrawColorButton(const DRAWITEMSTRUCT& item, COLORREF colour);

// Whether a click of a list (NM_CLICK or NM_DBLCLK) hit a row's check box: the cursor's position is
// tested, as the list saw it. The row hit, or -1.
int CheckBoxHit(const CListCtrl& list);
// The row and column under the point of a list's click notification (-1, -1 when none).
LVHITTESTINFO CellHit(const CListCtrl& list, const NMHDR* header);

// A report list of a page: its control attached, its columns (heading, LVCFMT_* format, width) and
// its extended styles added.
struct ListColumn
{
    const wchar_t* heading;
    int format;
    int width;
};
void SetUpList(CListCtrl& list, HWND page, int id, std::initializer_list<ListColumn> columns, DWORD exStyles);
// Grid lines and full-row select (0x21), the lists' usual look.
inline constexpr DWORD kGridRows = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;

// Rows whose item data is a middleware object the row owns (one reference each).
template <class I>
I* RowObject(const CListCtrl& list, int row)
{
    return row >= 0 && row < list.GetItemCount() ? reinterpret_cast<I*>(list.GetItemData(row)) : nullptr;
}
// Releases every row's object, then deletes the rows.
template <class I>
void ReleaseRows(CListCtrl& list)
{
    if (!list.m_hWnd)
        return;
    for (int row = 0, count = list.GetItemCount(); row < count; ++row)
        if (I* object = RowObject<I>(list, row))
            object->Release();
    list.DeleteAllItems();
}
// Adds a row that takes over the caller's reference to object; on failure the reference is released.
template <class I>
int AddObjectRow(CListCtrl& list, int index, const wchar_t* text, I* object)
{
    const int row = list.InsertItem(index, text, reinterpret_cast<LPARAM>(object));
    if (row < 0 && object)
        object->Release();
    return row;
}
