#include "RecordingHandler.h"

#include "SimTest.h"

#include <cstdarg>
#include <cstdio>

namespace traytest {

void CRecordingHandler::Note(const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    m_calls.push_back(text);
    m_threads.push_back(::GetCurrentThreadId());
}

void CRecordingHandler::OnDpiChanged(int deviceId, int dpiX, int dpiY)
{
    Note("OnDpiChanged(0x%X,%d,%d)", deviceId, dpiX, dpiY);
}

void CRecordingHandler::OnActiveProfileChanged(int deviceId, int value)
{
    Note("OnActiveProfileChanged(0x%X,%d)", deviceId, value);
}

void CRecordingHandler::OnMacroRecordStart(int deviceId)
{
    Note("OnMacroRecordStart(0x%X)", deviceId);
}

void CRecordingHandler::OnMacroRecordEnd(int deviceId)
{
    Note("OnMacroRecordEnd(0x%X)", deviceId);
}

void CRecordingHandler::OnMacroRecordCancel(int deviceId)
{
    Note("OnMacroRecordCancel(0x%X)", deviceId);
}

void CRecordingHandler::OnMacroKeyAssigned(int deviceId, int first, int key)
{
    Note("OnMacroKeyAssigned(0x%X,%d,0x%X)", deviceId, first, key);
}

void CRecordingHandler::OnLaunchApp(int deviceId, int action, const wchar_t* programPath)
{
    Note("OnLaunchApp(0x%X,%d,%s)", deviceId, action, simtest::Narrow(programPath ? programPath : L"(null)").c_str());
}

std::vector<std::string> CRecordingHandler::Take()
{
    std::vector<std::string> calls;
    calls.swap(m_calls);
    return calls;
}

bool CRecordingHandler::AllOnThread(DWORD thread) const
{
    for (DWORD t : m_threads)
        if (t != thread)
            return false;
    return true;
}

bool AssignKeyToFirstApplication(IApplicationList* applications, IKeyAssignments* keys, DWORD key,
                                 const std::wstring& path)
{
    CComPtr<IApplication> application;
    GUID id{};
    if (!applications || !keys || FAILED(applications->GetApplication(0, application.Put())) ||
        (!path.empty() && FAILED(application->SetName(path.c_str()))) || FAILED(application->GetId(&id)))
        return false;
    AssignmentRecord record{};
    record.id = key;
    record.kind = hvmw::kKindApplication;
    record.SetTargetGuid(id);
    record.SetWord28(1);
    return SUCCEEDED(keys->SetAssignments(1, &record));
}

std::vector<std::string> JournalWith(const std::string& text)
{
    std::vector<std::string> lines;
    for (const std::string& line : simtest::JournalLines())
        if (line.find(text) != std::string::npos)
            lines.push_back(line);
    return lines;
}

std::string ProfileGuid(const wchar_t* device, int index)
{
    const std::vector<std::string> lines = simtest::DumpLines(device, "profile " + std::to_string(index) + " ");
    if (lines.size() != 1) {
        ADD_FAILURE() << "no profile " << index << " in the dump";
        return std::string();
    }
    const size_t open = lines[0].find('{');
    const size_t close = lines[0].find('}');
    return open != std::string::npos && close != std::string::npos ? lines[0].substr(open, close - open + 1)
                                                                   : std::string();
}

std::string GuidHex(const GUID& id)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&id);
    std::string hex;
    char two[3];
    for (size_t i = 0; i < sizeof id; ++i) {
        snprintf(two, sizeof two, "%02X", bytes[i]);
        hex += two;
    }
    return hex;
}

} // namespace traytest
