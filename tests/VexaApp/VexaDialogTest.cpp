// The configuration program's pieces in the test's own process: the main dialog over the
// registered simulator (routing, the shell seam, Apply against a running write), the wait for a
// device's write, and the start-up steps (installer values, keyboard layout, device ids, versions).
#include "SimTest.h"

#include "HvTest.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <thread>

#include "controls/ControlMessages.h"
#include "model/DeviceFactory.h"
#include "VexaApp/DeviceListener.h"
#include "VexaApp/DeviceWait.h"
#include "skin/FileVersions.h"
#include "model/KeyboardConfig.h"
#include "skin/KeyboardLayouts.h"
#include "model/MouseConfig.h"
#include "core/NameTables.h"
#include "model/ProfileFiles.h"
#include "platform/ShellOpen.h"
#include "skin/SkinResourceCache.h"
#include "VexaApp/VxApp.h"
#include "VexaApp/VxAppDlg.h"
#include "core/ItemIds.h"
#include "VexaInProcess.h"

using hvtest::WaitUntil;

namespace {

// Answers the shell's opens for the test and notes them.
class RecordingOpener : public IShellOpener
{
public:
    bool Open(HWND, const std::wstring& verb, const std::wstring& target, int) override
    {
        calls.emplace_back(verb, target);
        return true;
    }
    std::vector<std::pair<std::wstring, std::wstring>> calls;
};

class VexaDialogTest : public simtest::SimTest
{
protected:
    void TearDown() override
    {
        m_vexa.Close();
        SetShellOpener(nullptr);
        simtest::SimTest::TearDown();
    }

    CVxAppDlg& OpenDialog()
    {
        CVxAppDlg* dialog = m_vexa.Open();
        EXPECT_TRUE(dialog);
        return *dialog;
    }

    HWND Item(int id, bool visibleOnly = true) const { return m_vexa.Item(id, visibleOnly); }

    // What the item sends the dialog: its command, or one of its notices (with its window or id).
    void Command(HWND item, WORD code = BN_CLICKED)
    {
        ASSERT_TRUE(item);
        m_vexa.Command(item, code);
    }
    void Notice(UINT message, WPARAM wParam, LPARAM lParam) { m_vexa.Dialog().SendMessage(message, wParam, lParam); }

    vexatest::InProcessVexa m_vexa;
};

TEST_F(VexaDialogTest, HelpAndUpdateOpenTheManualAndTheSupportPageThroughTheShell)
{
    RecordingOpener opener;
    SetShellOpener(&opener);
    CVxAppDlg& dialog = OpenDialog();
    Command(Item(BUTTON_HELP));
    Command(Item(BUTTON_UPDATE));
    ASSERT_EQ(2u, opener.calls.size());
    EXPECT_EQ(L"OPEN", opener.calls[0].first);
    EXPECT_EQ(ProgramFolder() + L"Manuals\\index.html", opener.calls[0].second);
    EXPECT_EQ(L"OPEN", opener.calls[1].first);
    const std::wstring& page = opener.calls[1].second;
    EXPECT_EQ(0u, page.find(L"https://")) << "the support page is " << simtest::Narrow(page);
    const size_t path = page.find(L"/drivers/VEXA/win");
    ASSERT_NE(std::wstring::npos, path) << simtest::Narrow(page);
    EXPECT_EQ(path + 17, page.size());
    EXPECT_EQ(L".example", page.substr(path - 8, 8)) << "the host is a reserved example host";
    EXPECT_FALSE(dialog.IsUnsaved(CVxAppDlg::kMouse)) << "the footer's buttons mark nothing";
}

TEST_F(VexaDialogTest, OnlyItemsOfTheCurrentPageAreHeardAndEachOfTheirCommandsMarksTheProduct)
{
    CVxAppDlg& dialog = OpenDialog();
    ASSERT_EQ(CVxAppDlg::kMouse, dialog.CurrentProduct());
    ASSERT_EQ(1, dialog.CurrentPageNumber());
    EXPECT_TRUE(dialog.IsConnected(CVxAppDlg::kMouse));
    EXPECT_TRUE(dialog.IsConnected(CVxAppDlg::kKeyboard));
    EXPECT_FALSE(IsWindowEnabled(Item(BUTTON_APPLY)));
    // Pages shown once and left again: their items are there, hidden. Choosing pages marks nothing.
    Command(Item(BUTTON_MANAGEPROFILES));
    Command(Item(BUTTON_ASSIGNBUTTONS));
    Command(Item(BUTTON_PRODSELECT_KEYBOARD));
    Command(Item(BUTTON_PRODSELECT_MOUSE));
    ASSERT_EQ(CVxAppDlg::kMouse, dialog.CurrentProduct());
    ASSERT_EQ(1, dialog.CurrentPageNumber());
    EXPECT_FALSE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    EXPECT_FALSE(dialog.IsUnsaved(CVxAppDlg::kKeyboard));

    // Opening a drop-down marks nothing; items of pages not shown are not heard at all.
    const HWND dropdown = Item(BUTTON_ASSNLEFTCLICK);
    Notice(WM_DROPDOWN_CLICKED, 0, reinterpret_cast<LPARAM>(dropdown));
    const HWND otherPageButton = Item(BUTTON_NEWPROFILE_MOUSE, false);
    ASSERT_FALSE(IsWindowVisible(otherPageButton));
    Command(otherPageButton);
    Notice(WM_DROPDOWN_SELCHANGE, 0, reinterpret_cast<LPARAM>(Item(BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT, false)));
    Notice(WM_SLIDER_POSCHANGED, 3, FindItemIdByName(L"SLIDER_DPI_MULTI"));
    Notice(WM_MACRODISPLAY_CHANGED, 0, MACRO_DISPLAY);
    Notice(WM_LISTPANEL_ITEMCLICK, 0, LISTPANEL_ASSIGNOPTIONS);
    EXPECT_FALSE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    EXPECT_FALSE(dialog.IsUnsaved(CVxAppDlg::kKeyboard));
    EXPECT_EQ(1, dialog.CurrentPageNumber());

    // Any command of an item of the page marks the product, even one that changes nothing.
    Command(dropdown);
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    EXPECT_TRUE(IsWindowEnabled(Item(BUTTON_APPLY)));

    // Apply starts the write: saved, and Apply is not offered while it runs, edits or not.
    Command(Item(BUTTON_APPLY));
    EXPECT_TRUE(dialog.IsWriting(CVxAppDlg::kMouse));
    EXPECT_FALSE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    EXPECT_FALSE(IsWindowEnabled(Item(BUTTON_APPLY)));
    // (The left button's first entry is the click it has: taking that away would ask first.)
    Notice(WM_DROPDOWN_SELCHANGE, 0, reinterpret_cast<LPARAM>(dropdown));
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    EXPECT_FALSE(IsWindowEnabled(Item(BUTTON_APPLY)));
    // Another Apply meanwhile is refused by the running write, which says nothing of the device.
    Command(Item(BUTTON_APPLY));
    EXPECT_TRUE(dialog.IsConnected(CVxAppDlg::kMouse));
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    // Once it has ended, Apply is offered for the edits made meanwhile.
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Item(BUTTON_APPLY)) != FALSE; }, 30000));
    EXPECT_FALSE(dialog.IsWriting(CVxAppDlg::kMouse));

    // The page tabs: another page of the product, then its items are the ones heard.
    Command(Item(BUTTON_MANAGEPROFILES));
    EXPECT_EQ(3, dialog.CurrentPageNumber());
    EXPECT_TRUE(IsWindowVisible(otherPageButton));
    EXPECT_FALSE(Item(BUTTON_ASSNLEFTCLICK));
    Command(Item(BUTTON_MANAGEPROFILES));
    EXPECT_EQ(3, dialog.CurrentPageNumber());
}

TEST_F(VexaDialogTest, ADeviceThatLeavesIsMadeAgainAndTheOtherProductShown)
{
    CVxAppDlg& dialog = OpenDialog();
    Command(Item(BUTTON_ASSNLEFTCLICK));
    ASSERT_TRUE(dialog.IsUnsaved(CVxAppDlg::kMouse));

    simtest::Tool({L"unplug", L"mouse"});
    hvtest::FlushMessages();
    EXPECT_FALSE(dialog.IsConnected(CVxAppDlg::kMouse));
    EXPECT_EQ(CVxAppDlg::kKeyboard, dialog.CurrentProduct());
    EXPECT_EQ(6, dialog.CurrentPageNumber());
    EXPECT_EQ(0u, m_vexa.Mouse()->GetProductId()) << "the stand-by mouse was not put in place";
    EXPECT_EQ(20, m_vexa.MouseConfig()->GetProfileCount()) << "the stand-by mouse fills the configuration";
    EXPECT_FALSE(IsWindowEnabled(Item(BUTTON_PRODSELECT_MOUSE)));

    simtest::Tool({L"plug", L"mouse"});
    hvtest::FlushMessages();
    EXPECT_TRUE(dialog.IsConnected(CVxAppDlg::kMouse));
    EXPECT_EQ(0x22u, m_vexa.Mouse()->GetProductId()) << "the mouse's device object was not made again";
    EXPECT_EQ(5, m_vexa.MouseConfig()->GetProfileCount()) << "the mouse was not read again";
    EXPECT_EQ(CVxAppDlg::kKeyboard, dialog.CurrentProduct()) << "an arrival does not switch";
    Command(Item(BUTTON_PRODSELECT_MOUSE));
    EXPECT_EQ(CVxAppDlg::kMouse, dialog.CurrentProduct());
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kMouse)) << "the unsaved mark held while the mouse was away";
    EXPECT_TRUE(IsWindowEnabled(Item(BUTTON_APPLY)));
}

TEST_F(VexaDialogTest, WithoutDevicesNothingIsShownUntilOneComes)
{
    simtest::Tool({L"unplug", L"mouse"});
    simtest::Tool({L"unplug", L"keyboard"});
    CVxAppDlg& dialog = OpenDialog();
    EXPECT_EQ(CVxAppDlg::kNoProduct, dialog.CurrentProduct());
    EXPECT_EQ(0, dialog.CurrentPageNumber());
    EXPECT_FALSE(Item(BUTTON_ASSNLEFTCLICK));
    EXPECT_FALSE(Item(BITMAP_MOUSE_FOOTNOTE));
    // The notice that would end the dialog is not wanted here.
    KillTimer(dialog, CVxAppDlg::TIMER_NODEVICE);

    simtest::Tool({L"plug", L"keyboard"});
    hvtest::FlushMessages();
    EXPECT_EQ(CVxAppDlg::kKeyboard, dialog.CurrentProduct());
    EXPECT_EQ(6, dialog.CurrentPageNumber());
    EXPECT_TRUE(Item(BUTTON_RESET_KEYBOARD_KEYS));
    EXPECT_FALSE(dialog.IsUnsaved(CVxAppDlg::kKeyboard));
}

// ---- the wait for a device's write ----------------------------------------------------------------

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_APP)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, GetWindowLongPtrW(hwnd, GWLP_USERDATA) + (message == WM_APP ? 1 : 100));
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(DeviceWaitTest, AWaitForAWriteServesOnlyMessagesSentFromOtherThreadsWithItsWindowDisabled)
{
    hvtest::ScopedWindow window(hvtest::CreateTestWindow(200, 100));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc));
    std::atomic<bool> busy{true};
    std::atomic<bool> disabledSeen{false};
    std::thread writer([&] {
        // A window posted to must wait; one sent to from this thread is served during the wait.
        PostMessageW(window, WM_APP, 0, 0);
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, WM_APP + 1, 0, 0, SMTO_NORMAL, 10000, &result);
        disabledSeen = !IsWindowEnabled(window);
        busy = false;
    });
    WaitWhileBusy(window, [&] { return busy.load(); });
    writer.join();
    EXPECT_TRUE(disabledSeen) << "the window took input during the wait";
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(100, GetWindowLongPtrW(window, GWLP_USERDATA)) << "the sent message was served, the posted one kept";
    hvtest::FlushMessages();
    EXPECT_EQ(101, GetWindowLongPtrW(window, GWLP_USERDATA));

    // No wait at all when nothing runs; a disabled window stays disabled.
    EnableWindow(window, FALSE);
    WaitWhileBusy(window, [] { return false; });
    EXPECT_FALSE(IsWindowEnabled(window));
}

// ---- start-up steps --------------------------------------------------------------------------------

TEST(VexaStartTest, InstallerValuesLanguageAndInstallDirectory)
{
    ASSERT_TRUE(hvtest::SetInstallerValues(L"C:\\Program Files\\Halvo\\VEXA\\", L"german"));
    InstallerSettings settings = ReadInstallerSettings();
    EXPECT_TRUE(settings.keyOpen);
    EXPECT_EQ(L"C:\\Program Files\\Halvo\\VEXA", settings.installDir) << "one trailing backslash removed";
    EXPECT_EQ(FindLanguageIdByName(L"German"), LanguageCodeOf(settings)) << "names compare without case";
    EXPECT_NE(0, LanguageCodeOf(settings));

    ASSERT_TRUE(hvtest::SetInstallerValues(L"C:\\Halvo", L"Klingon"));
    settings = ReadInstallerSettings();
    EXPECT_EQ(L"C:\\Halvo", settings.installDir);
    EXPECT_EQ(-1, LanguageCodeOf(settings));

    // Missing values: English, and no install directory (the tray is not started).
    ASSERT_TRUE(hvtest::SetInstallerValues(L"", L""));
    settings = ReadInstallerSettings();
    EXPECT_TRUE(settings.keyOpen);
    EXPECT_TRUE(settings.installDir.empty());
    EXPECT_EQ(0, LanguageCodeOf(settings));
    // An empty "InstallDir" counts as missing.
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstallerKey, 0, KEY_SET_VALUE, &key));
    const wchar_t empty[] = L"";
    RegSetValueExW(key, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(empty), sizeof(empty));
    RegCloseKey(key);
    EXPECT_TRUE(ReadInstallerSettings().installDir.empty());
}

// The layouts' system calls: loading succeeds only for the layouts named here.
std::vector<std::wstring> g_loadable;
std::vector<std::wstring> g_loaded;
HKL WINAPI FakeCurrent(DWORD) { return reinterpret_cast<HKL>(0x04090409); }
HKL WINAPI FakeLoad(LPCWSTR name, UINT)
{
    g_loaded.push_back(name);
    for (size_t i = 0; i < g_loadable.size(); ++i)
        if (g_loadable[i] == name)
            return reinterpret_cast<HKL>(static_cast<intptr_t>(0x1000 + i));
    return nullptr;
}
HKL WINAPI FakeActivate(HKL, UINT) { return reinterpret_cast<HKL>(0x04090409); }
BOOL WINAPI FakeUnload(HKL) { return TRUE; }

TEST_F(VexaDialogTest, TheKeyboardsLayoutIsActivatedOrElseTheEnglishOne)
{
    // Without a keyboard, or one that does not answer: English.
    EXPECT_EQ(KBLAYOUT_ENGLISH, ChooseKeyboardLayoutItem(nullptr));
    CVxConfig_Keyboard config;
    IGenKeyboard* keyboard = nullptr;
    simtest::Tool({L"set", L"keyboard", L"layout", L"3"});
    ASSERT_TRUE(CreateKeyboardDevice(g_KeyboardDescriptor, &keyboard, &config));
    EXPECT_EQ(FindKeyboardLayoutItemId(3), ChooseKeyboardLayoutItem(keyboard));
    EXPECT_NE(KBLAYOUT_ENGLISH, ChooseKeyboardLayoutItem(keyboard));
    simtest::Tool({L"set", L"keyboard", L"layout", L"99"});
    EXPECT_EQ(-1, ChooseKeyboardLayoutItem(keyboard)) << "a code the table does not know";
    DestroyDevices();

    CKeyboardLayouts layouts({&FakeCurrent, &FakeLoad, &FakeActivate, &FakeUnload});
    CKeyboardLayoutSetting english;
    english.layoutName = L"00000409";
    CKeyboardLayoutSetting german;
    german.layoutName = L"00000407";
    const int32_t germanId = FindKeyboardLayoutItemId(3);
    layouts.Register(KBLAYOUT_ENGLISH, &english);
    layouts.Register(germanId, &german);
    g_loadable = {L"00000409", L"00000407"};
    EXPECT_TRUE(ActivateKeyboardLayoutItem(layouts, germanId));
    EXPECT_EQ(&german, layouts.Active());
    // A layout the system cannot load (Wine's keyboard layouts are a stub) and an unknown item:
    // the English layout instead.
    g_loadable = {L"00000409"};
    EXPECT_TRUE(ActivateKeyboardLayoutItem(layouts, germanId));
    EXPECT_EQ(&english, layouts.Active());
    EXPECT_TRUE(ActivateKeyboardLayoutItem(layouts, -1));
    EXPECT_EQ(&english, layouts.Active());
    g_loadable.clear();
    EXPECT_FALSE(ActivateKeyboardLayoutItem(layouts, germanId));
    EXPECT_EQ(nullptr, layouts.Active());
    layouts.Unregister(&english);
    layouts.Unregister(&german);
}

TEST(VexaStartTest, DeviceIdsAreReadFromDevicePathsWithinTheirRecords)
{
    const std::wstring path = L"\\\\?\\hid#vid_9d17&pid_0023#7&2&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    EXPECT_EQ(0x9D17u, ParseDeviceId(path, L"VID_"));
    EXPECT_EQ(0x23u, ParseDeviceId(path, L"PID_"));
    EXPECT_EQ(0u, ParseDeviceId(L"\\\\?\\USB#ROOT_HUB", L"VID_"));
    EXPECT_EQ(0u, ParseDeviceId(L"HID#VID_", L"VID_")) << "nothing after the token";
    EXPECT_EQ(0x2u, ParseDeviceId(L"HID#PID_2#", L"PID_")) << "digits up to the first that is none";
    EXPECT_EQ(0x1234u, ParseDeviceId(L"PID_123456", L"PID_")) << "four digits at most";

    // A record's name is read within its size, whatever follows it.
    const std::wstring name = L"\\\\?\\HID#VID_9D17&PID_0022#X";
    std::vector<BYTE> block(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (name.size() + 8) * 2, 0xCC);
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(block.data());
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::copy(name.begin(), name.end(), record->dbcc_name);
    record->dbcc_size = static_cast<DWORD>(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + 12 * 2);
    std::wstring read;
    ASSERT_TRUE(DeviceInterfacePathOf(reinterpret_cast<LPARAM>(record), &read));
    EXPECT_EQ(name.substr(0, 12), read) << "an unterminated name ends with its record";
    record->dbcc_size = static_cast<DWORD>(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name));
    EXPECT_FALSE(DeviceInterfacePathOf(reinterpret_cast<LPARAM>(record), &read)) << "a record without a name";
    record->dbcc_size = static_cast<DWORD>(block.size());
    record->dbcc_devicetype = DBT_DEVTYP_VOLUME;
    EXPECT_FALSE(DeviceInterfacePathOf(reinterpret_cast<LPARAM>(record), &read));
    EXPECT_FALSE(DeviceInterfacePathOf(0, &read));
}

TEST(VexaStartTest, VersionsComeFromTheFilesVersionRecord)
{
    // This test program carries the configuration program's resources, its version record among them.
    CFileVersions own;
    own.SetModulePath();
    ASSERT_TRUE(own.ReadVersions());
    EXPECT_EQ(L"1.3.0.19", own.FileVersion());
    EXPECT_EQ(L"1.3.0.0", own.ProductVersion());
    EXPECT_EQ(L"1", own.ProductPart(0));
    EXPECT_EQ(L"3", own.ProductPart(1));
    EXPECT_EQ(L"19", own.FilePart(3));
    EXPECT_EQ(L"", own.FilePart(4));

    // A file without a version record, and no file: the versions stay "0.0.0.0".
    CFileVersions none;
    EXPECT_FALSE(none.ReadVersions());
    none.SetPath(hvtest::SkinImageDir() + L"\\xml\\MainPage.xml");
    EXPECT_FALSE(none.ReadVersions());
    EXPECT_EQ(L"0.0.0.0", none.FileVersion());
    EXPECT_EQ(L"0.0.0.0", none.ProductVersion());
    EXPECT_EQ(L"0", none.ProductPart(1));
}

} // namespace
