#pragma once

#include <filesystem>

namespace fixtures {

// Extracts `archive` in both modes (with and without the decoding thread) below `scratch`,
// expecting the result code `expected`; on success compares both outputs with the source tree
// (unless `source` is empty) and with what 7zz extracts.
void ExpectSameAs7zz(const std::filesystem::path& source, const std::filesystem::path& archive,
                     const std::filesystem::path& scratch, int expected);

} // namespace fixtures
