#include "tests/skinui/support/ControlsFixture.h"

#include "skinui/extras/GifAnimUI.h"
#include "skinui/resources/SkinResources.h"
#include "tests/support/TestSupport.h"

#include <algorithm>

using namespace controlstest;
using skintest::PumpFor;
using skintest::PumpUntil;

namespace {

constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;
// Frame showings timed, the clock's step, and how much longer than its delay the shortest
// showing may take (painting, the pump's own wait).
constexpr int kRounds = 3;
constexpr DWORD kTick = 16;
constexpr DWORD kSlack = 60;

class GifWindow : public ControlsWindow {
protected:
    void SetUp() override {
        skinui::resources::SetResourcePath((testsupport::HarnessPath("ORVIA_SOURCE_DIR") / "tests" /
                                            "skinui" / "resources" / "gifs")
                                               .wstring());
    }

    std::uint32_t Shown(skinui::CGifAnimUI& gif) {
        const RECT pos = gif.GetPos();
        return Canvas(gif, 200, 100).At(pos.left + 5, pos.top + 5);
    }
};

constexpr wchar_t kGifSkin[] = LR"(<Window size="200,100">
  <HorizontalLayout>
    <GifAnim name="gif" bkimage="two-frames.gif" autosize="true" />
    <GifAnim name="still" bkimage="two-frames.gif" autoplay="false" width="60" />
    <Control />
  </HorizontalLayout>
</Window>)";

TEST_F(GifWindow, FramesAdvanceWithTheirOwnDelaysAndLoop) {
    Open(kGifSkin);
    auto* gif = FindAs<skinui::CGifAnimUI>(L"gif");
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->GetFrameCount(), 2);
    const RECT pos = gif->GetPos();
    EXPECT_EQ(pos.right - pos.left, 40) << "autosize takes the first frame's size";
    EXPECT_EQ(pos.bottom - pos.top, 30);
    EXPECT_TRUE(gif->IsPlaying());

    EXPECT_EQ(gif->GetFrameDelay(0), 100);
    EXPECT_EQ(gif->GetFrameDelay(1), 300);

    // Each change is timed from the one before: red shows for 100 ms, blue for 300 ms. A busy
    // machine only lengthens a showing, so the shortest of a few is compared with the delay.
    ASSERT_TRUE(PumpUntil(
        "the first frame", [&] { return gif->GetCurrentFrame() == 0; }, 2000));
    ASSERT_TRUE(PumpUntil(
        "the blue frame", [&] { return gif->GetCurrentFrame() == 1; }, 2000));
    DWORD blueShown = MAXDWORD, redShown = MAXDWORD;
    for (int round = 0; round < kRounds; round++) {
        const DWORD blueSince = GetTickCount();
        EXPECT_EQ(Shown(*gif), kBlue);
        ASSERT_TRUE(PumpUntil(
            "the red frame again", [&] { return gif->GetCurrentFrame() == 0; }, 2000));
        const DWORD redSince = GetTickCount();
        blueShown = std::min(blueShown, redSince - blueSince);
        EXPECT_EQ(Shown(*gif), kRed);
        ASSERT_TRUE(PumpUntil(
            "blue after red", [&] { return gif->GetCurrentFrame() == 1; }, 2000));
        redShown = std::min(redShown, GetTickCount() - redSince);
    }
    // The tick count and the timers step by up to a scheduler tick either way.
    EXPECT_GE(blueShown, 300u - kTick);
    EXPECT_LE(blueShown, 300u + kSlack);
    EXPECT_GE(redShown, 100u - kTick);
    EXPECT_LE(redShown, 100u + kSlack);
}

TEST_F(GifWindow, PausePlayAndStopKeepOrResetTheFrame) {
    Open(kGifSkin);
    auto* still = FindAs<skinui::CGifAnimUI>(L"still");
    ASSERT_TRUE(still);
    EXPECT_FALSE(still->IsPlaying()) << "autoplay is off";
    EXPECT_EQ(Shown(*still), kRed);
    PumpFor(250);
    EXPECT_EQ(still->GetCurrentFrame(), 0);

    still->PlayGif();
    ASSERT_TRUE(PumpUntil("the second frame", [&] { return still->GetCurrentFrame() == 1; }));
    still->PauseGif();
    EXPECT_FALSE(still->IsPlaying());
    PumpFor(450);
    EXPECT_EQ(still->GetCurrentFrame(), 1) << "paused on the blue frame";
    EXPECT_EQ(Shown(*still), kBlue);
    still->StopGif();
    EXPECT_EQ(still->GetCurrentFrame(), 0);
    EXPECT_EQ(Shown(*still), kRed);
}

TEST_F(GifWindow, AnImageThatIsNoGifIsShownStill) {
    skinui::resources::SetResourcePath((testsupport::HarnessPath("ORVIA_SOURCE_DIR") / "tests" /
                                        "skinui" / "builder" / "resources")
                                           .wstring());
    Open(LR"(<Window size="200,100"><HorizontalLayout>
        <GifAnim name="png" bkimage="blue.png" width="20" /><Control /></HorizontalLayout></Window>)");
    auto* png = FindAs<skinui::CGifAnimUI>(L"png");
    ASSERT_TRUE(png);
    EXPECT_EQ(png->GetFrameCount(), 0);
    EXPECT_FALSE(png->IsPlaying());
    EXPECT_EQ(Canvas(*png, 200, 100).At(5, 5), 0x143CC8u);
}

} // namespace
