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
// install folder. Each file is written as its bytes are decoded, independent solid blocks side
// by side on threads of their own (as many as there are cores, within a memory budget of a
// quarter of the physical memory, at most 256 MB), with the outcome of a sequential run: the
// progress messages come in archive order, once an entry and every one before it are complete;
// on a failure the result is that of the first failing entry in archive order, the entries
// before it stay on disk, it stays as far as it was written (a file whose data fails its CRC is
// written whole), and nothing after it is left (what other threads wrote past it is deleted).
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
// becomes true, every thread stops before its next entry, the entries from the first one not
// written on are deleted, and the result is kExtractStopped.
int ExtractPayload(HANDLE archiveFile, const std::wstring& installFolder, HWND progressWindow,
                   const std::atomic<bool>* stopRequested = nullptr);
