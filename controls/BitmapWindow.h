// A window that shows an assignment (BITMAPWINDOW): one of its state pictures, an optional content
// image, and a text preceded by the icon of the assignment's type.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "controls/ItemToolTip.h"
#include "platform/GdiObject.h"
#include "platform/Wnd.h"
#include "skin/GUIItem.h"

class CFontItem;

class CBitmapWindow : public CWnd, public CGUIItem
{
public:
    CBitmapWindow();
    ~CBitmapWindow() override;

    bool Create(const RECT& rect, HWND parent);

    // The drawing rectangle is the client area grown to the base picture's size; every given
    // picture is copied at that size. A mask shapes the window.
    void SetBitmaps(HBITMAP base, HBITMAP normal, HBITMAP hover, HBITMAP selected, HBITMAP mask);
    // Translated; case mode 1 upper, 2 lower; the first "\n" breaks the line.
    void SetText(const wchar_t* key, int caseMode);
    void SetText(const wchar_t* key) { SetText(key, m_caseMode); }
    void SetCaseMode(int caseMode) { m_caseMode = caseMode; }
    void SetFormat(UINT format) { m_format = format; }
    void SetItemFont(CFontItem* font) { m_font = font; }
    void SetTextColor(COLORREF colour) { m_textColor = colour; }
    void AddAssignmentIcon(int type, HBITMAP icon);
    void SetAssignmentType(int type);
    // A picture drawn centred (shrunk to fit); borrowed.
    void SetContentImage(HBITMAP image);
    void SetSelected(bool selected);
    void SetHighlighted(bool highlighted);
    void SetShowLine(bool show);
    void SetToolTip(const wchar_t* key) { m_toolTip.SetText(m_hWnd, key); }
    const CItemToolTip& ToolTip() const { return m_toolTip; }

    const std::wstring& Text() const { return m_text; }
    UINT Format() const { return m_format; }
    int CaseMode() const { return m_caseMode; }
    bool IsHover() const { return m_hover; }
    bool IsSelected() const { return m_selected; }

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    enum Picture { Base, Normal, Hover, Selected, kPictureCount };

    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnCaptureChanged(WPARAM, LPARAM lParam);

    CItemToolTip m_toolTip;
    CBitmap m_pictures[kPictureCount];
    CRect m_drawRect;
    HBITMAP m_content = nullptr;
    std::wstring m_text;
    int m_caseMode = 0;
    UINT m_format = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    CFontItem* m_font = nullptr;
    CFont m_fallbackFont;
    COLORREF m_textColor = 0;
    std::map<int, HBITMAP> m_icons;  // borrowed from the skin cache
    int m_assignmentType = -1;
    bool m_hover = false;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_showLine = false;

    HV_DECLARE_MSG_MAP()
};
