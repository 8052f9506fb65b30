// CWnd: the C++ object of one window.
//
// The object is attached to its window before the window's first message (WM_NCCREATE, so
// WM_CREATE and, for dialogs, WM_INITDIALOG reach it) and detached after WM_NCDESTROY, when
// PostNcDestroy runs (a heap-allocated window may delete itself there). Messages go through the
// class's message map (MessageMap.h); what the map does not handle goes to default processing: the
// window procedure that was in place before the object took the window over, or DefWindowProcW.
//
// Window objects are not copyable. Destroy a window the object created before the object dies
// (DestroyWindow, or a PostNcDestroy that deletes the object): by the time ~CWnd runs the derived
// class is gone, so its handlers (OnDestroy and the rest) can no longer run. ~CWnd still destroys
// a window left alive, so that no window outlives its object, and reports it as a mistake with
// OutputDebugString. A window the object only subclassed is handed back to its previous window
// procedure.
#pragma once

#include <windows.h>
#include <string>
#include "platform/Geometry.h"
#include "platform/Handles.h"
#include "platform/MessageMap.h"

class CRgn;

class CWnd
{
public:
    CWnd() noexcept = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The attached window, or null. Public for the convenience of handlers, as is the custom.
    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const noexcept { return m_hWnd; }
    operator HWND() const noexcept { return m_hWnd; }

    // The object attached to hwnd, or null when the window has none.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // ---- Creation, attachment, subclassing ----
    // Creates the window with this object attached from its first message on. className may be a
    // standard control class, which is then subclassed. idOrMenu is the control id of a child.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                  const RECT& rect, HWND parent, UINT_PTR idOrMenu, void* param = nullptr);
    bool Create(const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect,
                CWnd* parent, UINT id);
    virtual BOOL DestroyWindow();

    // Takes over an existing window of this thread: attaches the object, routes the window's
    // messages through it, then calls PreSubclassWindow. False when hwnd already has an object.
    // Where the layer's procedure already sits in the window's chain (a window of one of our
    // classes, or one an earlier object let go while others had subclassed it on top), the object
    // takes the window over there, below the other subclassers.
    bool SubclassWindow(HWND hwnd);
    // The same for the control id of a child of parent.
    bool SubclassDlgItem(UINT id, HWND parent);
    // Gives the window back to its previous window procedure and detaches; returns the window.
    HWND UnsubclassWindow();

    // Keeps the thread's creation hook (the one that attaches objects before their windows' first
    // messages) installed while it lives, so that the windows created in a batch, a layout's items,
    // share one hook instead of each setting and removing its own: under Wine that is two round
    // trips to the window server per window. The hook lets every other event through. Scopes nest;
    // user-interface thread only (the hook is the thread's).
    class CCreationBatch
    {
    public:
        CCreationBatch();
        ~CCreationBatch();
        CCreationBatch(const CCreationBatch&) = delete;
        CCreationBatch& operator=(const CCreationBatch&) = delete;
    };

    // Whether the window's own message map paints it (WM_PAINT); such a window also prints.
    bool PaintsItself() const;
    // Whether windows may be made inside this one: the one-picture paint asks a window that may
    // for its children (a round trip to the window server each), and skips one that never holds any.
    virtual bool HostsWindows() const { return true; }
    // Whether the window only holds others and shows nothing of its own (CGroupWnd): the
    // one-picture paint prints its children and nothing of it.
    virtual bool PassesThrough() const { return false; }

    // ---- Messages ----
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Lets the window see a message before it is dispatched; true when the message was handled and
    // must not be dispatched. The default handles nothing.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Calls PreTranslateMessage of every object from msg's window up through its parents, stopping
    // after stop (or after the top-level window); true as soon as one handles the message.
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

    // ---- Thin wrappers of user32 calls on this window ----
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    BOOL ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
    BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    // InvalidateRect. The system marks nothing in a window that is not visible (its update region
    // is made whole when it is shown), so such a window is not asked: a page filled while hidden
    // would ask once per change, each a round trip to the window server under Wine.
    void Invalidate(BOOL erase = TRUE) const { InvalidateRect(nullptr, erase); }
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE) const
    {
        if (!m_hWnd || ::IsWindowVisible(m_hWnd))
            ::InvalidateRect(m_hWnd, rect, erase);
    }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    void RedrawWindow(const RECT* rect = nullptr, HRGN rgn = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) const
    {
        ::RedrawWindow(m_hWnd, rect, rgn, flags);
    }
    CRect GetClientRect() const;
    CRect GetWindowRect() const;
    void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
    void ScreenToClient(POINT* p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(RECT* r) const;
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) const
    {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    BOOL MoveWindow(const RECT& r, BOOL repaint = TRUE) const
    {
        return MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const
    {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    void SetWindowText(const wchar_t* text) const { ::SetWindowTextW(m_hWnd, text); }
    std::wstring GetWindowText() const;
    void SetDlgItemText(int id, const wchar_t* text) const { ::SetDlgItemTextW(m_hWnd, id, text); }
    std::wstring GetDlgItemText(int id) const;
    void SetFont(HFONT font, BOOL redraw = TRUE) const;
    HFONT GetFont() const;
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) const { return ::SetTimer(m_hWnd, id, ms, nullptr); }
    BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    // Removes, then adds style bits; with swpFlags, also lets the frame see the change.
    bool ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) const;
    bool ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0) const;
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    // Makes rgn the window region. The system owns the region afterwards: on success rgn is emptied.
    bool SetWindowRgn(CRgn& rgn, BOOL redraw = TRUE);
    // The same for a region held by handle: on success the window owns it (region is emptied).
    bool SetWindowRgn(CRgnHandle& region, BOOL redraw = TRUE);
    // Whether a region set through this object shapes the window.
    bool IsShaped() const { return m_shaped; }

protected:
    // Entry of every message of the window: the map first, then default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of a message: the previous window procedure, or DefWindowProcW.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message this window is handling now (for handlers that add to it);
    // 0 when the message being handled is not this window's own.
    LRESULT Default();

    // Dispatches through the map; false when nothing handled the message. A control's notification
    // about itself (WM_CTLCOLOR*, WM_DRAWITEM and the rest, MessageMap.h) is reflected to the
    // control before the map is searched.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // WM_COMMAND: reflection to the control that sent it (one of this window's children), then the
    // map's command entries. TRUE when handled. An override sees every command before the control
    // does; calling the base lets the control and the map have it.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // WM_NOTIFY: the same order as OnCommand, with the map's notify entries.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A notification this window sent to its parent, reflected back by the parent before the
    // parent's map saw it (message is the parent's message). TRUE when handled: the parent's map then
    // does not see it and *result is returned to the sender. The default looks up the map's reflect
    // entries.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The notifications other than WM_COMMAND and WM_NOTIFY that a control sends its parent about
    // itself (reflected to the control first).
    static bool IsReflectedMessage(UINT message);
    // Offers a notification to the object of child; false when it has none or does not handle it.
    bool ReflectToChild(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // The window is attached but has not yet seen any message (or is being subclassed). An
    // exception thrown here while the object creates its window cancels the creation.
    virtual void PreSubclassWindow() {}
    // The window is gone and the object detached; the last call the object gets from its window.
    virtual void PostNcDestroy() {}

    // Attaches this object to the next window the thread creates, whatever API creates it
    // (dialogs, property sheets). Every call is paired with EndCreationHook.
    static void BeginCreationHook(CWnd* wnd);
    // Ends the pairing; false when no window was attached since BeginCreationHook.
    static bool EndCreationHook(CWnd* wnd);

    static LRESULT CALLBACK StdWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    static const CMessageMap* GetThisMessageMap();
    virtual const CMessageMap* GetMessageMap() const;

private:
    bool AttachAndHook(HWND hwnd);  // map entry plus window procedure
    void DetachAfterNcDestroy();
    static LRESULT CALLBACK CbtHookProc(int code, WPARAM wParam, LPARAM lParam);
    static HWND ReflectionTarget(HWND self, UINT message, WPARAM wParam, LPARAM lParam);
    bool RunThunk(const MsgMapEntry& entry, UINT message, WPARAM wParam, LPARAM lParam, UINT id, UINT code,
                  LRESULT* result);
    // SetWindowRgn for both region holders: notes whether the window is shaped.
    bool ApplyWindowRgn(HRGN region, BOOL redraw);
    // WM_PRINTCLIENT for a window whose map paints: its erase and paint handlers draw into dc.
    bool PrintClient(HDC dc, DWORD flags, LRESULT* result);

    WNDPROC m_prevProc = nullptr;  // null: DefWindowProcW
    bool m_createdHere = false;    // created by CreateEx (destroyed with the object), else subclassed
    bool m_shaped = false;         // a window region was set through SetWindowRgn
};
