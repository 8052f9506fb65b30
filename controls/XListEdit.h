// CXListEdit: the in-place edit of one cell of the extended list, an edit control over the cell in
// the list's font and colours. Return ends it keeping the text, Escape discarding it; the list ends
// it too when it is clicked. The list owns it; it is a child of the list's window.
#pragma once

#include <windows.h>

#include "platform/GdiObject.h"
#include "platform/Wnd.h"

class CXListCtrl;

class CXListEdit : public CWnd
{
public:
    explicit CXListEdit(CXListCtrl& list);
    ~CXListEdit() override;

    // The edit at rect of the list (its client coordinates), with the list's font and the text.
    bool Create(const RECT& rect, HWND list, HFONT font, const wchar_t* text);

    void SetTextColor(COLORREF colour) { m_textColor = colour; }
    // Also the brush the edit's background is filled with.
    void SetBackColor(COLORREF colour);
    void SetBorderColor(COLORREF colour) { m_borderColor = colour; }
    COLORREF TextColor() const { return m_textColor; }
    COLORREF BackColor() const { return m_backColor; }

private:
    HBRUSH CtlColor(HDC dc, UINT type);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);

    CXListCtrl& m_list;
    COLORREF m_textColor = RGB(255, 255, 255);
    COLORREF m_backColor = RGB(0, 0, 0);
    COLORREF m_borderColor = RGB(255, 255, 255);
    CBrush m_brush;

    HV_DECLARE_MSG_MAP()
};
