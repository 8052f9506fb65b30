// CXListCtrl: the owner-drawn report list of the skin (kind 18, layout element LISTCTRL). Its rows
// are made of cells with their own colours; a cell shows text, a check box drawn with its column's
// bitmaps (an exclusive column has one checked row), a drop-down choice (combo) or a progress bar.
//
// Addressing: a row is addressed by its row key (the index it was inserted at, kept while rows
// around it come and go) and a column by its column id (the list column name table's id); neither
// is a display position. Positions are looked up on every call; -1 means none, and setters given
// an unknown key or column do nothing and return 0.
//
// Windows: a frame (CGenericPanel) around rect, the list-view inside the frame's inner rectangle and
// the skinned scroll bar (CVScrollBar) right of the list inside the frame, all three children of
// the parent, made in that order and the list and bar kept above the frame. The list-view's own
// scroll bars are hidden; the list takes thumb positions from the skinned bar's messages itself.
// While the pointer is over the list, the list holds the mouse (the bar takes it over the bar); a
// press outside both lets it go and is passed on to the window under the pointer.
//
// Notifications go to the owner's window (the parent without an owner), sent: WM_XLIST_* with an
// XListNotifyInfo (ControlMessages.h) that lives only during the call. The column of a check
// notification is the column's id.
//
// Ownership: the list owns its rows' cell data, the frame, the bar, the header object, the in-place
// edit and the combo list; the check bitmaps of the columns, the font and the context menu item are
// borrowed (from the skin cache and the item list, which outlive the list). The image list belongs
// to the list-view window. User-interface thread only.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls/GenericPanel.h"
#include "controls/ItemToolTip.h"
#include "controls/VScrollBar.h"
#include "controls/XHeaderCtrl.h"
#include "platform/ListCtrl.h"
#include "skin/GUIItem.h"

class CFontItem;
class CListPanelItem;
class CXComboList;
class CXListEdit;

// The control types of list columns (the name table's ids).
enum XListControlType : int
{
    kXListIcon = 0,
    kXListStatic = 1,
    kXListEdit = 2,
    kXListCombo = 3,
    kXListCheckBox = 4,
    kXListFileDialog = 5,
};

// The pictures of a check column (borrowed): unchecked (SBMN), checked (SBMD) and a mask whose
// white pixels are transparent (SBMM, optional).
struct XListCheckBitmaps
{
    HBITMAP unchecked = nullptr;
    HBITMAP checked = nullptr;
    HBITMAP mask = nullptr;
};

// One cell. Only the first cell's colours count, for the whole row.
struct XListCell
{
    bool enabled = true;
    bool bold = false;
    bool isCombo = false;
    bool comboOpen = false;  // the drop-down button is pressed and its list to be shown
    std::vector<std::wstring> comboEntries;
    int comboRows = 10;
    int comboSel = 0;
    COLORREF textColor = RGB(0, 255, 0);
    COLORREF backColor = RGB(0, 0, 0);
    COLORREF hiTextColor = RGB(0, 255, 0);
    COLORREF hiBackColor = RGB(0, 0, 0);
    bool isProgress = false;
    int progress = 0;  // percent
    std::wstring progressFormat;
    bool showProgressText = true;
    int check = -1;    // -1 no check box, 0 unchecked, 1 checked
};

// The item data of one row: its key and one cell per column, by the column's display index.
struct XListCellData
{
    int rowKey = -1;
    std::vector<XListCell> cells;
};

struct XListColumn
{
    int type = -1;
    XListCheckBitmaps bitmaps;
    bool exclusive = false;
    int displayIndex = -1;
    std::wstring name;        // translated
    std::wstring toolTip;     // shown over the column instead of the name when set
    int headerImage = -1;     // image list index of the unchecked header image (checked: + 1)
};

class CXListCtrl : public CListCtrl, public CGUIItem
{
public:
    static constexpr int kMaxColumns = 10;
    static constexpr int kImageSize = 18;
    static constexpr int kCheckHitWidth = 12;     // a check cell answers a press this wide
    static constexpr int kTextIndent = 8;
    static constexpr UINT kScrollBarId = 0xFFFF;
    static constexpr UINT_PTR kComboPressTimer = 1;
    static constexpr UINT_PTR kComboCloseTimer = 2;
    static constexpr UINT_PTR kComboAcceptTimer = 3;
    static constexpr UINT_PTR kComboPreviewTimer = 4;

    CXListCtrl();
    ~CXListCtrl() override;

    // ---- Creation and setup ----
    // Borrowed from the item list; set before CreateList (or later, to change it).
    void SetItemFont(CFontItem* font);
    // The frame around rect, the list in it (narrowed by the bar's width when a skin is given) and
    // the bar; children of parent, or of owner's window without one. style: the list-view's
    // (0x50000005, or 0x50004005 without a header). False (and no window left) when a window could
    // not be made.
    bool CreateList(CWnd* owner, UINT id, DWORD style, const RECT& rect, int borderWidth,
                    const VScrollSkin* scrollSkin, const FrameBitmapInfo* frame = nullptr, HWND parent = nullptr);
    // Destroys the list, its bar and its frame.
    void DestroyList();
    // Adds the column at the right; the name is translated when it is a "$" key. Returns its
    // display index, -1 when there are 10 columns already, the id exists, or id or type is -1.
    int AddColumn(int columnId, const wchar_t* name, int width, int type, bool exclusive,
                  const XListCheckBitmaps* bitmaps = nullptr);
    bool SetColumnToolTip(int columnId, const wchar_t* text);
    // The id of the column shown at displayIndex, or -1.
    int GetColumnId(int displayIndex) const;
    const XListColumn* FindColumn(int columnId) const;
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }

    // ---- Rows ----
    // Inserts an empty row at index with key index, scrolls it into view; its row, or -1 (also for
    // a negative index).
    int InsertRow(int index);
    // Deletes the first row with that key and its data; false when there is none.
    bool DeleteRow(int rowKey);
    void DeleteAllRows();
    int GetSelectedRowKey() const;
    // The row of the first row with that key, or -1.
    int FindRowByKey(int rowKey) const;
    int RowKeyOf(int row) const;
    // The cell, or null for an unknown key or column. Valid until rows or columns change.
    const XListCell* FindCell(int rowKey, int columnId) const;

    // ---- Cells (1 done, 0 for an unknown row or column) ----
    int SetCellText(int rowKey, int columnId, const wchar_t* text);
    std::wstring GetCellText(int rowKey, int columnId) const;
    // state -1 removes the check box; a column whose header shows a check image shows it checked
    // exactly when every row is.
    int SetCellCheck(int rowKey, int columnId, int state);
    // Makes the cell a drop-down choice of entries, rows of them shown at a time.
    int SetCellCombo(int rowKey, int columnId, const std::vector<std::wstring>& entries, int rows = 10);
    // Makes the cell a progress bar at percent (0..100), with format ("%d%%" when empty) shown.
    int SetCellProgress(int rowKey, int columnId, int percent, const wchar_t* format = nullptr,
                        bool showText = true);
    int SetCellBold(int rowKey, int columnId, bool bold);
    int SetRowColors(int rowKey, COLORREF text, COLORREF back, COLORREF hiText, COLORREF hiBack);

    // ---- In-place edit ----
    // Opens the edit over the cell with its text; false for an unknown row or column.
    bool EditCell(int rowKey, int columnId);
    // Ends the edit: with keep, a changed text becomes the cell's and WM_XLIST_COMBOCHANGED is sent.
    void EndEdit(bool keep);
    CXListEdit* Edit() const { return m_edit.get(); }
    bool IsEditing() const;

    // ---- Look ----
    void SetFontColor(COLORREF colour);     // also the list-view's text colour
    void SetFontColorHi(COLORREF colour);
    void SetBackColor(COLORREF colour);     // also the frame's fill and the list-view's background
    void SetBackColorHi(COLORREF colour);
    void SetBorderColor(COLORREF colour);   // also the frame's and the bar's border
    void SetHeaderBackColor(COLORREF colour);
    void SetHeaderTextColor(COLORREF colour);
    COLORREF FontColor() const { return m_textColor; }
    COLORREF FontColorHi() const { return m_hiTextColor; }
    COLORREF BackColor() const { return m_backColor; }
    COLORREF BackColorHi() const { return m_hiBackColor; }
    COLORREF BorderColor() const { return m_borderColor; }
    int BorderWidth() const { return m_borderWidth; }
    // The height of a row: the list-view's rows once there are any, else the font's height + 1.
    int RowHeight() const;

    // The list panel item whose entries are the context menu (borrowed; null: none).
    void SetContextMenu(CListPanelItem* menu) { m_menu = menu; }
    CListPanelItem* ContextMenu() const { return m_menu; }

    // Shows or hides the frame, the bar and the list.
    void Show(bool show) override;

    CGenericPanel* Frame() const { return m_frame.get(); }
    CVScrollBar* ScrollBar() const { return m_scrollBar.get(); }
    CXHeaderCtrl& Header() { return m_header; }
    HIMAGELIST ImageList() const { return m_images; }
    CXComboList* ComboList() const { return m_comboList.get(); }
    // The text the column tooltip shows now (empty: none yet).
    const std::wstring& ToolTipText() const { return m_toolTip.Text(); }

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    int OnCreate(CREATESTRUCTW* create);
    void OnDestroy();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnKey(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnFocus(WPARAM wParam, LPARAM lParam);
    BOOL OnEraseBkgnd(HDC dc);
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    BOOL OnClick(NMHDR* header, LRESULT* result);
    void OnColumnClick(NMHDR* header, LRESULT* result);
    LRESULT OnComboAccept(WPARAM wParam, LPARAM lParam);
    LRESULT OnComboKey(WPARAM wParam, LPARAM lParam);
    LRESULT OnComboEscape(WPARAM wParam, LPARAM lParam);

private:
    struct PressedCombo
    {
        int rowKey = -1;
        int columnId = -1;
        bool pressed = false;
        CRect button;  // the drop-down button, client coordinates
    };

    XListCellData* RowData(int row) const;
    XListCell* CellAt(int row, int displayIndex) const;
    // The shown column and its id at displayIndex; null when none.
    const XListColumn* ColumnAt(int displayIndex, int* columnId = nullptr) const;
    // Finds row and display index of (rowKey, columnId); false when either is unknown.
    bool Locate(int rowKey, int columnId, int& row, int& displayIndex) const;
    XListCell* LocateCell(int rowKey, int columnId, int* row = nullptr, int* displayIndex = nullptr) const;
    XListCell NewCell(int displayIndex) const;
    void ApplyFont();
    void RedrawRow(int row);
    void SyncScrollBar();
    HWND NotifyTarget() const;
    LRESULT Notify(UINT message, int rowKey, int column, const void* value);
    // Whether this object still has its window after a handler ran (it may have destroyed it).
    bool StillMine(HWND self) const;
    bool IsOverBar(CPoint point) const;
    // Whether the list itself is the window under a client point (not a child or a window above).
    bool IsUnderPointer(CPoint point) const;
    CRect HeaderRect() const;
    CRect CellRect(int row, int displayIndex) const;
    static CRect CheckHitRect(const CRect& cell);
    static CRect ComboButtonRect(const CRect& cell);
    int ColumnAtX(int x) const;
    void AddHeaderCheckImages(XListColumn& column, int displayIndex);
    void UpdateHeaderCheck(int columnId);

    // A press on a row: check and combo cells, then WM_XLIST_ROWCLICKED and the selection.
    void PressRow(CPoint point);
    void ClickCheck(int row, int displayIndex);
    void PressCombo(int row, int displayIndex, const CRect& cell, CPoint point);
    void RunMenu(CPoint point);
    void AssignApplication(int rowKey);
    void UnassignApplication(int rowKey);
    void ReleaseComboPress();
    void OpenComboList(int row, int displayIndex, const CRect& cell);
    void TakeComboChoice(bool close);
    void CloseComboList();

    // Drawing (XListCtrlDraw.cpp).
    void DrawBackground(HDC dc);
    void DrawCell(HDC dc, int row, int displayIndex);
    void DrawTextCell(CDC& dc, int row, int displayIndex, const CRect& rect, const XListCell& cell, COLORREF text);
    void DrawCheckCell(CDC& dc, const CRect& rect, const XListCell& cell, const XListColumn& column);
    void DrawComboCell(CDC& dc, int row, int displayIndex, const CRect& rect, bool selected, COLORREF text,
                       COLORREF back);
    void DrawProgressCell(CDC& dc, const CRect& rect, const XListCell& cell, COLORREF text, COLORREF back);
    static void DrawDropArrow(CDC& dc, const CRect& button, COLORREF colour);
    HFONT CurrentFont() const;
    HFONT BoldFont();

    std::map<int, XListColumn> m_columns;
    std::vector<std::unique_ptr<XListCellData>> m_rows;  // the rows' item data, in no order
    CXHeaderCtrl m_header;
    HIMAGELIST m_images = nullptr;   // owned by the list-view window
    CItemToolTip m_toolTip;
    int m_toolTipColumn = -1;
    std::unique_ptr<CXListEdit> m_edit;
    int m_editRowKey = -1;
    int m_editColumnId = -1;
    std::unique_ptr<CGenericPanel> m_frame;
    std::unique_ptr<CVScrollBar> m_scrollBar;
    CListPanelItem* m_menu = nullptr;
    std::unique_ptr<CXComboList> m_comboList;
    int m_comboRowKey = -1;          // the cell the combo list chooses for
    int m_comboColumnId = -1;
    bool m_openingCombo = false;
    PressedCombo m_pressed;
    CFontItem* m_font = nullptr;
    CFont m_fallbackFont;
    CFont m_boldFont;
    CFont m_comboFont;               // the combo lists' copy of the font, made once
    COLORREF m_textColor = RGB(255, 255, 255);
    COLORREF m_hiTextColor = RGB(0, 0, 0);
    COLORREF m_backColor = RGB(0, 0, 0);
    COLORREF m_hiBackColor = RGB(255, 255, 255);
    COLORREF m_borderColor = RGB(255, 255, 255);
    int m_borderWidth = 1;
    int m_borderHalfDown = 0;        // floor(border / 2)
    int m_borderHalfUp = 1;          // ceil(border / 2)
    int m_fontRowHeight = 16;

    HV_DECLARE_MSG_MAP()
};
