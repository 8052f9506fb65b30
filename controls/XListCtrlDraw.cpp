// Drawing of the extended list: every cell is drawn by the list itself from the list-view's custom
// draw notifications; the list-view draws nothing of its own but the header.
#include "controls/XListCtrl.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/BitmapHelpers.h"
#include "platform/Dc.h"

namespace {

constexpr LONG kBoldWeight = 700;

CSize BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info))
        return CSize();
    return CSize(info.bmWidth, std::abs(info.bmHeight));
}

// The progress text: format with "%d" standing for the percent and "%%" for a percent sign; any
// other character, another "%" included, as written (no format reads arguments it was not given).
std::wstring ProgressLabel(const std::wstring& format, int percent)
{
    if (format.empty())
        return std::to_wstring(percent) + L"%";
    std::wstring label;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size() && (format[i + 1] == L'd' || format[i + 1] == L'%')) {
            label += format[i + 1] == L'd' ? std::to_wstring(percent) : L"%";
            ++i;
        } else {
            label += format[i];
        }
    }
    return label;
}

} // namespace

void CXListCtrl::OnCustomDraw(NMHDR* header, LRESULT* result)
{
    NMLVCUSTOMDRAW* draw = CustomDrawOf(header);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        DrawBackground(draw->nmcd.hdc);
        *result = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT:
        *result = CDRF_NOTIFYSUBITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        DrawCell(draw->nmcd.hdc, static_cast<int>(draw->nmcd.dwItemSpec), draw->iSubItem);
        *result = CDRF_SKIPDEFAULT;
        break;
    default:
        *result = CDRF_DODEFAULT;
        break;
    }
}

HFONT CXListCtrl::BoldFont()
{
    if (!m_boldFont) {
        LOGFONTW lf = {};
        if (::GetObjectW(CurrentFont(), sizeof(lf), &lf)) {
            lf.lfWeight = kBoldWeight;
            m_boldFont.CreateFontIndirect(lf);
        }
    }
    return m_boldFont ? static_cast<HFONT>(m_boldFont) : CurrentFont();
}

void CXListCtrl::DrawBackground(HDC hdc)
{
    CRect area = GetClientRect();
    const CRect header = HeaderRect();
    if (!header.IsRectEmpty())
        area.top = std::max(area.top, header.bottom);
    CDC(hdc).FillSolidRect(area, m_backColor);
}

void CXListCtrl::DrawCell(HDC hdc, int row, int displayIndex)
{
    const XListCellData* data = RowData(row);
    const XListColumn* column = ColumnAt(displayIndex);
    if (!data || !column || static_cast<size_t>(displayIndex) >= data->cells.size())
        return;
    const XListCell& cell = data->cells[static_cast<size_t>(displayIndex)];
    const XListCell& first = data->cells.front();
    const bool selected = (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    const COLORREF text = selected ? first.hiTextColor : first.textColor;
    const COLORREF back = selected ? first.hiBackColor : first.backColor;
    const CRect rect = CellRect(row, displayIndex);
    if (rect.IsRectEmpty())
        return;

    CDC dc(hdc);
    const int saved = dc.SaveDC();
    dc.IntersectClipRect(rect);
    dc.FillSolidRect(rect, back);
    dc.SetBkMode(TRANSPARENT);
    dc.SelectObject(CurrentFont());
    if (cell.isProgress)
        DrawProgressCell(dc, rect, cell, text, back);
    else if (cell.isCombo)
        DrawComboCell(dc, row, displayIndex, rect, selected, text, back);
    else if (cell.check >= 0)
        DrawCheckCell(dc, rect, cell, *column);
    else
        DrawTextCell(dc, row, displayIndex, rect, cell, text);
    dc.RestoreDC(saved);
}

void CXListCtrl::DrawTextCell(CDC& dc, int row, int displayIndex, const CRect& rect, const XListCell& cell,
                              COLORREF text)
{
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    if (m_header.GetSafeHwnd() && m_header.GetItem(displayIndex, &item)) {
        if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER)
            format |= DT_CENTER;
        else if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT)
            format |= DT_RIGHT;
    }
    if (cell.bold)
        dc.SelectObject(BoldFont());
    dc.SetTextColor(text);
    CRect area(rect.left + kTextIndent, rect.top, rect.right, rect.bottom);
    dc.DrawText(GetItemText(row, displayIndex), &area, format);
}

void CXListCtrl::DrawCheckCell(CDC& dc, const CRect& rect, const XListCell& cell, const XListColumn& column)
{
    HBITMAP picture = cell.check == 1 ? column.bitmaps.checked : column.bitmaps.unchecked;
    const CSize size = BitmapSize(picture);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    const CRect place(rect.left + (rect.Width() - size.cx) / 2, rect.top + (rect.Height() - size.cy) / 2,
                      rect.left + (rect.Width() - size.cx) / 2 + size.cx,
                      rect.top + (rect.Height() - size.cy) / 2 + size.cy);
    if (column.bitmaps.mask) {
        // Transparently over the row's background, where the mask is black.
        PaintThroughMask(dc, place, picture, column.bitmaps.mask);
        return;
    }
    CMemoryDC source(dc);
    source.SelectObject(picture);
    dc.BitBlt(place.left, place.top, size.cx, size.cy, source, 0, 0, SRCCOPY);
}

void CXListCtrl::DrawDropArrow(CDC& dc, const CRect& button, COLORREF colour)
{
    // Three lines of 5, 3 and 1 pixels, each one lower and one further in.
    const int x = button.left + (button.Width() - 5) / 2;
    const int y = button.top + (button.Height() - 3) / 2;
    for (int line = 0; line < 3; ++line)
        dc.FillSolidRect(CRect(x + line, y + line, x + 5 - line, y + line + 1), colour);
}

void CXListCtrl::DrawComboCell(CDC& dc, int row, int displayIndex, const CRect& rect, bool selected,
                               COLORREF text, COLORREF back)
{
    const CRect button = ComboButtonRect(rect);
    const XListCell* cell = CellAt(row, displayIndex);
    if (!selected) {
        CRect edge = rect;
        ::DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
        DrawDropArrow(dc, button, text);
        CRect area(rect.left + kTextIndent, rect.top, button.left, rect.bottom);
        dc.SetTextColor(text);
        dc.DrawText(GetItemText(row, displayIndex), &area, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        return;
    }
    // A framed box with the text and the drop-down button.
    CRect box = rect;
    box.DeflateRect(1, 1);
    dc.FillSolidRect(box, back);
    dc.FillSolidRect(CRect(box.left, box.top, box.right, box.top + 1), text);
    dc.FillSolidRect(CRect(box.left, box.bottom - 1, box.right, box.bottom), text);
    dc.FillSolidRect(CRect(box.left, box.top, box.left + 1, box.bottom), text);
    dc.FillSolidRect(CRect(box.right - 1, box.top, box.right, box.bottom), text);
    const bool pressed = cell && cell->comboOpen;
    if (pressed)
        dc.FillSolidRect(button, text);
    DrawDropArrow(dc, button, pressed ? back : text);
    CRect area(box.left + kTextIndent, box.top, button.left, box.bottom);
    dc.SetTextColor(text);
    dc.DrawText(GetItemText(row, displayIndex), &area, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (pressed && !m_comboList)
        OpenComboList(row, displayIndex, rect);
}

void CXListCtrl::DrawProgressCell(CDC& dc, const CRect& rect, const XListCell& cell, COLORREF text, COLORREF back)
{
    CRect frame = rect;
    frame.DeflateRect(1, 1);
    if (frame.IsRectEmpty())
        return;
    dc.FillSolidRect(CRect(frame.left, frame.top, frame.right, frame.top + 1), text);
    dc.FillSolidRect(CRect(frame.left, frame.bottom - 1, frame.right, frame.bottom), text);
    dc.FillSolidRect(CRect(frame.left, frame.top, frame.left + 1, frame.bottom), text);
    dc.FillSolidRect(CRect(frame.right - 1, frame.top, frame.right, frame.bottom), text);
    const int filled = (rect.Width() - 2) * std::clamp(cell.progress, 0, 100) / 100;
    const CRect bar(frame.left, frame.top, frame.left + std::max(filled, 0), frame.bottom);
    dc.FillSolidRect(bar, text);
    if (!cell.showProgressText)
        return;
    const std::wstring label = ProgressLabel(cell.progressFormat, cell.progress);
    // Twice: in the background colour over the bar, in the text colour over the rest.
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX;
    CRect area = frame;
    int saved = dc.SaveDC();
    dc.IntersectClipRect(bar);
    dc.SetTextColor(back);
    dc.DrawText(label, &area, format);
    dc.RestoreDC(saved);
    saved = dc.SaveDC();
    ::ExcludeClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
    dc.SetTextColor(text);
    area = frame;
    dc.DrawText(label, &area, format);
    dc.RestoreDC(saved);
}
