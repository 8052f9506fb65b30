// Helpers of the list tests: their colours, entries, a wait past the double-click time, and
//
// ModalScript: steps for a modal list panel (CListPanel) run from a timer of the modal loop that shows it: each
// step runs once a new panel is shown with its list holding the focus (a nested panel is a new one
// while its outer panel waits). A panel left open after the last step is ended after a while, as a
// failure, so that a test that went wrong half-way still ends.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

#include "ControlMessages.h"
#include "ListPanel.h"
#include "ModelRecords.h"

namespace controltest {

// The colours the list tests give their lists.
constexpr COLORREF kText = RGB(230, 230, 230);
constexpr COLORREF kBack = RGB(20, 30, 60);
constexpr COLORREF kHotText = RGB(10, 10, 10);
constexpr COLORREF kHotBack = RGB(250, 200, 40);
constexpr COLORREF kBorder = RGB(200, 40, 40);

// Entries with these names, nothing else set.
inline std::vector<ListEntry> Entries(std::initializer_list<const wchar_t*> names)
{
    std::vector<ListEntry> entries;
    for (const wchar_t* name : names) {
        ListEntry entry;
        entry.Init(name, 0, nullptr);
        entries.push_back(entry);
    }
    return entries;
}

// Waits until a press at the same place can no longer make a double click with the last one.
inline void WaitPastDoubleClick()
{
    Sleep(GetDoubleClickTime() + 50);
}

class ModalScript
{
public:
    using Step = std::function<void(CListPanel&)>;

    explicit ModalScript(std::initializer_list<Step> steps) : m_steps(steps)
    {
        s_current = this;
        m_timer = SetTimer(nullptr, 0, 40, Tick);
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
            // A step that failed half-way may leave its panel open: end it, so that the test goes on.
            if (panel && GetTickCount() - script->m_lastStepAt > kLeftOpenMs) {
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

    static inline ModalScript* s_current = nullptr;
    std::deque<Step> m_steps;
    HWND m_last = nullptr;
    UINT_PTR m_timer = 0;
    DWORD m_lastStepAt = 0;
};

} // namespace controltest
