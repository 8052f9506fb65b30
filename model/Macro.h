// Macros: a named, ordered list of macro events that a button or key can play, and the list of
// them that each configuration owns.
#pragma once

#include <memory>
#include <vector>

#include "core/ModelRecords.h"

constexpr int kMacroNameLength = 256;   // characters, terminator included
// The most events a macro read from a device keeps.
constexpr size_t kMaxMacroEvents = 4096;

class CMacro
{
public:
    CMacro();
    // The name is cut to 255 characters.
    CMacro(const wchar_t* name, const std::vector<MacroEvent>& events);

    const wchar_t* GetName() const { return m_name; }
    // Which macro this is (NewItemIdentity): a copy is the same macro, a macro made anew another.
    uint64_t GetIdentity() const { return m_identity; }
    const GUID& GetGuid() const { return m_guid; }
    void SetGuid(const GUID& guid) { m_guid = guid; }
    const std::vector<MacroEvent>& GetEvents() const { return m_events; }
    void SetEvents(const std::vector<MacroEvent>& events) { m_events = events; }
    // The file the macro was imported from; empty otherwise.
    const std::wstring& GetFilePath() const { return m_filePath; }
    void SetFilePath(const wchar_t* path) { m_filePath = path ? path : L""; }

private:
    wchar_t m_name[kMacroNameLength];
    GUID m_guid;
    std::vector<MacroEvent> m_events;
    std::wstring m_filePath;
    uint64_t m_identity = NewItemIdentity();
};

// GUIDs equal, names equal without regard to case, and the same events in the same order. The
// device objects rewrite a device macro only when it is not equal to the configuration's.
bool operator==(const CMacro& a, const CMacro& b);
inline bool operator!=(const CMacro& a, const CMacro& b) { return !(a == b); }

// The macros of one configuration, in the order added; it owns them. Names are unique without
// regard to case, except for macros read from a device (AddKeepingName). A macro pointer stays
// valid until the macro is removed or the list destroyed.
class CMacroList
{
public:
    CMacroList() = default;
    CMacroList(const CMacroList&) = delete;
    CMacroList& operator=(const CMacroList&) = delete;
    virtual ~CMacroList() = default;

    // Null when a macro of that name exists (without regard to case); the caller tells the user.
    CMacro* Add(const wchar_t* name, const std::vector<MacroEvent>& events);
    // Without the uniqueness rule, for the macros a device holds; never null.
    CMacro* AddKeepingName(const wchar_t* name, const std::vector<MacroEvent>& events);
    CMacro* Find(const wchar_t* name) const;
    CMacro* FindByGuid(const GUID& guid) const;
    // Deletes the macro; one not in the list is left alone.
    void Remove(const CMacro* macro);
    void Clear() { m_macros.clear(); }
    CMacro* Get(int index) const;
    int Count() const { return static_cast<int>(m_macros.size()); }

private:
    std::vector<std::unique_ptr<CMacro>> m_macros;
};
