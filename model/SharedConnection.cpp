#include "model/SharedConnection.h"

namespace {

CSharedConnection* g_current = nullptr;

} // namespace

CSharedConnection::CSharedConnection() : m_outer(g_current)
{
    g_current = this;
}

CSharedConnection::~CSharedConnection()
{
    g_current = m_outer;
    // The listings hold objects of the devices: they go first.
    for (auto& entry : m_entries)
        entry->listing.reset();
}

CSharedConnection* CSharedConnection::Current()
{
    return g_current;
}

CSharedConnection::CEntry* CSharedConnection::Find(uint32_t productId)
{
    for (auto& entry : m_entries)
        if (entry->productId == productId)
            return entry.get();
    if (!m_rootTried) {
        m_rootTried = true;
        if (FAILED(::CoCreateInstance(CLSID_HvMwApi, nullptr, HVMW_CLSCTX, IID_PPV_ARGS(m_root.Put()))))
            m_root.Reset();
    }
    // Each device the walk passes is kept, so that the next product's look starts where this one stopped.
    while (m_root && !m_walkEnded && m_next < kMaxDeviceListWalk) {
        CComPtr<IDevice> device;
        if (FAILED(m_root->EnumDevice(m_next++, device.Put())) || !device) {
            m_walkEnded = true;
            break;
        }
        auto entry = std::make_unique<CEntry>();
        const bool known = SUCCEEDED(device->GetDeviceInfo(&entry->facts));
        ::CoTaskMemFree(entry->facts.name);
        entry->facts.name = nullptr;
        if (!known)
            continue;
        entry->productId = entry->facts.productId;
        entry->device = std::move(device);
        m_entries.push_back(std::move(entry));
        if (m_entries.back()->productId == productId)
            return m_entries.back().get();
    }
    return nullptr;
}
