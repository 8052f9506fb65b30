// Property sheets driven modeless by the system's sheet messages, and run modally through DoModal:
// which page operation runs when, pages made on first activation, a refused activation, and the
// three ways of closing.
#include "platform/PropertySheet.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "HvTest.h"
#include "PlatformTestRes.h"

namespace {

std::vector<std::string> g_log;

std::string Joined()
{
    std::string text;
    for (const std::string& entry : g_log)
        text += (text.empty() ? "" : " ") + entry;
    g_log.clear();
    return text;
}

class CLoggedPage : public CPropertyPage
{
public:
    CLoggedPage(UINT id, const char* name) : CPropertyPage(id), m_name(name) {}

    bool refuse = false;
    bool keep = false;        // refuses to be left
    bool keepOpen = false;    // refuses Cancel
    std::function<void(CLoggedPage&)> onInit;
    bool sawSheet = false;

protected:
    void Log(const std::string& what) { g_log.push_back(m_name + ":" + what); }
    int OnCreate(CREATESTRUCTW*)
    {
        Log("create");
        return 0;
    }
    BOOL OnInitDialog() override
    {
        Log("init");
        sawSheet = GetParentSheet() != nullptr;
        if (onInit)
            onInit(*this);
        return TRUE;
    }
    BOOL OnSetActive() override
    {
        Log(refuse ? "refuse" : "active");
        return !refuse;
    }
    BOOL OnKillActive() override
    {
        Log("leave");
        return !keep;
    }
    void OnOK() override { Log("ok"); }
    void OnReset() override { Log("reset"); }
    BOOL OnQueryCancel() override
    {
        Log("query");
        return !keepOpen;
    }
    void OnDestroy() { Log("destroy"); }

    std::string m_name;
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CLoggedPage, CPropertyPage)
    ON_WM_CREATE()
    ON_WM_DESTROY()
END_MSG_MAP()

class CLoggedSheet : public CPropertySheet
{
public:
    CLoggedSheet() : CPropertySheet(L"Sheet")
    {
        pages[0] = &static_cast<CLoggedPage&>(AddPage(std::make_unique<CLoggedPage>(IDD_PAGE_ONE, "1")));
        pages[1] = &static_cast<CLoggedPage&>(AddPage(std::make_unique<CLoggedPage>(IDD_PAGE_TWO, "2")));
        pages[2] = &static_cast<CLoggedPage&>(AddPage(std::make_unique<CLoggedPage>(IDD_PAGE_THREE, "3")));
        g_log.clear();
    }
    CLoggedPage* pages[3] = {};

protected:
    BOOL OnInitDialog() override
    {
        g_log.push_back("sheet:init");
        const BOOL result = CPropertySheet::OnInitDialog();
        g_log.push_back("sheet:init-done");
        return result;
    }
};

} // namespace

TEST(PropertySheets, PagesAreMadeWhenFirstShownAndLeftBeforeTheNextOne)
{
    CLoggedSheet sheet;
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ("sheet:init 1:create 1:init 1:active sheet:init-done", Joined());
    EXPECT_TRUE(sheet.pages[0]->sawSheet);
    EXPECT_EQ(sheet.pages[0]->GetParentSheet(), &sheet);
    EXPECT_EQ(nullptr, sheet.pages[1]->m_hWnd);
    EXPECT_EQ(nullptr, sheet.pages[2]->m_hWnd);
    EXPECT_EQ(sheet.pages[0], sheet.GetActivePage());
    EXPECT_TRUE(sheet.pages[0]->IsActive());

    HWND tab = sheet.GetTabControl();
    ASSERT_NE(nullptr, tab);
    EXPECT_EQ(3, ::SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(L"One", hvtest::TabText(tab, 0));
    EXPECT_EQ(L"Three", hvtest::TabText(tab, 2));

    EXPECT_TRUE(sheet.SetActivePage(2));
    EXPECT_EQ("1:leave 3:create 3:init 3:active", Joined());
    EXPECT_EQ(2, sheet.GetActiveIndex());
    EXPECT_FALSE(sheet.pages[0]->IsActive());
    EXPECT_EQ(nullptr, sheet.pages[1]->m_hWnd);
    EXPECT_TRUE(sheet.SetActivePage(0));
    EXPECT_EQ("3:leave 1:active", Joined());  // made once only

    // A page that will not be left keeps the sheet where it is.
    sheet.pages[0]->keep = true;
    EXPECT_FALSE(sheet.SetActivePage(1));
    EXPECT_EQ("1:leave", Joined());
    EXPECT_EQ(0, sheet.GetActiveIndex());
    sheet.pages[0]->keep = false;

    // OK: the current page is left, every page made so far applies, the sheet ends.
    sheet.PressButton(PSBTN_OK);
    EXPECT_EQ("1:leave 1:ok 3:ok", Joined());
    EXPECT_TRUE(sheet.IsEnded());
    EXPECT_EQ(nullptr, sheet.GetActivePage());
    EXPECT_EQ(IDOK, sheet.Close());
    EXPECT_EQ("1:destroy 3:destroy", Joined());
    EXPECT_EQ(nullptr, sheet.m_hWnd);
    EXPECT_EQ(nullptr, sheet.pages[0]->m_hWnd);
}

TEST(PropertySheets, RefusedActivationGoesBackToThePreviousPage)
{
    CLoggedSheet sheet;
    sheet.pages[1]->refuse = true;
    ASSERT_TRUE(sheet.Create());
    Joined();
    sheet.SetActivePage(2);
    Joined();

    // From page 3, page 2 refuses: page 3 comes back (and page 2, never entered, is not left).
    sheet.SetActivePage(1);
    hvtest::FlushMessages();
    EXPECT_EQ("3:leave 2:create 2:init 2:refuse 3:active", Joined());
    EXPECT_EQ(2, sheet.GetActiveIndex());
    EXPECT_EQ(sheet.pages[2], sheet.GetActivePage());
    EXPECT_TRUE(sheet.pages[2]->IsActive());
    EXPECT_FALSE(sheet.pages[1]->IsActive());

    // Clicking its tab does the same.
    HWND tab = sheet.GetTabControl();
    NMHDR changing = {tab, static_cast<UINT_PTR>(::GetDlgCtrlID(tab)), static_cast<UINT>(TCN_SELCHANGING)};
    ::SendMessageW(sheet.m_hWnd, WM_NOTIFY, changing.idFrom, reinterpret_cast<LPARAM>(&changing));
    ::SendMessageW(tab, TCM_SETCURSEL, 1, 0);
    NMHDR change = {tab, changing.idFrom, static_cast<UINT>(TCN_SELCHANGE)};
    ::SendMessageW(sheet.m_hWnd, WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
    hvtest::FlushMessages();
    EXPECT_EQ("3:leave 2:refuse 3:active", Joined());
    EXPECT_EQ(2, sheet.GetActiveIndex());
    sheet.Close();
}

TEST(PropertySheets, CancelAndTheCloseBoxResetEveryMadePage)
{
    {
        CLoggedSheet sheet;
        ASSERT_TRUE(sheet.Create());
        sheet.SetActivePage(1);
        Joined();
        sheet.pages[1]->keepOpen = true;
        sheet.PressButton(PSBTN_CANCEL);
        EXPECT_EQ("2:query", Joined());
        EXPECT_FALSE(sheet.IsEnded());
        sheet.pages[1]->keepOpen = false;
        sheet.PressButton(PSBTN_CANCEL);
        EXPECT_EQ("2:query 1:reset 2:reset", Joined());  // no page is left
        EXPECT_TRUE(sheet.IsEnded());
        EXPECT_FALSE(sheet.pages[1]->IsActive());
        EXPECT_EQ(IDCANCEL, sheet.Close());
        EXPECT_EQ("1:destroy 2:destroy", Joined());
    }
    {
        CLoggedSheet sheet;
        ASSERT_TRUE(sheet.Create());
        Joined();
        ::SendMessageW(sheet.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        hvtest::FlushMessages();
        const std::string log = Joined();
        // The system may reset twice (once for the close box, once for the Cancel it turns into).
        EXPECT_EQ(0u, log.rfind("1:query 1:reset", 0)) << log;
        EXPECT_EQ(std::string::npos, log.find("leave")) << log;
        EXPECT_TRUE(sheet.IsEnded());
        EXPECT_EQ(IDCANCEL, sheet.Close());
    }
}

TEST(PropertySheets, DoModalAnswersHowTheSheetWasClosed)
{
    CLoggedSheet sheet;
    sheet.pages[0]->onInit = [&](CLoggedPage&) { ::PostMessageW(sheet.m_hWnd, PSM_PRESSBUTTON, PSBTN_OK, 0); };
    EXPECT_EQ(IDOK, sheet.DoModal());
    EXPECT_EQ("sheet:init 1:create 1:init 1:active sheet:init-done 1:leave 1:ok 1:destroy", Joined());
    EXPECT_EQ(nullptr, sheet.m_hWnd);

    // The same sheet runs again; the close box gives IDCANCEL.
    sheet.pages[0]->onInit = [&](CLoggedPage&) { ::PostMessageW(sheet.m_hWnd, WM_CLOSE, 0, 0); };
    EXPECT_EQ(IDCANCEL, sheet.DoModal());
    EXPECT_EQ(nullptr, sheet.m_hWnd);
    hvtest::FlushMessages();

    // Escape in a page is Cancel, through the sheet's dialog keys in the modal loop.
    g_log.clear();
    sheet.pages[0]->onInit = [&](CLoggedPage& page) {
        HWND edit = page.GetDlgItem(IDC_NAME);
        ::PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    };
    EXPECT_EQ(IDCANCEL, sheet.DoModal());
    EXPECT_NE(std::string::npos, Joined().find("1:reset"));
}

TEST(PropertySheets, FirstPageRefusingMovesOnToTheNext)
{
    CLoggedSheet sheet;
    sheet.pages[0]->refuse = true;
    ASSERT_TRUE(sheet.Create());
    hvtest::FlushMessages();
    EXPECT_EQ("sheet:init 1:create 1:init 1:refuse 2:create 2:init 2:active sheet:init-done", Joined());
    EXPECT_EQ(1, sheet.GetActiveIndex());
    sheet.Close();
}
