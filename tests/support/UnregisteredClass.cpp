#include "UnregisteredClass.h"

namespace hvtest {

HRESULT STDMETHODCALLTYPE CUnregisteredClass::QueryInterface(REFIID iid, void** out)
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

HRESULT STDMETHODCALLTYPE CUnregisteredClass::CreateInstance(IUnknown*, REFIID, void** out)
{
    ++creates_;
    if (out)
        *out = nullptr;
    return REGDB_E_CLASSNOTREG;
}

UnregisteredServer::UnregisteredServer(REFCLSID clsid)
{
    if (FAILED(CoRegisterClassObject(clsid, &class_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_)))
        cookie_ = 0;
}

void UnregisteredServer::Revoke()
{
    if (cookie_)
        CoRevokeClassObject(cookie_);
    cookie_ = 0;
}

} // namespace hvtest
