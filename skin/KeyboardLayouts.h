#pragma once

// The Windows keyboard layouts the KBLAYOUT items name, and the activation of the one that
// matches the chosen language, undone at exit.

#include "skin/GUIItem.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

class CKeyboardLayoutSetting : public CGUIItem
{
public:
    CKeyboardLayoutSetting();
    // Leaves KeyboardLayouts(), so that an item list destroyed after its load leaves no dangling
    // setting there (and no dangling active one).
    ~CKeyboardLayoutSetting() override;

    // Activates the registered setting of that item id (see CKeyboardLayouts::Activate).
    static bool Activate(int32_t itemId);

    std::wstring layoutName;  // the Windows layout identifier, e.g. "00000409"
    std::wstring layoutItems;
};

// The system calls Activate and Restore make; tests put their own in.
struct KeyboardLayoutApi
{
    HKL(WINAPI* current)(DWORD thread);
    HKL(WINAPI* load)(LPCWSTR name, UINT flags);
    HKL(WINAPI* activate)(HKL layout, UINT flags);
    BOOL(WINAPI* unload)(HKL layout);
};

class CKeyboardLayouts
{
public:
    explicit CKeyboardLayouts(const KeyboardLayoutApi& api);
    CKeyboardLayouts(const CKeyboardLayouts&) = delete;
    CKeyboardLayouts& operator=(const CKeyboardLayouts&) = delete;

    // The settings are borrowed: they belong to the item list that loaded them. A setting leaves
    // KeyboardLayouts() by itself when it is destroyed; another instance must be left by
    // Unregister before its settings go.
    void Register(int32_t itemId, CKeyboardLayoutSetting* setting);
    // Removes every entry of the setting; when it is the active one, none is active any more. The
    // layout it loaded stays recorded, so that Restore still undoes the activation.
    void Unregister(const CKeyboardLayoutSetting* setting);
    CKeyboardLayoutSetting* Find(int32_t itemId) const;

    // Undoes an earlier activation, loads the setting's layout and makes it the process's layout,
    // remembering the layout that was active before. False when the id is not registered or the
    // layout cannot be loaded (nothing is then active).
    bool Activate(int32_t itemId);

    // Puts back the layout that was active before and unloads the loaded one, unless the loaded
    // one was that same layout.
    void Restore();

    CKeyboardLayoutSetting* Active() const { return m_active; }
    HKL PreviousLayout() const { return m_previousLayout; }
    HKL LoadedLayout() const { return m_loadedLayout; }

private:
    KeyboardLayoutApi m_api;
    std::map<int32_t, CKeyboardLayoutSetting*> m_settings;
    CKeyboardLayoutSetting* m_active = nullptr;
    HKL m_previousLayout = nullptr;
    HKL m_loadedLayout = nullptr;
};

// The program's layouts, over the system's calls. Never destroyed, so that settings owned by item
// lists that are destroyed late at exit can still leave it.
CKeyboardLayouts& KeyboardLayouts();

// At exit: the undo step of KeyboardLayouts().
void RestoreKeyboardLayout();
