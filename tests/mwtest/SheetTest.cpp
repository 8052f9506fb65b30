// The test program's sheet: its 21 tabs in order (the refresh test page never among them), the
// device page and the device information page, a middleware that is not registered, and the three
// ways of closing the sheet, each of which must leave no connection and no raw-input registration.
#include "BenchTest.h"

#include <map>

#include "HvTest.h"
#include "mwtest/MwTestRes.h"
#include "UnregisteredClass.h"
#include "platform/WStr.h"

using namespace mwtest;

namespace {

const std::vector<std::wstring> kTabs = {
    L"Devices", L"Device Info", L"Profiles", L"Buttons", L"LED", L"Keys", L"DPI", L"APM", L"Mode",
    L"Keyboard Redirector", L"Acceleration", L"OTFMacro", L"Polling Rate", L"Macros", L"LED Callibration",
    L"Settings", L"HvApp", L"Keyboard Layout", L"Sensitivity Scaler", L"Power Management", L"Battery Page",
};

// What a dialog's controls show: text, check state and item counts, by control id.
using Shown = std::map<int, std::wstring>;

BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    const int id = GetDlgCtrlID(child);
    if (id <= 0 || id == 0xFFFF)
        return TRUE;
    const std::wstring cls = hvtest::ClassNameOf(child);
    std::wstring shown = L"text \"" + hvtest::TextOf(child) + L"\"";
    if (wstr::EqualsNoCase(cls, L"Button"))
        shown += wstr::Format(L" check %d enabled %d", static_cast<int>(SendMessageW(child, BM_GETCHECK, 0, 0)),
                              IsWindowEnabled(child) ? 1 : 0);
    else if (wstr::EqualsNoCase(cls, L"ComboBox"))
        shown += wstr::Format(L" items %d", static_cast<int>(SendMessageW(child, CB_GETCOUNT, 0, 0)));
    else if (wstr::EqualsNoCase(cls, L"ListBox"))
        shown += wstr::Format(L" items %d", static_cast<int>(SendMessageW(child, LB_GETCOUNT, 0, 0)));
    else if (wstr::EqualsNoCase(cls, L"SysListView32"))
        shown += wstr::Format(L" rows %d", static_cast<int>(SendMessageW(child, LVM_GETITEMCOUNT, 0, 0)));
    else if (wstr::EqualsNoCase(cls, L"msctls_trackbar32"))
        shown += wstr::Format(L" pos %d", static_cast<int>(SendMessageW(child, TBM_GETPOS, 0, 0)));
    (*reinterpret_cast<Shown*>(param))[id] = shown;
    return TRUE;
}

Shown ShownBy(HWND dialog)
{
    Shown shown;
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&shown));
    return shown;
}

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// What the page's template shows by itself, before any code of the page ran (a page template is
// a child dialog: it is made in a hidden window of the test).
Shown TemplateShows(UINT templateId)
{
    hvtest::ScopedWindow parent(CreateWindowExW(0, hvtest::TestWindowClass(), L"template", WS_POPUP, 0, 0, 600, 400,
                                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent, PlainDialog, 0);
    EXPECT_NE(nullptr, dialog) << templateId;
    return ShownBy(dialog);
}

// The controls whose look the page itself sets up in its initialisation (ranges, columns, enabling),
// whatever the device: left out of "shows nothing".
bool SetUpByThePage(UINT templateId, int id)
{
    return (templateId == IDD_ACCELERATION && id == IDC_ACCEL_LEVEL) ||
           (templateId == IDD_LED && (id == IDC_LED_EFFECT || id == IDC_LED_ON)) ||  // effects, box off
           (templateId == IDD_POWER_MANAGEMENT && id >= IDC_POWER_CRITICAL && id <= IDC_POWER_SLEEP) ||
           (templateId == IDD_SETTINGS && id == IDC_SETTINGS_LOG_PATH) ||  // not a device's
           (templateId == IDD_DEVICES && id == IDC_DEVICE_COMBO);          // the devices there are
}

class SheetTest : public BenchTest
{
protected:
    // Visits every tab and checks that no page shows anything its template does not. The APM page
    // does not come to the front without the device's feature: the sheet stays where it was.
    void ExpectEveryPageBlank(const char* context)
    {
        for (int tab = 0; tab < bench.Sheet().GetPageCount(); ++tab) {
            const UINT id = bench.Sheet().GetPage(tab)->GetTemplateId();
            if (id == IDD_APM) {
                EXPECT_FALSE(Select(id)) << context;
                EXPECT_EQ(tab - 1, bench.Sheet().GetActiveIndex()) << context;
                continue;
            }
            ASSERT_TRUE(Select(id)) << context << ": tab " << tab;
            Shown expected = TemplateShows(id);
            Shown actual = ShownBy(PageWindow(id));
            for (auto it = expected.begin(); it != expected.end();)
                it = SetUpByThePage(id, it->first) ? expected.erase(it) : std::next(it);
            for (auto it = actual.begin(); it != actual.end();)
                it = SetUpByThePage(id, it->first) ? actual.erase(it) : std::next(it);
            EXPECT_EQ(expected, actual) << context << ": page " << id;
        }
        EXPECT_TRUE(dialogs.messages.empty()) << context;
    }

    // Nothing of either device is advised, no raw input is registered and the redirector is off.
    void ExpectNothingHeld(const std::string& context)
    {
        int connectionLines = 0;
        for (const wchar_t* device : {L"keyboard", L"mouse"}) {
            for (const std::string& line : simtest::DumpLines(device)) {
                if (line.rfind("connection-point ", 0) == 0) {
                    ++connectionLines;
                    EXPECT_EQ("0", line.substr(line.rfind(' ') + 1)) << context << ": " << line;
                } else if (line.rfind("redirector ", 0) == 0) {
                    EXPECT_EQ("redirector 0", line) << context;
                }
            }
        }
        EXPECT_EQ(4 + 5, connectionLines) << context;
        EXPECT_EQ(0u, RawInputRegistrations()) << context;
    }
};

std::wstring InfoText(const CComPtr<IDevice>& device, bool firmware)
{
    DeviceInfo info = {};
    EXPECT_HRESULT_SUCCEEDED(device->GetDeviceInfo(&info));
    CoTaskMemFree(info.name);
    return firmware ? wstr::Format(L"Firmware version: %d.%02d", info.firmwareMajor, info.firmwareMinor)
                    : wstr::Format(L"Driver version: %d.%02d", info.driverMajor, info.driverMinor);
}

std::wstring LongVersionText(const CComPtr<IDevice>& device)
{
    CComPtr<ILongFirmwareVersion> version;
    EXPECT_HRESULT_SUCCEEDED(device.As(version));
    BYTE v[4] = {};
    if (version) {
        EXPECT_HRESULT_SUCCEEDED(version->GetVersion(&v[0], &v[1], &v[2], &v[3]));
    }
    return wstr::Format(L"Long Firmware version: %d.%02d.%02d.%d", v[0], v[1], v[2], v[3]);
}

} // namespace

TEST_F(SheetTest, TwentyOneTabsEveryPageBlankWithoutDeviceAndAPictureOfEach)
{
    Open();
    HWND tab = bench.Sheet().GetTabControl();
    ASSERT_EQ(21, SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    std::vector<std::wstring> tabs;
    for (int i = 0; i < 21; ++i)
        tabs.push_back(hvtest::TabText(tab, i));
    EXPECT_EQ(kTabs, tabs);
    EXPECT_EQ(L"Halvo Middleware Test Application", hvtest::TextOf(bench.Sheet().m_hWnd));

    // No device picked: every page comes to the front and shows nothing of its own.
    ExpectEveryPageBlank("no device");
    // The refresh test page was built but is never part of the sheet.
    EXPECT_EQ(nullptr, bench.RefreshTestPage().m_hWnd);
    EXPECT_EQ(-1, bench.Sheet().GetPageIndex(&bench.RefreshTestPage()));

    // A picture of every page, for the mouse and for the keyboard (which has no APM page).
    for (const wchar_t* device : {L"VEXA Mouse", L"VEXA Keyboard"}) {
        Select(107);
        ChooseDevice(device);
        for (int i = 0; i < 21; ++i) {
            const UINT id = bench.Sheet().GetPage(i)->GetTemplateId();
            const bool shown = Select(id);
            EXPECT_EQ(!(id == IDD_APM && device == std::wstring(L"VEXA Keyboard")), shown) << id;
            if (shown)
                CaptureSheet(wstr::Format(L"%ls-%02d-%ls", device + 5, i + 1, kTabs[static_cast<size_t>(i)].c_str()));
        }
    }
    // The calibration page took the mouse's LEDs first and keeps them: nothing to tell.
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SheetTest, PickedDeviceFillsTheInfoPageAndAVanishedNameKeepsIt)
{
    CComPtr<IDevice> mouse = Mouse();
    CComPtr<IDevice> keyboard = Keyboard();
    ASSERT_TRUE(mouse && keyboard);
    Open();
    HWND combo = Item(IDD_DEVICES, IDC_DEVICE_COMBO);
    ASSERT_EQ(2, SendMessageW(combo, CB_GETCOUNT, 0, 0));
    const auto name = [&](int index) {
        wchar_t text[64] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };
    EXPECT_EQ(L"VEXA Mouse", name(0));
    EXPECT_EQ(L"VEXA Keyboard", name(1));

    // The drop-down is as wide as its widest name needs.
    SendMessageW(PageWindow(IDD_DEVICES), WM_COMMAND, MAKEWPARAM(IDC_DEVICE_COMBO, CBN_DROPDOWN),
                 reinterpret_cast<LPARAM>(combo));
    EXPECT_GE(SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0), 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL));

    ChooseDevice(L"VEXA Mouse");
    ASSERT_TRUE(Select(IDD_DEVICE_INFO));
    EXPECT_EQ(InfoText(mouse, true), Text(IDD_DEVICE_INFO, IDC_INFO_FIRMWARE));
    EXPECT_EQ(InfoText(mouse, false), Text(IDD_DEVICE_INFO, IDC_INFO_DRIVER));
    EXPECT_EQ(LongVersionText(mouse), Text(IDD_DEVICE_INFO, IDC_INFO_LONG_FIRMWARE));
    EXPECT_NE(L"Long Firmware version: 0.00.00.0", Text(IDD_DEVICE_INFO, IDC_INFO_LONG_FIRMWARE));
    CaptureSheet(L"info-mouse");

    // Without the long version the line shows four zeros. (The device object the sheet holds keeps
    // the interfaces it answered once: the mouse is picked afresh.)
    simtest::Tool({L"feature", L"mouse", L"ILongFirmwareVersion", L"off"});
    Select(IDD_DEVICES);
    ChooseDevice(L"VEXA Mouse");
    Select(IDD_DEVICE_INFO);
    EXPECT_EQ(L"Long Firmware version: 0.00.00.0", Text(IDD_DEVICE_INFO, IDC_INFO_LONG_FIRMWARE));
    EXPECT_EQ(InfoText(mouse, true), Text(IDD_DEVICE_INFO, IDC_INFO_FIRMWARE));

    Select(IDD_DEVICES);
    ChooseDevice(L"VEXA Keyboard");
    Select(IDD_DEVICE_INFO);
    EXPECT_EQ(InfoText(keyboard, true), Text(IDD_DEVICE_INFO, IDC_INFO_FIRMWARE));
    EXPECT_EQ(LongVersionText(keyboard), Text(IDD_DEVICE_INFO, IDC_INFO_LONG_FIRMWARE));

    // The keyboard goes; picking its name (still listed) keeps the mouse, picked before.
    Select(IDD_DEVICES);
    ChooseDevice(L"VEXA Mouse");
    simtest::Tool({L"unplug", L"keyboard"});
    ChooseDevice(L"VEXA Keyboard");
    Select(IDD_KEYBOARD_LAYOUT);
    EXPECT_EQ(L"Keyboard layout: ", Text(IDD_KEYBOARD_LAYOUT, IDC_LAYOUT_CODE));  // the mouse has none
    Select(IDD_DEVICE_INFO);
    EXPECT_EQ(InfoText(mouse, true), Text(IDD_DEVICE_INFO, IDC_INFO_FIRMWARE));
    EXPECT_EQ(L"Long Firmware version: 0.00.00.0", Text(IDD_DEVICE_INFO, IDC_INFO_LONG_FIRMWARE));
    simtest::Tool({L"plug", L"keyboard"});
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SheetTest, UnregisteredMiddlewareLeavesTheListEmptyAndEveryPageBlank)
{
    hvtest::UnregisteredServer unregistered(CLSID_HvMwApi);
    ASSERT_TRUE(unregistered.Registered());
    Open();
    EXPECT_EQ(1, unregistered.Class().Creates());  // the sheet asked once, when it was initialised
    EXPECT_EQ(0, SendMessageW(Item(IDD_DEVICES, IDC_DEVICE_COMBO), CB_GETCOUNT, 0, 0));
    ExpectEveryPageBlank("unregistered");
    bench.Close();
    unregistered.Revoke();
    EXPECT_EQ(0u, unregistered.Class().Refs());
}

TEST_F(SheetTest, OkCancelAndTheCloseBoxEachLeaveNothingAdvisedOrRegistered)
{
    struct Way
    {
        const char* name;
        INT_PTR result;
    };
    const Way ways[] = {{"ok", IDOK}, {"cancel", IDCANCEL}, {"close box", IDCANCEL}};
    // The pages that hold a connection or a registration while they are in front, with the device
    // they hold it of.
    const std::pair<UINT, const wchar_t*> holders[] = {
        {IDD_KEYBOARD_REDIRECTOR, L"VEXA Keyboard"}, {IDD_OTF_MACRO, L"VEXA Keyboard"}, {IDD_HVAPP, L"VEXA Keyboard"},
        {IDD_MODE, L"VEXA Keyboard"},               {IDD_PROFILES, L"VEXA Mouse"},     {IDD_DPI, L"VEXA Mouse"},
        {IDD_SENSITIVITY_SCALER, L"VEXA Mouse"},
    };
    for (const Way& way : ways) {
        for (const auto& [page, device] : holders) {
            const std::string context = std::string(way.name) + " on page " + std::to_string(page);
            Open();
            ChooseDevice(device);
            ASSERT_TRUE(Select(page)) << context;
            if (page == IDD_PROFILES) {
                EXPECT_EQ(1, Connections(L"mouse", "_IProfileManagerEvents")) << context;
            } else if (page == IDD_DPI) {
                EXPECT_EQ(1, Connections(L"mouse", "_IDPIEvents")) << context;
                EXPECT_EQ(1, Connections(L"mouse", "_IDPIEvents2")) << context;
            } else if (page == IDD_SENSITIVITY_SCALER) {
                EXPECT_EQ(1, Connections(L"mouse", "_ISensitivityScalerEvents")) << context;
            } else if (page == IDD_KEYBOARD_REDIRECTOR) {
                Click(page, IDC_REDIR_ENABLE);
                EXPECT_EQ(1, Connections(L"keyboard", "_IKeyboardRedirectorEvents")) << context;
            } else if (page == IDD_OTF_MACRO) {
                EXPECT_EQ(1, Connections(L"keyboard", "_IOTFMacroRecordingEvents")) << context;
            } else if (page == IDD_HVAPP) {
                EXPECT_EQ(1, Connections(L"keyboard", "_IApplicationEvent")) << context;
            } else {
                EXPECT_EQ(2u, RawInputRegistrations()) << context;
            }

            if (way.result == IDOK)
                bench.Sheet().PressButton(PSBTN_OK);
            else if (std::string(way.name) == "cancel")
                bench.Sheet().PressButton(PSBTN_CANCEL);
            else
                SendMessageW(bench.Sheet().m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            hvtest::FlushMessages();
            ASSERT_TRUE(bench.Sheet().IsEnded()) << context;
            // Let go at once, before the window goes ...
            ExpectNothingHeld(context + ", ended");
            EXPECT_EQ(way.result, bench.Close()) << context;
            // ... and nothing taken up again while the pages went.
            ExpectNothingHeld(context + ", closed");
            EXPECT_EQ(nullptr, bench.Sheet().Root().Get());
            EXPECT_EQ(nullptr, bench.Sheet().Device().Get());
        }
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

// The program itself: its sheet comes up with the 21 tabs and the devices listed on the first page,
// and the program ends with it (the close box here).
TEST_F(SheetTest, ProgramShowsItsSheetAndEndsWithIt)
{
    hvtest::ChildProcess program;
    ASSERT_TRUE(program.Start(L"HvMwTestApp.exe")) << program.LastError();
    HWND sheet = program.WaitForWindow(nullptr, L"Halvo Middleware Test Application");
    ASSERT_NE(nullptr, sheet);
    HWND tab = hvtest::FindDescendant(sheet, WC_TABCONTROLW);
    ASSERT_NE(nullptr, tab);
    EXPECT_TRUE(hvtest::WaitUntil([&] { return SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0) == 21; }));
    EXPECT_EQ(0, SendMessageW(tab, TCM_GETCURSEL, 0, 0));
    // The first page is made while the sheet initialises, after its title and tabs.
    EXPECT_TRUE(hvtest::WaitUntil([&] {
        HWND combo = hvtest::FindDescendantById(sheet, IDC_DEVICE_COMBO);
        return combo && SendMessageW(combo, CB_GETCOUNT, 0, 0) == 2;
    }));
    PostMessageW(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(program.Wait(20000));
    EXPECT_EQ(0u, program.ExitCode());
}
