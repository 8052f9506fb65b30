// The tray's event connections against the registered simulator: the device manager connects a
// recording handler for each device, the control tool and the middleware make the devices report,
// and the handler hears each event, with the product id, on this thread when it pumps. The dump shows
// the connections the tray holds; a connection whose unadvise fails still lets go of its sink, and the
// sink forwards nothing after that.
#include "SimTest.h"

#include "SysTray/DeviceManager.h"
#include "RecordingHandler.h"

#include "Messages.h"

#include <olectl.h>

#include <stdexcept>

using namespace simtest;
using traytest::CRecordingHandler;

namespace {

using Calls = std::vector<std::string>;

const std::vector<std::string> kMouseRegistered = {
    "connection-point _IDPIEvents 1",           "connection-point _IDPIEvents2 0",
    "connection-point _ISensitivityScalerEvents 0", "connection-point _IProfileManagerEvents 1",
    "connection-point _IApplicationEvent 1",
};
const std::vector<std::string> kMouseNone = {
    "connection-point _IDPIEvents 0",           "connection-point _IDPIEvents2 0",
    "connection-point _ISensitivityScalerEvents 0", "connection-point _IProfileManagerEvents 0",
    "connection-point _IApplicationEvent 0",
};
const std::vector<std::string> kKeyboardRegistered = {
    "connection-point _IProfileManagerEvents 1", "connection-point _IOTFMacroRecordingEvents 1",
    "connection-point _IApplicationEvent 1", "connection-point _IKeyboardRedirectorEvents 0",
};
const std::vector<std::string> kKeyboardNone = {
    "connection-point _IProfileManagerEvents 0", "connection-point _IOTFMacroRecordingEvents 0",
    "connection-point _IApplicationEvent 0", "connection-point _IKeyboardRedirectorEvents 0",
};

std::vector<std::string> ConnectionPoints(const wchar_t* device)
{
    return DumpLines(device, "connection-point ");
}

// Whether each stored connection is live (true) or null (false), in the order made.
std::vector<bool> Shape(const CDeviceManager& manager, DWORD productId)
{
    std::vector<bool> shape;
    if (const auto* list = manager.Callbacks(productId))
        for (const auto& connection : *list)
            shape.push_back(connection != nullptr);
    return shape;
}

// A handler that fails: the sink must keep the exception to itself.
class CThrowingHandler : public CRecordingHandler
{
public:
    void OnMacroRecordStart(int deviceId) override
    {
        CRecordingHandler::OnMacroRecordStart(deviceId);
        throw std::runtime_error("handler failure");
    }
};

// An on-the-fly recording feature of our own whose connection point keeps the sink it is given and,
// when told to, refuses to unadvise it (and keeps it).
class CStubRecording : public IOtfMacroRecording, public IConnectionPointContainer, public IConnectionPoint
{
public:
    explicit CStubRecording(bool refuseUnadvise) : m_refuseUnadvise(refuseUnadvise) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOtfMacroRecording))
            *out = static_cast<IOtfMacroRecording*>(this);
        else if (IsEqualIID(iid, IID_IConnectionPointContainer))
            *out = static_cast<IConnectionPointContainer*>(this);
        else if (IsEqualIID(iid, IID_IConnectionPoint))
            *out = static_cast<IConnectionPoint*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; } // on the test's stack

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override
    {
        *out = nullptr;
        if (!IsEqualIID(iid, IID__IOTFMacroRecordingEvents))
            return CONNECT_E_NOCONNECTION;
        *out = this;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override
    {
        if (FAILED(sink->QueryInterface(IID__IOTFMacroRecordingEvents, reinterpret_cast<void**>(&m_sink))))
            return CONNECT_E_CANNOTCONNECT;
        *cookie = 7;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override
    {
        m_unadvised = cookie;
        if (m_refuseUnadvise)
            return E_FAIL;
        m_sink->Release();
        m_sink = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    _IOTFMacroRecordingEvents* Sink() const { return m_sink; }
    DWORD Unadvised() const { return m_unadvised; }
    ULONG Refs() const { return m_refs; }

private:
    bool m_refuseUnadvise;
    ULONG m_refs = 1;
    _IOTFMacroRecordingEvents* m_sink = nullptr; // the reference Advise took
    DWORD m_unadvised = 0;
};

} // namespace

TEST_F(SimTest, TrayCallbacksHearEveryEventOfTheDevicesWithTheirProductIds)
{
    CDeviceManager manager;
    manager.BuildDeviceTable();
    CRecordingHandler handler;
    ASSERT_TRUE(manager.RegisterAllCallbacks(&handler));
    EXPECT_TRUE(manager.AreAllCallbacksRegistered());
    EXPECT_EQ((std::vector<bool>{true, true, true}), Shape(manager, hvmw::kProductMouse));
    EXPECT_EQ((std::vector<bool>{true, true, true}), Shape(manager, hvmw::kProductKeyboard));
    EXPECT_EQ(kMouseRegistered, ConnectionPoints(L"mouse"));
    EXPECT_EQ(kKeyboardRegistered, ConnectionPoints(L"keyboard"));
    EXPECT_EQ(0u, manager.OpenDeviceCount());

    // The DPI sink is held by its connection and by the middleware.
    auto* dpi = static_cast<CDpiEventConnection*>(manager.Callbacks(hvmw::kProductMouse)->front().get());
    EXPECT_NE(0u, dpi->Cookie());
    EXPECT_EQ(3u, dpi->GetSink()->AddRef());
    EXPECT_EQ(2u, dpi->GetSink()->Release());
    int minimum = 0, maximum = 0, step = 0;
    EXPECT_TRUE(dpi->GetDpiRange(&minimum, &maximum, &step));
    EXPECT_EQ(5600, maximum);

    // The device's own stage switch.
    Tool({L"dpi", L"4"});
    EXPECT_EQ(Calls{"OnDpiChanged(0x22,4000,4000)"}, handler.Take());
    // A write through the middleware with X and Y apart, heard when this thread pumps.
    CComPtr<IDpi> ownDpi = ProfileFeature<IDpi>(ActiveProfile(Mouse()));
    ASSERT_TRUE(ownDpi);
    ASSERT_HRESULT_SUCCEEDED(ownDpi->SetActiveDpi(800, 1600));
    EXPECT_TRUE(handler.Take().empty());
    hvtest::FlushMessages();
    EXPECT_EQ(Calls{"OnDpiChanged(0x22,800,1600)"}, handler.Take());

    // A profile switch with other DPI values: the profile, then the DPI now in effect; the DPI
    // connection made on profile 0 hears the device after the switch.
    Tool({L"profile", L"mouse", L"2"});
    EXPECT_EQ((Calls{"OnActiveProfileChanged(0x22,2)", "OnDpiChanged(0x22,1800,1800)"}), handler.Take());
    Tool({L"dpi", L"1"});
    EXPECT_EQ(Calls{"OnDpiChanged(0x22,800,800)"}, handler.Take());
    Tool({L"profile", L"keyboard", L"3"});
    EXPECT_EQ(Calls{"OnActiveProfileChanged(0x23,3)"}, handler.Take());

    // The tray's own write comes back the same way: not inside the call, when the thread pumps.
    {
        CScopedDevice mouse(manager, hvmw::kProductMouse);
        _Profile_Setting_ first;
        first.name = L"Profile 1";
        EXPECT_TRUE(mouse->SetActiveProfile(first));
        EXPECT_TRUE(handler.Take().empty());
    }
    hvtest::FlushMessages();
    EXPECT_EQ((Calls{"OnActiveProfileChanged(0x22,0)", "OnDpiChanged(0x22,800,1600)"}), handler.Take());

    // On-the-fly recording on the keyboard; the key code arrives as the device gave it.
    Tool({L"otf", L"start"});
    Tool({L"otf", L"end"});
    Tool({L"otf", L"assign", L"0x2001D"});
    Tool({L"otf", L"start"});
    Tool({L"otf", L"cancel"});
    EXPECT_EQ((Calls{"OnMacroRecordStart(0x23)", "OnMacroRecordEnd(0x23)", "OnMacroKeyAssigned(0x23,2,0x2001D)",
                     "OnMacroRecordStart(0x23)", "OnMacroRecordCancel(0x23)"}),
              handler.Take());

    // A key assigned to the keyboard's application launches it.
    {
        CComPtr<IDevice> keyboard = Keyboard();
        ASSERT_TRUE(traytest::AssignKeyToFirstApplication(DeviceFeature<IApplicationList>(keyboard).Get(),
                                                          ProfileFeature<IKeyAssignments>(ActiveProfile(keyboard)).Get(),
                                                          0x1E));
    }
    Tool({L"press", L"keyboard", L"0x1E"});
    EXPECT_EQ(Calls{"OnLaunchApp(0x23,1,C:\\windows\\notepad.exe)"}, handler.Take());
    EXPECT_TRUE(handler.AllOnThread(GetCurrentThreadId()));

    // Unregistered, the mouse hears nothing and holds no connection; the keyboard still hears.
    manager.UnregisterDeviceCallbacks(hvmw::kProductMouse);
    EXPECT_FALSE(manager.AreDeviceCallbacksRegistered(hvmw::kProductMouse));
    EXPECT_FALSE(manager.AreAllCallbacksRegistered());
    EXPECT_EQ(kMouseNone, ConnectionPoints(L"mouse"));
    Tool({L"dpi", L"2"});
    Tool({L"profile", L"mouse", L"1"});
    Tool({L"profile", L"keyboard", L"1"});
    EXPECT_EQ(Calls{"OnActiveProfileChanged(0x23,1)"}, handler.Take());
    manager.UnregisterAllCallbacks();
    EXPECT_EQ(kKeyboardNone, ConnectionPoints(L"keyboard"));
    Tool({L"otf", L"start"});
    Tool({L"press", L"keyboard", L"0x1E"});
    hvtest::FlushMessages();
    EXPECT_TRUE(handler.Take().empty());
    // Unregistering a device without callbacks changes nothing.
    manager.UnregisterDeviceCallbacks(hvmw::kProductMouse);
    EXPECT_EQ(nullptr, manager.Callbacks(hvmw::kProductMouse));
}

TEST_F(SimTest, TrayRegistrationFollowsPresenceAndFeatures)
{
    CDeviceManager manager;
    manager.BuildDeviceTable();
    CRecordingHandler handler;

    // With the mouse registered already, registering all stops at the mouse.
    ASSERT_TRUE(manager.RegisterDeviceCallbacks(hvmw::kProductMouse, &handler));
    EXPECT_FALSE(manager.RegisterDeviceCallbacks(hvmw::kProductMouse, &handler));
    EXPECT_FALSE(manager.RegisterAllCallbacks(&handler));
    EXPECT_FALSE(manager.AreDeviceCallbacksRegistered(hvmw::kProductKeyboard));
    EXPECT_EQ(nullptr, manager.Callbacks(hvmw::kProductKeyboard));
    EXPECT_EQ(kKeyboardNone, ConnectionPoints(L"keyboard"));
    EXPECT_EQ(kMouseRegistered, ConnectionPoints(L"mouse"));

    // Unplugged and plugged again: the connections of before hear nothing.
    Tool({L"unplug", L"mouse"});
    Tool({L"plug", L"mouse"});
    EXPECT_EQ(kMouseNone, ConnectionPoints(L"mouse"));
    Tool({L"dpi", L"5"});
    hvtest::FlushMessages();
    EXPECT_TRUE(handler.Take().empty());
    manager.UnregisterDeviceCallbacks(hvmw::kProductMouse);

    // An unplugged device gets null connections and does not count as registered.
    Tool({L"unplug", L"mouse"});
    EXPECT_TRUE(manager.RegisterDeviceCallbacks(hvmw::kProductMouse, &handler));
    EXPECT_EQ((std::vector<bool>{false, false, false}), Shape(manager, hvmw::kProductMouse));
    EXPECT_FALSE(manager.AreDeviceCallbacksRegistered(hvmw::kProductMouse));
    Tool({L"plug", L"mouse"});
    EXPECT_TRUE(manager.RegisterDeviceCallbacks(hvmw::kProductMouse, &handler));
    EXPECT_EQ((std::vector<bool>{true, true, true}), Shape(manager, hvmw::kProductMouse));
    Tool({L"dpi", L"1"});
    EXPECT_EQ(Calls{"OnDpiChanged(0x22,800,800)"}, handler.Take());

    // A feature that cannot be had gives a null connection that delivers nothing.
    Tool({L"feature", L"keyboard", L"IOtfMacroRecording", L"off"});
    EXPECT_FALSE(manager.RegisterAllCallbacks(&handler)); // the mouse is registered already
    EXPECT_TRUE(manager.RegisterDeviceCallbacks(hvmw::kProductKeyboard, &handler));
    EXPECT_EQ((std::vector<bool>{true, true, false}), Shape(manager, hvmw::kProductKeyboard));
    EXPECT_TRUE(manager.AreDeviceCallbacksRegistered(hvmw::kProductKeyboard));
    EXPECT_TRUE(manager.AreAllCallbacksRegistered());
    EXPECT_EQ(std::vector<std::string>{"connection-point _IOTFMacroRecordingEvents 0"},
              DumpLines(L"keyboard", "connection-point _IOTFMacroRecordingEvents "));
    Tool({L"otf", L"start"});
    Tool({L"profile", L"keyboard", L"2"});
    EXPECT_EQ(Calls{"OnActiveProfileChanged(0x23,2)"}, handler.Take());
    manager.UnregisterAllCallbacks();
    EXPECT_EQ(kMouseNone, ConnectionPoints(L"mouse"));
    EXPECT_EQ(kKeyboardNone, ConnectionPoints(L"keyboard"));
}

TEST(TraySinks, SinksAnswerOnlyTheirOwnInterfaceAndKeepHandlerFailures)
{
    CRecordingHandler handler;
    CDpiEventSink* sink = CDpiEventSink::Create(hvmw::kProductMouse, &handler);
    ASSERT_TRUE(sink);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, sink->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
    EXPECT_EQ(static_cast<IUnknown*>(sink), unknown);
    _IDPIEvents* events = nullptr;
    ASSERT_EQ(S_OK, sink->QueryInterface(IID__IDPIEvents, reinterpret_cast<void**>(&events)));
    EXPECT_EQ(4u, sink->AddRef());
    for (const IID* other : {&IID__IDPIEvents2, &IID__IProfileManagerEvents, &IID_IDispatch, &IID_IConnectionPoint,
                             &IID_IDpi}) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(E_NOINTERFACE, sink->QueryInterface(*other, &out));
        EXPECT_EQ(nullptr, out);
    }
    EXPECT_EQ(E_POINTER, sink->QueryInterface(IID_IUnknown, nullptr));
    EXPECT_EQ(S_OK, events->OnDpiChanged(1200, 2400));
    EXPECT_EQ(Calls{"OnDpiChanged(0x22,1200,2400)"}, handler.Take());
    EXPECT_EQ(3u, events->Release());
    EXPECT_EQ(2u, unknown->Release());
    EXPECT_EQ(1u, sink->Release());
    EXPECT_EQ(0u, sink->Release());

    // Without a handler the events are answered and dropped; a handler's exception stays in the sink.
    CMacroEventSink* silent = CMacroEventSink::Create(hvmw::kProductKeyboard, nullptr);
    EXPECT_EQ(S_OK, silent->OnRecordStart());
    EXPECT_EQ(S_OK, silent->OnButtonAssignment(2, 0x1E));
    EXPECT_EQ(0u, silent->Release());
    CThrowingHandler throwing;
    CMacroEventSink* failing = CMacroEventSink::Create(hvmw::kProductKeyboard, &throwing);
    EXPECT_EQ(S_OK, failing->OnRecordStart());
    EXPECT_EQ(Calls{"OnMacroRecordStart(0x23)"}, throwing.Take());
    EXPECT_EQ(0u, failing->Release());
}

TEST(TraySinks, ConnectionLetsGoOfItsSinkAndDetachesItAlsoWhenTheUnadviseFails)
{
    CRecordingHandler handler;
    for (bool refuse : {false, true}) {
        CStubRecording feature(refuse);
        _IOTFMacroRecordingEvents* sink = nullptr;
        {
            CMacroEventConnection connection(hvmw::kProductKeyboard, &feature, &handler);
            EXPECT_EQ(7u, connection.Cookie());
            sink = feature.Sink();
            ASSERT_TRUE(sink);
            EXPECT_EQ(3u, sink->AddRef()); // the connection's, the feature's and this one
            EXPECT_EQ(2u, sink->Release());
            EXPECT_EQ(S_OK, sink->OnButtonAssignment(2, 0x2001D));
            EXPECT_EQ(Calls{"OnMacroKeyAssigned(0x23,2,0x2001D)"}, handler.Take());
            EXPECT_EQ(2u, feature.Refs()); // the stack's and the connection's
        }
        EXPECT_EQ(7u, feature.Unadvised()) << "refuse " << refuse;
        EXPECT_EQ(1u, feature.Refs());
        if (refuse) {
            // Only the feature's reference is left: the connection did not delete the sink, but the
            // events the feature still delivers to it reach no handler (the handler may be gone).
            ASSERT_EQ(sink, feature.Sink());
            EXPECT_EQ(2u, sink->AddRef());
            EXPECT_EQ(1u, sink->Release());
            EXPECT_EQ(S_OK, sink->OnRecordEnd());
            EXPECT_EQ(S_OK, sink->OnButtonAssignment(2, 0x1E));
            EXPECT_EQ(S_OK, sink->OnRecordCancel());
            EXPECT_TRUE(handler.Take().empty());
            EXPECT_EQ(0u, sink->Release());
        } else {
            EXPECT_EQ(nullptr, feature.Sink());
        }
    }

    // Without a feature the connection holds no cookie and unadvises nothing.
    {
        CDpiEventConnection noPoint(hvmw::kProductMouse, nullptr, &handler);
        EXPECT_EQ(0u, noPoint.Cookie());
        EXPECT_FALSE(noPoint.GetDpiRange(nullptr, nullptr, nullptr));
    }
    EXPECT_TRUE(handler.Take().empty());
}
