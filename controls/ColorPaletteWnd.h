// The windows of the colour palette. CFODropColorPaletteWnd (window class "CFODropColorPaletteWnd")
// hosts a CFODropColorPaletteControl, gives it the mouse and the keys, and passes its messages on to
// the palette's host (the colour button): WM_COLORPALETTE_SELECT and WM_COLORPALETTE_CANCEL sent,
// WM_COLORPALETTE_CUSTOM posted. CFOPopupColorPaletteWnd is the drop-down form: a popup placed
// under (or above) its anchor, which chooses the current colour when it loses activation.
//
// In popup mode a palette reports one final message (a choice, a cancel or the custom button) and
// hides itself; it reports nothing after that. A popup palette is a heap object that deletes itself
// once its window is gone (PostNcDestroy). The host never deletes it: it asks it to go with Dismiss,
// which destroys the window at once, or, when the host is answering a message the palette is
// sending, as soon as the palette is back in its own message loop. User-interface thread only.
#pragma once

#include <windows.h>

#include <memory>

#include "controls/ColorPaletteControl.h"
#include "platform/Wnd.h"

class CFODropColorPaletteWnd : public CWnd, protected IPaletteNotify
{
public:
    static constexpr wchar_t kClassName[] = L"CFODropColorPaletteWnd";

    CFODropColorPaletteWnd();
    ~CFODropColorPaletteWnd() override;

    // The palette window: style as given (WS_POPUP makes it a popup palette), at rect of
    // parentOrOwner, serving host, showing colour.
    bool CreatePalette(DWORD exStyle, DWORD style, const RECT& rect, HWND parentOrOwner, HWND host, COLORREF colour);
    // Asks the window to go (see the header comment); the object may be gone when this returns.
    void Dismiss();

    CFODropColorPaletteControl* Control() const { return m_control.get(); }
    HWND Host() const { return m_host; }
    // A final message was reported (popup mode): nothing more will be.
    bool IsFinished() const { return m_finished; }

protected:
    // Where the control's messages leave for the host.
    void PaletteNotify(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnOtherButtonDown(UINT flags, CPoint point);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnCancelMode(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    void OnClose();

    std::unique_ptr<CFODropColorPaletteControl> m_control;
    HWND m_host = nullptr;   // borrowed
    bool m_finished = false;
    int m_reporting = 0;     // depth of messages being sent to the host now

    HV_DECLARE_MSG_MAP()
};

class CFOPopupColorPaletteWnd : public CFODropColorPaletteWnd
{
public:
    // Style bit 1 of style: placed under the anchor (a screen rectangle).
    static constexpr DWORD kDropBelow = 0x1;

    // A new palette of width x height at anchor, serving host and showing colour, created and
    // focused; it deletes itself when its window goes. Null when the window cannot be made.
    static CFOPopupColorPaletteWnd* Open(DWORD style, const RECT& anchor, HWND host, COLORREF colour, int width,
                                         int height);

    // Places and creates the window (see Open).
    virtual bool Create(DWORD style, const RECT& anchor, HWND host, COLORREF colour, int width, int height);

    // Where a palette of width x height goes for anchor inside workArea: under the anchor's left
    // edge, above the anchor when it would pass the bottom, right-aligned with the anchor when it
    // would pass the right edge.
    static CRect Place(const RECT& anchor, int width, int height, const RECT& workArea);

protected:
    CFOPopupColorPaletteWnd() = default;
    void PostNcDestroy() override;

private:
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);

    bool m_ownsItself = false;

    HV_DECLARE_MSG_MAP()
};
