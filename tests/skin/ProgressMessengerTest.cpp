// The progress messenger: its listener list, what it sends, and the registry of messengers.
#include "platform/ProgressMessenger.h"

#include "HvTest.h"
#include "LayoutTestFiles.h"

#include <gtest/gtest.h>

using layouttest::ProgressRecorder;

TEST(ProgressMessenger, ListenersAndSends)
{
    CProgressMessenger messenger;
    EXPECT_EQ(messenger.Timeout(), 5000);
    EXPECT_TRUE(messenger.Text().empty());
    // No listener: sending only takes and gives back the lock.
    messenger.SendPercent(10);
    messenger.SendText(L"nobody");

    ProgressRecorder first, second;
    messenger.AddListener(first.Window());
    messenger.AddListener(second.Window());
    messenger.AddListener(first.Window());
    EXPECT_EQ(messenger.Listeners(), (std::vector<HWND>{first.Window(), second.Window()}));
    messenger.RemoveListener(reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(messenger.Listeners().size(), 2u);

    CCritSec lock;
    messenger.SendPercent(42, &lock);
    messenger.SendText(L"step two");
    EXPECT_EQ(first.events, (std::vector<std::string>{"percent:42", "text:step two"}));
    EXPECT_EQ(second.events, first.events);

    // A listener that is gone is skipped; the others are still served in order.
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    messenger.RemoveListener(first.Window());
    messenger.AddListener(gone);
    messenger.AddListener(first.Window());
    DestroyWindow(gone);
    messenger.SendPercent(100);
    EXPECT_EQ(first.events.back(), "percent:100");
    EXPECT_EQ(second.events.back(), "percent:100");
}

TEST(ProgressMessenger, RegistryAndLoaderProgress)
{
    CProgressMessenger a, b;
    const size_t before = RegisteredMessengerCount();
    RegisterMessenger(&a);
    RegisterMessenger(&a);
    RegisterMessenger(nullptr);
    EXPECT_EQ(RegisteredMessengerCount(), before + 1);
    EXPECT_TRUE(IsMessengerRegistered(&a));
    EXPECT_EQ(a.Text(), L"Loading UI components ...");
    EXPECT_FALSE(IsMessengerRegistered(&b));
    EXPECT_TRUE(b.Text().empty());
    UnregisterMessenger(&b);
    UnregisterMessenger(&a);
    EXPECT_EQ(RegisteredMessengerCount(), before);

    // Without a current progress source, attaching does nothing.
    AttachLoaderProgress();
    EXPECT_EQ(RegisteredMessengerCount(), before);

    ProgressRecorder window;
    SetLoaderProgressWindow(window.Window());
    SetCurrentProgressSource(&b);
    AttachLoaderProgress();
    EXPECT_TRUE(IsMessengerRegistered(&b));
    EXPECT_EQ(b.Listeners(), std::vector<HWND>{window.Window()});
    DetachLoaderProgress();
    EXPECT_FALSE(IsMessengerRegistered(&b));
    EXPECT_TRUE(b.Listeners().empty());
    SetCurrentProgressSource(nullptr);
    SetLoaderProgressWindow(nullptr);
}
