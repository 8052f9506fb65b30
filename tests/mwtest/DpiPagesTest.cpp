// The DPI and sensitivity scaler pages against the simulated mouse: the bars and the stage mark
// following the device's events, the stage list, the coupled bars and both Apply buttons, the
// number of stages through its up-down (refused, failed, out of range), each checked on the
// simulator's dump and journal.
#include "BenchTest.h"

#include "mwtest/DpiPages.h"
#include "HvTest.h"
#include "mwtest/MwTestRes.h"
#include "platform/WStr.h"

using namespace mwtest;

namespace {

class DpiPagesTest : public BenchTest
{
protected:
    void OpenPage(UINT templateId)
    {
        Open();
        ChooseDevice(L"VEXA Mouse");
        ASSERT_TRUE(Select(templateId));
        id = templateId;
        page = PageWindow(templateId);
    }
    int Pos(int control) { return static_cast<int>(SendMessageW(Item(id, control), TBM_GETPOS, 0, 0)); }
    std::vector<std::wstring> Stages()
    {
        HWND list = Item(id, IDC_DPI_STAGES);
        std::vector<std::wstring> entries;
        for (int i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
            wchar_t text[64] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    int SelectedStage() { return static_cast<int>(SendMessageW(Item(id, IDC_DPI_STAGES), LB_GETCURSEL, 0, 0)); }
    // The active pair and the stage bars with their texts, as "x/y x/y".
    std::wstring Bars()
    {
        return wstr::Format(L"active %d %ls %d %ls stage %d %ls %d %ls", Pos(IDC_DPI_ACTIVE_X),
                            Text(id, IDC_DPI_ACTIVE_X_TEXT).c_str(), Pos(IDC_DPI_ACTIVE_Y),
                            Text(id, IDC_DPI_ACTIVE_Y_TEXT).c_str(), Pos(IDC_DPI_STAGE_X),
                            Text(id, IDC_DPI_STAGE_X_TEXT).c_str(), Pos(IDC_DPI_STAGE_Y),
                            Text(id, IDC_DPI_STAGE_Y_TEXT).c_str());
    }
    std::vector<std::wstring> Marked(int active, int count)
    {
        std::vector<std::wstring> entries;
        for (int stage = 1; stage <= count; ++stage)
            entries.push_back((stage == active ? L">" : L"") + wstr::Format(L"Stage %d", stage));
        return entries;
    }
    // A key step on a track bar: its move and the end of the move.
    void Step(int control, WPARAM key)
    {
        HWND bar = Item(id, control);
        SendMessageW(bar, WM_KEYDOWN, key, 1);
        SendMessageW(bar, WM_KEYUP, key, 0xC0000001);
        hvtest::FlushMessages();
    }
    void ChooseStage(int index, UINT notification)
    {
        HWND list = Item(id, IDC_DPI_STAGES);
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_DPI_STAGES, notification), reinterpret_cast<LPARAM>(list));
        hvtest::FlushMessages();
    }
    // A click on the up-down's upper or lower arrow.
    void ClickSpin(bool up)
    {
        HWND spin = Item(id, IDC_DPI_STAGE_SPIN);
        RECT r = {};
        GetClientRect(spin, &r);
        ASSERT_TRUE(hvtest::Click(spin, {r.right / 2, up ? r.bottom / 4 : r.bottom * 3 / 4}));
        hvtest::FlushMessages();
    }
    int SpinPos() { return static_cast<int>(SendMessageW(Item(id, IDC_DPI_STAGE_SPIN), UDM_GETPOS32, 0, 0)); }
    static std::string Dpi() { return simtest::DumpLines(L"mouse", " dpi ").at(0).substr(5); }
    static std::string Scaler() { return simtest::DumpLines(L"mouse", " scaler ").at(0).substr(8); }

    UINT id = 0;
    HWND page = nullptr;
};

} // namespace

TEST_F(DpiPagesTest, DpiBarsAndStageMarkFollowTheDeviceAndTheUser)
{
    OpenPage(IDD_DPI);
    ASSERT_EQ("active-stage 3 active 1800x1800 stages 800x800 1200x1200 1800x1800 4000x4000 5600x5600", Dpi());
    EXPECT_EQ(Marked(3, 5), Stages());
    EXPECT_EQ(2, SelectedStage());
    EXPECT_EQ(L"active 1800 1800 1800 1800 stage 1800 1800 1800 1800", Bars());
    for (int bar : {IDC_DPI_ACTIVE_X, IDC_DPI_ACTIVE_Y, IDC_DPI_STAGE_X, IDC_DPI_STAGE_Y}) {
        EXPECT_EQ(100, SendMessageW(Item(id, bar), TBM_GETRANGEMIN, 0, 0));
        EXPECT_EQ(5600, SendMessageW(Item(id, bar), TBM_GETRANGEMAX, 0, 0));
    }
    EXPECT_EQ(L"5", Text(id, IDC_DPI_STAGE_COUNT));
    EXPECT_EQ(5, SpinPos());
    EXPECT_EQ(1, Connections(L"mouse", "_IDPIEvents"));
    EXPECT_EQ(1, Connections(L"mouse", "_IDPIEvents2"));
    CaptureSheet(L"dpi-stage-3");

    // The device's own switch: the active bars and the mark follow.
    simtest::Tool({L"dpi", L"1"});
    hvtest::FlushMessages();
    EXPECT_EQ(Marked(1, 5), Stages());
    EXPECT_EQ(L"active 800 800 800 800 stage 800 800 800 800", Bars());

    // A stage chosen shows its values; a double click makes it active.
    ChooseStage(3, LBN_SELCHANGE);
    EXPECT_EQ(L"active 800 800 800 800 stage 4000 4000 4000 4000", Bars());
    ChooseStage(3, LBN_DBLCLK);
    EXPECT_EQ(Marked(4, 5), Stages());
    EXPECT_EQ(L"active 4000 4000 4000 4000 stage 4000 4000 4000 4000", Bars());
    EXPECT_EQ("active-stage 4 active 4000x4000 stages 800x800 1200x1200 1800x1800 4000x4000 5600x5600", Dpi());

    // Flags 9 (both at once) change nothing; 0x501 sets the active bars.
    auto* dpiPage = dynamic_cast<CDPIPage*>(bench.Sheet().GetPage(TabOf(IDD_DPI)));
    ASSERT_NE(nullptr, dpiPage);
    EXPECT_HRESULT_SUCCEEDED(dpiPage->StageEventSink()->OnDpiEvent(9, 2));
    hvtest::FlushMessages();
    EXPECT_EQ(Marked(4, 5), Stages());
    EXPECT_EQ(L"active 4000 4000 4000 4000 stage 4000 4000 4000 4000", Bars());
    SendMessageW(page, 0x501, 1000, 2000);
    EXPECT_EQ(L"active 1000 1000 2000 2000 stage 4000 4000 4000 4000", Bars());

    // Apply writes the bars; with "move both" the X bar moves Y along and both write X.
    Click(id, IDC_DPI_APPLY_ACTIVE);
    EXPECT_EQ("active-stage 4 active 1000x2000 stages 800x800 1200x1200 1800x1800 4000x4000 5600x5600", Dpi());
    Click(id, IDC_DPI_ACTIVE_BOTH);
    Step(IDC_DPI_ACTIVE_X, VK_PRIOR);
    const int x = Pos(IDC_DPI_ACTIVE_X);
    EXPECT_NE(1000, x);
    EXPECT_EQ(x, Pos(IDC_DPI_ACTIVE_Y));
    EXPECT_EQ(std::to_wstring(x), Text(id, IDC_DPI_ACTIVE_Y_TEXT));
    SendMessageW(Item(id, IDC_DPI_ACTIVE_Y), TBM_SETPOS, TRUE, 3000);  // set aside, not moved by the user
    Click(id, IDC_DPI_APPLY_ACTIVE);
    EXPECT_EQ(wstr::Format(L"active-stage 4 active %dx%d stages 800x800 1200x1200 1800x1800 4000x4000 5600x5600", x, x),
              wstr::Utf8ToWide(Dpi()));
    const std::vector<std::string> applied = Calls("IDpi.SetActiveDpi");
    ASSERT_EQ(2u, applied.size());
    EXPECT_EQ(applied.back().size() - std::to_string(x).size() * 2 - 1, applied.back().rfind(' ') + 1);
    EXPECT_NE(std::string::npos, applied.back().find(' ' + std::to_string(x) + 'x' + std::to_string(x)));
    // A refused write says so.
    simtest::Tool({L"fail", L"mouse", L"IDpi.SetActiveDpi", L"0x80004005"});
    Click(id, IDC_DPI_APPLY_ACTIVE);
    EXPECT_EQ(std::vector<std::wstring>{L"Cannot set active Dpi level!!!"}, dialogs.messages);

    // The selected stage's bars, coupled, written into the stage list.
    ChooseStage(1, LBN_SELCHANGE);
    Click(id, IDC_DPI_STAGE_BOTH);
    Step(IDC_DPI_STAGE_X, VK_NEXT);
    const int stageX = Pos(IDC_DPI_STAGE_X);
    EXPECT_EQ(stageX, Pos(IDC_DPI_STAGE_Y));
    Click(id, IDC_DPI_APPLY_STAGE);
    EXPECT_EQ(wstr::Format(L"active-stage 4 active %dx%d stages 800x800 %dx%d 1800x1800 4000x4000 5600x5600", x, x,
                           stageX, stageX),
              wstr::Utf8ToWide(Dpi()));

    // The number of stages: a click below writes four stages, a click above five again (the new
    // stage copies the last).
    ClickSpin(false);
    EXPECT_EQ(4, SpinPos());
    EXPECT_EQ(L"4", Text(id, IDC_DPI_STAGE_COUNT));
    EXPECT_EQ(Marked(4, 4), Stages());
    EXPECT_EQ(wstr::Format(L"active-stage 4 active %dx%d stages 800x800 %dx%d 1800x1800 4000x4000", x, x, stageX, stageX),
              wstr::Utf8ToWide(Dpi()));
    ClickSpin(true);
    EXPECT_EQ(Marked(4, 5), Stages());
    EXPECT_EQ(wstr::Format(L"active-stage 4 active %dx%d stages 800x800 %dx%d 1800x1800 4000x4000 4000x4000", x, x,
                           stageX, stageX),
              wstr::Utf8ToWide(Dpi()));
    const size_t writes = Calls("IDpi.SetStages").size();
    EXPECT_EQ(3u, writes);
    // Refused: the up-down goes back one above the refused count, nothing else changes.
    simtest::Tool({L"fail", L"mouse", L"IDpi.SetStages", L"0x80070005"});
    ClickSpin(false);
    EXPECT_EQ(5, SpinPos());
    EXPECT_EQ(Marked(4, 5), Stages());
    // Another failure leaves the up-down where the user put it.
    simtest::Tool({L"fail", L"mouse", L"IDpi.SetStages", L"0x80004005"});
    ClickSpin(false);
    EXPECT_EQ(4, SpinPos());
    EXPECT_EQ(Marked(4, 5), Stages());
    EXPECT_EQ(writes + 2, Calls("IDpi.SetStages").size());
    // 0 and more than the device's maximum make no call.
    for (int count : {0, 6}) {
        SendMessageW(page, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, count),
                     reinterpret_cast<LPARAM>(Item(id, IDC_DPI_STAGE_SPIN)));
        hvtest::FlushMessages();
    }
    EXPECT_EQ(writes + 2, Calls("IDpi.SetStages").size());
    CaptureSheet(L"dpi-edited");

    // Left, the page listens no more.
    Select(IDD_SENSITIVITY_SCALER);
    EXPECT_EQ(0, Connections(L"mouse", "_IDPIEvents"));
    EXPECT_EQ(0, Connections(L"mouse", "_IDPIEvents2"));
    simtest::Tool({L"dpi", L"2"});
    hvtest::FlushMessages();
    EXPECT_EQ(Marked(4, 5), Stages());
    ASSERT_TRUE(Select(IDD_DPI));
    EXPECT_EQ(Marked(2, 5), Stages());
    EXPECT_EQ(1u, dialogs.messages.size());
}

TEST_F(DpiPagesTest, SensitivityScalerFollowsAWriteOfItsFeature)
{
    OpenPage(IDD_SENSITIVITY_SCALER);
    ASSERT_EQ("active-stage 3 active 5x5 stages 1x1 3x3 5x5 7x7 10x10", Scaler());
    EXPECT_EQ(Marked(3, 5), Stages());
    EXPECT_EQ(L"active 5 5 5 5 stage 5 5 5 5", Bars());
    EXPECT_EQ(1, SendMessageW(Item(id, IDC_DPI_ACTIVE_X), TBM_GETRANGEMIN, 0, 0));
    EXPECT_EQ(10, SendMessageW(Item(id, IDC_DPI_ACTIVE_X), TBM_GETRANGEMAX, 0, 0));
    EXPECT_EQ(1, Connections(L"mouse", "_ISensitivityScalerEvents"));

    // Another writer of the feature: the page hears its event.
    CComPtr<ISensitivityScaler> scaler = ProfileFeature<ISensitivityScaler>(ActiveProfile(Mouse()));
    ASSERT_TRUE(scaler);
    ASSERT_HRESULT_SUCCEEDED(scaler->SetActiveDpi(7, 3));
    hvtest::FlushMessages();
    EXPECT_EQ(L"active 7 7 3 3 stage 5 5 5 5", Bars());
    // Its own write too, and no stage event on this page: the mark moves only when asked.
    ASSERT_HRESULT_SUCCEEDED(scaler->SetActiveStage(1));
    hvtest::FlushMessages();
    EXPECT_EQ(L"active 1 1 1 1 stage 5 5 5 5", Bars());
    EXPECT_EQ(Marked(3, 5), Stages());
    ChooseStage(4, LBN_SELCHANGE);
    ChooseStage(4, LBN_DBLCLK);
    EXPECT_EQ(Marked(5, 5), Stages());
    EXPECT_EQ(L"active 10 10 10 10 stage 10 10 10 10", Bars());

    Step(IDC_DPI_ACTIVE_X, VK_LEFT);
    Click(id, IDC_DPI_APPLY_ACTIVE);
    EXPECT_EQ("active-stage 5 active 9x10 stages 1x1 3x3 5x5 7x7 10x10", Scaler());
    simtest::Tool({L"fail", L"mouse", L"ISensitivityScaler.SetActiveDpi", L"0x80004005"});
    Click(id, IDC_DPI_APPLY_ACTIVE);
    EXPECT_EQ(std::vector<std::wstring>{L"Cannot set active level!!!"}, dialogs.messages);

    ClickSpin(false);
    EXPECT_EQ("active-stage 4 active 7x7 stages 1x1 3x3 5x5 7x7", Scaler());
    EXPECT_EQ(Marked(4, 4), Stages());
    CaptureSheet(L"sensitivity-edited");

    Select(IDD_DPI);
    EXPECT_EQ(0, Connections(L"mouse", "_ISensitivityScalerEvents"));

    // The keyboard has neither feature: the pages stay as they were and say nothing.
    Select(IDD_DEVICES);
    ChooseDevice(L"VEXA Keyboard");
    ASSERT_TRUE(Select(IDD_SENSITIVITY_SCALER));
    EXPECT_EQ(0, Connections(L"mouse", "_ISensitivityScalerEvents"));
    EXPECT_EQ(1u, dialogs.messages.size());
}
