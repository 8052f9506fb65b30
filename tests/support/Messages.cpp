#include "Messages.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace hvtest {
namespace {

constexpr UINT_PTR kSubclassId = 0x48567374;  // one subclass of ours per window

// The recorder of this thread: the hooks have no other way to reach it.
thread_local MessageRecorder* t_recorder = nullptr;

LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE && t_recorder)
        t_recorder->NotePosted(*reinterpret_cast<const MSG*>(lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

bool Matches(const ExpectedMsg& e, const RecordedMsg& a)
{
    if (e.message != a.message)
        return false;
    unsigned how = e.flags & (Sent | Posted);
    if (how && how != (a.flags & (Sent | Posted)))
        return false;
    if ((e.flags & Parent) != (a.flags & Parent))
        return false;
    if ((e.flags & WParam) && e.wParam != a.wParam)
        return false;
    if ((e.flags & LParam) && e.lParam != a.lParam)
        return false;
    return true;
}

std::wstring Hex(ULONG_PTR value)
{
    wchar_t text[24];
    swprintf(text, 24, L"%llx", static_cast<unsigned long long>(value));
    return text;
}

std::wstring Describe(const ExpectedMsg& e)
{
    std::wstring text = MessageName(e.message);
    if (e.flags & Sent)
        text += L" sent";
    if (e.flags & Posted)
        text += L" posted";
    if (e.flags & Parent)
        text += L" parent";
    if (e.flags & WParam)
        text += L" wp=" + Hex(e.wParam);
    if (e.flags & LParam)
        text += L" lp=" + Hex(ULONG_PTR(e.lParam));
    if (e.flags & Optional)
        text += L" (optional)";
    return text;
}

std::wstring Describe(const RecordedMsg& a)
{
    std::wstring text = MessageName(a.message);
    text += (a.flags & Posted) ? L" posted" : L" sent";
    if (a.flags & Parent)
        text += L" parent";
    text += L" wp=" + Hex(a.wParam) + L" lp=" + Hex(ULONG_PTR(a.lParam));
    return text;
}

std::wstring Padded(std::wstring text, size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), L' ');
    return text;
}

} // namespace

LRESULT CALLBACK RecorderSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data)
{
    auto* recorder = reinterpret_cast<MessageRecorder*>(data);
    recorder->Record(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, RecorderSubclassProc, kSubclassId);
        recorder->watched_.erase(std::remove_if(recorder->watched_.begin(), recorder->watched_.end(),
                                                [hwnd](const auto& w) { return w.hwnd == hwnd; }),
                                 recorder->watched_.end());
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

namespace {

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_recorder)
        t_recorder->NoteCreated(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

int PumpMessages()
{
    int count = 0;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The quit belongs to whoever runs the loop after us: put it back and stop.
            PostQuitMessage(int(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        ++count;
    }
    return count;
}

void FlushMessages(DWORD idleMs, DWORD maxMs)
{
    const ULONGLONG deadline = GetTickCount64() + maxMs;
    for (;;) {
        PumpMessages();
        MSG quit;
        if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
            return;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return;
        DWORD wait = DWORD(std::min<ULONGLONG>(idleMs, deadline - now));
        if (MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_TIMEOUT)
            return;
    }
}

MessageRecorder::MessageRecorder()
{
    for (UINT m : {UINT(WM_GETICON), UINT(WM_GETOBJECT), UINT(WM_IME_SETCONTEXT), UINT(WM_IME_NOTIFY),
                   UINT(WM_NCHITTEST), UINT(WM_SETCURSOR), UINT(WM_MOUSEMOVE), UINT(WM_NCMOUSEMOVE),
                   UINT(WM_TIMER), UINT(WM_ENTERIDLE), UINT(0x031F) /* WM_DWMNCRENDERINGCHANGED */,
                   UINT(WM_THEMECHANGED)})
        ignored_.insert(m);
    for (UINT m = 0x0090; m <= 0x0095; ++m)  // theme drawing messages of newer systems
        ignored_.insert(m);
    EXPECT_EQ(t_recorder, nullptr) << "one MessageRecorder per thread at a time";
    t_recorder = this;
    getMessageHook_ = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
    EXPECT_NE(getMessageHook_, nullptr) << "WH_GETMESSAGE hook, error " << GetLastError();
}

MessageRecorder::~MessageRecorder()
{
    if (cbtHook_)
        UnhookWindowsHookEx(cbtHook_);
    if (getMessageHook_)
        UnhookWindowsHookEx(getMessageHook_);
    auto watched = watched_;
    for (const auto& w : watched)
        if (IsWindow(w.hwnd))
            RemoveWindowSubclass(w.hwnd, RecorderSubclassProc, kSubclassId);
    if (t_recorder == this)
        t_recorder = nullptr;
}

const MessageRecorder::Watched* MessageRecorder::Find(HWND hwnd) const
{
    for (const auto& w : watched_)
        if (w.hwnd == hwnd)
            return &w;
    return nullptr;
}

void MessageRecorder::Watch(HWND hwnd, WatchRole role)
{
    if (!hwnd)
        return;
    if (Find(hwnd)) {
        for (auto& w : watched_)
            if (w.hwnd == hwnd)
                w.role = role;
        return;
    }
    if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) {
        ADD_FAILURE() << "MessageRecorder can only watch windows of its own thread";
        return;
    }
    if (!SetWindowSubclass(hwnd, RecorderSubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        ADD_FAILURE() << "SetWindowSubclass failed";
        return;
    }
    watched_.push_back({hwnd, role});
}

void MessageRecorder::WatchWithParent(HWND hwnd)
{
    Watch(hwnd);
    Watch(GetParent(hwnd), ParentRole);
}

void MessageRecorder::Unwatch(HWND hwnd)
{
    if (!Find(hwnd))
        return;
    RemoveWindowSubclass(hwnd, RecorderSubclassProc, kSubclassId);
    watched_.erase(std::remove_if(watched_.begin(), watched_.end(), [hwnd](const auto& w) { return w.hwnd == hwnd; }),
                   watched_.end());
}

void MessageRecorder::WatchNewWindows(const wchar_t* className, WatchRole role)
{
    newClasses_.emplace_back(className, role);
    if (!cbtHook_) {
        cbtHook_ = SetWindowsHookExW(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
        EXPECT_NE(cbtHook_, nullptr) << "WH_CBT hook, error " << GetLastError();
    }
}

void MessageRecorder::NoteCreated(HWND hwnd)
{
    wchar_t cls[256] = {};
    GetClassNameW(hwnd, cls, 256);
    for (const auto& c : newClasses_)
        if (_wcsicmp(c.first.c_str(), cls) == 0) {
            // No message has reached the window yet: WM_NCCREATE will be recorded.
            Watch(hwnd, c.second);
            return;
        }
}

void MessageRecorder::NotePosted(const MSG& msg)
{
    pendingPosted_ = msg;
    hasPending_ = true;
}

void MessageRecorder::Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A message just taken from the queue for this window reaches it through DispatchMessage: it
    // was posted. Anything else arrived directly.
    unsigned flags = Sent;
    if (hasPending_ && pendingPosted_.hwnd == hwnd && pendingPosted_.message == message &&
        pendingPosted_.wParam == wParam && pendingPosted_.lParam == lParam) {
        flags = Posted;
        hasPending_ = false;
    }
    if (paused_ || ignored_.count(message))
        return;
    const Watched* w = Find(hwnd);
    if (!w)
        return;
    flags |= unsigned(w->role);
    messages_.push_back({hwnd, message, flags, wParam, lParam});
}

bool MessageRecorder::Contains(UINT message, WatchRole role) const
{
    return std::any_of(messages_.begin(), messages_.end(), [&](const RecordedMsg& m) {
        return m.message == message && (m.flags & Parent) == unsigned(role);
    });
}

std::wstring MessageRecorder::Dump() const
{
    std::wstring text;
    for (const auto& m : messages_)
        text += Describe(m) + L"\n";
    return text;
}

bool MessageRecorder::ExpectSequence(const MsgSequence& expected, const char* context, const char* file, int line)
{
    FlushMessages();
    return Compare(expected, context, file, line);
}

bool MessageRecorder::ExpectSequenceNow(const MsgSequence& expected, const char* context, const char* file,
                                        int line)
{
    return Compare(expected, context, file, line);
}

bool MessageRecorder::Compare(const MsgSequence& expected, const char* context, const char* file, int line)
{
    std::wstring report = CompareSequence(expected, messages_);
    messages_.clear();
    if (report.empty())
        return true;
    ADD_FAILURE_AT(file, line) << "message sequence \"" << context << "\" differs:\n" << Utf8(report);
    return false;
}

std::wstring CompareSequence(const MsgSequence& expected, const std::vector<RecordedMsg>& actual)
{
    // Alignment by least cost: a missing required entry, an unexpected message and a mismatched pair
    // cost 1 each; a skipped optional entry and a match cost nothing. The sequences match when the
    // cost is zero; otherwise the alignment is what is printed.
    const size_t E = expected.size(), A = actual.size();
    std::vector<std::vector<unsigned>> cost(E + 1, std::vector<unsigned>(A + 1, 0));
    for (size_t i = E + 1; i-- > 0;)
        for (size_t j = A + 1; j-- > 0;) {
            if (i == E && j == A)
                continue;
            unsigned best = ~0u;
            if (i < E)
                best = std::min(best, cost[i + 1][j] + ((expected[i].flags & Optional) ? 0u : 1u));
            if (j < A)
                best = std::min(best, cost[i][j + 1] + 1);
            if (i < E && j < A)
                best = std::min(best, cost[i + 1][j + 1] + (Matches(expected[i], actual[j]) ? 0u : 1u));
            cost[i][j] = best;
        }
    if (cost[0][0] == 0)
        return {};

    const size_t width = 46;
    std::wstring report = L"    " + Padded(L"expected", width) + L"  actual\n";
    size_t i = 0, j = 0;
    while (i < E || j < A) {
        bool optional = i < E && (expected[i].flags & Optional);
        wchar_t mark;
        std::wstring left, right;
        if (i < E && j < A && cost[i][j] == cost[i + 1][j + 1] + (Matches(expected[i], actual[j]) ? 0u : 1u)) {
            mark = Matches(expected[i], actual[j]) ? L' ' : L'!';
            left = Describe(expected[i++]);
            right = Describe(actual[j++]);
        } else if (i < E && cost[i][j] == cost[i + 1][j] + (optional ? 0u : 1u)) {
            mark = optional ? L' ' : L'-';
            left = Describe(expected[i++]);
            right = optional ? L"" : L"(missing)";
        } else {
            mark = L'+';
            left = L"(unexpected)";
            right = Describe(actual[j++]);
        }
        report += std::wstring(1, mark) + L"   " + Padded(left, width) + L"  " + right + L"\n";
    }
    report += L"(! differs, - missing, + unexpected)\n";
    return report;
}

} // namespace hvtest
