// Message recording for window tests: watch a window (and, if wanted, its parent), record every
// message their window procedures receive, and compare the recording with an expected sequence.
// A mismatch is a non-fatal gtest failure that prints expected and actual side by side.
//
//   hvtest::MessageRecorder rec;
//   rec.Watch(button);
//   rec.Watch(parent, hvtest::ParentRole);
//   SendMessageW(button, BM_CLICK, 0, 0);
//   rec.ExpectSequence({
//       {BM_CLICK, hvtest::Sent},
//       {WM_LBUTTONDOWN, hvtest::Sent},
//       {WM_CAPTURECHANGED, hvtest::Sent | hvtest::Optional},
//       {WM_COMMAND, hvtest::Sent | hvtest::Parent | hvtest::WParam, MAKEWPARAM(IDC_OK, BN_CLICKED)},
//   }, "click");
#pragma once
#include <windows.h>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

namespace hvtest {

// Flags of an expected or recorded message.
enum MsgFlags : unsigned {
    Sent = 0x01,      // reached the window procedure directly (SendMessage, or from inside Windows)
    Posted = 0x02,    // came out of the queue (PostMessage, input, WM_PAINT, WM_TIMER)
    Parent = 0x04,    // received by a window watched in the Parent role
    WParam = 0x08,    // expected: compare wParam (else any wParam)
    LParam = 0x10,    // expected: compare lParam (else any lParam)
    Optional = 0x20,  // expected: may be absent
};
// An expected entry that says nothing of lParam; spelled out for readability.
constexpr unsigned AnyLParam = 0;

// One entry of an expected sequence (Sent unless flags say otherwise). An entry that names neither
// Sent nor Posted matches either.
struct ExpectedMsg {
    UINT message = 0;
    unsigned flags = Sent;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
using MsgSequence = std::vector<ExpectedMsg>;

struct RecordedMsg {
    HWND hwnd;
    UINT message;
    unsigned flags;  // Sent or Posted, plus Parent
    WPARAM wParam;
    LPARAM lParam;
};

// Role of a watched window: its messages carry Parent or not.
enum WatchRole { Self = 0, ParentRole = Parent };

// Name of a message for printing: "WM_SETTEXT", "BM_CLICK", "WM_USER+5", a registered message's name,
// or the number in hex.
std::wstring MessageName(UINT message);

// Dispatches every message waiting in this thread's queue; returns how many.
int PumpMessages();
// Dispatches messages until none has arrived for idleMs (at most maxMs in all), so that posted and
// paint messages are delivered before a check.
void FlushMessages(DWORD idleMs = 30, DWORD maxMs = 2000);

// Records the messages of watched windows of this thread. Windows are subclassed while watched;
// a window destroyed while watched is released by itself. One recorder per thread at a time.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    // Starts recording a window of this thread (Self), or the window as a parent (ParentRole).
    void Watch(HWND hwnd, WatchRole role = Self);
    // Shorthand: Watch(hwnd) and Watch(GetParent(hwnd), ParentRole).
    void WatchWithParent(HWND hwnd);
    void Unwatch(HWND hwnd);
    // Also records windows of class className created by this thread from now on, from their very
    // first message (WM_NCCREATE), in the given role.
    void WatchNewWindows(const wchar_t* className, WatchRole role = Self);

    // Messages never recorded. By default: WM_GETICON, WM_GETOBJECT, IME and theme messages, mouse
    // hover and cursor messages (WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEMOVE, WM_NCMOUSEMOVE), WM_TIMER
    // and WM_ENTERIDLE, which depend on timing or on where the pointer happens to be.
    void Ignore(UINT message) { ignored_.insert(message); }
    void Unignore(UINT message) { ignored_.erase(message); }
    void IgnoreNone() { ignored_.clear(); }

    // Pauses and resumes recording without unwatching.
    void Pause() { paused_ = true; }
    void Resume() { paused_ = false; }

    const std::vector<RecordedMsg>& Messages() const { return messages_; }
    void Clear() { messages_.clear(); }
    // The recording printed one message a line.
    std::wstring Dump() const;

    // Drains the queue (FlushMessages), compares the recording with expected, reports a mismatch as a
    // non-fatal failure at the caller's line, and clears the recording. Returns whether it matched.
    bool ExpectSequence(const MsgSequence& expected, const char* context = "",
                        const char* file = __builtin_FILE(), int line = __builtin_LINE());
    // The same without draining the queue first: checks only what has already arrived.
    bool ExpectSequenceNow(const MsgSequence& expected, const char* context = "",
                           const char* file = __builtin_FILE(), int line = __builtin_LINE());
    // Whether the recording contains message (for the Self or Parent role), without clearing it.
    bool Contains(UINT message, WatchRole role = Self) const;

    // Used by the window hooks.
    void Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void NotePosted(const MSG& msg);
    void NoteCreated(HWND hwnd);

private:
    struct Watched {
        HWND hwnd;
        WatchRole role;
    };
    bool Compare(const MsgSequence& expected, const char* context, const char* file, int line);
    const Watched* Find(HWND hwnd) const;

    std::vector<Watched> watched_;
    std::vector<std::pair<std::wstring, WatchRole>> newClasses_;
    std::vector<RecordedMsg> messages_;
    std::set<UINT> ignored_;
    MSG pendingPosted_ = {};
    bool hasPending_ = false;
    bool paused_ = false;
    HHOOK getMessageHook_ = nullptr;
    HHOOK cbtHook_ = nullptr;

    friend LRESULT CALLBACK RecorderSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
};

// Compares a recording with an expected sequence; empty when they match, else the side-by-side report.
// Exposed for tests of the comparison itself.
std::wstring CompareSequence(const MsgSequence& expected, const std::vector<RecordedMsg>& actual);

} // namespace hvtest
