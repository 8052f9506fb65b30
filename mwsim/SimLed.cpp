// LEDs: a profile's LED collection, the device's LED control (its calibration LEDs) and one LED with
// its colour, brightness and effect.
#include "mwsim/SimCom.h"

namespace mwsim {
namespace {

class CLed : public CObject<ILed, ILEDColor, ILEDBrightness, ILedEffect>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE TurnOn() override { return SetOn(1, L"ILed.TurnOn"); }
    HRESULT STDMETHODCALLTYPE TurnOff() override { return SetOn(0, L"ILed.TurnOff"); }

    HRESULT STDMETHODCALLTYPE GetState(BOOL* on) override
    {
        if (!on)
            return E_POINTER;
        return OnLed(L"ILed.GetState", [&](LedState& l) {
            *on = l.on ? TRUE : FALSE;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetId(int* id) override
    {
        if (!id)
            return E_POINTER;
        return OnLed(L"ILed.GetId", [&](LedState& l) {
            *id = l.id;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE SetColor(COLORREF color) override
    {
        return OnLedWrite(L"ILEDColor.SetColor", HexNum(color), [&](LedState& l) {
            l.color = color & 0xFFFFFF;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetColor(COLORREF* color) override
    {
        if (!color)
            return E_POINTER;
        return OnLed(L"ILEDColor.GetColor", [&](LedState& l) {
            *color = l.color;
            return S_OK;
        });
    }

    // Clamped to 0..100.
    HRESULT STDMETHODCALLTYPE SetBrightness(int brightness) override
    {
        return OnLedWrite(L"ILEDBrightness.SetBrightness", Num(brightness), [&](LedState& l) {
            l.brightness = Clamp(brightness, 0, 100);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetBrightness(int* brightness) override
    {
        if (!brightness)
            return E_POINTER;
        return OnLed(L"ILEDBrightness.GetBrightness", [&](LedState& l) {
            *brightness = l.brightness;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE SetEffect(int effect, int duration, int delay) override
    {
        const std::wstring args = Num(effect) + L' ' + Num(duration) + L' ' + Num(delay);
        return OnLedWrite(L"ILedEffect.SetEffect", args, [&](LedState& l) {
            if (effect < hvmw::kEffectNone || effect > hvmw::kEffectSpectrum)
                return E_INVALIDARG;
            l.effect = effect;
            l.duration = duration < 0 ? 0 : duration;
            l.delay = delay < 0 ? 0 : delay;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetEffect(int* effect, int* duration, int* delay) override
    {
        if (!effect || !duration || !delay)
            return E_POINTER;
        return OnLed(L"ILedEffect.GetEffect", [&](LedState& l) {
            *effect = l.effect;
            *duration = l.duration;
            *delay = l.delay;
            return S_OK;
        });
    }

protected:
    // An LED offers only the interfaces its hardware has.
    bool Answers(REFIID iid) override
    {
        uint8_t LedState::*cap = nullptr;
        if (IsEqualIID(iid, IID_ILEDColor))
            cap = &LedState::hasColor;
        else if (IsEqualIID(iid, IID_ILEDBrightness))
            cap = &LedState::hasBrightness;
        else if (IsEqualIID(iid, IID_ILedEffect))
            cap = &LedState::hasEffect;
        if (!cap)
            return true;
        // What the hardware has is a fact of the device, not of its state.
        LedState factory;
        return FactoryLed(m_handle.dev, m_handle.deviceLeds, m_handle.led, &factory) && factory.*cap != 0;
    }

private:
    HRESULT SetOn(uint8_t on, const wchar_t* method)
    {
        return OnLedWrite(method, {}, [&](LedState& l) {
            l.on = on;
            return S_OK;
        });
    }

    template <class Body>
    HRESULT OnLed(const wchar_t* method, Body&& body)
    {
        return Read(m_handle, method, [&](CCall& c) -> HRESULT {
            LedState* led = nullptr;
            const HRESULT hr = c.Led(&led);
            return FAILED(hr) ? hr : body(*led);
        });
    }
    template <class Body>
    HRESULT OnLedWrite(const wchar_t* method, const std::wstring& args, Body&& body)
    {
        return Write(m_handle, method, args, [&](CCall& c) -> HRESULT {
            LedState* led = nullptr;
            HRESULT hr = c.Led(&led);
            if (SUCCEEDED(hr))
                hr = body(*led);
            if (SUCCEEDED(hr))
                c.Changed();
            return hr;
        });
    }
};

// A profile's LEDs, or (handle.deviceLeds) the device's LED control with its calibration LEDs.
class CLedCollection : public CObject<ILedCollection, ILedControl>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE GetLed(int index, ILed** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return OnLeds(L"ILedCollection.GetLed", Num(index), [&](CCall& c, std::vector<LedState>& leds) {
            if (index < 0 || static_cast<size_t>(index) >= leds.size())
                return c.ListEnd();
            return Make<CLed>(LedHandle(leds[index].id), out);
        });
    }

    HRESULT STDMETHODCALLTYPE GetLedById(int id, ILed** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return OnLeds(L"ILedCollection.GetLedById", Num(id), [&](CCall&, std::vector<LedState>& leds) {
            for (const LedState& l : leds)
                if (l.id == id)
                    return Make<CLed>(LedHandle(id), out);
            return HVMW_E_NOT_FOUND;
        });
    }

protected:
    bool Answers(REFIID iid) override { return !IsEqualIID(iid, IID_ILedControl) || m_handle.deviceLeds; }

private:
    Handle LedHandle(int id) const
    {
        Handle handle = m_handle;
        handle.led = id;
        return handle;
    }

    template <class Body>
    HRESULT OnLeds(const wchar_t* method, const std::wstring& args, Body&& body)
    {
        return Read(m_handle, method, args, [&](CCall& c) -> HRESULT {
            if (m_handle.deviceLeds)
                return body(c, c.Device().deviceLeds);
            ProfileState* p = nullptr;
            const HRESULT hr = c.Profile(&p);
            return FAILED(hr) ? hr : body(c, p->leds);
        });
    }
};

} // namespace

HRESULT CreateLedCollection(const Handle& owner, REFIID iid, void** out)
{
    return MakeAs<CLedCollection>(owner, iid, out);
}

} // namespace mwsim
