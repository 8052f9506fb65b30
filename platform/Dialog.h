// CDialog: a dialog window made from a template (a resource of the program, or one in memory).
//
// Modal: DoModal disables the owner (ModalOwner), runs the layer's own modal loop until EndDialog,
// re-enables the owner and destroys the window; it returns the EndDialog result (-1 when the dialog
// could not be created). Loops nest: a modal dialog opened from a handler of another one runs its
// own loop and returns to the caller's. Every message of the loop first goes through the
// PreTranslateMessage chain from its window up to the dialog; CDialog::PreTranslateMessage applies
// the dialog keys (IsDialogMessage: Tab, arrows, Enter as OK, Escape as Cancel).
//
// Modeless: Create makes the window and returns; the caller (or the dialog itself, in
// PostNcDestroy) decides when it goes. EndDialog on a modeless dialog only hides it.
//
// WM_INITDIALOG runs OnInitDialog; IDOK and IDCANCEL commands run OnOK and OnCancel, which end the
// dialog; WM_CLOSE acts as a click on Cancel (nothing when the dialog's Cancel button is disabled).
#pragma once

#include <memory>
#include "platform/Wnd.h"

class CDialogTemplate;

class CDialog : public CWnd
{
public:
    // A dialog from template resource templateId of the resource module.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) noexcept;
    // A dialog from a template in memory that the caller keeps (a resource, a static template):
    // the pointer is stored, so the template must stay where it is while the dialog may be created.
    explicit CDialog(const DLGTEMPLATE* dialogTemplate, CWnd* parent = nullptr) noexcept;
    // A dialog from a template built in memory; the dialog keeps its own copy of it.
    explicit CDialog(const CDialogTemplate& dialogTemplate, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    // Creates the dialog modeless with the constructor's template and parent.
    bool Create();
    bool Create(UINT templateId, CWnd* parent = nullptr);
    bool CreateIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent = nullptr);
    bool CreateIndirect(const CDialogTemplate& dialogTemplate, CWnd* parent = nullptr);

    // Ends a modal dialog with result (DoModal returns it); hides a modeless one.
    void EndDialog(int result);
    bool IsModal() const noexcept { return m_modal; }
    UINT GetTemplateId() const noexcept { return m_templateId; }

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // The dialog's controls exist. TRUE lets the system put the focus on the first control.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // The owner a modal dialog disables: the parent's top-level window; without a parent, the last
    // active popup of the main window (of the active window when there is no main window), so that
    // a dialog opened while another modal dialog runs disables that dialog.
    HWND ModalOwner() const;

private:
    bool CreateFromTemplate(const DLGTEMPLATE* dialogTemplate, HWND parent);
    const DLGTEMPLATE* LoadTemplate() const;
    void RunModalLoop();
    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    LRESULT HandleClose(WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DlgProc(HWND, UINT, WPARAM, LPARAM);

    UINT m_templateId = 0;
    const DLGTEMPLATE* m_template = nullptr;
    std::unique_ptr<CDialogTemplate> m_ownTemplate;  // the copy m_template points into, if any
    CWnd* m_parent = nullptr;
    bool m_modal = false;
    bool m_endModal = false;
    INT_PTR m_result = -1;

    HV_DECLARE_MSG_MAP()
};
