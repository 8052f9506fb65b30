// Figures of the configuration program (scripts/benchmark.sh runs this; it is no test of ctest's):
//   - start-up, from the process start to the main window shown and painted with both devices read,
//     next to an empty dialog program's;
//   - each page tab, from its command to the page painted;
//   - Apply on the mouse and on the keyboard, after one edit and after edits on every page: how long
//     until the device is no longer busy, and how many middleware calls the simulator journaled.
// Each figure is the median of five runs. Start-up and tabs are measured on the program as a process
// from its install directory; Apply on the main dialog in this process, where the device's own
// IsBusy can be asked.
#include "VexaInProcess.h"
#include "VexaProgram.h"

#include "SimTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "VxItemIds.h"

using namespace vexatest;

namespace {

constexpr int kRuns = 5;

double NowMs()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Report(const char* what, double ms, const char* extra = "")
{
    printf("%-48s %8.0f ms%s\n", what, ms, extra);
    fflush(stdout);
}

// Waits until a window of the process is shown, then has it paint what is due.
double StartUntilPainted(const std::wstring& program, const wchar_t* windowClass, hvtest::ChildProcess& process)
{
    hvtest::StartOptions options;
    options.workDir = hvtest::TestDir();
    const double start = NowMs();
    if (!process.Start(program, {}, options)) {
        ADD_FAILURE() << "cannot start " << simtest::Narrow(program);
        return 0;
    }
    HWND window = nullptr;
    if (!hvtest::WaitUntil([&] {
            window = hvtest::FindTopWindow(windowClass, nullptr, process.Id(), true);
            return window != nullptr;
        }, 60000)) {
        ADD_FAILURE() << "no window of " << simtest::Narrow(program);
        return 0;
    }
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return NowMs() - start;
}

void EndProgram(hvtest::ChildProcess& process, HWND window)
{
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!process.Wait(30000))
        process.Terminate();
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

TEST_F(VexaBenchmark, StartUpAndTabs)
{
    std::vector<double> program, empty;
    for (int run = 0; run < kRuns; ++run) {
        hvtest::ChildProcess process;
        program.push_back(StartUntilPainted(InstallDir() + L"\\HalvoVexaConfig.exe", kMainClass, process));
        EndProgram(process, hvtest::FindTopWindow(kMainClass, nullptr, process.Id()));
        hvtest::ChildProcess dialog;
        empty.push_back(StartUntilPainted(hvtest::BinFile(L"bench_empty_dialog.exe"), L"#32770", dialog));
        EndProgram(dialog, hvtest::FindTopWindow(L"#32770", nullptr, dialog.Id()));
    }
    Report("start-up, HalvoVexaConfig (both devices read)", Median(program));
    Report("start-up, an empty dialog program", Median(empty));

    VexaProgram vexa;
    ASSERT_TRUE(vexa.Start());
    const HWND main = vexa.Main();
    static const struct { int tab; int marker; const char* name; } kTabs[] = {
        {BUTTON_ADJUSTPERFORMANCE, 286, "tab: mouse performance"},
        {BUTTON_MANAGEPROFILES, BUTTON_NEWPROFILE_MOUSE, "tab: mouse profiles"},
        {BUTTON_MANAGEMACROS, BUTTON_MACRO_CREATE, "tab: mouse macros"},
        {BUTTON_LIGHTINGMAINTENANCE, BUTTON_VXMOUSE_LTMAIN_ON, "tab: mouse lighting"},
        {BUTTON_ASSIGNBUTTONS, BUTTON_ASSNLEFTCLICK, "tab: mouse buttons"},
        {BUTTON_PRODSELECT_KEYBOARD, BUTTON_RESET_KEYBOARD_KEYS, "product tab: keyboard (keys page)"},
        {BUTTON_MANAGEPROFILES_KEYBOARD, BUTTON_NEWPROFILE_KEYBOARD, "tab: keyboard profiles"},
        {BUTTON_MANAGEMACROS_KEYBOARD, BUTTON_MACRO_CREATE_KEYBOARD, "tab: keyboard macros"},
        {BUTTON_LIGHTINGMAINTENANCE_KEYBOARD, BUTTON_VXKBD_LTMAIN_ON, "tab: keyboard lighting"},
        {BUTTON_ASSIGNKEYS, BUTTON_RESET_KEYBOARD_KEYS, "tab: keyboard keys"},
        {BUTTON_PRODSELECT_MOUSE, BUTTON_ASSNLEFTCLICK, "product tab: mouse (buttons page)"},
    };
    std::vector<std::vector<double>> times(std::size(kTabs));
    for (int run = 0; run < kRuns; ++run) {
        for (size_t i = 0; i < std::size(kTabs); ++i) {
            const double start = NowMs();
            ASSERT_TRUE(vexa.ClickAndWait(kTabs[i].tab));
            ASSERT_TRUE(vexa.Item(kTabs[i].marker)) << kTabs[i].name;
            RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            times[i].push_back(NowMs() - start);
        }
    }
    for (size_t i = 0; i < std::size(kTabs); ++i)
        Report(kTabs[i].name, Median(times[i]));
    EndProgram(vexa.Process(), main);
}

// Apply on the main dialog of this process: until the device is idle, and the journal's calls.
class VexaApplyBenchmark : public VexaBenchmark
{
protected:
    void SetUp() override
    {
        VexaBenchmark::SetUp();
        SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL_READS", L"1");
        ASSERT_TRUE(m_vexa.Open());
    }

    void TearDown() override
    {
        m_vexa.Close();
        SetEnvironmentVariableW(L"HV_MWSIM_JOURNAL_READS", nullptr);
        VexaBenchmark::TearDown();
    }

    void Command(int id)
    {
        const HWND item = m_vexa.Item(id);
        ASSERT_TRUE(item) << "item " << id;
        m_vexa.Command(item);
    }

    // One edit: a command of an item of each page in pages (its tab first).
    void Edit(const std::vector<std::pair<int, int>>& pages)
    {
        for (const auto& [tab, item] : pages) {
            Command(tab);
            Command(item);
        }
    }

    void MeasureApply(const char* what, int productTab, const std::vector<std::pair<int, int>>& pages,
                      const std::function<bool()>& busy)
    {
        Command(productTab);
        std::vector<double> times, calls;
        for (int run = 0; run < kRuns; ++run) {
            Edit(pages);
            ASSERT_TRUE(IsWindowEnabled(m_vexa.Item(BUTTON_APPLY)));
            const size_t before = JournalSize();
            const double start = NowMs();
            Command(BUTTON_APPLY);
            while (busy())
                hvtest::PumpMessages();
            times.push_back(NowMs() - start);
            calls.push_back(static_cast<double>(JournalSize() - before));
        }
        char extra[64];
        snprintf(extra, sizeof extra, ", %.0f middleware calls", Median(calls));
        Report(what, Median(times), extra);
    }

    InProcessVexa m_vexa;
};

TEST_F(VexaApplyBenchmark, Apply)
{
    auto mouseBusy = [this] { return m_vexa.Mouse()->IsBusy(); };
    auto keyboardBusy = [this] { return m_vexa.Keyboard()->IsBusy(); };
    MeasureApply("Apply, mouse, one edit", BUTTON_PRODSELECT_MOUSE,
                 {{BUTTON_ADJUSTPERFORMANCE, BUTTON_ENABLEXY}}, mouseBusy);
    MeasureApply("Apply, mouse, edits on every page", BUTTON_PRODSELECT_MOUSE,
                 {{BUTTON_ASSIGNBUTTONS, BUTTON_ASSNLEFTCLICK},
                  {BUTTON_ADJUSTPERFORMANCE, BUTTON_ENABLEXY},
                  {BUTTON_MANAGEPROFILES, BUTTON_NEWPROFILE_MOUSE},
                  {BUTTON_MANAGEMACROS, BUTTON_MACRO_CREATE},
                  {BUTTON_LIGHTINGMAINTENANCE, BUTTON_VXMOUSE_LTMAIN_ON}},
                 mouseBusy);
    MeasureApply("Apply, keyboard, one edit", BUTTON_PRODSELECT_KEYBOARD,
                 {{BUTTON_ASSIGNKEYS, BUTTON_RESET_KEYBOARD_KEYS}}, keyboardBusy);
    MeasureApply("Apply, keyboard, edits on every page", BUTTON_PRODSELECT_KEYBOARD,
                 {{BUTTON_ASSIGNKEYS, BUTTON_RESET_KEYBOARD_KEYS},
                  {BUTTON_MANAGEPROFILES_KEYBOARD, BUTTON_NEWPROFILE_KEYBOARD},
                  {BUTTON_MANAGEMACROS_KEYBOARD, BUTTON_MACRO_CREATE_KEYBOARD},
                  {BUTTON_LIGHTINGMAINTENANCE_KEYBOARD, BUTTON_VXKBD_LTMAIN_ON}},
                 keyboardBusy);
}

} // namespace
