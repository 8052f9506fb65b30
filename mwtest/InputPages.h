// The pages about the device's input: the device mode, with a monitor of the raw keyboard and
// mouse input while it is shown, and the keyboard redirector, whose redirected keys type into the
// page's edit.
#pragma once

#include "mwtest/EventSink.h"
#include "mwtest/MwPage.h"

// "Mode": normal, default or driver mode. While the page is in front it takes the raw input of the
// keyboard (so the keyboard makes no ordinary key messages) and the mouse, and shows the last key
// and button report; the registrations go whenever the page is left or the sheet ends.
class CModePage : public CHvMwPage
{
public:
    CModePage();
    ~CModePage() override;

protected:
    BOOL OnSetActive() override;
    void LetGo() override;
    void OnModeClicked(UINT id);
    LRESULT OnInput(WPARAM wParam, LPARAM lParam);

private:
    bool m_registered = false;
    HV_DECLARE_MSG_MAP()
};

class CKeyboardRedirectorPage;

// Posts each redirected key message to the page's edit, as the keyboard would have sent it.
class CKeyboardRedirectorSink : public CHeapSink<_IKeyboardRedirectorEvents, CKeyboardRedirectorPage>
{
public:
    using CHeapSink::CHeapSink;
    HRESULT STDMETHODCALLTYPE OnKeyMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// "Keyboard Redirector": Enable turns the redirector on and listens to it until Disable, until the
// page is left or the sheet ends; Disable turns it off whoever turned it on.
class CKeyboardRedirectorPage : public CHvMwPage
{
public:
    CKeyboardRedirectorPage();
    // The edit the redirected keys go to.
    HWND TypingTarget() const;

protected:
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    // Ends the page's own use of the redirector: unadvises, turns it off, lets it go.
    void LetGo() override;
    void OnEnable();
    void OnDisable();

private:
    void ShowEnabled(bool enabled);

    CComPtr<IKeyboardRedirector> m_redirector;
    CSinkConnection<CKeyboardRedirectorSink> m_connection;
    HV_DECLARE_MSG_MAP()
};
