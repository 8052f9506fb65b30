// The macros page and its editor against the simulated mouse: the macro's events listed, renaming,
// recordings made from real input (SendInput) with and without delays, written as one event block;
// a new macro by a double click below the rows; the context menu's new, edit, delete, import and
// export; the raw-input registrations gone whenever the editor closes.
#include "BenchTest.h"

#include "HvTest.h"
#include "mwtest/MacroPages.h"
#include "mwtest/MwTestRes.h"
#include "platform/WStr.h"

using namespace mwtest;

namespace {

enum MenuItem { kNew = 1, kEdit, kDelete, kImport, kExport };

class MacroPagesTest : public BenchTest
{
protected:
    void SetUp() override
    {
        BenchTest::SetUp();
        Open();
        ChooseDevice(L"VEXA Mouse");
        ASSERT_TRUE(Select(IDD_MACROS));
        page = PageWindow(IDD_MACROS);
        list = Item(IDD_MACROS, IDC_MACRO_LIST);
    }
    int Rows(HWND of) const { return static_cast<int>(SendMessageW(of, LVM_GETITEMCOUNT, 0, 0)); }
    // The editor's rows as "index event info".
    std::vector<std::wstring> Listed(HWND dialog)
    {
        HWND events = GetDlgItem(dialog, IDC_MACRO_EVENTS);
        std::vector<std::wstring> rows;
        for (int row = 0; row < Rows(events); ++row)
            rows.push_back(RowText(events, row, 0) + L" " + RowText(events, row, 1) + L" " + RowText(events, row, 2));
        return rows;
    }
    // The macro's events in the dump ("events 3, key 0x1E 0x0, ...").
    static std::string Events(int index) { return simtest::DumpLines(L"mouse", " events ").at(index).substr(1); }
    // Double clicks the row (or, with row -1, the list below its rows) and runs steps in the editor.
    void Edit(int row, std::function<void(HWND)> act)
    {
        CDialogScript script({{IDD_MACRO, std::move(act)}});
        POINT point = {5, 0};
        if (row >= 0) {
            point = CellPoint(list, row, 1);
        } else {
            RECT client = {};
            GetClientRect(list, &client);
            point.y = client.bottom - 5;
        }
        ASSERT_TRUE(hvtest::DoubleClick(list, point));
        EXPECT_TRUE(script.WaitDone());
    }

    HWND page = nullptr;
    HWND list = nullptr;
};

} // namespace

TEST_F(MacroPagesTest, EditorListsRenamesAndRecordsFromRealInput)
{
    ASSERT_EQ(1, Rows(list));
    EXPECT_EQ(L"0", RowText(list, 0, 0));
    EXPECT_EQ(L"Sample Macro", RowText(list, 0, 1));
    CaptureSheet(L"macros-listed");
    const UINT scanA = MapVirtualKeyW('A', MAPVK_VK_TO_VSC);
    const UINT scanB = MapVirtualKeyW('B', MAPVK_VK_TO_VSC);

    // The macro's events listed; a new name set; a recording without delays: a held key makes one
    // "Key Make", and a click its button's down and up.
    Edit(0, [&](HWND dialog) {
        EXPECT_EQ(L"Sample Macro", hvtest::TextOf(GetDlgItem(dialog, IDC_MACRO_NAME)));
        EXPECT_EQ((std::vector<std::wstring>{L"0 Key Make 001e,0000", L"1 Delay 50 ms", L"2 Key Break 001e,0001"}),
                  Listed(dialog));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_MACRO_RECORD)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_MACRO_STOP)));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_MACRO_RECORD_DELAY));
        hvtest::CaptureWindow(dialog).SaveToTestDir(L"macro-editor.bmp");
        SetDlgItemTextW(dialog, IDC_MACRO_NAME, L"Typed A");
        ClickItem(dialog, IDC_MACRO_SET_NAME);

        ClickItem(dialog, IDC_MACRO_RECORD_DELAY);
        ClickItem(dialog, IDC_MACRO_RECORD);
        EXPECT_EQ(2u, RawInputRegistrations());
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_MACRO_RECORD_DELAY)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_MACRO_STOP)));
        EXPECT_TRUE(Listed(dialog).empty());
        ASSERT_TRUE(hvtest::PrepareTarget(dialog));
        // The keys go where the editor put the focus when it started recording.
        EXPECT_EQ(GetDlgItem(dialog, IDC_MACRO_STOP), GetFocus());
        for (int repeat = 0; repeat < 3; ++repeat)
            ASSERT_TRUE(hvtest::KeyDown('A'));
        ASSERT_TRUE(hvtest::KeyUp('A'));
        ASSERT_TRUE(hvtest::Click(GetDlgItem(dialog, IDC_MACRO_EVENTS)));
        EXPECT_EQ((std::vector<std::wstring>{wstr::Format(L"0 Key Make %04x,0000", scanA),
                                             wstr::Format(L"1 Key Break %04x,0001", scanA),
                                             L"2 Button Down BUTTON_1", L"3 Button Up BUTTON_1"}),
                  Listed(dialog));
        ClickItem(dialog, IDC_MACRO_STOP);
        EXPECT_EQ(0u, RawInputRegistrations());
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
        ClickItem(dialog, IDOK);
    });
    char expected[128];
    snprintf(expected, sizeof expected, "events 4, key 0x%02X 0x0, key 0x%02X 0x1, mouse 0x1 0x0, mouse 0x2 0x0", scanA,
             scanA);
    EXPECT_EQ(expected, Events(0));
    EXPECT_EQ(1u, simtest::DumpLines(L"mouse", L"macro 0 ").size());
    EXPECT_NE(std::string::npos, simtest::DumpLines(L"mouse", "macro 0 ").at(0).find("\"Typed A\""));
    // The list is read again once the editor closes.
    EXPECT_EQ(L"Typed A", RowText(list, 0, 1));

    // With delays: none before the first event, one before each of the others.
    Edit(0, [&](HWND dialog) {
        EXPECT_EQ(4u, Listed(dialog).size());
        EXPECT_EQ(L"2 Button Down BUTTON_1", Listed(dialog)[2]);
        ClickItem(dialog, IDC_MACRO_RECORD);
        ASSERT_TRUE(hvtest::PressKey('B', 0, GetDlgItem(dialog, IDC_MACRO_EVENTS)));
        ClickItem(dialog, IDC_MACRO_STOP);
        const std::vector<std::wstring> rows = Listed(dialog);
        ASSERT_EQ(3u, rows.size());
        EXPECT_EQ(wstr::Format(L"0 Key Make %04x,0000", scanB), rows[0]);
        EXPECT_EQ(0u, rows[1].find(L"1 Delay ")) << simtest::Narrow(rows[1]);
        EXPECT_EQ(wstr::Format(L"2 Key Break %04x,0001", scanB), rows[2]);
        ClickItem(dialog, IDOK);
    });
    snprintf(expected, sizeof expected, "events 3, key 0x%02X 0x0, delay ", scanB);
    EXPECT_EQ(0u, Events(0).find(expected)) << Events(0);
    snprintf(expected, sizeof expected, ", key 0x%02X 0x1", scanB);
    EXPECT_NE(std::string::npos, Events(0).find(expected)) << Events(0);

    // Stop without any input writes a block of no events.
    Edit(0, [&](HWND dialog) {
        ClickItem(dialog, IDC_MACRO_RECORD);
        ClickItem(dialog, IDC_MACRO_STOP);
        ClickItem(dialog, IDOK);
    });
    EXPECT_EQ("events 0", Events(0));
    const std::vector<std::string> writes = Calls("IMacro.SetEvents");
    ASSERT_EQ(3u, writes.size());
    EXPECT_EQ(writes.back().size() - 2, writes.back().rfind(" 0"));

    // Closed while recording (the close box): nothing written, the registrations gone.
    Edit(0, [&](HWND dialog) {
        ClickItem(dialog, IDC_MACRO_RECORD);
        EXPECT_EQ(2u, RawInputRegistrations());
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(0u, RawInputRegistrations());
    EXPECT_EQ(3u, Calls("IMacro.SetEvents").size());

    // Below the rows: a new macro, edited at once.
    Edit(-1, [&](HWND dialog) {
        EXPECT_TRUE(Listed(dialog).empty());
        SetDlgItemTextW(dialog, IDC_MACRO_NAME, L"Second");
        ClickItem(dialog, IDC_MACRO_SET_NAME);
        ClickItem(dialog, IDOK);
    });
    ASSERT_EQ(2, Rows(list));
    EXPECT_EQ(L"Second", RowText(list, 1, 1));
    CaptureSheet(L"macros-recorded");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MacroPagesTest, ContextMenuAddsEditsDeletesImportsAndExports)
{
    RightClickAndPick(page, list, -1, kNew);
    ASSERT_EQ(2, Rows(list));
    EXPECT_EQ(L"Added by test application", RowText(list, 1, 1));
    RightClickAndPick(page, list, 1, kEdit);
    EXPECT_EQ(std::vector<std::wstring>{L"Edit your head ah! Not done yet!!!"}, dialogs.messages);
    // A refused new macro adds nothing and names nothing.
    simtest::Tool({L"fail", L"mouse", L"IMacroManager.AddMacro", L"0x80070718"});
    RightClickAndPick(page, list, -1, kNew);
    EXPECT_EQ(2, Rows(list));
    EXPECT_EQ(1u, Calls("IMacro.SetName").size());

    const std::wstring file = hvtest::TestFile(L"macro.hvm");
    DeleteFileW(file.c_str());
    dialogs.fileAnswer = file;
    RightClickAndPick(page, list, 0, kExport);
    ASSERT_EQ(1u, dialogs.fileRequests.size());
    ExpectFileRequest(dialogs.fileRequests[0], true, L"hvm", L"Halvo Macro Files (*.hvm)|*.hvm|All Files (*.*)|*.*||");
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(file.c_str()));

    RightClickAndPick(page, list, 1, kDelete);
    ASSERT_EQ(1, Rows(list));
    RightClickAndPick(page, list, -1, kDelete);  // no row: nothing
    RightClickAndPick(page, list, -1, kExport);
    EXPECT_EQ(1, Rows(list));
    EXPECT_EQ(1u, dialogs.fileRequests.size());

    RightClickAndPick(page, list, -1, kImport);
    ASSERT_EQ(2u, dialogs.fileRequests.size());
    EXPECT_FALSE(dialogs.fileRequests[1].save);
    ASSERT_EQ(2, Rows(list));
    EXPECT_EQ(L"Sample Macro", RowText(list, 1, 1));
    EXPECT_EQ(simtest::DumpLines(L"mouse", " events ").at(0), simtest::DumpLines(L"mouse", " events ").at(1));
    dialogs.fileAnswer.clear();
    RightClickAndPick(page, list, -1, kImport);
    EXPECT_EQ(2, Rows(list));

    // Left, the page lets its rows go.
    Select(IDD_APM);
    EXPECT_EQ(0, Rows(list));
    EXPECT_EQ(1u, dialogs.messages.size());
}

TEST(MacroEventTextTest, EventsDescribedByTheRecordingRules)
{
    const auto text = [](DWORD type, WORD value, WORD flags) {
        const auto texts = DescribeMacroEvent(MacroEventRecord::Make(type, value, flags));
        return texts.first + L"|" + texts.second;
    };
    EXPECT_EQ(L"Button Down|BUTTON_1", text(hvmw::kMacroMouse, 0x1, 0));
    EXPECT_EQ(L"Button Up|BUTTON_2", text(hvmw::kMacroMouse, 0x8, 0));
    EXPECT_EQ(L"Button Down|BUTTON_5", text(hvmw::kMacroMouse, 0x100, 0));
    EXPECT_EQ(L"Button Up|BUTTON_5", text(hvmw::kMacroMouse, 0x200, 0));
    EXPECT_EQ(L"Button Down|SCROLL_DOWN", text(hvmw::kMacroMouse, 0x400, 0xFF88));
    EXPECT_EQ(L"Button Up|SCROLL_UP", text(hvmw::kMacroMouse, 0x400, 0x0078));
    EXPECT_EQ(L"Key Make|0048,0002", text(hvmw::kMacroKey, 0x48, 2));
    EXPECT_EQ(L"Key Break|0048,0003", text(hvmw::kMacroKey, 0x48, 3));
    const auto delay = DescribeMacroEvent(MacroEventRecord::Delay(1234));
    EXPECT_EQ(L"Delay", delay.first);
    EXPECT_EQ(L"1234 ms", delay.second);
}
