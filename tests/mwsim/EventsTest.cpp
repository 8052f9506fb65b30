// Events of the simulated devices across processes: sinks advised on this test's single-threaded
// apartment hear the changes that the control tool (another process) or a third process makes, on
// the thread that advised them; unadvised sinks hear nothing and are released.
#include "SimTest.h"
#include "Sinks.h"

#include "ChildProcess.h"
#include "Messages.h"
#include "platform/Thread.h"
#include "platform/WStr.h"

#include <dbt.h>
#include <olectl.h>

#include <cstdlib>

using namespace simtest;

namespace {

// The third process: this test program again, running only ThirdProcess.ChangesTheMouse.
void RunThirdProcess(const std::wstring& action)
{
    hvtest::ChildProcess child;
    hvtest::StartOptions options;
    options.captureOutput = true;
    options.hidden = true;
    options.env = {{L"HV_MWSIM_HELPER", action}};
    ASSERT_TRUE(child.Start(hvtest::ExePath(), {L"--gtest_filter=ThirdProcess.ChangesTheMouse"}, options));
    ASSERT_TRUE(child.Wait(30000)); // pumps: the notices reach this thread meanwhile
    hvtest::PumpMessages();          // and those posted just before it ended
    EXPECT_EQ(0u, child.ExitCode()) << child.Output();
}

std::string DpiValues(int x, int y)
{
    return Ints(hvmw::kDpiEventValues, MAKELONG(x, y));
}

bool Called(const Expectations& ex, const std::string& call)
{
    for (const std::string& c : ex.Calls())
        if (c == call)
            return true;
    return false;
}

} // namespace

// Not a test of its own: the process that RunThirdProcess starts.
TEST(ThirdProcess, ChangesTheMouse)
{
    const std::wstring action = hvtest::EnvVar(L"HV_MWSIM_HELPER");
    if (action.empty())
        GTEST_SKIP() << "runs only as the third process of the event tests";
    ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    {
        CComPtr<IDeviceEnumerator> root;
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_HvMwApi, nullptr, HVMW_CLSCTX, IID_PPV_ARGS(root.Put())));
        CComPtr<IDevice> mouse;
        ASSERT_HRESULT_SUCCEEDED(root->GetDeviceByName(L"VEXA Mouse", mouse.Put()));
        CComPtr<IProfileManager> manager;
        ASSERT_HRESULT_SUCCEEDED(mouse->GetFeature(IID_PPV_ARGS(manager.Put())));
        CComPtr<IProfile> active;
        ASSERT_HRESULT_SUCCEEDED(manager->GetActiveProfile(active.Put()));
        const int value = _wtoi(action.c_str() + action.find(L' ') + 1);
        if (action.rfind(L"stage ", 0) == 0) {
            CComPtr<IDpi> dpi;
            ASSERT_HRESULT_SUCCEEDED(active->GetFeature(IID_PPV_ARGS(dpi.Put())));
            ASSERT_HRESULT_SUCCEEDED(dpi->SetActiveStage(value));
        } else if (action.rfind(L"scaler ", 0) == 0) {
            CComPtr<ISensitivityScaler> scaler;
            ASSERT_HRESULT_SUCCEEDED(active->GetFeature(IID_PPV_ARGS(scaler.Put())));
            ASSERT_HRESULT_SUCCEEDED(scaler->SetActiveDpi(value, value));
        } else if (action.rfind(L"activate ", 0) == 0) {
            CComPtr<IProfile> profile;
            ASSERT_HRESULT_SUCCEEDED(manager->GetProfile(value, profile.Put()));
            ASSERT_HRESULT_SUCCEEDED(profile->Activate());
        } else {
            FAIL() << "unknown action";
        }
    }
    CoUninitialize();
}

TEST_F(SimTest, MouseEventsReachTheAdvisingThreadFromOtherProcesses)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IProfileManager> manager = Profiles(mouse);
    CComPtr<IDpi> dpi = ProfileFeature<IDpi>(ActiveProfile(mouse)); // profile 0's, kept across switches
    CComPtr<ISensitivityScaler> scaler = ProfileFeature<ISensitivityScaler>(ActiveProfile(mouse));
    ASSERT_TRUE(dpi && scaler && manager);
    Expectations ex;
    CDpiSink dpiSink(ex);
    CDpi2Sink dpi2Sink(ex);
    CScalerSink scalerSink(ex);
    CProfileSink profileSink(ex);
    {
        CAdvise dpiAdvice(dpi.Get(), dpiSink);
        CAdvise dpi2Advice(dpi.Get(), dpi2Sink);
        CAdvise scalerAdvice(scaler.Get(), scalerSink);
        CAdvise profileAdvice(manager.Get(), profileSink);
        EXPECT_EQ(2, dpiSink.Refs()); // held by the connection
        EXPECT_EQ(std::vector<std::wstring>{L"connection-point _IDPIEvents 1"},
                  DumpLines(L"mouse", L"connection-point _IDPIEvents "));
        EXPECT_EQ(std::vector<std::wstring>{L"connection-point _IProfileManagerEvents 1"},
                  DumpLines(L"mouse", L"connection-point _IProfileManagerEvents "));
        EXPECT_EQ(std::vector<std::wstring>{L"connection-point _IProfileManagerEvents 0"},
                  DumpLines(L"keyboard", L"connection-point _IProfileManagerEvents "));

        // The control tool switches the stage: the new stage, then the values in effect.
        SET_EXPECT(ex, OnDpiEvent_stage);
        SET_EXPECT(ex, OnDpiChanged);
        SET_EXPECT(ex, OnDpiEvent_values);
        Tool({L"dpi", L"4"});
        CHECK_CALLED(ex, OnDpiEvent_stage);
        CHECK_CALLED(ex, OnDpiChanged);
        CHECK_CALLED(ex, OnDpiEvent_values);
        EXPECT_EQ((std::vector<std::string>{"OnDpiEvent_stage(1,4)", "OnDpiChanged(4000,4000)",
                                            "OnDpiEvent_values(" + DpiValues(4000, 4000) + ")"}),
                  ex.Calls());
        for (DWORD thread : ex.Threads())
            EXPECT_EQ(GetCurrentThreadId(), thread);
        ex.ClearLog();

        // Re-activating the active profile changes nothing; nor does a stage button at the last stage.
        Tool({L"profile", L"mouse", L"0"});
        EXPECT_TRUE(ex.Calls().empty()) << ex.Log();
        SET_EXPECT(ex, OnDpiEvent_stage);
        SET_EXPECT(ex, OnDpiChanged);
        SET_EXPECT(ex, OnDpiEvent_values);
        Tool({L"press", L"mouse", L"7"}); // factory button 7: DPI up
        CHECK_CALLED(ex, OnDpiEvent_stage);
        CHECK_CALLED(ex, OnDpiChanged);
        CHECK_CALLED(ex, OnDpiEvent_values);
        Tool({L"press", L"mouse", L"7"});
        Tool({L"press", L"mouse", L"3"}); // the middle button changes nothing the device reports
        EXPECT_EQ((std::vector<std::string>{"OnDpiEvent_stage(1,5)", "OnDpiChanged(5600,5600)",
                                            "OnDpiEvent_values(" + DpiValues(5600, 5600) + ")"}),
                  ex.Calls());
        ex.ClearLog();
        SET_EXPECT(ex, OnDpiEvent_stage);
        SET_EXPECT(ex, OnDpiChanged);
        SET_EXPECT(ex, OnDpiEvent_values);
        Tool({L"press", L"mouse", L"6"}); // factory button 6: DPI down
        CHECK_CALLED(ex, OnDpiEvent_stage);
        CHECK_CALLED(ex, OnDpiChanged);
        CHECK_CALLED(ex, OnDpiEvent_values);
        EXPECT_EQ((std::vector<std::string>{"OnDpiEvent_stage(1,4)", "OnDpiChanged(4000,4000)",
                                            "OnDpiEvent_values(" + DpiValues(4000, 4000) + ")"}),
                  ex.Calls());
        ex.ClearLog();

        // A profile switch: the profile event, and the DPI in effect is the new profile's (stage 3).
        SET_EXPECT(ex, OnActiveProfileChanged);
        SET_EXPECT(ex, OnDpiEvent_stage);
        SET_EXPECT(ex, OnDpiChanged);
        SET_EXPECT(ex, OnDpiEvent_values);
        Tool({L"profile", L"mouse", L"next"});
        CHECK_CALLED(ex, OnActiveProfileChanged);
        CHECK_CALLED(ex, OnDpiChanged);
        EXPECT_TRUE(Called(ex, "OnActiveProfileChanged(1)")) << ex.Log();
        EXPECT_TRUE(Called(ex, "OnDpiChanged(1800,1800)")) << ex.Log();
        ex.ClearLog();

        // After the switch the sink of profile 0's IDpi still hears the DPI of the device.
        SET_EXPECT(ex, OnDpiChanged);
        Tool({L"dpi", L"up"});
        CHECK_CALLED(ex, OnDpiChanged);
        EXPECT_TRUE(Called(ex, "OnDpiChanged(4000,4000)")) << ex.Log();
        ex.ClearLog();
        CHECK_CALLED(ex, OnDpiEvent_stage);
        CHECK_CALLED(ex, OnDpiEvent_values);

        // A third process changes the device through the middleware.
        SET_EXPECT(ex, OnDpiEvent_stage);
        SET_EXPECT(ex, OnDpiChanged);
        SET_EXPECT(ex, OnDpiEvent_values);
        RunThirdProcess(L"stage 2");
        CHECK_CALLED(ex, OnDpiChanged);
        EXPECT_TRUE(Called(ex, "OnDpiChanged(1200,1200)")) << ex.Log();
        for (DWORD thread : ex.Threads())
            EXPECT_EQ(GetCurrentThreadId(), thread);
        ex.ClearLog();
        CHECK_CALLED(ex, OnDpiEvent_stage);
        CHECK_CALLED(ex, OnDpiEvent_values);
        SET_EXPECT(ex, OnLevelChanged);
        RunThirdProcess(L"scaler 8");
        CHECK_CALLED(ex, OnLevelChanged);
        EXPECT_EQ(std::vector<std::string>{"OnLevelChanged(8,8)"}, ex.Calls());
        ex.ClearLog();
        SET_EXPECT(ex, OnActiveProfileChanged);
        SET_EXPECT(ex, OnDpiEvent_stage);
        SET_EXPECT(ex, OnDpiChanged);
        SET_EXPECT(ex, OnDpiEvent_values);
        SET_EXPECT(ex, OnLevelChanged);
        RunThirdProcess(L"activate 3");
        CHECK_CALLED(ex, OnActiveProfileChanged);
        EXPECT_TRUE(Called(ex, "OnActiveProfileChanged(3)")) << ex.Log();
        CHECK_CALLED(ex, OnLevelChanged);
        CHECK_CALLED(ex, OnDpiChanged);
        CHECK_CALLED(ex, OnDpiEvent_stage);
        CHECK_CALLED(ex, OnDpiEvent_values);
        ex.ClearLog();

        // A change made on this very thread is reported to it as well, when it next pumps messages
        // (never from inside the call): only the values changed, so no stage event.
        SET_EXPECT(ex, OnDpiChanged);
        SET_EXPECT(ex, OnDpiEvent_values);
        ASSERT_HRESULT_SUCCEEDED(ProfileFeature<IDpi>(ActiveProfile(mouse))->SetActiveDpi(2000, 2100));
        EXPECT_TRUE(ex.Calls().empty()) << ex.Log();
        hvtest::PumpMessages();
        CHECK_CALLED(ex, OnDpiChanged);
        CHECK_CALLED(ex, OnDpiEvent_values);
        EXPECT_EQ((std::vector<std::string>{"OnDpiChanged(2000,2100)", "OnDpiEvent_values(" + DpiValues(2000, 2100) + ")"}),
                  ex.Calls());
        ex.ClearLog();
        // A change to a profile that is not active changes nothing in effect.
        ASSERT_HRESULT_SUCCEEDED(dpi->SetActiveStage(1));
        hvtest::PumpMessages();
        EXPECT_TRUE(ex.Calls().empty()) << ex.Log();

        // Unadvised: released at once, and nothing more is heard.
        EXPECT_HRESULT_SUCCEEDED(dpiAdvice.Unadvise());
        EXPECT_EQ(1, dpiSink.Refs());
        EXPECT_EQ(std::vector<std::wstring>{L"connection-point _IDPIEvents 0"},
                  DumpLines(L"mouse", L"connection-point _IDPIEvents "));
        SET_EXPECT(ex, OnDpiEvent_stage);
        SET_EXPECT(ex, OnDpiEvent_values);
        Tool({L"dpi", L"1"});
        CHECK_CALLED(ex, OnDpiEvent_stage);
        CHECK_CALLED(ex, OnDpiEvent_values);
        CHECK_NOT_CALLED(ex, OnDpiChanged);
        ex.ClearLog();
    }
    // Every connection undone: the sinks are back to the test's own reference, nothing hears more.
    EXPECT_EQ(1, dpi2Sink.Refs());
    EXPECT_EQ(1, scalerSink.Refs());
    EXPECT_EQ(1, profileSink.Refs());
    Tool({L"profile", L"mouse", L"0"});
    Tool({L"dpi", L"5"});
    EXPECT_TRUE(ex.Calls().empty()) << ex.Log();
    EXPECT_EQ(std::vector<std::wstring>{L"connection-point _IDPIEvents2 0"},
              DumpLines(L"mouse", L"connection-point _IDPIEvents2 "));

    // A cookie once unadvised, or of another connection point, is refused.
    CAdvise again(dpi.Get(), dpiSink);
    IConnectionPointContainer* container = nullptr;
    ASSERT_HRESULT_SUCCEEDED(manager->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)));
    IConnectionPoint* point = nullptr;
    ASSERT_HRESULT_SUCCEEDED(container->FindConnectionPoint(IID__IProfileManagerEvents, &point));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(again.Cookie()));
    point->Release();
    EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID__IDPIEvents, &point));
    EXPECT_EQ(nullptr, point);
    container->Release();
    const DWORD cookie = again.Cookie();
    IConnectionPoint* dpiPoint = again.Point();
    dpiPoint->AddRef();
    EXPECT_HRESULT_SUCCEEDED(again.Unadvise());
    EXPECT_EQ(CONNECT_E_NOCONNECTION, dpiPoint->Unadvise(cookie));
    // A sink that does not answer the event interface cannot connect.
    DWORD none = 0;
    EXPECT_EQ(CONNECT_E_CANNOTCONNECT, dpiPoint->Advise(static_cast<_IProfileManagerEvents*>(&profileSink), &none));
    dpiPoint->Release();
    EXPECT_EQ(1, dpiSink.Refs());
    EXPECT_EQ(1, profileSink.Refs());
}

TEST_F(SimTest, KeyboardRecordsOnTheFlyLaunchesApplicationsAndRedirectsKeys)
{
    CComPtr<IDevice> keyboard = Keyboard();
    ASSERT_TRUE(keyboard);
    CComPtr<IOtfMacroRecording> otf = DeviceFeature<IOtfMacroRecording>(keyboard);
    CComPtr<IApplicationList> apps = DeviceFeature<IApplicationList>(keyboard);
    CComPtr<IKeyboardRedirector> redirector = DeviceFeature<IKeyboardRedirector>(keyboard);
    ASSERT_TRUE(otf && apps && redirector);
    Expectations ex;
    COtfSink otfSink(ex);
    CAppSink appSink(ex);
    CRedirectSink redirectSink(ex);
    {
        CAdvise otfAdvice(otf.Get(), otfSink);
        CAdvise appAdvice(apps.Get(), appSink);
        CAdvise redirectAdvice(redirector.Get(), redirectSink);

        // A recording: start, end, the key (keypad Enter: E0 0x1C), and a second one cancelled.
        SET_EXPECT(ex, OnRecordStart);
        Tool({L"otf", L"start"});
        CHECK_CALLED(ex, OnRecordStart);
        SET_EXPECT(ex, OnRecordEnd);
        Tool({L"otf", L"end"});
        CHECK_CALLED(ex, OnRecordEnd);
        SET_EXPECT(ex, OnButtonAssignment);
        Tool({L"otf", L"assign", L"0x2001C"});
        CHECK_CALLED(ex, OnButtonAssignment);
        SET_EXPECT(ex, OnRecordStart);
        Tool({L"otf", L"start"});
        CHECK_CALLED(ex, OnRecordStart);
        SET_EXPECT(ex, OnRecordCancel);
        Tool({L"otf", L"cancel"});
        CHECK_CALLED(ex, OnRecordCancel);
        EXPECT_EQ((std::vector<std::string>{"OnRecordStart()", "OnRecordEnd()", "OnButtonAssignment(2,131100)",
                                            "OnRecordStart()", "OnRecordCancel()"}),
                  ex.Calls());
        ex.ClearLog();
        // The device does not end what it did not start.
        EXPECT_EQ(1u, ToolExitCode({L"otf", L"end"}));
        EXPECT_EQ(1u, ToolExitCode({L"otf", L"assign", L"0x1E"}));
        EXPECT_TRUE(ex.Calls().empty()) << ex.Log();

        // A key assigned to the sample application asks the programs to open it.
        CComPtr<IApplication> app;
        ASSERT_HRESULT_SUCCEEDED(apps->GetApplication(0, app.Put()));
        GUID appId{};
        ASSERT_HRESULT_SUCCEEDED(app->GetId(&appId));
        AssignmentRecord record{};
        record.id = 0x3B; // F1
        record.kind = hvmw::kKindApplication;
        record.SetTargetGuid(appId);
        record.SetWord28(1);
        ASSERT_HRESULT_SUCCEEDED(ProfileFeature<IKeyAssignments>(ActiveProfile(keyboard))->SetAssignments(1, &record));
        SET_EXPECT(ex, OnApplicationEvent);
        Tool({L"press", L"keyboard", L"0x3B"});
        CHECK_CALLED(ex, OnApplicationEvent);
        EXPECT_EQ(std::vector<std::string>{"OnApplicationEvent(1,C:\\windows\\notepad.exe)"}, ex.Calls());
        ex.ClearLog();

        // Keys reach the programs only while the redirector is on.
        Tool({L"redirect", L"0x41"});
        Tool({L"press", L"keyboard", L"a A"});
        EXPECT_TRUE(ex.Calls().empty()) << ex.Log();
        ASSERT_HRESULT_SUCCEEDED(redirector->Enable());
        SET_EXPECT(ex, OnKeyMessage);
        Tool({L"redirect", L"0x41"});
        Tool({L"press", L"keyboard", L"0x1E"});
        CHECK_CALLED(ex, OnKeyMessage);
        const std::vector<std::string> keyA = {"OnKeyMessage(0x100,0x41,0x001E0001)",
                                               "OnKeyMessage(0x101,0x41,0xC01E0001)"};
        EXPECT_EQ((std::vector<std::string>{keyA[0], keyA[1], keyA[0], keyA[1]}), ex.Calls());
        ex.ClearLog();
        ASSERT_HRESULT_SUCCEEDED(redirector->Disable());
        Tool({L"redirect", L"0x41"});
        EXPECT_TRUE(ex.Calls().empty()) << ex.Log();
        EXPECT_EQ(std::vector<std::wstring>{L"connection-point _IKeyboardRedirectorEvents 1"},
                  DumpLines(L"keyboard", L"connection-point _IKeyboardRedirectorEvents "));
    }
    EXPECT_EQ(1, otfSink.Refs());
    EXPECT_EQ(1, appSink.Refs());
    EXPECT_EQ(1, redirectSink.Refs());
    Tool({L"otf", L"start"});
    EXPECT_TRUE(ex.Calls().empty()) << ex.Log();
}

namespace {

// Unadvises another connection from inside its own event.
class CUnadvisingSink : public CDpiSink
{
public:
    using CDpiSink::CDpiSink;
    HRESULT STDMETHODCALLTYPE OnDpiChanged(int x, int y) override
    {
        CDpiSink::OnDpiChanged(x, y);
        if (other) {
            EXPECT_HRESULT_SUCCEEDED(other->Unadvise());
        }
        return S_OK;
    }
    CAdvise* other = nullptr;
};

// Signals once it has heard the number of DPI changes it waits for.
class CSignallingDpiSink : public CDpiSink
{
public:
    CSignallingDpiSink(Expectations& ex, int wanted)
        : CDpiSink(ex), m_wanted(wanted), m_done(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
    }
    ~CSignallingDpiSink() override { CloseHandle(m_done); }
    HRESULT STDMETHODCALLTYPE OnDpiChanged(int x, int y) override
    {
        CDpiSink::OnDpiChanged(x, y);
        if (++m_heard == m_wanted)
            SetEvent(m_done);
        return S_OK;
    }
    HANDLE Done() const { return m_done; }

private:
    int m_wanted;
    std::atomic<int> m_heard{0};
    HANDLE m_done;
};

} // namespace

TEST_F(SimTest, EventsRunOnTheAdvisingThreadAndNeverAfterUnadvise)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    CComPtr<IDpi> dpi = ProfileFeature<IDpi>(ActiveProfile(mouse));
    ASSERT_TRUE(dpi);

    // A sink advised on another single-threaded apartment hears the changes made on this thread, on
    // its own thread, in order. While that thread does not pump messages the writer goes on unhindered;
    // the sink hears everything once it pumps again.
    Expectations ex;
    CSignallingDpiSink workerSink(ex, 2);
    HANDLE advised = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE pump = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE quit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD workerThread = 0;
    CThread worker;
    ASSERT_TRUE(worker.Start([&]() -> unsigned {
        workerThread = GetCurrentThreadId();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        {
            CComPtr<IDeviceEnumerator> root;
            CoCreateInstance(CLSID_HvMwApi, nullptr, HVMW_CLSCTX, IID_PPV_ARGS(root.Put()));
            CComPtr<IDevice> device;
            root->EnumDevice(0, device.Put());
            CComPtr<IProfileManager> manager;
            device->GetFeature(IID_PPV_ARGS(manager.Put()));
            CComPtr<IProfile> profile;
            manager->GetProfile(2, profile.Put()); // any profile's IDpi hears the device
            CComPtr<IDpi> own;
            profile->GetFeature(IID_PPV_ARGS(own.Put()));
            CAdvise advice(own.Get(), workerSink);
            SetEvent(advised);
            WaitForSingleObject(pump, 30000); // busy with something else: no messages
            while (MsgWaitForMultipleObjects(1, &quit, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
                MSG msg;
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessageW(&msg);
            }
        }
        CoUninitialize();
        return 0;
    }));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(advised, 10000));
    SET_EXPECT(ex, OnDpiChanged);
    const ULONGLONG start = GetTickCount64();
    ASSERT_HRESULT_SUCCEEDED(dpi->SetActiveDpi(3000, 3000));
    ASSERT_HRESULT_SUCCEEDED(dpi->SetActiveDpi(3100, 3200));
    EXPECT_LT(GetTickCount64() - start, 1500u) << "the writer waited for a thread that does not pump";
    SetEvent(pump);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(workerSink.Done(), 10000)) << ex.Log();
    CHECK_CALLED(ex, OnDpiChanged);
    EXPECT_EQ((std::vector<std::string>{"OnDpiChanged(3000,3000)", "OnDpiChanged(3100,3200)"}), ex.Calls());
    ASSERT_EQ(2u, ex.Threads().size());
    EXPECT_EQ(workerThread, ex.Threads()[0]);
    EXPECT_EQ(workerThread, ex.Threads()[1]);
    hvtest::PumpMessages();
    EXPECT_EQ(2u, ex.Calls().size()); // nothing for this thread, which advised nothing
    SetEvent(quit);
    ASSERT_TRUE(worker.JoinDispatchingSent(10000));
    EXPECT_EQ(1, workerSink.Refs());
    CloseHandle(advised);
    CloseHandle(pump);
    CloseHandle(quit);
    ex.ClearLog();

    // A sink unadvised while an event is on its way is not called: the first sink unadvises the second.
    CUnadvisingSink first(ex);
    CDpiSink second(ex);
    {
        CAdvise firstAdvice(dpi.Get(), first);
        CAdvise secondAdvice(dpi.Get(), second);
        first.other = &secondAdvice;
        SET_EXPECT(ex, OnDpiChanged);
        Tool({L"dpi", L"up"});
        CHECK_CALLED(ex, OnDpiChanged);
        EXPECT_EQ(std::vector<std::string>{"OnDpiChanged(4000,4000)"}, ex.Calls());
        EXPECT_EQ(1, second.Refs());
        ex.ClearLog();
    }
    EXPECT_EQ(1, first.Refs());

    // With nothing advised any more the server can be unloaded (no event window is left).
    dpi.Reset();
    mouse.Reset();
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"HvMwSim.dll"), "DllCanUnloadNow")));
    ASSERT_NE(nullptr, canUnload);
    EXPECT_EQ(S_OK, canUnload());
}

namespace {

// A top-level window of this process that notes the device changes it is sent.
struct DeviceChangeWindow
{
    struct Seen
    {
        WPARAM event;
        DWORD type;
        GUID classGuid;
        std::wstring name;
    };
    static std::vector<Seen>& Log()
    {
        static std::vector<Seen> log;
        return log;
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_DEVICECHANGE) {
            Seen seen{wParam, 0, GUID{}, std::wstring()};
            const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
            if (header && header->dbch_size >= sizeof(DEV_BROADCAST_HDR)) {
                seen.type = header->dbch_devicetype;
                if (seen.type == DBT_DEVTYP_DEVICEINTERFACE) {
                    const auto* record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(lParam);
                    seen.classGuid = record->dbcc_classguid;
                    seen.name = record->dbcc_name;
                }
            }
            Log().push_back(seen);
            return TRUE;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
};

} // namespace

TEST_F(SimTest, PlugAndUnplugAnnounceTheDeviceToTheWindowsOfOtherProcesses)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = DeviceChangeWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MwSimDeviceChangeTest";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"device changes", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    auto& log = DeviceChangeWindow::Log();
    log.clear();

    CComPtr<IDevice> mouse = Mouse(); // this process uses the simulator from now on
    ASSERT_TRUE(mouse);
    CComPtr<IDpi> dpi = ProfileFeature<IDpi>(ActiveProfile(mouse));
    Expectations ex;
    CDpiSink sink(ex);
    CAdvise advice(dpi.Get(), sink);

    Tool({L"unplug", L"mouse"});
    ASSERT_EQ(1u, log.size());
    const GUID hid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    EXPECT_EQ(static_cast<WPARAM>(DBT_DEVICEREMOVECOMPLETE), log[0].event);
    EXPECT_EQ(static_cast<DWORD>(DBT_DEVTYP_DEVICEINTERFACE), log[0].type);
    EXPECT_TRUE(IsEqualGUID(hid, log[0].classGuid));
    const std::wstring upper = wstr::ToUpper(log[0].name);
    EXPECT_NE(std::wstring::npos, upper.find(L"VID_9D17")) << Narrow(log[0].name);
    EXPECT_NE(std::wstring::npos, upper.find(L"PID_0022")) << Narrow(log[0].name);
    EXPECT_EQ(0u, upper.rfind(L"\\\\?\\HID#", 0)) << Narrow(log[0].name);
    CComPtr<IDevice> none;
    EXPECT_EQ(HVMW_E_NOT_FOUND, Root()->GetDeviceByName(L"VEXA Mouse", none.Put()));
    // Already unplugged: no second removal.
    Tool({L"unplug", L"mouse"});
    EXPECT_EQ(1u, log.size());

    Tool({L"plug", L"keyboard"});
    EXPECT_EQ(1u, log.size());
    Tool({L"unplug", L"keyboard"});
    Tool({L"plug", L"keyboard"});
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ(static_cast<WPARAM>(DBT_DEVICEARRIVAL), log[2].event);
    EXPECT_NE(std::wstring::npos, wstr::ToUpper(log[2].name).find(L"PID_0023"));

    Tool({L"plug", L"mouse"});
    ASSERT_EQ(4u, log.size());
    EXPECT_EQ(static_cast<WPARAM>(DBT_DEVICEARRIVAL), log[3].event);
    EXPECT_NE(std::wstring::npos, wstr::ToUpper(log[3].name).find(L"VID_9D17&PID_0022"));
    ASSERT_HRESULT_SUCCEEDED(Root()->GetDeviceByName(L"VEXA Mouse", none.Put()));

    // The connection of before the removal belongs to a device that has gone: it hears nothing of
    // the device plugged in again, and it still unadvises and releases its sink.
    Tool({L"dpi", L"1"});
    EXPECT_TRUE(ex.Calls().empty()) << ex.Log();
    EXPECT_EQ(std::vector<std::wstring>{L"connection-point _IDPIEvents 0"},
              DumpLines(L"mouse", L"connection-point _IDPIEvents "));
    EXPECT_HRESULT_SUCCEEDED(advice.Unadvise());
    EXPECT_EQ(1, sink.Refs());

    // Devices of another vendor or product, for the callers' negative cases; nothing changes.
    const std::string before = Tool({L"dump"});
    Tool({L"announce", L"arrival", L"0x1234", L"0x22"});
    Tool({L"announce", L"removal", L"0x9D17", L"0x99"});
    ASSERT_EQ(6u, log.size());
    EXPECT_NE(std::wstring::npos, wstr::ToUpper(log[4].name).find(L"VID_1234&PID_0022"));
    EXPECT_EQ(static_cast<WPARAM>(DBT_DEVICEREMOVECOMPLETE), log[5].event);
    EXPECT_NE(std::wstring::npos, wstr::ToUpper(log[5].name).find(L"VID_9D17&PID_0099"));
    EXPECT_EQ(before, Tool({L"dump"}));
    DestroyWindow(window);
}
