// The owner-drawn bitmap button (BUTTON) with its state pictures: normal, over (the pointer is on
// it), down (pressed or checked), disabled, and an optional mask that shapes it. It tracks hovering
// by holding the mouse capture while the pointer is over it. In check-box mode a click sends
// WM_COMMAND at once and, for a toggle, inverts the checked state. Every press counts as a click,
// the second of a double click too.
#pragma once

#include <windows.h>

#include <string>

#include "controls/ItemToolTip.h"
#include "platform/Dc.h"
#include "platform/GdiObject.h"
#include "platform/Wnd.h"
#include "skin/GUIItem.h"

class CFontItem;

// Text colour used where the configured colour is 0 (0 itself would vanish on the black skins).
constexpr COLORREF kFallbackTextColor = 0xFEFEFE;
// The skin font (CreateSkinFont) of kSkinFontHeight: the font of an item that draws text without a
// font item.
bool CreateFallbackFont(CFont& font);
// A caption as shown: translated, case mode 1 upper or 2 lower, the first "\n" (backslash, n)
// turned into a line break.
std::wstring CaptionText(const wchar_t* key, int caseMode);

class CBitmapBtn : public CWnd, public CGUIItem
{
public:
    static constexpr UINT_PTR kBlinkTimerId = 16;

    CBitmapBtn();
    ~CBitmapBtn() override;

    // An owner-drawn push button, child of parent (WS_TABSTOP and WS_BORDER are dropped).
    bool Create(const wchar_t* caption, DWORD style, const RECT& rect, HWND parent, UINT id);

    // Copies the rectangle (left, top, right, bottom) of each state picture into the button.
    void SetBitmaps(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled, int left, int top, int right,
                    int bottom);
    // The same, with a mask whose opaque pixels become the window's region.
    void SetBitmapsWithMask(HBITMAP mask, HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled,
                            const RECT& rect);
    // Draws each state from the rectangle rect of its picture, and shapes the button by the same
    // rectangle of the mask (optional), without copies: the pictures are borrowed and must outlive
    // the button, as the skin cache's pictures do (it keeps them until the program ends). The
    // button looks as it would with SetBitmapsWithMask.
    void ShareBitmaps(HBITMAP mask, HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled, const RECT& rect);

    // Stores the checked state; repaints only when it changes.
    void SetState(bool checked);
    bool IsChecked() const { return m_checked; }
    void SetCheckBox(bool checkBox) { m_checkBoxMode = checkBox; }
    bool IsCheckBox() const { return m_checkBoxMode; }
    void SetToggle(bool toggle) { m_toggle = toggle; }
    bool IsToggle() const { return m_toggle; }
    bool IsHover() const { return m_hover; }
    void SetHighlighted(bool highlighted);
    bool IsHighlighted() const { return m_highlighted; }

    void SetCaption(const wchar_t* key, int caseMode);
    const std::wstring& Caption() const { return m_caption; }
    void SetFormat(UINT format) { m_format = format; }
    UINT Format() const { return m_format; }
    // The font is set on the window and kept (borrowed from the item list).
    void SetItemFont(CFontItem* font);
    void SetTextColors(COLORREF normal, COLORREF hover, COLORREF down, COLORREF disabled);
    void SetFontColor(COLORREF c) { m_textNormal = c; }
    void SetFontColorHi(COLORREF c) { m_textHover = c; }
    void SetFontColorDown(COLORREF c) { m_textDown = c; }
    void SetDisabledFontColor(COLORREF c) { m_textDisabled = c; }

    // Alternates the picture shown in the normal state between the normal and the down picture
    // every intervalMs; 0 stops.
    void SetBlink(UINT intervalMs);
    bool IsBlinking() const { return m_blinkInterval != 0; }

    void SetToolTip(const wchar_t* key) { m_toolTip.SetText(m_hWnd, key); }
    const CItemToolTip& ToolTip() const { return m_toolTip; }

    BOOL PreTranslateMessage(MSG* msg) override;
    // A button holds no windows of its own.
    bool HostsWindows() const override { return false; }

protected:
    enum State { Normal, Over, Down, Disabled, kStateCount };

    // The picture and text colour for a DRAWITEMSTRUCT item state (ODS_SELECTED, ODS_DISABLED).
    virtual State PictureFor(UINT itemState) const;
    virtual COLORREF TextColorFor(UINT itemState) const;

    void DrawItem(DRAWITEMSTRUCT* item);
    BOOL OnEraseBkgnd(HDC dc);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);

    // Drawn on the state's picture before the caption; nothing in a plain button.
    virtual void DrawOverPicture(CDC& dc, UINT itemState);

    // The whole picture of the button in itemState onto canvas (client coordinates), under showing
    // what lies under the button there (it may be canvas itself).
    void Paint(HDC canvas, HDC under, const CRect& client, UINT itemState);
    void ComposePicture(CDC& target, HDC windowDc, const CRect& client, State state) const;
    // Puts picture into area of target where mask is black and keeps target where it is white.
    static void PaintThroughMask(CDC& target, const CRect& area, HBITMAP picture, HBITMAP mask);
    void DrawCaption(CDC& dc, const CRect& client, COLORREF colour);

    // Sets the window's region from the rectangle rect of mask, once.
    void ShapeByMask(HBITMAP mask, const RECT& rect);
    // A bitmap of the state's picture alone, the button's own: its copy, made on first request
    // when the button draws from a shared picture. Null when the state has no picture.
    HBITMAP OwnPicture(State state) const;

    CItemToolTip m_toolTip;
    // What each state and the mask draw from: the button's own copies or borrowed pictures, of
    // which the button's picture is the rectangle m_source.
    HBITMAP m_pictures[kStateCount] = {};
    HBITMAP m_mask = nullptr;
    CRect m_source;
    mutable CBitmap m_copies[kStateCount];  // also made on request (OwnPicture)
    CBitmap m_maskCopy;
    bool m_regionSet = false;
    bool m_checked = false;
    bool m_checkBoxMode = false;
    bool m_hover = false;
    bool m_toggle = false;
    bool m_highlighted = false;
    COLORREF m_textNormal = 0;
    COLORREF m_textHover = 0;
    COLORREF m_textDown = 0;
    COLORREF m_textDisabled = 0;
    std::wstring m_caption;
    CFontItem* m_font = nullptr;
    CFont m_fallbackFont;
    UINT m_format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    UINT m_blinkInterval = 0;
    State m_blinkPicture = Normal;

    HV_DECLARE_MSG_MAP()
};
