#include "flashplayer/DoubleRenderAlpha.h"

namespace flashplayer {

void DeriveAlphaFromDoubleRender(std::uint8_t* onBlack, const std::uint8_t* onWhite,
                                 std::size_t pixelCount) {
    for (std::size_t i = 0; i < pixelCount; ++i, onBlack += 4, onWhite += 4) {
        const unsigned spread = static_cast<std::uint8_t>(onWhite[0] - onBlack[0]) +
                                static_cast<std::uint8_t>(onWhite[1] - onBlack[1]) +
                                static_cast<std::uint8_t>(onWhite[2] - onBlack[2]);
        onBlack[3] = static_cast<std::uint8_t>(255 - spread / 3);
    }
}

} // namespace flashplayer
