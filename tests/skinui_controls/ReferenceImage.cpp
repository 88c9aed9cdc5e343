#include "ReferenceImage.h"

#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb_image.h>

namespace controlstest {

double DifferenceFromReference(const skinshot::SkinShot& shot, const std::string& name) {
    const auto path = testsupport::HarnessPath("ORVIA_SOURCE_DIR") / "tests" / "skinui_controls" /
                      "reference" / (name + ".png");
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                            &height, &channels, 4);
    if (!pixels)
        return 1.0;
    if (width != shot.width || height != shot.height) {
        stbi_image_free(pixels);
        return 1.0;
    }
    size_t different = 0;
    const size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c)
            if (std::abs(int(pixels[i * 4 + c]) - int(shot.rgba[i * 4 + c])) > kChannelTolerance) {
                ++different;
                break;
            }
    stbi_image_free(pixels);
    return static_cast<double>(different) / count;
}

bool KeepArtifact(const skinshot::SkinShot& shot, const std::string& name) {
    return skinshot::WritePng((testsupport::ArtifactsFolder() / (name + ".png")).wstring(), shot);
}

} // namespace controlstest
