#include "tools/flashstandin/Animation.h"

#include <algorithm>
#include <cmath>

namespace flashstandin {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Shapes relative to the smaller side of the area.
constexpr double kDiscRadius = 0.30;
constexpr double kHaloRadius = 0.40;
constexpr double kHaloOpacity = 0.40;
constexpr double kDotOrbit = 0.30;
constexpr double kDotRadius = 0.09;
constexpr double kDotOpacity = 0.85;
constexpr double kSoftEdge = 5.0; // pixels over which an edge fades out

struct Colour {
    double r, g, b, a; // premultiplied, 0..1
};

// Coverage of a disc edge at distance d from the centre: 1 well inside, 0 well outside, a ramp
// kSoftEdge pixels wide around the radius.
double Coverage(double d, double radius) {
    return std::clamp((radius - d) / kSoftEdge + 0.5, 0.0, 1.0);
}

Colour Over(const Colour& top, const Colour& below) {
    const double rest = 1.0 - top.a;
    return {top.r + below.r * rest, top.g + below.g * rest, top.b + below.b * rest,
            top.a + below.a * rest};
}

Colour Solid(double r, double g, double b, double alpha) {
    return {r * alpha, g * alpha, b * alpha, alpha};
}

std::uint32_t Pack(const Colour& c) {
    const auto byte = [](double v) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

} // namespace

std::uint32_t AnimationPixel(int x, int y, int width, int height, int frame) {
    if (width <= 0 || height <= 0)
        return 0;
    const double side = std::min(width, height);
    // Pixel centres, so that the picture is symmetric in the area.
    const double cx = width / 2.0, cy = height / 2.0;
    const double px = x + 0.5, py = y + 0.5;
    const double d = std::hypot(px - cx, py - cy);
    const double phase = 2.0 * kPi * (frame % kAnimationCycle) / kAnimationCycle;

    // The disc's colour swings between orange and a deep pink.
    const double swing = 0.5 + 0.5 * std::sin(phase);
    const double r = 1.0, g = 0.55 - 0.40 * swing, b = 0.05 + 0.45 * swing;

    const double halo =
        kHaloOpacity * Coverage(d, side * kHaloRadius) *
        std::clamp((side * kHaloRadius - d) / (side * (kHaloRadius - kDiscRadius)), 0.0, 1.0);
    Colour colour = Solid(r, g, b, halo);
    colour = Over(Solid(r, g, b, Coverage(d, side * kDiscRadius)), colour);

    const double dotX = cx + side * kDotOrbit * std::cos(phase);
    const double dotY = cy + side * kDotOrbit * std::sin(phase);
    const double dotDistance = std::hypot(px - dotX, py - dotY);
    colour = Over(Solid(1.0, 0.95, 0.75, kDotOpacity * Coverage(dotDistance, side * kDotRadius)),
                  colour);
    return Pack(colour);
}

void RenderAnimation(std::uint32_t* pixels, int stride, int width, int height, int frame) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<long>(y) * stride + x] = AnimationPixel(x, y, width, height, frame);
}

} // namespace flashstandin
