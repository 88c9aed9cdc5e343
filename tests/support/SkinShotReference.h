#pragma once

#include "SkinShot.h"
#include "tests/support/ReferenceImage.h"

#include <string>

namespace testsupport {

// Keeps the rendering as <name>.png in the artifacts folder; false when it cannot be written.
bool KeepArtifact(const skinshot::SkinShot& shot, const std::string& name);

// Share of the shot's pixels beyond the tolerance from tests/<component>/reference/<name>.png;
// 1 when that reference is missing or has another size.
double DifferenceFromReference(const skinshot::SkinShot& shot, const std::string& component,
                               const std::string& name);
// The same over `area` of the shot alone.
double DifferenceFromReference(const skinshot::SkinShot& shot, const std::string& component,
                               const std::string& name, const ImageArea& area);

} // namespace testsupport
