#pragma once

#include <cstddef>
#include <cstdint>

namespace flashplayer {

// For a control that cannot write alpha itself: the same picture drawn once over black and once
// over white gives each pixel's coverage from how far the two differ. Pixels are 4 bytes each
// (blue, green, red, alpha). The alpha byte of each pixel of onBlack becomes
// 255 - (dR + dG + dB) / 3, where each d is (white - black) of that channel as an unsigned byte
// (so a channel lighter on black than on white wraps). The colour bytes of onBlack stay as
// drawn, which makes them premultiplied by that alpha.
void DeriveAlphaFromDoubleRender(std::uint8_t* onBlack, const std::uint8_t* onWhite,
                                 std::size_t pixelCount);

} // namespace flashplayer
