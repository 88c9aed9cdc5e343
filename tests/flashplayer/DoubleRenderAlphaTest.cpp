#include "flashplayer/DoubleRenderAlpha.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

using flashplayer::DeriveAlphaFromDoubleRender;

namespace {

using Pixel = std::array<std::uint8_t, 4>; // blue, green, red, alpha

std::uint8_t AlphaOf(Pixel onBlack, const Pixel& onWhite) {
    DeriveAlphaFromDoubleRender(onBlack.data(), onWhite.data(), 1);
    return onBlack[3];
}

TEST(DoubleRenderAlpha, APixelDrawnAlikeOnBothIsOpaque) {
    EXPECT_EQ(AlphaOf({10, 20, 30, 0}, {10, 20, 30, 255}), 255);
    EXPECT_EQ(AlphaOf({0, 0, 0, 0}, {0, 0, 0, 0}), 255);
}

TEST(DoubleRenderAlpha, BackgroundLeftAsItWasIsTransparent) {
    EXPECT_EQ(AlphaOf({0, 0, 0, 0}, {255, 255, 255, 255}), 0) << "765 / 3 = 255";
}

TEST(DoubleRenderAlpha, HalfCoverageGivesHalfAlpha) {
    // A red at half coverage: 128 over black, 128 + 127 over white in red, 127 elsewhere.
    EXPECT_EQ(AlphaOf({0, 0, 128, 0}, {127, 127, 255, 255}), 128);
}

TEST(DoubleRenderAlpha, AChannelLighterOnBlackWraps) {
    // 1 on black and 0 on white counts as 255 for that channel: (255 + 0 + 0) / 3 = 85.
    EXPECT_EQ(AlphaOf({1, 5, 5, 0}, {0, 5, 5, 255}), 170);
}

TEST(DoubleRenderAlpha, KeepsTheColoursAndTouchesEveryPixel) {
    std::array<std::uint8_t, 12> black{1, 2, 3, 9, 0, 0, 0, 9, 50, 60, 70, 9};
    const std::array<std::uint8_t, 12> white{1, 2, 3, 0, 255, 255, 255, 0, 50, 60, 70, 0};
    DeriveAlphaFromDoubleRender(black.data(), white.data(), 3);
    const std::array<std::uint8_t, 12> expected{1, 2, 3, 255, 0, 0, 0, 0, 50, 60, 70, 255};
    EXPECT_EQ(black, expected);
}

} // namespace
