// The profiles page against the simulated mouse: what it lists of each profile, the check box of
// the active profile (clicked, double clicked, and following the profile manager's event), the
// flags, the application path of any length (and its fixed form), renaming in place and the
// context menu, each checked on the simulator's dump and journal.
#include "BenchTest.h"

#include "HvTest.h"
#include "mwtest/MwTestRes.h"
#include "platform/WStr.h"

using namespace mwtest;

namespace {

// The menu items by the number of steps down to them.
enum MenuItem { kNew = 1, kDelete, kImport, kExport, kSetActive, kRestoreDefault };

class ProfilesPageTest : public BenchTest
{
protected:
    void SetUp() override
    {
        BenchTest::SetUp();
        Open();
        ChooseDevice(L"VEXA Mouse");
        ASSERT_TRUE(Select(IDD_PROFILES));
        page = PageWindow(IDD_PROFILES);
        list = Item(IDD_PROFILES, IDC_PROFILE_LIST);
    }
    int Rows() const { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
    // The rows whose check box is checked.
    std::vector<int> Checked() const
    {
        std::vector<int> rows;
        for (int row = 0; row < Rows(); ++row)
            if (RowChecked(list, row))
                rows.push_back(row);
        return rows;
    }
    // The GUID text of a profile in the dump, by index.
    static std::string ProfileId(int index)
    {
        const std::string line = simtest::DumpLines(L"mouse", "profile " + std::to_string(index) + " ").at(0);
        const size_t brace = line.find('{');
        return line.substr(brace, 38);
    }
    static std::string Active() { return simtest::DumpLines(L"mouse", "active ").at(0).substr(7); }
    static std::string FlagsOf(int index) { return simtest::DumpLines(L"mouse", " flags ").at(index).substr(7); }
    static std::string AppOf(int index) { return simtest::DumpLines(L"mouse", " app ").at(index).substr(5); }
    void DoubleClickCell(int row, int column)
    {
        ASSERT_TRUE(hvtest::DoubleClick(list, CellPoint(list, row, column)));
        hvtest::FlushMessages();
    }
    // Edits a row's name in place: a double click on it, the text typed (none: left as it is), then
    // the key that ends the edit.
    void EditName(int row, const wchar_t* text, WORD key)
    {
        DoubleClickCell(row, 0);
        HWND edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0));
        ASSERT_NE(nullptr, edit);
        if (text)
            SetWindowTextW(edit, text);
        ASSERT_TRUE(hvtest::PressKey(key, 0, edit));
        hvtest::FlushMessages();
    }
    // One click on a row's box (a click elsewhere first, so that it is no second click of a double
    // click).
    void ClickBox(int row)
    {
        RECT client = {};
        GetClientRect(page, &client);
        ASSERT_TRUE(hvtest::Click(page, {client.right - 3, client.bottom - 3}));
        ASSERT_TRUE(hvtest::Click(list, CheckBoxPoint(list, row)));
        hvtest::FlushMessages();
    }

    HWND page = nullptr;
    HWND list = nullptr;
};

} // namespace

TEST_F(ProfilesPageTest, ListsProfilesAndFollowsTheActiveOne)
{
    ASSERT_EQ(5, Rows());
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(wstr::Format(L"Profile %d", row + 1), RowText(list, row, 0));
        EXPECT_EQ(L"", RowText(list, row, 1));
        EXPECT_EQ(L"", RowText(list, row, 2));
        EXPECT_EQ(L"On", RowText(list, row, 3));
        EXPECT_EQ(L"On", RowText(list, row, 4));
    }
    EXPECT_EQ(std::vector<int>{0}, Checked());
    EXPECT_EQ(1, Connections(L"mouse", "_IProfileManagerEvents"));
    CaptureSheet(L"profiles-listed");

    // Checking an unchecked row's box activates that profile and unchecks the others.
    ClickBox(3);
    EXPECT_EQ(ProfileId(3), Active());
    EXPECT_EQ(std::vector<int>{3}, Checked());
    EXPECT_EQ(1u, Calls("IProfile.Activate").size());
    // Unchecking the checked row's box does nothing.
    ClickBox(3);
    EXPECT_EQ(ProfileId(3), Active());
    EXPECT_EQ(1u, Calls("IProfile.Activate").size());

    // The device switches: the check mark follows the event.
    simtest::Tool({L"profile", L"mouse", L"1"});
    hvtest::FlushMessages();
    EXPECT_EQ(std::vector<int>{1}, Checked());

    // A double click on a box: Wine's list changes the box once, and the page activates once.
    ASSERT_TRUE(hvtest::DoubleClick(list, CheckBoxPoint(list, 2)));
    hvtest::FlushMessages();
    EXPECT_EQ(ProfileId(2), Active());
    EXPECT_EQ(std::vector<int>{2}, Checked());
    EXPECT_EQ(2u, Calls("IProfile.Activate").size());

    // A refused activation says so and leaves the marks as the list has them.
    simtest::Tool({L"fail", L"mouse", L"IProfile.Activate", L"0x80004005"});
    ClickBox(4);
    EXPECT_EQ(std::vector<std::wstring>{L"Cannot set active profile!\n"}, dialogs.messages);
    EXPECT_EQ(ProfileId(2), Active());
    EXPECT_EQ((std::vector<int>{2, 4}), Checked());
    // The next event puts them right.
    simtest::Tool({L"profile", L"mouse", L"0"});
    hvtest::FlushMessages();
    EXPECT_EQ(std::vector<int>{0}, Checked());

    // Left, the page listens no more and lets its rows go.
    Select(IDD_BUTTONS);
    EXPECT_EQ(0, Connections(L"mouse", "_IProfileManagerEvents"));
    EXPECT_EQ(0, Rows());
    simtest::Tool({L"profile", L"mouse", L"4"});
    ASSERT_TRUE(Select(IDD_PROFILES));
    EXPECT_EQ(std::vector<int>{4}, Checked());
}

TEST_F(ProfilesPageTest, FlagsPathAndNameEditedInPlace)
{
    // A flag's cell toggles that bit alone.
    ASSERT_EQ("0x0006", FlagsOf(1));
    DoubleClickCell(1, 2);
    EXPECT_EQ("0x0007", FlagsOf(1));
    EXPECT_EQ(L"On", RowText(list, 1, 2));
    DoubleClickCell(1, 3);
    EXPECT_EQ("0x0005", FlagsOf(1));
    EXPECT_EQ(L"", RowText(list, 1, 3));
    DoubleClickCell(1, 2);
    EXPECT_EQ("0x0004", FlagsOf(1));
    const std::string id1 = ProfileId(1);
    EXPECT_EQ((std::vector<std::string>{
                  "mouse IProfileProperties.SetProperty " + id1 + " 0x80000003 mask 0x1 value 1",
                  "mouse IProfileProperties.SetProperty " + id1 + " 0x80000003 mask 0x2 value 0",
                  "mouse IProfileProperties.SetProperty " + id1 + " 0x80000003 mask 0x1 value 0",
              }),
              Calls("0x80000003"));
    EXPECT_EQ("0x0006", FlagsOf(0));

    // A path of 300 characters: written whole, read back whole through the size the middleware asks.
    std::wstring path = L"C:\\";
    while (path.size() < 296)
        path += L"folder\\";
    path.resize(296);
    path += L".exe";
    ASSERT_EQ(300u, path.size());
    dialogs.fileAnswer = path;
    DoubleClickCell(2, 1);
    ASSERT_EQ(1u, dialogs.fileRequests.size());
    EXPECT_FALSE(dialogs.fileRequests[0].save);
    EXPECT_EQ(L"", dialogs.fileRequests[0].filter);
    EXPECT_EQ(static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT), dialogs.fileRequests[0].flags);
    std::string quoted;
    for (char c : simtest::Narrow(path))
        quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
    EXPECT_EQ("\"" + quoted + "\"", AppOf(2));
    EXPECT_EQ(path, RowText(list, 2, 1));
    // A middleware without the long form: the fixed one shows what its 256 bytes hold.
    simtest::Tool({L"feature", L"mouse", L"0x80000005", L"off"});
    Reselect(IDD_PROFILES);
    EXPECT_EQ(path.substr(0, 127), RowText(list, 2, 1));
    EXPECT_EQ(L"", RowText(list, 1, 1));
    simtest::Tool({L"feature", L"mouse", L"0x80000005", L"on"});
    // A short one fits the first small question's answer as well.
    dialogs.fileAnswer = L"C:\\a.exe";
    Reselect(IDD_PROFILES);
    DoubleClickCell(3, 1);
    EXPECT_EQ(L"C:\\a.exe", RowText(list, 3, 1));
    dialogs.fileAnswer.clear();
    DoubleClickCell(3, 1);  // cancelled: nothing written
    EXPECT_EQ(2u, Calls("SetProperty").size() - 3);

    // Renaming: a double click on the name edits it in place; Enter renames, the list shows the
    // device's name again.
    EditName(4, L"Renamed", VK_RETURN);
    EXPECT_EQ(L"Renamed", RowText(list, 4, 0));
    EXPECT_EQ(1u, simtest::DumpLines(L"mouse", "profile 4 " + ProfileId(4) + " \"Renamed\"").size());
    // The same name again makes no call; Escape makes none either.
    EditName(4, nullptr, VK_RETURN);
    EditName(4, L"Not taken", VK_ESCAPE);
    EXPECT_EQ(1u, Calls("IProfile.SetName").size());
    EXPECT_EQ(L"Renamed", RowText(list, 4, 0));
    // A refused name says so.
    simtest::Tool({L"fail", L"mouse", L"IProfile.SetName", L"0x80004005"});
    EditName(4, L"Refused", VK_RETURN);
    EXPECT_EQ(std::vector<std::wstring>{L"Cannot change profile name"}, dialogs.messages);
    EXPECT_EQ(L"Renamed", RowText(list, 4, 0));
    CaptureSheet(L"profiles-edited");
}

TEST_F(ProfilesPageTest, ContextMenuAddsDeletesImportsExportsActivatesAndRestores)
{
    RightClickAndPick(page, list, -1, kNew);
    ASSERT_EQ(6, Rows());
    EXPECT_EQ(L"Profile 6", RowText(list, 5, 0));
    EXPECT_EQ(6u, simtest::DumpLines(L"mouse", L"profile ").size());
    simtest::Tool({L"fail", L"mouse", L"IProfileManager.AddProfile", L"0x80070718"});
    RightClickAndPick(page, list, -1, kNew);
    EXPECT_EQ(std::vector<std::wstring>{L"Cannot add new profile!"}, dialogs.messages);
    EXPECT_EQ(6, Rows());

    // Delete, Export, Set Active and Restore Default with no row under the cursor do nothing.
    const size_t writes = simtest::Journal().size();
    for (MenuItem item : {kDelete, kExport, kSetActive, kRestoreDefault})
        RightClickAndPick(page, list, -1, item);
    EXPECT_EQ(writes, simtest::Journal().size());
    EXPECT_TRUE(dialogs.fileRequests.empty());

    RightClickAndPick(page, list, 5, kDelete);
    EXPECT_EQ(5, Rows());
    EXPECT_EQ(5u, simtest::DumpLines(L"mouse", L"profile ").size());
    simtest::Tool({L"fail", L"mouse", L"IProfileManager.DeleteProfile", L"0x80004005"});
    RightClickAndPick(page, list, 4, kDelete);
    EXPECT_EQ((std::vector<std::wstring>{L"Cannot add new profile!", L"Cannot delete profile!"}), dialogs.messages);
    EXPECT_EQ(5, Rows());

    // Set Active: the check mark follows through the event.
    RightClickAndPick(page, list, 3, kSetActive);
    EXPECT_EQ(ProfileId(3), Active());
    EXPECT_EQ(std::vector<int>{3}, Checked());

    // Export the fourth profile (changed first), import it as a new one.
    DoubleClickCell(3, 2);
    ASSERT_EQ("0x0007", FlagsOf(3));
    const std::wstring file = hvtest::TestFile(L"profile.hvp");
    DeleteFileW(file.c_str());
    dialogs.fileAnswer = file;
    RightClickAndPick(page, list, 3, kExport);
    ASSERT_EQ(1u, dialogs.fileRequests.size());
    ExpectFileRequest(dialogs.fileRequests[0], true, L"hvp", L"Halvo Profile Files (*.hvp)|*.hvp|All Files (*.*)|*.*||");
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(file.c_str()));
    RightClickAndPick(page, list, -1, kImport);
    ASSERT_EQ(2u, dialogs.fileRequests.size());
    ExpectFileRequest(dialogs.fileRequests[1], false, L"hvp", L"Halvo Profile Files (*.hvp)|*.hvp|All Files (*.*)|*.*||");
    ASSERT_EQ(6, Rows());
    EXPECT_EQ(L"Profile 4", RowText(list, 5, 0));
    EXPECT_EQ(L"On", RowText(list, 5, 2));
    EXPECT_EQ("0x0007", FlagsOf(5));
    dialogs.fileAnswer.clear();
    RightClickAndPick(page, list, -1, kImport);  // cancelled: nothing read
    EXPECT_EQ(6, Rows());
    EXPECT_EQ(1u, Calls("ImportProfile").size());

    // Restore Default brings the fourth profile's flags back.
    RightClickAndPick(page, list, 3, kRestoreDefault);
    EXPECT_EQ("0x0006", FlagsOf(3));
    EXPECT_EQ(L"", RowText(list, 3, 2));
    EXPECT_EQ(1u, Calls("IRestoreDefaults.RestoreDefaults").size());
    CaptureSheet(L"profiles-menu");
}

