#include "ColorAdjust.h"

#include <algorithm>
#include <cmath>

namespace skinui::markup {

namespace {

struct Hsl {
    double hue;        // [0, 360)
    double saturation; // [0, 1]
    double lightness;  // [0, 1]
};

Hsl ToHsl(double r, double g, double b) {
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    const double lightness = (high + low) / 2;
    const double chroma = high - low;
    if (chroma <= 0)
        return {0, 0, lightness};
    const double saturation = chroma / (1 - std::fabs(2 * lightness - 1));
    double hue;
    if (high == r)
        hue = std::fmod((g - b) / chroma, 6.0);
    else if (high == g)
        hue = (b - r) / chroma + 2;
    else
        hue = (r - g) / chroma + 4;
    hue *= 60;
    if (hue < 0)
        hue += 360;
    return {hue, std::clamp(saturation, 0.0, 1.0), lightness};
}

void FromHsl(const Hsl& hsl, double& r, double& g, double& b) {
    const double chroma = (1 - std::fabs(2 * hsl.lightness - 1)) * hsl.saturation;
    const double sector = hsl.hue / 60;
    const double x = chroma * (1 - std::fabs(std::fmod(sector, 2.0) - 1));
    const double m = hsl.lightness - chroma / 2;
    double r1 = 0, g1 = 0, b1 = 0;
    switch (static_cast<int>(sector) % 6) {
    case 0:
        r1 = chroma;
        g1 = x;
        break;
    case 1:
        r1 = x;
        g1 = chroma;
        break;
    case 2:
        g1 = chroma;
        b1 = x;
        break;
    case 3:
        g1 = x;
        b1 = chroma;
        break;
    case 4:
        r1 = x;
        b1 = chroma;
        break;
    default:
        r1 = chroma;
        b1 = x;
        break;
    }
    r = r1 + m;
    g = g1 + m;
    b = b1 + m;
}

std::uint32_t ToByte(double channel) {
    return static_cast<std::uint32_t>(std::lround(std::clamp(channel, 0.0, 1.0) * 255));
}

} // namespace

bool HslAdjustment::IsIdentity() const {
    return hueShift % 360 == 0 && saturationPercent == 100 && lightnessPercent == 100;
}

std::uint32_t AdjustColor(std::uint32_t argb, const HslAdjustment& adjustment) {
    if (adjustment.IsIdentity())
        return argb;
    Hsl hsl =
        ToHsl(((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0);
    hsl.hue = std::fmod(hsl.hue + adjustment.hueShift % 360 + 360, 360.0);
    hsl.saturation = std::clamp(hsl.saturation * adjustment.saturationPercent / 100, 0.0, 1.0);
    const double lightness = std::clamp(adjustment.lightnessPercent, 0, 200) / 100.0;
    hsl.lightness = lightness <= 1 ? hsl.lightness * lightness
                                   : hsl.lightness + (1 - hsl.lightness) * (lightness - 1);
    double r, g, b;
    FromHsl(hsl, r, g, b);
    return (argb & 0xFF000000u) | (ToByte(r) << 16) | (ToByte(g) << 8) | ToByte(b);
}

} // namespace skinui::markup
