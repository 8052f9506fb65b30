// The profile pages of the main dialog, in the test's own process over the registered simulator:
// every command of the page driven through the dialog's real items (buttons, the list's clicks and
// context menu), the popups answered from inside their modal loops, the file dialogs through the
// window layer's seam, and after Apply the simulator's dump compared with the list.
#include "SimTest.h"

#include "HvTest.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "controls/BitmapBtn.h"
#include "platform/CommonDialogs.h"
#include "controls/ControlMessages.h"
#include "controls/DropdownListItem.h"
#include "model/KeyboardConfig.h"
#include "model/MouseConfig.h"
#include "controls/PopupBox.h"
#include "PopupScript.h"
#include "controls/TextItem.h"
#include "VexaInProcess.h"
#include "VexaApp/VxAppDlg.h"
#include "core/ItemIds.h"
#include "platform/WStr.h"
#include "controls/XListCtrl.h"

using hvtest::WaitUntil;
using vexatest::PopupScript;

namespace {

constexpr int kYes = BUTTON_POPUP_YES;
constexpr int kSingleOk = BUTTON_POPUP_SINGLE_OK;

// Answers the file dialogs with the test's files and keeps what was asked.
class FileAnswers : public ICommonDialogs
{
public:
    FileAnswers() : m_previous(SetCommonDialogs(this)) {}
    ~FileAnswers() override { SetCommonDialogs(m_previous); }

    int ShowMessage(HWND, const std::wstring& text, const std::wstring&, UINT) override
    {
        ADD_FAILURE() << "a message box: " << simtest::Narrow(text);
        return IDCANCEL;
    }
    bool PickFile(const FileDialogRequest& request, std::wstring& path) override
    {
        requests.push_back(request);
        // What happens while the dialog is up (a device leaving), once.
        if (meanwhile) {
            const std::function<void()> run = std::move(meanwhile);
            meanwhile = nullptr;
            run();
        }
        if (answers.empty()) {
            ADD_FAILURE() << "an unexpected file dialog";
            return false;
        }
        path = answers.front();
        answers.erase(answers.begin());
        return !path.empty();
    }
    bool PickColor(const ColorDialogRequest&, COLORREF&) override { return false; }

    std::vector<std::wstring> answers;  // empty text: cancel
    std::vector<FileDialogRequest> requests;
    std::function<void()> meanwhile;

private:
    ICommonDialogs* m_previous;
};

// A profile as the simulator's dump shows it.
struct DumpedProfile
{
    std::string guid;
    std::string name;
    std::string app;
    unsigned flags = 0;
    std::vector<std::string> assignments;
};

struct DumpedDevice
{
    std::string active;
    std::vector<DumpedProfile> profiles;
};

std::string Unquote(const std::string& text)
{
    const size_t first = text.find('"');
    const size_t last = text.rfind('"');
    return first == std::string::npos || last <= first ? std::string() : text.substr(first + 1, last - first - 1);
}

DumpedDevice Dump(const wchar_t* device)
{
    DumpedDevice dumped;
    for (const std::string& line : simtest::DumpLines(device)) {
        if (line.rfind("active ", 0) == 0) {
            dumped.active = line.substr(7);
        } else if (line.rfind("profile ", 0) == 0) {
            DumpedProfile profile;
            const size_t guid = line.find('{');
            profile.guid = line.substr(guid, line.find('}') - guid + 1);
            profile.name = Unquote(line.substr(line.find('}')));
            dumped.profiles.push_back(profile);
        } else if (!dumped.profiles.empty() && line.rfind(" app ", 0) == 0) {
            dumped.profiles.back().app = Unquote(line);
        } else if (!dumped.profiles.empty() && line.rfind(" flags ", 0) == 0) {
            dumped.profiles.back().flags = std::stoul(line.substr(7), nullptr, 16);
        } else if (!dumped.profiles.empty() && line.rfind(" assign ", 0) == 0) {
            dumped.profiles.back().assignments.push_back(line);
        }
    }
    return dumped;
}

class ProfilePageTest : public simtest::SimTest
{
protected:
    void TearDown() override
    {
        m_vexa.Close();
        simtest::SimTest::TearDown();
    }

    CVxAppDlg& Open(int tab)
    {
        CVxAppDlg* dialog = m_vexa.Open();
        EXPECT_TRUE(dialog);
        if (tab == BUTTON_MANAGEPROFILES_KEYBOARD)
            Click(BUTTON_PRODSELECT_KEYBOARD);
        Click(tab);
        return *dialog;
    }

    HWND Item(int id) const { return m_vexa.Item(id); }
    void Click(int id)
    {
        const HWND item = Item(id);
        ASSERT_TRUE(item) << "no item " << id;
        m_vexa.Command(item);
    }
    CXListCtrl& List(int id)
    {
        auto* list = dynamic_cast<CXListCtrl*>(CWnd::FromHandlePermanent(Item(id)));
        EXPECT_TRUE(list);
        return *list;
    }

    // A point of a row's name cell.
    static POINT CellPoint(CXListCtrl& list, int row, int column)
    {
        list.EnsureVisible(row, false);
        const CRect rect = list.GetSubItemRect(row, list.FindColumn(column)->displayIndex, LVIR_BOUNDS);
        return {rect.left + 4, (rect.top + rect.bottom) / 2};
    }
    // A press on the list: the release is queued first, since the list-view follows a press in a
    // loop of its own until the button is released.
    static void Press(CXListCtrl& list, UINT down, UINT up, POINT at)
    {
        list.PostMessage(up, 0, MAKELPARAM(at.x, at.y));
        list.SendMessage(down, down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON, MAKELPARAM(at.x, at.y));
        hvtest::FlushMessages();
    }
    void RightClick(CXListCtrl& list, int row)
    {
        Press(list, WM_RBUTTONDOWN, WM_RBUTTONUP, CellPoint(list, row, 2));
    }
    void DoubleClick(CXListCtrl& list, int row)
    {
        const POINT at = CellPoint(list, row, 2);
        Press(list, WM_LBUTTONDOWN, WM_LBUTTONUP, at);
        Press(list, WM_LBUTTONDBLCLK, WM_LBUTTONUP, at);
    }
    // A press in the middle of a row's check box of that column.
    void ClickCheck(CXListCtrl& list, int row, int column)
    {
        const CRect rect = list.GetItemRect(row, LVIR_BOUNDS);
        const int shown = list.FindColumn(column)->displayIndex;
        int x = rect.left;
        for (int d = 0; d < shown; ++d)
            x += list.GetColumnWidth(d);
        x += list.GetColumnWidth(shown) / 2;
        Press(list, WM_LBUTTONDOWN, WM_LBUTTONUP, {x, (rect.top + rect.bottom) / 2});
    }
    // A context menu entry on a row, through the list's own menu.
    void Menu(CXListCtrl& list, int row, const wchar_t* entry, std::initializer_list<PopupScript::Step> then = {})
    {
        PopupScript script;
        script.Expect(PopupScript::Choose(entry));
        for (const auto& step : then)
            script.Expect(step);
        RightClick(list, row);
        hvtest::FlushMessages();
        EXPECT_TRUE(script.Done()) << simtest::Narrow(entry) << ": " << script.Left() << " popups did not come";
    }
    // A button of the page, its popups answered.
    void Press(int id, std::initializer_list<PopupScript::Step> popups)
    {
        PopupScript script;
        for (const auto& step : popups)
            script.Expect(step);
        Click(id);
        hvtest::FlushMessages();
        EXPECT_TRUE(script.Done()) << "button " << id << ": " << script.Left() << " popups did not come";
    }
    void Select(CXListCtrl& list, int row)
    {
        list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }

    static std::vector<std::string> Names(CXListCtrl& list)
    {
        std::vector<std::string> names;
        for (int row = 0; row < list.GetItemCount(); ++row)
            names.push_back(simtest::Narrow(list.GetCellText(row, 2)));
        return names;
    }
    static int MarkedRow(CXListCtrl& list)
    {
        int marked = -1;
        for (int row = 0; row < list.GetItemCount(); ++row)
            if (list.FindCell(row, 0)->check == 1) {
                EXPECT_EQ(-1, marked) << "two rows are marked active";
                marked = row;
            }
        return marked;
    }

    // Writes the product and waits for the write to end.
    void Apply(CVxAppDlg& dialog, int product)
    {
        Click(BUTTON_APPLY);
        EXPECT_TRUE(WaitUntil([&] { return !dialog.IsWriting(product); }, 30000));
        hvtest::FlushMessages();
    }

    // The list, the configuration and the simulator agree on names, programs, switches and the
    // active profile.
    template <class Config>
    void ExpectDeviceShowsList(const wchar_t* device, CXListCtrl& list, Config* config)
    {
        const DumpedDevice dumped = Dump(device);
        ASSERT_EQ(static_cast<size_t>(list.GetItemCount()), dumped.profiles.size());
        EXPECT_EQ(Names(list).size(), static_cast<size_t>(config->GetProfileCount()));
        for (int row = 0; row < list.GetItemCount(); ++row) {
            const DumpedProfile& profile = dumped.profiles[row];
            EXPECT_EQ(profile.name, simtest::Narrow(list.GetCellText(row, 2))) << "row " << row;
            EXPECT_EQ(profile.app, simtest::Narrow(list.GetCellText(row, 3))) << "row " << row;
            EXPECT_EQ((profile.flags & 1) != 0, list.FindCell(row, 4)->check == 1) << "row " << row;
            EXPECT_EQ(simtest::GuidString(config->GetProfile(row)->GetGuid()), profile.guid) << "row " << row;
        }
        const int marked = MarkedRow(list);
        ASSERT_GE(marked, 0);
        EXPECT_EQ(dumped.profiles[marked].guid, dumped.active) << "the device's active profile is not the marked one";
        EXPECT_EQ(config->GetActiveProfile(), config->GetProfile(marked));
    }

    // What a product's page is made of.
    struct Page
    {
        const wchar_t* device;
        int product;
        int tab, list, create, import, exportButton, erase;
    };
    static constexpr Page kMousePage = {L"mouse", CVxAppDlg::kMouse, BUTTON_MANAGEPROFILES, LIST_PROFILELIST,
                                        BUTTON_NEWPROFILE_MOUSE, BUTTON_IMPORTPROFILE_MOUSE,
                                        BUTTON_EXPORTPROFILE_MOUSE, BUTTON_DELETEPROFILE_MOUSE};
    static constexpr Page kKeyboardPage = {L"keyboard", CVxAppDlg::kKeyboard, BUTTON_MANAGEPROFILES_KEYBOARD,
                                           LIST_PROFILELIST_KEYBOARD, BUTTON_NEWPROFILE_KEYBOARD,
                                           BUTTON_IMPORTPROFILE_KEYBOARD, BUTTON_EXPORTPROFILE_KEYBOARD,
                                           BUTTON_DELETEPROFILE_KEYBOARD};

    template <class Config>
    void RunScenario(const Page& page, Config* config);

    vexatest::InProcessVexa m_vexa;
};

using vexatest::Text;

// A heading shows its own text in the case its item gives it; what is appended follows as it is.
#define EXPECT_HEADING(expected, heading) \
    EXPECT_TRUE(wstr::EqualsNoCase(expected, heading)) << simtest::Narrow(heading)
using Step = PopupScript::Step;

Step Notice(const wchar_t* layout, std::wstring* heading = nullptr)
{
    return PopupScript::Answer(layout, kSingleOk, heading);
}

// Everything a profile page does, in the order a user might, checked on the list, the
// configuration and, after each Apply, the simulator. Ends with 20 profiles.
template <class Config>
void ProfilePageTest::RunScenario(const Page& page, Config* config)
{
    CVxAppDlg& dialog = m_vexa.Dialog();
    FileAnswers files;
    CXListCtrl& list = List(page.list);
    const std::wstring pictureName = std::wstring(L"page_profiles_") + page.device + L".bmp";
    hvtest::CaptureClient(dialog).SaveToTestDir(pictureName);
    ASSERT_EQ(5, list.GetItemCount());
    EXPECT_EQ((std::vector<std::string>{"Profile 1", "Profile 2", "Profile 3", "Profile 4", "Profile 5"}), Names(list));
    EXPECT_EQ(config->GetActiveProfile(), config->GetProfile(MarkedRow(list)));
    EXPECT_EQ("01", simtest::Narrow(list.GetCellText(0, 1)));

    // ---- new, and a name taken in another case ----
    std::wstring heading;
    Press(page.create, {PopupScript::TypeName(L"ProfileNamePopup.xml", L"Work")});
    ASSERT_EQ(6, list.GetItemCount());
    EXPECT_EQ("Work", Names(list)[5]);
    EXPECT_EQ(5, MarkedRow(list));
    EXPECT_EQ(5, list.GetSelectedRowKey());
    EXPECT_EQ(config->GetProfile(5), config->GetActiveProfile());
    EXPECT_EQ("06", simtest::Narrow(list.GetCellText(5, 1)));
    Press(page.create, {PopupScript::TypeName(L"ProfileNamePopup.xml", L"work"),
                        Notice(L"DuplicateProfileWarningPopup.xml", &heading)});
    EXPECT_HEADING(Text(L"$DuplicateProfileHeading") + L": Work", heading);
    EXPECT_EQ(6, list.GetItemCount());

    // The device does not hold the new profile yet: neither export nor import.
    Press(page.exportButton, {Notice(L"ExportProfileWarningPopup.xml", &heading)});
    EXPECT_HEADING(Text(L"$ExportProfileHeading") + L": Work", heading);
    Press(page.import, {Notice(L"ImporttProfileWarningPopup.xml", &heading)});
    EXPECT_HEADING(Text(L"$Importprofilefromafile"), heading);
    EXPECT_TRUE(files.requests.empty());

    // ---- copies, renames ----
    Menu(list, 5, L"$Copy");
    Menu(list, 5, L"$Copy");
    ASSERT_EQ(8, list.GetItemCount());
    EXPECT_EQ("Work(2)", Names(list)[6]);
    EXPECT_EQ("Work(3)", Names(list)[7]);
    EXPECT_EQ(7, MarkedRow(list));
    Menu(list, 6, L"$Rename", {PopupScript::TypeName(L"ProfileRenamePopup.xml", L"WORK(3)"),
                               Notice(L"DuplicateProfileWarningPopup.xml", &heading)});
    EXPECT_HEADING(Text(L"$DuplicateProfileHeading") + L": Work(3)", heading);
    Menu(list, 6, L"$Rename", {PopupScript::TypeName(L"ProfileRenamePopup.xml", L"work(2)"),
                               Notice(L"DuplicateProfileWarningPopup.xml", &heading)});
    EXPECT_HEADING(Text(L"$DuplicateProfileHeading") + L": Work(2)", heading) << "its own name in another case";
    EXPECT_EQ("Work(2)", Names(list)[6]);
    Menu(list, 6, L"$Rename", {PopupScript::TypeName(L"ProfileRenamePopup.xml", L"Play")});
    EXPECT_EQ("Play", Names(list)[6]);
    EXPECT_EQ("Play", simtest::Narrow(config->GetProfile(6)->GetName()));

    // ---- delete, active ----
    Select(list, 0);
    Press(page.erase, {Notice(L"DisallowDeletePopup.xml", &heading)});
    EXPECT_HEADING(Text(L"$DisallowDeleteHeading") + L": Profile 1", heading);
    EXPECT_EQ(8, list.GetItemCount());
    DoubleClick(list, 2);
    EXPECT_EQ(2, MarkedRow(list));
    EXPECT_EQ(config->GetProfile(2), config->GetActiveProfile());
    ClickCheck(list, 3, 0);
    EXPECT_EQ(3, MarkedRow(list));
    EXPECT_EQ(config->GetProfile(3), config->GetActiveProfile());
    Menu(list, 7, L"$SetActive");
    EXPECT_EQ(7, MarkedRow(list));
    Press(page.erase, {PopupScript::Answer(L"ConfirmDeletePopup.xml", BUTTON_POPUP_NO)});
    EXPECT_EQ(8, list.GetItemCount()) << "No keeps it";
    Press(page.erase, {PopupScript::Answer(L"ConfirmDeletePopup.xml", kYes, &heading)});
    EXPECT_HEADING(Text(L"$DeleteProfileHeading") + L": Work(3)", heading);
    ASSERT_EQ(7, list.GetItemCount());
    EXPECT_EQ(0, MarkedRow(list)) << "deleting the active profile activates the first";
    EXPECT_EQ(0, list.GetSelectedRowKey());
    EXPECT_EQ(config->GetProfile(0), config->GetActiveProfile());

    // ---- programs ----
    files.answers = {L"C:\\Games\\Game.exe"};
    Menu(list, 1, L"$AssignApplication");
    EXPECT_EQ("Game.exe", simtest::Narrow(list.GetCellText(1, 3)));
    EXPECT_EQ(L"Game.exe", config->GetProfile(1)->GetLinkedApplication());
    ClickCheck(list, 1, 4);
    EXPECT_EQ(1, list.FindCell(1, 4)->check);
    EXPECT_TRUE(config->GetProfile(1)->GetAutoSwitch());
    {
        PopupScript script;
        script.Expect(Notice(L"SelectApplicationWarningPopup.xml", &heading));
        ClickCheck(list, 2, 4);
        EXPECT_TRUE(script.Done());
    }
    EXPECT_HEADING(Text(L"$SelectApplicationHeading") + L": Profile 3", heading);
    EXPECT_EQ(0, list.FindCell(2, 4)->check);
    EXPECT_FALSE(config->GetProfile(2)->GetAutoSwitch());
    files.answers = {L"C:\\Games\\" + std::wstring(123, L'x') + L".exe"};
    Menu(list, 2, L"$AssignApplication", {Notice(L"FileNameLengthLimitReachedPopUp.xml", &heading)});
    EXPECT_HEADING(Text(L"$AssignApplication"), heading);
    EXPECT_EQ("", simtest::Narrow(list.GetCellText(2, 3)));
    EXPECT_EQ(L"", config->GetProfile(2)->GetLinkedApplication());
    files.answers = {L"C:\\Games\\" + std::wstring(122, L'y') + L".exe"};
    Menu(list, 2, L"$AssignApplication");
    EXPECT_EQ(std::wstring(122, L'y') + L".exe", config->GetProfile(2)->GetLinkedApplication()) << "126 characters fit";
    bool disabled = false;
    {
        PopupScript script;
        script.Expect(PopupScript::Probe(L"$UnassignApplication", &disabled));
        RightClick(list, 3);
        hvtest::FlushMessages();
        EXPECT_TRUE(script.Done());
    }
    EXPECT_TRUE(disabled) << "a row without a program offers no unlink";
    {
        PopupScript script;
        script.Expect(PopupScript::Probe(L"$UnassignApplication", &disabled));
        RightClick(list, 2);
        hvtest::FlushMessages();
        EXPECT_TRUE(script.Done());
    }
    EXPECT_FALSE(disabled);
    Menu(list, 2, L"$UnassignApplication");
    EXPECT_EQ("", simtest::Narrow(list.GetCellText(2, 3)));
    EXPECT_EQ(L"", config->GetProfile(2)->GetLinkedApplication());
    files.answers = {L"D:\\Tools\\Tool.exe"};
    Menu(list, 3, L"$AssignApplication");
    ClickCheck(list, 3, 4);
    EXPECT_TRUE(config->GetProfile(3)->GetAutoSwitch());
    Menu(list, 3, L"$RestoreDefault", {PopupScript::Answer(L"RestorePopup.xml", kYes, &heading)});
    EXPECT_HEADING(Text(L"$RestoreHeading") + L": Profile 4", heading);
    EXPECT_EQ("", simtest::Narrow(list.GetCellText(3, 3))) << "the defaults have no program";
    EXPECT_EQ(0, list.FindCell(3, 4)->check);

    Apply(dialog, page.product);
    ExpectDeviceShowsList(page.device, list, config);
    EXPECT_EQ("Game.exe", Dump(page.device).profiles[1].app);
    hvtest::CaptureClient(dialog).SaveToTestDir(pictureName);

    // ---- export and import, at once after a write ----
    const std::wstring exported = hvtest::TestFile(std::wstring(L"work_") + page.device + L".hvp");
    DeleteFileW(exported.c_str());
    Click(BUTTON_APPLY);
    Select(list, 5);
    files.requests.clear();
    files.answers = {exported};
    Press(page.exportButton, {});
    ASSERT_EQ(1u, files.requests.size());
    EXPECT_TRUE(files.requests[0].save);
    EXPECT_EQ(L"hvp", files.requests[0].defaultExtension);
    EXPECT_EQ(L"hvp Profile Files (*.hvp)|*.hvp||", files.requests[0].filter);
    EXPECT_EQ(std::wstring(config->GetProfileFolder()), files.requests[0].initialFolder);
    EXPECT_FALSE(simtest::ReadBytes(exported).empty()) << "the export right after Apply wrote nothing";

    const std::wstring broken = hvtest::TestFile(L"broken.hvp");
    simtest::WriteBytes(broken, {'H', 'V', 'P', 0, 1, 2});
    files.answers = {broken};
    Press(page.import, {Notice(L"FileErrorPopUp.xml", &heading)});
    EXPECT_HEADING(Text(L"$FileErrorHeading") + L": broken.hvp", heading);
    EXPECT_EQ(7, list.GetItemCount());
    // A file whose name the list holds gets the duplicate notice and leaves nothing on the device.
    files.answers = {exported};
    Press(page.import, {Notice(L"DuplicateProfileWarningPopup.xml", &heading)});
    EXPECT_HEADING(Text(L"$DuplicateProfileHeading") + L": Work", heading);
    EXPECT_FALSE(files.requests.back().save);
    EXPECT_EQ(7, list.GetItemCount());
    EXPECT_EQ(7u, Dump(page.device).profiles.size());
    // Under a name of its own, it comes in.
    Menu(list, 5, L"$Rename", {PopupScript::TypeName(L"ProfileRenamePopup.xml", L"Office")});
    Apply(dialog, page.product);
    files.answers = {exported};
    Press(page.import, {});
    ASSERT_EQ(8, list.GetItemCount());
    EXPECT_EQ("Work", Names(list)[7]);

    // ---- the twenty-first profile ----
    while (list.GetItemCount() < 20)
        Menu(list, 0, L"$Copy");
    EXPECT_EQ("Profile 1(13)", Names(list)[19]);
    Press(page.create, {Notice(L"ProfileLimitReachedPopup.xml", &heading)});
    EXPECT_HEADING(Text(L"$Createanewprofile"), heading);
    Menu(list, 0, L"$Copy", {Notice(L"ProfileLimitReachedPopup.xml", &heading)});
    EXPECT_HEADING(Text(L"$Copy"), heading);
    Press(page.import, {Notice(L"ProfileLimitReachedPopup.xml", &heading)});
    EXPECT_HEADING(Text(L"$Importprofilefromafile"), heading);
    EXPECT_EQ(20, list.GetItemCount());

    Apply(dialog, page.product);
    ExpectDeviceShowsList(page.device, list, config);
}

TEST_F(ProfilePageTest, TheMouseProfilePageManagesTheProfilesTheMouseThenHolds)
{
    CVxAppDlg& dialog = Open(BUTTON_MANAGEPROFILES);
    ASSERT_EQ(3, dialog.CurrentPageNumber());
    RunScenario(kMousePage, m_vexa.MouseConfig());

    // The preview of a profile: its heading names the profile.
    std::wstring heading;
    Menu(List(LIST_PROFILELIST), 1, L"$Preview", {[&heading](CPopupBox& popup) {
             heading = vexatest::HeadingOf(popup);
             hvtest::CaptureWindow(popup.m_hWnd).SaveToTestDir(L"popup_preview_heading.bmp");
             Notice(L"PreviewPopup.xml")(popup);
         }});
    EXPECT_HEADING(Text(L"$PreviewHeading") + L": Profile 2", heading);
}

TEST_F(ProfilePageTest, TheKeyboardProfilePageManagesTheProfilesAndTheirOnScreenFlag)
{
    CVxAppDlg& dialog = Open(BUTTON_MANAGEPROFILES_KEYBOARD);
    ASSERT_EQ(7, dialog.CurrentPageNumber());
    IKeyboardConfig* config = m_vexa.KeyboardConfig();
    RunScenario(kKeyboardPage, config);

    // A new profile got every key's default function, as the factory profiles hold them.
    const DumpedDevice dumped = Dump(L"keyboard");
    EXPECT_FALSE(dumped.profiles[1].assignments.empty());
    EXPECT_EQ(dumped.profiles[1].assignments, dumped.profiles[5].assignments) << "the new profile's keys";

    // The on-screen flag: one for every profile.
    const HWND osd = Item(BUTTON_ENABLE_PROFILE_OSD_KEYBOARD);
    ASSERT_TRUE(osd);
    const bool was = config->GetOsdProfile(nullptr);
    auto* box = dynamic_cast<CBitmapBtn*>(CWnd::FromHandlePermanent(osd));
    ASSERT_TRUE(box);
    EXPECT_EQ(was, box->IsChecked()) << "the box shows the profiles' flag";
    SendMessageW(osd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(osd, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    hvtest::FlushMessages();
    EXPECT_NE(was, box->IsChecked());
    for (int i = 0; i < config->GetProfileCount(); ++i)
        EXPECT_NE(was, config->GetOsdProfile(config->GetProfile(i))) << "profile " << i;
    Apply(dialog, CVxAppDlg::kKeyboard);
    for (const DumpedProfile& profile : Dump(L"keyboard").profiles)
        EXPECT_EQ(!was, (profile.flags & 4) != 0) << profile.name;
    EXPECT_TRUE(dialog.IsConnected(CVxAppDlg::kKeyboard));
    hvtest::CaptureClient(dialog).SaveToTestDir(L"page_profiles_keyboard_osd.bmp");
}

} // namespace


// ---- device notices inside the pages' modal loops ------------------------------------------------

namespace {

using Tools = std::vector<std::vector<std::wstring>>;

// The control tool run (a device unplugged, plugged) while a popup is up, then the popup answered:
// the notices the tool sends are served by the popup's own loop, as a user's unplugging would be.
Step Meanwhile(Tools tools, Step then)
{
    return [tools, then](CPopupBox& popup) {
        for (const std::vector<std::wstring>& args : tools)
            simtest::Tool(args);
        then(popup);
    };
}

const Tools kLeave = {{L"unplug", L"mouse"}};
const Tools kLeaveAndReturn = {{L"unplug", L"mouse"}, {L"plug", L"mouse"}};

std::vector<std::string> DumpedNames(const wchar_t* device)
{
    std::vector<std::string> names;
    for (const DumpedProfile& profile : Dump(device).profiles)
        names.push_back(profile.name);
    return names;
}

std::vector<std::string> DumpedMacroNames(const wchar_t* device)
{
    std::vector<std::string> names;
    for (const std::string& line : simtest::DumpLines(device, "macro "))
        names.push_back(Unquote(line.substr(line.find('}'))));
    return names;
}

bool Contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

// The mouse leaves, or leaves and comes back, while a question, a name form or a file dialog of
// the profile and macro pages is up. Each command then acts on the profile or macro it asked about
// where the mouse read anew still holds it, and on nothing where it is gone; the simulator's dump
// after Apply shows that no other profile or macro was touched.
TEST_F(ProfilePageTest, ADeviceLeavingDuringAQuestionAFormOrAFileDialogTouchesNoOtherProfile)
{
    CVxAppDlg& dialog = Open(BUTTON_MANAGEPROFILES);
    IMouseConfig* config = m_vexa.MouseConfig();
    FileAnswers files;
    const auto showProfiles = [&] {
        Click(BUTTON_PRODSELECT_MOUSE);
        Click(BUTTON_MANAGEPROFILES);
        ASSERT_EQ(CVxAppDlg::kMouse, dialog.CurrentProduct());
        ASSERT_EQ(3, dialog.CurrentPageNumber());
    };
    CXListCtrl* list = &List(LIST_PROFILELIST);
    // Two programs linked and written, to see which profile a restore reaches.
    files.answers = {L"C:\\Games\\Game.exe"};
    Menu(*list, 2, L"$AssignApplication");
    files.answers = {L"D:\\Tools\\Tool.exe"};
    Menu(*list, 3, L"$AssignApplication");
    Apply(dialog, CVxAppDlg::kMouse);
    ASSERT_EQ("Tool.exe", Dump(L"mouse").profiles[3].app);

    // Restore defaults (a question); the mouse leaves while it is up; Yes restores nothing: the
    // profile asked about is gone, and the stand-by profiles are not it.
    Menu(*list, 3, L"$RestoreDefault",
         {Meanwhile(kLeave, PopupScript::Answer(L"RestorePopup.xml", kYes))});
    EXPECT_FALSE(dialog.IsConnected(CVxAppDlg::kMouse));
    ASSERT_EQ(20, config->GetProfileCount());
    EXPECT_EQ(L"PROFILE04", config->GetProfile(3)->GetName());
    EXPECT_EQ(L"", config->GetProfile(3)->GetLinkedApplication());
    simtest::Tool({L"plug", L"mouse"});
    showProfiles();
    list = &List(LIST_PROFILELIST);
    EXPECT_EQ("Tool.exe", simtest::Narrow(list->GetCellText(3, 3)));

    // Again; the mouse leaves and comes back while the question is up: the profile read anew (the
    // same GUID and name) is the one restored, and no other.
    Menu(*list, 3, L"$RestoreDefault",
         {Meanwhile(kLeaveAndReturn, PopupScript::Answer(L"RestorePopup.xml", kYes))});
    EXPECT_TRUE(dialog.IsConnected(CVxAppDlg::kMouse));
    showProfiles();
    EXPECT_EQ("", simtest::Narrow(list->GetCellText(3, 3)));
    EXPECT_EQ("Game.exe", simtest::Narrow(list->GetCellText(2, 3)));
    Apply(dialog, CVxAppDlg::kMouse);
    DumpedDevice dumped = Dump(L"mouse");
    ASSERT_EQ(5u, dumped.profiles.size());
    EXPECT_EQ("", dumped.profiles[3].app);
    EXPECT_EQ("Game.exe", dumped.profiles[2].app);

    // Delete (a question): the mouse leaves for good meanwhile: nothing is deleted from what
    // stands in for it; it comes back with its five profiles.
    Menu(*list, 4, L"$Delete", {Meanwhile(kLeave, PopupScript::Answer(L"ConfirmDeletePopup.xml", kYes))});
    EXPECT_EQ(20, config->GetProfileCount());
    simtest::Tool({L"plug", L"mouse"});
    showProfiles();
    EXPECT_EQ(5, list->GetItemCount());
    // It leaves and comes back meanwhile: the profile asked about is deleted, no other.
    Menu(*list, 4, L"$Delete", {Meanwhile(kLeaveAndReturn, PopupScript::Answer(L"ConfirmDeletePopup.xml", kYes))});
    showProfiles();
    EXPECT_EQ((std::vector<std::string>{"Profile 1", "Profile 2", "Profile 3", "Profile 4"}), Names(*list));
    Apply(dialog, CVxAppDlg::kMouse);
    EXPECT_EQ((std::vector<std::string>{"Profile 1", "Profile 2", "Profile 3", "Profile 4"}), DumpedNames(L"mouse"));

    // Rename (a name form): the mouse leaves and comes back meanwhile: the same profile gets the name.
    Menu(*list, 1, L"$Rename",
         {Meanwhile(kLeaveAndReturn, PopupScript::TypeName(L"ProfileRenamePopup.xml", L"Renamed"))});
    showProfiles();
    Apply(dialog, CVxAppDlg::kMouse);
    EXPECT_EQ((std::vector<std::string>{"Profile 1", "Renamed", "Profile 3", "Profile 4"}), DumpedNames(L"mouse"));

    // Export (a file dialog): the mouse leaves meanwhile: nothing is written; it leaves and comes
    // back: the profile read anew is exported.
    const std::wstring exported = hvtest::TestFile(L"notice_export.hvp");
    DeleteFileW(exported.c_str());
    files.answers = {exported};
    files.meanwhile = [] { simtest::Tool({L"unplug", L"mouse"}); };
    Menu(*list, 1, L"$Export");
    EXPECT_TRUE(simtest::ReadBytes(exported).empty()) << "a profile that is gone was exported";
    simtest::Tool({L"plug", L"mouse"});
    showProfiles();
    files.answers = {exported};
    files.meanwhile = [] {
        simtest::Tool({L"unplug", L"mouse"});
        simtest::Tool({L"plug", L"mouse"});
    };
    Menu(*list, 1, L"$Export");
    EXPECT_FALSE(simtest::ReadBytes(exported).empty());

    // Import (a file dialog) with the mouse leaving and coming back meanwhile: the checks are made
    // again on the mouse read anew; the file's name is in the list: the duplicate notice.
    showProfiles();
    std::wstring heading;
    files.answers = {exported};
    files.meanwhile = [] {
        simtest::Tool({L"unplug", L"mouse"});
        simtest::Tool({L"plug", L"mouse"});
    };
    Menu(*list, 0, L"$Import", {Notice(L"DuplicateProfileWarningPopup.xml", &heading)});
    EXPECT_HEADING(Text(L"$DuplicateProfileHeading") + L": Renamed", heading);
    EXPECT_EQ(4u, Dump(L"mouse").profiles.size()) << "a refused import left a profile on the mouse";

    // The context menu (a popup) of row 2, "Profile 3": meanwhile that profile goes from the mouse
    // and the mouse is read anew, so that row 2 shows "Profile 4": the menu's Delete then deletes
    // nothing, and asks nothing.
    showProfiles();
    ASSERT_EQ((std::vector<std::string>{"Profile 1", "Renamed", "Profile 3", "Profile 4"}), Names(*list));
    {
        PopupScript script;
        script.Expect([this](CPopupBox& popup) {
            CComPtr<IProfile> gone = ProfileAt(Mouse(), 2);
            CComPtr<IProfileManager> manager = Profiles(Mouse());
            if (gone && manager) {
                EXPECT_HRESULT_SUCCEEDED(manager->DeleteProfile(gone.Get()));
            }
            for (const std::vector<std::wstring>& args : kLeaveAndReturn)
                simtest::Tool(args);
            PopupScript::Choose(L"$Delete")(popup);
        });
        RightClick(*list, 2);
        hvtest::FlushMessages();
        EXPECT_TRUE(script.Done());
        EXPECT_EQ(1u, script.Seen().size()) << "the menu acted on the profile that took the row";
    }
    showProfiles();
    EXPECT_EQ((std::vector<std::string>{"Profile 1", "Renamed", "Profile 4"}), Names(*list));
    Apply(dialog, CVxAppDlg::kMouse);
    EXPECT_EQ((std::vector<std::string>{"Profile 1", "Renamed", "Profile 4"}), DumpedNames(L"mouse"));

    // The macro page: a macro written to the mouse, deleted with the mouse leaving and coming back
    // during the question: that macro is deleted, the others stay.
    showProfiles();
    Click(BUTTON_MANAGEMACROS);
    const std::vector<std::string> factoryMacros = DumpedMacroNames(L"mouse");
    Press(BUTTON_MACRO_CREATE, {PopupScript::TypeName(L"MacroNamePopup.xml", L"Kept")});
    Apply(dialog, CVxAppDlg::kMouse);
    ASSERT_TRUE(Contains(DumpedMacroNames(L"mouse"), "Kept"));
    Press(BUTTON_MACRO_DELETE,
          {Meanwhile(kLeaveAndReturn, PopupScript::Answer(L"ConfirmDeleteMacroPopup.xml", kYes))});
    Click(BUTTON_PRODSELECT_MOUSE);
    Click(BUTTON_MANAGEMACROS);
    EXPECT_FALSE(config->FindMacroByName(L"Kept"));
    Apply(dialog, CVxAppDlg::kMouse);
    EXPECT_EQ(factoryMacros, DumpedMacroNames(L"mouse"));

    // A macro made but not written is gone once the mouse is read anew: the macro list no longer
    // offers it.
    Press(BUTTON_MACRO_CREATE, {PopupScript::TypeName(L"MacroNamePopup.xml", L"Loose")});
    auto* macros = dynamic_cast<CDropdownListItem*>(CWnd::FromHandlePermanent(Item(LIST_GLOBALMACROLIST)));
    ASSERT_TRUE(macros);
    ASSERT_GE(macros->FindEntry(L"Loose"), 0);
    simtest::Tool({L"unplug", L"mouse"});
    simtest::Tool({L"plug", L"mouse"});
    Click(BUTTON_PRODSELECT_MOUSE);
    Click(BUTTON_MANAGEMACROS);
    EXPECT_LT(macros->FindEntry(L"Loose"), 0) << "the list still offers a macro the mouse does not hold";
    EXPECT_EQ(static_cast<int>(factoryMacros.size()), config->GetMacroCount());
}

// A profile chosen on another page of the mouse leaves the focus where it was: keys pressed then
// never reach the hidden profile list, whose selection Delete, Export and Rename act on.
TEST_F(ProfilePageTest, AProfileChosenOnAnotherPageLeavesTheFocusOutOfTheHiddenList)
{
    CVxAppDlg& dialog = Open(BUTTON_MANAGEPROFILES);
    CXListCtrl& list = List(LIST_PROFILELIST);
    Click(BUTTON_ASSIGNBUTTONS);
    ASSERT_EQ(1, dialog.CurrentPageNumber());
    const HWND dropdown = Item(BUTTON_DROPDOWN_PROFILESELECT);
    ASSERT_TRUE(dropdown);
    dialog.SetFocus();
    dialog.SendMessage(WM_DROPDOWN_SELCHANGE, 2, reinterpret_cast<LPARAM>(dropdown));
    hvtest::FlushMessages();
    EXPECT_EQ(m_vexa.MouseConfig()->GetProfile(2), m_vexa.MouseConfig()->GetActiveProfile());
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_NE(list.GetSafeHwnd(), GetFocus());
    // Shown, the list has the active profile selected.
    Click(BUTTON_MANAGEPROFILES);
    EXPECT_EQ(2, list.GetSelectedRowKey());
}

// The export dialogs start in the install folder's "save" folder, made where it is missing, and in
// the documents folder where it cannot be made.
TEST_F(ProfilePageTest, TheExportDialogStartsInASaveFolderThatExists)
{
    CVxAppDlg& dialog = Open(BUTTON_MANAGEPROFILES);
    FileAnswers files;
    CXListCtrl& list = List(LIST_PROFILELIST);
    Apply(dialog, CVxAppDlg::kMouse);
    std::wstring folder = m_vexa.MouseConfig()->GetProfileFolder();
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    // The folder emptied and removed, as a fresh install has it.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(folder.c_str()));
    files.answers = {L""};
    Menu(list, 0, L"$Export");
    ASSERT_EQ(1u, files.requests.size());
    const DWORD made = GetFileAttributesW(folder.c_str());
    EXPECT_TRUE(made != INVALID_FILE_ATTRIBUTES && (made & FILE_ATTRIBUTE_DIRECTORY)) << "the folder was not made";
    EXPECT_EQ(std::wstring(m_vexa.MouseConfig()->GetProfileFolder()), files.requests[0].initialFolder);

    // A file where the folder should be: the documents folder.
    RemoveDirectoryW(folder.c_str());
    simtest::WriteBytes(folder, {'x'});
    files.answers = {L""};
    Menu(list, 0, L"$Export");
    DeleteFileW(folder.c_str());
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_EQ(2u, files.requests.size());
    wchar_t documents[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)));
    EXPECT_EQ(std::wstring(documents), files.requests[1].initialFolder);
}

// ---- imported files ---------------------------------------------------------------------------------

namespace {

// A notice answered, its heading and message kept.
Step NoticeSaying(const wchar_t* layout, std::wstring* heading, std::wstring* message)
{
    return [layout, heading, message](CPopupBox& popup) {
        const auto* text = popup.Items().FindAs<CTextItem>(262, ItemKind::TextItem);  // TEXT_WARNDLG_MESSAGE
        *message = text ? text->GetText() : std::wstring();
        Notice(layout, heading)(popup);
    };
}

// Puts a NUL in place of the first 'X' of the UTF-16 name "abXcd" in a file.
void PutNulInName(const std::wstring& path)
{
    std::vector<uint8_t> bytes = simtest::ReadBytes(path);
    const uint8_t name[] = {'a', 0, 'b', 0, 'X', 0, 'c', 0, 'd', 0};
    auto at = std::search(bytes.begin(), bytes.end(), std::begin(name), std::end(name));
    ASSERT_NE(bytes.end(), at) << "no name in the file";
    at[4] = 0;
    simtest::WriteBytes(path, bytes);
}

} // namespace

// Profile and macro files whose names a name form would not take (empty, longer than 20
// characters, up to 32,767; a line break; a NUL within) are refused with a notice that names the
// file and what is wrong with it, and nothing of them stays on the mouse; a name in use gets the
// duplicate notice.
TEST_F(ProfilePageTest, ImportedFilesWithNamesNoFormTakesAreRefusedWithTheirReason)
{
    CVxAppDlg& dialog = Open(BUTTON_MANAGEPROFILES);
    FileAnswers files;
    CXListCtrl& list = List(LIST_PROFILELIST);
    const CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    const size_t profiles = Dump(L"mouse").profiles.size();
    const size_t macros = simtest::DumpLines(L"mouse", L"macro ").size();

    struct Case
    {
        std::wstring name;
        const wchar_t* message;
    };
    const Case cases[] = {
        {L"", L"$ImportNameEmptyMessage"},
        {std::wstring(21, L'n'), L"$ImportNameTooLongMessage"},
        {std::wstring(32767, L'n'), L"$ImportNameTooLongMessage"},
        {L"two\r\nlines", L"$ImportNameControlMessage"},
        {L"abXcd", L"$ImportNameControlMessage"},
    };
    std::wstring heading;
    std::wstring message;
    int n = 0;
    for (const Case& c : cases) {
        const std::wstring fileName = L"bad" + std::to_wstring(++n);
        SCOPED_TRACE(simtest::Narrow(fileName));
        // The files as the middleware exports items of those names.
        const std::wstring profileFile = hvtest::TestFile(fileName + L".hvp");
        const std::wstring macroFile = hvtest::TestFile(fileName + L".hvm");
        {
            CComPtr<IProfileManager> manager = Profiles(mouse);
            CComPtr<IProfile> made;
            ASSERT_HRESULT_SUCCEEDED(manager->AddProfile(made.Put()));
            ASSERT_HRESULT_SUCCEEDED(made->SetName(c.name.c_str()));
            ASSERT_HRESULT_SUCCEEDED(made->Export(profileFile.c_str()));
            ASSERT_HRESULT_SUCCEEDED(manager->DeleteProfile(made.Get()));
            CComPtr<IMacroManager> macroManager = DeviceFeature<IMacroManager>(mouse);
            CComPtr<IMacro> macro;
            ASSERT_HRESULT_SUCCEEDED(macroManager->AddMacro(macro.Put()));
            ASSERT_HRESULT_SUCCEEDED(macro->SetName(c.name.c_str()));
            ASSERT_HRESULT_SUCCEEDED(macro->Export(macroFile.c_str()));
            ASSERT_HRESULT_SUCCEEDED(macroManager->DeleteMacro(macro.Get()));
        }
        if (c.name == L"abXcd") {
            PutNulInName(profileFile);
            PutNulInName(macroFile);
        }

        Click(BUTTON_MANAGEPROFILES);
        files.answers = {profileFile};
        Press(BUTTON_IMPORTPROFILE_MOUSE, {NoticeSaying(L"FileErrorPopUp.xml", &heading, &message)});
        EXPECT_HEADING(Text(L"$FileErrorHeading") + L": " + fileName + L".hvp", heading);
        EXPECT_EQ(Text(c.message), message);
        EXPECT_EQ(5, list.GetItemCount());
        EXPECT_EQ(profiles, Dump(L"mouse").profiles.size()) << "a refused profile stayed on the mouse";

        Click(BUTTON_MANAGEMACROS);
        files.answers = {macroFile};
        Press(BUTTON_MACRO_IMPORT, {NoticeSaying(L"FileErrorPopUp.xml", &heading, &message)});
        EXPECT_HEADING(Text(L"$FileErrorHeading") + L": " + fileName + L".hvm", heading);
        EXPECT_EQ(Text(c.message), message);
        EXPECT_EQ(macros, simtest::DumpLines(L"mouse", L"macro ").size()) << "a refused macro stayed on the mouse";
    }

    // A name of 20 characters is taken; its twin then gets the duplicate notice, and stays off the
    // mouse.
    const std::wstring longest = std::wstring(19, L'm') + L"z";
    const std::wstring macroFile = hvtest::TestFile(L"longest.hvm");
    {
        CComPtr<IMacroManager> macroManager = DeviceFeature<IMacroManager>(mouse);
        CComPtr<IMacro> macro;
        ASSERT_HRESULT_SUCCEEDED(macroManager->AddMacro(macro.Put()));
        ASSERT_HRESULT_SUCCEEDED(macro->SetName(longest.c_str()));
        ASSERT_HRESULT_SUCCEEDED(macro->Export(macroFile.c_str()));
        ASSERT_HRESULT_SUCCEEDED(macroManager->DeleteMacro(macro.Get()));
    }
    files.answers = {macroFile};
    Press(BUTTON_MACRO_IMPORT, {});
    ASSERT_TRUE(m_vexa.MouseConfig()->FindMacroByName(longest.c_str()));
    EXPECT_EQ(macros + 1, simtest::DumpLines(L"mouse", L"macro ").size());
    files.answers = {macroFile};
    Press(BUTTON_MACRO_IMPORT, {Notice(L"DuplicateMacroWarningPopup.xml", &heading)});
    EXPECT_HEADING(Text(L"$DuplicateMacroHeading") + L": " + longest, heading);
    EXPECT_EQ(macros + 1, simtest::DumpLines(L"mouse", L"macro ").size());
    Apply(dialog, CVxAppDlg::kMouse);
    EXPECT_EQ(macros + 1, simtest::DumpLines(L"mouse", L"macro ").size());
}
