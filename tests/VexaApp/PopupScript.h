// Answers the modal popups of the main dialog from inside their modal loops (hvtest::ModalScript):
// one step for each new popup of this thread once it is shown (the notices and forms, and the
// list panels of the context menus). A step sees which layout the popup was made from, keeps a
// picture of it in the test's folder, and answers it by clicking its items or choosing an entry.
#pragma once

#include <windows.h>

#include "ModalScript.h"

#include <deque>
#include <functional>
#include <string>

class CGUIPanel;
class CPopupBox;

namespace vexatest {

class PopupScript : public hvtest::ModalScript
{
public:
    using Step = std::function<void(CPopupBox& popup)>;

    PopupScript();

    void Expect(Step step);
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
    std::deque<std::wstring> m_seen;
};

// The heading of a notice (its text item 261); empty for a panel without one.
std::wstring HeadingOf(CGUIPanel& popup);
// The language's text of a "$" key.
std::wstring Text(const wchar_t* key);

} // namespace vexatest
