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
// images of more than kMaxImagePixels pixels, which is checked before anything is decoded.
std::optional<DecodedImage> DecodeSkinImage(const std::uint8_t* data, std::size_t size,
                                            std::uint32_t mask);

// Far above any skin image (a strip of many button states is a few hundred thousand pixels),
// far below what a hostile header could make the decoder allocate.
constexpr std::uint64_t kMaxImagePixels = 64u * 1024u * 1024u;

// An animation's frames, each composed on the whole canvas (earlier frames, disposal and
// transparency applied), as premultiplied BGRA like DecodedImage.
struct DecodedAnimation {
    int width{0};
    int height{0};
    std::vector<DecodedImage> frames;
    std::vector<int> delays; // milliseconds, one per frame, as stored (0 when none is given)
};

// Decodes every frame of a GIF. Nothing for bad data, for a canvas of more than
// kMaxImagePixels pixels, or when all frames together would hold more than that. A GIF whose
// later frames are damaged keeps the frames before the damage.
std::optional<DecodedAnimation> DecodeGifAnimation(const std::uint8_t* data, std::size_t size);

} // namespace skinui::resources
