#include "model/PredefinedMacros.h"

#include "core/NameTables.h"

namespace {

constexpr int32_t kPressedExtended = kKeyStatePressed | kKeyFlagExtended << 8;
constexpr int32_t kReleasedExtended = kKeyStateReleased | kKeyFlagExtended << 8;

// Steps come in pairs: the odd step presses the key, the even one releases it.
struct KeyRow
{
    int firstStep;
    int32_t value;     // virtual key << 16 | scan code
    bool extended;
};

const KeyRow kKeys[] = {
    {1, 0xA2001D, false},   // left Ctrl
    {3, 0xA40038, false},   // left Alt
    {5, 0x5B005B, true},    // left Windows
    {7, 0x9000F, false},    // Tab
    {9, 0x73003E, false},   // F4
    {11, 0xBB000D, false},  // "=" (OEM plus)
    {13, 0xBD000C, false},  // "-" (OEM minus)
    {15, 0x41001E, false},  // A
    {17, 0x43002E, false},  // C
    {19, 0x440020, false},  // D
    {21, 0x450012, false},  // E
    {23, 0x460021, false},  // F
    {25, 0x4C0026, false},  // L
    {27, 0x4E0031, false},  // N
    {29, 0x500019, false},  // P
    {31, 0x520013, false},  // R
    {33, 0x53001F, false},  // S
    {35, 0x56002F, false},  // V
    {37, 0x58002D, false},  // X
    {39, 0x5A002C, false},  // Z
};

struct MacroRow
{
    int id;
    const wchar_t* name;   // as in the shortcut function table
    int steps[4];
};

const MacroRow kMacros[] = {
    {1, L"$cut", {1, 37, 38, 2}},
    {2, L"$copy", {1, 17, 18, 2}},
    {3, L"$paste", {1, 35, 36, 2}},
    {4, L"$undo", {1, 39, 40, 2}},
    {5, L"$all", {1, 15, 16, 2}},
    {6, L"$find", {1, 23, 24, 2}},
    {7, L"$new", {1, 27, 28, 2}},
    {8, L"$print", {1, 29, 30, 2}},
    {9, L"$save", {1, 33, 34, 2}},
    {10, L"$swapwindows", {3, 7, 8, 4}},
    {11, L"$closewindow", {3, 9, 10, 4}},
    {12, L"$lockpc", {5, 25, 26, 6}},
    {13, L"$openexplorer", {5, 21, 22, 6}},
    {14, L"$run", {5, 31, 32, 6}},
    {15, L"$showdesktop", {5, 19, 20, 6}},
    {16, L"$zoomin", {1, 11, 12, 2}},
    {17, L"$zoomout", {1, 13, 14, 2}},
};

constexpr int kLastFirstGroupId = 9;

void AppendNames(int firstId, int lastId, std::vector<std::wstring>& names)
{
    names.clear();
    for (const MacroRow& row : kMacros)
        if (row.id >= firstId && row.id <= lastId)
            names.push_back(row.name);
}

} // namespace

CPredefinedMacroList::CPredefinedMacroList()
{
    for (const KeyRow& key : kKeys) {
        m_steps[key.firstStep] = {key.value, key.extended ? kPressedExtended : kKeyStatePressed};
        m_steps[key.firstStep + 1] = {key.value, key.extended ? kReleasedExtended : kKeyStateReleased};
    }
    for (const MacroRow& row : kMacros) {
        std::vector<MacroEvent> events;
        for (int step : row.steps) {
            const Step& s = m_steps.at(step);
            events.push_back({kMacroEventKey, s.value, s.extra});
        }
        (row.id <= kLastFirstGroupId ? m_firstGroup : m_secondGroup)[row.id] = std::move(events);
    }
}

bool CPredefinedMacroList::GetMacro(const wchar_t* name, std::vector<MacroEvent>& events) const
{
    if (!name)
        return true;
    int id = FindShortcutFunctionId(name);
    const auto& group = id <= kLastFirstGroupId ? m_firstGroup : m_secondGroup;
    auto it = group.find(id);
    if (it != group.end())
        events = it->second;
    return true;
}

void CPredefinedMacroList::GetFirstGroupNames(std::vector<std::wstring>& names) const
{
    AppendNames(1, kLastFirstGroupId, names);
}

void CPredefinedMacroList::GetSecondGroupNames(std::vector<std::wstring>& names) const
{
    AppendNames(kLastFirstGroupId + 1, static_cast<int>(ARRAYSIZE(kMacros)), names);
}

const CPredefinedMacroList& PredefinedMacros()
{
    static const CPredefinedMacroList list;
    return list;
}
