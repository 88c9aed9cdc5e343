#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skinui::resources {

// Reader of the zip packages that hold skins: stored and deflated entries, looked up by name
// without regard to ASCII case. Everything read from the archive is bounds-checked, because a
// package may come from anyone.

enum class ZipResult {
    Success,     // the whole item is in the buffer and its CRC-32 matched
    MoreData,    // the buffer is full and the item has further bytes
    BadIndex,    // no such item
    BadArchive,  // the local header or data lies outside the archive or is malformed
    Unsupported, // encrypted, or a method other than stored and deflate
    DataError,   // the compressed data is corrupt or its length disagrees with the directory
    CrcMismatch, // the item's bytes do not match its CRC-32
    ReadError,   // the file could not be read
};

struct ZipItem {
    int index{-1};
    std::uint32_t size{0}; // uncompressed size from the central directory
};

class SkinZipReader {
public:
    // Nothing when the file cannot be read or has no valid central directory.
    static std::unique_ptr<SkinZipReader> OpenFile(const std::filesystem::path& path);
    // The block is borrowed: the caller keeps it alive and unchanged while the reader exists.
    static std::unique_ptr<SkinZipReader> OpenMemory(const std::uint8_t* data, std::size_t size);

    ~SkinZipReader();
    SkinZipReader(const SkinZipReader&) = delete;
    SkinZipReader& operator=(const SkinZipReader&) = delete;

    // `name` is a byte string (the system code page on Windows); backslashes match slashes.
    std::optional<ZipItem> FindItem(std::string_view name) const;
    ZipResult UnzipItem(int index, std::uint8_t* buffer, std::size_t size) const;

    int ItemCount() const { return static_cast<int>(m_entries.size()); }
    const std::string& ItemName(int index) const { return m_entries.at(index).name; }

    class Source;

private:
    struct Entry {
        std::string name;
        std::uint16_t flags{0};
        std::uint16_t method{0};
        std::uint32_t crc{0};
        std::uint32_t compressedSize{0};
        std::uint32_t size{0};
        std::uint32_t localHeader{0}; // offset of the local file header
    };

    explicit SkinZipReader(std::unique_ptr<Source> source);
    bool ReadDirectory();
    // Looks for the end record in the last length bytes.
    bool ReadDirectoryInTail(std::uint64_t length);
    // Reads the central directory an end record at endOffset describes; false when it does not
    // check out.
    bool ReadDirectoryAt(std::uint16_t entryCount, std::uint32_t directorySize,
                         std::uint32_t directoryOffset, std::uint64_t endOffset);

    std::unique_ptr<Source> m_source;
    std::vector<Entry> m_entries;
};

} // namespace skinui::resources
