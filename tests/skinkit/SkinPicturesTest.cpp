// The generated skin as the programs show it: "MainPage.xml" in a layered panel keyed on magenta
// (as the main window is), a notice popup, and the keyboard page's picture with its key items
// loaded into the main window. Each picture is captured from the screen, saved into the test's folder for a person to
// look at, and its pixels are checked against the generated bitmaps: the window is the shape of
// its mask, shows its background wherever no item covers it, carries the accent colour, is dark,
// and has no pixel of the transparent colour where it is meant to be seen; a key shows its part of
// the whole-keyboard picture of its state and its caption in that state's colour.
#include "controls/BitmapItem.h"
#include "controls/KeyboardKeyItem.h"
#include "core/NameTables.h"
#include "platform/DialogTemplate.h"
#include "platform/WStr.h"
#include "skin/GUIItem.h"
#include "skin/GUIPanel.h"
#include "skin/LangTable.h"
#include "skin/LayoutLoader.h"
#include "skin/SkinResourceCache.h"

#include "HvTest.h"
#include "SkinFiles.h"

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

namespace {

// The item's window rectangle in the panel's client coordinates; empty when the item is missing.
CRect ItemRect(const CGUIItems& items, const wchar_t* name, HWND panel)
{
    const CGUIItem* item = items.FindById(FindItemIdByName(name));
    if (!item || !item->window || !IsWindow(item->window))
        return CRect();
    CRect r;
    GetWindowRect(item->window, &r);
    MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Narrow(const std::wstring& s) { return wstr::WideToUtf8(s); }

std::wstring ShotName(const wchar_t* kind, std::wstring file, const wchar_t* suffix)
{
    file.erase(file.size() - 4);
    return std::wstring(kind) + L"_" + file + suffix + L".bmp";
}

// Every page as the main window shows it (the page's layout loaded into the main window, the key
// layout with the keyboard's key page) and every popup in a layered panel of its own, in the current
// language, each captured into the test's folder with suffix on its name. With checkArt, a button, a
// text and a slider of the performance page and the list of the profiles page are checked against
// the generated artwork and the layout's colours.
void CapturePagesAndPopups(const wchar_t* suffix, const wchar_t* keyLayout, bool checkArt)
{
    CPicturePanel panel(PanelTemplate().Get(), L"MainPage.xml", nullptr);
    ASSERT_TRUE(panel.Create());
    panel.ShowWindow(SW_SHOWNOACTIVATE);
    const hvtest::Bitmap mainBackground = SkinBitmap("main_bg.bmp");
    ASSERT_FALSE(mainBackground.Empty());

    std::vector<std::wstring> pages = SkinLayoutFiles(L"Mouse_");
    for (const std::wstring& file : SkinLayoutFiles(L"Keyboard_"))
        pages.push_back(file);
    EXPECT_EQ(pages.size(), 9u);
    for (const std::wstring& file : pages) {
        SCOPED_TRACE(Narrow(file));
        CGUIItems page, keys;
        EXPECT_TRUE(LoadLayoutFile(&page, file, &panel, false));
        EXPECT_GT(page.Size(), 5u);
        if (file == L"Keyboard_AssnKeys.xml") {
            EXPECT_TRUE(LoadLayoutFile(&keys, keyLayout, &panel, false));
        }
        hvtest::FlushMessages();
        const hvtest::Bitmap shot = hvtest::CaptureClient(panel);
        ASSERT_EQ(shot.Width(), mainBackground.Width());
        ASSERT_EQ(shot.Height(), mainBackground.Height());
        EXPECT_TRUE(shot.SaveToTestDir(ShotName(L"page", file, suffix)));

        if (checkArt && file == L"Mouse_AdjPerf.xml") {
            // A button: its normal picture around its caption, the caption in the normal colour.
            const CRect button = ItemRect(page, L"BUTTON_SENSITIVITY_STAGES", panel);
            const hvtest::Bitmap buttonArt = SkinBitmap("btn_std_180x32_10151b_n.bmp");
            ASSERT_EQ(button.Size(), CSize(buttonArt.Width(), buttonArt.Height()));
            int differing = 0;
            for (int y = 0; y < buttonArt.Height(); ++y)
                for (int x = 0; x < buttonArt.Width(); ++x)
                    if (y < 4 || y >= buttonArt.Height() - 4 || x < 4 || x >= buttonArt.Width() - 4)
                        differing += !hvtest::ColorNear(shot.At(button.left + x, button.top + y), buttonArt.At(x, y), 1);
            EXPECT_EQ(differing, 0) << "pixels of the button's edge that differ from its picture";
            EXPECT_GT(hvtest::CountPixelsNear(shot, button, FindColorByName(L"WHITE")), 10) << "no caption";

            // A text: the letters in its colour over the page's background, which shows beside them.
            const CRect text = ItemRect(page, L"TEXT_CURRENTDPI", panel);
            ASSERT_FALSE(text.IsRectEmpty());
            EXPECT_GT(hvtest::CountPixelsNear(shot, text, FindColorByName(L"VEXA_TAB_SELECT")), 20) << "no letters";
            differing = 0;
            for (int y = text.top; y < text.bottom; ++y)
                for (int x = text.right - 40; x < text.right; ++x)
                    differing += !hvtest::ColorNear(shot.At(x, y), mainBackground.At(x, y), 1);
            EXPECT_EQ(differing, 0) << "the text hides the background beside its letters";

            // A slider: the track's picture around its fill and its slider, the fill in the track's
            // colours, and the thumb's picture somewhere along the slider.
            const CRect track = ItemRect(page, L"BITMAP_SLSENSTRK_Y", panel);
            const CRect slider = ItemRect(page, L"SLIDER_DPI_MULTI_Y", panel);
            const hvtest::Bitmap trackArt = SkinBitmap("track_440.bmp");
            const hvtest::Bitmap thumbArt = SkinBitmap("thumb.bmp");
            ASSERT_EQ(track.Size(), CSize(trackArt.Width(), trackArt.Height()));
            ASSERT_FALSE(slider.IsRectEmpty() || thumbArt.Empty());
            const CRect fill(track.left + 6, track.top + 11, track.left + 434, track.top + 15);
            const COLORREF fillColours[] = { FindColorByName(L"VEXA_TAB_SELECT"), FindColorByName(L"BLACK") };
            differing = 0;
            int badFill = 0;
            for (int y = track.top; y < track.bottom; ++y) {
                for (int x = track.left; x < track.right; ++x) {
                    const POINT p{ x, y };
                    if (slider.PtInRect(p))
                        continue;
                    const COLORREF seen = shot.At(x, y);
                    if (fill.PtInRect(p))
                        badFill += !hvtest::ColorNear(seen, fillColours[0], 1) && !hvtest::ColorNear(seen, fillColours[1], 1);
                    else
                        differing += !hvtest::ColorNear(seen, trackArt.At(x - track.left, y - track.top), 1);
                }
            }
            EXPECT_EQ(differing, 0) << "pixels of the track that differ from its picture";
            EXPECT_EQ(badFill, 0) << "pixels of the track's fill in neither of its colours";
            bool thumbFound = false;
            for (int x = slider.left; !thumbFound && x + thumbArt.Width() <= slider.right; ++x) {
                bool match = true;
                for (int y = 0; match && y < thumbArt.Height(); ++y)
                    for (int tx = 0; match && tx < thumbArt.Width(); ++tx)
                        match = thumbArt.At(tx, y) == kTransparent ||
                                hvtest::ColorNear(shot.At(x + tx, slider.top + y), thumbArt.At(tx, y), 1);
                thumbFound = match;
            }
            EXPECT_TRUE(thumbFound) << "the thumb's picture is nowhere on the slider";
        }
        if (checkArt && file == L"Mouse_MgProfs.xml") {
            // A list: the border its frame draws round it, its header's captions, and its empty
            // rows in its back colour.
            const CRect list = ItemRect(page, L"LIST_PROFILELIST", panel);
            ASSERT_GT(list.Height(), 100);
            const COLORREF border = FindColorByName(L"VEXA_PANEL_BORDER");
            EXPECT_EQ(hvtest::CountPixelsNear(shot, CRect(list.left - 1, list.bottom, list.right, list.bottom + 1), border, 1),
                      list.Width() + 1) << "the list's bottom border";
            EXPECT_EQ(hvtest::CountPixelsNear(shot, CRect(list.left - 1, list.top - 1, list.left, list.bottom + 1), border, 1),
                      list.Height() + 2) << "the list's left border";
            EXPECT_GT(hvtest::CountPixelsNear(shot, CRect(list.left, list.top, list.right, list.top + 30),
                                              FindColorByName(L"GREY_VX_HEADING"), 1), 20) << "no header captions";
            const CRect rows(list.left + 2, list.top + list.Height() / 2, list.left + list.Width() / 2, list.bottom - 2);
            EXPECT_EQ(hvtest::CountPixelsNear(shot, rows, FindColorByName(L"VEXA_COMBO_BK"), 1), rows.Width() * rows.Height())
                << "the empty rows are not in the list's back colour";
        }
        keys.DeleteAll();
        page.DeleteAll();
    }
    panel.DestroyWindow();

    // Every popup in a panel of its own, as the notice popup above.
    const std::vector<std::wstring> files = SkinLayoutFiles(L"");
    size_t popups = 0;
    for (const std::wstring& file : files) {
        if (file.find(L"Pop") == std::wstring::npos)
            continue;
        ++popups;
        CPicturePanel popup(PanelTemplate().Get(), file.c_str(), nullptr);
        const std::wstring name = ShotName(L"popup", file, suffix);
        const hvtest::Bitmap shot = CheckPanelPicture(popup, { file.c_str(), name.c_str(), 0 });
        EXPECT_FALSE(shot.Empty()) << Narrow(file);
        popup.DestroyWindow();
    }
    EXPECT_GT(popups, 25u);
}

} // namespace

// The pages and popups in English, checked against the artwork, and in German, whose key page shows
// the German key layout.
TEST(SkinPictures, EveryPageAndPopupWithItsItems)
{
    InitNameTables();
    CGUIItems languages;
    ASSERT_TRUE(LoadLayoutFile(&languages, L"Language.xml", nullptr, false));
    for (const wchar_t* language : { L"English", L"German" }) {
        SCOPED_TRACE(Narrow(language));
        CLangTable* table = FindRegisteredLangTable(FindLanguageIdByName(language));
        ASSERT_NE(table, nullptr);
        SetCurrentLangTable(table);
        const bool english = std::wstring(language) == L"English";
        CapturePagesAndPopups(english ? L"" : L"_de", english ? L"KeyboardKeys.xml" : L"KeyboardKeys_DE.xml", english);
    }
    SetCurrentLangTable(nullptr);
    languages.DeleteAll();
}
