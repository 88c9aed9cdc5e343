// Reader of the 7z header structures. All numbers in a header use the variable-length encoding
// below; every count read here is checked against the bytes that remain before it is used to
// size anything, so a hostile header cannot make the reader allocate more than a small multiple
// of its own length.
//
//   Header        := kHeader [ArchiveProperties] [AdditionalStreams] [MainStreamsInfo]
//                    [FilesInfo] kEnd
//   StreamsInfo   := [kPackInfo ...] [kUnpackInfo ...] [kSubStreamsInfo ...] kEnd
//   FilesInfo     := NumFiles { PropertyId Size Data } kEnd
#include "sevenzip/Database.h"

#include <algorithm>
#include <limits>
#include <new>

namespace sevenzip {
namespace {

enum PropertyId : std::uint64_t {
    kEnd = 0x00,
    kHeader = 0x01,
    kArchiveProperties = 0x02,
    kAdditionalStreamsInfo = 0x03,
    kMainStreamsInfo = 0x04,
    kFilesInfo = 0x05,
    kPackInfo = 0x06,
    kUnpackInfo = 0x07,
    kSubStreamsInfo = 0x08,
    kSize = 0x09,
    kCrc = 0x0A,
    kFolder = 0x0B,
    kCodersUnpackSize = 0x0C,
    kNumUnpackStream = 0x0D,
    kEmptyStream = 0x0E,
    kEmptyFile = 0x0F,
    kAnti = 0x10,
    kName = 0x11,
    kWinAttributes = 0x15,
    kDummy = 0x19,
};

// Coders per folder and streams per coder beyond these are never written by any 7z writer;
// refusing them keeps the folder graph small enough to walk recursively.
constexpr std::uint32_t kMaxCoders = 64;
constexpr std::uint32_t kMaxCoderStreams = 64;
constexpr std::uint32_t kMaxCodecIdSize = 8;

class Cursor {
public:
    Cursor(const Byte* data, std::size_t size) : m_pos(data), m_end(data + size) {}

    std::size_t Remaining() const { return static_cast<std::size_t>(m_end - m_pos); }
    const Byte* Position() const { return m_pos; }

    SRes ReadByte(Byte& value) {
        if (m_pos == m_end)
            return SZ_ERROR_ARCHIVE;
        value = *m_pos++;
        return SZ_OK;
    }

    // 7z number: the count of leading one bits of the first byte says how many little-endian
    // bytes follow; the first byte's remaining bits are the value's top bits.
    SRes ReadNumber(std::uint64_t& value) {
        Byte first;
        RINOK(ReadByte(first));
        Byte mask = 0x80;
        value = 0;
        for (int i = 0; i < 8; i++) {
            if ((first & mask) == 0) {
                std::uint64_t high = first & (mask - 1u);
                value |= high << (8 * i);
                return SZ_OK;
            }
            Byte next;
            RINOK(ReadByte(next));
            value |= static_cast<std::uint64_t>(next) << (8 * i);
            mask >>= 1;
        }
        return SZ_OK;
    }

    // A count that must be satisfiable by the remaining bytes at `bytesEach` per item.
    SRes ReadCount(std::uint32_t& count, std::size_t bytesEach = 1) {
        std::uint64_t value;
        RINOK(ReadNumber(value));
        if (value > kMaxCount || (bytesEach != 0 && value > Remaining() / bytesEach))
            return SZ_ERROR_ARCHIVE;
        count = static_cast<std::uint32_t>(value);
        return SZ_OK;
    }

    SRes ReadUInt32(std::uint32_t& value) {
        if (Remaining() < 4)
            return SZ_ERROR_ARCHIVE;
        value = static_cast<std::uint32_t>(m_pos[0]) | static_cast<std::uint32_t>(m_pos[1]) << 8 |
                static_cast<std::uint32_t>(m_pos[2]) << 16 |
                static_cast<std::uint32_t>(m_pos[3]) << 24;
        m_pos += 4;
        return SZ_OK;
    }

    SRes Skip(std::uint64_t size) {
        if (size > Remaining())
            return SZ_ERROR_ARCHIVE;
        m_pos += size;
        return SZ_OK;
    }

    SRes SkipData() {
        std::uint64_t size;
        RINOK(ReadNumber(size));
        return Skip(size);
    }

    SRes ReadBits(std::uint32_t count, std::vector<bool>& bits) {
        if ((count + 7u) / 8u > Remaining())
            return SZ_ERROR_ARCHIVE;
        bits.assign(count, false);
        Byte current = 0;
        for (std::uint32_t i = 0; i < count; i++) {
            if (i % 8 == 0)
                current = *m_pos++;
            bits[i] = (current & (0x80u >> (i % 8))) != 0;
        }
        return SZ_OK;
    }

    // The "all defined" byte, then a bit vector when it is zero.
    SRes ReadOptionalBits(std::uint32_t count, std::vector<bool>& bits) {
        Byte allDefined;
        RINOK(ReadByte(allDefined));
        if (allDefined == 0)
            return ReadBits(count, bits);
        bits.assign(count, true);
        return SZ_OK;
    }

    SRes ReadDigests(std::uint32_t count, std::vector<bool>& defined,
                     std::vector<std::uint32_t>& crcs) {
        RINOK(ReadOptionalBits(count, defined));
        crcs.assign(count, 0);
        for (std::uint32_t i = 0; i < count; i++)
            if (defined[i])
                RINOK(ReadUInt32(crcs[i]));
        return SZ_OK;
    }

    SRes Expect(std::uint64_t id) {
        std::uint64_t value;
        RINOK(ReadNumber(value));
        return value == id ? SZ_OK : SZ_ERROR_ARCHIVE;
    }

private:
    static constexpr std::uint64_t kMaxCount = 1u << 30;
    const Byte* m_pos;
    const Byte* m_end;
};

bool AddOverflows(std::uint64_t a, std::uint64_t b, std::uint64_t& sum) {
    sum = a + b;
    return sum < a;
}

SRes ReadPackInfo(Cursor& in, std::uint64_t archiveSize, Database& db) {
    std::uint64_t packPos;
    RINOK(in.ReadNumber(packPos));
    std::uint32_t count;
    RINOK(in.ReadCount(count));
    std::uint64_t offset;
    if (AddOverflows(db.packBase, packPos, offset) || offset > archiveSize)
        return SZ_ERROR_ARCHIVE;
    RINOK(in.Expect(kSize));
    db.packSizes.resize(count);
    db.packOffsets.resize(count);
    for (std::uint32_t i = 0; i < count; i++) {
        RINOK(in.ReadNumber(db.packSizes[i]));
        db.packOffsets[i] = offset;
        if (AddOverflows(offset, db.packSizes[i], offset) || offset > archiveSize)
            return SZ_ERROR_ARCHIVE;
    }
    for (;;) {
        std::uint64_t id;
        RINOK(in.ReadNumber(id));
        if (id == kEnd)
            return SZ_OK;
        if (id == kCrc) {
            // Pack stream digests are optional and no writer relies on them.
            std::vector<bool> defined;
            std::vector<std::uint32_t> crcs;
            RINOK(in.ReadDigests(count, defined, crcs));
        } else {
            RINOK(in.SkipData());
        }
    }
}

SRes ReadFolder(Cursor& in, Folder& folder) {
    std::uint32_t numCoders;
    RINOK(in.ReadCount(numCoders));
    if (numCoders == 0 || numCoders > kMaxCoders)
        return SZ_ERROR_UNSUPPORTED;
    folder.coders.resize(numCoders);
    std::uint32_t totalIn = 0;
    std::uint32_t totalOut = 0;
    for (Coder& coder : folder.coders) {
        Byte flags;
        RINOK(in.ReadByte(flags));
        unsigned idSize = flags & 0x0F;
        if ((flags & 0x80) != 0 || idSize > kMaxCodecIdSize) // alternative methods: never used
            return SZ_ERROR_UNSUPPORTED;
        coder.methodId = 0;
        for (unsigned i = 0; i < idSize; i++) {
            Byte b;
            RINOK(in.ReadByte(b));
            coder.methodId = (coder.methodId << 8) | b;
        }
        if ((flags & 0x10) != 0) {
            std::uint64_t numIn, numOut;
            RINOK(in.ReadNumber(numIn));
            RINOK(in.ReadNumber(numOut));
            if (numIn == 0 || numIn > kMaxCoderStreams || numOut != 1)
                return SZ_ERROR_UNSUPPORTED;
            coder.numInStreams = static_cast<std::uint32_t>(numIn);
            coder.numOutStreams = static_cast<std::uint32_t>(numOut);
        }
        if ((flags & 0x20) != 0) {
            std::uint64_t propSize;
            RINOK(in.ReadNumber(propSize));
            if (propSize > in.Remaining())
                return SZ_ERROR_ARCHIVE;
            coder.properties.assign(in.Position(), in.Position() + propSize);
            RINOK(in.Skip(propSize));
        }
        coder.firstInStream = totalIn;
        coder.firstOutStream = totalOut;
        totalIn += coder.numInStreams;
        totalOut += coder.numOutStreams;
    }
    std::uint32_t numBindPairs = totalOut - 1;
    if (numBindPairs > totalIn)
        return SZ_ERROR_ARCHIVE;
    std::vector<bool> inBound(totalIn, false);
    std::vector<bool> outBound(totalOut, false);
    folder.bindPairs.resize(numBindPairs);
    for (BindPair& pair : folder.bindPairs) {
        std::uint64_t inIndex, outIndex;
        RINOK(in.ReadNumber(inIndex));
        RINOK(in.ReadNumber(outIndex));
        if (inIndex >= totalIn || outIndex >= totalOut || inBound[inIndex] || outBound[outIndex])
            return SZ_ERROR_ARCHIVE;
        inBound[inIndex] = true;
        outBound[outIndex] = true;
        pair.inIndex = static_cast<std::uint32_t>(inIndex);
        pair.outIndex = static_cast<std::uint32_t>(outIndex);
    }
    std::uint32_t numPacked = totalIn - numBindPairs;
    if (numPacked == 1) {
        for (std::uint32_t i = 0; i < totalIn; i++)
            if (!inBound[i])
                folder.packedInStreams.push_back(i);
    } else {
        for (std::uint32_t i = 0; i < numPacked; i++) {
            std::uint64_t index;
            RINOK(in.ReadNumber(index));
            if (index >= totalIn || inBound[index])
                return SZ_ERROR_ARCHIVE;
            inBound[index] = true;
            folder.packedInStreams.push_back(static_cast<std::uint32_t>(index));
        }
    }
    if (folder.packedInStreams.size() != numPacked)
        return SZ_ERROR_ARCHIVE;
    for (std::uint32_t i = 0; i < totalOut; i++)
        if (!outBound[i])
            folder.mainOutStream = i;
    return SZ_OK;
}

SRes ReadUnpackInfo(Cursor& in, Database& db) {
    RINOK(in.Expect(kFolder));
    std::uint32_t numFolders;
    RINOK(in.ReadCount(numFolders, 3)); // a folder takes at least three bytes
    Byte external;
    RINOK(in.ReadByte(external));
    if (external != 0)
        return SZ_ERROR_UNSUPPORTED;
    db.folders.resize(numFolders);
    std::uint32_t packIndex = 0;
    for (Folder& folder : db.folders) {
        RINOK(ReadFolder(in, folder));
        folder.firstPackStream = packIndex;
        if (folder.packedInStreams.size() > db.packSizes.size() - packIndex)
            return SZ_ERROR_ARCHIVE;
        packIndex += static_cast<std::uint32_t>(folder.packedInStreams.size());
    }
    RINOK(in.Expect(kCodersUnpackSize));
    for (Folder& folder : db.folders) {
        std::size_t numOut = 0;
        for (const Coder& coder : folder.coders)
            numOut += coder.numOutStreams;
        folder.unpackSizes.resize(numOut);
        for (std::uint64_t& size : folder.unpackSizes)
            RINOK(in.ReadNumber(size));
    }
    for (;;) {
        std::uint64_t id;
        RINOK(in.ReadNumber(id));
        if (id == kEnd)
            return SZ_OK;
        if (id == kCrc) {
            std::vector<bool> defined;
            std::vector<std::uint32_t> crcs;
            RINOK(in.ReadDigests(numFolders, defined, crcs));
            for (std::uint32_t i = 0; i < numFolders; i++) {
                db.folders[i].crcDefined = defined[i];
                db.folders[i].crc = crcs[i];
            }
        } else {
            RINOK(in.SkipData());
        }
    }
}

SRes ReadSubStreamsInfo(Cursor& in, Database& db) {
    std::uint64_t id;
    RINOK(in.ReadNumber(id));
    if (id == kNumUnpackStream) {
        for (Folder& folder : db.folders)
            RINOK(in.ReadCount(folder.numSubstreams, 0));
        RINOK(in.ReadNumber(id));
    }
    // Every substream but a folder's last has its size listed, so the total is bounded by the
    // header's length plus one per folder.
    std::uint64_t total = 0;
    for (const Folder& folder : db.folders) {
        if (folder.numSubstreams > 1 && id != kSize)
            return SZ_ERROR_ARCHIVE;
        total += folder.numSubstreams;
    }
    if (total > in.Remaining() + db.folders.size())
        return SZ_ERROR_ARCHIVE;
    db.substreams.clear();
    db.substreams.reserve(static_cast<std::size_t>(total));
    for (Folder& folder : db.folders) {
        folder.firstSubstream = static_cast<std::uint32_t>(db.substreams.size());
        if (folder.numSubstreams == 0)
            continue;
        std::uint64_t offset = 0;
        for (std::uint32_t j = 1; j < folder.numSubstreams; j++) {
            Substream sub;
            RINOK(in.ReadNumber(sub.size));
            sub.offset = offset;
            if (AddOverflows(offset, sub.size, offset) || offset > folder.UnpackSize())
                return SZ_ERROR_ARCHIVE;
            db.substreams.push_back(sub);
        }
        Substream last;
        last.offset = offset;
        last.size = folder.UnpackSize() - offset;
        if (folder.numSubstreams == 1 && folder.crcDefined) {
            last.crcDefined = true;
            last.crc = folder.crc;
        }
        db.substreams.push_back(last);
    }
    if (id == kSize)
        RINOK(in.ReadNumber(id));

    std::uint32_t numDigests = 0;
    for (const Folder& folder : db.folders)
        if (!(folder.numSubstreams == 1 && folder.crcDefined))
            numDigests += folder.numSubstreams;
    for (;;) {
        if (id == kEnd)
            return SZ_OK;
        if (id == kCrc) {
            std::vector<bool> defined;
            std::vector<std::uint32_t> crcs;
            RINOK(in.ReadDigests(numDigests, defined, crcs));
            std::uint32_t next = 0;
            for (const Folder& folder : db.folders) {
                if (folder.numSubstreams == 1 && folder.crcDefined)
                    continue;
                for (std::uint32_t j = 0; j < folder.numSubstreams; j++, next++) {
                    Substream& sub = db.substreams[folder.firstSubstream + j];
                    sub.crcDefined = defined[next];
                    sub.crc = crcs[next];
                }
            }
        } else {
            RINOK(in.SkipData());
        }
        RINOK(in.ReadNumber(id));
    }
}

SRes ReadStreamsInfo(Cursor& in, std::uint64_t archiveSize, Database& db) {
    std::uint64_t id;
    RINOK(in.ReadNumber(id));
    if (id == kPackInfo) {
        RINOK(ReadPackInfo(in, archiveSize, db));
        RINOK(in.ReadNumber(id));
    }
    if (id == kUnpackInfo) {
        RINOK(ReadUnpackInfo(in, db));
        RINOK(in.ReadNumber(id));
    }
    std::uint32_t usedPackStreams = 0;
    for (const Folder& folder : db.folders)
        usedPackStreams += static_cast<std::uint32_t>(folder.packedInStreams.size());
    if (usedPackStreams > db.packSizes.size())
        return SZ_ERROR_ARCHIVE;
    if (id == kSubStreamsInfo) {
        RINOK(ReadSubStreamsInfo(in, db));
        RINOK(in.ReadNumber(id));
    } else {
        db.substreams.clear();
        for (Folder& folder : db.folders) {
            folder.numSubstreams = 1;
            folder.firstSubstream = static_cast<std::uint32_t>(db.substreams.size());
            Substream sub;
            sub.size = folder.UnpackSize();
            sub.crcDefined = folder.crcDefined;
            sub.crc = folder.crc;
            db.substreams.push_back(sub);
        }
    }
    return id == kEnd ? SZ_OK : SZ_ERROR_ARCHIVE;
}

SRes ReadNames(Cursor& in, std::uint64_t size, std::vector<FileEntry>& files) {
    Byte external;
    RINOK(in.ReadByte(external));
    if (external != 0)
        return SZ_ERROR_UNSUPPORTED;
    if (size == 0 || size - 1 > in.Remaining() || (size - 1) % 2 != 0)
        return SZ_ERROR_ARCHIVE;
    const Byte* p = in.Position();
    const Byte* end = p + (size - 1);
    for (FileEntry& file : files) {
        const Byte* start = p;
        while (p < end && (p[0] != 0 || p[1] != 0))
            p += 2;
        if (p == end)
            return SZ_ERROR_ARCHIVE;
        file.name.resize(static_cast<std::size_t>(p - start) / 2);
        for (std::size_t k = 0; k < file.name.size(); k++)
            file.name[k] = static_cast<char16_t>(start[2 * k] | (start[2 * k + 1] << 8));
        p += 2;
    }
    if (p != end)
        return SZ_ERROR_ARCHIVE;
    return in.Skip(size - 1);
}

SRes ReadAttributes(Cursor& in, std::uint64_t size, std::vector<FileEntry>& files) {
    const Byte* start = in.Position();
    std::vector<bool> defined;
    RINOK(in.ReadOptionalBits(static_cast<std::uint32_t>(files.size()), defined));
    Byte external;
    RINOK(in.ReadByte(external));
    if (external != 0)
        return SZ_ERROR_UNSUPPORTED;
    for (std::size_t i = 0; i < files.size(); i++) {
        files[i].attributesDefined = defined[i];
        if (defined[i])
            RINOK(in.ReadUInt32(files[i].attributes));
    }
    return static_cast<std::uint64_t>(in.Position() - start) == size ? SZ_OK : SZ_ERROR_ARCHIVE;
}

SRes ReadFilesInfo(Cursor& in, Database& db) {
    // Entries with data each have a substream; every other entry needs at least its name's
    // two-byte terminator in what remains of the header. Checking that before sizing the entry
    // table keeps a short hostile header from claiming millions of entries.
    std::uint64_t numFiles;
    RINOK(in.ReadNumber(numFiles));
    if (numFiles > db.substreams.size() + in.Remaining() / 2)
        return SZ_ERROR_ARCHIVE;
    db.files.resize(static_cast<std::size_t>(numFiles));
    const std::uint32_t count = static_cast<std::uint32_t>(numFiles);
    std::vector<bool> emptyStream(count, false);
    std::vector<bool> emptyFile;
    std::vector<bool> anti;
    std::uint32_t numEmpty = 0;
    for (;;) {
        std::uint64_t type;
        RINOK(in.ReadNumber(type));
        if (type == kEnd)
            break;
        std::uint64_t size;
        RINOK(in.ReadNumber(size));
        if (size > in.Remaining())
            return SZ_ERROR_ARCHIVE;
        const Byte* start = in.Position();
        switch (type) {
        case kEmptyStream:
            RINOK(in.ReadBits(count, emptyStream));
            numEmpty = static_cast<std::uint32_t>(
                std::count(emptyStream.begin(), emptyStream.end(), true));
            emptyFile.assign(numEmpty, false);
            anti.assign(numEmpty, false);
            break;
        case kEmptyFile:
            RINOK(in.ReadBits(numEmpty, emptyFile));
            break;
        case kAnti:
            RINOK(in.ReadBits(numEmpty, anti));
            break;
        case kName:
            RINOK(ReadNames(in, size, db.files));
            break;
        case kWinAttributes:
            RINOK(ReadAttributes(in, size, db.files));
            break;
        default:
            // Times, start positions, padding: not needed for extraction.
            RINOK(in.Skip(size));
            break;
        }
        if (static_cast<std::uint64_t>(in.Position() - start) > size)
            return SZ_ERROR_ARCHIVE;
        RINOK(in.Skip(size - static_cast<std::uint64_t>(in.Position() - start)));
    }

    std::uint32_t emptyIndex = 0;
    std::uint32_t nextFolder = 0;
    std::uint32_t indexInFolder = 0;
    for (std::uint32_t i = 0; i < count; i++) {
        FileEntry& file = db.files[i];
        file.hasStream = !emptyStream[i];
        if (!file.hasStream) {
            file.isDirectory = !emptyFile[emptyIndex];
            file.isAnti = anti[emptyIndex];
            emptyIndex++;
            continue;
        }
        while (nextFolder < db.folders.size() &&
               indexInFolder == db.folders[nextFolder].numSubstreams) {
            nextFolder++;
            indexInFolder = 0;
        }
        if (nextFolder == db.folders.size())
            return SZ_ERROR_ARCHIVE;
        file.folder = nextFolder;
        file.substream = db.folders[nextFolder].firstSubstream + indexInFolder;
        indexInFolder++;
    }
    // Every substream must belong to an entry, or the archive was cut or misdescribed.
    while (nextFolder < db.folders.size() &&
           indexInFolder == db.folders[nextFolder].numSubstreams) {
        nextFolder++;
        indexInFolder = 0;
    }
    return nextFolder == db.folders.size() ? SZ_OK : SZ_ERROR_ARCHIVE;
}

} // namespace

SRes ParseHeader(const Byte* data, std::size_t size, std::uint64_t archiveSize, Database& db) {
    try {
        Cursor in(data, size);
        RINOK(in.Expect(kHeader));
        std::uint64_t id;
        RINOK(in.ReadNumber(id));
        if (id == kArchiveProperties) {
            for (;;) {
                std::uint64_t type;
                RINOK(in.ReadNumber(type));
                if (type == kEnd)
                    break;
                RINOK(in.SkipData());
            }
            RINOK(in.ReadNumber(id));
        }
        if (id == kAdditionalStreamsInfo)
            return SZ_ERROR_UNSUPPORTED;
        if (id == kMainStreamsInfo) {
            RINOK(ReadStreamsInfo(in, archiveSize, db));
            RINOK(in.ReadNumber(id));
        }
        if (id == kFilesInfo) {
            RINOK(ReadFilesInfo(in, db));
            RINOK(in.ReadNumber(id));
        } else if (!db.substreams.empty()) {
            return SZ_ERROR_ARCHIVE;
        }
        return id == kEnd ? SZ_OK : SZ_ERROR_ARCHIVE;
    } catch (const std::bad_alloc&) {
        return SZ_ERROR_MEM;
    }
}

SRes ParseEncodedHeaderInfo(const Byte* data, std::size_t size, std::uint64_t archiveSize,
                            Database& db) {
    try {
        Cursor in(data, size);
        return ReadStreamsInfo(in, archiveSize, db);
    } catch (const std::bad_alloc&) {
        return SZ_ERROR_MEM;
    }
}

} // namespace sevenzip
