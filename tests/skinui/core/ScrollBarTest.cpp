#include "tests/skinui/support/ControlsFixture.h"

#include "skinui/core/ContainerUI.h"
#include "skinui/core/ScrollBarUI.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/layouts/TabLayoutUI.h"

using namespace controlstest;
using skinui::CContainerUI;
using skinui::CScrollBarUI;

// RECT lives in the global namespace, where lookup finds these.
static bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

static std::ostream& operator<<(std::ostream& out, const RECT& rc) {
    return out << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom;
}

namespace {

constexpr wchar_t kBarSkin[] = LR"(<Window size="300,300">
  <VerticalLayout>
    <ScrollBar name="bar" float="true" pos="0,0,10,100" thumbnormalimage="file='thumb.png' corner='0,3,0,3'" />
    <ScrollBar name="short" float="true" pos="20,0,30,15" />
    <ScrollBar name="flat" float="true" pos="40,0,240,10" hor="true" width="200" height="10" range="0" />
  </VerticalLayout>
</Window>)";

TEST_F(ControlsWindow, ScrollBarPlacesButtonsAndAThumbSizedByTheRange) {
    Open(kBarSkin);
    auto* bar = FindAs<CScrollBarUI>(L"bar");
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->GetButton1Rect(), (RECT{0, 0, 10, 10}));
    EXPECT_EQ(bar->GetButton2Rect(), (RECT{0, 90, 10, 100}));
    // Thumb length max(10, 100 * 80 / (100 + 100)) = 40.
    EXPECT_EQ(bar->GetThumbRect(), (RECT{0, 10, 10, 50}));
    bar->SetScrollPos(100);
    EXPECT_EQ(bar->GetThumbRect(), (RECT{0, 50, 10, 90}));
    bar->SetScrollRange(40);
    EXPECT_EQ(bar->GetScrollPos(), 40) << "the position follows a shrinking range";
    bar->SetScrollRange(-5);
    EXPECT_EQ(bar->GetScrollRange(), 0);
    EXPECT_EQ(bar->GetThumbRect(), (RECT{0, 10, 10, 90})) << "no range: the thumb fills the rail";
    bar->SetShowButton1(false);
    EXPECT_EQ(bar->GetThumbRect(), (RECT{0, 0, 10, 90}));

    auto* tooShort = FindAs<CScrollBarUI>(L"short");
    ASSERT_TRUE(tooShort);
    EXPECT_EQ(tooShort->GetButton1Rect(), (RECT{20, 0, 30, 7}));
    EXPECT_EQ(tooShort->GetButton2Rect(), (RECT{20, 8, 30, 15}));
    EXPECT_TRUE(IsRectEmpty(&tooShort->GetThumbRect()));

    auto* flat = FindAs<CScrollBarUI>(L"flat");
    ASSERT_TRUE(flat);
    EXPECT_EQ(flat->GetButton1Rect(), (RECT{40, 0, 50, 10}));
    EXPECT_EQ(flat->GetThumbRect(), (RECT{50, 0, 230, 10}));
}

TEST_F(ControlsWindow, ScrollBarThumbKeepsItsRoundedEnds) {
    Open(kBarSkin);
    auto* bar = FindAs<CScrollBarUI>(L"bar");
    ASSERT_TRUE(bar);
    Canvas canvas(*bar, 300, 300);
    EXPECT_EQ(canvas.At(5, 11), 0x202020u) << "top end";
    EXPECT_EQ(canvas.At(5, 12), 0x202020u);
    EXPECT_EQ(canvas.At(5, 13), 0xC0C0C0u) << "the corner is not stretched";
    EXPECT_EQ(canvas.At(5, 46), 0xC0C0C0u);
    EXPECT_EQ(canvas.At(5, 47), 0x202020u) << "bottom end";
}

TEST_F(ControlsWindow, ScrollBarStepsByLinesAndPagesAndRepeatsWhileHeld) {
    Open(kBarSkin);
    auto* bar = FindAs<CScrollBarUI>(L"bar");
    ASSERT_TRUE(bar);
    Click({5, 95});
    EXPECT_EQ(bar->GetScrollPos(), 8);
    Click({5, 5});
    EXPECT_EQ(bar->GetScrollPos(), 0);
    Click({5, 80});
    EXPECT_EQ(bar->GetScrollPos(), 100) << "a page is the bar's length";
    Click({5, 20});
    EXPECT_EQ(bar->GetScrollPos(), 0);
    EXPECT_EQ(window->Count(L"scroll"), 0) << "a bar without owner reports nothing";

    Press({5, 95});
    EXPECT_TRUE(skintest::PumpUntil("the held press to repeat past five ticks",
                                    [&] { return bar->GetScrollPos() > 8; }));
    Release({5, 95});
    const int held = bar->GetScrollPos();
    // Time itself must pass: a few of the repeat timer's 50 ms ticks.
    skintest::PumpFor(200);
    EXPECT_EQ(bar->GetScrollPos(), held) << "release stops the repeat";

    bar->SetScrollPos(0);
    Press({5, 95});
    MoveTo({150, 150}, MK_LBUTTON);
    EXPECT_TRUE(skintest::PumpUntil("a held button to repeat with the pointer off it",
                                    [&] { return bar->GetScrollPos() > 8; }));
    Release({150, 150});
}

TEST_F(ControlsWindow, DraggingTheThumbMovesThePositionOverTheFreeRail) {
    Open(kBarSkin);
    auto* bar = FindAs<CScrollBarUI>(L"bar");
    ASSERT_TRUE(bar);
    Press({5, 30});
    MoveTo({5, 50}, MK_LBUTTON);
    // Free rail 100 - 20 - 40 = 40 pixels for a range of 100.
    EXPECT_EQ(bar->GetScrollPos(), 50);
    MoveTo({5, 250}, MK_LBUTTON);
    EXPECT_EQ(bar->GetScrollPos(), 100);
    Release({5, 250});
    MoveTo({5, 30});
    EXPECT_EQ(bar->GetScrollPos(), 100);
}

constexpr wchar_t kListSkin[] = LR"(<Window size="300,300">
  <Default name="VScrollBar" value="width=&quot;10&quot; linesize=&quot;5&quot;" />
  <VerticalLayout>
    <VerticalLayout name="list" height="100" vscrollbar="true" inset="0,0,0,0">
      <Button name="a" height="60" /><Button name="b" height="60" /><Button name="c" height="60" />
    </VerticalLayout>
    <VerticalLayout name="short" height="100" vscrollbar="true">
      <Button height="60" />
    </VerticalLayout>
    <HorizontalLayout name="row" height="50" hscrollbarstyle="height=&quot;8&quot;">
      <Control width="200" /><Control width="200" />
    </HorizontalLayout>
  </VerticalLayout>
</Window>)";

TEST_F(ControlsWindow, LayoutsShowAScrollBarOnlyForContentBeyondTheView) {
    Open(kListSkin);
    auto* list = FindAs<CContainerUI>(L"list");
    ASSERT_TRUE(list);
    CScrollBarUI* bar = list->GetVerticalScrollBar();
    ASSERT_TRUE(bar);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetScrollRange(), 80);
    EXPECT_EQ(bar->GetPos().left, 290) << "the window's default gives it width 10";
    EXPECT_EQ(Find(L"a")->GetPos().right, 290);

    auto* fits = FindAs<CContainerUI>(L"short");
    ASSERT_TRUE(fits && fits->GetVerticalScrollBar());
    EXPECT_FALSE(fits->GetVerticalScrollBar()->IsVisible());

    auto* row = FindAs<CContainerUI>(L"row");
    ASSERT_TRUE(row && row->GetHorizontalScrollBar());
    EXPECT_TRUE(row->GetHorizontalScrollBar()->IsVisible());
    EXPECT_EQ(row->GetHorizontalScrollBar()->GetScrollRange(), 100);
    EXPECT_EQ(row->GetHorizontalScrollBar()->GetFixedHeight(), 8);
}

TEST_F(ControlsWindow, WheelAndBarScrollTheLayoutAndTheBarReportsScroll) {
    Open(kListSkin);
    auto* list = FindAs<CContainerUI>(L"list");
    ASSERT_TRUE(list);
    CScrollBarUI* bar = list->GetVerticalScrollBar();
    ASSERT_TRUE(bar && bar->IsVisible());
    Wheel({100, 50}, true);
    EXPECT_EQ(bar->GetScrollPos(), 5);
    EXPECT_EQ(Find(L"a")->GetPos().top, -5);
    Wheel({100, 50}, false);
    Wheel({100, 50}, false);
    EXPECT_EQ(bar->GetScrollPos(), 0);

    Click({295, 95});
    EXPECT_EQ(bar->GetScrollPos(), 5);
    EXPECT_EQ(window->Count(L"scroll"), 1);
    Click({295, 80});
    EXPECT_EQ(bar->GetScrollPos(), 80) << "a page is the view's height, cut to the range";
    EXPECT_EQ(Find(L"c")->GetPos().bottom, 100);
    EXPECT_EQ(window->Count(L"scroll"), 2);

    // A hit test below the bar reaches the scrolled children.
    Click({100, 90});
    EXPECT_EQ(window->Count(L"click", L"c"), 1);

    const RECT thumb = bar->GetThumbRect();
    Press({(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2});
    EXPECT_EQ(window->Count(L"scroll"), 3) << "pressing the thumb reports too";
    Release({(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2});
}

constexpr wchar_t kWideSkin[] = LR"(<Window size="300,300">
  <Default name="VScrollBar" value="width=&quot;10&quot;" />
  <Default name="HScrollBar" value="height=&quot;10&quot;" />
  <VerticalLayout>
    <VerticalLayout name="column" height="100" hscrollbar="true">
      <Control name="wide" width="500" height="20" padding="10,0,0,0" />
      <Control name="fill" height="20" />
    </VerticalLayout>
    <VerticalLayout name="narrow" height="50" hscrollbar="true">
      <Control minwidth="250" height="20" />
    </VerticalLayout>
    <TabLayout name="tabs" height="100" vscrollbar="true">
      <Control name="tall" height="250" />
      <Control name="other" />
    </TabLayout>
  </VerticalLayout>
</Window>)";

TEST_F(ControlsWindow, WideChildrenScrollAColumnSidewaysAndTallPagesScrollATab) {
    Open(kWideSkin);
    auto* column = FindAs<CContainerUI>(L"column");
    ASSERT_TRUE(column && column->GetHorizontalScrollBar());
    CScrollBarUI* bar = column->GetHorizontalScrollBar();
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetScrollRange(), 210) << "500 wide plus padding 10 in a view of 300";
    EXPECT_EQ(bar->GetPos(), (RECT{0, 90, 300, 100}));
    EXPECT_EQ(Find(L"fill")->GetPos().right, 510) << "stretch children span the scrolled width";
    column->SetScrollPos({50, 0});
    EXPECT_EQ(Find(L"wide")->GetPos().left, -40);
    EXPECT_EQ(bar->GetScrollRange(), 210) << "the range stays put when laid out again";

    auto* narrow = FindAs<CContainerUI>(L"narrow");
    ASSERT_TRUE(narrow && narrow->GetHorizontalScrollBar());
    EXPECT_FALSE(narrow->GetHorizontalScrollBar()->IsVisible());

    auto* tabs = FindAs<skinui::CTabLayoutUI>(L"tabs");
    ASSERT_TRUE(tabs && tabs->GetVerticalScrollBar());
    CScrollBarUI* pageBar = tabs->GetVerticalScrollBar();
    EXPECT_TRUE(pageBar->IsVisible());
    EXPECT_EQ(pageBar->GetScrollRange(), 150);
    EXPECT_EQ(pageBar->GetPos(), (RECT{290, 150, 300, 250}));
    Wheel({100, 200}, true);
    EXPECT_EQ(Find(L"tall")->GetPos().top, 150 - pageBar->GetScrollPos());
    EXPECT_GT(pageBar->GetScrollPos(), 0);
    ASSERT_TRUE(tabs->SelectItem(1));
    EXPECT_FALSE(pageBar->IsVisible()) << "a page that fits needs no bar";
    EXPECT_EQ(Find(L"other")->GetPos(), (RECT{0, 150, 300, 250}));
}

constexpr wchar_t kNoMouseChildSkin[] = LR"(<Window size="300,300">
  <Default name="VScrollBar" value="width=&quot;10&quot; linesize=&quot;5&quot;" />
  <VerticalLayout>
    <VerticalLayout name="list" height="100" vscrollbar="true" mousechild="false">
      <Button name="a" height="60" /><Button name="b" height="60" />
    </VerticalLayout>
    <Control />
  </VerticalLayout>
</Window>)";

TEST_F(ControlsWindow, WithoutMouseChildTheChildrenGetNoMouseButTheContainerStillScrolls) {
    Open(kNoMouseChildSkin);
    auto* list = FindAs<CContainerUI>(L"list");
    ASSERT_TRUE(list && list->GetVerticalScrollBar());
    ASSERT_TRUE(list->GetVerticalScrollBar()->IsVisible());
    Click({100, 30});
    EXPECT_EQ(window->Count(L"click", L"a"), 0);
    Wheel({100, 50}, true);
    EXPECT_EQ(list->GetVerticalScrollBar()->GetScrollPos(), 5);
}

} // namespace
