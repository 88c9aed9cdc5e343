#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// Per channel difference tolerated between a rendering and its reference: font smoothing
// differs slightly between machines.
constexpr int kChannelTolerance = 48;
// Share of pixels allowed beyond that difference over a whole window (anti-aliased glyph
// edges). A state change can be smaller than that, so the area a state changes is compared
// with no allowance (kExactShare), and the loose share serves only for the rest.
constexpr double kMaxDifferentShare = 0.01;
constexpr double kExactShare = 0.0;

// Left, top, right, bottom of a part of an image, in pixels.
struct ImageArea {
    int left, top, right, bottom;
};

// tests/<component>/reference/<name>.png in the source tree.
std::filesystem::path ReferenceImagePath(const std::string& component, const std::string& name);

// Fraction of the pixels of a rendering (top-down rows, 4 bytes per pixel RGBA) whose colour
// differs from the PNG `reference` by more than the tolerance; 1 when the reference is missing,
// unreadable or has another size.
double DifferenceFromReference(const std::filesystem::path& reference, int width, int height,
                               const std::vector<std::uint8_t>& rgba);
// The same over the pixels of `area` alone; 1 when the area is empty or leaves the image.
double DifferenceFromReference(const std::filesystem::path& reference, int width, int height,
                               const std::vector<std::uint8_t>& rgba, const ImageArea& area);

} // namespace testsupport
