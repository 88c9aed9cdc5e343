#pragma once

#include <windows.h>

#include <atomic>
#include <string>

// Posted by the install worker to the dialog after each unpacked file: WPARAM 0, LPARAM the
// percentage 0-100.
constexpr UINT InstallProgressMessage = WM_USER + 2000;

// Result for a file that cannot be created, written completely or closed, and for an entry
// whose target path does not fit in MAX_PATH.
constexpr int kExtractFileError = 11;

// Result when the caller asked the extraction to stop (the SDK's code for a break requested by
// the caller's progress callback).
constexpr int kExtractStopped = 10;

// Unpacks the 7z archive at `archivePath` into `installFolder` (created first if missing): the
// entries below "install/data" land directly in the install folder, every other entry under its
// whole name. Files get their stored attributes; after each file one InstallProgressMessage is
// posted to `progressWindow` with the entry's position in the archive as a percentage.
//
// Returns 0 when every entry was unpacked; otherwise the decoder's result code (SZ_* of the
// LZMA SDK), kExtractFileError for file output, or another non-zero code when the install
// folder cannot be created, the archive cannot be opened, or an entry name would leave the
// install folder. Entries before the failing one stay on disk.
int ExtractPayload(const std::wstring& archivePath, const std::wstring& installFolder,
                   HWND progressWindow);

// A path given as a C string goes to the path version: a wchar_t pointer would otherwise convert
// to HANDLE, which C++ prefers to building a std::wstring, and be taken for an open file.
inline int ExtractPayload(const wchar_t* archivePath, const std::wstring& installFolder,
                          HWND progressWindow) {
    return ExtractPayload(std::wstring(archivePath), installFolder, progressWindow);
}

// The same from an archive the caller already holds open with read access: the extraction reads
// through its own duplicate of `archiveFile`, so a caller that keeps others from writing to or
// replacing the file unpacks exactly the bytes it wrote. When `stopRequested` is given and
// becomes true, the extraction stops before the next entry and returns kExtractStopped.
int ExtractPayload(HANDLE archiveFile, const std::wstring& installFolder, HWND progressWindow,
                   const std::atomic<bool>* stopRequested = nullptr);
