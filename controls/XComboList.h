// CXComboList: the drop-down list of a combo cell of the extended list: a popup window holding a
// list box of the cell's choices and a scroll bar beside it. It reports to its list control (sent,
// wParam and lParam 0) with four registered messages: Return, Escape, a key that moved the choice,
// and a button released over the list.
//
// The list control creates it while it draws the pressed cell and lays it out once (FirstLayout)
// from its press timer; it is destroyed by the list control when a choice ends. User-interface
// thread only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/GdiObject.h"
#include "platform/Wnd.h"

// The registered messages, each obtained once when the program starts.
extern const UINT WM_XCOMBOLIST_VK_RETURN;
extern const UINT WM_XCOMBOLIST_VK_ESCAPE;
extern const UINT WM_XCOMBOLIST_KEYDOWN;
extern const UINT WM_XCOMBOLIST_LBUTTONUP;

class CXComboList : public CWnd
{
public:
    static constexpr int kScrollBarWidth = 11;
    static constexpr int kLostFocusLimit = 3;  // the third loss of focus ends the choice

    // listControl: the window told of the choice (borrowed).
    explicit CXComboList(HWND listControl);
    ~CXComboList() override;

    // The popup at screenRect, owned by owner, with the list's font (borrowed): its non-empty
    // entries, the one equal to current selected (else the first).
    bool Create(const RECT& screenRect, HWND owner, HFONT font, const std::vector<std::wstring>& entries,
                const std::wstring& current);
    // Gives the list box the focus, cuts the height to whole rows and places the list box and the
    // scroll bar; once.
    void FirstLayout();
    bool IsLaidOut() const { return m_laidOut; }

    int GetCurSel() const;
    // The selected entry's text; empty without a selection.
    std::wstring GetSelectedText() const;
    int GetCount() const;
    int GetTopIndex() const;
    HWND ListBox() const { return m_listBox.GetSafeHwnd(); }
    HWND ScrollBar() const { return m_scrollBar.GetSafeHwnd(); }
    int LostFocusCount() const { return m_lostFocus; }

private:
    // The list box, taken over for its keys, its button release and its focus losses.
    class CChoiceBox : public CWnd
    {
    public:
        explicit CChoiceBox(CXComboList& owner) : m_owner(owner) {}
        ~CChoiceBox() override;

    private:
        LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
        LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
        LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
        LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);

        CXComboList& m_owner;

        HV_DECLARE_MSG_MAP()
    };

    void Tell(UINT message) const;
    // Moves the choice and the scroll position for a navigation key; false for another key.
    bool MoveForKey(UINT key);
    void SetPosition(int position);
    int VisibleRows() const;

    LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnDestroy();

    HWND m_listControl;
    CChoiceBox m_listBox;
    CWnd m_scrollBar;
    int m_lostFocus = 0;
    bool m_laidOut = false;

    HV_DECLARE_MSG_MAP()
};
