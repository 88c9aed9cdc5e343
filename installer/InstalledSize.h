#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The size of an installed tree as the uninstall entry's EstimatedSize records it.

// Bytes of every file below `folder`. Links (reparse points) are neither counted nor entered:
// what they point to is not part of the installation.
std::uint64_t TreeBytes(const std::wstring& folder);

// Kilobytes, rounded up, at most the largest DWORD.
DWORD KilobytesFor(std::uint64_t bytes);
