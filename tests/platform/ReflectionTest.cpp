// Reflection: a control's notifications (WM_COMMAND codes, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM,
// WM_MEASUREITEM) reach the object of the control that sent them before the parent's map; the
// parent's OnCommand and OnNotify overrides see them before the control.
#include "platform/Dc.h"
#include "platform/Dialog.h"
#include "platform/GdiObject.h"

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

// The same dialog, but the parent maps the edit's EN_CHANGE and the button's BN_CLICKED too.
class CBothMapDialog : public CReflectDialog
{
protected:
    void OnNameChange() { Log("dialog:name-change"); }
    void OnDrawnClick() { Log("dialog:drawn-click"); }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CBothMapDialog, CReflectDialog)
    ON_CONTROL(EN_CHANGE, IDC_NAME, OnNameChange)
    ON_CONTROL(BN_CLICKED, IDC_DRAWN, OnDrawnClick)
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

// A plain reflected handler keeps the notification from the parent's map, real controls sending.
TEST(Reflection, ControlThatHandlesANotificationKeepsIt)
{
    std::vector<std::string> log;
    LogScope scope(log);
    CBothMapDialog dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.ShowWindow(SW_SHOW);
    log.clear();
    ::SetWindowTextW(dlg.GetDlgItem(IDC_NAME), L"text");
    ::SendMessageW(dlg.GetDlgItem(IDC_DRAWN), BM_CLICK, 0, 0);
    std::vector<std::string> expected = {"edit:change", "button:clicked"};
    EXPECT_EQ(log, expected);
    dlg.DestroyWindow();
}

// ---- The order of child and parent, pinned down by recording -------------------------------------
// Every handler below marks its turn by sending a message of its own to its window, so the recorder
// of the parent and the children shows who saw a notification, and in which order.

constexpr UINT kChildSaw = WM_APP + 1;     // to the control; wParam its id
constexpr UINT kMapSaw = WM_APP + 2;       // to the parent, from its map; wParam the control id
constexpr UINT kOverrideSaw = WM_APP + 3;  // to the parent, from OnCommand or OnNotify; wParam the id
constexpr UINT kConsumer = 2001;           // ON_CONTROL_REFLECT, ON_NOTIFY_REFLECT, ON_CTLCOLOR_REFLECT
constexpr UINT kPasser = 2002;             // the _EX forms answering FALSE; a null brush
constexpr UINT kBare = 2003;               // an object without reflected entries
constexpr UINT kNoObject = 2004;           // a control without an object
constexpr UINT kForwarder = 2005;          // a child that passes its control's commands on
constexpr UINT kInner = 2006;              // the control inside kForwarder
constexpr LRESULT kChildResult = 5;
constexpr LRESULT kMapResult = 7;

void Mark(HWND hwnd, UINT marker, UINT id)
{
    ::SendMessageW(hwnd, marker, id, 0);
}

class COrderControl : public CWnd
{
public:
    bool Make(HWND parent, UINT id, const wchar_t* cls = L"BUTTON")
    {
        return CreateEx(0, cls, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 40, 20), parent, id);
    }

protected:
    void Saw() const { Mark(m_hWnd, kChildSaw, GetDlgCtrlID()); }
};

class CConsumer : public COrderControl
{
public:
    CBrush brush{RGB(1, 2, 3)};

protected:
    void OnClicked() { Saw(); }
    void OnNmClick(NMHDR*, LRESULT* result)
    {
        Saw();
        *result = kChildResult;
    }
    HBRUSH CtlColor(HDC, UINT)
    {
        Saw();
        return brush;
    }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CConsumer, COrderControl)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
    ON_NOTIFY_REFLECT(NM_CLICK, OnNmClick)
    ON_CTLCOLOR_REFLECT(CtlColor)
END_MSG_MAP()

class CPasser : public COrderControl
{
protected:
    BOOL OnClicked()
    {
        Saw();
        return FALSE;
    }
    BOOL OnNmClick(NMHDR*, LRESULT* result)
    {
        Saw();
        *result = kChildResult;
        return FALSE;
    }
    HBRUSH CtlColor(HDC, UINT)
    {
        Saw();
        return nullptr;
    }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CPasser, COrderControl)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
    ON_NOTIFY_REFLECT_EX(NM_CLICK, OnNmClick)
    ON_CTLCOLOR_REFLECT(CtlColor)
END_MSG_MAP()

// Passes its controls' commands on to its own parent, as the skin's bitmap items do, then lets the
// base reflect them.
class CForwarder : public COrderControl
{
protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        ::PostMessageW(GetParent(), WM_COMMAND, wParam, lParam);
        return CWnd::OnCommand(wParam, lParam);
    }
};

class COrderParent : public CWnd
{
public:
    bool stop = false;  // the overrides keep every notification to themselves
    CBrush brush{RGB(4, 5, 6)};

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        Mark(m_hWnd, kOverrideSaw, LOWORD(wParam));
        return stop || CWnd::OnCommand(wParam, lParam);
    }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        Mark(m_hWnd, kOverrideSaw, static_cast<UINT>(reinterpret_cast<NMHDR*>(lParam)->idFrom));
        return stop || CWnd::OnNotify(wParam, lParam, result);
    }
    void OnClicked(UINT id) { Mark(m_hWnd, kMapSaw, id); }
    void OnNmClick(UINT id, NMHDR*, LRESULT* result)
    {
        Mark(m_hWnd, kMapSaw, id);
        *result = kMapResult;
    }
    HBRUSH OnCtlColor(HDC, HWND control, UINT)
    {
        Mark(m_hWnd, kMapSaw, ::GetDlgCtrlID(control));
        return brush;
    }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(COrderParent, CWnd)
    ON_CONTROL_RANGE(BN_CLICKED, kConsumer, kInner, OnClicked)
    ON_NOTIFY_RANGE(NM_CLICK, kConsumer, kInner, OnNmClick)
    ON_WM_CTLCOLOR()
END_MSG_MAP()

hvtest::ExpectedMsg Command(UINT id, unsigned flags = hvtest::Sent)
{
    return {WM_COMMAND, flags | hvtest::Parent | hvtest::WParam, MAKEWPARAM(id, BN_CLICKED)};
}
hvtest::ExpectedMsg Marker(UINT marker, UINT id, bool parent)
{
    return {marker, hvtest::Sent | hvtest::WParam | (parent ? hvtest::Parent : 0u), id};
}

struct OrderWindows
{
    COrderParent parent;
    CConsumer consumer;
    CPasser passer;
    COrderControl bare;
    hvtest::ScopedWindow noObject;
    CForwarder forwarder;
    CConsumer inner;

    // Makes the windows, then records the parent and every control.
    bool Make(hvtest::MessageRecorder& rec)
    {
        if (!MakeWindows())
            return false;
        hvtest::FlushMessages();
        rec.Watch(parent, hvtest::ParentRole);
        for (HWND child : {consumer.m_hWnd, passer.m_hWnd, bare.m_hWnd, noObject.Get(), forwarder.m_hWnd, inner.m_hWnd})
            rec.Watch(child);
        return true;
    }
    bool MakeWindows()
    {
        if (!parent.CreateEx(0, hvtest::TestWindowClass(), L"order", WS_OVERLAPPEDWINDOW, CRect(50, 50, 350, 250),
                             nullptr, 0))
            return false;
        noObject.Reset(::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD, 0, 0, 40, 20, parent,
                                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kNoObject)), nullptr,
                                         nullptr));
        return consumer.Make(parent, kConsumer) && passer.Make(parent, kPasser) && bare.Make(parent, kBare) &&
               noObject && forwarder.Make(parent, kForwarder, hvtest::TestWindowClass()) &&
               inner.Make(forwarder, kInner);
    }
    ~OrderWindows()
    {
        parent.DestroyWindow();
        noObject.Release();  // gone with its parent
    }
    LRESULT Click(HWND to, HWND control) const
    {
        return ::SendMessageW(to, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), BN_CLICKED),
                              reinterpret_cast<LPARAM>(control));
    }
    LRESULT NmClick(HWND control) const
    {
        NMHDR hdr = {control, static_cast<UINT_PTR>(::GetDlgCtrlID(control)), static_cast<UINT>(NM_CLICK)};
        return ::SendMessageW(parent, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
    }
    HBRUSH CtlColor(HWND control) const
    {
        CClientDC dc(control);
        return reinterpret_cast<HBRUSH>(::SendMessageW(parent, WM_CTLCOLOREDIT,
                                                       reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                                                       reinterpret_cast<LPARAM>(control)));
    }
};

TEST(Reflection, ControlSeesItsNotificationBeforeTheParentsMap)
{
    OrderWindows w;
    hvtest::MessageRecorder rec;
    ASSERT_TRUE(w.Make(rec));

    // A plain reflected handler consumes the command: the parent's map never sees it.
    w.Click(w.parent, w.consumer);
    rec.ExpectSequence({Command(kConsumer), Marker(kOverrideSaw, kConsumer, true), Marker(kChildSaw, kConsumer, false)},
                       "consumed command");
    // An _EX handler answering FALSE: the control, then the parent's map.
    w.Click(w.parent, w.passer);
    rec.ExpectSequence({Command(kPasser), Marker(kOverrideSaw, kPasser, true), Marker(kChildSaw, kPasser, false),
                        Marker(kMapSaw, kPasser, true)},
                       "passed command");
    // No reflected handler, or no object at all: the parent's map.
    w.Click(w.parent, w.bare);
    w.Click(w.parent, w.noObject);
    rec.ExpectSequence({Command(kBare), Marker(kOverrideSaw, kBare, true), Marker(kMapSaw, kBare, true),
                        Command(kNoObject), Marker(kOverrideSaw, kNoObject, true), Marker(kMapSaw, kNoObject, true)},
                       "unhandled command");

    // WM_NOTIFY in the same order; the answer is the one of whoever handled it last.
    EXPECT_EQ(w.NmClick(w.consumer), kChildResult);
    EXPECT_EQ(w.NmClick(w.passer), kMapResult);
    EXPECT_EQ(w.NmClick(w.bare), kMapResult);
    rec.ExpectSequence({{WM_NOTIFY, hvtest::Sent | hvtest::Parent}, Marker(kOverrideSaw, kConsumer, true),
                        Marker(kChildSaw, kConsumer, false),
                        {WM_NOTIFY, hvtest::Sent | hvtest::Parent}, Marker(kOverrideSaw, kPasser, true),
                        Marker(kChildSaw, kPasser, false), Marker(kMapSaw, kPasser, true),
                        {WM_NOTIFY, hvtest::Sent | hvtest::Parent}, Marker(kOverrideSaw, kBare, true),
                        Marker(kMapSaw, kBare, true)},
                       "notifications");

    // WM_CTLCOLOR*: the control's brush wins; a control that answers no brush leaves it to the parent.
    EXPECT_EQ(w.CtlColor(w.consumer), w.consumer.brush.GetSafeHandle());
    EXPECT_EQ(w.CtlColor(w.passer), w.parent.brush.GetSafeHandle());
    EXPECT_EQ(w.CtlColor(w.bare), w.parent.brush.GetSafeHandle());
    rec.ExpectSequence({{WM_CTLCOLOREDIT, hvtest::Sent | hvtest::Parent}, Marker(kChildSaw, kConsumer, false),
                        {WM_CTLCOLOREDIT, hvtest::Sent | hvtest::Parent}, Marker(kChildSaw, kPasser, false),
                        Marker(kMapSaw, kPasser, true),
                        {WM_CTLCOLOREDIT, hvtest::Sent | hvtest::Parent}, Marker(kMapSaw, kBare, true)},
                       "control colours");

    // A command a child passes on from its own control is reflected once, by that child; the parent
    // only maps it.
    w.Click(w.forwarder, w.inner);
    rec.ExpectSequence({{WM_COMMAND, hvtest::Sent | hvtest::WParam, MAKEWPARAM(kInner, BN_CLICKED)},
                        Marker(kChildSaw, kInner, false), Command(kInner, hvtest::Posted),
                        Marker(kOverrideSaw, kInner, true), Marker(kMapSaw, kInner, true)},
                       "passed-on command");
}

TEST(Reflection, ParentOverrideSeesEveryNotificationFirstAndCanKeepIt)
{
    OrderWindows w;
    hvtest::MessageRecorder rec;
    ASSERT_TRUE(w.Make(rec));

    // An override that does not call the base: neither the control nor the map sees anything.
    w.parent.stop = true;
    w.Click(w.parent, w.consumer);
    w.Click(w.parent, w.passer);
    w.NmClick(w.passer);
    rec.ExpectSequence({Command(kConsumer), Marker(kOverrideSaw, kConsumer, true), Command(kPasser),
                        Marker(kOverrideSaw, kPasser, true), {WM_NOTIFY, hvtest::Sent | hvtest::Parent},
                        Marker(kOverrideSaw, kPasser, true)},
                       "kept by the override");
    // Calling the base again: the override first, then the control, then the map.
    w.parent.stop = false;
    w.Click(w.parent, w.passer);
    rec.ExpectSequence({Command(kPasser), Marker(kOverrideSaw, kPasser, true), Marker(kChildSaw, kPasser, false),
                        Marker(kMapSaw, kPasser, true)},
                       "passed on by the override");
}

} // namespace
