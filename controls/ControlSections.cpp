// The BITMAPS section, the controls' part of the section table and the whole table.
#include "controls/ControlSections.h"

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "controls/BitmapItem.h"
#include "controls/BitmapWindow.h"
#include "controls/DpiSections.h"
#include "controls/ItemSections.h"
#include "controls/KeyListSection.h"
#include "platform/Wnd.h"
#include "skin/FontItem.h"
#include "skin/GUIItem.h"
#include "skin/LayoutErrors.h"
#include "skin/LayoutLoader.h"
#include "skin/LayoutReaders.h"
#include "skin/LayoutSectionBuild.h"

using namespace layout;

namespace {

// ---- BITMAPS ------------------------------------------------------------------------------------

std::unique_ptr<CGUIItem> BuildBitmapItem(pugi::xml_node element, CWnd* owner)
{
    int32_t id = ReadItemId(element);
    if (id == -1 || !OwnerWindow(owner))
        return nullptr;
    HBITMAP bitmap = ReadBitmap(element, "SBMN");
    HBITMAP mask = ReadBitmap(element, "SBMM");
    CRect rect = ReadRect(element, id);
    // Disabled unless "moveable" is present and not true-ish: a disabled bitmap lets the mouse
    // through to the panel, which can then be dragged by it. A bitmap that hosts buttons or keys
    // must say moveable="0", or its children never see the mouse.
    std::wstring moveable;
    bool enabled = ReadAttribute(element, "moveable", moveable) && !IsTrueish(moveable);
    DWORD style = WS_CHILD | WS_VISIBLE | (enabled ? 0 : WS_DISABLED);
    std::wstring tooltip;
    bool hasToolTip = ReadToolTip(element, tooltip);
    if (CurrentElementFaulty())
        return nullptr;

    auto item = std::make_unique<CBitmapItem>();
    item->id = id;
    item->owner = owner;
    if (!item->Create(rect, OwnerWindow(owner), style))
        return nullptr;
    if (mask)
        item->SetBitmapWithMask(mask, bitmap, rect);
    else
        item->SetBitmap(bitmap, rect.left, rect.top, rect.right, rect.bottom);
    if (hasToolTip)
        item->SetToolTip(tooltip.c_str());
    return item;
}

UINT TextFormat(wchar_t justify, bool multiline)
{
    UINT format = justify == L'C' ? DT_CENTER : justify == L'R' ? DT_RIGHT : DT_LEFT;
    return format | (multiline ? DT_WORDBREAK : (DT_VCENTER | DT_SINGLELINE));
}

std::unique_ptr<CGUIItem> BuildBitmapWindow(pugi::xml_node element, CGUIItems* items, CWnd* owner)
{
    int32_t id = ReadItemId(element);
    if (id == -1 || !OwnerWindow(owner))
        return nullptr;
    HBITMAP downSelected = ReadBitmap(element, "SBMDS");
    HBITMAP normal = ReadBitmap(element, "SBMN");
    HBITMAP over = ReadBitmap(element, "SBMO");
    HBITMAP down = ReadBitmap(element, "SBMD");
    HBITMAP mask = ReadBitmap(element, "SBMM");
    int caseMode = ReadCaps(element, id);
    bool multiline = ReadMultiline(element, id);
    wchar_t justify = ReadJustify(element);
    CRect rect = ReadRect(element, id);
    std::wstring tooltip;
    bool hasToolTip = ReadToolTip(element, tooltip);
    CFontItem* font = items ? ReadFont(element, id, items) : nullptr;
    if (CurrentElementFaulty())
        return nullptr;

    auto item = std::make_unique<CBitmapWindow>();
    item->id = id;
    item->owner = owner;
    if (!item->Create(rect, OwnerWindow(owner)))
        return nullptr;
    item->SetBitmaps(downSelected, normal, over, down, mask);
    item->SetCaseMode(caseMode);
    item->SetFormat(TextFormat(justify, multiline));
    item->SetItemFont(font);
    COLORREF textColor = 0;
    if (ReadColor(element, "fontclr", textColor))
        item->SetTextColor(textColor);
    for (pugi::xml_node icon = element.child("BITMAPITEM"); icon; icon = icon.next_sibling("BITMAPITEM")) {
        // A faulty icon is skipped on its own.
        CLayoutElementCheck check;
        std::wstring type;
        ReadAttribute(icon, "assntype", type);
        HBITMAP picture = ReadBitmap(icon, "SBMN");
        if (!check.Faulty())
            item->AddAssignmentIcon(ParseInteger(type), picture);
    }
    if (hasToolTip)
        item->SetToolTip(tooltip.c_str());
    return item;
}

uint32_t ReadBitmaps(pugi::xml_node root, CGUIItems* items, CWnd* owner)
{
    SectionCount count;
    pugi::xml_node list = root.child("BITMAPLIST");
    if (!list)
        return 0;
    BuildChildren(list, "BITMAPITEM", items, count,
                  [&](pugi::xml_node element) { return BuildBitmapItem(element, owner); });
    BuildChildren(list, "SLIDERTRACK", items, count,
                  [&](pugi::xml_node element) { return BuildSliderTrack(element, owner); });
    BuildChildren(list, "BITMAPWINDOW", items, count,
                  [&](pugi::xml_node element) { return BuildBitmapWindow(element, items, owner); });
    return count.Packed();
}

constexpr LayoutSection kControlSections[] = {
    {L"BITMAPS", ReadBitmaps},
    {L"BUTTONS", ReadButtons},
    {L"SLIDERS", ReadSliders},
    {L"TEXT ITEMS", ReadTextItems},
    {L"DPI STAGE WINDOWS", ReadDpiStageWindows},
    {L"MACRO DISPLAYS", ReadMacroDisplays},
    {L"LISTS", ReadLists},
    {L"LIST PANELS", ReadListPanels},
    {L"EDIT CONTROLS", ReadEditControls},
    {L"KEYBOARD KEYS", ReadKeyboardKeyList},
    {L"PROGRESS PANELS", ReadProgressPanels},
};

} // namespace

void UseSkinLayoutSections()
{
    // Made once; it lives as long as the program, as the loader needs.
    static const std::vector<LayoutSection> whole = [] {
        const LayoutSectionTable framework = FrameworkLayoutSections();
        std::vector<LayoutSection> sections(framework.begin(), framework.end());
        sections.insert(sections.end(), std::begin(kControlSections), std::end(kControlSections));
        return sections;
    }();
    SetLayoutSections({whole.data(), whole.size()});
}
