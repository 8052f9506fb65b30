#include "controls/XHeaderCtrl.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "platform/GdiObject.h"
#include "skin/LangTable.h"

namespace {

constexpr int kMaxItemText = 260;

} // namespace

std::wstring ColumnCaption(const std::wstring& caption)
{
    if (caption.empty() || caption[0] != L'$')
        return caption;
    std::wstring text;
    TranslateText(caption.c_str(), text);
    return text;
}

BEGIN_MSG_MAP(CXHeaderCtrl, CHeaderCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_MESSAGE(HDM_INSERTITEMW, OnInsertItem)
    ON_MESSAGE(HDM_INSERTITEMA, OnInsertItem)
    ON_MESSAGE(HDM_DELETEITEM, OnDeleteItem)
    ON_MESSAGE(HDM_SETIMAGELIST, OnSetImageList)
    ON_MESSAGE(WM_SETCURSOR, OnSetCursor)
    ON_NOTIFY_REFLECT(HDN_BEGINTRACKW, OnBeginTrack)
    ON_NOTIFY_REFLECT(HDN_BEGINTRACKA, OnBeginTrack)
    ON_NOTIFY_REFLECT(HDN_DIVIDERDBLCLICKW, OnBeginTrack)
    ON_NOTIFY_REFLECT(HDN_DIVIDERDBLCLICKA, OnBeginTrack)
END_MSG_MAP()

CXHeaderCtrl::CXHeaderCtrl() = default;
CXHeaderCtrl::~CXHeaderCtrl() = default;

void CXHeaderCtrl::PreSubclassWindow()
{
    ModifyStyle(0, HDS_NOSIZING);
    m_records.assign(static_cast<size_t>(std::max(GetItemCount(), 0)), ItemRecord());
    if (HIMAGELIST images = GetImageList()) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(images, &cx, &cy);
        m_imageSize = CSize(cx, cy);
    }
}

void CXHeaderCtrl::SetBackColor(COLORREF colour)
{
    m_backColor = colour;
    if (m_hWnd)
        Invalidate(FALSE);
}

void CXHeaderCtrl::SetTextColor(COLORREF colour)
{
    m_textColor = colour;
    if (m_hWnd)
        Invalidate(FALSE);
}

bool CXHeaderCtrl::SetItemTextColor(int index, COLORREF colour)
{
    if (index < 0 || static_cast<size_t>(index) >= m_records.size())
        return false;
    m_records[static_cast<size_t>(index)].textColor = colour;
    Invalidate(FALSE);
    return true;
}

COLORREF CXHeaderCtrl::ItemTextColor(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_records.size() ||
        m_records[static_cast<size_t>(index)].textColor == CLR_DEFAULT)
        return m_textColor;
    return m_records[static_cast<size_t>(index)].textColor;
}

LRESULT CXHeaderCtrl::OnInsertItem(WPARAM, LPARAM)
{
    const LRESULT index = Default();
    if (index >= 0) {
        const size_t at = std::min(static_cast<size_t>(index), m_records.size());
        m_records.insert(m_records.begin() + static_cast<std::ptrdiff_t>(at), ItemRecord());
    }
    return index;
}

LRESULT CXHeaderCtrl::OnDeleteItem(WPARAM wParam, LPARAM)
{
    const LRESULT deleted = Default();
    const size_t index = static_cast<size_t>(wParam);
    if (deleted && index < m_records.size())
        m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(index));
    return deleted;
}

LRESULT CXHeaderCtrl::OnSetImageList(WPARAM wParam, LPARAM lParam)
{
    const LRESULT previous = Default();
    if (wParam == HDSIL_NORMAL) {
        int cx = 0, cy = 0;
        if (lParam)
            ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(lParam), &cx, &cy);
        m_imageSize = CSize(cx, cy);
    }
    return previous;
}

LRESULT CXHeaderCtrl::OnSetCursor(WPARAM wParam, LPARAM lParam)
{
    // Not the header's sizing cursors over the dividers: the columns keep their widths.
    return ::DefWindowProcW(m_hWnd, WM_SETCURSOR, wParam, lParam);
}

void CXHeaderCtrl::OnBeginTrack(NMHDR*, LRESULT* result)
{
    *result = TRUE;  // refused
}

BOOL CXHeaderCtrl::OnEraseBkgnd(HDC)
{
    return TRUE;  // painted whole in OnPaint
}

void CXHeaderCtrl::OnPaint()
{
    CPaintDC paint(m_hWnd);
    Paint(paint);
}

LRESULT CXHeaderCtrl::OnPrintClient(WPARAM wParam, LPARAM)
{
    Paint(reinterpret_cast<HDC>(wParam));
    return 0;
}

void CXHeaderCtrl::Paint(HDC target)
{
    const CRect client = GetClientRect();
    if (client.IsRectEmpty())
        return;
    CDC direct(target);
    CBitmap canvas;  // declared before the DC that selects it
    CMemoryDC memory(target);
    CDC* dc = &direct;
    if (m_doubleBuffered && canvas.CreateCompatibleBitmap(target, client.Width(), client.Height())) {
        memory.SelectObject(static_cast<HBITMAP>(canvas));
        dc = &memory;
    }
    dc->FillSolidRect(client, m_backColor);
    dc->SelectObject(GetFont());
    dc->SetBkMode(TRANSPARENT);

    int usedRight = 0;
    const std::vector<int> order = GetOrderArray();
    for (size_t i = 0; i < order.size(); ++i) {
        const CRect item = GetItemRect(order[i]);
        if (item.IsRectEmpty())
            continue;
        usedRight = std::max(usedRight, static_cast<int>(item.right));
        HDITEMW hd = {};
        hd.mask = HDI_FORMAT;
        GetItem(order[i], &hd);
        if (hd.fmt & HDF_OWNERDRAW) {
            DRAWITEMSTRUCT dis = {};
            dis.CtlType = ODT_HEADER;
            dis.CtlID = static_cast<UINT>(GetDlgCtrlID());
            dis.itemID = static_cast<UINT>(order[i]);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.hwndItem = m_hWnd;
            dis.hDC = *dc;
            dis.rcItem = item;
            ::SendMessageW(GetParent(), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        } else {
            DrawItem(*dc, order[i], item);
        }
        if (i + 1 < order.size())
            DrawSeparator(*dc, item.right, client);
    }
    if (usedRight > 0) {
        // A raised frame around the part the items use.
        const CRect used(0, 0, usedRight, client.bottom);
        dc->FillSolidRect(CRect(used.left, used.top, used.right, used.top + 1), m_separatorLight);
        dc->FillSolidRect(CRect(used.left, used.top, used.left + 1, used.bottom), m_separatorLight);
        dc->FillSolidRect(CRect(used.left, used.bottom - 1, used.right, used.bottom), m_separatorDark);
        dc->FillSolidRect(CRect(used.right - 1, used.top, used.right, used.bottom), m_separatorDark);
    }
    if (dc == &memory) {
        direct.BitBlt(0, 0, client.Width(), client.Height(), memory, 0, 0, SRCCOPY);
        memory.RestoreSelections();
    }
}

void CXHeaderCtrl::DrawSeparator(CDC& dc, int x, const CRect& client)
{
    if (client.Height() <= 4)
        return;
    dc.FillSolidRect(CRect(x - 2, client.top + 2, x - 1, client.bottom - 2), m_separatorLight);
    dc.FillSolidRect(CRect(x - 1, client.top + 2, x, client.bottom - 2), m_separatorDark);
}

void CXHeaderCtrl::DrawItem(CDC& dc, int index, const CRect& rect)
{
    wchar_t text[kMaxItemText] = {};
    HDITEMW hd = {};
    hd.mask = HDI_FORMAT | HDI_TEXT | HDI_IMAGE | HDI_BITMAP;
    hd.pszText = text;
    hd.cchTextMax = kMaxItemText;
    if (!GetItem(index, &hd))
        return;
    text[kMaxItemText - 1] = L'\0';

    CRect area = rect;
    area.DeflateRect(kMargin, 0);
    const int saved = dc.SaveDC();
    dc.IntersectClipRect(rect);

    HIMAGELIST images = GetImageList();
    if ((hd.fmt & HDF_IMAGE) && images && hd.iImage >= 0 && m_imageSize.cx > 0) {
        const int top = rect.top + (rect.Height() - m_imageSize.cy) / 2;
        ImageList_Draw(images, hd.iImage, dc, area.left, top, ILD_TRANSPARENT);
        area.left += m_imageSize.cx + kSpacing;
    }
    if ((hd.fmt & HDF_BITMAP) && hd.hbm) {
        BITMAP info = {};
        if (::GetObjectW(hd.hbm, sizeof(info), &info) && info.bmWidth > 0) {
            const int height = std::abs(info.bmHeight);
            const int left = rect.right - kBitmapMargin - info.bmWidth;
            CMemoryDC source(dc);
            source.SelectObject(hd.hbm);
            dc.BitBlt(left, rect.top + (rect.Height() - height) / 2, info.bmWidth, height, source, 0, 0, SRCCOPY);
            area.right = std::min<LONG>(area.right, left - kBitmapMargin);
        }
    }
    if ((hd.fmt & HDF_STRING) && text[0]) {
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
        switch (hd.fmt & HDF_JUSTIFYMASK) {
        case HDF_RIGHT:
            format |= DT_RIGHT;
            break;
        case HDF_CENTER:
            format |= DT_CENTER;
            break;
        default:
            format |= DT_LEFT;
            break;
        }
        dc.SetTextColor(ItemTextColor(index));
        dc.DrawText(ColumnCaption(text), &area, format);
    }
    dc.RestoreDC(saved);
}
