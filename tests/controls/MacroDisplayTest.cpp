// The macro display as the MACRO DISPLAYS section builds it in a real panel: a recording of keys
// and mouse buttons typed with SendInput, stopped by a click on the record button that is not
// recorded; its rows, icons and colours in a captured picture; the context menus and the delay's
// label editing driven by real clicks and keys; scrolling from the skinned bar; the replay of a
// read-only display; and the recording rules fed with made-up raw input on a clock of the test's.
#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "controls/ListPanelItem.h"
#include "controls/MacroDisplay.h"
#include "core/NameTables.h"
#include "model/Macro.h"
#include "platform/RawInput.h"
#include "skin/GUIItem.h"
#include "skin/LangTable.h"

#include "ImportPatch.h"

#include "ControlTest.h"
#include "HvTest.h"
#include "LayoutTestFiles.h"
#include "RecordingPanel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace layouttest;
using hvtest::CRecordingPanel;
using controltest::ModalScript;
using controltest::Rgb;
using controltest::RowCentre;
using controltest::WaitPastDoubleClick;

namespace {

constexpr COLORREF kBack = RGB(0x00, 0x1B, 0x3D);     // BLUE_VX_PROFILE_HIGHLIGHT
constexpr COLORREF kBackHi = RGB(255, 255, 0);        // YELLOW
constexpr COLORREF kBorder = RGB(255, 0, 0);          // RED
constexpr COLORREF kKeyDown = RGB(40, 200, 60);
constexpr COLORREF kKeyUp = RGB(40, 60, 220);
constexpr COLORREF kMouse = RGB(200, 40, 200);
constexpr COLORREF kMouseHi = RGB(250, 150, 20);
constexpr COLORREF kClock = RGB(20, 200, 200);
constexpr COLORREF kClockHi = RGB(240, 240, 240);

void WriteMacroSkin()
{
    WriteSkinBitmap(L"md_panel.bmp", 460, 330, [](int, int) { return 0x202020u; });
    WriteSkinBitmap(L"md_mask.bmp", 460, 330, [](int, int) { return 0u; });
    WriteSkinBitmap(L"md_btn.bmp", 90, 30, [](int, int) { return 0x3050C0u; });
    WriteSkinBitmap(L"md_btnover.bmp", 90, 30, [](int, int) { return 0x50A0F0u; });
    const std::pair<const wchar_t*, COLORREF> icons[] = {{L"md_keydn.bmp", kKeyDown}, {L"md_keyup.bmp", kKeyUp},
                                                         {L"md_mse.bmp", kMouse},     {L"md_mseh.bmp", kMouseHi},
                                                         {L"md_clk.bmp", kClock},     {L"md_clkh.bmp", kClockHi}};
    for (const auto& [file, colour] : icons) {
        const uint32_t pixel = Rgb(colour);
        WriteSkinBitmap(file, 28, 18, [pixel](int, int) { return pixel; });
    }
    for (const wchar_t* part : {L"md_top.bmp", L"md_bot.bmp", L"md_aup.bmp", L"md_adn.bmp", L"md_spn.bmp", L"md_tmb.bmp"})
        WriteSkinBitmap(part, 12, 10, [](int, int) { return 0x808080u; });
    WriteLayout(L"MacroDisplay.xml", R"(<?xml version="1.0" encoding="utf-8"?>
<GUIPANEL>
  <BACKGROUND>md_panel.bmp</BACKGROUND><MASK>md_mask.bmp</MASK>
  <FONTLIST><FONT name="FONT_ARIAL14B" typeface="Arial" pitch="15" boldlevel="400"/></FONTLIST>
  <BUTTONLIST>
    <BUTTON name="BUTTON_MACRO_RECORD"><SBMN>md_btn.bmp</SBMN><SBMO>md_btnover.bmp</SBMO><SBMD>md_btn.bmp</SBMD>
      <RECT left="320" top="20" right="90" bottom="30"/></BUTTON>
  </BUTTONLIST>
  <MACRODISPLAYLIST>
    <MACRODISPLAY name="MACRO_DISPLAY" max="-3" fontclr="WHITE" fontclrhi="BLACK" backclr="BLUE_VX_PROFILE_HIGHLIGHT"
                  backclrhi="YELLOW" bdrclr="RED" bdrwidth="2" lmargin="-4" fontid="FONT_ARIAL14B" tooltip="macro tip">
      <VSCROLL><VSBMP_TOP>md_top.bmp</VSBMP_TOP><VSBMP_BOT>md_bot.bmp</VSBMP_BOT><VSBMP_AUP>md_aup.bmp</VSBMP_AUP>
        <VSBMP_ADN>md_adn.bmp</VSBMP_ADN><VSBMP_SPN>md_spn.bmp</VSBMP_SPN><VSBMP_TMB>md_tmb.bmp</VSBMP_TMB></VSCROLL>
      <MDBMP_KEYDN>md_keydn.bmp</MDBMP_KEYDN><MDBMP_KEYUP>md_keyup.bmp</MDBMP_KEYUP><MDBMP_MSE>md_mse.bmp</MDBMP_MSE>
      <MDBMP_MSEH>md_mseh.bmp</MDBMP_MSEH><MDBMP_CLK>md_clk.bmp</MDBMP_CLK><MDBMP_CLKH>md_clkh.bmp</MDBMP_CLKH>
      <LISTCOLUMN name="LCITEM_MCREVENT_ICON" type="icon" width="30"/>
      <LISTCOLUMN name="LCITEM_MCREVENT_DESCRIP" type="STATIC" width="204" justify="L"/>
      <RECT left="20" top="20" right="260" bottom="200"/>
    </MACRODISPLAY>
    <MACRODISPLAY name="MACRO_DISPLAY_KEYBOARD" readonly="yes" max="12" backclr="BLACK">
      <LISTCOLUMN name="LCITEM_MCREVENT_DESCRIP" type="STATIC" width="150" justify="C"/>
      <RECT left="20" top="240" right="160" bottom="80"/>
    </MACRODISPLAY>
  </MACRODISPLAYLIST>
  <LISTPANELLIST>
    <LISTPANEL name="LISTPANEL_MACROOPTIONS_KEYSTROKE" fontclr="WHITE" backclr="BLACK" bdrclr="RED">
      <RECT left="0" top="0" right="150" bottom="58"/>
      <LISTPANELITEMS><LISTPANELITEM>$Edit</LISTPANELITEM><LISTPANELITEM>$InsertDelay</LISTPANELITEM>
        <LISTPANELITEM>$Delete</LISTPANELITEM></LISTPANELITEMS>
    </LISTPANEL>
    <LISTPANEL name="LISTPANEL_MACROOPTIONS_DELAY" fontclr="WHITE" backclr="BLACK" bdrclr="RED">
      <RECT left="0" top="0" right="150" bottom="58"/>
      <LISTPANELITEMS><LISTPANELITEM>$EDIT</LISTPANELITEM><LISTPANELITEM>$insertdelay</LISTPANELITEM>
        <LISTPANELITEM>$delete</LISTPANELITEM></LISTPANELITEMS>
    </LISTPANEL>
    <LISTPANEL name="LISTPANEL_MACROOPTIONS_MOUSECLICK" fontclr="WHITE" backclr="BLACK" bdrclr="RED">
      <RECT left="0" top="0" right="150" bottom="40"/>
      <LISTPANELITEMS><LISTPANELITEM>$InsertDelay</LISTPANELITEM><LISTPANELITEM>$Delete</LISTPANELITEM></LISTPANELITEMS>
    </LISTPANEL>
  </LISTPANELLIST>
</GUIPANEL>
)");
}

struct Scene : controltest::LayoutScene
{
    Scene() : LayoutScene(L"MacroDisplay.xml", WriteMacroSkin, 40, 40)
    {
        display = Find<CMacroDisplayItem>(L"MACRO_DISPLAY", ItemKind::MacroDisplay);
        if (display)
            display->SetMenus(Find<CListPanelItem>(L"LISTPANEL_MACROOPTIONS_KEYSTROKE", ItemKind::ListPanelItem),
                              Find<CListPanelItem>(L"LISTPANEL_MACROOPTIONS_DELAY", ItemKind::ListPanelItem),
                              Find<CListPanelItem>(L"LISTPANEL_MACROOPTIONS_MOUSECLICK", ItemKind::ListPanelItem));
    }
    ~Scene() { TheRawInputRegistration().Unregister(); }

    CMacroDisplayItem* display = nullptr;
};

MacroEvent Key(uint16_t vk, uint16_t scan, bool down, uint8_t flags = 0)
{
    return {kMacroEventKey, static_cast<int32_t>(scan | (uint32_t(vk) << 16)),
            static_cast<int32_t>((down ? kKeyStatePressed : kKeyStateReleased) | (flags << 8))};
}
MacroEvent Mouse(int button, bool down)
{
    return {kMacroEventMouse, button, down ? kKeyStatePressed : kKeyStateReleased};
}
MacroEvent Delay(int32_t ms)
{
    return {kMacroEventDelay, ms, 0};
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

// The display's client point of a row, and one below the last row.
POINT RowPoint(CMacroDisplayItem& display, int row)
{
    const CRect r = display.GetItemRect(row);
    return {r.left + 60, (r.top + r.bottom) / 2};
}

// Right-clicks the display at point and picks command from the list panel that pops up; the names
// of the entries it showed are returned.
std::vector<std::wstring> RunMenu(CMacroDisplayItem& display, POINT point, const wchar_t* command)
{
    std::vector<std::wstring> shown;
    ModalScript script({[&](CListPanel& panel) {
        CListPanelList& list = panel.List();
        for (const ListEntry& entry : list.Entries())
            shown.push_back(entry.name);
        for (int row = 0; row < list.GetItemCount(); ++row) {
            if (list.EntryOfRow(row)->name == command) {
                hvtest::Click(list, RowCentre(list, row));
                return;
            }
        }
        ADD_FAILURE() << "no entry " << wstr::WideToUtf8(command);
        panel.PostMessage(WM_LISTPANEL_SELECT, 0, -1);
    }});
    EXPECT_TRUE(hvtest::Click(display, point, hvtest::Button::Right));
    EXPECT_TRUE(hvtest::WaitUntil([&] { return script.Done(); }, 5000));
    hvtest::FlushMessages();
    WaitPastDoubleClick();
    return shown;
}

DWORD g_now = 0;
DWORD WINAPI TestTick()
{
    return g_now;
}

RAWINPUT RawKey(USHORT makeCode, bool down, USHORT virtualKey, USHORT flags = 0)
{
    RAWINPUT input{};
    input.header.dwType = RIM_TYPEKEYBOARD;
    input.data.keyboard.MakeCode = makeCode;
    input.data.keyboard.Flags = static_cast<USHORT>(flags | (down ? RI_KEY_MAKE : RI_KEY_BREAK));
    input.data.keyboard.VKey = virtualKey;
    input.data.keyboard.Message = down ? WM_KEYDOWN : WM_KEYUP;
    return input;
}

RAWINPUT RawMouse(USHORT buttonFlags)
{
    RAWINPUT input{};
    input.header.dwType = RIM_TYPEMOUSE;
    input.data.mouse.usButtonFlags = buttonFlags;
    return input;
}

BOOL WINAPI RefuseRegistration(PCRAWINPUTDEVICE, UINT, UINT)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

} // namespace

TEST(MacroDisplay, RecordsTypedKeysAndButtonsUntilTheRecordButtonIsClicked)
{
    Scene scene;
    ASSERT_TRUE(scene.created);
    CMacroDisplayItem* display = scene.display;
    auto* button = scene.Find<CBitmapBtn>(L"BUTTON_MACRO_RECORD", ItemKind::BitmapBtn);
    ASSERT_NE(display, nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(display->ColumnCount(), 2);
    EXPECT_EQ(display->MaxEvents(), 0) << "a negative max is read as 0";
    EXPECT_EQ(display->LeftMargin(), 0);
    EXPECT_EQ(display->BorderWidth(), 2);
    EXPECT_TRUE(display->GetExtendedStyle() & LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(display->GetStyle() & LVS_EDITLABELS);
    EXPECT_EQ(display->GetColumnWidth(1), 200) << "the text column is narrowed by twice the border";
    ASSERT_NE(display->ScrollBar(), nullptr);
    EXPECT_EQ(display->ScrollBar()->GetDlgCtrlID(), 0xFFFF);
    EXPECT_EQ(display->ToolTip().Text(), L"macro tip");

    // Texts in a language of the test's.
    const std::wstring language = L"English\r\nversion\r\nWheelDown\r\nWheel button down\r\nWheelUp\r\nWheel button up\r\n"
                                  L"secondsdelay\r\nseconds delay\r\nEND OF FILE\r\n";
    CLangTable texts;
    ASSERT_TRUE(texts.Parse(language.size() * sizeof(wchar_t), language.c_str()));
    SetCurrentLangTable(&texts);

    // The page's part: the record button toggles the recording and is the display's capture window.
    display->SetCaptureWindow(*button);
    bool started = false;
    scene.panel.onReceived = [&](const hvtest::RecordedMsg& r) {
        if (r.message == WM_COMMAND && HIWORD(r.wParam) == BN_CLICKED && reinterpret_cast<HWND>(r.lParam) == *button)
            started = display->ToggleRecording() || started;
    };
    ASSERT_TRUE(hvtest::Click(*button));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return display->IsRecording(); }, 5000));
    EXPECT_TRUE(started);
    EXPECT_TRUE(TheRawInputRegistration().IsRegisteredFor(*display));
    EXPECT_FALSE(display->ScrollBar()->IsWindowVisible()) << "hidden while recording";
    EXPECT_TRUE(display->Events().empty()) << "the press that started the recording is not part of it";

    // The pointer goes over the list, which takes the hover from the button.
    ASSERT_TRUE(hvtest::MoveCursorTo(CentreOnScreen(*display)));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return GetCapture() != button->GetSafeHwnd(); }, 5000));

    // 'A' down and up with its virtual key and scan code, a pause, and a middle click.
    ASSERT_TRUE(hvtest::KeyDown('A'));
    ASSERT_TRUE(hvtest::KeyUp('A'));
    Sleep(35);
    ASSERT_TRUE(PressButtons(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return display->Events().size() >= 7; }, 5000)) << Describe(display->Events());

    // A click on the record button stops it; the button holds the mouse, so the click is not recorded.
    ASSERT_TRUE(hvtest::MoveCursorTo(CentreOnScreen(*button)));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return button->IsHover() && GetCapture() == button->GetSafeHwnd(); }, 5000));
    ASSERT_TRUE(PressButtons(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return !display->IsRecording(); }, 5000));
    EXPECT_FALSE(TheRawInputRegistration().IsRegistered());
    EXPECT_TRUE(display->ScrollBar()->IsWindowVisible());

    const std::vector<MacroEvent>& events = display->Events();
    ASSERT_EQ(events.size(), 7u) << Describe(events);
    const uint16_t scanA = static_cast<uint16_t>(MapVirtualKeyW('A', MAPVK_VK_TO_VSC));
    EXPECT_EQ(events[0], Key('A', scanA, true)) << Describe(events);
    EXPECT_EQ(events[1].type, kMacroEventDelay);
    EXPECT_EQ(events[2], Key('A', scanA, false));
    EXPECT_EQ(events[3].type, kMacroEventDelay);
    EXPECT_GE(events[3].value, 30);
    EXPECT_LT(events[3].value, 500);
    EXPECT_EQ(events[4], Mouse(3, true));
    EXPECT_EQ(events[5].type, kMacroEventDelay);
    EXPECT_EQ(events[6], Mouse(3, false));

    // The rows: item data by type, texts in the text column.
    ASSERT_EQ(display->GetItemCount(), 7);
    const LPARAM data[] = {0, 2, 1, 2, 4, 2, 4};
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(display->GetItemData(row), data[row]) << row;
        EXPECT_EQ(display->GetItemText(row, 1), CMacroDisplayItem::RowText(events[static_cast<size_t>(row)])) << row;
    }
    wchar_t name[64] = {};
    GetKeyNameTextW(LONG(scanA) << 16, name, 64);
    EXPECT_EQ(display->GetItemText(0, 1), name);
    EXPECT_EQ(display->GetItemText(4, 1), L"Wheel button down");
    EXPECT_EQ(display->GetItemText(6, 1), L"Wheel button up");
    EXPECT_EQ(display->GetItemText(1, 1), wstr::Format(L"%.3f seconds delay", events[1].value / 1000.0));
    SetCurrentLangTable(nullptr);
    EXPECT_EQ(CMacroDisplayItem::RowText(Mouse(5, false)), L"$Button5Up") << "no language: the key as written";
    EXPECT_EQ(CMacroDisplayItem::RowText(Mouse(9, true)), L"<null>Down");
    EXPECT_EQ(CMacroDisplayItem::RowText(Delay(1500)), L"1.500 $secondsdelay");
    EXPECT_EQ(display->GetSelectedItem(), 6) << "the last row recorded is selected";

    // The picture: the frame's border, each row's icon, the selected row in the highlight colour.
    hvtest::FlushMessages();
    hvtest::Bitmap shot = hvtest::CaptureClient(scene.panel);
    ASSERT_FALSE(shot.Empty());
    shot.SaveToTestDir(L"macro_display.bmp");
    POINT origin = {0, 0};
    MapWindowPoints(*display, scene.panel, &origin, 1);
    hvtest::ExpectPixelNear(shot, 21, 100, kBorder);
    const COLORREF icons[] = {kKeyDown, kClock, kKeyUp, kClock, kMouse, kClock, kMouseHi};
    for (int row = 0; row < 7; ++row) {
        const CRect r = display->GetItemRect(row);
        hvtest::ExpectPixelNear(shot, origin.x + r.left + 10, origin.y + r.top + 5, icons[row], 8);
    }
    const CRect last = display->GetItemRect(6);
    hvtest::ExpectPixelNear(shot, origin.x + 190, origin.y + last.top + 1, kBackHi, 8);
    const CRect first = display->GetItemRect(0);
    hvtest::ExpectPixelNear(shot, origin.x + 190, origin.y + first.top + 1, kBack, 8);
    hvtest::ExpectPixelNear(shot, origin.x + 100, origin.y + last.bottom + 20, kBack, 8);
}

TEST(MacroDisplay, ARefusedRegistrationStartsNoRecording)
{
    Scene scene;
    ASSERT_TRUE(scene.created);
    CMacroDisplayItem* display = scene.display;
    ASSERT_NE(display, nullptr);

    // Another recorder holds the one registration.
    hvtest::ScopedWindow other(hvtest::CreateTestWindow(20, 20, 600, 600, L"other recorder"));
    RawInputRegistration& registration = TheRawInputRegistration();
    registration.AddUsage(kUsageKeyboard);
    ASSERT_TRUE(registration.Register(other));
    EXPECT_FALSE(display->ToggleRecording());
    EXPECT_FALSE(display->IsRecording());
    EXPECT_TRUE(registration.IsRegisteredFor(other)) << "the other registration is left alone";
    registration.Unregister();

    // The system refuses.
    {
        CImportPatch refuse("RegisterRawInputDevices", reinterpret_cast<void*>(&RefuseRegistration));
        ASSERT_TRUE(refuse.IsActive());
        EXPECT_FALSE(display->ToggleRecording());
        EXPECT_FALSE(display->IsRecording());
    }
    EXPECT_FALSE(registration.IsRegistered());
    // Nothing blocks the next one; the read-only display never records.
    EXPECT_TRUE(display->ToggleRecording());
    EXPECT_FALSE(display->ToggleRecording());
    auto* readOnly = scene.Find<CMacroDisplayItem>(L"MACRO_DISPLAY_KEYBOARD", ItemKind::MacroDisplay);
    ASSERT_NE(readOnly, nullptr);
    EXPECT_TRUE(readOnly->IsReadOnly());
    EXPECT_EQ(readOnly->MaxEvents(), 12);
    EXPECT_FALSE(readOnly->ToggleRecording());
    EXPECT_FALSE(registration.IsRegistered());
    // A display whose window goes while it records takes its registration with it.
    EXPECT_TRUE(display->ToggleRecording());
    scene.panel.DestroyWindow();
    EXPECT_FALSE(registration.IsRegistered());
}

TEST(MacroDisplay, RecordingRulesOnMadeUpRawInput)
{
    Scene scene;
    ASSERT_TRUE(scene.created);
    CMacroDisplayItem* display = scene.display;
    ASSERT_NE(display, nullptr);
    display->SetTickSource(TestTick);

    // A shown macro: the first event recorded onto it counts its delay from the start of recording.
    const std::vector<MacroEvent> shown = {Key('B', 0x30, true), Key('B', 0x30, false)};
    ASSERT_TRUE(display->SetEvents(&shown));
    g_now = 5000;
    ASSERT_TRUE(display->ToggleRecording());
    EXPECT_FALSE(display->SetEvents(&shown)) << "refused while recording";
    g_now = 5120;
    display->RecordRawInput(RawKey(0x1E, true, 'A'));
    g_now = 5400;
    display->RecordRawInput(RawKey(0x1E, true, 'A'));  // held: auto-repeat
    g_now = 5500;
    display->RecordRawInput(RawKey(0x1E, false, 'A'));
    // The generic Shift becomes the left one; a letter pressed with it carries the Shift flag.
    g_now = 5510;
    display->RecordRawInput(RawKey(0x2A, true, VK_SHIFT));
    display->RecordRawInput(RawKey(0x2A, false, VK_SHIFT));
    // Five hours later.
    g_now = 5510 + 5 * 3600 * 1000;
    display->RecordRawInput(RawMouse(RI_MOUSE_BUTTON_4_DOWN));
    // No button: a move, the wheel, two flags in one packet.
    display->RecordRawInput(RawMouse(0));
    display->RecordRawInput(RawMouse(RI_MOUSE_WHEEL));
    display->RecordRawInput(RawMouse(RI_MOUSE_BUTTON_1_DOWN | RI_MOUSE_BUTTON_2_DOWN));
    // A key without a make code, an E1 key.
    display->RecordRawInput(RawKey(0, true, 'C'));
    display->RecordRawInput(RawKey(0x1D, true, VK_PAUSE, RI_KEY_E1));
    std::vector<MacroEvent> expected = shown;
    expected.insert(expected.end(), {Delay(120), Key('A', 0x1E, true), Delay(380), Key('A', 0x1E, false), Delay(10),
                                     Key(VK_LSHIFT, 0x2A, true, KeyEventRecord::kShift), Delay(0),
                                     Key(VK_LSHIFT, 0x2A, false), Delay(kMaxMacroDelay), Mouse(4, true)});
    EXPECT_EQ(display->Events(), expected) << Describe(display->Events());

    // Delays ignored, then every gap the default delay.
    display->SetIgnoreDelays(true);
    g_now += 700;
    display->RecordRawInput(RawMouse(RI_MOUSE_BUTTON_4_UP));
    display->SetIgnoreDelays(false);
    display->SetUseDefaultDelay(true);
    display->SetDefaultDelay(75);
    g_now += 3000;
    display->RecordRawInput(RawMouse(RI_MOUSE_BUTTON_5_DOWN));
    expected.insert(expected.end(), {Mouse(4, false), Delay(75), Mouse(5, true)});
    EXPECT_EQ(display->Events(), expected) << Describe(display->Events());

    // A press on the capture window, while it holds the mouse, is left out.
    hvtest::ScopedWindow holder(hvtest::CreateTestWindow(20, 20, 600, 600, L"capture holder"));
    display->SetCaptureWindow(holder);
    SetCapture(holder);
    display->RecordRawInput(RawMouse(RI_MOUSE_BUTTON_1_DOWN));
    ReleaseCapture();
    display->RecordRawInput(RawMouse(RI_MOUSE_BUTTON_1_UP));
    expected.insert(expected.end(), {Delay(75), Mouse(1, false)});
    EXPECT_EQ(display->Events(), expected) << Describe(display->Events());
    display->SetCaptureWindow(nullptr);

    // No event beyond the most a macro holds: the first event that would leave no room for the
    // release of every button still down (5, pressed above, and 1 while it is down) closes the
    // recording with those releases, the last pressed first.
    display->ShowWindow(SW_HIDE);
    size_t fed = 0;
    while (!display->IsRecordingClosed() && fed < 2 * kMaxMacroEvents)
        display->RecordRawInput(RawMouse(++fed % 2 ? RI_MOUSE_BUTTON_1_DOWN : RI_MOUSE_BUTTON_1_UP));
    ASSERT_TRUE(display->IsRecordingClosed());
    const std::vector<MacroEvent>& full = display->Events();
    ASSERT_LE(full.size(), kMaxMacroEvents);
    EXPECT_EQ(full.size(), kMaxMacroEvents - 2) << "a delay and a press of 1 would leave no room for two releases";
    ASSERT_GE(full.size(), 5u);
    EXPECT_EQ(std::vector<MacroEvent>(full.end() - 5, full.end()),
              (std::vector<MacroEvent>{Delay(75), Mouse(1, true), Delay(75), Mouse(1, false), Mouse(5, false)}))
        << "the release of 5 closes it";
    EXPECT_EQ(display->GetItemCount(), static_cast<int>(full.size()));
    EXPECT_FALSE(TheRawInputRegistration().IsRegistered()) << "the closed recording takes no more input";
    MSG notice;
    ASSERT_TRUE(PeekMessageW(&notice, scene.panel, WM_MACRODISPLAY_RECORDINGFULL, WM_MACRODISPLAY_RECORDINGFULL,
                             PM_REMOVE));
    EXPECT_EQ(notice.lParam, static_cast<LPARAM>(display->id));
    display->SetUseDefaultDelay(false);
    display->SetIgnoreDelays(true);
    display->RecordRawInput(RawMouse(RI_MOUSE_BUTTON_2_DOWN));
    EXPECT_EQ(display->Events().size(), kMaxMacroEvents - 2);
    EXPECT_TRUE(display->IsRecording()) << "until the owner ends it";
    EXPECT_FALSE(display->ToggleRecording());
    EXPECT_FALSE(display->IsRecordingClosed());
    display->ClearEvents();
    EXPECT_EQ(display->GetItemCount(), 0);

    // A recording of no shown events: its first event has no delay before it.
    display->SetIgnoreDelays(false);
    g_now = 100;
    ASSERT_TRUE(display->ToggleRecording());
    g_now = 900;
    display->RecordRawInput(RawKey(0x1E, true, 'A'));
    EXPECT_EQ(display->Events(), (std::vector<MacroEvent>{Key('A', 0x1E, true)}));
    EXPECT_FALSE(display->ToggleRecording());
    // Not recording: nothing is added.
    display->RecordRawInput(RawKey(0x1E, false, 'A'));
    EXPECT_EQ(display->Events().size(), 1u);
}

TEST(MacroDisplay, ARecordingAtTheLimitEndsWithEveryKeyAndButtonUp)
{
    Scene scene;
    ASSERT_TRUE(scene.created);
    CMacroDisplayItem* display = scene.display;
    ASSERT_NE(display, nullptr);
    std::vector<MacroEvent> received;
    scene.panel.onReceived = [&](const hvtest::RecordedMsg& r) {
        if (r.message == WM_MACRODISPLAY_RECORDINGFULL)
            received.push_back({0, static_cast<int32_t>(r.lParam), 0});
    };

    // A macro shown with room for four more events; the recording adds to it, without delays.
    const size_t shownCount = kMaxMacroEvents - 4;
    const std::vector<MacroEvent> shown(shownCount, Delay(10));
    ASSERT_TRUE(display->SetEvents(&shown));
    display->SetIgnoreDelays(true);
    ASSERT_TRUE(hvtest::PrepareTarget(*display));
    ASSERT_TRUE(display->ToggleRecording());

    // Shift held, the left button held over the list: each still leaves room for the releases.
    ASSERT_TRUE(hvtest::KeyDown(VK_SHIFT));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return display->Events().size() == shownCount + 1; }, 5000));
    ASSERT_TRUE(PressButtons(MOUSEEVENTF_LEFTDOWN, 0));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return display->Events().size() == shownCount + 2; }, 5000))
        << Describe(display->Events());
    // C would leave room for only two of three releases: the recording closes with the two.
    ASSERT_TRUE(hvtest::KeyDown('C'));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return !received.empty(); }, 5000)) << Describe(display->Events());
    ASSERT_TRUE(hvtest::KeyUp('C'));
    ASSERT_TRUE(hvtest::MouseUp());
    ASSERT_TRUE(hvtest::KeyUp(VK_SHIFT));
    hvtest::FlushMessages();

    const std::vector<MacroEvent>& events = display->Events();
    ASSERT_EQ(events.size(), kMaxMacroEvents);
    const uint16_t scanShift = static_cast<uint16_t>(MapVirtualKeyW(VK_SHIFT, MAPVK_VK_TO_VSC));
    const std::vector<MacroEvent> recorded(events.begin() + static_cast<ptrdiff_t>(shownCount), events.end());
    EXPECT_EQ(recorded, (std::vector<MacroEvent>{Key(VK_LSHIFT, scanShift, true, KeyEventRecord::kShift), Mouse(1, true),
                                                 Mouse(1, false), Key(VK_LSHIFT, scanShift, false)}))
        << Describe(recorded);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].value, display->id);
    EXPECT_TRUE(display->IsRecordingClosed());
    EXPECT_FALSE(TheRawInputRegistration().IsRegistered());
    // The owner ends it, as its stop button would; the macro is what was shown.
    EXPECT_FALSE(display->ToggleRecording());
    EXPECT_EQ(display->Events().size(), kMaxMacroEvents);
    EXPECT_EQ(display->GetItemCount(), static_cast<int>(kMaxMacroEvents));
}

TEST(MacroDisplay, MenusInsertDeleteAndEditRowsAndDelays)
{
    Scene scene;
    ASSERT_TRUE(scene.created);
    CMacroDisplayItem* display = scene.display;
    ASSERT_NE(display, nullptr);
    const std::vector<MacroEvent> shown = {Key('A', 0x1E, true), Delay(100), Key('A', 0x1E, false), Mouse(1, true)};
    ASSERT_TRUE(display->SetEvents(&shown));
    const int32_t id = controltest::Id(L"MACRO_DISPLAY");
    auto changes = [&] { return scene.panel.Of(WM_MACRODISPLAY_CHANGED).size(); };

    // A key row: its menu; "$InsertDelay" puts the default delay after it and selects it.
    std::vector<std::wstring> entries = RunMenu(*display, RowPoint(*display, 0), L"$InsertDelay");
    EXPECT_EQ(entries, (std::vector<std::wstring>{L"$Edit", L"$InsertDelay", L"$Delete"}));
    std::vector<MacroEvent> expected = {Key('A', 0x1E, true), Delay(50), Delay(100), Key('A', 0x1E, false),
                                        Mouse(1, true)};
    EXPECT_EQ(display->Events(), expected) << Describe(display->Events());
    EXPECT_EQ(display->GetSelectedItem(), 1);
    ASSERT_EQ(changes(), 1u);
    EXPECT_EQ(scene.panel.Of(WM_MACRODISPLAY_CHANGED)[0].lParam, id);

    // "$Edit" on a key row asks the page for a key.
    RunMenu(*display, RowPoint(*display, 3), L"$Edit");
    ASSERT_EQ(scene.panel.Of(WM_MACRODISPLAY_EDITKEY).size(), 1u);
    EXPECT_EQ(scene.panel.Of(WM_MACRODISPLAY_EDITKEY)[0].lParam, id);
    EXPECT_EQ(display->GetSelectedItem(), 3);
    EXPECT_FALSE(display->IsLabelEditing());

    // A right click on no row: the delay rows' menu (its entries written in other cases), inserting
    // at the top; its "$Delete" and "$Edit" without a row do nothing.
    const POINT below = {60, display->GetItemRect(4).bottom + 30};
    entries = RunMenu(*display, below, L"$insertdelay");
    EXPECT_EQ(entries, (std::vector<std::wstring>{L"$EDIT", L"$insertdelay", L"$delete"}));
    expected.insert(expected.begin(), Delay(50));
    EXPECT_EQ(display->Events(), expected) << Describe(display->Events());
    EXPECT_EQ(display->GetSelectedItem(), 0);
    RunMenu(*display, below, L"$delete");
    RunMenu(*display, below, L"$EDIT");
    EXPECT_EQ(display->Events(), expected);
    EXPECT_FALSE(display->IsLabelEditing());
    EXPECT_EQ(changes(), 2u);

    // "$Delete" on the mouse row, the last: no row is selected after it.
    entries = RunMenu(*display, RowPoint(*display, 5), L"$Delete");
    EXPECT_EQ(entries, (std::vector<std::wstring>{L"$InsertDelay", L"$Delete"}));
    expected.pop_back();
    EXPECT_EQ(display->Events(), expected) << Describe(display->Events());
    EXPECT_EQ(display->GetSelectedItem(), -1);
    // On a middle row, the row after it is selected.
    RunMenu(*display, RowPoint(*display, 1), L"$Delete");
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(display->Events(), expected) << Describe(display->Events());
    EXPECT_EQ(display->GetSelectedItem(), 1);
    EXPECT_EQ(display->GetItemData(1), CMacroDisplayItem::kRowDelay);
    EXPECT_EQ(changes(), 4u);

    // "$Edit" on a delay row edits its milliseconds in place of its text.
    display->SetDefaultDelay(1234);
    RunMenu(*display, RowPoint(*display, 1), L"$insertdelay");
    expected.insert(expected.begin() + 2, Delay(1234));
    ASSERT_EQ(display->Events(), expected) << Describe(display->Events());
    RunMenu(*display, RowPoint(*display, 2), L"$EDIT");
    ASSERT_TRUE(display->IsLabelEditing());
    HWND edit = display->GetEditControl();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(hvtest::TextOf(edit), L"1234");
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), CMacroDisplayItem::kDelayEditChars);
    ASSERT_TRUE(hvtest::WaitUntil([&] {
        RECT r;
        GetWindowRect(edit, &r);
        POINT p = {r.left, r.top};
        ScreenToClient(*display, &p);
        return p.x >= display->GetColumnWidth(0);
    }, 3000)) << "the edit lies over the delay's text";
    // Left as it is: the delay stays exactly.
    ASSERT_TRUE(hvtest::PressKey(VK_RETURN));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return !display->IsLabelEditing(); }, 3000));
    EXPECT_EQ(display->Events(), expected);
    const size_t before = changes();

    // A new number replaces it; zero or no number keeps it.
    RunMenu(*display, RowPoint(*display, 2), L"$EDIT");
    ASSERT_TRUE(display->IsLabelEditing());
    ASSERT_TRUE(hvtest::TypeText(L"250"));
    ASSERT_TRUE(hvtest::PressKey(VK_RETURN));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return !display->IsLabelEditing(); }, 3000));
    expected[2] = Delay(250);
    EXPECT_EQ(display->Events(), expected) << Describe(display->Events());
    EXPECT_EQ(display->GetItemText(2, 1), CMacroDisplayItem::RowText(Delay(250)));
    EXPECT_EQ(changes(), before + 1);
    for (const wchar_t* typed : {L"0", L"x"}) {
        RunMenu(*display, RowPoint(*display, 2), L"$EDIT");
        ASSERT_TRUE(display->IsLabelEditing());
        ASSERT_TRUE(hvtest::TypeText(typed));
        ASSERT_TRUE(hvtest::PressKey(VK_RETURN));
        ASSERT_TRUE(hvtest::WaitUntil([&] { return !display->IsLabelEditing(); }, 3000));
        EXPECT_EQ(display->Events(), expected) << wstr::WideToUtf8(typed);
    }
    EXPECT_EQ(changes(), before + 1);

    // A page's replacement of an event.
    EXPECT_TRUE(display->ReplaceEvent(0, Key('Z', 0x2C, true, KeyEventRecord::kCtrl)));
    expected[0] = Key('Z', 0x2C, true, KeyEventRecord::kCtrl);
    EXPECT_EQ(display->Events(), expected);
    EXPECT_FALSE(display->ReplaceEvent(9, Delay(1)));
    EXPECT_EQ(changes(), before + 2);

    // While recording no menu opens.
    ASSERT_TRUE(display->ToggleRecording());
    {
        ModalScript none({[](CListPanel& panel) {
            ADD_FAILURE() << "a menu opened while recording";
            panel.PostMessage(WM_LISTPANEL_SELECT, 0, -1);
        }});
        hvtest::Click(*display, RowPoint(*display, 0), hvtest::Button::Right);
        hvtest::FlushMessages(200, 600);
    }
    EXPECT_FALSE(display->ToggleRecording());
}

TEST(MacroDisplay, ScrollsFromTheSkinnedBarAndTheWheel)
{
    Scene scene;
    ASSERT_TRUE(scene.created);
    CMacroDisplayItem* display = scene.display;
    ASSERT_NE(display, nullptr);
    std::vector<MacroEvent> many;
    for (int i = 0; i < 40; ++i)
        many.push_back(Delay(10 + i));
    ASSERT_TRUE(display->SetEvents(&many));
    display->EnsureVisible(0, false);
    hvtest::FlushMessages();
    ASSERT_EQ(display->GetTopIndex(), 0);
    const int perPage = display->GetCountPerPage();
    ASSERT_GT(perPage, 3);

    // The bar's thumb position is taken as it is.
    display->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 12));
    EXPECT_EQ(display->GetTopIndex(), 12);
    display->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3));
    EXPECT_EQ(display->GetTopIndex(), 3);
    // A line down at the end does nothing.
    display->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40 - perPage));
    const int end = display->GetTopIndex();
    display->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0));
    EXPECT_EQ(display->GetTopIndex(), end);
    display->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0));
    EXPECT_EQ(display->GetTopIndex(), end - 1);
    // Each wheel notch is a line.
    ASSERT_TRUE(hvtest::Wheel(*display, 2));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return display->GetTopIndex() == end - 3; }, 3000)) << display->GetTopIndex();

    // The bar holds the mouse while the pointer is over it and hands it back to the list, which
    // lets it go once the pointer is off both.
    CVScrollBar* bar = display->ScrollBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(hvtest::MoveCursorTo(CentreOnScreen(*display)));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return GetCapture() == display->GetSafeHwnd(); }, 3000));
    ASSERT_TRUE(hvtest::MoveCursorTo(CentreOnScreen(*bar)));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return GetCapture() == bar->GetSafeHwnd(); }, 3000));
    RECT panel;
    GetWindowRect(scene.panel, &panel);
    ASSERT_TRUE(hvtest::MoveCursorTo({panel.right - 20, panel.bottom - 20}));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return GetCapture() == nullptr; }, 3000)) << GetCapture();
}

TEST(MacroDisplay, AReadOnlyDisplayReplaysWithTheDelays)
{
    Scene scene;
    ASSERT_TRUE(scene.created);
    auto* display = scene.Find<CMacroDisplayItem>(L"MACRO_DISPLAY_KEYBOARD", ItemKind::MacroDisplay);
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->ColumnCount(), 1);
    EXPECT_FALSE(display->ReplaceEvent(0, Delay(1)));
    EXPECT_FALSE(scene.display->Replay({Delay(1)})) << "only a read-only display replays";

    const std::vector<MacroEvent> macro = {Key('A', 0x1E, true), Mouse(2, true), Delay(300), Key('A', 0x1E, false)};
    const DWORD start = GetTickCount();
    ASSERT_TRUE(display->Replay(macro));
    EXPECT_EQ(display->Events(), (std::vector<MacroEvent>{Key('A', 0x1E, true), Mouse(2, true)}));
    EXPECT_TRUE(display->IsReplaying());
    ASSERT_TRUE(hvtest::WaitUntil([&] { return display->Events().size() == 3 || !display->IsReplaying(); }, 5000));
    EXPECT_GE(GetTickCount() - start, 290u) << "the delay is waited";
    ASSERT_TRUE(hvtest::WaitUntil([&] { return !scene.panel.Of(WM_MACRODISPLAY_PLAYDONE).empty(); }, 5000));
    EXPECT_FALSE(display->IsReplaying());
    EXPECT_EQ(display->GetItemCount(), 0) << "the rows go at the end";
    EXPECT_EQ(scene.panel.Of(WM_MACRODISPLAY_PLAYDONE)[0].lParam, controltest::Id(L"MACRO_DISPLAY_KEYBOARD"));
    // No menu on a read-only display.
    ModalScript none({[](CListPanel& panel) {
        ADD_FAILURE() << "a menu opened on a read-only display";
        panel.PostMessage(WM_LISTPANEL_SELECT, 0, -1);
    }});
    hvtest::Click(*display, {20, 10}, hvtest::Button::Right);
    hvtest::FlushMessages(200, 600);
}
