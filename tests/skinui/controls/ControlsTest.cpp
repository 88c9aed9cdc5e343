#include "tests/skinui/support/ControlsFixture.h"

#include "skinui/controls/ButtonUI.h"
#include "skinui/controls/OptionUI.h"
#include "skinui/controls/ProgressUI.h"
#include "skinui/controls/TextUI.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/layouts/TabLayoutUI.h"

using namespace controlstest;
using skinui::CButtonUI;
using skinui::CLabelUI;
using skinui::COptionUI;
using skinui::CProgressUI;

namespace {

constexpr std::uint32_t kNormal = 0x3366CC;
constexpr std::uint32_t kHot = 0x33AA33;
constexpr std::uint32_t kPushed = 0xCC2222;
constexpr std::uint32_t kDisabled = 0x999999;
constexpr std::uint32_t kSelected = 0xEE8811;
constexpr std::uint32_t kFore = 0x8833AA;

constexpr wchar_t kOptionsSkin[] = LR"(<Window size="400,200">
  <VerticalLayout>
    <HorizontalLayout height="40">
      <Option name="zh" group="radiogroup" width="80" normalimage="normal.png" selectedimage="selected.png" />
      <Option name="tw" group="radiogroup" width="80" selected="true" normalimage="normal.png" selectedimage="selected.png" />
      <Option name="free" width="80" normalimage="normal.png" selectedimage="selected.png" hotimage="hot.png" />
      <Option name="lone" width="80" selected="true" group="other" disabledimage="disabled.png" selectedimage="selected.png" />
    </HorizontalLayout>
    <Control />
  </VerticalLayout>
</Window>)";

TEST_F(ControlsWindow, RadioGroupKeepsOneSelectedAndReportsOnlyTheClickedOption) {
    Open(kOptionsSkin);
    auto* zh = FindAs<COptionUI>(L"zh");
    auto* tw = FindAs<COptionUI>(L"tw");
    ASSERT_TRUE(zh && tw);
    EXPECT_FALSE(zh->IsSelected());
    EXPECT_TRUE(tw->IsSelected());
    ASSERT_TRUE(Trail().empty());

    Click({120, 20});
    EXPECT_TRUE(tw->IsSelected()) << "reselecting keeps the selection";
    EXPECT_EQ(Trail(), (std::vector<std::wstring>{L"click:tw", L"selectchanged:tw"}));

    window->notifications.clear();
    Click({40, 20});
    EXPECT_TRUE(zh->IsSelected());
    EXPECT_FALSE(tw->IsSelected());
    EXPECT_EQ(Trail(), (std::vector<std::wstring>{L"click:zh", L"selectchanged:zh"}));

    const auto* members = window->Manager().GetOptionGroup(L"radiogroup");
    ASSERT_TRUE(members);
    EXPECT_EQ(members->size(), 2u);
    EXPECT_EQ(Canvas(*zh, 400, 200).At(40, 20), kSelected);
    EXPECT_EQ(Canvas(*tw, 400, 200).At(120, 20), kNormal);
}

TEST_F(ControlsWindow, UngroupedOptionTogglesAndReportsEveryClick) {
    Open(kOptionsSkin);
    auto* free = FindAs<COptionUI>(L"free");
    ASSERT_TRUE(free);
    EXPECT_FALSE(free->IsSelected());
    for (int i = 1; i <= 3; ++i) {
        Click({200, 20});
        EXPECT_EQ(free->IsSelected(), i % 2 == 1) << "click " << i;
        EXPECT_EQ(window->Count(L"selectchanged", L"free"), i);
    }
    free->Selected(false);
    EXPECT_EQ(window->Count(L"selectchanged", L"free"), 4) << "an unchanged value still reports";
}

TEST_F(ControlsWindow, DisabledOptionKeepsOnlyItsSelectionAndDrawsTheSelectedImage) {
    Open(kOptionsSkin);
    auto* lone = FindAs<COptionUI>(L"lone");
    auto* free = FindAs<COptionUI>(L"free");
    ASSERT_TRUE(lone && free);
    MoveTo({200, 20});
    EXPECT_EQ(Canvas(*free, 400, 200).At(200, 20), kHot);
    free->SetEnabled(false);
    EXPECT_EQ(free->GetButtonState(), 0u) << "hot is dropped with the rest";
    lone->SetEnabled(false);
    EXPECT_TRUE(lone->IsSelected());
    EXPECT_EQ(lone->GetButtonState(), skinui::kStateSelected);
    EXPECT_EQ(Canvas(*lone, 400, 200).At(280, 20), kSelected);
    lone->Selected(false);
    EXPECT_EQ(Canvas(*lone, 400, 200).At(280, 20), kDisabled);
    Click({280, 20});
    EXPECT_EQ(window->Count(L"click", L"lone"), 0);
}

constexpr wchar_t kProgressSkin[] = LR"(<Window size="500,300">
  <VerticalLayout>
    <Progress name="bar" float="true" pos="0,0,478,40" value="50" foreimage="fore.png" text="50%" />
    <Progress name="cut" float="true" pos="0,50,478,90" value="25" foreimage="gradient.png" isstretchfore="false" />
    <Progress name="squeezed" float="true" pos="0,100,478,140" value="25" foreimage="gradient.png" />
    <Progress name="upright" float="true" pos="0,150,20,190" hor="false" value="25" foreimage="fore.png" />
    <Progress name="inverted" float="true" pos="0,200,100,220" min="10" max="5" foreimage="fore.png" />
    <Progress name="plain" />
  </VerticalLayout>
</Window>)";

TEST_F(ControlsWindow, ProgressFillsItsShareOfTheRangeAndIgnoresValuesOutside) {
    Open(kProgressSkin);
    auto* bar = FindAs<CProgressUI>(L"bar");
    ASSERT_TRUE(bar);
    {
        Canvas canvas(*bar, 500, 300);
        EXPECT_EQ(canvas.At(0, 0), kFore);
        EXPECT_EQ(canvas.At(238, 39), kFore) << "239 x 40 filled";
        EXPECT_EQ(canvas.At(239, 0), 0xFFFFFFu);
        EXPECT_EQ(canvas.At(238, 40), 0xFFFFFFu);
    }
    bar->SetValue(150);
    EXPECT_EQ(bar->GetValue(), 50);
    bar->SetValue(-1);
    EXPECT_EQ(bar->GetValue(), 50);
    bar->SetValue(100);
    EXPECT_EQ(Canvas(*bar, 500, 300).At(477, 20), kFore);

    // Unstretched, the left quarter of the image shows; stretched, the whole image is squeezed.
    auto* cut = FindAs<CProgressUI>(L"cut");
    auto* squeezed = FindAs<CProgressUI>(L"squeezed");
    ASSERT_TRUE(cut && squeezed);
    EXPECT_EQ(Canvas(*cut, 500, 300).At(110, 70) >> 16, 0xFFu);
    EXPECT_EQ(Canvas(*cut, 500, 300).At(120, 70), 0xFFFFFFu);
    EXPECT_EQ(Canvas(*squeezed, 500, 300).At(110, 120) >> 16, 0x00u);
    EXPECT_EQ(Canvas(*squeezed, 500, 300).At(10, 120) >> 16, 0xFFu);

    // Vertical bars fill from the bottom.
    auto* upright = FindAs<CProgressUI>(L"upright");
    ASSERT_TRUE(upright);
    Canvas tall(*upright, 500, 300);
    EXPECT_EQ(tall.At(10, 179), 0xFFFFFFu);
    EXPECT_EQ(tall.At(10, 180), kFore);
    EXPECT_EQ(tall.At(10, 189), kFore);

    // A maximum below the minimum paints as an empty range instead of dividing by zero, and
    // keeps the stored values.
    auto* inverted = FindAs<CProgressUI>(L"inverted");
    ASSERT_TRUE(inverted);
    EXPECT_EQ(Canvas(*inverted, 500, 300).At(50, 210), 0xFFFFFFu);
    EXPECT_EQ(inverted->GetMinValue(), 10);
    EXPECT_EQ(inverted->GetMaxValue(), 5);

    EXPECT_EQ(Find(L"plain")->GetFixedHeight(), 12);
}

constexpr wchar_t kButtonsSkin[] = LR"(<Window size="400,300">
  <Font name="微软雅黑" size="14" />
  <VerticalLayout>
    <HorizontalLayout height="40">
      <Button name="btn" width="80" normalimage="normal.png" hotimage="nothere.png" pushedimage="pushed.png" disabledimage="disabled.png" />
      <Button name="fore" width="80" normalimage="normal.png" foreimage="file='fore.png' dest='0,0,10,10'" hotbkcolor="#FF00FF00" />
      <Button name="page" width="80" bindtablayoutname="tabs" bindtabindex="1" />
      <Button name="wide" text="wide" />
    </HorizontalLayout>
    <Button name="auto" text="auto" />
    <Label name="left" align="left" height="80" width="60" textcolor="#FF000000" text="WWWW WWWW WWWW WWWW" />
    <TabLayout name="tabs" height="20"><Control name="p0" /><Control name="p1" /></TabLayout>
    <Label name="fit" autocalcwidth="true" text="some text" textpadding="3,0,5,0" />
    <Text name="link" showhtml="true" text="&lt;a&gt;here&lt;/a&gt; and there" height="30" />
  </VerticalLayout>
</Window>)";

TEST_F(ControlsWindow, MissingHotImageFallsBackToTheNormalImageFromThenOn) {
    Open(kButtonsSkin);
    auto* btn = FindAs<CButtonUI>(L"btn");
    ASSERT_TRUE(btn);
    EXPECT_EQ(Canvas(*btn, 400, 300).At(40, 20), kNormal);
    MoveTo({40, 20});
    ASSERT_TRUE(btn->GetButtonState() & skinui::kStateHot);
    EXPECT_EQ(Canvas(*btn, 400, 300).At(40, 20), kNormal);
    EXPECT_TRUE(btn->GetHotImage().empty()) << "the undrawable image is forgotten";
    EXPECT_EQ(btn->GetNormalImage(), L"normal.png");

    Press({40, 20});
    EXPECT_EQ(Canvas(*btn, 400, 300).At(40, 20), kPushed);
    MoveTo({40, 120}, MK_LBUTTON);
    EXPECT_FALSE(btn->GetButtonState() & skinui::kStatePushed) << "dragged outside";
    EXPECT_EQ(Canvas(*btn, 400, 300).At(40, 20), kNormal);
    MoveTo({40, 20}, MK_LBUTTON);
    EXPECT_TRUE(btn->GetButtonState() & skinui::kStatePushed) << "back inside";
    Release({40, 20});
    EXPECT_EQ(window->Count(L"click", L"btn"), 1);

    btn->SetEnabled(false);
    EXPECT_EQ(Canvas(*btn, 400, 300).At(40, 20), kDisabled);
}

TEST_F(ControlsWindow, ForeImageLiesOverTheStateImageAndHotColourFillsWithoutHotImage) {
    Open(kButtonsSkin);
    auto* fore = FindAs<CButtonUI>(L"fore");
    ASSERT_TRUE(fore);
    Canvas normal(*fore, 400, 300);
    EXPECT_EQ(normal.At(85, 5), kFore);
    EXPECT_EQ(normal.At(120, 20), kNormal);
    MoveTo({120, 20});
    Canvas hot(*fore, 400, 300);
    EXPECT_EQ(hot.At(120, 20), 0x00FF00u);
    EXPECT_EQ(hot.At(85, 5), 0x00FF00u) << "only the colour";
}

TEST_F(ControlsWindow, ClickSelectsTheBoundTabAndKeysActivate) {
    Open(kButtonsSkin);
    auto* tabs = FindAs<skinui::CTabLayoutUI>(L"tabs");
    ASSERT_TRUE(tabs);
    ASSERT_EQ(tabs->GetCurSel(), 0);
    Click({200, 20});
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_EQ(Trail(), (std::vector<std::wstring>{L"click:page", L"tabselect:tabs"}));

    window->Manager().SetFocus(Find(L"btn"));
    PostMessageW(hwnd, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(skintest::PumpUntilIdle()) << "after Space and Enter";
    EXPECT_EQ(window->Count(L"click", L"btn"), 2);
}

TEST_F(ControlsWindow, ButtonsWithoutSizeTakeTheirFontHeightPlusEightAndStretchInWidth) {
    Open(kButtonsSkin);
    const int fontHeight = window->Manager().GetFontInfo(-1).metrics.tmHeight;
    ASSERT_GT(fontHeight, 0);
    skinui::CControlUI* wide = Find(L"wide");
    const SIZE estimate = wide->EstimateSize({400, 40});
    EXPECT_EQ(estimate.cx, 0);
    EXPECT_EQ(estimate.cy, fontHeight + 8);
    EXPECT_EQ(wide->GetPos().left, 240);
    EXPECT_EQ(wide->GetPos().right, 400) << "the only stretch child takes what is left";

    const RECT& automatic = Find(L"auto")->GetPos();
    EXPECT_EQ(automatic.bottom - automatic.top, fontHeight + 8);
    EXPECT_EQ(automatic.right - automatic.left, 400);
}

TEST_F(ControlsWindow, LeftAlignedLabelStillDrawsOnOneCentredLine) {
    Open(kButtonsSkin);
    auto* left = FindAs<CLabelUI>(L"left");
    ASSERT_TRUE(left);
    EXPECT_EQ(left->GetTextStyle() & (skinui::kTextSingleLine | skinui::kTextCenter), 0u);
    const RECT pos = left->GetPos();
    ASSERT_EQ(pos.bottom - pos.top, 80);
    const auto rows = Canvas(*left, 400, 300).DarkRows(pos);
    ASSERT_GE(rows.first, 0) << "some text drawn";
    const int fontHeight = window->Manager().GetFontInfo(-1).metrics.tmHeight;
    EXPECT_LE(rows.second - rows.first, fontHeight) << "one line";
    EXPECT_GT(rows.first, pos.top + 20) << "centred vertically, as only single lines are";
}

TEST_F(ControlsWindow, AutoCalculatedWidthFollowsTheTextAndLinksReportTheirNumber) {
    Open(kButtonsSkin);
    auto* fit = FindAs<CLabelUI>(L"fit");
    ASSERT_TRUE(fit);
    const LONG width = fit->GetPos().right - fit->GetPos().left;
    EXPECT_GT(width, 8 + 20);
    EXPECT_LT(width, 200);
    EXPECT_EQ(fit->GetFixedWidth(), width);
    fit->SetText(L"some text that is a good deal longer");
    ASSERT_TRUE(skintest::PumpUntilIdle()) << "after the text changed";
    EXPECT_GT(fit->GetPos().right - fit->GetPos().left, width);

    auto* link = FindAs<skinui::CTextUI>(L"link");
    ASSERT_TRUE(link);
    ASSERT_EQ(link->GetLinkCount(), 1);
    const RECT pos = link->GetPos();
    Click({pos.left + 6, pos.top + 6});
    EXPECT_EQ(window->Count(L"link", L"link"), 1);
    EXPECT_EQ(window->notifications.back().wParam, 0u);
    Click({pos.right - 4, pos.top + 6});
    EXPECT_EQ(window->Count(L"link", L"link"), 1) << "plain text is no link";

    std::wstring many;
    for (int i = 0; i < 10; ++i)
        many += L"<a>" + std::to_wstring(i) + L"</a>";
    link->SetText(many);
    ASSERT_TRUE(skintest::PumpUntilIdle()) << "after the text changed";
    EXPECT_EQ(link->GetLinkCount(), 8) << "links past the eighth do not react";
}

TEST_F(ControlsWindow, WindowHslAdjustmentRecoloursOnlyControlsThatOptIn) {
    Open(LR"(<Window size="200,100"><HorizontalLayout>
      <Label name="plain" width="100" bkcolor="#FFFF0000" bordercolor="#FF0000FF" bordersize="2" />
      <Label name="tinted" colorhsl="true" bkcolor="#FFFF0000" bordercolor="#FF0000FF" bordersize="2" />
    </HorizontalLayout></Window>)");
    window->Manager().SetHslAdjustment({120, 100, 100});
    Canvas plain(*Find(L"plain"), 200, 100);
    EXPECT_EQ(plain.At(50, 50), 0xFF0000u);
    EXPECT_EQ(plain.At(0, 50), 0x0000FFu);
    Canvas tinted(*Find(L"tinted"), 200, 100);
    EXPECT_EQ(tinted.At(150, 50), 0x00FF00u) << "red turned by 120 degrees";
    EXPECT_EQ(tinted.At(100, 50), 0xFF0000u) << "the blue border turned to red";

    window->Manager().SetHslAdjustment({});
    EXPECT_EQ(Canvas(*Find(L"tinted"), 200, 100).At(150, 50), 0xFF0000u);
}

TEST(LabelAttributes, AlignAndValignFollowTheBitRules) {
    CLabelUI label;
    EXPECT_EQ(label.GetTextStyle(), skinui::kTextVCenter);
    label.SetAttribute(L"align", L"right");
    EXPECT_EQ(label.GetTextStyle(), skinui::kTextVCenter | skinui::kTextRight);
    label.SetAttribute(L"align", L"center");
    EXPECT_EQ(label.GetTextStyle(), skinui::kTextVCenter | skinui::kTextCenter);
    label.SetAttribute(L"valign", L"bottom");
    EXPECT_EQ(label.GetTextStyle(),
              skinui::kTextCenter | skinui::kTextBottom | skinui::kTextSingleLine);
    label.SetAttribute(L"valign", L"top");
    EXPECT_EQ(label.GetTextStyle(), skinui::kTextCenter | skinui::kTextSingleLine);
    label.SetAttribute(L"endellipsis", L"true");
    label.SetAttribute(L"align", L"left");
    EXPECT_EQ(label.GetTextStyle(), skinui::kTextEndEllipsis);
    label.SetAttribute(L"textshadowcolora", L"#FF000000");
    EXPECT_EQ(label.GetTextStyle(), skinui::kTextEndEllipsis);

    CButtonUI button;
    EXPECT_EQ(button.GetTextStyle(), 0x25u);
    button.SetAttribute(L"multiline", L"true");
    EXPECT_EQ(button.GetTextStyle(), skinui::kTextWordBreak | 0x5u);
    EXPECT_EQ(COptionUI().GetTextStyle(), 0x25u);
    EXPECT_EQ(CProgressUI().GetTextStyle(), 0x21u);
    EXPECT_EQ(skinui::CTextUI().GetTextStyle(), skinui::kTextWordBreak);
}

} // namespace
