#pragma once

#include "Types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sevenzip {

// One coder of a folder: a method id, its properties and how many streams it takes and gives.
struct Coder {
    std::uint64_t methodId{0};
    std::vector<Byte> properties;
    std::uint32_t numInStreams{1};
    std::uint32_t numOutStreams{1};
    std::uint32_t firstInStream{0};  // index of this coder's first input among the folder's
    std::uint32_t firstOutStream{0}; // index of this coder's first output among the folder's
};

// Connects the input `inIndex` of one coder to the output `outIndex` of another.
struct BindPair {
    std::uint32_t inIndex{0};
    std::uint32_t outIndex{0};
};

// A folder is one solid block: a graph of coders fed by packed streams, giving one main output.
struct Folder {
    std::vector<Coder> coders;
    std::vector<BindPair> bindPairs;
    std::vector<std::uint32_t> packedInStreams; // folder input index of each packed stream
    std::vector<std::uint64_t> unpackSizes;     // size of every coder output
    std::uint32_t firstPackStream{0};           // index into the archive's pack streams
    std::uint32_t mainOutStream{0};             // the output no bind pair consumes
    bool crcDefined{false};
    std::uint32_t crc{0};
    std::uint32_t numSubstreams{1};
    std::uint32_t firstSubstream{0};

    std::uint64_t UnpackSize() const { return unpackSizes[mainOutStream]; }
};

struct Substream {
    std::uint64_t offset{0}; // within the folder's main output
    std::uint64_t size{0};
    bool crcDefined{false};
    std::uint32_t crc{0};
};

struct FileEntry {
    std::u16string name;
    bool hasStream{true};
    bool isDirectory{false};
    bool isAnti{false};
    bool attributesDefined{false};
    std::uint32_t attributes{0};
    std::uint32_t folder{0};    // valid when hasStream
    std::uint32_t substream{0}; // index into Database::substreams, valid when hasStream
};

// Everything the archive's header describes, checked for internal consistency.
struct Database {
    std::uint64_t packBase{0};              // file offset of the first pack stream
    std::vector<std::uint64_t> packSizes;   // size of each pack stream
    std::vector<std::uint64_t> packOffsets; // file offset of each pack stream
    std::vector<Folder> folders;
    std::vector<Substream> substreams;
    std::vector<FileEntry> files;
};

// Parses a plain header (starting with the Header property) into `db`, checking every count
// and size against the header's length and the archive's size.
SRes ParseHeader(const Byte* data, std::size_t size, std::uint64_t archiveSize, Database& db);

// Parses the streams description of an encoded header (after its EncodedHeader property).
SRes ParseEncodedHeaderInfo(const Byte* data, std::size_t size, std::uint64_t archiveSize,
                            Database& db);

} // namespace sevenzip
