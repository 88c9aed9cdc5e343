#pragma once

#include "sevenzip/InputStream.h"

#include <cstddef>
#include <vector>

namespace sevenzip {

// Decodes an LZMA stream (5 property bytes: lc/lp/pb and the dictionary size) straight into
// `out`, which is also the decoder's dictionary, until `size` bytes are produced.
SRes DecodeLzma(const std::vector<Byte>& properties, InputStream& in, Byte* out, std::size_t size);

// Decodes an LZMA2 stream (1 property byte: the dictionary size) into `out`, which must receive
// exactly `size` bytes before the stream's end marker.
SRes DecodeLzma2(const std::vector<Byte>& properties, InputStream& in, Byte* out, std::size_t size);

} // namespace sevenzip
