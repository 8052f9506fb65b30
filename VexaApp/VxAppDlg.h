// CVxAppDlg: the configuration program's one window, a skinned panel from "MainPage.xml" over
// dialog template 102. It holds the two products (mouse, keyboard) with their nine pages, switches
// between them, routes the items' commands (VxAppDlgCommands.cpp) and notices (VxAppDlgRouting.cpp)
// to the pages, keeps each product's unsaved state, writes a product on Apply and OK, and follows
// devices arriving and leaving.
//
// Pages: every page layout (and the keyboard's keys) is read and checked at start, so that a file
// refused as a whole is told with start-up's other faults; a page's items are made when the page is
// first shown, and then given the first fill the page would have had at start. Until then a page is
// an empty item set whose handlers find none of its items. A switch is painted once, complete.
//
// Devices: the dialog holds the addresses of the application's device and configuration pointers
// and reads them anew at each use; a device object is made again on arrival and removal. A write
// runs on the device's worker (IGenDevice::Transfer); while it runs, every other call to that
// device fails. So the dialog tells a running write from a missing device: Apply is not offered
// while the product's write runs (a 100 ms timer offers it again afterwards when the product was
// edited meanwhile), OK waits for writes before it saves and before it ends, and a refused write
// never counts as the device being gone while the device is busy.
//
// A write's outcome is read when its worker has ended (a timer looks while writes run; OK and Cancel
// wait for them; a device object about to be made again is asked first): a failed write leaves its
// product unsaved, so that Apply can try again, and is told in a notice. OK stays open after it.
//
// Device notices (WM_DEVICECHANGE) are only queued where they arrive, and handled from a message
// the dialog posts to itself: never inside a wait for a device (which serves sent messages only),
// never inside a device call that joins its finished write. So a device object is never made again
// under one of its own calls, and the current product does not change in the middle of a step.
//
// Everything runs on the user-interface thread.
#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/GenDevice.h"
#include "skin/GUIPanel.h"
#include "VexaApp/VxPages.h"

class CBitmapBtn;
class CBitmapItem;
class CGroupWnd;
class CLayoutErrorLog;
class CPreparedLayout;
class CSharedConnection;
class CTextItem;

// "major.minor" of this program's product version (its file's version record), the minor with two
// digits, as the version labels show it.
std::wstring ProgramVersionText();

class CVxAppDlg : public CGUIPanel
{
public:
    enum Product : int
    {
        kMouse = 0,
        kKeyboard = 1,
        kNoProduct = 3,
    };
    enum class WriteStart
    {
        Started,  // the worker runs; the product counts as connected
        Busy,     // the product's previous write still runs; nothing changed
        Failed,   // the device did not take the write: it counts as gone
    };

    static constexpr UINT_PTR TIMER_NODEVICE = 1;
    static constexpr UINT_PTR TIMER_WRITEPOLL = 2;
    static constexpr UINT_PTR TIMER_DEVICENOTICES = 3;  // notices put off by a wait, tried again
    // Posted to itself: handle the queued device notices; show the notices waiting to be shown.
    static constexpr UINT WM_VX_DEVICENOTICES = WM_APP + 0x40;
    static constexpr UINT WM_VX_SHOWNOTICES = WM_APP + 0x41;
    static constexpr UINT kNoDeviceStartMs = 500;    // at start-up, or after a failed write
    static constexpr UINT kNoDeviceRemovalMs = 100;  // after a removal
    static constexpr UINT kWritePollMs = 100;

    // The addresses of the application's pointers (CVxApp), read anew at every use.
    CVxAppDlg(IMouseConfig** mouseConfig, IGenMouse** mouseDevice, IGenKeyboard** keyboardDevice,
              IKeyboardConfig** keyboardConfig);
    ~CVxAppDlg() override;

    // The log that collects what the install directory's files hold wrong; the dialog adds its own
    // layouts' faults, ends it when its start is done and shows what it holds in one notice.
    void SetStartErrorLog(std::unique_ptr<CLayoutErrorLog> log);
    // The connection the devices were made on: the first reads go on from it, and it ends with them.
    void SetStartConnection(std::unique_ptr<CSharedConnection> connection);
    // What start-up refused, one line per fault ("<file>: <what>").
    const std::vector<std::wstring>& StartErrors() const { return m_startErrors; }

    // ---- for the pages ----
    // The current product is unsaved; Apply is offered unless its write still runs.
    void SetModified();
    // The current product is saved; Apply is not offered.
    void ClearModified();
    // Refills what depends on the profiles of a product's pages (profile lists and drop-downs,
    // button labels or key assignments, the performance and lighting pages).
    void RefreshProfilePages(int product);
    // Enables or disables the tabs of the connected products and the footer (off while recording).
    void EnableNavigation(bool enable);
    // Starts writing the current product to its device (nothing for none).
    WriteStart SaveToDevice();
    // Before a page reaches a device: waits for that device's write to end (DeviceWait.h).
    void WaitForMouse();
    void WaitForKeyboard();
    // Writes a product's version labels as the dialog's own: "<caption>: <firmware>" (left as it
    // is when the device gives none) and "<caption>: <major>.<minor>" of this program; either may
    // be null.
    void WriteVersionLabels(int product, CTextItem* firmwareLabel, CTextItem* driverLabel);

    // ---- state ----
    int CurrentProduct() const { return m_product; }
    // 1..9, or 0 when no page is shown.
    int CurrentPageNumber() const;
    bool IsUnsaved(int product) const { return IsProduct(product) && m_unsaved[product]; }
    bool IsConnected(int product) const { return IsProduct(product) && m_connected[product]; }
    bool IsRecording() const { return m_recording; }
    // A write of the product's device runs.
    bool IsWriting(int product) const;
    // A write of the product failed and has not been told yet.
    bool HasUntoldWriteFailure(int product) const { return IsProduct(product) && m_writeFailed[product]; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void BindItems() override { BindNamedItems(); }
    // The keyboard's page tabs and footnote: made when the keyboard is first shown.
    bool MakesLater(const char* itemName) const override;

private:
    static bool IsProduct(int product) { return product == kMouse || product == kKeyboard; }

    static constexpr size_t kPageCount = 9;

    // ---- start-up ----
    void BindNamedItems();
    // Reads and checks every page layout (and the keyboard's keys) at start; their items are built
    // when the page is first shown.
    void PreparePageLayouts();
    // The keyboard's keys from their prepared layout, hidden until the keys page shows them. Made at
    // start: a hundred key windows take longer to make than a tab may take to answer.
    void BuildKeyItems();
    void BuildTabLists();
    // The items MakesLater held back, when the keyboard is first shown.
    void BuildKeyboardChrome();
    void ConnectDevices();
    void RefreshAllPages();
    bool LoadMouseFromDevice();
    bool LoadKeyboardFromDevice();
    bool LoadFromDevice(int product);

    // ---- products and pages ----
    void UpdateProductTabs(bool force);
    void SwitchToConnectedProduct();
    void SwitchProduct(int product, bool forced);
    // The unsaved product is written or its changes dropped before a switch; false: stay.
    bool SettleBeforeSwitch();
    void SwitchPage(int page);
    void ShowPage(CVxPage* page, bool show);
    // Holds the window's painting while pages and tabs come and go (holds nest): nothing paints,
    // not even an item that paints as it is made or filled. The last release paints the whole
    // window in one picture: a switch never shows two pages at once, nor the bare background
    // between them.
    void HoldRedraw();
    void ReleaseRedraw();
    // The page's items from its prepared layout, the first time only; true when they were built
    // now. What the build found wrong goes to the start-up notice during start, else to a notice
    // of its own.
    bool BuildPage(CVxPage* page);
    // Errors of a build: to the start-up notice during start, else to a notice of their own.
    void TellBuildErrors(const std::vector<std::wstring>& errors);
    // The page's first fill from the configuration as it is now (its Init... function).
    void InitPage(CVxPage* page);
    // A page by its place in the page layouts' order; kPageCount for none.
    CVxPage* PageAt(size_t index);
    size_t IndexOf(const CVxPage* page);
    // The window of the page at index that its items are made in, made hidden the first time;
    // null when it cannot be made (the items are then made in the dialog itself).
    HWND PageWindow(size_t index);
    void UpdateVersionLabels(int product);
    void UpdateApply();
    void SetTabSelected(CBitmapBtn* tab, bool selected);
    CVxPage* PageOf(int product, int page) const;

    // ---- saving and closing ----
    // Starts writing a product to its device (SaveToDevice for any product).
    WriteStart WriteProduct(int product);
    void WaitForWrites();
    // Takes how the product's last write ended (wait: for a running one first); a failure leaves
    // the product unsaved and is told later. True when it failed.
    bool TakeWriteOutcome(int product, bool wait);
    void TakeWriteOutcomes();
    void NoteWriteFailure(int product);
    void StartWritePolling();
    // Shows the notices waiting (start-up's refused files, failed writes) when nothing else is up.
    void ShowPendingNotices();
    bool CanShowNotice() const;
    // Before the dialog ends, however it ends: a recording stops and the keyboard goes back to its
    // normal mode.
    void StopRecordingForExit();
    // A close button of the window's own where the layout gave none.
    void AddFallbackClose();
    // OK: waits for a running write, writes the products marked unsaved, waits for those writes too,
    // then closes.
    void SaveAndClose();
    bool MacroPageRecords() const;
    void StartNoDeviceTimer(UINT ms);

    // ---- commands (VxAppDlgCommands.cpp) ----
    // The command tables and their handlers.
    struct Commands;
    // Runs the command of a button of the main layout or of the current page, by its item id.
    void DispatchCommand(CGUIItem& item);

    // ---- messages (VxAppDlgRouting.cpp) ----
    void OnTimer(UINT_PTR id);
    LRESULT OnDeviceChange(WPARAM event, LPARAM data);
    LRESULT OnDeviceNoticesPosted(WPARAM, LPARAM);
    LRESULT OnShowNoticesPosted(WPARAM, LPARAM);
    void PostDeviceNotices();
    void HandleDeviceNotices();
    void OnDeviceRemovedOrArrived(int product, bool arrival);
    int OnCreate(CREATESTRUCTW* create);
    void OnDestroy();
    LRESULT OnEndSession(WPARAM ending, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM) { return 0; }
    void OnPaint();
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnProfileListDoubleClick(WPARAM list, LPARAM info);
    LRESULT OnProfileListCellText(WPARAM list, LPARAM info);
    LRESULT OnProfileListCheckChanged(WPARAM list, LPARAM info);
    LRESULT OnProfileListRightClick(WPARAM list, LPARAM info);
    LRESULT OnProfileListMenu(WPARAM list, LPARAM info);
    LRESULT OnProfileListComboChanged(WPARAM list, LPARAM info);
    LRESULT OnRowClicked(WPARAM, LPARAM) { return 0; }
    LRESULT OnSliderDragged(WPARAM value, LPARAM thumbId);
    LRESULT OnSliderPositionSet(WPARAM value, LPARAM thumbId);
    LRESULT OnAccelTrackNotify(WPARAM trackId, LPARAM point);
    LRESULT OnDropdownClicked(WPARAM, LPARAM dropdown);
    LRESULT OnDropdownSelChange(WPARAM index, LPARAM dropdown);
    LRESULT OnAssignOptionSelected(WPARAM entry, LPARAM listId);
    LRESULT OnKeyItemHover(WPARAM, LPARAM keyId);
    LRESULT OnKeyItemClicked(WPARAM, LPARAM keyId);
    LRESULT OnMacroDisplayChanged(WPARAM, LPARAM displayId);
    LRESULT OnMacroDisplayEditKey(WPARAM, LPARAM displayId);
    LRESULT OnMacroRecordingFull(WPARAM, LPARAM displayId);
    LRESULT OnDefaultDelayNotify(WPARAM, LPARAM edit);
    // The item of the current page behind a notice: by window or by id; null when the sender is
    // not an item of the current page (the notice is then ignored).
    CGUIItem* PageItemByWindow(WPARAM window) const;
    CGUIItem* PageItemById(LPARAM id) const;
    // The profile list (248 or 249) of the current page that sent an XLIST notice, marking the
    // product unsaved when mark is true; 0 when none.
    int32_t ProfileListOf(WPARAM list, bool mark);

    HICON m_bigIcon = nullptr;    // shared icons of the resource module: never destroyed
    HICON m_smallIcon = nullptr;

    IMouseConfig** m_mouseConfig;
    IGenMouse** m_mouseDevice;
    IGenKeyboard** m_keyboardDevice;
    IKeyboardConfig** m_keyboardConfig;

    // The nine pages.
    CGUIItems* m_currentPage = nullptr;
    CVxItems_Mouse_ASB m_mouseButtons;
    CVxItems_Mouse_AJP m_mousePerformance;
    CVxItems_Mouse_MGP m_mouseProfiles;
    CVxItems_Mouse_MGM m_mouseMacros;
    CVxItems_Mouse_LTG m_mouseLighting;
    CVxItems_Keyboard_ASK m_keyboardKeys;
    CVxItems_Keyboard_MGP m_keyboardProfiles;
    CVxItems_Keyboard_MGM m_keyboardMacros;
    CVxItems_Keyboard_LTG m_keyboardLighting;
    // product -> (page number -> page); a page whose layout did not load is shown empty.
    std::map<int, std::map<int, CVxPage*>> m_pages;
    // Each page's layout, in page order, and the keys of the keyboard's layout, read at start.
    std::unique_ptr<CPreparedLayout> m_pageLayouts[kPageCount];
    std::unique_ptr<CPreparedLayout> m_keyLayout;
    bool m_pageBuilt[kPageCount] = {};
    // Each page's window, made with its items: the page's items are its children.
    std::unique_ptr<CGroupWnd> m_pageWindows[kPageCount];
    int m_redrawHolds = 0;
    bool m_redrawOff = false;

    // Named items of the main layout (borrowed from m_items).
    CTextItem* m_firmwareLabel = nullptr;
    CTextItem* m_driverLabel = nullptr;
    CBitmapBtn* m_productTabs[2] = {};
    CBitmapBtn* m_ok = nullptr;
    CBitmapBtn* m_apply = nullptr;
    CBitmapBtn* m_cancel = nullptr;
    CBitmapItem* m_footnotes[2] = {};
    // product -> items shown only with it; product -> (page number -> tab).
    std::map<int, std::vector<CGUIItem*>> m_productItems;
    std::map<int, std::map<int, CBitmapBtn*>> m_pageTabs;

    int m_product = kMouse;
    int m_lastPage[2] = {1, 6};
    bool m_connected[2] = {};
    bool m_unsaved[2] = {};
    bool m_heldUnsaved[2] = {};
    bool m_recording = false;
    bool m_navigation = true;
    UINT_PTR m_noDeviceTimer = 0;
    bool m_pollingWrites = false;
    // Device notices not handled yet (see OnDeviceChange).
    struct DeviceNotice
    {
        int product;
        bool arrival;
    };
    std::deque<DeviceNotice> m_deviceNotices;
    bool m_handlingDeviceNotices = false;
    bool m_deviceNoticesPosted = false;
    // A product's write failed and the notice telling it is still to come.
    bool m_writeFailed[2] = {};
    bool m_showingNotice = false;
    std::unique_ptr<CLayoutErrorLog> m_startLog;
    std::unique_ptr<CSharedConnection> m_startConnection;
    std::vector<std::wstring> m_startErrors;
    bool m_startErrorsToTell = false;
    // What the build of a page found wrong after start, to be told.
    std::vector<std::wstring> m_buildErrors;
    HWND m_fallbackClose = nullptr;  // a child window: goes with the dialog

    HV_DECLARE_MSG_MAP()
};
