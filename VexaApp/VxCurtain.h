// A still picture of the main window held over it while the window paints a change (a page
// switch): the screen shows the window as it was, then as it is, and never a window half painted.
//
// Why a window of its own: what a window paints reaches the screen at the end of every single paint
// once its thread has been busy for a moment, so a page painted item by item would show first the
// bare background, then the items one after another. The picture is a top-level window of its own,
// owned by the main window (so above it), its colour key and shape the main window's; it takes no
// input (disabled, transparent to the pointer) and no activation.
#pragma once

#include <windows.h>

class CVxCurtain
{
public:
    CVxCurtain() = default;
    ~CVxCurtain();
    CVxCurtain(const CVxCurtain&) = delete;
    CVxCurtain& operator=(const CVxCurtain&) = delete;

    // Takes the picture the window shows now (it must still be painted as the screen shows it).
    void Take(HWND window, COLORREF transparentColour);
    // Puts the picture over the window and has the screen show it; nothing without a picture.
    void Raise();
    // Has the screen show what the window painted meanwhile, then takes the picture away.
    void Lower();
    // The picture's window, null while none was made.
    HWND Window() const { return m_curtain; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool MakeWindow();
    void DropPicture();

    HWND m_window = nullptr;   // the main window: borrowed
    HWND m_curtain = nullptr;  // owned by m_window, so it goes with it at the latest
    HBITMAP m_picture = nullptr;
    COLORREF m_colourKey = CLR_INVALID;
    RECT m_rect{};
    bool m_raised = false;
};

// Has the screen show what the thread's windows painted: the window system shows it when the thread
// waits, here with nothing to wait for.
void ShowPaintedNow();
