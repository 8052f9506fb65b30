// Figures of the configuration program (scripts/benchmark.sh runs this; it is no test of ctest's),
// each printed next to its yardstick from the same run and, where it has one, its limit:
//   - start-up, from the process start to the main window shown and painted with both devices read,
//     next to the empty dialog program's (the one the tray's figures use too);
//   - each page tab, its first click after a start (the page's first showing) and its later clicks;
//   - the windows of the program's process and its private memory once it has started, next to the
//     empty dialog program's;
//   - the middleware calls of a start (and how many of them repeat an earlier one), and OK with
//     nothing changed: its calls and how long until the program has ended;
//   - Apply on the mouse and on the keyboard, after one edit and after edits on every page: how long
//     until the device is no longer busy, and how many middleware calls the simulator journaled.
// Every figure is the median of five runs; first showings and start figures come from five fresh
// starts. The program runs as a process from its install directory on the simulator's devices as
// the installer leaves them; Apply runs on the main dialog in this process over the same devices,
// where the device's own IsBusy can be asked. A step that does not come within its time fails the
// run loudly rather than waiting for ever.
#include "PopupScript.h"
#include "VexaInProcess.h"
#include "VexaProgram.h"

#include "SimTest.h"
#include "StartTiming.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "controls/ControlMessages.h"
#include "core/ModelRecords.h"
#include "core/NameTables.h"
#include "model/DeviceFactory.h"
#include "skin/KeyboardLayouts.h"
#include "skin/LangTable.h"
#include "skin/LayoutLoader.h"
#include "skin/SkinResourceCache.h"
#include "VexaApp/VxApp.h"
#include "core/ItemIds.h"

using namespace vexatest;

namespace {

constexpr int kRuns = 5;
constexpr double kStartUpRatioLimit = 8;
constexpr double kTabLimitMs = 50;
constexpr int kWindowLimit = 150;
constexpr double kMemoryLimitMb = 40;
// Longest a single step may take before the run is failed (a start, a write, a popup).
constexpr DWORD kStepMs = hvtest::SlowTimeoutMs;

using hvtest::NowMs;

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Line(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Line(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    printf("\n");
    fflush(stdout);
}

// The limits, judged as their figures come and printed together at the end.
struct Verdict
{
    explicit Verdict(const char* text) : limit(text) {}
    const char* limit;
    bool judged = false;
    bool met = false;
    std::string figure;
};

Verdict g_verdicts[] = {
    Verdict("start-up at most 8x the empty dialog program's"),
    Verdict("every tab, first showing included, at most 50 ms"),
    Verdict("at most 150 windows after start"),
    Verdict("private memory after start at most 40 MB"),
    Verdict("no repeated middleware call at start"),
    Verdict("OK with nothing changed: 0 middleware calls"),
};

void Judge(const std::string& limit, bool met, const std::string& figure)
{
    for (Verdict& verdict : g_verdicts)
        if (limit == verdict.limit) {
            verdict.judged = true;
            verdict.met = met;
            verdict.figure = figure;
            return;
        }
    ADD_FAILURE() << "no such limit: " << limit;
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// A step of the figures, waited for tightly.
bool PollUntil(const std::function<bool()>& done)
{
    return hvtest::PollUntil(done, kStepMs);
}

// Every window of a process: its top-level windows (hidden ones too: tooltips are top-level windows
// of their own) and all their descendants.
struct WindowCount
{
    int topLevel = 0;
    int children = 0;
    int Total() const { return topLevel + children; }
};

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

WindowCount CountWindows(DWORD processId)
{
    WindowCount count;
    for (HWND window : hvtest::TopWindowsOf(processId)) {
        ++count.topLevel;
        EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&count.children));
    }
    return count;
}

double PrivateMb(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
        ADD_FAILURE() << "GetProcessMemoryInfo: error " << GetLastError();
        return 0;
    }
    // The commit charge: Windows gives it as both PrivateUsage and PagefileUsage, Wine only as the
    // latter (PrivateUsage reads 0).
    const SIZE_T bytes = std::max(counters.PrivateUsage, counters.PagefileUsage);
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// Starts the program from the test folder, timed until its window of that class is painted as the
// empty dialog program's start is (hvtest::StartEmptyDialog).
hvtest::StartedWindow StartFromTestDir(const std::wstring& program, const wchar_t* windowClass,
                                       hvtest::ChildProcess& process, const hvtest::EnvChanges& env)
{
    hvtest::StartOptions options;
    options.workDir = hvtest::TestDir();
    options.env = env;
    return hvtest::StartUntilPainted(program, windowClass, process, options, kStepMs);
}

// Waits until the program has handled everything sent before (a message it must answer).
bool WaitIdle(HWND window)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kStepMs, &result) != 0;
}

void EndProgram(hvtest::ChildProcess& process, HWND window)
{
    if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (!process.Wait(30000)) {
        ADD_FAILURE() << "the program did not end within 30 s of its close";
        process.Terminate();
    }
}

// A click on a button item of the program's main window, returning once it is handled (sent to the
// item's parent, as the click sends it: the main window, or the page's window).
bool ClickAndWait(HWND main, HWND item)
{
    DWORD_PTR result = 0;
    HWND parent = item ? GetParent(item) : nullptr;
    return main && parent && SendMessageTimeoutW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(item), BN_CLICKED),
                                                 reinterpret_cast<LPARAM>(item), SMTO_NORMAL, kStepMs, &result);
}

// The journal's lines from index from on, once it has stopped growing (the program may still be
// reading when its window shows).
std::vector<std::string> SettledJournal(size_t from)
{
    std::vector<std::string> lines = simtest::JournalLines();
    double stableSince = NowMs();
    const double end = NowMs() + kStepMs;
    while (NowMs() - stableSince < 500 && NowMs() < end) {
        Sleep(50);
        std::vector<std::string> now = simtest::JournalLines();
        if (now.size() != lines.size()) {
            lines = std::move(now);
            stableSince = NowMs();
        }
    }
    if (from >= lines.size())
        return {};
    return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end());
}

// A journal line without the serial of the object the call was made on: the same question asked of
// another object of one entry (a second connection, the profile fetched again).
std::string CallOf(const std::string& line)
{
    const size_t at = line.find(" @");
    if (at == std::string::npos)
        return line;
    size_t end = at + 2;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9')
        ++end;
    return line.substr(0, at) + line.substr(end);
}

size_t Repeats(const std::vector<std::string>& lines)
{
    std::set<std::string> seen;
    size_t repeats = 0;
    for (const std::string& line : lines)
        if (!seen.insert(line).second)
            ++repeats;
    return repeats;
}

// What stands after a figure over its limit.
const char* Mark(bool met)
{
    return met ? "" : "   <-- over the limit";
}

class VexaBenchmark : public simtest::SimTest
{
protected:
    void SetUp() override
    {
        simtest::SimTest::SetUp();
        PrepareInstall();
    }
};

// The page tabs in the order they are clicked; a page already shown (at start, or by its product's
// tab) is marked, as its first click is no first showing.
const struct
{
    int tab;
    int marker;
    const char* name;
    bool shownBefore;
} kTabs[] = {
    {BUTTON_ADJUSTPERFORMANCE, 286, "mouse performance", false},
    {BUTTON_MANAGEPROFILES, BUTTON_NEWPROFILE_MOUSE, "mouse profiles", false},
    {BUTTON_MANAGEMACROS, BUTTON_MACRO_CREATE, "mouse macros", false},
    {BUTTON_LIGHTINGMAINTENANCE, BUTTON_VXMOUSE_LTMAIN_ON, "mouse lighting", false},
    {BUTTON_ASSIGNBUTTONS, BUTTON_ASSNLEFTCLICK, "mouse buttons", true},
    {BUTTON_PRODSELECT_KEYBOARD, BUTTON_RESET_KEYBOARD_KEYS, "product keyboard (keys page)", false},
    {BUTTON_MANAGEPROFILES_KEYBOARD, BUTTON_NEWPROFILE_KEYBOARD, "keyboard profiles", false},
    {BUTTON_MANAGEMACROS_KEYBOARD, BUTTON_MACRO_CREATE_KEYBOARD, "keyboard macros", false},
    {BUTTON_LIGHTINGMAINTENANCE_KEYBOARD, BUTTON_VXKBD_LTMAIN_ON, "keyboard lighting", false},
    {BUTTON_ASSIGNKEYS, BUTTON_RESET_KEYBOARD_KEYS, "keyboard keys", true},
    {BUTTON_PRODSELECT_MOUSE, BUTTON_ASSNLEFTCLICK, "product mouse (buttons page)", true},
};

// Five fresh starts of the program, each next to one of the empty dialog program: start-up, the
// windows and private memory after start, and every tab clicked twice (its first and a later
// showing).
TEST_F(VexaBenchmark, StartUpTabsWindowsMemory)
{
    const std::wstring config = InstallDir() + L"\\HalvoVexaConfig.exe";
    std::vector<double> program, empty, programMemory, emptyMemory;
    std::vector<double> programWindows, programTop, programChildren, emptyWindows;
    std::vector<std::vector<double>> first(std::size(kTabs)), later(std::size(kTabs));
    for (int run = 0; run < kRuns; ++run) {
        hvtest::ChildProcess process;
        // No journal of reads: writing it would slow the start down.
        const hvtest::StartedWindow started =
            StartFromTestDir(config, kMainClass, process, {{L"HV_MWSIM_JOURNAL_READS", L""}});
        ASSERT_TRUE(started.window);
        program.push_back(started.ms);
        ASSERT_TRUE(WaitIdle(started.window)) << "the program does not answer after its start";
        const WindowCount windows = CountWindows(process.Id());
        programWindows.push_back(windows.Total());
        programTop.push_back(windows.topLevel);
        programChildren.push_back(windows.children);
        programMemory.push_back(PrivateMb(process.Handle()));
        for (auto* times : {&first, &later}) {
            for (size_t i = 0; i < std::size(kTabs); ++i) {
                // From the click to the page painted: finding the tab before and the page's item
                // after (a question to the other process per window) are not the program's time.
                const HWND tab = hvtest::FindItemWindow(started.window, kTabs[i].tab);
                ASSERT_TRUE(tab) << "no tab item " << kTabs[i].name;
                const double start = NowMs();
                ASSERT_TRUE(ClickAndWait(started.window, tab)) << "the tab did not answer: " << kTabs[i].name;
                RedrawWindow(started.window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                (*times)[i].push_back(NowMs() - start);
                ASSERT_TRUE(hvtest::FindItemWindow(started.window, kTabs[i].marker))
                    << "the page was not shown: " << kTabs[i].name;
            }
        }
        EndProgram(process, started.window);

        hvtest::ChildProcess dialog;
        const hvtest::StartedWindow shown = hvtest::StartEmptyDialog(dialog, kStepMs);
        ASSERT_TRUE(shown.window);
        empty.push_back(shown.ms);
        ASSERT_TRUE(WaitIdle(shown.window));
        emptyWindows.push_back(CountWindows(dialog.Id()).Total());
        emptyMemory.push_back(PrivateMb(dialog.Handle()));
        // Its dialog closes without ending the program.
        dialog.Terminate();
    }

    const double ratio = Median(program) / std::max(1.0, Median(empty));
    Line("Start-up to the main window painted (both devices read)");
    Line("  HalvoVexaConfig %8.0f ms   empty dialog program %5.0f ms   ratio %5.1fx   limit %.0fx (%.0f ms)%s",
         Median(program), Median(empty), ratio, kStartUpRatioLimit, kStartUpRatioLimit * Median(empty),
         Mark(ratio <= kStartUpRatioLimit));
    Judge("start-up at most 8x the empty dialog program's", ratio <= kStartUpRatioLimit, Format("%.1fx", ratio));

    Line("Page tabs: first click after a start (median of %d starts) and later clicks (median of %d)", kRuns, kRuns);
    double slowest = 0;
    std::string slowestName;
    for (size_t i = 0; i < std::size(kTabs); ++i) {
        const double f = Median(first[i]), l = Median(later[i]);
        const double worst = std::max(f, l);
        if (worst > slowest) {
            slowest = worst;
            slowestName = kTabs[i].name;
        }
        Line("  %-30s first %6.0f ms%s   later %6.0f ms   limit %.0f ms%s", kTabs[i].name, f,
             kTabs[i].shownBefore ? " (shown before)" : "               ", l, kTabLimitMs,
             Mark(worst <= kTabLimitMs));
    }
    Judge("every tab, first showing included, at most 50 ms", slowest <= kTabLimitMs,
          Format("slowest %.0f ms (%s)", slowest, slowestName.c_str()));

    const double windows = Median(programWindows);
    Line("Windows of the process after start");
    Line("  HalvoVexaConfig %5.0f (top-level %.0f, child %.0f)   empty dialog program %3.0f   limit %d%s", windows,
         Median(programTop), Median(programChildren), Median(emptyWindows), kWindowLimit,
         Mark(windows <= kWindowLimit));
    Judge("at most 150 windows after start", windows <= kWindowLimit, Format("%.0f", windows));

    const double memory = Median(programMemory);
    Line("Private memory after start");
    Line("  HalvoVexaConfig %6.1f MB   empty dialog program %5.1f MB   limit %.0f MB%s", memory, Median(emptyMemory),
         kMemoryLimitMb, Mark(memory <= kMemoryLimitMb));
    Judge("private memory after start at most 40 MB", memory <= kMemoryLimitMb, Format("%.1f MB", memory));
}

// The middleware calls of a start, and OK with nothing changed on each product: five starts per
// product, every call journaled.
TEST_F(VexaBenchmark, MiddlewareCallsOfStartAndOk)
{
    const std::wstring config = InstallDir() + L"\\HalvoVexaConfig.exe";
    std::vector<double> startCalls, startRepeats, entryRepeats;
    struct Ok
    {
        const char* name;
        int productTab;
        std::vector<double> calls, times;
    } oks[] = {{"mouse", 0, {}, {}}, {"keyboard", BUTTON_PRODSELECT_KEYBOARD, {}, {}}};
    std::vector<std::string> repeated;
    for (int run = 0; run < kRuns; ++run) {
        for (Ok& ok : oks) {
            const size_t before = JournalSize();
            hvtest::ChildProcess process;
            const hvtest::StartedWindow started =
                StartFromTestDir(config, kMainClass, process, {{L"HV_MWSIM_JOURNAL_READS", L"1"}});
            ASSERT_TRUE(started.window);
            ASSERT_TRUE(WaitIdle(started.window));
            const std::vector<std::string> lines = SettledJournal(before);
            std::vector<std::string> entries;
            for (const std::string& line : lines)
                entries.push_back(CallOf(line));
            startCalls.push_back(static_cast<double>(lines.size()));
            startRepeats.push_back(static_cast<double>(Repeats(lines)));
            entryRepeats.push_back(static_cast<double>(Repeats(entries)));
            if (repeated.empty()) {
                std::set<std::string> seen;
                for (const std::string& entry : entries)
                    if (!seen.insert(entry).second)
                        repeated.push_back(entry);
            }
            if (ok.productTab) {
                ASSERT_TRUE(ClickAndWait(started.window, hvtest::FindItemWindow(started.window, ok.productTab)));
                SettledJournal(0);
            }
            const size_t shown = JournalSize();
            const double start = NowMs();
            ASSERT_TRUE(hvtest::PostItemCommand(started.window, BUTTON_OK));
            ASSERT_TRUE(process.Wait(kStepMs)) << "the program did not end within " << kStepMs << " ms of OK";
            ok.times.push_back(NowMs() - start);
            ok.calls.push_back(static_cast<double>(JournalSize() - shown));
        }
    }
    const double calls = Median(startCalls), repeats = Median(startRepeats);
    Line("Middleware calls of a start (median of %d starts)", 2 * kRuns);
    Line("  %.0f calls, %.0f of them repeated   limit 0 repeated%s", calls, repeats, Mark(repeats == 0));
    Line("  %.0f asked again of one entry through another object (the journal's object serial aside)",
         Median(entryRepeats));
    if (!repeated.empty()) {
        std::map<std::string, int> counts;
        for (const std::string& line : repeated)
            ++counts[line];
        std::vector<std::pair<int, std::string>> most;
        for (const auto& [line, count] : counts)
            most.emplace_back(count, line);
        std::sort(most.rbegin(), most.rend());
        Line("  most repeated (times again, in the first start):");
        for (size_t i = 0; i < most.size() && i < 5; ++i)
            Line("    %3d x  %s", most[i].first, most[i].second.c_str());
    }
    Judge("no repeated middleware call at start", repeats == 0, Format("%.0f repeated", repeats));
    Line("OK with nothing changed (until the program has ended)");
    bool none = true;
    for (const Ok& ok : oks) {
        const double okCalls = Median(ok.calls);
        none = none && okCalls == 0;
        Line("  %-8s %6.0f ms   %4.0f middleware calls   limit 0 calls%s", ok.name, Median(ok.times), okCalls,
             Mark(okCalls == 0));
    }
    Judge("OK with nothing changed: 0 middleware calls", none,
          Format("mouse %.0f, keyboard %.0f", Median(oks[0].calls), Median(oks[1].calls)));
}

// Apply on the main dialog of this process: until the device is idle, and the journal's calls. The
// popups an edit opens are answered as a user would.
class VexaApplyBenchmark : public VexaBenchmark
{
protected:
    void SetUp() override
    {
        VexaBenchmark::SetUp();
        // What the program sets up before its dialog: the name tables, the installer's language and
        // the keyboard's own layout, whose keys the keyboard's profiles assign (without it a write
        // sends no key at all).
        FillLanguageNameTable();
        FillKeyboardLayoutItemTable();
        InitNameTables();
        GetSkinResourceCache().SetFolder(hvtest::SkinImageDir());
        LoadLayoutFile(&m_language, L"Language.xml", nullptr, false);
        SetCurrentLangTable(FindRegisteredLangTable(0));
        ASSERT_TRUE(LoadLayoutFile(&m_layouts, L"KeyboardLayout.xml", nullptr, false));
        int32_t layout = 0;
        {
            CVxConfig_Keyboard config;
            IGenKeyboard* keyboard = nullptr;
            CreateKeyboardDevice(g_KeyboardDescriptor, &keyboard, &config);
            layout = ChooseKeyboardLayoutItem(keyboard);
            DestroyDevices();
        }
        ASSERT_TRUE(ActivateKeyboardLayoutItem(KeyboardLayouts(), layout));
        SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL_READS", L"1");
        ASSERT_TRUE(m_vexa.Open());
    }

    void TearDown() override
    {
        m_vexa.Close();
        SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL_READS", nullptr);
        RestoreKeyboardLayout();
        m_layouts.DeleteAll();
        SetCurrentLangTable(nullptr);
        m_language.DeleteAll();
        VexaBenchmark::TearDown();
    }

    void Command(int id)
    {
        const HWND item = m_vexa.Item(id);
        ASSERT_TRUE(item) << "item " << id;
        m_vexa.Command(item);
    }

    // One edit: its tab, then a click on its item (or a choice in it), with the popups it opens
    // answered by the steps.
    struct Edit
    {
        using Popups = std::function<std::vector<PopupScript::Step>(int run)>;
        using Choice = std::function<void(HWND item, int run)>;
        Edit(int tabId, int itemId, Popups popupSteps = nullptr, Choice choice = nullptr)
            : tab(tabId), item(itemId), popups(std::move(popupSteps)), choose(std::move(choice))
        {
        }
        int tab;
        int item;
        Popups popups;
        Choice choose;
    };

    void MakeEdit(const Edit& edit, int run)
    {
        Command(edit.tab);
        PopupScript script;
        if (edit.popups)
            for (PopupScript::Step& step : edit.popups(run))
                script.Expect(std::move(step));
        if (edit.choose) {
            const HWND item = m_vexa.Item(edit.item);
            ASSERT_TRUE(item) << "item " << edit.item;
            edit.choose(item, run);
        } else {
            Command(edit.item);
        }
        ASSERT_TRUE(PollUntil([&] {
            hvtest::FlushMessages(10, 50);
            return script.Done();
        })) << script.Left() << " popups of item " << edit.item << " did not come";
        hvtest::FlushMessages();
    }

    void MeasureApply(const char* what, int productTab, const std::vector<Edit>& edits,
                      const std::function<bool()>& busy)
    {
        Command(productTab);
        std::vector<double> times, calls;
        for (int run = 0; run < kRuns; ++run) {
            for (const Edit& edit : edits) {
                MakeEdit(edit, run);
                if (HasFatalFailure())
                    return;
            }
            ASSERT_TRUE(IsWindowEnabled(m_vexa.Item(BUTTON_APPLY))) << what << ": Apply not offered after the edits";
            const size_t before = JournalSize();
            const double start = NowMs();
            Command(BUTTON_APPLY);
            ASSERT_TRUE(PollUntil([&] { return !busy(); })) << what << ": the device still busy after " << kStepMs
                                                             << " ms";
            times.push_back(NowMs() - start);
            calls.push_back(static_cast<double>(JournalSize() - before));
            hvtest::FlushMessages();
        }
        Line("  %-36s %6.0f ms   %4.0f middleware calls", what, Median(times), Median(calls));
    }

    static std::wstring RunName(const wchar_t* stem, int run) { return stem + std::to_wstring(run + 1); }
    // The popup of layout that asks a name, answered with a name of the run's own.
    static Edit::Popups NamePopup(const wchar_t* layout)
    {
        return [layout](int run) {
            return std::vector<PopupScript::Step>{PopupScript::TypeName(layout, RunName(L"Bench ", run))};
        };
    }

    CGUIItems m_language;
    CGUIItems m_layouts;
    InProcessVexa m_vexa;
};

TEST_F(VexaApplyBenchmark, Apply)
{
    auto mouseBusy = [this] { return m_vexa.Mouse()->IsBusy(); };
    auto keyboardBusy = [this] { return m_vexa.Keyboard()->IsBusy(); };
    const Edit separateXY{BUTTON_ADJUSTPERFORMANCE, BUTTON_ENABLEXY, nullptr};
    const Edit resetKeys{BUTTON_ASSIGNKEYS, BUTTON_RESET_KEYBOARD_KEYS, [](int) {
                             return std::vector<PopupScript::Step>{
                                 PopupScript::Answer(L"RestorePopup.xml", BUTTON_POPUP_YES)};
                         }};
    Line("Apply (until the device is idle)");
    MeasureApply("mouse, one edit", BUTTON_PRODSELECT_MOUSE, {separateXY}, mouseBusy);
    // The middle button's drop-down: a click, then a double click, in turn.
    const Edit middleButton{BUTTON_ASSIGNBUTTONS, BUTTON_ASSNSCROLLBUTTON, nullptr, [this](HWND item, int run) {
                                std::vector<int32_t> types;
                                m_vexa.MouseConfig()->GetActiveProfile()->GetAllowedFunctions(types, 3);
                                const int32_t wanted = run % 2 ? kActionClick : kActionDoubleClick;
                                const auto found = std::find(types.begin(), types.end(), wanted);
                                ASSERT_NE(types.end(), found) << "the middle button offers no function " << wanted;
                                m_vexa.Dialog().SendMessage(WM_DROPDOWN_SELCHANGE, found - types.begin(),
                                                            reinterpret_cast<LPARAM>(item));
                            }};
    MeasureApply("mouse, edits on every page", BUTTON_PRODSELECT_MOUSE,
                 {middleButton,
                  separateXY,
                  {BUTTON_MANAGEPROFILES, BUTTON_NEWPROFILE_MOUSE,
                   NamePopup(L"ProfileNamePopup.xml")},
                  {BUTTON_MANAGEMACROS, BUTTON_MACRO_CREATE,
                   NamePopup(L"MacroNamePopup.xml")},
                  {BUTTON_LIGHTINGMAINTENANCE, BUTTON_VXMOUSE_LTMAIN_ON, nullptr}},
                 mouseBusy);
    MeasureApply("keyboard, one edit", BUTTON_PRODSELECT_KEYBOARD, {resetKeys}, keyboardBusy);
    MeasureApply("keyboard, edits on every page", BUTTON_PRODSELECT_KEYBOARD,
                 {resetKeys,
                  {BUTTON_MANAGEPROFILES_KEYBOARD, BUTTON_NEWPROFILE_KEYBOARD,
                   NamePopup(L"ProfileNamePopup.xml")},
                  {BUTTON_MANAGEMACROS_KEYBOARD, BUTTON_MACRO_CREATE_KEYBOARD,
                   NamePopup(L"MacroNamePopup.xml")},
                  {BUTTON_LIGHTINGMAINTENANCE_KEYBOARD, BUTTON_VXKBD_LTMAIN_ON, nullptr}},
                 keyboardBusy);
}

// Last: one line per limit.
TEST(VexaBenchmarkSummary, Limits)
{
    Line("Limits");
    for (const Verdict& verdict : g_verdicts)
        Line("  %-50s %s%s%s%s", verdict.limit, !verdict.judged ? "NOT MEASURED (its part failed)" : verdict.met ? "met" : "NOT MET",
             verdict.judged ? " (" : "", verdict.figure.c_str(), verdict.judged ? ")" : "");
}

} // namespace
