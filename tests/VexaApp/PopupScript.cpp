#include "PopupScript.h"

#include "HvTest.h"
#include "SimTest.h"

#include <gtest/gtest.h>

#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "controls/ListPanel.h"
#include "controls/PopupBox.h"
#include "controls/TextItem.h"
#include "core/ItemIds.h"

namespace vexatest {

namespace {

CPopupBox* PopupOf(HWND window)
{
    return dynamic_cast<CPopupBox*>(CWnd::FromHandlePermanent(window));
}

// The newest popup shown: a menu once its list has the focus, a notice or form once it shows.
HWND PopupInFront()
{
    return hvtest::ThreadWindow(
        [](HWND window) {
            CPopupBox* popup = PopupOf(window);
            auto* panel = dynamic_cast<CListPanel*>(popup);
            return popup && (!panel || GetFocus() == panel->List().GetSafeHwnd());
        },
        true);
}

void EndPopup(HWND window)
{
    if (auto* panel = dynamic_cast<CListPanel*>(PopupOf(window)))
        panel->PostMessage(WM_LISTPANEL_SELECT, 0, -1);
    else if (CPopupBox* popup = PopupOf(window))
        popup->EndDialog(IDCANCEL);
}

std::string LayoutOf(HWND window)
{
    CPopupBox* popup = PopupOf(window);
    return popup ? simtest::Narrow(popup->LayoutFile()) : std::string("a window that is no popup");
}

std::wstring BaseName(const std::wstring& layout)
{
    const size_t dot = layout.rfind(L'.');
    return dot == std::wstring::npos ? layout : layout.substr(0, dot);
}

} // namespace

PopupScript::PopupScript() : hvtest::ModalScript(PopupInFront, EndPopup, LayoutOf) {}

void PopupScript::Expect(Step step)
{
    ExpectOnce([this, step = std::move(step)](HWND window) {
        CPopupBox& popup = *PopupOf(window);
        auto* panel = dynamic_cast<CListPanel*>(&popup);
        const std::wstring name = panel ? L"ContextMenu" : BaseName(popup.LayoutFile());
        m_seen.push_back(panel ? std::wstring(L"menu") : popup.LayoutFile());
        UpdateWindow(window);
        hvtest::CaptureWindow(window).SaveToTestDir(L"popup_" + name + L".bmp");
        step(popup);
    });
}

std::wstring HeadingOf(CGUIPanel& popup)
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
