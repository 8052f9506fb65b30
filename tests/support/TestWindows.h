// (Not "Windows.h": on a case-insensitive file system it would shadow <windows.h>.)
// Finding and waiting for windows: top-level windows by class and title (optionally of one
// process), descendants by class, title or control id. Waits pump this thread's messages, so a
// window of this thread keeps working while the test waits for it.
#pragma once
#include <windows.h>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace hvtest {

constexpr DWORD DefaultTimeoutMs = 10000;
// The wait for a whole start, or for what takes a program many middleware calls (a read, a write),
// on a busy machine.
constexpr DWORD SlowTimeoutMs = 60000;

std::wstring ClassNameOf(HWND hwnd);
std::wstring TextOf(HWND hwnd);
// The text of one tab of a tab control (a property sheet's tabs), empty when there is no such tab.
std::wstring TabText(HWND tab, int index);

// A top-level window whose class and title equal the given ones (nullptr: any); processId 0: any
// process. Hidden windows count only when visibleOnly is false.
HWND FindTopWindow(const wchar_t* className, const wchar_t* title = nullptr, DWORD processId = 0,
                   bool visibleOnly = false);
// Every top-level window of a process.
std::vector<HWND> TopWindowsOf(DWORD processId);
// A descendant (child, grandchild...) of parent with this class and title (nullptr: any).
HWND FindDescendant(HWND parent, const wchar_t* className, const wchar_t* title = nullptr);
// A descendant of parent with this control id (unlike GetDlgItem, also inside nested pages).
HWND FindDescendantById(HWND parent, int id);

// Calls condition, pumping messages in between, until it is true or timeoutMs has passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = DefaultTimeoutMs);
// Waits for a top-level window (see FindTopWindow); nullptr on timeout.
HWND WaitForWindow(const wchar_t* className, const wchar_t* title = nullptr,
                   DWORD timeoutMs = DefaultTimeoutMs, DWORD processId = 0);
// Waits until a window is gone (destroyed); true if it is.
bool WaitForWindowGone(HWND hwnd, DWORD timeoutMs = DefaultTimeoutMs);
// A dialog can be found before WM_INITDIALOG has created its controls: waits until every control id
// exists as a descendant of dialog (or, with no ids, until dialog has any child), and it is visible.
bool WaitForDialogControls(HWND dialog, std::initializer_list<int> ids = {},
                           DWORD timeoutMs = DefaultTimeoutMs);

// Owns a window of the test: destroys it at scope end. Movable, not copyable.
class ScopedWindow {
public:
    ScopedWindow() = default;
    explicit ScopedWindow(HWND hwnd) : hwnd_(hwnd) {}
    ~ScopedWindow() { Reset(); }
    ScopedWindow(ScopedWindow&& other) noexcept : hwnd_(other.Release()) {}
    ScopedWindow& operator=(ScopedWindow&& other) noexcept;
    ScopedWindow(const ScopedWindow&) = delete;
    ScopedWindow& operator=(const ScopedWindow&) = delete;

    HWND Get() const { return hwnd_; }
    operator HWND() const { return hwnd_; }
    HWND Release();
    void Reset(HWND hwnd = nullptr);

private:
    HWND hwnd_ = nullptr;
};

// Registers (once per process) a plain window class for test windows: white background, arrow
// cursor, DefWindowProc. Returns the class name.
const wchar_t* TestWindowClass();
// A visible top-level test window with the given client size at (x, y) on the screen.
HWND CreateTestWindow(int clientWidth, int clientHeight, int x = 100, int y = 100,
                      const wchar_t* title = L"hvtest");

} // namespace hvtest
