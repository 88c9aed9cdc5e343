#pragma once

#include "sevenzip/Archive.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace sevenzip {

class BlockSequence;

// Hands out the bytes of an archive's entries in pieces as their blocks decode, checking each
// entry's CRC as it streams past and each block's own CRC where one is stored.
class EntryReader {
public:
    // With overlap the blocks are decoded on a second thread ahead of the caller (see
    // BlockSequence). Given `onlyBlock`, the reader serves that block's entries alone and never
    // decodes another (one reader per block, several blocks decoded side by side). `archive`
    // must outlive the reader.
    EntryReader(const Archive& archive, bool overlap, std::uint32_t onlyBlock = kNoBlock);
    ~EntryReader();
    EntryReader(const EntryReader&) = delete;
    EntryReader& operator=(const EntryReader&) = delete;

    // The next piece of `entry`, valid until the next call. An empty piece with SZ_OK says the
    // entry is complete and its bytes (and, after a block's last entry, the block's) matched
    // their CRCs; SZ_ERROR_CRC says they did not. Entries are read in ascending order; moving on
    // to a later entry skips what is left of earlier ones. Entries without data are empty. After
    // a failure every call gives the same result.
    SRes Read(std::uint32_t entry, const Byte*& data, std::size_t& size);

private:
    SRes ReadPiece(std::uint32_t entry, const Byte*& data, std::size_t& size);
    // Moves to the start of `entry`'s bytes.
    SRes Seek(std::uint32_t entry);
    // Takes `size` bytes of the current block and drops them.
    SRes Skip(std::uint64_t size);
    // Checks what is complete once the current entry's last byte was taken.
    SRes Finish();
    // Takes the next piece of the current block, at most `limit` bytes.
    SRes Take(std::uint64_t limit, const Byte*& data, std::size_t& size);

    const Archive& m_archive;
    std::unique_ptr<BlockSequence> m_blocks;
    std::uint32_t m_onlyBlock;
    std::uint32_t m_entry;       // the entry being read, or none yet
    std::uint32_t m_block;       // the block being read, or none yet
    std::uint64_t m_blockPos{0}; // bytes of m_block taken
    std::uint32_t m_blockCrc{0}; // CRC of those bytes, kept when the block has its own CRC
    bool m_blockCrcKept{false};  // the block's CRC is checked separately from its entries'
    std::uint64_t m_left{0};     // bytes of m_entry not yet handed out
    std::uint32_t m_crc{0};      // CRC of the bytes of m_entry handed out
    bool m_finished{false};      // m_entry's checks were done
    std::size_t m_pending{0};    // size of the piece handed out last, consumed at the next call
    SRes m_error{SZ_OK};
};

} // namespace sevenzip
