#pragma once

#include "sevenzip/BlockMemory.h"
#include "sevenzip/ByteSource.h"
#include "sevenzip/Database.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sevenzip {

// Index meaning "no block": the block index of an empty cache, the block of an entry without
// data.
constexpr std::uint32_t kNoBlock = 0xFFFFFFFF;

struct Limits {
    // Largest solid block (and largest intermediate stream) the reader allocates. Headers that
    // claim more are refused with SZ_ERROR_MEM instead of being believed.
    std::uint64_t maxBlockSize{sizeof(void*) >= 8 ? (std::uint64_t{4} << 30) : (1u << 30)};
    // Largest header, plain or decoded from a compressed header (a million entries take about
    // 60 MB).
    std::uint64_t maxHeaderSize{256u << 20};
};

// One decoded solid block, reused for every entry of that block and for the next block.
class BlockBuffer {
public:
    std::uint32_t BlockIndex() const { return m_block; }
    const Byte* Data() const { return m_data.get(); }
    std::size_t Size() const { return m_size; }
    void Release();

private:
    friend class Archive;
    BlockMemory m_data;
    std::size_t m_size{0};
    std::size_t m_capacity{0};
    std::uint32_t m_block{kNoBlock};
    std::vector<bool> m_substreamCrcOk; // per substream of the block, valid while m_block is set
};

// A 7z archive opened for reading. Results are the LZMA SDK's SZ_* codes (Types.h).
class Archive {
public:
    // Reads the signature header and the (possibly encoded) header from `source`, which must
    // outlive the archive. On failure the archive is empty.
    SRes Open(ByteSource& source, const Limits& limits = Limits());

    std::uint32_t EntryCount() const { return static_cast<std::uint32_t>(m_db.files.size()); }
    const std::u16string& Name(std::uint32_t entry) const { return m_db.files[entry].name; }
    bool IsDirectory(std::uint32_t entry) const { return m_db.files[entry].isDirectory; }
    bool IsAnti(std::uint32_t entry) const { return m_db.files[entry].isAnti; }
    bool AttributesDefined(std::uint32_t entry) const {
        return m_db.files[entry].attributesDefined;
    }
    std::uint32_t Attributes(std::uint32_t entry) const { return m_db.files[entry].attributes; }
    std::uint64_t EntrySize(std::uint32_t entry) const;

    std::uint32_t BlockCount() const { return static_cast<std::uint32_t>(m_db.folders.size()); }
    // The block holding the entry's data, or kNoBlock for an entry without data.
    std::uint32_t BlockOf(std::uint32_t entry) const;
    std::uint64_t BlockSize(std::uint32_t block) const { return m_db.folders[block].UnpackSize(); }

    // Decodes a whole block into `buffer` and checks its CRCs. Thread-safe for distinct buffers
    // when the source's reads are.
    SRes DecodeBlock(std::uint32_t block, BlockBuffer& buffer) const;

    // Gives where the entry's bytes lie in `cache`, decoding its block first unless the cache
    // already holds it. SZ_ERROR_CRC when the entry's bytes do not match their stored CRC.
    SRes Extract(std::uint32_t entry, BlockBuffer& cache, std::size_t& offset,
                 std::size_t& size) const;

    // Where the entry's bytes lie within a buffer holding its block.
    SRes Locate(std::uint32_t entry, const BlockBuffer& buffer, std::size_t& offset,
                std::size_t& size) const;

private:
    SRes ReadHeader(Limits limits);

    ByteSource* m_source{nullptr};
    Limits m_limits;
    Database m_db;
};

} // namespace sevenzip
