#pragma once

#include <cstdint>

namespace flashstandin {

// The stand-in control's own picture, since it plays no real SWF content: a coloured disc with
// a soft edge inside a faint halo, and a lighter dot circling it. Every edge is anti-aliased, so
// a frame has opaque, partly transparent and fully transparent pixels. The picture is centred in
// the area it is drawn in and scaled to its smaller side; only the colours and the dot's place
// change from frame to frame.
//
// Pixels are premultiplied 0xAARRGGBB values, the layout of a 32-bit DIB's bytes B, G, R, A.
std::uint32_t AnimationPixel(int x, int y, int width, int height, int frame);

// The whole frame, row by row from the top, `stride` pixels a row.
void RenderAnimation(std::uint32_t* pixels, int stride, int width, int height, int frame);

// Frames for the dot to go once around.
constexpr int kAnimationCycle = 48;

} // namespace flashstandin
