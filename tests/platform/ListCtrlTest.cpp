// The list-view wrapper on a real report list: columns, rows with item data, sorting, states, hit
// tests, scrolling, and rows drawn by custom draw (an owner-drawn list gets no WM_DRAWITEM for a row
// drawn at item pre-paint).
#include "platform/Dc.h"
#include "platform/ListCtrl.h"
#include "platform/WndClass.h"

#include <gtest/gtest.h>

#include <string>
#include "HvTest.h"

namespace {

constexpr UINT kListId = 1200;
constexpr COLORREF kEven = RGB(200, 40, 40);
constexpr COLORREF kOdd = RGB(40, 40, 200);

// A top-level window of ours, so that the list's notifications are reflected to its object.
class CHost : public CWnd
{
public:
    bool Create(int width, int height)
    {
        return CreateEx(0, CWndClass::DefaultClass(), L"list host", WS_POPUP | WS_VISIBLE, CRect(50, 50, 50 + width, 50 + height),
                        nullptr, 0);
    }
    int drawItems = 0;

protected:
    LRESULT OnDrawItem(WPARAM, LPARAM)
    {
        ++drawItems;
        return TRUE;
    }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CHost, CWnd)
    ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
END_MSG_MAP()

// Paints every row itself, in one colour per parity, and measures its rows.
class CPaintedList : public CListCtrl
{
public:
    int itemPrePaints = 0;

protected:
    void OnCustomDraw(NMHDR* header, LRESULT* result)
    {
        NMLVCUSTOMDRAW* draw = CustomDrawOf(header);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            *result = CDRF_NOTIFYITEMDRAW;
            return;
        }
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            ++itemPrePaints;
            int row = static_cast<int>(draw->nmcd.dwItemSpec);
            CDC dc(draw->nmcd.hdc);
            dc.FillSolidRect(GetItemRect(row), row % 2 ? kOdd : kEven);
            *result = CDRF_SKIPDEFAULT;
            return;
        }
        *result = CDRF_DODEFAULT;
    }
    void MeasureItem(MEASUREITEMSTRUCT* mis) { mis->itemHeight = 20; }

    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CPaintedList, CListCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_MEASUREITEM_REFLECT(MeasureItem)
END_MSG_MAP()

int CALLBACK ByDataDescending(LPARAM a, LPARAM b, LPARAM)
{
    return a < b ? 1 : a > b ? -1 : 0;
}

} // namespace

TEST(ListCtrl, ReportViewRowsColumnsHitTestsAndScrolling)
{
    CHost host;
    ASSERT_TRUE(host.Create(320, 200));
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, CRect(10, 10, 230, 150), host,
                            kListId));
    EXPECT_EQ(list.GetDlgCtrlID(), static_cast<int>(kListId));
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    EXPECT_EQ(list.GetExtendedStyle() & LVS_EX_FULLROWSELECT, static_cast<DWORD>(LVS_EX_FULLROWSELECT));

    EXPECT_EQ(list.InsertColumn(0, L"Name", LVCFMT_LEFT, 120), 0);
    EXPECT_EQ(list.InsertColumn(1, L"Value", LVCFMT_RIGHT, 70), 1);
    EXPECT_EQ(list.GetColumnCount(), 2);
    EXPECT_EQ(list.GetColumnWidth(1), 70);
    EXPECT_TRUE(list.SetColumnWidth(1, 80));
    EXPECT_EQ(list.GetColumnWidth(1), 80);
    EXPECT_NE(list.GetHeaderCtrl(), nullptr);

    for (int i = 0; i < 30; ++i) {
        ASSERT_EQ(list.InsertItem(i, (L"row " + std::to_wstring(i)).c_str(), 100 + i), i);
        ASSERT_TRUE(list.SetItemText(i, 1, std::to_wstring(i * i).c_str()));
    }
    EXPECT_EQ(list.GetItemCount(), 30);
    EXPECT_EQ(list.GetItemText(7, 0), L"row 7");
    EXPECT_EQ(list.GetItemText(7, 1), L"49");
    EXPECT_EQ(list.GetItemData(7), 107);
    EXPECT_EQ(list.GetItemData(99), 0);
    EXPECT_TRUE(list.GetItemRect(99).IsRectEmpty());
    // A text longer than the first buffer comes back whole.
    const std::wstring longText(700, L'x');
    ASSERT_TRUE(list.SetItemText(3, 1, longText.c_str()));
    EXPECT_EQ(list.GetItemText(3, 1), longText);

    // States and selection.
    EXPECT_EQ(list.GetSelectedItem(), -1);
    EXPECT_TRUE(list.SetItemState(4, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(list.GetSelectedItem(), 4);
    EXPECT_EQ(list.GetItemState(4, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));

    // Hit tests: the row under a point of its rectangle, none below the last visible row's column.
    const CRect row2 = list.GetItemRect(2);
    ASSERT_FALSE(row2.IsRectEmpty());
    UINT flags = 0;
    EXPECT_EQ(list.HitTest(CPoint(row2.left + 5, row2.top + 2), &flags), 2);
    EXPECT_NE(flags & LVHT_ONITEM, 0u);
    LVHITTESTINFO info = {};
    info.pt = CPoint(125 + 10, row2.top + 2);
    EXPECT_EQ(list.SubItemHitTest(&info), 2);
    EXPECT_EQ(info.iSubItem, 1);
    EXPECT_EQ(list.HitTest(CPoint(215, 10000)), -1);

    // Scrolling: by whole rows in report view; the scroll information follows.
    const int perPage = list.GetCountPerPage();
    ASSERT_GT(perPage, 2);
    ASSERT_LT(perPage, 30);
    EXPECT_EQ(list.GetTopIndex(), 0);
    EXPECT_TRUE(list.Scroll(0, row2.Height() * 5));
    EXPECT_EQ(list.GetTopIndex(), 5);
    SCROLLINFO scroll;
    ASSERT_TRUE(list.GetVScrollInfo(scroll));
    EXPECT_EQ(scroll.nPos, 5);
    EXPECT_EQ(static_cast<int>(scroll.nPage), perPage);
    EXPECT_TRUE(list.EnsureVisible(29, false));
    EXPECT_EQ(list.GetTopIndex(), 30 - perPage);

    // Sorting by item data, deleting rows.
    EXPECT_TRUE(list.SortItems(ByDataDescending, 0));
    EXPECT_EQ(list.GetItemText(0, 0), L"row 29");
    EXPECT_EQ(list.GetItemData(29), 100);
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(list.GetItemCount(), 29);
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_TRUE(list.DeleteColumn(1));
    EXPECT_EQ(list.GetColumnCount(), 1);

    list.DestroyWindow();
    host.DestroyWindow();
}

TEST(ListCtrl, CustomDrawnRowsOfAnOwnerDrawnList)
{
    CHost host;
    ASSERT_TRUE(host.Create(240, 160));
    CPaintedList list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER, CRect(10, 10, 210, 130),
                            host, kListId));
    list.InsertColumn(0, L"", LVCFMT_LEFT, 200);
    for (int i = 0; i < 4; ++i)
        list.InsertItem(i, L"row", i);
    EXPECT_TRUE(list.SetBkColor(RGB(0, 0, 0)));
    EXPECT_TRUE(list.SetTextColor(RGB(255, 255, 255)));
    EXPECT_TRUE(list.SetTextBkColor(RGB(0, 0, 0)));
    list.RedrawItems(0, 3);
    list.Invalidate();
    hvtest::FlushMessages();

    EXPECT_GE(list.itemPrePaints, 4);
    EXPECT_EQ(host.drawItems, 0) << "a row drawn at item pre-paint is not owner-drawn again";
    const CRect row1 = list.GetItemRect(1);
    EXPECT_EQ(row1.Height(), 20) << "the reflected measure sets the row height";

    hvtest::Bitmap shot = hvtest::CaptureClient(list);
    ASSERT_FALSE(shot.Empty());
    shot.SaveToTestDir(L"list_ctrl_custom_draw.bmp");
    hvtest::ExpectRectNear(shot, list.GetItemRect(0), kEven, 4);
    hvtest::ExpectRectNear(shot, row1, kOdd, 4);
    hvtest::ExpectRectNear(shot, list.GetItemRect(3), kOdd, 4);

    list.DestroyWindow();
    host.DestroyWindow();
}

TEST(ListCtrl, CheckBoxesSelectionMarkAndLabelEditing)
{
    CHost host;
    ASSERT_TRUE(host.Create(300, 200));
    CListCtrl list;
    ASSERT_TRUE(list.Create(LVS_REPORT | LVS_EDITLABELS | LVS_SHOWSELALWAYS | WS_VISIBLE, CRect(0, 0, 300, 200), host.m_hWnd, kListId));
    list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    list.InsertColumn(0, L"Name", LVCFMT_LEFT, 100);
    for (int i = 0; i < 3; ++i)
        list.InsertItem(i, (L"Profile " + std::to_wstring(i + 1)).c_str());

    EXPECT_FALSE(list.GetCheck(1));
    EXPECT_TRUE(list.SetCheck(1));
    EXPECT_TRUE(list.GetCheck(1));
    EXPECT_FALSE(list.GetCheck(0));
    list.SetCheck(1, false);
    EXPECT_FALSE(list.GetCheck(1));

    EXPECT_EQ(-1, list.GetSelectionMark());
    list.SetSelectionMark(2);
    EXPECT_EQ(2, list.GetSelectionMark());

    // Editing a label gives its edit control until the edit ends.
    EXPECT_EQ(nullptr, list.GetEditControl());
    list.SetFocus();
    HWND edit = list.EditLabel(0);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(edit, list.GetEditControl());
    EXPECT_EQ(L"Profile 1", hvtest::TextOf(edit));
    list.SendMessage(LVM_CANCELEDITLABEL);
    hvtest::FlushMessages();
    EXPECT_EQ(nullptr, list.GetEditControl());
    list.DestroyWindow();
    host.DestroyWindow();
}
