#include "SysTray/DeviceManager.h"

#include <algorithm>

CDeviceManager::~CDeviceManager()
{
    UnregisterAllCallbacks();
    for (auto& [id, list] : m_callbacks)
        while (!list.empty())
            list.pop_back();
}

CHvDevice* CDeviceManager::GetDevice(DWORD productId)
{
    m_open.push_back(std::make_unique<CHvDevice>(productId));
    return m_open.back().get();
}

void CDeviceManager::ReleaseDevice(CHvDevice* device)
{
    if (!device)
        return;
    auto it = std::find_if(m_open.begin(), m_open.end(),
                           [&](const std::unique_ptr<CHvDevice>& open) { return open.get() == device; });
    if (it != m_open.end())
        m_open.erase(it);
    else
        delete device;
}

void CDeviceManager::BuildDeviceTable()
{
    for (const DeviceSlotInfo& slot : kDeviceSlots)
        m_slots[slot.productId] = slot;
}

bool CDeviceManager::RegisterDeviceCallbacks(DWORD productId, IDeviceCallbacksHandler* handler)
{
    if (AreDeviceCallbacksRegistered(productId))
        return false;
    // A list of null entries left by an earlier try (the device was absent) is made again.
    UnregisterDeviceCallbacks(productId);
    const auto slot = m_slots.find(productId);
    const DWORD mask = slot != m_slots.end() ? slot->second.eventMask : 0;
    std::vector<std::unique_ptr<IDeviceCallback>> list;
    CScopedDevice device(*this, productId);
    if (mask & kEventDpi)
        list.push_back(device->CreateDpiEventConnection(handler));
    if (mask & kEventProfile)
        list.push_back(device->CreateProfileEventConnection(handler));
    if (mask & kEventLaunchApp)
        list.push_back(device->CreateLaunchAppEventConnection(handler));
    if (mask & kEventMacro)
        list.push_back(device->CreateMacroEventConnection(handler));
    if (mask & kEventAudioSync)
        list.push_back(device->CreateAudioSyncEventConnection());
    m_callbacks[productId] = std::move(list);
    return true;
}

bool CDeviceManager::AreDeviceCallbacksRegistered(DWORD productId) const
{
    const auto* list = Callbacks(productId);
    return list && std::any_of(list->begin(), list->end(), [](const auto& connection) { return connection != nullptr; });
}

void CDeviceManager::UnregisterDeviceCallbacks(DWORD productId)
{
    if (m_slots.find(productId) == m_slots.end())
        return;
    auto it = m_callbacks.find(productId);
    if (it == m_callbacks.end())
        return;
    // Last made, first gone; each unadvises as it goes.
    while (!it->second.empty())
        it->second.pop_back();
    m_callbacks.erase(it);
}

bool CDeviceManager::RegisterAllCallbacks(IDeviceCallbacksHandler* handler)
{
    bool result = false;
    for (const auto& [id, slot] : m_slots) {
        result = RegisterDeviceCallbacks(id, handler);
        if (!result)
            break;
    }
    return result;
}

bool CDeviceManager::AreAllCallbacksRegistered() const
{
    return std::all_of(m_slots.begin(), m_slots.end(),
                       [&](const auto& entry) { return AreDeviceCallbacksRegistered(entry.first); });
}

void CDeviceManager::UnregisterAllCallbacks()
{
    for (const auto& [id, slot] : m_slots)
        UnregisterDeviceCallbacks(id);
}

const std::vector<std::unique_ptr<IDeviceCallback>>* CDeviceManager::Callbacks(DWORD productId) const
{
    const auto it = m_callbacks.find(productId);
    return it != m_callbacks.end() ? &it->second : nullptr;
}

CDeviceManager& TheDeviceManager()
{
    static CDeviceManager manager;
    return manager;
}
