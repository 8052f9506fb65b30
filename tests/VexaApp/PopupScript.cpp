#include "PopupScript.h"

#include "HvTest.h"
#include "SimTest.h"

#include <gtest/gtest.h>

#include "BitmapBtn.h"
#include "ControlMessages.h"
#include "ListPanel.h"
#include "PopupBox.h"
#include "TextItem.h"
#include "VxItemIds.h"

namespace vexatest {

namespace {

// Longer than the idle time the message waits of the harness look for.
constexpr UINT kTickMs = 60;
// A popup its step did not close is closed after this long, so that the test goes on.
constexpr DWORD kLeftOpenMs = 5000;

struct Found
{
    CPopupBox* popup = nullptr;
    HWND window = nullptr;
};

BOOL CALLBACK FindPopup(HWND hwnd, LPARAM result)
{
    auto* popup = dynamic_cast<CPopupBox*>(CWnd::FromHandlePermanent(hwnd));
    if (!popup || !IsWindowVisible(hwnd))
        return TRUE;
    // A menu is ready once its list has the focus; a notice or form once it shows.
    if (auto* panel = dynamic_cast<CListPanel*>(popup); panel && GetFocus() != panel->List().GetSafeHwnd())
        return TRUE;
    auto* found = reinterpret_cast<Found*>(result);
    found->popup = popup;
    found->window = hwnd;
    return TRUE;  // the last one found is the newest: a nested popup is made after its opener
}

std::wstring BaseName(const std::wstring& layout)
{
    const size_t dot = layout.rfind(L'.');
    return dot == std::wstring::npos ? layout : layout.substr(0, dot);
}

} // namespace

PopupScript* PopupScript::s_current = nullptr;

PopupScript::PopupScript()
{
    s_current = this;
    m_timer = SetTimer(nullptr, 0, kTickMs, Tick);
}

PopupScript::~PopupScript()
{
    KillTimer(nullptr, m_timer);
    s_current = nullptr;
}

void CALLBACK PopupScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    PopupScript* script = s_current;
    if (!script)
        return;
    Found found;
    EnumThreadWindows(GetCurrentThreadId(), FindPopup, reinterpret_cast<LPARAM>(&found));
    if (!found.popup)
        return;
    if (found.window == script->m_last) {
        if (GetTickCount() - script->m_lastAt > kLeftOpenMs) {
            ADD_FAILURE() << "a popup was left open: " << simtest::Narrow(found.popup->LayoutFile());
            if (auto* panel = dynamic_cast<CListPanel*>(found.popup))
                panel->PostMessage(WM_LISTPANEL_SELECT, 0, -1);
            else
                found.popup->EndDialog(IDCANCEL);
            script->m_lastAt = GetTickCount();
        }
        return;
    }
    script->m_last = found.window;
    script->m_lastAt = GetTickCount();
    script->Run(*found.popup, found.window);
}

void PopupScript::Run(CPopupBox& popup, HWND window)
{
    auto* panel = dynamic_cast<CListPanel*>(&popup);
    const std::wstring name = panel ? L"ContextMenu" : BaseName(popup.LayoutFile());
    m_seen.push_back(panel ? std::wstring(L"menu") : popup.LayoutFile());
    UpdateWindow(window);
    hvtest::CaptureWindow(window).SaveToTestDir(L"popup_" + name + L".bmp");
    if (m_steps.empty()) {
        ADD_FAILURE() << "an unexpected popup: " << simtest::Narrow(m_seen.back());
        if (panel)
            panel->PostMessage(WM_LISTPANEL_SELECT, 0, -1);
        else
            popup.EndDialog(IDCANCEL);
        return;
    }
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    step(popup);
}

std::wstring HeadingOf(CPopupBox& popup)
{
    const auto* heading = popup.Items().FindAs<CTextItem>(TEXT_WARNDLG_HEADING, ItemKind::TextItem);
    return heading ? heading->GetText() : std::wstring();
}

std::wstring Text(const wchar_t* key)
{
    return CaptionText(key, 0);
}

PopupScript::Step PopupScript::Answer(const wchar_t* layout, int buttonId, std::wstring* heading)
{
    const std::wstring expected = layout;
    return [expected, buttonId, heading](CPopupBox& popup) {
        EXPECT_EQ(simtest::Narrow(expected), simtest::Narrow(popup.LayoutFile()));
        if (heading)
            *heading = HeadingOf(popup);
        if (!hvtest::PostItemCommand(popup.m_hWnd, buttonId, false)) {
            ADD_FAILURE() << "no button " << buttonId << " on " << simtest::Narrow(popup.LayoutFile());
            popup.EndDialog(IDCANCEL);
        }
    };
}

PopupScript::Step PopupScript::TypeName(const wchar_t* layout, const std::wstring& name, std::wstring* heading)
{
    const std::wstring expected = layout;
    return [expected, name, heading](CPopupBox& popup) {
        EXPECT_EQ(simtest::Narrow(expected), simtest::Narrow(popup.LayoutFile()));
        if (heading)
            *heading = HeadingOf(popup);
        const HWND edit = hvtest::FindItemWindow(popup.m_hWnd, EDITCTRL_POPUP_NAMEENTRY, false);
        if (edit)
            SetWindowTextW(edit, name.c_str());
        if (!edit || !hvtest::PostItemCommand(popup.m_hWnd, BUTTON_POPUP_OK, false)) {
            ADD_FAILURE() << "no name edit or OK button on " << simtest::Narrow(popup.LayoutFile());
            popup.EndDialog(IDCANCEL);
        }
    };
}

PopupScript::Step PopupScript::Choose(const std::wstring& entry, bool* disabled)
{
    return [entry, disabled](CPopupBox& popup) {
        auto* panel = dynamic_cast<CListPanel*>(&popup);
        if (!panel) {
            ADD_FAILURE() << "a menu was expected, not " << simtest::Narrow(popup.LayoutFile());
            popup.EndDialog(IDCANCEL);
            return;
        }
        const int index = entry.empty() ? -1 : FindEntryByName(panel->List().Entries(), entry);
        if (disabled)
            *disabled = index >= 0 && panel->List().IsRowDisabled(panel->List().RowOfEntry(index));
        EXPECT_TRUE(entry.empty() || index >= 0) << "the menu has no " << simtest::Narrow(entry);
        panel->PostMessage(WM_LISTPANEL_SELECT, 0, index);
    };
}

PopupScript::Step PopupScript::Probe(const std::wstring& entry, bool* disabled)
{
    return [entry, disabled](CPopupBox& popup) {
        bool seen = false;
        Choose(std::wstring(), &seen)(popup);
        if (auto* panel = dynamic_cast<CListPanel*>(&popup)) {
            const int index = FindEntryByName(panel->List().Entries(), entry);
            EXPECT_GE(index, 0) << "the menu has no " << simtest::Narrow(entry);
            *disabled = index >= 0 && panel->List().IsRowDisabled(panel->List().RowOfEntry(index));
        }
    };
}

} // namespace vexatest
