// APM lighting: the levels (kept in ascending order of their upper limits) and the event colours.
#include "mwsim/SimCom.h"

#include <algorithm>

namespace mwsim {
namespace {

Handle LevelHandle(const Handle& device, uint32_t level)
{
    Handle handle;
    handle.dev = device.dev;
    handle.generation = device.generation;
    handle.level = level;
    return handle;
}

class CApmLevel : public CObject<IApmLevel>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE GetUpperLimit(int* limit) override
    {
        if (!limit)
            return E_POINTER;
        return OnLevel(L"IApmLevel.GetUpperLimit", [&](std::vector<ApmLevelState>& levels, size_t i) {
            *limit = levels[i].upper;
            return S_OK;
        });
    }

    // Refused when it would reach the previous level's limit or the next one's.
    HRESULT STDMETHODCALLTYPE SetUpperLimit(int limit) override
    {
        return OnLevelWrite(L"IApmLevel.SetUpperLimit", Num(limit), [&](std::vector<ApmLevelState>& levels, size_t i) {
            if (limit < 1)
                return E_INVALIDARG;
            if ((i > 0 && limit <= levels[i - 1].upper) || (i + 1 < levels.size() && limit >= levels[i + 1].upper))
                return HVMW_E_REFUSED;
            levels[i].upper = limit;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetColor(COLORREF* color) override
    {
        if (!color)
            return E_POINTER;
        return OnLevel(L"IApmLevel.GetColor", [&](std::vector<ApmLevelState>& levels, size_t i) {
            *color = levels[i].color;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE SetColor(COLORREF color) override
    {
        return OnLevelWrite(L"IApmLevel.SetColor", HexNum(color), [&](std::vector<ApmLevelState>& levels, size_t i) {
            levels[i].color = color & 0xFFFFFF;
            return S_OK;
        });
    }

private:
    std::wstring Which() const { return L"level " + Num(m_handle.level); }

    template <class Body>
    HRESULT OnLevel(const wchar_t* method, Body&& body)
    {
        return Read(m_handle, method, [&](CCall& c) -> HRESULT {
            size_t i = 0;
            const HRESULT hr = c.ApmLevel(&i);
            return FAILED(hr) ? hr : body(c.Device().apmLevels, i);
        });
    }
    template <class Body>
    HRESULT OnLevelWrite(const wchar_t* method, const std::wstring& args, Body&& body)
    {
        return Write(m_handle, method, Which() + L' ' + args, [&](CCall& c) -> HRESULT {
            size_t i = 0;
            HRESULT hr = c.ApmLevel(&i);
            if (SUCCEEDED(hr))
                hr = body(c.Device().apmLevels, i);
            if (SUCCEEDED(hr))
                c.Changed();
            return hr;
        });
    }
};

class CApm : public CObject<IApm, IApmEventColors>
{
public:
    using CObject::CObject;

    HRESULT STDMETHODCALLTYPE GetLevel(int index, IApmLevel** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return Read(m_handle, L"IApm.GetLevel", Num(index), [&](CCall& c) -> HRESULT {
            const auto& levels = c.Device().apmLevels;
            if (index < 0 || static_cast<size_t>(index) >= levels.size())
                return c.ListEnd();
            return Make<CApmLevel>(LevelHandle(m_handle, levels[index].handle), out);
        });
    }

    // Inserted in order of its limit; a limit that a level has already is refused.
    HRESULT STDMETHODCALLTYPE AddLevel(int upperLimit, IApmLevel** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        CComPtr<IApmLevel> made;
        const HRESULT result = Write(m_handle, L"IApm.AddLevel", Num(upperLimit), [&](CCall& c) -> HRESULT {
            DeviceState& d = c.Device();
            if (upperLimit < 1)
                return E_INVALIDARG;
            if (d.apmLevels.size() >= static_cast<size_t>(kMaxApmLevels))
                return HVMW_E_FULL;
            auto at = std::find_if(d.apmLevels.begin(), d.apmLevels.end(),
                                   [&](const ApmLevelState& l) { return l.upper >= upperLimit; });
            if (at != d.apmLevels.end() && at->upper == upperLimit)
                return HVMW_E_REFUSED;
            const ApmLevelState level{++d.serial, upperLimit, 0xFFFFFF};
            d.apmLevels.insert(at, level);
            c.Note(L"level " + Num(level.handle));
            const HRESULT hr = Make<CApmLevel>(LevelHandle(m_handle, level.handle), made.Put());
            if (SUCCEEDED(hr))
                c.Changed();
            return hr;
        });
        return HandOut(result, made, out);
    }

    HRESULT STDMETHODCALLTYPE DeleteLevel(IApmLevel* level) override
    {
        if (!level)
            return E_POINTER;
        ISimHandle* own = nullptr;
        if (FAILED(level->QueryInterface(IID_ISimHandle, reinterpret_cast<void**>(&own))))
            return E_INVALIDARG;
        const uint32_t which = own->GetHandle().level;
        own->Release();
        return Write(m_handle, L"IApm.DeleteLevel", L"level " + Num(which), [&](CCall& c) -> HRESULT {
            auto& levels = c.Device().apmLevels;
            auto it = std::find_if(levels.begin(), levels.end(), [&](const ApmLevelState& l) { return l.handle == which; });
            if (it == levels.end())
                return HVMW_E_NOT_FOUND;
            levels.erase(it);
            c.Changed();
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetEventLevel(int event, int* level) override
    {
        if (!level)
            return E_POINTER;
        return OnEvent(event, L"IApmEventColors.GetEventLevel", [&](ApmEventState& e) {
            *level = e.level;
            return S_OK;
        });
    }

    // 0 (off) or 2 to 5.
    HRESULT STDMETHODCALLTYPE SetEventLevel(int event, int level) override
    {
        return OnEventWrite(event, L"IApmEventColors.SetEventLevel", Num(level), [&](ApmEventState& e) {
            if (level != hvmw::kApmLevelOff && (level < hvmw::kApmLevelMin || level > hvmw::kApmLevelMax))
                return E_INVALIDARG;
            e.level = level;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetEventColor(int event, COLORREF* color) override
    {
        if (!color)
            return E_POINTER;
        return OnEvent(event, L"IApmEventColors.GetEventColor", [&](ApmEventState& e) {
            *color = e.color;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE SetEventColor(int event, COLORREF color) override
    {
        return OnEventWrite(event, L"IApmEventColors.SetEventColor", HexNum(color), [&](ApmEventState& e) {
            e.color = color & 0xFFFFFF;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetEventEnabled(int event, BYTE* enabled) override
    {
        if (!enabled)
            return E_POINTER;
        return OnEvent(event, L"IApmEventColors.GetEventEnabled", [&](ApmEventState& e) {
            *enabled = e.enabled;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE SetEventEnabled(int event, BOOL enabled) override
    {
        return OnEventWrite(event, L"IApmEventColors.SetEventEnabled", Num(enabled ? 1 : 0), [&](ApmEventState& e) {
            e.enabled = enabled ? 1 : 0;
            return S_OK;
        });
    }

private:
    static HRESULT EventOf(CCall& c, int event, ApmEventState** out)
    {
        auto& events = c.Device().apmEvents;
        if (event < hvmw::kApmFirstEvent || static_cast<size_t>(event) > events.size())
            return E_INVALIDARG;
        *out = &events[event - 1];
        return S_OK;
    }

    template <class Body>
    HRESULT OnEvent(int event, const wchar_t* method, Body&& body)
    {
        return Read(m_handle, method, L"event " + Num(event), [&](CCall& c) -> HRESULT {
            ApmEventState* e = nullptr;
            const HRESULT hr = EventOf(c, event, &e);
            return FAILED(hr) ? hr : body(*e);
        });
    }
    template <class Body>
    HRESULT OnEventWrite(int event, const wchar_t* method, const std::wstring& args, Body&& body)
    {
        return Write(m_handle, method, L"event " + Num(event) + L' ' + args, [&](CCall& c) -> HRESULT {
            ApmEventState* e = nullptr;
            HRESULT hr = EventOf(c, event, &e);
            if (SUCCEEDED(hr))
                hr = body(*e);
            if (SUCCEEDED(hr))
                c.Changed();
            return hr;
        });
    }
};

} // namespace

HRESULT CreateApm(const Handle& device, IApm** out)
{
    return Make<CApm>(LevelHandle(device, 0), out);
}

} // namespace mwsim
