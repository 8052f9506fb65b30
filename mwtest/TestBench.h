// CHvMwTestBench: the test program's sheet with its pages, built as the program builds them. The
// 22 pages are constructed in the program's order and 21 of them are added to the sheet; the
// refresh test page is constructed (and goes with the others) but never added, so the sheet never
// shows it.
//
// The program runs the bench modally (Run); a test opens it modeless in its own process, drives it
// with the sheet's messages and ends it with Close. Either way, when the sheet ends every page
// lets go of what it holds (connections, raw-input registrations, rows, features), then the
// device and the root are released; COM is the caller's.
#pragma once

#include <memory>

#include "mwtest/HvMwApiSheet.h"
#include "mwtest/MwPage.h"

class CHvMwTestBench
{
public:
    CHvMwTestBench();
    ~CHvMwTestBench();
    CHvMwTestBench(const CHvMwTestBench&) = delete;
    CHvMwTestBench& operator=(const CHvMwTestBench&) = delete;

    CHvMwApiSheet& Sheet() noexcept { return m_sheet; }
    // The page of the never-shown template, for those who put it in a sheet of their own.
    CHvMwPage& RefreshTestPage() noexcept { return *m_refreshTest; }

    // Runs the sheet until the user closes it; IDOK or IDCANCEL (-1 when it could not be shown).
    INT_PTR Run();
    // Shows the sheet modeless; the caller pumps its messages and ends it with Close.
    bool Open(HWND parent = nullptr);
    // Destroys the sheet's window, then releases the device and the root; the sheet's result.
    INT_PTR Close();

private:
    CHvMwApiSheet m_sheet;
    std::unique_ptr<CHvMwPage> m_refreshTest;
};
