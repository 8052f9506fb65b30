// The KEYBOARD KEYS section through the real loader, on a layout, pictures and a keyboard definition
// written by the test: keys cut from the shared whole-keyboard pictures at their own rectangles,
// shaped by the shared mask, captions coloured by the shared states, bound to the definition by
// name (or to nothing), an extra picture, the hover and click messages to the owner, and the list
// rules (no BUTTONBITMAPS, a "windowid" that names no bitmap item, elements without an item name).
#include "controls/BitmapItem.h"
#include "controls/KeyboardKeyItem.h"
#include "core/KeyboardDef.h"
#include "core/NameTables.h"
#include "platform/DialogTemplate.h"
#include "skin/GUIPanel.h"
#include "skin/LayoutLoader.h"

#include "ControlTest.h"
#include "HvTest.h"
#include "RecordingPanel.h"
#include "LayoutTestFiles.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace layouttest;
using controltest::PumpAsProgram;

namespace {

// The state pictures differ in red and green; blue is the x of the pixel in the whole picture, so
// a key shows exactly the columns of its own rectangle.
constexpr int kBoardWidth = 160, kBoardHeight = 50;
struct StatePicture
{
    const wchar_t* file;
    int red, green;
};
constexpr StatePicture kNormal{L"kl_n.bmp", 200, 0};
constexpr StatePicture kOver{L"kl_o.bmp", 0, 200};
constexpr StatePicture kDown{L"kl_d.bmp", 60, 60};
constexpr StatePicture kDisabled{L"kl_x.bmp", 120, 0};
constexpr COLORREF kIcon = RGB(10, 220, 230);
constexpr COLORREF kIconOver = RGB(230, 220, 10);
// Where the board lies in the owner, and the keys in the board (30 x 30 each).
constexpr POINT kBoardAt{5, 5};
constexpr POINT kKeyA{10, 10}, kKeyControl{50, 10}, kKeyUnknown{90, 10};
constexpr int kKeySize = 30;
const CRect kIconPlace(22, 1, 28, 6);  // in the key: above its caption
const CRect kMaskedCorner(0, 0, 6, 6); // in the control key: white in the shared mask

uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

COLORREF PictureAt(const StatePicture& p, int boardX) { return RGB(p.red, p.green, boardX); }

void WritePictures()
{
    for (const StatePicture* p : {&kNormal, &kOver, &kDown, &kDisabled})
        WriteSkinBitmap(p->file, kBoardWidth, kBoardHeight, [p](int x, int) { return Rgb(PictureAt(*p, x)); });
    WriteSkinBitmap(L"kl_m.bmp", kBoardWidth, kBoardHeight, [](int x, int y) {
        return kMaskedCorner.PtInRect({x - kKeyControl.x, y - kKeyControl.y}) ? 0xFFFFFFu : 0u;
    });
    WriteSkinBitmap(L"kl_icon.bmp", 6, 5, [](int, int) { return Rgb(kIcon); });
    WriteSkinBitmap(L"kl_icon_o.bmp", 6, 5, [](int, int) { return Rgb(kIconOver); });
}

std::string Rect(POINT at, int width, int height)
{
    return "<RECT left='" + std::to_string(at.x) + "' top='" + std::to_string(at.y) + "' right='" +
           std::to_string(width) + "' bottom='" + std::to_string(height) + "'/>";
}

const char kButtonBitmaps[] =
    "<BUTTONBITMAPS><SBMN fontclr='YELLOW'>kl_n.bmp</SBMN><SBMO fontclr='PINK'>kl_o.bmp</SBMO>"
    "<SBMD fontclr='ORANGE'>kl_d.bmp</SBMD><SBMDS fontclr='MIDGREY'>kl_x.bmp</SBMDS><SBMM>kl_m.bmp</SBMM>"
    "</BUTTONBITMAPS>";

// The board and a KBDKEYLIST with the given attributes and shared pictures: key A (caption, right
// justified, two lines, lower case, tooltip), the control key (no caption, an extra picture), a key
// the definition does not know, and two elements without an item name.
std::wstring KeyLayout(const wchar_t* file, const std::string& listAttributes, const std::string& bitmaps)
{
    const std::string xml =
        "<ITEMLIST><BITMAPLIST><BITMAPITEM name='BITMAP_MECHKBD' moveable='0'><SBMN>kl_n.bmp</SBMN>" +
        Rect(kBoardAt, kBoardWidth, kBoardHeight) + "</BITMAPITEM></BITMAPLIST>"
        "<KBDKEYLIST " + listAttributes + ">" + bitmaps +
        "<KBDKEY name='BUTTON_KB_A' kbddefid='a A' caption='A' caps='L' justify='R' multiline='1'"
        " tooltip='Key A'>" + Rect(kKeyA, kKeySize, kKeySize) + "</KBDKEY>"
        "<KBDKEY name='BUTTON_KB_LTCTRL' kbddefid='Left Control'>" + Rect(kKeyControl, kKeySize, kKeySize) +
        "<BMPINFO><SBMN>kl_icon.bmp</SBMN><SBMO>kl_icon_o.bmp</SBMO>" +
        Rect({kIconPlace.left, kIconPlace.top}, kIconPlace.Width(), kIconPlace.Height()) + "</BMPINFO></KBDKEY>"
        "<KBDKEY name='BUTTON_KB_B' kbddefid='No such key' caption='?'>" + Rect(kKeyUnknown, kKeySize, kKeySize) +
        "</KBDKEY>"
        "<KBDKEY name='NO_SUCH_ITEM' kbddefid='a A'/><KBDKEY kbddefid='a A'/>"
        "</KBDKEYLIST></ITEMLIST>";
    const std::wstring path = hvtest::TestFile(file);
    WriteText(path, xml);
    return path;
}

// The owner the layout is loaded for: records the keys' messages and the commands the board passes on.
constexpr RECT kOwnerRect = {0, 0, 200, 70};

void LoadDefinition()
{
    KeyFileBuilder keys;
    keys.I32(2).Record(L"a A", 0x1E).Record(L"Left Control", 0x1D);
    ASSERT_TRUE(GetKeyboardDef().Load(keys.bytes.size(), keys.bytes.data()));
}

CKeyboardKeyItem* Key(const CGUIItems& items, const wchar_t* name)
{
    return items.FindAs<CKeyboardKeyItem>(FindItemIdByName(name), ItemKind::KeyboardKeyItem);
}

size_t KeyCount(const CGUIItems& items)
{
    size_t n = 0;
    for (const CGUIItem* item : items)
        n += item->kind == ItemKind::KeyboardKeyItem;
    return n;
}

hvtest::Bitmap Shot(HWND window)
{
    hvtest::FlushMessages(20, 500);
    return hvtest::CaptureClient(window);
}

// The key shows its own columns of the state's picture in its top rows, left of the extra picture.
void ExpectPicture(HWND key, POINT keyAt, const StatePicture& state, const char* what)
{
    SCOPED_TRACE(what);
    const hvtest::Bitmap shot = Shot(key);
    ASSERT_EQ(shot.Width(), kKeySize);
    for (int x = 8; x < 20; ++x)
        for (int y = 0; y < 2; ++y)
            hvtest::ExpectPixelNear(shot, x, y, PictureAt(state, keyAt.x + x), 1);
}

int PixelsOf(HWND key, COLORREF colour)
{
    const hvtest::Bitmap shot = Shot(key);
    return hvtest::CountPixelsNear(shot, CRect(0, 0, shot.Width(), shot.Height()), colour, 0);
}

POINT ScreenPoint(HWND hwnd, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

} // namespace

TEST(KeyListSection, KeysCutFromTheSharedPicturesAndTellTheirOwner)
{
    InitNameTables();
    UseTestSkinFolder();
    WritePictures();
    LoadDefinition();
    const std::wstring path = KeyLayout(L"keys.xml", "windowid='BITMAP_MECHKBD'", kButtonBitmaps);

    hvtest::CRecordingPanel owner(kOwnerRect);
    ASSERT_TRUE(owner.Create());
    CGUIItems items;
    ASSERT_TRUE(LoadLayout(path, &items, &owner, false));
    auto* board = items.FindAs<CBitmapItem>(FindItemIdByName(L"BITMAP_MECHKBD"), ItemKind::BitmapItem);
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(KeyCount(items), 3u) << "elements without an item name build no key";
    CKeyboardKeyItem* keyA = Key(items, L"BUTTON_KB_A");
    CKeyboardKeyItem* control = Key(items, L"BUTTON_KB_LTCTRL");
    CKeyboardKeyItem* unknown = Key(items, L"BUTTON_KB_B");
    ASSERT_TRUE(keyA && control && unknown);

    // Every key: a child of the board with control id 0, the board as its owner, the owner's window
    // for its messages, the item id on its window, a check box that does not toggle, the style of
    // a multi-line, vertically centred button.
    for (CKeyboardKeyItem* key : {keyA, control, unknown}) {
        SCOPED_TRACE(key->id);
        EXPECT_EQ(key->window, key->GetSafeHwnd());
        EXPECT_EQ(key->GetParent(), board->GetSafeHwnd());
        EXPECT_EQ(key->GetDlgCtrlID(), 0);
        EXPECT_EQ(key->owner, static_cast<CWnd*>(board));
        EXPECT_EQ(key->OwnerWindow(), owner.GetSafeHwnd());
        EXPECT_EQ(ItemIdOfWindow(*key), key->id);
        EXPECT_TRUE(key->IsCheckBox());
        EXPECT_FALSE(key->IsToggle());
        EXPECT_EQ(key->GetStyle() & (BS_MULTILINE | BS_VCENTER), static_cast<DWORD>(BS_MULTILINE | BS_VCENTER));
    }
    CRect placed = keyA->GetWindowRect();
    MapWindowPoints(nullptr, *board, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed, CRect(kKeyA, CSize(kKeySize, kKeySize)));

    // Key A: right justified on two lines, lower case, its own tooltip, bound to "a A".
    EXPECT_EQ(keyA->GetStyle() & BS_CENTER, static_cast<DWORD>(BS_RIGHT));
    EXPECT_EQ(keyA->Format(), 0x12012u);
    EXPECT_EQ(keyA->Caption(), L"a");
    EXPECT_EQ(keyA->KeyToolTip(), L"Key A");
    EXPECT_EQ(keyA->ToolTip().Text(), L"Key A");
    ASSERT_NE(keyA->KeyRecord(), nullptr);
    EXPECT_EQ(keyA->KeyRecord()->name, L"a A");
    EXPECT_EQ(keyA->KeyHash(), HashText(L"a A"));
    EXPECT_EQ(keyA->ScanCode(), 0x1Eu);
    // The control key: left justified on one line; without a caption the system names it.
    EXPECT_EQ(control->GetStyle() & BS_CENTER, static_cast<DWORD>(BS_LEFT));
    EXPECT_EQ(control->Format(), 0x12034u);
    ASSERT_NE(control->KeyRecord(), nullptr);
    EXPECT_EQ(control->VirtualKey(), static_cast<UINT>(VK_LCONTROL));
    wchar_t systemName[64] = {};
    ASSERT_GT(GetKeyNameTextW(0x1D << 16, systemName, 64), 0);
    EXPECT_EQ(control->Caption(), systemName);
    EXPECT_EQ(control->ToolTip().Text(), systemName);
    EXPECT_TRUE(control->HasExtraPicture());
    // A name the definition lacks still gives a key, bound to nothing.
    EXPECT_EQ(unknown->KeyRecord(), nullptr);
    EXPECT_EQ(unknown->KeyHash(), 0);
    EXPECT_EQ(unknown->ScanCode(), 0u);
    EXPECT_EQ(unknown->Caption(), L"?");

    // The shared mask shapes the control key only where it is white under that key.
    CRgn region;
    ASSERT_TRUE(region.CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(*control, region), ERROR);
    EXPECT_FALSE(region.PtInRegion(2, 2));
    EXPECT_TRUE(region.PtInRegion(10, 2));
    EXPECT_TRUE(region.PtInRegion(2, 10));

    // Pictures: each key its own columns, the caption in the state's colour, the extra picture.
    ASSERT_TRUE(hvtest::PrepareTarget(owner, {195, 65}));
    ExpectPicture(*keyA, kKeyA, kNormal, "key A normal");
    ExpectPicture(*control, kKeyControl, kNormal, "control key normal");
    ExpectPicture(*unknown, kKeyUnknown, kNormal, "unknown key normal");
    EXPECT_GT(PixelsOf(*keyA, FindColorByName(L"YELLOW")), 5) << "caption in the normal colour";
    hvtest::ExpectRectNear(Shot(*control), kIconPlace, kIcon);
    // Where the mask cuts the control key, the board shows through (its own picture is the normal
    // one); a button colour there would be an erase that nothing clipped.
    const hvtest::Bitmap boardShot = Shot(*board);
    for (int y = 1; y < kMaskedCorner.bottom - 1; ++y)
        for (int x = 1; x < kMaskedCorner.right - 1; ++x)
            hvtest::ExpectPixelNear(boardShot, kKeyControl.x + x, kKeyControl.y + y, PictureAt(kNormal, kKeyControl.x + x), 1);
    hvtest::CaptureClient(owner).SaveToTestDir(L"key_list_normal.bmp");

    // The pointer over the control key: its owner hears of it; over picture, caption and icon.
    owner.received.clear();
    ASSERT_TRUE(hvtest::MoveCursorTo(ScreenPoint(*control, 12, 25)));
    hvtest::FlushMessages();
    ASSERT_GE(owner.Count(WM_KBDKEY_HOVER), 1u);
    EXPECT_EQ(owner.received.front().message, static_cast<UINT>(WM_KBDKEY_HOVER));
    EXPECT_EQ(owner.received.front().wParam, 0u);
    EXPECT_EQ(owner.received.front().lParam, control->id);
    ExpectPicture(*control, kKeyControl, kOver, "control key hovered");
    EXPECT_GT(PixelsOf(*control, FindColorByName(L"PINK")), 5) << "caption in the over colour";
    hvtest::ExpectRectNear(Shot(*control), kIconPlace, kIconOver);

    // A click on key A: the owner hears of it; the key stays unchecked; the board passes the key's
    // command on to the owner, which finds the key by the id on its window.
    owner.received.clear();
    ASSERT_TRUE(hvtest::Click(*keyA, {5, 25}));
    hvtest::FlushMessages();
    ASSERT_EQ(owner.Count(WM_KBDKEY_CLICKED), 1u);
    ASSERT_EQ(owner.Count(WM_COMMAND), 1u);
    for (const hvtest::RecordedMsg& r : owner.received) {
        if (r.message == WM_KBDKEY_CLICKED) {
            EXPECT_EQ(r.lParam, keyA->id);
        }
        if (r.message == WM_COMMAND) {
            EXPECT_EQ(r.wParam, MAKEWPARAM(0, BN_CLICKED));
            EXPECT_EQ(ItemIdOfWindow(reinterpret_cast<HWND>(r.lParam)), keyA->id);
        }
    }
    EXPECT_FALSE(keyA->IsChecked());
    ASSERT_TRUE(hvtest::MoveCursorTo(ScreenPoint(owner, 195, 65)));
    hvtest::FlushMessages();
    keyA->SetState(true);
    ExpectPicture(*keyA, kKeyA, kDown, "key A checked");
    EXPECT_GT(PixelsOf(*keyA, FindColorByName(L"ORANGE")), 5) << "caption in the down colour";
    hvtest::CaptureClient(owner).SaveToTestDir(L"key_list_checked.bmp");
    items.DeleteAll();
    owner.DestroyWindow();
}

TEST(KeyListSection, NoKeysWithoutSharedPicturesAndTheOwnerAsParent)
{
    InitNameTables();
    UseTestSkinFolder();
    WritePictures();
    LoadDefinition();
    hvtest::CRecordingPanel owner(kOwnerRect);
    ASSERT_TRUE(owner.Create());
    ASSERT_TRUE(hvtest::PrepareTarget(owner, {195, 65}));

    // Without BUTTONBITMAPS no key is built; the board is.
    {
        CGUIItems items;
        ASSERT_TRUE(LoadLayout(KeyLayout(L"no_bitmaps.xml", "windowid='BITMAP_MECHKBD'", ""), &items, &owner, false));
        EXPECT_EQ(items.Size(), 1u);
        EXPECT_EQ(KeyCount(items), 0u);
    }
    // A "windowid" that names no bitmap item, or none at all: the keys are the owner's children,
    // cut from the shared pictures at the same rectangles.
    for (const char* attributes : {"windowid='BUTTON_KB_ESC'", "windowid='NO_SUCH_ITEM'", ""}) {
        SCOPED_TRACE(attributes);
        CGUIItems items;
        ASSERT_TRUE(LoadLayout(KeyLayout(L"on_owner.xml", attributes, kButtonBitmaps), &items, &owner, false));
        EXPECT_EQ(KeyCount(items), 3u);
        CKeyboardKeyItem* keyA = Key(items, L"BUTTON_KB_A");
        ASSERT_NE(keyA, nullptr);
        EXPECT_EQ(keyA->GetParent(), owner.GetSafeHwnd());
        EXPECT_EQ(keyA->owner, static_cast<CWnd*>(&owner));
        EXPECT_EQ(keyA->OwnerWindow(), owner.GetSafeHwnd());
        ExpectPicture(*keyA, kKeyA, kNormal, "key A on the owner");
    }
    owner.DestroyWindow();
}

namespace {

BOOL CALLBACK CollectToolTip(HWND hwnd, LPARAM list)
{
    if (_wcsicmp(hvtest::ClassNameOf(hwnd).c_str(), TOOLTIPS_CLASSW) == 0)
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

// The tooltip controls among this thread's windows.
std::vector<HWND> ToolTipWindows()
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), CollectToolTip, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A real pointer move to a point of window, left for PumpAsProgram to deliver (an absolute move:
// 0..65535 across the screen, rounded up so that it lands on the pixel itself).
bool SendMoveTo(HWND window, POINT client)
{
    const POINT screen = ScreenPoint(window, client.x, client.y);
    auto normalised = [](LONG value, int extent) { return LONG((LONGLONG(value) * 65536 + extent - 1) / extent); };
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = normalised(screen.x, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = normalised(screen.y, GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return SendInput(1, &input, sizeof(input)) == 1;
}

// The item and text of the tool the control shows now; a null item when it shows none.
struct Shown
{
    HWND item = nullptr;
    std::wstring text;
};
Shown ShownTool(HWND tip)
{
    wchar_t text[80] = {};
    TTTOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.lpszText = text;
    if (!IsWindowVisible(tip) || !SendMessageW(tip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&info)))
        return Shown();
    return Shown{info.hwnd, text};
}

// A board of keys that all have a text: 20 with a tooltip of their own, the others with their
// caption as tooltip, and a button beside the board with a tooltip.
constexpr const wchar_t* kTipKeys[] = {L"Q", L"W", L"E", L"R", L"T", L"Y", L"U", L"I", L"O", L"P",
                                       L"A", L"S", L"D", L"F", L"G", L"H", L"J", L"K", L"L", L"Z"};
constexpr const wchar_t* kCaptionKeys[] = {L"X", L"C", L"V", L"B", L"N", L"M"};
constexpr int kTipKeySize = 14;

std::wstring ManyKeysLayout()
{
    std::string keys;
    int column = 0;
    auto add = [&](const wchar_t* letter, bool ownTip) {
        const std::string l = wstr::WideToUtf8(letter);
        const POINT at{2 + (column % 10) * 15, 2 + (column / 10) * 15};
        ++column;
        keys += "<KBDKEY name='BUTTON_KB_" + l + "' kbddefid='a A' caption='" + l + "'" +
                (ownTip ? " tooltip='Tip " + l + "'" : std::string()) + ">" + Rect(at, kTipKeySize, kTipKeySize) +
                "</KBDKEY>";
    };
    for (const wchar_t* letter : kTipKeys)
        add(letter, true);
    for (const wchar_t* letter : kCaptionKeys)
        add(letter, false);
    const std::string xml =
        "<ITEMLIST><BITMAPLIST><BITMAPITEM name='BITMAP_MECHKBD' moveable='0'><SBMN>kl_n.bmp</SBMN>" +
        Rect(kBoardAt, kBoardWidth, kBoardHeight) + "</BITMAPITEM></BITMAPLIST>"
        "<BUTTONLIST><BUTTON name='BUTTON_APPLY' tooltip='Apply tip'><SBMN>kl_icon.bmp</SBMN>" +
        Rect({170, 10}, 6, 5) + "</BUTTON></BUTTONLIST>"
        "<KBDKEYLIST windowid='BITMAP_MECHKBD'>" + std::string(kButtonBitmaps) + keys + "</KBDKEYLIST></ITEMLIST>";
    const std::wstring path = hvtest::TestFile(L"many_keys.xml");
    WriteText(path, xml);
    return path;
}

} // namespace

TEST(KeyListSection, OneTooltipControlShowsTheTextOfTheItemUnderThePointer)
{
    InitNameTables();
    UseTestSkinFolder();
    WritePictures();
    LoadDefinition();
    const std::wstring path = ManyKeysLayout();
    ASSERT_TRUE(ToolTipWindows().empty()) << "a tooltip left by an earlier test";

    hvtest::CRecordingPanel owner(kOwnerRect);
    ASSERT_TRUE(owner.Create());
    CGUIItems items;
    ASSERT_TRUE(LoadLayout(path, &items, &owner, false));
    ASSERT_EQ(KeyCount(items), std::size(kTipKeys) + std::size(kCaptionKeys));
    auto* apply = items.FindAs<CBitmapBtn>(FindItemIdByName(L"BUTTON_APPLY"), ItemKind::BitmapBtn);
    CKeyboardKeyItem* first = Key(items, L"BUTTON_KB_Q");
    CKeyboardKeyItem* second = Key(items, L"BUTTON_KB_A");
    CKeyboardKeyItem* captioned = Key(items, L"BUTTON_KB_M");
    ASSERT_TRUE(apply && first && second && captioned);
    EXPECT_EQ(first->ToolTip().Text(), L"Tip Q");
    EXPECT_EQ(captioned->ToolTip().Text(), L"M");
    EXPECT_EQ(apply->ToolTip().Text(), L"Apply tip");

    // Every item has its text, and no tooltip window exists before the pointer comes.
    ASSERT_TRUE(hvtest::PrepareTarget(owner, {195, 65}));
    PumpAsProgram([] { return false; }, 100);
    EXPECT_TRUE(ToolTipWindows().empty());
    for (const CGUIItem* item : items) {
        if (item->kind == ItemKind::KeyboardKeyItem) {
            EXPECT_EQ(static_cast<const CKeyboardKeyItem*>(item)->ToolTip().Window(), nullptr);
        }
    }

    // The pointer rests on a key: the panel's one tooltip control shows that key's text.
    ASSERT_TRUE(SendMoveTo(*first, {7, 7}));
    HWND tip = nullptr;
    EXPECT_TRUE(PumpAsProgram([&] {
        const std::vector<HWND> tips = ToolTipWindows();
        tip = tips.size() == 1 ? tips.front() : nullptr;
        return tip && ShownTool(tip).item == first->GetSafeHwnd() && ShownTool(tip).text == L"Tip Q";
    })) << "no tooltip showing the first key's text";
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), owner.GetSafeHwnd());
    EXPECT_EQ(first->ToolTip().Window(), tip);
    EXPECT_TRUE(hvtest::CaptureWindow(tip).SaveToTestDir(L"key_tooltip_first.bmp"));

    // On to a key of the next row (a user's move arrives as several): the same control shows it.
    ASSERT_TRUE(SendMoveTo(*second, {6, 6}));
    ASSERT_TRUE(SendMoveTo(*second, {7, 7}));
    EXPECT_TRUE(PumpAsProgram([&] {
        return ShownTool(tip).item == second->GetSafeHwnd() && ShownTool(tip).text == L"Tip A";
    })) << "the tooltip does not show the second key's text";
    EXPECT_EQ(ToolTipWindows(), std::vector<HWND>{tip});
    EXPECT_EQ(second->ToolTip().Window(), tip);
    EXPECT_TRUE(hvtest::CaptureWindow(tip).SaveToTestDir(L"key_tooltip_second.bmp"));

    // A key whose caption is its tooltip, and the button beside the board: the same control.
    ASSERT_TRUE(SendMoveTo(*captioned, {6, 6}));
    ASSERT_TRUE(SendMoveTo(*captioned, {7, 7}));
    EXPECT_TRUE(PumpAsProgram([&] { return ShownTool(tip).text == L"M"; }));
    ASSERT_TRUE(SendMoveTo(*apply, {2, 2}));
    ASSERT_TRUE(SendMoveTo(*apply, {3, 3}));
    EXPECT_TRUE(PumpAsProgram([&] {
        return ShownTool(tip).item == apply->GetSafeHwnd() && ShownTool(tip).text == L"Apply tip";
    })) << "the tooltip does not show the button's text";
    EXPECT_EQ(ToolTipWindows(), std::vector<HWND>{tip});
    // Only the items the pointer came over have a tool.
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 4);
    EXPECT_EQ(Key(items, L"BUTTON_KB_W")->ToolTip().Window(), nullptr);

    // The panel goes while its items live: the tooltip goes with it and nothing keeps its handle.
    ASSERT_TRUE(SendMoveTo(owner, {195, 65}));
    PumpAsProgram([] { return false; }, 100);
    owner.DestroyWindow();
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_TRUE(ToolTipWindows().empty());
    for (const CGUIItem* item : items) {
        if (item->kind == ItemKind::KeyboardKeyItem) {
            EXPECT_EQ(static_cast<const CKeyboardKeyItem*>(item)->ToolTip().Window(), nullptr);
        }
    }
    EXPECT_EQ(apply->ToolTip().Window(), nullptr);
    items.DeleteAll();
    EXPECT_TRUE(ToolTipWindows().empty());
}

TEST(KeyListSection, AKeyShowsExactlyItsRectangleOfTheSharedPictureInEveryState)
{
    InitNameTables();
    UseTestSkinFolder();
    WritePictures();
    LoadDefinition();
    hvtest::CRecordingPanel owner(kOwnerRect);
    ASSERT_TRUE(owner.Create());
    ASSERT_TRUE(hvtest::PrepareTarget(owner, {195, 65}));

    // With and without the shared mask: two keys without caption or extra picture, so that every
    // pixel is the picture's; one where the mask is black, one under the mask's white corner.
    const std::string unmasked = std::string(kButtonBitmaps).replace(std::string(kButtonBitmaps).find("<SBMM>"),
                                                                     std::string("<SBMM>kl_m.bmp</SBMM>").size(), "");
    for (const std::string& bitmaps : {std::string(kButtonBitmaps), unmasked}) {
        const bool withMask = bitmaps.find("SBMM") != std::string::npos;
        SCOPED_TRACE(withMask ? "with the mask" : "without a mask");
        const std::string xml =
            "<ITEMLIST><BITMAPLIST><BITMAPITEM name='BITMAP_MECHKBD' moveable='0'><SBMN>kl_n.bmp</SBMN>" +
            Rect(kBoardAt, kBoardWidth, kBoardHeight) + "</BITMAPITEM></BITMAPLIST>"
            "<KBDKEYLIST windowid='BITMAP_MECHKBD'>" + bitmaps +
            "<KBDKEY name='BUTTON_KB_SPACE' kbddefid='No such key'>" + Rect(kKeyA, kKeySize, kKeySize) + "</KBDKEY>"
            "<KBDKEY name='BUTTON_KB_MENU' kbddefid='No such key'>" + Rect(kKeyControl, kKeySize, kKeySize) +
            "</KBDKEY></KBDKEYLIST></ITEMLIST>";
        const std::wstring path = hvtest::TestFile(L"blank_keys.xml");
        WriteText(path, xml);
        CGUIItems items;
        ASSERT_TRUE(LoadLayout(path, &items, &owner, false));
        CKeyboardKeyItem* plain = Key(items, L"BUTTON_KB_SPACE");
        CKeyboardKeyItem* cornered = Key(items, L"BUTTON_KB_MENU");
        ASSERT_TRUE(plain && cornered);
        EXPECT_TRUE(plain->Caption().empty());

        // Every pixel of the key is the state's picture at the same place of the board; where the
        // mask is white, what lies beneath shows: the board, whose picture is the normal one.
        auto expectKey = [&](CKeyboardKeyItem& key, POINT keyAt, const StatePicture& state, const char* what) {
            SCOPED_TRACE(what);
            const bool shaped = withMask && &key == cornered;
            const hvtest::Bitmap shot = Shot(key);
            ASSERT_EQ(shot.Width(), kKeySize);
            ASSERT_EQ(shot.Height(), kKeySize);
            int differing = 0;
            for (int y = 0; y < kKeySize; ++y)
                for (int x = 0; x < kKeySize; ++x) {
                    const bool beneath = shaped && kMaskedCorner.PtInRect({x, y});
                    differing += !hvtest::ColorNear(shot.At(x, y), PictureAt(beneath ? kNormal : state, keyAt.x + x), 0);
                }
            EXPECT_EQ(differing, 0) << "pixels of the key that differ from its rectangle of the picture";
        };
        for (CKeyboardKeyItem* key : {plain, cornered}) {
            const POINT at = key == plain ? kKeyA : kKeyControl;
            expectKey(*key, at, kNormal, "normal");
            key->SetHighlighted(true);
            expectKey(*key, at, kOver, "highlighted");
            key->SetHighlighted(false);
            key->SetState(true);
            expectKey(*key, at, kDown, "checked");
            ASSERT_TRUE(hvtest::MoveCursorTo(ScreenPoint(*key, 15, 20)));
            EXPECT_TRUE(key->IsHover());
            expectKey(*key, at, kOver, "checked, under the pointer");
            key->SetState(false);
            expectKey(*key, at, kOver, "under the pointer");
            if (withMask && key == cornered)
                hvtest::CaptureClient(owner).SaveToTestDir(L"key_list_masked_key_over.bmp");
            ASSERT_TRUE(hvtest::MoveCursorTo(ScreenPoint(owner, 195, 65)));
            expectKey(*key, at, kNormal, "after the pointer left");
        }
        items.DeleteAll();
    }
    owner.DestroyWindow();
}
