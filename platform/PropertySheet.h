// CPropertySheet and CPropertyPage: the system's property sheet (comctl32) with a C++ object on the
// sheet and on every page.
//
// The sheet owns its pages. It is always made modeless by the system (PSH_MODELESS); DoModal runs
// the layer's own loop over it until the user closes it and answers IDOK or IDCANCEL, so a program
// and a test drive the very same sheet: a test calls Create, sends PSM_SETCURSEL and
// PSM_PRESSBUTTON, sees IsEnded and calls Close.
//
// A page's window is created the first time it is activated; the page object is attached to it
// before its first message (WM_CREATE, then WM_INITDIALOG and OnInitDialog). The sheet's
// notifications reach the page as virtual calls:
//   PSN_SETACTIVE  -> OnSetActive   each time the page comes to the front (after OnInitDialog the
//                                   first time). FALSE refuses: the sheet goes back to the page that
//                                   was current before (the refusing page is never left through
//                                   OnKillActive). Refused as the first page of all, the sheet goes
//                                   on to the next page.
//   PSN_KILLACTIVE -> OnKillActive  another page is chosen, or OK was pressed; FALSE keeps the page.
//   PSN_APPLY      -> OnApply       OK or Apply, to every created page; the default calls OnOK.
//   PSN_RESET      -> OnReset       Cancel or the close box, to every created page (the current
//                                   one gets no OnKillActive then); the default calls OnCancel.
//   PSN_QUERYCANCEL-> OnQueryCancel FALSE keeps the sheet open.
// The system may send PSN_RESET twice for one close box; OnReset must bear that.
//
// A page reaches its sheet through its parent window (GetParentSheet).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Dialog.h"

class CPropertySheet;

class CPropertyPage : public CDialog
{
public:
    // A page from dialog template templateId of the resource module. caption replaces the
    // template's caption as the tab's text when given.
    explicit CPropertyPage(UINT templateId, const wchar_t* caption = nullptr);
    ~CPropertyPage() override;

    // The sheet whose child this page is, or null when it has no window or another parent.
    CPropertySheet* GetParentSheet() const;
    // Whether the page accepted its last activation and has not been left since.
    bool IsActive() const noexcept { return m_active; }
    // PSM_CHANGED / PSM_UNCHANGED: enables or disables the sheet's Apply button for this page.
    void SetModified(bool changed = true);

    // The page record the sheet is built from (the layer fills it).
    const PROPSHEETPAGEW& GetPageRecord() const noexcept { return m_psp; }

    // Pages leave the dialog keys to their sheet, which knows the tabs and its own buttons.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    virtual BOOL OnSetActive() { return TRUE; }
    virtual BOOL OnKillActive() { return TRUE; }
    virtual BOOL OnApply()
    {
        OnOK();
        return TRUE;
    }
    virtual void OnReset() { OnCancel(); }
    virtual BOOL OnQueryCancel() { return TRUE; }
    // A page never ends a dialog: these only carry the OK and Cancel of the whole sheet.
    void OnOK() override {}
    void OnCancel() override {}

    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    friend class CPropertySheet;
    LRESULT HandlePageInit(WPARAM wParam, LPARAM lParam);
    LRESULT HandleSheetNotify(const PSHNOTIFY& notify);
    void EndCreation();
    static UINT CALLBACK PageCallback(HWND hwnd, UINT message, PROPSHEETPAGEW* psp);
    static INT_PTR CALLBACK PageDlgProc(HWND, UINT, WPARAM, LPARAM);

    PROPSHEETPAGEW m_psp = {};
    std::wstring m_caption;
    bool m_creating = false;  // a creation hook of this page is open
    bool m_active = false;

    HV_DECLARE_MSG_MAP()
};

class CPropertySheet : public CWnd
{
public:
    explicit CPropertySheet(const wchar_t* caption, CWnd* parent = nullptr);
    // Destroys a window still open; the pages go after it.
    ~CPropertySheet() override;

    // Adds a page; the sheet owns it. Pages are added before the sheet's window exists.
    CPropertyPage& AddPage(std::unique_ptr<CPropertyPage> page);
    int GetPageCount() const noexcept { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    int GetPageIndex(const CPropertyPage* page) const;

    // ---- Running ----
    // Runs the sheet until the user closes it: IDOK or IDCANCEL, -1 when it could not be made. The
    // owner (the parent's top-level window) is disabled meanwhile; the window is gone afterwards.
    INT_PTR DoModal();
    // Makes the sheet's window and shows it; the caller pumps messages and ends it with Close.
    bool Create(HWND parent = nullptr);
    // The user closed the sheet (OK, Cancel or the close box); its window still exists.
    bool IsEnded() const;
    // How it was closed: IDOK after OK, IDCANCEL otherwise.
    INT_PTR GetResult() const noexcept { return m_result; }
    // Destroys the window (every created page gets WM_DESTROY) and returns GetResult.
    INT_PTR Close();

    // ---- The running sheet ----
    // The page in front (PSM_GETCURRENTPAGEHWND), or null once ended.
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    // PSM_SETCURSEL: the current page is asked to leave first.
    bool SetActivePage(int index);
    // PSM_PRESSBUTTON with a PSBTN_* code.
    void PressButton(int button);
    HWND GetTabControl() const;

    // The dialog keys of the whole sheet (PSM_ISDIALOGMESSAGE): tabs, Ctrl+Tab, its buttons.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // The sheet's window and controls exist and no page has been shown. The default runs the
    // system's initialisation, which activates the first page; an override adds its own work
    // before or after calling it.
    virtual BOOL OnInitDialog();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class CPropertyPage;
    bool CreateSheet(HWND parent);
    void RunModalLoop();
    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    // A page refused activation: brings back the page current before it (see CPropertyPage).
    LRESULT PageRefused(CPropertyPage* page);

    std::wstring m_caption;
    CWnd* m_parent = nullptr;
    std::vector<std::unique_ptr<CPropertyPage>> m_pages;
    int m_lastAccepted = -1;  // the page that accepted the last activation
    INT_PTR m_result = IDCANCEL;

    HV_DECLARE_MSG_MAP()
};
