#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// Per channel difference tolerated between a rendering and its reference: font smoothing
// differs slightly between machines.
constexpr int kChannelTolerance = 48;
// Share of pixels allowed beyond that difference (anti-aliased glyph edges).
constexpr double kMaxDifferentShare = 0.01;

// tests/<component>/reference/<name>.png in the source tree.
std::filesystem::path ReferenceImagePath(const std::string& component, const std::string& name);

// Fraction of the pixels of a rendering (top-down rows, 4 bytes per pixel RGBA) whose colour
// differs from the PNG `reference` by more than the tolerance; 1 when the reference is missing,
// unreadable or has another size.
double DifferenceFromReference(const std::filesystem::path& reference, int width, int height,
                               const std::vector<std::uint8_t>& rgba);

} // namespace testsupport
