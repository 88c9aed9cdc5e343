#include "skinui/resources/SkinImageDecode.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

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

TEST(SkinImageDecodeTest, LongSpriteStripDecodes) {
    // 48 button states of 120 pixels side by side: far wider than 4096 pixels.
    const int width = 48 * 120;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * 2 * 4, 255);
    rgba[(width - 1) * 4] = 7;
    std::vector<std::uint8_t> png = EncodePng(rgba, width, 2);
    auto image = DecodeSkinImage(png.data(), png.size(), 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, width);
    EXPECT_EQ(Pixel(*image, width - 1), 0xFF07FFFFu);
}

TEST(SkinImageDecodeTest, BadDataIsRefused) {
    std::vector<std::uint8_t> rgba = {1, 2, 3, 255};
    std::vector<std::uint8_t> png = EncodePng(rgba, 1, 1);
    EXPECT_FALSE(DecodeSkinImage(png.data(), png.size() / 2, 0));
    EXPECT_FALSE(DecodeSkinImage(nullptr, 0, 0));
    // A header that claims 10000 x 10000 pixels is refused before anything is decoded.
    std::vector<std::uint8_t> bomb = png;
    const std::uint8_t claimed[] = {0, 0, 0x27, 0x10, 0, 0, 0x27, 0x10};
    std::copy(claimed, claimed + sizeof claimed, bomb.begin() + 16);
    EXPECT_FALSE(DecodeSkinImage(bomb.data(), bomb.size(), 0));
    const std::uint8_t junk[] = "not an image at all";
    EXPECT_FALSE(DecodeSkinImage(junk, sizeof junk, 0));
}

} // namespace

namespace {

std::vector<std::uint8_t> ReadGif(const char* name) {
    const auto path = testsupport::HarnessPath("ORVIA_SOURCE_DIR") / "tests" / "skinui" /
                      "resources" / "gifs" / name;
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {});
}

std::uint32_t At(const DecodedImage& image, int x, int y) {
    return Pixel(image, y * image.width + x);
}

constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00A000;

TEST(GifAnimationTest, FramesAreComposedWithTheirDisposalAndDelays) {
    const auto background = ReadGif("dispose-background.gif");
    auto cleared = DecodeGifAnimation(background.data(), background.size());
    ASSERT_TRUE(cleared);
    ASSERT_EQ(cleared->frames.size(), 3u);
    EXPECT_EQ(cleared->delays, (std::vector<int>{100, 200, 300}));
    EXPECT_EQ(At(cleared->frames[1], 3, 3), kBlue);
    EXPECT_EQ(At(cleared->frames[1], 0, 0), kRed);
    // The square was restored to the (transparent) background; the rest stays red.
    EXPECT_EQ(At(cleared->frames[2], 3, 3), 0u);
    EXPECT_EQ(At(cleared->frames[2], 7, 7), kRed);
    EXPECT_EQ(At(cleared->frames[2], 1, 1), kGreen);
    EXPECT_TRUE(cleared->frames[2].hasAlpha);

    const auto previous = ReadGif("dispose-previous.gif");
    auto restored = DecodeGifAnimation(previous.data(), previous.size());
    ASSERT_TRUE(restored);
    ASSERT_EQ(restored->frames.size(), 3u);
    EXPECT_EQ(At(restored->frames[2], 3, 3), kRed);
    EXPECT_EQ(At(restored->frames[2], 0, 0), kGreen);
    EXPECT_FALSE(restored->frames[2].hasAlpha);
}

TEST(GifAnimationTest, TransparentPixelsShowTheFrameBefore) {
    const auto bytes = ReadGif("transparent.gif");
    auto animation = DecodeGifAnimation(bytes.data(), bytes.size());
    ASSERT_TRUE(animation);
    ASSERT_EQ(animation->frames.size(), 2u);
    // The first frame covers the left half; the right half is not given the background colour.
    EXPECT_EQ(At(animation->frames[0], 1, 1), kRed);
    EXPECT_EQ(At(animation->frames[0], 6, 1), 0u);
    // The second frame's top half is transparent, its bottom half blue.
    EXPECT_EQ(At(animation->frames[1], 1, 1), kRed);
    EXPECT_EQ(At(animation->frames[1], 6, 1), 0u);
    EXPECT_EQ(At(animation->frames[1], 6, 6), kBlue);
}

TEST(GifAnimationTest, DamageKeepsEarlierFramesAndHugeCanvasesAreRefused) {
    auto bytes = ReadGif("two-frames.gif");
    ASSERT_GT(bytes.size(), 800u);
    // The second frame's block begins with an unknown tag.
    std::vector<std::uint8_t> damaged = bytes;
    const std::uint8_t control[] = {0x21, 0xF9};
    auto second = std::search(damaged.begin() + 20, damaged.end(), control, control + 2);
    second = std::search(second + 2, damaged.end(), control, control + 2);
    ASSERT_NE(second, damaged.end());
    *second = 0x99;
    auto partial = DecodeGifAnimation(damaged.data(), damaged.size());
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->frames.size(), 1u);
    EXPECT_FALSE(DecodeGifAnimation(bytes.data(), 20));
    std::vector<std::uint8_t> huge = bytes;
    huge[6] = huge[7] = huge[8] = huge[9] = 0xFF; // 65535 x 65535
    EXPECT_FALSE(DecodeGifAnimation(huge.data(), huge.size()));
    const std::uint8_t junk[] = "GIF89a but nothing else";
    EXPECT_FALSE(DecodeGifAnimation(junk, sizeof junk));
}

} // namespace
