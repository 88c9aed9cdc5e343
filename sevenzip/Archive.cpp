// Archive layout:
//   signature header (32 bytes): '7z' BC AF 27 1C, version major/minor, CRC of the next 20
//       bytes, next header offset (8, from the end of this header), size (8) and CRC (4)
//   packed streams
//   next header: a plain Header, or an EncodedHeader describing packed streams that decode to
//       the real header (compressed headers, possibly nested)
#include "sevenzip/Archive.h"

#include "sevenzip/Crc32.h"
#include "sevenzip/FolderDecoder.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace sevenzip {
namespace {

constexpr Byte kSignature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
constexpr std::size_t kSignatureHeaderSize = 32;
constexpr Byte kMajorVersion = 0;
constexpr Byte kPropertyHeader = 0x01;
constexpr Byte kPropertyEncodedHeader = 0x17;
// Headers compressed inside compressed headers: 7-Zip writes one level; a few more are
// tolerated, an endless chain is not.
constexpr unsigned kMaxHeaderNesting = 4;
#if defined(FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION)
// Fuzzing builds let the header CRCs pass, so that mutated headers reach the parser instead of
// nearly all being turned away by their CRC; the CRCs of entry data are still checked.
constexpr bool kCheckHeaderCrcs = false;
#else
constexpr bool kCheckHeaderCrcs = true;
#endif

std::uint32_t Le32(const Byte* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint64_t Le64(const Byte* p) {
    return static_cast<std::uint64_t>(Le32(p)) | static_cast<std::uint64_t>(Le32(p + 4)) << 32;
}

SRes Allocate(std::unique_ptr<Byte[]>& data, std::uint64_t size, std::uint64_t limit) {
    if (size > limit || size > SIZE_MAX)
        return SZ_ERROR_MEM;
    data.reset(new (std::nothrow) Byte[size == 0 ? 1 : static_cast<std::size_t>(size)]);
    return data ? SZ_OK : SZ_ERROR_MEM;
}

// Decodes a whole folder (an encoded header) into `out`, which holds its unpack size.
SRes DecodeWhole(ByteSource& source, const Database& db, const Folder& folder,
                 std::uint64_t maxBufferSize, Byte* out) {
    FolderReader reader;
    RINOK(reader.Open(source, db, folder, maxBufferSize));
    ByteStream& output = reader.Output();
    RINOK(output.Read(out, static_cast<std::size_t>(folder.UnpackSize())));
    const Byte* rest;
    std::size_t restSize;
    RINOK(output.Peek(rest, restSize));
    return restSize == 0 ? SZ_OK : SZ_ERROR_DATA;
}

} // namespace

SRes Archive::Open(ByteSource& source, const Limits& limits) {
    m_source = &source;
    m_limits = limits;
    m_db = Database();
    SRes res = ReadHeader(limits);
    if (res != SZ_OK)
        m_db = Database();
    return res;
}

SRes Archive::ReadHeader(Limits limits) {
    const std::uint64_t archiveSize = m_source->Size();
    Byte start[kSignatureHeaderSize];
    if (archiveSize < kSignatureHeaderSize)
        return SZ_ERROR_NO_ARCHIVE;
    RINOK(m_source->ReadAt(0, start, sizeof start));
    if (std::memcmp(start, kSignature, sizeof kSignature) != 0)
        return SZ_ERROR_NO_ARCHIVE;
    if (start[6] != kMajorVersion)
        return SZ_ERROR_UNSUPPORTED;
    if (kCheckHeaderCrcs && Crc32(start + 12, 20) != Le32(start + 8))
        return SZ_ERROR_CRC;
    const std::uint64_t nextOffset = Le64(start + 12);
    const std::uint64_t nextSize = Le64(start + 20);
    const std::uint32_t nextCrc = Le32(start + 28);
    if (nextSize == 0)
        return nextOffset == 0 ? SZ_OK : SZ_ERROR_ARCHIVE; // an empty archive
    const std::uint64_t available = archiveSize - kSignatureHeaderSize;
    if (nextOffset > available || nextSize > available - nextOffset)
        return SZ_ERROR_INPUT_EOF;

    std::unique_ptr<Byte[]> header;
    const std::uint64_t headerLimit = std::min(limits.maxHeaderSize, limits.maxBufferSize);
    RINOK(Allocate(header, nextSize, headerLimit));
    std::size_t headerSize = static_cast<std::size_t>(nextSize);
    RINOK(m_source->ReadAt(kSignatureHeaderSize + nextOffset, header.get(), headerSize));
    if (kCheckHeaderCrcs && Crc32(header.get(), headerSize) != nextCrc)
        return SZ_ERROR_CRC;

    for (unsigned nesting = 0;; nesting++) {
        if (headerSize == 0)
            return SZ_ERROR_ARCHIVE;
        Database db;
        db.packBase = kSignatureHeaderSize;
        if (header[0] == kPropertyHeader) {
            RINOK(ParseHeader(header.get(), headerSize, archiveSize, db));
            m_db = std::move(db);
            return SZ_OK;
        }
        if (header[0] != kPropertyEncodedHeader || nesting == kMaxHeaderNesting)
            return SZ_ERROR_ARCHIVE;
        RINOK(ParseEncodedHeaderInfo(header.get() + 1, headerSize - 1, archiveSize, db));
        if (db.folders.size() != 1)
            return db.folders.empty() ? SZ_ERROR_ARCHIVE : SZ_ERROR_UNSUPPORTED;
        const Folder& folder = db.folders[0];
        std::unique_ptr<Byte[]> decoded;
        RINOK(Allocate(decoded, folder.UnpackSize(), headerLimit));
        const std::size_t decodedSize = static_cast<std::size_t>(folder.UnpackSize());
        RINOK(DecodeWhole(*m_source, db, folder, limits.maxBufferSize, decoded.get()));
        if (kCheckHeaderCrcs && folder.crcDefined &&
            Crc32(decoded.get(), decodedSize) != folder.crc)
            return SZ_ERROR_CRC;
        header = std::move(decoded);
        headerSize = decodedSize;
    }
}

std::uint64_t Archive::EntrySize(std::uint32_t entry) const {
    const FileEntry& file = m_db.files[entry];
    return file.hasStream ? m_db.substreams[file.substream].size : 0;
}

std::uint32_t Archive::BlockOf(std::uint32_t entry) const {
    const FileEntry& file = m_db.files[entry];
    return file.hasStream ? file.folder : kNoBlock;
}

} // namespace sevenzip
