// The generated skin as the programs show it: "MainPage.xml" in a layered panel keyed on magenta
// (as the main window is), a notice popup, and the keyboard page's picture with its key items
// loaded into the main window. Each picture is captured from the screen, saved into the test's folder for a person to
// look at, and its pixels are checked against the generated bitmaps: the window is the shape of
// its mask, shows its background wherever no item covers it, carries the accent colour, is dark,
// and has no pixel of the transparent colour where it is meant to be seen; a key shows its part of
// the whole-keyboard picture of its state and its caption in that state's colour.
#include "BitmapItem.h"
#include "DialogTemplate.h"
#include "GUIItem.h"
#include "GUIPanel.h"
#include "KeyboardKeyItem.h"
#include "LayoutLoader.h"
#include "NameTables.h"
#include "SkinResourceCache.h"
#include "WStr.h"

#include "HvTest.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kTransparent = RGB(255, 0, 255);

// A panel as the main window and the popups are made: no items are bound; the window is layered
// with magenta as its transparent colour.
class CPicturePanel : public CGUIPanel
{
public:
    using CGUIPanel::CGUIPanel;

protected:
    void BindItems() override {}
    BOOL OnInitDialog() override
    {
        ModifyStyleEx(0, WS_EX_LAYERED);
        SetLayeredWindowAttributes(m_hWnd, kTransparent, 0, LWA_COLORKEY);
        return TRUE;
    }
};

const CDialogTemplate& PanelTemplate()
{
    static CDialogTemplate t(L"", WS_POPUP, 0, 0, 80, 60);
    return t;
}

pugi::xml_node LayoutRoot(pugi::xml_document& doc, const std::wstring& file)
{
    const std::wstring path = GetProgramFolder() + L"xml\\" + file;
    if (!doc.load_file(path.c_str()))
        return {};
    return doc.first_child();
}

hvtest::Bitmap SkinBitmap(const char* file)
{
    std::wstring name;
    for (const char* p = file; *p; ++p)
        name += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return hvtest::Bitmap::Load(GetProgramFolder() + L"skins\\" + name);
}

struct ChildWalk
{
    HWND panel;
    std::vector<RECT> rects;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    auto* walk = reinterpret_cast<ChildWalk*>(param);
    if (GetParent(child) == walk->panel && IsWindowVisible(child)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, walk->panel, reinterpret_cast<POINT*>(&r), 2);
        walk->rects.push_back(r);
    }
    return TRUE;
}

POINT ScreenPoint(HWND hwnd, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

// Client rectangles of the panel's visible child windows: where its items cover the background.
std::vector<RECT> CoveredByItems(HWND panel)
{
    ChildWalk walk{ panel, {} };
    EnumChildWindows(panel, CollectChild, reinterpret_cast<LPARAM>(&walk));
    return walk.rects;
}

struct PictureExpectations
{
    const wchar_t* layout;
    const wchar_t* shotName;
    int minAccentPixels;  // pixels of exactly the accent colour the background carries
};

// Creates the panel of the layout, shows it and checks what the screen shows. Returns the
// capture (empty when the panel could not be made).
hvtest::Bitmap CheckPanelPicture(CPicturePanel& panel, const PictureExpectations& want)
{
    SCOPED_TRACE(testing::Message() << "layout " << std::string(want.layout, want.layout + wcslen(want.layout)));
    pugi::xml_document doc;
    pugi::xml_node root = LayoutRoot(doc, want.layout);
    EXPECT_STREQ(root.name(), "GUIPANEL");
    const hvtest::Bitmap background = SkinBitmap(root.child("BACKGROUND").text().get());
    const hvtest::Bitmap mask = SkinBitmap(root.child("MASK").text().get());
    EXPECT_FALSE(background.Empty() || mask.Empty()) << "the layout's pictures are not readable";
    if (background.Empty() || mask.Empty() || !panel.Create())
        return {};

    // Layered and keyed on magenta, as the main window is.
    EXPECT_TRUE(GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_LAYERED);
    COLORREF key = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(panel, &key, nullptr, &flags));
    EXPECT_EQ(key, kTransparent);
    EXPECT_EQ(flags & LWA_COLORKEY, static_cast<DWORD>(LWA_COLORKEY));

    // The size of the background, the shape of the mask: black is the window, white is not.
    EXPECT_EQ(panel.GetClientRect(), CRect(0, 0, background.Width(), background.Height()));
    EXPECT_EQ(mask.Width(), background.Width());
    EXPECT_EQ(mask.Height(), background.Height());
    CRgn region;
    EXPECT_TRUE(region.CreateRectRgn(0, 0, 0, 0));
    EXPECT_NE(GetWindowRgn(panel, region), ERROR);
    int shapeErrors = 0, outside = 0;
    POINT firstShapeError{ -1, -1 };
    std::vector<bool> inside(size_t(mask.Width()) * mask.Height());
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) {
            const bool opaque = mask.Pixel(x, y) == 0x000000;
            const bool shown = region.PtInRegion(x, y);
            inside[size_t(y) * mask.Width() + x] = shown;
            outside += !opaque;
            if (opaque != shown && shapeErrors++ == 0)
                firstShapeError = { x, y };
        }
    }
    EXPECT_GT(outside, 0) << "the window is not shaped: the mask has no transparent pixel";
    EXPECT_EQ(shapeErrors, 0) << "the window region and the mask differ, first at ("
                              << firstShapeError.x << ", " << firstShapeError.y << ")";

    panel.ShowWindow(SW_SHOWNOACTIVATE);
    hvtest::FlushMessages();
    hvtest::Bitmap shot = hvtest::CaptureClient(panel);
    EXPECT_EQ(shot.Width(), background.Width());
    EXPECT_EQ(shot.Height(), background.Height());
    if (shot.Width() != background.Width() || shot.Height() != background.Height())
        return shot;
    EXPECT_TRUE(shot.SaveToTestDir(want.shotName));

    // Inside the region: the background wherever no item covers it, no pixel of the transparent
    // colour anywhere, the accent colour, and a dark picture overall.
    std::vector<bool> covered(inside.size());
    for (const RECT& r : CoveredByItems(panel))
        for (int y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, shot.Height()); ++y)
            for (int x = std::max<LONG>(r.left, 0); x < std::min<LONG>(r.right, shot.Width()); ++x)
                covered[size_t(y) * shot.Width() + x] = true;
    const COLORREF accent = FindColorByName(L"VEXA_TAB_SELECT");
    int wrong = 0, keyed = 0, accentPixels = 0, compared = 0;
    POINT firstWrong{ -1, -1 };
    double luminance = 0;
    for (int y = 0; y < shot.Height(); ++y) {
        for (int x = 0; x < shot.Width(); ++x) {
            const size_t i = size_t(y) * shot.Width() + x;
            if (!inside[i])
                continue;
            const COLORREF seen = shot.At(x, y);
            keyed += seen == kTransparent;
            accentPixels += seen == accent;
            luminance += 0.299 * GetRValue(seen) + 0.587 * GetGValue(seen) + 0.114 * GetBValue(seen);
            if (covered[i])
                continue;
            ++compared;
            if (!hvtest::ColorNear(seen, background.At(x, y), 1) && wrong++ == 0)
                firstWrong = { x, y };
        }
    }
    // A popup's texts and buttons cover much of it; a third must still show the background.
    EXPECT_GT(compared, shot.Width() * shot.Height() / 3) << "items cover most of the background";
    EXPECT_EQ(wrong, 0) << "pixels that differ from the background, first at (" << firstWrong.x << ", "
                        << firstWrong.y << "): " << hvtest::ColorText(shot.At(firstWrong.x, firstWrong.y))
                        << " instead of " << hvtest::ColorText(background.At(firstWrong.x, firstWrong.y));
    EXPECT_EQ(keyed, 0) << "pixels of the transparent colour inside the window would show holes";
    EXPECT_GE(accentPixels, want.minAccentPixels) << "too little of the accent colour";
    const int shown = static_cast<int>(std::count(inside.begin(), inside.end(), true));
    EXPECT_LT(luminance / std::max(shown, 1), 48.0) << "the picture is not dark";
    return shot;
}

} // namespace

TEST(SkinPictures, MainPageInALayeredPanelAndTheKeyboardPicture)
{
    InitNameTables();
    CPicturePanel panel(PanelTemplate().Get(), L"MainPage.xml", nullptr);
    const hvtest::Bitmap shot = CheckPanelPicture(panel, { L"MainPage.xml", L"main_page.bmp", 400 });
    ASSERT_FALSE(shot.Empty());

    // Both footnotes are bitmap items of the main window; the programs show one at a time.
    for (const wchar_t* name : { L"BITMAP_MOUSE_FOOTNOTE", L"BITMAP_KEYBOARD_FOOTNOTE" })
        EXPECT_NE(panel.Items().FindAs<CBitmapItem>(FindItemIdByName(name), ItemKind::BitmapItem), nullptr)
            << "no footnote " << std::string(name, name + wcslen(name));

    // The keyboard page as the main window loads it: the page and the key layout of the current
    // keyboard layout, with the main window as the owner. The keyboard picture shows its bitmap
    // wherever no key lies, and every key shows its own part of the whole-keyboard picture of its
    // state with its caption in that state's colour.
    CGUIItems page, keys;
    EXPECT_TRUE(LoadLayoutFile(&page, L"Keyboard_AssnKeys.xml", &panel, false));
    ASSERT_TRUE(LoadLayoutFile(&keys, L"KeyboardKeys.xml", &panel, false));
    auto* board = keys.FindAs<CBitmapItem>(FindItemIdByName(L"BITMAP_MECHKBD"), ItemKind::BitmapItem);
    ASSERT_NE(board, nullptr);
    EXPECT_TRUE(board->IsWindowEnabled()) << "the keys are its children: it must pass the mouse on";

    pugi::xml_document doc;
    const pugi::xml_node root = LayoutRoot(doc, L"KeyboardKeys.xml");
    pugi::xml_node picture;
    for (pugi::xml_node b : root.child("BITMAPLIST").children("BITMAPITEM"))
        if (std::string(b.attribute("name").value()) == "BITMAP_MECHKBD")
            picture = b;
    const hvtest::Bitmap boardBitmap = SkinBitmap(picture.child("SBMN").text().get());
    ASSERT_FALSE(boardBitmap.Empty());
    const pugi::xml_node shared = root.child("KBDKEYLIST").child("BUTTONBITMAPS");
    const hvtest::Bitmap overBitmap = SkinBitmap(shared.child("SBMO").text().get());
    const hvtest::Bitmap downBitmap = SkinBitmap(shared.child("SBMD").text().get());
    ASSERT_FALSE(overBitmap.Empty() || downBitmap.Empty());

    // The pointer on the keyboard picture above the keys: nothing hovers.
    const POINT besideKeys{board->GetClientRect().Width() / 2, 5};
    ASSERT_TRUE(hvtest::PrepareTarget(*board, besideKeys));
    hvtest::FlushMessages();
    const hvtest::Bitmap boardShot = hvtest::CaptureClient(*board);
    ASSERT_EQ(boardShot.Width(), boardBitmap.Width());
    ASSERT_EQ(boardShot.Height(), boardBitmap.Height());
    EXPECT_TRUE(boardShot.SaveToTestDir(L"keyboard_picture.bmp"));
    std::vector<bool> onKey(size_t(boardShot.Width()) * boardShot.Height());
    size_t keyCount = 0;
    for (const CGUIItem* item : keys) {
        if (item->kind != ItemKind::KeyboardKeyItem)
            continue;
        ++keyCount;
        CRect r;
        GetWindowRect(item->window, &r);
        MapWindowPoints(nullptr, *board, reinterpret_cast<POINT*>(&r), 2);
        for (int y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, boardShot.Height()); ++y)
            for (int x = std::max<LONG>(r.left, 0); x < std::min<LONG>(r.right, boardShot.Width()); ++x)
                onKey[size_t(y) * boardShot.Width() + x] = true;
    }
    EXPECT_EQ(keyCount, 103u);
    int wrong = 0;
    for (int y = 0; y < boardShot.Height(); ++y)
        for (int x = 0; x < boardShot.Width(); ++x)
            if (!onKey[size_t(y) * boardShot.Width() + x])
                wrong += !hvtest::ColorNear(boardShot.At(x, y), boardBitmap.At(x, y), 1);
    EXPECT_EQ(wrong, 0) << "pixels of the keyboard picture between the keys that differ from its bitmap";

    // A key with a caption and the space bar, whose caption is blank: normal, under the pointer,
    // checked. The key's rows above its caption are the state's picture at the key's place in the
    // board; the caption has the colour of the state's "fontclr"; the blank key is the picture.
    auto* keyA = keys.FindAs<CKeyboardKeyItem>(FindItemIdByName(L"BUTTON_KB_A"), ItemKind::KeyboardKeyItem);
    auto* space = keys.FindAs<CKeyboardKeyItem>(FindItemIdByName(L"BUTTON_KB_SPACE"), ItemKind::KeyboardKeyItem);
    ASSERT_TRUE(keyA && space);
    auto expectKey = [&](CKeyboardKeyItem& key, const hvtest::Bitmap& art, int rows, const wchar_t* fontColour,
                         const char* what) {
        SCOPED_TRACE(what);
        hvtest::FlushMessages();
        const hvtest::Bitmap shot = hvtest::CaptureClient(key);
        CRect at = key.GetWindowRect();
        MapWindowPoints(nullptr, *board, reinterpret_cast<POINT*>(&at), 2);
        ASSERT_EQ(shot.Width(), at.Width());
        int differing = 0;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < shot.Width(); ++x)
                differing += !hvtest::ColorNear(shot.At(x, y), art.At(at.left + x, at.top + y), 1);
        EXPECT_EQ(differing, 0) << "pixels of the key that differ from its part of the keyboard picture";
        if (fontColour) {
            EXPECT_GT(hvtest::CountPixelsNear(shot, CRect(0, 0, shot.Width(), shot.Height()), FindColorByName(fontColour)), 5)
                << "the caption is not in " << wstr::WideToUtf8(fontColour);
        }
    };
    expectKey(*keyA, boardBitmap, 6, L"WHITE", "key A");
    expectKey(*space, boardBitmap, space->GetClientRect().Height(), nullptr, "space bar");
    ASSERT_TRUE(hvtest::MoveCursorTo(ScreenPoint(*keyA, 3, 3)));
    EXPECT_TRUE(keyA->IsHover());
    expectKey(*keyA, overBitmap, 6, L"VEXA_TAB_SELECT", "key A under the pointer");
    const hvtest::Bitmap withPage = hvtest::CaptureClient(panel);
    EXPECT_TRUE(withPage.SaveToTestDir(L"main_page_keyboard.bmp"));
    ASSERT_TRUE(hvtest::MoveCursorTo(ScreenPoint(*space, 3, 3)));
    expectKey(*space, overBitmap, space->GetClientRect().Height(), nullptr, "space bar under the pointer");
    ASSERT_TRUE(hvtest::MoveCursorTo(ScreenPoint(*board, besideKeys.x, besideKeys.y)));
    keyA->SetState(true);
    space->SetState(true);
    expectKey(*keyA, downBitmap, 6, L"WHITE", "key A checked");
    expectKey(*space, downBitmap, space->GetClientRect().Height(), nullptr, "space bar checked");

    const CRect client = panel.GetClientRect();
    CRect mapped = board->GetWindowRect();
    MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&mapped), 2);
    EXPECT_TRUE(mapped.left >= 0 && mapped.top >= 0 && mapped.right <= client.right && mapped.bottom <= client.bottom)
        << "the keyboard picture leaves the main window";
    keys.DeleteAll();
    page.DeleteAll();
    panel.DestroyWindow();
}

TEST(SkinPictures, NoticePopupInALayeredPanel)
{
    InitNameTables();
    CPicturePanel popup(PanelTemplate().Get(), L"NoMousePopup.xml", nullptr);
    const hvtest::Bitmap shot = CheckPanelPicture(popup, { L"NoMousePopup.xml", L"popup_notice.bmp", 300 });
    EXPECT_FALSE(shot.Empty());
    popup.DestroyWindow();
}
