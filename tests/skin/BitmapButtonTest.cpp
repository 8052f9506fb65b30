// Bitmap buttons and keyboard key items in a panel: the picture of every state (read back from the
// screen), hover through real mouse moves, check-box and toggle clicks, blink, captions, tooltips,
// and the messages and key name of a key item.
#include "BitmapBtn.h"
#include "DialogTemplate.h"
#include "GUIPanel.h"
#include "KeyboardDef.h"
#include "KeyboardKeyItem.h"
#include "NameTables.h"

#include "HvTest.h"
#include "LayoutTestFiles.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr COLORREF kNormal = RGB(220, 40, 40);
constexpr COLORREF kOver = RGB(40, 200, 60);
constexpr COLORREF kDown = RGB(40, 60, 220);
constexpr COLORREF kDisabled = RGB(230, 210, 30);
constexpr int kButtonId = 1001;

struct Received
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CButtonPanel : public CGUIPanel
{
public:
    CButtonPanel() : CGUIPanel(CRect(0, 0, 300, 160), Template().Get(), nullptr) {}
    std::vector<Received> received;

    static const CDialogTemplate& Template()
    {
        static CDialogTemplate t(L"", WS_POPUP | WS_VISIBLE, 0, 0, 60, 40);
        return t;
    }
    size_t Count(UINT message) const
    {
        size_t n = 0;
        for (const Received& r : received)
            n += r.message == message;
        return n;
    }

protected:
    void BindItems() override {}
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        received.push_back({WM_COMMAND, wParam, lParam});
        return CGUIPanel::OnCommand(wParam, lParam);
    }
    LRESULT OnKey(UINT message, WPARAM wParam, LPARAM lParam)
    {
        received.push_back({message, wParam, lParam});
        return 0;
    }

    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CButtonPanel, CGUIPanel)
    ON_MESSAGE_RANGE(WM_KBDKEY_HOVER, WM_KBDKEY_CLICKED, OnKey)
END_MSG_MAP()

// A picture of one colour, optionally with a black frame of one pixel.
CBitmap Solid(int width, int height, COLORREF colour)
{
    CBitmap bitmap;
    HDC screen = GetDC(nullptr);
    EXPECT_TRUE(bitmap.CreateCompatibleBitmap(screen, width, height));
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap.GetSafeHandle());
    RECT r = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

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

void MoveAway(CButtonPanel& panel)
{
    hvtest::MoveCursorTo(ScreenPoint(panel, 280, 150));
    hvtest::FlushMessages();
}

void WaitPastDoubleClick()
{
    Sleep(GetDoubleClickTime() + 50);
}

} // namespace

TEST(BitmapButton, EveryStateShowsItsPicture)
{
    CButtonPanel panel;
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
    CButtonPanel panel;
    ASSERT_TRUE(panel.Create());
    Pictures pictures;
    CBitmapBtn button;
    ASSERT_TRUE(button.Create(L"", WS_VISIBLE, CRect(20, 20, 60, 40), panel, kButtonId));
    button.SetBitmaps(pictures.normal, pictures.over, pictures.down, pictures.disabled, 0, 0, 40, 20);
    const Received clicked{WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED),
                           reinterpret_cast<LPARAM>(button.GetSafeHwnd())};
    auto lastCommand = [&]() -> Received {
        for (auto it = panel.received.rbegin(); it != panel.received.rend(); ++it) {
            if (it->message == WM_COMMAND)
                return *it;
        }
        return {0, 0, 0};
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

TEST(BitmapButton, BlinkAlternatesNormalAndDown)
{
    CButtonPanel panel;
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

    CButtonPanel panel;
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

    // The tooltip: one tool, the translated text with "\n" as a space, active.
    button.SetToolTip(L"Press\\nhere");
    button.SetToolTip(L"Press\\nhere\\nnow");
    HWND tip = button.ToolTip().Window();
    ASSERT_NE(tip, nullptr);
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
    layouttest::KeyFileBuilder keys;
    keys.I32(2).Record(L"a A", 0x1E).Record(L"Left Control", 0x1D);
    ASSERT_TRUE(GetKeyboardDef().Load(keys.bytes.size(), keys.bytes.data()));

    CButtonPanel panel;
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
