// A tray dialog stand-in for the tests: it records every handler call as text, with the thread it
// came on, so that a test can compare what arrived with what the device did.
#pragma once

#include "mwapi/HvMwApi.h"
#include "SysTray/EventHandlers.h"

#include <string>
#include <vector>

namespace traytest {

class CRecordingHandler : public IDeviceCallbacksHandler
{
public:
    void OnDpiChanged(int deviceId, int dpiX, int dpiY) override;
    void OnActiveProfileChanged(int deviceId, int value) override;
    void OnMacroRecordStart(int deviceId) override;
    void OnMacroRecordEnd(int deviceId) override;
    void OnMacroRecordCancel(int deviceId) override;
    void OnMacroKeyAssigned(int deviceId, int first, int key) override;
    void OnLaunchApp(int deviceId, int action, const wchar_t* programPath) override;

    // The calls so far ("OnDpiChanged(0x22,800,800)"), emptied.
    std::vector<std::string> Take();
    // Every call so far came on this thread.
    bool AllOnThread(DWORD thread) const;

private:
    void Note(const char* format, ...);

    std::vector<std::string> m_calls;
    std::vector<DWORD> m_threads;
};

// Assigns the first application of a device's list (renamed to path, when one is given) to a key in
// the key assignments of a profile; false when a step fails.
bool AssignKeyToFirstApplication(IApplicationList* applications, IKeyAssignments* keys, DWORD key,
                                 const std::wstring& path = std::wstring());

// The journal lines that contain text.
std::vector<std::string> JournalWith(const std::string& text);
// The GUID of a device's profile as the dump writes it ("{...}").
std::string ProfileGuid(const wchar_t* device, int index);
// The bytes of a GUID as the dump writes a record's data (upper-case hex, memory order).
std::string GuidHex(const GUID& id);

} // namespace traytest
