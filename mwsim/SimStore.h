// One device state shared by every process that loads the simulator (the programs, the tests and the
// control tool): a file read and written whole under a named mutex derived from its path.
//
// Where it lives, in this order:
//   HV_MWSIM_STATE   the state file's full path;
//   HV_TEST_DIR      "<dir>\HvMwSim.state" (each test gets its own devices);
//   otherwise        "%LOCALAPPDATA%\HalvoVexa\HvMwSim.state".
// The call journal goes to HV_MWSIM_JOURNAL, else "<HV_TEST_DIR>\HvMwSim.journal", else nowhere. It
// holds the calls that change something; with HV_MWSIM_JOURNAL_READS set (not "0") every other call
// too, so that a test can list each call a program makes ("root ..." for the enumerator's). A read's
// line names its inputs (index, interface, property) and ends in "@<n>", the serial of the object it
// was made on (one per object this process made), so that a call asked twice can be told apart.
// A missing file, or one that is not a state file (another magic or version, a broken shape, over the
// size limit), reads as the factory state; the file is written on the first change, so the devices
// persist between runs. A file that is there but cannot be read fails the call instead.
#pragma once

#include "mwsim/SimState.h"

#include <windows.h>
#include <string>

namespace mwsim {

struct StorePaths
{
    std::wstring state;
    std::wstring journal; // empty: no journal
    bool journalReads = false;
};
StorePaths CurrentPaths();

// Holds the shared state for one operation: the mutex is taken and the state loaded on
// construction; Save writes it back; the destructor releases the mutex. Never open a second
// session on the same thread while one is open: the inner one's changes would be overwritten.
class CSession
{
public:
    CSession();
    ~CSession();
    CSession(const CSession&) = delete;
    CSession& operator=(const CSession&) = delete;

    // S_OK, or why the state could not be locked.
    HRESULT Status() const { return m_status; }
    SimState& State() { return m_state; }
    const StorePaths& Paths() const { return m_paths; }

    HRESULT Save();
    // Appends one line to the journal (when there is one), in the order the calls took the lock.
    void Journal(const std::wstring& line);
    // Lets other callers in for ms milliseconds (the per-call delay), then locks and reloads.
    HRESULT Pause(DWORD ms);

private:
    HRESULT Lock();
    HRESULT Load();
    void Unlock();

    StorePaths m_paths;
    HANDLE m_mutex = nullptr;
    bool m_held = false;
    HRESULT m_status = E_FAIL;
    SimState m_state;
};

// Whole-file helpers for the state and for the profile, macro and application files. Read refuses
// files over maxBytes (ERROR_FILE_TOO_LARGE) before reading any of it.
inline constexpr DWORD kMaxStateBytes = 16 * 1024 * 1024;
inline constexpr DWORD kMaxImportBytes = 1024 * 1024; // a profile with every key and a full macro fit easily
HRESULT ReadWholeFile(const std::wstring& path, std::vector<uint8_t>* bytes, DWORD maxBytes = kMaxStateBytes);
HRESULT WriteWholeFile(const std::wstring& path, const std::vector<uint8_t>& bytes);

} // namespace mwsim
