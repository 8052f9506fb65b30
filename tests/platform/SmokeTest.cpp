#include <windows.h>
#include <gtest/gtest.h>

TEST(Smoke, WindowUnderWine)
{
    HWND w = CreateWindowW(L"STATIC", L"x", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(DestroyWindow(w));
}
