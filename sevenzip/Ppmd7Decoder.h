#pragma once

#include "sevenzip/InputStream.h"

#include <cstddef>
#include <vector>

namespace sevenzip {

// Decodes a PPMd variant H stream as 7z stores it (5 property bytes: model order and memory
// size; 7z's own range coder) into `out`, exactly `size` bytes.
SRes DecodePpmd7(const std::vector<Byte>& properties, InputStream& in, Byte* out, std::size_t size,
                 std::uint64_t maxMemory);

} // namespace sevenzip
