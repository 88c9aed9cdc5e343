// The one translation unit that compiles the image decoder. Formats the skins cannot use are
// left out. The GIF frame reader lives here too, as it drives the decoder's own frame parser.
#include "skinui/resources/SkinImageDecode.h"

#include <algorithm>
#include <climits>
#include <cstring>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#include <stb_image.h>

namespace skinui::resources {

namespace {

constexpr int kDisposalMask = 0x1C;
constexpr int kDisposalShift = 2;
constexpr int kRestoreBackground = 2;
constexpr int kRestorePrevious = 3;

// The decoder's GIF state owns three canvases allocated with its allocator.
struct GifState {
    stbi__gif gif{};
    ~GifState() {
        STBI_FREE(gif.out);
        STBI_FREE(gif.background);
        STBI_FREE(gif.history);
    }
};

// The rectangle, in bytes of the canvas, that the last frame covered.
struct FrameArea {
    int startX{0}, startY{0}, endX{0}, endY{0}, lineSize{0};

    template <typename F> void ForEachRow(F&& row) const {
        for (int y = startY; y < endY; y += lineSize)
            row(y + startX, endX - startX);
    }
};

} // namespace

// The decoder's own animation loop restores "previous" frames from the wrong place and turns
// "restore to background" into "restore to the frame before": disposal is done here instead,
// as browsers do it (background means transparent), and the first frame's undrawn pixels stay
// transparent rather than taking the background colour.
std::optional<DecodedAnimation> DecodeGifAnimation(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size == 0 || size > static_cast<std::size_t>(INT_MAX))
        return std::nullopt;
    stbi__context context;
    stbi__start_mem(&context, data, static_cast<int>(size));
    if (!stbi__gif_test(&context))
        return std::nullopt;
    GifState state;
    stbi__gif& g = state.gif;
    int components = 0;
    if (!stbi__gif_header(&context, &g, &components, 0) || g.w <= 0 || g.h <= 0)
        return std::nullopt;
    const std::uint64_t pixels = static_cast<std::uint64_t>(g.w) * static_cast<std::uint64_t>(g.h);
    if (pixels > kMaxImagePixels)
        return std::nullopt;
    const std::size_t canvasBytes = static_cast<std::size_t>(pixels) * 4;
    g.out = static_cast<stbi_uc*>(stbi__malloc(canvasBytes));
    g.background = static_cast<stbi_uc*>(stbi__malloc(canvasBytes));
    g.history = static_cast<stbi_uc*>(stbi__malloc(static_cast<std::size_t>(pixels)));
    if (!g.out || !g.background || !g.history)
        return std::nullopt;
    std::memset(g.out, 0, canvasBytes);
    std::memset(g.background, 0, canvasBytes);
    std::memset(g.history, 0, static_cast<std::size_t>(pixels));
    // With the canvas made here the decoder treats every frame as a later one: no background
    // colour fill.
    g.bgindex = 0;

    DecodedAnimation animation;
    animation.width = g.w;
    animation.height = g.h;
    std::vector<std::uint8_t> beforeFrame(canvasBytes);
    std::uint64_t total = 0;
    for (;;) {
        std::memcpy(beforeFrame.data(), g.out, canvasBytes);
        g.eflags &= ~kDisposalMask;
        stbi_uc* frame = stbi__gif_load_next(&context, &g, &components, 4, nullptr);
        if (frame == nullptr || frame == reinterpret_cast<stbi_uc*>(&context))
            break;
        total += pixels;
        if (total > kMaxImagePixels)
            return std::nullopt;
        DecodedImage image;
        image.width = g.w;
        image.height = g.h;
        image.bgra.assign(g.out, g.out + canvasBytes);
        image.hasAlpha =
            ConvertRgbaToPremultipliedBgra(image.bgra.data(), static_cast<std::size_t>(pixels), 0);
        animation.frames.push_back(std::move(image));
        animation.delays.push_back(g.delay);

        const int disposal = (g.eflags & kDisposalMask) >> kDisposalShift;
        const FrameArea area{g.start_x, g.start_y, g.max_x, g.max_y, g.line_size};
        if (disposal == kRestoreBackground) {
            area.ForEachRow([&](int offset, int bytes) { std::memset(g.out + offset, 0, bytes); });
        } else if (disposal == kRestorePrevious) {
            area.ForEachRow([&](int offset, int bytes) {
                std::memcpy(g.out + offset, beforeFrame.data() + offset, bytes);
            });
        }
    }
    if (animation.frames.empty())
        return std::nullopt;
    return animation;
}

} // namespace skinui::resources
