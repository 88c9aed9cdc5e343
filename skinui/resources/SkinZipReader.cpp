#include "skinui/resources/SkinZipReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace skinui::resources {

// Zip layout, as far as the reader uses it (all numbers little-endian):
//
//   [local header 30 bytes + name + extra][data] ...  one per item
//   [central directory entry 46 bytes + name + extra + comment] ...  one per item
//   [end of central directory 22 bytes + comment up to 65535 bytes]
//
// The end record gives the directory's offset and size; each directory entry gives its item's
// method, CRC-32, sizes and local header offset. The local header is read again only for the
// lengths of its own name and extra field, which may differ from the directory's.

namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr std::uint32_t kDirectoryEntrySignature = 0x02014b50;
constexpr std::uint32_t kEndRecordSignature = 0x06054b50;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kDirectoryEntrySize = 46;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kMaxCommentSize = 65535;
// Bytes after the end record that are looked past: block padding of streamed output is at most
// a few tens of kilobytes.
constexpr std::size_t kMaxTrailingBytes = 1u << 20;
constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflate = 8;
constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::size_t kReadChunk = 16384;

std::uint16_t Read16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Read32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

char FoldName(char c) {
    if (c == '\\')
        return '/';
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c - 'a' + 'A');
    return c;
}

bool NamesMatch(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldName(a[i]) != FoldName(b[i]))
            return false;
    }
    return true;
}

std::uint32_t Crc32(std::uint32_t crc, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        auto chunk = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
        crc = static_cast<std::uint32_t>(crc32(crc, data, chunk));
        data += chunk;
        size -= chunk;
    }
    return crc;
}

} // namespace

// Random access to the archive bytes.
class SkinZipReader::Source {
public:
    virtual ~Source() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads exactly `size` bytes at `offset`; false if they are not all there.
    virtual bool Read(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) = 0;
};

namespace {

class MemorySource : public SkinZipReader::Source {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::uint64_t Size() const override { return m_size; }
    bool Read(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) override {
        if (offset > m_size || size > m_size - offset)
            return false;
        if (size > 0)
            std::memcpy(buffer, m_data + offset, size);
        return true;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
};

class FileSource : public SkinZipReader::Source {
public:
    bool Open(const std::filesystem::path& path) {
        m_file.open(path, std::ios::binary);
        if (!m_file)
            return false;
        m_file.seekg(0, std::ios::end);
        std::streamoff end = m_file.tellg();
        if (end < 0)
            return false;
        m_size = static_cast<std::uint64_t>(end);
        return true;
    }
    std::uint64_t Size() const override { return m_size; }
    bool Read(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) override {
        if (offset > m_size || size > m_size - offset)
            return false;
        m_file.clear();
        m_file.seekg(static_cast<std::streamoff>(offset));
        m_file.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(size));
        return static_cast<std::size_t>(m_file.gcount()) == size;
    }

private:
    std::ifstream m_file;
    std::uint64_t m_size{0};
};

struct InflateStream {
    z_stream stream{};
    bool initialised{false};
    ~InflateStream() {
        if (initialised)
            inflateEnd(&stream);
    }
};

} // namespace

std::unique_ptr<SkinZipReader> SkinZipReader::OpenFile(const std::filesystem::path& path) {
    auto source = std::make_unique<FileSource>();
    if (!source->Open(path))
        return nullptr;
    std::unique_ptr<SkinZipReader> reader(new SkinZipReader(std::move(source)));
    if (!reader->ReadDirectory())
        return nullptr;
    return reader;
}

std::unique_ptr<SkinZipReader> SkinZipReader::OpenMemory(const std::uint8_t* data,
                                                         std::size_t size) {
    if (data == nullptr)
        return nullptr;
    std::unique_ptr<SkinZipReader> reader(
        new SkinZipReader(std::make_unique<MemorySource>(data, size)));
    if (!reader->ReadDirectory())
        return nullptr;
    return reader;
}

SkinZipReader::SkinZipReader(std::unique_ptr<Source> source) : m_source(std::move(source)) {}

SkinZipReader::~SkinZipReader() = default;

bool SkinZipReader::ReadDirectory() {
    const std::uint64_t archiveSize = m_source->Size();
    if (archiveSize < kEndRecordSize)
        return false;
    // Writers that stream their output may pad it to a block size, so the end record need not
    // reach the end of the file. The usual tail is searched first; only a package whose end
    // record is not in it costs the read of the longer one.
    const std::size_t usual = kEndRecordSize + kMaxCommentSize;
    if (ReadDirectoryInTail(std::min<std::uint64_t>(archiveSize, usual)))
        return true;
    return archiveSize > usual &&
           ReadDirectoryInTail(std::min<std::uint64_t>(archiveSize, usual + kMaxTrailingBytes));
}

bool SkinZipReader::ReadDirectoryInTail(std::uint64_t length) {
    const std::uint64_t archiveSize = m_source->Size();
    const auto tailSize = static_cast<std::size_t>(length);
    std::vector<std::uint8_t> tail(tailSize);
    if (!m_source->Read(archiveSize - tailSize, tail.data(), tailSize))
        return false;
    // The last end record whose comment fits and whose central directory checks out is the
    // archive's; a signature met by chance in the padding or a comment fails the check.
    for (std::size_t at = tailSize - kEndRecordSize + 1; at-- > 0;) {
        const std::uint8_t* p = tail.data() + at;
        if (Read32(p) != kEndRecordSignature || at + kEndRecordSize + Read16(p + 20) > tailSize)
            continue;
        const std::uint64_t endOffset = archiveSize - tailSize + at;
        if (ReadDirectoryAt(Read16(p + 10), Read32(p + 12), Read32(p + 16), endOffset))
            return true;
    }
    return false;
}

bool SkinZipReader::ReadDirectoryAt(std::uint16_t entryCount, std::uint32_t directorySize,
                                    std::uint32_t directoryOffset, std::uint64_t endOffset) {
    m_entries.clear();
    if (static_cast<std::uint64_t>(directoryOffset) + directorySize > endOffset)
        return false;
    std::vector<std::uint8_t> directory(directorySize);
    if (!m_source->Read(directoryOffset, directory.data(), directory.size()))
        return false;
    std::vector<Entry> entries;
    std::size_t pos = 0;
    for (std::uint16_t n = 0; n < entryCount; ++n) {
        if (directory.size() - pos < kDirectoryEntrySize)
            return false;
        const std::uint8_t* p = directory.data() + pos;
        if (Read32(p) != kDirectoryEntrySignature)
            return false;
        std::size_t nameLength = Read16(p + 28);
        std::size_t variableLength = nameLength + Read16(p + 30) + Read16(p + 32);
        if (directory.size() - pos - kDirectoryEntrySize < variableLength)
            return false;
        Entry entry;
        entry.flags = Read16(p + 8);
        entry.method = Read16(p + 10);
        entry.crc = Read32(p + 16);
        entry.compressedSize = Read32(p + 20);
        entry.size = Read32(p + 24);
        entry.localHeader = Read32(p + 42);
        entry.name.assign(reinterpret_cast<const char*>(p + kDirectoryEntrySize), nameLength);
        entries.push_back(std::move(entry));
        pos += kDirectoryEntrySize + variableLength;
    }
    m_entries = std::move(entries);
    return true;
}

std::optional<ZipItem> SkinZipReader::FindItem(std::string_view name) const {
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (NamesMatch(m_entries[i].name, name))
            return ZipItem{static_cast<int>(i), m_entries[i].size};
    }
    return std::nullopt;
}

ZipResult SkinZipReader::UnzipItem(int index, std::uint8_t* buffer, std::size_t size) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size())
        return ZipResult::BadIndex;
    if (buffer == nullptr)
        size = 0;
    const Entry& entry = m_entries[static_cast<std::size_t>(index)];
    if ((entry.flags & kFlagEncrypted) != 0 ||
        (entry.method != kMethodStored && entry.method != kMethodDeflate))
        return ZipResult::Unsupported;
    std::uint8_t header[kLocalHeaderSize];
    if (!m_source->Read(entry.localHeader, header, sizeof header))
        return ZipResult::BadArchive;
    if (Read32(header) != kLocalHeaderSignature)
        return ZipResult::BadArchive;
    std::uint64_t dataOffset = static_cast<std::uint64_t>(entry.localHeader) + kLocalHeaderSize +
                               Read16(header + 26) + Read16(header + 28);
    std::uint64_t archiveSize = m_source->Size();
    if (dataOffset > archiveSize || entry.compressedSize > archiveSize - dataOffset)
        return ZipResult::BadArchive;

    if (entry.method == kMethodStored) {
        if (entry.compressedSize != entry.size)
            return ZipResult::DataError;
        std::size_t wanted = std::min<std::size_t>(size, entry.size);
        if (!m_source->Read(dataOffset, buffer, wanted))
            return ZipResult::ReadError;
        if (wanted < entry.size)
            return ZipResult::MoreData;
        return Crc32(0, buffer, wanted) == entry.crc ? ZipResult::Success : ZipResult::CrcMismatch;
    }

    InflateStream inflater;
    if (inflateInit2(&inflater.stream, -MAX_WBITS) != Z_OK)
        return ZipResult::DataError;
    inflater.initialised = true;
    z_stream& z = inflater.stream;
    std::vector<std::uint8_t> input(std::min<std::size_t>(kReadChunk, entry.compressedSize));
    std::uint64_t inputLeft = entry.compressedSize;
    std::uint64_t inputOffset = dataOffset;
    std::uint8_t spill = 0; // one byte past a full buffer tells more-data from the stream's end
    std::size_t produced = 0;
    for (;;) {
        if (z.avail_in == 0 && inputLeft > 0) {
            std::size_t chunk =
                static_cast<std::size_t>(std::min<std::uint64_t>(inputLeft, input.size()));
            if (!m_source->Read(inputOffset, input.data(), chunk))
                return ZipResult::ReadError;
            inputOffset += chunk;
            inputLeft -= chunk;
            z.next_in = input.data();
            z.avail_in = static_cast<uInt>(chunk);
        }
        bool full = produced == size;
        std::size_t room = std::min<std::size_t>(size - produced, 1u << 30);
        z.next_out = full ? &spill : buffer + produced;
        z.avail_out = full ? 1 : static_cast<uInt>(room);
        uInt before = z.avail_out;
        int status = inflate(&z, Z_NO_FLUSH);
        std::size_t made = before - z.avail_out;
        if (full && made > 0)
            return ZipResult::MoreData;
        produced += made;
        if (status == Z_STREAM_END)
            break;
        if (status == Z_BUF_ERROR && z.avail_in == 0 && inputLeft == 0)
            return ZipResult::DataError; // the compressed data ends before the stream does
        if (status != Z_OK && status != Z_BUF_ERROR)
            return ZipResult::DataError;
    }
    if (produced != entry.size)
        return ZipResult::DataError;
    return Crc32(0, buffer, produced) == entry.crc ? ZipResult::Success : ZipResult::CrcMismatch;
}

} // namespace skinui::resources
