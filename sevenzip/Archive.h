#pragma once

#include "sevenzip/ByteSource.h"
#include "sevenzip/Database.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace sevenzip {

// Index meaning "no block": the block of an entry without data.
constexpr std::uint32_t kNoBlock = 0xFFFFFFFF;

struct Limits {
    // Largest single buffer the reader allocates: a dictionary, a PPMd model, a header. Blocks
    // of any size stream through buffers of this size at most; headers that claim more are
    // refused with SZ_ERROR_MEM instead of being believed.
    std::uint64_t maxBufferSize{sizeof(void*) >= 8 ? (std::uint64_t{4} << 30) : (1u << 30)};
    // Largest header, plain or decoded from a compressed header (a million entries take about
    // 60 MB).
    std::uint64_t maxHeaderSize{256u << 20};
};

// A 7z archive opened for reading. Results are the LZMA SDK's SZ_* codes (Types.h). The
// entries' data is read with an EntryReader.
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

    // What the entry readers decode from.
    const Database& Db() const { return m_db; }
    ByteSource& Source() const { return *m_source; }
    const Limits& GetLimits() const { return m_limits; }

private:
    SRes ReadHeader(Limits limits);

    ByteSource* m_source{nullptr};
    Limits m_limits;
    Database m_db;
};

} // namespace sevenzip
