#include "sevenzip/ByteSource.h"

#include <cstring>

namespace sevenzip {

SRes MemorySource::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (offset > m_size || size > m_size - offset)
        return SZ_ERROR_INPUT_EOF;
    if (size != 0)
        std::memcpy(buffer, m_data + offset, size);
    return SZ_OK;
}

} // namespace sevenzip
