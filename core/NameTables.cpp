#include "core/NameTables.h"

#include <cwchar>
#include <iterator>
#include <utility>

#include "core/ItemIds.h"

namespace {

// The item ids that layouts give their items by name, in the order the table is filled.
#define HV_WIDE(text) L##text
const NameRow kItemIdRows[] = {
#define HV_ITEM_ID(name, id) { id, HV_WIDE(#name) },
#include "core/ItemIds.inc"
#undef HV_ITEM_ID
};
#undef HV_WIDE

const NameRow kShortcutFunctionRows[] = {
    { 1, L"$cut" }, { 2, L"$copy" }, { 3, L"$paste" }, { 4, L"$undo" }, { 5, L"$all" },
    { 6, L"$find" }, { 7, L"$new" }, { 8, L"$print" }, { 9, L"$save" }, { 10, L"$swapwindows" },
    { 11, L"$closewindow" }, { 12, L"$lockpc" }, { 13, L"$openexplorer" }, { 14, L"$run" },
    { 15, L"$showdesktop" }, { 16, L"$zoomin" }, { 17, L"$zoomout" },
};

// The language keys of the assignment types 0 to 64. The by-name variants (7, 23, 64) share the
// key of their by-identifier type, which therefore wins a look-up by name.
const NameRow kAssignmentTypeRows[] = {
    { 0, L"$defaultkey" }, { 1, L"$click" }, { 2, L"$menu" }, { 3, L"$universalscrolling" },
    { 4, L"$Double-Click" }, { 5, L"$SingleKey" }, { 6, L"$macro" }, { 7, L"$macro" },
    { 8, L"$buttonoff" }, { 9, L"$advanced" }, { 10, L"$on-the-flysensitivity" },
    { 11, L"$button4" }, { 12, L"$button5" }, { 13, L"$SensitivityStageUp" },
    { 14, L"$SensitivityStageDown" }, { 15, L"$SensitivityStages" }, { 16, L"$dpistage1" },
    { 17, L"$dpistage2" }, { 18, L"$dpistage3" }, { 19, L"$dpistage4" }, { 20, L"$dpistage5" },
    { 21, L"$TemporaryDPISwitch" }, { 22, L"$profile" }, { 23, L"$profile" },
    { 24, L"$profileup" }, { 25, L"$profiledown" }, { 26, L"$profile1" }, { 27, L"$profile2" },
    { 28, L"$profile3" }, { 29, L"$profile4" }, { 30, L"$profile5" }, { 31, L"$play" },
    { 32, L"$stop" }, { 33, L"$Backward" }, { 34, L"$Forward" }, { 35, L"$pause" },
    { 36, L"$volumeup" }, { 37, L"$volumedown" }, { 38, L"$mute" }, { 39, L"$skipback" },
    { 40, L"$skipforward" }, { 41, L"$scrollup" }, { 42, L"$scrolldown" }, { 43, L"$cut" },
    { 44, L"$copy" }, { 45, L"$paste" }, { 46, L"$undo" }, { 47, L"$all" }, { 48, L"$find" },
    { 49, L"$new" }, { 50, L"$print" }, { 51, L"$save" }, { 52, L"$swapwindows" },
    { 53, L"$closewindow" }, { 54, L"$lockpc" }, { 55, L"$openexplorer" }, { 56, L"$run" },
    { 57, L"$showdesktop" }, { 58, L"$zoomin" }, { 59, L"$zoomout" }, { 60, L"$dpisetting" },
    { 61, L"$profilesetting" }, { 62, L"$selectfun" }, { 63, L"$launchprogram" },
    { 64, L"$launchprogram" },
};

const NameRow kKeyDescriptionRows[] = {
    { 0, L"$ResetKeyBackToDefaultFunction" },
    { 5, L"$AssignKeyToBehaveAsAnotherKey" },
    { 6, L"$AssignKeyToControlPlaybackOfASelectedMacro" },
    { 22, L"$AssignKeyToSwitchToASelectedProfile" },
    { 63, L"$AssignKeyToLaunchASelectedApplication" },
};

// The help text keys of a mouse button's assignment type; types 43 to 64 reuse the assignment
// type keys.
const NameRow kButtonDescriptionRows[] = {
    { 0, L"$ResetButtonBackToDefaultFunction" }, { 1, L"$Assignasclick" },
    { 2, L"$Assignasmenu" }, { 3, L"$Assignasuniversalscrollcontrol" },
    { 4, L"$Assignasdouble-click" }, { 5, L"$Assignthisbuttontobehaveasakeyboardkey" },
    { 6, L"$Assignthisbuttontocontrolmacroplayback" },
    { 7, L"$Assignthisbuttontocontrolmacroplayback" }, { 8, L"$Disablethisbutton" },
    { 9, L"$advanced" }, { 10, L"$Assignthisbuttontoenableon-the-flysensitivitywhilstheld" },
    { 11, L"$button4" }, { 12, L"$button5" }, { 13, L"$AssignthisbuttontoincreaseDPIstage" },
    { 14, L"$AssignthisbuttontodecreaseDPIstage" }, { 15, L"$SensitivityStages" },
    { 16, L"$dpistage1" }, { 17, L"$dpistage2" }, { 18, L"$dpistage3" }, { 19, L"$dpistage4" },
    { 20, L"$dpistage5" }, { 21, L"$Assignthisbuttontoatemporarydpi" },
    { 22, L"$Assignthisbuttontochangetoaprofile" }, { 23, L"$Assignthisbuttontochangetoaprofile" },
    { 24, L"$profileup" }, { 25, L"$profiledown" }, { 26, L"$profile1" }, { 27, L"$profile2" },
    { 28, L"$profile3" }, { 29, L"$profile4" }, { 30, L"$profile5" }, { 31, L"$play" },
    { 32, L"$stop" }, { 33, L"$Assignasbackward" }, { 34, L"$Assignasforward" },
    { 35, L"$pause" }, { 36, L"$volumeup" }, { 37, L"$volumedown" }, { 38, L"$mute" },
    { 39, L"$skipback" }, { 40, L"$skipforward" },
    { 41, L"$AssignthisbuttontobehaveasScrollUp" }, { 42, L"$AssignthisbuttontobehaveasScrollDown" },
};

struct ColorRow
{
    COLORREF color;
    const wchar_t* name;
};

// Keyed by value: no two names may share one, hence VEXA_HIGHLIGHT 0xFEFEFE next to WHITE and the
// lowest bit that tells VEXA_PROFILE_HIGHLIGHT from VEXA_PANEL_BACKGROUND.
const ColorRow kColorRows[] = {
    { 0x0000FF, L"RED" }, { 0x00FF00, L"GREEN" }, { 0xFF0000, L"BLUE" }, { 0x00FFFF, L"YELLOW" },
    { 0x007EFF, L"ORANGE" }, { 0x8080FF, L"PINK" }, { 0x000000, L"BLACK" },
    { 0xFFFFFF, L"WHITE" }, { 0x3A3A3A, L"DARKGREY" }, { 0x777069, L"MIDGREY" },
    { 0x067401, L"GREEN2" }, { 0x014709, L"GREEN3" }, { 0x021E00, L"GREEN4" },
    { 0xC57700, L"BLUE2" }, { 0x0B0B0B, L"BLACK2" }, { 0x2B2B2B, L"DARKGREY2" },
    { 0x677079, L"MIDGREY2" }, { 0x505050, L"GREY_DROPDOWN" }, { 0x623300, L"BLUE_VX_BORDER" },
    { 0xEDD8FF, L"BLUE_VX_HIGHLIGHT" }, { 0x3D1B00, L"BLUE_VX_PROFILE_HIGHLIGHT" },
    { 0xFDAE00, L"BLUE_VX_TAB_SELECT" }, { 0xD6C2B1, L"GREY_VX_HEADING" },
    { 0x007CD0, L"GOLD_VX_HIGHTLIGHT" }, { 0x554909, L"VEXA_BORDER" },
    { 0xFEFEFE, L"VEXA_HIGHLIGHT" }, { 0x362E04, L"VEXA_PROFILE_HIGHLIGHT" },
    { 0xEDE86F, L"VEXA_TAB_SELECT" }, { 0x1C1803, L"VEXA_COMBO_BK" },
    { 0x483D06, L"VEXA_DROPDOWN_BORDER" }, { 0x816E0B, L"VEXA_PANEL_BORDER" },
    { 0x362E05, L"VEXA_PANEL_BACKGROUND" }, { 0x5E510A, L"VEXA_PANEL_HIGHLIGHT" },
};

const NameRow kListColumnRows[] = {
    { 0, L"LCITEM_PROFILECURRENT" }, { 1, L"LCITEM_PROFILEID" }, { 2, L"LCITEM_PROFILENAME" },
    { 3, L"LCITEM_PROFILEEXE" }, { 4, L"LCITEM_AUTOSWITCH" }, { 5, L"LCITEM_MCREVENT_ICON" },
    { 6, L"LCITEM_MCREVENT_DESCRIP" },
};

const NameRow kControlTypeRows[] = {
    { 0, L"ICON" }, { 1, L"STATIC" }, { 2, L"EDIT" }, { 3, L"COMBO" }, { 4, L"CHECKBOX" },
    { 5, L"FILEDIALOG" },
};

const NameRow kMacroColumnTypeRows[] = {
    { 0, L"ICON" }, { 1, L"STATIC" },
};

// Languages 10 to 14 have no text of their own and fall back to English.
const NameRow kLanguageRows[] = {
    { 0, L"English" }, { 1, L"ChineseSimplified" }, { 2, L"ChineseTraditional" },
    { 3, L"French" }, { 4, L"FrenchCanadian" }, { 5, L"German" }, { 6, L"Korean" },
    { 7, L"Russian" }, { 8, L"Japanese" }, { 9, L"Spanish" }, { 10, L"English" },
    { 11, L"English" }, { 12, L"English" }, { 13, L"English" }, { 14, L"English" },
};

// Keyboard layout code reported by the keyboard -> its layout's item id.
const std::pair<int32_t, int32_t> kKeyboardLayoutRows[] = {
    { 0, KBLAYOUT_ENGLISH }, { 1, KBLAYOUT_ENGLISH }, { 2, KBLAYOUT_GREEK }, { 3, KBLAYOUT_GERMAN },
    { 4, KBLAYOUT_FRENCH }, { 5, KBLAYOUT_RUSSIAN }, { 6, KBLAYOUT_UK }, { 7, KBLAYOUT_NORDIC },
    { 8, KBLAYOUT_CHINESE_TRADITIONAL }, { 9, KBLAYOUT_KOREAN }, { 10, KBLAYOUT_TURKISH },
    { 11, KBLAYOUT_THAI }, { 12, KBLAYOUT_JAPANESE },
};

template <size_t N>
CNameTable Build(const NameRow (&rows)[N])
{
    CNameTable table;
    for (const NameRow& row : rows)
        table.Set(row.number, row.name);
    return table;
}

// The button descriptions continue with the assignment type keys from 43 on.
CNameTable BuildButtonDescriptions()
{
    CNameTable table = Build(kButtonDescriptionRows);
    for (const NameRow& row : kAssignmentTypeRows) {
        if (row.number >= 43)
            table.Set(row.number, row.name);
    }
    return table;
}

CNameTable BuildColors()
{
    CNameTable table;
    for (const ColorRow& row : kColorRows)
        table.Set(static_cast<int32_t>(row.color), row.name);
    return table;
}

// Built on first use; C++ guarantees one thread builds each.
const CNameTable& ItemIds() { static const CNameTable t = Build(kItemIdRows); return t; }
const CNameTable& ShortcutFunctions() { static const CNameTable t = Build(kShortcutFunctionRows); return t; }
const CNameTable& AssignmentTypes() { static const CNameTable t = Build(kAssignmentTypeRows); return t; }
const CNameTable& KeyDescriptions() { static const CNameTable t = Build(kKeyDescriptionRows); return t; }
const CNameTable& ButtonDescriptions() { static const CNameTable t = BuildButtonDescriptions(); return t; }
const CNameTable& Colors() { static const CNameTable t = BuildColors(); return t; }
const CNameTable& ListColumns() { static const CNameTable t = Build(kListColumnRows); return t; }
const CNameTable& ControlTypes() { static const CNameTable t = Build(kControlTypeRows); return t; }
const CNameTable& MacroColumnTypes() { static const CNameTable t = Build(kMacroColumnTypeRows); return t; }
const CNameTable& Languages() { static const CNameTable t = Build(kLanguageRows); return t; }

const std::map<int32_t, int32_t>& KeyboardLayoutItems()
{
    static const std::map<int32_t, int32_t> t(std::begin(kKeyboardLayoutRows), std::end(kKeyboardLayoutRows));
    return t;
}

} // namespace

void CNameTable::Set(int32_t number, const wchar_t* name)
{
    m_names[number] = name;
}

int32_t CNameTable::FindByName(const wchar_t* name) const
{
    if (!name)
        return -1;
    for (const auto& entry : m_names) {
        if (_wcsicmp(entry.second, name) == 0)
            return entry.first;
    }
    return -1;
}

const wchar_t* CNameTable::FindByNumber(int32_t number) const
{
    auto it = m_names.find(number);
    return it == m_names.end() ? nullptr : it->second;
}

const NameRow* ItemIdRows(size_t& count)
{
    count = std::size(kItemIdRows);
    return kItemIdRows;
}

void InitNameTables()
{
    ItemIds();
    ShortcutFunctions();
    AssignmentTypes();
    KeyDescriptions();
    ButtonDescriptions();
    Colors();
    ListColumns();
    ControlTypes();
    MacroColumnTypes();
}

void FillLanguageNameTable() { Languages(); }
void FillKeyboardLayoutItemTable() { KeyboardLayoutItems(); }

int32_t FindItemIdByName(const wchar_t* name) { return ItemIds().FindByName(name); }
const wchar_t* FindItemNameById(int32_t id) { return ItemIds().FindByNumber(id); }

COLORREF FindColorByName(const wchar_t* name)
{
    return static_cast<COLORREF>(Colors().FindByName(name));
}

int32_t FindShortcutFunctionId(const wchar_t* name) { return ShortcutFunctions().FindByName(name); }
int32_t FindAssignmentTypeId(const wchar_t* name) { return AssignmentTypes().FindByName(name); }
int32_t FindListColumnId(const wchar_t* name) { return ListColumns().FindByName(name); }
int32_t FindControlTypeId(const wchar_t* name) { return ControlTypes().FindByName(name); }
int32_t FindMacroColumnTypeId(const wchar_t* name) { return MacroColumnTypes().FindByName(name); }
int32_t FindLanguageIdByName(const wchar_t* name) { return Languages().FindByName(name); }

int32_t FindKeyboardLayoutItemId(int32_t code)
{
    const auto& items = KeyboardLayoutItems();
    auto it = items.find(code);
    return it == items.end() ? -1 : it->second;
}

const wchar_t* FindAssignmentTypeName(int32_t type) { return AssignmentTypes().FindByNumber(type); }
const wchar_t* FindButtonDescription(int32_t type) { return ButtonDescriptions().FindByNumber(type); }
const wchar_t* FindKeyDescription(int32_t type) { return KeyDescriptions().FindByNumber(type); }
const wchar_t* FindLanguageNameById(int32_t id) { return Languages().FindByNumber(id); }
