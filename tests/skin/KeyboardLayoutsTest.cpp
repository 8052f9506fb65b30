#include "skin/KeyboardLayouts.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A system that records the layout calls; layouts are numbered handles, the user's own is 0x500.
struct FakeSystem
{
    std::vector<std::wstring> calls;
    HKL active = reinterpret_cast<HKL>(0x500);
    int loads = 0;
    bool unloadFails = false;
};
FakeSystem g_system;

HKL Handle(uintptr_t n) { return reinterpret_cast<HKL>(n); }
std::wstring Name(HKL h) { return std::to_wstring(reinterpret_cast<uintptr_t>(h)); }

HKL WINAPI FakeCurrent(DWORD)
{
    return g_system.active;
}

// Loading with KLF_ACTIVATE switches at once; "own" is the user's layout, loaded already.
HKL WINAPI FakeLoad(LPCWSTR name, UINT flags)
{
    g_system.calls.push_back(L"load " + std::wstring(name) + L" " + std::to_wstring(flags));
    if (std::wstring(name) == L"bad")
        return nullptr;
    if (std::wstring(name) == L"own")
        return g_system.active;
    g_system.active = Handle(0x1000 + ++g_system.loads);
    return g_system.active;
}

HKL WINAPI FakeActivate(HKL layout, UINT flags)
{
    g_system.calls.push_back(L"activate " + Name(layout) + L" " + std::to_wstring(flags));
    HKL previous = g_system.active;
    g_system.active = layout;
    return previous;
}

BOOL WINAPI FakeUnload(HKL layout)
{
    g_system.calls.push_back(L"unload " + Name(layout));
    return !g_system.unloadFails;
}

std::vector<std::wstring> TakeCalls()
{
    std::vector<std::wstring> calls;
    calls.swap(g_system.calls);
    return calls;
}

struct CSetting : CKeyboardLayoutSetting
{
    explicit CSetting(const wchar_t* name) { layoutName = name; }
};

} // namespace

TEST(KeyboardLayouts, ActivateAndRestoreBookkeeping)
{
    g_system = FakeSystem();
    CKeyboardLayouts layouts({ &FakeCurrent, &FakeLoad, &FakeActivate, &FakeUnload });
    CSetting english(L"00000409");
    CSetting german(L"00000407");
    EXPECT_EQ(english.kind, ItemKind::KeyboardLayoutSetting);
    layouts.Register(15, &english);
    layouts.Register(20, &german);

    EXPECT_FALSE(layouts.Activate(16));
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_EQ(layouts.Active(), nullptr);

    ASSERT_TRUE(layouts.Activate(15));
    EXPECT_EQ(TakeCalls(), (std::vector<std::wstring>{ L"load 00000409 1", L"activate 4097 256" }));
    EXPECT_EQ(layouts.Active(), &english);
    EXPECT_EQ(layouts.LoadedLayout(), Handle(0x1001));
    EXPECT_EQ(layouts.PreviousLayout(), Handle(0x500));

    // A second activation first puts the user's layout back and unloads the first.
    ASSERT_TRUE(layouts.Activate(20));
    EXPECT_EQ(TakeCalls(), (std::vector<std::wstring>{ L"activate 1280 256", L"unload 4097", L"load 00000407 1",
                                                       L"activate 4098 256" }));
    EXPECT_EQ(layouts.Active(), &german);
    EXPECT_EQ(layouts.PreviousLayout(), Handle(0x500));

    layouts.Restore();
    EXPECT_EQ(TakeCalls(), (std::vector<std::wstring>{ L"activate 1280 256", L"unload 4098" }));
    EXPECT_EQ(layouts.LoadedLayout(), nullptr);
    EXPECT_EQ(layouts.PreviousLayout(), nullptr);
    EXPECT_EQ(g_system.active, Handle(0x500));
    layouts.Restore();
    EXPECT_TRUE(TakeCalls().empty());
}

TEST(KeyboardLayouts, FailuresOfTheSystem)
{
    g_system = FakeSystem();
    CKeyboardLayouts layouts({ &FakeCurrent, &FakeLoad, &FakeActivate, &FakeUnload });
    CSetting bad(L"bad");
    CSetting english(L"00000409");
    layouts.Register(99, &bad);
    layouts.Register(15, &english);

    // A layout that cannot be loaded is a failure, so that the caller can fall back.
    EXPECT_FALSE(layouts.Activate(99));
    EXPECT_EQ(TakeCalls(), (std::vector<std::wstring>{ L"load bad 1" }));
    EXPECT_EQ(layouts.Active(), nullptr);
    EXPECT_EQ(layouts.LoadedLayout(), nullptr);

    // A layout that cannot be unloaded stays recorded, and the next restore tries again.
    ASSERT_TRUE(layouts.Activate(15));
    TakeCalls();
    g_system.unloadFails = true;
    layouts.Restore();
    EXPECT_EQ(TakeCalls(), (std::vector<std::wstring>{ L"activate 1280 256", L"unload 4097" }));
    EXPECT_EQ(layouts.LoadedLayout(), Handle(0x1001));
    g_system.unloadFails = false;
    layouts.Restore();
    EXPECT_EQ(TakeCalls(), (std::vector<std::wstring>{ L"activate 1280 256", L"unload 4097" }));
    EXPECT_EQ(layouts.LoadedLayout(), nullptr);

    // The user's own layout is never unloaded.
    CSetting own(L"own");
    layouts.Register(27, &own);
    ASSERT_TRUE(layouts.Activate(27));
    EXPECT_EQ(TakeCalls(), (std::vector<std::wstring>{ L"load own 1", L"activate 1280 256" }));
    layouts.Restore();
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_EQ(layouts.LoadedLayout(), nullptr);
    EXPECT_EQ(g_system.active, Handle(0x500));
}

TEST(KeyboardLayouts, DestroyedSettingsAreNoLongerFound)
{
    // A destroyed setting leaves the program's layouts under every id it had; a setting that
    // replaced it under one id stays.
    auto english = std::make_unique<CSetting>(L"00000409");
    CSetting uk(L"00000809");
    KeyboardLayouts().Register(15, english.get());
    KeyboardLayouts().Register(27, english.get());
    KeyboardLayouts().Register(27, &uk);
    KeyboardLayouts().Register(1, english.get());
    english.reset();
    EXPECT_EQ(KeyboardLayouts().Find(15), nullptr);
    EXPECT_EQ(KeyboardLayouts().Find(1), nullptr);
    EXPECT_EQ(KeyboardLayouts().Find(27), &uk);
    EXPECT_FALSE(KeyboardLayouts().Activate(15));

    // Leaving drops the active setting, but the layout it loaded is still undone.
    g_system = FakeSystem();
    CKeyboardLayouts layouts({ &FakeCurrent, &FakeLoad, &FakeActivate, &FakeUnload });
    CSetting german(L"00000407");
    auto french = std::make_unique<CSetting>(L"0000040C");
    layouts.Register(18, french.get());
    layouts.Register(20, &german);
    ASSERT_TRUE(layouts.Activate(18));
    TakeCalls();
    layouts.Unregister(&german);
    EXPECT_EQ(layouts.Active(), french.get());
    layouts.Unregister(french.get());
    french.reset();
    EXPECT_EQ(layouts.Active(), nullptr);
    EXPECT_EQ(layouts.Find(18), nullptr);
    EXPECT_EQ(layouts.Find(20), nullptr);
    EXPECT_EQ(layouts.LoadedLayout(), Handle(0x1001));
    EXPECT_FALSE(layouts.Activate(18));
    EXPECT_TRUE(TakeCalls().empty());
    layouts.Restore();
    EXPECT_EQ(TakeCalls(), (std::vector<std::wstring>{ L"activate 1280 256", L"unload 4097" }));
    EXPECT_EQ(g_system.active, Handle(0x500));
}
