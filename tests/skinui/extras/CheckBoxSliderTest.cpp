#include "tests/skinui/support/ControlsFixture.h"

#include "skinui/extras/CheckBoxUI.h"
#include "skinui/extras/OptionExUI.h"
#include "skinui/extras/SliderUI.h"

using namespace controlstest;

namespace {

constexpr wchar_t kOthersSkin[] = LR"(<Window size="400,200">
  <VerticalLayout>
    <HorizontalLayout height="40">
      <CheckBox name="check" width="80" selectedimage="selected.png" normalimage="normal.png" />
      <OptionEx name="optex" width="80" normalimage="normal.png" forenormalimage="file='fore.png' dest='0,0,10,10'" forehotimage="file='hot.png' dest='0,0,10,10'" />
      <Slider name="slider" width="200" thumbsize="10,20" step="5" sendmove="true" thumbimage="pushed.png" />
    </HorizontalLayout>
    <Control />
  </VerticalLayout>
</Window>)";

TEST_F(ControlsWindow, CheckBoxTogglesAndOptionExLayersItsForeImageByState) {
    Open(kOthersSkin);
    auto* check = FindAs<skinui::CCheckBoxUI>(L"check");
    ASSERT_TRUE(check);
    EXPECT_TRUE(skinui::InterfaceCast<skinui::COptionUI>(check)) << "a check box is an option";
    Click({40, 20});
    Click({40, 20});
    EXPECT_FALSE(check->GetCheck());
    EXPECT_EQ(window->Count(L"selectchanged", L"check"), 2);
    check->SetCheck(true);
    EXPECT_EQ(Canvas(*check, 400, 200).At(40, 20), 0xEE8811u);

    auto* optex = FindAs<skinui::COptionExUI>(L"optex");
    ASSERT_TRUE(optex);
    EXPECT_EQ(Canvas(*optex, 400, 200).At(85, 5), 0x8833AAu);
    EXPECT_EQ(Canvas(*optex, 400, 200).At(120, 20), 0x3366CCu);
    MoveTo({120, 20});
    EXPECT_EQ(Canvas(*optex, 400, 200).At(85, 5), 0x33AA33u);
}

TEST_F(ControlsWindow, SliderFollowsPressDragAndWheelAndReportsValues) {
    Open(kOthersSkin);
    auto* slider = FindAs<skinui::CSliderUI>(L"slider");
    ASSERT_TRUE(slider);
    const RECT pos = slider->GetPos();
    ASSERT_EQ(pos.right - pos.left, 200);
    ASSERT_EQ(pos.bottom - pos.top, 12) << "a progress bar's default height";
    const LONG mid = pos.top + 6;
    Press({pos.left + 50, mid});
    EXPECT_EQ(slider->GetValue(), 25);
    MoveTo({pos.left + 100, mid}, MK_LBUTTON);
    EXPECT_EQ(slider->GetValue(), 50);
    EXPECT_EQ(window->Count(L"movevaluechanged", L"slider"), 1);
    MoveTo({pos.left + 300, mid}, MK_LBUTTON);
    EXPECT_EQ(slider->GetValue(), 100) << "kept inside the range";
    Release({pos.left + 300, mid});
    EXPECT_EQ(window->Count(L"valuechanged", L"slider"), 1);

    const RECT thumb = slider->GetThumbRect();
    EXPECT_EQ(thumb.left, pos.right - 5);
    EXPECT_EQ(thumb.bottom - thumb.top, 20);

    Wheel({pos.left + 100, mid}, true);
    EXPECT_EQ(slider->GetValue(), 95);
    EXPECT_EQ(window->Count(L"valuechanged", L"slider"), 2);
    EXPECT_EQ(Canvas(*slider, 400, 200).At(pos.left + 190, mid), 0xCC2222u) << "the thumb";
}

} // namespace
