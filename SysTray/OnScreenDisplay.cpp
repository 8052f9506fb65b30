#include "SysTray/OnScreenDisplay.h"

#include "platform/Dc.h"
#include "platform/WStr.h"

#include <objbase.h>

#include <algorithm>
#include <cstdint>

namespace {

constexpr wchar_t kTextClass[] = L"csl_osd";
constexpr wchar_t kSliderClass[] = L"csl_osdslider";
constexpr DWORD kOsdExStyle = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
constexpr BYTE kOsdAlpha = 200;
constexpr int kOsdMargin = 10;      // from the monitor's right edge
constexpr int kTextLift = 50;       // the text's bottom above the monitor's bottom
constexpr int kSliderLift = 60;     // and the slider's, besides one label height
constexpr int kColumnGap = 5;
constexpr int kFrame = 2;
constexpr int kBarInset = 6;        // the segments' left and top inside the column
constexpr int kSegmentWidth = 45;   // left + 6 to left + 51
constexpr int kSegmentHeight = 10;

// The primary monitor's full rectangle (the monitor of the point 0,0).
CRect PrimaryMonitorRect()
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info))
        return CRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    return CRect(info.rcMonitor);
}

float ScreenScale()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return static_cast<float>(dpi) / 72.0f;
}

int ScaledPixels(float scale, int points)
{
    return static_cast<int>(scale * static_cast<float>(points));
}

int LimitPosition(long long position, int maximum)
{
    return static_cast<int>(std::clamp<long long>(position, 0, maximum));
}

} // namespace

// ---- the DPI display decision ----

DpiOsdDecision DecideDpiOsd(int x, int y, bool rangeRead, int maximum)
{
    DpiOsdDecision decision;
    if (!rangeRead || maximum <= 0)
        return decision;
    const std::wstring xText = wstr::Format(L"%d", x);
    const std::wstring yText = wstr::Format(L"%d", y);
    if (xText.size() > kOsdDpiTextChars || (x != y && yText.size() > kOsdDpiTextChars))
        return decision;
    // In 64 bits: value x 20 overflows an int for values the device may report.
    decision.xPosition = LimitPosition(static_cast<long long>(x) * kOsdBarMaximum / maximum, kOsdBarMaximum);
    decision.xText = xText;
    decision.bars = 1;
    if (x != y) {
        decision.yPosition = LimitPosition(static_cast<long long>(y) * kOsdBarMaximum / maximum, kOsdBarMaximum);
        decision.yText = yText;
        decision.bars = 2;
    }
    return decision;
}

// ---- the windows ----

// What both display windows share: layered on the key colour, shown without activation by
// WM_OSD_SHOW, hidden by their timer, placed again when the display changes.
class COsdWnd : public CWnd
{
protected:
    explicit COsdWnd(COsdContent& content) : m_content(content) {}

    int OnCreate(CREATESTRUCTW*)
    {
        ::SetLayeredWindowAttributes(m_hWnd, kOsdKeyColour, kOsdAlpha, LWA_COLORKEY | LWA_ALPHA);
        m_background.CreateSolidBrush(kOsdKeyColour);
        if (!CreateFonts())
            return -1;
        Place();
        return 0;
    }
    BOOL OnEraseBkgnd(HDC) { return TRUE; }
    void OnTimer(UINT_PTR id)
    {
        if (id != TIMER_OSD_HIDE)
            return;
        Clear();
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ShowWindow(SW_HIDE);
        KillTimer(TIMER_OSD_HIDE);
    }
    // A show within the 2 seconds shows what is new and starts the 2 seconds again.
    LRESULT OnOsdShow(WPARAM, LPARAM)
    {
        ShowWindow(SW_SHOWNOACTIVATE);
        Invalidate(FALSE);
        SetTimer(TIMER_OSD_HIDE, kOsdHideMs);
        return 0;
    }
    LRESULT OnDisplayChange(WPARAM, LPARAM)
    {
        Place();
        return 0;
    }
    void OnDestroy() { DeleteGdiObjects(); }

    void Place() { MoveWindow(PlacedRect(), FALSE); }
    void FillBackground(CDC& dc) { dc.FillRect(GetClientRect(), m_background); }

    virtual bool CreateFonts() = 0;
    virtual CRect PlacedRect() const = 0;
    virtual void Clear() = 0;
    virtual void DeleteGdiObjects() { m_background.DeleteObject(); }

    COsdContent& m_content;
    CBrush m_background;

    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(COsdWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_OSD_SHOW, OnOsdShow)
    ON_MESSAGE(WM_DISPLAYCHANGE, OnDisplayChange)
END_MSG_MAP()

class COsdTextWnd : public COsdWnd
{
public:
    explicit COsdTextWnd(COsdContent& content) : COsdWnd(content) {}

    // Across the monitor less 10 pixels, one text line high, its bottom 50 pixels above the
    // monitor's bottom: the text, drawn right-aligned, ends 10 pixels from the right edge.
    CRect GetTextOsdRect() const
    {
        const CRect monitor = PrimaryMonitorRect();
        const int height = m_textHeight;
        const int top = monitor.bottom - height - kTextLift;
        return CRect(monitor.left, top, monitor.left + monitor.Width() - kOsdMargin, top + height);
    }

protected:
    bool CreateFonts() override
    {
        m_textHeight = ScaledPixels(m_content.scale, 20);
        return m_font.CreateFont(L"Arial", -m_textHeight, FW_BOLD, CLEARTYPE_QUALITY);
    }
    CRect PlacedRect() const override { return GetTextOsdRect(); }
    void Clear() override { m_content.profileText.clear(); }
    void DeleteGdiObjects() override
    {
        m_font.DeleteObject();
        COsdWnd::DeleteGdiObjects();
    }

    void OnPaint()
    {
        CPaintDC dc(m_hWnd);
        FillBackground(dc);
        if (m_content.profileText.empty())
            return;
        CRect client = GetClientRect();
        dc.SelectObject(static_cast<HFONT>(m_font));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(kOsdColour);
        dc.DrawText(m_content.profileText, &client, DT_SINGLELINE | DT_BOTTOM | DT_RIGHT | DT_NOPREFIX);
    }

private:
    CFont m_font;
    int m_textHeight = 0;

    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(COsdTextWnd, COsdWnd)
    ON_WM_PAINT()
END_MSG_MAP()

class COsdSliderWnd : public COsdWnd
{
public:
    explicit COsdSliderWnd(COsdContent& content) : COsdWnd(content) {}

    // 119 pixels wide, 10 from the monitor's right edge, its bottom one label height and 60 pixels
    // above the monitor's bottom.
    CRect GetSliderOsdRect() const
    {
        const CRect monitor = PrimaryMonitorRect();
        const int height = SliderHeight();
        const int left = monitor.right - kOsdSliderWidth - kOsdMargin;
        const int top = monitor.bottom - ScaledPixels(m_content.scale, 20) - height - kSliderLift;
        return CRect(left, top, left + kOsdSliderWidth, top + height);
    }

protected:
    bool CreateFonts() override
    {
        m_digitHeight = ScaledPixels(m_content.scale, 10);
        return m_digitFont.CreateFont(L"Courier New", -m_digitHeight, FW_BOLD, CLEARTYPE_QUALITY) &&
               m_labelFont.CreateFont(L"Tahoma", -ScaledPixels(m_content.scale, 20), FW_BOLD, CLEARTYPE_QUALITY) &&
               m_barBrush.CreateSolidBrush(kOsdColour) && m_blackBrush.CreateSolidBrush(kOsdBarBackground);
    }
    CRect PlacedRect() const override { return GetSliderOsdRect(); }
    void Clear() override { m_content.sliderMode = 0; }
    void DeleteGdiObjects() override
    {
        m_digitFont.DeleteObject();
        m_labelFont.DeleteObject();
        m_barBrush.DeleteObject();
        m_blackBrush.DeleteObject();
        COsdWnd::DeleteGdiObjects();
    }

    void OnPaint()
    {
        CPaintDC dc(m_hWnd);
        FillBackground(dc);
        const CRect left(0, 0, kOsdColumnWidth, SliderHeight());
        const CRect right(kOsdColumnWidth + kColumnGap, 0, kOsdSliderWidth, SliderHeight());
        if (m_content.sliderMode == 1) {
            DrawOsdBar(dc, m_content.slots[0], right);
        } else if (m_content.sliderMode == 2) {
            DrawOsdBar(dc, m_content.slots[0], right);
            DrawOsdBar(dc, m_content.slots[1], left);
            dc.SelectObject(static_cast<HFONT>(m_labelFont));
            dc.SetBkMode(TRANSPARENT);
            dc.SetTextColor(kOsdLabelColour);
            CRect label = left;
            dc.DrawText(L"X", &label, DT_SINGLELINE | DT_BOTTOM | DT_CENTER);
            label = right;
            dc.DrawText(L"Y", &label, DT_SINGLELINE | DT_BOTTOM | DT_CENTER);
        }
    }

    // A framed black column with the slot's steps stacked from the bottom and its value on top.
    void DrawOsdBar(CDC& dc, const COsdContent::Slot& slot, const CRect& column)
    {
        dc.FillRect(column, m_barBrush);
        CRect inside = column;
        inside.DeflateRect(kFrame, kFrame);
        dc.FillRect(inside, m_blackBrush);
        const int top = column.top + kBarInset;
        const int barsBottom = top + m_digitHeight + m_content.barMaximum * kOsdStepPixels;
        const int steps = std::clamp(slot.position, 0, m_content.barMaximum);
        for (int k = 0; k < steps; ++k) {
            const int bottom = barsBottom - kOsdStepPixels * k;
            const int x = column.left + kBarInset;
            dc.FillRect(CRect(x, bottom - kSegmentHeight, x + kSegmentWidth, bottom), m_barBrush);
        }
        if (slot.text.empty())
            return;
        CRect text(column.left + kBarInset, top, column.left + kBarInset + kSegmentWidth, barsBottom);
        dc.SelectObject(static_cast<HFONT>(m_digitFont));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(kOsdColour);
        dc.DrawText(slot.text, &text, DT_SINGLELINE | DT_TOP | DT_CENTER | DT_NOPREFIX);
    }

private:
    // The digits, the full bar and a step's room below it.
    int SliderHeight() const { return m_digitHeight + m_content.barMaximum * kOsdStepPixels + kOsdStepPixels; }

    CFont m_digitFont;
    CFont m_labelFont;
    CBrush m_barBrush;
    CBrush m_blackBrush;
    int m_digitHeight = 0;

    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(COsdSliderWnd, COsdWnd)
    ON_WM_PAINT()
END_MSG_MAP()

// ---- the display object ----

COnScreenDisplay::COnScreenDisplay() = default;

COnScreenDisplay::~COnScreenDisplay()
{
    if (m_text)
        m_text->DestroyWindow();
    if (m_slider)
        m_slider->DestroyWindow();
    m_text.reset();
    m_slider.reset();
    m_textClass.Unregister();
    m_sliderClass.Unregister();
    if (m_joinedApartment)
        ::CoUninitialize();
}

void COnScreenDisplay::SetBarMaximum(int steps)
{
    m_content.barMaximum = std::max(steps, 1);
}

HRESULT COnScreenDisplay::CreateOsdWindows()
{
    if (m_text || m_slider)
        return m_text && m_slider && m_text->IsWindow() && m_slider->IsWindow() ? S_OK : E_FAIL;
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
        return E_FAIL;
    m_joinedApartment = true;
    // The windows size their fonts from the scale as they are made.
    m_content.scale = ScreenScale();
    m_classBrush.CreateSolidBrush(kOsdKeyColour);
    const HCURSOR arrow = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    m_textClass.Register(kTextClass, CS_HREDRAW | CS_VREDRAW, m_classBrush, nullptr, arrow);
    m_sliderClass.Register(kSliderClass, CS_HREDRAW | CS_VREDRAW, m_classBrush, nullptr, arrow);

    m_text = std::make_unique<COsdTextWnd>(m_content);
    m_slider = std::make_unique<COsdSliderWnd>(m_content);
    const CRect none;
    const bool text = m_text->CreateEx(kOsdExStyle, kTextClass, kTextClass, WS_POPUP, none, nullptr, 0);
    const bool slider = m_slider->CreateEx(kOsdExStyle, kSliderClass, kSliderClass, WS_POPUP, none, nullptr, 0);
    if (text)
        m_text->ShowWindow(SW_HIDE);
    if (slider)
        m_slider->ShowWindow(SW_HIDE);
    return text && slider ? S_OK : E_FAIL;
}

HWND COnScreenDisplay::TextWindow() const
{
    return m_text ? m_text->m_hWnd : nullptr;
}

HWND COnScreenDisplay::SliderWindow() const
{
    return m_slider ? m_slider->m_hWnd : nullptr;
}

void COnScreenDisplay::Post(HWND window) const
{
    if (window)
        ::PostMessageW(window, WM_OSD_SHOW, 0, 0);
}

void COnScreenDisplay::ShowProfileOsd(const std::wstring& name)
{
    m_content.profileText = name.substr(0, kOsdProfileTextChars);
    Post(TextWindow());
}

void COnScreenDisplay::ShowDpiOsd(int position, const std::wstring& text)
{
    if (text.size() > kOsdDpiTextChars)
        return;
    m_content.slots[0] = {std::clamp(position, 0, m_content.barMaximum), text};
    m_content.sliderMode = 1;
    Post(SliderWindow());
}

void COnScreenDisplay::ShowDpiXYOsd(int xPosition, const std::wstring& xText, int yPosition, const std::wstring& yText)
{
    if (xText.size() > kOsdDpiTextChars || yText.size() > kOsdDpiTextChars)
        return;
    m_content.slots[0] = {std::clamp(yPosition, 0, m_content.barMaximum), yText};
    m_content.slots[1] = {std::clamp(xPosition, 0, m_content.barMaximum), xText};
    m_content.sliderMode = 2;
    Post(SliderWindow());
}

void COnScreenDisplay::ShowDpi(const DpiOsdDecision& decision)
{
    if (decision.bars == 1)
        ShowDpiOsd(decision.xPosition, decision.xText);
    else if (decision.bars == 2)
        ShowDpiXYOsd(decision.xPosition, decision.xText, decision.yPosition, decision.yText);
}
