// Answers the modal popups of the main dialog from inside their modal loops: a thread timer runs
// one step for each new popup of this thread once it is shown (the notices and forms, and the
// list panels of the context menus). A step sees which layout the popup was made from, keeps a
// picture of it in the test's folder, and answers it by clicking its items or choosing an entry.
// A popup that no step expects fails the test and is closed, so that the test goes on.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

class CPopupBox;

namespace vexatest {

class PopupScript
{
public:
    using Step = std::function<void(CPopupBox& popup)>;

    PopupScript();
    ~PopupScript();
    PopupScript(const PopupScript&) = delete;
    PopupScript& operator=(const PopupScript&) = delete;

    void Expect(Step step) { m_steps.push_back(std::move(step)); }
    bool Done() const { return m_steps.empty(); }
    size_t Left() const { return m_steps.size(); }
    // The layouts of the popups answered so far, in order.
    const std::deque<std::wstring>& Seen() const { return m_seen; }
    void ClearSeen() { m_seen.clear(); }

    // ---- answers ----
    // A notice or question: its layout must be layout; its heading text is kept in *heading when
    // given; closed with the button of that item id.
    static Step Answer(const wchar_t* layout, int buttonId, std::wstring* heading = nullptr);
    // A name form: the text typed into its edit, then OK.
    static Step TypeName(const wchar_t* layout, const std::wstring& name, std::wstring* heading = nullptr);
    // A context menu: the entry of that name chosen; *disabled tells whether it was disabled then.
    // An empty entry name closes the menu without a choice.
    static Step Choose(const std::wstring& entry, bool* disabled = nullptr);
    // A context menu looked at: whether the entry is disabled, then closed without a choice.
    static Step Probe(const std::wstring& entry, bool* disabled);

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Run(CPopupBox& popup, HWND window);

    std::deque<Step> m_steps;
    std::deque<std::wstring> m_seen;
    HWND m_last = nullptr;
    DWORD m_lastAt = 0;
    UINT_PTR m_timer = 0;
    static PopupScript* s_current;
};

// The heading of a notice (its text item 261).
std::wstring HeadingOf(CPopupBox& popup);
// The language's text of a "$" key.
std::wstring Text(const wchar_t* key);

} // namespace vexatest
