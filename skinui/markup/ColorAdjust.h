#pragma once

#include <cstdint>

namespace skinui::markup {

// A window-wide shift of hue, saturation and lightness that controls opt into with colorhsl, so
// one skin can be recoloured at run time. The default changes nothing.
struct HslAdjustment {
    int hueShift = 0;            // degrees added to the hue, any value (wraps at 360)
    int saturationPercent = 100; // 0 grey, 100 unchanged, 200 twice as saturated (clamped)
    int lightnessPercent = 100;  // 0 black, 100 unchanged, 200 white

    bool IsIdentity() const;
};

// Adjusts a 0xAARRGGBB colour; alpha is kept, and the identity returns the colour unchanged.
std::uint32_t AdjustColor(std::uint32_t argb, const HslAdjustment& adjustment);

} // namespace skinui::markup
