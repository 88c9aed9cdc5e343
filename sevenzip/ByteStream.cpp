#include "sevenzip/ByteStream.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace sevenzip {

SRes ByteStream::Advance() {
    if (m_error == SZ_OK)
        m_error = NextPiece();
    if (m_error != SZ_OK)
        SetPiece(nullptr, 0);
    return m_error;
}

SRes ByteStream::Read(Byte* dest, std::size_t size) {
    while (size != 0) {
        const Byte* data;
        std::size_t available;
        RINOK(Peek(data, available));
        if (available == 0)
            return SZ_ERROR_DATA;
        const std::size_t n = std::min(available, size);
        std::memcpy(dest, data, n);
        Consume(n);
        dest += n;
        size -= n;
    }
    return SZ_OK;
}

SRes PackedStream::NextPiece() {
    if (m_left == 0) {
        SetPiece(nullptr, 0);
        return SZ_OK;
    }
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, m_left));
    if (!m_buffer) {
        // A short stream (a BCJ2 side stream, a header) needs no full-sized buffer.
        m_buffer.reset(new (std::nothrow) Byte[chunk]);
        if (!m_buffer)
            return SZ_ERROR_MEM;
    }
    RINOK(m_source.ReadAt(m_offset, m_buffer.get(), chunk));
    m_offset += chunk;
    m_left -= chunk;
    SetPiece(m_buffer.get(), chunk);
    return SZ_OK;
}

} // namespace sevenzip
