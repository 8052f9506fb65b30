// A plain child window that shows one bitmap (BITMAPITEM), optionally shaped by a mask. It may host
// other items (buttons, texts, keys); the commands they send it go on to its parent.
#pragma once

#include <windows.h>

#include "controls/ItemToolTip.h"
#include "platform/GdiObject.h"
#include "platform/Wnd.h"
#include "skin/GUIItem.h"

class CBitmapItem : public CWnd, public CGUIItem
{
public:
    CBitmapItem();
    ~CBitmapItem() override;

    // A child window of parent at rect; style as given (WS_DISABLED lets mouse input through to the
    // window below).
    bool Create(const RECT& rect, HWND parent, DWORD style, UINT id = static_cast<UINT>(-1));

    // Shows the rectangle's size of the bitmap, from its origin; black where the bitmap is smaller.
    // The bitmap is borrowed and must outlive the item, as the skin cache's pictures do (it keeps
    // them until the program ends): the item keeps no copy.
    void SetBitmap(HBITMAP bitmap, int left, int top, int right, int bottom);
    // With a mask, the window first takes the mask's opaque pixels as its region.
    void SetBitmapWithMask(HBITMAP mask, HBITMAP bitmap, const RECT& rect);

    void SetToolTip(const wchar_t* key) { m_toolTip.SetText(m_hWnd, key); }
    const CItemToolTip& ToolTip() const { return m_toolTip; }

    // The bitmap shown (borrowed), whose part from its origin the item shows.
    HBITMAP Bitmap() const { return m_bitmap; }

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // Commands of hosted items are posted on to the parent.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);

    CItemToolTip m_toolTip;
    HBITMAP m_bitmap = nullptr;
    CSize m_shown;  // the rectangle's size, within the bitmap's own

    HV_DECLARE_MSG_MAP()
};

// The commands of a window item go on to its parent, posted (one implementation for several items).
void PostCommandToParent(HWND item, WPARAM wParam, LPARAM lParam);
