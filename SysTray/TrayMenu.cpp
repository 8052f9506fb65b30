// The tray menu: built anew before every showing from the devices' profile lists, and the profile
// entries' commands.
#include "SysTray/VexaSysTrayDlg.h"

#include "skin/LangTable.h"
#include "SysTray/SysTrayRes.h"

#include <algorithm>

namespace {

constexpr wchar_t kLoadConfigKey[] = L"$LoadHalvoVEXA";
constexpr wchar_t kCloseTrayKey[] = L"$CloseTrayIcon";
constexpr wchar_t kCloseTrayText[] = L"Close Tray Icon";
// A device's entries keep to their own thousand of command ids.
constexpr size_t kMaxProfileEntries = kProfileCommandBase - 1;
// The longest profile name the menu shows whole; a longer one is cut to this length, "..." included.
constexpr size_t kMaxMenuNameChars = 64;
constexpr wchar_t kCutMark[] = L"...";

// The translation of key through the current language; false when no language is current or it has
// no text for the key.
bool Translated(const wchar_t* key, std::wstring& text)
{
    return TranslateText(key, text);
}

// A profile name as its menu entry shows it: cut to its first characters and "..." when it is too long
// for a menu (never between the halves of a surrogate pair), and every "&" doubled so that it shows as
// itself rather than marking an accelerator.
std::wstring MenuEntryText(const std::wstring& name)
{
    std::wstring shown = name;
    if (shown.size() > kMaxMenuNameChars) {
        size_t keep = kMaxMenuNameChars - (std::size(kCutMark) - 1);
        if (IS_HIGH_SURROGATE(shown[keep - 1]))
            --keep;
        shown = shown.substr(0, keep) + kCutMark;
    }
    std::wstring text;
    text.reserve(shown.size() + 8);
    for (wchar_t c : shown) {
        text += c;
        if (c == L'&')
            text += L'&';
    }
    return text;
}

// The popup of one device: its profiles, the active one checked; empty for an absent device. names
// receives the profile names its entries stand for.
CMenu DevicePopup(const DeviceSlotInfo& slot, UINT base, bool* present, std::vector<std::wstring>& names)
{
    CMenu popup;
    popup.CreatePopupMenu();
    names.clear();
    CScopedDevice device(TheDeviceManager(), slot.productId);
    *present = device->IsPresent();
    if (!*present)
        return popup;
    std::wstring active;
    device->GetActiveProfileName(active);
    device->GetProfileNames(names);
    if (names.size() > kMaxProfileEntries)
        names.resize(kMaxProfileEntries);
    for (size_t i = 0; i < names.size(); ++i)
        popup.AppendMenu(MF_STRING | (names[i] == active ? MF_CHECKED : MF_UNCHECKED), base + i,
                         MenuEntryText(names[i]).c_str());
    return popup;
}

} // namespace

void CVexaSysTrayDlg::BuildTrayMenu()
{
    if (!m_trayIcon)
        return;
    ++m_menuBuilds;
    CMenu menu;
    if (!menu.LoadMenu(IDR_TRAY_MENU))
        return;
    CMenu tray = menu.GetSubMenu(0);
    std::wstring text;
    if (Translated(kLoadConfigKey, text))
        ::ModifyMenuW(tray, ID_TRAY_LOAD_CONFIG, MF_BYCOMMAND | MF_STRING, ID_TRAY_LOAD_CONFIG, text.c_str());

    UINT base = kProfileCommandBase;
    for (size_t row = 0; row < std::size(kDeviceSlots); ++row) {
        const DeviceSlotInfo& slot = kDeviceSlots[row];
        bool present = false;
        CMenu popup = DevicePopup(slot, base, &present, m_menuNames[row]);
        tray.AppendSubMenu(std::move(popup), slot.displayName);
        if (!present)
            tray.EnableMenuItem(tray.GetMenuItemCount() - 1, MF_BYPOSITION | MF_GRAYED);
        base += kProfileCommandBase;
    }
    tray.AppendSeparator();
    if (!Translated(kCloseTrayKey, text))
        text = kCloseTrayText;
    tray.AppendMenu(MF_STRING, ID_TRAY_CLOSE, text.c_str());
    m_closeCommand = ID_TRAY_CLOSE;
    m_trayIcon->SetMenu(std::move(menu), ID_TRAY_LOAD_CONFIG);
}

void CVexaSysTrayDlg::ShowTrayMenu(POINT point)
{
    // The menu's loop pumps messages: a click or timer that arrives meanwhile must not replace the
    // menu being shown.
    if (m_menuShowing || !m_trayIcon)
        return;
    BuildTrayMenu();
    m_menuShowing = true;
    m_trayIcon->OnTrayNotification(kTrayIconId, WM_RBUTTONUP, point);
    m_menuShowing = false;
    RunPendingClose();
}

void CVexaSysTrayDlg::SelectProfile(UINT index, UINT row)
{
    if (row >= std::size(kDeviceSlots))
        return;
    CScopedDevice device(TheDeviceManager(), kDeviceSlots[row].productId);
    std::vector<std::wstring> names;
    if (!device->GetProfileNames(names))
        return;
    // The entry stands for the profile whose name it showed, wherever that profile is now; a profile of
    // that name that is gone takes the command with it. A command that no menu built is taken by index.
    const std::vector<std::wstring>& shown = m_menuNames[row];
    std::wstring name;
    if (index < shown.size()) {
        if (std::find(names.begin(), names.end(), shown[index]) == names.end())
            return;
        name = shown[index];
    } else if (shown.empty() && index < names.size()) {
        name = names[index];
    } else {
        return;
    }
    // The chosen profile's own flag decides whether its name is shown.
    _Profile_Setting_ chosen;
    device->GetProfileSetting(name, chosen);
    chosen.name = name;
    if (device->SetActiveProfile(chosen) && chosen.osdProfile == 1)
        ShowProfileOsd(chosen.name);
}
