#include "tests/skinui/support/TestWindow.h"

#include "skinui/core/SkinWindowManager.h"
#include "win32/GdiObject.h"

#include <gtest/gtest.h>

using namespace skintest;

namespace {

constexpr wchar_t kFrameSkin[] = LR"(<Window size="300,200" roundcorner="9,9,3,3" mininfo="120,80"
    maxinfo="600,400" caption="0,0,0,30">
  <HorizontalLayout>
    <Button name="maxbtn" width="30" /><Button name="restorebtn" width="30" visible="false" />
    <Button name="minbtn" width="30" /><Control />
  </HorizontalLayout>
</Window>)";

} // namespace

TEST(Frame, CreationDropsTheCaptionAndClipsChildren) {
    TestWindow window(kFrameSkin);
    HWND hwnd = window.Open();
    ASSERT_TRUE(hwnd);
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_CLIPCHILDREN);
    EXPECT_TRUE(style & WS_CLIPSIBLINGS);
    RECT window_rect{}, client{};
    GetWindowRect(hwnd, &window_rect);
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, window_rect.right - window_rect.left) << "no frame";
    DestroyWindow(hwnd);
}

TEST(Frame, RoundCornerRegionReadsOnlyTheFirstTwoNumbers) {
    TestWindow window(kFrameSkin);
    HWND hwnd = window.Open();
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(window.Manager().GetRoundCorner().cx, 9);
    EXPECT_EQ(window.Manager().GetRoundCorner().cy, 9);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(hwnd, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << "the corner is cut off";
    EXPECT_TRUE(PtInRegion(region, 150, 100));
    EXPECT_TRUE(PtInRegion(region, 299, 100));
    DeleteObject(region);
    DestroyWindow(hwnd);
}

TEST(Frame, WindowWithoutRoundCornersStillGetsARegionCoveringIt) {
    TestWindow window(LR"(<Window size="300,200"><Control /></Window>)");
    HWND hwnd = window.Open();
    ASSERT_TRUE(hwnd);
    const win32::UniqueHandle<win32::GdiObjectTraits<HRGN>> region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(hwnd, region.get()), SIMPLEREGION);
    RECT box{};
    GetRgnBox(region.get(), &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_GE(box.right, 300);
    EXPECT_GE(box.bottom, 200);
    DestroyWindow(hwnd);
}

TEST(Frame, MinMaxInfoComesFromTheSkin) {
    TestWindow window(kFrameSkin);
    HWND hwnd = window.Open();
    ASSERT_TRUE(hwnd);
    MINMAXINFO info{};
    SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 120);
    EXPECT_EQ(info.ptMinTrackSize.y, 80);
    EXPECT_EQ(info.ptMaxTrackSize.x, 600);
    EXPECT_EQ(info.ptMaxTrackSize.y, 400);
    DestroyWindow(hwnd);
}

TEST(Frame, MaximiseAndRestoreSwapTheSystemButtons) {
    TestWindow window(kFrameSkin);
    HWND hwnd = window.Open();
    ASSERT_TRUE(hwnd);
    auto* maxButton = window.Manager().FindControl(L"maxbtn");
    auto* restoreButton = window.Manager().FindControl(L"restorebtn");
    ASSERT_TRUE(maxButton && restoreButton);
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    ASSERT_TRUE(PumpUntil("the maximised window", [&] { return IsZoomed(hwnd) != FALSE; }));
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_FALSE(maxButton->IsVisible());
    EXPECT_TRUE(restoreButton->IsVisible());
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(PumpUntilIdle()) << "after restoring";
    EXPECT_FALSE(IsZoomed(hwnd));
    EXPECT_TRUE(maxButton->IsVisible());
    EXPECT_FALSE(restoreButton->IsVisible());
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(window.closeCodes.size(), 1u);
    EXPECT_EQ(window.closeCodes[0], 0u) << "the close command sends close with 0";
    DestroyWindow(hwnd);
}

TEST(Frame, CreationKeepsTheRequestedPosition) {
    TestWindow window(kFrameSkin);
    HWND hwnd = window.Open(140, 120);
    ASSERT_TRUE(hwnd);
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    EXPECT_EQ(rc.left, 140);
    EXPECT_EQ(rc.top, 120);
    EXPECT_EQ(rc.right - rc.left, 300) << "the skin's size";
    DestroyWindow(hwnd);
}

TEST(Frame, TranslucentBackgroundMakesALayeredWindowThatStillLaysOut) {
    TestWindow window(LR"(<Window size="120,80" bktrans="true">
        <VerticalLayout bkcolor="#80FF0000"><Button name="b" height="20" /></VerticalLayout>
    </Window>)");
    HWND hwnd = window.Open();
    ASSERT_TRUE(hwnd);
    ASSERT_TRUE(PumpUntil("windowinit", [&] { return window.Count(L"windowinit") == 1; }));
    EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(window.Manager().FindControl(L"b")->GetPos().bottom, 20);
    DestroyWindow(hwnd);
}
