// The main dialog in the test's own process where devices come and go and writes fail: device
// notices sent while a question, a wait for a write or a recording is under way, writes the
// simulator refuses, and the dialog without any device. Checked on the simulator's dump and
// journal and on the dialog's windows.
#include "SimTest.h"

#include "HvTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

#include "skin/PanelBitmap.h"
#include "controls/PopupBox.h"
#include "PopupScript.h"
#include "VexaInProcess.h"
#include "VexaApp/VxAppDlg.h"
#include "VexaApp/VxAppNotices.h"
#include "core/ItemIds.h"

using hvtest::WaitUntil;
using vexatest::PopupScript;

namespace {

// A write ends by setting the active profile; the mouse writes its polling rate once per write.
constexpr const char* kWriteEnd = "IProfileManager.SetActiveProfile";
constexpr const wchar_t* kMouseWriteMethod = L"IPollingRate.SetRate";

size_t CountCalls(const char* device, const char* method)
{
    const std::string prefix = std::string(device) + " ";
    size_t count = 0;
    for (const std::string& line : simtest::JournalLines())
        if (line.compare(0, prefix.size(), prefix) == 0 && line.find(method) != std::string::npos)
            ++count;
    return count;
}

std::string DeviceMode(const wchar_t* device)
{
    const std::vector<std::string> lines = simtest::DumpLines(device, "mode ");
    return lines.empty() ? std::string() : lines[0];
}

struct PopupSearch
{
    HWND main;
    HWND found;
};

BOOL CALLBACK FindOwnedPopup(HWND hwnd, LPARAM data)
{
    auto* search = reinterpret_cast<PopupSearch*>(data);
    if (hwnd != search->main && IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == search->main)
        search->found = hwnd;
    return TRUE;
}

// A visible popup window of this thread other than the dialog, made by the dialog's modal loops.
HWND VisiblePopupOf(DWORD thread, HWND main)
{
    PopupSearch search{main, nullptr};
    EnumThreadWindows(thread, FindOwnedPopup, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The background picture of a panel as pixels, for comparing with what the window shows.
hvtest::Bitmap BackgroundPixels(CGUIPanel& panel)
{
    CPanelBitmap* background = panel.Background();
    if (!background || !background->GetSafeHandle())
        return {};
    const CSize size = background->GetSize();
    hvtest::Bitmap pixels(size.cx, size.cy);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    const int lines = GetDIBits(screen, static_cast<HBITMAP>(*background), 0, size.cy, pixels.Data(), &info,
                                DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (lines != size.cy)
        return {};
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            pixels.SetPixel(x, y, pixels.Pixel(x, y) & 0xFFFFFF);
    return pixels;
}

class VexaDeviceNoticesTest : public simtest::SimTest
{
protected:
    void TearDown() override
    {
        m_vexa.Close();
        simtest::Tool({L"delay", L"0"});
        simtest::Tool({L"fail", L"clear"});
        simtest::SimTest::TearDown();
    }

    CVxAppDlg& OpenDialog()
    {
        CVxAppDlg* dialog = m_vexa.Open();
        EXPECT_TRUE(dialog);
        return *dialog;
    }

    HWND Item(int id, bool visibleOnly = true) const { return m_vexa.Item(id, visibleOnly); }
    bool Enabled(int id) const
    {
        const HWND item = Item(id, false);
        return item && IsWindowEnabled(item);
    }
    void Command(int id)
    {
        const HWND item = Item(id, false);
        ASSERT_TRUE(item) << "no item " << id;
        m_vexa.Command(item);
    }
    // Marks the mouse unsaved as a page item's change does.
    void EditMouse()
    {
        Command(BUTTON_ASSNLEFTCLICK);
        ASSERT_TRUE(m_vexa.Dialog().IsUnsaved(CVxAppDlg::kMouse));
    }
    // Runs action with the popups it opens answered by steps; every step must have been used.
    void WithPopups(std::initializer_list<PopupScript::Step> steps, const std::function<void()>& action)
    {
        PopupScript script;
        for (const PopupScript::Step& step : steps)
            script.Expect(step);
        action();
        EXPECT_TRUE(WaitUntil([&] {
            hvtest::FlushMessages();
            return script.Done();
        }, 60000)) << script.Left() << " popups did not come";
        hvtest::FlushMessages();
    }

    vexatest::InProcessVexa m_vexa;
};

TEST_F(VexaDeviceNoticesTest, AFailedWriteIsToldAndLeavesTheProductUnsavedUntilAWriteSucceeds)
{
    CVxAppDlg& dialog = OpenDialog();
    EditMouse();
    simtest::Tool({L"fail", L"mouse", kMouseWriteMethod, L"0x80004005", L"always"});

    // Apply: the write fails on the device; the user is told, and Apply is offered again.
    std::wstring heading;
    WithPopups({PopupScript::Answer(kWriteFailedNoticeLayout, BUTTON_POPUP_SINGLE_OK, &heading)},
               [&] { Command(BUTTON_APPLY); });
    EXPECT_EQ(WriteFailedHeading(), heading);
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    EXPECT_TRUE(Enabled(BUTTON_APPLY)) << "Apply is not offered after a failed write";
    EXPECT_TRUE(dialog.IsConnected(CVxAppDlg::kMouse)) << "a refused write item is not a missing device";

    // The device takes writes again: a second Apply writes, and nothing is told.
    simtest::Tool({L"fail", L"clear"});
    const size_t writes = CountCalls("mouse", kWriteEnd);
    WithPopups({}, [&] {
        Command(BUTTON_APPLY);
        ASSERT_TRUE(WaitUntil([&] {
            hvtest::FlushMessages();
            return !dialog.IsWriting(CVxAppDlg::kMouse);
        }, 60000));
    });
    EXPECT_EQ(writes + 1, CountCalls("mouse", kWriteEnd)) << "the second Apply did not write";
    EXPECT_FALSE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    EXPECT_FALSE(dialog.HasUntoldWriteFailure(CVxAppDlg::kMouse));
    EXPECT_FALSE(Enabled(BUTTON_APPLY));

    // OK with a failing write: told, and the dialog stays; OK again once the device takes it ends it.
    EditMouse();
    simtest::Tool({L"fail", L"mouse", kMouseWriteMethod, L"0x80004005", L"always"});
    WithPopups({PopupScript::Answer(kWriteFailedNoticeLayout, BUTTON_POPUP_SINGLE_OK)}, [&] { Command(BUTTON_OK); });
    EXPECT_TRUE(IsWindowVisible(dialog.m_hWnd)) << "OK ended the dialog after a failed write";
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kMouse));
    EXPECT_TRUE(Enabled(BUTTON_APPLY));
    simtest::Tool({L"fail", L"clear"});
    WithPopups({}, [&] { Command(BUTTON_OK); });
    EXPECT_FALSE(IsWindowVisible(dialog.m_hWnd)) << "OK did not end the dialog";

    // The notice as it shows.
    EXPECT_TRUE(hvtest::Bitmap::Load(hvtest::TestFile(L"popup_ExportProfileWarningPopup.bmp")).Width() > 0);
}

TEST_F(VexaDeviceNoticesTest, ASaveBeforeASwitchThatFailsIsToldAndTheProductKeepsItsMark)
{
    CVxAppDlg& dialog = OpenDialog();
    EditMouse();
    simtest::Tool({L"fail", L"mouse", kMouseWriteMethod, L"0x80004005", L"always"});
    // Yes to the save: the keyboard is shown while the mouse is written; then the failure is told.
    WithPopups({PopupScript::Answer(L"RefreshBeforeProductSwitchPopup.xml", BUTTON_POPUP_YES),
                PopupScript::Answer(kWriteFailedNoticeLayout, BUTTON_POPUP_SINGLE_OK)},
               [&] { Command(BUTTON_PRODSELECT_KEYBOARD); });
    EXPECT_EQ(CVxAppDlg::kKeyboard, dialog.CurrentProduct());
    simtest::Tool({L"fail", L"clear"});
    // Back on the mouse: unsaved, so that Apply writes it again.
    WithPopups({}, [&] { Command(BUTTON_PRODSELECT_MOUSE); });
    EXPECT_EQ(CVxAppDlg::kMouse, dialog.CurrentProduct());
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kMouse)) << "the failed save's product came back saved";
    EXPECT_TRUE(Enabled(BUTTON_APPLY));
}

TEST_F(VexaDeviceNoticesTest, ADeviceLeavingDuringItsWriteIsToldAsAFailedWrite)
{
    CVxAppDlg& dialog = OpenDialog();
    // Long enough for the tool to start and announce the removal while the write still runs.
    simtest::Tool({L"delay", L"6000", L"IProfileManager.SetActiveProfile"});
    EditMouse();
    Command(BUTTON_APPLY);
    ASSERT_TRUE(dialog.IsWriting(CVxAppDlg::kMouse));
    // The mouse leaves while the dialog waits for its write (as OK does): the notice is not served
    // inside the wait; the device object is made again only after it, and the write told as failed.
    hvtest::ChildProcess unplug;
    hvtest::StartOptions options;
    options.hidden = true;
    ASSERT_TRUE(unplug.Start(hvtest::BinFile(L"mwsim.exe"), {L"unplug", L"mouse"}, options));
    dialog.WaitForMouse();
    EXPECT_EQ(0x22u, m_vexa.Mouse()->GetProductId()) << "the device object was made again inside the wait";
    EXPECT_EQ(CVxAppDlg::kMouse, dialog.CurrentProduct()) << "the product changed inside the wait";
    // From here on messages are served (the tool's runs too): the notice of the failed write comes.
    PopupScript script;
    script.Expect(PopupScript::Answer(kWriteFailedNoticeLayout, BUTTON_POPUP_SINGLE_OK));
    simtest::Tool({L"delay", L"0"});
    EXPECT_TRUE(unplug.Wait(30000));
    EXPECT_TRUE(WaitUntil([&] {
        hvtest::FlushMessages();
        return !dialog.IsConnected(CVxAppDlg::kMouse) && script.Done();
    }, 30000)) << "the removal was not handled after the wait, or its failed write not told";
    EXPECT_EQ(0u, m_vexa.Mouse()->GetProductId()) << "the stand-by mouse is in place";
    EXPECT_EQ(CVxAppDlg::kKeyboard, dialog.CurrentProduct());
    // Back with the mouse, its edits are still unsaved.
    simtest::Tool({L"plug", L"mouse"});
    hvtest::FlushMessages();
    Command(BUTTON_PRODSELECT_MOUSE);
    EXPECT_TRUE(dialog.IsUnsaved(CVxAppDlg::kMouse));
}

TEST_F(VexaDeviceNoticesTest, TheProductChosenLeavingDuringTheSaveQuestionStopsTheSwitch)
{
    CVxAppDlg& dialog = OpenDialog();
    EditMouse();
    // While the question is up, the keyboard leaves; Yes saves the mouse, which stays shown.
    WithPopups({[](CPopupBox& popup) {
                    EXPECT_EQ(L"RefreshBeforeProductSwitchPopup.xml", popup.LayoutFile());
                    simtest::Tool({L"unplug", L"keyboard"});
                    hvtest::FlushMessages();
                    hvtest::PostItemCommand(popup.m_hWnd, BUTTON_POPUP_YES, false);
                }},
               [&] { Command(BUTTON_PRODSELECT_KEYBOARD); });
    EXPECT_EQ(CVxAppDlg::kMouse, dialog.CurrentProduct()) << "switched to a keyboard that had left";
    EXPECT_EQ(1, dialog.CurrentPageNumber());
    EXPECT_FALSE(dialog.IsConnected(CVxAppDlg::kKeyboard));
    EXPECT_FALSE(Enabled(BUTTON_PRODSELECT_KEYBOARD));
    EXPECT_TRUE(WaitUntil([&] {
        hvtest::FlushMessages();
        return CountCalls("mouse", kWriteEnd) == 1 && !dialog.IsWriting(CVxAppDlg::kMouse);
    }, 60000)) << "the mouse was not saved";
    EXPECT_EQ(0u, CountCalls("keyboard", kWriteEnd));
}

TEST_F(VexaDeviceNoticesTest, TheCurrentProductLeavingDuringTheSettleWaitIsHandledAfterItAndNothingElseIsSaved)
{
    CVxAppDlg& dialog = OpenDialog();
    simtest::Tool({L"delay", L"3000", L"IProfileManager.SetActiveProfile"});
    EditMouse();
    Command(BUTTON_APPLY);
    ASSERT_TRUE(dialog.IsWriting(CVxAppDlg::kMouse));
    EditMouse();

    // Yes to the save; then the switch waits for the running write, and the mouse leaves meanwhile.
    const HWND main = dialog.m_hWnd;
    const DWORD thread = GetCurrentThreadId();
    std::atomic<bool> sent{false};
    std::thread leave([&] {
        const bool waiting = WaitUntil([&] { return !IsWindowEnabled(main) && !VisiblePopupOf(thread, main); }, 30000);
        EXPECT_TRUE(waiting) << "the switch did not wait for the write";
        simtest::Tool({L"unplug", L"mouse"});
        sent = true;
    });
    WithPopups({PopupScript::Answer(L"RefreshBeforeProductSwitchPopup.xml", BUTTON_POPUP_YES),
                PopupScript::Answer(kWriteFailedNoticeLayout, BUTTON_POPUP_SINGLE_OK)},
               [&] { Command(BUTTON_PRODSELECT_KEYBOARD); });
    leave.join();
    EXPECT_TRUE(sent);
    hvtest::FlushMessages();
    // The save did not reach the mouse, which left; the keyboard was never written in its place.
    EXPECT_FALSE(dialog.IsConnected(CVxAppDlg::kMouse));
    EXPECT_EQ(CVxAppDlg::kKeyboard, dialog.CurrentProduct());
    EXPECT_EQ(0u, CountCalls("keyboard", kWriteEnd)) << "the keyboard was saved in the mouse's place";
    EXPECT_FALSE(dialog.IsUnsaved(CVxAppDlg::kKeyboard));
}

TEST_F(VexaDeviceNoticesTest, AnArrivalWhileAKeyboardMacroRecordsLeavesTheTabsOffAndTheEndStopsTheRecording)
{
    simtest::Tool({L"unplug", L"mouse"});
    CVxAppDlg& dialog = OpenDialog();
    ASSERT_EQ(CVxAppDlg::kKeyboard, dialog.CurrentProduct());
    Command(BUTTON_MANAGEMACROS_KEYBOARD);
    ASSERT_EQ(8, dialog.CurrentPageNumber());
    WithPopups({PopupScript::TypeName(L"MacroNamePopup.xml", L"Keys")}, [&] { Command(BUTTON_MACRO_CREATE_KEYBOARD); });
    Command(BUTTON_MACRO_RECORD_KEYBOARD);
    ASSERT_TRUE(dialog.IsRecording());
    ASSERT_EQ(std::string("mode 2"), DeviceMode(L"keyboard"));

    // The mouse arrives: it is read and its tab knows it, but nothing can be chosen while recording.
    simtest::Tool({L"plug", L"mouse"});
    hvtest::FlushMessages();
    EXPECT_TRUE(dialog.IsConnected(CVxAppDlg::kMouse));
    EXPECT_FALSE(Enabled(BUTTON_PRODSELECT_MOUSE)) << "an arrival enabled the mouse tab while recording";
    for (int tab = BUTTON_ASSIGNKEYS; tab <= BUTTON_LIGHTINGMAINTENANCE_KEYBOARD; ++tab)
        EXPECT_FALSE(Enabled(tab)) << "page tab " << tab;
    EXPECT_FALSE(Enabled(BUTTON_OK));
    // A click that still reaches the mouse tab, Escape and closing do nothing while recording.
    Command(BUTTON_PRODSELECT_MOUSE);
    EXPECT_EQ(CVxAppDlg::kKeyboard, dialog.CurrentProduct());
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    dialog.SendMessage(WM_CLOSE);
    EXPECT_TRUE(IsWindowVisible(dialog.m_hWnd));
    EXPECT_TRUE(dialog.IsRecording());
    EXPECT_EQ(std::string("mode 2"), DeviceMode(L"keyboard"));

    // The recording ends: the mouse can be chosen.
    Command(BUTTON_MACRO_RECORD_KEYBOARD);
    EXPECT_FALSE(dialog.IsRecording());
    EXPECT_TRUE(Enabled(BUTTON_PRODSELECT_MOUSE));
    EXPECT_EQ(std::string("mode 1"), DeviceMode(L"keyboard"));

    // The session ends while recording: the keyboard is back in its normal mode before it goes.
    Command(BUTTON_MACRO_RECORD_KEYBOARD);
    ASSERT_EQ(std::string("mode 2"), DeviceMode(L"keyboard"));
    dialog.SendMessage(WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(dialog.IsRecording());
    EXPECT_EQ(std::string("mode 1"), DeviceMode(L"keyboard"));

    // Recording again, the dialog's window goes (as at any end of the program): the recording stops
    // first and the keyboard is back in its normal mode.
    Command(BUTTON_MACRO_RECORD_KEYBOARD);
    ASSERT_EQ(std::string("mode 2"), DeviceMode(L"keyboard"));
    dialog.DestroyWindow();
    EXPECT_EQ(std::string("mode 1"), DeviceMode(L"keyboard")) << "the program ended with the keyboard recording";
}

TEST_F(VexaDeviceNoticesTest, WithoutDevicesNeitherProductsTabsAreDrawn)
{
    simtest::Tool({L"unplug", L"mouse"});
    simtest::Tool({L"unplug", L"keyboard"});
    CVxAppDlg& dialog = OpenDialog();
    KillTimer(dialog.m_hWnd, CVxAppDlg::TIMER_NODEVICE);
    ASSERT_EQ(CVxAppDlg::kNoProduct, dialog.CurrentProduct());
    for (int tab = BUTTON_ASSIGNBUTTONS; tab <= BUTTON_LIGHTINGMAINTENANCE_KEYBOARD; ++tab)
        EXPECT_FALSE(Item(tab)) << "page tab " << tab << " is shown";

    // Where the tabs lie the picture shows the window's background, not tabs over each other.
    RedrawWindow(dialog.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const hvtest::Bitmap picture = hvtest::CaptureClient(dialog.m_hWnd);
    ASSERT_FALSE(picture.Empty());
    EXPECT_TRUE(picture.SaveToTestDir(L"no_device_main.bmp"));
    const hvtest::Bitmap background = BackgroundPixels(dialog);
    ASSERT_FALSE(background.Empty());
    for (int tab = BUTTON_ASSIGNBUTTONS; tab <= BUTTON_LIGHTINGMAINTENANCE_KEYBOARD; ++tab) {
        // The keyboard's tabs are made when the keyboard is first shown: none of them here. The
        // mouse's lie where they would.
        const HWND window = Item(tab, false);
        if (tab >= BUTTON_ASSIGNKEYS) {
            EXPECT_FALSE(window) << "page tab " << tab << " was made without a keyboard";
            continue;
        }
        ASSERT_TRUE(window);
        RECT rect{};
        GetWindowRect(window, &rect);
        MapWindowPoints(nullptr, dialog.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        int differing = 0;
        for (int y = std::max<LONG>(rect.top, 0); y < rect.bottom && y < picture.Height() && y < background.Height(); ++y)
            for (int x = std::max<LONG>(rect.left, 0); x < rect.right && x < picture.Width() && x < background.Width(); ++x)
                differing += (picture.Pixel(x, y) & 0xFFFFFF) != background.Pixel(x, y);
        EXPECT_EQ(0, differing) << "page tab " << tab << " is drawn";
    }
}

} // namespace
