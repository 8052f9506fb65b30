// The configuration program run as the user runs it: from its install directory, with the
// installer's registry values, against the registered simulator (the test's state and journal),
// driven through its windows, which the tests find by their item ids.
#include "VexaProgram.h"

#include "SimTest.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <map>
#include <set>
#include <thread>

#include "controls/BitmapBtn.h"
#include "core/NameTables.h"
#include "platform/WStr.h"
#include "skin/LangTable.h"
#include "skin/LayoutLoader.h"
#include "skin/SkinResourceCache.h"
#include "core/ItemIds.h"

using namespace vexatest;
using hvtest::WaitUntil;

namespace {

// Item ids (the layouts' names in the name tables).
enum : int
{
    kOk = 46,
    kCancel = 47,
    kApply = 48,
    kPopupYes = 52,
    kPopupNo = 53,
    kPopupSingleOk = 55,
    kKeyboardProfileSelect = 66,
    kMouseTab = 87,
    kKeyboardTab = 88,
    kFirstPageTab = 89,
    kButtonDropdown = 107,
    kWarningHeading = 261,
    kDriverLabel = 301,
    kFirmwareLabel = 302,
    kMouseFootnote = 337,
    kKeyboardFootnote = 338,
};

// An item each page shows and no other page of its product has: pages 1 to 9.
constexpr int kPageMarkers[] = {107, 286, 130, 122, 116, 65, 82, 74, 67};
constexpr const wchar_t* kPageNames[] = {L"buttons",      L"performance",  L"profiles", L"macros", L"lighting",
                                         L"keyboard_keys", L"keyboard_profiles", L"keyboard_macros",
                                         L"keyboard_lighting"};

// A write ends by setting the active profile.
constexpr const char* kWriteEnd = "IProfileManager.SetActiveProfile";

bool IsChange(const std::string& line)
{
    // Reads are "Get"s, "Is"s and enumerations; everything else the journal holds changes the device.
    const size_t dot = line.find('.');
    if (dot == std::string::npos)
        return false;
    const std::string method = line.substr(dot + 1);
    return method.rfind("Get", 0) != 0 && method.rfind("Is", 0) != 0 && method.rfind("Enum", 0) != 0;
}

size_t CountChanges(const char* device)
{
    const std::vector<std::string> lines = JournalOf(device);
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), IsChange));
}

size_t CountCalls(const char* device, const char* method)
{
    const std::vector<std::string> lines = JournalOf(device);
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(method) != std::string::npos;
    }));
}

// The text the program shows for a language key in English, as its texts and captions make it.
std::wstring English(const wchar_t* key, int caseMode = 0)
{
    static CGUIItems languages;
    if (languages.Empty()) {
        GetSkinResourceCache().SetFolder(InstallDir());
        LoadLayoutFile(&languages, L"Language.xml", nullptr, false);
        SetCurrentLangTable(FindRegisteredLangTable(0));
    }
    return CaptionText(key, caseMode);
}

// "major.minor" of the program file's product version, the minor with two digits.
std::wstring ProgramVersion()
{
    const std::wstring exe = InstallDir() + L"\\HalvoVexaConfig.exe";
    DWORD ignored = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    if (block.empty() || !GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) ||
        !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &size) || !info)
        return L"?";
    return wstr::Format(L"%d.%02d", HIWORD(info->dwProductVersionMS), LOWORD(info->dwProductVersionMS));
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A HID device-interface notice as the system sends it, straight to one window (the tool's
// announcements go to every window of the simulator's users and give up after two seconds).
bool SendDeviceNotice(HWND window, bool arrival, DWORD vendor, DWORD product)
{
    const std::wstring path = wstr::Format(L"\\\\?\\HID#VID_%04lX&PID_%04lX#7&1a2b3c4d&0&0000#"
                                           L"{4d1e55b2-f16f-11cf-88cb-001111000030}",
                                           static_cast<unsigned long>(vendor), static_cast<unsigned long>(product));
    const size_t bytes = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (path.size() + 1) * sizeof(wchar_t);
    std::vector<BYTE> block(bytes, 0);
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(block.data());
    record->dbcc_size = static_cast<DWORD>(bytes);
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::copy(path.begin(), path.end(), record->dbcc_name);
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_DEVICECHANGE, arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                               reinterpret_cast<LPARAM>(record), SMTO_NORMAL, 2 * kSlowMs, &result) != 0;
}

// The lines of a device's dump that start with prefix (" led 1 ", " flags ") in its active profile,
// and that profile's number.
std::vector<std::string> ActiveProfileLines(const wchar_t* device, const std::string& prefix, int* number = nullptr)
{
    const std::vector<std::string> lines = simtest::DumpLines(device);
    std::string active;
    for (const std::string& line : lines)
        if (line.rfind("active ", 0) == 0)
            active = line.substr(7);
    std::vector<std::string> found;
    bool inActive = false;
    for (const std::string& line : lines) {
        if (line.rfind("profile ", 0) == 0) {
            inActive = !active.empty() && line.find(active) != std::string::npos;
            if (inActive && number)
                *number = std::stoi(line.substr(8));
        } else if (inActive && line.rfind(prefix, 0) == 0) {
            found.push_back(line);
        }
    }
    return found;
}

// Whether a light of the device's active profile is on, as its dump shows it (the dump numbers
// the lights from 1); false with a test failure when the dump holds no such light.
bool ActiveLightOn(const wchar_t* device, int dumpedLed)
{
    const std::string prefix = " led " + std::to_string(dumpedLed) + " on ";
    const std::vector<std::string> lines = ActiveProfileLines(device, prefix);
    EXPECT_EQ(1u, lines.size()) << simtest::Narrow(device) << " light " << dumpedLed;
    return lines.size() == 1 && lines[0].compare(prefix.size(), 1, "1") == 0;
}

unsigned long ActiveFlags(const wchar_t* device)
{
    const std::vector<std::string> lines = ActiveProfileLines(device, " flags 0x");
    return lines.size() == 1 ? std::stoul(lines[0].substr(9), nullptr, 16) : ~0ul;
}

// The pixels of an item as a picture of the program's main window shows them.
std::vector<uint32_t> PixelsOf(const VexaProgram& program, int id)
{
    const HWND item = program.Item(id);
    const hvtest::Bitmap picture = hvtest::CaptureWindow(program.Main());
    std::vector<uint32_t> pixels;
    RECT window{}, rect{};
    if (!item || picture.Empty() || !GetWindowRect(program.Main(), &window) || !GetWindowRect(item, &rect))
        return pixels;
    for (int y = rect.top - window.top; y < rect.bottom - window.top && y < picture.Height(); ++y)
        for (int x = rect.left - window.left; x < rect.right - window.left && x < picture.Width(); ++x)
            pixels.push_back(picture.Pixel(x, y));
    return pixels;
}

BOOL CALLBACK CountWindow(HWND, LPARAM counter)
{
    ++*reinterpret_cast<size_t*>(counter);
    return TRUE;
}

// Every window of a process: its top-level windows (tooltips among them) and their descendants.
size_t WindowsOf(DWORD processId)
{
    size_t count = 0;
    for (HWND top : hvtest::TopWindowsOf(processId)) {
        ++count;
        EnumChildWindows(top, CountWindow, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

// Pixels that may differ between two pictures of one state of the window.
constexpr size_t kNoisePixels = 16;

// How far the keys page's keyboard picture is from the skin's own where no key lies on it: its top
// right, above the number pad, with the maker's mark (the skin's keys end left of x 700 in the top
// row and start below y 60 there). Every pixel when the picture or its window is not found.
size_t KeyboardPictureDifferences(const VexaProgram& program, const hvtest::Bitmap& window)
{
    const hvtest::Bitmap skin = hvtest::Bitmap::Load(InstallDir() + L"\\skins\\kbd_n.bmp");
    constexpr int kLeft = 700, kBottom = 60;
    const HWND picture = program.Item(FindItemIdByName(L"BITMAP_MECHKBD"));
    if (skin.Width() <= kLeft || skin.Height() < kBottom || !picture)
        return SIZE_MAX;
    RECT outer{}, keyboard{};
    GetWindowRect(program.Main(), &outer);
    GetWindowRect(picture, &keyboard);
    size_t differences = 0;
    for (int y = 0; y < kBottom; ++y)
        for (int x = kLeft; x < skin.Width(); ++x)
            if (window.At(keyboard.left - outer.left + x, keyboard.top - outer.top + y) != skin.At(x, y))
                ++differences;
    return differences;
}

// Two pixels of pictures of the main window that differ more than drawing noise.
bool PixelsDiffer(uint32_t p, uint32_t q)
{
    return p != q && !hvtest::ColorNear(RGB(p >> 16, p >> 8, p), RGB(q >> 16, q >> 8, q), 8);
}

// The pixels a comparison of two pictures of the main window leaves out: the tabs of both products
// (the pointer over a tab and the tab pressed change them, whatever the page).
class Masked
{
public:
    explicit Masked(const VexaProgram& program)
    {
        RECT window{};
        GetWindowRect(program.Main(), &window);
        m_width = window.right - window.left;
        m_height = window.bottom - window.top;
        m_skip.assign(static_cast<size_t>(std::max(m_width * m_height, 0)), 0);
        for (int id = kMouseTab; id <= kFirstPageTab + 8; ++id) {
            for (HWND tab : hvtest::FindItemWindows(program.Main(), id)) {
                RECT rect{};
                GetWindowRect(tab, &rect);
                OffsetRect(&rect, -window.left, -window.top);
                for (int y = std::max<LONG>(rect.top, 0); y < rect.bottom && y < m_height; ++y)
                    for (int x = std::max<LONG>(rect.left, 0); x < rect.right && x < m_width; ++x)
                        m_skip[static_cast<size_t>(y) * m_width + x] = 1;
            }
        }
    }

    // The pixels of a that differ from b outside the tabs, counted up to limit; every pixel when
    // a size is not the window's.
    size_t Differences(const hvtest::Bitmap& a, const hvtest::Bitmap& b, size_t limit = SIZE_MAX) const
    {
        if (a.Width() != m_width || b.Width() != m_width || a.Height() != m_height || b.Height() != m_height)
            return m_skip.size() + 1;
        size_t count = 0;
        for (size_t i = 0; i < m_skip.size() && count <= limit; ++i) {
            if (m_skip[i])
                continue;
            count += PixelsDiffer(a.Data()[i], b.Data()[i]);
        }
        return count;
    }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint8_t> m_skip;
};

// What the screen shows of the window, once it no longer changes; empty on time-out.
hvtest::Bitmap SettledPicture(const RECT& screen, const Masked& masked)
{
    hvtest::Bitmap last = hvtest::CaptureScreen(screen);
    hvtest::Bitmap settled;
    WaitUntil([&] {
        Sleep(50);
        hvtest::Bitmap next = hvtest::CaptureScreen(screen);
        const bool same = masked.Differences(next, last, 0) == 0;
        last = std::move(next);
        if (same)
            settled = last;
        return same;
    }, kSlowMs);
    return settled;
}

// Clicks a tab with the real mouse while a thread films the window's place on the screen, until
// the page with marker is shown and the picture has settled. Every picture taken meanwhile is the
// one before or the one after (the tabs aside); a picture of anything else (two pages at once, the
// bare background) fails the test and is kept. Returns the settled picture.
hvtest::Bitmap SwitchFilmed(VexaProgram& program, int tab, int marker, const char* name)
{
    const HWND button = program.Item(tab);
    EXPECT_TRUE(button) << name << ": no tab";
    if (!button)
        return {};
    const Masked masked(program);
    RECT screen{};
    GetWindowRect(program.Main(), &screen);
    EXPECT_TRUE(hvtest::PrepareTarget(button));
    const hvtest::Bitmap before = SettledPicture(screen, masked);

    // Only the pictures that differ from the one before them are kept: a switch without flicker
    // leaves one or two.
    std::atomic<bool> stop{false};
    std::vector<hvtest::Bitmap> frames;
    size_t taken = 0;
    std::thread film([&] {
        hvtest::Bitmap last = before;
        while (!stop && frames.size() < 40) {
            hvtest::Bitmap next = hvtest::CaptureScreen(screen);
            ++taken;
            if (masked.Differences(next, last, 0) == 0)
                continue;
            last = next;
            frames.push_back(std::move(next));
        }
    });
    EXPECT_TRUE(hvtest::Click(button)) << name;
    // Away from the tabs, so that no tooltip comes up over the window.
    hvtest::MoveCursorTo({screen.right + 40, screen.bottom + 40});
    EXPECT_TRUE(program.WaitForItemShown(marker)) << name << ": the page did not come up";
    // The switch is over once the program answers again.
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(program.Main(), WM_NULL, 0, 0, SMTO_NORMAL, kSlowMs, &answer));
    const hvtest::Bitmap after = SettledPicture(screen, masked);
    stop = true;
    film.join();

    EXPECT_FALSE(after.Empty()) << name << ": the picture did not settle";
    EXPECT_GT(taken, 1u) << name << ": nothing filmed";
    int kept = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        const size_t fromBefore = masked.Differences(frames[i], before, kNoisePixels);
        const size_t fromAfter = masked.Differences(frames[i], after, kNoisePixels);
        if (std::min(fromBefore, fromAfter) <= kNoisePixels)
            continue;
        ADD_FAILURE() << name << ": picture " << i + 1 << " of the " << frames.size()
                      << " changes filmed is neither page";
        if (kept++ < 3) {
            std::wstring file = wstr::Format(L"switch_%hs_%u.bmp", name, static_cast<unsigned>(i));
            std::replace(file.begin(), file.end(), L' ', L'_');
            frames[i].Save(hvtest::TestFile(file));
        }
    }
    return after;
}

class VexaProgramTest : public simtest::SimTest
{
protected:
    void SetUp() override
    {
        simtest::SimTest::SetUp();
        PrepareInstall();
    }

    // Marks the mouse unsaved as any page item's change does: a choice in a button's drop-down.
    static void EditMouse(VexaProgram& program)
    {
        ASSERT_TRUE(program.ChooseInDropdown(kButtonDropdown, 0));
        ASSERT_TRUE(program.WaitForItemEnabled(kApply, true)) << "a change offers Apply";
    }
    // The same while a write runs, when Apply is not offered.
    static void EditMouseWhileWriting(VexaProgram& program)
    {
        ASSERT_TRUE(program.ChooseInDropdown(kButtonDropdown, 0));
    }

    static std::wstring PopupHeading(HWND popup)
    {
        return VexaProgram::TextOf(hvtest::FindItemWindow(popup, kWarningHeading, false));
    }
};

TEST_F(VexaProgramTest, StartShowsTheMouseFirstAndASecondCopyBringsTheFirstToTheFront)
{
    VexaProgram program;
    ASSERT_TRUE(program.Start());
    const HWND main = program.Main();
    EXPECT_TRUE(WaitUntil([&] { return VexaProgram::TextOf(main) == L"Halvo VEXA Configurator"; }, kSlowMs))
        << "title \"" << simtest::Narrow(VexaProgram::TextOf(main)) << "\"";

    // The tray program is started with the configuration program, from the install directory.
    EXPECT_TRUE(WaitUntil([] { return hvtest::StandInStarts(InstallDir(), kTrayProgram) == 1; }, kSlowMs))
        << "the stand-in tray program noted " << hvtest::StandInStarts(InstallDir(), kTrayProgram) << " starts";

    // A layered window whose magenta pixels are see-through.
    EXPECT_TRUE(GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_LAYERED);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(main, &key, &alpha, &flags));
    EXPECT_EQ(RGB(255, 0, 255), key);
    EXPECT_TRUE(flags & LWA_COLORKEY);

    // The mouse first, on its first page; nothing unsaved.
    EXPECT_TRUE(program.Item(kPageMarkers[0]));
    EXPECT_TRUE(program.Item(kMouseFootnote));
    EXPECT_FALSE(program.Item(kKeyboardFootnote));
    for (int page = 2; page <= 9; ++page)
        EXPECT_FALSE(program.Item(kPageMarkers[page - 1])) << "page " << page << " is shown";
    EXPECT_TRUE(program.IsItemEnabled(kMouseTab));
    EXPECT_TRUE(program.IsItemEnabled(kKeyboardTab));
    EXPECT_FALSE(program.IsItemEnabled(kApply));

    // The version labels: the mouse's firmware and this program's own version.
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    DeviceInfo info{};
    ASSERT_HRESULT_SUCCEEDED(mouse->GetDeviceInfo(&info));
    CoTaskMemFree(info.name);
    const std::wstring firmware = wstr::Format(L"%d.%02d", static_cast<int>(info.firmwareMajor),
                                               static_cast<int>(info.firmwareMinor));
    EXPECT_EQ(English(L"$FirmwareVersion") + L": " + firmware, program.ItemText(kFirmwareLabel));
    EXPECT_EQ(English(L"$DriverVersion") + L": " + ProgramVersion(), program.ItemText(kDriverLabel));
    EXPECT_TRUE(EndsWith(program.ItemText(kDriverLabel), L": 1.03")) << "the version record of the resources";

    // A second copy finds the first, restores it and brings it to the front, and ends.
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }));
    hvtest::ChildProcess second;
    ASSERT_TRUE(program.StartOnly(second));
    ASSERT_TRUE(second.Wait(kSlowMs)) << "the second copy did not end";
    EXPECT_EQ(0u, second.ExitCode());
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main) && GetForegroundWindow() == main; }, kSlowMs))
        << "iconic " << IsIconic(main) << ", foreground " << GetForegroundWindow() << ", main " << main;
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(1, hvtest::StandInStarts(InstallDir(), kTrayProgram)) << "the second copy started no tray program";

    ASSERT_TRUE(program.Click(kCancel));
    EXPECT_TRUE(program.WaitForExit());
    EXPECT_EQ(0u, CountChanges("mouse") + CountChanges("keyboard")) << "starting and leaving writes nothing";
}

TEST_F(VexaProgramTest, TabsSwitchThePagesOfEachProductWithoutFlickerAndEveryPageIsPictured)
{
    VexaProgram program;
    ASSERT_TRUE(program.Start(true));
    const HWND main = program.Main();
    // Few windows after start: the pages' items come when their page is first shown.
    const size_t windowsAtStart = WindowsOf(program.Process().Id());
    EXPECT_LE(windowsAtStart, 150u) << "windows after start, tooltips included";

    // The keyboard leaves and comes back before any of its pages was shown; meanwhile its active
    // profile changed on the device, which the program learns from its read on the arrival.
    simtest::Tool({L"profile", L"keyboard", L"next"});
    const size_t keyboardReads = CountCalls("keyboard", "IProfileManager.GetActiveProfile");
    simtest::Tool({L"unplug", L"keyboard"});
    ASSERT_TRUE(WaitUntil([&] { return !program.IsItemEnabled(kKeyboardTab); }, kSlowMs)) << "the removal was not seen";
    simtest::Tool({L"plug", L"keyboard"});
    ASSERT_TRUE(WaitUntil([&] { return program.IsItemEnabled(kKeyboardTab); }, kSlowMs)) << "the arrival was not seen";
    EXPECT_GT(CountCalls("keyboard", "IProfileManager.GetActiveProfile"), keyboardReads) << "the keyboard was not read";
    EXPECT_TRUE(program.Item(kPageMarkers[0])) << "the button page went";

    // Every tab with the real mouse; the screen never shows two pages at once or none between.
    std::vector<hvtest::Bitmap> pictures(10);
    for (int page = 1; page <= 9; ++page) {
        if (page == 6) {
            pictures[0] = SwitchFilmed(program, kKeyboardTab, kPageMarkers[5], "keyboard tab");
            EXPECT_TRUE(program.Item(kKeyboardFootnote));
            EXPECT_FALSE(program.Item(kMouseFootnote));
        }
        const std::string name = "page " + std::to_string(page);
        pictures[page] = SwitchFilmed(program, kFirstPageTab + page - 1, kPageMarkers[page - 1], name.c_str());
        for (int other = 1; other <= 9; ++other) {
            if (other != page) {
                EXPECT_FALSE(program.Item(kPageMarkers[other - 1])) << "page " << other << " with page " << page;
            }
        }
        const hvtest::Bitmap picture = hvtest::CaptureWindow(main);
        ASSERT_FALSE(picture.Empty());
        EXPECT_TRUE(picture.Save(hvtest::TestFile(wstr::Format(L"page%d_%ls.bmp", page, kPageNames[page - 1]))));
        if (page == 6) {
            EXPECT_LE(KeyboardPictureDifferences(program, picture), kNoisePixels)
                << "the keys page does not show the keyboard picture under its keys";
        }
        if (page == 2) {
            // A part of the window painted again, as when a window over it goes: the page tabs and
            // the page's items over it come back as they were, each painting on its own. The
            // program paints from its own queue, as it would then: painting it from here as well
            // would race its own paints of the same windows.
            RECT part = {0, 60, 520, 345};
            RedrawWindow(main, &part, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            hvtest::Bitmap repainted;
            size_t differences = 0;  // the tabs included: the pointer stays where it was
            WaitUntil([&] {
                repainted = hvtest::CaptureWindow(main);
                if (repainted.Width() != picture.Width() || repainted.Height() != picture.Height())
                    return false;
                differences = 0;
                for (int i = 0; i < picture.Width() * picture.Height(); ++i)
                    differences += PixelsDiffer(picture.Data()[i], repainted.Data()[i]);
                return differences <= kNoisePixels;
            });
            ASSERT_EQ(picture.Width(), repainted.Width());
            ASSERT_EQ(picture.Height(), repainted.Height());
            EXPECT_LE(differences, kNoisePixels) << "a part painted again differs from the page's picture";
            if (!repainted.Empty())
                repainted.Save(hvtest::TestFile(L"page2_part_repainted.bmp"));
        }
        if (page > 1 && !pictures[page - 1].Empty()) {
            EXPECT_GT(Masked(program).Differences(pictures[page], pictures[page - 1]), 1000u)
                << "page " << page << " looks like the page before it";
        }
    }
    // Pages shown before come back the same way.
    SwitchFilmed(program, kFirstPageTab + 5, kPageMarkers[5], "page 6 again");
    SwitchFilmed(program, kMouseTab, kPageMarkers[4], "mouse tab");
    EXPECT_TRUE(program.Item(kMouseFootnote));
    SwitchFilmed(program, kFirstPageTab, kPageMarkers[0], "page 1 again");
    // A tab of the page shown changes nothing, and choosing a page marks nothing unsaved.
    ASSERT_TRUE(program.ClickAndWait(kFirstPageTab));
    EXPECT_TRUE(program.Item(kPageMarkers[0]));
    EXPECT_FALSE(program.IsItemEnabled(kApply));
    EXPECT_GT(WindowsOf(program.Process().Id()), windowsAtStart + 100) << "the keys came with their page only";
    ASSERT_TRUE(program.Click(kCancel));
    EXPECT_TRUE(program.WaitForExit());

    // The keyboard's pages built after its return show what a program started now shows.
    VexaProgram fresh;
    ASSERT_TRUE(fresh.Start());
    SwitchFilmed(fresh, kKeyboardTab, kPageMarkers[5], "keyboard tab, fresh");
    for (int page = 6; page <= 9; ++page) {
        const std::string name = "fresh page " + std::to_string(page);
        const hvtest::Bitmap picture = SwitchFilmed(fresh, kFirstPageTab + page - 1, kPageMarkers[page - 1], name.c_str());
        const size_t differences = Masked(fresh).Differences(picture, pictures[page]);
        EXPECT_LE(differences, kNoisePixels) << "page " << page << " differs from a fresh program's";
        if (differences > kNoisePixels)
            picture.Save(hvtest::TestFile(wstr::Format(L"page%d_fresh.bmp", page)));
    }
    ASSERT_TRUE(fresh.Click(kCancel));
    EXPECT_TRUE(fresh.WaitForExit());
    EXPECT_EQ(0u, CountChanges("mouse") + CountChanges("keyboard")) << "choosing pages wrote something";
}

TEST_F(VexaProgramTest, ProductSwitchWithChangesWritesOnYesAndRereadsOnNo)
{
    VexaProgram program;
    ASSERT_TRUE(program.Start(true));
    EditMouse(program);

    // Yes: the mouse is written, then the keyboard shown.
    ASSERT_TRUE(program.Click(kKeyboardTab));
    HWND question = program.WaitForPopup();
    ASSERT_TRUE(question) << "no question before switching with changes";
    EXPECT_EQ(English(L"$UnsavedHeading", 1), PopupHeading(question));
    ASSERT_TRUE(hvtest::PostItemCommand(question, kPopupYes));
    EXPECT_TRUE(program.WaitForItemShown(kPageMarkers[5]));
    EXPECT_TRUE(WaitUntil([] { return CountCalls("mouse", kWriteEnd) == 1; }, kSlowMs)) << "the mouse was not written";
    EXPECT_FALSE(program.IsItemEnabled(kApply));

    // No: the keyboard's changes are dropped and the keyboard is read again from the device.
    ASSERT_TRUE(program.ChooseInDropdown(kKeyboardProfileSelect, 0));
    ASSERT_TRUE(program.WaitForItemEnabled(kApply, true));
    const size_t keyboardCalls = JournalOf("keyboard").size();
    const size_t keyboardChanges = CountChanges("keyboard");
    ASSERT_TRUE(program.Click(kMouseTab));
    question = program.WaitForPopup();
    ASSERT_TRUE(question);
    ASSERT_TRUE(hvtest::PostItemCommand(question, kPopupNo));
    EXPECT_TRUE(program.WaitForItemShown(kPageMarkers[0]));
    EXPECT_GT(JournalOf("keyboard").size(), keyboardCalls) << "the keyboard was not read again";
    EXPECT_EQ(keyboardChanges, CountChanges("keyboard")) << "the keyboard was written";
    EXPECT_TRUE(program.WaitForItemEnabled(kApply, false)) << "the mouse was saved before the switch";

    // Back to the keyboard: its changes are gone, so no question.
    ASSERT_TRUE(program.Click(kKeyboardTab));
    EXPECT_TRUE(program.WaitForItemShown(kPageMarkers[5]));
    EXPECT_FALSE(program.Popup());

    ASSERT_TRUE(program.Click(kCancel));
    EXPECT_TRUE(program.WaitForExit());
}

TEST_F(VexaProgramTest, ApplyWritesAndASlowWriteNeitherEndsTheProgramNorLosesTheChanges)
{
    VexaProgram program;
    ASSERT_TRUE(program.Start());
    EditMouse(program);
    ASSERT_TRUE(program.Click(kApply));
    EXPECT_TRUE(program.WaitForItemEnabled(kApply, false));
    EXPECT_TRUE(WaitUntil([] { return CountCalls("mouse", kWriteEnd) == 1; }, kSlowMs)) << "Apply wrote nothing";
    EXPECT_EQ(0u, CountChanges("keyboard")) << "Apply writes the product shown only";
    const size_t oneWrite = CountChanges("mouse");

    // A write slowed down at its end: edits during it are kept, Apply waits for it.
    simtest::Tool({L"delay", L"3000", L"IProfileManager.SetActiveProfile"});
    EditMouse(program);
    ASSERT_TRUE(program.Click(kApply));
    EXPECT_TRUE(program.WaitForItemEnabled(kApply, false));
    EditMouseWhileWriting(program);
    ASSERT_TRUE(WaitUntil([&] { return CountCalls("mouse", kWriteEnd) == 1 && CountChanges("mouse") > oneWrite; }, kSlowMs))
        << "the second write did not start";
    EXPECT_FALSE(program.IsItemEnabled(kApply)) << "Apply offered while the write runs";
    // A second Apply that still arrives (the button is disabled) is refused by the running write:
    // neither counted as a missing device nor taken as saved.
    ASSERT_TRUE(program.Click(kApply));
    EXPECT_TRUE(program.WaitForItemEnabled(kApply, true)) << "Apply not offered again after the write";
    EXPECT_EQ(2u, CountCalls("mouse", kWriteEnd));
    EXPECT_TRUE(program.Running());
    EXPECT_FALSE(program.Popup()) << "a notice came up";

    // OK while a write runs waits for it (the window disabled), saves the edits made meanwhile and ends.
    ASSERT_TRUE(program.Click(kApply));
    EXPECT_TRUE(program.WaitForItemEnabled(kApply, false));
    EditMouseWhileWriting(program);
    ASSERT_TRUE(program.Click(kOk));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(program.Main()) || !program.Running(); }));
    EXPECT_TRUE(program.WaitForExit(2 * kSlowMs));
    EXPECT_EQ(0u, program.Process().ExitCode());
    EXPECT_EQ(4u, CountCalls("mouse", kWriteEnd)) << "OK let the running write end and wrote once more";
    simtest::Tool({L"delay", L"0"});
}

TEST_F(VexaProgramTest, CancelAndEscapeWriteNothing)
{
    {
        VexaProgram program;
        ASSERT_TRUE(program.Start());
        EditMouse(program);
        ASSERT_TRUE(program.Click(kCancel));
        EXPECT_TRUE(program.WaitForExit());
    }
    {
        VexaProgram program;
        ASSERT_TRUE(program.Start());
        EditMouse(program);
        ASSERT_TRUE(hvtest::PressKey(VK_ESCAPE, 0, program.Main()));
        EXPECT_TRUE(program.WaitForExit());
    }
    EXPECT_TRUE(simtest::Journal().empty()) << "something was written";
}

TEST_F(VexaProgramTest, TheLastDeviceLeavingEndsTheProgramUnlessItComesBackInTime)
{
    simtest::Tool({L"unplug", L"keyboard"});
    VexaProgram program;
    ASSERT_TRUE(program.Start(true));
    EXPECT_FALSE(program.IsItemEnabled(kKeyboardTab));
    EXPECT_TRUE(program.Item(kPageMarkers[0]));

    // The mouse leaves and comes back before the program gives up on it: the removal is slowed
    // down while it makes the device again, and the arrival comes in meanwhile.
    simtest::Tool({L"delay", L"3000", L"IPollingRate.GetSupportedRates"});
    const size_t before = JournalSize();
    std::thread removal([&] { EXPECT_TRUE(SendDeviceNotice(program.Main(), false, 0x9D17, 0x22)); });
    const bool removing = WaitUntil([&] { return JournalSize() > before; }, kSlowMs);
    EXPECT_TRUE(removing) << "the removal did not reach the device";
    EXPECT_TRUE(SendDeviceNotice(program.Main(), true, 0x9D17, 0x22));
    removal.join();
    simtest::Tool({L"delay", L"0"});
    // The no-device timer runs now at the latest (its own firing, if not yet done, is taken away).
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(program.Main(), WM_TIMER, 1, 0, SMTO_NORMAL, kSlowMs, &result));
    EXPECT_TRUE(program.Running());
    EXPECT_FALSE(program.Popup()) << "the no-device notice came up";
    EXPECT_TRUE(program.IsItemEnabled(kMouseTab));

    // Unplugged for good: the notice, and the program ends after its button.
    simtest::Tool({L"unplug", L"mouse"});
    const HWND notice = program.WaitForPopup();
    ASSERT_TRUE(notice) << "no notice after the last device left";
    EXPECT_EQ(English(L"$NoDeviceHeading", 1), PopupHeading(notice)) << "not NoMousePopup.xml";
    EXPECT_TRUE(program.Running());
    ASSERT_TRUE(hvtest::PostItemCommand(notice, kPopupSingleOk));
    EXPECT_TRUE(program.WaitForExit());
}

TEST_F(VexaProgramTest, WithoutDevicesTheProgramShowsNoPageAndEndsAfterItsNotice)
{
    simtest::Tool({L"unplug", L"mouse"});
    simtest::Tool({L"unplug", L"keyboard"});
    VexaProgram program;
    ASSERT_TRUE(program.Start());
    const HWND notice = program.WaitForPopup();
    ASSERT_TRUE(notice) << "no notice without devices";
    EXPECT_EQ(English(L"$NoDeviceHeading", 1), PopupHeading(notice));
    for (int page = 1; page <= 9; ++page)
        EXPECT_FALSE(program.Item(kPageMarkers[page - 1])) << "page " << page << " is shown";
    EXPECT_FALSE(program.Item(kMouseFootnote));
    EXPECT_FALSE(program.Item(kKeyboardFootnote));
    EXPECT_FALSE(program.IsItemEnabled(kMouseTab));
    EXPECT_FALSE(program.IsItemEnabled(kKeyboardTab));
    EXPECT_EQ(English(L"$FirmwareVersion") + L":0.00", program.ItemText(kFirmwareLabel));
    ASSERT_TRUE(hvtest::PostItemCommand(notice, kPopupSingleOk));
    EXPECT_TRUE(program.WaitForExit());
    EXPECT_TRUE(simtest::Journal().empty()) << "something was written";
}

TEST_F(VexaProgramTest, OtherDevicesAndRepeatedArrivalsChangeNothingAndAReturningDeviceGetsItsMarkBack)
{
    VexaProgram program;
    ASSERT_TRUE(program.Start(true));
    EditMouse(program);
    const size_t calls = JournalSize();

    // Another vendor's devices, other products of this vendor, and the mouse arriving again while
    // it is there: nothing is made again or read, the edits stay unsaved.
    simtest::Tool({L"announce", L"removal", L"0x1234", L"0x0022"});
    simtest::Tool({L"announce", L"removal", L"0x9D17", L"0x0099"});
    simtest::Tool({L"announce", L"arrival", L"0x9D17", L"0x0022"});
    EXPECT_EQ(calls, JournalSize()) << "a device was read";
    EXPECT_TRUE(program.IsItemEnabled(kMouseTab));
    EXPECT_TRUE(program.IsItemEnabled(kApply)) << "the changes were dropped";
    EXPECT_FALSE(program.Popup());

    // The mouse leaves with its changes: the keyboard is shown, the mouse's tab disabled.
    simtest::Tool({L"unplug", L"mouse"});
    EXPECT_TRUE(program.WaitForItemShown(kPageMarkers[5]));
    EXPECT_TRUE(program.WaitForItemEnabled(kMouseTab, false));
    EXPECT_TRUE(program.WaitForItemEnabled(kApply, false));
    // Back again and chosen: it is shown with its unsaved mark.
    simtest::Tool({L"plug", L"mouse"});
    EXPECT_TRUE(program.WaitForItemEnabled(kMouseTab, true));
    ASSERT_TRUE(program.Click(kMouseTab));
    EXPECT_TRUE(program.WaitForItemShown(kPageMarkers[0]));
    EXPECT_TRUE(program.WaitForItemEnabled(kApply, true)) << "the unsaved mark did not come back";
    EXPECT_FALSE(program.Popup());

    ASSERT_TRUE(program.Click(kCancel));
    EXPECT_TRUE(program.WaitForExit());
}

TEST_F(VexaProgramTest, BothProductsConfiguredInOneRunAreWrittenOnceEachAndReadBackByTheNextRun)
{
    // What the simulator starts with: the lights to be switched off are on, the keyboard's second
    // profile not active.
    ASSERT_TRUE(ActiveLightOn(L"mouse", 1)) << "mouse main light";
    const bool mouseBaseLight = ActiveLightOn(L"mouse", 10);
    const unsigned long mouseFlags = ActiveFlags(L"mouse");
    ASSERT_NE(~0ul, mouseFlags);
    int keyboardProfile = -1;
    ActiveProfileLines(L"keyboard", " led ", &keyboardProfile);
    ASSERT_EQ(0, keyboardProfile);
    ASSERT_NE(std::vector<std::wstring>{L"polling 1"}, simtest::DumpLines(L"mouse", L"polling"));

    // The items whose drawing shows the settings changed, as drawn before and after the change.
    std::map<int, std::vector<uint32_t>> before, after;
    const auto change = [&](VexaProgram& program, std::initializer_list<int> shown, std::initializer_list<int> clicks) {
        for (int id : shown)
            before[id] = PixelsOf(program, id);
        for (int id : clicks) {
            if (id == BUTTON_ENABLE_DPI_OSD) {
                // A check box takes its state from its own press: a press and release of the button.
                const HWND box = program.Item(id);
                ASSERT_TRUE(box);
                DWORD_PTR result = 0;
                SendMessageTimeoutW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2), SMTO_NORMAL, kSlowMs, &result);
                SendMessageTimeoutW(box, WM_LBUTTONUP, 0, MAKELPARAM(2, 2), SMTO_NORMAL, kSlowMs, &result);
            } else {
                ASSERT_TRUE(program.ClickAndWait(id)) << "item " << id;
            }
        }
        for (int id : shown) {
            EXPECT_TRUE(WaitUntil([&] { return !before[id].empty() && PixelsOf(program, id) != before[id]; }, kSlowMs))
                << "item " << id << " was not drawn anew";
            after[id] = PixelsOf(program, id);
        }
    };
    const auto applyAndWait = [](VexaProgram& program, const char* device) {
        ASSERT_TRUE(program.WaitForItemEnabled(BUTTON_APPLY, true)) << device << ": the change offers no Apply";
        ASSERT_TRUE(program.Click(BUTTON_APPLY));
        EXPECT_TRUE(WaitUntil([&] { return CountCalls(device, kWriteEnd) == 1; }, kSlowMs)) << device << " not written";
        EXPECT_TRUE(program.WaitForItemEnabled(BUTTON_APPLY, false));
    };

    {
        VexaProgram program;
        ASSERT_TRUE(program.Start());
        // The mouse: its main light off; 1000 Hz and the DPI shown on screen flipped.
        ASSERT_TRUE(program.ClickAndWait(BUTTON_LIGHTINGMAINTENANCE));
        ASSERT_TRUE(program.WaitForItemShown(BUTTON_VXMOUSE_LTMAIN_OFF));
        change(program, {BUTTON_VXMOUSE_LTMAIN_ON, BUTTON_VXMOUSE_LTMAIN_OFF}, {BUTTON_VXMOUSE_LTMAIN_OFF});
        ASSERT_TRUE(program.ClickAndWait(BUTTON_ADJUSTPERFORMANCE));
        ASSERT_TRUE(program.WaitForItemShown(BUTTON_RATE3));
        change(program, {BUTTON_RATE3, BUTTON_ENABLE_DPI_OSD}, {BUTTON_RATE3, BUTTON_ENABLE_DPI_OSD});
        applyAndWait(program, "mouse");
        EXPECT_EQ(0u, CountChanges("keyboard")) << "the mouse's Apply wrote the keyboard";

        // The keyboard: its second profile made the active one, and that profile's main light off.
        ASSERT_TRUE(program.Click(BUTTON_PRODSELECT_KEYBOARD));
        ASSERT_TRUE(program.WaitForItemShown(kKeyboardFootnote));
        EXPECT_FALSE(program.Popup()) << "a question though the mouse was saved";
        ASSERT_TRUE(program.ClickAndWait(BUTTON_LIGHTINGMAINTENANCE_KEYBOARD));
        ASSERT_TRUE(program.WaitForItemShown(BUTTON_VXKBD_LTMAIN_OFF));
        ASSERT_TRUE(program.ChooseInDropdown(BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT, 1));
        change(program, {BUTTON_VXKBD_LTMAIN_ON, BUTTON_VXKBD_LTMAIN_OFF}, {BUTTON_VXKBD_LTMAIN_OFF});
        applyAndWait(program, "keyboard");
        EXPECT_EQ(1u, CountCalls("mouse", kWriteEnd)) << "the keyboard's Apply wrote the mouse again";

        ASSERT_TRUE(program.Click(kCancel));
        EXPECT_TRUE(program.WaitForExit());
    }

    // Both products hold what was chosen.
    EXPECT_FALSE(ActiveLightOn(L"mouse", 1)) << "mouse main light";
    EXPECT_EQ(mouseBaseLight, ActiveLightOn(L"mouse", 10)) << "mouse base light untouched";
    EXPECT_EQ(std::vector<std::wstring>{L"polling 1"}, simtest::DumpLines(L"mouse", L"polling")) << "1000 Hz";
    EXPECT_EQ(2ul, (ActiveFlags(L"mouse") ^ mouseFlags) & 2) << "the DPI on-screen flag";
    ActiveProfileLines(L"keyboard", " led ", &keyboardProfile);
    EXPECT_EQ(1, keyboardProfile) << "the keyboard's active profile";
    EXPECT_FALSE(ActiveLightOn(L"keyboard", 5)) << "keyboard main light";
    const std::string mouseDump = simtest::Tool({L"dump", L"mouse"});
    const std::string keyboardDump = simtest::Tool({L"dump", L"keyboard"});
    const size_t changes = CountChanges("mouse") + CountChanges("keyboard");

    // The next run shows what was written: each item drawn as it was after the change.
    {
        VexaProgram program;
        ASSERT_TRUE(program.Start());
        const auto expectShownAsChanged = [&](int id) {
            EXPECT_TRUE(WaitUntil([&] { return PixelsOf(program, id) == after[id]; }, 5000))
                << "item " << id << " is not drawn as after the change"
                << (PixelsOf(program, id) == before[id] ? " but as before it" : "");
        };
        ASSERT_TRUE(program.ClickAndWait(BUTTON_ADJUSTPERFORMANCE));
        ASSERT_TRUE(program.WaitForItemShown(BUTTON_RATE3));
        expectShownAsChanged(BUTTON_RATE3);
        expectShownAsChanged(BUTTON_ENABLE_DPI_OSD);
        ASSERT_TRUE(program.ClickAndWait(BUTTON_LIGHTINGMAINTENANCE));
        ASSERT_TRUE(program.WaitForItemShown(BUTTON_VXMOUSE_LTMAIN_OFF));
        expectShownAsChanged(BUTTON_VXMOUSE_LTMAIN_ON);
        expectShownAsChanged(BUTTON_VXMOUSE_LTMAIN_OFF);
        EXPECT_TRUE(hvtest::CaptureWindow(program.Main()).Save(hvtest::TestFile(L"restarted_mouse_lighting.bmp")));

        ASSERT_TRUE(program.Click(BUTTON_PRODSELECT_KEYBOARD));
        ASSERT_TRUE(program.WaitForItemShown(kKeyboardFootnote));
        ASSERT_TRUE(program.ClickAndWait(BUTTON_LIGHTINGMAINTENANCE_KEYBOARD));
        ASSERT_TRUE(program.WaitForItemShown(BUTTON_VXKBD_LTMAIN_OFF));
        expectShownAsChanged(BUTTON_VXKBD_LTMAIN_ON);
        expectShownAsChanged(BUTTON_VXKBD_LTMAIN_OFF);
        EXPECT_TRUE(hvtest::CaptureWindow(program.Main()).Save(hvtest::TestFile(L"restarted_keyboard_lighting.bmp")));
        EXPECT_FALSE(program.IsItemEnabled(BUTTON_APPLY)) << "reading back marked something unsaved";

        ASSERT_TRUE(program.Click(kCancel));
        EXPECT_TRUE(program.WaitForExit());
    }
    EXPECT_EQ(changes, CountChanges("mouse") + CountChanges("keyboard")) << "the second run wrote";
    EXPECT_EQ(mouseDump, simtest::Tool({L"dump", L"mouse"}));
    EXPECT_EQ(keyboardDump, simtest::Tool({L"dump", L"keyboard"}));
}

} // namespace

// The start-up journal: every call made once, on one connection; then OK writes only what changed.
TEST_F(VexaProgramTest, StartReadsEachDeviceOnceOnOneConnectionAndOkWritesOnlyTheProductsChanged)
{
    {
        VexaProgram program;
        ASSERT_TRUE(program.Start(true));
        const std::vector<std::string> start = simtest::JournalLines();
        // Both devices were read whole: each profile's properties and assignments.
        EXPECT_EQ(5u, std::count_if(start.begin(), start.end(), [](const std::string& line) {
                      return line.rfind("mouse IButtonAssignments.GetAssignments", 0) == 0;
                  }));
        EXPECT_EQ(5u, std::count_if(start.begin(), start.end(), [](const std::string& line) {
                      return line.rfind("keyboard IProfileProperties.GetProperty", 0) == 0 &&
                             line.find(" 0x80000003 ") != std::string::npos;
                  }));
        // No call asked twice: a read's line names its inputs and the object it was made on. Of the same
        // entry through another object only the active profile's id is asked once more: the object
        // GetActiveProfile hands back is the one way the middleware tells which profile is active.
        std::map<std::string, int> seen, entries;
        for (const std::string& line : start) {
            EXPECT_EQ(1, ++seen[line]) << "asked again at start-up: " << line;
            std::string call = line;
            if (const size_t at = call.find(" @"); at != std::string::npos)
                call.erase(at, call.find_first_not_of("0123456789", at + 2) - at);
            if (++entries[call] > 1) {
                EXPECT_NE(std::string::npos, call.find(" IProfile.GetId ")) << "asked again at start-up: " << line;
            }
        }
        // One enumerator, walked once: each device found and its information read once.
        std::set<std::string> enumerators;
        size_t walks = 0;
        for (const std::string& line : start) {
            if (line.rfind("root ", 0) != 0)
                continue;
            enumerators.insert(line.substr(line.rfind('@')));
            walks += line.find("EnumDevice 0 ") != std::string::npos;
        }
        EXPECT_EQ(1u, enumerators.size()) << "enumerators made at start-up";
        EXPECT_EQ(1u, walks) << "walks over the devices at start-up";
        EXPECT_EQ(1u, CountCalls("mouse", "IDevice.GetDeviceInfo"));
        EXPECT_EQ(1u, CountCalls("keyboard", "IDevice.GetDeviceInfo"));

        // OK with nothing changed asks the devices nothing and ends at once.
        const size_t calls = JournalSize();
        const DWORD clicked = GetTickCount();
        ASSERT_TRUE(program.Click(kOk));
        EXPECT_TRUE(program.WaitForExit());
        EXPECT_LT(GetTickCount() - clicked, 5000u) << "OK with nothing changed took its time";
        EXPECT_EQ(0u, program.Process().ExitCode());
        EXPECT_EQ(calls, JournalSize()) << "OK with nothing changed called the middleware";
    }

    // The mouse edited, its save at the switch to the keyboard failing, the keyboard edited: OK
    // writes both, the mouse kept unsaved by its failure.
    {
        VexaProgram program;
        ASSERT_TRUE(program.Start());
        EditMouse(program);
        const size_t mouseEnds = CountCalls("mouse", kWriteEnd);
        simtest::Tool({L"fail", L"mouse", L"IProfileManager.SetActiveProfile", L"0x80004005", L"always"});
        ASSERT_TRUE(program.Click(kKeyboardTab));
        const HWND question = program.WaitForPopup();
        ASSERT_TRUE(question) << "no question before switching with changes";
        ASSERT_TRUE(hvtest::PostItemCommand(question, kPopupYes));
        EXPECT_TRUE(program.WaitForItemShown(kPageMarkers[5]));
        EXPECT_TRUE(WaitUntil([&] { return CountCalls("mouse", kWriteEnd) == mouseEnds + 1; }, kSlowMs))
            << "the mouse was not written at the switch";
        const HWND notice = program.WaitForPopup();
        ASSERT_TRUE(notice) << "the failed write was not told";
        simtest::Tool({L"fail", L"clear"});
        ASSERT_TRUE(hvtest::PostItemCommand(notice, kPopupSingleOk));
        ASSERT_TRUE(WaitUntil([&] { return program.Popup() == nullptr; }, kSlowMs));
        ASSERT_TRUE(program.ChooseInDropdown(kKeyboardProfileSelect, 0));
        ASSERT_TRUE(program.WaitForItemEnabled(kApply, true));
        const size_t keyboardEnds = CountCalls("keyboard", kWriteEnd);
        ASSERT_TRUE(program.Click(kOk));
        EXPECT_TRUE(program.WaitForExit());
        EXPECT_EQ(mouseEnds + 2, CountCalls("mouse", kWriteEnd)) << "OK did not write the mouse kept unsaved";
        EXPECT_EQ(keyboardEnds + 1, CountCalls("keyboard", kWriteEnd)) << "OK did not write the keyboard";
    }

    // Only the mouse edited: OK writes the mouse alone.
    {
        VexaProgram program;
        ASSERT_TRUE(program.Start());
        const size_t keyboardChanges = CountChanges("keyboard");
        const size_t mouseEnds = CountCalls("mouse", kWriteEnd);
        EditMouse(program);
        ASSERT_TRUE(program.Click(kOk));
        EXPECT_TRUE(program.WaitForExit());
        EXPECT_EQ(mouseEnds + 1, CountCalls("mouse", kWriteEnd)) << "OK did not write the mouse";
        EXPECT_EQ(keyboardChanges, CountChanges("keyboard")) << "OK wrote the keyboard, which did not change";
    }
}
