// How the test program walks the middleware's lists: from index 0 until the indexed call fails,
// whatever it answers (the simulator's fault switch ends each list with E_INVALIDARG, and the page
// shows what it found and says nothing), never past 4096 items (a middleware whose lists never
// end), and blocks whose counts say more than they hold are read only as far as they go.
#include "BenchTest.h"

#include <atomic>

#include "mwtest/AssignmentDialogs.h"
#include "HvTest.h"
#include "mwtest/MwTestRes.h"
#include "platform/WStr.h"

using namespace mwtest;

namespace {

constexpr int kWalkLimit = 4096;
constexpr const wchar_t kInvalidArg[] = L"0x80070057";

// A middleware of no end: one object that is the device, its profiles, macros, applications, APM
// levels and LEDs; every indexed call answers with it. Its blocks say more than they hold: three
// supported rates of a count of 1000, two DPI stages of a count of 10.
class CEndlessDevice : public IDevice,
                       public IMouseDevice,
                       public IProfileManager,
                       public IProfile,
                       public IMacroManager,
                       public IMacro,
                       public IApplicationList,
                       public IApplication,
                       public IPollingRate,
                       public IDpi,
                       public IApm,
                       public IApmLevel,
                       public ILedCollection,
                       public ILed
{
public:
    ULONG References() const { return m_references; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IDevice)))
            *out = static_cast<IDevice*>(this);
        else if (IsEqualIID(iid, __uuidof(IMouseDevice)))
            *out = static_cast<IMouseDevice*>(this);
        else if (IsEqualIID(iid, __uuidof(IProfileManager)))
            *out = static_cast<IProfileManager*>(this);
        else if (IsEqualIID(iid, __uuidof(IProfile)))
            *out = static_cast<IProfile*>(this);
        else if (IsEqualIID(iid, __uuidof(IMacroManager)))
            *out = static_cast<IMacroManager*>(this);
        else if (IsEqualIID(iid, __uuidof(IMacro)))
            *out = static_cast<IMacro*>(this);
        else if (IsEqualIID(iid, __uuidof(IApplicationList)))
            *out = static_cast<IApplicationList*>(this);
        else if (IsEqualIID(iid, __uuidof(IApplication)))
            *out = static_cast<IApplication*>(this);
        else if (IsEqualIID(iid, __uuidof(IPollingRate)))
            *out = static_cast<IPollingRate*>(this);
        else if (IsEqualIID(iid, __uuidof(IDpi)))
            *out = static_cast<IDpi*>(this);
        else if (IsEqualIID(iid, __uuidof(IApm)))
            *out = static_cast<IApm*>(this);
        else if (IsEqualIID(iid, __uuidof(IApmLevel)))
            *out = static_cast<IApmLevel*>(this);
        else if (IsEqualIID(iid, __uuidof(ILedCollection)))
            *out = static_cast<ILedCollection*>(this);
        else if (IsEqualIID(iid, __uuidof(ILed)))
            *out = static_cast<ILed*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }  // the test owns it

    // IDevice, IMouseDevice, IProfile: every feature is this object.
    HRESULT STDMETHODCALLTYPE GetDeviceInfo(DeviceInfo*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFeature(REFIID iid, void** out) override { return QueryInterface(iid, out); }

    // IProfileManager
    HRESULT STDMETHODCALLTYPE GetProfile(int, IProfile** out) override { return Give<IProfile>(out); }
    HRESULT STDMETHODCALLTYPE GetProfileById(GUID, IProfile** out) override { return Give<IProfile>(out); }
    HRESULT STDMETHODCALLTYPE SetActiveProfile(IProfile*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetActiveProfile(IProfile** out) override { return Give<IProfile>(out); }
    HRESULT STDMETHODCALLTYPE AddProfile(IProfile** out) override { return Refuse(out); }
    HRESULT STDMETHODCALLTYPE DeleteProfile(IProfile*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved9() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ImportProfile(LPCWSTR, IProfile** out) override { return Refuse(out); }

    // IProfile, IMacro, IApplication
    HRESULT STDMETHODCALLTYPE GetId(GUID* id) override
    {
        *id = GUID{0x1234, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetName(LPWSTR* name) override
    {
        *name = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof(L"Endless")));
        if (!*name)
            return E_OUTOFMEMORY;
        wcscpy(*name, L"Endless");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetName(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Activate() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Export(LPCWSTR) override { return E_NOTIMPL; }

    // IMacroManager, IMacro
    HRESULT STDMETHODCALLTYPE GetMacro(int, IMacro** out) override { return Give<IMacro>(out); }
    HRESULT STDMETHODCALLTYPE GetMacroById(GUID, IMacro** out) override { return Give<IMacro>(out); }
    HRESULT STDMETHODCALLTYPE AddMacro(IMacro** out) override { return Refuse(out); }
    HRESULT STDMETHODCALLTYPE DeleteMacro(IMacro*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ImportMacro(LPCWSTR, IMacro** out) override { return Refuse(out); }
    HRESULT STDMETHODCALLTYPE GetEvents(MacroEventBlock** block) override { return Refuse(block); }
    HRESULT STDMETHODCALLTYPE SetEvents(const MacroEventBlock*) override { return E_NOTIMPL; }

    // IApplicationList
    HRESULT STDMETHODCALLTYPE GetApplication(int, IApplication** out) override { return Give<IApplication>(out); }
    HRESULT STDMETHODCALLTYPE GetApplicationById(GUID, IApplication** out) override { return Give<IApplication>(out); }
    HRESULT STDMETHODCALLTYPE AddApplication(IApplication** out) override { return Refuse(out); }
    HRESULT STDMETHODCALLTYPE DeleteApplication(IApplication*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ImportApplication(LPCWSTR, IApplication** out) override { return Refuse(out); }

    // IPollingRate: three rates in a block, a count of 1000.
    HRESULT STDMETHODCALLTYPE GetRate(int* code) override
    {
        *code = hvmw::kRate500Hz;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetRate(int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSupportedRates(int* count, int** rates) override
    {
        static const int kRates[] = {125, 500, 1000};
        *rates = static_cast<int*>(CoTaskMemAlloc(sizeof(kRates)));
        if (!*rates)
            return E_OUTOFMEMORY;
        memcpy(*rates, kRates, sizeof(kRates));
        *count = 1000;
        return S_OK;
    }

    // IDpi: two stages in a block, a count of 10.
    HRESULT STDMETHODCALLTYPE GetActiveDpi(DpiValue*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetActiveDpi(int, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStageInfo(StageInfo*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetActiveStage(int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetActiveStage(int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStages(int* count, DpiValue** stages) override
    {
        *stages = static_cast<DpiValue*>(CoTaskMemAlloc(2 * sizeof(DpiValue)));
        if (!*stages)
            return E_OUTOFMEMORY;
        (*stages)[0] = {800, 800};
        (*stages)[1] = {1600, 1600};
        *count = 10;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetStages(int, const DpiValue*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRange(int*, int*, int*) override { return E_NOTIMPL; }

    // IApm, IApmLevel
    HRESULT STDMETHODCALLTYPE GetLevel(int, IApmLevel** out) override { return Give<IApmLevel>(out); }
    HRESULT STDMETHODCALLTYPE AddLevel(int, IApmLevel** out) override { return Refuse(out); }
    HRESULT STDMETHODCALLTYPE DeleteLevel(IApmLevel*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUpperLimit(int* limit) override
    {
        *limit = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetUpperLimit(int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetColor(COLORREF* colour) override
    {
        *colour = RGB(0, 128, 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColor(COLORREF) override { return E_NOTIMPL; }

    // ILedCollection, ILed: every LED is the scroll wheel.
    HRESULT STDMETHODCALLTYPE GetLed(int, ILed** out) override { return Give<ILed>(out); }
    HRESULT STDMETHODCALLTYPE GetLedById(int, ILed** out) override { return Give<ILed>(out); }
    HRESULT STDMETHODCALLTYPE TurnOn() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TurnOff() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetState(BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetId(int* id) override
    {
        *id = hvmw::kLedScrollWheel;
        return S_OK;
    }

private:
    template <class I>
    HRESULT Give(I** out)
    {
        *out = static_cast<I*>(this);
        AddRef();
        return S_OK;
    }
    template <class T>
    static HRESULT Refuse(T** out)
    {
        *out = nullptr;
        return E_NOTIMPL;
    }

    std::atomic<ULONG> m_references{0};
};

class ListWalkTest : public BenchTest
{
protected:
    static int Rows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
    int ComboItems(UINT templateId, int id)
    {
        return static_cast<int>(SendMessageW(Item(templateId, id), CB_GETCOUNT, 0, 0));
    }
    int ListItems(UINT templateId, int id)
    {
        return static_cast<int>(SendMessageW(Item(templateId, id), LB_GETCOUNT, 0, 0));
    }
    int Columns(UINT templateId, int id)
    {
        HWND header = reinterpret_cast<HWND>(SendMessageW(Item(templateId, id), LVM_GETHEADER, 0, 0));
        return static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    }
    // Fails the next calls of an indexed method of the mouse with E_INVALIDARG.
    static void EndWithInvalidArg(const wchar_t* method, int calls = 1)
    {
        simtest::Tool({L"fail", L"mouse", method, kInvalidArg, std::to_wstring(calls)});
    }

    // Outlives the sheet, which may hold it until the test's end.
    CEndlessDevice endless;
};

} // namespace

TEST_F(ListWalkTest, ListsEndAtAnyFailureOfTheIndexedCall)
{
    // The factory mouse has no applications: two of them.
    {
        CComPtr<IApplicationList> applications = DeviceFeature<IApplicationList>(Mouse());
        ASSERT_TRUE(applications);
        for (int i = 0; i < 2; ++i) {
            CComPtr<IApplication> added;
            ASSERT_HRESULT_SUCCEEDED(applications->AddApplication(added.Put()));
        }
    }
    // The devices: a middleware whose first EnumDevice answers E_INVALIDARG has none to list.
    simtest::Tool({L"fail", L"root", L"IDeviceEnumerator.EnumDevice", kInvalidArg});
    Open();
    EXPECT_EQ(0, ComboItems(IDD_DEVICES, IDC_DEVICE_COMBO));
    bench.Close();
    hvtest::FlushMessages();
    Open();
    ASSERT_EQ(2, ComboItems(IDD_DEVICES, IDC_DEVICE_COMBO));
    ChooseDevice(L"VEXA Mouse");

    // Each list of the mouse, its indexed call answering E_INVALIDARG once: the page shows an
    // empty list, says nothing, and shows the whole list the next time.
    struct Walk
    {
        UINT page;
        const wchar_t* method;
        std::function<int()> count;
        int whole;
    };
    const std::vector<Walk> walks = {
        {IDD_PROFILES, L"IProfileManager.GetProfile", [&] { return Rows(Item(IDD_PROFILES, IDC_PROFILE_LIST)); }, 5},
        {IDD_MACROS, L"IMacroManager.GetMacro", [&] { return Rows(Item(IDD_MACROS, IDC_MACRO_LIST)); }, 1},
        {IDD_HVAPP, L"IApplicationList.GetApplication", [&] { return Rows(Item(IDD_HVAPP, IDC_HVAPP_LIST)); }, 2},
        {IDD_LED, L"ILedCollection.GetLed", [&] { return ListItems(IDD_LED, IDC_LED_LIST); }, 4},
        {IDD_APM, L"IApm.GetLevel", [&] { return Columns(IDD_APM, IDC_APM_LEVELS); }, 3},
    };
    // The LED page lists its LEDs when it is first made too: made beforehand.
    ASSERT_TRUE(Select(IDD_LED));
    for (const Walk& walk : walks) {
        SCOPED_TRACE(simtest::Narrow(walk.method));
        ASSERT_TRUE(Select(IDD_DEVICE_INFO));
        // The APM page reads its first level before the list: that read fails as well.
        EndWithInvalidArg(walk.method, walk.page == IDD_APM ? 2 : 1);
        ASSERT_TRUE(Select(walk.page));
        EXPECT_EQ(0, walk.count());
        Reselect(walk.page);
        EXPECT_EQ(walk.whole, walk.count());
    }
    // The assignment editor's macros, profiles and applications, each list ended the same way.
    for (const wchar_t* method :
         {L"IMacroManager.GetMacro", L"IProfileManager.GetProfile", L"IApplicationList.GetApplication"})
        EndWithInvalidArg(method);
    ASSERT_TRUE(Select(IDD_BUTTONS));
    HWND buttons = Item(IDD_BUTTONS, IDC_BUTTON_LIST);
    {
        CDialogScript script({{IDD_BUTTON_MAPPING, [](HWND dialog) {
                                   for (int combo : {IDC_MAP_MACRO, IDC_MAP_PROFILE_ID, IDC_MAP_APPLICATION_ID})
                                       EXPECT_EQ(0, SendDlgItemMessageW(dialog, combo, CB_GETCOUNT, 0, 0)) << combo;
                                   ClickItem(dialog, IDCANCEL);
                               }}});
        ASSERT_TRUE(hvtest::DoubleClick(buttons, CellPoint(buttons, 0, 0)));
        EXPECT_TRUE(script.WaitDone());
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ListWalkTest, EndlessListsStopAt4096AndBlocksAreReadAsFarAsTheyGo)
{
    CEndlessDevice& device = endless;
    Open();
    bench.Sheet().SetDevice(CComPtr<IDevice>(static_cast<IDevice*>(&device)));

    ASSERT_TRUE(Select(IDD_PROFILES));
    EXPECT_EQ(kWalkLimit, Rows(Item(IDD_PROFILES, IDC_PROFILE_LIST)));
    ASSERT_TRUE(Select(IDD_MACROS));
    EXPECT_EQ(kWalkLimit, Rows(Item(IDD_MACROS, IDC_MACRO_LIST)));
    ASSERT_TRUE(Select(IDD_HVAPP));
    EXPECT_EQ(kWalkLimit, Rows(Item(IDD_HVAPP, IDC_HVAPP_LIST)));
    ASSERT_TRUE(Select(IDD_LED));
    EXPECT_EQ(kWalkLimit, ListItems(IDD_LED, IDC_LED_LIST));
    ASSERT_TRUE(Select(IDD_APM));
    EXPECT_EQ(kWalkLimit, Columns(IDD_APM, IDC_APM_LEVELS));

    // Three rates in the block: three items, whatever the count says.
    ASSERT_TRUE(Select(IDD_POLLING_RATE));
    EXPECT_EQ(3, ComboItems(IDD_POLLING_RATE, IDC_POLLING_RATE));

    // The editor: every list to its end, and as many stages as the array holds.
    {
        AssignmentRecord record = {};
        record.id = 1;
        CComPtr<IProfileManager> profiles(static_cast<IProfileManager*>(&device));
        CComPtr<IMacroManager> macros(static_cast<IMacroManager*>(&device));
        CComPtr<IApplicationList> applications(static_cast<IApplicationList*>(&device));
        CButtonsDlg editor(&record, L"Left Button", profiles, macros, applications, &bench.Sheet());
        CDialogScript script({{IDD_BUTTON_MAPPING, [](HWND dialog) {
                                   for (int combo : {IDC_MAP_MACRO, IDC_MAP_PROFILE_ID, IDC_MAP_APPLICATION_ID})
                                       EXPECT_EQ(kWalkLimit, SendDlgItemMessageW(dialog, combo, CB_GETCOUNT, 0, 0))
                                           << combo;
                                   EXPECT_EQ(2, SendDlgItemMessageW(dialog, IDC_MAP_DPI_STAGE, CB_GETCOUNT, 0, 0));
                                   ClickItem(dialog, IDCANCEL);
                               }}});
        EXPECT_EQ(IDCANCEL, editor.DoModal());
        EXPECT_TRUE(script.Done());
    }

    ASSERT_TRUE(Select(IDD_DEVICES));
    bench.Close();
    hvtest::FlushMessages();
    // Every reference the program took was given back.
    EXPECT_EQ(0u, device.References());
    EXPECT_TRUE(dialogs.messages.empty());
}
