#include "tests/skinui/support/TestWindow.h"

#include "skinui/core/SkinWindowManager.h"
#include "skinui/extras/AnimationTabLayoutUI.h"
#include "skinui/extras/ColorPaletteUI.h"
#include "skinui/extras/ComboUI.h"
#include "skinui/extras/DateTimeUI.h"
#include "skinui/extras/ListElementUI.h"
#include "skinui/extras/ListUI.h"
#include "skinui/extras/TileLayoutUI.h"
#include "skinui/extras/TreeViewUI.h"

#include <gtest/gtest.h>

#include <memory>

using namespace skintest;
using namespace skinui;

namespace {

constexpr wchar_t kControlsSkin[] = LR"(<Window size="400,300">
  <Font name="Tahoma" size="12" default="true" />
  <HorizontalLayout>
    <List name="list" width="120">
      <ListHeader height="20"><ListHeaderItem name="col" text="c" width="120" /></ListHeader>
      <ListLabelElement name="a" text="a" height="20" />
      <ListLabelElement name="b" text="b" height="20" selected="true" />
      <ListLabelElement name="c" text="c" height="20" enabled="false" />
    </List>
    <VerticalLayout width="120">
      <Combo name="combo" height="24">
        <ListLabelElement text="one" /><ListLabelElement text="two" selected="true" />
        <ListLabelElement text="three" />
      </Combo>
      <TileLayout name="tile" height="80" itemsize="40,30" childpadding="2">
        <Control /><Control /><Control /><Control />
      </TileLayout>
      <AnimationTabLayout name="tabs" height="60">
        <Control name="p0" /><Control name="p1" />
      </AnimationTabLayout>
    </VerticalLayout>
    <VerticalLayout>
      <ColorPalette name="palette" height="120" palletheight="100" barheight="10" />
      <TreeView name="tree" />
    </VerticalLayout>
  </HorizontalLayout>
</Window>)";

struct ExtrasWindow : ::testing::Test {
    void SetUp() override {
        window = std::make_unique<TestWindow>(kControlsSkin);
        hwnd = window->Open();
        ASSERT_NE(hwnd, nullptr);
        ASSERT_TRUE(PumpUntilIdle()) << "opening the window";
        window->notifications.clear();
    }
    void TearDown() override {
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
        EXPECT_TRUE(PumpUntilIdle()) << "closing the window";
    }
    template <typename T> T* Find(const wchar_t* name) {
        return static_cast<T*>(window->Manager().FindControl(name));
    }
    void Click(POINT pt, UINT down = WM_LBUTTONDOWN) {
        PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
        PostMessageW(hwnd, down, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        EXPECT_TRUE(PumpUntilIdle()) << "clicking";
    }
    POINT Centre(const wchar_t* name) {
        const RECT& rc = window->Manager().FindControl(name)->GetPos();
        return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    const UiNotification* Last(const std::wstring& type) const {
        for (auto it = window->notifications.rbegin(); it != window->notifications.rend(); ++it)
            if (it->type == type)
                return &*it;
        return nullptr;
    }

    std::unique_ptr<TestWindow> window;
    HWND hwnd = nullptr;
};

TEST_F(ExtrasWindow, ListSelectsByClickAndKeyAndReportsClicksAndHeader) {
    auto* list = Find<CListUI>(L"list");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCurSel(), 1) << "selected=\"true\" in markup";
    Click(Centre(L"a"));
    ASSERT_NE(Last(L"itemselect"), nullptr);
    EXPECT_EQ(Last(L"itemselect")->wParam, 0u);
    EXPECT_EQ(Last(L"itemselect")->lParam, 1);
    EXPECT_EQ(window->Count(L"itemclick", L"a"), 1);
    Click(Centre(L"a"));
    EXPECT_EQ(window->Count(L"itemselect"), 1) << "reselecting reports nothing";
    Click(Centre(L"a"), WM_LBUTTONDBLCLK);
    EXPECT_EQ(window->Count(L"itemactivate", L"a"), 1);
    // A disabled item cannot be selected.
    Click(Centre(L"c"));
    EXPECT_EQ(list->GetCurSel(), 0);
    // The arrow keys move the selection of the list a focused item belongs to.
    Click(Centre(L"a"));
    PostMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_TRUE(PumpUntilIdle()) << "after the arrow key";
    EXPECT_EQ(list->GetCurSel(), 1);
    Click(Centre(L"col"));
    EXPECT_EQ(window->Count(L"headerclick", L"col"), 1);
}

TEST_F(ExtrasWindow, ComboShowsItsSelectionMovesWithTheWheelAndReportsDropDown) {
    auto* combo = Find<CComboUI>(L"combo");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetText(), L"two");
    POINT pt = Centre(L"combo");
    ClientToScreen(hwnd, &pt);
    PostMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(pt.x, pt.y));
    PostMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(pt.x, pt.y));
    ASSERT_TRUE(PumpUntilIdle()) << "after the wheel";
    EXPECT_EQ(combo->GetText(), L"three");
    EXPECT_EQ(window->Count(L"itemselect", L"combo"), 1) << "the last item stays selected";
    Click(Centre(L"combo"));
    EXPECT_EQ(window->Count(L"dropdown", L"combo"), 1);
}

TEST_F(ExtrasWindow, TileLayoutFillsRowsOfFittingColumns) {
    auto* tile = Find<CTileLayoutUI>(L"tile");
    ASSERT_NE(tile, nullptr);
    const RECT& area = tile->GetPos();
    // 120 pixels hold two 40-pixel items with 2 pixels between; the next two go below.
    const RECT& third = tile->GetItemAt(2)->GetPos();
    EXPECT_EQ(tile->GetItemAt(1)->GetPos().left, area.left + 42);
    EXPECT_EQ(third.left, area.left);
    EXPECT_EQ(third.top, area.top + 32);
    EXPECT_EQ(third.bottom - third.top, 30);
}

TEST_F(ExtrasWindow, AnimatedTabSlidesTheNewPageIntoPlace) {
    auto* tabs = Find<CAnimationTabLayoutUI>(L"tabs");
    ASSERT_NE(tabs, nullptr);
    const RECT area = tabs->GetPos();
    ASSERT_TRUE(tabs->SelectItem(1));
    EXPECT_TRUE(tabs->IsAnimating());
    EXPECT_GT(Find<CControlUI>(L"p1")->GetPos().left, area.left);
    EXPECT_EQ(window->Count(L"tabselect", L"tabs"), 1);
    ASSERT_TRUE(PumpUntil("the end of the slide", [&] { return !tabs->IsAnimating(); }));
    EXPECT_EQ(Find<CControlUI>(L"p1")->GetPos().left, area.left);
}

TEST_F(ExtrasWindow, PalettePicksHueAcrossAndBrightnessOnTheBar) {
    auto* palette = Find<CColorPaletteUI>(L"palette");
    ASSERT_NE(palette, nullptr);
    const RECT rc = palette->GetPos();
    Click({rc.left, rc.top});
    ASSERT_NE(Last(L"colorpalette"), nullptr);
    EXPECT_EQ(Last(L"colorpalette")->wParam, 0xFFFF0000u);
    // Half way along the bar: half brightness of the picked red.
    Click({(rc.left + rc.right) / 2, rc.top + 100 + 4 + 5});
    EXPECT_EQ(palette->GetSelectColor() & 0xFFFFFF, 0x800000u);
    EXPECT_EQ(HsbToArgb(120, 100, 100), 0xFF00FF00u);
    EXPECT_EQ(HsbToArgb(240, 0, 100), 0xFFFFFFFFu);
}

TEST_F(ExtrasWindow, TreeNodesFoldTheirChildrenAndReportDoubleClicks) {
    auto* tree = Find<CTreeViewUI>(L"tree");
    ASSERT_NE(tree, nullptr);
    auto* top = new CTreeNodeUI();
    top->SetText(L"top");
    top->SetName(L"top");
    auto* leaf = new CTreeNodeUI();
    leaf->SetText(L"leaf");
    ASSERT_TRUE(top->AddChildNode(leaf));
    ASSERT_TRUE(tree->AddNode(top));
    window->Manager().InitControls(top, tree);
    window->Manager().InitControls(leaf, tree);
    EXPECT_EQ(tree->GetItemCount(), 2);
    EXPECT_EQ(leaf->GetDepth(), 1);
    EXPECT_TRUE(leaf->IsVisible());
    ASSERT_TRUE(PumpUntilIdle()) << "after adding the nodes";
    // Nodes added by code are not in the window's name table.
    const RECT& row = top->GetPos();
    const POINT inRow{row.left + 40, (row.top + row.bottom) / 2};
    Click(inRow);
    Click(inRow, WM_LBUTTONDBLCLK);
    EXPECT_EQ(window->Count(L"itemdbclick", L"top"), 1);
    EXPECT_EQ(window->Count(L"selectchanged", L"top"), 1);
    EXPECT_FALSE(top->IsExpanded());
    EXPECT_FALSE(leaf->IsVisible());
    top->SetExpanded(true);
    EXPECT_TRUE(leaf->IsVisible());
}

TEST_F(ExtrasWindow, RemovingTheSelectedItemClearsTheSelectionAndRenumbers) {
    auto* list = Find<CListUI>(L"list");
    ASSERT_EQ(list->GetCurSel(), 1);
    ASSERT_TRUE(list->Remove(Find<CControlUI>(L"b")));
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_EQ(list->GetItemCount(), 2);
    auto* last = InterfaceCast<IListItemUI>(list->GetListItemAt(1));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->GetIndex(), 1);
    EXPECT_FALSE(list->SelectItem(5));
    EXPECT_EQ(list->GetCurSel(), -1);
}

TEST(ListTextElement, KeepsOneTextPerColumn) {
    CListTextElementUI row;
    row.SetColumnText(0, L"name");
    row.SetColumnText(2, L"third");
    row.SetColumnText(-1, L"ignored");
    EXPECT_EQ(row.GetText(), L"name");
    EXPECT_EQ(row.GetColumnText(1), L"");
    EXPECT_EQ(row.GetColumnText(2), L"third");
    EXPECT_EQ(row.GetColumnText(7), L"");
}

TEST(DateTime, ShowsTheDateAsYearMonthDay) {
    CDateTimeUI date;
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 3;
    time.wDay = 4;
    date.SetTime(time);
    EXPECT_EQ(date.GetText(), L"2026-03-04");
}

} // namespace
