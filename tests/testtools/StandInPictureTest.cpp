#include "tools/flashstandin/Animation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using flashstandin::AnimationPixel;
using flashstandin::kAnimationCycle;
using flashstandin::RenderAnimation;

namespace {

std::uint32_t Alpha(std::uint32_t pixel) {
    return pixel >> 24;
}

TEST(StandInPicture, HasOpaqueSoftAndClearPixelsInEveryFrame) {
    constexpr int kWidth = 300, kHeight = 200;
    for (int frame = 0; frame < kAnimationCycle; ++frame) {
        std::vector<std::uint32_t> pixels(kWidth * kHeight);
        RenderAnimation(pixels.data(), kWidth, kWidth, kHeight, frame);
        int opaque = 0, partial = 0, clear = 0;
        for (std::uint32_t pixel : pixels) {
            const std::uint32_t alpha = Alpha(pixel);
            opaque += alpha == 255;
            clear += alpha == 0;
            partial += alpha > 0 && alpha < 255;
            // Premultiplied: no colour channel exceeds the alpha.
            ASSERT_LE(pixel >> 16 & 0xFF, alpha);
            ASSERT_LE(pixel >> 8 & 0xFF, alpha);
            ASSERT_LE(pixel & 0xFF, alpha);
        }
        EXPECT_GT(opaque, 1000) << "frame " << frame;
        EXPECT_GT(partial, 1000) << "frame " << frame;
        EXPECT_GT(clear, 10000) << "frame " << frame;
        EXPECT_EQ(Alpha(pixels[kHeight / 2 * kWidth + kWidth / 2]), 255u) << "the centre";
        EXPECT_EQ(Alpha(pixels[0]), 0u) << "a corner";
    }
}

TEST(StandInPicture, ChangesFromFrameToFrame) {
    EXPECT_NE(AnimationPixel(150, 100, 300, 200, 0), AnimationPixel(150, 100, 300, 200, 12));
}

TEST(StandInPicture, NothingOutsideTheAreaOrInAnEmptyOne) {
    EXPECT_EQ(AnimationPixel(-500, 0, 300, 200, 0), 0u);
    EXPECT_EQ(AnimationPixel(10, 10, 0, 0, 0), 0u);
    EXPECT_EQ(AnimationPixel(0, 0, -3, 5, 0), 0u);
}

} // namespace
