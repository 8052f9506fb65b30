// The control wrappers on a dialog's real controls: what each method does to the control, and the
// notifications a track bar and an up-down send their parent while driven by keys.
#include "platform/CommonControls.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"

#include <gtest/gtest.h>

#include <vector>

#include "HvTest.h"
#include "PlatformTestRes.h"

namespace {

// The dialog of the test, recording the scroll codes its track bar and up-down send.
class CControlsDialog : public CDialog
{
public:
    CControlsDialog() : CDialog(IDD_CONTROLS) {}
    std::vector<int> trackCodes;
    std::vector<int> spinCodes;
    CComboBox combo;
    CListBox list;
    CSliderCtrl track;
    CSpinButtonCtrl spin;
    CHotKeyCtrl hotKey;
    CButton check;
    CButton triState;
    CStatic label;
    CEdit edit;

protected:
    BOOL OnInitDialog() override
    {
        combo.SubclassDlgItem(IDC_COMBO, m_hWnd);
        list.SubclassDlgItem(IDC_LISTBOX, m_hWnd);
        track.SubclassDlgItem(IDC_TRACK, m_hWnd);
        spin.SubclassDlgItem(IDC_SPIN, m_hWnd);
        hotKey.SubclassDlgItem(IDC_HOTKEY, m_hWnd);
        check.SubclassDlgItem(IDC_CHECK, m_hWnd);
        triState.SubclassDlgItem(IDC_TRISTATE, m_hWnd);
        label.SubclassDlgItem(IDC_STATIC_TEXT, m_hWnd);
        edit.SubclassDlgItem(IDC_NAME, m_hWnd);
        return TRUE;
    }
    LRESULT OnHScroll(WPARAM wParam, LPARAM lParam)
    {
        if (reinterpret_cast<HWND>(lParam) == track.m_hWnd)
            trackCodes.push_back(LOWORD(wParam));
        return 0;
    }
    LRESULT OnVScroll(WPARAM wParam, LPARAM lParam)
    {
        if (reinterpret_cast<HWND>(lParam) == spin.m_hWnd)
            spinCodes.push_back(LOWORD(wParam));
        return 0;
    }
    HV_DECLARE_MSG_MAP()
};

BEGIN_MSG_MAP(CControlsDialog, CDialog)
    ON_MESSAGE(WM_HSCROLL, OnHScroll)
    ON_MESSAGE(WM_VSCROLL, OnVScroll)
END_MSG_MAP()

} // namespace

TEST(Controls, WrappersDriveTheirControls)
{
    CControlsDialog dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.ShowWindow(SW_SHOW);

    // Combo box: items with data, prefix and exact search, selection, the drop-down width.
    EXPECT_EQ(0, dlg.combo.AddString(L"1000Hz"));
    EXPECT_EQ(1, dlg.combo.AddString(L"500Hz"));
    EXPECT_EQ(2, dlg.combo.AddString(L"125Hz with a much longer text than the box shows"));
    EXPECT_EQ(0, dlg.combo.InsertString(0, L"First"));
    EXPECT_EQ(4, dlg.combo.GetCount());
    dlg.combo.SetItemData(1, 1000);
    EXPECT_EQ(1000, dlg.combo.GetItemData(1));
    EXPECT_EQ(L"500Hz", dlg.combo.GetLBText(2));
    EXPECT_EQ(L"", dlg.combo.GetLBText(9));
    EXPECT_EQ(3, dlg.combo.FindString(-1, L"125"));
    EXPECT_EQ(CB_ERR, dlg.combo.FindStringExact(-1, L"125"));
    EXPECT_EQ(2, dlg.combo.FindStringExact(-1, L"500hz"));
    EXPECT_EQ(2, dlg.combo.SelectString(-1, L"500"));
    EXPECT_EQ(2, dlg.combo.GetCurSel());
    dlg.combo.SetCurSel(-1);
    EXPECT_EQ(CB_ERR, dlg.combo.GetCurSel());
    const int widest = dlg.combo.WidestItemWidth();
    EXPECT_GT(widest, dlg.combo.GetWindowRect().Width());
    dlg.combo.SetDroppedWidth(widest);
    EXPECT_EQ(widest, dlg.combo.GetDroppedWidth());
    EXPECT_EQ(3, dlg.combo.DeleteString(0));  // the count left
    dlg.combo.ResetContent();
    EXPECT_EQ(0, dlg.combo.GetCount());

    // List box: replacing an entry is deleting it and inserting the new text at its index.
    for (const wchar_t* text : {L"Stage 1", L"Stage 2", L"Stage 3"})
        dlg.list.AddString(text);
    dlg.list.DeleteString(1);
    dlg.list.InsertString(1, L">Stage 2");
    dlg.list.SetCurSel(1);
    EXPECT_EQ(L">Stage 2", dlg.list.GetText(1));
    EXPECT_EQ(1, dlg.list.GetCurSel());
    EXPECT_EQ(1, dlg.list.FindString(-1, L">"));
    EXPECT_EQ(2, dlg.list.FindStringExact(-1, L"stage 3"));
    dlg.list.SetItemData(2, 77);
    EXPECT_EQ(77, dlg.list.GetItemData(2));
    EXPECT_EQ(3, dlg.list.GetCount());

    // Track bar: range, position, and the codes of a key press (the end of every move is
    // SB_ENDSCROLL).
    dlg.track.SetRange(0, 255, true);
    dlg.track.SetTicFreq(1);
    dlg.track.SetPos(100);
    EXPECT_EQ(0, dlg.track.GetRangeMin());
    EXPECT_EQ(255, dlg.track.GetRangeMax());
    EXPECT_EQ(100, dlg.track.GetPos());
    dlg.track.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(101, dlg.track.GetPos());
    dlg.track.SendMessage(WM_KEYUP, VK_RIGHT, 0xC0000001);
    EXPECT_EQ((std::vector<int>{TB_LINEDOWN, TB_ENDTRACK}), dlg.trackCodes);
    EXPECT_EQ(SB_ENDSCROLL, TB_ENDTRACK);

    // Up-down with its buddy edit.
    dlg.spin.SetBuddy(dlg.GetDlgItem(IDC_BUDDY));
    dlg.spin.SetRange32(1, 10);
    dlg.spin.SetPos32(5);
    int lower = 0, upper = 0;
    dlg.spin.GetRange32(&lower, &upper);
    EXPECT_EQ(1, lower);
    EXPECT_EQ(10, upper);
    EXPECT_EQ(L"5", dlg.GetDlgItemText(IDC_BUDDY));
    bool error = true;
    EXPECT_EQ(5, dlg.spin.GetPos32(&error));
    EXPECT_FALSE(error);
    dlg.spin.SendMessage(WM_KEYDOWN, VK_UP, 0);
    dlg.spin.SendMessage(WM_KEYUP, VK_UP, 0xC0000001);
    EXPECT_EQ(6, dlg.spin.GetPos32());
    // A key step is reported as the new position (a click also ends with SB_ENDSCROLL).
    EXPECT_EQ(std::vector<int>{SB_THUMBPOSITION}, dlg.spinCodes);

    // Hot key: rules replace invalid combinations; the key and its modifiers read back.
    dlg.hotKey.SetRules(0xFE, HOTKEYF_SHIFT);
    dlg.hotKey.SetHotKey('A', HOTKEYF_CONTROL | HOTKEYF_EXT);
    WORD vk = 0, modifiers = 0;
    dlg.hotKey.GetHotKey(&vk, &modifiers);
    EXPECT_EQ('A', vk);
    EXPECT_EQ(HOTKEYF_CONTROL | HOTKEYF_EXT, modifiers);

    // Buttons: a check box and a display-only three-state box, whose clicks change nothing.
    dlg.check.Click();
    EXPECT_EQ(BST_CHECKED, dlg.check.GetCheck());
    dlg.triState.SetCheck(BST_INDETERMINATE);
    dlg.triState.Click();
    EXPECT_EQ(BST_INDETERMINATE, dlg.triState.GetCheck());

    // Static and edit.
    dlg.label.SetWindowText(L"Keyboard layout: 01");
    EXPECT_EQ(L"Keyboard layout: 01", dlg.label.GetWindowText());
    dlg.edit.SetWindowText(L"abc");
    dlg.edit.SetSel(1, 2);
    int start = 0, end = 0;
    dlg.edit.GetSel(&start, &end);
    EXPECT_EQ(1, start);
    EXPECT_EQ(2, end);
    dlg.edit.ReplaceSel(L"XY");
    EXPECT_EQ(L"aXYc", dlg.edit.GetWindowText());
    dlg.edit.SetReadOnly();
    EXPECT_TRUE(dlg.edit.GetStyle() & ES_READONLY);
    EXPECT_EQ(1, dlg.edit.GetLineCount());

    dlg.DestroyWindow();
}
