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
    EXPECT_FALSE(shadow.SetDarkness(-1));
    EXPECT_EQ(shadow.GetDarkness(), 150);
    EXPECT_TRUE(shadow.SetDarkness(255));
    EXPECT_EQ(shadow.GetDarkness(), 255);
    EXPECT_TRUE(shadow.SetPosition(4, -5));
    EXPECT_FALSE(shadow.SetPosition(3, -21));
    EXPECT_FALSE(shadow.SetPosition(21, 3));
    EXPECT_EQ(shadow.GetPosition().x, 4);
    EXPECT_EQ(shadow.GetPosition().y, -5);
    // The corner shows only in the geometry of an image shadow.
    shadow.SetImage(L"shadow.png");
    shadow.SetPosition(0, 0);
    EXPECT_TRUE(shadow.SetShadowCorner({5, 6, 7, 8}));
    const RECT kept = shadow.ShadowRect({100, 100, 300, 200});
    EXPECT_FALSE(shadow.SetShadowCorner({1, -1, 1, 1}));
    const RECT after = shadow.ShadowRect({100, 100, 300, 200});
    EXPECT_TRUE(EqualRect(&after, &kept));
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
    // The window covers columns 4..23 and rows 4..13; one pixel left of it is 1 from the edge.
    const DWORD beside = pixels[9 * 28 + 3];
    EXPECT_EQ(beside >> 24, 160u) << "an alpha byte of 0 in the colour still shows";
    EXPECT_EQ((beside >> 16) & 0xFF, 0x66u * 160 / 255);
    EXPECT_EQ(pixels[0] >> 24, 0u) << "the far corner is beyond the kernel";
    EXPECT_GT(pixels[9 * 28 + 1] >> 24, 0u) << "the blur reaches out to the left";
}

TEST(Shadow, WhatTheWindowCoversStaysClearSoTheShadowNeverHidesIt) {
    CShadowUI shadow;
    shadow.SetSize(3);
    shadow.SetSharpness(0);
    shadow.SetPosition(1, 1);
    shadow.SetColor(0x00666666);
    HRGN region = CreateRoundRectRgn(0, 0, 21, 11, 6, 6);
    const auto pixels = shadow.RenderKernelShadow(20, 10, region);
    DeleteObject(region);
    ASSERT_EQ(pixels.size(), size_t(26 * 16));
    const auto alphaAt = [&](int x, int y) { return pixels[y * 26 + x] >> 24; };
    // The window lies at 2,2 in the shadow's bitmap (size 3 less offset 1).
    EXPECT_EQ(alphaAt(12, 7), 0u) << "under the window's middle";
    EXPECT_EQ(alphaAt(3, 3), 0u) << "under the window, just inside its rounded corner";
    EXPECT_GT(alphaAt(23, 7), 0u) << "the rim right of the window";
    EXPECT_GT(alphaAt(12, 13), 0u) << "the rim below the window";
    EXPECT_GT(alphaAt(2, 2), 0u) << "the corner the rounded region cuts off shows the shadow";
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

TEST(Shadow, WindowCreatedHiddenGetsItsShadowAndRoundCornerWhenShown) {
    TestWindow window(LR"(<Window size="200,100" roundcorner="3,3" showshadow="true"
        shadowsize="3" shadowpositon="1,1" shadowcolor="#00666666"><Control bkcolor="#FFFFFFFF" />
        </Window>)");
    HWND hwnd = window.Create(nullptr, L"test", WS_POPUP, 0, 200, 150, 0, 0);
    ASSERT_TRUE(hwnd);
    ASSERT_TRUE(PumpUntilIdle()) << "creating the hidden window";
    HWND shadow = window.Manager().GetShadow()->GetHWND();
    ASSERT_TRUE(shadow);
    EXPECT_FALSE(IsWindowVisible(shadow)) << "no shadow around a hidden window";

    window.ShowWindow(true, true);
    ASSERT_TRUE(PumpUntilIdle()) << "showing the window";
    EXPECT_TRUE(IsWindowVisible(shadow));
    RECT rc{};
    GetWindowRect(shadow, &rc);
    EXPECT_EQ(rc.left, 198);
    EXPECT_EQ(rc.top, 148);
    EXPECT_EQ(rc.right - rc.left, 206);
    EXPECT_EQ(rc.bottom - rc.top, 106);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(hwnd, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << "the corner is cut off";
    EXPECT_TRUE(PtInRegion(region, 100, 50));
    DeleteObject(region);
    DestroyWindow(hwnd);
}
