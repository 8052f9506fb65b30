#include "skin/LayoutErrors.h"

#include <windows.h>

#include "platform/WStr.h"

namespace {

thread_local CLayoutErrorLog* t_log = nullptr;
thread_local CLayoutFileScope* t_file = nullptr;
thread_local CLayoutElementCheck* t_check = nullptr;

// ELEMENT "name", with the item name when the element has one, and its parent when it has none
// (a SBMN or RECT child is named after the item it belongs to).
std::wstring Describe(pugi::xml_node element)
{
    std::wstring text = wstr::Utf8ToWide(element.name());
    if (pugi::xml_attribute name = element.attribute("name"))
        return text + L" \"" + wstr::Utf8ToWide(name.value()) + L"\"";
    pugi::xml_node parent = element.parent();
    if (parent && parent.type() == pugi::node_element && parent.attribute("name"))
        return Describe(parent) + L" " + text;
    return text;
}

void Report(const std::wstring& where, const std::wstring& what)
{
    std::wstring line = t_file ? t_file->FileName() + L": " : std::wstring();
    if (!where.empty())
        line += where + L": ";
    line += what;
    if (t_check)
        t_check->Count();
    if (t_log)
        t_log->Add(line);
    ::OutputDebugStringW((L"--- layout: " + line + L" ---\n").c_str());
}

} // namespace

CLayoutErrorLog::CLayoutErrorLog() : m_outer(t_log)
{
    t_log = this;
}

CLayoutErrorLog::~CLayoutErrorLog()
{
    t_log = m_outer;
}

CLayoutFileScope::CLayoutFileScope(std::wstring fileName) : m_outer(t_file), m_fileName(std::move(fileName))
{
    t_file = this;
}

CLayoutFileScope::~CLayoutFileScope()
{
    t_file = m_outer;
}

CLayoutElementCheck::CLayoutElementCheck() : m_outer(t_check)
{
    t_check = this;
}

CLayoutElementCheck::~CLayoutElementCheck()
{
    t_check = m_outer;
}

void ReportLayoutError(pugi::xml_node element, const std::wstring& what)
{
    Report(element ? Describe(element) : std::wstring(), what);
}

void ReportLayoutError(const std::wstring& what)
{
    Report(std::wstring(), what);
}

bool CurrentElementFaulty()
{
    return t_check && t_check->Faulty();
}
