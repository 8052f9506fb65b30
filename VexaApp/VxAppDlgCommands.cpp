// The main dialog's commands: what a click of a skinned button (or of a check box a text item
// labels) does, by its item id. Each page's commands are one table, written once for both products:
// a row names the item id that gives the command on each product's page and one handler that takes
// the product. The window's own commands (the footer, the header, the tabs) are a table too.
//
// Marking the product unsaved is not a matter of the command but of its sender: OnCommand marks
// the current product for every command of an item of the current page, before it gets here, and
// never for one of the main layout's own items (VxAppDlgRouting.cpp).
//
// A handler may run a modal loop (a question, a file dialog, a popup) in which a device notice makes
// the configuration again: handlers reach pages and the configuration through the dialog's members
// after such a loop, and read the item they were given only before it.
#include "core/ItemIds.h"
#include "VexaApp/VxAppDlg.h"

#include <iterator>

#include "controls/BitmapBtn.h"
#include "controls/TextItem.h"
#include "model/ProfileFiles.h"
#include "platform/ShellOpen.h"
#include "platform/WStr.h"

namespace {

// The support page; the reserved ".example" host stands for the maker's site.
constexpr const wchar_t* kSupportPage = L"https://www.halvo.example/drivers/VEXA/win";

// The check state of a check-box button, or of the check box a text item labels.
bool IsItemChecked(const CGUIItem& item)
{
    if (item.kind == ItemKind::BitmapBtn)
        return static_cast<const CBitmapBtn&>(item).IsChecked();
    if (item.kind == ItemKind::TextItem)
        if (const CBitmapBtn* box = static_cast<const CTextItem&>(item).CheckBox())
            return box->IsChecked();
    return false;
}

// The items that leave the page or the program: off while a macro records.
bool IsNavigation(int32_t id)
{
    return id == BUTTON_OK || id == BUTTON_CANCEL || id == BUTTON_APPLY || id == BUTTON_EXIT ||
           (id >= BUTTON_PRODSELECT_MOUSE && id <= BUTTON_LIGHTINGMAINTENANCE_KEYBOARD);
}

} // namespace

// The handlers and their tables, members of the dialog so that they reach its pages.
struct CVxAppDlg::Commands
{
    using Handler = void (*)(CVxAppDlg& dialog, int product, const CGUIItem& item);

    // One command: the item id that gives it on the mouse's and on the keyboard's page (0 where the
    // product has none; the window's own commands use the first column), and its handler, which is
    // given the product of the column that matched.
    struct Row
    {
        int32_t ids[2];
        Handler run;
    };

    struct Table
    {
        const Row* rows;
        size_t count;
    };

    // Calls f with the product's macro page (the two products' pages are of different types).
    template <class F>
    static void OnMacroPage(CVxAppDlg& dialog, int product, F f)
    {
        if (product == kMouse)
            f(dialog.m_mouseMacros);
        else
            f(dialog.m_keyboardMacros);
    }

    // ---- the window's own ----
    static void Ok(CVxAppDlg& dialog, int, const CGUIItem&) { dialog.OnOK(); }
    static void Close(CVxAppDlg& dialog, int, const CGUIItem&) { dialog.PostMessage(WM_CLOSE); }
    static void Apply(CVxAppDlg& dialog, int, const CGUIItem&)
    {
        // Not offered while the product's write runs; a click that still arrives changes nothing.
        if (IsProduct(dialog.m_product) && dialog.IsWriting(dialog.m_product))
            return;
        if (dialog.SaveToDevice() == WriteStart::Started)
            dialog.ClearModified();
        dialog.UpdateProductTabs(false);
    }
    static void Update(CVxAppDlg& dialog, int, const CGUIItem&) { ShellOpen(dialog.m_hWnd, L"OPEN", kSupportPage); }
    static void Help(CVxAppDlg& dialog, int, const CGUIItem&)
    {
        ShellOpen(dialog.m_hWnd, L"OPEN", wstr::Format(L"%lsManuals\\index.html", ProgramFolder().c_str()));
    }
    static void ProductTab(CVxAppDlg& dialog, int product, const CGUIItem&) { dialog.SwitchProduct(product, false); }
    // Page numbers run over both products' tabs, 1..9.
    static void PageTab(CVxAppDlg& dialog, int, const CGUIItem& item) { dialog.SwitchPage(item.id - BUTTON_ASSIGNBUTTONS + 1); }

    static constexpr Row kWindow[] = {
        {{BUTTON_OK, 0}, Ok},
        {{BUTTON_CANCEL, 0}, Close},
        {{BUTTON_EXIT, 0}, Close},
        {{BUTTON_APPLY, 0}, Apply},
        {{BUTTON_UPDATE, 0}, Update},
        {{BUTTON_HELP, 0}, Help},
        {{BUTTON_PRODSELECT_MOUSE, BUTTON_PRODSELECT_KEYBOARD}, ProductTab},
        {{BUTTON_ASSIGNBUTTONS, BUTTON_ASSIGNKEYS}, PageTab},
        {{BUTTON_ADJUSTPERFORMANCE, BUTTON_MANAGEPROFILES_KEYBOARD}, PageTab},
        {{BUTTON_MANAGEPROFILES, BUTTON_MANAGEMACROS_KEYBOARD}, PageTab},
        {{BUTTON_MANAGEMACROS, BUTTON_LIGHTINGMAINTENANCE_KEYBOARD}, PageTab},
        {{BUTTON_LIGHTINGMAINTENANCE, 0}, PageTab},
    };

    // ---- the buttons and keys pages ----
    static void ResetKeys(CVxAppDlg& dialog, int, const CGUIItem&) { dialog.m_keyboardKeys.ResetKeyboardKeys(); }

    static constexpr Row kAssign[] = {
        {{0, BUTTON_RESET_KEYBOARD_KEYS}, ResetKeys},
    };

    // ---- the performance page ----
    static void Acceleration(CVxAppDlg& dialog, int, const CGUIItem&) { dialog.m_mousePerformance.ToggleAcceleration(); }
    template <int Index>
    static void PollingRate(CVxAppDlg& dialog, int, const CGUIItem&) { dialog.m_mousePerformance.SetPollingRate(Index); }
    static void SensitivityStages(CVxAppDlg& dialog, int, const CGUIItem&) { dialog.m_mousePerformance.OpenSensitivityStagesPopup(); }
    static void DpiOsd(CVxAppDlg& dialog, int, const CGUIItem& item)
    {
        if (*dialog.m_mouseConfig)
            (*dialog.m_mouseConfig)->SetOsdDpi(IsItemChecked(item), nullptr);
    }
    static void SeparateXY(CVxAppDlg& dialog, int, const CGUIItem&) { dialog.m_mousePerformance.ToggleXYSensitivity(); }

    static constexpr Row kPerformance[] = {
        {{BUTTON_ENABLEACCELERATION, 0}, Acceleration},
        {{BUTTON_RATE1, 0}, PollingRate<0>},
        {{BUTTON_RATE2, 0}, PollingRate<1>},
        {{BUTTON_RATE3, 0}, PollingRate<2>},
        {{BUTTON_SENSITIVITY_STAGES, 0}, SensitivityStages},
        {{BUTTON_ENABLE_DPI_OSD, 0}, DpiOsd},
        {{BUTTON_ENABLEXY, 0}, SeparateXY},
    };

    // ---- the profile pages ----
    // The keyboard's profile pages are refilled whatever its create and delete did; the mouse's
    // only when a profile was made or deleted.
    static void NewProfile(CVxAppDlg& dialog, int product, const CGUIItem&)
    {
        const bool made = product == kMouse ? dialog.m_mouseProfiles.CreateMouseProfile()
                                            : dialog.m_keyboardProfiles.CreateKeyboardProfile();
        if (made || product == kKeyboard)
            dialog.RefreshProfilePages(product);
    }
    static void ImportProfile(CVxAppDlg& dialog, int product, const CGUIItem&)
    {
        if (product == kMouse)
            dialog.m_mouseProfiles.ImportMouseProfile();
        else
            dialog.m_keyboardProfiles.ImportKeyboardProfile();
        dialog.RefreshProfilePages(product);
    }
    static void ExportProfile(CVxAppDlg& dialog, int product, const CGUIItem&)
    {
        if (product == kMouse)
            dialog.m_mouseProfiles.ExportMouseProfile();
        else
            dialog.m_keyboardProfiles.ExportKeyboardProfile();
    }
    static void DeleteProfile(CVxAppDlg& dialog, int product, const CGUIItem&)
    {
        const bool deleted = product == kMouse ? dialog.m_mouseProfiles.DeleteMouseProfile()
                                               : dialog.m_keyboardProfiles.DeleteKeyboardProfile();
        if (deleted || product == kKeyboard)
            dialog.RefreshProfilePages(product);
    }
    // The mouse keeps the flag in its configuration, the keyboard in every profile.
    static void ProfileOsd(CVxAppDlg& dialog, int product, const CGUIItem& item)
    {
        const bool on = IsItemChecked(item);
        if (product == kKeyboard)
            dialog.m_keyboardProfiles.SetProfileOsd(on);
        else if (*dialog.m_mouseConfig)
            (*dialog.m_mouseConfig)->SetOsdProfile(on, nullptr);
    }

    static constexpr Row kProfiles[] = {
        {{BUTTON_NEWPROFILE_MOUSE, BUTTON_NEWPROFILE_KEYBOARD}, NewProfile},
        {{BUTTON_IMPORTPROFILE_MOUSE, BUTTON_IMPORTPROFILE_KEYBOARD}, ImportProfile},
        {{BUTTON_EXPORTPROFILE_MOUSE, BUTTON_EXPORTPROFILE_KEYBOARD}, ExportProfile},
        {{BUTTON_DELETEPROFILE_MOUSE, BUTTON_DELETEPROFILE_KEYBOARD}, DeleteProfile},
        {{BUTTON_ENABLE_PROFILE_OSD, BUTTON_ENABLE_PROFILE_OSD_KEYBOARD}, ProfileOsd},
    };

    // ---- the macro pages ----
    static void CreateMacro(CVxAppDlg& d, int product, const CGUIItem&)
    {
        OnMacroPage(d, product, [](auto& page) { page.CreateMacro(); });
    }
    static void ImportMacro(CVxAppDlg& d, int product, const CGUIItem&)
    {
        OnMacroPage(d, product, [](auto& page) { page.ImportMacro(); });
    }
    static void ExportMacro(CVxAppDlg& d, int product, const CGUIItem&)
    {
        OnMacroPage(d, product, [](auto& page) { page.ExportMacro(); });
    }
    static void DeleteMacro(CVxAppDlg& d, int product, const CGUIItem&)
    {
        OnMacroPage(d, product, [](auto& page) { page.DeleteMacro(); });
    }
    // Navigation is off while a macro records; the page says whether its state changed.
    static void Record(CVxAppDlg& d, int product, const CGUIItem&)
    {
        bool toggled = false;
        OnMacroPage(d, product, [&](auto& page) { toggled = page.ToggleRecording(); });
        if (toggled) {
            d.EnableNavigation(d.m_recording);
            d.m_recording = !d.m_recording;
        }
    }
    static void Advanced(CVxAppDlg& d, int product, const CGUIItem&)
    {
        if (product == kMouse) {
            if (d.m_mouseMacros.HasMacroSelection())
                d.m_mouseMacros.OpenMouseAdvancedMacroPopup();
        } else if (d.m_keyboardMacros.HasMacroSelection()) {
            d.m_keyboardMacros.OpenKeyboardAdvancedMacroPopup();
        }
    }
    static void IgnoreDelays(CVxAppDlg& d, int product, const CGUIItem&)
    {
        OnMacroPage(d, product, [](auto& page) { page.IgnoreMacroDelays(); });
    }
    static void InsertDefaultDelays(CVxAppDlg& d, int product, const CGUIItem&)
    {
        OnMacroPage(d, product, [](auto& page) { page.InsertDefaultDelays(); });
    }

    static constexpr Row kMacros[] = {
        {{BUTTON_MACRO_CREATE, BUTTON_MACRO_CREATE_KEYBOARD}, CreateMacro},
        {{BUTTON_MACRO_IMPORT, BUTTON_MACRO_IMPORT_KEYBOARD}, ImportMacro},
        {{BUTTON_MACRO_EXPORT, BUTTON_MACRO_EXPORT_KEYBOARD}, ExportMacro},
        {{BUTTON_MACRO_DELETE, BUTTON_MACRO_DELETE_KEYBOARD}, DeleteMacro},
        {{BUTTON_MACRO_RECORD, BUTTON_MACRO_RECORD_KEYBOARD}, Record},
        {{BUTTON_MACRO_ADVANCED, BUTTON_MACRO_ADVANCED_KEYBOARD}, Advanced},
        {{BUTTON_IGNORE_DELAY, BUTTON_IGNORE_DELAY_KEYBOARD}, IgnoreDelays},
        {{BUTTON_INSERTDEFAULT_DELAY, BUTTON_INSERTDEFAULT_DELAY_KEYBOARD}, InsertDefaultDelays},
    };

    // ---- the lighting pages ----
    enum Light { kMain, kSide, kBase };
    // Each product's led of a light; the keyboard has no base light.
    static constexpr int kLeds[2][3] = {{0, 10, 9}, {CVxItems_Keyboard_LTG::kMainLight, CVxItems_Keyboard_LTG::kSideLight, -1}};

    template <Light Which, bool On>
    static void SetLight(CVxAppDlg& d, int product, const CGUIItem&)
    {
        if (product == kMouse)
            d.m_mouseLighting.SetMouseLight(kLeds[kMouse][Which], On);
        else
            d.m_keyboardLighting.SetKeyboardLight(kLeds[kKeyboard][Which], On);
    }
    // The active profile's defaults, asked first.
    static void RestoreMouseDefaults(CVxAppDlg& d, int, const CGUIItem&)
    {
        d.m_mouseLighting.RestoreMouseDefaults();
        d.m_mouseButtons.RefreshButtonLabels();
        d.m_mouseProfiles.FillMouseProfileList();
        if (d.m_currentPage == &d.m_mousePerformance)
            d.m_mousePerformance.Refresh();
    }
    static void RestoreKeyboardDefaults(CVxAppDlg& d, int, const CGUIItem&)
    {
        // The lights follow only a restore the user confirmed.
        if (d.m_keyboardKeys.ResetKeyboardKeys())
            d.m_keyboardLighting.ResetKeyboardLighting();
        d.m_keyboardProfiles.FillKeyboardProfileList();
    }

    static constexpr Row kLighting[] = {
        {{BUTTON_VXMOUSE_LTMAIN_ON, BUTTON_VXKBD_LTMAIN_ON}, SetLight<kMain, true>},
        {{BUTTON_VXMOUSE_LTMAIN_OFF, BUTTON_VXKBD_LTMAIN_OFF}, SetLight<kMain, false>},
        {{BUTTON_VXMOUSE_LTSIDE_ON, BUTTON_VXKBD_LTSIDE_ON}, SetLight<kSide, true>},
        {{BUTTON_VXMOUSE_LTSIDE_OFF, BUTTON_VXKBD_LTSIDE_OFF}, SetLight<kSide, false>},
        {{BUTTON_VXMOUSE_LTBASE_ON, 0}, SetLight<kBase, true>},
        {{BUTTON_VXMOUSE_LTBASE_OFF, 0}, SetLight<kBase, false>},
        {{BUTTON_RESET_PROFILE, 0}, RestoreMouseDefaults},
        {{0, BUTTON_RESET_KEYBOARD}, RestoreKeyboardDefaults},
    };

    // Every table; an id is in one row of one table only.
    static constexpr Table kTables[] = {
        {kWindow, std::size(kWindow)},   {kAssign, std::size(kAssign)}, {kPerformance, std::size(kPerformance)},
        {kProfiles, std::size(kProfiles)}, {kMacros, std::size(kMacros)}, {kLighting, std::size(kLighting)},
    };

    // Whether no id is in two places of the tables: the later one would never be reached.
    static constexpr bool IdsAreUnique()
    {
        int32_t seen[128] = {};
        size_t count = 0;
        for (const Table& table : kTables)
            for (size_t i = 0; i < table.count; ++i)
                for (int32_t id : table.rows[i].ids) {
                    if (id == 0)
                        continue;
                    for (size_t j = 0; j < count; ++j)
                        if (seen[j] == id)
                            return false;
                    if (count == std::size(seen))
                        return false;
                    seen[count++] = id;
                }
        return true;
    }

    // The row of an item id, with the product of the column it is in; null when no row has it.
    static const Row* Find(int32_t id, int* product)
    {
        static_assert(IdsAreUnique(), "an item id is in two command rows");
        if (id == 0)
            return nullptr;
        for (const Table& table : kTables)
            for (size_t i = 0; i < table.count; ++i)
                for (int p : {kMouse, kKeyboard})
                    if (table.rows[i].ids[p] == id) {
                        *product = p;
                        return &table.rows[i];
                    }
        return nullptr;
    }
};

void CVxAppDlg::DispatchCommand(CGUIItem& item)
{
    const int32_t id = item.id;
    // A click that still reaches a disabled tab or footer button while a macro records does nothing.
    if (!m_navigation && IsNavigation(id))
        return;
    int product = kMouse;
    if (const Commands::Row* row = Commands::Find(id, &product))
        row->run(*this, product, item);
    // the other ids act on their own pages' items only
}
