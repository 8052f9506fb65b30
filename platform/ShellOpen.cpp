#include "platform/ShellOpen.h"

#include <shellapi.h>

#include <atomic>

namespace {

class CSystemShellOpener : public IShellOpener
{
public:
    bool Open(HWND owner, const std::wstring& verb, const std::wstring& target, int show) override
    {
        const HINSTANCE result = ::ShellExecuteW(owner, verb.empty() ? nullptr : verb.c_str(), target.c_str(),
                                                 nullptr, nullptr, show);
        // Values above 32 mean success (the documented convention of ShellExecute).
        return reinterpret_cast<INT_PTR>(result) > 32;
    }
};

std::atomic<IShellOpener*> g_installed{nullptr};

} // namespace

IShellOpener& SystemShellOpener()
{
    static CSystemShellOpener opener;
    return opener;
}

IShellOpener* SetShellOpener(IShellOpener* opener)
{
    return g_installed.exchange(opener);
}

bool ShellOpen(HWND owner, const wchar_t* verb, const std::wstring& target, int show)
{
    IShellOpener* installed = g_installed.load();
    return (installed ? *installed : SystemShellOpener()).Open(owner, verb ? verb : L"", target, show);
}
