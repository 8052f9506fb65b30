// The APM page against the simulated mouse: the levels as coloured columns, selected, resized by
// a drag on the header's divider (written when the drag ends, from the level before), added, deleted,
// applied and coloured; the events' modes, colours and on/off boxes; a device without the
// feature, whose APM tab cannot become current.
#include "BenchTest.h"

#include "HvTest.h"
#include "mwtest/MwTestRes.h"
#include "platform/WStr.h"

using namespace mwtest;

namespace {

class ApmPageTest : public BenchTest
{
protected:
    void SetUp() override
    {
        BenchTest::SetUp();
        Open();
        ChooseDevice(L"VEXA Mouse");
        ASSERT_TRUE(Select(IDD_APM));
        page = PageWindow(IDD_APM);
        levels = Item(IDD_APM, IDC_APM_LEVELS);
        events = Item(IDD_APM, IDC_APM_EVENTS);
        header = reinterpret_cast<HWND>(SendMessageW(levels, LVM_GETHEADER, 0, 0));
    }
    // The columns as "width:text".
    std::vector<std::wstring> Columns()
    {
        std::vector<std::wstring> columns;
        const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
        for (int column = 0; column < count; ++column)
            columns.push_back(wstr::Format(L"%d:", static_cast<int>(SendMessageW(levels, LVM_GETCOLUMNWIDTH,
                                                                                  static_cast<WPARAM>(column), 0))) +
                              RowText(levels, 0, column));
        return columns;
    }
    static std::vector<std::string> Levels() { return simtest::DumpLines(L"mouse", "apm-level "); }
    static std::string Event(int number)
    {
        return simtest::DumpLines(L"mouse", "apm-event " + std::to_string(number) + " ").at(0);
    }
    // The mode cells of an event's row, "2x" to "5x", as "-On--".
    std::wstring Modes(int row)
    {
        std::wstring modes;
        for (int column = 1; column <= 4; ++column)
            modes += RowText(events, row, column) == L"On" ? L"On" : L"-";
        return modes;
    }
    RECT HeaderItem(int column)
    {
        RECT rect = {};
        SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    // A drag of a column's right divider by dx pixels with the real mouse: pressed on the divider,
    // moved, released; the level's limit is unchanged until the release.
    void DragDivider(int column, int dx)
    {
        const RECT rect = HeaderItem(column);
        const int y = (rect.top + rect.bottom) / 2;
        const std::string before = Levels().at(static_cast<size_t>(column));
        ASSERT_TRUE(hvtest::MouseDown(header, {rect.right - 1, y}));
        POINT to = {rect.right - 1 + dx, y};
        ClientToScreen(header, &to);
        ASSERT_TRUE(hvtest::MoveCursorTo(to));
        hvtest::FlushMessages();
        EXPECT_EQ(before, Levels().at(static_cast<size_t>(column)));
        ASSERT_TRUE(hvtest::MouseUp());
        hvtest::FlushMessages();
    }
    // The upper limits written so far, as the journal has them (its last word).
    static std::vector<std::string> WrittenLimits()
    {
        std::vector<std::string> limits;
        for (const std::string& line : Calls("IApmLevel.SetUpperLimit"))
            limits.push_back(line.substr(line.rfind(' ') + 1));
        return limits;
    }
    void ClickHeader(int column)
    {
        const RECT rect = HeaderItem(column);
        ASSERT_TRUE(hvtest::Click(header, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}));
        hvtest::FlushMessages();
    }
    void DoubleClickCell(int row, int column)
    {
        ASSERT_TRUE(hvtest::DoubleClick(events, CellPoint(events, row, column)));
        hvtest::FlushMessages();
    }
    void ClickBox(int row)
    {
        RECT client = {};
        GetClientRect(page, &client);
        ASSERT_TRUE(hvtest::Click(page, {client.right - 3, client.bottom - 3}));
        ASSERT_TRUE(hvtest::Click(events, CheckBoxPoint(events, row)));
        hvtest::FlushMessages();
    }

    HWND page = nullptr;
    HWND levels = nullptr;
    HWND events = nullptr;
    HWND header = nullptr;
};

} // namespace

TEST_F(ApmPageTest, LevelsSelectedResizedAddedDeletedAppliedAndColoured)
{
    ASSERT_EQ((std::vector<std::string>{"apm-level upper 60 color 0x00FF00", "apm-level upper 120 color 0x00FFFF",
                                        "apm-level upper 250 color 0x0000FF"}),
              Levels());
    EXPECT_EQ((std::vector<std::wstring>{L"60:60", L"60:120", L"130:250"}), Columns());
    EXPECT_EQ(L"0", Text(IDD_APM, IDC_APM_LOWER));
    EXPECT_EQ(L"60", Text(IDD_APM, IDC_APM_UPPER));
    // The colour button shows the first level's colour; each level's cell is drawn in its colour.
    hvtest::Bitmap button = hvtest::CaptureClient(Item(IDD_APM, IDC_APM_COLOR));
    hvtest::ExpectPixelNear(button, button.Width() / 2, button.Height() / 2, 0x00FF00);
    const hvtest::Bitmap cells = hvtest::CaptureClient(levels);
    const POINT third = CellPoint(levels, 0, 2);
    hvtest::ExpectPixelNear(cells, third.x - 30, third.y, 0x0000FF);
    // Apply with no level selected does nothing.
    Click(IDD_APM, IDC_APM_APPLY);
    EXPECT_TRUE(simtest::Journal().empty());
    CaptureSheet(L"apm-levels");

    // A click on a column's header selects its level.
    ClickHeader(1);
    EXPECT_EQ(L"60", Text(IDD_APM, IDC_APM_LOWER));
    EXPECT_EQ(L"120", Text(IDD_APM, IDC_APM_UPPER));
    button = hvtest::CaptureClient(Item(IDD_APM, IDC_APM_COLOR));
    hvtest::ExpectPixelNear(button, button.Width() / 2, button.Height() / 2, 0x00FFFF);

    // A drag on the second column's divider, made with the third level selected: the edits show
    // another level's limits, and the drag tells the page only its end (HDN_ENDTRACKW), as
    // Wine's list does. The level's limit is written when the drag ends, from the level before
    // it (60) and the new width, and the resized level becomes the selected one.
    ClickHeader(2);
    EXPECT_EQ(L"120", Text(IDD_APM, IDC_APM_LOWER));
    EXPECT_EQ(L"250", Text(IDD_APM, IDC_APM_UPPER));
    DragDivider(1, 20);
    EXPECT_EQ("apm-level upper 140 color 0x00FFFF", Levels().at(1));
    EXPECT_EQ(std::vector<std::string>{"140"}, WrittenLimits());
    EXPECT_EQ((std::vector<std::wstring>{L"60:60", L"80:140", L"110:250"}), Columns());
    EXPECT_EQ(L"60", Text(IDD_APM, IDC_APM_LOWER));
    EXPECT_EQ(L"140", Text(IDD_APM, IDC_APM_UPPER));
    // The first column's lower limit is 0, whatever the edits showed before.
    SetDlgItemTextW(page, IDC_APM_LOWER, L"77");
    DragDivider(0, -10);
    EXPECT_EQ("apm-level upper 50 color 0x00FF00", Levels().at(0));
    EXPECT_EQ(L"0", Text(IDD_APM, IDC_APM_LOWER));
    EXPECT_EQ(L"50", Text(IDD_APM, IDC_APM_UPPER));
    EXPECT_EQ((std::vector<std::wstring>{L"50:50", L"90:140", L"110:250"}), Columns());
    // A width the device refuses (past the next level's limit) leaves the level as it was, and
    // the column shows the device's level again.
    DragDivider(1, 150);
    EXPECT_EQ("apm-level upper 140 color 0x00FFFF", Levels().at(1));
    EXPECT_EQ((std::vector<std::wstring>{L"50:50", L"90:140", L"110:250"}), Columns());
    EXPECT_EQ(L"140", Text(IDD_APM, IDC_APM_UPPER));
    // Back to the limits the rest of the test starts from.
    DragDivider(0, 10);
    EXPECT_EQ((std::vector<std::wstring>{L"60:60", L"80:140", L"110:250"}), Columns());

    // Add a level at the upper limit typed.
    SetDlgItemTextW(page, IDC_APM_UPPER, L"200");
    Click(IDD_APM, IDC_APM_ADD);
    EXPECT_EQ(4u, Levels().size());
    EXPECT_EQ("apm-level upper 200 color 0xFFFFFF", Levels().at(2));
    EXPECT_EQ((std::vector<std::wstring>{L"60:60", L"80:140", L"60:200", L"50:250"}), Columns());

    // Delete the selected level; the selection goes with it.
    ClickHeader(2);
    EXPECT_EQ(L"140", Text(IDD_APM, IDC_APM_LOWER));
    Click(IDD_APM, IDC_APM_DELETE);
    EXPECT_EQ(3u, Levels().size());
    EXPECT_EQ((std::vector<std::wstring>{L"60:60", L"80:140", L"110:250"}), Columns());
    Click(IDD_APM, IDC_APM_DELETE);
    EXPECT_EQ(1u, Calls("IApm.DeleteLevel").size());

    // Apply: the previous level's limit, the selected level's limit and the current colour.
    ClickHeader(1);
    SetDlgItemTextW(page, IDC_APM_LOWER, L"50");
    SetDlgItemTextW(page, IDC_APM_UPPER, L"150");
    Click(IDD_APM, IDC_APM_APPLY);
    EXPECT_EQ((std::vector<std::string>{"apm-level upper 50 color 0x00FF00", "apm-level upper 150 color 0x00FFFF",
                                        "apm-level upper 250 color 0x0000FF"}),
              Levels());
    EXPECT_EQ((std::vector<std::wstring>{L"50:50", L"100:150", L"100:250"}), Columns());

    // The colour of the selected level.
    dialogs.colorPicked = true;
    dialogs.colorAnswer = 0x123456;
    Click(IDD_APM, IDC_APM_COLOR);
    ASSERT_EQ(1u, dialogs.colorRequests.size());
    EXPECT_EQ(0x00FFFFu, dialogs.colorRequests[0].initial);
    EXPECT_EQ("apm-level upper 150 color 0x123456", Levels().at(1));
    button = hvtest::CaptureClient(Item(IDD_APM, IDC_APM_COLOR));
    hvtest::ExpectPixelNear(button, button.Width() / 2, button.Height() / 2, 0x123456);
    CaptureSheet(L"apm-edited");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ApmPageTest, EventModesColoursAndBoxes)
{
    const std::vector<std::wstring> names = {L"OwnBaseUnderAttackEvent", L"AllyBaseUnderAttackEvent"};
    ASSERT_EQ(16, SendMessageW(events, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(names[0], RowText(events, 0, 0));
    EXPECT_EQ(L"FlagshipCompletedEvent", RowText(events, 15, 0));
    // Modes 2 to 5 in turn, every event on.
    EXPECT_EQ(L"On---", Modes(0));
    EXPECT_EQ(L"-On--", Modes(1));
    EXPECT_EQ(L"---On", Modes(3));
    for (int row = 0; row < 16; ++row)
        EXPECT_TRUE(RowChecked(events, row)) << row;
    // The colour cell is drawn in the event's colour (0xFF for the first).
    const hvtest::Bitmap cells = hvtest::CaptureClient(events);
    const POINT colour = CellPoint(events, 0, 5);
    hvtest::ExpectPixelNear(cells, colour.x, colour.y, 0x0000FF);

    // A double click on a cell showing "On" turns the mode off; on an empty cell sets its mode
    // ("4x" is mode 4, "5x" mode 5).
    DoubleClickCell(0, 1);
    EXPECT_EQ("apm-event 1 level 0 color 0x0000FF enabled 1", Event(1));
    EXPECT_EQ(L"----", Modes(0));
    DoubleClickCell(1, 3);
    EXPECT_EQ("apm-event 2 level 4 color 0x00FF00 enabled 1", Event(2));
    EXPECT_EQ(L"--On-", Modes(1));
    DoubleClickCell(1, 4);
    EXPECT_EQ("apm-event 2 level 5 color 0x00FF00 enabled 1", Event(2));
    EXPECT_EQ(L"---On", Modes(1));

    // The colour cell: the colour dialog for the row.
    dialogs.colorPicked = true;
    dialogs.colorAnswer = 0x445566;
    DoubleClickCell(2, 5);
    ASSERT_EQ(1u, dialogs.colorRequests.size());
    EXPECT_EQ(0xFF0000u, dialogs.colorRequests[0].initial);
    EXPECT_EQ("apm-event 3 level 4 color 0x445566 enabled 1", Event(3));

    // The boxes switch an event off and on; a refused switch puts the box back.
    ClickBox(4);
    EXPECT_FALSE(RowChecked(events, 4));
    EXPECT_EQ("apm-event 5 level 2 color 0x00FF00 enabled 0", Event(5));
    ClickBox(4);
    EXPECT_TRUE(RowChecked(events, 4));
    EXPECT_EQ("apm-event 5 level 2 color 0x00FF00 enabled 1", Event(5));
    simtest::Tool({L"fail", L"mouse", L"IApmEventColors.SetEventEnabled", L"0x80004005"});
    ClickBox(6);
    EXPECT_TRUE(RowChecked(events, 6));
    EXPECT_EQ("apm-event 7 level 4 color 0x0000FF enabled 1", Event(7));
    CaptureSheet(L"apm-events");

    // Switched off elsewhere, the page shows it when it comes back.
    CComPtr<IApmEventColors> colors;
    {
        CComPtr<IApm> apm = DeviceFeature<IApm>(Mouse());
        ASSERT_TRUE(apm);
        ASSERT_HRESULT_SUCCEEDED(apm.As(colors));
    }
    ASSERT_HRESULT_SUCCEEDED(colors->SetEventEnabled(9, FALSE));
    Reselect(IDD_APM);
    EXPECT_FALSE(RowChecked(events, 8));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ApmPageTest, NoTabWithoutTheFeature)
{
    // The feature gone from the mouse: the sheet stays on the page it was on.
    simtest::Tool({L"feature", L"mouse", L"IApm", L"off"});
    ASSERT_TRUE(Select(IDD_DPI));
    EXPECT_FALSE(Select(IDD_APM));
    EXPECT_EQ(TabOf(IDD_DPI), bench.Sheet().GetActiveIndex());
    simtest::Tool({L"feature", L"mouse", L"IApm", L"on"});
    EXPECT_TRUE(Select(IDD_APM));
    // The keyboard has none.
    Select(IDD_DEVICES);
    ChooseDevice(L"VEXA Keyboard");
    EXPECT_FALSE(Select(IDD_APM));
    EXPECT_EQ(TabOf(IDD_DEVICES), bench.Sheet().GetActiveIndex());
    EXPECT_TRUE(dialogs.messages.empty());
}
