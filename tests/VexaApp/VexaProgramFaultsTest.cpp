// The configuration program run as the user runs it, where things go wrong: many copies started at
// once, faulty files in its install directory, and devices that leave and come back while it waits
// for a write or asks before a product switch. Checked on its windows and on the simulator's dump
// and journal.
#include "VexaProgram.h"

#include "SimTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <regex>
#include <thread>

#include "platform/WStr.h"
#include "core/ItemIds.h"

using namespace vexatest;
using hvtest::WaitUntil;

namespace {

constexpr int kMessageText = 262;  // TEXT_WARNDLG_MESSAGE of the notices
constexpr const char* kWriteEnd = "IProfileManager.SetActiveProfile";
// An item each mouse page shows and no other page has: pages 1 to 5.
constexpr int kMousePageMarkers[] = {107, 286, 130, 122, 116};

size_t CountCalls(const char* device, const char* method)
{
    size_t count = 0;
    for (const std::string& line : JournalOf(device))
        count += line.find(method) != std::string::npos;
    return count;
}

size_t CountChanges(const char* device)
{
    size_t count = 0;
    for (const std::string& line : JournalOf(device)) {
        const size_t dot = line.find('.');
        if (dot == std::string::npos)
            continue;
        const std::string method = line.substr(dot + 1);
        count += method.rfind("Get", 0) != 0 && method.rfind("Is", 0) != 0 && method.rfind("Enum", 0) != 0;
    }
    return count;
}

// The running copies of the configuration program: their visible main windows.
std::vector<HWND> MainWindows()
{
    std::vector<HWND> found;
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, kMainClass, nullptr)) != nullptr)
        found.push_back(window);
    return found;
}

std::string ReadText(const std::wstring& path)
{
    const std::vector<uint8_t> bytes = simtest::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

bool WriteText(const std::wstring& path, const std::string& text)
{
    simtest::WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
    return ReadText(path) == text;
}

// A picture of another program's window once it shows what shown() looks for in it.
hvtest::Bitmap PictureShowing(HWND window, const std::function<bool(const hvtest::Bitmap&)>& shown)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    hvtest::Bitmap picture;
    WaitUntil([&] {
        picture = hvtest::CaptureWindow(window);
        return !picture.Empty() && shown(picture);
    }, 10000);
    return picture;
}

// Rows of rect (window coordinates) that hold light text pixels.
int TextRows(const hvtest::Bitmap& picture, const RECT& rect)
{
    int rows = 0;
    for (int y = std::max<LONG>(rect.top, 0); y < rect.bottom && y < picture.Height(); ++y) {
        bool text = false;
        for (int x = std::max<LONG>(rect.left, 0); x < rect.right && x < picture.Width() && !text; ++x)
            text = hvtest::ColorNear(picture.At(x, y), RGB(255, 255, 255), 60);
        rows += text;
    }
    return rows;
}

// A copy of the install directory of its own, with files to break.
std::wstring BrokenInstall(const wchar_t* name)
{
    hvtest::InstallLayout layout;
    layout.dir = hvtest::TestFile(name);
    layout.programs = {L"HalvoVexaConfig.exe"};
    layout.standIns = {kTrayProgram};
    EXPECT_TRUE(hvtest::LayOutInstall(layout)) << "the install directory could not be laid out";
    return layout.dir;
}

class VexaProgramFaultsTest : public simtest::SimTest
{
protected:
    void SetUp() override
    {
        simtest::SimTest::SetUp();
        PrepareInstall();
    }
    void TearDown() override
    {
        simtest::Tool({L"delay", L"0"});
        simtest::Tool({L"fail", L"clear"});
        hvtest::SetInstallerValues(InstallDir(), L"English");
        simtest::SimTest::TearDown();
    }

    static void EditMouse(VexaProgram& program)
    {
        ASSERT_TRUE(program.ChooseInDropdown(107, 0));
        ASSERT_TRUE(program.WaitForItemEnabled(BUTTON_APPLY, true)) << "a change offers Apply";
    }
    // The program waits for a write with its window disabled and nothing else up.
    static bool WaitForTheWait(VexaProgram& program)
    {
        return WaitUntil([&] { return !IsWindowEnabled(program.Main()) && !program.Popup(); }, kSlowMs);
    }
};

TEST_F(VexaProgramFaultsTest, CopiesStartedTogetherOrCloseAfterEachOtherLeaveOneRunning)
{
    // What one copy asks the devices from its start to its close.
    size_t oneCopy[2] = {};
    {
        VexaProgram program;
        ASSERT_TRUE(program.Start(true));
        PostMessageW(program.Main(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.WaitForExit());
        oneCopy[0] = JournalOf("mouse").size();
        oneCopy[1] = JournalOf("keyboard").size();
        ASSERT_GT(oneCopy[0], 0u) << "the reads are not journaled";
    }

    // Twenty at once: one reads the devices and shows its window, the others raise it and end.
    {
        std::vector<hvtest::ChildProcess> copies(20);
        hvtest::StartOptions options;
        options.workDir = hvtest::TestDir();
        options.env = {{L"HV_MWSIM_JOURNAL_READS", L"1"}};
        for (hvtest::ChildProcess& copy : copies)
            ASSERT_TRUE(copy.Start(InstallDir() + L"\\HalvoVexaConfig.exe", {}, options));
        const auto running = [&] {
            return std::count_if(copies.begin(), copies.end(), [](const hvtest::ChildProcess& c) { return c.Running(); });
        };
        EXPECT_TRUE(WaitUntil([&] { return running() == 1 && MainWindows().size() == 1; }, 4 * kSlowMs))
            << running() << " copies run, " << MainWindows().size() << " main windows";
        for (hvtest::ChildProcess& copy : copies) {
            if (!copy.Running()) {
                EXPECT_EQ(0u, copy.ExitCode());
            }
        }
        const std::vector<HWND> windows = MainWindows();
        ASSERT_EQ(1u, windows.size());
        PostMessageW(windows[0], WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return running() == 0; }, kSlowMs)) << "the copy left did not end";
        // Only the copy that ran asked the devices anything, as much as one copy does.
        EXPECT_EQ(2 * oneCopy[0], JournalOf("mouse").size()) << "another copy read the mouse";
        EXPECT_EQ(2 * oneCopy[1], JournalOf("keyboard").size()) << "another copy read the keyboard";
    }

    // Two, the second 0.3 s after the first, while the first still reads its devices.
    {
        VexaProgram first;
        hvtest::ChildProcess second;
        hvtest::ChildProcess firstProcess;
        ASSERT_TRUE(first.StartOnly(firstProcess));
        Sleep(300);
        ASSERT_TRUE(first.StartOnly(second));
        EXPECT_TRUE(WaitUntil([&] { return firstProcess.Running() != second.Running() && MainWindows().size() == 1; },
                              2 * kSlowMs))
            << "first " << firstProcess.Running() << ", second " << second.Running();
        EXPECT_TRUE(firstProcess.Running()) << "the first copy ended";
        EXPECT_FALSE(second.Running()) << "the second copy runs";
        const std::vector<HWND> windows = MainWindows();
        ASSERT_EQ(1u, windows.size());
        PostMessageW(windows[0], WM_CLOSE, 0, 0);
        EXPECT_TRUE(firstProcess.Wait(kSlowMs));
    }
    EXPECT_EQ(0u, CountChanges("mouse") + CountChanges("keyboard")) << "starting and leaving writes nothing";
}

TEST_F(VexaProgramFaultsTest, RefusedFilesAreListedInOneNoticeAndABrokenPageIsShownEmpty)
{
    const std::wstring dir = BrokenInstall(L"install_broken_pages");
    const std::wstring xml = dir + L"\\xml\\";
    // A page that is no XML at all, a page element with a number out of range, a language file cut
    // short, a keyboard layout file that is missing.
    ASSERT_TRUE(WriteText(xml + L"Mouse_AssnBtns.xml", "<GUIPANEL><BUTTONLIST><BUTTON name=\""));
    std::string performance = ReadText(xml + L"Mouse_AdjPerf.xml");
    ASSERT_FALSE(performance.empty());
    performance = std::regex_replace(performance, std::regex("left=\"[0-9]+\""), "left=\"99999999\"",
                                     std::regex_constants::format_first_only);
    ASSERT_TRUE(WriteText(xml + L"Mouse_AdjPerf.xml", performance));
    std::string language = ReadText(xml + L"Language.xml");
    ASSERT_TRUE(WriteText(xml + L"Language.xml", language.substr(0, language.size() / 2)));
    DeleteFileW((xml + L"KeyboardKeys.xml").c_str());

    VexaProgram program;
    ASSERT_TRUE(program.StartFrom(dir));
    const HWND notice = program.WaitForPopup();
    ASSERT_TRUE(notice) << "no notice of the refused files";
    const std::wstring message = VexaProgram::TextOf(hvtest::FindItemWindow(notice, kMessageText, false));
    for (const wchar_t* file : {L"Mouse_AssnBtns.xml", L"Language.xml", L"KeyboardKeys.xml"})
        EXPECT_NE(std::wstring::npos, message.find(file)) << simtest::Narrow(file) << " is not named in \""
                                                           << simtest::Narrow(message) << "\"";
    // The performance page's items are built when it is first shown: its faulty element is found
    // and told then.
    EXPECT_EQ(std::wstring::npos, message.find(L"Mouse_AdjPerf.xml")) << simtest::Narrow(message);
    // The picture shows the list, three files on four lines or more.
    RECT list{};
    GetWindowRect(hvtest::FindItemWindow(notice, kMessageText, false), &list);
    RECT frame{};
    GetWindowRect(notice, &frame);
    OffsetRect(&list, -frame.left, -frame.top);
    const hvtest::Bitmap picture = PictureShowing(notice, [&](const hvtest::Bitmap& p) { return TextRows(p, list) >= 40; });
    EXPECT_GE(TextRows(picture, list), 30) << "the list is not shown";
    EXPECT_TRUE(picture.SaveToTestDir(L"notice_refused_files.bmp"));
    ASSERT_TRUE(hvtest::PostItemCommand(notice, BUTTON_POPUP_SINGLE_OK));
    EXPECT_TRUE(WaitUntil([&] { return !program.Popup(); }, kSlowMs));

    // The program goes on: the button page is shown empty, no other page over it.
    for (int page = 1; page <= 5; ++page)
        EXPECT_FALSE(program.Item(kMousePageMarkers[page - 1])) << "page " << page << " shows on the broken page";
    EXPECT_TRUE(program.IsItemEnabled(BUTTON_ASSIGNBUTTONS));
    EXPECT_TRUE(hvtest::CaptureWindow(program.Main()).SaveToTestDir(L"broken_button_page.bmp"));

    // The performance page shown first: its faulty element is told in a notice of the same kind, and
    // the page comes without it.
    ASSERT_TRUE(program.Click(BUTTON_ADJUSTPERFORMANCE));
    const HWND pageNotice = program.WaitForPopup();
    ASSERT_TRUE(pageNotice) << "no notice of the performance page's fault";
    const std::wstring pageMessage = VexaProgram::TextOf(hvtest::FindItemWindow(pageNotice, kMessageText, false));
    EXPECT_NE(std::wstring::npos, pageMessage.find(L"Mouse_AdjPerf.xml")) << simtest::Narrow(pageMessage);
    EXPECT_NE(std::wstring::npos, pageMessage.find(L"99999999")) << "what is wrong is not told";
    for (const wchar_t* file : {L"Mouse_AssnBtns.xml", L"Language.xml", L"KeyboardKeys.xml"})
        EXPECT_EQ(std::wstring::npos, pageMessage.find(file)) << simtest::Narrow(file) << " is told again";
    EXPECT_TRUE(hvtest::CaptureWindow(pageNotice).SaveToTestDir(L"notice_refused_page.bmp"));
    ASSERT_TRUE(hvtest::PostItemCommand(pageNotice, BUTTON_POPUP_SINGLE_OK));
    EXPECT_TRUE(WaitUntil([&] { return !program.Popup(); }, kSlowMs));
    EXPECT_TRUE(program.WaitForItemShown(kMousePageMarkers[1])) << "the performance page is not shown";
    // Shown again, it is told no more.
    ASSERT_TRUE(program.ClickAndWait(BUTTON_ASSIGNBUTTONS));
    ASSERT_TRUE(program.ClickAndWait(BUTTON_ADJUSTPERFORMANCE));
    EXPECT_TRUE(program.WaitForItemShown(kMousePageMarkers[1]));
    EXPECT_FALSE(program.WaitForPopup(500)) << "the fault is told again";

    ASSERT_TRUE(program.ClickAndWait(BUTTON_MANAGEPROFILES));
    EXPECT_TRUE(program.WaitForItemShown(kMousePageMarkers[2]));
    ASSERT_TRUE(program.ClickAndWait(BUTTON_ASSIGNBUTTONS));
    EXPECT_TRUE(WaitUntil([&] { return !program.Item(kMousePageMarkers[2]); }, kSlowMs)) << "the profile page stays";
    ASSERT_TRUE(program.Click(BUTTON_CANCEL));
    EXPECT_TRUE(program.WaitForExit());
}

TEST_F(VexaProgramFaultsTest, AMainLayoutThatGaveNoButtonsStillLetsTheWindowBeClosed)
{
    const std::wstring dir = BrokenInstall(L"install_broken_main");
    const std::wstring mainPage = dir + L"\\xml\\MainPage.xml";
    std::string text = ReadText(mainPage);
    ASSERT_FALSE(text.empty());
    ASSERT_TRUE(WriteText(mainPage, std::regex_replace(text, std::regex("left=\"[0-9]+\""), "left=\"99999999\"")));

    enum class Way { Close, Escape, AltF4, Button };
    for (Way way : {Way::Close, Way::Escape, Way::AltF4, Way::Button}) {
        VexaProgram program;
        ASSERT_TRUE(program.StartFrom(dir));
        const HWND notice = program.WaitForPopup();
        ASSERT_TRUE(notice) << "no notice of the refused main layout";
        EXPECT_NE(std::wstring::npos,
                  VexaProgram::TextOf(hvtest::FindItemWindow(notice, kMessageText, false)).find(L"MainPage.xml"));
        ASSERT_TRUE(hvtest::PostItemCommand(notice, BUTTON_POPUP_SINGLE_OK));
        ASSERT_TRUE(WaitUntil([&] { return !program.Popup() && IsWindowEnabled(program.Main()); }, kSlowMs));
        EXPECT_FALSE(program.Item(BUTTON_OK));
        EXPECT_FALSE(program.Item(BUTTON_CANCEL));
        const HWND close = FindWindowExW(program.Main(), nullptr, L"Button", nullptr);
        ASSERT_TRUE(close) << "no close button of the window's own";
        if (way == Way::Close) {
            EXPECT_TRUE(hvtest::CaptureWindow(program.Main()).SaveToTestDir(L"broken_main_page.bmp"));
            PostMessageW(program.Main(), WM_CLOSE, 0, 0);
        } else if (way == Way::Escape) {
            EXPECT_TRUE(hvtest::PressKey(VK_ESCAPE, 0, program.Main()));
        } else if (way == Way::AltF4) {
            EXPECT_TRUE(hvtest::PressKey(VK_F4, MOD_ALT, program.Main()));
        } else {
            EXPECT_TRUE(hvtest::Click(close));
        }
        EXPECT_TRUE(program.WaitForExit()) << "the window did not close, way " << static_cast<int>(way);
    }
}

TEST_F(VexaProgramFaultsTest, DevicesLeavingAndComingDuringAWaitOrTheSaveQuestionLoseNothing)
{
    const std::string keyboardBefore = simtest::Tool({L"dump", L"keyboard"});
    VexaProgram program;
    ASSERT_TRUE(program.Start(true));

    // A slow write of the mouse; the mouse edited again while it runs; the switch to the keyboard
    // saves the mouse and first waits for the running write. The keyboard leaves and comes back
    // during that wait.
    simtest::Tool({L"delay", L"4000", L"IProfileManager.SetActiveProfile"});
    EditMouse(program);
    ASSERT_TRUE(program.Click(BUTTON_APPLY));
    ASSERT_TRUE(program.WaitForItemEnabled(BUTTON_APPLY, false));
    ASSERT_TRUE(program.ChooseInDropdown(107, 0));
    ASSERT_TRUE(program.Click(BUTTON_PRODSELECT_KEYBOARD));
    HWND question = program.WaitForPopup();
    ASSERT_TRUE(question) << "no question before switching with changes";
    ASSERT_TRUE(hvtest::PostItemCommand(question, BUTTON_POPUP_YES));
    ASSERT_TRUE(WaitForTheWait(program)) << "the switch did not wait for the write";
    simtest::Tool({L"unplug", L"keyboard"});
    simtest::Tool({L"plug", L"keyboard"});
    simtest::Tool({L"delay", L"0"});
    // Both writes of the mouse reached it; the keyboard came back and is shown or can be.
    EXPECT_TRUE(WaitUntil([] { return CountCalls("mouse", kWriteEnd) == 2; }, kSlowMs)) << "the mouse was not saved";
    EXPECT_TRUE(program.WaitForItemEnabled(BUTTON_PRODSELECT_KEYBOARD, true));
    EXPECT_FALSE(program.Popup()) << "a notice came up";

    // Back on the mouse, edited; the keyboard leaves while the save question is up: the mouse is
    // saved and stays shown; the keyboard, back, can be chosen and shows its own configuration.
    ASSERT_TRUE(program.Click(BUTTON_PRODSELECT_MOUSE));
    ASSERT_TRUE(program.WaitForItemShown(kMousePageMarkers[0]));
    EditMouse(program);
    ASSERT_TRUE(program.Click(BUTTON_PRODSELECT_KEYBOARD));
    question = program.WaitForPopup();
    ASSERT_TRUE(question);
    simtest::Tool({L"unplug", L"keyboard"});
    EXPECT_TRUE(program.WaitForItemEnabled(BUTTON_PRODSELECT_KEYBOARD, false)) << "the removal was not handled";
    ASSERT_TRUE(hvtest::PostItemCommand(question, BUTTON_POPUP_YES));
    EXPECT_TRUE(WaitUntil([] { return CountCalls("mouse", kWriteEnd) == 3; }, kSlowMs)) << "the mouse was not saved";
    EXPECT_TRUE(program.WaitForItemShown(kMousePageMarkers[0])) << "the mouse is not shown";
    EXPECT_FALSE(program.Item(BUTTON_RESET_KEYBOARD_KEYS)) << "switched to a keyboard that had left";
    simtest::Tool({L"plug", L"keyboard"});
    EXPECT_TRUE(program.WaitForItemEnabled(BUTTON_PRODSELECT_KEYBOARD, true));
    ASSERT_TRUE(program.Click(BUTTON_PRODSELECT_KEYBOARD));
    EXPECT_TRUE(program.WaitForItemShown(BUTTON_RESET_KEYBOARD_KEYS));
    EXPECT_FALSE(program.Popup());

    ASSERT_TRUE(program.Click(BUTTON_CANCEL));
    EXPECT_TRUE(program.WaitForExit());
    // The keyboard was never written: the leaving and coming put nothing of a stand-in on it.
    EXPECT_EQ(0u, CountChanges("keyboard"));
    EXPECT_EQ(keyboardBefore, simtest::Tool({L"dump", L"keyboard"}));
    EXPECT_EQ(3u, CountCalls("mouse", kWriteEnd));
}

} // namespace
