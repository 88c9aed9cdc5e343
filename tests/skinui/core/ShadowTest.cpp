#include "tests/skinui/support/TestWindow.h"

#include "skinui/core/ShadowUI.h"
#include "skinui/core/SkinWindowManager.h"

#include <gtest/gtest.h>

using namespace skintest;
using skinui::CShadowUI;

TEST(Shadow, SettingsOutsideTheirLimitsAreRefusedAndTheOldValueKept) {
    CShadowUI shadow;
    EXPECT_EQ(shadow.GetDarkness(), 150);
    EXPECT_EQ(shadow.GetSharpness(), 5);
    EXPECT_EQ(shadow.GetSize(), 0);
    EXPECT_TRUE(shadow.SetSize(-20));
    EXPECT_FALSE(shadow.SetSize(21));
    EXPECT_EQ(shadow.GetSize(), -20);
    EXPECT_FALSE(shadow.SetSharpness(21));
    EXPECT_FALSE(shadow.SetSharpness(-1));
    EXPECT_EQ(shadow.GetSharpness(), 5);
    EXPECT_FALSE(shadow.SetDarkness(256));
    EXPECT_TRUE(shadow.SetDarkness(255));
    EXPECT_FALSE(shadow.SetPosition(3, -21));
    EXPECT_EQ(shadow.GetPosition().y, 0);
    EXPECT_FALSE(shadow.SetShadowCorner({1, -1, 1, 1}));
}

TEST(Shadow, GeometryFollowsSizeAndOffsetOrTheImageCorner) {
    CShadowUI shadow;
    shadow.SetSize(6);
    shadow.SetPosition(2, 3);
    const RECT plain = shadow.ShadowRect({100, 100, 300, 200});
    EXPECT_EQ(plain.left, 96);
    EXPECT_EQ(plain.top, 97);
    EXPECT_EQ(plain.right, 308);
    EXPECT_EQ(plain.bottom, 209);
    shadow.SetImage(L"shadow.png");
    shadow.SetShadowCorner({5, 6, 7, 8});
    const RECT image = shadow.ShadowRect({100, 100, 300, 200});
    EXPECT_EQ(image.left, 95);
    EXPECT_EQ(image.top, 94);
    EXPECT_EQ(image.right, 307);
    EXPECT_EQ(image.bottom, 208);
}

TEST(Shadow, KernelIsSolidInsideThenFadesToZeroAtItsRadius) {
    EXPECT_EQ(CShadowUI::KernelAlpha(0, 10, 4, 200), 200);
    EXPECT_EQ(CShadowUI::KernelAlpha(5.9, 10, 4, 200), 200);
    EXPECT_EQ(CShadowUI::KernelAlpha(6, 10, 4, 200), 200);
    EXPECT_EQ(CShadowUI::KernelAlpha(8.5, 10, 4, 200), 100);
    EXPECT_EQ(CShadowUI::KernelAlpha(10.5, 10, 4, 200), 0);
    EXPECT_EQ(CShadowUI::KernelAlpha(0, 2, 5, 150), 150) << "no solid part when sharpness >= size";
    EXPECT_LT(CShadowUI::KernelAlpha(3, 2, 5, 150), 150);
}

TEST(Shadow, KernelShadowUsesOnlyTheColourChannelsAndSpreadsBeyondTheWindow) {
    CShadowUI shadow;
    shadow.SetSize(4);
    shadow.SetSharpness(4);
    shadow.SetDarkness(200);
    shadow.SetColor(0x00666666);
    const auto pixels = shadow.RenderKernelShadow(20, 10, nullptr);
    ASSERT_EQ(pixels.size(), size_t(28 * 18));
    const DWORD centre = pixels[9 * 28 + 14];
    EXPECT_EQ(centre >> 24, 200u) << "an alpha byte of 0 in the colour still shows";
    EXPECT_EQ((centre >> 16) & 0xFF, 0x66u * 200 / 255);
    EXPECT_EQ(pixels[0] >> 24, 0u) << "the far corner is beyond the kernel";
    EXPECT_GT(pixels[9 * 28 + 1] >> 24, 0u) << "the blur reaches out to the left";
}

TEST(Shadow, ShownShadowWindowSitsAroundTheSkinnedWindow) {
    TestWindow window(LR"(<Window size="200,100" showshadow="true" shadowsize="5"
        shadowpositon="1,1" shadowcolor="#FF000000"><Control bkcolor="#FFFFFFFF" /></Window>)");
    HWND hwnd = window.Open(200, 150);
    ASSERT_TRUE(hwnd);
    HWND shadow = window.Manager().GetShadow()->GetHWND();
    ASSERT_TRUE(shadow);
    ASSERT_TRUE(PumpUntilIdle()) << "showing the window and its shadow";
    EXPECT_EQ(GetWindow(shadow, GW_OWNER), hwnd);
    EXPECT_TRUE(GetWindowLongPtrW(shadow, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    RECT rc{};
    GetWindowRect(shadow, &rc);
    EXPECT_EQ(rc.left, 196);
    EXPECT_EQ(rc.top, 146);
    EXPECT_EQ(rc.right - rc.left, 210);
    EXPECT_EQ(rc.bottom - rc.top, 110);
    SetWindowPos(hwnd, nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(PumpUntilIdle()) << "moving the window";
    GetWindowRect(shadow, &rc);
    EXPECT_EQ(rc.left, 296);
    DestroyWindow(hwnd);
    EXPECT_FALSE(IsWindow(shadow));
}
