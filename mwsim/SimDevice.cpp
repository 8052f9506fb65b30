// The root object, the devices and the device-wide features (polling rate, acceleration, battery,
// power management, device mode, keyboard redirector, audio sync, on-the-fly recording).
#include "mwsim/SimCom.h"

namespace mwsim {
namespace {

class CEnumerator : public CObject<IDeviceEnumerator>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE EnumDevice(int index, IDevice** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return Run(m_handle, Access::Root, L"IDeviceEnumerator.EnumDevice", Num(index), [&](CCall& c) -> HRESULT {
            int seen = 0;
            for (int i = 0; i < kDeviceCount; ++i) {
                const Dev dev = static_cast<Dev>(i);
                const DeviceState& d = c.State().Of(dev);
                if (d.present && seen++ == index)
                    return CreateDevice(dev, d.generation, out);
            }
            return c.ListEnd();
        });
    }

    HRESULT STDMETHODCALLTYPE GetDeviceByName(LPCWSTR name, IDevice** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        std::wstring wanted;
        HRESULT hr = TakeString(name, &wanted);
        if (FAILED(hr))
            return hr;
        return Run(m_handle, Access::Root, L"IDeviceEnumerator.GetDeviceByName", Quote(wanted), [&](CCall& c) -> HRESULT {
            for (int i = 0; i < kDeviceCount; ++i) {
                const Dev dev = static_cast<Dev>(i);
                const DeviceState& d = c.State().Of(dev);
                if (d.present && _wcsicmp(FactsOf(dev).name, wanted.c_str()) == 0)
                    return CreateDevice(dev, d.generation, out);
            }
            return HVMW_E_NOT_FOUND;
        });
    }
};

class CDevice : public CObject<IDevice, IDeviceIdentity, IMouseDevice, IKeyboardDevice, ILongFirmwareVersion,
                               IDeviceStatus>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE GetDeviceInfo(DeviceInfo* out) override
    {
        if (!out)
            return E_POINTER;
        return Read(m_handle, L"IDevice.GetDeviceInfo", [&](CCall&) -> HRESULT {
            const DeviceFacts& f = FactsOf(m_handle.dev);
            LPWSTR name = nullptr;
            const HRESULT hr = DupString(f.name, &name);
            if (FAILED(hr))
                return hr;
            *out = DeviceInfo{0, f.productId, f.driverMajor, f.driverMinor, f.firmwareMajor, f.firmwareMinor, name};
            return S_OK;
        });
    }

    // IDevice, IMouseDevice and IKeyboardDevice share this slot.
    HRESULT STDMETHODCALLTYPE GetFeature(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return Read(m_handle, L"IDevice.GetFeature", FeatureName(iid), [&](CCall& c) -> HRESULT {
            return HasDeviceFeature(m_handle.dev, iid) && !IsRemoved(c.Device(), iid)
                       ? CreateDeviceFeature(m_handle, iid, out)
                       : E_NOINTERFACE;
        });
    }

    HRESULT STDMETHODCALLTYPE GetIds(DWORD* first, DWORD* productId) override
    {
        if (!first || !productId)
            return E_POINTER;
        return Read(m_handle, L"IDeviceIdentity.GetIds", [&](CCall&) -> HRESULT {
            *first = kVendorId;
            *productId = FactsOf(m_handle.dev).productId;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetLayout(int* code) override
    {
        if (!code)
            return E_POINTER;
        return Read(m_handle, L"IKeyboardDevice.GetLayout", [&](CCall& c) -> HRESULT {
            *code = c.Device().layoutCode;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetVersion(BYTE* a, BYTE* b, BYTE* cc, BYTE* d) override
    {
        if (!a || !b || !cc || !d)
            return E_POINTER;
        return Read(m_handle, L"ILongFirmwareVersion.GetVersion", [&](CCall&) -> HRESULT {
            const BYTE* v = FactsOf(m_handle.dev).longVersion;
            *a = v[0];
            *b = v[1];
            *cc = v[2];
            *d = v[3];
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetStatusFlag(BYTE* flag) override
    {
        if (!flag)
            return E_POINTER;
        return Read(m_handle, L"IDeviceStatus.GetStatusFlag", [&](CCall&) -> HRESULT {
            *flag = 1; // reaching here means the device is attached
            return S_OK;
        });
    }

protected:
    bool Answers(REFIID iid) override
    {
        if (IsEqualIID(iid, IID_IMouseDevice))
            return m_handle.dev == Dev::Mouse;
        if (IsEqualIID(iid, IID_IKeyboardDevice))
            return m_handle.dev == Dev::Keyboard;
        return true;
    }
};

class CPollingRate : public CObject<IPollingRate>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE GetRate(int* code) override
    {
        if (!code)
            return E_POINTER;
        return Read(m_handle, L"IPollingRate.GetRate", [&](CCall& c) -> HRESULT {
            *code = c.Device().pollingCode;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE SetRate(int code) override
    {
        return Write(m_handle, L"IPollingRate.SetRate", Num(code), [&](CCall& c) -> HRESULT {
            if (code != hvmw::kRate1000Hz && code != hvmw::kRate500Hz && code != hvmw::kRate125Hz)
                return E_INVALIDARG;
            c.Device().pollingCode = code;
            c.Changed();
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetSupportedRates(int* count, int** rates) override
    {
        if (!count || !rates)
            return E_POINTER;
        *count = 0;
        *rates = nullptr;
        return Read(m_handle, L"IPollingRate.GetSupportedRates", [&](CCall&) -> HRESULT {
            static const int supported[] = {125, 500, 1000};
            auto* block = static_cast<int*>(::CoTaskMemAlloc(sizeof supported));
            if (!block)
                return E_OUTOFMEMORY;
            std::memcpy(block, supported, sizeof supported);
            *rates = block;
            *count = 3;
            return S_OK;
        });
    }
};

class CAcceleration : public CObject<IAcceleration>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE Enable() override { return SetEnabled(true, L"IAcceleration.Enable"); }
    HRESULT STDMETHODCALLTYPE Disable() override { return SetEnabled(false, L"IAcceleration.Disable"); }

    HRESULT STDMETHODCALLTYPE IsEnabled(BOOL* enabled) override
    {
        if (!enabled)
            return E_POINTER;
        return Read(m_handle, L"IAcceleration.IsEnabled", [&](CCall& c) -> HRESULT {
            *enabled = c.Device().accelEnabled ? TRUE : FALSE;
            return S_OK;
        });
    }

    // Clamped to 1..10.
    HRESULT STDMETHODCALLTYPE SetLevel(int level) override
    {
        return Write(m_handle, L"IAcceleration.SetLevel", Num(level), [&](CCall& c) -> HRESULT {
            c.Device().accelLevel = Clamp(level, 1, 10);
            c.Changed();
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetLevel(int* level) override
    {
        if (!level)
            return E_POINTER;
        return Read(m_handle, L"IAcceleration.GetLevel", [&](CCall& c) -> HRESULT {
            *level = c.Device().accelLevel;
            return S_OK;
        });
    }

private:
    HRESULT SetEnabled(bool on, const wchar_t* method)
    {
        return Write(m_handle, method, {}, [&](CCall& c) -> HRESULT {
            c.Device().accelEnabled = on ? 1 : 0;
            c.Changed();
            return S_OK;
        });
    }
};

class CBattery : public CObject<IBattery>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE GetLevel(int* percent) override
    {
        if (!percent)
            return E_POINTER;
        return Read(m_handle, L"IBattery.GetLevel", [&](CCall& c) -> HRESULT {
            *percent = c.Device().batteryLevel;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE IsCharging(BYTE* state) override
    {
        if (!state)
            return E_POINTER;
        return Read(m_handle, L"IBattery.IsCharging", [&](CCall& c) -> HRESULT {
            *state = c.Device().charging;
            return S_OK;
        });
    }
};

class CPowerManagement : public CObject<IPowerManagement>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE GetCriticalLevel(int* v) override
    {
        return Get(v, L"IPowerManagement.GetCriticalLevel", &DeviceState::criticalLevel);
    }
    HRESULT STDMETHODCALLTYPE SetCriticalLevel(int v) override
    {
        return Set(v, 0, 100, L"IPowerManagement.SetCriticalLevel", &DeviceState::criticalLevel);
    }
    HRESULT STDMETHODCALLTYPE GetMaxLedBrightness(int* v) override
    {
        return Get(v, L"IPowerManagement.GetMaxLedBrightness", &DeviceState::maxLedBrightness);
    }
    HRESULT STDMETHODCALLTYPE SetMaxLedBrightness(int v) override
    {
        return Set(v, 0, 255, L"IPowerManagement.SetMaxLedBrightness", &DeviceState::maxLedBrightness);
    }
    HRESULT STDMETHODCALLTYPE GetSleepTime(int* v) override
    {
        return Get(v, L"IPowerManagement.GetSleepTime", &DeviceState::sleepSeconds);
    }
    HRESULT STDMETHODCALLTYPE SetSleepTime(int v) override
    {
        return Set(v, 0, 65535, L"IPowerManagement.SetSleepTime", &DeviceState::sleepSeconds);
    }

private:
    HRESULT Get(int* out, const wchar_t* method, int32_t DeviceState::*field)
    {
        if (!out)
            return E_POINTER;
        return Read(m_handle, method, [&](CCall& c) -> HRESULT {
            *out = c.Device().*field;
            return S_OK;
        });
    }
    // Clamped to the device's range.
    HRESULT Set(int value, int lo, int hi, const wchar_t* method, int32_t DeviceState::*field)
    {
        return Write(m_handle, method, Num(value), [&](CCall& c) -> HRESULT {
            c.Device().*field = Clamp(value, lo, hi);
            c.Changed();
            return S_OK;
        });
    }
};

class CDeviceMode : public CObject<IDeviceMode>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE GetMode(int* mode) override
    {
        if (!mode)
            return E_POINTER;
        return Read(m_handle, L"IDeviceMode.GetMode", [&](CCall& c) -> HRESULT {
            *mode = c.Device().mode;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE SetMode(int mode) override
    {
        return Write(m_handle, L"IDeviceMode.SetMode", Num(mode), [&](CCall& c) -> HRESULT {
            if (mode < hvmw::kModeNormal || mode > hvmw::kModeDriver)
                return E_INVALIDARG;
            c.Device().mode = mode;
            c.Changed();
            return S_OK;
        });
    }
};

class CKeyboardRedirector : public CEventSource<IKeyboardRedirector>
{
public:
    using CEventSource::CEventSource;

    HRESULT STDMETHODCALLTYPE Enable() override { return Set(1, L"IKeyboardRedirector.Enable"); }
    HRESULT STDMETHODCALLTYPE Disable() override { return Set(0, L"IKeyboardRedirector.Disable"); }

    HRESULT STDMETHODCALLTYPE IsEnabled(BYTE* enabled) override
    {
        if (!enabled)
            return E_POINTER;
        return Read(m_handle, L"IKeyboardRedirector.IsEnabled", [&](CCall& c) -> HRESULT {
            *enabled = c.Device().redirector;
            return S_OK;
        });
    }

protected:
    bool Offers(EventKind kind) const override { return kind == EventKind::Redirect; }

private:
    HRESULT Set(BYTE on, const wchar_t* method)
    {
        return Write(m_handle, method, {}, [&](CCall& c) -> HRESULT {
            c.Device().redirector = on;
            c.Changed();
            return S_OK;
        });
    }
};

class CAudioSync : public CObject<IAudioSync>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE SetEnabled(BOOL enabled) override
    {
        return Write(m_handle, L"IAudioSync.SetEnabled", Num(enabled ? 1 : 0), [&](CCall& c) -> HRESULT {
            c.Device().audioSync = enabled ? 1 : 0;
            c.Changed();
            return S_OK;
        });
    }
};

// Its events come from the device; it has no methods of its own.
class COtfMacroRecording : public CEventSource<IOtfMacroRecording>
{
public:
    using CEventSource::CEventSource;

protected:
    bool Offers(EventKind kind) const override { return kind == EventKind::Otf; }
};

} // namespace

HRESULT CreateEnumerator(REFIID iid, void** out)
{
    {
        // This process now uses the devices: it hears their arrival and removal.
        CSession session;
        if (SUCCEEDED(session.Status()) && RegisterClient(session.State(), ::GetCurrentProcessId()))
            session.Save();
    }
    return MakeAs<CEnumerator>(Handle{}, iid, out);
}

HRESULT CreateDevice(Dev dev, uint32_t generation, IDevice** out)
{
    Handle handle;
    handle.dev = dev;
    handle.generation = generation;
    return Make<CDevice>(handle, out);
}

HRESULT CreateDeviceFeature(const Handle& device, REFIID iid, void** out)
{
    Handle handle;
    handle.dev = device.dev;
    handle.generation = device.generation;
    if (IsEqualIID(iid, IID_IProfileManager))
        return CreateProfileManager(handle, reinterpret_cast<IProfileManager**>(out));
    if (IsEqualIID(iid, IID_IPollingRate))
        return MakeAs<CPollingRate>(handle, iid, out);
    if (IsEqualIID(iid, IID_IAcceleration))
        return MakeAs<CAcceleration>(handle, iid, out);
    if (IsEqualIID(iid, IID_IBattery))
        return MakeAs<CBattery>(handle, iid, out);
    if (IsEqualIID(iid, IID_IPowerManagement))
        return MakeAs<CPowerManagement>(handle, iid, out);
    if (IsEqualIID(iid, IID_IDeviceMode))
        return MakeAs<CDeviceMode>(handle, iid, out);
    if (IsEqualIID(iid, IID_IKeyboardRedirector))
        return MakeAs<CKeyboardRedirector>(handle, iid, out);
    if (IsEqualIID(iid, IID_IAudioSync))
        return MakeAs<CAudioSync>(handle, iid, out);
    if (IsEqualIID(iid, IID_IOtfMacroRecording))
        return MakeAs<COtfMacroRecording>(handle, iid, out);
    if (IsEqualIID(iid, IID_IMacroManager))
        return CreateMacroManager(handle, reinterpret_cast<IMacroManager**>(out));
    if (IsEqualIID(iid, IID_IApplicationList))
        return CreateApplicationList(handle, reinterpret_cast<IApplicationList**>(out));
    if (IsEqualIID(iid, IID_IApm))
        return CreateApm(handle, reinterpret_cast<IApm**>(out));
    if (IsEqualIID(iid, IID_ILedControl)) {
        handle.deviceLeds = true;
        return CreateLedCollection(handle, iid, out);
    }
    return E_NOINTERFACE;
}

} // namespace mwsim
