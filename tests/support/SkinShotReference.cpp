#include "tests/support/SkinShotReference.h"

#include "tests/support/TestSupport.h"

namespace testsupport {

bool KeepArtifact(const skinshot::SkinShot& shot, const std::string& name) {
    return skinshot::WritePng((ArtifactsFolder() / (name + ".png")).wstring(), shot);
}

double DifferenceFromReference(const skinshot::SkinShot& shot, const std::string& component,
                               const std::string& name) {
    return DifferenceFromReference(ReferenceImagePath(component, name), shot.width, shot.height,
                                   shot.rgba);
}

double DifferenceFromReference(const skinshot::SkinShot& shot, const std::string& component,
                               const std::string& name, const ImageArea& area) {
    return DifferenceFromReference(ReferenceImagePath(component, name), shot.width, shot.height,
                                   shot.rgba, area);
}

} // namespace testsupport
