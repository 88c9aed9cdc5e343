#pragma once

#include "Types.h"

#include <cstddef>
#include <cstdint>

namespace sevenzip {

// Decoders of the executable filters, applied in place to a stream given piece by piece. Each
// converts what it can of `data` and returns how many leading bytes are final; the rest (the
// start of an instruction cut by the piece's end) is handed in again at the front of the next
// call. `position` is the stream position of data[0] plus the position the stream was given
// when encoded (the coder's start property, usually 0). At the end of the stream the bytes left
// over stay as they are, as the encoders leave them.

// State the x86 converter carries between pieces: which of the three bytes before the next
// piece were E8/E9 opcodes it had to skip.
struct X86State {
    std::uint32_t prevMask{0};
};

std::size_t DecodeX86(Byte* data, std::size_t size, std::uint32_t position, X86State& state);
std::size_t DecodeArm(Byte* data, std::size_t size, std::uint32_t position);
std::size_t DecodeArmThumb(Byte* data, std::size_t size, std::uint32_t position);
std::size_t DecodeArm64(Byte* data, std::size_t size, std::uint32_t position);
std::size_t DecodePowerPc(Byte* data, std::size_t size, std::uint32_t position);
std::size_t DecodeSparc(Byte* data, std::size_t size, std::uint32_t position);
std::size_t DecodeIa64(Byte* data, std::size_t size, std::uint32_t position);

// The Delta filter: every byte had the byte `distance` positions before it subtracted. The
// state is the last 256 decoded bytes, oldest first (zeros before the stream's start).
struct DeltaState {
    Byte history[256]{};
};

// Converts all of `data`.
void DecodeDelta(Byte* data, std::size_t size, unsigned distance, DeltaState& state);

} // namespace sevenzip
