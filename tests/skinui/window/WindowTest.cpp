#include "tests/skinui/support/TestWindow.h"

#include "skinui/core/ContainerUI.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/layouts/TabLayoutUI.h"

#include <gtest/gtest.h>

using namespace skintest;
using skinui::CControlUI;

namespace {

constexpr wchar_t kCaptionSkin[] = LR"(<Window size="530,356" caption="0,0,0,356" sizebox="4,4,4,4">
  <VerticalLayout name="root">
    <HorizontalLayout height="40" name="row">
      <Label name="label" width="50" />
      <Button name="button" width="50" />
      <FakeOption width="50" /><FakeEdit width="50" /><FakeText width="50" />
      <FakeSlider width="50" /><FakeScrollBar width="50" /><FakeRichEdit width="50" />
    </HorizontalLayout>
    <Control name="body" />
  </VerticalLayout>
</Window>)";

constexpr wchar_t kButtonsSkin[] = LR"(<Window size="300,200" caption="0,0,0,30">
  <VerticalLayout name="dup">
    <HorizontalLayout height="40">
      <Button name="go" width="100" />
      <Button name="closebtn" width="50" />
      <Button name="other" width="50" />
      <Control name="dup" />
    </HorizontalLayout>
    <TabLayout name="tabs" selectedid="1">
      <Control name="p0" /><Control name="p1" />
    </TabLayout>
  </VerticalLayout>
</Window>)";

LPARAM ClientPoint(int x, int y) {
    return MAKELPARAM(x, y);
}

LRESULT HitTest(HWND hwnd, int x, int y) {
    POINT pt{x, y};
    ClientToScreen(hwnd, &pt);
    return SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
}

void Click(HWND hwnd, POINT down, POINT up) {
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, ClientPoint(down.x, down.y));
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(down.x, down.y));
    PostMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(up.x, up.y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, ClientPoint(up.x, up.y));
    EXPECT_TRUE(PumpUntilIdle()) << "clicking from " << down.x << "," << down.y << " to " << up.x
                                 << "," << up.y;
}

class OpenWindow : public ::testing::Test {
protected:
    void Open(const wchar_t* markup) {
        window = std::make_unique<TestWindow>(markup);
        hwnd = window->Open();
        ASSERT_TRUE(hwnd);
        ASSERT_TRUE(PumpUntil("windowinit", [this] { return window->Count(L"windowinit") > 0; }));
    }
    void TearDown() override {
        if (hwnd && IsWindow(hwnd))
            DestroyWindow(hwnd);
        EXPECT_TRUE(PumpUntilIdle()) << "closing the window";
    }
    CControlUI* Find(const wchar_t* name) { return window->Manager().FindControl(name); }
    // Appends each mouse enter and leave the control receives to events.
    static void RecordEnterAndLeave(CControlUI* control, std::vector<int>& events) {
        control->OnEvent.push_back([&events](skinui::UiEvent& event) {
            if (event.type == skinui::kEventMouseEnter || event.type == skinui::kEventMouseLeave)
                events.push_back(event.type);
            return true;
        });
    }

    std::unique_ptr<TestWindow> window;
    HWND hwnd = nullptr;
};

} // namespace

TEST_F(OpenWindow, CaptionDragsOnLabelsButNotOnInteractiveControls) {
    Open(kCaptionSkin);
    RECT client{};
    GetClientRect(hwnd, &client);
    ASSERT_EQ(client.right, 530);
    ASSERT_EQ(client.bottom, 356);
    EXPECT_EQ(HitTest(hwnd, 25, 20), HTCAPTION) << "label";
    for (int x = 75; x < 400; x += 50)
        EXPECT_EQ(HitTest(hwnd, x, 20), HTCLIENT) << "control at x=" << x;
    EXPECT_EQ(HitTest(hwnd, 265, 200), HTCAPTION) << "plain control";
}

TEST_F(OpenWindow, SizeBoxGivesResizeBordersAndCorners) {
    Open(kCaptionSkin);
    EXPECT_EQ(HitTest(hwnd, 1, 1), HTTOPLEFT);
    EXPECT_EQ(HitTest(hwnd, 528, 2), HTTOPRIGHT);
    EXPECT_EQ(HitTest(hwnd, 265, 1), HTTOP);
    EXPECT_EQ(HitTest(hwnd, 1, 354), HTBOTTOMLEFT);
    EXPECT_EQ(HitTest(hwnd, 529, 355), HTBOTTOMRIGHT);
    EXPECT_EQ(HitTest(hwnd, 265, 354), HTBOTTOM);
    EXPECT_EQ(HitTest(hwnd, 2, 200), HTLEFT);
    EXPECT_EQ(HitTest(hwnd, 528, 200), HTRIGHT);
    // Every border is exactly the size box's 4 pixels wide.
    EXPECT_EQ(HitTest(hwnd, 3, 200), HTLEFT);
    EXPECT_EQ(HitTest(hwnd, 4, 200), HTCAPTION);
    EXPECT_EQ(HitTest(hwnd, 526, 200), HTRIGHT);
    EXPECT_EQ(HitTest(hwnd, 525, 200), HTCAPTION);
    EXPECT_EQ(HitTest(hwnd, 265, 3), HTTOP);
    EXPECT_EQ(HitTest(hwnd, 265, 352), HTBOTTOM);
    EXPECT_EQ(HitTest(hwnd, 265, 351), HTCAPTION);
}

TEST_F(OpenWindow, OutsideTheCaptionIsClientArea) {
    Open(kButtonsSkin);
    EXPECT_EQ(HitTest(hwnd, 250, 20), HTCAPTION) << "inside caption, plain control";
    EXPECT_EQ(HitTest(hwnd, 250, 100), HTCLIENT);
}

TEST_F(OpenWindow, WindowInitComesOnceFromTheRootAndSelectedIdSendsNoTabSelect) {
    Open(kButtonsSkin);
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_EQ(window->Count(L"windowinit"), 1);
    EXPECT_EQ(window->notifications.front().type, L"windowinit");
    EXPECT_EQ(window->notifications.front().sender, window->Manager().GetRoot());
    EXPECT_EQ(window->Count(L"tabselect"), 0);
    auto* tabs = static_cast<skinui::CTabLayoutUI*>(Find(L"tabs"));
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->GetCurSel(), 1);
    tabs->SelectItem(1);
    EXPECT_EQ(window->Count(L"tabselect"), 0) << "the visible page was selected again";
    tabs->SelectItem(0);
    ASSERT_EQ(window->Count(L"tabselect"), 1);
    EXPECT_EQ(window->notifications.back().type, L"tabselect");
}

TEST_F(OpenWindow, LaterControlsWinTheNameMapSoAContainerBeatsItsDescendants) {
    Open(kButtonsSkin);
    ASSERT_TRUE(Find(L"dup"));
    EXPECT_EQ(Find(L"dup"), window->Manager().GetRoot());
}

TEST_F(OpenWindow, ClickNeedsPressAndReleaseInside) {
    Open(kButtonsSkin);
    Click(hwnd, {50, 20}, {60, 25});
    EXPECT_EQ(window->Count(L"click", L"go"), 1);
    Click(hwnd, {50, 20}, {250, 150});
    EXPECT_EQ(window->Count(L"click", L"go"), 1) << "released outside";
    Click(hwnd, {250, 150}, {50, 20});
    EXPECT_EQ(window->Count(L"click", L"go"), 1) << "pressed outside";
    EXPECT_TRUE(window->closeCodes.empty());
}

TEST_F(OpenWindow, CloseButtonPostsCloseWithCodeOne) {
    Open(kButtonsSkin);
    Click(hwnd, {125, 20}, {125, 20});
    ASSERT_EQ(window->Count(L"click", L"closebtn"), 1);
    ASSERT_EQ(window->closeCodes.size(), 1u);
    EXPECT_EQ(window->closeCodes[0], 1u);
}

TEST_F(OpenWindow, TimersDeliverTimerNotificationsUntilKilled) {
    constexpr UINT kIntervalMs = 15;
    Open(kButtonsSkin);
    skinui::SkinWindowManager& manager = window->Manager();
    CControlUI* other = Find(L"other");
    ASSERT_TRUE(manager.SetTimer(other, 7, kIntervalMs));
    EXPECT_FALSE(manager.SetTimer(other, 7, kIntervalMs)) << "a live timer cannot be set twice";
    ASSERT_TRUE(PumpUntil("two timer notifications",
                          [&] { return window->Count(L"timer", L"other") >= 2; }));
    for (const auto& notification : window->notifications) {
        if (notification.type == L"timer") {
            EXPECT_EQ(notification.wParam, 7u);
        }
    }
    EXPECT_TRUE(manager.KillTimer(other, 7));
    ASSERT_TRUE(PumpUntilIdle());
    const int fired = window->Count(L"timer");
    // Time itself must pass here: several intervals in which the killed timer could fire.
    PumpFor(6 * kIntervalMs);
    EXPECT_EQ(window->Count(L"timer"), fired) << "the killed timer fired again";
    EXPECT_TRUE(manager.SetTimer(other, 7, kIntervalMs)) << "a killed timer is re-armed";
    ASSERT_TRUE(PumpUntil("the re-armed timer", [&] { return window->Count(L"timer") > fired; }));
}

TEST_F(OpenWindow, TabMovesFocusBetweenTabStopsWithFocusNotifications) {
    Open(kButtonsSkin);
    skinui::SkinWindowManager& manager = window->Manager();
    EXPECT_EQ(manager.GetFocus(), Find(L"go")) << "the first tab stop takes focus at first paint";
    window->notifications.clear();
    PostMessageW(hwnd, WM_KEYDOWN, VK_TAB, 0);
    ASSERT_TRUE(PumpUntilIdle()) << "after Tab";
    // The close button comes last, as in a native dialog.
    EXPECT_EQ(manager.GetFocus(), Find(L"other"));
    ASSERT_EQ(window->Count(L"killfocus", L"go"), 1);
    ASSERT_EQ(window->Count(L"setfocus", L"other"), 1);
    PostMessageW(hwnd, WM_KEYDOWN, VK_TAB, 0);
    PostMessageW(hwnd, WM_KEYDOWN, VK_TAB, 0);
    ASSERT_TRUE(PumpUntilIdle()) << "after two more Tabs";
    EXPECT_EQ(manager.GetFocus(), Find(L"go")) << "focus wraps around";
}

TEST_F(OpenWindow, EscapeClosesOnlyThroughTheCloseButton) {
    Open(kButtonsSkin);
    Find(L"closebtn")->SetVisible(false);
    PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(hwnd, WM_KEYUP, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntilIdle()) << "after Escape";
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(window->closeCodes.empty()) << "without a close button Escape closes nothing";
    Find(L"closebtn")->SetVisible(true);
    PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntilIdle()) << "after Escape";
    EXPECT_EQ(window->Count(L"click", L"closebtn"), 1);
    EXPECT_EQ(window->closeCodes.size(), 1u);
}

TEST_F(OpenWindow, QueuedNotificationsArriveAtTheNextMessage) {
    Open(kButtonsSkin);
    skinui::SkinWindowManager& manager = window->Manager();
    manager.SendNotify(Find(L"other"), L"later", 3, 4, true);
    EXPECT_EQ(window->Count(L"later"), 0);
    ASSERT_TRUE(PumpUntil("the queued notification", [&] { return window->Count(L"later") == 1; }));
    EXPECT_EQ(window->notifications.back().wParam, 3u);
}

TEST_F(OpenWindow, DelayedDestructionHappensAfterTheCurrentMessage) {
    Open(kButtonsSkin);
    auto* root = static_cast<skinui::CContainerUI*>(window->Manager().GetRoot());
    bool destroyed = false;
    CControlUI* tabs = Find(L"tabs");
    tabs->OnDestroy.push_back([&destroyed](CControlUI&) { destroyed = true; });
    root->SetDelayedDestroy(true);
    ASSERT_TRUE(root->Remove(tabs));
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(Find(L"tabs"), tabs) << "still reachable by name until it is reaped";
    ASSERT_TRUE(PumpUntil("the removed control's destruction", [&] { return destroyed; }));
    EXPECT_EQ(Find(L"tabs"), nullptr);
}

TEST(WindowLifetime, ClosingWithPendingTimersAndQueuedNotificationsIsSafe) {
    bool destroyed = false;
    auto* window = new TestWindow(kButtonsSkin);
    window->deleteOnLastMessage = true;
    window->destroyedFlag = &destroyed;
    HWND hwnd = window->Open();
    ASSERT_TRUE(hwnd);
    skinui::SkinWindowManager& manager = window->Manager();
    CControlUI* other = manager.FindControl(L"other");
    ASSERT_TRUE(other);
    ASSERT_TRUE(manager.SetTimer(other, 1, 1));
    ASSERT_TRUE(manager.SetTimer(other, 2, 5));
    manager.SendNotify(other, L"queued", 0, 0, true);
    DestroyWindow(hwnd);
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(PumpUntilIdle()) << "what was pending when the window went";
    EXPECT_FALSE(IsWindow(hwnd));
}

namespace {

constexpr wchar_t kSeparatorSkin[] = LR"(<Window size="300,300">
  <VerticalLayout>
    <VerticalLayout name="live" height="100" sepheight="6" sepimm="true" minheight="50"
        maxheight="150" />
    <HorizontalLayout name="preview" height="100" sepwidth="-4">
      <Control width="100" name="left" />
      <HorizontalLayout name="sized" width="120" sepwidth="-4" />
    </HorizontalLayout>
    <Control name="rest" />
  </VerticalLayout>
</Window>)";

void Drag(HWND hwnd, POINT from, POINT to) {
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(from.x, from.y));
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    PostMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    EXPECT_TRUE(PumpUntilIdle()) << "dragging from " << from.x << "," << from.y << " to " << to.x
                                 << "," << to.y;
}

void Release(HWND hwnd, POINT at) {
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    EXPECT_TRUE(PumpUntilIdle()) << "releasing at " << at.x << "," << at.y;
}

} // namespace

TEST_F(OpenWindow, SeparatorResizesAtOnceInImmediateModeWithinMinAndMax) {
    Open(kSeparatorSkin);
    CControlUI* live = Find(L"live");
    Drag(hwnd, {50, 97}, {50, 127});
    EXPECT_EQ(live->GetFixedHeight(), 130);
    Release(hwnd, {50, 127});
    EXPECT_EQ(live->GetPos().bottom, 130) << "the parent laid out again";
    Drag(hwnd, {50, 127}, {50, 260});
    Release(hwnd, {50, 260});
    EXPECT_EQ(live->GetFixedHeight(), 150) << "a drag beyond maxheight stops at it";
    Drag(hwnd, {50, 147}, {50, 0});
    Release(hwnd, {50, 0});
    EXPECT_EQ(live->GetFixedHeight(), 50) << "and at minheight the other way";
}

TEST_F(OpenWindow, SeparatorWithoutImmediateModeAppliesOnRelease) {
    Open(kSeparatorSkin);
    CControlUI* sized = Find(L"sized");
    ASSERT_EQ(sized->GetPos().left, 100);
    Drag(hwnd, {101, 150}, {81, 150});
    EXPECT_EQ(sized->GetFixedWidth(), 120) << "only previewed while dragging";
    Release(hwnd, {81, 150});
    EXPECT_EQ(sized->GetFixedWidth(), 140);
}

TEST_F(OpenWindow, FloatingControlResizedAtRunTimeIsPlacedAgain) {
    Open(LR"(<Window size="300,200"><VerticalLayout>
      <Control name="floater" float="true" pos="20,30,0,0" width="50" height="40" />
    </VerticalLayout></Window>)");
    CControlUI* floater = Find(L"floater");
    ASSERT_TRUE(floater);
    ASSERT_EQ(floater->GetPos().right, 70);
    floater->SetFixedWidth(80);
    ASSERT_TRUE(PumpUntilIdle()) << "after the width changed";
    EXPECT_EQ(floater->GetPos().left, 20);
    EXPECT_EQ(floater->GetPos().right, 100);
}

TEST_F(OpenWindow, HoverControlGetsEnterAndLeave) {
    Open(kButtonsSkin);
    std::vector<int> events;
    RecordEnterAndLeave(Find(L"other"), events);
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(170, 20));
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(175, 22));
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    ASSERT_TRUE(PumpUntilIdle()) << "after the pointer moved";
    EXPECT_EQ(events, (std::vector<int>{skinui::kEventMouseEnter, skinui::kEventMouseLeave}));
}

TEST_F(OpenWindow, HoverControlIsLeftWhenThePointerLeavesRightAfterAHoverReport) {
    Open(kButtonsSkin);
    std::vector<int> events;
    RecordEnterAndLeave(Find(L"other"), events);
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(170, 20));
    PostMessageW(hwnd, WM_MOUSEHOVER, 0, MAKELPARAM(170, 20));
    PostMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
    ASSERT_TRUE(PumpUntilIdle()) << "after the pointer left";
    EXPECT_EQ(events, (std::vector<int>{skinui::kEventMouseEnter, skinui::kEventMouseLeave}));
    EXPECT_EQ(window->Manager().FindControl(POINT{170, 20}), Find(L"other"));
}
