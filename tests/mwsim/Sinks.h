// Event sinks for the simulator's connection points, checked the way Wine's COM tests check theirs:
// SET_EXPECT(name) before the action, CHECK_CALLED(name) after it, and every call that was not
// expected is a failure. Each sink notes the arguments and the thread of its calls, answers
// QueryInterface for IUnknown and its own event interface only, and keeps a reference count that
// the tests check at teardown (1: only the test's own reference left).
#pragma once

#include "mwapi/HvMwApi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace simtest {

// The expectations of one test, shared by all its sinks.
class Expectations
{
public:
    void Expect(const std::string& name) { m_entries[name].expected = true; }
    // Called by a sink method: an unexpected call is a failure.
    void Called(const std::string& name, const std::string& args)
    {
        Entry& e = m_entries[name];
        if (!e.expected)
            ADD_FAILURE() << "unexpected " << name << "(" << args << ")";
        ++e.calls;
        m_log.push_back(name + "(" + args + ")");
        m_threads.push_back(GetCurrentThreadId());
    }
    // The call happened (at least once) and was expected; clears the expectation.
    void CheckCalled(const std::string& name, const char* file, int line)
    {
        Entry& e = m_entries[name];
        if (e.calls == 0)
            ADD_FAILURE_AT(file, line) << "expected " << name << ", not called; calls so far: " << Log();
        e = Entry{};
    }
    void CheckNotCalled(const std::string& name, const char* file, int line)
    {
        Entry& e = m_entries[name];
        if (e.calls != 0)
            ADD_FAILURE_AT(file, line) << name << " was called: " << Log();
        e = Entry{};
    }
    const std::vector<std::string>& Calls() const { return m_log; }
    const std::vector<DWORD>& Threads() const { return m_threads; }
    void ClearLog()
    {
        m_log.clear();
        m_threads.clear();
    }
    std::string Log() const
    {
        std::string text;
        for (const std::string& s : m_log)
            text += s + "; ";
        return text;
    }

private:
    struct Entry
    {
        bool expected = false;
        int calls = 0;
    };
    std::map<std::string, Entry> m_entries;
    std::vector<std::string> m_log;
    std::vector<DWORD> m_threads;
};

#define SET_EXPECT(ex, name) (ex).Expect(#name)
#define CHECK_CALLED(ex, name) (ex).CheckCalled(#name, __FILE__, __LINE__)
#define CHECK_NOT_CALLED(ex, name) (ex).CheckNotCalled(#name, __FILE__, __LINE__)

template <class I>
class CSink : public I
{
public:
    explicit CSink(Expectations& ex) : m_ex(ex) {}
    virtual ~CSink() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(I))) {
            *out = static_cast<I*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refs); }
    // Stack objects of the test: never deleted here.
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--m_refs); }

    long Refs() const { return m_refs; }

protected:
    void Called(const char* name, const std::string& args = std::string()) { m_ex.Called(name, args); }

    Expectations& m_ex;
    std::atomic<long> m_refs{1};
};

inline std::string Ints(long long a, long long b)
{
    return std::to_string(a) + "," + std::to_string(b);
}

class CDpiSink : public CSink<_IDPIEvents>
{
public:
    using CSink::CSink;
    HRESULT STDMETHODCALLTYPE OnDpiChanged(int x, int y) override
    {
        Called("OnDpiChanged", Ints(x, y));
        return S_OK;
    }
};

class CDpi2Sink : public CSink<_IDPIEvents2>
{
public:
    using CSink::CSink;
    HRESULT STDMETHODCALLTYPE OnDpiEvent(DWORD flags, LPARAM value) override
    {
        Called(flags == hvmw::kDpiEventStage ? "OnDpiEvent_stage" : "OnDpiEvent_values", Ints(flags, value));
        return S_OK;
    }
};

class CScalerSink : public CSink<_ISensitivityScalerEvents>
{
public:
    using CSink::CSink;
    HRESULT STDMETHODCALLTYPE OnLevelChanged(int x, int y) override
    {
        Called("OnLevelChanged", Ints(x, y));
        return S_OK;
    }
};

class CProfileSink : public CSink<_IProfileManagerEvents>
{
public:
    using CSink::CSink;
    HRESULT STDMETHODCALLTYPE OnActiveProfileChanged(int value) override
    {
        Called("OnActiveProfileChanged", std::to_string(value));
        return S_OK;
    }
};

class COtfSink : public CSink<_IOTFMacroRecordingEvents>
{
public:
    using CSink::CSink;
    HRESULT STDMETHODCALLTYPE OnRecordStart() override
    {
        Called("OnRecordStart");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRecordEnd() override
    {
        Called("OnRecordEnd");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnButtonAssignment(int kind, int code) override
    {
        Called("OnButtonAssignment", Ints(kind, code));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRecordCancel() override
    {
        Called("OnRecordCancel");
        return S_OK;
    }
};

class CAppSink : public CSink<_IApplicationEvent>
{
public:
    using CSink::CSink;
    HRESULT STDMETHODCALLTYPE OnApplicationEvent(int kind, LPCWSTR path) override
    {
        std::string text = std::to_string(kind) + ",";
        for (const wchar_t* p = path; p && *p; ++p)
            text += static_cast<char>(*p < 0x80 ? *p : '?');
        Called("OnApplicationEvent", text);
        return S_OK;
    }
};

class CRedirectSink : public CSink<_IKeyboardRedirectorEvents>
{
public:
    using CSink::CSink;
    HRESULT STDMETHODCALLTYPE OnKeyMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        char text[64];
        // A key message's lParam holds 32 bits of flags; a 32-bit LPARAM with the transition bit set
        // is negative, so print the bits, not the sign-extended number.
        snprintf(text, sizeof text, "0x%X,0x%X,0x%08X", message, static_cast<unsigned>(wParam),
                 static_cast<unsigned>(static_cast<uint32_t>(lParam)));
        Called("OnKeyMessage", text);
        return S_OK;
    }
};

// Advises a sink on a feature's connection point of the sink's interface; Unadvise on destruction.
class CAdvise
{
public:
    template <class I>
    CAdvise(IUnknown* feature, CSink<I>& sink, HRESULT expected = S_OK) : m_iid(__uuidof(I))
    {
        IConnectionPointContainer* container = nullptr;
        EXPECT_HRESULT_SUCCEEDED(feature->QueryInterface(IID_IConnectionPointContainer,
                                                         reinterpret_cast<void**>(&container)));
        if (!container)
            return;
        EXPECT_HRESULT_SUCCEEDED(container->FindConnectionPoint(m_iid, &m_point));
        container->Release();
        if (!m_point)
            return;
        EXPECT_EQ(expected, m_point->Advise(static_cast<I*>(&sink), &m_cookie));
    }
    ~CAdvise() { Unadvise(); }
    CAdvise(const CAdvise&) = delete;
    CAdvise& operator=(const CAdvise&) = delete;

    HRESULT Unadvise()
    {
        HRESULT hr = S_FALSE;
        if (m_point && m_cookie)
            hr = m_point->Unadvise(m_cookie);
        m_cookie = 0;
        if (m_point)
            m_point->Release();
        m_point = nullptr;
        return hr;
    }
    DWORD Cookie() const { return m_cookie; }
    IConnectionPoint* Point() const { return m_point; }

private:
    IID m_iid;
    IConnectionPoint* m_point = nullptr;
    DWORD m_cookie = 0;
};

} // namespace simtest
