// A window that holds a group of child windows and is otherwise not there: it shows its parent's
// picture where no child lies, lets the mouse through to what lies below it, and passes on to its
// parent every notification its children send it (after the child's own reflected handling), so
// that the parent handles them as it would its own children's. Showing or hiding the group shows
// or hides all its children in one step, and the one-picture paint (PaintAtOnce.h) passes over a
// hidden group, and all its children, in one step too.
#pragma once

#include <windows.h>

#include "platform/Wnd.h"

class CGroupWnd : public CWnd
{
public:
    // A hidden group at rect of parent (in the parent's client coordinates).
    bool Create(HWND parent, const RECT& rect);

    bool PassesThrough() const override { return true; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The parent's own picture under the group, into dc (the group's client coordinates).
    void PrintParentUnder(HDC dc);
};
