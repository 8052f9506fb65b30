// Finding the windows of skinned items in a running program. The layout loader marks each item
// window with its item id in the window property "HvItemId" (stored as id + 1, so that 0 means
// none); buttons and keys have control id 0, so the property is the only way to tell them apart,
// also from another process.
#pragma once
#include <windows.h>
#include <vector>

namespace hvtest {

// The item id of a window, -1 when it carries none.
int ItemIdOf(HWND window);
// Every descendant of top with that item id, in window order.
std::vector<HWND> FindItemWindows(HWND top, int itemId);
// The first descendant with that item id that is visible (or, with visibleOnly false, any); null
// when none.
HWND FindItemWindow(HWND top, int itemId, bool visibleOnly = true);
// Posts the command a click on a button item sends its parent: WM_COMMAND with BN_CLICKED and the
// button's window. False when the item is not there.
bool PostItemCommand(HWND dialog, int itemId, bool visibleOnly = true);

} // namespace hvtest
