// The main dialog's routing: the commands and notices of the skinned items, dispatched by item id
// to the pages (the commands' own tables are in VxAppDlgCommands.cpp); the timers; device arrival
// and removal.
//
// A notice counts only when its sender is an item of the current page (or, for commands, of the
// main layout itself); anything else is ignored. Every command of a page item marks the current
// product unsaved before it is dispatched, whatever it does, and so do the notices whose handlers
// below call SetModified (or ProfileListOf with its mark).
#include "core/ItemIds.h"
#include "VexaApp/VxAppDlg.h"

#include <dbt.h>

#include "controls/ControlMessages.h"
#include "model/DeviceFactory.h"
#include "platform/Dc.h"
#include "platform/PaintAtOnce.h"
#include "skin/LayoutErrors.h"
#include "VexaApp/DeviceListener.h"
#include "VexaApp/DeviceWait.h"
#include "VexaApp/VxAppNotices.h"
#include "VexaApp/VxPopups.h"

namespace {

bool IsButtonDropdown(int32_t id)
{
    return id >= BUTTON_ASSNLEFTCLICK && id <= BUTTON_ASSNSCROLLDOWN;
}

} // namespace

BEGIN_MSG_MAP(CVxAppDlg, CGUIPanel)
    ON_WM_CREATE()
    ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
    ON_WM_PAINT()
    ON_MESSAGE(WM_NCMOUSEMOVE, OnNcMouseMove)
    ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
    ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_DEVICECHANGE, OnDeviceChange)
    ON_MESSAGE(WM_VX_DEVICENOTICES, OnDeviceNoticesPosted)
    ON_MESSAGE(WM_VX_SHOWNOTICES, OnShowNoticesPosted)
    ON_MESSAGE(WM_ENDSESSION, OnEndSession)
    ON_MESSAGE(WM_XLIST_DBLCLK, OnProfileListDoubleClick)
    ON_MESSAGE(WM_XLIST_ROWCLICKED, OnRowClicked)
    ON_MESSAGE(WM_XLIST_CELLTEXTCHANGED, OnProfileListCellText)
    ON_MESSAGE(WM_XLIST_CHECKCHANGED, OnProfileListCheckChanged)
    ON_MESSAGE(WM_XLIST_RCLICK, OnProfileListRightClick)
    ON_MESSAGE(WM_XLIST_MENUCOMMAND, OnProfileListMenu)
    ON_MESSAGE(WM_XLIST_COMBOCHANGED, OnProfileListComboChanged)
    ON_MESSAGE(WM_SLIDER_POSCHANGING, OnSliderDragged)
    ON_MESSAGE(WM_SLIDER_POSCHANGED, OnSliderPositionSet)
    ON_MESSAGE(WM_SLIDERTRACK_CLICKED, OnAccelTrackNotify)
    ON_MESSAGE(WM_DROPDOWN_CLICKED, OnDropdownClicked)
    ON_MESSAGE(WM_DROPDOWN_SELCHANGE, OnDropdownSelChange)
    ON_MESSAGE(WM_LISTPANEL_ITEMCLICK, OnAssignOptionSelected)
    ON_MESSAGE(WM_KBDKEY_HOVER, OnKeyItemHover)
    ON_MESSAGE(WM_KBDKEY_CLICKED, OnKeyItemClicked)
    ON_MESSAGE(WM_MACRODISPLAY_CHANGED, OnMacroDisplayChanged)
    ON_MESSAGE(WM_MACRODISPLAY_EDITKEY, OnMacroDisplayEditKey)
    ON_MESSAGE(WM_MACRODISPLAY_RECORDINGFULL, OnMacroRecordingFull)
    ON_MESSAGE(WM_EDITITEM_CHANGED, OnDefaultDelayNotify)
END_MSG_MAP()

// ---- commands -----------------------------------------------------------------------------------

BOOL CVxAppDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const HWND from = reinterpret_cast<HWND>(lParam);
    CGUIItem* item = from ? m_items.FindByWindow(from) : nullptr;
    if (!item && from && m_currentPage) {
        item = m_currentPage->FindByWindow(from);
        if (item)
            SetModified();
    }
    // The default delay's own handler runs on WM_EDITITEM_CHANGED, once per change; its EN_CHANGE
    // only marks the product, as every command of a page item does.
    const bool delayEdit = item && (item->id == EDITCTRL_DEFAULT_DELAY || item->id == EDITCTRL_DEFAULT_DELAY_KEYBOARD);
    if (item && !delayEdit && (item->kind == ItemKind::BitmapBtn || item->kind == ItemKind::TextItem) &&
        item->id >= BUTTON_OK && item->id <= BUTTON_ENABLE_PROFILE_OSD)
        DispatchCommand(*item);
    return CGUIPanel::OnCommand(wParam, lParam);
}

// ---- notices of the page items ------------------------------------------------------------------

CGUIItem* CVxAppDlg::PageItemByWindow(WPARAM window) const
{
    const HWND hwnd = reinterpret_cast<HWND>(window);
    return hwnd && m_currentPage ? m_currentPage->FindByWindow(hwnd) : nullptr;
}

CGUIItem* CVxAppDlg::PageItemById(LPARAM id) const
{
    return m_currentPage ? m_currentPage->FindById(static_cast<int32_t>(id)) : nullptr;
}

int32_t CVxAppDlg::ProfileListOf(WPARAM list, bool mark)
{
    const CGUIItem* item = PageItemByWindow(list);
    if (!item)
        return 0;
    if (mark)
        SetModified();
    return item->id == LIST_PROFILELIST || item->id == LIST_PROFILELIST_KEYBOARD ? item->id : 0;
}

LRESULT CVxAppDlg::OnProfileListDoubleClick(WPARAM list, LPARAM info)
{
    const int32_t id = ProfileListOf(list, true);
    if (id == LIST_PROFILELIST && m_mouseProfiles.ActivateProfileRow(info))
        RefreshProfilePages(kMouse);
    else if (id == LIST_PROFILELIST_KEYBOARD && m_keyboardProfiles.ActivateProfileRow(info))
        RefreshProfilePages(kKeyboard);
    return 0;
}

LRESULT CVxAppDlg::OnProfileListCellText(WPARAM list, LPARAM info)
{
    const int32_t id = ProfileListOf(list, true);
    if (id == LIST_PROFILELIST)
        m_mouseProfiles.AssignMouseProfileApplication(info);
    else if (id == LIST_PROFILELIST_KEYBOARD)
        m_keyboardProfiles.AssignKeyboardProfileApplication(info);
    return 0;
}

LRESULT CVxAppDlg::OnProfileListCheckChanged(WPARAM list, LPARAM info)
{
    const int32_t id = ProfileListOf(list, true);
    // A check of the active mark changes the active profile, which the product's pages show.
    if (id == LIST_PROFILELIST && m_mouseProfiles.OnProfileCheckChanged(info))
        RefreshProfilePages(kMouse);
    else if (id == LIST_PROFILELIST_KEYBOARD && m_keyboardProfiles.OnProfileCheckChanged(info))
        RefreshProfilePages(kKeyboard);
    return 0;
}

LRESULT CVxAppDlg::OnProfileListRightClick(WPARAM list, LPARAM info)
{
    const int32_t id = ProfileListOf(list, false);
    if (id == LIST_PROFILELIST)
        m_mouseProfiles.UpdateProfileMenu(info);
    else if (id == LIST_PROFILELIST_KEYBOARD)
        m_keyboardProfiles.UpdateProfileMenu(info);
    return 0;
}

LRESULT CVxAppDlg::OnProfileListMenu(WPARAM list, LPARAM info)
{
    const int32_t id = ProfileListOf(list, true);
    if (id == LIST_PROFILELIST) {
        const ProfileMenuEntry entry = m_mouseProfiles.ShowMouseProfileMenu(info);
        if (entry == ProfileMenuEntry::RestoreDefault) {
            m_mouseLighting.Refresh();
            m_mouseButtons.RefreshButtonLabels();
        } else if (entry != ProfileMenuEntry::None) {
            RefreshProfilePages(kMouse);
        }
    } else if (id == LIST_PROFILELIST_KEYBOARD) {
        if (m_keyboardProfiles.ShowKeyboardProfileMenu(info) != ProfileMenuEntry::None)
            RefreshProfilePages(kKeyboard);
    }
    return 0;
}

LRESULT CVxAppDlg::OnProfileListComboChanged(WPARAM list, LPARAM)
{
    ProfileListOf(list, true);
    return 0;
}

// A slider's thumb is in no item list (its slider is): the performance page knows its own thumbs
// and ignores any other.
LRESULT CVxAppDlg::OnSliderDragged(WPARAM value, LPARAM thumbId)
{
    if (m_currentPage == &m_mousePerformance)
        m_mousePerformance.OnSliderDragged(static_cast<int>(value), static_cast<int32_t>(thumbId));
    return 0;
}

LRESULT CVxAppDlg::OnSliderPositionSet(WPARAM value, LPARAM thumbId)
{
    if (m_currentPage == &m_mousePerformance)
        m_mousePerformance.OnSliderPositionSet(static_cast<int>(value), static_cast<int32_t>(thumbId));
    return 0;
}

LRESULT CVxAppDlg::OnAccelTrackNotify(WPARAM trackId, LPARAM point)
{
    if (m_currentPage == &m_mousePerformance && PageItemById(static_cast<LPARAM>(trackId)))
        m_mousePerformance.OnAccelTrackNotify(static_cast<int32_t>(trackId), point);
    return 0;
}

LRESULT CVxAppDlg::OnDropdownClicked(WPARAM, LPARAM dropdown)
{
    const CGUIItem* item = PageItemByWindow(static_cast<WPARAM>(dropdown));
    if (!item)
        return 0;
    if (IsButtonDropdown(item->id))
        m_mouseButtons.OnAssignButtonClicked(item->id);
    Invalidate(FALSE);
    return 0;
}

LRESULT CVxAppDlg::OnDropdownSelChange(WPARAM index, LPARAM dropdown)
{
    const CGUIItem* item = PageItemByWindow(static_cast<WPARAM>(dropdown));
    if (!item)
        return 0;
    SetModified();
    const int choice = static_cast<int>(index);
    if (item->id == BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT) {
        m_keyboardKeys.SelectKeyboardProfile(choice);
        m_keyboardProfiles.FillKeyboardProfileList();
        m_keyboardLighting.Refresh();
    } else if (item->id == BUTTON_DROPDOWN_PROFILESELECT) {
        // Each mouse page has its own profile selector; the choice holds on all of them.
        m_mousePerformance.ActivateProfileByIndex(choice);
        m_mouseButtons.ActivateButtonsProfileByIndex(choice);
        m_mouseProfiles.SelectMouseProfileRow(choice);
        m_mouseLighting.ActivateLightingProfileByIndex(choice);
    } else if (IsButtonDropdown(item->id)) {
        m_mouseButtons.AssignButtonFunction(item->id, choice);
    } else if (item->id == LIST_GLOBALMACROLIST) {
        m_mouseMacros.OnMacroChosen(choice);
    } else if (item->id == LIST_GLOBALMACROLIST_KEYBOARD) {
        m_keyboardMacros.OnMacroChosen(choice);
    }
    Invalidate(FALSE);
    return 0;
}

LRESULT CVxAppDlg::OnAssignOptionSelected(WPARAM entry, LPARAM listId)
{
    const CGUIItem* item = PageItemById(listId);
    if (!item)
        return 0;
    SetModified();
    if (item->id == LISTPANEL_ASSIGNOPTIONS)
        m_keyboardKeys.AssignKeyOption(static_cast<int>(entry));
    return 0;
}

LRESULT CVxAppDlg::OnKeyItemHover(WPARAM, LPARAM keyId)
{
    if (m_currentPage == &m_keyboardKeys && m_keyboardKeys.KeyItems().FindById(static_cast<int32_t>(keyId)))
        m_keyboardKeys.OnKeyHover(static_cast<int32_t>(keyId));
    return 0;
}

LRESULT CVxAppDlg::OnKeyItemClicked(WPARAM, LPARAM keyId)
{
    if (m_currentPage == &m_keyboardKeys && m_keyboardKeys.KeyItems().FindById(static_cast<int32_t>(keyId)))
        m_keyboardKeys.OnKeyClicked(static_cast<int32_t>(keyId));
    return 0;
}

LRESULT CVxAppDlg::OnMacroDisplayChanged(WPARAM, LPARAM displayId)
{
    const CGUIItem* item = PageItemById(displayId);
    if (!item)
        return 0;
    SetModified();
    if (item->id == MACRO_DISPLAY)
        m_mouseMacros.OnMacroDisplayChanged();
    else if (item->id == MACRO_DISPLAY_KEYBOARD)
        m_keyboardMacros.OnMacroDisplayChanged();
    return 0;
}

LRESULT CVxAppDlg::OnMacroRecordingFull(WPARAM, LPARAM displayId)
{
    // The display closed its recording at the most a macro holds: it ends as its stop button ends it.
    const CGUIItem* display = PageItemById(displayId);
    const bool mouse = display && display->id == MACRO_DISPLAY;
    const bool keyboard = display && display->id == MACRO_DISPLAY_KEYBOARD;
    if (!(mouse && m_mouseMacros.IsRecording()) && !(keyboard && m_keyboardMacros.IsRecording()))
        return 0;
    if (CGUIItem* button = PageItemById(mouse ? BUTTON_MACRO_RECORD : BUTTON_MACRO_RECORD_KEYBOARD))
        DispatchCommand(*button);
    return 0;
}

LRESULT CVxAppDlg::OnMacroDisplayEditKey(WPARAM, LPARAM displayId)
{
    const CGUIItem* item = PageItemById(displayId);
    if (!item)
        return 0;
    SetModified();
    if (item->id == MACRO_DISPLAY)
        m_mouseMacros.OnMacroListChangedImpl();
    else if (item->id == MACRO_DISPLAY_KEYBOARD)
        m_keyboardMacros.OnMacroListChangedImpl();
    return 0;
}

LRESULT CVxAppDlg::OnDefaultDelayNotify(WPARAM, LPARAM edit)
{
    const CGUIItem* item = PageItemByWindow(static_cast<WPARAM>(edit));
    if (!item)
        return 0;
    if (item->id == EDITCTRL_DEFAULT_DELAY)
        m_mouseMacros.OnDefaultDelayChanged();
    else if (item->id == EDITCTRL_DEFAULT_DELAY_KEYBOARD)
        m_keyboardMacros.OnDefaultDelayChanged();
    return 0;
}

// ---- window -------------------------------------------------------------------------------------

LRESULT CVxAppDlg::OnNcHitTest(WPARAM, LPARAM)
{
    // The window is dragged by any free spot of its skin.
    const LRESULT hit = Default();
    return hit == HTCLIENT ? HTCAPTION : hit;
}

LRESULT CVxAppDlg::OnNcMouseMove(WPARAM, LPARAM)
{
    m_keyboardKeys.ClearKeyHover();
    return Default();
}

LRESULT CVxAppDlg::OnNcLButtonDown(WPARAM, LPARAM)
{
    m_keyboardKeys.ClearKeySelection();
    return Default();
}

int CVxAppDlg::OnCreate(CREATESTRUCTW* create)
{
    // "MainPage.xml" is read here: its faults go to the start-up log, a file not read at all too.
    std::vector<std::wstring> errors;
    int result = 0;
    {
        CLayoutErrorLog log;
        result = CGUIPanel::OnCreate(create);
        errors = log.Errors();
    }
    for (const std::wstring& error : errors)
        ReportLayoutError(error);
    if (m_items.Empty() && errors.empty())
        ReportUnreadLayout(m_layoutFile);
    return result;
}

void CVxAppDlg::OnPaint()
{
    // The whole window at once when the whole of it is to be painted (its first showing, say):
    // each child painting on its own reaches the screen piece by piece, and leaves Wine a display
    // context per window that the next redraw hold then has to let go of, one by one. A print of
    // the window (the one-picture paint's, a page window's) is the panel's own picture.
    const CRect client = GetClientRect();
    CRgn update, whole;
    const bool all = m_created && !CPaintDC::IsRedirected(m_hWnd) && update.CreateRectRgn(0, 0, 0, 0) &&
                     whole.CreateRectRgnIndirect(client) && ::GetUpdateRgn(m_hWnd, update, FALSE) == SIMPLEREGION &&
                     ::EqualRgn(update, whole);
    if (all)
        PaintAtOnce(m_hWnd);
    else
        CGUIPanel::OnPaint();
}

void CVxAppDlg::OnDestroy()
{
    // However the dialog ends, a recording does not outlive it: the keyboard goes back to its
    // normal mode while the items and the devices are still there.
    StopRecordingForExit();
    // No device notice may reach a window that is gone.
    DeviceListener().UnregisterAll();
    KillTimer(TIMER_DEVICENOTICES);
    CGUIPanel::OnDestroy();
}

LRESULT CVxAppDlg::OnEndSession(WPARAM ending, LPARAM)
{
    // The session ends without the dialog's own end.
    if (ending)
        StopRecordingForExit();
    return 0;
}

void CVxAppDlg::OnTimer(UINT_PTR id)
{
    if (id == TIMER_WRITEPOLL) {
        bool writing = false;
        for (int product : {kMouse, kKeyboard}) {
            if (IsWriting(product))
                writing = true;
            else
                TakeWriteOutcome(product, false);
        }
        if (!writing && !m_writeFailed[kMouse] && !m_writeFailed[kKeyboard] && !m_startErrorsToTell &&
            m_buildErrors.empty()) {
            KillTimer(TIMER_WRITEPOLL);
            m_pollingWrites = false;
        }
        UpdateApply();
        ShowPendingNotices();
        return;
    }
    if (id == TIMER_DEVICENOTICES) {
        KillTimer(TIMER_DEVICENOTICES);
        HandleDeviceNotices();
        return;
    }
    if (id != TIMER_NODEVICE || !m_noDeviceTimer) {
        Default();
        return;
    }
    // A device notice still queued may bring a device back: it counts first.
    HandleDeviceNotices();
    if (m_showingNotice) {
        // Over a notice of its own the program's end waits for that notice.
        m_noDeviceTimer = SetTimer(TIMER_NODEVICE, kNoDeviceRemovalMs);
        return;
    }
    KillTimer(TIMER_NODEVICE);
    m_noDeviceTimer = 0;
    // A device that came back in time keeps the program.
    if (m_connected[kMouse] || m_connected[kKeyboard])
        return;
    CVxWarningDlg notice(this, L"NoMousePopup.xml");
    notice.DoModal();
    PostMessage(WM_CLOSE);
}

// ---- devices ------------------------------------------------------------------------------------

LRESULT CVxAppDlg::OnDeviceChange(WPARAM event, LPARAM data)
{
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE)
        return TRUE;
    std::wstring path;
    if (!DeviceInterfacePathOf(data, &path) || ParseDeviceId(path, L"VID_") != kHalvoVendorId)
        return TRUE;
    const uint32_t productId = ParseDeviceId(path, L"PID_");
    const int product = productId == kMouseProductId ? kMouse : productId == kKeyboardProductId ? kKeyboard : -1;
    if (product == -1)
        return TRUE;
    // The notice is sent, so it can arrive inside any wait that serves sent messages (a wait for a
    // write, a device call joining its worker, the teardown of a device object): it is only noted
    // here and handled from the dialog's own message loop.
    m_deviceNotices.push_back({product, event == DBT_DEVICEARRIVAL});
    PostDeviceNotices();
    return TRUE;
}

void CVxAppDlg::PostDeviceNotices()
{
    if (!m_deviceNoticesPosted && m_hWnd)
        m_deviceNoticesPosted = PostMessage(WM_VX_DEVICENOTICES) != FALSE;
}

LRESULT CVxAppDlg::OnDeviceNoticesPosted(WPARAM, LPARAM)
{
    m_deviceNoticesPosted = false;
    HandleDeviceNotices();
    return 0;
}

LRESULT CVxAppDlg::OnShowNoticesPosted(WPARAM, LPARAM)
{
    if ((m_startErrorsToTell || !m_buildErrors.empty()) && !CanShowNotice()) {
        // Something else is up (the no-device notice, a wait): the timer tries again.
        StartWritePolling();
        return 0;
    }
    ShowPendingNotices();
    return 0;
}

void CVxAppDlg::HandleDeviceNotices()
{
    if (m_deviceNotices.empty())
        return;
    // A posted message reaches here only from a message loop, but a loop may run inside a wait
    // (a sent message's handler): the notices are tried again once it is over.
    if (m_handlingDeviceNotices || DeviceWaitRunning()) {
        if (!m_handlingDeviceNotices)
            SetTimer(TIMER_DEVICENOTICES, kWritePollMs);
        return;
    }
    // Making a device object again waits for its write, serving messages other threads send: a
    // notice that comes in meanwhile is queued and handled after this one, never inside it.
    m_handlingDeviceNotices = true;
    while (!m_deviceNotices.empty()) {
        const DeviceNotice notice = m_deviceNotices.front();
        m_deviceNotices.pop_front();
        OnDeviceRemovedOrArrived(notice.product, notice.arrival);
    }
    m_handlingDeviceNotices = false;
}

void CVxAppDlg::OnDeviceRemovedOrArrived(int product, bool arrival)
{
    // A repeated arrival of a product that is there neither makes it again nor reads it: that
    // would drop its unsaved edits.
    if (arrival && m_connected[product])
        return;
    const bool currentLeaves = !arrival && product == m_product;
    if (currentLeaves && m_recording) {
        // The recording ends before its device is let go (the keyboard back in its normal mode).
        if (product == kMouse)
            m_mouseMacros.StopRecording();
        else
            m_keyboardMacros.StopRecording();
        m_recording = false;
        EnableNavigation(true);
    }
    // The device object goes: how its last write ended is taken from it first (waiting for a write
    // that runs); one the device left in the middle of counts as failed.
    TakeWriteOutcome(product, true);
    const bool recreated = product == kMouse ? RecreateMouseDevice(m_mouseDevice, *m_mouseConfig)
                                             : RecreateKeyboardDevice(m_keyboardDevice, *m_keyboardConfig);
    m_connected[product] = arrival ? LoadFromDevice(product) : false;
    if (recreated && m_connected[product])
        RefreshProfilePages(product);
    if (currentLeaves) {
        m_heldUnsaved[product] = m_unsaved[product];
        ClearModified();
    }
    UpdateProductTabs(false);
    if (!m_connected[kMouse] && !m_connected[kKeyboard])
        StartNoDeviceTimer(kNoDeviceRemovalMs);
}
