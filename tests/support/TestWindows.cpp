#include "TestWindows.h"
#include "Messages.h"

namespace hvtest {
namespace {

bool Equal(const wchar_t* wanted, const std::wstring& actual)
{
    return !wanted || actual == wanted;
}

bool ClassEqual(const wchar_t* wanted, HWND hwnd)
{
    return !wanted || _wcsicmp(wanted, ClassNameOf(hwnd).c_str()) == 0;
}

struct TopSearch {
    const wchar_t* className;
    const wchar_t* title;
    DWORD processId;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindTopProc(HWND hwnd, LPARAM data)
{
    auto* s = reinterpret_cast<TopSearch*>(data);
    if (s->visibleOnly && !IsWindowVisible(hwnd))
        return TRUE;
    if (s->processId) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid != s->processId)
            return TRUE;
    }
    if (!ClassEqual(s->className, hwnd) || !Equal(s->title, TextOf(hwnd)))
        return TRUE;
    s->found = hwnd;
    return FALSE;
}

struct ListSearch {
    DWORD processId;
    std::vector<HWND>* windows;
};

BOOL CALLBACK ListTopProc(HWND hwnd, LPARAM data)
{
    auto* s = reinterpret_cast<ListSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->processId)
        s->windows->push_back(hwnd);
    return TRUE;
}

struct ChildSearch {
    const wchar_t* className;
    const wchar_t* title;
    int id;
    bool byId;
    HWND found;
};

// EnumChildWindows walks all descendants, not only direct children.
BOOL CALLBACK FindChildProc(HWND hwnd, LPARAM data)
{
    auto* s = reinterpret_cast<ChildSearch*>(data);
    bool match = s->byId ? GetDlgCtrlID(hwnd) == s->id
                         : ClassEqual(s->className, hwnd) && Equal(s->title, TextOf(hwnd));
    if (!match)
        return TRUE;
    s->found = hwnd;
    return FALSE;
}

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

std::wstring ClassNameOf(HWND hwnd)
{
    wchar_t name[256] = {};
    int length = GetClassNameW(hwnd, name, 256);
    return std::wstring(name, length > 0 ? length : 0);
}

std::wstring TextOf(HWND hwnd)
{
    // SendMessage, not GetWindowText: the text of a control in another process is needed too.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 2000, &copied))
        return {};
    text.resize(copied < text.size() ? copied : 0);
    return text;
}

HWND FindTopWindow(const wchar_t* className, const wchar_t* title, DWORD processId, bool visibleOnly)
{
    TopSearch s = {className, title, processId, visibleOnly, nullptr};
    EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::vector<HWND> TopWindowsOf(DWORD processId)
{
    std::vector<HWND> windows;
    ListSearch s = {processId, &windows};
    EnumWindows(ListTopProc, reinterpret_cast<LPARAM>(&s));
    return windows;
}

HWND FindDescendant(HWND parent, const wchar_t* className, const wchar_t* title)
{
    ChildSearch s = {className, title, 0, false, nullptr};
    EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindDescendantById(HWND parent, int id)
{
    ChildSearch s = {nullptr, nullptr, id, true, nullptr};
    EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        FlushMessages(10, 50);
        Sleep(5);
    }
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs, DWORD processId)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(className, title, processId)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitForWindowGone(HWND hwnd, DWORD timeoutMs)
{
    return WaitUntil([&] { return !IsWindow(hwnd); }, timeoutMs);
}

bool WaitForDialogControls(HWND dialog, std::initializer_list<int> ids, DWORD timeoutMs)
{
    return WaitUntil([&] {
        if (!IsWindow(dialog) || !IsWindowVisible(dialog))
            return false;
        if (ids.size() == 0)
            return GetWindow(dialog, GW_CHILD) != nullptr;
        for (int id : ids)
            if (!FindDescendantById(dialog, id))
                return false;
        return true;
    }, timeoutMs);
}

ScopedWindow& ScopedWindow::operator=(ScopedWindow&& other) noexcept
{
    if (this != &other)
        Reset(other.Release());
    return *this;
}

HWND ScopedWindow::Release()
{
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    return hwnd;
}

void ScopedWindow::Reset(HWND hwnd)
{
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
    hwnd_ = hwnd;
}

const wchar_t* TestWindowClass()
{
    static const wchar_t* name = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = TestWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"HvTestWindow";
        RegisterClassW(&wc);
        return L"HvTestWindow";
    }();
    return name;
}

HWND CreateTestWindow(int clientWidth, int clientHeight, int x, int y, const wchar_t* title)
{
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT r = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&r, style, FALSE);
    HWND hwnd = CreateWindowW(TestWindowClass(), title, style, x, y, r.right - r.left, r.bottom - r.top,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (hwnd) {
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
    }
    return hwnd;
}

} // namespace hvtest
