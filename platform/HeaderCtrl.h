// CHeaderCtrl: a header control (comctl32 "SysHeader32"), such as the one a report list-view makes
// for its columns: items with their text, format, image and width, their rectangles and their
// order on screen.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/Wnd.h"

class CHeaderCtrl : public CWnd
{
public:
    CHeaderCtrl() = default;
    ~CHeaderCtrl() override;

    int GetItemCount() const;
    // HDM_GETITEM / HDM_SETITEM with the fields item->mask names.
    bool GetItem(int index, HDITEMW* item) const;
    bool SetItem(int index, const HDITEMW& item);
    // The item's text (HDI_TEXT); empty for an item that does not exist.
    std::wstring GetItemText(int index) const;
    // The item's rectangle in the header's client coordinates; empty when it does not exist.
    CRect GetItemRect(int index) const;
    // The item indexes from left to right as shown.
    std::vector<int> GetOrderArray() const;
    // HDM_SETIMAGELIST (normal images): the list is borrowed. Returns the one replaced.
    HIMAGELIST SetImageList(HIMAGELIST images);
    HIMAGELIST GetImageList() const;
};
