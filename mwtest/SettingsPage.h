// "Settings": the switch of the middleware's own log. The middleware reads the registry value
// "LogEnabled" (HKLM "SOFTWARE\HALVO", one byte: bit 0 file logging, bit 1 debug output) itself;
// the page shows it, writes the bit of the box clicked, and opens the log file. It does not use the
// middleware.
#pragma once

#include <string>

#include "mwtest/MwPage.h"

class CSettingsPage : public CHvMwPage
{
public:
    CSettingsPage();
    // "HvMwApi.log" in the folder named by USERPROFILE (only "\HvMwApi.log" when it is not set).
    static std::wstring LogPath();

protected:
    BOOL OnSetActive() override;
    void OnFileLoggingClicked();
    void OnDebugOutputClicked();
    void OnOpenLog();

private:
    // Sets or clears bit in the value (0 when absent or unreadable) and writes it back; nothing
    // happens without the key.
    void WriteBit(BYTE bit, bool set);
    HV_DECLARE_MSG_MAP()
};
