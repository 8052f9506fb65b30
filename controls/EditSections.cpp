// The MACRO DISPLAYS, EDIT CONTROLS and PROGRESS PANELS sections.
#include "controls/ItemSections.h"

#include <algorithm>
#include <string>
#include <vector>

#include "controls/ControlReaders.h"
#include "controls/EditItem.h"
#include "controls/MacroDisplay.h"
#include "controls/ProgressPanelItem.h"
#include "core/NameTables.h"
#include "platform/WStr.h"
#include "skin/FontItem.h"
#include "skin/GUIItem.h"
#include "skin/LangTable.h"
#include "skin/LayoutErrors.h"
#include "skin/LayoutReaders.h"
#include "skin/LayoutSectionBuild.h"

namespace layout {

namespace {

// A size attribute, negative values as 0; fallback when it is missing.
int32_t ReadSize(pugi::xml_node node, const char* name, int32_t fallback)
{
    int32_t n = fallback;
    if (!ReadExtent(node, name, n))
        return fallback;
    return n < 0 ? 0 : n;
}

// The width of a list column: the current language's override for the column, else "width";
// negative as 0.
int32_t ReadColumnWidth(pugi::xml_node column, int32_t columnId)
{
    int32_t width = 0;
    const CLangTable* language = GetCurrentLangTable();
    const void* override = language && columnId != -1 ? language->FindWidthOverride(columnId) : nullptr;
    if (override)
        width = std::min(ParseInteger(static_cast<const wchar_t*>(override)), kMaxLayoutSize);
    else
        ReadExtent(column, "width", width);
    return width < 0 ? 0 : width;
}

// ---- MACRODISPLAY -------------------------------------------------------------------------------

// Adds the LISTCOLUMN children; true when there is at least one and every one was added.
bool AddMacroColumns(pugi::xml_node element, CMacroDisplayItem& display)
{
    size_t columns = 0;
    size_t added = 0;
    for (pugi::xml_node column = element.child("LISTCOLUMN"); column; column = column.next_sibling("LISTCOLUMN")) {
        ++columns;
        std::wstring name, type;
        ReadAttribute(column, "name", name);
        ReadAttribute(column, "type", type);
        const int32_t columnId = FindListColumnId(name.c_str());
        const int32_t columnType = FindMacroColumnTypeId(type.c_str());
        int32_t width = ReadColumnWidth(column, columnId);
        if (columnId == CMacroDisplayItem::kTextColumnId)
            width = std::max(0, width - 2 * display.BorderWidth());
        if (columnId == -1 || columnType == -1 || width == 0)
            continue;
        if (display.AddColumn(columnId, columnType, ReadJustify(column), width) >= 0)
            ++added;
    }
    return columns > 0 && added == columns;
}

std::unique_ptr<CGUIItem> BuildMacroDisplay(pugi::xml_node element, const CGUIItems* items, CWnd* owner)
{
    const int32_t id = ReadItemId(element);
    if (id == -1 || !OwnerWindow(owner))
        return nullptr;
    std::wstring value;
    const int32_t maxEvents = ReadAttribute(element, "max", value) ? ParseInteger(value) : 0;
    const bool readOnly = ReadAttribute(element, "readonly", value) && IsTrueish(value);
    auto display = std::make_unique<CMacroDisplayItem>(maxEvents, readOnly);
    display->id = id;
    display->owner = owner;

    StateBitmapSet frameBitmaps;
    const bool hasFrame = element.child("BMPINFO") && ReadStateBitmaps(element.child("BMPINFO"), id, frameBitmaps);
    display->SetBorderWidth(ReadSize(element, "bdrwidth", display->BorderWidth()));
    display->SetLeftMargin(ReadSize(element, "lmargin", display->LeftMargin()));
    if (items)
        display->SetItemFont(ReadFont(element, id, items));
    VScrollSkin skin;
    const bool hasScroll = ReadScrollSkin(element, skin);
    const CRect rect = ReadRect(element, id);
    ApplyColors<CMacroDisplayItem>(element, *display,
                                   {{"fontclr", &CMacroDisplayItem::SetFontColor},
                                    {"fontclrhi", &CMacroDisplayItem::SetFontColorHi},
                                    {"backclr", &CMacroDisplayItem::SetBackColor},
                                    {"backclrhi", &CMacroDisplayItem::SetBackColorHi},
                                    {"bdrclr", &CMacroDisplayItem::SetBorderColor}});
    HBITMAP keyDown = nullptr, keyUp = nullptr, mouse = nullptr, mouseHi = nullptr, delay = nullptr,
            delayHi = nullptr;
    ReadBitmapsByName(element, {{"MDBMP_KEYDN", &keyDown},
                                {"MDBMP_KEYUP", &keyUp},
                                {"MDBMP_MSE", &mouse},
                                {"MDBMP_MSEH", &mouseHi},
                                {"MDBMP_CLK", &delay},
                                {"MDBMP_CLKH", &delayHi}});
    if (CurrentElementFaulty())
        return nullptr;

    FrameBitmapInfo frame;
    if (hasFrame) {
        frame.bitmap = frameBitmaps.normal;
        frame.mask = frameBitmaps.mask;
        frame.rect = frameBitmaps.rect;
    }
    if (!display->CreateList(OwnerWindow(owner), rect, static_cast<UINT>(id), hasScroll ? &skin : nullptr,
                             hasFrame ? &frame : nullptr))
        return nullptr;
    display->SetExtendedStyle(LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    display->SetRowBitmaps(keyDown, keyUp, mouse, mouseHi, delay, delayHi);
    // A display whose columns do not all resolve is dropped with its windows.
    if (!AddMacroColumns(element, *display))
        return nullptr;
    std::wstring tooltip;
    if (ReadToolTip(element, tooltip))
        display->SetToolTip(tooltip.c_str());
    return display;
}

// ---- EDITCTRL, EDITCTRLSK, EDITCTRLSKMMO --------------------------------------------------------

template <class Edit>
std::unique_ptr<CGUIItem> BuildEdit(pugi::xml_node element, const CGUIItems* items, CWnd* owner, bool keyEdit)
{
    const int32_t id = ReadItemId(element);
    if (id == -1 || !OwnerWindow(owner))
        return nullptr;
    auto edit = std::make_unique<Edit>();
    edit->id = id;
    edit->owner = owner;
    ApplyColors<CEditItem>(element, *edit,
                           {{"fontclr", &CEditItem::SetFontColor},
                            {"fontclrhi", &CEditItem::SetFontColorHi},
                            {"backclr", &CEditItem::SetBackColor},
                            {"backclrhi", &CEditItem::SetBackColorHi},
                            {"bdrclr", &CEditItem::SetBorderColor}});
    if (!keyEdit)
        ApplyColors<CEditItem>(element, *edit,
                               {{"disbbackclr", &CEditItem::SetDisabledBackColor},
                                {"disbbdrclr", &CEditItem::SetDisabledBorderColor},
                                {"disbfontclr", &CEditItem::SetDisabledFontColor}});
    edit->SetBorderWidth(ReadSize(element, "bdrwidth", edit->BorderWidth()));
    if (items)
        edit->SetItemFont(ReadFont(element, id, items));
    const CRect rect = ReadRect(element, id);
    std::wstring maxText;
    const bool hasMax = ReadAttribute(element, "max", maxText);
    if (CurrentElementFaulty())
        return nullptr;

    const DWORD style = WS_CHILD | WS_VISIBLE | (keyEdit || ReadJustify(element) == L'C' ? ES_CENTER : 0);
    if (!edit->CreateInFrame(style, rect, OwnerWindow(owner), static_cast<UINT>(id)))
        return nullptr;
    if (hasMax) {
        const int32_t limit = ParseInteger(maxText);
        edit->SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(limit < 0 ? 0 : limit));
    }
    std::wstring tooltip;
    if (!keyEdit && ReadToolTip(element, tooltip))
        edit->SetToolTip(tooltip.c_str());
    // A key edit gets the keyboard's raw input only from the popup that shows it: a page's layout
    // never takes the one registration a recording needs.
    return edit;
}

// ---- PROGRESSPANELITEM --------------------------------------------------------------------------

std::unique_ptr<CGUIItem> BuildProgressPanel(pugi::xml_node element, const CGUIItems* items, CWnd* owner)
{
    const int32_t id = ReadItemId(element);
    if (id == -1)
        return nullptr;
    const CRect rect = ReadRect(element, id);
    auto panel = std::make_unique<CProgressPanelItem>();
    panel->id = id;
    panel->owner = owner;
    ApplyColors<CProgressPanelItem>(element, *panel,
                                    {{"fontclr", &CProgressPanelItem::SetFontColor},
                                     {"fontclrhi", &CProgressPanelItem::SetFontColorHi},
                                     {"backclr", &CProgressPanelItem::SetBackColor},
                                     {"backclrhi", &CProgressPanelItem::SetBackColorHi},
                                     {"bdrclr", &CProgressPanelItem::SetBorderColor}});
    panel->SetBorderWidth(ReadSize(element, "bdrwidth", panel->BorderWidth()));
    FillInfo fill;
    fill.fillColor = RGB(255, 255, 255);
    if (element.child("FILLINFO")) {
        ReadFillInfo(element, fill);
        panel->SetFill(fill.fillColor, fill.backColor, fill.rect);
    }
    std::vector<CProgressPanelItem::TextRecord> texts;
    pugi::xml_node list = element.child("TEXTINFOLIST");
    for (pugi::xml_node child = list.child("TEXTINFO"); child; child = child.next_sibling("TEXTINFO")) {
        TextInfo info;
        info.textColor = RGB(255, 255, 255);
        info.backColor = 0;
        if (!ReadTextInfo(child, items, info))
            continue;
        CProgressPanelItem::TextRecord record;
        record.name = info.name;
        record.textKey = info.text;
        record.rect = info.rect;
        record.fontId = info.font ? info.font->id : -1;
        record.color = info.textColor;
        record.backColor = info.backColor;
        texts.push_back(record);
    }
    if (!texts.empty())
        panel->SetTextInfos(texts);
    panel->SetWindowPlace(rect, WS_CHILD | WS_VISIBLE, OwnerWindow(owner));
    return panel;
}

} // namespace

uint32_t ReadMacroDisplays(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    pugi::xml_node list = root.child("MACRODISPLAYLIST");
    if (!list)
        return 0;
    BuildChildren(list, "MACRODISPLAY", items, count,
                  [&](pugi::xml_node element) { return BuildMacroDisplay(element, items, owner); });
    return count.Packed();
}

uint32_t ReadEditControls(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    pugi::xml_node list = root.child("EDITCTRLLIST");
    if (!list)
        return 0;
    BuildChildren(list, "EDITCTRL", items, count,
                  [&](pugi::xml_node element) { return BuildEdit<CEditItem>(element, items, owner, false); });
    BuildChildren(list, "EDITCTRLSK", items, count, [&](pugi::xml_node element) {
        return BuildEdit<CEditItemSingleKeyInput>(element, items, owner, true);
    });
    BuildChildren(list, "EDITCTRLSKMMO", items, count, [&](pugi::xml_node element) {
        return BuildEdit<CEditItemSingleKeyInputMMO>(element, items, owner, true);
    });
    return count.Packed();
}

uint32_t ReadProgressPanels(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    pugi::xml_node list = root.child("PROGRESSPANELLIST");
    if (!list)
        return 0;
    BuildChildren(list, "PROGRESSPANELITEM", items, count,
                  [&](pugi::xml_node element) { return BuildProgressPanel(element, items, owner); });
    return count.Packed();
}

} // namespace layout
