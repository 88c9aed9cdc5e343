#pragma once

#include <windows.h>

#include <string>

// Posted by the install worker to the dialog after each unpacked file: WPARAM 0, LPARAM the
// percentage 0-100.
constexpr UINT InstallProgressMessage = WM_USER + 2000;

// Result for a file that cannot be created, written completely or closed, and for an entry
// whose target path does not fit in MAX_PATH.
constexpr int kExtractFileError = 11;

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
