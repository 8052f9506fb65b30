// One DPI stage of the sensitivity stages pop-up (DPISTAGEWINDOW): a framed window with the stage's
// title and its DPI, one common value or separate X and Y values, each in a value box. The pop-up
// writes the stage's values and states into the window; the window tells the pop-up when the user
// picks it (WM_DPISTAGE_CLICKED, sent, once per pick of a stage that is not yet selected) and then
// marks itself selected. A disabled window (a stage beyond the active count) paints nothing.
// User-interface thread only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/ItemToolTip.h"
#include "platform/GdiObject.h"
#include "platform/Geometry.h"
#include "platform/Wnd.h"
#include "skin/GUIItem.h"

class CDC;
class CFontItem;

// A named picture of a stage window (BMPINFO): the picture and its optional mask (both borrowed
// from the skin cache while the window is created, then copied) at a rectangle of the window.
struct DpiStageBitmap
{
    std::wstring name;
    HBITMAP bitmap = nullptr;
    HBITMAP mask = nullptr;
    CRect rect;
};

// A named text of a stage window (TEXTAREA): a language key or a literal at a rectangle.
struct DpiStageTextArea
{
    std::wstring name;
    std::wstring text;
    CRect rect;
};

class CDPIStageWindow : public CWnd, public CGUIItem
{
public:
    // stageIndex: the stage the window shows, 1-based.
    explicit CDPIStageWindow(int stageIndex);
    ~CDPIStageWindow() override;

    // The window at rect of parent with the item id as control id; takes the pictures DPIFRAME,
    // DPIFRAMESELECTED, DPIWIN, DPIWINX, DPIWINY and the texts HEADING, DPI, X, Y, DPIX, DPIY by
    // name (the first of a name counts; others are ignored).
    bool CreateFromLayout(HWND parent, const std::vector<DpiStageTextArea>& texts,
                          const std::vector<DpiStageBitmap>& bitmaps, const RECT& rect);

    // The title: translated, case mode applied, the first "\n" (backslash, n) a line break.
    void SetHeading(const wchar_t* key);
    const std::wstring& Heading() const { return m_heading.text; }
    void SetCaseMode(int caseMode) { m_caseMode = caseMode; }
    void SetToolTip(const wchar_t* key) { m_toolTip.SetText(m_hWnd, key); }
    const CItemToolTip& ToolTip() const { return m_toolTip; }
    BOOL PreTranslateMessage(MSG* msg) override;

    // Borrowed from the item list.
    void SetItemFont(CFontItem* font) { m_font = font; }
    void SetFontColor(COLORREF colour) { m_fontColor = colour; }
    void SetFormat(UINT format) { m_format = format; }

    // ---- Written by the pop-up; each repaints when it changes something ----
    void SetSelected(bool selected);
    void SetEnabled(bool enabled);
    void SetSeparateXY(bool separate);
    void SetValues(int common, int x, int y);
    void SetClickable(bool clickable) { m_clickable = clickable; }

    int StageIndex() const { return m_stageIndex; }
    bool IsSelected() const { return m_selected; }
    bool IsEnabled() const { return m_enabled; }
    bool IsSeparateXY() const { return m_separateXY; }
    bool IsClickable() const { return m_clickable; }
    int CommonValue() const { return m_common; }
    int XValue() const { return m_x; }
    int YValue() const { return m_y; }
    // The value texts as drawn.
    const std::wstring& CommonText() const { return m_commonText; }
    const std::wstring& XText() const { return m_xText; }
    const std::wstring& YText() const { return m_yText; }

private:
    struct Piece
    {
        CBitmap picture;
        CBitmap mask;
        CRect rect;
        explicit operator bool() const { return static_cast<bool>(picture); }
    };
    struct Text
    {
        std::wstring text;
        CRect rect;
        bool present = false;
    };

    static void TakePiece(Piece& piece, const DpiStageBitmap& source);
    // Copies piece into dc at its rectangle, through its mask when it has one; picture replaces the
    // piece's own picture when given (the skin's picture of a selected value box).
    static void DrawPiece(CDC& dc, const Piece& piece, HBITMAP picture = nullptr);
    void DrawText(CDC& dc, const Text& text) const;
    // The value text in box shrunk by 3 pixels left and right and 2 above and below; blackened first
    // where the box's own picture is not meant to show through.
    void DrawValue(CDC& dc, const Piece& box, const std::wstring& value, bool blacken) const;
    void Repaint();

    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    void OnLButtonUp(UINT flags, CPoint point);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);

    Piece m_frame;
    Piece m_frameSelected;
    Piece m_valueBox;
    Piece m_valueBoxX;
    Piece m_valueBoxY;
    Text m_heading;
    Text m_dpiLabel;
    Text m_xLabel;
    Text m_yLabel;
    Text m_dpiXText;
    Text m_dpiYText;
    std::wstring m_commonText = L"0";
    std::wstring m_xText = L"0";
    std::wstring m_yText = L"0";
    int m_common = 0;
    int m_x = 0;
    int m_y = 0;
    int m_stageIndex;
    bool m_clickable = true;
    bool m_selected = false;
    bool m_enabled = false;
    bool m_separateXY = false;
    int m_caseMode = 0;
    UINT m_format = DT_SINGLELINE | DT_VCENTER;
    CFontItem* m_font = nullptr;
    CFont m_fallbackFont;
    COLORREF m_fontColor = 0;
    CItemToolTip m_toolTip;

    HV_DECLARE_MSG_MAP()
};
