// The frame panel's border and picture, and the skinned scroll bar driving a real list box: arrows,
// pages, the jump to the end, dragging the thumb, and a list that cannot scroll.
#include "controls/GenericPanel.h"
#include "controls/VScrollBar.h"

#include "HvTest.h"
#include "TestBitmaps.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using skintest::Solid;

constexpr COLORREF kFill = RGB(20, 160, 40);
constexpr COLORREF kBorder = RGB(210, 30, 30);
constexpr COLORREF kEnds = RGB(120, 120, 120);
constexpr COLORREF kArrowUp = RGB(230, 40, 40);
constexpr COLORREF kArrowDown = RGB(40, 40, 230);
constexpr COLORREF kSpine = RGB(60, 60, 60);
constexpr COLORREF kThumb = RGB(40, 220, 60);

struct Skin
{
    CBitmap top = Solid(16, 4, kEnds);
    CBitmap bottom = Solid(16, 4, kEnds);
    CBitmap up = Solid(16, 12, kArrowUp);
    CBitmap down = Solid(16, 12, kArrowDown);
    CBitmap spine = Solid(16, 8, kSpine);
    CBitmap thumb = Solid(16, 20, kThumb);

    VScrollSkin Get(int border = 0) const
    {
        VScrollSkin skin;
        skin.bitmaps[VScrollSkin::Top] = top;
        skin.bitmaps[VScrollSkin::Bottom] = bottom;
        skin.bitmaps[VScrollSkin::ArrowUp] = up;
        skin.bitmaps[VScrollSkin::ArrowDown] = down;
        skin.bitmaps[VScrollSkin::Spine] = spine;
        skin.bitmaps[VScrollSkin::Thumb] = thumb;
        skin.borderWidth = border;
        return skin;
    }
};

HWND MakeList(HWND parent, int count, int x = 10)
{
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, x, 10,
                                150, 200, parent, reinterpret_cast<HMENU>(100), GetModuleHandleW(nullptr), nullptr);
    for (int i = 0; i < count; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(i).c_str()));
    return list;
}

int TopIndex(HWND list)
{
    return static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
}

SCROLLINFO ScrollInfo(HWND list)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(list, SB_VERT, &info);
    return info;
}

} // namespace

TEST(FramePanel, BorderHalvesAndDrawing)
{
    int down = -1, up = -1;
    BorderHalves(3, down, up);
    EXPECT_EQ(down, 1);
    EXPECT_EQ(up, 2);
    BorderHalves(1, down, up);
    EXPECT_EQ(down, 0);
    EXPECT_EQ(up, 1);
    BorderHalves(0, down, up);
    EXPECT_EQ(down, 0);
    EXPECT_EQ(up, 0);

    hvtest::ScopedWindow parent(hvtest::CreateTestWindow(300, 200));
    CGenericPanel frame(3);
    EXPECT_EQ(frame.BorderInsetTopLeft(), 1);
    EXPECT_EQ(frame.BorderInsetBottomRight(), 2);
    frame.SetFillColor(kFill);
    frame.SetBorderColor(kBorder);
    ASSERT_TRUE(frame.Create(CRect(10, 10, 110, 70), parent));
    EXPECT_EQ(frame.GetDlgCtrlID(), 0xFFFF);
    EXPECT_EQ(frame.GetStyle() & 0xF0000000, 0x50000000u);
    EXPECT_EQ(frame.InnerRect(), CRect(3, 3, 97, 57));

    hvtest::FlushMessages();
    hvtest::Bitmap shot = hvtest::CaptureClient(frame);
    ASSERT_EQ(shot.Width(), 100);
    shot.SaveToTestDir(L"frame_panel.bmp");
    // Three pixels of border on every side, inside the window; the fill within.
    hvtest::ExpectRectNear(shot, CRect(0, 0, 100, 3), kBorder, 2);
    hvtest::ExpectRectNear(shot, CRect(0, 57, 100, 60), kBorder, 2);
    hvtest::ExpectRectNear(shot, CRect(0, 0, 3, 60), kBorder, 2);
    hvtest::ExpectRectNear(shot, CRect(97, 0, 100, 60), kBorder, 2);
    hvtest::ExpectRectNear(shot, CRect(3, 3, 97, 57), kFill, 2);

    // A picture smaller than the rectangle is centred in it; a larger one gives the window its own
    // rectangle, and the wanted rectangle becomes the inner one.
    CBitmap small = Solid(20, 10, RGB(200, 0, 200));
    FrameBitmapInfo picture;
    picture.bitmap = small;
    picture.rect = CRect(150, 10, 170, 20);
    CGenericPanel centred(0);
    centred.SetFillColor(kFill);
    ASSERT_TRUE(centred.Create(CRect(150, 10, 210, 50), parent, &picture));
    EXPECT_EQ(centred.GetClientRect(), CRect(0, 0, 60, 40));
    hvtest::FlushMessages();
    hvtest::Bitmap centredShot = hvtest::CaptureClient(centred);
    hvtest::ExpectRectNear(centredShot, CRect(20, 15, 40, 25), RGB(200, 0, 200), 2);
    hvtest::ExpectRectNear(centredShot, CRect(0, 0, 60, 14), kFill, 2);

    CBitmap large = Solid(80, 60, RGB(0, 200, 200));
    picture.bitmap = large;
    picture.rect = CRect(150, 100, 230, 160);
    CGenericPanel framed(0);
    ASSERT_TRUE(framed.Create(CRect(160, 110, 200, 140), parent, &picture));
    EXPECT_EQ(framed.GetWindowRect().Size(), CSize(80, 60));
    EXPECT_EQ(framed.InnerRect(), CRect(10, 10, 50, 40));
}

TEST(SkinnedScrollBar, ScrollsTheListItIsBoundTo)
{
    hvtest::ScopedWindow parent(hvtest::CreateTestWindow(300, 240));
    HWND list = MakeList(parent, 50);
    Skin pictures;
    VScrollSkin skin = pictures.Get();
    EXPECT_EQ(skin.Width(), 16);
    CVScrollBar bar(skin.Width(), list);
    bar.SetSkin(skin);
    ASSERT_TRUE(bar.Create(CRect(170, 10, 186, 210), parent, 2001));
    EXPECT_EQ(bar.ArrowUpRect(), CRect(0, 4, 16, 16));
    EXPECT_EQ(bar.ArrowDownRect(), CRect(0, 184, 16, 196));
    EXPECT_EQ(bar.TrackLength(), 200.0 - (4 + 12 + 12 + 4 + 20));
    EXPECT_EQ(bar.TrackTop(), 16);
    bar.SyncWithList();
    EXPECT_EQ(bar.ThumbTop(), 16);

    const SCROLLINFO info = ScrollInfo(list);
    const int last = info.nMax - static_cast<int>(info.nPage) + 1;  // the top row that shows the last row
    ASSERT_GT(last, 10);

    hvtest::FlushMessages();
    hvtest::Bitmap shot = hvtest::CaptureClient(bar);
    shot.SaveToTestDir(L"scroll_bar.bmp");
    hvtest::ExpectRectNear(shot, CRect(0, 0, 16, 4), kEnds, 2);
    hvtest::ExpectRectNear(shot, CRect(0, 4, 16, 16), kArrowUp, 2);
    hvtest::ExpectRectNear(shot, CRect(0, 16, 16, 36), kThumb, 2);
    hvtest::ExpectRectNear(shot, CRect(0, 40, 16, 180), kSpine, 2);
    hvtest::ExpectRectNear(shot, CRect(0, 184, 16, 196), kArrowDown, 2);

    // Arrows scroll by a line and the thumb follows.
    ASSERT_TRUE(hvtest::Click(bar, {8, 190}));
    EXPECT_TRUE(hvtest::WaitUntil([&] { return TopIndex(list) == 1; }, 2000));
    hvtest::FlushMessages();
    EXPECT_EQ(bar.ThumbTop(), 16 + static_cast<int>(bar.TrackLength() * 1 / last));
    Sleep(GetDoubleClickTime() + 50);
    ASSERT_TRUE(hvtest::Click(bar, {8, 190}));
    EXPECT_TRUE(hvtest::WaitUntil([&] { return TopIndex(list) == 2; }, 2000));
    Sleep(GetDoubleClickTime() + 50);
    ASSERT_TRUE(hvtest::Click(bar, {8, 8}));
    EXPECT_TRUE(hvtest::WaitUntil([&] { return TopIndex(list) == 1; }, 2000));

    // The track below the thumb pages down; above it, up.
    Sleep(GetDoubleClickTime() + 50);
    ASSERT_TRUE(hvtest::Click(bar, {8, 150}));
    EXPECT_TRUE(hvtest::WaitUntil([&] { return TopIndex(list) == 1 + static_cast<int>(info.nPage); }, 2000));
    hvtest::FlushMessages();
    Sleep(GetDoubleClickTime() + 50);
    ASSERT_TRUE(hvtest::Click(bar, {8, bar.ThumbTop() - 3}));
    EXPECT_TRUE(hvtest::WaitUntil([&] { return TopIndex(list) == 1; }, 2000));

    // A page down that would pass the end goes to the end: the last row shows.
    SendMessageW(list, LB_SETTOPINDEX, last - 3, 0);
    bar.SyncWithList();
    hvtest::FlushMessages();
    Sleep(GetDoubleClickTime() + 50);
    ASSERT_TRUE(hvtest::Click(bar, {8, 180}));
    EXPECT_TRUE(hvtest::WaitUntil([&] { return TopIndex(list) == last && ScrollInfo(list).nPos == last; }, 2000));
    hvtest::FlushMessages();
    EXPECT_EQ(bar.ThumbTop(), 16 + static_cast<int>(bar.TrackLength()));

    // Dragging the thumb scrolls while it moves.
    SendMessageW(list, LB_SETTOPINDEX, 0, 0);
    bar.SyncWithList();
    hvtest::FlushMessages();
    Sleep(GetDoubleClickTime() + 50);
    // Dragging the thumb tells the list the position under the thumb while it moves (list boxes
    // take a thumb-track position from their own scroll bar, so the position is checked on the
    // message), and the end of the drag brings the bar back to the list's position.
    hvtest::MessageRecorder recorder;
    recorder.Watch(list);
    ASSERT_TRUE(hvtest::Drag(bar, {8, 26}, {8, 96}));
    hvtest::FlushMessages();
    const int expected = static_cast<int>((96 - 10 - 16) / (bar.TrackLength() / last));
    ASSERT_GT(expected, 0);
    bool tracked = false;
    WORD lastTrack = 0;
    for (const hvtest::RecordedMsg& m : recorder.Messages()) {
        if (m.message == WM_VSCROLL && LOWORD(m.wParam) == SB_THUMBTRACK) {
            lastTrack = HIWORD(m.wParam);
            tracked = true;
        }
    }
    EXPECT_TRUE(tracked);
    EXPECT_EQ(lastTrack, expected);
    EXPECT_TRUE(recorder.Contains(WM_VSCROLL));
    EXPECT_NE(GetCapture(), bar.GetSafeHwnd());
    EXPECT_EQ(bar.ThumbTop(), 16);  // the list box did not move: the bar follows the list
}

TEST(SkinnedScrollBar, NothingPaintedWhileTheListCannotScroll)
{
    hvtest::ScopedWindow parent(hvtest::CreateTestWindow(300, 240));
    HWND list = MakeList(parent, 3);
    Skin pictures;
    CVScrollBar bar(16, list);
    bar.SetSkin(pictures.Get());
    ASSERT_TRUE(bar.Create(CRect(170, 10, 186, 210), parent, 2002));
    bar.SyncWithList();
    hvtest::FlushMessages();
    hvtest::Bitmap shot = hvtest::CaptureClient(bar);
    ASSERT_FALSE(shot.Empty());
    const CRect all(0, 0, 16, 200);
    for (COLORREF skinColour : {kEnds, kArrowUp, kArrowDown, kSpine, kThumb})
        EXPECT_EQ(hvtest::CountPixelsNear(shot, all, skinColour, 2), 0) << hvtest::ColorText(skinColour);

    // Too short for its parts: no bar.
    CVScrollBar shortBar(16, list);
    shortBar.SetSkin(pictures.Get());
    EXPECT_FALSE(shortBar.Create(CRect(200, 10, 216, 40), parent, 2003));
    EXPECT_FALSE(shortBar.IsWindow());
}
