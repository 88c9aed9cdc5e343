#pragma once

#include "Types.h"

#include <string>

namespace un7z {

// Extracts every entry of the archive at `archivePath` below `outputFolder` (created if
// missing), each under its full name. Returns the reader's result code (SZ_OK on success);
// an entry whose name would leave the folder gives SZ_ERROR_ARCHIVE and a file that cannot be
// written SZ_ERROR_WRITE. With overlap, the next solid block is decoded while the current one
// is written.
SRes ExtractAll(const std::string& archivePath, const std::string& outputFolder, bool overlap,
                std::string& message);

// The entry name as a relative UTF-8 path below the output folder, or false when the name is
// empty, absolute, drive-qualified or has a "." or ".." component.
bool SafeRelativePath(const std::u16string& name, std::string& path);

} // namespace un7z
