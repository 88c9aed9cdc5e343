#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace flashstandin {

// What the stand-in control learns from an SWF file: the header and the frame labels.
//
//   0  "FWS" (plain) or "CWS" (everything from byte 8 on compressed with zlib)
//   3  u8   version
//   4  u32  file length once uncompressed, header included (little-endian)
//   8  RECT frame size in twips: u5 bit count n, then four n-bit signed values xmin, xmax,
//           ymin, ymax, most significant bit first, padded to a byte
//      u16  frame rate, 8.8 fixed point (low byte the fraction)
//      u16  frame count
//      tags: u16 code << 6 | length, with length 0x3f meaning a u32 length follows;
//           FrameLabel (43) holds a NUL-terminated name, End (0) closes the file
struct SwfMovie {
    bool compressed{false};
    int version{0};
    std::uint32_t declaredLength{0}; // bytes, header included, as the file states it
    std::int32_t frameWidthTwips{0}; // 20 twips to the pixel
    std::int32_t frameHeightTwips{0};
    std::uint16_t frameRate{0}; // frames a second, 8.8 fixed point
    std::uint16_t frameCount{0};
    std::vector<std::string> frameLabels; // in file order
};

enum class SwfResult {
    Ok,
    NotSwf,    // no FWS/CWS signature, or shorter than the fixed header
    Damaged,   // compressed data that does not inflate
    Truncated, // the header or a tag runs past the end of the data
    TooLarge,  // declares more than kMaxSwfLength bytes
};

// Movies are small animations; anything larger is refused before it is inflated.
constexpr std::uint32_t kMaxSwfLength = 64u << 20;

// Reads the header and the tags of an SWF file held in memory. A movie without an End tag is
// accepted as far as its tags are whole.
SwfResult ReadSwf(const std::uint8_t* data, std::size_t size, SwfMovie& movie);

// Milliseconds between frames at the movie's rate; a rate of 0 plays at 12 frames a second.
unsigned FrameIntervalMs(const SwfMovie& movie);

const char* SwfResultName(SwfResult result);

} // namespace flashstandin
