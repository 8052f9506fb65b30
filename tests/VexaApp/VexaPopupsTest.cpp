// The entry forms, choices, key capture, predefined commands and profile preview of the
// configuration program, each run modally over the main dialog (in the test's own process, over
// the registered simulator) on the default skin in English. Every popup is driven from inside its
// own modal loop by real input (SendInput clicks and keys), its answer read from the variables its
// caller gave it, and its picture kept in the test's folder.
#include "SimTest.h"

#include "HvTest.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "controls/BitmapBtn.h"
#include "platform/DialogTemplate.h"
#include "controls/DropdownListItem.h"
#include "controls/EditItem.h"
#include "model/ImportCheck.h"
#include "skin/LangTable.h"
#include "skin/LayoutLoader.h"
#include "skin/LayoutSections.h"
#include "controls/ListPanel.h"
#include "model/Macro.h"
#include "model/MouseConfig.h"
#include "core/NameTables.h"
#include "model/PredefinedMacros.h"
#include "controls/TextItem.h"
#include "PopupScript.h"
#include "VexaInProcess.h"
#include "core/ItemIds.h"
#include "VexaApp/VxPopups.h"
#include "platform/WStr.h"

namespace {

// ---- Driving a modal popup from inside its loop ---------------------------------------------------

// An absolute move of the pointer to a screen point (relative moves come out doubled under Wine).
void MovePointer(POINT screen)
{
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(screen.x) * 65536 + GetSystemMetrics(SM_CXSCREEN) - 1) /
                                   GetSystemMetrics(SM_CXSCREEN));
    move.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(screen.y) * 65536 + GetSystemMetrics(SM_CYSCREEN) - 1) /
                                   GetSystemMetrics(SM_CYSCREEN));
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    EXPECT_EQ(1u, SendInput(1, &move, sizeof(INPUT)));
}

// Runs steps on one popup from inside its own modal loop (hvtest::ModalScript), so that its keys go
// through its PreTranslateMessage chain as the program's do: one step per tick once the popup is
// up; a step that answers false is tried again on the next tick.
class PopupDriver : public hvtest::ModalScript
{
public:
    using Step = std::function<bool()>;
    static constexpr INT_PTR kAbandoned = -2;

    PopupDriver(CDialog& popup, std::initializer_list<Step> steps)
        : hvtest::ModalScript([this] { return InFront(); },
                              [&popup](HWND) { popup.EndDialog(static_cast<int>(kAbandoned)); }),
          m_popup(popup)
    {
        s_pressTarget = nullptr;
        std::vector<Action> actions;
        for (const Step& step : steps)
            actions.push_back([step](HWND) { return NoPressPending() && step(); });
        actions.push_back([](HWND) { return NoPressPending(); });  // the last step's click
        Expect(std::move(actions));
    }

    // A press and release where the pointer now is, on the next tick: the window under the pointer
    // first takes the move (a button that tracks hovering holds the mouse until then).
    static void PressOnNextTick(HWND target, POINT screen)
    {
        s_pressTarget = target;
        s_pressAt = screen;
    }

private:
    // The popup once it is shown above its owner; one that does not show fails the test.
    HWND InFront()
    {
        const HWND popup = m_popup.GetSafeHwnd();
        if (popup && !IsWindowVisible(popup)) {
            if (!m_hiddenSince) {
                m_hiddenSince = GetTickCount();
            } else if (GetTickCount() - m_hiddenSince > kPatienceMs) {
                ADD_FAILURE() << "the popup did not show";
                m_popup.EndDialog(static_cast<int>(kAbandoned));
                m_hiddenSince = 0;
            }
            return nullptr;
        }
        m_hiddenSince = 0;
        return popup && !hvtest::RaiseAboveOwner(popup) ? popup : nullptr;
    }

    // A pending press takes its tick once the target is the window under the pointer and holds the
    // mouse, or nothing does.
    static bool NoPressPending()
    {
        if (!s_pressTarget)
            return true;
        if (!PressReady())
            return false;
        s_pressTarget = nullptr;
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_MOUSE;
        in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        EXPECT_EQ(2u, SendInput(2, in, sizeof(INPUT)));
        return false;
    }

    static bool PressReady()
    {
        if (!IsWindow(s_pressTarget)) {
            s_pressTarget = nullptr;
            return false;
        }
        if (hvtest::RaiseAboveOwner(GetAncestor(s_pressTarget, GA_ROOT)))
            return false;
        POINT now = {};
        GetCursorPos(&now);
        if (now.x != s_pressAt.x || now.y != s_pressAt.y || WindowFromPoint(now) != s_pressTarget) {
            MovePointer(s_pressAt);
            return false;
        }
        const HWND capture = GetCapture();
        return !capture || capture == s_pressTarget;
    }

    CDialog& m_popup;
    DWORD m_hiddenSince = 0;
    static inline HWND s_pressTarget = nullptr;
    static inline POINT s_pressAt = {};
};

// ---- Input that the modal loop itself handles (nothing is pumped here) ---------------------------

INPUT KeyEvent(WORD vk, bool up)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// Each key pressed and released in turn; with a modifier, the keys are pressed while it is held.
void PressKeys(HWND window, const std::vector<WORD>& keys, WORD modifier = 0)
{
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    std::vector<INPUT> inputs;
    if (modifier)
        inputs.push_back(KeyEvent(modifier, false));
    for (WORD vk : keys) {
        inputs.push_back(KeyEvent(vk, false));
        inputs.push_back(KeyEvent(vk, true));
    }
    if (modifier)
        inputs.push_back(KeyEvent(modifier, true));
    EXPECT_EQ(inputs.size(), SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)));
}

// A left click at a client point of window (default its centre): the pointer moves there now,
// the press follows from the driver once the window has taken the move.
void ClickOn(HWND window, POINT client = {-1, -1})
{
    ASSERT_TRUE(IsWindow(window));
    RECT r = {};
    GetClientRect(window, &r);
    if (client.x < 0)
        client = {r.right / 2, r.bottom / 2};
    ClientToScreen(window, &client);
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    MovePointer(client);
    PopupDriver::PressOnNextTick(window, client);
}

// ---- The popups' items ---------------------------------------------------------------------------

HWND ItemWindow(CGUIPanel& popup, int32_t id)
{
    CGUIItem* item = popup.Items().FindById(id);
    return item ? item->window : nullptr;
}

void ClickItem(CGUIPanel& popup, int32_t id)
{
    const HWND window = ItemWindow(popup, id);
    EXPECT_TRUE(window) << "no item " << id;
    if (window)
        ClickOn(window);
}

template <class T>
T* Item(CGUIPanel& popup, int32_t id, ItemKind kind)
{
    T* item = popup.Items().FindAs<T>(id, kind);
    EXPECT_TRUE(item) << "no item " << id;
    return item;
}

CTextItem* Text(CGUIPanel& popup, int32_t id)
{
    return Item<CTextItem>(popup, id, ItemKind::TextItem);
}

std::wstring WindowText(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

BOOL CALLBACK FindOpenList(HWND hwnd, LPARAM result)
{
    auto* panel = dynamic_cast<CListPanel*>(CWnd::FromHandlePermanent(hwnd));
    if (panel && IsWindowVisible(hwnd) && GetFocus() == panel->List().GetSafeHwnd()) {
        *reinterpret_cast<CListPanel**>(result) = panel;
        return FALSE;
    }
    return TRUE;
}

// The open list of a drop-down, once it holds the focus.
CListPanel* OpenList()
{
    CListPanel* found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindOpenList, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A step: once the drop-down's list is open, a click on its row.
PopupDriver::Step ChooseRow(int row)
{
    return [row] {
        CListPanel* list = OpenList();
        if (!list)
            return false;
        const CRect r = list->List().GetItemRect(row);
        ClickOn(list->List(), {r.left + 20, (r.top + r.bottom) / 2});
        return true;
    };
}

std::wstring English(const wchar_t* key)
{
    std::wstring text;
    TranslateText(key, text);
    return text;
}

std::wstring KeyName(WORD vk)
{
    wchar_t text[64] = {};
    GetKeyNameTextW(static_cast<LONG>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16, text, 64);
    return text;
}

// The popup as shown, kept as name in the test's folder; its heading (where it has one) is drawn
// in the heading colour of the skin.
hvtest::Bitmap Picture(CGUIPanel& popup, const wchar_t* name)
{
    const hvtest::Bitmap shot = hvtest::CaptureClient(popup);
    EXPECT_FALSE(shot.Empty()) << "no picture of " << simtest::Narrow(name);
    if (shot.Empty())
        return shot;
    EXPECT_TRUE(shot.SaveToTestDir(name));
    const CRect client = popup.GetClientRect();
    EXPECT_EQ(shot.Width(), client.Width());
    if (const HWND heading = ItemWindow(popup, TEXT_WARNDLG_HEADING)) {
        CRect r;
        GetWindowRect(heading, &r);
        MapWindowPoints(nullptr, popup, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_GT(hvtest::CountPixelsNear(shot, r, FindColorByName(L"VEXA_TAB_SELECT"), 40), 20)
            << "the heading of " << simtest::Narrow(name) << " is not drawn";
    }
    return shot;
}

// Pixels of rect (client coordinates of popup) in colour: text drawn there.
int PixelsOfItem(CGUIPanel& popup, const hvtest::Bitmap& shot, int32_t id, COLORREF colour)
{
    CRect r;
    GetWindowRect(ItemWindow(popup, id), &r);
    MapWindowPoints(nullptr, popup, reinterpret_cast<POINT*>(&r), 2);
    return hvtest::CountPixelsNear(shot, r, colour, 60);
}

// A step that waits until the window has the focus.
PopupDriver::Step Focused(CGUIPanel& popup, int32_t id)
{
    return [&popup, id] { return GetFocus() && GetFocus() == ItemWindow(popup, id); };
}

// ---- The fixture: the main dialog as the popups' owner, the English texts -------------------------

class VexaPopupsTest : public simtest::SimTest
{
protected:
    void SetUp() override
    {
        simtest::SimTest::SetUp();
        ASSERT_TRUE(m_vexa.Open());
        SetLanguageFilter(-1);
        ASSERT_TRUE(LoadLayoutFile(&m_languages, L"Language.xml", nullptr, false));
        SetCurrentLangTable(FindRegisteredLangTable(FindItemIdByName(L"LANGUAGE_DEFAULT")));
        ASSERT_NE(GetCurrentLangTable(), nullptr);
    }
    void TearDown() override
    {
        SetCurrentLangTable(nullptr);
        m_languages.DeleteAll();
        m_vexa.Close();
        simtest::SimTest::TearDown();
    }

    CWnd* Owner() { return &m_vexa.Dialog(); }

    vexatest::InProcessVexa m_vexa;
    CGUIItems m_languages;
};

// ---- Entry forms -------------------------------------------------------------------------------

TEST_F(VexaPopupsTest, NameAndCountFormsTakeWhatIsTypedWithinTheirLimits)
{
    // A name: 25 letters typed, 20 taken; OK stores them.
    std::wstring name = L"unchanged";
    {
        CVxNameEntryPopup popup(Owner(), L"MacroNamePopup.xml", &name);
        PopupDriver driver(popup, {
            Focused(popup, EDITCTRL_POPUP_NAMEENTRY),
            [&] {
                PressKeys(popup, {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M',
                                  'N', 'O', 'P', 'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y'});
                return true;
            },
            [&] { return WindowText(ItemWindow(popup, EDITCTRL_POPUP_NAMEENTRY)) == L"abcdefghijklmnopqrst"; },
            [&] {
                Picture(popup, L"popup_name_entry.bmp");
                ClickItem(popup, BUTTON_POPUP_OK);
                return true;
            },
        });
        EXPECT_EQ(IDOK, popup.DoModal());
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(L"abcdefghijklmnopqrst", name);

    // The rename form: the old name follows the heading; Enter answers as OK does.
    {
        CVxNameEntryPopup popup(Owner(), L"ProfileRenamePopup.xml", &name, L": Old");
        PopupDriver driver(popup, {
            Focused(popup, EDITCTRL_POPUP_NAMEENTRY),
            [&] {
                const std::wstring heading = Text(popup, TEXT_WARNDLG_HEADING)->GetText();
                EXPECT_NE(std::wstring::npos, heading.find(L": Old")) << simtest::Narrow(heading);
                Picture(popup, L"popup_rename.bmp");
                PressKeys(popup, {'N', 'E', 'W', VK_RETURN});
                return true;
            },
        });
        EXPECT_EQ(IDOK, popup.DoModal());
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(L"new", name);

    // Cancel and Escape leave the name as it was.
    for (bool escape : {false, true}) {
        CVxNameEntryPopup popup(Owner(), L"ProfileNamePopup.xml", &name);
        PopupDriver driver(popup, {
            Focused(popup, EDITCTRL_POPUP_NAMEENTRY),
            [&] {
                PressKeys(popup, {'X'});
                return true;
            },
            [&] {
                if (WindowText(ItemWindow(popup, EDITCTRL_POPUP_NAMEENTRY)) != L"x")
                    return false;
                if (escape)
                    PressKeys(popup, {VK_ESCAPE});
                else
                    ClickItem(popup, BUTTON_POPUP_CANCEL);
                return true;
            },
        });
        EXPECT_EQ(IDCANCEL, popup.DoModal());
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(L"new", name);
    }

    // A count: a leading 0, letters and 256 are refused while typing; OK stores 25.
    int count = 7;
    {
        CVxNumEntryPopup popup(Owner(), &count);
        PopupDriver driver(popup, {
            Focused(popup, EDITCTRL_POPUP_NUMENTRY),
            [&] {
                PressKeys(popup, {'0', 'A', '2', '5', '6', VK_OEM_MINUS});
                return true;
            },
            [&] { return WindowText(ItemWindow(popup, EDITCTRL_POPUP_NUMENTRY)) == L"25"; },
            [&] {
                Picture(popup, L"popup_count_entry.bmp");
                ClickItem(popup, BUTTON_POPUP_OK);
                return true;
            },
        });
        EXPECT_EQ(IDOK, popup.DoModal());
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(25, count);
    // 255 is the largest count.
    {
        CVxNumEntryPopup popup(Owner(), &count);
        PopupDriver driver(popup, {
            Focused(popup, EDITCTRL_POPUP_NUMENTRY),
            [&] {
                PressKeys(popup, {'2', '5', '5', '5'});
                return true;
            },
            [&] { return WindowText(ItemWindow(popup, EDITCTRL_POPUP_NUMENTRY)) == L"255"; },
            [&] {
                ClickItem(popup, BUTTON_POPUP_OK);
                return true;
            },
        });
        EXPECT_EQ(IDOK, popup.DoModal());
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(255, count);
    // OK with nothing typed gives no count: the answer is Cancel and the count stays.
    {
        CVxNumEntryPopup popup(Owner(), &count);
        PopupDriver driver(popup, {
            Focused(popup, EDITCTRL_POPUP_NUMENTRY),
            [&] {
                ClickItem(popup, BUTTON_POPUP_OK);
                return true;
            },
        });
        EXPECT_EQ(IDCANCEL, popup.DoModal());
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(255, count);
}

// ---- Choices -------------------------------------------------------------------------------------

TEST_F(VexaPopupsTest, ChoicesAnswerTheSelectedEntryAndAKnownPlayMode)
{
    // A profile out of a list: the first is shown; another chosen in the open list is the answer.
    std::wstring profile = L"unchanged";
    {
        CVxDropdownSelectPopup popup(Owner(), {L"Alpha", L"Beta", L"Gamma"}, &profile);
        CDropdownListItem* list = nullptr;
        PopupDriver driver(popup, {
            [&] {
                list = Item<CDropdownListItem>(popup, LIST_DROPDOWN_POPUP, ItemKind::DropdownList);
                EXPECT_EQ(L"Alpha", list->ShownText());
                Picture(popup, L"popup_select_profile.bmp");
                ClickOn(*list);
                return true;
            },
            ChooseRow(2),
            [&] { return list->ShownText() == L"Gamma"; },
            [&] {
                ClickItem(popup, BUTTON_POPUP_OK);
                return true;
            },
        });
        EXPECT_EQ(IDOK, popup.DoModal());
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(L"Gamma", profile);
    // Cancel leaves the answer; OK at once answers the first.
    for (int button : {BUTTON_POPUP_CANCEL, BUTTON_POPUP_OK}) {
        CVxDropdownSelectPopup popup(Owner(), {L"Alpha", L"Beta"}, &profile);
        PopupDriver driver(popup, {[&] {
            ClickItem(popup, button);
            return true;
        }});
        EXPECT_EQ(button == BUTTON_POPUP_OK ? IDOK : IDCANCEL, popup.DoModal());
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(button == BUTTON_POPUP_OK ? L"Alpha" : L"Gamma", profile);
    }

    // A macro: the given name selected, the given mode marked; another mode clicked is the answer.
    const std::vector<std::wstring> macros = {L"Fire", L"Reload", L"Heal"};
    auto marked = [](CGUIPanel& popup) {
        std::vector<int32_t> ids;
        for (int32_t id : {BUTTON_MACRO_PLAY_ONCE, BUTTON_MACRO_PLAY_MULTIPLE, BUTTON_MACRO_PLAY_WHILEPRESSED,
                           BUTTON_MACRO_PLAY_UNTILPRESSED}) {
            if (Item<CBitmapBtn>(popup, id, ItemKind::BitmapBtn)->IsChecked())
                ids.push_back(id);
        }
        return ids;
    };
    std::wstring chosen = L"Reload";
    int mode = 2;
    {
        CVxMacroAssignmentPopup popup(Owner(), &mode, macros, &chosen);
        PopupDriver driver(popup, {
            [&] {
                EXPECT_EQ(L"Reload",
                          Item<CDropdownListItem>(popup, LIST_DROPDOWN_POPUP, ItemKind::DropdownList)->ShownText());
                EXPECT_EQ(std::vector<int32_t>{BUTTON_MACRO_PLAY_MULTIPLE}, marked(popup));
                Picture(popup, L"popup_select_macro.bmp");
                ClickItem(popup, BUTTON_MACRO_PLAY_UNTILPRESSED);
                return true;
            },
            [&] { return marked(popup) == std::vector<int32_t>{BUTTON_MACRO_PLAY_UNTILPRESSED}; },
            [&] {
                ClickOn(ItemWindow(popup, LIST_DROPDOWN_POPUP));
                return true;
            },
            ChooseRow(2),
            [&] {
                if (Item<CDropdownListItem>(popup, LIST_DROPDOWN_POPUP, ItemKind::DropdownList)->ShownText() != L"Heal")
                    return false;
                ClickItem(popup, BUTTON_POPUP_OK);
                return true;
            },
        });
        EXPECT_EQ(IDOK, popup.DoModal());
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(L"Heal", chosen);
    EXPECT_EQ(3, mode) << "until pressed again";

    // Modes 0 and 5 show as once; the marked button clicked again leaves none marked: once.
    for (int given : {0, 5}) {
        mode = given;
        chosen = L"gone";
        CVxMacroAssignmentPopup popup(Owner(), &mode, macros, &chosen);
        PopupDriver driver(popup, {
            [&] {
                EXPECT_EQ(std::vector<int32_t>{BUTTON_MACRO_PLAY_ONCE}, marked(popup)) << given;
                EXPECT_EQ(L"Fire",
                          Item<CDropdownListItem>(popup, LIST_DROPDOWN_POPUP, ItemKind::DropdownList)->ShownText())
                    << "a name not in the list selects the first";
                ClickItem(popup, given == 0 ? BUTTON_MACRO_PLAY_ONCE : BUTTON_MACRO_PLAY_WHILEPRESSED);
                return true;
            },
            [&] {
                const std::vector<int32_t> now = marked(popup);
                if (given == 0 ? !now.empty() : now != std::vector<int32_t>{BUTTON_MACRO_PLAY_WHILEPRESSED})
                    return false;
                ClickItem(popup, given == 0 ? BUTTON_POPUP_OK : BUTTON_POPUP_CANCEL);
                return true;
            },
        });
        EXPECT_EQ(given == 0 ? IDOK : IDCANCEL, popup.DoModal());
        EXPECT_TRUE(driver.Done());
        if (given == 0) {
            EXPECT_EQ(1, mode) << "no mode marked plays once";
            EXPECT_EQ(L"Fire", chosen);
        } else {
            EXPECT_EQ(5, mode) << "Cancel changes nothing";
            EXPECT_EQ(L"gone", chosen);
        }
    }
}

// ---- The single key ------------------------------------------------------------------------------

int64_t g_seconds = 0;
int64_t TestSeconds()
{
    return g_seconds;
}

TEST_F(VexaPopupsTest, SingleKeyTakesEnterAndEscapeAsKeysAndCapturesCtrlWithAKey)
{
    CEditItemSingleKeyInputMMO::SetSecondsClock(TestSeconds);
    CEditItemSingleKeyInputMMO::ResetLastStep();
    g_seconds = 1000;
    SingleKeyEntry entry;
    {
        CVexaPopupBoxSingleKeyEntry popup(Owner(), &entry);
        CEditItemSingleKeyInputMMO* edit = nullptr;
        // A key combination fully captured, a second later than the one before.
        auto captured = [&](WORD vk, uint8_t modifiers) {
            return [&, vk, modifiers] {
                if (edit->KeyVirtualKey() != vk || edit->Modifiers() != modifiers ||
                    edit->State() != CEditItemSingleKeyInputMMO::CaptureState::Completed)
                    return false;
                g_seconds += 2;
                return true;
            };
        };
        PopupDriver driver(popup, {
            Focused(popup, EDITCTRL_POPUP_SINGLEKEYENTRY),
            [&] {
                edit = Item<CEditItemSingleKeyInputMMO>(popup, EDITCTRL_POPUP_SINGLEKEYENTRY,
                                                        ItemKind::EditItemSingleKey);
                EXPECT_TRUE(edit->IsKeyInputRegistered()) << "the popup takes the keyboard's raw input";
                PressKeys(popup, {VK_RETURN});
                return true;
            },
            captured(VK_RETURN, 0),
            [&] {
                EXPECT_TRUE(IsWindowVisible(popup)) << "Enter is a key, not the answer";
                EXPECT_EQ(KeyName(VK_RETURN), WindowText(*edit));
                PressKeys(popup, {VK_ESCAPE});
                return true;
            },
            captured(VK_ESCAPE, 0),
            [&] {
                EXPECT_TRUE(IsWindowVisible(popup)) << "Escape is a key, not the answer";
                EXPECT_EQ(KeyName(VK_ESCAPE), WindowText(*edit));
                PressKeys(popup, {'B'}, VK_CONTROL);
                return true;
            },
            captured('B', KeyEventRecord::kCtrl),
            [&] {
                EXPECT_EQ(KeyName('B'), WindowText(*edit));
                Picture(popup, L"popup_single_key.bmp");
                ClickItem(popup, BUTTON_POPUP_OK);
                return true;
            },
        });
        EXPECT_EQ(IDOK, popup.DoModal());
        EXPECT_TRUE(driver.Done());
        EXPECT_FALSE(TheRawInputRegistration().IsRegistered()) << "the registration goes with the popup";
    }
    EXPECT_EQ(KeyName('B'), entry.text);
    EXPECT_EQ('B', entry.virtualKey);
    EXPECT_EQ(MapVirtualKeyW('B', MAPVK_VK_TO_VSC), entry.scanCode);
    EXPECT_EQ(KeyEventRecord::kCtrl, entry.flags) << "Ctrl reaches the assignment";

    // OK before a key is captured keeps the popup up; Enter and Escape that reach the popup itself
    // (not the edit) answer nothing; a click on Cancel empties the text.
    {
        CVexaPopupBoxSingleKeyEntry popup(Owner(), &entry);
        PopupDriver driver(popup, {
            Focused(popup, EDITCTRL_POPUP_SINGLEKEYENTRY),
            [&] {
                ClickItem(popup, BUTTON_POPUP_OK);
                return true;
            },
            [&] {
                EXPECT_TRUE(IsWindowVisible(popup)) << "nothing captured yet";
                popup.PostMessage(WM_KEYDOWN, VK_RETURN, 0x001C0001);
                popup.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                return true;
            },
            [&] {
                EXPECT_TRUE(IsWindowVisible(popup)) << "the dialog keys answer nothing";
                ClickItem(popup, BUTTON_POPUP_CANCEL);
                return true;
            },
        });
        EXPECT_EQ(IDCANCEL, popup.DoModal());
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(L"", entry.text);
    CEditItemSingleKeyInputMMO::SetSecondsClock(nullptr);
    CEditItemSingleKeyInputMMO::ResetLastStep();
}

// ---- Predefined commands -------------------------------------------------------------------------

// The predefined-command popup's template as the program's resources carry it (template 133).
CDialogTemplate PredefinedMacroTemplate()
{
    CDialogTemplate t(L"", DS_SETFONT | WS_POPUP | WS_SYSMENU, 0, 0, 240, 140);
    t.AddControl(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 128, 118, 50, 14);
    t.AddControl(L"BUTTON", L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 184, 118, 50, 14);
    return t;
}

TEST_F(VexaPopupsTest, PredefinedCommandsOfEitherGroupAreAddedAndCloseCancels)
{
    std::vector<std::wstring> basic, advanced;
    PredefinedMacros().GetFirstGroupNames(basic);
    PredefinedMacros().GetSecondGroupNames(advanced);
    ASSERT_GE(basic.size(), 2u);
    ASSERT_GE(advanced.size(), 1u);

    // On the program's own template: a command chosen in the first list.
    {
        CVxPredefinedMacroPopup popup(Owner());
        CDropdownListItem* list = nullptr;
        PopupDriver driver(popup, {
            [&] {
                list = Item<CDropdownListItem>(popup, LIST_GLOBAL_BASIC_COMMANDS, ItemKind::DropdownList);
                EXPECT_FALSE(IsWindowVisible(popup.GetDlgItem(IDOK))) << "the skin's buttons serve";
                const hvtest::Bitmap shot = Picture(popup, L"popup_predefined.bmp");
                EXPECT_GT(PixelsOfItem(popup, shot, LIST_GLOBAL_BASIC_COMMANDS, RGB(255, 255, 255)), 20)
                    << "the first command is shown";
                ClickOn(*list);
                return true;
            },
            ChooseRow(1),
            [&] {
                if (list->ShownText() != basic[1])
                    return false;
                ClickItem(popup, BUTTON_ADD_BASIC_MACRO_CMDS);
                return true;
            },
        });
        EXPECT_EQ(IDOK, popup.DoModal());
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(basic[1], popup.Result());
        EXPECT_EQ(basic.size(), list->Entries().size());
    }
    // On an equal template in memory: the second list's first command, added at once.
    const CDialogTemplate dialogTemplate = PredefinedMacroTemplate();
    {
        CVxPredefinedMacroPopup popup(Owner(), dialogTemplate.Get());
        PopupDriver driver(popup, {[&] {
            ClickItem(popup, BUTTON_ADD_ADV_MACRO_CMDS);
            return true;
        }});
        EXPECT_EQ(IDOK, popup.DoModal());
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(advanced[0], popup.Result());
        std::vector<MacroEvent> events;
        EXPECT_TRUE(PredefinedMacros().GetMacro(popup.Result().c_str(), events));
        EXPECT_FALSE(events.empty()) << "the answer names a predefined macro";
    }
    // The close button, and Escape, cancel; Enter adds nothing.
    for (bool escape : {false, true}) {
        CVxPredefinedMacroPopup popup(Owner(), dialogTemplate.Get());
        PopupDriver driver(popup, {
            [&] {
                PressKeys(popup, {VK_RETURN});
                return true;
            },
            [&] {
                EXPECT_TRUE(IsWindowVisible(popup)) << "Enter chooses no command";
                if (escape)
                    PressKeys(popup, {VK_ESCAPE});
                else
                    ClickItem(popup, BUTTON_POPUP_SINGLE_OK);
                return true;
            },
        });
        EXPECT_EQ(IDCANCEL, popup.DoModal());
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(L"", popup.Result());
    }
}

// ---- The profile preview -------------------------------------------------------------------------

GUID MakeGuid(uint32_t n)
{
    GUID g = {};
    g.Data1 = n;
    g.Data4[7] = 0x5A;
    return g;
}

TEST_F(VexaPopupsTest, PreviewShowsEachButtonsFunctionAndTheLightsAndNamesOnlyWhatStillExists)
{
    CVxConfig_Mouse config;
    IMouseProfile* shown = config.CreateProfile(L"Shown");
    IMouseProfile* other = config.CreateProfile(L"Other");
    IMouseProfile* gone = config.CreateProfile(L"Gone");
    ASSERT_TRUE(shown && other && gone);
    other->SetGuid(MakeGuid(1));
    CMacro* fire = config.AddMacro(L"Fire", {});
    CMacro* longName = config.AddMacro(L"A macro with a long long name", {});
    CMacro* deleted = config.AddMacro(L"Deleted", {});
    ASSERT_TRUE(fire && longName && deleted);
    fire->SetGuid(MakeGuid(2));
    deleted->SetGuid(MakeGuid(3));

    AssignmentAction click(1);
    const AssignmentAction key = AssignmentAction::Key(5, static_cast<uint16_t>(MapVirtualKeyW('B', MAPVK_VK_TO_VSC)),
                                                       'B', 0);
    AssignmentAction macroById(6, fire->GetGuid());
    const AssignmentAction macroByName = AssignmentAction::ByName(7, longName->GetName());
    AssignmentAction profileById(22, other->GetGuid());
    const AssignmentAction profileByName = AssignmentAction::ByName(23, L"Gone");
    AssignmentAction deletedMacro(6, deleted->GetGuid());
    const AssignmentAction deletedProfile = AssignmentAction::ByName(23, L"Never made");
    AssignmentAction unknown(99);
    const std::pair<int32_t, const AssignmentAction*> buttons[] = {
        {1, &click},  {2, &key},          {3, &macroById},      {4, &macroByName}, {5, &profileById},
        {6, &profileByName}, {7, &deletedMacro}, {12, &deletedProfile}, {13, &unknown}};
    for (const auto& [button, action] : buttons)
        shown->SetFromDevice(button, *action, nullptr);
    // Button 7 names a macro deleted since, button 12 a profile that no longer exists; button 6
    // names one that is deleted further on.
    config.RemoveMacro(deleted);
    shown->SetLedState(0, true);
    shown->SetLedState(10, false);
    shown->SetLedState(9, true);
    shown->SetLedEffect(9, 4);

    const std::wstring macroType = English(L"$macro");
    const std::wstring profileType = English(L"$profile");
    const std::vector<std::wstring> expected = {
        English(L"$click"),
        English(L"$SingleKey") + L": " + KeyName('B'),
        macroType + L": Fire",
        macroType + L": A macro with a long...",
        profileType + L": Other",
        profileType + L": Gone",
        macroType,
        profileType,
        English(L"$defaultkey"),
    };
    const std::vector<std::wstring> lights = {L"Main light On", L"Side light Off", L"Base light Pulsing"};

    auto check = [&](const wchar_t* pictureName, const std::vector<std::wstring>& rows) {
        CVxPreviewPopup_Mouse popup(Owner(), shown, &config);
        PopupDriver driver(popup, {[&] {
            for (size_t i = 0; i < rows.size(); ++i) {
                EXPECT_EQ(rows[i], Text(popup, TEXT_PREVIEW_01 + static_cast<int32_t>(i))->GetText())
                    << "row " << i + 1;
            }
            // The heading names the profile shown.
            if (const CTextItem* heading = Text(popup, TEXT_WARNDLG_HEADING))
                // The heading's own text in the case its item gives it, the name as it is.
                EXPECT_TRUE(wstr::EqualsNoCase(English(L"$PreviewHeading") + L": Shown", heading->GetText()) &&
                            heading->GetText().substr(heading->GetText().size() - 7) == L": Shown")
                    << simtest::Narrow(heading->GetText());
            else
                ADD_FAILURE() << "the preview has no heading";
            EXPECT_EQ(lights[0], Text(popup, TEXT_HEADING_MAIN)->GetText());
            EXPECT_EQ(lights[1], Text(popup, TEXT_HEADING_SIDE)->GetText());
            EXPECT_EQ(lights[2], Text(popup, TEXT_HEADING_BASE)->GetText());
            const hvtest::Bitmap shot = Picture(popup, pictureName);
            for (int32_t id = TEXT_PREVIEW_01; id <= TEXT_PREVIEW_09; ++id)
                EXPECT_GT(PixelsOfItem(popup, shot, id, RGB(255, 255, 255)), 10) << "text " << id << " drawn";
            ClickItem(popup, BUTTON_POPUP_SINGLE_OK);
            return true;
        }});
        EXPECT_EQ(IDOK, popup.DoModal());
        EXPECT_TRUE(driver.Done());
    };
    check(L"popup_preview.bmp", expected);

    // The profile deleted: the rows that name it give the type alone.
    config.DeleteProfile(gone);
    std::vector<std::wstring> afterDelete = expected;
    afterDelete[5] = profileType;
    check(L"popup_preview_deleted.bmp", afterDelete);
}


// What a refused import shows: the file named in the heading, and what is wrong with the name in
// the message; a name in use gets the duplicate notice with that name.
struct RefusalSeen
{
    std::wstring layout;
    std::wstring heading;
    std::wstring message;
};

// Shows the refusal and reads it from inside its modal loop (vexatest::PopupScript): its layout,
// heading and message, and its picture under that name when one is given; then it is closed.
RefusalSeen ShowRefusal(CWnd* owner, const wchar_t* path, ImportOutcome outcome, const wchar_t* name, bool profile,
                        const wchar_t* picture)
{
    RefusalSeen seen;
    vexatest::PopupScript script;
    script.Expect([&seen, picture](CPopupBox& popup) {
        seen.layout = popup.LayoutFile();
        if (const CTextItem* heading = Text(popup, TEXT_WARNDLG_HEADING))
            seen.heading = heading->GetText();
        if (const CTextItem* message = Text(popup, TEXT_WARNDLG_MESSAGE))
            seen.message = message->GetText();
        if (picture)
            Picture(popup, picture);
        popup.EndDialog(IDOK);
    });
    ShowImportRefusal(owner, path, ImportResult{outcome, name}, profile);
    EXPECT_TRUE(script.Done());
    return seen;
}

TEST_F(VexaPopupsTest, ARefusedImportNamesTheFileAndWhatIsWrongWithTheName)
{
    RefusalSeen seen = ShowRefusal(Owner(), L"C:\\Files\\lines.hvm", ImportOutcome::NameControl, L"", false,
                                   L"popup_import_refused_name.bmp");
    EXPECT_EQ(L"FileErrorPopUp.xml", seen.layout);
    EXPECT_TRUE(wstr::EqualsNoCase(English(L"$FileErrorHeading") + L": lines.hvm", seen.heading))
        << simtest::Narrow(seen.heading);
    EXPECT_EQ(English(L"$ImportNameControlMessage"), seen.message);
    EXPECT_NE(L'$', seen.message.empty() ? L'$' : seen.message[0]) << "the language has no text for it";

    seen = ShowRefusal(Owner(), L"C:\\Files\\long.hvp", ImportOutcome::NameTooLong, L"", true, L"popup_import_long_name.bmp");
    EXPECT_EQ(English(L"$ImportNameTooLongMessage"), seen.message);
    EXPECT_NE(L'$', seen.message.empty() ? L'$' : seen.message[0]);
    seen = ShowRefusal(Owner(), L"C:\\Files\\empty.hvp", ImportOutcome::NameEmpty, L"", true, L"popup_import_empty_name.bmp");
    EXPECT_EQ(English(L"$ImportNameEmptyMessage"), seen.message);
    EXPECT_NE(L'$', seen.message.empty() ? L'$' : seen.message[0]);

    // A file that is not read keeps the notice's own message.
    seen = ShowRefusal(Owner(), L"C:\\Files\\broken.hvm", ImportOutcome::NotRead, L"", false, L"popup_import_not_read.bmp");
    EXPECT_EQ(English(L"$FileErrorMessage"), seen.message);

    seen = ShowRefusal(Owner(), L"C:\\Files\\twin.hvm", ImportOutcome::NameInUse, L"Twin", false,
                       L"popup_import_name_in_use.bmp");
    EXPECT_EQ(L"DuplicateMacroWarningPopup.xml", seen.layout);
    EXPECT_TRUE(wstr::EqualsNoCase(English(L"$DuplicateMacroHeading") + L": Twin", seen.heading));
    seen = ShowRefusal(Owner(), L"C:\\Files\\twin.hvp", ImportOutcome::NameInUse, L"Twin", true, nullptr);
    EXPECT_EQ(L"DuplicateProfileWarningPopup.xml", seen.layout);
}

} // namespace
