#include "tests/skinui/support/TestWindow.h"

#include "skinui/core/SkinWindowManager.h"
#include "tests/support/PointerInput.h"
#include "win32/GdiObject.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <thread>

using namespace skintest;

// What the pointer and the screen really do: input injected through the system's input queue
// from another thread while the window's thread runs its loop, and pixels read back from the
// window's own surface.
namespace {

constexpr wchar_t kPointerSkin[] = LR"(<Window size="300,200" caption="0,0,0,40" showdirty="true">
  <VerticalLayout bkcolor="#FFFFFFFF">
    <HorizontalLayout height="40">
      <Label name="title" width="150" />
      <Button name="help" width="75" tooltip="帮助说明" />
      <Button name="more" width="75" tooltip="更多选项" />
    </HorizontalLayout>
    <Control />
  </VerticalLayout>
</Window>)";

using testsupport::InjectMouse;
using testsupport::ScreenPoint;

// Presses at `from`, moves in steps to `to` and releases there, from a thread of its own: the
// window thread may sit in a modal loop meanwhile.
std::thread DragThread(POINT from, POINT to) {
    return std::thread([from, to] {
        InjectMouse(MOUSEEVENTF_MOVE, from);
        Sleep(50);
        InjectMouse(MOUSEEVENTF_LEFTDOWN);
        Sleep(100);
        constexpr int kSteps = 5;
        for (int i = 1; i <= kSteps; ++i) {
            InjectMouse(MOUSEEVENTF_MOVE, {from.x + (to.x - from.x) * i / kSteps,
                                           from.y + (to.y - from.y) * i / kSteps});
            Sleep(40);
        }
        InjectMouse(MOUSEEVENTF_LEFTUP);
    });
}

struct ToolTipSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchToolTip(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<ToolTipSearch*>(data);
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    if (_wcsicmp(className, TOOLTIPS_CLASSW) != 0 || GetWindow(hwnd, GW_OWNER) != search->owner)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND FindToolTipOf(HWND owner) {
    ToolTipSearch search{owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchToolTip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ToolTipText(HWND tip, HWND owner) {
    wchar_t text[256] = {};
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(owner);
    info.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&info));
    return text;
}


class PointerWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<TestWindow>(kPointerSkin);
        hwnd = window->Open(100, 100);
        ASSERT_TRUE(hwnd);
        ASSERT_TRUE(PumpUntil("windowinit", [this] { return window->Count(L"windowinit") > 0; }));
    }
    void TearDown() override {
        if (hwnd && IsWindow(hwnd))
            DestroyWindow(hwnd);
        SetCursorPos(0, 0);
        EXPECT_TRUE(PumpUntilIdle()) << "closing the window";
    }

    std::unique_ptr<TestWindow> window;
    HWND hwnd = nullptr;
};

TEST_F(PointerWindow, DraggingTheCaptionMovesTheWindowButDraggingAButtonDoesNot) {
    RECT before{};
    GetWindowRect(hwnd, &before);
    std::thread drag = DragThread(ScreenPoint(hwnd, 50, 20), ScreenPoint(hwnd, 110, 60));
    const bool moved = PumpUntil(
        "the dragged window",
        [&] {
            RECT now{};
            GetWindowRect(hwnd, &now);
            return now.left == before.left + 60 && now.top == before.top + 40;
        },
        5000);
    drag.join();
    ASSERT_TRUE(PumpUntilIdle()) << "after the drag";
    RECT after{};
    GetWindowRect(hwnd, &after);
    EXPECT_TRUE(moved) << "window at " << after.left << "," << after.top << " from " << before.left
                       << "," << before.top;
    EXPECT_EQ(window->Count(L"click"), 0);

    std::thread press = DragThread(ScreenPoint(hwnd, 180, 20), ScreenPoint(hwnd, 190, 30));
    const bool clicked = PumpUntil(
        "the click on the button", [&] { return window->Count(L"click") > 0; }, 5000);
    press.join();
    ASSERT_TRUE(PumpUntilIdle()) << "after the press";
    EXPECT_TRUE(clicked);
    RECT still{};
    GetWindowRect(hwnd, &still);
    EXPECT_EQ(still.left, after.left);
    EXPECT_EQ(still.top, after.top);
    EXPECT_EQ(window->Count(L"click", L"help"), 1) << "released inside the button";
}

TEST_F(PointerWindow, RestingOnAControlWithATooltipShowsItUntilThePointerLeaves) {
    SetCursorPos(ScreenPoint(hwnd, 20, 100).x, ScreenPoint(hwnd, 20, 100).y);
    ASSERT_TRUE(PumpUntilIdle()) << "after the pointer came in";
    const POINT onHelp = ScreenPoint(hwnd, 180, 20);
    SetCursorPos(onHelp.x, onHelp.y);
    HWND tip = nullptr;
    ASSERT_TRUE(PumpUntil("a tooltip after resting on the button", [&] {
        tip = FindToolTipOf(hwnd);
        return tip && IsWindowVisible(tip);
    }));
    EXPECT_EQ(ToolTipText(tip, hwnd), L"帮助说明");

    const POINT onMore = ScreenPoint(hwnd, 260, 20);
    SetCursorPos(onMore.x, onMore.y);
    EXPECT_TRUE(
        PumpUntil("the next control's tooltip text",
                  [&] { return IsWindowVisible(tip) && ToolTipText(tip, hwnd) == L"更多选项"; }))
        << "it shows " << (IsWindowVisible(tip) ? "stale" : "no") << " text";

    SetCursorPos(0, 0);
    EXPECT_TRUE(PumpUntil("the tooltip to go when the pointer left",
                          [&] { return !IsWindowVisible(tip); }));
}

TEST_F(PointerWindow, ShowDirtyOutlinesEachRepaintedAreaInRed) {
    ASSERT_TRUE(PumpUntilIdle());
    RECT area{60, 80, 160, 130};
    InvalidateRect(hwnd, &area, FALSE);
    UpdateWindow(hwnd);
    const win32::WindowDc surface(hwnd);
    ASSERT_TRUE(surface);
    HDC dc = surface.get();
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF white = RGB(255, 255, 255);
    EXPECT_EQ(GetPixel(dc, 60, 100), red);
    EXPECT_EQ(GetPixel(dc, 100, 80), red);
    EXPECT_EQ(GetPixel(dc, 159, 100), red);
    EXPECT_EQ(GetPixel(dc, 100, 129), red);
    EXPECT_EQ(GetPixel(dc, 100, 100), white) << "only the outline";
    EXPECT_EQ(GetPixel(dc, 59, 100), white) << "nothing outside the area";
}

} // namespace
