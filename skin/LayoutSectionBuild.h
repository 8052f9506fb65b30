// What every section reader of the layout loader shares: its counts, the owner's window, and the
// one loop that builds a section's children and appends them. Used by the section readers only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <unordered_set>

#include <pugixml.hpp>

#include "platform/Wnd.h"
#include "skin/GUIItem.h"
#include "skin/LayoutErrors.h"

class CGUIItems;
class CWnd;

namespace layout {

// Counts of one section run: high 16 bits the children visited, low 16 bits the items appended.
struct SectionCount
{
    uint32_t visited = 0;
    uint32_t appended = 0;

    uint32_t Packed() const { return ((visited & 0xFFFF) << 16) | (appended & 0xFFFF); }
};

// The window a build of this thread makes its windows in instead of the owner's (a page's group
// window; BuildPreparedLayout sets it for one build), or null.
inline HWND& BuildParent()
{
    thread_local HWND parent = nullptr;
    return parent;
}

// The window an item's window is made in: the build's parent, else the owner's window.
inline HWND OwnerWindow(CWnd* owner)
{
    if (HWND parent = BuildParent())
        return parent;
    return owner ? owner->GetSafeHwnd() : nullptr;
}

// The windows this thread has marked (MarkItemWindow): only such a window, or one that took over
// the handle of such a window, can have the property already. Windows that are gone are dropped
// now and then; a handle that came back stays listed, which only costs its check.
inline std::unordered_set<HWND>& MarkedItemWindows()
{
    thread_local std::unordered_set<HWND> marked;
    constexpr size_t kPruneAt = 4096;
    if (marked.size() >= kPruneAt) {
        for (auto it = marked.begin(); it != marked.end();)
            it = ::IsWindow(*it) ? std::next(it) : marked.erase(it);
    }
    return marked;
}

// Marks the window of an appended item with its item id (kItemIdProperty). An item that shares
// another's window (a multi-thumb slider has its track's) leaves the first item's id there. A window
// never marked before is not asked for the property: under Wine that is a round trip to the window
// server for every item of a page.
inline void MarkItemWindow(const CGUIItem& item)
{
    HWND window = item.window;
    if (!window || window == reinterpret_cast<HWND>(static_cast<intptr_t>(-1)) || !::IsWindow(window))
        return;
    const bool markedBefore = !MarkedItemWindows().insert(window).second;
    if (!markedBefore || !::GetPropW(window, kItemIdProperty))
        ::SetPropW(window, kItemIdProperty, reinterpret_cast<HANDLE>(static_cast<intptr_t>(item.id) + 1));
}

// Calls build for every child of list named name (for the first limit of them), in document order,
// and appends what it builds. A faulty element (one for which an error was reported) is skipped:
// what build made of it is dropped. accepted sees each item that is appended, before it is.
// Builders of windows test CurrentElementFaulty before they create one.
template <class Build, class Accepted>
void BuildChildren(pugi::xml_node list, const char* name, CGUIItems* items, SectionCount& count, Build build,
                   Accepted accepted, size_t limit = SIZE_MAX)
{
    size_t taken = 0;
    for (pugi::xml_node child = list.child(name); child && taken < limit;
         child = child.next_sibling(name), ++taken) {
        ++count.visited;
        decltype(build(child)) item;
        {
            CLayoutElementCheck check;
            item = build(child);
            if (check.Faulty())
                item.reset();
        }
        if (item && items) {
            accepted(*item);
            MarkItemWindow(*item);
            items->Add(std::move(item));
            ++count.appended;
        }
    }
}

template <class Build>
void BuildChildren(pugi::xml_node list, const char* name, CGUIItems* items, SectionCount& count, Build build)
{
    BuildChildren(list, name, items, count, build, [](CGUIItem&) {});
}

// Counts the children of the names given without building anything (element kinds whose items
// come later).
inline void VisitChildren(pugi::xml_node list, std::initializer_list<const char*> names, SectionCount& count)
{
    for (const char* name : names) {
        for (pugi::xml_node child = list.child(name); child; child = child.next_sibling(name))
            ++count.visited;
    }
}

} // namespace layout
