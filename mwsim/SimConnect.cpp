// Connection points, and the delivery of events on the thread that advised the sink.
//
// This process's sinks are kept here, each with the thread that advised it; every such thread owns
// one message-only event window. The shared state lists the connection with that window, so that
// whoever changes the device leaves the window mail and wakes it (SimEvents.h); the window takes its
// mail and calls the sinks of its thread that the mail is for and that are advised at that moment.
// A connection unadvised since the notice was queued is not called, and Unadvise releases the sink
// before it returns.
#include "mwsim/SimCom.h"

#include "platform/Lock.h"

#include <algorithm>

namespace mwsim {
namespace {

// Posted to an event window whose thread may have no connection left.
constexpr UINT kCloseIfIdle = WM_APP + 1;
// Fetching the mail again after the state could not be read.
constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT kRetryMs = 250;

class CEventHub
{
public:
    static CEventHub& Get()
    {
        static CEventHub hub;
        return hub;
    }

    // This thread's event window, made on first use; null when it cannot be made.
    HWND WindowOfThisThread()
    {
        const DWORD thread = ::GetCurrentThreadId();
        {
            CScopedLock<CCriticalSection> lock(m_lock);
            for (const Window& w : m_windows)
                if (w.thread == thread)
                    return w.hwnd;
        }
        if (!RegisterWindowClass())
            return nullptr;
        HWND hwnd = ::CreateWindowExW(0, kEventWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, g_module,
                                      nullptr);
        if (!hwnd)
            return nullptr;
        ++g_moduleRefs; // the window procedure is ours until WM_NCDESTROY
        CScopedLock<CCriticalSection> lock(m_lock);
        m_windows.push_back({thread, hwnd});
        return hwnd;
    }

    // Takes over one reference to sink (the event interface).
    void Add(uint32_t cookie, const ConnectionState& shared, IUnknown* sink)
    {
        CScopedLock<CCriticalSection> lock(m_lock);
        m_connections.push_back({cookie, shared.dev, shared.generation, static_cast<EventKind>(shared.event), sink,
                                 ::GetCurrentThreadId(), reinterpret_cast<HWND>(static_cast<uintptr_t>(shared.window))});
        ++g_moduleRefs;
    }

    // Hands back the sink's reference (null when this process has no such connection) and lets the
    // thread's window go when it serves nothing more.
    IUnknown* Remove(uint32_t cookie, Dev dev, EventKind kind)
    {
        IUnknown* sink = nullptr;
        HWND window = nullptr;
        DWORD thread = 0;
        {
            CScopedLock<CCriticalSection> lock(m_lock);
            auto it = std::find_if(m_connections.begin(), m_connections.end(), [&](const Connection& c) {
                return c.cookie == cookie && c.dev == dev && c.kind == kind;
            });
            if (it == m_connections.end())
                return nullptr;
            sink = it->sink;
            window = it->window;
            thread = it->thread;
            m_connections.erase(it);
            --g_moduleRefs;
            if (HasConnectionsOf(thread))
                window = nullptr;
        }
        if (window) {
            if (thread == ::GetCurrentThreadId())
                ::DestroyWindow(window);
            else
                ::PostMessageW(window, kCloseIfIdle, 0, 0);
        }
        return sink;
    }

    // On the window's thread: takes the window's mail and delivers it, oldest first. A sink that pumps
    // messages may bring the next wake-up in while an earlier notice is being delivered; that one only
    // asks the outer round to fetch again, so that the notices keep their order.
    void FetchMail(HWND hwnd)
    {
        static thread_local bool fetching = false;
        static thread_local bool again = false;
        if (fetching) {
            again = true;
            return;
        }
        struct Round
        {
            Round() { fetching = true; }
            ~Round() { fetching = false; }
        } round;
        do {
            again = false;
            std::vector<MailState> mail;
            {
                CSession session;
                HRESULT hr = session.Status();
                if (SUCCEEDED(hr)) {
                    mail = TakeMail(session.State(), reinterpret_cast<uintptr_t>(hwnd), ::GetCurrentProcessId());
                    if (!mail.empty())
                        hr = session.Save();
                }
                if (FAILED(hr)) {
                    // Left in the state: fetched again shortly rather than delivered twice.
                    ::SetTimer(hwnd, kRetryTimer, kRetryMs, nullptr);
                    break;
                }
            }
            for (const MailState& m : mail) {
                Notice notice;
                if (DecodeNotice(m.notice.data(), m.notice.size(), &notice))
                    Dispatch(notice, m.cookies);
            }
        } while (again);
    }

    // Calls each sink of this thread that the notice is for and that is still advised when its turn
    // comes (an earlier sink may unadvise a later one).
    void Dispatch(const Notice& notice, const std::vector<uint32_t>& cookies)
    {
        const DWORD thread = ::GetCurrentThreadId();
        for (uint32_t cookie : cookies) {
            IUnknown* sink = nullptr;
            {
                CScopedLock<CCriticalSection> lock(m_lock);
                for (const Connection& c : m_connections)
                    if (c.cookie == cookie && c.thread == thread && c.kind == notice.kind) {
                        sink = c.sink;
                        sink->AddRef();
                        break;
                    }
            }
            if (!sink)
                continue;
            Call(sink, notice);
            sink->Release();
        }
    }

    // After kCloseIfIdle or at WM_NCDESTROY.
    void CloseIfIdle(HWND hwnd)
    {
        {
            CScopedLock<CCriticalSection> lock(m_lock);
            if (HasConnectionsOf(::GetCurrentThreadId()))
                return;
        }
        ::DestroyWindow(hwnd);
    }

    void Forget(HWND hwnd)
    {
        CScopedLock<CCriticalSection> lock(m_lock);
        m_windows.erase(std::remove_if(m_windows.begin(), m_windows.end(), [&](const Window& w) { return w.hwnd == hwnd; }),
                        m_windows.end());
    }

private:
    struct Window
    {
        DWORD thread;
        HWND hwnd;
    };
    struct Connection
    {
        uint32_t cookie;
        Dev dev;
        uint32_t generation;
        EventKind kind;
        IUnknown* sink; // one reference: the event interface the sink answered
        DWORD thread;
        HWND window;
    };

    bool HasConnectionsOf(DWORD thread) const
    {
        return std::any_of(m_connections.begin(), m_connections.end(),
                           [&](const Connection& c) { return c.thread == thread; });
    }

    static void Call(IUnknown* sink, const Notice& n)
    {
        switch (n.kind) {
        case EventKind::Dpi:
            static_cast<_IDPIEvents*>(sink)->OnDpiChanged(static_cast<int>(n.a), static_cast<int>(n.b));
            break;
        case EventKind::Dpi2:
            static_cast<_IDPIEvents2*>(sink)->OnDpiEvent(static_cast<DWORD>(n.a), static_cast<LPARAM>(n.b));
            break;
        case EventKind::Scaler:
            static_cast<_ISensitivityScalerEvents*>(sink)->OnLevelChanged(static_cast<int>(n.a), static_cast<int>(n.b));
            break;
        case EventKind::Profile:
            static_cast<_IProfileManagerEvents*>(sink)->OnActiveProfileChanged(static_cast<int>(n.a));
            break;
        case EventKind::Otf: {
            auto* otf = static_cast<_IOTFMacroRecordingEvents*>(sink);
            switch (n.method) {
            case kOtfMethodStart:
                otf->OnRecordStart();
                break;
            case kOtfMethodEnd:
                otf->OnRecordEnd();
                break;
            case kOtfMethodAssign:
                otf->OnButtonAssignment(static_cast<int>(n.a), static_cast<int>(n.b));
                break;
            case kOtfMethodCancel:
                otf->OnRecordCancel();
                break;
            }
            break;
        }
        case EventKind::App:
            static_cast<_IApplicationEvent*>(sink)->OnApplicationEvent(static_cast<int>(n.a), n.text.c_str());
            break;
        case EventKind::Redirect:
            static_cast<_IKeyboardRedirectorEvents*>(sink)->OnKeyMessage(
                static_cast<UINT>(n.a), static_cast<WPARAM>(n.b), static_cast<LPARAM>(n.c));
            break;
        }
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_TIMER:
            if (wParam != kRetryTimer)
                break;
            ::KillTimer(hwnd, kRetryTimer);
            [[fallthrough]];
        case kMailMessage:
            if (message == kMailMessage && wParam != kNoticeTag)
                break;
            try {
                Get().FetchMail(hwnd);
            } catch (...) {
                // A sink's failure is the sink's; the device goes on.
            }
            return 0;
        case kCloseIfIdle:
            Get().CloseIfIdle(hwnd);
            return 0;
        case WM_NCDESTROY:
            Get().Forget(hwnd);
            --g_moduleRefs;
            break;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    static bool RegisterWindowClass()
    {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        if (::GetClassInfoExW(g_module, kEventWindowClass, &wc))
            return true;
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = g_module;
        wc.lpszClassName = kEventWindowClass;
        return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }

    CCriticalSection m_lock;
    std::vector<Window> m_windows;
    std::vector<Connection> m_connections;
};

class CConnectionPoint : public CObject<IConnectionPoint>
{
public:
    CConnectionPoint(const Handle& handle, EventKind kind, IConnectionPointContainer* container)
        : CObject(handle), m_kind(kind), m_container(container)
    {
        m_container->AddRef();
    }
    ~CConnectionPoint() override { m_container->Release(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override
    {
        if (!iid)
            return E_POINTER;
        *iid = *EventByKind(static_cast<uint32_t>(m_kind))->iid;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override
    {
        if (!out)
            return E_POINTER;
        *out = m_container;
        m_container->AddRef();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override
    {
        if (!sink || !cookie)
            return E_POINTER;
        *cookie = 0;
        IUnknown* events = nullptr;
        if (FAILED(sink->QueryInterface(*EventByKind(static_cast<uint32_t>(m_kind))->iid,
                                        reinterpret_cast<void**>(&events))) ||
            !events)
            return CONNECT_E_CANNOTCONNECT;
        HWND window = CEventHub::Get().WindowOfThisThread();
        if (!window) {
            events->Release();
            return HRESULT_FROM_WIN32(::GetLastError() ? ::GetLastError() : ERROR_CANNOT_MAKE);
        }
        ConnectionState shared;
        const HRESULT hr = Read(m_handle, L"IConnectionPoint.Advise", [&](CCall& c) -> HRESULT {
            SimState& state = c.State();
            if (state.connections.size() >= kMaxConnections)
                return CONNECT_E_ADVISELIMIT;
            if (state.nextCookie == 0)
                state.nextCookie = 1;
            shared.cookie = state.nextCookie++;
            shared.dev = m_handle.dev;
            shared.generation = m_handle.generation;
            shared.event = static_cast<uint32_t>(m_kind);
            shared.window = reinterpret_cast<uintptr_t>(window);
            shared.pid = ::GetCurrentProcessId();
            state.connections.push_back(shared);
            c.Changed();
            return S_OK;
        });
        if (FAILED(hr)) {
            events->Release();
            // The window may serve nothing now.
            ::PostMessageW(window, kCloseIfIdle, 0, 0);
            return hr;
        }
        // No mail for this connection can be fetched before this: the window is this thread's, and this
        // thread does not pump messages in between.
        CEventHub::Get().Add(shared.cookie, shared, events);
        *cookie = shared.cookie;
        return S_OK;
    }

    // Also for a device that has gone since: the sink is released either way.
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override
    {
        IUnknown* sink = CEventHub::Get().Remove(cookie, m_handle.dev, m_kind);
        if (!sink)
            return CONNECT_E_NOCONNECTION;
        {
            CSession session;
            if (SUCCEEDED(session.Status())) {
                auto& connections = session.State().connections;
                connections.erase(std::remove_if(connections.begin(), connections.end(),
                                                 [&](const ConnectionState& c) { return c.cookie == cookie; }),
                                  connections.end());
                session.Save();
            }
        }
        sink->Release();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return E_NOTIMPL;
    }

private:
    EventKind m_kind;
    IConnectionPointContainer* m_container; // one reference
};

} // namespace

HRESULT CreateConnectionPoint(const Handle& handle, EventKind kind, IConnectionPointContainer* container,
                              IConnectionPoint** out)
{
    CConnectionPoint* point = new (std::nothrow) CConnectionPoint(handle, kind, container);
    if (!point)
        return E_OUTOFMEMORY;
    *out = point;
    return S_OK;
}

void UnregisterEventWindowClass()
{
    ::UnregisterClassW(kEventWindowClass, g_module);
}

} // namespace mwsim
