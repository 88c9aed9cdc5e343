#include "tests/skinui/support/TestWindow.h"

#include "skinui/core/SkinWindowManager.h"
#include "skinui/extras/ComboUI.h"
#include "skinui/extras/ComboWnd.h"
#include "tests/support/PointerInput.h"
#include "tests/support/ScreenCapture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace skintest;
using namespace skinui;
using testsupport::ClickAt;
using testsupport::InjectKey;
using testsupport::KeepScreenArea;
using testsupport::ScreenPoint;

// The controls a person clicks and types into, driven through the system's input queue.
namespace {

constexpr wchar_t kComboSkin[] = LR"(<Window size="300,240">
  <Font name="Tahoma" size="12" default="true" />
  <VerticalLayout bkcolor="#FFFFFFFF" inset="10,10,10,10" childpadding="10">
    <Combo name="combo" height="24" width="160" bkcolor="#FFE8E8E8" textpadding="4,0,4,0"
        dropbox="bkcolor=&quot;#FFF8F8F8&quot; inset=&quot;1,1,1,1&quot;" dropboxsize="0,84"
        itemselectedbkcolor="#FF3366CC" itemselectedtextcolor="#FFFFFFFF" itemhotbkcolor="#FFDDEEFF">
      <ListLabelElement text="one" height="20" />
      <ListLabelElement text="two" height="20" selected="true" />
      <ListLabelElement text="three" height="20" />
      <ListLabelElement text="four" height="20" />
      <ListLabelElement text="five" height="20" />
      <ListLabelElement text="six" height="20" />
    </Combo>
    <Button name="other" height="30" width="100" bkcolor="#FFCCCCCC" text="other" />
    <Control />
  </VerticalLayout>
</Window>)";

class ExtrasPointer : public ::testing::Test {
protected:
    void Open(const wchar_t* markup, int x = 100, int y = 100) {
        window = std::make_unique<TestWindow>(markup);
        hwnd = window->Open(x, y);
        ASSERT_TRUE(hwnd);
        ASSERT_TRUE(PumpUntil("windowinit", [this] { return window->Count(L"windowinit") > 0; }));
    }

    void TearDown() override {
        if (hwnd && IsWindow(hwnd))
            DestroyWindow(hwnd);
        SetCursorPos(0, 0);
        EXPECT_TRUE(PumpUntilIdle()) << "closing the window";
    }

    template <typename T> T* Find(const wchar_t* name) {
        return InterfaceCast<T>(window->Manager().FindControl(name));
    }

    // The notifications so far as "type:sender", without the window's own and focus changes.
    std::vector<std::wstring> Trail() const {
        std::vector<std::wstring> trail;
        for (const auto& n : window->notifications) {
            if (n.type == L"windowinit" || n.type == L"setfocus" || n.type == L"killfocus")
                continue;
            trail.push_back(n.type + L":" + (n.sender ? n.sender->GetName() : L""));
        }
        return trail;
    }

    std::unique_ptr<TestWindow> window;
    HWND hwnd = nullptr;
};

class ComboPointer : public ExtrasPointer {
protected:
    void SetUp() override {
        Open(kComboSkin);
        combo = Find<CComboUI>(L"combo");
        ASSERT_NE(combo, nullptr);
    }

    POINT ComboCentre() const {
        const RECT pos = combo->GetPos();
        return ScreenPoint(hwnd, (pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
    }

    HWND DropWindow() const {
        CComboWnd* drop = combo->GetDropDown();
        return drop ? drop->GetHWND() : nullptr;
    }

    ::testing::AssertionResult WaitOpen() {
        return PumpUntil("the drop-down shown", [this] {
            return DropWindow() && IsWindowVisible(DropWindow()) &&
                   GetActiveWindow() == DropWindow();
        });
    }

    ::testing::AssertionResult WaitClosed() {
        return PumpUntil("the drop-down closed",
                         [this] { return !combo->IsDroppedDown() && GetActiveWindow() == hwnd; });
    }

    CComboUI* combo = nullptr;
};

TEST_F(ComboPointer, ClickOpensTheListBelowAndAPickSelectsAndCloses) {
    ClickAt(ComboCentre());
    ASSERT_TRUE(WaitOpen());
    ASSERT_TRUE(PumpUntilIdle());
    RECT drop{};
    GetWindowRect(DropWindow(), &drop);
    const RECT pos = combo->GetPos();
    const POINT comboBottomLeft = ScreenPoint(hwnd, pos.left, pos.bottom);
    EXPECT_EQ(drop.left, comboBottomLeft.x);
    EXPECT_EQ(drop.top, comboBottomLeft.y) << "right below the combo";
    EXPECT_EQ(drop.right - drop.left, pos.right - pos.left) << "as wide as the combo";
    EXPECT_EQ(drop.bottom - drop.top, 84) << "dropboxsize limits the height";
    RECT both{};
    GetWindowRect(hwnd, &both);
    UnionRect(&both, &both, &drop);
    EXPECT_TRUE(KeepScreenArea(both, "skinui-combo-open"));

    // The items are in the drop-down, one below the other, the second one selected.
    CControlUI* three = combo->GetItemAt(2);
    ASSERT_EQ(three->GetManager(), &combo->GetDropDown()->Manager());
    const RECT threePos = three->GetPos();
    EXPECT_EQ(threePos.bottom - threePos.top, 20);
    POINT onThree{(threePos.left + threePos.right) / 2, (threePos.top + threePos.bottom) / 2};
    ClientToScreen(DropWindow(), &onThree);
    ClickAt(onThree);
    ASSERT_TRUE(WaitClosed());
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_EQ(combo->GetCurSel(), 2);
    EXPECT_EQ(combo->GetText(), L"three");
    EXPECT_EQ(three->GetManager(), &window->Manager()) << "the items came back";
    EXPECT_EQ(Trail(), (std::vector<std::wstring>{L"dropdown:combo", L"itemselect:combo"}));
}

TEST_F(ComboPointer, KeysOpenMoveAndCloseTheList) {
    ClickAt(ComboCentre());
    ASSERT_TRUE(WaitOpen());
    InjectKey(VK_ESCAPE);
    ASSERT_TRUE(WaitClosed());
    EXPECT_EQ(combo->GetCurSel(), 1);

    // The combo keeps the focus after the list closed: Alt+Down opens it again.
    ASSERT_EQ(window->Manager().GetFocus(), combo);
    InjectKey(VK_DOWN, {VK_MENU});
    ASSERT_TRUE(WaitOpen());
    InjectKey(VK_DOWN);
    InjectKey(VK_DOWN);
    ASSERT_TRUE(PumpUntil("two steps down", [this] { return combo->GetCurSel() == 3; }));
    InjectKey(VK_RETURN);
    ASSERT_TRUE(WaitClosed());
    EXPECT_EQ(combo->GetText(), L"four");

    InjectKey(VK_F4);
    ASSERT_TRUE(WaitOpen());
    InjectKey(VK_HOME);
    ASSERT_TRUE(PumpUntil("the first item", [this] { return combo->GetCurSel() == 0; }));
    InjectKey(VK_F4);
    ASSERT_TRUE(WaitClosed());

    // Closed, the arrows still move the selection.
    InjectKey(VK_DOWN);
    ASSERT_TRUE(
        PumpUntil("one down on the closed combo", [this] { return combo->GetCurSel() == 1; }));
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(Trail(),
              (std::vector<std::wstring>{L"dropdown:combo", L"dropdown:combo", L"itemselect:combo",
                                         L"itemselect:combo", L"dropdown:combo",
                                         L"itemselect:combo", L"itemselect:combo"}));
}

TEST_F(ComboPointer, AClickOutsideClosesWithoutAPick) {
    ClickAt(ComboCentre());
    ASSERT_TRUE(WaitOpen());
    ASSERT_TRUE(PumpUntilIdle());
    // Below the list, on the window's empty part.
    ClickAt(ScreenPoint(hwnd, 250, 200));
    ASSERT_TRUE(WaitClosed());
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(Trail(), (std::vector<std::wstring>{L"dropdown:combo"}));
    // And a click on the combo itself while it is open closes it as well.
    ClickAt(ComboCentre());
    ASSERT_TRUE(WaitOpen());
    ClickAt(ComboCentre());
    ASSERT_TRUE(WaitClosed());
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_FALSE(combo->IsDroppedDown());
}

TEST_F(ComboPointer, OpensAboveWhenTheScreenHasNoRoomBelow) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT pos = combo->GetPos();
    // The combo's bottom edge 40 pixels above the screen's.
    SetWindowPos(hwnd, nullptr, 100, monitor.rcWork.bottom - 40 - pos.bottom, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(PumpUntilIdle());
    ClickAt(ComboCentre());
    ASSERT_TRUE(WaitOpen());
    RECT drop{};
    GetWindowRect(DropWindow(), &drop);
    EXPECT_EQ(drop.bottom, ScreenPoint(hwnd, pos.left, pos.top).y) << "right above the combo";
    EXPECT_EQ(drop.bottom - drop.top, 84);
    InjectKey(VK_ESCAPE);
    ASSERT_TRUE(WaitClosed());
}

TEST_F(ComboPointer, DestroyingTheWindowWithTheListOpenEndsTheList) {
    ClickAt(ComboCentre());
    ASSERT_TRUE(WaitOpen());
    HWND drop = DropWindow();
    DestroyWindow(hwnd);
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_FALSE(IsWindow(drop));
}

} // namespace
