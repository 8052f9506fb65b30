// What a layout load found wrong. A faulty element of a layout (a file name that would reach beyond
// its folder, a number outside the coordinate range) is skipped and the load goes on; the fault is
// reported as one line naming the layout file, the element and what is wrong, written to the
// debugger output and collected by the thread's innermost CLayoutErrorLog. UI thread only: every
// piece here is per thread.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <pugixml.hpp>

// Collects the errors reported on this thread while it lives. Logs nest; the innermost collects.
//
// What reports here: every layout load (LoadLayoutFile, LoadLayout) for the file as a whole (missing,
// not well-formed, no known root, a panel without its BACKGROUND or MASK) and for each faulty
// element; the LANG elements for their language files (missing, unreadable or without texts; the
// English texts then stand in); the KEYBOARDDEF element for the keyboard definition and the key
// defaults (missing, unreadable or refused, with the reason).
class CLayoutErrorLog
{
public:
    CLayoutErrorLog();
    ~CLayoutErrorLog();
    CLayoutErrorLog(const CLayoutErrorLog&) = delete;
    CLayoutErrorLog& operator=(const CLayoutErrorLog&) = delete;

    const std::vector<std::wstring>& Errors() const { return m_errors; }
    void Add(const std::wstring& error) { m_errors.push_back(error); }

private:
    CLayoutErrorLog* m_outer;
    std::vector<std::wstring> m_errors;
};

// Names the layout file in the errors reported while it lives (the innermost of nested loads).
class CLayoutFileScope
{
public:
    explicit CLayoutFileScope(std::wstring fileName);
    ~CLayoutFileScope();
    CLayoutFileScope(const CLayoutFileScope&) = delete;
    CLayoutFileScope& operator=(const CLayoutFileScope&) = delete;

    const std::wstring& FileName() const { return m_fileName; }

private:
    CLayoutFileScope* m_outer;
    std::wstring m_fileName;
};

// Counts the errors reported while one element is read. Checks nest: an error belongs to the
// innermost element being checked, so a faulty optional child (a LANGOVERRIDE) that its parent
// checks on its own does not fault the parent.
class CLayoutElementCheck
{
public:
    CLayoutElementCheck();
    ~CLayoutElementCheck();
    CLayoutElementCheck(const CLayoutElementCheck&) = delete;
    CLayoutElementCheck& operator=(const CLayoutElementCheck&) = delete;

    bool Faulty() const { return m_errors != 0; }
    void Count() { ++m_errors; }

private:
    CLayoutElementCheck* m_outer;
    size_t m_errors = 0;
};

// Reports what is wrong with element (the element whose reading found it).
void ReportLayoutError(pugi::xml_node element, const std::wstring& what);
// Reports a fault of the load itself (a layout file name that is refused).
void ReportLayoutError(const std::wstring& what);
// Whether an error was reported for the element being checked now; false outside any check.
bool CurrentElementFaulty();
