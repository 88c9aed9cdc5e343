#pragma once

#include "win32/UniqueHandle.h"

#include <windows.h>

#include <cstddef>
#include <string>

// The payload archive staged as orvInstall.7z in the folder Orvia of the user's temp folder.
//
// Any program of the user may write into the temp folder while the installer runs elevated, so
// the file is held open from its creation until it is removed: others may read it but neither
// write, delete nor rename it, and the unpack reads through this same open file. Were it
// closed between writing and unpacking, another program could put its own archive in its place
// and have it unpacked into Program Files.
class StagingFile {
public:
    StagingFile() = default;
    StagingFile(const StagingFile&) = delete;
    StagingFile& operator=(const StagingFile&) = delete;
    ~StagingFile() { Remove(); }

    // Where the file goes: TempFolderPath("Orvia") + "\orvInstall.7z", widened from the ANSI
    // code page. The Orvia folder is created when missing. Empty when the temp folder is
    // unknown or the path too long.
    static std::wstring DefaultPath();

    // Deletes whatever is at `path` (a file left by an earlier run, read-only or not), then
    // creates the file anew and writes `size` bytes to it in one write. False, with nothing
    // left behind, when any of this fails, also when another program holds a file there open.
    bool Create(const std::wstring& path, const void* data, std::size_t size);

    // The open file, for the unpack to read through; null before Create and after Remove.
    HANDLE Handle() const { return m_file ? m_file.get() : nullptr; }

    // Closes and deletes the file. Safe to call at any time.
    void Remove();

private:
    win32::UniqueFileHandle m_file;
    std::wstring m_path;
};
