// The seventeen predefined macros: fixed key sequences of common Windows shortcuts that the
// advanced-macro popup inserts into a recorded macro. Their ids and names are those of the
// shortcut function table; ids 1 to 9 form the first group, 10 to 17 the second.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/ModelRecords.h"

class CPredefinedMacroList
{
public:
    CPredefinedMacroList();
    CPredefinedMacroList(const CPredefinedMacroList&) = delete;
    CPredefinedMacroList& operator=(const CPredefinedMacroList&) = delete;
    virtual ~CPredefinedMacroList() = default;

    // Replaces events by the steps of the macro of that name (without regard to case); any other
    // name leaves events as they are. Always true.
    bool GetMacro(const wchar_t* name, std::vector<MacroEvent>& events) const;

    // Empty the list, then append the names of the group's macros in ascending id order.
    void GetFirstGroupNames(std::vector<std::wstring>& names) const;
    void GetSecondGroupNames(std::vector<std::wstring>& names) const;

private:
    struct Step
    {
        int32_t value;
        int32_t extra;
    };

    std::map<int, Step> m_steps;
    std::map<int, std::vector<MacroEvent>> m_firstGroup;
    std::map<int, std::vector<MacroEvent>> m_secondGroup;
};

// The program's one instance, built on first use.
const CPredefinedMacroList& PredefinedMacros();
