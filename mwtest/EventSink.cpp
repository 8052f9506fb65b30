#include "mwtest/EventSink.h"

#include "platform/ComPtr.h"

namespace {

HRESULT FindPoint(IUnknown* feature, REFIID events, CComPtr<IConnectionPoint>& point)
{
    if (!feature)
        return E_POINTER;
    CComPtr<IConnectionPointContainer> container;
    HRESULT hr = feature->QueryInterface(IID_PPV_ARGS(container.Put()));
    if (FAILED(hr))
        return hr;
    return container->FindConnectionPoint(events, point.Put());
}

} // namespace

HRESULT AdviseEvents(IUnknown* feature, REFIID events, IUnknown* sink, DWORD* cookie)
{
    if (!cookie)
        return E_POINTER;
    *cookie = 0;
    CComPtr<IConnectionPoint> point;
    HRESULT hr = FindPoint(feature, events, point);
    return SUCCEEDED(hr) ? point->Advise(sink, cookie) : hr;
}

HRESULT UnadviseEvents(IUnknown* feature, REFIID events, DWORD cookie)
{
    CComPtr<IConnectionPoint> point;
    HRESULT hr = FindPoint(feature, events, point);
    return SUCCEEDED(hr) ? point->Unadvise(cookie) : hr;
}
