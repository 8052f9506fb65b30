// Event sinks of the pages and their connections to the middleware's features.
//
// A heap sink is its own COM object {vtable, count, page}: it starts with the one reference of the
// page that made it, AddRef answers the count before the increment and Release the count after
// the decrement (0 once the sink has deleted itself). The connection holds a further reference
// while advised. The page calls Detach before it lets its reference go, so that an event the
// middleware still delivers after the page has left reaches no page.
//
// Sinks answer QueryInterface for IUnknown and their own event interface only. Event methods run
// on the thread the middleware calls them on (the page's thread with our middleware) and always
// answer S_OK.
#pragma once

#include <objbase.h>
#include <ocidl.h>

#include <atomic>
#include <new>

#include "platform/ComPtr.h"

// A sink's QueryInterface: IUnknown and its own event interface only.
template <class Events>
HRESULT SinkQueryInterface(Events* sink, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!::IsEqualIID(iid, IID_IUnknown) && !::IsEqualIID(iid, __uuidof(Events)))
        return E_NOINTERFACE;
    *out = sink;
    sink->AddRef();
    return S_OK;
}

template <class Events, class Page>
class CHeapSink : public Events
{
public:
    using EventInterface = Events;

    explicit CHeapSink(Page* page) noexcept : m_page(page) {}
    CHeapSink(const CHeapSink&) = delete;
    CHeapSink& operator=(const CHeapSink&) = delete;

    // The page is going: later events change nothing.
    void Detach() noexcept { m_page.store(nullptr); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return SinkQueryInterface<Events>(this, iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return m_refs.fetch_add(1); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = m_refs.fetch_sub(1) - 1;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~CHeapSink() = default;
    // The page, or null once detached.
    Page* OwnerPage() const noexcept { return m_page.load(); }

private:
    std::atomic<ULONG> m_refs{1};
    std::atomic<Page*> m_page;
};

// Connects sink to the events of feature: the feature's connection point container, the point of
// the event interface, Advise. cookie receives the connection's cookie (0 on failure).
HRESULT AdviseEvents(IUnknown* feature, REFIID events, IUnknown* sink, DWORD* cookie);
// Ends the connection with cookie through the same event interface.
HRESULT UnadviseEvents(IUnknown* feature, REFIID events, DWORD cookie);

// A page's connection of one heap sink to one feature, from Advise to Unadvise (or its own end).
template <class Sink>
class CSinkConnection
{
public:
    CSinkConnection() = default;
    ~CSinkConnection() { Unadvise(); }
    CSinkConnection(const CSinkConnection&) = delete;
    CSinkConnection& operator=(const CSinkConnection&) = delete;

    bool IsAdvised() const noexcept { return m_sink != nullptr; }
    Sink* GetSink() const noexcept { return m_sink; }

    // Makes a sink for page and advises it on feature. Nothing is held when that fails; S_FALSE
    // when a sink is advised already.
    template <class Page>
    HRESULT Advise(IUnknown* feature, Page* page)
    {
        if (m_sink)
            return S_FALSE;
        Sink* sink = new (std::nothrow) Sink(page);
        if (!sink)
            return E_OUTOFMEMORY;
        DWORD cookie = 0;
        const HRESULT hr = AdviseEvents(feature, __uuidof(typename Sink::EventInterface), sink, &cookie);
        if (FAILED(hr)) {
            sink->Detach();
            sink->Release();
            return hr;
        }
        m_sink = sink;
        m_cookie = cookie;
        m_feature = CComPtr<IUnknown>(feature);
        return hr;
    }
    // Unadvises by the cookie, detaches the sink from its page and lets it go.
    void Unadvise()
    {
        if (!m_sink)
            return;
        UnadviseEvents(m_feature.Get(), __uuidof(typename Sink::EventInterface), m_cookie);
        m_sink->Detach();
        m_sink->Release();
        m_sink = nullptr;
        m_cookie = 0;
        m_feature.Reset();
    }

private:
    Sink* m_sink = nullptr;
    DWORD m_cookie = 0;
    CComPtr<IUnknown> m_feature;
};

// A sink that lives inside its page: {vtable, count, feature, cookie}. Its count starts at 1 and
// AddRef and Release answer the new count without ever deleting anything: the page owns the sink.
// The sink holds the feature it is advised on, so that the page ends the connection through the
// same event interface; the page unadvises before it goes (at the latest when its window goes).
template <class Events, class Page>
class CEmbeddedSink : public Events
{
public:
    explicit CEmbeddedSink(Page* page) noexcept : m_page(page) {}
    ~CEmbeddedSink() { Unadvise(); }
    CEmbeddedSink(const CEmbeddedSink&) = delete;
    CEmbeddedSink& operator=(const CEmbeddedSink&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return SinkQueryInterface<Events>(this, iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }

    bool IsAdvised() const noexcept { return static_cast<bool>(m_feature); }
    // Advises this sink on feature and keeps the feature and the cookie; S_FALSE when advised already.
    HRESULT Advise(IUnknown* feature)
    {
        if (m_feature)
            return S_FALSE;
        DWORD cookie = 0;
        const HRESULT hr = AdviseEvents(feature, __uuidof(Events), this, &cookie);
        if (SUCCEEDED(hr)) {
            m_feature = CComPtr<IUnknown>(feature);
            m_cookie = cookie;
        }
        return hr;
    }
    // Ends the connection by its cookie, lets the feature go.
    void Unadvise()
    {
        if (!m_feature)
            return;
        UnadviseEvents(m_feature.Get(), __uuidof(Events), m_cookie);
        m_feature.Reset();
        m_cookie = 0;
    }

protected:
    Page* OwnerPage() const noexcept { return m_page; }

private:
    std::atomic<ULONG> m_refs{1};
    Page* m_page;
    CComPtr<IUnknown> m_feature;
    DWORD m_cookie = 0;
};
