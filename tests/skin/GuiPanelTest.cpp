// A skinned panel built from a layout file: its size, region and picture come from the layout's
// BACKGROUND and MASK, its bitmap items from the BITMAPLIST; a panel without a usable layout keeps
// its own size.
#include "controls/BitmapItem.h"
#include "controls/BitmapWindow.h"
#include "controls/PopupBox.h"
#include "core/NameTables.h"
#include "platform/DialogTemplate.h"
#include "skin/FontItem.h"
#include "skin/GUIPanel.h"
#include "skin/LayoutLoader.h"
#include "skin/PanelBitmap.h"

#include "HvTest.h"
#include "LayoutTestFiles.h"

#include <gtest/gtest.h>

using namespace layouttest;

namespace {

class CTestPanel : public CGUIPanel
{
public:
    using CGUIPanel::CGUIPanel;
    int bound = 0;

protected:
    void BindItems() override { ++bound; }
    BOOL OnInitDialog() override
    {
        BindItems();
        return TRUE;
    }
};

const CDialogTemplate& PopupTemplate()
{
    static CDialogTemplate t(L"", WS_POPUP | WS_VISIBLE, 0, 0, 60, 40);
    return t;
}

constexpr COLORREF kLeft = RGB(200, 30, 30);
constexpr COLORREF kRight = RGB(30, 30, 200);
constexpr COLORREF kItem = RGB(20, 180, 40);
constexpr int kWidth = 120;
constexpr int kHeight = 80;

uint32_t BackgroundPixel(int x, int)
{
    return x < kWidth / 2 ? 0xC81E1E : 0x1E1EC8;
}

// Transparent (white): the top-left 20 x 20 corner and the rightmost 10 columns.
uint32_t MaskPixel(int x, int y)
{
    return (x < 20 && y < 20) || x >= kWidth - 10 ? 0xFFFFFF : 0x000000;
}

int32_t Id(const wchar_t* name)
{
    return FindItemIdByName(name);
}

} // namespace

TEST(GuiPanel, LayoutGivesSizeRegionPictureAndItems)
{
    WriteSkinBitmap(L"panel_bg.bmp", kWidth, kHeight, BackgroundPixel);
    WriteSkinBitmap(L"panel_mask.bmp", kWidth, kHeight, MaskPixel);
    WriteSkinBitmap(L"panel_item.bmp", 30, 10, [](int, int) { return 0x14B428u; });
    // A masked item: transparent (white) in its left 10 columns.
    WriteSkinBitmap(L"masked_item.bmp", 30, 20, [](int, int) { return 0x14B428u; });
    WriteSkinBitmap(L"masked_item_mask.bmp", 30, 20, [](int x, int) { return x < 10 ? 0xFFFFFFu : 0u; });
    WriteLayout(L"panel_layout.xml",
                "<?xml version='1.0' encoding='utf-8'?>\n"
                "<GUIPANEL>\n"
                " <BACKGROUND>panel_bg.bmp</BACKGROUND>\n"
                " <MASK>panel_mask.bmp</MASK>\n"
                " <FONTLIST>\n"
                "  <FONT name='FONT_ARIAL14B' typeface='Arial' pitch='14' boldlevel='700'/>\n"
                " </FONTLIST>\n"
                " <BITMAPLIST>\n"
                "  <BITMAPITEM name='BITMAP_MOUSE_FOOTNOTE' moveable='0' tooltip='Foot\\nnote'>\n"
                "   <SBMN>panel_item.bmp</SBMN><RECT left='30' top='5' right='30' bottom='10'/>\n"
                "  </BITMAPITEM>\n"
                "  <BITMAPITEM name='BITMAP_KEYBOARD_FOOTNOTE'>\n"
                "   <SBMN>panel_item.bmp</SBMN><RECT left='30' top='20' right='30' bottom='10'/>\n"
                "  </BITMAPITEM>\n"
                "  <BITMAPITEM name='BITMAP_MECHKBD' moveable='1'>\n"
                "   <SBMN>panel_item.bmp</SBMN><RECT left='30' top='35' right='30' bottom='10'/>\n"
                "  </BITMAPITEM>\n"
                "  <BITMAPITEM name='NO_SUCH_BITMAP' moveable='0'><SBMN>panel_item.bmp</SBMN></BITMAPITEM>\n"
                "  <BITMAPITEM name='BITMAP_KB_ESC'>\n"
                "   <SBMN>masked_item.bmp</SBMN><SBMM>masked_item_mask.bmp</SBMM>\n"
                "   <RECT left='70' top='20' right='30' bottom='20'/>\n"
                "  </BITMAPITEM>\n"
                "  <BITMAPWINDOW name='BITMAPWIN_ASSIGNKEY' justify='C' multiline='1' caps='U' fontid='FONT_ARIAL14B'>\n"
                "   <SBMN>panel_item.bmp</SBMN><RECT left='70' top='5' right='30' bottom='10'/>\n"
                "   <BITMAPITEM assntype='6'><SBMN>panel_item.bmp</SBMN></BITMAPITEM>\n"
                "  </BITMAPWINDOW>\n"
                " </BITMAPLIST>\n"
                "</GUIPANEL>\n");

    ProgressRecorder recorder;
    SetLoaderProgressWindow(recorder.Window());
    CTestPanel panel(PopupTemplate().Get(), L"panel_layout.xml", nullptr);
    panel.SetReportProgress(true);
    ASSERT_TRUE(panel.Create());
    SetLoaderProgressWindow(nullptr);
    EXPECT_EQ(recorder.events, ProgressRecorder::FullSequence("panel_layout.xml"));
    EXPECT_EQ(panel.bound, 1);
    EXPECT_TRUE(panel.IsCreated());

    // Size of the background, region of the mask.
    EXPECT_EQ(panel.GetClientRect(), CRect(0, 0, kWidth, kHeight));
    ASSERT_NE(panel.Background(), nullptr);
    ASSERT_NE(panel.Mask(), nullptr);
    CRgn region;
    ASSERT_TRUE(region.CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(panel, region), ERROR);
    EXPECT_FALSE(region.PtInRegion(5, 5));
    EXPECT_FALSE(region.PtInRegion(kWidth - 5, 40));
    EXPECT_TRUE(region.PtInRegion(25, 5));
    EXPECT_TRUE(region.PtInRegion(5, 25));
    EXPECT_TRUE(region.PtInRegion(kWidth - 11, 70));

    // The items: four bitmap items (enabled only with moveable="0"), a bitmap window, a font.
    CGUIItems& items = panel.Items();
    EXPECT_EQ(items.Size(), 2u + 1u + 4u + 1u);
    auto* enabled = items.FindAs<CBitmapItem>(Id(L"BITMAP_MOUSE_FOOTNOTE"), ItemKind::BitmapItem);
    auto* missing = items.FindAs<CBitmapItem>(Id(L"BITMAP_KEYBOARD_FOOTNOTE"), ItemKind::BitmapItem);
    auto* moveable = items.FindAs<CBitmapItem>(Id(L"BITMAP_MECHKBD"), ItemKind::BitmapItem);
    ASSERT_TRUE(enabled && missing && moveable);
    EXPECT_EQ(enabled->GetStyle() & 0xF8000000, 0x50000000u);
    EXPECT_EQ(missing->GetStyle() & 0xF8000000, 0x58000000u);
    EXPECT_EQ(moveable->GetStyle() & 0xF8000000, 0x58000000u);
    EXPECT_EQ(enabled->owner, &panel);
    EXPECT_EQ(enabled->window, enabled->GetSafeHwnd());
    EXPECT_EQ(GetParent(enabled->window), panel.GetSafeHwnd());
    EXPECT_EQ(enabled->GetWindowRect().Size(), CSize(30, 10));
    EXPECT_EQ(enabled->ToolTip().Text(), L"Foot note");
    auto* bitmapWindow = items.FindAs<CBitmapWindow>(Id(L"BITMAPWIN_ASSIGNKEY"), ItemKind::BitmapWindow);
    ASSERT_NE(bitmapWindow, nullptr);
    EXPECT_EQ(bitmapWindow->Format(), static_cast<UINT>(DT_CENTER | DT_WORDBREAK));
    EXPECT_EQ(bitmapWindow->CaseMode(), 1);

    // What the window shows: the background where the mask is opaque, the items over it.
    hvtest::FlushMessages();
    hvtest::Bitmap shot = hvtest::CaptureClient(panel);
    ASSERT_FALSE(shot.Empty());
    shot.SaveToTestDir(L"gui_panel.bmp");
    hvtest::ExpectRectNear(shot, CRect(2, 50, 58, 78), kLeft, 2);
    hvtest::ExpectRectNear(shot, CRect(62, 50, kWidth - 12, 78), kRight, 2);
    hvtest::ExpectRectNear(shot, CRect(30, 5, 60, 15), kItem, 2);
    hvtest::ExpectRectNear(shot, CRect(30, 35, 60, 45), kItem, 2);

    // The masked item has the shape of its mask: the panel shows through where the mask is white.
    auto* masked = items.FindAs<CBitmapItem>(Id(L"BITMAP_KB_ESC"), ItemKind::BitmapItem);
    ASSERT_NE(masked, nullptr);
    CRgn maskedRegion;
    ASSERT_TRUE(maskedRegion.CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(*masked, maskedRegion), ERROR);
    EXPECT_FALSE(maskedRegion.PtInRegion(5, 10));
    EXPECT_TRUE(maskedRegion.PtInRegion(15, 10));
    hvtest::ExpectRectNear(shot, CRect(70, 20, 80, 40), kRight, 2);
    hvtest::ExpectRectNear(shot, CRect(80, 20, 100, 40), kItem, 2);

    // Closing the window frees the panel bitmaps' pictures; the items stay until the panel goes.
    panel.DestroyWindow();
    EXPECT_FALSE(panel.IsCreated());
    EXPECT_EQ(panel.Background()->GetSafeHandle(), nullptr);
    EXPECT_EQ(panel.Items().Size(), 8u);

    // The same panel object opened again reads its layout afresh instead of adding to the old items.
    ASSERT_TRUE(panel.Create());
    EXPECT_EQ(panel.Items().Size(), 8u);
    EXPECT_EQ(panel.bound, 2);
    ASSERT_NE(panel.Background(), nullptr);
    EXPECT_NE(panel.Background()->GetSafeHandle(), nullptr);
    EXPECT_EQ(panel.GetClientRect(), CRect(0, 0, kWidth, kHeight));
    EXPECT_NE(panel.Region(), nullptr);
    auto* reopened = panel.Items().FindAs<CBitmapItem>(Id(L"BITMAP_MOUSE_FOOTNOTE"), ItemKind::BitmapItem);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(GetParent(reopened->window), panel.GetSafeHwnd());
    hvtest::FlushMessages();
    hvtest::Bitmap again = hvtest::CaptureClient(panel);
    ASSERT_FALSE(again.Empty());
    hvtest::ExpectRectNear(again, CRect(2, 50, 58, 78), kLeft, 2);
    hvtest::ExpectRectNear(again, CRect(62, 50, kWidth - 12, 78), kRight, 2);
    hvtest::ExpectRectNear(again, CRect(30, 5, 60, 15), kItem, 2);
    panel.DestroyWindow();
}

TEST(GuiPanel, PaintsNothingOutsideItsCreatedLife)
{
    WriteSkinBitmap(L"unpainted_bg.bmp", kWidth, kHeight, BackgroundPixel);
    WriteSkinBitmap(L"unpainted_mask.bmp", kWidth, kHeight, [](int, int) { return 0u; });
    WriteLayout(L"unpainted.xml",
                "<GUIPANEL><BACKGROUND>unpainted_bg.bmp</BACKGROUND><MASK>unpainted_mask.bmp</MASK></GUIPANEL>");

    // A panel object that takes over windows it did not create: they never send it WM_CREATE.
    class CAdoptingPanel : public CTestPanel
    {
    public:
        using CTestPanel::CTestPanel;
        // Reads the layout and takes its background, as WM_CREATE would.
        void LoadBackground()
        {
            m_items.DeleteAll();
            LoadLayoutFile(&m_items, m_layoutFile, this, false);
            m_background = m_items.FindAs<CPanelBitmap>(kBackgroundItemId, ItemKind::PanelBitmap);
        }
    };
    // The pixels a repaint leaves other than the test window's own white background.
    auto paintedPixels = [](HWND hwnd) {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
        hvtest::FlushMessages();
        hvtest::Bitmap shot = hvtest::CaptureClient(hwnd);
        EXPECT_FALSE(shot.Empty());
        const CRect all(0, 0, shot.Width(), shot.Height());
        return shot.Width() * shot.Height() - hvtest::CountPixelsNear(shot, all, RGB(255, 255, 255), 2);
    };

    CAdoptingPanel panel(PopupTemplate().Get(), L"unpainted.xml", nullptr);
    panel.LoadBackground();
    ASSERT_NE(panel.Background(), nullptr);
    ASSERT_NE(panel.Background()->GetSafeHandle(), nullptr);

    // Before WM_CREATE: nothing is painted.
    hvtest::ScopedWindow before(hvtest::CreateTestWindow(kWidth, kHeight));
    ASSERT_TRUE(panel.SubclassWindow(before));
    EXPECT_FALSE(panel.IsCreated());
    EXPECT_EQ(paintedPixels(before), 0);
    panel.UnsubclassWindow();

    // After WM_DESTROY: a panel that had its window and lost it paints nothing either, even with a
    // background to paint.
    ASSERT_TRUE(panel.Create());
    EXPECT_TRUE(panel.IsCreated());
    panel.DestroyWindow();
    EXPECT_FALSE(panel.IsCreated());
    panel.LoadBackground();
    hvtest::ScopedWindow after(hvtest::CreateTestWindow(kWidth, kHeight));
    ASSERT_TRUE(panel.SubclassWindow(after));
    EXPECT_EQ(paintedPixels(after), 0);
    panel.UnsubclassWindow();
}

TEST(GuiPanel, WithoutUsableLayoutKeepsItsOwnSize)
{
    // A layout file that does not exist: the panel shows, empty, at its template's size.
    UseTestSkinFolder();
    CTestPanel missing(PopupTemplate().Get(), L"no_such_panel.xml", nullptr);
    ASSERT_TRUE(missing.Create());
    EXPECT_TRUE(missing.Items().Empty());
    EXPECT_EQ(missing.Background(), nullptr);
    CRect templateSize = missing.GetWindowRect();
    EXPECT_GT(templateSize.Width(), 0);
    EXPECT_GT(templateSize.Height(), 0);
    EXPECT_EQ(missing.Region(), nullptr);

    // A layout whose root is not a panel: nothing to size to, no crash.
    WriteLayout(L"itemlist_panel.xml", "<ITEMLIST><FONTLIST><FONT name='FONT_ARIAL12'/></FONTLIST></ITEMLIST>");
    CTestPanel noBackground(PopupTemplate().Get(), L"itemlist_panel.xml", nullptr);
    ASSERT_TRUE(noBackground.Create());
    EXPECT_EQ(noBackground.Items().Size(), 1u);
    EXPECT_EQ(noBackground.GetWindowRect().Size(), templateSize.Size());
    hvtest::FlushMessages();

    // Without a layout the panel takes the rectangle's size and has no region; without an owner it
    // opens in the middle of the work area.
    CTestPanel fixed(CRect(10, 10, 110, 60), PopupTemplate().Get(), nullptr);
    ASSERT_TRUE(fixed.Create());
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const CPoint middle((work.left + work.right - 100) / 2, (work.top + work.bottom - 50) / 2);
    EXPECT_EQ(fixed.GetWindowRect(), CRect(middle.x, middle.y, middle.x + 100, middle.y + 50));
    EXPECT_EQ(fixed.Region(), nullptr);
    HRGN none = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(fixed, none), ERROR);
    DeleteObject(none);
}

namespace {

// A shown top-level window that popups are opened over.
class COwner : public CWnd
{
public:
    bool Create(const RECT& rect)
    {
        return CreateEx(0, hvtest::TestWindowClass(), L"owner", WS_POPUP | WS_VISIBLE, rect, nullptr, 0);
    }
};

CRect WorkAreaOf(HWND window)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return CRect(monitor.rcWork);
}

// Runs a popup modally over its owner and returns where it was shown: noted from inside its modal
// loop once it shows, then closed.
CRect ShownAt(CPopupBox& popup)
{
    CRect shownAt;
    hvtest::ModalScript script(
        [&popup] { return popup.IsWindow() && popup.IsWindowVisible() ? popup.GetSafeHwnd() : nullptr; },
        [&popup](HWND) { popup.EndDialog(IDCANCEL); });
    script.ExpectOnce([&popup, &shownAt](HWND) {
        shownAt = popup.GetWindowRect();
        popup.EndDialog(IDOK);
    });
    const INT_PTR result = popup.DoModal();
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(result, IDOK);
    return shownAt;
}

} // namespace

TEST(GuiPanel, PopupsOpenCentredOverTheirOwnerAndStayOnTheWorkArea)
{
    constexpr int kPopupWidth = 200;
    constexpr int kPopupHeight = 120;
    WriteSkinBitmap(L"centred_bg.bmp", kPopupWidth, kPopupHeight, [](int, int) { return 0x404040u; });
    WriteSkinBitmap(L"centred_mask.bmp", kPopupWidth, kPopupHeight, [](int, int) { return 0u; });
    WriteLayout(L"centred_popup.xml",
                "<GUIPANEL><BACKGROUND>centred_bg.bmp</BACKGROUND><MASK>centred_mask.bmp</MASK></GUIPANEL>");
    InitNameTables();

    // An owner off the middle of the screen: the popup opens over its middle.
    const CRect work = WorkAreaOf(GetDesktopWindow());
    COwner owner;
    ASSERT_TRUE(owner.Create(CRect(work.left + 40, work.top + 50, work.left + 440, work.top + 350)));
    CPopupBox popup(L"centred_popup.xml", &owner);
    const CRect shown = ShownAt(popup);
    EXPECT_EQ(shown, CRect(work.left + 140, work.top + 140, work.left + 340, work.top + 260));
    EXPECT_EQ(shown.CenterPoint(), owner.GetWindowRect().CenterPoint());

    // An owner partly beyond the bottom right corner: the popup stays on the work area, in the
    // corner, over the owner as far as it can.
    owner.SetWindowPos(nullptr, work.right - 120, work.bottom - 90, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    CPopupBox nearEdge(L"centred_popup.xml", &owner);
    EXPECT_EQ(ShownAt(nearEdge), CRect(work.right - kPopupWidth, work.bottom - kPopupHeight, work.right, work.bottom));

    // ... and beyond the top left corner.
    owner.SetWindowPos(nullptr, work.left - 250, work.top - 170, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    CPopupBox nearCorner(CRect(0, 0, 150, 60), &owner);
    EXPECT_EQ(ShownAt(nearCorner), CRect(work.left, work.top, work.left + 150, work.top + 60));

    // An owner near the right edge, its middle still on the screen: centred across it, moved in.
    owner.SetWindowPos(nullptr, work.right - 160, work.top + 300, 160, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    CPopupBox atEdge(L"centred_popup.xml", &owner);
    const CRect edge = ShownAt(atEdge);
    EXPECT_EQ(edge.right, work.right);
    EXPECT_EQ(edge.CenterPoint().y, owner.GetWindowRect().CenterPoint().y);

    // A hidden owner: the middle of the work area.
    owner.ShowWindow(SW_HIDE);
    CPopupBox hiddenOwner(L"centred_popup.xml", &owner);
    EXPECT_EQ(ShownAt(hiddenOwner).CenterPoint(), CRect(work).CenterPoint());
    owner.DestroyWindow();

    EXPECT_EQ(CGUIPanel::CentredOn(CRect(0, 0, 100, 100), CSize(40, 20), CRect(0, 0, 800, 600)), CPoint(30, 40));
    EXPECT_EQ(CGUIPanel::CentredOn(CRect(700, 550, 900, 700), CSize(40, 20), CRect(0, 0, 800, 600)), CPoint(760, 580));
    EXPECT_EQ(CGUIPanel::CentredOn(CRect(0, 0, 100, 100), CSize(900, 700), CRect(0, 0, 800, 600)), CPoint(0, 0))
        << "larger than the work area: its top left part shows";
}
