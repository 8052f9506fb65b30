// The extended list's windows, columns, rows and cells; its input is in XListCtrlInput.cpp, its
// drawing in XListCtrlDraw.cpp.
#include "controls/XListCtrl.h"

#include <algorithm>
#include <cstdlib>

#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "controls/XComboList.h"
#include "controls/XListEdit.h"
#include "platform/Dc.h"
#include "skin/FontItem.h"

BEGIN_MSG_MAP(CXListCtrl, CListCtrl)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_MOUSEWHEEL, OnMouseWheel)
    ON_MESSAGE(WM_VSCROLL, OnVScroll)
    ON_MESSAGE(WM_KEYDOWN, OnKey)
    ON_MESSAGE(WM_CHAR, OnKey)
    ON_MESSAGE(WM_NCCALCSIZE, OnNcCalcSize)
    ON_MESSAGE(WM_SETFOCUS, OnFocus)
    ON_MESSAGE(WM_KILLFOCUS, OnFocus)
    ON_REGISTERED_MESSAGE(WM_XCOMBOLIST_VK_RETURN, OnComboAccept)
    ON_REGISTERED_MESSAGE(WM_XCOMBOLIST_LBUTTONUP, OnComboAccept)
    ON_REGISTERED_MESSAGE(WM_XCOMBOLIST_KEYDOWN, OnComboKey)
    ON_REGISTERED_MESSAGE(WM_XCOMBOLIST_VK_ESCAPE, OnComboEscape)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT_EX(NM_CLICK, OnClick)
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
END_MSG_MAP()

CXListCtrl::CXListCtrl()
{
    kind = ItemKind::XListCtrl;
    BorderHalves(m_borderWidth, m_borderHalfDown, m_borderHalfUp);
}

CXListCtrl::~CXListCtrl()
{
    DestroyList();
}

// ---- Creation ------------------------------------------------------------------------------------

void CXListCtrl::SetItemFont(CFontItem* font)
{
    m_font = font;
    if (m_hWnd)
        ApplyFont();
}

HFONT CXListCtrl::CurrentFont() const
{
    return m_font ? static_cast<HFONT>(*m_font) : static_cast<HFONT>(m_fallbackFont);
}

void CXListCtrl::ApplyFont()
{
    if (!m_font && !m_fallbackFont)
        CreateFallbackFont(m_fallbackFont);
    m_boldFont.DeleteObject();
    SetFont(CurrentFont(), TRUE);
    CClientDC dc(m_hWnd);
    dc.SelectObject(CurrentFont());
    TEXTMETRICW tm = {};
    if (dc.GetTextMetrics(&tm))
        m_fontRowHeight = tm.tmHeight + 1;
}

bool CXListCtrl::CreateList(CWnd* owner, UINT id, DWORD style, const RECT& rect, int borderWidth,
                            const VScrollSkin* scrollSkin, const FrameBitmapInfo* frame, HWND parent)
{
    if (!parent)
        parent = owner ? owner->GetSafeHwnd() : nullptr;
    if (m_hWnd || !parent)
        return false;
    this->owner = owner;
    m_borderWidth = std::max(borderWidth, 0);
    BorderHalves(m_borderWidth, m_borderHalfDown, m_borderHalfUp);

    m_frame = std::make_unique<CGenericPanel>(m_borderWidth);
    m_frame->SetFillColor(m_backColor);
    m_frame->SetBorderColor(m_borderColor);
    if (!m_frame->Create(rect, parent, frame)) {
        DestroyList();
        return false;
    }
    // The frame lies under the list and the bar: it must not paint over them.
    m_frame->ModifyStyle(0, WS_CLIPSIBLINGS);
    CRect inner = m_frame->InnerRect();
    const CRect frameRect = m_frame->GetWindowRect();
    CPoint origin(frameRect.left, frameRect.top);
    ::ScreenToClient(parent, &origin);
    inner.OffsetRect(origin.x, origin.y);

    const int barWidth = scrollSkin ? scrollSkin->Width() : 0;
    CRect listRect = inner;
    listRect.right = std::max(listRect.left, listRect.right - barWidth);
    if (!CListCtrl::Create(style, listRect, parent, id)) {
        DestroyList();
        return false;
    }
    window = m_hWnd;
    DisableFlatScrollBars();
    ApplyFont();
    CListCtrl::SetTextColor(m_textColor);
    CListCtrl::SetBkColor(m_backColor);
    SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    if (scrollSkin && barWidth > 0) {
        m_scrollBar = std::make_unique<CVScrollBar>(barWidth, m_hWnd);
        m_scrollBar->SetSkin(*scrollSkin);
        m_scrollBar->SetBackColor(m_backColor);
        m_scrollBar->SetBorderColor(m_borderColor);
        const CRect barRect(listRect.right, inner.top, inner.right, inner.bottom);
        if (m_scrollBar->Create(barRect, parent, kScrollBarId))
            m_scrollBar->SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        else
            m_scrollBar.reset();  // too short for its parts: the list scrolls by wheel and keys only
    }
    SyncScrollBar();
    return true;
}

void CXListCtrl::DestroyList()
{
    CloseComboList();
    if (m_hWnd)
        DestroyWindow();
    window = nullptr;
    if (m_scrollBar && m_scrollBar->IsWindow())
        m_scrollBar->DestroyWindow();
    m_scrollBar.reset();
    if (m_frame && m_frame->IsWindow())
        m_frame->DestroyWindow();
    m_frame.reset();
}

int CXListCtrl::OnCreate(CREATESTRUCTW*)
{
    if (Default() == -1)
        return -1;
    // The small image list fixes the rows' height (its images are 18 high); the list-view owns it.
    m_images = ImageList_Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, 10, 10);
    if (m_images)
        SetImageList(m_images, LVSIL_SMALL);
    if (HWND header = GetHeaderCtrl()) {
        if (!m_header.GetSafeHwnd() && m_header.SubclassWindow(header))
            m_header.SetImageList(m_images);
    }
    return 0;
}

void CXListCtrl::OnDestroy()
{
    CloseComboList();
    m_edit.reset();
    // The list-view keeps pointers to the rows' data until its items go.
    Default();
    m_rows.clear();
}

// ---- Columns -------------------------------------------------------------------------------------

int CXListCtrl::AddColumn(int columnId, const wchar_t* name, int width, int type, bool exclusive,
                          const XListCheckBitmaps* bitmaps)
{
    if (!m_hWnd || ColumnCount() >= kMaxColumns || columnId == -1 || type == -1 || m_columns.count(columnId))
        return -1;
    XListColumn column;
    column.type = type;
    column.exclusive = exclusive;
    if (bitmaps)
        column.bitmaps = *bitmaps;
    column.name = ColumnCaption(name ? name : L"");
    column.displayIndex = ColumnCount();
    if (InsertColumn(column.displayIndex, column.name.c_str(), LVCFMT_LEFT, std::max(width, 0)) !=
        column.displayIndex)
        return -1;
    // Rows that exist already get a cell for the new column.
    for (const auto& data : m_rows)
        data->cells.resize(static_cast<size_t>(column.displayIndex) + 1, NewCell(column.displayIndex));
    XListColumn& stored = m_columns[columnId] = column;
    if (type == kXListCheckBox && !exclusive)
        AddHeaderCheckImages(stored, stored.displayIndex);
    for (const auto& data : m_rows) {
        XListCell& cell = data->cells[static_cast<size_t>(stored.displayIndex)];
        cell.check = type == kXListCheckBox ? 0 : -1;
    }
    Invalidate(FALSE);
    return stored.displayIndex;
}

bool CXListCtrl::SetColumnToolTip(int columnId, const wchar_t* text)
{
    auto it = m_columns.find(columnId);
    if (it == m_columns.end())
        return false;
    it->second.toolTip = text ? text : L"";
    m_toolTipColumn = -1;
    return true;
}

int CXListCtrl::GetColumnId(int displayIndex) const
{
    int id = -1;
    ColumnAt(displayIndex, &id);
    return id;
}

const XListColumn* CXListCtrl::FindColumn(int columnId) const
{
    auto it = m_columns.find(columnId);
    return it == m_columns.end() || it->second.type == -1 ? nullptr : &it->second;
}

const XListColumn* CXListCtrl::ColumnAt(int displayIndex, int* columnId) const
{
    if (columnId)
        *columnId = -1;
    if (displayIndex < 0 || displayIndex >= ColumnCount())
        return nullptr;
    for (const auto& [id, column] : m_columns) {
        if (column.displayIndex == displayIndex && column.type != -1) {
            if (columnId)
                *columnId = id;
            return &column;
        }
    }
    return nullptr;
}

XListCell CXListCtrl::NewCell(int displayIndex) const
{
    XListCell cell;
    const XListColumn* column = ColumnAt(displayIndex);
    cell.check = column && column->type == kXListCheckBox ? 0 : -1;
    if (displayIndex == 0) {
        // The first cell carries the row's colours: the list's when the row is made.
        cell.textColor = m_textColor;
        cell.backColor = m_backColor;
        cell.hiTextColor = m_hiTextColor;
        cell.hiBackColor = m_hiBackColor;
    }
    return cell;
}

// The header image of a check column that is not exclusive: its unchecked and checked pictures,
// each centred in an image of the list's image size, transparent around it and where its mask is.
void CXListCtrl::AddHeaderCheckImages(XListColumn& column, int displayIndex)
{
    if (!m_images || !column.bitmaps.unchecked || !column.bitmaps.checked)
        return;
    CClientDC screen(m_hWnd);
    int first = -1;
    for (HBITMAP picture : {column.bitmaps.unchecked, column.bitmaps.checked}) {
        BITMAP info = {};
        ::GetObjectW(picture, sizeof(info), &info);
        const int width = std::min<int>(info.bmWidth, kImageSize);
        const int height = std::min<int>(std::abs(info.bmHeight), kImageSize);
        const CRect place((kImageSize - width) / 2, (kImageSize - height) / 2, (kImageSize - width) / 2 + width,
                          (kImageSize - height) / 2 + height);
        CBitmap image, mask;
        if (!image.CreateCompatibleBitmap(screen, kImageSize, kImageSize) ||
            !mask.CreateBitmap(kImageSize, kImageSize, 1, 1, nullptr))
            return;
        {
            CMemoryDC target(screen);
            target.SelectObject(static_cast<HBITMAP>(image));
            target.FillSolidRect(CRect(0, 0, kImageSize, kImageSize), RGB(0, 0, 0));
            CMemoryDC shape(screen);
            shape.SelectObject(static_cast<HBITMAP>(mask));
            shape.FillSolidRect(CRect(0, 0, kImageSize, kImageSize), RGB(255, 255, 255));
            CMemoryDC source(screen);
            source.SelectObject(picture);
            if (column.bitmaps.mask) {
                CMemoryDC maskSource(screen);
                maskSource.SelectObject(column.bitmaps.mask);
                shape.BitBlt(place.left, place.top, width, height, maskSource, 0, 0, SRCCOPY);
            } else {
                shape.FillSolidRect(place, RGB(0, 0, 0));
            }
            target.BitBlt(place.left, place.top, width, height, source, 0, 0, SRCCOPY);
            target.BitBlt(0, 0, kImageSize, kImageSize, shape, 0, 0, 0x00220326);  // black where transparent
        }
        const int index = ImageList_Add(m_images, image, mask);
        if (index < 0)
            return;
        if (first < 0)
            first = index;
    }
    column.headerImage = first;
    if (m_header.GetSafeHwnd()) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        m_header.GetItem(displayIndex, &item);
        item.mask = HDI_FORMAT | HDI_IMAGE;
        item.fmt |= HDF_IMAGE;
        item.iImage = first;
        m_header.SetItem(displayIndex, item);
    }
}

void CXListCtrl::UpdateHeaderCheck(int columnId)
{
    auto it = m_columns.find(columnId);
    if (it == m_columns.end() || it->second.headerImage < 0 || !m_header.GetSafeHwnd())
        return;
    const int rows = GetItemCount();
    int checked = 0;
    for (int row = 0; row < rows; ++row) {
        const XListCell* cell = CellAt(row, it->second.displayIndex);
        if (cell && cell->check == 1)
            ++checked;
    }
    HDITEMW item = {};
    item.mask = HDI_IMAGE;
    item.iImage = it->second.headerImage + (checked == rows ? 1 : 0);
    m_header.SetItem(it->second.displayIndex, item);
    m_header.Invalidate(FALSE);
}

// ---- Rows ----------------------------------------------------------------------------------------

XListCellData* CXListCtrl::RowData(int row) const
{
    if (row < 0 || row >= GetItemCount())
        return nullptr;
    return reinterpret_cast<XListCellData*>(GetItemData(row));
}

XListCell* CXListCtrl::CellAt(int row, int displayIndex) const
{
    XListCellData* data = RowData(row);
    if (!data || displayIndex < 0 || static_cast<size_t>(displayIndex) >= data->cells.size())
        return nullptr;
    return &data->cells[static_cast<size_t>(displayIndex)];
}

int CXListCtrl::InsertRow(int index)
{
    if (index < 0 || !m_hWnd)
        return -1;
    auto data = std::make_unique<XListCellData>();
    data->rowKey = index;
    for (int d = 0; d < ColumnCount(); ++d)
        data->cells.push_back(NewCell(d));
    const int row = InsertItem(index, L"", reinterpret_cast<LPARAM>(data.get()));
    if (row < 0)
        return -1;
    m_rows.push_back(std::move(data));
    EnsureVisible(row, false);
    SyncScrollBar();
    return row;
}

bool CXListCtrl::DeleteRow(int rowKey)
{
    const int row = FindRowByKey(rowKey);
    XListCellData* data = RowData(row);
    if (!data)
        return false;
    if (rowKey == m_editRowKey)
        EndEdit(false);
    if (rowKey == m_comboRowKey)
        CloseComboList();
    DeleteItem(row);
    m_rows.erase(std::find_if(m_rows.begin(), m_rows.end(), [&](const auto& p) { return p.get() == data; }));
    SyncScrollBar();
    return true;
}

void CXListCtrl::DeleteAllRows()
{
    EndEdit(false);
    CloseComboList();
    DeleteAllItems();
    m_rows.clear();
    SyncScrollBar();
}

int CXListCtrl::RowKeyOf(int row) const
{
    XListCellData* data = RowData(row);
    return data ? data->rowKey : -1;
}

int CXListCtrl::GetSelectedRowKey() const
{
    return RowKeyOf(GetSelectedItem());
}

int CXListCtrl::FindRowByKey(int rowKey) const
{
    const int rows = GetItemCount();
    for (int row = 0; row < rows; ++row) {
        if (RowKeyOf(row) == rowKey)
            return row;
    }
    return -1;
}

bool CXListCtrl::Locate(int rowKey, int columnId, int& row, int& displayIndex) const
{
    const XListColumn* column = FindColumn(columnId);
    row = FindRowByKey(rowKey);
    displayIndex = column ? column->displayIndex : -1;
    return row >= 0 && displayIndex >= 0 && CellAt(row, displayIndex);
}

XListCell* CXListCtrl::LocateCell(int rowKey, int columnId, int* rowOut, int* displayOut) const
{
    int row = -1, displayIndex = -1;
    if (!Locate(rowKey, columnId, row, displayIndex))
        return nullptr;
    if (rowOut)
        *rowOut = row;
    if (displayOut)
        *displayOut = displayIndex;
    return CellAt(row, displayIndex);
}

const XListCell* CXListCtrl::FindCell(int rowKey, int columnId) const
{
    return LocateCell(rowKey, columnId);
}

void CXListCtrl::RedrawRow(int row)
{
    if (row >= 0)
        RedrawItems(row, row);
}

// ---- Cells ---------------------------------------------------------------------------------------

int CXListCtrl::SetCellText(int rowKey, int columnId, const wchar_t* text)
{
    int row = -1, displayIndex = -1;
    if (!Locate(rowKey, columnId, row, displayIndex))
        return 0;
    SetItemText(row, displayIndex, text ? text : L"");
    const CRect cell = CellRect(row, displayIndex);
    InvalidateRect(&cell, FALSE);
    return 1;
}

std::wstring CXListCtrl::GetCellText(int rowKey, int columnId) const
{
    int row = -1, displayIndex = -1;
    return Locate(rowKey, columnId, row, displayIndex) ? GetItemText(row, displayIndex) : std::wstring();
}

int CXListCtrl::SetCellCheck(int rowKey, int columnId, int state)
{
    int row = -1;
    XListCell* cell = LocateCell(rowKey, columnId, &row);
    if (!cell)
        return 0;
    cell->check = std::clamp(state, -1, 1);
    RedrawRow(row);
    UpdateHeaderCheck(columnId);
    return 1;
}

int CXListCtrl::SetCellCombo(int rowKey, int columnId, const std::vector<std::wstring>& entries, int rows)
{
    int row = -1;
    XListCell* cell = LocateCell(rowKey, columnId, &row);
    if (!cell)
        return 0;
    cell->isCombo = true;
    cell->comboEntries = entries;
    cell->comboRows = std::max(rows, 1);
    RedrawRow(row);
    return 1;
}

int CXListCtrl::SetCellProgress(int rowKey, int columnId, int percent, const wchar_t* format, bool showText)
{
    int row = -1;
    XListCell* cell = LocateCell(rowKey, columnId, &row);
    if (!cell)
        return 0;
    cell->isProgress = true;
    cell->progress = std::clamp(percent, 0, 100);
    cell->progressFormat = format ? format : L"";
    cell->showProgressText = showText;
    RedrawRow(row);
    return 1;
}

int CXListCtrl::SetCellBold(int rowKey, int columnId, bool bold)
{
    int row = -1;
    XListCell* cell = LocateCell(rowKey, columnId, &row);
    if (!cell)
        return 0;
    cell->bold = bold;
    RedrawRow(row);
    return 1;
}

int CXListCtrl::SetRowColors(int rowKey, COLORREF text, COLORREF back, COLORREF hiText, COLORREF hiBack)
{
    const int row = FindRowByKey(rowKey);
    XListCellData* data = RowData(row);
    if (!data || data->cells.empty())
        return 0;
    XListCell& first = data->cells.front();
    first.textColor = text;
    first.backColor = back;
    first.hiTextColor = hiText;
    first.hiBackColor = hiBack;
    RedrawRow(row);
    return 1;
}

// ---- Look ----------------------------------------------------------------------------------------

void CXListCtrl::SetFontColor(COLORREF colour)
{
    m_textColor = colour;
    if (m_hWnd)
        CListCtrl::SetTextColor(colour);
}

void CXListCtrl::SetFontColorHi(COLORREF colour)
{
    m_hiTextColor = colour;
}

void CXListCtrl::SetBackColor(COLORREF colour)
{
    m_backColor = colour;
    if (m_frame)
        m_frame->SetFillColor(colour);
    if (m_scrollBar)
        m_scrollBar->SetBackColor(colour);
    if (m_hWnd)
        CListCtrl::SetBkColor(colour);
}

void CXListCtrl::SetBackColorHi(COLORREF colour)
{
    m_hiBackColor = colour;
}

void CXListCtrl::SetBorderColor(COLORREF colour)
{
    m_borderColor = colour;
    if (m_frame) {
        m_frame->SetBorderColor(colour);
        m_frame->Invalidate(FALSE);
    }
    if (m_scrollBar)
        m_scrollBar->SetBorderColor(colour);
}

void CXListCtrl::SetHeaderBackColor(COLORREF colour)
{
    m_header.SetBackColor(colour);
}

void CXListCtrl::SetHeaderTextColor(COLORREF colour)
{
    m_header.SetTextColor(colour);
}

int CXListCtrl::RowHeight() const
{
    // Scrolling goes by the rows the list-view lays out (the image list makes them at least 18
    // high), not by the font, or a thumb position would scroll a different number of rows.
    if (m_hWnd && GetItemCount() > 0) {
        const CRect first = GetItemRect(0);
        if (first.Height() > 0)
            return first.Height();
    }
    return m_fontRowHeight;
}

void CXListCtrl::Show(bool show)
{
    const int command = show ? SW_SHOW : SW_HIDE;
    if (m_frame && m_frame->IsWindow())
        m_frame->ShowWindow(command);
    if (m_scrollBar && m_scrollBar->IsWindow())
        m_scrollBar->ShowWindow(command);
    if (m_hWnd)
        ShowWindow(command);
}

void CXListCtrl::SyncScrollBar()
{
    if (m_scrollBar && m_scrollBar->IsWindow())
        m_scrollBar->SyncWithList();
}

// ---- Notifications -------------------------------------------------------------------------------

HWND CXListCtrl::NotifyTarget() const
{
    HWND target = owner ? owner->GetSafeHwnd() : nullptr;
    return target ? target : GetParent();
}

LRESULT CXListCtrl::Notify(UINT message, int rowKey, int column, const void* value)
{
    XListNotifyInfo info = {rowKey, column, value};
    return ::SendMessageW(NotifyTarget(), message, reinterpret_cast<WPARAM>(m_hWnd), reinterpret_cast<LPARAM>(&info));
}

bool CXListCtrl::StillMine(HWND self) const
{
    return self && ::IsWindow(self) && m_hWnd == self;
}

// ---- Geometry ------------------------------------------------------------------------------------

CRect CXListCtrl::CellRect(int row, int displayIndex) const
{
    CRect rect = GetSubItemRect(row, displayIndex, LVIR_BOUNDS);
    // Column 0's bounds are the whole row.
    if (displayIndex == 0 && ColumnCount() >= 2)
        rect.right = GetSubItemRect(row, 1, LVIR_BOUNDS).left;
    return rect;
}

CRect CXListCtrl::CheckHitRect(const CRect& cell)
{
    const int middle = (cell.left + cell.right) / 2;
    return CRect(middle - kCheckHitWidth / 2, cell.top, middle - kCheckHitWidth / 2 + kCheckHitWidth, cell.bottom);
}

CRect CXListCtrl::ComboButtonRect(const CRect& cell)
{
    const int side = std::max<LONG>(cell.Height() - 2, 0);
    return CRect(cell.right - 1 - side, cell.top + 1, cell.right - 1, cell.bottom - 1);
}

CRect CXListCtrl::HeaderRect() const
{
    if (!m_header.GetSafeHwnd() || !m_header.IsWindowVisible())
        return CRect();
    CRect rect = m_header.GetWindowRect();
    ScreenToClient(&rect);
    return rect;
}

bool CXListCtrl::IsOverBar(CPoint point) const
{
    if (!m_scrollBar || !m_scrollBar->IsWindow())
        return false;
    CPoint screen = point;
    ClientToScreen(&screen);
    return m_scrollBar->GetWindowRect().PtInRect(screen);
}

int CXListCtrl::ColumnAtX(int x) const
{
    HWND header = GetHeaderCtrl();
    const int columns = ColumnCount();
    for (int d = 0; d < columns && header; ++d) {
        CRect item;
        if (::SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(d), reinterpret_cast<LPARAM>(&item)) &&
            x >= item.left && x < item.right)
            return d;
    }
    return -1;
}
