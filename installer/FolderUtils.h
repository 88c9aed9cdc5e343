#pragma once

#include <cstddef>
#include <string>

// Folder and file helpers shared by the installer's dialog, worker and payload extraction, and
// compiled into the uninstaller too. None of them shows a message or throws.

// Longest byte-string path the ANSI operations accept, without its terminating NUL: they work
// in buffers of MAX_PATH (260) bytes.
constexpr std::size_t kMaxAnsiPathLength = 259;

// Longest UTF-16 folder path the folder operations accept, without its terminating NUL.
constexpr std::size_t kMaxPathLength = 259;

// Creates every folder along a byte-string path, from the drive root down. Failures along the
// way are ignored (existing folders and drive roots are harmless); the caller checks the result
// afterwards. A path longer than kMaxAnsiPathLength creates nothing.
void MakeFolderChainAnsi(const std::string& path);

// The user's temp folder followed directly by `name` (no separator inserted), created if
// missing. An empty name gives the temp folder itself, with its trailing backslash. Returns the
// empty string, and creates nothing, when the temp folder is unknown or the result would exceed
// kMaxAnsiPathLength.
std::string TempFolderPath(const std::string& name);

// Writes `size` bytes to `path`, replacing any existing file. Returns 0 when every byte was
// written, 1 when the file could not be created or written completely.
int WriteWholeFile(const std::wstring& path, const void* data, std::size_t size);

// True when `path` names an existing folder (an empty one included); false for an empty path.
bool FolderExists(const std::wstring& path);

// Creates every folder along `path`, shortest prefix first. Returns true only when this call
// created the last folder of the chain, so an already existing folder gives false. A path
// longer than kMaxPathLength creates nothing and gives false.
bool MakeFolderChain(const std::wstring& path);
