#include "ModalScript.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace hvtest {

namespace {

// Longer than the idle time the harness's message waits look for, so that they end.
constexpr UINT kTickMs = 60;

struct ThreadSearch
{
    const std::function<bool(HWND)>* accept;
    bool newest;
    HWND found;
};

BOOL CALLBACK SearchThread(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<ThreadSearch*>(param);
    if (!IsWindowVisible(hwnd) || !(*search->accept)(hwnd))
        return TRUE;
    search->found = hwnd;
    return search->newest;  // the last found is the newest: a nested window is made after its opener
}

} // namespace

std::vector<ModalScript*> ModalScript::s_scripts;

HWND ThreadWindow(const std::function<bool(HWND)>& accept, bool newest)
{
    ThreadSearch search{&accept, newest, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), SearchThread, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool RaiseAboveOwner(HWND window)
{
    const HWND owner = GetWindow(window, GW_OWNER);
    for (HWND above = GetWindow(window, GW_HWNDPREV); owner && above; above = GetWindow(above, GW_HWNDPREV)) {
        if (above == owner) {
            SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            return true;
        }
    }
    return false;
}

ModalScript::ModalScript(Finder inFront, Ender end, Namer name)
    : m_inFront(std::move(inFront)), m_end(std::move(end)), m_name(std::move(name))
{
    s_scripts.push_back(this);
    m_timer = SetTimer(nullptr, 0, kTickMs, Tick);
}

ModalScript::~ModalScript()
{
    KillTimer(nullptr, m_timer);
    s_scripts.erase(std::find(s_scripts.begin(), s_scripts.end(), this));
}

void ModalScript::Expect(std::vector<Action> actions, Accept accept)
{
    m_queue.push_back({std::move(actions), std::move(accept)});
}

void ModalScript::ExpectOnce(std::function<void(HWND window)> step, Accept accept)
{
    Expect({[step = std::move(step)](HWND window) {
               step(window);
               return true;
           }},
           std::move(accept));
}

bool ModalScript::Done()
{
    Sweep();
    return m_queue.empty() && m_answering.empty();
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR timer, DWORD)
{
    for (ModalScript* script : s_scripts) {
        if (script->m_timer == timer) {
            script->OnTick();
            return;
        }
    }
}

std::string ModalScript::NameOf(HWND window) const
{
    if (m_name)
        return m_name(window);
    const std::wstring text = TextOf(window);
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return "\"" + narrow + "\"";
}

void ModalScript::GiveUp(HWND window, const std::string& why)
{
    ADD_FAILURE() << why << ": " << NameOf(window);
    m_end(window);
    m_last = {window, GetTickCount()};
}

// Forgets a window that is gone; a window that ended during the last action of its entry was
// answered by it, one that ended with actions left was not.
void ModalScript::Sweep()
{
    if (m_last.window && !IsWindow(m_last.window))
        m_last = {};
    for (auto it = m_answering.begin(); it != m_answering.end();) {
        if (it->running || (IsWindow(it->window) && IsWindowVisible(it->window))) {
            ++it;
            continue;
        }
        if (it->next + 1 < it->entry.actions.size())
            ADD_FAILURE() << "a window ended with " << it->entry.actions.size() - it->next
                          << " of its actions left";
        it = m_answering.erase(it);
    }
}

void ModalScript::OnTick()
{
    Sweep();
    const HWND front = m_inFront();
    if (!front) {
        m_stranger = nullptr;
        return;
    }
    const DWORD now = GetTickCount();
    for (auto it = m_answering.begin(); it != m_answering.end(); ++it) {
        if (it->window == front) {
            Run(it);
            return;
        }
    }
    if (front == m_last.window) {
        if (now - m_last.at > kPatienceMs) {
            ADD_FAILURE() << "a window was left open: " << NameOf(front);
            m_end(front);
            m_last.at = now;
        }
        return;
    }
    if (!m_queue.empty() && (!m_queue.front().accept || m_queue.front().accept(front))) {
        m_answering.push_back({front, std::move(m_queue.front()), 0, now, false});
        m_queue.pop_front();
        m_stranger = nullptr;
        Run(std::prev(m_answering.end()));
        return;
    }
    if (front != m_stranger) {
        m_stranger = front;
        m_strangerSince = now;
    } else if (now - m_strangerSince > kPatienceMs) {
        GiveUp(front, m_queue.empty() ? "a window no step expects" : "a window the next step does not take");
        m_stranger = nullptr;
    }
}

void ModalScript::Run(std::list<Answering>::iterator answering)
{
    // An action's clicks may pump this timer again: a nested window is answered meanwhile, this one
    // is not.
    if (answering->running)
        return;
    answering->running = true;
    const bool done = answering->entry.actions[answering->next](answering->window);
    answering->running = false;
    const DWORD now = GetTickCount();
    if (done) {
        answering->since = now;
        if (++answering->next == answering->entry.actions.size()) {
            m_last = {answering->window, now};
            m_answering.erase(answering);
        }
    } else if (now - answering->since > kPatienceMs) {
        const HWND window = answering->window;
        const size_t step = answering->next;
        m_answering.erase(answering);
        GiveUp(window, "action " + std::to_string(step) + " still waiting");
    }
}

} // namespace hvtest
