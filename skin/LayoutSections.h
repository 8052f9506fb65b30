// The fixed table of layout sections. Each section looks for one list element under the root and
// builds one item per child element it knows; the order of the table fixes which items exist when
// a later section refers to them (fonts before the items that name a "fontid", bitmap items before
// the items they host).
#pragma once

#include <cstddef>
#include <cstdint>

#include <pugixml.hpp>

class CGUIItems;
class CWnd;

// High 16 bits: child elements of the section's names visited; low 16 bits: items appended.
using LayoutSectionReader = uint32_t (*)(pugi::xml_node root, CGUIItems* items, CWnd* owner);

struct LayoutSection
{
    const wchar_t* title;  // data only; nothing shows it
    LayoutSectionReader reader;
};

constexpr size_t kLayoutSectionCount = 15;
extern const LayoutSection LayoutSectionTable[kLayoutSectionCount];

// Reads the KEYBOARDDEF element of root into the program's keyboard definition (and its default
// codes when "kbddefaults" names them). True when the definition (and the defaults) loaded.
bool ReadKeyboardDefElement(pugi::xml_node root, CWnd* owner);

// The language the LANGUAGES section builds: its item id, or -1 for every language. Every table it
// builds is entered with RegisterLangTable.
void SetLanguageFilter(int32_t languageId);
int32_t LanguageFilter();
