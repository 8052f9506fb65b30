// The macro pages of the main dialog in the test's own process over the registered simulator: a
// user's session on each page, driven through the real items (commands and notices as the items
// send them, keys and the click on Stop through SendInput), the popups answered from inside their
// modal loops, the file dialogs through the window layer's seam, and the outcome checked on the
// configuration, on the simulator's dump after Apply and on the files written.
#include "SimTest.h"

#include "HvTest.h"
#include "PopupScript.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "controls/BitmapBtn.h"
#include "platform/CommonDialogs.h"
#include "controls/ControlMessages.h"
#include "controls/DropdownListItem.h"
#include "controls/EditItem.h"
#include "skin/GUIPanel.h"
#include "model/KeyboardConfig.h"
#include "controls/ListPanel.h"
#include "controls/MacroDisplay.h"
#include "model/MouseConfig.h"
#include "VexaInProcess.h"
#include "VexaApp/VxAppDlg.h"
#include "core/ItemIds.h"
#include "platform/WStr.h"

using hvtest::WaitUntil;

namespace {

// Answers the file dialogs the program asks for, in order, and keeps what it asked.
class ScriptedDialogs : public ICommonDialogs
{
public:
    int ShowMessage(HWND, const std::wstring&, const std::wstring&, UINT) override
    {
        ADD_FAILURE() << "a message box";
        return IDCANCEL;
    }
    bool PickFile(const FileDialogRequest& request, std::wstring& path) override
    {
        asked.push_back(request);
        if (answers.empty())
            return false;
        path = answers.front();
        answers.pop_front();
        return true;
    }
    bool PickColor(const ColorDialogRequest&, COLORREF&) override { return false; }

    std::vector<FileDialogRequest> asked;
    std::deque<std::wstring> answers;  // one path per dialog; none left: the dialog is cancelled
};

// Drives the modal popups of this thread from inside their loops (hvtest::ModalScript): each step
// runs once a popup (or list panel) not handled before is shown and enabled.
class MacroPopups : public hvtest::ModalScript
{
public:
    using Step = std::function<void(CGUIPanel&)>;

    explicit MacroPopups(HWND main) : hvtest::ModalScript([main] { return InFront(main); }, End, NameOf) {}
    ~MacroPopups() { EXPECT_TRUE(Done()) << Left() << " popups did not come up; this thread's windows:" << Windows(); }
    MacroPopups& Then(Step step)
    {
        ExpectOnce([step = std::move(step)](HWND popup) { step(*PanelOf(popup)); });
        return *this;
    }

private:
    static CGUIPanel* PanelOf(HWND hwnd) { return dynamic_cast<CGUIPanel*>(CWnd::FromHandlePermanent(hwnd)); }
    static HWND InFront(HWND main)
    {
        return hvtest::ThreadWindow([main](HWND hwnd) {
            CGUIPanel* panel = PanelOf(hwnd);
            if (!panel || hwnd == main || !IsWindowEnabled(hwnd))
                return false;
            auto* list = dynamic_cast<CListPanel*>(panel);
            return !list || GetFocus() == list->List().GetSafeHwnd();  // a list is ready once it has the focus
        });
    }
    static void End(HWND hwnd)
    {
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
        if (dynamic_cast<CListPanel*>(PanelOf(hwnd)))
            PostMessageW(hwnd, WM_LISTPANEL_SELECT, 0, -1);
    }
    static std::string NameOf(HWND hwnd) { return wstr::WideToUtf8(PanelOf(hwnd)->LayoutFile()); }

    static BOOL CALLBACK DescribeWindow(HWND hwnd, LPARAM data)
    {
        auto* out = reinterpret_cast<std::string*>(data);
        auto* panel = PanelOf(hwnd);
        *out += "\n  " + wstr::WideToUtf8(hvtest::ClassNameOf(hwnd)) + " \"" +
                wstr::WideToUtf8(panel ? panel->LayoutFile() : hvtest::TextOf(hwnd)) + "\" visible " +
                std::to_string(IsWindowVisible(hwnd) != 0) + " enabled " + std::to_string(IsWindowEnabled(hwnd) != 0);
        return TRUE;
    }
    static std::string Windows()
    {
        std::string text;
        EnumThreadWindows(GetCurrentThreadId(), DescribeWindow, reinterpret_cast<LPARAM>(&text));
        return text;
    }
};

HWND PopupItem(CGUIPanel& popup, int id)
{
    CGUIItem* item = popup.Items().FindById(id);
    return item ? item->window : nullptr;
}

// What a click on a popup's button sends the popup, posted so that the step returns first.
void ClickPopupItem(CGUIPanel& popup, int id)
{
    HWND button = PopupItem(popup, id);
    EXPECT_TRUE(button) << "no item " << id << " in " << wstr::WideToUtf8(popup.LayoutFile());
    popup.PostMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void Picture(CWnd& window, const std::wstring& name)
{
    window.UpdateWindow();
    hvtest::Bitmap shot = hvtest::CaptureWindow(window.GetSafeHwnd());
    EXPECT_FALSE(shot.Empty()) << wstr::WideToUtf8(name);
    shot.SaveToTestDir(name);
}

// A notice or question: its layout, the text its heading ends with, a picture; then the button.
MacroPopups::Step Answer(const wchar_t* layout, std::wstring headingEnd, int button, std::wstring picture = L"")
{
    return [=](CGUIPanel& popup) {
        EXPECT_EQ(layout, popup.LayoutFile());
        const std::wstring heading = vexatest::HeadingOf(popup);
        EXPECT_TRUE(heading.size() >= headingEnd.size() &&
                    heading.compare(heading.size() - headingEnd.size(), headingEnd.size(), headingEnd) == 0)
            << "heading \"" << wstr::WideToUtf8(heading) << "\" of " << wstr::WideToUtf8(layout);
        if (!picture.empty())
            Picture(popup, picture);
        ClickPopupItem(popup, button);
    };
}

// The name entry: the name typed into its edit, OK.
MacroPopups::Step EnterName(std::wstring name, std::wstring picture = L"")
{
    return [=](CGUIPanel& popup) {
        EXPECT_EQ(L"MacroNamePopup.xml", popup.LayoutFile());
        HWND edit = PopupItem(popup, EDITCTRL_POPUP_NAMEENTRY);
        EXPECT_TRUE(edit);
        SetWindowTextW(edit, name.c_str());
        if (!picture.empty())
            Picture(popup, picture);
        ClickPopupItem(popup, BUTTON_POPUP_OK);
    };
}

// A list panel: the entry of that name chosen.
MacroPopups::Step ChooseEntry(std::wstring name)
{
    return [=](CGUIPanel& panel) {
        auto* list = dynamic_cast<CListPanel*>(&panel);
        ASSERT_TRUE(list) << "not a list panel: " << wstr::WideToUtf8(panel.LayoutFile());
        const std::vector<ListEntry>& entries = list->List().Entries();
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].name == name) {
                list->PostMessage(WM_LISTPANEL_SELECT, 0, static_cast<LPARAM>(i));
                return;
            }
        }
        ADD_FAILURE() << "no entry " << wstr::WideToUtf8(name);
        list->PostMessage(WM_LISTPANEL_SELECT, 0, -1);
    };
}

// The single-key entry: a key typed into its edit (which reads raw input), OK.
MacroPopups::Step TypeKey(WORD vk, std::wstring picture = L"")
{
    return [=](CGUIPanel& popup) {
        EXPECT_EQ(L"SingleKeyPopup.xml", popup.LayoutFile());
        EXPECT_TRUE(hvtest::KeyDown(vk));
        EXPECT_TRUE(hvtest::KeyUp(vk));
        if (!picture.empty())
            Picture(popup, picture);
        ClickPopupItem(popup, BUTTON_POPUP_OK);
    };
}

MacroEvent Key(uint16_t vk, bool down)
{
    const uint32_t scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    return {kMacroEventKey, static_cast<int32_t>(scan | (uint32_t(vk) << 16)), down ? kKeyStatePressed : kKeyStateReleased};
}

std::string Describe(const std::vector<MacroEvent>& events)
{
    std::string text;
    for (const MacroEvent& e : events)
        text += "{" + std::to_string(e.type) + "," + std::to_string(e.value) + "," + std::to_string(e.extra) + "} ";
    return text;
}

// Mouse buttons pressed where the pointer is, without moving it.
bool PressButtons(DWORD down, DWORD up)
{
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = down;
    inputs[1].mi.dwFlags = up;
    const bool sent = SendInput(2, inputs, sizeof(INPUT)) == 2;
    hvtest::FlushMessages();
    return sent;
}

POINT CentreOnScreen(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The macros of a device's dump: name and event list, as "Name: key 0x1E 0x.., delay 50, ...".
std::vector<std::string> DeviceMacros(const wchar_t* device)
{
    std::vector<std::string> macros;
    const std::vector<std::string> lines = simtest::DumpLines(device);
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].rfind("macro ", 0) != 0)
            continue;
        const size_t quote = lines[i].find('"');
        macros.push_back(lines[i].substr(quote) + lines[i + 1]);
    }
    return macros;
}

bool HasDeviceMacro(const wchar_t* device, const std::string& name, size_t events)
{
    for (const std::string& macro : DeviceMacros(device))
        if (macro.rfind("\"" + name + "\" events " + std::to_string(events), 0) == 0)
            return true;
    return false;
}

std::string DeviceMode(const wchar_t* device)
{
    const std::vector<std::string> lines = simtest::DumpLines(device, "mode ");
    return lines.empty() ? std::string() : lines[0];
}

class VexaMacroPagesTest : public simtest::SimTest
{
protected:
    void SetUp() override
    {
        simtest::SimTest::SetUp();
        m_previousDialogs = SetCommonDialogs(&m_files);
    }
    void TearDown() override
    {
        m_vexa.Close();
        SetCommonDialogs(m_previousDialogs);
        simtest::SimTest::TearDown();
    }

    CVxAppDlg& OpenDialog()
    {
        CVxAppDlg* dialog = m_vexa.Open();
        EXPECT_TRUE(dialog);
        return *dialog;
    }
    HWND Item(int id, bool visibleOnly = true) const { return m_vexa.Item(id, visibleOnly); }
    template <class T>
    T* ItemObject(int id) const
    {
        return dynamic_cast<T*>(CWnd::FromHandlePermanent(Item(id)));
    }
    bool Enabled(int id) const { return Item(id) && IsWindowEnabled(Item(id)); }
    void Command(int id)
    {
        HWND item = Item(id);
        ASSERT_TRUE(item) << "no item " << id;
        m_vexa.Command(item);
    }
    // A press on a check box: it turns and tells the dialog, as a click does.
    void Toggle(int id)
    {
        HWND box = Item(id);
        ASSERT_TRUE(box) << "no check box " << id;
        SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageW(box, WM_LBUTTONUP, 0, 0);
    }
    // The popups a step of the test shows, answered in order while it runs.
    void WithPopups(std::initializer_list<MacroPopups::Step> steps, const std::function<void()>& action)
    {
        MacroPopups script(m_vexa.Dialog().GetSafeHwnd());
        for (const MacroPopups::Step& step : steps)
            script.Then(step);
        action();
        EXPECT_TRUE(WaitUntil([&] { return script.Done(); }, 15000));
        hvtest::FlushMessages();
    }
    // Chooses a macro in the page's list as the user does: the list opens, the entry is picked.
    void ChooseMacro(int listId, const std::wstring& name)
    {
        WithPopups({ChooseEntry(name)}, [&] { PostMessageW(Item(listId), WM_LBUTTONDOWN, MK_LBUTTON, 0); });
        auto* list = ItemObject<CDropdownListItem>(listId);
        ASSERT_TRUE(list);
        EXPECT_EQ(name, list->ShownText());
    }
    // Right-clicks a row of the display and picks the command of its menu.
    void RunRowMenu(CMacroDisplayItem& display, int row, const wchar_t* command, std::initializer_list<MacroPopups::Step> then = {})
    {
        display.EnsureVisible(row, false);
        const CRect r = display.GetItemRect(row);
        const LPARAM point = MAKELPARAM(r.left + 60, (r.top + r.bottom) / 2);
        std::vector<MacroPopups::Step> steps = {ChooseEntry(command)};
        steps.insert(steps.end(), then.begin(), then.end());
        MacroPopups script(m_vexa.Dialog().GetSafeHwnd());
        for (const MacroPopups::Step& step : steps)
            script.Then(step);
        display.PostMessage(WM_RBUTTONDOWN, MK_RBUTTON, point);
        EXPECT_TRUE(WaitUntil([&] { return script.Done(); }, 15000));
        hvtest::FlushMessages();
    }
    void SelectRow(CMacroDisplayItem& display, int row)
    {
        display.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    // Records keys typed through SendInput and stops with a real click on the record button.
    void RecordKeys(CMacroDisplayItem& display, int recordId, std::initializer_list<WORD> keys)
    {
        ASSERT_TRUE(display.IsRecording());
        ASSERT_TRUE(hvtest::PrepareTarget(display.GetSafeHwnd()));
        auto* record = ItemObject<CBitmapBtn>(recordId);
        ASSERT_TRUE(record);
        const size_t before = display.Events().size();
        for (WORD vk : keys) {
            ASSERT_TRUE(hvtest::KeyDown(vk));
            ASSERT_TRUE(hvtest::KeyUp(vk));
            Sleep(20);
        }
        ASSERT_TRUE(WaitUntil([&] { return display.Events().size() >= before + 2 * keys.size(); }, 5000))
            << Describe(display.Events());
        // The record button holds the mouse while the pointer is on it: its click is no event.
        ASSERT_TRUE(hvtest::MoveCursorTo(CentreOnScreen(record->GetSafeHwnd())));
        ASSERT_TRUE(WaitUntil([&] { return record->IsHover() && GetCapture() == record->GetSafeHwnd(); }, 5000));
        ASSERT_TRUE(PressButtons(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP));
        ASSERT_TRUE(WaitUntil([&] { return !display.IsRecording(); }, 5000));
        hvtest::FlushMessages();
    }
    void Apply(CVxAppDlg& dialog, bool keyboard)
    {
        Command(BUTTON_APPLY);
        keyboard ? dialog.WaitForKeyboard() : dialog.WaitForMouse();
    }

    vexatest::InProcessVexa m_vexa;
    ScriptedDialogs m_files;
    ICommonDialogs* m_previousDialogs = nullptr;
};

// The events with every delay dropped: what the keys alone make.
std::vector<MacroEvent> WithoutDelays(const std::vector<MacroEvent>& events)
{
    std::vector<MacroEvent> kept;
    for (const MacroEvent& e : events)
        if (e.type != kMacroEventDelay)
            kept.push_back(e);
    return kept;
}

} // namespace

TEST_F(VexaMacroPagesTest, MouseMacrosAreMadeRecordedEditedExchangedAndDeleted)
{
    CVxAppDlg& dialog = OpenDialog();
    IMouseConfig* config = m_vexa.MouseConfig();
    ASSERT_TRUE(config);
    const int factoryMacros = config->GetMacroCount();
    Command(BUTTON_MANAGEMACROS);
    ASSERT_EQ(4, dialog.CurrentPageNumber());
    auto* list = ItemObject<CDropdownListItem>(LIST_GLOBALMACROLIST);
    auto* display = ItemObject<CMacroDisplayItem>(MACRO_DISPLAY);
    auto* edit = ItemObject<CEditItem>(EDITCTRL_DEFAULT_DELAY);
    ASSERT_TRUE(list && display && edit);

    // The first fill: every macro listed, none chosen; record and the commands need one.
    ASSERT_EQ(static_cast<size_t>(factoryMacros), list->Entries().size());
    for (int i = 0; i < factoryMacros; ++i)
        EXPECT_EQ(config->GetMacro(i)->GetName(), list->GetEntryText(i));
    EXPECT_FALSE(Enabled(BUTTON_MACRO_RECORD));
    EXPECT_FALSE(Enabled(BUTTON_MACRO_ADVANCED));
    EXPECT_EQ(L"50", edit->GetWindowText());
    EXPECT_FALSE(edit->IsWindowEnabled());
    Picture(dialog, L"mouse_macro_page.bmp");

    // A new macro; a second one whose name differs only in case is refused.
    WithPopups({EnterName(L"Alpha", L"macro_name_popup.bmp")}, [&] { Command(BUTTON_MACRO_CREATE); });
    ASSERT_TRUE(config->FindMacroByName(L"Alpha"));
    EXPECT_EQ(L"Alpha", list->ShownText());
    EXPECT_TRUE(Enabled(BUTTON_MACRO_RECORD));
    EXPECT_TRUE(Enabled(BUTTON_MACRO_ADVANCED));
    WithPopups({EnterName(L"ALPHA"), Answer(L"DuplicateMacroWarningPopup.xml", L": Alpha", BUTTON_POPUP_SINGLE_OK,
                                            L"duplicate_macro_popup.bmp")},
               [&] { Command(BUTTON_MACRO_CREATE); });
    EXPECT_EQ(factoryMacros + 1, config->GetMacroCount());

    // Recording: A and B typed, the click on Stop not recorded; the rest of the page and the
    // navigation are off meanwhile.
    Command(BUTTON_MACRO_RECORD);
    ASSERT_TRUE(display->IsRecording());
    EXPECT_TRUE(dialog.IsRecording());
    for (int id : {BUTTON_MACRO_CREATE, BUTTON_MACRO_IMPORT, BUTTON_MACRO_EXPORT, BUTTON_MACRO_DELETE,
                   BUTTON_MACRO_ADVANCED, BUTTON_IGNORE_DELAY, BUTTON_INSERTDEFAULT_DELAY, BUTTON_APPLY, BUTTON_OK})
        EXPECT_FALSE(Enabled(id)) << "item " << id << " is enabled while recording";
    EXPECT_TRUE(list->IsDisabled());
    EXPECT_TRUE(Enabled(BUTTON_MACRO_RECORD));
    Picture(dialog, L"mouse_macro_page_recording.bmp");
    RecordKeys(*display, BUTTON_MACRO_RECORD, {'A', 'B'});
    EXPECT_FALSE(dialog.IsRecording());
    EXPECT_TRUE(Enabled(BUTTON_MACRO_CREATE));
    EXPECT_TRUE(Enabled(BUTTON_APPLY));
    const std::vector<MacroEvent> recorded = config->FindMacroByName(L"Alpha")->GetEvents();
    ASSERT_EQ(7u, recorded.size()) << Describe(recorded);
    EXPECT_EQ((std::vector<MacroEvent>{Key('A', true), Key('A', false), Key('B', true), Key('B', false)}),
              WithoutDelays(recorded))
        << Describe(recorded);

    // Recording again adds to the macro shown; with the default delay on, every gap is that delay.
    Toggle(BUTTON_INSERTDEFAULT_DELAY);
    EXPECT_TRUE(edit->IsWindowEnabled());
    WithPopups({Answer(L"DefaultDelayWarningPopup.xml", L"", BUTTON_POPUP_SINGLE_OK, L"default_delay_popup.bmp")},
               [&] { edit->SetWindowText(L""); });
    EXPECT_EQ(L"50", edit->GetWindowText()) << "an empty delay is put back";
    edit->SetWindowText(L"120");
    Command(BUTTON_MACRO_RECORD);
    RecordKeys(*display, BUTTON_MACRO_RECORD, {'C'});
    std::vector<MacroEvent> events = config->FindMacroByName(L"Alpha")->GetEvents();
    ASSERT_EQ(11u, events.size()) << Describe(events);
    EXPECT_EQ((MacroEvent{kMacroEventDelay, 120, 0}), events[7]) << Describe(events);
    EXPECT_EQ(Key('C', true), events[8]);
    EXPECT_EQ((MacroEvent{kMacroEventDelay, 120, 0}), events[9]);
    EXPECT_EQ(Key('C', false), events[10]);
    // The two options exclude each other.
    Toggle(BUTTON_IGNORE_DELAY);
    EXPECT_FALSE(ItemObject<CBitmapBtn>(BUTTON_INSERTDEFAULT_DELAY)->IsChecked());
    EXPECT_FALSE(edit->IsWindowEnabled());
    Toggle(BUTTON_IGNORE_DELAY);

    // A delay inserted after the first event, from the row's menu.
    RunRowMenu(*display, 0, L"$InsertDelay");
    events = config->FindMacroByName(L"Alpha")->GetEvents();
    ASSERT_EQ(12u, events.size()) << Describe(events);
    EXPECT_EQ(kMacroEventDelay, events[1].type);

    // A predefined command after the selected event.
    SelectRow(*display, 0);
    WithPopups({[&](CGUIPanel& popup) {
                    EXPECT_EQ(L"AdvancedMacroPopup.xml", popup.LayoutFile());
                    Picture(popup, L"advanced_macro_popup.bmp");
                    PostMessageW(PopupItem(popup, LIST_GLOBAL_BASIC_COMMANDS), WM_LBUTTONDOWN, MK_LBUTTON, 0);
                },
                ChooseEntry(L"$copy"),
                [&](CGUIPanel& popup) { ClickPopupItem(popup, BUTTON_ADD_BASIC_MACRO_CMDS); }},
               [&] { Command(BUTTON_MACRO_ADVANCED); });
    events = config->FindMacroByName(L"Alpha")->GetEvents();
    ASSERT_EQ(16u, events.size()) << Describe(events);
    EXPECT_EQ(Key('A', true), events[0]);
    EXPECT_EQ((MacroEvent{kMacroEventKey, 0xA2001D, 0xFF}), events[1]) << "Ctrl down follows the selected event";
    EXPECT_EQ((MacroEvent{kMacroEventKey, 0x43002E, 1}), events[3]);
    EXPECT_EQ((MacroEvent{kMacroEventKey, 0xA2001D, 1}), events[4]);
    EXPECT_EQ(events.size(), display->Events().size());

    // Editing the first key event: only it changes, its release stays as it was.
    RunRowMenu(*display, 0, L"$Edit", {TypeKey('Z', L"single_key_popup.bmp")});
    events = config->FindMacroByName(L"Alpha")->GetEvents();
    ASSERT_EQ(16u, events.size());
    EXPECT_EQ(Key('Z', true), events[0]) << Describe(events);
    EXPECT_EQ(Key('A', false), WithoutDelays(events)[5]) << "the partner is left as it was";

    // Export before Apply: the device does not hold the macro yet.
    WithPopups({Answer(L"ExportMacroWarningPopup.xml", L": Alpha", BUTTON_POPUP_SINGLE_OK, L"export_warning_popup.bmp")},
               [&] { Command(BUTTON_MACRO_EXPORT); });
    EXPECT_TRUE(m_files.asked.empty());

    // Apply, and at once an export: it waits for the write, then the file is written.
    const std::wstring file = hvtest::TestFile(L"alpha.hvm");
    DeleteFileW(file.c_str());
    m_files.answers.push_back(file);
    Command(BUTTON_APPLY);
    Command(BUTTON_MACRO_EXPORT);
    ASSERT_EQ(1u, m_files.asked.size());
    EXPECT_TRUE(m_files.asked[0].save);
    EXPECT_EQ(L"hvm", m_files.asked[0].defaultExtension);
    EXPECT_EQ(L"hvm Macro Files (*.hvm)|*.hvm||", m_files.asked[0].filter);
    EXPECT_EQ(config->GetMacroFolder(), m_files.asked[0].initialFolder);
    EXPECT_FALSE(simtest::ReadBytes(file).empty()) << "no macro file written";
    EXPECT_TRUE(HasDeviceMacro(L"mouse", "Alpha", 16)) << ::testing::PrintToString(DeviceMacros(L"mouse"));

    // Deleting asks first; No keeps it, Yes deletes it and shows the first macro left.
    WithPopups({Answer(L"ConfirmDeleteMacroPopup.xml", L": Alpha", BUTTON_POPUP_NO, L"confirm_delete_macro_popup.bmp")},
               [&] { Command(BUTTON_MACRO_DELETE); });
    EXPECT_TRUE(config->FindMacroByName(L"Alpha"));
    WithPopups({Answer(L"ConfirmDeleteMacroPopup.xml", L": Alpha", BUTTON_POPUP_YES)}, [&] { Command(BUTTON_MACRO_DELETE); });
    EXPECT_FALSE(config->FindMacroByName(L"Alpha"));
    EXPECT_EQ(static_cast<size_t>(factoryMacros), list->Entries().size());
    ASSERT_GT(factoryMacros, 0);
    EXPECT_EQ(config->GetMacro(0)->GetName(), list->ShownText());

    // Imports: a file that is no macro fails with a notice; the exported one comes back.
    const std::wstring broken = hvtest::TestFile(L"broken.hvm");
    simtest::WriteBytes(broken, {'n', 'o', 't', ' ', 'a', ' ', 'm', 'a', 'c', 'r', 'o'});
    m_files.answers = {broken};
    WithPopups({Answer(L"FileErrorPopUp.xml", L"", BUTTON_POPUP_SINGLE_OK, L"file_error_popup.bmp")},
               [&] { Command(BUTTON_MACRO_IMPORT); });
    m_files.answers = {std::wstring(300, L'x')};
    WithPopups({Answer(L"PathLengthLimitReachedPopUp.xml", L"", BUTTON_POPUP_SINGLE_OK, L"path_length_popup.bmp")},
               [&] { Command(BUTTON_MACRO_IMPORT); });
    m_files.answers = {file};
    Command(BUTTON_MACRO_IMPORT);
    EXPECT_FALSE(m_files.asked.back().save);
    ASSERT_TRUE(config->FindMacroByName(L"Alpha"));
    EXPECT_EQ(16u, config->FindMacroByName(L"Alpha")->GetEvents().size());
    EXPECT_NE(-1, list->FindEntry(L"Alpha"));

    // After Apply the device holds the imported macro with its events, once.
    Apply(dialog, false);
    EXPECT_TRUE(HasDeviceMacro(L"mouse", "Alpha", 16)) << ::testing::PrintToString(DeviceMacros(L"mouse"));
    EXPECT_EQ(static_cast<size_t>(factoryMacros + 1), DeviceMacros(L"mouse").size());
}

TEST_F(VexaMacroPagesTest, KeyboardMacrosRecordInTheDefaultModeAndStopWhenTheKeyboardLeaves)
{
    CVxAppDlg& dialog = OpenDialog();
    IKeyboardConfig* config = m_vexa.KeyboardConfig();
    ASSERT_TRUE(config);
    const int factoryMacros = config->GetMacroCount();
    Command(BUTTON_PRODSELECT_KEYBOARD);
    Command(BUTTON_MANAGEMACROS_KEYBOARD);
    ASSERT_EQ(8, dialog.CurrentPageNumber());
    auto* list = ItemObject<CDropdownListItem>(LIST_GLOBALMACROLIST_KEYBOARD);
    auto* display = ItemObject<CMacroDisplayItem>(MACRO_DISPLAY_KEYBOARD);
    auto* edit = ItemObject<CEditItem>(EDITCTRL_DEFAULT_DELAY_KEYBOARD);
    ASSERT_TRUE(list && display && edit);
    EXPECT_FALSE(Enabled(BUTTON_MACRO_RECORD_KEYBOARD));
    Picture(dialog, L"keyboard_macro_page.bmp");

    WithPopups({EnterName(L"Keys")}, [&] { Command(BUTTON_MACRO_CREATE_KEYBOARD); });
    ASSERT_TRUE(config->FindMacroByName(L"Keys"));
    WithPopups({EnterName(L"keys"), Answer(L"DuplicateMacroWarningPopup.xml", L": Keys", BUTTON_POPUP_SINGLE_OK)},
               [&] { Command(BUTTON_MACRO_CREATE_KEYBOARD); });
    // A macro without events is not exported, and nothing is said.
    Command(BUTTON_MACRO_EXPORT_KEYBOARD);
    EXPECT_TRUE(m_files.asked.empty());

    // Default delays of 7 ms between the events recorded.
    Toggle(BUTTON_INSERTDEFAULT_DELAY_KEYBOARD);
    ASSERT_TRUE(edit->IsWindowEnabled());
    edit->SetWindowText(L"7");
    ASSERT_EQ(std::string("mode 1"), DeviceMode(L"keyboard"));
    // The keyboard is in its default mode while recording, and in its normal mode after.
    Command(BUTTON_MACRO_RECORD_KEYBOARD);
    ASSERT_TRUE(display->IsRecording());
    EXPECT_EQ(std::string("mode 2"), DeviceMode(L"keyboard"));
    EXPECT_FALSE(Enabled(BUTTON_INSERTDEFAULT_DELAY_KEYBOARD));
    EXPECT_FALSE(edit->IsWindowEnabled());
    RecordKeys(*display, BUTTON_MACRO_RECORD_KEYBOARD, {'Q', 'W'});
    EXPECT_EQ(std::string("mode 1"), DeviceMode(L"keyboard"));
    std::vector<MacroEvent> events = config->FindMacroByName(L"Keys")->GetEvents();
    ASSERT_EQ(7u, events.size()) << Describe(events);
    EXPECT_EQ((std::vector<MacroEvent>{Key('Q', true), Key('Q', false), Key('W', true), Key('W', false)}),
              WithoutDelays(events));
    for (size_t i = 1; i < events.size(); i += 2)
        EXPECT_EQ((MacroEvent{kMacroEventDelay, 7, 0}), events[i]) << i;

    // Recording again starts on an empty display: the macro is what was typed this time.
    Toggle(BUTTON_IGNORE_DELAY_KEYBOARD);
    EXPECT_FALSE(ItemObject<CBitmapBtn>(BUTTON_INSERTDEFAULT_DELAY_KEYBOARD)->IsChecked());
    Command(BUTTON_MACRO_RECORD_KEYBOARD);
    RecordKeys(*display, BUTTON_MACRO_RECORD_KEYBOARD, {'E'});
    events = config->FindMacroByName(L"Keys")->GetEvents();
    EXPECT_EQ((std::vector<MacroEvent>{Key('E', true), Key('E', false)}), events) << Describe(events);

    // Not on the device before Apply: the export is refused with a notice.
    WithPopups({Answer(L"ExportMacroWarningPopup.xml", L": Keys", BUTTON_POPUP_SINGLE_OK)},
               [&] { Command(BUTTON_MACRO_EXPORT_KEYBOARD); });
    EXPECT_TRUE(m_files.asked.empty());

    // A delay after the first event, then that event's key changed.
    RunRowMenu(*display, 0, L"$InsertDelay");
    RunRowMenu(*display, 0, L"$Edit", {TypeKey('R')});
    events = config->FindMacroByName(L"Keys")->GetEvents();
    ASSERT_EQ(3u, events.size()) << Describe(events);
    EXPECT_EQ(Key('R', true), events[0]);
    EXPECT_EQ(kMacroEventDelay, events[1].type);
    EXPECT_EQ(Key('E', false), events[2]);

    // A predefined command goes before the selected event.
    SelectRow(*display, 2);
    WithPopups({[&](CGUIPanel& popup) { PostMessageW(PopupItem(popup, LIST_GLOBAL_ADDITIONAL_COMMANDS), WM_LBUTTONDOWN, MK_LBUTTON, 0); },
                ChooseEntry(L"$lockpc"),
                [&](CGUIPanel& popup) { ClickPopupItem(popup, BUTTON_ADD_ADV_MACRO_CMDS); }},
               [&] { Command(BUTTON_MACRO_ADVANCED_KEYBOARD); });
    events = config->FindMacroByName(L"Keys")->GetEvents();
    ASSERT_EQ(7u, events.size()) << Describe(events);
    EXPECT_EQ((MacroEvent{kMacroEventKey, 0x5B005B, 0x1FF}), events[2]) << Describe(events);
    EXPECT_EQ((MacroEvent{kMacroEventKey, 0x5B005B, 0x101}), events[5]);
    EXPECT_EQ(Key('E', false), events[6]);
    EXPECT_EQ(events, display->Events());

    // Export after Apply; delete and import it back; after Apply the device holds it.
    const std::wstring file = hvtest::TestFile(L"keys.hvm");
    DeleteFileW(file.c_str());
    m_files.answers = {file};
    Command(BUTTON_APPLY);
    Command(BUTTON_MACRO_EXPORT_KEYBOARD);
    EXPECT_FALSE(simtest::ReadBytes(file).empty());
    EXPECT_TRUE(HasDeviceMacro(L"keyboard", "Keys", 7)) << ::testing::PrintToString(DeviceMacros(L"keyboard"));
    WithPopups({Answer(L"ConfirmDeleteMacroPopup.xml", L": Keys", BUTTON_POPUP_YES)},
               [&] { Command(BUTTON_MACRO_DELETE_KEYBOARD); });
    EXPECT_FALSE(config->FindMacroByName(L"Keys"));
    m_files.answers = {file};
    Command(BUTTON_MACRO_IMPORT_KEYBOARD);
    ASSERT_TRUE(config->FindMacroByName(L"Keys"));
    Apply(dialog, true);
    EXPECT_TRUE(HasDeviceMacro(L"keyboard", "Keys", 7)) << ::testing::PrintToString(DeviceMacros(L"keyboard"));
    EXPECT_EQ(static_cast<size_t>(factoryMacros + 1), DeviceMacros(L"keyboard").size());

    // The keyboard leaves while recording: the recording ends and the keyboard is back in its
    // normal mode before its device object is let go.
    ChooseMacro(LIST_GLOBALMACROLIST_KEYBOARD, L"Keys");
    Command(BUTTON_MACRO_RECORD_KEYBOARD);
    ASSERT_TRUE(display->IsRecording());
    ASSERT_EQ(std::string("mode 2"), DeviceMode(L"keyboard"));
    simtest::Tool({L"announce", L"removal", L"0x9D17", L"0x23"});
    hvtest::FlushMessages();
    EXPECT_FALSE(display->IsRecording());
    EXPECT_FALSE(dialog.IsRecording());
    EXPECT_EQ(std::string("mode 1"), DeviceMode(L"keyboard"));
    EXPECT_EQ(CVxAppDlg::kMouse, dialog.CurrentProduct());
    EXPECT_TRUE(IsWindowEnabled(Item(BUTTON_OK)));
}
