// A COM class made "not registered" for this process only: a class object whose CreateInstance
// answers as COM does for an unknown class is registered in front of whatever the registry names
// (the simulated middleware stays installed and would answer otherwise).
#pragma once
#include <objbase.h>

#include <atomic>

namespace hvtest {

// The class object: counts the creations it refused and its own references.
class CUnregisteredClass final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    // Lives on the test's stack; COM's references are checked at the end instead.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    int Creates() const { return creates_; }
    ULONG Refs() const { return refs_; }

private:
    std::atomic<ULONG> refs_{0};
    std::atomic<int> creates_{0};
};

// Registers the class object for clsid while it lives (COM must be initialised on the thread).
class UnregisteredServer {
public:
    explicit UnregisteredServer(REFCLSID clsid);
    ~UnregisteredServer() { Revoke(); }
    UnregisteredServer(const UnregisteredServer&) = delete;
    UnregisteredServer& operator=(const UnregisteredServer&) = delete;

    // Puts the registry's class back in place.
    void Revoke();
    bool Registered() const { return cookie_ != 0; }
    const CUnregisteredClass& Class() const { return class_; }

private:
    CUnregisteredClass class_;
    DWORD cookie_ = 0;
};

} // namespace hvtest
