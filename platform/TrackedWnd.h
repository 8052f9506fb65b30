// CTrackedWnd: the owner of a window that the system may destroy before its owner object is done
// with it: a tooltip, which goes with the top-level window that owns it, or a child control, which
// goes with its parent. A plain window handle (CWindowHandle) would outlive such a window, and
// destroying it later could hit another window that has been given the same handle value since.
// Like every CWnd, this object is attached to its window from the first message and detached at
// WM_NCDESTROY, so m_hWnd is cleared however the window goes; the destructor destroys only a
// window that is still this object's. Create the window with CreateEx (a system class is
// subclassed; its own window procedure still does all the work).
#pragma once

#include "platform/Wnd.h"

class CTrackedWnd : public CWnd
{
public:
    CTrackedWnd() noexcept = default;
    ~CTrackedWnd() override { DestroyWindow(); }
};
