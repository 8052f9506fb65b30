// CMenu: one menu, owned or borrowed.
//
// A menu the object loaded or created is owned and destroyed with the object (moving passes the
// ownership on). A sub-menu belongs to its parent menu: GetSubMenu and FromHandle give borrowed
// objects that never destroy anything, and a sub-menu appended with AppendSubMenu passes into its
// new parent's ownership.
#pragma once

#include <windows.h>

#include <string>

class CMenu
{
public:
    CMenu() noexcept = default;
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    CMenu(CMenu&& other) noexcept;
    CMenu& operator=(CMenu&& other) noexcept;

    // A borrowed menu (a sub-menu, one a window or a message handed over).
    static CMenu FromHandle(HMENU menu) noexcept;

    HMENU GetSafeHmenu() const noexcept { return m_menu; }
    operator HMENU() const noexcept { return m_menu; }
    bool IsOwned() const noexcept { return m_owned; }

    // ---- Making and ending ----
    // Menu resource id of the resource module; what was held is let go first.
    bool LoadMenu(UINT id);
    bool CreatePopupMenu();
    bool CreateMenu();
    // Destroys an owned menu (a borrowed one is only forgotten).
    void DestroyMenu();
    // Gives up the menu without destroying it; the caller owns it now.
    HMENU Detach() noexcept;

    // ---- Items ----
    // The sub-menu at a position (borrowed), empty when that item opens none.
    CMenu GetSubMenu(int position) const;
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_menu); }
    // The command id at a position; 0xFFFFFFFF for a sub-menu or no item.
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_menu, position); }
    // The item's text (MF_BYCOMMAND or MF_BYPOSITION); empty when there is none.
    std::wstring GetMenuString(UINT item, UINT flags = MF_BYCOMMAND) const;
    // MF_CHECKED, MF_GRAYED, MF_DISABLED, MF_DEFAULT... of an item; 0xFFFFFFFF when none.
    UINT GetMenuState(UINT item, UINT flags = MF_BYCOMMAND) const { return ::GetMenuState(m_menu, item, flags); }
    bool IsChecked(UINT item, UINT flags = MF_BYCOMMAND) const;
    bool IsGrayed(UINT item, UINT flags = MF_BYCOMMAND) const;

    bool AppendMenu(UINT flags, UINT_PTR id = 0, const wchar_t* text = nullptr);
    bool AppendSeparator() { return AppendMenu(MF_SEPARATOR); }
    // Appends sub as a sub-menu; the parent owns it from then on (sub is left empty).
    bool AppendSubMenu(CMenu&& sub, const wchar_t* text);
    bool InsertMenu(UINT position, UINT flags, UINT_PTR id, const wchar_t* text);
    bool DeleteMenu(UINT item, UINT flags = MF_BYCOMMAND) { return ::DeleteMenu(m_menu, item, flags) != FALSE; }
    bool RemoveMenu(UINT item, UINT flags = MF_BYCOMMAND) { return ::RemoveMenu(m_menu, item, flags) != FALSE; }

    // MF_CHECKED or MF_UNCHECKED, with MF_BYCOMMAND (default) or MF_BYPOSITION; the previous state
    // (0xFFFFFFFF when there is no such item).
    UINT CheckMenuItem(UINT item, UINT check) { return ::CheckMenuItem(m_menu, item, check); }
    // MF_ENABLED, MF_GRAYED or MF_DISABLED, with MF_BYCOMMAND or MF_BYPOSITION.
    UINT EnableMenuItem(UINT item, UINT enable) { return ::EnableMenuItem(m_menu, item, enable); }
    // The item drawn bold that a double click or Enter picks; -1 (0xFFFFFFFF) removes it.
    bool SetDefaultItem(UINT item, bool byPosition = false);
    // The default item's id (or position), -1 (0xFFFFFFFF) when there is none.
    UINT GetDefaultItem(bool byPosition = false) const;

    // Shows the menu at a screen point for owner and waits until it closes. With TPM_RETURNCMD the
    // answer is the command chosen (0 when none) and owner gets no WM_COMMAND; otherwise nonzero
    // on success.
    UINT TrackPopupMenu(UINT flags, int x, int y, HWND owner) const;

private:
    CMenu(HMENU menu, bool owned) noexcept : m_menu(menu), m_owned(owned) {}

    HMENU m_menu = nullptr;
    bool m_owned = false;
};
