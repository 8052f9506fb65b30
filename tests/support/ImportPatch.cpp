#include "ImportPatch.h"

#include <cstring>

namespace {

// The import-table slot of function in the main module, or null when it imports no such name.
void** FindImportSlot(const char* function)
{
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress)
        return nullptr;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
        if (!imp->OriginalFirstThunk)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void WriteSlot(void** slot, void* value)
{
    DWORD old = 0;
    if (::VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old)) {
        *slot = value;
        ::VirtualProtect(slot, sizeof(*slot), old, &old);
    }
}

} // namespace

CImportPatch::CImportPatch(const char* function, void* replacement)
{
    m_slot = FindImportSlot(function);
    if (!m_slot)
        return;
    m_original = *m_slot;
    WriteSlot(m_slot, replacement);
}

CImportPatch::~CImportPatch()
{
    if (m_slot)
        WriteSlot(m_slot, m_original);
}

namespace {
CGdiDeleteCounter* g_counter = nullptr;
} // namespace

CGdiDeleteCounter::CGdiDeleteCounter()
    : m_deleteObject("DeleteObject", reinterpret_cast<void*>(&CountDeleteObject)),
      m_deleteDc("DeleteDC", reinterpret_cast<void*>(&CountDeleteDC))
{
    g_counter = this;
}

CGdiDeleteCounter::~CGdiDeleteCounter()
{
    g_counter = nullptr;
}

int CGdiDeleteCounter::Deletes(HANDLE h) const
{
    auto it = m_counts.find(h);
    return it == m_counts.end() ? 0 : it->second;
}

BOOL WINAPI CGdiDeleteCounter::CountDeleteObject(HGDIOBJ h)
{
    ++g_counter->m_counts[h];
    return g_counter->m_deleteObject.Original<BOOL(WINAPI*)(HGDIOBJ)>()(h);
}

BOOL WINAPI CGdiDeleteCounter::CountDeleteDC(HDC h)
{
    ++g_counter->m_counts[h];
    return g_counter->m_deleteDc.Original<BOOL(WINAPI*)(HDC)>()(h);
}

namespace {
CMutexHandleCounter* g_mutexCounter = nullptr;
} // namespace

CMutexHandleCounter::CMutexHandleCounter()
    : m_create("CreateMutexW", reinterpret_cast<void*>(&CountCreateMutexW)),
      m_close("CloseHandle", reinterpret_cast<void*>(&CountCloseHandle))
{
    g_mutexCounter = this;
}

CMutexHandleCounter::~CMutexHandleCounter()
{
    g_mutexCounter = nullptr;
}

int CMutexHandleCounter::Closes(HANDLE h) const
{
    auto it = m_closes.find(h);
    return it == m_closes.end() ? 0 : it->second;
}

HANDLE WINAPI CMutexHandleCounter::CountCreateMutexW(LPSECURITY_ATTRIBUTES attributes, BOOL owned, LPCWSTR name)
{
    using Fn = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR);
    HANDLE h = g_mutexCounter->m_create.Original<Fn>()(attributes, owned, name);
    if (h)
        ++g_mutexCounter->m_created[h];
    return h;
}

BOOL WINAPI CMutexHandleCounter::CountCloseHandle(HANDLE h)
{
    ++g_mutexCounter->m_closes[h];
    return g_mutexCounter->m_close.Original<BOOL(WINAPI*)(HANDLE)>()(h);
}
