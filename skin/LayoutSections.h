// The layout section table and the framework's own sections. Each section looks for one list element under the
// root and builds one item per child element it knows; the order of a table fixes which items exist
// when a later section refers to them (fonts before the items that name a "fontid", bitmap items
// before the items they host). The loader runs the table its program hands it (SetLayoutSections).
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
    const wchar_t* title;  // the list it builds; a prepared layout skips "KEYBOARD DEF" by it
    LayoutSectionReader reader;
};

// A table of sections, run in order. The sections are borrowed: they outlive every load.
struct LayoutSectionTable
{
    const LayoutSection* sections = nullptr;
    size_t count = 0;

    const LayoutSection* begin() const { return sections; }
    const LayoutSection* end() const { return sections + count; }
};

// LANGUAGES, KEYBOARD DEF, KEYBOARD LAYOUTS and FONTS: the sections that build no window, which come
// first in every table.
LayoutSectionTable FrameworkLayoutSections();

// Reads the KEYBOARDDEF element of root into the program's keyboard definition (and its default
// codes when "kbddefaults" names them). True when the definition (and the defaults) loaded.
bool ReadKeyboardDefElement(pugi::xml_node root, CWnd* owner);

// The language the LANGUAGES section builds: its item id, or -1 for every language. Every table it
// builds is entered with RegisterLangTable.
void SetLanguageFilter(int32_t languageId);
