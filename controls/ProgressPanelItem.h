// The progress panel (PROGRESSPANELITEM): the text layout and colours of the progress window, and
// the thread that shows that window. The item has no window of its own; it keeps the rectangle,
// the style and the parent the window is to be made with.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Thread.h"
#include "skin/GUIItem.h"

// A thread with its own message loop that shows a progress window: setUp makes the window on the
// thread, the loop runs until WM_QUIT. The object must outlive the thread.
class CProgressWindowThread
{
public:
    CProgressWindowThread();
    virtual ~CProgressWindowThread();
    CProgressWindowThread(const CProgressWindowThread&) = delete;
    CProgressWindowThread& operator=(const CProgressWindowThread&) = delete;

    // Starts the thread and waits until its message queue exists, so that a WM_QUIT posted at once
    // reaches it. False when it could not start.
    bool Start(std::function<void()> setUp);
    DWORD ThreadId() const { return m_threadId; }
    bool IsRunning() const { return m_thread.IsRunning(); }
    // Waits up to ms for the thread to end, serving what other threads send meanwhile.
    bool Join(DWORD ms) { return m_thread.JoinDispatchingSent(ms); }
    // The wParam of the WM_QUIT that ended the loop; -1 while it runs or when it never ran.
    int64_t QuitCode() const { return m_quitCode; }

private:
    unsigned Run();

    CThread m_thread;
    std::function<void()> m_setUp;
    CKernelHandle m_ready;
    DWORD m_threadId = 0;
    volatile int64_t m_quitCode = -1;
};

class CProgressPanelItem : public CGUIItem
{
public:
    // The wParam of the WM_QUIT that ends the progress thread.
    static constexpr WPARAM kQuitCode = 69;
    // How long the destructor waits for the progress thread by default.
    static constexpr DWORD kDefaultEndWaitMs = 5000;

    // One text area of the progress window (TEXTINFO).
    struct TextRecord
    {
        std::wstring name;
        std::wstring textKey;
        CRect rect;
        int32_t fontId = -1;
        COLORREF color = RGB(255, 255, 255);
        COLORREF backColor = 0;
    };

    CProgressPanelItem();
    // Ends the progress thread (WM_QUIT) and waits for it, at most EndWait milliseconds: a thread
    // that does not end is left running with its object, which is then never freed under it.
    ~CProgressPanelItem() override;

    void SetTextInfos(const std::vector<TextRecord>& records) { m_texts = records; }
    // Copies the layout's text records after those held.
    void AddTextInfos(const std::vector<TextRecord>& records);
    const std::vector<TextRecord>& TextInfos() const { return m_texts; }

    // Where the window goes: rectangle, style and parent (borrowed).
    void SetWindowPlace(const RECT& rect, DWORD style, HWND parent);
    const CRect& Rect() const { return m_rect; }
    DWORD Style() const { return m_style; }
    HWND Parent() const { return m_parent; }

    // Appearance, as the layout gives it.
    void SetFontColor(COLORREF c) { m_text = c; }
    void SetFontColorHi(COLORREF c) { m_textHi = c; }
    void SetBackColor(COLORREF c) { m_back = c; }
    void SetBackColorHi(COLORREF c) { m_backHi = c; }
    void SetBorderColor(COLORREF c) { m_border = c; }
    void SetBorderWidth(int width) { m_borderWidth = width < 0 ? 0 : width; }
    void SetFill(COLORREF fillColor, COLORREF backColor, const RECT& rect);
    COLORREF FontColor() const { return m_text; }
    COLORREF FontColorHi() const { return m_textHi; }
    COLORREF BackColor() const { return m_back; }
    COLORREF BackColorHi() const { return m_backHi; }
    COLORREF BorderColor() const { return m_border; }
    int BorderWidth() const { return m_borderWidth; }
    COLORREF FillColor() const { return m_fillColor; }
    COLORREF FillBackColor() const { return m_fillBack; }
    const CRect& FillRect() const { return m_fillRect; }

    // The thread that shows the window; the item owns it from now on.
    void SetThread(std::unique_ptr<CProgressWindowThread> thread) { m_thread = std::move(thread); }
    CProgressWindowThread* Thread() const { return m_thread.get(); }
    void SetEndWait(DWORD ms) { m_endWaitMs = ms; }

private:
    std::vector<TextRecord> m_texts;
    CRect m_rect;
    DWORD m_style = WS_CHILD | WS_VISIBLE;
    HWND m_parent = nullptr;
    COLORREF m_text = RGB(255, 255, 255);
    COLORREF m_textHi = RGB(255, 255, 255);
    COLORREF m_back = RGB(255, 255, 255);
    COLORREF m_backHi = RGB(255, 255, 255);
    COLORREF m_border = RGB(255, 255, 255);
    int m_borderWidth = 1;
    COLORREF m_fillColor = RGB(255, 255, 255);
    COLORREF m_fillBack = 0;
    CRect m_fillRect;
    std::unique_ptr<CProgressWindowThread> m_thread;
    DWORD m_endWaitMs = kDefaultEndWaitMs;
};
