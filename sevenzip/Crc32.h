#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>

namespace sevenzip {

// CRC-32 (the zip/7z polynomial), continued from `crc` (0 for the start) over `data`.
inline std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size) {
    return static_cast<std::uint32_t>(crc32_z(crc, static_cast<const Bytef*>(data), size));
}

// CRC-32 of a whole buffer, of any size.
inline std::uint32_t Crc32(const void* data, std::size_t size) {
    return Crc32Update(0, data, size);
}

} // namespace sevenzip
