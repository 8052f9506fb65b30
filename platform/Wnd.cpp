#include "platform/Wnd.h"

#include <unordered_map>
#include <vector>
#include "platform/Dc.h"
#include "platform/GdiObject.h"
#include "platform/Lock.h"
#include "platform/WinApp.h"

namespace {

// What the layer knows of a window. wnd is null for a window whose object let go of it while
// another subclasser sat on top of StdWndProc: its messages then go on to orphanProc.
struct HandleEntry
{
    CWnd* wnd;
    WNDPROC orphanProc;
};

// The process-wide map from window to object. Windows are used from their own thread, but lookups
// from another thread (FromHandlePermanent on a foreign window) must not see a torn map.
class HandleMap
{
public:
    static HandleMap& Instance()
    {
        static HandleMap map;
        return map;
    }
    CWnd* Find(HWND hwnd)
    {
        CScopedLock<CCriticalSection> lock(m_lock);
        auto it = m_map.find(hwnd);
        return it == m_map.end() ? nullptr : it->second.wnd;
    }
    WNDPROC OrphanProc(HWND hwnd)
    {
        CScopedLock<CCriticalSection> lock(m_lock);
        auto it = m_map.find(hwnd);
        return it == m_map.end() ? nullptr : it->second.orphanProc;
    }
    // False when hwnd already has an object.
    bool Add(HWND hwnd, CWnd* wnd)
    {
        CScopedLock<CCriticalSection> lock(m_lock);
        auto it = m_map.find(hwnd);
        if (it != m_map.end() && it->second.wnd)
            return false;
        m_map[hwnd] = HandleEntry{wnd, nullptr};
        return true;
    }
    void Orphan(HWND hwnd, WNDPROC proc)
    {
        CScopedLock<CCriticalSection> lock(m_lock);
        m_map[hwnd] = HandleEntry{nullptr, proc};
    }
    void Remove(HWND hwnd)
    {
        CScopedLock<CCriticalSection> lock(m_lock);
        m_map.erase(hwnd);
    }

private:
    CCriticalSection m_lock;
    std::unordered_map<HWND, HandleEntry> m_map;
};

// The creation hook of this thread: the objects waiting for their window, innermost last.
struct CreationHook
{
    HHOOK hook = nullptr;
    std::vector<CWnd*> pending;  // an entry is set to null once its window is attached
    int batches = 0;             // CCreationBatch scopes: the hook stays while one lives
};
thread_local CreationHook t_creation;

// The message StdWndProc is handling on this thread, for Default(). Kept outside the window
// objects: a handler may destroy its window and the object with it, and nothing may be written
// to the object after that.
struct CurrentMsg
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
thread_local CurrentMsg t_current = {nullptr, 0, 0, 0};

void ReportException(const wchar_t* where)
{
    std::wstring text = L"--- exception in ";
    text += where;
    text += L" ---\n";
    ::OutputDebugStringW(text.c_str());
}

// Windows the system creates on the side while a window is created; never ours.
bool IsSystemHelperWindow(HWND hwnd)
{
    wchar_t name[32] = {};
    ::GetClassNameW(hwnd, name, 32);
    return ::lstrcmpiW(name, L"IME") == 0 || ::lstrcmpiW(name, L"MSCTFIME UI") == 0;
}

} // namespace

bool CWnd::IsReflectedMessage(UINT message)
{
    switch (message) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return true;
    default:
        return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
    }
}

CWnd::~CWnd()
{
    if (!m_hWnd)
        return;
    if (m_createdHere) {
        // Too late for the derived class: its handlers (OnDestroy among them) no longer run.
        if (::IsWindow(m_hWnd))
            ::OutputDebugStringW(L"--- window object deleted before its window: destroy the window first ---\n");
        ::DestroyWindow(m_hWnd);  // detaches through WM_NCDESTROY
    } else {
        UnsubclassWindow();
    }
    if (m_hWnd) {  // the window belongs to another thread and outlived DestroyWindow
        HandleMap::Instance().Remove(m_hWnd);
        m_hWnd = nullptr;
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    return hwnd ? HandleMap::Instance().Find(hwnd) : nullptr;
}

// ---- Creation and attachment ------------------------------------------------------------------

void CWnd::BeginCreationHook(CWnd* wnd)
{
    if (!t_creation.hook)
        t_creation.hook = ::SetWindowsHookExW(WH_CBT, CbtHookProc, nullptr, ::GetCurrentThreadId());
    t_creation.pending.push_back(wnd);
}

bool CWnd::EndCreationHook(CWnd* wnd)
{
    bool attached = true;
    if (!t_creation.pending.empty()) {
        attached = t_creation.pending.back() == nullptr;
        (void)wnd;  // the innermost pending entry is wnd's (calls are strictly paired)
        t_creation.pending.pop_back();
    }
    if (t_creation.pending.empty() && t_creation.batches == 0 && t_creation.hook) {
        ::UnhookWindowsHookEx(t_creation.hook);
        t_creation.hook = nullptr;
    }
    return attached;
}

CWnd::CCreationBatch::CCreationBatch()
{
    ++t_creation.batches;
}

CWnd::CCreationBatch::~CCreationBatch()
{
    // The hook is set by the first creation of the batch, if any, and goes with the last scope.
    if (--t_creation.batches == 0 && t_creation.pending.empty() && t_creation.hook) {
        ::UnhookWindowsHookEx(t_creation.hook);
        t_creation.hook = nullptr;
    }
}

LRESULT CALLBACK CWnd::CbtHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && !t_creation.pending.empty() && t_creation.pending.back()) {
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        if (!IsSystemHelperWindow(hwnd)) {
            CWnd* wnd = t_creation.pending.back();
            t_creation.pending.back() = nullptr;
            if (wnd->AttachAndHook(hwnd)) {
                wnd->m_createdHere = true;
                try {
                    wnd->PreSubclassWindow();
                } catch (...) {
                    // The object could not get ready for its window: the window is not made.
                    ReportException(L"PreSubclassWindow");
                    HandleMap::Instance().Remove(hwnd);
                    wnd->m_hWnd = nullptr;
                    wnd->m_prevProc = nullptr;
                    wnd->m_createdHere = false;
                    return 1;
                }
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CWnd::AttachAndHook(HWND hwnd)
{
    if (m_hWnd || !hwnd || !HandleMap::Instance().Add(hwnd, this))
        return false;
    m_hWnd = hwnd;
    if (reinterpret_cast<WNDPROC>(::GetClassLongPtrW(hwnd, GCLP_WNDPROC)) == &CWnd::StdWndProc) {
        // A window of one of our own classes: StdWndProc is already at the bottom of its chain,
        // maybe under other subclassers. Putting it on top as well would make StdWndProc's default
        // processing run the chain into StdWndProc again, endlessly.
        m_prevProc = nullptr;
        return true;
    }
    WNDPROC old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc)));
    // A window of one of our own classes already runs StdWndProc: its default is DefWindowProcW,
    // unless an earlier object left an orphaned procedure behind.
    m_prevProc = old == &CWnd::StdWndProc ? nullptr : old;
    return true;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                    const RECT& rect, HWND parent, UINT_PTR idOrMenu, void* param)
{
    if (m_hWnd)
        return false;
    BeginCreationHook(this);
    HWND hwnd = ::CreateWindowExW(exStyle, className, text, style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(idOrMenu),
                                  CWinApp::ResourceInstance(), param);
    EndCreationHook(this);
    return hwnd != nullptr && m_hWnd == hwnd;
}

bool CWnd::Create(const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id)
{
    return CreateEx(0, className, text, style | WS_CHILD, rect, parent ? parent->m_hWnd : nullptr, id);
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

bool CWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || m_hWnd)
        return false;
    if (WNDPROC orphan = HandleMap::Instance().OrphanProc(hwnd)) {
        // StdWndProc still sits in the window's chain, below a later subclasser: adopt the window
        // there rather than putting StdWndProc on top again, which would make the chain a loop.
        if (!HandleMap::Instance().Add(hwnd, this))
            return false;
        m_hWnd = hwnd;
        m_prevProc = orphan;
    } else if (!AttachAndHook(hwnd)) {
        return false;
    }
    m_createdHere = false;
    PreSubclassWindow();
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, HWND parent)
{
    return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hwnd = m_hWnd;
    if (!hwnd)
        return nullptr;
    WNDPROC current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (current == &CWnd::StdWndProc && m_prevProc) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_prevProc));
        HandleMap::Instance().Remove(hwnd);
    } else if (m_prevProc) {
        // Someone subclassed the window after us and still calls StdWndProc: keep forwarding.
        HandleMap::Instance().Orphan(hwnd, m_prevProc);
    } else {
        HandleMap::Instance().Remove(hwnd);
    }
    m_hWnd = nullptr;
    m_prevProc = nullptr;
    m_createdHere = false;
    return hwnd;
}

void CWnd::DetachAfterNcDestroy()
{
    HWND hwnd = m_hWnd;
    if (m_prevProc && reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == &CWnd::StdWndProc)
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_prevProc));
    HandleMap::Instance().Remove(hwnd);
    m_hWnd = nullptr;
    m_prevProc = nullptr;
    m_createdHere = false;
    // The program ends with its main window.
    CWinApp* app = CWinApp::Get();
    if (app && app->GetMainWnd() == this) {
        app->SetMainWnd(nullptr);
        ::PostQuitMessage(0);
    }
    try {
        PostNcDestroy();
    } catch (...) {
        ReportException(L"PostNcDestroy");
    }
}

// ---- Message processing -----------------------------------------------------------------------

LRESULT CALLBACK CWnd::StdWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = FromHandlePermanent(hwnd);
    if (!wnd) {
        WNDPROC orphan = HandleMap::Instance().OrphanProc(hwnd);
        if (message == WM_NCDESTROY)
            HandleMap::Instance().Remove(hwnd);
        return orphan ? ::CallWindowProcW(orphan, hwnd, message, wParam, lParam)
                      : ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    const CurrentMsg saved = t_current;
    t_current = CurrentMsg{hwnd, message, wParam, lParam};
    LRESULT result = 0;
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        // No exception may unwind through the system's window procedure code.
        ReportException(L"a window message handler");
        result = 0;
    }
    t_current = saved;
    // The handler may have destroyed the window and, in PostNcDestroy, deleted wnd: only the map
    // tells whether wnd is still there to detach.
    if (message == WM_NCDESTROY && FromHandlePermanent(hwnd) == wnd)
        wnd->DetachAfterNcDestroy();
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result))
        return result;
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_prevProc)
        return ::CallWindowProcW(m_prevProc, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    // Only this window's own message has a default to run (not one reflected from a child).
    if (!m_hWnd || t_current.hwnd != m_hWnd)
        return 0;
    return DefWindowProc(t_current.message, t_current.wParam, t_current.lParam);
}

bool CWnd::RunThunk(const MsgMapEntry& entry, UINT message, WPARAM wParam, LPARAM lParam, UINT id, UINT code,
                    LRESULT* result)
{
    *result = 0;
    MsgCall call{message, wParam, lParam, id, code, result};
    return entry.thunk(*this, call);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    *result = 0;
    if (message == WM_COMMAND)
        return OnCommand(wParam, lParam) != FALSE;
    if (message == WM_NOTIFY)
        return OnNotify(wParam, lParam, result) != FALSE;
    // A control's notification about itself goes to the control first; its parent's map sees it
    // only when the control leaves it.
    if (IsReflectedMessage(message) &&
        ReflectToChild(ReflectionTarget(m_hWnd, message, wParam, lParam), message, wParam, lParam, result))
        return true;
    if (const MsgMapEntry* e = FindMsgMapEntry(GetMessageMap(), MapEntryKind::Message, message, 0))
        return RunThunk(*e, message, wParam, lParam, 0, 0, result);
    if (message == WM_PRINTCLIENT)
        return PrintClient(reinterpret_cast<HDC>(wParam), static_cast<DWORD>(lParam), result);
    return false;
}

bool CWnd::PaintsItself() const
{
    return FindMsgMapEntry(GetMessageMap(), MapEntryKind::Message, WM_PAINT, 0) != nullptr;
}

bool CWnd::PrintClient(HDC dc, DWORD flags, LRESULT* result)
{
    // A window that paints in its own WM_PAINT prints the same way, into the DC given.
    const MsgMapEntry* paint = FindMsgMapEntry(GetMessageMap(), MapEntryKind::Message, WM_PAINT, 0);
    if (!paint || !dc)
        return false;
    if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible())
        return true;
    CPaintDC::CRedirect redirect(m_hWnd, dc);
    if (flags & PRF_ERASEBKGND) {
        if (const MsgMapEntry* erase = FindMsgMapEntry(GetMessageMap(), MapEntryKind::Message, WM_ERASEBKGND, 0))
            RunThunk(*erase, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0, 0, 0, result);
        else
            ::DefWindowProcW(m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    }
    if (flags & PRF_CLIENT)
        RunThunk(*paint, WM_PAINT, 0, 0, 0, 0, result);
    *result = 0;
    return true;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    HWND control = reinterpret_cast<HWND>(lParam);
    UINT id = LOWORD(wParam);
    UINT code = control ? HIWORD(wParam) : 0;  // menus and accelerators are plain commands
    LRESULT result = 0;
    // Only a notification from one of this window's own controls is reflected: a command that a
    // child passes on from its own control reaches this window's map alone.
    if (control && ::GetParent(control) == m_hWnd &&
        ReflectToChild(control, WM_COMMAND, wParam, lParam, &result))
        return TRUE;
    if (const MsgMapEntry* e = FindMsgMapEntry(GetMessageMap(), MapEntryKind::Command, code, id))
        return RunThunk(*e, WM_COMMAND, wParam, lParam, id, code, &result);
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result)
{
    const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (!hdr)
        return FALSE;
    UINT id = static_cast<UINT>(hdr->idFrom);
    if (hdr->hwndFrom && ::GetParent(hdr->hwndFrom) == m_hWnd &&
        ReflectToChild(hdr->hwndFrom, WM_NOTIFY, static_cast<WPARAM>(id), lParam, result))
        return TRUE;
    if (const MsgMapEntry* e = FindMsgMapEntry(GetMessageMap(), MapEntryKind::Notify, hdr->code, id))
        return RunThunk(*e, WM_NOTIFY, static_cast<WPARAM>(id), lParam, id, hdr->code, result);
    return FALSE;
}

HWND CWnd::ReflectionTarget(HWND self, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DRAWITEM) {
        const DRAWITEMSTRUCT* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return dis && dis->CtlType != ODT_MENU ? dis->hwndItem : nullptr;
    }
    if (message == WM_MEASUREITEM) {
        // Sent while the control is being created: find it by id among the children.
        const MEASUREITEMSTRUCT* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        return mis && mis->CtlType != ODT_MENU ? ::GetDlgItem(self, static_cast<int>(mis->CtlID)) : nullptr;
    }
    if (message == WM_COMPAREITEM) {
        const COMPAREITEMSTRUCT* cis = reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam);
        return cis ? cis->hwndItem : nullptr;
    }
    if (message == WM_DELETEITEM) {
        const DELETEITEMSTRUCT* dis = reinterpret_cast<const DELETEITEMSTRUCT*>(lParam);
        return dis ? dis->hwndItem : nullptr;
    }
    (void)wParam;
    // WM_CTLCOLOR*, WM_CHARTOITEM, WM_VKEYTOITEM; WM_HSCROLL and WM_VSCROLL (null from a window's
    // own scroll bars).
    return reinterpret_cast<HWND>(lParam);
}

bool CWnd::ReflectToChild(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (!child || child == m_hWnd)
        return false;
    CWnd* wnd = FromHandlePermanent(child);
    return wnd && wnd->OnChildNotify(message, wParam, lParam, result) != FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const CMessageMap* map = GetMessageMap();
    const MsgMapEntry* e = nullptr;
    UINT id = 0;
    UINT code = 0;
    if (message == WM_COMMAND) {
        id = LOWORD(wParam);
        code = HIWORD(wParam);
        e = FindMsgMapEntry(map, MapEntryKind::ReflectCommand, code, id);
    } else if (message == WM_NOTIFY) {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
        id = static_cast<UINT>(hdr->idFrom);
        code = hdr->code;
        e = FindMsgMapEntry(map, MapEntryKind::ReflectNotify, code, id);
    } else {
        e = FindMsgMapEntry(map, MapEntryKind::ReflectMessage, message, 0);
    }
    return e && RunThunk(*e, message, wParam, lParam, id, code, result);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg)
{
    for (HWND hwnd = msg->hwnd; hwnd;) {
        if (CWnd* wnd = FromHandlePermanent(hwnd)) {
            if (wnd->PreTranslateMessage(msg))
                return TRUE;
        }
        if (hwnd == stop || !(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD))
            break;
        hwnd = ::GetParent(hwnd);
    }
    return FALSE;
}

const CMessageMap* CWnd::GetThisMessageMap()
{
    static const MsgMapEntry s_entries[] = {{MapEntryKind::End, 0, 0, 0, nullptr, nullptr}};
    static const CMessageMap s_map = {nullptr, s_entries};
    return &s_map;
}

const CMessageMap* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

// ---- Wrappers ---------------------------------------------------------------------------------

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

CRect CWnd::GetClientRect() const
{
    CRect r;
    ::GetClientRect(m_hWnd, &r);
    return r;
}

CRect CWnd::GetWindowRect() const
{
    CRect r;
    ::GetWindowRect(m_hWnd, &r);
    return r;
}

void CWnd::ScreenToClient(RECT* r) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(r), 2);
}

std::wstring CWnd::GetWindowText() const
{
    int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    int copied = ::GetWindowTextW(m_hWnd, &text[0], static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::wstring CWnd::GetDlgItemText(int id) const
{
    HWND item = ::GetDlgItem(m_hWnd, id);
    if (!item)
        return std::wstring();
    int length = ::GetWindowTextLengthW(item);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    int copied = ::GetWindowTextW(item, &text[0], static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void CWnd::SetFont(HFONT font, BOOL redraw) const
{
    ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

HFONT CWnd::GetFont() const
{
    return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
}

bool CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) const
{
    DWORD style = GetStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return false;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    if (swpFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return true;
}

bool CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) const
{
    DWORD style = GetExStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return false;
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(changed));
    if (swpFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return true;
}

bool CWnd::SetWindowRgn(CRgn& rgn, BOOL redraw)
{
    if (!ApplyWindowRgn(rgn.GetSafeHandle(), redraw))
        return false;
    rgn.Detach();  // the window owns it now
    return true;
}

bool CWnd::SetWindowRgn(CRgnHandle& region, BOOL redraw)
{
    if (!ApplyWindowRgn(region.Get(), redraw))
        return false;
    region.Detach();  // the window owns it now
    return true;
}

bool CWnd::ApplyWindowRgn(HRGN region, BOOL redraw)
{
    if (!::SetWindowRgn(m_hWnd, region, redraw))
        return false;
    m_shaped = region != nullptr;
    return true;
}
