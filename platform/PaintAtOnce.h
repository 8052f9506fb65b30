// Paints a window and every visible child window under it into one picture, and puts that on the
// screen in one copy.
//
// Under Wine every window that paints on its own sends what it painted to the display as it goes,
// and with it the whole window's shape where the window is layered: a page of fifty items painted
// one by one showed as fifty partial frames and cost as many round trips. Here each child prints
// (WM_PRINTCLIENT) onto a picture of what lies under it, in the window system's order, clipped as
// the window system would clip it (its parents' areas, the siblings above a window that clips them,
// and a window region set through CWnd::SetWindowRgn); the windows printed are then marked
// painted. A child that cannot print faithfully (anything but the static, button, edit, list-view
// and header controls and windows whose own paint prints) is left out with its children: it
// paints itself, as ever, after the copy.
#pragma once

#include <windows.h>

// Paints window's whole client area and its children at once. Call with the window's painting on.
void PaintAtOnce(HWND window);
