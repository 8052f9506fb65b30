// The mouse's button page in the main dialog over the registered simulator: every function the
// buttons offer chosen through the real drop-downs, submenus and popups, written with Apply and
// checked on the simulator's dump; the last click button kept; the labels following the profile.
#include "SimTest.h"

#include "HvTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "controls/ControlMessages.h"
#include "controls/DropdownListItem.h"
#include "skin/GUIPanel.h"
#include "controls/ListPanel.h"
#include "model/MouseConfig.h"
#include "core/NameTables.h"
#include "controls/PopupBox.h"
#include "platform/RawInput.h"
#include "VexaInProcess.h"
#include "VexaApp/VxAppDlg.h"
#include "core/ItemIds.h"

using hvtest::WaitUntil;

namespace {

// ---- answering the modal windows --------------------------------------------------------------------

// Answers the modal windows a handler opens, in order (hvtest::ModalScript): a list panel whose list
// holds the focus, or a popup of a given layout file. An answer returns false while it is not done
// (it is called again at the next tick): no answer pumps messages itself, so that the modal loop of
// the window it answers serves its input.
class ModalAnswers : public hvtest::ModalScript
{
public:
    using Answer = std::function<bool(HWND)>;
    struct Step
    {
        std::wstring layout;  // empty: a list panel
        Answer answer;
    };

    static Step Panel(std::function<void(CListPanel&)> answer)
    {
        return {L"", [answer](HWND hwnd) {
                    answer(*static_cast<CListPanel*>(CWnd::FromHandlePermanent(hwnd)));
                    return true;
                }};
    }
    static Step Popup(const wchar_t* layout, Answer answer) { return {layout, std::move(answer)}; }

    explicit ModalAnswers(std::vector<Step> steps) : hvtest::ModalScript(InFront, End, NameOf)
    {
        for (Step& step : steps)
            Expect({std::move(step.answer)}, [layout = step.layout](HWND window) { return LayoutOf(window) == layout; });
    }

private:
    static CListPanel* PanelOf(HWND hwnd) { return dynamic_cast<CListPanel*>(CWnd::FromHandlePermanent(hwnd)); }

    // The modal window in front: a list panel holding the focus, else an enabled popup.
    static HWND InFront()
    {
        if (const HWND panel = hvtest::ThreadWindow(
                [](HWND hwnd) { return PanelOf(hwnd) && GetFocus() == PanelOf(hwnd)->List().GetSafeHwnd(); }, true))
            return panel;
        return hvtest::ThreadWindow(
            [](HWND hwnd) {
                return !PanelOf(hwnd) && dynamic_cast<CPopupBox*>(CWnd::FromHandlePermanent(hwnd)) &&
                       IsWindowEnabled(hwnd);
            },
            true);
    }
    static std::wstring LayoutOf(HWND hwnd)
    {
        if (PanelOf(hwnd))
            return std::wstring();
        auto* popup = dynamic_cast<CGUIPanel*>(CWnd::FromHandlePermanent(hwnd));
        return popup ? popup->LayoutFile() : std::wstring();
    }
    static std::string NameOf(HWND hwnd)
    {
        return PanelOf(hwnd) ? std::string("list panel") : simtest::Narrow(LayoutOf(hwnd));
    }
    static void End(HWND hwnd)
    {
        if (PanelOf(hwnd))
            PostMessageW(hwnd, WM_LISTPANEL_SELECT, 0, -1);
        else
            PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    }
};

CDropdownListItem* DropdownOf(HWND hwnd)
{
    return dynamic_cast<CDropdownListItem*>(CWnd::FromHandlePermanent(hwnd));
}

// The row of the list that shows the entry of that name; -1 when none.
int RowNamed(CListPanelList& list, const std::wstring& name)
{
    for (int row = 0; row < list.GetItemCount(); ++row)
        if (const ListEntry* entry = list.EntryOfRow(row); entry && entry->name == name)
            return row;
    return -1;
}

// The names the rows show, in name order (a list may sort its rows).
std::vector<std::wstring> RowNames(CListPanelList& list)
{
    std::vector<std::wstring> names;
    for (int row = 0; row < list.GetItemCount(); ++row)
        names.push_back(list.EntryOfRow(row) ? list.EntryOfRow(row)->name : L"?");
    std::sort(names.begin(), names.end());
    return names;
}

// A press on the row, as the list's own mouse handling takes it.
void PressRow(CListPanelList& list, int row)
{
    ASSERT_GE(row, 0);
    const CRect r = list.GetItemRect(row);
    list.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 20, (r.top + r.bottom) / 2));
}

// The panel's row of that name, after a picture of the panel.
ModalAnswers::Step ChooseRow(std::wstring name, const wchar_t* picture = nullptr,
                             std::vector<std::wstring>* rows = nullptr)
{
    return ModalAnswers::Panel([=](CListPanel& panel) {
        if (picture)
            hvtest::CaptureClient(panel).SaveToTestDir(picture);
        if (rows)
            *rows = RowNames(panel.List());
        PressRow(panel.List(), RowNamed(panel.List(), name));
    });
}

HWND PopupItem(HWND popup, const wchar_t* name)
{
    return hvtest::FindItemWindow(popup, FindItemIdByName(name));
}

void PostCommand(HWND popup, const wchar_t* item)
{
    EXPECT_TRUE(hvtest::PostItemCommand(popup, FindItemIdByName(item))) << simtest::Narrow(item);
}

// The macro popup: a play mode button pressed, then OK.
ModalAnswers::Step PlayMacro(const wchar_t* modeButton, const wchar_t* picture)
{
    return ModalAnswers::Popup(L"SelectMacroPopup.xml", [=](HWND popup) {
        if (picture)
            hvtest::CaptureClient(popup).SaveToTestDir(picture);
        const HWND mode = PopupItem(popup, modeButton);
        EXPECT_TRUE(mode) << simtest::Narrow(modeButton);
        PostMessageW(mode, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        PostCommand(popup, L"BUTTON_POPUP_OK");
        return true;
    });
}

ModalAnswers::Step RepeatCount(const wchar_t* text, const wchar_t* picture = nullptr)
{
    return ModalAnswers::Popup(L"MacroRepeatEntryPopup.xml", [=](HWND popup) {
        if (picture)
            hvtest::CaptureClient(popup).SaveToTestDir(picture);
        const HWND edit = PopupItem(popup, L"EDITCTRL_POPUP_NUMENTRY");
        EXPECT_TRUE(edit);
        SetWindowTextW(edit, text);
        PostCommand(popup, L"BUTTON_POPUP_OK");
        return true;
    });
}

INPUT KeyInput(WORD vk, WORD scan, bool up)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// The single-key popup: the keys typed into its edit (the modal loop serves them), then OK; a popup
// that stays open after OK is cancelled.
ModalAnswers::Step TypeSingleKey(std::vector<INPUT> keys, const wchar_t* picture = nullptr)
{
    auto phase = std::make_shared<int>(0);
    auto since = std::make_shared<DWORD>(0);
    return ModalAnswers::Popup(L"SingleKeyPopup.xml", [=](HWND popup) {
        const HWND edit = PopupItem(popup, L"EDITCTRL_POPUP_SINGLEKEYENTRY");
        switch (*phase) {
        case 0:
            EXPECT_TRUE(edit);
            SetForegroundWindow(popup);
            SetFocus(edit);
            SendInput(static_cast<UINT>(keys.size()), const_cast<INPUT*>(keys.data()), sizeof(INPUT));
            *since = GetTickCount();
            *phase = 1;
            return false;
        case 1:
            if (GetTickCount() - *since < 600)
                return false;
            if (picture)
                hvtest::CaptureClient(popup).SaveToTestDir(picture);
            PostCommand(popup, L"BUTTON_POPUP_OK");
            *since = GetTickCount();
            *phase = 2;
            return false;
        default:
            if (GetTickCount() - *since < 600)
                return false;
            PostCommand(popup, L"BUTTON_POPUP_CANCEL");
            return true;
        }
    });
}

// ---- the simulator's records ---------------------------------------------------------------------------

struct DeviceFacts
{
    std::map<std::string, GUID> profiles;  // by name
    std::map<std::string, GUID> macros;
    // The first profile's assignment records by middleware button id.
    std::map<DWORD, AssignmentRecord> firstProfile;
};

GUID ParseGuid(const std::string& text)
{
    GUID guid{};
    std::wstring wide(text.begin(), text.end());
    EXPECT_EQ(S_OK, CLSIDFromString(wide.c_str(), &guid)) << text;
    return guid;
}

uint8_t HexByte(const std::string& text, size_t at)
{
    return static_cast<uint8_t>(std::stoul(text.substr(at, 2), nullptr, 16));
}

DeviceFacts ReadMouse()
{
    DeviceFacts facts;
    int profile = -1;
    for (const std::string& line : simtest::DumpLines(L"mouse")) {
        std::istringstream words(line);
        std::string word, index, guid;
        words >> word;
        if (word == "profile" || word == "macro") {
            words >> index >> guid;
            std::string name = line.substr(line.find('"') + 1);
            name.pop_back();
            (word == "profile" ? facts.profiles : facts.macros)[name] = ParseGuid(guid);
            if (word == "profile")
                ++profile;
            else
                profile = -1;
        } else if (word == "assign" && profile == 0) {
            // " assign 0x00002 src 1 kind 8 data <20 bytes in hex>"
            std::string id, src, source, kind, kindValue, data, hex;
            words >> id >> src >> source >> kind >> kindValue >> data >> hex;
            AssignmentRecord record{};
            record.id = std::stoul(id, nullptr, 16);
            record.source = std::stoul(source);
            record.kind = std::stoul(kindValue);
            for (size_t i = 0; i < sizeof record.payload && 2 * i + 1 < hex.size(); ++i)
                record.payload[i] = HexByte(hex, 2 * i);
            facts.firstProfile[record.id] = record;
        }
    }
    return facts;
}

// ---- the test ---------------------------------------------------------------------------------------

class VexaMouseButtonsTest : public simtest::SimTest
{
protected:
    void TearDown() override
    {
        m_vexa.Close();
        simtest::SimTest::TearDown();
    }

    HWND Item(int id) const { return m_vexa.Item(id); }
    CDropdownListItem& Dropdown(int id)
    {
        CDropdownListItem* dropdown = DropdownOf(Item(id));
        EXPECT_TRUE(dropdown) << "no drop-down " << id;
        return *dropdown;
    }

    // Opens the drop-down as a press on it does, and answers what it and the page show; all of it
    // has ended when this returns.
    void Choose(int dropdownId, std::vector<ModalAnswers::Step> steps)
    {
        const size_t count = steps.size();
        ModalAnswers answers(std::move(steps));
        Dropdown(dropdownId).SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        hvtest::FlushMessages();
        EXPECT_TRUE(answers.Done()) << "drop-down " << dropdownId << ": " << count - answers.Left() << " of "
                                    << count << " windows answered";
        EXPECT_FALSE(Dropdown(dropdownId).IsOpen());
    }

    // What the button's drop-down shows: the type's name key, and after it the detail.
    std::pair<std::wstring, std::wstring> LabelOf(int dropdownId)
    {
        CDropdownListItem& dropdown = Dropdown(dropdownId);
        return {dropdown.ShownText(), dropdown.SecondaryText()};
    }

    AssignmentAction Assigned(int32_t button) { return m_vexa.MouseConfig()->GetButtonAssignment(button, nullptr); }

    vexatest::InProcessVexa m_vexa;
};

using Shown = std::pair<std::wstring, std::wstring>;

std::wstring KeyName(UINT vk, UINT scan)
{
    std::wstring name;
    GetKeyDisplayName(vk, name, scan, false);
    return name;
}

TEST_F(VexaMouseButtonsTest, EveryOfferedFunctionReachesTheDeviceAndTheLastClickButtonStays)
{
    CVxAppDlg* dialog = m_vexa.Open();
    ASSERT_TRUE(dialog);
    ASSERT_EQ(1, dialog->CurrentPageNumber());
    IMouseConfig& config = *m_vexa.MouseConfig();
    ASSERT_EQ(5, config.GetProfileCount());
    ASSERT_EQ(config.GetProfile(0), config.GetActiveProfile());
    // A macro made on the macro page and not yet on the device: it has no identifier.
    const std::vector<MacroEvent> events = {{kMacroEventKey, ('A' << 16) | 0x1E, kKeyStatePressed},
                                            {kMacroEventKey, ('A' << 16) | 0x1E, kKeyStateReleased}};
    ASSERT_TRUE(config.AddMacro(L"Fresh", events));

    // The factory's functions, the profile drop-down on the active profile.
    EXPECT_EQ(Shown(L"$click", L""), LabelOf(BUTTON_ASSNLEFTCLICK));
    EXPECT_EQ(Shown(L"$menu", L""), LabelOf(BUTTON_ASSNRIGHTCLICK));
    EXPECT_EQ(Shown(L"$Forward", L""), LabelOf(BUTTON_ASSNBUTTON5));
    EXPECT_EQ(Shown(L"$SensitivityStageUp", L""), LabelOf(BUTTON_ASSNRSIDEFRONT)) << "button 6 is the front one";
    EXPECT_EQ(Shown(L"$SensitivityStageDown", L""), LabelOf(BUTTON_ASSNRSIDEREAR));
    EXPECT_EQ(Shown(L"$scrollup", L""), LabelOf(BUTTON_ASSNSCROLLUP));
    EXPECT_EQ(15u, Dropdown(BUTTON_ASSNLEFTCLICK).Entries().size());
    EXPECT_EQ(6u, Dropdown(BUTTON_ASSNSCROLLDOWN).Entries().size()) << "the scroll directions offer less";
    EXPECT_EQ(L"$Assignasclick", Dropdown(BUTTON_ASSNLEFTCLICK).Entries()[0].text) << "each entry's hint";
    EXPECT_EQ(L"Profile 1", Dropdown(BUTTON_DROPDOWN_PROFILESELECT).ShownText());
    EXPECT_EQ(5u, Dropdown(BUTTON_DROPDOWN_PROFILESELECT).Entries().size());
    const hvtest::Bitmap page = hvtest::CaptureClient(*dialog);
    ASSERT_FALSE(page.Empty());
    EXPECT_TRUE(page.SaveToTestDir(L"mouse_buttons_page.bmp"));
    const hvtest::Bitmap menuLabel = hvtest::CaptureClient(Item(BUTTON_ASSNRIGHTCLICK));

    // Button 2: a macro of the device, played a number of times.
    std::vector<std::wstring> macroRows;
    Choose(BUTTON_ASSNRIGHTCLICK, {ChooseRow(L"$macro", L"mouse_buttons_functions.bmp"),
                                   ChooseRow(L"Sample Macro", L"mouse_buttons_macros.bmp", &macroRows),
                                   PlayMacro(L"BUTTON_MACRO_PLAY_MULTIPLE", L"mouse_buttons_macro_popup.bmp"),
                                   RepeatCount(L"3", L"mouse_buttons_repeat_popup.bmp")});
    EXPECT_EQ((std::vector<std::wstring>{L"Fresh", L"Sample Macro"}), macroRows);
    AssignmentAction action = Assigned(2);
    EXPECT_EQ(kActionMacro, action.type);
    EXPECT_EQ(kPlayCount, action.playMode);
    EXPECT_EQ(3, action.repeatCount);
    EXPECT_EQ(Shown(L"$macro", L"Sample Macro"), LabelOf(BUTTON_ASSNRIGHTCLICK));
    const hvtest::Bitmap macroLabel = hvtest::CaptureClient(Item(BUTTON_ASSNRIGHTCLICK));
    EXPECT_FALSE(std::equal(macroLabel.Data(), macroLabel.Data() + macroLabel.Width() * macroLabel.Height(),
                            menuLabel.Data()))
        << "the drop-down still looks as before";
    EXPECT_TRUE(dialog->IsUnsaved(CVxAppDlg::kMouse));

    // Button 3: the macro without identifier, by name, while held.
    Choose(BUTTON_ASSNSCROLLBUTTON, {ChooseRow(L"$macro"), ChooseRow(L"Fresh"),
                                     PlayMacro(L"BUTTON_MACRO_PLAY_WHILEPRESSED", nullptr)});
    action = Assigned(3);
    EXPECT_EQ(kActionMacroByName, action.type);
    EXPECT_EQ(L"Fresh", std::wstring(action.payload.name));
    EXPECT_EQ(kPlayWhileHeld, action.playMode);
    EXPECT_EQ(0, action.repeatCount);
    EXPECT_EQ(Shown(L"$macro", L"Fresh"), LabelOf(BUTTON_ASSNSCROLLBUTTON));

    // The wheel's up direction: "a number of times" without a number plays once.
    Choose(BUTTON_ASSNSCROLLUP, {ChooseRow(L"$macro"), ChooseRow(L"Sample Macro"),
                                 PlayMacro(L"BUTTON_MACRO_PLAY_MULTIPLE", nullptr), RepeatCount(L"")});
    action = Assigned(12);
    EXPECT_EQ(kActionMacro, action.type);
    EXPECT_EQ(kPlayOnce, action.playMode);
    EXPECT_EQ(0, action.repeatCount);

    // Button 4: a switch to another profile; the submenu never offers the active one.
    std::vector<std::wstring> profileRows;
    Choose(BUTTON_ASSNBUTTON4, {ChooseRow(L"$profile"), ChooseRow(L"Profile 3", nullptr, &profileRows)});
    EXPECT_EQ((std::vector<std::wstring>{L"Profile 2", L"Profile 3", L"Profile 4", L"Profile 5"}), profileRows);
    action = Assigned(4);
    EXPECT_EQ(kActionProfile, action.type);
    EXPECT_TRUE(hv::IsEqualGUID(config.GetProfile(2)->GetGuid(), action.payload.guid));
    EXPECT_EQ(Shown(L"$profile", L"Profile 3"), LabelOf(BUTTON_ASSNBUTTON4));

    // Button 5: Ctrl alone is no key and changes nothing; Ctrl with B is the key.
    Choose(BUTTON_ASSNBUTTON5, {ChooseRow(L"$SingleKey"), TypeSingleKey({KeyInput(VK_CONTROL, 0x1D, false),
                                                                         KeyInput(VK_CONTROL, 0x1D, true)})});
    EXPECT_EQ(kActionForward, Assigned(5).type);
    EXPECT_EQ(Shown(L"$Forward", L""), LabelOf(BUTTON_ASSNBUTTON5));
    Choose(BUTTON_ASSNBUTTON5,
           {ChooseRow(L"$SingleKey"),
            TypeSingleKey({KeyInput(VK_CONTROL, 0x1D, false), KeyInput('B', 0x30, false), KeyInput('B', 0x30, true),
                           KeyInput(VK_CONTROL, 0x1D, true)},
                          L"mouse_buttons_key_popup.bmp")});
    action = Assigned(5);
    EXPECT_EQ(kActionSingleKey, action.type);
    EXPECT_EQ(0x30, action.ScanCode());
    EXPECT_EQ('B', action.VirtualKey());
    EXPECT_EQ(kKeyFlagCtrl, action.payload.key.flags & (kKeyFlagCtrl | kKeyFlagShift | kKeyFlagAlt));
    EXPECT_EQ(Shown(L"$SingleKey", KeyName(VK_CONTROL, 0x1D) + L" + " + KeyName('B', 0x30)), LabelOf(BUTTON_ASSNBUTTON5));

    // The side buttons swap their DPI steps; the wheel's down direction is switched off.
    Choose(BUTTON_ASSNRSIDEFRONT, {ChooseRow(L"$SensitivityStageDown")});
    Choose(BUTTON_ASSNRSIDEREAR, {ChooseRow(L"$SensitivityStageUp")});
    Choose(BUTTON_ASSNSCROLLDOWN, {ChooseRow(L"$buttonoff")});
    EXPECT_EQ(kActionStageDown, Assigned(6).type);
    EXPECT_EQ(kActionStageUp, Assigned(7).type);
    EXPECT_EQ(kActionButtonOff, Assigned(13).type);

    // Button 1 is the only one that clicks: taking it away is refused with the notice.
    Choose(BUTTON_ASSNLEFTCLICK, {ChooseRow(L"$menu"), ModalAnswers::Popup(L"NoClickPopup.xml", [](HWND popup) {
                                      hvtest::CaptureClient(popup).SaveToTestDir(L"mouse_buttons_noclick_popup.bmp");
                                      PostCommand(popup, L"BUTTON_POPUP_SINGLE_OK");
                                      return true;
                                  })});
    EXPECT_EQ(kActionClick, Assigned(1).type);
    EXPECT_EQ(Shown(L"$click", L""), LabelOf(BUTTON_ASSNLEFTCLICK));
    // Once another button clicks, button 1 may give it up.
    Choose(BUTTON_ASSNRSIDEREAR, {ChooseRow(L"$click")});
    Choose(BUTTON_ASSNLEFTCLICK, {ChooseRow(L"$Double-Click")});
    EXPECT_EQ(kActionDoubleClick, Assigned(1).type);
    EXPECT_EQ(kActionClick, Assigned(7).type);

    // Apply: the device holds what the page shows, the new macro made and referred to by its id.
    m_vexa.Command(Item(BUTTON_APPLY));
    ASSERT_TRUE(WaitUntil([&] { return !dialog->IsWriting(CVxAppDlg::kMouse); }, 30000));
    const DeviceFacts mouse = ReadMouse();
    ASSERT_EQ(1u, mouse.macros.count("Fresh")) << "the new macro was not written";
    const auto& records = mouse.firstProfile;
    auto record = [&](DWORD id) {
        EXPECT_EQ(1u, records.count(id)) << "no record of middleware button " << id;
        return records.count(id) ? records.at(id) : AssignmentRecord{};
    };
    using namespace hvmw;
    EXPECT_EQ(kKindFunction, record(1).kind);
    EXPECT_EQ(kFnDoubleClick, record(1).Code());
    EXPECT_EQ(kKindMacroRepeat, record(2).kind);
    EXPECT_TRUE(hv::IsEqualGUID(mouse.macros.at("Sample Macro"), record(2).TargetGuid()));
    EXPECT_EQ(kRepeatCount, record(2).RepeatMode());
    EXPECT_EQ(3, record(2).RepeatCount());
    EXPECT_EQ(kKindMacroRepeat, record(3).kind);
    EXPECT_TRUE(hv::IsEqualGUID(mouse.macros.at("Fresh"), record(3).TargetGuid()));
    EXPECT_EQ(kRepeatWhileHeld, record(3).RepeatMode());
    EXPECT_EQ(kKindProfile, record(4).kind);
    EXPECT_EQ(kProfileOpById, record(4).Code());
    EXPECT_TRUE(hv::IsEqualGUID(mouse.profiles.at("Profile 3"), record(4).ProfileGuid()));
    EXPECT_EQ(kKindKey, record(5).kind);
    EXPECT_EQ(0x30, record(5).MakeCode());
    EXPECT_EQ(kModCtrl, record(5).Modifiers() & (kModCtrl | kModShift | kModAlt));
    EXPECT_EQ(kFnDpiDown, record(7).Code()) << "button 6 has middleware id 7";
    EXPECT_EQ(kFnClick, record(6).Code()) << "button 7 has middleware id 6";
    EXPECT_EQ(kKindMacroRepeat, record(8).kind) << "the wheel's up direction";
    EXPECT_EQ(kRepeatOnce, record(8).RepeatMode());
    EXPECT_EQ(0, record(8).RepeatCount());
    EXPECT_EQ(kFnDisabled, record(9).Code());
    EXPECT_FALSE(dialog->IsUnsaved(CVxAppDlg::kMouse));

    // The page's profile drop-down: the labels follow the profile chosen, and come back with it.
    Choose(BUTTON_DROPDOWN_PROFILESELECT, {ChooseRow(L"Profile 2")});
    EXPECT_EQ(config.GetProfile(1), config.GetActiveProfile());
    EXPECT_EQ(Shown(L"$click", L""), LabelOf(BUTTON_ASSNLEFTCLICK));
    EXPECT_EQ(Shown(L"$menu", L""), LabelOf(BUTTON_ASSNRIGHTCLICK));
    EXPECT_EQ(Shown(L"$Forward", L""), LabelOf(BUTTON_ASSNBUTTON5));
    Choose(BUTTON_DROPDOWN_PROFILESELECT, {ChooseRow(L"Profile 1")});
    EXPECT_EQ(config.GetProfile(0), config.GetActiveProfile());
    EXPECT_EQ(L"Profile 1", Dropdown(BUTTON_DROPDOWN_PROFILESELECT).ShownText());
    EXPECT_EQ(Shown(L"$Double-Click", L""), LabelOf(BUTTON_ASSNLEFTCLICK));
    EXPECT_EQ(Shown(L"$macro", L"Sample Macro"), LabelOf(BUTTON_ASSNRIGHTCLICK));

    // Shown again after the other pages changed macros and profiles: a deleted macro leaves its
    // type's name alone, a renamed profile is offered under its new name.
    config.RemoveMacro(config.FindMacroByName(L"Fresh"));
    ASSERT_TRUE(config.RenameProfile(config.GetProfile(2), L"Racing"));
    m_vexa.Command(Item(BUTTON_MANAGEMACROS));
    m_vexa.Command(Item(BUTTON_ASSIGNBUTTONS));
    ASSERT_EQ(1, dialog->CurrentPageNumber());
    EXPECT_EQ(Shown(L"$macro", L""), LabelOf(BUTTON_ASSNSCROLLBUTTON));
    EXPECT_EQ(Shown(L"$profile", L"Racing"), LabelOf(BUTTON_ASSNBUTTON4));
    EXPECT_EQ(L"Racing", Dropdown(BUTTON_DROPDOWN_PROFILESELECT).Entries()[2].name);

    // A function the page does not offer, as a read may find one on the device: no entry is shown.
    config.GetActiveProfile()->SetFromDevice(5, AssignmentAction(kActionDpiStage1), nullptr);
    m_vexa.Command(Item(BUTTON_MANAGEMACROS));
    m_vexa.Command(Item(BUTTON_ASSIGNBUTTONS));
    EXPECT_EQ(Shown(L"", L""), LabelOf(BUTTON_ASSNBUTTON5));
    EXPECT_EQ(Shown(L"$click", L""), LabelOf(BUTTON_ASSNRSIDEREAR));
}


// The macro choice of a button (a popup) while the mouse leaves and comes back: it then offers
// the macros the mouse holds (a macro not yet written is gone), and its answer reaches the
// profile it was asked for only while that profile is still the active one.
TEST_F(VexaMouseButtonsTest, TheMacroChoiceFollowsTheMouseThroughItsNotices)
{
    CVxAppDlg* dialog = m_vexa.Open();
    ASSERT_TRUE(dialog);
    IMouseConfig& config = *m_vexa.MouseConfig();
    ASSERT_TRUE(config.AddMacro(L"Fresh", {}));
    const auto leaveAndReturn = [](bool switchProfile) {
        // The mouse's own profile button pressed meanwhile: another profile is active on it.
        if (switchProfile)
            simtest::Tool({L"profile", L"mouse", L"next"});
        simtest::Tool({L"unplug", L"mouse"});
        simtest::Tool({L"plug", L"mouse"});
    };
    const auto macroNames = [](HWND popup) {
        auto* box = dynamic_cast<CPopupBox*>(CWnd::FromHandlePermanent(popup));
        auto* list = box ? box->Items().FindAs<CDropdownListItem>(LIST_DROPDOWN_POPUP, ItemKind::DropdownList) : nullptr;
        std::vector<std::wstring> names;
        for (size_t i = 0; list && i < list->Entries().size(); ++i)
            names.push_back(list->Entries()[i].name);
        return names;
    };
    // Runs the button's drop-down on the mouse page; the steps answer what comes up.
    const auto choose = [&](std::vector<ModalAnswers::Step> steps) {
        m_vexa.Command(m_vexa.Item(BUTTON_PRODSELECT_MOUSE));
        m_vexa.Command(m_vexa.Item(BUTTON_ASSIGNBUTTONS));
        ASSERT_EQ(1, dialog->CurrentPageNumber());
        ModalAnswers answers(std::move(steps));
        Dropdown(BUTTON_ASSNRIGHTCLICK).SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        hvtest::FlushMessages();
        EXPECT_TRUE(answers.Done());
    };

    std::vector<std::wstring> before, after;
    choose({ChooseRow(L"$macro"), ChooseRow(L"Fresh"), ModalAnswers::Popup(L"SelectMacroPopup.xml", [&](HWND popup) {
                before = macroNames(popup);
                leaveAndReturn(false);
                after = macroNames(popup);
                PostCommand(popup, L"BUTTON_POPUP_CANCEL");
                return true;
            })});
    EXPECT_EQ((std::vector<std::wstring>{L"Sample Macro", L"Fresh"}), before);
    EXPECT_EQ((std::vector<std::wstring>{L"Sample Macro"}), after) << "the choice offers a macro the mouse does not hold";
    EXPECT_FALSE(config.FindMacroByName(L"Fresh"));

    // OK after another profile became active on the mouse meanwhile: neither profile changes.
    const AssignmentAction first = config.GetButtonAssignment(2, config.GetProfile(0));
    const AssignmentAction second = config.GetButtonAssignment(2, config.GetProfile(1));
    ASSERT_EQ(config.GetProfile(0), config.GetActiveProfile());
    choose({ChooseRow(L"$macro"), ChooseRow(L"Sample Macro"),
            ModalAnswers::Popup(L"SelectMacroPopup.xml", [&](HWND popup) {
                leaveAndReturn(true);
                PostCommand(popup, L"BUTTON_POPUP_OK");
                return true;
            })});
    ASSERT_EQ(config.GetProfile(1), config.GetActiveProfile());
    EXPECT_EQ(first, config.GetButtonAssignment(2, config.GetProfile(0)));
    EXPECT_EQ(second, config.GetButtonAssignment(2, config.GetProfile(1))) << "the choice reached another profile";
}

} // namespace
