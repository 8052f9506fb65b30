#include "platform/Controls.h"

#include <algorithm>

#include "platform/Dc.h"

namespace {

constexpr LRESULT kMaxItemText = 0x10000;

// An item's text through its length and text messages; empty when the index does not exist.
std::wstring ItemText(HWND control, UINT lengthMessage, UINT textMessage, int index)
{
    const LRESULT length = ::SendMessageW(control, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length < 0 || length > kMaxItemText)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(control, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 && copied <= length ? static_cast<size_t>(copied) : 0);
    return text;
}

LPARAM TextParam(const wchar_t* text)
{
    return reinterpret_cast<LPARAM>(text ? text : L"");
}

} // namespace

bool CButton::Create(const wchar_t* text, DWORD style, const RECT& rect, HWND parent, UINT id)
{
    return CreateEx(0, L"Button", text, style | WS_CHILD, rect, parent, id);
}

bool CStatic::Create(const wchar_t* text, DWORD style, const RECT& rect, HWND parent, UINT id)
{
    return CreateEx(0, L"Static", text, style | WS_CHILD, rect, parent, id);
}

bool CEdit::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    return CreateEx(WS_EX_CLIENTEDGE, L"Edit", L"", style | WS_CHILD, rect, parent, id);
}

void CEdit::SetSel(int start, int end, bool noScroll) const
{
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
    if (!noScroll)
        SendMessage(EM_SCROLLCARET);
}

void CEdit::GetSel(int* start, int* end) const
{
    DWORD s = 0;
    DWORD e = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    if (start)
        *start = static_cast<int>(s);
    if (end)
        *end = static_cast<int>(e);
}

void CEdit::ReplaceSel(const wchar_t* text, bool canUndo) const
{
    SendMessage(EM_REPLACESEL, canUndo, TextParam(text));
}

// ---- Combo box ----------------------------------------------------------------------------------

bool CComboBox::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    return CreateEx(0, L"ComboBox", L"", style | WS_CHILD, rect, parent, id);
}

int CComboBox::AddString(const wchar_t* text) const
{
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, TextParam(text)));
}

int CComboBox::InsertString(int index, const wchar_t* text) const
{
    return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), TextParam(text)));
}

int CComboBox::DeleteString(int index) const
{
    return static_cast<int>(SendMessage(CB_DELETESTRING, static_cast<WPARAM>(index)));
}

std::wstring CComboBox::GetLBText(int index) const
{
    return ItemText(m_hWnd, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

int CComboBox::FindString(int start, const wchar_t* text) const
{
    return static_cast<int>(SendMessage(CB_FINDSTRING, static_cast<WPARAM>(start), TextParam(text)));
}

int CComboBox::FindStringExact(int start, const wchar_t* text) const
{
    return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(start), TextParam(text)));
}

int CComboBox::SelectString(int start, const wchar_t* text) const
{
    return static_cast<int>(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(start), TextParam(text)));
}

int CComboBox::WidestItemWidth() const
{
    CClientDC dc(m_hWnd);
    if (HFONT font = GetFont())
        dc.SelectObject(font);
    TEXTMETRICW metrics = {};
    dc.GetTextMetrics(&metrics);
    int widest = 0;
    for (int i = 0, count = GetCount(); i < count; ++i)
        widest = std::max(widest, static_cast<int>(dc.GetTextExtent(GetLBText(i)).cx + metrics.tmAveCharWidth));
    return widest + 2 * ::GetSystemMetrics(SM_CXEDGE) + ::GetSystemMetrics(SM_CXVSCROLL);
}

// ---- List box -----------------------------------------------------------------------------------

bool CListBox::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    return CreateEx(WS_EX_CLIENTEDGE, L"ListBox", L"", style | WS_CHILD, rect, parent, id);
}

int CListBox::AddString(const wchar_t* text) const
{
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, TextParam(text)));
}

int CListBox::InsertString(int index, const wchar_t* text) const
{
    return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), TextParam(text)));
}

int CListBox::DeleteString(int index) const
{
    return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(index)));
}

std::wstring CListBox::GetText(int index) const
{
    return ItemText(m_hWnd, LB_GETTEXTLEN, LB_GETTEXT, index);
}

int CListBox::FindString(int start, const wchar_t* text) const
{
    return static_cast<int>(SendMessage(LB_FINDSTRING, static_cast<WPARAM>(start), TextParam(text)));
}

int CListBox::FindStringExact(int start, const wchar_t* text) const
{
    return static_cast<int>(SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(start), TextParam(text)));
}
