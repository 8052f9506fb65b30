#include "LyingMiddleware.h"

namespace devtest {

namespace {

// Reference counting and QueryInterface for one interface over a wrapped object of the same kind.
template <class Itf>
class CWrapper : public Itf
{
public:
    CWrapper(Itf* real, CLies& lies) : m_real(real), m_lies(lies) {}
    virtual ~CWrapper() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (::IsEqualIID(iid, IID_IUnknown) || ::IsEqualIID(iid, __uuidof(Itf))) {
            *out = static_cast<Itf*>(this);
            AddRef();
            return S_OK;
        }
        // Other interfaces of the object are the real one's.
        return m_real->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    // A deletion as the lies say: passed through, told without being made, or refused.
    template <class Call>
    HRESULT Delete(Call&& pass)
    {
        ++m_lies.deleteCalls;
        if (!m_lies.fakeDeletes)
            return pass();
        if (m_lies.lies > 0) {
            --m_lies.lies;
            return S_OK;
        }
        return E_FAIL;
    }

    CComPtr<Itf> m_real;
    CLies& m_lies;

private:
    std::atomic<ULONG> m_refs{1};
};

template <class Wrapper, class Itf>
HRESULT Wrap(HRESULT hr, Itf* real, CLies& lies, Itf** out)
{
    if (FAILED(hr) || !real)
        return hr;
    *out = new Wrapper(real, lies);
    real->Release();
    return hr;
}

class CProfileManager : public CWrapper<IProfileManager>
{
public:
    using CWrapper::CWrapper;
    HRESULT STDMETHODCALLTYPE GetProfile(int index, IProfile** out) override { return m_real->GetProfile(index, out); }
    HRESULT STDMETHODCALLTYPE GetProfileById(GUID id, IProfile** out) override
    {
        return m_real->GetProfileById(id, out);
    }
    HRESULT STDMETHODCALLTYPE SetActiveProfile(IProfile* profile) override { return m_real->SetActiveProfile(profile); }
    HRESULT STDMETHODCALLTYPE GetActiveProfile(IProfile** out) override { return m_real->GetActiveProfile(out); }
    HRESULT STDMETHODCALLTYPE AddProfile(IProfile** out) override { return m_real->AddProfile(out); }
    HRESULT STDMETHODCALLTYPE DeleteProfile(IProfile* profile) override
    {
        return Delete([&] { return m_real->DeleteProfile(profile); });
    }
    HRESULT STDMETHODCALLTYPE Reserved9() override { return m_real->Reserved9(); }
    HRESULT STDMETHODCALLTYPE ImportProfile(LPCWSTR path, IProfile** out) override
    {
        return m_lies.importsReturnExisting ? m_real->GetProfile(0, out) : m_real->ImportProfile(path, out);
    }
};

class CMacroManager : public CWrapper<IMacroManager>
{
public:
    using CWrapper::CWrapper;
    HRESULT STDMETHODCALLTYPE GetMacro(int index, IMacro** out) override { return m_real->GetMacro(index, out); }
    HRESULT STDMETHODCALLTYPE GetMacroById(GUID id, IMacro** out) override { return m_real->GetMacroById(id, out); }
    HRESULT STDMETHODCALLTYPE AddMacro(IMacro** out) override { return m_real->AddMacro(out); }
    HRESULT STDMETHODCALLTYPE DeleteMacro(IMacro* macro) override
    {
        return Delete([&] { return m_real->DeleteMacro(macro); });
    }
    HRESULT STDMETHODCALLTYPE Reserved7() override { return m_real->Reserved7(); }
    HRESULT STDMETHODCALLTYPE ImportMacro(LPCWSTR path, IMacro** out) override
    {
        return m_lies.importsReturnExisting ? m_real->GetMacro(0, out) : m_real->ImportMacro(path, out);
    }
};

class CApplicationList : public CWrapper<IApplicationList>
{
public:
    using CWrapper::CWrapper;
    HRESULT STDMETHODCALLTYPE GetApplication(int index, IApplication** out) override
    {
        return m_real->GetApplication(index, out);
    }
    HRESULT STDMETHODCALLTYPE GetApplicationById(GUID id, IApplication** out) override
    {
        return m_real->GetApplicationById(id, out);
    }
    HRESULT STDMETHODCALLTYPE AddApplication(IApplication** out) override { return m_real->AddApplication(out); }
    HRESULT STDMETHODCALLTYPE DeleteApplication(IApplication* app) override
    {
        return Delete([&] { return m_real->DeleteApplication(app); });
    }
    HRESULT STDMETHODCALLTYPE Reserved7() override { return m_real->Reserved7(); }
    HRESULT STDMETHODCALLTYPE ImportApplication(LPCWSTR path, IApplication** out) override
    {
        return m_real->ImportApplication(path, out);
    }
};

class CDpi : public CWrapper<IDpi>
{
public:
    using CWrapper::CWrapper;
    HRESULT STDMETHODCALLTYPE GetActiveDpi(DpiValue* value) override { return m_real->GetActiveDpi(value); }
    HRESULT STDMETHODCALLTYPE SetActiveDpi(int x, int y) override { return m_real->SetActiveDpi(x, y); }
    HRESULT STDMETHODCALLTYPE GetStageInfo(StageInfo* info) override { return m_real->GetStageInfo(info); }
    HRESULT STDMETHODCALLTYPE GetActiveStage(int* stage) override { return m_real->GetActiveStage(stage); }
    HRESULT STDMETHODCALLTYPE SetActiveStage(int stage) override { return m_real->SetActiveStage(stage); }
    HRESULT STDMETHODCALLTYPE GetStages(int* count, DpiValue** stages) override
    {
        const int n = m_lies.stagesReported;
        auto* block = static_cast<DpiValue*>(::CoTaskMemAlloc(static_cast<size_t>(n) * sizeof(DpiValue)));
        if (!block)
            return E_OUTOFMEMORY;
        for (int i = 0; i < n; ++i)
            block[i] = {(i + 1) * 100, (i + 1) * 100};
        *count = n;
        *stages = block;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetStages(int count, const DpiValue* stages) override
    {
        return m_real->SetStages(count, stages);
    }
    HRESULT STDMETHODCALLTYPE GetRange(int* min, int* max, int* step) override { return m_real->GetRange(min, max, step); }
};

class CProfile : public CWrapper<IProfile>
{
public:
    using CWrapper::CWrapper;
    HRESULT STDMETHODCALLTYPE GetFeature(REFIID iid, void** out) override
    {
        const HRESULT hr = m_real->GetFeature(iid, out);
        if (FAILED(hr) || !out || !*out || !::IsEqualIID(iid, IID_IDpi))
            return hr;
        return Wrap<CDpi>(hr, static_cast<IDpi*>(*out), m_lies, reinterpret_cast<IDpi**>(out));
    }
    HRESULT STDMETHODCALLTYPE GetId(GUID* id) override { return m_real->GetId(id); }
    HRESULT STDMETHODCALLTYPE GetName(LPWSTR* name) override { return m_real->GetName(name); }
    HRESULT STDMETHODCALLTYPE SetName(LPCWSTR name) override { return m_real->SetName(name); }
    HRESULT STDMETHODCALLTYPE Activate() override { return m_real->Activate(); }
    HRESULT STDMETHODCALLTYPE Export(LPCWSTR path) override { return m_real->Export(path); }
};

class CDevice : public CWrapper<IDevice>
{
public:
    using CWrapper::CWrapper;
    HRESULT STDMETHODCALLTYPE GetDeviceInfo(DeviceInfo* out) override { return m_real->GetDeviceInfo(out); }
    HRESULT STDMETHODCALLTYPE GetFeature(REFIID iid, void** out) override
    {
        const HRESULT hr = m_real->GetFeature(iid, out);
        if (FAILED(hr) || !out || !*out)
            return hr;
        if (::IsEqualIID(iid, IID_IProfileManager))
            return Wrap<CProfileManager>(hr, static_cast<IProfileManager*>(*out), m_lies,
                                         reinterpret_cast<IProfileManager**>(out));
        if (::IsEqualIID(iid, IID_IMacroManager))
            return Wrap<CMacroManager>(hr, static_cast<IMacroManager*>(*out), m_lies,
                                       reinterpret_cast<IMacroManager**>(out));
        if (::IsEqualIID(iid, IID_IApplicationList))
            return Wrap<CApplicationList>(hr, static_cast<IApplicationList*>(*out), m_lies,
                                          reinterpret_cast<IApplicationList**>(out));
        return hr;
    }
};

class CRoot : public CWrapper<IDeviceEnumerator>
{
public:
    using CWrapper::CWrapper;
    HRESULT STDMETHODCALLTYPE EnumDevice(int index, IDevice** out) override
    {
        IDevice* real = nullptr;
        const HRESULT hr = m_real->EnumDevice(index, &real);
        return Wrap<CDevice>(hr, real, m_lies, out);
    }
    HRESULT STDMETHODCALLTYPE GetDeviceByName(LPCWSTR name, IDevice** out) override
    {
        IDevice* real = nullptr;
        const HRESULT hr = m_real->GetDeviceByName(name, &real);
        return Wrap<CDevice>(hr, real, m_lies, out);
    }
};

class CFactory final : public IClassFactory
{
public:
    CFactory(IClassFactory* real, CLies& lies) : m_real(real), m_lies(lies) {}
    virtual ~CFactory() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!::IsEqualIID(iid, IID_IUnknown) && !::IsEqualIID(iid, IID_IClassFactory))
            return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        IDeviceEnumerator* real = nullptr;
        HRESULT hr = m_real->CreateInstance(nullptr, IID_IDeviceEnumerator, reinterpret_cast<void**>(&real));
        if (FAILED(hr))
            return hr;
        IDeviceEnumerator* root = nullptr;
        Wrap<CRoot>(hr, real, m_lies, &root);
        hr = root->QueryInterface(iid, out);
        root->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override { return m_real->LockServer(lock); }

private:
    CComPtr<IClassFactory> m_real;
    CLies& m_lies;
    std::atomic<ULONG> m_refs{1};
};

} // namespace

CComPtr<IProfile> LyingProfile(IProfile* real, CLies& lies)
{
    CComPtr<IProfile> profile;
    if (real)
        profile.Attach(new CProfile(real, lies));
    return profile;
}

CLyingMiddleware::CLyingMiddleware(CLies& lies)
{
    CComPtr<IClassFactory> real;
    if (FAILED(::CoGetClassObject(CLSID_HvMwApi, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, real.PutVoid())))
        return;
    CComPtr<IClassFactory> factory;
    factory.Attach(new CFactory(real.Get(), lies));
    if (FAILED(::CoRegisterClassObject(CLSID_HvMwApi, factory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                       &m_cookie)))
        m_cookie = 0;
}

CLyingMiddleware::~CLyingMiddleware()
{
    if (m_cookie)
        ::CoRevokeClassObject(m_cookie);
}

} // namespace devtest
