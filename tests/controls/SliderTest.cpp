// Sliders as a layout builds them in a real panel, driven by real mouse input: dragging, releasing
// and jumping thumbs, the value messages the panel receives, the filled bar and the tooltip of the
// track, the vertical slider, multi-thumb sliders and the layout's edge cases.
#include "controls/ControlMessages.h"
#include "controls/Slider.h"
#include "controls/SliderHMulti.h"
#include "controls/SliderTrack.h"
#include "core/NameTables.h"
#include "skin/GUIItem.h"
#include "skin/GUIPanel.h"

#include "HvTest.h"
#include "LayoutTestFiles.h"
#include "ControlTest.h"
#include "RecordingPanel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace layouttest;
using controltest::Id;
using controltest::Rgb;
using controltest::WaitPastDoubleClick;

namespace {

constexpr COLORREF kPanel = RGB(30, 30, 30);
constexpr COLORREF kTrack = RGB(90, 90, 90);
constexpr COLORREF kGreen = RGB(0, 255, 0);  // "GREEN"
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kThumb = RGB(40, 60, 220);
constexpr COLORREF kThumbHot = RGB(240, 200, 40);
constexpr COLORREF kKey = RGB(255, 0, 255);

void WriteSliderSkin()
{
    WriteSkinBitmap(L"sl_panel.bmp", 300, 220, [](int, int) { return Rgb(kPanel); });
    WriteSkinBitmap(L"sl_mask.bmp", 300, 220, [](int, int) { return 0u; });
    WriteSkinBitmap(L"sl_track.bmp", 240, 130, [](int, int) { return Rgb(kTrack); });
    WriteSkinBitmap(L"sl_bar.bmp", 20, 180, [](int, int) { return Rgb(kTrack); });
    // Thumbs with corners of their own background colour, which the window region leaves out.
    auto thumb = [](COLORREF body) {
        return [body](int x, int y) { return (x < 2 && y < 2) || (x > 9 && y > 17) ? Rgb(kKey) : Rgb(body); };
    };
    WriteSkinBitmap(L"sl_hthumb.bmp", 12, 20, thumb(kThumb));
    WriteSkinBitmap(L"sl_hthumbhot.bmp", 12, 20, thumb(kThumbHot));
    WriteSkinBitmap(L"sl_vthumb.bmp", 20, 10, [](int, int) { return Rgb(kThumb); });
    WriteSkinBitmap(L"sl_vthumbhot.bmp", 20, 10, [](int, int) { return Rgb(kThumbHot); });

    WriteLayout(L"SliderPanel.xml", R"(<?xml version="1.0" encoding="utf-8"?>
<GUIPANEL>
  <BACKGROUND>sl_panel.bmp</BACKGROUND>
  <MASK>sl_mask.bmp</MASK>
  <BITMAPLIST>
    <BITMAPITEM name="BITMAP_VERTICALBARLONG"><SBMN>sl_bar.bmp</SBMN><RECT left="270" top="10" right="20" bottom="180"/></BITMAPITEM>
    <SLIDERTRACK name="BITMAP_SLSENSTRK_XY"><SBMN>sl_track.bmp</SBMN><RECT left="20" top="20" right="240" bottom="30"/>
      <FILLINFO fillclr="GREEN" backclr="BLACK"><RECT left="10" top="12" right="200" bottom="6"/></FILLINFO>
    </SLIDERTRACK>
    <SLIDERTRACK name="BITMAP_SLSENSTRK_Y"><SBMN>sl_track.bmp</SBMN><RECT left="20" top="70" right="30" bottom="130"/>
      <FILLINFO><RECT left="10" top="5" right="10" bottom="120"/></FILLINFO>
    </SLIDERTRACK>
    <SLIDERTRACK name="BITMAP_SLSENSTRK_X"><SBMN>sl_track.bmp</SBMN><RECT left="60" top="170" right="200" bottom="30"/>
      <FILLINFO fillclr="NO_SUCH_COLOUR"><RECT left="0" top="0" right="200" bottom="4"/></FILLINFO>
    </SLIDERTRACK>
  </BITMAPLIST>
  <SLIDERLIST>
    <HSLIDERM name="SLIDER_DPI_MULTI" trackid="BITMAP_SLSENSTRK_XY" multiplier="100">
      <SBMN>sl_hthumb.bmp</SBMN><SBMO>sl_hthumbhot.bmp</SBMO><RECT left="10" top="5" right="200" bottom="20"/>
      <STAGES><STAGE ttpos="T" ttprefix="DPI " tooltip="$SensitivityTip">SLIDER_DPI_MULTI_STAGE1</STAGE></STAGES>
    </HSLIDERM>
    <HSLIDERM name="SLIDER_DPI_MULTI_X" trackid="BITMAP_SLSENSTRK_X" interactive="0">
      <SBMN>sl_hthumb.bmp</SBMN><RECT left="10" top="5" right="180" bottom="20"/>
      <STAGES>
        <STAGE>SLIDER_DPI_MULTI_X_STAGE1</STAGE>
        <STAGE> SLIDER_DPI_MULTI_Y_STAGE1 </STAGE>
        <STAGE ttenabled="0">SLIDER_ACCEL_STAGE1</STAGE>
      </STAGES>
    </HSLIDERM>
    <HSLIDERM name="SLIDER_DPI_MULTI_Y" trackid="NO_SUCH_TRACK">
      <SBMN>sl_hthumb.bmp</SBMN><STAGES><STAGE>SLIDER_DPI_MULTI_POPUP_STAGE1</STAGE></STAGES>
    </HSLIDERM>
    <HSLIDERM name="SLIDER_ID_ACCEL" trackid="BITMAP_VERTICALBARLONG">
      <SBMN>sl_hthumb.bmp</SBMN><STAGES><STAGE>SLIDER_ACCEL_STAGE1</STAGE></STAGES>
    </HSLIDERM>
    <VSLIDER name="SLIDER_DPI_MULTI_POPUP" trackid="BITMAP_SLSENSTRK_Y" ttpos="R" ttprefix="Level ">
      <SBMN>sl_vthumb.bmp</SBMN><SBMO>sl_vthumbhot.bmp</SBMO><RECT left="5" top="5" right="20" bottom="120"/>
    </VSLIDER>
    <VSLIDER name="SLIDER_DPI_MULTI_X_POPUP" trackid="BITMAP_VERTICALBARLONG">
      <SBMN>sl_vthumb.bmp</SBMN><RECT left="200" top="100" right="20" bottom="60"/>
    </VSLIDER>
  </SLIDERLIST>
</GUIPANEL>
)");
}

// A panel showing the slider layout, in the foreground.
struct SliderScene : controltest::LayoutScene
{
    SliderScene() : LayoutScene(L"SliderPanel.xml", WriteSliderSkin, 40, 40) {}
};

CRect ChildRect(HWND child)
{
    CRect r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Moves the pointer from one client point of window to another (both taken where the window is
// now, as it may move with the pointer) in four steps, each delivered before the next: a batch of
// input is routed by the windows under the pointer when it is queued, before the press that starts
// a drag has taken the capture.
void MoveInSteps(HWND window, POINT from, POINT to)
{
    ClientToScreen(window, &from);
    ClientToScreen(window, &to);
    for (int step = 1; step <= 4; ++step)
        hvtest::MoveCursorTo({from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
}

bool DragInSteps(HWND window, POINT from, POINT to)
{
    if (!hvtest::MouseDown(window, from))
        return false;
    MoveInSteps(window, from, to);
    bool released = hvtest::MouseUp();
    hvtest::FlushMessages();
    return released;
}

} // namespace

TEST(Sliders, HorizontalThumbDraggedJumpedAndSet)
{
    SliderScene scene;
    ASSERT_TRUE(scene.created);
    auto* multi = scene.Find<CSliderHMulti>(L"SLIDER_DPI_MULTI", ItemKind::SliderHMulti);
    auto* track = scene.Find<CSliderTrack>(L"BITMAP_SLSENSTRK_XY", ItemKind::SliderTrack);
    ASSERT_NE(multi, nullptr);
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(multi->window, track->GetSafeHwnd());
    EXPECT_EQ(ItemIdOfWindow(track->GetSafeHwnd()), track->id) << "the track keeps its own id on the shared window";
    ASSERT_EQ(multi->StageCount(), 1u);
    CPHSlider* thumb = multi->Stage(0);
    EXPECT_EQ(thumb->kind, ItemKind::PHSlider);
    EXPECT_EQ(thumb->id, Id(L"SLIDER_DPI_MULTI_STAGE1"));
    EXPECT_EQ(scene.panel.Items().FindById(thumb->id), nullptr) << "stage sliders are not listed";
    EXPECT_EQ(thumb->GetParent(), track->GetSafeHwnd());
    EXPECT_EQ(thumb->GetDlgCtrlID(), thumb->id);
    EXPECT_EQ(thumb->GetStyle() & 0xFFFF0000, 0x50010000u);
    EXPECT_EQ(track->Slider(), thumb);
    EXPECT_EQ(track->owner, &scene.panel);
    EXPECT_TRUE(track->HasFill());
    EXPECT_EQ(track->FillColor(), kGreen);
    EXPECT_EQ(thumb->Min(), 1);
    EXPECT_EQ(thumb->PosMax(), 31);
    EXPECT_EQ(thumb->Multiplier(), 100);
    EXPECT_EQ(thumb->MinPixel(), 4);    // the path's left end less half the thumb
    EXPECT_EQ(thumb->MaxPixel(), 204);  // its right end less half the thumb
    EXPECT_TRUE(track->IsTipAdded());
    EXPECT_EQ(track->TipMode(), 2);

    // Setting a value moves the thumb and reports its pixel to the track, but sends no value.
    scene.panel.received.clear();
    multi->SetPos(400);  // 400 / 100 - 1
    hvtest::FlushMessages();
    EXPECT_EQ(thumb->Position(), 3);
    EXPECT_EQ(thumb->Value(), 4);
    EXPECT_EQ(thumb->Label(), L"DPI 400");
    EXPECT_TRUE(scene.panel.received.empty());
    const int left3 = 4 + static_cast<int>(static_cast<float>(3 * (200.0 / 31)));
    EXPECT_EQ(ChildRect(*thumb).left, left3);
    EXPECT_EQ(ChildRect(*thumb).top, 5);

    hvtest::Bitmap shot = hvtest::CaptureClient(*track);
    ASSERT_FALSE(shot.Empty());
    hvtest::ExpectRectNear(shot, CRect(10, 12, left3, 18), kGreen);
    hvtest::ExpectRectNear(shot, CRect(left3 + 12, 12, 210, 18), kTrack);
    hvtest::ExpectRectNear(shot, CRect(left3 + 2, 5, left3 + 10, 25), kThumb);
    // The thumb's corners are cut out: the track shows there, not the key colour.
    EXPECT_FALSE(hvtest::ColorNear(shot.At(left3, 5), kKey, 8));
    EXPECT_FALSE(hvtest::ColorNear(shot.At(left3 + 11, 24), kKey, 8));

    // A drag: the tooltip follows with the label while the button is held; the panel gets the
    // positions on the way and one value at the end.
    scene.panel.received.clear();
    ASSERT_TRUE(hvtest::MouseDown(*thumb, {6, 10}));
    EXPECT_TRUE(thumb->IsDragging());
    MoveInSteps(*thumb, {6, 10}, {6 + 100, 10});
    EXPECT_TRUE(track->IsTipShown());
    EXPECT_TRUE(IsWindowVisible(track->ToolTipWindow()));
    EXPECT_EQ(track->TipText(), thumb->Label());
    hvtest::Bitmap dragging = hvtest::CaptureClient(*thumb);
    hvtest::ExpectRectNear(dragging, CRect(2, 2, 10, 18), kThumbHot);
    ASSERT_TRUE(hvtest::MouseUp());
    hvtest::FlushMessages();
    EXPECT_FALSE(thumb->IsDragging());
    EXPECT_FALSE(track->IsTipShown());
    const int dragged = ChildRect(*thumb).left;
    EXPECT_EQ(dragged, left3 + 100);
    EXPECT_EQ(thumb->Position(), static_cast<int>((dragged - 4) / (200.0 / 31) + 0.5));
    EXPECT_EQ(thumb->Label(), L"DPI " + std::to_wstring(thumb->Value() * 100));
    std::vector<hvtest::RecordedMsg> moving = scene.panel.Of(WM_SLIDER_POSCHANGING);
    std::vector<hvtest::RecordedMsg> released = scene.panel.Of(WM_SLIDER_POSCHANGED);
    ASSERT_GE(moving.size(), 2u);
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(scene.panel.received.back().message, WM_SLIDER_POSCHANGED);
    EXPECT_EQ(moving.back().wParam, static_cast<WPARAM>(thumb->Value()));
    EXPECT_EQ(released[0].wParam, static_cast<WPARAM>(thumb->Value()));
    for (const hvtest::RecordedMsg& r : scene.panel.received)
        EXPECT_EQ(r.lParam, thumb->id);
    shot = hvtest::CaptureClient(*track);
    hvtest::ExpectRectNear(shot, CRect(10, 12, dragged, 18), kGreen);
    hvtest::ExpectRectNear(shot, CRect(dragged + 12, 12, 210, 18), kTrack);

    // Past the end the thumb stops at the last pixel and takes the last position.
    WaitPastDoubleClick();
    scene.panel.received.clear();
    ASSERT_TRUE(DragInSteps(*thumb, {6, 10}, {6 + 400, 10}));
    EXPECT_EQ(ChildRect(*thumb).left, 204);
    EXPECT_EQ(thumb->Position(), 31);
    ASSERT_EQ(scene.panel.Of(WM_SLIDER_POSCHANGED).size(), 1u);
    EXPECT_EQ(scene.panel.Of(WM_SLIDER_POSCHANGED)[0].wParam, 32u);

    // A click on the track: the click's place, then the value of the thumb that jumped there.
    WaitPastDoubleClick();
    scene.panel.received.clear();
    ASSERT_TRUE(hvtest::Click(*track, {60, 25}));
    hvtest::FlushMessages();
    const int jumped = static_cast<int>(std::floor((60 - 6 - 4) / static_cast<float>(200.0 / 31) + 0.5f));
    ASSERT_EQ(scene.panel.received.size(), 2u);
    EXPECT_EQ(scene.panel.received[0].message, WM_SLIDERTRACK_CLICKED);
    EXPECT_EQ(scene.panel.received[0].wParam, static_cast<WPARAM>(track->id));
    EXPECT_EQ(scene.panel.received[0].lParam, MAKELPARAM(60, 25));
    EXPECT_EQ(scene.panel.received[1].message, WM_SLIDER_POSCHANGED);
    EXPECT_EQ(scene.panel.received[1].wParam, static_cast<WPARAM>(1 + jumped));
    EXPECT_EQ(thumb->Position(), jumped);
    EXPECT_EQ(ChildRect(*thumb).left, thumb->PixelOfPosition(jumped));

    // Disabled, the thumb neither drags nor jumps; the track still tells of the click.
    multi->EnableWindow(false);
    EXPECT_FALSE(thumb->IsWindowEnabled());
    WaitPastDoubleClick();
    scene.panel.received.clear();
    DragInSteps(*track, {thumb->PixelOfPosition(jumped) + 6, 15}, {180, 15});
    hvtest::FlushMessages();
    EXPECT_EQ(thumb->Position(), jumped);
    ASSERT_EQ(scene.panel.received.size(), 1u);
    EXPECT_EQ(scene.panel.received[0].message, WM_SLIDERTRACK_CLICKED);
    multi->EnableWindow(true);

    // Resting on the thumb shows the tooltip with its label; leaving hides it.
    hvtest::MoveCursorTo({0, 0});
    hvtest::FlushMessages();
    ASSERT_TRUE(hvtest::PrepareTarget(*thumb, {6, 10}));
    EXPECT_TRUE(hvtest::WaitUntil([&] { return track->IsTipShown(); }, 3000));
    EXPECT_EQ(track->TipText(), thumb->Label());
    EXPECT_TRUE(thumb->IsHot());
    hvtest::MoveCursorTo({0, 0});
    EXPECT_TRUE(hvtest::WaitUntil([&] { return !track->IsTipShown() && !thumb->IsHot(); }, 3000));

    hvtest::CaptureClient(scene.panel).SaveToTestDir(L"slider_panel.bmp");
}

TEST(Sliders, VerticalSliderAndLayoutEdgeCases)
{
    SliderScene scene;
    ASSERT_TRUE(scene.created);
    auto* vertical = scene.Find<CVertSlider>(L"SLIDER_DPI_MULTI_POPUP", ItemKind::VertSlider);
    auto* track = scene.Find<CSliderTrack>(L"BITMAP_SLSENSTRK_Y", ItemKind::SliderTrack);
    ASSERT_NE(vertical, nullptr);
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(vertical->GetParent(), track->GetSafeHwnd());
    EXPECT_EQ(vertical->owner, track);
    EXPECT_EQ(track->Slider(), vertical);
    EXPECT_EQ(ItemIdOfWindow(*vertical), vertical->id);
    // A FILLINFO without a colour fills white.
    EXPECT_TRUE(track->HasFill());
    EXPECT_EQ(track->FillColor(), kWhite);
    EXPECT_EQ(vertical->Min(), 1);
    EXPECT_EQ(vertical->Max(), 32);
    EXPECT_EQ(vertical->PosMax(), 31);

    // Position 0 shows value 1 at the bottom, 31 shows 32 at the top; a position equal to the
    // current one is ignored, whether or not the thumb is to move.
    hvtest::MessageRecorder recorder;
    recorder.Watch(*track);
    vertical->SetPos(0, true);
    EXPECT_EQ(vertical->Value(), 1);
    EXPECT_EQ(vertical->Label(), L"Level 1");
    EXPECT_EQ(ChildRect(*vertical).top, 120);  // bottom of the path (125) less half the thumb
    EXPECT_TRUE(recorder.ExpectSequence({{WM_SLIDERTRACK_SETVPOS, hvtest::Sent | hvtest::LParam, 0, 120},
                                         {WM_PAINT, hvtest::Optional}},
                                        "set to 0"));
    vertical->SetPos(0, true);
    vertical->SetPos(0, false);
    EXPECT_FALSE(recorder.Contains(WM_SLIDERTRACK_SETVPOS));
    vertical->SetPos(31, true);
    EXPECT_EQ(vertical->Value(), 32);
    EXPECT_EQ(ChildRect(*vertical).top, 0);
    vertical->SetPos(99, true);  // clamped, and already there
    EXPECT_EQ(vertical->Position(), 31);
    vertical->SetPos(10, true);

    // The horizontal thumb ignores an equal position only when it is not to move.
    auto* multi = scene.Find<CSliderHMulti>(L"SLIDER_DPI_MULTI", ItemKind::SliderHMulti);
    ASSERT_NE(multi, nullptr);
    recorder.Watch(multi->Track()->GetSafeHwnd());
    recorder.Clear();
    multi->Stage(0)->SetPos(0, false);
    EXPECT_FALSE(recorder.Contains(WM_SLIDERTRACK_SETHPOS));
    multi->Stage(0)->SetPos(0, true);
    EXPECT_TRUE(recorder.Contains(WM_SLIDERTRACK_SETHPOS));

    // Dragging the vertical thumb up: positions and one value reach the panel, and the bar fills
    // from the thumb's bottom edge down.
    scene.panel.received.clear();
    const int top10 = ChildRect(*vertical).top;
    ASSERT_TRUE(DragInSteps(*vertical, {10, 5}, {10, 5 - 40}));
    const int top = ChildRect(*vertical).top;
    EXPECT_EQ(top, top10 - 40);
    EXPECT_EQ(vertical->Position(), static_cast<int>((120 - top) / static_cast<float>(120.0 / 31)));
    EXPECT_EQ(vertical->Label(), L"Level " + std::to_wstring(vertical->Value()));
    ASSERT_GE(scene.panel.Of(WM_SLIDER_POSCHANGING).size(), 1u);
    ASSERT_EQ(scene.panel.Of(WM_SLIDER_POSCHANGED).size(), 1u);
    EXPECT_EQ(scene.panel.Of(WM_SLIDER_POSCHANGED)[0].wParam, static_cast<WPARAM>(vertical->Value()));
    EXPECT_EQ(scene.panel.Of(WM_SLIDER_POSCHANGED)[0].lParam, vertical->id);
    hvtest::Bitmap shot = hvtest::CaptureClient(*track);
    hvtest::ExpectRectNear(shot, CRect(10, top + 10, 20, 125), kWhite);
    hvtest::ExpectRectNear(shot, CRect(10, 5, 20, top - 1), kTrack);

    // A thumb can jump back further than its own width: the bar is redrawn over its whole change.
    vertical->SetPos(0, true);
    hvtest::FlushMessages();
    shot = hvtest::CaptureClient(*track);
    hvtest::ExpectRectNear(shot, CRect(10, 5, 20, 119), kTrack);
    shot.SaveToTestDir(L"vertical_slider_track.bmp");

    // A VSLIDER whose track is a plain bitmap item is a child of the panel.
    auto* loose = scene.Find<CVertSlider>(L"SLIDER_DPI_MULTI_X_POPUP", ItemKind::VertSlider);
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(loose->GetParent(), scene.panel.GetSafeHwnd());
    EXPECT_EQ(loose->owner, &scene.panel);

    // Three stages: one item, three thumbs of kind 6 on one track, all disabled (interactive 0);
    // the last stage switches the track's tooltip off.
    auto* three = scene.Find<CSliderHMulti>(L"SLIDER_DPI_MULTI_X", ItemKind::SliderHMulti);
    ASSERT_NE(three, nullptr);
    ASSERT_EQ(three->StageCount(), 3u);
    const wchar_t* stageNames[] = {L"SLIDER_DPI_MULTI_X_STAGE1", L"SLIDER_DPI_MULTI_Y_STAGE1", L"SLIDER_ACCEL_STAGE1"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(three->Stage(i)->kind, ItemKind::PHSlider);
        EXPECT_EQ(three->Stage(i)->id, Id(stageNames[i]));
        EXPECT_EQ(three->Stage(i)->GetParent(), three->Track()->GetSafeHwnd());
        EXPECT_FALSE(three->Stage(i)->IsWindowEnabled());
    }
    EXPECT_FALSE(three->IsEnabled());
    EXPECT_FALSE(three->Track()->IsTipAdded());
    EXPECT_EQ(three->Track()->FillColor(), kWhite) << "an unknown fill colour fills white";
    size_t multis = 0;
    for (CGUIItem* item : scene.panel.Items())
        multis += item->kind == ItemKind::SliderHMulti;
    EXPECT_EQ(multis, 2u) << "HSLIDERMs without a slider track are skipped";
    EXPECT_EQ(scene.panel.Items().FindById(Id(L"SLIDER_DPI_MULTI_Y")), nullptr);
    EXPECT_EQ(scene.panel.Items().FindById(Id(L"SLIDER_ID_ACCEL")), nullptr);

    // An empty position range keeps the thumbs at the start, without dividing by zero.
    three->SetRange(5, 5);
    CPHSlider* first = three->Stage(0);
    EXPECT_EQ(first->PosMax(), 0);
    EXPECT_EQ(first->PixelOfPosition(0), first->MinPixel());
    EXPECT_EQ(first->PosFromPoint(150, 0), 0);
    three->SetPos(500);
    EXPECT_EQ(first->Position(), 0);
    EXPECT_EQ(first->Value(), 5);
    EXPECT_EQ(ChildRect(*first).left, first->MinPixel());
}
