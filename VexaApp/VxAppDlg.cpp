#include "VexaApp/VxAppDlg.h"

#include "controls/BitmapBtn.h"
#include "controls/BitmapItem.h"
#include "controls/TextItem.h"
#include "core/ItemIds.h"
#include "core/NameTables.h"
#include "model/SharedConnection.h"
#include "platform/GroupWnd.h"
#include "platform/PaintAtOnce.h"
#include "platform/WinApp.h"
#include "platform/WStr.h"
#include "skin/FileVersions.h"
#include "skin/KeyboardLayouts.h"
#include "skin/LangTable.h"
#include "skin/LayoutErrors.h"
#include "skin/LayoutLoader.h"
#include "VexaApp/DeviceListener.h"
#include "VexaApp/DeviceWait.h"
#include "VexaApp/VexaAppRes.h"
#include "VexaApp/VxAppNotices.h"
#include "VexaApp/VxPopups.h"

namespace {

// The colour the main window's skin leaves see-through.
constexpr COLORREF kTransparentColour = RGB(255, 0, 255);
// The refused files one notice lists by name; more are counted.
constexpr size_t kMaxListedFiles = 5;
// The close button the window makes when its layout gave none.
constexpr int kFallbackCloseWidth = 88;
constexpr int kFallbackCloseHeight = 26;
constexpr int kFallbackCloseMargin = 12;

struct PageLayout
{
    int product;
    int page;
    const wchar_t* file;
};

constexpr PageLayout kPageLayouts[] = {
    {CVxAppDlg::kMouse, 1, L"Mouse_AssnBtns.xml"},
    {CVxAppDlg::kMouse, 2, L"Mouse_AdjPerf.xml"},
    {CVxAppDlg::kMouse, 3, L"Mouse_MgProfs.xml"},
    {CVxAppDlg::kMouse, 4, L"Mouse_MgMcrs.xml"},
    {CVxAppDlg::kMouse, 5, L"Mouse_Lighting.xml"},
    {CVxAppDlg::kKeyboard, 6, L"Keyboard_AssnKeys.xml"},
    {CVxAppDlg::kKeyboard, 7, L"Keyboard_MgProfs.xml"},
    {CVxAppDlg::kKeyboard, 8, L"Keyboard_MgMcrs.xml"},
    {CVxAppDlg::kKeyboard, 9, L"Keyboard_Lighting.xml"},
};

// The tab of each page: 89..93 for pages 1..5, 94..97 for pages 6..9.
constexpr int32_t PageTabId(int page) { return BUTTON_ASSIGNBUTTONS + page - 1; }
// The pages' numbers, as their tabs count them.
constexpr int kFirstMousePage = 1;
constexpr int kLastMousePage = 5;
constexpr int kFirstKeyboardPage = 6;
constexpr int kLastKeyboardPage = 9;

std::wstring Caption(const wchar_t* key, const wchar_t* fallback)
{
    std::wstring text;
    return TranslateText(key, text) ? text : std::wstring(fallback);
}

// Reads a device into its configuration and makes sure a profile is active: false when the device
// does not answer, or holds no profile at all (*noProfile then set).
template <class C, class P>
bool ReadDevice(IGenDevice<C, P>* device, C* config, bool* noProfile)
{
    *noProfile = false;
    if (!device || !config || !device->Transfer(config, kTransferRead, kTransferAll))
        return false;
    if (config->GetActiveProfile())
        return true;
    config->SetActiveProfile(config->GetProfile(0));
    if (config->GetActiveProfile())
        return true;
    *noProfile = true;
    return false;
}

template <class C, class P>
bool FirmwareText(IGenDevice<C, P>* device, std::wstring& text)
{
    return device && device->GetFirmwareVersion(text);
}

} // namespace

std::wstring ProgramVersionText()
{
    static const std::wstring text = [] {
        CFileVersions versions;
        versions.SetModulePath();
        versions.ReadVersions();
        return wstr::Format(L"%ls.%.2d", versions.ProductPart(0).c_str(), _wtoi(versions.ProductPart(1).c_str()));
    }();
    return text;
}

CVxAppDlg::CVxAppDlg(IMouseConfig** mouseConfig, IGenMouse** mouseDevice, IGenKeyboard** keyboardDevice,
                     IKeyboardConfig** keyboardConfig)
    : CGUIPanel(IDD_VEXA_MAIN, L"MainPage.xml", nullptr),
      m_mouseConfig(mouseConfig),
      m_mouseDevice(mouseDevice),
      m_keyboardDevice(keyboardDevice),
      m_keyboardConfig(keyboardConfig),
      m_mouseButtons(mouseConfig, mouseDevice),
      m_mousePerformance(mouseConfig, mouseDevice, &m_currentPage),
      m_mouseProfiles(mouseConfig, mouseDevice),
      m_mouseMacros(mouseConfig, mouseDevice),
      m_mouseLighting(mouseConfig, mouseDevice),
      m_keyboardKeys(keyboardConfig, keyboardDevice),
      m_keyboardProfiles(keyboardConfig, keyboardDevice),
      m_keyboardMacros(keyboardConfig, keyboardDevice),
      m_keyboardLighting(keyboardConfig, keyboardDevice)
{
    const HINSTANCE module = CWinApp::ResourceInstance();
    m_bigIcon = static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(IDI_VEXA), IMAGE_ICON, 0, 0,
                                                LR_DEFAULTSIZE | LR_SHARED));
    m_smallIcon = static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(IDI_VEXA), IMAGE_ICON,
                                                  ::GetSystemMetrics(SM_CXSMICON),
                                                  ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

CVxAppDlg::~CVxAppDlg()
{
    // The page items are children of the dialog's window: they go before it does.
    for (CVxPage* page : {static_cast<CVxPage*>(&m_mouseButtons), static_cast<CVxPage*>(&m_mousePerformance),
                          static_cast<CVxPage*>(&m_mouseProfiles), static_cast<CVxPage*>(&m_mouseMacros),
                          static_cast<CVxPage*>(&m_mouseLighting), static_cast<CVxPage*>(&m_keyboardKeys),
                          static_cast<CVxPage*>(&m_keyboardProfiles), static_cast<CVxPage*>(&m_keyboardMacros),
                          static_cast<CVxPage*>(&m_keyboardLighting)})
        page->DeleteAll();
    m_keyboardKeys.KeyItems().DeleteAll();
    for (std::unique_ptr<CGroupWnd>& window : m_pageWindows)
        window.reset();
}

void CVxAppDlg::SetStartErrorLog(std::unique_ptr<CLayoutErrorLog> log)
{
    m_startLog = std::move(log);
}

void CVxAppDlg::SetStartConnection(std::unique_ptr<CSharedConnection> connection)
{
    m_startConnection = std::move(connection);
}

// ---- start-up -------------------------------------------------------------------------------

BOOL CVxAppDlg::OnInitDialog()
{
    CGUIPanel::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
    ModifyStyleEx(0, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, kTransparentColour, 0, LWA_COLORKEY);
    SetWindowText(L"Halvo VEXA Configurator");
    DeviceListener().Register(m_hWnd);
    PreparePageLayouts();
    BuildKeyItems();
    BindNamedItems();
    if (!m_ok && !m_cancel && !m_items.FindById(BUTTON_EXIT))
        AddFallbackClose();
    BuildTabLists();
    ConnectDevices();
    RefreshAllPages();
    UpdateProductTabs(true);
    if (IsProduct(m_product))
        m_unsaved[m_product] = false;
    UpdateApply();

    // Centred on the work area: the panel took its size from the skin after the template placed it.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const CRect window = GetWindowRect();
    SetWindowPos(nullptr, work.left + ((work.right - work.left) - window.Width()) / 2,
                 work.top + ((work.bottom - work.top) - window.Height()) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Start-up is done: what its files held wrong is told once the window is up.
    if (m_startLog) {
        m_startErrors = m_startLog->Errors();
        m_startLog.reset();
    }
    if (!m_startErrors.empty()) {
        m_startErrorsToTell = true;
        PostMessage(WM_VX_SHOWNOTICES);
    }
    return TRUE;
}

void CVxAppDlg::AddFallbackClose()
{
    // Without OK, Cancel or exit of its layout the window would have nothing to close it with but
    // keys; this button acts as Cancel.
    const CRect client = GetClientRect();
    m_fallbackClose = ::CreateWindowExW(0, L"BUTTON", L"Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                        client.right - kFallbackCloseWidth - kFallbackCloseMargin,
                                        client.bottom - kFallbackCloseHeight - kFallbackCloseMargin,
                                        kFallbackCloseWidth, kFallbackCloseHeight, m_hWnd,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)),
                                        CWinApp::ResourceInstance(), nullptr);
    if (m_fallbackClose) {
        ::SendMessageW(m_fallbackClose, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        ::SetWindowPos(m_fallbackClose, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void CVxAppDlg::PreparePageLayouts()
{
    for (size_t i = 0; i < std::size(kPageLayouts); ++i) {
        const PageLayout& layout = kPageLayouts[i];
        m_pageLayouts[i] = std::make_unique<CPreparedLayout>();
        PrepareStartLayout(*m_pageLayouts[i], layout.file, this);
        m_pages[layout.product][layout.page] = PageAt(i);
    }
    // The keys of the keyboard layout the application activated, from that layout's own file: read
    // now, as its keyboard definition is the configuration's.
    if (const CKeyboardLayoutSetting* layout = KeyboardLayouts().Active(); layout && !layout->layoutItems.empty()) {
        m_keyLayout = std::make_unique<CPreparedLayout>();
        PrepareStartLayout(*m_keyLayout, layout->layoutItems, this);
    }
}

CVxPage* CVxAppDlg::PageAt(size_t index)
{
    CVxPage* const pages[kPageCount] = {&m_mouseButtons,     &m_mousePerformance, &m_mouseProfiles,
                                        &m_mouseMacros,      &m_mouseLighting,    &m_keyboardKeys,
                                        &m_keyboardProfiles, &m_keyboardMacros,   &m_keyboardLighting};
    return index < kPageCount ? pages[index] : nullptr;
}

size_t CVxAppDlg::IndexOf(const CVxPage* page)
{
    size_t index = 0;
    while (index < kPageCount && PageAt(index) != page)
        ++index;
    return index;
}

HWND CVxAppDlg::PageWindow(size_t index)
{
    if (index >= kPageCount || !m_hWnd)
        return nullptr;
    if (!m_pageWindows[index]) {
        auto window = std::make_unique<CGroupWnd>();
        if (!window->Create(m_hWnd, GetClientRect()))
            return nullptr;
        m_pageWindows[index] = std::move(window);
    }
    return m_pageWindows[index]->GetSafeHwnd();
}

bool CVxAppDlg::BuildPage(CVxPage* page)
{
    const size_t index = IndexOf(page);
    if (index >= kPageCount || m_pageBuilt[index])
        return false;
    m_pageBuilt[index] = true;
    std::vector<std::wstring> errors;
    {
        CLayoutErrorLog log;
        if (m_pageLayouts[index])
            BuildPreparedLayout(*m_pageLayouts[index], page, this, PageWindow(index));
        errors = log.Errors();
    }
    m_pageLayouts[index].reset();
    if (page == &m_keyboardKeys) {
        // The keys were made at start, and so lie above the page's own items: below them they go,
        // as they lay when the page made them after its items.
        const HWND pageWindow = PageWindow(index);
        for (CGUIItem* item : m_keyboardKeys.KeyItems())
            if (::IsWindow(item->window) && ::GetParent(item->window) == (pageWindow ? pageWindow : m_hWnd))
                ::SetWindowPos(item->window, HWND_BOTTOM, 0, 0, 0, 0,
                               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    TellBuildErrors(errors);
    return true;
}

void CVxAppDlg::BuildKeyItems()
{
    if (!m_keyLayout)
        return;
    // In the keys page's window, hidden with it; without one, hidden themselves.
    const HWND pageWindow = PageWindow(IndexOf(&m_keyboardKeys));
    std::vector<std::wstring> errors;
    {
        CLayoutErrorLog log;
        BuildPreparedLayout(*m_keyLayout, &m_keyboardKeys.KeyItems(), this, pageWindow);
        errors = log.Errors();
    }
    m_keyLayout.reset();
    if (!pageWindow)
        m_keyboardKeys.KeyItems().ShowAll(false);
    TellBuildErrors(errors);
}

void CVxAppDlg::TellBuildErrors(const std::vector<std::wstring>& errors)
{
    if (m_startLog) {
        // Still starting: the start-up notice tells them.
        for (const std::wstring& error : errors)
            ReportLayoutError(error);
    } else if (!errors.empty()) {
        m_buildErrors.insert(m_buildErrors.end(), errors.begin(), errors.end());
        if (m_hWnd)
            PostMessage(WM_VX_SHOWNOTICES);
    }
}

void CVxAppDlg::InitPage(CVxPage* page)
{
    if (page == &m_mouseButtons)
        m_mouseButtons.InitAssignButtonsPage(this);
    else if (page == &m_mousePerformance)
        m_mousePerformance.InitAdjustPerformancePage(this);
    else if (page == &m_mouseProfiles)
        m_mouseProfiles.InitMouseProfilePage(this);
    else if (page == &m_mouseMacros)
        m_mouseMacros.InitMouseMacroPage(this);
    else if (page == &m_mouseLighting)
        m_mouseLighting.InitMouseLightingPage(this);
    else if (page == &m_keyboardKeys)
        m_keyboardKeys.InitAssignKeysPage(this);
    else if (page == &m_keyboardProfiles)
        m_keyboardProfiles.InitKeyboardProfilePage(this);
    else if (page == &m_keyboardMacros)
        m_keyboardMacros.InitKeyboardMacroPage(this);
    else if (page == &m_keyboardLighting)
        m_keyboardLighting.InitKeyboardLightingPage(this);
}

void CVxAppDlg::BindNamedItems()
{
    m_productTabs[kMouse] = m_items.FindAs<CBitmapBtn>(BUTTON_PRODSELECT_MOUSE, ItemKind::BitmapBtn);
    m_productTabs[kKeyboard] = m_items.FindAs<CBitmapBtn>(BUTTON_PRODSELECT_KEYBOARD, ItemKind::BitmapBtn);
    m_firmwareLabel = m_items.FindAs<CTextItem>(TEXT_FIRMWAREVER_PERSIST, ItemKind::TextItem);
    m_driverLabel = m_items.FindAs<CTextItem>(TEXT_DRIVERVER_PERSIST, ItemKind::TextItem);
    m_ok = m_items.FindAs<CBitmapBtn>(BUTTON_OK, ItemKind::BitmapBtn);
    m_apply = m_items.FindAs<CBitmapBtn>(BUTTON_APPLY, ItemKind::BitmapBtn);
    m_cancel = m_items.FindAs<CBitmapBtn>(BUTTON_CANCEL, ItemKind::BitmapBtn);
    m_footnotes[kMouse] = m_items.FindAs<CBitmapItem>(BITMAP_MOUSE_FOOTNOTE, ItemKind::BitmapItem);
    m_footnotes[kKeyboard] = m_items.FindAs<CBitmapItem>(BITMAP_KEYBOARD_FOOTNOTE, ItemKind::BitmapItem);
}

bool CVxAppDlg::MakesLater(const char* itemName) const
{
    // What only the keyboard shows waits for it: the windows made at start then leave room for the
    // keys, which are made at start.
    const int32_t id = FindItemIdByName(wstr::Utf8ToWide(itemName).c_str());
    if (id == BITMAP_KEYBOARD_FOOTNOTE)
        return true;
    for (int page = kFirstKeyboardPage; page <= kLastKeyboardPage; ++page)
        if (id == PageTabId(page))
            return true;
    return false;
}

void CVxAppDlg::BuildKeyboardChrome()
{
    std::vector<std::wstring> errors;
    bool built = false;
    {
        CLayoutErrorLog log;
        built = BuildLaterItems();
        errors = log.Errors();
    }
    if (built) {
        BindNamedItems();
        BuildTabLists();
        // Made as the navigation stands now.
        EnableNavigation(m_navigation);
    }
    TellBuildErrors(errors);
}

void CVxAppDlg::BuildTabLists()
{
    for (int product : {kMouse, kKeyboard}) {
        std::vector<CGUIItem*>& shown = m_productItems[product];
        shown.clear();
        const int first = product == kMouse ? kFirstMousePage : kFirstKeyboardPage;
        const int last = product == kMouse ? kLastMousePage : kLastKeyboardPage;
        for (int page = first; page <= last; ++page) {
            CBitmapBtn* tab = m_items.FindAs<CBitmapBtn>(PageTabId(page), ItemKind::BitmapBtn);
            m_pageTabs[product][page] = tab;
            if (tab)
                shown.push_back(tab);
        }
        if (m_footnotes[product])
            shown.push_back(m_footnotes[product]);
    }
}

void CVxAppDlg::ConnectDevices()
{
    m_connected[kMouse] = LoadMouseFromDevice();
    m_connected[kKeyboard] = LoadKeyboardFromDevice();
    // Start-up is over: later operations connect for themselves, and see the devices as they are then.
    m_startConnection.reset();
    if (!m_connected[kMouse] && !m_connected[kKeyboard]) {
        SwitchProduct(kNoProduct, true);
        StartNoDeviceTimer(kNoDeviceStartMs);
    }
}

bool CVxAppDlg::LoadMouseFromDevice()
{
    return LoadFromDevice(kMouse);
}

bool CVxAppDlg::LoadKeyboardFromDevice()
{
    return LoadFromDevice(kKeyboard);
}

bool CVxAppDlg::LoadFromDevice(int product)
{
    bool noProfile = false;
    const bool ok = product == kMouse ? ReadDevice(*m_mouseDevice, *m_mouseConfig, &noProfile)
                                      : ReadDevice(*m_keyboardDevice, *m_keyboardConfig, &noProfile);
    if (noProfile)
        StartNoDeviceTimer(kNoDeviceStartMs);
    return ok;
}

void CVxAppDlg::RefreshAllPages()
{
    // The mouse's, unless no device answered (then the labels say so).
    UpdateVersionLabels(m_product);
    for (int product : {kMouse, kKeyboard})
        if (m_productTabs[product])
            m_productTabs[product]->SetState(false);
    for (auto& [product, tabs] : m_pageTabs)
        for (auto& [page, tab] : tabs)
            SetTabSelected(tab, false);
    // A page not built yet is filled as an empty page is: its handlers have the dialog and find
    // none of its items. It is filled again once built.
    for (size_t i = 0; i < kPageCount; ++i)
        InitPage(PageAt(i));
    Invalidate(FALSE);
}

// ---- for the pages ----------------------------------------------------------------------------

void CVxAppDlg::SetModified()
{
    if (!IsProduct(m_product))
        return;
    m_unsaved[m_product] = true;
    UpdateApply();
}

void CVxAppDlg::ClearModified()
{
    if (!IsProduct(m_product))
        return;
    m_unsaved[m_product] = false;
    UpdateApply();
}

void CVxAppDlg::RefreshProfilePages(int product)
{
    if (product == kMouse) {
        m_mouseProfiles.FillMouseProfileList();
        m_mouseButtons.RefreshButtonLabels();
        m_mouseButtons.FillButtonsProfileDropdown();
        m_mousePerformance.Refresh();
        m_mouseLighting.Refresh();
        m_mouseMacros.Refresh();
    } else if (product == kKeyboard) {
        m_keyboardProfiles.FillKeyboardProfileList();
        m_keyboardKeys.RefreshKeyAssignments();
        m_keyboardLighting.Refresh();
        m_keyboardMacros.Refresh();
    }
}

void CVxAppDlg::EnableNavigation(bool enable)
{
    m_navigation = enable;
    for (int product : {kMouse, kKeyboard}) {
        if (!m_connected[product])
            continue;
        if (m_productTabs[product])
            m_productTabs[product]->EnableWindow(enable);
        for (auto& [page, tab] : m_pageTabs[product])
            if (tab)
                tab->EnableWindow(enable);
    }
    if (m_ok)
        m_ok->EnableWindow(enable);
    if (m_cancel)
        m_cancel->EnableWindow(enable);
    UpdateApply();
}

CVxAppDlg::WriteStart CVxAppDlg::SaveToDevice()
{
    return WriteProduct(m_product);
}

CVxAppDlg::WriteStart CVxAppDlg::WriteProduct(int product)
{
    bool started = false;
    if (IsProduct(product)) {
        // A write still running refuses the next one, and that says nothing of the device.
        if (IsWriting(product))
            return WriteStart::Busy;
        started = product == kMouse ? (*m_mouseDevice && (*m_mouseDevice)->Transfer(*m_mouseConfig, kTransferWrite, kTransferAll))
                                    : (*m_keyboardDevice && (*m_keyboardDevice)->Transfer(*m_keyboardConfig, kTransferWrite, kTransferAll));
        m_connected[product] = started;
        // A device that did not take the write counts as gone; the user learns that the settings
        // did not reach it.
        if (!started)
            NoteWriteFailure(product);
    }
    if (started)
        StartWritePolling();
    if (!m_connected[kMouse] && !m_connected[kKeyboard]) {
        StartNoDeviceTimer(kNoDeviceStartMs);
        return WriteStart::Failed;
    }
    return started ? WriteStart::Started : WriteStart::Failed;
}

void CVxAppDlg::WaitForMouse()
{
    WaitForDevice(m_hWnd, m_mouseDevice);
}

void CVxAppDlg::WaitForKeyboard()
{
    WaitForDevice(m_hWnd, m_keyboardDevice);
}

bool CVxAppDlg::IsWriting(int product) const
{
    if (product == kMouse)
        return *m_mouseDevice && (*m_mouseDevice)->IsBusy();
    if (product == kKeyboard)
        return *m_keyboardDevice && (*m_keyboardDevice)->IsBusy();
    return false;
}

int CVxAppDlg::CurrentPageNumber() const
{
    for (const auto& [product, pages] : m_pages)
        for (const auto& [number, page] : pages)
            if (page && page == m_currentPage)
                return number;
    return 0;
}

// ---- products and pages -----------------------------------------------------------------------

void CVxAppDlg::UpdateProductTabs(bool force)
{
    for (int product : {kMouse, kKeyboard}) {
        // While a macro records, a product that arrives is noted but cannot be chosen.
        if (m_productTabs[product])
            m_productTabs[product]->EnableWindow(m_connected[product] && m_navigation);
        if (product == m_product && !m_connected[product])
            force = true;
    }
    // Without a product shown, one that has come is shown.
    if (m_product == kNoProduct && (m_connected[kMouse] || m_connected[kKeyboard]))
        force = true;
    if (force)
        SwitchToConnectedProduct();
}

void CVxAppDlg::SwitchToConnectedProduct()
{
    // The current product while it is there, else the other; from none, the mouse first. Without any
    // device nothing changes: the pages stay as they are until the no-device notice.
    int target = -1;
    if (m_product == kKeyboard)
        target = m_connected[kKeyboard] ? kKeyboard : m_connected[kMouse] ? kMouse : -1;
    else
        target = m_connected[kMouse] ? kMouse : m_connected[kKeyboard] ? kKeyboard : -1;
    if (target != -1)
        SwitchProduct(target, true);
}

void CVxAppDlg::SwitchProduct(int product, bool forced)
{
    if (product == kNoProduct) {
        HoldRedraw();
        for (auto& [p, pages] : m_pages)
            for (auto& [number, page] : pages)
                if (page)
                    ShowPage(page, false);
        m_keyboardKeys.ShowKeyItems(false);
        // Both products' page tabs and footnotes go too: they would lie over each other.
        for (auto& [p, items] : m_productItems)
            for (CGUIItem* item : items)
                item->Show(false);
        for (CBitmapItem* footnote : m_footnotes)
            if (footnote)
                footnote->Show(false);
        if (IsProduct(m_product)) {
            m_heldUnsaved[m_product] = m_heldUnsaved[m_product] || m_unsaved[m_product];
            m_unsaved[m_product] = false;
        }
        m_currentPage = nullptr;
        m_product = kNoProduct;
        UpdateVersionLabels(kNoProduct);
        UpdateApply();
        ReleaseRedraw();
        return;
    }
    if (!IsProduct(product))
        return;
    if (!forced) {
        if (product == m_product)
            return;
        if (!SettleBeforeSwitch())
            return;
        // The product chosen may have left while the question or the wait was up.
        if (!m_connected[product]) {
            UpdateProductTabs(false);
            return;
        }
    }
    const int other = product == kMouse ? kKeyboard : kMouse;
    HoldRedraw();
    if (product == kKeyboard)
        BuildKeyboardChrome();
    // A product left without a save (its device failed, or another was forced in) keeps its mark
    // for its return.
    if (m_product == other) {
        m_heldUnsaved[other] = m_heldUnsaved[other] || m_unsaved[other];
        m_unsaved[other] = false;
    }
    for (CGUIItem* item : m_productItems[product])
        item->Show(true);
    for (CGUIItem* item : m_productItems[other])
        item->Show(false);
    for (auto& [number, page] : m_pages[other])
        if (page)
            ShowPage(page, false);
    if (other == kKeyboard)
        m_keyboardKeys.ShowKeyItems(false);

    m_product = product;
    SetTabSelected(m_productTabs[product], true);
    SetTabSelected(m_productTabs[other], false);
    SwitchPage(m_lastPage[product]);
    UpdateVersionLabels(product);
    m_unsaved[product] = m_heldUnsaved[product];
    m_heldUnsaved[product] = false;
    UpdateApply();
    ReleaseRedraw();
}

bool CVxAppDlg::SettleBeforeSwitch()
{
    const int product = m_product;
    if (!IsProduct(product) || !m_unsaved[product])
        return true;
    CVxWarningDlg question(this, L"RefreshBeforeProductSwitchPopup.xml");
    const INT_PTR answer = question.DoModal();
    // The product's device may have left while the question was up: the switch has then been made.
    if (m_product != product || !m_connected[product])
        return false;
    // Device notices wait for the end of the wait, so the product stays; looked at again all the same.
    product == kMouse ? WaitForMouse() : WaitForKeyboard();
    if (m_product != product || !m_connected[product])
        return false;
    if (answer == IDCANCEL) {
        // The changes are dropped: the configuration is read again from the device, so that no
        // later write carries them.
        m_connected[product] = LoadFromDevice(product);
        if (m_connected[product])
            RefreshProfilePages(product);
        m_unsaved[product] = false;
        return true;
    }
    if (SaveToDevice() != WriteStart::Started)
        return false;
    ClearModified();
    return true;
}

void CVxAppDlg::SwitchPage(int page)
{
    CVxPage* set = PageOf(m_product, page);
    if (!set || set == m_currentPage)
        return;
    HoldRedraw();
    for (auto& [number, other] : m_pages[m_product])
        if (other && other != set)
            ShowPage(other, false);
    // The first fill, as at start: what its items report while they are filled is no user's change.
    // A page whose fill ends with a refresh is filled shown, as a showing refreshes it; any other
    // before it is current, and then refreshed.
    const auto firstFill = [this, set] {
        const bool unsaved = m_unsaved[m_product];
        InitPage(set);
        m_unsaved[m_product] = unsaved;
    };
    const bool built = BuildPage(set);
    const bool fillShown = built && set->FirstFillRefreshes();
    if (built && !fillShown)
        firstFill();
    ShowPage(set, true);
    m_currentPage = set;
    m_lastPage[m_product] = page;
    for (auto& [number, tab] : m_pageTabs[m_product])
        SetTabSelected(tab, number == page);
    if (fillShown)
        firstFill();
    else
        set->Refresh();
    UpdateApply();
    ReleaseRedraw();
}

void CVxAppDlg::HoldRedraw()
{
    // The window paints nothing until the switch is done, and then all at once: under Wine each
    // window painting on its own reaches the screen as it goes, so a page shown item by item
    // flickered through partial pictures.
    if (m_redrawHolds++ == 0 && m_hWnd && IsWindowVisible()) {
        SendMessage(WM_SETREDRAW, FALSE);
        m_redrawOff = true;
    }
}

void CVxAppDlg::ReleaseRedraw()
{
    if (m_redrawHolds == 0 || --m_redrawHolds > 0 || !m_hWnd || !m_redrawOff)
        return;
    m_redrawOff = false;
    SendMessage(WM_SETREDRAW, TRUE);
    if (IsWindowVisible())
        PaintAtOnce(m_hWnd);
}

void CVxAppDlg::ShowPage(CVxPage* page, bool show)
{
    const size_t index = IndexOf(page);
    CGroupWnd* window = index < kPageCount ? m_pageWindows[index].get() : nullptr;
    // Hidden, the page's window hides all its items in one step; shown, each item is shown too, as
    // a page shows all its items (the refresh then hides what its state hides).
    if (window && !show) {
        window->ShowWindow(SW_HIDE);
        return;
    }
    page->ShowAll(show);
    // The keys' states come with the refresh that follows every showing (SwitchPage).
    if (page == &m_keyboardKeys)
        m_keyboardKeys.KeyItems().ShowAll(show);
    if (window)
        window->ShowWindow(SW_SHOW);
}

CVxPage* CVxAppDlg::PageOf(int product, int page) const
{
    auto pages = m_pages.find(product);
    if (pages == m_pages.end())
        return nullptr;
    auto found = pages->second.find(page);
    return found == pages->second.end() ? nullptr : found->second;
}

void CVxAppDlg::SetTabSelected(CBitmapBtn* tab, bool selected)
{
    if (tab)
        tab->SetState(selected);  // repaints only on a change
}

void CVxAppDlg::UpdateVersionLabels(int product)
{
    WriteVersionLabels(product, m_firmwareLabel, m_driverLabel);
}

void CVxAppDlg::WriteVersionLabels(int product, CTextItem* firmwareLabel, CTextItem* driverLabel)
{
    const std::wstring driverCaption = Caption(L"$DriverVersion", L"Driver Version");
    const std::wstring firmwareCaption = Caption(L"$FirmwareVersion", L"Firmware Version");
    if (!IsProduct(product)) {
        if (firmwareLabel)
            firmwareLabel->SetText((firmwareCaption + L":0.00").c_str(), 0);
        if (driverLabel)
            driverLabel->SetText((driverCaption + L":0.00").c_str(), 0);
        return;
    }
    std::wstring firmware;
    const bool known = product == kMouse ? FirmwareText(*m_mouseDevice, firmware)
                                         : FirmwareText(*m_keyboardDevice, firmware);
    if (known && firmwareLabel)
        firmwareLabel->SetText((firmwareCaption + L": " + firmware).c_str(), 0);
    if (driverLabel)
        driverLabel->SetText((driverCaption + L": " + ProgramVersionText()).c_str(), 0);
}

void CVxAppDlg::UpdateApply()
{
    if (!m_apply)
        return;
    const bool offer = m_navigation && IsProduct(m_product) && m_unsaved[m_product] && !IsWriting(m_product);
    if (m_apply->IsWindowEnabled() != offer)
        m_apply->EnableWindow(offer);
}

// ---- saving and closing -----------------------------------------------------------------------

void CVxAppDlg::WaitForWrites()
{
    WaitForMouse();
    WaitForKeyboard();
}

void CVxAppDlg::SaveAndClose()
{
    // The product's previous write first (the next one would be refused), then this save, which
    // must end before the devices are let go at exit.
    WaitForWrites();
    TakeWriteOutcomes();
    // Only a product marked unsaved is written: the one shown by its unsaved mark, the other by the
    // mark it keeps while not shown (its write failed, or its device left and came back) once its
    // device is there. With nothing marked nothing is written and the window closes at once.
    bool wrote = false;
    for (int product : {kMouse, kKeyboard}) {
        const bool shown = product == m_product;
        if (!(shown ? m_unsaved[product] : m_heldUnsaved[product] && m_connected[product]))
            continue;
        // This write sends the whole product again: an earlier failure of it is made good or told anew.
        m_writeFailed[product] = false;
        if (WriteProduct(product) != WriteStart::Started)
            continue;
        wrote = true;
        // A failure gives the mark back (NoteWriteFailure).
        if (!shown)
            m_heldUnsaved[product] = false;
    }
    if (wrote) {
        WaitForWrites();
        TakeWriteOutcomes();
    }
    if (m_writeFailed[kMouse] || m_writeFailed[kKeyboard]) {
        // The user is told and stays, with the product unsaved, to try again or to leave.
        ShowPendingNotices();
        UpdateProductTabs(false);
        return;
    }
    EndDialog(IDOK);
}

bool CVxAppDlg::MacroPageRecords() const
{
    // Either macro page: the one recording need not be the page shown.
    return m_mouseMacros.IsRecording() || m_keyboardMacros.IsRecording();
}

void CVxAppDlg::OnOK()
{
    if (MacroPageRecords())
        return;
    SaveAndClose();
}

void CVxAppDlg::OnCancel()
{
    if (MacroPageRecords())
        return;
    // Nothing is written; a write Apply started still ends before the devices are let go, and is
    // told when it failed.
    WaitForWrites();
    TakeWriteOutcomes();
    ShowPendingNotices();
    EndDialog(IDCANCEL);
}

bool CVxAppDlg::TakeWriteOutcome(int product, bool wait)
{
    WriteOutcome outcome = kWriteNone;
    if (product == kMouse && *m_mouseDevice)
        outcome = (*m_mouseDevice)->TakeWriteOutcome(wait);
    else if (product == kKeyboard && *m_keyboardDevice)
        outcome = (*m_keyboardDevice)->TakeWriteOutcome(wait);
    if (outcome != kWriteFailed)
        return false;
    NoteWriteFailure(product);
    return true;
}

void CVxAppDlg::TakeWriteOutcomes()
{
    TakeWriteOutcome(kMouse, false);
    TakeWriteOutcome(kKeyboard, false);
}

void CVxAppDlg::NoteWriteFailure(int product)
{
    if (!IsProduct(product))
        return;
    // Unsaved again, so that Apply offers the write once more; a product not shown gets its mark
    // back when it is shown.
    if (product == m_product)
        m_unsaved[product] = true;
    else
        m_heldUnsaved[product] = true;
    m_writeFailed[product] = true;
    UpdateApply();
    // The notice comes from the timer, once nothing else is up.
    StartWritePolling();
}

void CVxAppDlg::StartWritePolling()
{
    // Offers Apply again once a write has ended, and reads how it ended.
    if (!m_pollingWrites && m_hWnd)
        m_pollingWrites = SetTimer(TIMER_WRITEPOLL, kWritePollMs) != 0;
}

bool CVxAppDlg::CanShowNotice() const
{
    // Not over another popup, a recording, a wait or a device notice being handled; the timer or
    // the end of those comes back.
    return m_hWnd && IsWindowEnabled() && !m_showingNotice && !MacroPageRecords() && !DeviceWaitRunning() &&
           !m_handlingDeviceNotices;
}

void CVxAppDlg::ShowPendingNotices()
{
    if (!CanShowNotice())
        return;
    if (m_startErrorsToTell) {
        m_startErrorsToTell = false;
        m_showingNotice = true;
        CVxTextNotice notice(this, kStartFilesNoticeLayout, L"$FileErrorHeading",
                             RefusedFilesMessage(m_startErrors, kMaxListedFiles), true);
        notice.DoModal();
        m_showingNotice = false;
    }
    if (!m_buildErrors.empty()) {
        const std::vector<std::wstring> errors = std::move(m_buildErrors);
        m_buildErrors.clear();
        m_showingNotice = true;
        CVxTextNotice notice(this, kStartFilesNoticeLayout, L"$FileErrorHeading",
                             RefusedFilesMessage(errors, kMaxListedFiles), true);
        notice.DoModal();
        m_showingNotice = false;
    }
    if (m_writeFailed[kMouse] || m_writeFailed[kKeyboard]) {
        m_writeFailed[kMouse] = m_writeFailed[kKeyboard] = false;
        m_showingNotice = true;
        CVxTextNotice notice(this, kWriteFailedNoticeLayout, WriteFailedHeading(), WriteFailedMessage());
        notice.DoModal();
        m_showingNotice = false;
    }
}

void CVxAppDlg::StopRecordingForExit()
{
    const bool recorded = MacroPageRecords();
    m_mouseMacros.StopRecording();
    m_keyboardMacros.StopRecording();
    if (recorded || m_recording) {
        m_recording = false;
        m_navigation = true;
    }
}

void CVxAppDlg::StartNoDeviceTimer(UINT ms)
{
    m_noDeviceTimer = SetTimer(TIMER_NODEVICE, ms);
}
