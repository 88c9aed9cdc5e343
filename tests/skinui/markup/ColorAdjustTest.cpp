#include "skinui/markup/ColorAdjust.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace skinui::markup;

namespace {

int Channel(std::uint32_t argb, int shift) {
    return static_cast<int>((argb >> shift) & 0xFF);
}

// Rounding through HSL may move a channel by one step.
void ExpectNear(std::uint32_t expected, std::uint32_t actual) {
    EXPECT_EQ(expected >> 24, actual >> 24) << std::hex << actual;
    for (int shift : {16, 8, 0})
        EXPECT_LE(std::abs(Channel(expected, shift) - Channel(actual, shift)), 1)
            << std::hex << expected << " vs " << actual;
}

TEST(ColorAdjust, TheDefaultAndFullTurnsLeaveEveryColourExactlyAsItWas) {
    for (std::uint32_t color : {0xFF000000u, 0x80123456u, 0xFFFFFFFFu, 0x00ABCDEFu}) {
        EXPECT_EQ(color, AdjustColor(color, {}));
        EXPECT_EQ(color, AdjustColor(color, {360, 100, 100}));
        EXPECT_EQ(color, AdjustColor(color, {-720, 100, 100}));
    }
}

TEST(ColorAdjust, HueTurnsPrimariesIntoEachOtherAndKeepsAlpha) {
    ExpectNear(0xFF00FF00u, AdjustColor(0xFFFF0000u, {120, 100, 100}));
    ExpectNear(0x800000FFu, AdjustColor(0x80FF0000u, {240, 100, 100}));
    ExpectNear(0xFF0000FFu, AdjustColor(0xFFFF0000u, {-120, 100, 100}));
    ExpectNear(0xFFFF0000u, AdjustColor(0xFF0000FFu, {480, 100, 100}));
}

TEST(ColorAdjust, SaturationAndLightnessScaleWithinTheirLimits) {
    ExpectNear(0xFF808080u, AdjustColor(0xFFFF0000u, {0, 0, 100}));   // grey of equal lightness
    ExpectNear(0xFFFF0000u, AdjustColor(0xFFFF0000u, {0, 500, 100})); // already fully saturated
    ExpectNear(0xFF000000u, AdjustColor(0xFF3366CCu, {0, 100, 0}));
    ExpectNear(0xFFFFFFFFu, AdjustColor(0xFF3366CCu, {0, 100, 200}));
    ExpectNear(0xFFFFFFFFu, AdjustColor(0xFF3366CCu, {0, 100, 1000}));
    ExpectNear(0xFF000000u, AdjustColor(0xFF3366CCu, {0, 100, -50}));
    ExpectNear(0xFF7F7F7Fu, AdjustColor(0xFFFFFFFFu, {90, 100, 50})); // white has no hue to turn
}

} // namespace
