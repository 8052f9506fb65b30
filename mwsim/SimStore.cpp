#include "mwsim/SimStore.h"

#include "platform/Handles.h"
#include "platform/WStr.h"

#include <shlobj.h>

namespace mwsim {
namespace {

constexpr DWORD kLockTimeoutMs = 15000;

std::wstring Env(const wchar_t* name)
{
    wchar_t buffer[MAX_PATH * 2];
    const DWORD n = ::GetEnvironmentVariableW(name, buffer, MAX_PATH * 2);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(buffer, n) : std::wstring();
}

std::wstring FullPath(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH * 2];
    const DWORD n = ::GetFullPathNameW(path.c_str(), MAX_PATH * 2, buffer, nullptr);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(buffer, n) : path;
}

std::wstring Joined(std::wstring dir, const wchar_t* name)
{
    if (!dir.empty() && dir.back() != L'\\' && dir.back() != L'/')
        dir += L'\\';
    return dir + name;
}

std::wstring FindDefaultStatePath()
{
    wchar_t base[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, base)))
        return L"HvMwSim.state";
    const std::wstring dir = Joined(base, L"HalvoVexa");
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return Joined(dir, L"HvMwSim.state");
}

// Looked up once per process: the shell folder does not move while it runs.
const std::wstring& DefaultStatePath()
{
    static const std::wstring path = FindDefaultStatePath();
    return path;
}

// One mutex per state file: the name carries a hash of the file's full path, without regard to case.
std::wstring MutexName(const std::wstring& statePath)
{
    uint32_t hash = 2166136261u;
    for (wchar_t c : wstr::ToUpper(statePath)) {
        hash ^= static_cast<uint32_t>(c);
        hash *= 16777619u;
    }
    return wstr::Format(L"Local\\HvMwSim.%08X", hash);
}

} // namespace

StorePaths CurrentPaths()
{
    StorePaths paths;
    const std::wstring explicitState = Env(L"HV_MWSIM_STATE");
    const std::wstring testDir = Env(L"HV_TEST_DIR");
    if (!explicitState.empty())
        paths.state = FullPath(explicitState);
    else if (!testDir.empty())
        paths.state = FullPath(Joined(testDir, L"HvMwSim.state"));
    else
        paths.state = DefaultStatePath();
    const std::wstring journal = Env(L"HV_MWSIM_JOURNAL");
    if (!journal.empty())
        paths.journal = FullPath(journal);
    else if (!testDir.empty())
        paths.journal = FullPath(Joined(testDir, L"HvMwSim.journal"));
    const std::wstring reads = Env(L"HV_MWSIM_JOURNAL_READS");
    paths.journalReads = !reads.empty() && reads != L"0";
    return paths;
}

HRESULT ReadWholeFile(const std::wstring& path, std::vector<uint8_t>* bytes, DWORD maxBytes)
{
    bytes->clear();
    CKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return HRESULT_FROM_WIN32(::GetLastError());
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size))
        return HRESULT_FROM_WIN32(::GetLastError());
    if (size.QuadPart > maxBytes)
        return HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);
    bytes->resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes->empty() && (!::ReadFile(file.Get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) ||
                            read != bytes->size())) {
        bytes->clear();
        return HRESULT_FROM_WIN32(ERROR_READ_FAULT);
    }
    return S_OK;
}

HRESULT WriteWholeFile(const std::wstring& path, const std::vector<uint8_t>& bytes)
{
    // Written beside the target and moved over it, so that no reader ever sees half a file.
    const std::wstring temp = path + L".tmp";
    {
        CKernelHandle file(
            ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return HRESULT_FROM_WIN32(::GetLastError());
        DWORD written = 0;
        if (!bytes.empty() &&
            (!::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
             written != bytes.size())) {
            const DWORD error = ::GetLastError();
            file.Reset();
            ::DeleteFileW(temp.c_str());
            return HRESULT_FROM_WIN32(error ? error : ERROR_WRITE_FAULT);
        }
    }
    if (!::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(temp.c_str());
        return HRESULT_FROM_WIN32(error);
    }
    return S_OK;
}

CSession::CSession() : m_paths(CurrentPaths())
{
    m_mutex = ::CreateMutexW(nullptr, FALSE, MutexName(m_paths.state).c_str());
    m_status = m_mutex ? Lock() : HRESULT_FROM_WIN32(::GetLastError());
    if (SUCCEEDED(m_status))
        m_status = Load();
    if (FAILED(m_status))
        Unlock();
}

CSession::~CSession()
{
    Unlock();
    if (m_mutex)
        ::CloseHandle(m_mutex);
}

HRESULT CSession::Lock()
{
    const DWORD r = ::WaitForSingleObject(m_mutex, kLockTimeoutMs);
    // An abandoned mutex is ours all the same: the state file is only ever replaced whole.
    m_held = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
    return m_held ? S_OK : HRESULT_FROM_WIN32(r == WAIT_TIMEOUT ? ERROR_TIMEOUT : ::GetLastError());
}

void CSession::Unlock()
{
    if (m_held)
        ::ReleaseMutex(m_mutex);
    m_held = false;
}

HRESULT CSession::Load()
{
    std::vector<uint8_t> bytes;
    const HRESULT hr = ReadWholeFile(m_paths.state, &bytes);
    // Only a file that is not there, or not ours (too big to be one, another magic or version, a broken
    // shape), is the factory state. Any other failure (shared or locked by someone, access refused,
    // a read fault) fails the call: the next write would otherwise replace the devices with the factory.
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND) ||
        hr == HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE)) {
        m_state = FactoryState();
        return S_OK;
    }
    if (FAILED(hr))
        return hr;
    if (!Deserialize(bytes, &m_state))
        m_state = FactoryState();
    return S_OK;
}

HRESULT CSession::Save()
{
    if (!m_held)
        return E_UNEXPECTED;
    return WriteWholeFile(m_paths.state, Serialize(m_state));
}

HRESULT CSession::Pause(DWORD ms)
{
    Unlock();
    ::Sleep(ms);
    m_status = Lock();
    if (SUCCEEDED(m_status))
        m_status = Load();
    if (FAILED(m_status))
        Unlock();
    return m_status;
}

void CSession::Journal(const std::wstring& line)
{
    if (m_paths.journal.empty() || !m_held)
        return;
    CKernelHandle file(::CreateFileW(m_paths.journal.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    const std::string text = wstr::WideToUtf8(line) + "\n";
    DWORD written = 0;
    ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

} // namespace mwsim
