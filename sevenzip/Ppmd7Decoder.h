#pragma once

#include "sevenzip/ByteStream.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace sevenzip {

// A PPMd variant H stream as 7z stores it (5 property bytes: model order and memory size; 7z's
// own range coder), giving exactly `size` bytes. SZ_ERROR_MEM when the model's memory would
// exceed `maxMemory` bytes.
SRes MakePpmd7Decoder(const std::vector<Byte>& properties, ByteStream& input, std::uint64_t size,
                      std::uint64_t maxMemory, std::unique_ptr<ByteStream>& decoder);

} // namespace sevenzip
