#include "sevenzip/InputStream.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace sevenzip {

InputStream::InputStream(const Byte* data, std::size_t size) : m_data(data), m_size(size) {}

InputStream::InputStream(ByteSource& source, std::uint64_t offset, std::uint64_t size)
    : m_source(&source), m_sourceOffset(offset), m_sourceLeft(size) {}

SRes InputStream::Peek(const Byte*& data, std::size_t& size) {
    if (m_pos == m_size && m_sourceLeft != 0) {
        if (!m_buffer) {
            m_buffer.reset(new (std::nothrow) Byte[kChunkSize]);
            if (!m_buffer)
                return SZ_ERROR_MEM;
        }
        std::size_t chunk =
            static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, m_sourceLeft));
        RINOK(m_source->ReadAt(m_sourceOffset, m_buffer.get(), chunk));
        m_sourceOffset += chunk;
        m_sourceLeft -= chunk;
        m_data = m_buffer.get();
        m_pos = 0;
        m_size = chunk;
    }
    data = m_data + m_pos;
    size = m_size - m_pos;
    return SZ_OK;
}

SRes InputStream::ReadByte(Byte& value) {
    const Byte* data;
    std::size_t size;
    RINOK(Peek(data, size));
    if (size == 0)
        return SZ_ERROR_DATA;
    value = *data;
    Consume(1);
    return SZ_OK;
}

SRes InputStream::Read(Byte* dest, std::size_t size) {
    while (size != 0) {
        const Byte* data;
        std::size_t available;
        RINOK(Peek(data, available));
        if (available == 0)
            return SZ_ERROR_DATA;
        std::size_t n = std::min(available, size);
        std::memcpy(dest, data, n);
        Consume(n);
        dest += n;
        size -= n;
    }
    return SZ_OK;
}

} // namespace sevenzip
