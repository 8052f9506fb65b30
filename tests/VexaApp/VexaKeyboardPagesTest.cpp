// The keyboard's key assignment and lighting pages of the main dialog, in the test's own process
// over the registered simulator: keys of the keyboard picture clicked, options chosen in the real
// options list, the popups answered through their own items, Apply written and the simulator's
// dump read back.
#include "SimTest.h"

#include "HvTest.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controls/BitmapBtn.h"
#include "controls/BitmapWindow.h"
#include "platform/CommonDialogs.h"
#include "controls/DropdownListItem.h"
#include "controls/ControlMessages.h"
#include "core/KeyboardDef.h"
#include "controls/KeyboardKeyItem.h"
#include "skin/KeyboardLayouts.h"
#include "skin/LangTable.h"
#include "skin/LayoutLoader.h"
#include "controls/ListPanel.h"
#include "core/NameTables.h"
#include "controls/PopupBox.h"
#include "skin/SkinResourceCache.h"
#include "VexaApp/VxApp.h"
#include "VexaApp/VxAppDlg.h"
#include "core/ItemIds.h"
#include "VexaInProcess.h"
#include "platform/WStr.h"

using hvtest::FlushMessages;
using hvtest::WaitUntil;

namespace {

// Answers the popups the dialog shows, one step per popup, from inside their modal loops
// (hvtest::ModalScript). Each popup is captured before it is answered.
class PopupAnswers : public hvtest::ModalScript
{
public:
    using Step = std::function<void(HWND popup)>;

    explicit PopupAnswers(HWND owner)
        : hvtest::ModalScript([owner] { return hvtest::ThreadWindow([owner](HWND hwnd) { return IsPopupOf(owner, hwnd); }); },
                              [](HWND popup) { PostMessageW(popup, WM_CLOSE, 0, 0); })
    {
    }
    // The next popup is captured to picture (in the test's folder) and answered by step.
    void Expect(const wchar_t* picture, Step step)
    {
        ExpectOnce([this, picture = std::wstring(picture), step = std::move(step)](HWND popup) {
            UpdateWindow(popup);
            EXPECT_TRUE(hvtest::CaptureWindow(popup).SaveToTestDir(picture));
            step(popup);
            ++m_answered;
        });
    }
    int Answered() const { return m_answered; }

private:
    static bool IsPopupOf(HWND owner, HWND hwnd)
    {
        return GetWindow(hwnd, GW_OWNER) == owner && dynamic_cast<CPopupBox*>(CWnd::FromHandlePermanent(hwnd));
    }

    int m_answered = 0;
};

// What a button item of a popup sends when clicked.
void ClickPopupItem(HWND popup, int id)
{
    HWND item = hvtest::FindItemWindow(popup, id, false);
    ASSERT_TRUE(item) << "no item " << id << " in the popup";
    SendMessageW(popup, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(item), BN_CLICKED), reinterpret_cast<LPARAM>(item));
}

// A press and release of the left button on a window, as a click sends them.
void ClickWindow(HWND window, POINT at = {3, 3})
{
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// Answers the file dialogs: each request gets the next path (or a cancel once they are used up).
class FileAnswers : public ICommonDialogs
{
public:
    int ShowMessage(HWND, const std::wstring&, const std::wstring&, UINT) override { return IDCANCEL; }
    bool PickFile(const FileDialogRequest& request, std::wstring& path) override
    {
        requests.push_back(request);
        if (paths.empty())
            return false;
        path = paths.front();
        paths.pop_front();
        return true;
    }
    bool PickColor(const ColorDialogRequest&, COLORREF&) override { return false; }

    std::deque<std::wstring> paths;
    std::vector<FileDialogRequest> requests;
};

// The dump's records of one profile of the keyboard, by key code.
std::map<DWORD, AssignmentRecord> ProfileRecords(int profile)
{
    std::map<DWORD, AssignmentRecord> records;
    int current = -1;
    for (const std::string& line : simtest::DumpLines(L"keyboard")) {
        if (line.rfind("profile ", 0) == 0)
            current = std::stoi(line.substr(8));
        if (current != profile || line.rfind(" assign ", 0) != 0)
            continue;
        AssignmentRecord record{};
        unsigned long id = 0, source = 0, kind = 0;
        char hex[64] = {};
        if (sscanf(line.c_str(), " assign 0x%lX src %lu kind %lu data %63s", &id, &source, &kind, hex) != 4)
            continue;
        record.id = id;
        record.source = source;
        record.kind = kind;
        for (size_t i = 0; i < sizeof record.payload && hex[2 * i]; ++i)
            record.payload[i] = static_cast<BYTE>(std::stoul(std::string(hex + 2 * i, 2), nullptr, 16));
        records[id] = record;
    }
    return records;
}

// The dump's lights of the keyboard: "profile/led" -> on.
std::map<std::string, bool> Lights()
{
    std::map<std::string, bool> lights;
    int current = -1;
    for (const std::string& line : simtest::DumpLines(L"keyboard")) {
        if (line.rfind("profile ", 0) == 0)
            current = std::stoi(line.substr(8));
        int id = 0, on = 0;
        if (line.rfind(" led ", 0) == 0 && sscanf(line.c_str(), " led %d on %d", &id, &on) == 2)
            lights[std::to_string(current) + "/" + std::to_string(id)] = on != 0;
    }
    return lights;
}

// A text as the language shows it.
std::wstring Text(const wchar_t* key)
{
    std::wstring text;
    TranslateText(key, text);
    return text;
}

class KeyboardPagesTest : public simtest::SimTest
{
protected:
    void SetUp() override
    {
        simtest::SimTest::SetUp();
        // What the application sets up before its dialog: the texts and the keyboard's layout, whose
        // key file the key page shows.
        InitNameTables();
        GetSkinResourceCache().SetFolder(hvtest::SkinImageDir());
        LoadLayoutFile(&m_language, L"Language.xml", nullptr, false);
        SetCurrentLangTable(FindRegisteredLangTable(0));
        ASSERT_TRUE(LoadLayoutFile(&m_layouts, L"KeyboardLayout.xml", nullptr, false));
        ASSERT_TRUE(ActivateKeyboardLayoutItem(KeyboardLayouts(), KBLAYOUT_ENGLISH));
        m_previousDialogs = SetCommonDialogs(&m_files);
    }
    void TearDown() override
    {
        m_vexa.Close();
        SetCommonDialogs(m_previousDialogs);
        RestoreKeyboardLayout();
        m_layouts.DeleteAll();
        SetCurrentLangTable(nullptr);
        m_language.DeleteAll();
        simtest::SimTest::TearDown();
    }

    CVxAppDlg& OpenKeyboardPage(int page)
    {
        CVxAppDlg* dialog = m_vexa.Open();
        EXPECT_TRUE(dialog);
        // The pointer away from the window: a key the page shows under it would be described.
        if (dialog) {
            const CRect window = dialog->GetWindowRect();
            hvtest::MoveCursorTo({window.right + 20, window.bottom + 20});
        }
        Command(Item(BUTTON_PRODSELECT_KEYBOARD));
        if (page != 6)
            Command(Item(BUTTON_ASSIGNKEYS + page - 6));
        EXPECT_EQ(page, dialog->CurrentPageNumber());
        return *dialog;
    }

    HWND Item(int id, bool visibleOnly = true) const { return m_vexa.Item(id, visibleOnly); }
    void Command(HWND item)
    {
        ASSERT_TRUE(item);
        m_vexa.Command(item);
        FlushMessages();
    }
    IKeyboardConfig& Config() { return *m_vexa.KeyboardConfig(); }

    CKeyboardKeyItem* Key(const wchar_t* name)
    {
        HWND window = Item(FindItemIdByName(name));
        return window ? dynamic_cast<CKeyboardKeyItem*>(CWnd::FromHandlePermanent(window)) : nullptr;
    }
    void ClickKey(CKeyboardKeyItem* key)
    {
        ASSERT_TRUE(key);
        ClickWindow(*key);
        FlushMessages();
    }

    // The options list shown on the page.
    CListPanelStatic* Options()
    {
        CListPanelStatic* found = nullptr;
        EnumChildWindows(m_vexa.Dialog(), FindShownList, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    static BOOL CALLBACK FindShownList(HWND hwnd, LPARAM result)
    {
        auto* list = dynamic_cast<CListPanelStatic*>(CWnd::FromHandlePermanent(hwnd));
        if (list && IsWindowVisible(hwnd)) {
            *reinterpret_cast<CListPanelStatic**>(result) = list;
            return FALSE;
        }
        return TRUE;
    }
    // The row of the option of that assignment type; -1 when the list has none.
    int OptionRow(int32_t type)
    {
        CListPanelStatic* list = Options();
        if (!list)
            return -1;
        const std::vector<ListEntry>& entries = list->Entries();
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].value == type)
                return list->RowOfEntry(static_cast<int>(i));
        return -1;
    }
    bool OptionEnabled(int32_t type)
    {
        const int row = OptionRow(type);
        return row >= 0 && !Options()->IsRowDisabled(row);
    }
    // A click on the option's row of the real list.
    void ChooseOption(int32_t type)
    {
        CListPanelStatic* list = Options();
        ASSERT_TRUE(list);
        const int row = OptionRow(type);
        ASSERT_GE(row, 0) << "no option of type " << type;
        RECT r{LVIR_BOUNDS, 0, 0, 0};
        ASSERT_TRUE(SendMessageW(*list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)));
        ClickWindow(*list, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        FlushMessages();
    }

    void ApplyAndWait(CVxAppDlg& dialog)
    {
        Command(Item(BUTTON_APPLY));
        EXPECT_TRUE(WaitUntil([&] { return !dialog.IsWriting(CVxAppDlg::kKeyboard); }, 30000));
        EXPECT_FALSE(dialog.IsUnsaved(CVxAppDlg::kKeyboard));
    }

    vexatest::InProcessVexa m_vexa;
    FileAnswers m_files;
    ICommonDialogs* m_previousDialogs = nullptr;
    CGUIItems m_language;
    CGUIItems m_layouts;
};

TEST_F(KeyboardPagesTest, AKeyIsChosenOnThePictureGivenItsDefaultBackAndResetOnlyWhenConfirmed)
{
    CVxAppDlg& dialog = OpenKeyboardPage(6);
    ASSERT_TRUE(Options());
    CKeyboardKeyItem* a = Key(L"BUTTON_KB_A");
    CKeyboardKeyItem* e = Key(L"BUTTON_KB_E");
    CKeyboardKeyItem* f = Key(L"BUTTON_KB_F");
    ASSERT_TRUE(a && e && f);
    EXPECT_FALSE(a->IsChecked() || e->IsChecked() || f->IsChecked()) << "the factory keys have their defaults";
    EXPECT_TRUE(hvtest::CaptureWindow(dialog).SaveToTestDir(L"keyboard_keys_page.bmp"));

    // Nothing chosen: every option is off, and a click on one does nothing.
    for (int32_t type : {kActionDefaultKey, kActionSingleKey, kActionMacro, kActionProfile, kActionLaunch})
        EXPECT_FALSE(OptionEnabled(type)) << "type " << type;
    ChooseOption(kActionDefaultKey);

    // The pointer over a key describes its function.
    auto* description = dynamic_cast<CBitmapWindow*>(CWnd::FromHandlePermanent(Item(BITMAPWIN_ASSIGNKEY)));
    ASSERT_TRUE(description);
    EXPECT_TRUE(description->Text().empty());
    SendMessageW(*f, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    FlushMessages();
    EXPECT_EQ(Text(L"$defaultkey") + L" | " + f->Caption(), description->Text());
    dialog.SendMessage(WM_NCMOUSEMOVE, HTNOWHERE, 0);
    EXPECT_TRUE(description->Text().empty()) << "leaving the keys empties the description";

    // A click chooses a key, a second click lets it go, a click on another key moves the choice.
    // The keyboard holds no macro: the macro option stays off.
    ASSERT_EQ(0, Config().GetMacroCount());
    ClickKey(f);
    EXPECT_TRUE(f->IsHighlighted());
    for (int32_t type : {kActionDefaultKey, kActionSingleKey, kActionProfile, kActionLaunch})
        EXPECT_TRUE(OptionEnabled(type)) << "type " << type << " with a key chosen";
    EXPECT_FALSE(OptionEnabled(kActionMacro)) << "no macro to choose";
    EXPECT_TRUE(hvtest::CaptureWindow(dialog).SaveToTestDir(L"keyboard_keys_chosen.bmp"));
    ClickKey(f);
    EXPECT_FALSE(f->IsHighlighted());
    EXPECT_FALSE(OptionEnabled(kActionSingleKey)) << "the second click let the key go";
    ASSERT_TRUE(Config().AddMacro(L"Sample Macro", {{kMacroEventKey, 0x41001E, 0xFF}, {kMacroEventKey, 0x41001E, 1}}));
    ClickKey(f);
    EXPECT_TRUE(OptionEnabled(kActionMacro)) << "a macro to choose";
    ClickKey(e);
    EXPECT_FALSE(f->IsHighlighted());
    EXPECT_TRUE(e->IsHighlighted()) << "a click on another key moves the choice";
    dialog.SendMessage(WM_NCLBUTTONDOWN, HTNOWHERE, 0);
    FlushMessages();
    EXPECT_FALSE(e->IsHighlighted()) << "a click beside the keys lets the key go";
    EXPECT_FALSE(dialog.IsUnsaved(CVxAppDlg::kKeyboard)) << "choosing keys changes nothing";

    // E and A with other functions (as a device may hold them): marked, and described.
    ASSERT_TRUE(Config().SetAssignment(e->KeyHash(), AssignmentAction::Key(kActionSingleKey, 0x30, 0, kKeyFlagCtrl), nullptr));
    ASSERT_TRUE(Config().SetAssignment(a->KeyHash(), AssignmentAction::ByName(kActionMacroByName, L"Sample Macro"), nullptr));
    dialog.RefreshProfilePages(CVxAppDlg::kKeyboard);
    EXPECT_TRUE(e->IsChecked());
    EXPECT_TRUE(a->IsChecked());
    SendMessageW(*a, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    FlushMessages();
    EXPECT_EQ(Text(L"$macro") + L" |  " + Config().GetMacro(0)->GetName(), description->Text());

    // E gets its default back: unmarked, and written as the key it is.
    ClickKey(e);
    ChooseOption(kActionDefaultKey);
    EXPECT_EQ(kActionDefaultKey, Config().GetAssignment(e->KeyHash(), nullptr).type);
    EXPECT_FALSE(e->IsChecked()) << "a key with its default function is drawn unmarked";
    EXPECT_FALSE(e->IsHighlighted()) << "the choice ends with the assignment";
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kKeyboard));
    ApplyAndWait(dialog);
    const std::map<DWORD, AssignmentRecord> records = ProfileRecords(0);
    ASSERT_TRUE(records.count(0x12));
    EXPECT_EQ(hvmw::kKindKey, records.at(0x12).kind);
    EXPECT_EQ(0x12, records.at(0x12).MakeCode());
    EXPECT_EQ(0u, records.at(0x12).Modifiers());
    ASSERT_TRUE(records.count(0x1E));
    EXPECT_EQ(hvmw::kKindMacroRepeat, records.at(0x1E).kind);

    // A macro whose macro is gone shows the type's name alone.
    Config().RemoveMacro(Config().GetMacro(0));
    SendMessageW(*f, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    SendMessageW(*a, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    FlushMessages();
    EXPECT_EQ(Text(L"$macro"), description->Text());

    // The key page's reset asks first: No keeps the keys, Yes gives them their defaults.
    PopupAnswers popups(dialog);
    popups.Expect(L"keyboard_popup_restore.bmp", [](HWND popup) { ClickPopupItem(popup, BUTTON_POPUP_NO); });
    Command(Item(BUTTON_RESET_KEYBOARD_KEYS));
    EXPECT_TRUE(a->IsChecked());
    popups.Expect(L"keyboard_popup_restore_yes.bmp", [](HWND popup) { ClickPopupItem(popup, BUTTON_POPUP_YES); });
    Command(Item(BUTTON_RESET_KEYBOARD_KEYS));
    EXPECT_TRUE(popups.Done());
    EXPECT_EQ(kActionDefaultKey, Config().GetAssignment(a->KeyHash(), nullptr).type);
    EXPECT_FALSE(a->IsChecked());

    // Without a macro the macro option stays off; with one profile the profile switch does.
    while (Config().GetProfileCount() > 1)
        Config().DeleteProfile(Config().GetProfile(Config().GetProfileCount() - 1));
    dialog.RefreshProfilePages(CVxAppDlg::kKeyboard);
    ClickKey(f);
    EXPECT_TRUE(f->IsHighlighted());
    EXPECT_TRUE(OptionEnabled(kActionSingleKey));
    EXPECT_FALSE(OptionEnabled(kActionMacro));
    EXPECT_FALSE(OptionEnabled(kActionProfile));
    ChooseOption(kActionProfile);
    ChooseOption(kActionMacro);
    EXPECT_TRUE(f->IsHighlighted()) << "an option that is off does nothing";
    EXPECT_EQ(2, popups.Answered());
}

TEST_F(KeyboardPagesTest, KeysOfThePictureTakeEveryFunctionAndTheDeviceGetsThem)
{
    CVxAppDlg& dialog = OpenKeyboardPage(6);
    ASSERT_TRUE(Options());
    CKeyboardKeyItem* a = Key(L"BUTTON_KB_A");
    CKeyboardKeyItem* b = Key(L"BUTTON_KB_B");
    CKeyboardKeyItem* c = Key(L"BUTTON_KB_C");
    CKeyboardKeyItem* d = Key(L"BUTTON_KB_D");
    ASSERT_TRUE(a && b && c && d);
    PopupAnswers popups(dialog);

    // A: another key, Ctrl+B typed into the popup's key edit.
    ClickKey(a);
    popups.Expect(L"keyboard_popup_singlekey.bmp", [](HWND popup) {
        HWND edit = hvtest::FindItemWindow(popup, FindItemIdByName(L"EDITCTRL_POPUP_SINGLEKEYENTRY"), false);
        ASSERT_TRUE(edit);
        EXPECT_TRUE(hvtest::PressKey('B', MOD_CONTROL, edit));
        FlushMessages();
        ClickPopupItem(popup, BUTTON_POPUP_OK);
    });
    ChooseOption(kActionSingleKey);
    const AssignmentAction key = Config().GetAssignment(a->KeyHash(), nullptr);
    EXPECT_EQ(kActionSingleKey, key.type);
    EXPECT_EQ(0x30, key.ScanCode());
    EXPECT_EQ(kKeyFlagCtrl, key.payload.key.flags & kKeyFlagCtrl);
    EXPECT_TRUE(a->IsChecked());

    // B: a macro made here (known by its name until it is written), played a number of times (3).
    ASSERT_TRUE(Config().AddMacro(L"Keys", {{kMacroEventKey, 0x41001E, 0xFF}, {kMacroEventKey, 0x41001E, 1}}));
    ClickKey(b);
    popups.Expect(L"keyboard_popup_macro.bmp", [](HWND popup) {
        HWND times = hvtest::FindItemWindow(popup, FindItemIdByName(L"BUTTON_MACRO_PLAY_MULTIPLE"), false);
        ASSERT_TRUE(times);
        ClickWindow(times);
        ClickPopupItem(popup, BUTTON_POPUP_OK);
    });
    popups.Expect(L"keyboard_popup_repeat.bmp", [](HWND popup) {
        HWND count = hvtest::FindItemWindow(popup, FindItemIdByName(L"EDITCTRL_POPUP_NUMENTRY"), false);
        ASSERT_TRUE(count);
        SetWindowTextW(count, L"3");
        ClickPopupItem(popup, BUTTON_POPUP_OK);
    });
    ChooseOption(kActionMacro);
    const AssignmentAction macro = Config().GetAssignment(b->KeyHash(), nullptr);
    EXPECT_EQ(kActionMacroByName, macro.type);
    EXPECT_EQ(std::wstring(L"Keys"), macro.payload.name);
    EXPECT_EQ(kPlayCount, macro.playMode);
    EXPECT_EQ(3, macro.repeatCount);

    // D: a program; a path too long for the device is refused with its notice first.
    m_files.paths = {L"C:\\" + std::wstring(260, L'x') + L".exe", L"C:\\Tools\\Writer.exe"};
    ClickKey(d);
    popups.Expect(L"keyboard_popup_pathlength.bmp", [](HWND popup) { ClickPopupItem(popup, BUTTON_POPUP_SINGLE_OK); });
    ChooseOption(kActionLaunch);
    EXPECT_EQ(kActionDefaultKey, Config().GetAssignment(d->KeyHash(), nullptr).type);
    ASSERT_EQ(1u, m_files.requests.size());
    EXPECT_EQ(L"*.exe|*.exe||", m_files.requests[0].filter);
    EXPECT_TRUE(m_files.requests[0].flags & OFN_FILEMUSTEXIST);
    EXPECT_TRUE(d->IsHighlighted()) << "a refused program leaves the key chosen";
    ChooseOption(kActionLaunch);
    EXPECT_EQ(kActionLaunchByName, Config().GetAssignment(d->KeyHash(), nullptr).type);

    // C: a switch to the second profile (the first other than the active one).
    ClickKey(c);
    popups.Expect(L"keyboard_popup_profile.bmp", [](HWND popup) { ClickPopupItem(popup, BUTTON_POPUP_OK); });
    ChooseOption(kActionProfile);
    EXPECT_EQ(kActionProfile, Config().GetAssignment(c->KeyHash(), nullptr).type);
    EXPECT_TRUE(popups.Done());
    EXPECT_EQ(5, popups.Answered());
    EXPECT_TRUE(hvtest::CaptureWindow(dialog).SaveToTestDir(L"keyboard_keys_assigned.bmp"));

    ApplyAndWait(dialog);
    const std::map<DWORD, AssignmentRecord> records = ProfileRecords(0);
    auto record = [&](DWORD code) {
        auto found = records.find(code);
        return found == records.end() ? AssignmentRecord{} : found->second;
    };
    EXPECT_EQ(hvmw::kKindKey, record(0x1E).kind);
    EXPECT_EQ(0x30, record(0x1E).MakeCode()) << "Ctrl+B on A";
    EXPECT_EQ(hvmw::kModCtrl, record(0x1E).Modifiers() & (hvmw::kModCtrl | hvmw::kModAlt | hvmw::kModShift));
    EXPECT_EQ(hvmw::kKindMacroRepeat, record(0x30).kind);
    ASSERT_TRUE(Config().FindMacroByName(L"Keys"));
    EXPECT_FALSE(hv::IsNullGUID(Config().FindMacroByName(L"Keys")->GetGuid()));
    EXPECT_TRUE(hv::IsEqualGUID(Config().FindMacroByName(L"Keys")->GetGuid(), record(0x30).TargetGuid()));
    EXPECT_EQ(hvmw::kRepeatCount, record(0x30).RepeatMode());
    EXPECT_EQ(3, record(0x30).RepeatCount());
    EXPECT_EQ(hvmw::kKindProfile, record(0x2E).kind);
    EXPECT_TRUE(hv::IsEqualGUID(Config().GetProfile(1)->GetGuid(), record(0x2E).ProfileGuid()));
    EXPECT_EQ(hvmw::kKindApplication, record(0x20).kind);
    const CHvApp* app = Config().FindApp(L"C:\\Tools\\Writer.exe");
    ASSERT_TRUE(app);
    EXPECT_TRUE(hv::IsEqualGUID(app->guid, record(0x20).TargetGuid()));
}

TEST_F(KeyboardPagesTest, LightsAreSwitchedPerProfileAndRestoredOnlyWhenConfirmed)
{
    CVxAppDlg& dialog = OpenKeyboardPage(9);
    HWND mainOn = Item(BUTTON_VXKBD_LTMAIN_ON);
    HWND mainOff = Item(BUTTON_VXKBD_LTMAIN_OFF);
    HWND sideOn = Item(BUTTON_VXKBD_LTSIDE_ON);
    HWND sideOff = Item(BUTTON_VXKBD_LTSIDE_OFF);
    ASSERT_TRUE(mainOn && mainOff && sideOn && sideOff);
    auto pressed = [](HWND button) {
        return dynamic_cast<CBitmapBtn*>(CWnd::FromHandlePermanent(button))->IsChecked();
    };
    const bool mainLit = Config().GetLedState(4, nullptr);
    EXPECT_EQ(mainLit, pressed(mainOn));
    EXPECT_EQ(!mainLit, pressed(mainOff));
    EXPECT_TRUE(hvtest::CaptureWindow(dialog).SaveToTestDir(L"keyboard_lighting_page.bmp"));

    // Both lights off through real clicks; "off" again leaves the pair as it is.
    ClickWindow(mainOff);
    ClickWindow(sideOff);
    ClickWindow(sideOff);
    FlushMessages();
    EXPECT_FALSE(pressed(mainOn));
    EXPECT_TRUE(pressed(mainOff));
    EXPECT_FALSE(pressed(sideOn));
    EXPECT_TRUE(pressed(sideOff));
    EXPECT_FALSE(Config().GetLedState(4, nullptr));
    EXPECT_FALSE(Config().GetLedState(10, nullptr));
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kKeyboard));

    // Another profile shows its own lights; back on the first, its lights are still off.
    HWND combo = Item(BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT);
    ASSERT_TRUE(combo);
    dialog.SendMessage(WM_DROPDOWN_SELCHANGE, 1, reinterpret_cast<LPARAM>(combo));
    FlushMessages();
    EXPECT_EQ(Config().GetProfile(1), Config().GetActiveProfile());
    EXPECT_TRUE(pressed(mainOn));
    EXPECT_TRUE(pressed(sideOn));
    ClickWindow(sideOff);
    dialog.SendMessage(WM_DROPDOWN_SELCHANGE, 0, reinterpret_cast<LPARAM>(combo));
    FlushMessages();
    EXPECT_TRUE(pressed(mainOff));
    EXPECT_TRUE(pressed(sideOff));
    EXPECT_TRUE(hvtest::CaptureWindow(dialog).SaveToTestDir(L"keyboard_lighting_off.bmp"));

    ApplyAndWait(dialog);
    std::map<std::string, bool> lights = Lights();
    ASSERT_TRUE(lights.count("0/5") && lights.count("0/11") && lights.count("1/5") && lights.count("1/11"));
    EXPECT_FALSE(lights["0/5"]) << "the main light is LED 5";
    EXPECT_FALSE(lights["0/11"]) << "the side light is LED 11";
    EXPECT_TRUE(lights["1/5"]);
    EXPECT_FALSE(lights["1/11"]);

    // Restore: No leaves the lights (and the keys); Yes lights both again.
    ASSERT_TRUE(Config().SetAssignment(HashText(L"a A"), AssignmentAction::Key(kActionSingleKey, 0x30, 0, 0), nullptr));
    PopupAnswers popups(dialog);
    popups.Expect(L"keyboard_popup_restore_lighting.bmp", [](HWND popup) { ClickPopupItem(popup, BUTTON_POPUP_NO); });
    Command(Item(BUTTON_RESET_KEYBOARD));
    EXPECT_TRUE(pressed(mainOff));
    EXPECT_TRUE(pressed(sideOff));
    EXPECT_FALSE(Config().GetLedState(4, nullptr));
    EXPECT_EQ(kActionSingleKey, Config().GetAssignment(HashText(L"a A"), nullptr).type);
    popups.Expect(L"keyboard_popup_restore_lighting_yes.bmp", [](HWND popup) { ClickPopupItem(popup, BUTTON_POPUP_YES); });
    Command(Item(BUTTON_RESET_KEYBOARD));
    EXPECT_TRUE(popups.Done());
    EXPECT_TRUE(pressed(mainOn));
    EXPECT_TRUE(pressed(sideOn));
    EXPECT_EQ(kActionDefaultKey, Config().GetAssignment(HashText(L"a A"), nullptr).type);

    ApplyAndWait(dialog);
    lights = Lights();
    EXPECT_TRUE(lights["0/5"]);
    EXPECT_TRUE(lights["0/11"]);
}


// The key page's reset (a question) and its macro choice (a popup) while the keyboard leaves, or
// leaves and comes back: the reset reaches the profile it asked about where the keyboard read anew
// still holds it and nothing where it is gone, and the choice offers the macros there are.
TEST_F(KeyboardPagesTest, TheKeyResetAndTheMacroChoiceFollowTheKeyboardThroughItsNotices)
{
    CVxAppDlg& dialog = OpenKeyboardPage(6);
    CKeyboardKeyItem* a = Key(L"BUTTON_KB_A");
    ASSERT_TRUE(a);
    const int32_t hash = a->KeyHash();
    int active = -1;
    for (int i = 0; i < Config().GetProfileCount(); ++i)
        if (Config().GetProfile(i) == Config().GetActiveProfile())
            active = i;
    ASSERT_GE(active, 0);
    const std::map<DWORD, AssignmentRecord> factory = ProfileRecords(active);
    // The key given another function, written.
    const uint16_t scanB = static_cast<uint16_t>(MapVirtualKeyW('B', MAPVK_VK_TO_VSC));
    ASSERT_TRUE(Config().SetAssignment(hash, AssignmentAction::Key(kActionSingleKey, scanB, 'B', 0), nullptr));
    dialog.SetModified();
    ApplyAndWait(dialog);
    const std::map<DWORD, AssignmentRecord> changed = ProfileRecords(active);
    ASSERT_NE(factory.size(), 0u);
    const auto sameRecords = [](const std::map<DWORD, AssignmentRecord>& x, const std::map<DWORD, AssignmentRecord>& y) {
        if (x.size() != y.size())
            return false;
        for (const auto& [id, record] : x)
            if (!y.count(id) || memcmp(&record, &y.at(id), sizeof record) != 0)
                return false;
        return true;
    };
    ASSERT_FALSE(sameRecords(factory, changed));

    // The keyboard leaves and comes back while the question is up: the profile read anew (the same
    // GUID and name, still the active one) is reset.
    const auto askLeavingAndReturning = [&](const wchar_t* picture, bool switchProfile) {
        PopupAnswers popups(dialog);
        popups.Expect(picture, [switchProfile](HWND popup) {
            // The keyboard's own profile key pressed meanwhile: another profile is active on it.
            if (switchProfile)
                simtest::Tool({L"profile", L"keyboard", L"next"});
            simtest::Tool({L"unplug", L"keyboard"});
            simtest::Tool({L"plug", L"keyboard"});
            ClickPopupItem(popup, BUTTON_POPUP_YES);
        });
        Command(Item(BUTTON_RESET_KEYBOARD_KEYS));
        EXPECT_TRUE(popups.Done());
        EXPECT_TRUE(dialog.IsConnected(CVxAppDlg::kKeyboard));
        Command(Item(BUTTON_PRODSELECT_KEYBOARD));
    };
    askLeavingAndReturning(L"keyboard_restore_returning.bmp", false);
    EXPECT_EQ(kActionDefaultKey, Config().GetAssignment(hash, nullptr).type);
    dialog.SetModified();
    ApplyAndWait(dialog);
    EXPECT_TRUE(sameRecords(factory, ProfileRecords(active))) << "the reset did not reach the profile asked about";

    // Again, but another profile is active once the keyboard is read anew: Yes resets neither.
    ASSERT_TRUE(Config().SetAssignment(hash, AssignmentAction::Key(kActionSingleKey, scanB, 'B', 0), nullptr));
    const int next = (active + 1) % Config().GetProfileCount();
    ASSERT_NE(next, active);
    ASSERT_TRUE(Config().SetAssignment(hash, AssignmentAction::Key(kActionSingleKey, scanB, 'B', 0), Config().GetProfile(next)));
    dialog.SetModified();
    ApplyAndWait(dialog);
    const std::map<DWORD, AssignmentRecord> asked = ProfileRecords(active);
    const std::map<DWORD, AssignmentRecord> other = ProfileRecords(next);
    askLeavingAndReturning(L"keyboard_restore_switched.bmp", true);
    ASSERT_EQ(Config().GetProfile(next), Config().GetActiveProfile());
    EXPECT_EQ(kActionSingleKey, Config().GetAssignment(hash, nullptr).type) << "the reset reached another profile";
    dialog.SetModified();
    ApplyAndWait(dialog);
    EXPECT_TRUE(sameRecords(asked, ProfileRecords(active)));
    EXPECT_TRUE(sameRecords(other, ProfileRecords(next))) << "the reset reached another profile";

    // A macro made but not written is offered by the macro choice until the keyboard is read anew
    // while the choice is up: then the choice offers only what the keyboard holds.
    ASSERT_TRUE(Config().AddMacro(L"Loose", {}));
    dialog.RefreshProfilePages(CVxAppDlg::kKeyboard);
    ClickKey(Key(L"BUTTON_KB_F"));
    bool offered = false;
    bool stillOffered = true;
    {
        PopupAnswers popups(dialog);
        popups.Expect(L"keyboard_macro_choice_refilled.bmp", [&](HWND popup) {
            auto* box = dynamic_cast<CPopupBox*>(CWnd::FromHandlePermanent(popup));
            auto* list = box ? box->Items().FindAs<CDropdownListItem>(LIST_DROPDOWN_POPUP, ItemKind::DropdownList)
                             : nullptr;
            offered = list && list->FindEntry(L"Loose") >= 0;
            simtest::Tool({L"unplug", L"keyboard"});
            simtest::Tool({L"plug", L"keyboard"});
            stillOffered = list && list->FindEntry(L"Loose") >= 0;
            ClickPopupItem(popup, BUTTON_POPUP_CANCEL);
        });
        ChooseOption(kActionMacro);
        EXPECT_TRUE(popups.Done());
    }
    EXPECT_TRUE(offered);
    EXPECT_FALSE(stillOffered) << "the choice still offers a macro the keyboard does not hold";
    EXPECT_FALSE(Config().FindMacroByName(L"Loose"));
}

} // namespace
