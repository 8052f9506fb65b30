// The on-screen display: the DPI display decision, and the two display windows on the test display:
// placed at the bottom right of the primary monitor, shown without activation, hiding themselves
// 2000 ms after the last show, and painting frames, steps and values in the display colours. The
// pictures land in the test's folder.
#include "SysTray/OnScreenDisplay.h"

#include "HvTest.h"
#include "platform/Thread.h"
#include "platform/WStr.h"

#include <objbase.h>

#include <gtest/gtest.h>

namespace {

struct Expected
{
    int textHeight;  // H
    int digitHeight; // T
    int labelHeight;
    CRect monitor;
};

Expected Geometry()
{
    HDC screen = ::GetDC(nullptr);
    const float scale = static_cast<float>(::GetDeviceCaps(screen, LOGPIXELSX)) / 72.0f;
    ::ReleaseDC(nullptr, screen);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return {static_cast<int>(scale * 20), static_cast<int>(scale * 10), static_cast<int>(scale * 20),
            CRect(info.rcMonitor)};
}

CRect WindowRect(HWND hwnd)
{
    CRect r;
    ::GetWindowRect(hwnd, &r);
    return r;
}

void PumpFor(DWORD ms)
{
    const ULONGLONG end = ::GetTickCount64() + ms;
    hvtest::WaitUntil([&] { return ::GetTickCount64() >= end; }, ms + 1000);
}

// The bottom of step k (0 = the lowest) of a column, in client coordinates.
int StepBottom(const Expected& g, int k)
{
    return 6 + g.digitHeight + 20 * kOsdStepPixels - kOsdStepPixels * k;
}

// How many steps of a column are lit, checked step by step at the column's left, clear of the
// labels: lit steps in the bar colour, unlit ones black, and the gap above each lit one black.
int LitSteps(const hvtest::Bitmap& picture, const Expected& g, int columnLeft)
{
    int lit = 0;
    const int x = columnLeft + 8;
    for (int k = 0; k < kOsdBarMaximum; ++k) {
        const int bottom = StepBottom(g, k);
        const COLORREF centre = picture.At(x, bottom - 5);
        if (centre == kOsdColour) {
            ++lit;
            EXPECT_EQ(kOsdBarBackground, picture.At(x, bottom - 11)) << "gap above step " << k;
            EXPECT_EQ(kOsdColour, picture.At(columnLeft + 6, bottom - 1)) << "step " << k;
            EXPECT_EQ(kOsdColour, picture.At(columnLeft + 50, bottom - 10)) << "step " << k;
            EXPECT_EQ(kOsdBarBackground, picture.At(columnLeft + 51, bottom - 5)) << "step " << k;
            EXPECT_EQ(kOsdBarBackground, picture.At(columnLeft + 5, bottom - 5)) << "step " << k;
        } else {
            EXPECT_EQ(kOsdBarBackground, centre) << "step " << k;
        }
    }
    return lit;
}

// A column: a frame of 2 pixels in the bar colour around black.
void ExpectFramedColumn(const hvtest::Bitmap& picture, int left, int height)
{
    hvtest::ExpectRectNear(picture, CRect(left, 0, left + kOsdColumnWidth, 2), kOsdColour);
    hvtest::ExpectRectNear(picture, CRect(left, height - 2, left + kOsdColumnWidth, height), kOsdColour);
    hvtest::ExpectRectNear(picture, CRect(left, 0, left + 2, height), kOsdColour);
    hvtest::ExpectRectNear(picture, CRect(left + kOsdColumnWidth - 2, 0, left + kOsdColumnWidth, height), kOsdColour);
    hvtest::ExpectPixelNear(picture, left + 3, height / 2, kOsdBarBackground);
}

bool ActivationSeen(const hvtest::MessageRecorder& recorder)
{
    for (UINT message : {WM_ACTIVATE, WM_NCACTIVATE, WM_SETFOCUS, WM_MOUSEACTIVATE, WM_ACTIVATEAPP})
        if (recorder.Contains(message))
            return true;
    return false;
}

class TrayOsd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, m_osd.CreateOsdWindows());
        m_owner.Reset(hvtest::CreateTestWindow(200, 100, 50, 50, L"tray osd owner"));
        ::SetForegroundWindow(m_owner);
        hvtest::FlushMessages();
    }

    COnScreenDisplay m_osd;
    hvtest::ScopedWindow m_owner;
    const Expected m_g = Geometry();
};

} // namespace

TEST(TrayOsdDecision, OneBarTwoBarsOrNothing)
{
    // Equal values: one bar of value x 20 / maximum.
    DpiOsdDecision d = DecideDpiOsd(1800, 1800, true, 5600);
    EXPECT_EQ(1, d.bars);
    EXPECT_EQ(6, d.xPosition);
    EXPECT_EQ(L"1800", d.xText);
    // Different values: X and Y.
    d = DecideDpiOsd(800, 1600, true, 5600);
    EXPECT_EQ(2, d.bars);
    EXPECT_EQ(2, d.xPosition);
    EXPECT_EQ(L"800", d.xText);
    EXPECT_EQ(5, d.yPosition);
    EXPECT_EQ(L"1600", d.yText);
    // Five digits in either value: nothing.
    EXPECT_EQ(0, DecideDpiOsd(10000, 10000, true, 20000).bars);
    EXPECT_EQ(0, DecideDpiOsd(800, 10000, true, 20000).bars);
    EXPECT_EQ(0, DecideDpiOsd(10000, 800, true, 20000).bars);
    EXPECT_EQ(0, DecideDpiOsd(-1000, -1000, true, 5600).bars);
    // No usable maximum: nothing.
    EXPECT_EQ(0, DecideDpiOsd(800, 800, true, 0).bars);
    EXPECT_EQ(0, DecideDpiOsd(800, 800, true, -5600).bars);
    EXPECT_EQ(0, DecideDpiOsd(800, 800, false, 5600).bars);
    // Positions stay within 0..20, computed without overflow.
    d = DecideDpiOsd(9999, 9999, true, 100);
    EXPECT_EQ(1, d.bars);
    EXPECT_EQ(20, d.xPosition);
    d = DecideDpiOsd(9999, -999, true, 1);
    EXPECT_EQ(2, d.bars);
    EXPECT_EQ(20, d.xPosition);
    EXPECT_EQ(0, d.yPosition);
    EXPECT_EQ(L"-999", d.yText);
    d = DecideDpiOsd(5600, 5600, true, 5600);
    EXPECT_EQ(20, d.xPosition);
}

TEST_F(TrayOsd, WindowsAreMadeHiddenLayeredAndNeverActivated)
{
    const DWORD exStyles = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    const struct
    {
        HWND hwnd;
        const wchar_t* name;
    } windows[] = {{m_osd.TextWindow(), L"csl_osd"}, {m_osd.SliderWindow(), L"csl_osdslider"}};
    for (const auto& w : windows) {
        ASSERT_TRUE(::IsWindow(w.hwnd));
        EXPECT_EQ(w.name, hvtest::ClassNameOf(w.hwnd));
        EXPECT_EQ(w.name, hvtest::TextOf(w.hwnd));
        EXPECT_EQ(exStyles, static_cast<DWORD>(::GetWindowLongW(w.hwnd, GWL_EXSTYLE)) & exStyles);
        EXPECT_TRUE(::GetWindowLongW(w.hwnd, GWL_STYLE) & WS_POPUP);
        EXPECT_FALSE(::IsWindowVisible(w.hwnd));
        EXPECT_EQ(nullptr, ::GetParent(w.hwnd));
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        ASSERT_TRUE(::GetLayeredWindowAttributes(w.hwnd, &key, &alpha, &flags));
        EXPECT_EQ(kOsdKeyColour, key);
        EXPECT_EQ(200, alpha);
        EXPECT_EQ(static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA), flags);
    }

    // The text display: across the monitor less 10 pixels, its bottom 50 pixels above the monitor's.
    hvtest::MessageRecorder recorder;
    recorder.Watch(m_osd.TextWindow());
    recorder.Watch(m_osd.SliderWindow());
    m_osd.ShowProfileOsd(L"Profile 3");
    EXPECT_FALSE(::IsWindowVisible(m_osd.TextWindow())); // shown when the thread pumps
    hvtest::FlushMessages();
    ASSERT_TRUE(::IsWindowVisible(m_osd.TextWindow()));
    const CRect& mon = m_g.monitor;
    EXPECT_EQ(CRect(mon.left, mon.bottom - m_g.textHeight - 50, mon.right - 10, mon.bottom - 50),
              WindowRect(m_osd.TextWindow()));
    hvtest::Bitmap text = hvtest::CaptureClient(m_osd.TextWindow());
    ASSERT_FALSE(text.Empty());
    EXPECT_TRUE(text.SaveToTestDir(L"osd_profile.bmp"));
    EXPECT_EQ(kOsdKeyColour, text.At(0, 0));
    // Right-aligned: the text's pixels end near the window's right edge.
    const int width = text.Width();
    EXPECT_GT(hvtest::CountPixelsNear(text, CRect(width - 200, 0, width, text.Height()), kOsdColour), 30);
    EXPECT_EQ(0, hvtest::CountPixelsNear(text, CRect(0, 0, width - 200, text.Height()), kOsdColour));
    EXPECT_GT(hvtest::CountPixelsNear(text, CRect(width - 8, 0, width, text.Height()), kOsdColour), 0);

    // The slider display: 119 pixels wide, 10 from the right edge, above one label height and 60 pixels.
    m_osd.ShowDpiOsd(25, L"5600");
    hvtest::FlushMessages();
    ASSERT_TRUE(::IsWindowVisible(m_osd.SliderWindow()));
    const int height = m_g.digitHeight + 20 * kOsdStepPixels + kOsdStepPixels;
    const int top = mon.bottom - m_g.labelHeight - height - 60;
    EXPECT_EQ(CRect(mon.right - 129, top, mon.right - 10, top + height), WindowRect(m_osd.SliderWindow()));

    EXPECT_FALSE(ActivationSeen(recorder)) << wstr::WideToUtf8(recorder.Dump());
    EXPECT_EQ(m_owner.Get(), ::GetForegroundWindow());
    EXPECT_EQ(m_owner.Get(), ::GetActiveWindow());
}

TEST_F(TrayOsd, BarsShowTheirStepsFramesValuesAndLabels)
{
    const int height = m_g.digitHeight + 20 * kOsdStepPixels + kOsdStepPixels;
    const int right = kOsdColumnWidth + 5;

    // One bar, in the right column: a position above the maximum shows every step.
    m_osd.ShowDpiOsd(25, L"5600");
    hvtest::FlushMessages();
    EXPECT_EQ(1, m_osd.Content().sliderMode);
    EXPECT_EQ(kOsdBarMaximum, m_osd.Content().slots[0].position);
    hvtest::Bitmap one = hvtest::CaptureClient(m_osd.SliderWindow());
    ASSERT_EQ(kOsdSliderWidth, one.Width());
    ASSERT_EQ(height, one.Height());
    EXPECT_TRUE(one.SaveToTestDir(L"osd_one_bar.bmp"));
    ExpectFramedColumn(one, right, height);
    EXPECT_EQ(20, LitSteps(one, m_g, right));
    // The value above the steps, in the bar colour; the left column and the gap show the key colour.
    EXPECT_GT(hvtest::CountPixelsNear(one, CRect(right + 6, 6, right + 51, 6 + m_g.digitHeight), kOsdColour), 10);
    hvtest::ExpectRectNear(one, CRect(0, 0, right, height), kOsdKeyColour);
    EXPECT_EQ(0, hvtest::CountPixelsNear(one, CRect(0, 0, kOsdSliderWidth, height), kOsdLabelColour));

    // Two bars: X on the left, Y on the right, each labelled at the bottom.
    m_osd.ShowDpiXYOsd(2, L"800", 5, L"1600");
    hvtest::FlushMessages();
    EXPECT_EQ(2, m_osd.Content().sliderMode);
    hvtest::Bitmap two = hvtest::CaptureClient(m_osd.SliderWindow());
    ASSERT_EQ(height, two.Height());
    EXPECT_TRUE(two.SaveToTestDir(L"osd_two_bars.bmp"));
    ExpectFramedColumn(two, 0, height);
    ExpectFramedColumn(two, right, height);
    EXPECT_EQ(2, LitSteps(two, m_g, 0));
    EXPECT_EQ(5, LitSteps(two, m_g, right));
    hvtest::ExpectRectNear(two, CRect(kOsdColumnWidth, 0, right, height), kOsdKeyColour);
    const int labelTop = height - m_g.labelHeight - 4;
    EXPECT_GT(hvtest::CountPixelsNear(two, CRect(0, labelTop, kOsdColumnWidth, height), kOsdLabelColour), 10);
    EXPECT_GT(hvtest::CountPixelsNear(two, CRect(right, labelTop, kOsdSliderWidth, height), kOsdLabelColour), 10);
    EXPECT_GT(hvtest::CountPixelsNear(two, CRect(6, 6, 51, 6 + m_g.digitHeight), kOsdColour), 5);

    // Values of more than 4 characters are not shown: what is shown stays.
    m_osd.ShowDpiXYOsd(3, L"10000", 3, L"800");
    m_osd.ShowDpiXYOsd(3, L"800", 3, L"10000");
    m_osd.ShowDpiOsd(3, L"10000");
    EXPECT_EQ(2, m_osd.Content().sliderMode);
    EXPECT_EQ(L"1600", m_osd.Content().slots[0].text);
    EXPECT_EQ(L"800", m_osd.Content().slots[1].text);
    // Through the decision: equal values make one bar.
    m_osd.ShowDpi(DecideDpiOsd(1800, 1800, true, 5600));
    hvtest::FlushMessages();
    EXPECT_EQ(6, LitSteps(hvtest::CaptureClient(m_osd.SliderWindow()), m_g, right));
}

TEST_F(TrayOsd, DisplaysHide2000MillisecondsAfterTheirLastShow)
{
    // A second show within the 2 seconds restarts them.
    m_osd.ShowDpiOsd(10, L"2800");
    hvtest::FlushMessages();
    ASSERT_TRUE(::IsWindowVisible(m_osd.SliderWindow()));
    PumpFor(1200);
    EXPECT_TRUE(::IsWindowVisible(m_osd.SliderWindow()));
    m_osd.ShowDpiXYOsd(2, L"800", 5, L"1600");
    const ULONGLONG second = ::GetTickCount64();
    PumpFor(1500); // 2700 ms after the first show
    EXPECT_TRUE(::IsWindowVisible(m_osd.SliderWindow()));
    EXPECT_EQ(2, m_osd.Content().sliderMode);
    ASSERT_TRUE(hvtest::WaitUntil([&] { return !::IsWindowVisible(m_osd.SliderWindow()); }, 3000));
    const ULONGLONG shown = ::GetTickCount64() - second;
    EXPECT_GE(shown, 1900u);
    EXPECT_LE(shown, 3000u);
    EXPECT_EQ(0, m_osd.Content().sliderMode);

    // The text display: a name longer than the buffer keeps its first 254 characters.
    const std::wstring name = std::wstring(300, L'P');
    m_osd.ShowProfileOsd(name);
    EXPECT_EQ(name.substr(0, 254), m_osd.Content().profileText);
    const ULONGLONG first = ::GetTickCount64();
    hvtest::FlushMessages();
    ASSERT_TRUE(::IsWindowVisible(m_osd.TextWindow()));
    ASSERT_TRUE(hvtest::WaitUntil([&] { return !::IsWindowVisible(m_osd.TextWindow()); }, 3500));
    EXPECT_GE(::GetTickCount64() - first, 1900u);
    EXPECT_TRUE(m_osd.Content().profileText.empty());
}

TEST(TrayOsdApartment, NoWindowsOnAThreadOfAnotherApartment)
{
    CThread thread;
    HRESULT result = S_OK;
    bool windows = true;
    ASSERT_TRUE(thread.Start([&]() -> unsigned {
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        {
            COnScreenDisplay osd;
            result = osd.CreateOsdWindows();
            windows = osd.TextWindow() || osd.SliderWindow();
        }
        ::CoUninitialize();
        return 0;
    }));
    ASSERT_TRUE(thread.Join(10000));
    EXPECT_EQ(E_FAIL, result);
    EXPECT_FALSE(windows);
}
