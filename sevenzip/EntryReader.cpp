#include "sevenzip/EntryReader.h"

#include "sevenzip/BlockSequence.h"
#include "sevenzip/Crc32.h"

#include <algorithm>
#include <new>

namespace sevenzip {
namespace {

constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

} // namespace

EntryReader::EntryReader(const Archive& archive, bool overlap, std::uint32_t onlyBlock)
    : m_archive(archive),
      m_blocks(BlockSequence::Create(archive, overlap,
                                     onlyBlock == kNoBlock ? archive.BlockCount() : onlyBlock + 1)),
      m_onlyBlock(onlyBlock), m_entry(kNoEntry), m_block(kNoBlock) {}

EntryReader::~EntryReader() = default;

SRes EntryReader::Read(std::uint32_t entry, const Byte*& data, std::size_t& size) {
    data = nullptr;
    size = 0;
    if (m_error != SZ_OK)
        return m_error;
    // The decoders are made as their blocks are reached; running out of memory there is a
    // result like any other.
    try {
        return ReadPiece(entry, data, size);
    } catch (const std::bad_alloc&) {
        data = nullptr;
        size = 0;
        return m_error = SZ_ERROR_MEM;
    }
}

SRes EntryReader::ReadPiece(std::uint32_t entry, const Byte*& data, std::size_t& size) {
    if (m_pending != 0) {
        m_blocks->Consume(m_pending);
        m_pending = 0;
    }
    if (entry >= m_archive.EntryCount())
        return SZ_ERROR_PARAM;
    if (m_archive.BlockOf(entry) == kNoBlock)
        return SZ_OK;
    if (entry != m_entry) {
        m_error = Seek(entry);
        if (m_error != SZ_OK)
            return m_error;
    }
    if (m_left == 0) {
        if (!m_finished) {
            m_finished = true;
            m_error = Finish();
        }
        return m_error;
    }
    m_error = Take(m_left, data, size);
    if (m_error != SZ_OK)
        return m_error;
    m_crc = Crc32Update(m_crc, data, size);
    m_left -= size;
    m_pending = size;
    return SZ_OK;
}

SRes EntryReader::Seek(std::uint32_t entry) {
    if (m_entry != kNoEntry && entry < m_entry)
        return SZ_ERROR_PARAM;
    const Database& db = m_archive.Db();
    const FileEntry& file = db.files[entry];
    const Substream& sub = db.substreams[file.substream];
    if (file.folder != m_block) {
        if (m_block != kNoBlock && file.folder < m_block)
            return SZ_ERROR_PARAM;
        if (m_onlyBlock != kNoBlock && file.folder != m_onlyBlock)
            return SZ_ERROR_PARAM;
        const Folder& folder = db.folders[file.folder];
        m_block = file.folder;
        m_blockPos = 0;
        m_blockCrc = 0;
        // A block of one entry has the block's CRC as the entry's.
        m_blockCrcKept = folder.crcDefined && folder.numSubstreams > 1;
    }
    if (sub.offset < m_blockPos)
        return SZ_ERROR_PARAM;
    RINOK(Skip(sub.offset - m_blockPos));
    m_entry = entry;
    m_left = sub.size;
    m_crc = 0;
    m_finished = false;
    return SZ_OK;
}

SRes EntryReader::Skip(std::uint64_t size) {
    while (size != 0) {
        const Byte* data;
        std::size_t n;
        RINOK(Take(size, data, n));
        m_blocks->Consume(n);
        size -= n;
    }
    return SZ_OK;
}

SRes EntryReader::Take(std::uint64_t limit, const Byte*& data, std::size_t& size) {
    RINOK(m_blocks->Peek(m_block, data, size));
    if (size == 0)
        return SZ_ERROR_DATA; // the block ended before its entries did
    size = static_cast<std::size_t>(std::min<std::uint64_t>(size, limit));
    if (m_blockCrcKept)
        m_blockCrc = Crc32Update(m_blockCrc, data, size);
    m_blockPos += size;
    return SZ_OK;
}

SRes EntryReader::Finish() {
    const Database& db = m_archive.Db();
    const FileEntry& file = db.files[m_entry];
    const Substream& sub = db.substreams[file.substream];
    if (sub.crcDefined && m_crc != sub.crc)
        return SZ_ERROR_CRC;
    const Folder& folder = db.folders[file.folder];
    if (file.substream + 1 != folder.firstSubstream + folder.numSubstreams)
        return SZ_OK;
    // The block's last entry: its coders must end here too.
    const Byte* data;
    std::size_t size;
    RINOK(m_blocks->Peek(m_block, data, size));
    if (size != 0)
        return SZ_ERROR_DATA;
    if (m_blockCrcKept && m_blockCrc != folder.crc)
        return SZ_ERROR_CRC;
    return SZ_OK;
}

} // namespace sevenzip
