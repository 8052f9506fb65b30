#include "ComPtr.h"
#include "Handles.h"
#include "Lock.h"
#include "Thread.h"
#include "WStr.h"

#include <gtest/gtest.h>
#include <atomic>
#include <vector>

namespace {

struct CountingUnknown : IUnknown
{
    LONG refs = 1;
    int destroyed = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown)
            return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        if (--refs == 0)
            ++destroyed;
        return refs;
    }
};

} // namespace

TEST(Ownership, HandlesReleaseExactlyOnce)
{
    // A kernel handle closed twice would make the second close fail; count through an event's
    // handle validity instead: after the owner dies, the handle is gone.
    HANDLE raw = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        CKernelHandle a(raw);
        CKernelHandle b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.Get(), raw);
        CKernelHandle c;
        c = std::move(b);
        EXPECT_EQ(c.Get(), raw);
    }
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(raw, &flags));

    CKernelHandle invalid(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(invalid);

    // GDI owners: every brush made is deleted once, a moved-from owner deletes nothing, a
    // replaced one is deleted.
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
    for (HBRUSH b : made)
        EXPECT_EQ(::GetObjectType(b), 0u);

    HBRUSH kept = nullptr;
    {
        CBrushHandle brush(::CreateSolidBrush(RGB(1, 2, 3)));
        kept = brush.Detach();
    }
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
    }
    EXPECT_EQ(obj.refs, 1);
    EXPECT_EQ(obj.destroyed, 0);

    CComPtr<IUnknown> empty;
    CComPtr<IUnknown> out;
    EXPECT_EQ(empty.As(out), E_POINTER);
}

TEST(Strings, CaseBoundsAndConversion)
{
    EXPECT_TRUE(wstr::EqualsNoCase(L"Profile 1", L"PROFILE 1"));
    EXPECT_FALSE(wstr::EqualsNoCase(L"Profile", L"Profile 1"));
    EXPECT_LT(wstr::CompareNoCase(L"abc", L"ABD"), 0);
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

TEST(Threads, NamedMutexAndPumpingJoin)
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

    // A worker that sends to a window of the waiting thread must not deadlock the join.
    HWND w = ::CreateWindowW(L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    CThread sender;
    ASSERT_TRUE(sender.Start([w] {
        ::SendMessageW(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"sent"));
        return 0u;
    }));
    EXPECT_TRUE(sender.JoinPumping(5000));
    wchar_t text[16] = {};
    ::GetWindowTextW(w, text, 16);
    EXPECT_STREQ(text, L"sent");
    ::DestroyWindow(w);

    CThread thrower;
    ASSERT_TRUE(thrower.Start([]() -> unsigned { throw 1; }));
    EXPECT_TRUE(thrower.Join(5000));
    EXPECT_EQ(thrower.ExitCode(), 0xFFFFFFFFu);
}
