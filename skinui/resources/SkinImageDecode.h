#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace skinui::resources {

// Platform-independent half of skin image loading: decoding and the conversion to the pixel
// layout the window draws with.

struct DecodedImage {
    int width{0};
    int height{0};
    bool hasAlpha{false};
    std::vector<std::uint8_t> bgra; // top-down rows, 4 bytes per pixel, premultiplied
};

// Converts 8-bit RGBA to premultiplied BGRA in place: pixels with alpha 255 are copied, all
// others premultiplied; a pixel whose resulting 32-bit value (0xAARRGGBB) equals `mask` becomes
// 0. Returns whether the image has any transparency (premultiplied or masked pixel).
bool ConvertRgbaToPremultipliedBgra(std::uint8_t* pixels, std::size_t pixelCount,
                                    std::uint32_t mask);

// Decodes PNG, JPEG, BMP, GIF and the other formats the decoder knows. Nothing for bad data or
// images above kMaxImageDimension pixels on a side.
std::optional<DecodedImage> DecodeSkinImage(const std::uint8_t* data, std::size_t size,
                                            std::uint32_t mask);

constexpr int kMaxImageDimension = 4096;

} // namespace skinui::resources
