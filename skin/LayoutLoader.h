// Loading a layout file into an item list. One load is synchronous: it reads the XML, builds the
// panel bitmaps of a GUIPANEL root, then runs the fifteen sections of LayoutSectionTable in order.
// With the progress flag, the load reports through the program's progress window: the file name,
// then 0, 6, ..., 84 and 100 percent.
#pragma once

#include <cstdint>
#include <string>

#include <pugixml.hpp>

#include "ProgressMessenger.h"

class CGUIItems;
class CWnd;

// The working object of one load; the messenger that reports its progress.
class CGUIItemFactory : public CProgressMessenger
{
public:
    explicit CGUIItemFactory(std::wstring path) : m_path(std::move(path)) {}
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// Loads the layout at path and appends its items to items. owner is the parent of the items that
// have windows and is recorded in every item (it may be null). True when the file was read and has
// a known root (KEYBOARD with a loadable KEYBOARDDEF, GUIPANEL with BACKGROUND and MASK, ITEMLIST),
// whatever the sections built. A missing or malformed file builds nothing and reports nothing.
// A faulty element (a file name that leaves its folder, a number out of the coordinate range) is
// skipped and reported through LayoutErrors.h; the rest of the file loads.
// With progress, the load's messenger is the current progress source while it runs; the source
// that was current before (that of an enclosing load, or none) is put back at its end.
// Throws CWaitingLockException when the progress messenger's lock cannot be had; the load's
// resources and its place as progress source are released on that path too, the messenger only
// once no listener thread holds its lock any more.
bool LoadLayout(const std::wstring& path, CGUIItems* items, CWnd* owner, bool reportProgress);

// LoadLayout of "xml\" + fileName in the skin folder: the folder of GetSkinResourceCache(), the
// program folder unless it was set otherwise. False, with an error reported, when fileName is not a
// plain file name (SkinFileNameFault).
bool LoadLayoutFile(CGUIItems* items, const std::wstring& fileName, CWnd* owner, bool reportProgress);

// Runs the sections in table order, reporting 6 x i percent before section i and 100 after the
// last. Always true.
bool RunLayoutSections(CGUIItemFactory& factory, pugi::xml_node root, CGUIItems* items, CWnd* owner);
