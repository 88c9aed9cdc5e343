#pragma once

#include "Types.h"

#include <cstddef>
#include <cstdint>

namespace sevenzip {

// Random-access input the archive reader pulls from. Reads are positional so that two blocks can
// be decoded on two threads from one source; an implementation that cannot read concurrently
// serialises its reads itself.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    virtual std::uint64_t Size() const = 0;

    // Reads exactly `size` bytes at `offset`: SZ_OK, SZ_ERROR_INPUT_EOF past the end, or
    // SZ_ERROR_READ.
    virtual SRes ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
};

// A source over bytes the caller keeps alive (fuzzing, tests, an archive already in memory).
class MemorySource final : public ByteSource {
public:
    MemorySource(const void* data, std::size_t size)
        : m_data(static_cast<const Byte*>(data)), m_size(size) {}

    std::uint64_t Size() const override { return m_size; }
    SRes ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;

private:
    const Byte* m_data;
    std::size_t m_size;
};

} // namespace sevenzip
