// The key layouts of the generated skin ("KeyboardKeys.xml" and its German twin) loaded by the
// programs' own loader: one key item per KBDKEY, each bound to the key of the definition it names,
// a child of the keyboard picture at its rectangle, marked with its item id, and reporting to the
// owner the layout was loaded for. The keys' messages and pictures: KeyListSectionTest.cpp and
// SkinPicturesTest.cpp.
#include "controls/BitmapItem.h"
#include "controls/KeyboardKeyItem.h"
#include "core/KeyboardDef.h"
#include "core/NameTables.h"
#include "platform/Wnd.h"
#include "platform/WStr.h"
#include "skin/GUIItem.h"
#include "skin/LayoutLoader.h"
#include "skin/SkinResourceCache.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <set>
#include <string>
#include <vector>

namespace {

struct KeyElement
{
    std::string name;
    std::wstring keyName;
    std::wstring caption;
    CRect rect;
};

std::vector<KeyElement> KeyElements(const std::wstring& file)
{
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_file((GetProgramFolder() + L"xml\\" + file).c_str()));
    std::vector<KeyElement> keys;
    for (pugi::xml_node key : doc.child("KEYBOARD").child("KBDKEYLIST").children("KBDKEY")) {
        pugi::xml_node r = key.child("RECT");
        keys.push_back({key.attribute("name").value(), wstr::Utf8ToWide(key.attribute("kbddefid").value()),
                        wstr::Utf8ToWide(key.attribute("caption").value()),
                        CRect(CPoint(r.attribute("left").as_int(), r.attribute("top").as_int()),
                              CSize(r.attribute("right").as_int(), r.attribute("bottom").as_int()))});
    }
    return keys;
}

int32_t Id(const std::string& name)
{
    return FindItemIdByName(wstr::Utf8ToWide(name).c_str());
}

} // namespace

TEST(SkinKeys, EveryKeyLayoutBuildsOneBoundKeyPerKeyElement)
{
    InitNameTables();
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, L"STATIC", L"", WS_POPUP, RECT{0, 0, 1000, 680}, nullptr, 0));
    const CKeyboardDef& definition = GetKeyboardDef();

    std::wstring captionOfY[2];
    const wchar_t* const files[] = {L"KeyboardKeys.xml", L"KeyboardKeys_DE.xml"};
    for (int f = 0; f < 2; ++f) {
        SCOPED_TRACE(wstr::WideToUtf8(files[f]));
        const std::vector<KeyElement> elements = KeyElements(files[f]);
        EXPECT_EQ(elements.size(), 103u);
        CGUIItems items;
        ASSERT_TRUE(LoadLayoutFile(&items, files[f], &owner, false));
        ASSERT_TRUE(definition.IsLoaded());
        auto* board = items.FindAs<CBitmapItem>(FindItemIdByName(L"BITMAP_MECHKBD"), ItemKind::BitmapItem);
        ASSERT_NE(board, nullptr);

        size_t keyItems = 0;
        for (const CGUIItem* item : items)
            keyItems += item->kind == ItemKind::KeyboardKeyItem;
        EXPECT_EQ(keyItems, elements.size()) << "one key item per KBDKEY";

        std::set<const KeyboardDefRecord*> records;
        for (const KeyElement& e : elements) {
            SCOPED_TRACE(e.name);
            auto* key = items.FindAs<CKeyboardKeyItem>(Id(e.name), ItemKind::KeyboardKeyItem);
            ASSERT_NE(key, nullptr);
            // Bound to the key of the definition it names, with that key's code.
            ASSERT_NE(key->KeyRecord(), nullptr);
            EXPECT_EQ(key->KeyRecord()->name, e.keyName);
            records.insert(key->KeyRecord());
            EXPECT_EQ(key->KeyHash(), HashText(e.keyName));
            EXPECT_EQ(key->ScanCode(), static_cast<uint16_t>(definition.GetKeyCode(key->KeyHash()).code));
            EXPECT_EQ(key->Caption(), e.caption);
            // A check box that does not toggle, a child of the keyboard picture at its rectangle with
            // control id 0 and the item id on its window, reporting to the layout's owner.
            EXPECT_TRUE(key->IsCheckBox());
            EXPECT_FALSE(key->IsToggle());
            EXPECT_EQ(key->GetParent(), board->GetSafeHwnd());
            EXPECT_EQ(key->owner, static_cast<CWnd*>(board));
            EXPECT_EQ(key->OwnerWindow(), owner.GetSafeHwnd());
            EXPECT_EQ(key->GetDlgCtrlID(), 0);
            EXPECT_EQ(ItemIdOfWindow(*key), key->id);
            CRect placed = key->GetWindowRect();
            MapWindowPoints(nullptr, *board, reinterpret_cast<POINT*>(&placed), 2);
            EXPECT_EQ(placed, e.rect);
        }
        EXPECT_EQ(records.size(), elements.size()) << "two keys name one key of the definition";

        auto* y = items.FindAs<CKeyboardKeyItem>(FindItemIdByName(L"BUTTON_KB_Y"), ItemKind::KeyboardKeyItem);
        ASSERT_NE(y, nullptr);
        EXPECT_EQ(y->KeyRecord()->name, L"y Y");
        captionOfY[f] = y->Caption();
    }
    // The German board names the key with the English Y "Z".
    EXPECT_EQ(captionOfY[0], L"Y");
    EXPECT_EQ(captionOfY[1], L"Z");
    owner.DestroyWindow();
}
