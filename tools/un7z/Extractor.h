#pragma once

#include "sevenzip/Archive.h"
#include "sevenzip/ParallelExtraction.h"

#include <string>

namespace un7z {

// Extracts every entry of the archive at `archivePath` below `outputFolder` (created if
// missing), each under its full name, writing each file as its bytes are decoded, independent
// blocks side by side (see sevenzip::ExtractEntries). Returns the reader's result code (SZ_OK on
// success); an entry whose name would leave the folder gives SZ_ERROR_ARCHIVE, a file that
// cannot be written SZ_ERROR_WRITE, a stop request SZ_ERROR_PROGRESS. The first failure in
// archive order ends the extraction: earlier entries stay, the failing file as far as it was
// written, nothing after it.
SRes ExtractAll(const std::string& archivePath, const std::string& outputFolder,
                const sevenzip::ExtractionOptions& options, std::string& message,
                const sevenzip::Limits& limits = sevenzip::Limits());

// One thread with the blocks decoded on a second one (overlap), or everything on this thread.
SRes ExtractAll(const std::string& archivePath, const std::string& outputFolder, bool overlap,
                std::string& message, const sevenzip::Limits& limits = sevenzip::Limits());

// The entry name as a relative UTF-8 path below the output folder, "." components left out
// (empty for the folder itself), or false when the name is empty, absolute, drive-qualified,
// has an empty component or a ".." component.
bool SafeRelativePath(const std::u16string& name, std::string& path);

} // namespace un7z
