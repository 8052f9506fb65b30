#include "controls/DpiStageWindow.h"

#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "platform/Dc.h"
#include "platform/MemDC2.h"
#include "platform/WStr.h"
#include "skin/FontItem.h"
#include "skin/LangTable.h"
#include "skin/SkinResourceCache.h"

namespace {

// The skin's picture of the value box of the selected stage.
constexpr wchar_t kSelectedBoxPicture[] = L"stageSelected.bmp";

HBITMAP SelectedBoxPicture()
{
    SkinResource* entry = GetSkinResourceCache().Get(kSelectedBoxPicture, SkinResourcePicture);
    return entry ? entry->bitmap.Get() : nullptr;
}

} // namespace

BEGIN_MSG_MAP(CDPIStageWindow, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONUP()
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
END_MSG_MAP()

CDPIStageWindow::CDPIStageWindow(int stageIndex) : m_stageIndex(stageIndex)
{
    kind = ItemKind::DPIStageWindow;
}

CDPIStageWindow::~CDPIStageWindow() = default;

void CDPIStageWindow::TakePiece(Piece& piece, const DpiStageBitmap& source)
{
    if (piece || !source.bitmap)
        return;
    piece.picture.CopyFrom(source.bitmap);
    if (source.mask)
        piece.mask.CopyFrom(source.mask);
    piece.rect = source.rect;
}

bool CDPIStageWindow::CreateFromLayout(HWND parent, const std::vector<DpiStageTextArea>& texts,
                                       const std::vector<DpiStageBitmap>& bitmaps, const RECT& rect)
{
    if (m_hWnd || !parent)
        return false;
    const struct
    {
        const wchar_t* name;
        Piece* piece;
    } pieces[] = {{L"DPIFRAME", &m_frame},
                  {L"DPIFRAMESELECTED", &m_frameSelected},
                  {L"DPIWIN", &m_valueBox},
                  {L"DPIWINX", &m_valueBoxX},
                  {L"DPIWINY", &m_valueBoxY}};
    for (const DpiStageBitmap& bitmap : bitmaps) {
        for (const auto& p : pieces) {
            if (bitmap.name == p.name)
                TakePiece(*p.piece, bitmap);
        }
    }
    const struct
    {
        const wchar_t* name;
        Text* text;
    } labels[] = {{L"HEADING", &m_heading}, {L"DPI", &m_dpiLabel},  {L"X", &m_xLabel},
                  {L"Y", &m_yLabel},        {L"DPIX", &m_dpiXText}, {L"DPIY", &m_dpiYText}};
    for (const DpiStageTextArea& area : texts) {
        for (const auto& l : labels) {
            if (area.name != l.name || l.text->present)
                continue;
            l.text->present = true;
            l.text->rect = area.rect;
            TranslateText(area.text.c_str(), l.text->text);
        }
    }
    // SS_NOTIFY: a static window without it lets the mouse through to its parent.
    if (!CreateEx(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, rect, parent, static_cast<UINT>(id)))
        return false;
    window = m_hWnd;
    for (const DpiStageTextArea& area : texts) {
        if (area.name == L"HEADING") {
            SetHeading(area.text.c_str());
            break;
        }
    }
    return true;
}

void CDPIStageWindow::SetHeading(const wchar_t* key)
{
    m_heading.text = CaptionText(key, m_caseMode);
    Repaint();
}

BOOL CDPIStageWindow::PreTranslateMessage(MSG* msg)
{
    m_toolTip.Relay(m_hWnd, msg);
    return CWnd::PreTranslateMessage(msg);
}

void CDPIStageWindow::SetSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    Repaint();
}

void CDPIStageWindow::SetEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    Repaint();
}

void CDPIStageWindow::SetSeparateXY(bool separate)
{
    if (m_separateXY == separate)
        return;
    m_separateXY = separate;
    Repaint();
}

void CDPIStageWindow::SetValues(int common, int x, int y)
{
    if (common == m_common && x == m_x && y == m_y)
        return;
    m_common = common;
    m_x = x;
    m_y = y;
    m_commonText = wstr::Format(L"%d", common);
    m_xText = wstr::Format(L"%d", x);
    m_yText = wstr::Format(L"%d", y);
    Repaint();
}

void CDPIStageWindow::Repaint()
{
    if (m_hWnd)
        Invalidate(TRUE);
}

// ---- Input --------------------------------------------------------------------------------------

void CDPIStageWindow::OnLButtonUp(UINT, CPoint)
{
    if (!m_clickable || m_selected || !m_enabled)
        return;
    HWND self = m_hWnd;
    ::SendMessageW(GetParent(), WM_DPISTAGE_CLICKED, static_cast<WPARAM>(m_stageIndex), static_cast<LPARAM>(id));
    // The pop-up may have closed, and taken this window with it, while it handled the pick.
    if (!::IsWindow(self) || CWnd::FromHandlePermanent(self) != this)
        return;
    m_selected = true;
    SetFocus();
    Repaint();
}

LRESULT CDPIStageWindow::OnKillFocus(WPARAM, LPARAM)
{
    LRESULT result = Default();
    Repaint();
    return result;
}

// ---- Drawing ------------------------------------------------------------------------------------

BOOL CDPIStageWindow::OnEraseBkgnd(HDC dc)
{
    if (!m_selected)
        CDC(dc).FillSolidRect(GetClientRect(), RGB(0, 0, 0));
    return TRUE;
}

void CDPIStageWindow::DrawPiece(CDC& dc, const Piece& piece, HBITMAP picture)
{
    HBITMAP shown = picture ? picture : static_cast<HBITMAP>(piece.picture);
    if (!shown)
        return;
    const CRect& r = piece.rect;
    CMemoryDC source(dc);
    source.SelectObject(shown);
    if (!piece.mask || picture) {
        dc.BitBlt(r.left, r.top, r.Width(), r.Height(), source, 0, 0, SRCCOPY);
        return;
    }
    // Where the mask is white the window keeps what lies under the piece: (dst ^ p) & m ^ p.
    CMemoryDC mask(dc);
    mask.SelectObject(static_cast<HBITMAP>(piece.mask));
    dc.BitBlt(r.left, r.top, r.Width(), r.Height(), source, 0, 0, SRCINVERT);
    dc.BitBlt(r.left, r.top, r.Width(), r.Height(), mask, 0, 0, SRCAND);
    dc.BitBlt(r.left, r.top, r.Width(), r.Height(), source, 0, 0, SRCINVERT);
}

void CDPIStageWindow::DrawText(CDC& dc, const Text& text) const
{
    if (!text.present || text.text.empty())
        return;
    CRect r = text.rect;
    dc.DrawText(text.text, &r, m_format | DT_NOPREFIX);
}

void CDPIStageWindow::DrawValue(CDC& dc, const Piece& box, const std::wstring& value, bool blacken) const
{
    CRect r = box.rect;
    r.DeflateRect(3, 2);
    if (blacken)
        dc.FillSolidRect(r, RGB(0, 0, 0));
    dc.DrawText(value, &r, m_format | DT_CENTER | DT_NOPREFIX);
}

void CDPIStageWindow::OnPaint()
{
    CPaintDC paint(m_hWnd);
    if (!m_enabled)
        return;
    const CRect client = GetClientRect();
    CMemDC2 dc(paint, &client);
    dc.FillSolidRect(client, RGB(0, 0, 0));

    DrawPiece(dc, m_selected && m_frameSelected ? m_frameSelected : m_frame);
    if (!m_font && !m_fallbackFont)
        CreateFallbackFont(m_fallbackFont);
    dc.SelectObject(m_font ? static_cast<HFONT>(*m_font) : static_cast<HFONT>(m_fallbackFont));
    dc.SetTextColor(m_fontColor ? m_fontColor : kFallbackTextColor);
    dc.SetBkMode(TRANSPARENT);
    DrawText(dc, m_heading);

    HBITMAP selectedBox = m_selected ? SelectedBoxPicture() : nullptr;
    if (!m_separateXY) {
        DrawText(dc, m_dpiLabel);
        DrawPiece(dc, m_valueBox, selectedBox);
        DrawValue(dc, m_valueBox, m_commonText, false);
    } else {
        DrawText(dc, m_xLabel);
        DrawText(dc, m_yLabel);
        DrawText(dc, m_dpiXText);
        DrawText(dc, m_dpiYText);
        DrawPiece(dc, m_valueBoxX, selectedBox);
        DrawPiece(dc, m_valueBoxY, selectedBox);
        DrawValue(dc, m_valueBoxX, m_xText, true);
        DrawValue(dc, m_valueBoxY, m_yText, true);
    }
}
