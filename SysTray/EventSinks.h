// The sinks the tray advises on the middleware's connection points. Each sink forwards the events of
// its event interface to one handler of the tray dialog, tagged with the product id of the device.
//
// Ownership: a sink is reference-counted and deletes itself when the count reaches 0. It is made with
// one reference, which its connection (EventConnections.h) holds; the middleware holds one more while
// advised and, for the length of an event call, another. So a handler that unregisters the connection
// that is calling it leaves the sink alive until the call has returned. The handler is borrowed: it
// must outlive the sink's connection, which detaches the sink from it when it ends, since the
// middleware may keep the sink and call it later (an unadvise it refused, an event already on its
// way). A null or detached handler makes a sink that ignores its events.
#pragma once

#include "mwapi/HvMwApi.h"
#include "SysTray/EventHandlers.h"

#include <atomic>

template <class EventItf, class Handler>
class CEventSink : public EventItf
{
public:
    using EventInterface = EventItf;

    CEventSink(const CEventSink&) = delete;
    CEventSink& operator=(const CEventSink&) = delete;

    // IUnknown and the sink's own event interface only; every other interface gets E_NOINTERFACE.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(EventItf))) {
            *out = static_cast<EventItf*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const long left = --m_refs;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    int ProductId() const noexcept { return m_productId; }
    // From now on the events are answered and dropped.
    void Detach() noexcept { m_handler = nullptr; }

protected:
    CEventSink(int productId, Handler* handler) noexcept : m_productId(productId), m_handler(handler) {}
    virtual ~CEventSink() = default;

    // Runs one handler call; no exception of the handler crosses back into the middleware.
    template <class Fn>
    HRESULT Deliver(Fn&& fn) noexcept
    {
        if (!m_handler)
            return S_OK;
        try {
            fn(*m_handler);
        } catch (...) {
            // The event is the handler's; the middleware's call goes on.
        }
        return S_OK;
    }

    const int m_productId;

private:
    Handler* m_handler; // borrowed; null once detached
    std::atomic<long> m_refs{1};
};

class CDpiEventSink : public CEventSink<_IDPIEvents, IDpiEventHandler>
{
public:
    // With one reference, the caller's; null when memory is exhausted.
    static CDpiEventSink* Create(int productId, IDpiEventHandler* handler);
    HRESULT STDMETHODCALLTYPE OnDpiChanged(int x, int y) override;

private:
    using CEventSink::CEventSink;
};

class CProfileEventSink : public CEventSink<_IProfileManagerEvents, IProfileEventHandler>
{
public:
    static CProfileEventSink* Create(int productId, IProfileEventHandler* handler);
    HRESULT STDMETHODCALLTYPE OnActiveProfileChanged(int value) override;

private:
    using CEventSink::CEventSink;
};

class CMacroEventSink : public CEventSink<_IOTFMacroRecordingEvents, IMacroEventHandler>
{
public:
    static CMacroEventSink* Create(int productId, IMacroEventHandler* handler);
    HRESULT STDMETHODCALLTYPE OnRecordStart() override;
    HRESULT STDMETHODCALLTYPE OnRecordEnd() override;
    HRESULT STDMETHODCALLTYPE OnButtonAssignment(int kind, int code) override;
    HRESULT STDMETHODCALLTYPE OnRecordCancel() override;

private:
    using CEventSink::CEventSink;
};

class CLaunchAppEventSink : public CEventSink<_IApplicationEvent, ILaunchAppEventHandler>
{
public:
    static CLaunchAppEventSink* Create(int productId, ILaunchAppEventHandler* handler);
    HRESULT STDMETHODCALLTYPE OnApplicationEvent(int kind, LPCWSTR path) override;

private:
    using CEventSink::CEventSink;
};
