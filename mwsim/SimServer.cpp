// The in-process server: class factory, self-registration and the module's lifetime.
#include "mwsim/SimCom.h"

#include "platform/Handles.h"

namespace mwsim {
namespace {

class CClassFactory : public IClassFactory
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
            return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    // The factory is static: its references only keep the module loaded.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++g_moduleRefs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--g_moduleRefs); }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return CreateEnumerator(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            ++g_moduleRefs;
        else
            --g_moduleRefs;
        return S_OK;
    }
};

CClassFactory g_factory;

std::wstring ClassKey()
{
    wchar_t clsid[40] = {};
    ::StringFromGUID2(CLSID_HvMwApi, clsid, 40);
    return std::wstring(L"CLSID\\") + clsid;
}

HRESULT SetValue(HKEY key, const wchar_t* name, const std::wstring& value)
{
    const LSTATUS s = ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(s);
}

} // namespace
} // namespace mwsim

using namespace mwsim;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Unloaded while the process goes on (DllCanUnloadNow said yes, so no event window is left).
        UnregisterEventWindowClass();
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_HvMwApi))
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return g_moduleRefs.load() == 0 ? S_OK : S_FALSE;
}

// HKCR\CLSID\{class}\InprocServer32 = this module, ThreadingModel "Both": the objects are
// free-threaded, so a program may create them in its apartment and call them from any thread.
extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD n = ::GetModuleFileNameW(g_module, path, MAX_PATH * 2);
    if (n == 0 || n >= MAX_PATH * 2)
        return HRESULT_FROM_WIN32(::GetLastError());
    CRegKey classKey;
    LSTATUS s = ::RegCreateKeyExW(HKEY_CLASSES_ROOT, ClassKey().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  classKey.Put(), nullptr);
    if (s != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(s);
    HRESULT hr = SetValue(classKey.Get(), nullptr, L"HvMwApi");
    if (FAILED(hr))
        return hr;
    CRegKey server;
    s = ::RegCreateKeyExW(classKey.Get(), L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr, server.Put(), nullptr);
    if (s != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(s);
    hr = SetValue(server.Get(), nullptr, path);
    if (SUCCEEDED(hr))
        hr = SetValue(server.Get(), L"ThreadingModel", L"Both");
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    const LSTATUS s = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey().c_str());
    return s == ERROR_SUCCESS || s == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(s);
}
