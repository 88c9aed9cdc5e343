#pragma once

#include "sevenzip/ByteStream.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace sevenzip {

// Decoders over the SDK's LzmaDec that give their output as it is decoded. The only large
// buffer is the dictionary, a ring of the dictionary's size (or of the stream's size, when that
// is smaller) in which the output pieces lie. SZ_ERROR_MEM when that ring would exceed
// `maxDictionary` bytes.

// LZMA: 5 property bytes (lc/lp/pb and the dictionary size); exactly `size` bytes of output.
SRes MakeLzmaDecoder(const std::vector<Byte>& properties, ByteStream& input, std::uint64_t size,
                     std::uint64_t maxDictionary, std::unique_ptr<ByteStream>& decoder);

// LZMA2: 1 property byte (the dictionary size); exactly `size` bytes of output, then the
// stream's end marker.
SRes MakeLzma2Decoder(const std::vector<Byte>& properties, ByteStream& input, std::uint64_t size,
                      std::uint64_t maxDictionary, std::unique_ptr<ByteStream>& decoder);

} // namespace sevenzip
