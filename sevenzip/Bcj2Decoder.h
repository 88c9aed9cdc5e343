#pragma once

#include "sevenzip/ByteStream.h"

#include <cstdint>
#include <memory>

namespace sevenzip {

// BCJ2 joins four streams back into x86 code: the main stream with the E8/E9/Jcc operands cut
// out, the CALL targets, the JMP targets (both big-endian absolute addresses) and a range-coded
// stream of one bit per candidate opcode saying whether its operand was moved out.
struct Bcj2Inputs {
    ByteStream* main;
    ByteStream* call;
    ByteStream* jump;
    ByteStream* rc;
};

// Gives exactly `size` bytes of output.
std::unique_ptr<ByteStream> MakeBcj2Decoder(const Bcj2Inputs& inputs, std::uint64_t size);

} // namespace sevenzip
