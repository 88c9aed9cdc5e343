#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace fixtures {

// Writes a small tree with the kinds of content an installer payload holds: x86 code (this
// test's own executable), text, an empty file, Chinese names, a read-only file, an empty folder.
void MakeSampleTree(const std::filesystem::path& root);

// Runs `7zz a -t7z <options> archive` over every entry of `root`; true on success.
bool Pack(const std::filesystem::path& root, const std::filesystem::path& archive,
          const std::string& options);

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

} // namespace fixtures
