#pragma once

#include "sevenzip/ByteSource.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace sevenzip {

// A stream of bytes pulled piece by piece: a packed stream read from the archive, or the output
// of a coder. The reader looks at the current piece, consumes it in part or whole, and the next
// piece is fetched only once the current one is consumed entirely; only then may the stream
// reuse the memory the piece lay in. A stream that failed keeps giving its error.
class ByteStream {
public:
    virtual ~ByteStream() = default;

    // The unconsumed bytes of the current piece, fetching the next piece when none are left.
    // Empty only at the end of the stream.
    SRes Peek(const Byte*& data, std::size_t& size) {
        if (m_next == m_end)
            RINOK(Advance());
        data = m_next;
        size = static_cast<std::size_t>(m_end - m_next);
        return SZ_OK;
    }
    // `size` must not exceed what the last Peek gave.
    void Consume(std::size_t size) { m_next += size; }

    // One byte; SZ_ERROR_DATA at the end of the stream.
    SRes ReadByte(Byte& value) {
        if (m_next == m_end) {
            RINOK(Advance());
            if (m_next == m_end)
                return SZ_ERROR_DATA;
        }
        value = *m_next++;
        return SZ_OK;
    }
    // Exactly `size` bytes; SZ_ERROR_DATA when the stream ends first.
    SRes Read(Byte* dest, std::size_t size);

protected:
    // Makes the next piece current with SetPiece (an empty one at the end of the stream). Called
    // only when the current piece is consumed entirely.
    virtual SRes NextPiece() = 0;
    void SetPiece(const Byte* data, std::size_t size) {
        m_next = data;
        m_end = data + size;
    }

private:
    SRes Advance();

    const Byte* m_next{nullptr}; // first unconsumed byte of the current piece
    const Byte* m_end{nullptr};  // end of the current piece
    SRes m_error{SZ_OK};         // the first failure, repeated from then on
};

// A packed stream: a range of the archive, read in chunks of a fixed size.
class PackedStream final : public ByteStream {
public:
    PackedStream(ByteSource& source, std::uint64_t offset, std::uint64_t size)
        : m_source(source), m_offset(offset), m_left(size) {}

private:
    static constexpr std::size_t kChunkSize = 256 * 1024;

    SRes NextPiece() override;

    ByteSource& m_source;
    std::uint64_t m_offset; // next unread byte of the source
    std::uint64_t m_left;   // bytes of the range not yet read
    std::unique_ptr<Byte[]> m_buffer;
};

} // namespace sevenzip
