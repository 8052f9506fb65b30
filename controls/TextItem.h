// A transparent, owner-drawn text (TEXTITEM), usually a translated language key. It can be the label
// of a check-box button: hovering it highlights the button, and clicking it clicks the button
// (toggling it when the button toggles), so that the label acts as part of the box.
#pragma once

#include <windows.h>

#include <string>

#include "controls/ItemToolTip.h"
#include "platform/GdiObject.h"
#include "platform/Wnd.h"
#include "skin/GUIItem.h"

class CBitmapBtn;
class CFontItem;

class CTextItem : public CWnd, public CGUIItem
{
public:
    // The text: key translated, case mode 1 upper or 2 lower, the first "\n" a line break.
    CTextItem(const wchar_t* key, int caseMode);
    ~CTextItem() override;

    // A static window at rect of parent (style: WS_CHILD, WS_VISIBLE, SS_OWNERDRAW and, for a text
    // that takes clicks, SS_NOTIFY), with the control id given.
    bool Create(const RECT& rect, HWND parent, DWORD style, UINT id);

    // As the constructor; the parent repaints the area under the text, which shows through.
    void SetText(const wchar_t* key, int caseMode);
    const std::wstring& GetText() const { return m_text; }

    // DrawText format flags; 0 draws with TextOut, 5 pixels from the left, centred vertically.
    void SetFormat(UINT format) { m_format = format; }
    UINT Format() const { return m_format; }
    // Borrowed from the item list.
    void SetItemFont(CFontItem* font) { m_font = font; }
    void SetFontColor(COLORREF c) { m_colorNormal = c; }
    void SetFontColorHi(COLORREF c) { m_colorHover = c; }
    void SetDisabledFontColor(COLORREF c) { m_colorDisabled = c; }
    // Shown in the disabled colour, and neither hovered nor clicked.
    void SetDisabled(bool disabled);
    bool IsDisabled() const { return m_disabled; }
    bool IsHover() const { return m_hover; }
    // The check-box button the text is the label of (borrowed), or null.
    void SetCheckBox(CBitmapBtn* button) { m_checkBox = button; }
    CBitmapBtn* CheckBox() const { return m_checkBox; }
    // The colour the text is drawn in now.
    COLORREF CurrentColor() const;

    void SetToolTip(const wchar_t* key) { m_toolTip.SetText(m_hWnd, key); }
    const CItemToolTip& ToolTip() const { return m_toolTip; }
    BOOL PreTranslateMessage(MSG* msg) override;
    // A text item holds no windows of its own.
    bool HostsWindows() const override { return false; }

private:
    void RepaintUnder();
    void SetHover(bool hover);

    void DrawItem(DRAWITEMSTRUCT* item);
    HBRUSH CtlColor(HDC dc, UINT type);
    BOOL OnEraseBkgnd(HDC dc);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);

    CItemToolTip m_toolTip;
    std::wstring m_text;
    CFontItem* m_font = nullptr;
    CFont m_fallbackFont;
    bool m_hover = false;
    bool m_disabled = false;
    COLORREF m_colorNormal = 0;
    COLORREF m_colorHover = 0;
    COLORREF m_colorDisabled = 0;
    UINT m_format = 0;
    CBitmapBtn* m_checkBox = nullptr;

    HV_DECLARE_MSG_MAP()
};
