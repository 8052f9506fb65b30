#include "skin/KeyboardLayouts.h"

#include <iterator>

CKeyboardLayoutSetting::CKeyboardLayoutSetting()
{
    kind = ItemKind::KeyboardLayoutSetting;
    window = nullptr;
}

CKeyboardLayoutSetting::~CKeyboardLayoutSetting()
{
    KeyboardLayouts().Unregister(this);
}

bool CKeyboardLayoutSetting::Activate(int32_t itemId)
{
    return KeyboardLayouts().Activate(itemId);
}

CKeyboardLayouts::CKeyboardLayouts(const KeyboardLayoutApi& api)
    : m_api(api)
{
}

void CKeyboardLayouts::Register(int32_t itemId, CKeyboardLayoutSetting* setting)
{
    m_settings[itemId] = setting;
}

void CKeyboardLayouts::Unregister(const CKeyboardLayoutSetting* setting)
{
    for (auto it = m_settings.begin(); it != m_settings.end();)
        it = it->second == setting ? m_settings.erase(it) : std::next(it);
    if (m_active == setting)
        m_active = nullptr;
}

CKeyboardLayoutSetting* CKeyboardLayouts::Find(int32_t itemId) const
{
    auto it = m_settings.find(itemId);
    return it == m_settings.end() ? nullptr : it->second;
}

bool CKeyboardLayouts::Activate(int32_t itemId)
{
    CKeyboardLayoutSetting* setting = Find(itemId);
    if (!setting)
        return false;
    Restore();
    // Loading with KLF_ACTIVATE already switches the thread, so the activation below would only
    // report the new layout as the one before: take the user's layout first.
    HKL before = m_api.current(0);
    HKL loaded = m_api.load(setting->layoutName.c_str(), KLF_ACTIVATE);
    if (!loaded) {
        m_active = nullptr;
        return false;
    }
    m_active = setting;
    m_loadedLayout = loaded;
    HKL reported = m_api.activate(loaded, KLF_SETFORPROCESS);
    m_previousLayout = before ? before : reported;
    return true;
}

void CKeyboardLayouts::Restore()
{
    if (!m_loadedLayout)
        return;
    if (m_loadedLayout == m_previousLayout) {
        // The user's own layout was chosen: there is nothing to undo, and it must stay loaded.
        m_loadedLayout = nullptr;
        m_previousLayout = nullptr;
        return;
    }
    if (m_previousLayout)
        m_api.activate(m_previousLayout, KLF_SETFORPROCESS);
    if (m_api.unload(m_loadedLayout)) {
        m_loadedLayout = nullptr;
        m_previousLayout = nullptr;
    }
}

CKeyboardLayouts& KeyboardLayouts()
{
    static auto* layouts = new CKeyboardLayouts(
        { &GetKeyboardLayout, &LoadKeyboardLayoutW, &ActivateKeyboardLayout, &UnloadKeyboardLayout });
    return *layouts;
}

void RestoreKeyboardLayout()
{
    KeyboardLayouts().Restore();
}
