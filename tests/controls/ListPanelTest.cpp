// List panels driven by real mouse input: the modal popup (chosen row after the acknowledgement
// delay, -1 on a right click, a press outside, focus loss or Escape, sorted rows, disabled rows,
// nested choices, scroll bar, tooltips), the list shown on a page as a layout builds it (clicks,
// selection, frame, a press outside that is passed on), and the LISTPANEL section's edge cases.
#include "controls/ControlMessages.h"
#include "controls/ListPanel.h"
#include "controls/ListPanelItem.h"
#include "core/NameTables.h"
#include "platform/WndClass.h"
#include "skin/GUIItem.h"

#include "HvTest.h"
#include "LayoutTestFiles.h"
#include "ListTestSupport.h"
#include "RecordingPanel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace layouttest;
using namespace controltest;

namespace {

constexpr COLORREF kDisabledBack = RGB(90, 90, 90);

ListPanelLook Look()
{
    ListPanelLook look;
    look.colors.text = kText;
    look.colors.back = kBack;
    look.colors.hotText = kHotText;
    look.colors.hotBack = kHotBack;
    look.colors.disabledText = RGB(160, 160, 160);
    look.colors.disabledBack = kDisabledBack;
    look.colors.border = kBorder;
    look.borderWidth = 2;
    return look;
}


// The panel that owns the popups, in the foreground.
struct Host
{
    Host() : panel(CRect(0, 0, 420, 300))
    {
        InitNameTables();
        created = panel.Create();
        panel.SetWindowPos(nullptr, 60, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetForegroundWindow(panel);
        hvtest::FlushMessages();
    }
    ~Host()
    {
        if (panel.IsWindow())
            panel.DestroyWindow();
    }
    // A rectangle of the screen right of the panel.
    CRect Beside(int width, int height) const
    {
        const CRect r = panel.GetWindowRect();
        return CRect(r.left + 40, r.top + 40, r.left + 40 + width, r.top + 40 + height);
    }
    hvtest::CRecordingPanel panel;
    bool created = false;
};

} // namespace

TEST(ListPanel, PopupReturnsTheClickedRowAfterItsAcknowledgement)
{
    Host host;
    ASSERT_TRUE(host.created);
    const std::vector<ListEntry> entries = Entries({L"alpha", L"beta", L"gamma", L"delta"});
    CListPanel panel(&host.panel, host.Beside(160, 4 * 18 + 4), entries, false, false);
    panel.Look() = Look();

    DWORD pressedAt = 0;
    bool openAfterPress = false;
    bool ownerDisabled = false;
    ModalScript script({[&](CListPanel& shown) {
        ownerDisabled = !host.panel.IsWindowEnabled();
        CListPanelList& list = shown.List();
        EXPECT_EQ(list.GetItemCount(), 4);
        EXPECT_EQ(list.GetDlgCtrlID(), 1);
        EXPECT_EQ(list.GetStyle() & 0xFFFF, static_cast<DWORD>(0x6405)) << "no scroll bar: LVS_NOSCROLL";
        EXPECT_EQ(list.ScrollBar(), nullptr);
        EXPECT_EQ(GetCapture(), list.GetSafeHwnd());
        EXPECT_EQ(list.GetItemRect(0).Height(), CListPanelList::kRowHeight);
        // Hover shows the hot row; the picture is kept.
        POINT over = RowCentre(list, 2);
        ClientToScreen(list, &over);
        hvtest::MoveCursorTo(over);
        EXPECT_EQ(list.HotRow(), 2);
        hvtest::Bitmap shot = hvtest::CaptureClient(shown);
        shot.SaveToTestDir(L"list_panel_popup.bmp");
        // The right ends of the rows, where no text is.
        auto rowEnd = [&](int row) {
            CRect r = list.GetItemRect(row);
            MapWindowPoints(list, shown, reinterpret_cast<POINT*>(&r), 2);
            return CRect(r.right - 30, r.top, r.right - 2, r.bottom);
        };
        hvtest::ExpectRectNear(shot, rowEnd(2), kHotBack, 2);
        hvtest::ExpectRectNear(shot, rowEnd(0), kBack, 2);
        hvtest::ExpectRectNear(shot, rowEnd(3), kBack, 2);
        hvtest::ExpectRectNear(shot, CRect(0, 0, 160, 2), kBorder, 2);
        hvtest::ExpectRectNear(shot, CRect(0, 0, 2, 76), kBorder, 2);
        pressedAt = GetTickCount();
        hvtest::Click(list, RowCentre(list, 2));
        openAfterPress = shown.IsWindow() && list.IsChosen();
    }});
    const INT_PTR result = panel.DoModal();
    const DWORD endedAt = GetTickCount();
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(openAfterPress) << "the pressed row stays visible for the acknowledgement";
    EXPECT_EQ(result, 2);
    EXPECT_GE(endedAt - pressedAt, CListPanelList::kAcknowledgeMs - 20);
    EXPECT_TRUE(host.panel.IsWindowEnabled());
    EXPECT_FALSE(panel.IsWindow());
}

TEST(ListPanel, PopupEndsWithoutChoice)
{
    Host host;
    ASSERT_TRUE(host.created);
    const std::vector<ListEntry> entries = Entries({L"one", L"two", L"three"});
    auto run = [&](ModalScript::Step step) {
        CListPanel panel(&host.panel, host.Beside(150, 58), entries, false, false);
        panel.Look() = Look();
        ModalScript script({step});
        INT_PTR result = panel.DoModal();
        EXPECT_TRUE(script.Done());
        WaitPastDoubleClick();
        return result;
    };

    // A right click.
    EXPECT_EQ(run([](CListPanel& shown) { hvtest::Click(shown.List(), RowCentre(shown.List(), 1), hvtest::Button::Right); }),
              -1);
    // Escape and Enter without a hot row: the dialog's own results (2 and 1) never come out.
    EXPECT_EQ(run([&](CListPanel& shown) {
                  hvtest::MoveCursorTo({5, 5});
                  EXPECT_EQ(shown.List().HotRow(), -1);
                  shown.List().PostMessage(WM_KEYDOWN, VK_RETURN, 0);
                  shown.List().PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
              }),
              -1);
    // Enter takes the hot row.
    EXPECT_EQ(run([&](CListPanel& shown) {
                  POINT over = RowCentre(shown.List(), 2);
                  ClientToScreen(shown.List(), &over);
                  hvtest::MoveCursorTo(over);
                  shown.List().PostMessage(WM_KEYDOWN, VK_RETURN, 0);
              }),
              2);
    // Focus loss: another window of the program becomes active.
    hvtest::ScopedWindow other(hvtest::CreateTestWindow(120, 80, 600, 400, L"other"));
    EXPECT_EQ(run([&](CListPanel&) { SetForegroundWindow(other); }), -1);

    // A press beside the panel ends it and still reaches the button there.
    HWND button = CreateWindowExW(0, L"BUTTON", L"beside", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 90, 40, other,
                                  reinterpret_cast<HMENU>(77), GetModuleHandleW(nullptr), nullptr);
    hvtest::MessageRecorder recorder;
    recorder.Watch(button);
    recorder.Watch(other, hvtest::ParentRole);
    EXPECT_EQ(run([&](CListPanel& shown) {
                  POINT at = {40, 25};
                  ClientToScreen(button, &at);
                  EXPECT_EQ(GetCapture(), shown.List().GetSafeHwnd());
                  hvtest::MoveAndPress(at);
                  hvtest::MouseUp();
              }),
              -1);
    hvtest::FlushMessages();
    EXPECT_TRUE(recorder.Contains(WM_LBUTTONDOWN)) << "the press is passed on";
    EXPECT_TRUE(recorder.Contains(WM_COMMAND, hvtest::ParentRole)) << "and makes a click with the release";
    recorder.Clear();

    // ... but not to the window that opened the panel, which would open it again.
    CListPanel reopen(&host.panel, host.Beside(150, 58), entries, false, false);
    ModalScript pressOnOpener({[&](CListPanel&) {
        POINT at = {400, 280};
        ClientToScreen(host.panel, &at);
        hvtest::MoveAndPress(at);
        hvtest::MouseUp();
    }});
    host.panel.received.clear();
    EXPECT_EQ(reopen.DoModal(), -1);
    hvtest::FlushMessages();
}

TEST(ListPanel, SortedDisabledAndNestedRows)
{
    Host host;
    ASSERT_TRUE(host.created);

    // Sorted rows: the choice is still the index into the caller's entries.
    const std::vector<ListEntry> unsorted = Entries({L"beta", L"Alpha", L"gamma"});
    CListPanel sorted(&host.panel, host.Beside(150, 58), unsorted, true, false);
    sorted.Look() = Look();
    std::vector<std::wstring> shownOrder;
    ModalScript chooseFirst({[&](CListPanel& shown) {
        for (int row = 0; row < shown.List().GetItemCount(); ++row)
            shownOrder.push_back(shown.List().GetItemText(row, 0));
        hvtest::Click(shown.List(), RowCentre(shown.List(), 0));
    }});
    EXPECT_EQ(sorted.DoModal(), 1);
    EXPECT_EQ(shownOrder, (std::vector<std::wstring>{L"Alpha", L"beta", L"gamma"}));
    WaitPastDoubleClick();

    // A disabled entry (flag bit 0) and one naming an empty nested list can be neither hovered nor
    // chosen; the one with a nested list opens it beside the row, and the nested choice becomes the
    // nested item's current entry before the outer panel ends.
    CListPanelItem nested(&host.panel, 120, 100);
    nested.SetEntries(Entries({L"red", L"green", L"blue"}));
    CListPanelItem empty(&host.panel, 120, 100);
    std::vector<ListEntry> entries = Entries({L"plain", L"off", L"colours", L"nothing"});
    entries[1].flag = 1;
    entries[2].value = nested.EntryValue();
    entries[3].value = empty.EntryValue();
    entries[0].value = 12345;  // a plain number names no item
    CListPanel outer(&host.panel, host.Beside(150, 4 * 18 + 4), entries, false, false);
    outer.Look() = Look();
    bool disabledStayed = false;
    int hotOverDisabled = 0;
    CRect nestedRect;
    CRect outerRow;
    ModalScript script({[&](CListPanel& shown) {
                            CListPanelList& list = shown.List();
                            EXPECT_FALSE(list.IsRowDisabled(0));
                            EXPECT_TRUE(list.IsRowDisabled(1));
                            EXPECT_FALSE(list.IsRowDisabled(2));
                            EXPECT_TRUE(list.IsRowDisabled(3));
                            POINT over = RowCentre(list, 1);
                            ClientToScreen(list, &over);
                            hvtest::MoveCursorTo(over);
                            hotOverDisabled = list.HotRow();
                            hvtest::Click(list, RowCentre(list, 1));
                            hvtest::Click(list, RowCentre(list, 3));
                            hvtest::FlushMessages(300, 600);
                            disabledStayed = shown.IsWindow() && !list.IsChosen();
                            outerRow = list.GetItemRect(2);
                            list.ClientToScreen(reinterpret_cast<POINT*>(&outerRow));
                            list.ClientToScreen(reinterpret_cast<POINT*>(&outerRow) + 1);
                            WaitPastDoubleClick();
                            hvtest::Click(list, RowCentre(list, 2));  // opens the nested panel
                        },
                        [&](CListPanel& inner) {
                            nestedRect = inner.GetWindowRect();
                            hvtest::Click(inner.List(), RowCentre(inner.List(), 1));
                        }});
    EXPECT_EQ(outer.DoModal(), 2);
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(disabledStayed);
    EXPECT_EQ(hotOverDisabled, -1);
    EXPECT_EQ(nested.GetCurSel(), 1);
    EXPECT_EQ(nested.ShownText(), L"green");
    EXPECT_EQ(nestedRect.left, outerRow.right);
    EXPECT_EQ(nestedRect.top, outerRow.top);
    EXPECT_EQ(nestedRect.Height(), 3 * CListPanelList::kRowHeight + 2 * 1);
}

TEST(ListPanel, SubmenusOpenLeftOfTheirRowAtTheScreensRightEdgeAndNeverPastIt)
{
    Host host;
    ASSERT_TRUE(host.created);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(host.panel, MONITOR_DEFAULTTONEAREST), &monitor);
    const CRect screen(monitor.rcMonitor);
    // The outer panel ends 10 pixels before the right edge and 4 above the bottom: its submenu, 120
    // wide and three rows high, has room neither right of the row nor below its top.
    host.panel.SetWindowPos(nullptr, screen.right - 200, screen.bottom - 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    hvtest::FlushMessages();

    CListPanelItem nested(&host.panel, 120, 100);
    nested.SetEntries(Entries({L"red", L"green", L"blue"}));
    std::vector<ListEntry> entries = Entries({L"plain", L"more", L"colours", L"last"});
    entries[2].value = nested.EntryValue();
    const CRect anchor = host.Beside(150, 4 * 18 + 4);
    ASSERT_EQ(anchor.right, screen.right - 10);
    CListPanel outer(&host.panel, anchor, entries, false, false);
    outer.Look() = Look();
    CRect outerShown, outerRow, nestedRect;
    ModalScript script({[&](CListPanel& shown) {
                            outerShown = shown.GetWindowRect();
                            CListPanelList& list = shown.List();
                            outerRow = list.GetItemRect(2);
                            MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&outerRow), 2);
                            hvtest::Click(list, RowCentre(list, 2));  // opens the submenu
                        },
                        [&](CListPanel& inner) {
                            nestedRect = inner.GetWindowRect();
                            hvtest::Bitmap shot = hvtest::CaptureScreen(CRect(nestedRect.left, outerShown.top,
                                                                              outerShown.right, screen.bottom));
                            shot.SaveToTestDir(L"list_panel_submenu_at_edge.bmp");
                            hvtest::Click(inner.List(), RowCentre(inner.List(), 2));
                        }});
    EXPECT_EQ(outer.DoModal(), 2);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(nested.GetCurSel(), 2);
    EXPECT_EQ(outerShown, anchor) << "the menu keeps its anchor";
    EXPECT_EQ(nestedRect.Size(), CSize(120, 3 * CListPanelList::kRowHeight + 2 * 1));
    EXPECT_EQ(nestedRect.right, outerRow.left) << "left of the row";
    EXPECT_EQ(nestedRect.bottom, screen.bottom) << "moved up to the screen's bottom edge";
    EXPECT_LT(nestedRect.top, outerRow.top);

    // The placement rule on its own: right of the row where there is room, left where not, and on
    // the screen when neither side has room.
    const CRect bounds(0, 0, 800, 600);
    EXPECT_EQ(CListPanelItem::SubmenuPlace(CRect(100, 50, 300, 68), CSize(120, 56), bounds), CRect(300, 50, 420, 106));
    EXPECT_EQ(CListPanelItem::SubmenuPlace(CRect(500, 50, 700, 68), CSize(120, 56), bounds), CRect(380, 50, 500, 106));
    EXPECT_EQ(CListPanelItem::SubmenuPlace(CRect(50, 580, 760, 598), CSize(120, 56), bounds), CRect(680, 544, 800, 600));
    EXPECT_EQ(CListPanelItem::SubmenuPlace(CRect(-40, -10, 20, 8), CSize(120, 56), bounds), CRect(20, 0, 140, 56));
}

TEST(ListPanel, ScrollBarWheelAndRowTooltips)
{
    Host host;
    ASSERT_TRUE(host.created);
    UseTestSkinFolder();
    CBitmap parts[6];
    const COLORREF colours[6] = {RGB(120, 120, 120), RGB(120, 120, 120), RGB(230, 40, 40), RGB(40, 40, 230),
                                 RGB(60, 60, 60), RGB(40, 220, 60)};
    const int heights[6] = {4, 4, 12, 12, 8, 16};
    ListPanelLook look = Look();
    for (int i = 0; i < 6; ++i) {
        HDC screen = GetDC(nullptr);
        parts[i].CreateCompatibleBitmap(screen, 14, heights[i]);
        ReleaseDC(nullptr, screen);
        CMemoryDC dc;
        dc.SelectObject(static_cast<HBITMAP>(parts[i]));
        dc.FillSolidRect(CRect(0, 0, 14, heights[i]), colours[i]);
        dc.RestoreSelections();
        look.scrollSkin.bitmaps[i] = parts[i];
    }
    look.toolTip = L"common tip";

    // Five entries never get a bar, however low the panel.
    std::vector<ListEntry> five = Entries({L"1", L"2", L"3", L"4", L"5"});
    CListPanel low(&host.panel, host.Beside(150, 40), five, false, false);
    low.Look() = look;
    bool fiveHaveBar = true;
    ModalScript closeLow({[&](CListPanel& shown) {
        fiveHaveBar = shown.List().ScrollBar() != nullptr;
        hvtest::Click(shown.List(), RowCentre(shown.List(), 0), hvtest::Button::Right);
    }});
    EXPECT_EQ(low.DoModal(), -1);
    EXPECT_FALSE(fiveHaveBar);
    WaitPastDoubleClick();
    // Six get one when they do not fit, and none when they do.
    std::vector<ListEntry> six = Entries({L"1", L"2", L"3", L"4", L"5", L"6"});
    for (int height : {60, 6 * 18 + 4}) {
        CListPanel panel(&host.panel, host.Beside(150, height), six, false, false);
        panel.Look() = look;
        bool hasBar = false;
        ModalScript close({[&](CListPanel& shown) {
            hasBar = shown.List().ScrollBar() != nullptr;
            hvtest::Click(shown.List(), RowCentre(shown.List(), 0), hvtest::Button::Right);
        }});
        EXPECT_EQ(panel.DoModal(), -1);
        EXPECT_EQ(hasBar, height == 60) << height;
        WaitPastDoubleClick();
    }

    // Twenty get one when they do not fit; dragging its thumb and the wheel scroll the list.
    std::vector<ListEntry> many;
    for (int i = 0; i < 20; ++i) {
        ListEntry entry;
        entry.Init((L"entry " + std::to_wstring(i)).c_str(), 0, i == 1 ? L"own tip" : nullptr);
        many.push_back(entry);
    }
    CListPanel tall(&host.panel, host.Beside(150, 6 * 18 + 4), many, false, false);
    tall.Look() = look;
    int topAfterDrag = -1;
    int topAfterWheel = -1;
    std::wstring tipOwn, tipCommon;
    ModalScript scroll({[&](CListPanel& shown) {
        CListPanelList& list = shown.List();
        ASSERT_NE(list.ScrollBar(), nullptr);
        CVScrollBar& bar = *list.ScrollBar();
        EXPECT_EQ(bar.GetDlgCtrlID(), 0xFFFF);
        EXPECT_EQ(list.GetClientRect().Width(), 150 - 4 - 14);
        EXPECT_EQ(list.GetStyle() & 0xFFFF, static_cast<DWORD>(0x4405));
        // Row tooltips: the entry's own text, else the list's.
        POINT over = RowCentre(list, 1);
        ClientToScreen(list, &over);
        hvtest::MoveCursorTo(over);
        tipOwn = list.ToolTipText();
        over = RowCentre(list, 3);
        ClientToScreen(list, &over);
        hvtest::MoveCursorTo(over);
        tipCommon = list.ToolTipText();
        // Drag the thumb down in steps, each delivered before the next.
        const CRect thumb = bar.ThumbRect();
        POINT from = {7, thumb.top + 8};
        ASSERT_TRUE(hvtest::MouseDown(bar, from));
        for (int step = 1; step <= 4; ++step) {
            POINT to = {7, thumb.top + 8 + 10 * step};
            ClientToScreen(bar, &to);
            hvtest::MoveCursorTo(to);
        }
        hvtest::MouseUp();
        hvtest::FlushMessages(100, 1000);
        topAfterDrag = list.GetTopIndex();
        EXPECT_EQ(GetCapture(), list.GetSafeHwnd()) << "the bar gives the mouse back to the list";
        hvtest::Wheel(list, 2);
        topAfterWheel = list.GetTopIndex();
        hvtest::Bitmap shot = hvtest::CaptureClient(shown);
        shot.SaveToTestDir(L"list_panel_scrolled.bmp");
        hvtest::Click(list, RowCentre(list, list.GetTopIndex()));
    }});
    const INT_PTR chosen = tall.DoModal();
    EXPECT_TRUE(scroll.Done());
    EXPECT_EQ(tipOwn, L"own tip");
    EXPECT_EQ(tipCommon, L"common tip");
    EXPECT_GT(topAfterDrag, 0);
    EXPECT_EQ(topAfterWheel, topAfterDrag - 2);
    EXPECT_EQ(chosen, topAfterWheel) << "the top row was chosen";
}

TEST(ListPanel, LayoutBuildsPopupAndPageLists)
{
    InitNameTables();
    UseTestSkinFolder();
    WriteSkinBitmap(L"lp_panel.bmp", 420, 300, [](int, int) { return 0x202020u; });
    WriteSkinBitmap(L"lp_mask.bmp", 420, 300, [](int, int) { return 0u; });
    WriteSkinBitmap(L"lp_btn.bmp", 60, 30, [](int, int) { return 0x3050C0u; });
    for (const wchar_t* part : {L"lp_top.bmp", L"lp_bot.bmp", L"lp_aup.bmp", L"lp_adn.bmp", L"lp_spn.bmp", L"lp_tmb.bmp"})
        WriteSkinBitmap(part, 12, 10, [](int, int) { return 0x808080u; });
    WriteLayout(L"ListPanels.xml", R"(<?xml version="1.0" encoding="utf-8"?>
<GUIPANEL>
  <BACKGROUND>lp_panel.bmp</BACKGROUND><MASK>lp_mask.bmp</MASK>
  <LISTPANELLIST>
    <LISTPANEL name="LISTPANEL_PROFILEOPTIONS" fontclr="WHITE" fontclrhi="BLACK" backclr="BLUE_VX_PROFILE_HIGHLIGHT"
               backclrhi="VEXA_TAB_SELECT" bdrclr="RED" bdrwidth="-3" lmargin="6" sorted="yes" tooltip="panel tip">
      <RECT left="0" top="0" right="180" bottom="58"/>
      <LISTPANELITEMS>
        <LISTPANELITEM tooltip="tip b"> beta </LISTPANELITEM>
        <LISTPANELITEM>Alpha</LISTPANELITEM>
      </LISTPANELITEMS>
      <CLIST><VSCROLL bdrwidth="1"><VSBMP_TOP>lp_top.bmp</VSBMP_TOP><VSBMP_BOT>lp_bot.bmp</VSBMP_BOT>
        <VSBMP_AUP>lp_aup.bmp</VSBMP_AUP><VSBMP_ADN>lp_adn.bmp</VSBMP_ADN><VSBMP_SPN>lp_spn.bmp</VSBMP_SPN>
        <VSBMP_TMB>lp_tmb.bmp</VSBMP_TMB></VSCROLL></CLIST>
    </LISTPANEL>
    <LISTPANEL name="LISTPANEL_ASSIGNOPTIONS" dynamic="0" fontclr="WHITE" fontclrsel="BLACK" backclr="BLACK"
               backclrsel="GREEN" bdrclr="RED" bdrwidth="3" tooltip="page tip">
      <RECT left="20" top="20" right="200" bottom="120"/>
      <LISTPANELITEMS>
        <LISTPANELITEM>first</LISTPANELITEM><LISTPANELITEM>second</LISTPANELITEM><LISTPANELITEM>third</LISTPANELITEM>
        <LISTPANELITEM>fourth</LISTPANELITEM><LISTPANELITEM>fifth</LISTPANELITEM><LISTPANELITEM>sixth</LISTPANELITEM>
        <LISTPANELITEM>seventh</LISTPANELITEM><LISTPANELITEM>eighth</LISTPANELITEM>
      </LISTPANELITEMS>
      <VSCROLL><VSBMP_TOP>lp_top.bmp</VSBMP_TOP><VSBMP_BOT>lp_bot.bmp</VSBMP_BOT><VSBMP_AUP>lp_aup.bmp</VSBMP_AUP>
        <VSBMP_ADN>lp_adn.bmp</VSBMP_ADN><VSBMP_SPN>lp_spn.bmp</VSBMP_SPN><VSBMP_TMB>lp_tmb.bmp</VSBMP_TMB></VSCROLL>
    </LISTPANEL>
    <LISTPANEL name="NO_SUCH_ITEM"><RECT left="0" top="0" right="10" bottom="10"/></LISTPANEL>
  </LISTPANELLIST>
  <BUTTONLIST/>
</GUIPANEL>
)");
    hvtest::CRecordingPanel panel(L"ListPanels.xml");
    ASSERT_TRUE(panel.Create());
    panel.SetWindowPos(nullptr, 60, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetForegroundWindow(panel);
    hvtest::FlushMessages();

    // A dynamic panel has no window; its entries, colours and skin come from the layout.
    auto* popup = panel.Items().FindAs<CListPanelItem>(FindItemIdByName(L"LISTPANEL_PROFILEOPTIONS"),
                                                       ItemKind::ListPanelItem);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->window, nullptr);
    EXPECT_EQ(popup->Width(), 180);
    EXPECT_EQ(popup->DefaultHeight(), 58);
    ASSERT_EQ(popup->Entries().size(), 2u);
    EXPECT_EQ(popup->Entries()[0].name, L"beta");
    EXPECT_EQ(popup->Entries()[0].text, L"tip b");
    EXPECT_EQ(popup->Entries()[0].value, 0);
    EXPECT_TRUE(popup->IsSorted());
    EXPECT_EQ(popup->Look().borderWidth, 0) << "a negative border width is 0";
    EXPECT_EQ(popup->Look().leftMargin, 6);
    EXPECT_EQ(popup->Look().colors.border, FindColorByName(L"RED"));
    EXPECT_EQ(popup->Look().colors.hotBack, FindColorByName(L"VEXA_TAB_SELECT"));
    EXPECT_FALSE(popup->Look().colors.hasSelected);
    EXPECT_EQ(popup->Look().scrollSkin.borderWidth, 1) << "the skin of CLIST's VSCROLL";
    EXPECT_EQ(panel.Items().Size(), 4u) << "an unknown name builds nothing";

    // Popping it up at a point of the panel: sorted rows, the index into the entries.
    ModalScript choose({[&](CListPanel& shown) {
        CRect where = shown.GetWindowRect();
        CPoint origin(0, 0);
        panel.ClientToScreen(&origin);
        EXPECT_EQ(where.TopLeft(), CPoint(origin.x + 30, origin.y + 40));
        EXPECT_EQ(where.Size(), CSize(180, 58));
        EXPECT_EQ(shown.List().GetItemText(0, 0), L"Alpha");
        hvtest::Click(shown.List(), RowCentre(shown.List(), 0));
    }});
    EXPECT_EQ(popup->PopupPanel(0, panel, 30, 40), 1);
    EXPECT_TRUE(choose.Done());

    // The list of a page: a window of its own, marked with the item id, clicks reported.
    auto* page = panel.Items().FindAs<CListPanelItem>(FindItemIdByName(L"LISTPANEL_ASSIGNOPTIONS"),
                                                      ItemKind::ListPanelItem);
    ASSERT_NE(page, nullptr);
    CListPanelStatic* list = page->StaticList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(page->window, list->GetSafeHwnd());
    EXPECT_EQ(list->GetParent(), panel.GetSafeHwnd());
    EXPECT_EQ(list->GetDlgCtrlID(), page->id);
    EXPECT_EQ(ItemIdOfWindow(*list), page->id);
    ASSERT_NE(list->ScrollBar(), nullptr);
    EXPECT_TRUE(page->Look().colors.hasSelected);

    // Selection by index; out of range and cleared.
    EXPECT_FALSE(page->SetCurSel(8));
    EXPECT_TRUE(page->SetCurSel(2));
    EXPECT_EQ(page->GetCurSel(), 2);
    EXPECT_EQ(list->SelectedRow(), 2);
    EXPECT_EQ(page->GetEntryText(2), L"third");
    EXPECT_EQ(page->FindEntry(L"fourth"), 3);
    hvtest::FlushMessages();
    hvtest::CaptureClient(panel).SaveToTestDir(L"list_panel_page.bmp");
    hvtest::Bitmap shot = hvtest::CaptureClient(*list);
    const COLORREF red = FindColorByName(L"RED");
    hvtest::ExpectRectNear(shot, CRect(0, 0, 200, 3), red, 2);
    hvtest::ExpectRectNear(shot, CRect(0, 0, 3, 120), red, 2);
    hvtest::ExpectRectNear(shot, CRect(0, 117, 200, 120), red, 2);
    const CRect third = list->GetItemRect(2);
    hvtest::ExpectRectNear(shot, CRect(third.right - 40, third.top + 1, third.right - 5, third.bottom - 1),
                           FindColorByName(L"GREEN"), 2);
    EXPECT_TRUE(page->SetCurSel(-1));
    EXPECT_EQ(page->GetCurSel(), -1);
    EXPECT_FALSE(popup->SetCurSel(-1)) << "a negative index needs a list on the page";

    // A click on a row posts the entry's index and the list's item id.
    panel.received.clear();
    hvtest::Click(*list, {40, list->GetItemRect(1).top + 9});
    hvtest::FlushMessages();
    ASSERT_EQ(panel.Of(WM_LISTPANEL_ITEMCLICK).size(), 1u);
    EXPECT_EQ(panel.Of(WM_LISTPANEL_ITEMCLICK)[0].wParam, 1u);
    EXPECT_EQ(panel.Of(WM_LISTPANEL_ITEMCLICK)[0].lParam, page->id);
    // A disabled row reports nothing.
    std::vector<ListEntry> entries = page->Entries();
    entries[1].flag = 1;
    page->SetEntries(entries);
    panel.received.clear();
    WaitPastDoubleClick();
    hvtest::Click(*list, {40, list->GetItemRect(1).top + 9});
    hvtest::FlushMessages();
    EXPECT_TRUE(panel.Of(WM_LISTPANEL_ITEMCLICK).empty());

    // The bar hands the mouse to the list; a press right after, outside both, is passed on.
    hvtest::ScopedWindow other(hvtest::CreateTestWindow(120, 80, 600, 420, L"other"));
    SetForegroundWindow(panel);
    CVScrollBar& bar = *list->ScrollBar();
    POINT onBar = {5, 60};
    ClientToScreen(bar, &onBar);
    hvtest::MoveCursorTo(onBar);
    EXPECT_EQ(GetCapture(), bar.GetSafeHwnd());
    POINT onList = {40, 60};
    ClientToScreen(*list, &onList);
    hvtest::MoveCursorTo(onList);
    EXPECT_EQ(GetCapture(), list->GetSafeHwnd());
    hvtest::MessageRecorder recorder;
    recorder.Watch(other);
    POINT outside = {60, 40};
    ClientToScreen(other, &outside);
    hvtest::MoveAndPress(outside);
    hvtest::MouseUp();
    hvtest::FlushMessages();
    EXPECT_NE(GetCapture(), list->GetSafeHwnd());
    EXPECT_TRUE(recorder.Contains(WM_LBUTTONDOWN)) << "the press reaches the window under the pointer";

    // Hiding the item hides its list and bar.
    page->Show(false);
    EXPECT_FALSE(list->IsWindowVisible());
    EXPECT_FALSE(bar.IsWindowVisible());
    panel.DestroyWindow();
}
