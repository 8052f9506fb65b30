// The edit items and the progress panel item as the EDIT CONTROLS and PROGRESS PANELS sections build
// them in a real panel: framed edits with their colours (a captured picture), the numeric filter
// typed through the program's own pre-translation, the key edits fed by raw input and by key
// messages, the key-combination state machine on made-up raw input and a clock of the test's, the
// progress thread ended with a bound; and the sections' edge cases.
#include "controls/ControlMessages.h"
#include "controls/EditItem.h"
#include "controls/MacroDisplay.h"
#include "controls/ProgressPanelItem.h"
#include "core/NameTables.h"
#include "platform/RawInput.h"
#include "skin/FontItem.h"
#include "skin/GUIItem.h"

#include "ControlTest.h"
#include "HvTest.h"
#include "LayoutTestFiles.h"
#include "RecordingPanel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace layouttest;
using hvtest::CRecordingPanel;

namespace {

constexpr COLORREF kBack = RGB(0x00, 0x1B, 0x3D);      // BLUE_VX_PROFILE_HIGHLIGHT
constexpr COLORREF kBorder = RGB(255, 0, 0);           // RED
constexpr COLORREF kDisabledBack = RGB(0x3A, 0x3A, 0x3A);   // DARKGREY
constexpr COLORREF kDisabledBorder = RGB(0x69, 0x70, 0x77); // MIDGREY

void WriteEditSkin()
{
    WriteSkinBitmap(L"ed_panel.bmp", 420, 300, [](int, int) { return 0x202020u; });
    WriteSkinBitmap(L"ed_mask.bmp", 420, 300, [](int, int) { return 0u; });
    WriteLayout(L"Edits.xml", R"(<?xml version="1.0" encoding="utf-8"?>
<GUIPANEL>
  <BACKGROUND>ed_panel.bmp</BACKGROUND><MASK>ed_mask.bmp</MASK>
  <FONTLIST><FONT name="FONT_ARIAL14B" typeface="Arial" pitch="15" boldlevel="700"/></FONTLIST>
  <MACRODISPLAYLIST>
    <MACRODISPLAY name="MACRO_DISPLAY">
      <LISTCOLUMN name="LCITEM_MCREVENT_ICON" type="ICON" width="30"/>
      <LISTCOLUMN name="LCITEM_MCREVENT_DESCRIP" type="CHECKBOX" width="100"/>
      <RECT left="200" top="200" right="100" bottom="60"/>
    </MACRODISPLAY>
    <MACRODISPLAY name="MACRO_DISPLAY_KEYBOARD"><RECT left="200" top="200" right="100" bottom="60"/></MACRODISPLAY>
  </MACRODISPLAYLIST>
  <EDITCTRLLIST>
    <EDITCTRLSKMMO name="EDITCTRL_DEFAULT_DELAY_KEYBOARD" bdrwidth="1" fontclr="WHITE" backclr="BLACK" bdrclr="RED">
      <RECT left="20" top="220" right="180" bottom="24"/>
    </EDITCTRLSKMMO>
    <EDITCTRLSK name="EDITCTRL_POPUP_SINGLEKEYENTRY" fontid="FONT_ARIAL14B" fontclr="WHITE" backclr="BLACK">
      <RECT left="20" top="170" right="180" bottom="24"/>
    </EDITCTRLSK>
    <EDITCTRL name="EDITCTRL_POPUP_NUMENTRY" max="3" justify="C" fontid="FONT_ARIAL14B" fontclr="WHITE"
              backclr="BLUE_VX_PROFILE_HIGHLIGHT" bdrclr="RED" disbbackclr="DARKGREY" disbbdrclr="MIDGREY"
              disbfontclr="BLACK" bdrwidth="2" tooltip="number tip">
      <RECT left="20" top="20" right="120" bottom="26"/>
    </EDITCTRL>
    <EDITCTRL name="EDITCTRL_POPUP_NAMEENTRY" max="-5" bdrwidth="-1"><RECT left="20" top="70" right="200" bottom="24"/></EDITCTRL>
    <EDITCTRL name="EDITCTRL_DEFAULT_DELAY"><RECT left="20" top="120" right="80" bottom="24"/></EDITCTRL>
    <EDITCTRL name="NO_SUCH_ITEM"><RECT left="300" top="20" right="80" bottom="24"/></EDITCTRL>
  </EDITCTRLLIST>
  <PROGRESSPANELLIST>
    <PROGRESSPANELITEM name="TEXT_MACRO_NAME" fontclr="YELLOW" backclr="BLACK" bdrclr="RED" bdrwidth="3">
      <RECT left="240" top="60" right="150" bottom="80"/>
      <FILLINFO><RECT left="10" top="40" right="130" bottom="10"/></FILLINFO>
      <TEXTINFOLIST>
        <TEXTINFO name="title" textkey="$Loading" fontid="FONT_ARIAL14B" fontclr="RED"><RECT left="5" top="5" right="140" bottom="20"/></TEXTINFO>
        <TEXTINFO name="no rect" textkey="lost"/>
        <TEXTINFO name="percent" textkey="%d %%"><RECT left="5" top="55" right="60" bottom="20"/></TEXTINFO>
      </TEXTINFOLIST>
    </PROGRESSPANELITEM>
  </PROGRESSPANELLIST>
</GUIPANEL>
)");
}

// EM_LIMITTEXT as sent to each window of this thread while the panel is built.
std::vector<std::pair<HWND, WPARAM>> g_limits;
LRESULT CALLBACK RecordLimits(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == EM_LIMITTEXT)
        g_limits.push_back({call->hwnd, call->wParam});
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct Scene
{
    Scene()
    {
        g_limits.clear();
        HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, RecordLimits, nullptr, GetCurrentThreadId());
        scene = std::make_unique<controltest::LayoutScene>(L"Edits.xml", WriteEditSkin, 60, 60);
        UnhookWindowsHookEx(hook);
    }
    ~Scene() { TheRawInputRegistration().Unregister(); }

    template <class T>
    T* Find(const wchar_t* name, ItemKind kind)
    {
        return scene->Find<T>(name, kind);
    }
    CRecordingPanel& Panel() { return scene->panel; }

    std::unique_ptr<controltest::LayoutScene> scene;
};

INPUT KeyInput(WORD vk, bool up)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    const bool extended = vk == VK_LEFT || vk == VK_RIGHT || vk == VK_DELETE || vk == VK_HOME;
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return in;
}

// Presses and releases each key in turn, and pumps through the pre-translation until the edit has
// been given the last release (the characters of the presses come before it).
bool Type(HWND edit, std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD vk : keys) {
        inputs.push_back(KeyInput(vk, false));
        inputs.push_back(KeyInput(vk, true));
    }
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        return false;
    size_t released = 0;
    const auto countRelease = [&](const MSG& msg) {
        if (msg.hwnd == edit && msg.message == WM_KEYUP)
            ++released;
    };
    return controltest::PumpAsProgram([&] { return released >= keys.size(); }, 5000, countRelease);
}

RAWKEYBOARD RawKey(USHORT makeCode, bool down, USHORT virtualKey, USHORT flags = 0)
{
    RAWKEYBOARD keyboard{};
    keyboard.MakeCode = makeCode;
    keyboard.Flags = static_cast<USHORT>(flags | (down ? RI_KEY_MAKE : RI_KEY_BREAK));
    keyboard.VKey = virtualKey;
    keyboard.Message = down ? WM_KEYDOWN : WM_KEYUP;
    return keyboard;
}

std::wstring KeyName(WORD vk)
{
    wchar_t text[64] = {};
    GetKeyNameTextW(static_cast<LONG>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16, text, 64);
    return text;
}

int64_t g_seconds = 0;
int64_t TestSeconds()
{
    return g_seconds;
}

} // namespace

TEST(EditItems, LayoutBuildsFramedEditsAndProgressPanelsWithoutTakingTheKeyboard)
{
    Scene scene;
    ASSERT_TRUE(scene.scene->created);
    CRecordingPanel& panel = scene.Panel();
    auto* number = scene.Find<CEditItem>(L"EDITCTRL_POPUP_NUMENTRY", ItemKind::EditItem);
    auto* name = scene.Find<CEditItem>(L"EDITCTRL_POPUP_NAMEENTRY", ItemKind::EditItem);
    auto* delay = scene.Find<CEditItem>(L"EDITCTRL_DEFAULT_DELAY", ItemKind::EditItem);
    auto* key = scene.Find<CEditItemSingleKeyInput>(L"EDITCTRL_POPUP_SINGLEKEYENTRY", ItemKind::EditItemSingleKey);
    auto* combination =
        scene.Find<CEditItemSingleKeyInputMMO>(L"EDITCTRL_DEFAULT_DELAY_KEYBOARD", ItemKind::EditItemSingleKey);
    ASSERT_TRUE(number && name && delay && key && combination);

    // The edit at its rectangle, the frame around it by the border width, both children of the owner.
    POINT origin = {0, 0};
    MapWindowPoints(*number, panel, &origin, 1);
    EXPECT_EQ(origin.x, 20);
    EXPECT_EQ(origin.y, 20);
    EXPECT_EQ(number->GetClientRect().Width(), 120);
    ASSERT_NE(number->Frame(), nullptr);
    const CRect frame = number->Frame()->GetWindowRect();
    const CRect edit = number->GetWindowRect();
    EXPECT_EQ(edit.left - frame.left, 2);
    EXPECT_EQ(frame.bottom - edit.bottom, 2);
    EXPECT_EQ(number->Frame()->GetDlgCtrlID(), 0xFFFF);
    EXPECT_EQ(number->GetDlgCtrlID(), controltest::Id(L"EDITCTRL_POPUP_NUMENTRY"));
    EXPECT_EQ(number->GetParent(), panel.GetSafeHwnd());
    EXPECT_EQ(number->GetStyle() & 0xFFFF0003, static_cast<DWORD>(0x50000001));
    EXPECT_EQ(name->GetStyle() & 0xFFFF0003, static_cast<DWORD>(0x50000000));
    EXPECT_EQ(key->GetStyle() & 0xFFFF0003, static_cast<DWORD>(0x50000001));
    EXPECT_EQ(combination->GetStyle() & 0xFFFF0003, static_cast<DWORD>(0x50000001));
    EXPECT_EQ(name->BorderWidth(), 0);
    EXPECT_EQ(number->ToolTip().Text(), L"number tip");
    EXPECT_EQ(number->owner, &panel);

    // "max" is sent as it stands, a negative one as 0; an edit without one gets no limit.
    std::vector<std::pair<HWND, WPARAM>> limits;
    for (const auto& limit : g_limits)
        if (limit.first == *number || limit.first == *name || limit.first == *delay)
            limits.push_back(limit);
    EXPECT_EQ(limits, (std::vector<std::pair<HWND, WPARAM>>{{*number, 3}, {*name, 0}}));

    // The layout registers no key edit: the one registration is free for a recording.
    EXPECT_FALSE(TheRawInputRegistration().IsRegistered());

    // Macro displays whose columns do not all resolve, or that have none, leave nothing behind.
    EXPECT_EQ(panel.Items().FindById(controltest::Id(L"MACRO_DISPLAY")), nullptr);
    EXPECT_EQ(panel.Items().FindById(controltest::Id(L"MACRO_DISPLAY_KEYBOARD")), nullptr);
    EXPECT_EQ(hvtest::FindDescendant(panel, L"SysListView32"), nullptr);
    int children = 0;
    for (HWND child = GetWindow(panel, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ++children;
        const CGUIItem* item = panel.Items().FindByWindow(child);
        EXPECT_TRUE(item || GetDlgCtrlID(child) == 0xFFFF) << hvtest::ClassNameOf(child).c_str();
    }
    EXPECT_EQ(children, 10) << "five edits and their frames";

    // The progress panel: the layout's text areas and colours, no window of its own yet.
    auto* progress = scene.Find<CProgressPanelItem>(L"TEXT_MACRO_NAME", ItemKind::ProgressPanelItem);
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->window, nullptr);
    EXPECT_EQ(progress->Rect(), CRect(240, 60, 390, 140));
    EXPECT_EQ(progress->Style(), static_cast<DWORD>(0x50000000));
    EXPECT_EQ(progress->Parent(), panel.GetSafeHwnd());
    EXPECT_EQ(progress->FontColor(), RGB(255, 255, 0));
    EXPECT_EQ(progress->FontColorHi(), RGB(255, 255, 255)) << "white unless given";
    EXPECT_EQ(progress->BorderWidth(), 3);
    EXPECT_EQ(progress->FillColor(), RGB(255, 255, 255));
    EXPECT_EQ(progress->FillRect(), CRect(10, 40, 140, 50));
    const auto& texts = progress->TextInfos();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].name, L"title");
    EXPECT_EQ(texts[0].textKey, L"$Loading");
    EXPECT_EQ(texts[0].fontId, controltest::Id(L"FONT_ARIAL14B"));
    EXPECT_EQ(texts[0].color, RGB(255, 0, 0));
    EXPECT_EQ(texts[1].name, L"percent");
    EXPECT_EQ(texts[1].color, RGB(255, 255, 255));
    EXPECT_EQ(texts[1].backColor, RGB(0, 0, 0));
    EXPECT_EQ(texts[1].fontId, -1);
    EXPECT_EQ(texts[1].rect, CRect(5, 55, 65, 75));

    // The picture: the edit's background inside its border, then the disabled colours.
    number->SetWindowText(L"42");
    name->SetWindowText(L"Macro 1");
    delay->SetWindowText(L"50");
    key->SetWindowText(KeyName(VK_TAB).c_str());
    combination->SetWindowText(KeyName('A').c_str());
    hvtest::FlushMessages();
    hvtest::Bitmap shot = hvtest::CaptureClient(panel);
    ASSERT_FALSE(shot.Empty());
    shot.SaveToTestDir(L"edits.bmp");
    hvtest::ExpectPixelNear(shot, 18, 30, kBorder);
    hvtest::ExpectPixelNear(shot, 22, 22, kBack);
    hvtest::ExpectPixelNear(shot, 138, 44, kBack);
    number->EnableWindow(FALSE);
    hvtest::FlushMessages();
    shot = hvtest::CaptureClient(panel);
    shot.SaveToTestDir(L"edits_disabled.bmp");
    hvtest::ExpectPixelNear(shot, 18, 30, kDisabledBorder);
    hvtest::ExpectPixelNear(shot, 22, 22, kDisabledBack);

    // Shown and hidden with the frame.
    number->Show(false);
    EXPECT_FALSE(number->IsWindowVisible());
    EXPECT_FALSE(number->Frame()->IsWindowVisible());
    number->Show(true);
    EXPECT_TRUE(number->Frame()->IsWindowVisible());
}

TEST(EditItems, AnEditWithoutFontItemDrawsInTheSkinFont)
{
    // The skin font itself: Arial, bold, of the height asked for, as the system makes it.
    auto metrics = [](HFONT font) {
        TEXTMETRICW tm = {};
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        EXPECT_TRUE(GetTextMetricsW(dc, &tm));
        SelectObject(dc, old);
        DeleteDC(dc);
        return tm;
    };
    for (int height : {14, 30, -20}) {
        SCOPED_TRACE(height);
        CFont font;
        ASSERT_TRUE(CreateSkinFont(height, font));
        LOGFONTW lf = {};
        ASSERT_EQ(GetObjectW(font, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
        EXPECT_EQ(lf.lfHeight, height);
        EXPECT_EQ(lf.lfWeight, FW_BOLD);
        EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
        EXPECT_EQ(lf.lfQuality, DEFAULT_QUALITY);
        EXPECT_EQ(lf.lfPitchAndFamily & 0xF0, FF_SWISS);
        EXPECT_STREQ(lf.lfFaceName, L"Arial");
        const TEXTMETRICW tm = metrics(font);
        if (height > 0)
            EXPECT_EQ(tm.tmHeight, height) << "the character cell";
        else
            EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -height) << "the character";
        EXPECT_EQ(tm.tmWeight, FW_BOLD);
        EXPECT_EQ(tm.tmPitchAndFamily & 0xF0, FF_SWISS);
    }

    // An edit without a font item shows its text in it; one with a font item in that font.
    Scene scene;
    ASSERT_TRUE(scene.scene->created);
    auto* delay = scene.Find<CEditItem>(L"EDITCTRL_DEFAULT_DELAY", ItemKind::EditItem);
    auto* number = scene.Find<CEditItem>(L"EDITCTRL_POPUP_NUMENTRY", ItemKind::EditItem);
    ASSERT_TRUE(delay && number);
    HFONT used = reinterpret_cast<HFONT>(delay->SendMessage(WM_GETFONT));
    ASSERT_NE(used, nullptr);
    LOGFONTW lf = {};
    ASSERT_EQ(GetObjectW(used, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, kSkinFontHeight);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_STREQ(lf.lfFaceName, L"Arial");
    const TEXTMETRICW tm = metrics(used);
    EXPECT_EQ(tm.tmHeight, kSkinFontHeight);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    HFONT layoutFont = reinterpret_cast<HFONT>(number->SendMessage(WM_GETFONT));
    ASSERT_EQ(GetObjectW(layoutFont, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, 15) << "FONT_ARIAL14B of the layout";
}

TEST(EditItems, NumericEditTakesOnlyNumbersInItsRange)
{
    Scene scene;
    ASSERT_TRUE(scene.scene->created);
    CRecordingPanel& panel = scene.Panel();
    auto* number = scene.Find<CEditItem>(L"EDITCTRL_DEFAULT_DELAY", ItemKind::EditItem);
    ASSERT_NE(number, nullptr);
    number->SetNumeric(true, 1, 255);
    SetForegroundWindow(panel);
    number->SetFocus();

    ASSERT_TRUE(Type(*number, {'2', '5', '2'}));
    EXPECT_EQ(number->GetWindowText(), L"252");
    number->SetWindowText(L"");
    ASSERT_TRUE(Type(*number, {'9', '9', '3'}));
    EXPECT_EQ(number->GetWindowText(), L"99") << "993 is above 255";
    // Letters, space and a 0 below the minimum are not typed.
    number->SetWindowText(L"");
    ASSERT_TRUE(Type(*number, {'0', 'A', VK_SPACE, '7'}));
    EXPECT_EQ(number->GetWindowText(), L"7");
    // Backspace deletes; the arrows and Delete do nothing.
    number->SetWindowText(L"25");
    number->SetSel(2, 2);
    ASSERT_TRUE(Type(*number, {VK_LEFT, VK_BACK}));
    EXPECT_EQ(number->GetWindowText(), L"2") << "the caret stayed at the end";
    number->SetSel(0, 0);
    ASSERT_TRUE(Type(*number, {VK_DELETE}));
    EXPECT_EQ(number->GetWindowText(), L"2");

    // Without an upper bound every number is typed.
    number->SetNumeric(true, 0, CEditItem::kNoMaximum);
    number->SetWindowText(L"");
    ASSERT_TRUE(Type(*number, {'9', '9', '3', '0', '7'}));
    EXPECT_EQ(number->GetWindowText(), L"99307");

    // Each change of the text is told to the owner with the edit's window.
    const std::vector<hvtest::RecordedMsg> changes = panel.Of(WM_EDITITEM_CHANGED);
    ASSERT_FALSE(changes.empty());
    for (const hvtest::RecordedMsg& r : changes) {
        EXPECT_EQ(r.wParam, 0u);
        EXPECT_EQ(reinterpret_cast<HWND>(r.lParam), number->GetSafeHwnd());
    }
    // Not numeric: anything is typed.
    number->SetNumeric(false);
    number->SetWindowText(L"");
    ASSERT_TRUE(Type(*number, {'A', VK_SPACE, '9'}));
    EXPECT_EQ(number->GetWindowText(), L"a 9");
}

TEST(EditItems, SingleKeyEditShowsTheKeyFromRawInputOrKeyMessages)
{
    Scene scene;
    ASSERT_TRUE(scene.scene->created);
    CRecordingPanel& panel = scene.Panel();
    auto* key = scene.Find<CEditItemSingleKeyInput>(L"EDITCTRL_POPUP_SINGLEKEYENTRY", ItemKind::EditItemSingleKey);
    auto* combination =
        scene.Find<CEditItemSingleKeyInputMMO>(L"EDITCTRL_DEFAULT_DELAY_KEYBOARD", ItemKind::EditItemSingleKey);
    ASSERT_TRUE(key && combination);
    SetForegroundWindow(panel);

    // Registered by the popup that shows it: the keys come as raw input and are never typed.
    ASSERT_TRUE(key->RegisterKeyInput());
    EXPECT_TRUE(TheRawInputRegistration().IsRegisteredFor(*key));
    EXPECT_TRUE(key->RegisterKeyInput()) << "already its own";
    EXPECT_FALSE(combination->RegisterKeyInput()) << "one registration at a time";
    ASSERT_TRUE(hvtest::PressKey('B'));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return key->GetWindowText() == KeyName('B'); }, 5000)) << key->GetWindowText();
    EXPECT_EQ(key->Record().virtualKey, 'B');
    EXPECT_EQ(key->Record().state, KeyEventRecord::kUp);
    // A macro display cannot record meanwhile; once the edit lets go it can.
    key->UnregisterKeyInput();
    EXPECT_FALSE(TheRawInputRegistration().IsRegistered());

    // Without raw input the key messages show the key; the character never reaches the edit.
    key->SetFocus();
    ASSERT_TRUE(Type(*key, {'C'}));
    EXPECT_EQ(key->GetWindowText(), KeyName('C'));
    ASSERT_TRUE(Type(*key, {VK_TAB}));
    EXPECT_EQ(key->GetWindowText(), KeyName(VK_TAB)) << "the release of Tab is shown, its press eaten";
    EXPECT_EQ(GetFocus(), key->GetSafeHwnd());

    // The window's end removes its registration, and only its own.
    ASSERT_TRUE(key->RegisterKeyInput());
    key->DestroyWindow();
    EXPECT_FALSE(TheRawInputRegistration().IsRegistered());
}

TEST(EditItems, KeyCombinationEditCapturesCtrlA)
{
    Scene scene;
    ASSERT_TRUE(scene.scene->created);
    CRecordingPanel& panel = scene.Panel();
    auto* combination =
        scene.Find<CEditItemSingleKeyInputMMO>(L"EDITCTRL_DEFAULT_DELAY_KEYBOARD", ItemKind::EditItemSingleKey);
    ASSERT_NE(combination, nullptr);
    CEditItemSingleKeyInputMMO::ResetLastStep();
    struct Shown
    {
        std::wstring text;
        uint8_t flags;
    };
    std::vector<Shown> shown;
    panel.onReceived = [&](const hvtest::RecordedMsg& r) {
        if (r.message == WM_KEYCOMBINATION_CAPTURED && reinterpret_cast<HWND>(r.lParam) == *combination)
            shown.push_back({combination->GetWindowText(), combination->Modifiers()});
    };

    // Ctrl, then A, typed for real.
    SetForegroundWindow(panel);
    ASSERT_TRUE(combination->RegisterKeyInput());
    ASSERT_TRUE(hvtest::PressKey('A', MOD_CONTROL));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return shown.size() >= 3; }, 5000)) << shown.size();
    EXPECT_EQ(shown[0].text, L"");
    EXPECT_EQ(shown[0].flags, KeyEventRecord::kCtrl);
    EXPECT_EQ(shown[1].text, KeyName('A'));
    EXPECT_EQ(shown[1].flags, KeyEventRecord::kCtrl);
    EXPECT_EQ(combination->GetWindowText(), KeyName('A'));
    EXPECT_EQ(combination->KeyVirtualKey(), 'A');
    EXPECT_EQ(combination->Modifiers(), KeyEventRecord::kCtrl) << "the combination stays after Ctrl goes up";
    EXPECT_EQ(combination->State(), CEditItemSingleKeyInputMMO::CaptureState::Completed);
    combination->UnregisterKeyInput();
    EXPECT_EQ(panel.Of(WM_COLORBUTTON_CHANGED).size(), shown.size()) << "one number, two names";

    // The steps on made-up packets and a clock of the test's.
    // The clock goes on from the real steps' time.
    const int64_t base = static_cast<int64_t>(time(nullptr)) + 1000;
    CEditItemSingleKeyInputMMO::SetSecondsClock(TestSeconds);
    shown.clear();
    g_seconds = base;
    combination->OnRawKeyboard(RawKey(0x2A, true, VK_SHIFT));
    combination->OnRawKeyboard(RawKey(0x2C, true, 'Z'));
    combination->OnRawKeyboard(RawKey(0x2D, true, 'X'));  // another key while one is captured: it instead
    combination->OnRawKeyboard(RawKey(0x2D, false, 'X'));
    EXPECT_EQ(combination->KeyVirtualKey(), 'X');
    EXPECT_EQ(combination->State(), CEditItemSingleKeyInputMMO::CaptureState::Completed);
    EXPECT_EQ(shown.size(), 4u);
    // Within the same second: ignored, the Shift let go too.
    combination->OnRawKeyboard(RawKey(0x2C, false, 'Z'));
    combination->OnRawKeyboard(RawKey(0x2A, false, VK_SHIFT));
    combination->OnRawKeyboard(RawKey(0x1E, true, 'A'));
    EXPECT_EQ(shown.size(), 4u);
    EXPECT_EQ(combination->KeyVirtualKey(), 'X');
    EXPECT_EQ(combination->Modifiers(), KeyEventRecord::kShift);
    // Later: a release leaves the combination; a key down with no modifier held starts a new one.
    g_seconds = base + 3;
    combination->OnRawKeyboard(RawKey(0x1E, false, 'A'));
    EXPECT_EQ(combination->KeyVirtualKey(), 'X');
    EXPECT_EQ(shown.size(), 4u);
    g_seconds = base + 5;
    combination->OnRawKeyboard(RawKey(0x30, true, 'B'));
    EXPECT_EQ(combination->State(), CEditItemSingleKeyInputMMO::CaptureState::KeyCaptured);
    EXPECT_EQ(combination->KeyVirtualKey(), 'B');
    EXPECT_EQ(combination->Modifiers(), 0);
    EXPECT_EQ(combination->GetWindowText(), KeyName('B'));
    combination->OnRawKeyboard(RawKey(0x30, false, 'B'));
    // Later with a modifier down: the modifier starts anew; a key while it is held completes it.
    g_seconds = base + 8;
    combination->OnRawKeyboard(RawKey(0x38, true, VK_MENU));
    EXPECT_EQ(combination->State(), CEditItemSingleKeyInputMMO::CaptureState::ModifiersHeld);
    EXPECT_EQ(combination->KeyVirtualKey(), 0);
    EXPECT_EQ(combination->GetWindowText(), L"");
    combination->OnRawKeyboard(RawKey(0x1D, true, VK_CONTROL));
    EXPECT_EQ(combination->Modifiers(), KeyEventRecord::kAlt | KeyEventRecord::kCtrl);
    combination->OnRawKeyboard(RawKey(0x1F, true, 'S'));
    combination->OnRawKeyboard(RawKey(0x1F, false, 'S'));
    g_seconds = base + 10;
    combination->OnRawKeyboard(RawKey(0x21, true, 'F'));  // Alt and Ctrl still held
    EXPECT_EQ(combination->State(), CEditItemSingleKeyInputMMO::CaptureState::KeyCaptured);
    EXPECT_EQ(combination->KeyVirtualKey(), 'F');
    EXPECT_EQ(combination->Modifiers() & (KeyEventRecord::kAlt | KeyEventRecord::kCtrl),
              KeyEventRecord::kAlt | KeyEventRecord::kCtrl);
    // The fake Shift of an extended key and the Ctrl part of Pause are no keys.
    const size_t before = shown.size();
    combination->OnRawKeyboard(RawKey(0x2A, true, 0xFF, RI_KEY_E0));
    combination->OnRawKeyboard(RawKey(0x1D, true, VK_PAUSE, RI_KEY_E1));
    EXPECT_EQ(shown.size(), before);
    EXPECT_EQ(combination->KeyVirtualKey(), 'F');
    CEditItemSingleKeyInputMMO::SetSecondsClock(nullptr);
    CEditItemSingleKeyInputMMO::ResetLastStep();
    ResetRawModifiers();
}

TEST(EditItems, KeyEntryForgetsAShiftHeldPastTheEndOfTheLastEntry)
{
    CEditItemSingleKeyInputMMO::ResetLastStep();
    {
        // Shift held, A pressed and let go; the entry ends while the Shift is still down, and the
        // Shift goes up after it.
        Scene scene;
        ASSERT_TRUE(scene.scene->created);
        auto* combination =
            scene.Find<CEditItemSingleKeyInputMMO>(L"EDITCTRL_DEFAULT_DELAY_KEYBOARD", ItemKind::EditItemSingleKey);
        ASSERT_NE(combination, nullptr);
        ASSERT_TRUE(hvtest::PrepareTarget(*combination));
        ASSERT_TRUE(combination->RegisterKeyInput());
        ASSERT_TRUE(hvtest::KeyDown(VK_SHIFT));
        ASSERT_TRUE(hvtest::KeyDown('A'));
        ASSERT_TRUE(hvtest::KeyUp('A'));
        ASSERT_TRUE(hvtest::WaitUntil(
            [&] { return combination->State() == CEditItemSingleKeyInputMMO::CaptureState::Completed; }, 5000));
        EXPECT_EQ(combination->KeyVirtualKey(), 'A');
        EXPECT_EQ(combination->Modifiers(), KeyEventRecord::kShift) << "Shift+A";
        // The entry ends (its window goes, taking its registration) with the Shift still down.
    }
    EXPECT_FALSE(TheRawInputRegistration().IsRegistered());
    ASSERT_TRUE(hvtest::KeyUp(VK_SHIFT));
    hvtest::FlushMessages();
    {
        // The next entry, a new edit as every popup makes: B alone is plain B.
        Scene scene;
        ASSERT_TRUE(scene.scene->created);
        auto* combination =
            scene.Find<CEditItemSingleKeyInputMMO>(L"EDITCTRL_DEFAULT_DELAY_KEYBOARD", ItemKind::EditItemSingleKey);
        ASSERT_NE(combination, nullptr);
        ASSERT_TRUE(hvtest::PrepareTarget(*combination));
        ASSERT_TRUE(combination->RegisterKeyInput());
        ASSERT_TRUE(hvtest::PressKey('B'));
        ASSERT_TRUE(hvtest::WaitUntil(
            [&] { return combination->State() == CEditItemSingleKeyInputMMO::CaptureState::Completed; }, 5000));
        EXPECT_EQ(combination->KeyVirtualKey(), 'B');
        EXPECT_EQ(combination->Modifiers(), 0) << "not Shift+B";
        EXPECT_EQ(combination->GetWindowText(), KeyName('B'));
        combination->UnregisterKeyInput();
    }
    CEditItemSingleKeyInputMMO::ResetLastStep();
}

TEST(EditItems, ProgressPanelEndsItsThreadAndWaitsWithABound)
{
    // A thread that runs its loop: ended by WM_QUIT 69, its window going with it.
    std::atomic<HWND> shown{nullptr};
    auto thread = std::make_unique<CProgressWindowThread>();
    ASSERT_TRUE(thread->Start([&] {
        shown = CreateWindowExW(0, L"STATIC", L"progress", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    }));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return shown.load() != nullptr; }, 5000));
    CProgressWindowThread* running = thread.get();
    {
        CProgressPanelItem item;
        EXPECT_EQ(item.kind, ItemKind::ProgressPanelItem);
        item.SetThread(std::move(thread));
        EXPECT_TRUE(running->IsRunning());
    }
    EXPECT_FALSE(IsWindow(shown.load()));

    // A thread that does not answer: the item waits no longer than its bound and lets it run on.
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto stuck = std::make_unique<CProgressWindowThread>();
    ASSERT_TRUE(stuck->Start([release] { WaitForSingleObject(release, INFINITE); }));
    CProgressWindowThread* left = stuck.get();
    const DWORD start = GetTickCount();
    {
        CProgressPanelItem item;
        item.SetEndWait(300);
        item.SetThread(std::move(stuck));
    }
    const DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 250u);
    EXPECT_LT(waited, 5000u);
    // The thread still owns its object; once it may go, the quit posted earlier ends it.
    EXPECT_TRUE(left->IsRunning());
    SetEvent(release);
    EXPECT_TRUE(left->Join(5000));
    EXPECT_EQ(left->QuitCode(), static_cast<int64_t>(CProgressPanelItem::kQuitCode));
    delete left;
    CloseHandle(release);
}
