#include "skinui/resources/SkinImageDecode.h"

#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

using namespace skinui::resources;

namespace {

std::vector<std::uint8_t> EncodePng(const std::vector<std::uint8_t>& rgba, int width, int height) {
    std::vector<std::uint8_t> png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* out = static_cast<std::vector<std::uint8_t>*>(context);
            auto* bytes = static_cast<std::uint8_t*>(data);
            out->insert(out->end(), bytes, bytes + size);
        },
        &png, width, height, 4, rgba.data(), width * 4);
    return png;
}

std::uint32_t Pixel(const DecodedImage& image, int index) {
    const std::uint8_t* p = image.bgra.data() + 4 * index;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

TEST(SkinImageDecodeTest, PremultipliesTranslucentPixelsAndAppliesMask) {
    std::vector<std::uint8_t> rgba = {
        255, 128, 0,   255, // opaque: copied
        200, 100, 50,  128, // translucent: premultiplied
        255, 0,   255, 255, // the mask colour
        10,  20,  30,  0,   // fully transparent
    };
    auto image =
        DecodeSkinImage(EncodePng(rgba, 2, 2).data(), EncodePng(rgba, 2, 2).size(), 0xFFFF00FF);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_TRUE(image->hasAlpha);
    EXPECT_EQ(Pixel(*image, 0), 0xFFFF8000u);
    EXPECT_EQ(Pixel(*image, 1), 0x80643219u);
    EXPECT_EQ(Pixel(*image, 2), 0u);
    EXPECT_EQ(Pixel(*image, 3), 0u);
}

TEST(SkinImageDecodeTest, OpaqueImageHasNoAlpha) {
    std::vector<std::uint8_t> rgba = {1, 2, 3, 255, 4, 5, 6, 255};
    std::vector<std::uint8_t> png = EncodePng(rgba, 1, 2);
    auto image = DecodeSkinImage(png.data(), png.size(), 0);
    ASSERT_TRUE(image);
    EXPECT_FALSE(image->hasAlpha);
    EXPECT_EQ(Pixel(*image, 1), 0xFF040506u);
    // The mask matches only the exact 32-bit value, alpha included.
    image = DecodeSkinImage(png.data(), png.size(), 0x00040506);
    EXPECT_FALSE(image->hasAlpha);
    image = DecodeSkinImage(png.data(), png.size(), 0xFF040506);
    EXPECT_TRUE(image->hasAlpha);
    EXPECT_EQ(Pixel(*image, 1), 0u);
}

TEST(SkinImageDecodeTest, BadDataIsRefused) {
    std::vector<std::uint8_t> rgba = {1, 2, 3, 255};
    std::vector<std::uint8_t> png = EncodePng(rgba, 1, 1);
    EXPECT_FALSE(DecodeSkinImage(png.data(), png.size() / 2, 0));
    EXPECT_FALSE(DecodeSkinImage(nullptr, 0, 0));
    std::vector<std::uint8_t> wide(4 * (kMaxImageDimension + 1), 255);
    std::vector<std::uint8_t> tooWide = EncodePng(wide, kMaxImageDimension + 1, 1);
    EXPECT_FALSE(DecodeSkinImage(tooWide.data(), tooWide.size(), 0));
    const std::uint8_t junk[] = "not an image at all";
    EXPECT_FALSE(DecodeSkinImage(junk, sizeof junk, 0));
}

} // namespace
