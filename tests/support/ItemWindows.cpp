#include "ItemWindows.h"

namespace hvtest {
namespace {

// GUIItem.h: kItemIdProperty.
constexpr wchar_t kItemIdProperty[] = L"HvItemId";

struct ItemSearch {
    int id;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectItem(HWND hwnd, LPARAM data)
{
    auto* s = reinterpret_cast<ItemSearch*>(data);
    if (ItemIdOf(hwnd) == s->id)
        s->found->push_back(hwnd);
    return TRUE;
}

} // namespace

int ItemIdOf(HWND window)
{
    const HANDLE value = window ? GetPropW(window, kItemIdProperty) : nullptr;
    return value ? static_cast<int>(reinterpret_cast<intptr_t>(value) - 1) : -1;
}

std::vector<HWND> FindItemWindows(HWND top, int itemId)
{
    std::vector<HWND> found;
    ItemSearch s = {itemId, &found};
    EnumChildWindows(top, CollectItem, reinterpret_cast<LPARAM>(&s));
    return found;
}

HWND FindItemWindow(HWND top, int itemId, bool visibleOnly)
{
    for (HWND hwnd : FindItemWindows(top, itemId))
        if (!visibleOnly || IsWindowVisible(hwnd))
            return hwnd;
    return nullptr;
}

bool PostItemCommand(HWND dialog, int itemId, bool visibleOnly)
{
    // To the item's parent, as the item's own click sends it: a page's items lie in the page's window.
    HWND item = FindItemWindow(dialog, itemId, visibleOnly);
    HWND parent = item ? GetParent(item) : nullptr;
    return parent && PostMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(item), BN_CLICKED),
                                  reinterpret_cast<LPARAM>(item));
}

} // namespace hvtest
