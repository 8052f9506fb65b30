// Reflection: notifications the parent does not handle reach the object of the control that sent
// them (WM_COMMAND codes, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM).
#include "Dc.h"
#include "Dialog.h"
#include "GdiObject.h"

#include <commctrl.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "HvTest.h"
#include "PlatformTestRes.h"

namespace {

constexpr COLORREF kDrawnColor = RGB(200, 30, 40);
constexpr COLORREF kEditBack = RGB(20, 180, 60);

std::vector<std::string>* g_log = nullptr;
void Log(const std::string& s)
{
    if (g_log)
        g_log->push_back(s);
}

class CDrawnButton : public CWnd
{
public:
    int draws = 0;

protected:
    void OnClicked() { Log("button:clicked"); }
    void DrawItem(DRAWITEMSTRUCT* dis)
    {
        ++draws;
        CDC dc(dis->hDC);
        dc.FillSolidRect(dis->rcItem, kDrawnColor);
    }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CDrawnButton, CWnd)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
    ON_DRAWITEM_REFLECT(DrawItem)
END_MSG_MAP()

class CColoredEdit : public CWnd
{
public:
    CBrush brush{kEditBack};

protected:
    HBRUSH CtlColor(HDC hdc, UINT type)
    {
        Log("edit:ctlcolor " + std::to_string(type));
        CDC dc(hdc);
        dc.SetBkColor(kEditBack);
        dc.SetTextColor(RGB(255, 255, 255));
        return brush;
    }
    void OnChange() { Log("edit:change"); }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CColoredEdit, CWnd)
    ON_CTLCOLOR_REFLECT(CtlColor)
    ON_CONTROL_REFLECT(EN_CHANGE, OnChange)
END_MSG_MAP()

class CNotifyingList : public CWnd
{
protected:
    void OnItemChanged(NMHDR* hdr, LRESULT*)
    {
        const NMLISTVIEW* nm = reinterpret_cast<const NMLISTVIEW*>(hdr);
        if (nm->uNewState & LVIS_SELECTED)
            Log("list:selected " + std::to_string(nm->iItem));
    }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CNotifyingList, CWnd)
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
END_MSG_MAP()

// An owner-drawn list box that sets its own row height.
class CMeasuredList : public CWnd
{
protected:
    void MeasureItem(MEASUREITEMSTRUCT* mis)
    {
        Log("listbox:measure");
        mis->itemHeight = 18;
    }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CMeasuredList, CWnd)
    ON_MEASUREITEM_REFLECT(MeasureItem)
END_MSG_MAP()

class CReflectDialog : public CDialog
{
public:
    CReflectDialog() : CDialog(IDD_OWNERDRAWN) {}
    CDrawnButton button;
    CColoredEdit edit;
    CNotifyingList list;
    CMeasuredList listBox;

protected:
    BOOL OnInitDialog() override
    {
        button.SubclassDlgItem(IDC_DRAWN, m_hWnd);
        edit.SubclassDlgItem(IDC_NAME, m_hWnd);
        list.SubclassDlgItem(IDC_LIST, m_hWnd);
        listBox.CreateEx(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                         CRect(320, 10, 400, 100), m_hWnd, 1020);
        return TRUE;
    }
    void OnApply() { Log("dialog:apply"); }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CReflectDialog, CDialog)
    ON_CONTROL(BN_CLICKED, IDC_APPLY, OnApply)
END_MSG_MAP()

// The same dialog, but the parent maps the edit's EN_CHANGE itself: the parent comes first.
class CParentFirstDialog : public CReflectDialog
{
protected:
    void OnNameChange() { Log("dialog:name-change"); }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CParentFirstDialog, CReflectDialog)
    ON_CONTROL(EN_CHANGE, IDC_NAME, OnNameChange)
END_MSG_MAP()

class LogScope
{
public:
    explicit LogScope(std::vector<std::string>& log) { g_log = &log; }
    ~LogScope() { g_log = nullptr; }
};

void SelectFirstRow(HWND list)
{
    LVCOLUMNW col = {};
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    col.cx = 100;
    col.pszText = const_cast<wchar_t*>(L"Name");
    ::SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"row");
    ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
}

TEST(Reflection, UnhandledNotificationsReachTheSendingControl)
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(::InitCommonControlsEx(&icc));
    std::vector<std::string> log;
    LogScope scope(log);

    CReflectDialog dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.SetWindowPos(nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dlg.ShowWindow(SW_SHOW);
    hvtest::FlushMessages();
    log.clear();

    // WM_COMMAND: BN_CLICKED of the owner-drawn button goes back to it; Apply stays with the dialog.
    ::SendMessageW(dlg.GetDlgItem(IDC_DRAWN), BM_CLICK, 0, 0);
    ::SendMessageW(dlg.GetDlgItem(IDC_APPLY), BM_CLICK, 0, 0);
    // WM_COMMAND: EN_CHANGE of the edit.
    ::SetWindowTextW(dlg.GetDlgItem(IDC_NAME), L"text");
    // WM_NOTIFY: LVN_ITEMCHANGED of the list view.
    SelectFirstRow(dlg.GetDlgItem(IDC_LIST));
    std::vector<std::string> expected = {"button:clicked", "dialog:apply", "edit:change", "list:selected 0"};
    EXPECT_EQ(log, expected);

    // WM_CTLCOLOREDIT: the edit chooses its brush; the dialog returns it to the system.
    log.clear();
    CClientDC dc(dlg.GetDlgItem(IDC_NAME));
    LRESULT brush = ::SendMessageW(dlg, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                                   reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_NAME)));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), dlg.edit.brush.GetSafeHandle());
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "edit:ctlcolor " + std::to_string(CTLCOLOR_EDIT));
    // Without an object on the control, the dialog's default answers.
    log.clear();
    brush = ::SendMessageW(dlg, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                           reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_APPLY)));
    EXPECT_NE(reinterpret_cast<HBRUSH>(brush), dlg.edit.brush.GetSafeHandle());
    EXPECT_TRUE(log.empty());

    // WM_MEASUREITEM reached the list box while it was being created.
    EXPECT_EQ(::SendMessageW(dlg.listBox, LB_GETITEMHEIGHT, 0, 0), 18);

    // WM_DRAWITEM and WM_CTLCOLOREDIT from real painting; the picture shows what the children drew.
    log.clear();
    dlg.button.draws = 0;
    dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    hvtest::FlushMessages();
    EXPECT_GE(dlg.button.draws, 1);
    EXPECT_NE(std::find(log.begin(), log.end(), "edit:ctlcolor " + std::to_string(CTLCOLOR_EDIT)), log.end());
    hvtest::Bitmap shot = hvtest::CaptureClient(dlg);
    ASSERT_FALSE(shot.Empty());
    shot.SaveToTestDir(L"reflection.bmp");
    CRect buttonRect = CWnd::FromHandlePermanent(dlg.GetDlgItem(IDC_DRAWN))->GetWindowRect();
    dlg.ScreenToClient(&buttonRect);
    buttonRect.DeflateRect(2, 2);
    hvtest::ExpectRectNear(shot, buttonRect, kDrawnColor, 8);
    CRect editRect = dlg.edit.GetClientRect();
    ::MapWindowPoints(dlg.edit, dlg, reinterpret_cast<POINT*>(&editRect), 2);
    EXPECT_GT(hvtest::CountPixelsNear(shot, editRect, kEditBack, 8), editRect.Width() * editRect.Height() / 2);

    dlg.DestroyWindow();
}

TEST(Reflection, ParentThatHandlesANotificationKeepsIt)
{
    std::vector<std::string> log;
    LogScope scope(log);
    CParentFirstDialog dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.ShowWindow(SW_SHOW);
    log.clear();
    ::SetWindowTextW(dlg.GetDlgItem(IDC_NAME), L"text");
    ::SendMessageW(dlg.GetDlgItem(IDC_DRAWN), BM_CLICK, 0, 0);
    std::vector<std::string> expected = {"dialog:name-change", "button:clicked"};
    EXPECT_EQ(log, expected);
    dlg.DestroyWindow();
}

} // namespace
