// Loading a layout file into an item list. One load is synchronous: it reads the XML, builds the
// panel bitmaps of a GUIPANEL root, then runs the sections of the loader's table in order (the
// program's table of fifteen: the framework's four, then those of the controls).
// With the progress flag, the load reports through the program's progress window: the file name,
// then 0, 6, ... percent before each section and 100 at the end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <pugixml.hpp>

#include "platform/ProgressMessenger.h"
#include "skin/LayoutSections.h"

class CGUIItems;
class CPreparedLayout;
class CWnd;

// The items a load leaves for later: the elements whose name attribute test accepts are not built
// but gathered, each in a list of its own list's name, into later (an ITEMLIST layout under the
// file's name), which BuildPreparedLayout builds when they are first wanted.
struct CLaterItems
{
    std::function<bool(const char* name)> test;
    CPreparedLayout* later = nullptr;
};

// The working object of one load; the messenger that reports its progress.
class CGUIItemFactory : public CProgressMessenger
{
public:
    explicit CGUIItemFactory(std::wstring path) : m_path(std::move(path)) {}
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// Hands the loader the table every later load runs. The skin knows no control: a program that shows
// controls hands it the framework's sections followed by the controls' (UseSkinLayoutSections of
// the controls library) at start, before its first load. Until then a load runs the framework's
// sections only. User-interface thread; the table is borrowed.
void SetLayoutSections(LayoutSectionTable table);

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
// A GUIPANEL's elements that laterItems names are left for later (see CLaterItems).
bool LoadLayout(const std::wstring& path, CGUIItems* items, CWnd* owner, bool reportProgress,
                const CLaterItems* laterItems = nullptr);

// LoadLayout of "xml\" + fileName in the skin folder: the folder of GetSkinResourceCache(), the
// program folder unless it was set otherwise. False, with an error reported, when fileName is not a
// plain file name (SkinFileNameFault).
bool LoadLayoutFile(CGUIItems* items, const std::wstring& fileName, CWnd* owner, bool reportProgress,
                    const CLaterItems* laterItems = nullptr);

// Runs the sections in table order, reporting 6 x i percent before section i and 100 after the
// last. Always true.
bool RunLayoutSections(CGUIItemFactory& factory, pugi::xml_node root, CGUIItems* items, CWnd* owner);

// A layout file read and checked as a whole, its items not built yet: a program reads every layout
// it may need at start (a parse is cheap, and a file refused as a whole is known then) and builds a
// layout's items, the costly part, when they are first wanted.
class CPreparedLayout
{
public:
    CPreparedLayout();
    ~CPreparedLayout();
    CPreparedLayout(const CPreparedLayout&) = delete;
    CPreparedLayout& operator=(const CPreparedLayout&) = delete;

    const std::wstring& FileName() const { return m_fileName; }
    // Read, with a known root whose own parts (a panel's BACKGROUND and MASK pictures, a keyboard's
    // KEYBOARDDEF) are there; only such a layout builds.
    bool Usable() const { return m_root != Root::None; }
    // Built already: a layout builds once.
    bool Built() const { return m_built; }

private:
    friend bool PrepareLayout(const std::wstring& path, CPreparedLayout& layout, CWnd* owner);
    friend bool PrepareLayoutFile(const std::wstring& fileName, CPreparedLayout& layout, CWnd* owner);
    friend bool BuildPreparedLayout(CPreparedLayout& layout, CGUIItems* items, CWnd* owner, HWND parent);
    friend void SetAsideLaterItems(pugi::xml_node root, const std::wstring& fileName, const CLaterItems& laterItems);

    enum class Root
    {
        None,
        Keyboard,
        Panel,
        ItemList,
    };
    std::wstring m_fileName;
    std::unique_ptr<pugi::xml_document> m_document;
    Root m_root = Root::None;
    bool m_built = false;
};

// The whole-file part of LoadLayout, reported as LoadLayout reports it: the file read, its root
// known, a GUIPANEL's BACKGROUND and MASK pictures readable, a KEYBOARD's KEYBOARDDEF loaded (the
// keyboard definition is the program's from then on, owner recorded in it). False when the layout
// is not usable.
bool PrepareLayout(const std::wstring& path, CPreparedLayout& layout, CWnd* owner);
// PrepareLayout of "xml\" + fileName in the skin folder, refusing a name as LoadLayoutFile does.
bool PrepareLayoutFile(const std::wstring& fileName, CPreparedLayout& layout, CWnd* owner);
// Builds the items of a prepared layout into items, reporting each faulty element under the file's
// name; the keyboard definition is not read again. False for a layout that is not usable or was
// built already (nothing is built then).
// The windows go into parent when one is given (the owner is still each item's owner).
bool BuildPreparedLayout(CPreparedLayout& layout, CGUIItems* items, CWnd* owner, HWND parent = nullptr);
