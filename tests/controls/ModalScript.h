// Drives modal list panels from inside their modal loop: steps run from a thread timer, each once a
// new list panel is shown with its list holding the focus (a nested panel is a new one while its
// outer panel waits). A panel a failed step leaves open is ended after a while, so that the test
// goes on and reports it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "ControlMessages.h"
#include "ListPanel.h"

namespace controltest {

class ModalScript
{
public:
    using Step = std::function<void(CListPanel&)>;

    explicit ModalScript(std::initializer_list<Step> steps) : m_steps(steps)
    {
        s_current = this;
        m_timer = SetTimer(nullptr, 0, kTickMs, Tick);
    }
    ~ModalScript()
    {
        KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    bool Done() const { return m_steps.empty(); }

private:
    static BOOL CALLBACK FindPanel(HWND hwnd, LPARAM result)
    {
        auto* panel = dynamic_cast<CListPanel*>(CWnd::FromHandlePermanent(hwnd));
        if (panel && IsWindowVisible(hwnd) && GetFocus() == panel->List().GetSafeHwnd()) {
            *reinterpret_cast<CListPanel**>(result) = panel;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalScript* script = s_current;
        if (!script)
            return;
        CListPanel* panel = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindPanel, reinterpret_cast<LPARAM>(&panel));
        if (script->m_steps.empty()) {
            // Done: the timer stops, so that it does not keep the test's message waits busy.
            if (!panel) {
                KillTimer(nullptr, script->m_timer);
                return;
            }
            // A step that failed half-way may leave its panel open: end it, so that the test goes on.
            if (GetTickCount() - script->m_lastStepAt > kLeftOpenMs) {
                ADD_FAILURE() << "a list panel was left open";
                panel->PostMessage(WM_LISTPANEL_SELECT, 0, -1);
                script->m_lastStepAt = GetTickCount();
            }
            return;
        }
        if (!panel || panel->GetSafeHwnd() == script->m_last)
            return;
        script->m_last = panel->GetSafeHwnd();
        Step step = std::move(script->m_steps.front());
        script->m_steps.pop_front();
        script->m_lastStepAt = GetTickCount();  // before the step: its clicks pump this timer again
        step(*panel);
        script->m_lastStepAt = GetTickCount();
    }

    static constexpr DWORD kLeftOpenMs = 5000;
    // Longer than the idle time the message waits of the harness look for.
    static constexpr UINT kTickMs = 80;

    static ModalScript* s_current;
    std::deque<Step> m_steps;
    HWND m_last = nullptr;
    UINT_PTR m_timer = 0;
    DWORD m_lastStepAt = 0;
};

} // namespace controltest
