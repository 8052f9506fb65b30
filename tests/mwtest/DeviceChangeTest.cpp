// The test program while its device leaves and comes back in the middle of each of its modal loops:
// a context menu, a message box, a file dialog, a colour dialog, the macro editor, the assignment
// editor and the capture of a new key. The program keeps the device it picked until the sheet closes, so whatever it
// does once the loop ends goes to a device that is gone for good (the device back is another
// plug-in): each such operation must fail as the program says it fails (its message box, or
// nothing written), never crash, and work again once the user picks the device again.
#include "BenchTest.h"

#include "HvTest.h"
#include "mwtest/MwTestRes.h"
#include "platform/WStr.h"

using namespace mwtest;

namespace {

constexpr const char kGone[] = "-> 0x8007048F";  // the answer of a device that is gone
// The items of the profile menu by the number of steps down to them.
enum ProfileMenuItem { kNew = 1, kDelete, kImport, kExport };

// What the timer runs inside the menu's loop, and where the keys that pick the item go.
struct MenuAct
{
    std::function<void()> act;
    HWND page;
    int itemPosition;
    bool ran;
};
MenuAct* s_menuAct = nullptr;

void CALLBACK RunInMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    MenuAct* menu = s_menuAct;
    if (!menu || menu->ran)
        return;
    menu->ran = true;
    menu->act();
    for (int i = 0; i < menu->itemPosition; ++i) {
        PostMessageW(menu->page, WM_KEYDOWN, VK_DOWN, 1);
        PostMessageW(menu->page, WM_KEYUP, VK_DOWN, 0xC0000001);
    }
    PostMessageW(menu->page, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(menu->page, WM_KEYUP, VK_RETURN, 0xC0000001);
}

class DeviceChangeTest : public BenchTest
{
protected:
    void SetUp() override
    {
        BenchTest::SetUp();
        Open();
        ChooseDevice(L"VEXA Mouse");
    }
    // A device unplugged and plugged again, each announced to the program's windows and the
    // announcement delivered, as it would be inside the loop that is running.
    static void LeaveAndComeBack(const wchar_t* device = L"mouse")
    {
        EXPECT_NE(std::string::npos, simtest::Tool({L"unplug", device}).find("announced to"));
        hvtest::FlushMessages();
        EXPECT_NE(std::string::npos, simtest::Tool({L"plug", device}).find("announced to"));
        hvtest::FlushMessages();
    }
    // The user picks the device again on the device page and goes back to a page.
    void PickAgain(UINT templateId, const wchar_t* name = L"VEXA Mouse")
    {
        ASSERT_TRUE(Select(IDD_DEVICES));
        ChooseDevice(name);
        ASSERT_TRUE(Select(templateId));
    }
    // A right click on a row (-1: below the rows); act runs inside the menu's loop, then the item
    // is picked.
    void RightClickAndPickAfter(HWND page, HWND list, int row, int itemPosition, std::function<void()> act)
    {
        MenuAct menu = {std::move(act), page, itemPosition, false};
        s_menuAct = &menu;
        SetTimer(nullptr, 0, 50, RunInMenu);
        NMITEMACTIVATE click = {};
        click.hdr.hwndFrom = list;
        click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
        click.hdr.code = static_cast<UINT>(NM_RCLICK);
        click.iItem = row;
        SendMessageW(page, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
        hvtest::FlushMessages();
        s_menuAct = nullptr;
        EXPECT_TRUE(menu.ran) << "the menu's loop never ran";
    }
    // Opens an editor by a double click on a row and runs steps on the dialogs it opens.
    static void EditRow(HWND list, int row, std::vector<CDialogScript::Step> steps)
    {
        CDialogScript script(std::move(steps));
        ASSERT_TRUE(hvtest::DoubleClick(list, CellPoint(list, row, 1)));
        EXPECT_TRUE(script.WaitDone());
    }
    static int Rows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
    static size_t Profiles() { return simtest::DumpLines(L"mouse", L"profile ").size(); }
    // The journal's lines of a method that the gone device refused.
    static size_t Refused(const std::string& method)
    {
        size_t count = 0;
        for (const std::string& line : Calls(method))
            count += line.find(kGone) != std::string::npos;
        return count;
    }
};

} // namespace

TEST_F(DeviceChangeTest, DeviceLeavesAndComesBackInEveryModalLoop)
{
    // The context menu: the mouse leaves and comes back while it is open, then "New" is picked.
    ASSERT_TRUE(Select(IDD_PROFILES));
    HWND page = PageWindow(IDD_PROFILES);
    HWND list = Item(IDD_PROFILES, IDC_PROFILE_LIST);
    ASSERT_EQ(5, Rows(list));
    RightClickAndPickAfter(page, list, -1, kNew, [] { LeaveAndComeBack(); });
    EXPECT_EQ(std::vector<std::wstring>{L"Cannot add new profile!"}, dialogs.messages);
    EXPECT_EQ(5u, Profiles());
    EXPECT_EQ(1u, Refused("IProfileManager.AddProfile"));
    // The list of a gone device ends at its first item, and says nothing.
    EXPECT_EQ(0, Rows(list));
    EXPECT_EQ(1u, dialogs.messages.size());
    CaptureSheet(L"device-gone-profiles");
    // Picked again, the mouse works.
    PickAgain(IDD_PROFILES);
    ASSERT_EQ(5, Rows(list));
    RightClickAndPick(page, list, -1, kNew);
    EXPECT_EQ(6u, Profiles());
    EXPECT_EQ(6, Rows(list));

    // A message box: the mouse leaves and comes back while the refused "New" is told; the list
    // filled again afterwards ends at once, and the next "New" is told as refused as well.
    simtest::Tool({L"fail", L"mouse", L"IProfileManager.AddProfile", L"0x80070718"});
    dialogs.messages.clear();
    dialogs.whileOpen = [] { LeaveAndComeBack(); };
    RightClickAndPick(page, list, -1, kNew);
    dialogs.whileOpen = nullptr;
    EXPECT_EQ(std::vector<std::wstring>{L"Cannot add new profile!"}, dialogs.messages);
    EXPECT_EQ(0, Rows(list));
    RightClickAndPick(page, list, -1, kNew);
    EXPECT_EQ(2u, dialogs.messages.size());
    EXPECT_EQ(6u, Profiles());
    PickAgain(IDD_PROFILES);
    ASSERT_EQ(6, Rows(list));

    // A file dialog: an export, and an import, whose device leaves and comes back while the file
    // is chosen write no file and add no profile.
    const std::wstring file = hvtest::TestFile(L"gone.hvp");
    DeleteFileW(file.c_str());
    dialogs.fileAnswer = file;
    dialogs.whileOpen = [] { LeaveAndComeBack(); };
    RightClickAndPick(page, list, 5, kExport);
    dialogs.whileOpen = nullptr;
    EXPECT_EQ(1u, dialogs.fileRequests.size());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(file.c_str()));
    PickAgain(IDD_PROFILES);
    RightClickAndPick(page, list, 5, kExport);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(file.c_str()));
    dialogs.whileOpen = [] { LeaveAndComeBack(); };
    RightClickAndPick(page, list, -1, kImport);
    dialogs.whileOpen = nullptr;
    EXPECT_EQ(6u, Profiles());
    EXPECT_EQ(1u, Refused("IProfileManager.ImportProfile"));
    EXPECT_EQ(0, Rows(list));
    PickAgain(IDD_PROFILES);
    RightClickAndPick(page, list, -1, kImport);
    EXPECT_EQ(7u, Profiles());
    EXPECT_EQ(7, Rows(list));
    EXPECT_EQ(2u, dialogs.messages.size());

    // A colour dialog: the LED's colour is not written to the device that left while it was open.
    ASSERT_TRUE(Select(IDD_LED));
    HWND leds = Item(IDD_LED, IDC_LED_LIST);
    const auto selectWheel = [&] {
        SendMessageW(leds, LB_SETCURSEL, 0, 0);
        SendMessageW(PageWindow(IDD_LED), WM_COMMAND, MAKEWPARAM(IDC_LED_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(leds));
        hvtest::FlushMessages();
    };
    selectWheel();
    const std::wstring wheel = simtest::DumpLines(L"mouse", L" led 1 ").at(0);
    ASSERT_NE(std::wstring::npos, wheel.find(L"color 0xFF0000"));
    dialogs.colorPicked = true;
    dialogs.colorAnswer = 0x00FF00;
    dialogs.whileOpen = [] { LeaveAndComeBack(); };
    Click(IDD_LED, IDC_LED_CHANGE_COLOR);
    dialogs.whileOpen = nullptr;
    ASSERT_EQ(1u, dialogs.colorRequests.size());
    EXPECT_EQ(wheel, simtest::DumpLines(L"mouse", L" led 1 ").at(0));
    EXPECT_EQ(1u, Refused("ILEDColor.SetColor"));
    PickAgain(IDD_LED);
    selectWheel();
    Click(IDD_LED, IDC_LED_CHANGE_COLOR);
    EXPECT_NE(std::wstring::npos, simtest::DumpLines(L"mouse", L" led 1 ").at(0).find(L"color 0x00FF00"));

    // The macro editor: the mouse leaves and comes back while it is open; the name set and the
    // recording stopped there are not written, and the editor closes as usual.
    ASSERT_TRUE(Select(IDD_MACROS));
    HWND macros = Item(IDD_MACROS, IDC_MACRO_LIST);
    ASSERT_EQ(1, Rows(macros));
    const std::wstring sample = simtest::DumpLines(L"mouse", L"macro 0 ").at(0);
    // Renames the macro, records nothing and closes; first, with leave, the mouse leaves and
    // comes back while the editor is open.
    const auto renameAndRecord = [](const wchar_t* name, bool leave) {
        return CDialogScript::Step{IDD_MACRO, [name, leave](HWND dialog) {
                                       if (leave)
                                           LeaveAndComeBack();
                                       SetDlgItemTextW(dialog, IDC_MACRO_NAME, name);
                                       ClickItem(dialog, IDC_MACRO_SET_NAME);
                                       ClickItem(dialog, IDC_MACRO_RECORD);
                                       ClickItem(dialog, IDC_MACRO_STOP);
                                       EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
                                       ClickItem(dialog, IDOK);
                                   }};
    };
    EditRow(macros, 0, {renameAndRecord(L"Lost", true)});
    EXPECT_EQ(sample, simtest::DumpLines(L"mouse", L"macro 0 ").at(0));
    EXPECT_EQ(1u, Refused("IMacro.SetName"));
    EXPECT_EQ(1u, Refused("IMacro.SetEvents"));
    EXPECT_EQ(0u, RawInputRegistrations());
    // The list filled again after the editor ends at once.
    EXPECT_EQ(0, Rows(macros));
    PickAgain(IDD_MACROS);
    ASSERT_EQ(1, Rows(macros));
    EditRow(macros, 0, {renameAndRecord(L"Kept", false)});
    EXPECT_NE(std::wstring::npos, simtest::DumpLines(L"mouse", L"macro 0 ").at(0).find(L"\"Kept\""));
    EXPECT_EQ(L"Kept", RowText(macros, 0, 1));
    EXPECT_EQ(0u, RawInputRegistrations());

    // The assignment editor: the mouse leaves and comes back while it is open; the button's new
    // function is not written and the profile not applied again.
    ASSERT_TRUE(Select(IDD_BUTTONS));
    HWND buttons = Item(IDD_BUTTONS, IDC_BUTTON_LIST);
    ASSERT_EQ(11, Rows(buttons));
    const std::wstring left = simtest::DumpLines(L"mouse", L" assign 0x00001 ").at(0);
    const auto chooseMenu = [](bool leave) {
        return CDialogScript::Step{IDD_BUTTON_MAPPING, [leave](HWND dialog) {
                                       if (leave)
                                           LeaveAndComeBack();
                                       ClickItem(dialog, IDC_MAP_BUTTONS);
                                       ChooseItem(dialog, IDC_MAP_FUNCTION, L"Menu");
                                       ClickItem(dialog, IDOK);
                                   }};
    };
    const size_t applied = Calls("IProfileManager.SetActiveProfile").size();
    EditRow(buttons, 0, {chooseMenu(true)});
    EXPECT_EQ(left, simtest::DumpLines(L"mouse", L" assign 0x00001 ").at(0));
    EXPECT_EQ(1u, Refused("IButtonAssignments.SetAssignments"));
    EXPECT_EQ(applied, Calls("IProfileManager.SetActiveProfile").size());
    EXPECT_EQ(L"Click", RowText(buttons, 0, 1));
    PickAgain(IDD_BUTTONS);
    EditRow(buttons, 0, {chooseMenu(false)});
    EXPECT_EQ(L"Menu", RowText(buttons, 0, 1));
    EXPECT_NE(left, simtest::DumpLines(L"mouse", L" assign 0x00001 ").at(0));

    // The capture of a new key, then the editor: the keyboard leaves and comes back while the key
    // is captured; the editor opens on the gone keyboard (nothing to choose from) and its OK
    // writes nothing.
    PickAgain(IDD_KEYS, L"VEXA Keyboard");
    HWND keysPage = PageWindow(IDD_KEYS);
    HWND keys = Item(IDD_KEYS, IDC_KEY_LIST);
    const int keyRows = Rows(keys);
    ASSERT_LT(0, keyRows);
    const auto captureF8 = [&](bool leave) {
        CDialogScript script({{IDD_NEW_KEY_MAPPING,
                               [leave](HWND dialog) {
                                   if (leave)
                                       LeaveAndComeBack(L"keyboard");
                                   ASSERT_TRUE(hvtest::PressKey(VK_F8, 0, GetDlgItem(dialog, IDC_NEWKEY_HOTKEY)));
                                   ClickItem(dialog, IDOK);
                               }},
                              {IDD_BUTTON_MAPPING, [leave](HWND dialog) {
                                   if (leave) {
                                       EXPECT_EQ(0, SendDlgItemMessageW(dialog, IDC_MAP_MACRO, CB_GETCOUNT, 0, 0));
                                   }
                                   EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_MAP_SINGLE_KEY));
                                   ClickItem(dialog, IDOK);
                               }}});
        NMITEMACTIVATE click = {};
        click.hdr.hwndFrom = keys;
        click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(keys));
        click.hdr.code = static_cast<UINT>(NM_DBLCLK);
        click.iItem = -1;
        click.ptAction = {5, 30000};
        SendMessageW(keysPage, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
        EXPECT_TRUE(script.WaitDone());
    };
    wchar_t f8[32];
    swprintf(f8, 32, L" assign 0x%05X ", MapVirtualKeyW(VK_F8, MAPVK_VK_TO_VSC));
    const std::vector<std::wstring> f8Before = simtest::DumpLines(L"keyboard", f8);
    captureF8(true);
    EXPECT_EQ(f8Before, simtest::DumpLines(L"keyboard", f8));
    EXPECT_TRUE(Calls("IKeyAssignments.SetAssignments").empty());
    EXPECT_EQ(keyRows, Rows(keys));
    PickAgain(IDD_KEYS, L"VEXA Keyboard");
    captureF8(false);
    EXPECT_EQ(1u, Calls("IKeyAssignments.SetAssignments").size());
    EXPECT_EQ(0u, Refused("IKeyAssignments.SetAssignments"));

    // The sheet closes as usual and leaves nothing advised.
    EXPECT_EQ(2u, dialogs.messages.size());
    bench.Close();
    hvtest::FlushMessages();
    EXPECT_EQ(0, Connections(L"mouse", "_IProfileManagerEvents"));
}
