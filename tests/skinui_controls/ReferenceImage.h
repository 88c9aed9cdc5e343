#pragma once

#include "SkinShot.h"

#include <string>

namespace controlstest {

// Per channel difference tolerated between a rendering and its reference: font smoothing
// differs slightly between machines.
constexpr int kChannelTolerance = 48;
// Share of pixels allowed beyond that difference (anti-aliased glyph edges).
constexpr double kMaxDifferentShare = 0.01;

// Fraction of pixels differing from reference/<name>.png by more than the tolerance; 1 when
// the reference is missing or has another size.
double DifferenceFromReference(const skinshot::SkinShot& shot, const std::string& name);
// Keeps the rendering as <name>.png in the artifacts folder; false when it cannot be written.
bool KeepArtifact(const skinshot::SkinShot& shot, const std::string& name);

} // namespace controlstest
