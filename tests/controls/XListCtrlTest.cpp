// The extended list control driven through its own interface, by messages and by real mouse input:
// rows addressed by key and columns by id, check and exclusive-check cells (single and double
// clicks) with the header's all-checked image, the context menu's application entries through the
// file dialog seam, scrolling by wheel, thumb and page-down behind the skinned bar, the mouse
// capture the bar hands over, combo, progress and in-place edit cells, and column clicks that sort
// nothing.
#include "controls/ControlMessages.h"
#include "controls/ListPanelItem.h"
#include "controls/XComboList.h"
#include "controls/XListCtrl.h"
#include "controls/XListEdit.h"
#include "core/NameTables.h"
#include "platform/CommonDialogs.h"

#include "HvTest.h"
#include "ListTestSupport.h"
#include "XListEvents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace controltest;

namespace {

constexpr COLORREF kUnchecked = RGB(90, 90, 90);
constexpr COLORREF kChecked = RGB(40, 220, 60);
constexpr COLORREF kThumb = RGB(40, 220, 200);

// Column ids as the profile pages use them.
enum Column { kActive = 0, kNumber = 1, kName = 2, kProgram = 3, kSwitch = 4 };

void FillBitmap(CBitmap& bitmap, int width, int height, COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    bitmap.CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    CMemoryDC dc;
    dc.SelectObject(static_cast<HBITMAP>(bitmap));
    dc.FillSolidRect(CRect(0, 0, width, height), colour);
    dc.RestoreSelections();
}

// The pictures a list borrows: check boxes (with a mask that leaves a transparent border of two
// pixels) and the parts of a scroll bar 14 pixels wide.
struct Pictures
{
    Pictures()
    {
        FillBitmap(unchecked, 14, 14, kUnchecked);
        FillBitmap(checked, 14, 14, kChecked);
        FillBitmap(mask, 14, 14, RGB(255, 255, 255));
        {
            CMemoryDC dc;
            dc.SelectObject(static_cast<HBITMAP>(mask));
            dc.FillSolidRect(CRect(2, 2, 12, 12), RGB(0, 0, 0));
            dc.RestoreSelections();
        }
        plain = {unchecked, checked, nullptr};
        masked = {unchecked, checked, mask};
        const COLORREF colours[6] = {RGB(120, 120, 120), RGB(120, 120, 120), RGB(230, 40, 40),
                                     RGB(40, 40, 230),    RGB(60, 60, 60),    kThumb};
        const int heights[6] = {4, 4, 12, 12, 8, 16};
        for (int i = 0; i < 6; ++i) {
            FillBitmap(parts[i], 14, heights[i], colours[i]);
            skin.bitmaps[i] = parts[i];
        }
    }
    CBitmap unchecked, checked, mask, parts[6];
    XListCheckBitmaps plain, masked;
    VScrollSkin skin;
};

// The host panel in the foreground with one list in it.
struct Host
{
    Host() : panel(CRect(0, 0, 720, 440))
    {
        InitNameTables();
        created = panel.Create();
        panel.SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetForegroundWindow(panel);
        hvtest::FlushMessages();
    }
    ~Host()
    {
        list.reset();
        if (panel.IsWindow())
            panel.DestroyWindow();
    }
    // A list at (10, 10), height high, with the profile page's five columns.
    bool MakeProfileList(int height, bool withBar)
    {
        list = std::make_unique<CXListCtrl>();
        list->id = 248;
        list->SetFontColor(kText);
        list->SetFontColorHi(kHotText);
        list->SetBackColor(kBack);
        list->SetBackColorHi(kHotBack);
        list->SetBorderColor(kBorder);
        if (!list->CreateList(&panel, 248, WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL,
                              CRect(10, 10, 10 + 2 * 2 + 560 + (withBar ? 14 : 0), 10 + height), 2,
                              withBar ? &pictures.skin : nullptr))
            return false;
        list->SetExtendedStyle(LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        return list->AddColumn(kActive, L"Active", 60, kXListCheckBox, true, &pictures.plain) == 0 &&
               list->AddColumn(kNumber, L"#", 40, kXListStatic, false) == 1 &&
               list->AddColumn(kName, L"Name", 160, kXListStatic, false) == 2 &&
               list->AddColumn(kProgram, L"Program", 200, kXListFileDialog, false) == 3 &&
               list->AddColumn(kSwitch, L"Switch", 100, kXListCheckBox, false, &pictures.masked) == 4;
    }
    // The list with its five columns and count rows.
    bool MakeFilledList(int height, bool withBar, int count)
    {
        if (!created || !MakeProfileList(height, withBar))
            return false;
        AddRows(count);
        return true;
    }
    void AddRows(int count)
    {
        for (int key = 0; key < count; ++key) {
            list->InsertRow(key);
            list->SetCellText(key, kNumber, std::to_wstring(key + 1).c_str());
            list->SetCellText(key, kName, (L"profile " + std::to_wstring(key)).c_str());
        }
        list->EnsureVisible(0, false);
        hvtest::FlushMessages();
    }
    // The centre of a cell; column 0 ends where column 1 begins.
    POINT CellCentre(int rowKey, int displayIndex, int dx = 0) const
    {
        const int row = list->FindRowByKey(rowKey);
        CRect cell = list->GetSubItemRect(row, displayIndex);
        if (displayIndex == 0)
            cell.right = list->GetSubItemRect(row, 1).left;
        return {(cell.left + cell.right) / 2 + dx, (cell.top + cell.bottom) / 2};
    }
    // Waits until the host has received count notifications in all.
    bool WaitForEvents(size_t count)
    {
        return hvtest::WaitUntil([&] { return xlist.events.size() >= count; }, 5000);
    }

    Pictures pictures;
    hvtest::CRecordingPanel panel;
    XListEvents xlist{panel};
    std::unique_ptr<CXListCtrl> list;
    bool created = false;
};

// Answers the file dialogs the list asks for.
class CFileAnswerer : public ICommonDialogs
{
public:
    CFileAnswerer() : m_previous(SetCommonDialogs(this)) {}
    ~CFileAnswerer() override { SetCommonDialogs(m_previous); }

    std::wstring answer;  // empty: cancel
    std::vector<FileDialogRequest> asked;

    int ShowMessage(HWND, const std::wstring&, const std::wstring&, UINT) override { return IDOK; }
    bool PickFile(const FileDialogRequest& request, std::wstring& path) override
    {
        asked.push_back(request);
        if (answer.empty())
            return false;
        path = answer;
        return true;
    }
    bool PickColor(const ColorDialogRequest&, COLORREF&) override { return false; }

private:
    ICommonDialogs* m_previous;
};

int HeaderImage(CXListCtrl& list, int displayIndex)
{
    HDITEMW item = {};
    item.mask = HDI_IMAGE | HDI_FORMAT;
    list.Header().GetItem(displayIndex, &item);
    return (item.fmt & HDF_IMAGE) ? item.iImage : -1;
}

} // namespace

TEST(XList, RowKeysSettersAndColumns)
{
    Host host;
    ASSERT_TRUE(host.created);
    ASSERT_TRUE(host.MakeProfileList(200, false));
    CXListCtrl& list = *host.list;
    EXPECT_EQ(list.kind, ItemKind::XListCtrl);
    EXPECT_EQ(list.window, list.GetSafeHwnd());
    EXPECT_EQ(list.GetStyle() & 0xFFFF, 0x0005u);
    EXPECT_EQ(list.ColumnCount(), 5);

    // Refused columns: a known id, id or type -1.
    EXPECT_EQ(list.AddColumn(kName, L"again", 50, kXListStatic, false), -1);
    EXPECT_EQ(list.AddColumn(-1, L"none", 50, kXListStatic, false), -1);
    EXPECT_EQ(list.AddColumn(7, L"untyped", 50, -1, false), -1);
    EXPECT_EQ(list.GetColumnId(2), kName);
    EXPECT_EQ(list.GetColumnId(-1), -1);
    EXPECT_EQ(list.GetColumnId(5), -1);

    // Keys are the index at insertion: two rows inserted at 0 both have key 0.
    EXPECT_EQ(list.InsertRow(0), 0);
    EXPECT_EQ(list.InsertRow(0), 0);
    EXPECT_EQ(list.InsertRow(-1), -1);
    EXPECT_EQ(list.InsertRow(5), 2);
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.RowKeyOf(0), 0);
    EXPECT_EQ(list.RowKeyOf(1), 0);
    EXPECT_EQ(list.RowKeyOf(2), 5);
    EXPECT_EQ(list.FindRowByKey(0), 0);
    EXPECT_EQ(list.FindRowByKey(5), 2);
    EXPECT_EQ(list.FindRowByKey(1), -1);
    EXPECT_EQ(list.GetSelectedRowKey(), -1);
    list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedRowKey(), 5);

    // New cells: a check box in check columns only, the list's colours in the first cell.
    ASSERT_NE(list.FindCell(5, kActive), nullptr);
    EXPECT_EQ(list.FindCell(5, kActive)->check, 0);
    EXPECT_EQ(list.FindCell(5, kName)->check, -1);
    EXPECT_EQ(list.FindCell(5, kActive)->textColor, kText);
    EXPECT_EQ(list.FindCell(5, kActive)->hiBackColor, kHotBack);

    // Unknown keys and columns change nothing and answer 0.
    EXPECT_EQ(list.SetCellText(1, kName, L"x"), 0);
    EXPECT_EQ(list.SetCellText(5, 9, L"x"), 0);
    EXPECT_EQ(list.SetCellCheck(1, kSwitch, 1), 0);
    EXPECT_EQ(list.SetCellCheck(5, 9, 1), 0);
    EXPECT_EQ(list.SetRowColors(1, 0, 0, 0, 0), 0);
    EXPECT_EQ(list.SetCellCombo(1, kName, {L"a"}), 0);
    EXPECT_EQ(list.SetCellProgress(5, 9, 50), 0);
    EXPECT_EQ(list.SetCellBold(1, kName, true), 0);
    EXPECT_EQ(list.FindCell(1, kName), nullptr);
    EXPECT_EQ(list.SetCellText(5, kName, L"five"), 1);
    EXPECT_EQ(list.GetCellText(5, kName), L"five");
    EXPECT_EQ(list.SetRowColors(5, RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9), RGB(10, 11, 12)), 1);
    EXPECT_EQ(list.FindCell(5, kActive)->backColor, RGB(4, 5, 6));

    // Columns added after the rows give every row a cell of its own; the eleventh is refused.
    for (int id = 5; id < 10; ++id)
        EXPECT_EQ(list.AddColumn(id, L"late", 2, id == 9 ? kXListCheckBox : kXListStatic, false), id);
    EXPECT_EQ(list.AddColumn(10, L"eleventh", 2, kXListStatic, false), -1);
    EXPECT_EQ(list.SetCellText(0, 8, L"grown"), 1);
    EXPECT_EQ(list.GetCellText(0, 8), L"grown");
    ASSERT_NE(list.FindCell(5, 9), nullptr);
    EXPECT_EQ(list.FindCell(5, 9)->check, 0);
    EXPECT_EQ(list.SetCellCheck(5, 9, 1), 1);
    list.RedrawWindow();
    hvtest::FlushMessages();  // the grown rows draw all ten cells

    // Check notifications name the column by its id, wherever the column is shown.
    CXListCtrl reordered;
    ASSERT_TRUE(reordered.CreateList(&host.panel, 249, WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL,
                                     CRect(10, 250, 310, 350), 1, nullptr));
    EXPECT_EQ(reordered.AddColumn(kSwitch, L"Switch", 80, kXListCheckBox, false, &host.pictures.plain), 0);
    EXPECT_EQ(reordered.AddColumn(kName, L"Name", 200, kXListStatic, false), 1);
    EXPECT_EQ(reordered.GetColumnId(0), kSwitch);
    ASSERT_EQ(reordered.InsertRow(0), 0);
    hvtest::FlushMessages();
    const CRect box = reordered.GetSubItemRect(0, 0);
    ASSERT_TRUE(hvtest::Click(reordered, {(box.left + reordered.GetSubItemRect(0, 1).left) / 2, box.CenterPoint().y}));
    ASSERT_TRUE(host.WaitForEvents(1));
    EXPECT_EQ(host.xlist.events[0].message, static_cast<UINT>(WM_XLIST_CHECKCHANGED));
    EXPECT_EQ(host.xlist.events[0].column, kSwitch);
    EXPECT_EQ(host.xlist.events[0].list, reordered.GetSafeHwnd());
    reordered.DestroyList();

    // Deleting by key takes the first row of the key.
    EXPECT_TRUE(list.DeleteRow(0));
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.FindRowByKey(0), 0);
    EXPECT_FALSE(list.DeleteRow(3));
    list.DeleteAllRows();
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST(XList, CheckCellsAndTheHeadersAllCheckedImage)
{
    Host host;
    ASSERT_TRUE(host.MakeFilledList(200, false, 3));
    CXListCtrl& list = *host.list;
    XListEvents& xlist = host.xlist;
    list.SetCellCheck(0, kActive, 1);
    list.SetCellCheck(2, kActive, -1);  // row 2 has no box in the active column
    ASSERT_NE(list.FindColumn(kSwitch), nullptr);
    const int image = list.FindColumn(kSwitch)->headerImage;
    EXPECT_GE(image, 0) << "a check column that is not exclusive shows the all-checked image";
    EXPECT_EQ(HeaderImage(list, kSwitch), image);
    EXPECT_EQ(HeaderImage(list, kActive), -1) << "an exclusive column shows none";

    // An unchecked cell of the exclusive column becomes its only checked one.
    ASSERT_TRUE(hvtest::Click(list, host.CellCentre(1, kActive)));
    ASSERT_TRUE(host.WaitForEvents(2));
    EXPECT_EQ(xlist.Messages(), (std::vector<UINT>{WM_XLIST_CHECKCHANGED, WM_XLIST_ROWCLICKED}));
    EXPECT_EQ(xlist.events[0].rowKey, 1);
    EXPECT_EQ(xlist.events[0].column, kActive);
    EXPECT_TRUE(xlist.events[0].state);
    EXPECT_EQ(xlist.events[0].list, list.GetSafeHwnd());
    EXPECT_EQ(xlist.events[1].rowKey, 1);
    EXPECT_EQ(list.FindCell(0, kActive)->check, 0);
    EXPECT_EQ(list.FindCell(1, kActive)->check, 1);
    EXPECT_EQ(list.FindCell(2, kActive)->check, -1) << "the reset gives no box to a cell without one";
    EXPECT_EQ(list.GetSelectedRowKey(), 1);

    // The checked cell again: nothing changes, and still true, then the row click.
    xlist.events.clear();
    WaitPastDoubleClick();
    ASSERT_TRUE(hvtest::Click(list, host.CellCentre(1, kActive)));
    ASSERT_TRUE(host.WaitForEvents(2));
    EXPECT_EQ(xlist.Messages(), (std::vector<UINT>{WM_XLIST_CHECKCHANGED, WM_XLIST_ROWCLICKED}));
    EXPECT_TRUE(xlist.events[0].state);
    EXPECT_EQ(list.FindCell(1, kActive)->check, 1);

    // Beside the box (outside its 12 pixels) a press only clicks the row.
    xlist.events.clear();
    ASSERT_TRUE(hvtest::Click(list, host.CellCentre(0, kActive, -20)));
    ASSERT_TRUE(host.WaitForEvents(1));
    hvtest::FlushMessages();
    EXPECT_EQ(xlist.Messages(), (std::vector<UINT>{WM_XLIST_ROWCLICKED}));
    EXPECT_EQ(list.FindCell(0, kActive)->check, 0);

    // The header's image is checked when the last row is checked, unchecked when any is not.
    list.SetCellCheck(0, kSwitch, 1);
    list.SetCellCheck(1, kSwitch, 1);
    EXPECT_EQ(HeaderImage(list, kSwitch), image);
    xlist.events.clear();
    ASSERT_TRUE(hvtest::Click(list, host.CellCentre(2, kSwitch)));
    ASSERT_TRUE(host.WaitForEvents(2));
    EXPECT_EQ(xlist.events[0].message, static_cast<UINT>(WM_XLIST_CHECKCHANGED));
    EXPECT_EQ(xlist.events[0].column, kSwitch);
    EXPECT_TRUE(xlist.events[0].state);
    EXPECT_EQ(HeaderImage(list, kSwitch), image + 1);
    hvtest::FlushMessages();
    hvtest::Bitmap header = hvtest::CaptureClient(list.Header());
    const CRect item = list.Header().GetItemRect(kSwitch);
    hvtest::ExpectPixelNear(header, item.left + CXHeaderCtrl::kMargin + CXListCtrl::kImageSize / 2,
                            item.Height() / 2, kChecked, 8);
    EXPECT_EQ(list.SetCellCheck(0, kSwitch, 0), 1);
    EXPECT_EQ(HeaderImage(list, kSwitch), image);

    // The picture: boxes in their states; the masked box is transparent at its border.
    list.SetCellCheck(0, kSwitch, 1);
    hvtest::FlushMessages();
    hvtest::Bitmap shot = hvtest::CaptureClient(list);
    shot.SaveToTestDir(L"xlist_checks.bmp");
    const POINT active1 = host.CellCentre(1, kActive);
    const POINT active0 = host.CellCentre(0, kActive);
    const POINT switch0 = host.CellCentre(0, kSwitch);
    hvtest::ExpectPixelNear(shot, active1.x, active1.y, kChecked, 8);
    hvtest::ExpectPixelNear(shot, active0.x, active0.y, kUnchecked, 8);
    hvtest::ExpectPixelNear(shot, switch0.x, switch0.y, kChecked, 8);
    // The mask's border shows the row beneath.
    hvtest::ExpectPixelNear(shot, switch0.x - 6, switch0.y, kBack, 8);
    const POINT name2 = host.CellCentre(2, kName);
    hvtest::ExpectPixelNear(shot, name2.x + 70, name2.y, kHotBack, 8);  // the selected row

    // A double click on a box is two presses on it, then the double click itself.
    xlist.events.clear();
    WaitPastDoubleClick();
    ASSERT_TRUE(hvtest::DoubleClick(list, host.CellCentre(1, kSwitch)));
    ASSERT_TRUE(host.WaitForEvents(5));
    EXPECT_EQ(xlist.Messages(), (std::vector<UINT>{WM_XLIST_CHECKCHANGED, WM_XLIST_ROWCLICKED, WM_XLIST_CHECKCHANGED,
                                                   WM_XLIST_ROWCLICKED, WM_XLIST_DBLCLK}));
    if (xlist.events.size() == 5) {
        EXPECT_FALSE(xlist.events[0].state);
        EXPECT_TRUE(xlist.events[2].state);
        EXPECT_EQ(xlist.events[4].rowKey, 1);
        EXPECT_EQ(xlist.events[4].column, kSwitch);
    }
    EXPECT_EQ(list.FindCell(1, kSwitch)->check, 1);

    // Elsewhere a double click is a row click and a double click.
    xlist.events.clear();
    WaitPastDoubleClick();
    ASSERT_TRUE(hvtest::DoubleClick(list, host.CellCentre(0, kName)));
    ASSERT_TRUE(host.WaitForEvents(2));
    EXPECT_EQ(xlist.Messages(), (std::vector<UINT>{WM_XLIST_ROWCLICKED, WM_XLIST_DBLCLK}));
    EXPECT_EQ(xlist.events.back().column, kName);
}

TEST(XList, ContextMenuLinksAndUnlinksAProgram)
{
    Host host;
    ASSERT_TRUE(host.MakeFilledList(200, false, 3));
    CXListCtrl& list = *host.list;
    hvtest::CRecordingPanel& panel = host.panel;
    XListEvents& xlist = host.xlist;
    CListPanelItem menu(&panel, 200, 3 * 18 + 4);
    menu.SetEntries(Entries({L"$SetActive", L"$AssignApplication", L"$UnassignApplication"}));
    list.SetContextMenu(&menu);
    // As a page does: "$UnassignApplication" is disabled for a row without a program.
    std::vector<int> rightClicked;
    xlist.onRightClick = [&](const XListEvent& e) {
        rightClicked.push_back(e.rowKey);
        std::vector<ListEntry> entries = menu.Entries();
        entries[2].flag = list.GetCellText(e.rowKey, kProgram).empty() ? 1 : 0;
        menu.SetEntries(entries);
    };
    CFileAnswerer files;
    auto chooseEntry = [&](int rowKey, int entry) {
        xlist.events.clear();
        CRect menuRect;
        bool entryDisabled = false;
        ModalScript script({[&](CListPanel& shown) {
            menuRect = shown.GetWindowRect();
            entryDisabled = shown.List().IsRowDisabled(entry);
            POINT at = {20, shown.List().GetItemRect(entry).top + 9};
            hvtest::Click(shown.List(), at);
            if (entryDisabled)  // the panel stays: end it without a choice
                hvtest::Click(shown.List(), at, hvtest::Button::Right);
        }});
        WaitPastDoubleClick();
        const POINT at = host.CellCentre(rowKey, kName);
        EXPECT_TRUE(hvtest::Click(list, at, hvtest::Button::Right));
        EXPECT_TRUE(hvtest::WaitUntil([&] { return script.Done(); }, 8000));
        hvtest::FlushMessages();
        POINT screen = at;
        ClientToScreen(list, &screen);
        EXPECT_EQ(menuRect.TopLeft(), CPoint(screen)) << "the menu pops up at the pointer";
        return entryDisabled;
    };

    // Assigning shows the file's name and extension and reports the full path.
    files.answer = L"C:\\Games\\Tools\\name.exe";
    EXPECT_FALSE(chooseEntry(1, 1));
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_FALSE(files.asked[0].save);
    EXPECT_EQ(files.asked[0].flags, static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY));
    EXPECT_EQ(files.asked[0].filter, L"*.exe|*.exe||");
    EXPECT_EQ(list.GetCellText(1, kProgram), L"name.exe");
    ASSERT_EQ(xlist.Messages(), (std::vector<UINT>{WM_XLIST_RCLICK, WM_XLIST_CELLTEXTCHANGED}));
    EXPECT_EQ(xlist.events[0].rowKey, 1);
    EXPECT_EQ(xlist.events[1].rowKey, 1);
    EXPECT_EQ(xlist.events[1].column, kProgram);
    EXPECT_EQ(xlist.events[1].text, L"C:\\Games\\Tools\\name.exe");

    // A cancelled dialog leaves the row and sends nothing.
    files.answer.clear();
    EXPECT_FALSE(chooseEntry(1, 1));
    EXPECT_EQ(files.asked.size(), 2u);
    EXPECT_EQ(xlist.Messages(), (std::vector<UINT>{WM_XLIST_RCLICK}));
    EXPECT_EQ(list.GetCellText(1, kProgram), L"name.exe");

    // Unassigning empties the program, then switches the link off.
    list.SetCellCheck(1, kSwitch, 1);
    EXPECT_FALSE(chooseEntry(1, 2));
    ASSERT_EQ(xlist.Messages(),
              (std::vector<UINT>{WM_XLIST_RCLICK, WM_XLIST_CELLTEXTCHANGED, WM_XLIST_CHECKCHANGED}));
    EXPECT_EQ(xlist.events[1].column, kProgram);
    EXPECT_EQ(xlist.events[1].text, L"");
    EXPECT_EQ(xlist.events[2].column, kSwitch);
    EXPECT_FALSE(xlist.events[2].state);
    EXPECT_EQ(list.GetCellText(1, kProgram), L"");
    EXPECT_EQ(list.FindCell(1, kSwitch)->check, 0);

    // Now that the row has no program, the owner disabled the entry before the menu showed.
    EXPECT_TRUE(chooseEntry(1, 2));
    EXPECT_EQ(xlist.Messages(), (std::vector<UINT>{WM_XLIST_RCLICK}));

    // Any other entry goes to the owner with its text.
    EXPECT_FALSE(chooseEntry(2, 0));
    ASSERT_EQ(xlist.Messages(), (std::vector<UINT>{WM_XLIST_RCLICK, WM_XLIST_MENUCOMMAND}));
    EXPECT_EQ(xlist.events[1].rowKey, 2);
    EXPECT_EQ(xlist.events[1].column, 0);
    EXPECT_EQ(xlist.events[1].text, L"$SetActive");
    EXPECT_EQ(rightClicked, (std::vector<int>{1, 1, 1, 1, 2}));
    list.SetContextMenu(nullptr);
}

TEST(XList, ScrollsBehindTheSkinnedBarAndGivesUpTheMouse)
{
    Host host;
    ASSERT_TRUE(host.MakeFilledList(8 * 18 + 30, true, 30));
    CXListCtrl& list = *host.list;
    ASSERT_NE(list.ScrollBar(), nullptr);
    CVScrollBar& bar = *list.ScrollBar();
    EXPECT_EQ(bar.GetDlgCtrlID(), static_cast<int>(CXListCtrl::kScrollBarId));
    EXPECT_EQ(list.GetClientRect().Width(), 560);
    EXPECT_EQ(list.GetTopIndex(), 0);
    const int last = list.GetItemCount() - list.GetCountPerPage();
    ASSERT_GT(last, 5);

    // The wheel posts one line per 120 units.
    hvtest::MessageRecorder recorder;
    recorder.Watch(list);
    auto postedScrolls = [&] {
        std::vector<WORD> codes;
        for (const hvtest::RecordedMsg& m : recorder.Messages())
            if (m.message == WM_VSCROLL && (m.flags & hvtest::Posted))
                codes.push_back(LOWORD(m.wParam));
        return codes;
    };
    list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    ASSERT_TRUE(hvtest::WaitUntil([&] { return list.GetTopIndex() == 1; }, 5000));
    EXPECT_EQ(postedScrolls(), (std::vector<WORD>{SB_LINEDOWN}));
    list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), 0);
    ASSERT_TRUE(hvtest::WaitUntil([&] { return list.GetTopIndex() == 3; }, 5000));
    recorder.Clear();
    list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 240), 0);
    ASSERT_TRUE(hvtest::WaitUntil([&] { return list.GetTopIndex() == 1; }, 5000));
    EXPECT_EQ(postedScrolls(), (std::vector<WORD>{SB_LINEUP, SB_LINEUP}));
    list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 240), 0);
    ASSERT_TRUE(hvtest::WaitUntil([&] { return list.GetTopIndex() == 0; }, 5000));

    // Dragging the thumb moves the rows by the bar's position; the bar gives the mouse back.
    const CRect thumb = bar.ThumbRect();
    POINT from = {7, thumb.top + 8};
    ASSERT_TRUE(hvtest::MouseDown(bar, from));
    for (int step = 1; step <= 4; ++step) {
        POINT to = {7, thumb.top + 8 + 12 * step};
        ClientToScreen(bar, &to);
        hvtest::MoveCursorTo(to);
    }
    hvtest::MouseUp();
    ASSERT_TRUE(hvtest::WaitUntil([&] { return list.GetTopIndex() > 0; }, 5000));
    const int dragged = list.GetTopIndex();
    EXPECT_EQ(GetCapture(), list.GetSafeHwnd()) << "the bar hands the mouse to the list";
    SCROLLINFO info = {};
    ASSERT_TRUE(list.GetVScrollInfo(info));
    EXPECT_EQ(info.nPos, dragged) << "the list-view's own position follows";

    // Page down in the track: a page, and the step that would pass the end jumps to the last
    // position instead.
    auto pageDown = [&] {
        const int before = list.GetTopIndex();
        const LPARAM below = MAKELPARAM(7, (bar.ThumbRect().bottom + bar.ArrowDownRect().top) / 2);
        bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, below);
        bar.SendMessage(WM_LBUTTONUP, 0, below);
        return hvtest::WaitUntil([&] { return list.GetTopIndex() != before; }, 5000);
    };
    list.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    ASSERT_EQ(list.GetTopIndex(), 0);
    bar.SyncWithList();
    recorder.Clear();
    ASSERT_TRUE(pageDown());
    ASSERT_FALSE(postedScrolls().empty());
    EXPECT_EQ(postedScrolls().front(), SB_PAGEDOWN);
    EXPECT_EQ(list.GetTopIndex(), list.GetCountPerPage());
    list.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, last - 2), 0);
    ASSERT_EQ(list.GetTopIndex(), last - 2);
    bar.SyncWithList();
    recorder.Clear();
    ASSERT_TRUE(pageDown());
    EXPECT_EQ(list.GetTopIndex(), last);
    const std::vector<WORD> codes = postedScrolls();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), SB_THUMBPOSITION);
    ASSERT_TRUE(hvtest::WaitUntil([&] { return bar.ThumbRect().bottom >= bar.ArrowDownRect().top - 1; }, 5000));
    hvtest::Bitmap shot = hvtest::CaptureClient(host.panel);
    shot.SaveToTestDir(L"xlist_scrolled.bmp");
    CRect barRect = bar.GetWindowRect();
    host.panel.ScreenToClient(&barRect);
    EXPECT_GT(hvtest::CountPixelsNear(shot, barRect, kThumb, 4), 14 * 12) << "the thumb at the end";
    // Down at the end does nothing.
    list.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(list.GetTopIndex(), last);
    recorder.Unwatch(list);

    // The list holds the mouse over itself, the bar over the bar; a press outside both lets it go
    // and reaches the window under the pointer.
    hvtest::ScopedWindow other(hvtest::CreateTestWindow(160, 100, 760, 420, L"other"));
    SetForegroundWindow(host.panel);
    POINT onList = host.CellCentre(list.RowKeyOf(list.GetTopIndex()), kName);
    ClientToScreen(list, &onList);
    hvtest::MoveCursorTo(onList);
    EXPECT_EQ(GetCapture(), list.GetSafeHwnd());
    POINT onBar = {5, bar.GetClientRect().Height() / 2};
    ClientToScreen(bar, &onBar);
    hvtest::MoveCursorTo(onBar);
    EXPECT_EQ(GetCapture(), bar.GetSafeHwnd());
    hvtest::MoveCursorTo(onList);
    EXPECT_EQ(GetCapture(), list.GetSafeHwnd());
    recorder.Clear();
    recorder.Watch(other);
    POINT there = {60, 40};
    ClientToScreen(other, &there);
    hvtest::MoveAndPress(there);
    hvtest::MouseUp();
    EXPECT_TRUE(hvtest::WaitUntil([&] { return recorder.Contains(WM_LBUTTONDOWN); }, 5000))
        << "the press reaches the window under the pointer";
    EXPECT_NE(GetCapture(), list.GetSafeHwnd());
    EXPECT_TRUE(host.xlist.Of(WM_XLIST_ROWCLICKED).empty()) << "the press outside is no row click";
}

TEST(XList, ComboProgressAndEditCells)
{
    Host host;
    ASSERT_TRUE(host.MakeFilledList(200, false, 3));
    CXListCtrl& list = *host.list;
    XListEvents& xlist = host.xlist;

    // A combo cell (through the control's own setter): the selected row's cell opens its list
    // from the drop-down button; a key previews a choice, Return takes it.
    ASSERT_EQ(list.SetCellCombo(0, kProgram, {L"low", L"", L"mid", L"high"}, 3), 1);
    ASSERT_TRUE(hvtest::Click(list, host.CellCentre(0, kName)));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return list.GetSelectedRowKey() == 0; }, 5000));
    const int row0 = list.FindRowByKey(0);
    const CRect cell = list.GetSubItemRect(row0, kProgram);
    const POINT button = {cell.right - cell.Height() / 2, (cell.top + cell.bottom) / 2};
    auto openCombo = [&] {
        WaitPastDoubleClick();
        EXPECT_TRUE(hvtest::Click(list, button));
        return hvtest::WaitUntil([&] { return list.ComboList() && list.ComboList()->IsLaidOut(); }, 5000);
    };
    ASSERT_TRUE(openCombo());
    CXComboList& combo = *list.ComboList();
    EXPECT_EQ(combo.GetCount(), 3) << "empty entries are left out";
    EXPECT_EQ(list.GetCellText(0, kProgram), L"low") << "an empty cell shows the first choice";
    EXPECT_EQ(combo.GetCurSel(), 0);
    EXPECT_EQ(GetFocus(), combo.ListBox());
    CRect comboRect = combo.GetWindowRect();
    CRect cellScreen = cell;
    list.ClientToScreen(reinterpret_cast<POINT*>(&cellScreen.left));
    list.ClientToScreen(reinterpret_cast<POINT*>(&cellScreen.right));
    EXPECT_EQ(comboRect.left, cellScreen.left);
    EXPECT_EQ(comboRect.top, cellScreen.bottom);
    EXPECT_EQ(comboRect.Width(), cellScreen.Width());
    EXPECT_EQ((comboRect.Height() - 4) % static_cast<int>(::SendMessageW(combo.ListBox(), LB_GETITEMHEIGHT, 0, 0)), 0)
        << "whole rows";
    CRect shown = list.GetWindowRect();
    shown.bottom = std::max(shown.bottom, comboRect.bottom);
    hvtest::CaptureScreen(shown).SaveToTestDir(L"xlist_combo.bmp");
    ::SendMessageW(combo.ListBox(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_TRUE(hvtest::WaitUntil([&] { return list.GetCellText(0, kProgram) == L"mid"; }, 5000));
    ::SendMessageW(combo.ListBox(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(hvtest::WaitUntil([&] { return list.ComboList() == nullptr; }, 5000));
    EXPECT_EQ(list.GetCellText(0, kProgram), L"mid");
    EXPECT_FALSE(list.FindCell(0, kProgram)->comboOpen);

    // Escape closes the list without a choice.
    ASSERT_TRUE(openCombo());
    EXPECT_EQ(list.ComboList()->GetCurSel(), 1) << "the cell's text is selected";
    ::SendMessageW(list.ComboList()->ListBox(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(hvtest::WaitUntil([&] { return list.ComboList() == nullptr; }, 5000));
    EXPECT_EQ(list.GetCellText(0, kProgram), L"mid");

    // A click in the list takes the entry under it.
    ASSERT_TRUE(openCombo());
    RECT high = {};
    ::SendMessageW(list.ComboList()->ListBox(), LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&high));
    EXPECT_TRUE(hvtest::Click(list.ComboList()->ListBox(), {high.left + 10, (high.top + high.bottom) / 2}));
    EXPECT_TRUE(hvtest::WaitUntil([&] { return list.ComboList() == nullptr; }, 5000));
    EXPECT_EQ(list.GetCellText(0, kProgram), L"high");
    EXPECT_TRUE(xlist.Of(WM_XLIST_COMBOCHANGED).empty()) << "a combo choice is not notified";

    // A progress cell: the bar fills its part of the cell in the text colour.
    ASSERT_EQ(list.SetCellProgress(2, kProgram, 40), 1);
    hvtest::FlushMessages();
    hvtest::Bitmap shot = hvtest::CaptureClient(list);
    shot.SaveToTestDir(L"xlist_cells.bmp");
    const CRect progress = list.GetSubItemRect(list.FindRowByKey(2), kProgram);
    hvtest::ExpectPixelNear(shot, progress.left + progress.Width() / 10, progress.top + 3, kText, 8);
    hvtest::ExpectPixelNear(shot, progress.right - progress.Width() / 10, progress.top + 3, kBack, 8);
    hvtest::ExpectPixelNear(shot, progress.right - 2, progress.top + 3, kText, 8);  // the frame

    // The in-place edit: Return keeps a changed text and reports it, Escape discards.
    list.SetCellText(1, kName, L"old");
    ASSERT_TRUE(list.EditCell(1, kName));
    ASSERT_NE(list.Edit(), nullptr);
    EXPECT_TRUE(list.IsEditing());
    EXPECT_EQ(list.Edit()->GetWindowText(), L"old");
    EXPECT_EQ(list.Edit()->GetParent(), list.GetSafeHwnd());
    list.Edit()->SetWindowText(L"new");
    xlist.events.clear();
    list.Edit()->SendMessage(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(list.IsEditing());
    EXPECT_FALSE(list.Edit()->IsWindowVisible());
    EXPECT_EQ(list.GetCellText(1, kName), L"new");
    ASSERT_EQ(xlist.Messages(), (std::vector<UINT>{WM_XLIST_COMBOCHANGED}));
    EXPECT_EQ(xlist.events[0].rowKey, 1);
    EXPECT_EQ(xlist.events[0].column, kName);
    EXPECT_EQ(xlist.events[0].text, L"new");
    ASSERT_TRUE(list.EditCell(1, kName));
    list.Edit()->SetWindowText(L"discarded");
    list.Edit()->SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(list.GetCellText(1, kName), L"new");
    EXPECT_EQ(xlist.Of(WM_XLIST_COMBOCHANGED).size(), 1u);
    // A press on the list ends an edit keeping its text.
    ASSERT_TRUE(list.EditCell(1, kName));
    list.Edit()->SetWindowText(L"kept");
    WaitPastDoubleClick();
    ASSERT_TRUE(hvtest::Click(list, host.CellCentre(0, kNumber)));
    EXPECT_TRUE(hvtest::WaitUntil([&] { return !list.IsEditing(); }, 5000));
    EXPECT_EQ(list.GetCellText(1, kName), L"kept");

    // Column clicks sort nothing, and the columns keep their widths.
    const std::vector<int> keys = {list.RowKeyOf(0), list.RowKeyOf(1), list.RowKeyOf(2)};
    EXPECT_TRUE(list.Header().GetStyle() & HDS_NOSIZING);
    const CRect nameHeader = list.Header().GetItemRect(kName);
    WaitPastDoubleClick();
    ASSERT_TRUE(hvtest::Click(list.Header(), {nameHeader.left + 20, nameHeader.Height() / 2}));
    hvtest::FlushMessages();
    EXPECT_EQ((std::vector<int>{list.RowKeyOf(0), list.RowKeyOf(1), list.RowKeyOf(2)}), keys);
    WaitPastDoubleClick();
    hvtest::Drag(list.Header(), {nameHeader.right - 1, nameHeader.Height() / 2},
                 {nameHeader.right + 40, nameHeader.Height() / 2});
    EXPECT_EQ(list.GetColumnWidth(kName), 160) << "a divider cannot be dragged";
    EXPECT_EQ(list.Header().RecordCount(), 5u);
}
