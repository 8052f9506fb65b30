// (Not "Process.h": on a case-insensitive file system it would shadow <process.h>.)
// Starting programs from a test. A ChildProcess owns its process and ends it (and anything it
// started) on every path: a program left behind holds ctest's pipe until the test's timeout.
#pragma once
#include <windows.h>
#include <string>
#include <utility>
#include <vector>
#include "Paths.h"

namespace hvtest {

// Variables set (or, with an empty value, removed) in the child's copy of this process's environment.
using EnvChanges = std::vector<std::pair<std::wstring, std::wstring>>;

struct StartOptions {
    EnvChanges env;
    std::wstring workDir;        // empty: this process's current folder
    bool captureOutput = false;  // stdout and stderr go to a file read by Output()
    bool hidden = false;         // SW_HIDE as the show command
};

// Quotes one argument for a Windows command line (CommandLineToArgvW rules).
std::wstring QuoteArg(const std::wstring& arg);

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program (a path; a bare name is looked up in BinDir() first) with arguments.
    // Ends a process this object already owned. False, with LastError() set, on failure.
    bool Start(const std::wstring& program, const std::vector<std::wstring>& args = {},
               const StartOptions& options = {});

    bool Started() const { return process_ != nullptr; }
    bool Running() const;
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_; }  // borrowed
    DWORD LastError() const { return error_; }

    // Waits for the process to end; true if it has. Pumps this thread's messages while waiting.
    bool Wait(DWORD timeoutMs = 10000);
    // The exit code once ended; STILL_ACTIVE while running.
    DWORD ExitCode() const;
    // What the process wrote to stdout and stderr (StartOptions::captureOutput), as UTF-8/ANSI bytes.
    std::string Output() const;
    // Waits for a top-level window of this process (see FindTopWindow); nullptr on timeout or exit.
    HWND WaitForWindow(const wchar_t* className, const wchar_t* title = nullptr, DWORD timeoutMs = 10000);

    // Ends the process and everything it started, and waits until it has ended. Safe to repeat.
    void Terminate(UINT exitCode = 1);

private:
    void Close();

    HANDLE process_ = nullptr;
    HANDLE job_ = nullptr;
    HANDLE output_ = nullptr;
    DWORD id_ = 0;
    DWORD error_ = 0;
};

// Full path of this test program's .exe.
std::wstring ExePath();

} // namespace hvtest
