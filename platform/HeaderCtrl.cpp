#include "platform/HeaderCtrl.h"

#include <algorithm>

namespace {

constexpr int kMaxItemText = 260;

} // namespace

CHeaderCtrl::~CHeaderCtrl() = default;

int CHeaderCtrl::GetItemCount() const
{
    return static_cast<int>(SendMessage(HDM_GETITEMCOUNT));
}

bool CHeaderCtrl::GetItem(int index, HDITEMW* item) const
{
    return SendMessage(HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item)) != FALSE;
}

bool CHeaderCtrl::SetItem(int index, const HDITEMW& item)
{
    return SendMessage(HDM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != FALSE;
}

std::wstring CHeaderCtrl::GetItemText(int index) const
{
    wchar_t buffer[kMaxItemText] = {};
    HDITEMW item = {};
    item.mask = HDI_TEXT;
    item.pszText = buffer;
    item.cchTextMax = kMaxItemText;
    if (!GetItem(index, &item) || !item.pszText)
        return std::wstring();
    buffer[kMaxItemText - 1] = L'\0';
    return std::wstring(item.pszText);
}

CRect CHeaderCtrl::GetItemRect(int index) const
{
    CRect rect;
    if (!SendMessage(HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)))
        return CRect();
    return rect;
}

std::vector<int> CHeaderCtrl::GetOrderArray() const
{
    std::vector<int> order(static_cast<size_t>(std::max(GetItemCount(), 0)));
    if (!order.empty() &&
        !SendMessage(HDM_GETORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()))) {
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
    }
    return order;
}

HIMAGELIST CHeaderCtrl::SetImageList(HIMAGELIST images)
{
    return reinterpret_cast<HIMAGELIST>(SendMessage(HDM_SETIMAGELIST, HDSIL_NORMAL, reinterpret_cast<LPARAM>(images)));
}

HIMAGELIST CHeaderCtrl::GetImageList() const
{
    return reinterpret_cast<HIMAGELIST>(SendMessage(HDM_GETIMAGELIST, HDSIL_NORMAL));
}
