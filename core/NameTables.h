#pragma once

// The symbolic names of layout files, language overrides and code (item ids, colours, shortcut
// functions, assignment types, list columns, control types, languages, keyboard layouts) and the
// numbers they stand for. The tables are process-wide and read-only once built; every look-up by
// name ignores case and yields -1 (CLR_INVALID for colours) when the name is not there.
//
// Each table is built on first use, so a look-up made before InitNameTables runs still sees the
// full table; the Init/Fill functions only force that build at start-up.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>

// One table: number -> name. The names are the program's literal strings and are not copied.
// Filling a number twice keeps the later name.
class CNameTable
{
public:
    void Set(int32_t number, const wchar_t* name);

    // Walks the numbers in ascending order; the first name equal without regard to case wins,
    // so equal names map to their lowest number. -1 when none matches.
    int32_t FindByName(const wchar_t* name) const;

    // The name of a number, or null.
    const wchar_t* FindByNumber(int32_t number) const;

    size_t Size() const { return m_names.size(); }

private:
    std::map<int32_t, const wchar_t*> m_names;
};

// One row of the item id table as it is filled: the id 0 comes twice ("LANGUAGE_ENGLISH", then
// "LANGUAGE_DEFAULT", which is the one kept).
struct NameRow
{
    int32_t number;
    const wchar_t* name;
};

// The item id rows in fill order, one for each row of ItemIds.inc.
const NameRow* ItemIdRows(size_t& count);

void InitNameTables();
void FillLanguageNameTable();
void FillKeyboardLayoutItemTable();

int32_t FindItemIdByName(const wchar_t* name);
const wchar_t* FindItemNameById(int32_t id);

// The COLORREF of a colour name; CLR_INVALID (all bits set) for an unknown name, which callers
// must not use as a colour.
COLORREF FindColorByName(const wchar_t* name);

int32_t FindShortcutFunctionId(const wchar_t* name);
int32_t FindAssignmentTypeId(const wchar_t* name);
int32_t FindListColumnId(const wchar_t* name);
int32_t FindControlTypeId(const wchar_t* name);
int32_t FindMacroColumnTypeId(const wchar_t* name);
int32_t FindLanguageIdByName(const wchar_t* name);

// The KBLAYOUT_* item id of a keyboard layout code, -1 for an unknown code.
int32_t FindKeyboardLayoutItemId(int32_t code);

// Names by number (null when the number has none): the language key of an assignment type, the
// help text keys of a mouse button's and a keyboard key's assignment type, a language's name.
const wchar_t* FindAssignmentTypeName(int32_t type);
const wchar_t* FindButtonDescription(int32_t type);
const wchar_t* FindKeyDescription(int32_t type);
const wchar_t* FindLanguageNameById(int32_t id);
