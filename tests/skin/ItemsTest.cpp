#include "skin/GUIItem.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<int> g_deleted;

class CTestItem : public CGUIItem
{
public:
    CTestItem(int32_t itemId, ItemKind itemKind, HWND itemWindow = nullptr)
    {
        id = itemId;
        kind = itemKind;
        window = itemWindow;
    }
    ~CTestItem() override { g_deleted.push_back(id); }
};

// An item with a real child window, destroyed with the item.
class CWindowItem : public CTestItem
{
public:
    CWindowItem(int32_t itemId, HWND parent)
        : CTestItem(itemId, ItemKind::TextItem,
                    CreateWindowW(L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr))
    {
    }
    ~CWindowItem() override { DestroyWindow(window); }
};

std::unique_ptr<CGUIItem> Item(int32_t id, ItemKind kind)
{
    return std::make_unique<CTestItem>(id, kind);
}

} // namespace

TEST(Items, FindByIdTakesTheEarlierItemWhateverItsKind)
{
    CGUIItems items;
    CGUIItem* first = items.Add(Item(5, ItemKind::TextItem));
    CGUIItem* second = items.Add(Item(5, ItemKind::BitmapBtn));
    CGUIItem* background = items.Add(Item(kBackgroundItemId, ItemKind::TextItem));
    EXPECT_EQ(items.Size(), 3u);
    EXPECT_EQ(items.Back(), background);

    EXPECT_EQ(items.FindById(5), first);
    EXPECT_EQ(items.FindById(kBackgroundItemId), background);
    EXPECT_EQ(items.FindById(6), nullptr);
    EXPECT_NE(second, nullptr);

    // A look-up by kind treats an item of another kind as absent.
    EXPECT_EQ(items.FindAs<CTestItem>(5, ItemKind::TextItem), first);
    EXPECT_EQ(items.FindAs<CTestItem>(5, ItemKind::BitmapBtn), nullptr);
    EXPECT_EQ(items.FindAs<CTestItem>(kBackgroundItemId, ItemKind::PanelBitmap), nullptr);
    EXPECT_EQ(items.FindAs<CWindowItem>(5, ItemKind::TextItem), nullptr);
    EXPECT_EQ(items.Add(nullptr), nullptr);
    EXPECT_EQ(items.Size(), 3u);
}

TEST(Items, DeleteAllDeletesFromTheBack)
{
    g_deleted.clear();
    {
        CGUIItems items;
        for (int id = 1; id <= 4; ++id)
            items.Add(Item(id, ItemKind::FontItem));
        items.DeleteAll();
        EXPECT_TRUE(items.Empty());
        EXPECT_EQ(g_deleted, (std::vector<int>{ 4, 3, 2, 1 }));

        g_deleted.clear();
        items.Add(Item(7, ItemKind::FontItem));
        items.Add(Item(8, ItemKind::FontItem));
    }
    EXPECT_EQ(g_deleted, (std::vector<int>{ 8, 7 }));
}

TEST(Items, ShowAllAndFindByWindowWithRealWindows)
{
    HWND parent = CreateWindowW(L"STATIC", L"parent", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    HWND a = nullptr;
    HWND b = nullptr;
    {
        CGUIItems items;
        CGUIItem* itemA = items.Add(std::make_unique<CWindowItem>(10, parent));
        items.Add(Item(11, ItemKind::LangTable)); // no window
        CGUIItem* itemB = items.Add(std::make_unique<CWindowItem>(12, parent));
        a = itemA->window;
        b = itemB->window;
        ASSERT_TRUE(IsWindow(a));
        ASSERT_TRUE(IsWindow(b));

        EXPECT_EQ(items.FindByWindow(b), itemB);
        EXPECT_EQ(items.FindByWindow(parent), nullptr);

        items.ShowAll(false);
        EXPECT_FALSE(IsWindowVisible(a));
        EXPECT_FALSE(IsWindowVisible(b));
        itemB->Show(true);
        EXPECT_TRUE(IsWindowVisible(b));
        EXPECT_FALSE(IsWindowVisible(a));
        items.ShowAll(true);
        EXPECT_TRUE(IsWindowVisible(a));
    }
    // The list took its items' windows with it.
    EXPECT_FALSE(IsWindow(a));
    EXPECT_FALSE(IsWindow(b));
    DestroyWindow(parent);
}
