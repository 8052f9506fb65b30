#include "skin/GUIItem.h"

#include <unordered_set>

int32_t ItemIdOfWindow(HWND window)
{
    // The property holds the id + 1, so that an id of 0 differs from no property.
    HANDLE value = window ? ::GetPropW(window, kItemIdProperty) : nullptr;
    return value ? static_cast<int32_t>(reinterpret_cast<intptr_t>(value) - 1) : -1;
}

CGUIItem::~CGUIItem() = default;

void CGUIItem::Show(bool show)
{
    if (window)
        ShowWindow(window, show ? SW_SHOW : SW_HIDE);
}

CGUIItems::~CGUIItems()
{
    DeleteAll();
}

void CGUIItems::Refresh()
{
}

CGUIItem* CGUIItems::Add(std::unique_ptr<CGUIItem> item)
{
    if (!item)
        return nullptr;
    // The list takes ownership only once the pointer is stored: a failed push_back frees the item.
    m_items.push_back(item.get());
    return item.release();
}

void CGUIItems::DeleteAll()
{
    while (!m_items.empty()) {
        CGUIItem* item = m_items.back();
        m_items.pop_back();
        delete item;
    }
}

CGUIItem* CGUIItems::FindById(int32_t id) const
{
    for (CGUIItem* item : m_items) {
        if (item->id == id)
            return item;
    }
    return nullptr;
}

CGUIItem* CGUIItems::FindByWindow(HWND window) const
{
    for (CGUIItem* item : m_items) {
        if (item->window == window)
            return item;
    }
    return nullptr;
}

void CGUIItems::ShowAll(bool show)
{
    if (show) {
        for (CGUIItem* item : m_items)
            item->Show(true);
        return;
    }
    // A key that lies in another item's window (its keyboard picture) goes with it: hiding each of
    // a hundred keys as well would cost a call to the window system apiece.
    std::unordered_set<HWND> windows;
    for (CGUIItem* item : m_items)
        windows.insert(item->window);
    for (CGUIItem* item : m_items)
        if (item->kind != ItemKind::KeyboardKeyItem || !windows.count(::GetParent(item->window)))
            item->Show(false);
}
