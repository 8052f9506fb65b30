#include "controls/XListSection.h"

#include <algorithm>
#include <string>
#include <vector>

#include "controls/ControlReaders.h"
#include "controls/XListCtrl.h"
#include "core/NameTables.h"
#include "platform/WStr.h"
#include "skin/LangTable.h"
#include "skin/LayoutErrors.h"
#include "skin/LayoutReaders.h"
#include "skin/LayoutSectionBuild.h"

namespace layout {

namespace {

// The extended style every layout-built list gets: double-buffered, flat scroll bars (hidden
// behind the skinned one), whole rows selected.
constexpr DWORD kListExStyle = LVS_EX_DOUBLEBUFFER | LVS_EX_FLATSB | LVS_EX_FULLROWSELECT;

struct ColumnElement
{
    int columnId = -1;
    int type = -1;
    int width = 0;
    bool exclusive = false;
    XListCheckBitmaps bitmaps;
    std::wstring caption;
    std::wstring toolTip;
    bool hasToolTip = false;
};

// The current language's "width" of the column when it has one, else the element's; negative 0.
int ColumnWidth(pugi::xml_node element, int columnId)
{
    int32_t width = 0;
    const CLangTable* language = GetCurrentLangTable();
    const void* override = language && columnId != -1 ? language->FindWidthOverride(columnId) : nullptr;
    if (override)
        width = std::min(ParseInteger(static_cast<const wchar_t*>(override)), kMaxLayoutSize);
    else
        ReadExtent(element, "width", width);
    return std::max(width, 0);
}

ColumnElement ReadColumn(pugi::xml_node element)
{
    ColumnElement column;
    std::wstring value;
    if (ReadAttribute(element, "name", value))
        column.columnId = FindListColumnId(value.c_str());
    if (ReadAttribute(element, "type", value))
        column.type = FindControlTypeId(value.c_str());
    column.width = ColumnWidth(element, column.columnId);
    if (column.type == kXListCheckBox) {
        column.exclusive = ReadAttribute(element, "exclusive", value) && IsTrueish(value);
        column.bitmaps.unchecked = ReadBitmap(element, "SBMN");
        column.bitmaps.checked = ReadBitmap(element, "SBMD");
        column.bitmaps.mask = ReadBitmap(element, "SBMM");
    }
    column.hasToolTip = ReadToolTip(element, column.toolTip);
    column.caption = wstr::Trim(ElementText(element));
    return column;
}

// The frame's picture: BMPINFO's state bitmaps, its RECT overridable under its own name.
bool ReadFramePicture(pugi::xml_node element, FrameBitmapInfo& frame)
{
    pugi::xml_node info = element.child("BMPINFO");
    StateBitmapSet set;
    if (!info || !ReadStateBitmaps(info, ReadItemId(info), set))
        return false;
    frame.bitmap = set.normal;
    frame.mask = set.mask;
    frame.rect = set.rect;
    return true;
}

} // namespace

std::unique_ptr<CGUIItem> BuildXListCtrl(pugi::xml_node element, const CGUIItems* items, CWnd* owner)
{
    const int32_t id = ReadItemId(element);
    if (id == -1 || !OwnerWindow(owner))
        return nullptr;

    VScrollSkin skin;
    const bool hasBar = ReadScrollSkin(element, skin);
    pugi::xml_node header = element.child("LISTHDR");
    const DWORD style = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | (header ? 0 : LVS_NOCOLUMNHEADER);
    FrameBitmapInfo frame;
    const bool hasFrame = ReadFramePicture(element, frame);
    int32_t borderWidth = 0;
    ReadExtent(element, "bdrwidth", borderWidth);
    borderWidth = std::max(borderWidth, 0);

    // The width is the bar's, the border's and the columns' whose name resolves, not RECT's.
    std::vector<ColumnElement> columns;
    int width = (hasBar ? skin.Width() : 0) + borderWidth;
    for (pugi::xml_node child = element.child("LISTCOLUMN"); child; child = child.next_sibling("LISTCOLUMN")) {
        columns.push_back(ReadColumn(child));
        if (columns.back().columnId != -1)
            width += columns.back().width;
    }
    CRect rect = ReadRect(element, id);
    rect.right = rect.left + width;
    CFontItem* font = items ? ReadFont(element, id, items) : nullptr;
    if (CurrentElementFaulty())
        return nullptr;

    auto list = std::make_unique<CXListCtrl>();
    list->id = id;
    list->SetItemFont(font);
    ApplyColors<CXListCtrl>(element, *list,
                            {{"fontclr", &CXListCtrl::SetFontColor},
                             {"fontclrhi", &CXListCtrl::SetFontColorHi},
                             {"backclr", &CXListCtrl::SetBackColor},
                             {"backclrhi", &CXListCtrl::SetBackColorHi},
                             {"bdrclr", &CXListCtrl::SetBorderColor}});
    if (header) {
        ApplyColors<CXListCtrl>(header, *list,
                                {{"backclr", &CXListCtrl::SetHeaderBackColor},
                                 {"fontclr", &CXListCtrl::SetHeaderTextColor}});
    }
    if (!list->CreateList(owner, static_cast<UINT>(id), style, rect, borderWidth, hasBar ? &skin : nullptr,
                          hasFrame ? &frame : nullptr, OwnerWindow(owner)))
        return nullptr;
    list->SetExtendedStyle(kListExStyle, kListExStyle);

    // Every column must be added, or the element yields nothing (and leaves no window behind).
    bool complete = !columns.empty();
    for (const ColumnElement& column : columns) {
        const bool added = column.columnId != -1 && column.type != -1 && column.width != 0 &&
                           list->AddColumn(column.columnId, column.caption.c_str(), column.width, column.type,
                                           column.exclusive, &column.bitmaps) >= 0;
        if (!added) {
            complete = false;
            break;
        }
        if (column.hasToolTip)
            list->SetColumnToolTip(column.columnId, column.toolTip.c_str());
    }
    if (!complete) {
        list->DestroyList();
        return nullptr;
    }
    return list;
}

} // namespace layout
