#pragma once

#include "Types.h"

#include <cstddef>

namespace sevenzip {

// BCJ2 joins four streams back into x86 code: the main stream with the E8/E9/Jcc operands cut
// out, the CALL targets, the JMP targets (both big-endian absolute addresses) and a range-coded
// stream of one bit per candidate opcode saying whether its operand was moved out.
struct Bcj2Streams {
    const Byte* main;
    std::size_t mainSize;
    const Byte* call;
    std::size_t callSize;
    const Byte* jump;
    std::size_t jumpSize;
    const Byte* rc;
    std::size_t rcSize;
};

SRes DecodeBcj2(const Bcj2Streams& in, Byte* out, std::size_t outSize);

} // namespace sevenzip
