#include "tests/skinui/support/TestWindow.h"

#include "skinui/core/SkinWindowManager.h"
#include "skinui/extras/ComboUI.h"
#include "skinui/extras/ComboWnd.h"
#include "skinui/extras/DateTimeUI.h"
#include "tests/support/PointerInput.h"
#include "tests/support/ScreenCapture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace skintest;
using namespace skinui;
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
    // Clicks like ClickAt and runs the window's messages until the button is up again and the
    // window idle.
    void ClickAndWait(POINT screen) {
        std::atomic<bool> done{false};
        std::thread click([screen, &done] {
            testsupport::InjectMouse(MOUSEEVENTF_MOVE, screen);
            Sleep(80);
            testsupport::InjectMouse(MOUSEEVENTF_LEFTDOWN);
            Sleep(60);
            testsupport::InjectMouse(MOUSEEVENTF_LEFTUP);
            done = true;
        });
        EXPECT_TRUE(PumpUntil("the click", [&] { return done.load(); }));
        click.join();
        EXPECT_TRUE(PumpUntilIdle()) << "after the click";
    }

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
    ClickAndWait(ComboCentre());
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
    ClickAndWait(onThree);
    ASSERT_TRUE(WaitClosed());
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_EQ(combo->GetCurSel(), 2);
    EXPECT_EQ(combo->GetText(), L"three");
    EXPECT_EQ(three->GetManager(), &window->Manager()) << "the items came back";
    EXPECT_EQ(Trail(), (std::vector<std::wstring>{L"dropdown:combo", L"itemselect:combo"}));
}

TEST_F(ComboPointer, KeysOpenMoveAndCloseTheList) {
    ClickAndWait(ComboCentre());
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
    ClickAndWait(ComboCentre());
    ASSERT_TRUE(WaitOpen());
    ASSERT_TRUE(PumpUntilIdle());
    // Below the list, on the window's empty part.
    ClickAndWait(ScreenPoint(hwnd, 250, 200));
    ASSERT_TRUE(WaitClosed());
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(Trail(), (std::vector<std::wstring>{L"dropdown:combo"}));
    // And a click on the combo itself while it is open closes it as well.
    ClickAndWait(ComboCentre());
    ASSERT_TRUE(WaitOpen());
    ClickAndWait(ComboCentre());
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
    ClickAndWait(ComboCentre());
    ASSERT_TRUE(WaitOpen());
    RECT drop{};
    GetWindowRect(DropWindow(), &drop);
    EXPECT_EQ(drop.bottom, ScreenPoint(hwnd, pos.left, pos.top).y) << "right above the combo";
    EXPECT_EQ(drop.bottom - drop.top, 84);
    InjectKey(VK_ESCAPE);
    ASSERT_TRUE(WaitClosed());
}

TEST_F(ComboPointer, DestroyingTheWindowWithTheListOpenEndsTheList) {
    ClickAndWait(ComboCentre());
    ASSERT_TRUE(WaitOpen());
    HWND drop = DropWindow();
    DestroyWindow(hwnd);
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_FALSE(IsWindow(drop));
}

constexpr wchar_t kDateSkin[] = LR"(<Window size="300,160">
  <Font name="Tahoma" size="13" default="true" />
  <VerticalLayout bkcolor="#FFFFFFFF" inset="10,10,10,10" childpadding="10">
    <DateTime name="date" height="26" width="140" bkcolor="#FFE8E8E8" textpadding="4,0,4,0" />
    <Button name="other" height="30" width="100" bkcolor="#FFCCCCCC" text="other" />
    <Control />
  </VerticalLayout>
</Window>)";

class DatePointer : public ExtrasPointer {
protected:
    void SetUp() override {
        Open(kDateSkin);
        date = Find<CDateTimeUI>(L"date");
        ASSERT_NE(date, nullptr);
        SYSTEMTIME start{};
        start.wYear = 2024;
        start.wMonth = 2;
        start.wDay = 28;
        date->SetTime(start);
        ASSERT_TRUE(PumpUntilIdle());
    }

    POINT DateCentre() const {
        const RECT pos = date->GetPos();
        return ScreenPoint(hwnd, (pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
    }

    ::testing::AssertionResult WaitPicker() {
        return PumpUntil("the date picker with the focus", [this] {
            HWND picker = date->GetPickerWindow();
            return picker && IsWindowVisible(picker) && GetFocus() == picker;
        });
    }

    // A click on the year, the first field of the picker's text, picks that field.
    void PickYearField() {
        RECT placed{};
        GetWindowRect(date->GetPickerWindow(), &placed);
        ClickAndWait({placed.left + 12, (placed.top + placed.bottom) / 2});
    }

    SYSTEMTIME PickerDate() const {
        SYSTEMTIME time{};
        SendMessageW(date->GetPickerWindow(), DTM_GETSYSTEMTIME, 0,
                     reinterpret_cast<LPARAM>(&time));
        return time;
    }

    CDateTimeUI* date = nullptr;
};

std::wstring Formatted(const SYSTEMTIME& time) {
    wchar_t text[32];
    swprintf(text, 32, L"%4d-%02d-%02d", time.wYear, time.wMonth, time.wDay);
    return text;
}

TEST_F(DatePointer, AClickOpensThePickerOverTheControlAndItsDateBecomesTheText) {
    EXPECT_EQ(date->GetText(), L"2024-02-28");
    ClickAndWait(DateCentre());
    ASSERT_TRUE(WaitPicker());
    HWND picker = date->GetPickerWindow();
    wchar_t className[64] = {};
    GetClassNameW(picker, className, 64);
    EXPECT_EQ(GetParent(picker), hwnd) << "a child of the skinned window";
    RECT placed{};
    GetWindowRect(picker, &placed);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&placed), 2);
    const RECT pos = date->GetPos();
    EXPECT_TRUE(EqualRect(&placed, &pos)) << "over the control";
    EXPECT_EQ(Formatted(PickerDate()), L"2024-02-28");

    // One year up, then a click elsewhere keeps the date.
    PickYearField();
    InjectKey(VK_UP);
    ASSERT_TRUE(PumpUntil("the picker's date changed",
                          [this] { return Formatted(PickerDate()) != L"2024-02-28"; }));
    const std::wstring picked = Formatted(PickerDate());
    EXPECT_EQ(picked, L"2025-02-28");
    RECT both{};
    GetWindowRect(hwnd, &both);
    EXPECT_TRUE(KeepScreenArea(both, "skinui-datetime-picker"));
    ClickAndWait(ScreenPoint(hwnd, 250, 140));
    ASSERT_TRUE(PumpUntil("the picker closed", [this] { return !date->IsPickerOpen(); }));
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_EQ(date->GetText(), picked);
    EXPECT_EQ(Trail(), (std::vector<std::wstring>{L"textchanged:date"}));
}

TEST_F(DatePointer, EscapeDropsThePickedDateAndEnterKeepsIt) {
    ClickAndWait(DateCentre());
    ASSERT_TRUE(WaitPicker());
    PickYearField();
    InjectKey(VK_UP);
    ASSERT_TRUE(PumpUntil("the picker's date changed",
                          [this] { return Formatted(PickerDate()) != L"2024-02-28"; }));
    InjectKey(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil("the picker closed", [this] { return !date->IsPickerOpen(); }));
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_EQ(date->GetText(), L"2024-02-28");
    EXPECT_TRUE(Trail().empty());

    ClickAndWait(DateCentre());
    ASSERT_TRUE(WaitPicker());
    PickYearField();
    InjectKey(VK_DOWN);
    ASSERT_TRUE(PumpUntil("the picker's date changed",
                          [this] { return Formatted(PickerDate()) != L"2024-02-28"; }));
    const std::wstring picked = Formatted(PickerDate());
    InjectKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil("the picker closed", [this] { return !date->IsPickerOpen(); }));
    EXPECT_EQ(picked, L"2023-02-28");
    EXPECT_EQ(date->GetText(), picked);
    EXPECT_EQ(Trail(), (std::vector<std::wstring>{L"textchanged:date"}));
}

TEST_F(DatePointer, ThePickerFollowsTheControlAndGoesWithTheWindow) {
    ClickAndWait(DateCentre());
    ASSERT_TRUE(WaitPicker());
    HWND picker = date->GetPickerWindow();
    date->SetFixedWidth(180);
    ASSERT_TRUE(PumpUntilIdle());
    RECT placed{};
    GetWindowRect(picker, &placed);
    EXPECT_EQ(placed.right - placed.left, 180);
    DestroyWindow(hwnd);
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_FALSE(IsWindow(picker));
}

} // namespace
