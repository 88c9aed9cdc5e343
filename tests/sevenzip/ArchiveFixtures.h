#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace fixtures {

// Writes a small tree with the kinds of content an installer payload holds: x86 code (this
// test's own executable), text, an empty file, Chinese names, a read-only file, an empty folder.
void MakeSampleTree(const std::filesystem::path& root);

// Writes `size` bytes of `pattern` repeated (a single zero byte gives a run of zeros).
void WriteRepeated(const std::filesystem::path& path, std::uint64_t size,
                   const std::string& pattern);

// Runs `7zz a -t7z <options> archive` over every entry of `root`; true on success.
bool Pack(const std::filesystem::path& root, const std::filesystem::path& archive,
          const std::string& options);

// Packs the whole of `root` with writers other than 7-Zip: libarchive's (bsdtar), which names
// every entry "./..." and adds the top folder as ".", and py7zr (LZMA2 + BCJ from liblzma).
bool PackWithBsdtar(const std::filesystem::path& root, const std::filesystem::path& archive);
bool PackWithPy7zr(const std::filesystem::path& root, const std::filesystem::path& archive);

// Extracts with `7zz x` (the reference result).
bool UnpackWith7zz(const std::filesystem::path& archive, const std::filesystem::path& out);

// Describes how two trees differ (names, kinds, bytes, write permission); empty when equal.
std::string CompareTrees(const std::filesystem::path& expected,
                         const std::filesystem::path& actual);

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Rewrites a plain (uncompressed) header in place: replaces the UTF-16 name `from` by `to`
// (same length) and fixes both header CRCs, so the archive stays valid apart from the name.
bool RenameEntry(std::vector<std::uint8_t>& archive, const std::u16string& from,
                 const std::u16string& to);

// Recomputes the start header's CRCs after the next header was changed.
void FixHeaderCrcs(std::vector<std::uint8_t>& archive);

struct StoredFile {
    std::u16string name;
    std::string data;
    bool crcWrong{false}; // store a CRC that does not match
};

struct StoredBlock {
    std::vector<StoredFile> files;
    bool blockCrc{false};      // store the block's own CRC as well
    bool blockCrcWrong{false}; // and make it not match
};

// Writes a 7z archive by hand, plain header: every block stored (Copy), its files consecutive
// substreams, zero-length ones included (7-Zip itself never writes those), every substream's
// CRC stored. Block b's data starts at offset 32 + the sizes of the blocks before it.
std::vector<std::uint8_t> MakeStoredArchive(const std::vector<StoredBlock>& blocks);

} // namespace fixtures
