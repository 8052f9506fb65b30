// The colour button and its palette, the multi-range slider and the bar marker as the layout builds
// them in a test panel, driven by real mouse and key input: the palette's mouse, keyboard and
// deactivation protocols and the messages the button sends its owner, the custom colour through the
// common-dialog seam, where the palette opens; the slider's ranges (with tickers the test adds) and
// the values the marker reports; and the layout's edge cases of those sections and of the DPI stage
// windows.
#include "controls/APMSlider.h"
#include "controls/ColorPaletteWnd.h"
#include "controls/ControlMessages.h"
#include "controls/DMarker.h"
#include "controls/DpiStageWindow.h"
#include "controls/DropdownColorButton.h"
#include "core/NameTables.h"
#include "platform/CommonDialogs.h"
#include "skin/GUIItem.h"

#include "ControlTest.h"
#include "HvTest.h"
#include "LayoutTestFiles.h"
#include "RecordingPanel.h"

#include <gtest/gtest.h>

#include <vector>

using namespace layouttest;
using controltest::Id;
using controltest::Rgb;
using controltest::WaitPastDoubleClick;

namespace {

constexpr COLORREF kPanel = RGB(24, 24, 24);
constexpr COLORREF kTrack = RGB(200, 100, 40);
constexpr COLORREF kTicker = RGB(240, 240, 240);
constexpr COLORREF kBarBack = RGB(90, 90, 90);
constexpr COLORREF kBarFill = RGB(0, 200, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);     // "RED"
constexpr COLORREF kYellow = RGB(255, 255, 0);  // "YELLOW"

void WriteColorSkin()
{
    WriteSkinBitmap(L"cm_panel.bmp", 460, 320, [](int, int) { return Rgb(kPanel); });
    WriteSkinBitmap(L"cm_mask.bmp", 460, 320, [](int, int) { return 0u; });
    WriteSkinBitmap(L"cm_track.bmp", 220, 30, [](int, int) { return Rgb(kTrack); });
    // A ticker with corners of its own background colour, which its window region leaves out.
    WriteSkinBitmap(L"cm_ticker.bmp", 8, 20, [](int x, int y) { return x == 0 && y == 0 ? 0xFF00FFu : Rgb(kTicker); });
    // The marker's pictures cover the whole panel; the marker cuts out its part.
    WriteSkinBitmap(L"cm_back.bmp", 460, 320, [](int, int) { return Rgb(kBarBack); });
    WriteSkinBitmap(L"cm_fill.bmp", 460, 320, [](int, int) { return Rgb(kBarFill); });
    WriteSkinBitmap(L"cm_frame.bmp", 60, 50, [](int, int) { return 0x203040u; });
    WriteLayout(L"ColorMarker.xml", R"(<?xml version="1.0" encoding="utf-8"?>
<GUIPANEL>
  <BACKGROUND>cm_panel.bmp</BACKGROUND><MASK>cm_mask.bmp</MASK>
  <BITMAPLIST>
    <BITMAPITEM name="BITMAP_MECHKBD" moveable="0"><SBMN>cm_track.bmp</SBMN><RECT left="20" top="20" right="220" bottom="30"/></BITMAPITEM>
  </BITMAPLIST>
  <SLIDERLIST>
    <HSLIDERMAPM name="SLIDER_ID_ACCEL" trackid="BITMAP_MECHKBD" tooltip="ranges" dynamic="no">
      <SBMN>cm_ticker.bmp</SBMN><SBMO>cm_ticker.bmp</SBMO><RECT left="10" top="5" right="180" bottom="20"/>
    </HSLIDERMAPM>
    <HSLIDERMAPM name="SLIDER_DPI_MULTI" trackid="NO_SUCH_TRACK"><SBMN>cm_ticker.bmp</SBMN><RECT left="0" top="0" right="50" bottom="20"/></HSLIDERMAPM>
    <DMARKER name="SLIDER_DPI_MULTI_X"><SBMN>cm_back.bmp</SBMN><MARK>cm_fill.bmp</MARK><RECT left="20" top="80" right="200" bottom="20"/></DMARKER>
    <DMARKER name="SLIDER_DPI_MULTI_Y"><SBMN>cm_back.bmp</SBMN><MARK>cm_fill.bmp</MARK><RECT left="20" top="110" right="0" bottom="10"/></DMARKER>
  </SLIDERLIST>
  <DPISTAGELIST>
    <DPISTAGEWINDOW name="DPISTAGEWINDOW_01"><BMPINFO name="DPIFRAME"><BMPDATA>cm_frame.bmp</BMPDATA><RECT left="0" top="0" right="60" bottom="50"/></BMPINFO>
      <TEXTAREA name="HEADING" textkey="one"><RECT left="2" top="2" right="56" bottom="16"/></TEXTAREA><RECT left="260" top="80" right="60" bottom="50"/></DPISTAGEWINDOW>
    <DPISTAGEWINDOW name="NO_SUCH_STAGE"><RECT left="330" top="80" right="60" bottom="50"/></DPISTAGEWINDOW>
    <DPISTAGEWINDOW name="DPISTAGEWINDOW_03"><TEXTAREA name="HEADING" textkey="three"><RECT left="2" top="2" right="56" bottom="16"/></TEXTAREA>
      <RECT left="390" top="80" right="60" bottom="50"/></DPISTAGEWINDOW>
  </DPISTAGELIST>
  <LISTLIST>
    <COMBOCOLOR name="LIST_DROPDOWN_POPUP" fontclr="WHITE" fontclrhi="YELLOW" bdrclr="RED" bdrwidth="2" hasarrow="y" tooltip="colour">
      <CLIST height="60"/><CBOX><RECT left="20" top="150" right="80" bottom="24"/></CBOX>
      <COMBOITEMS><COMBOITEM>Auto</COMBOITEM></COMBOITEMS>
    </COMBOCOLOR>
    <COMBOCOLOR name="LIST_GLOBALMACROLIST"><CBOX><RECT left="120" top="150" right="80" bottom="24"/></CBOX></COMBOCOLOR>
    <COMBOCOLOR name="BUTTON_DROPDOWN_PROFILESELECT"><CLIST/><CBOX><RECT left="220" top="150" right="80" bottom="24"/></CBOX></COMBOCOLOR>
  </LISTLIST>
</GUIPANEL>
)");
}

struct Scene : controltest::LayoutScene
{
    Scene(int x = 40, int y = 40) : LayoutScene(L"ColorMarker.xml", WriteColorSkin, x, y) {}

    CDropdownColorButton* Button() { return Find<CDropdownColorButton>(L"LIST_DROPDOWN_POPUP", ItemKind::DropdownColorButton); }
    std::vector<hvtest::RecordedMsg> Take(UINT message)
    {
        hvtest::FlushMessages();
        std::vector<hvtest::RecordedMsg> found = panel.Of(message);
        return found;
    }
    void Forget()
    {
        hvtest::FlushMessages();
        panel.received.clear();
    }
};

// The palette window of this thread that shows now.
HWND ShownPalette()
{
    return hvtest::FindTopWindow(CFODropColorPaletteWnd::kClassName, nullptr, GetCurrentProcessId(), true);
}

HWND OpenPalette(CDropdownColorButton& button)
{
    EXPECT_TRUE(hvtest::Click(button, {10, 10}));
    HWND palette = nullptr;
    EXPECT_TRUE(hvtest::WaitUntil([&] { return (palette = ShownPalette()) != nullptr && GetFocus() == palette; }))
        << "the palette opens with the focus";
    return palette;
}

CFODropColorPaletteControl& ControlOf(HWND palette)
{
    return *dynamic_cast<CFODropColorPaletteWnd*>(CWnd::FromHandlePermanent(palette))->Control();
}

POINT CellCentre(HWND palette, int cell)
{
    const CRect r = ControlOf(palette).Cell(cell).rect;
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Answers the colour dialog for the test and keeps what was asked.
class ColorAnswerer : public ICommonDialogs
{
public:
    ColorAnswerer() : m_previous(SetCommonDialogs(this)) {}
    ~ColorAnswerer() override { SetCommonDialogs(m_previous); }

    int ShowMessage(HWND, const std::wstring&, const std::wstring&, UINT) override
    {
        ADD_FAILURE() << "no message box is expected";
        return 0;
    }
    bool PickFile(const FileDialogRequest&, std::wstring&) override
    {
        ADD_FAILURE() << "no file dialog is expected";
        return false;
    }
    bool PickColor(const ColorDialogRequest& request, COLORREF& colour) override
    {
        asked.push_back(request);
        if (answer)
            colour = chosen;
        return answer;
    }

    bool answer = true;
    COLORREF chosen = RGB(18, 52, 86);
    std::vector<ColorDialogRequest> asked;

private:
    ICommonDialogs* m_previous;
};

constexpr COLORREF kLastCell = 0x400040;  // row 6, column 8
constexpr COLORREF kWhite = 0xFFFFFF;     // row 1, column 1

} // namespace

TEST(ColorButton, PaletteMouseChoosesAndKeysPreview)
{
    Scene scene;
    ASSERT_TRUE(scene.created);
    CDropdownColorButton* button = scene.Button();
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->HasArrow());
    button->SetColor(kLastCell);

    // The palette drops under the button, showing the button's colour as its current one.
    HWND palette = OpenPalette(*button);
    ASSERT_NE(palette, nullptr);
    EXPECT_TRUE(button->IsPaletteOpen());
    EXPECT_TRUE(button->IsDropped());
    const CRect anchor = button->GetWindowRect();
    CRect placed;
    GetWindowRect(palette, &placed);
    EXPECT_EQ(placed.left, anchor.left);
    EXPECT_EQ(placed.top, anchor.bottom);
    EXPECT_EQ(placed.Width(), 200);
    EXPECT_EQ(placed.Height(), 150);
    EXPECT_EQ(SendMessageW(palette, WM_GETDLGCODE, 0, 0), 0x83);
    EXPECT_EQ(ControlOf(palette).Current(), kLastCell);
    hvtest::FlushMessages();
    const hvtest::Bitmap picture = hvtest::CaptureClient(palette);
    picture.SaveToTestDir(L"colour_palette.bmp");
    const POINT white = CellCentre(palette, 0);
    EXPECT_TRUE(hvtest::ExpectPixelNear(picture, white.x, white.y, kWhite, 8));
    const POINT red = CellCentre(palette, 17);  // row 3, column 2
    EXPECT_TRUE(hvtest::ExpectPixelNear(picture, red.x, red.y, RGB(255, 0, 0), 8));

    // Right on the last cell previews the first: the button shows it, the owner hears of it, and
    // nothing reports a change (the button already shows the colour).
    scene.Forget();
    EXPECT_TRUE(hvtest::PressKey(VK_RIGHT));
    auto selects = scene.Take(WM_COLORPALETTE_SELECT);
    ASSERT_EQ(selects.size(), 1u);
    EXPECT_EQ(selects[0].wParam, 100u);
    EXPECT_EQ(static_cast<COLORREF>(selects[0].lParam), kWhite);
    EXPECT_EQ(button->GetColor(), kWhite);
    EXPECT_TRUE(scene.Take(WM_COLORBUTTON_CHANGED).empty());
    // Down, Left and Up wrap around the grid.
    EXPECT_TRUE(hvtest::PressKey(VK_UP));
    EXPECT_EQ(ControlOf(palette).Current(), CFODropColorPaletteControl::PaletteColor(5, 0));
    EXPECT_TRUE(hvtest::PressKey(VK_DOWN));
    EXPECT_EQ(ControlOf(palette).Current(), kWhite);
    EXPECT_TRUE(hvtest::PressKey(VK_LEFT));
    EXPECT_EQ(ControlOf(palette).Current(), kLastCell);
    EXPECT_TRUE(hvtest::PressKey(VK_LEFT));
    EXPECT_EQ(ControlOf(palette).Current(), CFODropColorPaletteControl::PaletteColor(5, 6));
    EXPECT_EQ(scene.Take(WM_COLORPALETTE_SELECT).size(), 5u) << "every move previews";

    // Return chooses the colour shown: the owner gets the choice, and no change report.
    scene.Forget();
    EXPECT_TRUE(hvtest::PressKey(VK_RETURN));
    EXPECT_TRUE(hvtest::WaitForWindowGone(palette));
    selects = scene.Take(WM_COLORPALETTE_SELECT);
    ASSERT_EQ(selects.size(), 1u);
    EXPECT_EQ(selects[0].wParam, 0u);
    EXPECT_EQ(static_cast<COLORREF>(selects[0].lParam), CFODropColorPaletteControl::PaletteColor(5, 6));
    EXPECT_TRUE(scene.Take(WM_COLORBUTTON_CHANGED).empty());
    EXPECT_FALSE(button->IsPaletteOpen());
    EXPECT_FALSE(button->IsDropped());
    EXPECT_EQ(button->Palette(), nullptr);
    EXPECT_EQ(button->LastChosen(), CFODropColorPaletteControl::PaletteColor(5, 6));

    // The mouse: a press on one cell, a drag to another, the release there chooses it; the drag
    // itself reports nothing.
    WaitPastDoubleClick();
    palette = OpenPalette(*button);
    ASSERT_NE(palette, nullptr);
    scene.Forget();
    EXPECT_TRUE(hvtest::Drag(palette, CellCentre(palette, 9), CellCentre(palette, 20)));
    EXPECT_TRUE(hvtest::WaitForWindowGone(palette));
    const COLORREF chosen = CFODropColorPaletteControl::PaletteColor(2, 4);
    selects = scene.Take(WM_COLORPALETTE_SELECT);
    ASSERT_EQ(selects.size(), 1u);
    EXPECT_EQ(selects[0].wParam, 0u);
    EXPECT_EQ(static_cast<COLORREF>(selects[0].lParam), chosen);
    const auto changes = scene.Take(WM_COLORBUTTON_CHANGED);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(static_cast<COLORREF>(changes[0].wParam), chosen);
    EXPECT_EQ(changes[0].lParam, Id(L"LIST_DROPDOWN_POPUP"));
    EXPECT_EQ(button->GetColor(), chosen);

    // Escape cancels with the colour shown; the owner is told with the item id.
    WaitPastDoubleClick();
    palette = OpenPalette(*button);
    ASSERT_NE(palette, nullptr);
    EXPECT_TRUE(hvtest::PressKey(VK_DOWN));
    scene.Forget();
    EXPECT_TRUE(hvtest::PressKey(VK_ESCAPE));
    EXPECT_TRUE(hvtest::WaitForWindowGone(palette));
    const auto cancels = scene.Take(WM_COLORPALETTE_CANCEL);
    ASSERT_EQ(cancels.size(), 1u);
    EXPECT_EQ(static_cast<COLORREF>(cancels[0].wParam), CFODropColorPaletteControl::PaletteColor(3, 4));
    EXPECT_EQ(cancels[0].lParam, Id(L"LIST_DROPDOWN_POPUP"));
    EXPECT_TRUE(scene.Take(WM_COLORPALETTE_SELECT).empty());

    // A click outside the palette (it loses activation) chooses the colour last previewed.
    WaitPastDoubleClick();
    palette = OpenPalette(*button);
    ASSERT_NE(palette, nullptr);
    EXPECT_TRUE(hvtest::PressKey(VK_RIGHT));
    const COLORREF previewed = ControlOf(palette).Current();
    scene.Forget();
    EXPECT_TRUE(hvtest::Click(scene.panel, {400, 20}));
    EXPECT_TRUE(hvtest::WaitForWindowGone(palette));
    selects = scene.Take(WM_COLORPALETTE_SELECT);
    ASSERT_EQ(selects.size(), 1u) << "one choice, however many deactivations follow";
    EXPECT_EQ(selects[0].wParam, 0u);
    EXPECT_EQ(static_cast<COLORREF>(selects[0].lParam), previewed);
    EXPECT_EQ(button->GetColor(), previewed);
}

TEST(ColorButton, CustomColourThroughTheDialogSeam)
{
    Scene scene;
    ASSERT_TRUE(scene.created);
    CDropdownColorButton* button = scene.Button();
    ASSERT_NE(button, nullptr);
    ColorAnswerer dialogs;
    const COLORREF start = RGB(10, 20, 30);
    button->SetColor(start);

    // Tab presses "$Custom": the dialog opens on the button's colour; its colour is a choice whose
    // flag is 0.
    HWND palette = OpenPalette(*button);
    ASSERT_NE(palette, nullptr);
    EXPECT_FALSE(ControlOf(palette).CustomText().empty());
    scene.Forget();
    EXPECT_TRUE(hvtest::PressKey(VK_TAB));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return !dialogs.asked.empty(); }));
    EXPECT_TRUE(hvtest::WaitForWindowGone(palette));
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].initial, start);
    EXPECT_EQ(dialogs.asked[0].flags & 0x102u, 0x102u) << "opened in full, any colour";
    auto selects = scene.Take(WM_COLORPALETTE_SELECT);
    ASSERT_EQ(selects.size(), 1u);
    EXPECT_EQ(selects[0].wParam, 0u) << "the chosen flag, never the colour";
    EXPECT_EQ(static_cast<COLORREF>(selects[0].lParam), dialogs.chosen);
    ASSERT_EQ(scene.Take(WM_COLORBUTTON_CHANGED).size(), 1u);
    EXPECT_EQ(button->GetColor(), dialogs.chosen);
    EXPECT_FALSE(button->IsPaletteOpen());

    // A preview, then the custom button pressed with the mouse and the dialog cancelled: the colour
    // from before the palette dropped comes back, and the owner hears of a cancel.
    WaitPastDoubleClick();
    palette = OpenPalette(*button);
    ASSERT_NE(palette, nullptr);
    EXPECT_TRUE(hvtest::PressKey(VK_RIGHT));
    EXPECT_NE(button->GetColor(), dialogs.chosen);
    dialogs.answer = false;
    scene.Forget();
    const CRect custom = ControlOf(palette).CustomRect();
    EXPECT_TRUE(hvtest::Click(palette, {custom.left + 10, (custom.top + custom.bottom) / 2}));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return dialogs.asked.size() == 2; }));
    EXPECT_TRUE(hvtest::WaitForWindowGone(palette));
    hvtest::FlushMessages();
    EXPECT_EQ(button->GetColor(), dialogs.chosen);
    const auto cancels = scene.Take(WM_COLORPALETTE_CANCEL);
    ASSERT_EQ(cancels.size(), 1u);
    EXPECT_EQ(static_cast<COLORREF>(cancels[0].wParam), dialogs.chosen);
    EXPECT_EQ(cancels[0].lParam, Id(L"LIST_DROPDOWN_POPUP"));
    EXPECT_TRUE(scene.Take(WM_COLORPALETTE_SELECT).size() == 0) << "the hidden palette chose nothing";
}

TEST(ColorButton, PaletteOpensAboveNearTheScreenBottomAndGoesWithItsButton)
{
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    Scene scene(40, screenHeight - 190);
    ASSERT_TRUE(scene.created);
    CDropdownColorButton* button = scene.Button();
    ASSERT_NE(button, nullptr);
    HWND palette = OpenPalette(*button);
    ASSERT_NE(palette, nullptr);
    const CRect anchor = button->GetWindowRect();
    CRect placed;
    GetWindowRect(palette, &placed);
    EXPECT_EQ(placed.bottom, anchor.top);
    EXPECT_EQ(placed.left, anchor.left);
    // The placement rule itself: right-aligned with the anchor at the right edge.
    const CRect work(0, 0, 1000, 700);
    EXPECT_EQ(CFOPopupColorPaletteWnd::Place(CRect(900, 100, 980, 120), 200, 150, work),
              CRect(780, 120, 980, 270));
    EXPECT_EQ(CFOPopupColorPaletteWnd::Place(CRect(10, 600, 90, 620), 200, 150, work), CRect(10, 450, 210, 600));

    // The page goes while the palette is open: the palette goes with the button.
    scene.panel.DestroyWindow();
    EXPECT_TRUE(hvtest::WaitForWindowGone(palette));
}

TEST(RangeSliderAndMarker, ReportTheirValues)
{
    Scene scene;
    ASSERT_TRUE(scene.created);
    auto* slider = scene.Find<CAPMSlider>(L"SLIDER_ID_ACCEL", ItemKind::APMSlider);
    auto* track = scene.Find<CBitmapItem>(L"BITMAP_MECHKBD", ItemKind::BitmapItem);
    ASSERT_NE(slider, nullptr);
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(slider->owner, track);
    EXPECT_EQ(slider->GetParent(), track->GetSafeHwnd());
    EXPECT_EQ(slider->ToolTipText(), L"ranges");
    EXPECT_EQ(slider->DynamicText(), L"no");
    EXPECT_EQ(slider->TickerCount(), 0u);
    EXPECT_EQ(slider->Colors().size(), 1u);

    // Without tickers: the overlay (the track's picture at 50 of 255) over black, and a click
    // reports nothing.
    hvtest::FlushMessages();
    const hvtest::Bitmap plain = hvtest::CaptureClient(*slider);
    plain.SaveToTestDir(L"range_slider_plain.bmp");
    const COLORREF dim = RGB(GetRValue(kTrack) * 50 / 255, GetGValue(kTrack) * 50 / 255, GetBValue(kTrack) * 50 / 255);
    EXPECT_TRUE(hvtest::ExpectRectNear(plain, CRect(0, 0, plain.Width(), plain.Height()), dim, 4));
    hvtest::MessageRecorder recorder;
    recorder.Watch(*track);
    EXPECT_TRUE(hvtest::Click(*slider, {90, 10}));
    hvtest::FlushMessages();
    EXPECT_FALSE(recorder.Contains(WM_APMSLIDER_TICKERRELEASED));

    // Two tickers spread over the range 1..32 at 11 and 21, each capped by its neighbours.
    const int32_t first = Id(L"SLIDER_DPI_MULTI_X_STAGE1");
    const int32_t second = Id(L"SLIDER_DPI_MULTI_Y_STAGE1");
    ASSERT_NE(slider->AddTicker(first), nullptr);
    ASSERT_NE(slider->AddTicker(second), nullptr);
    slider->SetDefaultStages();
    slider->SetTickerCapRanges();
    slider->InitGreyLevels();
    EXPECT_EQ(slider->TickerValue(0), 11);
    EXPECT_EQ(slider->TickerValue(1), 21);
    EXPECT_EQ(slider->Ticker(0)->CapMin(), 1);
    EXPECT_EQ(slider->Ticker(0)->CapMax(), 21);
    EXPECT_EQ(slider->Ticker(1)->CapMin(), 11);
    EXPECT_EQ(slider->Ticker(1)->CapMax(), 31) << "clamped into the positions";
    ASSERT_EQ(slider->Colors().size(), 3u);
    EXPECT_EQ(slider->Colors()[0], RGB(0, 0, 0));
    EXPECT_EQ(slider->Colors()[1], RGB(24, 24, 24)) << "3 x 255 / 31 grey steps";
    slider->SetCapMode(1);
    slider->RemoveTickerCapRanges();
    EXPECT_EQ(slider->Ticker(0)->CapMax(), 31);

    // Each range in its colour under the overlay.
    slider->SetColor(0, RGB(255, 0, 0));
    slider->SetColor(1, RGB(0, 255, 0));
    slider->SetColor(2, RGB(0, 0, 255));
    hvtest::FlushMessages();
    const hvtest::Bitmap ranges = hvtest::CaptureClient(*slider);
    ranges.SaveToTestDir(L"range_slider_ranges.bmp");
    auto dominant = [&](int x, int channel) {
        const COLORREF c = ranges.At(x, 10);
        const int v[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
        return v[channel] > 150 && v[(channel + 1) % 3] < 80 && v[(channel + 2) % 3] < 80;
    };
    EXPECT_TRUE(dominant(20, 0)) << hvtest::ColorText(ranges.At(20, 10));
    EXPECT_TRUE(dominant(90, 1)) << hvtest::ColorText(ranges.At(90, 10));
    EXPECT_TRUE(dominant(170, 2)) << hvtest::ColorText(ranges.At(170, 10));
    const CRect ticker = slider->Ticker(0)->GetWindowRect();
    CPoint tickerCentre = ticker.CenterPoint();
    ScreenToClient(*slider, &tickerCentre);
    EXPECT_TRUE(hvtest::ExpectPixelNear(ranges, tickerCentre.x, tickerCentre.y, kTicker, 8)) << "the ticker shows";

    // A click reports its range: left of the first ticker 0, between them 1, right of them 2, to
    // the owner and again to the notify window (here both the track).
    recorder.Clear();
    for (int x : {20, 90, 170}) {
        EXPECT_TRUE(hvtest::Click(*slider, {x, 10}));
        WaitPastDoubleClick();
    }
    hvtest::FlushMessages();
    std::vector<WPARAM> released;
    for (const hvtest::RecordedMsg& m : recorder.Messages()) {
        if (m.message == WM_APMSLIDER_TICKERRELEASED) {
            released.push_back(m.wParam);
            EXPECT_EQ(m.lParam, Id(L"SLIDER_ID_ACCEL"));
            EXPECT_TRUE(m.flags & hvtest::Posted);
        }
    }
    EXPECT_EQ(released, (std::vector<WPARAM>{0, 0, 1, 1, 2, 2}));
    // A ticker that moves is reported as moving, whether released or dragged.
    recorder.Clear();
    PostMessageW(*slider, WM_SLIDER_POSCHANGED, 11, first);
    hvtest::FlushMessages();
    int moving = 0;
    for (const hvtest::RecordedMsg& m : recorder.Messages())
        moving += m.message == WM_SLIDER_POSCHANGING && m.wParam == 11 && m.lParam == first;
    EXPECT_EQ(moving, 2);

    // The bar marker: released left of its bar it reports 0, at its middle 5, right of it 10.
    auto* marker = scene.Find<CDMarker>(L"SLIDER_DPI_MULTI_X", ItemKind::DMarker);
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->Rect(), CRect(20, 80, 220, 100));
    scene.Forget();
    const CRect bar = marker->GetWindowRect();
    const int y = (bar.top + bar.bottom) / 2;
    for (int x : {bar.left - 15, bar.left + 100, bar.right + 15}) {
        ASSERT_TRUE(hvtest::MouseDown(*marker, {100, 10}));
        ASSERT_TRUE(hvtest::WaitUntil([&] { return marker->IsDragging() && GetCapture() == *marker; }));
        EXPECT_TRUE(hvtest::MoveCursorTo({x, y}));
        EXPECT_TRUE(hvtest::MouseUp());
        ASSERT_TRUE(hvtest::WaitUntil([&] { return !marker->IsDragging(); }));
        WaitPastDoubleClick();
    }
    const auto values = scene.Take(WM_DMARKER_RELEASED);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].wParam, 0u);
    EXPECT_EQ(values[1].wParam, 5u);
    EXPECT_EQ(values[2].wParam, 10u);
    for (const hvtest::RecordedMsg& r : values)
        EXPECT_EQ(r.lParam, Id(L"SLIDER_DPI_MULTI_X"));
    // At 10 the bar is filled whole; at 5 half of it.
    hvtest::FlushMessages();
    hvtest::Bitmap full = hvtest::CaptureClient(*marker);
    EXPECT_TRUE(hvtest::ExpectRectNear(full, CRect(0, 0, 200, 20), kBarFill, 4));
    ASSERT_TRUE(hvtest::MouseDown(*marker, {100, 10}));
    EXPECT_TRUE(hvtest::MouseUp());
    ASSERT_TRUE(hvtest::WaitUntil([&] { return marker->Value() == 5 && !marker->IsDragging(); }));
    hvtest::FlushMessages();
    const hvtest::Bitmap half = hvtest::CaptureClient(*marker);
    half.SaveToTestDir(L"bar_marker_half.bmp");
    EXPECT_TRUE(hvtest::ExpectRectNear(half, CRect(0, 0, 100, 20), kBarFill, 4));
    EXPECT_TRUE(hvtest::ExpectRectNear(half, CRect(100, 0, 200, 20), kBarBack, 4));

    // A bar of no width reports its minimum and draws no fill.
    auto* flat = scene.Find<CDMarker>(L"SLIDER_DPI_MULTI_Y", ItemKind::DMarker);
    ASSERT_NE(flat, nullptr);
    EXPECT_EQ(flat->ValueAt({50, 5}), 0);
    scene.Forget();
    SendMessageW(*flat, WM_LBUTTONUP, 0, MAKELPARAM(50, 5));
    const auto flatValues = scene.Take(WM_DMARKER_RELEASED);
    ASSERT_EQ(flatValues.size(), 1u);
    EXPECT_EQ(flatValues[0].wParam, 0u);
    EXPECT_EQ(flat->FillWidth(), 0);
}

TEST(ColorMarkerLayout, SectionsBuildTheirItemsAndSkipFaultyOnes)
{
    Scene scene;
    ASSERT_TRUE(scene.created);
    const CGUIItems& items = scene.panel.Items();
    // HSLIDERMAPM without its track and COMBOCOLOR without CLIST are skipped.
    EXPECT_EQ(items.FindById(Id(L"SLIDER_DPI_MULTI")), nullptr);
    EXPECT_EQ(items.FindById(Id(L"LIST_GLOBALMACROLIST")), nullptr);
    // A colour button draws its arrow only when asked to; the frame takes the layout's colours.
    auto* plain = scene.Find<CDropdownColorButton>(L"BUTTON_DROPDOWN_PROFILESELECT", ItemKind::DropdownColorButton);
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->HasArrow());
    CDropdownColorButton* button = scene.Button();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->Entries().size(), 1u);
    EXPECT_EQ(button->ToolTip().Text(), L"colour");
    button->SetColor(RGB(0, 0, 255));
    hvtest::FlushMessages();
    const hvtest::Bitmap look = hvtest::CaptureClient(*button);
    look.SaveToTestDir(L"colour_button.bmp");
    EXPECT_TRUE(hvtest::ExpectPixelNear(look, 0, 12, kRed, 0)) << "the frame in the border colour";
    EXPECT_TRUE(hvtest::ExpectPixelNear(look, 20, 12, RGB(0, 0, 255), 0)) << "the swatch";
    const int arrowX = look.Width() - CDropdownColorButton::kArrowWidth / 2;
    EXPECT_TRUE(hvtest::ExpectPixelNear(look, arrowX, look.Height() / 2, RGB(255, 255, 255), 0)) << "the arrow";
    // Lit while the pointer is over it.
    ASSERT_TRUE(hvtest::PrepareTarget(*button, {30, 12}));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return button->IsHot(); }));
    hvtest::FlushMessages();
    const hvtest::Bitmap hot = hvtest::CaptureClient(*button);
    EXPECT_TRUE(hvtest::ExpectPixelNear(hot, 0, 12, kYellow, 0)) << "the frame in the highlight colour";
    EXPECT_TRUE(hvtest::MoveCursorTo({0, 0}));

    // The DPI stage windows are numbered in document order, faulty ones included: the third shows
    // stage 3.
    auto* one = scene.Find<CDPIStageWindow>(L"DPISTAGEWINDOW_01", ItemKind::DPIStageWindow);
    auto* three = scene.Find<CDPIStageWindow>(L"DPISTAGEWINDOW_03", ItemKind::DPIStageWindow);
    ASSERT_NE(one, nullptr);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(one->StageIndex(), 1);
    EXPECT_EQ(three->StageIndex(), 3);
    EXPECT_EQ(three->Heading(), L"three");
    EXPECT_FALSE(three->IsEnabled()) << "a window outside a pop-up paints nothing until enabled";
    // Picked, it tells its parent its stage and item id once, then counts as selected.
    one->SetEnabled(true);
    scene.Forget();
    EXPECT_TRUE(hvtest::Click(*one));
    EXPECT_TRUE(hvtest::Click(*three));  // disabled: nothing
    auto picks = scene.Take(WM_DPISTAGE_CLICKED);
    ASSERT_EQ(picks.size(), 1u);
    EXPECT_EQ(picks[0].wParam, 1u);
    EXPECT_EQ(picks[0].lParam, Id(L"DPISTAGEWINDOW_01"));
    EXPECT_TRUE(one->IsSelected());
    WaitPastDoubleClick();
    EXPECT_TRUE(hvtest::Click(*one));
    EXPECT_TRUE(scene.Take(WM_DPISTAGE_CLICKED).size() == 1u) << "the selected stage reports nothing more";
}
