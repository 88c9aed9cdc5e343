#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>

namespace sevenzip {

// CRC-32 (the zip/7z polynomial) of a whole buffer, of any size.
inline std::uint32_t Crc32(const void* data, std::size_t size) {
    return static_cast<std::uint32_t>(
        crc32_z(crc32_z(0L, Z_NULL, 0), static_cast<const Bytef*>(data), size));
}

} // namespace sevenzip
