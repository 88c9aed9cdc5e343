#include "skinui/resources/SkinImageDecode.h"

#include <climits>
#include <memory>

#include <stb_image.h>

namespace skinui::resources {

namespace {

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

} // namespace

bool ConvertRgbaToPremultipliedBgra(std::uint8_t* pixels, std::size_t pixelCount,
                                    std::uint32_t mask) {
    bool hasAlpha = false;
    for (std::size_t i = 0; i < pixelCount; ++i) {
        std::uint8_t* p = pixels + 4 * i;
        std::uint32_t r = p[0], g = p[1], b = p[2], a = p[3];
        if (a != 255) {
            r = r * a / 255;
            g = g * a / 255;
            b = b * a / 255;
            hasAlpha = true;
        }
        std::uint32_t value = (a << 24) | (r << 16) | (g << 8) | b;
        if (value == mask) {
            value = 0;
            hasAlpha = true;
        }
        p[0] = static_cast<std::uint8_t>(value);
        p[1] = static_cast<std::uint8_t>(value >> 8);
        p[2] = static_cast<std::uint8_t>(value >> 16);
        p[3] = static_cast<std::uint8_t>(value >> 24);
    }
    return hasAlpha;
}

std::optional<DecodedImage> DecodeSkinImage(const std::uint8_t* data, std::size_t size,
                                            std::uint32_t mask) {
    if (data == nullptr || size == 0 || size > static_cast<std::size_t>(INT_MAX))
        return std::nullopt;
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, static_cast<int>(size), &width, &height, &channels) ||
        width <= 0 || height <= 0 ||
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxImagePixels)
        return std::nullopt;
    std::unique_ptr<stbi_uc, StbFree> pixels(stbi_load_from_memory(
        data, static_cast<int>(size), &width, &height, &channels, STBI_rgb_alpha));
    if (!pixels || width <= 0 || height <= 0)
        return std::nullopt;
    DecodedImage image;
    image.width = width;
    image.height = height;
    std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    image.bgra.assign(pixels.get(), pixels.get() + count * 4);
    image.hasAlpha = ConvertRgbaToPremultipliedBgra(image.bgra.data(), count, mask);
    return image;
}

} // namespace skinui::resources
