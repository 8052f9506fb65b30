// The one COM smart pointer of the code base.
#pragma once

#include <objbase.h>
#include <utility>

template <class T>
class CComPtr
{
public:
    CComPtr() noexcept = default;
    CComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference.
    explicit CComPtr(T* p) noexcept : m_p(p)
    {
        if (m_p)
            m_p->AddRef();
    }
    CComPtr(const CComPtr& other) noexcept : CComPtr(other.m_p) {}
    CComPtr(CComPtr&& other) noexcept : m_p(other.Detach()) {}
    ~CComPtr() { Reset(); }

    CComPtr& operator=(const CComPtr& other) noexcept
    {
        CComPtr(other).Swap(*this);
        return *this;
    }
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }

    T* Get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    // Adopts a reference the caller already holds.
    void Attach(T* p) noexcept
    {
        T* old = std::exchange(m_p, p);
        if (old)
            old->Release();
    }
    T* Detach() noexcept { return std::exchange(m_p, nullptr); }
    void Reset() noexcept { Attach(nullptr); }
    void Swap(CComPtr& other) noexcept { std::swap(m_p, other.m_p); }

    // For output parameters: releases what is held first.
    T** Put() noexcept
    {
        Reset();
        return &m_p;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    // Queries the held object into out, which may be this very pointer; out is empty on failure.
    template <class U>
    HRESULT As(CComPtr<U>& out) const noexcept
    {
        if (!m_p) {
            out.Reset();
            return E_POINTER;
        }
        // Into a fresh pointer first: emptying out first would release the object being queried
        // when out is this pointer.
        CComPtr<U> queried;
        HRESULT hr = m_p->QueryInterface(__uuidof(U), queried.PutVoid());
        out = std::move(queried);
        return hr;
    }
    HRESULT As(REFIID iid, void** out) const noexcept
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return m_p ? m_p->QueryInterface(iid, out) : E_POINTER;
    }

private:
    T* m_p = nullptr;
};
