// GDI owners release exactly once, device contexts put back what they selected, and a window
// painted through the wrappers shows what it drew.
#include "platform/Dc.h"
#include "platform/GdiObject.h"
#include "platform/Wnd.h"
#include "platform/WndClass.h"

#include <gtest/gtest.h>
#include <map>
#include <utility>
#include <vector>
#include "HvTest.h"
#include "ImportPatch.h"

namespace {

// Everything a paint handler of the program does, in one round. Collects every GDI object and DC
// it made. (Wine's GetGuiResources counts nothing, so the objects are followed one by one.)
void UseEveryKindOfOwner(HWND hwnd, std::vector<HGDIOBJ>& made)
{
    CBitmap bitmap;
    CFont font;
    CBrush brush(RGB(10, 20, 30));
    CPen pen(PS_SOLID, 2, RGB(200, 0, 0));
    CRgn rgn;
    {
        CClientDC screen(hwnd);
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, 64, 32));
    }
    ASSERT_TRUE(font.CreateFont(L"Arial", -14, FW_BOLD));
    ASSERT_TRUE(rgn.CreateRectRgn(0, 0, 20, 20));
    CRgn other;
    ASSERT_TRUE(other.CreateEllipticRgn(10, 10, 40, 40));
    made.insert(made.end(), {bitmap.GetSafeHandle(), font.GetSafeHandle(), brush.GetSafeHandle(),
                             pen.GetSafeHandle(), rgn.GetSafeHandle(), other.GetSafeHandle()});
    EXPECT_NE(rgn.CombineRgn(rgn, other, RGN_OR), ERROR);
    {
        CMemoryDC mem;
        made.push_back(mem.GetSafeHdc());
        mem.SelectObject(bitmap.GetSafeHandle());
        mem.SelectObject(font.GetSafeHandle());
        mem.SelectObject(brush.GetSafeHandle());
        mem.SelectObject(pen.GetSafeHandle());
        mem.Rectangle(CRect(0, 0, 64, 32));
        mem.SelectClipRgn(rgn);
        mem.TextOut(2, 2, L"text");
        CRect r(0, 0, 64, 32);
        mem.DrawText(L"more", &r, DT_CENTER);
        CWindowDC window(hwnd);
        window.BitBlt(0, 0, 64, 32, mem, 0, 0);
    }
    // Handing objects over: the moved-from owner holds nothing and deletes nothing.
    HGDIOBJ bitmapHandle = bitmap.GetSafeHandle();
    {
        CBitmap moved(std::move(bitmap));
        EXPECT_FALSE(bitmap);
        {
            CBitmap second(std::move(moved));
        }
        EXPECT_EQ(::GetObjectType(bitmapHandle), 0u);  // released by the last owner
        ASSERT_TRUE(moved.CreateCompatibleBitmap(CClientDC(hwnd), 4, 4));
        made.push_back(moved.GetSafeHandle());
    }
    CBrush replaced(RGB(1, 2, 3));
    HGDIOBJ replacedHandle = replaced.GetSafeHandle();
    made.push_back(replacedHandle);
    replaced = std::move(brush);  // deletes the brush replaced held
    EXPECT_EQ(::GetObjectType(replacedHandle), 0u);
    EXPECT_EQ(::GetObjectType(replaced.GetSafeHandle()), static_cast<DWORD>(OBJ_BRUSH));
    CBitmap copy;
    copy.CopyFrom(nullptr);
    EXPECT_FALSE(copy);
    CBitmap source;
    ASSERT_TRUE(source.CreateDibSection32(16, 8));
    ASSERT_TRUE(copy.CopyFrom(source));
    made.insert(made.end(), {source.GetSafeHandle(), copy.GetSafeHandle()});
    EXPECT_EQ(copy.GetSize(), CSize(16, 8));
}

TEST(Gdi, OwnersReleaseExactlyOnce)
{
    hvtest::ScopedWindow window(hvtest::CreateTestWindow(100, 60));
    {
        // The counter sees a second delete of one object, the fault the checks below look for.
        CGdiDeleteCounter probe;
        ASSERT_TRUE(probe.IsActive());
        HBRUSH twice = ::CreateSolidBrush(RGB(7, 7, 7));
        ::DeleteObject(twice);
        ::DeleteObject(twice);
        ASSERT_EQ(probe.Deletes(twice), 2);
    }
    CGdiDeleteCounter counter;
    std::vector<HGDIOBJ> made;
    for (int i = 0; i < 100 && !HasFatalFailure(); ++i)
        UseEveryKindOfOwner(window, made);
    ASSERT_EQ(made.size(), 100u * 11);
    size_t alive = 0;
    for (HGDIOBJ h : made)
        alive += ::GetObjectType(h) != 0;
    EXPECT_EQ(alive, 0u);
    // Every object and memory DC was deleted as often as it was made (a handle value the system
    // handed out again counts twice), and nothing else was deleted.
    std::map<HANDLE, int> expected;
    for (HGDIOBJ h : made)
        ++expected[h];
    EXPECT_EQ(counter.All(), expected);

    // The object itself is gone once its owner is; a detached one lives on.
    HGDIOBJ deleted = nullptr;
    HGDIOBJ detached = nullptr;
    HGDIOBJ same = nullptr;
    {
        CBrush a(RGB(1, 1, 1));
        CBrush b(RGB(2, 2, 2));
        deleted = a.GetSafeHandle();
        detached = b.Detach();
        EXPECT_EQ(::GetObjectType(deleted), static_cast<DWORD>(OBJ_BRUSH));
        // Onto itself: a move keeps the object; attaching the held object again deletes nothing.
        CPen pen(PS_SOLID, 1, RGB(3, 3, 3));
        same = pen.GetSafeHandle();
        CPen& alias = pen;
        pen = std::move(alias);
        pen.Attach(same);
        EXPECT_EQ(pen.GetSafeHandle(), same);
        EXPECT_EQ(counter.Deletes(same), 0);
        EXPECT_EQ(::GetObjectType(same), static_cast<DWORD>(OBJ_PEN));
        // Deleted explicitly, then destroyed: one delete.
        EXPECT_TRUE(a.DeleteObject());
        EXPECT_FALSE(a.DeleteObject());
    }
    EXPECT_EQ(counter.Deletes(deleted), 1);
    EXPECT_EQ(counter.Deletes(same), 1);
    EXPECT_EQ(counter.Deletes(detached), 0);
    EXPECT_EQ(::GetObjectType(detached), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_TRUE(::DeleteObject(detached));

    // A region given to a window belongs to the window: the owner lets go of it.
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, CWndClass::DefaultClass(), L"rgn", WS_POPUP, CRect(0, 0, 50, 50), nullptr, 0));
    CRgn region;
    ASSERT_TRUE(region.CreateEllipticRgn(0, 0, 50, 50));
    EXPECT_TRUE(wnd.SetWindowRgn(region));
    EXPECT_FALSE(region);
    CRgn current;
    ASSERT_TRUE(current.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(::GetWindowRgn(wnd, current), COMPLEXREGION);
}

TEST(Gdi, DeviceContextsPutBackWhatTheySelected)
{
    hvtest::ScopedWindow window(hvtest::CreateTestWindow(100, 60));
    HDC hdc = ::GetDC(window);
    HGDIOBJ font = ::GetCurrentObject(hdc, OBJ_FONT);
    HGDIOBJ brush = ::GetCurrentObject(hdc, OBJ_BRUSH);
    HGDIOBJ pen = ::GetCurrentObject(hdc, OBJ_PEN);
    CFont f1, f2;
    ASSERT_TRUE(f1.CreateFont(L"Arial", -12));
    ASSERT_TRUE(f2.CreateFont(L"Arial", -20));
    CBrush b(RGB(9, 9, 9));
    {
        CDC dc(hdc);  // borrowed: restores, never releases
        EXPECT_EQ(dc.SelectObject(f1.GetSafeHandle()), font);
        EXPECT_EQ(dc.SelectObject(f2.GetSafeHandle()), f1.GetSafeHandle());  // the first original is kept
        dc.SelectObject(b.GetSafeHandle());
        dc.SelectStockObject(NULL_PEN);
        EXPECT_EQ(::GetCurrentObject(hdc, OBJ_FONT), f2.GetSafeHandle());
    }
    EXPECT_EQ(::GetCurrentObject(hdc, OBJ_FONT), font);
    EXPECT_EQ(::GetCurrentObject(hdc, OBJ_BRUSH), brush);
    EXPECT_EQ(::GetCurrentObject(hdc, OBJ_PEN), pen);
    EXPECT_EQ(::GetObjectType(hdc), static_cast<DWORD>(OBJ_DC));  // still usable: not released
    ::ReleaseDC(window, hdc);

    // A memory DC gives its bitmap back before it goes, so the bitmap can be deleted and reused.
    CBitmap bitmap;
    {
        CClientDC client(window);
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(client, 8, 8));
    }
    HBITMAP selectedInto = nullptr;
    {
        CMemoryDC mem;
        mem.SelectObject(bitmap.GetSafeHandle());
        selectedInto = static_cast<HBITMAP>(::GetCurrentObject(mem, OBJ_BITMAP));
    }
    EXPECT_EQ(selectedInto, bitmap.GetSafeHandle());
    CMemoryDC again;
    EXPECT_NE(again.SelectObject(bitmap.GetSafeHandle()), nullptr);  // not selected elsewhere any more
}

// A window that paints three bands through a paint DC.
class CBandsWnd : public CWnd
{
public:
    int paints = 0;

protected:
    void OnPaint()
    {
        ++paints;
        CPaintDC dc(m_hWnd);
        CRect client = GetClientRect();
        int third = client.Width() / 3;
        dc.FillSolidRect(CRect(0, 0, third, client.bottom), RGB(255, 0, 0));
        CBrush green(RGB(0, 255, 0));
        dc.FillRect(CRect(third, 0, 2 * third, client.bottom), green);
        CPen pen(PS_SOLID, 1, RGB(0, 0, 255));
        CBrush blue(RGB(0, 0, 255));
        dc.SelectObject(pen.GetSafeHandle());
        dc.SelectObject(blue.GetSafeHandle());
        dc.Rectangle(CRect(2 * third, 0, client.right, client.bottom));
    }
    BOOL OnEraseBkgnd(HDC) { return TRUE; }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CBandsWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MSG_MAP()

TEST(Gdi, CapturedWindowShowsWhatItPainted)
{
    CBandsWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, CWndClass::DefaultClass(), L"bands", WS_POPUP | WS_VISIBLE, CRect(40, 40, 340, 140),
                             nullptr, 0));
    hvtest::FlushMessages();
    hvtest::Bitmap shot = hvtest::CaptureClient(wnd);
    ASSERT_EQ(shot.Width(), 300);
    ASSERT_EQ(shot.Height(), 100);
    shot.SaveToTestDir(L"bands.bmp");
    EXPECT_GE(wnd.paints, 1);
    hvtest::ExpectRectNear(shot, CRect(0, 0, 100, 100), RGB(255, 0, 0));
    hvtest::ExpectRectNear(shot, CRect(100, 0, 200, 100), RGB(0, 255, 0));
    hvtest::ExpectRectNear(shot, CRect(200, 0, 300, 100), RGB(0, 0, 255));

}

} // namespace
