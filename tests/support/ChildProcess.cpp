#include "ChildProcess.h"
#include "Messages.h"
#include "TestWindows.h"

#include <algorithm>
#include <map>

namespace hvtest {
namespace {

struct NoCaseLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const { return _wcsicmp(a.c_str(), b.c_str()) < 0; }
};

// This process's environment with changes applied, as a sorted block for CreateProcess.
std::vector<wchar_t> EnvironmentBlock(const EnvChanges& changes)
{
    std::map<std::wstring, std::wstring, NoCaseLess> vars;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
            std::wstring entry = p;
            // Entries like "=C:=C:\dir" keep their leading '='.
            size_t eq = entry.find(L'=', 1);
            if (eq != std::wstring::npos)
                vars[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
        FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : changes) {
        if (value.empty())
            vars.erase(name);
        else
            vars[name] = value;
    }
    std::vector<wchar_t> out;
    for (const auto& [name, value] : vars) {
        std::wstring entry = name + L"=" + value;
        out.insert(out.end(), entry.begin(), entry.end());
        out.push_back(L'\0');
    }
    out.push_back(L'\0');
    if (out.size() == 1)
        out.push_back(L'\0');
    return out;
}

bool IsRelativeName(const std::wstring& program)
{
    return program.find_first_of(L"\\/:") == std::wstring::npos;
}

} // namespace

std::wstring QuoteArg(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes are literal unless they precede a quote (or the closing quote): then doubled.
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    out += L'"';
    return out;
}

ChildProcess::~ChildProcess()
{
    Terminate();
    Close();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : process_(other.process_), job_(other.job_), output_(other.output_), id_(other.id_), error_(other.error_)
{
    other.process_ = other.job_ = other.output_ = nullptr;
    other.id_ = 0;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    if (this != &other) {
        Terminate();
        Close();
        std::swap(process_, other.process_);
        std::swap(job_, other.job_);
        std::swap(output_, other.output_);
        std::swap(id_, other.id_);
        std::swap(error_, other.error_);
    }
    return *this;
}

void ChildProcess::Close()
{
    for (HANDLE* h : {&process_, &job_, &output_}) {
        if (*h)
            CloseHandle(*h);
        *h = nullptr;
    }
    id_ = 0;
}

bool ChildProcess::Start(const std::wstring& program, const std::vector<std::wstring>& args,
                         const StartOptions& options)
{
    Terminate();
    Close();
    error_ = 0;

    std::wstring path = program;
    if (IsRelativeName(program)) {
        std::wstring inBin = BinFile(program);
        if (GetFileAttributesW(inBin.c_str()) != INVALID_FILE_ATTRIBUTES)
            path = inBin;
    }
    std::wstring commandLine = QuoteArg(path);
    for (const auto& arg : args)
        commandLine += L" " + QuoteArg(arg);

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    if (options.hidden) {
        si.dwFlags |= STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_HIDE;
    }
    BOOL inherit = FALSE;
    if (options.captureOutput) {
        // A temporary file rather than a pipe: nothing has to drain it while the child runs.
        wchar_t name[MAX_PATH];
        if (GetTempFileNameW(TestDir().c_str(), L"out", 0, name)) {
            SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
            output_ = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
            if (output_ == INVALID_HANDLE_VALUE)
                output_ = nullptr;
        }
        if (!output_) {
            error_ = GetLastError();
            return false;
        }
        si.dwFlags |= STARTF_USESTDHANDLES;
        si.hStdInput = nullptr;
        si.hStdOutput = output_;
        si.hStdError = output_;
        inherit = TRUE;
    }

    // Everything the child starts stays in its job, and closing the job (even when this test
    // crashes) ends them all.
    job_ = CreateJobObjectW(nullptr, nullptr);
    if (job_) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    }

    std::vector<wchar_t> env = EnvironmentBlock(options.env);
    std::vector<wchar_t> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back(L'\0');
    PROCESS_INFORMATION pi = {};
    // On a machine busy with other test runs, Wine now and then fails a start with an internal
    // error (the new process did not come up in time): that is the machine, not the program, so
    // the start is tried again a few times before it counts.
    bool started = false;
    for (int attempt = 0; attempt < 4 && !started; ++attempt) {
        if (attempt > 0)
            Sleep(250 * attempt);
        std::vector<wchar_t> line = cmd;   // CreateProcessW may write into its command line
        started = CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, inherit,
                                 CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED, env.data(),
                                 options.workDir.empty() ? nullptr : options.workDir.c_str(), &si, &pi) != FALSE;
        if (!started) {
            error_ = GetLastError();
            if (error_ != ERROR_INTERNAL_ERROR)
                break;
        }
    }
    if (!started) {
        Close();
        return false;
    }
    if (job_)
        AssignProcessToJobObject(job_, pi.hProcess);
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    id_ = pi.dwProcessId;
    return true;
}

bool ChildProcess::Running() const
{
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool ChildProcess::Wait(DWORD timeoutMs)
{
    if (!process_)
        return true;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        ULONGLONG now = GetTickCount64();
        DWORD wait = now >= deadline ? 0 : DWORD(deadline - now);
        DWORD r = MsgWaitForMultipleObjectsEx(1, &process_, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0)
            return true;
        if (r != WAIT_OBJECT_0 + 1)
            return false;
        PumpMessages();
    }
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (process_)
        GetExitCodeProcess(process_, &code);
    return code;
}

std::string ChildProcess::Output() const
{
    std::string text;
    if (!output_)
        return text;
    LARGE_INTEGER zero = {};
    SetFilePointerEx(output_, zero, nullptr, FILE_BEGIN);
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(output_, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

HWND ChildProcess::WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] {
        found = id_ ? FindTopWindow(className, title, id_) : nullptr;
        return found != nullptr || !Running();
    }, timeoutMs);
    return found;
}

void ChildProcess::Terminate(UINT exitCode)
{
    if (!process_)
        return;
    if (job_)
        TerminateJobObject(job_, exitCode);
    if (Running())
        TerminateProcess(process_, exitCode);
    WaitForSingleObject(process_, 5000);
}

} // namespace hvtest
