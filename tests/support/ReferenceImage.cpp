#include "tests/support/ReferenceImage.h"

#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb_image.h>

namespace testsupport {

namespace {

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

} // namespace

std::filesystem::path ReferenceImagePath(const std::string& component, const std::string& name) {
    return HarnessPath("ORVIA_SOURCE_DIR") / "tests" / component / "reference" / (name + ".png");
}

double DifferenceFromReference(const std::filesystem::path& reference, int width, int height,
                               const std::vector<std::uint8_t>& rgba) {
    return DifferenceFromReference(reference, width, height, rgba, ImageArea{0, 0, width, height});
}

double DifferenceFromReference(const std::filesystem::path& reference, int width, int height,
                               const std::vector<std::uint8_t>& rgba, const ImageArea& area) {
    std::ifstream file(reference, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
    int referenceWidth = 0, referenceHeight = 0, channels = 0;
    const std::unique_ptr<stbi_uc, StbFree> pixels(
        stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &referenceWidth,
                              &referenceHeight, &channels, 4));
    const size_t count = static_cast<size_t>(width) * height;
    if (!pixels || referenceWidth != width || referenceHeight != height || count == 0 ||
        rgba.size() < count * 4)
        return 1.0;
    if (area.left < 0 || area.top < 0 || area.right > width || area.bottom > height ||
        area.left >= area.right || area.top >= area.bottom)
        return 1.0;
    size_t different = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const size_t i = static_cast<size_t>(y) * width + x;
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(pixels.get()[i * 4 + c]) - int(rgba[i * 4 + c])) >
                    kChannelTolerance) {
                    ++different;
                    break;
                }
        }
    return static_cast<double>(different) /
           (static_cast<double>(area.right - area.left) * (area.bottom - area.top));
}

} // namespace testsupport
