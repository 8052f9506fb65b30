// Replaces, for the lifetime of the object, what the test program's import table holds for one
// imported function. The layer is linked into the test program, so every call it makes to that
// function goes through the replacement: tests count calls the system gives no other way to see
// (a second DeleteObject of one handle, a diagnostic written with OutputDebugStringW).
#pragma once

#include <windows.h>
#include <map>

class CImportPatch
{
public:
    // function: the imported name (e.g. "DeleteObject"); replacement: a function of the same type.
    CImportPatch(const char* function, void* replacement);
    ~CImportPatch();
    CImportPatch(const CImportPatch&) = delete;
    CImportPatch& operator=(const CImportPatch&) = delete;

    bool IsActive() const { return m_slot != nullptr; }
    // The function the import table held before: what the replacement calls on.
    template <class F>
    F Original() const
    {
        return reinterpret_cast<F>(m_original);
    }

private:
    void** m_slot = nullptr;
    void* m_original = nullptr;
};

// Counts, per handle, the DeleteObject and DeleteDC calls the program makes while it lives (one
// at a time), and lets them through.
class CGdiDeleteCounter
{
public:
    CGdiDeleteCounter();
    ~CGdiDeleteCounter();
    CGdiDeleteCounter(const CGdiDeleteCounter&) = delete;
    CGdiDeleteCounter& operator=(const CGdiDeleteCounter&) = delete;

    // False when the program imports no DeleteObject (a program without DeleteDC never calls it).
    bool IsActive() const { return m_deleteObject.IsActive(); }
    // How often h was given to DeleteObject or DeleteDC.
    int Deletes(HANDLE h) const;
    // Every handle deleted at least once, with its count.
    const std::map<HANDLE, int>& All() const { return m_counts; }

private:
    static BOOL WINAPI CountDeleteObject(HGDIOBJ h);
    static BOOL WINAPI CountDeleteDC(HDC h);

    std::map<HANDLE, int> m_counts;
    CImportPatch m_deleteObject;
    CImportPatch m_deleteDc;
};

// Counts, per handle, the mutexes CreateMutexW hands to the program and the CloseHandle calls the
// program makes while it lives (one at a time), and lets them through. Wine's GetProcessHandleCount
// reads 0, so a mutex that is never closed shows only this way.
class CMutexHandleCounter
{
public:
    CMutexHandleCounter();
    ~CMutexHandleCounter();
    CMutexHandleCounter(const CMutexHandleCounter&) = delete;
    CMutexHandleCounter& operator=(const CMutexHandleCounter&) = delete;

    // False when the program imports no CreateMutexW or no CloseHandle.
    bool IsActive() const { return m_create.IsActive() && m_close.IsActive(); }
    // Every mutex handle handed out, with how often (a handle value the system handed out again
    // counts twice).
    const std::map<HANDLE, int>& Created() const { return m_created; }
    // How often h was given to CloseHandle.
    int Closes(HANDLE h) const;

private:
    static HANDLE WINAPI CountCreateMutexW(LPSECURITY_ATTRIBUTES attributes, BOOL owned, LPCWSTR name);
    static BOOL WINAPI CountCloseHandle(HANDLE h);

    std::map<HANDLE, int> m_created;
    std::map<HANDLE, int> m_closes;
    CImportPatch m_create;
    CImportPatch m_close;
};
