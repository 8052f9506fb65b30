// The device's macro list and application list with their entries and files.
#include "mwsim/SimCom.h"

#include <algorithm>

namespace mwsim {
namespace {

Handle ItemHandle(const Handle& device, const GUID& item)
{
    Handle handle;
    handle.dev = device.dev;
    handle.generation = device.generation;
    handle.item = item;
    return handle;
}

// The id of an entry handed back to us: our own objects tell it through their handle.
HRESULT ItemId(IUnknown* entry, GUID* id)
{
    if (!entry)
        return E_POINTER;
    ISimHandle* own = nullptr;
    if (FAILED(entry->QueryInterface(IID_ISimHandle, reinterpret_cast<void**>(&own))))
        return E_INVALIDARG;
    *id = own->GetHandle().item;
    own->Release();
    return S_OK;
}

// The macro list and the application list share their list logic; Traits names the parts.
struct MacroTraits
{
    using Entry = MacroState;
    using Itf = IMacro;
    static constexpr const wchar_t* kGet = L"IMacroManager.GetMacro";
    static constexpr const wchar_t* kGetById = L"IMacroManager.GetMacroById";
    static constexpr const wchar_t* kAdd = L"IMacroManager.AddMacro";
    static constexpr const wchar_t* kDelete = L"IMacroManager.DeleteMacro";
    static constexpr const wchar_t* kImport = L"IMacroManager.ImportMacro";
    static constexpr uint32_t kGuidKind = kGuidMacro;
    static constexpr int kCapacity = kMaxMacros;
    static std::vector<Entry>& Of(DeviceState& d) { return d.macros; }
    static std::vector<uint8_t> Save(const Entry& e) { return SerializeMacro(e); }
    static bool Load(const std::vector<uint8_t>& bytes, Entry* e) { return DeserializeMacro(bytes, e); }
};

struct AppTraits
{
    using Entry = AppState;
    using Itf = IApplication;
    static constexpr const wchar_t* kGet = L"IApplicationList.GetApplication";
    static constexpr const wchar_t* kGetById = L"IApplicationList.GetApplicationById";
    static constexpr const wchar_t* kAdd = L"IApplicationList.AddApplication";
    static constexpr const wchar_t* kDelete = L"IApplicationList.DeleteApplication";
    static constexpr const wchar_t* kImport = L"IApplicationList.ImportApplication";
    static constexpr uint32_t kGuidKind = kGuidApp;
    static constexpr int kCapacity = kMaxApplications;
    static std::vector<Entry>& Of(DeviceState& d) { return d.apps; }
    static std::vector<uint8_t> Save(const Entry& e) { return SerializeApp(e); }
    static bool Load(const std::vector<uint8_t>& bytes, Entry* e) { return DeserializeApp(bytes, e); }
};

template <class Traits, class Entry>
HRESULT EntryOf(CCall& c, Entry** out)
{
    for (Entry& e : Traits::Of(c.Device()))
        if (IsEqualGUID(e.id, c.Target().item)) {
            *out = &e;
            return S_OK;
        }
    return HVMW_E_DELETED;
}

std::wstring Method(const wchar_t* itf, const wchar_t* name)
{
    return std::wstring(itf) + L'.' + name;
}

// What a macro and an application have in common: id, name and export.
template <class Traits, class... Itfs>
class CEntry : public CObject<Itfs...>
{
public:
    using CObject<Itfs...>::CObject;

    HRESULT STDMETHODCALLTYPE GetId(GUID* id) override
    {
        if (!id)
            return E_POINTER;
        return OnEntry(L"GetId", [&](typename Traits::Entry& e) {
            *id = e.id;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetName(LPWSTR* name) override
    {
        if (!name)
            return E_POINTER;
        *name = nullptr;
        return OnEntry(L"GetName", [&](typename Traits::Entry& e) { return DupString(e.name, name); });
    }

    HRESULT STDMETHODCALLTYPE SetName(LPCWSTR name) override
    {
        std::wstring text;
        const HRESULT hr = TakeString(name, &text);
        if (FAILED(hr))
            return hr;
        return OnEntryWrite(L"SetName", Quote(text), [&](typename Traits::Entry& e) {
            e.name = text;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE Export(LPCWSTR path) override
    {
        std::wstring file;
        const HRESULT hr = TakeString(path, &file);
        if (FAILED(hr))
            return hr;
        return OnEntry(L"Export", [&](typename Traits::Entry& e) { return WriteWholeFile(file, Traits::Save(e)); });
    }

protected:
    static constexpr const wchar_t* Itf()
    {
        return std::is_same_v<typename Traits::Itf, IMacro> ? L"IMacro" : L"IApplication";
    }

    template <class Body>
    HRESULT OnEntry(const wchar_t* name, Body&& body)
    {
        return Read(this->m_handle, Method(Itf(), name).c_str(), [&](CCall& c) -> HRESULT {
            typename Traits::Entry* e = nullptr;
            const HRESULT hr = EntryOf<Traits>(c, &e);
            return FAILED(hr) ? hr : body(*e);
        });
    }
    template <class Body>
    HRESULT OnEntryWrite(const wchar_t* name, const std::wstring& args, Body&& body)
    {
        return Write(this->m_handle, Method(Itf(), name).c_str(), args, [&](CCall& c) -> HRESULT {
            typename Traits::Entry* e = nullptr;
            HRESULT hr = EntryOf<Traits>(c, &e);
            if (SUCCEEDED(hr))
                hr = body(*e);
            if (SUCCEEDED(hr))
                c.Changed();
            return hr;
        });
    }
};

class CMacro : public CEntry<MacroTraits, IMacro>
{
public:
    using CEntry::CEntry;

    HRESULT STDMETHODCALLTYPE GetEvents(MacroEventBlock** block) override
    {
        if (!block)
            return E_POINTER;
        *block = nullptr;
        return OnEntry(L"GetEvents", [&](MacroState& m) {
            const size_t bytes = MacroEventBlock::Bytes(m.events.size());
            auto* out = static_cast<MacroEventBlock*>(::CoTaskMemAlloc(bytes));
            if (!out)
                return E_OUTOFMEMORY;
            std::memset(out, 0, bytes);
            out->count = static_cast<DWORD>(m.events.size());
            std::copy(m.events.begin(), m.events.end(), out->Events());
            *block = out;
            return S_OK;
        });
    }

    // Replaces the events; a block of more than the device holds is refused.
    HRESULT STDMETHODCALLTYPE SetEvents(const MacroEventBlock* block) override
    {
        if (!block)
            return E_POINTER;
        if (block->count > static_cast<DWORD>(kMaxMacroEvents))
            return E_INVALIDARG;
        std::vector<MacroEventRecord> events(block->Events(), block->Events() + block->count);
        std::wstring args = Num(events.size());
        for (const MacroEventRecord& e : events)
            args += L' ' + Num(e.type) + L':' + HexNum(e.data);
        return OnEntryWrite(L"SetEvents", args, [&](MacroState& m) {
            m.events = std::move(events);
            return S_OK;
        });
    }
};

class CApplication : public CEntry<AppTraits, IApplication>
{
public:
    using CEntry::CEntry;
};

template <class Traits>
HRESULT CreateEntry(const Handle& device, const GUID& id, typename Traits::Itf** out)
{
    using Object = std::conditional_t<std::is_same_v<typename Traits::Itf, IMacro>, CMacro, CApplication>;
    return Make<Object>(ItemHandle(device, id), out);
}

// IMacroManager and IApplicationList: index, id, add, delete, import.
template <class Traits>
class CListLogic
{
public:
    using Entry = typename Traits::Entry;
    using Itf = typename Traits::Itf;

    explicit CListLogic(const Handle& handle) : m_list(handle) {}

    HRESULT Get(int index, Itf** out)
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return Read(m_list, Traits::kGet, Num(index), [&](CCall& c) -> HRESULT {
            auto& entries = Traits::Of(c.Device());
            if (index < 0 || static_cast<size_t>(index) >= entries.size())
                return c.ListEnd();
            return CreateEntry<Traits>(m_list, entries[index].id, out);
        });
    }

    HRESULT GetById(const GUID& id, Itf** out)
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return Read(m_list, Traits::kGetById, GuidText(id), [&](CCall& c) -> HRESULT {
            for (const Entry& e : Traits::Of(c.Device()))
                if (IsEqualGUID(e.id, id))
                    return CreateEntry<Traits>(m_list, id, out);
            return HVMW_E_NOT_FOUND;
        });
    }

    HRESULT Add(Itf** out)
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        CComPtr<Itf> made;
        const HRESULT hr = Write(m_list, Traits::kAdd, {}, [&](CCall& c) -> HRESULT {
            Entry e;
            return Append(c, e, made.Put());
        });
        return HandOut(hr, made, out);
    }

    HRESULT Delete(IUnknown* entry)
    {
        GUID id{};
        const HRESULT hr = ItemId(entry, &id);
        if (FAILED(hr))
            return hr;
        return Write(m_list, Traits::kDelete, GuidText(id), [&](CCall& c) -> HRESULT {
            auto& entries = Traits::Of(c.Device());
            auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return IsEqualGUID(e.id, id); });
            if (it == entries.end())
                return HVMW_E_NOT_FOUND;
            entries.erase(it);
            c.Changed();
            return S_OK;
        });
    }

    HRESULT Import(LPCWSTR path, Itf** out)
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        std::wstring file;
        HRESULT hr = TakeString(path, &file);
        if (FAILED(hr))
            return hr;
        CComPtr<Itf> made;
        hr = Write(m_list, Traits::kImport, Quote(file), [&](CCall& c) -> HRESULT {
            std::vector<uint8_t> bytes;
            const HRESULT read = ReadWholeFile(file, &bytes, kMaxImportBytes);
            if (FAILED(read))
                return read;
            Entry e;
            if (!Traits::Load(bytes, &e))
                return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
            return Append(c, e, made.Put());
        });
        return HandOut(hr, made, out);
    }

private:
    // Gives the entry a fresh id and appends it.
    HRESULT Append(CCall& c, Entry& e, Itf** out)
    {
        DeviceState& d = c.Device();
        auto& entries = Traits::Of(d);
        if (entries.size() >= static_cast<size_t>(Traits::kCapacity))
            return HVMW_E_FULL;
        e.id = NewGuid(c.DevKind(), d, Traits::kGuidKind);
        c.Note(GuidText(e.id) + L' ' + Quote(e.name));
        entries.push_back(std::move(e));
        // Created last: a failure leaves the state unchanged (no Changed).
        const HRESULT hr = CreateEntry<Traits>(m_list, entries.back().id, out);
        if (SUCCEEDED(hr))
            c.Changed();
        return hr;
    }

    Handle m_list;
};

class CMacroManager : public CObject<IMacroManager>
{
public:
    explicit CMacroManager(const Handle& handle) : CObject(handle), m_logic(m_handle) {}

    HRESULT STDMETHODCALLTYPE GetMacro(int index, IMacro** out) override { return m_logic.Get(index, out); }
    HRESULT STDMETHODCALLTYPE GetMacroById(GUID id, IMacro** out) override { return m_logic.GetById(id, out); }
    HRESULT STDMETHODCALLTYPE AddMacro(IMacro** out) override { return m_logic.Add(out); }
    HRESULT STDMETHODCALLTYPE DeleteMacro(IMacro* macro) override { return m_logic.Delete(macro); }
    HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ImportMacro(LPCWSTR path, IMacro** out) override { return m_logic.Import(path, out); }

private:
    CListLogic<MacroTraits> m_logic;
};

class CApplicationList : public CEventSource<IApplicationList>
{
public:
    explicit CApplicationList(const Handle& handle) : CEventSource(handle), m_logic(m_handle) {}

    HRESULT STDMETHODCALLTYPE GetApplication(int index, IApplication** out) override
    {
        return m_logic.Get(index, out);
    }
    HRESULT STDMETHODCALLTYPE GetApplicationById(GUID id, IApplication** out) override
    {
        return m_logic.GetById(id, out);
    }
    HRESULT STDMETHODCALLTYPE AddApplication(IApplication** out) override { return m_logic.Add(out); }
    HRESULT STDMETHODCALLTYPE DeleteApplication(IApplication* app) override { return m_logic.Delete(app); }
    HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ImportApplication(LPCWSTR path, IApplication** out) override
    {
        return m_logic.Import(path, out);
    }

protected:
    bool Offers(EventKind kind) const override { return kind == EventKind::App; }

private:
    CListLogic<AppTraits> m_logic;
};

} // namespace

HRESULT CreateMacroManager(const Handle& device, IMacroManager** out)
{
    return Make<CMacroManager>(ItemHandle(device, GUID{}), out);
}

HRESULT CreateApplicationList(const Handle& device, IApplicationList** out)
{
    return Make<CApplicationList>(ItemHandle(device, GUID{}), out);
}

} // namespace mwsim
