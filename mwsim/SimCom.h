// The COM side of the simulator: reference counting and QueryInterface for the handle objects, the
// handle itself (which device, profile, macro, LED ... an object stands for), and Read/Write, the
// frame of every method: take the shared state, let the test hooks act (delay, presence, injected
// faults), run the body, save and journal what changed. Objects are free-threaded: they hold no state
// but their handle, and every method works under the state's lock.
#pragma once

#include "mwsim/SimEvents.h"
#include "mwsim/SimState.h"
#include "mwsim/SimStore.h"

#include "platform/ComPtr.h"

#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <memory>
#include <new>
#include <string>

namespace mwsim {

// Live objects, event windows, advised sinks and server locks of this module (DllCanUnloadNow).
extern std::atomic<long> g_moduleRefs;
extern HMODULE g_module;

// What an object stands for. Everything is looked up again in the state on each call, so that a
// target that has gone (deleted, unplugged) fails cleanly.
struct Handle
{
    Dev dev = Dev::Mouse;
    uint32_t generation = 0; // the device's plug-in the object belongs to
    GUID profile{};          // profile-level features
    GUID item{};             // a macro or an application
    int led = 0;             // an LED id
    bool deviceLeds = false; // the LED control's LEDs rather than a profile's
    uint32_t level = 0;      // an APM level's handle
    uint32_t object = 0;     // the COM object's serial in this process (journal of reads)
};

// Private identity of our objects, so that DeleteLevel and friends can tell which target they got.
struct ISimHandle : public IUnknown
{
    virtual const Handle& GetHandle() = 0;
};
inline constexpr IID IID_ISimHandle = {0x6F1D5A3E, 0x2B7C, 0x4E0A, {0x9C, 0x41, 0x8D, 0x2E, 0x55, 0x17, 0xA9, 0x03}};

// A fresh serial for an object made now: the journal of reads names the object a call was made on,
// so that a test tells one call asked twice from the same call on another object.
uint32_t NextObjectSerial();

// Whether the control tool has switched the feature off on the handle's device (reads the state).
bool FeatureRemovedNow(const Handle& handle, REFIID iid);

template <class First, class... Rest>
class CObject : public First, public Rest..., public ISimHandle
{
public:
    explicit CObject(const Handle& handle) : m_handle(handle)
    {
        ++g_moduleRefs;
        m_handle.object = NextObjectSerial();
    }
    virtual ~CObject() { --g_moduleRefs; }
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

    // An interface the object already is (the one it was made as, or one it has answered before)
    // answers for as long as the object lives. Any other that the control tool can switch off is
    // checked against the device's state, without the delay and fault hooks of a method call.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *out = static_cast<IUnknown*>(static_cast<First*>(this));
        } else if (IsEqualIID(iid, IID_ISimHandle)) {
            *out = static_cast<ISimHandle*>(this);
        } else {
            int index = 0;
            void* found = Find<First, Rest...>(iid, &index);
            if (!found)
                return E_NOINTERFACE;
            const uint32_t bit = 1u << index;
            if ((m_granted.load() & bit) == 0) {
                if (IsRemovable(iid) && FeatureRemovedNow(m_handle, iid))
                    return E_NOINTERFACE;
                m_granted |= bit;
            }
            *out = found;
        }
        AddRef();
        return S_OK;
    }
    // For the factories, which have checked the feature already: the object is made as iid.
    HRESULT QueryAsMade(REFIID iid, void** out)
    {
        int index = 0;
        if (Find<First, Rest...>(iid, &index))
            m_granted |= 1u << index;
        return QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const long left = --m_refs;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    const Handle& GetHandle() override { return m_handle; }

protected:
    // Lets a class answer an interface only for some devices or targets (a mouse has no keyboard). Fixed
    // facts only: the answer must not change while the object lives.
    virtual bool Answers(REFIID) { return true; }

    Handle m_handle;

private:
    // The interface of the pack that answers iid, with its place in the pack.
    template <class I, class... More>
    void* Find(REFIID iid, int* index)
    {
        if (IsEqualIID(iid, __uuidof(I)) && Answers(iid))
            return static_cast<I*>(this);
        ++*index;
        if constexpr (sizeof...(More) > 0)
            return Find<More...>(iid, index);
        else
            return nullptr;
    }

    std::atomic<long> m_refs{1};
    std::atomic<uint32_t> m_granted{1}; // by place in the pack; the first is what Make hands out
};

// Creates an object of T on the handle and hands out interface I (refcount 1 held by *out).
template <class T, class I>
HRESULT Make(const Handle& handle, I** out)
{
    T* object = new (std::nothrow) T(handle);
    if (!object)
        return E_OUTOFMEMORY;
    *out = static_cast<I*>(object);
    return S_OK;
}
template <class T>
HRESULT MakeAs(const Handle& handle, REFIID iid, void** out)
{
    T* object = new (std::nothrow) T(handle);
    if (!object)
        return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryAsMade(iid, out);
    object->Release();
    return hr;
}

// One call on the shared state, as the body of a method sees it.
class CCall
{
public:
    CCall(CSession& session, const Handle& handle) : m_session(session), m_handle(handle) {}

    SimState& State() { return m_session.State(); }
    DeviceState& Device() { return m_session.State().Of(m_handle.dev); }
    Dev DevKind() const { return m_handle.dev; }
    // The answer of an indexed call past the end of its list.
    HRESULT ListEnd() const { return m_session.State().listEnd; }
    const Handle& Target() const { return m_handle; }
    void Changed() { m_changed = true; }
    bool IsChanged() const { return m_changed; }
    // Adds what only the body learns (a new object's GUID) to the journal line of a Write.
    void Note(const std::wstring& text)
    {
        if (!m_note.empty())
            m_note += L' ';
        m_note += text;
    }
    const std::wstring& NoteText() const { return m_note; }

    // The handle's target, or HVMW_E_DELETED.
    HRESULT Profile(ProfileState** out);
    HRESULT Macro(MacroState** out);
    HRESULT App(AppState** out);
    HRESULT Led(LedState** out);
    HRESULT ApmLevel(size_t* index);

private:
    CSession& m_session;
    const Handle& m_handle;
    bool m_changed = false;
    std::wstring m_note;
};

enum class Access { Read, Write, Root };

// The frame of every method (see the top of this file). method names the call for the journal and
// for fault rules ("IDpi.SetStages"); args is the journal's account of a Write. No exception leaves.
template <class Body>
HRESULT Run(const Handle& handle, Access access, const wchar_t* method, const std::wstring& args, Body&& body) noexcept;

template <class Body>
HRESULT Read(const Handle& handle, const wchar_t* method, Body&& body) noexcept
{
    return Run(handle, Access::Read, method, std::wstring(), static_cast<Body&&>(body));
}
// A read that takes inputs (an index, an interface, a property): the journal names them.
template <class Body>
HRESULT Read(const Handle& handle, const wchar_t* method, const std::wstring& args, Body&& body) noexcept
{
    return Run(handle, Access::Read, method, args, static_cast<Body&&>(body));
}
template <class Body>
HRESULT Write(const Handle& handle, const wchar_t* method, const std::wstring& args, Body&& body) noexcept
{
    return Run(handle, Access::Write, method, args, static_cast<Body&&>(body));
}

// The hooks of Run, outside the template.
HRESULT Admit(CSession& session, const Handle& handle, Access access, const wchar_t* method, bool* hooksChanged);
void Finish(CSession& session, const Handle& handle, Access access, const wchar_t* method, const std::wstring& args,
            bool changed, HRESULT* hr);

// Queues the events of a successful write (SimEvents.h) while the state is still held.
void QueueStateEvents(const SimState& before, SimState& after);

template <class Body>
HRESULT Run(const Handle& handle, Access access, const wchar_t* method, const std::wstring& args, Body&& body) noexcept
{
    try {
        HRESULT hr = S_OK;
        {
            CSession session;
            hr = session.Status();
            if (FAILED(hr))
                return hr;
            bool hooksChanged = false;
            hr = Admit(session, handle, access, method, &hooksChanged);
            CCall call(session, handle);
            std::unique_ptr<SimState> before;
            if (SUCCEEDED(hr) && access == Access::Write)
                before = std::make_unique<SimState>(session.State());
            if (SUCCEEDED(hr))
                hr = body(call);
            // The events of the change go out with it (queued in the state that is saved below); the
            // sinks run on their own threads once this call has let the state go.
            if (before && call.IsChanged() && SUCCEEDED(hr))
                QueueStateEvents(*before, session.State());
            std::wstring journal = args;
            if (!call.NoteText().empty())
                journal += (journal.empty() ? L"" : L" ") + call.NoteText();
            Finish(session, handle, access, method, journal, call.IsChanged() || hooksChanged, &hr);
        }
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// The object a call made, handed to the caller only when the whole call succeeded (saving the state
// is part of it): on failure, or when the body threw, the object is released and *out stays null.
template <class I>
HRESULT HandOut(HRESULT hr, CComPtr<I>& made, I** out)
{
    if (SUCCEEDED(hr))
        *out = made.Detach();
    return hr;
}

// Task-allocated copies for the caller.
HRESULT DupString(const std::wstring& text, LPWSTR* out);
// Reads a wide string argument of at most kMaxTextChars; E_POINTER or E_INVALIDARG otherwise.
HRESULT TakeString(LPCWSTR text, std::wstring* out);

// Text helpers for the journal.
std::wstring Quote(const std::wstring& text);
std::wstring Num(long long value);
std::wstring HexNum(unsigned long value);
std::wstring RecordText(const AssignmentRecord& record);

// The object factories the interfaces hand out to each other.
HRESULT CreateEnumerator(REFIID iid, void** out);
HRESULT CreateDevice(Dev dev, uint32_t generation, IDevice** out);
HRESULT CreateDeviceFeature(const Handle& device, REFIID iid, void** out);
HRESULT CreateProfileManager(const Handle& device, IProfileManager** out);
HRESULT CreateProfile(const Handle& device, const GUID& profile, IProfile** out);
HRESULT CreateProfileFeature(const Handle& profile, REFIID iid, void** out);
HRESULT CreateMacroManager(const Handle& device, IMacroManager** out);
HRESULT CreateApplicationList(const Handle& device, IApplicationList** out);
HRESULT CreateApm(const Handle& device, IApm** out);
HRESULT CreateLedCollection(const Handle& owner, REFIID iid, void** out);

// Features with events: IConnectionPointContainer beside the feature's interfaces. Offers names
// the event interfaces of this feature.
HRESULT CreateConnectionPoint(const Handle& handle, EventKind kind, IConnectionPointContainer* container,
                              IConnectionPoint** out);

template <class... Itfs>
class CEventSource : public CObject<Itfs..., IConnectionPointContainer>
{
public:
    using CObject<Itfs..., IConnectionPointContainer>::CObject;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        const EventInfo* info = EventByIid(iid);
        if (!info || !Offers(info->kind))
            return CONNECT_E_NOCONNECTION;
        return CreateConnectionPoint(this->m_handle, info->kind, this, out);
    }

protected:
    virtual bool Offers(EventKind kind) const = 0;
};

// At unload: the event windows' class points into this module.
void UnregisterEventWindowClass();

// Which features each device offers.
bool HasDeviceFeature(Dev dev, REFIID iid);
bool HasProfileFeature(Dev dev, REFIID iid);

} // namespace mwsim
