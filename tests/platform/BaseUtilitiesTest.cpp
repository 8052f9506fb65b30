#include "platform/ComPtr.h"
#include "platform/Handles.h"
#include "platform/Lock.h"
#include "platform/Thread.h"
#include "platform/WStr.h"

#include <gtest/gtest.h>
#include <atomic>
#include <map>
#include <vector>
#include "ImportPatch.h"

namespace {

// An object whose references are counted; it notes calls it gets while it has none left.
struct CountingUnknown : IUnknown
{
    LONG refs = 1;
    int destroyed = 0;
    int callsWhenDead = 0;  // QueryInterface, AddRef or Release on an object already at zero
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (refs <= 0)
            ++callsWhenDead;
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown)
            return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override
    {
        if (refs <= 0)
            ++callsWhenDead;
        return ++refs;
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        if (refs <= 0)
            ++callsWhenDead;
        if (--refs == 0)
            ++destroyed;
        return refs;
    }
};

// Handles that are plain numbers: every close is counted, so a second release of one shows.
std::map<int, int> g_closes;
struct CountingTraits
{
    using Handle = int;
    static int Empty() noexcept { return 0; }
    static bool IsValid(int h) noexcept { return h > 0; }
    static void Close(int h) noexcept { ++g_closes[h]; }
};
using CCountedHandle = CUniqueHandle<CountingTraits>;

// True when a thread other than this one can take the named mutex right now.
bool OtherThreadCanTake(const wchar_t* name)
{
    std::atomic<bool> got{false};
    CThread other;
    if (!other.Start([&] {
            CNamedMutex m;
            if (m.Create(name) && m.Wait(50)) {
                got = true;
                m.Release();
            }
            return 0u;
        }))
        return false;
    other.Join(5000);
    return got;
}

} // namespace

TEST(Ownership, HandlesReleaseExactlyOnce)
{
    g_closes.clear();
    {
        CCountedHandle a(1);
        CCountedHandle b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.Get(), 1);
        CCountedHandle c(2);
        c = std::move(b);  // 2 is closed, 1 handed over
        EXPECT_EQ(c.Get(), 1);
        CCountedHandle& same = c;
        c = std::move(same);  // moving onto itself keeps the handle
        EXPECT_EQ(c.Get(), 1);
        c.Reset(c.Get());  // taking the held handle again keeps it
        EXPECT_EQ(c.Get(), 1);
        EXPECT_TRUE(g_closes.count(1) == 0);

        CCountedHandle out(3);
        *out.Put() = 4;  // 3 is closed before the slot is lent
        EXPECT_EQ(g_closes[3], 1);
        CCountedHandle kept(5);
        EXPECT_EQ(kept.Detach(), 5);
        CCountedHandle empty;
        empty.Reset();
    }
    std::map<int, int> expected = {{1, 1}, {2, 1}, {3, 1}, {4, 1}};
    EXPECT_EQ(g_closes, expected);

    // A real kernel handle is gone with its last owner; INVALID_HANDLE_VALUE is no handle.
    HANDLE raw = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        CKernelHandle a(raw);
        CKernelHandle c;
        c = std::move(a);
        EXPECT_EQ(c.Get(), raw);
    }
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(raw, &flags));
    CKernelHandle invalid(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(invalid);

    // GDI owners: every brush made is deleted exactly once, a moved-from owner deletes nothing, a
    // replaced one is deleted, a detached one never.
    CGdiDeleteCounter counter;
    ASSERT_TRUE(counter.IsActive());
    std::vector<HBRUSH> made;
    for (int i = 0; i < 20; ++i) {
        CBrushHandle brush(::CreateSolidBrush(RGB(i, 0, 0)));
        made.push_back(brush.Get());
        CBrushHandle moved(std::move(brush));
        EXPECT_EQ(::GetObjectType(made.back()), static_cast<DWORD>(OBJ_BRUSH));
        *moved.Put() = ::CreateSolidBrush(RGB(0, i, 0));
        EXPECT_EQ(::GetObjectType(made.back()), 0u);
        made.push_back(moved.Get());
    }
    HBRUSH kept = nullptr;
    {
        CBrushHandle brush(::CreateSolidBrush(RGB(1, 2, 3)));
        kept = brush.Detach();
    }
    for (HBRUSH b : made)
        EXPECT_EQ(counter.Deletes(b), 1);
    EXPECT_EQ(counter.All().size(), made.size());
    LOGBRUSH lb = {};
    EXPECT_EQ(::GetObjectW(kept, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
    ::DeleteObject(kept);
}

TEST(Ownership, ComPointerCountsReferences)
{
    CountingUnknown obj;
    {
        CComPtr<IUnknown> a(&obj);
        EXPECT_EQ(obj.refs, 2);
        CComPtr<IUnknown> b = a;
        EXPECT_EQ(obj.refs, 3);
        CComPtr<IUnknown> c(std::move(b));
        EXPECT_EQ(obj.refs, 3);
        CComPtr<IUnknown> q;
        EXPECT_EQ(a.As(q), S_OK);
        EXPECT_EQ(obj.refs, 4);
        // Put releases what it held before lending the slot.
        EXPECT_EQ(obj.QueryInterface(IID_IUnknown, q.PutVoid()), S_OK);
        EXPECT_EQ(obj.refs, 4);
        // Onto itself, by move or copy, a pointer keeps its one reference.
        CComPtr<IUnknown>& same = c;
        c = std::move(same);
        EXPECT_EQ(c.Get(), &obj);
        c = same;
        EXPECT_EQ(obj.refs, 4);
        // Attaching the held pointer with the caller's own reference leaves one reference held.
        obj.AddRef();
        c.Attach(&obj);
        EXPECT_EQ(obj.refs, 4);
    }
    EXPECT_EQ(obj.refs, 1);
    EXPECT_EQ(obj.destroyed, 0);
    EXPECT_EQ(obj.callsWhenDead, 0);

    // Querying a pointer into itself while it holds the object's only reference.
    CountingUnknown only;
    {
        CComPtr<IUnknown> p;
        p.Attach(&only);
        EXPECT_EQ(p.As(p), S_OK);
        EXPECT_EQ(p.Get(), &only);
        EXPECT_EQ(only.refs, 1);
    }
    EXPECT_EQ(only.refs, 0);
    EXPECT_EQ(only.destroyed, 1);
    EXPECT_EQ(only.callsWhenDead, 0);

    CComPtr<IUnknown> empty;
    CComPtr<IUnknown> out;
    EXPECT_EQ(empty.As(out), E_POINTER);
}

TEST(Strings, CaseBoundsAndConversion)
{
    EXPECT_TRUE(wstr::EqualsNoCase(L"Profile 1", L"PROFILE 1"));
    EXPECT_FALSE(wstr::EqualsNoCase(L"Profile", L"Profile 1"));
    EXPECT_LT(wstr::CompareNoCase(L"abc", L"ABD"), 0);
    // A null string is the empty string, never equal to a non-empty one.
    const wchar_t* none = nullptr;
    EXPECT_LT(wstr::CompareNoCase(none, L"a"), 0);
    EXPECT_GT(wstr::CompareNoCase(L"a", none), 0);
    EXPECT_EQ(wstr::CompareNoCase(none, L""), 0);
    EXPECT_EQ(wstr::CompareNoCase(none, none), 0);
    EXPECT_EQ(wstr::FindNoCase(L"New Macro12", L"macro"), 4u);
    EXPECT_EQ(wstr::FindNoCase(L"abc", L"x"), std::wstring::npos);
    EXPECT_EQ(wstr::ToUpper(L"vid_9d17"), L"VID_9D17");
    EXPECT_EQ(wstr::Trim(L" \t x y \r\n"), L"x y");
    EXPECT_EQ(wstr::Format(L"%s:%d", L"DPI", 800), L"DPI:800");
    EXPECT_EQ(wstr::Utf8ToWide(wstr::WideToUtf8(L"Gr\u00fc\u00dfe")), L"Gr\u00fc\u00dfe");

    wchar_t buf[4];
    EXPECT_FALSE(wstr::CopyBounded(buf, 4, L"abcdef"));
    EXPECT_STREQ(buf, L"abc");
    EXPECT_TRUE(wstr::CopyBounded(buf, 4, L"ab"));
    EXPECT_STREQ(buf, L"ab");
}

TEST(Threads, NamedMutexAndJoinServingSentMessages)
{
    const std::wstring nameText = wstr::Format(L"HvPlatformTestMutex%lu", ::GetCurrentProcessId());
    const wchar_t* name = nameText.c_str();
    CNamedMutex first;
    bool existed = true;
    ASSERT_TRUE(first.Create(name, &existed));
    EXPECT_FALSE(existed);
    ASSERT_TRUE(first.Wait(0));

    std::atomic<int> otherGot{-1};
    CThread other;
    ASSERT_TRUE(other.Start([&] {
        CNamedMutex second;
        bool ex = false;
        second.Create(name, &ex);
        otherGot = second.Wait(50) ? 1 : 0;
        return ex ? 7u : 0u;
    }));
    EXPECT_TRUE(other.Join(5000));
    EXPECT_EQ(otherGot, 0);
    EXPECT_EQ(other.ExitCode(), 7u);
    first.Release();
    EXPECT_TRUE(OtherThreadCanTake(name));

    // Held through one object, the mutex is not given up by another object of the same thread
    // that never took it (mutexes belong to threads, not to handles).
    CNamedMutex second;
    ASSERT_TRUE(second.Create(name));
    ASSERT_TRUE(first.Wait(0));
    second.Release();
    {
        CScopedLock<CNamedMutex> inner(second);
    }
    EXPECT_FALSE(OtherThreadCanTake(name));
    first.Release();
    EXPECT_TRUE(OtherThreadCanTake(name));

    // Scoped locks nest on one object; the mutex is free once the outer one ends.
    {
        CScopedLock<CNamedMutex> outer(first);
        {
            CScopedLock<CNamedMutex> inner(first);
        }
        EXPECT_FALSE(OtherThreadCanTake(name));
    }
    EXPECT_TRUE(OtherThreadCanTake(name));

    // A mutex that could not be opened is never held; locking it releases nothing of the thread.
    CNamedMutex broken;
    EXPECT_FALSE(broken.Create(L"Bad\\Name\\With\\Folders"));
    ASSERT_TRUE(first.Wait(0));
    {
        CScopedLock<CNamedMutex> none(broken);
    }
    EXPECT_FALSE(OtherThreadCanTake(name));
    first.Release();

    // A worker that sends to a window of the waiting thread must not deadlock the join; what was
    // posted to the thread stays queued for its own loop, the quit message too.
    HWND w = ::CreateWindowW(L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(::PostMessageW(w, WM_APP, 0, 0));
    ::PostQuitMessage(3);
    CThread sender;
    ASSERT_TRUE(sender.Start([w] {
        ::SendMessageW(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"sent"));
        return 0u;
    }));
    EXPECT_TRUE(sender.JoinDispatchingSent(5000));
    wchar_t text[16] = {};
    ::GetWindowTextW(w, text, 16);
    EXPECT_STREQ(text, L"sent");
    MSG msg{};
    EXPECT_TRUE(::PeekMessageW(&msg, w, WM_APP, WM_APP, PM_REMOVE));
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, msg.wParam);

    // Nor does the destruction of a thread object whose thread sends to the destroying thread.
    {
        CThread late;
        ASSERT_TRUE(late.Start([w] {
            ::Sleep(50);
            ::SendMessageW(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"late"));
            return 0u;
        }));
    }
    ::GetWindowTextW(w, text, 16);
    EXPECT_STREQ(text, L"late");
    ::DestroyWindow(w);

    CThread thrower;
    ASSERT_TRUE(thrower.Start([]() -> unsigned { throw 1; }));
    EXPECT_TRUE(thrower.Join(5000));
    EXPECT_EQ(thrower.ExitCode(), 0xFFFFFFFFu);
}
