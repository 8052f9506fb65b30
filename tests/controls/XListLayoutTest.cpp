// The LISTCTRL element of a layout: the list's width from its bar, border and columns whatever RECT
// says, its style, colours and columns, the elements that yield no list (and leave no window), and
// the profile list of the generated default skin ("Mouse_MgProfs.xml") shown, captured and driven
// as the profile page drives it.
#include "controls/ControlMessages.h"
#include "controls/ListPanel.h"
#include "controls/ListPanelItem.h"
#include "controls/XListCtrl.h"
#include "core/NameTables.h"
#include "skin/GUIItem.h"
#include "skin/LangTable.h"
#include "skin/LayoutLoader.h"
#include "skin/SkinResourceCache.h"

#include "HvTest.h"
#include "LayoutTestFiles.h"
#include "ListTestSupport.h"
#include "XListEvents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace layouttest;
using namespace controltest;

namespace {

int ChildWindowCount(HWND parent)
{
    int count = 0;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ++count;
    return count;
}

// The rectangle of a window in the client coordinates of another (its parent by default).
CRect RectIn(const CWnd& window, HWND other)
{
    CRect rect = window.GetWindowRect();
    MapWindowPoints(nullptr, other, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

CRect RectInParent(const CWnd& child)
{
    return RectIn(child, child.GetParent());
}

struct ShownHost
{
    explicit ShownHost(const RECT& rect) : panel(rect)
    {
        InitNameTables();
        created = panel.Create();
        panel.SetWindowPos(nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetForegroundWindow(panel);
        hvtest::FlushMessages();
    }
    ~ShownHost()
    {
        items.DeleteAll();
        if (panel.IsWindow())
            panel.DestroyWindow();
    }
    hvtest::CRecordingPanel panel;
    XListEvents xlist{panel};
    CGUIItems items;
    bool created = false;
};

const char* const kScrollParts = R"(<VSCROLL bdrwidth="0"><VSBMP_TOP>xl_end.bmp</VSBMP_TOP><VSBMP_BOT>xl_end.bmp</VSBMP_BOT>
    <VSBMP_AUP>xl_arrow.bmp</VSBMP_AUP><VSBMP_ADN>xl_arrow.bmp</VSBMP_ADN><VSBMP_SPN>xl_end.bmp</VSBMP_SPN>
    <VSBMP_TMB>xl_thumb.bmp</VSBMP_TMB></VSCROLL>)";

std::string Column(const char* name, const char* type, const char* width, const char* extra = "")
{
    return std::string("<LISTCOLUMN name=\"") + name + "\" type=\"" + type + "\" width=\"" + width + "\" " + extra +
           ">caption</LISTCOLUMN>";
}

// A LISTCTRL that must yield no list: its columns as given.
std::string Refused(const std::string& columns)
{
    return std::string(R"(<LISTCTRL name="LIST_PROFILELIST" bdrwidth="1"><RECT left="0" top="0" right="100" bottom="100"/>)") +
           kScrollParts + columns + "</LISTCTRL>\n";
}

} // namespace

TEST(XListLayout, WidthStyleColoursAndElementsThatYieldNoList)
{
    UseTestSkinFolder();
    WriteSkinBitmap(L"xl_end.bmp", 17, 6, [](int, int) { return 0x606060u; });
    WriteSkinBitmap(L"xl_arrow.bmp", 17, 12, [](int, int) { return 0xC03030u; });
    WriteSkinBitmap(L"xl_thumb.bmp", 17, 16, [](int, int) { return 0x30C0C0u; });
    WriteSkinBitmap(L"xl_off.bmp", 14, 14, [](int, int) { return 0x505050u; });
    WriteSkinBitmap(L"xl_on.bmp", 14, 14, [](int, int) { return 0x20E040u; });
    // The name table has seven columns: an eighth is one of them again, and refused.
    std::string repeated;
    const char* names[] = {"LCITEM_PROFILECURRENT", "LCITEM_PROFILEID", "LCITEM_PROFILENAME", "LCITEM_PROFILEEXE",
                           "LCITEM_AUTOSWITCH", "LCITEM_MCREVENT_ICON", "LCITEM_MCREVENT_DESCRIP"};
    for (int i = 0; i < 8; ++i)
        repeated += Column(names[i % 7], "STATIC", "10");
    std::string xml = std::string(R"(<?xml version="1.0" encoding="utf-8"?>
<ITEMLIST><LISTLIST>
  <COMBO name="LIST_GLOBALMACROLIST"/>
  <LISTCTRL name="LIST_PROFILELIST" bdrwidth="2" fontclr="WHITE" fontclrhi="BLACK" backclr="BLUE_VX_PROFILE_HIGHLIGHT"
            backclrhi="VEXA_TAB_SELECT" bdrclr="RED" sorted="1">
    <RECT left="20" top="30" right="500" bottom="200"/>)") +
                      kScrollParts + R"(
    <LISTHDR backclr="GREEN" fontclr="YELLOW"/>
    <LISTCOLUMN name="LCITEM_PROFILECURRENT" type="CHECKBOX" width="100" exclusive="yes"> Active <SBMN>xl_off.bmp</SBMN><SBMD>xl_on.bmp</SBMD></LISTCOLUMN>
    <LISTCOLUMN name="LCITEM_PROFILENAME" type="static" width="50" tooltip="name tip">Name</LISTCOLUMN>
  </LISTCTRL>
  <LISTCTRL name="LIST_PROFILELIST_KEYBOARD" bdrwidth="-4">
    <RECT left="20" top="260" right="9" bottom="80"/>
    <LISTCOLUMN name="LCITEM_PROFILEEXE" type="FILEDIALOG" width="120">Program</LISTCOLUMN>
  </LISTCTRL>
)" + Refused(Column("LCITEM_PROFILENAME", "STATIC", "80") + Column("LCITEM_PROFILEEXE", "SLIDER", "80")) +
                      Refused(Column("LCITEM_PROFILENAME", "STATIC", "80") + Column("LCITEM_PROFILEID", "STATIC", "-3")) +
                      Refused(Column("LCITEM_NOPE", "STATIC", "80")) + Refused("") + Refused(repeated) +
                      R"(<LISTCTRL name="NO_SUCH_ITEM"><RECT left="0" top="0" right="10" bottom="10"/>)" +
                      Column("LCITEM_PROFILENAME", "STATIC", "80") + R"(</LISTCTRL>
</LISTLIST></ITEMLIST>
)";
    WriteLayout(L"XLists.xml", xml);

    ShownHost host(CRect(0, 0, 600, 400));
    ASSERT_TRUE(host.created);
    ASSERT_EQ(ChildWindowCount(host.panel), 0);
    // The language in use gives the program column a width of its own.
    CLangTable language;
    const std::wstring width = L"90";
    language.AddColumnOverride(FindListColumnId(L"LCITEM_PROFILEEXE"), L"width", width.c_str(),
                               (width.size() + 1) * sizeof(wchar_t));
    SetCurrentLangTable(&language);
    const bool loaded = LoadLayoutFile(&host.items, L"XLists.xml", &host.panel, false);
    SetCurrentLangTable(nullptr);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(host.items.Size(), 2u) << "every element with a column that is not added yields nothing";
    EXPECT_EQ(ChildWindowCount(host.panel), 3 + 2) << "and leaves no window: frame, list and bar of the first, "
                                                      "frame and list of the second";

    auto* list = host.items.FindAs<CXListCtrl>(FindItemIdByName(L"LIST_PROFILELIST"), ItemKind::XListCtrl);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->window, list->GetSafeHwnd());
    EXPECT_EQ(list->owner, &host.panel);
    EXPECT_EQ(ItemIdOfWindow(*list), list->id);
    EXPECT_EQ(list->GetDlgCtrlID(), list->id);
    // 17 (bar) + 2 (border) + 100 + 50, whatever RECT says.
    ASSERT_NE(list->Frame(), nullptr);
    EXPECT_EQ(RectInParent(*list->Frame()), CRect(20, 30, 20 + 169, 30 + 200));
    ASSERT_NE(list->ScrollBar(), nullptr);
    EXPECT_EQ(list->ScrollBar()->BarWidth(), 17);
    EXPECT_EQ(RectInParent(*list->ScrollBar()), CRect(20 + 2 + 148, 32, 20 + 2 + 148 + 17, 30 + 198));
    EXPECT_EQ(RectInParent(*list), CRect(22, 32, 22 + 148, 228));
    EXPECT_EQ(list->GetStyle() & 0xFFFF, 0x0005u);
    EXPECT_EQ(list->GetExtendedStyle() & 0x10120, 0x10120u);
    EXPECT_EQ(list->BorderWidth(), 2);
    EXPECT_EQ(list->FontColor(), FindColorByName(L"WHITE"));
    EXPECT_EQ(list->FontColorHi(), FindColorByName(L"BLACK"));
    EXPECT_EQ(list->BackColor(), FindColorByName(L"BLUE_VX_PROFILE_HIGHLIGHT"));
    EXPECT_EQ(static_cast<COLORREF>(list->SendMessage(LVM_GETBKCOLOR)), FindColorByName(L"BLUE_VX_PROFILE_HIGHLIGHT"));
    EXPECT_EQ(list->BackColorHi(), FindColorByName(L"VEXA_TAB_SELECT"));
    EXPECT_EQ(list->BorderColor(), FindColorByName(L"RED"));
    EXPECT_EQ(list->Header().BackColor(), FindColorByName(L"GREEN"));
    EXPECT_EQ(list->Header().TextColor(), FindColorByName(L"YELLOW"));
    ASSERT_EQ(list->ColumnCount(), 2);
    EXPECT_EQ(list->GetColumnId(0), 0);
    EXPECT_EQ(list->GetColumnId(1), 2);
    const XListColumn* active = list->FindColumn(0);
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->type, kXListCheckBox);
    EXPECT_TRUE(active->exclusive);
    EXPECT_NE(active->bitmaps.unchecked, nullptr);
    EXPECT_NE(active->bitmaps.checked, nullptr);
    EXPECT_EQ(active->name, L"Active");
    EXPECT_EQ(list->Header().GetItemText(0), L"Active");
    EXPECT_EQ(list->FindColumn(2)->toolTip, L"name tip");
    EXPECT_EQ(list->GetColumnWidth(1), 50);

    // The column tooltip follows the pointer.
    list->InsertRow(0);
    list->SetCellText(0, 2, L"first");
    list->InsertRow(1);
    list->SetCellCheck(1, 0, 1);
    hvtest::FlushMessages();
    POINT overName = {110, list->GetItemRect(0).top + 5};
    ClientToScreen(*list, &overName);
    hvtest::MoveCursorTo(overName);
    EXPECT_EQ(list->ToolTipText(), L"name tip");
    POINT overActive = {40, list->GetItemRect(0).top + 5};
    ClientToScreen(*list, &overActive);
    hvtest::MoveCursorTo(overActive);
    EXPECT_EQ(list->ToolTipText(), L"Active") << "without a tooltip of its own, the column's name";

    hvtest::FlushMessages();
    hvtest::Bitmap shot = hvtest::CaptureClient(host.panel);
    shot.SaveToTestDir(L"xlist_layout.bmp");
    hvtest::ExpectRectNear(shot, CRect(20, 30, 189, 32), FindColorByName(L"RED"), 2);
    hvtest::ExpectRectNear(shot, CRect(20, 30, 22, 230), FindColorByName(L"RED"), 2);
    const CRect header = RectIn(list->Header(), host.panel);
    hvtest::ExpectPixelNear(shot, header.left + 85, header.top + header.Height() / 2, FindColorByName(L"GREEN"), 2);
    const CRect below(30, RectInParent(*list).top + list->GetItemRect(1).bottom + 4, 150, 220);
    hvtest::ExpectRectNear(shot, below, FindColorByName(L"BLUE_VX_PROFILE_HIGHLIGHT"), 2);

    // No LISTHDR: no header style; no VSCROLL: no bar; a negative border is none.
    auto* second = host.items.FindAs<CXListCtrl>(FindItemIdByName(L"LIST_PROFILELIST_KEYBOARD"), ItemKind::XListCtrl);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetStyle() & 0xFFFF, 0x4005u);
    EXPECT_EQ(second->ScrollBar(), nullptr);
    EXPECT_EQ(second->BorderWidth(), 0);
    EXPECT_EQ(RectInParent(*second->Frame()), CRect(20, 260, 20 + 90, 340)) << "the language's width";
    EXPECT_EQ(second->GetColumnWidth(0), 90);

    // Hiding the item hides its three windows.
    list->Show(false);
    EXPECT_FALSE(list->IsWindowVisible());
    EXPECT_FALSE(list->Frame()->IsWindowVisible());
    EXPECT_FALSE(list->ScrollBar()->IsWindowVisible());
    host.items.DeleteAll();
    EXPECT_EQ(ChildWindowCount(host.panel), 0) << "the item list takes the windows with it";
}

// The profile list of the default skin, as the configuration program loads it with the mouse's
// profile page: five columns, its menu, its look, and what it reports.
TEST(XListLayout, DefaultSkinProfileList)
{
    InitNameTables();
    GetSkinResourceCache().SetFolder(HV_SKIN_IMAGE_DIR);
    CGUIItems languages;
    ASSERT_TRUE(LoadLayoutFile(&languages, L"Language.xml", nullptr, false));
    SetCurrentLangTable(FindRegisteredLangTable(FindLanguageIdByName(L"English")));
    ASSERT_NE(GetCurrentLangTable(), nullptr);

    ShownHost host(CRect(0, 0, 980, 560));
    ASSERT_TRUE(host.created);
    ASSERT_TRUE(LoadLayoutFile(&host.items, L"Mouse_MgProfs.xml", &host.panel, false));
    auto* list = host.items.FindAs<CXListCtrl>(FindItemIdByName(L"LIST_PROFILELIST"), ItemKind::XListCtrl);
    auto* menu = host.items.FindAs<CListPanelItem>(FindItemIdByName(L"LISTPANEL_PROFILEOPTIONS"),
                                                   ItemKind::ListPanelItem);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(list->ColumnCount(), 5);
    const int types[5] = {kXListCheckBox, kXListStatic, kXListStatic, kXListFileDialog, kXListCheckBox};
    for (int d = 0; d < 5; ++d) {
        EXPECT_EQ(list->GetColumnId(d), d) << "the default skin writes its columns in id order";
        EXPECT_EQ(list->FindColumn(d)->type, types[d]);
    }
    EXPECT_TRUE(list->FindColumn(0)->exclusive);
    EXPECT_FALSE(list->FindColumn(4)->exclusive);
    std::wstring caption;
    TranslateText(L"$ProfileName", caption);
    EXPECT_EQ(list->Header().GetItemText(2), caption);
    EXPECT_EQ(list->Header().GetItemText(1), L"#") << "a caption that is no key stays";
    ASSERT_NE(list->ScrollBar(), nullptr);
    EXPECT_EQ(list->Frame()->GetWindowRect().Width(), 70 + 44 + 300 + 320 + 120 + 1 + list->ScrollBar()->BarWidth());

    // Filled as the profile page fills it; the active profile's row selected.
    const wchar_t* profiles[] = {L"Default", L"Shooter", L"Strategy", L"Desktop"};
    for (int key = 0; key < 4; ++key) {
        ASSERT_EQ(list->InsertRow(key), key);
        wchar_t number[8];
        swprintf(number, 8, L"%02d", key + 1);
        list->SetCellText(key, 1, number);
        list->SetCellText(key, 2, profiles[key]);
        list->SetCellCheck(key, 0, key == 0 ? 1 : 0);
        list->SetCellCheck(key, 4, key == 1 ? 1 : 0);
    }
    list->SetCellText(1, 3, L"shooter.exe");
    list->SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list->EnsureVisible(0, false);
    list->SetContextMenu(menu);
    hvtest::FlushMessages();

    hvtest::Bitmap shot = hvtest::CaptureClient(host.panel);
    shot.SaveToTestDir(L"xlist_profile_list.bmp");
    const CRect listRect = RectInParent(*list);
    const CRect frame = RectInParent(*list->Frame());
    hvtest::ExpectPixelNear(shot, frame.left, frame.top + frame.Height() / 2, FindColorByName(L"VEXA_PANEL_BORDER"), 2);
    const CRect lastRow = list->GetItemRect(3);
    hvtest::ExpectRectNear(shot,
                           CRect(listRect.left + 10, listRect.top + lastRow.bottom + 4, listRect.right - 10,
                                 listRect.bottom - 4),
                           FindColorByName(L"VEXA_COMBO_BK"), 2);
    const CRect header = RectIn(list->Header(), host.panel);
    const CRect nameHeader = list->Header().GetItemRect(2);
    hvtest::ExpectPixelNear(shot, header.left + nameHeader.right - 30, header.top + header.Height() / 2,
                            FindColorByName(L"VEXA_PANEL_BACKGROUND"), 2);
    const CRect selectedName = list->GetSubItemRect(0, 2);
    hvtest::ExpectPixelNear(shot, listRect.left + selectedName.right - 20, listRect.top + selectedName.top + 2,
                            FindColorByName(L"VEXA_PANEL_HIGHLIGHT"), 2);
    // The check cells show the column's pictures: checked (SBMD) and unchecked (SBMN), as the files are.
    const hvtest::Bitmap on = hvtest::Bitmap::Load(GetSkinResourceCache().Folder() + L"skins\\lcheck_on.bmp");
    const hvtest::Bitmap off = hvtest::Bitmap::Load(GetSkinResourceCache().Folder() + L"skins\\lcheck_off.bmp");
    ASSERT_FALSE(on.Empty());
    ASSERT_FALSE(off.Empty());
    auto showsPicture = [&](int row, int column, const hvtest::Bitmap& picture) {
        CRect cell = list->GetSubItemRect(row, column);
        if (column == 0)
            cell.right = list->GetSubItemRect(row, 1).left;
        const int left = listRect.left + cell.left + (cell.Width() - picture.Width()) / 2;
        const int top = listRect.top + cell.top + (cell.Height() - picture.Height()) / 2;
        int differing = 0;
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x)
                differing += !hvtest::ColorNear(shot.At(left + x, top + y), picture.At(x, y), 6);
        return differing;
    };
    EXPECT_EQ(showsPicture(1, 0, off), 0) << "an unchecked box";
    EXPECT_EQ(showsPicture(2, 4, off), 0);
    EXPECT_EQ(showsPicture(1, 4, on), 0) << "a checked box";

    // A click on another row's active box makes it the active one; the auto-switch box toggles.
    host.xlist.events.clear();
    POINT activeBox = {(list->GetSubItemRect(2, 0).left + list->GetSubItemRect(2, 1).left) / 2,
                       (list->GetSubItemRect(2, 0).top + list->GetSubItemRect(2, 0).bottom) / 2};
    ASSERT_TRUE(hvtest::Click(*list, activeBox));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return host.xlist.events.size() >= 2; }, 5000));
    ASSERT_EQ(host.xlist.events[0].message, static_cast<UINT>(WM_XLIST_CHECKCHANGED));
    EXPECT_EQ(host.xlist.events[0].rowKey, 2);
    EXPECT_EQ(host.xlist.events[0].column, 0);
    EXPECT_TRUE(host.xlist.events[0].state);
    EXPECT_EQ(host.xlist.events[1].message, static_cast<UINT>(WM_XLIST_ROWCLICKED));
    EXPECT_EQ(list->FindCell(0, 0)->check, 0);
    const CRect switchCell = list->GetSubItemRect(2, 4);
    host.xlist.events.clear();
    ASSERT_TRUE(hvtest::Click(*list, switchCell.CenterPoint()));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return host.xlist.events.size() >= 2; }, 5000));
    EXPECT_EQ(host.xlist.events[0].column, 4);
    EXPECT_TRUE(host.xlist.events[0].state);

    // Its menu: "$UnassignApplication" empties the program and switches the link off.
    host.xlist.events.clear();
    const int unassign = menu->FindEntry(L"$UnassignApplication");
    ASSERT_GE(unassign, 0);
    ModalScript script({[&](CListPanel& shown) {
        POINT at = {20, shown.List().GetItemRect(shown.List().RowOfEntry(unassign)).top + 9};
        hvtest::Click(shown.List(), at);
    }});
    WaitPastDoubleClick();
    const CRect programCell = list->GetSubItemRect(1, 3);
    ASSERT_TRUE(hvtest::Click(*list, programCell.CenterPoint(), hvtest::Button::Right));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return script.Done() && host.xlist.events.size() >= 3; }, 8000));
    ASSERT_EQ(host.xlist.Messages(),
              (std::vector<UINT>{WM_XLIST_RCLICK, WM_XLIST_CELLTEXTCHANGED, WM_XLIST_CHECKCHANGED}));
    EXPECT_EQ(host.xlist.events[1].rowKey, 1);
    EXPECT_EQ(host.xlist.events[1].column, 3);
    EXPECT_EQ(host.xlist.events[1].text, L"");
    EXPECT_EQ(host.xlist.events[2].column, 4);
    EXPECT_FALSE(host.xlist.events[2].state);
    EXPECT_EQ(list->GetCellText(1, 3), L"");

    host.items.DeleteAll();
    SetCurrentLangTable(nullptr);
}
