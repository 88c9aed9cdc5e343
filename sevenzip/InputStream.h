#pragma once

#include "sevenzip/ByteSource.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace sevenzip {

// Sequential reader over one coder input: either a packed stream (a range of the archive, read
// in large chunks) or bytes already decoded into memory by another coder.
class InputStream {
public:
    InputStream(const Byte* data, std::size_t size);
    InputStream(ByteSource& source, std::uint64_t offset, std::uint64_t size);

    // Bytes buffered and not yet consumed; refills when empty. An empty view means the stream
    // has ended.
    SRes Peek(const Byte*& data, std::size_t& size);
    void Consume(std::size_t size) { m_pos += size; }

    SRes ReadByte(Byte& value);
    // Copies exactly `size` bytes; SZ_ERROR_DATA when the stream ends first.
    SRes Read(Byte* dest, std::size_t size);

private:
    static constexpr std::size_t kChunkSize = 1 << 20;

    ByteSource* m_source{nullptr};
    std::uint64_t m_sourceOffset{0}; // next unread byte of the source
    std::uint64_t m_sourceLeft{0};   // source bytes not yet buffered
    std::unique_ptr<Byte[]> m_buffer;
    const Byte* m_data{nullptr};
    std::size_t m_pos{0};  // first unconsumed byte of m_data
    std::size_t m_size{0}; // bytes in m_data
};

} // namespace sevenzip
