#pragma once

#include "Types.h"

#include <cstddef>
#include <cstdint>

namespace sevenzip {

// Decoders of the executable filters. Each converts a whole decoded stream in place; `start` is
// the position the stream was given when encoded (0 unless the coder's properties say
// otherwise). Bytes too close to the end to hold an instruction stay as they are, as the
// encoders leave them.
void DecodeX86(Byte* data, std::size_t size, std::uint32_t start);
void DecodeArm(Byte* data, std::size_t size, std::uint32_t start);
void DecodeArmThumb(Byte* data, std::size_t size, std::uint32_t start);
void DecodeArm64(Byte* data, std::size_t size, std::uint32_t start);
void DecodePowerPc(Byte* data, std::size_t size, std::uint32_t start);
void DecodeSparc(Byte* data, std::size_t size, std::uint32_t start);
void DecodeIa64(Byte* data, std::size_t size, std::uint32_t start);

// Undoes the Delta filter: every byte had the byte `distance` positions before it subtracted.
void DecodeDelta(Byte* data, std::size_t size, unsigned distance);

} // namespace sevenzip
