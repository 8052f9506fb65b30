// Event connections: one sink advised on one middleware feature, for one device.
//
// A connection holds one reference to the feature it watches, taken when it is made, so that it
// outlives the short-lived device wrapper that made it (HvDevice.h), and one reference to its sink.
// Making a connection advises the sink; destroying it unadvises the sink when it holds a cookie,
// clears the cookie, detaches the sink from its handler and releases its reference to the sink, also
// when the unadvise fails (the sink then lives on for as long as the middleware holds it, and deletes
// itself, but whatever the middleware still delivers to it reaches no handler). A connection never
// deletes its sink. A failed advise leaves a connection that delivers nothing.
//
// The device manager (DeviceManager.h) owns the connections; everything runs on the thread that
// made them, which receives the events when it pumps messages.
#pragma once

#include "platform/ComPtr.h"
#include "SysTray/EventSinks.h"

class IDeviceCallback
{
public:
    explicit IDeviceCallback(int productId) noexcept : m_productId(productId) {}
    virtual ~IDeviceCallback() = default;
    IDeviceCallback(const IDeviceCallback&) = delete;
    IDeviceCallback& operator=(const IDeviceCallback&) = delete;

    virtual void Connect() = 0;
    virtual void Disconnect() = 0;

    int ProductId() const noexcept { return m_productId; }

protected:
    const int m_productId;
};

// A connection with a sink on the event interface of Sink.
template <class Feature, class Sink>
class CSinkConnection : public IDeviceCallback
{
public:
    ~CSinkConnection() override
    {
        Disconnect();
        if (m_sink) {
            m_sink->Detach();
            m_sink->Release();
        }
    }

    // Advises the sink once; each failure simply ends the step.
    void Connect() override
    {
        if (!m_sink || !m_feature || m_cookie)
            return;
        CComPtr<IConnectionPoint> point = FindPoint();
        DWORD cookie = 0;
        if (point && SUCCEEDED(point->Advise(static_cast<typename Sink::EventInterface*>(m_sink), &cookie)))
            m_cookie = cookie;
    }
    // Unadvises the kept cookie; the cookie is forgotten whether or not the middleware agrees.
    void Disconnect() override
    {
        const DWORD cookie = m_cookie;
        m_cookie = 0;
        if (!m_feature || !cookie)
            return;
        if (CComPtr<IConnectionPoint> point = FindPoint())
            point->Unadvise(cookie);
    }

    // 0 while not advised.
    DWORD Cookie() const noexcept { return m_cookie; }
    Sink* GetSink() const noexcept { return m_sink; }

protected:
    // Takes a reference to feature and adopts the one reference of sink (either may be null), then
    // connects.
    CSinkConnection(int productId, Feature* feature, Sink* sink) noexcept
        : IDeviceCallback(productId), m_feature(feature), m_sink(sink)
    {
        Connect();
    }

    CComPtr<Feature> m_feature;

private:
    CComPtr<IConnectionPoint> FindPoint() const
    {
        CComPtr<IConnectionPointContainer> container;
        CComPtr<IConnectionPoint> point;
        if (SUCCEEDED(m_feature.As(container)) && container)
            container->FindConnectionPoint(__uuidof(typename Sink::EventInterface), point.Put());
        return point;
    }

    Sink* m_sink; // one reference
    DWORD m_cookie = 0;
};

// The DPI of the profile that was active when the connection was made: the device reports through
// it the DPI in effect, whichever profile is active later.
class CDpiEventConnection : public CSinkConnection<IDpi, CDpiEventSink>
{
public:
    CDpiEventConnection(int productId, IDpi* dpi, IDpiEventHandler* handler);

    // The range read when the connection was made; false when it could not be read.
    bool GetDpiRange(int* minimum, int* maximum, int* step) const;

private:
    bool m_rangeRead = false;
    int m_minimum = 0, m_maximum = 0, m_step = 0;
};

class CProfileEventConnection : public CSinkConnection<IProfileManager, CProfileEventSink>
{
public:
    CProfileEventConnection(int productId, IProfileManager* manager, IProfileEventHandler* handler);
};

class CMacroEventConnection : public CSinkConnection<IOtfMacroRecording, CMacroEventSink>
{
public:
    CMacroEventConnection(int productId, IOtfMacroRecording* recording, IMacroEventHandler* handler);
};

class CLaunchAppEventConnection : public CSinkConnection<IApplicationList, CLaunchAppEventSink>
{
public:
    CLaunchAppEventConnection(int productId, IApplicationList* applications, ILaunchAppEventHandler* handler);
};

// Keeps the device's audio sync switched on while it lives; it has no events.
class CAudioSyncEventConnection : public IDeviceCallback
{
public:
    // Takes a reference to both, then connects.
    CAudioSyncEventConnection(int productId, IAudioSync* audioSync, IDevice* device);
    ~CAudioSyncEventConnection() override;

    void Connect() override;    // switches audio sync on
    void Disconnect() override; // and off

private:
    CComPtr<IAudioSync> m_audioSync;
    CComPtr<IDevice> m_device;
};
