// Answers the modal windows a test opens (popups, list panels, dialogs) from inside their own modal
// loops: a thread timer, which those loops dispatch, looks for the window in front at each tick and
// runs the actions the test queued for it, so that keys and clicks go through the loop that serves
// the program's own. Each entry answers the next window in front other than the one answered last
// (a popup answered again after a list it opened is a new one): its actions run in turn, one per
// tick, each called again at the next tick while it answers false. An action whose clicks pump
// messages lets a nested window be answered meanwhile, never its own again.
// A window left open after its answer, one no entry accepts, or an action that keeps waiting fails
// the test after kPatienceMs and is ended, so that the test goes on and reports it.
//
// What "the window in front" is and how a window is ended differ by window kind: the caller says
// (the wrappers beside the tests of each program give them for their popups).
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "TestWindows.h"

namespace hvtest {

class ModalScript
{
public:
    // One action on the window an entry answers: true when done, false to be called again.
    using Action = std::function<bool(HWND window)>;
    // Whether a window shown is the one an entry answers (no test: any window).
    using Accept = std::function<bool(HWND window)>;
    // The modal window in front that is ready for input, or null.
    using Finder = std::function<HWND()>;
    // Ends a window as its user would give up on it.
    using Ender = std::function<void(HWND window)>;
    // What a failure calls a window.
    using Namer = std::function<std::string(HWND window)>;

    // The harness's one timeout: every wait of the script gives up after it.
    static constexpr DWORD kPatienceMs = DefaultTimeoutMs;

    ModalScript(Finder inFront, Ender end, Namer name = nullptr);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // The next new window in front that accept takes is answered by actions, in turn.
    void Expect(std::vector<Action> actions, Accept accept = nullptr);
    // The next new window in front is answered by one call of step.
    void ExpectOnce(std::function<void(HWND window)> step, Accept accept = nullptr);

    // Every entry answered: a window that ended during its last action counts as answered.
    bool Done();
    // The entries not yet answered, the one under way included.
    size_t Left() const { return m_queue.size() + m_answering.size(); }

private:
    struct Entry
    {
        std::vector<Action> actions;
        Accept accept;
    };
    struct Answering
    {
        HWND window;
        Entry entry;
        size_t next = 0;
        DWORD since = 0;  // when its current action began
        bool running = false;
    };
    struct Answered
    {
        HWND window;
        DWORD at;
    };

    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD);
    void OnTick();
    void Sweep();
    void Run(std::list<Answering>::iterator answering);
    void GiveUp(HWND window, const std::string& why);
    std::string NameOf(HWND window) const;

    Finder m_inFront;
    Ender m_end;
    Namer m_name;
    std::deque<Entry> m_queue;
    std::list<Answering> m_answering;  // a list: an action's nested loop may add one while it runs
    Answered m_last = {};              // answered or given up last, which may stay a moment
    HWND m_stranger = nullptr;         // the window in front that no entry takes, and since when
    DWORD m_strangerSince = 0;
    UINT_PTR m_timer = 0;
    static std::vector<ModalScript*> s_scripts;  // a timer's script is found by its timer
};

// The first (or, with newest, the last) visible window of this thread that accept takes.
HWND ThreadWindow(const std::function<bool(HWND)>& accept, bool newest = false);
// Whether a window is below its owner in the z-order; raises it when so, since input meant for it
// would reach the owner where they overlap (the owner's late activation may raise it).
bool RaiseAboveOwner(HWND window);

} // namespace hvtest
