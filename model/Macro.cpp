#include "model/Macro.h"

#include <algorithm>

#include "platform/WStr.h"

CMacro::CMacro()
    : m_name{}, m_guid()
{
}

CMacro::CMacro(const wchar_t* name, const std::vector<MacroEvent>& events)
    : m_name{}, m_guid(), m_events(events)
{
    wstr::CopyBounded(m_name, kMacroNameLength, name ? name : L"");
}

bool operator==(const CMacro& a, const CMacro& b)
{
    return hv::IsEqualGUID(a.GetGuid(), b.GetGuid()) && wstr::CompareNoCase(a.GetName(), b.GetName()) == 0
        && a.GetEvents() == b.GetEvents();
}

CMacro* CMacroList::Add(const wchar_t* name, const std::vector<MacroEvent>& events)
{
    if (Find(name))
        return nullptr;
    return AddKeepingName(name, events);
}

CMacro* CMacroList::AddKeepingName(const wchar_t* name, const std::vector<MacroEvent>& events)
{
    m_macros.push_back(std::make_unique<CMacro>(name, events));
    return m_macros.back().get();
}

CMacro* CMacroList::Find(const wchar_t* name) const
{
    // Compared as stored, so that a name longer than a macro can hold still meets its cut twin.
    CMacro probe(name, {});
    for (const auto& m : m_macros)
        if (wstr::CompareNoCase(m->GetName(), probe.GetName()) == 0)
            return m.get();
    return nullptr;
}

CMacro* CMacroList::FindByGuid(const GUID& guid) const
{
    for (const auto& m : m_macros)
        if (hv::IsEqualGUID(m->GetGuid(), guid))
            return m.get();
    return nullptr;
}

void CMacroList::Remove(const CMacro* macro)
{
    auto it = std::find_if(m_macros.begin(), m_macros.end(), [macro](const auto& m) { return m.get() == macro; });
    if (it != m_macros.end())
        m_macros.erase(it);
}

CMacro* CMacroList::Get(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_macros[index].get();
}
