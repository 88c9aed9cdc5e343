#pragma once

#include "sevenzip/ByteStream.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace sevenzip {

// A branch converter (x86 BCJ, ARM, ARMT, ARM64, PPC, SPARC, IA64) or the Delta filter over
// `input`, which must give exactly `size` bytes, as does the filter. The filter converts a copy:
// the input's pieces may be a dictionary that later matches still read unconverted.
SRes MakeFilterDecoder(std::uint64_t methodId, const std::vector<Byte>& properties,
                       ByteStream& input, std::uint64_t size, std::unique_ptr<ByteStream>& decoder);

// True for the methods MakeFilterDecoder knows.
bool IsFilterMethod(std::uint64_t methodId);

} // namespace sevenzip
