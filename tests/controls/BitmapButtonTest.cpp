// Bitmap buttons, keyboard key items and bitmap windows in a panel: the picture of every state
// (read back from the screen), masks, hover through real mouse moves, check-box and toggle clicks,
// blink, captions, tooltips, the messages and key name of a key item, and the bitmap window's text.
#include "controls/BitmapBtn.h"
#include "controls/BitmapWindow.h"
#include "controls/KeyboardKeyItem.h"
#include "core/KeyboardDef.h"
#include "core/NameTables.h"
#include "platform/DialogTemplate.h"
#include "skin/GUIPanel.h"

#include "HvTest.h"
#include "RecordingPanel.h"
#include "TestBitmaps.h"
#include "LayoutTestFiles.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using skintest::Painted;
using skintest::Solid;

constexpr COLORREF kNormal = RGB(220, 40, 40);
constexpr COLORREF kOver = RGB(40, 200, 60);
constexpr COLORREF kDown = RGB(40, 60, 220);
constexpr COLORREF kDisabled = RGB(230, 210, 30);
constexpr COLORREF kOther = RGB(150, 60, 150);  // parts of a picture sheet that belong to no item
constexpr COLORREF kText = RGB(250, 250, 250);
constexpr COLORREF kIcon = RGB(240, 140, 20);
constexpr int kButtonId = 1001;

// The panel the buttons are made in.
constexpr RECT kPanelRect = {0, 0, 300, 160};

struct Pictures
{
    CBitmap normal = Solid(40, 20, kNormal);
    CBitmap over = Solid(40, 20, kOver);
    CBitmap down = Solid(40, 20, kDown);
    CBitmap disabled = Solid(40, 20, kDisabled);
};

// The colour the button shows (in area, default all of it); a non-fatal failure when it is not
// uniformly that colour.
bool Shows(HWND button, COLORREF colour, const char* what, CRect area = CRect())
{
    hvtest::FlushMessages(20, 500);
    hvtest::Bitmap shot = hvtest::CaptureClient(button);
    if (shot.Empty()) {
        ADD_FAILURE() << what << ": no capture";
        return false;
    }
    SCOPED_TRACE(what);
    if (area.IsRectNull())
        area = CRect(0, 0, shot.Width(), shot.Height());
    return hvtest::ExpectRectNear(shot, area, colour, 2);
}

bool ShowsNow(HWND button, COLORREF colour)
{
    hvtest::Bitmap shot = hvtest::CaptureClient(button);
    return !shot.Empty() && hvtest::CountPixelsNear(shot, CRect(0, 0, shot.Width(), shot.Height()), colour, 2) ==
                                shot.Width() * shot.Height();
}

POINT ScreenPoint(HWND hwnd, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

void MoveAway(hvtest::CRecordingPanel& panel)
{
    hvtest::MoveCursorTo(ScreenPoint(panel, 280, 150));
    hvtest::FlushMessages();
}

void WaitPastDoubleClick()
{
    Sleep(GetDoubleClickTime() + 50);
}

// The process's keyboard definition loads once: every test here uses this one.
bool LoadKeyboardDef()
{
    layouttest::KeyFileBuilder keys;
    keys.I32(2).Record(L"a A", 0x1E).Record(L"Left Control", 0x1D);
    return GetKeyboardDef().Load(keys.bytes.size(), keys.bytes.data());
}

} // namespace

TEST(BitmapButton, EveryStateShowsItsPicture)
{
    hvtest::CRecordingPanel panel(kPanelRect);
    ASSERT_TRUE(panel.Create());
    Pictures pictures;
    CBitmapBtn button;
    ASSERT_TRUE(button.Create(L"", WS_VISIBLE | WS_TABSTOP, CRect(20, 20, 60, 40), panel, kButtonId));
    EXPECT_EQ(button.GetStyle() & (WS_TABSTOP | 0xF), static_cast<DWORD>(BS_OWNERDRAW));
    button.SetBitmaps(pictures.normal, pictures.over, pictures.down, pictures.disabled, 0, 0, 40, 20);
    ASSERT_TRUE(hvtest::PrepareTarget(panel, {280, 150}));

    Shows(button, kNormal, "normal");

    // Hover comes from real mouse moves: over the button, then away.
    ASSERT_TRUE(hvtest::MoveCursorTo(ScreenPoint(button, 20, 10)));
    hvtest::FlushMessages();
    EXPECT_TRUE(button.IsHover());
    EXPECT_EQ(GetCapture(), button.GetSafeHwnd());
    Shows(button, kOver, "over");
    MoveAway(panel);
    EXPECT_FALSE(button.IsHover());
    EXPECT_NE(GetCapture(), button.GetSafeHwnd());
    Shows(button, kNormal, "after leaving");

    button.SendMessage(BM_SETSTATE, TRUE);
    Shows(button, kDown, "pressed");
    button.SendMessage(BM_SETSTATE, FALSE);
    button.SetState(true);
    Shows(button, kDown, "checked");
    button.SetState(false);
    button.SetHighlighted(true);
    Shows(button, kOver, "highlighted");
    button.SetHighlighted(false);

    button.EnableWindow(FALSE);
    Shows(button, kDisabled, "disabled");
    button.SetState(true);
    Shows(button, kDisabled, "disabled push button, checked");

    // A check box shows down when checked, enabled or not, and never the disabled picture.
    button.SetCheckBox(true);
    button.Invalidate(FALSE);
    Shows(button, kDown, "disabled and checked check box");
    button.SetState(false);
    Shows(button, kNormal, "disabled check box");
    button.EnableWindow(TRUE);
    button.SetState(true);
    Shows(button, kDown, "checked check box");

    hvtest::CaptureClient(panel).SaveToTestDir(L"bitmap_button_states.bmp");
}

TEST(BitmapButton, ClicksCheckBoxesAndToggles)
{
    hvtest::CRecordingPanel panel(kPanelRect);
    ASSERT_TRUE(panel.Create());
    Pictures pictures;
    CBitmapBtn button;
    ASSERT_TRUE(button.Create(L"", WS_VISIBLE, CRect(20, 20, 60, 40), panel, kButtonId));
    button.SetBitmaps(pictures.normal, pictures.over, pictures.down, pictures.disabled, 0, 0, 40, 20);
    const hvtest::RecordedMsg clicked{panel, WM_COMMAND, hvtest::Sent | hvtest::Parent,
                                      MAKEWPARAM(kButtonId, BN_CLICKED),
                                      reinterpret_cast<LPARAM>(button.GetSafeHwnd())};
    auto lastCommand = [&]() -> hvtest::RecordedMsg {
        for (auto it = panel.received.rbegin(); it != panel.received.rend(); ++it) {
            if (it->message == WM_COMMAND)
                return *it;
        }
        return {};
    };

    // A push button: one WM_COMMAND BN_CLICKED to the parent per click.
    ASSERT_TRUE(hvtest::Click(button));
    hvtest::FlushMessages();
    EXPECT_EQ(panel.Count(WM_COMMAND), 1u);
    EXPECT_EQ(lastCommand().wParam, clicked.wParam);
    EXPECT_EQ(lastCommand().lParam, clicked.lParam);
    EXPECT_FALSE(button.IsChecked());

    // A check box that does not toggle stays as it is, but still tells its parent.
    button.SetCheckBox(true);
    button.SetState(true);
    WaitPastDoubleClick();
    ASSERT_TRUE(hvtest::Click(button));
    hvtest::FlushMessages();
    EXPECT_TRUE(button.IsChecked());
    EXPECT_EQ(panel.Count(WM_COMMAND), 2u);
    EXPECT_EQ(lastCommand().wParam, clicked.wParam);

    // A toggle inverts at each click.
    button.SetToggle(true);
    WaitPastDoubleClick();
    ASSERT_TRUE(hvtest::Click(button));
    hvtest::FlushMessages();
    EXPECT_FALSE(button.IsChecked());
    EXPECT_EQ(panel.Count(WM_COMMAND), 3u);
    WaitPastDoubleClick();
    ASSERT_TRUE(hvtest::Click(button));
    hvtest::FlushMessages();
    EXPECT_TRUE(button.IsChecked());
    EXPECT_EQ(panel.Count(WM_COMMAND), 4u);
    MoveAway(panel);
    Shows(button, kDown, "toggled on");
}

// A real double click (the second press inside the double-click time) is two clicks for every
// kind of bitmap button: the owner gets two BN_CLICKED and never BN_DOUBLECLICKED.
TEST(BitmapButton, DoubleClickCountsAsTwoClicks)
{
    ASSERT_TRUE(LoadKeyboardDef());
    hvtest::CRecordingPanel panel(kPanelRect);
    ASSERT_TRUE(panel.Create());
    Pictures pictures;
    CBitmapBtn check;
    CBitmapBtn push;
    CKeyboardKeyItem key;
    ASSERT_TRUE(check.Create(L"", WS_VISIBLE, CRect(20, 20, 60, 40), panel, kButtonId));
    ASSERT_TRUE(push.Create(L"", WS_VISIBLE, CRect(20, 60, 60, 80), panel, kButtonId + 1));
    ASSERT_TRUE(key.Create(L"", WS_VISIBLE, CRect(100, 20, 140, 40), panel, kButtonId + 2));
    for (CBitmapBtn* b : {&check, &push, static_cast<CBitmapBtn*>(&key)})
        b->SetBitmaps(pictures.normal, pictures.over, pictures.down, pictures.disabled, 0, 0, 40, 20);
    check.SetCheckBox(true);
    check.SetToggle(true);
    key.id = FindItemIdByName(L"BUTTON_KB_A");
    key.SetKeyHash(HashText(L"a A"));
    key.UpdateKeyName();
    // The owner inverts the key's state on each of its clicks, as the key pages select keys, and
    // notes each command's button state as the command comes.
    std::vector<bool> checkedAtCommands;
    panel.onReceived = [&](const hvtest::RecordedMsg& r) {
        if (r.message == WM_KBDKEY_CLICKED && r.lParam == key.id)
            key.SetState(!key.IsChecked());
        if (r.message == WM_COMMAND) {
            auto* button = dynamic_cast<CBitmapBtn*>(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(r.lParam)));
            checkedAtCommands.push_back(button && button->IsChecked());
        }
    };
    ASSERT_TRUE(hvtest::PrepareTarget(panel, {280, 150}));

    struct Case
    {
        const char* what;
        CBitmapBtn& button;
        std::vector<bool> checkedAtCommands;
        size_t keyClicks;
    };
    Case cases[] = {
        {"toggling check box", check, {true, false}, 0},
        {"push button", push, {false, false}, 0},
        {"key the owner selects", key, {true, false}, 2},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        hvtest::MessageRecorder recorder;
        recorder.Watch(c.button);
        panel.received.clear();
        checkedAtCommands.clear();
        WaitPastDoubleClick();
        ASSERT_TRUE(hvtest::DoubleClick(c.button, {10, 10}));
        hvtest::FlushMessages();
        EXPECT_TRUE(recorder.Contains(WM_LBUTTONDBLCLK)) << "the second press was not a double click";

        for (const hvtest::RecordedMsg& r : panel.received) {
            if (r.message != WM_COMMAND)
                continue;
            EXPECT_EQ(r.wParam, MAKEWPARAM(c.button.GetDlgCtrlID(), BN_CLICKED));
            EXPECT_EQ(r.lParam, reinterpret_cast<LPARAM>(c.button.GetSafeHwnd()));
        }
        EXPECT_EQ(checkedAtCommands, c.checkedAtCommands);  // 0 -> 1 -> 0 for the check box and the key
        EXPECT_FALSE(c.button.IsChecked());
        EXPECT_EQ(panel.Count(WM_KBDKEY_CLICKED), c.keyClicks);
    }
    MoveAway(panel);
}

TEST(BitmapButton, BlinkAlternatesNormalAndDown)
{
    hvtest::CRecordingPanel panel(kPanelRect);
    ASSERT_TRUE(panel.Create());
    Pictures pictures;
    CBitmapBtn button;
    ASSERT_TRUE(button.Create(L"", WS_VISIBLE, CRect(20, 20, 60, 40), panel, kButtonId));
    button.SetBitmaps(pictures.normal, pictures.over, pictures.down, pictures.disabled, 0, 0, 40, 20);
    MoveAway(panel);
    Shows(button, kNormal, "before blinking");

    button.SetBlink(80);
    EXPECT_TRUE(button.IsBlinking());
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(hvtest::WaitUntil([&] { return ShowsNow(button, kDown); }, 3000)) << "round " << round;
        EXPECT_TRUE(hvtest::WaitUntil([&] { return ShowsNow(button, kNormal); }, 3000)) << "round " << round;
    }
    button.SetBlink(0);
    EXPECT_FALSE(button.IsBlinking());
    Shows(button, kNormal, "after blinking");
    Sleep(200);
    Shows(button, kNormal, "still after blinking");
}

TEST(BitmapButton, CaptionFallbackFontAndToolTip)
{
    EXPECT_EQ(CaptionText(L"one\\ntwo\\nthree", 0), L"one\r\ntwo\\nthree");
    EXPECT_EQ(CaptionText(L"Apply\\nall", 1), L"APPLY\r\nALL");
    EXPECT_EQ(CaptionText(L"OK", 2), L"ok");
    EXPECT_EQ(CaptionText(L"$NoSuchKey", 0), L"$NoSuchKey");

    hvtest::CRecordingPanel panel(kPanelRect);
    ASSERT_TRUE(panel.Create());
    CBitmap black = Solid(120, 30, RGB(0, 0, 0));
    CBitmapBtn button;
    ASSERT_TRUE(button.Create(L"", WS_VISIBLE, CRect(10, 60, 130, 90), panel, kButtonId));
    button.SetBitmaps(black, black, black, black, 0, 0, 120, 30);
    button.SetCaption(L"Wg", 0);
    EXPECT_EQ(button.Caption(), L"Wg");
    MoveAway(panel);
    hvtest::FlushMessages();
    hvtest::Bitmap shot = hvtest::CaptureClient(button);
    ASSERT_FALSE(shot.Empty());

    // The same text drawn the same way in bold Arial 14, in the fallback colour.
    CBitmap reference = Solid(120, 30, RGB(0, 0, 0));
    CFont arial;
    ASSERT_TRUE(CreateFallbackFont(arial));
    {
        CMemoryDC dc;
        dc.SelectObject(static_cast<HBITMAP>(reference));
        dc.SelectObject(static_cast<HFONT>(arial));
        dc.SetTextColor(kFallbackTextColor);
        dc.SetBkMode(TRANSPARENT);
        CRect r(0, 0, 120, 30);
        dc.DrawText(L"Wg", &r, button.Format());
    }
    HDC screen = GetDC(nullptr);
    int differing = 0, lit = 0;
    {
        CMemoryDC dc(screen);
        dc.SelectObject(static_cast<HBITMAP>(reference));
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 120; ++x) {
                COLORREF expected = dc.GetPixel(x, y);
                lit += expected != RGB(0, 0, 0);
                differing += !hvtest::ColorNear(shot.At(x, y), expected, 8);
            }
        }
    }
    ReleaseDC(nullptr, screen);
    EXPECT_GT(lit, 20);
    EXPECT_EQ(differing, 0);

    // The tooltip: the translated text with "\n" as a space, in one tool of the panel's tooltip
    // control, which is made when the pointer first comes over the button.
    button.SetToolTip(L"Press\\nhere");
    button.SetToolTip(L"Press\\nhere\\nnow");
    EXPECT_EQ(button.ToolTip().Text(), L"Press here now");
    EXPECT_EQ(button.ToolTip().Window(), nullptr);
    MSG msg = {button.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), GetTickCount(), ScreenPoint(button, 5, 5)};
    button.PreTranslateMessage(&msg);
    HWND tip = button.ToolTip().Window();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), panel.GetSafeHwnd());
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    wchar_t text[80] = {};
    TTTOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.hwnd = button;
    info.uId = 1;
    info.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, L"Press here now");
}

TEST(KeyboardKeyItem, NamesItsKeyAndTellsItsOwner)
{
    ASSERT_TRUE(LoadKeyboardDef());

    hvtest::CRecordingPanel panel(kPanelRect);
    ASSERT_TRUE(panel.Create());
    Pictures pictures;
    CKeyboardKeyItem key;
    ASSERT_TRUE(key.Create(L"", WS_VISIBLE, CRect(100, 20, 140, 40), panel, 0));
    key.id = FindItemIdByName(L"BUTTON_KB_A");
    key.SetBitmaps(pictures.normal, pictures.over, pictures.down, pictures.disabled, 0, 0, 40, 20);
    key.SetKeyHash(HashText(L"a A"));
    key.UpdateKeyName();
    EXPECT_EQ(key.kind, ItemKind::KeyboardKeyItem);
    EXPECT_EQ(key.Caption(), L"A");
    EXPECT_EQ(key.ToolTip().Text(), L"A");
    EXPECT_EQ(key.ScanCode(), 0x1Eu);
    EXPECT_EQ(key.VirtualKey(), static_cast<UINT>('A'));
    EXPECT_FALSE(key.IsExtended());
    EXPECT_TRUE(key.IsCheckBox());
    EXPECT_FALSE(key.IsToggle());

    ASSERT_TRUE(hvtest::PrepareTarget(panel, {280, 150}));
    panel.received.clear();
    ASSERT_TRUE(hvtest::MoveCursorTo(ScreenPoint(key, 10, 10)));
    hvtest::FlushMessages();
    ASSERT_GE(panel.Count(WM_KBDKEY_HOVER), 1u);
    EXPECT_EQ(panel.received.front().message, static_cast<UINT>(WM_KBDKEY_HOVER));
    EXPECT_EQ(panel.received.front().wParam, 0u);
    EXPECT_EQ(panel.received.front().lParam, key.id);
    const CRect aboveCaption(0, 0, 40, 3);  // the key's name is drawn in the middle
    Shows(key, kOver, "key hovered", aboveCaption);

    panel.received.clear();
    ASSERT_TRUE(hvtest::Click(key, {10, 10}));
    hvtest::FlushMessages();
    ASSERT_EQ(panel.Count(WM_KBDKEY_CLICKED), 1u);
    // The click message comes before the key's own WM_COMMAND.
    size_t clickedAt = 0, commandAt = 0;
    for (size_t i = 0; i < panel.received.size(); ++i) {
        if (panel.received[i].message == WM_KBDKEY_CLICKED) {
            clickedAt = i;
            EXPECT_EQ(panel.received[i].lParam, key.id);
        }
        if (panel.received[i].message == WM_COMMAND)
            commandAt = i;
    }
    EXPECT_EQ(panel.Count(WM_COMMAND), 1u);
    EXPECT_LT(clickedAt, commandAt);
    EXPECT_FALSE(key.IsChecked());  // keys do not toggle
    MoveAway(panel);
    key.SetState(true);
    Shows(key, kDown, "key checked", aboveCaption);

    // A key with its own owner window tells that window instead.
    layouttest::ProgressRecorder other;  // any window of this thread
    hvtest::MessageRecorder recorder;
    recorder.Watch(other.Window());
    key.SetOwnerWindow(other.Window());
    panel.received.clear();
    ASSERT_TRUE(hvtest::MoveCursorTo(ScreenPoint(key, 12, 12)));
    hvtest::FlushMessages();
    EXPECT_TRUE(recorder.Contains(WM_KBDKEY_HOVER));
    EXPECT_EQ(panel.Count(WM_KBDKEY_HOVER), 0u);
    MoveAway(panel);

    // A key without a caption in the definition's other record: the system names it.
    CKeyboardKeyItem control;
    ASSERT_TRUE(control.Create(L"", WS_VISIBLE, CRect(150, 20, 190, 40), panel, 0));
    control.SetKeyHash(HashText(L"Left Control"));
    control.UpdateKeyName();
    EXPECT_EQ(control.VirtualKey(), static_cast<UINT>(VK_LCONTROL));
    EXPECT_FALSE(control.Caption().empty());
}

TEST(BitmapButton, MaskShapesTheButtonOverItsBackground)
{
    hvtest::CRecordingPanel panel(kPanelRect);
    ASSERT_TRUE(panel.Create());
    ASSERT_TRUE(hvtest::PrepareTarget(panel, {280, 150}));
    const CRect place(20, 20, 60, 40);
    hvtest::FlushMessages();
    hvtest::Bitmap before = hvtest::CaptureClient(panel);
    ASSERT_FALSE(before.Empty());
    const COLORREF background = before.At(place.left, place.top);
    hvtest::ExpectRectNear(before, place, background, 2);

    // Sheets of 80 x 20 whose right half is the button's; the mask is white (transparent) in the
    // button's left 10 columns and top 5 rows.
    auto sheet = [](COLORREF colour) { return Painted(80, 20, [colour](int x, int) { return x < 40 ? kOther : colour; }); };
    CBitmap mask = Painted(80, 20, [](int x, int y) {
        return x >= 40 && (x < 50 || y < 5) ? RGB(255, 255, 255) : RGB(0, 0, 0);
    });
    CBitmap normal = sheet(kNormal), over = sheet(kOver), down = sheet(kDown), disabled = sheet(kDisabled);
    CBitmapBtn button;
    ASSERT_TRUE(button.Create(L"", WS_VISIBLE, place, panel, kButtonId));
    button.SetBitmapsWithMask(mask, normal, over, down, disabled, CRect(40, 0, 80, 20));
    CRgn region;
    ASSERT_TRUE(region.CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(button, region), ERROR);
    EXPECT_FALSE(region.PtInRegion(5, 10));
    EXPECT_FALSE(region.PtInRegion(20, 2));
    EXPECT_TRUE(region.PtInRegion(20, 10));

    // The panel shows where the mask is white, the state's picture where it is black.
    auto shows = [&](COLORREF colour, const char* what) {
        SCOPED_TRACE(what);
        hvtest::FlushMessages(20, 500);
        hvtest::Bitmap shot = hvtest::CaptureClient(panel);
        ASSERT_FALSE(shot.Empty());
        hvtest::ExpectRectNear(shot, CRect(20, 20, 30, 40), background, 2);
        hvtest::ExpectRectNear(shot, CRect(30, 20, 60, 25), background, 2);
        hvtest::ExpectRectNear(shot, CRect(30, 25, 60, 40), colour, 2);
    };
    shows(kNormal, "normal");
    button.SetState(true);
    shows(kDown, "checked");
    button.SetState(false);
    button.EnableWindow(FALSE);
    shows(kDisabled, "disabled");
    hvtest::CaptureClient(panel).SaveToTestDir(L"bitmap_button_masked.bmp");

    // Without its region the button's own composition still keeps what was beneath where the mask
    // is white.
    ASSERT_NE(SetWindowRgn(button, nullptr, TRUE), 0);
    button.EnableWindow(TRUE);
    shows(kNormal, "normal, without region");
}

TEST(KeyboardKeyItem, DrawsItsOwnPartOfTheKeyboardPicture)
{
    hvtest::CRecordingPanel panel(kPanelRect);
    ASSERT_TRUE(panel.Create());
    ASSERT_TRUE(hvtest::PrepareTarget(panel, {280, 150}));

    // One picture of the whole keyboard per state; this key is its part (100, 20)-(140, 40).
    const CRect part(100, 20, 140, 40);
    auto keyboard = [&part](COLORREF colour) {
        return Painted(200, 60, [&part, colour](int x, int y) { return part.PtInRect({x, y}) ? colour : kOther; });
    };
    CBitmap normal = keyboard(kNormal), over = keyboard(kOver), down = keyboard(kDown), disabled = keyboard(kDisabled);
    CKeyboardKeyItem key;
    ASSERT_TRUE(key.Create(L"", WS_VISIBLE, part, panel, 0));
    key.SetBitmaps(normal, over, down, disabled, part.left, part.top, part.right, part.bottom);
    Shows(key, kNormal, "key normal");
    key.SetState(true);
    Shows(key, kDown, "key checked");
    key.SetHighlighted(true);
    Shows(key, kOver, "key highlighted");
}

namespace {

// What a bitmap window of the given size should show: a picture of one colour, the icon (when
// given) at the left and centred vertically on the text's rectangle, the text in the fallback font
// and colour, with the format plus DT_END_ELLIPSIS when ellipsis is set.
hvtest::Bitmap ExpectedBitmapWindow(int width, int height, COLORREF picture, HBITMAP icon, const wchar_t* text,
                                    UINT format, bool ellipsis)
{
    CBitmap canvas = Solid(width, height, picture);
    CFont font;
    EXPECT_TRUE(CreateFallbackFont(font));
    {
        CMemoryDC dc;
        dc.SelectObject(static_cast<HBITMAP>(canvas));
        CRect textRect(0, 0, width, height);
        if (icon) {
            BITMAP info = {};
            GetObjectW(icon, sizeof(info), &info);
            const CSize size(info.bmWidth, info.bmHeight);
            CRect iconRect(CPoint(0, (height - size.cy) / 2), size);
            CMemoryDC source;
            source.SelectObject(icon);
            dc.BitBlt(iconRect.left, iconRect.top, size.cx, size.cy, source, 0, 0, SRCCOPY);
            textRect = CRect(iconRect.right, iconRect.top, width, iconRect.bottom);
        }
        dc.SelectObject(static_cast<HFONT>(font));
        dc.SetTextColor(kText);
        dc.SetBkMode(TRANSPARENT);
        dc.DrawText(text, &textRect, format | (ellipsis ? DT_END_ELLIPSIS : 0));
    }
    return skintest::PixelsOf(canvas);
}

} // namespace

TEST(BitmapWindow, PictureTextLineEllipsisAndIcon)
{
    hvtest::CRecordingPanel panel(kPanelRect);
    ASSERT_TRUE(panel.Create());
    ASSERT_TRUE(hvtest::PrepareTarget(panel, {280, 150}));
    constexpr int kW = 120, kH = 60;
    CBitmap base = Solid(kW, kH, kOther), normal = Solid(kW, kH, kNormal), hover = Solid(kW, kH, kOver),
            selected = Solid(kW, kH, kDown);
    CBitmapWindow window;
    ASSERT_TRUE(window.Create(CRect(10, 10, 10 + kW, 10 + kH), panel));
    window.SetBitmaps(base, normal, hover, selected, nullptr);
    window.SetTextColor(kText);
    const UINT top = DT_LEFT | DT_TOP | DT_SINGLELINE;  // the text in the top rows, clear of the line
    window.SetFormat(top);

    // Without text: the normal picture, and no line even when asked for.
    window.SetShowLine(true);
    Shows(window, kNormal, "no text");
    // The pointer over it: the hover picture, until it leaves.
    ASSERT_TRUE(hvtest::MoveCursorTo(ScreenPoint(window, 60, 30)));
    hvtest::FlushMessages();
    EXPECT_TRUE(window.IsHover());
    Shows(window, kOver, "hovered");
    MoveAway(panel);
    EXPECT_FALSE(window.IsHover());
    Shows(window, kNormal, "left");

    // A text: the hover picture, and the line 37 pixels above the bottom in the text's colour.
    window.SetText(L"Wg", 0);
    const CRect belowText(0, 16, kW, kH);
    Shows(window, kText, "line", CRect(0, kH - 37, kW, kH - 36));
    Shows(window, kOver, "above the line", CRect(0, 16, kW, kH - 37));
    Shows(window, kOver, "below the line", CRect(0, kH - 36, kW, kH));
    window.SetShowLine(false);
    Shows(window, kOver, "text without line", belowText);
    // Selected or highlighted: the selected picture.
    window.SetSelected(true);
    Shows(window, kDown, "selected", belowText);
    window.SetSelected(false);
    window.SetHighlighted(true);
    Shows(window, kDown, "highlighted", belowText);
    window.SetHighlighted(false);

    // A text wider than the window ends in an ellipsis.
    const UINT centred = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    const wchar_t* longText = L"WWWWWWWWWWWWWWWWWWWWWWWW";
    window.SetFormat(centred);
    window.SetText(longText, 0);
    hvtest::FlushMessages(20, 500);
    hvtest::Bitmap shot = hvtest::CaptureClient(window);
    ASSERT_EQ(shot.Width(), kW);
    shot.SaveToTestDir(L"bitmap_window_ellipsis.bmp");
    EXPECT_EQ(skintest::DifferingPixels(shot, ExpectedBitmapWindow(kW, kH, kOver, nullptr, longText, centred, true), 8), 0);
    EXPECT_GT(skintest::DifferingPixels(shot, ExpectedBitmapWindow(kW, kH, kOver, nullptr, longText, centred, false), 8), 0);

    // The icon of the assignment type comes first, centred vertically; the text follows it.
    CBitmap icon = Solid(16, 16, kIcon);
    window.AddAssignmentIcon(6, icon);
    window.SetAssignmentType(6);
    window.SetText(L"Wg", 0);
    hvtest::FlushMessages(20, 500);
    shot = hvtest::CaptureClient(window);
    shot.SaveToTestDir(L"bitmap_window_icon.bmp");
    hvtest::ExpectRectNear(shot, CRect(0, 22, 16, 38), kIcon, 2);
    EXPECT_EQ(skintest::DifferingPixels(shot, ExpectedBitmapWindow(kW, kH, kOver, icon, L"Wg", centred, true), 8), 0);
    // Another type has no icon: the text starts at the left edge.
    window.SetAssignmentType(7);
    hvtest::FlushMessages(20, 500);
    EXPECT_EQ(skintest::DifferingPixels(hvtest::CaptureClient(window),
                                        ExpectedBitmapWindow(kW, kH, kOver, nullptr, L"Wg", centred, true), 8),
              0);
}
