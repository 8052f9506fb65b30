// One connection to the middleware that the device objects share for as long as it exists: one
// enumerator, one walk over its devices (taken on from where an earlier look stopped), and each
// device found held until the end. The configuration program holds one from the making of its
// device objects to the end of its first reads, so that start-up connects once and asks nothing
// twice; outside it, every operation connects for itself.
//
// Threads: the user-interface thread only (the write worker gets its own reference to the device).
// Connections nest: the innermost one is the current one; each ends before the one it was made in.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/DeviceSteps.h"
#include "mwapi/HvMwApi.h"
#include "platform/ComPtr.h"

class CSharedConnection
{
public:
    // A device found on this connection, with the facts the walk read and what an Init listed.
    struct CEntry
    {
        uint32_t productId = 0;
        CComPtr<IDevice> device;
        DeviceInfo facts{};   // name freed at once: only the numbers are kept
        std::unique_ptr<CDeviceListing> listing;
    };

    CSharedConnection();
    ~CSharedConnection();
    CSharedConnection(const CSharedConnection&) = delete;
    CSharedConnection& operator=(const CSharedConnection&) = delete;

    // The connection operations use now; null outside every one.
    static CSharedConnection* Current();

    // The enumerator (made on first use) and the first device of that product; null when the
    // middleware or the device is missing.
    CEntry* Find(uint32_t productId);
    IDeviceEnumerator* Root() const { return m_root.Get(); }

private:
    CComPtr<IDeviceEnumerator> m_root;
    bool m_rootTried = false;
    int m_next = 0;          // the next index of the walk
    bool m_walkEnded = false;
    std::vector<std::unique_ptr<CEntry>> m_entries;
    CSharedConnection* m_outer = nullptr;
};
