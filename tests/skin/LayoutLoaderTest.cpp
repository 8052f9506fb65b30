// The layout loader and its first sections, on layout files written by the test: roots, progress,
// panel bitmaps, fonts, languages, the keyboard definition and layouts, and what a broken file or a
// lock that cannot be had leaves behind.
#include "core/KeyboardDef.h"
#include "core/NameTables.h"
#include "platform/Thread.h"
#include "skin/FontItem.h"
#include "skin/GUIItem.h"
#include "skin/KeyboardDefItem.h"
#include "skin/KeyboardLayouts.h"
#include "skin/LangTable.h"
#include "skin/LayoutLoader.h"
#include "skin/LayoutReaders.h"
#include "skin/LayoutSections.h"
#include "skin/PanelBitmap.h"

#include "HvTest.h"
#include "ImportPatch.h"
#include "LayoutTestFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <memory>
#include <string>

using namespace layouttest;

namespace {

std::wstring TestLayout(const std::wstring& name, const std::string& xml)
{
    std::wstring path = hvtest::TestFile(name);
    WriteText(path, xml);
    return path;
}

void ExpectNoLoadLeftOver()
{
    EXPECT_EQ(CurrentProgressSource(), nullptr);
    EXPECT_EQ(RegisteredMessengerCount(), 0u);
}

// Listens to layout progress for the scope.
class ListeningTo
{
public:
    explicit ListeningTo(HWND window) { SetLoaderProgressWindow(window); }
    ~ListeningTo() { SetLoaderProgressWindow(nullptr); }
};

uint32_t Checker(int x, int y) { return ((x / 4 + y / 4) % 2) ? 0x000000 : 0xFFFFFF; }

} // namespace

TEST(LayoutLoader, RootsAndProgressSequence)
{
    ProgressRecorder recorder;
    ListeningTo listening(recorder.Window());
    CGUIItems items;

    // An ITEMLIST without sections loads and builds nothing; the listener sees the whole sequence.
    std::wstring empty = TestLayout(L"empty.xml", "<?xml version='1.0'?>\n<ITEMLIST><UNKNOWN/></ITEMLIST>");
    EXPECT_TRUE(LoadLayout(empty, &items, nullptr, true));
    EXPECT_TRUE(items.Empty());
    EXPECT_EQ(recorder.events, ProgressRecorder::FullSequence("empty.xml"));
    ExpectNoLoadLeftOver();

    // Without the progress flag nothing is reported.
    recorder.events.clear();
    EXPECT_TRUE(LoadLayout(empty, &items, nullptr, false));
    EXPECT_TRUE(recorder.events.empty());
    // No item list: false at once, nothing reported.
    EXPECT_FALSE(LoadLayout(empty, nullptr, nullptr, true));
    EXPECT_TRUE(recorder.events.empty());
    ExpectNoLoadLeftOver();

    // Roots are compared with case; an unknown root fails after the file name was reported.
    for (const char* root : {"itemlist", "GuiPanel", "LAYOUT"}) {
        recorder.events.clear();
        std::wstring path = TestLayout(L"root.xml", std::string("<") + root +
                                                            "><FONTLIST><FONT name='FONT_ARIAL12'/></FONTLIST></" +
                                                            root + ">");
        EXPECT_FALSE(LoadLayout(path, &items, nullptr, true)) << root;
        EXPECT_TRUE(items.Empty()) << root;
        EXPECT_EQ(recorder.events, std::vector<std::string>{"text:root.xml"}) << root;
    }

    // A malformed or missing file fails without a progress text.
    recorder.events.clear();
    std::wstring broken = TestLayout(L"broken.xml", "<ITEMLIST><FONTLIST><FONT name='FONT_ARIAL12'></FONTLIST>");
    EXPECT_FALSE(LoadLayout(broken, &items, nullptr, true));
    EXPECT_FALSE(LoadLayout(hvtest::TestFile(L"no_such_layout.xml"), &items, nullptr, true));
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_TRUE(items.Empty());
    ExpectNoLoadLeftOver();
}

// Loads tried again and again, failing or not, give back what they made: every load's progress
// messenger closes its mutex, and the fonts go with their items; the panel bitmaps, also those of a
// panel whose MASK failed after its BACKGROUND was built, borrow the skin cache's picture and leave
// it alive. Wine's GetGuiResources and
// GetProcessHandleCount read 0, so the objects are followed one by one.
TEST(LayoutLoader, RepeatedLoadsGiveBackWhatTheyMade)
{
    WriteSkinBitmap(L"bg_leak.bmp", 8, 8, Checker);
    std::wstring empty = TestLayout(L"leak_empty.xml", "<ITEMLIST><UNKNOWN/></ITEMLIST>");
    std::wstring broken = TestLayout(L"leak_broken.xml", "<ITEMLIST><FONTLIST><FONT name='FONT_ARIAL12'></FONTLIST>");
    std::wstring noMask = TestLayout(L"leak_nomask.xml",
                                     "<GUIPANEL><BACKGROUND>bg_leak.bmp</BACKGROUND><MASK>missing.bmp</MASK></GUIPANEL>");
    std::wstring panel = TestLayout(L"leak_panel.xml",
                                    "<GUIPANEL><BACKGROUND>bg_leak.bmp</BACKGROUND><MASK>bg_leak.bmp</MASK>"
                                    "<FONTLIST><FONT name='FONT_ARIAL12'/><FONT name='FONT_ARIAL14B' pitch='14'/>"
                                    "</FONTLIST></GUIPANEL>");
    CMutexHandleCounter mutexes;
    CGdiDeleteCounter deletes;
    ASSERT_TRUE(mutexes.IsActive());
    ASSERT_TRUE(deletes.IsActive());

    constexpr int kRounds = 30;
    std::map<HANDLE, int> made;  // the GDI objects the items held, with how often each was made
    std::set<HBITMAP> borrowed;  // the pictures the panel bitmaps showed
    for (int i = 0; i < kRounds && !HasFatalFailure(); ++i) {
        CGUIItems items;
        EXPECT_FALSE(LoadLayout(broken, &items, nullptr, true));
        EXPECT_TRUE(LoadLayout(empty, &items, nullptr, true));
        EXPECT_FALSE(LoadLayout(noMask, &items, nullptr, true));
        EXPECT_TRUE(LoadLayout(panel, &items, nullptr, true));
        // The failed panel's BACKGROUND, the full panel's BACKGROUND and MASK, two fonts.
        ASSERT_EQ(items.Size(), 5u);
        for (CGUIItem* item : items) {
            if (auto* bitmap = dynamic_cast<CPanelBitmap*>(item))
                borrowed.insert(bitmap->GetSafeHandle());
            else if (auto* font = dynamic_cast<CFontItem*>(item))
                ++made[font->GetSafeHandle()];
        }
    }
    ExpectNoLoadLeftOver();

    size_t objects = 0;
    for (const auto& [handle, count] : made) {
        objects += count;
        EXPECT_EQ(GetObjectType(handle), 0u) << handle;
        EXPECT_EQ(deletes.Deletes(handle), count) << handle;
    }
    EXPECT_EQ(objects, kRounds * 2u);
    ASSERT_EQ(borrowed.size(), 1u);
    const HBITMAP picture = *borrowed.begin();
    EXPECT_EQ(picture, GetSkinResourceCache().Get(L"bg_leak.bmp", SkinResourcePicture)->bitmap.Get());
    EXPECT_EQ(GetObjectType(picture), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(deletes.Deletes(picture), 0);

    // One messenger per load, failed loads included; each closes its mutex once.
    size_t created = 0;
    for (const auto& [handle, count] : mutexes.Created()) {
        created += count;
        EXPECT_EQ(mutexes.Closes(handle), count) << handle;
    }
    EXPECT_EQ(created, kRounds * 4u);
}

TEST(LayoutLoader, GuiPanelNeedsBackgroundAndMask)
{
    WriteSkinBitmap(L"bg_small.bmp", 8, 8, Checker);
    CGUIItems items;

    // BACKGROUND and MASK and no sections: exactly the two panel bitmaps.
    std::wstring both = TestLayout(L"panel.xml",
                                   "<GUIPANEL><BACKGROUND> bg_small.bmp </BACKGROUND><MASK>bg_small.bmp</MASK>"
                                   "</GUIPANEL>");
    ASSERT_TRUE(LoadLayout(both, &items, nullptr, false));
    ASSERT_EQ(items.Size(), 2u);
    EXPECT_EQ(items.At(0)->id, kBackgroundItemId);
    EXPECT_EQ(items.At(1)->id, kMaskItemId);
    for (CGUIItem* item : items) {
        EXPECT_EQ(item->kind, ItemKind::PanelBitmap);
        EXPECT_EQ(item->window, nullptr);
        auto* bitmap = dynamic_cast<CPanelBitmap*>(item);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->GetSize(), CSize(8, 8));
        EXPECT_EQ(bitmap->GetSafeHandle(), bitmap->SourceBitmap());  // the skin cache's, no copy
    }
    items.DeleteAll();

    // Without a loadable MASK the load fails; the BACKGROUND built before stays, no section runs.
    std::wstring noMask = TestLayout(L"nomask.xml",
                                     "<GUIPANEL><BACKGROUND>bg_small.bmp</BACKGROUND><MASK>missing.bmp</MASK>"
                                     "<FONTLIST><FONT name='FONT_ARIAL12'/></FONTLIST></GUIPANEL>");
    EXPECT_FALSE(LoadLayout(noMask, &items, nullptr, false));
    ASSERT_EQ(items.Size(), 1u);
    EXPECT_EQ(items.At(0)->id, kBackgroundItemId);
    items.DeleteAll();

    std::wstring noBackground = TestLayout(L"nobg.xml",
                                           "<GUIPANEL><MASK>bg_small.bmp</MASK>"
                                           "<FONTLIST><FONT name='FONT_ARIAL12'/></FONTLIST></GUIPANEL>");
    EXPECT_FALSE(LoadLayout(noBackground, &items, nullptr, false));
    EXPECT_TRUE(items.Empty());
}

TEST(LayoutLoader, FontsAndSectionRules)
{
    CGUIItems items;
    std::string longFace(40, 'F');
    std::wstring path = TestLayout(
        L"fonts.xml",
        "<ITEMLIST>"
        "<FONTLIST>"
        "  <FONT name='FONT_ARIAL14B' typeface='Arial' pitch='14' boldlevel='700' width='6'/>"
        "  <FONT name='FONT_ARIAL12' pitch='-3' boldlevel='0'/>"
        "  <FONT name='NOT_A_FONT_NAME' pitch='20'/>"
        "  <FONT pitch='20'/>"
        "  <OTHER name='FONT_ARIAL16'/>"
        "  <FONT name='FONT_ARIAL16' typeface='" + longFace + "'/>"
        "</FONTLIST>"
        "<FONTLIST><FONT name='FONT_ARIAL13B'/></FONTLIST>"
        "<BUTTONLIST><BUTTON name='BUTTON_OK'><SBMN>x.bmp</SBMN></BUTTON></BUTTONLIST>"
        "</ITEMLIST>");
    ASSERT_TRUE(LoadLayout(path, &items, nullptr, false));
    // Only the first FONTLIST is read; unknown names and other elements are skipped; the sections
    // whose items come later build nothing.
    ASSERT_EQ(items.Size(), 3u);

    auto* bold = items.FindAs<CFontItem>(ItemId(L"FONT_ARIAL14B"), ItemKind::FontItem);
    ASSERT_NE(bold, nullptr);
    LOGFONTW lf = {};
    ASSERT_TRUE(bold->GetLogFont(&lf));
    EXPECT_EQ(lf.lfHeight, 14);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfWidth, 6);
    EXPECT_STREQ(lf.lfFaceName, L"Arial");
    EXPECT_EQ(lf.lfPitchAndFamily, FF_SWISS | DEFAULT_PITCH);
    EXPECT_EQ(bold->window, nullptr);

    auto* plain = items.FindAs<CFontItem>(ItemId(L"FONT_ARIAL12"), ItemKind::FontItem);
    ASSERT_NE(plain, nullptr);
    ASSERT_TRUE(plain->GetLogFont(&lf));
    EXPECT_EQ(lf.lfHeight, 0);  // the system's default height
    EXPECT_EQ(lf.lfWeight, 0);

    auto* longName = items.FindAs<CFontItem>(ItemId(L"FONT_ARIAL16"), ItemKind::FontItem);
    ASSERT_NE(longName, nullptr);
    ASSERT_TRUE(longName->GetLogFont(&lf));
    EXPECT_EQ(std::wstring(lf.lfFaceName), std::wstring(31, L'F'));

    EXPECT_EQ(items.FindById(ItemId(L"FONT_ARIAL13B")), nullptr);
    EXPECT_EQ(items.FindById(ItemId(L"BUTTON_OK")), nullptr);
}

TEST(LayoutLoader, LanguageListWithOverridesAndFontReplacements)
{
    WriteLanguageFile(L"english.txt", {L"English", L"version 1", L"Hello", L"Hello there", L"Insert Delay",
                                          L"Insert a delay", L"END OF FILE"});
    WriteLanguageFile(L"german.txt", {L"Deutsch", L"version 1", L"Hello", L"Hallo", L"end of file", L"x", L"y"});
    WriteLanguageFile(L"empty_language.txt", {});
    const std::string langList =
        "<ITEMLIST><LANGLIST>"
        " <LANG name='LANGUAGE_DEFAULT' file=' english.txt '>"
        "  <LANGFONT fontsearch='FONT_ARIAL12' fontreplace='FONT_ARIAL14'/>"
        "  <LANGFONT fontsearch='FONT_ARIAL12B' fontreplace='NOT_A_FONT'/>"
        "  <LANGOVERRIDE name='BUTTON_OK' caps='U'/>"
        "  <LANGOVERRIDE name='BUTTON_CANCEL'><RECT left='5' top='6' right='70' bottom='20'/></LANGOVERRIDE>"
        "  <LANGOVERRIDE name='BUTTON_APPLY'><SBMN>apply.bmp</SBMN><SBMD> apply_down.bmp</SBMD></LANGOVERRIDE>"
        "  <LANGOVERRIDE name='BUTTON_HELP' caps='U' multiline='1'/>"
        "  <LANGOVERRIDE name='NOT_AN_ITEM' caps='U'/>"
        "  <LANGOVERRIDECOL name='LCITEM_PROFILECURRENT' width='77'/>"
        "  <LANGOVERRIDECOL name='NOT_A_COLUMN' width='5'/>"
        " </LANG>"
        " <LANG name='LANGUAGE_GERMAN' file='german.txt'><LANGOVERRIDE name='BUTTON_OK' caps='L'/></LANG>"
        " <LANG name='LANGUAGE_FRENCH' file='no_such_language.txt'/>"
        " <LANG name='LANGUAGE_NOT_THERE' file='german.txt'/>"
        " <LANG name='LANGUAGE_KOREAN' file='german.txt'/>"
        " <LANG name='LANGUAGE_JAPANESE' file='empty_language.txt'/>"
        "</LANGLIST></ITEMLIST>";
    std::wstring path = TestLayout(L"Language.xml", langList);

    auto items = std::make_unique<CGUIItems>();
    ASSERT_TRUE(LoadLayout(path, items.get(), nullptr, false));
    // The unknown name is skipped; the missing file and the empty one give the English texts.
    ASSERT_EQ(items->Size(), 5u);
    const int32_t english = ItemId(L"LANGUAGE_DEFAULT");
    const int32_t german = ItemId(L"LANGUAGE_GERMAN");
    CLangTable* en = FindRegisteredLangTable(english);
    CLangTable* de = FindRegisteredLangTable(german);
    ASSERT_NE(en, nullptr);
    ASSERT_NE(de, nullptr);
    EXPECT_EQ(items->FindAs<CLangTable>(english, ItemKind::LangTable), en);
    EXPECT_EQ(en->window, nullptr);
    EXPECT_EQ(en->Header(), L"English");
    EXPECT_EQ(de->PairCount(), 1u);  // "end of file" ends it whatever its case

    // Font replacement: only where both names are fonts.
    EXPECT_EQ(en->MapItemId(ItemId(L"FONT_ARIAL12")), ItemId(L"FONT_ARIAL14"));
    EXPECT_EQ(en->MapItemId(ItemId(L"FONT_ARIAL12B")), ItemId(L"FONT_ARIAL12B"));
    // The three override forms; other shapes are ignored.
    auto text = [](const void* data) { return data ? std::wstring(static_cast<const wchar_t*>(data)) : L"<none>"; };
    EXPECT_EQ(text(en->FindOverride(ItemId(L"BUTTON_OK"), L"caps")), L"U");
    EXPECT_EQ(text(en->FindOverride(ItemId(L"BUTTON_APPLY"), L"SBMN")), L"apply.bmp");
    EXPECT_NE(en->FindOverride(ItemId(L"BUTTON_APPLY"), L"SBMD"), nullptr);
    EXPECT_EQ(en->FindOverride(ItemId(L"BUTTON_APPLY"), L"SBMO"), nullptr);
    EXPECT_EQ(en->FindOverride(ItemId(L"BUTTON_HELP"), L"caps"), nullptr);
    EXPECT_EQ(en->FindOverride(ItemId(L"BUTTON_HELP"), L"multiline"), nullptr);
    EXPECT_EQ(text(en->FindWidthOverride(FindListColumnId(L"LCITEM_PROFILECURRENT"))), L"77");

    pugi::xml_document button;
    ASSERT_TRUE(button.load_string("<BUTTON caps='L'><RECT left='1' top='1' right='1' bottom='1'/></BUTTON>"));
    SetCurrentLangTable(en);
    std::wstring out;
    EXPECT_TRUE(TranslateText(L"$hello", out));
    EXPECT_EQ(out, L"Hello there");
    EXPECT_TRUE(TranslateText(L"$InsertDelay", out));
    EXPECT_EQ(out, L"Insert a delay");
    EXPECT_EQ(layout::ReadCaps(button.document_element(), ItemId(L"BUTTON_OK")), 1);
    EXPECT_EQ(layout::ReadCaps(button.document_element(), ItemId(L"BUTTON_CANCEL")), 2);
    EXPECT_EQ(layout::ReadRect(button.document_element(), ItemId(L"BUTTON_CANCEL")), CRect(5, 6, 75, 26));
    EXPECT_EQ(layout::ReadRect(button.document_element(), ItemId(L"BUTTON_OK")), CRect(1, 1, 2, 2));
    SetCurrentLangTable(de);
    EXPECT_TRUE(TranslateText(L"$hello", out));
    EXPECT_EQ(out, L"Hallo");
    EXPECT_FALSE(TranslateText(L"$InsertDelay", out));
    EXPECT_EQ(out, L"$InsertDelay");
    EXPECT_EQ(layout::ReadCaps(button.document_element(), ItemId(L"BUTTON_OK")), 2);
    EXPECT_EQ(layout::ReadRect(button.document_element(), ItemId(L"BUTTON_CANCEL")), CRect(1, 1, 2, 2));
    EXPECT_EQ(FindRegisteredLangTable(ItemId(L"LANGUAGE_KOREAN")), items->At(3));
    // A missing and an empty language file give the English texts, never the keys as written.
    CLangTable* fr = FindRegisteredLangTable(ItemId(L"LANGUAGE_FRENCH"));
    ASSERT_NE(fr, nullptr);
    EXPECT_EQ(items->At(2), fr);
    CLangTable* ja = FindRegisteredLangTable(ItemId(L"LANGUAGE_JAPANESE"));
    ASSERT_NE(ja, nullptr);
    EXPECT_EQ(items->At(4), ja);
    for (CLangTable* standIn : {fr, ja}) {
        EXPECT_EQ(standIn->PairCount(), 2u);
        EXPECT_EQ(standIn->Header(), L"English");
        SetCurrentLangTable(standIn);
        EXPECT_TRUE(TranslateText(L"$hello", out));
        EXPECT_EQ(out, L"Hello there");
    }

    // Loading the file again into a second list: its tables replace the first list's in the
    // registry. The first list goes with its German table current: the second list's tables stay
    // registered, no table is current, and texts stand as written.
    auto again = std::make_unique<CGUIItems>();
    ASSERT_TRUE(LoadLayout(path, again.get(), nullptr, false));
    CLangTable* de2 = FindRegisteredLangTable(german);
    EXPECT_EQ(de2, again->FindAs<CLangTable>(german, ItemKind::LangTable));
    EXPECT_NE(de2, de);
    items.reset();
    EXPECT_EQ(FindRegisteredLangTable(german), de2);
    EXPECT_EQ(FindRegisteredLangTable(english), again->FindAs<CLangTable>(english, ItemKind::LangTable));
    EXPECT_EQ(GetCurrentLangTable(), nullptr);
    EXPECT_FALSE(TranslateText(L"$hello", out));
    EXPECT_EQ(out, L"$hello");

    // The second list goes with its table current: nothing is left registered or current.
    SetCurrentLangTable(de2);
    again.reset();
    for (const wchar_t* name : {L"LANGUAGE_DEFAULT", L"LANGUAGE_GERMAN", L"LANGUAGE_KOREAN", L"LANGUAGE_JAPANESE"})
        EXPECT_EQ(FindRegisteredLangTable(ItemId(name)), nullptr) << wstr::WideToUtf8(name);
    EXPECT_EQ(GetCurrentLangTable(), nullptr);
    EXPECT_FALSE(TranslateText(L"$hello", out));

    // With a language filter only that language is built.
    CGUIItems filtered;
    SetLanguageFilter(german);
    ASSERT_TRUE(LoadLayout(path, &filtered, nullptr, false));
    SetLanguageFilter(-1);
    ASSERT_EQ(filtered.Size(), 1u);
    EXPECT_EQ(filtered.At(0)->id, german);
    EXPECT_EQ(FindRegisteredLangTable(german), filtered.At(0));
    EXPECT_EQ(FindRegisteredLangTable(english), nullptr);
}

TEST(LayoutLoader, KeyboardDefinitionAndLayouts)
{
    KeyFileBuilder keys;
    keys.I32(3).Record(L"a A", 0x1E).Record(L"b B", 0x30).Record(L"RESERVED", 0x31);
    WriteBinFile(L"keys.bin", keys.bytes);
    KeyFileBuilder defaults;
    defaults.I32(1).I32(HashText(L"a A")).I32(0x1E);
    WriteBinFile(L"defaults.bin", defaults.bytes);
    KeyFileBuilder badDefaults = defaults;
    badDefaults.bytes.push_back(0);
    WriteBinFile(L"defaults_long.bin", badDefaults.bytes);
    KeyFileBuilder noDefaults;
    noDefaults.I32(0);
    WriteBinFile(L"defaults_empty.bin", noDefaults.bytes);

    auto keyboardFile = [](const char* defaultsFile) {
        return std::string("<KEYBOARD><KEYBOARDDEF name='KBDDEF_WINDOWS' file='keys.bin' kbddefaults='") +
               defaultsFile +
               "'/><KBLAYOUTLIST>"
               " <KBLAYOUT name='KBLAYOUT_ENGLISH' kbdlayout='00000409' kbditems='KeyboardKeysUS.xml'/>"
               " <KBLAYOUT name='KBLAYOUT_GERMAN' kbdlayout='00000407'/>"
               " <KBLAYOUT name='NOT_A_LAYOUT' kbdlayout='00000409'/>"
               "</KBLAYOUTLIST></KEYBOARD>";
    };
    CGUIItems items;
    // A definition with a defaults file of the wrong length, or of count 0, makes the whole file fail
    // before any section runs.
    EXPECT_FALSE(LoadLayout(TestLayout(L"kbd_long.xml", keyboardFile("defaults_long.bin")), &items, nullptr,
                            false));
    EXPECT_FALSE(LoadLayout(TestLayout(L"kbd_zero.xml", keyboardFile("defaults_empty.bin")), &items, nullptr,
                            false));
    EXPECT_TRUE(items.Empty());
    EXPECT_FALSE(LoadLayout(TestLayout(L"kbd_none.xml", "<KEYBOARD><KBLAYOUTLIST/></KEYBOARD>"), &items, nullptr,
                            false));

    ProgressRecorder recorder;
    ListeningTo listening(recorder.Window());
    ASSERT_TRUE(LoadLayout(TestLayout(L"KeyboardLayout.xml", keyboardFile("defaults.bin")), &items, nullptr, true));
    EXPECT_EQ(recorder.events, ProgressRecorder::FullSequence("KeyboardLayout.xml"));

    CKeyboardDef& definition = GetKeyboardDef();
    EXPECT_TRUE(definition.IsLoaded());
    const CKeyboardDefItem& definitionItem = GetKeyboardDefItem();
    EXPECT_EQ(definitionItem.id, ItemId(L"KBDDEF_WINDOWS"));
    EXPECT_EQ(definitionItem.kind, ItemKind::KeyboardDef);
    EXPECT_EQ(definitionItem.window, nullptr);
    EXPECT_EQ(definition.Records().size(), 3u);
    EXPECT_EQ(definition.GetKeyCode(HashText(L"a A")).code, 0x1E);
    KeyCode code;
    ASSERT_TRUE(definition.GetDefaultCode(HashText(L"a A"), code));
    EXPECT_EQ(code.code, 0x1E);
    EXPECT_EQ(items.FindById(ItemId(L"KBDDEF_WINDOWS")), nullptr);  // the definition is not a list item

    ASSERT_EQ(items.Size(), 2u);
    auto* english = items.FindAs<CKeyboardLayoutSetting>(ItemId(L"KBLAYOUT_ENGLISH"), ItemKind::KeyboardLayoutSetting);
    auto* germanLayout = items.FindAs<CKeyboardLayoutSetting>(ItemId(L"KBLAYOUT_GERMAN"), ItemKind::KeyboardLayoutSetting);
    ASSERT_NE(english, nullptr);
    ASSERT_NE(germanLayout, nullptr);
    EXPECT_EQ(english->layoutName, L"00000409");
    EXPECT_EQ(english->layoutItems, L"KeyboardKeysUS.xml");
    EXPECT_EQ(germanLayout->layoutItems, L"");
    EXPECT_EQ(KeyboardLayouts().Find(ItemId(L"KBLAYOUT_ENGLISH")), english);
    EXPECT_EQ(KeyboardLayouts().Find(ItemId(L"KBLAYOUT_GERMAN")), germanLayout);

    // The settings leave the program's layouts with the list's items.
    items.DeleteAll();
    EXPECT_EQ(KeyboardLayouts().Find(ItemId(L"KBLAYOUT_ENGLISH")), nullptr);
    EXPECT_EQ(KeyboardLayouts().Find(ItemId(L"KBLAYOUT_GERMAN")), nullptr);
    EXPECT_FALSE(CKeyboardLayoutSetting::Activate(ItemId(L"KBLAYOUT_ENGLISH")));
}

// A load started while another reports its progress (as a panel created during a load would):
// each load reports through its own messenger and, at its end, detaches that messenger and puts
// back the source that was current before it.
namespace {

struct Nesting
{
    std::wstring innerPath;
    CGUIItems innerItems;
    CProgressMessenger* outer = nullptr;
    std::vector<std::string> outerEvents, innerEvents;
    bool innerLoaded = false, quietLoaded = false;
    CProgressMessenger* sourceAfterInner = nullptr;
    CProgressMessenger* sourceAfterQuiet = nullptr;
    size_t registeredDuringInner = 0;
    size_t registeredAfterInner = 0;
};
Nesting* g_nesting = nullptr;

LRESULT CALLBACK NestingListenerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PROGRESS_TEXT && message != WM_PROGRESS_PERCENT)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    Nesting& n = *g_nesting;
    auto* messenger = reinterpret_cast<CProgressMessenger*>(wParam);
    if (!n.outer)
        n.outer = messenger;
    const bool fromOuter = messenger == n.outer;
    if (!fromOuter && message == WM_PROGRESS_PERCENT && lParam == 48)
        n.registeredDuringInner = RegisteredMessengerCount();
    (fromOuter ? n.outerEvents : n.innerEvents)
        .push_back(message == WM_PROGRESS_TEXT
                       ? "text:" + wstr::WideToUtf8(reinterpret_cast<const wchar_t*>(lParam))
                       : "percent:" + std::to_string(static_cast<int>(lParam)));
    if (fromOuter && message == WM_PROGRESS_PERCENT && lParam == 30) {
        n.innerLoaded = LoadLayout(n.innerPath, &n.innerItems, nullptr, true);
        n.sourceAfterInner = CurrentProgressSource();
        n.registeredAfterInner = RegisteredMessengerCount();
        n.quietLoaded = LoadLayout(n.innerPath, &n.innerItems, nullptr, false);
        n.sourceAfterQuiet = CurrentProgressSource();
    }
    return 0;
}

} // namespace

TEST(LayoutLoader, NestedLoadPutsBackTheOuterSource)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = NestingListenerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LayoutNestingListener";
    RegisterClassW(&wc);
    hvtest::ScopedWindow listener(CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                                  wc.hInstance, nullptr));
    ASSERT_NE(listener.Get(), nullptr);

    Nesting nesting;
    g_nesting = &nesting;
    nesting.innerPath = TestLayout(L"inner.xml", "<ITEMLIST><FONTLIST><FONT name='FONT_ARIAL12'/></FONTLIST></ITEMLIST>");
    std::wstring outerPath = TestLayout(L"outer.xml", "<ITEMLIST/>");
    CGUIItems items;
    {
        ListeningTo listening(listener);
        EXPECT_TRUE(LoadLayout(outerPath, &items, nullptr, true));
    }
    g_nesting = nullptr;

    EXPECT_TRUE(nesting.innerLoaded);
    EXPECT_TRUE(nesting.quietLoaded);
    EXPECT_EQ(nesting.innerItems.Size(), 2u);
    EXPECT_EQ(nesting.outerEvents, ProgressRecorder::FullSequence("outer.xml"));
    EXPECT_EQ(nesting.innerEvents, ProgressRecorder::FullSequence("inner.xml"));
    // Both messengers were registered while both loads ran; the inner load took only its own away
    // and made the outer one current again, and a load without progress left it so.
    EXPECT_EQ(nesting.registeredDuringInner, 2u);
    EXPECT_EQ(nesting.registeredAfterInner, 1u);
    EXPECT_EQ(nesting.sourceAfterInner, nesting.outer);
    EXPECT_EQ(nesting.sourceAfterQuiet, nesting.outer);
    ExpectNoLoadLeftOver();
}

// The lock test. The loader runs on this thread; the progress listener has a thread of its own; a
// third thread, the holder, takes the messenger's mutex by sending progress of its own and keeps it
// while the listener handles that message. The listener decides when the holder lets go by asking
// the loader's thread where it is: the messenger's waits for its mutex serve messages sent to the
// waiting thread, and the loader unregisters its messenger before the wait of its detach.
namespace {

constexpr UINT WM_LOADER_QUERY = WM_APP + 1;  // lParam the messenger; 1 once it is unregistered
constexpr int32_t kShortTimeout = 300;        // the loader's waits, meant to time out
constexpr int32_t kLongTimeout = 60000;       // the holder's wait, which must not

struct LockScenario
{
    bool holdPastDetachTimeout = false;
    HWND loaderSide = nullptr;  // a window of the loader's thread
    CKernelHandle holderReady{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    CKernelHandle loadReturned{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<HWND> listener{nullptr};
    std::atomic<HWND> holderWindow{nullptr};
    std::atomic<bool> holderLetGo{false};
    CThread holder;
    std::vector<std::string> events;  // written by the listener thread only
};
LockScenario* g_scenario = nullptr;

LRESULT CALLBACK LoaderSideProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LOADER_QUERY)
        return IsMessengerRegistered(reinterpret_cast<CProgressMessenger*>(lParam)) ? 0 : 1;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Returns once the holder waits for the mutex: it serves the ping only inside that wait.
void PingHolder()
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(g_scenario->holderWindow, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
}

void StartHolder(CProgressMessenger* messenger)
{
    LockScenario& s = *g_scenario;
    messenger->SetTimeout(kLongTimeout);
    s.holder.Start([messenger, &s]() -> unsigned {
        HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        s.holderWindow = window;
        SetEvent(s.holderReady.Get());
        messenger->SendPercent(999);
        DestroyWindow(window);
        return 0;
    });
    WaitForSingleObject(s.holderReady.Get(), 10000);
    PingHolder();
    // The holder took the long time-out when it began to wait; the loader's next wait takes this.
    messenger->SetTimeout(kShortTimeout);
}

// 1 once the loader's first wait has timed out and it detaches, 0 before, -1 without an answer.
int AskLoader(CProgressMessenger* messenger)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(g_scenario->loaderSide, WM_LOADER_QUERY, 0, reinterpret_cast<LPARAM>(messenger),
                             SMTO_NORMAL, 100, &answer))
        return -1;
    return static_cast<int>(answer);
}

LRESULT CALLBACK LockListenerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PROGRESS_TEXT && message != WM_PROGRESS_PERCENT)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    LockScenario& s = *g_scenario;
    auto* messenger = reinterpret_cast<CProgressMessenger*>(wParam);
    if (message == WM_PROGRESS_TEXT) {
        s.events.push_back("text");
        StartHolder(messenger);
        return 0;
    }
    s.events.push_back("percent:" + std::to_string(static_cast<int>(lParam)));
    if (lParam != 999) {
        // The loader took the mutex again before the holder was back in its wait after the ping.
        // Nothing wakes the holder now, so it is waiting when the loader next lets go; it only
        // needs a moment of the processor.
        SwitchToThread();
        return 0;
    }
    // From the holder, which holds the mutex until this returns.
    const ULONGLONG deadline = GetTickCount64() + 20000;
    while (AskLoader(messenger) != 1) {
        if (GetTickCount64() > deadline) {
            s.events.push_back("the loader never gave up");
            break;
        }
    }
    if (s.holdPastDetachTimeout && WaitForSingleObject(s.loadReturned.Get(), 3 * kShortTimeout) == WAIT_OBJECT_0)
        s.events.push_back("the load ended while the holder held the lock");
    s.holderLetGo = true;
    return 0;
}

void RegisterLockClasses()
{
    WNDCLASSW wc = {};
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpfnWndProc = LockListenerProc;
    wc.lpszClassName = L"LayoutLockListener";
    RegisterClassW(&wc);
    wc.lpfnWndProc = LoaderSideProc;
    wc.lpszClassName = L"LayoutLockLoaderSide";
    RegisterClassW(&wc);
}

} // namespace

TEST(LayoutLoader, LockTimeoutReleasesTheLoad)
{
    RegisterLockClasses();
    hvtest::ScopedWindow loaderSide(CreateWindowExW(0, L"LayoutLockLoaderSide", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                                    nullptr, GetModuleHandleW(nullptr), nullptr));
    ASSERT_NE(loaderSide.Get(), nullptr);
    std::wstring path = TestLayout(L"lock.xml", "<ITEMLIST><FONTLIST><FONT name='FONT_ARIAL12'/></FONTLIST></ITEMLIST>");

    // First the holder lets go as soon as the loader's first wait has timed out. Then it keeps the
    // lock until the loader's detach has timed out as well: the load must not end, and delete its
    // messenger, while another thread holds the messenger's lock.
    for (bool holdPast : {false, true}) {
        SCOPED_TRACE(holdPast ? "holding past the detach's time-out" : "letting go after the first time-out");
        LockScenario scenario;
        scenario.holdPastDetachTimeout = holdPast;
        scenario.loaderSide = loaderSide;
        g_scenario = &scenario;

        CThread listenerThread;
        ASSERT_TRUE(listenerThread.Start([&scenario]() -> unsigned {
            HWND hwnd = CreateWindowExW(0, L"LayoutLockListener", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
            scenario.listener = hwnd;
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0)
                DispatchMessageW(&msg);
            DestroyWindow(hwnd);
            return 0;
        }));
        ASSERT_TRUE(hvtest::WaitUntil([&] { return scenario.listener.load() != nullptr; }, 5000));

        CGUIItems items;
        bool threw = false;
        bool letGoBeforeTheEnd = false;
        {
            ListeningTo listening(scenario.listener);
            try {
                LoadLayout(path, &items, nullptr, true);
            } catch (const CWaitingLockException& e) {
                threw = true;
                EXPECT_STREQ(e.Text(), L"Waiting Lock Exception\n");
            }
            letGoBeforeTheEnd = scenario.holderLetGo;
            SetEvent(scenario.loadReturned.Get());
        }
        EXPECT_TRUE(threw);
        EXPECT_TRUE(letGoBeforeTheEnd);
        ExpectNoLoadLeftOver();

        EXPECT_TRUE(scenario.holder.Join(10000));
        PostThreadMessageW(GetThreadId(listenerThread.Handle()), WM_QUIT, 0, 0);
        EXPECT_TRUE(listenerThread.Join(10000));
        g_scenario = nullptr;

        // The file name, then the holder's percent. Should the loader have taken the lock again
        // before the holder waited for it, its percents come in between, in order, and the
        // sections before the one whose percent timed out ran (the FONT is section 3).
        const std::vector<std::string>& events = scenario.events;
        ASSERT_GE(events.size(), 2u) << ::testing::PrintToString(events);
        EXPECT_EQ(events.front(), "text") << ::testing::PrintToString(events);
        EXPECT_EQ(events.back(), "percent:999") << ::testing::PrintToString(events);
        const size_t loaderPercents = events.size() - 2;
        for (size_t i = 0; i < loaderPercents; ++i)
            EXPECT_EQ(events[1 + i], "percent:" + std::to_string(6 * i)) << ::testing::PrintToString(events);
        EXPECT_EQ(items.Size(), loaderPercents >= 4 ? 1u : 0u);
    }
}
