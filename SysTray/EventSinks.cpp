#include "SysTray/EventSinks.h"

#include <new>

CDpiEventSink* CDpiEventSink::Create(int productId, IDpiEventHandler* handler)
{
    return new (std::nothrow) CDpiEventSink(productId, handler);
}

HRESULT STDMETHODCALLTYPE CDpiEventSink::OnDpiChanged(int x, int y)
{
    return Deliver([&](IDpiEventHandler& h) { h.OnDpiChanged(m_productId, x, y); });
}

CProfileEventSink* CProfileEventSink::Create(int productId, IProfileEventHandler* handler)
{
    return new (std::nothrow) CProfileEventSink(productId, handler);
}

HRESULT STDMETHODCALLTYPE CProfileEventSink::OnActiveProfileChanged(int value)
{
    return Deliver([&](IProfileEventHandler& h) { h.OnActiveProfileChanged(m_productId, value); });
}

CMacroEventSink* CMacroEventSink::Create(int productId, IMacroEventHandler* handler)
{
    return new (std::nothrow) CMacroEventSink(productId, handler);
}

HRESULT STDMETHODCALLTYPE CMacroEventSink::OnRecordStart()
{
    return Deliver([&](IMacroEventHandler& h) { h.OnMacroRecordStart(m_productId); });
}

HRESULT STDMETHODCALLTYPE CMacroEventSink::OnRecordEnd()
{
    return Deliver([&](IMacroEventHandler& h) { h.OnMacroRecordEnd(m_productId); });
}

// The key code goes on as the device reported it: it is the id of the key's assignment record.
HRESULT STDMETHODCALLTYPE CMacroEventSink::OnButtonAssignment(int kind, int code)
{
    return Deliver([&](IMacroEventHandler& h) { h.OnMacroKeyAssigned(m_productId, kind, code); });
}

HRESULT STDMETHODCALLTYPE CMacroEventSink::OnRecordCancel()
{
    return Deliver([&](IMacroEventHandler& h) { h.OnMacroRecordCancel(m_productId); });
}

CLaunchAppEventSink* CLaunchAppEventSink::Create(int productId, ILaunchAppEventHandler* handler)
{
    return new (std::nothrow) CLaunchAppEventSink(productId, handler);
}

HRESULT STDMETHODCALLTYPE CLaunchAppEventSink::OnApplicationEvent(int kind, LPCWSTR path)
{
    return Deliver([&](ILaunchAppEventHandler& h) { h.OnLaunchApp(m_productId, kind, path ? path : L""); });
}
